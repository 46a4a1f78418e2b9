// The geographic map's engine: the projections, the line-file reader, the
// thinning and the drawing, on small files written here and on the line
// files the program ships with.
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "numeric/errors.h"
#include "support/testsupport.h"
#include "toolkit/geomap.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

void write(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
}

std::string shipped() {
    return std::string(VELMORA_BIN_DIR) + "/maps/";
}

// A world map over a white 1200 x 600 picture, as the window has it.
struct Tworldview {
    QImage picture{1200, 600, QImage::Format_RGB32};
    Tgeomap map;
    Tworldview() {
        picture.fill(Qt::white);
        map.bindimage(&picture);
    }
};

int count(const QImage& image, QRect area, QColor colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.valid(x, y) && image.pixelColor(x, y) == colour) ++n;
    return n;
}

} // namespace

TEST(Geomap, RobinsonParallelLengthsFromTheTable) {
    EXPECT_FLOAT_EQ(robinsonx(0), 1.0f);
    EXPECT_FLOAT_EQ(robinsonx(45), 0.8962f);
    EXPECT_FLOAT_EQ(robinsonx(-45), 0.8962f);
    EXPECT_FLOAT_EQ(robinsonx(2.5f), (1.0f + 0.9986f) / 2);
    EXPECT_FLOAT_EQ(robinsonx(87.5f), (0.5722f + 0.5322f) / 2);
    // The last interval is closed: 90 itself is the table's last entry.
    EXPECT_FLOAT_EQ(robinsonx(90), 0.5322f);
    EXPECT_FLOAT_EQ(robinsonx(90.5f), 1.0f);
}

TEST(Geomap, StartsWithTheWorldViewAndItsColours) {
    Tgeomap map;
    EXPECT_EQ(map.lines.count(), 0u);
    EXPECT_FLOAT_EQ(map.south, -90);
    EXPECT_FLOAT_EQ(map.north, 90);
    EXPECT_FLOAT_EQ(map.west, -180);
    EXPECT_FLOAT_EQ(map.east, 200);
    EXPECT_EQ(map.backgroundcolor, QColor(192, 220, 192));
    EXPECT_EQ(map.projection, 0);
}

TEST(Geomap, OriginAndCornerInBothProjections) {
    Tworldview w;
    EXPECT_EQ(w.map.right, 1200);
    EXPECT_EQ(w.map.bottom, 600);
    EXPECT_EQ(w.map.mapx({0, 0}), 568);
    EXPECT_EQ(w.map.mapy({0, 0}), 300);
    EXPECT_EQ(w.map.mapx({90, -180}), 0);
    EXPECT_EQ(w.map.mapy({90, -180}), 0);
    EXPECT_EQ(w.map.mapx({45, 100}), 884); // no stretching in Mercator: linear
    w.map.projection = 1;
    EXPECT_EQ(w.map.mapx({0, 0}), 568);
    EXPECT_EQ(w.map.mapy({0, 0}), 300);
    EXPECT_EQ(w.map.mapx({45, 100}), 851);
    EXPECT_EQ(w.map.mapy({45, 100}), 150);
}

TEST(Geomap, PointAtIsTheExactInverseInBothProjections) {
    for (int projection : {0, 1}) {
        Tworldview w;
        w.map.projection = projection;
        for (int y : {0, 1, 37, 150, 299, 300, 451, 599, 600})
            for (int x : {0, 3, 200, 568, 569, 900, 1190, 1200}) {
                const Tgeopoint p = w.map.pointat(x, y);
                EXPECT_EQ(w.map.mapy(p), y) << projection << " " << x << "," << y;
                // Robinson's poles are shorter than the picture is wide;
                // what lies beyond the globe still maps back.
                EXPECT_NEAR(w.map.mapx(p), x, 1) << projection << " " << x << "," << y;
            }
    }
}

TEST(Geomap, PointAtUnderThePointerNearTheOrigin) {
    Tworldview w;
    const Tgeopoint p = w.map.pointat(568, 300);
    EXPECT_FLOAT_EQ(p.latitude, 0);
    EXPECT_NEAR(p.longitude, -0.1333f, 1e-3);
    // The corner that made the bisection search loop in Robinson: near the
    // pole, far east.
    w.map.projection = 1;
    const Tgeopoint q = w.map.pointat(1200, 1);
    EXPECT_GT(q.longitude, 200);
    EXPECT_NEAR(q.latitude, 89.7f, 1e-3);
}

TEST(Geomap, ThinningStepByQualityAndView) {
    Tgeomap map;
    EXPECT_EQ(map.thinning(), 1);
    map.quality = 1;
    EXPECT_EQ(map.thinning(), 8);
    map.quality = 2;
    EXPECT_EQ(map.thinning(), 41);
    // A small view thins less; a step of 0 becomes 1.
    map.south = 0;
    map.north = 1;
    map.west = 0;
    map.east = 1;
    map.quality = 1;
    EXPECT_EQ(map.thinning(), 1);
}

TEST(Geomap, MeridiansStopAt180ThoughTheViewReaches200) {
    Tworldview w;
    w.map.framecolor = QColor(255, 0, 0);
    EXPECT_EQ(w.map.meridians(15), 25);
    EXPECT_EQ(w.picture.pixelColor(w.map.mapx({0, 180}), 300), QColor(255, 0, 0));
    EXPECT_EQ(w.picture.pixelColor(w.map.mapx({0, -180}), 300), QColor(255, 0, 0));
    EXPECT_EQ(count(w.picture, QRect(w.map.mapx({0, 181}), 0, 60, 600), QColor(255, 0, 0)), 0);
    EXPECT_EQ(w.map.meridians(1), 361);
}

TEST(Geomap, ParallelsFromEquatorToPoles) {
    Tworldview w;
    w.map.framecolor = QColor(0, 0, 255);
    EXPECT_EQ(w.map.parallels(15), 13);
    EXPECT_EQ(w.picture.pixelColor(600, 300), QColor(0, 0, 255));
    EXPECT_EQ(w.picture.pixelColor(600, 250), QColor(0, 0, 255)); // 15 degrees north
    EXPECT_EQ(w.picture.pixelColor(600, 260), QColor(255, 255, 255));
}

TEST(Geomap, CircleFilledInItsColour) {
    Tworldview w;
    w.map.drawcircle({0, 0}, 5, QColor(255, 0, 0));
    EXPECT_EQ(w.picture.pixelColor(568, 300), QColor(255, 0, 0));
    EXPECT_GT(count(w.picture, QRect(563, 295, 11, 11), QColor(255, 0, 0)), 50);
    EXPECT_EQ(count(w.picture, QRect(575, 300, 20, 1), QColor(255, 0, 0)), 0);
}

class GeoFiles : public ::testing::Test {
protected:
    Ttempdir dir;
    std::string file(const std::string& name) { return dir.file(name); }
};

TEST_F(GeoFiles, DroppedRankIsReadPastAndTheNextSegmentKept) {
    std::string text = "segment 1  rank 2  points 10\n";
    for (int i = 0; i < 10; ++i)
        text += " 1." + std::to_string(i) + " 2\n";
    text += "segment 2  rank 1  points 2\n 10.5 -20.25\n 11 -21\n";
    write(file("africa-cil.txt"), text);
    Tvectors lines;
    const auto c = readgeofile(file("africa-cil.txt"), 1, geoshore, 1, lines);
    EXPECT_EQ(c.segments, 2u);
    EXPECT_EQ(c.kept, 1u);
    ASSERT_EQ(lines.count(), 1u);
    const Tvector& v = lines.item(1);
    EXPECT_EQ(v.segment, 2);
    EXPECT_EQ(v.rank, 1);
    EXPECT_EQ(v.points, 2);
    EXPECT_EQ(v.continent, 1);
    EXPECT_EQ(v.kind, geoshore);
    EXPECT_FLOAT_EQ(v.latitudes.getvalue(1), 10.5f);
    EXPECT_FLOAT_EQ(v.longitudes.getvalue(1), -20.25f);
    EXPECT_FLOAT_EQ(v.longitudes.getvalue(2), -21);
}

TEST_F(GeoFiles, ZeroPointHeaderEndsTheFile) {
    write(file("f.txt"), "segment 1  rank 1  points 1\n 1 2\nsegment 2  rank 1  points 0\n"
                         "segment 3  rank 1  points 1\n 3 4\n");
    Tvectors lines;
    EXPECT_EQ(readgeofile(file("f.txt"), 3, geoborder, 1, lines).segments, 1u);
    EXPECT_EQ(lines.count(), 1u);
}

TEST_F(GeoFiles, WindowsLineEndsAndAnEmptyFileRead) {
    write(file("crlf.txt"), "segment 7  rank 1  points 1\r\n 1.5 2.5\r\n");
    write(file("empty.txt"), "");
    Tvectors lines;
    readgeofile(file("crlf.txt"), 1, geoshore, 1, lines);
    EXPECT_EQ(readgeofile(file("empty.txt"), 1, geoshore, 1, lines).segments, 0u);
    ASSERT_EQ(lines.count(), 1u);
    EXPECT_FLOAT_EQ(lines.item(1).longitudes.getvalue(1), 2.5f);
}

TEST_F(GeoFiles, AsiaNegativeLongitudesContinuePast180) {
    write(file("asia-cil.txt"), "segment 1  rank 1  points 3\n 65 -170\n 66 179\n 64 -180\n");
    write(file("namer-cil.txt"), "segment 1  rank 1  points 1\n 65 -170\n");
    Tvectors lines;
    readgeofile(file("asia-cil.txt"), 2, geoshore, 1, lines);
    readgeofile(file("namer-cil.txt"), 4, geoshore, 1, lines);
    EXPECT_FLOAT_EQ(lines.item(1).longitudes.getvalue(1), 190);
    EXPECT_FLOAT_EQ(lines.item(1).longitudes.getvalue(2), 179);
    EXPECT_FLOAT_EQ(lines.item(1).longitudes.getvalue(3), 180);
    EXPECT_FLOAT_EQ(lines.item(2).longitudes.getvalue(1), -170);
}

TEST_F(GeoFiles, TruncatedSegmentNamesFileAndLine) {
    write(file("cut.txt"), "segment 1  rank 1  points 2\n 1 2\n 3 4\nsegment 2  rank 1  points 3\n"
                           " 5 6\n");
    Tvectors lines;
    try {
        readgeofile(file("cut.txt"), 1, geoshore, 1, lines);
        FAIL() << "a cut segment must raise";
    } catch (const EFileError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find(file("cut.txt") + ", line 5"), std::string::npos) << m;
        EXPECT_NE(m.find("segment 2 (line 4) ends after 1 of its 3 points"), std::string::npos)
            << m;
    }
}

TEST_F(GeoFiles, DroppedSegmentCutShortRaisesToo) {
    write(file("cut.txt"), "segment 1  rank 5  points 4\n 1 2\n");
    Tvectors lines;
    EXPECT_THROW(readgeofile(file("cut.txt"), 1, geoshore, 1, lines), EFileError);
}

TEST_F(GeoFiles, BadNumbersAndHeadersNameTheLine) {
    write(file("num.txt"), "segment 1  rank 1  points 2\n 1 2\n 3,5 4\n");
    write(file("head.txt"), "segment 1  rank 1  points 1\n 1 2\nnonsense\n");
    Tvectors lines;
    try {
        readgeofile(file("num.txt"), 1, geoshore, 1, lines);
        FAIL() << "a comma decimal must raise";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()),
                  file("num.txt") + ", line 3: '3,5' is not a valid num value");
    }
    try {
        readgeofile(file("head.txt"), 1, geoshore, 1, lines);
        FAIL() << "a line that is no header must raise";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(file("head.txt") + ", line 3:"), std::string::npos);
    }
}

TEST_F(GeoFiles, CountsBeyondTheFileAndFilesThatAreNoFilesAreRefused) {
    // 50 bytes that claim two billion points: refused before any allocation.
    write(file("huge.txt"), "segment 1  rank 1  points 2000000000\n 1 2\n 3 4\n");
    Tvectors lines;
    try {
        readgeofile(file("huge.txt"), 1, geoshore, 1, lines);
        FAIL() << "a count beyond the file must raise";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(file("huge.txt") + ", line 1: the segment header "
                                                                "claims 2000000000 points"),
                  std::string::npos)
            << e.what();
    }
    ASSERT_EQ(mkfifo(file("pipe.txt").c_str(), 0600), 0);
    try {
        readgeofile(file("pipe.txt"), 1, geoshore, 1, lines);
        FAIL() << "a pipe must be refused, not waited for";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("it is a pipe, not a file"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(lines.count(), 0u);
}

TEST_F(GeoFiles, MissingFileIsNamedAndLoadingLeavesNothingHalfRead) {
    Tgeomap map;
    for (const char* stem : geostems)
        for (const char* kind : geokinds)
            write(file(std::string(stem) + "-" + kind + ".txt"),
                  std::string("segment 1  rank 1  points 2\n 1 2\n 3 4\n"));
    const std::string dirname = dir.path().string() + "/";
    auto counts = map.loaddata(dirname, 1, true, true);
    ASSERT_EQ(counts.size(), 15u);
    EXPECT_EQ(counts[0].file, dirname + "africa-cil.txt");
    EXPECT_EQ(counts[1].file, dirname + "africa-riv.txt");
    EXPECT_EQ(counts[2].file, dirname + "africa-bdy.txt");
    EXPECT_EQ(map.lines.count(), 15u);
    EXPECT_EQ(map.lines.item(4).continent, 2);
    EXPECT_EQ(map.lines.item(6).kind, geoborder);
    EXPECT_EQ(map.loaddata(dirname, 1, false, false).size(), 5u);
    EXPECT_EQ(map.lines.count(), 5u);
    std::filesystem::remove(file("samer-bdy.txt"));
    try {
        map.loaddata(dirname, 1, true, true);
        FAIL() << "a missing file must raise";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(dirname + "samer-bdy.txt"), std::string::npos);
    }
    EXPECT_EQ(map.lines.count(), 0u);
}

TEST_F(GeoFiles, PointsOffThePictureLeaveThePenWhereItIs) {
    // Three points; the middle one lies above the picture, so the line runs
    // straight from the first to the third.
    write(file("f.txt"), "segment 1  rank 1  points 3\n 0 -100\n 95 0\n 0 100\n");
    Tworldview w;
    readgeofile(file("f.txt"), 1, geoshore, 1, w.map.lines);
    w.map.shorecolor = QColor(255, 0, 0);
    w.map.drawmap(true, true, true);
    EXPECT_EQ(w.picture.pixelColor(w.map.mapx({0, 0}), 300), QColor(255, 0, 0));
    EXPECT_EQ(count(w.picture, QRect(0, 1, 1200, 290), QColor(255, 0, 0)), 0);
}

TEST_F(GeoFiles, NearTheSouthPoleOnlyNeighbouringPixelsJoin) {
    // A ring closing round the pole at 85 south jumps sideways: not drawn.
    write(file("f.txt"), "segment 1  rank 1  points 2\n -85 -100\n -85 100\n");
    Tworldview w;
    readgeofile(file("f.txt"), 1, geoshore, 1, w.map.lines);
    w.map.shorecolor = QColor(255, 0, 0);
    w.map.drawmap(true, false, false);
    EXPECT_EQ(count(w.picture, QRect(0, 560, 1200, 40), QColor(255, 0, 0)), 0);
}

TEST_F(GeoFiles, KindsDrawnOnlyWhenChosen) {
    write(file("r.txt"), "segment 1  rank 1  points 2\n 0 -100\n 0 100\n");
    Tworldview w;
    readgeofile(file("r.txt"), 1, georiver, 1, w.map.lines);
    w.map.rivercolor = QColor(0, 0, 255);
    w.map.drawmap(true, true, false);
    EXPECT_EQ(count(w.picture, QRect(0, 300, 1200, 1), QColor(0, 0, 255)), 0);
    EXPECT_EQ(w.picture.pixelColor(0, 0), QColor(0, 0, 0)); // the frame
    EXPECT_EQ(w.picture.pixelColor(5, 5), QColor(192, 220, 192));
    w.map.drawmap(true, true, true);
    EXPECT_GT(count(w.picture, QRect(0, 300, 1200, 1), QColor(0, 0, 255)), 600);
}

TEST(GeoShipped, EverySegmentOfTheLineFilesLoads) {
    Tgeomap map;
    const auto counts = map.loaddata(shipped(), 1000, true, true);
    ASSERT_EQ(counts.size(), 15u);
    std::uint32_t total = 0;
    for (const auto& c : counts) {
        std::ifstream in(c.file);
        std::string line;
        std::uint32_t headers = 0;
        while (std::getline(in, line))
            if (line.rfind("segment ", 0) == 0) ++headers;
        EXPECT_EQ(c.segments, headers) << c.file;
        EXPECT_EQ(c.kept, headers) << c.file;
        EXPECT_GT(headers, 0u) << c.file;
        total += c.kept;
    }
    EXPECT_EQ(map.lines.count(), total);
    // The program reads rank 1 only: fewer lines, still some of every kind.
    Tgeomap first;
    first.loaddata(shipped(), 1, true, true);
    EXPECT_LT(first.lines.count(), total);
    EXPECT_GT(first.lines.count(), total / 2);
}

TEST(GeoShipped, ChukotkaContinuesRightOf180AndEuropeHasItsCoasts) {
    Tworldview w;
    w.map.loaddata(shipped(), 1, true, true);
    w.map.shorecolor = QColor(255, 0, 0);
    w.map.bordercolor = QColor(0, 0, 255);
    w.map.drawmap(true, true, false);
    // Chukotka's coast at about 66 north, 185 east (stored from -175).
    const QPoint chukotka(w.map.mapx({66, 185}), w.map.mapy({66, 185}));
    EXPECT_GT(count(w.picture, QRect(chukotka - QPoint(15, 15), QSize(30, 30)), QColor(255, 0, 0)),
              0);
    // The Strait of Gibraltar: coast on both sides; the Pyrenees: a border.
    const QPoint gibraltar(w.map.mapx({36, -5.5f}), w.map.mapy({36, -5.5f}));
    EXPECT_GT(count(w.picture, QRect(gibraltar - QPoint(4, 4), QSize(8, 8)), QColor(255, 0, 0)), 0);
    const QPoint pyrenees(w.map.mapx({42.6f, 1}), w.map.mapy({42.6f, 1}));
    EXPECT_GT(count(w.picture, QRect(pyrenees - QPoint(4, 4), QSize(8, 8)), QColor(0, 0, 255)), 0);
    // Mid-Atlantic and mid-Pacific are empty sea.
    EXPECT_EQ(count(w.picture, QRect(w.map.mapx({0, -30}), w.map.mapy({0, -30}), 20, 20),
                    QColor(255, 0, 0)),
              0);
}
