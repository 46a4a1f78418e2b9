#include "views/substancetypeform.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

TSubstanceTypeForm::TSubstanceTypeForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Substance type"));

    TypeRadioGroup = new QGroupBox(QStringLiteral("Type"), this);
    TypeButtons = new QButtonGroup(this);
    MetalRadioButton = new QRadioButton(QStringLiteral("&Metal (inorganic)"), TypeRadioGroup);
    OrganicRadioButton = new QRadioButton(QStringLiteral("&Organic"), TypeRadioGroup);
    GasRadioButton = new QRadioButton(QStringLiteral("&Gas"), TypeRadioGroup);
    TypeButtons->addButton(MetalRadioButton, 0);
    TypeButtons->addButton(OrganicRadioButton, 1);
    TypeButtons->addButton(GasRadioButton, 2);

    ClassComboBox = new QComboBox(TypeRadioGroup);
    ClassComboBox->addItem(QStringLiteral("Organic (unclassified)"));
    for (const Torganicclass& c : organicclasses)
        ClassComboBox->addItem(QString::fromLatin1(c.name));
    ClassComboBox->setCurrentIndex(0);
    ClassComboBox->setMaxVisibleItems(ClassComboBox->count());

    // The class list stands beside "Organic", which it belongs to.
    auto* organicrow = new QHBoxLayout;
    organicrow->addWidget(OrganicRadioButton);
    organicrow->addWidget(ClassComboBox, 1);
    auto* typelayout = new QVBoxLayout(TypeRadioGroup);
    typelayout->addWidget(MetalRadioButton);
    typelayout->addLayout(organicrow);
    typelayout->addWidget(GasRadioButton);

    CancelButton = new QPushButton(this);
    OKButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    standardbutton(OKButton, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TypeRadioGroup);
    layout->addLayout(buttons);

    connect(TypeButtons, &QButtonGroup::idToggled, this, guarded(this, [this] { TypeRadioGroupClick(); }));
    TypeRadioGroupClick();
    formsetup(this, 2);
}

void TSubstanceTypeForm::preset(const Tsubstancetypechoice& choice) {
    // An exclusive group cannot lose its last check, so lift that for "none".
    TypeButtons->setExclusive(false);
    for (QAbstractButton* b : TypeButtons->buttons())
        b->setChecked(false);
    TypeButtons->setExclusive(true);
    if (QAbstractButton* b = TypeButtons->button(choice.type)) b->setChecked(true);
    if (choice.classindex >= -1 && choice.classindex < ClassComboBox->count())
        ClassComboBox->setCurrentIndex(choice.classindex);
    TypeRadioGroupClick();
}

Tsubstancetypechoice TSubstanceTypeForm::choice() const {
    Tsubstancetypechoice c;
    c.type = TypeButtons->checkedId();
    c.classindex = ClassComboBox->currentIndex();
    return c;
}

void TSubstanceTypeForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { TypeRadioGroupClick(); });
}

void TSubstanceTypeForm::TypeRadioGroupClick() {
    OKButton->setEnabled(TypeButtons->checkedId() >= 0);
    ClassComboBox->setEnabled(OrganicRadioButton->isChecked());
}

bool Tqtsubstancetypedialog::run(Tsubstancetypechoice& choice) {
    TSubstanceTypeForm form(parent_);
    form.preset(choice);
    if (form.exec() != QDialog::Accepted) return false;
    choice = form.choice();
    return true;
}

} // namespace velmora
