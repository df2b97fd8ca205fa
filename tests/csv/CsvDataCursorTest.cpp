// The cursor: fetching rows into record buffers, its transitions, bookmarks and the record number,
// by the engine's operations and through the framework on the log table.

#include <gtest/gtest.h>

#include <cstring>

#include "CsvDataTestSupport.h"
#include "csv/CsvErrors.h"

namespace tavisto {
namespace {

using csvtest::TempFolder;
using csvtest::TestTable;

constexpr const char* kThreeRows =
    "KALU;DATUM;ANWENDUNG;BENUTZER\r\n"
    "a;2011-01-05 13:45:10;Kalkulation;mueller\r\n"
    "b;2011-01-05 13:46:00;Zeiterfassung;weber\r\n"
    "c;2011-01-05 13:47:30;Abrechnung;koch\r\n";

TBookmark Bookmark(std::int32_t row) {
    TBookmark bookmark(sizeof row, '\0');
    std::memcpy(bookmark.data(), &row, sizeof row);
    return bookmark;
}

class LogCursor : public testing::Test {
protected:
    void Open(const std::string& bytes) {
        csvtest::ConfigureLogTable(table_, folder_.Write("kalulog.csv", bytes));
        table_.Open();
    }
    std::string Kalu() { return table_.FieldByName("KALU").AsString(); }

    TempFolder folder_;
    TestTable table_;
};

struct Step {
    enum Kind { Fetch, BeforeFirst, AfterLast } kind;
    TGetMode mode;
    TGetResult result;
    int cursor;
};

TEST_F(LogCursor, FetchFollowsTheTransitionTable) {
    Open(kThreeRows);
    TRecordBuffer buffer = table_.NewRecordBuffer();
    const Step steps[] = {
        {Step::BeforeFirst, gmNext, grOK, -1}, {Step::Fetch, gmNext, grOK, 0},
        {Step::Fetch, gmNext, grOK, 1},        {Step::Fetch, gmNext, grOK, 2},
        {Step::Fetch, gmNext, grEOF, -2},      {Step::Fetch, gmNext, grEOF, -2},
        {Step::Fetch, gmPrior, grOK, 2},       {Step::Fetch, gmPrior, grOK, 1},
        {Step::Fetch, gmPrior, grOK, 0},       {Step::Fetch, gmPrior, grBOF, 0},
        {Step::Fetch, gmCurrent, grOK, 0},     {Step::BeforeFirst, gmNext, grOK, -1},
        {Step::Fetch, gmPrior, grBOF, -1},     {Step::Fetch, gmCurrent, grError, -1},
        {Step::AfterLast, gmNext, grOK, -2},   {Step::Fetch, gmCurrent, grError, -2},
        {Step::Fetch, gmPrior, grOK, 2},
    };
    int number = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE("step " + std::to_string(number++));
        if (step.kind == Step::BeforeFirst) {
            table_.MoveBeforeFirst();
        } else if (step.kind == Step::AfterLast) {
            table_.MoveAfterLast();
        } else {
            EXPECT_EQ(table_.FetchRecord(buffer, step.mode, false), step.result);
        }
        EXPECT_EQ(table_.CurrentRowIndex(), step.cursor);
        if (step.kind == Step::Fetch && step.result == grOK) {
            EXPECT_EQ(table_.BookmarkFlagOf(buffer), bfCurrent);
            char bookmark[4];
            table_.BookmarkOf(buffer, bookmark);
            EXPECT_EQ(std::memcmp(bookmark, Bookmark(step.cursor).data(), 4), 0);
            EXPECT_EQ(RowText(reinterpret_cast<std::byte*>(buffer)),
                      table_.Rows().GetRow(step.cursor).View().Text);
        }
    }
    table_.DisposeRecordBuffer(buffer);
}

TEST_F(LogCursor, CurrentWithoutARowRaisesNoRecordsWhenChecked) {
    Open(kThreeRows);
    TRecordBuffer buffer = table_.NewRecordBuffer();
    table_.MoveBeforeFirst();
    try {
        table_.FetchRecord(buffer, gmCurrent, true);
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), table_.FileName() + ": No records");
    }
    try {
        table_.FetchRecord(buffer, static_cast<TGetMode>(7), false);
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), table_.FileName() + ": Invalid option to GetMode");
    }
    table_.DisposeRecordBuffer(buffer);
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(LogCursor, EmptyTableAnswersEndToEveryFetch) {
    Open("KALU;DATUM;ANWENDUNG;BENUTZER\r\n");
    TRecordBuffer buffer = table_.NewRecordBuffer();
    for (const TGetMode mode : {gmCurrent, gmNext, gmPrior}) {
        EXPECT_EQ(table_.FetchRecord(buffer, mode, true), grEOF);
        EXPECT_EQ(table_.CurrentRowIndex(), -1);
    }
    table_.DisposeRecordBuffer(buffer);
    EXPECT_TRUE(table_.Eof() && table_.Bof());
    EXPECT_EQ(table_.RecordCount(), 0);
    EXPECT_EQ(table_.RecNo(), -1);
}

TEST_F(LogCursor, WalkingForwardAndBackThroughTheFramework) {
    Open(kThreeRows);
    EXPECT_EQ(Kalu(), "a");
    EXPECT_EQ(table_.CurrentRowIndex(), 0);
    table_.Next();
    table_.Next();
    EXPECT_EQ(Kalu(), "c");
    EXPECT_EQ(table_.CurrentRowIndex(), 2);
    table_.Next();
    EXPECT_TRUE(table_.Eof());
    EXPECT_EQ(Kalu(), "c");
    EXPECT_EQ(table_.CurrentRowIndex(), -2);
    table_.Prior();
    EXPECT_EQ(Kalu(), "b");
    table_.Prior();
    table_.Prior();
    EXPECT_TRUE(table_.Bof());
    EXPECT_EQ(Kalu(), "a") << "prior at row 0 stays on row 0";
    table_.Last();
    EXPECT_EQ(Kalu(), "c");
    EXPECT_EQ(table_.FieldByName("DATUM").AsString(), "2011-01-05 13:47:30");
    EXPECT_EQ(table_.FieldByName("BENUTZER").AsString(), "koch");
}

TEST_F(LogCursor, RecordNumberIsZeroBasedAndRefusesRowsOutside) {
    Open(kThreeRows);
    EXPECT_EQ(table_.RecNo(), 0);
    table_.Next();
    EXPECT_EQ(table_.RecNo(), 1);
    table_.SetRecNo(-1);
    table_.SetRecNo(3);
    EXPECT_EQ(table_.RecNo(), 1);
    EXPECT_EQ(Kalu(), "b");
    table_.SetRecNo(2);
    EXPECT_EQ(table_.RecNo(), 2);
    EXPECT_EQ(Kalu(), "c");
    table_.Close();
    EXPECT_THROW((void)table_.RecNo(), EDatabaseError);
}

TEST_F(LogCursor, BookmarksNameRowsWhileTheyExist) {
    Open(kThreeRows);
    table_.Next();
    const TBookmark second = table_.GetBookmark();
    EXPECT_EQ(second, Bookmark(1));
    table_.Last();
    table_.GotoBookmark(second);
    EXPECT_EQ(Kalu(), "b");
    EXPECT_TRUE(table_.BookmarkValid(second));
    EXPECT_FALSE(table_.BookmarkValid(Bookmark(3)));
    EXPECT_FALSE(table_.BookmarkValid(Bookmark(-1)));
    EXPECT_FALSE(table_.IsValidBookmark(nullptr));
    EXPECT_EQ(table_.CompareBookmarks({}, Bookmark(0)), -1);
    EXPECT_EQ(table_.CompareBookmarks(Bookmark(2), Bookmark(0)), 1);
    EXPECT_EQ(table_.CompareBookmarks(second, Bookmark(1)), 0);
}

TEST_F(LogCursor, StaleBookmarkRaisesNoDatabaseRecordAndKeepsTheRecord) {
    Open(kThreeRows);
    const TBookmark last = Bookmark(2);
    table_.SetReadOnly(false);
    table_.Last();
    table_.Delete();
    EXPECT_FALSE(table_.BookmarkValid(last));
    table_.First();
    try {
        table_.GotoBookmark(last);
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "No database record");
    }
    EXPECT_EQ(Kalu(), "a");
}

class ThrowingCalcFields : public LogCursor {
protected:
    void SetUp() override { table_.Fields().Add<TStringField>("MARK", fkCalculated); }
};

TEST_F(ThrowingCalcFields, OtherErrorsWhileFetchingNameTheRow) {
    Open(kThreeRows);
    table_.OnCalcFields = [](TDataSet&) { throw std::runtime_error("boom"); };
    try {
        table_.Next();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), table_.FileName() + ": Problem reading row 1 boom");
    }
    table_.OnCalcFields = [](TDataSet&) { throw ECsvDataSetError("engine's own"); };
    try {
        table_.Last();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "engine's own") << "passes unchanged";
    }
}

TEST(CsvDataBuffers, NewBufferIsABlankRowOfTheTablesColumns) {
    TempFolder folder;
    TestTable table;
    csvtest::ConfigureLogTable(table, folder.Write("kalulog.csv", kThreeRows));
    table.Open();
    EXPECT_EQ(table.RecordSize(), static_cast<int>(TCsvRows::RowSize()));
    table.SetReadOnly(false);
    table.Append();
    const auto* block = reinterpret_cast<const std::byte*>(table.ActiveBuffer());
    EXPECT_EQ(RowText(block), ";;;");
    EXPECT_EQ(RowHeader(block).RowIndex, -1);
    EXPECT_EQ(table.BookmarkFlagOf(table.ActiveBuffer()), bfEOF);
    table.Cancel();
}

}  // namespace
}  // namespace tavisto
