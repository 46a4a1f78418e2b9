#pragma once
// What the model dialogs share: the program's error handler, and a dialog
// whose handlers may fail without unwinding through the event loop.
#include <QDialog>
#include <QString>
#include <exception>
#include <functional>

#include "toolkit/errorhandler.h"

namespace velmora {

// A dialog whose handlers may raise. An error must not travel through the
// event loop of exec(), so guard() keeps it, closes the dialog and run()
// raises it again in the caller, whose action then ends with it.
class TGuardedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // exec(); raises the error a guarded handler raised.
    int run();

protected:
    // Runs handler; when it raises, the error is kept, the dialog closes
    // with Cancel and the answer is false.
    bool guard(const std::function<void()>& handler);

private:
    std::exception_ptr error_;
};

} // namespace velmora
