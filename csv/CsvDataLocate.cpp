// TCustomCsvDataSet: locating a row by field values, and comparing rows by their key columns.
// Both scan the rows from the first; column texts are cut out and converted anew every time.

#include <algorithm>
#include <optional>
#include <vector>

#include "csv/CsvConvert.h"
#include "csv/CsvData.h"

namespace tavisto {
namespace {

// A key-field text holds at most this many names; more are a mismatch.
constexpr std::size_t kMaxKeyNames = 21;
// What a number column's text that is no number counts as when rows are compared.
constexpr double kNoNumber = -99999.9;
// Numbers closer than this compare equal.
constexpr double kNumberTolerance = 0.02;

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

char LowerAToZ(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Byte order, optionally ignoring the case of A to Z; the sign of the result tells the order.
int CompareTexts(std::string_view left, std::string_view right, bool ignoreCase) {
    const std::size_t length = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < length; ++i) {
        char a = left[i];
        char b = right[i];
        if (ignoreCase) {
            a = LowerAToZ(a);
            b = LowerAToZ(b);
        }
        if (a != b) return static_cast<unsigned char>(a) - static_cast<unsigned char>(b);
    }
    return static_cast<int>(left.size()) - static_cast<int>(right.size());
}

std::vector<std::string_view> CutKeyFieldNames(std::string_view keyFields, char cut) {
    std::vector<std::string_view> names;
    std::size_t first = 0;
    for (;;) {
        const std::size_t end = std::min(keyFields.find(cut, first), keyFields.size());
        names.push_back(keyFields.substr(first, end - first));
        if (end == keyFields.size()) return names;
        first = end + 1;
    }
}

// The text of a key value; none for a value that has no text form.
std::optional<std::string> KeyText(const Variant& key) {
    if (key.IsNull() || key.IsArray()) return std::nullopt;
    try {
        return key.AsString();
    } catch (const EVariantError&) {
        return std::nullopt;
    }
}

bool KeyMatches(const Variant& value, const Variant& key, TLocateOptions options) {
    if (value == key) return true;
    if (options.Empty() || value.Type() != TVarType::String) return false;
    const std::optional<std::string> keyText = KeyText(key);
    if (!keyText) return false;
    const std::string text = value.AsString();
    if (CompareTexts(text, *keyText, options.CaseInsensitive) == 0) return true;
    if (!options.PartialKey || keyText->empty() || text.size() < keyText->size()) return false;
    return CompareTexts(std::string_view(text).substr(0, keyText->size()), *keyText,
                        options.CaseInsensitive) == 0;
}

}  // namespace

bool TCustomCsvDataSet::LocateRow(const std::string& keyFields, const Variant& keyValues,
                                  TLocateOptions options) {
    if (!Active()) return false;
    const char cut = keyFields.find(',') != std::string::npos ? ',' : ';';
    const auto cuts = static_cast<std::size_t>(std::count(keyFields.begin(), keyFields.end(), cut));
    if (cuts >= kMaxKeyNames) return false;
    const std::vector<std::string_view> names = CutKeyFieldNames(keyFields, cut);
    const int lowBound = keyValues.IsArray() ? keyValues.ArrayLowBound() : 0;
    const int valueCount = keyValues.IsArray() ? keyValues.ArrayHighBound() - lowBound + 1 : 1;
    if (valueCount != static_cast<int>(names.size()) || names.front().empty()) return false;
    std::vector<const TField*> fields;
    std::vector<CsvColumn*> columns;
    for (const std::string_view name : names) {
        const TField& field = FieldByName(name);
        fields.push_back(&field);
        columns.push_back(columns_.FindColumnByFieldNo(field.FieldNo()));
    }
    for (int row = 0; row < rows_.Count(); ++row) {
        bool allMatch = true;
        for (std::size_t i = 0; i < names.size() && allMatch; ++i) {
            const Variant& key = keyValues.IsArray()
                                     ? keyValues.ArrayElement(lowBound + static_cast<int>(i))
                                     : keyValues;
            allMatch = KeyMatches(ColumnValueAsVariant(columns[i], *fields[i], row), key, options);
        }
        if (allMatch) {
            SetRecordNumber(row);
            return true;
        }
    }
    return false;
}

Variant TCustomCsvDataSet::ColumnValueAsVariant(CsvColumn* column, const TField& field,
                                                int rowIndex) {
    if (column == nullptr) {
        RaiseError("Unable to locate CSV file information for field " + field.Name());
    }
    if (column->PhysicalIndex < 0 && headerRowPending_) {
        headerRowPending_ = false;
        ProcessCsvHeaderRow();
    }
    if (column->PhysicalIndex < 0) {
        RaiseError("Physical location of CSV field " + field.FieldName() + " unknown");
    }
    std::string_view text = rows_.ColumnText(rowIndex, column->PhysicalIndex);
    std::string dequoted;
    const TFieldType type = field.DataType();
    if ((type == ftString || type == ftWideString || type == ftFloat) && IsQuoted(text)) {
        dequoted = DequoteText(text);
        text = dequoted;
    }
    switch (type) {
        case ftString:
        case ftWideString:
            return Variant(std::string(text));
        case ftInteger: {
            const auto value = ParseIntegerText(text);
            return value ? Variant(*value) : Variant();
        }
        case ftBoolean:
            return Variant(ParseBooleanText(text));
        case ftFloat: {
            const auto value = ParseFloatText(text, DecimalSeparatorChar());
            return value ? Variant(*value) : Variant();
        }
        case ftDateTime: {
            if (text.empty()) return {};
            if (column->Kind == ckDateTimeHex) {
                return Variant::FromDateTime(TimeTHexToDateTime(text, 0));
            }
            if (column->Kind == ckDateTimeHexZoned) {
                return Variant::FromDateTime(TimeTHexToDateTime(text, timeZoneCorrection_));
            }
            const TDateTime value = ParseDateTimeText(text, localeFormats_);
            return value > 1.0 ? Variant::FromDateTime(value) : Variant();
        }
        // Date and time keys are read as ReadFieldValue reads them, so that locate finds them.
        case ftDate: {
            const TDateTime value = ParseDateText(text);
            return value > 1.0 ? Variant::FromDateTime(value) : Variant();
        }
        case ftTime: {
            const TDateTime value = ParseTimeText(text, localeFormats_);
            return value >= 0 ? Variant::FromDateTime(value) : Variant();
        }
        default:
            return {};
    }
}

int TCustomCsvDataSet::CompareRowField(const CsvColumn& column, const CsvRowView& left,
                                       const CsvRowView& right) const {
    const int position = column.PhysicalIndex;
    const std::string_view a = position < 0 ? std::string_view() : ColumnTextOf(left, position);
    const std::string_view b = position < 0 ? std::string_view() : ColumnTextOf(right, position);
    if (column.Kind != ckNumber) return CompareTexts(a, b, caseInsensitive_);
    const double difference = ParseFloatText(a, DecimalSeparatorChar()).value_or(kNoNumber) -
                              ParseFloatText(b, DecimalSeparatorChar()).value_or(kNoNumber);
    if (difference < -kNumberTolerance) return -1;
    return difference > kNumberTolerance ? 1 : 0;
}

int TCustomCsvDataSet::InternalCompare(const std::vector<CsvColumn*>& keyColumns,
                                       int keyColumnCount, const CsvRowView* left,
                                       const CsvRowView* right,
                                       const std::vector<bool>& ascending) const {
    constexpr std::string_view kNilValue = "InternalCompare. Nil value detected";
    if (left == nullptr || right == nullptr) RaiseError(kNilValue);
    for (int i = 0; i < keyColumnCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const CsvColumn* column = index < keyColumns.size() ? keyColumns[index] : nullptr;
        if (column == nullptr) RaiseError(kNilValue);
        const int result = CompareRowField(*column, *left, *right);
        if (result != 0) return index < ascending.size() && !ascending[index] ? -result : result;
    }
    return 0;
}

int TCustomCsvDataSet::FindRowWithKey(TRecordBuffer buffer) const {
    const CsvRowView key = ViewOfRow(Block(buffer));
    for (int i = 0; i < rows_.Count(); ++i) {
        const CsvRowView row = rows_.GetRow(i).View();
        if (InternalCompare(keyColumns_, KeyColumnCount(), &key, &row, keyAscending_) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace tavisto
