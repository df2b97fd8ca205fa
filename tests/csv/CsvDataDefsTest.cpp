// The table's field definitions: from CsvFieldDef or from the file's first line, the key
// columns, and what assigning CsvFieldDef drops.

#include <gtest/gtest.h>

#include "CsvDataTestSupport.h"
#include "csv/CsvErrors.h"

namespace tavisto {
namespace {

using csvtest::kLogFieldDef;
using csvtest::TempFolder;
using csvtest::TestTable;

std::string Definitions(const TDataSet& table) {
    std::string text;
    for (int i = 0; i < table.FieldDefs().Count(); ++i) {
        const TFieldDef& def = table.FieldDefs()[i];
        text += def.Name() + ":" + FieldTypeName(def.DataType()) + "/" +
                std::to_string(def.Size()) + " ";
    }
    return text;
}

TEST(CsvDataDefs, LogDefinitionsWithSemicolonAndWithComma) {
    TestTable table;
    table.SetCsvFieldDef(kLogFieldDef);
    table.SetSeparator(';');
    table.InternalInitFieldDefs();
    EXPECT_EQ(Definitions(table),
              "KALU:String/255 DATUM:DateTime/0 ANWENDUNG:String/255 BENUTZER:String/255 ");
    std::vector<int> kinds;
    for (int k = 0; k < table.Columns().Count(); ++k) kinds.push_back(table.Columns()[k].Kind);
    EXPECT_EQ(kinds, (std::vector<int>{ckText, ckDateTimeText, ckText, ckText}));
    EXPECT_EQ(table.RecordTextBudget(), 785);
    table.SetSeparator(',');
    table.InternalInitFieldDefs();
    EXPECT_EQ(Definitions(table), "KALU:String/80 ");
}

TEST(CsvDataDefs, DefinitionErrorsCarryTheFileName) {
    TestTable table;
    table.SetSeparator(';');
    table.SetFileName("log.csv");
    table.SetCsvFieldDef("NAME:20");
    try {
        table.InternalInitFieldDefs();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "log.csv: Invalid field type character: 2");
    }
    table.SetCsvFieldDef("");
    table.SetLoadsFromFile(false);
    try {
        table.Open();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(),
                  "log.csv: Field Definition Error. CsvFieldDef, FieldDefs, and file contents must "
                  "match");
    }
}

TEST(CsvDataDefs, KeyColumnsFollowCsvKeyDef) {
    TestTable table;
    table.SetCsvFieldDef(kLogFieldDef);
    table.SetSeparator(';');
    table.SetCsvKeyDef("datum;KALU");
    table.InternalInitFieldDefs();
    ASSERT_EQ(table.KeyColumnCount(), 2);
    EXPECT_EQ(table.KeyColumns()[0]->FieldDef->Name(), "DATUM");
    EXPECT_EQ(table.KeyColumns()[1]->FieldDef->Name(), "KALU");
    EXPECT_TRUE(table.Columns()[1].IsKey);
    EXPECT_FALSE(table.Columns()[2].IsKey);
    EXPECT_EQ(table.KeyAscending(), (std::vector<bool>{true, true, true}));
    table.SetCsvKeyDef(" DATUM");
    try {
        table.InternalInitFieldDefs();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(),
                  ": CsvKeyDef contains field ' DATUM' which is not defined. "
                  "InternalInitFieldDefs failed");
    }
    table.SetCsvKeyDef("");
    table.InternalInitFieldDefs();
    EXPECT_EQ(table.KeyColumnCount(), 0);
}

TEST(CsvDataDefs, DefinitionsComeFromTheFirstLineWhenNoneAreGiven) {
    TempFolder folder;
    TestTable table;
    table.SetSeparator(';');
    table.SetValidateHeaderRow(false);
    table.SetFileName(folder.Write("t.csv", "A:$10;B:%\r\nx;5\r\n"));
    table.Open();
    EXPECT_EQ(Definitions(table), "A:String/10 B:Integer/0 ");
    EXPECT_TRUE(table.FieldDefsFromFile());
    EXPECT_EQ(table.CsvFieldDef(), "") << "without ExtendedHeaderInfo the text is not kept";
    EXPECT_EQ(table.FieldByName("B").AsInteger(), 5);
    EXPECT_EQ(table.RecordCount(), 1);
    table.Close();
    EXPECT_EQ(table.FieldDefs().Count(), 0) << "forgotten at close";
    EXPECT_EQ(table.HeaderRow(), "");
}

TEST(CsvDataDefs, ExtendedHeaderInfoKeepsTheFirstLineAsCsvFieldDef) {
    TempFolder folder;
    TestTable table;
    table.SetSeparator(';');
    table.SetExtendedHeaderInfo(true);
    table.SetFileName(folder.Write("t.csv", "A:$10;B:%\r\nx;5\r\n"));
    table.Open();
    EXPECT_EQ(table.CsvFieldDef(), "A:$10;B:%");
    EXPECT_EQ(table.HeaderRow(), "A;B") << "the header is built from the names";
    EXPECT_EQ(table.FieldByName("A").AsString(), "x");
    table.Close();
    EXPECT_EQ(table.CsvFieldDef(), "") << "definitions from the file are forgotten at close";
}

TEST(CsvDataDefs, DefinitionsAskedForWhileClosedLeaveNoFileOpen) {
    TempFolder folder;
    TestTable table;
    table.SetSeparator(';');
    const std::string file = folder.Write("t.csv", "A:$10;B:%\r\nx;5\r\n");
    table.SetFileName(file);
    table.FieldDefs().Update();
    EXPECT_EQ(Definitions(table), "A:String/10 B:Integer/0 ");
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        EXPECT_NE(std::filesystem::read_symlink(entry.path(), ignored).string(), file);
    }
}

TEST(CsvDataDefs, NewDefinitionTextDropsRowsAndHeader) {
    TempFolder folder;
    TestTable table;
    csvtest::ConfigureLogTable(table, folder.Write("log.csv", "X;Y\r\na;;;\r\n"));
    table.Open();
    table.Close();
    EXPECT_EQ(table.HeaderRow(), "X;Y");
    table.SetCsvFieldDef(kLogFieldDef);
    EXPECT_EQ(table.HeaderRow(), "X;Y") << "the same text changes nothing";
    table.Fields().Clear();
    table.SetCsvFieldDef("A:$10");
    EXPECT_EQ(table.HeaderRow(), "");
    EXPECT_EQ(table.FieldDefs().Count(), 0);
    EXPECT_EQ(table.Columns().Count(), 0);
}

}  // namespace
}  // namespace tavisto
