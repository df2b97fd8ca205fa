#pragma once

// Number and time formats of the system default locale, and the number texts that follow them.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavisto {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char TimeSeparator = ':';
};

// The settings of the system default locale, read on first use and kept for the process.
const TFormatSettings& DefaultFormatSettings();

// Reads the settings now from the C library's locale named by the environment (LC_ALL,
// LC_NUMERIC, LC_TIME, LANG). A separator that is missing or longer than one byte keeps its
// default ('.' and ':').
TFormatSettings ReadSystemFormatSettings();

// The separators of a time pattern such as "%H:%M:%S" or "%H.%M.%S"; ':' when the pattern has
// none after its hour.
char TimeSeparatorOfPattern(std::string_view pattern);

// General float format with 15 significant digits: the shortest text of the value at that
// precision, no trailing zeros, no thousands separators, the settings' decimal separator; fixed
// notation for exponents from -5 to 14, otherwise scientific as in "1.5E20" or "-2E-7".
// Infinities and NaN give "INF", "-INF" and "NAN".
std::string FloatToStr(double value, const TFormatSettings& settings);

// Optional blanks, sign, digits with at most one settings' decimal separator, an optional
// exponent after E or e, optional blanks. Everything else fails; so does an out-of-range result.
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings);

// Optional blanks and sign, then decimal digits, or hexadecimal digits after $, x, X, 0x or 0X.
// Fails on any other text and on values outside the 32-bit range; hexadecimal texts of up to
// 8 digits are taken as the 32 bits they spell ("$FFFFFFFF" is -1).
bool TryStrToInt(std::string_view text, std::int32_t& value);

// As TryStrToInt with 64 bits (hexadecimal up to 16 digits).
bool TryStrToInt64(std::string_view text, std::int64_t& value);

}  // namespace tavisto
