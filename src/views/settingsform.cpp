#include "views/settingsform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "numeric/utilities.h"
#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A group box of radio buttons numbered from 0 in the order given.
QGroupBox* radiogroup(QWidget* parent, const QString& caption, const QStringList& items,
                      QButtonGroup*& buttons) {
    auto* box = new QGroupBox(caption, parent);
    buttons = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (int k = 0; k < items.size(); ++k) {
        auto* button = new QRadioButton(items[k], box);
        buttons->addButton(button, k);
        layout->addWidget(button);
    }
    return box;
}

void check(QButtonGroup* buttons, int index) {
    if (QAbstractButton* b = buttons->button(index)) b->setChecked(true);
}

QLabel* datelabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMinimumWidth(130);
    return label;
}

} // namespace

TSettingsForm::TSettingsForm(Tworkspace& ws, QWidget* parent) : TGuardedDialog(parent), ws_(ws) {
    setWindowTitle(QStringLiteral("Settings"));

    auto* numbers = new QGroupBox(QStringLiteral("Numbers"), this);
    DigitsSpinEdit = new QSpinBox(numbers);
    DigitsSpinEdit->setRange(1, 10);
    EmissionEdit = new QLineEdit(numbers);
    EmissionUnitLabel = new QLabel(numbers);
    InfValueEdit = new QLineEdit(numbers);
    auto* numbersgrid = new QGridLayout(numbers);
    auto addrow = [](QGridLayout* grid, int row, const QString& caption, QWidget* field,
                     QWidget* parentwidget) {
        auto* label = new QLabel(caption, parentwidget);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    addrow(numbersgrid, 0, QStringLiteral("Digits"), DigitsSpinEdit, numbers);
    addrow(numbersgrid, 1, QStringLiteral("Emission"), EmissionEdit, numbers);
    numbersgrid->addWidget(EmissionUnitLabel, 1, 2);
    addrow(numbersgrid, 2, QStringLiteral("Infinite"), InfValueEdit, numbers);
    numbersgrid->setColumnStretch(1, 1);

    auto* visual = new QGroupBox(QStringLiteral("Visual"), this);
    InfTextEdit = new QLineEdit(visual);
    UnknownTextEdit = new QLineEdit(visual);
    HiddenTextEdit = new QLineEdit(visual);
    auto* visualgrid = new QGridLayout(visual);
    addrow(visualgrid, 0, QStringLiteral("Infinite"), InfTextEdit, visual);
    addrow(visualgrid, 1, QStringLiteral("Unknown"), UnknownTextEdit, visual);
    addrow(visualgrid, 2, QStringLiteral("Hidden"), HiddenTextEdit, visual);

    auto* reference = new QGroupBox(QStringLiteral("Reference"), this);
    ReferenceSubstanceLabel = new QLabel(reference);
    ReferenceRegionLabel = new QLabel(reference);
    ReferenceCompartmentLabel = new QLabel(reference);
    ClearButton = new QPushButton(QStringLiteral("Clear"), reference);
    ClearButton->setToolTip(QStringLiteral("Forget the reference"));
    TakePresentButton = new QPushButton(QStringLiteral("Take present"), reference);
    TakePresentButton->setToolTip(QStringLiteral("Make the present results the reference"));
    auto* referencebuttons = new QHBoxLayout;
    referencebuttons->addWidget(ClearButton);
    referencebuttons->addWidget(TakePresentButton);
    referencebuttons->addStretch(1);
    auto* referencelayout = new QVBoxLayout(reference);
    referencelayout->addWidget(ReferenceSubstanceLabel);
    referencelayout->addWidget(ReferenceRegionLabel);
    referencelayout->addWidget(ReferenceCompartmentLabel);
    referencelayout->addLayout(referencebuttons);

    CalculationsRadioGroup = radiogroup(
        this, QStringLiteral("Calculations"),
        {QStringLiteral("Concentration"), QStringLiteral("Factors")}, CalculationsButtons);
    WithRestimeCheckBox =
        new QCheckBox(QStringLiteral("With MASS, RESTIME, EMISprime and MSR"), this);
    const QStringList displaychoices = {QStringLiteral("No"), QStringLiteral("For emitting region"),
                                        QStringLiteral("For all regions")};
    NBordersRadioGroup = radiogroup(this, QStringLiteral("Display number of borders"),
                                    displaychoices, NBordersButtons);
    DistancesRadioGroup =
        radiogroup(this, QStringLiteral("Display distances"), displaychoices, DistancesButtons);

    auto* files = new QGroupBox(QStringLiteral("Files"), this);
    ParametersFileEdit = new QLineEdit(files);
    BordersFileEdit = new QLineEdit(files);
    SubstancesFileEdit = new QLineEdit(files);
    ParametersFileEdit->setMinimumWidth(400);
    ParametersDateLabel = datelabel(files);
    BordersDateLabel = datelabel(files);
    SubstancesDateLabel = datelabel(files);
    auto* filesgrid = new QGridLayout(files);
    addrow(filesgrid, 0, QStringLiteral("Parameters"), ParametersFileEdit, files);
    filesgrid->addWidget(ParametersDateLabel, 0, 2);
    addrow(filesgrid, 1, QStringLiteral("Borders and flows"), BordersFileEdit, files);
    filesgrid->addWidget(BordersDateLabel, 1, 2);
    addrow(filesgrid, 2, QStringLiteral("Substances"), SubstancesFileEdit, files);
    filesgrid->addWidget(SubstancesDateLabel, 2, 2);
    filesgrid->setColumnStretch(1, 1);
    // The date follows the path as it is typed, so a wrong path shows at once.
    auto follow = [this](QLineEdit* field, QLabel* date) {
        connect(field, &QLineEdit::textChanged, this,
                guarded(this, [field, date] { date->setText(filedate(field->text())); }));
    };
    follow(ParametersFileEdit, ParametersDateLabel);
    follow(BordersFileEdit, BordersDateLabel);
    follow(SubstancesFileEdit, SubstancesDateLabel);

    CloseButton = new QPushButton(this);
    standardbutton(CloseButton, 2);
    CloseButton->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(numbers);
    left->addWidget(visual);
    left->addWidget(reference);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(CalculationsRadioGroup);
    right->addWidget(WithRestimeCheckBox);
    right->addWidget(NBordersRadioGroup);
    right->addWidget(DistancesRadioGroup);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(files);
    layout->addLayout(buttons);

    connect(ClearButton, &QPushButton::clicked, this, guarded(this, [this] { ClearButtonClick(); }));
    connect(TakePresentButton, &QPushButton::clicked, this, guarded(this, [this] { TakePresentButtonClick(); }));

    showworkspace();
    formsetup(this, 2);
}

QString TSettingsForm::filedate(const QString& path) {
    QFileInfo info(path);
    // A missing file has no date; the dash reads as "nothing there" the way
    // hidden values do.
    if (path.isEmpty() || !info.exists()) return QStringLiteral("-");
    return info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

void TSettingsForm::showworkspace() {
    const Tsettings& s = ws_.settings;
    DigitsSpinEdit->setValue(s.Digits);
    shownemission_ = qs(numtostr(s.EmissionAmount, s.Digits));
    EmissionEdit->setText(shownemission_);
    EmissionUnitLabel->setText(qs(ws_.emi.to_air.unit()));
    showninfvalue_ = qs(numtostr(s.InfValue, s.Digits));
    InfValueEdit->setText(showninfvalue_);
    InfTextEdit->setText(qs(s.InfText));
    UnknownTextEdit->setText(qs(s.UnknownText));
    HiddenTextEdit->setText(qs(s.HiddenText));
    ParametersFileEdit->setText(qs(s.ParametersFile));
    BordersFileEdit->setText(qs(s.BordersFile));
    SubstancesFileEdit->setText(qs(s.SubstancesFile));
    ParametersDateLabel->setText(filedate(ParametersFileEdit->text()));
    BordersDateLabel->setText(filedate(BordersFileEdit->text()));
    SubstancesDateLabel->setText(filedate(SubstancesFileEdit->text()));
    check(CalculationsButtons, s.FactorsMode ? 1 : 0);
    WithRestimeCheckBox->setChecked(s.WithRestime);
    check(NBordersButtons, s.NBordersDisplay);
    check(DistancesButtons, s.DistancesDisplay);
    showreference();
}

void TSettingsForm::showreference() {
    const Tref& ref = ws_.ref;
    QString substance = QStringLiteral("-"), region = QStringLiteral("-"),
            compartment = QStringLiteral("-");
    if (ref.held()) {
        substance = qs(ref.substance);
        // A reference outside the present world (none should be) shows as
        // unknown rather than failing the dialog.
        if (ref.region >= 1 && static_cast<std::uint32_t>(ref.region) <= ws_.regions.count)
            region = qs(ws_.regions.name(static_cast<std::uint32_t>(ref.region)));
        else
            region = qs(ws_.settings.UnknownText);
        if (ref.compartment >= 1 && ref.compartment <= ws_.compartments.count)
            compartment = qs(ws_.compartments.name(ref.compartment));
        else
            compartment = qs(ws_.settings.UnknownText);
    }
    ReferenceSubstanceLabel->setText(QStringLiteral("Substance: ") + substance);
    ReferenceRegionLabel->setText(QStringLiteral("Region: ") + region);
    ReferenceCompartmentLabel->setText(QStringLiteral("Compartment: ") + compartment);
    ClearButton->setEnabled(ref.held());
    bool known = false;
    for (const char* name : referenceresultnames) {
        if (const Tresultentry* e = ws_.results.find(name))
            if (Tnumpar* const* p = std::get_if<Tnumpar*>(&e->parameter))
                known = known || (*p)->isknown();
    }
    TakePresentButton->setEnabled(known);
}

void TSettingsForm::ClearButtonClick() {
    ws_.ref.clear();
    showreference();
}

void TSettingsForm::TakePresentButtonClick() {
    reporterrors(this, [this] { ws_.takereference(); });
    showreference();
}

void TSettingsForm::reject() {
    if (guard([this] { takeover(); })) TGuardedDialog::reject();
}

void TSettingsForm::takeover() {
    Tsettings& s = ws_.settings;
    s.Digits = static_cast<std::uint8_t>(DigitsSpinEdit->value());
    // An entry left as shown keeps its value exactly: the display is rounded
    // to the digits shown.
    if (EmissionEdit->text() != shownemission_)
        s.EmissionAmount = emissionamountof(EmissionEdit->text().toStdString());
    if (InfValueEdit->text() != showninfvalue_)
        s.InfValue = infvalueof(InfValueEdit->text().toStdString());
    s.InfText = InfTextEdit->text().toStdString();
    s.UnknownText = UnknownTextEdit->text().toStdString();
    s.HiddenText = HiddenTextEdit->text().toStdString();
    s.ParametersFile = ParametersFileEdit->text().toStdString();
    s.BordersFile = BordersFileEdit->text().toStdString();
    s.SubstancesFile = SubstancesFileEdit->text().toStdString();
    s.FactorsMode = CalculationsButtons->checkedId() == 1;
    s.WithRestime = WithRestimeCheckBox->isChecked();
    s.NBordersDisplay = static_cast<std::uint8_t>(std::max(0, NBordersButtons->checkedId()));
    s.DistancesDisplay = static_cast<std::uint8_t>(std::max(0, DistancesButtons->checkedId()));
}

} // namespace velmora
