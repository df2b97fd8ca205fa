#include "csv/CsvRows.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "csv/CsvErrors.h"
#include "platform/Exceptions.h"

namespace tavisto {

namespace {

std::size_t ArenaSize(int columnCount, std::size_t textLength) {
    const std::size_t size = CsvStoredRow::SizeFor(columnCount, textLength);
    return (size + CsvRowArena::kAlignment - 1) / CsvRowArena::kAlignment * CsvRowArena::kAlignment;
}

}  // namespace

void TCsvRows::InitRow(std::byte* block) {
    CsvRowHeader& header = RowHeader(block);
    header.RowMarker = kRowMarker;
    header.WordFieldsOffset = static_cast<std::int32_t>(kWordFieldsOffset);
    header.TextCapacity = kRowTextCapacity;
    header.BlockSize = static_cast<std::int32_t>(kCsvRowSize);
    header.Separator[0] = separator_;
    header.Separator[1] = '\0';
    std::memcpy(block + kWordFieldsOffset, &kWordFieldsMarker, sizeof kWordFieldsMarker);
    rowsInitialised_ = true;
}

std::unique_ptr<std::byte[]> TCsvRows::NewRow() {
    static_assert(kRowTextCapacity >= 10);
    auto block = std::make_unique<std::byte[]>(kCsvRowSize);
    InitRow(block.get());
    return block;
}

int TCsvRows::AddLine(std::string_view line, int rowIndex, bool backslashEscapes) {
    return AddCutLine(line, SplitLineIntoColumns(line, separator_, true, backslashEscapes),
                      rowIndex);
}

int TCsvRows::AddCutLine(std::string_view line, const ColumnStarts& starts, int rowIndex) {
    const CsvRowArena::Ref ref = arena_.Allocate(ArenaSize(starts.Count, line.size()));
    const auto* slots = reinterpret_cast<const std::byte*>(starts.Starts.data());
    CsvStoredRow::Create(arena_.At(ref), line, slots, starts.Count, rowIndex, false);
    rows_.push_back(ref);
    return Count() - 1;
}

CsvRowArena::Ref TCsvRows::StoreCopy(const std::byte* block) {
    const CsvRowView view = ViewOfRow(block);
    const CsvRowHeader& header = RowHeader(block);
    const CsvRowArena::Ref ref = arena_.Allocate(ArenaSize(view.ColumnCount, view.Text.size()));
    CsvStoredRow::Create(arena_.At(ref), view.Text, view.Slots, view.ColumnCount, header.RowIndex,
                         header.RowChanged != 0);
    return ref;
}

int TCsvRows::AddRow(const std::byte* block) {
    rows_.push_back(StoreCopy(block));
    return Count() - 1;
}

void TCsvRows::InsertRow(int index, const std::byte* block) {
    CheckListIndex(index, Count());
    rows_.insert(rows_.begin() + index, StoreCopy(block));
}

void TCsvRows::ReplaceRow(int index, const std::byte* block) {
    const CsvRowView old = GetRow(index).View();
    const CsvRowView view = ViewOfRow(block);
    const CsvRowHeader& header = RowHeader(block);
    // A row that does not grow is rewritten where it is, so repeated posts do not pile up.
    const std::size_t size = ArenaSize(view.ColumnCount, view.Text.size());
    if (size > ArenaSize(old.ColumnCount, old.Text.size())) rows_[index] = arena_.Allocate(size);
    CsvStoredRow::Create(arena_.At(rows_[index]), view.Text, view.Slots, view.ColumnCount,
                         header.RowIndex, header.RowChanged != 0);
}

void TCsvRows::FetchRow(int index, std::byte* block) const {
    const CsvRowView row = GetRow(index).View();
    std::byte* slots = WordFieldsArea(block);
    // The row's starts, then every further slot unset (0xFFFF is two 0xFF bytes).
    const auto present =
        static_cast<std::size_t>(std::clamp(row.SlotCount, 0, kLastWordFieldSlot + 1));
    if (present != 0) std::memcpy(slots, row.Slots, 2 * present);
    std::memset(slots + 2 * present, 0xFF, 2 * (kLastWordFieldSlot + 1 - present));
    char* text = reinterpret_cast<char*>(block + kRowTextOffset);
    std::memcpy(text, row.Text.data(), row.Text.size());
    text[row.Text.size()] = '\0';
    CsvRowHeader& header = RowHeader(block);
    header.TextLength = static_cast<std::int32_t>(row.Text.size());
    header.ColumnCount = row.ColumnCount;
    header.RowIndex = RowAt(index).RowIndex;
    header.RowChanged = RowAt(index).RowChanged;
}

const CsvStoredRow& TCsvRows::GetRow(int index) const {
    if (index < 0 || index >= Count()) throw ECsvDataSetError("No database record");
    return RowAt(index);
}

const CsvStoredRow& TCsvRows::RowAt(int index) const {
    return *reinterpret_cast<const CsvStoredRow*>(arena_.At(rows_[index]));
}

std::string_view TCsvRows::ColumnText(int index, int k) const {
    if (k < 0 || k > kLastWordFieldSlot) return {};
    return ColumnTextOf(GetRow(index).View(), k);
}

int TCsvRows::IndexOfRow(const CsvStoredRow* row) const {
    for (int i = 0; i < Count(); ++i) {
        if (&RowAt(i) == row) return i;
    }
    return -1;
}

void TCsvRows::DeleteRow(int index) {
    CheckListIndex(index, Count() - 1);
    rows_.erase(rows_.begin() + index);
}

void TCsvRows::ClearRows() {
    rows_ = {};
    arena_.Clear();
}

void TCsvRows::CheckListIndex(int index, int last) const {
    if (index < 0 || index > last) {
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
}

int TCsvRows::UserTagOf(int rowIndex) const {
    if (rowIndex < 0 || rowIndex >= static_cast<int>(userTags_.size())) return 0;
    return userTags_[rowIndex];
}

void* TCsvRows::UserDataOf(int rowIndex) const {
    if (rowIndex < 0 || rowIndex >= static_cast<int>(userData_.size())) return nullptr;
    return userData_[rowIndex];
}

void TCsvRows::SetUserTagOf(int rowIndex, int tag) {
    GrowUserLists(rowIndex);
    userTags_[rowIndex] = tag;
}

void TCsvRows::SetUserDataOf(int rowIndex, void* data) {
    GrowUserLists(rowIndex);
    userData_[rowIndex] = data;
}

void TCsvRows::GrowUserLists(int rowIndex) {
    CheckListIndex(rowIndex, rowIndex);
    const auto length = static_cast<std::size_t>(rowIndex) + 1;
    if (userTags_.size() < length) {
        userTags_.resize(length, 0);
        userData_.resize(length, nullptr);
    }
}

std::size_t TCsvRows::BytesHeld() const {
    return arena_.BytesReserved() + rows_.capacity() * sizeof(CsvRowArena::Ref);
}

}  // namespace tavisto
