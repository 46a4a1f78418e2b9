#pragma once
// What the model dialogs share: the error box that ends a failed action, and
// a dialog whose handlers may fail without unwinding through the event loop.
#include <QDialog>
#include <QString>
#include <exception>
#include <functional>

namespace velmora {

// The box a failed action ends with: error icon, the message, one OK button,
// the application's display name as caption.
void errorbox(QWidget* parent, const QString& message);

// Runs body; an error it raises is shown in the error box instead. False
// when body failed.
bool reporterrors(QWidget* parent, const std::function<void()>& body);

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
