#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include "LogTable.h"
#include "app/LogGridModel.h"

using namespace tavisto;
using tavisto::test::LogEntries;
using tavisto::test::LogTable;

namespace {

std::vector<TLogGridModel::TColumn> LogColumns() {
    return {
        {"Kalu", "KALU"}, {"Datum", "DATUM"}, {"Anwendung", "ANWENDUNG"}, {"Benutzer", "BENUTZER"}};
}

// A model over a log table, checked by QAbstractItemModelTester all along.
struct ModelFixture {
    explicit ModelFixture(std::vector<std::vector<std::string>> rows, int pageSize = 10)
        : log(std::move(rows)) {
        model.SetColumns(LogColumns(), "KALU");
        model.SetPageSize(pageSize);
        model.SetDataSource(&log.source);
    }

    QString Text(int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }

    LogTable log;
    TLogGridModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class TestLogGridModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closedTable();
    void rowsFollowActivation();
    void cellTexts_data();
    void cellTexts();
    void readsOnePageOnDemand();
    void readKeepsCursorAndRebuildsNothing();
    void rebuildsOnDataChange();
    void rowWithStaleBookmarkIsRemoved_data();
    void rowWithStaleBookmarkIsRemoved();
    void sortsRowsOnly_data();
    void sortsRowsOnly();
    void sortOnSeveralKeys_data();
    void sortOnSeveralKeys();
    void sortOfSortedRows_data();
    void sortOfSortedRows();
    void sortKeepsSelection();
    void currentRowMovesCursor();
    void noMoveWhileControlsDisabled();
    void displayWidths();
};

void TestLogGridModel::closedTable() {
    ModelFixture fixture(LogEntries(5));
    QCOMPARE(fixture.model.rowCount(), 0);
    QCOMPARE(fixture.model.columnCount(), 4);
    const QStringList captions = {"Kalu", "Datum", "Anwendung", "Benutzer"};
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(fixture.model.headerData(column, Qt::Horizontal).toString(), captions[column]);
    }
    QVERIFY(!fixture.model.headerData(4, Qt::Horizontal).isValid());
    QCOMPARE(fixture.model.SearchText(0), QString());
}

void TestLogGridModel::rowsFollowActivation() {
    ModelFixture fixture(LogEntries(25));
    QSignalSpy resets(&fixture.model, &QAbstractItemModel::modelReset);
    fixture.log.table.Open();
    QCOMPARE(fixture.model.rowCount(), 25);
    QCOMPARE(resets.count(), 1);
    fixture.log.table.Close();
    QCOMPARE(fixture.model.rowCount(), 0);
    QCOMPARE(resets.count(), 2);
}

void TestLogGridModel::cellTexts_data() {
    QTest::addColumn<QByteArray>("kalu");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ascii") << QByteArray("Projekt 1584/53") << "Projekt 1584/53";
    QTest::newRow("cp1252") << QByteArray(
                                   "Pr\xFC"
                                   "fung")
                            << "Prüfung";
    QTest::newRow("utf-8") << QByteArray(
                                  "Pr\xC3\xBC"
                                  "fung")
                           << "Prüfung";
    QTest::newRow("cut to the field's 80 characters") << QByteArray(100, 'x') << QString(80, 'x');
    QTest::newRow("empty") << QByteArray() << "";
}

void TestLogGridModel::cellTexts() {
    QFETCH(QByteArray, kalu);
    QFETCH(QString, shown);
    ModelFixture fixture({{kalu.toStdString(), "2006-03-04 05:06:07", "Kalkulation", "weber"}});
    fixture.log.table.Open();
    QCOMPARE(fixture.Text(0, 0), shown);
    QCOMPARE(fixture.Text(0, 1), QStringLiteral("2006-03-04 05:06:07"));
    QCOMPARE(fixture.Text(0, 2), QStringLiteral("Kalkulation"));
    QCOMPARE(fixture.Text(0, 3), QStringLiteral("weber"));
    QCOMPARE(fixture.model.SearchText(0), shown);
    QCOMPARE(
        fixture.model.data(fixture.model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignLeft | Qt::AlignVCenter);
    QVERIFY(!fixture.model.data(fixture.model.index(0, 0), Qt::DecorationRole).isValid());
    QVERIFY(!(fixture.model.flags(fixture.model.index(0, 0)) & Qt::ItemIsEditable));
}

// A row's texts come with the rest of its page, and only then.
void TestLogGridModel::readsOnePageOnDemand() {
    ModelFixture fixture(LogEntries(1000), 10);
    fixture.log.table.Open();
    const int afterOpen = fixture.log.table.Fetches();
    QCOMPARE(fixture.Text(500, 0), QStringLiteral("Kalu 00500"));
    const int pageRead = fixture.log.table.Fetches() - afterOpen;
    QVERIFY2(pageRead >= 10 && pageRead <= 20, qPrintable(QString::number(pageRead)));
    for (int row = 500; row < 510; ++row) {
        QCOMPARE(fixture.Text(row, 1), QString::fromStdString(LogEntries(row + 1)[row][1]));
    }
    QCOMPARE(fixture.log.table.Fetches() - afterOpen, pageRead);
    QCOMPARE(fixture.Text(999, 0), QStringLiteral("Kalu 00999"));
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00000"));
    QVERIFY(fixture.log.table.Fetches() - afterOpen < 4 * pageRead);
}

void TestLogGridModel::readKeepsCursorAndRebuildsNothing() {
    ModelFixture fixture(LogEntries(100), 10);
    fixture.log.table.Open();
    fixture.log.table.MoveBy(42);
    QSignalSpy resets(&fixture.model, &QAbstractItemModel::modelReset);
    QCOMPARE(fixture.Text(70, 3), QStringLiteral("user1"));
    QCOMPARE(fixture.log.table.RecNo(), 42);
    QVERIFY(!fixture.log.table.ControlsDisabled());
    QCOMPARE(resets.count(), 0);
}

void TestLogGridModel::rebuildsOnDataChange() {
    ModelFixture fixture(LogEntries(30), 10);
    fixture.log.table.Open();
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00000"));
    fixture.log.table.Rows().push_back(LogEntries(31)[30]);
    QSignalSpy resets(&fixture.model, &QAbstractItemModel::modelReset);
    fixture.log.table.Resync();
    QCOMPARE(resets.count(), 1);
    QCOMPARE(fixture.model.rowCount(), 31);
    QCOMPARE(fixture.Text(30, 0), QStringLiteral("Kalu 00030"));
}

void TestLogGridModel::rowWithStaleBookmarkIsRemoved_data() {
    sortOnSeveralKeys_data();
}

// The table reads in one pass only records that agree with the rows; these no longer do.
void TestLogGridModel::rowWithStaleBookmarkIsRemoved() {
    QFETCH(bool, onePass);
    ModelFixture fixture(LogEntries(30), 10);
    fixture.log.table.SetReadsInOnePass(onePass);
    fixture.log.table.Open();
    QCOMPARE(fixture.Text(25, 0), QStringLiteral("Kalu 00025"));
    // The records behind rows 28 and 29 go away without the framework telling the links.
    fixture.log.table.Rows().resize(28);
    QSignalSpy removed(&fixture.model, &QAbstractItemModel::rowsRemoved);
    fixture.model.SortRows({{0, Qt::DescendingOrder}});
    QCOMPARE(fixture.model.rowCount(), 30);
    QTRY_COMPARE(fixture.model.rowCount(), 28);
    QCOMPARE(removed.count(), 2);
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00027"));
    QCOMPARE(fixture.Text(27, 0), QStringLiteral("Kalu 00000"));
}

void TestLogGridModel::sortsRowsOnly_data() {
    QTest::addColumn<bool>("onePass");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("firstKalu");
    QTest::addColumn<QString>("lastKalu");
    // The table reads a field of every record in one pass, or the model walks the records.
    for (const bool onePass : {false, true}) {
        const char* way = onePass ? " in one pass" : " record by record";
        // Kalu 00042 has no date.
        QTest::addRow("Datum ascending%s", way)
            << onePass << 1 << int(Qt::AscendingOrder) << "Kalu 00042"
            << "Kalu 00119";
        QTest::addRow("Datum descending%s", way)
            << onePass << 1 << int(Qt::DescendingOrder) << "Kalu 00119"
            << "Kalu 00042";
        // Equal texts keep their order: user0 holds rows 0, 3, ..., 117; user2 ends with 119.
        QTest::addRow("Benutzer ascending%s", way)
            << onePass << 3 << int(Qt::AscendingOrder) << "Kalu 00000"
            << "Kalu 00119";
        QTest::addRow("Benutzer descending%s", way)
            << onePass << 3 << int(Qt::DescendingOrder) << "Kalu 00002"
            << "Kalu 00117";
    }
}

void TestLogGridModel::sortsRowsOnly() {
    QFETCH(bool, onePass);
    QFETCH(int, column);
    QFETCH(int, order);
    auto rows = LogEntries(120);
    std::reverse(rows.begin() + 40, rows.begin() + 80);
    // An entry without a date sorts as an empty text.
    rows[77][1].clear();
    ModelFixture fixture(rows, 10);
    fixture.log.table.SetReadsInOnePass(onePass);
    fixture.log.table.Open();
    fixture.log.table.MoveBy(7);
    fixture.model.SortRows({{column, static_cast<Qt::SortOrder>(order)}});
    QCOMPARE(fixture.log.table.OnePassReads(), onePass ? 1 : 0);
    QFETCH(QString, firstKalu);
    QFETCH(QString, lastKalu);
    QCOMPARE(fixture.Text(0, 0), firstKalu);
    QCOMPARE(fixture.Text(119, 0), lastKalu);
    QStringList shown;
    for (int row = 0; row < 120; ++row) shown << fixture.Text(row, column);
    QStringList expected = shown;
    std::stable_sort(expected.begin(), expected.end());
    if (order == Qt::DescendingOrder) std::reverse(expected.begin(), expected.end());
    QCOMPARE(shown, expected);
    // The table keeps its order and its cursor.
    QCOMPARE(fixture.log.table.RecNo(), 7);
    fixture.log.table.First();
    QCOMPARE(fixture.log.table.FieldByName("KALU").DisplayText(), std::string("Kalu 00000"));
}

void TestLogGridModel::sortOnSeveralKeys_data() {
    QTest::addColumn<bool>("onePass");
    QTest::newRow("record by record") << false;
    QTest::newRow("in one pass") << true;
}

void TestLogGridModel::sortOnSeveralKeys() {
    QFETCH(bool, onePass);
    ModelFixture fixture(LogEntries(60), 10);
    fixture.log.table.SetReadsInOnePass(onePass);
    fixture.log.table.Open();
    fixture.model.SortRows({{3, Qt::AscendingOrder}, {1, Qt::DescendingOrder}});
    QCOMPARE(fixture.Text(0, 3), QStringLiteral("user0"));
    QCOMPARE(fixture.Text(0, 0), QStringLiteral("Kalu 00057"));
    QCOMPARE(fixture.Text(19, 0), QStringLiteral("Kalu 00000"));
    QCOMPARE(fixture.Text(20, 3), QStringLiteral("user1"));
    QCOMPARE(fixture.Text(20, 0), QStringLiteral("Kalu 00058"));
}

// A sort starts from the rows as the last sort left them: equal keys keep that order.
void TestLogGridModel::sortOfSortedRows_data() {
    sortOnSeveralKeys_data();
}

void TestLogGridModel::sortOfSortedRows() {
    QFETCH(bool, onePass);
    auto rows = LogEntries(90);
    // Thirty entries at each of three moments, in no order of their Kalu.
    for (int i = 0; i < 90; ++i)
        rows[i][1] = "2006-01-0" + std::to_string(1 + i * 7 % 3) + " 12:00:00";
    ModelFixture fixture(rows, 10);
    fixture.log.table.SetReadsInOnePass(onePass);
    fixture.log.table.Open();
    fixture.model.SortRows({{0, Qt::DescendingOrder}});
    fixture.model.SortRows({{1, Qt::AscendingOrder}});
    QStringList expected;
    for (const int day : {1, 2, 3}) {
        for (int i = 89; i >= 0; --i) {
            if (1 + i * 7 % 3 == day) expected << QString::asprintf("Kalu %05d", i);
        }
    }
    QStringList shown;
    for (int row = 0; row < 90; ++row) shown << fixture.Text(row, 0);
    QCOMPARE(shown, expected);
}

void TestLogGridModel::sortKeepsSelection() {
    ModelFixture fixture(LogEntries(50), 10);
    fixture.log.table.Open();
    const QPersistentModelIndex chosen = fixture.model.index(10, 2);
    fixture.model.SortRows({{0, Qt::DescendingOrder}});
    QCOMPARE(chosen.row(), 39);
    QCOMPARE(chosen.column(), 2);
    QCOMPARE(fixture.Text(chosen.row(), 0), QStringLiteral("Kalu 00010"));
}

void TestLogGridModel::currentRowMovesCursor() {
    ModelFixture fixture(LogEntries(200), 10);
    fixture.log.table.Open();
    QSignalSpy resets(&fixture.model, &QAbstractItemModel::modelReset);
    fixture.model.PositionAtRow(150);
    QCOMPARE(fixture.log.table.RecNo(), 150);
    fixture.model.SortRows({{1, Qt::DescendingOrder}});
    fixture.model.PositionAtRow(0);
    QCOMPARE(fixture.log.table.FieldByName("KALU").DisplayText(), std::string("Kalu 00199"));
    QCOMPARE(resets.count(), 0);
}

void TestLogGridModel::noMoveWhileControlsDisabled() {
    ModelFixture fixture(LogEntries(20), 10);
    fixture.log.table.Open();
    fixture.log.table.DisableControls();
    fixture.model.PositionAtRow(12);
    QCOMPARE(fixture.log.table.RecNo(), 0);
    fixture.log.table.EnableControls();
    fixture.model.PositionAtRow(12);
    QCOMPARE(fixture.log.table.RecNo(), 12);
}

void TestLogGridModel::displayWidths() {
    ModelFixture fixture(LogEntries(3));
    const std::vector<int> widths = {14, 26, 24, 24};
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(fixture.model.DisplayWidth(column), widths[column]);
    }
    QCOMPARE(fixture.model.DisplayWidth(4), 0);
}

QTEST_MAIN(TestLogGridModel)
#include "tst_LogGridModel.moc"
