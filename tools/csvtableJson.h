#pragma once

// JSON texts for csvtable's output, which is UTF-8 whatever the table file holds.

#include <string>
#include <string_view>

namespace tavisto::csvtable {

// The bytes as UTF-8: kept when they are valid UTF-8, otherwise read as Windows-1252 (where logs
// written on Windows hold their umlauts).
std::string DisplayUtf8(std::string_view bytes);

// A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

}  // namespace tavisto::csvtable
