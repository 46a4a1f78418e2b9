// Compartment flows: the transfer velocities, water movements and sediment
// rates of the earlier stages turned into volume flows (m^3 of the source
// medium per second) between the compartments of a region and between
// regions. DIFF_ flows are diffusive exchanges across an interface, ADV_
// flows advective transports with a moving medium, _outside flows leave the
// modelled world. The system solve places each flow into the regcomp flow
// matrices.
//
// Every flow is computed in double or extended precision and rounded once to
// the float of its result. A flow whose velocity is hidden is not written at
// all, so it keeps its previous value and status (unknown after a clear) and
// the system solve skips it.
#include <algorithm>

#include "compute/atmosphere.h"
#include "compute/calculation.h"
#include "compute/rivers.h"

namespace velmora {

namespace {

void store(Tnumpars& result, std::uint32_t i, extended x) {
    result.setdefault(i, static_cast<float>(x));
}

void store(Tnumparss& result, std::uint32_t i, std::uint32_t j, extended x) {
    result.setdefault(i, j, static_cast<float>(x));
}

// velocity * area, written only when the velocity of the region is not hidden.
void velocitytimesarea(Tnumpars& flow, std::uint32_t i, Tnumpars& velocity, Tnumpars& area) {
    if (velocity.ishidden(i)) return;
    extended v = velocity.get(i);
    store(flow, i, v * area.get(i));
}

// Deposition velocity of the substance from air with rain and dry deposition
// of aerosols.
extended depositionvelocity(Tmodel& m, std::uint32_t i) {
    extended washout = m.results.WASHOUT.get(i);
    return washout + m.results.DRYDEP_aer.get(i);
}

// Settling particles carry the substance sorbed to them, not the bulk
// water. Per kilogram of suspended solid that is Kp (m^3 water per kg
// solid) times the dissolved concentration, the dissolved share Fdiss of
// the bulk water concentration the system solve multiplies a water flow by.
// A solids flux in kg*s^-1 times Kp * Fdiss is therefore the volume of
// bulk water whose substance it takes along.
extended waterpersolid(Tnumpars& kp, Tnumpars& fdiss, std::uint32_t i) {
    extended k = kp.get(i);
    return k * fdiss.get(i);
}

// Mass of solids per volume of bulk sediment (kg*m^-3): a sediment growth
// rate (m*s^-1) times this is the settled solids flux per square metre.
extended sedimentsolids(Tmodel& m) {
    extended rho = m.env.RHO_solid.get();
    return rho * m.results.Fsolid_sed.get();
}

// The lake water volume per second and square metre of lake bottom whose
// substance the settling suspended matter takes down: the settled solids
// (sediment growth rate times solids per bulk sediment) times Kp_susp *
// Fdiss_inlandwater.
extended lakesettlingvelocity(Tmodel& m, std::uint32_t i) {
    extended solids = m.results.sedrate_inlandwater.get(i) * sedimentsolids(m);
    return solids * waterpersolid(m.results.Kp_susp, m.results.Fdiss_inlandwater, i);
}

// ---- diffusive flows -------------------------------------------------------

void computeDIFF_air_lake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_air_lake.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_lake, i, m.results.GASABS_water, m.env.AREA_lake);
}

void computeDIFF_air_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_air_saltlake.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_saltlake, i, m.results.GASABS_water, m.env.AREA_saltlake);
}

void computeDIFF_lake_air(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_lake_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_lake_air, i, m.results.VOLAT_inlandwater, m.env.AREA_lake);
}

void computeDIFF_saltlake_air(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_saltlake_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_saltlake_air, i, m.results.VOLAT_inlandwater,
                      m.env.AREA_saltlake);
}

// Sea ice seals the water from the air in both directions: gas is absorbed
// only through the open water, the surface VOLAT_seawater volatilises from.
void computeDIFF_air_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.DIFF_air_seawater.sethidden(i);
    Tnumpars& gasabs = m.results.GASABS_water;
    if (gasabs.ishidden(i)) return;
    extended openwater = 1 - extended(m.env.Farea_seaice.get(i));
    extended area = openwater * m.env.SYSTEMAREA.get(i);
    store(m.results.DIFF_air_seawater, i, extended(gasabs.get(i)) * area);
}

void computeDIFF_seawater_air(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.DIFF_seawater_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_seawater_air, i, m.results.VOLAT_seawater, m.env.SYSTEMAREA);
}

void computeDIFF_air_nat(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_air_nat.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_nat, i, m.results.GASABS_nat, m.results.AREA_nat);
}

void computeDIFF_nat_air(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_nat_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_nat_air, i, m.results.VOLAT_nat, m.results.AREA_nat);
}

void computeDIFF_air_agr(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_air_agr.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_agr, i, m.results.GASABS_agr, m.results.AREA_agr);
}

void computeDIFF_agr_air(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_agr_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_agr_air, i, m.results.VOLAT_agr, m.results.AREA_agr);
}

void computeDIFF_air_urb(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_air_urb.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_urb, i, m.results.GASABS_urb, m.results.AREA_urb);
}

void computeDIFF_urb_air(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_urb_air.sethidden(i);
    velocitytimesarea(m.results.DIFF_urb_air, i, m.results.VOLAT_urb, m.results.AREA_urb);
}

void computeDIFF_lake_lakesed(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_lake_lakesed.sethidden(i);
    velocitytimesarea(m.results.DIFF_lake_lakesed, i, m.results.ADSORB_sed, m.env.AREA_lakesed);
}

void computeDIFF_saltlake_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_saltlake_saltlakesed.sethidden(i);
    velocitytimesarea(m.results.DIFF_saltlake_saltlakesed, i, m.results.ADSORB_sed,
                      m.results.AREA_saltlakesed);
}

void computeDIFF_lakesed_lake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_lakesed_lake.sethidden(i);
    velocitytimesarea(m.results.DIFF_lakesed_lake, i, m.results.DESORB_sed, m.env.AREA_lakesed);
}

void computeDIFF_saltlakesed_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.DIFF_saltlakesed_saltlake.sethidden(i);
    velocitytimesarea(m.results.DIFF_saltlakesed_saltlake, i, m.results.DESORB_sed,
                      m.results.AREA_saltlakesed);
}

void computeDIFF_seawater_seased(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.DIFF_seawater_seased.sethidden(i);
    velocitytimesarea(m.results.DIFF_seawater_seased, i, m.results.ADSORB_seased,
                      m.env.AREA_seased);
}

void computeDIFF_seased_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.DIFF_seased_seawater.sethidden(i);
    velocitytimesarea(m.results.DIFF_seased_seawater, i, m.results.DESORB_seased,
                      m.env.AREA_seased);
}

// ---- advective flows between regions ----------------------------------------

// The air volume exchanged across the border per second, each way (0
// without a border): large-scale mixing over the distance between the two
// regions' centres, at most the wind across the border. The distance is
// measured from the lower-numbered region, so both directions agree.
void computeADV_air_air(Tmodel& m, std::uint32_t i, std::uint32_t j) {
    extended velocity = m.results.BORDERWINDSPEED.get(i, j);
    extended borderlength = m.env.BORDERLENGTH.get(i, j);
    if (borderlength > 0)
        velocity = borderexchangevelocity(
            velocity, regiondistance(m, std::min(i, j), std::max(i, j)));
    store(m.results.ADV_air_air, i, j, velocity * borderlength * m.env.HEIGHT_air.get());
}

void computeADV_river_river(Tmodel& m, std::uint32_t i, std::uint32_t k, bool land, bool landk) {
    if (land && landk)
        store(m.results.ADV_river_river, i, k, m.env.FLOW_river_river.get(i, k));
    else
        m.results.ADV_river_river.sethidden(i, k);
}

void computeADV_groundwater_groundwater(Tmodel& m, std::uint32_t i, std::uint32_t k, bool land,
                                        bool landk) {
    if (land && landk)
        store(m.results.ADV_groundwater_groundwater, i, k,
              m.env.FLOW_groundwater_groundwater.get(i, k));
    else
        m.results.ADV_groundwater_groundwater.sethidden(i, k);
}

void computeADV_seawater_seawater(Tmodel& m, std::uint32_t i, std::uint32_t k, bool land,
                                  bool landk) {
    if (!land && !landk)
        store(m.results.ADV_seawater_seawater, i, k, m.env.FLOW_seawater_seawater.get(i, k));
    else
        m.results.ADV_seawater_seawater.sethidden(i, k);
}

// A land region's river water reaching a sea; never stored as a river-river flow.
void computeADV_river_seawater(Tmodel& m, std::uint32_t i, std::uint32_t k, bool land, bool landk) {
    if (land && !landk)
        store(m.results.ADV_river_seawater, i, k, m.env.FLOW_river_seawater.get(i, k));
    else
        m.results.ADV_river_seawater.sethidden(i, k);
}

void computeADV_groundwater_seawater(Tmodel& m, std::uint32_t i, std::uint32_t k, bool land,
                                     bool landk) {
    if (land && !landk)
        store(m.results.ADV_groundwater_seawater, i, k, m.env.FLOW_groundwater_seawater.get(i, k));
    else
        m.results.ADV_groundwater_seawater.sethidden(i, k);
}

// ---- advective flows within a region ----------------------------------------

void computeADV_air_lake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_lake.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_lake, i, d * m.env.AREA_lake.get(i));
}

void computeADV_air_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_saltlake.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_saltlake, i, d * m.env.AREA_saltlake.get(i));
}

void computeADV_air_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_air_seawater.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_seawater, i, d * m.env.SYSTEMAREA.get(i));
}

// The part of the natural soil under land ice, within 0 and the natural
// soil's area (the open share of transfer.cpp bounds it the same way).
extended landicearea(Tmodel& m, std::uint32_t i) {
    extended ice = m.env.AREA_landice.get(i);
    extended nat = m.results.AREA_nat.get(i);
    if (ice > nat) ice = nat;
    return ice > 0 ? ice : 0;
}

// Deposition reaches the natural soil only where it is not under land ice.
void computeADV_air_nat(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_nat.sethidden(i);
    extended d = depositionvelocity(m, i);
    extended open = extended(m.results.AREA_nat.get(i)) - landicearea(m, i);
    store(m.results.ADV_air_nat, i, d * open);
}

// What rain, snow and particles bring down onto the ice sheets and glaciers
// is buried under the following years' snow and leaves with the ice, as
// settled solids leave with sediment burial. Ice and snow are sealed to the
// gas exchange of the soil beneath (transfer.cpp), so nothing comes back
// into the air or the soil.
void computeADV_air_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_outside.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_outside, i, d * landicearea(m, i));
}

void computeADV_air_agr(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_agr.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_agr, i, d * m.results.AREA_agr.get(i));
}

void computeADV_air_urb(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_urb.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_urb, i, d * m.results.AREA_urb.get(i));
}

void computeADV_nat_river(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_nat_river.sethidden(i);
    velocitytimesarea(m.results.ADV_nat_river, i, m.results.RUNOFF_nat, m.results.AREA_nat);
}

void computeADV_agr_river(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_agr_river.sethidden(i);
    velocitytimesarea(m.results.ADV_agr_river, i, m.results.RUNOFF_agr, m.results.AREA_agr);
}

void computeADV_urb_river(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_urb_river.sethidden(i);
    velocitytimesarea(m.results.ADV_urb_river, i, m.results.RUNOFF_urb, m.results.AREA_urb);
}

// Leaching carries only the dissolved fraction of the deep soil; no test on
// the soil areas, so a region without the soil gets a flow of 0.
void computeADV_nat_groundwater(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_nat_groundwater.sethidden(i);
    extended leach = m.results.LEACH_nonagr.get(i);
    extended area = m.results.AREA_nat.get(i);
    store(m.results.ADV_nat_groundwater, i, leach * area * m.results.Fdiss_deepsoil.get(i));
}

void computeADV_agr_groundwater(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_agr_groundwater.sethidden(i);
    extended leach = m.results.LEACH_agr.get(i);
    extended area = m.results.AREA_agr.get(i);
    store(m.results.ADV_agr_groundwater, i, leach * area * m.results.Fdiss_deepsoil.get(i));
}

void computeADV_urb_groundwater(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_urb_groundwater.sethidden(i);
    extended leach = m.results.LEACH_nonagr.get(i);
    extended area = m.results.AREA_urb.get(i);
    store(m.results.ADV_urb_groundwater, i, leach * area * m.results.Fdiss_deepsoil.get(i));
}

void computeADV_river_lake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_river_lake.sethidden(i);
    store(m.results.ADV_river_lake, i, m.results.FLOW_river_lake.get(i));
}

void computeADV_river_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_river_saltlake.sethidden(i);
    store(m.results.ADV_river_saltlake, i, m.results.FLOW_river_saltlake.get(i));
}

// Irrigation water taken from the river.
void computeADV_river_agr(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_river_agr.sethidden(i);
    store(m.results.ADV_river_agr, i, m.env.FLOW_river_agr.get(i));
}

// What leaves the river within the region, other than to the compartments
// and regions the river feeds. (1) Burial in river beds and canals: the
// water the river loses in the region (evaporation, seepage) and the water
// taken for irrigation leave the solids they carried there, and with them
// the substance sorbed to them, Kp_susp * Fdiss_inlandwater of the bulk
// river water per kilogram. (2) The lost water also leaves its dissolved
// substance in the dry bed or the deep ground, neither of which is a
// compartment; without this a river with no outlet would keep a substance
// that neither degrades nor sorbs forever.
void computeADV_river_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_river_outside.sethidden(i);
    extended inflow = m.results.riverinflow_solid.get(i);
    extended outflow = m.results.riveroutflow_solid.get(i);
    extended settled = inflow > outflow ? inflow - outflow : 0;
    extended carried = waterpersolid(m.results.Kp_susp, m.results.Fdiss_inlandwater, i);
    extended lost = riverwater(m, i).lost() * m.results.Fdiss_inlandwater.get(i);
    store(m.results.ADV_river_outside, i, settled * carried + lost);
}

void computeADV_lake_river(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_lake_river.sethidden(i);
    store(m.results.ADV_lake_river, i, m.results.FLOW_lake_river.get(i));
}

void computeADV_lake_lakesed(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_lake_lakesed.sethidden(i);
    extended p = lakesettlingvelocity(m, i);
    store(m.results.ADV_lake_lakesed, i, p * m.env.AREA_lakesed.get(i));
}

// Settling onto the lake bottom outside the sediment area leaves the model.
void computeADV_lake_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_lake_outside.sethidden(i);
    extended p = lakesettlingvelocity(m, i);
    extended arealake = m.env.AREA_lake.get(i);
    store(m.results.ADV_lake_outside, i, p * (arealake - m.env.AREA_lakesed.get(i)));
}

// Burial: lakes resuspend nothing, so the sediment grows by what settles
// and the same volume of bulk sediment (with its own concentration) is
// buried below the mixed layer.
void computeADV_lakesed_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_lakesed_outside.sethidden(i);
    extended growth = m.results.sedrate_inlandwater.get(i);
    store(m.results.ADV_lakesed_outside, i, growth * m.env.AREA_lakesed.get(i));
}

// What settles in the salt lake takes the substance sorbed to the suspended
// matter; resuspension and burial move bulk sediment and stay volumes of it.
void computeADV_saltlake_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_saltlake_saltlakesed.sethidden(i);
    extended solids = m.results.GROSSsedrate_saltlake.get(i) * sedimentsolids(m);
    extended carried = waterpersolid(m.results.Kp_susp, m.results.Fdiss_inlandwater, i);
    store(m.results.ADV_saltlake_saltlakesed, i,
          solids * carried * m.results.AREA_saltlakesed.get(i));
}

void computeADV_saltlakesed_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_saltlakesed_saltlake.sethidden(i);
    extended resusp = m.results.RESUSPrate_saltlake.get(i);
    store(m.results.ADV_saltlakesed_saltlake, i, resusp * m.results.AREA_saltlakesed.get(i));
}

void computeADV_saltlakesed_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_saltlakesed_outside.sethidden(i);
    extended net = m.results.NETsedrate_saltlake.get(i);
    store(m.results.ADV_saltlakesed_outside, i, net * m.results.AREA_saltlakesed.get(i));
}

void computeADV_groundwater_river(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_groundwater_river.sethidden(i);
    store(m.results.ADV_groundwater_river, i, m.env.FLOW_groundwater_river.get(i));
}

void computeADV_groundwater_agr(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_groundwater_agr.sethidden(i);
    store(m.results.ADV_groundwater_agr, i, m.env.FLOW_groundwater_agr.get(i));
}

// The sea's settling particles take Kp_seasusp * Fdiss_seawater of the
// bulk sea water per kilogram of solids to the sediment.
extended seasettlingvelocity(Tmodel& m, std::uint32_t i, extended sedimentgrowth) {
    extended solids = sedimentgrowth * sedimentsolids(m);
    return solids * waterpersolid(m.results.Kp_seasusp, m.results.Fdiss_seawater, i);
}

void computeADV_seawater_seased(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seawater_seased.sethidden(i);
    extended gross = m.results.GROSSsedrate_seawater.get(i);
    extended v = seasettlingvelocity(m, i, gross);
    store(m.results.ADV_seawater_seased, i, v * m.env.AREA_seased.get(i));
}

void computeADV_seased_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seased_seawater.sethidden(i);
    extended resusp = m.results.RESUSPrate_seawater.get(i);
    store(m.results.ADV_seased_seawater, i, resusp * m.env.AREA_seased.get(i));
}

// Beyond the shelf the settling particles sink out of the mixed layer into
// the deep ocean, which has no box: they leave the model with what they sorb.
void computeADV_seawater_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seawater_outside.sethidden(i);
    extended open = extended(m.env.SYSTEMAREA.get(i)) - m.env.AREA_seased.get(i);
    extended v = seasettlingvelocity(m, i, m.results.sedrate_seawater.get(i));
    store(m.results.ADV_seawater_outside, i, (open > 0 ? open : 0) * v);
}

void computeADV_seased_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seased_outside.sethidden(i);
    extended net = m.results.NETsedrate_seawater.get(i);
    store(m.results.ADV_seased_outside, i, net * m.env.AREA_seased.get(i));
}

void computediffusiveflows(Tmodel& m, std::uint32_t i, bool land) {
    computeDIFF_air_lake(m, i, land);
    computeDIFF_air_saltlake(m, i, land);
    computeDIFF_lake_air(m, i, land);
    computeDIFF_saltlake_air(m, i, land);
    computeDIFF_air_seawater(m, i, land);
    computeDIFF_seawater_air(m, i, land);
    computeDIFF_air_nat(m, i, land);
    computeDIFF_nat_air(m, i, land);
    computeDIFF_air_agr(m, i, land);
    computeDIFF_agr_air(m, i, land);
    computeDIFF_air_urb(m, i, land);
    computeDIFF_urb_air(m, i, land);
    computeDIFF_lake_lakesed(m, i, land);
    computeDIFF_saltlake_saltlakesed(m, i, land);
    computeDIFF_lakesed_lake(m, i, land);
    computeDIFF_saltlakesed_saltlake(m, i, land);
    computeDIFF_seawater_seased(m, i, land);
    computeDIFF_seased_seawater(m, i, land);
}

void computeadvectiveflows(Tmodel& m, std::uint32_t i, bool land) {
    const std::uint32_t n = m.regions.count;
    for (std::uint32_t j = 1; j <= n; ++j)
        if (j != i) computeADV_air_air(m, i, j);
    computeADV_air_lake(m, i, land);
    computeADV_air_saltlake(m, i, land);
    computeADV_air_seawater(m, i, land);
    computeADV_air_nat(m, i, land);
    computeADV_air_agr(m, i, land);
    computeADV_air_urb(m, i, land);
    computeADV_air_outside(m, i, land);
    computeADV_nat_river(m, i, land);
    computeADV_agr_river(m, i, land);
    computeADV_urb_river(m, i, land);
    computeADV_nat_groundwater(m, i, land);
    computeADV_agr_groundwater(m, i, land);
    computeADV_urb_groundwater(m, i, land);
    computeADV_river_lake(m, i, land);
    computeADV_river_saltlake(m, i, land);
    computeADV_river_agr(m, i, land);
    computeADV_river_outside(m, i, land);
    computeADV_lake_river(m, i, land);
    computeADV_lake_lakesed(m, i, land);
    computeADV_lake_outside(m, i, land);
    computeADV_lakesed_outside(m, i, land);
    computeADV_saltlake_saltlakesed(m, i, land);
    computeADV_saltlakesed_saltlake(m, i, land);
    computeADV_saltlakesed_outside(m, i, land);
    computeADV_groundwater_river(m, i, land);
    computeADV_groundwater_agr(m, i, land);
    computeADV_seawater_seased(m, i, land);
    computeADV_seased_seawater(m, i, land);
    computeADV_seawater_outside(m, i, land);
    computeADV_seased_outside(m, i, land);
    // Water flows to the other regions; the diagonal is never written.
    for (std::uint32_t k = 1; k <= n; ++k) {
        if (k == i) continue;
        bool landk = m.env.land.get(k);
        computeADV_river_river(m, i, k, land, landk);
        computeADV_groundwater_groundwater(m, i, k, land, landk);
        computeADV_seawater_seawater(m, i, k, land, landk);
        computeADV_river_seawater(m, i, k, land, landk);
        computeADV_groundwater_seawater(m, i, k, land, landk);
    }
}

} // namespace

void computeflows(Tmodel& m) {
    const std::uint32_t n = m.regions.count;
    for (std::uint32_t i = 1; i <= n; ++i)
        computediffusiveflows(m, i, m.env.land.get(i));
    for (std::uint32_t i = 1; i <= n; ++i)
        computeadvectiveflows(m, i, m.env.land.get(i));
}

} // namespace velmora
