#pragma once
// A "please wait" window for work that has no steps to count: a progress
// window showing one text, shown without waiting, until hidebusy.
#include <QPointer>
#include <QString>
#include <memory>

#include "toolkit/programinfo.h"

class QWidget;

namespace velmora {

class TProgressForm;

class Tbusywindow {
public:
    // Windows appear over owner (nullptr: the active window).
    explicit Tbusywindow(const Tprograminfo& program, QWidget* owner = nullptr);
    ~Tbusywindow();
    Tbusywindow(const Tbusywindow&) = delete;
    Tbusywindow& operator=(const Tbusywindow&) = delete;

    // Shows text as the main text of a new window; a window already shown
    // goes first.
    void showbusy(const QString& text);
    void hidebusy();
    // The window shown, or nullptr.
    TProgressForm* window() const { return form_.get(); }

private:
    Tprograminfo program_;
    QPointer<QWidget> owner_;
    std::unique_ptr<TProgressForm> form_;
};

} // namespace velmora
