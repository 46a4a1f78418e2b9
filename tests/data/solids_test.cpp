// Solids on the shipped default world: what the run-off erodes goes down
// the rivers to the seas, settles in lakes and salt lakes or stays in river
// beds, every kilogram once.
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

std::vector<Tregionsolids> regionsolids(Tworkspace& ws) {
    Tresults& r = ws.results;
    Tenv& e = ws.env;
    const std::uint32_t n = ws.regions.count;
    const double rho = e.RHO_solid.value, sediment = rho * r.Fsolid_sed.value;
    std::vector<double> conc(n + 1, 0), onward(n + 1, 0), tosea(n + 1, 0);
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

// The default world is started once; the tests read its land regions' solids.
class DefaultWorldSolids : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(velmora::testing::bindir() + "/ENVDATA2part1.xlsx")) return;
        Trecorderui ui;
        Tworkspace ws(ui, velmora::testing::bindir());
        ws.initialize();
        solids = regionsolids(ws);
    }
    void SetUp() override {
        if (solids.empty()) GTEST_FAIL() << "build the default_workbooks target first";
    }
    static inline std::vector<Tregionsolids> solids;
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
