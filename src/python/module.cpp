// The Python face of the core: velmora._core. Numbers come out as numpy
// arrays of the 32-bit floats the model stores; errors of the program
// become velmora.VelmoraError with the program's message, its warnings
// Python warnings of the class velmora.VelmoraWarning. Long calls let other
// Python threads run (a Dask worker keeps answering its scheduler).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <map>
#include <memory>

#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "python/binding.h"
#include "python/session.h"
#include "model/substance.h"
#include "toolkit/sheets/excelfile.h"

namespace py = pybind11;

namespace velmora::python {

namespace {

// The warning class lives as long as the interpreter, not as this library:
// a Python object destroyed at exit after the interpreter would crash.
PyObject* warningclass = nullptr;

// Runs f without the interpreter lock when long, then tells the warnings;
// also when f fails, before its error goes on.
template <typename F> auto run(Tsession& s, bool release, F f) {
    try {
        if (!release) {
            auto result = f();
            tellwarnings(s);
            return result;
        }
        auto result = [&] {
            py::gil_scoped_release unlocked;
            return f();
        }();
        tellwarnings(s);
        return result;
    } catch (const py::error_already_set&) {
        throw;
    } catch (...) {
        tellwarnings(s);
        throw;
    }
}

py::array_t<float> floats(const std::vector<float>& v, std::vector<py::ssize_t> shape) {
    py::array_t<float> a(shape);
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

py::dict todict(const Tvalues& v) {
    py::dict d;
    d["name"] = v.name;
    d["unit"] = v.unit;
    d["kind"] = v.kind;
    d["owner"] = v.owner;
    std::vector<py::ssize_t> shape;
    if (v.kind == "pair" || v.kind == "regcomp pair")
        shape = {v.rows, v.cols};
    else if (v.kind != "scalar")
        shape = {v.rows};
    if (v.numeric)
        d["values"] = floats(v.numbers, shape);
    else
        d["values"] = py::array(py::cast(v.texts)).attr("reshape")(py::cast(shape));
    d["statuses"] = v.statuses;
    return d;
}

py::array_t<float> dense(const Tnummatrix& m) {
    py::array_t<float> a({static_cast<py::ssize_t>(m.rows()), static_cast<py::ssize_t>(m.cols())});
    float* data = a.mutable_data();
    std::fill(data, data + a.size(), 0.0f);
    const std::size_t cols = m.cols();
    m.foreachnonzero([&](std::uint32_t r, std::uint32_t c, extended x) {
        data[(r - 1) * cols + (c - 1)] = static_cast<float>(x);
    });
    return a;
}

// Names of the rows and columns of a factor matrix.
std::vector<std::string> axisnames(Tsession& s, const std::string& kind) {
    Tregcomps& rc = s.ws.regcomps;
    std::vector<std::string> names;
    const std::uint32_t nreg = s.ws.regions.count;
    if (kind == "regcomps")
        for (std::uint32_t k = 1; k <= rc.n; ++k)
            names.push_back(rc.regcompname(k));
    else if (kind == "routes")
        for (std::uint32_t k = 1; k <= nreg * nroutes; ++k)
            names.push_back(rc.regroutename(k));
    else if (kind == "pathways")
        for (std::uint32_t k = 1; k <= nreg * npathways; ++k)
            names.push_back(rc.regpathwayname(k));
    return names;
}

py::dict matrixdict(Tsession& s, const std::string& name) {
    static const std::map<std::string, std::pair<const char*, const char*>> axes = {
        {"FF", {"regcomps", "regcomps"}},   {"XF1", {"routes", "regcomps"}},
        {"XF2", {"pathways", "routes"}},    {"XF", {"pathways", "regcomps"}},
        {"XF*FF", {"pathways", "regcomps"}}, {"EFeco", {"ecological", "regcomps"}},
        {"EFhum", {"human", "pathways"}}};
    const Tnummatrix& m = s.matrix(name);
    py::dict d;
    d["name"] = name;
    d["values"] = dense(m);
    auto [rows, cols] = axes.at(name);
    std::vector<std::string> rownames = axisnames(s, rows);
    if (std::string(rows) == "ecological")
        rownames = {"river", "lake", "saltlake", "seawater", "soil"};
    if (std::string(rows) == "human") rownames = {"humnoncarc", "humcarc"};
    d["rows"] = rownames;
    d["columns"] = axisnames(s, cols);
    return d;
}

py::dict balancedict(const Tbalance& b) {
    py::dict d;
    d["headings"] = b.headings;
    d["rows"] = b.cells();
    std::vector<float> amounts;
    for (const Tbalancerow& r : b.rows)
        amounts.push_back(r.amount);
    d["amounts"] = floats(amounts, {static_cast<py::ssize_t>(amounts.size())});
    return d;
}

py::list buttonlist(const std::vector<Tbreakdownbutton>& buttons,
                    const std::vector<std::vector<std::string>>& breakdowns, Tsession& s,
                    bool dose) {
    py::list l;
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        const Tbreakdownbutton& b = buttons[k];
        py::dict d;
        d["item"] = dose ? Tregcomps::routename(b.item) : s.ws.compartments.name(b.item);
        d["visible"] = b.visible;
        d["bar"] = b.barvisible ? py::object(py::int_(b.position)) : py::none();
        d["caption"] = b.caption;
        d["breakdown"] = breakdowns[k];
        l.append(d);
    }
    return l;
}

py::dict factortable(Tsession& s, const Tfactortable& t) {
    const py::ssize_t n = static_cast<py::ssize_t>(t.regcomps.size());
    py::dict d;
    std::vector<std::string> regions, compartments;
    for (std::uint32_t k : t.regcomps) {
        regions.push_back(s.ws.regcomps.regionname(k));
        compartments.push_back(s.ws.regcomps.compartmentname(k));
    }
    d["region"] = regions;
    d["compartment"] = compartments;
    d["values"] = floats(t.values, {n, 14});
    py::array_t<bool> known({n, py::ssize_t(14)});
    std::copy(t.known.begin(), t.known.end(), known.mutable_data());
    d["known"] = known;
    d["cancelled"] = t.cancelled;
    return d;
}

} // namespace

void tellwarnings(Tsession& s) {
    for (const std::string& text : s.takewarnings())
        if (PyErr_WarnEx(warningclass, text.c_str(), 2) != 0) throw py::error_already_set();
}

} // namespace velmora::python

PYBIND11_MODULE(_core, m) {
    using namespace velmora;
    using namespace velmora::python;
    m.doc() = "The Velmora model core; use the velmora package.";
    py::register_exception<Eerror>(m, "VelmoraError", PyExc_RuntimeError);
    warningclass = PyErr_NewException("velmora._core.VelmoraWarning", PyExc_UserWarning, nullptr);
    m.attr("VelmoraWarning") = py::handle(warningclass);
    // Where the build put the default workbooks beside the programs.
    m.attr("default_directory") = VELMORA_BIN_DIR;

    m.def("shortest", [](py::array_t<float, py::array::c_style | py::array::forcecast> a) {
        std::vector<std::string> texts;
        const float* x = a.data();
        for (py::ssize_t k = 0; k < a.size(); ++k)
            texts.push_back(shortesttext(x[k]));
        return texts;
    }, "The shortest text that reads back as the same 32-bit float, as the program writes.");
    m.def("substance_names", [](const std::string& path) {
        Tscriptui ui;
        TExcelFile w(ui, path);
        if (!w.isopen())
            throw Eerror(ui.warnings.empty() ? "cannot read " + path : ui.warnings.front());
        return substancenames(w, "VELMORA");
    });

    py::class_<Tsession> session(m, "Session");
    session
        .def(py::init([](const std::string& directory, const std::string& parameters,
                         const std::string& borders, const std::string& substances, int level,
                         const std::string& group) {
                 Tworldoptions o{directory, parameters, borders, substances, level, group};
                 std::unique_ptr<Tsession> s;
                 {
                     py::gil_scoped_release unlocked;
                     s = std::make_unique<Tsession>(o);
                 }
                 tellwarnings(*s);
                 return s;
             }),
             py::arg("directory"), py::arg("parameters") = "", py::arg("borders") = "",
             py::arg("substances") = "", py::arg("level") = 0, py::arg("group") = "")
        .def("substance_names", [](Tsession& s) { return run(s, false, [&] { return s.substancenames(); }); })
        .def("regions", [](Tsession& s) {
            const Tregions& r = s.ws.regions;
            py::dict d;
            std::vector<std::string> names, abbreviations;
            std::vector<bool> land;
            std::vector<float> latitude, longitude;
            for (std::uint32_t i = 1; i <= r.count; ++i) {
                names.push_back(r.name(i));
                abbreviations.push_back(r.abbreviations.getvalue(i));
                land.push_back(r.island(i));
                latitude.push_back(static_cast<float>(r.latitudes.getvalue(i)));
                longitude.push_back(static_cast<float>(r.longitudes.getvalue(i)));
            }
            d["name"] = names;
            d["abbreviation"] = abbreviations;
            d["land"] = land;
            d["latitude"] = latitude;
            d["longitude"] = longitude;
            return d;
        })
        .def("compartments", [](Tsession& s) {
            std::vector<std::pair<std::string, std::string>> c;
            for (std::uint32_t k = 1; k <= s.ws.compartments.count; ++k)
                c.emplace_back(s.ws.compartments.name(k), s.ws.compartments.abbreviations.getvalue(k));
            return c;
        })
        .def("axis", [](Tsession& s, const std::string& kind) { return axisnames(s, kind); })
        .def("factor_regions", [](Tsession& s) {
            Tallfactorsselection d = Tallfactorsselection::defaults(s.ws.model, false);
            std::vector<std::string> names;
            for (std::uint32_t r = 1; r < d.regions.size(); ++r)
                if (d.regions[r]) names.push_back(s.ws.regions.name(r));
            return run(s, false, [&] { return names; });
        })
        .def("substance", [](Tsession& s) { return s.ws.sub.name.value; })
        .def("substance_present", [](Tsession& s) { return s.ws.sub.present; })
        .def("open_substance", [](Tsession& s, const std::string& name) {
            run(s, false, [&] { s.opensubstance(name); return 0; });
        })
        .def("emission", [](Tsession& s) {
            const Temi& e = s.ws.emi;
            if (e.region <= 0 || e.compartment <= 0) return py::object(py::none());
            return py::object(py::make_tuple(
                s.ws.regions.name(static_cast<std::uint32_t>(e.region)),
                s.ws.compartments.name(static_cast<std::uint32_t>(e.compartment)),
                s.ws.settings.EmissionAmount));
        })
        .def("set_emission", [](Tsession& s, const std::string& region, const std::string& c) {
            run(s, false, [&] { s.setemission(region, c); return 0; });
        })
        .def("reference", [](Tsession& s) {
            const Tref& r = s.ws.ref;
            py::dict d;
            if (!r.held()) return d;
            d["substance"] = r.substance;
            d["region"] = r.region > 0 ? s.ws.regions.name(static_cast<std::uint32_t>(r.region))
                                       : std::string();
            d["compartment"] = r.compartment > 0 ? s.ws.compartments.name(r.compartment)
                                                 : std::string();
            d["names"] = std::vector<std::string>(referenceresultnames.begin(),
                                                  referenceresultnames.end());
            d["values"] = floats(std::vector<float>(r.values.begin(), r.values.end()), {14});
            return d;
        })
        .def("set_reference", [](Tsession& s, const std::string& substance,
                                 const std::string& region, const std::string& c) {
            run(s, true, [&] { s.setreference(substance, region, c); return 0; });
        })
        .def("take_reference", [](Tsession& s) { s.takereference(); })
        .def("clear_reference", [](Tsession& s) { s.clearreference(); })
        .def("setting", [](Tsession& s, const std::string& n) { return s.setting(n); })
        .def("set_setting", [](Tsession& s, const std::string& n, double v) {
            run(s, false, [&] { s.setsetting(n, v); return 0; });
        })
        .def("calculate", [](Tsession& s, bool factors, bool inversion) {
            run(s, true, [&] { s.calculate(factors, inversion); return 0; });
        })
        .def("edit", [](Tsession& s, const std::string& name, std::optional<std::string> value,
                        std::uint32_t region) {
            run(s, false, [&] { s.edit(name, value, region); return 0; });
        })
        .def("region_number", [](Tsession& s, const std::string& name) { return s.region(name); })
        .def("names", [](Tsession& s, const std::string& owner) { return s.parameternames(owner); })
        .def("values", [](Tsession& s, const std::string& name, const std::string& owner) {
            return todict(run(s, false, [&] { return s.values(name, owner); }));
        }, py::arg("name"), py::arg("owner") = "")
        .def("matrix", [](Tsession& s, const std::string& name) { return matrixdict(s, name); })
        .def("msr", [](Tsession& s) { return s.ws.regcomps.MSR; })
        .def("balance", [](Tsession& s, const std::string& region, const std::string& c, bool net) {
            return balancedict(run(s, false, [&] { return s.balance(s.regcomp(region, c), net); }));
        })
        .def("explain", [](Tsession& s, const std::string& region, bool dose,
                           const std::string& indicator) {
            std::vector<std::vector<std::string>> breakdowns;
            auto buttons = run(s, false, [&] { return s.explain(region, dose, indicator, breakdowns); });
            return buttonlist(buttons, breakdowns, s, dose);
        })
        .def("check", [](Tsession& s, bool unused, bool negative) { return s.check(unused, negative); })
        .def("all_factors", [](Tsession& s, const std::vector<std::string>& regions,
                               const std::vector<std::string>& compartments, bool inversion) {
            return factortable(s, run(s, true, [&] {
                return s.allfactors(regions, compartments, inversion);
            }));
        })
        .def("warnings", [](Tsession& s) { return s.takewarnings(); });
    binddynamic(session);
}
