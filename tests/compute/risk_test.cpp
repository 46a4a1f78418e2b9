// Risk ratios, integrated and relative impact scores, characterisation
// factors and the distance and border count to the emitting region. The
// concentrations, doses and volumes they read are set by the test.
#include <gtest/gtest.h>

#include "compute/calculation.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tsmallregion;
using velmora::testing::Tsmallworld;
using velmora::testing::Tworldfixture;

namespace {

// The small world: Aland and Bland are countries, Asea the sea.
constexpr std::uint32_t A = 1, B = 2, S = 3;

float f(double x) {
    return static_cast<float>(x);
}

class Risk : public ::testing::Test {
protected:
    Tworldfixture fx;
    Tmodel& m = fx.m();
    Tresults& r = fx.ws.results;
    Tenv& e = fx.ws.env;
    Tsub& s = fx.ws.sub;

    void SetUp() override {
        ASSERT_EQ(fx.ws.regions.count, 3u);
        r.clear();
    }

    // Effect data of every category but the carcinogenic one.
    void seteffects() {
        s.EFFECT_aquatox.set(1000, stImported);
        s.EFFECT_seatox.set(2000, stImported);
        s.EFFECT_terrtox.set(10, stImported);
        s.EFFECThum_noncarc.set(10000, stImported);
        s.EFFECThum_carc.clear();
    }

    // Aland: river 0.002, lake 0.003, salt lake 0.005; soils nat 1, agr 2,
    // urb 4 in volumes 100, 50, 10; dose 1e-5. Bland: no soil volume at all.
    // Asea: sea water 0.001.
    void setexposure() {
        r.C_river.setdefault(A, 0.002f);
        r.C_lake.setdefault(A, 0.003f);
        r.C_saltlake.setdefault(A, 0.005f);
        r.C_nat.setdefault(A, 1);
        r.C_agr.setdefault(A, 2);
        r.C_urb.setdefault(A, 4);
        r.V_nat.setdefault(A, 100);
        r.V_agr.setdefault(A, 50);
        r.V_urb.setdefault(A, 10);
        r.DOSE_total.setdefault(A, 1e-5f);
        r.C_river.setdefault(B, 0.004f);
        r.C_lake.setdefault(B, 0);
        r.C_saltlake.setdefault(B, 0.001f);
        for (Tnumpars* p : {&r.C_nat, &r.C_agr, &r.C_urb})
            p->setdefault(B, 3);
        for (Tnumpars* p : {&r.V_nat, &r.V_agr, &r.V_urb})
            p->setdefault(B, 0);
        r.DOSE_total.setdefault(B, 2e-5f);
        r.C_seawater.setdefault(S, 0.001f);
        r.ACTCOEFF.setdefault(0.5f);
        r.FREEIONseawater.setdefault(S, 0.2f);
    }
};

// ---- risk ratios ------------------------------------------------------------

TEST_F(Risk, RatiosOfAnOrganic) {
    fx.organic();
    seteffects();
    setexposure();
    computeriskratios(m);
    EXPECT_FLOAT_EQ(r.RCRtox_river.value(A), f(1000 * double(0.002f)));
    EXPECT_FLOAT_EQ(r.RCRtox_lake.value(A), f(1000 * double(0.003f)));
    EXPECT_FLOAT_EQ(r.RCRtox_saltlake.value(A), f(1000 * double(0.005f)));
    EXPECT_FLOAT_EQ(r.RCRtox_river.value(B), f(1000 * double(0.004f)));
    // Volume-weighted soil: (100 * 1 + 50 * 2 + 10 * 4) / 160 * 10 = 15.
    EXPECT_FLOAT_EQ(r.RCRtox_soil.value(A), 15);
    EXPECT_FLOAT_EQ(r.RCRtox_humnoncarc.value(A), f(10000 * double(1e-5f)));
    EXPECT_FLOAT_EQ(r.RCRtox_humnoncarc.value(B), f(10000 * double(2e-5f)));
    EXPECT_TRUE(r.RCRtox_humcarc.ishidden(A)); // no slope factor
    EXPECT_TRUE(r.RCRtox_seawater.ishidden(A));
    EXPECT_FLOAT_EQ(r.RCRtox_seawater.value(S), f(2000 * double(0.001f)));
    for (Tnumpars* p : {&r.RCRtox_river, &r.RCRtox_lake, &r.RCRtox_saltlake, &r.RCRtox_soil,
                        &r.RCRtox_humnoncarc, &r.RCRtox_humcarc})
        EXPECT_TRUE(p->ishidden(S)) << p->name();
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Risk, ARatioBeyondTheFloatRangeAbandonsTheCalculation) {
    fx.organic();
    seteffects();
    setexposure();
    // An effect near the infinite value times a large concentration cannot
    // be stored: the stage stops instead of passing inf to the scores.
    s.EFFECT_aquatox.set(1e20f, stImported);
    r.C_river.setdefault(A, 1e20f);
    try {
        computeriskratios(m);
        FAIL() << "no error";
    } catch (const Eerror& error) {
        EXPECT_STREQ(error.what(), "Floating point overflow");
    }
}

TEST_F(Risk, AMetalIsCorrectedForTheFreeIonInSeaWaterOnly) {
    fx.metal();
    seteffects();
    setexposure();
    computeriskratios(m);
    EXPECT_FLOAT_EQ(r.RCRtox_seawater.value(S), f(2000 * double(0.001f) * 0.5 * double(0.2f)));
    EXPECT_FLOAT_EQ(r.RCRtox_river.value(A), f(1000 * double(0.002f)));
}

TEST_F(Risk, AGasHasNoFreeIonCorrection) {
    fx.gas();
    seteffects();
    setexposure();
    computeriskratios(m);
    EXPECT_FLOAT_EQ(r.RCRtox_seawater.value(S), f(2000 * double(0.001f)));
    EXPECT_FALSE(r.FREEIONseawater.used(S));
}

TEST_F(Risk, ARegionWithoutSoilHasSoilRatioZero) {
    fx.organic();
    seteffects();
    setexposure();
    computeriskratios(m);
    EXPECT_EQ(r.RCRtox_soil.value(B), 0);
    EXPECT_EQ(r.RCRtox_soil.status(B), stDefault);
}

TEST_F(Risk, MissingEffectDataHidesTheRatios) {
    fx.organic();
    setexposure();
    s.EFFECT_aquatox.clear();
    s.EFFECT_seatox.clear();
    s.EFFECT_terrtox.clear();
    s.EFFECThum_noncarc.clear();
    s.EFFECThum_carc.set(100, stImported);
    computeriskratios(m);
    for (Tnumpars* p : {&r.RCRtox_river, &r.RCRtox_lake, &r.RCRtox_saltlake, &r.RCRtox_soil,
                        &r.RCRtox_humnoncarc})
        EXPECT_TRUE(p->ishidden(A)) << p->name();
    EXPECT_TRUE(r.RCRtox_seawater.ishidden(S));
    EXPECT_FLOAT_EQ(r.RCRtox_humcarc.value(A), f(100 * double(1e-5f)));
    // Unknown effect data is tested, not read: no warning.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

// ---- impact scores ------------------------------------------------------------

class Impact : public Risk {
protected:
    // Risk ratios and weights of every category but the carcinogenic one.
    void setscores() {
        fx.organic();
        seteffects();
        // River: w = V_river * (1 - Friver_frozen): Aland 100 * 0.8 = 80,
        // Bland 300 * 0.5 = 150; u = w * SF * TF: Aland 80 * 2 * 0.5 = 80,
        // Bland 150 * 1 * 3 = 450.
        e.V_river.set(A, 100, stImported);
        e.Friver_frozen.set(A, 0.2f, stImported);
        e.V_river.set(B, 300, stImported);
        e.Friver_frozen.set(B, 0.5f, stImported);
        s.SFtox_river.setdefault(A, 2);
        s.TFtox_river.setdefault(A, 0.5f);
        s.TFtox_river.setdefault(B, 3);
        r.RCRtox_river.setdefault(A, 2);
        r.RCRtox_river.setdefault(B, 4);
        // Lake: only Aland has one.
        r.V_lake.setdefault(A, 50);
        r.V_lake.setdefault(B, 0);
        r.RCRtox_lake.setdefault(A, 3);
        r.RCRtox_lake.setdefault(B, 0);
        r.V_saltlake.setdefault(A, 10);
        r.V_saltlake.setdefault(B, 30);
        r.RCRtox_saltlake.setdefault(A, 1);
        r.RCRtox_saltlake.setdefault(B, 2);
        r.V_seawater.setdefault(S, 1e6f);
        r.RCRtox_seawater.setdefault(S, 0.25f);
        // Soil: Aland 100 + 50 + 10, TFtox_agr 2 so u = 100 + 100 + 10 = 210; Bland none.
        r.V_nat.setdefault(A, 100);
        r.V_agr.setdefault(A, 50);
        r.V_urb.setdefault(A, 10);
        s.TFtox_agr.setdefault(A, 2);
        for (Tnumpars* p : {&r.V_nat, &r.V_agr, &r.V_urb})
            p->setdefault(B, 0);
        r.RCRtox_soil.setdefault(A, 15);
        r.RCRtox_soil.setdefault(B, 0);
        // People: 1000 in Aland, 3000 in Bland (TFtox_humnoncarc 2).
        e.Npop.set(A, 1000, stImported);
        e.Npop.set(B, 3000, stImported);
        s.TFtox_humnoncarc.setdefault(B, 2);
        r.RCRtox_humnoncarc.setdefault(A, 0.1f);
        r.RCRtox_humnoncarc.setdefault(B, 0.2f);
        for (std::uint32_t i : {A, B})
            r.RCRtox_humcarc.sethidden(i);
        for (Tnumpars* p : {&r.RCRtox_river, &r.RCRtox_lake, &r.RCRtox_saltlake, &r.RCRtox_soil,
                            &r.RCRtox_humnoncarc, &r.RCRtox_humcarc})
            p->sethidden(S);
        for (std::uint32_t i : {A, B})
            r.RCRtox_seawater.sethidden(i);
    }
};

TEST_F(Impact, WorldAveragesAndSharesOfTheRiverCategory) {
    setscores();
    computeimpactscores(m);
    // P = 80 * 2 + 150 * 4 = 760; A = 80 * 2 + 450 * 4 = 1960; W = 230.
    EXPECT_FLOAT_EQ(r.IPICRtox_river.value, f(760.0 / 230));
    EXPECT_FLOAT_EQ(r.IAICRtox_river.value, f(1960.0 / 230));
    EXPECT_FLOAT_EQ(r.RPICRtox_river.value(A), f(160.0 / 760));
    EXPECT_FLOAT_EQ(r.RPICRtox_river.value(B), f(600.0 / 760));
    EXPECT_FLOAT_EQ(r.RAICRtox_river.value(A), f(160.0 / 1960));
    EXPECT_FLOAT_EQ(r.RAICRtox_river.value(B), f(1800.0 / 1960));
    // The sea is not covered: share 0, known.
    EXPECT_EQ(r.RPICRtox_river.value(S), 0);
    EXPECT_EQ(r.RPICRtox_river.status(S), stDefault);
    EXPECT_EQ(r.RAICRtox_river.value(S), 0);
}

TEST_F(Impact, OtherCategories) {
    setscores();
    computeimpactscores(m);
    // Lake: only Aland's 50 m3 count.
    EXPECT_FLOAT_EQ(r.IPICRtox_lake.value, 3);
    EXPECT_FLOAT_EQ(r.RPICRtox_lake.value(A), 1);
    EXPECT_FLOAT_EQ(r.RPICRtox_lake.value(B), 0);
    // Salt lake: (10 * 1 + 30 * 2) / 40.
    EXPECT_FLOAT_EQ(r.IPICRtox_saltlake.value, f(70.0 / 40));
    EXPECT_FLOAT_EQ(r.RPICRtox_saltlake.value(B), f(60.0 / 70));
    // Sea water: one sea.
    EXPECT_FLOAT_EQ(r.IPICRtox_seawater.value, 0.25f);
    EXPECT_FLOAT_EQ(r.IAICRtox_seawater.value, 0.25f);
    EXPECT_FLOAT_EQ(r.RPICRtox_seawater.value(S), 1);
    EXPECT_EQ(r.RPICRtox_seawater.value(A), 0);
    // Soil: P = 160 * 15, A = 210 * 15, W = 160.
    EXPECT_FLOAT_EQ(r.IPICRtox_soil.value, 15);
    EXPECT_FLOAT_EQ(r.IAICRtox_soil.value, f(210.0 * 15 / 160));
    EXPECT_FLOAT_EQ(r.RPICRtox_soil.value(A), 1);
    // Non-carcinogenic: P = 1000 * 0.1 + 3000 * 0.2 = 700; A = 100 + 6000 * 0.2 = 1300.
    EXPECT_FLOAT_EQ(r.IPICRtox_humnoncarc.value,
                    f((1000 * double(0.1f) + 3000 * double(0.2f)) / 4000));
    EXPECT_FLOAT_EQ(r.IAICRtox_humnoncarc.value,
                    f((1000 * double(0.1f) + 6000 * double(0.2f)) / 4000));
    EXPECT_FLOAT_EQ(r.RAICRtox_humnoncarc.value(B),
                    f(6000 * double(0.2f) / (1000 * double(0.1f) + 6000 * double(0.2f))));
    // Carcinogenic: no slope factor, everything hidden.
    EXPECT_TRUE(r.IPICRtox_humcarc.ishidden());
    EXPECT_TRUE(r.IAICRtox_humcarc.ishidden());
    for (std::uint32_t i : {A, B, S}) {
        EXPECT_TRUE(r.RPICRtox_humcarc.ishidden(i));
        EXPECT_TRUE(r.RAICRtox_humcarc.ishidden(i));
    }
    // The hidden ratios of uncovered regions are never read.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Impact, SharesAddUpToOneOverTheCoveredRegions) {
    setscores();
    computeimpactscores(m);
    for (Tnumpars* p : {&r.RPICRtox_river, &r.RAICRtox_river, &r.RPICRtox_saltlake,
                        &r.RAICRtox_saltlake, &r.RPICRtox_humnoncarc, &r.RAICRtox_humnoncarc})
        EXPECT_NEAR(double(p->value(A)) + p->value(B) + p->value(S), 1, 1e-6) << p->name();
}

TEST_F(Impact, NobodyLivingAnywhereHidesTheHumanScoresAndZeroesTheShares) {
    setscores();
    e.Npop.set(A, 0, stImported);
    e.Npop.set(B, 0, stImported);
    computeimpactscores(m);
    EXPECT_TRUE(r.IPICRtox_humnoncarc.ishidden());
    EXPECT_TRUE(r.IAICRtox_humnoncarc.ishidden());
    for (std::uint32_t i : {A, B, S}) {
        EXPECT_EQ(r.RPICRtox_humnoncarc.value(i), 0);
        EXPECT_EQ(r.RPICRtox_humnoncarc.status(i), stDefault);
        EXPECT_EQ(r.RAICRtox_humnoncarc.value(i), 0);
    }
}

TEST_F(Impact, WithoutAquaticEffectDataEveryFreshWaterResultIsHidden) {
    setscores();
    s.EFFECT_aquatox.clear();
    computeimpactscores(m);
    for (Tnumpar* p : {&r.IPICRtox_river, &r.IAICRtox_river, &r.IPICRtox_lake, &r.IAICRtox_lake,
                       &r.IPICRtox_saltlake, &r.IAICRtox_saltlake}) {
        EXPECT_TRUE(p->ishidden()) << p->name();
    }
    for (std::uint32_t i : {A, B, S})
        for (Tnumpars* p : {&r.RPICRtox_river, &r.RAICRtox_river, &r.RPICRtox_lake,
                            &r.RAICRtox_lake, &r.RPICRtox_saltlake, &r.RAICRtox_saltlake})
            EXPECT_TRUE(p->ishidden(i)) << p->name();
    // No reference: every factor hidden.
    for (Tnumpar* p : {&r.CFtoxpot_river, &r.CFtoxact_lake, &r.CFtoxpot_soil, &r.CFtoxact_humcarc})
        EXPECT_TRUE(p->ishidden()) << p->name();
}

// ---- characterisation factors ---------------------------------------------------

TEST_F(Impact, FactorsDivideByTheReference) {
    setscores();
    m.ref.substance = "reference";
    m.ref.region = A;
    m.ref.compartment = air;
    // river, lake, saltlake, seawater, soil, humnoncarc, humcarc; potential then actual.
    m.ref.values = {2, 0, 4, 0.5f, 30, 0.35f, 1, 4, 1, 1, 1, 1, 1, 1};
    computeimpactscores(m);
    EXPECT_FLOAT_EQ(r.CFtoxpot_river.value, f(double(r.IPICRtox_river.value) / 2));
    EXPECT_FLOAT_EQ(r.CFtoxact_river.value, f(double(r.IAICRtox_river.value) / 4));
    EXPECT_FLOAT_EQ(r.CFtoxpot_saltlake.value, f(double(f(70.0 / 40)) / 4));
    EXPECT_FLOAT_EQ(r.CFtoxpot_seawater.value, 0.5f);
    EXPECT_FLOAT_EQ(r.CFtoxpot_soil.value, 0.5f);
    EXPECT_EQ(r.CFtoxpot_river.status, stDefault);
    // A reference without lake effect (0): unknown rather than infinite.
    EXPECT_TRUE(r.CFtoxpot_lake.isunknown());
    EXPECT_FLOAT_EQ(r.CFtoxact_lake.value, 3);
    // A hidden score has no factor, whatever the reference says.
    EXPECT_TRUE(r.CFtoxpot_humcarc.isunknown());
    EXPECT_TRUE(r.CFtoxact_humcarc.isunknown());
}

TEST_F(Impact, TheSubstanceItselfAsReferenceGivesFactorsOfOne) {
    setscores();
    computeimpactscores(m);
    fx.ws.takereference();
    ASSERT_TRUE(m.ref.held());
    computeimpactscores(m);
    for (Tnumpar* p : {&r.CFtoxpot_river, &r.CFtoxact_river, &r.CFtoxpot_lake, &r.CFtoxact_lake,
                       &r.CFtoxpot_saltlake, &r.CFtoxpot_seawater, &r.CFtoxact_soil,
                       &r.CFtoxpot_humnoncarc, &r.CFtoxact_humnoncarc}) {
        EXPECT_FLOAT_EQ(p->value, 1) << p->name();
        EXPECT_EQ(p->status, stDefault) << p->name();
    }
    EXPECT_TRUE(r.CFtoxpot_humcarc.isunknown());
}

TEST_F(Impact, AnEmptyReferenceHidesEveryFactor) {
    setscores();
    m.ref.clear();
    computeimpactscores(m);
    for (Tnumpar* p :
         {&r.CFtoxpot_river, &r.CFtoxact_river, &r.CFtoxpot_lake, &r.CFtoxact_lake,
          &r.CFtoxpot_saltlake, &r.CFtoxact_saltlake, &r.CFtoxpot_seawater, &r.CFtoxact_seawater,
          &r.CFtoxpot_soil, &r.CFtoxact_soil, &r.CFtoxpot_humnoncarc, &r.CFtoxact_humnoncarc,
          &r.CFtoxpot_humcarc, &r.CFtoxact_humcarc})
        EXPECT_TRUE(p->ishidden()) << p->name();
}

// ---- distance and border count to the emitting region ------------------------------

TEST_F(Impact, DistancesToTheEmittingRegion) {
    setscores();
    fx.ws.settings.DistancesDisplay = 1;
    m.emi.region = A;
    computeimpactscores(m);
    EXPECT_EQ(r.DISTANCEreg.value(A), 0);
    EXPECT_EQ(r.DISTANCEreg.status(A), stDefault);
    // Aland lies at 50 N 5 E, Bland at 51 N 8 E, Asea at 55 N 3 E.
    ASSERT_EQ(e.latitude.value(B), 51);
    float d = 0, bearing = 0;
    geodistance({51, 8}, {50, 5}, d, bearing);
    EXPECT_FLOAT_EQ(r.DISTANCEreg.value(B), d);
    // One degree of latitude is about 111 km, three of longitude at 50.5 N about 212 km.
    EXPECT_NEAR(r.DISTANCEreg.value(B), 236e3, 10e3);
    geodistance({55, 3}, {50, 5}, d, bearing);
    EXPECT_FLOAT_EQ(r.DISTANCEreg.value(S), d);
}

TEST_F(Impact, DistancesFromThePairTable) {
    setscores();
    fx.ws.settings.DistancesDisplay = 2;
    m.emi.region = A;
    r.DISTANCE.setdefault(B, A, 123);
    r.DISTANCE.setdefault(A, B, 999);
    r.DISTANCE.setdefault(S, A, 456);
    computeimpactscores(m);
    EXPECT_EQ(r.DISTANCEreg.value(A), 0);
    EXPECT_EQ(r.DISTANCEreg.value(B), 123);
    EXPECT_EQ(r.DISTANCEreg.value(S), 456);
    // The diagonal of the table is never read.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Impact, NoDistancesOrBorderCountsWhenNotAskedFor) {
    setscores();
    fx.ws.settings.DistancesDisplay = 0;
    fx.ws.settings.NBordersDisplay = 0;
    computeimpactscores(m);
    for (std::uint32_t i : {A, B, S}) {
        EXPECT_TRUE(r.DISTANCEreg.isunknown(i));
        EXPECT_TRUE(r.NBORDERSreg.isunknown(i));
    }
}

TEST_F(Impact, BorderCountsFromThePairTable) {
    setscores();
    fx.ws.settings.NBordersDisplay = 2;
    m.emi.region = B;
    r.NBORDERS.setdefault(A, B, 3);
    r.NBORDERS.setdefault(B, A, 7);
    r.NBORDERS.setdefault(S, B, 1);
    computeimpactscores(m);
    EXPECT_EQ(r.NBORDERSreg.value(A), 3);
    EXPECT_EQ(r.NBORDERSreg.value(B), 0);
    EXPECT_EQ(r.NBORDERSreg.value(S), 1);
}

TEST_F(Impact, BorderCountsFollowTheBordersFromEachRegionToTheEmittingOne) {
    setscores();
    fx.ws.settings.NBordersDisplay = 1;
    m.emi.region = A;
    // Every pair borders in the small world.
    computeimpactscores(m);
    EXPECT_EQ(r.NBORDERSreg.value(A), 0);
    EXPECT_EQ(r.NBORDERSreg.value(B), 1);
    EXPECT_EQ(r.NBORDERSreg.value(S), 1);
    // Bland reaches Aland only through the sea; the lengths are read in the
    // direction of travel: [Bland, Asea] and [Asea, Aland].
    for (std::uint32_t i : {A, B, S})
        for (std::uint32_t j : {A, B, S})
            e.BORDERLENGTH.set(i, j, 0, stImported);
    e.BORDERLENGTH.set(B, S, 30, stImported);
    e.BORDERLENGTH.set(S, A, 50, stImported);
    computeimpactscores(m);
    EXPECT_EQ(r.NBORDERSreg.value(B), 2);
    EXPECT_EQ(r.NBORDERSreg.value(S), 1);
    // Cut off entirely: 9.
    e.BORDERLENGTH.set(B, S, 0, stImported);
    computeimpactscores(m);
    EXPECT_EQ(r.NBORDERSreg.value(B), 9);
    EXPECT_EQ(r.NBORDERSreg.value(S), 1);
}

TEST(ImpactChain, BorderCountsStopAfterEightSteps) {
    // Ten countries in a row, C1 - C2 - ... - C10, and a sea without borders.
    Tsmallworld w = Tsmallworld::standard();
    Tsmallregion c = w.countries[0];
    w.countries.clear();
    w.pairs.clear();
    for (int k = 1; k <= 10; ++k) {
        c.name = "C" + std::to_string(k);
        c.abbreviation = "C" + std::to_string(k);
        w.countries.push_back(c);
    }
    for (int k = 1; k < 10; ++k)
        w.setborder("C" + std::to_string(k), "C" + std::to_string(k + 1), 10);
    Tworldfixture fx(w);
    Tmodel& m = fx.m();
    ASSERT_EQ(fx.ws.regions.count, 11u);
    fx.ws.results.clear();
    fx.ws.settings.NBordersDisplay = 1;
    fx.ws.settings.DistancesDisplay = 0;
    m.emi.region = 1;
    computeimpactscores(m);
    Tnumpars& n = fx.ws.results.NBORDERSreg;
    for (std::uint32_t k = 1; k <= 9; ++k)
        EXPECT_EQ(n.value(k), k - 1) << "C" << k;
    EXPECT_EQ(n.value(10), 9); // nine steps: further than eight
    EXPECT_EQ(n.value(11), 9); // the sea borders nothing
    m.emi.region = 5;
    computeimpactscores(m);
    EXPECT_EQ(n.value(1), 4);
    EXPECT_EQ(n.value(10), 5);
    EXPECT_EQ(n.value(5), 0);
}

} // namespace
