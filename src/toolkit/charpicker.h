#pragma once
// The foreign-character picker: the 256 characters of the Windows-1252
// code page in a 16 x 16 grid, code 16 r + c in column c, row r. Text
// leaves the program as UTF-8; the code page is only the picker's layout.
#include <QChar>
#include <QDialog>

#include "toolkit/programinfo.h"

class QPushButton;

namespace velmora {

class Tgrid;

// The character of a Windows-1252 code (0..255). Codes the code page
// leaves undefined give the control character of the same number.
QChar cp1252char(int code);

// "&Fô®€ïgñ ...": the caption of the button that opens the picker.
QString foreigncharcaption();

class TForeignCharForm : public QDialog {
    Q_OBJECT
public:
    explicit TForeignCharForm(const Tprograminfo& program, QWidget* parent = nullptr);

    Tgrid* StringGrid = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

    // The first character of the current cell's text, a space when it has none.
    QChar chosen() const;

private:
    void StringGridClick();
    void StringGridDblClick();
};

// Shows the picker modally: after OK the chosen character, otherwise the
// character of code 0.
QChar pickchar(const Tprograminfo& program, QWidget* parent = nullptr);

// Makes button the picker's button: caption, hint, and a click that copies
// the picked character to the clipboard (code 0 copies as an empty text).
void foreigncharbutton(QPushButton* button);

} // namespace velmora
