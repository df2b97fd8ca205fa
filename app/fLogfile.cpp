#include "app/fLogfile.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>

#include "app/Glyphs.h"
#include "app/TextDecoding.h"
#include "app/uOpParser.h"
#include "platform/FileSystem.h"

namespace tavisto {

namespace {

// One notch of a mouse wheel, in the units of QWheelEvent::angleDelta.
constexpr int kWheelNotch = 120;

TStringField& AddTextField(TDataSet& table, const char* name, const char* fieldName, int size,
                           const char* label, int width) {
    auto& field = table.Fields().Add<TStringField>(fieldName);
    field.SetName(name);
    field.SetSize(size);
    field.SetDisplayLabel(label);
    field.SetDisplayWidth(width);
    return field;
}

TDateTimeField& AddDateTimeField(TDataSet& table, const char* name, const char* fieldName,
                                 const char* format, const char* label, int width) {
    auto& field = table.Fields().Add<TDateTimeField>(fieldName);
    field.SetName(name);
    field.SetDisplayFormat(format);
    field.SetDisplayLabel(label);
    field.SetDisplayWidth(width);
    return field;
}

// text as a literal in single quotes, a single quote inside doubled.
QString QuotedStr(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

TformLogfile::TformLogfile(QWidget* parent)
    : QDialog(parent),
      csvLogfileKALU(AddTextField(csvLogfile, "csvLogfileKALU", "KALU", 80, "Kalu", 14)),
      csvLogfileDATUM(AddDateTimeField(csvLogfile, "csvLogfileDATUM", "DATUM",
                                       "yyyy-mm-dd hh:nn:ss", "Datum", 26)),
      csvLogfileANWENDUNG(
          AddTextField(csvLogfile, "csvLogfileANWENDUNG", "ANWENDUNG", 255, "Anwendung", 24)),
      csvLogfileBENUTZER(
          AddTextField(csvLogfile, "csvLogfileBENUTZER", "BENUTZER", 255, "Benutzer", 24)) {
    SetUpWindow();
    SetUpTable();
    SetUpControls();
    WatchWheel();
    // A top-level dialog without a parent is centred on the screen when first shown.
    resize(kClientWidth, kClientHeight);
    ApplyMinimumOuterSize();
}

void TformLogfile::SetUpWindow() {
    setObjectName("formLogfile");
    setWindowTitle("Tavisto Logile");
    setWindowIcon(LogfileIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPixelSize(11);
    setFont(windowFont);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
}

void TformLogfile::SetUpTable() {
    csvLogfile.SetName("csvLogfile");
    csvLogfile.SetCsvFieldDef("KALU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255");
    csvLogfile.SetSeparator(';');
    csvLogfile.SetReadOnly(true);
    csvLogfile.SetValidateHeaderRow(false);
    csvLogfile.SetAutoBackupCount(0);
    csvLogfile.SetStoreDefs(true);
    dsRelLogFile.SetDataSet(&csvLogfile);
}

void TformLogfile::SetUpControls() {
    gridLog.setObjectName("gridLog");
    btnClose.setObjectName("btnClose");
    ElDBTreeNavigator1.setObjectName("ElDBTreeNavigator1");
    ElPopupButton1.setObjectName("ElPopupButton1");
    anchors_.Add(&gridLog, QRect(8, 8, 565, 315), akLeft | akTop | akRight | akBottom);
    anchors_.Add(&btnClose, QRect(498, 329, 75, 25), akRight | akBottom);
    anchors_.Add(&ElDBTreeNavigator1, QRect(8, 329, 112, 25), akLeft | akBottom);
    anchors_.Add(&ElPopupButton1, QRect(126, 329, 75, 25), akLeft | akBottom);
    btnClose.setDefault(true);
    btnClose.setAutoDefault(true);
    ElPopupButton1.setAutoDefault(true);
    gridModel_.SetColumns({{QStringLiteral("Kalu"), "KALU"},
                           {QStringLiteral("Datum"), "DATUM"},
                           {QStringLiteral("Anwendung"), "ANWENDUNG"},
                           {QStringLiteral("Benutzer"), "BENUTZER"}},
                          "KALU");
    gridModel_.SetDataSource(&dsRelLogFile);
    // The error box waits until the read that failed (inside a paint, say) is over.
    connect(
        &gridModel_, &TLogGridModel::readFailed, this,
        [this](const QString& text) { errorBox_(text); }, Qt::QueuedConnection);
    gridLog.SetLogModel(&gridModel_);
    ElDBTreeNavigator1.SetGrid(&gridLog);
    connect(&btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    connect(&ElPopupButton1, &QPushButton::clicked, this,
            [this] { Guarded([this] { ElPopupButton1Click(); }); });
    // Tab order: btnClose, the navigator (its buttons never take the focus), gridLog,
    // ElPopupButton1.
    setTabOrder(&btnClose, &gridLog);
    setTabOrder(&gridLog, &ElPopupButton1);
    btnClose.setFocus();
}

// The window hears every wheel notch over any of its controls before the control does.
void TformLogfile::WatchWheel() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void TformLogfile::FormShow() {
    const std::string path = LogFolder() + kLogFileName;
    if (FileExists(path)) {
        csvLogfile.SetFileName(path);
        csvLogfile.Open();
    } else {
        messageDlg_(QStringLiteral("Das Logfile ") + QuotedStr(DecodeText(path)) +
                        QStringLiteral(" ist nicht vorhanden."),
                    TMsgDlgType::mtError, mbOK, 0);
    }
    gridLog.FitColumns();
}

void TformLogfile::FormMouseWheelUp() {
    btnPrior.click();
}

void TformLogfile::FormMouseWheelDown() {
    btnNext.click();
}

void TformLogfile::btnCloseClick() {
    close();
}

void TformLogfile::ElPopupButton1Click() {
    const int answer = messageDlg_(QStringLiteral("Soll das Logfile gelöscht werden?"),
                                   TMsgDlgType::mtWarning, mbYes | mbNo | mbCancel, 0);
    if (answer != mrYes || !csvLogfile.Active()) return;
    // The rows are gone either way; a file that stays must not look deleted.
    if (!csvLogfile.DeleteAllRows()) {
        messageDlg_(QStringLiteral("Das Logfile ") + QuotedStr(DecodeText(csvLogfile.FileName())) +
                        QStringLiteral(" konnte nicht gelöscht werden."),
                    TMsgDlgType::mtError, mbOK, 0);
    }
}

template <typename Handler>
void TformLogfile::Guarded(Handler handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        errorBox_(ErrorBoxText(error.what()));
    }
}

void TformLogfile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyMinimumOuterSize();
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TformLogfile::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    ApplyMinimumOuterSize();
}

void TformLogfile::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    anchors_.Apply(size());
}

void TformLogfile::keyPressEvent(QKeyEvent* event) {
    // Esc clicks the cancel button, as Enter clicks the default button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnClose.click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TformLogfile::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || forwardingWheel_) {
        return QDialog::eventFilter(watched, event);
    }
    HandleWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
    // The control under the mouse still gets the wheel (the grid scrolls), but the event
    // goes no further up, so the window counts each notch once.
    forwardingWheel_ = true;
    QCoreApplication::sendEvent(watched, event);
    forwardingWheel_ = false;
    event->accept();
    return true;
}

void TformLogfile::HandleWheel(int angleDelta) {
    wheelDelta_ += angleDelta;
    while (wheelDelta_ >= kWheelNotch) {
        wheelDelta_ -= kWheelNotch;
        FormMouseWheelUp();
    }
    while (wheelDelta_ <= -kWheelNotch) {
        wheelDelta_ += kWheelNotch;
        FormMouseWheelDown();
    }
}

void TformLogfile::ApplyMinimumOuterSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(std::max(0, kMinimumOuterSize - frame.width()),
                   std::max(0, kMinimumOuterSize - frame.height()));
}

}  // namespace tavisto
