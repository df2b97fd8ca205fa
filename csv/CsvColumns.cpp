#include "csv/CsvColumns.h"

#include <string>

#include "db/NameMatch.h"
#include "platform/Exceptions.h"

namespace tavisto {

CsvColumn& TCsvColumns::operator[](int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return *columns_[static_cast<std::size_t>(index)];
}

CsvColumn& TCsvColumns::Add(const CsvColumn& column) {
    columns_.push_back(std::make_unique<CsvColumn>(column));
    return *columns_.back();
}

CsvColumn* TCsvColumns::FindColumnByName(std::string_view name) const {
    for (const auto& column : columns_) {
        if (column->FieldDef != nullptr && SameName(column->FieldDef->Name(), name)) {
            return column.get();
        }
    }
    return nullptr;
}

CsvColumn* TCsvColumns::FindColumnByFieldNo(int fieldNo) const {
    for (const auto& column : columns_) {
        if (column->FieldDef != nullptr && column->FieldDef->FieldNo() == fieldNo) {
            return column.get();
        }
    }
    return nullptr;
}

}  // namespace tavisto
