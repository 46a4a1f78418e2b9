#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "views/editparameterform.h"

using namespace velmora;
using velmora::testing::snapshot;

namespace {

Teditrequest realrequest() {
    Teditrequest request;
    request.name = "Koc";
    request.regionlabel = "Netherlands";
    request.unit = "m^3*kg^-1";
    request.statusword = "Imported";
    request.kind = Tvaluekind::real;
    request.valuetext = "3.5";
    request.answerknown = false;
    request.answertext = "untouched";
    return request;
}

} // namespace

TEST(TEditParameterForm, ShowsTheRequest) {
    Teditrequest request = realrequest();
    TEditParameterForm form(request);
    form.show();
    EXPECT_EQ(form.windowTitle(), "Edit parameter");
    EXPECT_EQ(form.ParameterLabel->text(), "Parameter: Koc");
    EXPECT_EQ(form.RegionLabel->text(), "Region: Netherlands");
    EXPECT_EQ(form.UnitLabel->text(), "Unit: m^3*kg^-1");
    EXPECT_EQ(form.StatusLabel->text(), "Status: Imported");
    EXPECT_EQ(form.ValueRadioGroup->title(), "Value");
    EXPECT_EQ(form.KnownRadioButton->text(), "&Known");
    EXPECT_EQ(form.UnknownRadioButton->text(), "&Unknown");
    EXPECT_TRUE(form.KnownRadioButton->isChecked());
    EXPECT_FALSE(form.UnknownRadioButton->isChecked());
    EXPECT_TRUE(form.ValueEdit->isVisible());
    EXPECT_TRUE(form.ValueEdit->isEnabled());
    EXPECT_FALSE(form.ValueComboBox->isVisible());
    EXPECT_EQ(form.ValueEdit->text(), "3.5");
    EXPECT_EQ(form.CancelButton->text(), "Cancel");
    EXPECT_EQ(form.OKButton->text(), "OK");
    EXPECT_TRUE(form.OKButton->isDefault());
    // The old value is selected, ready to be typed over.
    EXPECT_EQ(form.ValueEdit->selectedText(), "3.5");
    // Top to bottom as the user reads it; the entry beside "Known".
    EXPECT_LT(form.ParameterLabel->y(), form.RegionLabel->y());
    EXPECT_LT(form.RegionLabel->y(), form.UnitLabel->y());
    EXPECT_LT(form.UnitLabel->y(), form.StatusLabel->y());
    EXPECT_LT(form.StatusLabel->y(), form.ValueRadioGroup->y());
    EXPECT_LT(form.ValueRadioGroup->y(), form.OKButton->y());
    EXPECT_LT(form.KnownRadioButton->x(), form.ValueEdit->x());
    EXPECT_LT(form.KnownRadioButton->y(), form.UnknownRadioButton->y());
    EXPECT_LT(form.CancelButton->x(), form.OKButton->x());
    // The request is read, not written, until OK.
    EXPECT_FALSE(request.answerknown);
    EXPECT_EQ(request.answertext, "untouched");
    EXPECT_FALSE(snapshot(&form, "editparameter-real").isEmpty());
}

TEST(TEditParameterForm, TypedValueOnOK) {
    Teditrequest request = realrequest();
    TEditParameterForm form(request);
    form.show();
    form.ValueEdit->clear();
    QTest::keyClicks(form.ValueEdit, "4.25e-3");
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(request.answerknown);
    EXPECT_EQ(request.answertext, "4.25e-3");
}

TEST(TEditParameterForm, EnterInTheEntryMeansOK) {
    Teditrequest request = realrequest();
    TEditParameterForm form(request);
    form.show();
    form.ValueEdit->setText("inf");
    QTest::keyClick(form.ValueEdit, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(request.answertext, "inf");
}

TEST(TEditParameterForm, CancelLeavesTheAnswerAlone) {
    Teditrequest request = realrequest();
    TEditParameterForm form(request);
    form.show();
    form.ValueEdit->setText("7");
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(request.answerknown);
    EXPECT_EQ(request.answertext, "untouched");
}

TEST(TEditParameterForm, EscapeMeansCancel) {
    Teditrequest request = realrequest();
    TEditParameterForm form(request);
    form.show();
    form.setResult(-1);
    QTest::keyClick(form.ValueEdit, Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(request.answertext, "untouched");
}

TEST(TEditParameterForm, UnknownPreselectedDisablesTheEntry) {
    Teditrequest request = realrequest();
    request.statusword = "Unknown";
    request.unknown = true;
    request.valuetext = "0";
    TEditParameterForm form(request);
    form.show();
    EXPECT_TRUE(form.UnknownRadioButton->isChecked());
    EXPECT_FALSE(form.ValueEdit->isEnabled());
    EXPECT_EQ(form.StatusLabel->text(), "Status: Unknown");
    EXPECT_FALSE(snapshot(&form, "editparameter-unknown").isEmpty());

    QTest::mouseClick(form.KnownRadioButton, Qt::LeftButton);
    EXPECT_TRUE(form.KnownRadioButton->isChecked());
    EXPECT_TRUE(form.ValueEdit->isEnabled());
    QTest::mouseClick(form.UnknownRadioButton, Qt::LeftButton);
    EXPECT_FALSE(form.ValueEdit->isEnabled());

    request.answerknown = true;
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(request.answerknown);
}

TEST(TEditParameterForm, KnownValueMadeUnknown) {
    Teditrequest request = realrequest();
    request.answerknown = true;
    TEditParameterForm form(request);
    form.show();
    QTest::mouseClick(form.UnknownRadioButton, Qt::LeftButton);
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_FALSE(request.answerknown);
}

TEST(TEditParameterForm, BooleansUseTheList) {
    Teditrequest request;
    request.name = "readily_biodegradable";
    request.regionlabel = "All";
    request.unit = "-";
    request.statusword = "Default";
    request.kind = Tvaluekind::boolean;
    request.valuetext = "True";
    TEditParameterForm form(request);
    form.show();
    EXPECT_EQ(form.UnitLabel->text(), "Unit: -");
    EXPECT_FALSE(form.ValueEdit->isVisible());
    EXPECT_TRUE(form.ValueComboBox->isVisible());
    ASSERT_EQ(form.ValueComboBox->count(), 2);
    EXPECT_EQ(form.ValueComboBox->itemText(0), "False");
    EXPECT_EQ(form.ValueComboBox->itemText(1), "True");
    EXPECT_FALSE(form.ValueComboBox->isEditable());
    EXPECT_EQ(form.ValueComboBox->currentText(), "True");
    EXPECT_TRUE(form.ValueComboBox->isEnabled());
    EXPECT_FALSE(snapshot(&form, "editparameter-boolean").isEmpty());

    QTest::mouseClick(form.UnknownRadioButton, Qt::LeftButton);
    EXPECT_FALSE(form.ValueComboBox->isEnabled());
    QTest::mouseClick(form.KnownRadioButton, Qt::LeftButton);
    EXPECT_TRUE(form.ValueComboBox->isEnabled());
    form.ValueComboBox->setCurrentIndex(0);
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_TRUE(request.answerknown);
    EXPECT_EQ(request.answertext, "False");
}

TEST(TEditParameterForm, BooleanFalsePreset) {
    Teditrequest request;
    request.kind = Tvaluekind::boolean;
    request.valuetext = "False";
    TEditParameterForm form(request);
    EXPECT_EQ(form.ValueComboBox->currentText(), "False");
}

TEST(TEditParameterForm, TextsAndIntegersUseTheEntry) {
    for (Tvaluekind kind : {Tvaluekind::text, Tvaluekind::integer}) {
        Teditrequest request;
        request.name = "substype";
        request.unit = "-";
        request.kind = kind;
        request.valuetext = "neutral";
        TEditParameterForm form(request);
        form.show();
        EXPECT_TRUE(form.ValueEdit->isVisible());
        EXPECT_FALSE(form.ValueComboBox->isVisible());
        EXPECT_EQ(form.ValueEdit->text(), "neutral");
        QTest::mouseClick(form.OKButton, Qt::LeftButton);
        EXPECT_EQ(request.answertext, "neutral");
    }
}

TEST(TEditParameterForm, FixedSizeCentredOnTheOwner) {
    QWidget owner;
    owner.setGeometry(100, 100, 870, 500);
    owner.show();
    Teditrequest request = realrequest();
    TEditParameterForm form(request, &owner);
    form.show();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.frameGeometry().center(), owner.frameGeometry().center());
}
