#include "views/editors/editorgrids.h"

#include <algorithm>

#include "app/workspace.h"
#include "numeric/utilities.h"
#include "views/resultsgrid.h"

namespace velmora {

bool Tviewfilter::shows(char s) const {
    switch (s) {
    case stFixed:
        return fixed;
    case stDefault:
        return defaults;
    case stImported:
        return imported;
    case stEdited:
        return edited;
    case stHidden:
        return hidden;
    default:
        return false;
    }
}

const std::string& Tviewfilter::mask(const Tsettings& settings, char s) const {
    return s == stUnknown && unknown ? settings.UnknownText : settings.HiddenText;
}

std::string filteredreal(const Tsettings& settings, const Tviewfilter& view, float value, char s,
                         bool longformat) {
    if (!view.shows(s)) return view.mask(settings, s);
    if (approxequal(value, settings.InfValue)) return settings.InfText;
    // The shown status letters are all known ones but H; a hidden value
    // shown on request is its stored number.
    const char known = stDefault;
    return longformat ? celltextlong(settings, value, known)
                      : celltextshort(settings, value, known);
}

std::string filteredfull(const Tsettings& settings, const Tviewfilter& view, float value, char s) {
    if (!view.shows(s)) return view.mask(settings, s);
    if (approxequal(value, settings.InfValue)) return settings.InfText;
    return celltextfull(settings, value, stDefault);
}

std::string filteredtext(const Tsettings& settings, const Tviewfilter& view,
                         const std::string& value, char s) {
    return view.shows(s) ? value : view.mask(settings, s);
}

std::string filteredboolean(const Tsettings& settings, const Tviewfilter& view, bool value,
                            char s) {
    return view.shows(s) ? booltostr(value) : view.mask(settings, s);
}

namespace {

// Appends a column over every region; text(i) makes row i's cell, full(i)
// its full-precision text when it has one.
template <typename P, typename Text, typename Full>
void addcolumn(Tstringtable& table, const P& p, const Tworkspace& ws, Text text, Full full) {
    const int c = table.addcolumn();
    table.setcell(c, 0, heading(p.name(), p.unit()));
    // A vector shorter than the region list has nothing to show for the rest.
    const std::uint32_t n = std::min<std::uint32_t>(ws.regions.count, p.count());
    for (std::uint32_t i = 1; i <= n; ++i)
        table.setcell(c, static_cast<int>(i), text(i), full(i));
}

template <typename P, typename Text>
void addcolumn(Tstringtable& table, const P& p, const Tworkspace& ws, Text text) {
    addcolumn(table, p, ws, text, [](std::uint32_t) { return std::string(); });
}

void addscalar(Tstringtable& table, const std::string& title, std::string text,
               std::string full = {}) {
    const int c = table.addcolumn();
    table.setcell(c, 0, title);
    table.setcell(c, 1, std::move(text), std::move(full));
}

} // namespace

void AddFilteredColumn(Tstringtable& table, const Tnumpars& p, const Tworkspace& ws,
                       const Tviewfilter& view) {
    addcolumn(
        table, p, ws,
        [&](std::uint32_t i) {
            return filteredreal(ws.settings, view, p.value(i), p.status(i), true);
        },
        [&](std::uint32_t i) { return filteredfull(ws.settings, view, p.value(i), p.status(i)); });
}

void AddFilteredColumn(Tstringtable& table, const Tbooleanpars& p, const Tworkspace& ws,
                       const Tviewfilter& view) {
    addcolumn(table, p, ws, [&](std::uint32_t i) {
        return filteredboolean(ws.settings, view, p.value(i), p.status(i));
    });
}

void AddFilteredColumn(Tstringtable& table, const Tstrpars& p, const Tworkspace& ws,
                       const Tviewfilter& view) {
    addcolumn(table, p, ws, [&](std::uint32_t i) {
        return filteredtext(ws.settings, view, p.value(i), p.status(i));
    });
}

void AddFilteredScalarColumn(Tstringtable& table, const Tnumpar& p, const Tworkspace& ws,
                             const Tviewfilter& view) {
    addscalar(table, heading(p.name(), p.unit()),
              filteredreal(ws.settings, view, p.value, p.status, false),
              filteredfull(ws.settings, view, p.value, p.status));
}

void AddFilteredScalarColumn(Tstringtable& table, const Tintpar& p, const Tworkspace& ws,
                             const Tviewfilter& view) {
    addscalar(table, heading(p.name(), p.unit()),
              filteredtext(ws.settings, view, std::to_string(p.value), p.status));
}

void AddFilteredScalarColumn(Tstringtable& table, const Tstrpar& p, const Tworkspace& ws,
                             const Tviewfilter& view) {
    addscalar(table, heading(p.name(), "-"), filteredtext(ws.settings, view, p.value, p.status));
}

void AddFilteredScalarColumn(Tstringtable& table, const Tbooleanpar& p, const Tworkspace& ws,
                             const Tviewfilter& view) {
    addscalar(table, heading(p.name(), "-"), filteredboolean(ws.settings, view, p.value, p.status));
}

std::shared_ptr<Tcelltable> ShowFilteredPairMatrix(const Tnumparss& p, const Tworkspace& ws,
                                                   const Tviewfilter& view) {
    const Tsettings& settings = ws.settings;
    const std::uint32_t size = std::min(ws.regions.count, p.count());
    auto table = std::make_shared<Tcomputedtable>(
        size, size, [&p, &settings, view](std::uint32_t i, std::uint32_t j) {
            return filteredreal(settings, view, p.value(i, j), p.status(i, j), true);
        });
    table->fulltext = [&p, &settings, view](std::uint32_t i, std::uint32_t j) {
        return filteredfull(settings, view, p.value(i, j), p.status(i, j));
    };
    table->corner = "Region";
    for (std::uint32_t k = 1; k <= size; ++k) {
        table->colheadings.push_back(ws.regions.name(k));
        table->rowheadings.push_back(ws.regions.name(k));
    }
    return table;
}

std::string headingparameter(const std::string& heading) {
    const std::size_t at = heading.find(" (");
    return at == std::string::npos ? std::string() : heading.substr(0, at);
}

} // namespace velmora
