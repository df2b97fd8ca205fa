#include "app/MessageDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <array>

#include "app/TextDecoding.h"

namespace tavisto {

namespace {

struct DialogButton {
    TMsgDlgButtons bit;
    const char* caption;
    QMessageBox::ButtonRole role;
    int result;
};

constexpr std::array<DialogButton, 4> kButtons = {{
    {mbYes, "&Ja", QMessageBox::YesRole, mrYes},
    {mbNo, "&Nein", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Abbrechen", QMessageBox::RejectRole, mrCancel},
}};

// The button Esc and the close box stand for.
TMsgDlgButtons EscapeButton(TMsgDlgButtons buttons) {
    if (buttons & mbCancel) return mbCancel;
    if (buttons & mbNo) return mbNo;
    return mbOK;
}

}  // namespace

int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/) {
    const bool warning = type == TMsgDlgType::mtWarning;
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Critical,
                    warning ? QStringLiteral("Warnung") : QStringLiteral("Fehler"), text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    if ((buttons & (mbYes | mbNo | mbOK | mbCancel)) == 0) buttons = mbOK;
    const TMsgDlgButtons escape = EscapeButton(buttons);
    QPushButton* first = nullptr;
    for (const DialogButton& button : kButtons) {
        if ((buttons & button.bit) == 0) continue;
        QPushButton* pushButton = box.addButton(QString::fromUtf8(button.caption), button.role);
        pushButton->setProperty("result", button.result);
        if (first == nullptr) first = pushButton;
        if (button.bit == escape) box.setEscapeButton(pushButton);
    }
    box.setDefaultButton(first);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    return clicked != nullptr ? clicked->property("result").toInt() : mrCancel;
}

QString ErrorBoxText(const char* message) {
    QString text = DecodeText(message);
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) text += QLatin1Char('.');
    return text;
}

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace tavisto
