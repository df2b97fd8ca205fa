#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "LogTable.h"
#include "app/LogGrid.h"
#include "app/LogGridModel.h"

using namespace tavisto;
using tavisto::test::LogEntries;
using tavisto::test::LogTable;

namespace {

// A grid of the log window's size over an open in-memory log of count entries.
struct GridFixture {
    explicit GridFixture(int count, bool open = true) : log(LogEntries(count)) {
        model.SetColumns({{"Kalu", "KALU"},
                          {"Datum", "DATUM"},
                          {"Anwendung", "ANWENDUNG"},
                          {"Benutzer", "BENUTZER"}},
                         "KALU");
        model.SetDataSource(&log.source);
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(11);
        grid.setFont(font);
        grid.resize(565, 315);
        grid.SetLogModel(&model);
        if (open) log.table.Open();
        grid.show();
        if (!QTest::qWaitForWindowExposed(&grid)) qWarning("grid not exposed");
    }

    QString Text(int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }
    int TopRow() const { return grid.rowAt(0); }
    void ClickHeader(int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QHeaderView* header = grid.horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
    }

    LogTable log;
    TLogGridModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    TLogGrid grid;
};

enum class Move { First, Prior, Next, Last };

}  // namespace

Q_DECLARE_METATYPE(Move)

class TestLogGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settings();
    void navigator_data();
    void navigator();
    void navigatorScrollsNewRowToTop();
    void currentRowMovesTableCursor();
    void headerClicksSort();
    void ctrlClicksBuildSortOfSeveralColumns();
    void noSortOnRebuild();
    void incrementalSearch();
    void columnWidths_data();
    void columnWidths();
    void stickyColumnWidths();
    void stripesAndHiddenSelection();
    void gridLinesRunToTheBottom();
    void scrollHint();
    void everyRowShownWhenScrolledToTheEnd();
};

void TestLogGrid::settings() {
    GridFixture fixture(5);
    TLogGrid& grid = fixture.grid;
    QCOMPARE(grid.rowHeight(0), 18);
    QCOMPARE(grid.horizontalHeader()->height(), 18);
    QVERIFY(!grid.verticalHeader()->isVisible());
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!grid.horizontalHeader()->sectionsMovable());
    QVERIFY(grid.showGrid());
    QCOMPARE(grid.VisibleRowCount(), 17);
    QCOMPARE(fixture.model.PageSize(), 34);
    QCOMPARE(grid.CurrentRow(), -1);
}

void TestLogGrid::navigator_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<Move>("move");
    QTest::addColumn<int>("expected");
    QTest::newRow("First, no current row") << 5 << -1 << Move::First << 0;
    QTest::newRow("First, from the middle") << 5 << 3 << Move::First << 0;
    QTest::newRow("First, no rows") << 0 << -1 << Move::First << -1;
    QTest::newRow("Prior, no current row") << 5 << -1 << Move::Prior << -1;
    QTest::newRow("Prior, at the first row") << 5 << 0 << Move::Prior << 0;
    QTest::newRow("Prior, from the middle") << 5 << 3 << Move::Prior << 2;
    QTest::newRow("Next, no current row") << 5 << -1 << Move::Next << 1;
    QTest::newRow("Next, no current row, one row") << 1 << -1 << Move::Next << 0;
    QTest::newRow("Next, no rows") << 0 << -1 << Move::Next << -1;
    QTest::newRow("Next, from the middle") << 5 << 2 << Move::Next << 3;
    QTest::newRow("Next, at the last row") << 5 << 4 << Move::Next << 4;
    QTest::newRow("Last, no current row, all rows visible") << 5 << -1 << Move::Last << 4;
    QTest::newRow("Last, many rows") << 1000 << -1 << Move::Last << 999;
    QTest::newRow("Last, at the last row") << 5 << 4 << Move::Last << 4;
    QTest::newRow("Last, no rows") << 0 << -1 << Move::Last << -1;
}

void TestLogGrid::navigator() {
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(Move, move);
    QFETCH(int, expected);
    GridFixture fixture(rows);
    if (current >= 0) fixture.grid.setCurrentIndex(fixture.model.index(current, 0));
    switch (move) {
        case Move::First:
            fixture.grid.GoFirst();
            break;
        case Move::Prior:
            fixture.grid.GoPrior();
            break;
        case Move::Next:
            fixture.grid.GoNext();
            break;
        case Move::Last:
            fixture.grid.GoLast();
            break;
    }
    QCOMPARE(fixture.grid.CurrentRow(), expected);
    if (expected >= 0) {
        QVERIFY(fixture.grid.selectionModel()->isRowSelected(expected, {}));
        QCOMPARE(fixture.log.table.RecNo(), expected);
    }
}

// A row that comes into view through the navigator becomes the top row.
void TestLogGrid::navigatorScrollsNewRowToTop() {
    GridFixture fixture(100);
    fixture.grid.GoFirst();
    QCOMPARE(fixture.TopRow(), 0);
    int visible = 0;
    while (fixture.grid.visualRect(fixture.model.index(visible, 0)).bottom() <
           fixture.grid.viewport()->height()) {
        ++visible;
    }
    for (int row = 1; row < visible; ++row) fixture.grid.GoNext();
    QCOMPARE(fixture.grid.CurrentRow(), visible - 1);
    QCOMPARE(fixture.TopRow(), 0);
    fixture.grid.GoNext();
    QCOMPARE(fixture.grid.CurrentRow(), visible);
    QCOMPARE(fixture.TopRow(), visible);
    fixture.grid.GoPrior();
    QCOMPARE(fixture.TopRow(), visible - 1);
    fixture.grid.GoLast();
    QCOMPARE(fixture.grid.CurrentRow(), 99);
    QVERIFY(fixture.grid.visualRect(fixture.model.index(99, 0)).isValid());
}

void TestLogGrid::currentRowMovesTableCursor() {
    GridFixture fixture(50);
    fixture.grid.setFocus();
    fixture.grid.GoFirst();
    QTest::keyClick(&fixture.grid, Qt::Key_Down);
    QTest::keyClick(&fixture.grid, Qt::Key_Down);
    QCOMPARE(fixture.grid.CurrentRow(), 2);
    QCOMPARE(fixture.log.table.RecNo(), 2);
    QTest::keyClick(&fixture.grid, Qt::Key_End);
    QCOMPARE(fixture.grid.CurrentRow(), 49);
    QCOMPARE(fixture.log.table.RecNo(), 49);
    QTest::keyClick(&fixture.grid, Qt::Key_Home);
    QCOMPARE(fixture.grid.CurrentRow(), 0);
    // The table's own moves leave the grid's current row alone.
    fixture.log.table.MoveBy(10);
    QCOMPARE(fixture.grid.CurrentRow(), 0);
}

void TestLogGrid::headerClicksSort() {
    GridFixture fixture(40);
    fixture.ClickHeader(1);
    QCOMPARE(fixture.grid.SortHeader()->SortKeys(),
             (std::vector<TSortKey>{{1, Qt::AscendingOrder}}));
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00000"));
    fixture.ClickHeader(1);
    QCOMPARE(fixture.grid.SortHeader()->SortKeys(),
             (std::vector<TSortKey>{{1, Qt::DescendingOrder}}));
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00039"));
    QCOMPARE(fixture.Text(39, 0), QStringLiteral("Kalu 00000"));
    fixture.ClickHeader(1);
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00000"));
    fixture.log.table.First();
    QCOMPARE(fixture.log.table.FieldByName("KALU").DisplayText(), std::string("Kalu 00000"));
}

void TestLogGrid::ctrlClicksBuildSortOfSeveralColumns() {
    GridFixture fixture(30);
    fixture.ClickHeader(3, Qt::ControlModifier);
    fixture.ClickHeader(1, Qt::ControlModifier);
    fixture.ClickHeader(1, Qt::ControlModifier);
    QCOMPARE(fixture.grid.SortHeader()->SortKeys(),
             (std::vector<TSortKey>{{3, Qt::AscendingOrder}, {1, Qt::DescendingOrder}}));
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00027"));
    QCOMPARE(fixture.Text(10, 0), QStringLiteral("Kalu 00028"));
    fixture.ClickHeader(3, Qt::ControlModifier);
    fixture.ClickHeader(3, Qt::ControlModifier);
    QCOMPARE(fixture.grid.SortHeader()->SortKeys(),
             (std::vector<TSortKey>{{1, Qt::DescendingOrder}}));
    // A plain click drops the sort of several columns.
    fixture.ClickHeader(1, Qt::ControlModifier);
    fixture.ClickHeader(2, Qt::ControlModifier);
    fixture.ClickHeader(0);
    QCOMPARE(fixture.grid.SortHeader()->SortKeys(),
             (std::vector<TSortKey>{{0, Qt::AscendingOrder}}));
}

void TestLogGrid::noSortOnRebuild() {
    GridFixture fixture(30);
    fixture.ClickHeader(0);
    fixture.ClickHeader(0);
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00029"));
    fixture.log.table.Close();
    fixture.log.table.Open();
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00000"));
    QVERIFY(fixture.grid.SortHeader()->SortKeys().empty());
}

void TestLogGrid::incrementalSearch() {
    GridFixture fixture(300);
    fixture.grid.setFocus();
    QTest::keyClicks(&fixture.grid, "kalu 0014");
    QCOMPARE(fixture.grid.CurrentRow(), 140);
    QTest::keyClicks(&fixture.grid, "7");
    QCOMPARE(fixture.grid.CurrentRow(), 147);
    QCOMPARE(fixture.log.table.RecNo(), 147);
    // After a pause the typed text starts afresh, searching on from the current row and
    // wrapping around.
    QTest::qWait(TLogGrid::kSearchPauseMs + 100);
    QTest::keyClicks(&fixture.grid, "Kalu 0012");
    QCOMPARE(fixture.grid.CurrentRow(), 120);
    QTest::qWait(TLogGrid::kSearchPauseMs + 100);
    QTest::keyClicks(&fixture.grid, "nothing like it");
    QCOMPARE(fixture.grid.CurrentRow(), 120);
}

void TestLogGrid::columnWidths_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("no rows") << 0;
    QTest::newRow("rows") << 3;
}

void TestLogGrid::columnWidths() {
    QFETCH(int, rows);
    GridFixture fixture(rows);
    fixture.grid.FitColumns();
    const int digit = QFontMetrics(fixture.grid.font()).horizontalAdvance('0');
    const std::vector<int> displayWidths = {14, 26, 24, 24};
    for (int column = 0; column < 4; ++column) {
        const int caption = fixture.grid.SortHeader()->CaptionWidth(column);
        const int content = rows > 0 ? displayWidths[column] * digit + 4 : 0;
        QCOMPARE(fixture.grid.columnWidth(column), std::max(caption, content));
        QVERIFY(
            fixture.grid.columnWidth(column) >=
            QFontMetrics(fixture.grid.font())
                .horizontalAdvance(fixture.model.headerData(column, Qt::Horizontal).toString()));
    }
}

// The columns keep their shares of the width when the grid is resized.
void TestLogGrid::stickyColumnWidths() {
    GridFixture fixture(3);
    fixture.grid.FitColumns();
    std::vector<double> shares;
    for (int column = 0; column < 4; ++column) {
        shares.push_back(double(fixture.grid.columnWidth(column)) /
                         fixture.grid.viewport()->width());
    }
    fixture.grid.resize(900, 315);
    for (int column = 0; column < 4; ++column) {
        const double expected = shares[column] * fixture.grid.viewport()->width();
        QVERIFY(std::abs(fixture.grid.columnWidth(column) - expected) <= 0.5);
    }
    // A column the user resized keeps its new share.
    fixture.grid.horizontalHeader()->resizeSection(0, 200);
    const double share = 200.0 / fixture.grid.viewport()->width();
    fixture.grid.resize(450, 315);
    QCOMPARE(fixture.grid.columnWidth(0), qRound(share * fixture.grid.viewport()->width()));
}

void TestLogGrid::stripesAndHiddenSelection() {
    GridFixture fixture(5);
    const QPalette& colours = fixture.grid.palette();
    QVERIFY(fixture.grid.alternatingRowColors());
    QCOMPARE(colours.color(QPalette::AlternateBase),
             QApplication::palette().color(QPalette::ToolTipBase));
    QCOMPARE(colours.color(QPalette::Base), QApplication::palette().color(QPalette::Light));
    QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight).alpha(), 0);
    QCOMPARE(colours.color(QPalette::Inactive, QPalette::HighlightedText),
             colours.color(QPalette::Inactive, QPalette::Text));
    QVERIFY(colours.color(QPalette::Active, QPalette::Highlight).alpha() > 0);
}

void TestLogGrid::gridLinesRunToTheBottom() {
    GridFixture fixture(2);
    fixture.grid.FitColumns();
    const QImage image = fixture.grid.viewport()->grab().toImage();
    const int x = fixture.grid.columnViewportPosition(0) + fixture.grid.columnWidth(0) - 1;
    const int below = image.height() - 5;
    QVERIFY(below > 3 * 18);
    QCOMPARE(image.pixelColor(x, below), image.pixelColor(x, 18 + 5));
    QVERIFY(image.pixelColor(x, below) != image.pixelColor(x - 5, below));
}

void TestLogGrid::scrollHint() {
    GridFixture fixture(200);
    fixture.grid.verticalScrollBar()->setSliderDown(true);
    fixture.grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    fixture.grid.verticalScrollBar()->setSliderPosition(120);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().contains(QStringLiteral("Kalu 00120")), qPrintable(QToolTip::text()));
    QVERIFY(QToolTip::text().contains(QStringLiteral("121 / 200")));
    fixture.grid.verticalScrollBar()->setSliderDown(false);
}

void TestLogGrid::everyRowShownWhenScrolledToTheEnd() {
    GridFixture fixture(250);
    QVERIFY(250 > 2 * fixture.model.PageSize());
    for (int step = 0; step < 30; ++step) {
        QTest::keyClick(&fixture.grid, Qt::Key_PageDown);
        fixture.grid.viewport()->grab();
    }
    QVERIFY(fixture.grid.viewport()->rect().contains(
        fixture.grid.visualRect(fixture.model.index(249, 0))));
    for (int row = 0; row < 250; ++row) {
        QCOMPARE(fixture.Text(row, 0), QStringLiteral("Kalu %1").arg(row, 5, 10, QChar('0')));
        QCOMPARE(fixture.Text(row, 3), QStringLiteral("user%1").arg(row % 3));
    }
}

QTEST_MAIN(TestLogGrid)
#include "tst_LogGrid.moc"
