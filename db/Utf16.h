#pragma once

// Conversions between UTF-8 byte strings and UTF-16 code units, for wide text fields.

#include <string>
#include <string_view>

namespace tavisto {

// Each byte that does not start a well-formed UTF-8 sequence becomes U+FFFD; overlong forms,
// surrogate code points and values above U+10FFFF are not well-formed.
std::u16string Utf8ToUtf16(std::string_view text);

// A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

bool IsValidUtf8(std::string_view text);

}  // namespace tavisto
