#pragma once

// The column model of a table: one descriptor per field definition, telling how the field's text
// is encoded in the file and where in a line the field stands.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "db/FieldDefs.h"

namespace tavisto {

// How a field's text is encoded. Messages report these numbers; 0 is never used.
enum CsvColumnKind : std::uint8_t {
    ckText = 1,
    ckNumber = 2,
    ckDateTimeText = 3,
    ckDateTimeHex = 4,
    ckDateTimeHexZoned = 5,
    ckDateText = 6,
    ckTimeText = 7,
    ckUtf8Text = 8,
};

struct CsvColumn {
    CsvColumnKind Kind = ckText;
    bool IsKey = false;
    // 0-based position among the fields of a line; -1 until the header row has been processed.
    std::int32_t PhysicalIndex = -1;
    // The definition made for this column; owned by the table's FieldDefs.
    const TFieldDef* FieldDef = nullptr;
};

// The table's descriptors in definition order, which is also the order of field numbers.
// Descriptors keep their address until the list is cleared, so key lists may point at them.
class TCsvColumns {
public:
    TCsvColumns() = default;
    TCsvColumns(const TCsvColumns&) = delete;
    TCsvColumns& operator=(const TCsvColumns&) = delete;

    int Count() const { return static_cast<int>(columns_.size()); }
    // Raises EListError for an index outside 0 to Count() - 1.
    CsvColumn& operator[](int index) const;

    CsvColumn& Add(const CsvColumn& column);
    // Releases every descriptor.
    void Clear() { columns_.clear(); }

    // The first descriptor whose definition is named name, ignoring the case of A to Z only; null
    // when there is none.
    CsvColumn* FindColumnByName(std::string_view name) const;
    // The first descriptor whose definition has this field number; null when there is none.
    CsvColumn* FindColumnByFieldNo(int fieldNo) const;

private:
    std::vector<std::unique_ptr<CsvColumn>> columns_;
};

}  // namespace tavisto
