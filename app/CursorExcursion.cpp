#include "app/CursorExcursion.h"

#include "db/DataSet.h"

namespace tavisto {

void GoToRowBookmark(TDataSet& dataSet, const TBookmark& bookmark) {
    try {
        dataSet.GotoBookmark(bookmark);
    } catch (const EDatabaseError&) {
        throw EDatabaseError("Can't find a record in the dataset " + dataSet.Name() +
                             ". If you use a parametrised query as a dataset, set "
                             "DenyLookSetPosition for corresponding relationship to True.");
    }
}

TCursorExcursion::TCursorExcursion(TDataSet& dataSet) : dataSet_(dataSet) {
    dataSet_.DisableControls();
    saved_ = dataSet_.GetBookmark();
}

TCursorExcursion::~TCursorExcursion() {
    try {
        if (dataSet_.BookmarkValid(saved_)) dataSet_.GotoBookmark(saved_);
    } catch (const std::exception&) {
        // The record could not be fetched again; the cursor stays where the reads left it.
    }
    dataSet_.FreeBookmark(saved_);
    dataSet_.EnableControls();
}

bool TCursorExcursion::MoveToOrdinal(int ordinal) {
    if (firstRecordNumber_ < 0 || ordinal == 0) {
        dataSet_.First();
        if (dataSet_.Eof()) return false;
        firstRecordNumber_ = dataSet_.RecNo();
        if (ordinal == 0) return true;
    }
    if (firstRecordNumber_ >= 0) {
        dataSet_.SetRecNo(firstRecordNumber_ + ordinal);
        return dataSet_.RecNo() == firstRecordNumber_ + ordinal;
    }
    return dataSet_.MoveBy(ordinal) == ordinal;
}

bool TCursorExcursion::MoveNext() {
    dataSet_.Next();
    return !dataSet_.Eof();
}

bool TCursorExcursion::MoveToBookmark(const TBookmark& bookmark) {
    if (!dataSet_.BookmarkValid(bookmark)) return false;
    GoToRowBookmark(dataSet_, bookmark);
    return true;
}

}  // namespace tavisto
