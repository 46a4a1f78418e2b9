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
// The sea-water box is the surface mixed layer. Its settling particles are
// produced in it (the export production of its plankton) or brought by
// currents from other seas, and they either sink or leave with the currents.
// On the shelf (AREA_seased), where the mixed layer reaches the bottom, they
// settle onto the sea sediment; beyond it they sink out of the mixed layer
// into the deep ocean, which has no box of its own and gives back what it
// takes only over centuries. The rivers' solids settle on the shelf, near
// the coasts they reach. Every kilogram produced or delivered thus ends
// once: buried on a shelf or sunk into the deep ocean of some sea.
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

// One node of a network that passes solids on with its water: rivers from
// region to region, sea water from sea to sea. A node gets solids of its own
// and those its upstream nodes send it; a volume of water per second takes
// them away for good (out of the network, or settling), and its solids
// concentration is what it gets over that volume.
struct Tsolidsnode {
    // Upstream nodes and the water they send, m^3*s^-1.
    std::vector<std::pair<std::uint32_t, extended>> upstream;
    extended own = 0;     // solids of its own, kg*s^-1
    extended removal = 0; // water that takes the solids away, m^3*s^-1
    extended conc = 0;    // solids per m^3 of its water

    template <class Node> extended upstreamsolids(const std::vector<Node>& nodes) const {
        extended sum = 0;
        for (const auto& [j, flow] : upstream)
            sum += flow * nodes[j].conc;
        return sum;
    }
};

// The concentrations of every node of a network, regions in ascending
// order. Where the water runs in loops (border rivers crossing back and
// forth, sea currents that return), sweeps repeat until nothing changes;
// each sweep moves every node closer, since a node passes on at most what
// it gets.
template <class Node>
void settlenetwork(Tmodel& m, std::vector<Node>& nodes, const std::vector<std::uint32_t>& members,
                   const std::string& name) {
    for (int sweep = 0; sweep < 10000; ++sweep) {
        bool changed = false;
        for (std::uint32_t i : members) {
            Node& b = nodes[i];
            extended supply = b.own + b.upstreamsolids(nodes);
            extended conc = supply > 0 ? divide(m, supply, b.removal, {name, i}) : 0;
            if (std::fabs(conc - b.conc) > 1e-15L * conc) changed = true;
            b.conc = conc;
        }
        if (!changed) break;
    }
}

// The upstream nodes of node i: the regions j of the network whose flow to
// i is positive.
template <class Flow>
void linkupstream(Tsolidsnode& b, std::uint32_t i, const std::vector<std::uint32_t>& members,
                  Flow flow) {
    for (std::uint32_t j : members) {
        if (j == i) continue;
        extended f = flow(j, i);
        if (f > 0) b.upstream.emplace_back(j, f);
    }
}

// One land region's rivers and lakes in the routing.
struct Triverbox : Tsolidsnode {
    extended tolake = 0; // river water into the lakes
    // Share of the solids entering the lakes that settles there.
    extended trap = 0;
    Triverwater water;
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

Triverbox riverbox(Tmodel& m, std::uint32_t i, const std::vector<std::uint32_t>& lands) {
    Triverbox b;
    b.own = erodedsolids(m, i);
    b.water = riverwater(m, i);
    b.tolake = m.results.FLOW_river_lake.get(i);
    b.trap = b.tolake > 0 ? laketrap(m, i) : 0;
    // Every m^3 of water that leaves the river or is lost in it takes the
    // river's solids along, except what comes back from the lakes unsettled.
    extended through = b.water.in > b.water.out ? b.water.in : b.water.out;
    b.removal = through - (1 - b.trap) * b.tolake;
    linkupstream(b, i, lands, [&](std::uint32_t j, std::uint32_t k) {
        return extended(m.env.FLOW_river_river.get(j, k));
    });
    return b;
}

// The solids concentration of every river: each river carries what its
// soils and its upstream rivers bring it in the water that leaves it.
std::vector<Triverbox> routesolids(Tmodel& m, const std::vector<std::uint32_t>& lands) {
    std::vector<Triverbox> boxes(m.regions.count + 1);
    for (std::uint32_t i : lands)
        boxes[i] = riverbox(m, i, lands);
    settlenetwork(m, boxes, lands, m.results.riverinflow_solid.name());
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
    store(r.riverinflow_solid, i, b.own + b.upstreamsolids(boxes) + fromlakes);
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

// The exchange of a sediment with the water above it: the water's
// suspended matter settles at its settling rate (GROSS), and what settles
// beyond the sediment's growth (NET) is resuspended (RESUSP).
void computeexchange(Tmodel& m, std::uint32_t i, Tnumpars& net, extended suspconc, Tnumpars& gross,
                     Tnumpars& resusp) {
    float growth = net.get(i);
    float settling = single(settlingrate(m, suspconc, gross, i));
    gross.setdefault(i, growth >= settling ? growth : settling);
    if (growth >= settling) return store(resusp, i, 0);
    store(resusp, i, extended(gross.get(i)) - growth);
}

void computelandsolids(Tmodel& m, std::uint32_t i, const std::vector<Triverbox>& boxes) {
    Tresults& r = m.results;
    computeriversolids(m, i, boxes);
    computesedrate_inlandwater(m, i, boxes[i]);
    computePRODsusp_saltlake(m, i);
    computeNETsedrate_saltlake(m, i, boxes[i]);
    computeexchange(m, i, r.NETsedrate_saltlake, r.SUSPCONC_inlandwater.get(i),
                    r.GROSSsedrate_saltlake, r.RESUSPrate_saltlake);
    for (Tnumpars* p : {&r.PRODsusp_seawater, &r.NETsedrate_seawater, &r.sedrate_seawater,
                        &r.GROSSsedrate_seawater, &r.RESUSPrate_seawater})
        p->sethidden(i);
}

// ---- Sea regions -----------------------------------------------------------------

// One sea's mixed layer in the routing of its settling particles: it
// produces them over its whole area and gets those of the seas whose
// currents flow into it; they sink out of it over its whole area or leave
// with its currents. Water that evaporates leaves its particles behind.
struct Tseabox : Tsolidsnode {
    extended rivers = 0; // river solids, kg*s^-1
    extended shelf = 0;  // area where the mixed layer reaches the bottom, m^2
    extended area = 0;
};

Tseabox seabox(Tmodel& m, std::uint32_t i, const std::vector<std::uint32_t>& lands,
               const std::vector<std::uint32_t>& seas, const std::vector<Triverbox>& rivers) {
    Tseabox b;
    for (std::uint32_t j : lands)
        b.rivers += extended(m.env.FLOW_river_seawater.get(j, i)) * rivers[j].conc;
    b.area = m.env.SYSTEMAREA.get(i);
    extended shelf = m.env.AREA_seased.get(i);
    b.shelf = shelf > b.area ? b.area : (shelf > 0 ? shelf : 0);
    b.own = m.results.PRODsusp_seawater.get(i);
    // Without a shelf the rivers' solids sink with the sea's own particles.
    if (!(b.shelf > 0)) b.own += b.rivers;
    b.removal = extended(m.env.SETTLvelocity_susp.get()) * b.area;
    for (std::uint32_t l : seas)
        if (l != i) b.removal += m.env.FLOW_seawater_seawater.get(i, l);
    linkupstream(b, i, seas, [&](std::uint32_t j, std::uint32_t k) {
        return extended(m.env.FLOW_seawater_seawater.get(j, k));
    });
    return b;
}

// sedrate_seawater: the settling particles sinking out of the mixed layer,
// as the growth of a sediment of bulk density RHO_solid * Fsolid_sed
// (m*s^-1); beyond the shelf they leave for the deep ocean at this rate.
// NETsedrate_seawater: the growth of the shelf sediment from the particles
// settling on it and the rivers' solids; 0 for a sea without a shelf.
// GROSSsedrate_seawater, RESUSPrate_seawater: the shelf's exchange with the
// sea's suspended matter, as for the salt lakes.
void computeseasolids(Tmodel& m, std::uint32_t i, const Tseabox& b) {
    Tresults& r = m.results;
    extended sinking = extended(m.env.SETTLvelocity_susp.get()) * b.conc;
    store(r.sedrate_seawater, i,
          divide(m, sinking, sedimentsolids(m), {r.sedrate_seawater.name(), i}));
    Tnumpars& net = r.NETsedrate_seawater;
    if (b.shelf > 0) {
        extended settled = sinking * b.shelf + b.rivers;
        store(net, i, divide(m, settled, sedimentsolids(m) * b.shelf, {net.name(), i}));
    } else {
        store(net, i, 0);
    }
    computeexchange(m, i, net, r.SUSPCONC_seawater.get(i), r.GROSSsedrate_seawater,
                    r.RESUSPrate_seawater);
}

void hidelandsolids(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    for (Tnumpars* p :
         {&r.riverinflow_solid, &r.riveroutflow_solid, &r.sedrate_inlandwater, &r.PRODsusp_saltlake,
          &r.NETsedrate_saltlake, &r.GROSSsedrate_saltlake, &r.RESUSPrate_saltlake})
        p->sethidden(i);
}

} // namespace

void computesolids(Tmodel& m) {
    std::vector<std::uint32_t> lands, seas;
    for (std::uint32_t i = 1; i <= m.regions.count; ++i)
        (m.env.island(i) ? lands : seas).push_back(i);
    std::vector<Triverbox> rivers = routesolids(m, lands);
    for (std::uint32_t i : lands)
        computelandsolids(m, i, rivers);
    std::vector<Tseabox> boxes(m.regions.count + 1);
    for (std::uint32_t i : seas) {
        hidelandsolids(m, i);
        store(m.results.PRODsusp_seawater, i,
              m.env.PRODratesusp_seawater.get() * m.env.SYSTEMAREA.get(i));
        boxes[i] = seabox(m, i, lands, seas, rivers);
    }
    settlenetwork(m, boxes, seas, m.results.sedrate_seawater.name());
    for (std::uint32_t i : seas)
        computeseasolids(m, i, boxes[i]);
}

} // namespace velmora
