#pragma once

// TCustomCsvDataSet: one delimited text file as a table of the data-set framework. The whole file
// is read when the table opens and lives in memory as compact stored rows (TCsvRows); the
// framework's record buffers are full CsvRow blocks into which a fetch expands one stored row.
// Closing writes the file back only when rows were changed and SavesChanges is set.
//
// The behaviour is spread over several files by concern:
//   CsvDataSet.cpp      construction, destruction, configuration, errors
//   CsvDataDefs.cpp     field definitions, columns and key columns
//   CsvDataOpen.cpp     opening, loading the file, the header row, closing, emptying
//   CsvDataFields.cpp   field values in and out of record buffers, the field events
//   CsvDataCursor.cpp   record buffers, fetching, positioning, bookmarks, record number
//   CsvDataLocate.cpp   locate and the comparison of rows by their key columns
//   CsvDataEdit.cpp     adding, posting and deleting records
//   CsvDataWrite.cpp    writing the file back, backups
// with the loader's one-pass scan in CsvDataScan.h and the path rules in CsvDataPaths.h.
//
// TCsvDataSet publishes the configuration; a value equal to a property's kDefault... constant is
// its stored default.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvColumns.h"
#include "csv/CsvRowView.h"
#include "csv/CsvRows.h"
#include "csv/CsvStream.h"
#include "db/DataSet.h"
#include "platform/Locale.h"

namespace tavisto {

class TCustomCsvDataSet : public TDataSet {
public:
    using TGetFieldDataEvent =
        std::function<void(TCustomCsvDataSet& sender, int userTag, void* userData,
                           const std::string& fieldName, std::string& value)>;
    using TSetFieldDataEvent =
        std::function<void(TCustomCsvDataSet& sender, int userTag, void* userData,
                           const std::string& fieldName, const std::string& value)>;
    using TSpecialDataEvent =
        std::function<void(TCustomCsvDataSet& sender, int index, const std::string& nonCsvData)>;
    using TExceptionHandler = std::function<void(std::exception_ptr error)>;

    // Bytes of a bookmark: the 0-based row index.
    static constexpr int kBookmarkSize = 4;

    TCustomCsvDataSet();
    // Closes an open table first (writing pending changes back); an error of that close is
    // discarded.
    ~TCustomCsvDataSet() override;

    // The framework opens or closes first; then Changed becomes false and, with
    // UseSystemDecimalSeparator, the decimal separator is taken from the system again.
    void SetActive(bool value) override;

    // ---- Public operations

    // Empties the open table and deletes its file when SavesChanges is set; the cursor goes to
    // the first position. Changed is left alone, so closing does not create the file again.
    // Returns whether no file is left under ResolvedFileName (false when it could not be deleted,
    // and with SavesChanges off while the file is there). Requires: active.
    bool DeleteAllRows();

    // Writes the header row and every row back to the file when Changed and SavesChanges are
    // both set, through a temporary file in the same folder that replaces the file only once it
    // is completely written; backups (AutoBackupCount) are copies made before that. Afterwards
    // Changed is false. A failure raises, removes the temporary file and leaves the file, the
    // rows and Changed as they were.
    virtual void FlushToFile();

    int RecordCount() const override;
    bool IsValidBookmark(const char* bookmark) const override;
    int CompareBookmarkPositions(const char* left, const char* right) const override;

    // The stored-test of FieldDefs: StoreDefs is set and there is at least one definition.
    virtual bool FieldDefsAreStored() const;

    // ---- State that is not published

    // Full path of the table file, fixed when the table opens; empty while closed.
    const std::string& ResolvedFileName() const { return resolvedFileName_; }
    // Base folder of a FileName beginning with "." and the path delimiter; the working directory
    // when the table was created.
    const std::string& InitialDirectory() const { return initialDirectory_; }
    void SetInitialDirectory(std::string folder) { initialDirectory_ = std::move(folder); }
    // Missing folders of a file's path are created before the file is saved under another name.
    bool CreateFolderOnSave() const { return createFolderOnSave_; }
    void SetCreateFolderOnSave(bool value) { createFolderOnSave_ = value; }
    // The system's number and date formats, read when the table was created.
    const TFormatSettings& LocaleFormats() const { return localeFormats_; }
    // 0-based index of the current row; -1 before the first row, -2 after the last.
    int CurrentRowIndex() const { return currentRowIndex_; }
    bool TableOpen() const { return tableOpen_; }
    // The separator of the decimal part of float texts ('.' at first).
    char DecimalSeparatorChar() const { return rows_.DecimalSeparatorChar(); }
    void SetDecimalSeparatorChar(char separator) { rows_.SetDecimalSeparatorChar(separator); }
    // Sum of the definition entries' amounts, as checked against the record text capacity.
    int RecordTextBudget() const { return recordTextBudget_; }
    // Receives the error of a failed open while the component is being loaded; without it the
    // error is raised again.
    TExceptionHandler ApplicationExceptionHandler;

    // ---- Configuration (published by TCsvDataSet)
protected:
    static constexpr bool kDefaultReadOnly = false;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // Rows were changed since the table was opened.
    static constexpr bool kDefaultChanged = false;
    bool Changed() const { return changed_; }
    void SetChanged(bool value) { changed_ = value; }

    // The table file's name (no stored default). Requires: closed.
    const std::string& FileName() const { return fileName_; }
    virtual void SetFileName(std::string name);

    // The field-definition text, as "KALU:$255;DATUM:@" (no stored default). A different text
    // drops definitions, columns, rows and HeaderRow. Requires: closed.
    const std::string& CsvFieldDef() const { return csvFieldDef_; }
    void SetCsvFieldDef(std::string text);

    // The key fields, separated by the separator (no stored default).
    const std::string& CsvKeyDef() const { return csvKeyDef_; }
    void SetCsvKeyDef(std::string text) { csvKeyDef_ = std::move(text); }

    static constexpr bool kDefaultCsvUniqueKeys = false;
    bool CsvUniqueKeys() const { return csvUniqueKeys_; }
    void SetCsvUniqueKeys(bool value) { csvUniqueKeys_ = value; }

    static constexpr bool kDefaultHasHeaderRow = true;
    bool HasHeaderRow() const { return hasHeaderRow_; }
    void SetHasHeaderRow(bool value) { hasHeaderRow_ = value; }

    static constexpr bool kDefaultValidateHeaderRow = true;
    bool ValidateHeaderRow() const { return validateHeaderRow_; }
    void SetValidateHeaderRow(bool value) { validateHeaderRow_ = value; }

    static constexpr bool kDefaultExtendedHeaderInfo = false;
    bool ExtendedHeaderInfo() const { return extendedHeaderInfo_; }
    void SetExtendedHeaderInfo(bool value) { extendedHeaderInfo_ = value; }

    static constexpr bool kDefaultCaseInsensitive = false;
    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool value) { caseInsensitive_ = value; }

    // Raises ECsvDataSetError "Invalid separator character (c)" for a refused character (a code
    // below 32 shown as "#nn") and keeps the old separator.
    static constexpr char kDefaultSeparator = ',';
    char Separator() const { return rows_.Separator(); }
    void SetSeparator(char separator);

    static constexpr bool kDefaultLoadsFromFile = true;
    bool LoadsFromFile() const { return loadsFromFile_; }
    void SetLoadsFromFile(bool value) { loadsFromFile_ = value; }

    static constexpr bool kDefaultSavesChanges = true;
    bool SavesChanges() const { return savesChanges_; }
    void SetSavesChanges(bool value) { savesChanges_ = value; }

    // Backup slots kept when the file is written (no stored default; 0 makes no backups, other
    // values below 10 become 10 at the first write).
    int AutoBackupCount() const { return autoBackupCount_; }
    void SetAutoBackupCount(int count) { autoBackupCount_ = count; }

    // Set by every change of the field definitions.
    static constexpr bool kDefaultStoreDefs = false;
    bool StoreDefs() const { return storeDefs_; }
    void SetStoreDefs(bool value) { storeDefs_ = value; }

    // Seconds added when a zoned hexadecimal time stamp is read, subtracted when one is written.
    static constexpr int kDefaultTimeZoneCorrection = 0;
    int TimeZoneCorrection() const { return timeZoneCorrection_; }
    void SetTimeZoneCorrection(int seconds) { timeZoneCorrection_ = seconds; }

    static constexpr bool kDefaultEnquoteBackslash = false;
    bool EnquoteBackslash() const { return rows_.EnquoteBackslash(); }
    void SetEnquoteBackslash(bool value) { rows_.SetEnquoteBackslash(value); }

    // The header line in use: the file's first line, or the field names joined by the separator.
    const std::string& HeaderRow() const { return headerRow_; }

    static constexpr bool kDefaultAlwaysEnquoteStrings = false;
    bool AlwaysEnquoteStrings() const { return alwaysEnquoteStrings_; }
    void SetAlwaysEnquoteStrings(bool value) { alwaysEnquoteStrings_ = value; }

    static constexpr bool kDefaultAlwaysEnquoteFloats = false;
    bool AlwaysEnquoteFloats() const { return alwaysEnquoteFloats_; }
    void SetAlwaysEnquoteFloats(bool value) { alwaysEnquoteFloats_ = value; }

    static constexpr bool kDefaultUseSystemDecimalSeparator = false;
    bool UseSystemDecimalSeparator() const { return useSystemDecimalSeparator_; }
    void SetUseSystemDecimalSeparator(bool value) { useSystemDecimalSeparator_ = value; }

    // Kept with the component; nothing reads it.
    static constexpr bool kDefaultAppendOnly = false;
    bool AppendOnly() const { return appendOnly_; }
    void SetAppendOnly(bool value) { appendOnly_ = value; }

    TSpecialDataEvent OnSpecialData;
    // Called when a field of a loaded row is read, with the column text (quotes removed for
    // text fields); a changed value replaces the column text in the record, without Changed.
    TGetFieldDataEvent OnGetFieldData;
    // Called after a field of a loaded row was written, with the text as stored.
    TSetFieldDataEvent OnSetFieldData;

    // ---- The engine's operations for the framework

    void OpenTable() override;
    void CloseTable() override;
    bool IsTableOpen() const override { return tableOpen_; }
    void InternalInitFieldDefs() override;
    void FieldDefsChanged(TFieldDefs& sender) override;
    bool CanModifyTable() const override { return !readOnly_; }
    void HandleOpenError() override;

    TRecordBuffer NewRecordBuffer() override;
    void DisposeRecordBuffer(TRecordBuffer& buffer) override;
    int RecordBufferSize() const override;
    void InitRecordBuffer(TRecordBuffer buffer) override;
    void ClearCalcArea(TRecordBuffer buffer) override;

    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) override;
    void MoveBeforeFirst() override { currentRowIndex_ = -1; }
    void MoveAfterLast() override { currentRowIndex_ = -2; }
    void PositionAtRecord(TRecordBuffer buffer) override;
    void PositionAtBookmark(const char* bookmark) override;
    void BookmarkOf(TRecordBuffer buffer, char* bookmark) const override;
    void SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) override;
    TBookmarkFlag BookmarkFlagOf(TRecordBuffer buffer) const override;
    void SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) override;
    int RecordNumber() const override;
    void SetRecordNumber(int recordNumber) override;
    bool LocateRow(const std::string& keyFields, const Variant& keyValues,
                   TLocateOptions options) override;

    bool ReadFieldValue(const TField& field, void* buffer) override;
    bool ReadFieldOfAllRows(const TField& field, const TFieldValueVisitor& visit) override;
    void SetFieldData(TField& field, const void* buffer) override;

    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void PostRecord() override;
    void DeleteRecord() override;

    // ---- Operations the table adds

    // The record the field operations work on in the current state; null when there is none.
    virtual TRecordBuffer RecordBufferForState() const;
    virtual std::string EnquoteText(std::string_view text);
    virtual std::string DequoteText(std::string_view text) const;
    // The field-definition names joined by the separator, unquoted.
    virtual std::string BuildHeaderLine() const;

    // The full name of the table file: a FileName of "." and the path delimiter followed by a
    // name is taken from InitialDirectory, any other name from the working directory as it is
    // now. Requires: FileName is set.
    std::string GetFileName() const;
    // Opens the reader and reads the header line once per open; false when there is no file to
    // read (no name, no file, or LoadsFromFile off). Raises EInOutError when the file exists but
    // cannot be opened.
    bool OpenFileForReading();
    // Gives every column its position in a line, from HeaderRow.
    void ProcessCsvHeaderRow();
    // Appends line as a row with RowIndex rowIndex; empty lines are passed over.
    void AddLineAsRow(std::string_view line, int rowIndex);
    // Creates the missing folders of fileName's path when CreateFolderOnSave is set.
    void EnsureFileFolder(const std::string& fileName) const;

    // Where a data field stands in a line: its column descriptor (null when there is none) and
    // its position (-1 when unknown). Processes a pending header row first.
    struct FieldColumn {
        CsvColumn* Column = nullptr;
        int Position = -1;
    };
    FieldColumn ColumnForField(const TField& field);

    // The value of column's field in the stored row rowIndex, as a variant of the field's type;
    // Empty when the text does not convert.
    Variant ColumnValueAsVariant(CsvColumn* column, const TField& field, int rowIndex);
    // Compares one key column of two rows: numbers within 0.02 are equal (text that is no number
    // counts as -99999.9); other kinds compare as text, the sign of the result telling the order.
    int CompareRowField(const CsvColumn& column, const CsvRowView& left,
                        const CsvRowView& right) const;
    // Compares two rows by the key columns in order; 0 when all are equal or there are none.
    // Raises "InternalCompare. Nil value detected" for an absent row or column.
    int InternalCompare(const std::vector<CsvColumn*>& keyColumns, int keyColumnCount,
                        const CsvRowView* left, const CsvRowView* right,
                        const std::vector<bool>& ascending) const;
    // Index of the first row whose key equals the key of buffer; -1 when none does.
    int FindRowWithKey(TRecordBuffer buffer) const;

    // Raise ECsvDataSetError "<FileName>: <text>" and "<FileName>: <text> (<number>)".
    [[noreturn]] void RaiseError(std::string_view text) const;
    [[noreturn]] void RaiseErrorCode(std::string_view text, int number) const;

    TCsvRows& Rows() { return rows_; }
    const TCsvRows& Rows() const { return rows_; }
    const TCsvColumns& Columns() const { return columns_; }
    const std::vector<CsvColumn*>& KeyColumns() const { return keyColumns_; }
    int KeyColumnCount() const { return static_cast<int>(keyColumns_.size()); }
    const std::vector<bool>& KeyAscending() const { return keyAscending_; }
    const std::string& EmptyRowText() const { return emptyRowText_; }
    bool FieldDefsFromFile() const { return fieldDefsFromFile_; }

private:
    std::byte* Block(TRecordBuffer buffer) const { return reinterpret_cast<std::byte*>(buffer); }
    void LoadFile();
    void LoadRows();
    [[noreturn]] static void RaiseLineTooLong(std::string_view line);
    void ReleaseReader() noexcept;
    void ForgetDefinitionsFromFile();
    TGetResult MoveForFetch(TGetMode mode);
    void FillRecordBuffer(TRecordBuffer buffer);
    // A field's text as stored in a row, dequoted for a text field; owned keeps a changed text.
    std::string_view StoredFieldText(const TField& field, std::string_view text,
                                     std::string& owned) const;
    // Whether field has a value in text, and the value in buffer form when buffer is not null.
    bool ValueOfText(const TField& field, const CsvColumn& column, std::string_view text,
                     void* buffer) const;
    bool ConvertFieldValue(const TField& field, const CsvColumn& column, std::string_view text,
                           void* buffer) const;
    std::string FieldTextOf(const TField& field, const CsvColumn& column, const void* buffer);
    std::string_view RunGetFieldData(const TField& field, std::byte* record, int position,
                                     std::string_view text, std::string& replaced);
    bool ReadCalculatedField(const TField& field, const std::byte* record, void* buffer) const;
    void WriteCalculatedField(const TField& field, std::byte* record, const void* buffer) const;
    void WriteTableFile(const std::string& target);
    void BackupFile(const std::string& fileName, int count) const;

    // The row list exists before the separator is assigned in the constructor.
    TCsvRows rows_;
    TFormatSettings localeFormats_;
    std::string initialDirectory_;
    TCsvColumns columns_;
    std::unique_ptr<TCsvStream> reader_;
    std::vector<std::unique_ptr<std::byte[]>> recordBuffers_;

    std::string fileName_;
    std::string resolvedFileName_;
    std::string csvFieldDef_;
    std::string csvKeyDef_;
    std::string headerRow_;
    std::string fileHeaderLine_;
    std::string emptyRowText_;
    std::vector<CsvColumn*> keyColumns_;
    std::vector<bool> keyAscending_;
    int recordTextBudget_ = 0;
    int currentRowIndex_ = -1;
    int autoBackupCount_ = 0;
    int timeZoneCorrection_ = kDefaultTimeZoneCorrection;
    bool tableOpen_ = false;
    bool fileOpened_ = false;
    bool openingTable_ = false;
    bool fieldDefsFromFile_ = false;
    bool headerRowPending_ = false;
    bool createFolderOnSave_ = true;
    bool insertBlocked_ = false;
    bool postBlocked_ = false;
    bool readOnly_ = kDefaultReadOnly;
    bool changed_ = kDefaultChanged;
    bool csvUniqueKeys_ = kDefaultCsvUniqueKeys;
    bool hasHeaderRow_ = kDefaultHasHeaderRow;
    bool validateHeaderRow_ = kDefaultValidateHeaderRow;
    bool extendedHeaderInfo_ = kDefaultExtendedHeaderInfo;
    bool caseInsensitive_ = kDefaultCaseInsensitive;
    bool loadsFromFile_ = kDefaultLoadsFromFile;
    bool savesChanges_ = kDefaultSavesChanges;
    bool storeDefs_ = kDefaultStoreDefs;
    bool alwaysEnquoteStrings_ = kDefaultAlwaysEnquoteStrings;
    bool alwaysEnquoteFloats_ = kDefaultAlwaysEnquoteFloats;
    bool useSystemDecimalSeparator_ = kDefaultUseSystemDecimalSeparator;
    bool appendOnly_ = kDefaultAppendOnly;
};

// The table component with its configuration published: each property with its stored default
// (properties without one are always stored). FieldDefs is stored when FieldDefsAreStored();
// Active and AutoCalcFields are the framework's.
class TCsvDataSet : public TCustomCsvDataSet {
public:
    TCsvDataSet() = default;

    using TCustomCsvDataSet::FileName;
    using TCustomCsvDataSet::SetFileName;

    using TCustomCsvDataSet::kDefaultReadOnly;
    using TCustomCsvDataSet::ReadOnly;
    using TCustomCsvDataSet::SetReadOnly;

    using TCustomCsvDataSet::Changed;
    using TCustomCsvDataSet::kDefaultChanged;
    using TCustomCsvDataSet::SetChanged;

    using TCustomCsvDataSet::CsvFieldDef;
    using TCustomCsvDataSet::SetCsvFieldDef;

    using TCustomCsvDataSet::CsvKeyDef;
    using TCustomCsvDataSet::SetCsvKeyDef;

    using TCustomCsvDataSet::CsvUniqueKeys;
    using TCustomCsvDataSet::kDefaultCsvUniqueKeys;
    using TCustomCsvDataSet::SetCsvUniqueKeys;

    using TCustomCsvDataSet::HasHeaderRow;
    using TCustomCsvDataSet::kDefaultHasHeaderRow;
    using TCustomCsvDataSet::SetHasHeaderRow;

    using TCustomCsvDataSet::kDefaultValidateHeaderRow;
    using TCustomCsvDataSet::SetValidateHeaderRow;
    using TCustomCsvDataSet::ValidateHeaderRow;

    using TCustomCsvDataSet::ExtendedHeaderInfo;
    using TCustomCsvDataSet::kDefaultExtendedHeaderInfo;
    using TCustomCsvDataSet::SetExtendedHeaderInfo;

    using TCustomCsvDataSet::CaseInsensitive;
    using TCustomCsvDataSet::kDefaultCaseInsensitive;
    using TCustomCsvDataSet::SetCaseInsensitive;

    using TCustomCsvDataSet::kDefaultSeparator;
    using TCustomCsvDataSet::Separator;
    using TCustomCsvDataSet::SetSeparator;

    using TCustomCsvDataSet::kDefaultLoadsFromFile;
    using TCustomCsvDataSet::LoadsFromFile;
    using TCustomCsvDataSet::SetLoadsFromFile;

    using TCustomCsvDataSet::kDefaultSavesChanges;
    using TCustomCsvDataSet::SavesChanges;
    using TCustomCsvDataSet::SetSavesChanges;

    using TCustomCsvDataSet::AutoBackupCount;
    using TCustomCsvDataSet::SetAutoBackupCount;

    using TCustomCsvDataSet::kDefaultStoreDefs;
    using TCustomCsvDataSet::SetStoreDefs;
    using TCustomCsvDataSet::StoreDefs;

    using TCustomCsvDataSet::kDefaultTimeZoneCorrection;
    using TCustomCsvDataSet::SetTimeZoneCorrection;
    using TCustomCsvDataSet::TimeZoneCorrection;

    using TCustomCsvDataSet::EnquoteBackslash;
    using TCustomCsvDataSet::kDefaultEnquoteBackslash;
    using TCustomCsvDataSet::SetEnquoteBackslash;

    using TCustomCsvDataSet::HeaderRow;

    using TCustomCsvDataSet::AlwaysEnquoteStrings;
    using TCustomCsvDataSet::kDefaultAlwaysEnquoteStrings;
    using TCustomCsvDataSet::SetAlwaysEnquoteStrings;

    using TCustomCsvDataSet::AlwaysEnquoteFloats;
    using TCustomCsvDataSet::kDefaultAlwaysEnquoteFloats;
    using TCustomCsvDataSet::SetAlwaysEnquoteFloats;

    using TCustomCsvDataSet::kDefaultUseSystemDecimalSeparator;
    using TCustomCsvDataSet::SetUseSystemDecimalSeparator;
    using TCustomCsvDataSet::UseSystemDecimalSeparator;

    using TCustomCsvDataSet::AppendOnly;
    using TCustomCsvDataSet::kDefaultAppendOnly;
    using TCustomCsvDataSet::SetAppendOnly;

    using TCustomCsvDataSet::OnGetFieldData;
    using TCustomCsvDataSet::OnSetFieldData;
    using TCustomCsvDataSet::OnSpecialData;
};

}  // namespace tavisto
