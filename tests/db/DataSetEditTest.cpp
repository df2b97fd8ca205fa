#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/NumericFields.h"
#include "db/StringFields.h"

namespace tavisto::testing {
namespace {

using Events = std::vector<std::string>;

class Editing : public ::testing::Test {
protected:
    TMemoryDataSet table{NameAndNumber(), NumberedRows(5)};
    EventLog log{table};
    AttachedLink attached{table, 3};

    void SetUp() override {
        table.Open();
        table.MoveBy(2);
        log.Events.clear();
        attached.Link.Forget();
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const Row& row : table.Rows()) names.push_back(row[0]);
        return names;
    }
};

TEST_F(Editing, EditPostStoresTheChangedRecord) {
    table.Edit();
    EXPECT_EQ(table.State(), dsEdit);
    EXPECT_FALSE(table.Modified());
    table.FieldByName("NAME").SetAsString("changed");
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ(table.Rows()[2][0], "row2");
    table.Post();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.Rows()[2][0], "changed");
    EXPECT_EQ(ActiveName(table), "changed");
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_EQ(log.Events, (Events{"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}));
}

TEST_F(Editing, CancelDropsTheChanges) {
    table.Edit();
    table.FieldByName("N").SetAsInteger(77);
    EXPECT_EQ(table.FieldByName("N").AsInteger(), 77);
    table.Cancel();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.FieldByName("N").AsInteger(), 2);
    EXPECT_EQ(table.Rows()[2][1], "2");
    EXPECT_EQ(log.Events, (Events{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}));
}

TEST_F(Editing, InsertPutsTheNewRecordBeforeTheActiveOne) {
    table.Insert();
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_TRUE(table.FieldByName("NAME").IsNull());
    EXPECT_TRUE(table.GetBookmark().empty());
    table.FieldByName("NAME").SetAsString("new");
    table.Post();
    EXPECT_EQ(Names(), (Events{"row0", "row1", "new", "row2", "row3", "row4"}));
    EXPECT_EQ(ActiveName(table), "new");
    table.Next();
    EXPECT_EQ(ActiveName(table), "row2");
    EXPECT_EQ(log.Events, (Events{"BeforeInsert", "BeforeScroll", "AfterInsert", "AfterScroll",
                                  "BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}));
}

TEST_F(Editing, AppendAddsAfterTheLastRecord) {
    table.Append();
    table.FieldByName("NAME").SetAsString("last");
    table.Post();
    EXPECT_EQ(Names().back(), "last");
    EXPECT_EQ(ActiveName(table), "last");
    table.Next();
    EXPECT_TRUE(table.Eof());
    table.Prior();
    EXPECT_EQ(ActiveName(table), "row4");
}

TEST_F(Editing, CancelledInsertDisappearsAndTheOldRecordReturns) {
    table.Insert();
    table.FieldByName("NAME").SetAsString("never");
    table.Cancel();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(ActiveName(table), "row2");
    EXPECT_EQ(Names().size(), 5u);
    table.Append();
    table.Cancel();
    EXPECT_EQ(ActiveName(table), "row4");
}

TEST_F(Editing, MovingPostsPendingChangesAndDropsUntouchedInserts) {
    table.Edit();
    table.FieldByName("NAME").SetAsString("moved");
    table.Next();
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.Rows()[2][0], "moved");
    EXPECT_EQ(ActiveName(table), "row3");
    table.Insert();
    table.First();
    EXPECT_EQ(Names().size(), 5u);
}

TEST_F(Editing, DeleteMakesTheFollowingRecordActive) {
    table.Delete();
    EXPECT_EQ(ActiveName(table), "row3");
    EXPECT_EQ(Names(), (Events{"row0", "row1", "row3", "row4"}));
    table.Last();
    table.Delete();
    EXPECT_EQ(ActiveName(table), "row3");
    EXPECT_EQ(log.Events.front(), "BeforeDelete");
    while (!table.IsEmpty()) table.Delete();
    EXPECT_TRUE(table.Bof());
    EXPECT_TRUE(table.Eof());
    EXPECT_THROW(table.Delete(), EDatabaseError);
}

TEST_F(Editing, EditOnAnEmptyDataSetInserts) {
    while (!table.IsEmpty()) table.Delete();
    table.Edit();
    EXPECT_EQ(table.State(), dsInsert);
    table.FieldByName("NAME").SetAsString("only");
    table.Post();
    EXPECT_EQ(Names(), (Events{"only"}));
    EXPECT_EQ(ActiveName(table), "only");
}

TEST_F(Editing, InsertRecordAndAppendRecordAssignFieldsInOrder) {
    table.InsertRecord({Variant("ins"), Variant(40)});
    EXPECT_EQ(table.Rows()[2], (Row{"ins", "40"}));
    EXPECT_EQ(ActiveName(table), "ins");
    table.AppendRecord({Variant("app"), Variant()});
    EXPECT_EQ(table.Rows().back(), (Row{"app", ""}));
    EXPECT_EQ(ActiveName(table), "app");
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_THROW(table.AppendRecord({Variant("a"), Variant(1), Variant(2)}), EDatabaseError);
    EXPECT_EQ(table.Rows().size(), 7u);
}

TEST_F(Editing, WritingOutsideEditStateIsRefused) {
    try {
        table.FieldByName("NAME").SetAsString("x");
        FAIL() << "a field was written in browse state";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message(), "Data set is not in edit or insert state");
    }
    table.Edit();
    table.FieldByName("N").SetReadOnly(true);
    EXPECT_THROW(table.FieldByName("N").SetAsInteger(1), EDatabaseError);
}

TEST_F(Editing, ADataSetThatCannotBeModifiedRefusesEveryChange) {
    table.SetReadOnly(true);
    table.SetName("csvLogfile");
    for (const auto& change : {+[](TDataSet& d) { d.Edit(); }, +[](TDataSet& d) { d.Insert(); },
                               +[](TDataSet& d) { d.Append(); }, +[](TDataSet& d) { d.Delete(); },
                               +[](TDataSet& d) { d.AppendRecord({Variant("x")}); }}) {
        try {
            change(table);
            FAIL() << "a read-only data set was changed";
        } catch (const EDatabaseError& error) {
            EXPECT_EQ(error.Message(), "csvLogfile: Data set is read-only");
        }
        EXPECT_EQ(table.State(), dsBrowse);
    }
    EXPECT_EQ(Names().size(), 5u);
    EXPECT_FALSE(table.FieldByName("NAME").CanModify());
    EXPECT_TRUE(log.Events.empty());
}

TEST_F(Editing, DeleteErrorHandlerCanRetryAbortOrFail) {
    std::vector<TDataAction> answers = {daRetry, daAbort};
    int calls = 0;
    table.OnDeleteError = [&](TDataSet&, EDatabaseError& error, TDataAction& action) {
        EXPECT_EQ(error.Message(), "record is locked");
        action = answers[static_cast<std::size_t>(calls++)];
    };
    table.FailDeletes = 2;
    table.Delete();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Names().size(), 5u);
    EXPECT_EQ(ActiveName(table), "row2");

    table.FailDeletes = 1;
    answers = {daRetry};
    calls = 0;
    table.Delete();
    EXPECT_EQ(Names().size(), 4u);

    table.OnDeleteError = nullptr;
    table.FailDeletes = 1;
    EXPECT_THROW(table.Delete(), EDatabaseError);
    EXPECT_EQ(Names().size(), 4u);
}

TEST_F(Editing, AFailedPostKeepsTheStateAndTheChanges) {
    table.Insert();
    table.FieldByName("NAME").SetAsString("pending");
    table.FailPosts = true;
    EXPECT_THROW(table.Post(), EDatabaseError);
    EXPECT_EQ(table.State(), dsInsert);
    EXPECT_EQ(ActiveName(table), "pending");
    EXPECT_THROW(table.Next(), EDatabaseError);
    table.FailPosts = false;
    table.Post();
    EXPECT_EQ(Names(), (Events{"row0", "row1", "pending", "row2", "row3", "row4"}));
}

TEST_F(Editing, EditErrorHandlerDecidesAboutErrorsWhileEnteringEditState) {
    bool failCalc = false;
    table.Close();
    table.Fields().Add<TStringField>("NAME");
    table.Fields().Add<TIntegerField>("C", fkCalculated);
    table.OnCalcFields = [&](TDataSet&) {
        if (failCalc && table.FieldByName("NAME").AsString() == "row2") {
            failCalc = false;
            throw EDatabaseError("locked by another user");
        }
    };
    table.Open();
    table.MoveBy(2);
    failCalc = true;
    int calls = 0;
    table.OnEditError = [&](TDataSet&, EDatabaseError& error, TDataAction& action) {
        ++calls;
        EXPECT_EQ(error.Message(), "locked by another user");
        action = daRetry;
    };
    table.Edit();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(table.State(), dsEdit);
    table.Cancel();

    failCalc = true;
    table.OnEditError = [](TDataSet&, EDatabaseError&, TDataAction& action) { action = daAbort; };
    table.Edit();
    EXPECT_EQ(table.State(), dsBrowse);
}

TEST_F(Editing, StateChangesReachTheLinks) {
    table.Edit();
    table.FieldByName("NAME").SetAsString("x");
    table.Post();
    EXPECT_EQ(attached.Link.Heard,
              (Events{"editing", "record *", "record NAME", "browsing", "changed"}));
}

}  // namespace
}  // namespace tavisto::testing
