// Program entry: the application framework and the main window.
#include <QApplication>
#include <clocale>

#include "app/velmoraform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The framework switches numbers to the user's locale; the program reads
    // and writes "." whatever the locale, so put the C locale back.
    std::setlocale(LC_NUMERIC, "C");
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
    velmora::TVelmoraForm form;
    form.show();
    return application.exec();
}
