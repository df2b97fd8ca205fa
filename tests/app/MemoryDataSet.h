#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "db/DataSet.h"
#include "platform/DateTime.h"

namespace tavisto::test {

// A read-only table in memory for the grid's tests: one text per cell, columns of text fields
// (ftString, 255) or date-time fields (ftDateTime, cells "yyyy-mm-dd hh:nn:ss"). Bookmarks are
// 4-byte row indexes, as in the CSV table. It counts the records it fetches.
class TMemoryDataSet : public TDataSet {
public:
    struct Column {
        std::string name;
        TFieldType type = ftString;
    };

    TMemoryDataSet(std::vector<Column> columns, std::vector<std::vector<std::string>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    ~TMemoryDataSet() override { CloseForDestruction(); }

    // The rows; a test may change them behind the framework's back.
    std::vector<std::vector<std::string>>& Rows() { return rows_; }
    int RecordCount() const override { return static_cast<int>(rows_.size()); }
    int Fetches() const { return fetches_; }
    // Whether a field of every record is read in one pass, as the CSV table reads it, or the
    // caller is left to walk the records (the default).
    void SetReadsInOnePass(bool onePass) { readsInOnePass_ = onePass; }
    int OnePassReads() const { return onePassReads_; }
    int CursorRow() const { return cursor_; }

protected:
    struct Buffer {
        int row = -1;
        TBookmarkFlag flag = bfCurrent;
    };

    void OpenTable() override {
        InternalInitFieldDefs();
        SetBookmarkSize(sizeof(int));
        cursor_ = -1;
        open_ = true;
    }
    void CloseTable() override { open_ = false; }
    bool IsTableOpen() const override { return open_; }
    void InternalInitFieldDefs() override {
        FieldDefs().Clear();
        for (const Column& column : columns_) {
            FieldDefs().Add(column.name, column.type, column.type == ftString ? 255 : 0);
        }
    }
    bool CanModifyTable() const override { return false; }

    TRecordBuffer NewRecordBuffer() override {
        buffers_.push_back(std::make_unique<Buffer>());
        return reinterpret_cast<TRecordBuffer>(buffers_.back().get());
    }
    void DisposeRecordBuffer(TRecordBuffer& buffer) override {
        std::erase_if(buffers_, [buffer](const std::unique_ptr<Buffer>& owned) {
            return reinterpret_cast<TRecordBuffer>(owned.get()) == buffer;
        });
        buffer = nullptr;
    }
    int RecordBufferSize() const override { return sizeof(Buffer); }
    void InitRecordBuffer(TRecordBuffer buffer) override { *AsBuffer(buffer) = Buffer{}; }
    void ClearCalcArea(TRecordBuffer) override {}

    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) override {
        const int count = RecordCount();
        if (count == 0) return grEOF;
        TGetResult result = grOK;
        if (mode == gmCurrent) {
            result = cursor_ < 0 || cursor_ >= count ? grError : grOK;
        } else if (mode == gmNext) {
            cursor_ = cursor_ == -2 || cursor_ + 1 >= count ? -2 : cursor_ + 1;
            result = cursor_ == -2 ? grEOF : grOK;
        } else if (cursor_ == -1 || cursor_ == 0) {
            result = grBOF;
        } else {
            cursor_ = cursor_ == -2 ? count - 1 : cursor_ - 1;
        }
        if (result == grOK) {
            ++fetches_;
            *AsBuffer(buffer) = Buffer{cursor_, bfCurrent};
        }
        if (result == grError && check) throw EDatabaseError("No records");
        return result;
    }
    void MoveBeforeFirst() override { cursor_ = -1; }
    void MoveAfterLast() override { cursor_ = -2; }
    void PositionAtRecord(TRecordBuffer buffer) override { cursor_ = AsBuffer(buffer)->row; }
    void PositionAtBookmark(const char* bookmark) override {
        std::memcpy(&cursor_, bookmark, sizeof(int));
    }
    void BookmarkOf(TRecordBuffer buffer, char* bookmark) const override {
        std::memcpy(bookmark, &AsBuffer(buffer)->row, sizeof(int));
    }
    void SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) override {
        std::memcpy(&AsBuffer(buffer)->row, bookmark, sizeof(int));
    }
    TBookmarkFlag BookmarkFlagOf(TRecordBuffer buffer) const override {
        return AsBuffer(buffer)->flag;
    }
    void SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) override {
        AsBuffer(buffer)->flag = flag;
    }
    bool IsValidBookmark(const char* bookmark) const override {
        if (bookmark == nullptr) return false;
        int row = 0;
        std::memcpy(&row, bookmark, sizeof(int));
        return row >= 0 && row < RecordCount();
    }
    int RecordNumber() const override {
        const TRecordBuffer buffer = ActiveBuffer();
        return buffer == nullptr ? -1 : AsBuffer(buffer)->row;
    }
    void SetRecordNumber(int recordNumber) override {
        if (recordNumber < 0 || recordNumber >= RecordCount()) return;
        cursor_ = recordNumber;
        Resync();
    }

    bool ReadFieldValue(const TField& field, void* buffer) override {
        const TRecordBuffer active = ActiveBuffer();
        if (active == nullptr) return false;
        const int row = AsBuffer(active)->row;
        if (row < 0 || row >= RecordCount()) throw EDatabaseError("No database record");
        return ValueInRow(field, row, buffer);
    }
    bool ReadFieldOfAllRows(const TField& field, const TFieldValueVisitor& visit) override {
        if (!readsInOnePass_) return false;
        ++onePassReads_;
        std::vector<char> value(static_cast<std::size_t>(field.DataSize()));
        for (int row = 0; row < RecordCount(); ++row) {
            const bool present = ValueInRow(field, row, value.data());
            char bookmark[sizeof row];
            std::memcpy(bookmark, &row, sizeof row);
            visit(bookmark, present ? value.data() : nullptr);
        }
        return true;
    }

    void SetFieldData(TField&, const void*) override { throw EDatabaseError("read-only"); }
    void InternalAddRecord(TRecordBuffer, bool) override { throw EDatabaseError("read-only"); }
    void PostRecord() override { throw EDatabaseError("read-only"); }
    void DeleteRecord() override { throw EDatabaseError("read-only"); }

private:
    static Buffer* AsBuffer(TRecordBuffer buffer) { return reinterpret_cast<Buffer*>(buffer); }

    bool ValueInRow(const TField& field, int row, void* buffer) const {
        const std::string& text = rows_[row][field.FieldNo() - 1];
        if (text.empty()) return false;
        if (buffer == nullptr) return true;
        if (field.DataType() == ftDateTime) {
            const double msecs = TimeStampToMSecs(DateTimeToTimeStamp(ParseDateTime(text)));
            std::memcpy(buffer, &msecs, sizeof msecs);
        } else {
            const std::size_t length = std::min<std::size_t>(text.size(), field.Size());
            std::memcpy(buffer, text.data(), length);
            static_cast<char*>(buffer)[length] = '\0';
        }
        return true;
    }

    // "yyyy-mm-dd hh:nn:ss"
    static TDateTime ParseDateTime(const std::string& text) {
        const auto part = [&text](std::size_t at, std::size_t length) {
            return std::stoi(text.substr(at, length));
        };
        return EncodeDate(part(0, 4), part(5, 2), part(8, 2)) +
               EncodeTime(part(11, 2), part(14, 2), part(17, 2), 0);
    }

    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    int cursor_ = -1;
    int fetches_ = 0;
    bool open_ = false;
    bool readsInOnePass_ = false;
    int onePassReads_ = 0;
};

}  // namespace tavisto::test
