#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "numeric/errors.h"
#include "toolkit/forms.h"

using namespace velmora;
using velmora::testing::showactive;

namespace {

struct Texpected {
    int kind;
    const char* caption;
    const char* hint;
};

// The centre of a window's frame, where centring puts it.
QPoint framecentre(const QWidget* w) {
    return w->frameGeometry().center();
}

} // namespace

TEST(standardbutton, CaptionsAndHints) {
    const Texpected kinds[] = {
        {0, "OK", "Accept and close the window"},
        {1, "Cancel", "Discard and close the window"},
        {2, "Close", "Close the window"},
        {3, "Print ...", "Open print dialog"},
        {5, "Details", "Toggle between showing more and less information and controls"},
        {6, "v More", "Show more information and controls"},
        {7, "^ Less", "Show less information and controls"},
    };
    for (const auto& expected : kinds) {
        QPushButton button;
        standardbutton(&button, expected.kind);
        EXPECT_EQ(button.text().toStdString(), expected.caption) << "kind " << expected.kind;
        EXPECT_EQ(button.toolTip().toStdString(), expected.hint) << "kind " << expected.kind;
        EXPECT_EQ(button.isDefault(), expected.kind == 0) << "kind " << expected.kind;
    }
}

TEST(standardbutton, UnknownKindsAreRefused) {
    QPushButton button;
    EXPECT_THROW(standardbutton(&button, 8), EInvalidArgument);
    EXPECT_THROW(standardbutton(&button, -1), EInvalidArgument);
}

TEST(standardbutton, ModalResultsInADialog) {
    const std::pair<int, int> cases[] = {
        {0, QDialog::Accepted}, {1, QDialog::Rejected}, {2, QDialog::Rejected}};
    for (auto [kind, result] : cases) {
        QDialog dialog;
        auto* button = new QPushButton(&dialog);
        standardbutton(button, kind);
        dialog.setResult(-1);
        dialog.show();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), result) << "kind " << kind;
        EXPECT_FALSE(dialog.isVisible()) << "kind " << kind;
    }
}

TEST(standardbutton, ButtonsWithoutResultLeaveTheDialogOpen) {
    for (int kind : {3, 5, 6, 7}) {
        QDialog dialog;
        auto* button = new QPushButton(&dialog);
        standardbutton(button, kind);
        dialog.show();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << "kind " << kind;
    }
}

TEST(standardbutton, SettingUpTwiceActsOnce) {
    QDialog dialog;
    auto* button = new QPushButton(&dialog);
    standardbutton(button, 0);
    standardbutton(button, 0);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
}

TEST(standardbutton, EscapeClosesAPlainWindowThroughClose) {
    // A plain window has no Escape handling of its own: only the button's
    // key can close it.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* print = new QPushButton(&window);
    standardbutton(print, 3);
    layout->addWidget(print);
    ASSERT_TRUE(showactive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "Escape without a Close button";

    auto* close = new QPushButton(&window);
    standardbutton(close, 2);
    layout->addWidget(close);
    close->show();
    QSignalSpy clicked(close, &QPushButton::clicked);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

TEST(standardbutton, EscapeIgnoresAHiddenButton) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton("other", &window));
    auto* close = new QPushButton(&window);
    standardbutton(close, 2);
    layout->addWidget(close);
    close->hide();
    QSignalSpy clicked(close, &QPushButton::clicked);
    ASSERT_TRUE(showactive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(window.isVisible());
}

TEST(formsetup, KindZeroIsSizeableAndMaximized) {
    QWidget form;
    form.resize(300, 200);
    formsetup(&form, 0);
    EXPECT_EQ(form.minimumSize(), QSize(300, 200));
    EXPECT_NE(form.maximumSize(), QSize(300, 200));
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
}

TEST(formsetup, KindOneIsSizeableWithMaximizeBoxAndCentred) {
    QWidget owner;
    owner.setGeometry(100, 120, 800, 600);
    owner.show();
    auto* form = new QWidget(&owner);
    form->resize(200, 100);
    formsetup(form, 1);
    EXPECT_TRUE(form->isWindow());
    EXPECT_EQ(form->minimumSize(), QSize(200, 100));
    EXPECT_NE(form->maximumSize(), QSize(200, 100));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    form->show();
    EXPECT_EQ(framecentre(form), framecentre(&owner));
    // The owner moved: the next showing follows it.
    form->hide();
    owner.move(300, 50);
    form->show();
    EXPECT_EQ(framecentre(form), framecentre(&owner));
}

TEST(formsetup, KindTwoIsAFixedCentredDialog) {
    QWidget owner;
    owner.setGeometry(40, 60, 640, 480);
    owner.show();
    QDialog dialog(&owner);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QPushButton("A rather wide button caption", &dialog));
    formsetup(&dialog, 2);
    dialog.show();
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.size(), dialog.sizeHint());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(framecentre(&dialog), framecentre(&owner));

    // Without a layout the size it has is the size it keeps.
    QWidget plain(&owner);
    plain.resize(250, 150);
    formsetup(&plain, 2);
    EXPECT_EQ(plain.minimumSize(), QSize(250, 150));
    EXPECT_EQ(plain.maximumSize(), QSize(250, 150));
}

TEST(formsetup, HiddenOwnerGivesTheScreenCentre) {
    QWidget owner;
    owner.setGeometry(0, 0, 300, 200);
    auto* form = new QWidget(&owner);
    form->resize(120, 80);
    formsetup(form, 2);
    form->show();
    ASSERT_NE(form->screen(), nullptr);
    const QRect screen = form->screen()->availableGeometry();
    ASSERT_NE(screen.center(), owner.frameGeometry().center());
    EXPECT_EQ(framecentre(form), screen.center());
}

TEST(formsetup, UnknownKindIsRefused) {
    QWidget form;
    EXPECT_THROW(formsetup(&form, 3), EInvalidArgument);
    EXPECT_THROW(formsetup(&form, -1), EInvalidArgument);
}
