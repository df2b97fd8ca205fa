#pragma once

// The CsvRow block: the layout of the framework's record buffers. One block of kCsvRowSize bytes:
//
//   header (CsvRowHeader)
//   text area: kRowTextCapacity + 2 bytes, the row's line as in the file, NUL-terminated
//   WordFields area, 248 bytes: marker 0x91AF9824, then 122 slots of 16 bits; slot k holds the
//       start of column k (bit 15 is the column's changed mark), 0xFFFF is unset and marks the
//       end after the last column; slot 121 is spare
//   calculated-field area, 256 bytes, at CalcAreaOffset
//   2 spare bytes
//
// Every slot access verifies both markers first. The text capacity holds any line that
// SplitLineIntoColumns accepts, so a row never loses characters; reading or replacing a column
// never touches memory outside the block, whatever the header or the slots say.
// Blocks come from TCsvRows::NewRow (zero-filled and stamped by InitRow). A record buffer for a
// new record is InitRow followed by BlankRow; the calculated-field area is the kCalcAreaSize
// bytes at CalcAreaOffset, which the table zeroes and fills.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "csv/CsvParse.h"
#include "csv/CsvRowView.h"

namespace tavisto {

inline constexpr std::uint32_t kRowMarker = 0x91AF9823;
inline constexpr std::uint32_t kWordFieldsMarker = 0x91AF9824;
// Longest text a block holds: every line that SplitLineIntoColumns accepts.
inline constexpr int kRowTextCapacity = kCutPositionLimit - 1;
inline constexpr std::size_t kWordFieldsAreaSize = 4 + 2 * kWordFieldSlots;
inline constexpr std::size_t kCalcAreaSize = 256;
inline constexpr std::size_t kRowSpareBytes = 2;

struct CsvRowHeader {
    std::uint32_t RowMarker;
    std::int32_t BlockSize;
    std::uint8_t RowChanged;   // set when the row is added or posted or a column is marked
    char Separator[2];         // the table's separator when InitRow ran, then NUL
    std::int32_t ColumnCount;  // columns in the text; reads beyond give empty texts
    std::int32_t RowIndex;     // key of UserTag/UserData; -1 in a blank record
    std::uint8_t BookmarkFlag;
    std::int32_t Bookmark;
    std::uint8_t EventGuard;  // set while the record's OnGetFieldData handler runs
    std::int32_t WordFieldsOffset;
    std::int32_t TextCapacity;
    std::int32_t TextLength;  // characters of the text (the text may hold NUL bytes of its own)
};

inline constexpr std::size_t kRowTextOffset = sizeof(CsvRowHeader);
inline constexpr std::size_t kWordFieldsOffset = kRowTextOffset + kRowTextCapacity + 2;
inline constexpr std::size_t kCsvRowSize =
    kWordFieldsOffset + kWordFieldsAreaSize + kCalcAreaSize + kRowSpareBytes;

// The block's header; requires a non-null block. Does not check the markers.
CsvRowHeader& RowHeader(std::byte* block);
const CsvRowHeader& RowHeader(const std::byte* block);

// The first WordFields slot, after checking that block is not null and both markers are intact.
// Raises ECsvDataSetError "Internal error. Memory corruption suspected in CsvRow memory area" or
// "Memory Corruption Suspected in WordFields area of CsvRow memory".
std::byte* WordFieldsArea(std::byte* block);
const std::byte* WordFieldsArea(const std::byte* block);

// Offset of the calculated-field area from the start of the block.
std::size_t CalcAreaOffset(const std::byte* block);

// The start of column k: -1 for a null block or k outside 0 to 120, 0xFFFF when unset, else the
// position (the changed mark masked off).
int WordFieldAt(const std::byte* block, int k);

// Sets slot k (0 to 120); ignored for a null block, another k or a negative value. 0xFFFF unsets
// the slot; a position keeps the slot's changed mark unless the slot was unset.
void SetWordFieldAt(std::byte* block, int k, int value);

// Sets RowChanged and the changed mark of column k (0 to 119); ignored for a null block or
// another k. An unset slot stays unset.
void MarkColumnChanged(std::byte* block, int k);

// The raw text of column k (quotes kept, blanks trimmed): "<ERROR>" for k outside 0 to 120,
// empty at or beyond ColumnCount. Raises Exception "GetCsvRowItemData: Column index values are
// corrupt." when the next column starts before column k.
std::string GetCsvRowItemData(const std::byte* block, int k);

// Replaces the raw text of column k (0 to 119; others are ignored) and moves the starts of the
// following columns by the change in length. A column at or beyond ColumnCount is appended:
// every column from ColumnCount to k is opened with the block's separator, so the columns in
// between read empty and every earlier column keeps its text. Raises ECsvDataSetError
// "CSV string is too long: <first 40 characters>..." and leaves the row as it was when the new
// text would exceed kRowTextCapacity.
void ReplaceColumnText(std::byte* block, int k, std::string_view value);

// Makes the block an empty record of columnCount columns (0 or less counts as 10, more than 120
// as 120): the text is columnCount - 1 separators, column k starts at k, the end mark follows
// the last column and every further slot is unset. RowIndex -1, RowChanged cleared, Bookmark
// -1, BookmarkFlag eofBookmarkFlag (the framework's end-of-file flag). EventGuard and the
// calculated-field area are left as they are.
void BlankRow(std::byte* block, int columnCount, std::uint8_t eofBookmarkFlag);

// The row's text.
std::string_view RowText(const std::byte* block);

// Cuts line with SplitLineIntoColumns and stores the text, ColumnCount and the starts followed by
// the end mark. A cut error leaves the block as it was. A block without its row marker fails the
// assertion "Internal data corruption in CsvRow data storage area".
void CutLineIntoRow(std::byte* block, std::string_view line, char separator, bool quoteAware,
                    bool backslashEscapes);

// Text, ColumnCount and slots of a block, for reading columns; verifies both markers.
CsvRowView ViewOfRow(const std::byte* block);

}  // namespace tavisto
