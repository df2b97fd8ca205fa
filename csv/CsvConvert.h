#pragma once

// The text forms of typed values in a table file: numbers with a configurable decimal separator,
// the textual date and time layouts, and time stamps written as hexadecimal seconds since 1970.
// Inputs are column texts as the row store gives them (blanks trimmed, quotes kept).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"
#include "platform/Locale.h"

namespace tavisto {

inline constexpr std::string_view kCsvDateTimeFormat = "yyyy-mm-dd hh:nn:ss";
inline constexpr std::string_view kCsvDateFormat = "yyyy-mm-dd";
inline constexpr std::string_view kCsvTimeFormat = "hh:nn:ss";

// A number in text that may carry thousands separators, currency signs or quotes: only signs,
// digits, E/e and the decimal separator count. A blank decimalSeparator stands for the system's;
// a text with a full stop but without the decimal separator takes the full stop instead. A kept
// text ending in "-" or the separator reads as if a 0 followed. Empty when nothing is left or
// what is left is not a number.
std::optional<double> ParseFloatText(std::string_view text, char decimalSeparator);

// 15 significant digits, the shortest such text, no thousands separators; E notation for very
// large and very small magnitudes. ParseFloatText reads it back with the same separator.
// Infinities and NaN give the empty text, which a table reads as null.
std::string FloatToCsvText(double value, char decimalSeparator);

// The platform's integer reader: decimal digits with an optional sign, or hexadecimal digits after
// $, x or 0x, within 32 bits. Empty for any other text ("1.5", "12 x").
std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// A Boolean column: a non-zero integer is true; zero and text that is no integer are false.
bool ParseBooleanText(std::string_view text);

// "yyyy-mm-dd hh:nn:ss" read position by position: the year must have four digits and every other
// component two; "/" or "-" after year and month, a blank after the day, ":" or "-" (or the
// settings' time separator) after hour and minute. The time may stop after the day, the hour or
// the minute; a single character after the last component read is ignored. 0 when the text is no
// such date-time, lies outside the years 1900 to 3999, or names a day that does not exist.
// Allocates nothing.
TDateTime ParseDateTimeText(std::string_view text,
                            const TFormatSettings& settings = DefaultFormatSettings());

// The same date-time as milliseconds since the start of year 1 (a date-time field's buffer form,
// as TimeStampToMSecs(DateTimeToTimeStamp(...)) gives it), computed without rounding; none where
// ParseDateTimeText's value is 1.0 or less.
std::optional<double> ParseDateTimeMSecs(std::string_view text,
                                         const TFormatSettings& settings = DefaultFormatSettings());

// "yyyy-mm-dd" with the same rules; the day may be cut short by the end of the text. 0 on failure.
TDateTime ParseDateText(std::string_view text);

// "hh:nn:ss" with the same rules; the seconds may be left out. The time of day, or -1 when the
// text is no time (0 is midnight).
TDateTime ParseTimeText(std::string_view text,
                        const TFormatSettings& settings = DefaultFormatSettings());

// Up to 8 hexadecimal digits, taken as signed 32-bit seconds since 1 January 1970, plus
// correctionSeconds. Totals of 0 or less and texts that are no such number give 0
// (30 December 1899).
TDateTime TimeTHexToDateTime(std::string_view text, std::int32_t correctionSeconds);

// The whole seconds since 1970 of value (truncated toward zero) minus correctionSeconds, as
// exactly 8 upper-case hexadecimal digits of the low 32 bits. Empty for a value that is not
// finite or too large to count in seconds.
std::string DateTimeToTimeTHex(TDateTime value, std::int32_t correctionSeconds);

// The value by kCsvDateTimeFormat, kCsvDateFormat and kCsvTimeFormat; ':' becomes the settings'
// time separator.
std::string FormatCsvDateTime(TDateTime value,
                              const TFormatSettings& settings = DefaultFormatSettings());
std::string FormatCsvDate(TDateTime value,
                          const TFormatSettings& settings = DefaultFormatSettings());
std::string FormatCsvTime(TDateTime value,
                          const TFormatSettings& settings = DefaultFormatSettings());

}  // namespace tavisto
