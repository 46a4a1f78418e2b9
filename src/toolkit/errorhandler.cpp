#include "toolkit/errorhandler.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

namespace velmora {

void errorbox(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message,
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

} // namespace velmora
