#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace tavisto {

// The title of the application: the task-bar text and the caption of its error boxes.
inline constexpr const char* kApplicationTitle = "Tavisto LogFileViewer";

// Dialog types keep their classic ordinals.
enum class TMsgDlgType { mtWarning = 0, mtError = 1 };

// A set of dialog buttons, one bit per button.
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYes = 1u << 0;
inline constexpr TMsgDlgButtons mbNo = 1u << 1;
inline constexpr TMsgDlgButtons mbOK = 1u << 2;
inline constexpr TMsgDlgButtons mbCancel = 1u << 3;

// The code of the button that closed a dialog.
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Shows text in a modal dialog of the given type with the buttons of the set, in the order
// Yes, No, OK, Cancel, the first of them being the default, and returns the code of the button
// pressed. Esc and the close box give Cancel when the set has it, else No, else OK.
// helpContext is accepted for the classic signature; there is no help to show.
int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

// The signature of MessageDlg, so that a window's dialogs can be replaced by tests.
using TMessageDlgFunction = std::function<int(const QString&, TMsgDlgType, TMsgDlgButtons, int)>;

// The text an error box shows for an error message: the message decoded for display, with a
// period appended when its last character sorts after the period.
QString ErrorBoxText(const char* message);

// The application's error box for an error that escaped a handler: the application's name as
// title, ErrorBoxText of the message, an error icon and OK.
void ShowErrorBox(const QString& text);

// The signature of ShowErrorBox, replaceable like TMessageDlgFunction.
using TErrorBoxFunction = std::function<void(const QString&)>;

}  // namespace tavisto
