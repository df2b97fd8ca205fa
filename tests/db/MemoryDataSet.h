#pragma once

// A small engine for driving the framework in tests: a table of text rows held in memory, one
// text per column, with the cursor and bookmarks of a row-index engine (-1 before the first row,
// -2 after the last; bookmarks are 4-byte row indexes). It counts what the framework asks of it.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/DataSet.h"

namespace tavisto::testing {

using Row = std::vector<std::string>;

struct Column {
    std::string Name;
    TFieldType Type = ftString;
    int Size = 0;
};

class TMemoryDataSet : public TDataSet {
public:
    // Longest text a record buffer keeps per column.
    static constexpr int kCellSize = 64;
    static constexpr int kCalcAreaSize = 256;

    explicit TMemoryDataSet(std::vector<Column> columns, std::vector<Row> rows = {});
    ~TMemoryDataSet() override;

    std::vector<Row>& Rows() { return rows_; }
    // The engine's cursor: a row index, -1 before the first row, -2 after the last.
    int Cursor() const { return cursor_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    int RecordCount() const override { return static_cast<int>(rows_.size()); }
    // Record buffers allocated and not yet released.
    int LiveBuffers() const { return static_cast<int>(buffers_.size()); }

    int FetchCount = 0;
    int FieldDefsChangedCount = 0;
    int CloseTableCount = 0;
    bool FailCloseTable = false;
    bool FailFetches = false;
    int FailDeletes = 0;
    bool FailPosts = false;

protected:
    void OpenTable() override;
    void CloseTable() override;
    bool IsTableOpen() const override { return tableOpen_; }
    void InternalInitFieldDefs() override;
    void FieldDefsChanged(TFieldDefs&) override { ++FieldDefsChangedCount; }
    bool CanModifyTable() const override { return !readOnly_; }

    TRecordBuffer NewRecordBuffer() override;
    void DisposeRecordBuffer(TRecordBuffer& buffer) override;
    int RecordBufferSize() const override;
    void InitRecordBuffer(TRecordBuffer buffer) override;
    void ClearCalcArea(TRecordBuffer buffer) override;

    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) override;
    void MoveBeforeFirst() override { cursor_ = -1; }
    void MoveAfterLast() override { cursor_ = -2; }
    void PositionAtRecord(TRecordBuffer buffer) override;
    void PositionAtBookmark(const char* bookmark) override;
    void BookmarkOf(TRecordBuffer buffer, char* bookmark) const override;
    void SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) override;
    TBookmarkFlag BookmarkFlagOf(TRecordBuffer buffer) const override;
    void SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) override;
    bool IsValidBookmark(const char* bookmark) const override;
    int CompareBookmarkPositions(const char* left, const char* right) const override;
    int RecordNumber() const override;
    void SetRecordNumber(int recordNumber) override;
    bool LocateRow(const std::string& keyFields, const Variant& keyValues,
                   TLocateOptions options) override;

    bool ReadFieldValue(const TField& field, void* buffer) override;
    void SetFieldData(TField& field, const void* buffer) override;

    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void PostRecord() override;
    void DeleteRecord() override;

private:
    TRecordBuffer RecordBufferForState() const;
    char* Cell(TRecordBuffer buffer, int column) const;
    Row RowOfBuffer(TRecordBuffer buffer) const;
    void CopyRowIntoBuffer(const Row& row, TRecordBuffer buffer) const;
    int InsertPosition() const;

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::map<char*, std::unique_ptr<char[]>> buffers_;
    int cursor_ = -1;
    bool tableOpen_ = false;
    bool readOnly_ = false;
};

}  // namespace tavisto::testing
