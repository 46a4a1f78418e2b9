#include "views/allfactorsform.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

void checkall(QListWidget* list, bool checked) {
    for (int k = 0; k < list->count(); ++k)
        list->item(k)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int checkedcount(const QListWidget* list) {
    int n = 0;
    for (int k = 0; k < list->count(); ++k)
        n += list->item(k)->checkState() == Qt::Checked;
    return n;
}

bool ischecked(const QListWidget* list, std::uint32_t number) {
    const QListWidgetItem* item = list->item(static_cast<int>(number) - 1);
    return item && item->checkState() == Qt::Checked;
}

// A group with a check list and, below it, its buttons.
QListWidget* checklistgroup(QGroupBox* group, const std::vector<QPushButton*>& buttons) {
    auto* layout = new QVBoxLayout(group);
    auto* list = new QListWidget(group);
    list->setMinimumSize(230, 300);
    layout->addWidget(list, 1);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons) {
        b->setParent(group);
        row->addWidget(b);
    }
    row->addStretch(1);
    layout->addLayout(row);
    return list;
}

QPushButton* namedbutton(const QString& caption, const char* name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TAllFactorsForm::TAllFactorsForm(Tworkspace& ws, QWidget* parent, const QString& selectionfile)
    : QDialog(parent), ws_(ws), selectionfile_(selectionfile) {
    FormCreate();
}

void TAllFactorsForm::FormCreate() {
    setObjectName(QStringLiteral("AllFactorsForm"));
    setWindowTitle(QStringLiteral("All factors"));

    RegionsGroupBox = new QGroupBox(QStringLiteral("Regions"), this);
    RegionsGroupBox->setObjectName(QStringLiteral("RegionsGroupBox"));
    SelectAllRegionsButton = namedbutton(QStringLiteral("Select all"), "SelectAllRegionsButton");
    UnselectAllRegionsButton =
        namedbutton(QStringLiteral("Unselect all"), "UnselectAllRegionsButton");
    SelectRegionsFromFileButton =
        namedbutton(QStringLiteral("Select from file"), "SelectRegionsFromFileButton");
    RegionsCheckListBox =
        checklistgroup(RegionsGroupBox, {SelectAllRegionsButton, UnselectAllRegionsButton,
                                         SelectRegionsFromFileButton});
    RegionsCheckListBox->setObjectName(QStringLiteral("RegionsCheckListBox"));

    CompartmentsGroupBox = new QGroupBox(QStringLiteral("Compartments"), this);
    CompartmentsGroupBox->setObjectName(QStringLiteral("CompartmentsGroupBox"));
    SelectAllCompartmentsButton =
        namedbutton(QStringLiteral("Select all"), "SelectAllCompartmentsButton");
    UnselectAllCompartmentsButton =
        namedbutton(QStringLiteral("Unselect all"), "UnselectAllCompartmentsButton");
    CompartmentsCheckListBox = checklistgroup(
        CompartmentsGroupBox, {SelectAllCompartmentsButton, UnselectAllCompartmentsButton});
    CompartmentsCheckListBox->setObjectName(QStringLiteral("CompartmentsCheckListBox"));

    InversionCheckBox = new QCheckBox(QStringLiteral("Use matrix inversion"), this);
    InversionCheckBox->setObjectName(QStringLiteral("InversionCheckBox"));
    InversionCheckBox->setChecked(true);

    CancelButton = new QPushButton(this);
    OKButton = new QPushButton(this);
    standardbutton(CancelButton, 1);
    standardbutton(OKButton, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(InversionCheckBox);
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RegionsGroupBox, 1);
    groups->addWidget(CompartmentsGroupBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);

    // The file is looked for once, now; one that goes before the button is
    // pressed is reported then.
    SelectRegionsFromFileButton->setEnabled(QFileInfo::exists(selectionfile_));

    connect(SelectAllRegionsButton, &QPushButton::clicked, this,
            guarded(this, [this] { SelectAllRegionsButtonClick(); }));
    connect(UnselectAllRegionsButton, &QPushButton::clicked, this,
            guarded(this, [this] { UnselectAllRegionsButtonClick(); }));
    connect(SelectRegionsFromFileButton, &QPushButton::clicked, this,
            guarded(this, [this] { SelectRegionsFromFileButtonClick(); }));
    connect(SelectAllCompartmentsButton, &QPushButton::clicked, this,
            guarded(this, [this] { SelectAllCompartmentsButtonClick(); }));
    connect(UnselectAllCompartmentsButton, &QPushButton::clicked, this,
            guarded(this, [this] { UnselectAllCompartmentsButtonClick(); }));
    for (QListWidget* list : {RegionsCheckListBox, CompartmentsCheckListBox})
        connect(list, &QListWidget::itemChanged, this, guarded(this, [this] { CheckListBoxClickCheck(); }));
    formsetup(this, 2);
}

void TAllFactorsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormShow(); });
}

void TAllFactorsForm::FormShow() {
    const Tallfactorsselection start = Tallfactorsselection::defaults(ws_.model, OECDOnly);
    // One caption update after filling, not one per item.
    const QSignalBlocker regionsquiet(RegionsCheckListBox);
    const QSignalBlocker compartmentsquiet(CompartmentsCheckListBox);
    RegionsCheckListBox->clear();
    for (std::uint32_t r = 1; r <= ws_.regions.count; ++r) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(ws_.regions.name(r)), RegionsCheckListBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(start.regions[r] ? Qt::Checked : Qt::Unchecked);
    }
    CompartmentsCheckListBox->clear();
    for (std::uint32_t c = 1; c <= ws_.compartments.count; ++c) {
        auto* item = new QListWidgetItem(QString::fromStdString(ws_.compartments.name(c)),
                                         CompartmentsCheckListBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c < start.compartments.size() && start.compartments[c] ? Qt::Checked
                                                                                   : Qt::Unchecked);
    }
    CheckListBoxClickCheck();
}

void TAllFactorsForm::CheckListBoxClickCheck() {
    RegionsGroupBox->setTitle(QStringLiteral("Regions (%1/%2)")
                                  .arg(checkedcount(RegionsCheckListBox))
                                  .arg(RegionsCheckListBox->count()));
    CompartmentsGroupBox->setTitle(QStringLiteral("Compartments (%1/%2)")
                                       .arg(checkedcount(CompartmentsCheckListBox))
                                       .arg(CompartmentsCheckListBox->count()));
}

void TAllFactorsForm::SelectAllRegionsButtonClick() {
    checkall(RegionsCheckListBox, true);
    CheckListBoxClickCheck();
}

void TAllFactorsForm::UnselectAllRegionsButtonClick() {
    checkall(RegionsCheckListBox, false);
    CheckListBoxClickCheck();
}

void TAllFactorsForm::SelectAllCompartmentsButtonClick() {
    checkall(CompartmentsCheckListBox, true);
    CheckListBoxClickCheck();
}

void TAllFactorsForm::UnselectAllCompartmentsButtonClick() {
    checkall(CompartmentsCheckListBox, false);
    CheckListBoxClickCheck();
}

void TAllFactorsForm::SelectRegionsFromFileButtonClick() {
    Tallfactorsselection fromfile = selection();
    if (!fromfile.selectregionsfromfile(ws_.model, selectionfile_.toStdString())) {
        // The checks stay as they were: a file that cannot be read selects
        // nothing, and unchecking everything first would lose the choice.
        // The reading has told why.
        return;
    }
    for (int k = 0; k < RegionsCheckListBox->count(); ++k) {
        const std::size_t r = static_cast<std::size_t>(k) + 1;
        RegionsCheckListBox->item(k)->setCheckState(
            r < fromfile.regions.size() && fromfile.regions[r] ? Qt::Checked : Qt::Unchecked);
    }
    CheckListBoxClickCheck();
}

Tallfactorsselection TAllFactorsForm::selection() const {
    Tallfactorsselection s;
    s.oecdonly = OECDOnly;
    s.useinversion = InversionCheckBox->isChecked();
    s.regions.assign(ws_.regions.count + 1, false);
    for (std::uint32_t r = 1; r <= ws_.regions.count; ++r)
        s.regions[r] = ischecked(RegionsCheckListBox, r);
    for (std::uint32_t c = 1; c <= ws_.compartments.count && c < s.compartments.size(); ++c)
        s.compartments[c] = ischecked(CompartmentsCheckListBox, c);
    return s;
}

} // namespace velmora
