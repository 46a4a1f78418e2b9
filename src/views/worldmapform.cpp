#include "views/worldmapform.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/regions.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "toolkit/forms.h"
#include "toolkit/plot.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

int roundeven(float x) {
    return static_cast<int>(std::nearbyint(x));
}

QCheckBox* checkbox(QWidget* parent, QLayout* layout, const QString& text, const QString& name,
                    bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

} // namespace

// ---- geometry -------------------------------------------------------------------

QPoint Tworldmapgeometry::pixel(float latitude, float longitude) const {
    const float l = longitude * robinsonx(latitude); // rounded to single first
    const int x = roundeven((l - static_cast<float>(west)) * static_cast<float>(width) /
                            static_cast<float>(east - west));
    const int y = roundeven((latitude - static_cast<float>(north)) * static_cast<float>(height) /
                            static_cast<float>(south - north));
    return {x, y};
}

float Tworldmapgeometry::longitudeat(int x) const {
    return static_cast<float>(west) +
           static_cast<float>(x) * static_cast<float>(east - west) / static_cast<float>(width);
}

// ---- the window -----------------------------------------------------------------

TWorldMapForm::TWorldMapForm(const Tprograminfo& program, const Tregions& regions, QWidget* parent)
    : QDialog(parent), regions_(regions) {
    setObjectName(QStringLiteral("WorldMapForm"));
    setWindowTitle(QStringLiteral("World map"));
    const QString file = qs(geodatadirectory(program)) + QStringLiteral("worldmap.png");
    QImage picture(file);
    if (picture.isNull()) throw EFileError("Cannot read the world picture " + file.toStdString());
    picture = picture.convertToFormat(QImage::Format_RGB32);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    Image1 = new Timage(this, picture.size());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(picture.size());
    Image1->setpicture(picture);
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);
    outer->addWidget(Image1, 0, Qt::AlignLeft | Qt::AlignTop);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    auto* parallels = new QGroupBox(QStringLiteral("Parallels"), this);
    auto* p = new QHBoxLayout(parallels);
    EquatorCheckBox =
        checkbox(parallels, p, QStringLiteral("Equator"), QStringLiteral("EquatorCheckBox"), true);
    TropicsCheckBox =
        checkbox(parallels, p, QStringLiteral("Tropics"), QStringLiteral("TropicsCheckBox"), true);
    PolarCirclesCheckBox = checkbox(parallels, p, QStringLiteral("Polar circles"),
                                    QStringLiteral("PolarCirclesCheckBox"), true);
    TenDegreesCheckBox = checkbox(parallels, p, QStringLiteral("Every ten degrees"),
                                  QStringLiteral("TenDegreesCheckBox"), false);
    row->addWidget(parallels);
    auto* meridians = new QGroupBox(QStringLiteral("Meridians"), this);
    auto* m = new QHBoxLayout(meridians);
    GreenwichCheckBox = checkbox(meridians, m, QStringLiteral("Greenwich"),
                                 QStringLiteral("GreenwichCheckBox"), true);
    FifteenDegreesCheckBox = checkbox(meridians, m, QStringLiteral("Every fifteen degrees"),
                                      QStringLiteral("FifteenDegreesCheckBox"), false);
    row->addWidget(meridians);
    auto* places = new QGroupBox(QStringLiteral("Places"), this);
    auto* n = new QHBoxLayout(places);
    WithNamesCheckBox = checkbox(places, n, QStringLiteral("With names"),
                                 QStringLiteral("WithNamesCheckBox"), false);
    row->addWidget(places);
    row->addStretch(1);
    CloseButton = new QPushButton(this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    standardbutton(CloseButton, 2);
    row->addWidget(CloseButton, 0, Qt::AlignBottom);
    outer->addLayout(row);

    for (QCheckBox* box :
         {EquatorCheckBox, TropicsCheckBox, PolarCirclesCheckBox, TenDegreesCheckBox,
          GreenwichCheckBox, FifteenDegreesCheckBox, WithNamesCheckBox})
        connect(box, &QCheckBox::clicked, this, guarded(this, [this] { FormShow(); }));
    formsetup(this, 2);
}

void TWorldMapForm::mark(float latitude, float longitude, QColor colour, const QString& name) {
    const QPoint c = geometry.pixel(latitude, longitude);
    QPainter painter(&Image1->picture());
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawEllipse(QRect(c.x() - 3, c.y() - 3, 6, 6));
    if (name.isEmpty()) return;
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(colour);
    const QFontMetrics metrics(painter.font());
    painter.drawText(QPoint(c.x() + 3, c.y() + metrics.ascent()), name);
}

void TWorldMapForm::line(float lat1, float lon1, float lat2, float lon2, QColor colour) {
    QPainter painter(&Image1->picture());
    painter.setPen(colour);
    QPolygon points;
    points.reserve(1001);
    points.append(geometry.pixel(lat1, lon1));
    for (int i = 1; i <= 1000; ++i)
        points.append(geometry.pixel(lat1 + static_cast<float>(i) * (lat2 - lat1) / 1000,
                                     lon1 + static_cast<float>(i) * (lon2 - lon1) / 1000));
    painter.drawPolyline(points);
}

void TWorldMapForm::FormShow() {
    const QColor red(255, 0, 0), blue(0, 0, 255), black(0, 0, 0), white(255, 255, 255);
    const bool names = WithNamesCheckBox->isChecked();
    for (std::uint32_t k = 1; k <= std::min<std::uint32_t>(3, regions_.count); ++k)
        mark(static_cast<float>(regions_.latitudes.getvalue(k)),
             static_cast<float>(regions_.longitudes.getvalue(k)), red,
             names ? qs(regions_.name(k)) : QString());
    // Reference marks: points whose place on the picture is known, for
    // checking its geometry by eye.
    const float reference[5][2] = {{0, 0}, {23, -110}, {-53, -65}, {-42, 147}, {52, 157}};
    for (const auto& r : reference)
        mark(r[0], r[1], blue, QString());
    if (FifteenDegreesCheckBox->isChecked())
        for (int i = -12; i <= 12; ++i)
            line(90, static_cast<float>(15 * i), -90, static_cast<float>(15 * i), black);
    if (TenDegreesCheckBox->isChecked())
        for (int i = -8; i <= 8; ++i)
            line(static_cast<float>(10 * i), -180, static_cast<float>(10 * i), 180, black);
    if (GreenwichCheckBox->isChecked()) line(90, 0, -90, 0, white);
    if (EquatorCheckBox->isChecked()) line(0, -180, 0, 180, white);
    if (TropicsCheckBox->isChecked()) {
        line(23, -180, 23, 180, white);
        line(-23, -180, -23, 180, white);
    }
    if (PolarCirclesCheckBox->isChecked()) {
        line(66, -180, 66, 180, white);
        line(-66, -180, -66, 180, white);
    }
    Image1->update();
}

void TWorldMapForm::Image1MouseMove(int x) {
    setWindowTitle(qs(numtostr(geometry.longitudeat(x), 7)));
}

void TWorldMapForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    reporterrors(this, [this] { FormShow(); });
}

bool TWorldMapForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseMove)
        reporterrors(this, [this, event] {
            Image1MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint().x());
        });
    return QDialog::eventFilter(watched, event);
}

// ---- regions on the geographic map ----------------------------------------------

Tmapcolumn columnplaces(const Tregions& regions, const std::vector<std::string>& rownames,
                        const std::vector<std::string>& cells, unsigned digits, Tmapscale scale) {
    struct Tvalue {
        std::uint32_t region;
        double x;
    };
    std::vector<Tvalue> values;
    Tmapcolumn result;
    const std::size_t rows = std::min(rownames.size(), cells.size());
    for (std::size_t r = 0; r < rows; ++r) {
        double x = 0;
        try {
            x = static_cast<double>(strtonum(cells[r]));
        } catch (const Eerror&) {
            ++result.skipped;
            continue;
        }
        // Stored reals are singles: what overflows one is the infinite value.
        if (!std::isfinite(x) || std::fabs(x) > std::numeric_limits<float>::max()) {
            ++result.skipped;
            continue;
        }
        bool found = false;
        for (std::uint32_t k = 1; k <= regions.count; ++k) {
            if (regions.name(k) != rownames[r]) continue;
            values.push_back({k, x});
            found = true;
        }
        if (found)
            ++result.values;
        else
            ++result.skipped;
    }
    const QColor red(255, 0, 0);
    auto place = [&](const Tvalue& v, int size) {
        if (size < 1) return;
        Tgeoplace p;
        p.latitude = static_cast<float>(regions.latitudes.getvalue(v.region));
        p.longitude = static_cast<float>(regions.longitudes.getvalue(v.region));
        p.size = static_cast<std::uint8_t>(size);
        p.colour = red;
        result.places.push_back(p);
    };
    auto text = [digits](double x) { return qs(numtostr(static_cast<float>(x), digits)); };
    const QString unshown =
        result.skipped > 0
            ? QStringLiteral(" %1 rows without a finite value are not shown.").arg(result.skipped)
            : QString();
    if (values.empty()) {
        result.legend = QStringLiteral("No region of this column has a finite value: no marks.");
        return result;
    }
    const auto [lo, hi] = std::minmax_element(
        values.begin(), values.end(), [](const Tvalue& a, const Tvalue& b) { return a.x < b.x; });
    const double a = lo->x;
    const double b = hi->x;
    if (!(b > a) || !std::isfinite(b - a)) {
        for (const Tvalue& v : values)
            place(v, 5);
        result.legend = QStringLiteral("All %1 regions have the same value, %2: every one is "
                                       "marked alike.")
                            .arg(result.values)
                            .arg(text(a));
        return result;
    }
    // The smallest value above 0: where a logarithmic scale starts.
    double positive = 0;
    for (const Tvalue& v : values)
        if (v.x > 0 && (positive == 0 || v.x < positive)) positive = v.x;
    const bool spread = positive > 0 && b > positive && b / positive > 1000;
    result.logarithmic = scale == Tmapscale::logarithmic ? positive > 0 && b > positive
                                                         : scale == Tmapscale::automatic && spread;
    if (!result.logarithmic) {
        for (const Tvalue& v : values)
            place(v, roundeven(static_cast<float>(10 * ((v.x - a) / (b - a)))));
        result.legend =
            QStringLiteral("Circle size grows linearly from %1 (no mark) to %2 (largest circle).")
                .arg(text(a), text(b)) +
            unshown;
        for (int size : {3, 6, 10})
            result.samples.push_back({size, text(a + (b - a) * size / 10)});
        return result;
    }
    const double span = std::log(b / positive);
    int unmarked = 0;
    for (const Tvalue& v : values) {
        if (v.x > 0)
            place(v, 1 + roundeven(static_cast<float>(9 * std::log(v.x / positive) / span)));
        else
            ++unmarked;
    }
    result.legend = QStringLiteral("Circle size grows logarithmically, by orders of magnitude, "
                                   "from %1 (smallest circle) to %2 (largest circle).")
                        .arg(text(positive), text(b));
    if (unmarked > 0)
        result.legend += QStringLiteral(" %1 regions with a value of 0 or below have no mark.")
                             .arg(unmarked);
    result.legend += unshown;
    for (int size : {1, 4, 7, 10})
        result.samples.push_back({size, text(positive * std::exp(span * (size - 1) / 9))});
    return result;
}

std::unique_ptr<TGeoForm> columnmap(const Tprograminfo& program, const Tregions& regions,
                                    const std::vector<std::string>& rownames,
                                    const std::vector<std::string>& cells, QWidget* parent) {
    auto form = std::make_unique<TGeoForm>(program, parent);
    TGeoForm* map = form.get();
    auto show = [map, &regions, rownames, cells](Tmapscale scale) {
        const Tmapcolumn column = columnplaces(regions, rownames, cells, map->digits, scale);
        map->clearplaces();
        for (const Tgeoplace& p : column.places)
            map->addplace(p.latitude, p.longitude, p.size, p.colour);
        map->setlegend(column.legend, column.samples);
        return column.logarithmic;
    };
    const bool logarithmic = show(Tmapscale::automatic);
    map->setrescale(
        [show](bool log) { show(log ? Tmapscale::logarithmic : Tmapscale::linear); }, logarithmic);
    return form;
}

std::unique_ptr<TGeoForm> regionmap(const Tprograminfo& program, const Tregions& regions,
                                    const std::string& name, QWidget* parent) {
    auto form = std::make_unique<TGeoForm>(program, parent);
    const std::uint32_t k = regions.find(name);
    if (k >= 1 && k <= regions.count)
        form->addplace(static_cast<float>(regions.latitudes.getvalue(k)),
                       static_cast<float>(regions.longitudes.getvalue(k)), 8, QColor(255, 0, 0));
    return form;
}

void ShowColumnOnMap(const Tprograminfo& program, const Tregions& regions,
                     const std::vector<std::string>& rownames,
                     const std::vector<std::string>& cells, QWidget* parent) {
    columnmap(program, regions, rownames, cells, parent)->exec();
}

void ShowRegionOnMap(const Tprograminfo& program, const Tregions& regions, const std::string& name,
                     QWidget* parent) {
    regionmap(program, regions, name, parent)->exec();
}

} // namespace velmora
