// TCustomCsvDataSet: record buffers, fetching rows into them, the cursor, bookmarks and the record
// number. Every step here takes constant time; a fetch expands one stored row into a buffer.

#include <algorithm>
#include <cstring>
#include <limits>

#include "csv/CsvData.h"
#include "csv/CsvErrors.h"

namespace tavisto {
namespace {

// An absent bookmark sorts before every row.
constexpr std::int32_t kAbsentBookmark = -std::numeric_limits<std::int32_t>::max();

std::int32_t BookmarkValue(const char* bookmark) {
    std::int32_t value;
    std::memcpy(&value, bookmark, sizeof value);
    return value;
}

}  // namespace

TRecordBuffer TCustomCsvDataSet::NewRecordBuffer() {
    recordBuffers_.push_back(rows_.NewRow());
    return reinterpret_cast<TRecordBuffer>(recordBuffers_.back().get());
}

void TCustomCsvDataSet::DisposeRecordBuffer(TRecordBuffer& buffer) {
    if (buffer == nullptr) return;
    const auto owned =
        std::find_if(recordBuffers_.begin(), recordBuffers_.end(),
                     [&](const auto& block) { return block.get() == Block(buffer); });
    TAVISTO_ASSERT(owned != recordBuffers_.end(), "CsvData",
                   "DisposeRecordBuffer - not a record buffer of this table");
    recordBuffers_.erase(owned);
    buffer = nullptr;
}

int TCustomCsvDataSet::RecordBufferSize() const {
    return static_cast<int>(TCsvRows::RowSize());
}

void TCustomCsvDataSet::InitRecordBuffer(TRecordBuffer buffer) {
    rows_.InitRow(Block(buffer));
    BlankRow(Block(buffer), columns_.Count(), bfEOF);
}

void TCustomCsvDataSet::ClearCalcArea(TRecordBuffer buffer) {
    std::memset(buffer + CalcAreaOffset(Block(buffer)), 0, kCalcAreaSize);
}

TGetResult TCustomCsvDataSet::FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) {
    if (rows_.Count() == 0) return grEOF;
    const TGetResult result = MoveForFetch(mode);
    if (result == grOK) {
        try {
            FillRecordBuffer(buffer);
        } catch (const ECsvDataSetError&) {
            throw;
        } catch (const std::exception& error) {
            RaiseError("Problem reading row " + std::to_string(currentRowIndex_) + " " +
                       error.what());
        }
    }
    if (result == grError && check) RaiseError("No records");
    return result;
}

TGetResult TCustomCsvDataSet::MoveForFetch(TGetMode mode) {
    switch (mode) {
        case gmCurrent:
            return currentRowIndex_ < 0 ? grError : grOK;
        case gmNext:
            if (currentRowIndex_ == -2) return grEOF;
            if (++currentRowIndex_ >= rows_.Count()) {
                currentRowIndex_ = -2;
                return grEOF;
            }
            return grOK;
        case gmPrior:
            if (currentRowIndex_ == -2) {
                currentRowIndex_ = rows_.Count() - 1;
                return grOK;
            }
            if (currentRowIndex_ > 0) {
                --currentRowIndex_;
                return grOK;
            }
            return grBOF;
    }
    RaiseError("Invalid option to GetMode");
}

void TCustomCsvDataSet::FillRecordBuffer(TRecordBuffer buffer) {
    std::byte* block = Block(buffer);
    rows_.FetchRow(currentRowIndex_, block);
    CsvRowHeader& header = RowHeader(block);
    header.BookmarkFlag = bfCurrent;
    header.Bookmark = currentRowIndex_;
    header.EventGuard = 0;
    ClearCalcArea(buffer);
    ComputeCalcFields(buffer);
}

void TCustomCsvDataSet::PositionAtRecord(TRecordBuffer buffer) {
    currentRowIndex_ = RowHeader(Block(buffer)).Bookmark;
}

void TCustomCsvDataSet::PositionAtBookmark(const char* bookmark) {
    currentRowIndex_ = BookmarkValue(bookmark);
}

void TCustomCsvDataSet::BookmarkOf(TRecordBuffer buffer, char* bookmark) const {
    const std::int32_t value = RowHeader(Block(buffer)).Bookmark;
    std::memcpy(bookmark, &value, sizeof value);
}

void TCustomCsvDataSet::SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) {
    RowHeader(Block(buffer)).Bookmark = BookmarkValue(bookmark);
}

TBookmarkFlag TCustomCsvDataSet::BookmarkFlagOf(TRecordBuffer buffer) const {
    return static_cast<TBookmarkFlag>(RowHeader(Block(buffer)).BookmarkFlag);
}

void TCustomCsvDataSet::SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) {
    RowHeader(Block(buffer)).BookmarkFlag = flag;
}

bool TCustomCsvDataSet::IsValidBookmark(const char* bookmark) const {
    if (bookmark == nullptr) return false;
    const std::int32_t row = BookmarkValue(bookmark);
    return row >= 0 && row < rows_.Count();
}

int TCustomCsvDataSet::CompareBookmarkPositions(const char* left, const char* right) const {
    const std::int32_t a = left == nullptr ? kAbsentBookmark : BookmarkValue(left);
    const std::int32_t b = right == nullptr ? kAbsentBookmark : BookmarkValue(right);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int TCustomCsvDataSet::RecordCount() const {
    return rows_.Count();
}

int TCustomCsvDataSet::RecordNumber() const {
    CheckActive();
    if (!rows_.RowsInitialised()) return 0;
    const TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    // An empty table has no active record.
    if (buffer == nullptr) return -1;
    return RowHeader(Block(buffer)).Bookmark;
}

void TCustomCsvDataSet::SetRecordNumber(int recordNumber) {
    if (recordNumber < 0 || recordNumber > rows_.Count() - 1) return;
    currentRowIndex_ = recordNumber;
    Resync();
}

TRecordBuffer TCustomCsvDataSet::RecordBufferForState() const {
    switch (State()) {
        case dsBrowse:
            return IsEmpty() ? nullptr : ActiveBuffer();
        case dsEdit:
        case dsInsert:
            return ActiveBuffer();
        case dsCalcFields:
            return CalcBuffer();
        default:
            return nullptr;
    }
}

}  // namespace tavisto
