#include "csv/CsvRowView.h"

#include <algorithm>

#include "csv/CsvParse.h"
#include "platform/Exceptions.h"

namespace tavisto {

int WordFieldOf(const CsvRowView& row, int k) {
    if (k < 0 || k > kLastWordFieldSlot) return -1;
    if (k >= row.SlotCount) return kUnsetWordField;
    const std::uint16_t slot = LoadSlot(row.Slots, k);
    return slot == kUnsetWordField ? kUnsetWordField : slot & kWordFieldPositionMask;
}

std::string_view ColumnTextOf(const CsvRowView& row, int k) {
    if (k >= row.ColumnCount) return {};
    const int start = WordFieldOf(row, k);
    const int next = WordFieldOf(row, k + 1);
    if (start != kUnsetWordField && next < start) {
        throw Exception("GetCsvRowItemData: Column index values are corrupt.");
    }
    if (start == kUnsetWordField) return {};
    // The column ends before the separator that opens the next one.
    const std::size_t length = row.Text.size();
    const std::size_t end =
        next == kUnsetWordField ? length : std::min<std::size_t>(std::max(next - 1, 0), length);
    const auto first = static_cast<std::size_t>(start);
    if (first >= end) return {};
    return TrimBlanks(row.Text.substr(first, end - first));
}

}  // namespace tavisto
