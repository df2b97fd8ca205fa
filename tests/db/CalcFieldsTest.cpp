#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "db/NumericFields.h"
#include "db/StringFields.h"

namespace tavisto::testing {
namespace {

class CalculatedFields : public ::testing::Test {
protected:
    TMemoryDataSet table{NameAndNumber(), NumberedRows(4)};
    TIntegerField& number = table.Fields().Add<TIntegerField>("N");
    TStringField& name = table.Fields().Add<TStringField>("NAME");
    TIntegerField& twice = table.Fields().Add<TIntegerField>("TWICE", fkCalculated);
    TStringField& label = table.Fields().Add<TStringField>("LABEL", fkCalculated);
    TIntegerField& unset = table.Fields().Add<TIntegerField>("UNSET", fkCalculated);
    std::vector<int> recordNumbers;
    int calls = 0;

    void SetUp() override {
        label.SetSize(5);
        table.SetReadOnly(true);
        table.OnCalcFields = [this](TDataSet& dataSet) {
            ++calls;
            EXPECT_EQ(dataSet.State(), dsCalcFields);
            recordNumbers.push_back(dataSet.RecNo());
            twice.SetAsInteger(number.AsInteger() * 2);
            label.SetAsString(name.AsString() + "!");
        };
    }
};

TEST_F(CalculatedFields, SlotsFollowEachOtherInTheCalculatedArea) {
    table.Open();
    EXPECT_EQ(twice.FieldNo(), -1);
    EXPECT_EQ(twice.Offset(), 0);
    EXPECT_EQ(label.Offset(), 5);
    EXPECT_EQ(unset.Offset(), 5 + 7);
    EXPECT_EQ(table.CalcFieldsSize(), 5 + 7 + 5);
    EXPECT_EQ(number.Offset(), -1);
}

TEST_F(CalculatedFields, AreComputedForEveryFetchedRecordEvenWhenReadOnly) {
    table.Open();
    std::vector<std::string> labels;
    while (!table.Eof()) {
        EXPECT_EQ(twice.AsInteger(), number.AsInteger() * 2);
        labels.push_back(label.AsString());
        EXPECT_TRUE(unset.IsNull());
        table.Next();
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"row0!", "row1!", "row2!", "row3!"}));
    EXPECT_EQ(recordNumbers, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(table.State(), dsBrowse);
}

TEST_F(CalculatedFields, FollowFieldChangesWhileEditingUnlessAutoCalcFieldsIsOff) {
    table.SetReadOnly(false);
    table.Open();
    table.Edit();
    number.SetAsInteger(21);
    EXPECT_EQ(twice.AsInteger(), 42);

    table.Cancel();
    table.SetAutoCalcFields(false);
    table.Edit();
    const int before = calls;
    number.SetAsInteger(30);
    EXPECT_EQ(calls, before);
    EXPECT_EQ(twice.AsInteger(), 0);
    table.Post();
    EXPECT_EQ(twice.AsInteger(), 60);
}

TEST_F(CalculatedFields, CannotBeWrittenWhileBrowsing) {
    table.Open();
    EXPECT_THROW(twice.SetAsInteger(1), EDatabaseError);
    EXPECT_TRUE(twice.CanModify());
    EXPECT_FALSE(number.CanModify());
}

TEST(CalculatedFieldsAbsent, OnCalcFieldsIsNotCalledWithoutCalculatedFields) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    int calls = 0;
    table.OnCalcFields = [&](TDataSet&) { ++calls; };
    table.Open();
    table.Last();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(table.CalcFieldsSize(), 0);
}

TEST(CalculatedFieldsAbsent, AnErrorInTheHandlerRestoresTheState) {
    TMemoryDataSet table(NameAndNumber(), NumberedRows(3));
    table.Fields().Add<TIntegerField>("N");
    table.Fields().Add<TIntegerField>("C", fkCalculated);
    bool fail = false;
    table.OnCalcFields = [&](TDataSet&) {
        if (fail) throw EDatabaseError("no value");
    };
    table.Open();
    fail = true;
    EXPECT_THROW(table.Next(), EDatabaseError);
    EXPECT_EQ(table.State(), dsBrowse);
    fail = false;
    table.Next();
    EXPECT_EQ(table.FieldByName("N").AsInteger(), 1);
}

}  // namespace
}  // namespace tavisto::testing
