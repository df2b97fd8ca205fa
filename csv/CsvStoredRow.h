#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "csv/CsvRowView.h"

namespace tavisto {

// A row as the row list stores it: only what a stored row needs, sized to its line. In memory:
// this header, then ColumnCount slots of 16 bits (the column starts with their changed marks;
// the end mark is implied), then the text's bytes. The same two markers as in a CsvRow
// block guard it, and every access through View verifies both.
// Stored rows live in their list's arena; a reference to one stays valid until the row is
// replaced or deleted or the list is cleared.
struct CsvStoredRow {
    std::uint32_t RowMarker;
    std::int32_t RowIndex;
    std::uint16_t TextLength;
    std::uint8_t ColumnCount;
    std::uint8_t RowChanged;
    std::uint32_t WordFieldsMarker;

    // Bytes a stored row of this shape takes, header included.
    static constexpr std::size_t SizeFor(int columnCount, std::size_t textLength) {
        return sizeof(CsvStoredRow) + 2 * static_cast<std::size_t>(columnCount) + textLength;
    }

    // Writes a stored row into memory of SizeFor bytes. slots holds columnCount 16-bit values
    // (any alignment).
    static CsvStoredRow* Create(std::byte* memory, std::string_view text, const std::byte* slots,
                                int columnCount, int rowIndex, bool rowChanged);

    // Text and slots, after verifying both markers. Raises ECsvDataSetError "Internal error.
    // Memory corruption suspected in CsvRow memory area" or "Memory Corruption Suspected in
    // WordFields area of CsvRow memory".
    CsvRowView View() const;
};

// The raw text of column k, as GetCsvRowItemData reads it from a block.
std::string GetCsvRowItemData(const CsvStoredRow& row, int k);

}  // namespace tavisto
