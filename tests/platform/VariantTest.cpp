#include <gtest/gtest.h>

#include "platform/Variant.h"

namespace tavisto {
namespace {

TEST(Variant, KindsOfConstruction) {
    EXPECT_EQ(Variant().Type(), TVarType::Empty);
    EXPECT_EQ(Variant::Null().Type(), TVarType::Null);
    EXPECT_EQ(Variant(true).Type(), TVarType::Boolean);
    EXPECT_EQ(Variant(5).Type(), TVarType::Integer);
    EXPECT_EQ(Variant(std::int64_t{5}).Type(), TVarType::Integer);
    EXPECT_EQ(Variant(2.5).Type(), TVarType::Float);
    EXPECT_EQ(Variant::FromDateTime(2.5).Type(), TVarType::DateTime);
    EXPECT_EQ(Variant("abc").Type(), TVarType::String);
    EXPECT_EQ(Variant::Array({1, 2}).Type(), TVarType::Array);
}

TEST(Variant, ConversionsToText) {
    const TFormatSettings comma{',', ':'};
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(-42).AsString(), "-42");
    EXPECT_EQ(Variant(3.25).AsString(comma), "3,25");
    EXPECT_EQ(Variant::FromDateTime(EncodeDate(2011, 1, 5) + 0.5).AsString(comma),
              "2011-01-05 12:00:00");
    EXPECT_THROW(Variant::Null().AsString(), EVariantError);
    EXPECT_THROW(Variant::Array({1}).AsString(), EVariantError);
}

TEST(Variant, ConversionsToNumbers) {
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant("$10").AsInteger(), 16);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(true).AsInteger(), 1);
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_THROW(Variant(std::int64_t{1} << 40).AsInteger(), EVariantError);
    EXPECT_THROW(Variant(1e300).AsInt64(), EVariantError);
    EXPECT_THROW(Variant("abc").AsInteger(), EVariantError);
    EXPECT_THROW(Variant::Null().AsInteger(), EVariantError);
    EXPECT_DOUBLE_EQ(Variant(7).AsFloat(), 7.0);
    EXPECT_THROW(Variant("1,5").AsFloat(), EVariantError);
}

TEST(Variant, ConversionsToBooleanAndDateTime) {
    EXPECT_TRUE(Variant("TRUE").AsBoolean());
    EXPECT_FALSE(Variant("false").AsBoolean());
    EXPECT_TRUE(Variant("-1").AsBoolean());
    EXPECT_FALSE(Variant(0.0).AsBoolean());
    EXPECT_THROW(Variant("yes").AsBoolean(), EVariantError);
    EXPECT_DOUBLE_EQ(Variant("2011-01-05 12:00").AsDateTime(), 40548.5);
    EXPECT_DOUBLE_EQ(Variant("40548.25").AsDateTime(), 40548.25);
    EXPECT_DOUBLE_EQ(Variant::FromDateTime(3.5).AsFloat(), 3.5);
    EXPECT_THROW(Variant("tomorrow").AsDateTime(), EVariantError);
}

TEST(Variant, ArraysKeepTheirBounds) {
    const Variant keys = Variant::Array({"a", 2, Variant::Null()}, 1);
    EXPECT_EQ(keys.ArrayLowBound(), 1);
    EXPECT_EQ(keys.ArrayHighBound(), 3);
    EXPECT_EQ(keys.ArrayElement(1).AsString(), "a");
    EXPECT_TRUE(keys.ArrayElement(3).IsNull());
    EXPECT_THROW(keys.ArrayElement(0), EVariantError);
    EXPECT_THROW(keys.ArrayElement(4), EVariantError);
    EXPECT_THROW(Variant(1).ArrayLowBound(), EVariantError);
    EXPECT_EQ(Variant::Array({}, 0).ArrayHighBound(), -1);
}

struct EqualityCase {
    Variant Left;
    Variant Right;
    bool Equal;
};

class VariantEquality : public ::testing::TestWithParam<EqualityCase> {};

TEST_P(VariantEquality, ComparesByValue) {
    EXPECT_EQ(GetParam().Left == GetParam().Right, GetParam().Equal);
    EXPECT_EQ(GetParam().Right == GetParam().Left, GetParam().Equal);
}

INSTANTIATE_TEST_SUITE_P(
    Variant, VariantEquality,
    ::testing::Values(
        EqualityCase{Variant(), Variant(), true},
        EqualityCase{Variant::Null(), Variant::Null(), true},
        EqualityCase{Variant(), Variant::Null(), false}, EqualityCase{Variant(), Variant(0), false},
        EqualityCase{Variant::Null(), Variant(""), false},
        EqualityCase{Variant("abc"), Variant("abc"), true},
        EqualityCase{Variant("abc"), Variant("ABC"), false},
        EqualityCase{Variant(2), Variant(2.0), true}, EqualityCase{Variant("2"), Variant(2), true},
        EqualityCase{Variant("2.5"), Variant(2.5), true},
        EqualityCase{Variant(true), Variant(1), true},
        EqualityCase{Variant(false), Variant("False"), true},
        EqualityCase{Variant::FromDateTime(40548.5), Variant(40548.5), true},
        EqualityCase{Variant::FromDateTime(40548.5), Variant("2011-01-05 12:00:00"), true},
        EqualityCase{Variant::Array({1, "x"}), Variant::Array({1, "x"}), true},
        EqualityCase{Variant::Array({1, "x"}, 1), Variant::Array({1, "x"}), false},
        EqualityCase{Variant::Array({1}), Variant(1), false}));

TEST(Variant, TextThatIsNoNumberCannotBeComparedWithOne) {
    EXPECT_THROW(static_cast<void>(Variant("abc") == Variant(1)), EVariantError);
    EXPECT_THROW(static_cast<void>(Variant("abc") == Variant::FromDateTime(1)), EVariantError);
}

}  // namespace
}  // namespace tavisto
