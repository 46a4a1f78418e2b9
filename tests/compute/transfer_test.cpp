// Intermedia transfer: mass-transfer coefficients, gas absorption and
// volatilisation, deposition, leaching, erosion and run-off, river solids,
// sediment exchange and balance, lake flows. The environment values and the
// results of the earlier stages are set by hand, so every expected value
// follows from the numbers in the test.
#include <cmath>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "compute/calculation.h"
#include "numeric/errors.h"
#include "support/worldfixture.h"

namespace velmora {
namespace {

using testing::Tsmallworld;
using testing::Tworldfixture;

constexpr std::uint32_t Aland = 1, Bland = 2, Asea = 3;

// The two water-side and air-side coefficients as the stage stores them.
double kawair(double wind, double molw) {
    return static_cast<float>(0.01 * (0.3 + 0.2 * wind) * std::pow(0.018 / molw, 0.335));
}
double kawwater(double wind, double molw) {
    return static_cast<float>(0.01 * (0.004 + 4e-05 * wind) * std::pow(0.032 / molw, 0.25));
}

class Transfer : public ::testing::Test {
protected:
    explicit Transfer(const Tsmallworld& world = Tsmallworld::standard()) : fx(world) {}
    Tworldfixture fx;
    Tmodel& m = fx.m();
    Tresults& r = m.results;
    Tenv& e = m.env;

    void SetUp() override {
        fx.ws.results.clear();
        fx.organic(); // MOLW 0.1
        setinputs();
    }

    void setinputs() {
        auto set = [](Tnumpars& p, std::uint32_t i, float x) { p.set(i, x, stImported); };
        // Aland: soils, a lake and a salt lake.
        set(e.WINDSPEED, Aland, 4);
        set(e.AEROSOLDEPRATE, Aland, 0.001f);
        set(e.RAINRATE, Aland, 2e-8f);
        set(e.FLOW_soil_groundwater, Aland, 30);
        set(e.Fsolid_runoff, Aland, 1e-4f);
        set(e.WATERrunoff, Aland, 100);
        set(e.AREA_landice, Aland, 1e6f);
        set(e.AREA_saltlake, Aland, 2e6f);
        set(e.AREA_lake, Aland, 5e6f);
        set(e.TOTALDEPTH_lake, Aland, 20);
        set(e.RESTIME_lake, Aland, 3e7f);
        set(e.SYSTEMAREA, Aland, 1e10f);
        r.Ftime_frost.setdefault(Aland, 0.25f);
        r.AREA_nat.setdefault(Aland, 4e9f);
        r.AREA_agr.setdefault(Aland, 3e9f);
        r.AREA_urb.setdefault(Aland, 1e9f);
        r.Fsolid_agr.setdefault(Aland, 0.6f);
        r.Fsolid_nonagr.setdefault(Aland, 0.5f);
        r.SUSPCONC_inlandwater.setdefault(Aland, 0.015f);
        r.RAINDIRECT_lake.setdefault(Aland, 0.1f);
        r.EVAP_lake.setdefault(Aland, 0.05f);
        r.K_airwater.setdefault(Aland, 0.004f);
        r.Fass_aer.setdefault(Aland, 0.1f);
        r.SCAVratio.setdefault(Aland, 2e4f);
        r.K_agrwater.setdefault(Aland, 1.5f);
        r.K_nonagrwater.setdefault(Aland, 1.2f);
        r.K_airagr.setdefault(Aland, 0.004f / 1.5f);
        r.K_airnonagr.setdefault(Aland, 0.004f / 1.2f);
        r.K_sedwater.setdefault(Aland, 5);
        r.Fdiss_inlandwater.setdefault(Aland, 0.8f);
        r.Fdiss_sed.setdefault(Aland, 0.16f);
        set(e.FLOW_groundwater_river, Aland, 20);
        set(e.FLOW_river_agr, Aland, 5);
        r.FLOW_river_saltlake.setdefault(Aland, 3);
        // Bland: no lakes, no salt lakes (their lake results are hidden).
        set(e.WINDSPEED, Bland, 2);
        set(e.AEROSOLDEPRATE, Bland, 0.001f);
        set(e.RAINRATE, Bland, 1e-8f);
        set(e.FLOW_soil_groundwater, Bland, 10);
        set(e.Fsolid_runoff, Bland, 2e-4f);
        set(e.WATERrunoff, Bland, 50);
        set(e.AREA_landice, Bland, 0);
        set(e.AREA_saltlake, Bland, 0);
        set(e.AREA_lake, Bland, 0);
        set(e.TOTALDEPTH_lake, Bland, 10);
        set(e.RESTIME_lake, Bland, 0); // never divided by: no lakes
        set(e.SYSTEMAREA, Bland, 5e9f);
        r.Ftime_frost.setdefault(Bland, 0);
        r.AREA_nat.setdefault(Bland, 2e9f);
        r.AREA_agr.setdefault(Bland, 2e9f);
        r.AREA_urb.setdefault(Bland, 5e8f);
        r.Fsolid_agr.setdefault(Bland, 0.55f);
        r.Fsolid_nonagr.setdefault(Bland, 0.45f);
        r.SUSPCONC_inlandwater.setdefault(Bland, 0.02f);
        r.RAINDIRECT_lake.sethidden(Bland);
        r.EVAP_lake.sethidden(Bland);
        r.K_airwater.setdefault(Bland, 0.004f);
        r.Fass_aer.setdefault(Bland, 0.2f);
        r.SCAVratio.setdefault(Bland, 3e4f);
        r.K_agrwater.setdefault(Bland, 1.4f);
        r.K_nonagrwater.setdefault(Bland, 1.1f);
        r.K_airagr.setdefault(Bland, 0.004f / 1.4f);
        r.K_airnonagr.setdefault(Bland, 0.004f / 1.1f);
        r.K_sedwater.setdefault(Bland, 4);
        r.Fdiss_inlandwater.setdefault(Bland, 0.7f);
        r.Fdiss_sed.setdefault(Bland, 0.2f);
        set(e.FLOW_groundwater_river, Bland, 10);
        set(e.FLOW_river_agr, Bland, 0);
        r.FLOW_river_saltlake.setdefault(Bland, 0);
        // Asea.
        set(e.WINDSPEED, Asea, 8);
        set(e.AEROSOLDEPRATE, Asea, 0.002f);
        set(e.RAINRATE, Asea, 3e-8f);
        set(e.Farea_seaice, Asea, 0.1f);
        set(e.SYSTEMAREA, Asea, 2e10f);
        r.Ftime_frost.setdefault(Asea, 0);
        r.SUSPCONC_seawater.setdefault(Asea, 0.001f);
        r.K_airwater.setdefault(Asea, 0.005f);
        r.Fass_aer.setdefault(Asea, 0.3f);
        r.SCAVratio.setdefault(Asea, 4e4f);
        r.Fdiss_seawater.setdefault(Asea, 0.95f);
        r.K_seasedseawater.setdefault(Asea, 4);
        r.Fdiss_seased.setdefault(Asea, 0.25f);
        r.Fsolid_sed.setdefault(0.2f);
        // Rain all the time: wash-out at its steady-rain velocity.
        e.HEIGHT_air.set(1000, stImported);
        for (std::uint32_t i : {Aland, Bland, Asea})
            r.Ftime_rain.setdefault(i, 1);
        // River flows, m^3/s: Aland -> Bland 100, Bland -> Aland 50 (a loop,
        // as border rivers make), both to the sea; the diagonals are 0.
        // Bland gives what it gets; Aland loses 2.05 m^3/s (see Thandrivers).
        setflow(e.FLOW_river_river, Aland, Aland, 0);
        setflow(e.FLOW_river_river, Aland, Bland, 100);
        setflow(e.FLOW_river_river, Bland, Aland, 50);
        setflow(e.FLOW_river_river, Bland, Bland, 0);
        setflow(e.FLOW_river_seawater, Aland, Asea, 60);
        setflow(e.FLOW_river_seawater, Bland, Asea, 110);
        setflow(e.FLOW_seawater_seawater, Asea, Asea, 0);
        fx.ui.reset();
    }
    static void setflow(Tnumparss& p, std::uint32_t i, std::uint32_t j, float x) {
        p.set(i, j, x, stImported);
    }
};

// The fixture's rivers worked out by hand (m^3/s, kg/s, kg/m^3).
struct Thandrivers {
    static constexpr double v = 2.8935185e-5; // SETTLvelocity_susp
    // Aland's lakes: Q = TOTALDEPTH_lake * AREA_lake / RESTIME_lake, in less
    // the direct rain, out less the evaporation; a particle settles over
    // the 5e6 m^2 or leaves with the outflow.
    double lakein = 20 * 5e6 / 3e7 - 0.1, lakeout = 20 * 5e6 / 3e7 - 0.05;
    double trap = v * 5e6 / (v * 5e6 + lakeout);
    double lakeprod = 3.1709792e-10f * 5e6; // PRODratesusp_inlandwater (10 g/m^2/yr) * AREA_lake
    // Aland gets run-off, groundwater, its lakes' outflow and Bland's river;
    // it gives to its lakes, salt lake, irrigation, Bland and the sea.
    double inA = 100 + 20 + lakeout + 50, outA = lakein + 3 + 5 + 100 + 60;
    // Eroded: Fsolid_runoff * WATERrunoff * RHO_solid, 1e-4 * 100 * 2500
    // and 2e-4 * 50 * 2500.
    double erodedA = 25, erodedB = 25;
    // The water that takes each river's solids away for good: all that
    // passes (Aland loses some), less what comes back from the lakes
    // unsettled. Bland: 50 + 10 + 100 in and out.
    double removalA = inA - (1 - trap) * lakein, removalB = 160;
    // sA * removalA = 25 + 50 sB and sB * 160 = 25 + 100 sA.
    double sA = (erodedA + 50 * erodedB / removalB) / (removalA - 50 * 100 / removalB);
    double sB = (erodedB + 100 * sA) / removalB;
};

::testing::AssertionResult near(double actual, double expected) {
    if (std::fabs(actual - expected) <= 1e-6 * std::fabs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not " << expected;
}

// ---- Air-water ---------------------------------------------------------------

TEST_F(Transfer, MassTransferCoefficientsAtTheReferenceMolarMasses) {
    e.WINDSPEED.set(Aland, 0, stImported);
    m.sub.MOLW.set(0.018f, stImported);
    computetransfer(m);
    EXPECT_FLOAT_EQ(r.kaw_air.value(Aland), 0.003); // 0.01 * 0.3 * 1
    m.sub.MOLW.set(0.032f, stImported);
    computetransfer(m);
    EXPECT_FLOAT_EQ(r.kaw_water.value(Aland), 4e-05); // 0.01 * 0.004 * 1
    // With wind, MOLW 0.032: 0.01 * (0.3 + 0.2 * 8) * (0.018 / 0.032)^0.335.
    EXPECT_FLOAT_EQ(r.kaw_air.value(Asea), 0.01 * 1.9 * std::pow(0.5625, 0.335));
    EXPECT_FLOAT_EQ(r.kaw_water.value(Asea), 0.01 * (0.004 + 4e-05 * 8));
}

TEST_F(Transfer, GasAbsorptionAndVolatilisationFromWater) {
    computetransfer(m);
    double ka = kawair(4, 0.1), kw = kawwater(4, 0.1);
    EXPECT_FLOAT_EQ(r.kaw_air.value(Aland), ka);
    EXPECT_FLOAT_EQ(r.kaw_water.value(Aland), kw);
    // (1 - Ftime_frost) (1 - Fass_aer) / (K_airwater / kaw_water + 1 / kaw_air)
    double gasabs = static_cast<float>(0.75 * 0.9 / (0.004 / kw + 1 / ka));
    EXPECT_FLOAT_EQ(r.GASABS_water.value(Aland), gasabs);
    // Fdiss_inlandwater GASABS_water / (1 - Fass_aer) K_airwater: the frost
    // share (0.75) once, inside GASABS_water.
    EXPECT_FLOAT_EQ(r.VOLAT_inlandwater.value(Aland), 0.8 * gasabs / 0.9 * 0.004);
    // Sea: (1 - Farea_seaice) GASABS_water / (1 - Fass_aer) K_airwater Fdiss_seawater
    double kas = kawair(8, 0.1), kws = kawwater(8, 0.1);
    double gasabssea = static_cast<float>(1 * 0.7 / (0.005 / kws + 1 / kas));
    EXPECT_FLOAT_EQ(r.GASABS_water.value(Asea), gasabssea);
    EXPECT_FLOAT_EQ(r.VOLAT_seawater.value(Asea), 0.9 * gasabssea / 0.7 * 0.005 * 0.95);
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Transfer, DepositionAndWashout) {
    computetransfer(m);
    EXPECT_FLOAT_EQ(r.DRYDEP_aer.value(Aland), 0.1 * 0.001); // Fass_aer * AEROSOLDEPRATE
    EXPECT_FLOAT_EQ(r.DRYDEP_aer.value(Asea), 0.3 * 0.002);
    EXPECT_FLOAT_EQ(r.WASHOUT.value(Aland), 2e4 * 2e-8); // SCAVratio * RAINRATE
    EXPECT_FLOAT_EQ(r.WASHOUT.value(Asea), 4e4 * 3e-8);
}

// Rain on one day in ten, 2.4 hours each (Ftime_rain 0.01): a cycle of
// T = 864,000 s with a dry spell of td = 855,360 s. Atrazine-like solubility
// (SCAVratio 1e7) with 2e-8 m/s of rain washes a 1,000 m column at 2e-4 s^-1
// in steady rain; every shower clears it (x = 2e-4 T = 173), so the mean is
// that of a build-up from nothing, td^2 / 2T = 423,403.2 s, plus the shower
// itself, (T + td) tw / (2e-4 T^2) = 99.5 s, on 1 / keff = 423,502.7 s.
TEST_F(Transfer, IntermittentRainWashesOutOnlyWhatTheDrySpellBrought) {
    r.Ftime_rain.setdefault(Aland, 0.01f);
    r.SCAVratio.setdefault(Aland, 1e7f);
    computetransfer(m);
    EXPECT_NEAR(r.WASHOUT.value(Aland), 1000 / 423502.7, 1e-5 * 1000 / 423502.7);
    EXPECT_TRUE(r.Ftime_rain.used(Aland));
    // Rain that barely touches the substance keeps its steady-rain value:
    // Bland, SCAVratio 3e4 at 1e-8 m/s, 3e-10 s^-1 over a cycle of a day.
    r.Ftime_rain.setdefault(Bland, 0.1f);
    computetransfer(m);
    EXPECT_NEAR(r.WASHOUT.value(Bland), 3e4 * 1e-8, 1e-4 * 3e4 * 1e-8);
}

TEST_F(Transfer, InfiniteAirWaterPartitioningVolatilisesAtTheWaterSideVelocity) {
    fx.gas();
    setinputs();
    for (std::uint32_t i : {Aland, Bland, Asea})
        r.K_airwater.setdefault(i, 1e20f);
    computetransfer(m);
    EXPECT_EQ(r.GASABS_water.value(Aland), 0);
    EXPECT_EQ(r.GASABS_water.status(Aland), stDefault);
    EXPECT_EQ(r.GASABS_water.value(Asea), 0);
    // K_airwater / (K_airwater / kaw_water + 1 / kaw_air) tends to kaw_water:
    // the gas leaves the water through the water film, over the ice-free
    // time (0.75) and the dissolved fraction (0.8) of the lake...
    double kw = r.kaw_water.value(Aland);
    ASSERT_GT(kw, 0);
    EXPECT_FLOAT_EQ(r.VOLAT_inlandwater.value(Aland), 0.75 * 0.8 * kw);
    // ...and over the open sea (1 - 0.1 ice) with Fdiss_seawater 0.95.
    double kws = r.kaw_water.value(Asea);
    EXPECT_FLOAT_EQ(r.VOLAT_seawater.value(Asea), 0.9 * kws * 0.95);
    EXPECT_TRUE(r.K_airwater.used(Aland));
    EXPECT_TRUE(r.K_airwater.used(Asea));
}

TEST_F(Transfer, FullyAerosolBoundSubstanceStillVolatilises) {
    // With Fass_aer = 1 nothing is absorbed from the gas phase, but what is
    // dissolved still volatilises through the same transfer velocity.
    r.Fass_aer.setdefault(Aland, 1);
    r.Fass_aer.setdefault(Asea, 1);
    computetransfer(m);
    double ka = kawair(4, 0.1), kw = kawwater(4, 0.1);
    double velocity = 0.75 / (0.004 / kw + 1 / ka); // over the ice-free time
    EXPECT_EQ(r.GASABS_water.value(Aland), 0);
    EXPECT_FLOAT_EQ(r.VOLAT_inlandwater.value(Aland), 0.8 * velocity * 0.004);
    double kas = kawair(8, 0.1), kws = kawwater(8, 0.1);
    EXPECT_FLOAT_EQ(r.VOLAT_seawater.value(Asea),
                    0.9 * (1 / (0.005 / kws + 1 / kas)) * 0.005 * 0.95);
    EXPECT_EQ(r.GASABS_nat.value(Aland), 0);
    double Kair = 0.004f / 1.2f;
    double soil = 1 / (1 / (5.56e-10f / Kair + 5.56e-6f) + 1 / 0.0010474537f);
    EXPECT_FLOAT_EQ(r.VOLAT_nat.value(Aland), (1 - 1e6 / 4e9) * 0.75 * soil * Kair);
    EXPECT_TRUE(std::isfinite(r.VOLAT_agr.value(Aland)));
}

// ---- Soils ---------------------------------------------------------------------

TEST_F(Transfer, InfiltrationAndLeaching) {
    computetransfer(m);
    // FLOW_soil_groundwater / ((AREA_agr + AREA_nat + AREA_urb) * RAINRATE)
    // = 30 / (8e9 * 2e-8) = 0.1875
    EXPECT_FLOAT_EQ(r.Finf_soil.value(Aland), 0.1875);
    EXPECT_FLOAT_EQ(r.LEACH_agr.value(Aland), 2e-8 * 0.1875 / 1.5);
    EXPECT_FLOAT_EQ(r.LEACH_nonagr.value(Aland), 2e-8 * 0.1875 / 1.2);
}

TEST_F(Transfer, WithoutRainNothingInfiltrates) {
    e.RAINRATE.set(Bland, 0, stImported);
    computetransfer(m);
    EXPECT_EQ(r.Finf_soil.value(Bland), 0);
    EXPECT_EQ(r.Finf_soil.status(Bland), stDefault);
    EXPECT_EQ(r.LEACH_agr.value(Bland), 0);
    EXPECT_EQ(r.LEACH_nonagr.value(Bland), 0);
    EXPECT_FALSE(e.FLOW_soil_groundwater.used(Bland));
    // The run-off still erodes; without run-off nothing is carried off.
    EXPECT_FLOAT_EQ(r.EROSION_nat.value(Bland), 2e-4f * (50 / 4.5e9) / 0.45f);
    e.WATERrunoff.set(Bland, 0, stImported);
    computetransfer(m);
    EXPECT_EQ(r.EROSION_nat.value(Bland), 0);
}

TEST_F(Transfer, ErosionRunoffGasAbsorptionAndVolatilisationOfSoils) {
    computetransfer(m);
    const double frost = 0.75, gaseous = 0.9, kasl = 0.0010474537f;
    auto velocity = [&](double Kair) { return 1 / (1 / (5.56e-10f / Kair + 5.56e-6f) + 1 / kasl); };
    // Natural soil: Fsolid_runoff * WATERrunoff / (AREA_nat + AREA_agr +
    // AREA_urb) / Fsolid_nonagr: the solids of the run-off, not of the rain.
    double erosion = static_cast<float>(1e-4f * (100 / 8e9) / 0.5);
    EXPECT_FLOAT_EQ(r.EROSION_nat.value(Aland), erosion);
    // WATERrunoff / (AREA_nat + AREA_agr + AREA_urb) / K_nonagrwater + EROSION_nat.
    EXPECT_FLOAT_EQ(r.RUNOFF_nat.value(Aland), 100 / 8e9 / 1.2 + erosion);
    double Knat = 0.004f / 1.2f;
    // Open to the air outside the frost months and the land ice (1e6 of
    // 4e9 m^2 of natural soil), in both directions.
    double opennat = (1 - 1e6 / 4e9) * frost;
    EXPECT_FLOAT_EQ(r.GASABS_nat.value(Aland), opennat * gaseous * velocity(Knat));
    EXPECT_FLOAT_EQ(r.VOLAT_nat.value(Aland), opennat * velocity(Knat) * Knat);
    // Agricultural soil: Fsolid_agr and the agricultural coefficients, no
    // land-ice factor.
    double erosionagr = static_cast<float>(1e-4f * (100 / 8e9) / 0.6f);
    EXPECT_FLOAT_EQ(r.EROSION_agr.value(Aland), erosionagr);
    EXPECT_FLOAT_EQ(r.RUNOFF_agr.value(Aland), 100 / 8e9 / 1.5 + erosionagr);
    double Kagr = 0.004f / 1.5f;
    EXPECT_FLOAT_EQ(r.GASABS_agr.value(Aland), frost * gaseous * velocity(Kagr));
    EXPECT_FLOAT_EQ(r.VOLAT_agr.value(Aland), frost * velocity(Kagr) * Kagr);
    // Urban soil: the non-agricultural coefficients, no land ice.
    EXPECT_FLOAT_EQ(r.EROSION_urb.value(Aland), erosion);
    EXPECT_FLOAT_EQ(r.RUNOFF_urb.value(Aland), 100 / 8e9 / 1.2 + erosion);
    EXPECT_FLOAT_EQ(r.GASABS_urb.value(Aland), frost * gaseous * velocity(Knat));
    EXPECT_FLOAT_EQ(r.VOLAT_urb.value(Aland), frost * velocity(Knat) * Knat);
}

TEST_F(Transfer, RegionWithoutAgriculturalSoil) {
    r.AREA_agr.setdefault(Bland, 0);
    r.K_airagr.sethidden(Bland);
    computetransfer(m);
    EXPECT_TRUE(r.EROSION_agr.ishidden(Bland));
    EXPECT_TRUE(r.RUNOFF_agr.ishidden(Bland));
    EXPECT_TRUE(r.GASABS_agr.ishidden(Bland));
    EXPECT_TRUE(r.VOLAT_agr.ishidden(Bland));
    EXPECT_TRUE(r.EROSION_nat.isknown(Bland));
    EXPECT_FLOAT_EQ(r.EROSION_nat.value(Bland), 2e-4f * (50 / 2.5e9) / 0.45f);
    EXPECT_TRUE(r.VOLAT_nat.isknown(Bland));
    // Leaching still runs, over the remaining soils.
    EXPECT_FLOAT_EQ(r.Finf_soil.value(Bland), 10 / (2.5e9 * 1e-8));
    EXPECT_TRUE(fx.ui.warnings.empty());
}

TEST_F(Transfer, NoSoilGasExchangeWithoutSoilAirPartitioning) {
    fx.metal();
    setinputs();
    r.K_airagr.setdefault(Aland, 0);
    r.K_airnonagr.setdefault(Aland, 0);
    computetransfer(m);
    EXPECT_EQ(r.GASABS_nat.value(Aland), 0);
    EXPECT_EQ(r.GASABS_agr.value(Aland), 0);
    EXPECT_EQ(r.GASABS_urb.value(Aland), 0);
    EXPECT_EQ(r.VOLAT_nat.value(Aland), 0);
    EXPECT_EQ(r.VOLAT_agr.value(Aland), 0);
}

// ---- Rivers and sediments ---------------------------------------------------

TEST_F(Transfer, RiversPassTheirSolidsOnAroundALoop) {
    computetransfer(m);
    Thandrivers h;
    // Solids in: erosion, upstream rivers at their concentration, and for
    // Aland what its lakes give back unsettled.
    EXPECT_TRUE(near(r.riverinflow_solid.value(Aland),
                     h.erodedA + 50 * h.sB + (1 - h.trap) * h.lakein * h.sA));
    EXPECT_TRUE(near(r.riverinflow_solid.value(Bland), h.erodedB + 100 * h.sA));
    // Out: the river water going on (downstream, to the sea, into lakes and
    // salt lakes), at the river's concentration; not the 5 m^3/s of
    // irrigation water, whose solids stay in the canals.
    EXPECT_TRUE(near(r.riveroutflow_solid.value(Aland), (h.outA - 5) * h.sA));
    EXPECT_TRUE(near(r.riveroutflow_solid.value(Bland), 160 * h.sB));
    // Bland gives all the water it gets and buries nothing; Aland's lost
    // water and irrigation water leave their solids in beds and canals.
    EXPECT_NEAR(r.riverinflow_solid.value(Bland), r.riveroutflow_solid.value(Bland),
                1e-6 * r.riveroutflow_solid.value(Bland));
    double buried = double(r.riverinflow_solid.value(Aland)) - r.riveroutflow_solid.value(Aland);
    EXPECT_NEAR(buried, (h.inA - h.outA + 5) * h.sA, 1e-5 * h.erodedA);
}

TEST_F(Transfer, EveryErodedKilogramEndsOnce) {
    e.AREA_seased.set(Asea, 5e9f, stImported);
    computetransfer(m);
    Thandrivers h;
    const double sediment = 2500 * 0.2, prod = 3.1709792e-10f * 2e6f;
    double lake = double(r.sedrate_inlandwater.value(Aland)) * sediment * 5e6;
    double saltlake = double(r.NETsedrate_saltlake.value(Aland)) * sediment * 2e6;
    double rivers = double(r.riverinflow_solid.value(Aland)) - r.riveroutflow_solid.value(Aland) +
                    double(r.riverinflow_solid.value(Bland)) - r.riveroutflow_solid.value(Bland);
    // The sea lays on its shelf, or sinks beyond it, what its rivers bring
    // and what it produces.
    double sea = double(r.NETsedrate_seawater.value(Asea)) * sediment * 5e9 +
                 double(r.sedrate_seawater.value(Asea)) * sediment * 1.5e10 -
                 r.PRODsusp_seawater.value(Asea);
    EXPECT_TRUE(near(lake - h.lakeprod + saltlake - prod + rivers + sea, h.erodedA + h.erodedB));
}

TEST_F(Transfer, LakesKeepWhatSettlesBeforeTheirWaterLeaves) {
    computetransfer(m);
    Thandrivers h;
    EXPECT_NEAR(h.trap, 0.9778, 1e-4);
    // The settled solids and the lake's own production
    // (PRODratesusp_inlandwater * AREA_lake) over the lake bottom's solids
    // per m^3 of sediment.
    EXPECT_TRUE(near(r.sedrate_inlandwater.value(Aland),
                     (h.trap * h.lakein * h.sA + h.lakeprod) / (2500 * 0.2 * 5e6)));
    // A region without lakes lays down no lake sediment.
    EXPECT_EQ(r.sedrate_inlandwater.value(Bland), 0);
    EXPECT_EQ(r.sedrate_inlandwater.status(Bland), stDefault);
    // A lake that no river feeds lays down what it produces.
    r.RAINDIRECT_lake.setdefault(Aland, 20);
    computetransfer(m);
    ASSERT_EQ(r.FLOW_river_lake.value(Aland), 0);
    EXPECT_TRUE(near(r.sedrate_inlandwater.value(Aland), h.lakeprod / (2500 * 0.2 * 5e6)));
    r.RAINDIRECT_lake.setdefault(Aland, 0.1f);
    // A lake that gives no water back keeps all the solids it gets. Aland's
    // river then gets 170 m^3/s and gives 171.23: it carries its solids out
    // with all of that and buries none.
    r.EVAP_lake.setdefault(Aland, 10);
    computetransfer(m);
    ASSERT_EQ(r.FLOW_lake_river.value(Aland), 0);
    double sA = (h.erodedA + 50 * h.erodedB / 160) / (h.outA - 50 * 100 / 160.0);
    EXPECT_TRUE(near(r.sedrate_inlandwater.value(Aland),
                     (h.lakein * sA + h.lakeprod) / (2500 * 0.2 * 5e6)));
    EXPECT_NEAR(double(r.riverinflow_solid.value(Aland)) - r.riveroutflow_solid.value(Aland),
                5 * sA, 1e-5 * h.erodedA);
}

TEST_F(Transfer, WaterLostInARegionLeavesItsSolidsInTheRiverBed) {
    // Bland's river no longer reaches the sea: 110 of its 160 m^3/s
    // evaporate or seep away.
    setflow(e.FLOW_river_seawater, Bland, Asea, 0);
    computetransfer(m);
    Thandrivers h; // the concentrations do not change
    EXPECT_TRUE(near(r.riveroutflow_solid.value(Bland), 50 * h.sB));
    double buried = double(r.riverinflow_solid.value(Bland)) - r.riveroutflow_solid.value(Bland);
    EXPECT_NEAR(buried, 110 * h.sB, 1e-6 * h.erodedB);
}

TEST_F(Transfer, SaltLakesTakeTheSolidsTheirRiverWaterCarries) {
    computetransfer(m);
    Thandrivers h;
    const double prod = 3.1709792e-10f * 2e6f; // PRODratesusp_inlandwater * AREA_saltlake
    EXPECT_FLOAT_EQ(r.PRODsusp_saltlake.value(Aland), prod);
    // The 3 m^3/s of river water that make up for the salt lake's
    // evaporation and the production settle on its 2e6 m^2.
    double net = (3 * h.sA + prod) / (2500 * 0.2 * 2e6);
    EXPECT_TRUE(near(r.NETsedrate_saltlake.value(Aland), net));
    // Its suspended matter settles faster (SETTLvelocity_susp *
    // SUSPCONC_inlandwater / (RHO_solid * Fsolid_sed)); the rest is resuspended.
    double settling = 2.8935185e-5f * 0.015f / (2500 * 0.2);
    ASSERT_LT(net, settling);
    EXPECT_FLOAT_EQ(r.GROSSsedrate_saltlake.value(Aland), settling);
    EXPECT_FLOAT_EQ(r.RESUSPrate_saltlake.value(Aland),
                    settling - r.NETsedrate_saltlake.value(Aland));
    // Six times the river water: more arrives than settles, nothing is
    // resuspended.
    r.FLOW_river_saltlake.setdefault(Aland, 18);
    computetransfer(m);
    ASSERT_GT(r.NETsedrate_saltlake.value(Aland), settling);
    EXPECT_EQ(r.GROSSsedrate_saltlake.value(Aland), r.NETsedrate_saltlake.value(Aland));
    EXPECT_EQ(r.RESUSPrate_saltlake.value(Aland), 0);
    EXPECT_EQ(r.RESUSPrate_saltlake.status(Aland), stDefault);
}

TEST_F(Transfer, RegionWithoutSaltLakeResuspendsWhatSettles) {
    computetransfer(m);
    EXPECT_TRUE(r.PRODsusp_saltlake.ishidden(Bland));
    EXPECT_EQ(r.NETsedrate_saltlake.value(Bland), 0);
    EXPECT_EQ(r.NETsedrate_saltlake.status(Bland), stDefault);
    double settling = 2.8935185e-5f * 0.02f / (2500 * 0.2);
    EXPECT_FLOAT_EQ(r.GROSSsedrate_saltlake.value(Bland), settling);
    EXPECT_FLOAT_EQ(r.RESUSPrate_saltlake.value(Bland), settling);
}

// The fixture's sea: 2e10 m^2, of it 5e9 m^2 of shelf, no currents.
struct Thandsea {
    static constexpr double v = 2.8935185e-5, sediment = 2500 * 0.2;
    double prod = 5.0735667e-9f * 2e10f; // PRODratesusp_seawater * SYSTEMAREA
    double rivers;                       // kg/s, from Aland's 60 m^3/s and Bland's 110
    // The sea's settling particles sink over its whole area.
    double conc = prod / (v * 2e10);
    explicit Thandsea(const Thandrivers& h) : rivers(60 * h.sA + 110 * h.sB) {}
};

TEST_F(Transfer, SeaParticlesSinkOutOfTheMixedLayerAndRiverSolidsSettleOnTheShelf) {
    e.AREA_seased.set(Asea, 5e9f, stImported);
    r.SUSPCONC_seawater.setdefault(Asea, 0.05f);
    computetransfer(m);
    Thandrivers h;
    Thandsea s(h);
    EXPECT_FLOAT_EQ(r.PRODsusp_seawater.value(Asea), s.prod);
    // Sinking out of the mixed layer: PRODratesusp_seawater over the
    // sediment's solids per m^3.
    EXPECT_TRUE(near(r.sedrate_seawater.value(Asea), 5.0735667e-9f / s.sediment));
    // The shelf gets its share of the particles and all the rivers' solids.
    double net = (s.v * s.conc * 5e9 + s.rivers) / (s.sediment * 5e9);
    EXPECT_TRUE(near(r.NETsedrate_seawater.value(Asea), net));
    // The shelf's suspended matter (50 g/m^3) settles faster; the rest is
    // resuspended.
    double settling = 2.8935185e-5f * 0.05f / s.sediment;
    ASSERT_LT(net, settling);
    EXPECT_FLOAT_EQ(r.GROSSsedrate_seawater.value(Asea), settling);
    EXPECT_FLOAT_EQ(r.RESUSPrate_seawater.value(Asea),
                    settling - r.NETsedrate_seawater.value(Asea));
}

TEST_F(Transfer, SeaWithoutRiversBuriesWhatItProducesOverItsShelf) {
    setflow(e.FLOW_river_seawater, Aland, Asea, 0);
    setflow(e.FLOW_river_seawater, Bland, Asea, 0);
    e.AREA_seased.set(Asea, 5e9f, stImported);
    computetransfer(m);
    // PRODratesusp_seawater / (RHO_solid * Fsolid_sed), on the shelf as
    // beyond it.
    EXPECT_FLOAT_EQ(r.NETsedrate_seawater.value(Asea), 5.0735667e-9f / (2500 * 0.2f));
    EXPECT_FLOAT_EQ(r.sedrate_seawater.value(Asea), 5.0735667e-9f / (2500 * 0.2f));
}

TEST_F(Transfer, SeaWithoutShelfSinksTheRiversSolidsIntoTheDeep) {
    e.AREA_seased.set(Asea, 0, stImported);
    computetransfer(m);
    Thandrivers h;
    Thandsea s(h);
    EXPECT_EQ(r.NETsedrate_seawater.value(Asea), 0);
    EXPECT_EQ(r.NETsedrate_seawater.status(Asea), stDefault);
    EXPECT_TRUE(near(r.sedrate_seawater.value(Asea), (s.prod + s.rivers) / (2e10 * s.sediment)));
}

// ---- Lakes ---------------------------------------------------------------------

TEST_F(Transfer, LakeWaterBalance) {
    computetransfer(m);
    // Q = TOTALDEPTH_lake * AREA_lake / RESTIME_lake = 20 * 5e6 / 3e7
    double Q = 20 * 5e6 / 3e7;
    EXPECT_FLOAT_EQ(r.FLOW_river_lake.value(Aland), Q - 0.1);  // less the direct rain
    EXPECT_FLOAT_EQ(r.FLOW_lake_river.value(Aland), Q - 0.05); // less the evaporation
}

TEST_F(Transfer, LakeLosingMoreByEvaporationThanItRenewsDoesNotFeedTheRiver) {
    r.EVAP_lake.setdefault(Aland, 10);
    r.RAINDIRECT_lake.setdefault(Aland, 20);
    computetransfer(m);
    EXPECT_EQ(r.FLOW_lake_river.value(Aland), 0);
    EXPECT_EQ(r.FLOW_river_lake.value(Aland), 0);
    EXPECT_EQ(r.FLOW_lake_river.status(Aland), stDefault);
}

TEST_F(Transfer, RegionWithoutLakesHasNoLakeFlows) {
    computetransfer(m);
    EXPECT_EQ(r.FLOW_river_lake.value(Bland), 0);
    EXPECT_EQ(r.FLOW_river_lake.status(Bland), stDefault);
    EXPECT_EQ(r.FLOW_lake_river.value(Bland), 0);
    // Its hidden lake rain and evaporation are not read, its lake residence
    // time (0) is not divided by.
    EXPECT_FALSE(r.RAINDIRECT_lake.used(Bland));
    EXPECT_FALSE(r.EVAP_lake.used(Bland));
    EXPECT_TRUE(fx.ui.warnings.empty());
}

// ---- Hidden compartments -----------------------------------------------------

TEST_F(Transfer, LandAndSeaHideEachOthersResults) {
    computetransfer(m);
    for (const Tnumpars* p :
         {&r.Finf_soil,           &r.LEACH_agr,           &r.LEACH_nonagr,
          &r.EROSION_nat,         &r.EROSION_agr,         &r.EROSION_urb,
          &r.RUNOFF_nat,          &r.RUNOFF_agr,          &r.RUNOFF_urb,
          &r.GASABS_nat,          &r.GASABS_agr,          &r.GASABS_urb,
          &r.VOLAT_nat,           &r.VOLAT_agr,           &r.VOLAT_urb,
          &r.VOLAT_inlandwater,   &r.riverinflow_solid,   &r.riveroutflow_solid,
          &r.ADSORB_sed,          &r.DESORB_sed,          &r.PRODsusp_saltlake,
          &r.NETsedrate_saltlake, &r.sedrate_inlandwater, &r.GROSSsedrate_saltlake,
          &r.RESUSPrate_saltlake, &r.FLOW_river_lake,     &r.FLOW_lake_river})
        EXPECT_TRUE(p->ishidden(Asea)) << p->name();
    for (const Tnumpars* p : {&r.VOLAT_seawater, &r.ADSORB_seased, &r.DESORB_seased,
                              &r.PRODsusp_seawater, &r.NETsedrate_seawater, &r.sedrate_seawater,
                              &r.GROSSsedrate_seawater, &r.RESUSPrate_seawater})
        for (std::uint32_t i : {Aland, Bland})
            EXPECT_TRUE(p->ishidden(i)) << p->name() << "[" << i << "]";
    for (const Tnumpars* p : {&r.kaw_air, &r.kaw_water, &r.GASABS_water, &r.DRYDEP_aer, &r.WASHOUT})
        for (std::uint32_t i : {Aland, Bland, Asea})
            EXPECT_TRUE(p->isknown(i)) << p->name() << "[" << i << "]";
    // A complete input set reads nothing hidden or unknown.
    EXPECT_TRUE(fx.ui.warnings.empty());
}

// ---- Frozen and ice-covered surfaces -------------------------------------
// With only air-soil exchange a soil is at steady state when
// C_soil * VOLAT * AREA = C_air * GASABS * AREA, so C_soil / C_air =
// GASABS / VOLAT, which must be the equilibrium ratio (1 - Fass_aer) / K_air
// whatever share of the year or surface is frozen. Likewise a lake holds
// C_lake / C_air = (1 - Fass_aer) / (Fdiss_inlandwater * K_airwater) and a
// sea the same with Fdiss_seawater.

::testing::AssertionResult sameratio(double actual, double expected) {
    if (std::fabs(actual - expected) <= 1e-6 * std::fabs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not " << expected;
}

TEST_F(Transfer, FrozenSoilNeitherTakesUpNorGivesOffGas) {
    r.Ftime_frost.setdefault(Aland, 1); // twelve frost months
    computetransfer(m);
    for (Tnumpars* p :
         {&r.GASABS_nat, &r.GASABS_agr, &r.GASABS_urb, &r.VOLAT_nat, &r.VOLAT_agr, &r.VOLAT_urb}) {
        EXPECT_EQ(p->value(Aland), 0) << p->name();
        EXPECT_EQ(p->status(Aland), stDefault) << p->name();
    }
    // A frozen lake exchanges no gas either way; rain and particles still
    // deposit the substance.
    EXPECT_EQ(r.GASABS_water.value(Aland), 0);
    EXPECT_EQ(r.VOLAT_inlandwater.value(Aland), 0);
    EXPECT_FLOAT_EQ(r.WASHOUT.value(Aland), 2e4 * 2e-8);
    EXPECT_FLOAT_EQ(r.DRYDEP_aer.value(Aland), 0.1 * 0.001);
}

TEST_F(Transfer, LandIceSealsNaturalSoilInBothDirections) {
    r.Ftime_frost.setdefault(Aland, 0);
    e.AREA_landice.set(Aland, 4e9f, stImported); // all the natural soil
    computetransfer(m);
    EXPECT_EQ(r.GASABS_nat.value(Aland), 0);
    EXPECT_EQ(r.VOLAT_nat.value(Aland), 0);
    EXPECT_GT(r.GASABS_agr.value(Aland), 0); // no land ice on farmland
    // More land ice than natural soil seals it; it does not turn the share
    // negative.
    e.AREA_landice.set(Aland, 5e9f, stImported);
    computetransfer(m);
    EXPECT_EQ(r.GASABS_nat.value(Aland), 0);
    EXPECT_EQ(r.VOLAT_nat.value(Aland), 0);
}

TEST_F(Transfer, SoilsUnderFrostAndLandIceReachTheEquilibriumRatio) {
    // Aland: frost a quarter of the year, 1e6 of 4e9 m^2 natural soil iced.
    computetransfer(m);
    const double gaseous = 0.9;
    const double Knat = 0.004f / 1.2f, Kagr = 0.004f / 1.5f;
    EXPECT_TRUE(
        sameratio(double(r.GASABS_nat.value(Aland)) / r.VOLAT_nat.value(Aland), gaseous / Knat));
    EXPECT_TRUE(
        sameratio(double(r.GASABS_agr.value(Aland)) / r.VOLAT_agr.value(Aland), gaseous / Kagr));
    EXPECT_TRUE(
        sameratio(double(r.GASABS_urb.value(Aland)) / r.VOLAT_urb.value(Aland), gaseous / Knat));
    // Absorption over the whole year and surface would have given
    // 1 / ((1 - 1e6 / 4e9) * 0.75), about 1.33 times this for natural soil.
}

TEST_F(Transfer, LakeWithFrostMonthsReachesTheEquilibriumRatio) {
    computetransfer(m);
    // Fass_aer 0.1, Fdiss_inlandwater 0.8, K_airwater 0.004; frost 0.25.
    EXPECT_TRUE(sameratio(double(r.GASABS_water.value(Aland)) / r.VOLAT_inlandwater.value(Aland),
                          0.9 / (0.8 * 0.004)));
    // The frost share applies once to each direction: Bland with frost half
    // the year keeps its own ratio (Fass_aer 0.2, Fdiss_inlandwater 0.7).
    r.Ftime_frost.setdefault(Bland, 0.5f);
    computetransfer(m);
    EXPECT_TRUE(sameratio(double(r.GASABS_water.value(Bland)) / r.VOLAT_inlandwater.value(Bland),
                          0.8 / (0.7 * 0.004)));
}

TEST_F(Transfer, SeaUnderIceReachesTheEquilibriumRatio) {
    // Asea: a tenth under ice; the diffusive flows over its 2e10 m^2.
    computetransfer(m);
    computeflows(m); // the flows read more than this fixture sets; only two are looked at
    double in = r.DIFF_air_seawater.value(Asea), out = r.DIFF_seawater_air.value(Asea);
    // Both through the open water, 0.9 * 2e10 m^2.
    EXPECT_FLOAT_EQ(in, r.GASABS_water.value(Asea) * 0.9 * 2e10);
    // Fass_aer 0.3, Fdiss_seawater 0.95, K_airwater 0.005.
    EXPECT_TRUE(sameratio(in / out, 0.7 / (0.95 * 0.005)));
}

// ---- Run-off, sediment exchange and settling -----------------------------

TEST_F(Transfer, TheThreeSoilsShedTheRegionsRunoffOnce) {
    computetransfer(m);
    // The dissolved part of each run-off velocity times the soil's area and
    // bulk partition coefficient is the water that soil sheds.
    double nat = (double(r.RUNOFF_nat.value(Aland)) - r.EROSION_nat.value(Aland)) * 4e9 * 1.2;
    double agr = (double(r.RUNOFF_agr.value(Aland)) - r.EROSION_agr.value(Aland)) * 3e9 * 1.5;
    double urb = (double(r.RUNOFF_urb.value(Aland)) - r.EROSION_urb.value(Aland)) * 1e9 * 1.2;
    EXPECT_NEAR(nat, 50, 1e-3); // 4e9 of 8e9 m^2 of soil
    EXPECT_NEAR(agr, 37.5, 1e-3);
    EXPECT_NEAR(urb, 12.5, 1e-3);
    EXPECT_NEAR(nat + agr + urb, 100, 1e-3); // WATERrunoff
}

TEST_F(Transfer, SedimentAtDiffusiveEquilibriumHoldsWhatItsSolidsSorb) {
    // A strongly sorbing substance: K_sedwater 2000, so Fdiss_sed 0.8 / 2000.
    r.K_sedwater.setdefault(Aland, 2000);
    r.Fdiss_sed.setdefault(Aland, 0.8f / 2000);
    r.K_seasedseawater.setdefault(Asea, 3000);
    r.Fdiss_seased.setdefault(Asea, 0.8f / 3000);
    computetransfer(m);
    // With only water-sediment exchange C_sed / C_water = ADSORB / DESORB =
    // Fdiss * K_sedwater: the pore water holds the dissolved concentration.
    EXPECT_TRUE(
        sameratio(double(r.ADSORB_sed.value(Aland)) / r.DESORB_sed.value(Aland), 0.8 * 2000));
    EXPECT_TRUE(
        sameratio(double(r.ADSORB_seased.value(Asea)) / r.DESORB_seased.value(Asea), 0.95 * 3000));
    // Dividing by Fdiss_sed * K_sedwater (= Fwater_sed 0.8) would have given
    // 0.8 times the water concentration whatever the sorption.
}

TEST_F(Transfer, SettlingVelocityIsTwoAndAHalfMetresADay) {
    EXPECT_FLOAT_EQ(e.SETTLvelocity_susp.value, 2.5 / 86400);
    computetransfer(m);
    // Bland: 0.02 kg/m^3 suspended solids settle at 2.5 m/d into sediment of
    // 2500 kg/m^3 * 0.2 solids: 2.5 * 0.02 / 500 m/d = 0.1 mm/d = 36.5 mm/yr.
    double mmperyear = r.GROSSsedrate_saltlake.value(Bland) * 86400 * 365 * 1000;
    EXPECT_NEAR(mmperyear, 36.5, 0.01);
}

// ---- Failures -------------------------------------------------------------------

TEST_F(Transfer, ZeroMolarMassStopsTheCalculation) {
    m.sub.MOLW.set(0, stEdited);
    try {
        computetransfer(m);
        FAIL() << "no error";
    } catch (const Eerror& x) {
        EXPECT_EQ(std::string(x.what()), "Division by zero computing kaw_air[Aland]");
    }
}

TEST_F(Transfer, LakeWithoutResidenceTimeStopsTheCalculation) {
    e.RESTIME_lake.set(Aland, 0, stEdited);
    EXPECT_THROW(computetransfer(m), Eerror);
}

TEST_F(Transfer, RainOnRegionWithoutSoilStopsTheCalculation) {
    r.AREA_nat.setdefault(Bland, 0);
    r.AREA_agr.setdefault(Bland, 0);
    r.AREA_urb.setdefault(Bland, 0);
    try {
        computetransfer(m);
        FAIL() << "no error";
    } catch (const Eerror& x) {
        EXPECT_EQ(std::string(x.what()), "Division by zero computing Finf_soil[Bland]");
    }
}

// ---- Two seas exchanging water ---------------------------------------------

Tsmallworld twoseas() {
    Tsmallworld w = Tsmallworld::standard();
    testing::Tsmallregion b = w.seas[0];
    b.name = "Bsea";
    b.abbreviation = "BS";
    w.seas.push_back(b);
    return w;
}

class Transfertwoseas : public Transfer {
protected:
    Transfertwoseas() : Transfer(twoseas()) {}
    static constexpr std::uint32_t Bsea = 4;
};

TEST_F(Transfertwoseas, CurrentsCarrySettlingParticlesBetweenSeas) {
    e.SYSTEMAREA.set(Bsea, 1e10f, stImported);
    e.AREA_seased.set(Asea, 5e9f, stImported);
    e.AREA_seased.set(Bsea, 2e9f, stImported);
    e.Farea_seaice.set(Bsea, 0, stImported);
    r.SUSPCONC_seawater.setdefault(Bsea, 0.004f);
    r.Fass_aer.setdefault(Bsea, 0.3f);
    r.SCAVratio.setdefault(Bsea, 4e4f);
    r.K_airwater.setdefault(Bsea, 0.005f);
    r.Ftime_frost.setdefault(Bsea, 0);
    r.Fdiss_seawater.setdefault(Bsea, 0.95f);
    r.K_seasedseawater.setdefault(Bsea, 4);
    r.Fdiss_seased.setdefault(Bsea, 0.25f);
    setflow(e.FLOW_river_seawater, Aland, Bsea, 0);
    setflow(e.FLOW_river_seawater, Bland, Bsea, 0);
    setflow(e.FLOW_seawater_seawater, Asea, Bsea, 5e4f);
    setflow(e.FLOW_seawater_seawater, Bsea, Asea, 1e4f);
    setflow(e.FLOW_seawater_seawater, Bsea, Bsea, 0);
    Thandrivers h;
    Thandsea s(h);
    const double v = s.v, sediment = s.sediment;
    const double prodA = 5.0735667e-9f * 2e10f, prodB = 5.0735667e-9f * 1e10f;
    auto check = [&](double BtoA) {
        computetransfer(m);
        // Each sea's particles sink over its area or leave with its currents:
        // xA (v 2e10 + 5e4) = prodA + BtoA xB, xB (v 1e10 + BtoA) = prodB + 5e4 xA.
        double dA = v * 2e10 + 5e4, dB = v * 1e10 + BtoA;
        double xA = (prodA + BtoA * prodB / dB) / (dA - BtoA * 5e4 / dB);
        double xB = (prodB + 5e4 * xA) / dB;
        EXPECT_TRUE(near(r.sedrate_seawater.value(Asea), v * xA / sediment));
        EXPECT_TRUE(near(r.sedrate_seawater.value(Bsea), v * xB / sediment));
        // Asea's shelf also takes the rivers' solids.
        EXPECT_TRUE(
            near(r.NETsedrate_seawater.value(Asea), (v * xA * 5e9 + s.rivers) / (sediment * 5e9)));
        EXPECT_TRUE(near(r.NETsedrate_seawater.value(Bsea), v * xB / sediment));
        // Every kilogram produced or brought by rivers ends on a shelf or in
        // the deep ocean.
        double ends = 0;
        for (auto [sea, area, shelf] : {std::tuple{Asea, 2e10, 5e9}, std::tuple{Bsea, 1e10, 2e9}})
            ends += (double(r.NETsedrate_seawater.value(sea)) * shelf +
                     double(r.sedrate_seawater.value(sea)) * (area - shelf)) *
                    sediment;
        EXPECT_NEAR(ends, prodA + prodB + s.rivers, 1e-6 * ends);
    };
    check(1e4);
    // A strong current back into Asea: Bsea gives more water than its
    // particles could fill at Asea's concentration, yet nothing goes
    // negative; the shelf resuspends what its suspended matter settles
    // beyond its growth.
    setflow(e.FLOW_seawater_seawater, Bsea, Asea, 4e5f);
    check(4e5);
    ASSERT_GT(r.NETsedrate_seawater.value(Bsea), 0);
    double settling = 2.8935185e-5f * 0.004f / sediment;
    EXPECT_FLOAT_EQ(r.GROSSsedrate_seawater.value(Bsea), settling);
    EXPECT_FLOAT_EQ(r.RESUSPrate_seawater.value(Bsea),
                    settling - r.NETsedrate_seawater.value(Bsea));
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// ---- The whole chain on a world with frozen land and sea ice ------------------

Tsmallworld frozenworld() {
    Tsmallworld w = Tsmallworld::standard();
    // Aland: frozen all year, 100 of its km^2 under land ice.
    w.countries[0].values["FROSTMONTHS"] = "12";
    w.countries[0].values["AREA_landice"] = "100";
    // Bland: frozen half the year, with a lake.
    w.countries[1].values["FROSTMONTHS"] = "6";
    w.countries[1].values["AREA_lake"] = "500";
    w.countries[1].values["AREA_lakesed"] = "500";
    // Asea: 30 % under ice.
    w.seas[0].values["Farea_seaice"] = "0.3";
    return w;
}

class Transferfrozen : public ::testing::Test {
protected:
    Transferfrozen() : fx(frozenworld()) {}
    Tworldfixture fx;
    Tresults& r = fx.m().results;

    void SetUp() override {
        fx.organic();
        fx.ws.results.clear();
        fx.ws.env.changed = true;
        fx.ws.emi.set(1, air);
        fx.ws.calculate();
    }
};

TEST_F(Transferfrozen, TwelveFrostMonthsSealTheSoilsBothWays) {
    ASSERT_FLOAT_EQ(r.Ftime_frost.value(Aland), 1);
    for (Tnumpars* p : {&r.DIFF_air_nat, &r.DIFF_nat_air, &r.DIFF_air_agr, &r.DIFF_agr_air,
                        &r.DIFF_air_urb, &r.DIFF_urb_air, &r.DIFF_air_lake, &r.DIFF_lake_air})
        EXPECT_EQ(p->value(Aland), 0) << p->name();
    // Deposition with rain and aerosols goes on.
    EXPECT_GT(r.ADV_air_nat.value(Aland), 0);
}

TEST_F(Transferfrozen, SoilAndLakeWithFrostMonthsReachTheEquilibriumRatio) {
    ASSERT_FLOAT_EQ(r.Ftime_frost.value(Bland), 0.5);
    // Only air-soil exchange at steady state: C_soil / C_air = DIFF_air_soil /
    // DIFF_soil_air, which must be (1 - Fass_aer) / K_air.
    double gaseous = 1 - double(r.Fass_aer.value(Bland));
    double ratio = double(r.DIFF_air_nat.value(Bland)) / r.DIFF_nat_air.value(Bland);
    EXPECT_NEAR(ratio, gaseous / r.K_airnonagr.value(Bland), 1e-5 * ratio);
    ratio = double(r.DIFF_air_agr.value(Bland)) / r.DIFF_agr_air.value(Bland);
    EXPECT_NEAR(ratio, gaseous / r.K_airagr.value(Bland), 1e-5 * ratio);
    // The lake: (1 - Fass_aer) / (Fdiss_inlandwater * K_airwater).
    ratio = double(r.DIFF_air_lake.value(Bland)) / r.DIFF_lake_air.value(Bland);
    double lake = gaseous / (double(r.Fdiss_inlandwater.value(Bland)) * r.K_airwater.value(Bland));
    EXPECT_NEAR(ratio, lake, 1e-5 * ratio);
}

TEST_F(Transferfrozen, SeaUnderIceReachesTheEquilibriumRatio) {
    double gaseous = 1 - double(r.Fass_aer.value(Asea));
    double ratio = double(r.DIFF_air_seawater.value(Asea)) / r.DIFF_seawater_air.value(Asea);
    double sea = gaseous / (double(r.Fdiss_seawater.value(Asea)) * r.K_airwater.value(Asea));
    EXPECT_NEAR(ratio, sea, 1e-5 * ratio);
    // Both through the open 70 % of the sea.
    EXPECT_FLOAT_EQ(r.DIFF_air_seawater.value(Asea),
                    double(r.GASABS_water.value(Asea)) * 0.7 * fx.ws.env.SYSTEMAREA.value(Asea));
    EXPECT_TRUE(fx.ui.warnings.empty()) << fx.ui.warnings.front();
}

} // namespace
} // namespace velmora
