#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "toolkit/progressform.h"

using namespace velmora;
using velmora::testing::showactive;
using velmora::testing::snapshot;

namespace {

const Tprograminfo program("/opt/velmora/Velmora");

QString displayname() {
    return QGuiApplication::applicationDisplayName();
}

// Each test starts from a known display name, which the window must leave
// alone: the framework appends it to every other window's caption.
class ProgressForm : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::setApplicationDisplayName("Before"); }
    void TearDown() override {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }
};

} // namespace

TEST_F(ProgressForm, CreationShowsOnlyTheCaption) {
    TProgressForm form(nullptr, program);
    EXPECT_EQ(form.windowTitle(), "Velmora");
    EXPECT_EQ(displayname(), "Before");
    EXPECT_TRUE(form.windowFlags() & Qt::Tool);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    form.show();
    EXPECT_FALSE(form.mainlabel()->isVisible());
    EXPECT_FALSE(form.sublabel()->isVisible());
    EXPECT_FALSE(form.cancelbutton()->isVisible());
    EXPECT_FALSE(form.abortbutton()->isVisible());
    EXPECT_FALSE(form.bar(1)->isVisible());
    EXPECT_FALSE(form.bar(2)->isVisible());
    EXPECT_EQ(form.cancelbutton()->text(), "Cancel");
    EXPECT_EQ(form.cancelbutton()->toolTip(), "Cancel the operation");
    EXPECT_EQ(form.abortbutton()->text(), "Abort");
    EXPECT_EQ(form.abortbutton()->toolTip(), "Close this screen when an error has occurred");
}

TEST_F(ProgressForm, TextsShowTheirLabels) {
    TProgressForm form(nullptr, program);
    form.show();
    form.setmaintext("Calculating results");
    EXPECT_TRUE(form.mainlabel()->isVisible());
    EXPECT_FALSE(form.sublabel()->isVisible());
    EXPECT_EQ(form.mainlabel()->text(), "Calculating results");
    form.setsubtext("ADV and DIFF");
    EXPECT_TRUE(form.sublabel()->isVisible());
    EXPECT_EQ(form.sublabel()->text(), "ADV and DIFF");
}

TEST_F(ProgressForm, TwoHundredFiftyStepsMoveTheBarAHundredTimes) {
    TProgressForm form(nullptr, program);
    form.show();
    form.startbar(250);
    QProgressBar* bar = form.bar(1);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(form.barlabel(1)->isVisible());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    QSignalSpy moves(bar, &QProgressBar::valueChanged);

    // Step k may move the bar when it stands below k * 100 div 250: steps 1
    // and 2 do not (0 div), step 3 does (1), step 4 does not (1), step 5 does (2).
    form.stepbar();
    form.stepbar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(form.barlabel(1)->text(), "0%");
    form.stepbar();
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(form.barlabel(1)->text(), "1%"); // round(1.2)
    EXPECT_EQ(form.windowTitle(), "Velmora [1%]");
    form.stepbar();
    EXPECT_EQ(bar->value(), 1);
    form.stepbar();
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(form.barlabel(1)->text(), "2%");

    for (int k = 6; k <= 250; ++k)
        form.stepbar();
    EXPECT_EQ(moves.count(), 100);
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(form.barlabel(1)->text(), "100%");
    EXPECT_EQ(form.windowTitle(), "Velmora [100%]");
    EXPECT_EQ(displayname(), "Before");
}

TEST_F(ProgressForm, FewStepsMoveTheBarEveryStep) {
    TProgressForm form(nullptr, program);
    form.show();
    form.startbar(3);
    EXPECT_EQ(form.bar(1)->maximum(), 3);
    form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 1);
    EXPECT_EQ(form.barlabel(1)->text(), "33%");
    EXPECT_EQ(form.windowTitle(), "Velmora [33%]");
    form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 2);
    EXPECT_EQ(form.barlabel(1)->text(), "67%");
    form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 3);
    EXPECT_EQ(form.barlabel(1)->text(), "100%");
    // A step too many keeps the bar full and says so.
    form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 3);
    EXPECT_EQ(form.barlabel(1)->text(), "133%");
}

TEST_F(ProgressForm, PercentagesRoundHalfToEven) {
    TProgressForm form(nullptr, program);
    form.startbar(8);
    form.stepbar(); // 12.5
    EXPECT_EQ(form.barlabel(1)->text(), "12%");
    form.stepbar(); // 25
    form.stepbar(); // 37.5
    EXPECT_EQ(form.barlabel(1)->text(), "38%");
}

TEST_F(ProgressForm, ManyStepsMoveOncePerPercent) {
    TProgressForm form(nullptr, program);
    form.startbar(1000);
    EXPECT_EQ(form.bar(1)->maximum(), 100);
    for (int k = 1; k <= 9; ++k)
        form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 0);
    EXPECT_EQ(form.barlabel(1)->text(), "0%");
    form.stepbar(); // 10 * 100 div 1000 = 1
    EXPECT_EQ(form.bar(1)->value(), 1);
    EXPECT_EQ(form.barlabel(1)->text(), "1%");
    for (int k = 11; k <= 19; ++k)
        form.stepbar();
    EXPECT_EQ(form.bar(1)->value(), 1);
    EXPECT_EQ(form.windowTitle(), "Velmora [1%]");
}

TEST_F(ProgressForm, RestartingResetsTheBar) {
    TProgressForm form(nullptr, program);
    form.startbar(2);
    form.stepbar();
    form.stepbar();
    EXPECT_EQ(form.barlabel(1)->text(), "100%");
    form.startbar(4);
    EXPECT_EQ(form.bar(1)->maximum(), 4);
    EXPECT_EQ(form.bar(1)->value(), 0);
    EXPECT_EQ(form.barlabel(1)->text(), "0%");
    form.stepbar();
    EXPECT_EQ(form.barlabel(1)->text(), "25%");
}

TEST_F(ProgressForm, NoStepsGiveAnEmptyBarNotABusyIndicator) {
    TProgressForm form(nullptr, program);
    form.startbar(0);
    EXPECT_EQ(form.bar(1)->maximum(), 1);
    EXPECT_EQ(form.bar(1)->value(), 0);
    EXPECT_EQ(form.barlabel(1)->text(), "");
    form.stepbar();
    EXPECT_EQ(form.barlabel(1)->text(), "");
    EXPECT_EQ(form.windowTitle(), "Velmora");
}

TEST_F(ProgressForm, SecondBarLeavesTheTitleAlone) {
    TProgressForm form(nullptr, program);
    form.show();
    form.startbar2(4);
    EXPECT_TRUE(form.bar(2)->isVisible());
    EXPECT_FALSE(form.bar(1)->isVisible());
    form.stepbar2();
    form.stepbar2();
    EXPECT_EQ(form.bar(2)->value(), 2);
    EXPECT_EQ(form.barlabel(2)->text(), "50%");
    EXPECT_EQ(form.windowTitle(), "Velmora");
    form.startbar2(250);
    for (int k = 1; k <= 250; ++k)
        form.stepbar2();
    EXPECT_EQ(form.bar(2)->value(), 100);
    EXPECT_EQ(form.barlabel(2)->text(), "100%");
    form.hidebar2();
    EXPECT_FALSE(form.bar(2)->isVisible());
    EXPECT_FALSE(form.barlabel(2)->isVisible());
}

TEST_F(ProgressForm, CancelledStaysTrueUntilShowcancel) {
    TProgressForm form(nullptr, program);
    form.show();
    form.showcancel();
    EXPECT_TRUE(form.cancelbutton()->isVisible());
    EXPECT_FALSE(form.cancelled());
    QTest::mouseClick(form.cancelbutton(), Qt::LeftButton);
    EXPECT_TRUE(form.cancelled());
    EXPECT_TRUE(form.cancelled());
    EXPECT_EQ(form.cancelbutton()->cursor().shape(), Qt::WaitCursor);
    form.showcancel();
    EXPECT_FALSE(form.cancelled());
}

TEST_F(ProgressForm, ThePollSeesAPressWaitingInTheEventQueue) {
    TProgressForm form(nullptr, program);
    form.show();
    form.showcancel();
    // The press arrives while the task works; only the poll lets it through.
    QTimer::singleShot(0, form.cancelbutton(), &QPushButton::click);
    long polls = 0;
    while (!form.cancelled() && polls < 1000)
        ++polls;
    EXPECT_LT(polls, 1000);
    EXPECT_TRUE(form.cancelled());
}

TEST_F(ProgressForm, EscapePressesCancelOnlyWhenShown) {
    TProgressForm form(nullptr, program);
    ASSERT_TRUE(showactive(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.cancelled());
    form.showcancel();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.cancelled());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(ProgressForm, OtherCaptionsStayAsTheyAre) {
    {
        TProgressForm form(nullptr, program);
        form.show();
        form.startbar(2);
        form.stepbar();
        EXPECT_EQ(form.windowTitle(), "Velmora [50%]");
        EXPECT_EQ(displayname(), "Before");
    }
    EXPECT_EQ(displayname(), "Before");
}

TEST_F(ProgressForm, AbortClosesAndRestoresAtOnce) {
    TProgressForm form(nullptr, program);
    form.show();
    form.abortbutton()->show();
    QTest::mouseClick(form.abortbutton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    // A task that goes on stepping after the window went changes nothing.
    form.startbar(2);
    form.stepbar();
    form.tick();
    EXPECT_EQ(form.windowTitle(), "Velmora");
}

TEST_F(ProgressForm, TicksAppendDotsInTurn) {
    TProgressForm form(nullptr, program);
    const char* expected[] = {"Velmora",     "Velmora .", "Velmora ..",
                              "Velmora ...", "Velmora",   "Velmora ."};
    for (const char* title : expected) {
        form.tick();
        EXPECT_EQ(form.windowTitle().toStdString(), title);
    }
}

TEST_F(ProgressForm, TheTimerTicksEverySecond) {
    TProgressForm form(nullptr, program);
    form.show();
    QElapsedTimer clock;
    clock.start();
    // The first tick appends nothing, the second " .".
    while (form.windowTitle() != "Velmora ." && clock.elapsed() < 6000)
        QTest::qWait(20);
    EXPECT_EQ(form.windowTitle(), "Velmora .");
    EXPECT_GE(clock.elapsed(), 1900);
}

TEST_F(ProgressForm, ClosingRestoresTheCursor) {
    {
        TProgressForm form(nullptr, program);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    {
        TProgressForm form(nullptr, program);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ProgressForm, CentredOnTheOwnerAndModal) {
    QWidget owner;
    owner.setGeometry(200, 150, 700, 500);
    owner.show();
    auto* child = new QWidget(&owner);
    TProgressForm form(child, program);
    EXPECT_EQ(form.parentWidget(), &owner);
    form.show();
    EXPECT_EQ(form.frameGeometry().center(), owner.frameGeometry().center());
    EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
}

TEST_F(ProgressForm, KeepsItsSizeWhileItsPartsAppear) {
    TProgressForm form(nullptr, program);
    form.show();
    const QSize empty = form.size();
    form.setmaintext("Calculating results");
    form.setsubtext("Model parameters");
    form.showcancel();
    form.startbar(10);
    form.startbar2(10);
    EXPECT_EQ(form.size(), empty);
}

TEST_F(ProgressForm, Snapshot) {
    TProgressForm form(nullptr, program);
    form.show();
    form.setmaintext("Calculating results");
    form.setsubtext("More parameters");
    form.showcancel();
    form.startbar(250);
    for (int k = 1; k <= 113; ++k)
        form.stepbar();
    form.startbar2(3);
    form.stepbar2();
    EXPECT_EQ(form.barlabel(1)->text(), "45%"); // round(45.2)
    EXPECT_EQ(form.barlabel(2)->text(), "33%");
    EXPECT_FALSE(snapshot(&form, "progressform").isEmpty());
}
