// Landscape dimensions and region geometry: solid fractions and densities of
// soils, sediments and suspended matter, suspended-matter concentrations,
// rain on and evaporation from lakes, soil areas, rain and frost time
// fractions, wind speeds across borders, distances and border counts between
// regions, and the volumes of all twelve compartments.
//
// Each result has its own compute function below, named after the result;
// computelandscape at the end calls them in the order the results depend on
// each other. The region-pair helpers regiondistance and bordercount are also
// used by the emitting-region results of the impact stage.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "compute/calculation.h"
#include "compute/stagemath.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"

namespace velmora {

using namespace stagemath;

namespace {

// The longest chain of borders that bordercount follows; farther regions
// count as one more.
constexpr std::uint8_t maxbordersteps = 8;
constexpr std::uint8_t beyondbordersteps = maxbordersteps + 1;

// Reads inputs with get, so that every value the stage uses is marked used,
// but lets the "has no value" warning of one value appear once per run: the
// border and distance loops read the same per-region values once for every
// pair, and a message box for each read would bury the user.
class Tinputs {
public:
    float get(Tnumpar& p) {
        if (quiet(p.ishidden() || p.isunknown(), &p, 0, 0)) {
            p.used = true;
            return p.value;
        }
        return p.get();
    }
    float get(Tnumpars& p, std::uint32_t i) {
        if (quiet(p.ishidden(i) || p.isunknown(i), &p, i, 0)) {
            p.useds.setvalue(i, true);
            return p.value(i);
        }
        return p.get(i);
    }
    float get(Tnumparss& p, std::uint32_t i, std::uint32_t j) {
        if (quiet(p.ishidden(i, j) || p.isunknown(i, j), &p, i, j)) {
            p.useds.setvalue(i, j, true);
            return p.value(i, j);
        }
        return p.get(i, j);
    }
    // Whether region i is a land region, asked of the environment once.
    bool island(Tenv& env, std::uint32_t i) {
        if (land_.size() <= i) land_.resize(i + 1, -1);
        if (land_[i] < 0) land_[i] = env.island(i) ? 1 : 0;
        return land_[i] == 1;
    }

private:
    // True when a value without a value has already warned in this run.
    bool quiet(bool novalue, const void* p, std::uint32_t i, std::uint32_t j) {
        if (!novalue) return false;
        return !warned_.insert({p, i, j}).second;
    }
    std::set<std::tuple<const void*, std::uint32_t, std::uint32_t>> warned_;
    std::vector<signed char> land_;
};

struct Tlandscape {
    Tmodel& m;
    Tenv& env;
    Tresults& r;
    std::uint32_t n;
    Tinputs in;
};

// ---- scalars ---------------------------------------------------------------

void computeFsolid_deepsoil(Tlandscape& s) {
    s.r.Fsolid_deepsoil.setdefault(single(1 - extended(s.in.get(s.env.Fwater_deepsoil))));
}

void computeFsolid_sed(Tlandscape& s) {
    s.r.Fsolid_sed.setdefault(single(1 - extended(s.in.get(s.env.Fwater_sed))));
}

void computeFsolid_susp(Tlandscape& s) {
    s.r.Fsolid_susp.setdefault(single(1 - extended(s.in.get(s.env.Fwater_susp))));
}

void computekelim_plant(Tlandscape& s) {
    extended kmetab = s.in.get(s.env.kmetab_plant);
    extended kphoto = s.in.get(s.env.kphoto_plant);
    s.r.kelim_plant.setdefault(single(kmetab + kphoto));
}

// ---- solids, densities and suspended matter, per region ------------------

void computeFsolid_agr(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.Fsolid_agr.sethidden(i);
    extended water = s.in.get(s.env.Fwater_agr, i);
    extended air = s.in.get(s.env.Fair_agr, i);
    s.r.Fsolid_agr.setdefault(i, single(1 - water - air));
}

void computeFsolid_nonagr(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.Fsolid_nonagr.sethidden(i);
    extended water = s.in.get(s.env.Fwater_nonagr, i);
    extended air = s.in.get(s.env.Fair_nonagr, i);
    s.r.Fsolid_nonagr.setdefault(i, single(1 - water - air));
}

// Bulk density of wet agricultural soil from its three phases.
void computeRHO_agr(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.RHO_agr.sethidden(i);
    extended air = extended(s.in.get(s.env.RHO_air)) * s.in.get(s.env.Fair_agr, i);
    extended water = extended(s.in.get(s.env.RHO_water)) * s.in.get(s.env.Fwater_agr, i);
    extended solid = extended(s.in.get(s.env.RHO_solid)) * s.in.get(s.r.Fsolid_agr, i);
    s.r.RHO_agr.setdefault(i, single(air + water + solid));
}

void computeSUSPCONC_inlandwater(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.SUSPCONC_inlandwater.sethidden(i);
    extended x = extended(s.in.get(s.r.Fsolid_susp)) * s.in.get(s.env.SUSPFRACTION_inlandwater, i) *
                 s.in.get(s.env.RHO_solid);
    s.r.SUSPCONC_inlandwater.setdefault(i, single(x));
}

void computeSUSPCONC_seawater(Tlandscape& s, std::uint32_t i, bool land) {
    if (land) return s.r.SUSPCONC_seawater.sethidden(i);
    extended x = extended(s.in.get(s.r.Fsolid_susp)) * s.in.get(s.env.SUSPFRACTION_seawater, i) *
                 s.in.get(s.env.RHO_solid);
    s.r.SUSPCONC_seawater.setdefault(i, single(x));
}

// ---- lake water balance and areas, per region -----------------------------

// A country without lakes has no lake evaporation (its evaporation rate is
// not even known then).
void computeEVAP_lake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land || !(s.in.get(s.env.AREA_lake, i) > 0)) return s.r.EVAP_lake.sethidden(i);
    extended x = extended(s.in.get(s.env.EVAPrate_lake, i)) * s.in.get(s.env.AREA_lake, i);
    s.r.EVAP_lake.setdefault(i, single(x));
}

void computeRAINDIRECT_lake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land || !(s.in.get(s.env.AREA_lake, i) > 0)) return s.r.RAINDIRECT_lake.sethidden(i);
    extended x = extended(s.in.get(s.env.RAINRATE, i)) * s.in.get(s.env.AREA_lake, i);
    s.r.RAINDIRECT_lake.setdefault(i, single(x));
}

void computeRAINDIRECT_saltlake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.RAINDIRECT_saltlake.sethidden(i);
    extended x = extended(s.in.get(s.env.RAINRATE, i)) * s.in.get(s.env.AREA_saltlake, i);
    s.r.RAINDIRECT_saltlake.setdefault(i, single(x));
}

void computeAREA_saltlakesed(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.AREA_saltlakesed.sethidden(i);
    s.r.AREA_saltlakesed.setdefault(i, s.in.get(s.env.AREA_saltlake, i));
}

void computeAREA_nat(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.AREA_nat.sethidden(i);
    extended x = extended(s.in.get(s.env.SYSTEMAREA, i)) * s.in.get(s.env.Farea_nat, i);
    s.r.AREA_nat.setdefault(i, single(x));
}

void computeAREA_agr(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.AREA_agr.sethidden(i);
    extended x = extended(s.in.get(s.env.SYSTEMAREA, i)) * s.in.get(s.env.Farea_agr, i);
    s.r.AREA_agr.setdefault(i, single(x));
}

void computeAREA_urb(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.AREA_urb.sethidden(i);
    extended x = extended(s.in.get(s.env.SYSTEMAREA, i)) * s.in.get(s.env.Farea_urb, i);
    s.r.AREA_urb.setdefault(i, single(x));
}

// ---- rain and frost, every region -----------------------------------------

// Each rain day counts as a tenth of a day of actual rain.
void computeFtime_rain(Tlandscape& s, std::uint32_t i) {
    extended x = extended(s.in.get(s.env.RAINDAYS, i)) * 0.1L / 365;
    s.r.Ftime_rain.setdefault(i, single(x));
}

void computeFtime_frost(Tlandscape& s, std::uint32_t i) {
    s.r.Ftime_frost.setdefault(i, single(extended(s.in.get(s.env.FROSTMONTHS, i)) / 12));
}

// ---- region pairs -----------------------------------------------------------

// The wind across a border: the wind speeds of the two regions weighted by
// the square roots of their areas. Two bordering regions that both have no
// area leave the weights undefined; they get the plain mean of their wind
// speeds, the value any two equal areas give, instead of a division by zero.
void computeBORDERWINDSPEED(Tlandscape& s, std::uint32_t i) {
    Tnumparss& result = s.r.BORDERWINDSPEED;
    for (std::uint32_t j = 1; j <= s.n; ++j) {
        if (j == i) {
            result.sethidden(i, i);
            continue;
        }
        if (!(s.in.get(s.env.BORDERLENGTH, i, j) > 0)) {
            result.setdefault(i, j, 0);
            continue;
        }
        extended wi = squareroot(s.in.get(s.env.SYSTEMAREA, i));
        extended wj = squareroot(s.in.get(s.env.SYSTEMAREA, j));
        extended ui = s.in.get(s.env.WINDSPEED, i);
        extended uj = s.in.get(s.env.WINDSPEED, j);
        extended x = wi + wj > 0 ? (wi * ui + wj * uj) / (wi + wj) : (ui + uj) / 2;
        result.setdefault(i, j, single(x));
    }
}

// The toolkit's ellipsoid distance weights the two radii of curvature by the
// direction of travel, which it finds through an arcsine of a sine ratio.
// For points far apart heading about due east or west (and for antipodes,
// where the direction is undefined) rounding pushes that ratio beyond 1 and
// the arcsine fails; this happens for a few pairs of any world-wide region
// list. The direction is then east-west, so the distance is the arc times the
// east-west radius of curvature, with the toolkit's own constants.
float eastwestdistance(Tgeopoint p1, Tgeopoint p2) {
    const float degrad = 0.017453f;
    const float a = 6378137.0f;
    const float e2 = 0.006739496742337f;
    float dphi = (p1.latitude - p2.latitude) * degrad;
    float dlambda = (p1.longitude - p2.longitude) * degrad;
    float phim = (p1.latitude + p2.latitude) / 2 * degrad;
    float sinphim = std::sin(phim);
    float n = a / std::sqrt(1 - e2 * sinphim * sinphim);
    float sdphi = std::sin(dphi / 2);
    float sdlambda = std::sin(dlambda / 2);
    float h = sdphi * sdphi +
              std::cos(p2.latitude * degrad) * std::cos(p1.latitude * degrad) * sdlambda * sdlambda;
    float c = 2 * std::asin(std::sqrt(std::min(h, 1.0f)));
    return c * n;
}

float distancebetween(Tinputs& in, Tenv& env, std::uint32_t i, std::uint32_t j) {
    Tgeopoint a{in.get(env.latitude, i), in.get(env.longitude, i)};
    Tgeopoint b{in.get(env.latitude, j), in.get(env.longitude, j)};
    float distance = 0;
    float bearing = 0;
    try {
        geodistance(a, b, distance, bearing);
    } catch (const EInvalidArgument&) {
        distance = eastwestdistance(a, b);
    }
    return distance;
}

// Distances are symmetric, so each pair is measured once, from the region
// with the lower number; the diagonal is left as it is.
void computeDISTANCE(Tlandscape& s, std::uint32_t i) {
    for (std::uint32_t j = i + 1; j <= s.n; ++j) {
        float d = distancebetween(s.in, s.env, i, j);
        s.r.DISTANCE.setdefault(i, j, d);
        s.r.DISTANCE.setdefault(j, i, d);
    }
}

// Breadth-first search over the border relation from region `from`: steps[r]
// becomes the smallest number of border crossings from `from` to r, or
// beyondbordersteps when r takes more than maxbordersteps or cannot be
// reached. neighbours(r, visit) calls visit(c) for every region c that r has
// a border with (BORDERLENGTH[r, c] > 0); visit returns true to stop the
// search early (bordercount stops once it reaches its target). A breadth-first
// search meets every region first on a shortest chain, so the counts are
// those of the exhaustive depth-limited search over all chains.
template <typename Neighbours>
void borderstepsfrom(std::uint32_t n, std::uint32_t from, std::uint32_t target,
                     Neighbours&& neighbours, std::vector<std::uint8_t>& steps) {
    steps.assign(n + 1, beyondbordersteps);
    steps[from] = 0;
    std::deque<std::uint32_t> queue{from};
    bool found = false;
    while (!queue.empty() && !found) {
        std::uint32_t r = queue.front();
        queue.pop_front();
        // Regions are dequeued in order of their step count.
        if (steps[r] >= maxbordersteps) break;
        std::uint8_t next = static_cast<std::uint8_t>(steps[r] + 1);
        neighbours(r, [&](std::uint32_t c) {
            if (steps[c] != beyondbordersteps) return false;
            steps[c] = next;
            queue.push_back(c);
            found = c == target;
            return found;
        });
    }
}

// The border relation of the whole world, read once, for the border counts
// of every region pair.
class Tbordergraph {
public:
    Tbordergraph(Tinputs& in, Tenv& env, std::uint32_t n) : n_(n), next_(n + 1) {
        for (std::uint32_t r = 1; r <= n; ++r)
            for (std::uint32_t c = 1; c <= n; ++c)
                if (c != r && in.get(env.BORDERLENGTH, r, c) > 0) next_[r].push_back(c);
    }
    // Border counts from region `from` to every region.
    const std::vector<std::uint8_t>& stepsfrom(std::uint32_t from) {
        borderstepsfrom(
            n_, from, 0,
            [this](std::uint32_t r, auto&& visit) {
                for (std::uint32_t c : next_[r])
                    if (visit(c)) return;
            },
            steps_);
        return steps_;
    }

private:
    std::uint32_t n_;
    std::vector<std::vector<std::uint32_t>> next_;
    std::vector<std::uint8_t> steps_;
};

// Border counts are taken as symmetric: the count from the lower-numbered
// region is stored both ways.
void computeNBORDERS(Tlandscape& s, std::uint32_t i, Tbordergraph& graph) {
    s.r.NBORDERS.setdefault(i, i, 0);
    const std::vector<std::uint8_t>& steps = graph.stepsfrom(i);
    for (std::uint32_t j = i + 1; j <= s.n; ++j) {
        float c = steps[j];
        s.r.NBORDERS.setdefault(i, j, c);
        s.r.NBORDERS.setdefault(j, i, c);
    }
}

// ---- volumes, per region ----------------------------------------------------

void computeV_air(Tlandscape& s, std::uint32_t i) {
    extended x = extended(s.in.get(s.env.SYSTEMAREA, i)) * s.in.get(s.env.HEIGHT_air);
    s.r.V_air.setdefault(i, single(x));
}

// The river water that must flow into the salt lakes to make up for the
// evaporation that direct rain does not cover.
void computeFLOW_river_saltlake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.FLOW_river_saltlake.sethidden(i);
    extended x = extended(s.in.get(s.env.EVAP_saltlake, i)) - s.in.get(s.r.RAINDIRECT_saltlake, i);
    s.r.FLOW_river_saltlake.setdefault(i, single(x > 0 ? x : 0));
}

void computeV_river(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_river.sethidden(i);
    s.r.V_river.setdefault(i, s.in.get(s.env.V_river, i));
}

void computeV_lake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_lake.sethidden(i);
    extended x = extended(s.in.get(s.env.AREA_lake, i)) * s.in.get(s.env.MIXDEPTH_lake, i);
    s.r.V_lake.setdefault(i, single(x));
}

void computeV_saltlake(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_saltlake.sethidden(i);
    extended x =
        extended(s.in.get(s.env.AREA_saltlake, i)) * s.in.get(s.env.TOTALDEPTH_saltlake, i);
    s.r.V_saltlake.setdefault(i, single(x));
}

void computeV_seawater(Tlandscape& s, std::uint32_t i, bool land) {
    if (land) return s.r.V_seawater.sethidden(i);
    extended x = extended(s.in.get(s.env.SYSTEMAREA, i)) * s.in.get(s.env.MIXDEPTH_seawater, i);
    s.r.V_seawater.setdefault(i, single(x));
}

void computeV_lakesed(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_lakesed.sethidden(i);
    extended x = extended(s.in.get(s.env.AREA_lakesed, i)) * s.in.get(s.env.DEPTH_sed);
    s.r.V_lakesed.setdefault(i, single(x));
}

void computeV_saltlakesed(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_saltlakesed.sethidden(i);
    extended x = extended(s.in.get(s.r.AREA_saltlakesed, i)) * s.in.get(s.env.DEPTH_sed);
    s.r.V_saltlakesed.setdefault(i, single(x));
}

void computeV_seased(Tlandscape& s, std::uint32_t i, bool land) {
    if (land) return s.r.V_seased.sethidden(i);
    extended x = extended(s.in.get(s.env.AREA_seased, i)) * s.in.get(s.env.DEPTH_sed);
    s.r.V_seased.setdefault(i, single(x));
}

void computeV_nat(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_nat.sethidden(i);
    extended x = extended(s.in.get(s.r.AREA_nat, i)) * s.in.get(s.env.DEPTH_nonagr, i);
    s.r.V_nat.setdefault(i, single(x));
}

void computeV_agr(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_agr.sethidden(i);
    extended x = extended(s.in.get(s.r.AREA_agr, i)) * s.in.get(s.env.DEPTH_agr);
    s.r.V_agr.setdefault(i, single(x));
}

void computeV_urb(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_urb.sethidden(i);
    extended x = extended(s.in.get(s.r.AREA_urb, i)) * s.in.get(s.env.DEPTH_nonagr, i);
    s.r.V_urb.setdefault(i, single(x));
}

// The pore water of the deep soil layer. When the layer reaches at least as
// deep as the lakes, it runs beneath them and only the lake water is taken
// out; otherwise the lakes interrupt it over their whole area.
void computeV_groundwater(Tlandscape& s, std::uint32_t i, bool land) {
    if (!land) return s.r.V_groundwater.sethidden(i);
    extended area = s.in.get(s.env.SYSTEMAREA, i);
    extended depth = s.in.get(s.env.DEPTH_groundwater);
    extended layer;
    if (depth >= s.in.get(s.env.TOTALDEPTH_lake, i))
        layer = area * depth - s.in.get(s.r.V_lake, i);
    else
        layer = (area - s.in.get(s.env.AREA_lake, i)) * depth;
    s.r.V_groundwater.setdefault(i, single(extended(s.in.get(s.env.Fwater_deepsoil)) * layer));
}

} // namespace

float regiondistance(Tmodel& model, std::uint32_t i, std::uint32_t j) {
    // A fresh reader: outside the stage every read warns, as a plain get does.
    Tinputs in;
    return distancebetween(in, model.env, i, j);
}

float bordercount(Tmodel& model, std::uint32_t i, std::uint32_t j) {
    if (i == j) return 0;
    std::uint32_t n = model.regions.count;
    Tnumparss& border = model.env.BORDERLENGTH;
    std::vector<std::uint8_t> steps;
    // Only the rows of the regions the search reaches are read.
    borderstepsfrom(
        n, i, j,
        [&](std::uint32_t r, auto&& visit) {
            for (std::uint32_t c = 1; c <= n; ++c)
                if (c != r && border.get(r, c) > 0 && visit(c)) return;
        },
        steps);
    return steps[j];
}

void computelandscape(Tmodel& model) {
    Tlandscape s{model, model.env, model.results, model.regions.count, {}};
    const Tsettings& settings = model.settings();

    computeFsolid_deepsoil(s);
    computeFsolid_sed(s);
    computeFsolid_susp(s);
    computekelim_plant(s);

    std::unique_ptr<Tbordergraph> graph;
    if (settings.NBordersDisplay == 2) graph = std::make_unique<Tbordergraph>(s.in, s.env, s.n);

    for (std::uint32_t i = 1; i <= s.n; ++i) {
        bool land = s.in.island(s.env, i);
        computeFsolid_agr(s, i, land);
        computeFsolid_nonagr(s, i, land);
        computeRHO_agr(s, i, land);
        computeSUSPCONC_inlandwater(s, i, land);
        computeSUSPCONC_seawater(s, i, land);
        computeEVAP_lake(s, i, land);
        computeRAINDIRECT_lake(s, i, land);
        computeRAINDIRECT_saltlake(s, i, land);
        computeAREA_saltlakesed(s, i, land);
        computeAREA_nat(s, i, land);
        computeAREA_agr(s, i, land);
        computeAREA_urb(s, i, land);

        computeFtime_rain(s, i);
        computeFtime_frost(s, i);

        computeBORDERWINDSPEED(s, i);
        if (settings.DistancesDisplay == 2) computeDISTANCE(s, i);
        if (settings.NBordersDisplay == 2) computeNBORDERS(s, i, *graph);

        computeV_air(s, i);
        computeFLOW_river_saltlake(s, i, land);
        computeV_river(s, i, land);
        computeV_lake(s, i, land);
        computeV_saltlake(s, i, land);
        computeV_seawater(s, i, land);
        computeV_lakesed(s, i, land);
        computeV_saltlakesed(s, i, land);
        computeV_seased(s, i, land);
        computeV_nat(s, i, land);
        computeV_agr(s, i, land);
        computeV_urb(s, i, land);
        computeV_groundwater(s, i, land);
    }
}

} // namespace velmora
