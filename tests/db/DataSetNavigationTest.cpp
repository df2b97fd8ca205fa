#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "DbTestSupport.h"

namespace tavisto::testing {
namespace {

// Rows in the table, record buffers the link asks for.
class Walking : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    int RowCount() const { return std::get<0>(GetParam()); }
    int BufferCount() const { return std::get<1>(GetParam()); }
};

TEST_P(Walking, ToTheEndAndBackMeetsBofAndEofAtTheEnds) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(RowCount()));
    AttachedLink attached(table, BufferCount());
    table.Open();
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.Eof(), RowCount() == 0);
    EXPECT_EQ(table.IsEmpty(), RowCount() == 0);

    std::vector<std::string> forward;
    while (!table.Eof()) {
        forward.push_back(ActiveName(table));
        table.Next();
    }
    std::vector<std::string> backward;
    table.Last();
    EXPECT_TRUE(table.Eof());
    while (!table.Bof()) {
        backward.push_back(ActiveName(table));
        table.Prior();
    }

    std::vector<std::string> expected;
    for (const Row& row : NumberedRows(RowCount())) expected.push_back(row[0]);
    EXPECT_EQ(forward, expected);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(backward, expected);
    if (RowCount() > 0) {
        EXPECT_EQ(ActiveName(table), "row0");
    }
}

TEST_P(Walking, RandomMovesMatchAModelOfTheCursor) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(RowCount()));
    AttachedLink attached(table, BufferCount());
    table.Open();
    std::mt19937 random(20110105);
    std::uniform_int_distribution<int> distances(-7, 7);
    int position = 0;
    bool bof = true;
    bool eof = RowCount() == 0;
    for (int step = 0; step < 300; ++step) {
        const int distance = distances(random);
        int expectedMove = 0;
        if (distance != 0 && !(distance > 0 && eof) && !(distance < 0 && bof)) {
            bof = eof = false;
            int target = position + distance;
            if (target > RowCount() - 1) {
                target = RowCount() - 1;
                eof = true;
            }
            if (target < 0) {
                target = 0;
                bof = true;
            }
            expectedMove = target - position;
            position = target;
        }
        ASSERT_EQ(table.MoveBy(distance), expectedMove) << "step " << step;
        ASSERT_EQ(table.Bof(), bof) << "step " << step;
        ASSERT_EQ(table.Eof(), eof) << "step " << step;
        if (RowCount() == 0) continue;
        ASSERT_EQ(table.RecNo(), position) << "step " << step;
        ASSERT_EQ(table.FieldByName("N").AsInteger(), position);
        ASSERT_GE(attached.Link.ActiveRecord(), 0);
        ASSERT_LT(attached.Link.ActiveRecord(), attached.Link.RecordCount());
    }
}

INSTANTIATE_TEST_SUITE_P(DataSet, Walking,
                         ::testing::Combine(::testing::Values(0, 1, 2, 5, 23),
                                            ::testing::Values(1, 3, 8)));

TEST(DataSetNavigation, LastAndFirstCostOnlyTheWindowWhateverTheTableSize) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(10000));
    AttachedLink attached(table, 4);
    table.Open();
    table.FetchCount = 0;
    table.Last();
    EXPECT_EQ(ActiveName(table), "row9999");
    EXPECT_LE(table.FetchCount, table.BufferCount() + 1);
    table.FetchCount = 0;
    table.First();
    EXPECT_EQ(ActiveName(table), "row0");
    EXPECT_LE(table.FetchCount, table.BufferCount() + 1);
}

TEST(DataSetNavigation, BookmarksSurviveMovesAndStaleOnesAreRefused) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(12));
    table.Open();
    table.MoveBy(3);
    const TBookmark three = table.GetBookmark();
    table.MoveBy(4);
    const TBookmark seven = table.GetBookmark();
    ASSERT_EQ(three.size(), 4u);
    table.Last();
    table.First();
    table.MoveBy(9);

    table.FetchCount = 0;
    table.GotoBookmark(three);
    EXPECT_EQ(ActiveName(table), "row3");
    EXPECT_LE(table.FetchCount, 2 * table.BufferCount() + 1);
    table.GotoBookmark(seven);
    EXPECT_EQ(ActiveName(table), "row7");
    EXPECT_EQ(table.CompareBookmarks(three, seven), -1);
    EXPECT_EQ(table.CompareBookmarks(seven, three), 1);
    EXPECT_EQ(table.CompareBookmarks(seven, table.GetBookmark()), 0);
    EXPECT_EQ(table.CompareBookmarks(TBookmark(), three), -1);
    EXPECT_TRUE(table.BookmarkValid(seven));
    EXPECT_FALSE(table.BookmarkValid(TBookmark()));
    EXPECT_FALSE(table.BookmarkValid("xy"));

    table.Rows().resize(5);
    EXPECT_FALSE(table.BookmarkValid(seven));
    table.GotoBookmark(three);
    EXPECT_THROW(table.GotoBookmark(seven), EDatabaseError);
    EXPECT_EQ(ActiveName(table), "row3");
    table.Next();
    EXPECT_EQ(ActiveName(table), "row4");
    EXPECT_THROW(table.GotoBookmark("xy"), EDatabaseError);
}

TEST(DataSetNavigation, EmptyBookmarkDoesNothingAndNoBookmarkExistsWhenEmpty) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.Open();
    table.Next();
    table.GotoBookmark(TBookmark());
    EXPECT_EQ(ActiveName(table), "row1");
    TBookmark bookmark = table.GetBookmark();
    table.FreeBookmark(bookmark);
    EXPECT_TRUE(bookmark.empty());

    TMemoryDataSet empty(NameAndNumber());
    empty.Open();
    EXPECT_TRUE(empty.GetBookmark().empty());
}

TEST(DataSetNavigation, ResyncFollowsTheEnginesCursor) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(6));
    AttachedLink attached(table, 3);
    table.Open();
    table.SetRecNo(4);
    EXPECT_EQ(ActiveName(table), "row4");
    EXPECT_EQ(table.RecNo(), 4);

    table.SetRecNo(99);
    EXPECT_EQ(ActiveName(table), "row4");

    table.Rows().clear();
    table.Resync();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(table.Bof());
    EXPECT_TRUE(table.Eof());
}

TEST(DataSetNavigation, LocateMakesTheFoundRecordActive) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(8));
    EventLog log(table);
    table.Open();
    log.Events.clear();
    EXPECT_TRUE(table.Locate("NAME", Variant("ROW5"), {.CaseInsensitive = true}));
    EXPECT_EQ(ActiveName(table), "row5");
    EXPECT_EQ(log.Events, (std::vector<std::string>{"BeforeScroll", "AfterScroll"}));
    EXPECT_FALSE(table.Locate("NAME", Variant("ROW6"), {}));
    EXPECT_EQ(ActiveName(table), "row5");
    EXPECT_THROW(table.Locate("NOPE", Variant("x"), {}), EDatabaseError);
}

TEST(DataSetNavigation, NavigatingAClosedDataSetRaises) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.SetName("csvLogfile");
    try {
        table.First();
        FAIL() << "First on a closed data set";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message(), "csvLogfile: Data set is closed; open it first");
    }
    EXPECT_THROW(table.Next(), EDatabaseError);
    EXPECT_THROW(table.GotoBookmark("abcd"), EDatabaseError);
    EXPECT_THROW(table.RecNo(), EDatabaseError);
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(table.GetBookmark().empty());
}

}  // namespace
}  // namespace tavisto::testing
