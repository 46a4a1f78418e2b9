// Landscape dimensions and region geometry, computed by hand from the small
// world's inputs. The small world (see tests/support/smallworld.cpp) has the
// countries Aland (region 1) and Bland (region 2, no lakes) and the sea Asea
// (region 3). After import its values are in SI units: areas in km^2 become
// m^2 (x 1e6), volumes in km^3 become m^3 (x 1e9), rates per year become
// rates per second (/ 31536000), temperatures in degC become K (+ 273).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <vector>

#include "compute/calculation.h"
#include "numeric/utilities.h"
#include "support/worldfixture.h"

namespace velmora::testing {
namespace {

constexpr std::uint32_t aland = 1, bland = 2, asea = 3;
constexpr double year = 31536000; // s

::testing::AssertionResult closeto(double actual, double expected, double relative = 1e-6) {
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

class Landscape : public ::testing::Test {
protected:
    explicit Landscape(const Tsmallworld& world = Tsmallworld::standard()) : f(world) {
        f.ws.results.clear();
        f.ui.reset();
    }
    Tworldfixture f;
    Tenv& env() { return f.ws.env; }
    Tresults& r() { return f.ws.results; }
    void run() { computelandscape(f.m()); }
};

TEST_F(Landscape, WorldIsTheOneTheArithmeticAssumes) {
    ASSERT_EQ(f.ws.regions.count, 3u);
    EXPECT_EQ(f.ws.regions.name(aland), "Aland");
    EXPECT_EQ(f.ws.regions.name(bland), "Bland");
    EXPECT_EQ(f.ws.regions.name(asea), "Asea");
    EXPECT_TRUE(closeto(env().SYSTEMAREA.value(aland), 5e10));
    EXPECT_TRUE(closeto(env().SYSTEMAREA.value(asea), 1e11));
    EXPECT_EQ(env().AREA_lake.value(bland), 0.0f);
}

TEST_F(Landscape, ScalarSolidFractionsAndPlantElimination) {
    env().kmetab_plant.set(1e-6f, stEdited);
    env().kphoto_plant.set(2.5e-7f, stEdited);
    run();
    // 1 - Fwater_deepsoil 0.2, 1 - Fwater_sed 0.8, 1 - Fwater_susp 0.9
    EXPECT_TRUE(closeto(r().Fsolid_deepsoil.value, 0.8));
    EXPECT_TRUE(closeto(r().Fsolid_sed.value, 0.2));
    EXPECT_TRUE(closeto(r().Fsolid_susp.value, 0.1));
    EXPECT_EQ(r().Fsolid_sed.status, stDefault);
    // kmetab_plant + kphoto_plant
    EXPECT_TRUE(closeto(r().kelim_plant.value, 1e-6 + 2.5e-7));
}

TEST_F(Landscape, LandSoilsDensityAndSuspendedMatter) {
    env().Fair_nonagr.set(aland, 0.25f, stEdited);
    env().Fwater_nonagr.set(aland, 0.3f, stEdited);
    run();
    // Fair_agr 0.2, Fwater_agr 0.2
    EXPECT_TRUE(closeto(r().Fsolid_agr.value(aland), 1 - 0.2 - 0.2));
    EXPECT_TRUE(closeto(r().Fsolid_nonagr.value(aland), 1 - 0.3 - 0.25));
    // RHO_air 1.3, RHO_water 1000, RHO_solid 2500
    EXPECT_TRUE(closeto(r().RHO_agr.value(aland), 1.3 * 0.2 + 1000 * 0.2 + 2500 * 0.6));
    // Fsolid_susp 0.1, SUSPFRACTION_inlandwater 1.5e-5
    EXPECT_TRUE(closeto(r().SUSPCONC_inlandwater.value(aland), 0.1 * 1.5e-5 * 2500));
    EXPECT_TRUE(r().SUSPCONC_seawater.ishidden(aland));
    // The solid fraction is read back for the density.
    EXPECT_TRUE(r().Fsolid_agr.used(aland));
}

TEST_F(Landscape, LakesRainAndSaltLakeInflow) {
    run();
    // EVAPrate_lake 0.5 m/yr over AREA_lake 1000 km^2
    EXPECT_TRUE(closeto(r().EVAP_lake.value(aland), 0.5 / year * 1e9));
    // RAINRATE 700 mm/yr over the lakes and the 10 km^2 of salt lakes
    EXPECT_TRUE(closeto(r().RAINDIRECT_lake.value(aland), 0.7 / year * 1e9));
    double raindirectsalt = 0.7 / year * 1e7;
    EXPECT_TRUE(closeto(r().RAINDIRECT_saltlake.value(aland), raindirectsalt));
    // EVAP_saltlake 0.1 km^3/yr, less the direct rain
    EXPECT_TRUE(closeto(r().FLOW_river_saltlake.value(aland), 1e8 / year - raindirectsalt));
    EXPECT_TRUE(r().RAINDIRECT_saltlake.used(aland));
    EXPECT_TRUE(closeto(r().AREA_saltlakesed.value(aland), 1e7));
}

TEST_F(Landscape, CountryWithoutLakes) {
    env().TOTALDEPTH_lake.set(bland, 150, stEdited); // deeper than the groundwater layer
    run();
    EXPECT_TRUE(r().EVAP_lake.ishidden(bland));
    EXPECT_TRUE(r().RAINDIRECT_lake.ishidden(bland));
    EXPECT_EQ(r().V_lake.status(bland), stDefault);
    EXPECT_EQ(r().V_lake.value(bland), 0.0f);
    // Fwater_deepsoil 0.2 * SYSTEMAREA 5e10 * DEPTH_groundwater 100, lakes or not
    EXPECT_TRUE(closeto(r().V_groundwater.value(bland), 0.2 * 5e10 * 100));
    env().TOTALDEPTH_lake.set(bland, 20, stEdited);
    run();
    EXPECT_TRUE(closeto(r().V_groundwater.value(bland), 0.2 * 5e10 * 100));
    // Salt lakes do not depend on the lake area.
    EXPECT_TRUE(closeto(r().RAINDIRECT_saltlake.value(bland), 0.7 / year * 1e7));
}

TEST_F(Landscape, RainExceedingSaltLakeEvaporationGivesNoInflow) {
    env().EVAP_saltlake.set(aland, 0.1f, stEdited); // m^3/s, below the 0.222 m^3/s of rain
    run();
    EXPECT_EQ(r().FLOW_river_saltlake.status(aland), stDefault);
    EXPECT_EQ(r().FLOW_river_saltlake.value(aland), 0.0f);
}

TEST_F(Landscape, SoilAreasAndTimeFractions) {
    env().RAINDAYS.set(bland, 365, stEdited);
    run();
    // SYSTEMAREA 5e10 m^2, Farea_nat 0.5, Farea_agr 0.4, Farea_urb 0.05
    EXPECT_TRUE(closeto(r().AREA_nat.value(aland), 5e10 * 0.5));
    EXPECT_TRUE(closeto(r().AREA_agr.value(aland), 5e10 * 0.4));
    EXPECT_TRUE(closeto(r().AREA_urb.value(aland), 5e10 * 0.05));
    // RAINDAYS 120, FROSTMONTHS 2; the sea has the defaults 250 and 0
    EXPECT_TRUE(closeto(r().Ftime_rain.value(aland), 120 * 0.1 / 365));
    EXPECT_TRUE(closeto(r().Ftime_rain.value(bland), 0.1));
    EXPECT_TRUE(closeto(r().Ftime_frost.value(aland), 2.0 / 12));
    EXPECT_TRUE(closeto(r().Ftime_rain.value(asea), 250 * 0.1 / 365));
    EXPECT_EQ(r().Ftime_frost.status(asea), stDefault);
    EXPECT_EQ(r().Ftime_frost.value(asea), 0.0f);
    // No formula reads the rain fraction.
    EXPECT_FALSE(r().Ftime_rain.used(aland));
}

TEST_F(Landscape, LandVolumes) {
    run();
    EXPECT_TRUE(closeto(r().V_air.value(aland), 5e10 * 1000));    // HEIGHT_air 1000 m
    EXPECT_TRUE(closeto(r().V_river.value(aland), 5e9));          // 5 km^3
    EXPECT_TRUE(closeto(r().V_lake.value(aland), 1e9 * 10));      // MIXDEPTH_lake 10 m
    EXPECT_TRUE(closeto(r().V_saltlake.value(aland), 1e7 * 5));   // TOTALDEPTH_saltlake 5 m
    EXPECT_TRUE(closeto(r().V_lakesed.value(aland), 1e9 * 0.03)); // DEPTH_sed 0.03 m
    EXPECT_TRUE(closeto(r().V_saltlakesed.value(aland), 1e7 * 0.03));
    // DEPTH_nonagr 0.05 m, DEPTH_agr 0.2 m
    EXPECT_TRUE(closeto(r().V_nat.value(aland), 2.5e10 * 0.05));
    EXPECT_TRUE(closeto(r().V_agr.value(aland), 2e10 * 0.2));
    EXPECT_TRUE(closeto(r().V_urb.value(aland), 2.5e9 * 0.05));
    // The groundwater layer (100 m) reaches below the lakes (20 m deep):
    // Fwater_deepsoil * (SYSTEMAREA * DEPTH_groundwater - V_lake)
    EXPECT_TRUE(closeto(r().V_groundwater.value(aland), 0.2 * (5e10 * 100 - 1e10)));
    EXPECT_TRUE(r().V_seawater.ishidden(aland));
    EXPECT_TRUE(r().V_seased.ishidden(aland));
    EXPECT_TRUE(r().V_lake.used(aland));
    EXPECT_TRUE(r().AREA_agr.used(aland));
}

TEST_F(Landscape, GroundwaterBranchAtAndBelowLakeDepth) {
    // Equal depths take the branch that runs beneath the lakes.
    env().TOTALDEPTH_lake.set(aland, 100, stEdited);
    run();
    EXPECT_TRUE(closeto(r().V_groundwater.value(aland), 0.2 * (5e10 * 100 - 1e10)));
    // Deeper lakes interrupt the layer over their whole area.
    env().TOTALDEPTH_lake.set(aland, 101, stEdited);
    run();
    EXPECT_TRUE(closeto(r().V_groundwater.value(aland), 0.2 * (5e10 - 1e9) * 100));
}

TEST_F(Landscape, SeaRegion) {
    run();
    // Fsolid_susp 0.1, SUSPFRACTION_seawater 5e-6, RHO_solid 2500
    EXPECT_TRUE(closeto(r().SUSPCONC_seawater.value(asea), 0.1 * 5e-6 * 2500));
    EXPECT_TRUE(closeto(r().V_air.value(asea), 1e11 * 1000));
    EXPECT_TRUE(closeto(r().V_seawater.value(asea), 1e11 * 100)); // MIXDEPTH_seawater 100 m
    EXPECT_TRUE(closeto(r().V_seased.value(asea), 1e11 * 0.03));  // AREA_seased 1e5 km^2
    for (Tnumpars* p : {&r().Fsolid_agr,
                        &r().Fsolid_nonagr,
                        &r().RHO_agr,
                        &r().SUSPCONC_inlandwater,
                        &r().EVAP_lake,
                        &r().RAINDIRECT_lake,
                        &r().RAINDIRECT_saltlake,
                        &r().AREA_saltlakesed,
                        &r().AREA_nat,
                        &r().AREA_agr,
                        &r().AREA_urb,
                        &r().FLOW_river_saltlake,
                        &r().V_river,
                        &r().V_lake,
                        &r().V_saltlake,
                        &r().V_lakesed,
                        &r().V_saltlakesed,
                        &r().V_nat,
                        &r().V_agr,
                        &r().V_urb,
                        &r().V_groundwater})
        EXPECT_TRUE(p->ishidden(asea)) << p->name();
    // Land-only inputs of the sea are not read.
    EXPECT_FALSE(env().AREA_lake.used(asea));
    EXPECT_TRUE(env().land.used(asea));
}

TEST_F(Landscape, BorderWindSpeeds) {
    env().WINDSPEED.set(bland, 6, stEdited);
    env().BORDERLENGTH.set(bland, asea, 0, stImported); // no border from Bland to the sea
    run();
    Tnumparss& w = r().BORDERWINDSPEED;
    // Equal areas: the plain mean of 4 and 6 m/s.
    EXPECT_TRUE(closeto(w.value(aland, bland), 5));
    EXPECT_TRUE(closeto(w.value(bland, aland), 5));
    // Aland 5e10 m^2 at 4 m/s, Asea 1e11 m^2 at 9 m/s, weighted by sqrt(area)
    double sa = std::sqrt(5e10), ss = std::sqrt(1e11);
    EXPECT_TRUE(closeto(w.value(aland, asea), (sa * 4 + ss * 9) / (sa + ss)));
    EXPECT_TRUE(closeto(w.value(asea, aland), (sa * 4 + ss * 9) / (sa + ss)));
    // No border: 0 and known; the diagonal is hidden.
    EXPECT_EQ(w.status(bland, asea), stDefault);
    EXPECT_EQ(w.value(bland, asea), 0.0f);
    EXPECT_TRUE(closeto(w.value(asea, bland), (std::sqrt(5e10) * 6 + ss * 9) / (sa + ss)));
    for (std::uint32_t i = 1; i <= 3; ++i)
        EXPECT_TRUE(w.ishidden(i, i));
}

TEST_F(Landscape, BorderWindSpeedOfTwoRegionsWithoutArea) {
    env().WINDSPEED.set(bland, 6, stEdited);
    env().SYSTEMAREA.set(aland, 0, stEdited);
    env().SYSTEMAREA.set(bland, 0, stEdited);
    run();
    // No weights to take: the plain mean rather than a division by zero.
    EXPECT_TRUE(closeto(r().BORDERWINDSPEED.value(aland, bland), 5));
    // One region without area: the other's wind alone.
    EXPECT_TRUE(closeto(r().BORDERWINDSPEED.value(aland, asea), 9));
}

TEST_F(Landscape, DistancesForAllRegions) {
    f.ws.settings.DistancesDisplay = 2;
    run();
    Tnumparss& d = r().DISTANCE;
    for (std::uint32_t i = 1; i <= 3; ++i) {
        EXPECT_TRUE(d.isunknown(i, i)); // the diagonal keeps its state
        for (std::uint32_t j = 1; j <= 3; ++j)
            if (i != j) {
                EXPECT_EQ(d.status(i, j), stDefault);
                EXPECT_EQ(d.value(i, j), d.value(j, i));
            }
    }
    // Aland (50N, 5E) to Bland (51N, 8E): the toolkit's ellipsoid distance ...
    float expected = 0, bearing = 0;
    geodistance({50, 5}, {51, 8}, expected, bearing);
    EXPECT_EQ(d.value(aland, bland), expected);
    EXPECT_EQ(regiondistance(f.m(), aland, bland), expected);
    // ... which is close to the great-circle distance on a sphere of 6371 km:
    // haversine of 1 degree of latitude and 3 degrees of longitude.
    double rad = 3.14159265358979 / 180;
    double h = std::pow(std::sin(1 * rad / 2), 2) +
               std::cos(50 * rad) * std::cos(51 * rad) * std::pow(std::sin(3 * rad / 2), 2);
    double sphere = 2 * 6371000 * std::asin(std::sqrt(h));
    EXPECT_TRUE(closeto(d.value(aland, bland), sphere, 0.005)) << sphere;
    EXPECT_TRUE(env().latitude.used(asea));
}

TEST_F(Landscape, DistancesAndBorderCountsOnlyWhenAskedForAllRegions) {
    for (std::uint8_t setting : {0, 1}) {
        f.ws.settings.DistancesDisplay = setting;
        f.ws.settings.NBordersDisplay = setting;
        r().DISTANCE.setdefault(aland, bland, 42);
        run();
        EXPECT_EQ(r().DISTANCE.value(aland, bland), 42.0f);
        EXPECT_TRUE(r().DISTANCE.isunknown(bland, aland));
        EXPECT_TRUE(r().NBORDERS.isunknown(aland, bland));
        EXPECT_TRUE(r().NBORDERS.isunknown(aland, aland));
    }
}

// Great-circle distance on a sphere of 6371 km, in metres.
double spheredistance(double lat1, double lon1, double lat2, double lon2) {
    double rad = 3.14159265358979 / 180;
    double h = std::pow(std::sin((lat2 - lat1) * rad / 2), 2) +
               std::cos(lat1 * rad) * std::cos(lat2 * rad) *
                   std::pow(std::sin((lon2 - lon1) * rad / 2), 2);
    return 2 * 6371000 * std::asin(std::sqrt(std::min(h, 1.0)));
}

TEST_F(Landscape, RegionDistanceOfFarPointsDueEastOrWest) {
    // Points where the toolkit's direction term rounds beyond its arcsine.
    const float pairs[][4] = {{-64.2084808f, 119.979004f, 64.1937256f, -60.6857224f},
                              {74.1857147f, -108.18721f, -73.7242203f, 57.7372589f},
                              {29.5681305f, -23.4466553f, -29.4131508f, 150.264648f}};
    for (const auto& p : pairs) {
        float d = 0, bearing = 0;
        EXPECT_THROW(geodistance({p[0], p[1]}, {p[2], p[3]}, d, bearing), EInvalidArgument);
        env().latitude.set(aland, p[0], stEdited);
        env().longitude.set(aland, p[1], stEdited);
        env().latitude.set(bland, p[2], stEdited);
        env().longitude.set(bland, p[3], stEdited);
        double expected = spheredistance(p[0], p[1], p[2], p[3]);
        EXPECT_TRUE(closeto(regiondistance(f.m(), aland, bland), expected, 0.005));
    }
}

TEST_F(Landscape, RegionDistanceOfAntipodesIsHalfTheEarth) {
    env().latitude.set(aland, 0, stEdited);
    env().longitude.set(aland, 0, stEdited);
    env().latitude.set(bland, 0, stEdited);
    env().longitude.set(bland, 180, stEdited);
    float d = regiondistance(f.m(), aland, bland);
    EXPECT_TRUE(closeto(d, 3.14159265 * 6378137, 0.001)) << d;
}

TEST_F(Landscape, InputsWithoutValueWarnOncePerRun) {
    f.ws.settings.DistancesDisplay = 2;
    f.ws.settings.NBordersDisplay = 2;
    env().BORDERLENGTH.set(aland, bland, 100000, stUnknown);
    env().SYSTEMAREA.setunknown(asea);
    env().latitude.setunknown(bland);
    run();
    EXPECT_EQ(countwarnings(f.ui, "Parameter BORDERLENGTH[Aland,Bland] has no value"), 1);
    EXPECT_EQ(countwarnings(f.ui, "Parameter SYSTEMAREA[Asea] has no value"), 1);
    EXPECT_EQ(countwarnings(f.ui, "Parameter latitude[Bland] has no value"), 1);
    EXPECT_EQ(f.ui.warnings.size(), 3u);
    // The stored value is used all the same.
    EXPECT_EQ(r().NBORDERS.value(aland, bland), 1.0f);
    EXPECT_TRUE(env().BORDERLENGTH.used(aland, bland));
    // A second run warns again.
    run();
    EXPECT_EQ(f.ui.warnings.size(), 6u);
}

// ---- border counts on larger worlds -----------------------------------------

// A world of `countries` countries and `seas` seas, without any borders;
// tests set BORDERLENGTH themselves.
Tsmallworld plainworld(int countries, int seas = 1) {
    Tsmallworld standard = Tsmallworld::standard();
    Tsmallworld w;
    for (int k = 1; k <= countries; ++k) {
        Tsmallregion c = standard.countries[0];
        c.name = "C" + std::to_string(k);
        c.abbreviation = "C" + std::to_string(k);
        c.latitude = 40 + k * 0.1;
        w.countries.push_back(c);
    }
    for (int k = 1; k <= seas; ++k) {
        Tsmallregion s = standard.seas[0];
        s.name = "S" + std::to_string(k);
        s.abbreviation = "S" + std::to_string(k);
        s.longitude = -30 + k * 0.5;
        w.seas.push_back(s);
    }
    return w;
}

// The border count by its definition: the regions reachable by chains of
// exactly k steps, for k = 1..8, each step along a positive border length.
int walkcount(Tnumparss& border, std::uint32_t n, std::uint32_t from, std::uint32_t to) {
    std::vector<bool> reach(n + 1, false);
    reach[from] = true;
    for (int k = 1; k <= 8; ++k) {
        std::vector<bool> next(n + 1, false);
        for (std::uint32_t r = 1; r <= n; ++r)
            if (reach[r])
                for (std::uint32_t c = 1; c <= n; ++c)
                    if (border.value(r, c) > 0) next[c] = true;
        if (next[to]) return k;
        reach = next;
    }
    return 9;
}

class Borders : public Landscape {
protected:
    Borders() : Landscape(plainworld(12)) {}
    void border(std::uint32_t a, std::uint32_t b) {
        env().BORDERLENGTH.set(a, b, 1000, stImported);
        env().BORDERLENGTH.set(b, a, 1000, stImported);
    }
};

TEST_F(Borders, ChainNeighboursAndIsland) {
    // C1 - C2 - ... - C11 in a chain, C12 an island, the sea (13) alone too.
    ASSERT_EQ(f.ws.regions.count, 13u);
    for (std::uint32_t k = 1; k <= 12; ++k)
        for (std::uint32_t j = 1; j <= 13; ++j)
            env().BORDERLENGTH.set(k, j, 0, stImported);
    for (std::uint32_t k = 1; k < 11; ++k)
        border(k, k + 1);
    f.ws.settings.NBordersDisplay = 2;
    run();
    Tnumparss& nb = r().NBORDERS;
    EXPECT_EQ(nb.value(1, 2), 1.0f); // a common border
    EXPECT_EQ(nb.value(1, 3), 2.0f); // both border C2
    EXPECT_EQ(nb.value(3, 1), 2.0f);
    EXPECT_EQ(nb.value(1, 9), 8.0f);  // the longest chain counted
    EXPECT_EQ(nb.value(1, 10), 9.0f); // nine steps count as "farther"
    EXPECT_EQ(nb.value(2, 10), 8.0f);
    EXPECT_EQ(nb.value(12, 1), 9.0f); // the island
    EXPECT_EQ(nb.value(5, 12), 9.0f);
    EXPECT_EQ(nb.value(13, 4), 9.0f);
    for (std::uint32_t i = 1; i <= 13; ++i) {
        EXPECT_EQ(nb.status(i, i), stDefault);
        EXPECT_EQ(nb.value(i, i), 0.0f);
    }
    EXPECT_EQ(bordercount(f.m(), 1, 2), 1.0f);
    EXPECT_EQ(bordercount(f.m(), 1, 3), 2.0f);
    EXPECT_EQ(bordercount(f.m(), 1, 9), 8.0f);
    EXPECT_EQ(bordercount(f.m(), 1, 10), 9.0f);
    EXPECT_EQ(bordercount(f.m(), 12, 1), 9.0f);
    // Closing the chain into a ring gives the shorter way round.
    border(11, 1);
    run();
    EXPECT_EQ(nb.value(1, 10), 2.0f);
    EXPECT_EQ(bordercount(f.m(), 1, 10), 2.0f);
    EXPECT_EQ(nb.value(1, 6), 5.0f);
}

TEST_F(Borders, BreadthFirstCountsEqualTheExhaustiveSearch) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> uniform(0, 1);
    const std::uint32_t n = 13;
    for (int world = 0; world < 20; ++world) {
        // Sparse, sometimes one-way borders, so that long chains, unreachable
        // regions and directed steps all occur.
        for (std::uint32_t a = 1; a <= n; ++a)
            for (std::uint32_t b = 1; b <= n; ++b) {
                double x = uniform(random);
                env().BORDERLENGTH.set(a, b, a != b && x < 0.12 ? 500 : 0, stImported);
            }
        f.ws.settings.NBordersDisplay = 2;
        run();
        for (std::uint32_t i = 1; i <= n; ++i)
            for (std::uint32_t j = 1; j <= n; ++j) {
                if (i == j) continue;
                int expected = walkcount(env().BORDERLENGTH, n, i, j);
                EXPECT_EQ(bordercount(f.m(), i, j), expected) << i << "->" << j;
                // The stage counts from the lower-numbered region both ways.
                std::uint32_t lo = std::min(i, j), hi = std::max(i, j);
                EXPECT_EQ(r().NBORDERS.value(i, j), walkcount(env().BORDERLENGTH, n, lo, hi))
                    << i << "," << j;
            }
    }
}

TEST(LandscapeLargeWorld, AllPairsOnAWorldOf289Regions) {
    // The most the region list takes: 239 countries and 50 seas.
    Tworldfixture f(plainworld(239, 50));
    f.ws.results.clear();
    const std::uint32_t n = f.ws.regions.count;
    ASSERT_EQ(n, 289u);
    // The regions form a grid of 17 x 17: region k sits in row (k - 1) / 17
    // and column (k - 1) % 17 and borders its neighbours in row and column.
    Tnumparss& border = f.ws.env.BORDERLENGTH;
    for (std::uint32_t a = 1; a <= n; ++a)
        for (std::uint32_t b = 1; b <= n; ++b)
            border.set(a, b, 0, stImported);
    auto link = [&](std::uint32_t a, std::uint32_t b) {
        border.set(a, b, 10000, stImported);
        border.set(b, a, 10000, stImported);
    };
    for (std::uint32_t k = 1; k <= n; ++k) {
        if (k % 17 != 0) link(k, k + 1);
        if (k + 17 <= n) link(k, k + 17);
    }
    f.ws.settings.DistancesDisplay = 2;
    f.ws.settings.NBordersDisplay = 2;
    Telapsedtime timer;
    computelandscape(f.m());
    float seconds = timer.elapsed();
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("landscape stage on 289 regions: %.3f s\n", seconds);
    EXPECT_TRUE(f.ui.warnings.empty());
    // From region 1 (row 0, column 0) to row r, column c: r + c steps, 9 beyond 8.
    Tnumparss& nb = f.ws.results.NBORDERS;
    auto at = [](std::uint32_t row, std::uint32_t column) { return 1 + 17 * row + column; };
    EXPECT_EQ(nb.value(1, 2), 1.0f);
    EXPECT_EQ(nb.value(1, at(3, 4)), 7.0f);
    EXPECT_EQ(nb.value(at(3, 4), 1), 7.0f);
    EXPECT_EQ(nb.value(1, at(4, 4)), 8.0f);
    EXPECT_EQ(nb.value(1, at(4, 5)), 9.0f);
    EXPECT_EQ(nb.value(1, 289), 9.0f);
    EXPECT_EQ(nb.value(289, at(15, 16)), 1.0f);
    EXPECT_EQ(nb.value(289, at(15, 15)), 2.0f);
    EXPECT_EQ(nb.value(at(8, 8), at(12, 12)), 8.0f);
    for (std::uint32_t j = 2; j <= n; j += 7)
        EXPECT_EQ(nb.value(1, j), walkcount(border, n, 1, j)) << j;
    EXPECT_TRUE(f.ws.results.DISTANCE.isknown(17, 200));
    EXPECT_EQ(f.ws.results.DISTANCE.value(17, 200), f.ws.results.DISTANCE.value(200, 17));
}

} // namespace
} // namespace velmora::testing
