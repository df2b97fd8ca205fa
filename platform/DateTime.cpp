#include "platform/DateTime.h"

#include <cmath>
#include <cstdint>

namespace tavisto {
namespace {

constexpr std::int32_t kMaxDayNumber = 3'652'059;  // 31 December 9999
constexpr std::int64_t kDaysFrom1970ToOrigin = 25'569;

// Days since 1 January 1970 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

TDateParts CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    TDateParts parts;
    parts.Day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    parts.Month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    parts.Year = static_cast<int>(yearOfEra + era * 400 + (parts.Month <= 2 ? 1 : 0));
    return parts;
}

TDateParts DatePartsOfDayNumber(std::int32_t dayNumber) {
    return CivilFromDays(dayNumber - kDateDelta - kDaysFrom1970ToOrigin);
}

TTimeParts TimePartsOfMSecs(std::int32_t msecs) {
    return TTimeParts{msecs / 3'600'000, msecs / 60'000 % 60, msecs / 1000 % 60, msecs % 1000};
}

std::string Padded(int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

// Length of the run of letter at pattern[i], ignoring case, at most limit.
std::size_t RunLength(std::string_view pattern, std::size_t i, std::size_t limit) {
    std::size_t length = 1;
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    while (length < limit && i + length < pattern.size() &&
           lower(pattern[i + length]) == lower(pattern[i])) {
        ++length;
    }
    return length;
}

// Appends the text of the pattern item at pattern[i]; returns the characters it took.
std::size_t AppendPatternItem(std::string& result, std::string_view pattern, std::size_t i,
                              const TDateParts& date, const TTimeParts& time,
                              const TFormatSettings& settings) {
    const char c = pattern[i];
    const char lower = static_cast<char>(c | 0x20);
    if (c == '\'' || c == '"') {
        const std::size_t close = pattern.find(c, i + 1);
        const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
        result.append(pattern.substr(i + 1, end - i - 1));
        return end - i + 1;
    }
    if (c == ':') {
        result += settings.TimeSeparator;
        return 1;
    }
    if (lower == 'y') {
        const std::size_t run = RunLength(pattern, i, 4);
        result += run >= 3 ? Padded(date.Year, 4) : Padded(date.Year % 100, 2);
        return run;
    }
    if (lower == 'z') {
        const std::size_t run = RunLength(pattern, i, 3) == 3 ? 3 : 1;
        result += Padded(time.MSec, run);
        return run;
    }
    const int* part = lower == 'm'   ? &date.Month
                      : lower == 'd' ? &date.Day
                      : lower == 'h' ? &time.Hour
                      : lower == 'n' ? &time.Minute
                      : lower == 's' ? &time.Second
                                     : nullptr;
    if (part == nullptr) {
        result += c;
        return 1;
    }
    const std::size_t run = RunLength(pattern, i, 2);
    result += Padded(*part, run);
    return run;
}

bool ReadDigits(std::string_view text, std::size_t& pos, std::size_t count, int& value) {
    if (pos + count > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return true;
}

}  // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
    result = static_cast<TDateTime>(DaysFromCivil(year, month, day) + kDaysFrom1970ToOrigin);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result)) {
        throw EConvertError("Not a valid date: year " + std::to_string(year) + ", month " +
                            std::to_string(month) + ", day " + std::to_string(day));
    }
    return result;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    const bool endOfDay = hour == 24 && minute == 0 && second == 0 && msec == 0;
    if (!endOfDay && (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
                      second > 59 || msec < 0 || msec > 999)) {
        return false;
    }
    const std::int32_t msecs = ((hour * 60 + minute) * 60 + second) * 1000 + msec;
    result = static_cast<TDateTime>(msecs) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result)) {
        throw EConvertError("Not a valid time: " + std::to_string(hour) + ":" +
                            std::to_string(minute) + ":" + std::to_string(second) + "." +
                            std::to_string(msec));
    }
    return result;
}

TDateParts DecodeDate(TDateTime value) {
    return DatePartsOfDayNumber(DateTimeToTimeStamp(value).Date);
}

TTimeParts DecodeTime(TDateTime value) {
    return TimePartsOfMSecs(DateTimeToTimeStamp(value).Time);
}

TTimeStamp DateTimeToTimeStamp(TDateTime value) {
    const double lowest = 1.0 - kDateDelta - 1.0;
    const double highest = static_cast<double>(kMaxDayNumber - kDateDelta) + 1.0;
    if (!std::isfinite(value) || value <= lowest || value >= highest) {
        throw EConvertError("Date-time value out of range: " + std::to_string(value));
    }
    const std::int64_t msecs = std::llround(value * kMSecsPerDay);
    TTimeStamp stamp;
    stamp.Date = static_cast<std::int32_t>(kDateDelta + msecs / kMSecsPerDay);
    stamp.Time = static_cast<std::int32_t>((msecs < 0 ? -msecs : msecs) % kMSecsPerDay);
    if (stamp.Date < 1 || stamp.Date > kMaxDayNumber) {
        throw EConvertError("Date-time value out of range: " + std::to_string(value));
    }
    return stamp;
}

TDateTime TimeStampToDateTime(const TTimeStamp& stamp) {
    if (stamp.Time < 0 || stamp.Time >= kMSecsPerDay || stamp.Date < 1) {
        throw EConvertError("Invalid time stamp: day " + std::to_string(stamp.Date) + ", " +
                            std::to_string(stamp.Time) + " ms");
    }
    const double days = static_cast<double>(stamp.Date - kDateDelta);
    const double time = static_cast<double>(stamp.Time) / kMSecsPerDay;
    return days >= 0 ? days + time : days - time;
}

double TimeStampToMSecs(const TTimeStamp& stamp) {
    return static_cast<double>(stamp.Date) * kMSecsPerDay + stamp.Time;
}

TTimeStamp MSecsToTimeStamp(double msecs) {
    const double highest = (static_cast<double>(kMaxDayNumber) + 1.0) * kMSecsPerDay;
    if (!std::isfinite(msecs) || msecs < kMSecsPerDay - 0.5 || msecs >= highest) {
        throw EConvertError("Invalid time stamp: " + std::to_string(msecs) + " ms");
    }
    const std::int64_t whole = std::llround(msecs);
    return TTimeStamp{static_cast<std::int32_t>(whole % kMSecsPerDay),
                      static_cast<std::int32_t>(whole / kMSecsPerDay)};
}

std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const TFormatSettings& settings) {
    if (pattern.empty()) pattern = "yyyy-mm-dd hh:nn:ss";
    const TTimeStamp stamp = DateTimeToTimeStamp(value);
    const TDateParts date = DatePartsOfDayNumber(stamp.Date);
    const TTimeParts time = TimePartsOfMSecs(stamp.Time);
    std::string result;
    for (std::size_t i = 0; i < pattern.size();) {
        i += AppendPatternItem(result, pattern, i, date, time, settings);
    }
    return result;
}

std::string FormatDateTime(std::string_view pattern, TDateTime value) {
    return FormatDateTime(pattern, value, DefaultFormatSettings());
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    const bool midnight = DateTimeToTimeStamp(value).Time == 0;
    return FormatDateTime(midnight ? "yyyy-mm-dd" : "yyyy-mm-dd hh:nn:ss", value, settings);
}

bool TryStrToDateTime(std::string_view text, TDateTime& result, const TFormatSettings& settings) {
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const auto separator = [&](char expected) {
        if (pos >= text.size()) return false;
        const char c = text[pos++];
        return c == expected || (expected == ':' && c == settings.TimeSeparator);
    };
    if (!ReadDigits(text, pos, 4, year) || !separator('-') || !ReadDigits(text, pos, 2, month) ||
        !separator('-') || !ReadDigits(text, pos, 2, day)) {
        return false;
    }
    if (pos < text.size()) {
        if (text[pos] != ' ' && text[pos] != 'T') return false;
        ++pos;
        if (!ReadDigits(text, pos, 2, hour) || !separator(':') ||
            !ReadDigits(text, pos, 2, minute)) {
            return false;
        }
        if (pos < text.size() && (!separator(':') || !ReadDigits(text, pos, 2, second))) {
            return false;
        }
        if (pos != text.size()) return false;
    }
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, 0, time)) {
        return false;
    }
    result = date + time;
    return true;
}

}  // namespace tavisto
