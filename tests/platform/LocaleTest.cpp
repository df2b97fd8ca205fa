#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/Locale.h"

namespace tavisto {
namespace {

const TFormatSettings kDot{'.', ':'};
const TFormatSettings kComma{',', ':'};

struct FloatCase {
    double Value;
    const char* Expected;
};

class FloatTexts : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatTexts, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FloatToStr(GetParam().Value, kDot), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Locale, FloatTexts,
                         ::testing::Values(FloatCase{0, "0"}, FloatCase{-0.0, "0"},
                                           FloatCase{3.25, "3.25"}, FloatCase{-7, "-7"},
                                           FloatCase{100, "100"}, FloatCase{0.1 + 0.2, "0.3"},
                                           FloatCase{1.0 / 3, "0.333333333333333"},
                                           FloatCase{123456789012345, "123456789012345"},
                                           FloatCase{1e15, "1E15"}, FloatCase{1.5e20, "1.5E20"},
                                           FloatCase{0.00001, "0.00001"},
                                           FloatCase{0.000001, "1E-6"}, FloatCase{-2e-7, "-2E-7"},
                                           FloatCase{HUGE_VAL, "INF"}, FloatCase{-HUGE_VAL, "-INF"},
                                           FloatCase{std::nan(""), "NAN"}));

TEST(Locale, FloatTextUsesTheDecimalSeparatorOfTheSettings) {
    EXPECT_EQ(FloatToStr(3.25, kComma), "3,25");
    EXPECT_EQ(FloatToStr(1.5e20, kComma), "1,5E20");
}

struct ParseFloatCase {
    const char* Text;
    std::optional<double> Expected;
};

class FloatParsing : public ::testing::TestWithParam<ParseFloatCase> {};

TEST_P(FloatParsing, ReadsOnlyWellFormedNumbers) {
    double value = -12345;
    const bool ok = TryStrToFloat(GetParam().Text, value, kComma);
    ASSERT_EQ(ok, GetParam().Expected.has_value());
    if (ok) {
        EXPECT_DOUBLE_EQ(value, *GetParam().Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locale, FloatParsing,
    ::testing::Values(ParseFloatCase{"3,25", 3.25}, ParseFloatCase{" -3,25 ", -3.25},
                      ParseFloatCase{"+5", 5.0}, ParseFloatCase{"5,", 5.0},
                      ParseFloatCase{",5", 0.5}, ParseFloatCase{"1,5E3", 1500.0},
                      ParseFloatCase{"1e-2", 0.01}, ParseFloatCase{"3.25", std::nullopt},
                      ParseFloatCase{"", std::nullopt}, ParseFloatCase{"-", std::nullopt},
                      ParseFloatCase{",", std::nullopt}, ParseFloatCase{"1,2,3", std::nullopt},
                      ParseFloatCase{"1E", std::nullopt}, ParseFloatCase{"1e400", std::nullopt},
                      ParseFloatCase{"12 x", std::nullopt}, ParseFloatCase{"abc", std::nullopt}));

struct ParseIntCase {
    const char* Text;
    std::optional<std::int32_t> Expected;
};

class IntParsing : public ::testing::TestWithParam<ParseIntCase> {};

TEST_P(IntParsing, ReadsDecimalAndHexadecimal) {
    std::int32_t value = 12345;
    const bool ok = TryStrToInt(GetParam().Text, value);
    ASSERT_EQ(ok, GetParam().Expected.has_value());
    if (ok) {
        EXPECT_EQ(value, *GetParam().Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locale, IntParsing,
    ::testing::Values(ParseIntCase{"42", 42}, ParseIntCase{"-7", -7}, ParseIntCase{" 12 ", 12},
                      ParseIntCase{"+3", 3}, ParseIntCase{"$FF", 255}, ParseIntCase{"0x10", 16},
                      ParseIntCase{"x1a", 26}, ParseIntCase{"-$10", -16},
                      ParseIntCase{"$FFFFFFFF", -1}, ParseIntCase{"2147483647", 2147483647},
                      ParseIntCase{"-2147483648", INT32_MIN},
                      ParseIntCase{"2147483648", std::nullopt},
                      ParseIntCase{"99999999999999999999999", std::nullopt},
                      ParseIntCase{"$123456789", std::nullopt}, ParseIntCase{"1.5", std::nullopt},
                      ParseIntCase{"12 x", std::nullopt}, ParseIntCase{"", std::nullopt},
                      ParseIntCase{"-", std::nullopt}, ParseIntCase{"$", std::nullopt},
                      ParseIntCase{"0x", std::nullopt}));

TEST(Locale, SixtyFourBitIntegers) {
    std::int64_t value = 0;
    EXPECT_TRUE(TryStrToInt64("9223372036854775807", value));
    EXPECT_EQ(value, INT64_MAX);
    EXPECT_TRUE(TryStrToInt64("-9223372036854775808", value));
    EXPECT_EQ(value, INT64_MIN);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", value));
    EXPECT_TRUE(TryStrToInt64("$FFFFFFFFFFFFFFFF", value));
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(TryStrToInt64("-$8000000000000000", value));
}

TEST(Locale, TimeSeparatorComesFromTheHourOfThePattern) {
    EXPECT_EQ(TimeSeparatorOfPattern("%H:%M:%S"), ':');
    EXPECT_EQ(TimeSeparatorOfPattern("%H.%M.%S"), '.');
    EXPECT_EQ(TimeSeparatorOfPattern("%I:%M:%S %p"), ':');
    EXPECT_EQ(TimeSeparatorOfPattern("%T"), ':');
    EXPECT_EQ(TimeSeparatorOfPattern(""), ':');
    EXPECT_EQ(TimeSeparatorOfPattern("%H%M"), ':');
}

// Runs body with LC_ALL set to value, restoring the previous environment afterwards.
template <class Body>
void WithLocaleEnvironment(const char* value, Body body) {
    const char* previous = std::getenv("LC_ALL");
    const std::optional<std::string> saved =
        previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
    setenv("LC_ALL", value, 1);
    body();
    if (saved) {
        setenv("LC_ALL", saved->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

TEST(Locale, TheCLocaleAndUnknownLocalesGiveTheDefaults) {
    WithLocaleEnvironment("C", [] {
        const TFormatSettings settings = ReadSystemFormatSettings();
        EXPECT_EQ(settings.DecimalSeparator, '.');
        EXPECT_EQ(settings.TimeSeparator, ':');
    });
    WithLocaleEnvironment("xx_NOWHERE.UTF-8", [] {
        const TFormatSettings settings = ReadSystemFormatSettings();
        EXPECT_EQ(settings.DecimalSeparator, '.');
        EXPECT_EQ(settings.TimeSeparator, ':');
    });
}

}  // namespace
}  // namespace tavisto
