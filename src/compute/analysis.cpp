#include "compute/analysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <utility>

#include "numeric/utilities.h"

namespace velmora {

namespace {

// Amounts are kept in single precision: a product is formed in extended
// precision and rounded when stored. Sums add the stored amounts in extended
// precision and are rounded once: rounded at every addition, the total of a
// box fed by hundreds of neighbours drifted by as many units of the last
// place, and the residence time with it.
float single(extended x) {
    return static_cast<float>(x);
}

std::string shortnumber(const Tmodel& m, float x) {
    return numtostr(x, m.settings().Digits);
}

std::string longnumber(const Tmodel& m, float x) {
    return numtostr(static_cast<extended>(x), m.settings().Digits);
}

} // namespace

std::string noconcentrations(const Tmodel& m) {
    const Tregcomps& rcs = m.regcomps;
    if (m.settings().FactorsMode)
        return "The results were calculated as factors: they hold no concentrations.";
    if (rcs.n == 0 || rcs.CONC.count() < rcs.n) return "The results hold no concentrations.";
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        if (!rcs.CONC.isunknown(k)) return {};
    return "The concentrations are unknown: the calculation failed (singular matrix).";
}

// ---- mass balance -----------------------------------------------------------

std::vector<std::vector<std::string>> Tbalance::cells() const {
    std::vector<std::vector<std::string>> out;
    out.reserve(rows.size());
    for (const Tbalancerow& row : rows) {
        if (net)
            out.push_back({row.number, row.regcomp, row.amounttext});
        else
            out.push_back(
                {row.number, row.type, row.direction, row.regcomp, row.amounttext, row.percent});
    }
    return out;
}

std::string balancepercent(float amount, float total) {
    if (total == 0) return "-";
    // nearbyint rounds half to even in the default rounding mode.
    const extended percent =
        std::nearbyint(100.0L * static_cast<extended>(amount) / static_cast<extended>(total));
    return numtostr(percent, 18);
}

namespace {

// What the rows of both tables read of regcomp a and its partners.
struct Tbalancereader {
    Tmodel& m;
    Tregcomps& rcs;
    std::uint32_t a;
    float Ca;

    Tbalancereader(Tmodel& model, std::uint32_t box)
        : m(model), rcs(model.regcomps), a(box), Ca(model.regcomps.CONC.get(box)) {}

    std::string number(std::uint32_t k) const { return std::to_string(k); }
    std::string name(std::uint32_t k) const { return rcs.regcompname(k); }

    // The mass row and, when the inflow is not 0, the residence time row.
    void massrows(std::vector<Tbalancerow>& rows, float inflow, bool net) {
        const float mass = single(static_cast<extended>(rcs.V.get(a)) * Ca);
        if (mass == 0) return;
        rows.push_back({number(a), "mass (kg)", "in", name(a), mass, shortnumber(m, mass), "-"});
        if (net) rows.back().regcomp = "mass (kg)";
        if (inflow == 0) return;
        const float restime = single(static_cast<extended>(mass) / inflow);
        rows.push_back(
            {number(a), "residence time (s)", "in", name(a), restime, longnumber(m, restime), "-"});
        if (net) rows.back().regcomp = "residence time (s)";
    }
};

// The ADV and DIFF amounts between regcomp a and every regcomp t, into a
// (inward) or out of it, and their sum, in the order the table sums them.
struct Tflowamounts {
    std::vector<float> adv, diff;
    extended sum = 0;
};

Tflowamounts flowamounts(Tbalancereader& r, bool inward) {
    Tregcomps& rcs = r.rcs;
    const std::uint32_t a = r.a;
    Tflowamounts f;
    f.adv.assign(rcs.n + 1, 0);
    f.diff.assign(rcs.n + 1, 0);
    for (std::uint32_t t = 1; t <= rcs.n; ++t) {
        const extended C = inward ? rcs.CONC.get(t) : r.Ca;
        f.adv[t] = single((inward ? rcs.ADV.get(t, a) : rcs.ADV.get(a, t)) * C);
        f.diff[t] = single((inward ? rcs.DIFF.get(t, a) : rcs.DIFF.get(a, t)) * C);
        f.sum += static_cast<extended>(f.adv[t]) + f.diff[t];
    }
    return f;
}

} // namespace

Tbalance grossbalance(Tmodel& m, std::uint32_t a) {
    Tbalance b;
    b.net = false;
    b.headings = {"#", "Type", "Direction", "Regcomp", "Amount (kg*s^-1)", "%"};
    Tbalancereader r(m, a);
    Tregcomps& rcs = m.regcomps;
    const extended Ca = r.Ca;

    const Tflowamounts to = flowamounts(r, false);
    const float outside = single(rcs.ADV_outside.get(a) * Ca);
    const float degraded = single(rcs.kdeg.get(a) * Ca * rcs.V.get(a));
    const float out = single(to.sum + outside + degraded);
    const Tflowamounts from = flowamounts(r, true);
    const float emission = rcs.EMIS.get(a);
    const float in = single(from.sum + emission);

    auto add = [&](std::string number, const char* type, const char* direction, std::string regcomp,
                   float amount, float total) {
        if (amount == 0) return;
        b.rows.push_back({std::move(number), type, direction, std::move(regcomp), amount,
                          shortnumber(m, amount), balancepercent(amount, total)});
    };
    auto addflows = [&](const Tflowamounts& f, const char* direction, float total) {
        for (std::uint32_t t = 1; t <= rcs.n; ++t)
            add(r.number(t), "ADV", direction, r.name(t), f.adv[t], total);
        for (std::uint32_t t = 1; t <= rcs.n; ++t)
            add(r.number(t), "DIFF", direction, r.name(t), f.diff[t], total);
    };
    addflows(to, "to", out);
    add("0", "ADV", "to", "outside", outside, out);
    add("0", "kdeg", "to", "outside", degraded, out);
    addflows(from, "from", in);
    add("0", "EMIS", "from", "outside", emission, in);
    // A total is 100 % of itself even when it is 0.
    add("0", "total", "to", "everywhere", out, out);
    add("0", "total", "from", "everywhere", in, in);
    r.massrows(b.rows, in, false);
    return b;
}

Tbalance netbalance(Tmodel& m, std::uint32_t a) {
    Tbalance b;
    b.net = true;
    b.headings = {"#", "Regcomp", "Amount (kg*s^-1)"};
    Tbalancereader r(m, a);
    Tregcomps& rcs = m.regcomps;
    const extended Ca = r.Ca;
    extended sum = 0;
    for (std::uint32_t l = 1; l <= rcs.n; ++l) {
        const extended C = rcs.CONC.get(l);
        const float net = single(rcs.ADV.get(l, a) * C - rcs.ADV.get(a, l) * Ca +
                                 (rcs.DIFF.get(l, a) * C - rcs.DIFF.get(a, l) * Ca));
        if (net == 0) continue;
        b.rows.push_back({r.number(l), "", "", r.name(l), net, shortnumber(m, net), ""});
        sum += net;
    }
    const float outside =
        single(rcs.EMIS.get(a) - rcs.ADV_outside.get(a) * Ca - rcs.kdeg.get(a) * Ca * rcs.V.get(a));
    if (outside != 0) {
        b.rows.push_back({"0", "", "", "outside", outside, shortnumber(m, outside), ""});
        sum += outside;
    }
    const float total = single(sum);
    if (total != 0) b.rows.push_back({"0", "", "", "total", total, shortnumber(m, total), ""});
    // Dividing by the net total, the steady state's residual, would give a
    // number without meaning; the time the substance stays is the mass over
    // what flows in.
    const float inflow = single(flowamounts(r, true).sum + rcs.EMIS.get(a));
    r.massrows(b.rows, inflow, true);
    return b;
}

// ---- distribution and dose ------------------------------------------------

const std::array<std::uint32_t, 12> distributioncompartments = {
    air, river, lake, saltlake, nat, agr, urb, lakesed, saltlakesed, groundwater, seawater, seased};

const std::array<std::uint32_t, 8> doseroutes = {
    rtair, rtdrw, rtleafcrops, rtrootcrops, rtfreshwaterfish, rtseafish, rtmeat, rtdairy};

bool barposition(float part, float whole, int& position) {
    if (!(whole > 0)) return false;
    const extended share =
        std::nearbyint(100.0L * static_cast<extended>(part) / static_cast<extended>(whole));
    // A share outside 0..100 (negative masses, a part larger than its whole)
    // still sets the bar, at its end.
    position = share < 0 ? 0 : share > 100 ? 100 : static_cast<int>(share);
    return true;
}

namespace {

// Masses C x V read once per view; a region or aggregate sum reads only
// the regcomps it covers, so only those count as used.
class Tmasses {
public:
    explicit Tmasses(Tmodel& m) : m_(m) {}
    float mass(std::uint32_t i, std::uint32_t c) {
        const std::uint32_t x = Tregcomps::regcompnumber(i, c);
        auto it = cache_.find(x);
        if (it != cache_.end()) return it->second;
        Tregcomps& rcs = m_.regcomps;
        const float v = single(static_cast<extended>(rcs.CONC.get(x)) * rcs.V.get(x));
        cache_.emplace(x, v);
        return v;
    }
    // Sum over regions first..last of compartment c, or of every
    // compartment when c is 0.
    float sum(std::uint32_t first, std::uint32_t last, std::uint32_t c) {
        float s = 0;
        for (std::uint32_t i = first; i <= last; ++i) {
            if (c != 0) {
                s = single(s + static_cast<extended>(mass(i, c)));
                continue;
            }
            for (std::uint32_t k = 1; k <= ncompartments; ++k)
                s = single(s + static_cast<extended>(mass(i, k)));
        }
        return s;
    }

private:
    Tmodel& m_;
    std::map<std::uint32_t, float> cache_;
};

void setbar(Tbreakdownbutton& button, Tindicator indicator, float part,
            const std::function<float()>& whole) {
    button.barvisible = false;
    button.position = 0;
    if (indicator == Tindicator::none || !button.visible) return;
    button.barvisible = barposition(part, whole(), button.position);
}

} // namespace

std::vector<Tbreakdownbutton> distributionview(Tmodel& m, std::uint32_t s, Tindicator indicator) {
    const std::uint32_t n = m.regions.count, L = m.regions.nland;
    Tmasses masses(m);
    std::vector<Tbreakdownbutton> buttons;
    for (std::uint32_t c : distributioncompartments) {
        Tbreakdownbutton button;
        button.item = c;
        const std::string name = m.compartments.name(c);
        // The range of regions an aggregate covers.
        std::uint32_t first = 1, last = n;
        if (s == n + 2) last = L;
        if (s == n + 3) first = L + 1;
        float part = 0;
        if (s >= 1 && s <= n) {
            const std::uint32_t x = Tregcomps::regcompnumber(s, c);
            Tregcomps& rcs = m.regcomps;
            if (indicator == Tindicator::none) {
                const float C = rcs.CONC.get(x);
                const float mass = single(static_cast<extended>(C) * rcs.V.get(x));
                button.caption = {name, "C = " + shortnumber(m, C),
                                  "m = " + longnumber(m, mass) + " kg"};
            } else {
                button.caption = {name};
            }
            button.visible = m.regcomps.exists(x);
            if (button.visible && indicator != Tindicator::none) part = masses.mass(s, c);
        } else {
            if (indicator == Tindicator::none)
                button.caption = {name,
                                  "m = " + shortnumber(m, masses.sum(first, last, c)) + " kg"};
            else
                button.caption = {name};
            if (s == n + 2) button.visible = c != seawater && c != seased;
            if (s == n + 3) button.visible = c == air || c == seawater || c == seased;
            if (button.visible && indicator != Tindicator::none) part = masses.sum(first, last, c);
        }
        setbar(button, indicator, part, [&]() -> float {
            switch (indicator) {
            case Tindicator::eachcompartment:
                return masses.sum(first, last, c);
            case Tindicator::region:
                return s <= n ? masses.sum(s, s, 0) : masses.sum(first, last, 0);
            case Tindicator::world:
                return masses.sum(1, n, 0);
            case Tindicator::none:
                break;
            }
            return 0;
        });
        buttons.push_back(std::move(button));
    }
    return buttons;
}

namespace {

struct Troute {
    Tnumpars Tresults::*dose;
    Tnumpar Tresults::*intake;
    Tnumpars Tresults::*concentration;
};

Troute routeof(std::uint32_t k) {
    switch (k) {
    case rtair:
        return {&Tresults::DOSE_air, &Tresults::INTAKE_air, &Tresults::C_air};
    case rtleafcrops:
        return {&Tresults::DOSE_leafcrops, &Tresults::INTAKE_leafcrops, &Tresults::C_leafcrops};
    case rtrootcrops:
        return {&Tresults::DOSE_rootcrops, &Tresults::INTAKE_rootcrops, &Tresults::C_rootcrops};
    case rtfreshwaterfish:
        return {&Tresults::DOSE_freshwaterfish, &Tresults::INTAKE_freshwaterfish,
                &Tresults::C_freshwaterfish};
    case rtseafish:
        return {&Tresults::DOSE_seafish, &Tresults::INTAKE_seafish, &Tresults::C_seafish};
    case rtmeat:
        return {&Tresults::DOSE_meat, &Tresults::INTAKE_meat, &Tresults::C_meat};
    case rtdairy:
        return {&Tresults::DOSE_dairy, &Tresults::INTAKE_dairy, &Tresults::C_dairy};
    default:
        return {&Tresults::DOSE_drw, &Tresults::INTAKE_drw, &Tresults::C_drw};
    }
}

// Intakes of land regions, each read once per view.
class Tintakes {
public:
    explicit Tintakes(Tmodel& m) : m_(m) {}
    // dose times body weight times population of land region i.
    float intake(Tnumpars& dose, std::uint32_t i) {
        const auto key = std::make_pair(&dose, i);
        auto it = cache_.find(key);
        if (it != cache_.end()) return it->second;
        const float v =
            single(static_cast<extended>(dose.get(i)) * m_.env.BW.get(i) * m_.env.Npop.get(i));
        cache_.emplace(key, v);
        return v;
    }
    float sum(Tnumpars& dose) {
        float s = 0;
        for (std::uint32_t i = 1; i <= m_.regions.nland; ++i)
            s = single(s + static_cast<extended>(intake(dose, i)));
        return s;
    }

private:
    Tmodel& m_;
    std::map<std::pair<const Tnumpars*, std::uint32_t>, float> cache_;
};

} // namespace

std::vector<Tbreakdownbutton> doseview(Tmodel& m, std::uint32_t s, Tindicator indicator) {
    const std::uint32_t L = m.regions.nland;
    const bool world = s > L;
    Tresults& res = m.results;
    Tintakes intakes(m);
    std::vector<Tbreakdownbutton> buttons;
    for (std::uint32_t k : doseroutes) {
        const Troute route = routeof(k);
        Tnumpars& dose = res.*route.dose;
        Tnumpar& intake = res.*route.intake;
        Tbreakdownbutton button;
        button.item = k;
        const std::string name = Tregcomps::routename(k);
        float part = 0;
        if (world) {
            const float total = intake.get();
            button.caption = {name};
            if (indicator == Tindicator::none)
                button.caption.push_back("INTAKE = " + shortnumber(m, total));
            part = total;
        } else {
            part = intakes.intake(dose, s);
            button.caption = {name};
            if (indicator == Tindicator::none) {
                button.caption.push_back("DOSE = " + shortnumber(m, dose.get(s)));
                button.caption.push_back("INTAKE = " + longnumber(m, part));
            }
        }
        setbar(button, indicator, part, [&]() -> float {
            switch (indicator) {
            case Tindicator::eachcompartment:
                return intakes.sum(dose);
            case Tindicator::region:
                return world ? res.INTAKE_total.get() : intakes.intake(res.DOSE_total, s);
            case Tindicator::world:
                return intakes.sum(res.DOSE_total);
            case Tindicator::none:
                break;
            }
            return 0;
        });
        buttons.push_back(std::move(button));
    }
    return buttons;
}

std::vector<std::string> compartmentbreakdown(Tmodel& m, std::uint32_t s, std::uint32_t c) {
    if (s < 1 || s > m.regions.count) return {};
    Tregcomps& rcs = m.regcomps;
    const std::uint32_t x = Tregcomps::regcompnumber(s, c);
    const float C = rcs.CONC.get(x);
    const float V = rcs.V.get(x);
    const float mass = single(static_cast<extended>(C) * V);
    return {"Region = " + m.regions.name(s), "Compartment = " + m.compartments.name(c),
            rcs.MASS.name() + " = " + longnumber(m, mass) + " " + rcs.MASS.unit(),
            rcs.V.name() + " = " + shortnumber(m, V) + " " + rcs.V.unit(),
            rcs.CONC.name() + " = " + shortnumber(m, C) + " " + rcs.CONC.unit()};
}

std::vector<std::string> routebreakdown(Tmodel& m, std::uint32_t s, std::uint32_t k) {
    const Troute route = routeof(k);
    Tresults& res = m.results;
    Tnumpar& intake = res.*route.intake;
    const std::string name = Tregcomps::routename(k);
    if (s > m.regions.nland) {
        std::vector<std::string> lines = {"Region = world"};
        if (k == rtair || k == rtdrw) {
            lines.push_back("Route = " + name);
            lines.push_back(intake.name() + " = " + shortnumber(m, intake.get()) + " " +
                            intake.unit());
        }
        return lines;
    }
    Tnumpars& dose = res.*route.dose;
    Tnumpars& concentration = res.*route.concentration;
    const float C = concentration.get(s);
    const float D = dose.get(s);
    const float I = single(static_cast<extended>(D) * m.env.BW.get(s) * m.env.Npop.get(s));
    return {"Region = " + m.regions.name(s), "Route = " + name,
            concentration.name() + " = " + shortnumber(m, C) + " " + concentration.unit(),
            dose.name() + " = " + shortnumber(m, D) + " " + dose.unit(),
            intake.name() + " = " + longnumber(m, I) + " " + intake.unit()};
}

} // namespace velmora
