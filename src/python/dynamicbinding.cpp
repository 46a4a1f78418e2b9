// Dynamic runs from Python: the emission scenario as rows of the scenario
// table (times as the program reads them, "10y", or seconds), the masses at
// the output times as numpy arrays, the derived times per series, and the
// exposure of a state through the calculation's own stages.
#include "python/binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "dynamic/dynamic.h"
#include "dynamic/stateexposure.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "python/session.h"

namespace py = pybind11;

namespace velmora::python {

namespace {

// A time given as a number of seconds or as a duration text.
std::string durationof(const py::handle& x) {
    if (py::isinstance<py::str>(x)) return x.cast<std::string>();
    double seconds = x.cast<double>();
    return seconds == 0 ? "0" : shortesttext(seconds) + "s";
}

// Rows of `width` values each, taken from `first` on (the totals per
// compartment and region are numbered from 1).
py::array_t<double> table(const std::vector<std::vector<double>>& rows, std::size_t width,
                          std::size_t first = 0) {
    py::array_t<double> a({static_cast<py::ssize_t>(rows.size()), static_cast<py::ssize_t>(width)});
    double* to = a.mutable_data();
    for (const auto& row : rows) {
        if (row.size() != first + width) throw Eerror("a dynamic output of unexpected size");
        to = std::copy(row.begin() + static_cast<std::ptrdiff_t>(first), row.end(), to);
    }
    return a;
}

const char* groupname(Tseriesgroup g) {
    switch (g) {
    case Tseriesgroup::world:
        return "world";
    case Tseriesgroup::compartment:
        return "compartment";
    case Tseriesgroup::region:
        return "region";
    default:
        return "regcomp";
    }
}

py::dict rundynamicrun(Tsession& s, const std::vector<std::vector<py::object>>& emissions,
                       const py::object& until, const py::object& times,
                       const std::vector<std::tuple<std::string, std::string, double>>& startfrom,
                       double tolerance) {
    Tmodel& m = s.ws.model;
    Tdynamicsettings settings;
    settings.until = parseduration(durationof(until));
    settings.tolerance = tolerance;
    std::vector<Tscenariorow> rows;
    for (std::size_t k = 0; k < emissions.size(); ++k) {
        const auto& e = emissions[k];
        if (e.size() < 5 || e.size() > 6)
            throw Eerror("emission " + std::to_string(k + 1) +
                         ": give region, compartment, from, to, rate and optionally the end rate");
        Tscenariorow row;
        row.region = e[0].cast<std::string>();
        row.compartment = e[1].cast<std::string>();
        row.from = durationof(e[2]);
        row.to = e[3].is_none() ? std::string() : durationof(e[3]);
        row.rate = shortesttext(e[4].cast<double>());
        row.rateend = e.size() > 5 && !e[5].is_none() ? shortesttext(e[5].cast<double>()) : "";
        row.place = "emission " + std::to_string(k + 1);
        rows.push_back(row);
    }
    settings.emissions = parsescenario(m, rows, settings.until);
    for (const auto& [region, compartment, rate] : startfrom)
        settings.startfrom.push_back({s.regcomp(region, compartment), rate});
    if (py::isinstance<py::str>(times)) {
        settings.times = parseoutputtimes(times.cast<std::string>(), settings.until);
    } else {
        for (const py::handle& t : times)
            settings.times.push_back(parseduration(durationof(t)));
    }
    Tdynamicresult result;
    try {
        py::gil_scoped_release unlocked;
        result = rundynamic(m, settings);
    } catch (...) {
        tellwarnings(s);
        throw;
    }
    tellwarnings(s);
    const std::size_t n = s.ws.regcomps.n;
    std::vector<double> time, emitted, degraded, removed, present, imbalance;
    std::vector<std::vector<double>> mass, compartments, regions, conc;
    for (const Tdynamicoutput& o : result.outputs) {
        time.push_back(o.time);
        emitted.push_back(o.ledger.emitted);
        degraded.push_back(o.ledger.degraded);
        removed.push_back(o.ledger.removed);
        present.push_back(o.present);
        imbalance.push_back(o.relativeimbalance());
        mass.push_back(o.mass);
        compartments.push_back(compartmenttotals(m, o.mass));
        regions.push_back(regiontotals(m, o.mass));
        conc.push_back(concentrations(m, o.mass));
    }
    py::dict d;
    d["time"] = time;
    d["mass"] = table(mass, n);
    d["compartment_mass"] = table(compartments, ncompartments, 1);
    d["region_mass"] = table(regions, s.ws.regions.count, 1);
    d["concentration"] = table(conc, n);
    d["emitted"] = emitted;
    d["degraded"] = degraded;
    d["removed"] = removed;
    d["present"] = present;
    d["imbalance"] = imbalance;
    std::vector<py::dict> series;
    for (const Tseriesderived& x : result.derived.series) {
        py::dict r;
        r["series"] = seriesname(m, x);
        r["group"] = groupname(x.group);
        r["start"] = x.start;
        r["target"] = x.target;
        for (int k = 0; k < 3; ++k)
            r[py::str("t" + std::to_string(static_cast<int>(approachlevels[k] * 100)))] =
                x.approach[k];
        r["peak_time"] = x.peaktime;
        r["peak_mass"] = x.peakmass;
        r["half_time"] = x.halftime;
        series.push_back(r);
    }
    d["derived"] = series;
    d["approach_known"] = result.derived.approachknown;
    d["stop_time"] = result.derived.stoptime;
    d["steps"] = result.stats.steps;
    d["rejected"] = result.stats.rejected;
    d["factorisations"] = result.stats.factorisations;
    d["seconds"] = result.seconds;
    return d;
}

// The results of a state: every name asked for (default: those a state
// makes meaningful), read while the state's concentrations are in place.
py::dict stateresults(Tsession& s, py::array_t<double, py::array::c_style | py::array::forcecast> mass,
                      std::vector<std::string> names) {
    if (static_cast<std::size_t>(mass.size()) != s.ws.regcomps.n)
        throw Eerror("a state holds one mass per box (" + std::to_string(s.ws.regcomps.n) + ")");
    std::vector<double> m(mass.data(), mass.data() + mass.size());
    if (names.empty()) {
        names = stateresultnames(s.ws.model, true);
        for (const std::string& n : stateresultnames(s.ws.model, false))
            names.push_back(n);
    }
    std::vector<Tvalues> values;
    withstate(s.ws.model, m, [&] {
        for (const std::string& n : names)
            values.push_back(s.values(n));
    });
    tellwarnings(s);
    py::dict d;
    for (const Tvalues& v : values) {
        std::vector<py::ssize_t> shape;
        if (v.kind != "scalar") shape.push_back(v.rows);
        if (v.kind == "pair") shape.push_back(v.cols);
        py::array_t<float> a(shape);
        std::copy(v.numbers.begin(), v.numbers.end(), a.mutable_data());
        d[py::str(v.name)] = a;
    }
    return d;
}

} // namespace

void binddynamic(py::class_<Tsession>& session) {
    session.def("dynamic", &rundynamicrun, py::arg("emissions"), py::arg("until"),
                py::arg("times"), py::arg("start_from"), py::arg("tolerance"));
    session.def("state_results", &stateresults);
    session.def("parse_duration", [](Tsession&, const std::string& text) {
        return parseduration(text);
    });
}

} // namespace velmora::python
