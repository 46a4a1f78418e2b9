// Program entry: the application framework, the start-up window and the
// main window.
#include <QApplication>
#include <clocale>
#include <memory>

#include "app/velmoraform.h"
#include "toolkit/errorhandler.h"
#include "toolkit/splashform.h"

namespace {

// Every handler of the program reports its own errors (errorhandler.h).
// Should one still escape, it is shown here rather than let through the
// event loop, where it would end the program or leave it to crash later.
class Tapplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        bool done = false;
        velmora::reporterrors(nullptr, [&] { done = QApplication::notify(receiver, event); });
        return done;
    }
};

} // namespace

int main(int argc, char** argv) {
    Tapplication application(argc, argv);
    // The framework switches numbers to the user's locale; the program reads
    // and writes "." whatever the locale, so put the C locale back.
    std::setlocale(LC_NUMERIC, "C");
    // No display name: the window system would append it to every caption.
    velmora::Tprograminfo program = velmora::Tprograminfo::current();
    QCoreApplication::setApplicationVersion(QString::fromStdString(velmora::buildversion()));
    std::unique_ptr<velmora::TVelmoraForm> form;
    // Reading the workbooks and the first calculation take a few seconds;
    // the splash tells the user the program is on its way meanwhile.
    velmora::runwithsplash(program, velmora::buildwebpage(),
                           [&] { form = std::make_unique<velmora::TVelmoraForm>(); });
    form->show();
    return application.exec();
}
