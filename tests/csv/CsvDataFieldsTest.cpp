// Field values: column texts read as typed values and typed values written as column texts,
// through the framework's fields; calculated fields; the field events.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <utility>

#include "CsvDataTestSupport.h"
#include "csv/CsvErrors.h"
#include "db/NumericFields.h"

namespace tavisto {
namespace {

using csvtest::ConfigureLogTable;
using csvtest::TempFolder;
using csvtest::TestTable;

// One column of every type and kind.
constexpr const char* kAllTypes = "S:$20;W:~20;I:%;B:!;F:&;DT:@;H:#;Z:-;D:/;T:*";
constexpr const char* kColumns[] = {"S", "W", "I", "B", "F", "DT", "H", "Z", "D", "T"};

TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

class AllTypesTable : public testing::Test {
protected:
    using RowTexts = std::map<std::string, std::string>;

    // Opens a table of one row whose columns hold the given texts (others empty).
    void OpenRow(const RowTexts& texts, char decimalSeparator = '.') {
        OpenRows({texts}, decimalSeparator);
    }

    void OpenRows(const std::vector<RowTexts>& rows, char decimalSeparator = '.') {
        std::string lines;
        for (const char* column : kColumns) {
            lines += lines.empty() ? column : std::string(";") + column;
        }
        lines += "\r\n";
        for (const RowTexts& texts : rows) {
            for (const char* column : kColumns) {
                if (column != kColumns[0]) lines += ';';
                const auto found = texts.find(column);
                if (found != texts.end()) lines += found->second;
            }
            lines += "\r\n";
        }
        table_.SetCsvFieldDef(kAllTypes);
        table_.SetSeparator(';');
        table_.SetDecimalSeparatorChar(decimalSeparator);
        table_.SetTimeZoneCorrection(3600);
        table_.SetFileName(folder_.Write("all.csv", lines));
        table_.Open();
    }

    // The raw text of a column of the stored row.
    std::string StoredText(const char* column) {
        return std::string(table_.Rows().ColumnText(0, table_.FieldByName(column).FieldNo() - 1));
    }

    TempFolder folder_;
    TestTable table_;
};

struct ReadCase {
    const char* name;
    const char* column;
    const char* text;
    Variant expected;  // Null: the field reads as null
    char decimalSeparator = '.';
};

class ReadValueTest : public AllTypesTable, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadValueTest, ColumnTextReadsAsValue) {
    const ReadCase& c = GetParam();
    OpenRow({{c.column, c.text}}, c.decimalSeparator);
    const TField& field = table_.FieldByName(c.column);
    const Variant value = field.Value();
    if (c.expected.IsNull()) {
        EXPECT_TRUE(value.IsNull()) << value.AsString();
        EXPECT_TRUE(field.IsNull());
    } else if (c.expected.Type() == TVarType::DateTime) {
        ASSERT_EQ(value.Type(), TVarType::DateTime);
        EXPECT_NEAR(value.AsDateTime(), c.expected.AsDateTime(), 1e-9) << value.AsString();
    } else {
        EXPECT_EQ(value, c.expected) << value.AsString();
    }
}

Variant Date(TDateTime value) {
    return Variant::FromDateTime(value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadValueTest,
    testing::Values(
        ReadCase{"DateTime", "DT", "2011-01-05 13:45:10", Date(At(2011, 1, 5, 13, 45, 10))},
        ReadCase{"DateTimeOtherSeparators", "DT", "2011/01/05 13-45-10",
                 Date(At(2011, 1, 5, 13, 45, 10))},
        ReadCase{"DateTimeDateOnly", "DT", "2011-01-05", Date(At(2011, 1, 5))},
        ReadCase{"DateTimeWithoutSeconds", "DT", "2011-01-05 13:45", Date(At(2011, 1, 5, 13, 45))},
        ReadCase{"DateTimeOneTrailingCharacter", "DT", "2011-01-05 13:45:10Z",
                 Date(At(2011, 1, 5, 13, 45, 10))},
        ReadCase{"DateTimeGermanLayout", "DT", "05.01.2011 13:45", Variant::Null()},
        ReadCase{"DateTimeWithoutLeadingZeros", "DT", "2011-1-5", Variant::Null()},
        ReadCase{"DateTimeIso", "DT", "2011-01-05T13:45:10", Variant::Null()},
        ReadCase{"DateTimeBefore1900", "DT", "1899-12-31 10:00:00", Variant::Null()},
        ReadCase{"DateTimeNoSuchDay", "DT", "2011-02-30 10:00:00", Variant::Null()},
        ReadCase{"DateTimeZoneName", "DT", "2011-01-05 13:45:10 UTC", Variant::Null()},
        ReadCase{"DateTimeEmpty", "DT", "", Variant::Null()},
        ReadCase{"DateTimeQuoted", "DT", "\"2011-01-05 13:45:10\"", Variant::Null()},
        ReadCase{"TextQuoted", "S", "\"a;b\"", Variant("a;b")},
        ReadCase{"TextDoubledQuote", "S", "\"say \"\"hi\"\"\"", Variant("say \"hi\"")},
        ReadCase{"TextBlanksAround", "S", "  abc\t", Variant("abc")},
        ReadCase{"TextCutToSize", "S", "abcdefghijklmnopqrstuvwxyz",
                 Variant("abcdefghijklmnopqrst")},
        ReadCase{"TextEmpty", "S", "", Variant("")}, ReadCase{"Integer", "I", "42", Variant(42)},
        ReadCase{"IntegerNegative", "I", "-7", Variant(-7)},
        ReadCase{"IntegerHex", "I", "$1F", Variant(31)},
        ReadCase{"IntegerFraction", "I", "4.0", Variant::Null()},
        ReadCase{"IntegerLetter", "I", "x", Variant::Null()},
        ReadCase{"BooleanOne", "B", "1", Variant(true)},
        ReadCase{"BooleanMinusOne", "B", "-1", Variant(true)},
        ReadCase{"BooleanZero", "B", "0", Variant(false)},
        ReadCase{"BooleanWord", "B", "yes", Variant(false)},
        ReadCase{"Float", "F", "3.25", Variant(3.25)},
        ReadCase{"FloatThousands", "F", "1,234.5", Variant(1234.5)},
        ReadCase{"FloatCommaWithFullStopSeparator", "F", "3,25", Variant(325.0)},
        ReadCase{"FloatMinus", "F", "-", Variant(0.0)},
        ReadCase{"FloatTrailingSeparator", "F", "5.", Variant(5.0)},
        ReadCase{"FloatLetters", "F", "abc", Variant::Null()},
        ReadCase{"FloatComma", "F", "3,25", Variant(3.25), ','},
        ReadCase{"FloatFullStopWithCommaSeparator", "F", "3.25", Variant(3.25), ','},
        ReadCase{"FloatQuoted", "F", "\"3,25\"", Variant(3.25), ','},
        ReadCase{"HexTimeStamp", "H", "4D24A5C0", Date(At(2011, 1, 5, 17, 9, 20))},
        ReadCase{"HexTimeStampAllOnes", "H", "FFFFFFFF", Date(0)},
        ReadCase{"HexTimeStampNoNumber", "H", "zz", Date(0)},
        ReadCase{"ZonedTimeStamp", "Z", "4D24A5C0", Date(At(2011, 1, 5, 18, 9, 20))},
        ReadCase{"Date", "D", "2011-01-05", Date(At(2011, 1, 5))},
        ReadCase{"DateShortDay", "D", "2011-01-5", Date(At(2011, 1, 5))},
        ReadCase{"DateNoDate", "D", "x", Variant::Null()},
        ReadCase{"Time", "T", "13:45:10", Date(EncodeTime(13, 45, 10, 0))},
        ReadCase{"TimeWithoutSeconds", "T", "13:45", Date(EncodeTime(13, 45, 0, 0))},
        ReadCase{"TimeMidnight", "T", "00:00:00", Date(0)},
        ReadCase{"TimeNoTime", "T", "25:00", Variant::Null()},
        ReadCase{"Utf8Quoted", "W",
                 "\"Gr\xC3\xBC\xC3\x9F"
                 "e\"",
                 Variant("Gr\xC3\xBC\xC3\x9F"
                         "e")},
        ReadCase{"Utf8Unquoted", "W",
                 "Gr\xC3\xBC\xC3\x9F"
                 "e",
                 Variant("Gr\xC3\xBC\xC3\x9F"
                         "e")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AllTypesTable, EmptyTextFieldIsNullOnlyWithoutABuffer) {
    OpenRow({});
    const TField& field = table_.FieldByName("S");
    EXPECT_TRUE(field.IsNull());
    EXPECT_FALSE(field.Value().IsNull());
    EXPECT_EQ(field.AsString(), "");
}

struct WriteCase {
    const char* name;
    const char* column;
    Variant value;
    const char* stored;
    bool alwaysEnquoteStrings = false;
};

class WriteValueTest : public AllTypesTable, public testing::WithParamInterface<WriteCase> {};

TEST_P(WriteValueTest, ValueIsStoredAsColumnText) {
    const WriteCase& c = GetParam();
    OpenRow({{"S", "old"}});
    table_.SetAlwaysEnquoteStrings(c.alwaysEnquoteStrings);
    table_.Edit();
    table_.FieldByName(c.column).SetValue(c.value);
    table_.Post();
    EXPECT_EQ(StoredText(c.column), c.stored);
    EXPECT_TRUE(table_.Changed());
    if (!c.value.IsNull()) {
        EXPECT_NEAR(table_.FieldByName(c.column).Value().AsFloat(), c.value.AsFloat(), 1e-9)
            << "reads back";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, WriteValueTest,
    testing::Values(WriteCase{"DateTime", "DT", Date(At(2011, 1, 5, 13, 45, 10)),
                              "2011-01-05 13:45:10"},
                    WriteCase{"HexTimeStamp", "H", Date(At(2011, 1, 5, 17, 9, 20)), "4D24A5C0"},
                    WriteCase{"ZonedTimeStamp", "Z", Date(At(2011, 1, 5, 18, 9, 20)), "4D24A5C0"},
                    WriteCase{"Date", "D", Date(At(2011, 1, 5)), "2011-01-05"},
                    WriteCase{"Time", "T", Date(EncodeTime(13, 45, 10, 0)), "13:45:10"},
                    WriteCase{"Integer", "I", Variant(-7), "-7"},
                    WriteCase{"BooleanTrue", "B", Variant(true), "1"},
                    WriteCase{"BooleanFalse", "B", Variant(false), "0"},
                    WriteCase{"Float", "F", Variant(3.25), "3.25"},
                    WriteCase{"Null", "I", Variant::Null(), ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextWriteCase {
    const char* name;
    const char* column;
    const char* value;
    const char* stored;
    bool alwaysEnquoteStrings = false;
};

class TextWriteTest : public AllTypesTable, public testing::WithParamInterface<TextWriteCase> {};

TEST_P(TextWriteTest, TextIsQuotedWhenItMustBe) {
    const TextWriteCase& c = GetParam();
    OpenRow({});
    table_.SetAlwaysEnquoteStrings(c.alwaysEnquoteStrings);
    table_.Edit();
    table_.FieldByName(c.column).SetAsString(c.value);
    table_.Post();
    EXPECT_EQ(StoredText(c.column), c.stored);
    EXPECT_EQ(table_.FieldByName(c.column).AsString(), c.value) << "reads back";
}

INSTANTIATE_TEST_SUITE_P(Texts, TextWriteTest,
                         testing::Values(TextWriteCase{"Plain", "S", "ab", "ab"},
                                         TextWriteCase{"AlwaysQuoted", "S", "ab", "\"ab\"", true},
                                         TextWriteCase{"Separator", "S", "a;b", "\"a;b\""},
                                         TextWriteCase{"Quote", "S", "say \"hi\"",
                                                       "\"say \"\"hi\"\"\""},
                                         TextWriteCase{"LineBreak", "S", "a\r\nb", "\"a\r\nb\""},
                                         TextWriteCase{"Utf8", "W",
                                                       "Gr\xC3\xBC\xC3\x9F"
                                                       "e",
                                                       "\"Gr\xC3\xBC\xC3\x9F"
                                                       "e\""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AllTypesTable, FloatIsQuotedWhenSeparatorAndDecimalSeparatorAgree) {
    TempFolder folder;
    TestTable table;
    table.SetCsvFieldDef("N:$5,F:&");
    table.SetDecimalSeparatorChar(',');
    table.SetFileName(folder.Write("f.csv", "N,F\r\nx,1\r\n"));
    table.Open();
    table.Edit();
    table.FieldByName("F").SetAsFloat(3.25);
    table.Post();
    EXPECT_EQ(table.Rows().ColumnText(0, 1), "\"3,25\"");
    EXPECT_DOUBLE_EQ(table.FieldByName("F").AsFloat(), 3.25);
    table.SetAlwaysEnquoteFloats(true);
    table.SetDecimalSeparatorChar('.');
    table.Edit();
    table.FieldByName("F").SetAsFloat(1.5);
    table.Post();
    EXPECT_EQ(table.Rows().ColumnText(0, 1), "\"1.5\"");
}

TEST(CsvDataFields, LogFieldOfSmallerSizeCutsTheText) {
    TempFolder folder;
    TestTable table;
    csvtest::ConfigureLogTable(table,
                               folder.Write("log.csv", std::string(csvtest::kLogHeader) + "\r\n" +
                                                           std::string(100, 'k') + ";;;\r\n"));
    table.Open();
    EXPECT_EQ(table.FieldByName("KALU").AsString(), std::string(80, 'k'));
}

TEST(CsvDataFields, FieldTypesOutsideTheTableAreRefusedWithTheirNumber) {
    TempFolder folder;
    TestTable table;
    table.SetCsvFieldDef("I:%,F:&");
    table.SetFileName(folder.Write("t.csv", "I,F\r\n1,2\r\n"));
    table.Fields().Add<TSmallintField>("I");
    table.Fields().Add<TCurrencyField>("F");
    table.Open();
    const std::string prefix = table.FileName() + ": SetFieldData Error - Field type not handled";
    try {
        (void)table.FieldByName("I").Value();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), prefix + " (2)");
    }
    try {
        (void)table.FieldByName("F").Value();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), prefix + " (7)");
    }
}

TEST_F(AllTypesTable, CalculatedFieldKeepsItsValueInTheCalculatedArea) {
    table_.Fields().Add<TStringField>("S").SetSize(20);
    table_.Fields().Add<TStringField>("SHOUT", fkCalculated).SetSize(30);
    bool assign = false;
    table_.OnCalcFields = [&](TDataSet& dataSet) {
        if (assign) {
            dataSet.FieldByName("SHOUT").SetAsString(dataSet.FieldByName("S").AsString() + "!");
        }
    };
    OpenRow({{"S", "hey"}});
    EXPECT_TRUE(table_.FieldByName("SHOUT").IsNull()) << "a cleared slot reads as null";
    assign = true;
    table_.Resync();
    EXPECT_EQ(table_.FieldByName("SHOUT").AsString(), "hey!");
    EXPECT_FALSE(table_.Changed()) << "calculated values never reach the rows";
}

TEST_F(AllTypesTable, GetFieldDataHandlerReplacesTheColumnTextWithoutChangingTheTable) {
    std::vector<std::string> seen;
    table_.OnGetFieldData = [&](TCustomCsvDataSet&, int tag, void* data, const std::string& name,
                                std::string& value) {
        seen.push_back(name + "=" + value + "/" + std::to_string(tag) +
                       (data != nullptr ? "+data" : ""));
        if (name == "S") value = "swapped";
    };
    int userData = 0;
    table_.Rows().SetUserTagOf(0, 7);
    table_.Rows().SetUserDataOf(0, &userData);
    OpenRow({{"S", "\"orig\""}, {"I", "5"}});
    EXPECT_EQ(table_.FieldByName("S").AsString(), "swapped");
    EXPECT_EQ(StoredText("S"), "\"orig\"") << "the stored row keeps its text";
    table_.OnGetFieldData = nullptr;
    EXPECT_EQ(table_.FieldByName("S").AsString(), "swapped") << "the record's text was replaced";
    EXPECT_EQ(table_.FieldByName("I").AsInteger(), 5);
    EXPECT_FALSE(table_.Changed());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "S=orig/7+data") << "text fields come dequoted, with tag and data";
}

TEST_F(AllTypesTable, SetFieldDataHandlerSeesTheStoredText) {
    std::string stored;
    table_.OnSetFieldData = [&](TCustomCsvDataSet&, int, void*, const std::string& name,
                                const std::string& value) { stored = name + "=" + value; };
    OpenRow({});
    table_.Edit();
    table_.FieldByName("S").SetAsString("a;b");
    EXPECT_EQ(stored, "S=\"a;b\"");
}

TEST_F(AllTypesTable, HandlerIsNotCalledForARecordBeingInserted) {
    int calls = 0;
    table_.OnSetFieldData = [&](TCustomCsvDataSet&, int, void*, const std::string&,
                                const std::string&) { ++calls; };
    OpenRow({});
    table_.Append();
    table_.FieldByName("S").SetAsString("new");
    EXPECT_EQ(calls, 0) << "a blank record has RowIndex -1";
    table_.Cancel();
}

// The bytes of a value in buffer form that mean something: a text up to its NUL.
std::string MeaningfulBytes(const TField& field, const void* value) {
    if (value == nullptr) return "(null)";
    const auto* bytes = static_cast<const char*>(value);
    if (field.DataType() == ftString) return bytes;
    if (field.DataType() == ftWideString) {
        std::size_t length = 0;
        while (bytes[length] != 0 || bytes[length + 1] != 0) length += 2;
        return std::string(bytes, length);
    }
    return std::string(bytes, static_cast<std::size_t>(field.DataSize()));
}

using ColumnRead = std::vector<std::pair<TBookmark, std::string>>;

ColumnRead ReadThroughTheCursor(TDataSet& table, const TField& field) {
    ColumnRead read;
    std::vector<char> value(static_cast<std::size_t>(field.DataSize()) + 2);
    for (table.First(); !table.Eof(); table.Next()) {
        const bool present = field.GetData(value.data());
        read.emplace_back(table.GetBookmark(),
                          MeaningfulBytes(field, present ? value.data() : nullptr));
    }
    return read;
}

std::optional<ColumnRead> ReadInOnePass(TDataSet& table, const TField& field) {
    ColumnRead read;
    const bool done =
        table.ReadFieldOfEveryRecord(field, [&](const char* bookmark, const void* value) {
            read.emplace_back(TBookmark(bookmark, static_cast<std::size_t>(table.BookmarkSize())),
                              MeaningfulBytes(field, value));
        });
    if (!done) {
        EXPECT_TRUE(read.empty()) << "a refused read calls nothing";
        return std::nullopt;
    }
    return read;
}

TEST_F(AllTypesTable, EveryRecordReadsInOnePassAsTheCursorReadsIt) {
    OpenRows({
        {{"S", "\"a;b\""},
         {"W", "\"Grüße\""},
         {"I", "12"},
         {"B", "T"},
         {"F", "1.5"},
         {"DT", "2006-03-04 05:06:07"},
         {"H", "44100000"},
         {"Z", "44100000"},
         {"D", "2006-03-04"},
         {"T", "05:06:07"}},
        {},
        {{"S", "plain"},
         {"W", "unquoted"},
         {"I", "x"},
         {"B", "F"},
         {"F", "EUR 3"},
         {"DT", "not a date"},
         {"H", "zz"},
         {"D", "2006-13-40"},
         {"T", "25:99"}},
        {{"S", "\"\""}, {"I", "-7"}, {"F", "\"2.25\""}, {"DT", "1999-12-31 23:59:59"}},
    });
    table_.MoveBy(2);
    for (const char* column : kColumns) {
        SCOPED_TRACE(column);
        const TField& field = table_.FieldByName(column);
        const std::optional<ColumnRead> bulk = ReadInOnePass(table_, field);
        ASSERT_TRUE(bulk.has_value());
        EXPECT_EQ(table_.RecNo(), 2) << "the cursor stays";
        EXPECT_EQ(*bulk, ReadThroughTheCursor(table_, field));
        table_.First();
        table_.MoveBy(2);
    }
}

TEST_F(AllTypesTable, OnePassReadIsRefusedWhereOnlyTheCursorReadsRight) {
    table_.Fields().Add<TStringField>("S").SetSize(20);
    table_.Fields().Add<TStringField>("SHOUT", fkCalculated).SetSize(30);
    OpenRows({{{"S", "a"}}, {{"S", "b"}}});
    EXPECT_FALSE(ReadInOnePass(table_, table_.FieldByName("SHOUT"))) << "calculated";

    TestTable other;
    ConfigureLogTable(other,
                      folder_.Write("log.csv", "KALU;DATUM;ANWENDUNG;BENUTZER\r\nk;;a;b\r\n"));
    other.Open();
    EXPECT_FALSE(ReadInOnePass(table_, other.FieldByName("KALU"))) << "another table's field";

    table_.Edit();
    table_.FieldByName("S").SetAsString("edited");
    EXPECT_FALSE(ReadInOnePass(table_, table_.FieldByName("S"))) << "editing";
    table_.Cancel();

    table_.OnGetFieldData = [](TCustomCsvDataSet&, int, void*, const std::string&,
                               std::string& value) { value += "!"; };
    EXPECT_FALSE(ReadInOnePass(table_, table_.FieldByName("S"))) << "the event changes texts";
    table_.OnGetFieldData = nullptr;
    EXPECT_TRUE(ReadInOnePass(table_, table_.FieldByName("S")));

    const TField& field = table_.FieldByName("S");
    table_.Close();
    EXPECT_FALSE(ReadInOnePass(table_, field)) << "closed";
}

}  // namespace
}  // namespace tavisto
