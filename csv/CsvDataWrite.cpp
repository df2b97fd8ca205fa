// TCustomCsvDataSet: writing the table back to its file, and the numbered backup copies.
//
// The old file is never destroyed by a failed write: the rows go to a temporary file in the same
// folder, which replaces the file by a rename only once every byte is written and on the disk.

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <random>

#include "csv/CsvData.h"
#include "csv/CsvDataPaths.h"
#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tavisto {
namespace {

// Fewer backup slots than this are raised to it at the first write.
constexpr int kMinBackupCount = 10;

// A name beside target that no other writer picks by chance.
std::string TemporaryNameBeside(const std::string& target) {
    std::random_device random;
    char digits[16];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, std::uint64_t{random()} << 32 | random(), 16)
            .ptr;
    return target + ".~" + std::string(digits, end) + ".tmp";
}

}  // namespace

void TCustomCsvDataSet::FlushToFile() {
    if (!changed_ || !savesChanges_) return;
    if (fileName_.empty()) throw ECsvDataSetError("TableName not specified");
    // A table opened without loading has no resolved name; it is written where it would be read.
    const std::string target = resolvedFileName_.empty() ? GetFileName() : resolvedFileName_;
    if (autoBackupCount_ > 0) {
        autoBackupCount_ = std::max(autoBackupCount_, kMinBackupCount);
        BackupFile(target, autoBackupCount_);
    }
    WriteTableFile(target);
    changed_ = false;
}

void TCustomCsvDataSet::WriteTableFile(const std::string& target) {
    const std::string temporary = TemporaryNameBeside(target);
    try {
        TCsvStream writer(temporary, TCsvStream::Mode::Write);
        if (hasHeaderRow_) writer.WriteLine(headerRow_);
        for (int i = 0; i < rows_.Count(); ++i) {
            writer.WriteLine(StripLineBreaks(rows_.GetRow(i).View().Text));
        }
        writer.Close();
        std::filesystem::rename(temporary, target);
    } catch (const std::exception&) {
        RemoveFile(temporary);
        throw ECsvDataSetError("Unable to write to csv file " + fileName_);
    }
}

void TCustomCsvDataSet::BackupFile(const std::string& fileName, int count) const {
    if (!FileExists(fileName)) return;
    try {
        std::string folder = FolderOfFileName(fileName, kPathDelimiter);
        std::string name = fileName.substr(folder.size());
        if (folder.empty() || name.empty() || !DirectoryExists(folder)) {
            folder = IncludeTrailingDelimiter(CurrentDirectory(), kPathDelimiter);
            name = fileName;
        }
        ForceDirectories(folder + "Backup");
        const auto backupName = [&](int n) {
            return BackupFileName(folder, name, n, kPathDelimiter);
        };
        const BackupSlots slots =
            ChooseBackupSlots(count, [&](int n) { return FileExists(backupName(n)); });
        RemoveFile(backupName(slots.ToClear));
        std::error_code ignored;
        std::filesystem::copy_file(fileName, backupName(slots.Target),
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    } catch (const std::exception&) {
        // A backup that cannot be made does not hold the write back.
    }
}

}  // namespace tavisto
