// Locating rows by field values, and comparing rows by their key columns.

#include <gtest/gtest.h>

#include "CsvDataTestSupport.h"
#include "csv/CsvErrors.h"

namespace tavisto {
namespace {

using csvtest::TempFolder;
using csvtest::TestTable;

constexpr const char* kLog =
    "KALU;DATUM;ANWENDUNG;BENUTZER\r\n"
    "a;2011-01-05 13:45:10;Kalkulation;mueller\r\n"
    "abc;2011-01-05 13:46:00;Zeiterfassung;weber\r\n"
    "AbD;;Abrechnung;koch\r\n";

Variant At(int year, int month, int day, int hour, int minute, int second) {
    return Variant::FromDateTime(EncodeDate(year, month, day) +
                                 EncodeTime(hour, minute, second, 0));
}

class LocateLog : public testing::Test {
protected:
    void SetUp() override {
        csvtest::ConfigureLogTable(table_, folder_.Write("kalulog.csv", kLog));
        table_.Open();
        table_.Last();
    }

    TempFolder folder_;
    TestTable table_;
};

struct LocateCase {
    const char* name;
    const char* keyFields;
    Variant keyValues;
    TLocateOptions options;
    int row;  // -1: not found
};

class LocateTest : public LocateLog, public testing::WithParamInterface<LocateCase> {};

TEST_P(LocateTest, FindsTheFirstMatchingRowOrStays) {
    const LocateCase& c = GetParam();
    EXPECT_EQ(table_.Locate(c.keyFields, c.keyValues, c.options), c.row >= 0);
    EXPECT_EQ(table_.RecNo(), c.row >= 0 ? c.row : 2);
}

constexpr TLocateOptions kExact{};
constexpr TLocateOptions kCaseInsensitive{true, false};
constexpr TLocateOptions kPartial{false, true};
constexpr TLocateOptions kBoth{true, true};

INSTANTIATE_TEST_SUITE_P(
    Keys, LocateTest,
    testing::Values(
        LocateCase{"Exact", "KALU", Variant("abc"), kExact, 1},
        LocateCase{"ExactIsCaseSensitive", "KALU", Variant("ABC"), kExact, -1},
        LocateCase{"CaseInsensitive", "KALU", Variant("ABC"), kCaseInsensitive, 1},
        LocateCase{"PartialKey", "KALU", Variant("ab"), kPartial, 1},
        LocateCase{"PartialKeyKeepsCase", "KALU", Variant("AB"), kPartial, -1},
        LocateCase{"PartialKeyIgnoringCase", "KALU", Variant("AB"), kBoth, 1},
        LocateCase{"EmptyPartialKeyNeverMatches", "BENUTZER", Variant(""), kPartial, -1},
        LocateCase{"TwoFieldsWithSemicolons", "ANWENDUNG;BENUTZER",
                   Variant::Array({Variant("Abrechnung"), Variant("koch")}), kExact, 2},
        LocateCase{"TwoFieldsWithCommasAndBounds", "BENUTZER,KALU",
                   Variant::Array({Variant("weber"), Variant("abc")}, 5), kExact, 1},
        LocateCase{"DateTime", "DATUM", At(2011, 1, 5, 13, 46, 0), kExact, 1},
        LocateCase{"EmptyDateTimeNeverEqualsADate", "DATUM", At(1899, 12, 30, 0, 0, 0), kExact, -1},
        LocateCase{"MoreNamesThanValues", "KALU,DATUM", Variant("a"), kExact, -1},
        LocateCase{"MoreValuesThanNames", "KALU", Variant::Array({Variant("a"), Variant("b")}),
                   kExact, -1},
        LocateCase{"EmptyFirstName", ",KALU", Variant::Array({Variant("a"), Variant("a")}), kExact,
                   -1},
        LocateCase{"NoMatch", "BENUTZER", Variant("nobody"), kBoth, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocateLog, UntrimmedSecondNameIsNoField) {
    try {
        table_.Locate("KALU, DATUM", Variant::Array({Variant("a"), At(2011, 1, 5, 13, 45, 10)}),
                      kExact);
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_NE(error.Message().find("' DATUM'"), std::string::npos) << error.Message();
    }
}

TEST_F(LocateLog, MoreThanTwentyOneNamesAreAMismatch) {
    std::string names = "KALU";
    for (int i = 0; i < 21; ++i) names += ",KALU";
    std::vector<Variant> values(22, Variant("a"));
    EXPECT_FALSE(table_.Locate(names, Variant::Array(values), kExact));
    names.resize(names.size() - 5);
    values.pop_back();
    EXPECT_TRUE(table_.Locate(names, Variant::Array(values), kExact)) << "21 names are taken";
    EXPECT_EQ(table_.RecNo(), 0);
}

// ---- Comparing rows

class CompareRows : public testing::Test {
protected:
    void Open(const std::string& rows, const std::string& keyDef = "") {
        table_.SetCsvFieldDef("N:&;T:$10");
        table_.SetSeparator(';');
        table_.SetCsvKeyDef(keyDef);
        table_.SetFileName(folder_.Write("t.csv", "N;T\r\n" + rows));
        table_.Open();
    }
    int Compare(const char* field, int left, int right) {
        const CsvColumn& column = table_.Columns()[table_.FieldByName(field).FieldNo() - 1];
        return table_.CompareRowField(column, table_.Rows().GetRow(left).View(),
                                      table_.Rows().GetRow(right).View());
    }

    TempFolder folder_;
    TestTable table_;
};

TEST_F(CompareRows, NumbersWithinTwoHundredthsAreEqual) {
    Open("1.00;\r\n1.01;\r\n1.03;\r\n10;\r\n9;\r\nx;\r\n-5;\r\n-99999.9;\r\n");
    EXPECT_EQ(Compare("N", 0, 1), 0);
    EXPECT_EQ(Compare("N", 0, 2), -1);
    EXPECT_EQ(Compare("N", 3, 4), 1) << "numeric order, not text order";
    EXPECT_EQ(Compare("N", 5, 6), -1) << "no number counts as -99999.9";
    EXPECT_EQ(Compare("N", 5, 7), 0);
}

TEST_F(CompareRows, TextsCompareRawByCharacterCodes) {
    Open(";abc\r\n;abd\r\n;b\r\n;a\r\n;ABC\r\n;\"abc\"\r\n");
    EXPECT_LT(Compare("T", 0, 1), 0);
    EXPECT_GT(Compare("T", 2, 3), 0);
    EXPECT_NE(Compare("T", 0, 4), 0);
    EXPECT_NE(Compare("T", 0, 5), 0) << "quotes are part of the raw text";
    table_.SetCaseInsensitive(true);
    EXPECT_EQ(Compare("T", 0, 4), 0);
}

TEST_F(CompareRows, InternalCompareTakesKeysInOrderAndRefusesAbsentRows) {
    Open("1;b\r\n1;a\r\n", "N;T");
    ASSERT_EQ(table_.KeyColumnCount(), 2);
    const CsvRowView first = table_.Rows().GetRow(0).View();
    const CsvRowView second = table_.Rows().GetRow(1).View();
    EXPECT_GT(
        table_.InternalCompare(table_.KeyColumns(), 2, &first, &second, table_.KeyAscending()), 0);
    EXPECT_LT(table_.InternalCompare(table_.KeyColumns(), 2, &first, &second, {true, false}), 0)
        << "a descending key column reverses the result";
    EXPECT_EQ(
        table_.InternalCompare(table_.KeyColumns(), 1, &first, &second, table_.KeyAscending()), 0);
    EXPECT_EQ(table_.InternalCompare({}, 0, &first, &second, {}), 0);
    try {
        table_.InternalCompare(table_.KeyColumns(), 2, &first, nullptr, table_.KeyAscending());
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), table_.FileName() + ": InternalCompare. Nil value detected");
    }
    EXPECT_THROW(table_.InternalCompare({nullptr}, 1, &first, &second, {true}), ECsvDataSetError);
}

TEST_F(CompareRows, FindRowWithKeyComparesTheKeyColumnsOnly) {
    Open("1;a\r\n2;b\r\n3;b\r\n", "T");
    table_.SetRecNo(2);
    EXPECT_EQ(table_.FindRowWithKey(table_.ActiveBuffer()), 1) << "the first row with key b";
    table_.Edit();
    table_.FieldByName("T").SetAsString("z");
    EXPECT_EQ(table_.FindRowWithKey(table_.ActiveBuffer()), -1);
    table_.Cancel();
}

TEST_F(CompareRows, WithoutKeyColumnsEveryRowMatches) {
    Open("1;a\r\n2;b\r\n");
    table_.Last();
    EXPECT_EQ(table_.FindRowWithKey(table_.ActiveBuffer()), 0);
    table_.Close();
    Open("");
    const TRecordBuffer buffer = table_.NewRecordBuffer();
    EXPECT_EQ(table_.FindRowWithKey(buffer), -1);
    TRecordBuffer released = buffer;
    table_.DisposeRecordBuffer(released);
}

}  // namespace
}  // namespace tavisto
