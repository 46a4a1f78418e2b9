#pragma once
// Window styles and the standard buttons every dialog of the program shares,
// so that captions, hints and keys read the same everywhere.
class QPushButton;
class QWidget;

namespace velmora {

// Window styles:
// 0: a main-sized window: minimum size = current size, sizeable, shown maximized;
// 1: a tool window: minimum size = current size, centred on the main window,
//    system menu and maximize box, sizeable;
// 2: a dialog: centred on the main window, fixed size (the layout's size when
//    the form has a layout), no minimize or maximize box.
// Other kinds raise EInvalidArgument.
void formsetup(QWidget* form, int kind);

// Centres the window over its owner every time it is shown. The owner is the
// window of the form's parent widget when that is visible, else the
// application's active window, else the first visible main window; without
// any, the form is centred on its screen.
void centreonowner(QWidget* form);

// Standard buttons:
// 0 "OK": default button, accepts (closes) its window;
// 1 "Cancel" and 2 "Close": Escape clicks them, they reject (close) their window;
// 3 "Print ...", 5 "Details", 6 "v More", 7 "^ Less": caption and hint only.
// "Accept"/"reject" are the dialog results when the button sits in a QDialog;
// in any other window the button just closes it. 4 "&Fô®€ïgñ ..." picks a
// foreign character and copies it to the clipboard (foreigncharbutton,
// charpicker.h). Other kinds raise EInvalidArgument.
void standardbutton(QPushButton* button, int kind);

// Escape clicks the button while it is visible and enabled in its window.
void escapebutton(QPushButton* button);

} // namespace velmora
