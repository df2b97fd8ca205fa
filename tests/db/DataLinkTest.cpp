#include <gtest/gtest.h>

#include <memory>

#include "DbTestSupport.h"

namespace tavisto::testing {
namespace {

using Heard = std::vector<std::string>;

TEST(DataLink, HearsOpenMovesAndClose) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(10));
    AttachedLink attached(table, 1);
    RecordingLink& link = attached.Link;
    EXPECT_FALSE(link.Active());
    table.Open();
    EXPECT_TRUE(link.Active());
    table.Next();
    table.MoveBy(3);
    table.Last();
    table.Close();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.Heard, (Heard{"active", "scrolled 1", "scrolled 3", "changed", "inactive"}));
}

TEST(DataLink, ScrollDistanceIsHowFarTheLinksWindowMoved) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(20));
    AttachedLink attached(table, 4);
    RecordingLink& link = attached.Link;
    table.Open();
    link.Forget();
    table.MoveBy(2);  // stays inside the first four records
    EXPECT_EQ(link.ActiveRecord(), 2);
    table.MoveBy(3);  // record 5: the window now shows records 2 to 5
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(link.RecordCount(), 4);
    table.MoveBy(-4);  // record 1: the window shows records 1 to 4
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(link.Heard, (Heard{"scrolled 0", "scrolled 2", "scrolled -1"}));
}

TEST(DataLink, BufferCountFollowsTheLargestLink) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(10));
    AttachedLink grid(table, 5);
    table.Open();
    EXPECT_EQ(table.BufferCount(), 5);
    EXPECT_EQ(table.LiveBuffers(), 6);
    {
        AttachedLink bigger(table, 8);
        EXPECT_EQ(table.BufferCount(), 8);
        EXPECT_EQ(bigger.Link.RecordCount(), 8);
    }
    EXPECT_EQ(table.BufferCount(), 5);
    EXPECT_EQ(table.LiveBuffers(), 6);
    grid.Link.SetBufferCount(0);
    EXPECT_EQ(grid.Link.BufferCount(), 1);
    EXPECT_EQ(table.BufferCount(), 1);
    EXPECT_EQ(ActiveName(table), "row0");
    table.Close();
    EXPECT_EQ(table.LiveBuffers(), 0);
}

TEST(DataLink, ShrinkingTheWindowKeepsTheActiveRecord) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(10));
    AttachedLink grid(table, 6);
    table.Open();
    table.MoveBy(5);
    grid.Link.SetBufferCount(2);
    EXPECT_EQ(ActiveName(table), "row5");
    table.Next();
    EXPECT_EQ(ActiveName(table), "row6");
    table.MoveBy(-3);
    EXPECT_EQ(ActiveName(table), "row3");
}

TEST(DataLink, SetActiveRecordReadsOtherBufferedRecords) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(10));
    AttachedLink grid(table, 3);
    table.Open();
    table.MoveBy(4);
    std::vector<std::string> shown;
    const int active = grid.Link.ActiveRecord();
    for (int i = 0; i < grid.Link.RecordCount(); ++i) {
        grid.Link.SetActiveRecord(i);
        shown.push_back(ActiveName(table));
    }
    grid.Link.SetActiveRecord(active);
    EXPECT_EQ(shown, (Heard{"row2", "row3", "row4"}));
    EXPECT_EQ(ActiveName(table), "row4");
    EXPECT_THROW(grid.Link.SetActiveRecord(3), EListError);
}

TEST(DataLink, FieldChangesAndLayoutChangesAreHeard) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    AttachedLink attached(table, 1);
    table.Open();
    attached.Link.Forget();
    table.FieldByName("NAME").SetDisplayLabel("Name");
    table.FieldByName("NAME").SetDisplayWidth(30);
    table.Edit();
    table.FieldByName("N").SetAsInteger(5);
    EXPECT_EQ(attached.Link.Heard, (Heard{"layout", "layout", "editing", "record *", "record N"}));
}

class DisabledControls : public ::testing::Test {
protected:
    TMemoryDataSet table{NameAndNumber(), NumberedRows(1000)};
    AttachedLink attached{table, 1};
    void SetUp() override {
        table.Open();
        attached.Link.Forget();
    }
};

TEST_F(DisabledControls, HeldBackNoticesArriveOnceWhenEnabled) {
    table.DisableControls();
    table.DisableControls();
    table.Next();
    table.Last();
    table.First();
    table.EnableControls();
    EXPECT_TRUE(attached.Link.Heard.empty());
    EXPECT_TRUE(table.ControlsDisabled());
    table.EnableControls();
    EXPECT_FALSE(table.ControlsDisabled());
    EXPECT_EQ(attached.Link.Heard, (Heard{"changed"}));
}

TEST_F(DisabledControls, NothingIsDeliveredWhenNothingWasHeldBack) {
    table.DisableControls();
    static_cast<void>(table.FieldByName("NAME").AsString());
    table.EnableControls();
    EXPECT_TRUE(attached.Link.Heard.empty());
}

TEST_F(DisabledControls, StateChangesAndLayoutChangesAreDeliveredAsSuch) {
    table.DisableControls();
    table.Edit();
    table.FieldByName("NAME").SetDisplayLabel("Name");
    table.EnableControls();
    EXPECT_EQ(attached.Link.Heard, (Heard{"editing", "layout"}));
}

TEST_F(DisabledControls, ClosingAndReopeningIsDeliveredAsAnActiveChange) {
    table.DisableControls();
    table.Close();
    table.Open();
    table.Next();
    table.EnableControls();
    EXPECT_EQ(attached.Link.Heard, (Heard{"active"}));
    attached.Link.Forget();
    table.DisableControls();
    table.Close();
    table.EnableControls();
    EXPECT_EQ(attached.Link.Heard, (Heard{"inactive"}));
}

// How the grid reads a page: controls off, remember the record, walk to the page through
// First and MoveBy, take a bookmark and the texts of each row, go back, controls on.
TEST_F(DisabledControls, PageReadThroughBookmarksRestoresTheRecordAndCostsThePage) {
    table.SetRecNo(500);
    attached.Link.Forget();
    table.FetchCount = 0;

    table.DisableControls();
    const TBookmark remembered = table.GetBookmark();
    table.First();
    table.MoveBy(100);
    std::vector<TBookmark> bookmarks;
    std::vector<std::string> texts;
    for (int row = 0; row < 34 && !table.Eof(); ++row) {
        bookmarks.push_back(table.GetBookmark());
        texts.push_back(ActiveName(table));
        table.Next();
    }
    if (table.BookmarkValid(remembered)) table.GotoBookmark(remembered);
    table.EnableControls();

    EXPECT_EQ(ActiveName(table), "row500");
    EXPECT_EQ(texts.front(), "row100");
    EXPECT_EQ(texts.back(), "row133");
    EXPECT_LE(table.FetchCount, 100 + 34 + 8);
    EXPECT_EQ(attached.Link.Heard, (Heard{"changed"}));
    table.GotoBookmark(bookmarks[7]);
    EXPECT_EQ(ActiveName(table), "row107");
}

TEST(DataLinkLifetime, LinksSourcesAndDataSetsDetachInAnyOrder) {
    auto table = std::make_unique<TMemoryDataSet>(NameAndNumber(), NumberedRows(3));
    auto source = std::make_unique<TDataSource>(table.get());
    auto first = std::make_unique<RecordingLink>();
    RecordingLink second;
    first->SetDataSource(source.get());
    second.SetDataSource(source.get());
    table->Open();

    first.reset();
    EXPECT_EQ(table->BufferCount(), 1);
    table.reset();
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_FALSE(second.Active());
    EXPECT_EQ(second.Heard, (Heard{"active", "inactive"}));
    source.reset();
    EXPECT_EQ(second.DataSource(), nullptr);
}

TEST(DataLinkLifetime, ReplacingTheDataSetIsAnActiveChange) {
    TMemoryDataSet one(NameAndNumber(), NumberedRows(3));
    TMemoryDataSet two(NameAndNumber(), NumberedRows(4));
    one.Open();
    two.Open();
    AttachedLink attached(one, 2);
    EXPECT_EQ(one.BufferCount(), 2);
    attached.Source.SetDataSet(&two);
    EXPECT_EQ(one.BufferCount(), 1);
    EXPECT_EQ(two.BufferCount(), 2);
    EXPECT_EQ(attached.Link.Heard, (Heard{"active", "active", "changed"}));
    EXPECT_EQ(attached.Link.RecordCount(), 2);
    EXPECT_EQ(attached.Source.State(), dsBrowse);
    attached.Source.SetDataSet(nullptr);
    EXPECT_EQ(attached.Source.State(), dsInactive);
    EXPECT_FALSE(attached.Link.Active());
}

}  // namespace
}  // namespace tavisto::testing
