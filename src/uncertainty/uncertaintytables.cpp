#include "uncertainty/uncertaintytables.h"

#include <cmath>

#include "numeric/utilities.h"

namespace velmora {

std::string percentileheading(std::size_t k) {
    return "P" + shortesttext(percentilelevels[k]);
}

Ttable summarytable(const Tuncertaintyrun& run, const Tnumberformat& format) {
    Ttable t;
    std::vector<std::string> heading = {"result", "unit", "deterministic", "n",
                                        "mean",   "sd",   "geomean",       "gsd"};
    for (std::size_t k = 0; k < percentilelevels.size(); ++k)
        heading.push_back(percentileheading(k));
    t.push_back(heading);
    for (const Tresultuncertainty& r : run.results) {
        const Tsummary& s = r.summary;
        std::vector<std::string> row = {
            r.item.name,    r.item.unit,  format(r.deterministic), std::to_string(s.n),
            format(s.mean), format(s.sd), format(s.geomean),       format(s.gsd)};
        for (double p : s.percentiles)
            row.push_back(format(p));
        t.push_back(row);
    }
    return t;
}

Ttable contributiontable(const Tuncertaintyrun& run, const Tnumberformat& format) {
    Ttable t;
    std::vector<std::string> heading = {"result"};
    heading.insert(heading.end(), run.inputs.begin(), run.inputs.end());
    t.push_back(heading);
    for (const Tresultuncertainty& r : run.results) {
        std::vector<std::string> row = {r.item.name};
        for (double c : r.contributions)
            row.push_back(format(c));
        t.push_back(row);
    }
    return t;
}

Ttable inputtable(const Tuncertaintysettings& settings, const Tnumberformat& format) {
    Ttable t;
    t.push_back({Tinputcolumns::parameter, Tinputcolumns::region, Tinputcolumns::distribution,
                 Tinputcolumns::scale, Tinputcolumns::value1, Tinputcolumns::value2,
                 Tinputcolumns::value3, Tinputcolumns::lower, Tinputcolumns::upper});
    for (const Tuncertaininput& in : settings.inputs) {
        const Tdistribution& d = in.distribution;
        const bool triangular = d.kind == Tdistributionkind::triangular;
        t.push_back({in.parameter, in.region.empty() ? std::string(allregions) : in.region,
                     distributionname(d.kind), scalename(in.scale), format(d.first),
                     format(d.second), triangular ? format(d.third) : std::string(),
                     d.lower ? format(*d.lower) : std::string(),
                     d.upper ? format(*d.upper) : std::string()});
    }
    return t;
}

Ttable correlationtable(const Tuncertaintysettings& settings, const Tnumberformat& format) {
    Ttable t;
    t.push_back({Tinputcolumns::first, Tinputcolumns::second, Tinputcolumns::rankcorrelation});
    for (const Tinputcorrelation& c : settings.correlations)
        t.push_back({c.first, c.second, format(c.rankcorrelation)});
    return t;
}

void drawrows(const Tuncertaintyrun& run, const Tnumberformat& format,
              const std::function<void(const std::vector<std::string>&)>& row) {
    std::vector<std::string> heading = {"draw", "failed"};
    heading.insert(heading.end(), run.inputs.begin(), run.inputs.end());
    for (const Tresultuncertainty& r : run.results)
        heading.push_back(r.item.name);
    row(heading);
    const std::size_t k = run.inputs.size();
    std::vector<std::string> cells;
    for (std::size_t d = 0; d < run.draws; ++d) {
        cells = {std::to_string(d + 1), d < run.failed.size() && run.failed[d] ? "TRUE" : "FALSE"};
        for (std::size_t j = 0; j < k; ++j)
            cells.push_back(format(run.inputdraws[d * k + j]));
        for (std::size_t r = 0; r < run.results.size(); ++r)
            cells.push_back(format(run.valuesof(r)[d]));
        row(cells);
    }
}

} // namespace velmora
