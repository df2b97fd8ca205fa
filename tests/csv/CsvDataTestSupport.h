#pragma once

// What the table tests share: a folder per test, files written byte for byte, the log table of
// the viewer, and a table class that lets tests reach the engine's own operations.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "csv/CsvData.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"

namespace tavisto::csvtest {

namespace fs = std::filesystem;

inline constexpr const char* kLogFieldDef = "KALU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255";
inline constexpr const char* kLogHeader = "KALU;DATUM;ANWENDUNG;BENUTZER";

// A folder of its own, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = fs::temp_directory_path() /
                ("tavisto-csvdata-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

inline std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The table with the engine's operations in reach of the tests.
class TestTable : public TCsvDataSet {
public:
    using TCustomCsvDataSet::BookmarkFlagOf;
    using TCustomCsvDataSet::BookmarkOf;
    using TCustomCsvDataSet::ColumnForField;
    using TCustomCsvDataSet::Columns;
    using TCustomCsvDataSet::CompareRowField;
    using TCustomCsvDataSet::DeleteRecord;
    using TCustomCsvDataSet::DisposeRecordBuffer;
    using TCustomCsvDataSet::EmptyRowText;
    using TCustomCsvDataSet::EnsureFileFolder;
    using TCustomCsvDataSet::FetchRecord;
    using TCustomCsvDataSet::FieldDefsFromFile;
    using TCustomCsvDataSet::FindRowWithKey;
    using TCustomCsvDataSet::GetFileName;
    using TCustomCsvDataSet::InternalAddRecord;
    using TCustomCsvDataSet::InternalCompare;
    using TCustomCsvDataSet::InternalInitFieldDefs;
    using TCustomCsvDataSet::KeyAscending;
    using TCustomCsvDataSet::KeyColumnCount;
    using TCustomCsvDataSet::KeyColumns;
    using TCustomCsvDataSet::MoveAfterLast;
    using TCustomCsvDataSet::MoveBeforeFirst;
    using TCustomCsvDataSet::NewRecordBuffer;
    using TCustomCsvDataSet::PostRecord;
    using TCustomCsvDataSet::RaiseError;
    using TCustomCsvDataSet::RaiseErrorCode;
    using TCustomCsvDataSet::Rows;
    using TDataSet::ActiveBuffer;
};

// The viewer's log table: four fields, ";" separated, header row taken as it is, read-only, the
// first field read through a persistent field of size 80.
inline void ConfigureLogTable(TCsvDataSet& table, const std::string& file) {
    table.SetCsvFieldDef(kLogFieldDef);
    table.SetSeparator(';');
    table.SetValidateHeaderRow(false);
    table.SetReadOnly(true);
    table.SetFileName(file);
    table.Fields().Add<TStringField>("KALU").SetSize(80);
    table.Fields().Add<TDateTimeField>("DATUM");
    table.Fields().Add<TStringField>("ANWENDUNG").SetSize(255);
    table.Fields().Add<TStringField>("BENUTZER").SetSize(255);
}

// Every record's field texts, walking from the first record with Next.
inline std::vector<std::vector<std::string>> AllRecords(TDataSet& table) {
    std::vector<std::vector<std::string>> records;
    for (table.First(); !table.Eof(); table.Next()) {
        std::vector<std::string> record;
        for (int i = 0; i < table.Fields().Count(); ++i) {
            record.push_back(table.Fields()[i].AsString());
        }
        records.push_back(record);
    }
    return records;
}

// The first column of every record.
inline std::vector<std::string> FirstColumn(TDataSet& table) {
    std::vector<std::string> values;
    for (const auto& record : AllRecords(table)) values.push_back(record.front());
    return values;
}

}  // namespace tavisto::csvtest
