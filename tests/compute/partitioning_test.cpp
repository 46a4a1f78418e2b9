// Partitioning, speciation and bioconcentration, computed by hand. The small
// world (tests/support/smallworld.cpp) has the countries Aland (region 1) and
// Bland (region 2) at 15 degC = 288 K and the sea Asea (region 3) at 12 degC
// = 285 K. The landscape results this stage reads are set by the tests; the
// environment's scalars keep their defaults:
//   Fair_plant 0.3, Flipid_plant 0.01, Fwater_plant 0.65, b 0.95,
//   CONjunge 0.17, SURFaer 0.000588, COLLECTeff 200000,
//   Fair_soil 0.2, Fwater_soil 0.2, Fsolid_soil 0.6, RHO_solid 2500,
//   Fwater_deepsoil 0.2, Fwater_sed 0.8, Fwater_bio 0.95, BIOCONC_water 0.001,
//   kgrowth_plant 0.035 per day, V_leaf 0.002, g_plant 0.001, AREA_plant 5,
//   RHO_plant 700, Qtransp 1e-3 m^3 per day;
// and per country Foc_soil 0.02, Foc_sed 0.05, Foc_susp 0.1, Fair_agr 0.2,
// Fwater_agr 0.2, Fair_nonagr 0.2, Fwater_nonagr 0.2; the sea Foc_seased 0.01,
// Foc_seasusp 0.1.
#include <gtest/gtest.h>

#include <cmath>

#include "compute/calculation.h"
#include "support/worldfixture.h"

namespace velmora::testing {
namespace {

constexpr std::uint32_t aland = 1, bland = 2, asea = 3;
constexpr double R = 8.314472f; // the gas constant as the stage uses it

::testing::AssertionResult closeto(double actual, double expected, double relative = 1e-5) {
    if (std::fabs(actual - expected) <= relative * std::fabs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than " << relative << " relative";
}

int countwarnings(const Trecorderui& ui, const std::string& text) {
    int n = 0;
    for (const auto& w : ui.warnings)
        if (w == text) ++n;
    return n;
}

// The landscape results this stage reads.
constexpr double Fsolid_agr = 0.6, Fsolid_nonagr = 0.5, Fsolid_deepsoil = 0.8, Fsolid_sed = 0.2;
constexpr double kelim_plant = 1e-6, RHO_agr = 1700.26, AREA_agr = 2e10;
constexpr double SUSPCONC_inlandwater = 0.00375, SUSPCONC_seawater = 0.00125;
// Plant and medium constants of the environment (defaults).
constexpr double kgrowth = 0.035 / 86400, V_leaf = 0.002, g_plant = 0.001, AREA_plant = 5;
constexpr double RHO_plant = 700, Qtransp = 1e-3 / 86400, COLLECT = 200000;
constexpr double J = 0.17 * 0.000588; // CONjunge * SURFaer

class Partitioning : public ::testing::Test {
protected:
    Partitioning() {
        f.ws.results.clear();
        Tresults& r = f.ws.results;
        r.Fsolid_deepsoil.setdefault(Fsolid_deepsoil);
        r.Fsolid_sed.setdefault(Fsolid_sed);
        r.kelim_plant.setdefault(kelim_plant);
        for (std::uint32_t i : {aland, bland}) {
            r.Fsolid_agr.setdefault(i, Fsolid_agr);
            r.Fsolid_nonagr.setdefault(i, Fsolid_nonagr);
            r.RHO_agr.setdefault(i, RHO_agr);
            r.AREA_agr.setdefault(i, AREA_agr);
            r.SUSPCONC_inlandwater.setdefault(i, SUSPCONC_inlandwater);
            r.SUSPCONC_seawater.sethidden(i);
        }
        for (Tnumpars* p :
             {&r.Fsolid_agr, &r.Fsolid_nonagr, &r.RHO_agr, &r.AREA_agr, &r.SUSPCONC_inlandwater})
            p->sethidden(asea);
        r.SUSPCONC_seawater.setdefault(asea, SUSPCONC_seawater);
        // Non-agricultural soil of Aland differs from the agricultural one.
        env().Fair_nonagr.set(aland, 0.25f, stEdited);
        env().Fwater_nonagr.set(aland, 0.25f, stEdited);
    }
    Tworldfixture f;
    Tenv& env() { return f.ws.env; }
    Tsub& sub() { return f.ws.sub; }
    Tresults& r() { return f.ws.results; }
    void run() {
        f.ui.reset();
        computepartitioning(f.m());
    }

    // An organic substance with every property set here (imported values
    // are kept by the type defaults).
    void organic() {
        f.organic();
        sub().Kow.set(1000, stImported);
        sub().HENRY.set(10, stImported);
        sub().Koc.set(0.5f, stImported);
        sub().VP_TEMPtest.set(10, stImported);
        sub().TEMPmelt.set(300, stImported);
        sub().H_0vapor.set(50000, stImported);
        sub().settypedefaults();
        ASSERT_EQ(sub().TEMPtest.value, 298.0f);
    }
    void metal() {
        f.metal();
        sub().Kp_soil.set(0.1f, stImported);
        sub().Kp_sed.set(0.2f, stImported);
        sub().Kp_susp.set(0.3f, stImported);
        sub().settypedefaults();
    }
};

// ---- organic ----------------------------------------------------------------

// The organic values of a land region at 288 K with the soils of Aland, in
// the order the stage computes them.
struct Torganicland {
    double K_plantwater = 0.01 * std::pow(1000.0, 0.95) + 0.65;
    double TSCF = 0.784 * std::exp(-std::pow(3 - 1.78, 2) / 2.44);
    double VP = 10 * std::exp(50000 / R * (1.0 / 298 - 1.0 / 288));
    double K_airwater = 10 / (288 * R);
    double K_leafair = K_plantwater / K_airwater + 0.3;
    double Kp_soil = 0.02 * 0.5, Kp_sed = 0.05 * 0.5, Kp_susp = 0.1 * 0.5;
    // TEMPmelt 300 K above 288 K: solid, sorbing as the sub-cooled liquid
    // with the higher vapour pressure VP * exp(6.79 (300 / 288 - 1)).
    double Fass_aer = J / (VP * std::exp(6.79 * (300.0 / 288 - 1)) + J);
    double SCAVratio = (1 - Fass_aer) / K_airwater + COLLECT * Fass_aer;
    double K_soilwater = 0.2 * K_airwater + 0.2 + 0.6 * Kp_soil * 2500;
    double K_agrwater = 0.2 * K_airwater + 0.2 + Fsolid_agr * Kp_soil * 2500;
    double K_nonagrwater = 0.25 * K_airwater + 0.25 + Fsolid_nonagr * Kp_soil * 2500;
    double K_deepsoilwater = Fsolid_deepsoil * Kp_soil * 2500 + 0.2;
    double K_sedwater = Fsolid_sed * Kp_sed * 2500 + 0.8;
    double K_airagr = K_airwater / K_agrwater;
    double K_airnonagr = K_airwater / K_nonagrwater;
    double BCF_fish = std::pow(10.0, 0.85 * 3 - 0.7 - 3); // log Kow = 3
    double BCFsoil_leafcrops =
        TSCF * RHO_agr * Qtransp /
        ((g_plant * AREA_plant / (K_leafair * V_leaf) + kelim_plant + kgrowth) * RHO_plant *
         V_leaf * K_agrwater);
    double BCFair_leafcrops =
        (1 - Fass_aer) /
        ((1 / K_leafair + (kgrowth + kelim_plant) * V_leaf / (AREA_plant * g_plant)) * RHO_plant);
    double BCF_rootcrops = (K_plantwater / RHO_plant) / (K_agrwater / RHO_agr);
    double BCF_meat = std::pow(10.0, 3 - 7.6);
    double BCF_milk = std::pow(10.0, 3 - 8.1);
    // Biota: BCF_fish (m^3 per kg wet fish) * BIOCONC_water (kg wet per m^3).
    double Fdiss_inlandwater = 1 / (1 + Kp_susp * SUSPCONC_inlandwater + BCF_fish * 0.001);
    double Fdiss_soil = 0.2 / K_soilwater;
    double Fdiss_agr = 0.2 / K_agrwater;
    double Fdiss_nonagr = 0.25 / K_nonagrwater;
    double Fdiss_deepsoil = 0.2 / K_deepsoilwater;
    double Fdiss_sed = 0.8 / K_sedwater;
};

TEST_F(Partitioning, OrganicScalars) {
    organic();
    run();
    Torganicland e;
    EXPECT_TRUE(r().ACTCOEFF.ishidden());
    EXPECT_TRUE(closeto(r().K_plantwater.value, e.K_plantwater));
    EXPECT_TRUE(closeto(r().TSCF.value, e.TSCF));
    EXPECT_EQ(r().TSCF.status, stDefault);
}

TEST_F(Partitioning, OrganicLandRegion) {
    organic();
    run();
    EXPECT_TRUE(f.ui.warnings.empty());
    Torganicland e;
    const std::uint32_t i = aland;
    EXPECT_TRUE(r().FREEIONseawater.ishidden(i));
    EXPECT_TRUE(closeto(r().VP.value(i), e.VP));
    EXPECT_TRUE(closeto(r().K_airwater.value(i), e.K_airwater));
    EXPECT_TRUE(closeto(r().K_leafair.value(i), e.K_leafair));
    EXPECT_TRUE(closeto(r().Kp_soil.value(i), e.Kp_soil));
    EXPECT_TRUE(closeto(r().Kp_sed.value(i), e.Kp_sed));
    EXPECT_TRUE(closeto(r().Kp_susp.value(i), e.Kp_susp));
    EXPECT_TRUE(closeto(r().Fass_aer.value(i), e.Fass_aer));
    EXPECT_TRUE(closeto(r().SCAVratio.value(i), e.SCAVratio));
    EXPECT_TRUE(closeto(r().K_soilwater.value(i), e.K_soilwater));
    EXPECT_TRUE(closeto(r().K_agrwater.value(i), e.K_agrwater));
    EXPECT_TRUE(closeto(r().K_nonagrwater.value(i), e.K_nonagrwater));
    EXPECT_TRUE(closeto(r().K_deepsoilwater.value(i), e.K_deepsoilwater));
    EXPECT_TRUE(closeto(r().K_sedwater.value(i), e.K_sedwater));
    EXPECT_TRUE(closeto(r().K_airagr.value(i), e.K_airagr));
    EXPECT_TRUE(closeto(r().K_airnonagr.value(i), e.K_airnonagr));
    EXPECT_TRUE(closeto(r().BCF_fish.value(i), e.BCF_fish));
    EXPECT_TRUE(closeto(r().BCFsoil_leafcrops.value(i), e.BCFsoil_leafcrops));
    EXPECT_TRUE(closeto(r().BCFair_leafcrops.value(i), e.BCFair_leafcrops));
    EXPECT_TRUE(closeto(r().BCF_rootcrops.value(i), e.BCF_rootcrops));
    EXPECT_TRUE(closeto(r().BCF_meat.value(i), e.BCF_meat));
    EXPECT_TRUE(closeto(r().BCF_milk.value(i), e.BCF_milk));
    EXPECT_TRUE(closeto(r().Fdiss_inlandwater.value(i), e.Fdiss_inlandwater));
    EXPECT_TRUE(closeto(r().Fdiss_soil.value(i), e.Fdiss_soil));
    EXPECT_TRUE(closeto(r().Fdiss_agr.value(i), e.Fdiss_agr));
    EXPECT_TRUE(closeto(r().Fdiss_nonagr.value(i), e.Fdiss_nonagr));
    EXPECT_TRUE(closeto(r().Fdiss_deepsoil.value(i), e.Fdiss_deepsoil));
    EXPECT_TRUE(closeto(r().Fdiss_sed.value(i), e.Fdiss_sed));
    for (Tnumpars* p : {&r().Kp_seased, &r().Kp_seasusp, &r().K_seasedseawater, &r().Fdiss_seawater,
                        &r().Fdiss_seased})
        EXPECT_TRUE(p->ishidden(i)) << p->name();
    // The landscape results read are marked used.
    EXPECT_TRUE(r().RHO_agr.used(i));
    EXPECT_TRUE(r().Fsolid_nonagr.used(i));
    EXPECT_TRUE(r().SUSPCONC_inlandwater.used(i));
    EXPECT_TRUE(r().kelim_plant.used);
}

TEST_F(Partitioning, OrganicSeaRegion) {
    organic();
    run();
    const std::uint32_t i = asea;
    double kaw = 10 / (285 * R);
    EXPECT_TRUE(closeto(r().K_airwater.value(i), kaw));
    EXPECT_TRUE(closeto(r().VP.value(i), 10 * std::exp(50000 / R * (1.0 / 298 - 1.0 / 285))));
    EXPECT_TRUE(r().K_leafair.ishidden(i));
    EXPECT_TRUE(closeto(r().Kp_seased.value(i), 0.01 * 0.5));
    EXPECT_TRUE(closeto(r().Kp_seasusp.value(i), 0.1 * 0.5));
    double kseased = Fsolid_sed * 0.01 * 0.5 * 2500 + 0.8;
    EXPECT_TRUE(closeto(r().K_seasedseawater.value(i), kseased));
    double bcffish = std::pow(10.0, 0.85 * 3 - 0.7 - 3);
    EXPECT_TRUE(closeto(r().BCF_fish.value(i), bcffish));
    EXPECT_TRUE(closeto(r().Fdiss_seawater.value(i),
                        1 / (1 + 0.1 * 0.5 * SUSPCONC_seawater + bcffish * 0.001)));
    EXPECT_TRUE(closeto(r().Fdiss_seased.value(i), 0.8 / kseased));
    for (Tnumpars* p :
         {&r().FREEIONseawater,   &r().Kp_soil,       &r().Kp_sed,        &r().Kp_susp,
          &r().K_soilwater,       &r().K_agrwater,    &r().K_nonagrwater, &r().K_deepsoilwater,
          &r().K_sedwater,        &r().K_airagr,      &r().K_airnonagr,   &r().BCFsoil_leafcrops,
          &r().BCFair_leafcrops,  &r().BCF_rootcrops, &r().BCF_meat,      &r().BCF_milk,
          &r().Fdiss_inlandwater, &r().Fdiss_soil,    &r().Fdiss_agr,     &r().Fdiss_nonagr,
          &r().Fdiss_deepsoil,    &r().Fdiss_sed})
        EXPECT_TRUE(p->ishidden(i)) << p->name();
}

TEST_F(Partitioning, OrganicFishFactorAboveAndBelowLogKowSix) {
    organic();
    sub().Kow.set(1e6f, stImported);
    run();
    EXPECT_TRUE(closeto(r().BCF_fish.value(aland), std::pow(10.0, 5.1 - 0.7 - 3)));
    sub().Kow.set(1e7f, stImported);
    run();
    EXPECT_TRUE(closeto(r().BCF_fish.value(aland), std::pow(10.0, -9.8 + 19.18 - 4.72 - 3)));
    EXPECT_TRUE(closeto(r().BCF_meat.value(aland), std::pow(10.0, 7 - 7.6)));
}

TEST_F(Partitioning, OrganicMeasuredFactorsAreTaken) {
    organic();
    sub().BCF_fish.set(5, stImported);
    sub().BCFsoil_leafcrops.set(6, stImported);
    sub().BCFair_leafcrops.set(7, stImported);
    sub().BCF_rootcrops.set(8, stImported);
    sub().BCF_meat.set(9, stImported);
    sub().BCF_milk.set(10, stImported);
    run();
    EXPECT_EQ(r().BCF_fish.value(asea), 5.0f);
    EXPECT_EQ(r().BCF_fish.value(aland), 5.0f);
    EXPECT_EQ(r().BCFsoil_leafcrops.value(aland), 6.0f);
    EXPECT_EQ(r().BCFair_leafcrops.value(aland), 7.0f);
    EXPECT_EQ(r().BCF_rootcrops.value(aland), 8.0f);
    EXPECT_EQ(r().BCF_meat.value(aland), 9.0f);
    EXPECT_EQ(r().BCF_milk.value(bland), 10.0f);
    EXPECT_EQ(r().BCF_milk.status(bland), stDefault);
}

TEST_F(Partitioning, OrganicSolidHoldsLessOnAerosolsThanLiquidOfTheSameVapourPressure) {
    organic();
    run();
    double vp = 10 * std::exp(50000 / R * (1.0 / 298 - 1.0 / 288));
    // Melting at 300 K, solid at 288 K: the aerosols take it up as the
    // sub-cooled liquid, whose vapour pressure is exp(6.79 * 12 / 288) =
    // 1.327 times the solid's.
    float solid = r().Fass_aer.value(aland);
    EXPECT_TRUE(closeto(solid, J / (J + vp * std::exp(6.79 * 12.0 / 288))));
    sub().TEMPmelt.set(250, stImported); // liquid at 288 K
    run();
    EXPECT_TRUE(closeto(r().Fass_aer.value(aland), J / (J + vp)));
    EXPECT_LT(solid, r().Fass_aer.value(aland));
}

TEST_F(Partitioning, HighMeltingSolidStaysMostlyGaseous) {
    // A hexachlorobenzene-like solid: VP 0.0023 Pa at 298 K (the solid's),
    // melting at 503 K, in air at 288 K. The sub-cooled liquid's vapour
    // pressure is VP * exp(6.79 * (503 / 288 - 1)) = 159 times higher.
    organic();
    sub().VP_TEMPtest.set(0.0023f, stImported);
    sub().H_0vapor.set(0, stImported); // no temperature correction
    sub().TEMPmelt.set(503, stImported);
    run();
    double liquid = 0.0023 * std::exp(6.79 * (503.0 / 288 - 1));
    EXPECT_TRUE(closeto(r().Fass_aer.value(aland), J / (J + liquid)));
    EXPECT_LT(r().Fass_aer.value(aland), 0.05); // > 95% gaseous, as measured
    // The inverted melting term gave J / (J + VP / 159), 87% bound.
    EXPECT_GT(J / (J + 0.0023 * std::exp(6.79 * (1 - 503.0 / 288))), 0.85);
}

TEST_F(Partitioning, BiotaShareOfTheWaterIsTheFishFactorTimesTheBiotaConcentration) {
    // A metal with BCF_fish 1 m^3/kg wet fish and BIOCONC_water 0.001 kg wet
    // biota per m^3: the biota hold 0.001 of the dissolved substance, not
    // 0.001 / (1 - Fwater_bio) = 0.02.
    metal();
    sub().BCF_fish.set(100, stImported);
    run();
    // Kp_susp 0.3 m^3/kg, suspended matter 0.00375 kg/m^3, biota 100 * 0.001.
    EXPECT_TRUE(closeto(r().Fdiss_inlandwater.value(aland),
                        1 / (1 + 0.3 * SUSPCONC_inlandwater + 100 * 0.001)));
    EXPECT_TRUE(
        closeto(r().Fdiss_seawater.value(asea), 1 / (1 + 0.3 * SUSPCONC_seawater + 100 * 0.001)));
}

TEST_F(Partitioning, PlantRatesArePerDayValuesInSeconds) {
    // 0.035 per day of growth dilution and 1e-3 m^3 per day of transpiration.
    EXPECT_FLOAT_EQ(env().kgrowth_plant.value, 0.035 / 86400);
    EXPECT_FLOAT_EQ(env().Qtransp.value, 1e-3 / 86400);
}

TEST_F(Partitioning, OrganicWithInfiniteAirWaterPartitioning) {
    organic();
    // HENRY such that HENRY / (TEMP R) at 288 K is the infinite value 1e20.
    sub().HENRY.set(static_cast<float>(1e20 * 288 * R), stImported);
    run();
    ASSERT_TRUE(r().K_airwater.isinfinite(aland));
    EXPECT_TRUE(closeto(r().K_leafair.value(aland), 0.3)); // Fair_plant
    double fass = r().Fass_aer.value(aland);
    EXPECT_TRUE(closeto(r().SCAVratio.value(bland), fass * COLLECT));
    EXPECT_TRUE(r().K_airwater.used(aland));
    // The infinite value enters the bulk coefficients as a number.
    EXPECT_TRUE(closeto(r().K_soilwater.value(aland), 0.2 * 1e20, 1e-5));
    EXPECT_TRUE(closeto(r().K_airagr.value(aland), 1e20 / (0.2 * 1e20), 1e-5));
}

TEST_F(Partitioning, OrganicWithoutVapourPressureData) {
    organic();
    sub().H_0vapor.setunknown();
    run();
    EXPECT_TRUE(r().VP.isunknown(aland));
    EXPECT_TRUE(r().VP.isunknown(asea));
    // The aerosol fraction reads the unknown pressure (0 after clearing):
    // one warning per region, and all of it on aerosols.
    EXPECT_EQ(countwarnings(f.ui, "Parameter VP[Aland] has no value"), 1);
    EXPECT_EQ(countwarnings(f.ui, "Parameter VP[Asea] has no value"), 1);
    EXPECT_TRUE(closeto(r().Fass_aer.value(aland), 1));
    organic();
    sub().TEMPtest.set(0, stImported);
    run();
    EXPECT_TRUE(r().VP.isunknown(bland));
}

TEST_F(Partitioning, OrganicUnknownKowMakesEstimatesUnknownWithOneWarning) {
    organic();
    sub().Kow.set(1000, stUnknown); // a stored number without a value
    run();
    EXPECT_EQ(countwarnings(f.ui, "Parameter Kow has no value"), 1);
    EXPECT_TRUE(r().BCF_fish.isunknown(aland));
    EXPECT_TRUE(r().BCF_fish.isunknown(asea));
    EXPECT_TRUE(r().BCF_meat.isunknown(aland));
    EXPECT_TRUE(r().BCF_milk.isunknown(bland));
    // The plant coefficients used the stored number.
    Torganicland e;
    EXPECT_TRUE(closeto(r().K_plantwater.value, e.K_plantwater));
}

TEST_F(Partitioning, OrganicNonPositiveKowAbandons) {
    organic();
    sub().Kow.set(0, stImported);
    EXPECT_THROW(computepartitioning(f.m()), EInvalidArgument);
    sub().Kow.set(-5, stImported);
    EXPECT_THROW(computepartitioning(f.m()), EInvalidArgument);
}

TEST_F(Partitioning, OrganicWithoutFarmland) {
    organic();
    r().AREA_agr.setdefault(bland, 0);
    run();
    EXPECT_TRUE(r().K_airagr.ishidden(bland));
    EXPECT_EQ(r().K_agrwater.status(bland), stDefault);
    EXPECT_EQ(r().K_airagr.status(aland), stDefault);
}

TEST_F(Partitioning, ZeroTemperatureAbandonsInsteadOfStoringInfinity) {
    organic();
    env().TEMP.set(bland, 0, stEdited);
    EXPECT_THROW(computepartitioning(f.m()), Eerror);
    // Region 1 was done before the fault.
    EXPECT_EQ(r().VP.status(aland), stDefault);
}

TEST_F(Partitioning, MissingHenryWarnsOnce) {
    organic();
    sub().HENRY.setunknown();
    run();
    EXPECT_EQ(countwarnings(f.ui, "Parameter HENRY has no value"), 1);
}

// ---- metal ------------------------------------------------------------------

TEST_F(Partitioning, MetalActivityCoefficientByCharge) {
    metal();
    ASSERT_EQ(sub().CHARGE.value, 2); // the type default
    run();
    EXPECT_TRUE(closeto(r().ACTCOEFF.value, std::pow(10.0, -0.58)));
    EXPECT_TRUE(closeto(r().ACTCOEFF.value, 0.263, 0.001));
    const std::pair<int, double> cases[] = {{1, -0.15}, {3, -1.31}, {4, -2.34}, {5, -2.34}};
    for (auto [charge, exponent] : cases) {
        sub().CHARGE.set(charge, stImported);
        run();
        EXPECT_TRUE(closeto(r().ACTCOEFF.value, std::pow(10.0, exponent))) << charge;
    }
    EXPECT_TRUE(r().K_plantwater.ishidden());
    EXPECT_TRUE(r().TSCF.ishidden());
    sub().CHARGE.set(0, stImported);
    run();
    EXPECT_TRUE(r().ACTCOEFF.isunknown());
    sub().CHARGE.set(2, stUnknown);
    run();
    EXPECT_TRUE(r().ACTCOEFF.isunknown());
    EXPECT_TRUE(f.ui.warnings.empty()); // tested, not read
}

TEST_F(Partitioning, MetalNegativeChargeKeepsThePreviousCoefficient) {
    metal();
    r().ACTCOEFF.set(0.7f, stEdited);
    sub().CHARGE.set(-2, stImported);
    run();
    EXPECT_EQ(r().ACTCOEFF.value, 0.7f);
    EXPECT_EQ(r().ACTCOEFF.status, stEdited);
}

TEST_F(Partitioning, MetalFreeIonFractionFollowsSeaTemperature) {
    metal();
    // FREEION5seawater 0.1 (at 5 degC = 278 K), FREEION25seawater 0.2 (at 298 K)
    ASSERT_EQ(sub().FREEION5seawater.value, 0.1f);
    ASSERT_EQ(sub().FREEION25seawater.value, 0.2f);
    run();
    EXPECT_TRUE(closeto(r().FREEIONseawater.value(asea), 0.1 + (285 - 278) * (0.2 - 0.1) / 20));
    EXPECT_TRUE(r().FREEIONseawater.ishidden(aland));
    // Outside the two measured points the fraction keeps the nearer one
    // instead of running off along the line (271 K would give 0.065).
    const std::pair<float, double> cases[] = {
        {278, 0.1}, {288, 0.15}, {298, 0.2}, {271, 0.1}, {305, 0.2}};
    for (auto [temp, expected] : cases) {
        env().TEMP.set(asea, temp, stEdited);
        run();
        EXPECT_TRUE(closeto(r().FREEIONseawater.value(asea), expected)) << temp;
    }
    sub().FREEION25seawater.setunknown();
    run();
    EXPECT_TRUE(r().FREEIONseawater.isunknown(asea));
}

TEST_F(Partitioning, MetalLandAndSeaRegions) {
    metal();
    run();
    EXPECT_TRUE(f.ui.warnings.empty());
    // K_airwater 0 and Fass_aer 0.95 are the metal defaults.
    for (std::uint32_t i : {aland, asea}) {
        EXPECT_TRUE(r().VP.ishidden(i));
        EXPECT_TRUE(r().K_leafair.ishidden(i));
        EXPECT_EQ(r().K_airwater.status(i), stDefault);
        EXPECT_EQ(r().K_airwater.value(i), 0.0f);
        EXPECT_TRUE(closeto(r().Fass_aer.value(i), 0.95));
        EXPECT_TRUE(closeto(r().SCAVratio.value(i), 0.95 * COLLECT));
    }
    EXPECT_TRUE(closeto(r().Kp_soil.value(aland), 0.1));
    EXPECT_TRUE(closeto(r().Kp_sed.value(aland), 0.2));
    EXPECT_TRUE(closeto(r().Kp_susp.value(aland), 0.3));
    EXPECT_TRUE(r().Kp_seased.ishidden(aland));
    EXPECT_TRUE(r().Kp_soil.ishidden(asea));
    // The sea takes the sediment and suspended-matter values of the substance.
    EXPECT_TRUE(closeto(r().Kp_seased.value(asea), 0.2));
    EXPECT_TRUE(closeto(r().Kp_seasusp.value(asea), 0.3));
    // Bulk coefficients with K_airwater 0
    double ksoil = 0.2 + 0.6 * 0.1 * 2500;
    double kagr = 0.2 + Fsolid_agr * 0.1 * 2500;
    double knonagr = 0.25 + Fsolid_nonagr * 0.1 * 2500;
    double kdeep = Fsolid_deepsoil * 0.1 * 2500 + 0.2;
    double ksed = Fsolid_sed * 0.2 * 2500 + 0.8;
    double kseased = Fsolid_sed * 0.2 * 2500 + 0.8;
    EXPECT_TRUE(closeto(r().K_soilwater.value(aland), ksoil));
    EXPECT_TRUE(closeto(r().K_agrwater.value(aland), kagr));
    EXPECT_TRUE(closeto(r().K_nonagrwater.value(aland), knonagr));
    EXPECT_TRUE(closeto(r().K_deepsoilwater.value(aland), kdeep));
    EXPECT_TRUE(closeto(r().K_sedwater.value(aland), ksed));
    EXPECT_TRUE(closeto(r().K_seasedseawater.value(asea), kseased));
    EXPECT_EQ(r().K_airagr.value(aland), 0.0f);
    EXPECT_EQ(r().K_airnonagr.status(aland), stDefault);
    // Measured bioconcentration factors 1, 2, 2.5, 3, 4, 4.5
    EXPECT_EQ(r().BCF_fish.value(aland), 1.0f);
    EXPECT_EQ(r().BCF_fish.value(asea), 1.0f);
    EXPECT_EQ(r().BCFsoil_leafcrops.value(aland), 2.0f);
    EXPECT_EQ(r().BCFair_leafcrops.value(aland), 2.5f);
    EXPECT_EQ(r().BCF_rootcrops.value(aland), 3.0f);
    EXPECT_EQ(r().BCF_meat.value(aland), 4.0f);
    EXPECT_EQ(r().BCF_milk.value(aland), 4.5f);
    for (Tnumpars* p : {&r().BCFsoil_leafcrops, &r().BCFair_leafcrops, &r().BCF_rootcrops,
                        &r().BCF_meat, &r().BCF_milk})
        EXPECT_TRUE(p->ishidden(asea)) << p->name();
    // Dissolved fractions: Kp_susp 0.3, BCF_fish 1
    EXPECT_TRUE(closeto(r().Fdiss_inlandwater.value(aland),
                        1 / (1 + 0.3 * SUSPCONC_inlandwater + 1 * 0.001)));
    EXPECT_TRUE(
        closeto(r().Fdiss_seawater.value(asea), 1 / (1 + 0.3 * SUSPCONC_seawater + 1 * 0.001)));
    EXPECT_TRUE(closeto(r().Fdiss_soil.value(aland), 0.2 / ksoil));
    EXPECT_TRUE(closeto(r().Fdiss_agr.value(aland), 0.2 / kagr));
    EXPECT_TRUE(closeto(r().Fdiss_nonagr.value(aland), 0.25 / knonagr));
    EXPECT_TRUE(closeto(r().Fdiss_deepsoil.value(aland), 0.2 / kdeep));
    EXPECT_TRUE(closeto(r().Fdiss_sed.value(aland), 0.8 / ksed));
    EXPECT_TRUE(closeto(r().Fdiss_seased.value(asea), 0.8 / kseased));
    for (Tnumpars* p :
         {&r().Fdiss_seawater, &r().Fdiss_seased, &r().Kp_seasusp, &r().K_seasedseawater})
        EXPECT_TRUE(p->ishidden(aland)) << p->name();
    for (Tnumpars* p : {&r().Fdiss_inlandwater, &r().Fdiss_soil, &r().Fdiss_agr, &r().Fdiss_nonagr,
                        &r().Fdiss_deepsoil, &r().Fdiss_sed, &r().K_sedwater})
        EXPECT_TRUE(p->ishidden(asea)) << p->name();
}

TEST_F(Partitioning, MetalUnknownFactorsAndPartitioning) {
    metal();
    sub().BCF_fish.setunknown();
    sub().BCF_meat.setunknown();
    sub().K_airwater.setunknown();
    run();
    EXPECT_TRUE(r().BCF_fish.isunknown(aland));
    EXPECT_TRUE(r().BCF_fish.isunknown(asea));
    EXPECT_TRUE(r().BCF_meat.isunknown(bland));
    EXPECT_TRUE(r().K_airwater.isunknown(aland));
    EXPECT_TRUE(r().K_airwater.isunknown(asea));
}

TEST_F(Partitioning, MetalLeafFactorFromAirWhenNotMeasured) {
    metal();
    sub().BCFair_leafcrops.setunknown();
    run();
    // The gaseous fraction 1 - 0.95 over the loss by growth and elimination,
    // per kg of leaf: divided by the plant density.
    double loss = (kgrowth + kelim_plant) * V_leaf / (AREA_plant * g_plant);
    EXPECT_TRUE(closeto(r().BCFair_leafcrops.value(aland), (1 - 0.95) / loss / RHO_plant));
    EXPECT_TRUE(r().BCFair_leafcrops.ishidden(asea));
}

TEST_F(Partitioning, EmptySoilHasNoDissolvedFraction) {
    metal();
    sub().Kp_soil.set(0, stImported);
    env().Fwater_soil.set(0, stEdited);
    env().Fwater_deepsoil.set(0, stEdited);
    run();
    // K_soilwater = 0.2 * 0 + 0 + 0.6 * 0 * 2500 = 0, K_deepsoilwater likewise
    EXPECT_EQ(r().K_soilwater.value(aland), 0.0f);
    EXPECT_TRUE(r().Fdiss_soil.isunknown(aland));
    EXPECT_TRUE(r().Fdiss_deepsoil.isunknown(aland));
    EXPECT_TRUE(closeto(r().Fdiss_agr.value(aland), 1)); // only water: 0.2 / 0.2
}

// ---- gas --------------------------------------------------------------------

TEST_F(Partitioning, Gas) {
    f.gas();
    ASSERT_TRUE(sub().K_airwater.isinfinite());
    run();
    EXPECT_TRUE(f.ui.warnings.empty());
    EXPECT_TRUE(r().ACTCOEFF.ishidden());
    EXPECT_TRUE(r().K_plantwater.ishidden());
    EXPECT_TRUE(r().TSCF.ishidden());
    for (std::uint32_t i : {aland, asea}) {
        EXPECT_TRUE(r().FREEIONseawater.ishidden(i));
        EXPECT_TRUE(r().VP.ishidden(i));
        EXPECT_TRUE(r().K_leafair.ishidden(i));
        EXPECT_TRUE(closeto(r().K_airwater.value(i), 1e20));
        EXPECT_EQ(r().Fass_aer.value(i), 0.0f);
        EXPECT_EQ(r().SCAVratio.status(i), stDefault);
        EXPECT_EQ(r().SCAVratio.value(i), 0.0f);
        EXPECT_EQ(r().BCF_fish.value(i), 0.0f);
        EXPECT_EQ(r().BCF_fish.status(i), stDefault);
    }
    EXPECT_EQ(r().Kp_soil.value(aland), 0.0f);
    EXPECT_EQ(r().Kp_seased.status(asea), stDefault);
    EXPECT_TRUE(r().Kp_seased.ishidden(aland));
    // Bulk coefficients dominated by the air: 0.2 * 1e20 (+ 0.2 water)
    EXPECT_TRUE(closeto(r().K_soilwater.value(aland), 0.2e20));
    EXPECT_TRUE(closeto(r().K_airagr.value(aland), 1e20 / 0.2e20));
    EXPECT_TRUE(closeto(r().K_airnonagr.value(aland), 1e20 / 0.25e20));
    EXPECT_TRUE(closeto(r().K_deepsoilwater.value(aland), 0.2));
    EXPECT_TRUE(closeto(r().K_seasedseawater.value(asea), 0.8));
    EXPECT_EQ(r().BCFair_leafcrops.value(bland), 0.0f);
    EXPECT_TRUE(r().BCF_milk.ishidden(asea));
    // Wholly dissolved wherever present.
    for (Tnumpars* p : {&r().Fdiss_inlandwater, &r().Fdiss_soil, &r().Fdiss_agr, &r().Fdiss_nonagr,
                        &r().Fdiss_deepsoil, &r().Fdiss_sed}) {
        EXPECT_EQ(p->value(aland), 1.0f) << p->name();
        EXPECT_EQ(p->status(aland), stDefault) << p->name();
        EXPECT_TRUE(p->ishidden(asea)) << p->name();
    }
    for (Tnumpars* p : {&r().Fdiss_seawater, &r().Fdiss_seased}) {
        EXPECT_EQ(p->value(asea), 1.0f) << p->name();
        EXPECT_TRUE(p->ishidden(bland)) << p->name();
    }
}

TEST_F(Partitioning, GasReadsItsAirWaterCoefficientEvenWhenUnknown) {
    f.gas();
    sub().K_airwater.set(3, stUnknown);
    run();
    EXPECT_EQ(countwarnings(f.ui, "Parameter K_airwater has no value"), 1);
    EXPECT_EQ(r().K_airwater.value(aland), 3.0f);
    EXPECT_EQ(r().K_airwater.status(asea), stDefault);
}

} // namespace
} // namespace velmora::testing
