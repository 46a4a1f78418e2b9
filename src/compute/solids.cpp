// Solids of the inland waters and the seas. What the soils' run-off erodes
// enters the region's rivers, which pass it on with their water: to the
// rivers of downstream regions and to the seas, and into the region's lakes
// and salt lakes. Lakes keep what settles before their water leaves them,
// salt lakes everything that reaches them; both also lay down the suspended
// matter they produce. The water a river loses within
// its region (evaporation, seepage) leaves its solids in the river bed, and
// the water taken for irrigation leaves them in the intakes, settling
// basins and canals it passes on its way to the fields. Every kilogram
// eroded thus ends once: carried out of the region, settled in a lake or
// salt lake, or buried in a river bed or canal.
//
// Solid fluxes are in kg*s^-1, water flows in m^3*s^-1, sedimentation
// rates in m*s^-1 of bulk sediment. The river network (which has loops
// where border rivers cross back and forth) is solved in extended
// precision; each result is rounded once when it is stored.
#include <cmath>
#include <vector>

#include "compute/calculation.h"
#include "compute/rivers.h"
#include "compute/stagemath.h"

namespace velmora {

using namespace stagemath;

Triverwater riverwater(Tmodel& m, std::uint32_t i) {
    Tenv& env = m.env;
    Tresults& res = m.results;
    Triverwater w;
    w.in = extended(env.WATERrunoff.get(i)) + env.FLOW_groundwater_river.get(i);
    w.in += res.FLOW_lake_river.get(i);
    w.out = extended(res.FLOW_river_lake.get(i)) + res.FLOW_river_saltlake.get(i);
    w.out += env.FLOW_river_agr.get(i);
    for (std::uint32_t k = 1; k <= m.regions.count; ++k) {
        if (k == i) continue;
        if (env.land.get(k)) {
            w.in += env.FLOW_river_river.get(k, i);
            w.out += env.FLOW_river_river.get(i, k);
        } else {
            w.out += env.FLOW_river_seawater.get(i, k);
        }
    }
    return w;
}

namespace {

void store(Tnumpars& p, std::uint32_t i, extended x) {
    p.setdefault(i, single(x));
}

// Mass of solids per volume of bulk sediment (kg*m^-3).
extended sedimentsolids(Tmodel& m) {
    return extended(m.env.RHO_solid.get()) * m.results.Fsolid_sed.get();
}

// The sediment growth (m*s^-1) when suspended matter of the given
// concentration settles at SETTLvelocity_susp: what a water body can lay
// down at most.
extended settlingrate(Tmodel& m, extended suspconc, Tnumpars& result, std::uint32_t i) {
    extended settling = extended(m.env.SETTLvelocity_susp.get()) * suspconc;
    return divide(m, settling, sedimentsolids(m), {result.name(), i});
}

// One land region's rivers and lakes in the routing.
struct Triverbox {
    // Upstream regions and the river water they send, m^3*s^-1.
    std::vector<std::pair<std::uint32_t, extended>> upstream;
    extended eroded = 0; // solids from the soils, kg*s^-1
    extended tolake = 0; // river water into the lakes
    // Share of the solids entering the lakes that settles there.
    extended trap = 0;
    // Water that takes the river's solids away for good.
    extended removal = 0;
    extended conc = 0; // solids per m^3 of river water
    Triverwater water;

    extended upstreamsolids(const std::vector<Triverbox>& boxes) const {
        extended sum = 0;
        for (const auto& [j, flow] : upstream)
            sum += flow * boxes[j].conc;
        return sum;
    }
};

// The share of what enters a region's lakes that settles there. The lakes
// are one well-mixed basin: a particle settles (at SETTLvelocity_susp over
// the lake area) or leaves with the outflow, so the share is
// v*A / (v*A + outflow); lakes that give no water back keep everything.
// With 2.5 m/d this follows the published trap efficiencies of lakes and
// reservoirs against their residence time (about half at 0.01 years of
// inflow, nine tenths at 0.1).
extended laketrap(Tmodel& m, std::uint32_t i) {
    extended outflow = m.results.FLOW_lake_river.get(i);
    if (!(outflow > 0)) return 1;
    extended settling = extended(m.env.SETTLvelocity_susp.get()) * m.env.AREA_lake.get(i);
    return settling / (settling + outflow);
}

Triverbox riverbox(Tmodel& m, std::uint32_t i) {
    Triverbox b;
    b.eroded = erodedsolids(m, i);
    b.water = riverwater(m, i);
    b.tolake = m.results.FLOW_river_lake.get(i);
    b.trap = b.tolake > 0 ? laketrap(m, i) : 0;
    // Every m^3 of water that leaves the river or is lost in it takes the
    // river's solids along, except what comes back from the lakes unsettled.
    extended through = b.water.in > b.water.out ? b.water.in : b.water.out;
    b.removal = through - (1 - b.trap) * b.tolake;
    for (std::uint32_t j = 1; j <= m.regions.count; ++j)
        if (j != i && m.env.island(j)) {
            extended flow = m.env.FLOW_river_river.get(j, i);
            if (flow > 0) b.upstream.emplace_back(j, flow);
        }
    return b;
}

// The solids concentration of every river, upstream regions first: each
// river carries what its soils and its upstream rivers bring it in the
// water that leaves it. Where border rivers form loops, sweeps repeat until
// nothing changes; each sweep moves every region closer, since a region
// passes on at most what it gets.
std::vector<Triverbox> routesolids(Tmodel& m) {
    const std::uint32_t n = m.regions.count;
    std::vector<Triverbox> boxes(n + 1);
    for (std::uint32_t i = 1; i <= n; ++i)
        if (m.env.island(i)) boxes[i] = riverbox(m, i);
    const std::string& name = m.results.riverinflow_solid.name();
    for (int sweep = 0; sweep < 10000; ++sweep) {
        bool changed = false;
        for (std::uint32_t i = 1; i <= n; ++i) {
            if (!m.env.island(i)) continue;
            Triverbox& b = boxes[i];
            extended supply = b.eroded + b.upstreamsolids(boxes);
            extended conc = supply > 0 ? divide(m, supply, b.removal, {name, i}) : 0;
            if (std::fabs(conc - b.conc) > 1e-15L * conc) changed = true;
            b.conc = conc;
        }
        if (!changed) break;
    }
    return boxes;
}

// ---- Land regions --------------------------------------------------------------

// riverinflow_solid: solids entering the region's rivers (eroded from its
// soils, from upstream regions, and back from its lakes unsettled);
// riveroutflow_solid: solids leaving them with their water (downstream, to
// the seas, into lakes and salt lakes). The difference stays in the region's
// river beds and canals: what the water lost in the region and the
// irrigation water carried.
void computeriversolids(Tmodel& m, std::uint32_t i, const std::vector<Triverbox>& boxes) {
    Tresults& r = m.results;
    const Triverbox& b = boxes[i];
    extended fromlakes = (1 - b.trap) * b.tolake * b.conc;
    store(r.riverinflow_solid, i, b.eroded + b.upstreamsolids(boxes) + fromlakes);
    extended onward = b.water.out - extended(m.env.FLOW_river_agr.get(i));
    store(r.riveroutflow_solid, i, b.conc * onward);
}

// sedrate_inlandwater: the growth of the lake sediment from the solids the
// rivers bring that settle in the lakes and the suspended matter the lakes
// produce themselves, which settles where it grows; 0 without lakes. A lake
// that no river feeds still lays down what it produces.
void computesedrate_inlandwater(Tmodel& m, std::uint32_t i, const Triverbox& b) {
    Tnumpars& rate = m.results.sedrate_inlandwater;
    extended area = m.env.AREA_lake.get(i);
    if (!(area > 0)) return store(rate, i, 0);
    extended produced = extended(m.env.PRODratesusp_inlandwater.get()) * area;
    extended settled = b.trap * b.tolake * b.conc + produced;
    store(rate, i, divide(m, settled, sedimentsolids(m) * area, {rate.name(), i}));
}

// PRODsusp_saltlake: suspended matter produced in the salt lakes; hidden
// for a region without them.
void computePRODsusp_saltlake(Tmodel& m, std::uint32_t i) {
    Tnumpars& r = m.results.PRODsusp_saltlake;
    extended area = m.env.AREA_saltlake.get(i);
    if (!(area > 0)) return r.sethidden(i);
    store(r, i, m.env.PRODratesusp_inlandwater.get() * area);
}

// NETsedrate_saltlake: salt lakes have no outflow, so the solids the
// rivers bring them and those produced in them settle on their bottom;
// 0 without salt lakes.
void computeNETsedrate_saltlake(Tmodel& m, std::uint32_t i, const Triverbox& b) {
    Tresults& r = m.results;
    Tnumpars& net = r.NETsedrate_saltlake;
    extended area = m.env.AREA_saltlake.get(i);
    if (!(area > 0)) return store(net, i, 0);
    extended solids = b.conc * r.FLOW_river_saltlake.get(i) + r.PRODsusp_saltlake.get(i);
    store(net, i, divide(m, solids, sedimentsolids(m) * area, {net.name(), i}));
}

// GROSSsedrate_saltlake, RESUSPrate_saltlake: the suspended matter settles
// at its settling rate; what settles beyond the net rate is resuspended.
void computesaltlakeexchange(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    float net = r.NETsedrate_saltlake.get(i);
    float settling =
        single(settlingrate(m, r.SUSPCONC_inlandwater.get(i), r.GROSSsedrate_saltlake, i));
    r.GROSSsedrate_saltlake.setdefault(i, net >= settling ? net : settling);
    if (net >= settling) return store(r.RESUSPrate_saltlake, i, 0);
    store(r.RESUSPrate_saltlake, i, extended(r.GROSSsedrate_saltlake.get(i)) - net);
}

void computelandsolids(Tmodel& m, std::uint32_t i, const std::vector<Triverbox>& boxes) {
    Tresults& r = m.results;
    computeriversolids(m, i, boxes);
    computesedrate_inlandwater(m, i, boxes[i]);
    computePRODsusp_saltlake(m, i);
    computeNETsedrate_saltlake(m, i, boxes[i]);
    computesaltlakeexchange(m, i);
    for (Tnumpars* p : {&r.PRODsusp_seawater, &r.NETsedrate_seawater, &r.sedrate_seawater,
                        &r.GROSSsedrate_seawater, &r.RESUSPrate_seawater})
        p->sethidden(i);
}

// ---- Sea regions -----------------------------------------------------------------

// NETsedrate_seawater: the solids produced in the sea, delivered by the
// rivers and arriving with currents from other seas, less those leaving
// with currents, settled on the sea bottom.
void computeNETsedrate_seawater(Tmodel& m, std::uint32_t i, const std::vector<Triverbox>& boxes) {
    Tresults& r = m.results;
    Tnumpars& net = r.NETsedrate_seawater;
    extended rivers = 0, currentsin = 0, currentsout = 0;
    for (std::uint32_t j = 1; j <= m.regions.count; ++j) {
        if (m.env.island(j)) {
            rivers += extended(m.env.FLOW_river_seawater.get(j, i)) * boxes[j].conc;
        } else {
            currentsin +=
                extended(m.env.FLOW_seawater_seawater.get(j, i)) * r.SUSPCONC_seawater.get(j);
            currentsout +=
                extended(m.env.FLOW_seawater_seawater.get(i, j)) * r.SUSPCONC_seawater.get(i);
        }
    }
    extended solids = extended(r.PRODsusp_seawater.get(i)) + rivers + currentsin - currentsout;
    extended bottom = sedimentsolids(m) * m.env.SYSTEMAREA.get(i);
    store(net, i, divide(m, solids, bottom, {net.name(), i}));
}

// GROSSsedrate_seawater, RESUSPrate_seawater: as for the salt lakes.
void computeseaexchange(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    float net = r.NETsedrate_seawater.get(i);
    float settling = r.sedrate_seawater.get(i);
    r.GROSSsedrate_seawater.setdefault(i, net >= settling ? net : settling);
    if (net >= settling) return store(r.RESUSPrate_seawater, i, 0);
    store(r.RESUSPrate_seawater, i, extended(r.GROSSsedrate_seawater.get(i)) - net);
}

void computeseasolids(Tmodel& m, std::uint32_t i, const std::vector<Triverbox>& boxes) {
    Tresults& r = m.results;
    for (Tnumpars* p :
         {&r.riverinflow_solid, &r.riveroutflow_solid, &r.sedrate_inlandwater, &r.PRODsusp_saltlake,
          &r.NETsedrate_saltlake, &r.GROSSsedrate_saltlake, &r.RESUSPrate_saltlake})
        p->sethidden(i);
    store(r.PRODsusp_seawater, i, m.env.PRODratesusp_seawater.get() * m.env.SYSTEMAREA.get(i));
    computeNETsedrate_seawater(m, i, boxes);
    store(r.sedrate_seawater, i,
          settlingrate(m, r.SUSPCONC_seawater.get(i), r.sedrate_seawater, i));
    computeseaexchange(m, i);
}

} // namespace

void computesolids(Tmodel& m) {
    std::vector<Triverbox> boxes = routesolids(m);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (m.env.island(i))
            computelandsolids(m, i, boxes);
        else
            computeseasolids(m, i, boxes);
    }
}

} // namespace velmora
