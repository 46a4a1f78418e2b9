// The toolkit's small windows as drawn: the text window, the plot helper
// and picture window, the matrix chart and the foreign-character picker;
// and the desktop's part: help files and the end-of-run sound.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "app/velmoraform.h"
#include "guisupport.h"
#include "guiworld.h"
#include "numeric/errors.h"
#include "numeric/matrices.h"
#include "toolkit/charpicker.h"
#include "toolkit/forms.h"
#include "toolkit/grid.h"
#include "toolkit/matrixchart.h"
#include "toolkit/plot.h"
#include "toolkit/qtuiservice.h"
#include "toolkit/smallforms.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program("/opt/velmora/Velmora");

// How many pixels of the colour lie within distance pixels of (x, y).
int near(const QImage& image, int x, int y, QColor colour, int distance = 3) {
    int count = 0;
    for (int dy = -distance; dy <= distance; ++dy)
        for (int dx = -distance; dx <= distance; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.valid(p) && image.pixelColor(p) == colour) ++count;
        }
    return count;
}

const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);

} // namespace

// Stands in for the desktop: remembers the files it is asked to open.
class Tdesktopstub : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};

TEST(TMemoForm, WrapTwiceGivesBothScrollBars) {
    TMemoForm form(program);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Memo"));
    EXPECT_EQ(form.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form.Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    form.addline(QStringLiteral("first line"));
    form.addline(QString(300, QLatin1Char('x')));
    EXPECT_EQ(form.lines(), (QStringList{QStringLiteral("first line"), QString(300, 'x')}));
    form.WrapCheckBox->click();
    EXPECT_EQ(form.Memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    form.WrapCheckBox->click();
    EXPECT_EQ(form.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form.Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.Memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Drawn: the long line runs off to the right, under a horizontal bar.
    form.show();
    const QString path = snapshot(&form, QStringLiteral("memo"));
    EXPECT_TRUE(form.Memo->horizontalScrollBar()->isVisible()) << path.toStdString();
    EXPECT_GT(form.Memo->horizontalScrollBar()->maximum(), 0);
    // Rewrapping twice left the view at the first line, at the left edge.
    EXPECT_EQ(form.Memo->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(form.Memo->cursorForPosition(QPoint(4, 4)).block().text(),
              QStringLiteral("first line"));
    // "Close" sits right of "Print ..." at the bottom, and closes.
    EXPECT_LT(form.PrintButton->x(), form.CloseButton->x());
    EXPECT_GT(form.CloseButton->y(), form.Memo->geometry().bottom());
    form.CloseButton->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(Tplot, PixelsRoundTiesToEvenAndYGrowsUpwards) {
    Timage image(nullptr, QSize(100, 50));
    Tplot plot(image, Tworld{0, 100, 0, 50});
    EXPECT_EQ(plot.xpixel(0), 0);
    EXPECT_EQ(plot.xpixel(100), 100);
    EXPECT_EQ(plot.xpixel(2.5), 2);
    EXPECT_EQ(plot.xpixel(3.5), 4);
    EXPECT_EQ(plot.ypixel(50), 0);
    EXPECT_EQ(plot.ypixel(0), 50);
    EXPECT_EQ(plot.ypixel(40), 10);
    EXPECT_THROW(Tplot(image, Tworld{2, 1, 0, 1}), EInvalidArgument);
    EXPECT_THROW(plot.setworld(Tworld{0, 1, 3, 2}), EInvalidArgument);
    // Margins widen the world on every side.
    Tplot wide(image, Tworld{1, 11, 1, 3}, 0.1f, 0.5f);
    EXPECT_NEAR(wide.world().xmin, 0, 1e-6);
    EXPECT_NEAR(wide.world().xmax, 12, 1e-6);
    EXPECT_NEAR(wide.world().ymin, 0, 1e-6);
    EXPECT_NEAR(wide.world().ymax, 4, 1e-6);
    // A world without width is drawn in the middle, not divided by.
    Tplot flat(image, Tworld{5, 5, 0, 1});
    EXPECT_EQ(flat.xpixel(5), 50);
}

TEST(TPlotForm, DotsLineAndTitleLandWhereTheWorldSays) {
    TPlotForm form(program);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Plot"));
    EXPECT_EQ(form.Image->size(), QSize(400, 400));
    Tplot plot(*form.Image, Tworld{0, 10, 0, 10});
    plot.pencolor = blue;
    plot.drawdot(2, 8); // upper left quarter
    plot.pencolor = red;
    plot.drawline(5, 0, 5, 10);
    plot.drawtitle(QStringLiteral("Title"));
    form.show();
    const QString path = snapshot(&form, QStringLiteral("plot"));
    const QImage& picture = form.Image->picture();
    EXPECT_GT(near(picture, 80, 80, blue), 4) << path.toStdString();
    EXPECT_EQ(near(picture, 320, 320, blue), 0);
    EXPECT_EQ(picture.pixelColor(200, 300), red);
    EXPECT_NE(picture.pixelColor(190, 300), red);
    // The title is centred at the top.
    int left = 400, right = -1;
    for (int y = 5; y < 25; ++y)
        for (int x = 0; x < 400; ++x)
            if (picture.pixelColor(x, y).lightness() < 100 && picture.pixelColor(x, y) != red) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GT(right, left);
    EXPECT_NEAR((left + right) / 2.0, 200, 4);
}

TEST(matrixchart, PositiveTopRightNegativeBottomLeft) {
    for (std::uint8_t storage : {dense, listedsparse}) {
        Tnummatrix m(3, 3);
        m.setstorage(storage);
        m.setvalue(1, 3, 5);
        m.setvalue(3, 1, -2);
        Timage image(nullptr, QSize(400, 400));
        ASSERT_EQ(m.rows(), 3u);
        ASSERT_EQ(m.cols(), 3u);
        Tplot plot(image, matrixworld(m), 0.1f, 0.1f);
        drawmatrixchart(plot, m, "A");
        const QImage& picture = image.picture();
        const int right = plot.xpixel(3), left = plot.xpixel(1);
        const int top = plot.ypixel(3), bottom = plot.ypixel(1);
        EXPECT_GT(near(picture, right, top, blue), 4) << "storage " << int(storage);
        EXPECT_EQ(near(picture, right, top, red), 0);
        EXPECT_GT(near(picture, left, bottom, red), 4);
        EXPECT_EQ(near(picture, left, bottom, blue), 0);
        EXPECT_EQ(near(picture, left, top, blue) + near(picture, left, top, red), 0);
        EXPECT_EQ(near(picture, right, bottom, blue) + near(picture, right, bottom, red), 0);
        if (storage == dense) {
            image.picture().save(QDir::tempPath() + QStringLiteral("/velmora-gui/matrixchart.png"));
        }
    }
}

TEST(matrixchart, NaNIsRedAndASingleRowIsDrawnAcrossTheMiddle) {
    Tnummatrix m(1, 4);
    m.setvalue(1, 1, std::numeric_limits<double>::quiet_NaN());
    m.setvalue(1, 4, 1);
    Timage image(nullptr, QSize(200, 200));
    Tplot plot(image, matrixworld(m), 0.1f, 0.1f);
    drawmatrixchart(plot, m, "row");
    const int middle = plot.ypixel(1);
    EXPECT_NEAR(middle, 100, 1);
    EXPECT_GT(near(image.picture(), plot.xpixel(1), middle, red), 4);
    EXPECT_GT(near(image.picture(), plot.xpixel(4), middle, blue), 4);
}

TEST(matrixchart, AnEmptyMatrixIsRefusedBeforeAnyWindow) {
    Tnummatrix empty(0, 3);
    EXPECT_THROW(
        {
            try {
                matrixchart(empty, "empty", program);
            } catch (const EInvalidArgument& e) {
                EXPECT_STREQ(e.what(), "Invalid argument");
                throw;
            }
        },
        EInvalidArgument);
}

TEST(matrixchart, ShownModallyWithItsCaption) {
    Tnummatrix m(2, 2);
    m.setvalue(1, 1, 1);
    m.setvalue(2, 2, -1);
    QString caption;
    whenmodal([&caption](QWidget* w) {
        caption = w->windowTitle();
        w->close();
    });
    matrixchart(m, "two", program);
    EXPECT_EQ(caption, QStringLiteral("Velmora - Matrix chart"));
}

TEST(TForeignCharForm, OKWaitsForAClickAndADoubleClickPicks) {
    EXPECT_EQ(cp1252char(0x80), QChar(0x20AC));
    EXPECT_EQ(cp1252char(0x9F), QChar(0x0178));
    EXPECT_EQ(cp1252char(244), QChar(0xF4));
    TForeignCharForm form(program);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Fô®€ïgñ character"));
    EXPECT_FALSE(form.OKButton->isEnabled());
    form.show();
    const QString path = snapshot(&form, QStringLiteral("picker"));
    // The euro sign is drawn in its cell (code 0x80: column 0, row 8).
    const QImage image = form.StringGrid->grab().toImage();
    const QRect euro = form.StringGrid->cellrect(0, 8);
    int ink = 0;
    for (int x = euro.left() + 1; x < euro.right(); ++x)
        for (int y = euro.top() + 1; y < euro.bottom(); ++y)
            if (image.pixelColor(x, y).lightness() < 100) ++ink;
    EXPECT_GT(ink, 5) << path.toStdString();
    QWidget* cells = form.StringGrid->viewport();
    const QPoint o = cells->mapFrom(form.StringGrid, form.StringGrid->cellrect(15, 15).center());
    QTest::mouseClick(cells, Qt::LeftButton, {}, o);
    EXPECT_TRUE(form.OKButton->isEnabled());
    EXPECT_EQ(form.chosen(), QChar(0xFF)); // ÿ, code 255
}

TEST(TForeignCharForm, TheButtonCopiesTheDoubleClickedCharacter) {
    QPushButton button;
    standardbutton(&button, 4);
    EXPECT_EQ(button.text(), QStringLiteral("&Fô®€ïgñ ..."));
    EXPECT_EQ(button.toolTip(),
              QStringLiteral("Select a foreign character, like ô, and copy it to the clipboard"));
    whenmodal([](QWidget* w) {
        auto* form = qobject_cast<TForeignCharForm*>(w);
        ASSERT_NE(form, nullptr);
        QWidget* cells = form->StringGrid->viewport();
        // Code 244 = 16 * 15 + 4: column 4, row 15.
        const QPoint o = cells->mapFrom(form->StringGrid, form->StringGrid->cellrect(4, 15).center());
        // As the desktop sends it: a click, then the double click.
        QTest::mouseClick(cells, Qt::LeftButton, {}, o);
        QTest::mouseDClick(cells, Qt::LeftButton, {}, o);
    });
    button.click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ô"));
    // Cancel picks code 0, which copies as an empty text.
    whenmodal([](QWidget* w) { qobject_cast<TForeignCharForm*>(w)->CancelButton->click(); });
    button.click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
}

class HelpFiles : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    Tdesktopstub desktop;
    std::unique_ptr<TVelmoraForm> form;
    void SetUp() override { form = std::make_unique<TVelmoraForm>(world.path(), &ui); }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QString besideprogram(const QString& name) {
        return QDir(QString::fromStdString(world.path())).filePath(name);
    }
};

TEST_F(HelpFiles, OpenedFromBesideTheProgram) {
    const QString manual = QStringLiteral("The VELMORA program - A short manual.pdf");
    QFile(besideprogram(manual)).open(QIODevice::WriteOnly);
    QFile(besideprogram(QStringLiteral("readme.txt"))).open(QIODevice::WriteOnly);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    ui.reset();
    form->ManualItem->trigger();
    form->InformationItem->trigger();
    EXPECT_EQ(desktop.opened,
              (QStringList{besideprogram(manual), besideprogram(QStringLiteral("readme.txt"))}));
    EXPECT_TRUE(ui.warnings.empty());
}

TEST_F(HelpFiles, AMissingOrUnopenableFileIsNamedInAWarning) {
    ui.reset();
    form->InformationItem->trigger();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("\"readme.txt\""), std::string::npos) << ui.warnings[0];
    // Present, but the desktop has no application for it (as offscreen):
    // the warning names the whole path, to open it some other way.
    const QString manual = besideprogram(QStringLiteral("The VELMORA program - A short manual.pdf"));
    QFile(manual).open(QIODevice::WriteOnly);
    ui.reset();
    form->ManualItem->trigger();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find(QDir::toNativeSeparators(manual).toStdString()),
              std::string::npos)
        << ui.warnings[0];
}

TEST(playsound, AMissingSoundShowsNoBox) {
    Trecorderui recorder;
    recorder.playsound("Velmora.wav");
    EXPECT_EQ(recorder.sounds, (std::vector<std::string>{"Velmora.wav"}));
    Tqtuiservice ui(program);
    bool boxed = false;
    QTimer::singleShot(100, [&boxed] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxed = true;
            modal->close();
        }
    });
    ui.playsound("no such sound.wav");
    QTest::qWait(200);
    EXPECT_FALSE(boxed);
}

#include "smallwindows_test.moc"
