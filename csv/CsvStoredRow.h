#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "csv/CsvRow.h"
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
    // (any alignment). Inline: loading a file calls it once per line.
    static CsvStoredRow* Create(std::byte* memory, std::string_view text, const std::byte* slots,
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

    // Text and slots, after verifying both markers. Raises ECsvDataSetError "Internal error.
    // Memory corruption suspected in CsvRow memory area" or "Memory Corruption Suspected in
    // WordFields area of CsvRow memory".
    CsvRowView View() const;
};

// The raw text of column k, as GetCsvRowItemData reads it from a block.
std::string GetCsvRowItemData(const CsvStoredRow& row, int k);

}  // namespace tavisto
