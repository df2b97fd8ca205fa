#include <gtest/gtest.h>

#include <cstdint>

#include "DbTestSupport.h"
#include "db/DateTimeFields.h"
#include "db/NumericFields.h"
#include "db/StringFields.h"
#include "db/Utf16.h"

namespace tavisto::testing {
namespace {

std::vector<Column> EveryType() {
    return {{"S", ftString, 8},    {"W", ftWideString, 5}, {"I", ftInteger, 0},
            {"SM", ftSmallint, 0}, {"B", ftBoolean, 0},    {"F", ftFloat, 0},
            {"D", ftDate, 0},      {"T", ftTime, 0},       {"DT", ftDateTime, 0}};
}

const Row kSample = {"abcdefghijk", "Grüße!",   "42",
                     "-7",          "1",        "3.25",
                     "2011-01-05",  "13:45:10", "2011-01-05 13:45:10"};
const Row kEmpty(9);

class Fields : public ::testing::Test {
protected:
    TMemoryDataSet table{EveryType(), {kSample, kEmpty}};
    void SetUp() override { table.Open(); }
    TField& Field(const char* name) { return table.FieldByName(name); }
    const Row& Stored() { return table.Rows()[0]; }
};

TEST_F(Fields, DefaultFieldsHaveTheClassAndBufferSizeOfTheirType) {
    EXPECT_NE(dynamic_cast<TWideStringField*>(&Field("W")), nullptr);
    EXPECT_NE(dynamic_cast<TSmallintField*>(&Field("SM")), nullptr);
    EXPECT_NE(dynamic_cast<TBooleanField*>(&Field("B")), nullptr);
    EXPECT_NE(dynamic_cast<TFloatField*>(&Field("F")), nullptr);
    EXPECT_NE(dynamic_cast<TDateField*>(&Field("D")), nullptr);
    EXPECT_NE(dynamic_cast<TTimeField*>(&Field("T")), nullptr);
    EXPECT_NE(dynamic_cast<TDateTimeField*>(&Field("DT")), nullptr);
    const std::vector<int> sizes = {9, 12, 4, 2, 2, 8, 4, 4, 8};
    for (int i = 0; i < table.Fields().Count(); ++i) {
        EXPECT_EQ(table.Fields()[i].DataSize(), sizes[static_cast<std::size_t>(i)]) << i;
    }
}

TEST_F(Fields, ValuesArriveInTheBufferFormsOfTheirTypes) {
    const std::int32_t dayNumber = 40548 + 693594;
    std::int32_t date = 0;
    std::int32_t time = 0;
    double stamp = 0;
    std::int16_t flag = 0;
    ASSERT_TRUE(Field("D").GetData(&date));
    ASSERT_TRUE(Field("T").GetData(&time));
    ASSERT_TRUE(Field("DT").GetData(&stamp));
    ASSERT_TRUE(Field("B").GetData(&flag));
    EXPECT_EQ(date, dayNumber);
    EXPECT_EQ(time, 49'510'000);
    EXPECT_EQ(stamp, dayNumber * 86'400'000.0 + 49'510'000.0);
    EXPECT_NE(flag, 0);
}

TEST_F(Fields, ValuesReadAsTheirTypes) {
    EXPECT_EQ(Field("S").AsString(), "abcdefgh");
    EXPECT_EQ(Field("W").AsString(), "Grüße");
    EXPECT_EQ(static_cast<TWideStringField&>(Field("W")).AsWideString(), u"Grüße");
    EXPECT_EQ(Field("I").AsInteger(), 42);
    EXPECT_EQ(Field("I").AsString(), "42");
    EXPECT_EQ(Field("SM").Value(), Variant(-7));
    EXPECT_TRUE(Field("B").AsBoolean());
    EXPECT_EQ(Field("B").DisplayText(), "True");
    EXPECT_DOUBLE_EQ(Field("F").AsFloat(), 3.25);
    EXPECT_EQ(Field("F").AsString(), FloatToStr(3.25, DefaultFormatSettings()));
    EXPECT_EQ(Field("D").AsDateTime(), EncodeDate(2011, 1, 5));
    EXPECT_EQ(Field("D").AsString(), "2011-01-05");
    EXPECT_EQ(Field("T").AsDateTime(), EncodeTime(13, 45, 10, 0));
    EXPECT_EQ(Field("DT").Value().Type(), TVarType::DateTime);
    EXPECT_EQ(Field("DT").AsDateTime(), EncodeDate(2011, 1, 5) + EncodeTime(13, 45, 10, 0));
    EXPECT_EQ(Field("DT").AsString(),
              FormatDateTime("yyyy-mm-dd hh:nn:ss", Field("DT").AsDateTime()));
}

TEST_F(Fields, DisplayFormatShapesTheDisplayTextOfDateTimes) {
    auto& stamp = static_cast<TDateTimeField&>(Field("DT"));
    stamp.SetDisplayFormat("dd.mm.yyyy hh:nn");
    const char separator = DefaultFormatSettings().TimeSeparator;
    EXPECT_EQ(stamp.DisplayText(), std::string("05.01.2011 13") + separator + "45");
    table.Next();
    EXPECT_EQ(stamp.DisplayText(), "");
}

TEST_F(Fields, EmptyTextsAreNull) {
    table.Next();
    for (int i = 0; i < table.Fields().Count(); ++i) {
        const TField& field = table.Fields()[i];
        EXPECT_TRUE(field.IsNull()) << field.FieldName();
        EXPECT_EQ(field.AsString(), "") << field.FieldName();
        EXPECT_EQ(field.AsInteger(), 0) << field.FieldName();
        EXPECT_EQ(field.DisplayText(), "") << field.FieldName();
    }
    EXPECT_TRUE(Field("I").Value().IsNull());
    EXPECT_TRUE(Field("DT").Value().IsNull());
    EXPECT_EQ(Field("S").Value(), Variant(""));
}

TEST_F(Fields, WritesStoreTheConvertedValue) {
    table.Edit();
    Field("S").SetAsString("xyz0123456789");
    Field("W").SetAsString("€uro-Zeichen");
    Field("I").SetAsString("12");
    Field("SM").SetValue(Variant("300"));
    Field("B").SetAsBoolean(true);
    Field("F").SetAsFloat(2.5);
    Field("D").SetAsDateTime(EncodeDate(2012, 2, 29) + 0.75);
    Field("T").SetAsDateTime(EncodeDate(2012, 2, 29) + EncodeTime(6, 30, 0, 0));
    Field("DT").SetValue(Variant("2011-01-05 12:00"));
    table.Post();
    EXPECT_EQ(Stored(), (Row{"xyz01234", "€uro-", "12", "300", "1", "2.5", "2012-02-29", "06:30:00",
                             "2011-01-05 12:00:00"}));
}

TEST_F(Fields, EmptyTextsAndNullClearNonTextFields) {
    table.Edit();
    Field("I").SetAsString("");
    Field("DT").SetValue(Variant::Null());
    Field("S").SetAsString("");
    table.Post();
    EXPECT_EQ(Stored()[2], "");
    EXPECT_EQ(Stored()[8], "");
    EXPECT_EQ(Stored()[0], "");
}

TEST_F(Fields, ValuesThatDoNotConvertAreRefusedWithTheFieldsName) {
    table.Edit();
    try {
        Field("I").SetAsString("abc");
        FAIL() << "abc was taken as an integer";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message().rfind("Invalid value for field 'I': ", 0), 0u);
    }
    EXPECT_THROW(Field("SM").SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(Field("D").SetValue(Variant("someday")), EDatabaseError);
    EXPECT_THROW(Field("DT").SetAsFloat(1e9), EDatabaseError);
    EXPECT_THROW(static_cast<void>(Field("S").AsInteger()), EDatabaseError);
    table.Cancel();
    EXPECT_EQ(Stored(), kSample);
}

TEST_F(Fields, WideTextIsNeverCutBetweenTheHalvesOfASurrogatePair) {
    table.Edit();
    static_cast<TWideStringField&>(Field("W")).SetAsWideString(u"abcd\U0001F600");
    table.Post();
    EXPECT_EQ(Stored()[1], "abcd");
}

TEST_F(Fields, PresentationDefaults) {
    const std::vector<int> widths = {8, 5, 11, 6, 5, 10, 10, 8, 19};
    for (int i = 0; i < table.Fields().Count(); ++i) {
        EXPECT_EQ(table.Fields()[i].DisplayWidth(), widths[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(Field("DT").DisplayLabel(), "DT");
    Field("DT").SetDisplayLabel("Datum");
    Field("DT").SetDisplayWidth(26);
    EXPECT_EQ(Field("DT").DisplayLabel(), "Datum");
    EXPECT_EQ(Field("DT").DisplayWidth(), 26);
    Field("DT").SetDisplayWidth(0);
    EXPECT_EQ(Field("DT").DisplayWidth(), 19);
}

TEST(Utf16, ConvertsAndReplacesMalformedInput) {
    EXPECT_EQ(Utf8ToUtf16("Grüße \xF0\x9F\x98\x80"), u"Grüße \U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"Grüße \U0001F600"), "Grüße \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("a\xFC"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_TRUE(IsValidUtf8("Grüße"));
    EXPECT_FALSE(
        IsValidUtf8("Gr\xFC\xDF"
                    "e"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
}

}  // namespace
}  // namespace tavisto::testing
