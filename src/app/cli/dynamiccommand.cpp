#include "app/cli/dynamiccommand.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "compute/model.h"
#include "dynamic/stateexposure.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"

namespace velmora {

const std::vector<std::string> dynamicoptions = {
    "substance", "reference", "emission",       "stop",      "emissions", "start-steady",
    "until",     "times",     "exposure-times", "tolerance", "out"};

namespace {

bool has(const Tclioptions& options, const std::string& name) {
    return options.count(name) > 0;
}

std::uint32_t box(const Tmodel& m, const Tclioptions& options, const std::string& name) {
    try {
        return parseregcompname(m, option(options, name));
    } catch (const Eerror& e) {
        throw Eerror("--" + name + ": " + e.what());
    }
}

double duration(const Tclioptions& options, const std::string& name) {
    try {
        return parseduration(option(options, name));
    } catch (const Eerror& e) {
        throw Eerror("--" + name + ": " + e.what());
    }
}

std::string number(double x) {
    return shortesttext(x);
}

// A time as seconds, or empty when unknown (below 0).
std::string when(double t) {
    return t >= 0 ? number(t) : std::string();
}

void line(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t k = 0; k < cells.size(); ++k)
        out << (k ? "\t" : "") << cells[k];
    out << '\n';
}

// One row per existing regcomp, one column per output time.
void writeperbox(const Tmodel& m, const Tdynamicresult& r, bool concentration, std::ostream& out) {
    std::vector<std::string> head = {"number", "region", "compartment"};
    for (const Tdynamicoutput& o : r.outputs)
        head.push_back(number(o.time));
    line(out, head);
    std::vector<std::vector<double>> values;
    for (const Tdynamicoutput& o : r.outputs)
        values.push_back(concentration ? concentrations(m, o.mass) : o.mass);
    const Tregcomps& rcs = m.regcomps;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        if (!rcs.exists(k)) continue;
        std::vector<std::string> cells = {std::to_string(k), rcs.regionname(k),
                                          rcs.compartmentname(k)};
        for (const std::vector<double>& v : values)
            cells.push_back(number(v[k - 1]));
        line(out, cells);
    }
}

void writeregions(const Tmodel& m, const Tdynamicresult& r, std::ostream& out) {
    std::vector<std::string> head = {"region"};
    std::vector<std::vector<double>> totals;
    for (const Tdynamicoutput& o : r.outputs) {
        head.push_back(number(o.time));
        totals.push_back(regiontotals(m, o.mass));
    }
    line(out, head);
    for (std::uint32_t g = 1; g <= m.regions.count; ++g) {
        std::vector<std::string> cells = {m.regions.name(g)};
        for (const std::vector<double>& t : totals)
            cells.push_back(number(t[g]));
        line(out, cells);
    }
}

void writecompartments(const Tmodel& m, const Tdynamicresult& r, std::ostream& out) {
    std::vector<std::string> head = {"time_s", "time"};
    for (std::uint32_t c = 1; c <= ncompartments; ++c)
        head.push_back(m.compartments.name(c));
    line(out, head);
    for (const Tdynamicoutput& o : r.outputs) {
        const std::vector<double> t = compartmenttotals(m, o.mass);
        std::vector<std::string> cells = {number(o.time), durationtext(o.time)};
        for (std::uint32_t c = 1; c <= ncompartments; ++c)
            cells.push_back(number(t[c]));
        line(out, cells);
    }
}

void writebalance(const Tdynamicresult& r, std::ostream& out) {
    line(out, {"time_s", "time", "initial", "emitted", "present", "degraded", "removed",
               "imbalance", "relative_imbalance"});
    for (const Tdynamicoutput& o : r.outputs)
        line(out, {number(o.time), durationtext(o.time), number(o.initial),
                   number(o.ledger.emitted), number(o.present), number(o.ledger.degraded),
                   number(o.ledger.removed), number(o.imbalance()), number(o.relativeimbalance())});
}

void writederived(const Tmodel& m, const Tdynamicresult& r, std::ostream& out) {
    const char* groups[] = {"world", "compartment", "region", "regcomp"};
    line(out, {"group", "name", "start_kg", "steady_kg", "t50_s", "t90_s", "t95_s", "peak_s",
               "peak_kg", "halftime_s"});
    const bool approach = r.derived.approachknown;
    for (const Tseriesderived& s : r.derived.series)
        line(out,
             {groups[int(s.group)], seriesname(m, s), number(s.start),
              approach ? number(s.target) : std::string(), when(s.approach[0]), when(s.approach[1]),
              when(s.approach[2]), number(s.peaktime), number(s.peakmass), when(s.halftime)});
}

std::string resulttext(const Tnumpars& p, std::uint32_t i) {
    return p.status(i) == stHidden || p.status(i) == stUnknown ? std::string()
                                                               : number(double(p.value(i)));
}

// The exposure and effect results of the state at each exposure time: one
// row per result and region (scalars with an empty region), one column per
// time.
void writeexposure(Tmodel& m, const Tdynamicresult& r, const std::vector<double>& times,
                   std::ostream& out) {
    std::vector<const Tdynamicoutput*> states;
    for (double t : times)
        for (const Tdynamicoutput& o : r.outputs)
            if (o.time == t) states.push_back(&o);
    const std::vector<std::string> regional = stateresultnames(m, true);
    const std::vector<std::string> scalar = stateresultnames(m, false);
    const std::uint32_t nreg = m.regions.count;
    // cells[row][column]: rows regional results by region, then scalars.
    std::vector<std::vector<std::string>> cells(regional.size() * nreg + scalar.size());
    for (const Tdynamicoutput* o : states)
        withstate(m, o->mass, [&] {
            std::size_t row = 0;
            for (const std::string& name : regional) {
                const Tnumpars& p = *std::get<Tnumpars*>(m.results.find(name)->parameter);
                for (std::uint32_t g = 1; g <= nreg; ++g)
                    cells[row++].push_back(resulttext(p, g));
            }
            for (const std::string& name : scalar) {
                const Tnumpar& p = *std::get<Tnumpar*>(m.results.find(name)->parameter);
                const bool known = p.status != stHidden && p.status != stUnknown;
                cells[row++].push_back(known ? number(double(p.value)) : std::string());
            }
        });
    std::vector<std::string> head = {"result", "region"};
    for (const Tdynamicoutput* o : states)
        head.push_back(number(o->time));
    line(out, head);
    std::size_t row = 0;
    for (const std::string& name : regional)
        for (std::uint32_t g = 1; g <= nreg; ++g) {
            std::vector<std::string> l = {name, m.regions.name(g)};
            l.insert(l.end(), cells[row].begin(), cells[row].end());
            ++row;
            line(out, l);
        }
    for (const std::string& name : scalar) {
        std::vector<std::string> l = {name, ""};
        l.insert(l.end(), cells[row].begin(), cells[row].end());
        ++row;
        line(out, l);
    }
}

} // namespace

Tdynamicsettings dynamicsettings(const Tmodel& m, const Tclioptions& options,
                                 std::vector<double>& exposuretimes) {
    Tdynamicsettings s;
    if (!has(options, "until")) throw Eerror("dynamic needs --until TIME (as in 100y)");
    s.until = duration(options, "until");
    if (s.until <= 0) throw Eerror("--until: the run needs a length above 0");
    if (has(options, "tolerance")) {
        try {
            s.tolerance = static_cast<double>(strtonum(option(options, "tolerance")));
        } catch (const Eerror&) {
            throw Eerror("--tolerance: \"" + option(options, "tolerance") + "\" is no number");
        }
    }
    auto times = [&](const std::string& name, const std::string& fallback) {
        try {
            return parseoutputtimes(has(options, name) ? option(options, name) : fallback, s.until);
        } catch (const Eerror& e) {
            throw Eerror("--" + name + ": " + e.what());
        }
    };
    s.times = times("times", "lin:100");
    if (has(options, "exposure-times")) exposuretimes = times("exposure-times", "");
    std::vector<double> all = s.times;
    all.insert(all.end(), exposuretimes.begin(), exposuretimes.end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    s.times = all;
    if (has(options, "start-steady"))
        s.startfrom.push_back({box(m, options, "start-steady"), m.settings().EmissionAmount});
    const bool given = has(options, "emission") || has(options, "emissions");
    if (has(options, "stop") && !has(options, "emission"))
        throw Eerror("--stop ends the --emission; there is none");
    if (has(options, "emission") || (!given && !has(options, "start-steady"))) {
        // Without any emission named, the program's own emission box.
        Temissionpiece p;
        p.regcomp = has(options, "emission") ? box(m, options, "emission") : m.emi.regcomp();
        p.to = has(options, "stop") ? duration(options, "stop") : s.until;
        if (p.to > s.until) throw Eerror("--stop lies beyond --until");
        if (p.to == 0) throw Eerror("--stop: the emission would have no duration");
        p.ratefrom = p.rateto = m.settings().EmissionAmount;
        p.place = "--emission";
        s.emissions.push_back(p);
    }
    if (has(options, "emissions")) {
        const std::vector<Tscenariorow> rows = readscenariofile(option(options, "emissions"));
        for (Temissionpiece& p : parsescenario(m, rows, s.until))
            s.emissions.push_back(p);
    }
    return s;
}

void writedynamic(Tmodel& m, const Tdynamicresult& result, const std::vector<double>& exposuretimes,
                  const Tfilewriter& write) {
    write("masses.tsv", [&](std::ostream& f) { writeperbox(m, result, false, f); });
    write("concentrations.tsv", [&](std::ostream& f) { writeperbox(m, result, true, f); });
    write("regions.tsv", [&](std::ostream& f) { writeregions(m, result, f); });
    write("compartments.tsv", [&](std::ostream& f) { writecompartments(m, result, f); });
    write("balance.tsv", [&](std::ostream& f) { writebalance(result, f); });
    write("derived.tsv", [&](std::ostream& f) { writederived(m, result, f); });
    if (!exposuretimes.empty())
        write("exposure.tsv", [&](std::ostream& f) { writeexposure(m, result, exposuretimes, f); });
}

void writedynamicrun(const Tmodel& m, const Tdynamicsettings& settings,
                     const Tdynamicresult& result, std::ostream& out) {
    out << "dynamic\tuntil\t" << number(settings.until) << '\t' << durationtext(settings.until)
        << '\n';
    out << "dynamic\toutput times\t" << settings.times.size() << '\n';
    out << "dynamic\ttolerance\t" << number(settings.tolerance) << '\n';
    if (settings.startfrom.empty()) out << "dynamic\tstart\tempty\n";
    for (const Tboxemission& b : settings.startfrom)
        out << "dynamic\tstart\tsteady state\t" << m.regcomps.regcompname(b.regcomp) << '\t'
            << number(b.rate) << '\n';
    for (const Temissionpiece& p : settings.emissions)
        out << "dynamic\temission\t" << m.regcomps.regcompname(p.regcomp) << '\t' << number(p.from)
            << '\t' << number(p.to) << '\t' << number(p.ratefrom) << '\t' << number(p.rateto)
            << '\n';
    out << "dynamic\tsteps\t" << result.stats.steps << '\n';
    out << "dynamic\trejected steps\t" << result.stats.rejected << '\n';
    out << "dynamic\tfactorisations\t" << result.stats.factorisations << '\n';
    double worst = 0;
    for (const Tdynamicoutput& o : result.outputs)
        worst = std::max(worst, o.relativeimbalance());
    out << "dynamic\tlargest relative imbalance\t" << number(worst) << '\n';
    out << "time\tdynamic\t" << result.seconds << '\n';
}

void writedynamicsummary(const Tdynamicresult& result, std::ostream& out) {
    double worst = 0;
    for (const Tdynamicoutput& o : result.outputs)
        worst = std::max(worst, o.relativeimbalance());
    out << "steps\t" << result.stats.steps << '\n';
    out << "largest relative imbalance\t" << number(worst) << '\n';
    const Tseriesderived& w = result.derived.world();
    for (int j = 0; j < 3; ++j)
        if (w.approach[j] >= 0)
            out << "world t" << int(std::lround(100 * approachlevels[j])) << '\t'
                << durationtext(w.approach[j]) << '\n';
    if (w.halftime >= 0) out << "world half-time\t" << durationtext(w.halftime) << '\n';
    out << "time\tdynamic\t" << result.seconds << '\n';
}

} // namespace velmora
