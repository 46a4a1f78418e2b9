// Compartment flows on the small world: Aland (1) and Bland (2) are
// countries, Asea (3) a sea. The inputs of the stage (transfer velocities,
// areas, water flows, sediment rates) are set by hand, as the earlier stages
// would leave them, and every expected flow is the product written out.
#include <gtest/gtest.h>

#include <tuple>

#include "compute/calculation.h"
#include "support/worldfixture.h"

namespace velmora {
namespace {

using testing::Tworldfixture;

constexpr std::uint32_t A = 1, B = 2, S = 3;

class Flows : public ::testing::Test {
protected:
    Tworldfixture f;
    Tmodel& m = f.m();
    Tresults& res = m.results;
    Tenv& env = m.env;

    void SetUp() override {
        res.clear();
        setenvironment();
        setland(A, 1);
        setland(B, 2);
        setsea(S);
        f.ui.reset();
    }

    void setenvironment() {
        env.HEIGHT_air.set(1000, stImported);
        env.RHO_solid.set(2500, stImported);
        env.SYSTEMAREA.set(A, 4e10f, stImported);
        env.SYSTEMAREA.set(B, 2e10f, stImported);
        env.SYSTEMAREA.set(S, 1e11f, stImported);
        env.AREA_lake.set(A, 1e9f, stImported);
        env.AREA_lakesed.set(A, 8e8f, stImported);
        env.AREA_saltlake.set(A, 1e7f, stImported);
        env.AREA_lake.set(B, 0, stImported); // Bland has no lakes
        env.AREA_lakesed.set(B, 0, stImported);
        env.AREA_saltlake.set(B, 2e7f, stImported);
        env.AREA_seased.set(S, 6e10f, stImported);
        env.Farea_seaice.set(S, 0.2f, stImported);
        env.FLOW_river_agr.set(A, 3, stImported);
        env.FLOW_river_agr.set(B, 1, stImported);
        env.FLOW_groundwater_river.set(A, 40, stImported);
        env.FLOW_groundwater_river.set(B, 20, stImported);
        env.FLOW_groundwater_agr.set(A, 2, stImported);
        env.FLOW_groundwater_agr.set(B, 0.5f, stImported);
        env.WATERrunoff.set(A, 700, stImported);
        env.WATERrunoff.set(B, 300, stImported);
        for (std::uint32_t i = 1; i <= 3; ++i)
            for (std::uint32_t j = 1; j <= 3; ++j) {
                for (Tnumparss* p : {&env.BORDERLENGTH, &env.FLOW_river_river,
                                     &env.FLOW_groundwater_groundwater, &env.FLOW_river_seawater,
                                     &env.FLOW_groundwater_seawater, &env.FLOW_seawater_seawater})
                    p->set(i, j, 0, stImported);
            }
        // Aland and Bland 10 degrees apart on the equator, Asea 0.5 degrees
        // north of Aland.
        for (auto [i, latitude, longitude] : {std::tuple{A, 0.0f, 0.0f}, std::tuple{B, 0.0f, 10.0f},
                                              std::tuple{S, 0.5f, 0.0f}}) {
            env.latitude.set(i, latitude, stImported);
            env.longitude.set(i, longitude, stImported);
        }
        env.BORDERLENGTH.set(A, B, 1e5f, stImported);
        env.BORDERLENGTH.set(B, A, 1e5f, stImported);
        env.BORDERLENGTH.set(A, S, 5e4f, stImported);
        env.BORDERLENGTH.set(S, A, 5e4f, stImported);
        // Bland and Asea share no border.
        env.FLOW_river_river.set(A, B, 300, stImported);
        env.FLOW_groundwater_groundwater.set(B, A, 7, stImported);
        env.FLOW_river_seawater.set(A, S, 400, stImported);
        env.FLOW_river_seawater.set(B, S, 600, stImported);
        env.FLOW_groundwater_seawater.set(A, S, 9, stImported);
        // A value in a cell that only a sea row may use must never show up.
        env.FLOW_seawater_seawater.set(A, S, 123, stImported);

        res.BORDERWINDSPEED.setdefault(A, B, 4.5f);
        res.BORDERWINDSPEED.setdefault(B, A, 4.5f);
        res.BORDERWINDSPEED.setdefault(A, S, 6);
        res.BORDERWINDSPEED.setdefault(S, A, 6);
        res.BORDERWINDSPEED.setdefault(B, S, 0);
        res.BORDERWINDSPEED.setdefault(S, B, 0);
        for (std::uint32_t i = 1; i <= 3; ++i)
            res.BORDERWINDSPEED.sethidden(i, i);
        res.Fsolid_sed.setdefault(0.2f);
    }

    // The velocities, areas and rates a land region gets from the earlier
    // stages; k scales them so the two countries differ.
    void setland(std::uint32_t i, float k) {
        res.AREA_nat.setdefault(i, 2e10f * k);
        res.AREA_agr.setdefault(i, 1.6e10f * k);
        res.AREA_urb.setdefault(i, 2e9f * k);
        res.AREA_saltlakesed.setdefault(i, env.AREA_saltlake.value(i));
        res.FLOW_river_saltlake.setdefault(i, 0.25f * k);
        res.SUSPCONC_inlandwater.setdefault(i, 0.0375f);
        res.Kp_susp.setdefault(i, 5);
        res.Fdiss_inlandwater.setdefault(i, 0.9f);
        res.Fdiss_deepsoil.setdefault(i, 0.5f);
        res.GASABS_water.setdefault(i, 1e-3f * k);
        res.VOLAT_inlandwater.setdefault(i, 2e-6f * k);
        res.GASABS_nat.setdefault(i, 3e-3f);
        res.GASABS_agr.setdefault(i, 4e-3f);
        res.GASABS_urb.setdefault(i, 5e-3f);
        res.VOLAT_nat.setdefault(i, 6e-7f);
        res.VOLAT_agr.setdefault(i, 7e-7f);
        res.VOLAT_urb.setdefault(i, 8e-7f);
        res.ADSORB_sed.setdefault(i, 2.5e-6f);
        res.DESORB_sed.setdefault(i, 1.5e-7f);
        res.DRYDEP_aer.setdefault(i, 1e-4f);
        res.WASHOUT.setdefault(i, 3e-4f * k);
        res.RUNOFF_nat.setdefault(i, 1e-9f);
        res.RUNOFF_agr.setdefault(i, 2e-9f);
        res.RUNOFF_urb.setdefault(i, 3e-9f);
        res.LEACH_agr.setdefault(i, 4e-9f);
        res.LEACH_nonagr.setdefault(i, 5e-9f);
        res.FLOW_river_lake.setdefault(i, 100 * k);
        res.FLOW_lake_river.setdefault(i, 90 * k);
        res.riverinflow_solid.setdefault(i, 60 * k);
        res.riveroutflow_solid.setdefault(i, 10 * k);
        res.sedrate_inlandwater.setdefault(i, 4e-6f);
        res.GROSSsedrate_saltlake.setdefault(i, 3e-11f);
        res.RESUSPrate_saltlake.setdefault(i, 1e-11f);
        res.NETsedrate_saltlake.setdefault(i, 2e-11f);
        for (Tnumpars* p :
             {&res.VOLAT_seawater, &res.ADSORB_seased, &res.DESORB_seased,
              &res.GROSSsedrate_seawater, &res.RESUSPrate_seawater, &res.NETsedrate_seawater,
              &res.sedrate_seawater, &res.Kp_seasusp, &res.Fdiss_seawater})
            p->sethidden(i);
    }

    void setsea(std::uint32_t i) {
        for (Tnumpars* p : {&res.AREA_nat,
                            &res.AREA_agr,
                            &res.AREA_urb,
                            &res.AREA_saltlakesed,
                            &res.FLOW_river_saltlake,
                            &res.SUSPCONC_inlandwater,
                            &res.Kp_susp,
                            &res.Fdiss_inlandwater,
                            &res.Fdiss_deepsoil,
                            &res.VOLAT_inlandwater,
                            &res.GASABS_nat,
                            &res.GASABS_agr,
                            &res.GASABS_urb,
                            &res.VOLAT_nat,
                            &res.VOLAT_agr,
                            &res.VOLAT_urb,
                            &res.ADSORB_sed,
                            &res.DESORB_sed,
                            &res.RUNOFF_nat,
                            &res.RUNOFF_agr,
                            &res.RUNOFF_urb,
                            &res.LEACH_agr,
                            &res.LEACH_nonagr,
                            &res.FLOW_river_lake,
                            &res.FLOW_lake_river,
                            &res.riverinflow_solid,
                            &res.riveroutflow_solid,
                            &res.sedrate_inlandwater,
                            &res.GROSSsedrate_saltlake,
                            &res.RESUSPrate_saltlake,
                            &res.NETsedrate_saltlake})
            p->sethidden(i);
        res.GASABS_water.setdefault(i, 2e-3f);
        res.VOLAT_seawater.setdefault(i, 3e-6f);
        res.ADSORB_seased.setdefault(i, 2e-6f);
        res.DESORB_seased.setdefault(i, 1e-7f);
        res.DRYDEP_aer.setdefault(i, 2e-4f);
        res.WASHOUT.setdefault(i, 5e-4f);
        res.GROSSsedrate_seawater.setdefault(i, 5e-11f);
        res.RESUSPrate_seawater.setdefault(i, 1e-11f);
        res.NETsedrate_seawater.setdefault(i, 4e-11f);
        res.sedrate_seawater.setdefault(i, 3e-12f);
        res.Kp_seasusp.setdefault(i, 2);
        res.Fdiss_seawater.setdefault(i, 0.95f);
    }

    // x rounded to the float a result stores.
    static float f32(double x) { return static_cast<float>(x); }
};

TEST_F(Flows, DiffusiveFlowsOfALandRegionAreVelocityTimesArea) {
    computeflows(m);
    // Aland: lake 1e9 m^2, salt lake 1e7 m^2, lake sediment 8e8 m^2.
    EXPECT_FLOAT_EQ(res.DIFF_air_lake.value(A), f32(1e-3 * 1e9));
    EXPECT_FLOAT_EQ(res.DIFF_air_saltlake.value(A), f32(1e-3 * 1e7));
    EXPECT_FLOAT_EQ(res.DIFF_lake_air.value(A), f32(2e-6 * 1e9));
    EXPECT_FLOAT_EQ(res.DIFF_saltlake_air.value(A), f32(2e-6 * 1e7));
    EXPECT_FLOAT_EQ(res.DIFF_air_nat.value(A), f32(3e-3 * 2e10));
    EXPECT_FLOAT_EQ(res.DIFF_nat_air.value(A), f32(6e-7 * 2e10));
    EXPECT_FLOAT_EQ(res.DIFF_air_agr.value(A), f32(4e-3 * 1.6e10));
    EXPECT_FLOAT_EQ(res.DIFF_agr_air.value(A), f32(7e-7 * 1.6e10));
    EXPECT_FLOAT_EQ(res.DIFF_air_urb.value(A), f32(5e-3 * 2e9));
    EXPECT_FLOAT_EQ(res.DIFF_urb_air.value(A), f32(8e-7 * 2e9));
    EXPECT_FLOAT_EQ(res.DIFF_lake_lakesed.value(A), f32(2.5e-6 * 8e8));
    EXPECT_FLOAT_EQ(res.DIFF_saltlake_saltlakesed.value(A), f32(2.5e-6 * 1e7));
    EXPECT_FLOAT_EQ(res.DIFF_lakesed_lake.value(A), f32(1.5e-7 * 8e8));
    EXPECT_FLOAT_EQ(res.DIFF_saltlakesed_saltlake.value(A), f32(1.5e-7 * 1e7));
    EXPECT_EQ(res.DIFF_air_lake.status(A), stDefault);
    EXPECT_EQ(res.DIFF_air_seawater.status(A), stHidden);
    EXPECT_EQ(res.DIFF_seawater_air.status(A), stHidden);
    EXPECT_EQ(res.DIFF_seawater_seased.status(A), stHidden);
    EXPECT_EQ(res.DIFF_seased_seawater.status(A), stHidden);
    // Bland, twice the soil areas and gas absorption of 2e-3: salt lake 2e7 m^2.
    EXPECT_FLOAT_EQ(res.DIFF_air_saltlake.value(B), f32(2e-3 * 2e7));
    EXPECT_FLOAT_EQ(res.DIFF_air_nat.value(B), f32(3e-3 * 4e10));
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, DiffusiveFlowsOfASeaRegion) {
    computeflows(m);
    // Asea: system area 1e11 m^2, a fifth under ice, sea sediment 6e10 m^2.
    // Gas enters through the open water only, as VOLAT_seawater leaves it
    // (the ice share is inside VOLAT_seawater).
    EXPECT_FLOAT_EQ(res.DIFF_air_seawater.value(S), f32(2e-3 * 0.8 * 1e11));
    EXPECT_FLOAT_EQ(res.DIFF_seawater_air.value(S), f32(3e-6 * 1e11));
    EXPECT_FLOAT_EQ(res.DIFF_seawater_seased.value(S), f32(2e-6 * 6e10));
    EXPECT_FLOAT_EQ(res.DIFF_seased_seawater.value(S), f32(1e-7 * 6e10));
    for (Tnumpars* p :
         {&res.DIFF_air_lake, &res.DIFF_lake_air, &res.DIFF_air_saltlake, &res.DIFF_saltlake_air,
          &res.DIFF_air_nat, &res.DIFF_nat_air, &res.DIFF_air_agr, &res.DIFF_agr_air,
          &res.DIFF_air_urb, &res.DIFF_urb_air, &res.DIFF_lake_lakesed, &res.DIFF_lakesed_lake,
          &res.DIFF_saltlake_saltlakesed, &res.DIFF_saltlakesed_saltlake})
        EXPECT_EQ(p->status(S), stHidden) << p->name();
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, AdvectiveFlowsOfALandRegion) {
    computeflows(m);
    // Deposition velocity D = WASHOUT + DRYDEP_aer = 3e-4 + 1e-4 m/s.
    const double d = double(3e-4f) + double(1e-4f);
    EXPECT_FLOAT_EQ(res.ADV_air_lake.value(A), f32(d * 1e9));
    EXPECT_FLOAT_EQ(res.ADV_air_saltlake.value(A), f32(d * 1e7));
    EXPECT_FLOAT_EQ(res.ADV_air_nat.value(A), f32(d * 2e10));
    EXPECT_FLOAT_EQ(res.ADV_air_agr.value(A), f32(d * 1.6e10));
    EXPECT_FLOAT_EQ(res.ADV_air_urb.value(A), f32(d * 2e9));
    EXPECT_EQ(res.ADV_air_seawater.status(A), stHidden);
    EXPECT_EQ(res.ADV_air_outside.value(A), 0); // no land ice
    EXPECT_EQ(res.ADV_air_outside.status(A), stDefault);
    EXPECT_FLOAT_EQ(res.ADV_nat_river.value(A), f32(1e-9 * 2e10));
    EXPECT_FLOAT_EQ(res.ADV_agr_river.value(A), f32(2e-9 * 1.6e10));
    EXPECT_FLOAT_EQ(res.ADV_urb_river.value(A), f32(3e-9 * 2e9));
    // Leaching carries the dissolved half of the deep soil.
    EXPECT_FLOAT_EQ(res.ADV_nat_groundwater.value(A), f32(5e-9 * 2e10 * 0.5));
    EXPECT_FLOAT_EQ(res.ADV_agr_groundwater.value(A), f32(4e-9 * 1.6e10 * 0.5));
    EXPECT_FLOAT_EQ(res.ADV_urb_groundwater.value(A), f32(5e-9 * 2e9 * 0.5));
    EXPECT_FLOAT_EQ(res.ADV_river_lake.value(A), 100);
    EXPECT_FLOAT_EQ(res.ADV_river_saltlake.value(A), 0.25f);
    EXPECT_FLOAT_EQ(res.ADV_river_agr.value(A), 3);
    // (60 - 10) kg/s of solids settle in the river bed, each kilogram with
    // the substance of Kp_susp * Fdiss_inlandwater = 5 * 0.9 m^3 of water.
    // And the river loses water in the region: in 700 run-off + 40 from
    // groundwater + 90 from the lake = 830 m^3/s, out 300 to Bland + 400 to
    // the sea + 100 to the lake + 0.25 to the salt lake + 3 irrigation =
    // 803.25 m^3/s; the 26.75 m^3/s lost leave their dissolved substance.
    EXPECT_FLOAT_EQ(res.ADV_river_outside.value(A), f32(50.0 * 5 * 0.9 + 26.75 * 0.9));
    EXPECT_FLOAT_EQ(res.ADV_lake_river.value(A), 90);
    // The lake sediment grows 4e-6 m/s with 2500 * 0.2 kg solids per m^3:
    // 2e-3 kg/(m^2 s) of solids settle, carrying 5 * 0.9 m^3 of water's
    // substance each.
    const double p = double(4e-6f) * 2500 * double(0.2f) * 5 * double(0.9f);
    EXPECT_FLOAT_EQ(res.ADV_lake_lakesed.value(A), f32(p * 8e8));
    EXPECT_FLOAT_EQ(res.ADV_lake_outside.value(A), f32(p * (1e9 - 8e8)));
    // Burial moves bulk sediment: the growth rate times the sediment area.
    EXPECT_FLOAT_EQ(res.ADV_lakesed_outside.value(A), f32(4e-6 * 8e8));
    // Salt lake: the gross rate's solids carry the sorbed substance down;
    // resuspension and burial move bulk sediment.
    EXPECT_FLOAT_EQ(res.ADV_saltlake_saltlakesed.value(A),
                    f32(3e-11 * 2500 * double(0.2f) * 5 * double(0.9f) * 1e7));
    EXPECT_FLOAT_EQ(res.ADV_saltlakesed_saltlake.value(A), f32(1e-11 * 1e7));
    EXPECT_FLOAT_EQ(res.ADV_saltlakesed_outside.value(A), f32(2e-11 * 1e7));
    EXPECT_FLOAT_EQ(res.ADV_groundwater_river.value(A), 40);
    EXPECT_FLOAT_EQ(res.ADV_groundwater_agr.value(A), 2);
    for (Tnumpars* q : {&res.ADV_seawater_seased, &res.ADV_seased_seawater,
                        &res.ADV_seawater_outside, &res.ADV_seased_outside})
        EXPECT_EQ(q->status(A), stHidden) << q->name();
    EXPECT_TRUE(f.ui.warnings.empty());
}

// Deposition onto land ice is buried in the ice and leaves from the air;
// only the ice-free natural soil receives it.
TEST_F(Flows, DepositionOntoLandIceLeavesTheModel) {
    env.AREA_landice.set(A, 1.5e10f, stImported); // of 2e10 m^2 natural soil
    env.AREA_landice.set(B, 9e10f, stImported);   // more than Bland's 4e10: all of it
    computeflows(m);
    const double d = double(3e-4f) + double(1e-4f);
    EXPECT_FLOAT_EQ(res.ADV_air_nat.value(A), f32(d * 5e9));
    EXPECT_FLOAT_EQ(res.ADV_air_outside.value(A), f32(d * 1.5e10));
    const double dB = double(6e-4f) + double(1e-4f);
    EXPECT_EQ(res.ADV_air_nat.value(B), 0);
    EXPECT_FLOAT_EQ(res.ADV_air_outside.value(B), f32(dB * 4e10));
    // The other soils and the lakes still get their full deposition.
    EXPECT_FLOAT_EQ(res.ADV_air_agr.value(A), f32(d * 1.6e10));
    EXPECT_EQ(res.ADV_air_outside.status(S), stHidden);
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, AdvectiveFlowsOfASeaRegion) {
    computeflows(m);
    EXPECT_FLOAT_EQ(res.ADV_air_seawater.value(S), f32((double(5e-4f) + double(2e-4f)) * 1e11));
    // The gross rate's solids (5e-11 m/s * 2500 * 0.2 kg/m^3) carry the
    // substance of Kp_seasusp * Fdiss_seawater = 2 * 0.95 m^3 of sea water each.
    const double carried = 2500 * double(0.2f) * 2 * double(0.95f);
    EXPECT_FLOAT_EQ(res.ADV_seawater_seased.value(S), f32(5e-11 * carried * 6e10));
    EXPECT_FLOAT_EQ(res.ADV_seased_seawater.value(S), f32(1e-11 * 6e10));
    // Beyond the shelf, (1e11 - 6e10) m^2, the particles sinking out of the
    // mixed layer (3e-12 m/s of sediment) leave for the deep ocean.
    EXPECT_FLOAT_EQ(res.ADV_seawater_outside.value(S), f32((1e11 - 6e10) * 3e-12 * carried));
    EXPECT_FLOAT_EQ(res.ADV_seased_outside.value(S), f32(4e-11 * 6e10));
    for (Tnumpars* q : {&res.ADV_air_lake,
                        &res.ADV_air_saltlake,
                        &res.ADV_air_nat,
                        &res.ADV_air_agr,
                        &res.ADV_air_urb,
                        &res.ADV_nat_river,
                        &res.ADV_agr_river,
                        &res.ADV_urb_river,
                        &res.ADV_nat_groundwater,
                        &res.ADV_agr_groundwater,
                        &res.ADV_urb_groundwater,
                        &res.ADV_river_lake,
                        &res.ADV_river_saltlake,
                        &res.ADV_river_agr,
                        &res.ADV_river_outside,
                        &res.ADV_lake_river,
                        &res.ADV_lake_lakesed,
                        &res.ADV_lake_outside,
                        &res.ADV_lakesed_outside,
                        &res.ADV_saltlake_saltlakesed,
                        &res.ADV_saltlakesed_saltlake,
                        &res.ADV_saltlakesed_outside,
                        &res.ADV_groundwater_river,
                        &res.ADV_groundwater_agr})
        EXPECT_EQ(q->status(S), stHidden) << q->name();
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, ARegionWithoutLakesGetsZeroLakeFlowsWritten) {
    computeflows(m);
    // Bland: AREA_lake 0 and AREA_lakesed 0.
    EXPECT_EQ(res.DIFF_air_lake.status(B), stDefault);
    EXPECT_EQ(res.DIFF_air_lake.value(B), 0);
    EXPECT_EQ(res.ADV_lake_outside.status(B), stDefault);
    EXPECT_EQ(res.ADV_lake_outside.value(B), 0);
    EXPECT_EQ(res.ADV_air_lake.value(B), 0);
    EXPECT_EQ(res.DIFF_lake_lakesed.value(B), 0);
    // The river still feeds the lake by what the water balance gives.
    EXPECT_FLOAT_EQ(res.ADV_river_lake.value(B), 200);
}

TEST_F(Flows, AFlowWhoseVelocityIsHiddenIsNotWritten) {
    // Aland without agricultural soil: the soil quantities are hidden, the
    // area is 0.
    res.AREA_agr.setdefault(A, 0);
    res.GASABS_agr.sethidden(A);
    res.VOLAT_agr.sethidden(A);
    res.RUNOFF_agr.sethidden(A);
    res.DIFF_air_agr.set(A, 17, stEdited); // left from before
    computeflows(m);
    EXPECT_EQ(res.DIFF_air_agr.status(A), stEdited);
    EXPECT_EQ(res.DIFF_air_agr.value(A), 17);
    EXPECT_EQ(res.DIFF_agr_air.status(A), stUnknown);
    EXPECT_EQ(res.ADV_agr_river.status(A), stUnknown);
    EXPECT_FALSE(res.GASABS_agr.used(A));
    // Deposition and leaching are written whatever the area.
    EXPECT_EQ(res.ADV_air_agr.status(A), stDefault);
    EXPECT_EQ(res.ADV_air_agr.value(A), 0);
    EXPECT_EQ(res.ADV_agr_groundwater.status(A), stDefault);
    EXPECT_EQ(res.ADV_agr_groundwater.value(A), 0);
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, HiddenWaterAndSedimentVelocitiesLeaveTheirFlowsUnwritten) {
    res.GASABS_water.sethidden(A);
    res.VOLAT_inlandwater.sethidden(A);
    res.ADSORB_sed.sethidden(A);
    res.DESORB_sed.sethidden(A);
    res.GASABS_water.sethidden(S);
    res.DESORB_seased.sethidden(S);
    computeflows(m);
    for (Tnumpars* p :
         {&res.DIFF_air_lake, &res.DIFF_air_saltlake, &res.DIFF_lake_air, &res.DIFF_saltlake_air,
          &res.DIFF_lake_lakesed, &res.DIFF_saltlake_saltlakesed, &res.DIFF_lakesed_lake,
          &res.DIFF_saltlakesed_saltlake})
        EXPECT_EQ(p->status(A), stUnknown) << p->name();
    EXPECT_EQ(res.DIFF_air_seawater.status(S), stUnknown);
    EXPECT_EQ(res.DIFF_seased_seawater.status(S), stUnknown);
    EXPECT_EQ(res.DIFF_seawater_air.status(S), stDefault);
    EXPECT_EQ(res.DIFF_seawater_seased.status(S), stDefault);
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, AirMixesAcrossBordersOverTheDistanceOfTheCentresAtMostAtTheWind) {
    computeflows(m);
    // Aland-Bland: 1e6 m^2/s over 10 degrees of the equator (the toolkit's
    // 10 * 0.017453 rad * 6,378,137 m = 1,113,166 m) is 0.898 m/s, below the
    // 4.5 m/s of wind; times 1e5 m of border and 1000 m of air, both ways.
    const double mixed = 1e6 / (10 * 0.017453 * 6378137) * 1e5 * 1000;
    EXPECT_NEAR(res.ADV_air_air.value(A, B), mixed, 1e-6 * mixed);
    EXPECT_EQ(res.ADV_air_air.value(B, A), res.ADV_air_air.value(A, B));
    // Aland-Asea: 55 km apart, mixing would outrun the wind (18 m/s), so the
    // wind carries the exchange: 6 m/s * 5e4 m * 1000 m.
    EXPECT_FLOAT_EQ(res.ADV_air_air.value(A, S), f32(6 * 5e4 * 1000));
    EXPECT_EQ(res.ADV_air_air.value(S, A), res.ADV_air_air.value(A, S));
    EXPECT_TRUE(env.latitude.used(B));
    // No common border: 0, known.
    EXPECT_EQ(res.ADV_air_air.value(B, S), 0);
    EXPECT_EQ(res.ADV_air_air.status(B, S), stDefault);
    EXPECT_EQ(res.ADV_air_air.status(S, B), stDefault);
    // The diagonal is not written.
    for (std::uint32_t i = 1; i <= 3; ++i)
        EXPECT_EQ(res.ADV_air_air.status(i, i), stUnknown);
    EXPECT_FALSE(res.BORDERWINDSPEED.used(A, A));
    EXPECT_TRUE(f.ui.warnings.empty());
    // Centres in one place (an island amid its sea) leave the wind.
    env.latitude.set(S, 0, stImported);
    computeflows(m);
    EXPECT_FLOAT_EQ(res.ADV_air_air.value(A, S), f32(6 * 5e4 * 1000));
}

TEST_F(Flows, WaterFlowsBetweenRegionsGoToTheMatchingPairResult) {
    computeflows(m);
    // Land to land.
    EXPECT_EQ(res.ADV_river_river.value(A, B), 300);
    EXPECT_EQ(res.ADV_river_river.status(B, A), stDefault);
    EXPECT_EQ(res.ADV_river_river.value(B, A), 0);
    EXPECT_EQ(res.ADV_groundwater_groundwater.value(B, A), 7);
    // A river reaching the sea is a river-sea flow, never a river-river flow.
    EXPECT_EQ(res.ADV_river_seawater.value(A, S), 400);
    EXPECT_EQ(res.ADV_river_seawater.value(B, S), 600);
    EXPECT_EQ(res.ADV_river_river.status(A, S), stHidden);
    EXPECT_EQ(res.ADV_groundwater_groundwater.status(A, S), stHidden);
    EXPECT_EQ(res.ADV_river_seawater.status(A, B), stHidden);
    EXPECT_EQ(res.ADV_groundwater_seawater.value(A, S), 9);
    EXPECT_EQ(res.ADV_groundwater_seawater.status(B, A), stHidden);
    // Land rows never carry sea currents.
    EXPECT_EQ(res.ADV_seawater_seawater.status(A, S), stHidden);
    EXPECT_FALSE(env.FLOW_seawater_seawater.used(A, S));
    // The sea row: everything hidden except sea currents to other seas (none here).
    for (Tnumparss* p :
         {&res.ADV_river_river, &res.ADV_groundwater_groundwater, &res.ADV_seawater_seawater,
          &res.ADV_river_seawater, &res.ADV_groundwater_seawater}) {
        EXPECT_EQ(p->status(S, A), stHidden) << p->name();
        EXPECT_EQ(p->status(S, B), stHidden) << p->name();
        for (std::uint32_t i = 1; i <= 3; ++i)
            EXPECT_EQ(p->status(i, i), stUnknown) << p->name();
    }
}

TEST_F(Flows, SeaCurrentsBetweenTwoSeas) {
    // A world with a second sea.
    testing::Tsmallworld world = testing::Tsmallworld::standard();
    testing::Tsmallregion second = world.seas.front();
    second.name = "Bsea";
    second.abbreviation = "BS";
    world.seas.push_back(second);
    Tworldfixture g(world);
    Tmodel& m2 = g.m();
    m2.results.clear();
    m2.env.FLOW_seawater_seawater.set(3, 4, 1000, stImported);
    m2.env.FLOW_seawater_seawater.set(4, 3, 0, stImported);
    // Only the sea currents matter here; everything else the stage reads
    // keeps its cleared state and warns, which this test does not look at.
    computeflows(m2);
    EXPECT_EQ(m2.results.ADV_seawater_seawater.value(3, 4), 1000);
    EXPECT_EQ(m2.results.ADV_seawater_seawater.status(3, 4), stDefault);
    EXPECT_EQ(m2.results.ADV_seawater_seawater.value(4, 3), 0);
    EXPECT_EQ(m2.results.ADV_seawater_seawater.status(4, 3), stDefault);
    EXPECT_EQ(m2.results.ADV_seawater_seawater.status(3, 1), stHidden);
    EXPECT_EQ(m2.results.ADV_river_seawater.status(3, 4), stHidden);
}

TEST_F(Flows, RiverBedBurialFollowsTheSolidsBalance) {
    // More solids out than in: the river takes them from its bed, which
    // holds no substance, so nothing is buried and nothing is added.
    res.riverinflow_solid.setdefault(B, 10);
    res.riveroutflow_solid.setdefault(B, 35);
    computeflows(m);
    EXPECT_GT(res.ADV_river_outside.value(A), 0);
    EXPECT_EQ(res.ADV_river_outside.value(B), 0);
    EXPECT_EQ(res.ADV_river_outside.status(B), stDefault);
}

TEST_F(Flows, RiverBurialDependsOnTheSubstanceNotOnTheSedimentSolids) {
    // The burial flow is a solids flux times what each kilogram carries; it
    // no longer divides by the sediment's solids, so none is still defined.
    res.Fsolid_sed.setdefault(0);
    computeflows(m);
    EXPECT_EQ(res.ADV_river_outside.status(A), stDefault);
    EXPECT_FLOAT_EQ(res.ADV_river_outside.value(A), f32(50.0 * 5 * 0.9 + 26.75 * 0.9));
    // A substance ten times as sorbing is buried ten times as fast; the
    // water lost takes the same dissolved share.
    res.Kp_susp.setdefault(A, 50);
    computeflows(m);
    EXPECT_FLOAT_EQ(res.ADV_river_outside.value(A), f32(50.0 * 50 * 0.9 + 26.75 * 0.9));
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, RiverWithoutOutletLosesItsWaterWithTheDissolvedSubstance) {
    // Bland's river stops flowing to the sea, the lake, the salt lake and
    // the fields: what comes in (300 run-off + 20 groundwater + 180 from the
    // lake + 300 from Aland = 800 m^3/s) evaporates or seeps away in the
    // region. A substance that does not sorb (Kp_susp 0) leaves with the
    // dissolved share of that water, not at all through the river bed.
    env.FLOW_river_seawater.set(B, S, 0, stImported);
    env.FLOW_river_agr.set(B, 0, stImported);
    res.FLOW_river_lake.setdefault(B, 0);
    res.FLOW_river_saltlake.setdefault(B, 0);
    res.Kp_susp.setdefault(B, 0);
    computeflows(m);
    EXPECT_FLOAT_EQ(res.ADV_river_outside.value(B), f32(800 * 0.9));
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(Flows, UnknownDissolvedDeepSoilFractionWarnsForEachLeachingFlow) {
    res.Fdiss_deepsoil.setunknown(A);
    computeflows(m);
    ASSERT_EQ(f.ui.warnings.size(), 3u);
    for (const std::string& w : f.ui.warnings)
        EXPECT_EQ(w, "Parameter Fdiss_deepsoil[Aland] has no value");
}

TEST_F(Flows, InputsReadAreMarkedUsed) {
    computeflows(m);
    EXPECT_TRUE(res.GASABS_water.used(A));
    EXPECT_TRUE(res.GASABS_water.used(S));
    EXPECT_TRUE(res.riverinflow_solid.used(B));
    EXPECT_TRUE(res.Fsolid_sed.used);
    EXPECT_TRUE(env.HEIGHT_air.used);
    EXPECT_TRUE(env.FLOW_river_seawater.used(B, S));
    EXPECT_TRUE(res.BORDERWINDSPEED.used(B, S));
    // Hidden sea values of a land region are never read.
    EXPECT_FALSE(res.VOLAT_seawater.used(A));
    EXPECT_FALSE(res.GASABS_nat.used(S));
}

} // namespace
} // namespace velmora
