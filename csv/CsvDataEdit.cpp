// TCustomCsvDataSet: adding, posting and deleting records. Rows keep their texts in file form, so
// a record buffer is stored as it stands.

#include <cstring>

#include "csv/CsvData.h"
#include "csv/CsvErrors.h"

namespace tavisto {

void TCustomCsvDataSet::InternalAddRecord(TRecordBuffer buffer, bool append) {
    if (insertBlocked_) RaiseError("InternalAddRecord cannot Add. Insert blocked");
    if (currentRowIndex_ == -1) currentRowIndex_ = 0;
    if (currentRowIndex_ == -2) currentRowIndex_ = rows_.Count();
    const std::unique_ptr<std::byte[]> row = rows_.NewRow();
    if (buffer != nullptr) std::memcpy(row.get(), buffer, TCsvRows::RowSize());
    if (RowText(row.get()).empty()) {
        CutLineIntoRow(row.get(), emptyRowText_, Separator(), false, false);
    }
    CsvRowHeader& header = RowHeader(row.get());
    header.RowChanged = 1;
    changed_ = true;
    if (append) {
        header.RowIndex = rows_.Count();
        rows_.AddRow(row.get());
        MoveAfterLast();
    } else {
        header.RowIndex = currentRowIndex_;
        rows_.InsertRow(currentRowIndex_, row.get());
    }
}

void TCustomCsvDataSet::PostRecord() {
    if (currentRowIndex_ == -1) currentRowIndex_ = 0;
    if (currentRowIndex_ == -2) currentRowIndex_ = rows_.Count();
    if (postBlocked_) RaiseError("Posting to this database has been blocked");
    const TRecordBuffer buffer = ActiveBuffer();
    const TDataSetState state = State();
    if (csvUniqueKeys_ && (state == dsEdit || state == dsInsert)) {
        const int keyRow = FindRowWithKey(buffer);
        // An appended record goes after every row; the key rule does not hold it back.
        const bool refused =
            keyRow >= 0 && ((state == dsInsert && rows_.Count() > currentRowIndex_) ||
                            (state == dsEdit && keyRow != currentRowIndex_));
        if (refused) throw ECsvKeyError(FileName() + " - Key is not unique ");
    }
    if (state == dsEdit) {
        changed_ = true;
        RowHeader(Block(buffer)).RowChanged = 1;
        rows_.ReplaceRow(currentRowIndex_, Block(buffer));
    } else if (state == dsInsert) {
        if (insertBlocked_) RaiseError("Cannot insert new row. Insert blocked");
        changed_ = true;
        CsvRowHeader& header = RowHeader(Block(buffer));
        header.RowChanged = 1;
        rows_.InsertRow(currentRowIndex_, Block(buffer));
        header.Bookmark = currentRowIndex_;
    } else {
        RaiseError("Cannot post. Not in dsEdit or dsInsert mode");
    }
}

void TCustomCsvDataSet::DeleteRecord() {
    if (currentRowIndex_ >= 0 && currentRowIndex_ < rows_.Count()) {
        rows_.DeleteRow(currentRowIndex_);
    }
    if (rows_.Count() <= currentRowIndex_) currentRowIndex_ = rows_.Count() - 1;
    changed_ = true;
}

}  // namespace tavisto
