#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/cli/commands.h"
#include "app/workspace.h"
#include "numeric/checksum.h"
#include "numeric/utilities.h"
#include "support/cliworld.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

using namespace velmora;
using velmora::testing::Tsmallworld;
using velmora::testing::Ttempdir;

namespace {

struct Tcli : velmora::testing::Tcliworld {
    std::vector<std::vector<std::string>> lines() const {
        std::vector<std::vector<std::string>> rows;
        std::istringstream in(out.str());
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::string rest = line;
            while (!rest.empty() || fields.size() < 4) {
                fields.push_back(splitfield(rest));
                if (rest.empty()) break;
            }
            rows.push_back(fields);
        }
        return rows;
    }
};

} // namespace

TEST(Cli, DumpEnvironmentWritesEveryValueOfEveryParameter) {
    Tcli cli;
    ASSERT_EQ(cli.run({"dump", "environment"}), 0) << cli.err.str();
    auto rows = cli.lines();
    std::set<std::string> names;
    std::size_t pairs = 0;
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 4u);
        names.insert(r[0]);
        if (r[0] == "BORDERLENGTH") ++pairs;
    }
    EXPECT_EQ(names.size(), 144u);
    EXPECT_EQ(pairs, 9u); // 3 x 3 region pairs
    // Scalars have an empty region, values read back exactly, "inf" for infinite.
    auto find = [&](const std::string& name, const std::string& where) {
        for (const auto& r : rows)
            if (r[0] == name && r[1] == where) return r;
        return std::vector<std::string>();
    };
    EXPECT_EQ(find("RHO_air", ""), (std::vector<std::string>{"RHO_air", "", "1.3", "D"}));
    EXPECT_EQ(find("TEMP", "Aland"), (std::vector<std::string>{"TEMP", "Aland", "288", "I"}));
    EXPECT_EQ(strtonum(find("BORDERLENGTH", "Aland,Bland")[2]), 100000);
    EXPECT_EQ(find("land", "Asea")[2], "FALSE");
    EXPECT_EQ(find("Fair_agr", "Asea")[3], "H");
    // The text reads back to exactly the stored float.
    float rain =
        static_cast<float>(static_cast<long double>(static_cast<float>(1e-3L / 31536000.0L)) * 700);
    EXPECT_EQ(static_cast<float>(strtonum(find("RAINRATE", "Aland")[2])), rain);
}

TEST(Cli, AggregationOptionsReadTheGroupedWorld) {
    Tcli cli;
    ASSERT_EQ(cli.run({"dump", "environment", "--level", "14", "--group", "Land"}), 0);
    for (const auto& r : cli.lines())
        if (r[0] == "name") {
            EXPECT_EQ(r[1], "Asea");
        }
}

TEST(Cli, ListAndDumpSubstance) {
    Tcli cli;
    ASSERT_EQ(cli.run({"list", "substances", "--substances", cli.substances}), 0) << cli.err.str();
    EXPECT_EQ(cli.out.str(), "Nitrobenzene\nGasone\n");
    cli.out.str("");
    ASSERT_EQ(
        cli.run({"dump", "substance", "--substances", cli.substances, "--substance", "Gasone"}), 0)
        << cli.err.str();
    bool sawtype = false, sawfactor = false;
    for (const auto& r : cli.lines()) {
        if (r[0] == "substype") {
            EXPECT_EQ(r[2], "gas");
            sawtype = true;
        }
        if (r[0] == "K_airwater") {
            EXPECT_EQ(r[2], "inf");
        }
        if (r[0] == "SFtox_seawater" && r[1] == "Asea") {
            EXPECT_EQ(r[3], "D");
            sawfactor = true;
        }
    }
    EXPECT_TRUE(sawtype);
    EXPECT_TRUE(sawfactor);
}

TEST(Cli, BadArgumentsFailWithAMessage) {
    Tcli cli;
    EXPECT_EQ(cli.run({"dump", "substance", "--substances", cli.substances, "--substance", "Nope"}),
              1);
    EXPECT_NE(cli.err.str().find("unknown substance \"Nope\""), std::string::npos);
    EXPECT_EQ(cli.run({"dump", "environment", "--bogus"}), 1);
    EXPECT_EQ(cli.run({"frobnicate"}), 2);
    EXPECT_EQ(cli.run({"dump", "environment", "--level", "16"}), 1);
    std::ostringstream out, err;
    EXPECT_EQ(
        runcli({"dump", "environment", "--parameters", cli.dir.file("missing.xlsx")}, out, err), 1);
    EXPECT_NE(err.str().find("no environment was imported"), std::string::npos);
    EXPECT_EQ(runcli({"calculate", "--parameters", cli.parameters}, out, err), 1);
}

TEST(Cli, BadCellFailsWithTheConversionMessage) {
    Tcli cli;
    Tsmallworld w = Tsmallworld::standard();
    w.countries[0].values["BW"] = "seventy";
    w.writeparameters(cli.parameters);
    EXPECT_EQ(cli.run({"dump", "environment"}), 1);
    EXPECT_NE(cli.err.str().find("'seventy' is not a valid num value"), std::string::npos);
}

TEST(Cli, CalculateWritesTheTablesAndTellsTheResidual) {
    Tcli cli;
    std::string out = cli.dir.file("out");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--emission",
                       "Bland:agricultural soil", "--with-restime", "--out", out}),
              0)
        << cli.err.str();
    EXPECT_NE(cli.out.str().find("MSR\t"), std::string::npos);
    EXPECT_NE(cli.out.str().find("time\tsolve\t"), std::string::npos);
    for (const char* f : {"results.tsv", "regcomps.tsv", "flows.tsv"})
        EXPECT_TRUE(std::filesystem::exists(out + "/" + f)) << f;
    // The emitting regcomp holds the emission in the regcomp table.
    std::ifstream regcomps(out + "/regcomps.tsv");
    std::string line;
    bool found = false;
    while (std::getline(regcomps, line))
        if (line.rfind("15\tBland\tagricultural soil\tTRUE\t", 0) == 0) {
            found = true;
            EXPECT_NE(line.find("\t1\t"), std::string::npos) << line; // EMIS
        }
    EXPECT_TRUE(found);
}

TEST(Cli, CalculateWithTheStartUpEmissionReportsTheStartUpSteps) {
    Tcli cli;
    std::string out = cli.dir.file("startup");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--out", out}), 0)
        << cli.err.str();
    // No second calculation runs, so the timings are those of the start-up's own.
    for (const char* step : {"time\tstart-up\t", "time\tModel parameters\t", "time\tsolve\t"})
        EXPECT_NE(cli.out.str().find(step), std::string::npos) << step;
    EXPECT_EQ(cli.out.str().find("time\tcalculation\t"), std::string::npos);
}

TEST(Cli, CalculateInFactorsModeWritesTheFactorMatrices) {
    Tcli cli;
    std::string out = cli.dir.file("factors");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--factors", "--out", out}), 0)
        << cli.err.str();
    for (const char* f :
         {"FF.tsv", "XF1.tsv", "XF2.tsv", "XF.tsv", "XF_FF.tsv", "EFeco.tsv", "EFhum.tsv"})
        EXPECT_TRUE(std::filesystem::exists(out + "/" + f)) << f;
    EXPECT_GT(std::filesystem::file_size(out + "/FF.tsv"), 100u);
}

TEST(Cli, CalculateRefusesUnknownRegionsAndCompartments) {
    Tcli cli;
    std::string out = cli.dir.file("out");
    EXPECT_EQ(cli.run({"calculate", "--substances", cli.substances, "--emission", "Nowhere:air",
                       "--out", out}),
              1);
    EXPECT_NE(cli.err.str().find("unknown region \"Nowhere\""), std::string::npos);
    EXPECT_EQ(cli.run({"calculate", "--substances", cli.substances, "--emission", "Aland:magma",
                       "--out", out}),
              1);
    EXPECT_NE(cli.err.str().find("unknown compartment \"magma\""), std::string::npos);
    EXPECT_EQ(
        cli.run({"calculate", "--substances", cli.substances, "--emission", "Aland", "--out", out}),
        1);
}

// ---- the program's sequence and the provenance of a run ---------------------

namespace {

// Two organics with effects, so that the characterisation factors depend on
// the reference, and the start-up substance first.
struct Tcliwitheffects : Tcli {
    // more: further substance rows after Nitrobenzene and Second.
    explicit Tcliwitheffects(const std::vector<std::vector<std::string>>& more = {}) {
        velmora::testing::Tsheetspec sheet{"VELMORA", {}};
        const std::vector<std::string> headers = {
            "CAS",      "substype",       "name",           "MOLW",           "VP_TEMPtest",
            "SOL",      "Kow",            "TEMPmelt",       "EFFECT_aquatox", "EFFECT_seatox",
            "EFFECT_terrtox", "EFFECThum_noncarc"};
        std::vector<std::vector<std::string>> rows = {
            {"98-95-3", "nitrobenzene", "Nitrobenzene", "0.123", "20", "15", "70", "279", "1e-3",
             "1e-3", "1e-4", "1e-2"},
            {"1-1-1", "organic (unclassified)", "Second", "0.2", "0.5", "2", "5000", "320", "1e-5",
             "2e-5", "1e-6", "3"}};
        rows.insert(rows.end(), more.begin(), more.end());
        for (std::size_t c = 0; c < headers.size(); ++c) {
            sheet.set(2, static_cast<std::uint32_t>(c + 3), headers[c]);
            for (std::size_t r = 0; r < rows.size(); ++r)
                sheet.set(static_cast<std::uint32_t>(r + 4), static_cast<std::uint32_t>(c + 3),
                          rows[r][c]);
        }
        velmora::testing::writeworkbook(substances, {sheet});
    }
    // name<TAB>where -> value<TAB>status of a results table.
    static std::map<std::string, std::string> table(const std::string& file) {
        std::map<std::string, std::string> rows;
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            std::size_t second = line.find('\t', line.find('\t') + 1);
            rows[line.substr(0, second)] = line.substr(second + 1);
        }
        return rows;
    }
};

} // namespace

TEST(Cli, CalculateGivesWhatTheProgramShowsAfterTheSameMenuActions) {
    Tcliwitheffects cli;
    std::string out = cli.dir.file("second");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--substance", "Second",
                       "--emission", "Aland:air", "--out", out}),
              0)
        << cli.err.str();
    auto cliresults = Tcliwitheffects::table(out + "/results.tsv");

    // The main window: start-up, Substance > Open "Second", Emission > Set
    // Aland's air, calculate.
    Trecorderui ui;
    Tworkspace ws(ui, cli.dir.path().string());
    ws.settings.ParametersFile = cli.parameters;
    ws.settings.BordersFile = cli.borders;
    ws.settings.SubstancesFile = cli.substances;
    ws.initialize();
    ASSERT_EQ(ws.ref.substance, "Nitrobenzene");
    ws.opensubstance("Second");
    ASSERT_TRUE(ws.emi.set(ws.regions.find("Aland"), air));
    ws.calculate();

    std::size_t compared = 0;
    auto text = [&](float x) {
        return approxequal(x, ws.settings.InfValue) ? std::string("inf") : shortesttext(x);
    };
    auto compare = [&](const std::string& key, float x, char status) {
        auto it = cliresults.find(key);
        ASSERT_NE(it, cliresults.end()) << key;
        EXPECT_EQ(it->second, text(x) + "\t" + status) << key;
        ++compared;
    };
    for (const Tresultentry& e : ws.results.catalogue()) {
        if (auto* s = std::get_if<Tnumpar*>(&e.parameter))
            compare((*s)->name() + "\t", (*s)->value, (*s)->status);
        if (auto* v = std::get_if<Tnumpars*>(&e.parameter))
            for (std::uint32_t i = 1; i <= (*v)->count(); ++i)
                compare((*v)->name() + "\t" + ws.regions.name(i), (*v)->value(i), (*v)->status(i));
    }
    EXPECT_GT(compared, 500u);
    // The factors are relative to the start-up substance, so they are
    // neither hidden nor 1.
    const float cf = ws.results.CFtoxpot_humnoncarc.value;
    EXPECT_EQ(ws.results.CFtoxpot_humnoncarc.status, stDefault);
    EXPECT_GT(cf, 0);
    EXPECT_NE(cf, 1);
}

TEST(Cli, AnotherReferenceOrNone) {
    Tcliwitheffects cli;
    // The substance as its own reference at the start-up box, emitted there:
    // every factor of an effect it has is 1.
    std::string self = cli.dir.file("self");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--substance", "Second",
                       "--reference", "Second", "--out", self}),
              0)
        << cli.err.str();
    auto results = Tcliwitheffects::table(self + "/results.tsv");
    for (const char* cf : {"CFtoxpot_humnoncarc\t", "CFtoxact_river\t", "CFtoxpot_soil\t"})
        EXPECT_EQ(results[cf], "1\tD") << cf;
    // Elsewhere it is not.
    std::string elsewhere = cli.dir.file("elsewhere");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--substance", "Second",
                       "--reference", "Second:Aland:air", "--emission", "Bland:air", "--out",
                       elsewhere}),
              0)
        << cli.err.str();
    EXPECT_NE(Tcliwitheffects::table(elsewhere + "/results.tsv")["CFtoxpot_humnoncarc\t"], "1\tD");
    // No reference: the factors are hidden, run.tsv says so.
    std::string none = cli.dir.file("none");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--reference", "none",
                       "--out", none}),
              0)
        << cli.err.str();
    results = Tcliwitheffects::table(none + "/results.tsv");
    EXPECT_EQ(results["CFtoxpot_humnoncarc\t"].back(), 'H');
    EXPECT_EQ(Tcliwitheffects::table(none + "/run.tsv")["reference\tnone"], "reference\tnone")
        << "run.tsv";
    EXPECT_EQ(cli.run({"calculate", "--substances", cli.substances, "--reference", "Nothing",
                       "--out", none}),
              1);
}

TEST(Cli, RunTableNamesTheWorkbooksByChecksumAndTheReference) {
    Tcliwitheffects cli;
    std::string out = cli.dir.file("run");
    ASSERT_EQ(cli.run({"calculate", "--substances", cli.substances, "--substance", "Second",
                       "--emission", "Bland:air", "--out", out}),
              0)
        << cli.err.str();
    std::ifstream in(out + "/run.tsv");
    std::map<std::string, std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        while (!line.empty())
            fields.push_back(splitfield(line));
        std::string key = fields[0] + (fields[0] == "workbook" || fields[0] == "reference"
                                           ? " " + fields[1]
                                           : "");
        rows[key] = fields;
    }
    std::ifstream file(cli.substances, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(rows["workbook substances"].size(), 4u);
    EXPECT_EQ(rows["workbook substances"][3], sha256(bytes));
    EXPECT_EQ(rows["workbook substances"][3].size(), 64u);
    EXPECT_NE(rows["workbook parameters"][3], rows["workbook borders"][3]);
    EXPECT_EQ(rows["substance"][1], "Second");
    EXPECT_EQ(rows["emission"][1], "Bland_air");
    EXPECT_EQ(rows["reference Nitrobenzene"].size(), 3u);
    EXPECT_EQ(rows["reference IPICRtox_humnoncarc"].size(), 3u);
    EXPECT_NE(rows["command"][1].find("--substance Second"), std::string::npos);
    EXPECT_EQ(rows["MSR"].size(), 2u);
    // The checksum itself, on the standard test vector.
    EXPECT_EQ(sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

// The threads of a batch each start the program once and open one
// substance after the other; a substance that fails leaves nothing behind
// for the next. Every table equals that of the substance run on its own.
TEST(Cli, FactorsOfABatchEqualThoseOfEachSubstanceAlone) {
    Tcliwitheffects cli({{"", "organic (unclassified)", "Broken", "", "", "", "", "", "", "", "",
                          ""},
                         {"2-2-2", "metal", "Third", "0.06", "", "", "", "", "1e-4", "1e-3", "",
                          "0.5"},
                         {"3-3-3", "organic (unclassified)", "Fourth", "0.3", "0.01", "0.1", "1e5",
                          "350", "", "1e-2", "1e-3", "0.1"}});
    std::string all = cli.dir.file("all");
    EXPECT_EQ(cli.run({"factors", "--substances", cli.substances, "--all-substances",
                       "--compartments", "air,river,agr,seawater", "--out", all}),
              1);
    EXPECT_NE(cli.err.str().find("velmora-cli: Broken: "), std::string::npos)
        << cli.err.str();
    EXPECT_FALSE(std::filesystem::exists(all + "/Broken.tsv"));
    for (const char* name : {"Nitrobenzene", "Second", "Third", "Fourth"}) {
        SCOPED_TRACE(name);
        std::string alone = cli.dir.file(std::string("alone-") + name);
        ASSERT_EQ(cli.run({"factors", "--substances", cli.substances, "--substance", name,
                           "--compartments", "air,river,agr,seawater", "--out", alone}),
                  0)
            << cli.err.str();
        std::string table = Tcli::read(all + "/" + name + ".tsv");
        EXPECT_GT(std::count(table.begin(), table.end(), '\n'), 5);
        EXPECT_EQ(table, Tcli::read(alone + "/" + name + ".tsv"));
    }
}

TEST(Cli, FactorsWritesOneTablePerSubstanceWithItsReference) {
    Tcliwitheffects cli;
    std::string out = cli.dir.file("factors");
    ASSERT_EQ(cli.run({"factors", "--substances", cli.substances, "--all-substances",
                       "--compartments", "air,river", "--out", out}),
              0)
        << cli.err.str();
    for (const char* name : {"Nitrobenzene", "Second"}) {
        std::ifstream in(out + "/" + name + ".tsv");
        std::string reference, heading, line;
        ASSERT_TRUE(std::getline(in, reference)) << name;
        EXPECT_EQ(reference.rfind("# reference\tNitrobenzene\t", 0), 0u) << reference;
        std::getline(in, heading);
        EXPECT_EQ(heading.rfind("substance\tregion\tcompartment\tCFtoxpot_river", 0), 0u);
        std::set<std::string> compartments;
        int rows = 0;
        while (std::getline(in, line)) {
            ++rows;
            std::string rest = line;
            EXPECT_EQ(splitfield(rest), name);
            splitfield(rest);
            compartments.insert(splitfield(rest));
        }
        // Air of both countries and of the sea, river of both countries.
        EXPECT_EQ(rows, 5) << name;
        EXPECT_EQ(compartments, (std::set<std::string>{"air", "river water"})) << name;
    }
    EXPECT_EQ(cli.run({"factors", "--substances", cli.substances, "--substance", "Second",
                       "--compartments", "magma", "--out", out}),
              1);
    EXPECT_NE(cli.err.str().find("unknown compartment \"magma\""), std::string::npos);
}
