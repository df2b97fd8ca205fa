#pragma once

#include <QDialog>
#include <QPushButton>
#include <string>

#include "app/AnchorSet.h"
#include "app/GridNavigator.h"
#include "app/LogGrid.h"
#include "app/LogGridModel.h"
#include "app/MessageDialog.h"
#include "app/XPManifest.h"
#include "csv/CsvData.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"

namespace tavisto {

inline constexpr const char* kLogFileName = "kalulog.csv";

// The viewer's only window: the Tavisto usage log in a grid, a navigator, "Löschen" to clear
// the log and "Schließen" to end the program.
class TformLogfile : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 581;
    static constexpr int kClientHeight = 362;
    // The smallest size of the whole window, frame included.
    static constexpr int kMinimumOuterSize = 320;

    explicit TformLogfile(QWidget* parent = nullptr);

    // The dialogs the window shows; tests put their own in place.
    void SetMessageDlg(TMessageDlgFunction messageDlg) { messageDlg_ = std::move(messageDlg); }
    void SetErrorBox(TErrorBoxFunction errorBox) { errorBox_ = std::move(errorBox); }

    // Locates and opens the log, reports a missing one, fits the grid's columns.
    void FormShow();
    // One notch of the wheel: a click on btnPrior (up) or btnNext (down).
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    void btnCloseClick();
    // Asks, then empties the table and deletes the log file.
    void ElPopupButton1Click();

    // The non-visual components come first, so that they outlive the controls. The table
    // owns its fields.
    TCsvDataSet csvLogfile;
    TStringField& csvLogfileKALU;
    TDateTimeField& csvLogfileDATUM;
    TStringField& csvLogfileANWENDUNG;
    TStringField& csvLogfileBENUTZER;
    TDataSource dsRelLogFile;
    TXPManifest XPManifest1{"XPManifest1"};

private:
    // The grid's rows; declared before the controls so that the grid goes first.
    TLogGridModel gridModel_;

public:
    TLogGrid gridLog{this};
    QPushButton btnClose{QStringLiteral("Schließen"), this};
    TGridNavigator ElDBTreeNavigator1{this};
    TNavigatorButton& btnFirst = ElDBTreeNavigator1.btnFirst;
    TNavigatorButton& btnPrior = ElDBTreeNavigator1.btnPrior;
    TNavigatorButton& btnNext = ElDBTreeNavigator1.btnNext;
    TNavigatorButton& btnLast = ElDBTreeNavigator1.btnLast;
    QPushButton ElPopupButton1{QStringLiteral("Löschen"), this};

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpWindow();
    void SetUpTable();
    void SetUpControls();
    void WatchWheel();
    void HandleWheel(int angleDelta);
    // Qt limits the client area, so the frame is taken off once the host has drawn it.
    void ApplyMinimumOuterSize();
    // Runs a handler the way the application object does: an error that escapes it is shown
    // in the error box and the window carries on.
    template <typename Handler>
    void Guarded(Handler handler);

    TAnchorSet anchors_{QSize(kClientWidth, kClientHeight)};
    TMessageDlgFunction messageDlg_ = MessageDlg;
    TErrorBoxFunction errorBox_ = ShowErrorBox;
    int wheelDelta_ = 0;
    bool forwardingWheel_ = false;
};

}  // namespace tavisto
