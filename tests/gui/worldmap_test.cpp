// The map windows as a user meets them: the world map window, the
// geographic map window with its zoom, shift, options and caption, and a
// results column or a region put on the map. Renders go to
// <temp>/velmora-gui/ for a look by eye.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include "guisupport.h"
#include "model/regions.h"
#include "numeric/errors.h"
#include "toolkit/geoform.h"
#include "toolkit/outputform.h"
#include "support/testsupport.h"
#include "toolkit/plot.h"
#include "views/worldmapform.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

// The program as installed by the build: the maps folder lies beside it.
const Tprograminfo program(std::string(VELMORA_BIN_DIR) + "/Velmora");
const Tprograminfo nowhere("/nonexistent/velmora/Velmora");

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor white(255, 255, 255);
const QColor black(0, 0, 0);

void someregions(Tregions& regions) {
    auto add = [&](const char* name, float lat, float lon, bool land = true) {
        Tregionrecord r;
        r.name = name;
        r.latitude = lat;
        r.longitude = lon;
        r.land = land;
        regions.add(r);
    };
    add("Netherlands", 52.5f, 5.75f);
    add("Brazil", -10, -55);
    add("Australia", -25, 135);
    add("India", 20, 77);
    add("Kenya", 1, 38);
    add("Canada", 60, -95);
    add("China", 35, 105);
    add("Fiji", -18, 178);
    add("North Sea", 56, 3, false);
}

int near(const QImage& image, QPoint c, QColor colour, int distance = 3) {
    int n = 0;
    for (int dy = -distance; dy <= distance; ++dy)
        for (int dx = -distance; dx <= distance; ++dx)
            if (image.valid(c.x() + dx, c.y() + dy) &&
                image.pixelColor(c.x() + dx, c.y() + dy) == colour)
                ++n;
    return n;
}

// The pointer moving over a widget, as the window system reports it.
void moveto(QWidget* widget, QPoint p) {
    QMouseEvent event(QEvent::MouseMove, QPointF(p), widget->mapToGlobal(QPointF(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

// ---- the world map window -------------------------------------------------------

TEST(WorldMapGeometry, WorkedPixels) {
    const Tworldmapgeometry g;
    EXPECT_EQ(g.pixel(0, 0), QPoint(536, 279));
    EXPECT_EQ(g.pixel(90, 90).x(), 685);
    EXPECT_EQ(g.pixel(0, 90).x(), 816);
    EXPECT_EQ(g.pixel(80, 0).y(), 0);
    EXPECT_EQ(g.pixel(-80, 0).y(), 558);
}

TEST(WorldMapGeometry, LongitudeUnderThePointer) {
    const Tworldmapgeometry g;
    EXPECT_FLOAT_EQ(g.longitudeat(0), -172);
    EXPECT_FLOAT_EQ(g.longitudeat(542), 2);
    EXPECT_NEAR(g.longitudeat(1083), 175.679f, 1e-3);
}

TEST(WorldMapForm, PictureCaptionAndMarks) {
    Tregions regions;
    someregions(regions);
    TWorldMapForm form(program, regions);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("World map"));
    EXPECT_EQ(form.Image1->picture().size(), QSize(1084, 558));
    EXPECT_TRUE(form.EquatorCheckBox->isChecked());
    EXPECT_TRUE(form.PolarCirclesCheckBox->isChecked());
    EXPECT_FALSE(form.TenDegreesCheckBox->isChecked());
    EXPECT_FALSE(form.WithNamesCheckBox->isChecked());
    form.show();
    const QImage& picture = form.Image1->picture();
    // Regions 1..3 in red; region 4 not marked.
    EXPECT_GT(near(picture, form.geometry.pixel(52.5f, 5.75f), red, 2), 10);
    EXPECT_GT(near(picture, form.geometry.pixel(-25, 135), red, 2), 10);
    EXPECT_EQ(near(picture, form.geometry.pixel(20, 77), red, 2), 0);
    // Reference marks in blue; the white equator runs through the one at 0, 0.
    EXPECT_GT(near(picture, form.geometry.pixel(-42, 147), blue, 2), 10);
    EXPECT_EQ(picture.pixelColor(536, 279), white);
    EXPECT_EQ(picture.pixelColor(100, 279), white);
    EXPECT_EQ(picture.pixelColor(536, 100), white); // Greenwich
    moveto(form.Image1, QPoint(0, 200));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("-172"));
    form.Image1MouseMove(542);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("2"));
    form.Image1MouseMove(1083);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("175.679"));
    snapshot(&form, QStringLiteral("worldmap-window"));
}

TEST(WorldMapForm, DrawingIsCumulative) {
    Tregions regions;
    someregions(regions);
    TWorldMapForm form(program, regions);
    form.show();
    const QImage& picture = form.Image1->picture();
    EXPECT_EQ(picture.pixelColor(300, 279), white);
    // Unchecking leaves the equator; checking the ten-degree parallels then
    // draws the black one over it.
    form.EquatorCheckBox->click();
    EXPECT_EQ(picture.pixelColor(300, 279), white);
    form.TenDegreesCheckBox->click();
    EXPECT_EQ(picture.pixelColor(300, 279), black);
    // With both checked the white equator is drawn last.
    form.EquatorCheckBox->click();
    EXPECT_EQ(picture.pixelColor(300, 279), white);
    form.FifteenDegreesCheckBox->click();
    EXPECT_EQ(picture.pixelColor(form.geometry.pixel(45, 90)), black);
    form.WithNamesCheckBox->click();
    // A name is written on red to the right of its mark.
    const QPoint c = form.geometry.pixel(-10, -55);
    EXPECT_GT(near(picture, c + QPoint(14, 6), red, 6), 5);
    snapshot(&form, QStringLiteral("worldmap-window-all-lines"));
}

TEST(WorldMapForm, MissingPictureRaisesBeforeAnyWindow) {
    Tregions regions;
    someregions(regions);
    EXPECT_THROW(TWorldMapForm(nowhere, regions), EFileError);
}

// ---- the geographic map window --------------------------------------------------

TEST(GeoForm, MissingDataRaisesFromCreate) {
    try {
        TGeoForm form(nowhere);
        FAIL() << "a missing data folder must raise";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("africa-cil.txt"), std::string::npos);
    }
}

TEST(GeoForm, LayoutAndPlaces) {
    TGeoForm form(program);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora - Geo"));
    EXPECT_EQ(form.Image->picture().size(), QSize(1200, 600));
    EXPECT_EQ(form.ZoomComboBox->currentText(), QStringLiteral("World"));
    EXPECT_EQ(form.ZoomTrackBar->maximum(), 10);
    EXPECT_EQ(form.OptionsButton->text(), QStringLiteral("&Options ..."));
    form.addplace(10, 20, 0, red);
    form.addplace(10, 20, -5, red);
    EXPECT_TRUE(form.places().empty());
    form.addplace(10, 20, 300, red);
    form.addplace(11, 21, 1, blue);
    ASSERT_EQ(form.places().size(), 2u);
    EXPECT_EQ(form.places()[0].size, 44);
    EXPECT_EQ(form.places()[0].shape, 1);
    EXPECT_EQ(form.places()[1].size, 1);
    form.show();
    EXPECT_FALSE(form.ZoomGroup->isVisible());
    EXPECT_FALSE(form.ShiftGroup->isVisible());
    EXPECT_EQ(form.Image->picture().pixelColor(form.map.mapx({10, 20}), form.map.mapy({10, 20})),
              red);
}

TEST(GeoForm, ZoomInTwiceOutOnceIsTheWorldAgain) {
    TGeoForm form(program);
    form.show();
    form.ZoomTrackBar->setValue(1);
    EXPECT_FLOAT_EQ(form.map.south, -45);
    EXPECT_FLOAT_EQ(form.map.east, 105);
    EXPECT_EQ(form.ZoomComboBox->currentIndex(), -1);
    form.ZoomTrackBar->setValue(2);
    EXPECT_FLOAT_EQ(form.map.north, 22.5f);
    form.ZoomTrackBar->setValue(1);
    EXPECT_FLOAT_EQ(form.map.south, -90);
    EXPECT_FLOAT_EQ(form.map.north, 90);
    EXPECT_FLOAT_EQ(form.map.west, -180);
    EXPECT_FLOAT_EQ(form.map.east, 200);
    // A jump of several ticks is one step.
    form.ZoomTrackBar->setValue(7);
    EXPECT_FLOAT_EQ(form.map.north, 45);
}

TEST(GeoForm, RegionListShiftAndDrag) {
    TGeoForm form(program);
    form.show();
    form.ZoomComboBox->setCurrentIndex(4);
    form.ZoomComboBoxChange(4);
    EXPECT_FLOAT_EQ(form.map.south, 34);
    EXPECT_FLOAT_EQ(form.map.east, 45);
    snapshot(&form, QStringLiteral("geomap-europe"));
    form.NButton->click();
    EXPECT_FLOAT_EQ(form.map.south, 53);
    EXPECT_FLOAT_EQ(form.map.north, 91);
    EXPECT_EQ(form.ZoomComboBox->currentIndex(), -1);
    form.WButton->click();
    EXPECT_FLOAT_EQ(form.map.west, -60);
    EXPECT_FLOAT_EQ(form.map.east, 10);
    QTest::mouseClick(form.Image, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FLOAT_EQ(form.map.south, 28);
    EXPECT_FLOAT_EQ(form.map.west, -35);
}

TEST(GeoForm, CaptionShowsThePositionUnderThePointer) {
    TGeoForm form(program);
    form.show();
    moveto(form.Image, QPoint(568, 300));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("[0, -0.133]"));
    form.ImageMouseMove(0, 0);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("[90, -180]"));
}

TEST(GeoForm, OptionsFilledFromTheMapAndTakenBack) {
    TGeoForm form(program);
    form.show();
    bool shown = false;
    form.execoptions = [&](TGeoFormOptions& options) {
        shown = true;
        EXPECT_EQ(options.windowTitle(), QStringLiteral("Velmora - Geo - options"));
        EXPECT_EQ(options.ProjectionComboBox->currentText(), QStringLiteral("Mercator"));
        EXPECT_EQ(options.BackgroundComboBox->currentText(), QStringLiteral("Money green"));
        EXPECT_EQ(options.ShoresComboBox->currentText(), QStringLiteral("Black"));
        EXPECT_EQ(options.RiversComboBox->currentText(), QStringLiteral("None"));
        EXPECT_EQ(options.MeridiansComboBox->count(), 7);
        options.ProjectionComboBox->setCurrentIndex(1);
        options.BackgroundComboBox->setCurrentIndex(2);
        options.RiversComboBox->setCurrentIndex(2);
        options.BordersComboBox->setCurrentIndex(3);
        options.ParallelsComboBox->setCurrentIndex(2);
        options.MeridiansComboBox->setCurrentIndex(2);
        options.NavigationCheckBox->setChecked(true);
    };
    form.OptionsButtonClick();
    ASSERT_TRUE(shown);
    EXPECT_EQ(form.map.projection, 1);
    EXPECT_EQ(form.map.backgroundcolor, QColor(166, 202, 240));
    EXPECT_TRUE(form.showrivers);
    EXPECT_EQ(form.map.rivercolor, blue);
    EXPECT_EQ(form.map.bordercolor, red);
    EXPECT_EQ(form.map.parallelschoice, 2);
    EXPECT_TRUE(form.ZoomGroup->isVisible());
    EXPECT_TRUE(form.ShiftGroup->isVisible());
    snapshot(&form, QStringLiteral("geomap-robinson"));
    // "None" hides a kind and keeps its colour.
    form.execoptions = [](TGeoFormOptions& options) {
        EXPECT_EQ(options.RiversComboBox->currentText(), QStringLiteral("Blue"));
        options.BordersComboBox->setCurrentIndex(0);
    };
    form.OptionsButtonClick();
    EXPECT_FALSE(form.showborders);
    EXPECT_EQ(form.map.bordercolor, red);
}

TEST(GeoForm, PrintSendsTheMapPictureToAFile) {
    TGeoForm form(program);
    form.show();
    velmora::testing::Ttempdir dir;
    const QString file = QString::fromStdString(dir.file("map.bmp"));
    whenmodal([&](QWidget* w) {
        auto* output = qobject_cast<TOutputForm*>(w);
        ASSERT_NE(output, nullptr) << w->metaObject()->className();
        output->DestinationClick(destinationfile);
        output->FileEdit->setText(file);
        output->OKButton->click();
    });
    form.PrintButton->click();
    QImage written(file);
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), form.Image->picture().size());
}

TEST(GeoForm, WorldRenderInMercator) {
    TGeoForm form(program);
    form.map.parallelschoice = 1;
    form.map.meridianschoice = 1;
    form.show();
    EXPECT_FALSE(snapshot(&form, QStringLiteral("geomap-world")).isEmpty());
}

// ---- regions on the geographic map ----------------------------------------------

TEST(ColumnOnMap, GradedCirclesSmallestUnmarked) {
    Tregions regions;
    someregions(regions);
    const Tmapcolumn c = columnplaces(regions, {"Netherlands", "Brazil", "Australia", "Atlantis"},
                                      {"1", "6", "11", "3"});
    EXPECT_EQ(c.values, 3);
    EXPECT_EQ(c.skipped, 1);
    ASSERT_EQ(c.places.size(), 2u);
    EXPECT_EQ(c.places[0].size, 5); // round(10 * 5/10), ties to even
    EXPECT_FLOAT_EQ(c.places[0].latitude, -10);
    EXPECT_EQ(c.places[1].size, 10);
    EXPECT_EQ(c.places[1].colour, red);
    EXPECT_TRUE(c.legend.contains(QStringLiteral("from 1 (no mark) to 11")));
}

TEST(ColumnOnMap, AllEqualMarksEveryRegionAlike) {
    Tregions regions;
    someregions(regions);
    const Tmapcolumn c =
        columnplaces(regions, {"Netherlands", "Brazil", "India"}, {"2.5", "2.5", "2.5"});
    ASSERT_EQ(c.places.size(), 3u);
    for (const auto& p : c.places)
        EXPECT_EQ(p.size, 5);
    EXPECT_EQ(c.legend,
              QStringLiteral("All 3 regions have the same value, 2.5: every one is marked alike."));
}

TEST(ColumnOnMap, NoFiniteValueMarksNothing) {
    Tregions regions;
    someregions(regions);
    const Tmapcolumn c = columnplaces(regions, {"Netherlands", "Brazil", "India", "Kenya"},
                                      {"inf", "nan", "?", "1e39"});
    EXPECT_TRUE(c.places.empty());
    EXPECT_EQ(c.skipped, 4);
    EXPECT_EQ(c.legend, QStringLiteral("No region of this column has a finite value: no marks."));
    const Tmapcolumn empty = columnplaces(regions, {}, {});
    EXPECT_TRUE(empty.places.empty());
}

TEST(ColumnOnMap, HugeRangeStaysFinite) {
    Tregions regions;
    someregions(regions);
    const Tmapcolumn c =
        columnplaces(regions, {"Netherlands", "Brazil", "India"}, {"-3e38", "3e38", "-"});
    ASSERT_EQ(c.places.size(), 1u);
    EXPECT_EQ(c.places[0].size, 10);
    EXPECT_TRUE(c.legend.contains(QStringLiteral("1 rows without a finite value")));
}

TEST(ColumnOnMap, ResultsColumnRendered) {
    Tregions regions;
    someregions(regions);
    auto form = columnmap(program, regions,
                          {"Netherlands", "Brazil", "Australia", "India", "Kenya", "Canada",
                           "China", "Fiji", "North Sea"},
                          {"0.5", "3", "1.5", "8", "2", "4", "10", "6", "0"});
    // The smallest (0) and 0.5, whose size round(0.5) is 0, get no mark.
    EXPECT_EQ(form->places().size(), 7u);
    EXPECT_FALSE(form->legend().isEmpty());
    form->show();
    const QImage& picture = form->Image->picture();
    EXPECT_EQ(picture.pixelColor(form->map.mapx({35, 105}), form->map.mapy({35, 105})), red);
    // Fiji at 178 east is drawn near the right of the Pacific, not wrapped.
    EXPECT_EQ(picture.pixelColor(form->map.mapx({-18, 178}), form->map.mapy({-18, 178})), red);
    EXPECT_FALSE(snapshot(form.get(), QStringLiteral("geomap-results-column")).isEmpty());
}

// Beside the emission country most values of a column are orders of
// magnitude smaller: on a linear scale only the largest few would show.
TEST(ColumnOnMap, ValuesOverManyOrdersOfMagnitudeGetALogarithmicScale) {
    Tregions regions;
    someregions(regions);
    const std::vector<std::string> names = {"Netherlands", "Brazil", "Australia", "India"};
    const std::vector<std::string> cells = {"1000", "0.001", "1", "0"};
    const Tmapcolumn c = columnplaces(regions, names, cells);
    EXPECT_TRUE(c.logarithmic);
    ASSERT_EQ(c.places.size(), 3u); // 0 has no logarithm
    EXPECT_EQ(c.places[0].size, 10);
    EXPECT_EQ(c.places[1].size, 1); // the smallest value above 0 still shows
    EXPECT_EQ(c.places[2].size, 5); // 1 + round(9 x 3/6), ties to even
    EXPECT_TRUE(c.legend.contains(QStringLiteral("logarithmically"))) << c.legend.toStdString();
    EXPECT_TRUE(c.legend.contains(QStringLiteral("1 regions with a value of 0 or below")));
    ASSERT_EQ(c.samples.size(), 4u);
    EXPECT_EQ(c.samples.front().label, QStringLiteral("0.001"));
    EXPECT_EQ(c.samples.back().label, QStringLiteral("1E3")); // the display format
    // Chosen linear, the same column marks only what lies near the top.
    const Tmapcolumn linear = columnplaces(regions, names, cells, 3, Tmapscale::linear);
    EXPECT_FALSE(linear.logarithmic);
    ASSERT_EQ(linear.places.size(), 1u);
    EXPECT_TRUE(linear.legend.contains(QStringLiteral("linearly")));
    // Three orders of magnitude or fewer stay linear unless asked.
    EXPECT_FALSE(columnplaces(regions, names, {"1000", "1", "2", "0"}).logarithmic);
    EXPECT_TRUE(
        columnplaces(regions, names, {"1000", "1", "2", "0"}, 3, Tmapscale::logarithmic).logarithmic);
}

// The scale can be switched in the window, and the map written as SVG is a
// drawing (paths and text, the legend included), not a picture of pixels.
TEST(ColumnOnMap, ScaleListAndSvgWithTheLegend) {
    Tregions regions;
    someregions(regions);
    auto form = columnmap(program, regions, {"Netherlands", "Brazil", "China"},
                          {"5e-3", "2e-9", "1e-12"});
    ASSERT_TRUE(form->ScaleComboBox->isVisibleTo(form.get()));
    EXPECT_EQ(form->ScaleComboBox->currentIndex(), 1);
    form->show();
    EXPECT_EQ(form->places().size(), 3u);
    EXPECT_FALSE(snapshot(form.get(), QStringLiteral("geomap-logarithmic")).isEmpty());
    form->ScaleComboBox->setCurrentIndex(0);
    emit form->ScaleComboBox->activated(0);
    EXPECT_EQ(form->places().size(), 1u);
    EXPECT_TRUE(form->legend().contains(QStringLiteral("linearly")));

    Ttempdir dir;
    const QString file = QString::fromStdString(dir.file("map.svg"));
    TOutputForm output(program, true);
    output.reporterror = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
    output.show();
    output.style = picturesvg;
    output.DestinationClick(destinationfile);
    output.FileEdit->setText(file);
    output.OKButtonClick();
    output.writepicture(*form->Image);
    output.deliver();
    QFile svg(file);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("<image"))) << "pixels, not a drawing";
    EXPECT_GT(text.count(QStringLiteral("<polyline")) + text.count(QStringLiteral("<path")), 100);
    EXPECT_GE(text.count(QStringLiteral("<circle")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("linearly"))) << "the legend is missing";
}

TEST(RegionOnMap, OneMarkOrNone) {
    Tregions regions;
    someregions(regions);
    auto known = regionmap(program, regions, "Kenya");
    ASSERT_EQ(known->places().size(), 1u);
    EXPECT_EQ(known->places()[0].size, 8);
    EXPECT_FLOAT_EQ(known->places()[0].longitude, 38);
    auto unknown = regionmap(program, regions, "Atlantis");
    EXPECT_TRUE(unknown->places().empty());
}
