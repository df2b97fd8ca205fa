#include "MemoryDataSet.h"

#include <algorithm>
#include <cstring>

#include "db/Utf16.h"
#include "platform/Locale.h"

namespace tavisto::testing {
namespace {

struct Header {
    std::int32_t Bookmark;
    std::uint8_t Flag;
};

const TFormatSettings kFileFormat{'.', ':'};

template <class T>
void Store(void* buffer, T value) {
    std::memcpy(buffer, &value, sizeof value);
}

template <class T>
T Load(const void* buffer) {
    T value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

// Converts a row text into the buffer form of type; false when it holds no value.
bool TextToBuffer(const std::string& text, const TField& field, void* buffer) {
    if (field.DataType() != ftString && text.empty()) return false;
    if (buffer == nullptr) return !text.empty();
    const auto size = static_cast<std::size_t>(field.Size());
    std::int32_t integer = 0;
    double number = 0;
    TDateTime value = 0;
    switch (field.DataType()) {
        case ftString: {
            const std::size_t length = std::min(text.size(), size);
            std::memcpy(buffer, text.data(), length);
            static_cast<char*>(buffer)[length] = '\0';
            return true;
        }
        case ftWideString: {
            const std::u16string wide = Utf8ToUtf16(text).substr(0, size);
            std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
            return true;
        }
        case ftInteger:
            if (!TryStrToInt(text, integer)) return false;
            Store(buffer, integer);
            return true;
        case ftSmallint:
            if (!TryStrToInt(text, integer)) return false;
            Store(buffer, static_cast<std::int16_t>(integer));
            return true;
        case ftBoolean:
            Store(buffer,
                  static_cast<std::int16_t>(TryStrToInt(text, integer) && integer != 0 ? -1 : 0));
            return true;
        case ftFloat:
        case ftCurrency:
            if (!TryStrToFloat(text, number, kFileFormat)) return false;
            Store(buffer, number);
            return true;
        default:
            if (!TryStrToDateTime(text.size() == 8 ? "1899-12-30 " + text : text, value,
                                  kFileFormat)) {
                return false;
            }
            const TTimeStamp stamp = DateTimeToTimeStamp(value);
            if (field.DataType() == ftDate) Store(buffer, stamp.Date);
            if (field.DataType() == ftTime) Store(buffer, stamp.Time);
            if (field.DataType() == ftDateTime) Store(buffer, TimeStampToMSecs(stamp));
            return true;
    }
}

std::string BufferToText(const TField& field, const void* buffer) {
    if (buffer == nullptr) return {};
    switch (field.DataType()) {
        case ftString:
            return static_cast<const char*>(buffer);
        case ftWideString:
            return Utf16ToUtf8(static_cast<const char16_t*>(buffer));
        case ftInteger:
            return std::to_string(Load<std::int32_t>(buffer));
        case ftSmallint:
        case ftBoolean:
            return std::to_string(Load<std::int16_t>(buffer));
        case ftFloat:
        case ftCurrency:
            return FloatToStr(Load<double>(buffer), kFileFormat);
        case ftDate:
            return FormatDateTime(
                "yyyy-mm-dd", TimeStampToDateTime({0, Load<std::int32_t>(buffer)}), kFileFormat);
        case ftTime:
            return FormatDateTime("hh:nn:ss",
                                  TimeStampToDateTime({Load<std::int32_t>(buffer), kDateDelta}),
                                  kFileFormat);
        default:
            return FormatDateTime("yyyy-mm-dd hh:nn:ss",
                                  TimeStampToDateTime(MSecsToTimeStamp(Load<double>(buffer))),
                                  kFileFormat);
    }
}

}  // namespace

TMemoryDataSet::TMemoryDataSet(std::vector<Column> columns, std::vector<Row> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

TMemoryDataSet::~TMemoryDataSet() {
    CloseForDestruction();
}

void TMemoryDataSet::OpenTable() {
    InternalInitFieldDefs();
    SetBookmarkSize(sizeof(std::int32_t));
    cursor_ = -1;
    tableOpen_ = true;
}

void TMemoryDataSet::CloseTable() {
    ++CloseTableCount;
    if (FailCloseTable) throw EDatabaseError("write-back failed");
    tableOpen_ = false;
    cursor_ = -1;
}

void TMemoryDataSet::InternalInitFieldDefs() {
    FieldDefs().Clear();
    for (const Column& column : columns_) FieldDefs().Add(column.Name, column.Type, column.Size);
}

TRecordBuffer TMemoryDataSet::NewRecordBuffer() {
    auto block = std::make_unique<char[]>(static_cast<std::size_t>(RecordBufferSize()));
    char* buffer = block.get();
    buffers_.emplace(buffer, std::move(block));
    return buffer;
}

void TMemoryDataSet::DisposeRecordBuffer(TRecordBuffer& buffer) {
    buffers_.erase(buffer);
    buffer = nullptr;
}

int TMemoryDataSet::RecordBufferSize() const {
    return static_cast<int>(sizeof(Header) + columns_.size() * kCellSize) + kCalcAreaSize;
}

void TMemoryDataSet::InitRecordBuffer(TRecordBuffer buffer) {
    std::memset(buffer, 0, static_cast<std::size_t>(RecordBufferSize()));
    Store(buffer, Header{-1, bfCurrent});
}

void TMemoryDataSet::ClearCalcArea(TRecordBuffer buffer) {
    std::memset(buffer + RecordBufferSize() - kCalcAreaSize, 0, kCalcAreaSize);
}

TGetResult TMemoryDataSet::FetchRecord(TRecordBuffer buffer, TGetMode mode, bool check) {
    ++FetchCount;
    if (FailFetches) throw EDatabaseError("fetch failed");
    const int count = RecordCount();
    if (count == 0) return grEOF;
    TGetResult result = grOK;
    if (mode == gmCurrent) {
        result = cursor_ < 0 ? grError : grOK;
    } else if (mode == gmNext) {
        if (cursor_ == -2 || ++cursor_ >= count) {
            cursor_ = -2;
            result = grEOF;
        }
    } else if (cursor_ == -2) {
        cursor_ = count - 1;
    } else if (cursor_ > 0) {
        --cursor_;
    } else {
        result = grBOF;
    }
    if (result == grOK) {
        if (cursor_ >= count) throw EDatabaseError("No database record");
        CopyRowIntoBuffer(rows_[static_cast<std::size_t>(cursor_)], buffer);
        Store(buffer, Header{cursor_, bfCurrent});
        ClearCalcArea(buffer);
        ComputeCalcFields(buffer);
    }
    if (result == grError && check) throw EDatabaseError("No records");
    return result;
}

void TMemoryDataSet::PositionAtRecord(TRecordBuffer buffer) {
    cursor_ = Load<Header>(buffer).Bookmark;
}

void TMemoryDataSet::PositionAtBookmark(const char* bookmark) {
    cursor_ = Load<std::int32_t>(bookmark);
}

void TMemoryDataSet::BookmarkOf(TRecordBuffer buffer, char* bookmark) const {
    Store(bookmark, Load<Header>(buffer).Bookmark);
}

void TMemoryDataSet::SetBookmarkOf(TRecordBuffer buffer, const char* bookmark) {
    Header header = Load<Header>(buffer);
    header.Bookmark = Load<std::int32_t>(bookmark);
    Store(buffer, header);
}

TBookmarkFlag TMemoryDataSet::BookmarkFlagOf(TRecordBuffer buffer) const {
    return static_cast<TBookmarkFlag>(Load<Header>(buffer).Flag);
}

void TMemoryDataSet::SetBookmarkFlagOf(TRecordBuffer buffer, TBookmarkFlag flag) {
    Header header = Load<Header>(buffer);
    header.Flag = flag;
    Store(buffer, header);
}

bool TMemoryDataSet::IsValidBookmark(const char* bookmark) const {
    if (bookmark == nullptr) return false;
    const std::int32_t row = Load<std::int32_t>(bookmark);
    return row >= 0 && row < RecordCount();
}

int TMemoryDataSet::CompareBookmarkPositions(const char* left, const char* right) const {
    const auto value = [](const char* b) { return b ? Load<std::int32_t>(b) : -2147483647; };
    return value(left) < value(right) ? -1 : value(left) > value(right) ? 1 : 0;
}

int TMemoryDataSet::RecordNumber() const {
    CheckActive();
    const TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    return buffer != nullptr ? Load<Header>(buffer).Bookmark : -1;
}

void TMemoryDataSet::SetRecordNumber(int recordNumber) {
    if (recordNumber < 0 || recordNumber >= RecordCount()) return;
    cursor_ = recordNumber;
    Resync();
}

bool TMemoryDataSet::LocateRow(const std::string& keyFields, const Variant& keyValues,
                               TLocateOptions options) {
    const TField& field = FieldByName(keyFields);
    const auto column = static_cast<std::size_t>(field.FieldNo() - 1);
    const std::string key = keyValues.AsString();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        std::string text = rows_[row][column];
        std::string wanted = key;
        if (options.CaseInsensitive) {
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (char& c : wanted)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (options.PartialKey ? text.starts_with(wanted) : text == wanted) {
            SetRecordNumber(static_cast<int>(row));
            return true;
        }
    }
    return false;
}

TRecordBuffer TMemoryDataSet::RecordBufferForState() const {
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

bool TMemoryDataSet::ReadFieldValue(const TField& field, void* buffer) {
    const TRecordBuffer record = RecordBufferForState();
    if (record == nullptr) return false;
    if (field.Calculated()) {
        const char* slot = record + RecordBufferSize() - kCalcAreaSize + field.Offset();
        if (slot[0] == 0) return false;
        if (buffer != nullptr)
            std::memcpy(buffer, slot + 1, static_cast<std::size_t>(field.DataSize()));
        return true;
    }
    return TextToBuffer(Cell(record, field.FieldNo() - 1), field, buffer);
}

void TMemoryDataSet::SetFieldData(TField& field, const void* buffer) {
    const TRecordBuffer record = RecordBufferForState();
    if (field.Calculated()) {
        char* slot = record + RecordBufferSize() - kCalcAreaSize + field.Offset();
        slot[0] = buffer != nullptr ? 1 : 0;
        if (buffer != nullptr)
            std::memcpy(slot + 1, buffer, static_cast<std::size_t>(field.DataSize()));
        return;
    }
    const std::string text = BufferToText(field, buffer).substr(0, kCellSize - 1);
    char* cell = Cell(record, field.FieldNo() - 1);
    std::memcpy(cell, text.c_str(), text.size() + 1);
    NotifyFieldChanged(field);
}

void TMemoryDataSet::InternalAddRecord(TRecordBuffer buffer, bool append) {
    if (append) {
        rows_.push_back(RowOfBuffer(buffer));
        cursor_ = -2;
        return;
    }
    cursor_ = InsertPosition();
    rows_.insert(rows_.begin() + cursor_, RowOfBuffer(buffer));
}

void TMemoryDataSet::PostRecord() {
    if (FailPosts) throw EDatabaseError("disk full");
    if (State() == dsEdit) {
        rows_.at(static_cast<std::size_t>(cursor_)) = RowOfBuffer(ActiveBuffer());
        return;
    }
    cursor_ = InsertPosition();
    rows_.insert(rows_.begin() + cursor_, RowOfBuffer(ActiveBuffer()));
}

void TMemoryDataSet::DeleteRecord() {
    if (FailDeletes > 0) {
        --FailDeletes;
        throw EDatabaseError("record is locked");
    }
    if (cursor_ >= 0 && cursor_ < RecordCount()) rows_.erase(rows_.begin() + cursor_);
    if (RecordCount() <= cursor_) cursor_ = RecordCount() - 1;
}

char* TMemoryDataSet::Cell(TRecordBuffer buffer, int column) const {
    return buffer + sizeof(Header) + static_cast<std::size_t>(column) * kCellSize;
}

Row TMemoryDataSet::RowOfBuffer(TRecordBuffer buffer) const {
    Row row;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        row.emplace_back(Cell(buffer, static_cast<int>(i)));
    return row;
}

void TMemoryDataSet::CopyRowIntoBuffer(const Row& row, TRecordBuffer buffer) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const std::string text = i < row.size() ? row[i].substr(0, kCellSize - 1) : std::string();
        std::memcpy(Cell(buffer, static_cast<int>(i)), text.c_str(), text.size() + 1);
    }
}

int TMemoryDataSet::InsertPosition() const {
    if (cursor_ == -1) return 0;
    if (cursor_ == -2) return RecordCount();
    return cursor_;
}

}  // namespace tavisto::testing
