#pragma once

// Date-time values in the host's classic form: a TDateTime counts days since 30 December 1899,
// the fraction being the time of day. Before that day the integer part still names the day and
// the fraction's absolute value the time (-1.25 is 29 December 1899, 06:00). Also the time-stamp
// form the data-set framework keeps in record buffers (day number and milliseconds).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Exceptions.h"
#include "platform/Locale.h"

namespace tavisto {

using TDateTime = double;

// A date or time that does not exist, or a value outside what can be represented.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

inline constexpr std::int32_t kHoursPerDay = 24;
inline constexpr std::int32_t kMSecsPerDay = 86'400'000;
// Day number (1 January of year 1 is day 1) of 30 December 1899, the TDateTime origin.
inline constexpr std::int32_t kDateDelta = 693'594;
// TDateTime of 1 January 1970.
inline constexpr TDateTime kUnixDateDelta = 25'569.0;

// Day number and milliseconds since midnight.
struct TTimeStamp {
    std::int32_t Time = 0;
    std::int32_t Date = 0;
    friend bool operator==(const TTimeStamp&, const TTimeStamp&) = default;
};

bool IsLeapYear(int year);
// Days in the month, 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// Years 1 to 9999; false when the date does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Raises EConvertError when the date does not exist.
TDateTime EncodeDate(int year, int month, int day);
// Hours 0 to 23 (24:00:00.000 is accepted as the end of the day), minutes and seconds 0 to 59,
// milliseconds 0 to 999.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
TDateTime EncodeTime(int hour, int minute, int second, int msec);

struct TDateParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};
struct TTimeParts {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MSec = 0;
};
// The calendar date of the value's day; raises EConvertError outside years 1 to 9999.
TDateParts DecodeDate(TDateTime value);
// The time of day, rounded to the millisecond.
TTimeParts DecodeTime(TDateTime value);

// Rounds to the millisecond. Raises EConvertError for a value that is not finite or lies outside
// years 1 to 9999.
TTimeStamp DateTimeToTimeStamp(TDateTime value);
// Raises EConvertError for a time outside 0 to 86 399 999 or a day number below 1.
TDateTime TimeStampToDateTime(const TTimeStamp& stamp);
// Day number times 86 400 000 plus the milliseconds.
double TimeStampToMSecs(const TTimeStamp& stamp);
// The count rounded to a whole number of milliseconds; raises EConvertError when it is not
// finite or names no day from 1 January of year 1 on.
TTimeStamp MSecsToTimeStamp(double msecs);

// Formats value by pattern: yyyy (4-digit year), yy, mm / m (month), dd / d (day), hh / h (hour of
// a 24-hour day), nn / n (minute), ss / s (second), zzz / z (millisecond); the doubled forms are
// zero-padded. ':' becomes the time separator of settings; text in single or double quotes is
// copied without its quotes; every other character is copied. Fractions of a second beyond the
// pattern are dropped, not rounded. An empty pattern gives "yyyy-mm-dd hh:nn:ss".
std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const TFormatSettings& settings);
// As above with the system's default settings.
std::string FormatDateTime(std::string_view pattern, TDateTime value);

// "yyyy-mm-dd", followed by " hh:nn:ss" when the time of day is not midnight.
std::string DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Reads "yyyy-mm-dd", optionally followed by a blank or 'T' and "hh:nn" or "hh:nn:ss" (':' or the
// settings' time separator). False for any other text or a date or time that does not exist.
bool TryStrToDateTime(std::string_view text, TDateTime& result, const TFormatSettings& settings);

}  // namespace tavisto
