#include "db/DbTypes.h"

#include <array>

namespace tavisto {

std::string FieldTypeName(TFieldType type) {
    static constexpr std::array<const char*, 25> kNames = {
        "Unknown",     "String", "Smallint",  "Integer",   "Word",     "Boolean",    "Float",
        "Currency",    "BCD",    "Date",      "Time",      "DateTime", "Bytes",      "VarBytes",
        "AutoInc",     "Blob",   "Memo",      "Graphic",   "FmtMemo",  "ParadoxOle", "DBaseOle",
        "TypedBinary", "Cursor", "FixedChar", "WideString"};
    return type < kNames.size() ? kNames[type] : "Unknown";
}

TFieldType BaseFieldType(TFieldType type) {
    switch (type) {
        case ftSmallint:
        case ftWord:
        case ftAutoInc:
            return ftInteger;
        case ftCurrency:
            return ftFloat;
        case ftFixedChar:
            return ftString;
        default:
            return type;
    }
}

}  // namespace tavisto
