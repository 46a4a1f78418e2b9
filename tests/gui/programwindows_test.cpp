// The program's own windows: the splash at start-up, About, the busy
// window, and the Help menu's About and Manual items.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "app/velmoraform.h"
#include "guisupport.h"
#include "guiworld.h"
#include "toolkit/aboutform.h"
#include "toolkit/busywindow.h"
#include "toolkit/progressform.h"
#include "toolkit/smallforms.h"
#include "toolkit/splashform.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

std::vector<TSplashForm*> visiblesplashes() {
    std::vector<TSplashForm*> result;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<TSplashForm*>(w); splash && splash->isVisible())
            result.push_back(splash);
    return result;
}

bool cursorhidden() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BlankCursor;
}

} // namespace

TEST(Tprograminfo, IdentifyTakesTheVersionOfTheBuild) {
    Tprograminfo program("/opt/velmora/Velmora");
    EXPECT_EQ(program.version(), "");
    program.identify("https://example.org/velmora");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(QString::fromStdString(program.version()))
                    .hasMatch())
        << program.version();
    EXPECT_EQ(program.namever(), "Velmora " + buildversion());
    EXPECT_EQ(program.link(), "https://example.org/velmora");
    EXPECT_EQ(program.programdirectory(), "/opt/velmora");
}

TEST(TSplashForm, ShowsAtOnceAndEndsAfterHalfASecond) {
    Tprograminfo program("/nowhere/Velmora");
    TSplashForm splash(program, "");
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.size(), QSize(500, 400));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(cursorhidden());
    EXPECT_EQ(program.version(), buildversion());
    splash.endsplash();
    EXPECT_GT(splash.shownseconds(), 0.5f);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(cursorhidden());
}

TEST(TSplashForm, ClosesAfterTheStartUpOfTheMainWindow) {
    Tguiworld world;
    Trecorderui ui;
    Tprograminfo program(world.dir.file("Velmora"));
    std::unique_ptr<TVelmoraForm> form;
    bool shownduringstartup = false;
    runwithsplash(program, "", [&] {
        shownduringstartup = visiblesplashes().size() == 1 && cursorhidden();
        form = std::make_unique<TVelmoraForm>(world.path(), &ui);
    });
    EXPECT_TRUE(shownduringstartup);
    EXPECT_TRUE(visiblesplashes().empty());
    EXPECT_FALSE(cursorhidden());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->paneltext(1), QStringLiteral("Environment: OK"));
}

TEST(TSplashForm, AFailedStartUpStillEndsTheSplash) {
    Tprograminfo program("/nowhere/Velmora");
    EXPECT_THROW(runwithsplash(program, "", [] { throw std::runtime_error("no workbook"); }),
                 std::runtime_error);
    EXPECT_TRUE(visiblesplashes().empty());
    EXPECT_FALSE(cursorhidden());
}

TEST(programpicture, TheFileBesideTheProgramOrTheNameWritten) {
    QTemporaryDir dir;
    Tprograminfo program(dir.filePath(QStringLiteral("Velmora")).toStdString());
    const QPixmap written = programpicture(program);
    EXPECT_EQ(written.size(), QSize(500, 400));
    QImage file(120, 80, QImage::Format_RGB32);
    file.fill(Qt::red);
    ASSERT_TRUE(file.save(QString::fromStdString(program.bitmapfile()), "BMP"));
    const QPixmap loaded = programpicture(program);
    EXPECT_EQ(loaded.size(), QSize(120, 80));
    EXPECT_EQ(loaded.toImage().pixelColor(5, 5), QColor(Qt::red));
}

class About : public ::testing::Test {
protected:
    Tprograminfo program{"/opt/velmora/Velmora"};
    QStringList opened;
    TAboutForm::Topener opener = [this](const QString& target) {
        opened << target;
        return true;
    };
    void SetUp() override { program.identify("https://example.org/velmora"); }
};

TEST_F(About, ShowsTheVersionAndTheLink) {
    TAboutForm form(program, 3, nullptr, opener);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - About"));
    // Taller than its design by the licence and data attribution.
    EXPECT_EQ(form.size(), QSize(524, 553));
    EXPECT_TRUE(form.LicenceLabel->text().contains(QStringLiteral("MIT licence")));
    EXPECT_TRUE(form.LicenceLabel->text().contains(QStringLiteral("Natural Earth")));
    EXPECT_TRUE(form.LicenceLabel->text().contains(QStringLiteral("ODbL")));
    EXPECT_EQ(form.NameLabel->text(),
              QStringLiteral("Velmora ") + QString::fromStdString(buildversion()));
    EXPECT_EQ(form.NameLabel->toolTip(), QStringLiteral("/opt/velmora/Velmora"));
    EXPECT_EQ(form.NameLabel->pos(), QPoint(8, 412));
    EXPECT_EQ(form.LinkLabel->text(), QStringLiteral("https://example.org/velmora"));
    EXPECT_EQ(form.LinkLabel->pos(), QPoint(8, 432));
    EXPECT_EQ(form.Image->geometry(), QRect(8, 8, 500, 400));
    EXPECT_EQ(form.CloseButton->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form.CloseButton->isDefault());
    form.show();
    snapshot(&form, QStringLiteral("about"));
}

TEST_F(About, ClicksOpenTheLinkAndTheProgramFolder) {
    TAboutForm form(program, 3, nullptr, opener);
    form.show();
    QTest::mouseClick(form.LinkLabel, Qt::LeftButton);
    QTest::mouseDClick(form.NameLabel, Qt::LeftButton);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("https://example.org/velmora"),
                                   QStringLiteral("/opt/velmora")}));
}

TEST_F(About, WithoutAWebPageThereIsNoLinkToClick) {
    program.setlink("");
    TAboutForm form(program, 3, nullptr, opener);
    form.show();
    EXPECT_FALSE(form.LinkLabel->isVisible());
    form.LinkLabelClick();
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(About, DoubleClickElsewhereShowsSysinfo) {
    TAboutForm form(program, 5, nullptr, opener);
    form.show();
    QString caption;
    QStringList lines;
    whenmodal([&](QWidget* w) {
        caption = w->windowTitle();
        if (auto* memo = qobject_cast<TMemoForm*>(w)) lines = memo->lines();
        w->close();
    });
    QTest::mouseDClick(form.Image, Qt::LeftButton, {}, QPoint(250, 200));
    EXPECT_EQ(caption, QStringLiteral("Sysinfo"));
    EXPECT_TRUE(lines.contains(QStringLiteral("digits = 5")));
    EXPECT_TRUE(opened.isEmpty());
}

TEST(Tbusywindow, ShowsOneTextUntilHidden) {
    Tbusywindow busy(Tprograminfo("/x/Velmora"));
    EXPECT_EQ(busy.window(), nullptr);
    busy.showbusy(QStringLiteral("Sorting rows"));
    ASSERT_NE(busy.window(), nullptr);
    EXPECT_TRUE(busy.window()->isVisible());
    EXPECT_EQ(busy.window()->mainlabel()->text(), QStringLiteral("Sorting rows"));
    // A second text replaces the window rather than stacking a second one.
    busy.showbusy(QStringLiteral("Writing"));
    EXPECT_EQ(busy.window()->mainlabel()->text(), QStringLiteral("Writing"));
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TProgressForm*>(w) && w->isVisible()) ++shown;
    EXPECT_EQ(shown, 1);
    busy.hidebusy();
    EXPECT_EQ(busy.window(), nullptr);
    busy.hidebusy();
}

class HelpMenu : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    std::unique_ptr<TVelmoraForm> form;
    QString saved = QDir::currentPath();
    QTemporaryDir elsewhere;
    void SetUp() override {
        // Neither beside the program nor in the working directory.
        QDir::setCurrent(elsewhere.path());
        form = std::make_unique<TVelmoraForm>(world.path(), &ui);
    }
    void TearDown() override { QDir::setCurrent(saved); }
};

TEST_F(HelpMenu, AMissingManualIsNamedInAWarning) {
    ui.reset();
    form->ManualItem->trigger();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("\"The VELMORA program - A short manual.pdf\""),
              std::string::npos)
        << ui.warnings[0];
}

TEST_F(HelpMenu, AboutShowsTheVersionOfTheBuild) {
    QString name, caption;
    whenmodal([&](QWidget* w) {
        caption = w->windowTitle();
        if (auto* about = qobject_cast<TAboutForm*>(w)) name = about->NameLabel->text();
        w->close();
    });
    form->AboutItem->trigger();
    EXPECT_TRUE(caption.endsWith(QStringLiteral(" - About"))) << caption.toStdString();
    EXPECT_TRUE(name.endsWith(QStringLiteral(" ") + QString::fromStdString(buildversion())))
        << name.toStdString();
    EXPECT_TRUE(ui.warnings.empty());
}
