#pragma once
// Help > About: the program's picture, its name and version, its web page.
#include <QDialog>
#include <functional>

#include "toolkit/programinfo.h"

class QLabel;
class QPushButton;

namespace velmora {

// The About window's licence and data attribution text.
QString aboutlicence();

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // Opens a file, folder or web address with the desktop's default
    // application; tests give one that opens nothing.
    using Topener = std::function<bool(const QString&)>;
    // digits is the number setting, which the Sysinfo report shows.
    TAboutForm(const Tprograminfo& program, unsigned digits, QWidget* parent = nullptr,
               Topener opener = nullptr);

    QLabel* Image = nullptr;
    QLabel* NameLabel = nullptr;
    QLabel* LinkLabel = nullptr;
    // The code's licence and the default data's sources with their terms.
    QLabel* LicenceLabel = nullptr;
    QPushButton* CloseButton = nullptr;

    // Clicking the link opens the web page; double-clicking the name opens
    // the program's folder; double-clicking elsewhere shows the Sysinfo report.
    void LinkLabelClick();
    void NameLabelDblClick();
    void FormDblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Tprograminfo program_;
    unsigned digits_;
    Topener opener_;
};

// Shows the About window modally and frees it.
void about(const Tprograminfo& program, unsigned digits, QWidget* parent = nullptr);

} // namespace velmora
