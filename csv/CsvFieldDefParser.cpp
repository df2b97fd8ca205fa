#include "csv/CsvFieldDefParser.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "platform/Exceptions.h"
#include "platform/Locale.h"

namespace tavisto {
namespace {

constexpr std::array<CsvFieldType, 10> kFieldTypes{{
    {'$', ftString, ckText, true, 0},
    {'!', ftBoolean, ckNumber, false, 1},
    {'%', ftInteger, ckNumber, false, 5},
    {'&', ftFloat, ckNumber, false, 5},
    {'@', ftDateTime, ckDateTimeText, false, 20},
    {'#', ftDateTime, ckDateTimeHex, false, 10},
    {'-', ftDateTime, ckDateTimeHexZoned, false, 10},
    {'/', ftDate, ckDateText, false, 10},
    {'*', ftTime, ckTimeText, false, 10},
    {'~', ftWideString, ckUtf8Text, true, 0},
}};

constexpr std::string_view kNoDefinitionText =
    "Field Definition Error. CsvFieldDef, FieldDefs, and file contents must match";
constexpr std::string_view kInvalidTypeChar = "Invalid field type character: ";
constexpr std::string_view kEmptyName = "Unexpected error parsing CSV Field Definitions";
constexpr std::string_view kBudgetExceeded =
    "Too many fields, or too many long string fields in this record. You must increase the "
    "internal record size of the CsvDataSet";
constexpr std::string_view kTooManyKeyNames =
    "Invalid CsvKeyDef property. InternalInitFieldDefs failed";
constexpr std::string_view kEmptyKeyName =
    "Internal Error parsing CsvKeyDef. InternalInitFieldDefs failed";

// A decimal size; anything else, and sizes below 1, give the default. A size of 0 or less would
// make a field that cannot hold its text and would shrink the budget of the others.
int SizeOf(std::string_view text) {
    std::int32_t size = 0;
    if (text.find_first_of("$xX") != std::string_view::npos || !TryStrToInt(text, size) ||
        size < 1) {
        return kDefaultTextFieldSize;
    }
    return size;
}

std::string UndefinedKeyField(std::string_view name) {
    return "CsvKeyDef contains field '" + std::string(name) +
           "' which is not defined. InternalInitFieldDefs failed";
}

// The type table's row for the entry; raises for a character that is no type.
const CsvFieldType& TypeOfEntry(const CsvFieldDefEntry& entry, std::string_view errorPrefix) {
    const CsvFieldType* type = FindCsvFieldType(entry.TypeChar);
    if (type == nullptr) {
        // A NUL would end the message where it stands, so it is left out.
        std::string text(kInvalidTypeChar);
        if (entry.TypeChar != '\0') text += entry.TypeChar;
        RaiseTableError(errorPrefix, text);
    }
    return *type;
}

}  // namespace

const CsvFieldType* FindCsvFieldType(char typeChar) {
    for (const CsvFieldType& type : kFieldTypes) {
        if (type.TypeChar == typeChar) return &type;
    }
    return nullptr;
}

CsvFieldDefEntry ParseFieldDefEntry(std::string_view entry) {
    std::size_t colon = entry.find(':');
    if (colon == std::string_view::npos) colon = entry.find(';');
    if (colon == std::string_view::npos) return {std::string(entry), '$', kDefaultTextFieldSize};
    CsvFieldDefEntry result{std::string(entry.substr(0, colon)), '\0', kDefaultTextFieldSize};
    if (colon + 1 == entry.size()) return result;
    const char typeChar = entry[colon + 1];
    std::size_t sizeStart = colon + 2;
    if (typeChar >= 'A' && typeChar <= '}') {
        result.TypeChar = '$';
        sizeStart = colon + 1;
    } else {
        result.TypeChar = typeChar;
    }
    result.Size = SizeOf(entry.substr(sizeStart, kMaxSizeTextLength));
    return result;
}

char DefinitionCuttingChar(std::string_view definitionText, char separator) {
    if (separator == ',' || definitionText.find(separator) != std::string_view::npos) {
        return separator;
    }
    return ',';
}

int BuildCsvFieldDefs(std::string_view definitionText, char separator, std::string_view errorPrefix,
                      TFieldDefs& fieldDefs, TCsvColumns& columns) {
    if (definitionText.empty()) RaiseTableError(errorPrefix, kNoDefinitionText);
    const char cuttingChar = DefinitionCuttingChar(definitionText, separator);
    const ColumnStarts starts = SplitLineIntoColumns(definitionText, cuttingChar, false, false);
    // Wide enough that one huge size cannot wrap the sum below the capacity.
    std::int64_t budget = 0;
    for (int k = 0; k < starts.Count; ++k) {
        const std::size_t first = starts.Starts[k];
        const std::size_t end =
            k + 1 < starts.Count ? starts.Starts[k + 1] - 1u : definitionText.size();
        const CsvFieldDefEntry entry =
            ParseFieldDefEntry(TrimBlanks(definitionText.substr(first, end - first)));
        const CsvFieldType& type = TypeOfEntry(entry, errorPrefix);
        if (entry.Name.empty()) RaiseTableError(errorPrefix, kEmptyName);
        budget += type.IsText ? entry.Size : type.BudgetAmount;
        if (budget > kRecordTextCapacity) throw Exception(std::string(kBudgetExceeded));
        const TFieldDef& definition =
            fieldDefs.Add(entry.Name, type.DataType, type.IsText ? entry.Size : 0, false);
        columns.Add(CsvColumn{type.Kind, false, -1, &definition});
    }
    return static_cast<int>(budget);
}

std::vector<CsvColumn*> ParseCsvKeyDef(std::string_view keyDef, char separator,
                                       std::string_view errorPrefix, TCsvColumns& columns) {
    std::vector<CsvColumn*> keyColumns;
    if (keyDef.empty()) return keyColumns;
    const auto nameCount = std::count(keyDef.begin(), keyDef.end(), separator) + 1;
    if (nameCount > columns.Count()) RaiseTableError(errorPrefix, kTooManyKeyNames);
    std::size_t first = 0;
    for (;;) {
        const std::size_t end = std::min(keyDef.find(separator, first), keyDef.size());
        const std::string_view name = keyDef.substr(first, end - first);
        if (name.empty()) RaiseTableError(errorPrefix, kEmptyKeyName);
        CsvColumn* column = columns.FindColumnByName(name);
        if (column == nullptr) RaiseTableError(errorPrefix, UndefinedKeyField(name));
        column->IsKey = true;
        keyColumns.push_back(column);
        if (end == keyDef.size()) return keyColumns;
        first = end + 1;
    }
}

std::string JoinFieldDefNames(const TFieldDefs& fieldDefs, char separator) {
    std::string line;
    for (int i = 0; i < fieldDefs.Count(); ++i) {
        if (i > 0) line += separator;
        line += fieldDefs[i].Name();
    }
    return line;
}

}  // namespace tavisto
