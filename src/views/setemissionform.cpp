#include "views/setemissionform.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QComboBox* makelist(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setMaxVisibleItems(20);
    list->setMinimumContentsLength(28);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

// Selects entry number - 1; a number the list does not hold leaves the
// selection where it is.
void selectnumber(QComboBox* list, int number) {
    if (number >= 1 && number <= list->count()) list->setCurrentIndex(number - 1);
}

} // namespace

TSetEmissionForm::TSetEmissionForm(const Tregions& regions, const Tcompartments& compartments,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Set emission"));

    RegionLabel = new QLabel(QStringLiteral("&Region"), this);
    RegionComboBox = makelist(this);
    RegionLabel->setBuddy(RegionComboBox);
    CompartmentLabel = new QLabel(QStringLiteral("&Compartment"), this);
    CompartmentComboBox = makelist(this);
    CompartmentLabel->setBuddy(CompartmentComboBox);

    for (std::uint32_t i = 1; i <= regions.count; ++i)
        RegionComboBox->addItem(QString::fromStdString(regions.name(i)));
    for (std::uint32_t c = 1; c <= compartments.count; ++c)
        CompartmentComboBox->addItem(QString::fromStdString(compartments.name(c)));
    if (RegionComboBox->count() > 0) RegionComboBox->setCurrentIndex(0);
    if (CompartmentComboBox->count() > 0) CompartmentComboBox->setCurrentIndex(0);

    auto* grid = new QGridLayout;
    grid->addWidget(RegionLabel, 0, 0);
    grid->addWidget(RegionComboBox, 0, 1);
    grid->addWidget(CompartmentLabel, 1, 0);
    grid->addWidget(CompartmentComboBox, 1, 1);

    CancelButton = new QPushButton(this);
    OKButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    standardbutton(OKButton, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    formsetup(this, 2);
}

void TSetEmissionForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormShow(); });
}

void TSetEmissionForm::FormShow() {
    selectnumber(RegionComboBox, region);
    selectnumber(CompartmentComboBox, compartment);
}

void TSetEmissionForm::accept() {
    // An empty list (no world read) has nothing to choose: keep the preset.
    if (RegionComboBox->currentIndex() >= 0) region = RegionComboBox->currentIndex() + 1;
    if (CompartmentComboBox->currentIndex() >= 0)
        compartment = CompartmentComboBox->currentIndex() + 1;
    QDialog::accept();
}

} // namespace velmora
