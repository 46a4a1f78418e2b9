// Partitioning, speciation and bioconcentration: the activity coefficient and
// free-ion fraction of metals, vapour pressure and air-water partitioning at
// the region's temperature, solid-water partition coefficients, the aerosol
// bound fraction and scavenging ratio, bulk partition coefficients of soils
// and sediments, plant partition coefficients, bioconcentration factors and
// dissolved fractions. Metals, gases and organic substances follow different
// rules; for organic substances most missing properties are estimated from
// Kow.
//
// Each result has its own compute function below, named after the result;
// computepartitioning at the end runs them in five passes over the regions,
// each pass reading what the earlier ones stored.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "compute/calculation.h"
#include "compute/stagemath.h"
#include "numeric/errors.h"

namespace velmora {

using namespace stagemath;

namespace {

// The gas constant in J*mol^-1*K^-1, as the single-precision constant of the
// table of physical constants.
constexpr float gasconstant = 8.314472f;

// Reads inputs with get, so that every value the stage uses is marked used,
// but lets the "has no value" warning of one value appear once per run
// rather than once per region and pass.
class Tinputs {
public:
    float get(Tnumpar& p) {
        if (quiet(p.ishidden() || p.isunknown(), &p, 0)) {
            p.used = true;
            return p.value;
        }
        return p.get();
    }
    float get(Tnumpars& p, std::uint32_t i) {
        if (quiet(p.ishidden(i) || p.isunknown(i), &p, i)) {
            p.useds.setvalue(i, true);
            return p.value(i);
        }
        return p.get(i);
    }
    // Whether region i is a land region, asked of the environment once.
    bool island(Tenv& env, std::uint32_t i) {
        if (land_.size() <= i) land_.resize(i + 1, -1);
        if (land_[i] < 0) land_[i] = env.island(i) ? 1 : 0;
        return land_[i] == 1;
    }

private:
    bool quiet(bool novalue, const void* p, std::uint32_t i) {
        if (!novalue) return false;
        return !warned_.insert({p, i}).second;
    }
    std::set<std::tuple<const void*, std::uint32_t>> warned_;
    std::vector<signed char> land_;
};

extended log10of(extended x) {
    return ln(x) / std::log(10.0L);
}

extended exp10of(extended x) {
    return std::exp(x * std::log(10.0L));
}

enum class Tkind { metal, organic, gas };

struct Tpartitioning {
    Tmodel& m;
    Tenv& env;
    Tsub& sub;
    Tresults& r;
    std::uint32_t n;
    Tkind kind;
    Tinputs in;
};

// Stores the substance value, or unknown when the substance does not know it.
void substancevalue(Tpartitioning& s, Tnumpars& result, std::uint32_t i, Tnumpar& value) {
    if (value.isunknown())
        result.setunknown(i);
    else
        result.setdefault(i, s.in.get(value));
}

// ---- pass 1: scalars ------------------------------------------------------

// Activity coefficient of the metal ion, by charge. A negative charge is not
// covered: the previous value stays.
void computeACTCOEFF(Tpartitioning& s) {
    Tnumpar& result = s.r.ACTCOEFF;
    if (s.kind != Tkind::metal) return result.sethidden();
    if (s.sub.CHARGE.isunknown()) return result.setunknown();
    std::int32_t charge = s.sub.CHARGE.get();
    if (charge == 0) return result.setunknown();
    if (charge < 0) return;
    float exponent = charge == 1 ? -0.15f : charge == 2 ? -0.58f : charge == 3 ? -1.31f : -2.34f;
    result.setdefault(single(exp10of(exponent)));
}

void computeK_plantwater(Tpartitioning& s) {
    if (s.kind != Tkind::organic) return s.r.K_plantwater.sethidden();
    extended lipid = s.in.get(s.env.Flipid_plant);
    extended kow = s.in.get(s.sub.Kow);
    extended b = s.in.get(s.env.b);
    extended water = s.in.get(s.env.Fwater_plant);
    s.r.K_plantwater.setdefault(single(lipid * raise(kow, b) + water));
}

// Transpiration stream concentration factor.
void computeTSCF(Tpartitioning& s) {
    if (s.kind != Tkind::organic) return s.r.TSCF.sethidden();
    extended d = log10of(s.in.get(s.sub.Kow)) - 1.78L;
    s.r.TSCF.setdefault(single(0.784L * std::exp(-(d * d) / 2.44L)));
}

// ---- pass 2: substance properties per region --------------------------------

// Free-ion fraction of a metal in sea water, interpolated linearly in the
// sea's temperature between the fraction at 5 degC (278 K) and the one at
// 25 degC (298 K). Writing the interpolation the other way round would give
// a sea at 5 degC the 25 degC fraction and the reverse.
void computeFREEIONseawater(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.FREEIONseawater;
    if (s.kind != Tkind::metal || land) return result.sethidden(i);
    if (s.sub.FREEION5seawater.isunknown() || s.sub.FREEION25seawater.isunknown())
        return result.setunknown(i);
    extended at5 = s.in.get(s.sub.FREEION5seawater);
    extended at25 = s.in.get(s.sub.FREEION25seawater);
    // The two measured points bound the interpolation: beyond them a straight
    // line soon leaves 0..1 (polar and tropical seas).
    extended temp = std::clamp<extended>(s.in.get(s.env.TEMP, i), 278, 298);
    result.setdefault(i, single(at5 + (temp - 278) * (at25 - at5) / 20));
}

// Vapour pressure at the region's temperature (Clausius-Clapeyron).
void computeVP(Tpartitioning& s, std::uint32_t i) {
    Tnumpars& result = s.r.VP;
    if (s.kind != Tkind::organic) return result.sethidden(i);
    if (s.sub.H_0vapor.isunknown()) return result.setunknown(i);
    extended test = s.in.get(s.sub.TEMPtest);
    if (test == 0) return result.setunknown(i);
    extended vp = s.in.get(s.sub.VP_TEMPtest);
    extended h = s.in.get(s.sub.H_0vapor);
    extended temp = s.in.get(s.env.TEMP, i);
    extended x = vp * std::exp(h / gasconstant * (1 / test - quotient(1, temp)));
    result.setdefault(i, single(x));
}

void computeK_airwater(Tpartitioning& s, std::uint32_t i) {
    Tnumpars& result = s.r.K_airwater;
    switch (s.kind) {
    case Tkind::metal:
        return substancevalue(s, result, i, s.sub.K_airwater);
    case Tkind::gas:
        return result.setdefault(i, s.in.get(s.sub.K_airwater));
    case Tkind::organic:
        break;
    }
    extended henry = s.in.get(s.sub.HENRY);
    extended temp = s.in.get(s.env.TEMP, i);
    result.setdefault(i, single(quotient(henry, temp * gasconstant)));
}

// Leaf-air partition coefficient. A substance that does not leave water for
// air has the air of the leaf only.
void computeK_leafair(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.K_leafair;
    if (s.kind != Tkind::organic || !land) return result.sethidden(i);
    extended air = s.in.get(s.env.Fair_plant);
    if (s.r.K_airwater.isinfinite(i)) {
        s.r.K_airwater.useds.setvalue(i, true);
        return result.setdefault(i, single(air));
    }
    extended plant = s.in.get(s.r.K_plantwater);
    extended kaw = s.in.get(s.r.K_airwater, i);
    result.setdefault(i, single(quotient(plant, kaw) + air));
}

// Solid-water partition coefficient of a land compartment: the substance
// value for a metal or a gas, organic carbon times Koc for an organic
// substance.
void landKp(Tpartitioning& s, Tnumpars& result, std::uint32_t i, bool land, Tnumpar& value,
            Tnumpars& foc) {
    if (!land) return result.sethidden(i);
    if (s.kind != Tkind::organic) return result.setdefault(i, s.in.get(value));
    extended x = extended(s.in.get(foc, i)) * s.in.get(s.sub.Koc);
    result.setdefault(i, single(x));
}

// The same for a sea compartment.
void seaKp(Tpartitioning& s, Tnumpars& result, std::uint32_t i, bool land, Tnumpar& value,
           Tnumpars& foc) {
    if (land) return result.sethidden(i);
    if (s.kind != Tkind::organic) return result.setdefault(i, s.in.get(value));
    extended x = extended(s.in.get(foc, i)) * s.in.get(s.sub.Koc);
    result.setdefault(i, single(x));
}

void computeKp_soil(Tpartitioning& s, std::uint32_t i, bool land) {
    landKp(s, s.r.Kp_soil, i, land, s.sub.Kp_soil, s.env.Foc_soil);
}

void computeKp_sed(Tpartitioning& s, std::uint32_t i, bool land) {
    landKp(s, s.r.Kp_sed, i, land, s.sub.Kp_sed, s.env.Foc_sed);
}

void computeKp_susp(Tpartitioning& s, std::uint32_t i, bool land) {
    landKp(s, s.r.Kp_susp, i, land, s.sub.Kp_susp, s.env.Foc_susp);
}

// Sea sediment takes the sediment value of a metal or gas.
void computeKp_seased(Tpartitioning& s, std::uint32_t i, bool land) {
    seaKp(s, s.r.Kp_seased, i, land, s.sub.Kp_sed, s.env.Foc_seased);
}

void computeKp_seasusp(Tpartitioning& s, std::uint32_t i, bool land) {
    seaKp(s, s.r.Kp_seasusp, i, land, s.sub.Kp_susp, s.env.Foc_seasusp);
}

// Fraction bound to aerosols (Junge). Sorption to aerosols follows the
// liquid (sub-cooled for a solid) vapour pressure. A solid's own vapour
// pressure is the lower one; the fugacity ratio exp(6.79 (1 - TEMPmelt /
// TEMP)) < 1 links the two, so the sub-cooled liquid's is the solid's
// divided by it: VP * exp(6.79 (TEMPmelt / TEMP - 1)).
void computeFass_aer(Tpartitioning& s, std::uint32_t i) {
    Tnumpars& result = s.r.Fass_aer;
    if (s.kind != Tkind::organic) return result.setdefault(i, s.in.get(s.sub.Fass_aer));
    extended j = extended(s.in.get(s.env.CONjunge)) * s.in.get(s.env.SURFaer);
    extended melt = s.in.get(s.sub.TEMPmelt);
    extended temp = s.in.get(s.env.TEMP, i);
    extended vp = s.in.get(s.r.VP, i);
    extended x;
    if (melt > temp)
        x = quotient(j, vp * std::exp(6.79L * (quotient(melt, temp) - 1)) + j);
    else
        x = quotient(j, j + vp);
    result.setdefault(i, single(x));
}

// Scavenging ratio: the dissolved gas phase plus the aerosols that rain
// collects; only aerosols for a substance that does not dissolve from air.
void computeSCAVratio(Tpartitioning& s, std::uint32_t i) {
    Tnumpars& result = s.r.SCAVratio;
    extended fass = s.in.get(s.r.Fass_aer, i);
    extended collect = s.in.get(s.env.COLLECTeff);
    if (s.kind != Tkind::organic) return result.setdefault(i, single(fass * collect));
    if (s.r.K_airwater.isinfinite(i)) {
        s.r.K_airwater.useds.setvalue(i, true);
        return result.setdefault(i, single(fass * collect));
    }
    extended kaw = s.in.get(s.r.K_airwater, i);
    result.setdefault(i, single(quotient(1 - fass, kaw) + collect * fass));
}

// ---- pass 3: bulk partition coefficients ------------------------------------
// An infinite air-water partition coefficient enters these sums as the number
// that stands for infinity.

void computeK_soilwater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_soilwater.sethidden(i);
    extended x = extended(s.in.get(s.env.Fair_soil)) * s.in.get(s.r.K_airwater, i) +
                 s.in.get(s.env.Fwater_soil) +
                 extended(s.in.get(s.env.Fsolid_soil)) * s.in.get(s.r.Kp_soil, i) *
                     s.in.get(s.env.RHO_solid);
    s.r.K_soilwater.setdefault(i, single(x));
}

void computeK_agrwater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_agrwater.sethidden(i);
    extended x = extended(s.in.get(s.env.Fair_agr, i)) * s.in.get(s.r.K_airwater, i) +
                 s.in.get(s.env.Fwater_agr, i) +
                 extended(s.in.get(s.r.Fsolid_agr, i)) * s.in.get(s.r.Kp_soil, i) *
                     s.in.get(s.env.RHO_solid);
    s.r.K_agrwater.setdefault(i, single(x));
}

void computeK_nonagrwater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_nonagrwater.sethidden(i);
    extended x = extended(s.in.get(s.env.Fair_nonagr, i)) * s.in.get(s.r.K_airwater, i) +
                 s.in.get(s.env.Fwater_nonagr, i) +
                 extended(s.in.get(s.r.Fsolid_nonagr, i)) * s.in.get(s.r.Kp_soil, i) *
                     s.in.get(s.env.RHO_solid);
    s.r.K_nonagrwater.setdefault(i, single(x));
}

void computeK_deepsoilwater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_deepsoilwater.sethidden(i);
    extended x = extended(s.in.get(s.r.Fsolid_deepsoil)) * s.in.get(s.r.Kp_soil, i) *
                     s.in.get(s.env.RHO_solid) +
                 s.in.get(s.env.Fwater_deepsoil);
    s.r.K_deepsoilwater.setdefault(i, single(x));
}

void computeK_sedwater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_sedwater.sethidden(i);
    extended x =
        extended(s.in.get(s.r.Fsolid_sed)) * s.in.get(s.r.Kp_sed, i) * s.in.get(s.env.RHO_solid) +
        s.in.get(s.env.Fwater_sed);
    s.r.K_sedwater.setdefault(i, single(x));
}

void computeK_seasedseawater(Tpartitioning& s, std::uint32_t i, bool land) {
    if (land) return s.r.K_seasedseawater.sethidden(i);
    extended x = extended(s.in.get(s.r.Fsolid_sed)) * s.in.get(s.r.Kp_seased, i) *
                     s.in.get(s.env.RHO_solid) +
                 s.in.get(s.env.Fwater_sed);
    s.r.K_seasedseawater.setdefault(i, single(x));
}

// A country without farmland has no agricultural soil to partition into.
void computeK_airagr(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land || !(s.in.get(s.r.AREA_agr, i) > 0)) return s.r.K_airagr.sethidden(i);
    extended x = quotient(s.in.get(s.r.K_airwater, i), s.in.get(s.r.K_agrwater, i));
    s.r.K_airagr.setdefault(i, single(x));
}

void computeK_airnonagr(Tpartitioning& s, std::uint32_t i, bool land) {
    if (!land) return s.r.K_airnonagr.sethidden(i);
    extended x = quotient(s.in.get(s.r.K_airwater, i), s.in.get(s.r.K_nonagrwater, i));
    s.r.K_airnonagr.setdefault(i, single(x));
}

// ---- pass 4: bioconcentration factors ---------------------------------------

// Fish from water; for organic substances without a measured value estimated
// from Kow (the "- 3" turns litres into cubic metres).
void computeBCF_fish(Tpartitioning& s, std::uint32_t i) {
    Tnumpars& result = s.r.BCF_fish;
    if (s.kind != Tkind::organic || !s.sub.BCF_fish.isunknown())
        return substancevalue(s, result, i, s.sub.BCF_fish);
    if (s.sub.Kow.isunknown()) return result.setunknown(i);
    extended kow = s.in.get(s.sub.Kow);
    if (!(kow > 0)) return result.setunknown(i);
    extended l = log10of(kow);
    extended exponent = l > 6 ? -0.2L * l * l + 2.74L * l - 4.72L - 3 : 0.85L * l - 0.7L - 3;
    result.setdefault(i, single(exp10of(exponent)));
}

// Leaf crops from soil, through the transpiration stream, for organic
// substances without a measured value.
void computeBCFsoil_leafcrops(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.BCFsoil_leafcrops;
    if (!land) return result.sethidden(i);
    if (s.kind != Tkind::organic || !s.sub.BCFsoil_leafcrops.isunknown())
        return substancevalue(s, result, i, s.sub.BCFsoil_leafcrops);
    extended tscf = s.in.get(s.r.TSCF);
    extended rhoagr = s.in.get(s.r.RHO_agr, i);
    extended qtransp = s.in.get(s.env.Qtransp);
    extended g = s.in.get(s.env.g_plant);
    extended area = s.in.get(s.env.AREA_plant);
    extended kleafair = s.in.get(s.r.K_leafair, i);
    extended vleaf = s.in.get(s.env.V_leaf);
    extended kelim = s.in.get(s.r.kelim_plant);
    extended kgrowth = s.in.get(s.env.kgrowth_plant);
    extended rhoplant = s.in.get(s.env.RHO_plant);
    extended kagr = s.in.get(s.r.K_agrwater, i);
    extended loss = quotient(g * area, kleafair * vleaf) + kelim + kgrowth;
    result.setdefault(i, single(quotient(tscf * rhoagr * qtransp, loss * rhoplant * vleaf * kagr)));
}

// Leaf crops from air. The gaseous fraction deposits on the leaf and leaves
// it by growth dilution and elimination, and for organic substances also by
// volatilisation (the 1/K_leafair term, absent for a metal). Dividing by the
// plant density turns the volume ratio leaf/air into the factor per kg of
// leaf; multiplying by it, as one might read the metal formula, would give
// values too large by the square of the density (about 5e5).
void computeBCFair_leafcrops(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.BCFair_leafcrops;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas || !s.sub.BCFair_leafcrops.isunknown())
        return substancevalue(s, result, i, s.sub.BCFair_leafcrops);
    extended fass = s.in.get(s.r.Fass_aer, i);
    extended kgrowth = s.in.get(s.env.kgrowth_plant);
    extended kelim = s.in.get(s.r.kelim_plant);
    extended vleaf = s.in.get(s.env.V_leaf);
    extended area = s.in.get(s.env.AREA_plant);
    extended g = s.in.get(s.env.g_plant);
    extended rhoplant = s.in.get(s.env.RHO_plant);
    extended growth = quotient((kgrowth + kelim) * vleaf, area * g);
    extended loss = growth;
    if (s.kind == Tkind::organic) loss = quotient(1, s.in.get(s.r.K_leafair, i)) + growth;
    result.setdefault(i, single(quotient(1 - fass, loss * rhoplant)));
}

// Root crops: plant-water over soil-water partitioning, both per kg.
void computeBCF_rootcrops(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.BCF_rootcrops;
    if (!land) return result.sethidden(i);
    if (s.kind != Tkind::organic || !s.sub.BCF_rootcrops.isunknown())
        return substancevalue(s, result, i, s.sub.BCF_rootcrops);
    extended plant = quotient(s.in.get(s.r.K_plantwater), s.in.get(s.env.RHO_plant));
    extended soil = quotient(s.in.get(s.r.K_agrwater, i), s.in.get(s.r.RHO_agr, i));
    result.setdefault(i, single(quotient(plant, soil)));
}

// Meat and milk per daily intake, estimated from Kow when not measured.
void kowestimate(Tpartitioning& s, Tnumpars& result, std::uint32_t i, bool land, Tnumpar& value,
                 extended offset) {
    if (!land) return result.sethidden(i);
    if (s.kind != Tkind::organic || !value.isunknown()) return substancevalue(s, result, i, value);
    if (s.sub.Kow.isunknown()) return result.setunknown(i);
    extended kow = s.in.get(s.sub.Kow);
    if (!(kow > 0)) return result.setunknown(i);
    result.setdefault(i, single(exp10of(log10of(kow) - offset)));
}

void computeBCF_meat(Tpartitioning& s, std::uint32_t i, bool land) {
    kowestimate(s, s.r.BCF_meat, i, land, s.sub.BCF_meat, 7.6L);
}

void computeBCF_milk(Tpartitioning& s, std::uint32_t i, bool land) {
    kowestimate(s, s.r.BCF_milk, i, land, s.sub.BCF_milk, 8.1L);
}

// ---- pass 5: dissolved fractions --------------------------------------------
// A gas is wholly dissolved wherever it is present.

// Dissolved share of a water body with suspended matter and biota.
extended dissolvedinwater(Tpartitioning& s, std::uint32_t i, Tnumpars& kp, Tnumpars& suspconc) {
    extended solid = extended(s.in.get(kp, i)) * s.in.get(suspconc, i);
    // BCF_fish (m^3 water per kg wet fish) times BIOCONC_water (kg wet biota
    // per m^3 water) is already the biota's share relative to the dissolved
    // substance; both are on a wet-weight basis, so no water-content
    // correction applies.
    extended biota = extended(s.in.get(s.r.BCF_fish, i)) * s.in.get(s.env.BIOCONC_water);
    return quotient(1, 1 + solid + biota);
}

void computeFdiss_inlandwater(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_inlandwater;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    result.setdefault(i, single(dissolvedinwater(s, i, s.r.Kp_susp, s.r.SUSPCONC_inlandwater)));
}

void computeFdiss_seawater(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_seawater;
    if (land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    result.setdefault(i, single(dissolvedinwater(s, i, s.r.Kp_seasusp, s.r.SUSPCONC_seawater)));
}

// Pore-water share of a soil: its water content over its bulk partition
// coefficient, unknown when the soil holds nothing. water reads the water
// content; it is read only when the share can be formed.
template <typename Water>
void porewatershare(Tpartitioning& s, Tnumpars& result, std::uint32_t i, Tnumpars& bulk,
                    Water&& water) {
    extended k = s.in.get(bulk, i);
    if (!(k > 0)) return result.setunknown(i);
    result.setdefault(i, single(water() / k));
}

void computeFdiss_soil(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_soil;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    porewatershare(s, result, i, s.r.K_soilwater,
                   [&] { return extended(s.in.get(s.env.Fwater_soil)); });
}

void computeFdiss_agr(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_agr;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    porewatershare(s, result, i, s.r.K_agrwater,
                   [&] { return extended(s.in.get(s.env.Fwater_agr, i)); });
}

void computeFdiss_nonagr(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_nonagr;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    porewatershare(s, result, i, s.r.K_nonagrwater,
                   [&] { return extended(s.in.get(s.env.Fwater_nonagr, i)); });
}

void computeFdiss_deepsoil(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_deepsoil;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    porewatershare(s, result, i, s.r.K_deepsoilwater,
                   [&] { return extended(s.in.get(s.env.Fwater_deepsoil)); });
}

void computeFdiss_sed(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_sed;
    if (!land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    result.setdefault(i, single(quotient(s.in.get(s.env.Fwater_sed), s.in.get(s.r.K_sedwater, i))));
}

void computeFdiss_seased(Tpartitioning& s, std::uint32_t i, bool land) {
    Tnumpars& result = s.r.Fdiss_seased;
    if (land) return result.sethidden(i);
    if (s.kind == Tkind::gas) return result.setdefault(i, 1);
    extended x = quotient(s.in.get(s.env.Fwater_sed), s.in.get(s.r.K_seasedseawater, i));
    result.setdefault(i, single(x));
}

Tkind substancekind(Tsub& sub) {
    if (sub.ismetal()) return Tkind::metal;
    if (sub.isorganic()) return Tkind::organic;
    return Tkind::gas;
}

} // namespace

void computepartitioning(Tmodel& model) {
    Tpartitioning s{
        model, model.env, model.sub, model.results, model.regions.count, substancekind(model.sub),
        {}};

    computeACTCOEFF(s);
    computeK_plantwater(s);
    computeTSCF(s);

    for (std::uint32_t i = 1; i <= s.n; ++i) {
        bool land = s.in.island(s.env, i);
        computeFREEIONseawater(s, i, land);
        computeVP(s, i);
        computeK_airwater(s, i);
        computeK_leafair(s, i, land);
        computeKp_soil(s, i, land);
        computeKp_sed(s, i, land);
        computeKp_susp(s, i, land);
        computeKp_seased(s, i, land);
        computeKp_seasusp(s, i, land);
        computeFass_aer(s, i);
        computeSCAVratio(s, i);
    }

    for (std::uint32_t i = 1; i <= s.n; ++i) {
        bool land = s.in.island(s.env, i);
        computeK_soilwater(s, i, land);
        computeK_agrwater(s, i, land);
        computeK_nonagrwater(s, i, land);
        computeK_deepsoilwater(s, i, land);
        computeK_sedwater(s, i, land);
        computeK_seasedseawater(s, i, land);
        computeK_airagr(s, i, land);
        computeK_airnonagr(s, i, land);
    }

    for (std::uint32_t i = 1; i <= s.n; ++i) {
        bool land = s.in.island(s.env, i);
        computeBCF_fish(s, i);
        computeBCFsoil_leafcrops(s, i, land);
        computeBCFair_leafcrops(s, i, land);
        computeBCF_rootcrops(s, i, land);
        computeBCF_meat(s, i, land);
        computeBCF_milk(s, i, land);
    }

    for (std::uint32_t i = 1; i <= s.n; ++i) {
        bool land = s.in.island(s.env, i);
        computeFdiss_inlandwater(s, i, land);
        computeFdiss_seawater(s, i, land);
        computeFdiss_soil(s, i, land);
        computeFdiss_agr(s, i, land);
        computeFdiss_nonagr(s, i, land);
        computeFdiss_deepsoil(s, i, land);
        computeFdiss_sed(s, i, land);
        computeFdiss_seased(s, i, land);
    }
}

} // namespace velmora
