// Adding, posting and deleting records, and writing the table back with its backups.

#include <gtest/gtest.h>

#include <set>

#include "CsvDataTestSupport.h"
#include "csv/CsvDataPaths.h"
#include "csv/CsvErrors.h"
#include "platform/FileSystem.h"

namespace tavisto {
namespace {

using csvtest::FirstColumn;
using csvtest::ReadBytes;
using csvtest::TempFolder;
using csvtest::TestTable;
namespace fs = std::filesystem;

class EditTable : public testing::Test {
protected:
    void Open(const std::string& bytes) {
        file_ = folder_.Write("t.csv", bytes);
        table_.SetCsvFieldDef("K:$10;V:%");
        table_.SetSeparator(';');
        table_.SetFileName(file_);
        table_.Open();
    }
    int RowIndexOf(int row) { return table_.Rows().GetRow(row).RowIndex; }
    std::set<std::string> FolderContents() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TempFolder folder_;
    std::string file_;
    TestTable table_;
};

TEST_F(EditTable, AppendedRecordGoesAfterTheLastRow) {
    Open("K;V\r\na;1\r\nb;2\r\n");
    table_.AppendRecord({Variant("c"), Variant(3)});
    EXPECT_EQ(FirstColumn(table_), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(RowIndexOf(2), 2);
    EXPECT_TRUE(table_.Changed());
    EXPECT_TRUE(table_.Rows().GetRow(2).RowChanged);
}

TEST_F(EditTable, InsertedRecordTakesThePlaceOfTheActiveOne) {
    Open("K;V\r\na;1\r\nb;2\r\n");
    table_.Next();
    table_.InsertRecord({Variant("new"), Variant(9)});
    EXPECT_EQ(table_.FieldByName("K").AsString(), "new") << "the cursor names the new row";
    EXPECT_EQ(FirstColumn(table_), (std::vector<std::string>{"a", "new", "b"}));
    EXPECT_EQ(RowIndexOf(1), 1);
    EXPECT_EQ(RowIndexOf(2), 1) << "rows behind keep their RowIndex";
}

TEST_F(EditTable, AddedRecordWithoutTextGetsOneEmptyColumnPerField) {
    Open("K;V\r\n");
    table_.InternalAddRecord(nullptr, true);
    ASSERT_EQ(table_.Rows().Count(), 1);
    EXPECT_EQ(table_.Rows().GetRow(0).View().Text, ";");
    EXPECT_EQ(table_.CurrentRowIndex(), -2);
}

TEST_F(EditTable, InsertPostAndEditPostStoreTheBuffer) {
    Open("K;V\r\na;1\r\n");
    table_.Insert();
    table_.FieldByName("K").SetAsString("first");
    table_.Post();
    EXPECT_EQ(FirstColumn(table_), (std::vector<std::string>{"first", "a"}));
    table_.Last();
    table_.Edit();
    table_.FieldByName("V").SetAsInteger(42);
    table_.Post();
    EXPECT_EQ(table_.Rows().GetRow(1).View().Text, "a;42");
    EXPECT_TRUE(table_.Changed());
}

TEST_F(EditTable, PostOutsideEditAndInsertIsRefused) {
    Open("K;V\r\na;1\r\n");
    table_.SetChanged(false);
    try {
        table_.PostRecord();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), file_ + ": Cannot post. Not in dsEdit or dsInsert mode");
    }
    EXPECT_FALSE(table_.Changed());
}

TEST_F(EditTable, UniqueKeysRefuseADuplicateInsideTheTable) {
    table_.SetCsvKeyDef("K");
    table_.SetCsvUniqueKeys(true);
    Open("K;V\r\na;1\r\nb;2\r\n");
    table_.Insert();
    table_.FieldByName("K").SetAsString("b");
    try {
        table_.Post();
        FAIL();
    } catch (const ECsvKeyError& error) {
        EXPECT_EQ(error.Message(), file_ + " - Key is not unique ");
    }
    table_.Cancel();
    EXPECT_EQ(table_.RecordCount(), 2);
    table_.Append();
    table_.FieldByName("K").SetAsString("b");
    EXPECT_NO_THROW(table_.Post()) << "a record after the last row is not held back";
    table_.First();
    table_.Edit();
    table_.FieldByName("K").SetAsString("b");
    EXPECT_THROW(table_.Post(), ECsvKeyError) << "another row has the key";
    table_.Cancel();
    table_.Edit();
    table_.FieldByName("V").SetAsInteger(5);
    EXPECT_NO_THROW(table_.Post()) << "a row keeps its own key";
}

TEST_F(EditTable, DeletingMovesTheCursorToTheNewLastRow) {
    Open("K;V\r\na;1\r\nb;2\r\n");
    table_.Last();
    table_.Delete();
    EXPECT_EQ(table_.CurrentRowIndex(), 0);
    EXPECT_EQ(table_.FieldByName("K").AsString(), "a");
    table_.Delete();
    EXPECT_EQ(table_.CurrentRowIndex(), -1);
    EXPECT_TRUE(table_.IsEmpty());
    table_.SetChanged(false);
    table_.DeleteRecord();
    EXPECT_TRUE(table_.Changed()) << "set even when no row was deleted";
}

// ---- Writing back

TEST_F(EditTable, CloseWritesHeaderAndRowsWithCrLf) {
    Open("K;V\na;1\n\"x;y\";2");
    table_.AppendRecord({Variant("c"), Variant(3)});
    table_.Close();
    EXPECT_EQ(ReadBytes(file_), "K;V\r\na;1\r\n\"x;y\";2\r\nc;3\r\n");
    EXPECT_FALSE(table_.Changed());
    EXPECT_EQ(FolderContents(), std::set<std::string>{"t.csv"}) << "no temporary file is left";
}

TEST_F(EditTable, EmptyTableIsWrittenAsItsHeaderOrAsNothing) {
    Open("K;V\r\na;1\r\n");
    table_.Delete();
    table_.FlushToFile();
    EXPECT_EQ(ReadBytes(file_), "K;V\r\n");
    table_.SetHasHeaderRow(false);
    table_.SetChanged(true);
    table_.FlushToFile();
    EXPECT_EQ(ReadBytes(file_), "");
}

TEST_F(EditTable, UnchangedOrNotSavingTablesWriteNothing) {
    Open("K;V\na;1\n");
    const auto written = fs::last_write_time(file_);
    table_.FlushToFile();
    table_.SetSavesChanges(false);
    table_.SetChanged(true);
    table_.Close();
    EXPECT_EQ(ReadBytes(file_), "K;V\na;1\n");
    EXPECT_EQ(fs::last_write_time(file_), written);
}

TEST(CsvDataWrite, ReadOnlyLogIsNeitherChangedNorRewritten) {
    TempFolder folder;
    const std::string bytes = std::string(csvtest::kLogHeader) + "\na;;;\nb;;;\n";
    const std::string file = folder.Write("kalulog.csv", bytes);
    const auto written = fs::last_write_time(file);
    {
        TestTable table;
        csvtest::ConfigureLogTable(table, file);
        table.Open();
        csvtest::AllRecords(table);
        table.Close();
        table.Open();
    }
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(fs::last_write_time(file), written);
}

TEST_F(EditTable, FailedWriteLeavesFileRowsAndChangedAsTheyWere) {
    Open("K;V\r\na;1\r\n");
    table_.AppendRecord({Variant("b"), Variant(2)});
    // A folder in the way of the file cannot be replaced by the written file.
    fs::remove(file_);
    fs::create_directories(fs::path(file_) / "inside");
    try {
        table_.Close();
        FAIL() << "closed";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "Unable to write to csv file " + file_);
    }
    EXPECT_TRUE(table_.Active()) << "the table stays open with its rows";
    EXPECT_TRUE(table_.Changed());
    EXPECT_EQ(table_.RecordCount(), 2);
    EXPECT_EQ(FolderContents(), std::set<std::string>{"t.csv"}) << "the temporary file is removed";
    fs::remove_all(file_);
    table_.Close();
    EXPECT_EQ(ReadBytes(file_), "K;V\r\na;1\r\nb;2\r\n");
}

TEST_F(EditTable, MissingFileNameIsRefusedBeforeAnythingIsWritten) {
    table_.SetCsvFieldDef("K:$10;V:%");
    table_.SetSeparator(';');
    table_.SetLoadsFromFile(false);
    table_.Open();
    table_.AppendRecord({Variant("a"), Variant(1)});
    try {
        table_.FlushToFile();
        FAIL();
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "TableName not specified");
    }
    EXPECT_TRUE(table_.Changed());
}

// ---- Backups

TEST(CsvDataBackup, RingKeepsOneGap) {
    std::set<int> present;
    const auto exists = [&](int n) { return present.count(n) > 0; };
    std::vector<std::pair<int, int>> chosen;
    for (int save = 0; save < 12; ++save) {
        const BackupSlots slots = ChooseBackupSlots(10, exists);
        chosen.emplace_back(slots.Target, slots.ToClear);
        present.erase(slots.ToClear);
        present.insert(slots.Target);
    }
    EXPECT_EQ(chosen[0], std::make_pair(0, 1));
    EXPECT_EQ(chosen[1], std::make_pair(1, 2));
    EXPECT_EQ(chosen[9], std::make_pair(9, 0));
    EXPECT_EQ(chosen[10], std::make_pair(0, 1));
    EXPECT_EQ(chosen[11], std::make_pair(1, 2));
    EXPECT_EQ(present.size(), 9u) << "at most count - 1 backups";
    const BackupSlots full = ChooseBackupSlots(10, [](int) { return true; });
    EXPECT_EQ(full.Target, 1);
    EXPECT_EQ(full.ToClear, 2);
    EXPECT_EQ(BackupFileName("D:\\data\\", "log.csv", 0, '\\'), "D:\\data\\Backup\\log.csv.0.bak");
    EXPECT_EQ(BackupFileName("/data/", "log.csv", 9, '/'), "/data/Backup/log.csv.9.bak");
}

TEST_F(EditTable, BackupsAreCopiesOfTheOldFileMadeBeforeTheWrite) {
    Open("K;V\r\na;1\r\n");
    const fs::path backups = folder_.Path() / "Backup";
    fs::create_directories(backups);
    folder_.Write("Backup/t.csv.2.bak", "left from earlier");
    table_.SetAutoBackupCount(3);
    table_.AppendRecord({Variant("b"), Variant(2)});
    table_.FlushToFile();
    EXPECT_EQ(table_.AutoBackupCount(), 10) << "fewer than ten slots become ten";
    EXPECT_EQ(ReadBytes((backups / "t.csv.0.bak").string()), "K;V\r\na;1\r\n");
    table_.AppendRecord({Variant("c"), Variant(3)});
    table_.FlushToFile();
    EXPECT_EQ(ReadBytes((backups / "t.csv.1.bak").string()), "K;V\r\na;1\r\nb;2\r\n");
    EXPECT_FALSE(fs::exists(backups / "t.csv.2.bak"));
    EXPECT_EQ(ReadBytes(file_), "K;V\r\na;1\r\nb;2\r\nc;3\r\n");
}

TEST_F(EditTable, NoBackupOfAFileThatIsNotThereYet) {
    Open("K;V\r\na;1\r\n");
    fs::remove(file_);
    table_.SetAutoBackupCount(10);
    table_.SetChanged(true);
    table_.FlushToFile();
    EXPECT_FALSE(fs::exists(folder_.Path() / "Backup"));
    EXPECT_EQ(ReadBytes(file_), "K;V\r\na;1\r\n");
}

}  // namespace
}  // namespace tavisto
