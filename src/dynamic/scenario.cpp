#include "dynamic/scenario.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "compute/model.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"

namespace velmora {

const char* const scenariocolumns[6] = {"region", "compartment", "from", "to", "rate", "rate_end"};

namespace {

std::string cut(const std::string& s) {
    return s.size() > 60 ? s.substr(0, 60) + "..." : s;
}

[[noreturn]] void fail(const std::string& place, const std::string& column,
                       const std::string& problem) {
    std::string where = place.empty() ? std::string("emission") : place;
    if (!column.empty()) where += ", column " + column;
    throw Eerror(where + ": " + problem);
}

double parserate(const std::string& text, const std::string& place, const std::string& column) {
    double x = 0;
    try {
        x = static_cast<double>(strtonum(trimmed(text)));
    } catch (const Eerror&) {
        fail(place, column, "\"" + cut(text) + "\" is no emission rate in kg/s");
    }
    if (!std::isfinite(x)) fail(place, column, "the rate is not finite");
    if (x < 0) fail(place, column, "the rate " + cut(text) + " is below 0");
    return x;
}

double parsetime(const std::string& text, const std::string& place, const std::string& column) {
    try {
        return parseduration(text);
    } catch (const Eerror& e) {
        fail(place, column, e.what());
    }
}

} // namespace

bool emissiontarget(const Tmodel& m, std::uint32_t k) {
    if (k == 0 || k > m.regcomps.n) return false;
    const std::uint32_t c = m.regcomps.compartmentof(k);
    if (!m.emi.parameterof(c)) return false;
    return k <= m.regcomps.existsflags.count() && m.regcomps.exists(k);
}

std::uint32_t parseregcompname(const Tmodel& m, const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        throw Eerror("\"" + cut(text) + "\" is no box; write REGION:COMPARTMENT");
    const std::string region = text.substr(0, colon), compartment = text.substr(colon + 1);
    const std::uint32_t r = m.regions.find(region);
    if (r == 0) throw Eerror("unknown region \"" + cut(region) + "\"");
    const std::uint32_t c = m.compartments.find(compartment);
    if (c == 0) throw Eerror("unknown compartment \"" + cut(compartment) + "\"");
    return Tregcomps::regcompnumber(r, c);
}

void checkpieces(const Tmodel& m, const std::vector<Temissionpiece>& pieces, double until) {
    for (const Temissionpiece& p : pieces) {
        if (!emissiontarget(m, p.regcomp)) {
            const std::string name = p.regcomp >= 1 && p.regcomp <= m.regcomps.n
                                         ? m.regcomps.regcompname(p.regcomp)
                                         : "box " + std::to_string(p.regcomp);
            fail(p.place, "",
                 "no emission can go to " + name +
                     " (it does not exist here, or it is a sediment or groundwater)");
        }
        if (!std::isfinite(p.from) || p.from < 0) fail(p.place, "from", "the start is below 0");
        if (p.from >= until)
            fail(p.place, "from",
                 "the piece starts at or after the end of the run, " + durationtext(until));
        if (!std::isfinite(p.to)) fail(p.place, "to", "the end is not finite");
        if (p.to < p.from) fail(p.place, "to", "the piece ends before it starts");
        if (p.to == p.from) fail(p.place, "to", "the piece has no duration");
        if (!std::isfinite(p.ratefrom) || p.ratefrom < 0)
            fail(p.place, "rate", "the rate is below 0 or not finite");
        if (!std::isfinite(p.rateto) || p.rateto < 0)
            fail(p.place, "rate_end", "the rate is below 0 or not finite");
    }
}

std::vector<Temissionpiece> parsescenario(const Tmodel& m, const std::vector<Tscenariorow>& rows,
                                          double until) {
    std::vector<Temissionpiece> pieces;
    for (const Tscenariorow& row : rows) {
        Temissionpiece p;
        p.place = row.place;
        const std::uint32_t r = m.regions.find(trimmed(row.region));
        if (r == 0) fail(row.place, "region", "unknown region \"" + cut(row.region) + "\"");
        const std::uint32_t c = m.compartments.find(trimmed(row.compartment));
        if (c == 0)
            fail(row.place, "compartment", "unknown compartment \"" + cut(row.compartment) + "\"");
        p.regcomp = Tregcomps::regcompnumber(r, c);
        p.from = parsetime(row.from, row.place, "from");
        p.to = trimmed(row.to).empty() ? until : parsetime(row.to, row.place, "to");
        p.ratefrom = parserate(row.rate, row.place, "rate");
        p.rateto = trimmed(row.rateend).empty() ? p.ratefrom
                                                : parserate(row.rateend, row.place, "rate_end");
        pieces.push_back(p);
    }
    checkpieces(m, pieces, until);
    return pieces;
}

std::vector<Tscenariorow> readscenariofile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw Eerror("cannot read the emission scenario " + path);
    std::vector<Tscenariorow> rows;
    std::string line;
    std::size_t number = 0;
    while (std::getline(f, line)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == '#') continue;
        if (rows.empty() && text.rfind("region", 0) == 0) continue; // the heading
        std::vector<std::string> cells;
        std::stringstream in(line);
        std::string cell;
        while (std::getline(in, cell, '\t'))
            cells.push_back(trimmed(cell));
        const std::string place = path + ", line " + std::to_string(number);
        if (cells.size() < 5 || cells.size() > 6)
            throw Eerror(place + ": " + std::to_string(cells.size()) +
                         " cells; a row has 5 or 6, separated by tabs: region, compartment, "
                         "from, to, rate, rate_end");
        cells.resize(6);
        rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], place});
    }
    if (f.bad()) throw Eerror("cannot read the emission scenario " + path);
    return rows;
}

} // namespace velmora
