#include <gtest/gtest.h>

#include <cmath>

#include "platform/DateTime.h"

namespace tavisto {
namespace {

const TFormatSettings kDefault{};
const TFormatSettings kDotTime{',', '.'};

struct KnownDate {
    int Year, Month, Day;
    double Serial;
};

class KnownDates : public ::testing::TestWithParam<KnownDate> {};

TEST_P(KnownDates, EncodeAndDecodeAgree) {
    const KnownDate& d = GetParam();
    EXPECT_EQ(EncodeDate(d.Year, d.Month, d.Day), d.Serial);
    const TDateParts parts = DecodeDate(d.Serial);
    EXPECT_EQ(parts.Year, d.Year);
    EXPECT_EQ(parts.Month, d.Month);
    EXPECT_EQ(parts.Day, d.Day);
}

INSTANTIATE_TEST_SUITE_P(DateTime, KnownDates,
                         ::testing::Values(KnownDate{1899, 12, 30, 0}, KnownDate{1899, 12, 31, 1},
                                           KnownDate{1900, 3, 1, 61}, KnownDate{1970, 1, 1, 25569},
                                           KnownDate{2011, 1, 5, 40548},
                                           KnownDate{2000, 2, 29, 36585},
                                           KnownDate{1, 1, 1, -693593},
                                           KnownDate{9999, 12, 31, 2958465}));

TEST(DateTime, EveryDayFollowsTheDayBefore) {
    TDateParts previous = DecodeDate(-693593);
    for (int serial = -693592; serial <= 2958465; ++serial) {
        const TDateParts day = DecodeDate(serial);
        const bool nextDay =
            day.Year == previous.Year && day.Month == previous.Month && day.Day == previous.Day + 1;
        const bool nextMonth =
            day.Day == 1 && previous.Day == DaysInMonth(previous.Year, previous.Month) &&
            ((day.Year == previous.Year && day.Month == previous.Month + 1) ||
             (day.Year == previous.Year + 1 && day.Month == 1 && previous.Month == 12));
        ASSERT_TRUE(nextDay || nextMonth) << "serial " << serial;
        previous = day;
    }
}

TEST(DateTime, DatesThatDoNotExistAreRefused) {
    TDateTime value = 0;
    EXPECT_FALSE(TryEncodeDate(2011, 2, 29, value));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, value));
    EXPECT_FALSE(TryEncodeDate(2011, 4, 31, value));
    EXPECT_FALSE(TryEncodeDate(2011, 13, 1, value));
    EXPECT_FALSE(TryEncodeDate(2011, 1, 0, value));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, value));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, value));
    EXPECT_THROW(EncodeDate(2011, 2, 30), EConvertError);
}

TEST(DateTime, TimesEncodeAsFractionsOfADay) {
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTime(24, 0, 0, 0), 1.0);
    TDateTime value = 0;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 1, value));
    EXPECT_FALSE(TryEncodeTime(23, 60, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(23, 0, 60, 0, value));
    EXPECT_FALSE(TryEncodeTime(23, 0, 0, 1000, value));
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);

    const TTimeParts parts = DecodeTime(EncodeDate(2011, 1, 5) + EncodeTime(13, 45, 10, 250));
    EXPECT_EQ(parts.Hour, 13);
    EXPECT_EQ(parts.Minute, 45);
    EXPECT_EQ(parts.Second, 10);
    EXPECT_EQ(parts.MSec, 250);
}

TEST(DateTime, ValuesBeforeTheOriginKeepTheTimeAsAbsoluteFraction) {
    const TDateParts date = DecodeDate(-1.25);
    EXPECT_EQ(date.Year, 1899);
    EXPECT_EQ(date.Month, 12);
    EXPECT_EQ(date.Day, 29);
    EXPECT_EQ(DecodeTime(-1.25).Hour, 6);
    EXPECT_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-1.25)), -1.25);
}

TEST(DateTime, TimeStampsCountDaysFromYearOneAndMilliseconds) {
    EXPECT_EQ(DateTimeToTimeStamp(0), (TTimeStamp{0, 693594}));
    EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)).Date, 1);
    const TDateTime value = EncodeDate(2011, 1, 5) + EncodeTime(13, 45, 10, 0);
    const TTimeStamp stamp = DateTimeToTimeStamp(value);
    EXPECT_EQ(stamp, (TTimeStamp{49'510'000, 40548 + 693594}));
    const double msecs = TimeStampToMSecs(stamp);
    EXPECT_EQ(msecs, (40548.0 + 693594.0) * 86'400'000.0 + 49'510'000.0);
    EXPECT_EQ(MSecsToTimeStamp(msecs), stamp);
    EXPECT_DOUBLE_EQ(TimeStampToDateTime(MSecsToTimeStamp(msecs)), value);
}

TEST(DateTime, RoundingToTheMillisecondCarriesIntoTheNextDay) {
    const TDateTime almostMidnight = EncodeDate(2011, 1, 5) + 0.99999999999;
    const TTimeStamp stamp = DateTimeToTimeStamp(almostMidnight);
    EXPECT_EQ(stamp.Time, 0);
    EXPECT_EQ(stamp.Date, DateTimeToTimeStamp(EncodeDate(2011, 1, 6)).Date);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", almostMidnight, kDefault),
              "2011-01-06 00:00:00");
}

TEST(DateTime, InvalidTimeStampsAndValuesRaise) {
    EXPECT_THROW(MSecsToTimeStamp(0), EConvertError);
    EXPECT_THROW(MSecsToTimeStamp(-5), EConvertError);
    EXPECT_THROW(MSecsToTimeStamp(1e30), EConvertError);
    EXPECT_THROW(TimeStampToDateTime(TTimeStamp{86'400'000, 5}), EConvertError);
    EXPECT_THROW(TimeStampToDateTime(TTimeStamp{0, 0}), EConvertError);
    EXPECT_THROW(DateTimeToTimeStamp(3e6), EConvertError);
    EXPECT_THROW(DateTimeToTimeStamp(-700000), EConvertError);
    EXPECT_THROW(DateTimeToTimeStamp(std::nan("")), EConvertError);
}

struct FormatCase {
    const char* Pattern;
    const char* Expected;
};

class FormatPatterns : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatPatterns, FormatsTheSampleValue) {
    const TDateTime value = EncodeDate(2011, 1, 5) + EncodeTime(7, 4, 9, 999);
    EXPECT_EQ(FormatDateTime(GetParam().Pattern, value, kDotTime), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(DateTime, FormatPatterns,
                         ::testing::Values(FormatCase{"yyyy-mm-dd hh:nn:ss", "2011-01-05 07.04.09"},
                                           FormatCase{"", "2011-01-05 07.04.09"},
                                           FormatCase{"YYYY/MM/DD", "2011/01/05"},
                                           FormatCase{"d.m.yy", "5.1.11"},
                                           FormatCase{"h:n:s", "7.4.9"},
                                           FormatCase{"hh:nn:ss.zzz", "07.04.09.999"},
                                           FormatCase{"'at' hh\"h\"", "at 07h"},
                                           FormatCase{"'unterminated", "unterminated"},
                                           FormatCase{"yyyymmdd-hhnnss", "20110105-070409"}));

TEST(DateTime, FormattingUsesTheDefaultSettingsWithoutExplicitOnes) {
    const TDateTime value = EncodeDate(2011, 1, 5) + EncodeTime(13, 45, 10, 0);
    const char separator = DefaultFormatSettings().TimeSeparator;
    EXPECT_EQ(FormatDateTime("hh:nn", value), std::string("13") + separator + "45");
}

TEST(DateTime, DateTimeToStrOmitsMidnight) {
    EXPECT_EQ(DateTimeToStr(EncodeDate(2011, 1, 5), kDefault), "2011-01-05");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2011, 1, 5) + EncodeTime(0, 0, 1, 0), kDefault),
              "2011-01-05 00:00:01");
}

struct ParseCase {
    const char* Text;
    bool Valid;
    double Expected;
};

class IsoTexts : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IsoTexts, ParseAsExpected) {
    TDateTime value = -1;
    EXPECT_EQ(TryStrToDateTime(GetParam().Text, value, kDotTime), GetParam().Valid);
    if (GetParam().Valid) {
        EXPECT_DOUBLE_EQ(value, GetParam().Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(DateTime, IsoTexts,
                         ::testing::Values(ParseCase{"2011-01-05", true, 40548},
                                           ParseCase{"2011-01-05 12:00", true, 40548.5},
                                           ParseCase{"2011-01-05T06:00:00", true, 40548.25},
                                           ParseCase{"2011-01-05 06.00.00", true, 40548.25},
                                           ParseCase{"2011-02-30", false, 0},
                                           ParseCase{"2011-1-05", false, 0},
                                           ParseCase{"2011-01-05 25:00", false, 0},
                                           ParseCase{"2011-01-05 12:00:00Z", false, 0},
                                           ParseCase{"2011-01-05 ", false, 0},
                                           ParseCase{"", false, 0}));

}  // namespace
}  // namespace tavisto
