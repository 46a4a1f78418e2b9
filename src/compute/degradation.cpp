// Degradation: the half-lives the model uses per region and compartment
// (biodegradability-class defaults, salt-water and temperature corrections),
// the first-order rate constants that go on the diagonal of the system
// matrix, the drinking-water purification factors and CONVagr.
//
// Half-lives are in seconds, rate constants in s^-1. Every formula reads its
// inputs as stored (32-bit), computes in extended precision and rounds once
// when it stores its result.
#include <algorithm>
#include <cmath>
#include <string>

#include "compute/calculation.h"
#include "compute/stagemath.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"

namespace velmora {

using namespace stagemath;

namespace {

constexpr extended ln2 = 0.693147180559945309417232121458176568L;

enum class Tsubkind { metal, organic, gas };

Tsubkind substancekind(Tsub& sub) {
    if (sub.ismetal()) return Tsubkind::metal;
    if (sub.isgas()) return Tsubkind::gas;
    return Tsubkind::organic;
}

// One stored value, a scalar or one region's element, with the reads the
// half-life rules need.
class Tvalue {
public:
    Tvalue(Tnumpar& p) : scalar_(&p) {}
    Tvalue(Tnumpars& p, std::uint32_t i) : vector_(&p), i_(i) {}
    bool isinfinite() const { return scalar_ ? scalar_->isinfinite() : vector_->isinfinite(i_); }
    bool isknown() const { return scalar_ ? scalar_->isknown() : vector_->isknown(i_); }
    bool isunknown() const { return scalar_ ? scalar_->isunknown() : vector_->isunknown(i_); }
    void markused() {
        if (scalar_)
            scalar_->used = true;
        else
            vector_->useds.setvalue(i_, true);
    }
    extended get() { return scalar_ ? scalar_->get() : vector_->get(i_); }

private:
    Tnumpar* scalar_ = nullptr;
    Tnumpars* vector_ = nullptr;
    std::uint32_t i_ = 0;
};

void store(Tnumpar& p, extended x) {
    p.setdefault(static_cast<float>(x));
}
void store(Tnumpars& p, std::uint32_t i, extended x) {
    p.setdefault(i, static_cast<float>(x));
}

// The range of region temperatures over which the exponential correction
// below is applied: 0 to 35 degC. The factor exp(0.08 per kelvin) (a Q10 of
// about 2.2) comes from degradation measured in liquid water between about
// 5 and 35 degC. Below freezing it no longer describes anything: a region
// whose annual mean lies below 0 degC degrades in its thawed season, faster
// than the exponential at the annual mean says, and not at all in frozen
// ground, so the factor is held at its 0 degC value (7.4 times the 25 degC
// half-life) instead of being extrapolated to the 400 times that -50 degC
// would give. Above 35 degC microbial degradation no longer speeds up.
constexpr extended TEMPlow_degradation = 273.15L;  // K
constexpr extended TEMPhigh_degradation = 308.15L; // K

// Half-lives are measured at TEMPtest; in a region at TEMP (within the
// range above) they scale by exp(0.08 per kelvin the region is colder).
extended temperaturecorrection(Tmodel& m, std::uint32_t i) {
    extended temptest = m.sub.TEMPtest.get();
    extended temp = m.env.TEMP.get(i);
    temp = std::clamp(temp, TEMPlow_degradation, TEMPhigh_degradation);
    return std::exp(0.08L * (temptest - temp));
}

// Salt(x): the half-life in salt water or salt-lake sediment derived from a
// fresh-water or fresh-sediment one. An infinite half-life stays infinite.
extended salt(Tmodel& m, Tvalue x, Twhere where) {
    if (x.isinfinite()) {
        x.markused();
        return m.settings().InfValue;
    }
    extended v = x.get();
    return divide(m, v, m.env.SALINITYcorr.get(), where);
}

// Rate(x): the first-order rate constant of half-life x; 0 for an infinite
// half-life.
extended rate(Tmodel& m, Tvalue x, Twhere where) {
    if (x.isinfinite()) {
        x.markused();
        return 0;
    }
    return divide(m, ln2, x.get(), where);
}

// Biodegradability classes of an organic substance, used where a measured
// half-life is missing: fresh-water half-lives of 15, 50 and 150 days and
// solid-phase factors of 300, 900 and 3000 days, or no biodegradation.
struct Tbioclass {
    bool degradable;
    extended water;  // s
    extended solids; // s, multiplied by the compartment's Kp
};

// The four flag combinations of the class table map to the four classes.
// The other four are inconsistent (readily but not inherently biodegradable,
// or the 10-day window set for a substance that is not readily
// biodegradable); they are read the way the tests behind the flags are
// ordered: a readily biodegradable substance is inherently biodegradable as
// well, and the 10-day window only qualifies a readily biodegradable one.
// Without this a substance with such flags would keep whatever half-life an
// earlier substance left in the results.
Tbioclass biodegradabilityclass(Tsub& sub) {
    bool inherently = sub.inherently_biodegradable.get();
    bool readily = sub.readily_biodegradable.get();
    bool window = sub.fulfilling_10d_window.get();
    if (readily && window) return {true, 1296000.0L, 25920000.0L};
    if (readily) return {true, 4320000.0L, 77760000.0L};
    if (inherently) return {true, 12960000.0L, 259200000.0L};
    return {false, 0, 0};
}

// The fresh-water half-life of the substance's class.
extended classhalflife_water(Tmodel& m) {
    Tbioclass c = biodegradabilityclass(m.sub);
    return c.degradable ? c.water : extended(m.settings().InfValue);
}

// The sediment or soil half-life of the substance's class for solid-water
// partition coefficient Kp.
extended classhalflife_solids(Tmodel& m, Tvalue Kp) {
    Tbioclass c = biodegradabilityclass(m.sub);
    if (!c.degradable) return m.settings().InfValue;
    return Kp.get() * c.solids;
}

// ---- Pass 1: half-lives --------------------------------------------------

// DT50bio_freshwater_TEMPtest (result): the measured value, or for an
// organic substance without one the class value.
void computeDT50bio_freshwater_TEMPtest(Tmodel& m, Tsubkind kind) {
    Tnumpar& s = m.sub.DT50bio_freshwater_TEMPtest;
    extended x;
    if (kind != Tsubkind::organic || s.isknown())
        x = s.get();
    else
        x = classhalflife_water(m);
    store(m.results.DT50bio_freshwater_TEMPtest, x);
}

// DT50bio_seawater_TEMPtest (result): measured, else the fresh-water value
// corrected for salinity.
void computeDT50bio_seawater_TEMPtest(Tmodel& m) {
    Tnumpar& r = m.results.DT50bio_seawater_TEMPtest;
    Tnumpar& s = m.sub.DT50bio_seawater_TEMPtest;
    extended x = s.isknown() ? extended(s.get())
                             : salt(m, Tvalue(m.results.DT50bio_freshwater_TEMPtest), {r.name()});
    store(r, x);
}

// DT50anaerbio_saltlakesed (result, one value for all regions): measured,
// else the anaerobic fresh-sediment value corrected for salinity.
void computeDT50anaerbio_saltlakesed(Tmodel& m) {
    Tnumpar& r = m.results.DT50anaerbio_saltlakesed;
    Tnumpar& s = m.sub.DT50anaerbio_saltlakesed;
    extended x =
        s.isknown() ? extended(s.get()) : salt(m, Tvalue(m.sub.DT50anaerbio_sed), {r.name()});
    store(r, x);
}

// DT50bio_freshwater: land regions; organic half-lives at the region's
// temperature.
void computeDT50bio_freshwater(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50bio_freshwater;
    if (!land) return r.sethidden(i);
    extended x = m.results.DT50bio_freshwater_TEMPtest.get();
    if (kind == Tsubkind::organic) x = temperaturecorrection(m, i) * x;
    store(r, i, x);
}

// DT50bio_saltlake: the region's fresh-water half-life corrected for salinity.
void computeDT50bio_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50bio_saltlake;
    if (!land) return r.sethidden(i);
    store(r, i, salt(m, Tvalue(m.results.DT50bio_freshwater, i), {r.name(), i}));
}

// DT50bio_seawater: sea regions; organic half-lives at the region's
// temperature.
void computeDT50bio_seawater(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50bio_seawater;
    if (land) return r.sethidden(i);
    extended x = m.results.DT50bio_seawater_TEMPtest.get();
    if (kind == Tsubkind::organic) x = temperaturecorrection(m, i) * x;
    store(r, i, x);
}

// DT50aerbio_sed_TEMPtest: land regions; measured, or for an organic
// substance without a measurement the class value with Kp_sed.
void computeDT50aerbio_sed_TEMPtest(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50aerbio_sed_TEMPtest;
    if (!land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50aerbio_sed_TEMPtest;
    extended x;
    if (kind != Tsubkind::organic || s.isknown())
        x = s.get();
    else
        x = classhalflife_solids(m, Tvalue(m.results.Kp_sed, i));
    store(r, i, x);
}

// DT50aerbio_sed: land regions; organic half-lives at the region's
// temperature.
void computeDT50aerbio_sed(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50aerbio_sed;
    if (!land) return r.sethidden(i);
    extended x = m.results.DT50aerbio_sed_TEMPtest.get(i);
    if (kind == Tsubkind::organic) x = temperaturecorrection(m, i) * x;
    store(r, i, x);
}

// DT50aerbio_saltlakesed: land regions; measured, else the region's aerobic
// fresh-sediment half-life corrected for salinity.
void computeDT50aerbio_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50aerbio_saltlakesed;
    if (!land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50aerbio_saltlakesed;
    extended x = s.isknown() ? extended(s.get())
                             : salt(m, Tvalue(m.results.DT50aerbio_sed, i), {r.name(), i});
    store(r, i, x);
}

// DT50aerbio_seased_TEMPtest: sea regions; measured, or for an organic
// substance without a measurement the class value with Kp_seased corrected
// for salinity (an infinite class value stays infinite).
void computeDT50aerbio_seased_TEMPtest(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50aerbio_seased_TEMPtest;
    if (land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50aerbio_seased_TEMPtest;
    extended x;
    if (kind != Tsubkind::organic || s.isknown()) {
        x = s.get();
    } else {
        Tbioclass c = biodegradabilityclass(m.sub);
        if (!c.degradable)
            x = m.settings().InfValue;
        else
            x = divide(m, m.results.Kp_seased.get(i) * c.solids, m.env.SALINITYcorr.get(),
                       {r.name(), i});
    }
    store(r, i, x);
}

// DT50aerbio_seased: sea regions; organic half-lives at the region's
// temperature.
void computeDT50aerbio_seased(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50aerbio_seased;
    if (land) return r.sethidden(i);
    extended x = m.results.DT50aerbio_seased_TEMPtest.get(i);
    if (kind == Tsubkind::organic) x = temperaturecorrection(m, i) * x;
    store(r, i, x);
}

// DT50anaerbio_seased: sea regions; measured, else the anaerobic
// fresh-sediment half-life corrected for salinity.
void computeDT50anaerbio_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50anaerbio_seased;
    if (land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50anaerbio_seased;
    extended x =
        s.isknown() ? extended(s.get()) : salt(m, Tvalue(m.sub.DT50anaerbio_sed), {r.name(), i});
    store(r, i, x);
}

// DT50bio_soil_TEMPtest: land regions; measured, or for an organic
// substance without a measurement the class value with Kp_soil.
void computeDT50bio_soil_TEMPtest(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50bio_soil_TEMPtest;
    if (!land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50bio_soil_TEMPtest;
    extended x;
    if (kind != Tsubkind::organic || s.isknown())
        x = s.get();
    else
        x = classhalflife_solids(m, Tvalue(m.results.Kp_soil, i));
    store(r, i, x);
}

// DT50bio_soil: land regions; organic half-lives at the region's temperature.
void computeDT50bio_soil(Tmodel& m, std::uint32_t i, bool land, Tsubkind kind) {
    Tnumpars& r = m.results.DT50bio_soil;
    if (!land) return r.sethidden(i);
    extended x = m.results.DT50bio_soil_TEMPtest.get(i);
    if (kind == Tsubkind::organic) x = temperaturecorrection(m, i) * x;
    store(r, i, x);
}

// DT50hydro_water: every region. Metals and gases copy the measured value;
// an organic one is corrected to the region's temperature unless it is
// missing (unknown) or infinite.
void computeDT50hydro_water(Tmodel& m, std::uint32_t i, Tsubkind kind) {
    Tnumpars& r = m.results.DT50hydro_water;
    Tnumpar& s = m.sub.DT50hydro_water_TEMPtest;
    if (kind != Tsubkind::organic) return store(r, i, s.get());
    if (s.isunknown()) return r.setunknown(i);
    if (s.isinfinite()) {
        s.used = true;
        return store(r, i, m.settings().InfValue);
    }
    store(r, i, temperaturecorrection(m, i) * s.get());
}

// fac1a, fac2a: removal in drinking-water treatment by sorption, from
// log10 Kow.
void computefac1a_fac2a(Tmodel& m, Tsubkind kind) {
    Tnumpar& fac1a = m.results.fac1a;
    Tnumpar& fac2a = m.results.fac2a;
    if (kind != Tsubkind::organic) {
        fac1a.sethidden();
        fac2a.sethidden();
        return;
    }
    extended L = log10checked(m.sub.Kow.get());
    if (L > 5) {
        store(fac1a, 0.0625L);
        store(fac2a, 0.25L);
    } else if (L > 4) {
        store(fac1a, 0.25L);
        store(fac2a, 0.5L);
    } else {
        store(fac1a, 1);
        store(fac2a, 1);
    }
}

// fac1b, fac2b: removal by stripping, from HENRY.
void computefac1b_fac2b(Tmodel& m, Tsubkind kind) {
    Tnumpar& fac1b = m.results.fac1b;
    Tnumpar& fac2b = m.results.fac2b;
    if (kind != Tsubkind::organic) {
        fac1b.sethidden();
        fac2b.sethidden();
        return;
    }
    extended f = m.sub.HENRY.get() > 100 ? 0.5L : 1.0L;
    store(fac1b, f);
    store(fac2b, f);
}

// fac1c: no biodegradation credit in the first treatment system.
void computefac1c(Tmodel& m, Tsubkind kind) {
    if (kind != Tsubkind::organic) return m.results.fac1c.sethidden();
    store(m.results.fac1c, 1);
}

// fac2c: removal by biodegradation in the second system, for substances
// with a fresh-water half-life of 10 days or less.
void computefac2c(Tmodel& m, Tsubkind kind) {
    if (kind != Tsubkind::organic) return m.results.fac2c.sethidden();
    bool slow = m.results.DT50bio_freshwater_TEMPtest.get() > 864000;
    store(m.results.fac2c, slow ? 1.0L : 0.25L);
}

// PURFsys1 = fac1a * fac1b * fac1c.
void computePURFsys1(Tmodel& m, Tsubkind kind) {
    Tresults& r = m.results;
    if (kind != Tsubkind::organic) return r.PURFsys1.sethidden();
    store(r.PURFsys1, extended(r.fac1a.get()) * r.fac1b.get() * r.fac1c.get());
}

// PURFsys2 = fac2a * fac2b * fac2c.
void computePURFsys2(Tmodel& m, Tsubkind kind) {
    Tresults& r = m.results;
    if (kind != Tsubkind::organic) return r.PURFsys2.sethidden();
    store(r.PURFsys2, extended(r.fac2a.get()) * r.fac2b.get() * r.fac2c.get());
}

// PURFsurfacew: the fraction left after treating surface water, the larger
// (the less effective) of the two systems for organics. The drinking-water
// formulas pass only the dissolved share of a metal, which treatment removes
// partly at most, so none of it counts as removed; a gas leaves water that
// is aerated on its way through the plant.
void computePURFsurfacew(Tmodel& m, Tsubkind kind) {
    Tresults& r = m.results;
    if (kind == Tsubkind::metal) return store(r.PURFsurfacew, 1);
    if (kind != Tsubkind::organic) return store(r.PURFsurfacew, 0);
    float sys1 = r.PURFsys1.get();
    float sys2 = r.PURFsys2.get();
    store(r.PURFsurfacew, sys2 >= sys1 ? sys2 : sys1);
}

// PURFgroundw: groundwater is not treated (1), for metals as for organics:
// the formulas already take the dissolved share only.
void computePURFgroundw(Tmodel& m, Tsubkind) { store(m.results.PURFgroundw, 1); }

void computehalflives(Tmodel& m, Tsubkind kind) {
    computeDT50bio_freshwater_TEMPtest(m, kind);
    computeDT50bio_seawater_TEMPtest(m);
    computeDT50anaerbio_saltlakesed(m);
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        bool land = m.env.island(i);
        computeDT50bio_freshwater(m, i, land, kind);
        computeDT50bio_saltlake(m, i, land);
        computeDT50bio_seawater(m, i, land, kind);
        computeDT50aerbio_sed_TEMPtest(m, i, land, kind);
        computeDT50aerbio_sed(m, i, land, kind);
        computeDT50aerbio_saltlakesed(m, i, land);
        computeDT50aerbio_seased_TEMPtest(m, i, land, kind);
        computeDT50aerbio_seased(m, i, land, kind);
        computeDT50anaerbio_seased(m, i, land);
        computeDT50bio_soil_TEMPtest(m, i, land, kind);
        computeDT50bio_soil(m, i, land, kind);
        computeDT50hydro_water(m, i, kind);
    }
    computefac1a_fac2a(m, kind);
    computefac1b_fac2b(m, kind);
    computefac1c(m, kind);
    computefac2c(m, kind);
    computePURFsys1(m, kind);
    computePURFsys2(m, kind);
    computePURFsurfacew(m, kind);
    computePURFgroundw(m, kind);
}

// ---- Pass 2: soil and abiotic sediment half-lives -------------------------

// DT50bio_agr: the soil half-life holds for the dissolved substance, so a
// soil that dissolves less degrades more slowly.
void computeDT50bio_agr(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50bio_agr;
    if (!land) return r.sethidden(i);
    extended x = extended(m.results.DT50bio_soil.get(i)) * m.results.Fdiss_soil.get(i);
    store(r, i, divide(m, x, m.results.Fdiss_agr.get(i), {r.name(), i}));
}

// DT50bio_nonagr: as DT50bio_agr for natural and urban soil.
void computeDT50bio_nonagr(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50bio_nonagr;
    if (!land) return r.sethidden(i);
    extended x = extended(m.results.DT50bio_soil.get(i)) * m.results.Fdiss_soil.get(i);
    store(r, i, divide(m, x, m.results.Fdiss_nonagr.get(i), {r.name(), i}));
}

// DT50abio_saltlakesed: land regions; measured, else the fresh-sediment value.
void computeDT50abio_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50abio_saltlakesed;
    if (!land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50abio_saltlakesed;
    store(r, i, s.isknown() ? s.get() : m.sub.DT50abio_sed.get());
}

// DT50abio_seased: sea regions; measured, else the fresh-sediment value.
void computeDT50abio_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.DT50abio_seased;
    if (land) return r.sethidden(i);
    Tnumpar& s = m.sub.DT50abio_seased;
    store(r, i, s.isknown() ? s.get() : m.sub.DT50abio_sed.get());
}

void computesoilhalflives(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        bool land = m.env.island(i);
        computeDT50bio_agr(m, i, land);
        computeDT50bio_nonagr(m, i, land);
        computeDT50abio_saltlakesed(m, i, land);
        computeDT50abio_seased(m, i, land);
        computereexports(m, i, land);
    }
}

// ---- Pass 3 to 7: rate constants ------------------------------------------

// khydro_inlandwater (land regions), khydro_seawater (sea regions):
// hydrolysis, none when the half-life is missing or infinite. The other one
// of the pair is not written for the region.
void computekhydro(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = land ? m.results.khydro_inlandwater : m.results.khydro_seawater;
    Tnumpar& s = m.sub.DT50hydro_water_TEMPtest;
    if (s.isunknown()) return store(r, i, 0);
    if (s.isinfinite()) {
        s.used = true;
        m.results.DT50hydro_water.useds.setvalue(i, true);
        return store(r, i, 0);
    }
    store(r, i, divide(m, ln2, m.results.DT50hydro_water.get(i), {r.name(), i}));
}

// kaerbio_sed: aerobic biodegradation in lake sediment.
void computekaerbio_sed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kaerbio_sed;
    if (!land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50aerbio_sed, i), {r.name(), i}));
}

void computehydrolysis(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        bool land = m.env.island(i);
        computekhydro(m, i, land);
        computekaerbio_sed(m, i, land);
    }
}

// kphoto_water: photolysis in water; none when the half-life is missing or
// infinite.
void computekphoto_water(Tmodel& m) {
    Tnumpar& r = m.results.kphoto_water;
    Tnumpar& s = m.sub.DT50photo_water;
    if (s.isunknown() || s.isinfinite()) {
        s.used = true;
        return store(r, 0);
    }
    store(r, divide(m, ln2, s.get(), {r.name()}));
}

// kanaerbio_sed: anaerobic biodegradation in fresh sediment.
void computekanaerbio_sed(Tmodel& m) {
    Tnumpar& r = m.results.kanaerbio_sed;
    store(r, rate(m, Tvalue(m.sub.DT50anaerbio_sed), {r.name()}));
}

// kabio_sed: abiotic degradation in fresh sediment.
void computekabio_sed(Tmodel& m) {
    Tnumpar& r = m.results.kabio_sed;
    store(r, rate(m, Tvalue(m.sub.DT50abio_sed), {r.name()}));
}

// kdeg_sed: lake sediment, the aerobic layer (Faer_sed) and the anaerobic
// rest, plus abiotic degradation.
void computekdeg_sed(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_sed.sethidden(i);
    extended faer = m.env.Faer_sed.get();
    extended aer = r.kaerbio_sed.get(i);
    extended anaer = r.kanaerbio_sed.get();
    extended abio = r.kabio_sed.get();
    store(r.kdeg_sed, i, faer * aer + (1 - faer) * anaer + abio);
}

// kaerbio_saltlakesed: an infinite half-life gives a negligible rate rather
// than none.
void computekaerbio_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kaerbio_saltlakesed;
    if (!land) return r.sethidden(i);
    store(r, i, divide(m, ln2, m.results.DT50aerbio_saltlakesed.get(i), {r.name(), i}));
}

// kanaerbio_saltlakesed: an infinite half-life gives a negligible rate.
void computekanaerbio_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kanaerbio_saltlakesed;
    if (!land) return r.sethidden(i);
    store(r, i, divide(m, ln2, m.results.DT50anaerbio_saltlakesed.get(), {r.name(), i}));
}

// kabio_saltlakesed: an infinite half-life gives a negligible rate.
void computekabio_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kabio_saltlakesed;
    if (!land) return r.sethidden(i);
    store(r, i, divide(m, ln2, m.results.DT50abio_saltlakesed.get(i), {r.name(), i}));
}

// kdeg_saltlakesed: as kdeg_sed, with the salt-lake sediment rates.
void computekdeg_saltlakesed(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_saltlakesed.sethidden(i);
    extended faer = m.env.Faer_sed.get();
    extended aer = r.kaerbio_saltlakesed.get(i);
    extended anaer = r.kanaerbio_saltlakesed.get(i);
    extended abio = r.kabio_saltlakesed.get(i);
    store(r.kdeg_saltlakesed, i, faer * aer + (1 - faer) * anaer + abio);
}

// kabio_seased: abiotic degradation in sea sediment.
void computekabio_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kabio_seased;
    if (land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50abio_seased, i), {r.name(), i}));
}

// kanaerbio_seased: anaerobic biodegradation in sea sediment.
void computekanaerbio_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kanaerbio_seased;
    if (land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50anaerbio_seased, i), {r.name(), i}));
}

void computesedimentrates(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        bool land = m.env.island(i);
        computekdeg_sed(m, i, land);
        computekaerbio_saltlakesed(m, i, land);
        computekanaerbio_saltlakesed(m, i, land);
        computekabio_saltlakesed(m, i, land);
        computekdeg_saltlakesed(m, i, land);
        computekabio_seased(m, i, land);
        computekanaerbio_seased(m, i, land);
    }
}

// kabio_soil: abiotic degradation in soil.
void computekabio_soil(Tmodel& m) {
    Tnumpar& r = m.results.kabio_soil;
    store(r, rate(m, Tvalue(m.sub.DT50abio_soil), {r.name()}));
}

// kdeg_air: measured, else reaction of the gaseous fraction with OH
// radicals, scaled to the region's OH concentration.
void computekdeg_air(Tmodel& m, std::uint32_t i) {
    Tnumpars& r = m.results.kdeg_air;
    Tnumpar& s = m.sub.kdeg_air;
    if (s.isknown()) return store(r, i, s.get());
    extended gaseous = 1 - extended(m.results.Fass_aer.get(i));
    extended x = gaseous * m.sub.krad_OH.get() * m.env.OHCONC_air.get(i);
    store(r, i, divide(m, x, m.env.OHCONCref_air.get(), {r.name(), i}));
}

// kbio_freshwater: biodegradation in rivers, lakes and groundwater.
void computekbio_freshwater(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kbio_freshwater;
    if (!land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50bio_freshwater, i), {r.name(), i}));
}

// kbio_saltlake: biodegradation in salt lakes.
void computekbio_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kbio_saltlake;
    if (!land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50bio_saltlake, i), {r.name(), i}));
}

// kdeg_freshwater = kbio_freshwater + khydro_inlandwater + kphoto_water.
void computekdeg_freshwater(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_freshwater.sethidden(i);
    extended x = extended(r.kbio_freshwater.get(i)) + r.khydro_inlandwater.get(i);
    store(r.kdeg_freshwater, i, x + r.kphoto_water.get());
}

// kdeg_saltlake = kbio_saltlake + khydro_inlandwater + kphoto_water.
void computekdeg_saltlake(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_saltlake.sethidden(i);
    extended x = extended(r.kbio_saltlake.get(i)) + r.khydro_inlandwater.get(i);
    store(r.kdeg_saltlake, i, x + r.kphoto_water.get());
}

// kbio_seawater: biodegradation in sea water.
void computekbio_seawater(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kbio_seawater;
    if (land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50bio_seawater, i), {r.name(), i}));
}

// kdeg_seawater = kbio_seawater + khydro_seawater + kphoto_water.
void computekdeg_seawater(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (land) return r.kdeg_seawater.sethidden(i);
    extended x = extended(r.kbio_seawater.get(i)) + r.khydro_seawater.get(i);
    store(r.kdeg_seawater, i, x + r.kphoto_water.get());
}

// kaerbio_seased: aerobic biodegradation in sea sediment.
void computekaerbio_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kaerbio_seased;
    if (land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50aerbio_seased, i), {r.name(), i}));
}

// kdeg_seased: sea sediment, the aerobic layer (Faer_seased) and the
// anaerobic rest, plus abiotic degradation.
void computekdeg_seased(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (land) return r.kdeg_seased.sethidden(i);
    extended faer = m.env.Faer_seased.get();
    extended aer = r.kaerbio_seased.get(i);
    extended anaer = r.kanaerbio_seased.get(i);
    extended abio = r.kabio_seased.get(i);
    store(r.kdeg_seased, i, faer * aer + (1 - faer) * anaer + abio);
}

// kbio_agr: biodegradation in agricultural soil.
void computekbio_agr(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kbio_agr;
    if (!land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50bio_agr, i), {r.name(), i}));
}

// kbio_nonagr: biodegradation in natural and urban soil.
void computekbio_nonagr(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.kbio_nonagr;
    if (!land) return r.sethidden(i);
    store(r, i, rate(m, Tvalue(m.results.DT50bio_nonagr, i), {r.name(), i}));
}

// kdeg_agr = kbio_agr + kabio_soil.
void computekdeg_agr(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_agr.sethidden(i);
    store(r.kdeg_agr, i, extended(r.kbio_agr.get(i)) + r.kabio_soil.get());
}

// kdeg_nonagr = kbio_nonagr + kabio_soil.
void computekdeg_nonagr(Tmodel& m, std::uint32_t i, bool land) {
    Tresults& r = m.results;
    if (!land) return r.kdeg_nonagr.sethidden(i);
    store(r.kdeg_nonagr, i, extended(r.kbio_nonagr.get(i)) + r.kabio_soil.get());
}

// CONVagr: kg of wet agricultural soil per kg of its solids.
void computeCONVagr(Tmodel& m, std::uint32_t i, bool land) {
    Tnumpars& r = m.results.CONVagr;
    if (!land) return r.sethidden(i);
    extended solids = extended(m.env.RHO_solid.get()) * m.results.Fsolid_agr.get(i);
    store(r, i, divide(m, m.results.RHO_agr.get(i), solids, {r.name(), i}));
}

void computeoverallrates(Tmodel& m) {
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        computekdeg_air(m, i);
        bool land = m.env.island(i);
        computekbio_freshwater(m, i, land);
        computekbio_saltlake(m, i, land);
        computekdeg_freshwater(m, i, land);
        computekdeg_saltlake(m, i, land);
        computekbio_seawater(m, i, land);
        computekdeg_seawater(m, i, land);
        computekaerbio_seased(m, i, land);
        computekdeg_seased(m, i, land);
        computekbio_agr(m, i, land);
        computekbio_nonagr(m, i, land);
        computekdeg_agr(m, i, land);
        computekdeg_nonagr(m, i, land);
        computeCONVagr(m, i, land);
    }
}

} // namespace

void computedegradation(Tmodel& m) {
    Tsubkind kind = substancekind(m.sub);
    computehalflives(m, kind);
    computesoilhalflives(m);
    computehydrolysis(m);
    computekphoto_water(m);
    computekanaerbio_sed(m);
    computekabio_sed(m);
    computesedimentrates(m);
    computekabio_soil(m);
    computeoverallrates(m);
}

} // namespace velmora
