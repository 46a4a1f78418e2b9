#include "views/timechart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "dynamic/timetext.h"

namespace velmora {

namespace {

struct Ttimeunit {
    double seconds;
    const char* name;
};

// The unit in which the span reads as at least 2.
Ttimeunit timeunitof(double span) {
    if (span >= 2 * secondsperyear) return {secondsperyear, "y"};
    if (span >= 2 * secondsperday) return {secondsperday, "d"};
    if (span >= 2 * secondsperhour) return {secondsperhour, "h"};
    return {1, "s"};
}

QString ticktext(double v) {
    return QString::number(v, 'g', 3);
}

// One axis: the data range in axis coordinates (log10 on a log axis), its
// ticks and their labels.
struct Taxis {
    bool log = false;
    double low = 0, high = 1;
    std::vector<double> ticks; // in axis coordinates
    QStringList labels;

    double coordinate(double v) const { return log ? std::log10(v) : v; }
    bool shows(double v) const { return std::isfinite(v) && (!log || v > 0); }
};

// low and high are in the axis unit already; a logarithmic axis spans the
// data exactly, with ticks at 1, 2 and 5 times the powers of ten while it
// spans less than three decades, at the powers alone beyond.
Taxis makeaxis(double low, double high, bool log) {
    Taxis a;
    a.log = log;
    if (log) {
        a.high = std::log10(high);
        // Values far below the largest are noise on a chart.
        a.low = std::max(std::log10(low), a.high - 12);
        if (a.high - a.low < 0.3) {
            const double middle = 0.5 * (a.high + a.low);
            a.low = middle - 0.15;
            a.high = middle + 0.15;
        }
        // A little room, so lines along the edges stay in sight.
        const double room = 0.02 * (a.high - a.low);
        a.low -= room;
        a.high += room;
        const bool fine = a.high - a.low < 3;
        const int step = std::max(1, int(std::ceil((a.high - a.low) / 8)));
        for (int d = int(std::floor(a.low)); d <= int(std::ceil(a.high)); d += step)
            for (double m : fine ? std::vector<double>{1, 2, 5} : std::vector<double>{1}) {
                const double t = std::log10(m) + d;
                if (t < a.low - 1e-9 || t > a.high + 1e-9) continue;
                a.ticks.push_back(t);
                a.labels << ticktext(m * std::pow(10.0, d));
            }
        return a;
    }
    if (high <= low) high = low + (low != 0 ? std::fabs(low) : 1);
    a.ticks = niceticks(low, high, 6);
    a.low = std::min(low, a.ticks.front());
    a.high = std::max(high, a.ticks.back());
    for (double t : a.ticks)
        a.labels << ticktext(t);
    return a;
}

} // namespace

std::vector<double> niceticks(double low, double high, int count) {
    std::vector<double> ticks;
    if (!(high > low) || count < 2) return {low};
    const double raw = (high - low) / (count - 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    const double first = std::floor(low / step + 1e-9) * step;
    for (double t = first; t <= high + step * 1e-9; t += step)
        ticks.push_back(std::fabs(t) < step * 1e-9 ? 0.0 : t);
    if (ticks.back() < high) ticks.push_back(ticks.back() + step);
    return ticks;
}

QColor seriescolour(std::size_t k) {
    static const QColor palette[] = {
        QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),   QColor(255, 127, 14),
        QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(127, 127, 127),
        QColor(188, 189, 34),  QColor(23, 190, 207)};
    return palette[k % std::size(palette)];
}

void paintchart(QPainter& p, const QRect& area, const Ttimechart& c) {
    p.save();
    p.fillRect(area, Qt::white);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetrics fm = p.fontMetrics();
    p.setPen(Qt::black);
    p.drawText(area.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop, c.title);

    // The ranges of what can show.
    double tlow = INFINITY, thigh = -INFINITY, vlow = INFINITY, vhigh = -INFINITY;
    for (double t : c.times)
        if (!c.logtime || t > 0) {
            tlow = std::min(tlow, t);
            thigh = std::max(thigh, t);
        }
    for (const Ttimeseries& s : c.series)
        for (std::size_t i = 0; i < s.values.size() && i < c.times.size(); ++i) {
            const double v = s.values[i];
            if (!std::isfinite(v) || (c.logvalue && v <= 0) || (c.logtime && c.times[i] <= 0))
                continue;
            vlow = std::min(vlow, v);
            vhigh = std::max(vhigh, v);
        }
    if (!(thigh >= tlow) || !(vhigh >= vlow)) {
        p.drawText(area, Qt::AlignCenter,
                   c.times.empty() ? QStringLiteral("No results yet")
                                   : QStringLiteral("Nothing to show"));
        p.restore();
        return;
    }
    // The time axis counts in the unit that suits the span.
    const Ttimeunit unit = timeunitof(thigh);
    const Taxis x = makeaxis((c.logtime ? tlow : std::min(0.0, tlow)) / unit.seconds,
                             thigh / unit.seconds, c.logtime);
    const Taxis y = makeaxis(c.logvalue ? vlow : std::min(0.0, vlow), vhigh, c.logvalue);

    // Room for the tick labels, the axis titles and the legend.
    int labelwidth = 0;
    for (const QString& l : y.labels)
        labelwidth = std::max(labelwidth, fm.horizontalAdvance(l));
    int legendwidth = 0;
    const std::size_t shown = std::min<std::size_t>(c.series.size(), 16);
    for (std::size_t k = 0; k < shown; ++k)
        legendwidth = std::max(legendwidth, fm.horizontalAdvance(c.series[k].name));
    legendwidth = std::min(legendwidth + 34, area.width() / 3);
    const QRect plot(area.left() + labelwidth + 12 + fm.height(), area.top() + fm.height() + 14,
                     area.width() - labelwidth - 24 - fm.height() - legendwidth,
                     area.height() - 3 * fm.height() - 26);
    if (plot.width() < 20 || plot.height() < 20) {
        p.restore();
        return;
    }
    auto px = [&](double t) {
        return plot.left() +
               (x.coordinate(t / unit.seconds) - x.low) / (x.high - x.low) * plot.width();
    };
    auto py = [&](double v) {
        return plot.bottom() - (y.coordinate(v) - y.low) / (y.high - y.low) * plot.height();
    };

    // Grid, ticks and labels.
    p.setPen(QPen(QColor(225, 225, 225), 1));
    for (double t : x.ticks) {
        const double at = plot.left() + (t - x.low) / (x.high - x.low) * plot.width();
        p.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
    }
    for (double t : y.ticks) {
        const double at = plot.bottom() - (t - y.low) / (y.high - y.low) * plot.height();
        p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
    }
    p.setPen(Qt::black);
    p.drawRect(plot);
    for (std::size_t k = 0; k < x.ticks.size(); ++k) {
        const double at = plot.left() + (x.ticks[k] - x.low) / (x.high - x.low) * plot.width();
        const QString& l = x.labels[int(k)];
        p.drawText(QPointF(at - fm.horizontalAdvance(l) / 2.0, plot.bottom() + fm.height() + 2), l);
    }
    for (std::size_t k = 0; k < y.ticks.size(); ++k) {
        const double at = plot.bottom() - (y.ticks[k] - y.low) / (y.high - y.low) * plot.height();
        const QString& l = y.labels[int(k)];
        p.drawText(QPointF(plot.left() - 6 - fm.horizontalAdvance(l), at + fm.ascent() / 2.0), l);
    }
    const QString xtitle =
        QStringLiteral("Time (%1)%2")
            .arg(QLatin1String(unit.name), c.logtime ? QStringLiteral(", logarithmic") : QString());
    p.drawText(QRect(plot.left(), plot.bottom() + fm.height() + 6, plot.width(), fm.height() + 4),
               Qt::AlignHCenter, xtitle);
    p.save();
    p.translate(area.left() + fm.height(), plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, -fm.height(), plot.height(), fm.height() + 2),
               Qt::AlignHCenter, c.unit);
    p.restore();

    // The lines, clipped to the plot; points that cannot show break them.
    p.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (std::size_t k = 0; k < c.series.size(); ++k) {
        const Ttimeseries& s = c.series[k];
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < s.values.size() && i < c.times.size(); ++i) {
            if (!x.shows(c.times[i]) || !y.shows(s.values[i])) {
                open = false;
                continue;
            }
            const QPointF point(px(c.times[i]), py(s.values[i]));
            if (open)
                path.lineTo(point);
            else
                path.moveTo(point);
            open = true;
        }
        p.setPen(QPen(seriescolour(k), 2));
        p.drawPath(path);
    }
    p.setClipping(false);

    // Legend.
    int ly = plot.top();
    for (std::size_t k = 0; k < shown; ++k) {
        p.setPen(QPen(seriescolour(k), 3));
        p.drawLine(plot.right() + 10, ly + fm.height() / 2, plot.right() + 28,
                   ly + fm.height() / 2);
        p.setPen(Qt::black);
        p.drawText(QRect(plot.right() + 32, ly, legendwidth - 32, fm.height()), Qt::AlignLeft,
                   fm.elidedText(c.series[k].name, Qt::ElideRight, legendwidth - 32));
        ly += fm.height() + 4;
    }
    if (c.series.size() > shown)
        p.drawText(QPointF(plot.right() + 10, ly + fm.ascent()),
                   QStringLiteral("and %1 more").arg(c.series.size() - shown));
    p.restore();
}

Tchartview::Tchartview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 240);
}

void Tchartview::setchart(Ttimechart chart) {
    chart_ = std::move(chart);
    update();
}

void Tchartview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintchart(p, rect(), chart_);
}

} // namespace velmora
