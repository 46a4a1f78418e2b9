#include "python/session.h"

#include <algorithm>
#include <variant>

#include "compute/calculation.h"
#include "model/substance.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "toolkit/sheets/excelfile.h"

namespace velmora::python {

bool Tscriptui::editparameter(Teditrequest& request) {
    asked = true;
    if (!answering) return false;
    answering = false;
    request.answerknown = answer.has_value();
    request.answertext = answer.value_or("");
    return true;
}

namespace {

// The warnings since `from`, one a line, to put into an error.
std::string warningssince(const std::vector<std::string>& warnings, std::size_t from) {
    std::string text;
    for (std::size_t k = from; k < warnings.size(); ++k)
        text += (text.empty() ? "" : "\n") + warnings[k];
    return text;
}

Tvalues valuesof(const std::string& owner, const Tnumpar& p) {
    Tvalues v{p.name(), p.unit(), "scalar", owner, true, 1, 1, {p.value}, {}, {p.status}};
    return v;
}

Tvalues valuesof(const std::string& owner, const Tintpar& p) {
    return {p.name(), p.unit(), "scalar", owner, true, 1, 1, {static_cast<float>(p.value)}, {},
            {p.status}};
}

Tvalues valuesof(const std::string& owner, const Tstrpar& p) {
    return {p.name(), p.unit(), "scalar", owner, false, 1, 1, {}, {p.value}, {p.status}};
}

Tvalues valuesof(const std::string& owner, const Tbooleanpar& p) {
    return {p.name(), p.unit(), "scalar", owner, false, 1, 1, {}, {booltostr(p.value)},
            {p.status}};
}

template <typename P, typename F> Tvalues vectorof(const std::string& owner, const P& p, F text) {
    Tvalues v{p.name(), p.unit(), "region", owner, false, p.count(), 1, {}, {}, {}};
    for (std::uint32_t i = 1; i <= p.count(); ++i) {
        v.texts.push_back(text(p.value(i)));
        v.statuses += p.status(i);
    }
    return v;
}

Tvalues valuesof(const std::string& owner, const Tnumpars& p) {
    Tvalues v{p.name(), p.unit(), "region", owner, true, p.count(), 1, {}, {}, {}};
    for (std::uint32_t i = 1; i <= p.count(); ++i) {
        v.numbers.push_back(p.value(i));
        v.statuses += p.status(i);
    }
    return v;
}

Tvalues valuesof(const std::string& owner, const Tstrpars& p) {
    return vectorof(owner, p, [](const std::string& s) { return s; });
}

Tvalues valuesof(const std::string& owner, const Tbooleanpars& p) {
    return vectorof(owner, p, [](bool b) { return booltostr(b); });
}

Tvalues valuesof(const std::string& owner, const Tnumparss& p) {
    const std::uint32_t n = p.count();
    Tvalues v{p.name(), p.unit(), "pair", owner, true, n, n, {}, {}, {}};
    v.numbers.reserve(std::size_t(n) * n);
    for (std::uint32_t r = 1; r <= n; ++r)
        for (std::uint32_t c = 1; c <= n; ++c) {
            v.numbers.push_back(p.value(r, c));
            v.statuses += p.status(r, c);
        }
    return v;
}

} // namespace

Tsession::Tsession(const Tworldoptions& o) : ws(ui, o.directory) {
    Tsettings& s = ws.settings;
    if (!o.parameters.empty()) s.ParametersFile = o.parameters;
    if (!o.borders.empty()) s.BordersFile = o.borders;
    if (!o.substances.empty()) s.SubstancesFile = o.substances;
    if (o.level < 0 || o.level > 15) throw Eerror("the aggregation level must be 0..15");
    s.AggregationLevel = static_cast<std::uint8_t>(o.level);
    s.AggregationGroup = o.group;
    // An aggregation the workbook cannot build would read the world whole
    // after a warning: another world than asked for.
    if (s.AggregationLevel != 0) {
        TExcelFile w(ui, s.ParametersFile);
        if (w.isopen()) {
            std::string problem = aggregationproblem(w, s.AggregationLevel, s.AggregationGroup);
            if (!problem.empty()) throw Eerror(problem);
        }
    }
    ws.initialize(true);
    if (!ws.env.present)
        throw Eerror("no environment was imported from " + s.ParametersFile + " and " +
                     s.BordersFile +
                     (ui.warnings.empty() ? std::string() : ": " + warningssince(ui.warnings, 0)));
}

std::vector<std::string> Tsession::takewarnings() {
    std::vector<std::string> w;
    w.swap(ui.warnings);
    return w;
}

std::vector<std::string> Tsession::substancenames() {
    if (!ws.opensubstancesworkbook())
        throw Eerror("cannot read the substances workbook " + ws.settings.SubstancesFile);
    return velmora::substancenames(*ws.SubstancesWorkbook, "VELMORA");
}

std::uint32_t Tsession::region(const std::string& name) const {
    std::uint32_t r = ws.regions.find(name);
    if (r == 0) throw Eerror("unknown region \"" + name + "\"");
    return r;
}

std::uint32_t Tsession::compartment(const std::string& name) const {
    std::uint32_t c = ws.compartments.find(name);
    if (c == 0) throw Eerror("unknown compartment \"" + name + "\"");
    return c;
}

std::uint32_t Tsession::regcomp(const std::string& r, const std::string& c) const {
    return Tregcomps::regcompnumber(region(r), compartment(c));
}

void Tsession::opensubstance(const std::string& name) {
    std::vector<std::string> names = substancenames();
    if (std::find(names.begin(), names.end(), name) == names.end())
        throw Eerror("unknown substance \"" + name + "\" in " +
                     ws.SubstancesWorkbook->workbookname());
    ws.opensubstance(name);
}

void Tsession::setemission(const std::string& r, const std::string& c) {
    std::uint32_t b = region(r), k = compartment(c);
    if (!ws.emi.set(b, k))
        throw Eerror("no emission can go to " +
                     ws.regcomps.regcompname(Tregcomps::regcompnumber(b, k)));
}

void Tsession::setreference(const std::string& substance, const std::string& r,
                            const std::string& c) {
    const std::string before = ws.sub.name.value;
    const std::int32_t region = ws.emi.region, compartment = ws.emi.compartment;
    const bool factors = ws.settings.FactorsMode;
    ws.settings.FactorsMode = false;
    opensubstance(substance);
    if (!ws.sub.present)
        throw Eerror("the reference substance \"" + substance + "\" is not complete");
    setemission(r, c);
    // A reference that cannot be calculated has no values to hold.
    if (!ws.calculate())
        throw Eerror("the reference substance \"" + substance +
                     "\" cannot be calculated (no steady state)");
    ws.takereference();
    ws.settings.FactorsMode = factors;
    ws.opensubstance(before);
    ws.emi.set(static_cast<std::uint32_t>(region), static_cast<std::uint32_t>(compartment));
}

void Tsession::takereference() {
    ws.takereference();
}

void Tsession::clearreference() {
    ws.ref.clear();
}

void Tsession::setsetting(const std::string& name, double value) {
    Tsettings& s = ws.settings;
    auto small = [&](int high) {
        if (value < 0 || value > high || value != static_cast<int>(value))
            throw Eerror(name + " must be a whole number 0.." + std::to_string(high));
        return static_cast<std::uint8_t>(value);
    };
    if (name == "EmissionAmount") {
        s.EmissionAmount = static_cast<float>(value);
        // The emission already set holds the amount it was given.
        if (ws.emi.region > 0) ws.emi.set(ws.emi.region, ws.emi.compartment);
    } else if (name == "InfValue") {
        s.InfValue = static_cast<float>(value);
    } else if (name == "WithRestime") {
        s.WithRestime = value != 0;
    } else if (name == "FactorsMode") {
        s.FactorsMode = value != 0;
    } else if (name == "Digits") {
        s.Digits = small(15);
    } else if (name == "NBordersDisplay") {
        s.NBordersDisplay = small(2);
    } else if (name == "DistancesDisplay") {
        s.DistancesDisplay = small(2);
    } else {
        throw Eerror("unknown setting \"" + name + "\"");
    }
}

double Tsession::setting(const std::string& name) const {
    const Tsettings& s = ws.settings;
    if (name == "EmissionAmount") return s.EmissionAmount;
    if (name == "InfValue") return s.InfValue;
    if (name == "WithRestime") return s.WithRestime;
    if (name == "FactorsMode") return s.FactorsMode;
    if (name == "Digits") return s.Digits;
    if (name == "NBordersDisplay") return s.NBordersDisplay;
    if (name == "DistancesDisplay") return s.DistancesDisplay;
    if (name == "AggregationLevel") return s.AggregationLevel;
    throw Eerror("unknown setting \"" + name + "\"");
}

void Tsession::calculate(bool factors, bool useinversion) {
    if (!ws.sub.present) throw Eerror("the substance \"" + ws.sub.name.value + "\" is not complete");
    ws.settings.FactorsMode = factors;
    const std::size_t from = ui.warnings.size();
    if (!ws.calculate(useinversion))
        throw Eerror("the system matrix is singular" +
                     (ui.warnings.size() > from ? ": " + warningssince(ui.warnings, from)
                                                : std::string()));
}

void Tsession::edit(const std::string& name, const std::optional<std::string>& value,
                    std::uint32_t region) {
    const bool environment = ws.env.find(name) != nullptr;
    const bool substance = ws.sub.find(name) != nullptr;
    const std::array<Tnumpars*, 8> emissions = ws.emi.parameters();
    const bool emission = std::any_of(emissions.begin(), emissions.end(),
                                      [&](const Tnumpars* p) { return p->name() == name; });
    if (!environment && !substance && !emission)
        throw Eerror("no parameter of the environment, the substance or the emission is called \"" +
                     name + "\"");
    if (name == "substype")
        throw Eerror("the substance type is chosen in the Substance type dialog, not edited");
    ui.answering = true;
    ui.answer = value;
    ui.asked = false;
    const std::size_t from = ui.warnings.size();
    if (environment) ws.env.edit(name, region);
    if (substance) ws.sub.edit(name, region);
    if (emission) ws.emi.edit(name, region);
    ui.answering = false;
    if (!ui.asked) {
        // The refusal is the error; it is not told again as a warning.
        std::string why = ui.warnings.size() > from ? warningssince(ui.warnings, from)
                                                    : name + " cannot be edited";
        ui.warnings.resize(from);
        throw Eerror(why);
    }
}

Tvalues Tsession::values(const std::string& name, const std::string& owner) {
    if (!owner.empty() && owner != "results" && owner != "environment" && owner != "substance" &&
        owner != "emission" && owner != "regcomps")
        throw Eerror("no parameters belong to \"" + owner + "\"");
    auto visit = [](const std::string& owner, const auto& parameter) {
        return std::visit([&](auto* p) { return valuesof(owner, *p); }, parameter);
    };
    auto in = [&](const char* o) { return owner.empty() || owner == o; };
    if (const Tresultentry* e = ws.results.find(name); e && in("results"))
        return visit("results", e->parameter);
    if (const Tenventry* e = ws.env.find(name); e && in("environment"))
        return visit("environment", e->parameter);
    if (const Tsubentry* e = ws.sub.find(name); e && in("substance"))
        return visit("substance", e->parameter);
    for (Tnumpars* p : ws.emi.parameters())
        if (p->name() == name && in("emission")) return valuesof("emission", *p);
    if (!in("regcomps"))
        throw Eerror("no parameter of the " + owner + " is called \"" + name + "\"");
    if (name == "ADV" || name == "DIFF" || name == "Abig" || name == "Abig^-1") {
        Tnumparss& p = name == "ADV"    ? ws.regcomps.ADV
                       : name == "DIFF" ? ws.regcomps.DIFF
                       : name == "Abig" ? ws.regcomps.Abig
                                        : ws.regcomps.Abiginverse;
        Tvalues v = valuesof("regcomps", p);
        v.kind = "regcomp pair";
        return v;
    }
    return regcompvalues(name);
}

std::vector<std::string> Tsession::parameternames(const std::string& owner) {
    std::vector<std::string> names;
    if (owner == "results")
        for (const Tresultentry& e : ws.results.catalogue())
            names.push_back(e.name());
    else if (owner == "environment")
        for (const Tenventry& e : ws.env.catalogue())
            names.push_back(e.name());
    else if (owner == "substance")
        for (const Tsubentry& e : ws.sub.catalogue())
            names.push_back(e.name());
    else if (owner == "emission")
        for (Tnumpars* p : ws.emi.parameters())
            names.push_back(p->name());
    else if (owner == "regcomps")
        names = {"exists", "AREA", "V",    "kdeg", "ADV_outside", "EMIS",
                 "CONC",   "MASS", "RESTIME", "EMISprime"};
    else
        throw Eerror("no parameters belong to \"" + owner + "\"");
    return names;
}

Tvalues Tsession::regcompvalues(const std::string& name) {
    Tregcomps& rc = ws.regcomps;
    if (name == "exists") {
        Tvalues v{"exists", "-", "regcomp", "regcomps", false, rc.n, 1, {}, {}, {}};
        for (std::uint32_t k = 1; k <= rc.n; ++k) {
            bool exists = k <= rc.existsflags.count() && rc.existsflags.getvalue(k);
            v.texts.push_back(booltostr(exists));
            v.statuses += stDefault;
        }
        return v;
    }
    for (Tnumpars* p : {&rc.AREA, &rc.V, &rc.kdeg, &rc.ADV_outside, &rc.EMIS, &rc.CONC, &rc.MASS,
                        &rc.RESTIME, &rc.EMISprime}) {
        if (p->name() != name) continue;
        // A quantity the last calculation did not make has no elements.
        Tvalues v{p->name(), p->unit(), "regcomp", "regcomps", true, rc.n, 1, {}, {}, {}};
        for (std::uint32_t k = 1; k <= rc.n; ++k) {
            bool held = k <= p->count();
            v.numbers.push_back(held ? p->value(k) : 0.0f);
            v.statuses += held ? p->status(k) : stUnknown;
        }
        return v;
    }
    throw Eerror("no result, environment, substance, emission or regcomp parameter is called \"" +
                 name + "\"");
}

const Tnummatrix& Tsession::matrix(const std::string& name) {
    Tregcomps& rc = ws.regcomps;
    const std::pair<const char*, const Tnummatrix*> factors[] = {
        {"FF", &rc.FF},   {"XF1", &rc.XF1},     {"XF2", &rc.XF2},    {"XF", &rc.XF},
        {"XF*FF", &rc.XFFF}, {"EFeco", &rc.EFeco}, {"EFhum", &rc.EFhum}};
    for (const auto& [n, m] : factors)
        if (name == n) {
            if (!ws.settings.FactorsMode || rc.Abiginverse.count() == 0)
                throw Eerror("the factor matrices are made by a calculation in Factors mode");
            return *m;
        }
    throw Eerror("no factor matrix is called \"" + name + "\"");
}

Tbalance Tsession::balance(std::uint32_t regcomp, bool net) {
    std::string why = noconcentrations(ws.model);
    if (!why.empty()) throw Eerror(why);
    return net ? netbalance(ws.model, regcomp) : grossbalance(ws.model, regcomp);
}

std::vector<Tbreakdownbutton> Tsession::explain(const std::string& name, bool dose,
                                                const std::string& indicatortext,
                                                std::vector<std::vector<std::string>>& breakdowns) {
    std::string why = noconcentrations(ws.model);
    if (!why.empty()) throw Eerror(why);
    Tindicator indicator = Tindicator::none;
    if (indicatortext == "each")
        indicator = Tindicator::eachcompartment;
    else if (indicatortext == "region")
        indicator = Tindicator::region;
    else if (indicatortext == "world")
        indicator = Tindicator::world;
    else if (indicatortext != "none")
        throw Eerror("the indicator must be none, each, region or world");
    Tmodel& m = ws.model;
    std::uint32_t item = 0;
    if (name == "World")
        item = dose ? doseworlditem(m) : worlditem(m);
    else if (!dose && name == "Countries")
        item = ws.regions.count + 2;
    else if (!dose && name == "Seas")
        item = ws.regions.count + 3;
    else if ((item = region(name)) && dose && !ws.regions.island(item))
        throw Eerror("\"" + name + "\" is no land region; doses are per land region or World");
    std::vector<Tbreakdownbutton> buttons =
        dose ? doseview(m, item, indicator) : distributionview(m, item, indicator);
    breakdowns.clear();
    for (const Tbreakdownbutton& b : buttons)
        breakdowns.push_back(!b.visible ? std::vector<std::string>()
                             : dose     ? routebreakdown(m, item, b.item)
                                        : compartmentbreakdown(m, item, b.item));
    return buttons;
}

std::vector<std::string> Tsession::check(bool unused, bool negative) {
    std::vector<std::string> lines;
    ws.env.check(lines, unused, negative);
    ws.sub.check(lines, unused, negative);
    ws.results.check(lines, unused, negative, ws.regcomps.MSR);
    return lines;
}

Tfactortable Tsession::allfactors(const std::vector<std::string>& regions,
                                  const std::vector<std::string>& compartments,
                                  bool useinversion) {
    if (!ws.sub.present) throw Eerror("the substance \"" + ws.sub.name.value + "\" is not complete");
    ws.settings.FactorsMode = false;
    Tallfactorsselection s = Tallfactorsselection::defaults(ws.model, false);
    s.useinversion = useinversion;
    if (!regions.empty()) {
        s.regions.assign(s.regions.size(), false);
        for (const std::string& r : regions)
            s.regions[region(r)] = true;
    }
    if (!compartments.empty()) {
        s.compartments.fill(false);
        for (const std::string& c : compartments)
            s.compartments[compartment(c)] = true;
    }
    Tsilentprogress progress;
    const std::size_t from = ui.warnings.size();
    Tallfactorsrun run = runallfactors(ws.model, s, progress);
    if (run.singular)
        throw Eerror("the system matrix is singular" +
                     (ui.warnings.size() > from ? ": " + warningssince(ui.warnings, from)
                                                : std::string()));
    Tfactortable t;
    t.cancelled = run.cancelled;
    for (const Tallfactorsrow& row : run.rows) {
        if (!row.computed) continue;
        t.regcomps.push_back(row.regcomp);
        for (int k = 0; k < 7; ++k) {
            t.values.push_back(row.pot[k]);
            t.known.push_back(row.potknown[k]);
        }
        for (int k = 0; k < 7; ++k) {
            t.values.push_back(row.act[k]);
            t.known.push_back(row.actknown[k]);
        }
    }
    return t;
}

} // namespace velmora::python
