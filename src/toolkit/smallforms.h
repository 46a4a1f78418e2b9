#pragma once
// The toolkit's small windows: a base window with "Print ..." and "Close",
// the text window and the picture window built on it. All are shown
// modally by whoever creates them and freed after they close.
#include <QDialog>

#include "toolkit/programinfo.h"

class QCheckBox;
class QHBoxLayout;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace velmora {

class Timage;

// "Print ..." and "Close" along the bottom right; "Close" is the default
// button, has the focus and closes the window. "Print ..." does what the
// window built on this one makes it do (PrintButtonClick).
class TBaseForm : public QDialog {
    Q_OBJECT
public:
    explicit TBaseForm(const Tprograminfo& program, QWidget* parent = nullptr);

    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

protected:
    virtual void PrintButtonClick() {}
    // Where a window built on this one puts its contents (above the
    // buttons) and its controls left of the buttons.
    QVBoxLayout* contents() const { return contents_; }
    QHBoxLayout* buttonrow() const { return buttonrow_; }
    // Sizes the window to its contents' starting sizes and makes that its
    // minimum, centred on the main window; the last step of a constructor.
    void finishlayout();
    void showEvent(QShowEvent* event) override;

    Tprograminfo program_;

private:
    QVBoxLayout* contents_ = nullptr;
    QHBoxLayout* buttonrow_ = nullptr;
};

// A read-only text of any length without word wrap; "&Wrap lines" switches
// wrapping on (vertical scroll bar only) and off (both scroll bars).
class TMemoForm : public TBaseForm {
    Q_OBJECT
public:
    explicit TMemoForm(const Tprograminfo& program, QWidget* parent = nullptr);

    void addline(const QString& text);
    QStringList lines() const;

    QPlainTextEdit* Memo = nullptr;
    QCheckBox* WrapCheckBox = nullptr;

protected:
    void PrintButtonClick() override;

private:
    void WrapCheckBoxClick();
};

// A picture, stretched with the window.
class TPlotForm : public TBaseForm {
    Q_OBJECT
public:
    explicit TPlotForm(const Tprograminfo& program, QWidget* parent = nullptr);

    Timage* Image = nullptr;

protected:
    void PrintButtonClick() override;
};

} // namespace velmora
