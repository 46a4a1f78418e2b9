#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/cli/commands.h"
#include "numeric/utilities.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

using namespace velmora;
using velmora::testing::Tsmallworld;
using velmora::testing::Ttempdir;

namespace {

struct Tcli {
    Ttempdir dir;
    std::string parameters = dir.file("p.xlsx");
    std::string borders = dir.file("b.xlsx");
    std::string substances = dir.file("s.xlsx");
    std::ostringstream out, err;

    Tcli() {
        Tsmallworld w = Tsmallworld::standard();
        w.writeparameters(parameters);
        w.writeborders(borders);
        velmora::testing::Tsheetspec sheet{"VELMORA", {}};
        const char* headers[] = {"CAS",         "substype", "name", "MOLW",
                                 "VP_TEMPtest", "SOL",      "Kow",  "TEMPmelt"};
        for (int c = 0; c < 8; ++c)
            sheet.set(2, c + 3, headers[c]);
        const char* first[] = {"98-95-3", "nitrobenzene", "Nitrobenzene", "0.123",
                               "20",      "15",           "70",           "279"};
        const char* second[] = {"", "gas", "Gasone", "0.05", "", "", "", ""};
        for (int c = 0; c < 8; ++c) {
            sheet.set(4, c + 3, first[c]);
            sheet.set(5, c + 3, second[c]);
        }
        velmora::testing::writeworkbook(substances, {sheet});
    }
    int run(std::vector<std::string> args) {
        for (const std::string& o :
             std::vector<std::string>{"--parameters", parameters, "--borders", borders})
            args.push_back(o);
        return runcli(args, out, err);
    }
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
