#pragma once

#include <QElapsedTimer>
#include <QTableView>
#include <vector>

#include "app/SortHeader.h"

namespace tavisto {

class TLogGridModel;

// The log grid: a read-only view of whole rows over a TLogGridModel, with striped rows of 18
// pixels, grid lines down to the bottom, header-click sorting of its own rows, incremental
// search on the first column, and columns that keep their shares of the width.
class TLogGrid : public QTableView {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 18;
    static constexpr int kHeaderHeight = 18;
    // Typed text of the incremental search is forgotten after this pause.
    static constexpr int kSearchPauseMs = 500;

    explicit TLogGrid(QWidget* parent = nullptr);

    void SetLogModel(TLogGridModel* model);
    TLogGridModel* LogModel() const { return model_; }
    TSortHeader* SortHeader() const { return header_; }

    // The grid's current row, -1 when there is none.
    int CurrentRow() const;
    // Rows that fit in the grid's height; the model reads twice as many at a time.
    int VisibleRowCount() const;

    // The navigator's moves. First: the first row, if any. Prior: the previous row; nothing
    // at the first row or without a current row. Next: the next row; nothing at the last row;
    // without a current row the second row (the only row when there is one). Last: the last
    // row, if any. A row that was outside the visible part becomes the top visible row.
    void GoFirst();
    void GoPrior();
    void GoNext();
    void GoLast();

    // Sets every column to the larger of its field's display width in digits plus 4 pixels
    // (only when there are rows) and the width its caption needs.
    void FitColumns();
    int FittedColumnWidth(int column) const;

protected:
    void keyboardSearch(const QString& search) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void SetUpPalette();
    void NavigateTo(int row);
    bool IsRowFullyVisible(int row) const;
    void OnModelReset();
    void OnSortRequested(const std::vector<TSortKey>& keys);
    void OnSectionResized();
    void ApplyColumnShares();
    void RememberColumnShares();
    void PaintGridLinesBelowRows();
    void ShowScrollHint(int topRow);

    TLogGridModel* model_ = nullptr;
    TSortHeader* header_;  // owned by the view
    QString searchText_;
    QElapsedTimer sinceLastKey_;
    // Each column's share of the viewport's width, kept while the grid is resized.
    std::vector<double> columnShares_;
    bool applyingWidths_ = false;
    // Qt makes the first row current when the view gets the focus; the grid keeps having no
    // current row until one is chosen.
    bool gettingFocus_ = false;
};

}  // namespace tavisto
