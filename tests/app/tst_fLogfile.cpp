#include <QApplication>
#include <QtTest>

#include "LogWindowFixture.h"

using namespace tavisto;
using tavisto::test::LogWindowFixture;

class TestLogWindowFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settings();
    void layout_data();
    void layout();
    void navigatorButtons();
    void tabOrder();
    void keysClose_data();
    void keysClose();
    void missingLog_data();
    void missingLog();
    void clearOnClosedTable_data();
    void clearOnClosedTable();
};

void TestLogWindowFrame::settings() {
    LogWindowFixture fixture;
    TformLogfile& window = fixture.Window();
    QCOMPARE(window.objectName(), QStringLiteral("formLogfile"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavisto Logile"));
    QCOMPARE(window.font().pixelSize(), 11);
    QCOMPARE(window.palette().color(QPalette::Window), window.palette().color(QPalette::Button));
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
    QCOMPARE(window.btnClose.text(), QStringLiteral("Schließen"));
    QCOMPARE(window.ElPopupButton1.text(), QStringLiteral("Löschen"));
    QVERIFY(window.btnClose.isDefault());
    for (const char* name : {"gridLog", "btnClose", "ElDBTreeNavigator1", "btnFirst", "btnPrior",
                             "btnNext", "btnLast", "ElPopupButton1"}) {
        QVERIFY2(window.findChild<QWidget*>(name) != nullptr, name);
    }
}

void TestLogWindowFrame::layout_data() {
    QTest::addColumn<QSize>("requested");
    QTest::newRow("stored size") << QSize(581, 362);
    QTest::newRow("wider and taller") << QSize(800, 600);
    QTest::newRow("below the minimum") << QSize(100, 100);
}

// Every control at its stored rectangle at 581 x 362; the grid grows with the window, the
// buttons keep their distance to the bottom, "Schließen" to the right.
void TestLogWindowFrame::layout() {
    QFETCH(QSize, requested);
    LogWindowFixture fixture;
    TformLogfile& window = fixture.Shown();
    QCOMPARE(window.size(), QSize(581, 362));
    window.resize(requested);
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QSize minimum = QSize(320, 320) - frame;
    QCOMPARE(window.size(), requested.expandedTo(minimum));
    const int dw = window.width() - 581;
    const int dh = window.height() - 362;
    QCOMPARE(window.gridLog.geometry(), QRect(8, 8, 565 + dw, 315 + dh));
    QCOMPARE(window.btnClose.geometry(), QRect(498 + dw, 329 + dh, 75, 25));
    QCOMPARE(window.ElDBTreeNavigator1.geometry(), QRect(8, 329 + dh, 112, 25));
    QCOMPARE(window.ElPopupButton1.geometry(), QRect(126, 329 + dh, 75, 25));
    QVERIFY(window.ElPopupButton1.geometry().right() < window.btnClose.geometry().left());
}

void TestLogWindowFrame::navigatorButtons() {
    LogWindowFixture fixture;
    TformLogfile& window = fixture.Shown();
    const std::vector<std::pair<TNavigatorButton*, QString>> expected = {
        {&window.btnLast, "Last Item"},
        {&window.btnFirst, "First Item"},
        {&window.btnPrior, "Prior Item"},
        {&window.btnNext, "Next Item"}};
    int left = 0;
    for (const auto& [button, hint] : expected) {
        QCOMPARE(button->parentWidget(), &window.ElDBTreeNavigator1);
        QCOMPARE(button->geometry(), QRect(left, 0, 28, 25));
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        QVERIFY(!button->icon().isNull());
        QVERIFY(button->autoRaise());
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        left += 28;
    }
    window.gridLog.setFocus();
    QTest::mouseClick(&window.btnNext, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), &window.gridLog);
}

void TestLogWindowFrame::tabOrder() {
    LogWindowFixture fixture;
    TformLogfile& window = fixture.Shown();
    QApplication::setActiveWindow(&window);
    QCOMPARE(QApplication::focusWidget(), &window.btnClose);
    QCOMPARE(window.btnClose.nextInFocusChain(), &window.gridLog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &window.gridLog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &window.ElPopupButton1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), &window.btnClose);
}

void TestLogWindowFrame::keysClose_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focus");
    QTest::newRow("Enter in the grid") << int(Qt::Key_Return) << "gridLog";
    QTest::newRow("keypad Enter in the grid") << int(Qt::Key_Enter) << "gridLog";
    QTest::newRow("Esc in the grid") << int(Qt::Key_Escape) << "gridLog";
    QTest::newRow("Enter on Schließen") << int(Qt::Key_Return) << "btnClose";
    QTest::newRow("Esc on Löschen") << int(Qt::Key_Escape) << "ElPopupButton1";
}

void TestLogWindowFrame::keysClose() {
    QFETCH(int, key);
    QFETCH(QString, focus);
    LogWindowFixture fixture;
    fixture.WriteLog({});
    TformLogfile& window = fixture.Shown();
    QApplication::setActiveWindow(&window);
    auto* target = window.findChild<QWidget*>(focus);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, static_cast<Qt::Key>(key));
    QVERIFY(!window.isVisible());
    QVERIFY(fixture.dialogs.empty());
}

void TestLogWindowFrame::missingLog_data() {
    QTest::addColumn<QString>("configName");
    QTest::addColumn<bool>("folderInstead");
    QTest::newRow("no file") << "config" << false;
    QTest::newRow("a folder named kalulog.csv") << "config" << true;
    QTest::newRow("a quote in the path") << "Tom's config" << false;
}

void TestLogWindowFrame::missingLog() {
    QFETCH(QString, configName);
    QFETCH(bool, folderInstead);
    LogWindowFixture fixture(configName);
    if (folderInstead) QVERIFY(QDir().mkpath(fixture.LogPath()));
    TformLogfile& window = fixture.Shown();
    QCOMPARE(fixture.dialogs.size(), std::size_t{1});
    QString quotedPath = fixture.LogPath();
    quotedPath.replace("'", "''");
    QCOMPARE(fixture.dialogs[0].text, QStringLiteral("Das Logfile '") + quotedPath +
                                          QStringLiteral("' ist nicht vorhanden."));
    QCOMPARE(fixture.dialogs[0].type, TMsgDlgType::mtError);
    QCOMPARE(fixture.dialogs[0].buttons, mbOK);
    QVERIFY(fixture.errorBoxes.isEmpty());
    QVERIFY(window.isVisible());
    QCOMPARE(window.gridLog.model()->rowCount(), 0);
    QCOMPARE(window.gridLog.model()->columnCount(), 4);
}

void TestLogWindowFrame::clearOnClosedTable_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Ja") << mrYes;
    QTest::newRow("Nein") << mrNo;
    QTest::newRow("Abbrechen") << mrCancel;
}

// With the log missing, "Löschen" still asks; no answer does anything.
void TestLogWindowFrame::clearOnClosedTable() {
    QFETCH(int, answer);
    LogWindowFixture fixture;
    TformLogfile& window = fixture.Shown();
    fixture.dialogs.clear();
    fixture.answers = {answer};
    QTest::mouseClick(&window.ElPopupButton1, Qt::LeftButton);
    QCOMPARE(fixture.dialogs.size(), std::size_t{1});
    QCOMPARE(fixture.dialogs[0].text, QStringLiteral("Soll das Logfile gelöscht werden?"));
    QCOMPARE(fixture.dialogs[0].type, TMsgDlgType::mtWarning);
    QCOMPARE(fixture.dialogs[0].buttons, mbYes | mbNo | mbCancel);
    QVERIFY(fixture.errorBoxes.isEmpty());
    QVERIFY(!QFile::exists(fixture.LogPath()));
}

QTEST_MAIN(TestLogWindowFrame)
#include "tst_fLogfile.moc"
