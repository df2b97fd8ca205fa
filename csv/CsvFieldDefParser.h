#pragma once

// The field-definition language of a table, as in "KALU:$255;DATUM:@;ANWENDUNG:$255": entries of
// a name, a colon, a type character and, for text fields, a size. Also the key list of CsvKeyDef.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvColumns.h"
#include "db/DbTypes.h"
#include "db/FieldDefs.h"

namespace tavisto {

// Size of a text field whose entry gives none, or none that reads as a positive integer.
inline constexpr int kDefaultTextFieldSize = 80;
// Characters read as the size after the type character.
inline constexpr std::size_t kMaxSizeTextLength = 80;
// What the amounts of all entries together may reach.
inline constexpr int kRecordTextCapacity = 2048;

// One row of the type table.
struct CsvFieldType {
    char TypeChar;
    TFieldType DataType;
    CsvColumnKind Kind;
    // The definition takes the entry's size and the budget counts it; other types give the
    // definition size 0 and count BudgetAmount.
    bool IsText;
    int BudgetAmount;
};

// The type table's row for typeChar; null for a character that is no type.
const CsvFieldType* FindCsvFieldType(char typeChar);

// One entry as written, before its type is checked.
struct CsvFieldDefEntry {
    std::string Name;
    // '$' for a name alone and for a letter-like character after the colon; NUL when the colon
    // ends the entry.
    char TypeChar = '$';
    int Size = kDefaultTextFieldSize;
};

// Reads name, type character and size of one entry (already trimmed). The name ends at the first
// colon, or at the first semicolon when there is no colon. A character from 'A' to '}' after the
// colon makes a text field whose size is read from that character on.
CsvFieldDefEntry ParseFieldDefEntry(std::string_view entry);

// The character that cuts a definition text into entries: the separator when it is a comma or
// occurs in the text, otherwise a comma.
char DefinitionCuttingChar(std::string_view definitionText, char separator);

// Appends one definition and one column (kind from the type table, not a key, PhysicalIndex -1)
// per entry of definitionText, in order; the caller clears both first. Returns the record text
// budget, the sum of the entries' amounts.
// Raises, through RaiseTableError with errorPrefix, "Field Definition Error. CsvFieldDef,
// FieldDefs, and file contents must match" for an empty text, "Invalid field type character: %s"
// and "Unexpected error parsing CSV Field Definitions" for an empty name or entry; raises
// Exception (no prefix) when the budget passes kRecordTextCapacity, and the line codec's
// ERangeError for more than 120 entries. FieldDefs raises its own error for a repeated name.
int BuildCsvFieldDefs(std::string_view definitionText, char separator, std::string_view errorPrefix,
                      TFieldDefs& fieldDefs, TCsvColumns& columns);

// The columns named by keyDef, cut at every separator (names are not trimmed), in keyDef's order;
// each is marked IsKey. Empty for an empty keyDef. Raises through RaiseTableError: "Invalid
// CsvKeyDef property. InternalInitFieldDefs failed" for more names than columns, "Internal Error
// parsing CsvKeyDef. InternalInitFieldDefs failed" for an empty name, "CsvKeyDef contains field
// '%s' which is not defined. InternalInitFieldDefs failed" for a name of no column.
std::vector<CsvColumn*> ParseCsvKeyDef(std::string_view keyDef, char separator,
                                       std::string_view errorPrefix, TCsvColumns& columns);

// The definitions' names in definition order joined with the separator, unquoted.
std::string JoinFieldDefNames(const TFieldDefs& fieldDefs, char separator);

}  // namespace tavisto
