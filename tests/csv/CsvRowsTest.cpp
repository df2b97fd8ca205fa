#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "csv/CsvErrors.h"
#include "csv/CsvRows.h"
#include "platform/Exceptions.h"

namespace tavisto {
namespace {

constexpr std::uint8_t kEofFlag = 2;

class CsvRowsTest : public testing::Test {
protected:
    CsvRowsTest() { rows_.SetSeparator(';'); }

    void Load(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) rows_.AddLine(line, rows_.Count(), false);
    }

    std::vector<std::string> ColumnsOf(int index) const {
        std::vector<std::string> columns;
        const CsvStoredRow& row = rows_.GetRow(index);
        for (int k = 0; k < row.ColumnCount; ++k) columns.push_back(GetCsvRowItemData(row, k));
        return columns;
    }

    std::vector<std::string> FirstColumns() const {
        std::vector<std::string> firsts;
        for (int i = 0; i < rows_.Count(); ++i) firsts.emplace_back(rows_.ColumnText(i, 0));
        return firsts;
    }

    // A record buffer holding a blank record of the given columns, filled in.
    std::unique_ptr<std::byte[]> Record(const std::vector<std::string>& columns, int rowIndex) {
        auto block = rows_.NewRow();
        BlankRow(block.get(), static_cast<int>(columns.size()), kEofFlag);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            ReplaceColumnText(block.get(), static_cast<int>(k), columns[k]);
        }
        RowHeader(block.get()).RowIndex = rowIndex;
        return block;
    }

    TCsvRows rows_;
};

void ExpectNoRecord(const std::function<void()>& access) {
    try {
        access();
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "No database record");
    }
}

void ExpectListIndexError(const std::function<void()>& access, int index) {
    try {
        access();
        FAIL() << "no error";
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds (" + std::to_string(index) + ")");
    }
}

TEST(TCsvRowsSettings, StartWithTheirDefaults) {
    TCsvRows rows;
    EXPECT_EQ(rows.Separator(), ',');
    EXPECT_EQ(rows.DecimalSeparatorChar(), '.');
    EXPECT_FALSE(rows.EnquoteBackslash());
    EXPECT_FALSE(rows.RowsInitialised());
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(TCsvRows::RowSize(), kCsvRowSize);
}

TEST_F(CsvRowsTest, LoadedLinesKeepFileOrderTextAndRowIndex) {
    Load({"KA1;2024-01-01 10:00:00;App;User", "\"KA;2\";2024-01-02 11:00:00;\"A\"\"pp\";Us er ",
          "x"});
    ASSERT_EQ(rows_.Count(), 3);
    EXPECT_EQ(ColumnsOf(0),
              (std::vector<std::string>{"KA1", "2024-01-01 10:00:00", "App", "User"}));
    EXPECT_EQ(ColumnsOf(1), (std::vector<std::string>{"\"KA;2\"", "2024-01-02 11:00:00",
                                                      "\"A\"\"pp\"", "Us er"}));
    EXPECT_EQ(ColumnsOf(2), (std::vector<std::string>{"x"}));
    EXPECT_EQ(rows_.GetRow(1).RowIndex, 1);
    EXPECT_EQ(rows_.GetRow(1).View().Text, "\"KA;2\";2024-01-02 11:00:00;\"A\"\"pp\";Us er ");
    EXPECT_EQ(rows_.ColumnText(1, 3), "Us er");
    EXPECT_EQ(rows_.ColumnText(1, 4), "");
    EXPECT_EQ(GetCsvRowItemData(rows_.GetRow(0), 121), "<ERROR>");
}

TEST_F(CsvRowsTest, AddLineFollowsTheBackslashFlag) {
    rows_.AddLine("\"a\\\";b\";c", 0, true);
    rows_.AddLine("\"a\\\";b\";c", 1, false);
    EXPECT_EQ(ColumnsOf(0), (std::vector<std::string>{"\"a\\\";b\"", "c"}));
    EXPECT_EQ(ColumnsOf(1), (std::vector<std::string>{"\"a\\\"", "b\";c"}));
}

TEST_F(CsvRowsTest, ALineWithTooManyColumnsAddsNothing) {
    Load({"a;b"});
    EXPECT_THROW(rows_.AddLine(std::string(120, ';'), 1, false), ERangeError);
    EXPECT_EQ(rows_.Count(), 1);
    rows_.AddLine(std::string(119, ';') + "last", 1, false);
    EXPECT_EQ(rows_.ColumnText(1, 119), "last");
}

TEST_F(CsvRowsTest, GetRowOutsideTheListIsNoRecord) {
    Load({"a", "b"});
    ExpectNoRecord([&] { rows_.GetRow(2); });
    ExpectNoRecord([&] { rows_.GetRow(-1); });
    ExpectNoRecord([&] { rows_.ColumnText(5, 0); });
    std::unique_ptr<std::byte[]> buffer = rows_.NewRow();
    ExpectNoRecord([&] { rows_.FetchRow(2, buffer.get()); });
}

class LongStoredLineTest : public CsvRowsTest, public testing::WithParamInterface<int> {};

TEST_P(LongStoredLineTest, KeepsEveryCharacterStoredAndFetched) {
    std::string line;
    for (int i = 0; static_cast<int>(line.size()) < GetParam(); ++i) {
        line += (i % 200 == 199) ? ';' : static_cast<char>('A' + i % 26);
    }
    Load({"short;row", line});
    EXPECT_EQ(rows_.GetRow(1).View().Text, line);
    auto buffer = rows_.NewRow();
    rows_.FetchRow(1, buffer.get());
    EXPECT_EQ(RowText(buffer.get()), line);
    const int last = RowHeader(buffer.get()).ColumnCount - 1;
    EXPECT_EQ(GetCsvRowItemData(buffer.get(), last), rows_.ColumnText(1, last));
    EXPECT_EQ(rows_.ColumnText(1, last), line.substr(line.rfind(';') + 1));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongStoredLineTest, testing::Values(3000, 16000));

TEST_F(CsvRowsTest, FetchExpandsARowWithoutLeftoversOfTheLastOne) {
    Load({"1;2;3;4;5;6", "a;b"});
    auto buffer = rows_.NewRow();
    rows_.FetchRow(0, buffer.get());
    rows_.FetchRow(1, buffer.get());
    const CsvRowHeader& header = RowHeader(buffer.get());
    EXPECT_EQ(RowText(buffer.get()), "a;b");
    EXPECT_EQ(header.ColumnCount, 2);
    EXPECT_EQ(header.RowIndex, 1);
    for (int k = 2; k <= 120; ++k) EXPECT_EQ(WordFieldAt(buffer.get(), k), 0xFFFF) << k;
    ReplaceColumnText(buffer.get(), 4, "e");
    EXPECT_EQ(RowText(buffer.get()), "a;b;;;e");
}

TEST_F(CsvRowsTest, AddedRecordsAreStoredAsCompactCopies) {
    auto record = Record({"KA9", "2024-03-04 05:06:07", "App", "User"}, 7);
    MarkColumnChanged(record.get(), 0);
    EXPECT_EQ(rows_.AddRow(record.get()), 0);
    ReplaceColumnText(record.get(), 0, "changed afterwards");
    const CsvStoredRow& stored = rows_.GetRow(0);
    EXPECT_EQ(stored.View().Text, "KA9;2024-03-04 05:06:07;App;User");
    EXPECT_EQ(stored.RowIndex, 7);
    EXPECT_EQ(stored.RowChanged, 1);
    auto fetched = rows_.NewRow();
    rows_.FetchRow(0, fetched.get());
    EXPECT_EQ(GetCsvRowItemData(fetched.get(), 1), "2024-03-04 05:06:07");
    EXPECT_EQ(RowHeader(fetched.get()).RowChanged, 1);
    EXPECT_EQ(LoadSlot(WordFieldsArea(fetched.get()), 0), 0x8000) << "changed marks travel along";
}

TEST_F(CsvRowsTest, InsertRowPlacesBeforeTheIndex) {
    Load({"b", "d"});
    rows_.InsertRow(0, Record({"a"}, 10).get());
    rows_.InsertRow(2, Record({"c"}, 11).get());
    rows_.InsertRow(4, Record({"e"}, 12).get());
    EXPECT_EQ(FirstColumns(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    auto record = Record({"x"}, 13);
    ExpectListIndexError([&] { rows_.InsertRow(6, record.get()); }, 6);
    ExpectListIndexError([&] { rows_.InsertRow(-1, record.get()); }, -1);
    EXPECT_EQ(rows_.Count(), 5);
}

TEST_F(CsvRowsTest, ReplaceRowPostsShorterAndLongerRowsWithoutTouchingNeighbours) {
    Load({"first;row;here", "second;row", "third;row;x"});
    rows_.ReplaceRow(0, Record({"1"}, 0).get());
    rows_.ReplaceRow(1, Record({"a much longer second row", "with", "more", "columns"}, 1).get());
    EXPECT_EQ(ColumnsOf(0), (std::vector<std::string>{"1"}));
    EXPECT_EQ(ColumnsOf(1),
              (std::vector<std::string>{"a much longer second row", "with", "more", "columns"}));
    EXPECT_EQ(ColumnsOf(2), (std::vector<std::string>{"third", "row", "x"}));
    ExpectNoRecord([&] { rows_.ReplaceRow(3, Record({"x"}, 3).get()); });
}

TEST_F(CsvRowsTest, DeleteAndIndexOfFollowTheList) {
    Load({"a", "b", "c", "d"});
    const CsvStoredRow* third = &rows_.GetRow(2);
    EXPECT_EQ(rows_.IndexOfRow(third), 2);
    rows_.DeleteRow(0);
    EXPECT_EQ(rows_.IndexOfRow(third), 1);
    rows_.DeleteRow(rows_.Count() - 1);
    EXPECT_EQ(FirstColumns(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(rows_.GetRow(1).RowIndex, 2) << "RowIndex is not renumbered";
    ExpectListIndexError([&] { rows_.DeleteRow(2); }, 2);
    ExpectListIndexError([&] { rows_.DeleteRow(-1); }, -1);
    EXPECT_EQ(rows_.IndexOfRow(nullptr), -1);
    rows_.DeleteRow(1);
    EXPECT_EQ(rows_.IndexOfRow(third), -1);
}

TEST_F(CsvRowsTest, ClearRowsEmptiesTheListAndLoadingStartsAfresh) {
    Load({"a;1", "b;2"});
    rows_.ClearRows();
    EXPECT_EQ(rows_.Count(), 0);
    ExpectNoRecord([&] { rows_.GetRow(0); });
    Load({"c;3"});
    EXPECT_EQ(ColumnsOf(0), (std::vector<std::string>{"c", "3"}));
}

TEST_F(CsvRowsTest, ManyRowsAcrossArenaChunksKeepTheirText) {
    std::vector<std::string> lines;
    for (int i = 0; i < 30000; ++i) {
        lines.push_back("KA" + std::to_string(i) + ";" +
                        std::string(static_cast<std::size_t>(i % 90), 'p') + ";" +
                        std::to_string(i * 7));
    }
    Load(lines);
    ASSERT_EQ(rows_.Count(), 30000);
    for (int i = 0; i < rows_.Count(); ++i) {
        ASSERT_EQ(rows_.GetRow(i).View().Text, lines[i]);
        ASSERT_EQ(rows_.ColumnText(i, 2), std::to_string(i * 7));
    }
}

TEST_F(CsvRowsTest, AnOverwrittenStoredRowMarkerIsDetectedOnFirstAccess) {
    Load({"a;b", "c;d"});
    auto* row = const_cast<CsvStoredRow*>(&rows_.GetRow(1));
    row->RowMarker = 0x12345678;
    try {
        rows_.ColumnText(1, 0);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(),
                  "Internal error. Memory corruption suspected in CsvRow memory area");
    }
    auto buffer = rows_.NewRow();
    EXPECT_THROW(rows_.FetchRow(1, buffer.get()), ECsvDataSetError);
    EXPECT_EQ(rows_.ColumnText(0, 1), "b");
}

TEST_F(CsvRowsTest, AnOverwrittenStoredWordFieldsMarkerIsDetectedOnFirstAccess) {
    Load({"a;b"});
    auto* row = const_cast<CsvStoredRow*>(&rows_.GetRow(0));
    std::memset(&row->WordFieldsMarker, 0, sizeof row->WordFieldsMarker);
    try {
        GetCsvRowItemData(*row, 1);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(),
                  "Memory Corruption Suspected in WordFields area of CsvRow memory");
    }
}

TEST_F(CsvRowsTest, ADamagedRecordBufferIsNotStored) {
    Load({"a"});
    auto record = Record({"x", "y"}, 1);
    RowHeader(record.get()).RowMarker = 0;
    EXPECT_THROW(rows_.AddRow(record.get()), ECsvDataSetError);
    EXPECT_THROW(rows_.ReplaceRow(0, record.get()), ECsvDataSetError);
    EXPECT_EQ(rows_.Count(), 1);
    EXPECT_EQ(rows_.ColumnText(0, 0), "a");
}

TEST_F(CsvRowsTest, InitRowStampsTheCurrentSeparator) {
    rows_.SetSeparator('\t');
    auto block = rows_.NewRow();
    EXPECT_EQ(RowHeader(block.get()).Separator[0], '\t');
    BlankRow(block.get(), 3, kEofFlag);
    EXPECT_EQ(RowText(block.get()), "\t\t");
    rows_.SetRowsInitialised(false);
    rows_.InitRow(block.get());
    EXPECT_TRUE(rows_.RowsInitialised());
}

TEST(TCsvRowsUserValues, AreKeptPerRowIndex) {
    TCsvRows rows;
    int payload = 0;
    EXPECT_EQ(rows.UserTagOf(0), 0);
    EXPECT_EQ(rows.UserDataOf(0), nullptr);
    rows.SetUserTagOf(5, 42);
    rows.SetUserDataOf(3, &payload);
    EXPECT_EQ(rows.UserTagOf(5), 42);
    EXPECT_EQ(rows.UserTagOf(3), 0);
    EXPECT_EQ(rows.UserDataOf(3), &payload);
    EXPECT_EQ(rows.UserDataOf(5), nullptr);
    EXPECT_EQ(rows.UserTagOf(-1), 0);
    EXPECT_EQ(rows.UserDataOf(6), nullptr);
    EXPECT_THROW(rows.SetUserTagOf(-1, 1), EListError);
}

}  // namespace
}  // namespace tavisto
