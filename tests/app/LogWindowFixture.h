#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "app/fLogfile.h"

namespace tavisto::test {

// One dialog a window asked for, as the replaced dialog function saw it.
struct AskedDialog {
    QString text;
    TMsgDlgType type;
    TMsgDlgButtons buttons;
};

// A settings folder of its own (XDG_CONFIG_HOME points into a temporary folder) and a log
// window whose dialogs are recorded and answered from a list instead of being shown.
class LogWindowFixture {
public:
    // configName names the folder that plays the roaming folder, so a path can hold a quote.
    explicit LogWindowFixture(const QString& configName = QStringLiteral("config"))
        : roaming_(root_.filePath(configName)) {
        QDir().mkpath(SettingsFolder());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(roaming_));
    }
    ~LogWindowFixture() { qunsetenv("XDG_CONFIG_HOME"); }
    LogWindowFixture(const LogWindowFixture&) = delete;
    LogWindowFixture& operator=(const LogWindowFixture&) = delete;

    QString SettingsFolder() const { return roaming_ + QStringLiteral("/Orlesk/Tavisto 2006/"); }
    QString LogPath() const { return SettingsFolder() + QStringLiteral("kalulog.csv"); }

    // Writes the log with a header row and the given entry lines, each ended by CR LF.
    void WriteLog(const QList<QByteArray>& entries) const {
        QFile file(LogPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("KALU;DATUM;ANWENDUNG;BENUTZER\r\n");
        for (const QByteArray& entry : entries) file.write(entry + "\r\n");
    }

    // A window that records its dialogs; answers are handed out in order, OK when none is
    // left.
    TformLogfile& Window() {
        if (!window_) {
            window_ = std::make_unique<TformLogfile>();
            window_->SetMessageDlg(
                [this](const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
                    dialogs.push_back({text, type, buttons});
                    if (answers.empty()) return mrOk;
                    const int answer = answers.front();
                    answers.erase(answers.begin());
                    return answer;
                });
            window_->SetErrorBox([this](const QString& text) { errorBoxes.push_back(text); });
        }
        return *window_;
    }

    // Shows the window, which runs FormShow.
    TformLogfile& Shown() {
        TformLogfile& window = Window();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qWarning("window not exposed");
        return window;
    }

    std::vector<AskedDialog> dialogs;
    std::vector<int> answers;
    QStringList errorBoxes;

private:
    QTemporaryDir root_;
    QString roaming_;
    std::unique_ptr<TformLogfile> window_;
};

}  // namespace tavisto::test
