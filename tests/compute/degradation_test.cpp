// Degradation: half-lives with class defaults, salinity and temperature
// corrections, rate constants, purification factors and CONVagr. The
// results of the earlier stages are set by hand, so every expected value
// below follows from the numbers in the test.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "compute/calculation.h"
#include "numeric/errors.h"
#include "support/worldfixture.h"

namespace velmora {
namespace {

using testing::Tworldfixture;

constexpr std::uint32_t Aland = 1, Bland = 2, Asea = 3;
const double ln2 = std::log(2.0);
const double inf = 1e20;
// Temperature corrections: Aland is at TEMPtest (298 K), Bland 10 K warmer,
// Asea 10 K colder.
const double TCwarm = std::exp(-0.8); // about 0.449
const double TCcold = std::exp(0.8);

class Degradation : public ::testing::Test {
protected:
    Tworldfixture fx;
    Tmodel& m = fx.m();
    Tresults& r = m.results;
    Tsub& s = m.sub;

    void SetUp() override { fx.ws.results.clear(); }

    // The inputs from the environment and from the earlier stages.
    void setinputs() {
        Tenv& e = m.env;
        e.TEMP.set(Aland, 298, stImported);
        e.TEMP.set(Bland, 308, stImported);
        e.TEMP.set(Asea, 288, stImported);
        e.OHCONC_air.set(Aland, 1e12f, stImported);
        e.OHCONC_air.set(Bland, 2e12f, stImported);
        e.OHCONC_air.set(Asea, 5e11f, stImported);
        r.Kp_sed.setdefault(Aland, 0.05f);
        r.Kp_sed.setdefault(Bland, 0.02f);
        r.Kp_soil.setdefault(Aland, 0.01f);
        r.Kp_soil.setdefault(Bland, 0.004f);
        r.Kp_seased.setdefault(Asea, 0.03f);
        for (std::uint32_t i : {Aland, Bland}) {
            r.Fdiss_soil.setdefault(i, 0.5f);
            r.Fdiss_agr.setdefault(i, 0.25f);
            r.Fdiss_nonagr.setdefault(i, 0.4f);
            r.RHO_agr.setdefault(i, 1700);
            r.Fsolid_agr.setdefault(i, 0.6f);
        }
        r.Fass_aer.setdefault(Aland, 0.1f);
        r.Fass_aer.setdefault(Bland, 0.2f);
        r.Fass_aer.setdefault(Asea, 0.3f);
        fx.ui.reset();
    }
    void organic() {
        fx.organic();
        setinputs();
    }
    void metal() {
        fx.metal();
        setinputs();
    }
    void gas() {
        fx.gas();
        setinputs();
    }
    // An organic substance without measured biodegradation half-lives, in
    // the class given by its three flags.
    void organicclass(bool inherently, bool readily, bool window) {
        organic();
        s.DT50bio_freshwater_TEMPtest.setunknown();
        s.DT50bio_seawater_TEMPtest.setunknown();
        s.DT50aerbio_sed_TEMPtest.setunknown();
        s.DT50aerbio_seased_TEMPtest.setunknown();
        s.DT50bio_soil_TEMPtest.setunknown();
        s.inherently_biodegradable.set(inherently, stImported);
        s.readily_biodegradable.set(readily, stImported);
        s.fulfilling_10d_window.set(window, stImported);
    }
};

// ---- Organic substances with measured half-lives --------------------------

TEST_F(Degradation, OrganicHalfLivesAreCorrectedToTheRegionsTemperature) {
    organic(); // measured biodegradation half-lives of 1e6 s at 298 K
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 1e6);
    EXPECT_FLOAT_EQ(r.DT50bio_seawater_TEMPtest.value, 1e6);
    // At TEMPtest nothing changes; 10 K warmer the half-life is multiplied
    // by exp(-0.8), 10 K colder by exp(0.8).
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater.value(Aland), 1e6);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater.value(Bland), 1e6 * TCwarm);
    EXPECT_NEAR(r.DT50bio_freshwater.value(Bland), 449329, 1);
    EXPECT_FLOAT_EQ(r.DT50bio_seawater.value(Asea), 1e6 * TCcold);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed.value(Aland), 1e6);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed.value(Bland), 1e6 * TCwarm);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed_TEMPtest.value(Bland), 1e6);
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased_TEMPtest.value(Asea), 1e6);
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased.value(Asea), 1e6 * TCcold);
    EXPECT_FLOAT_EQ(r.DT50bio_soil_TEMPtest.value(Bland), 1e6);
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Bland), 1e6 * TCwarm);
    // Salt lakes: the fresh-water half-life / SALINITYcorr (0.3).
    EXPECT_FLOAT_EQ(r.DT50bio_saltlake.value(Aland), 1e6 / 0.3);
    EXPECT_FLOAT_EQ(r.DT50bio_saltlake.value(Bland), 1e6 * TCwarm / 0.3);
    // Soils: DT50bio_soil * Fdiss_soil / Fdiss_agr = * 0.5 / 0.25, and
    // * 0.5 / 0.4 for natural and urban soil.
    EXPECT_FLOAT_EQ(r.DT50bio_agr.value(Bland), 1e6 * TCwarm * 2);
    EXPECT_FLOAT_EQ(r.DT50bio_nonagr.value(Bland), 1e6 * TCwarm * 1.25);
    // Every input was there: no "has no value" warnings.
    EXPECT_TRUE(fx.ui.warnings.empty());
    // Class defaults and corrections are written to the results only.
    EXPECT_FLOAT_EQ(s.DT50bio_freshwater_TEMPtest.value, 1e6);
}

// The exponential correction holds between 0 and 35 degC; a polar region
// degrades as at 0 degC, not 400 times slower than at 25 degC.
TEST_F(Degradation, TheTemperatureCorrectionStopsAtZeroAndThirtyFiveDegrees) {
    organic(); // 1e6 s at 298 K
    m.env.TEMP.set(Aland, 223, stImported);  // -50 degC: held at 273.15 K
    m.env.TEMP.set(Bland, 320, stImported);  // 47 degC: held at 308.15 K
    m.env.TEMP.set(Asea, 273.5f, stImported); // just inside the range
    computedegradation(m);
    const double atzero = std::exp(0.08 * (298 - 273.15)); // about 7.3
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Aland), 1e6 * atzero);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater.value(Aland), 1e6 * atzero);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed.value(Aland), 1e6 * atzero);
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Bland), 1e6 * std::exp(0.08 * (298 - 308.15)));
    EXPECT_FLOAT_EQ(r.DT50bio_seawater.value(Asea), 1e6 * std::exp(0.08 * (298 - 273.5)));
}

TEST_F(Degradation, CompartmentsTheRegionDoesNotHaveAreHidden) {
    organic();
    computedegradation(m);
    for (const Tnumpars* p : {&r.DT50bio_freshwater,
                              &r.DT50bio_saltlake,
                              &r.DT50aerbio_sed_TEMPtest,
                              &r.DT50aerbio_sed,
                              &r.DT50aerbio_saltlakesed,
                              &r.DT50bio_soil_TEMPtest,
                              &r.DT50bio_soil,
                              &r.DT50bio_agr,
                              &r.DT50bio_nonagr,
                              &r.DT50abio_saltlakesed,
                              &r.kaerbio_sed,
                              &r.kdeg_sed,
                              &r.kaerbio_saltlakesed,
                              &r.kanaerbio_saltlakesed,
                              &r.kabio_saltlakesed,
                              &r.kdeg_saltlakesed,
                              &r.kbio_freshwater,
                              &r.kbio_saltlake,
                              &r.kdeg_freshwater,
                              &r.kdeg_saltlake,
                              &r.kbio_agr,
                              &r.kbio_nonagr,
                              &r.kdeg_agr,
                              &r.kdeg_nonagr,
                              &r.CONVagr})
        EXPECT_TRUE(p->ishidden(Asea)) << p->name();
    for (const Tnumpars* p :
         {&r.DT50bio_seawater, &r.DT50aerbio_seased_TEMPtest, &r.DT50aerbio_seased,
          &r.DT50anaerbio_seased, &r.DT50abio_seased, &r.kabio_seased, &r.kanaerbio_seased,
          &r.kbio_seawater, &r.kdeg_seawater, &r.kaerbio_seased, &r.kdeg_seased})
        for (std::uint32_t i : {Aland, Bland})
            EXPECT_TRUE(p->ishidden(i)) << p->name() << "[" << i << "]";
    // Every region has air and water hydrolysis.
    for (std::uint32_t i : {Aland, Bland, Asea}) {
        EXPECT_TRUE(r.kdeg_air.isknown(i));
        EXPECT_TRUE(r.DT50hydro_water.isknown(i));
    }
    // Hydrolysis in inland water belongs to land regions, in sea water to
    // sea regions; the other one is not written.
    EXPECT_TRUE(r.khydro_inlandwater.isknown(Aland));
    EXPECT_TRUE(r.khydro_inlandwater.isunknown(Asea));
    EXPECT_TRUE(r.khydro_seawater.isknown(Asea));
    EXPECT_TRUE(r.khydro_seawater.isunknown(Aland));
}

TEST_F(Degradation, TheSoilHalfLifeLoopAlsoGivesTheFoodReexports) {
    organic();
    m.env.PROD_meat.set(Aland, 500, stImported);
    m.env.EXPORT_meat.set(Aland, 540, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.REEXPORT_meat.value(Aland), 40);
    EXPECT_EQ(r.REEXPORT_meat.status(Aland), stDefault);
    EXPECT_TRUE(r.REEXPORT_meat.ishidden(Asea));
}

TEST_F(Degradation, OrganicRateConstants) {
    organic();
    // The type defaults leave hydrolysis, photolysis, the abiotic and the
    // anaerobic half-lives infinite; DT50abio_saltlakesed and DT50abio_seased
    // unknown (so the fresh-sediment value is taken).
    computedegradation(m);
    // Fresh water at 298 K: only biodegradation, ln 2 / 1e6.
    EXPECT_FLOAT_EQ(r.kbio_freshwater.value(Aland), ln2 / 1e6);
    EXPECT_EQ(r.khydro_inlandwater.value(Aland), 0);
    EXPECT_EQ(r.kphoto_water.value, 0);
    EXPECT_FLOAT_EQ(r.kdeg_freshwater.value(Aland), ln2 / 1e6);
    EXPECT_FLOAT_EQ(r.kbio_saltlake.value(Aland), ln2 / (1e6 / 0.3));
    EXPECT_FLOAT_EQ(r.kdeg_saltlake.value(Bland), ln2 / (1e6 * TCwarm / 0.3));
    EXPECT_FLOAT_EQ(r.kbio_seawater.value(Asea), ln2 / (1e6 * TCcold));
    EXPECT_FLOAT_EQ(r.kdeg_seawater.value(Asea), ln2 / (1e6 * TCcold));
    // Lake sediment: Faer_sed 0.1 of the aerobic rate, the anaerobic and
    // abiotic half-lives are infinite.
    EXPECT_FLOAT_EQ(r.kaerbio_sed.value(Bland), ln2 / (1e6 * TCwarm));
    EXPECT_EQ(r.kanaerbio_sed.value, 0);
    EXPECT_EQ(r.kabio_sed.value, 0);
    EXPECT_FLOAT_EQ(r.kdeg_sed.value(Bland), 0.1 * ln2 / (1e6 * TCwarm));
    // Salt-lake sediment rates take no infinity test: ln 2 / 1e20 each.
    EXPECT_FLOAT_EQ(r.kaerbio_saltlakesed.value(Aland), ln2 / inf);
    EXPECT_FLOAT_EQ(r.kanaerbio_saltlakesed.value(Aland), ln2 / inf);
    EXPECT_FLOAT_EQ(r.kabio_saltlakesed.value(Aland), ln2 / inf);
    EXPECT_FLOAT_EQ(r.kdeg_saltlakesed.value(Aland), (0.1 + 0.9 + 1) * ln2 / inf);
    // Sea sediment: 0.1 of the aerobic rate.
    EXPECT_FLOAT_EQ(r.kaerbio_seased.value(Asea), ln2 / (1e6 * TCcold));
    EXPECT_EQ(r.kanaerbio_seased.value(Asea), 0);
    EXPECT_EQ(r.kabio_seased.value(Asea), 0);
    EXPECT_FLOAT_EQ(r.kdeg_seased.value(Asea), 0.1 * ln2 / (1e6 * TCcold));
    // Soils, with no abiotic degradation.
    EXPECT_FLOAT_EQ(r.kbio_agr.value(Aland), ln2 / 2e6);
    EXPECT_FLOAT_EQ(r.kbio_nonagr.value(Aland), ln2 / 1.25e6);
    EXPECT_EQ(r.kabio_soil.value, 0);
    EXPECT_FLOAT_EQ(r.kdeg_agr.value(Aland), ln2 / 2e6);
    EXPECT_FLOAT_EQ(r.kdeg_nonagr.value(Bland), ln2 / (1.25e6 * TCwarm));
}

TEST_F(Degradation, AirDegradationFromOHRadicalsOrMeasured) {
    organic();
    // krad_OH = ln 2 / DT50photo_air (13824000 s by default); the gaseous
    // fraction 1 - Fass_aer reacts, scaled by OHCONC_air / 1.05e12.
    const double krad = static_cast<float>(ln2 / 13824000);
    ASSERT_FLOAT_EQ(s.krad_OH.value, krad);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.kdeg_air.value(Aland), (1 - 0.1) * krad * 1e12 / 1.05e12);
    EXPECT_FLOAT_EQ(r.kdeg_air.value(Bland), (1 - 0.2) * krad * 2e12 / 1.05e12);
    EXPECT_FLOAT_EQ(r.kdeg_air.value(Asea), (1 - 0.3) * krad * 5e11 / 1.05e12);
    s.kdeg_air.set(3e-6f, stImported);
    computedegradation(m);
    for (std::uint32_t i : {Aland, Bland, Asea})
        EXPECT_FLOAT_EQ(r.kdeg_air.value(i), 3e-6);
}

TEST_F(Degradation, CONVagrIsWetSoilPerKgSolids) {
    organic();
    computedegradation(m);
    // RHO_agr / (RHO_solid * Fsolid_agr) = 1700 / (2500 * 0.6)
    EXPECT_FLOAT_EQ(r.CONVagr.value(Aland), 1700.0 / 1500.0);
}

// ---- Salinity corrections ---------------------------------------------------

TEST_F(Degradation, SaltWaterHalfLivesFromFreshWaterOnesWhenNotMeasured) {
    organic();
    m.env.SALINITYcorr.set(0.5f, stEdited);
    s.DT50bio_seawater_TEMPtest.setunknown();
    s.DT50aerbio_saltlakesed.setunknown();
    s.DT50anaerbio_saltlakesed.setunknown();
    s.DT50anaerbio_seased.setunknown();
    s.DT50anaerbio_sed.set(3e6f, stImported);
    computedegradation(m);
    // fresh / SALINITYcorr (0.5)
    EXPECT_FLOAT_EQ(r.DT50bio_seawater_TEMPtest.value, 2e6);
    EXPECT_FLOAT_EQ(r.DT50bio_seawater.value(Asea), 2e6 * TCcold);
    EXPECT_FLOAT_EQ(r.DT50aerbio_saltlakesed.value(Bland), 1e6 * TCwarm / 0.5);
    EXPECT_FLOAT_EQ(r.DT50anaerbio_saltlakesed.value, 6e6);
    EXPECT_FLOAT_EQ(r.DT50anaerbio_seased.value(Asea), 6e6);
    EXPECT_FLOAT_EQ(r.kanaerbio_saltlakesed.value(Aland), ln2 / 6e6);
    EXPECT_FLOAT_EQ(r.kanaerbio_seased.value(Asea), ln2 / 6e6);
    EXPECT_FLOAT_EQ(r.kanaerbio_sed.value, ln2 / 3e6);
}

TEST_F(Degradation, MeasuredSaltWaterHalfLivesAreTakenAsTheyAre) {
    organic();
    s.DT50bio_seawater_TEMPtest.set(7e5f, stImported);
    s.DT50aerbio_saltlakesed.set(8e5f, stImported);
    s.DT50anaerbio_saltlakesed.set(9e5f, stImported);
    s.DT50anaerbio_seased.set(4e5f, stImported);
    s.DT50abio_saltlakesed.set(2e5f, stImported);
    s.DT50abio_seased.set(3e5f, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_seawater_TEMPtest.value, 7e5);
    EXPECT_FLOAT_EQ(r.DT50bio_seawater.value(Asea), 7e5 * TCcold);
    // Measured salt-lake sediment values get no temperature correction.
    EXPECT_FLOAT_EQ(r.DT50aerbio_saltlakesed.value(Bland), 8e5);
    EXPECT_FLOAT_EQ(r.DT50anaerbio_saltlakesed.value, 9e5);
    EXPECT_FLOAT_EQ(r.DT50anaerbio_seased.value(Asea), 4e5);
    EXPECT_FLOAT_EQ(r.DT50abio_saltlakesed.value(Bland), 2e5);
    EXPECT_FLOAT_EQ(r.DT50abio_seased.value(Asea), 3e5);
    EXPECT_FLOAT_EQ(r.kdeg_saltlakesed.value(Bland), 0.1 * ln2 / 8e5 + 0.9 * ln2 / 9e5 + ln2 / 2e5);
    EXPECT_FLOAT_EQ(r.kabio_seased.value(Asea), ln2 / 3e5);
    EXPECT_FLOAT_EQ(r.kdeg_seased.value(Asea),
                    0.1 * ln2 / (1e6 * TCcold) + 0.9 * ln2 / 4e5 + ln2 / 3e5);
}

TEST_F(Degradation, AbioticSedimentHalfLivesFallBackOnTheFreshSedimentOne) {
    organic();
    s.DT50abio_sed.set(5e5f, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50abio_saltlakesed.value(Aland), 5e5);
    EXPECT_FLOAT_EQ(r.DT50abio_seased.value(Asea), 5e5);
    EXPECT_FLOAT_EQ(r.kabio_sed.value, ln2 / 5e5);
    EXPECT_FLOAT_EQ(r.kabio_seased.value(Asea), ln2 / 5e5);
}

// ---- Biodegradability classes -------------------------------------------------

TEST_F(Degradation, ReadilyBiodegradableWithinTenDays) {
    organicclass(true, true, true);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 1296000); // 15 d
    EXPECT_FLOAT_EQ(r.DT50bio_seawater_TEMPtest.value, 1296000 / 0.3);
    // Sediment and soil: Kp * 300 d.
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed_TEMPtest.value(Aland), 0.05 * 25920000);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed_TEMPtest.value(Bland), 0.02 * 25920000);
    EXPECT_FLOAT_EQ(r.DT50bio_soil_TEMPtest.value(Aland), 0.01 * 25920000);
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Bland), 0.004 * 25920000 * TCwarm);
    // Sea sediment: Kp_seased * 300 d / SALINITYcorr.
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased_TEMPtest.value(Asea), 0.03 * 25920000 / 0.3);
    // Only a fresh-water half-life of 10 days (864000 s) or less earns the
    // biodegradation credit of the second treatment system; 15 days do not.
    EXPECT_FLOAT_EQ(r.fac2c.value, 1);
    EXPECT_TRUE(s.DT50bio_freshwater_TEMPtest.isunknown());
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Degradation, ReadilyBiodegradableFailingTheTenDayWindow) {
    organicclass(true, true, false);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 4320000); // 50 d
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed_TEMPtest.value(Aland), 0.05 * 77760000);
    EXPECT_FLOAT_EQ(r.DT50bio_soil_TEMPtest.value(Aland), 0.01 * 77760000);
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased_TEMPtest.value(Asea), 0.03 * 77760000 / 0.3);
    EXPECT_FLOAT_EQ(r.fac2c.value, 1);
}

TEST_F(Degradation, InherentlyBiodegradable) {
    organicclass(true, false, false);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 12960000); // 150 d
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed_TEMPtest.value(Bland), 0.02 * 259200000);
    EXPECT_FLOAT_EQ(r.DT50bio_soil_TEMPtest.value(Bland), 0.004 * 259200000);
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased_TEMPtest.value(Asea), 0.03 * 259200000 / 0.3);
}

TEST_F(Degradation, NotBiodegradableGivesInfiniteHalfLives) {
    organicclass(false, false, false);
    computedegradation(m);
    EXPECT_TRUE(r.DT50bio_freshwater_TEMPtest.isinfinite());
    EXPECT_TRUE(r.DT50bio_seawater_TEMPtest.isinfinite());
    EXPECT_TRUE(r.DT50aerbio_sed_TEMPtest.isinfinite(Aland));
    EXPECT_TRUE(r.DT50bio_soil_TEMPtest.isinfinite(Aland));
    // The infinite class value is not divided by SALINITYcorr.
    EXPECT_TRUE(r.DT50aerbio_seased_TEMPtest.isinfinite(Asea));
    // At TEMPtest the corrected half-life is still infinite: no
    // biodegradation.
    EXPECT_TRUE(r.DT50bio_freshwater.isinfinite(Aland));
    EXPECT_EQ(r.kbio_freshwater.value(Aland), 0);
    EXPECT_EQ(r.kbio_saltlake.value(Aland), 0);
    EXPECT_EQ(r.kaerbio_sed.value(Aland), 0);
    // The soil dissolved fractions (0.5 / 0.25) scale it into a very large
    // finite half-life with a negligible rate.
    EXPECT_FLOAT_EQ(r.kbio_agr.value(Aland), ln2 / (2 * inf));
    // In another climate it is a very large finite half-life with a
    // negligible rate.
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater.value(Bland), inf * TCwarm);
    EXPECT_FALSE(r.DT50bio_freshwater.isinfinite(Bland));
    EXPECT_FLOAT_EQ(r.kbio_freshwater.value(Bland), ln2 / (inf * TCwarm));
    EXPECT_FLOAT_EQ(r.kbio_seawater.value(Asea), ln2 / (inf * TCcold));
    // Slow: no biodegradation credit in treatment.
    EXPECT_FLOAT_EQ(r.fac2c.value, 1);
    // The infinite half-life was looked at without being read: marked used.
    EXPECT_TRUE(r.DT50bio_freshwater.used(Aland));
}

TEST_F(Degradation, InconsistentClassFlagsAreReadAsTheTestsImply) {
    // Readily biodegradable implies inherently biodegradable.
    organicclass(false, true, true);
    r.DT50bio_freshwater_TEMPtest.setdefault(123); // left by an earlier substance
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 1296000);
    EXPECT_FLOAT_EQ(r.DT50bio_soil_TEMPtest.value(Aland), 0.01 * 25920000);

    organicclass(false, true, false);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 4320000);

    // The 10-day window qualifies readily biodegradable substances only.
    organicclass(true, false, true);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater_TEMPtest.value, 12960000);

    organicclass(false, false, true);
    computedegradation(m);
    EXPECT_TRUE(r.DT50bio_freshwater_TEMPtest.isinfinite());
    EXPECT_TRUE(r.DT50aerbio_sed_TEMPtest.isinfinite(Bland));
}

// ---- Hydrolysis and photolysis ---------------------------------------------

TEST_F(Degradation, FiniteHydrolysisAndPhotolysis) {
    organic();
    s.DT50hydro_water_TEMPtest.set(2e6f, stImported);
    s.DT50photo_water.set(5e5f, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50hydro_water.value(Aland), 2e6);
    EXPECT_FLOAT_EQ(r.DT50hydro_water.value(Bland), 2e6 * TCwarm);
    EXPECT_FLOAT_EQ(r.DT50hydro_water.value(Asea), 2e6 * TCcold);
    EXPECT_FLOAT_EQ(r.khydro_inlandwater.value(Bland), ln2 / (2e6 * TCwarm));
    EXPECT_FLOAT_EQ(r.khydro_seawater.value(Asea), ln2 / (2e6 * TCcold));
    EXPECT_FLOAT_EQ(r.kphoto_water.value, ln2 / 5e5);
    // kdeg_freshwater = kbio_freshwater + khydro_inlandwater + kphoto_water
    EXPECT_FLOAT_EQ(r.kdeg_freshwater.value(Bland),
                    ln2 / (1e6 * TCwarm) + ln2 / (2e6 * TCwarm) + ln2 / 5e5);
    EXPECT_FLOAT_EQ(r.kdeg_saltlake.value(Aland), ln2 / (1e6 / 0.3) + ln2 / 2e6 + ln2 / 5e5);
    EXPECT_FLOAT_EQ(r.kdeg_seawater.value(Asea),
                    ln2 / (1e6 * TCcold) + ln2 / (2e6 * TCcold) + ln2 / 5e5);
}

TEST_F(Degradation, InfiniteHydrolysisAndPhotolysisAreMarkedUsed) {
    organic(); // both infinite by the type defaults
    ASSERT_TRUE(s.DT50hydro_water_TEMPtest.isinfinite());
    ASSERT_TRUE(s.DT50photo_water.isinfinite());
    computedegradation(m);
    EXPECT_TRUE(r.DT50hydro_water.isinfinite(Bland)); // not temperature corrected
    EXPECT_EQ(r.DT50hydro_water.status(Bland), stDefault);
    EXPECT_EQ(r.khydro_inlandwater.value(Bland), 0);
    EXPECT_EQ(r.khydro_seawater.value(Asea), 0);
    EXPECT_EQ(r.kphoto_water.value, 0);
    EXPECT_TRUE(s.DT50hydro_water_TEMPtest.used);
    EXPECT_TRUE(s.DT50photo_water.used);
    // The region's infinite hydrolysis half-life counts as used by the rate.
    EXPECT_TRUE(r.DT50hydro_water.used(Bland));
    EXPECT_TRUE(r.DT50hydro_water.used(Asea));
}

TEST_F(Degradation, UnknownHydrolysisAndPhotolysisGiveNoRateAndNoWarning) {
    organic();
    s.DT50hydro_water_TEMPtest.setunknown();
    s.DT50photo_water.setunknown();
    computedegradation(m);
    EXPECT_TRUE(r.DT50hydro_water.isunknown(Aland));
    EXPECT_TRUE(r.DT50hydro_water.isunknown(Asea));
    EXPECT_EQ(r.khydro_inlandwater.value(Aland), 0);
    EXPECT_EQ(r.khydro_inlandwater.status(Aland), stDefault);
    EXPECT_EQ(r.khydro_seawater.value(Asea), 0);
    EXPECT_EQ(r.kphoto_water.value, 0);
    EXPECT_FLOAT_EQ(r.kdeg_freshwater.value(Aland), ln2 / 1e6);
    EXPECT_TRUE(fx.ui.warnings.empty());
}

// ---- Purification factors -----------------------------------------------------

TEST_F(Degradation, PurificationOfAnOrganicSubstanceWithLowKow) {
    organic(); // Kow 1000, HENRY = VP / SOL = 10, DT50 1e6 s > 10 days
    computedegradation(m);
    EXPECT_EQ(r.fac1a.value, 1);
    EXPECT_EQ(r.fac2a.value, 1);
    EXPECT_EQ(r.fac1b.value, 1);
    EXPECT_EQ(r.fac2b.value, 1);
    EXPECT_EQ(r.fac1c.value, 1);
    EXPECT_EQ(r.fac2c.value, 1);
    EXPECT_EQ(r.PURFsys1.value, 1);
    EXPECT_EQ(r.PURFsys2.value, 1);
    EXPECT_EQ(r.PURFsurfacew.value, 1);
    EXPECT_EQ(r.PURFgroundw.value, 1);
    EXPECT_EQ(r.PURFgroundw.status, stDefault);
}

TEST_F(Degradation, SorptionFactorsAtTheKowBounds) {
    organic();
    s.Kow.set(1e4f, stImported); // log10 Kow = 4 exactly: not above 4
    computedegradation(m);
    EXPECT_EQ(r.fac1a.value, 1);
    EXPECT_EQ(r.fac2a.value, 1);
    s.Kow.set(1e5f, stImported); // 5 exactly: above 4, not above 5
    computedegradation(m);
    EXPECT_EQ(r.fac1a.value, 0.25f);
    EXPECT_EQ(r.fac2a.value, 0.5f);
    // PURFsys1 = 0.25, PURFsys2 = 0.5 * 1 * 1: the larger one is kept.
    EXPECT_EQ(r.PURFsurfacew.value, 0.5f);
    s.Kow.set(1e6f, stImported);
    computedegradation(m);
    EXPECT_EQ(r.fac1a.value, 0.0625f);
    EXPECT_EQ(r.fac2a.value, 0.25f);
}

TEST_F(Degradation, StrippingFactorsAtTheHenryBound) {
    organic();
    s.HENRY.set(100, stImported); // not above 100
    computedegradation(m);
    EXPECT_EQ(r.fac1b.value, 1);
    EXPECT_EQ(r.fac2b.value, 1);
    s.HENRY.set(100.5f, stImported);
    computedegradation(m);
    EXPECT_EQ(r.fac1b.value, 0.5f);
    EXPECT_EQ(r.fac2b.value, 0.5f);
    EXPECT_EQ(r.PURFsys1.value, 0.5f);
}

TEST_F(Degradation, SurfaceWaterTakesTheLessEffectiveSystem) {
    organic();
    s.Kow.set(1e5f, stImported);                           // fac1a 0.25, fac2a 0.5
    s.DT50bio_freshwater_TEMPtest.set(864000, stImported); // 10 days: fac2c 0.25
    computedegradation(m);
    EXPECT_EQ(r.fac2c.value, 0.25f);
    EXPECT_EQ(r.PURFsys1.value, 0.25f);  // 0.25 * 1 * 1
    EXPECT_EQ(r.PURFsys2.value, 0.125f); // 0.5 * 1 * 0.25
    EXPECT_EQ(r.PURFsurfacew.value, 0.25f);
    // Equal systems: that same value.
    s.Kow.set(1e6f, stImported); // 0.0625 and 0.25 * 0.25
    computedegradation(m);
    EXPECT_EQ(r.PURFsys1.value, 0.0625f);
    EXPECT_EQ(r.PURFsys2.value, 0.0625f);
    EXPECT_EQ(r.PURFsurfacew.value, 0.0625f);
}

// ---- Metals and gases ---------------------------------------------------------

TEST_F(Degradation, MetalHalfLivesAreCopiedWithoutTemperatureCorrection) {
    metal();
    s.DT50bio_freshwater_TEMPtest.set(5e6f, stImported);
    s.DT50bio_soil_TEMPtest.set(4e6f, stImported);
    s.DT50aerbio_sed_TEMPtest.set(3e6f, stImported);
    s.DT50aerbio_seased_TEMPtest.set(2e6f, stImported);
    s.DT50hydro_water_TEMPtest.set(6e6f, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_freshwater.value(Bland), 5e6); // 10 K warmer, unchanged
    EXPECT_FLOAT_EQ(r.DT50bio_saltlake.value(Bland), 5e6 / 0.3);
    EXPECT_TRUE(r.DT50bio_seawater_TEMPtest.isinfinite()); // measured (type default)
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Bland), 4e6);
    EXPECT_FLOAT_EQ(r.DT50aerbio_sed.value(Bland), 3e6);
    EXPECT_FLOAT_EQ(r.DT50aerbio_seased.value(Asea), 2e6);
    EXPECT_FLOAT_EQ(r.DT50hydro_water.value(Bland), 6e6);
    EXPECT_FLOAT_EQ(r.DT50hydro_water.value(Asea), 6e6);
    EXPECT_FLOAT_EQ(r.khydro_inlandwater.value(Bland), ln2 / 6e6);
    EXPECT_FLOAT_EQ(r.kbio_freshwater.value(Bland), ln2 / 5e6);
    EXPECT_FLOAT_EQ(r.kdeg_freshwater.value(Bland), ln2 / 5e6 + ln2 / 6e6);
    EXPECT_FLOAT_EQ(r.kbio_agr.value(Bland), ln2 / 8e6); // 4e6 * 0.5 / 0.25
}

TEST_F(Degradation, MetalWithDefaultHalfLivesDoesNotDegrade) {
    metal();
    computedegradation(m);
    EXPECT_EQ(r.kbio_freshwater.value(Aland), 0);
    EXPECT_EQ(r.kdeg_freshwater.value(Bland), 0);
    EXPECT_EQ(r.kdeg_sed.value(Aland), 0);
    EXPECT_EQ(r.kdeg_seawater.value(Asea), 0);
    EXPECT_EQ(r.kdeg_seased.value(Asea), 0);
    EXPECT_EQ(r.kdeg_air.value(Aland), 0); // krad_OH 0
    // The soil dissolved fractions scale the infinite soil half-life into a
    // very large finite one (2e20 s) with a negligible rate.
    EXPECT_FLOAT_EQ(r.DT50bio_agr.value(Aland), 2 * inf);
    EXPECT_FLOAT_EQ(r.kbio_agr.value(Aland), ln2 / (2 * inf));
    // The dissolved metal passes treatment of surface and groundwater alike;
    // the organic treatment factors do not apply.
    EXPECT_EQ(r.PURFsurfacew.value, 1);
    EXPECT_EQ(r.PURFsurfacew.status, stDefault);
    EXPECT_EQ(r.PURFgroundw.value, 1);
    for (const Tnumpar* p :
         {&r.fac1a, &r.fac1b, &r.fac1c, &r.fac2a, &r.fac2b, &r.fac2c, &r.PURFsys1, &r.PURFsys2})
        EXPECT_TRUE(p->ishidden()) << p->name();
    EXPECT_FLOAT_EQ(r.CONVagr.value(Bland), 1700.0 / 1500.0);
}

TEST_F(Degradation, GasSoilHalfLivesAreTheSoilValue) {
    gas();
    // A gas has every dissolved fraction 1.
    for (std::uint32_t i : {Aland, Bland}) {
        r.Fdiss_soil.setdefault(i, 1);
        r.Fdiss_agr.setdefault(i, 1);
        r.Fdiss_nonagr.setdefault(i, 1);
    }
    s.DT50bio_soil_TEMPtest.set(7e6f, stImported);
    computedegradation(m);
    EXPECT_FLOAT_EQ(r.DT50bio_agr.value(Bland), 7e6);
    EXPECT_FLOAT_EQ(r.DT50bio_nonagr.value(Bland), 7e6);
    EXPECT_FLOAT_EQ(r.DT50bio_soil.value(Bland), 7e6); // no temperature correction
    EXPECT_EQ(r.PURFsurfacew.value, 0);
    EXPECT_EQ(r.PURFgroundw.value, 1);
    EXPECT_TRUE(r.fac2c.ishidden());
}

TEST_F(Degradation, GasWithDefaultHalfLivesKeepsThemInfinite) {
    gas();
    for (std::uint32_t i : {Aland, Bland}) {
        r.Fdiss_soil.setdefault(i, 1);
        r.Fdiss_agr.setdefault(i, 1);
        r.Fdiss_nonagr.setdefault(i, 1);
    }
    computedegradation(m);
    EXPECT_TRUE(r.DT50bio_agr.isinfinite(Aland));
    EXPECT_EQ(r.kbio_agr.value(Aland), 0);
    EXPECT_TRUE(r.DT50bio_seawater.isinfinite(Asea));
    EXPECT_EQ(r.kbio_seawater.value(Asea), 0);
    EXPECT_TRUE(r.DT50anaerbio_seased.isinfinite(Asea));
}

// ---- Failures -----------------------------------------------------------------

TEST_F(Degradation, ZeroSalinityCorrectionStopsTheCalculation) {
    organic();
    s.DT50bio_seawater_TEMPtest.setunknown(); // needs the salt correction
    m.env.SALINITYcorr.set(0, stEdited);
    try {
        computedegradation(m);
        FAIL() << "no error";
    } catch (const Eerror& e) {
        EXPECT_EQ(std::string(e.what()), "Division by zero computing DT50bio_seawater_TEMPtest");
    }
}

TEST_F(Degradation, ZeroDissolvedFractionOfAgriculturalSoilStopsTheCalculation) {
    organic();
    r.Fdiss_agr.setdefault(Bland, 0);
    try {
        computedegradation(m);
        FAIL() << "no error";
    } catch (const Eerror& e) {
        EXPECT_EQ(std::string(e.what()), "Division by zero computing DT50bio_agr[Bland]");
    }
    // What was computed before stays.
    EXPECT_FLOAT_EQ(r.DT50bio_agr.value(Aland), 2e6);
}

TEST_F(Degradation, UnknownAnaerobicSedimentHalfLifeWarnsAndStops) {
    organic();
    s.DT50anaerbio_sed.setunknown(); // stored value 0, read without a test
    s.DT50anaerbio_saltlakesed.set(1e6f, stImported);
    s.DT50anaerbio_seased.set(1e6f, stImported);
    s.DT50anaerbio_sed.value = 0;
    EXPECT_THROW(computedegradation(m), Eerror);
    ASSERT_FALSE(fx.ui.warnings.empty());
    EXPECT_EQ(fx.ui.warnings.back(), "Parameter DT50anaerbio_sed has no value");
}

} // namespace
} // namespace velmora
