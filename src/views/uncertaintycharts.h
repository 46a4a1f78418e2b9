#pragma once
// The pictures of an uncertainty run: the distribution of one result's draws
// as a histogram or a cumulative curve, and the contributions of the inputs
// to its variance as bars. Each fills a picture of the size it is given,
// painting through the painter handed to it, so that the same strokes can
// go to pixels and to a vector drawing.
#include <QSize>
#include <QString>
#include <span>
#include <string>
#include <vector>

class QPainter;

namespace velmora {

// Draws of one result (NaN for draws without a value), its deterministic
// value, on a logarithmic axis when every value is above 0 and they span
// more than a factor of 20. Marks the deterministic value (red), the median
// (black, dashed) and the 2.5 and 97.5 percentiles (grey, dashed).
void drawdistribution(QPainter& painter, QSize picture, std::span<const float> draws,
                      double deterministic, const QString& title, const QString& unit,
                      bool cumulative);

// One bar per input, largest share first, labelled with the input and its
// share in percent.
void drawcontributions(QPainter& painter, QSize picture, const std::vector<std::string>& inputs,
                       const std::vector<double>& shares, const QString& title);

// Equal-width bins over [low, high] (of log10 values when logarithmic):
// how many finite values fall in each; the top edge belongs to the last bin.
std::vector<std::size_t> histogramcounts(const std::vector<double>& values, double low, double high,
                                         std::size_t bins);

} // namespace velmora
