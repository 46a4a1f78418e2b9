// Solids on the shipped default world: what the run-off erodes goes down
// the rivers to the seas, settles in lakes and salt lakes or stays in river
// beds, every kilogram once; the seas bury their rivers' solids and part of
// what they produce on their shelves and sink the rest into the deep ocean.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "support/testsupport.h"

using namespace velmora;

namespace {

constexpr double year = 365.25 * 86400;

// One land region's solids in kg/s, taken from the stored results and
// environment values alone: the river's solids concentration is what its
// water carries on, riveroutflow_solid over the river water going on
// (irrigation water leaves its solids in the canals).
struct Tregionsolids {
    std::string name;
    double eroded = 0, produced = 0, carriedin = 0, carriedout = 0, tosea = 0, settled = 0,
           buried = 0;
};

std::vector<Tregionsolids> regionsolids(Tworkspace& ws, std::vector<double>& conc) {
    Tresults& r = ws.results;
    Tenv& e = ws.env;
    const std::uint32_t n = ws.regions.count;
    const double rho = e.RHO_solid.value, sediment = rho * r.Fsolid_sed.value;
    std::vector<double> onward(n + 1, 0), tosea(n + 1, 0);
    conc.assign(n + 1, 0);
    for (std::uint32_t i = 1; i <= n; ++i) {
        if (!e.land.value(i)) continue;
        for (std::uint32_t k = 1; k <= n; ++k) {
            if (k == i) continue;
            if (e.land.value(k))
                onward[i] += e.FLOW_river_river.value(i, k);
            else
                tosea[i] += e.FLOW_river_seawater.value(i, k);
        }
        double water =
            onward[i] + tosea[i] + r.FLOW_river_lake.value(i) + r.FLOW_river_saltlake.value(i);
        if (water > 0) conc[i] = r.riveroutflow_solid.value(i) / water;
    }
    std::vector<Tregionsolids> s;
    for (std::uint32_t i = 1; i <= n; ++i) {
        if (!e.land.value(i)) continue;
        Tregionsolids& x = s.emplace_back();
        x.name = ws.regions.name(i);
        auto soil = [&](Tnumpars& area, Tnumpars& erosion, Tnumpars& fsolid) {
            if (erosion.isknown(i))
                x.eroded += double(area.value(i)) * erosion.value(i) * fsolid.value(i) * rho;
        };
        soil(r.AREA_nat, r.EROSION_nat, r.Fsolid_nonagr);
        soil(r.AREA_agr, r.EROSION_agr, r.Fsolid_agr);
        soil(r.AREA_urb, r.EROSION_urb, r.Fsolid_nonagr);
        if (r.PRODsusp_saltlake.isknown(i)) x.produced = r.PRODsusp_saltlake.value(i);
        x.produced += double(e.PRODratesusp_inlandwater.value) * e.AREA_lake.value(i);
        for (std::uint32_t j = 1; j <= n; ++j)
            if (j != i && e.land.value(j)) x.carriedin += e.FLOW_river_river.value(j, i) * conc[j];
        x.tosea = tosea[i] * conc[i];
        x.carriedout = (onward[i] + tosea[i]) * conc[i];
        x.settled = (double(r.sedrate_inlandwater.value(i)) * e.AREA_lake.value(i) +
                     double(r.NETsedrate_saltlake.value(i)) * e.AREA_saltlake.value(i)) *
                    sediment;
        x.buried = double(r.riverinflow_solid.value(i)) - r.riveroutflow_solid.value(i);
    }
    return s;
}

// One sea's solids in kg/s. Its settling particles, at v * c = the sinking
// rate sedrate_seawater times the sediment's solids per m^3, move with its
// currents; the shelf buries NETsedrate_seawater over AREA_seased, and
// beyond it the particles sink into the deep ocean.
struct Tseasolids {
    std::string name;
    double produced = 0, rivers = 0, currentsin = 0, currentsout = 0, shelf = 0, deep = 0;
    double shelfrate = 0;     // m/s of sediment on the shelf
    double organiccarbon = 0; // kg/s leaving the mixed layer with the particles
};

std::vector<Tseasolids> seasolids(Tworkspace& ws, const std::vector<double>& riverconc) {
    Tresults& r = ws.results;
    Tenv& e = ws.env;
    const std::uint32_t n = ws.regions.count;
    const double sediment = double(e.RHO_solid.value) * r.Fsolid_sed.value;
    const double v = e.SETTLvelocity_susp.value;
    std::vector<double> conc(n + 1, 0);
    for (std::uint32_t i = 1; i <= n; ++i)
        if (!e.land.value(i)) conc[i] = double(r.sedrate_seawater.value(i)) * sediment / v;
    std::vector<Tseasolids> s;
    for (std::uint32_t i = 1; i <= n; ++i) {
        if (e.land.value(i)) continue;
        Tseasolids& x = s.emplace_back();
        x.name = ws.regions.name(i);
        x.produced = r.PRODsusp_seawater.value(i);
        for (std::uint32_t j = 1; j <= n; ++j) {
            if (j == i) continue;
            if (e.land.value(j)) {
                x.rivers += e.FLOW_river_seawater.value(j, i) * riverconc[j];
            } else {
                x.currentsin += e.FLOW_seawater_seawater.value(j, i) * conc[j];
                x.currentsout += e.FLOW_seawater_seawater.value(i, j) * conc[i];
            }
        }
        double area = e.SYSTEMAREA.value(i), shelf = e.AREA_seased.value(i);
        x.shelfrate = r.NETsedrate_seawater.value(i);
        x.shelf = x.shelfrate * sediment * shelf;
        double sinking = double(r.sedrate_seawater.value(i)) * sediment;
        x.deep = sinking * (area - shelf);
        x.organiccarbon = sinking * area * e.Foc_seasusp.value(i);
    }
    return s;
}

// The default world is started once; the tests read its land regions' solids.
class DefaultWorldSolids : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(velmora::testing::bindir() + "/ENVDATA2part1.xlsx")) return;
        Trecorderui ui;
        Tworkspace ws(ui, velmora::testing::bindir());
        ws.initialize();
        std::vector<double> riverconc;
        solids = regionsolids(ws, riverconc);
        seas = seasolids(ws, riverconc);
    }
    void SetUp() override {
        if (solids.empty()) GTEST_FAIL() << "build the default_workbooks target first";
    }
    static inline std::vector<Tregionsolids> solids;
    static inline std::vector<Tseasolids> seas;
};

} // namespace

// Every kilogram eroded in a region, brought in by rivers or produced in
// its lakes and salt lakes leaves with its rivers, settles in a lake or
// salt lake or stays in a river bed or canal.
TEST_F(DefaultWorldSolids, EveryRegionsSolidsBalance) {
    int checked = 0;
    for (const Tregionsolids& x : solids) {
        double in = x.eroded + x.carriedin + x.produced;
        if (!(in > 0)) continue;
        ++checked;
        EXPECT_GE(x.buried, -1e-6 * in) << x.name;
        EXPECT_NEAR(x.carriedout + x.settled + x.buried, in, 1e-6 * in) << x.name;
    }
    EXPECT_GT(checked, 200);
}

// Published river sediment delivery to the oceans is 12.6-20 Gt/yr
// (Milliman and Syvitski 1992; Syvitski et al. 2005); river beds keep
// little of it over the long term.
TEST_F(DefaultWorldSolids, RiversDeliverTheirSedimentToTheSeas) {
    double eroded = 0, tosea = 0, buried = 0;
    for (const Tregionsolids& x : solids) {
        eroded += x.eroded;
        tosea += x.tosea;
        buried += x.buried;
    }
    EXPECT_GT(tosea * year, 5e12);
    EXPECT_LT(tosea * year, 30e12);
    EXPECT_LT(buried, 0.5 * eroded);
}

// Every kilogram a sea produces, gets from its rivers or from other seas
// leaves with its currents, is buried on its shelf or sinks into the deep
// ocean; none is taken from the sea floor.
TEST_F(DefaultWorldSolids, EverySeasSolidsBalance) {
    ASSERT_EQ(seas.size(), 50u);
    for (const Tseasolids& x : seas) {
        double in = x.produced + x.rivers + x.currentsin;
        EXPECT_GE(x.shelfrate, 0) << x.name;
        EXPECT_NEAR(x.currentsout + x.shelf + x.deep, in, 1e-5 * in) << x.name;
    }
}

// Shelf sediments accumulate from tenths of a millimetre a year where no
// river reaches them to centimetres off the largest river mouths (5.4 cm/yr
// over a century off the Yangtze, McKee, Nittrouer and DeMaster 1983,
// Geology 11:631); averaged over a sea's shelf, 0.1-20 mm/yr of sediment
// with 80 % water. The world's sea floor buries of the order of 20 Gt/yr,
// most of it river mud near the river mouths (33 Gt/yr mapped from 1,744
// dated cores, Restreppo et al. 2021, doi:10.1016/j.margeo.2021.106577;
// the rivers deliver 12.6-20 Gt/yr). The particles sinking out of the
// mixed layer carry 4-9 Pg/yr of organic carbon, the gravitational part of
// the biological pump.
TEST_F(DefaultWorldSolids, SeaFloorsBuryWhatReachesThem) {
    double shelf = 0, carbon = 0;
    for (const Tseasolids& x : seas) {
        EXPECT_GT(x.shelfrate * year * 1000, 0.1) << x.name;
        EXPECT_LT(x.shelfrate * year * 1000, 20) << x.name;
        shelf += x.shelf;
        carbon += x.organiccarbon;
    }
    EXPECT_GT(shelf * year, 10e12);
    EXPECT_LT(shelf * year, 40e12);
    EXPECT_GT(carbon * year, 4e12);
    EXPECT_LT(carbon * year, 9e12);
}
