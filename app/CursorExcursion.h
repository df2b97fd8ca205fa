#pragma once

#include "db/DbTypes.h"

namespace tavisto {

class TDataSet;

// Makes the bookmark's record current. Raises EDatabaseError "Can't find a record in the dataset
// ..." (naming the data set) when the data set cannot go there.
void GoToRowBookmark(TDataSet& dataSet, const TBookmark& bookmark);

// The grid's reads of a data set: for its lifetime the data links hear nothing and the cursor
// may move; afterwards the cursor goes back to the record it was on (when that still exists)
// and the links are told once.
class TCursorExcursion {
public:
    explicit TCursorExcursion(TDataSet& dataSet);
    ~TCursorExcursion();
    TCursorExcursion(const TCursorExcursion&) = delete;
    TCursorExcursion& operator=(const TCursorExcursion&) = delete;

    // Makes the ordinal-th record (0 is the first) active; false when there are fewer records.
    // Record numbers, where the data set keeps them, save walking from the first record.
    bool MoveToOrdinal(int ordinal);
    // Makes the next record active; false at the end.
    bool MoveNext();
    // Makes the bookmark's record active; false when the data set no longer knows it. Raises
    // EDatabaseError "Can't find a record in the dataset ..." when going there fails.
    bool MoveToBookmark(const TBookmark& bookmark);

private:
    TDataSet& dataSet_;
    TBookmark saved_;
    // The record number of the first record once known; below 0 before, and for a data set
    // without record numbers.
    int firstRecordNumber_ = -1;
};

}  // namespace tavisto
