#pragma once
// The geographic map's engine: the continent line files (coasts, rivers,
// borders), the view rectangle in degrees, the two projections and the
// drawing into a picture. The window around it is TGeoForm (geoform.h).
#include <QColor>
#include <QImage>
#include <QPicture>
#include <QPoint>
#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "numeric/utilities.h" // Tgeopoint
#include "numeric/vectors.h"

class QPainter;

namespace velmora {

// Line kinds, as in the file names: "bdy", "cil", "riv".
enum : std::uint8_t { geoborder = 1, geoshore = 2, georiver = 3 };

// One polyline of a line file.
struct Tvector {
    std::uint8_t continent = 0; // 1 africa .. 5 samer, 0 any other stem
    std::uint8_t kind = 0;
    std::int32_t segment = 0;
    std::int32_t rank = 0;
    std::int32_t points = 0;
    Tnumvector latitudes;
    Tnumvector longitudes;
};

class Tvectors {
public:
    std::uint32_t count() const { return static_cast<std::uint32_t>(items_.size()); }
    // 1-based, in reading order.
    const Tvector& item(std::uint32_t i) const { return *items_.at(i - 1); }
    void add(std::unique_ptr<Tvector> v) { items_.push_back(std::move(v)); }
    void clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<Tvector>> items_;
};

// What one file held: its segment headers and how many of them were kept.
struct Tgeofilecount {
    std::string file;
    std::uint32_t segments = 0;
    std::uint32_t kept = 0;
};

// Robinson's parallel length at latitude (degrees), from his table at every
// 5 degrees, linear in between; 1 beyond 90.
float robinsonx(float latitude);

// The five continent stems in reading order, and the three kinds.
extern const char* const geostems[5];
extern const char* const geokinds[3];

// Reads one line file into lines, appending. Segments above maxrank are
// read and dropped. A file that cannot be opened, a header or point line
// that does not read, or a file that ends inside a segment raises
// EFileError naming the file and the line.
Tgeofilecount readgeofile(const std::string& file, std::uint8_t continent, std::uint8_t kind,
                          std::int32_t maxrank, Tvectors& lines);

class Tgeomap {
public:
    Tgeomap();

    Tvectors lines;
    QImage* image = nullptr;
    // Where the strokes drawn are kept as vectors as well; none when null.
    std::vector<QPicture>* strokes = nullptr;
    QColor framecolor = Qt::black;
    QColor shorecolor = Qt::black;
    QColor bordercolor = Qt::black;
    QColor rivercolor = Qt::black;
    QColor backgroundcolor = QColor(192, 220, 192);
    int parallelschoice = 0;
    int meridianschoice = 0;
    int projection = 0; // 0 Mercator, 1 Robinson
    int quality = 0;    // 0 high, 1 medium, 2 low
    float south = -90;
    float north = 90;
    float west = -180;
    float east = 200;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;

    void bindimage(QImage* picture);
    // Replaces the lines by the fifteen files of directory (which ends in a
    // separator or is empty); what each file held is returned in reading
    // order. On an error the lines are left empty.
    std::vector<Tgeofilecount> loaddata(const std::string& directory, std::int32_t maxrank,
                                        bool rivers, bool borders);

    int mapx(Tgeopoint p) const;
    int mapy(Tgeopoint p) const;
    // The thinning step of the current view and quality.
    int thinning() const;
    void drawmap(bool shores, bool borders, bool rivers);
    void geoline(Tgeopoint from, Tgeopoint to);
    void meridian(float longitude);
    // Returns how many meridians it drew.
    int meridians(float step);
    // A straight parallel across the view, in the frame colour.
    void parallel(float latitude);
    // Parallels every step degrees from the equator to the poles.
    int parallels(float step);
    void drawcircle(Tgeopoint p, int size, QColor colour);
    // The point at pixel (x, y): the exact inverse of mapx and mapy. In the
    // Robinson projection a pixel beyond the globe's edge gives a longitude
    // beyond +-180.
    Tgeopoint pointat(int x, int y) const;

private:
    float projectedlongitude(Tgeopoint p) const;
    void paint(const std::function<void(QPainter&)>& draw);
};

} // namespace velmora
