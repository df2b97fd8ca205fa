#include "csv/CsvStoredRow.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "csv/CsvErrors.h"
#include "csv/CsvRow.h"

namespace tavisto {

CsvStoredRow* CsvStoredRow::Create(std::byte* memory, std::string_view text, const std::byte* slots,
                                   int columnCount, int rowIndex, bool rowChanged) {
    auto* row = new (memory) CsvStoredRow{kRowMarker,
                                          rowIndex,
                                          static_cast<std::uint16_t>(text.size()),
                                          static_cast<std::uint8_t>(columnCount),
                                          static_cast<std::uint8_t>(rowChanged ? 1 : 0),
                                          kWordFieldsMarker};
    std::byte* body = memory + sizeof(CsvStoredRow);
    const std::size_t slotBytes = 2 * static_cast<std::size_t>(columnCount);
    if (slotBytes != 0) std::memcpy(body, slots, slotBytes);
    if (!text.empty()) std::memcpy(body + slotBytes, text.data(), text.size());
    return row;
}

CsvRowView CsvStoredRow::View() const {
    if (RowMarker != kRowMarker) {
        throw ECsvDataSetError("Internal error. Memory corruption suspected in CsvRow memory area");
    }
    if (WordFieldsMarker != kWordFieldsMarker) {
        throw ECsvDataSetError("Memory Corruption Suspected in WordFields area of CsvRow memory");
    }
    const auto* slots = reinterpret_cast<const std::byte*>(this) + sizeof(CsvStoredRow);
    const int columnCount = std::min<int>(ColumnCount, kMaxColumns);
    const auto* text = reinterpret_cast<const char*>(slots + 2 * columnCount);
    return {std::string_view(text, TextLength), slots, columnCount, columnCount};
}

std::string GetCsvRowItemData(const CsvStoredRow& row, int k) {
    if (k < 0 || k > kLastWordFieldSlot) return "<ERROR>";
    return std::string(ColumnTextOf(row.View(), k));
}

}  // namespace tavisto
