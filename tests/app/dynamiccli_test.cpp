// The dynamic command on the small world: its tables, run.tsv, and the
// refusal of a bad scenario row before anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "numeric/utilities.h"
#include "support/cliworld.h"

using velmora::testing::Tcliworld;

namespace {

std::vector<std::vector<std::string>> table(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream s(line);
        std::string cell;
        while (std::getline(s, cell, '\t'))
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

} // namespace

TEST(DynamicCli, WritesTheTablesOfARun) {
    Tcliworld cli;
    const std::string out = cli.dir.file("out");
    ASSERT_EQ(cli.run({"dynamic", "--substances", cli.substances, "--emission",
                       "Bland:agricultural soil", "--stop", "5y", "--until", "20y", "--times",
                       "1y,5y,20y", "--exposure-times", "2y", "--out", out}),
              0)
        << cli.err.str();
    EXPECT_NE(cli.out.str().find("world half-time\t"), std::string::npos) << cli.out.str();
    for (const char* f : {"masses.tsv", "concentrations.tsv", "regions.tsv", "compartments.tsv",
                          "balance.tsv", "derived.tsv", "exposure.tsv", "run.tsv"})
        EXPECT_TRUE(std::filesystem::exists(out + "/" + f)) << f;
    // The exposure time is an output time too; 5 years of 1 kg/s went in.
    const auto balance = table(out + "/balance.tsv");
    ASSERT_EQ(balance.size(), 5u);
    EXPECT_EQ(balance[0][2], "initial");
    for (std::size_t r = 1; r < balance.size(); ++r)
        EXPECT_LT(std::fabs(velmora::strtonum(balance[r][8])), 1e-6) << balance[r][1];
    EXPECT_EQ(balance[4][1], "20 y");
    EXPECT_NEAR(double(velmora::strtonum(balance[4][3])), 5 * 365.25 * 86400, 1);
    // Masses: a row per existing box, a column per output time.
    const auto masses = table(out + "/masses.tsv");
    ASSERT_GT(masses.size(), 1u);
    EXPECT_EQ(masses[0].size(), 3u + 4u);
    const auto exposure = table(out + "/exposure.tsv");
    ASSERT_GT(exposure.size(), 1u);
    EXPECT_EQ(exposure[0].size(), 3u);
    const std::string run = Tcliworld::read(out + "/run.tsv");
    EXPECT_NE(run.find("command\tvelmora-cli dynamic"), std::string::npos);
    EXPECT_NE(run.find("dynamic\temission\tBland_agricultural soil\t0\t157788000\t1\t1"),
              std::string::npos)
        << run;
    EXPECT_NE(run.find("dynamic\tstart\tempty"), std::string::npos);
}

TEST(DynamicCli, ABadRowStopsTheRunBeforeAnythingIsWritten) {
    Tcliworld cli;
    const std::string out = cli.dir.file("out");
    const std::string scenario = cli.dir.file("scenario.tsv");
    {
        std::ofstream f(scenario);
        f << "region\tcompartment\tfrom\tto\trate\trate_end\n"
          << "Aland\tair\t0\t2y\t1\t0\n"
          << "Bland\tsea water\t0\t2y\t1\n";
    }
    EXPECT_EQ(cli.run({"dynamic", "--substances", cli.substances, "--emissions", scenario,
                       "--until", "10y", "--out", out}),
              1);
    EXPECT_NE(cli.err.str().find(scenario + ", line 3: no emission can go to Bland_sea water"),
              std::string::npos)
        << cli.err.str();
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(cli.run({"dynamic", "--substances", cli.substances, "--until", "10y", "--times",
                       "lin:0", "--out", out}),
              1);
    EXPECT_NE(cli.err.str().find("--times: "), std::string::npos) << cli.err.str();
}
