#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "csv/CsvRow.h"
#include "csv/CsvRowArena.h"
#include "csv/CsvStoredRow.h"

namespace tavisto {

// The table's rows in file order, and the per-table settings the line codec needs (separator,
// decimal separator, backslash quoting). Index 0 is the first data line of the file.
//
// Rows are stored compact (CsvStoredRow, sized to the line) in one arena per list; the
// framework's record buffers are full CsvRow blocks of RowSize bytes. The table moves rows
// between the two forms:
//   loading      AddLine(line, n, backslash)       cuts a line straight into a stored row
//   fetching     FetchRow(index, buffer)           expands a stored row into a record buffer
//   adding       AddRow / InsertRow(index, buffer) stores a compact copy of a record buffer
//   posting      ReplaceRow(index, buffer)         stores the buffer over the row at index
//   comparing    ColumnText(index, k)              reads a column without expanding the row
// Memory of deleted and replaced rows is given back when the list is cleared.
class TCsvRows {
public:
    static constexpr char kDefaultSeparator = ',';
    static constexpr char kDefaultDecimalSeparator = '.';

    TCsvRows() = default;
    TCsvRows(const TCsvRows&) = delete;
    TCsvRows& operator=(const TCsvRows&) = delete;

    // Size of one CsvRow block: the table's record buffer size.
    static constexpr std::size_t RowSize() { return kCsvRowSize; }

    // Stamps the header of a block: row marker, block size, WordFields offset and marker, text
    // capacity, the list's separator. Leaves text, slots and the other fields as they are. Sets
    // RowsInitialised.
    void InitRow(std::byte* block);

    // A zero-filled block of RowSize bytes, through InitRow.
    std::unique_ptr<std::byte[]> NewRow();

    // Cuts line (quote-aware, with the list's separator) and appends it as a row with the given
    // RowIndex; the result is its index. Raises the ERangeError of SplitLineIntoColumns, in which
    // case nothing is added. Lines of more than kMaxLineLength characters are the caller's to
    // refuse.
    int AddLine(std::string_view line, int rowIndex, bool backslashEscapes);

    // As AddLine, for a line already cut quote-aware with the list's separator; starts are taken
    // as they are.
    int AddCutLine(std::string_view line, const ColumnStarts& starts, int rowIndex);

    // Appends a compact copy of a record buffer (text, starts, ColumnCount, RowIndex,
    // RowChanged); the result is its index. Verifies the buffer's markers.
    int AddRow(const std::byte* block);

    // Inserts a compact copy of a record buffer before index (0 to Count()). Raises EListError
    // "List index out of bounds (<index>)" for another index.
    void InsertRow(int index, const std::byte* block);

    // Replaces the row at index with a compact copy of a record buffer. Raises as GetRow.
    void ReplaceRow(int index, const std::byte* block);

    // Expands the row at index into a record buffer: text, starts (every slot after the end mark
    // unset), ColumnCount, RowIndex, RowChanged. Bookmark fields, EventGuard and the
    // calculated-field area are left to the caller. Raises as GetRow; verifies both rows' markers.
    void FetchRow(int index, std::byte* block) const;

    // The row at index. Raises ECsvDataSetError "No database record" outside 0 to Count() - 1.
    const CsvStoredRow& GetRow(int index) const;

    // The raw text of column k of the row at index, as GetCsvRowItemData reads it but without a
    // copy; valid until the row is replaced or deleted or the list is cleared. Raises as GetRow.
    std::string_view ColumnText(int index, int k) const;

    // Index of a row of this list, -1 when it is not in the list.
    int IndexOfRow(const CsvStoredRow* row) const;

    // Removes the row at index. Raises EListError "List index out of bounds (<index>)".
    void DeleteRow(int index);

    // Removes every row and releases their memory.
    void ClearRows();

    int Count() const { return static_cast<int>(rows_.size()); }

    char Separator() const { return separator_; }
    void SetSeparator(char separator) { separator_ = separator; }
    char DecimalSeparatorChar() const { return decimalSeparatorChar_; }
    void SetDecimalSeparatorChar(char separator) { decimalSeparatorChar_ = separator; }
    bool EnquoteBackslash() const { return enquoteBackslash_; }
    void SetEnquoteBackslash(bool on) { enquoteBackslash_ = on; }
    // Set by every InitRow; the table clears it when it closes.
    bool RowsInitialised() const { return rowsInitialised_; }
    void SetRowsInitialised(bool initialised) { rowsInitialised_ = initialised; }

    // Per-row values for the field events, keyed by a row's RowIndex: 0 and null for a RowIndex
    // nobody has set.
    int UserTagOf(int rowIndex) const;
    void* UserDataOf(int rowIndex) const;
    void SetUserTagOf(int rowIndex, int tag);
    void SetUserDataOf(int rowIndex, void* data);

    // Memory held for the rows: the arena's chunks and the list's entries.
    std::size_t BytesHeld() const;

private:
    CsvRowArena::Ref StoreCopy(const std::byte* block);
    void CheckListIndex(int index, int last) const;
    void GrowUserLists(int rowIndex);

    const CsvStoredRow& RowAt(int index) const;

    CsvRowArena arena_;
    std::vector<CsvRowArena::Ref, LargeBlockAllocator<CsvRowArena::Ref>> rows_;
    char separator_ = kDefaultSeparator;
    char decimalSeparatorChar_ = kDefaultDecimalSeparator;
    bool enquoteBackslash_ = false;
    bool rowsInitialised_ = false;
    std::vector<int> userTags_;
    std::vector<void*> userData_;
};

}  // namespace tavisto
