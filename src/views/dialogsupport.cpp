#include "views/dialogsupport.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <utility>

namespace velmora {

void errorbox(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

bool reporterrors(QWidget* parent, const std::function<void()>& body) {
    QString message;
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        message = QString::fromStdString(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    // Shown after the handler has unwound, so whatever it held (a progress
    // window, say) is gone before the box appears.
    errorbox(parent, message);
    return false;
}

int TGuardedDialog::run() {
    error_ = nullptr;
    int result = exec();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return result;
}

bool TGuardedDialog::guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        error_ = std::current_exception();
    }
    // The base class's reject: a derived one may be what failed.
    QDialog::reject();
    return false;
}

} // namespace velmora
