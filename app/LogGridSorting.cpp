// TLogGridModel: sorting the grid's rows by the texts of some of its columns.

#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <typeinfo>

#include "app/CursorExcursion.h"
#include "app/LogGridModel.h"
#include "app/MessageDialog.h"
#include "app/SortKeys.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"

namespace tavisto {

namespace {

// A date-time field shown as "yyyy-mm-dd hh:nn:ss": its texts order as its values in whole
// seconds do, and those are much cheaper to read than the texts are to format.
bool ShowsChronologicalText(const TField* field) {
    const auto* dateTime = dynamic_cast<const TDateTimeField*>(field);
    return dateTime != nullptr && field->DataType() == ftDateTime &&
           dateTime->DisplayFormat() == "yyyy-mm-dd hh:nn:ss";
}

// A plain text field shows its value as it is; a class derived from it might not.
bool ShowsItsValue(const TField* field) {
    return field != nullptr && typeid(*field) == typeid(TStringField);
}

// A date-time value in buffer form (milliseconds since the start of year 1) in whole seconds;
// none for a null value.
std::optional<std::uint64_t> WholeSeconds(const void* value) {
    if (value == nullptr) return std::nullopt;
    double milliseconds = 0;
    std::memcpy(&milliseconds, value, sizeof milliseconds);
    const double seconds = std::floor(milliseconds / 1000);
    return seconds >= 0 ? static_cast<std::uint64_t>(seconds) : 0;
}

// Adds the sort key of field's value (in buffer form, null for none) for the next record.
void AppendValue(TSortKeys& keys, int key, const void* value) {
    if (keys.Kind(key) == TSortKeys::TKind::Number) {
        keys.AppendNumber(key, WholeSeconds(value));
    } else {
        keys.AppendText(key, value != nullptr ? static_cast<const char*>(value) : "");
    }
}

// Adds the sort key of field in the current record (none when there is no field) for the next
// record.
void AppendCurrent(TSortKeys& keys, int key, const TField* field) {
    if (keys.Kind(key) == TSortKeys::TKind::Number) {
        alignas(double) std::byte value[sizeof(double)];
        const bool present = field != nullptr && field->GetData(value);
        keys.AppendNumber(key, WholeSeconds(present ? value : nullptr));
    } else {
        keys.AppendText(key, field != nullptr ? field->DisplayText() : std::string());
    }
}

}  // namespace

// Reads the keys of every record straight from the engine's storage, taking each record's
// bookmark on the way. False, with the keys empty, when the engine cannot, or when its records
// no longer agree with the rows; those are left to the walk, which finds stale rows.
bool TLogGridModel::ReadSortKeysInOnePass(TDataSet& dataSet,
                                          const std::vector<const TField*>& fields,
                                          TSortKeys& keys) const {
    const int records = rows_.Ordinals();
    if (dataSet.RecordCount() != records) return false;
    for (int key = 0; key < keys.Keys(); ++key) {
        const TField* field = fields[key];
        const bool chronological = keys.Kind(key) == TSortKeys::TKind::Number;
        if (field == nullptr || (!chronological && !ShowsItsValue(field))) return false;
    }
    for (int key = 0; key < keys.Keys(); ++key) {
        int ordinal = 0;
        bool agrees = true;
        const bool read = dataSet.ReadFieldOfEveryRecord(
            *fields[key], [&](const char* bookmark, const void* value) {
                agrees = agrees && ordinal < records && rows_.AgreesWith(ordinal, bookmark);
                if (!agrees) return;
                rows_.SetBookmark(ordinal, bookmark);
                AppendValue(keys, key, value);
                ++ordinal;
            });
        if (!read || !agrees || ordinal != records) {
            keys.Clear();
            return false;
        }
    }
    return true;
}

// Reads the keys record by record through the cursor, in table order; a row whose record is
// gone is marked stale and sorts as empty.
void TLogGridModel::ReadSortKeysRecordByRecord(TDataSet& dataSet,
                                               const std::vector<const TField*>& fields,
                                               TSortKeys& keys) const {
    std::vector<int> rowOfOrdinal(rows_.Ordinals(), -1);
    for (int row = 0; row < rows_.Count(); ++row) rowOfOrdinal[rows_.OrdinalAt(row)] = row;
    const QScopedValueRollback ownMove(ownMove_, true);
    TCursorExcursion cursor(dataSet);
    int lastOrdinal = -1;
    for (int ordinal = 0; ordinal < rows_.Ordinals(); ++ordinal) {
        const int row = rowOfOrdinal[ordinal];
        const bool found = row >= 0 && MoveToRecord(cursor, ordinal, lastOrdinal);
        if (row >= 0 && !found) staleRows_.push_back(row);
        for (int key = 0; key < keys.Keys(); ++key) {
            AppendCurrent(keys, key, found ? fields[key] : nullptr);
        }
    }
}

void TLogGridModel::SortRows(const std::vector<TSortKey>& keys) {
    TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr || keys.empty() || rows_.Count() == 0) return;
    std::vector<Qt::SortOrder> orders;
    std::vector<const TField*> keyFields;
    std::vector<TSortKeys::TKind> kinds;
    for (const TSortKey& key : keys) {
        orders.push_back(key.order);
        keyFields.push_back(fields_[key.column + 1]);
        kinds.push_back(ShowsChronologicalText(keyFields.back()) ? TSortKeys::TKind::Number
                                                                 : TSortKeys::TKind::Text);
    }
    TSortKeys sortKeys(rows_.Ordinals(), kinds);
    try {
        if (!ReadSortKeysInOnePass(*dataSet, keyFields, sortKeys)) {
            ReadSortKeysRecordByRecord(*dataSet, keyFields, sortKeys);
        }
    } catch (const std::exception& error) {
        Q_EMIT readFailed(ErrorBoxText(error.what()));
        return;
    }
    const std::vector<int> order = sortKeys.SortedOrder(rows_.OrdinalsOfRows(), orders);
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

}  // namespace tavisto
