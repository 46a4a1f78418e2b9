#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "model/parameters.h"
#include "toolkit/progressform.h"
#include "toolkit/qtuiservice.h"
#include "views/editparameterform.h"

using namespace velmora;
using velmora::testing::snapshot;
using velmora::testing::whenmodal;

namespace {

Tqtuiservice makeui() {
    return Tqtuiservice(Tprograminfo("/opt/velmora/Velmora"));
}

std::vector<TProgressForm*> progressforms() {
    std::vector<TProgressForm*> forms;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TProgressForm*>(w)) forms.push_back(form);
    return forms;
}

} // namespace

TEST(Tqtuiservice, WarnShowsAModalWarningBox) {
    Tqtuiservice ui = makeui();
    bool seen = false;
    whenmodal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Velmora");
        EXPECT_EQ(box->text(), "Parameter Koc has no value");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_FALSE(snapshot(box, "warning").isEmpty());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    ui.warn("Parameter Koc has no value");
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(Tqtuiservice, ProgressShowsAWindowThatClosesWithTheObject) {
    QGuiApplication::setApplicationDisplayName("Before");
    Tqtuiservice ui = makeui();
    {
        std::unique_ptr<Tprogress> progress = ui.progress();
        auto forms = progressforms();
        ASSERT_EQ(forms.size(), 1u);
        TProgressForm* form = forms[0];
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->windowTitle(), "Velmora");
        progress->setmaintext("Calculating results");
        progress->setsubtext("C");
        EXPECT_EQ(form->mainlabel()->text(), "Calculating results");
        EXPECT_EQ(form->sublabel()->text(), "C");
        progress->startbar(4);
        progress->stepbar();
        EXPECT_EQ(form->barlabel(1)->text(), "25%");
        EXPECT_EQ(form->windowTitle(), "Velmora [25%]");
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Before");
        progress->startbar2(2);
        progress->stepbar2();
        EXPECT_EQ(form->barlabel(2)->text(), "50%");
        progress->hidebar2();
        EXPECT_FALSE(form->bar(2)->isVisible());
        progress->showcancel();
        EXPECT_FALSE(progress->cancelled());
        QTest::mouseClick(form->cancelbutton(), Qt::LeftButton);
        EXPECT_TRUE(progress->cancelled());
    }
    EXPECT_TRUE(progressforms().empty());
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Before");
}

TEST(Tqtuiservice, ProgressOutlivedByItsWindowDoesNothing) {
    auto* owner = new QWidget;
    owner->show();
    Tqtuiservice ui(Tprograminfo("/opt/velmora/Velmora"), owner);
    std::unique_ptr<Tprogress> progress = ui.progress();
    ASSERT_EQ(progressforms().size(), 1u);
    EXPECT_EQ(progressforms()[0]->parentWidget(), owner);
    delete owner; // takes the progress window with it
    EXPECT_TRUE(progressforms().empty());
    progress->setmaintext("still working");
    progress->stepbar();
    EXPECT_FALSE(progress->cancelled());
    progress.reset();
}

TEST(Tqtuiservice, StopRequest) {
    Tqtuiservice ui = makeui();
    EXPECT_FALSE(ui.stoprequested());
    ui.requeststop();
    EXPECT_TRUE(ui.stoprequested());
    EXPECT_TRUE(ui.stoprequested());
    ui.clearstop();
    EXPECT_FALSE(ui.stoprequested());

    int calls = 0;
    ui.setstop([&calls] { return ++calls >= 3; });
    EXPECT_FALSE(ui.stoprequested());
    EXPECT_FALSE(ui.stoprequested());
    EXPECT_TRUE(ui.stoprequested());
    EXPECT_EQ(calls, 3);
    ui.resetstop();
    EXPECT_FALSE(ui.stoprequested());
    EXPECT_EQ(calls, 3);
}

TEST(Tqtuiservice, StopFunctionHonoursAProgressWindowsCancel) {
    Tqtuiservice ui = makeui();
    std::unique_ptr<Tprogress> progress = ui.progress();
    progress->showcancel();
    progress->startbar(10);
    ui.setstop([&progress] {
        progress->stepbar();
        return progress->cancelled();
    });
    TProgressForm* form = progressforms().at(0);
    EXPECT_FALSE(ui.stoprequested());
    EXPECT_FALSE(ui.stoprequested());
    EXPECT_EQ(form->bar(1)->value(), 2);
    QTimer::singleShot(0, form->cancelbutton(), &QPushButton::click);
    EXPECT_TRUE(ui.stoprequested());
    ui.resetstop();
    EXPECT_FALSE(ui.stoprequested());
}

TEST(Tqtuiservice, EditParameterReturnsTheAnswer) {
    Tqtuiservice ui = makeui();
    Teditrequest request;
    request.name = "Koc";
    request.regionlabel = "All";
    request.unit = "m^3*kg^-1";
    request.statusword = "Imported";
    request.valuetext = "3.5";
    whenmodal([](QWidget* modal) {
        auto* form = qobject_cast<TEditParameterForm*>(modal);
        ASSERT_NE(form, nullptr);
        form->ValueEdit->setText("12.5");
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
    });
    EXPECT_TRUE(ui.editparameter(request));
    EXPECT_TRUE(request.answerknown);
    EXPECT_EQ(request.answertext, "12.5");
}

TEST(Tqtuiservice, EditParameterCancelled) {
    Tqtuiservice ui = makeui();
    Teditrequest request;
    request.name = "Koc";
    request.valuetext = "3.5";
    request.answertext = "untouched";
    whenmodal([](QWidget* modal) {
        auto* form = qobject_cast<TEditParameterForm*>(modal);
        ASSERT_NE(form, nullptr);
        form->ValueEdit->setText("99");
        QTest::mouseClick(form->CancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(ui.editparameter(request));
    EXPECT_EQ(request.answertext, "untouched");
}

TEST(Tqtuiservice, ParameterEditThroughTheDialog) {
    Tqtuiservice ui = makeui();
    Tsettings settings;
    Tmodelcontext context{settings, ui};
    Tnumpar koc(context, "Koc", "m^3*kg^-1", 0.25f);
    QString shown;
    whenmodal([&shown](QWidget* modal) {
        auto* form = qobject_cast<TEditParameterForm*>(modal);
        ASSERT_NE(form, nullptr);
        shown = form->ParameterLabel->text() + "|" + form->StatusLabel->text() + "|" +
                form->ValueEdit->text();
        form->ValueEdit->setText("inf");
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
    });
    EXPECT_TRUE(koc.edit());
    EXPECT_EQ(shown, "Parameter: Koc|Status: Default|0.25");
    EXPECT_EQ(koc.status, stEdited);
    EXPECT_TRUE(koc.isinfinite());

    Tbooleanpar flag(context, "readily_biodegradable");
    whenmodal([](QWidget* modal) {
        auto* form = qobject_cast<TEditParameterForm*>(modal);
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->UnknownRadioButton->isChecked());
        QTest::mouseClick(form->KnownRadioButton, Qt::LeftButton);
        form->ValueComboBox->setCurrentIndex(1);
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
    });
    EXPECT_TRUE(flag.edit("Netherlands"));
    EXPECT_TRUE(flag.value);
    EXPECT_EQ(flag.status, stEdited);
}
