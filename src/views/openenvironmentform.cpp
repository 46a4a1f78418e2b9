#include "views/openenvironmentform.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

TOpenEnvironmentForm::TOpenEnvironmentForm(Tworkspace& ws, QWidget* parent)
    : TGuardedDialog(parent), ws_(ws) {
    setWindowTitle(QStringLiteral("Open environment"));

    auto* grid = new QGridLayout;
    auto line = [&](int row, const QString& caption, QCheckBox*& box, QLineEdit*& field,
                    QPushButton*& browse) {
        box = new QCheckBox(caption, this);
        field = new QLineEdit(this);
        field->setMinimumWidth(420);
        browse = new QPushButton(QStringLiteral("Browse ..."), this);
        browse->setToolTip(QStringLiteral("Choose the workbook"));
        grid->addWidget(box, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(browse, row, 2);
        connect(box, &QCheckBox::toggled, this, guarded(this, [this] { CheckBoxClick(); }));
        QLineEdit* f = field;
        connect(browse, &QPushButton::clicked, this,
                guarded(this, [this, f] { BrowseButtonClick(f); }));
    };
    line(0, QStringLiteral("File1"), File1CheckBox, File1Edit, Browse1Button);
    line(1, QStringLiteral("File2"), File2CheckBox, File2Edit, Browse2Button);

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

void TOpenEnvironmentForm::showEvent(QShowEvent* event) {
    TGuardedDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormShow(); });
}

void TOpenEnvironmentForm::FormShow() {
    File1Edit->setText(QString::fromStdString(ws_.settings.ParametersFile));
    File2Edit->setText(QString::fromStdString(ws_.settings.BordersFile));
    File1CheckBox->setChecked(true);
    // Without borders and flows there is no environment: an import of the
    // first workbook alone would leave it missing still.
    File2CheckBox->setChecked(ws_.env.bordersmissing);
    CheckBoxClick();
}

void TOpenEnvironmentForm::CheckBoxClick() {
    // A workbook that will not be read cannot be chosen either.
    File1Edit->setEnabled(File1CheckBox->isChecked());
    Browse1Button->setEnabled(File1CheckBox->isChecked());
    File2Edit->setEnabled(File2CheckBox->isChecked());
    Browse2Button->setEnabled(File2CheckBox->isChecked());
}

void TOpenEnvironmentForm::BrowseButtonClick(QLineEdit* field) {
    QFileDialog dialog(this, QStringLiteral("Open"), QFileInfo(field->text()).absolutePath(),
                       QStringLiteral("Excel files (*.xlsx *.xls)"));
    dialog.setObjectName(QStringLiteral("BrowseDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (QFileInfo(field->text()).exists()) dialog.selectFile(field->text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        field->setText(dialog.selectedFiles().constFirst());
}

void TOpenEnvironmentForm::accept() {
    if (guard([this] { import(); })) TGuardedDialog::accept();
}

void TOpenEnvironmentForm::import() {
    // All or nothing, and the settings keep the old names unless it worked.
    ws_.openenvironment(File1CheckBox->isChecked(), File2CheckBox->isChecked(),
                        File1Edit->text().toStdString(), File2Edit->text().toStdString());
}

} // namespace velmora
