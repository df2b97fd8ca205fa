// The table component's frame: defaults, the separator rule, error messages, the Active setter,
// properties refused while open, and destruction.

#include <gtest/gtest.h>

#include "CsvDataTestSupport.h"
#include "csv/CsvErrors.h"
#include "platform/FileSystem.h"

namespace tavisto {
namespace {

using csvtest::TempFolder;
using csvtest::TestTable;
namespace fs = std::filesystem;

TEST(CsvDataSetDefaults, NewComponentHasTheStoredDefaults) {
    const TCsvDataSet table;
    EXPECT_EQ(table.Separator(), ',');
    EXPECT_EQ(TCsvDataSet::kDefaultSeparator, ',');
    EXPECT_TRUE(table.HasHeaderRow());
    EXPECT_TRUE(table.ValidateHeaderRow());
    EXPECT_TRUE(table.LoadsFromFile());
    EXPECT_TRUE(table.SavesChanges());
    EXPECT_TRUE(table.CreateFolderOnSave());
    EXPECT_FALSE(table.ReadOnly());
    EXPECT_FALSE(table.Changed());
    EXPECT_FALSE(table.CsvUniqueKeys());
    EXPECT_FALSE(table.ExtendedHeaderInfo());
    EXPECT_FALSE(table.CaseInsensitive());
    EXPECT_FALSE(table.StoreDefs());
    EXPECT_FALSE(table.EnquoteBackslash());
    EXPECT_FALSE(table.AlwaysEnquoteStrings());
    EXPECT_FALSE(table.AlwaysEnquoteFloats());
    EXPECT_FALSE(table.UseSystemDecimalSeparator());
    EXPECT_FALSE(table.AppendOnly());
    EXPECT_EQ(table.AutoBackupCount(), 0);
    EXPECT_EQ(table.TimeZoneCorrection(), 0);
    EXPECT_EQ(table.FileName(), "");
    EXPECT_EQ(table.CsvFieldDef(), "");
    EXPECT_EQ(table.CsvKeyDef(), "");
    EXPECT_EQ(table.HeaderRow(), "");
    EXPECT_EQ(table.ResolvedFileName(), "");
    EXPECT_EQ(table.DecimalSeparatorChar(), '.');
    EXPECT_EQ(table.CurrentRowIndex(), -1);
    EXPECT_FALSE(table.TableOpen());
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.InitialDirectory(), CurrentDirectory());
}

TEST(CsvDataSetDefaults, InitialValuesEqualTheDeclaredDefaults) {
    const TCsvDataSet table;
    EXPECT_EQ(table.ReadOnly(), TCsvDataSet::kDefaultReadOnly);
    EXPECT_EQ(table.HasHeaderRow(), TCsvDataSet::kDefaultHasHeaderRow);
    EXPECT_EQ(table.ValidateHeaderRow(), TCsvDataSet::kDefaultValidateHeaderRow);
    EXPECT_EQ(table.LoadsFromFile(), TCsvDataSet::kDefaultLoadsFromFile);
    EXPECT_EQ(table.SavesChanges(), TCsvDataSet::kDefaultSavesChanges);
    EXPECT_EQ(table.Separator(), TCsvDataSet::kDefaultSeparator);
    EXPECT_EQ(table.TimeZoneCorrection(), TCsvDataSet::kDefaultTimeZoneCorrection);
    EXPECT_EQ(table.EnquoteBackslash(), TCsvDataSet::kDefaultEnquoteBackslash);
}

struct SeparatorCase {
    const char* name;
    char separator;
    const char* message;  // null: accepted
};

class SeparatorTest : public testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorTest, AcceptsOrRefusesKeepingTheOldSeparator) {
    const SeparatorCase& c = GetParam();
    TCsvDataSet table;
    table.SetSeparator(';');
    if (c.message == nullptr) {
        table.SetSeparator(c.separator);
        EXPECT_EQ(table.Separator(), c.separator);
        return;
    }
    try {
        table.SetSeparator(c.separator);
        FAIL() << "accepted";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), c.message);
    }
    EXPECT_EQ(table.Separator(), ';');
}

INSTANTIATE_TEST_SUITE_P(
    Characters, SeparatorTest,
    testing::Values(SeparatorCase{"Tab", '\t', nullptr}, SeparatorCase{"Space", ' ', nullptr},
                    SeparatorCase{"Semicolon", ';', nullptr}, SeparatorCase{"Comma", ',', nullptr},
                    SeparatorCase{"Colon", ':', nullptr}, SeparatorCase{"Bar", '|', nullptr},
                    SeparatorCase{"Plus", '+', nullptr}, SeparatorCase{"Period", '.', nullptr},
                    SeparatorCase{"Quote", '"', "Invalid separator character (\")"},
                    SeparatorCase{"Apostrophe", '\'', "Invalid separator character (')"},
                    SeparatorCase{"At", '@', "Invalid separator character (@)"},
                    SeparatorCase{"Backslash", '\\', "Invalid separator character (\\)"},
                    SeparatorCase{"Hyphen", '-', "Invalid separator character (-)"},
                    SeparatorCase{"CarriageReturn", '\r', "Invalid separator character (#13)"},
                    SeparatorCase{"LineFeed", '\n', "Invalid separator character (#10)"},
                    SeparatorCase{"Backspace", '\b', "Invalid separator character (#08)"},
                    SeparatorCase{"Nul", '\0', "Invalid separator character (#00)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvDataSetSeparator, CurrentSeparatorIsAcceptedWithoutCheck) {
    TCsvDataSet table;
    EXPECT_NO_THROW(table.SetSeparator(','));
    EXPECT_EQ(table.Separator(), ',');
}

TEST(CsvDataSetErrors, MessagesArePrefixedWithTheFileName) {
    TestTable table;
    try {
        table.RaiseError("No records");
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), ": No records");
    }
    table.SetFileName("C:\\data\\log.csv");
    try {
        table.RaiseErrorCode("SetFieldData Error - Field type not handled", 7);
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(),
                  "C:\\data\\log.csv: SetFieldData Error - Field type not handled (7)");
    }
}

TEST(CsvDataSetErrors, EngineErrorsAreDatabaseErrors) {
    TestTable table;
    EXPECT_THROW(table.RaiseError("x"), EDatabaseError);
    EXPECT_THROW(throw ECsvKeyError("k"), EDatabaseError);
}

TEST(CsvDataSetFieldDefs, StoredOnlyWithStoreDefsAndDefinitions) {
    TestTable table;
    EXPECT_FALSE(table.FieldDefsAreStored());
    table.SetStoreDefs(true);
    EXPECT_FALSE(table.FieldDefsAreStored()) << "no definitions";
    table.SetCsvFieldDef("A:$10;B:%");
    table.SetSeparator(';');
    table.SetStoreDefs(false);
    table.InternalInitFieldDefs();
    EXPECT_TRUE(table.StoreDefs()) << "a change of the definitions sets StoreDefs";
    EXPECT_TRUE(table.FieldDefsAreStored());
    table.SetStoreDefs(false);
    EXPECT_FALSE(table.FieldDefsAreStored()) << "definitions without StoreDefs";
}

class OpenLogTable : public testing::Test {
protected:
    void SetUp() override {
        file_ = folder_.Write("kalulog.csv", std::string(csvtest::kLogHeader) +
                                                 "\r\na;2011-01-05 13:45:10;App;user\r\n");
        csvtest::ConfigureLogTable(table_, file_);
    }

    TempFolder folder_;
    std::string file_;
    TestTable table_;
};

TEST_F(OpenLogTable, FileNameAndFieldDefinitionsAreRefusedWhileOpen) {
    table_.Open();
    EXPECT_THROW(table_.SetFileName("other.csv"), EDatabaseError);
    EXPECT_THROW(table_.SetCsvFieldDef("A:$10"), EDatabaseError);
    EXPECT_EQ(table_.FileName(), file_);
    EXPECT_EQ(table_.CsvFieldDef(), csvtest::kLogFieldDef);
    EXPECT_NO_THROW(table_.SetCsvFieldDef(csvtest::kLogFieldDef))
        << "the same text changes nothing";
}

TEST_F(OpenLogTable, ActiveSetterClearsChangedEvenWhenNothingChanges) {
    table_.SetChanged(true);
    table_.Close();
    EXPECT_FALSE(table_.Changed());
    table_.Open();
    table_.SetChanged(true);
    table_.Open();
    EXPECT_FALSE(table_.Changed());
}

TEST_F(OpenLogTable, ActiveSetterRefreshesTheDecimalSeparatorWhenAsked) {
    table_.SetDecimalSeparatorChar('#');
    table_.Open();
    EXPECT_EQ(table_.DecimalSeparatorChar(), '#');
    table_.SetUseSystemDecimalSeparator(true);
    table_.Close();
    EXPECT_EQ(table_.DecimalSeparatorChar(), ReadSystemFormatSettings().DecimalSeparator);
}

TEST_F(OpenLogTable, ReadOnlyTableRefusesChangesThroughTheFramework) {
    table_.Open();
    EXPECT_FALSE(table_.CanModify());
    EXPECT_THROW(table_.Edit(), EDatabaseError);
    EXPECT_THROW(table_.Append(), EDatabaseError);
    EXPECT_THROW(table_.Delete(), EDatabaseError);
    EXPECT_EQ(table_.RecordCount(), 1);
}

TEST(CsvDataSetDestruction, OpenTableWhoseWriteBackFailsIsDestroyedQuietly) {
    TempFolder folder;
    const std::string file = folder.Write("t.csv", "A;B\r\n1;2\r\n");
    {
        TCsvDataSet table;
        table.SetSeparator(';');
        table.SetCsvFieldDef("A:$10;B:$10");
        table.SetFileName(file);
        table.Open();
        table.SetChanged(true);
        fs::remove_all(folder.Path());
        // Destruction writes back; the folder is gone, so that fails and is discarded.
    }
    EXPECT_FALSE(FileExists(file));
}

TEST(CsvDataSetDestruction, OpenTableIsClosedAndWrittenBack) {
    TempFolder folder;
    const std::string file = folder.Write("t.csv", "A;B\n1;2\n");
    {
        TCsvDataSet table;
        table.SetSeparator(';');
        table.SetCsvFieldDef("A:$10;B:$10");
        table.SetFileName(file);
        table.Open();
        table.SetChanged(true);
    }
    EXPECT_EQ(csvtest::ReadBytes(file), "A;B\r\n1;2\r\n");
}

TEST(CsvDataSetLoading, FailedOpenWhileLoadingGoesToTheApplicationHandler) {
    TCsvDataSet table;
    std::string reported;
    table.ApplicationExceptionHandler = [&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            reported = e.Message();
        }
    };
    table.BeginLoading();
    table.SetActive(true);
    table.Loaded();
    EXPECT_EQ(reported, "TableName not specified: LoadFromFile = True, so a TableName is required");
    EXPECT_FALSE(table.Active());
}

TEST(CsvDataSetLoading, FailedOpenWhileLoadingRaisesWithoutHandler) {
    TCsvDataSet table;
    table.BeginLoading();
    table.SetActive(true);
    EXPECT_THROW(table.Loaded(), ECsvDataSetError);
}

}  // namespace
}  // namespace tavisto
