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
#include "compute/calculation.h"

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

// Transport velocity of the substance with settling suspended matter in lakes.
extended lakesettlingvelocity(Tmodel& m, std::uint32_t i) {
    extended suspconc = m.results.SUSPCONC_inlandwater.get(i);
    extended sedrate = m.results.sedrate_inlandwater.get(i);
    return suspconc * sedrate * m.results.Kp_susp.get(i);
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

void computeDIFF_air_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.DIFF_air_seawater.sethidden(i);
    velocitytimesarea(m.results.DIFF_air_seawater, i, m.results.GASABS_water, m.env.SYSTEMAREA);
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

// The air volume blown across the border per second (0 without a border).
void computeADV_air_air(Tmodel& m, std::uint32_t i, std::uint32_t j) {
    extended windspeed = m.results.BORDERWINDSPEED.get(i, j);
    extended borderlength = m.env.BORDERLENGTH.get(i, j);
    store(m.results.ADV_air_air, i, j, windspeed * borderlength * m.env.HEIGHT_air.get());
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

void computeADV_air_nat(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_air_nat.sethidden(i);
    extended d = depositionvelocity(m, i);
    store(m.results.ADV_air_nat, i, d * m.results.AREA_nat.get(i));
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

// The sediment volume buried in the river bed per second: the solids the
// river brings in and does not carry out, as settled sediment. Negative when
// the river carries out more than it brings in. Solids of zero density or a
// sediment without solids give no volume to speak of; rather than an
// infinite or undefined flow the result is then unknown, so the solve warns
// about it by name and takes no burial.
void computeADV_river_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_river_outside.sethidden(i);
    extended inflow = m.results.riverinflow_solid.get(i);
    extended outflow = m.results.riveroutflow_solid.get(i);
    extended rhosolid = m.env.RHO_solid.get();
    extended sedvolume = rhosolid * m.results.Fsolid_sed.get();
    if (sedvolume == 0) {
        m.results.ADV_river_outside.set(i, 0, stUnknown);
        return;
    }
    store(m.results.ADV_river_outside, i, (inflow - outflow) / sedvolume);
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

// Burial: what settles on the lake sediment is buried at the same rate.
void computeADV_lakesed_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_lakesed_outside.sethidden(i);
    extended p = lakesettlingvelocity(m, i);
    store(m.results.ADV_lakesed_outside, i, p * m.env.AREA_lakesed.get(i));
}

void computeADV_saltlake_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    if (!land) return m.results.ADV_saltlake_saltlakesed.sethidden(i);
    extended gross = m.results.GROSSsedrate_saltlake.get(i);
    store(m.results.ADV_saltlake_saltlakesed, i, gross * m.results.AREA_saltlakesed.get(i));
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

void computeADV_seawater_seased(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seawater_seased.sethidden(i);
    extended gross = m.results.GROSSsedrate_seawater.get(i);
    store(m.results.ADV_seawater_seased, i, gross * m.env.AREA_seased.get(i));
}

void computeADV_seased_seawater(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seased_seawater.sethidden(i);
    extended resusp = m.results.RESUSPrate_seawater.get(i);
    store(m.results.ADV_seased_seawater, i, resusp * m.env.AREA_seased.get(i));
}

// Settling on the sea floor outside the sediment area leaves the model.
void computeADV_seawater_outside(Tmodel& m, std::uint32_t i, bool land) {
    if (land) return m.results.ADV_seawater_outside.sethidden(i);
    extended systemarea = m.env.SYSTEMAREA.get(i);
    extended areaseased = m.env.AREA_seased.get(i);
    store(m.results.ADV_seawater_outside, i,
          (systemarea - areaseased) * m.results.GROSSsedrate_seawater.get(i));
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
