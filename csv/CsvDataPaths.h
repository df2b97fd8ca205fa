#pragma once

// The path rules of a table file, as pure functions of their texts and the path delimiter (so
// that the rules written with a backslash can be checked as well as the host's '/').

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavisto {

// For a fileName longer than two characters that begins with "." and the delimiter: the
// initial directory with a trailing delimiter, followed by the whole fileName. Otherwise none.
std::optional<std::string> FileNameInInitialDirectory(std::string_view fileName,
                                                      std::string_view initialDirectory,
                                                      char delimiter);

// The folder part of fileName, up to and including its last delimiter (a drive colon counts as
// one where the delimiter is a backslash); empty when there is none.
std::string FolderOfFileName(std::string_view fileName, char delimiter);

// Backup number n of the file name in folder (which ends with the delimiter):
// folder + "Backup" + delimiter + name + "." + n + ".bak".
std::string BackupFileName(std::string_view folder, std::string_view name, int n, char delimiter);

// The ring of backup numbers 0 to count - 1 keeps one gap: the next backup goes to the first
// free number and the number after it is cleared; when no number is free, number 1 is
// overwritten and number 2 cleared. exists(n) tells whether backup n is there.
struct BackupSlots {
    int Target = 0;
    int ToClear = 0;
};
BackupSlots ChooseBackupSlots(int count, const std::function<bool(int)>& exists);

}  // namespace tavisto
