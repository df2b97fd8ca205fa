// TLogGridModel: reading rows from the data set and following the current row.

#include <QMetaObject>
#include <QScopedValueRollback>
#include <algorithm>

#include "app/CursorExcursion.h"
#include "app/LogGridModel.h"
#include "app/MessageDialog.h"
#include "app/TextDecoding.h"
#include "db/DataSet.h"

namespace tavisto {

// Goes to the record counted as ordinal: through its bookmark when it has one, else by its
// ordinal, walking on from the record read just before when that is the one in front of it.
// False when the record is not there (any more).
bool TLogGridModel::MoveToRecord(TCursorExcursion& cursor, int ordinal, int& lastOrdinal) const {
    bool found = false;
    if (rows_.HasBookmark(ordinal)) {
        found = cursor.MoveToBookmark(rows_.Bookmark(ordinal));
    } else if (lastOrdinal >= 0 && lastOrdinal + 1 == ordinal) {
        found = cursor.MoveNext();
    } else {
        found = cursor.MoveToOrdinal(ordinal);
    }
    lastOrdinal = found ? ordinal : -1;
    if (found) rows_.SetBookmark(ordinal, link_.DataSet()->GetBookmark());
    return found;
}

QStringList TLogGridModel::ReadTexts() const {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(fields_.size()));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const TField* field = fields_[i];
        // A column of the root data field shows the text already read.
        if (i > 0 && field != nullptr && field == fields_[0]) {
            texts.push_back(texts.front());
        } else {
            texts.push_back(field != nullptr ? DecodeText(field->DisplayText()) : QString());
        }
    }
    return texts;
}

void TLogGridModel::ReadPage(int first) const {
    TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr || first < 0 || first >= rows_.Count()) return;
    const int end = std::min(rows_.Count(), first + pageSize_);
    TPage page{first, {}};
    page.rows.reserve(end - first);
    try {
        const QScopedValueRollback ownMove(ownMove_, true);
        TCursorExcursion cursor(*dataSet);
        int lastOrdinal = -1;
        for (int row = first; row < end; ++row) {
            if (MoveToRecord(cursor, rows_.OrdinalAt(row), lastOrdinal)) {
                page.rows.push_back(ReadTexts());
            } else {
                staleRows_.push_back(row);
                page.rows.emplace_back();
            }
        }
    } catch (const std::exception& error) {
        // The rest of the page stays blank rather than being asked for again at every paint.
        page.rows.resize(end - first);
        Q_EMIT readFailed(ErrorBoxText(error.what()));
    }
    pages_.push_front(std::move(page));
    if (pages_.size() > kCachedPages) pages_.pop_back();
    ScheduleStaleRowRemoval();
}

// Rows go away outside the read that found them: the view may be painting.
void TLogGridModel::ScheduleStaleRowRemoval() const {
    if (staleRows_.empty()) return;
    auto* self = const_cast<TLogGridModel*>(this);
    QMetaObject::invokeMethod(self, &TLogGridModel::RemoveStaleRows, Qt::QueuedConnection);
}

bool TLogGridModel::IsStale(int row) const {
    const TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr || row >= rows_.Count()) return false;
    const int ordinal = rows_.OrdinalAt(row);
    return rows_.HasBookmark(ordinal) ? !dataSet->BookmarkValid(rows_.Bookmark(ordinal))
                                      : ordinal >= dataSet->RecordCount();
}

void TLogGridModel::RemoveStaleRows() {
    std::vector<int> stale = std::move(staleRows_);
    staleRows_.clear();
    std::sort(stale.begin(), stale.end(), std::greater<>());
    stale.erase(std::unique(stale.begin(), stale.end()), stale.end());
    bool removed = false;
    for (const int row : stale) {
        if (!IsStale(row)) continue;
        beginRemoveRows({}, row, row);
        rows_.RemoveRow(row);
        endRemoveRows();
        removed = true;
    }
    if (removed) ClearTexts();
}

void TLogGridModel::PositionAtRow(int row) {
    TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr || dataSet->ControlsDisabled() || row < 0 || row >= rows_.Count()) {
        return;
    }
    const int ordinal = rows_.OrdinalAt(row);
    if (!rows_.HasBookmark(ordinal)) ReadPage(row);
    const TBookmark bookmark = rows_.Bookmark(ordinal);
    if (!dataSet->BookmarkValid(bookmark)) return;
    try {
        const QScopedValueRollback ownMove(ownMove_, true);
        GoToRowBookmark(*dataSet, bookmark);
    } catch (const std::exception& error) {
        Q_EMIT readFailed(ErrorBoxText(error.what()));
    }
}

}  // namespace tavisto
