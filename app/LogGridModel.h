#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "app/SortHeader.h"

namespace tavisto {

// The rows of the log table as the grid shows them.
class TLogGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TLogGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetPageSize(int rows);
    int DisplayWidth(int column) const;
    void SortRows(const std::vector<TSortKey>& keys);
    void PositionAtRow(int row);
    QString SearchText(int row) const;

private:
    int pageSize_ = 2;
};

}  // namespace tavisto
