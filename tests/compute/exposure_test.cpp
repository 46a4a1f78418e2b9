// Concentrations in the environment and in food, doses, intakes and intake
// fractions. Every earlier result the stage reads is set by the test; the
// expected values are worked out here from those inputs.
#include <gtest/gtest.h>

#include "compute/calculation.h"
#include "numeric/errors.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

// The small world: Aland and Bland are countries, Asea the sea.
constexpr std::uint32_t A = 1, B = 2, S = 3;

constexpr std::uint32_t rc(std::uint32_t r, std::uint32_t c) {
    return (r - 1) * 12 + c;
}

float f(double x) {
    return static_cast<float>(x);
}

class Exposure : public ::testing::Test {
protected:
    Tworldfixture fx;
    Tmodel& m = fx.m();
    Tresults& r = fx.ws.results;
    Tenv& e = fx.ws.env;

    void SetUp() override {
        ASSERT_EQ(fx.ws.regions.count, 3u);
        ASSERT_TRUE(e.land.value(A) && e.land.value(B) && !e.land.value(S));
        r.clear();
    }

    // Concentrations the system solve would leave: Aland 2, 3, 5, ... in the
    // order air, nat, agr, urb, river, lake, lakesed, saltlake, saltlakesed,
    // groundwater; Bland ten times those (its lake 0: it has none); Asea air
    // 1.5, sea water 31, sea sediment 37.
    void setconcentrations() {
        const double land[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29};
        for (std::uint32_t c = 1; c <= 10; ++c) {
            m.regcomps.CONC.setdefault(rc(A, c), f(land[c - 1]));
            m.regcomps.CONC.setdefault(rc(B, c), f(10 * land[c - 1]));
        }
        m.regcomps.CONC.setdefault(rc(B, lake), 0);
        m.regcomps.CONC.setdefault(rc(S, air), 1.5f);
        m.regcomps.CONC.setdefault(rc(S, seawater), 31);
        m.regcomps.CONC.setdefault(rc(S, seased), 37);
    }

    // The earlier results and environment values the "C" step reads.
    void setfoodinputs() {
        // Aland: river 100 m3 of which 20 % frozen, lake 50 m3. Bland: river
        // frozen solid and no lake, so no liquid fresh water.
        r.V_river.setdefault(A, 100);
        r.V_lake.setdefault(A, 50);
        e.Friver_frozen.set(A, 0.2f, stImported);
        r.V_river.setdefault(B, 40);
        r.V_lake.setdefault(B, 0);
        e.Friver_frozen.set(B, 1, stImported);
        for (std::uint32_t i : {A, B, S})
            r.BCF_fish.setdefault(i, i == S ? 6.0f : 4.0f);
        for (std::uint32_t i : {A, B}) {
            r.BCFsoil_leafcrops.setdefault(i, 0.5f);
            r.BCFair_leafcrops.setdefault(i, 1e-3f);
            r.BCF_rootcrops.setdefault(i, 0.25f);
            r.BCF_meat.setdefault(i, 0.01f);
            r.BCF_milk.setdefault(i, 0.02f);
            r.CONVagr.setdefault(i, 0.6f);
            // Agricultural soil 1500 kg per m^3 of bulk soil, natural soil
            // 0.2 * 1 + 0.3 * 1000 + 0.5 * 2500 = 1550.2.
            r.RHO_agr.setdefault(i, 1500);
            e.Fair_nonagr.set(i, 0.2f, stImported);
            e.Fwater_nonagr.set(i, 0.3f, stImported);
            r.Fsolid_nonagr.setdefault(i, 0.5f);
            r.Fdiss_inlandwater.setdefault(i, 0.9f);
            e.Fdrw_safe.set(i, 0.75f, stImported);
            e.Fdrw_grw.set(i, 0.5f, stImported);
        }
        r.ACTCOEFF.setdefault(0.5f);
        r.FREEIONseawater.setdefault(S, 0.2f);
        r.Fdiss_seawater.setdefault(S, 0.5f);
        e.RHO_air.set(1, stImported);
        e.RHO_water.set(1000, stImported);
        e.RHO_solid.set(2500, stImported);
        r.PURFgroundw.setdefault(0.8f);
        r.PURFsurfacew.setdefault(0.5f);
        e.ICdwt_grass.set(16, stImported);
        e.CONVgrass.set(4, stImported);
        e.ICswt_soil.set(0.5f, stImported);
        e.IC_air.set(0.01f, stImported);
        // Exports weigh the import concentrations: Aland 1, Bland 3.
        for (Tnumpars* x : {&e.EXPORT_leafcrops, &e.EXPORT_rootcrops, &e.EXPORT_freshwaterfish,
                            &e.EXPORT_meat, &e.EXPORT_dairy}) {
            x->set(A, 1, stImported);
            x->set(B, 3, stImported);
        }
        e.CATCH_seafish.set(S, 1000, stImported);
    }
};

// ---- step "C" ---------------------------------------------------------------

TEST_F(Exposure, EnvironmentalConcentrationsComeFromTheRegcompsAndHideMissingCompartments) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    computeconcentrations(m);
    EXPECT_FLOAT_EQ(r.C_air.value(A), 2);
    EXPECT_FLOAT_EQ(r.C_nat.value(A), 3);
    EXPECT_FLOAT_EQ(r.C_agr.value(A), 5);
    EXPECT_FLOAT_EQ(r.C_urb.value(A), 7);
    EXPECT_FLOAT_EQ(r.C_river.value(A), 11);
    EXPECT_FLOAT_EQ(r.C_lake.value(A), 13);
    EXPECT_FLOAT_EQ(r.C_lakesed.value(A), 17);
    EXPECT_FLOAT_EQ(r.C_saltlake.value(A), 19);
    EXPECT_FLOAT_EQ(r.C_saltlakesed.value(A), 23);
    EXPECT_FLOAT_EQ(r.C_groundwater.value(A), 29);
    EXPECT_FLOAT_EQ(r.C_groundwater.value(B), 290);
    EXPECT_EQ(r.C_groundwater.status(B), stDefault);
    EXPECT_TRUE(r.C_seawater.ishidden(A));
    EXPECT_TRUE(r.C_seased.ishidden(B));
    EXPECT_FLOAT_EQ(r.C_air.value(S), 1.5f);
    EXPECT_FLOAT_EQ(r.C_seawater.value(S), 31);
    EXPECT_FLOAT_EQ(r.C_seased.value(S), 37);
    for (Tnumpars* p : {&r.C_nat, &r.C_agr, &r.C_urb, &r.C_river, &r.C_lake, &r.C_lakesed,
                        &r.C_saltlake, &r.C_saltlakesed, &r.C_groundwater})
        EXPECT_TRUE(p->ishidden(S)) << p->name();
    // Every concentration read had a value.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Exposure, FoodAndDrinkingWaterOfAnOrganicInALandRegion) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    computeconcentrations(m);
    // Aland: air 2, nat 3, agr 5, river 11, lake 13, groundwater 29.
    // W = (1 - 0.2) * 100 + 50 = 130; S = 100 * 11 * 0.8 + 50 * 13 = 1530.
    double W = 130, Sm = 1530;
    double fdiss = 0.9f, purfg = 0.8f, bcfair = 1e-3f;
    // Soil concentrations per kg of wet soil: agricultural 5 / 1500, natural
    // 3 / 1550.2.
    EXPECT_FLOAT_EQ(r.C_leafcrops.value(A), f(5 / 1500.0 * 0.5 + 2 * bcfair));
    EXPECT_FLOAT_EQ(r.C_rootcrops.value(A), f(5 / 1500.0 * 0.25));
    // Fish take up the dissolved part of the liquid fresh water.
    EXPECT_FLOAT_EQ(r.C_freshwaterfish.value(A), f(fdiss * Sm * 4 / W));
    double grass = f(3 / 1550.2 * 0.5 + 2 * bcfair);
    EXPECT_FLOAT_EQ(r.C_grass.value(A), grass);
    // The cattle's daily intake: 16 kg dry grass (4 kg fresh each), 0.5 kg
    // soil solids (0.6 kg wet soil each), 0.01 m^3 air; the biotransfer
    // factor applies to all of it.
    double bcfmeat = 0.01f, bcfmilk = 0.02f, convagr = 0.6f;
    double intake = grass * 16 * 4 + 0.5 * 5 / 1500.0 * convagr + double(0.01f) * 2;
    EXPECT_FLOAT_EQ(r.C_meat.value(A), f(bcfmeat * intake));
    EXPECT_FLOAT_EQ(r.C_dairy.value(A), f(bcfmilk * intake));
    double purfgroundw = purfg * fdiss * 29;
    double purfsurfacew = 0.5 * fdiss * Sm / W;
    EXPECT_FLOAT_EQ(r.C_purfgroundw.value(A), f(purfgroundw));
    EXPECT_FLOAT_EQ(r.C_purfsurfacew.value(A), f(purfsurfacew));
    // Half from groundwater, half from surface water, 75 % of each purified.
    double drw = 0.5 * (0.75 * r.C_purfgroundw.value(A) + 0.25 * fdiss * 29) +
                 0.5 * (0.75 * r.C_purfsurfacew.value(A) + 0.25 * fdiss * Sm / W);
    EXPECT_FLOAT_EQ(r.C_drw.value(A), f(drw));
    EXPECT_TRUE(r.C_seafish.ishidden(A));
}

TEST_F(Exposure, WithoutLiquidFreshWaterNoFishAndDrinkingWaterFromGroundwaterOnly) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    computeconcentrations(m);
    // Bland: river frozen solid and no lake, W = 0.
    EXPECT_FLOAT_EQ(r.C_freshwaterfish.value(B), 0);
    EXPECT_EQ(r.C_freshwaterfish.status(B), stDefault);
    EXPECT_FLOAT_EQ(r.C_purfsurfacew.value(B), 0);
    // Groundwater 290: purified 0.8 * 0.9 * 290; drinking water takes all of
    // it from the ground whatever the groundwater fraction (0.5) says.
    double fdiss = 0.9f, purfg = 0.8f;
    double purfgroundw = purfg * fdiss * 290;
    EXPECT_FLOAT_EQ(r.C_purfgroundw.value(B), f(purfgroundw));
    EXPECT_FLOAT_EQ(r.C_drw.value(B), f(0.75 * r.C_purfgroundw.value(B) + 0.25 * fdiss * 290));
    // The fish bioconcentration factor is not needed there.
    EXPECT_FALSE(r.BCF_fish.used(B));
    EXPECT_TRUE(r.BCF_fish.used(A));
}

TEST_F(Exposure, SeaFishOfOrganicMetalAndGas) {
    setconcentrations();
    setfoodinputs();
    fx.organic();
    computeconcentrations(m);
    EXPECT_FLOAT_EQ(r.C_seafish.value(S), 31 * 6 * 0.5); // dissolved C_seawater * BCF_fish
    EXPECT_FALSE(r.FREEIONseawater.used(S));

    fx.metal();
    computeconcentrations(m);
    // Only the free ion accumulates: times ACTCOEFF 0.5 and FREEIONseawater 0.2.
    EXPECT_FLOAT_EQ(r.C_seafish.value(S), f(31 * 6 * 0.5 * 0.5 * double(0.2f)));
    EXPECT_TRUE(r.FREEIONseawater.used(S));

    fx.gas();
    r.BCF_fish.useds.setvalue(S, false);
    computeconcentrations(m);
    EXPECT_FLOAT_EQ(r.C_seafish.value(S), 0);
    EXPECT_EQ(r.C_seafish.status(S), stDefault);
    EXPECT_TRUE(r.BCF_fish.used(S)); // read all the same
    EXPECT_FLOAT_EQ(r.C_seafishaverage.value, 0);
}

TEST_F(Exposure, SeaRegionsHideLandFoodAndLandRegionsHideSeaFish) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    computeconcentrations(m);
    for (Tnumpars* p : {&r.C_leafcrops, &r.C_rootcrops, &r.C_freshwaterfish, &r.C_grass, &r.C_meat,
                        &r.C_dairy, &r.C_purfsurfacew, &r.C_purfgroundw, &r.C_drw})
        EXPECT_TRUE(p->ishidden(S)) << p->name();
    EXPECT_TRUE(r.C_seafish.ishidden(A));
    EXPECT_TRUE(r.C_seafish.ishidden(B));
}

TEST_F(Exposure, ImportConcentrationsAreExportWeightedMeans) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    computeconcentrations(m);
    // Exports 1 (Aland) and 3 (Bland).
    auto mean = [](double a, double b) { return f((1 * a + 3 * b) / 4); };
    EXPECT_FLOAT_EQ(r.C_leafcropsimp.value,
                    mean(r.C_leafcrops.value(A), 50 / 1500.0 * 0.5 + 20 * double(1e-3f)));
    EXPECT_FLOAT_EQ(r.C_rootcropsimp.value, mean(r.C_rootcrops.value(A), 50 / 1500.0 * 0.25));
    // Bland has no fresh-water fish concentration (0) but still weighs in.
    EXPECT_FLOAT_EQ(r.C_freshwaterfishimp.value, mean(r.C_freshwaterfish.value(A), 0));
    EXPECT_FLOAT_EQ(r.C_meatimp.value, mean(r.C_meat.value(A), r.C_meat.value(B)));
    EXPECT_FLOAT_EQ(r.C_dairyimp.value, mean(r.C_dairy.value(A), r.C_dairy.value(B)));
    EXPECT_NE(r.C_meat.value(A), r.C_meat.value(B));
    // One sea: the catch-weighted average is its own sea-fish concentration.
    EXPECT_FLOAT_EQ(r.C_seafishaverage.value, 93);
    EXPECT_EQ(r.C_seafishaverage.status, stDefault);
}

TEST_F(Exposure, AFoodNobodyExportsHasImportConcentrationZero) {
    fx.organic();
    setconcentrations();
    setfoodinputs();
    e.EXPORT_meat.set(A, 0, stImported);
    e.EXPORT_meat.set(B, 0, stImported);
    e.CATCH_seafish.set(S, 0, stImported);
    computeconcentrations(m);
    EXPECT_GT(r.C_meat.value(A), 0);
    EXPECT_FLOAT_EQ(r.C_meatimp.value, 0);
    EXPECT_EQ(r.C_meatimp.status, stDefault);
    EXPECT_FLOAT_EQ(r.C_seafishaverage.value, 0);
    EXPECT_GT(r.C_dairyimp.value, 0);
}

// ---- doses --------------------------------------------------------------------

class Doses : public Exposure {
protected:
    // Aland: body weight 70 kg, every food traded normally. Bland: body
    // weight 0. Concentrations as the "C" step would leave them.
    void setdoseinputs() {
        fx.organic();
        m.sub.F_resp.set(1, stImported);
        m.sub.BIO_inh.set(0.75f, stImported);
        m.sub.BIO_oral.set(0.5f, stImported);
        for (std::uint32_t i : {A, B}) {
            e.BW.set(i, i == A ? 70 : 0, stImported);
            e.IH_air.set(i, 20, stImported);
            e.IH_drw.set(i, 2, stImported);
            e.IH_seafish.set(i, 0.02f, stImported);
            r.C_air.setdefault(i, 2);
            r.C_drw.setdefault(i, 3);
        }
        r.C_seafishaverage.setdefault(40);
        setfood(e.PROD_leafcrops, e.EXPORT_leafcrops, e.IMPORT_leafcrops, r.REEXPORT_leafcrops,
                e.IH_leafcrops, r.C_leafcrops, r.C_leafcropsimp, 1000, 50, 100, 0, 0.3f, 200, 100);
        setfood(e.PROD_rootcrops, e.EXPORT_rootcrops, e.IMPORT_rootcrops, r.REEXPORT_rootcrops,
                e.IH_rootcrops, r.C_rootcrops, r.C_rootcropsimp, 800, 40, 40, 0, 0.2f, 10, 30);
        // Aland exports more fresh-water fish than it catches: 2 of its 12
        // exported are re-exported imports, none of its own catch stays home.
        setfood(e.PROD_freshwaterfish, e.EXPORT_freshwaterfish, e.IMPORT_freshwaterfish,
                r.REEXPORT_freshwaterfish, e.IH_freshwaterfish, r.C_freshwaterfish,
                r.C_freshwaterfishimp, 10, 12, 5, 2, 0.01f, 1000, 600);
        setfood(e.PROD_meat, e.EXPORT_meat, e.IMPORT_meat, r.REEXPORT_meat, e.IH_meat, r.C_meat,
                r.C_meatimp, 500, 100, 20, 0, 0.15f, 8, 4);
        // Aland neither produces, exports nor imports dairy.
        setfood(e.PROD_dairy, e.EXPORT_dairy, e.IMPORT_dairy, r.REEXPORT_dairy, e.IH_dairy,
                r.C_dairy, r.C_dairyimp, 0, 0, 0, 0, 0.3f, 5, 5);
    }

    void setfood(Tnumpars& P, Tnumpars& X, Tnumpars& M, Tnumpars& R, Tnumpars& H, Tnumpars& C,
                 Tnumpar& Ci, float p, float x, float mi, float re, float h, float c, float ci) {
        for (std::uint32_t i : {A, B}) {
            P.set(i, p, stImported);
            X.set(i, x, stImported);
            M.set(i, mi, stImported);
            R.setdefault(i, re);
            H.set(i, h, stImported);
            C.setdefault(i, c);
        }
        Ci.setdefault(ci);
    }
};

TEST_F(Doses, LandRegionDosesByRoute) {
    setdoseinputs();
    computedoses(m);
    const double BW = 70;
    // Inhaled: F_resp * IH_air / BW * (BIO_inh / BIO_oral) * C_air.
    double air = 1 * 20 / BW * (0.75 / 0.5) * 2;
    EXPECT_FLOAT_EQ(r.DOSE_air.value(A), f(air));
    EXPECT_FLOAT_EQ(r.DOSE_drw.value(A), f(2 * 3 / BW));
    // Leaf crops: T = 1000 - 50 + 100 = 1050; 950 at home at 200, 100 imported at 100.
    double leaf = double(0.3f) / BW * (950.0 * 200 / 1050 + 100.0 * 100 / 1050);
    EXPECT_FLOAT_EQ(r.DOSE_leafcrops.value(A), f(leaf));
    double root = double(0.2f) / BW * (760.0 * 10 / 800 + 40.0 * 30 / 800);
    EXPECT_FLOAT_EQ(r.DOSE_rootcrops.value(A), f(root));
    // Fish: T = 10 - 12 + 5 = 3; own kept 10 - 12 + 2 = 0; imports kept 5 - 2 = 3,
    // so the market is all imported fish.
    double fish = double(0.01f) / BW * (0.0 * 1000 / 3 + 3.0 * 600 / 3);
    EXPECT_FLOAT_EQ(r.DOSE_freshwaterfish.value(A), f(fish));
    EXPECT_FLOAT_EQ(r.DOSE_freshwaterfish.value(A), f(double(0.01f) / BW * 600));
    EXPECT_FLOAT_EQ(r.DOSE_seafish.value(A), f(40 * double(0.02f) / BW));
    double meat = double(0.15f) / BW * (400.0 * 8 / 420 + 20.0 * 4 / 420);
    EXPECT_FLOAT_EQ(r.DOSE_meat.value(A), f(meat));
    // No dairy supply (T = 0): dose 0.
    EXPECT_FLOAT_EQ(r.DOSE_dairy.value(A), 0);
    EXPECT_EQ(r.DOSE_dairy.status(A), stDefault);
    double oral = double(r.DOSE_drw.value(A)) + r.DOSE_freshwaterfish.value(A) +
                  r.DOSE_seafish.value(A) + r.DOSE_leafcrops.value(A) + r.DOSE_rootcrops.value(A) +
                  r.DOSE_meat.value(A) + r.DOSE_dairy.value(A);
    EXPECT_FLOAT_EQ(r.DOSE_totaloral.value(A), f(oral));
    EXPECT_FLOAT_EQ(r.DOSE_total.value(A),
                    f(double(r.DOSE_air.value(A)) + r.DOSE_totaloral.value(A)));
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Doses, AFoodWithoutSupplyMarksItsReexportAndIntakeUsed) {
    setdoseinputs();
    // The dairy concentrations are not needed when there is no supply.
    computedoses(m);
    EXPECT_TRUE(r.REEXPORT_dairy.used(A));
    EXPECT_TRUE(e.IH_dairy.used(A));
    EXPECT_FALSE(r.C_dairy.used(A));
    EXPECT_FALSE(r.C_dairyimp.used);
    EXPECT_TRUE(r.C_meatimp.used);
}

TEST_F(Doses, HiddenIntakesOfAnUninhabitedRegionCountAsZeroWithoutWarning) {
    setdoseinputs();
    // The import hides every intake of a region without population.
    for (Tnumpars* p : {&e.IH_air, &e.IH_drw, &e.IH_seafish, &e.IH_leafcrops, &e.IH_rootcrops,
                        &e.IH_freshwaterfish, &e.IH_meat, &e.IH_dairy})
        p->sethidden(A);
    computedoses(m);
    EXPECT_TRUE(fx.ui.warnings.empty()) << fx.ui.warnings.front();
    EXPECT_EQ(r.DOSE_air.value(A), 0);
    EXPECT_EQ(r.DOSE_leafcrops.value(A), 0);
    EXPECT_EQ(r.DOSE_total.value(A), 0);
    EXPECT_EQ(r.DOSE_total.status(A), stDefault);
}

TEST_F(Doses, ZeroBodyWeightGivesZeroDoses) {
    setdoseinputs();
    computedoses(m);
    for (Tnumpars* p :
         {&r.DOSE_air, &r.DOSE_drw, &r.DOSE_leafcrops, &r.DOSE_rootcrops, &r.DOSE_freshwaterfish,
          &r.DOSE_seafish, &r.DOSE_meat, &r.DOSE_dairy, &r.DOSE_totaloral, &r.DOSE_total}) {
        EXPECT_EQ(p->value(B), 0) << p->name();
        EXPECT_EQ(p->status(B), stDefault) << p->name();
        EXPECT_TRUE(p->ishidden(S)) << p->name();
    }
    // Bland's food quantities count as used although no dose was computed.
    EXPECT_TRUE(e.IH_leafcrops.used(B));
    EXPECT_TRUE(r.REEXPORT_leafcrops.used(B));
}

TEST_F(Doses, EverySeaFishDoseUsesTheSameWorldAverage) {
    setdoseinputs();
    e.BW.set(B, 50, stImported);
    e.IH_seafish.set(B, 0.04f, stImported);
    computedoses(m);
    EXPECT_FLOAT_EQ(r.DOSE_seafish.value(A), f(40 * double(0.02f) / 70));
    EXPECT_FLOAT_EQ(r.DOSE_seafish.value(B), f(40 * double(0.04f) / 50));
}

TEST_F(Doses, NoOralAbsorptionStopsTheCalculation) {
    setdoseinputs();
    m.sub.BIO_oral.set(0, stImported);
    EXPECT_THROW(computedoses(m), Eerror);
}

TEST_F(Doses, GasChainGivesNoSeaFishDose) {
    // From the concentrations through to the dose: a gas leaves no sea fish.
    setconcentrations();
    setfoodinputs();
    setdoseinputs();
    fx.gas();
    m.sub.BIO_oral.set(1, stImported);
    computeconcentrations(m);
    computedoses(m);
    EXPECT_FLOAT_EQ(r.C_seafishaverage.value, 0);
    EXPECT_FLOAT_EQ(r.DOSE_seafish.value(A), 0);
    EXPECT_GT(r.DOSE_drw.value(A), 0);
}

// ---- intakes and intake fractions -----------------------------------------------

class Intakes : public Exposure {
protected:
    // Aland: 1000 people of 70 kg; Bland: 2000 of 50 kg. Each dose route k
    // (1..10) is k * 1e-6 in Aland and k * 2e-6 in Bland; Asea's are hidden.
    void setintakeinputs() {
        e.Npop.set(A, 1000, stImported);
        e.BW.set(A, 70, stImported);
        e.Npop.set(B, 2000, stImported);
        e.BW.set(B, 50, stImported);
        int k = 1;
        for (Tnumpars* p : doses()) {
            p->setdefault(A, f(k * 1e-6));
            p->setdefault(B, f(k * 2e-6));
            p->sethidden(S);
            ++k;
        }
    }
    std::vector<Tnumpars*> doses() {
        return {&r.DOSE_air,
                &r.DOSE_drw,
                &r.DOSE_leafcrops,
                &r.DOSE_rootcrops,
                &r.DOSE_freshwaterfish,
                &r.DOSE_seafish,
                &r.DOSE_meat,
                &r.DOSE_dairy,
                &r.DOSE_totaloral,
                &r.DOSE_total};
    }
    std::vector<Tnumpar*> intakes() {
        return {&r.INTAKE_air,
                &r.INTAKE_drw,
                &r.INTAKE_leafcrops,
                &r.INTAKE_rootcrops,
                &r.INTAKE_freshwaterfish,
                &r.INTAKE_seafish,
                &r.INTAKE_meat,
                &r.INTAKE_dairy,
                &r.INTAKE_totaloral,
                &r.INTAKE_total};
    }
};

TEST_F(Intakes, WorldIntakesAddEveryLandRegionsBodyMassTimesItsDose) {
    setintakeinputs();
    computeintakes(m);
    computeintakes(m); // a second run starts again from 0
    std::vector<Tnumpar*> list = intakes();
    for (int k = 1; k <= 10; ++k) {
        // N = Npop * BW: 70000 kg in Aland, 100000 kg in Bland.
        double expected = 70000.0 * double(f(k * 1e-6)) + 100000.0 * double(f(k * 2e-6));
        EXPECT_FLOAT_EQ(list[k - 1]->value, f(expected)) << list[k - 1]->name();
        EXPECT_EQ(list[k - 1]->status, stDefault);
    }
    // The hidden sea doses are never read.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Intakes, OnlyTheTotalIntakeIsReadLater) {
    setintakeinputs();
    computeintakes(m);
    // The route totals are added to in place; the total intake fraction is
    // the one later result that reads an intake.
    std::vector<Tnumpar*> list = intakes();
    for (int k = 1; k <= 9; ++k)
        EXPECT_FALSE(list[k - 1]->used) << list[k - 1]->name();
    EXPECT_TRUE(r.INTAKE_total.used);
}

TEST_F(Intakes, IntakeFractionsCompareTheDailyIntakeWithTheDailyEmission) {
    setintakeinputs();
    fx.ws.settings.EmissionAmount = 4; // kg/s
    computeintakes(m);
    // Aland takes in 10e-6 kg/kg/d * 70 kg * 1000 people = 0.7 kg/d, that is
    // 0.7 / 86400 kg/s, of the 4 kg/s emitted.
    double totalA = f(10e-6), totalB = f(20e-6);
    EXPECT_FLOAT_EQ(r.iF.value(A), f(totalA * 70 * 1000 / 86400 / 4));
    EXPECT_FLOAT_EQ(r.iF.value(B), f(totalB * 50 * 2000 / 86400 / 4));
    EXPECT_TRUE(r.iF.ishidden(S));
    EXPECT_FLOAT_EQ(r.iFtot.value, f(double(r.INTAKE_total.value) / 86400 / 4));
    // The total intake fraction is the sum of the regions' up to rounding.
    EXPECT_NEAR(r.iFtot.value, double(r.iF.value(A)) + r.iF.value(B), 1e-6 * r.iFtot.value);
}

TEST_F(Intakes, NobodyLivingThereGivesNoIntake) {
    setintakeinputs();
    e.Npop.set(A, 0, stImported);
    e.Npop.set(B, 0, stImported);
    computeintakes(m);
    for (Tnumpar* p : intakes())
        EXPECT_EQ(p->value, 0) << p->name();
    EXPECT_EQ(r.iF.value(A), 0);
    EXPECT_EQ(r.iFtot.value, 0);
    EXPECT_EQ(r.iFtot.status, stDefault);
}

TEST_F(Intakes, WithoutAnEmissionTheIntakeFractionsAreUnknown) {
    setintakeinputs();
    fx.ws.settings.EmissionAmount = 0;
    computeintakes(m);
    EXPECT_TRUE(r.iF.isunknown(A));
    EXPECT_TRUE(r.iF.isunknown(B));
    EXPECT_TRUE(r.iF.ishidden(S));
    EXPECT_TRUE(r.iFtot.isunknown());
    // The intakes themselves are still there.
    EXPECT_GT(r.INTAKE_total.value, 0);
}

} // namespace
