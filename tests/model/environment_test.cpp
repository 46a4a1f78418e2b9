#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <type_traits>
#include <variant>

#include "app/workspace.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

using namespace velmora;
using velmora::testing::Tsmallworld;
using velmora::testing::Ttempdir;

namespace {

// A workspace over a small world written into a fresh directory.
struct Tworld {
    Ttempdir dir;
    Trecorderui ui;
    Tworkspace ws{ui, dir.path().string()};

    explicit Tworld(const Tsmallworld& world, bool borders = true) {
        world.writeparameters(ws.settings.ParametersFile);
        if (borders) world.writeborders(ws.settings.BordersFile);
    }
    void read() { ws.readenvironment(); }
};

constexpr std::uint32_t A = 1, B = 2, S = 3;

} // namespace

TEST(EnvironmentImport, ReadsRegionsWithTheirDescriptionFixed) {
    Tworld w(Tsmallworld::standard());
    w.read();
    EXPECT_TRUE(w.ws.env.present);
    EXPECT_TRUE(w.ws.env.changed);
    EXPECT_EQ(w.ws.regions.count, 3u);
    EXPECT_EQ(w.ws.regions.nland, 2u);
    EXPECT_EQ(w.ws.regions.nsea, 1u);
    EXPECT_EQ(w.ws.regions.name(S), "Asea");
    Tenv& env = w.ws.env;
    EXPECT_EQ(env.name.value(B), "Bland");
    EXPECT_EQ(env.name.status(B), stFixed);
    EXPECT_TRUE(env.land.value(A));
    EXPECT_FALSE(env.land.value(S));
    EXPECT_EQ(env.land.status(S), stFixed);
    EXPECT_FLOAT_EQ(env.latitude.value(B), 51);
    EXPECT_EQ(env.continent.value(A), "Europa");
    EXPECT_EQ(env.ocean.value(S), "Oceanus");
    EXPECT_EQ(env.landsea.value(S), "Sea");
    EXPECT_EQ(env.UCTE.value(A), "UCTE");
    EXPECT_EQ(env.UCTE.value(B), "");
    EXPECT_TRUE(w.ui.warnings.empty()) << w.ui.warnings.front();
}

TEST(EnvironmentImport, ConvertsUnitsWithSinglePrecisionFactors) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    EXPECT_EQ(env.TEMP.value(A), 288.0f); // 15 degC
    EXPECT_EQ(env.TEMP.status(A), stImported);
    EXPECT_EQ(env.TEMP.value(S), 285.0f); // both sheets
    EXPECT_EQ(env.SYSTEMAREA.value(A), 5e10f);
    EXPECT_EQ(env.RESTIME_lake.value(A), 2 * 31536000.0f);
    EXPECT_FLOAT_EQ(env.RAINRATE.value(A), 700 * 1e-3f / 31536000.0f);
    EXPECT_FLOAT_EQ(env.WATERrunoff.value(A), 100 * 1e9f / 31536000.0f);
    EXPECT_FLOAT_EQ(env.AEROSOLDEPRATE.value(S), 3.6f / 3600);
    EXPECT_FLOAT_EQ(env.IH_meat.value(A), 0.15f);
    EXPECT_FLOAT_EQ(env.PROD_meat.value(A), 500 * 1e6f / 365);
    EXPECT_FLOAT_EQ(env.CATCH_seafish.value(S), 100000 * 1e3f / 31536000.0f);
    EXPECT_FLOAT_EQ(env.OHCONC_air.value(S), 0.6e6f);
    EXPECT_FLOAT_EQ(env.V_river.value(B), 5e9f);
}

TEST(EnvironmentImport, HidesWhatDoesNotApplyAndDefaultsSeaClimate) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    EXPECT_EQ(env.Fair_agr.status(S), stHidden);
    EXPECT_EQ(env.Foc_seased.status(A), stHidden);
    EXPECT_EQ(env.Foc_seased.status(S), stImported);
    EXPECT_EQ(env.WINDSPEED.value(S), 9.0f);
    EXPECT_EQ(env.WINDSPEED.status(S), stDefault);
    EXPECT_EQ(env.RAINDAYS.value(S), 250.0f);
    EXPECT_EQ(env.RAINDAYS.status(S), stDefault);
    EXPECT_EQ(env.FROSTMONTHS.value(S), 0.0f);
    EXPECT_EQ(env.FROSTMONTHS.status(S), stDefault);
    EXPECT_EQ(env.WINDSPEED.status(A), stImported);
    // Bland has no lakes: its lake residence time and evaporation are unknown.
    EXPECT_EQ(env.RESTIME_lake.status(B), stUnknown);
    EXPECT_EQ(env.EVAPrate_lake.status(B), stUnknown);
    EXPECT_EQ(env.RESTIME_lake.status(A), stImported);
    EXPECT_TRUE(env.AREA_lake.used(B)); // read by the lake test
    // Scalars keep their catalogue defaults.
    EXPECT_EQ(env.RHO_air.value, 1.3f);
    EXPECT_EQ(env.RHO_air.status, stDefault);
}

TEST(EnvironmentImport, ReadsBordersAndFlowsBothWays) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    EXPECT_EQ(env.BORDERLENGTH.value(A, B), 100000.0f);
    EXPECT_EQ(env.BORDERLENGTH.value(B, A), 100000.0f);
    EXPECT_EQ(env.BORDERLENGTH.value(A, S), 50000.0f);
    EXPECT_EQ(env.BORDERLENGTH.value(S, A), 50000.0f);
    EXPECT_EQ(env.BORDERLENGTH.value(A, A), 0.0f);
    EXPECT_EQ(env.BORDERLENGTH.status(A, A), stImported); // empty cell reads 0
    EXPECT_EQ(env.FLOW_river_river.value(A, B), static_cast<float>(10 * 1e9L / 31536000.0L));
    EXPECT_EQ(env.FLOW_river_river.status(B, A), stImported);
    EXPECT_EQ(env.FLOW_river_river.status(A, S), stHidden);
    EXPECT_EQ(env.FLOW_river_river.status(S, A), stHidden);
    EXPECT_EQ(env.FLOW_river_seawater.status(A, B), stHidden);
    EXPECT_EQ(env.FLOW_river_seawater.status(B, S), stImported);
    EXPECT_EQ(env.FLOW_seawater_seawater.status(S, S), stImported);
    EXPECT_EQ(env.FLOW_seawater_seawater.status(A, S), stHidden);
    EXPECT_EQ(env.FLOW_groundwater_seawater.status(S, S), stHidden);
}

TEST(EnvironmentImport, MissingHeaderWarnsAndLeavesTheParameter) {
    Tsmallworld world = Tsmallworld::standard();
    world.omitcountryheaders = {"BW"};
    Tworld w(world);
    w.read();
    ASSERT_EQ(w.ui.warnings.size(), 1u);
    EXPECT_EQ(w.ui.warnings[0], "BW not found in ENVDATA2part1.xlsx");
    EXPECT_EQ(w.ws.env.BW.status(A), stUnknown);
    EXPECT_EQ(w.ws.env.Npop.status(A), stImported); // the import went on
    EXPECT_TRUE(w.ws.env.present);
}

TEST(EnvironmentImport, BadCellStopsTheImportNamingWhereItIsAndLeavesTheEnvironmentAbsent) {
    for (std::string bad : {"abc", "1,5", ""}) {
        Tsmallworld world = Tsmallworld::standard();
        world.countries[1].values["TEMP"] = bad;
        Tworld w(world);
        try {
            w.read();
            FAIL() << "no error for '" << bad << "'";
        } catch (const EConvertError& e) {
            std::string m = e.what();
            EXPECT_EQ(m.rfind("ENVDATA2part1.xlsx sheet \"countryparameters\" cell ", 0), 0u) << m;
            EXPECT_NE(m.find("17 (TEMP, Bland): '" + bad + "' is not a valid num value"),
                      std::string::npos)
                << m;
        }
        EXPECT_FALSE(w.ws.env.present);
        EXPECT_EQ(w.ws.env.Fair_agr.status(A), stUnknown); // nothing of it was kept
        EXPECT_EQ(w.ui.openprogress, 0);
    }
}

// 1e39 would be stored as infinity and fail much later as a division by
// zero; a value that overflows only through its unit factor is refused too.
TEST(EnvironmentImport, NumbersBeyondSinglePrecisionAreRefusedNamingTheCell) {
    const std::pair<const char*, const char*> cases[] = {
        {"TEMP", "1e39"}, {"TEMP", "-1e300"}, {"SYSTEMAREA", "1e35"}};
    for (const auto& [parameter, text] : cases) {
        Tsmallworld world = Tsmallworld::standard();
        world.countries[0].values[parameter] = text;
        Tworld w(world);
        try {
            w.read();
            ADD_FAILURE() << "no error for " << text;
        } catch (const EConvertError& e) {
            std::string m = e.what();
            // The workbook holds a number, read back in its shortest form.
            EXPECT_NE(m.find(std::string("16 (") + parameter + ", Aland): '"), std::string::npos)
                << m;
            EXPECT_NE(m.find("beyond the range of a single-precision number"), std::string::npos)
                << m;
        }
        EXPECT_FALSE(w.ws.env.present);
    }
}
TEST(EnvironmentImport, ZeroPopulationHidesIntakes) {
    Tsmallworld world = Tsmallworld::standard();
    world.countries[0].values["Npop"] = "0";
    Tworld w(world);
    w.read();
    Tenv& env = w.ws.env;
    for (Tnumpars* p : {&env.IH_drw, &env.IH_freshwaterfish, &env.IH_seafish, &env.IH_leafcrops,
                        &env.IH_rootcrops, &env.IH_meat, &env.IH_dairy, &env.IH_air})
        EXPECT_EQ(p->status(A), stHidden) << p->name();
    EXPECT_EQ(env.IH_air.status(B), stImported);
}

TEST(EnvironmentImport, ConsistencyCheckReportsAsymmetricBordersFromBothSides) {
    Tsmallworld world = Tsmallworld::standard();
    world.pairs["BORDERLENGTH(countries)"][{"Aland", "Bland"}] = 12;
    world.pairs["BORDERLENGTH(countries)"][{"Bland", "Aland"}] = 13;
    Tworld w(world);
    w.read();
    ASSERT_EQ(w.ui.warnings.size(), 2u);
    EXPECT_EQ(w.ui.warnings[0], "BORDERLENGTH(Aland,Bland)");
    EXPECT_EQ(w.ui.warnings[1], "BORDERLENGTH(Bland,Aland)");
}

TEST(EnvironmentImport, ConsistencyCheckReportsFlowsWithoutBorder) {
    Tsmallworld world = Tsmallworld::standard();
    world.pairs["BORDERLENGTH(countries)"].clear();
    Tworld w(world);
    w.read();
    ASSERT_EQ(w.ui.warnings.size(), 1u);
    EXPECT_EQ(w.ui.warnings[0], "FLOW_river_river(Aland,Bland)");
}

// Every value, status and used flag of the environment, in catalogue order.
static std::vector<std::string> everyvalue(const Tenv& env) {
    std::vector<std::string> lines;
    for (const Tenventry& e : env.catalogue()) {
        std::visit(
            [&](auto* p) {
                using P = std::decay_t<decltype(*p)>;
                if constexpr (std::is_same_v<P, Tnumpar>) {
                    lines.push_back(p->name() + "=" + std::to_string(p->value) + p->status +
                                    (p->used ? "u" : ""));
                } else if constexpr (std::is_same_v<P, Tnumparss>) {
                    for (std::uint32_t r = 1; r <= p->values.rows(); ++r)
                        for (std::uint32_t c = 1; c <= p->values.cols(); ++c)
                            lines.push_back(p->name() + std::to_string(r) + "," +
                                            std::to_string(c) + "=" +
                                            std::to_string(p->value(r, c)) + p->status(r, c) +
                                            (p->used(r, c) ? "u" : ""));
                } else {
                    lines.push_back(p->name() + "#" + std::to_string(p->count()) + "/" +
                                    std::to_string(p->statuses.count()) + "/" +
                                    std::to_string(p->useds.count()));
                    for (std::uint32_t i = 1; i <= p->count(); ++i) {
                        std::ostringstream v;
                        v << p->value(i);
                        lines.push_back(p->name() + std::to_string(i) + "=" + v.str() +
                                        p->status(i) + (p->used(i) ? "u" : ""));
                    }
                }
            },
            e.parameter);
    }
    lines.push_back(std::string("flags ") + (env.present ? "P" : "-") + (env.changed ? "C" : "-") +
                    (env.bordersmissing ? "B" : "-"));
    return lines;
}

// A read environment with edits and used flags of its own, as a user has it.
static void makeitlived(Tworld& w) {
    w.read();
    ASSERT_TRUE(w.ws.env.present);
    w.ws.env.TEMP.set(A, 300, stEdited);
    (void)w.ws.env.AREA_lake.get(A);
    w.ws.env.BORDERLENGTH.set(A, B, 4242, stEdited);
    (void)w.ws.env.BORDERLENGTH.get(B, A);
    w.ws.env.changed = false;
}

TEST(EnvironmentImport, CancelAtAnyStepLeavesTheEnvironmentValueForValue) {
    // Polls: one per parameter of the first step, then per row and per sheet
    // of the second, then per region of the consistency check (which only
    // warns, so a cancel there keeps the import). Every other poll is a
    // place to cancel.
    long total = 0;
    {
        Tworld probe(Tsmallworld::standard());
        probe.read();
        total = probe.ui.polls;
    }
    ASSERT_GT(total, 80);
    for (long k = 0; k < total - 3; k += 6) {
        Tworld w(Tsmallworld::standard());
        makeitlived(w);
        std::vector<std::string> before = everyvalue(w.ws.env);
        w.ui.cancelafterpolls = w.ui.polls + k;
        w.ws.openenvironmentworkbook();
        bool done =
            w.ws.env.import(true, true, w.ws.EnvironmentWorkbook, w.ws.settings.BordersFile);
        EXPECT_FALSE(done) << k;
        EXPECT_EQ(everyvalue(w.ws.env), before) << "cancelled after " << k << " polls";
        EXPECT_FALSE(w.ws.EnvironmentWorkbook); // closed either way
    }
}

TEST(EnvironmentImport, CancelledStartUpImportIsNotPresent) {
    Tworld w(Tsmallworld::standard());
    w.ui.cancelafterpolls = 0;
    w.read();
    EXPECT_FALSE(w.ws.env.present);
    EXPECT_EQ(w.ws.env.Fair_agr.status(A), stUnknown);
}

TEST(EnvironmentImport, FailedImportsLeaveTheEnvironmentValueForValue) {
    Tworld w(Tsmallworld::standard());
    makeitlived(w);
    std::vector<std::string> before = everyvalue(w.ws.env);
    // A bad cell in the first workbook (an exception).
    Tsmallworld bad = Tsmallworld::standard();
    bad.seas[0].values["TEMP"] = "warm";
    bad.writeparameters(w.ws.settings.ParametersFile);
    w.ws.openenvironmentworkbook();
    EXPECT_THROW(w.ws.env.import(true, true, w.ws.EnvironmentWorkbook, w.ws.settings.BordersFile),
                 EConvertError);
    EXPECT_EQ(everyvalue(w.ws.env), before);
    // A second workbook that lacks a sheet (a warning, false).
    Tsmallworld::standard().writeparameters(w.ws.settings.ParametersFile);
    velmora::testing::writeworkbook(w.ws.settings.BordersFile, {{"BORDERLENGTH(countries)", {}}});
    w.ws.openenvironmentworkbook();
    EXPECT_FALSE(w.ws.env.import(true, true, w.ws.EnvironmentWorkbook, w.ws.settings.BordersFile));
    EXPECT_EQ(everyvalue(w.ws.env), before);
    // The same workbooks read whole are taken: the edits are gone.
    Tsmallworld::standard().writeborders(w.ws.settings.BordersFile);
    w.ws.openenvironmentworkbook();
    EXPECT_TRUE(w.ws.env.import(true, true, w.ws.EnvironmentWorkbook, w.ws.settings.BordersFile));
    EXPECT_NE(everyvalue(w.ws.env), before);
    EXPECT_EQ(w.ws.env.TEMP.status(A), stImported);
}

TEST(EnvironmentImport, MissingFirstWorkbookWarnsWithTheFileAndLeavesNoEnvironment) {
    Ttempdir dir;
    Trecorderui ui;
    Tworkspace ws(ui, dir.path().string());
    ws.readenvironment();
    EXPECT_FALSE(ws.env.present);
    EXPECT_EQ(ws.regions.count, 0u);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find(ws.settings.ParametersFile), std::string::npos);
}

TEST(EnvironmentImport, MissingSheetInTheSecondWorkbookWarnsAndKeepsNothing) {
    Tworld w(Tsmallworld::standard(), false);
    velmora::testing::writeworkbook(w.ws.settings.BordersFile, {{"BORDERLENGTH(countries)", {}}});
    w.read();
    EXPECT_FALSE(w.ws.env.present);
    EXPECT_TRUE(w.ws.env.bordersmissing);
    ASSERT_EQ(w.ui.warnings.size(), 1u);
    EXPECT_NE(w.ui.warnings[0].find("BORDERLENGTH(seas)"), std::string::npos);
    EXPECT_EQ(w.ws.env.BORDERLENGTH.status(A, B), stUnknown);
    EXPECT_EQ(w.ws.env.TEMP.status(A), stUnknown);
}

TEST(EnvironmentImport, MissingSecondWorkbookWarnsOnceAndLeavesTheEnvironmentAbsent) {
    Tworld w(Tsmallworld::standard(), false);
    w.read();
    ASSERT_EQ(w.ui.warnings.size(), 1u);
    EXPECT_NE(w.ui.warnings[0].find(w.ws.settings.BordersFile), std::string::npos);
    EXPECT_FALSE(w.ws.env.present);
    // The first workbook alone gives no environment to calculate.
    w.ws.openenvironmentworkbook();
    EXPECT_TRUE(w.ws.env.import(true, false, w.ws.EnvironmentWorkbook, ""));
    EXPECT_FALSE(w.ws.env.present);
    Tsmallworld::standard().writeborders(w.ws.settings.BordersFile);
    w.read();
    EXPECT_TRUE(w.ws.env.present);
    w.ws.openenvironmentworkbook();
    w.ws.env.import(true, false, w.ws.EnvironmentWorkbook, w.ws.settings.BordersFile);
    EXPECT_TRUE(w.ws.env.present);
}

TEST(Aggregation, ContinentLevelReplacesMembersByTheGroupRow) {
    Tworld w(Tsmallworld::standard());
    w.ws.settings.AggregationLevel = 1;
    w.ws.settings.AggregationGroup = "Europa";
    w.read();
    const Tregions& r = w.ws.regions;
    ASSERT_EQ(r.count, 2u);
    EXPECT_EQ(r.name(1), "Europa");
    EXPECT_TRUE(r.island(1));
    EXPECT_EQ(r.rows.getvalue(1), 19u);
    EXPECT_EQ(r.name(2), "Asea");
    // The group region borders the sea from its own row, both ways.
    EXPECT_EQ(w.ws.env.BORDERLENGTH.status(1, 1), stImported);
    EXPECT_EQ(w.ws.env.TEMP.value(1), 288.0f);
}

TEST(Aggregation, OceanLevelReplacesSeasByTheGroupRow) {
    Tworld w(Tsmallworld::standard());
    w.ws.settings.AggregationLevel = 2;
    w.ws.settings.AggregationGroup = "Oceanus";
    w.read();
    const Tregions& r = w.ws.regions;
    ASSERT_EQ(r.count, 3u);
    EXPECT_EQ(r.name(3), "Oceanus");
    EXPECT_FALSE(r.island(3));
    EXPECT_EQ(r.nsea, 1u);
}

TEST(Aggregation, GroupingLevelsLeaveMembersOut) {
    struct Tcase {
        std::uint8_t level;
        std::string group;
        std::vector<std::string> names;
    };
    const Tcase cases[] = {
        {0, "", {"Aland", "Bland", "Asea"}},    {15, "anything", {"Aland", "Bland", "Asea"}},
        {3, "U1", {"Bland", "Europa", "Asea"}}, {7, "UCTE", {"Bland", "Asea"}},
        {11, "OECD", {"Bland", "Asea"}},        {14, "Land", {"Asea"}},
        {14, "Sea", {"Aland", "Bland"}},
    };
    for (const Tcase& c : cases) {
        Tsmallworld world = Tsmallworld::standard();
        world.countrygroups[0].name = c.level == 3 ? "U1" : "Europa";
        Tworld w(world);
        w.ws.settings.AggregationLevel = c.level;
        w.ws.settings.AggregationGroup = c.group;
        w.read();
        std::vector<std::string> names;
        for (std::uint32_t i = 1; i <= w.ws.regions.count; ++i)
            names.push_back(w.ws.regions.name(i));
        std::vector<std::string> expected = c.names;
        if (c.level == 3) expected = {"Bland", "U1", "Asea"};
        EXPECT_EQ(names, expected) << "level " << int(c.level) << " " << c.group;
        EXPECT_TRUE(w.ws.env.present);
    }
}

TEST(Aggregation, DistinctValuesInOrderOfFirstAppearance) {
    Tworld w(Tsmallworld::standard());
    w.read();
    const Tregions& r = w.ws.regions;
    ASSERT_EQ(r.distinctvalues[gUNDP].count(), 2u);
    EXPECT_EQ(r.distinctvalues[gUNDP].getvalue(1), "U1");
    EXPECT_EQ(r.distinctvalues[gUNDP].getvalue(2), "U2");
    EXPECT_EQ(r.distinctvalues[gGLO].count(), 1u);
    EXPECT_EQ(r.distinctvalues[gNearEast].count(), 0u);
    EXPECT_EQ(r.distinctvalues[gLandsea].count(), 2u);
    EXPECT_EQ(r.find("Bland"), 2u);
    EXPECT_EQ(r.find("Nowhere"), 0u);
}

TEST(Aggregation, MissingGroupRowReadsTheWholeWorldWithAWarning) {
    Tworld w(Tsmallworld::standard());
    w.ws.settings.AggregationLevel = 4;
    w.ws.settings.AggregationGroup = "G1";
    w.read();
    EXPECT_EQ(w.ws.regions.count, 3u);
    ASSERT_FALSE(w.ui.warnings.empty());
    EXPECT_EQ(w.ui.warnings[0].rfind("G1 has no group row", 0), 0u);
}

TEST(EnvironmentCatalogue, HoldsTheParametersInOrderWithDefaults) {
    Trecorderui ui;
    Ttempdir dir;
    Tworkspace ws(ui, dir.path().string());
    const auto& cat = ws.env.catalogue();
    ASSERT_EQ(cat.size(), 144u);
    EXPECT_EQ(cat.front().name(), "name");
    EXPECT_EQ(cat[8].name(), "UNDP region code");
    EXPECT_EQ(cat[19].name(), "land/sea");
    EXPECT_EQ(cat[134].name(), "BORDERLENGTH");
    EXPECT_EQ(cat.back().name(), "FLOW_groundwater_agr");
    EXPECT_EQ(ws.env.find("Qtransp")->unit(), "m^3*s^-1");
    EXPECT_EQ(ws.env.find("nothing"), nullptr);
    // Cleared by construction, defaults only by setdefaults.
    EXPECT_EQ(ws.env.RHO_air.status, stUnknown);
    ws.env.setdefaults();
    EXPECT_EQ(ws.env.RHO_air.value, 1.3f);
    EXPECT_EQ(ws.env.Qtransp.value, 1.1574074e-8f);
}

TEST(EnvironmentCatalogue, DefaultsFillEveryRegionAfterClear) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    env.clear();
    env.setdefaults();
    EXPECT_FALSE(env.present);
    for (std::uint32_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(env.WINDSPEED.value(i), 9.0f);
        EXPECT_EQ(env.WINDSPEED.status(i), stDefault);
        EXPECT_EQ(env.IH_seafish.value(i), 0.011f);
        EXPECT_EQ(env.TEMP.status(i), stUnknown);
    }
    EXPECT_EQ(env.BORDERLENGTH.count(), 3u);
    EXPECT_EQ(env.BORDERLENGTH.status(2, 3), stUnknown);
}

TEST(EnvironmentCatalogue, CheckListsUnusedDefaultsAndReadNegatives) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    env.clear();
    env.setdefaults();
    std::vector<std::string> lines;
    env.check(lines, true, true);
    // Every default-valued value is unused; nothing is negative.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "RHO_air not used"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "WINDSPEED[Asea] not used"), lines.end());
    for (const auto& l : lines)
        EXPECT_EQ(l.find("< 0"), std::string::npos) << l;
    std::size_t expected = 0;
    for (const auto& e : env.catalogue()) {
        if (auto* s = std::get_if<Tnumpar*>(&e.parameter)) expected += (*s)->isknown();
        if (auto* v = std::get_if<Tnumpars*>(&e.parameter))
            for (std::uint32_t i = 1; i <= 3; ++i)
                expected += (*v)->isknown(i);
    }
    EXPECT_EQ(lines.size(), expected);
    // A negative value that was read is reported once, and no longer as unused.
    env.TEMP.set(1, -5, stEdited);
    env.TEMP.get(1);
    env.RHO_water.set(-1, stEdited);
    lines.clear();
    env.check(lines, true, true);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "TEMP[Aland] < 0"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "RHO_water not used"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "RHO_water < 0"), lines.end());
}

TEST(EnvironmentCatalogue, EditRefusesFixedValuesAndEditsAllRegions) {
    Tworld w(Tsmallworld::standard());
    w.read();
    Tenv& env = w.ws.env;
    env.changed = false;
    env.edit("latitude", 2);
    ASSERT_EQ(w.ui.warnings.size(), 1u);
    EXPECT_EQ(w.ui.warnings[0], "latitude[Bland] is non-editable");
    EXPECT_TRUE(w.ui.editrequests.empty());
    EXPECT_FALSE(env.changed);
    // All regions of a parameter the region list fixes: refused, naming it,
    // so that no region loses its own latitude.
    w.ui.editanswers.push_back({true, true, "40"});
    env.edit("latitude", 0);
    ASSERT_EQ(w.ui.warnings.size(), 2u);
    EXPECT_EQ(w.ui.warnings[1], "latitude is non-editable");
    EXPECT_TRUE(w.ui.editrequests.empty());
    EXPECT_EQ(env.latitude.value(1), 50.0f);
    EXPECT_EQ(env.latitude.status(1), stFixed);
    EXPECT_FALSE(env.changed);
    // All regions of an imported parameter: the mean is offered and the
    // answer replaces every value.
    env.RAINRATE.set(1, 1.0f, stImported);
    env.RAINRATE.set(2, 2.0f, stImported);
    env.RAINRATE.set(3, 6.0f, stImported);
    env.edit("RAINRATE", 0);
    ASSERT_EQ(w.ui.editrequests.size(), 1u);
    EXPECT_EQ(w.ui.editrequests[0].valuetext, "3");
    EXPECT_EQ(w.ui.editrequests[0].statusword, "?");
    for (std::uint32_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(env.RAINRATE.value(i), 40.0f);
        EXPECT_EQ(env.RAINRATE.status(i), stEdited);
    }
    EXPECT_TRUE(env.changed);
    // Pair and text parameters are not edited.
    env.changed = false;
    env.edit("BORDERLENGTH", 3);
    env.edit("continent", 1);
    EXPECT_FALSE(env.changed);
    EXPECT_EQ(w.ui.editrequests.size(), 1u);
    // A scalar.
    w.ui.editanswers.push_back({true, true, "1.2"});
    env.edit("RHO_air", 0);
    EXPECT_EQ(env.RHO_air.value, 1.2f);
    EXPECT_EQ(env.RHO_air.status, stEdited);
    EXPECT_EQ(w.ui.editrequests.back().regionlabel, "All");
}
