#pragma once

// Enumerations and small value types shared by the data-set framework and its engines. The
// numeric values of field types, fetch modes, fetch results and bookmark flags are fixed: engines
// store them in record buffers and messages report them.

#include <cstdint>
#include <string>

namespace tavisto {

enum TFieldType : std::uint8_t {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
    ftFixedChar = 23,
    ftWideString = 24,
};

// "String", "Integer", "DateTime", ...; "Unknown" for values outside the list.
std::string FieldTypeName(TFieldType type);

// The type a field of this type binds to: integers bind to ftInteger definitions, currency to
// ftFloat, fixed text to ftString; every other type only to itself.
TFieldType BaseFieldType(TFieldType type);

enum TFieldKind : std::uint8_t { fkData, fkCalculated, fkLookup };

// dsCalcFields is a temporary state: it lasts while the calculated fields of one record buffer
// are computed, and data links are not told about it.
enum TDataSetState : std::uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };

// Which record FetchRecord is to deliver.
enum TGetMode : std::uint8_t { gmCurrent = 0, gmNext = 1, gmPrior = 2 };

// FetchRecord's answer: a record was delivered, or the cursor met the beginning or the end, or
// there is no current record.
enum TGetResult : std::uint8_t { grOK = 0, grBOF = 1, grEOF = 2, grError = 3 };

// What a record buffer stands for: a fetched record, the position before the first or after the
// last record, or a record being inserted.
enum TBookmarkFlag : std::uint8_t { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };

// An error handler's answer: raise the error, end the operation quietly, or try it again.
enum TDataAction : std::uint8_t { daFail, daAbort, daRetry };

struct TLocateOptions {
    bool CaseInsensitive = false;
    bool PartialKey = false;
    bool Empty() const { return !CaseInsensitive && !PartialKey; }
};

// Exact: the cursor's record must be fetched again, or the resync fails. Center: that record goes
// to the middle of the buffer window instead of keeping its place.
struct TResyncMode {
    bool Exact = false;
    bool Center = false;
};

// A record buffer: an opaque block the engine allocates, fills and releases.
using TRecordBuffer = char*;

// A bookmark as the data set's users keep it: BookmarkSize() bytes, or empty for none.
using TBookmark = std::string;

// How the data set tells its data sources and links what happened. Internal to the framework.
enum class TDataEvent : std::uint8_t {
    FieldChange,    // a field of the active record got a new value; info: none
    RecordChange,   // the active record's values changed as a whole (edit began)
    DataSetChange,  // the buffer window was rebuilt
    DataSetScroll,  // the window moved; info: records it rotated (negative: toward the end)
    LayoutChange,   // field list or field presentation changed
    UpdateState,    // the state changed; info 1: the data set was closed or opened meanwhile
};

}  // namespace tavisto
