#include "app/uOpParser.h"

#include <optional>

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/SpecialFolders.h"

namespace tavisto {

namespace {

struct QuotedPart {
    std::string text;
    std::size_t closingQuote;
};

// The part of value between its opening quote and its closing quote, doubled quotes collapsed;
// none when the value has no closing quote.
std::optional<QuotedPart> FindQuotedPart(std::string_view value) {
    std::string text;
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] != '"') {
            text += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            return QuotedPart{std::move(text), i};
        }
    }
    return std::nullopt;
}

}  // namespace

std::string SpecialFolderPath(int csidl) {
    return SpecialFolderLocation(csidl);
}

std::string SettingsFolder() {
    return ComposeSettingsFolder(SpecialFolderPath(kCsidlAppData), kPathDelimiter);
}

std::string LogFolder() {
    const TIniFile settings(SettingsFolder() + std::string(kSettingsFileName));
    const std::string defaultFolder = SettingsFolder();
    return ComposeLogFolder(settings.ReadString(kLogPathSection, kLogPathKey, defaultFolder),
                            kPathDelimiter);
}

std::string SettingsSubfolder(char delimiter) {
    return std::string("Orlesk") + delimiter + "Tavisto 2006" + delimiter;
}

std::string ComposeSettingsFolder(std::string_view roamingFolder, char delimiter) {
    return IncludeTrailingDelimiter(
        IncludeTrailingDelimiter(roamingFolder, delimiter) + SettingsSubfolder(delimiter),
        delimiter);
}

std::string DequoteLogPath(std::string_view value) {
    if (!value.starts_with('"')) return std::string(value);
    if (value.size() == 1) return {};
    std::optional<QuotedPart> quoted = FindQuotedPart(value);
    if (!quoted) return std::string(value);
    const bool closesAtEnd = quoted->closingQuote + 1 == value.size();
    if (!closesAtEnd && quoted->text.empty()) return std::string(value);
    return std::move(quoted->text);
}

std::string ComposeLogFolder(std::string_view logPath, char delimiter) {
    return IncludeTrailingDelimiter(DequoteLogPath(logPath), delimiter);
}

}  // namespace tavisto
