#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/NumericFields.h"
#include "db/StringFields.h"

namespace tavisto::testing {
namespace {

using Events = std::vector<std::string>;

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

TEST(DataSetOpen, DefaultFieldsAreMadeFromTheDefinitionsAndDestroyedAtClose) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    EventLog log(table);
    table.Open();
    ASSERT_EQ(table.Fields().Count(), 2);
    EXPECT_TRUE(table.DefaultFields());
    EXPECT_NE(dynamic_cast<TStringField*>(&table.Fields()[0]), nullptr);
    EXPECT_NE(dynamic_cast<TIntegerField*>(&table.Fields()[1]), nullptr);
    EXPECT_EQ(table.FieldByName("name").FieldNo(), 1);
    EXPECT_EQ(table.FieldByName("N").FieldNo(), 2);
    EXPECT_EQ(table.FieldByName("NAME").Size(), 20);
    EXPECT_EQ(table.BookmarkSize(), 4);
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(ActiveName(table), "row0");
    EXPECT_EQ(log.Events, (Events{"BeforeOpen", "AfterOpen", "AfterScroll"}));

    log.Events.clear();
    table.Close();
    EXPECT_EQ(table.Fields().Count(), 0);
    EXPECT_FALSE(table.DefaultFields());
    EXPECT_EQ(table.LiveBuffers(), 0);
    EXPECT_EQ(table.CloseTableCount, 1);
    EXPECT_EQ(table.State(), dsInactive);
    EXPECT_EQ(log.Events, (Events{"BeforeClose", "AfterClose"}));
}

TEST(DataSetOpen, AnEmptyTableOpensWithoutScrolling) {
    TMemoryDataSet table(NameAndNumber());
    EventLog log(table);
    table.Open();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(log.Events, (Events{"BeforeOpen", "AfterOpen"}));
    EXPECT_TRUE(table.FieldByName("NAME").IsNull());
}

TEST(DataSetOpen, PersistentFieldsAreBoundByNameAndKept) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    TStringField& name = table.Fields().Add<TStringField>("name");
    name.SetSize(3);
    name.SetName("tableNAME");
    table.Open();
    EXPECT_FALSE(table.DefaultFields());
    EXPECT_EQ(table.Fields().Count(), 1);
    EXPECT_EQ(name.FieldNo(), 1);
    EXPECT_EQ(name.AsString(), "row");
    EXPECT_EQ(name.DisplayWidth(), 3);
    EXPECT_EQ(table.FindField("N"), nullptr);
    table.Close();
    EXPECT_EQ(table.Fields().Count(), 1);
    EXPECT_EQ(name.FieldNo(), 0);
    EXPECT_EQ(name.Name(), "tableNAME");
}

TEST(DataSetOpen, BindingRefusesMissingDefinitionsAndOtherBaseTypes) {
    TMemoryDataSet missing(NameAndNumber(), NumberedRows(3));
    missing.SetName("csvLogfile");
    missing.Fields().Add<TStringField>("MISSING");
    EXPECT_EQ(MessageOf([&] { missing.Open(); }), "csvLogfile: Field 'MISSING' not found");
    EXPECT_FALSE(missing.Active());
    EXPECT_EQ(missing.LiveBuffers(), 0);
    EXPECT_EQ(missing.CloseTableCount, 1);

    TMemoryDataSet mismatch(NameAndNumber(), NumberedRows(3));
    mismatch.Fields().Add<TIntegerField>("NAME");
    EXPECT_EQ(MessageOf([&] { mismatch.Open(); }),
              "Field 'NAME' is of type Integer but its definition is of type String");

    TMemoryDataSet compatible(NameAndNumber(), NumberedRows(3));
    compatible.Fields().Add<TSmallintField>("N");
    compatible.Open();
    compatible.Next();
    EXPECT_EQ(compatible.FieldByName("N").AsInteger(), 1);
}

TEST(DataSetOpen, AFailingFirstFetchLeavesEverythingClosed) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    AttachedLink attached(table, 2);
    table.FailFetches = true;
    EXPECT_EQ(MessageOf([&] { table.Open(); }), "fetch failed");
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.LiveBuffers(), 0);
    EXPECT_EQ(table.CloseTableCount, 1);
    EXPECT_EQ(table.Fields().Count(), 0);
    EXPECT_TRUE(attached.Link.Heard.empty());
    table.FailFetches = false;
    table.Open();
    EXPECT_EQ(ActiveName(table), "row0");
}

TEST(DataSetClose, AFailingCloseTableLeavesTheDataSetOpenAndUsable) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.Open();
    table.Next();
    table.FailCloseTable = true;
    EXPECT_EQ(MessageOf([&] { table.Close(); }), "write-back failed");
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(ActiveName(table), "row1");
    table.Next();
    EXPECT_EQ(ActiveName(table), "row2");
    table.FailCloseTable = false;
    table.Close();
    EXPECT_FALSE(table.Active());
}

TEST(DataSetClose, ClosingDiscardsPendingEdits) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.Open();
    table.Edit();
    table.FieldByName("NAME").SetAsString("lost");
    table.Close();
    EXPECT_EQ(table.Rows()[0][0], "row0");
}

TEST(DataSetFields, FieldsChangeOnlyWhileClosed) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.Fields().Add<TStringField>("NAME");
    EXPECT_EQ(MessageOf([&] { table.Fields().Add<TStringField>("Name"); }),
              "Field name 'Name' is used twice");
    table.Open();
    const std::string open = "Data set is open; close it first";
    EXPECT_EQ(MessageOf([&] { table.Fields().Add<TIntegerField>("N"); }), open);
    EXPECT_EQ(MessageOf([&] { table.FieldByName("NAME").SetSize(5); }), open);
    EXPECT_EQ(MessageOf([&] { table.Fields().Clear(); }), open);
    EXPECT_EQ(MessageOf([&] { table.FieldByName("NOPE"); }), "Field 'NOPE' not found");
    EXPECT_THROW(table.Fields()[5], EListError);
}

TEST(DataSetFields, ReadingAFieldOfAClosedDataSetRaises) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    TField& name = table.Fields().Add<TStringField>("NAME");
    EXPECT_EQ(MessageOf([&] { static_cast<void>(name.AsString()); }),
              "Data set is closed; open it first");
}

TEST(DataSetFields, DefinitionChangesReachTheDataSet) {
    TMemoryDataSet table(NameAndNumber());
    TFieldDefs& defs = table.FieldDefs();
    defs.Clear();
    EXPECT_EQ(table.FieldDefsChangedCount, 0);
    TFieldDef& def = defs.Add("A", ftString, 10);
    def.SetSize(12);
    defs.Add("B", ftInteger);
    EXPECT_EQ(table.FieldDefsChangedCount, 3);
    EXPECT_EQ(defs.Find("b")->FieldNo(), 2);
    EXPECT_EQ(defs.IndexOf("C"), -1);
    EXPECT_THROW(defs.Add("a", ftFloat), EDatabaseError);
    defs.Clear();
    EXPECT_EQ(table.FieldDefsChangedCount, 4);
    defs.Update();
    EXPECT_EQ(defs.Count(), 2);
    EXPECT_EQ(defs[0].Name(), "NAME");
    EXPECT_THROW(defs[2], EListError);
}

TEST(DataSetFields, DefinitionsWithoutFieldClassCannotMakeDefaultFields) {
    TMemoryDataSet table({{"BLOB", ftBlob, 0}});
    EXPECT_EQ(MessageOf([&] { table.Open(); }), "No field class for field 'BLOB' of type Blob");
    EXPECT_FALSE(table.Active());
}

// An engine whose Active setter runs the framework's open or close first and then resets a
// flag of its own.
class FlaggedTable : public TMemoryDataSet {
public:
    using TMemoryDataSet::TMemoryDataSet;
    bool Changed = true;
    std::vector<bool> ActiveAfterFramework;
    void SetActive(bool value) override {
        TMemoryDataSet::SetActive(value);
        ActiveAfterFramework.push_back(Active());
        Changed = false;
    }
};

TEST(DataSetActive, TheActiveSetterCanBeExtended) {
    FlaggedTable table(NameAndNumber(), NumberedRows(2));
    table.Close();
    EXPECT_FALSE(table.Changed);
    table.Changed = true;
    table.Open();
    EXPECT_FALSE(table.Changed);
    EXPECT_EQ(table.ActiveAfterFramework, (std::vector<bool>{false, true}));
}

class FailingOpenTable : public TMemoryDataSet {
public:
    using TMemoryDataSet::TMemoryDataSet;
    std::string Reported;

protected:
    void HandleOpenError() override {
        try {
            throw;
        } catch (const EDatabaseError& error) {
            Reported = error.Message();
        }
    }
};

TEST(DataSetActive, LoadingDefersTheOpenAndHandsFailuresToHandleOpenError) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(2));
    table.BeginLoading();
    table.Open();
    EXPECT_FALSE(table.Active());
    table.Loaded();
    EXPECT_TRUE(table.Active());

    FailingOpenTable failing(NameAndNumber(), NumberedRows(2));
    failing.FailFetches = true;
    failing.BeginLoading();
    failing.Open();
    EXPECT_NO_THROW(failing.Loaded());
    EXPECT_EQ(failing.Reported, "fetch failed");
    EXPECT_FALSE(failing.Active());

    TMemoryDataSet plain(NameAndNumber(), NumberedRows(2));
    plain.FailFetches = true;
    plain.BeginLoading();
    plain.Open();
    EXPECT_THROW(plain.Loaded(), EDatabaseError);
}

TEST(DataSetActive, DestroyingAnOpenDataSetRaisesNoEventsAndTellsTheLinks) {
    std::vector<std::string> events;
    RecordingLink link;
    TDataSource source;
    {
        TMemoryDataSet table(NameAndNumber(), NumberedRows(2));
        table.BeforeClose = [&](TDataSet&) { events.push_back("BeforeClose"); };
        table.AfterClose = [&](TDataSet&) { events.push_back("AfterClose"); };
        source.SetDataSet(&table);
        link.SetDataSource(&source);
        table.Open();
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(link.Heard, (std::vector<std::string>{"active", "inactive"}));
    EXPECT_EQ(source.DataSet(), nullptr);
}

}  // namespace
}  // namespace tavisto::testing
