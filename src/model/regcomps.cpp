#include "model/regcomps.h"

namespace velmora {

namespace {
const char* const compartmentlongnames[ncompartments] = {
    "air",        "natural soil",  "agricultural soil", "urban soil",         "river water",
    "lake water", "lake sediment", "salt lake water",   "salt lake sediment", "groundwater",
    "sea water",  "sea sediment"};
} // namespace

Tregcomps::Tregcomps(Tmodelcontext& context, const Tregions& regions,
                     const Tcompartments& compartments)
    : AREA(context, *this, "AREA", "m^2"), V(context, *this, "V", "m^3"),
      DIFF(context, *this, "DIFF", "m^3*s^-1", true), ADV(context, *this, "ADV", "m^3*s^-1", true),
      kdeg(context, *this, "kdeg", "s^-1"), ADV_outside(context, *this, "ADV_outside", "m^3*s^-1"),
      EMIS(context, *this, "EMIS", "kg chem*s^-1"), Abig(context, *this, "Abig", "m^3*s^-1", true),
      Abiginverse(context, *this, "Abig^-1", "s*m^-3", false),
      CONC(context, *this, "CONC", "kg chem*m^-3"), MASS(context, *this, "MASS", "kg chem"),
      RESTIME(context, *this, "RESTIME", "s"),
      EMISprime(context, *this, "EMISprime", "kg chem*s^-1"), context_(&context),
      regions_(&regions), compartments_(&compartments) {
    clear();
}

void Tregcomps::clear() {
    n = 0;
    routecount = pathwaycount = 0;
    regionroutecount = regionpathwaycount = ecologicalrowcount = humanrowcount = 0;
    regionof_.clear();
    compartmentof_.clear();
    existsflags.clear();
    for (Tnumpars* p : {&AREA, &V, &kdeg, &ADV_outside, &EMIS, &CONC, &MASS, &RESTIME, &EMISprime})
        p->clear();
    for (Tnumparss* p : {&DIFF, &ADV, &Abig, &Abiginverse})
        p->clear();
    for (Tnummatrix* m : {&FF, &XF1, &XF2, &XF, &XFFF, &EFeco, &EFhum})
        m->clear();
    MSR = 0;
}

void Tregcomps::build() {
    clear();
    std::uint32_t nreg = regions_->count;
    for (std::uint32_t r = 1; r <= nreg; ++r)
        for (std::uint32_t c = 1; c <= ncompartments; ++c) {
            ++n;
            regionof_.setvalue(n, r);
            compartmentof_.setvalue(n, c);
        }
    routecount = nroutes;
    pathwaycount = npathways;
    regionroutecount = static_cast<std::int32_t>(nreg * nroutes);
    regionpathwaycount = static_cast<std::int32_t>(nreg * npathways);
    ecologicalrowcount = 5;
    humanrowcount = 2;
    existsflags.reset(n);
    // Every per-regcomp quantity gets its n elements, unknown until solved.
    for (Tnumpars* p : {&AREA, &V, &kdeg, &ADV_outside})
        p->clear();
    for (Tnumparss* p : {&DIFF, &ADV, &Abig})
        p->clear();
    if (context_->settings.FactorsMode) {
        Abiginverse.clear();
        std::uint32_t nr8 = nreg * nroutes, nr2 = nreg * npathways;
        FF.reset(n, n);
        XF1.reset(nr8, n);
        XF2.reset(nr2, nr8);
        XF.reset(nr2, n);
        XFFF.reset(nr2, n);
        EFeco.reset(5, n);
        EFhum.reset(2, nr2);
    } else {
        for (Tnumpars* p : {&EMIS, &CONC, &MASS, &RESTIME, &EMISprime})
            p->clear();
    }
}

std::string Tregcomps::regionname(std::uint32_t k) const {
    return regions_->name(regionof(k));
}

std::string Tregcomps::compartmentname(std::uint32_t k) const {
    std::uint32_t c = compartmentof(k);
    if (compartments_->count >= c) return compartments_->name(c);
    return compartmentlongnames[c - 1];
}

std::string Tregcomps::regcompname(std::uint32_t k) const {
    return regionname(k) + "_" + compartmentname(k);
}

std::string Tregcomps::routename(std::uint32_t j) {
    static const char* const names[nroutes] = {
        "air", "leafcrops", "rootcrops", "freshwaterfish", "seafish", "meat", "dairy", "drw"};
    if (j == 0 || j > nroutes) throw ERangeError();
    return names[j - 1];
}

std::string Tregcomps::regroutename(std::uint32_t i) const {
    std::uint32_t r = (i - 1) / nroutes + 1, j = (i - 1) % nroutes + 1;
    return regions_->name(r) + "_" + routename(j);
}

std::string Tregcomps::regpathwayname(std::uint32_t i) const {
    std::uint32_t r = (i - 1) / npathways + 1, p = (i - 1) % npathways + 1;
    return regions_->name(r) + (p == pwinhalation ? "_inh" : "_oral");
}

} // namespace velmora
