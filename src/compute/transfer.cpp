// Intermedia transfer: per region the mass-transfer coefficients across the
// air-water and air-soil interfaces, gas absorption and volatilisation,
// deposition and wash-out, infiltration and leaching, erosion and run-off,
// the solids carried by rivers, adsorption to and desorption from
// sediments, the production and settling of suspended matter with the net,
// gross and resuspension rates of sediments, and the water flows through
// lakes. The flow stage multiplies these velocities by areas.
//
// Velocities are in m*s^-1, solid fluxes in kg*s^-1, water flows in
// m^3*s^-1. Every formula reads its inputs as stored (32-bit), computes in
// extended precision and rounds once when it stores its result. The solids
// that the rivers carry, and the sedimentation they feed, follow in the
// solids stage once every region's erosion and lake flows are known.
#include <cmath>
#include <string>

#include "compute/atmosphere.h"
#include "compute/calculation.h"
#include "compute/rivers.h"
#include "compute/stagemath.h"
#include "numeric/errors.h"

namespace velmora {

using namespace stagemath;

namespace {

void store(Tnumpars& p, std::uint32_t i, extended x) {
    p.setdefault(i, static_cast<float>(x));
}

// One soil compartment: its results and the partition coefficients and
// solid fraction it is described by.
struct Tsoil {
    Tnumpars Tresults::*AREA;
    Tnumpars Tresults::*EROSION;
    Tnumpars Tresults::*RUNOFF;
    Tnumpars Tresults::*GASABS;
    Tnumpars Tresults::*VOLAT;
    Tnumpars Tresults::*Fsolid;  // Fsolid_agr or Fsolid_nonagr
    Tnumpars Tresults::*K_water; // K_agrwater or K_nonagrwater
    Tnumpars Tresults::*K_air;   // K_airagr or K_airnonagr
    bool landice;                // land ice lies on natural soil only
};

// Natural, agricultural and urban soil, in the order they are computed.
const Tsoil soils[] = {
    {&Tresults::AREA_nat, &Tresults::EROSION_nat, &Tresults::RUNOFF_nat, &Tresults::GASABS_nat,
     &Tresults::VOLAT_nat, &Tresults::Fsolid_nonagr, &Tresults::K_nonagrwater,
     &Tresults::K_airnonagr, true},
    {&Tresults::AREA_agr, &Tresults::EROSION_agr, &Tresults::RUNOFF_agr, &Tresults::GASABS_agr,
     &Tresults::VOLAT_agr, &Tresults::Fsolid_agr, &Tresults::K_agrwater, &Tresults::K_airagr,
     false},
    {&Tresults::AREA_urb, &Tresults::EROSION_urb, &Tresults::RUNOFF_urb, &Tresults::GASABS_urb,
     &Tresults::VOLAT_urb, &Tresults::Fsolid_nonagr, &Tresults::K_nonagrwater,
     &Tresults::K_airnonagr, false},
};

// ---- Air-water and air ------------------------------------------------------

// kaw_air: air-side mass-transfer coefficient of the air-water interface
// (0.01 converts cm*s^-1).
void computekaw_air(Tmodel& m, std::uint32_t i) {
    Tnumpars& r = m.results.kaw_air;
    extended wind = m.env.WINDSPEED.get(i);
    extended ratio = divide(m, 0.018L, m.sub.MOLW.get(), {r.name(), i});
    store(r, i, 0.01L * (0.3L + 0.2L * wind) * raise(ratio, 0.335L));
}

// kaw_water: water-side mass-transfer coefficient, linear in the wind speed.
void computekaw_water(Tmodel& m, std::uint32_t i) {
    Tnumpars& r = m.results.kaw_water;
    extended wind = m.env.WINDSPEED.get(i);
    extended ratio = divide(m, 0.032L, m.sub.MOLW.get(), {r.name(), i});
    store(r, i, 0.01L * (0.004L + 4e-05L * wind) * raise(ratio, 0.25L));
}

// The air-to-water transfer velocity of the whole air (before the gaseous
// fraction is applied): the two resistances in series, over the ice-free
// part of the year; none for a substance that stays in the air entirely.
extended watergasvelocity(Tmodel& m, std::uint32_t i, const std::string& name) {
    Tnumpars& Kaw = m.results.K_airwater;
    if (Kaw.isinfinite(i)) {
        Kaw.useds.setvalue(i, true);
        return 0;
    }
    extended frost = m.results.Ftime_frost.get(i);
    extended waterside = divide(m, Kaw.get(i), m.results.kaw_water.get(i), {name, i});
    extended airside = divide(m, 1, m.results.kaw_air.get(i), {name, i});
    return divide(m, 1 - frost, waterside + airside, {name, i});
}

// GASABS_water: gas absorption by water surfaces, of the gaseous fraction;
// none for an infinite air-water partition coefficient.
void computeGASABS_water(Tmodel& m, std::uint32_t i) {
    Tnumpars& r = m.results.GASABS_water;
    Tnumpars& Kaw = m.results.K_airwater;
    if (Kaw.isinfinite(i)) {
        Kaw.useds.setvalue(i, true);
        return store(r, i, 0);
    }
    extended gaseous = 1 - extended(m.results.Fass_aer.get(i));
    store(r, i, gaseous * watergasvelocity(m, i, r.name()));
}

// GASABS_water / (1 - Fass_aer): the transfer velocity per gaseous fraction
// that volatilisation uses. A substance entirely bound to aerosols has no
// gas absorption (0 / 0 here); its volatilisation from water is still
// driven by the same transfer velocity, which is then taken directly.
extended watergasabsorptionpergaseous(Tmodel& m, std::uint32_t i, const std::string& name) {
    extended gaseous = 1 - extended(m.results.Fass_aer.get(i));
    if (gaseous == 0) return watergasvelocity(m, i, name);
    return m.results.GASABS_water.get(i) / gaseous;
}

// DRYDEP_aer: dry deposition of the aerosol-bound fraction.
void computeDRYDEP_aer(Tmodel& m, std::uint32_t i) {
    extended fass = m.results.Fass_aer.get(i);
    store(m.results.DRYDEP_aer, i, fass * m.env.AEROSOLDEPRATE.get(i));
}

// WASHOUT: wash-out by rain, which falls only part of the time. The steady
// rain velocity SCAVratio * RAINRATE, as a rate over the air column, is
// limited by the dry spells in which the air fills up again.
void computeWASHOUT(Tmodel& m, std::uint32_t i) {
    extended scav = m.results.SCAVratio.get(i);
    extended steady = scav * m.env.RAINRATE.get(i);
    extended height = m.env.HEIGHT_air.get();
    extended rate = intermittentwashoutrate(quotient(steady, height), m.results.Ftime_rain.get(i));
    store(m.results.WASHOUT, i, height * rate);
}

// ---- Soils --------------------------------------------------------------------

// Finf_soil: the fraction of the rain on the soils that infiltrates to the
// groundwater; 0 without rain.
void computeFinf_soil(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.Finf_soil;
    if (!land) return r.sethidden(i);
    extended rain = m.env.RAINRATE.get(i);
    if (!(rain > 0)) return store(r, i, 0);
    extended infiltration = m.env.FLOW_soil_groundwater.get(i);
    extended area =
        extended(m.results.AREA_agr.get(i)) + m.results.AREA_nat.get(i) + m.results.AREA_urb.get(i);
    store(r, i, divide(m, infiltration, area * rain, {r.name(), i}));
}

// LEACH_agr, LEACH_nonagr: leaching of the dissolved substance with the
// infiltrating rain.
void computeLEACH(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) {
        r.LEACH_agr.sethidden(i);
        r.LEACH_nonagr.sethidden(i);
        return;
    }
    extended infiltrating = extended(m.env.RAINRATE.get(i)) * r.Finf_soil.get(i);
    store(r.LEACH_agr, i, divide(m, infiltrating, r.K_agrwater.get(i), {r.LEACH_agr.name(), i}));
    store(r.LEACH_nonagr, i,
          divide(m, infiltrating, r.K_nonagrwater.get(i), {r.LEACH_nonagr.name(), i}));
}

// The run-off water per square metre of soil (m*s^-1). WATERrunoff is the
// run-off of the region's whole soil area, so each soil sheds it per square
// metre of all three soils, as Finf_soil spreads the infiltration; the flows
// multiply back by the soil's own area and together carry WATERrunoff once.
extended runoffperarea(Tmodel& m, std::uint32_t i, const std::string& name) {
    extended water = m.env.WATERrunoff.get(i);
    extended area =
        extended(m.results.AREA_agr.get(i)) + m.results.AREA_nat.get(i) + m.results.AREA_urb.get(i);
    return divide(m, water, area, {name, i});
}

// EROSION_nat, EROSION_agr, EROSION_urb: the soil layer carried off with the
// solids in the run-off. Fsolid_runoff is the volume of solids per volume
// of run-off water; rain that infiltrates carries no soil to the rivers.
void computeEROSION(Tmodel& m, std::uint32_t i, const Tsoil& soil) {
    Tnumpars& r = m.results.*soil.EROSION;
    extended x = extended(m.env.Fsolid_runoff.get(i)) * runoffperarea(m, i, r.name());
    store(r, i, divide(m, x, (m.results.*soil.Fsolid).get(i), {r.name(), i}));
}

// RUNOFF_nat, RUNOFF_agr, RUNOFF_urb: dissolved substance in the run-off
// water plus the eroded soil.
void computeRUNOFF(Tmodel& m, std::uint32_t i, const Tsoil& soil) {
    Tnumpars& r = m.results.*soil.RUNOFF;
    extended perarea = runoffperarea(m, i, r.name());
    extended dissolved = divide(m, perarea, (m.results.*soil.K_water).get(i), {r.name(), i});
    store(r, i, dissolved + (m.results.*soil.EROSION).get(i));
}

// The air-to-soil transfer velocity of the whole air (before the gaseous
// fraction is applied): the soil-side resistances (through the soil water
// and the soil air in parallel) in series with the air-side one; none when
// the soil takes up nothing from the gas phase.
extended soilgasvelocity(Tmodel& m, std::uint32_t i, const Tsoil& soil, const std::string& name) {
    extended Kair = (m.results.*soil.K_air).get(i);
    if (!(Kair > 0)) return 0;
    extended soilside =
        divide(m, m.env.kasl_soilwater.get(), Kair, {name, i}) + m.env.kasl_soilair.get();
    extended resistance =
        divide(m, 1, soilside, {name, i}) + divide(m, 1, m.env.kasl_air.get(), {name, i});
    return divide(m, 1, resistance, {name, i});
}

// The share of a soil's surface open to the air over the year: outside the
// frost months, and for natural soil outside the land ice. Frozen or
// ice-covered ground is sealed in both directions, so gas absorption and
// volatilisation take the same share. Land ice larger than the natural soil
// (a data fault) seals all of it rather than giving a negative share.
extended soilopenshare(Tmodel& m, std::uint32_t i, const Tsoil& soil, const std::string& name) {
    extended x = 1;
    if (soil.landice) {
        x = 1 - divide(m, m.env.AREA_landice.get(i), (m.results.*soil.AREA).get(i), {name, i});
        if (x < 0) x = 0;
    }
    return x * (1 - extended(m.results.Ftime_frost.get(i)));
}

// GASABS_nat, GASABS_agr, GASABS_urb: gas absorption by the open soil
// surface, of the gaseous fraction; 0 when the soil-air partition
// coefficient is not positive.
void computeGASABS_soil(Tmodel& m, std::uint32_t i, const Tsoil& soil) {
    Tnumpars& r = m.results.*soil.GASABS;
    extended gaseous = 1 - extended(m.results.Fass_aer.get(i));
    extended open = soilopenshare(m, i, soil, r.name());
    store(r, i, open * gaseous * soilgasvelocity(m, i, soil, r.name()));
}

// VOLAT_nat, VOLAT_agr, VOLAT_urb: volatilisation through the same open
// surface and transfer velocity as gas absorption, so that at equilibrium
// the soil holds K_air / (1 - Fass_aer) times the gas in the air. The
// velocity is taken directly rather than as GASABS / (1 - Fass_aer), which
// is 0 / 0 for a substance entirely bound to aerosols.
void computeVOLAT_soil(Tmodel& m, std::uint32_t i, const Tsoil& soil) {
    Tnumpars& r = m.results.*soil.VOLAT;
    extended open = soilopenshare(m, i, soil, r.name());
    extended velocity = soilgasvelocity(m, i, soil, r.name());
    store(r, i, open * velocity * (m.results.*soil.K_air).get(i));
}

// The four soil transfers, where the region has that soil.
void computesoiltransfer(Tmodel& m, std::uint32_t i, bool land, const Tsoil& soil) {
    Tresults& r = m.results;
    if (!land || !((r.*soil.AREA).get(i) > 0)) {
        (r.*soil.EROSION).sethidden(i);
        (r.*soil.RUNOFF).sethidden(i);
        (r.*soil.GASABS).sethidden(i);
        (r.*soil.VOLAT).sethidden(i);
        return;
    }
    computeEROSION(m, i, soil);
    computeRUNOFF(m, i, soil);
    computeGASABS_soil(m, i, soil);
    computeVOLAT_soil(m, i, soil);
}

// ---- Rivers, lakes and sediments --------------------------------------------

// The water-to-air transfer velocity per dissolved concentration: the
// air-to-water velocity times K_airwater, so that at equilibrium the water
// holds the gas concentration over K_airwater. The frost share is already
// inside the air-to-water velocity. For an infinite K_airwater the product
// tends to the water-side coefficient over the ice-free time: a gas that
// does not stay in water leaves it as fast as the water film lets it.
extended watervolatilisationvelocity(Tmodel& m, std::uint32_t i, const std::string& name) {
    Tnumpars& Kaw = m.results.K_airwater;
    if (Kaw.isinfinite(i)) {
        Kaw.useds.setvalue(i, true);
        extended open = 1 - extended(m.results.Ftime_frost.get(i));
        return open * m.results.kaw_water.get(i);
    }
    return watergasabsorptionpergaseous(m, i, name) * Kaw.get(i);
}

// VOLAT_inlandwater: volatilisation of the dissolved fraction from lakes
// and rivers outside the frost months.
void computeVOLAT_inlandwater(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.VOLAT_inlandwater.sethidden(i);
    extended x = r.Fdiss_inlandwater.get(i);
    store(r.VOLAT_inlandwater, i,
          x * watervolatilisationvelocity(m, i, r.VOLAT_inlandwater.name()));
}

// VOLAT_seawater: volatilisation of the dissolved fraction from the ice-free
// sea surface.
void computeVOLAT_seawater(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (land) return r.VOLAT_seawater.sethidden(i);
    extended x = 1 - extended(m.env.Farea_seaice.get(i));
    x *= watervolatilisationvelocity(m, i, r.VOLAT_seawater.name());
    store(r.VOLAT_seawater, i, x * r.Fdiss_seawater.get(i));
}

// The water-sediment exchange velocity: the water-side and pore-water-side
// resistances in series.
extended sedimentexchangevelocity(Tmodel& m, std::uint32_t i, const std::string& name) {
    extended water = divide(m, 1, m.env.kws_water.get(), {name, i});
    extended sed = divide(m, 1, m.env.kws_sed.get(), {name, i});
    return divide(m, 1, water + sed, {name, i});
}

// ADSORB_sed: transfer of the dissolved substance from lake water to its
// sediment.
void computeADSORB_sed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.ADSORB_sed;
    if (!land) return r.sethidden(i);
    extended fdiss = m.results.Fdiss_inlandwater.get(i);
    store(r, i, fdiss * sedimentexchangevelocity(m, i, r.name()));
}

// ADSORB_seased: as ADSORB_sed for sea water and sea sediment.
void computeADSORB_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.ADSORB_seased;
    if (land) return r.sethidden(i);
    extended fdiss = m.results.Fdiss_seawater.get(i);
    store(r, i, fdiss * sedimentexchangevelocity(m, i, r.name()));
}

// DESORB_sed: the reverse transfer, per bulk sediment concentration. The
// exchange runs between the dissolved concentrations on either side: the
// lake water's (Fdiss_inlandwater of the bulk water) and the pore water's
// (the bulk sediment over K_sedwater). With ADSORB_sed = Fdiss_inlandwater
// * v, DESORB_sed = v / K_sedwater, so that at equilibrium the sediment
// holds K_sedwater * Fdiss_inlandwater times the water concentration.
void computeDESORB_sed(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.DESORB_sed.sethidden(i);
    extended bulk = extended(r.Fdiss_inlandwater.get(i)) * r.K_sedwater.get(i);
    store(r.DESORB_sed, i, divide(m, r.ADSORB_sed.get(i), bulk, {r.DESORB_sed.name(), i}));
}

// DESORB_seased: as DESORB_sed for sea water and sea sediment.
void computeDESORB_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (land) return r.DESORB_seased.sethidden(i);
    extended bulk = extended(r.Fdiss_seawater.get(i)) * r.K_seasedseawater.get(i);
    store(r.DESORB_seased, i, divide(m, r.ADSORB_seased.get(i), bulk, {r.DESORB_seased.name(), i}));
}

// FLOW_river_lake, FLOW_lake_river: the lake volume renewed per second,
// Q = TOTALDEPTH_lake * AREA_lake / RESTIME_lake, comes from the river less
// the direct rain and leaves to the river less the evaporation; both 0 for
// a region without lakes.
void computeFLOW_river_lake(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) {
        r.FLOW_river_lake.sethidden(i);
        r.FLOW_lake_river.sethidden(i);
        return;
    }
    extended area = m.env.AREA_lake.get(i);
    if (!(area > 0)) {
        store(r.FLOW_river_lake, i, 0);
        store(r.FLOW_lake_river, i, 0);
        return;
    }
    extended volume = m.env.TOTALDEPTH_lake.get(i) * area;
    extended Q = divide(m, volume, m.env.RESTIME_lake.get(i), {r.FLOW_river_lake.name(), i});
    extended in = Q - r.RAINDIRECT_lake.get(i);
    store(r.FLOW_river_lake, i, in > 0 ? in : 0);
    extended out = Q - r.EVAP_lake.get(i);
    store(r.FLOW_lake_river, i, out > 0 ? out : 0);
}

} // namespace

extended erodedsolids(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    extended sum = 0;
    for (const Tsoil& soil : soils) {
        Tnumpars& erosion = r.*soil.EROSION;
        if (!erosion.isknown(i)) continue;
        extended x = extended((r.*soil.AREA).get(i)) * erosion.get(i) * (r.*soil.Fsolid).get(i);
        sum += x * m.env.RHO_solid.get();
    }
    return sum;
}

void computetransfer(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        computekaw_air(m, i);
        computekaw_water(m, i);
        computeGASABS_water(m, i);
        computeDRYDEP_aer(m, i);
        computeWASHOUT(m, i);
        bool land = m.env.island(i);
        computeFinf_soil(m, i, land);
        computeLEACH(m, i, land);
        for (const Tsoil& soil : soils)
            computesoiltransfer(m, i, land, soil);
        computeVOLAT_inlandwater(m, i, land);
        computeVOLAT_seawater(m, i, land);
        computeADSORB_sed(m, i, land);
        computeADSORB_seased(m, i, land);
        computeDESORB_sed(m, i, land);
        computeDESORB_seased(m, i, land);
        computeFLOW_river_lake(m, i, land);
    }
    computesolids(m);
}

} // namespace velmora
