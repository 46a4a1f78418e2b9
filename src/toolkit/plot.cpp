#include "toolkit/plot.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "numeric/errors.h"

namespace velmora {

// ---- the picture control ----------------------------------------------------------

Timage::Timage(QWidget* parent, QSize start) : QWidget(parent), start_(start) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    resize(start);
}

void paintandkeep(QImage& picture, std::vector<QPicture>* strokes,
                  const std::function<void(QPainter&)>& draw) {
    {
        QPainter painter(&picture);
        draw(painter);
    }
    if (!strokes) return;
    QPicture stroke;
    {
        QPainter painter(&stroke);
        draw(painter);
    }
    strokes->push_back(std::move(stroke));
}

void Timage::setpicture(QImage picture) {
    picture_ = std::move(picture);
    strokes_.clear();
    update();
}

void Timage::paint(const std::function<void(QPainter&)>& draw) {
    paintandkeep(picture_, &strokes_, draw);
    update();
}

void Timage::setstretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void Timage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture_);
    } else {
        painter.drawImage(0, 0, picture_);
    }
}

// ---- the plot ---------------------------------------------------------------------

namespace {

// Rounds to the nearest integer, ties to even; far-off values stay far off
// without overflowing.
int roundpixel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -1e7, 1e7)));
}

} // namespace

Tplot::Tplot(Timage& image, Tworld world)
    : pencolor(QApplication::palette().color(QPalette::WindowText)), image_(image) {
    check(world);
    image_.setstretch(true);
    setworld(world);
}

Tplot::Tplot(Timage& image, Tworld world, float xmargin, float ymargin)
    : pencolor(QApplication::palette().color(QPalette::WindowText)), image_(image),
      xmargin_(xmargin), ymargin_(ymargin) {
    check(world);
    image_.setstretch(true);
    const double width = double(world.xmax) - world.xmin;
    const double height = double(world.ymax) - world.ymin;
    Tworld widened;
    widened.xmin = static_cast<float>(world.xmin - xmargin * width);
    widened.xmax = static_cast<float>(world.xmax + xmargin * width);
    widened.ymin = static_cast<float>(world.ymin - ymargin * height);
    widened.ymax = static_cast<float>(world.ymax + ymargin * height);
    setworld(widened);
}

void Tplot::check(const Tworld& world) const {
    if (world.xmin > world.xmax || world.ymin > world.ymax) throw EInvalidArgument();
}

void Tplot::setworld(Tworld world) {
    check(world);
    world_ = world;
    const QSize size = image_.size().expandedTo(QSize(1, 1));
    area_ = QRect(0, 0, size.width(), size.height());
    if (image_.picture().size() != size) image_.setpicture(QImage(size, QImage::Format_RGB32));
    erase();
}

int Tplot::xpixel(double x) const {
    const double left = area_.left(), right = left + area_.width();
    if (world_.xmax == world_.xmin) return roundpixel((left + right) / 2);
    return roundpixel((x - world_.xmin) * (right - left) / (double(world_.xmax) - world_.xmin) +
                      left);
}

int Tplot::ypixel(double y) const {
    const double top = area_.top(), bottom = top + area_.height();
    if (world_.ymax == world_.ymin) return roundpixel((top + bottom) / 2);
    return roundpixel((y - world_.ymax) * (bottom - top) / (double(world_.ymin) - world_.ymax) +
                      top);
}

void Tplot::erase() {
    image_.clearstrokes();
    const QRect all = image_.picture().rect();
    image_.paint([all](QPainter& painter) { painter.fillRect(all, Qt::white); });
}

void Tplot::drawtitle(const QString& text) {
    const QFont font = image_.font();
    const QFontMetrics metrics(font);
    const int left = (image_.picture().width() - metrics.horizontalAdvance(text)) / 2;
    image_.paint([&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(QApplication::palette().color(QPalette::WindowText));
        painter.drawText(left, 5 + metrics.ascent(), text);
    });
}

void Tplot::drawdotatpixel(int px, int py) {
    image_.paint([this, px, py](QPainter& painter) {
        painter.setPen(pencolor);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRect(px - dotradius, py - dotradius, 2 * dotradius, 2 * dotradius));
    });
}

void Tplot::drawdotsatpixels(const std::vector<QPoint>& pixels) {
    if (pixels.empty()) return;
    // The circle once, on a transparent square; without antialiasing every
    // pixel of it is either fully drawn or not at all.
    const int side = 2 * dotradius + 1;
    QImage stamp(side, side, QImage::Format_ARGB32);
    stamp.fill(Qt::transparent);
    {
        QPainter painter(&stamp);
        painter.setPen(pencolor);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRect(0, 0, 2 * dotradius, 2 * dotradius));
    }
    struct Tspot {
        int dx, dy;
        QRgb colour;
    };
    std::vector<Tspot> spots;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (qAlpha(stamp.pixel(x, y)) == 255)
                spots.push_back({x - dotradius, y - dotradius, stamp.pixel(x, y)});
    QImage& picture = image_.picture();
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const int width = picture.width(), height = picture.height();
    for (const QPoint& p : pixels)
        for (const Tspot& s : spots) {
            const int x = p.x() + s.dx, y = p.y() + s.dy;
            if (x >= 0 && y >= 0 && x < width && y < height)
                reinterpret_cast<QRgb*>(picture.scanLine(y))[x] = s.colour;
        }
    // The vector drawing gets the circles themselves.
    QPicture stroke;
    {
        QPainter painter(&stroke);
        painter.setPen(pencolor);
        painter.setBrush(Qt::white);
        for (const QPoint& p : pixels)
            painter.drawEllipse(
                QRect(p.x() - dotradius, p.y() - dotradius, 2 * dotradius, 2 * dotradius));
    }
    image_.strokes().push_back(std::move(stroke));
    image_.update();
}

void Tplot::drawdot(double x, double y) {
    drawdotatpixel(xpixel(x), ypixel(y));
}

void Tplot::drawline(double x1, double y1, double x2, double y2) {
    const QLine line(xpixel(x1), ypixel(y1), xpixel(x2), ypixel(y2));
    image_.paint([this, line](QPainter& painter) {
        painter.setPen(QPen(pencolor, 0, Qt::SolidLine));
        painter.drawLine(line);
    });
}

} // namespace velmora
