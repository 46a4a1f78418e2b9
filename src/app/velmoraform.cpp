#include "app/velmoraform.h"

#include <QLabel>
#include <QStatusBar>

namespace velmora {

TVelmoraForm::TVelmoraForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Velmora");
    resize(870, 500);
    const int widths[4] = {150, 200, 200, 200};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setMinimumWidth(widths[i]);
        statusBar()->addWidget(panels_[i]);
    }
}

TVelmoraForm::~TVelmoraForm() = default;

QString TVelmoraForm::paneltext(int panel) const { return panels_.at(panel)->text(); }

} // namespace velmora
