#include "compute/foodchain.h"

#include "compute/stagemath.h"

namespace velmora {

using stagemath::quotient;

namespace {

// Bulk density of a region's natural (non-agricultural) soil, kg per m³:
// the plant factors are defined per kg of wet soil, as for agricultural soil
// with RHO_agr.
extended naturalsoildensity(Tmodel& m, std::uint32_t i) {
    Tenv& e = m.env;
    return extended(e.RHO_air.get()) * e.Fair_nonagr.get(i) +
           extended(e.RHO_water.get()) * e.Fwater_nonagr.get(i) +
           extended(e.RHO_solid.get()) * m.results.Fsolid_nonagr.get(i);
}

} // namespace

Tfoodfactors foodfactors(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    Tenv& e = m.env;
    Tfoodfactors f;

    // Soil concentrations per m³ of bulk soil become per kg of wet soil.
    extended perkgagr = quotient(1, r.RHO_agr.get(i));
    extended perkgnat = quotient(1, naturalsoildensity(m, i));
    extended bcfsoil = r.BCFsoil_leafcrops.get(i);
    extended bcfair = r.BCFair_leafcrops.get(i);
    f.leafcrops_agr = bcfsoil * perkgagr;
    f.leafcrops_air = bcfair;
    f.rootcrops_agr = extended(r.BCF_rootcrops.get(i)) * perkgagr;
    // Grass grows on natural soil.
    f.grass_nat = bcfsoil * perkgnat;
    f.grass_air = bcfair;

    // Grass is eaten by its dry weight, soil by its dry solids (CONVagr per kg
    // of wet soil), air by its volume.
    f.cattle_grass = extended(e.ICdwt_grass.get()) * e.CONVgrass.get();
    f.cattle_agr = extended(e.ICswt_soil.get()) * r.CONVagr.get(i) * perkgagr;
    f.cattle_air = e.IC_air.get();
    f.meatfactor = r.BCF_meat.get(i);
    f.milkfactor = r.BCF_milk.get(i);

    // Fish and drinking water come from the liquid fresh water: the river
    // less its frozen part, plus the lakes. The fish factor applies to the
    // dissolved concentration, as does drinking-water treatment.
    extended frozen = e.Friver_frozen.get(i);
    extended vriver = (1 - frozen) * r.V_river.get(i);
    extended vlake = r.V_lake.get(i);
    extended W = vriver + vlake;
    extended dissolved = r.Fdiss_inlandwater.get(i);
    extended safe = e.Fdrw_safe.get(i);
    extended ground = e.Fdrw_grw.get(i);
    // Purified water keeps PURF of its dissolved chemical, the rest is drunk
    // as it comes.
    extended fromground = dissolved * (safe * r.PURFgroundw.get() + (1 - safe));
    extended fromsurface = dissolved * (safe * r.PURFsurfacew.get() + (1 - safe));
    if (W > 0) {
        extended fish = extended(r.BCF_fish.get(i)) * dissolved;
        f.fish_river = fish * vriver / W;
        f.fish_lake = fish * vlake / W;
        f.drw_river = (1 - ground) * fromsurface * vriver / W;
        f.drw_lake = (1 - ground) * fromsurface * vlake / W;
        f.drw_groundwater = ground * fromground;
    } else {
        f.drw_groundwater = fromground;
    }
    return f;
}

extended seafishfactor(Tmodel& m, std::uint32_t i) {
    if (m.sub.isgas()) return 0;
    Tresults& r = m.results;
    extended factor = extended(r.BCF_fish.get(i)) * r.Fdiss_seawater.get(i);
    if (m.sub.ismetal()) factor *= extended(r.ACTCOEFF.get()) * r.FREEIONseawater.get(i);
    return factor;
}

} // namespace velmora
