#include "platform/Locale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace tavisto {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A one-byte separator text, or fallback.
char SingleByte(const char* text, char fallback) {
    if (text == nullptr || text[0] == '\0' || text[1] != '\0') return fallback;
    return text[0];
}

// Hexadecimal digits, at most maxDigits of them, taken as the two's complement bits they spell.
bool ParseHex(std::string_view digits, int maxDigits, bool negative, std::int64_t& value) {
    if (digits.empty() || digits.size() > static_cast<std::size_t>(maxDigits)) return false;
    std::uint64_t bits = 0;
    for (char c : digits) {
        const int digit = HexValue(c);
        if (digit < 0) return false;
        bits = bits * 16 + static_cast<std::uint64_t>(digit);
    }
    const int width = maxDigits * 4;
    auto signedValue = static_cast<std::int64_t>(bits);
    if (width < 64 && (bits >> (width - 1)) != 0) signedValue -= std::int64_t{1} << width;
    if (negative && signedValue == std::numeric_limits<std::int64_t>::min()) return false;
    value = negative ? -signedValue : signedValue;
    return true;
}

// Decimal digits whose value lies within [-limit - 1, limit] with the sign applied.
bool ParseDecimal(std::string_view digits, std::uint64_t limit, bool negative,
                  std::int64_t& value) {
    if (digits.empty()) return false;
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
        if (magnitude > limit + 1) return false;
    }
    if (!negative && magnitude > limit) return false;
    value =
        negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

// Blanks, a sign, then decimal digits or hexadecimal ones after $, x, X, 0x or 0X.
bool ParseInteger(std::string_view text, std::uint64_t limit, int maxHexDigits,
                  std::int64_t& value) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return ParseHex(text.substr(2), maxHexDigits, negative, value);
    }
    if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        return ParseHex(text.substr(1), maxHexDigits, negative, value);
    }
    return ParseDecimal(text, limit, negative, value);
}

}  // namespace

char TimeSeparatorOfPattern(std::string_view pattern) {
    for (std::size_t i = 0; i + 2 < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        const char conversion = pattern[i + 1];
        if (conversion == 'H' || conversion == 'I' || conversion == 'k' || conversion == 'l') {
            return pattern[i + 2] == '%' ? ':' : pattern[i + 2];
        }
        ++i;
    }
    return ':';
}

TFormatSettings ReadSystemFormatSettings() {
    TFormatSettings settings;
#ifdef _WIN32
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 0) {
        settings.DecimalSeparator = SingleByte(buffer, '.');
    }
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, sizeof buffer) > 0) {
        settings.TimeSeparator = SingleByte(buffer, ':');
    }
#else
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        settings.DecimalSeparator = SingleByte(nl_langinfo_l(RADIXCHAR, numeric), '.');
        freelocale(numeric);
    }
    if (locale_t time = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr))) {
        const char* pattern = nl_langinfo_l(T_FMT, time);
        settings.TimeSeparator = TimeSeparatorOfPattern(pattern != nullptr ? pattern : "");
        freelocale(time);
    }
#endif
    return settings;
}

const TFormatSettings& DefaultFormatSettings() {
    static const TFormatSettings settings = ReadSystemFormatSettings();
    return settings;
}

std::string FloatToStr(double value, const TFormatSettings& settings) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.14e", value);
    const std::string_view text(scientific);
    const std::size_t ePos = text.find('e');
    const int exponent = std::atoi(scientific + ePos + 1);
    std::string digits;
    for (char c : text.substr(0, ePos)) {
        if (IsDigit(c)) digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string result = value < 0 ? "-" : "";
    if (exponent < -5 || exponent > 14) {
        result += digits[0];
        if (digits.size() > 1) result += settings.DecimalSeparator + digits.substr(1);
        return result + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        return result + "0" + settings.DecimalSeparator +
               std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        return result + digits + std::string(integerDigits - digits.size(), '0');
    }
    return result + digits.substr(0, integerDigits) + settings.DecimalSeparator +
           digits.substr(integerDigits);
}

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings) {
    text = TrimBlanks(text);
    std::string normal;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++mantissaDigits;
            normal += text[i];
        } else if (text[i] == settings.DecimalSeparator && !separatorSeen) {
            separatorSeen = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) normal += text[i++];
        if (i == exponentStart) return false;
    }
    if (i != text.size()) return false;
    double parsed = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
    if (error != std::errc() || end != normal.data() + normal.size()) return false;
    value = parsed;
    return true;
}

bool TryStrToInt(std::string_view text, std::int32_t& value) {
    std::int64_t wide = 0;
    if (!ParseInteger(text, std::numeric_limits<std::int32_t>::max(), 8, wide)) return false;
    if (wide < std::numeric_limits<std::int32_t>::min() ||
        wide > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<std::int32_t>(wide);
    return true;
}

bool TryStrToInt64(std::string_view text, std::int64_t& value) {
    return ParseInteger(text, std::numeric_limits<std::int64_t>::max(), 16, value);
}

}  // namespace tavisto
