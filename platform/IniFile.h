#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tavisto {

// Reads values from an INI file the way the Windows profile reader does: section and key names
// compare case-insensitively (ASCII), the first match wins, blanks around the value are trimmed,
// one pair of enclosing quotes (single or double) is removed, ';' starts a comment only at the
// start of a line, and a value is cut at kMaxIniValueLength characters. Lines end in LF or CR LF.
// Bytes are passed through as they are in the file.
//
// The file is read afresh by every ReadString, so constructing the reader never touches the
// disk and never fails; a missing or unreadable file reads like one without the section.
class TIniFile {
public:
    static constexpr std::size_t kMaxIniValueLength = 2047;

    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // The value of key ident in section; defaultValue when the file, the section or the key is
    // missing. A key present with an empty value gives the empty text.
    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;

private:
    std::string fileName_;
};

}  // namespace tavisto
