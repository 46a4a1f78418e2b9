#pragma once
// A picture control and the plot helper that draws into it in world
// coordinates: y grows upwards, so ymax is the top row of the picture.
#include <QColor>
#include <QImage>
#include <QPicture>
#include <QWidget>
#include <functional>
#include <vector>

namespace velmora {

// An image control: a picture shown at its own size or stretched to the
// control. The picture keeps what is drawn into it until it is replaced.
// What is drawn through paint() is also kept as strokes, so that the
// picture can be written as a vector drawing (SVG) and not only as pixels.
class Timage : public QWidget {
    Q_OBJECT
public:
    explicit Timage(QWidget* parent = nullptr, QSize start = QSize(400, 400));

    QImage& picture() { return picture_; }
    const QImage& picture() const { return picture_; }
    // A new picture; its strokes start empty.
    void setpicture(QImage picture);
    // Runs draw on a painter over the picture and keeps the same strokes.
    void paint(const std::function<void(QPainter&)>& draw);
    // The strokes so far, in order; drawing them on any device at the
    // picture's size gives the picture. Empty for a picture not drawn
    // through paint().
    std::vector<QPicture>& strokes() { return strokes_; }
    const std::vector<QPicture>& strokes() const { return strokes_; }
    void clearstrokes() { strokes_.clear(); }
    bool stretch() const { return stretch_; }
    void setstretch(bool stretch);

    QSize sizeHint() const override { return start_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    std::vector<QPicture> strokes_;
    QSize start_;
    bool stretch_ = false;
};

// Runs draw on a painter over picture and, when strokes is given, keeps
// the same strokes there as well.
void paintandkeep(QImage& picture, std::vector<QPicture>* strokes,
                  const std::function<void(QPainter&)>& draw);

struct Tworld {
    float xmin = 0;
    float xmax = 1;
    float ymin = 0;
    float ymax = 1;
};

class Tplot {
public:
    // Raises EInvalidArgument "Invalid argument" when xmin > xmax or ymin >
    // ymax. The image stretches its picture from now on.
    Tplot(Timage& image, Tworld world);
    // As above, with the world widened by the margins, fractions of its
    // width and height on each side.
    Tplot(Timage& image, Tworld world, float xmargin, float ymargin);

    // Checks and stores the world, takes the pixel area from the control's
    // current size (a picture of that size, white) and repaints.
    void setworld(Tworld world);
    const Tworld& world() const { return world_; }
    float xmargin() const { return xmargin_; }
    float ymargin() const { return ymargin_; }

    // Pixel column of x and row of y, rounded to the nearest (ties to even).
    // A world of no width (height) puts everything in the middle.
    int xpixel(double x) const;
    int ypixel(double y) const;

    void erase();
    // The text centred across the top, 5 pixels below the top edge.
    void drawtitle(const QString& text);
    // A circle of dotradius pixels around (x, y), outlined in the pen colour
    // and filled white.
    void drawdot(double x, double y);
    // The same circle around a pixel.
    void drawdotatpixel(int px, int py);
    // drawdotatpixel for each pixel in order, for charts of many thousand
    // dots: the circle is drawn once and copied.
    void drawdotsatpixels(const std::vector<QPoint>& pixels);
    void drawline(double x1, double y1, double x2, double y2);

    QColor pencolor;
    int dotradius = 2;

private:
    void check(const Tworld& world) const;

    Timage& image_;
    QRect area_;
    Tworld world_;
    float xmargin_ = 0;
    float ymargin_ = 0;
};

} // namespace velmora
