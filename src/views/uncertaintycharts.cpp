#include "views/uncertaintycharts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "numeric/utilities.h"
#include "uncertainty/uncertaintyresults.h"

namespace velmora {

namespace {

QString number(double x) {
    return QString::fromStdString(generalformat(x, 3));
}

// The plotting area inside the margins that hold the title and the axes.
struct Tframe {
    QRect area;
    double xlow = 0, xhigh = 1, ylow = 0, yhigh = 1;
    bool logarithmic = false;

    double xof(double value) const {
        const double v = logarithmic ? std::log10(value) : value;
        return area.left() + (v - xlow) / (xhigh - xlow) * area.width();
    }
    double yof(double value) const {
        return area.bottom() - (value - ylow) / (yhigh - ylow) * area.height();
    }
};

// Where the ticks of the x axis go, in axis units: the decades of a
// logarithmic axis when it has three or more, else quarters of the range.
std::vector<double> xticks(const Tframe& f) {
    std::vector<double> ticks;
    if (f.logarithmic) {
        const double first = std::ceil(f.xlow), last = std::floor(f.xhigh);
        if (last - first >= 2) {
            const double step = std::ceil((last - first + 1) / 8);
            for (double d = first; d <= last; d += step)
                ticks.push_back(d);
            return ticks;
        }
    }
    for (int k = 0; k <= 4; ++k)
        ticks.push_back(f.xlow + (f.xhigh - f.xlow) * k / 4);
    return ticks;
}

void drawaxes(QPainter& p, const Tframe& f, const QString& ylabel, const QString& xlabel,
              double ystep) {
    const QFontMetrics m = p.fontMetrics();
    p.setPen(Qt::black);
    p.drawLine(f.area.bottomLeft(), f.area.bottomRight());
    p.drawLine(f.area.bottomLeft(), f.area.topLeft());
    for (double v : xticks(f)) {
        const double shown = f.logarithmic ? std::pow(10.0, v) : v;
        const int x = static_cast<int>(
            std::lround(f.area.left() + (v - f.xlow) / (f.xhigh - f.xlow) * f.area.width()));
        p.drawLine(x, f.area.bottom(), x, f.area.bottom() + 4);
        const QString t = number(shown);
        p.drawText(x - m.horizontalAdvance(t) / 2, f.area.bottom() + 6 + m.ascent(), t);
    }
    for (double yv = f.ylow; yv <= f.yhigh * (1 + 1e-9); yv += ystep) {
        const int y = static_cast<int>(std::lround(f.yof(yv)));
        p.drawLine(f.area.left() - 4, y, f.area.left(), y);
        const QString ty = number(yv);
        p.drawText(f.area.left() - 6 - m.horizontalAdvance(ty), y + m.ascent() / 2, ty);
    }
    p.drawText(f.area.left(), f.area.top() - 4, ylabel);
    p.drawText(f.area.right() - m.horizontalAdvance(xlabel),
               f.area.bottom() + 6 + m.ascent() + m.height(), xlabel);
}

void drawtitle(QPainter& p, QSize picture, const QString& title) {
    const QFontMetrics m = p.fontMetrics();
    p.setPen(Qt::black);
    p.drawText((picture.width() - m.horizontalAdvance(title)) / 2, 5 + m.ascent(), title);
}

void marker(QPainter& p, const Tframe& f, double value, const QColor& colour, Qt::PenStyle style) {
    if (!std::isfinite(value) || (f.logarithmic && value <= 0)) return;
    const double x = f.xof(value);
    if (x < f.area.left() - 0.5 || x > f.area.right() + 0.5) return;
    QPen pen(colour, 2, style);
    p.setPen(pen);
    p.drawLine(QPointF(x, f.area.top()), QPointF(x, f.area.bottom()));
}

} // namespace

std::vector<std::size_t> histogramcounts(const std::vector<double>& values, double low, double high,
                                         std::size_t bins) {
    std::vector<std::size_t> counts(bins, 0);
    if (bins == 0) return counts;
    const double width = (high - low) / static_cast<double>(bins);
    for (double v : values) {
        if (!std::isfinite(v) || v < low || v > high) continue;
        std::size_t b = width > 0 ? static_cast<std::size_t>((v - low) / width) : 0;
        ++counts[std::min(b, bins - 1)];
    }
    return counts;
}

void drawdistribution(QPainter& p, QSize picture, std::span<const float> draws,
                      double deterministic, const QString& title, const QString& unit,
                      bool cumulative) {
    p.fillRect(QRect(QPoint(0, 0), picture), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    drawtitle(p, picture, title);
    std::vector<double> values;
    for (float v : draws)
        if (std::isfinite(v)) values.push_back(v);
    if (values.empty()) {
        p.drawText(QRect(QPoint(0, 0), picture), Qt::AlignCenter,
                   QStringLiteral("No draw gave a value"));
        return;
    }
    std::sort(values.begin(), values.end());
    const double lowest = values.front(), highest = values.back();
    Tframe f;
    const QFontMetrics m = p.fontMetrics();
    // Room for the tick labels left and right, and below the axis for its
    // labels, the unit and the legend.
    const int labelwidth = m.horizontalAdvance(QStringLiteral("0.00E-00"));
    f.area = QRect(12 + labelwidth, 16 + 2 * m.height(), 0, 0);
    f.area.setRight(picture.width() - 8 - labelwidth / 2);
    f.area.setBottom(picture.height() - 12 - 3 * m.height());
    f.logarithmic = lowest > 0 && highest / lowest > 20;
    f.xlow = f.logarithmic ? std::log10(lowest) : lowest;
    f.xhigh = f.logarithmic ? std::log10(highest) : highest;
    if (!(f.xhigh > f.xlow)) {
        // One value only: a narrow window around it.
        const double half = f.xlow != 0 ? std::abs(f.xlow) * 0.01 : 1;
        f.xlow -= half;
        f.xhigh += half;
    }
    p.setPen(Qt::NoPen);
    if (cumulative) {
        f.yhigh = 1;
        drawaxes(p, f, QStringLiteral("cumulative fraction"), unit, 0.25);
        QPainterPath path;
        const auto n = static_cast<double>(values.size());
        path.moveTo(f.xof(values.front()), f.yof(0));
        for (std::size_t k = 0; k < values.size(); ++k) {
            path.lineTo(f.xof(values[k]), f.yof(static_cast<double>(k) / n));
            path.lineTo(f.xof(values[k]), f.yof(static_cast<double>(k + 1) / n));
        }
        p.setPen(QPen(QColor(0, 0, 200), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    } else {
        const std::size_t bins = std::clamp<std::size_t>(
            static_cast<std::size_t>(std::sqrt(static_cast<double>(values.size()))), 10, 50);
        std::vector<double> positions = values;
        if (f.logarithmic)
            for (double& v : positions)
                v = std::log10(v);
        const std::vector<std::size_t> counts = histogramcounts(positions, f.xlow, f.xhigh, bins);
        // Whole numbers of draws on the count axis.
        const double most = static_cast<double>(*std::max_element(counts.begin(), counts.end()));
        const double step = std::max(1.0, std::ceil(most * 1.05 / 4));
        f.yhigh = 4 * step;
        drawaxes(p, f, QStringLiteral("draws"), unit, step);
        p.setPen(QPen(QColor(0, 0, 120), 1));
        p.setBrush(QColor(90, 120, 220));
        const double width = f.area.width() / static_cast<double>(bins);
        for (std::size_t b = 0; b < bins; ++b) {
            const double top = f.yof(static_cast<double>(counts[b]));
            p.drawRect(QRectF(f.area.left() + width * static_cast<double>(b), top, width,
                              f.area.bottom() - top));
        }
    }
    const auto percentile = [&](double level) { return percentileof(values, level); };
    marker(p, f, percentile(2.5), Qt::gray, Qt::DashLine);
    marker(p, f, percentile(97.5), Qt::gray, Qt::DashLine);
    marker(p, f, percentile(50), Qt::black, Qt::DashLine);
    marker(p, f, deterministic, Qt::red, Qt::SolidLine);
    p.setPen(Qt::black);
    const QString legend =
        QStringLiteral("red: deterministic %1   black: median %2   grey: 2.5 and "
                       "97.5 percentiles")
            .arg(number(deterministic), number(percentile(50)));
    p.drawText(f.area.left(), picture.height() - 6, legend);
}

void drawcontributions(QPainter& p, QSize picture, const std::vector<std::string>& inputs,
                       const std::vector<double>& shares, const QString& title) {
    p.fillRect(QRect(QPoint(0, 0), picture), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    drawtitle(p, picture, title);
    const QFontMetrics m = p.fontMetrics();
    std::vector<std::size_t> order(std::min(inputs.size(), shares.size()));
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return shares[a] > shares[b]; });
    if (order.empty()) {
        p.drawText(QRect(QPoint(0, 0), picture), Qt::AlignCenter,
                   QStringLiteral("No input is varied"));
        return;
    }
    int labelwidth = 0;
    for (const std::string& name : inputs)
        labelwidth = std::max(labelwidth, m.horizontalAdvance(QString::fromStdString(name)));
    const int left = std::min(labelwidth + 12, picture.width() / 2);
    const int right = picture.width() - 12 - m.horizontalAdvance(QStringLiteral("100.0 %"));
    const int top = 16 + 2 * m.height();
    const double row = std::max(6.0, static_cast<double>(picture.height() - top - 10) /
                                         static_cast<double>(order.size()));
    for (std::size_t k = 0; k < order.size(); ++k) {
        const double y = top + row * static_cast<double>(k);
        const double share = shares[order[k]];
        const QString name = QString::fromStdString(inputs[order[k]]);
        p.setPen(Qt::black);
        p.drawText(QRectF(4, y, left - 8, row), Qt::AlignRight | Qt::AlignVCenter, name);
        const double length = std::max(0.0, share) * (right - left);
        p.setPen(QPen(QColor(0, 0, 120), 1));
        p.setBrush(QColor(90, 120, 220));
        p.drawRect(QRectF(left, y + row * 0.15, length, row * 0.7));
        p.setPen(Qt::black);
        p.drawText(QRectF(left + length + 4, y, picture.width() - left - length, row),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(100 * share, 'f', 1) + QStringLiteral(" %"));
    }
}

} // namespace velmora
