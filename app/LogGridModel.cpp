#include "app/LogGridModel.h"

namespace tavisto {

TLogGridModel::TLogGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int TLogGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 0;
}

int TLogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant TLogGridModel::data(const QModelIndex&, int) const {
    return {};
}

QVariant TLogGridModel::headerData(int, Qt::Orientation, int) const {
    return {};
}

Qt::ItemFlags TLogGridModel::flags(const QModelIndex&) const {
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TLogGridModel::SetPageSize(int rows) {
    pageSize_ = rows;
}

int TLogGridModel::DisplayWidth(int) const {
    return 0;
}

void TLogGridModel::SortRows(const std::vector<TSortKey>&) {}

void TLogGridModel::PositionAtRow(int) {}

QString TLogGridModel::SearchText(int) const {
    return {};
}

}  // namespace tavisto
