#include "csv/CsvDataPaths.h"

#include "platform/Paths.h"

namespace tavisto {

std::optional<std::string> FileNameInInitialDirectory(std::string_view fileName,
                                                      std::string_view initialDirectory,
                                                      char delimiter) {
    if (fileName.size() <= 2 || fileName[0] != '.' || fileName[1] != delimiter) return {};
    return IncludeTrailingDelimiter(initialDirectory, delimiter) + std::string(fileName);
}

std::string FolderOfFileName(std::string_view fileName, char delimiter) {
    const std::size_t last =
        delimiter == '\\' ? fileName.find_last_of("\\:") : fileName.rfind(delimiter);
    if (last == std::string_view::npos) return {};
    return std::string(fileName.substr(0, last + 1));
}

std::string BackupFileName(std::string_view folder, std::string_view name, int n, char delimiter) {
    std::string result(folder);
    result += "Backup";
    result += delimiter;
    result += name;
    result += '.';
    result += std::to_string(n);
    result += ".bak";
    return result;
}

BackupSlots ChooseBackupSlots(int count, const std::function<bool(int)>& exists) {
    for (int n = 0; n < count; ++n) {
        if (!exists(n)) return {n, (n + 1) % count};
    }
    return {1 % count, 2 % count};
}

}  // namespace tavisto
