#pragma once
// A chart of quantities in time: one coloured line per series over the
// output times, with axes in the unit of time that suits the span, a linear
// or logarithmic time axis, and a legend. Painted into any rectangle, so the
// same chart shows in a window and goes to the output system as a picture.
#include <QImage>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace velmora {

struct Ttimeseries {
    QString name;
    std::vector<double> values; // one per time
};

struct Ttimechart {
    QString title;
    QString unit;              // of the values, for the vertical axis
    std::vector<double> times; // seconds
    std::vector<Ttimeseries> series;
    bool logtime = false;  // time 0 cannot show on it and is left out
    bool logvalue = false; // values of 0 and below are left out
};

// The colour of series k, from a palette that tells lines apart.
QColor seriescolour(std::size_t k);

void paintchart(QPainter& painter, const QRect& area, const Ttimechart& chart);

// "Nice" tick values: steps of 1, 2 or 5 times a power of ten covering
// [low, high] with about `count` ticks.
std::vector<double> niceticks(double low, double high, int count);

class Tchartview : public QWidget {
    Q_OBJECT
public:
    explicit Tchartview(QWidget* parent = nullptr);
    void setchart(Ttimechart chart);
    const Ttimechart& chart() const { return chart_; }
    QSize sizeHint() const override { return QSize(560, 380); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ttimechart chart_;
};

} // namespace velmora
