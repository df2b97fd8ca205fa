#include "platform/IniFile.h"

#include <fstream>
#include <optional>

#include "platform/FileSystem.h"

namespace tavisto {

namespace {

// A longer line keeps only its start: no name or value of interest is that long, and a file
// that is one endless line must not exhaust memory.
constexpr std::size_t kMaxKeptLineLength = 64 * 1024;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// Reads one line without its LF into line; false at the end of the input.
bool ReadLine(std::streambuf& input, std::string& line) {
    using Traits = std::char_traits<char>;
    line.clear();
    Traits::int_type c = input.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) return false;
    while (!Traits::eq_int_type(c, Traits::eof()) && Traits::to_char_type(c) != '\n') {
        if (line.size() < kMaxKeptLineLength) line += Traits::to_char_type(c);
        c = input.sbumpc();
    }
    return true;
}

// The name of a "[name]" line (trimmed text, blanks around the name allowed), or none.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.front() != '[') return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

std::string ValueText(std::string_view raw) {
    std::string_view value = TrimBlanks(raw);
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted) value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, TIniFile::kMaxIniValueLength));
}

std::optional<std::string> FindValue(const std::string& fileName, std::string_view section,
                                     std::string_view ident) {
    if (!FileExists(fileName)) return std::nullopt;
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return std::nullopt;
    std::string line;
    bool inSection = false;
    for (bool firstLine = true; ReadLine(*file.rdbuf(), line); firstLine = false) {
        std::string_view text = line;
        if (firstLine && text.starts_with(kUtf8ByteOrderMark)) {
            text.remove_prefix(kUtf8ByteOrderMark.size());
        }
        text = TrimBlanks(text);
        if (text.empty() || text.front() == ';') continue;
        if (const auto name = SectionName(text)) {
            inSection = SameName(*name, section);
            continue;
        }
        const std::size_t equals = text.find('=');
        if (inSection && equals != std::string_view::npos &&
            SameName(TrimBlanks(text.substr(0, equals)), ident)) {
            return ValueText(text.substr(equals + 1));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 std::string_view defaultValue) const {
    std::optional<std::string> value = FindValue(fileName_, section, ident);
    return value ? std::move(*value) : std::string(defaultValue);
}

}  // namespace tavisto
