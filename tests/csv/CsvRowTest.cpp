#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "csv/CsvErrors.h"
#include "csv/CsvRow.h"
#include "csv/CsvRows.h"
#include "platform/Exceptions.h"

namespace tavisto {
namespace {

constexpr int kUnset = 0xFFFF;
constexpr std::uint8_t kEofFlag = 2;
const std::string kRowCorrupt = "Internal error. Memory corruption suspected in CsvRow memory area";
const std::string kWordFieldsCorrupt =
    "Memory Corruption Suspected in WordFields area of CsvRow memory";

using Block = std::unique_ptr<std::byte[]>;

class CsvRowTest : public testing::Test {
protected:
    CsvRowTest() { rows_.SetSeparator(';'); }

    Block RowOf(std::string_view line) {
        Block block = rows_.NewRow();
        CutLineIntoRow(block.get(), line, ';', true, false);
        return block;
    }

    TCsvRows rows_;
};

// Slots 0 to count - 1 as WordFieldAt reads them.
std::vector<int> SlotsOf(const std::byte* block, int count) {
    std::vector<int> slots;
    for (int k = 0; k < count; ++k) slots.push_back(WordFieldAt(block, k));
    return slots;
}

std::vector<std::string> ColumnsOf(const std::byte* block) {
    std::vector<std::string> columns;
    for (int k = 0; k < RowHeader(block).ColumnCount; ++k) {
        columns.push_back(GetCsvRowItemData(block, k));
    }
    return columns;
}

std::uint16_t RawSlot(std::byte* block, int k) {
    return LoadSlot(WordFieldsArea(block), k);
}

std::string ColumnLine(int columns) {
    std::string line;
    for (int k = 0; k < columns; ++k) line += (k == 0 ? "c" : ";c") + std::to_string(k);
    return line;
}

TEST_F(CsvRowTest, NewRowIsZeroFilledAndStamped) {
    EXPECT_FALSE(rows_.RowsInitialised());
    const Block block = rows_.NewRow();
    const CsvRowHeader& header = RowHeader(block.get());
    EXPECT_TRUE(rows_.RowsInitialised());
    EXPECT_EQ(header.RowMarker, kRowMarker);
    EXPECT_EQ(header.BlockSize, static_cast<int>(TCsvRows::RowSize()));
    EXPECT_EQ(header.Separator[0], ';');
    EXPECT_EQ(header.Separator[1], '\0');
    EXPECT_EQ(header.WordFieldsOffset, static_cast<int>(kWordFieldsOffset));
    EXPECT_EQ(header.TextCapacity, kRowTextCapacity);
    EXPECT_EQ(header.ColumnCount, 0);
    EXPECT_EQ(RowText(block.get()), "");
    EXPECT_EQ(CalcAreaOffset(block.get()), kWordFieldsOffset + 248);
    EXPECT_LE(CalcAreaOffset(block.get()) + kCalcAreaSize, TCsvRows::RowSize());
}

struct BlankCase {
    const char* name;
    int tableColumns;
    std::string text;
    int columns;
};

void PrintTo(const BlankCase& c, std::ostream* out) {
    *out << c.name;
}

class BlankRowTest : public CsvRowTest, public testing::WithParamInterface<BlankCase> {};

TEST_P(BlankRowTest, MakesAnEmptyRecordOfTheTablesColumns) {
    const BlankCase& c = GetParam();
    // A buffer that held a longer row before: nothing of it may show through.
    const Block block = RowOf(ColumnLine(12));
    MarkColumnChanged(block.get(), 1);
    BlankRow(block.get(), c.tableColumns, kEofFlag);
    const CsvRowHeader& header = RowHeader(block.get());
    EXPECT_EQ(RowText(block.get()), c.text);
    EXPECT_EQ(header.ColumnCount, c.columns);
    for (int k = 0; k < c.columns; ++k) EXPECT_EQ(WordFieldAt(block.get(), k), k);
    for (int k = c.columns; k <= 120; ++k) EXPECT_EQ(WordFieldAt(block.get(), k), kUnset);
    if (c.columns > 1) {
        EXPECT_EQ(RawSlot(block.get(), 1), 1) << "the changed mark must go";
    }
    EXPECT_EQ(ColumnsOf(block.get()), std::vector<std::string>(c.columns));
    EXPECT_EQ(header.RowIndex, -1);
    EXPECT_EQ(header.RowChanged, 0);
    EXPECT_EQ(header.Bookmark, -1);
    EXPECT_EQ(header.BookmarkFlag, kEofFlag);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BlankRowTest,
    testing::Values(BlankCase{"FourColumns", 4, ";;;", 4},
                    BlankCase{"NoColumnsMeansTen", 0, std::string(9, ';'), 10},
                    BlankCase{"NegativeMeansTen", -3, std::string(9, ';'), 10},
                    BlankCase{"OneColumn", 1, "", 1},
                    BlankCase{"MoreThanTheLimit", 130, std::string(119, ';'), 120}),
    [](const testing::TestParamInfo<BlankCase>& info) { return info.param.name; });

TEST_F(CsvRowTest, ReadsColumnsAsCut) {
    const Block block = RowOf("a;b;c");
    EXPECT_EQ(SlotsOf(block.get(), 4), (std::vector<int>{0, 2, 4, kUnset}));
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(GetCsvRowItemData(block.get(), 3), "");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 120), "");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 121), "<ERROR>");
    EXPECT_EQ(GetCsvRowItemData(block.get(), -1), "<ERROR>");
}

struct ReadCase {
    const char* name;
    std::string line;
    std::vector<std::string> columns;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ColumnReadTest : public CsvRowTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ColumnReadTest, GivesRawTrimmedTexts) {
    EXPECT_EQ(ColumnsOf(RowOf(GetParam().line).get()), GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ColumnReadTest,
    testing::Values(ReadCase{"BlanksTrimmed", " a ;\tb b\t;  \"x\"\t", {"a", "b b", "\"x\""}},
                    ReadCase{"QuotedSeparatorKept", "a; \"b;c\" ;d", {"a", "\"b;c\"", "d"}},
                    ReadCase{"EmptyMiddle", "a;;c", {"a", "", "c"}},
                    ReadCase{"QuoteThenText", "\"ab\"cd;e", {"\"ab\"cd", "e"}},
                    ReadCase{"CrNotTrimmed", "\rx\r;y", {"\rx\r", "y"}},
                    ReadCase{"EmptyLine", "", {""}},
                    ReadCase{
                        "NulByteKept", std::string("a\0b;c", 5), {std::string("a\0b", 3), "c"}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST_F(CsvRowTest, ColumnsOutOfOrderAreReportedAsCorrupt) {
    const Block block = RowOf("a;b;c");
    SetWordFieldAt(block.get(), 2, 1);
    try {
        GetCsvRowItemData(block.get(), 1);
        FAIL() << "no error";
    } catch (const ECsvDataSetError&) {
        FAIL() << "must be the general error type";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "GetCsvRowItemData: Column index values are corrupt.");
    }
}

TEST_F(CsvRowTest, StartsPastTheTextReadNothingOutsideIt) {
    const Block block = RowOf("a;b;c");
    SetWordFieldAt(block.get(), 1, 30000);
    SetWordFieldAt(block.get(), 2, 32000);
    // Column 0 now runs to the end of the text; the others start past it.
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"a;b;c", "", ""}));
    ReplaceColumnText(block.get(), 1, "x");
    EXPECT_EQ(RowText(block.get()).substr(0, 5), "a;b;c");
}

TEST_F(CsvRowTest, DamagedCountsReadNothingOutsideTheBlock) {
    const Block block = RowOf("a;b;c");
    RowHeader(block.get()).ColumnCount = 1 << 20;
    RowHeader(block.get()).TextLength = 1 << 30;
    EXPECT_EQ(RowText(block.get()).size(), static_cast<std::size_t>(kRowTextCapacity));
    EXPECT_EQ(GetCsvRowItemData(block.get(), 0), "a");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 119), "");
}

TEST_F(CsvRowTest, WordFieldAtReadsSlotsWithinTheTable) {
    const Block block = RowOf("a;b;c");
    EXPECT_EQ(WordFieldAt(nullptr, 0), -1);
    EXPECT_EQ(WordFieldAt(block.get(), -1), -1);
    EXPECT_EQ(WordFieldAt(block.get(), 121), -1);
    EXPECT_EQ(WordFieldAt(block.get(), 3), kUnset);
    MarkColumnChanged(block.get(), 2);
    EXPECT_EQ(WordFieldAt(block.get(), 2), 4);
}

TEST_F(CsvRowTest, SetWordFieldAtKeepsTheChangedMarkOfAPosition) {
    const Block block = RowOf("a;b;c");
    MarkColumnChanged(block.get(), 1);
    SetWordFieldAt(block.get(), 1, 3);
    EXPECT_EQ(RawSlot(block.get(), 1), 0x8003);
    SetWordFieldAt(block.get(), 1, kUnset);
    EXPECT_EQ(RawSlot(block.get(), 1), kUnset);
    SetWordFieldAt(block.get(), 1, 2);
    EXPECT_EQ(RawSlot(block.get(), 1), 2) << "an unset slot takes the position without a mark";
    SetWordFieldAt(block.get(), 1, -5);
    SetWordFieldAt(block.get(), 121, 7);
    SetWordFieldAt(nullptr, 1, 7);
    EXPECT_EQ(SlotsOf(block.get(), 4), (std::vector<int>{0, 2, 4, kUnset}));
}

TEST_F(CsvRowTest, MarkColumnChangedMarksRowAndColumn) {
    const Block block = RowOf("a;b;c");
    MarkColumnChanged(block.get(), 120);
    MarkColumnChanged(block.get(), -1);
    EXPECT_EQ(RowHeader(block.get()).RowChanged, 0);
    MarkColumnChanged(block.get(), 3);
    EXPECT_EQ(RowHeader(block.get()).RowChanged, 1);
    EXPECT_EQ(RawSlot(block.get(), 3), kUnset);
    MarkColumnChanged(block.get(), 2);
    EXPECT_EQ(RawSlot(block.get(), 2), 0x8004);
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"a", "b", "c"}));
}

struct ReplaceCase {
    const char* name;
    std::string line;
    int column;
    std::string value;
    std::string text;
    std::vector<int> slots;  // up to and including the end mark
};

void PrintTo(const ReplaceCase& c, std::ostream* out) {
    *out << c.name;
}

class ReplaceColumnTest : public CsvRowTest, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceColumnTest, RewritesTheTextAndShiftsTheStarts) {
    const ReplaceCase& c = GetParam();
    const Block block = RowOf(c.line);
    std::vector<std::string> expected = ColumnsOf(block.get());
    expected.resize(std::max<std::size_t>(expected.size(), c.slots.size() - 1));
    expected[c.column] = c.value;

    ReplaceColumnText(block.get(), c.column, c.value);
    EXPECT_EQ(RowText(block.get()), c.text);
    EXPECT_EQ(SlotsOf(block.get(), static_cast<int>(c.slots.size())), c.slots);
    EXPECT_EQ(RowHeader(block.get()).ColumnCount, static_cast<int>(c.slots.size()) - 1);
    EXPECT_EQ(ColumnsOf(block.get()), expected) << "every column reads back its own text";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ReplaceColumnTest,
    testing::Values(
        ReplaceCase{"Longer", "a;b;c", 1, "xyz", "a;xyz;c", {0, 2, 6, kUnset}},
        ReplaceCase{"SameLength", "a;b;c", 1, "q", "a;q;c", {0, 2, 4, kUnset}},
        ReplaceCase{"Emptied", "a;bb;c", 1, "", "a;;c", {0, 2, 3, kUnset}},
        ReplaceCase{"FirstColumn", "a;b;c", 0, "long", "long;b;c", {0, 5, 7, kUnset}},
        ReplaceCase{"LastColumn", "a;b;c", 2, "zz", "a;b;zz", {0, 2, 4, kUnset}},
        ReplaceCase{"OneBeyond", "a;b;c", 3, "v", "a;b;c;v", {0, 2, 4, 6, kUnset}},
        ReplaceCase{"ThreeBeyond", "a;b;c", 5, "v", "a;b;c;;;v", {0, 2, 4, 6, 7, 8, kUnset}},
        ReplaceCase{"QuotedValue", "a;b;c", 1, "\"x;y\"", "a;\"x;y\";c", {0, 2, 8, kUnset}},
        ReplaceCase{"OnlyColumn", "", 0, "v", "v", {0, kUnset}}),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return info.param.name; });

TEST_F(CsvRowTest, ReplaceIgnoresColumnsOutsideTheTable) {
    const Block block = RowOf("a;b;c");
    ReplaceColumnText(block.get(), 120, "x");
    ReplaceColumnText(block.get(), -1, "x");
    EXPECT_EQ(RowText(block.get()), "a;b;c");
    EXPECT_EQ(RowHeader(block.get()).ColumnCount, 3);
}

TEST_F(CsvRowTest, ReplaceKeepsTheChangedMarksOfShiftedColumns) {
    const Block block = RowOf("a;b;c;d");
    MarkColumnChanged(block.get(), 2);
    ReplaceColumnText(block.get(), 0, "aaaa");
    EXPECT_EQ(RawSlot(block.get(), 2), 0x8000 | 7);
    EXPECT_EQ(RawSlot(block.get(), 3), 9);
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"aaaa", "b", "c", "d"}));
}

TEST_F(CsvRowTest, BlankRecordFilledColumnByColumn) {
    const Block block = rows_.NewRow();
    BlankRow(block.get(), 4, kEofFlag);
    ReplaceColumnText(block.get(), 2, "KA1");
    ReplaceColumnText(block.get(), 0, "2024-01-01");
    ReplaceColumnText(block.get(), 6, "far");
    EXPECT_EQ(RowText(block.get()), "2024-01-01;;KA1;;;;far");
    EXPECT_EQ(ColumnsOf(block.get()),
              (std::vector<std::string>{"2024-01-01", "", "KA1", "", "", "", "far"}));
}

TEST_F(CsvRowTest, HundredTwentyColumnsReadAndWriteTheLastColumn) {
    const Block block = RowOf(ColumnLine(120));
    EXPECT_EQ(GetCsvRowItemData(block.get(), 119), "c119");
    EXPECT_EQ(WordFieldAt(block.get(), 120), kUnset);
    ReplaceColumnText(block.get(), 118, "before-last");
    ReplaceColumnText(block.get(), 119, "last");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 118), "before-last");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 119), "last");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 117), "c117");
    EXPECT_EQ(WordFieldAt(block.get(), 120), kUnset);
    EXPECT_EQ(RowHeader(block.get()).ColumnCount, 120);
}

class LongLineTest : public CsvRowTest, public testing::WithParamInterface<int> {};

TEST_P(LongLineTest, KeepsEveryCharacter) {
    const int length = GetParam();
    std::string line = "head;";
    for (int i = 0; static_cast<int>(line.size()) < length - 5; ++i) line += char('a' + i % 26);
    line += ";tail";
    const Block block = RowOf(line);
    EXPECT_EQ(RowText(block.get()), line);
    EXPECT_EQ(GetCsvRowItemData(block.get(), 1), line.substr(5, line.size() - 10));
    EXPECT_EQ(GetCsvRowItemData(block.get(), 2), "tail");
    ReplaceColumnText(block.get(), 0, "h");
    EXPECT_EQ(GetCsvRowItemData(block.get(), 2), "tail");
    EXPECT_EQ(RowText(block.get()), "h" + line.substr(4));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongLineTest, testing::Values(3000, 16000, kRowTextCapacity));

TEST_F(CsvRowTest, AReplacementBeyondTheCapacityIsRefusedAndChangesNothing) {
    const std::string line = "first;" + std::string(16000, 'm') + ";last";
    const Block block = RowOf(line);
    try {
        ReplaceColumnText(block.get(), 0, std::string(400, 'F'));
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "CSV string is too long: " + std::string(40, 'F') + "...");
    }
    EXPECT_EQ(RowText(block.get()), line);
    EXPECT_EQ(GetCsvRowItemData(block.get(), 2), "last");
}

TEST_F(CsvRowTest, AnOverwrittenRowMarkerIsDetectedOnFirstAccess) {
    const Block block = RowOf("a;b;c");
    std::memset(block.get(), 0x41, 4);
    try {
        GetCsvRowItemData(block.get(), 0);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), kRowCorrupt);
    }
    EXPECT_THROW(WordFieldAt(block.get(), 0), ECsvDataSetError);
    EXPECT_THROW(SetWordFieldAt(block.get(), 0, 1), ECsvDataSetError);
    EXPECT_THROW(BlankRow(block.get(), 4, kEofFlag), ECsvDataSetError);
}

TEST_F(CsvRowTest, AnOverwrittenWordFieldsMarkerIsDetectedOnFirstAccess) {
    const Block block = RowOf("a;b;c");
    std::memset(block.get() + kWordFieldsOffset, 0, 4);
    try {
        WordFieldAt(block.get(), 1);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), kWordFieldsCorrupt);
    }
    EXPECT_THROW(ReplaceColumnText(block.get(), 0, "x"), ECsvDataSetError);
}

TEST_F(CsvRowTest, ADamagedWordFieldsOffsetIsNotFollowed) {
    const Block block = RowOf("a;b;c");
    RowHeader(block.get()).WordFieldsOffset = 1 << 30;
    EXPECT_THROW(GetCsvRowItemData(block.get(), 0), ECsvDataSetError);
}

TEST_F(CsvRowTest, CuttingIntoADamagedBlockFailsTheAssertion) {
    const Block block = RowOf("a;b");
    RowHeader(block.get()).RowMarker = 0;
    try {
        CutLineIntoRow(block.get(), "x;y", ';', true, false);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& failure) {
        EXPECT_EQ(failure.Unit(), "CsvData");
        EXPECT_NE(failure.Message().find("Internal data corruption in CsvRow data storage area"),
                  std::string::npos);
    }
}

TEST_F(CsvRowTest, ACutErrorLeavesTheBlockAsItWas) {
    const Block block = RowOf("a;b");
    EXPECT_THROW(CutLineIntoRow(block.get(), ColumnLine(121), ';', true, false), ERangeError);
    EXPECT_EQ(RowText(block.get()), "a;b");
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"a", "b"}));
}

TEST_F(CsvRowTest, CutModesFollowTheirFlags) {
    const Block block = rows_.NewRow();
    CutLineIntoRow(block.get(), "\"a\\\";b\";c", ';', true, true);
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"\"a\\\";b\"", "c"}));
    CutLineIntoRow(block.get(), "\"x;y\";z", ';', false, false);
    EXPECT_EQ(ColumnsOf(block.get()), (std::vector<std::string>{"\"x", "y\"", "z"}));
}

}  // namespace
}  // namespace tavisto
