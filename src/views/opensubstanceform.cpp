#include "views/opensubstanceform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/forms.h"
#include "views/dialogsupport.h"

namespace velmora {

namespace {
const QString substancesheet = QStringLiteral("VELMORA");
} // namespace

TOpenSubstanceForm::TOpenSubstanceForm(Tworkspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setWindowTitle(QStringLiteral("Open substance"));

    FileLabel = new QLabel(QStringLiteral("&File"), this);
    FileEdit = new QLineEdit(this);
    FileEdit->setMinimumWidth(360);
    FileLabel->setBuddy(FileEdit);
    TypeLabel = new QLabel(QStringLiteral("&Type"), this);
    TypeComboBox = new QComboBox(this);
    TypeLabel->setBuddy(TypeComboBox);
    SubstanceLabel = new QLabel(QStringLiteral("S&ubstance"), this);
    SubstanceListBox = new QListWidget(this);
    SubstanceListBox->setMinimumHeight(260);
    SubstanceLabel->setBuddy(SubstanceListBox);
    SearchLabel = new QLabel(QStringLiteral("&Search"), this);
    SearchEdit = new QLineEdit(this);
    SearchLabel->setBuddy(SearchEdit);
    RecalculateCheckBox = new QCheckBox(QStringLiteral("Recalculate results"), this);
    RecalculateCheckBox->setChecked(true);

    auto* grid = new QGridLayout;
    grid->addWidget(FileLabel, 0, 0);
    grid->addWidget(FileEdit, 0, 1);
    grid->addWidget(TypeLabel, 1, 0);
    grid->addWidget(TypeComboBox, 1, 1);
    grid->addWidget(SubstanceLabel, 2, 0, Qt::AlignTop);
    grid->addWidget(SubstanceListBox, 2, 1);
    grid->addWidget(SearchLabel, 3, 0);
    grid->addWidget(SearchEdit, 3, 1);
    grid->addWidget(RecalculateCheckBox, 4, 1);

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

    // Every keystroke in the file field would try to open a half-typed name;
    // the field is taken when the user is done with it.
    connect(FileEdit, &QLineEdit::editingFinished, this, guarded(this, [this] {
        if (FileEdit->isModified()) {
            FileEdit->setModified(false);
            FileEditChange();
        }
    }));
    connect(TypeComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { TypeComboBoxChange(); }));
    connect(SearchEdit, &QLineEdit::textChanged, this, guarded(this, [this] { SearchEditChange(); }));
    connect(SubstanceListBox, &QListWidget::currentRowChanged, this,
            guarded(this, [this] { SubstanceListBoxSelect(); }));
    connect(SubstanceListBox, &QListWidget::itemDoubleClicked, this, guarded(this, [this] {
        if (OKButton->isEnabled()) OKButton->click();
    }));

    FileEdit->setText(QString::fromStdString(ws_.settings.SubstancesFile));
    FileEditChange();
    formsetup(this, 2);
}

void TOpenSubstanceForm::FileEditChange() {
    // The workbook the workspace holds open is the one listed; a new name
    // only counts while none is open.
    if (!ws_.SubstancesWorkbook) {
        auto workbook = std::make_unique<TExcelFile>(ws_.ui, FileEdit->text().toStdString());
        if (workbook->isopen()) ws_.SubstancesWorkbook = std::move(workbook);
    }
    std::unique_ptr<Tprogress> progress = ws_.ui.progress();
    progress->setmaintext("Opening " + FileEdit->text().toStdString());
    {
        const QSignalBlocker blocker(TypeComboBox);
        TypeComboBox->clear();
        TypeComboBox->addItem(substancesheet);
        TypeComboBox->setCurrentIndex(0);
    }
    TypeComboBoxChange();
}

void TOpenSubstanceForm::TypeComboBoxChange() {
    names_.clear();
    if (ws_.SubstancesWorkbook && TypeComboBox->currentIndex() >= 0) {
        // A workbook without the sheet lists nothing, and says so.
        reporterrors(this, [this] {
            names_ =
                substancenames(*ws_.SubstancesWorkbook, TypeComboBox->currentText().toStdString());
        });
    }
    list(names_);
}

void TOpenSubstanceForm::SearchEditChange() {
    const std::string text = SearchEdit->text().toStdString();
    std::unique_ptr<Tprogress> progress = ws_.ui.progress();
    progress->setmaintext("Searching " + text);
    list(searchsubstances(names_, text));
}

void TOpenSubstanceForm::list(const std::vector<std::string>& names) {
    {
        const QSignalBlocker blocker(SubstanceListBox);
        SubstanceListBox->clear();
        for (const std::string& name : names)
            SubstanceListBox->addItem(QString::fromStdString(name));
    }
    setWindowTitle(QStringLiteral("Open substance (%1/%2)").arg(names.size()).arg(names_.size()));
    SubstanceListBox->setCurrentRow(names.empty() ? -1 : 0);
    SubstanceListBoxSelect();
}

void TOpenSubstanceForm::SubstanceListBoxSelect() {
    // Nothing to import without a chosen substance: OK waits for one.
    OKButton->setEnabled(SubstanceListBox->currentRow() >= 0 && ws_.SubstancesWorkbook);
}

void TOpenSubstanceForm::accept() {
    QListWidgetItem* item = SubstanceListBox->currentItem();
    if (!item || !ws_.SubstancesWorkbook) return;
    const std::string name = item->text().toStdString();
    const std::string sheet = TypeComboBox->currentText().toStdString();
    const bool ok = reporterrors(this, [&] {
        std::unique_ptr<Tprogress> progress = ws_.ui.progress();
        progress->setmaintext("Importing " + name);
        ws_.opensubstance(name, sheet);
        if (RecalculateCheckBox->isChecked()) ws_.calculate();
    });
    if (ok) QDialog::accept();
}

} // namespace velmora
