// Program entry: the application framework, the start-up window and the
// main window.
#include <QApplication>
#include <clocale>
#include <memory>

#include "app/velmoraform.h"
#include "toolkit/splashform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The framework switches numbers to the user's locale; the program reads
    // and writes "." whatever the locale, so put the C locale back.
    std::setlocale(LC_NUMERIC, "C");
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
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
