#include "csv/CsvConvert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <span>

namespace tavisto {
namespace {

constexpr double kSecondsPerDay = 86'400.0;
constexpr int kMaxHexDigits = 8;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// How one component of a date or time text is read, and what may follow it.
struct ComponentRule {
    int Digits;
    int Min;
    int Max;
    std::string_view Separators;
    // A table writes its times with the locale's time separator; accepting it here is what lets
    // the table read back what it wrote.
    bool AcceptsTimeSeparator;
};

constexpr ComponentRule kYear{4, 1900, 3999, "/-", false};
constexpr ComponentRule kMonth{2, 1, 12, "/-", false};
constexpr ComponentRule kDay{2, 1, 31, " ", false};
constexpr ComponentRule kLastDay{2, 1, 31, "", false};
constexpr ComponentRule kHour{2, 0, 23, ":-", true};
constexpr ComponentRule kMinute{2, 0, 59, ":-", true};
constexpr ComponentRule kSecond{2, 0, 59, "", false};

constexpr std::array kDateTimeRules{kYear, kMonth, kDay, kHour, kMinute, kSecond};
constexpr std::array kDateRules{kYear, kMonth, kLastDay};
constexpr std::array kTimeRules{kHour, kMinute, kSecond};

// Reading stops quietly before the component with this 1-based number, or any later one, once
// the text is used up to its last character; date texts never stop early.
constexpr std::size_t kStopFromThird = 3;
constexpr std::size_t kNeverStop = 0;

// A plain loop: the lists hold at most two characters, too few to be worth a call to memchr.
bool AcceptsAfter(const ComponentRule& rule, char c, char timeSeparator) {
    for (const char separator : rule.Separators) {
        if (separator == c) return true;
    }
    return rule.AcceptsTimeSeparator && c == timeSeparator;
}

// Reads the components of text by rules into values (unread components stay 0). The position p
// is 1-based; the text's last character is never checked as a separator, which is why one
// trailing character is ignored.
bool ReadComponents(std::string_view text, std::span<const ComponentRule> rules,
                    std::size_t stopFrom, char timeSeparator, std::span<int> values) {
    const std::size_t length = text.size();
    std::size_t p = 1;
    for (std::size_t k = 0; k < rules.size(); ++k) {
        const ComponentRule& rule = rules[k];
        if (stopFrom != kNeverStop && k + 1 >= stopFrom && p >= length) return true;
        int value = 0;
        for (int read = 0; read < rule.Digits && p <= length; ++read, ++p) {
            const char c = text[p - 1];
            if (!IsDigit(c)) return false;
            value = value * 10 + (c - '0');
        }
        if (p < length && !AcceptsAfter(rule, text[p - 1], timeSeparator)) return false;
        if (value < rule.Min || value > rule.Max) return false;
        values[k] = value;
        ++p;
    }
    return true;
}

// The number written by text's count digits from at; -1 when one of them is no digit.
int FixedNumber(std::string_view text, std::size_t at, int count) {
    int value = 0;
    for (std::size_t i = at; i < at + static_cast<std::size_t>(count); ++i) {
        if (!IsDigit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// The common case, a text of exactly "yyyy-mm-dd hh:nn:ss" length, read at fixed places. It
// accepts only what ReadComponents would read alike (the same digits, separators and ranges), so
// it answers exactly as ReadComponents does; any other text is left to that. False then.
bool ReadFixedDateTime(std::string_view text, char timeSeparator, std::span<int> values) {
    constexpr std::size_t kLength = 19;
    constexpr std::array<std::size_t, kDateTimeRules.size()> kStarts{0, 5, 8, 11, 14, 17};
    if (text.size() != kLength) return false;
    std::array<int, kDateTimeRules.size()> read{};
    for (std::size_t k = 0; k < kDateTimeRules.size(); ++k) {
        const ComponentRule& rule = kDateTimeRules[k];
        read[k] = FixedNumber(text, kStarts[k], rule.Digits);
        // No rule's range reaches down to -1, the mark of a non-digit.
        if (read[k] < rule.Min || read[k] > rule.Max) return false;
        const std::size_t after = kStarts[k] + rule.Digits;
        if (after < kLength && !AcceptsAfter(rule, text[after], timeSeparator)) return false;
    }
    std::copy(read.begin(), read.end(), values.begin());
    return true;
}

}  // namespace

std::optional<double> ParseFloatText(std::string_view text, char decimalSeparator) {
    char separator =
        decimalSeparator == ' ' ? DefaultFormatSettings().DecimalSeparator : decimalSeparator;
    if (text.find('.') != std::string_view::npos &&
        text.find(separator) == std::string_view::npos) {
        separator = '.';
    }
    std::string kept;
    kept.reserve(text.size() + 1);
    for (const char c : text) {
        if (IsDigit(c) || c == '+' || c == '-' || c == 'E' || c == 'e' || c == separator) {
            kept += c;
        }
    }
    if (kept.empty()) return std::nullopt;
    if (kept.back() == '-' || kept.back() == separator) kept += '0';
    TFormatSettings settings;
    settings.DecimalSeparator = separator;
    double value = 0;
    if (!TryStrToFloat(kept, value, settings)) return std::nullopt;
    return value;
}

std::string FloatToCsvText(double value, char decimalSeparator) {
    // ParseFloatText drops letters, so "-INF" would read back as 0; no text at all reads as null.
    if (!std::isfinite(value)) return {};
    TFormatSettings settings = DefaultFormatSettings();
    settings.DecimalSeparator = decimalSeparator;
    return FloatToStr(value, settings);
}

std::optional<std::int32_t> ParseIntegerText(std::string_view text) {
    std::int32_t value = 0;
    if (!TryStrToInt(text, value)) return std::nullopt;
    return value;
}

bool ParseBooleanText(std::string_view text) {
    return ParseIntegerText(text).value_or(0) != 0;
}

// The date as a day number and the time in milliseconds; false for no date-time.
bool ReadDateTime(std::string_view text, const TFormatSettings& settings, TDateTime& date,
                  std::int32_t& msecs) {
    std::array<int, kDateTimeRules.size()> parts{};
    if (!ReadFixedDateTime(text, settings.TimeSeparator, parts) &&
        !ReadComponents(text, kDateTimeRules, kStopFromThird, settings.TimeSeparator, parts)) {
        return false;
    }
    if (!TryEncodeDate(parts[0], parts[1], parts[2], date)) return false;
    // The ranges of the rules leave no time that does not exist.
    msecs = ((parts[3] * 60 + parts[4]) * 60 + parts[5]) * 1000;
    return true;
}

TDateTime ParseDateTimeText(std::string_view text, const TFormatSettings& settings) {
    TDateTime date = 0;
    std::int32_t msecs = 0;
    if (!ReadDateTime(text, settings, date, msecs)) return 0;
    return date + static_cast<TDateTime>(msecs) / kMSecsPerDay;
}

std::optional<double> ParseDateTimeMSecs(std::string_view text, const TFormatSettings& settings) {
    TDateTime date = 0;
    std::int32_t msecs = 0;
    if (!ReadDateTime(text, settings, date, msecs)) return std::nullopt;
    // ParseDateTimeText's value above 1.0: the day numbers are whole.
    if (date < 1 || (date == 1 && msecs == 0)) return std::nullopt;
    return (date + kDateDelta) * kMSecsPerDay + msecs;
}

TDateTime ParseDateText(std::string_view text) {
    std::array<int, kDateRules.size()> parts{};
    TDateTime date = 0;
    if (!ReadComponents(text, kDateRules, kNeverStop, '\0', parts) ||
        !TryEncodeDate(parts[0], parts[1], parts[2], date)) {
        return 0;
    }
    return date;
}

TDateTime ParseTimeText(std::string_view text, const TFormatSettings& settings) {
    // Read position by position, an empty text would name midnight; it names no time.
    if (text.empty()) return -1;
    std::array<int, kTimeRules.size()> parts{};
    if (!ReadComponents(text, kTimeRules, kStopFromThird, settings.TimeSeparator, parts)) {
        return -1;
    }
    return EncodeTime(parts[0], parts[1], parts[2], 0);
}

TDateTime TimeTHexToDateTime(std::string_view text, std::int32_t correctionSeconds) {
    if (text.empty() || text.size() > kMaxHexDigits) return 0;
    std::uint32_t bits = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return 0;
        bits = bits * 16 + static_cast<std::uint32_t>(digit);
    }
    const std::int64_t seconds = std::int64_t{static_cast<std::int32_t>(bits)} + correctionSeconds;
    if (seconds <= 0) return 0;
    return kUnixDateDelta + static_cast<double>(seconds) / kSecondsPerDay;
}

std::string DateTimeToTimeTHex(TDateTime value, std::int32_t correctionSeconds) {
    // Whole milliseconds first: a value read from a time stamp is a few ulps off its second, and
    // cutting the raw product would then write the second before.
    const double msecs = std::round((value - kUnixDateDelta) * kSecondsPerDay * 1000.0);
    constexpr double kLargestMSecs = 9.0e18;
    if (!std::isfinite(msecs) || std::fabs(msecs) > kLargestMSecs) return {};
    const std::int64_t seconds = static_cast<std::int64_t>(msecs) / 1000;
    const auto bits = static_cast<std::uint32_t>(seconds - correctionSeconds);
    std::array<char, kMaxHexDigits + 1> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%08X", static_cast<unsigned>(bits));
    return buffer.data();
}

std::string FormatCsvDateTime(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(kCsvDateTimeFormat, value, settings);
}

std::string FormatCsvDate(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(kCsvDateFormat, value, settings);
}

std::string FormatCsvTime(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(kCsvTimeFormat, value, settings);
}

}  // namespace tavisto
