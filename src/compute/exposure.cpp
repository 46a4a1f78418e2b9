// Food re-exports, concentrations in the environment and in food, doses,
// intakes and intake fractions.
#include <array>
#include <cstdint>
#include <initializer_list>

#include "compute/calculation.h"
#include "compute/exposuremath.h"
#include "compute/foodchain.h"
#include "compute/stagemath.h"

namespace velmora {

using stagemath::single;

extended personintake(Tnumpars& intake, std::uint32_t i) {
    if (intake.ishidden(i)) return 0;
    return intake.get(i);
}

// ---- Food re-exports (model-parameter stage) ------------------------------
//
// A region that exports more of a food than it produces passes on part of
// its imports. The re-exports depend on the environment only, so they are
// computed with the model parameters, not with the concentrations.

namespace {

// One traded food: the re-export result and the trade figures it is
// derived from.
struct Ttradedfood {
    Tnumpars Tresults::*REEXPORT;
    Tnumpars Tenv::*EXPORT;
    Tnumpars Tenv::*PROD;
};

// The foods in the order their re-exports are computed.
const Ttradedfood tradedfoods[] = {
    {&Tresults::REEXPORT_freshwaterfish, &Tenv::EXPORT_freshwaterfish, &Tenv::PROD_freshwaterfish},
    {&Tresults::REEXPORT_leafcrops, &Tenv::EXPORT_leafcrops, &Tenv::PROD_leafcrops},
    {&Tresults::REEXPORT_rootcrops, &Tenv::EXPORT_rootcrops, &Tenv::PROD_rootcrops},
    {&Tresults::REEXPORT_meat, &Tenv::EXPORT_meat, &Tenv::PROD_meat},
    {&Tresults::REEXPORT_dairy, &Tenv::EXPORT_dairy, &Tenv::PROD_dairy},
};

// REEXPORT_freshwaterfish, REEXPORT_leafcrops, REEXPORT_rootcrops,
// REEXPORT_meat, REEXPORT_dairy: export - production when the region exports
// more than it produces, otherwise 0; hidden for sea regions.
void computeREEXPORT(Tmodel& m, std::uint32_t i, bool land, const Ttradedfood& food) {
    Tnumpars& r = m.results.*food.REEXPORT;
    if (!land) return r.sethidden(i);
    extended exported = (m.env.*food.EXPORT).get(i);
    extended produced = (m.env.*food.PROD).get(i);
    extended surplus = exported - produced;
    r.setdefault(i, surplus > 0 ? single(surplus) : 0.0f);
}

} // namespace

void computereexports(Tmodel& m, std::uint32_t i, bool land) {
    for (const Ttradedfood& food : tradedfoods)
        computeREEXPORT(m, i, land, food);
}


// ---- Concentrations, doses and intakes for the current emission ------------

namespace {

// The environmental concentrations are those the system solve left in the
// regcomps; compartments the region does not have are hidden.
void computeC_environment(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    Tnumpars& CONC = m.regcomps.CONC;
    auto conc = [&](std::uint32_t c) { return CONC.get(Tregcomps::regcompnumber(i, c)); };
    r.C_air.setdefault(i, conc(air));
    Tnumpars* landresults[] = {&r.C_nat,      &r.C_agr,         &r.C_urb,
                               &r.C_river,    &r.C_lake,        &r.C_lakesed,
                               &r.C_saltlake, &r.C_saltlakesed, &r.C_groundwater};
    const std::uint32_t landcompartments[] = {nat,     agr,      urb,         river,      lake,
                                              lakesed, saltlake, saltlakesed, groundwater};
    if (land) {
        for (std::size_t k = 0; k < 9; ++k)
            landresults[k]->setdefault(i, conc(landcompartments[k]));
        r.C_seawater.sethidden(i);
        r.C_seased.sethidden(i);
    } else {
        for (Tnumpars* p : landresults)
            p->sethidden(i);
        r.C_seawater.setdefault(i, conc(seawater));
        r.C_seased.setdefault(i, conc(seased));
    }
}

// Food and drinking water follow linearly from the environment; the
// factors are shared with the factor matrices of the other mode.
void computeC_landfood(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    Tfoodfactors f = foodfactors(m, i);
    extended air = r.C_air.get(i), nat = r.C_nat.get(i), agr = r.C_agr.get(i);
    extended river = r.C_river.get(i), lake = r.C_lake.get(i);
    extended groundwater = r.C_groundwater.get(i);
    exposuremath::Tlandmedia c = exposuremath::landmedia(f, air, nat, agr, river, lake, groundwater);
    r.C_leafcrops.setdefault(i, c.leafcrops);
    r.C_rootcrops.setdefault(i, c.rootcrops);
    r.C_freshwaterfish.setdefault(i, c.freshwaterfish);
    r.C_seafish.sethidden(i);
    r.C_grass.setdefault(i, c.grass);
    r.C_meat.setdefault(i, c.meat);
    r.C_dairy.setdefault(i, c.dairy);

    // The purified waters as shown; the drinking water mixes them with the
    // untreated share by the same factors.
    extended dissolved = r.Fdiss_inlandwater.get(i);
    extended frozen = m.env.Friver_frozen.get(i);
    extended vriver = (1 - frozen) * r.V_river.get(i);
    extended vlake = r.V_lake.get(i);
    extended W = vriver + vlake;
    r.C_purfgroundw.setdefault(
        i, single(extended(r.PURFgroundw.get()) * dissolved * groundwater));
    extended surface = W > 0 ? (vriver * river + vlake * lake) / W : 0;
    r.C_purfsurfacew.setdefault(i, single(extended(r.PURFsurfacew.get()) * dissolved * surface));
    r.C_drw.setdefault(i, c.drw);
}

// Sea fish live in sea regions only; the inputs are read for a gas too,
// which does not accumulate in fish.
void computeC_seafish(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    if (m.sub.isgas()) r.BCF_fish.get(i);
    r.C_seafish.setdefault(i, exposuremath::seafish(r.C_seawater.get(i), seafishfactor(m, i)));
}

void computeC_food(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (land) return computeC_landfood(m, i);
    r.C_leafcrops.sethidden(i);
    r.C_rootcrops.sethidden(i);
    r.C_freshwaterfish.sethidden(i);
    computeC_seafish(m, i);
    for (Tnumpars* p :
         {&r.C_grass, &r.C_meat, &r.C_dairy, &r.C_purfsurfacew, &r.C_purfgroundw, &r.C_drw})
        p->sethidden(i);
}

// The mean concentration of what the world trades (or catches), weighted by
// each region's exports (or catch), over land or sea regions.
float weightedmean(Tmodel& m, bool land, Tnumpars& weight, Tnumpars& concentration) {
    exposuremath::Tweightedmean mean;
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (m.env.island(i) != land) continue;
        float w = weight.get(i);
        mean.add(w, concentration.get(i));
    }
    return mean.mean();
}

void computeC_importconcentrations(Tmodel& m) {
    Tresults& r = m.results;
    Tenv& e = m.env;
    r.C_leafcropsimp.setdefault(weightedmean(m, true, e.EXPORT_leafcrops, r.C_leafcrops));
    r.C_rootcropsimp.setdefault(weightedmean(m, true, e.EXPORT_rootcrops, r.C_rootcrops));
    r.C_freshwaterfishimp.setdefault(
        weightedmean(m, true, e.EXPORT_freshwaterfish, r.C_freshwaterfish));
    r.C_seafishaverage.setdefault(weightedmean(m, false, e.CATCH_seafish, r.C_seafish));
    r.C_meatimp.setdefault(weightedmean(m, true, e.EXPORT_meat, r.C_meat));
    r.C_dairyimp.setdefault(weightedmean(m, true, e.EXPORT_dairy, r.C_dairy));
}

// A traded food: what a region produces, exports, imports and re-exports,
// what a person eats of it, its local and import concentrations and the dose.
struct Tfood {
    Tnumpars& PROD;
    Tnumpars& EXPORT;
    Tnumpars& IMPORT;
    Tnumpars& REEXPORT;
    Tnumpars& IH;
    Tnumpars& C;
    Tnumpar& Cimp;
    Tnumpars& DOSE;
};

Tfood leafcrops(Tmodel& m) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    return {e.PROD_leafcrops, e.EXPORT_leafcrops, e.IMPORT_leafcrops, r.REEXPORT_leafcrops,
            e.IH_leafcrops,   r.C_leafcrops,      r.C_leafcropsimp,   r.DOSE_leafcrops};
}

Tfood rootcrops(Tmodel& m) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    return {e.PROD_rootcrops, e.EXPORT_rootcrops, e.IMPORT_rootcrops, r.REEXPORT_rootcrops,
            e.IH_rootcrops,   r.C_rootcrops,      r.C_rootcropsimp,   r.DOSE_rootcrops};
}

Tfood freshwaterfish(Tmodel& m) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    return {e.PROD_freshwaterfish,     e.EXPORT_freshwaterfish, e.IMPORT_freshwaterfish,
            r.REEXPORT_freshwaterfish, e.IH_freshwaterfish,     r.C_freshwaterfish,
            r.C_freshwaterfishimp,     r.DOSE_freshwaterfish};
}

Tfood meat(Tmodel& m) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    return {e.PROD_meat, e.EXPORT_meat, e.IMPORT_meat, r.REEXPORT_meat,
            e.IH_meat,   r.C_meat,      r.C_meatimp,   r.DOSE_meat};
}

Tfood dairy(Tmodel& m) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    return {e.PROD_dairy, e.EXPORT_dairy, e.IMPORT_dairy, r.REEXPORT_dairy,
            e.IH_dairy,   r.C_dairy,      r.C_dairyimp,   r.DOSE_dairy};
}

// Inhaled chemical counted as the oral dose that would be absorbed as much.
void computeDOSE_air(Tmodel& m, std::uint32_t i, extended BW) {
    Tresults& r = m.results;
    extended dose = 0;
    if (BW != 0) {
        extended Fresp = m.sub.F_resp.get();
        extended IHair = personintake(m.env.IH_air, i);
        extended BIOinh = m.sub.BIO_inh.get();
        extended BIOoral = m.sub.BIO_oral.get();
        dose = exposuremath::inhalationfactor(Fresp, IHair, BW, BIOinh, BIOoral) * r.C_air.get(i);
    }
    r.DOSE_air.setdefault(i, single(dose));
}

void computeDOSE_drw(Tmodel& m, std::uint32_t i, extended BW) {
    Tresults& r = m.results;
    float dose = 0;
    if (BW != 0) dose = exposuremath::drinkingwaterdose(personintake(m.env.IH_drw, i), r.C_drw.get(i), BW);
    r.DOSE_drw.setdefault(i, dose);
}

// DOSE_leafcrops, DOSE_rootcrops, DOSE_freshwaterfish, DOSE_meat, DOSE_dairy:
// the intake per kg body weight times the mean concentration on the region's
// market. The market holds the own produce kept at home (production - export
// + re-export) at the local concentration and the imports not re-exported at
// the import concentration; its size T is the supply.
void computeDOSE_food(std::uint32_t i, extended BW, const Tfood& f) {
    extended P = f.PROD.get(i);
    extended X = f.EXPORT.get(i);
    extended M = f.IMPORT.get(i);
    extended T = single(P - X + M);
    float dose = 0;
    if (T != 0 && BW != 0) {
        extended R = f.REEXPORT.get(i);
        extended H = personintake(f.IH, i);
        extended C = f.C.get(i);
        extended Ci = f.Cimp.get();
        dose = exposuremath::fooddose(P, X, M, T, R, H, BW, C, Ci);
    } else {
        f.REEXPORT.useds.setvalue(i, true);
        f.IH.useds.setvalue(i, true);
    }
    f.DOSE.setdefault(i, dose);
}

// Sea fish come from the world market: every region eats the catch-weighted
// world average.
void computeDOSE_seafish(Tmodel& m, std::uint32_t i, extended BW) {
    Tresults& r = m.results;
    float dose = 0;
    if (BW != 0)
        dose = exposuremath::seafishdose(r.C_seafishaverage.get(), personintake(m.env.IH_seafish, i),
                                         BW);
    r.DOSE_seafish.setdefault(i, dose);
}

void computeDOSE_totaloral(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    float drw = r.DOSE_drw.get(i), fish = r.DOSE_freshwaterfish.get(i);
    float seafish = r.DOSE_seafish.get(i), leafcrops = r.DOSE_leafcrops.get(i);
    float rootcrops = r.DOSE_rootcrops.get(i), meat = r.DOSE_meat.get(i);
    float dairy = r.DOSE_dairy.get(i);
    r.DOSE_totaloral.setdefault(
        i, exposuremath::totaloraldose(drw, fish, seafish, leafcrops, rootcrops, meat, dairy));
}

void computeDOSE_total(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    float air = r.DOSE_air.get(i);
    r.DOSE_total.setdefault(i, exposuremath::totaldose(air, r.DOSE_totaloral.get(i)));
}

// The ten doses, in the order DOSE_air .. DOSE_total, paired with the intake
// each adds up to.
struct Troute {
    Tnumpars& DOSE;
    Tnumpar& INTAKE;
};

std::array<Troute, 10> routes(Tresults& r) {
    return {{{r.DOSE_air, r.INTAKE_air},
             {r.DOSE_drw, r.INTAKE_drw},
             {r.DOSE_leafcrops, r.INTAKE_leafcrops},
             {r.DOSE_rootcrops, r.INTAKE_rootcrops},
             {r.DOSE_freshwaterfish, r.INTAKE_freshwaterfish},
             {r.DOSE_seafish, r.INTAKE_seafish},
             {r.DOSE_meat, r.INTAKE_meat},
             {r.DOSE_dairy, r.INTAKE_dairy},
             {r.DOSE_totaloral, r.INTAKE_totaloral},
             {r.DOSE_total, r.INTAKE_total}}};
}

// INTAKE_air .. INTAKE_total: the world population's daily intake by route,
// each land region's dose times its total body mass, added up in place.
void computeINTAKE_routes(Tmodel& m) {
    std::array<Troute, 10> list = routes(m.results);
    for (Troute& route : list)
        route.INTAKE.setdefault(0);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (!m.env.island(i)) continue;
        float N = single(static_cast<extended>(m.env.Npop.get(i)) * m.env.BW.get(i));
        for (Troute& route : list) {
            // The running total is added to in place, not read: only a later
            // stage that uses an intake marks it used.
            extended sum = static_cast<extended>(route.INTAKE.value) +
                           static_cast<extended>(N) * route.DOSE.get(i);
            route.INTAKE.setdefault(single(sum));
        }
    }
}

constexpr extended secondsperday = 86400;

// The emission is set per second, doses and intakes are per day: an intake
// fraction compares the two over the same day.
extended emissionperday(Tmodel& m) {
    return static_cast<extended>(m.settings().EmissionAmount) * secondsperday;
}

// Intake fractions are left unknown without an emission to divide by: with
// nothing emitted the concentrations are all 0 and the fraction means nothing.
void computeiF(Tmodel& m) {
    Tresults& r = m.results;
    extended emission = emissionperday(m);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (!m.env.island(i)) {
            r.iF.sethidden(i);
            continue;
        }
        extended intake =
            static_cast<extended>(r.DOSE_total.get(i)) * m.env.BW.get(i) * m.env.Npop.get(i);
        if (emission == 0)
            r.iF.setunknown(i);
        else
            r.iF.setdefault(i, single(intake / emission));
    }
}

void computeiFtot(Tmodel& m) {
    Tresults& r = m.results;
    extended emission = emissionperday(m);
    extended intake = r.INTAKE_total.get();
    if (emission == 0)
        r.iFtot.setunknown();
    else
        r.iFtot.setdefault(single(intake / emission));
}

} // namespace

void computeconcentrations(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        bool land = m.env.island(i);
        computeC_environment(m, i, land);
        computeC_food(m, i, land);
    }
    computeC_importconcentrations(m);
}

void computedoses(Tmodel& m) {
    Tresults& r = m.results;
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (!m.env.island(i)) {
            for (Troute& route : routes(r))
                route.DOSE.sethidden(i);
            continue;
        }
        extended BW = m.env.BW.get(i);
        computeDOSE_air(m, i, BW);
        computeDOSE_drw(m, i, BW);
        computeDOSE_food(i, BW, leafcrops(m));
        computeDOSE_food(i, BW, rootcrops(m));
        computeDOSE_food(i, BW, freshwaterfish(m));
        computeDOSE_seafish(m, i, BW);
        computeDOSE_food(i, BW, meat(m));
        computeDOSE_food(i, BW, dairy(m));
        computeDOSE_totaloral(m, i);
        computeDOSE_total(m, i);
    }
}

void computeintakes(Tmodel& m) {
    computeINTAKE_routes(m);
    computeiF(m);
    computeiFtot(m);
}

} // namespace velmora
