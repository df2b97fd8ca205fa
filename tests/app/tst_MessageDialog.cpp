#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "app/MessageDialog.h"

using namespace tavisto;

namespace {

// What a real message box looked like and how the test closed it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList captions;
    QString defaultCaption;
};

// Waits for the application's modal message box, records it and closes it with close.
void WhenBoxShows(SeenBox& seen, std::function<void(QMessageBox&)> close) {
    QTimer::singleShot(0, [&seen, close] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            WhenBoxShows(seen, close);
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) seen.captions << button->text();
        if (box->defaultButton() != nullptr) seen.defaultCaption = box->defaultButton()->text();
        close(*box);
    });
}

QAbstractButton* ButtonCaptioned(QMessageBox& box, const QString& caption) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == caption) return button;
    }
    return nullptr;
}

}  // namespace

class TestMessageDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void questionDialog_data();
    void questionDialog();
    void errorDialog();
    void errorBoxText_data();
    void errorBoxText();
    void errorBox();
};

void TestMessageDialog::questionDialog_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::newRow("Ja") << "&Ja" << mrYes;
    QTest::newRow("Nein") << "&Nein" << mrNo;
    QTest::newRow("Abbrechen") << "Abbrechen" << mrCancel;
    QTest::newRow("Esc") << "Esc" << mrCancel;
    QTest::newRow("close box") << "close" << mrCancel;
}

// One real dialog per case, answered the way a user would.
void TestMessageDialog::questionDialog() {
    QFETCH(QString, action);
    QFETCH(int, result);
    SeenBox seen;
    WhenBoxShows(seen, [action](QMessageBox& box) {
        if (action == "Esc") {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else if (action == "close") {
            box.close();
        } else {
            ButtonCaptioned(box, action)->click();
        }
    });
    const int answer = MessageDlg(QStringLiteral("Soll das Logfile gelöscht werden?"),
                                  TMsgDlgType::mtWarning, mbYes | mbNo | mbCancel, 0);
    QCOMPARE(answer, result);
    QCOMPARE(seen.title, QStringLiteral("Warnung"));
    QCOMPARE(seen.text, QStringLiteral("Soll das Logfile gelöscht werden?"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.captions.size(), 3);
    for (const char* caption : {"&Ja", "&Nein", "Abbrechen"}) {
        QVERIFY2(seen.captions.contains(caption), caption);
    }
    QCOMPARE(seen.defaultCaption, QStringLiteral("&Ja"));
}

void TestMessageDialog::errorDialog() {
    SeenBox seen;
    WhenBoxShows(seen, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    QCOMPARE(MessageDlg(QStringLiteral("Das Logfile 'x' ist nicht vorhanden."),
                        TMsgDlgType::mtError, mbOK, 0),
             mrOk);
    QCOMPARE(seen.title, QStringLiteral("Fehler"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.captions, QStringList{"OK"});
}

void TestMessageDialog::errorBoxText_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("text");
    QTest::newRow("letter") << QByteArray("No records") << "No records.";
    QTest::newRow("period") << QByteArray("Done.") << "Done.";
    QTest::newRow("exclamation sorts before") << QByteArray("Stop!") << "Stop!";
    QTest::newRow("blank sorts before") << QByteArray("x ") << "x ";
    QTest::newRow("comma sorts before") << QByteArray("a,") << "a,";
    QTest::newRow("slash sorts after") << QByteArray("a/") << "a/.";
    QTest::newRow("digit") << QByteArray("Problem reading row 3") << "Problem reading row 3.";
    QTest::newRow("closing parenthesis") << QByteArray("x (12)") << "x (12)";
    QTest::newRow("umlaut") << QByteArray("Pr\xC3\xBC") << "Prü.";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestMessageDialog::errorBoxText() {
    QFETCH(QByteArray, message);
    QFETCH(QString, text);
    QCOMPARE(ErrorBoxText(message.constData()), text);
}

void TestMessageDialog::errorBox() {
    QApplication::setApplicationName(kApplicationTitle);
    SeenBox seen;
    WhenBoxShows(seen, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    ShowErrorBox(QStringLiteral("kalulog.csv: Invalid field definition."));
    QCOMPARE(seen.title, QStringLiteral("Tavisto LogFileViewer"));
    QCOMPARE(seen.text, QStringLiteral("kalulog.csv: Invalid field definition."));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.captions.size(), 1);
    QCOMPARE(QString(seen.captions.front()).remove('&'), QStringLiteral("OK"));
}

QTEST_MAIN(TestMessageDialog)
#include "tst_MessageDialog.moc"
