#pragma once

// What reading a column needs of a row, whether the row is a full block (record buffer) or a
// compact stored row: its text and its WordFields slots. Shared by both forms so that a column
// reads the same from either.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tavisto {

inline constexpr int kWordFieldSlots = 122;
// Highest slot that WordFieldAt reads and SetWordFieldAt writes; slot 121 is spare.
inline constexpr int kLastWordFieldSlot = 120;
// An unset slot; the slot after a row's last column holds it as the end mark.
inline constexpr int kUnsetWordField = 0xFFFF;
inline constexpr std::uint16_t kColumnChangedBit = 0x8000;
inline constexpr std::uint16_t kWordFieldPositionMask = 0x7FFF;

// Slots are 16-bit values at any alignment.
inline std::uint16_t LoadSlot(const std::byte* slots, int k) {
    std::uint16_t value;
    std::memcpy(&value, slots + 2 * k, sizeof value);
    return value;
}

inline void StoreSlot(std::byte* slots, int k, std::uint16_t value) {
    std::memcpy(slots + 2 * k, &value, sizeof value);
}

struct CsvRowView {
    std::string_view Text;
    const std::byte* Slots = nullptr;
    int SlotCount = 0;    // slots present; slots past them read as unset
    int ColumnCount = 0;  // already limited to 0..kMaxColumns
};

// The start of column k: -1 outside slots 0 to 120, kUnsetWordField, or a position.
int WordFieldOf(const CsvRowView& row, int k);

// The raw text of column k (0 to 120), blanks trimmed; empty at or beyond the last column.
// Never reaches outside row.Text, whatever the slots say. Raises Exception
// "GetCsvRowItemData: Column index values are corrupt." when the next column starts before k.
std::string_view ColumnTextOf(const CsvRowView& row, int k);

}  // namespace tavisto
