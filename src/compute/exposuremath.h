#pragma once
// The arithmetic of the exposure and risk stages on plain numbers: food
// concentrations, doses, risk ratios and the world sums of the impact
// scores. The stages apply it to the parameters they read and write; the
// all-factors run applies it to the concentrations of every emission box
// at once. One copy of each formula keeps the two bit for bit equal.
#include "compute/foodchain.h"
#include "compute/stagemath.h"
#include "numeric/errors.h"

namespace velmora::exposuremath {

using stagemath::single;

// Food and drinking water of a land region from its environmental
// concentrations.
struct Tlandmedia {
    float leafcrops = 0, rootcrops = 0, freshwaterfish = 0, grass = 0, meat = 0, dairy = 0,
          drw = 0;
};

inline Tlandmedia landmedia(const Tfoodfactors& f, extended air, extended nat, extended agr,
                            extended river, extended lake, extended groundwater) {
    Tlandmedia c;
    c.leafcrops = single(f.leafcrops_agr * agr + f.leafcrops_air * air);
    c.rootcrops = single(f.rootcrops_agr * agr);
    c.freshwaterfish = single(f.fish_river * river + f.fish_lake * lake);
    c.grass = single(f.grass_nat * nat + f.grass_air * air);
    // What cattle take in per day; the biotransfer factors make it a
    // concentration in meat and milk.
    extended intake = f.cattle_grass * c.grass + f.cattle_agr * agr + f.cattle_air * air;
    c.meat = single(f.meatfactor * intake);
    c.dairy = single(f.milkfactor * intake);
    c.drw = single(f.drw_river * river + f.drw_lake * lake + f.drw_groundwater * groundwater);
    return c;
}

inline float seafish(float seawater, extended factor) {
    return single(static_cast<extended>(seawater) * factor);
}

// The mean concentration of what the world trades (or catches), weighted by
// each region's exports (or catch). Summed in single precision in region
// order; nobody trading gives 0.
class Tweightedmean {
public:
    void add(float weight, float concentration) {
        sumproduct_ = single(sumproduct_ + static_cast<extended>(weight) * concentration);
        sumweight_ = single(sumweight_ + static_cast<extended>(weight));
    }
    float mean() const {
        if (sumweight_ == 0) return 0;
        return single(static_cast<extended>(sumproduct_) / sumweight_);
    }

private:
    float sumweight_ = 0, sumproduct_ = 0;
};

// Inhaled chemical counted as the oral dose that would be absorbed as much:
// the dose per concentration in air (BW not 0). Nothing absorbed orally
// leaves no oral equivalent of the inhaled dose; every dose, ratio and
// intake after it would be infinite.
inline extended inhalationfactor(extended Fresp, extended IHair, extended BW, extended BIOinh,
                                 extended BIOoral) {
    if (BIOoral == 0) throw Eerror("Division by zero: BIO_oral is 0");
    return Fresp * IHair / BW * (BIOinh / BIOoral);
}

inline float drinkingwaterdose(extended IHdrw, float Cdrw, extended BW) {
    return single(IHdrw * Cdrw / BW);
}

// A traded food: the intake per kg body weight times the mean concentration
// on the region's market. The market holds the own produce kept at home
// (production P - export X + re-export R) at the local concentration C and
// the imports M not re-exported at the import concentration Ci; its size T
// (P - X + M, not 0) is the supply.
inline float fooddose(extended P, extended X, extended M, extended T, extended R, extended H,
                      extended BW, extended C, extended Ci) {
    return single(H / BW * ((P - X + R) * C / T + (M - R) * Ci / T));
}

inline float seafishdose(float Cseafishaverage, extended IHseafish, extended BW) {
    return single(static_cast<extended>(Cseafishaverage) * IHseafish / BW);
}

inline float totaloraldose(float drw, float freshwaterfish, float seafish, float leafcrops,
                           float rootcrops, float meat, float dairy) {
    return single(static_cast<extended>(drw) + freshwaterfish + seafish + leafcrops + rootcrops +
                  meat + dairy);
}

inline float totaldose(float air, float totaloral) {
    return single(static_cast<extended>(air) + totaloral);
}

// ---- risk ratios ---------------------------------------------------------

inline float freshwaterratio(extended effect, float C) {
    return single(effect * C);
}

// metalfactor: ACTCOEFF * FREEIONseawater for a metal, 1 otherwise.
inline float seawaterratio(float effect, float C, extended metalfactor, bool metal) {
    extended ratio = static_cast<extended>(effect) * C;
    if (metal) ratio *= metalfactor;
    return single(ratio);
}

// The volume-weighted concentration of the three soils. A region without
// any soil volume has no soil at risk: its ratio is 0.
inline float soilratio(extended Vnat, extended Vagr, extended Vurb, float Cnat, float Cagr,
                       float Curb, extended effect) {
    extended mass = Vnat * Cnat + Vagr * Cagr + Vurb * Curb;
    extended volume = Vagr + Vnat + Vurb;
    extended ratio = volume == 0 ? 0 : mass / volume * effect;
    return single(ratio);
}

inline float humanratio(float effect, float dose) {
    return single(static_cast<extended>(effect) * dose);
}

// ---- impact scores --------------------------------------------------------

// The weight w of a region in the world average of a category (water volume,
// soil volume or population) and its actual-impact weight u, which scales w
// by the region's sensitivity and toxic-pressure factors.
struct Tweights {
    extended w = 0;
    extended u = 0;
};

// A region's part of the world totals: w * ratio and u * ratio.
struct Timpact {
    extended potential = 0;
    extended actual = 0;
};

// The world totals of a category, added up in single precision in region
// order: potential impact P, actual impact A and weight W.
struct Tscoresums {
    float P = 0, A = 0, W = 0;
    Timpact add(const Tweights& weights, float ratio) {
        Timpact x{weights.w * ratio, weights.u * ratio};
        P = single(P + x.potential);
        A = single(A + x.actual);
        W = single(W + weights.w);
        return x;
    }
    // The world averages of the potential and the actual risk ratio; false
    // when the regions weigh nothing.
    bool averages(float& potential, float& actual) const {
        if (!(W > 0)) return false;
        potential = single(static_cast<extended>(P) / W);
        actual = single(static_cast<extended>(A) / W);
        return true;
    }
};

} // namespace velmora::exposuremath
