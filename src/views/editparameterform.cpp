#include "views/editparameterform.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QLabel* infolabel(QWidget* parent, const QString& name, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TEditParameterForm::TEditParameterForm(Teditrequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    FormCreate();
}

void TEditParameterForm::FormCreate() {
    setObjectName(QStringLiteral("EditParameterForm"));
    setWindowTitle(QStringLiteral("Edit parameter"));

    ParameterLabel =
        infolabel(this, QStringLiteral("ParameterLabel"), "Parameter: " + request_.name);
    RegionLabel = infolabel(this, QStringLiteral("RegionLabel"), "Region: " + request_.regionlabel);
    UnitLabel = infolabel(this, QStringLiteral("UnitLabel"), "Unit: " + request_.unit);
    StatusLabel = infolabel(this, QStringLiteral("StatusLabel"), "Status: " + request_.statusword);

    ValueRadioGroup = new QGroupBox(QStringLiteral("Value"), this);
    ValueRadioGroup->setObjectName(QStringLiteral("ValueRadioGroup"));
    KnownRadioButton = new QRadioButton(QStringLiteral("&Known"), ValueRadioGroup);
    KnownRadioButton->setObjectName(QStringLiteral("KnownRadioButton"));
    UnknownRadioButton = new QRadioButton(QStringLiteral("&Unknown"), ValueRadioGroup);
    UnknownRadioButton->setObjectName(QStringLiteral("UnknownRadioButton"));

    ValueEdit = new QLineEdit(ValueRadioGroup);
    ValueEdit->setObjectName(QStringLiteral("ValueEdit"));
    ValueEdit->setMinimumWidth(160);
    ValueComboBox = new QComboBox(ValueRadioGroup);
    ValueComboBox->setObjectName(QStringLiteral("ValueComboBox"));
    ValueComboBox->addItems({QStringLiteral("False"), QStringLiteral("True")});
    ValueComboBox->setMinimumWidth(160);

    const bool boolean = request_.kind == Tvaluekind::boolean;
    ValueEdit->setVisible(!boolean);
    ValueComboBox->setVisible(boolean);
    if (boolean)
        ValueComboBox->setCurrentIndex(request_.valuetext == "True" ? 1 : 0);
    else
        ValueEdit->setText(QString::fromStdString(request_.valuetext));
    (request_.unknown ? UnknownRadioButton : KnownRadioButton)->setChecked(true);

    auto* group = new QGridLayout(ValueRadioGroup);
    group->addWidget(KnownRadioButton, 0, 0);
    group->addWidget(ValueEdit, 0, 1);
    group->addWidget(ValueComboBox, 0, 1);
    group->addWidget(UnknownRadioButton, 1, 0);
    group->setColumnStretch(1, 1);

    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    standardbutton(CancelButton, 1);
    OKButton = new QPushButton(this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    standardbutton(OKButton, 0);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelButton);
    buttons->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ParameterLabel);
    layout->addWidget(RegionLabel);
    layout->addWidget(UnitLabel);
    layout->addWidget(StatusLabel);
    layout->addWidget(ValueRadioGroup);
    layout->addLayout(buttons);

    connect(KnownRadioButton, &QRadioButton::toggled, this,
            guarded(this, [this] { ValueRadioGroupClick(); }));
    ValueRadioGroupClick();
    formsetup(this, 2);
}

QWidget* TEditParameterForm::valueentry() const {
    return request_.kind == Tvaluekind::boolean ? static_cast<QWidget*>(ValueComboBox)
                                                : static_cast<QWidget*>(ValueEdit);
}

void TEditParameterForm::ValueRadioGroupClick() {
    valueentry()->setEnabled(KnownRadioButton->isChecked());
}

void TEditParameterForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormShow(); });
}

// The user usually comes to type a new value: start in the entry with the
// old one selected, or on OK when the value is unknown.
void TEditParameterForm::FormShow() {
    if (KnownRadioButton->isChecked()) {
        valueentry()->setFocus();
        ValueEdit->selectAll();
    } else {
        OKButton->setFocus();
    }
}

void TEditParameterForm::accept() {
    request_.answerknown = KnownRadioButton->isChecked();
    request_.answertext = request_.kind == Tvaluekind::boolean
                              ? ValueComboBox->currentText().toStdString()
                              : ValueEdit->text().toStdString();
    QDialog::accept();
}

} // namespace velmora
