#include "toolkit/aboutform.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "toolkit/controls.h"
#include "toolkit/desktop.h"
#include "toolkit/forms.h"
#include "toolkit/splashform.h"
#include "toolkit/sysinfo.h"
#include "toolkit/errorhandler.h"

namespace velmora {

QString aboutlicence() {
    return QStringLiteral(
        "The program's code is under the MIT licence (LICENSE). The default data come from "
        "Natural Earth (public domain), The World Factbook 2015 of the CIA (public domain), "
        "world-countries by Mohammed Le Doze (ODbL 1.0), world-atlas by Mike Bostock (ISC), "
        "country-json (MIT), NOAA's ETOPO5 and COADS, FAO (AQUASTAT, fishery and food balance "
        "statistics) and the World Bank (CC BY 4.0); readme.txt gives their terms.");
}

TAboutForm::TAboutForm(const Tprograminfo& program, unsigned digits, QWidget* parent,
                       Topener opener)
    : QDialog(parent), program_(program), digits_(digits),
      opener_(opener ? std::move(opener) : Topener(runprogram)) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QString::fromStdString(program_.caption("About")));
    // Below the design size's picture, name and link: the licence and the
    // data's attribution, which the sources ask to be shown with the data.
    resize(524, 475 + 78);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(8, 8, 500, 400);
    Image->setPixmap(programpicture(program_));

    NameLabel = new QLabel(QString::fromStdString(program_.namever()), this);
    NameLabel->setObjectName(QStringLiteral("NameLabel"));
    NameLabel->setTextFormat(Qt::PlainText);
    NameLabel->move(8, 412);
    NameLabel->setToolTip(QString::fromStdString(program_.programfile()));
    NameLabel->installEventFilter(this);

    LinkLabel = new QLabel(QString::fromStdString(program_.link()), this);
    LinkLabel->setObjectName(QStringLiteral("LinkLabel"));
    LinkLabel->setTextFormat(Qt::PlainText);
    LinkLabel->move(8, 432);
    linklabel(LinkLabel);
    LinkLabel->installEventFilter(this);
    // A build without a web page has nothing to click.
    LinkLabel->setVisible(!program_.link().empty());

    LicenceLabel = new QLabel(aboutlicence(), this);
    LicenceLabel->setObjectName(QStringLiteral("LicenceLabel"));
    LicenceLabel->setTextFormat(Qt::PlainText);
    LicenceLabel->setWordWrap(true);
    LicenceLabel->setGeometry(8, 458, 508, 88);
    QFont small = LicenceLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    LicenceLabel->setFont(small);

    CloseButton = new QPushButton(this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    standardbutton(CloseButton, 2);
    CloseButton->setDefault(true);
    CloseButton->setGeometry(436, 416, 80, 25);

    for (QLabel* label : {NameLabel, LinkLabel}) label->adjustSize();
    formsetup(this, 2);
}

void TAboutForm::LinkLabelClick() {
    if (!program_.link().empty()) opener_(QString::fromStdString(program_.link()));
}

void TAboutForm::NameLabelDblClick() {
    opener_(QString::fromStdString(program_.programdirectory()));
}

void TAboutForm::FormDblClick() {
    sysinfo(program_, digits_, this);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    const bool left = (event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick) &&
                      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (left && watched == LinkLabel && event->type() == QEvent::MouseButtonRelease) {
        reporterrors(this, [this] { LinkLabelClick(); });
        return true;
    }
    if (left && watched == NameLabel && event->type() == QEvent::MouseButtonDblClick) {
        reporterrors(this, [this] { NameLabelDblClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) reporterrors(this, [this] { FormDblClick(); });
    QDialog::mouseDoubleClickEvent(event);
}

void about(const Tprograminfo& program, unsigned digits, QWidget* parent) {
    TAboutForm form(program, digits, parent);
    form.exec();
}

} // namespace velmora
