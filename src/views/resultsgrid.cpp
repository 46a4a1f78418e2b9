#include "views/resultsgrid.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>

#include "app/workspace.h"
#include "numeric/utilities.h"
#include "toolkit/grid.h"

namespace velmora {

namespace {

// The rule's first three steps; false when the value is to be formatted.
bool specialtext(const Tsettings& settings, float value, char status, std::string& text) {
    if (status == stHidden) {
        text = settings.HiddenText;
        return true;
    }
    if (status == stUnknown) {
        text = settings.UnknownText;
        return true;
    }
    if (approxequal(value, settings.InfValue)) {
        text = settings.InfText;
        return true;
    }
    return false;
}

// The regions a regional table shows, in region order.
std::vector<std::uint32_t> shownregions(const Tgridcontext& g) {
    std::vector<std::uint32_t> shown;
    for (std::uint32_t i = 1; i <= g.ws.regions.count; ++i)
        if (!g.OECDOnly || oecdmember(g.ws, i)) shown.push_back(i);
    return shown;
}

template <typename Text>
void addregional(Tstringtable& table, const Tnumpars& p, const Tgridcontext& g, bool stale,
                 Text text, bool percent = false) {
    const Tsettings& settings = g.ws.settings;
    const int c = table.addcolumn();
    table.setcell(c, 0, heading(p.name(), p.unit()));
    int r = 0;
    for (std::uint32_t i : shownregions(g)) {
        ++r;
        // A vector shorter than the region list (a world read again with
        // fewer regions) has nothing to show for the rest.
        if (i > p.count()) continue;
        if (stale || g.stale)
            table.setcell(c, r, settings.UnknownText);
        else
            table.setcell(c, r, text(settings, p.value(i), p.status(i)),
                          celltextfull(settings, p.value(i), p.status(i), percent));
    }
}

} // namespace

std::string celltextshort(const Tsettings& settings, float value, char status) {
    std::string text;
    if (specialtext(settings, value, status, text)) return text;
    return numtostr(value, settings.Digits);
}

std::string celltextlong(const Tsettings& settings, float value, char status) {
    std::string text;
    if (specialtext(settings, value, status, text)) return text;
    return numtostr(static_cast<extended>(value), settings.Digits);
}

std::string celltextpercent(const Tsettings& settings, float value, char status) {
    std::string text;
    if (specialtext(settings, value, status, text)) return text;
    // nearbyint rounds half to even in the default rounding mode.
    const double percent = std::nearbyint(100.0 * static_cast<double>(value));
    return numtostr(static_cast<extended>(percent), 18);
}

std::string celltextfull(const Tsettings& settings, float value, char status, bool percent) {
    std::string text;
    if (specialtext(settings, value, status, text)) return text;
    const extended x = static_cast<extended>(value);
    return numtostr(percent ? 100 * x : x, fullprecisiondigits);
}

std::string heading(const std::string& name, const std::string& unit) {
    return name + " (" + unit + ")";
}

std::string itemname(const std::string& item) {
    const std::size_t at = item.find(" (");
    return at == std::string::npos ? item : item.substr(0, at);
}

bool oecdmember(const Tworkspace& ws, std::uint32_t i) {
    const Tstrpars& oecd = ws.env.OECD;
    return i <= oecd.count() && oecd.value(i) == "OECD";
}

void ShowRegionRows(Tstringtable& table, const Tgridcontext& g) {
    const std::vector<std::uint32_t> shown = shownregions(g);
    table.setsize(1, static_cast<int>(shown.size()) + 1);
    table.setfixed(1, 1);
    table.setcell(0, 0, "Region");
    int r = 0;
    for (std::uint32_t i : shown)
        table.setcell(0, ++r, g.ws.regions.name(i));
}

void ShowAllRow(Tstringtable& table) {
    table.setsize(1, 2);
    table.setfixed(1, 1);
    table.setcell(0, 0, "Region");
    table.setcell(0, 1, "All");
}

void AddRegionalColumn(Tstringtable& table, const Tnumpars& p, const Tgridcontext& g, bool stale) {
    addregional(table, p, g, stale, celltextlong);
}

void AddPercentColumn(Tstringtable& table, const Tnumpars& p, const Tgridcontext& g, bool stale) {
    addregional(table, p, g, stale, celltextpercent, true);
}

void AddScalarColumn(Tstringtable& table, const Tnumpar& p, const Tgridcontext& g, bool stale) {
    const Tsettings& settings = g.ws.settings;
    const int c = table.addcolumn();
    table.setcell(c, 0, heading(p.name(), p.unit()));
    if (stale || g.stale)
        table.setcell(c, 1, settings.UnknownText);
    else
        table.setcell(c, 1, celltextshort(settings, p.value, p.status),
                      celltextfull(settings, p.value, p.status));
}

std::vector<std::string> regcompheadings(const Tworkspace& ws, std::uint32_t count, bool routes,
                                         bool effectrows) {
    std::vector<std::string> names;
    names.reserve(count);
    const Tregcomps& rcs = ws.regcomps;
    const std::uint32_t regions = ws.regions.count;
    if (count == rcs.n) {
        for (std::uint32_t k = 1; k <= count; ++k)
            names.push_back(rcs.regcompname(k));
    } else if (count == nroutes * regions) {
        for (std::uint32_t k = 1; k <= count; ++k)
            names.push_back(rcs.regroutename(k));
    } else if (routes && count == npathways * regions) {
        for (std::uint32_t k = 1; k <= count; ++k)
            names.push_back(rcs.regpathwayname(k));
    } else if (effectrows && count == 5) {
        names = {"tox_river", "tox_lake", "tox_saltlake", "tox_seawater", "tox_soil"};
    } else if (effectrows && count == 2) {
        names = {"tox_noncarc", "tox_carc"};
    }
    return names;
}

std::shared_ptr<Tcelltable> ShowPairMatrix(const Tnumparss& p, const Tworkspace& ws) {
    const std::uint32_t n = ws.regions.count;
    const Tsettings& settings = ws.settings;
    // A pair parameter is sized by its world; a world read again with fewer
    // regions leaves no cells beyond it.
    const std::uint32_t size = std::min(n, p.count());
    auto table = std::make_shared<Tcomputedtable>(
        size, size, [&p, &settings](std::uint32_t i, std::uint32_t j) {
            return celltextlong(settings, p.value(i, j), p.status(i, j));
        });
    table->fulltext = [&p, &settings](std::uint32_t i, std::uint32_t j) {
        return celltextfull(settings, p.value(i, j), p.status(i, j));
    };
    for (std::uint32_t k = 1; k <= size; ++k) {
        table->colheadings.push_back(ws.regions.name(k));
        table->rowheadings.push_back(ws.regions.name(k));
    }
    return table;
}

std::shared_ptr<Tcelltable> ShowRegcompColumn(const Tnumpars& p, const Tworkspace& ws, bool stale) {
    const Tsettings& settings = ws.settings;
    const std::uint32_t n = std::min(ws.regcomps.n, p.count());
    auto table = std::make_shared<Tcomputedtable>(
        n, 1, [&p, &settings, stale](std::uint32_t i, std::uint32_t) {
            return stale ? settings.UnknownText : celltextlong(settings, p.value(i), p.status(i));
        });
    table->fulltext = [&p, &settings, stale](std::uint32_t i, std::uint32_t) {
        return stale ? settings.UnknownText : celltextfull(settings, p.value(i), p.status(i));
    };
    table->colheadings.push_back(p.name());
    for (std::uint32_t k = 1; k <= n; ++k)
        table->rowheadings.push_back(ws.regcomps.regcompname(k));
    return table;
}

std::shared_ptr<Tcelltable> ShowRegcompMatrix(const Tnumparss& p, const Tworkspace& ws) {
    const Tsettings& settings = ws.settings;
    auto table = std::make_shared<Tcomputedtable>(
        p.values.rows(), p.values.cols(), [&p, &settings](std::uint32_t i, std::uint32_t j) {
            return celltextlong(settings, p.value(i, j), p.status(i, j));
        });
    table->fulltext = [&p, &settings](std::uint32_t i, std::uint32_t j) {
        return celltextfull(settings, p.value(i, j), p.status(i, j));
    };
    table->colheadings = regcompheadings(ws, p.values.cols(), false, false);
    table->rowheadings = regcompheadings(ws, p.values.rows(), true, false);
    return table;
}

std::shared_ptr<Tcelltable> ShowFactorMatrix(const Tnummatrix& m, const Tworkspace& ws) {
    const Tsettings& settings = ws.settings;
    auto table = std::make_shared<Tcomputedtable>(
        m.rows(), m.cols(), [&m, &settings](std::uint32_t i, std::uint32_t j) {
            return numtostr(static_cast<extended>(static_cast<float>(m.getvalue(i, j))),
                            settings.Digits);
        });
    table->fulltext = [&m](std::uint32_t i, std::uint32_t j) {
        return numtostr(static_cast<extended>(static_cast<float>(m.getvalue(i, j))),
                        fullprecisiondigits);
    };
    table->colheadings = regcompheadings(ws, m.cols(), true, false);
    table->rowheadings = regcompheadings(ws, m.rows(), true, true);
    return table;
}

std::shared_ptr<Tcelltable> ShowRegcompMeaning(const Tworkspace& ws) {
    const Tregcomps& rcs = ws.regcomps;
    auto table = std::make_shared<Tcomputedtable>(
        rcs.n, 4, [&rcs](std::uint32_t k, std::uint32_t c) -> std::string {
            switch (c) {
            case 1:
                return rcs.regionname(k);
            case 2:
                return rcs.compartmentname(k);
            case 3:
                return rcs.regcompname(k);
            default:
                return rcs.exists(k) ? "yes" : "no";
            }
        });
    table->corner = "#";
    table->colheadings = {"Region", "Compartment", "Regcomp", "Used"};
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        table->rowheadings.push_back(std::to_string(k));
    return table;
}

void FinishGrid(Tgrid* grid, std::shared_ptr<const Tcelltable> table, bool widecolumn0,
                bool fitcolumns) {
    grid->settable(std::move(table));
    gridlayout(grid, 0);
    // The heading and the first rows tell a column's width well enough;
    // measuring every cell would cost a refresh more than the values. A
    // heading keeps room for the marker a sort appends to it.
    const Tcelltable& shown = grid->table();
    const QFontMetrics metrics = grid->fontMetrics();
    const auto advance = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text)) + 6;
    };
    const int marker = metrics.horizontalAdvance(QStringLiteral(" (v)"));
    const int rows = fitcolumns ? std::min(shown.rows(), 40) : std::min(shown.rows(), 1);
    for (int c = 1; c < shown.cols(); ++c) {
        int width = fitcolumns ? 0 : grid->colwidth(c);
        if (shown.fixedrows() > 0) width = std::max(width, advance(shown.cell(c, 0)) + marker);
        for (int r = shown.fixedrows(); r < rows && width < 250; ++r)
            width = std::max(width, advance(shown.cell(c, r)));
        grid->setcolwidth(c, std::min(width, 250));
    }
    if (widecolumn0) grid->setcolwidth(0, 120);
}

void FinishGrid(Tgrid* grid, Tstringtable table) {
    // A few hundred rows of a regional table are measured at once; headings
    // such as "SUSPCONC_inlandwater (kg solids*m^-3 water)" cut at 64 pixels
    // could not be told apart.
    FinishGrid(grid, std::make_shared<const Tstringtable>(std::move(table)), true, true);
}

} // namespace velmora
