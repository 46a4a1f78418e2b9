// Risk characterisation: per-region risk ratios for aquatic, marine,
// terrestrial and human effects, their world averages (integrated impact
// scores) with each region's share, characterisation factors relative to the
// reference calculation, and the distance and border count of every region
// to the emitting one.
#include <array>
#include <initializer_list>
#include <vector>

#include "compute/calculation.h"
#include "compute/exposuremath.h"
#include "compute/boxscores.h"
#include "compute/stagemath.h"

namespace velmora {

using stagemath::single;

namespace {

// ---- risk characterisation ratios -----------------------------------------

// The fresh-water ratios of a metal use the total concentration; only the
// sea-water ratio is corrected for the free ion.
void computeRCRtox_freshwater(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    if (!m.sub.EFFECT_aquatox.isknown()) {
        r.RCRtox_river.sethidden(i);
        r.RCRtox_lake.sethidden(i);
        r.RCRtox_saltlake.sethidden(i);
        return;
    }
    extended effect = m.sub.EFFECT_aquatox.get();
    r.RCRtox_river.setdefault(i, exposuremath::freshwaterratio(effect, r.C_river.get(i)));
    r.RCRtox_lake.setdefault(i, exposuremath::freshwaterratio(effect, r.C_lake.get(i)));
    r.RCRtox_saltlake.setdefault(i, exposuremath::freshwaterratio(effect, r.C_saltlake.get(i)));
}

void computeRCRtox_seawater(Tmodel& m, std::uint32_t i, bool metal) {
    Tresults& r = m.results;
    if (!m.sub.EFFECT_seatox.isknown()) {
        r.RCRtox_seawater.sethidden(i);
        return;
    }
    float effect = m.sub.EFFECT_seatox.get();
    float C = r.C_seawater.get(i);
    extended metalfactor = 1;
    if (metal) metalfactor = static_cast<extended>(r.ACTCOEFF.get()) * r.FREEIONseawater.get(i);
    r.RCRtox_seawater.setdefault(i, exposuremath::seawaterratio(effect, C, metalfactor, metal));
}

// The soil ratio takes the volume-weighted concentration of the three soils.
// A region without any soil volume has no soil at risk: its ratio is 0, as
// for a region without lakes, instead of a division by zero that would end
// the calculation (its weight in the world average is 0 as well).
void computeRCRtox_soil(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    if (!m.sub.EFFECT_terrtox.isknown()) {
        r.RCRtox_soil.sethidden(i);
        return;
    }
    extended Vnat = r.V_nat.get(i);
    extended Vagr = r.V_agr.get(i);
    extended Vurb = r.V_urb.get(i);
    float Cnat = r.C_nat.get(i), Cagr = r.C_agr.get(i), Curb = r.C_urb.get(i);
    extended effect = m.sub.EFFECT_terrtox.get();
    r.RCRtox_soil.setdefault(i,
                             exposuremath::soilratio(Vnat, Vagr, Vurb, Cnat, Cagr, Curb, effect));
}

void computeRCRtox_humnoncarc(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    if (!m.sub.EFFECThum_noncarc.isknown()) {
        r.RCRtox_humnoncarc.sethidden(i);
        return;
    }
    float effect = m.sub.EFFECThum_noncarc.get();
    r.RCRtox_humnoncarc.setdefault(i, exposuremath::humanratio(effect, r.DOSE_total.get(i)));
}

void computeRCRtox_humcarc(Tmodel& m, std::uint32_t i) {
    Tresults& r = m.results;
    if (!m.sub.EFFECThum_carc.isknown()) {
        r.RCRtox_humcarc.sethidden(i);
        return;
    }
    float effect = m.sub.EFFECThum_carc.get();
    r.RCRtox_humcarc.setdefault(i, exposuremath::humanratio(effect, r.DOSE_total.get(i)));
}

// ---- impact scores ----------------------------------------------------------

// The seven effect categories, in the order of the reference values.
enum Tcategory { river, lake, saltlake, seawater, soil, humnoncarc, humcarc };
constexpr std::array<Tcategory, 7> categories = {river, lake,       saltlake, seawater,
                                                 soil,  humnoncarc, humcarc};

// The results, enabling effect parameter and covered region type of a category.
struct Tcategoryresults {
    Tnumpar& EFFECT;
    bool land;
    Tnumpars& RCRtox;
    Tnumpar& IPICRtox;
    Tnumpar& IAICRtox;
    Tnumpars& RPICRtox;
    Tnumpars& RAICRtox;
    Tnumpar& CFtoxpot;
    Tnumpar& CFtoxact;
};

Tcategoryresults resultsof(Tmodel& m, Tcategory c) {
    Tresults& r = m.results;
    Tsub& s = m.sub;
    switch (c) {
    case river:
        return {s.EFFECT_aquatox, true,
                r.RCRtox_river,   r.IPICRtox_river,
                r.IAICRtox_river, r.RPICRtox_river,
                r.RAICRtox_river, r.CFtoxpot_river,
                r.CFtoxact_river};
    case lake:
        return {s.EFFECT_aquatox, true,
                r.RCRtox_lake,    r.IPICRtox_lake,
                r.IAICRtox_lake,  r.RPICRtox_lake,
                r.RAICRtox_lake,  r.CFtoxpot_lake,
                r.CFtoxact_lake};
    case saltlake:
        return {s.EFFECT_aquatox,    true,
                r.RCRtox_saltlake,   r.IPICRtox_saltlake,
                r.IAICRtox_saltlake, r.RPICRtox_saltlake,
                r.RAICRtox_saltlake, r.CFtoxpot_saltlake,
                r.CFtoxact_saltlake};
    case seawater:
        return {s.EFFECT_seatox,     false,
                r.RCRtox_seawater,   r.IPICRtox_seawater,
                r.IAICRtox_seawater, r.RPICRtox_seawater,
                r.RAICRtox_seawater, r.CFtoxpot_seawater,
                r.CFtoxact_seawater};
    case soil:
        return {s.EFFECT_terrtox, true,
                r.RCRtox_soil,    r.IPICRtox_soil,
                r.IAICRtox_soil,  r.RPICRtox_soil,
                r.RAICRtox_soil,  r.CFtoxpot_soil,
                r.CFtoxact_soil};
    case humnoncarc:
        return {s.EFFECThum_noncarc,   true,
                r.RCRtox_humnoncarc,   r.IPICRtox_humnoncarc,
                r.IAICRtox_humnoncarc, r.RPICRtox_humnoncarc,
                r.RAICRtox_humnoncarc, r.CFtoxpot_humnoncarc,
                r.CFtoxact_humnoncarc};
    case humcarc:
    default:
        return {s.EFFECThum_carc,   true,
                r.RCRtox_humcarc,   r.IPICRtox_humcarc,
                r.IAICRtox_humcarc, r.RPICRtox_humcarc,
                r.RAICRtox_humcarc, r.CFtoxpot_humcarc,
                r.CFtoxact_humcarc};
    }
}

using exposuremath::Tweights;

Tweights weightsof(Tmodel& m, Tcategory c, std::uint32_t i) {
    Tresults& r = m.results;
    Tsub& s = m.sub;
    Tenv& e = m.env;
    Tweights x;
    switch (c) {
    case river:
        x.w = static_cast<extended>(e.V_river.get(i)) *
              (1 - static_cast<extended>(e.Friver_frozen.get(i)));
        x.u = x.w * s.SFtox_river.get(i) * s.TFtox_river.get(i);
        break;
    case lake:
        x.w = r.V_lake.get(i);
        x.u = x.w * s.SFtox_lake.get(i) * s.TFtox_lake.get(i);
        break;
    case saltlake:
        x.w = r.V_saltlake.get(i);
        x.u = x.w * s.SFtox_saltlake.get(i) * s.TFtox_saltlake.get(i);
        break;
    case seawater:
        x.w = r.V_seawater.get(i);
        x.u = x.w * s.SFtox_seawater.get(i) * s.TFtox_seawater.get(i);
        break;
    case soil: {
        extended Vnat = r.V_nat.get(i);
        extended Vagr = r.V_agr.get(i);
        extended Vurb = r.V_urb.get(i);
        x.w = Vnat + Vagr + Vurb;
        x.u = s.SFtox_soil.get(i) *
              (Vnat * s.TFtox_nat.get(i) + Vagr * s.TFtox_agr.get(i) + Vurb * s.TFtox_urb.get(i));
        break;
    }
    case humnoncarc:
        x.w = e.Npop.get(i);
        x.u = x.w * s.TFtox_humnoncarc.get(i);
        break;
    case humcarc:
        x.w = e.Npop.get(i);
        x.u = x.w;
        break;
    }
    return x;
}

// IPICRtox_, IAICRtox_, RPICRtox_ and RAICRtox_ of one category: the world
// averages of the potential and the actual risk ratio over the regions the
// category covers, and each region's share of the world totals.
void computeimpactscore(Tmodel& m, Tcategory c) {
    Tcategoryresults x = resultsof(m, c);
    std::uint32_t n = m.regions.count;
    if (!x.EFFECT.isknown()) {
        x.IPICRtox.sethidden();
        x.IAICRtox.sethidden();
        for (std::uint32_t j = 1; j <= n; ++j) {
            x.RPICRtox.sethidden(j);
            x.RAICRtox.sethidden(j);
        }
        return;
    }
    // The regions' potential (w * RCR) and actual (u * RCR) impacts; the
    // totals are added up in single precision in region order.
    std::vector<bool> covered(n + 1, false);
    std::vector<exposuremath::Timpact> impacts(n + 1);
    exposuremath::Tscoresums sums;
    for (std::uint32_t i = 1; i <= n; ++i) {
        covered[i] = m.env.island(i) == x.land;
        if (!covered[i]) continue;
        Tweights weights = weightsof(m, c, i);
        impacts[i] = sums.add(weights, x.RCRtox.get(i));
    }
    const float P = sums.P, A = sums.A;
    float potentialscore = 0, actualscore = 0;
    if (sums.averages(potentialscore, actualscore)) {
        x.IPICRtox.setdefault(potentialscore);
        x.IAICRtox.setdefault(actualscore);
    } else {
        x.IPICRtox.sethidden();
        x.IAICRtox.sethidden();
    }
    for (std::uint32_t j = 1; j <= n; ++j) {
        extended potentialshare = 0;
        extended actualshare = 0;
        if (covered[j]) {
            if (P > 0) potentialshare = impacts[j].potential / P;
            if (A > 0) actualshare = impacts[j].actual / A;
        }
        x.RPICRtox.setdefault(j, single(potentialshare));
        x.RAICRtox.setdefault(j, single(actualshare));
    }
}

// ---- characterisation factors ----------------------------------------------

// The integrated score relative to the reference. A reference without that
// effect (value 0) leaves the factor unknown rather than infinite.
void computeCFtox(Tnumpar& CF, Tnumpar& score, float reference) {
    float factor = 0;
    if (reference != 0 && score.isknown() &&
        characterisationfactor(score.get(), true, reference, factor))
        CF.setdefault(factor);
    else
        CF.setunknown();
}

// CFtoxpot_ and CFtoxact_ of every category.
void computeCFtox_factors(Tmodel& m) {
    for (Tcategory c : categories) {
        Tcategoryresults x = resultsof(m, c);
        if (!m.ref.held()) {
            x.CFtoxpot.sethidden();
            x.CFtoxact.sethidden();
            continue;
        }
        computeCFtox(x.CFtoxpot, x.IPICRtox, m.ref.values[c]);
        computeCFtox(x.CFtoxact, x.IAICRtox, m.ref.values[categories.size() + c]);
    }
}

// ---- distance and border count to the emitting region -----------------------

void computeDISTANCEreg(Tmodel& m) {
    std::uint8_t setting = m.settings().DistancesDisplay;
    if (setting != 1 && setting != 2) return;
    std::uint32_t e = static_cast<std::uint32_t>(m.emi.region);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        float d = 0;
        if (i != e) d = setting == 1 ? regiondistance(m, i, e) : m.results.DISTANCE.get(i, e);
        m.results.DISTANCEreg.setdefault(i, d);
    }
}

void computeNBORDERSreg(Tmodel& m) {
    std::uint8_t setting = m.settings().NBordersDisplay;
    if (setting != 1 && setting != 2) return;
    std::uint32_t e = static_cast<std::uint32_t>(m.emi.region);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        float c = 0;
        if (i != e) c = setting == 1 ? bordercount(m, i, e) : m.results.NBORDERS.get(i, e);
        m.results.NBORDERSreg.setdefault(i, c);
    }
}

} // namespace

void computeriskratios(Tmodel& m) {
    Tresults& r = m.results;
    bool metal = m.sub.ismetal();
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (m.env.island(i)) {
            computeRCRtox_freshwater(m, i);
            r.RCRtox_seawater.sethidden(i);
            computeRCRtox_soil(m, i);
            computeRCRtox_humnoncarc(m, i);
            computeRCRtox_humcarc(m, i);
        } else {
            r.RCRtox_river.sethidden(i);
            r.RCRtox_lake.sethidden(i);
            r.RCRtox_saltlake.sethidden(i);
            computeRCRtox_seawater(m, i, metal);
            for (Tnumpars* p : {&r.RCRtox_soil, &r.RCRtox_humnoncarc, &r.RCRtox_humcarc})
                p->sethidden(i);
        }
    }
}

Tnumpar& categoryeffect(Tmodel& m, std::size_t c) {
    return resultsof(m, categories.at(c)).EFFECT;
}

bool categorycoversland(Tmodel& m, std::size_t c) {
    return resultsof(m, categories.at(c)).land;
}

exposuremath::Tweights categoryweights(Tmodel& m, std::size_t c, std::uint32_t region) {
    return weightsof(m, categories.at(c), region);
}

bool characterisationfactor(float score, bool scoreknown, float reference, float& factor) {
    if (reference == 0 || !scoreknown) return false;
    factor = single(static_cast<extended>(score) / reference);
    return true;
}

void computeimpactscores(Tmodel& m) {
    for (Tcategory c : categories)
        computeimpactscore(m, c);
    computeCFtox_factors(m);
    computeDISTANCEreg(m);
    computeNBORDERSreg(m);
}

} // namespace velmora
