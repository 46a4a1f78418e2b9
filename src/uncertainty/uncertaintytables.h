#pragma once
// The tables of an uncertainty run as rows of cell texts, a heading row
// first, for the command line's files and the window's grids alike.
#include <functional>
#include <string>
#include <vector>

#include "uncertainty/uncertainty.h"

namespace velmora {

using Ttable = std::vector<std::vector<std::string>>;
// Formats one number; an empty text for NaN is the caller's choice.
using Tnumberformat = std::function<std::string(double)>;

// result, unit, deterministic, n, mean, sd, geomean, gsd, P2.5 ... P97.5.
Ttable summarytable(const Tuncertaintyrun& run, const Tnumberformat& format);
// result, then one column per input: its share of the result's variance.
Ttable contributiontable(const Tuncertaintyrun& run, const Tnumberformat& format);
// The inputs as the settings sheet lists them.
Ttable inputtable(const Tuncertaintysettings& settings, const Tnumberformat& format);
// The rank correlations: input 1, input 2, rank correlation.
Ttable correlationtable(const Tuncertaintysettings& settings, const Tnumberformat& format);
// draw, failed, the drawn inputs, then the results of each draw: handed
// out row by row, heading first, since all draws of every result would not
// fit in memory as texts.
void drawrows(const Tuncertaintyrun& run, const Tnumberformat& format,
              const std::function<void(const std::vector<std::string>&)>& row);

// The heading of percentile column k ("P2.5", "P50", ...).
std::string percentileheading(std::size_t k);

} // namespace velmora
