#include "csv/CsvRow.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "csv/CsvErrors.h"
#include "platform/Exceptions.h"

namespace tavisto {

namespace {

constexpr char kUnit[] = "CsvData";
constexpr int kLastWritableColumn = kMaxColumns - 1;
constexpr int kBlankRowDefaultColumns = 10;

using Slots = std::array<std::uint16_t, kLastWordFieldSlot + 1>;

std::uint32_t LoadMarker(const std::byte* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

char* TextArea(std::byte* block) {
    return reinterpret_cast<char*>(block + kRowTextOffset);
}

std::size_t TextLengthOf(const CsvRowHeader& header) {
    return static_cast<std::size_t>(std::clamp(header.TextLength, 0, kRowTextCapacity));
}

int ColumnCountOf(const CsvRowHeader& header) {
    return std::clamp(header.ColumnCount, 0, kMaxColumns);
}

void StoreText(std::byte* block, std::string_view text) {
    std::memcpy(TextArea(block), text.data(), text.size());
    TextArea(block)[text.size()] = '\0';
    RowHeader(block).TextLength = static_cast<std::int32_t>(text.size());
}

Slots LoadSlots(const std::byte* slots) {
    Slots result;
    for (int k = 0; k <= kLastWordFieldSlot; ++k) result[k] = LoadSlot(slots, k);
    return result;
}

void StoreSlots(std::byte* slots, const Slots& values) {
    for (int k = 0; k <= kLastWordFieldSlot; ++k) StoreSlot(slots, k, values[k]);
}

int PositionOf(std::uint16_t slot) {
    return slot & kWordFieldPositionMask;
}

[[noreturn]] void RaiseTooLong(std::string_view text) {
    throw ECsvDataSetError("CSV string is too long: " + std::string(text.substr(0, 40)) + "...");
}

// The row as ReplaceColumnText rebuilds it before anything is written back to the block.
struct RowDraft {
    std::string Text;
    Slots Starts;
    int ColumnCount;
};

// Opens every column from the draft's ColumnCount up to k at the end of the text.
void AppendColumnsUpTo(RowDraft& row, int k, char separator) {
    if (row.ColumnCount == 0) {
        row.Starts[0] = 0;
        row.ColumnCount = 1;
    }
    while (row.ColumnCount <= k) {
        row.Text += separator;
        row.Starts[row.ColumnCount++] = static_cast<std::uint16_t>(row.Text.size());
    }
    row.Starts[row.ColumnCount] = kUnsetWordField;
}

void ShiftStartsAfter(RowDraft& row, int k, int shift) {
    for (int i = k + 1; i <= kLastWordFieldSlot && row.Starts[i] != kUnsetWordField; ++i) {
        const int moved = std::clamp(PositionOf(row.Starts[i]) + shift, 0, kRowTextCapacity + 1);
        row.Starts[i] = static_cast<std::uint16_t>((row.Starts[i] & kColumnChangedBit) | moved);
    }
}

void ReplaceInDraft(RowDraft& row, int k, std::string_view value, char separator) {
    if (k >= row.ColumnCount) AppendColumnsUpTo(row, k, separator);
    if (row.Starts[k] == kUnsetWordField) {
        row.Text += separator;
        row.Starts[k] = static_cast<std::uint16_t>(row.Text.size());
    }
    const std::size_t start = std::min<std::size_t>(PositionOf(row.Starts[k]), row.Text.size());
    const bool isLast = k + 1 == row.ColumnCount || row.Starts[k + 1] == kUnsetWordField;
    std::size_t end = row.Text.size();
    if (!isLast) {
        end = std::clamp<std::size_t>(std::max(PositionOf(row.Starts[k + 1]) - 1, 0), start, end);
    }
    row.Text = row.Text.substr(0, start) + std::string(value) + row.Text.substr(end);
    if (isLast) {
        row.Starts[k + 1] = kUnsetWordField;
    } else {
        ShiftStartsAfter(row, k, static_cast<int>(value.size()) - static_cast<int>(end - start));
    }
}

}  // namespace

CsvRowHeader& RowHeader(std::byte* block) {
    TAVISTO_ASSERT(block != nullptr, kUnit, "CsvRow - no row block");
    return *reinterpret_cast<CsvRowHeader*>(block);
}

const CsvRowHeader& RowHeader(const std::byte* block) {
    TAVISTO_ASSERT(block != nullptr, kUnit, "CsvRow - no row block");
    return *reinterpret_cast<const CsvRowHeader*>(block);
}

const std::byte* WordFieldsArea(const std::byte* block) {
    const CsvRowHeader& header = RowHeader(block);
    if (header.RowMarker != kRowMarker) {
        throw ECsvDataSetError("Internal error. Memory corruption suspected in CsvRow memory area");
    }
    TAVISTO_ASSERT(header.WordFieldsOffset > 0, kUnit, "CsvRow - WordFields offset not positive");
    // Only the one offset of the layout is trusted: a damaged one must not lead the read astray.
    if (header.WordFieldsOffset != static_cast<std::int32_t>(kWordFieldsOffset) ||
        LoadMarker(block + kWordFieldsOffset) != kWordFieldsMarker) {
        throw ECsvDataSetError("Memory Corruption Suspected in WordFields area of CsvRow memory");
    }
    return block + kWordFieldsOffset + sizeof kWordFieldsMarker;
}

std::byte* WordFieldsArea(std::byte* block) {
    return const_cast<std::byte*>(WordFieldsArea(static_cast<const std::byte*>(block)));
}

std::size_t CalcAreaOffset(const std::byte* block) {
    const CsvRowHeader& header = RowHeader(block);
    TAVISTO_ASSERT(header.RowMarker == kRowMarker, kUnit, "CalcAreaOffset - not a CsvRow block");
    TAVISTO_ASSERT(header.BlockSize > 0 && header.WordFieldsOffset > 0, kUnit,
                   "CalcAreaOffset - block size or WordFields offset not positive");
    const auto offset = static_cast<std::size_t>(header.WordFieldsOffset) + kWordFieldsAreaSize;
    TAVISTO_ASSERT(offset < static_cast<std::size_t>(header.BlockSize) &&
                       offset + kCalcAreaSize <= kCsvRowSize,
                   kUnit, "CalcAreaOffset - calculated-field area outside the block");
    return offset;
}

CsvRowView ViewOfRow(const std::byte* block) {
    const std::byte* slots = WordFieldsArea(block);
    const CsvRowHeader& header = RowHeader(block);
    const std::string_view text(reinterpret_cast<const char*>(block + kRowTextOffset),
                                TextLengthOf(header));
    return {text, slots, kLastWordFieldSlot + 1, ColumnCountOf(header)};
}

int WordFieldAt(const std::byte* block, int k) {
    if (block == nullptr || k < 0 || k > kLastWordFieldSlot) return -1;
    return WordFieldOf(ViewOfRow(block), k);
}

void SetWordFieldAt(std::byte* block, int k, int value) {
    if (block == nullptr || k < 0 || k > kLastWordFieldSlot || value < 0) return;
    std::byte* slots = WordFieldsArea(block);
    if (value == kUnsetWordField) {
        StoreSlot(slots, k, kUnsetWordField);
        return;
    }
    const std::uint16_t old = LoadSlot(slots, k);
    const auto position = static_cast<std::uint16_t>(value & kWordFieldPositionMask);
    const std::uint16_t mark = old == kUnsetWordField ? 0 : (old & kColumnChangedBit);
    StoreSlot(slots, k, static_cast<std::uint16_t>(mark | position));
}

void MarkColumnChanged(std::byte* block, int k) {
    if (block == nullptr || k < 0 || k > kLastWritableColumn) return;
    std::byte* slots = WordFieldsArea(block);
    RowHeader(block).RowChanged = 1;
    const std::uint16_t slot = LoadSlot(slots, k);
    if (slot != kUnsetWordField) StoreSlot(slots, k, slot | kColumnChangedBit);
}

std::string GetCsvRowItemData(const std::byte* block, int k) {
    if (k < 0 || k > kLastWordFieldSlot) return "<ERROR>";
    return std::string(ColumnTextOf(ViewOfRow(block), k));
}

void ReplaceColumnText(std::byte* block, int k, std::string_view value) {
    const CsvRowHeader& header = RowHeader(block);
    TAVISTO_ASSERT(header.RowMarker == kRowMarker, kUnit, "ReplaceColumnText - not a CsvRow block");
    TAVISTO_ASSERT(header.TextCapacity > 0, kUnit, "ReplaceColumnText - no text capacity");
    TAVISTO_ASSERT(header.Separator[0] != '\0', kUnit, "ReplaceColumnText - no separator");
    if (k < 0 || k > kLastWritableColumn) return;
    std::byte* slots = WordFieldsArea(block);
    RowDraft row{std::string(RowText(block)), LoadSlots(slots), ColumnCountOf(header)};
    ReplaceInDraft(row, k, value, header.Separator[0]);
    if (row.Text.size() > static_cast<std::size_t>(kRowTextCapacity)) RaiseTooLong(row.Text);
    StoreText(block, row.Text);
    StoreSlots(slots, row.Starts);
    RowHeader(block).ColumnCount = row.ColumnCount;
}

void BlankRow(std::byte* block, int columnCount, std::uint8_t eofBookmarkFlag) {
    std::byte* slots = WordFieldsArea(block);
    CsvRowHeader& header = RowHeader(block);
    TAVISTO_ASSERT(header.Separator[0] != '\0', kUnit, "BlankRow - no separator");
    const int columns =
        columnCount <= 0 ? kBlankRowDefaultColumns : std::min(columnCount, kMaxColumns);
    header.RowIndex = -1;
    header.RowChanged = 0;
    header.BookmarkFlag = eofBookmarkFlag;
    header.Bookmark = -1;
    StoreText(block, std::string(static_cast<std::size_t>(columns - 1), header.Separator[0]));
    Slots starts;
    starts.fill(kUnsetWordField);
    for (int k = 0; k < columns; ++k) starts[k] = static_cast<std::uint16_t>(k);
    StoreSlots(slots, starts);
    header.ColumnCount = columns;
}

std::string_view RowText(const std::byte* block) {
    return ViewOfRow(block).Text;
}

void CutLineIntoRow(std::byte* block, std::string_view line, char separator, bool quoteAware,
                    bool backslashEscapes) {
    TAVISTO_ASSERT(block != nullptr && RowHeader(block).RowMarker == kRowMarker, kUnit,
                   "Internal data corruption in CsvRow data storage area");
    const ColumnStarts starts = SplitLineIntoColumns(line, separator, quoteAware, backslashEscapes);
    std::byte* slots = WordFieldsArea(block);
    for (int k = 0; k < starts.Count; ++k) StoreSlot(slots, k, starts.Starts[k]);
    StoreSlot(slots, starts.Count, kUnsetWordField);
    StoreText(block, line);
    RowHeader(block).ColumnCount = starts.Count;
}

}  // namespace tavisto
