#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <deque>
#include <string>
#include <vector>

#include "app/GridRows.h"
#include "app/SortHeader.h"
#include "db/DataSource.h"

namespace tavisto {

class TCursorExcursion;
class TDataSet;
class TField;
class TSortKeys;

// The log grid's rows, read from a data set through a data source. It makes one row per record
// when the data set opens or its data change, reads the rows' texts a page at a time when the
// view asks for them, keeps a bookmark for every row it has read, and keeps the texts of only a
// few pages. Sorting reorders its own rows; the data set's order never changes.
class TLogGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The texts of a page are kept for this many of the most recently read pages.
    static constexpr std::size_t kCachedPages = 8;

    // A grid column: its caption and the field it shows.
    struct TColumn {
        QString caption;
        std::string fieldName;
    };

    explicit TLogGridModel(QObject* parent = nullptr);

    // The columns in order and the field whose text the incremental search compares.
    void SetColumns(std::vector<TColumn> columns, std::string rootDataField);
    void SetDataSource(TDataSource* source);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows read at a time; at least 1.
    void SetPageSize(int rows);
    int PageSize() const { return pageSize_; }
    // The display width, in characters, of the field a column shows; 0 without such a field.
    int DisplayWidth(int column) const;
    // The text of the root data field in row; what the incremental search compares.
    QString SearchText(int row) const;

    // Reorders the rows by the keys' cell texts, compared as texts ignoring case; rows with
    // equal texts keep their order. No keys: the rows stay as they are.
    void SortRows(const std::vector<TSortKey>& keys);
    // Makes the row's record the data set's current record, unless its controls are disabled.
    void PositionAtRow(int row);

    // Makes the rows again from the data set: one per record, in table order, none read.
    void Rebuild();

Q_SIGNALS:
    // Reading the data set failed; message is for the error box.
    void readFailed(const QString& message) const;

private:
    class TLink : public TDataLink {
    public:
        explicit TLink(TLogGridModel& model) : model_(model) {}

    protected:
        void ActiveChanged() override { model_.Rebuild(); }
        void DataSetChanged() override;
        void DataSetScrolled(int /*distance*/) override {}
        void RecordChanged(TField* field) override;

    private:
        TLogGridModel& model_;
    };

    // The texts of pageRows rows from grid row first on: the main text, then one per column.
    struct TPage {
        int first;
        std::vector<QStringList> rows;
    };

    TDataSet* ActiveDataSet() const;
    void BindFields();
    const QStringList* CachedTexts(int row) const;
    const QStringList& RowTexts(int row) const;
    void ReadPage(int first) const;
    QStringList ReadTexts() const;
    bool MoveToRecord(TCursorExcursion& cursor, int ordinal, int& lastOrdinal) const;
    bool ReadSortKeysInOnePass(TDataSet& dataSet, const std::vector<const TField*>& fields,
                               TSortKeys& keys) const;
    void ReadSortKeysRecordByRecord(TDataSet& dataSet, const std::vector<const TField*>& fields,
                                    TSortKeys& keys) const;
    void ScheduleStaleRowRemoval() const;
    bool IsStale(int row) const;
    void RemoveStaleRows();
    void ClearTexts();

    TLink link_{*this};
    std::vector<TColumn> columns_;
    std::string rootDataField_;
    // Fields bound at the last rebuild: the root data field, then one per column (null when
    // the data set has no such field).
    std::vector<TField*> fields_;
    mutable TGridRows rows_;
    mutable std::deque<TPage> pages_;
    mutable std::vector<int> staleRows_;
    int pageSize_ = 2;
    // The model itself is moving the data set's cursor; what the links hear meanwhile is its
    // own doing.
    mutable bool ownMove_ = false;
};

}  // namespace tavisto
