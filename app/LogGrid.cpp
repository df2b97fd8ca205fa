#include "app/LogGrid.h"

#include <QCursor>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "app/LogGridModel.h"

namespace tavisto {

TLogGrid::TLogGrid(QWidget* parent) : QTableView(parent), header_(new TSortHeader(this)) {
    setHorizontalHeader(header_);
    header_->setMinimumSectionSize(0);
    header_->setMaximumSectionSize(10000);
    header_->setFixedHeight(kHeaderHeight);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setShowGrid(true);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    SetUpPalette();
    connect(header_, &TSortHeader::sortRequested, this, &TLogGrid::OnSortRequested);
    connect(header_, &QHeaderView::sectionResized, this, &TLogGrid::OnSectionResized);
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, &TLogGrid::ShowScrollHint);
}

void TLogGrid::SetUpPalette() {
    QPalette colours = palette();
    // Rows alternate between the button-highlight colour and the tooltip background.
    colours.setColor(QPalette::Base, colours.color(QPalette::Light));
    colours.setColor(QPalette::AlternateBase, colours.color(QPalette::ToolTipBase));
    // Without the focus the selected row looks like any other row.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);
}

void TLogGrid::SetLogModel(TLogGridModel* model) {
    model_ = model;
    setModel(model);
    if (model == nullptr) return;
    model->SetPageSize(2 * VisibleRowCount());
    connect(model, &QAbstractItemModel::modelReset, this, &TLogGrid::OnModelReset);
    OnModelReset();
}

int TLogGrid::CurrentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int TLogGrid::VisibleRowCount() const {
    return std::max(1, height() / kRowHeight);
}

void TLogGrid::GoFirst() {
    if (model_ != nullptr && model_->rowCount() > 0) NavigateTo(0);
}

void TLogGrid::GoPrior() {
    const int row = CurrentRow();
    if (row > 0) NavigateTo(row - 1);
}

void TLogGrid::GoNext() {
    if (model_ == nullptr) return;
    const int rows = model_->rowCount();
    const int row = CurrentRow();
    if (row < 0 && rows > 0) {
        NavigateTo(0);
        if (rows > 1) NavigateTo(1);
    } else if (row >= 0 && row + 1 < rows) {
        NavigateTo(row + 1);
    }
}

void TLogGrid::GoLast() {
    if (model_ != nullptr && model_->rowCount() > 0) NavigateTo(model_->rowCount() - 1);
}

void TLogGrid::NavigateTo(int row) {
    const bool wasVisible = IsRowFullyVisible(row);
    const QModelIndex target = model_->index(row, 0);
    setCurrentIndex(target);
    if (!wasVisible) scrollTo(target, PositionAtTop);
}

bool TLogGrid::IsRowFullyVisible(int row) const {
    const int top = rowViewportPosition(row);
    return top >= 0 && top + rowHeight(row) <= viewport()->height();
}

int TLogGrid::FittedColumnWidth(int column) const {
    const int caption = header_->CaptionWidth(column);
    if (model_ == nullptr || model_->rowCount() == 0) return caption;
    const int digit = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
    return std::max(caption, model_->DisplayWidth(column) * digit + 4);
}

void TLogGrid::FitColumns() {
    if (model_ == nullptr) return;
    applyingWidths_ = true;
    for (int column = 0; column < model_->columnCount(); ++column) {
        setColumnWidth(column, FittedColumnWidth(column));
    }
    applyingWidths_ = false;
    RememberColumnShares();
}

void TLogGrid::OnModelReset() {
    // A rebuild keeps the table's order; a sort applies only when the header is clicked.
    header_->ClearSortKeys();
    FitColumns();
}

void TLogGrid::OnSortRequested(const std::vector<TSortKey>& keys) {
    if (model_ != nullptr) model_->SortRows(keys);
}

void TLogGrid::OnSectionResized() {
    if (!applyingWidths_) RememberColumnShares();
}

void TLogGrid::RememberColumnShares() {
    const int width = viewport()->width();
    columnShares_.clear();
    if (model_ == nullptr || width <= 0) return;
    for (int column = 0; column < model_->columnCount(); ++column) {
        columnShares_.push_back(static_cast<double>(columnWidth(column)) / width);
    }
}

void TLogGrid::ApplyColumnShares() {
    const int width = viewport()->width();
    if (width <= 0) return;
    applyingWidths_ = true;
    for (std::size_t column = 0; column < columnShares_.size(); ++column) {
        setColumnWidth(static_cast<int>(column),
                       static_cast<int>(std::lround(columnShares_[column] * width)));
    }
    applyingWidths_ = false;
}

void TLogGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (model_ != nullptr) model_->SetPageSize(2 * VisibleRowCount());
    ApplyColumnShares();
}

void TLogGrid::focusInEvent(QFocusEvent* event) {
    const bool hadCurrentRow = currentIndex().isValid();
    gettingFocus_ = true;
    QTableView::focusInEvent(event);
    gettingFocus_ = false;
    if (!hadCurrentRow && currentIndex().isValid()) selectionModel()->clearCurrentIndex();
}

void TLogGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (model_ != nullptr && !gettingFocus_ && current.isValid() &&
        current.row() != previous.row()) {
        model_->PositionAtRow(current.row());
    }
}

QModelIndex TLogGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // Home and End move between rows, as in a list of whole rows.
    if (model_ != nullptr && model_->rowCount() > 0) {
        const int column = std::max(0, currentIndex().column());
        if (cursorAction == MoveHome) return model_->index(0, column);
        if (cursorAction == MoveEnd) return model_->index(model_->rowCount() - 1, column);
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

void TLogGrid::keyboardSearch(const QString& search) {
    if (model_ == nullptr || model_->rowCount() == 0) return;
    if (!sinceLastKey_.isValid() || sinceLastKey_.elapsed() > kSearchPauseMs) searchText_.clear();
    sinceLastKey_.start();
    searchText_ += search;
    const int rows = model_->rowCount();
    const int start = std::max(0, CurrentRow());
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        if (model_->SearchText(row).startsWith(searchText_, Qt::CaseInsensitive)) {
            setCurrentIndex(model_->index(row, 0));
            return;
        }
    }
}

void TLogGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    PaintGridLinesBelowRows();
}

// The vertical grid lines go on below the last row, down to the bottom of the view.
void TLogGrid::PaintGridLinesBelowRows() {
    const int rows = model_ != nullptr ? model_->rowCount() : 0;
    const int top = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    if (top >= viewport()->height() || model_ == nullptr) return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const auto gridHint =
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
    QPainter painter(viewport());
    painter.setPen(QColor::fromRgba(gridHint));
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        painter.drawLine(x, std::max(0, top - 1), x, viewport()->height());
    }
}

void TLogGrid::ShowScrollHint(int topRow) {
    if (model_ == nullptr || topRow < 0 || topRow >= model_->rowCount()) return;
    const QString hint = QStringLiteral("%1 / %2\n%3")
                             .arg(topRow + 1)
                             .arg(model_->rowCount())
                             .arg(model_->SearchText(topRow));
    // The cursor is on the scroll box while it is dragged; the hint goes to its left.
    QToolTip::showText(QCursor::pos() - QPoint(160, 0), hint, this);
}

}  // namespace tavisto
