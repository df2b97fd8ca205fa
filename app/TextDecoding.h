#pragma once

#include <QString>
#include <string_view>

namespace tavisto {

// True when bytes form well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF and no sequence cut off at the end.
bool IsValidUtf8(std::string_view bytes);

// Bytes from a table file or the host as the user should read them: as UTF-8 when they are
// valid UTF-8, otherwise as Windows-1252, the code page the suite writes its log in on Windows.
QString DecodeText(std::string_view bytes);

}  // namespace tavisto
