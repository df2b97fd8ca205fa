#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "csv/CsvConvert.h"

namespace tavisto {
namespace {

constexpr TFormatSettings kColonTime{'.', ':'};
constexpr TFormatSettings kDotTime{'.', '.'};

TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

// Date-time values compared to the millisecond, as the framework keeps them; 0 stays exactly 0.
testing::AssertionResult SameMoment(TDateTime expected, TDateTime actual) {
    if (expected == 0 || expected == -1 || actual <= 0) {
        if (expected == actual) return testing::AssertionSuccess();
    } else if (DateTimeToTimeStamp(expected) == DateTimeToTimeStamp(actual)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

struct DateTextCase {
    const char* name;
    std::string text;
    TDateTime expected;
    TFormatSettings settings = kColonTime;
};

void PrintTo(const DateTextCase& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const testing::TestParamInfo<DateTextCase>& info) {
    return info.param.name;
}

class DateTimeTextTest : public testing::TestWithParam<DateTextCase> {};

TEST_P(DateTimeTextTest, ReadsComponentsByPosition) {
    const DateTextCase& c = GetParam();
    EXPECT_TRUE(SameMoment(c.expected, ParseDateTimeText(c.text, c.settings)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateTimeTextTest,
    testing::Values(
        DateTextCase{"Full", "2011-01-05 13:45:10", At(2011, 1, 5, 13, 45, 10)},
        DateTextCase{"SlashesAndDashes", "2011/01/05 13-45-10", At(2011, 1, 5, 13, 45, 10)},
        DateTextCase{"DateAlone", "2011-01-05", At(2011, 1, 5)},
        DateTextCase{"NoSeconds", "2011-01-05 13:45", At(2011, 1, 5, 13, 45)},
        DateTextCase{"HourAlone", "2011-01-05 13", At(2011, 1, 5, 13)},
        DateTextCase{"OneSecondDigitIsNotRead", "2011-01-05 13:45:1", At(2011, 1, 5, 13, 45)},
        DateTextCase{"OneTrailingCharacterIgnored", "2011-01-05 13:45:10Z",
                     At(2011, 1, 5, 13, 45, 10)},
        DateTextCase{"TrailingCharacterAfterDate", "2011-01-05X", At(2011, 1, 5)},
        DateTextCase{"TrailingWord", "2011-01-05 13:45:10 UTC", 0},
        DateTextCase{"GermanOrder", "05.01.2011 13:45", 0},
        DateTextCase{"NoLeadingZeros", "2011-1-5", 0},
        DateTextCase{"MonthWithoutZero", "2011-1-05", 0},
        DateTextCase{"IsoT", "2011-01-05T13:45:10", 0},
        DateTextCase{"TwoBlanks", "2011-01-05  13:45:10", 0},
        DateTextCase{"Year1899", "1899-12-31 10:00:00", 0},
        DateTextCase{"Year1900", "1900-01-01 00:00:00", At(1900, 1, 1)},
        DateTextCase{"Year3999", "3999-12-31 23:59:59", At(3999, 12, 31, 23, 59, 59)},
        DateTextCase{"Year4000", "4000-01-01", 0},
        DateTextCase{"February30", "2011-02-30 10:00:00", 0},
        DateTextCase{"LeapDay", "2012-02-29 10:00:00", At(2012, 2, 29, 10)},
        DateTextCase{"LeapDayOfCommonYear", "2011-02-29", 0},
        DateTextCase{"April31", "2011-04-31", 0}, DateTextCase{"Month13", "2011-13-05", 0},
        DateTextCase{"Day32", "2011-01-32", 0}, DateTextCase{"Hour24", "2011-01-05 24:00:00", 0},
        DateTextCase{"Minute60", "2011-01-05 23:60:00", 0},
        DateTextCase{"Second60", "2011-01-05 23:59:60", 0},
        DateTextCase{"YearMonthOnly", "2011-01", 0}, DateTextCase{"DayCutShort", "2011-01-5", 0},
        DateTextCase{"Empty", "", 0}, DateTextCase{"Quoted", "\"2011-01-05 13:45:10\"", 0},
        DateTextCase{"LocaleSeparatorRefusedWhenNotTheLocales", "2011-01-05 13.45.10", 0},
        DateTextCase{"LocaleTimeSeparator", "2011-01-05 13.45.10", At(2011, 1, 5, 13, 45, 10),
                     kDotTime}),
    CaseName);

class DateTextTest : public testing::TestWithParam<DateTextCase> {};

TEST_P(DateTextTest, ReadsYearMonthDay) {
    const DateTextCase& c = GetParam();
    EXPECT_TRUE(SameMoment(c.expected, ParseDateText(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DateTextTest,
    testing::Values(DateTextCase{"Dashes", "2011-01-05", At(2011, 1, 5)},
                    DateTextCase{"Slashes", "2011/01/05", At(2011, 1, 5)},
                    DateTextCase{"DayCutShortByEnd", "2011-01-5", At(2011, 1, 5)},
                    DateTextCase{"OneTrailingCharacterIgnored", "2011-01-05 ", At(2011, 1, 5)},
                    DateTextCase{"TwoTrailingCharacters", "2011-01-05 1", 0},
                    DateTextCase{"WithTime", "2011-01-05 13:45:10", 0},
                    DateTextCase{"MonthWithoutZero", "2011-1-05", 0},
                    DateTextCase{"NoDay", "2011-01", 0}, DateTextCase{"NotADay", "2011-02-29", 0},
                    DateTextCase{"Year1899", "1899-12-31", 0}, DateTextCase{"Empty", "", 0}),
    CaseName);

class TimeTextTest : public testing::TestWithParam<DateTextCase> {};

TEST_P(TimeTextTest, ReadsHourMinuteSecond) {
    const DateTextCase& c = GetParam();
    EXPECT_TRUE(SameMoment(c.expected, ParseTimeText(c.text, c.settings)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeTextTest,
    testing::Values(
        DateTextCase{"Colons", "13:45:10", EncodeTime(13, 45, 10, 0)},
        DateTextCase{"Dashes", "13-45-10", EncodeTime(13, 45, 10, 0)},
        DateTextCase{"NoSeconds", "13:45", EncodeTime(13, 45, 0, 0)},
        DateTextCase{"HourAlone", "13", EncodeTime(13, 0, 0, 0)},
        DateTextCase{"Midnight", "00:00:00", 0},
        DateTextCase{"OneSecondDigitIsNotRead", "13:45:1", EncodeTime(13, 45, 0, 0)},
        DateTextCase{"OneTrailingCharacterIgnored", "13:45:10Z", EncodeTime(13, 45, 10, 0)},
        DateTextCase{"TrailingWord", "13:45:10 x", -1}, DateTextCase{"HourWithoutZero", "1:45", -1},
        DateTextCase{"Hour24", "24:00:00", -1}, DateTextCase{"Minute60", "12:60", -1},
        DateTextCase{"Letters", "ab", -1}, DateTextCase{"Empty", "", -1},
        DateTextCase{"DotsRefused", "13.45.10", -1},
        DateTextCase{"LocaleTimeSeparator", "13.45.10", EncodeTime(13, 45, 10, 0), kDotTime}),
    CaseName);

struct FloatCase {
    const char* name;
    std::string text;
    char separator;
    std::optional<double> expected;
};

void PrintTo(const FloatCase& c, std::ostream* out) {
    *out << c.name;
}

class ParseFloatTextTest : public testing::TestWithParam<FloatCase> {};

TEST_P(ParseFloatTextTest, KeepsOnlyNumberCharacters) {
    const FloatCase& c = GetParam();
    EXPECT_EQ(ParseFloatText(c.text, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseFloatTextTest,
    testing::Values(
        FloatCase{"Point", "3.25", '.', 3.25}, FloatCase{"ThousandsComma", "1,234.5", '.', 1234.5},
        FloatCase{"CommaDroppedUnderPoint", "3,25", '.', 325}, FloatCase{"MinusAlone", "-", '.', 0},
        FloatCase{"TrailingSeparator", "5.", '.', 5},
        FloatCase{"Letters", "abc", '.', std::nullopt}, FloatCase{"Empty", "", '.', std::nullopt},
        FloatCase{"LetterEAlone", "yes", '.', std::nullopt},
        FloatCase{"LetterEKeptFromCurrencyCode", "EUR 12.50", '.', std::nullopt},
        FloatCase{"CurrencySign", "$ 12.50", '.', 12.5}, FloatCase{"Exponent", "1.5E3", '.', 1500},
        FloatCase{"NegativeExponent", "-2e-7", '.', -2e-7}, FloatCase{"PlusSign", "+7", '.', 7},
        FloatCase{"MinusAfterDigits", "5-", '.', std::nullopt},
        FloatCase{"Comma", "3,25", ',', 3.25}, FloatCase{"PointUnderComma", "3.25", ',', 3.25},
        FloatCase{"ThousandsPointUnderComma", "1.234,5", ',', 1234.5},
        FloatCase{"TrailingComma", "5,", ',', 5}, FloatCase{"QuotedComma", "\"3,25\"", ',', 3.25},
        FloatCase{"OutOfRange", "1E400", '.', std::nullopt}),
    [](const testing::TestParamInfo<FloatCase>& info) { return info.param.name; });

TEST(ParseFloatText, BlankSeparatorMeansTheSystems) {
    const char system = DefaultFormatSettings().DecimalSeparator;
    for (const std::string text : {"3,25", "3.25", "1.234,5", "-"}) {
        EXPECT_EQ(ParseFloatText(text, ' '), ParseFloatText(text, system)) << text;
    }
}

TEST(FloatToCsvText, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FloatToCsvText(3.25, '.'), "3.25");
    EXPECT_EQ(FloatToCsvText(3.25, ','), "3,25");
    EXPECT_EQ(FloatToCsvText(-2.5, '.'), "-2.5");
    EXPECT_EQ(FloatToCsvText(0, '.'), "0");
    EXPECT_EQ(FloatToCsvText(1234567, '.'), "1234567");
    EXPECT_EQ(FloatToCsvText(0.1, '.'), "0.1");
    EXPECT_EQ(FloatToCsvText(1.0 / 3, '.'), "0.333333333333333");
    EXPECT_EQ(FloatToCsvText(1e20, '.'), "1E20");
    EXPECT_EQ(FloatToCsvText(-1.5e-7, ','), "-1,5E-7");
    EXPECT_EQ(FloatToCsvText(123456789012345678.0, '.'), "1.23456789012346E17");
}

TEST(FloatToCsvText, NoNumberGivesNoText) {
    EXPECT_EQ(FloatToCsvText(std::numeric_limits<double>::infinity(), '.'), "");
    EXPECT_EQ(FloatToCsvText(-std::numeric_limits<double>::infinity(), '.'), "");
    EXPECT_EQ(FloatToCsvText(std::numeric_limits<double>::quiet_NaN(), ','), "");
}

// The value a text of 15 significant digits stands for.
double AtFifteenDigits(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    return std::strtod(text, nullptr);
}

TEST(FloatToCsvText, ReadsBackAtFifteenDigits) {
    std::mt19937_64 random(20110105);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-310, 300);
    for (int i = 0; i < 2000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        for (const char separator : {'.', ','}) {
            const std::string text = FloatToCsvText(value, separator);
            const std::optional<double> back = ParseFloatText(text, separator);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(*back, AtFifteenDigits(value)) << text;
            EXPECT_EQ(FloatToCsvText(*back, separator), text);
        }
    }
}

struct IntegerCase {
    std::string text;
    std::optional<std::int32_t> expected;
};

TEST(ParseIntegerText, DecimalOrHexadecimalWithin32Bits) {
    const IntegerCase cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {"0", 0},
        {"$FF", 255},
        {"0x1F", 31},
        {"x10", 16},
        {"$FFFFFFFF", -1},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt},
        {"1.5", std::nullopt},
        {"4.0", std::nullopt},
        {"12 x", std::nullopt},
        {"x", std::nullopt},
        {"", std::nullopt},
    };
    for (const IntegerCase& c : cases) EXPECT_EQ(ParseIntegerText(c.text), c.expected) << c.text;
}

TEST(ParseBooleanText, NonZeroIntegerIsTrue) {
    EXPECT_TRUE(ParseBooleanText("1"));
    EXPECT_TRUE(ParseBooleanText("-1"));
    EXPECT_TRUE(ParseBooleanText("$10"));
    EXPECT_FALSE(ParseBooleanText("0"));
    EXPECT_FALSE(ParseBooleanText("yes"));
    EXPECT_FALSE(ParseBooleanText(""));
}

struct HexCase {
    std::string text;
    std::int32_t correction;
    TDateTime expected;
};

TEST(TimeTHexToDateTime, SecondsSince1970WithCorrection) {
    const HexCase cases[] = {
        {"4D24A5C0", 0, At(2011, 1, 5, 17, 9, 20)},
        {"4d24a5c0", 0, At(2011, 1, 5, 17, 9, 20)},
        {"4D24A5C0", 3600, At(2011, 1, 5, 18, 9, 20)},
        {"4D24A5C0", -3600, At(2011, 1, 5, 16, 9, 20)},
        {"1", 0, At(1970, 1, 1, 0, 0, 1)},
        {"00000000", 0, 0},
        {"FFFFFFFF", 0, 0},
        {"80000000", 0, 0},
        {"FFFFFFFF", 3600, At(1970, 1, 1, 0, 59, 59)},
        {"7FFFFFFF", 0, At(2038, 1, 19, 3, 14, 7)},
        {"zz", 0, 0},
        {"zz", 3600, 0},
        {"", 3600, 0},
        {"0x10", 0, 0},
        {"123456789", 0, 0},
    };
    for (const HexCase& c : cases) {
        EXPECT_TRUE(SameMoment(c.expected, TimeTHexToDateTime(c.text, c.correction)))
            << c.text << " " << c.correction;
    }
}

TEST(DateTimeToTimeTHex, EightUpperCaseDigitsOfTheLow32Bits) {
    EXPECT_EQ(DateTimeToTimeTHex(At(2011, 1, 5, 17, 9, 20), 0), "4D24A5C0");
    EXPECT_EQ(DateTimeToTimeTHex(At(2011, 1, 5, 18, 9, 20), 3600), "4D24A5C0");
    EXPECT_EQ(DateTimeToTimeTHex(At(1970, 1, 1), 0), "00000000");
    EXPECT_EQ(DateTimeToTimeTHex(At(1969, 12, 31, 23, 59, 59), 0), "FFFFFFFF");
    EXPECT_EQ(DateTimeToTimeTHex(At(1970, 1, 1), 1), "FFFFFFFF");
    EXPECT_EQ(DateTimeToTimeTHex(At(2106, 2, 7, 6, 28, 17), 0), "00000001");
    EXPECT_EQ(DateTimeToTimeTHex(At(1970, 1, 1, 0, 0, 1) + 0.6 / 86400, 0), "00000001");
    EXPECT_EQ(DateTimeToTimeTHex(At(1970, 1, 1) - 0.6 / 86400, 0), "00000000");
}

TEST(DateTimeToTimeTHex, ValuesWithoutSecondsGiveNoText) {
    EXPECT_EQ(DateTimeToTimeTHex(std::numeric_limits<double>::quiet_NaN(), 0), "");
    EXPECT_EQ(DateTimeToTimeTHex(std::numeric_limits<double>::infinity(), 0), "");
    EXPECT_EQ(DateTimeToTimeTHex(1e300, 0), "");
}

TEST(DateTimeToTimeTHex, RoundTripsEveryPositiveTimeStamp) {
    std::mt19937 random(1294247360);
    std::uniform_int_distribution<std::int32_t> seconds(1,
                                                        std::numeric_limits<std::int32_t>::max());
    for (int i = 0; i < 5000; ++i) {
        const std::int32_t n = seconds(random);
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(n));
        for (const std::int32_t correction : {0, 3600, -7200}) {
            if (std::int64_t{n} + correction <= 0) continue;
            const TDateTime value = TimeTHexToDateTime(hex, correction);
            ASSERT_EQ(DateTimeToTimeTHex(value, correction), hex) << correction;
            // As a field value the time stamp passes through the framework's milliseconds.
            const TDateTime stored = TimeStampToDateTime(DateTimeToTimeStamp(value));
            ASSERT_EQ(DateTimeToTimeTHex(stored, correction), hex) << correction;
        }
    }
}

TEST(FormatCsvDateTime, FixedLayoutsWithTheLocalesTimeSeparator) {
    const TDateTime value = At(2011, 1, 5, 13, 45, 10) + EncodeTime(0, 0, 0, 999);
    EXPECT_EQ(FormatCsvDateTime(value, kColonTime), "2011-01-05 13:45:10");
    EXPECT_EQ(FormatCsvDateTime(value, kDotTime), "2011-01-05 13.45.10");
    EXPECT_EQ(FormatCsvDate(value, kColonTime), "2011-01-05");
    EXPECT_EQ(FormatCsvTime(value, kColonTime), "13:45:10");
    EXPECT_EQ(FormatCsvTime(value, kDotTime), "13.45.10");
}

TEST(FormatCsvDateTime, ReadsBackWhateverTheTimeSeparator) {
    const TDateTime value = At(2024, 2, 29, 23, 59, 58);
    for (const TFormatSettings& settings : {kColonTime, kDotTime}) {
        EXPECT_TRUE(
            SameMoment(value, ParseDateTimeText(FormatCsvDateTime(value, settings), settings)));
        EXPECT_TRUE(SameMoment(At(2024, 2, 29), ParseDateText(FormatCsvDate(value, settings))));
        EXPECT_TRUE(SameMoment(EncodeTime(23, 59, 58, 0),
                               ParseTimeText(FormatCsvTime(value, settings), settings)));
    }
}

// A text of the full length is read at fixed places; with one more character, ignored as the last
// one always is, the same text goes the general way. Both must agree on every text near the
// common shape: digits and separators swapped, out-of-range numbers, foreign characters. The
// milliseconds agree with the value in days.
TEST(ParseDateTimeText, FullLengthTextsReadAsTheGeneralWayReadsThemInDaysAndInMilliseconds) {
    constexpr std::string_view kAlphabet = "0123456789/-: .T";
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> year(1890, 4010);
    std::uniform_int_distribution<int> part(0, 99);
    std::uniform_int_distribution<std::size_t> place(0, 18);
    std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1);
    int valid = 0;
    int invalid = 0;
    for (int i = 0; i < 20000; ++i) {
        const TFormatSettings& settings = i % 2 == 0 ? kColonTime : kDotTime;
        char shaped[64];
        std::snprintf(shaped, sizeof shaped, "%04d-%02d-%02d %02d%c%02d%c%02d", year(random),
                      part(random) % 14, part(random) % 33, part(random) % 26,
                      settings.TimeSeparator, part(random) % 62, settings.TimeSeparator,
                      part(random) % 62);
        std::string text(shaped);
        for (int changes = static_cast<int>(random() % 3); changes > 0; --changes) {
            text[place(random)] = kAlphabet[letter(random)];
        }
        ASSERT_EQ(text.size(), 19U);
        const TDateTime fixed = ParseDateTimeText(text, settings);
        const TDateTime general = ParseDateTimeText(text + kAlphabet[letter(random)], settings);
        ASSERT_EQ(fixed, general) << text;
        const std::optional<double> msecs = ParseDateTimeMSecs(text, settings);
        ASSERT_EQ(msecs.has_value(), fixed > 1.0) << text;
        if (msecs) {
            ASSERT_EQ(*msecs, TimeStampToMSecs(DateTimeToTimeStamp(fixed))) << text;
        }
        ++(fixed != 0 ? valid : invalid);
    }
    // Both kinds of text were met often enough for the comparison to mean something.
    EXPECT_GT(valid, 2000);
    EXPECT_GT(invalid, 2000);
}

}  // namespace
}  // namespace tavisto
