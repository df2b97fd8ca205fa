// TLogGridModel: reading rows from the data set, sorting them, and following the current row.

#include <QMetaObject>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/CursorExcursion.h"
#include "app/LogGridModel.h"
#include "app/MessageDialog.h"
#include "app/SortTexts.h"
#include "app/TextDecoding.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"

namespace tavisto {

namespace {

// A date-time field shown as "yyyy-mm-dd hh:nn:ss": its texts order as its values in whole
// seconds do, and those are much cheaper to read than the texts are to format.
bool ShowsChronologicalText(const TField* field) {
    const auto* dateTime = dynamic_cast<const TDateTimeField*>(field);
    return dateTime != nullptr && field->DataType() == ftDateTime &&
           dateTime->DisplayFormat() == "yyyy-mm-dd hh:nn:ss";
}

// The value in whole seconds since the start of year 1; none for an empty field.
std::optional<std::uint64_t> WholeSeconds(const TField& field) {
    double milliseconds = 0;
    if (!field.GetData(&milliseconds)) return std::nullopt;
    return static_cast<std::uint64_t>(std::floor(milliseconds / 1000));
}

}  // namespace

// Goes to row's record: through its bookmark when it has one, else by its ordinal, walking on
// from the record of the row read just before when that is the record in front of it. False
// when the record is not there (any more).
bool TLogGridModel::MoveToRow(TCursorExcursion& cursor, int row, int& lastOrdinal) const {
    const int ordinal = rows_.OrdinalAt(row);
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
            if (MoveToRow(cursor, row, lastOrdinal)) {
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

void TLogGridModel::SortRows(const std::vector<TSortKey>& keys) {
    TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr || keys.empty() || rows_.Count() == 0) return;
    TSortTexts texts(rows_.Count(), static_cast<int>(keys.size()));
    std::vector<Qt::SortOrder> orders;
    std::vector<const TField*> keyFields;
    std::vector<bool> byValue;
    for (const TSortKey& key : keys) {
        orders.push_back(key.order);
        keyFields.push_back(fields_[key.column + 1]);
        byValue.push_back(ShowsChronologicalText(keyFields.back()));
    }
    try {
        const QScopedValueRollback ownMove(ownMove_, true);
        TCursorExcursion cursor(*dataSet);
        int lastOrdinal = -1;
        for (int row = 0; row < rows_.Count(); ++row) {
            const bool found = MoveToRow(cursor, row, lastOrdinal);
            if (!found) staleRows_.push_back(row);
            for (std::size_t key = 0; key < keys.size(); ++key) {
                const TField* field = found ? keyFields[key] : nullptr;
                if (byValue[key]) {
                    texts.AppendNumber(field != nullptr ? WholeSeconds(*field) : std::nullopt);
                } else {
                    texts.Append(field != nullptr ? field->DisplayText() : std::string());
                }
            }
        }
    } catch (const std::exception& error) {
        Q_EMIT readFailed(ErrorBoxText(error.what()));
        return;
    }
    const std::vector<int> order = texts.SortedOrder(orders);
    Q_EMIT layoutAboutToBeChanged({}, VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        newRowOf[order[row]] = static_cast<int>(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.push_back(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(before, after);
    rows_.Reorder(order);
    for (int& row : staleRows_) row = newRowOf[row];
    ClearTexts();
    Q_EMIT layoutChanged({}, VerticalSortHint);
    ScheduleStaleRowRemoval();
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
