#include "app/LogGridModel.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "app/CursorExcursion.h"
#include "app/MessageDialog.h"
#include "app/TextDecoding.h"
#include "db/DataSet.h"

namespace tavisto {

void TLogGridModel::TLink::DataSetChanged() {
    if (!model_.ownMove_) model_.Rebuild();
}

void TLogGridModel::TLink::RecordChanged(TField* /*field*/) {
    if (model_.ownMove_ || model_.rows_.Count() == 0) return;
    model_.ClearTexts();
    Q_EMIT model_.dataChanged(model_.index(0, 0),
                              model_.index(model_.rows_.Count() - 1, model_.columnCount() - 1));
}

TLogGridModel::TLogGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TLogGridModel::SetColumns(std::vector<TColumn> columns, std::string rootDataField) {
    beginResetModel();
    columns_ = std::move(columns);
    rootDataField_ = std::move(rootDataField);
    BindFields();
    pages_.clear();
    endResetModel();
}

void TLogGridModel::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    Rebuild();
}

TDataSet* TLogGridModel::ActiveDataSet() const {
    return link_.Active() ? link_.DataSet() : nullptr;
}

void TLogGridModel::BindFields() {
    fields_.clear();
    const TDataSet* dataSet = ActiveDataSet();
    if (dataSet == nullptr) return;
    fields_.push_back(dataSet->FindField(rootDataField_));
    for (const TColumn& column : columns_) fields_.push_back(dataSet->FindField(column.fieldName));
}

void TLogGridModel::Rebuild() {
    beginResetModel();
    ClearTexts();
    staleRows_.clear();
    BindFields();
    const TDataSet* dataSet = ActiveDataSet();
    rows_.Reset(dataSet != nullptr ? dataSet->RecordCount() : 0,
                dataSet != nullptr ? dataSet->BookmarkSize() : 0);
    endResetModel();
}

int TLogGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.Count();
}

int TLogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TLogGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return RowTexts(index.row()).value(index.column() + 1);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant TLogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return columns_[section].caption;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

Qt::ItemFlags TLogGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TLogGridModel::SetPageSize(int rows) {
    pageSize_ = std::max(1, rows);
}

int TLogGridModel::DisplayWidth(int column) const {
    const TDataSet* dataSet = link_.DataSet();
    if (dataSet == nullptr || column < 0 || column >= columnCount()) return 0;
    const TField* field = dataSet->FindField(columns_[column].fieldName);
    return field != nullptr ? field->DisplayWidth() : 0;
}

QString TLogGridModel::SearchText(int row) const {
    if (row < 0 || row >= rows_.Count()) return {};
    return RowTexts(row).value(0);
}

const QStringList* TLogGridModel::CachedTexts(int row) const {
    for (const TPage& page : pages_) {
        const int offset = row - page.first;
        if (offset >= 0 && offset < static_cast<int>(page.rows.size())) return &page.rows[offset];
    }
    return nullptr;
}

const QStringList& TLogGridModel::RowTexts(int row) const {
    if (const QStringList* texts = CachedTexts(row)) return *texts;
    ReadPage(row);
    if (const QStringList* texts = CachedTexts(row)) return *texts;
    static const QStringList kNoTexts;
    return kNoTexts;
}

void TLogGridModel::ClearTexts() {
    pages_.clear();
}

}  // namespace tavisto
