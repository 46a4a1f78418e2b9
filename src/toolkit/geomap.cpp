#include "toolkit/geomap.h"

#include <QPainter>
#include <utility>

#include "toolkit/plot.h"
#include <QPolygon>
#include <cmath>
#include <fstream>
#include <sstream>

#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"

namespace velmora {

const char* const geostems[5] = {"africa", "asia", "europe", "namer", "samer"};
const char* const geokinds[3] = {"bdy", "cil", "riv"};

namespace {

constexpr std::uint8_t asiacontinent = 2;

// Robinson's table of parallel lengths at 0, 5, ..., 90 degrees.
constexpr float robinsontable[19] = {1.0f,    0.9986f, 0.9954f, 0.99f,   0.9822f, 0.973f,  0.96f,
                                     0.9427f, 0.9216f, 0.8962f, 0.8679f, 0.835f,  0.7986f, 0.7597f,
                                     0.7186f, 0.6732f, 0.6213f, 0.5722f, 0.5322f};

// Nearest integer, ties to even, as every pixel position of the map.
int roundpixel(float x) {
    return static_cast<int>(std::nearbyint(x));
}

[[noreturn]] void fileerror(const std::string& file, std::uint32_t line, const std::string& what) {
    throw EFileError(file + ", line " + std::to_string(line) + ": " + what);
}

// The header "segment <n>  rank <r>  points <p>", read by position: eight
// characters, the number up to a blank, two characters, five characters, the
// rank up to a blank, two characters, seven characters and the rest.
struct Theader {
    std::int32_t segment = 0;
    std::int32_t rank = 0;
    std::int32_t points = 0;
};

std::int32_t headerfield(const std::string& line, std::size_t& pos, std::size_t skip, bool tolast) {
    pos += skip;
    if (pos > line.size()) throw EConvertError("'" + line + "' is not a segment header");
    std::size_t end = tolast ? line.size() : line.find(' ', pos);
    if (end == std::string::npos) throw EConvertError("'" + line + "' is not a segment header");
    std::string text = line.substr(pos, end - pos);
    pos = end + 2;
    return strtoint(text);
}

Theader readheader(const std::string& line) {
    Theader h;
    std::size_t pos = 0;
    h.segment = headerfield(line, pos, 8, false);
    h.rank = headerfield(line, pos, 5, false);
    h.points = headerfield(line, pos, 7, true);
    if (h.points < 0) throw EConvertError("'" + line + "' has a negative number of points");
    return h;
}

bool nextline(std::istream& in, std::string& line, std::uint32_t& number) {
    if (!std::getline(in, line)) return false;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

} // namespace

float robinsonx(float latitude) {
    const float a = std::fabs(latitude);
    if (a > 90) return 1.0f;
    int i = static_cast<int>(a / 5);
    if (i > 17) i = 17; // [85, 90] is one closed interval
    return robinsontable[i] + (a - 5.0f * i) / 5.0f * (robinsontable[i + 1] - robinsontable[i]);
}

Tgeofilecount readgeofile(const std::string& file, std::uint8_t continent, std::uint8_t kind,
                          std::int32_t maxrank, Tvectors& lines) {
    Tgeofilecount count;
    count.file = file;
    // Read whole (a few MB): a pipe or device is refused before it can
    // block, and the size bounds every count a header claims.
    const std::string data = readregularfile(file, "the map file", 512u << 20);
    std::istringstream in(data);
    std::string line;
    std::uint32_t number = 0;
    while (nextline(in, line, number)) {
        if (line.empty() && in.peek() == std::char_traits<char>::eof()) break;
        Theader h;
        try {
            h = readheader(line);
        } catch (const Eerror& e) {
            fileerror(file, number, e.what());
        }
        if (h.points == 0) break;
        // A point line takes at least two bytes: a header claiming more
        // points than the rest of the file holds (2,000,000,000 in a
        // 50-byte file) is damage, not a reason to allocate 16 GB.
        const std::streamoff at = in.tellg();
        const std::uint64_t rest = at < 0 ? 0 : data.size() - static_cast<std::uint64_t>(at);
        if (static_cast<std::uint64_t>(h.points) > rest / 2 + 1)
            fileerror(file, number,
                      "the segment header claims " + std::to_string(h.points) +
                          " points, more than the rest of the file (" + std::to_string(rest) +
                          " bytes) can hold");
        ++count.segments;
        const std::uint32_t headerline = number;
        const bool keep = h.rank <= maxrank;
        std::unique_ptr<Tvector> v;
        if (keep) {
            v = std::make_unique<Tvector>();
            v->continent = continent;
            v->kind = kind;
            v->segment = h.segment;
            v->rank = h.rank;
            v->points = h.points;
            v->latitudes.reset(static_cast<std::uint32_t>(h.points));
            v->longitudes.reset(static_cast<std::uint32_t>(h.points));
        }
        for (std::int32_t k = 1; k <= h.points; ++k) {
            if (!nextline(in, line, number))
                fileerror(file, number,
                          "segment " + std::to_string(h.segment) + " (line " +
                              std::to_string(headerline) + ") ends after " + std::to_string(k - 1) +
                              " of its " + std::to_string(h.points) + " points");
            if (!keep) continue;
            const std::size_t blank = line.find(' ', 1);
            if (line.size() < 2 || blank == std::string::npos)
                fileerror(file, number, "'" + line + "' is not a point line");
            float latitude = 0;
            float longitude = 0;
            try {
                latitude = static_cast<float>(strtonum(line.substr(1, blank - 1)));
                longitude = static_cast<float>(strtonum(line.substr(blank + 1)));
            } catch (const EConvertError& e) {
                throw EConvertError(file + ", line " + std::to_string(number) + ": " + e.what());
            }
            if (continent == asiacontinent && longitude < 0) longitude += 360;
            v->latitudes.setvalue_nocheck(static_cast<std::uint32_t>(k), latitude);
            v->longitudes.setvalue_nocheck(static_cast<std::uint32_t>(k), longitude);
        }
        if (keep) {
            lines.add(std::move(v));
            ++count.kept;
        }
    }
    return count;
}

Tgeomap::Tgeomap() = default;

void Tgeomap::bindimage(QImage* picture) {
    image = picture;
    left = 0;
    top = 0;
    right = picture ? picture->width() : 0;
    bottom = picture ? picture->height() : 0;
}

std::vector<Tgeofilecount> Tgeomap::loaddata(const std::string& directory, std::int32_t maxrank,
                                             bool rivers, bool borders) {
    lines.clear();
    std::vector<Tgeofilecount> counts;
    try {
        for (std::uint8_t s = 0; s < 5; ++s) {
            const std::string base = directory + geostems[s] + "-";
            const auto continent = static_cast<std::uint8_t>(s + 1);
            counts.push_back(readgeofile(base + "cil.txt", continent, geoshore, maxrank, lines));
            if (rivers)
                counts.push_back(
                    readgeofile(base + "riv.txt", continent, georiver, maxrank, lines));
            if (borders)
                counts.push_back(
                    readgeofile(base + "bdy.txt", continent, geoborder, maxrank, lines));
        }
    } catch (...) {
        lines.clear(); // no half-loaded map
        throw;
    }
    return counts;
}

float Tgeomap::projectedlongitude(Tgeopoint p) const {
    if (projection == 1) return p.longitude * robinsonx(std::fabs(p.latitude));
    return p.longitude;
}

int Tgeomap::mapx(Tgeopoint p) const {
    const float l = projectedlongitude(p);
    return roundpixel((l - east) * static_cast<float>(left - right) / (west - east) +
                      static_cast<float>(right - left));
}

int Tgeomap::mapy(Tgeopoint p) const {
    return roundpixel((p.latitude - north) * static_cast<float>(bottom) / (south - north));
}

Tgeopoint Tgeomap::pointat(int x, int y) const {
    Tgeopoint p;
    p.latitude = north + static_cast<float>(y) * (south - north) / static_cast<float>(bottom);
    const float l = east + (static_cast<float>(x) - static_cast<float>(right - left)) *
                               (west - east) / static_cast<float>(left - right);
    p.longitude = projection == 1 ? l / robinsonx(std::fabs(p.latitude)) : l;
    return p;
}

int Tgeomap::thinning() const {
    if (quality == 0) return 1;
    const float factor = quality == 1 ? 8.0f : 40.0f;
    const float area = (north - south) * (east - west) / 64800.0f;
    int s = roundpixel(std::sqrt(area) * factor);
    s &= 0xff; // kept as a byte
    return s == 0 ? 1 : s;
}

void Tgeomap::paint(const std::function<void(QPainter&)>& draw) {
    if (image) paintandkeep(*image, strokes, draw);
}

void Tgeomap::drawmap(bool shores, bool borders, bool rivers) {
    if (!image) return;
    const int s = thinning();
    const int width = image->width();
    const int height = image->height();
    // The strokes are worked out once and drawn on the picture and, when
    // kept, as vectors.
    std::vector<std::pair<QColor, QPolygon>> runs;
    QPolygon run;
    QColor colour;
    auto flush = [&] {
        if (run.size() > 1) runs.emplace_back(colour, run);
        run.resize(0);
    };
    for (std::uint32_t n = 1; n <= lines.count(); ++n) {
        const Tvector& v = lines.item(n);
        if (v.kind == geoshore && shores)
            colour = shorecolor;
        else if (v.kind == geoborder && borders)
            colour = bordercolor;
        else if (v.kind == georiver && rivers)
            colour = rivercolor;
        else
            continue;
        if (v.points < 1) continue;
        const float* lat = v.latitudes.singledata();
        const float* lon = v.longitudes.singledata();
        QPoint pen(mapx({lat[0], lon[0]}), mapy({lat[0], lon[0]}));
        run.resize(0);
        run.append(pen);
        for (int i = s; i <= v.points; i += s) {
            const Tgeopoint p{lat[i - 1], lon[i - 1]};
            const QPoint q(mapx(p), mapy(p));
            if (q.x() < 0 || q.x() > width || q.y() < 0 || q.y() > height) continue;
            bool draw = true;
            // Near the south pole a stroke that jumps sideways is a ring
            // closing round the pole, not a coast.
            if (p.latitude <= -80)
                draw = std::abs(q.x() - pen.x()) <= 1 && std::abs(q.y() - pen.y()) <= 1;
            if (!draw)
                flush();
            else if (q == pen && !run.isEmpty())
                continue; // a line to where the pen is draws nothing
            run.append(q);
            pen = q;
        }
        flush();
    }
    const QRect frame = image->rect().adjusted(0, 0, -1, -1);
    paint([&](QPainter& painter) {
        painter.setPen(framecolor);
        painter.setBrush(backgroundcolor);
        painter.drawRect(frame);
        painter.setBrush(Qt::NoBrush);
        for (const auto& [c, polyline] : runs) {
            painter.setPen(c);
            painter.drawPolyline(polyline);
        }
    });
}

void Tgeomap::geoline(Tgeopoint from, Tgeopoint to) {
    if (!image) return;
    QPolygon line;
    line.reserve(1001);
    line.append(QPoint(mapx(from), mapy(from)));
    for (int i = 1; i <= 1000; ++i) {
        const Tgeopoint p{
            from.latitude + static_cast<float>(i) * (to.latitude - from.latitude) / 1000,
            from.longitude + static_cast<float>(i) * (to.longitude - from.longitude) / 1000};
        line.append(QPoint(mapx(p), mapy(p)));
    }
    paint([&](QPainter& painter) {
        painter.setPen(framecolor);
        painter.drawPolyline(line);
    });
}

void Tgeomap::meridian(float longitude) {
    geoline({-90, longitude}, {90, longitude});
}

int Tgeomap::meridians(float step) {
    int drawn = 0;
    const int first = roundpixel(-180 / step);
    const int last = roundpixel(180 / step);
    for (int k = first; k <= last; ++k, ++drawn)
        meridian(static_cast<float>(k) * step);
    return drawn;
}

void Tgeomap::parallel(float latitude) {
    // Across all the data, which reaches 200 east where Asia continues.
    geoline({latitude, -180}, {latitude, 200});
}

int Tgeomap::parallels(float step) {
    int drawn = 0;
    const int last = roundpixel(90 / step);
    for (int k = -last; k <= last; ++k, ++drawn)
        parallel(static_cast<float>(k) * step);
    return drawn;
}

void Tgeomap::drawcircle(Tgeopoint p, int size, QColor colour) {
    const int x = mapx(p);
    const int y = mapy(p);
    paint([&](QPainter& painter) {
        painter.setPen(colour);
        painter.setBrush(colour);
        painter.drawEllipse(QRect(x - size, y - size, 2 * size, 2 * size));
    });
}

} // namespace velmora
