#include "views/aggregationform.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "toolkit/forms.h"
#include "views/dialogsupport.h"

namespace velmora {

namespace {
constexpr int levelcount = 16;
constexpr int levelcolumns = 4;
} // namespace

TAggregationForm::TAggregationForm(Tsettings& settings, const Tregions& regions, QWidget* parent)
    : QDialog(parent), settings_(settings), regions_(regions) {
    setWindowTitle(QStringLiteral("Aggregation level"));

    GroupBox = new QGroupBox(QStringLiteral("Aggregation of emission regions"), this);
    LevelRadioGroup = new QGroupBox(QStringLiteral("Aggregation level"), GroupBox);
    LevelButtons = new QButtonGroup(this);
    auto* grid = new QGridLayout(LevelRadioGroup);
    // The items run down each column before the next one starts.
    const int rows = (levelcount + levelcolumns - 1) / levelcolumns;
    for (int k = 0; k < levelcount; ++k) {
        auto* button = new QRadioButton(
            QString::fromLatin1(aggregationlevelnames[static_cast<std::size_t>(k)]),
            LevelRadioGroup);
        LevelRadioButtons[static_cast<std::size_t>(k)] = button;
        LevelButtons->addButton(button, k);
        grid->addWidget(button, k % rows, k / rows);
    }
    grid->setHorizontalSpacing(16);

    RegionLabel = new QLabel(QStringLiteral("Emission region"), GroupBox);
    RegionComboBox = new QComboBox(GroupBox);
    RegionComboBox->setMinimumContentsLength(24);
    RegionComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    RegionLabel->setBuddy(RegionComboBox);

    auto* regionrow = new QHBoxLayout;
    regionrow->addWidget(RegionLabel);
    regionrow->addWidget(RegionComboBox);
    regionrow->addStretch(1);
    auto* grouplayout = new QVBoxLayout(GroupBox);
    grouplayout->addWidget(LevelRadioGroup);
    grouplayout->addLayout(regionrow);

    CancelButton = new QPushButton(this);
    OKButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    standardbutton(OKButton, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox);
    layout->addLayout(buttons);

    connect(LevelButtons, &QButtonGroup::idClicked, this, guarded(this, [this] { LevelRadioGroupClick(); }));
    formsetup(this, 2);
}

int TAggregationForm::level() const {
    return LevelButtons->checkedId();
}

void TAggregationForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormShow(); });
}

void TAggregationForm::FormShow() {
    if (settings_.AggregationLevel < levelcount)
        LevelRadioButtons[settings_.AggregationLevel]->setChecked(true);
    LevelRadioGroupClick();
    // The present group is often missing from its own level's list (its
    // members were left out when this world was read); it is put first, so
    // that OK without a change keeps the world as it is.
    const QString group = QString::fromStdString(settings_.AggregationGroup);
    int found = RegionComboBox->findText(group, Qt::MatchExactly | Qt::MatchCaseSensitive);
    const int k = level();
    if (found < 0 && !group.isEmpty() && k >= 1 && k <= 14) {
        RegionComboBox->insertItem(0, group);
        found = 0;
        const bool choice = RegionComboBox->count() > 1;
        RegionComboBox->setEnabled(choice);
        RegionLabel->setEnabled(choice);
    }
    if (found >= 0) RegionComboBox->setCurrentIndex(found);
}

void TAggregationForm::LevelRadioGroupClick() {
    const int k = level();
    RegionComboBox->clear();
    if (k >= 1 && k <= 14) {
        const Tstrvector& values = regions_.distinctvalues[static_cast<std::size_t>(k - 1)];
        for (std::uint32_t i = 1; i <= values.count(); ++i)
            RegionComboBox->addItem(QString::fromStdString(values.getvalue(i)));
        if (RegionComboBox->count() > 0) RegionComboBox->setCurrentIndex(0);
    }
    const bool choice = RegionComboBox->count() > 1;
    RegionComboBox->setEnabled(choice);
    RegionLabel->setEnabled(choice);
}

void TAggregationForm::accept() {
    const std::uint8_t chosen =
        level() >= 0 ? static_cast<std::uint8_t>(level()) : settings_.AggregationLevel;
    const std::string group = RegionComboBox->currentText().toStdString();
    // Taking a choice the workbook cannot build would read the whole world
    // while the settings claim an aggregation.
    if (checkchoice) {
        const std::string problem = checkchoice(chosen, group);
        if (!problem.empty()) {
            errorbox(this, QString::fromStdString("The regions cannot be aggregated: " + problem));
            return;
        }
    }
    settings_.AggregationLevel = chosen;
    settings_.AggregationGroup = group;
    QDialog::accept();
}

} // namespace velmora
