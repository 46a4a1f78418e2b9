// The system solve: the region-level flows, volumes and rate constants turned
// into regcomp-level transport terms, the steady-state mass balance of all
// regcomps as one matrix Abig, and then either the concentrations for the
// current emission (Concentration mode) or the inverse of Abig with the fate,
// exposure and effect factor matrices (Factors mode).
//
// Abig(i, h), h != i, is the inflow into regcomp i from h; Abig(i, i) is minus
// every loss of i (degradation, outflow to other regcomps, loss to outside
// the model). With EMIS the emission into each regcomp the steady state is
// Abig * CONC + EMIS = 0, so CONC = -Abig^-1 * EMIS and the fate factors are
// FF = -Abig^-1.
//
// Speed: n is twelve times the region count (3,468 for the full world), so
// nothing here walks the n x n cells of the flow matrices except their
// unavoidable reset; the flows are gathered from the stored non-zero items
// of DIFF and ADV, and the solvers take their sparse path.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compute/calculation.h"
#include "compute/foodchain.h"
#include "numeric/inversion.h"

namespace velmora {

namespace {

std::uint32_t rc(std::uint32_t r, std::uint32_t c) {
    return Tregcomps::regcompnumber(r, c);
}

// A flow between two compartments of one region and the per-region result
// that holds it.
struct Tregionflow {
    std::uint32_t from, to;
    Tnumpars Tresults::*flow;
};

// A flow between compartments of two different regions and the pair result
// that holds it.
struct Tpairflow {
    std::uint32_t from, to;
    Tnumparss Tresults::*flow;
};

const Tregionflow diffusiveflows[] = {
    {air, nat, &Tresults::DIFF_air_nat},
    {air, agr, &Tresults::DIFF_air_agr},
    {air, urb, &Tresults::DIFF_air_urb},
    {air, lake, &Tresults::DIFF_air_lake},
    {air, saltlake, &Tresults::DIFF_air_saltlake},
    {air, seawater, &Tresults::DIFF_air_seawater},
    {nat, air, &Tresults::DIFF_nat_air},
    {agr, air, &Tresults::DIFF_agr_air},
    {urb, air, &Tresults::DIFF_urb_air},
    {lake, air, &Tresults::DIFF_lake_air},
    {saltlake, air, &Tresults::DIFF_saltlake_air},
    {seawater, air, &Tresults::DIFF_seawater_air},
    {lake, lakesed, &Tresults::DIFF_lake_lakesed},
    {lakesed, lake, &Tresults::DIFF_lakesed_lake},
    {saltlake, saltlakesed, &Tresults::DIFF_saltlake_saltlakesed},
    {saltlakesed, saltlake, &Tresults::DIFF_saltlakesed_saltlake},
    {seawater, seased, &Tresults::DIFF_seawater_seased},
    {seased, seawater, &Tresults::DIFF_seased_seawater},
};

const Tregionflow advectiveflows[] = {
    {air, nat, &Tresults::ADV_air_nat},
    {air, agr, &Tresults::ADV_air_agr},
    {air, urb, &Tresults::ADV_air_urb},
    {air, lake, &Tresults::ADV_air_lake},
    {air, saltlake, &Tresults::ADV_air_saltlake},
    {air, seawater, &Tresults::ADV_air_seawater},
    {nat, river, &Tresults::ADV_nat_river},
    {nat, groundwater, &Tresults::ADV_nat_groundwater},
    {agr, river, &Tresults::ADV_agr_river},
    {agr, groundwater, &Tresults::ADV_agr_groundwater},
    {urb, river, &Tresults::ADV_urb_river},
    {urb, groundwater, &Tresults::ADV_urb_groundwater},
    {river, agr, &Tresults::ADV_river_agr},
    {river, lake, &Tresults::ADV_river_lake},
    {river, saltlake, &Tresults::ADV_river_saltlake},
    {lake, river, &Tresults::ADV_lake_river},
    {lake, lakesed, &Tresults::ADV_lake_lakesed},
    {saltlake, saltlakesed, &Tresults::ADV_saltlake_saltlakesed},
    {saltlakesed, saltlake, &Tresults::ADV_saltlakesed_saltlake},
    {groundwater, agr, &Tresults::ADV_groundwater_agr},
    {groundwater, river, &Tresults::ADV_groundwater_river},
    {seawater, seased, &Tresults::ADV_seawater_seased},
    {seased, seawater, &Tresults::ADV_seased_seawater},
};

const Tpairflow interregionflows[] = {
    {air, air, &Tresults::ADV_air_air},
    {river, river, &Tresults::ADV_river_river},
    {river, seawater, &Tresults::ADV_river_seawater},
    {groundwater, groundwater, &Tresults::ADV_groundwater_groundwater},
    {groundwater, seawater, &Tresults::ADV_groundwater_seawater},
    {seawater, seawater, &Tresults::ADV_seawater_seawater},
};

// The volume result of every compartment but air (which is always read).
Tnumpars* volumeof(Tresults& res, std::uint32_t c) {
    switch (c) {
    case nat:
        return &res.V_nat;
    case agr:
        return &res.V_agr;
    case urb:
        return &res.V_urb;
    case river:
        return &res.V_river;
    case lake:
        return &res.V_lake;
    case lakesed:
        return &res.V_lakesed;
    case saltlake:
        return &res.V_saltlake;
    case saltlakesed:
        return &res.V_saltlakesed;
    case groundwater:
        return &res.V_groundwater;
    case seawater:
        return &res.V_seawater;
    case seased:
        return &res.V_seased;
    default:
        return &res.V_air;
    }
}

// The degradation rate constant result of every compartment.
Tnumpars& kdegof(Tresults& res, std::uint32_t c) {
    switch (c) {
    case nat:
    case urb:
        return res.kdeg_nonagr;
    case agr:
        return res.kdeg_agr;
    case river:
    case lake:
    case groundwater:
        return res.kdeg_freshwater;
    case lakesed:
        return res.kdeg_sed;
    case saltlake:
        return res.kdeg_saltlake;
    case saltlakesed:
        return res.kdeg_saltlakesed;
    case seawater:
        return res.kdeg_seawater;
    case seased:
        return res.kdeg_seased;
    default:
        return res.kdeg_air;
    }
}

// Empties a regcomp-pair parameter to n x n zeros with one status for every
// cell; the same as a clear but for the status.
void resetpairs(Tnumparss& p, std::uint32_t n, char status) {
    p.values.reset(n, n);
    p.statuses.fillall(n, n, status);
    p.useds.reset(n, n);
}

// Every element 0 with status Default.
void resetzeros(Tnumpars& p) {
    p.clear();
    for (std::uint32_t k = 1; k <= p.count(); ++k)
        p.setdefault(k, 0);
}

// The non-zero flows between regcomps, ADV and DIFF of one cell together,
// gathered from the stored items and sorted by receiving regcomp, then by
// sending regcomp, or the other way round.
struct Tflow {
    std::uint32_t from, to;
    float adv, diff;
};

std::vector<Tflow> gatherflows(const Tregcomps& regcomps) {
    std::vector<Tflow> items;
    regcomps.ADV.values.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
        if (i != j) items.push_back({i, j, static_cast<float>(x), 0});
    });
    regcomps.DIFF.values.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
        if (i != j) items.push_back({i, j, 0, static_cast<float>(x)});
    });
    std::sort(items.begin(), items.end(), [](const Tflow& a, const Tflow& b) {
        return a.from != b.from ? a.from < b.from : a.to < b.to;
    });
    // One item per cell.
    std::vector<Tflow> flows;
    for (const Tflow& f : items) {
        if (!flows.empty() && flows.back().from == f.from && flows.back().to == f.to) {
            flows.back().adv += f.adv;
            flows.back().diff += f.diff;
        } else {
            flows.push_back(f);
        }
    }
    return flows;
}

void sortbyreceiver(std::vector<Tflow>& flows) {
    std::sort(flows.begin(), flows.end(), [](const Tflow& a, const Tflow& b) {
        return a.to != b.to ? a.to < b.to : a.from < b.from;
    });
}

// -x as a float, without the negative zero a zero would turn into (it would
// show as "-0").
float negated(extended x) {
    return x == 0 ? 0.0f : static_cast<float>(-x);
}

// ---- stage 1: transport terms ---------------------------------------------

void computeAREA(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tresults& res = m.results;
    Tenv& env = m.env;
    resetzeros(rcs.AREA);
    auto setarea = [&](std::uint32_t r, std::uint32_t c, extended x) {
        rcs.AREA.setdefault(rc(r, c), static_cast<float>(x));
    };
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        setarea(r, air, env.SYSTEMAREA.get(r));
        if (res.V_nat.isknown(r)) setarea(r, nat, res.AREA_nat.get(r));
        if (res.V_agr.isknown(r)) setarea(r, agr, res.AREA_agr.get(r));
        if (res.V_urb.isknown(r)) setarea(r, urb, res.AREA_urb.get(r));
        if (res.V_river.isknown(r)) setarea(r, river, 0);
        if (res.V_lake.isknown(r)) setarea(r, lake, env.AREA_lake.get(r));
        if (res.V_lakesed.isknown(r)) setarea(r, lakesed, env.AREA_lakesed.get(r));
        if (res.V_saltlake.isknown(r)) setarea(r, saltlake, env.AREA_saltlake.get(r));
        if (res.V_saltlakesed.isknown(r)) setarea(r, saltlakesed, res.AREA_saltlakesed.get(r));
        if (res.V_groundwater.isknown(r)) {
            // The groundwater layer's area is its volume over its depth; a
            // layer of no depth has no area to speak of, so it stays unknown
            // rather than infinite.
            extended volume = res.V_groundwater.get(r);
            extended depth = env.DEPTH_groundwater.get();
            if (depth != 0)
                setarea(r, groundwater, volume / depth);
            else
                rcs.AREA.setunknown(rc(r, groundwater));
        }
        if (res.V_seawater.isknown(r)) setarea(r, seawater, env.SYSTEMAREA.get(r));
        if (res.V_seased.isknown(r)) setarea(r, seased, env.SYSTEMAREA.get(r));
    }
}

// V and exists: a regcomp exists when it has a positive volume.
void computeV(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    rcs.V.clear();
    rcs.existsflags.reset(rcs.n);
    for (std::uint32_t r = 1; r <= m.regions.count; ++r)
        for (std::uint32_t c = 1; c <= ncompartments; ++c) {
            Tnumpars& volume = *volumeof(m.results, c);
            float v = 0;
            if (c == air || volume.isknown(r)) v = volume.get(r);
            rcs.V.setdefault(rc(r, c), v);
            rcs.existsflags.setvalue(rc(r, c), v > 0);
        }
}

void computeDIFF(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    resetpairs(rcs.DIFF, rcs.n, stDefault);
    for (std::uint32_t r = 1; r <= m.regions.count; ++r)
        for (const Tregionflow& f : diffusiveflows) {
            Tnumpars& flow = m.results.*f.flow;
            if (flow.isknown(r)) rcs.DIFF.setdefault(rc(r, f.from), rc(r, f.to), flow.get(r));
        }
}

// Every cell of ADV is a known flow, 0 where nothing flows, as in DIFF: a
// zero cell shown as unknown would suggest a flow nobody could compute.
void computeADV(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    const std::uint32_t nreg = m.regions.count;
    resetpairs(rcs.ADV, rcs.n, stDefault);
    for (std::uint32_t r = 1; r <= nreg; ++r)
        for (const Tregionflow& f : advectiveflows) {
            Tnumpars& flow = m.results.*f.flow;
            if (flow.isknown(r)) rcs.ADV.setdefault(rc(r, f.from), rc(r, f.to), flow.get(r));
        }
    for (std::uint32_t r = 1; r <= nreg; ++r)
        for (std::uint32_t s = 1; s <= nreg; ++s) {
            if (s == r) continue;
            for (const Tpairflow& f : interregionflows) {
                Tnumparss& flow = m.results.*f.flow;
                if (flow.isknown(r, s))
                    rcs.ADV.setdefault(rc(r, f.from), rc(s, f.to), flow.get(r, s));
            }
        }
}

void computekdeg(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    rcs.kdeg.clear();
    for (std::uint32_t r = 1; r <= m.regions.count; ++r)
        for (std::uint32_t c = 1; c <= ncompartments; ++c) {
            Tnumpars& k = kdegof(m.results, c);
            float x = 0;
            if (c == air || k.isknown(r)) x = k.get(r);
            rcs.kdeg.setdefault(rc(r, c), x);
        }
}

void computeADV_outside(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tresults& res = m.results;
    resetzeros(rcs.ADV_outside);
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        if (m.env.land.get(r)) {
            rcs.ADV_outside.setdefault(rc(r, air), res.ADV_air_outside.get(r));
            rcs.ADV_outside.setdefault(rc(r, river), res.ADV_river_outside.get(r));
            rcs.ADV_outside.setdefault(rc(r, lake), res.ADV_lake_outside.get(r));
            rcs.ADV_outside.setdefault(rc(r, lakesed), res.ADV_lakesed_outside.get(r));
            rcs.ADV_outside.setdefault(rc(r, saltlakesed), res.ADV_saltlakesed_outside.get(r));
        } else {
            rcs.ADV_outside.setdefault(rc(r, seawater), res.ADV_seawater_outside.get(r));
            rcs.ADV_outside.setdefault(rc(r, seased), res.ADV_seased_outside.get(r));
        }
    }
}

// The inflow into `to` from `from`: Abig's off-diagonal cell, as stored.
double inflow(const Tflow& f) {
    return static_cast<double>(extended(f.adv) + f.diff);
}

// Row i holds the inflows into i off the diagonal and minus every loss of i
// on it. Column j is then what leaves j: its outflows, which are the inflows
// of the other regcomps, and minus all its losses; it sums to minus the
// degradation and the loss to outside alone. That has to hold to the
// rounding of double precision, so Abig is held in double precision and the
// diagonal sums the very values stored off it, in extended precision: a gas
// that lives for years passes 1,000 to 400,000 times more on to its
// neighbours than it degrades, and a diagonal rounded to single precision
// (6e-8) would misstate its degradation by up to a thousandth.
void computeAbig(Tmodel& m, Tprogress& progress) {
    Tregcomps& rcs = m.regcomps;
    const std::uint32_t n = rcs.n;
    rcs.Abig.values.clear();
    rcs.Abig.values.setprecision(precdouble);
    resetpairs(rcs.Abig, n, stEdited);
    std::vector<Tflow> flows = gatherflows(rcs);
    std::vector<extended> outflow(std::size_t(n) + 1, 0);
    for (const Tflow& f : flows)
        outflow[f.from] += inflow(f);
    sortbyreceiver(flows);
    progress.startbar(n);
    std::size_t p = 0;
    for (std::uint32_t i = 1; i <= n; ++i) {
        extended kdeg = rcs.kdeg.get(i);
        extended loss = kdeg * rcs.V.get(i) + rcs.ADV_outside.get(i) + outflow[i];
        bool diagonalstored = false;
        auto storediagonal = [&] {
            rcs.Abig.values.setvalue(i, i, -loss);
            diagonalstored = true;
        };
        for (; p < flows.size() && flows[p].to == i; ++p) {
            if (!diagonalstored && flows[p].from > i) storediagonal();
            rcs.Abig.values.setvalue(i, flows[p].from, inflow(flows[p]));
        }
        if (!diagonalstored) storediagonal();
        progress.stepbar();
    }
}

// ---- stage 2: emission ------------------------------------------------------

void computeEMIS(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    resetzeros(rcs.EMIS);
    for (std::uint32_t r = 1; r <= m.regions.count; ++r)
        for (std::uint32_t c = 1; c <= ncompartments; ++c) {
            Tnumpars* emission = m.emi.parameterof(c);
            if (emission && emission->isknown(r)) rcs.EMIS.setdefault(rc(r, c), emission->get(r));
        }
}

// ---- stage 3a: concentrations -----------------------------------------------

template <typename Tworker> void setsolveroptions(Tworker& worker) {
    worker.setscaling(1);
    worker.setremoveempty(true);
    worker.setworkprecision(3);
}

// How a solve of Abig ended. A stop request is not a singular matrix: the
// user asked for it, so it gets no warning.
enum class Tsolveend { solved, singular, stopped };

// Solves Abig * x = EMIS into CONC (still to be negated), directly or through
// the inverse.
Tsolveend solveCONC(Tmodel& m, bool useinversion, Tprogress& progress) {
    Tregcomps& rcs = m.regcomps;
    if (!useinversion) {
        Tsolveequations solver;
        setsolveroptions(solver);
        bool solved = solver.solve(rcs.Abig.values, rcs.EMIS.values);
        if (!solved || solver.getstatus().singular != 0) return Tsolveend::singular;
        solver.getresult(rcs.CONC.values);
        return Tsolveend::solved;
    }
    // Outside an all-factors run there is no cache; the inverse then serves
    // this one solve only.
    std::unique_ptr<Tnummatrix> owninverse;
    Tnummatrix* inverse = rcs.inversecache.get();
    if (!inverse) {
        owninverse = std::make_unique<Tnummatrix>();
        inverse = owninverse.get();
    }
    if (inverse->rows() == 0) {
        progress.setsubtext("Inverting Abig");
        Tinvertmatrix inverter;
        setsolveroptions(inverter);
        inverter.setstopcheck(m.ui());
        if (!inverter.invert(rcs.Abig.values))
            return inverter.stopped() ? Tsolveend::stopped : Tsolveend::singular;
        inverter.getresult(*inverse);
    }
    progress.setsubtext("Multiplying with EMIS");
    // An emission into one box (every all-factors step) needs one column of
    // the inverse, not the whole product.
    std::uint32_t source = 0, sources = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        if (rcs.EMIS.value(k) != 0) {
            source = k;
            ++sources;
        }
    if (sources == 1 && inverse->rows() == rcs.n && inverse->cols() == rcs.n) {
        const extended emission = rcs.EMIS.value(source);
        for (std::uint32_t k = 1; k <= rcs.n; ++k)
            rcs.CONC.values.setvalue(k, static_cast<float>(inverse->getvalue(k, source) * emission));
        return Tsolveend::solved;
    }
    matvec(*inverse, rcs.EMIS.values, rcs.CONC.values);
    return Tsolveend::solved;
}

void setunknownconcentrations(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    for (Tnumpars* p : {&rcs.CONC, &rcs.MASS, &rcs.RESTIME, &rcs.EMISprime})
        for (std::uint32_t k = 1; k <= rcs.n; ++k)
            p->set(k, 0, stUnknown);
}

// CONC = -Abig^-1 * EMIS.
void computeCONC(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        rcs.CONC.setdefault(k, negated(rcs.CONC.values.getvalue(k)));
}

// Abig conserves mass to the rounding of double precision, about 1e-16 of
// each regcomp's outflows. A substance that passes between the regcomps R
// times more than it leaves the system has a balance known to about R times
// that: beyond this ratio its balance could not be promised to 1e-6, and on
// the default world its steady state would take some ten million years to
// build up. Sulfur hexafluoride (3,200 years) passes on 4e5 times, carbon
// dioxide, which nothing degrades, over 1e13 times.
constexpr long double unresolvedexchange = 1e9L;

// What a box loses per unit concentration: out of the system (degradation and
// loss to outside) and on to the other boxes. Boxes that do not exist count
// for nothing.
struct Tboxlosses {
    std::vector<extended> system, passed;
};

Tboxlosses boxlosses(const Tregcomps& rcs) {
    Tboxlosses l{std::vector<extended>(std::size_t(rcs.n) + 1, 0),
                 std::vector<extended>(std::size_t(rcs.n) + 1, 0)};
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        if (!rcs.exists(k)) continue;
        l.system[k] = extended(rcs.kdeg.value(k)) * rcs.V.value(k) + rcs.ADV_outside.value(k);
        l.passed[k] = -extended(rcs.Abig.values.getvalue(k, k)) - l.system[k];
    }
    return l;
}

// A positive emission into a system that loses the substance somewhere gives
// concentrations of one sign that degrade or carry out of the world what is
// emitted. A system that loses (almost) none has a matrix that is singular
// but for rounding; its solve may pass the singularity test and give large,
// meaningless concentrations: of both signs (values below 0 by more than
// rounding of the largest), of one sign that degrade and carry out a small
// part of the emission only (a hundredth short is no rounding), or of one
// sign that balance, but only by a loss too small against the exchange
// between the regcomps to be told from rounding. Each tells that case. An
// emission into a box without any loss (no volume, no flows: an empty row
// the solve leaves out) reaches nothing and is not counted.
struct Tlosstally {
    float lowest = 0, highest = 0;
    extended emission = 0, loss = 0, exchange = 0;

    void add(float c, extended system, extended passed) {
        lowest = std::min(lowest, c);
        highest = std::max(highest, c);
        if (system == 0 && passed == 0) return;
        loss += system * c;
        exchange += passed * c;
    }
    Tsteadystatecheck judge() const {
        if (!(emission > 0)) return {};
        if (lowest < -1e-6f * highest) return {Tsteadystate::negative};
        if (loss < (1 - 1e-2L) * emission) return {Tsteadystate::unbalanced};
        if (exchange > unresolvedexchange * loss)
            return {Tsteadystate::unresolved, exchange / loss};
        return {};
    }
};

// The test of the concentrations the solve left, against the emission.
Tsteadystatecheck steadystate(const Tmodel& m) {
    const Tregcomps& rcs = m.regcomps;
    std::vector<float> emis(std::size_t(rcs.n) + 1, 0), conc(std::size_t(rcs.n) + 1, 0);
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        emis[k] = rcs.EMIS.value(k);
        conc[k] = rcs.CONC.values.getvalue(k);
    }
    return steadystate(rcs, emis, conc);
}

// Why a solve has no steady state, as the warning says it: what came out
// ("The concentrations", "The fate factors of an emission into ...") and why.
std::string nosteadystate(const Tsteadystatecheck& check,
                          const std::string& what = "The concentrations") {
    std::string why;
    switch (check.state) {
    case Tsteadystate::negative:
        why = "come out negative";
        break;
    case Tsteadystate::unbalanced:
        why = "do not balance the emission";
        break;
    default: {
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.2g", double(check.exchange));
        why = std::string("move ") + ratio + " times more between the boxes than the system loses";
    }
    }
    return "Singular matrix! " + what + " " + why +
           ": nothing removes the substance from the system, so it has no steady state.";
}

void computeMASS(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        extended conc = rcs.CONC.get(k);
        rcs.MASS.setdefault(k, static_cast<float>(conc * rcs.V.get(k)));
    }
}

// Residence time: the mass over the total input, emission plus every inflow,
// which is what the balance of a single regcomp shows too. The input is
// summed in extended precision and rounded once: a box fed by hundreds of
// neighbours lost a unit of the last place to each addition in single.
void computeRESTIME(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    std::vector<Tflow> flows = gatherflows(rcs);
    sortbyreceiver(flows);
    std::size_t p = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        extended sum = rcs.EMIS.get(k);
        for (; p < flows.size() && flows[p].to == k; ++p)
            sum += extended(inflow(flows[p])) * rcs.CONC.value(flows[p].from);
        const float input = static_cast<float>(sum);
        if (input > 0)
            rcs.RESTIME.setdefault(k, static_cast<float>(extended(rcs.MASS.get(k)) / input));
        else
            rcs.RESTIME.sethidden(k);
    }
}

// The emission that the concentrations imply, and the root of the summed
// squared differences to the real one over n: how well the solve fits.
void computeEMISprime_MSR(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    matvec(rcs.Abig.values, rcs.CONC.values, rcs.EMISprime.values);
    float squares = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        float emisprime = negated(rcs.EMISprime.values.getvalue(k));
        rcs.EMISprime.setdefault(k, emisprime);
        float difference = emisprime - rcs.EMIS.value(k);
        squares += difference * difference;
    }
    rcs.MSR = std::sqrt(squares) / static_cast<float>(rcs.n);
}

bool solveconcentrations(Tmodel& m, bool useinversion, Tprogress& progress) {
    Tregcomps& rcs = m.regcomps;
    progress.setsubtext("CONC");
    for (Tnumpars* p : {&rcs.CONC, &rcs.MASS, &rcs.RESTIME, &rcs.EMISprime})
        p->clear();
    Tsolveend end = solveCONC(m, useinversion, progress);
    if (end != Tsolveend::solved) {
        if (end == Tsolveend::singular) m.ui().warn("Singular matrix!");
        setunknownconcentrations(m);
        return false;
    }
    computeCONC(m);
    if (Tsteadystatecheck check = steadystate(m); check.state != Tsteadystate::found) {
        m.ui().warn(nosteadystate(check));
        setunknownconcentrations(m);
        return false;
    }
    m.env.changed = false;
    m.sub.changed = false;
    progress.setsubtext("MASS");
    if (m.settings().WithRestime) {
        computeMASS(m);
        computeRESTIME(m);
        computeEMISprime_MSR(m);
    } else {
        for (std::uint32_t k = 1; k <= rcs.n; ++k) {
            rcs.MASS.setunknown(k);
            rcs.RESTIME.setunknown(k);
            rcs.EMISprime.setunknown(k);
        }
        rcs.MSR = 0;
    }
    return true;
}

// ---- stage 3b: factors --------------------------------------------------------

void allocatefactors(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    const std::uint32_t n = rcs.n, nreg = m.regions.count;
    const std::uint32_t routes = nreg * nroutes, pathways = nreg * npathways;
    rcs.Abiginverse.clear();
    rcs.FF.reset(n, n);
    rcs.XF1.reset(routes, n);
    rcs.XF2.reset(pathways, routes);
    rcs.XF.reset(pathways, n);
    rcs.XFFF.reset(pathways, n);
    rcs.EFeco.reset(5, n);
    rcs.EFhum.reset(2, pathways);
}

Tsolveend computeAbiginverse(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tinvertmatrix inverter;
    setsolveroptions(inverter);
    inverter.setstopcheck(m.ui());
    if (!inverter.invert(rcs.Abig.values))
        return inverter.stopped() ? Tsolveend::stopped : Tsolveend::singular;
    inverter.getresult(rcs.Abiginverse.values);
    return Tsolveend::solved;
}

// FF(i, j): the concentration in i per unit emission rate into j.
void computeFF(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    const std::uint32_t n = rcs.n;
    const Tnummatrix& inverse = rcs.Abiginverse.values;
    if (inverse.storage() == dense && inverse.precision() == precsingle &&
        rcs.FF.storage() == dense && rcs.FF.precision() == precsingle) {
        const float* from = inverse.singletable();
        float* to = rcs.FF.singletable();
        const std::size_t fromstride = inverse.colcapacity(), tostride = rcs.FF.colcapacity();
        for (std::uint32_t i = 0; i < n; ++i)
            for (std::uint32_t j = 0; j < n; ++j)
                to[i * tostride + j] = negated(from[i * fromstride + j]);
    } else {
        inverse.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
            rcs.FF.setvalue(i, j, negated(x));
        });
    }
    rcs.Abiginverse.statuses.fillall(n, n, stDefault);
}

// Medium concentration per regcomp concentration, route rows by regcomps:
// the factors the concentration stage applies to one emission.
void computeXF1(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tnummatrix& xf1 = rcs.XF1;
    auto set = [&](std::uint32_t r, std::uint32_t route, std::uint32_t c, extended x) {
        xf1.setvalue(Tregcomps::routenumber(r, route), rc(r, c), x);
    };
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        if (!m.env.land.get(r)) {
            set(r, rtseafish, seawater, seafishfactor(m, r));
            continue;
        }
        Tfoodfactors f = foodfactors(m, r);
        set(r, rtair, air, 1);
        set(r, rtleafcrops, agr, f.leafcrops_agr);
        set(r, rtleafcrops, air, f.leafcrops_air);
        set(r, rtrootcrops, agr, f.rootcrops_agr);
        set(r, rtfreshwaterfish, river, f.fish_river);
        set(r, rtfreshwaterfish, lake, f.fish_lake);
        // Cattle eat grass from natural soil, soil from agricultural land and
        // breathe air; the biotransfer factor applies to all of it.
        for (auto [route, factor] :
             {std::pair{rtmeat, f.meatfactor}, std::pair{rtdairy, f.milkfactor}}) {
            set(r, route, nat, factor * f.cattle_grass * f.grass_nat);
            set(r, route, air, factor * (f.cattle_grass * f.grass_air + f.cattle_air));
            set(r, route, agr, factor * f.cattle_agr);
        }
        set(r, rtdrw, river, f.drw_river);
        set(r, rtdrw, lake, f.drw_lake);
        set(r, rtdrw, groundwater, f.drw_groundwater);
    }
}

// A traded food: its production, trade and intake parameters and its route.
struct Tfood {
    std::uint32_t route;
    Tnumpars Tenv::*PROD;
    Tnumpars Tenv::*EXPORT;
    Tnumpars Tenv::*IMPORT;
    Tnumpars Tenv::*IH;
    Tnumpars Tresults::*REEXPORT;
};

const Tfood foods[] = {
    {rtleafcrops, &Tenv::PROD_leafcrops, &Tenv::EXPORT_leafcrops, &Tenv::IMPORT_leafcrops,
     &Tenv::IH_leafcrops, &Tresults::REEXPORT_leafcrops},
    {rtrootcrops, &Tenv::PROD_rootcrops, &Tenv::EXPORT_rootcrops, &Tenv::IMPORT_rootcrops,
     &Tenv::IH_rootcrops, &Tresults::REEXPORT_rootcrops},
    {rtfreshwaterfish, &Tenv::PROD_freshwaterfish, &Tenv::EXPORT_freshwaterfish,
     &Tenv::IMPORT_freshwaterfish, &Tenv::IH_freshwaterfish, &Tresults::REEXPORT_freshwaterfish},
    {rtmeat, &Tenv::PROD_meat, &Tenv::EXPORT_meat, &Tenv::IMPORT_meat, &Tenv::IH_meat,
     &Tresults::REEXPORT_meat},
    {rtdairy, &Tenv::PROD_dairy, &Tenv::EXPORT_dairy, &Tenv::IMPORT_dairy, &Tenv::IH_dairy,
     &Tresults::REEXPORT_dairy},
};

// Dose per medium concentration, pathway rows by route rows. Food eaten in a
// region is its own production (less exports, plus re-exports) and imports,
// which come from every exporting region in proportion to its exports; sea
// fish comes from every sea in proportion to its catch.
void computeXF2(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tenv& env = m.env;
    Tsub& sub = m.sub;
    const std::uint32_t nreg = m.regions.count;
    Tnummatrix& xf2 = rcs.XF2;
    std::vector<bool> land(nreg + 1);
    for (std::uint32_t g = 1; g <= nreg; ++g)
        land[g] = env.land.get(g);
    // Total exports of each food and total sea-fish catch, summed when first needed.
    std::optional<extended> totalexport[std::size(foods)];
    std::optional<extended> totalcatch;
    for (std::uint32_t r = 1; r <= nreg; ++r) {
        if (!land[r]) continue;
        extended bw = env.BW.get(r);
        if (bw == 0) continue;
        const std::uint32_t inhalation = Tregcomps::pathwaynumber(r, pwinhalation);
        const std::uint32_t oral = Tregcomps::pathwaynumber(r, pworal);
        // Inhaled dose as the oral dose it is equivalent to. Without any oral
        // uptake that equivalent is undefined, and the inhalation route is left
        // out rather than made infinite.
        extended ihair = personintake(env.IH_air, r);
        extended fresp = sub.F_resp.get();
        extended bioinh = sub.BIO_inh.get();
        extended biooral = sub.BIO_oral.get();
        if (biooral != 0)
            xf2.setvalue(inhalation, Tregcomps::routenumber(r, rtair),
                         ihair * fresp / bw * bioinh / biooral);
        for (std::size_t f = 0; f < std::size(foods); ++f) {
            const Tfood& food = foods[f];
            Tnumpars& PROD = env.*food.PROD;
            Tnumpars& EXPORT = env.*food.EXPORT;
            Tnumpars& IMPORT = env.*food.IMPORT;
            float prod = PROD.get(r), exported = EXPORT.get(r), imported = IMPORT.get(r);
            extended ih = personintake(env.*food.IH, r);
            extended reexport = (m.results.*food.REEXPORT).get(r);
            float supply = static_cast<float>(prod - exported) + imported;
            extended own = 0, imp = 0;
            if (supply != 0) {
                own = ih / bw * (extended(prod) - exported + reexport) / supply;
                imp = ih / bw * (extended(imported) - reexport) / supply;
            }
            if (!totalexport[f]) {
                extended sum = 0;
                for (std::uint32_t g = 1; g <= nreg; ++g)
                    if (land[g]) sum += EXPORT.get(g);
                totalexport[f] = sum;
            }
            const extended e = *totalexport[f];
            for (std::uint32_t g = 1; g <= nreg; ++g) {
                if (!land[g]) continue;
                extended x = e != 0 ? imp * EXPORT.get(g) / e : 0;
                if (g == r) x += own;
                xf2.setvalue(oral, Tregcomps::routenumber(g, food.route), x);
            }
        }
        if (!totalcatch) {
            extended sum = 0;
            for (std::uint32_t g = 1; g <= nreg; ++g)
                if (!land[g]) sum += env.CATCH_seafish.get(g);
            totalcatch = sum;
        }
        const extended sc = *totalcatch;
        extended ihseafish = personintake(env.IH_seafish, r);
        for (std::uint32_t g = 1; g <= nreg; ++g) {
            if (land[g]) continue;
            extended x = sc != 0 ? env.CATCH_seafish.get(g) / sc * ihseafish / bw : 0;
            xf2.setvalue(oral, Tregcomps::routenumber(g, rtseafish), x);
        }
        xf2.setvalue(oral, Tregcomps::routenumber(r, rtdrw), personintake(env.IH_drw, r) / bw);
    }
}

void computeXF(Tmodel& m) {
    matmul(m.regcomps.XF2, m.regcomps.XF1, m.regcomps.XF);
}

void computeXFFF(Tmodel& m) {
    matmul(m.regcomps.XF, m.regcomps.FF, m.regcomps.XFFF);
}

// Ecological effect per regcomp concentration: rows river, lake, salt lake,
// sea water, soil.
void computeEFeco(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tresults& res = m.results;
    Tsub& sub = m.sub;
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        if (m.env.land.get(r)) {
            extended aquatox = sub.EFFECT_aquatox.isknown() ? sub.EFFECT_aquatox.get() : 0;
            rcs.EFeco.setvalue(ecoriver, rc(r, river), aquatox);
            rcs.EFeco.setvalue(ecolake, rc(r, lake), aquatox);
            rcs.EFeco.setvalue(ecosaltlake, rc(r, saltlake), aquatox);
            extended terrtox = sub.EFFECT_terrtox.isknown() ? sub.EFFECT_terrtox.get() : 0;
            extended vnat = res.V_nat.get(r), vagr = res.V_agr.get(r), vurb = res.V_urb.get(r);
            // Each soil counts by its share of the soil volume; a region
            // without soil has no share to give.
            extended vsoil = vnat + vagr + vurb;
            auto share = [&](extended v) { return vsoil > 0 ? terrtox * v / vsoil : 0; };
            rcs.EFeco.setvalue(ecosoil, rc(r, nat), share(vnat));
            rcs.EFeco.setvalue(ecosoil, rc(r, agr), share(vagr));
            rcs.EFeco.setvalue(ecosoil, rc(r, urb), share(vurb));
        } else {
            extended seatox = 0;
            if (sub.EFFECT_seatox.isknown()) {
                seatox = sub.EFFECT_seatox.get();
                if (sub.ismetal())
                    seatox *= extended(res.ACTCOEFF.get()) * res.FREEIONseawater.get(r);
            }
            rcs.EFeco.setvalue(ecoseawater, rc(r, seawater), seatox);
        }
    }
}

// Human effect per dose, over the population: rows non-carcinogenic and
// carcinogenic, by pathway rows.
void computeEFhum(Tmodel& m) {
    Tregcomps& rcs = m.regcomps;
    Tsub& sub = m.sub;
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        if (!m.env.land.get(r)) continue;
        extended npop = m.env.Npop.get(r);
        extended noncarc = sub.EFFECThum_noncarc.isknown() ? sub.EFFECThum_noncarc.get() : 0;
        extended carc = sub.EFFECThum_carc.isknown() ? sub.EFFECThum_carc.get() : 0;
        for (std::uint32_t p = 1; p <= npathways; ++p) {
            rcs.EFhum.setvalue(humnoncarc, Tregcomps::pathwaynumber(r, p), noncarc * npop);
            rcs.EFhum.setvalue(humcarc, Tregcomps::pathwaynumber(r, p), carc * npop);
        }
    }
}

// Column j of -Abig^-1 is the steady state of a unit emission into j, so each
// is judged as the solve for that emission would be: a matrix that is
// singular but for rounding inverts as readily as it solves, into fate
// factors as meaningless as those concentrations. The first column without
// a steady state is told, with its box.
std::optional<std::pair<std::uint32_t, Tsteadystatecheck>> factorsteadystate(const Tmodel& m) {
    const Tregcomps& rcs = m.regcomps;
    const Tboxlosses l = boxlosses(rcs);
    std::vector<Tlosstally> columns(std::size_t(rcs.n) + 1);
    for (std::uint32_t j = 1; j <= rcs.n; ++j)
        if (rcs.Abig.values.getvalue(j, j) != 0) columns[j].emission = 1;
    rcs.Abiginverse.values.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
        columns[j].add(negated(x), l.system[i], l.passed[i]);
    });
    for (std::uint32_t j = 1; j <= rcs.n; ++j)
        if (Tsteadystatecheck check = columns[j].judge(); check.state != Tsteadystate::found)
            return std::pair{j, check};
    return std::nullopt;
}

bool solvefactors(Tmodel& m, Tprogress& progress) {
    progress.setsubtext("Allocating Abiginv, FF, XF, EF");
    allocatefactors(m);
    progress.setsubtext("Abiginv");
    Tsolveend end = computeAbiginverse(m);
    if (end != Tsolveend::solved) {
        if (end == Tsolveend::singular) m.ui().warn("Singular matrix!");
        m.regcomps.Abiginverse.clear();
        return false;
    }
    if (auto failed = factorsteadystate(m)) {
        m.ui().warn(nosteadystate(failed->second, "The fate factors of an emission into " +
                                                      m.regcomps.regcompname(failed->first)));
        m.regcomps.Abiginverse.clear();
        return false;
    }
    m.env.changed = false;
    m.sub.changed = false;
    progress.setsubtext("FF");
    computeFF(m);
    progress.setsubtext("XF1");
    computeXF1(m);
    progress.setsubtext("XF2");
    computeXF2(m);
    progress.setsubtext("XF");
    computeXF(m);
    progress.setsubtext("XF*FF");
    computeXFFF(m);
    progress.setsubtext("EFeco");
    computeEFeco(m);
    progress.setsubtext("EFhum");
    computeEFhum(m);
    return true;
}

} // namespace

// The tally of the concentrations an emission gives (see Tlosstally).
Tsteadystatecheck steadystate(const Tregcomps& rcs, const std::vector<float>& emis,
                              const std::vector<float>& conc) {
    const Tboxlosses l = boxlosses(rcs);
    Tlosstally t;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        if (emis[k] < 0) return {}; // a negative emission may give anything
        if (emis[k] != 0 && rcs.Abig.values.getvalue(k, k) != 0) t.emission += emis[k];
        t.add(conc[k], l.system[k], l.passed[k]);
    }
    return t.judge();
}

bool solvesystem(Tmodel& m, bool useinversion, Tprogress& progress) {
    const bool changed = m.env.changed || m.sub.changed;
    if (changed) {
        progress.setsubtext("AREA");
        computeAREA(m);
        progress.setsubtext("V");
        computeV(m);
        progress.setsubtext("DIFF");
        computeDIFF(m);
        progress.setsubtext("ADV");
        computeADV(m);
        progress.setsubtext("kdeg");
        computekdeg(m);
        progress.setsubtext("ADV_outside");
        computeADV_outside(m);
        progress.setsubtext("Abig");
        computeAbig(m, progress);
    }
    if (m.settings().FactorsMode) {
        // The factors depend on the environment and the substance only; but
        // after a switch from concentrations there are none to keep yet.
        if (!changed && m.regcomps.Abiginverse.count() > 0) return true;
        return solvefactors(m, progress);
    }
    progress.setsubtext("EMIS");
    computeEMIS(m);
    return solveconcentrations(m, useinversion, progress);
}

bool solvesystem(Tmodel& m, bool useinversion) {
    std::unique_ptr<Tprogress> progress = m.ui().progress();
    progress->setmaintext("Calculating results");
    return solvesystem(m, useinversion, *progress);
}

} // namespace velmora
