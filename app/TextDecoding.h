#pragma once

#include <QString>
#include <string_view>

namespace tavisto {

// Bytes from a table file or the host as the user should read them: as UTF-8 when they are
// valid UTF-8, otherwise as Windows-1252, the code page the suite writes its log in on Windows.
QString DecodeText(std::string_view bytes);

}  // namespace tavisto
