#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tavisto::test {

// While it lives, nothing inside the folder can be deleted: for an ordinary user the folder
// loses its write permission; root, whom permissions do not stop, gets the folder marked
// immutable (ext2/3/4, XFS, Btrfs). Locked() tells whether a probe file really stayed.
class UndeletableFolder {
public:
    explicit UndeletableFolder(const QString& folder)
        : folder_(QFile::encodeName(folder)), probe_(folder_ + "/probe") {
        QFile(QString::fromLocal8Bit(probe_)).open(QIODevice::WriteOnly);
        ::chmod(folder_.constData(), 0555);
        if (::geteuid() == 0) SetImmutable(true);
        locked_ = ::unlink(probe_.constData()) != 0;
    }
    ~UndeletableFolder() {
        if (::geteuid() == 0) SetImmutable(false);
        ::chmod(folder_.constData(), 0755);
        ::unlink(probe_.constData());
    }
    UndeletableFolder(const UndeletableFolder&) = delete;
    UndeletableFolder& operator=(const UndeletableFolder&) = delete;

    bool Locked() const { return locked_; }

private:
    void SetImmutable(bool immutable) const {
        const int descriptor = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY);
        if (descriptor < 0) return;
        int flags = 0;
        if (::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags);
        }
        ::close(descriptor);
    }

    QByteArray folder_;
    QByteArray probe_;
    bool locked_ = false;
};

}  // namespace tavisto::test
