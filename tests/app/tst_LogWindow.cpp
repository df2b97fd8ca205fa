#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "LogWindowFixture.h"
#include "UndeletableFolder.h"

using namespace tavisto;
using tavisto::test::LogWindowFixture;

namespace {

// Entry i of a test log, as the suite writes it.
QByteArray Entry(int i) {
    return QStringLiteral("Kalu %1;2006-02-%2 %3:%4:00;Kalkulation;m\u00FCller")
        .arg(i, 5, 10, QChar('0'))
        .arg(1 + i / 1440, 2, 10, QChar('0'))
        .arg(i / 60 % 24, 2, 10, QChar('0'))
        .arg(i % 60, 2, 10, QChar('0'))
        .toLatin1();
}

QList<QByteArray> Entries(int count) {
    QList<QByteArray> entries;
    for (int i = 0; i < count; ++i) entries.push_back(Entry(i));
    return entries;
}

QString Kalu(int i) {
    return QStringLiteral("Kalu %1").arg(i, 5, 10, QChar('0'));
}

QString Cell(TformLogfile& window, int row, int column) {
    const QAbstractItemModel* model = window.gridLog.model();
    return model->data(model->index(row, column)).toString();
}

void Wheel(QWidget* target, int angle) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void ClickHeader(TformLogfile& window, int column) {
    QHeaderView* header = window.gridLog.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestLogWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheLog();
    void headerOnlyLog();
    void columnWidths_data();
    void columnWidths();
    void openErrorGoesToTheErrorBox();
    void navigatorButtons();
    void wheelNotch();
    void datumSortsGridOnly();
    void clearAnsweredNoOrCancel_data();
    void clearAnsweredNoOrCancel();
    void clearAnsweredYes();
    void logThatCannotBeDeleted();
    void enterInTheGridCloses();
    void everyRowShownWhenScrolledToTheEnd();
};

void TestLogWindow::showsTheLog() {
    LogWindowFixture fixture;
    fixture.WriteLog(
        {"Projekt 1584/53;2006-01-01 00:00:35;Materialpr\xFC"
         "fung;sch\xE4"
         "fer",
         "\"Los 3;7\"\"10\";2006-01-01 00:00:46;Berichtswesen;weber"});
    TformLogfile& window = fixture.Shown();
    QVERIFY(fixture.dialogs.empty());
    QVERIFY(fixture.errorBoxes.isEmpty());
    QVERIFY(window.csvLogfile.Active());
    QCOMPARE(window.csvLogfile.FileName(), fixture.LogPath().toStdString());
    QCOMPARE(window.gridLog.model()->rowCount(), 2);
    QCOMPARE(window.gridLog.CurrentRow(), -1);
    const QStringList captions = {"Kalu", "Datum", "Anwendung", "Benutzer"};
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(window.gridLog.model()->headerData(column, Qt::Horizontal).toString(),
                 captions[column]);
    }
    QCOMPARE(Cell(window, 0, 0), QStringLiteral("Projekt 1584/53"));
    QCOMPARE(Cell(window, 0, 1), QStringLiteral("2006-01-01 00:00:35"));
    QCOMPARE(Cell(window, 0, 2), QStringLiteral("Materialprüfung"));
    QCOMPARE(Cell(window, 0, 3), QStringLiteral("schäfer"));
    QCOMPARE(Cell(window, 1, 0), QStringLiteral("Los 3;7\"10"));
}

void TestLogWindow::headerOnlyLog() {
    LogWindowFixture fixture;
    fixture.WriteLog({});
    TformLogfile& window = fixture.Shown();
    QVERIFY(fixture.dialogs.empty());
    QVERIFY(fixture.errorBoxes.isEmpty());
    QVERIFY(window.csvLogfile.Active());
    QCOMPARE(window.gridLog.model()->rowCount(), 0);
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(window.gridLog.columnWidth(column),
                 window.gridLog.SortHeader()->CaptionWidth(column));
    }
}

void TestLogWindow::columnWidths_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("logPresent");
    QTest::newRow("rows") << 3 << true;
    QTest::newRow("header only") << 0 << true;
    QTest::newRow("log missing") << 0 << false;
}

// Fitted by FormShow: display width in digits plus 4 pixels with rows, the caption's width
// without.
void TestLogWindow::columnWidths() {
    QFETCH(int, entries);
    QFETCH(bool, logPresent);
    LogWindowFixture fixture;
    if (logPresent) fixture.WriteLog(Entries(entries));
    TformLogfile& window = fixture.Shown();
    const int digit = QFontMetrics(window.gridLog.font()).horizontalAdvance('0');
    const std::vector<int> displayWidths = {14, 26, 24, 24};
    for (int column = 0; column < 4; ++column) {
        const int caption = window.gridLog.SortHeader()->CaptionWidth(column);
        const int width = window.gridLog.columnWidth(column);
        if (entries > 0) {
            QCOMPARE(width, std::max(caption, displayWidths[column] * digit + 4));
            QVERIFY(width > caption);
        } else {
            QCOMPARE(width, caption);
        }
    }
}

// A log the table cannot read: the application's error box, and a usable, empty window.
void TestLogWindow::openErrorGoesToTheErrorBox() {
    LogWindowFixture fixture;
    fixture.WriteLog({Entry(0), QByteArray(20000, 'x')});
    TformLogfile& window = fixture.Shown();
    QCOMPARE(fixture.errorBoxes.size(), 1);
    QCOMPARE(fixture.errorBoxes[0],
             QStringLiteral("CSV string is too long: ") + QString(40, 'x') + QStringLiteral("..."));
    QVERIFY(fixture.dialogs.empty());
    QVERIFY(window.isVisible());
    QVERIFY(!window.csvLogfile.Active());
    QCOMPARE(window.gridLog.model()->rowCount(), 0);
    window.btnNext.click();
    QCOMPARE(window.gridLog.CurrentRow(), -1);
    fixture.answers = {mrYes};
    window.ElPopupButton1.click();
    QCOMPARE(fixture.dialogs.size(), std::size_t{1});
    QVERIFY(QFile::exists(fixture.LogPath()));
}

void TestLogWindow::navigatorButtons() {
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(5));
    TformLogfile& window = fixture.Shown();
    const auto click = [&window](TNavigatorButton& button) {
        QTest::mouseClick(&button, Qt::LeftButton);
        return window.gridLog.CurrentRow();
    };
    QCOMPARE(click(window.btnPrior), -1);
    QCOMPARE(click(window.btnNext), 1);
    QCOMPARE(window.csvLogfile.CurrentRowIndex(), 1);
    QCOMPARE(click(window.btnFirst), 0);
    QCOMPARE(click(window.btnPrior), 0);
    QCOMPARE(click(window.btnLast), 4);
    QCOMPARE(window.csvLogfile.FieldByName("KALU").DisplayText(), Kalu(4).toStdString());
    QCOMPARE(click(window.btnNext), 4);
    QCOMPARE(click(window.btnPrior), 3);
    QCOMPARE(window.csvLogfile.CurrentRowIndex(), 3);
}

// One notch: one click of Prior or Next, and the grid still scrolls.
void TestLogWindow::wheelNotch() {
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(200));
    TformLogfile& window = fixture.Shown();
    QWidget* viewport = window.gridLog.viewport();
    const int lines = QApplication::wheelScrollLines();
    Wheel(viewport, -120);
    QCOMPARE(window.gridLog.CurrentRow(), 1);
    QCOMPARE(window.gridLog.verticalScrollBar()->value(), lines);
    Wheel(viewport, -60);
    QCOMPARE(window.gridLog.CurrentRow(), 1);
    Wheel(viewport, -60);
    QCOMPARE(window.gridLog.CurrentRow(), 2);
    Wheel(viewport, 120);
    QCOMPARE(window.gridLog.CurrentRow(), 1);
    QCOMPARE(window.csvLogfile.CurrentRowIndex(), 1);
    // Over a button the notch moves the row just the same.
    Wheel(&window.btnClose, 120);
    QCOMPARE(window.gridLog.CurrentRow(), 0);
    Wheel(viewport, 120);
    QCOMPARE(window.gridLog.CurrentRow(), 0);
    window.btnLast.click();
    Wheel(viewport, -120);
    QCOMPARE(window.gridLog.CurrentRow(), 199);
}

void TestLogWindow::datumSortsGridOnly() {
    LogWindowFixture fixture;
    QList<QByteArray> entries = Entries(60);
    std::swap(entries[10], entries[50]);
    fixture.WriteLog(entries);
    const QByteArray before = FileBytes(fixture.LogPath());
    TformLogfile& window = fixture.Shown();
    window.btnLast.click();
    ClickHeader(window, 1);
    QCOMPARE(Cell(window, 0, 0), Kalu(0));
    QCOMPARE(Cell(window, 10, 0), Kalu(10));
    QCOMPARE(Cell(window, 50, 0), Kalu(50));
    ClickHeader(window, 1);
    QCOMPARE(Cell(window, 0, 0), Kalu(59));
    QCOMPARE(Cell(window, 59, 0), Kalu(0));
    for (int row = 1; row < 60; ++row) QVERIFY(Cell(window, row - 1, 1) > Cell(window, row, 1));
    // The table keeps its order and its cursor; the file is untouched.
    QCOMPARE(window.csvLogfile.CurrentRowIndex(), 59);
    window.csvLogfile.First();
    window.csvLogfile.MoveBy(10);
    QCOMPARE(window.csvLogfile.FieldByName("KALU").DisplayText(), Kalu(50).toStdString());
    QCOMPARE(FileBytes(fixture.LogPath()), before);
}

void TestLogWindow::clearAnsweredNoOrCancel_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Nein") << mrNo;
    QTest::newRow("Abbrechen") << mrCancel;
}

void TestLogWindow::clearAnsweredNoOrCancel() {
    QFETCH(int, answer);
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(3));
    TformLogfile& window = fixture.Shown();
    fixture.answers = {answer};
    QTest::mouseClick(&window.ElPopupButton1, Qt::LeftButton);
    QCOMPARE(fixture.dialogs.size(), std::size_t{1});
    QCOMPARE(fixture.dialogs[0].text, QStringLiteral("Soll das Logfile gelöscht werden?"));
    QCOMPARE(window.gridLog.model()->rowCount(), 3);
    QVERIFY(QFile::exists(fixture.LogPath()));
}

void TestLogWindow::clearAnsweredYes() {
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(3));
    TformLogfile& window = fixture.Shown();
    window.btnNext.click();
    fixture.answers = {mrYes, mrYes};
    QTest::mouseClick(&window.ElPopupButton1, Qt::LeftButton);
    QCOMPARE(fixture.dialogs.size(), std::size_t{1});
    QCOMPARE(window.gridLog.model()->rowCount(), 0);
    QVERIFY(!QFile::exists(fixture.LogPath()));
    QVERIFY(window.csvLogfile.Active());
    window.btnNext.click();
    window.btnLast.click();
    QCOMPARE(window.gridLog.CurrentRow(), -1);
    // Asked again; Yes does nothing visible.
    QTest::mouseClick(&window.ElPopupButton1, Qt::LeftButton);
    QCOMPARE(fixture.dialogs.size(), std::size_t{2});
    QCOMPARE(fixture.dialogs[1].type, TMsgDlgType::mtWarning);
    QVERIFY(fixture.errorBoxes.isEmpty());
    QVERIFY(!QFile::exists(fixture.LogPath()));
    // Closing the emptied table does not write the log back.
    window.close();
    window.csvLogfile.Close();
    QVERIFY(!QFile::exists(fixture.LogPath()));
}

// The rows go, but the user is told that the file is still there.
void TestLogWindow::logThatCannotBeDeleted() {
    LogWindowFixture fixture(QStringLiteral("Tom's config"));
    fixture.WriteLog(Entries(3));
    TformLogfile& window = fixture.Shown();
    tavisto::test::UndeletableFolder locked(fixture.SettingsFolder());
    if (!locked.Locked()) QSKIP("this file system lets the test user delete anything");
    fixture.answers = {mrYes};
    QTest::mouseClick(&window.ElPopupButton1, Qt::LeftButton);
    QCOMPARE(fixture.dialogs.size(), std::size_t{2});
    QString quotedPath = fixture.LogPath();
    quotedPath.replace("'", "''");
    QCOMPARE(fixture.dialogs[1].text, QStringLiteral("Das Logfile '") + quotedPath +
                                          QStringLiteral("' konnte nicht gelöscht werden."));
    QCOMPARE(fixture.dialogs[1].type, TMsgDlgType::mtError);
    QCOMPARE(fixture.dialogs[1].buttons, mbOK);
    QVERIFY(QFile::exists(fixture.LogPath()));
    QCOMPARE(FileBytes(fixture.LogPath()).count("\r\n"), 4);
    QCOMPARE(window.gridLog.model()->rowCount(), 0);
}

void TestLogWindow::enterInTheGridCloses() {
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(3));
    TformLogfile& window = fixture.Shown();
    QApplication::setActiveWindow(&window);
    window.gridLog.setFocus();
    window.btnNext.click();
    QTest::keyClick(&window.gridLog, Qt::Key_Return);
    QVERIFY(!window.isVisible());
}

void TestLogWindow::everyRowShownWhenScrolledToTheEnd() {
    LogWindowFixture fixture;
    fixture.WriteLog(Entries(150));
    TformLogfile& window = fixture.Shown();
    TLogGrid& grid = window.gridLog;
    QVERIFY(150 > 2 * 2 * grid.VisibleRowCount());
    QSet<int> seen;
    for (int step = 0; step < 20; ++step) {
        grid.viewport()->grab();
        for (int y = 0; y < grid.viewport()->height(); y += TLogGrid::kRowHeight) {
            const int row = grid.rowAt(y);
            if (row < 0) continue;
            QCOMPARE(Cell(window, row, 0), Kalu(row));
            QCOMPARE(Cell(window, row, 3), QStringLiteral("müller"));
            seen.insert(row);
        }
        grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    }
    QCOMPARE(seen.size(), 150);
    QVERIFY(grid.viewport()->rect().contains(grid.visualRect(grid.model()->index(149, 0))));
}

QTEST_MAIN(TestLogWindow)
#include "tst_LogWindow.moc"
