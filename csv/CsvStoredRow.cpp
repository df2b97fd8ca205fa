#include "csv/CsvStoredRow.h"

#include <algorithm>

#include "csv/CsvErrors.h"

namespace tavisto {

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
