// Exit codes of the command-line tool: 0 only when everything asked for was
// written; refused choices and write failures give 1 with the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/cliworld.h"

using namespace velmora;
using velmora::testing::Tsmallworld;
using velmora::testing::Ttempdir;

namespace {

// Every exit-code case reads the substance workbook too.
struct Tcliworld : velmora::testing::Tcliworld {
    int run(std::vector<std::string> args, std::ostream* to = nullptr) {
        return velmora::testing::Tcliworld::run(std::move(args), true, to);
    }
};

} // namespace

TEST(CliExit, EmissionIntoABoxTheRegionLacksIsRefused) {
    Tcliworld cli;
    std::string out = cli.dir.file("out");
    EXPECT_EQ(cli.run({"calculate", "--emission", "Aland:sea water", "--out", out}), 1);
    EXPECT_NE(cli.err.str().find("no emission can go to Aland_"), std::string::npos)
        << cli.err.str();
    EXPECT_EQ(cli.run({"calculate", "--emission", "Asea:river water", "--out", out}), 1);
    EXPECT_FALSE(std::filesystem::exists(out + "/results.tsv"));
}

TEST(CliExit, AggregationsTheWorkbookCannotBuildAreRefused) {
    struct Tcase {
        std::vector<std::string> options;
        std::string message;
    };
    const Tcase cases[] = {
        {{"--level", "15"}, "aggregation level 15 (World) is not available"},
        {{"--level", "3"}, "aggregation level 3 needs a group"},
        {{"--level", "3", "--group", "Nowhere"}, "\"Nowhere\" is not a group of level 3"},
        {{"--level", "1", "--group", "Atlantis"}, "\"Atlantis\" is not a group of level 1"},
        {{"--level", "2", "--group", "Europa"}, "\"Europa\" is not a group of level 2"},
        {{"--level", "14", "--group", "Ocean"}, "is not a group of level 14"},
        {{"--level", "16"}, "--level must be 0..15"}};
    for (const Tcase& c : cases) {
        Tcliworld cli;
        std::vector<std::string> args = {"dump", "environment"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(cli.run(args), 1) << c.message;
        EXPECT_NE(cli.err.str().find(c.message), std::string::npos) << cli.err.str();
        EXPECT_EQ(cli.out.str(), "");
    }
    // A group the world has is read.
    Tcliworld cli;
    EXPECT_EQ(cli.run({"dump", "environment", "--level", "14", "--group", "Sea"}), 0)
        << cli.err.str();
}

TEST(CliExit, StandardOutputThatCannotBeWrittenIsAnError) {
    Tcliworld cli;
    std::ostream broken(nullptr); // every write fails, as on a full disk
    EXPECT_EQ(cli.run({"dump", "environment"}, &broken), 1);
    EXPECT_NE(cli.err.str().find("cannot write the standard output"), std::string::npos);
    std::ostringstream fine;
    EXPECT_EQ(cli.run({"dump", "environment"}, &fine), 0);
    EXPECT_FALSE(fine.str().empty());
}

TEST(CliExit, CalculateWithoutFactorsLeavesNoFactorFilesOfAnEarlierRun) {
    Tcliworld cli;
    std::string out = cli.dir.file("out");
    ASSERT_EQ(cli.run({"calculate", "--factors", "--out", out}), 0) << cli.err.str();
    ASSERT_TRUE(std::filesystem::exists(out + "/FF.tsv"));
    std::string run = Tcliworld::read(out + "/run.tsv");
    ASSERT_EQ(cli.run({"calculate", "--emission", "Bland:air", "--out", out}), 0) << cli.err.str();
    EXPECT_NE(Tcliworld::read(out + "/run.tsv"), run);
    for (const char* f :
         {"FF.tsv", "XF1.tsv", "XF2.tsv", "XF.tsv", "XF_FF.tsv", "EFeco.tsv", "EFhum.tsv"})
        EXPECT_FALSE(std::filesystem::exists(out + "/" + f)) << f;
    for (const char* f : {"results.tsv", "regcomps.tsv", "flows.tsv", "run.tsv"})
        EXPECT_TRUE(std::filesystem::exists(out + "/" + f)) << f;
}

TEST(CliExit, OptionValuesThatAreOptionsAndSelectionsOfNothingAreErrors) {
    struct Tcase {
        std::vector<std::string> args;
        std::string message;
    };
    Tcliworld probe;
    const std::string out = probe.dir.file("o");
    const std::string empty = probe.dir.file("empty.txt");
    std::ofstream(empty).close();
    const Tcase cases[] = {
        {{"calculate", "--out", "--factors"}, "option --out needs a value"},
        {{"calculate", "--substance", "--out", out}, "option --substance needs a value"},
        {{"factors", "--compartments", "groundwater", "--out", out},
         "--compartments groundwater selects no compartment an emission can go to"},
        {{"factors", "--compartments", "lakesed,seased", "--out", out},
         "selects no compartment an emission can go to"},
        {{"factors", "--regions", empty, "--out", out}, empty + " selects no region"},
        {{"factors", "--regions", "/dev/zero", "--out", out},
         "Cannot read the selection file /dev/zero: it is a device, not a file"},
        {{"calculate", "--emission", std::string(100000, 'x') + ":air", "--out", out},
         "(100000 bytes)\""},
    };
    for (const Tcase& c : cases) {
        Tcliworld cli;
        EXPECT_EQ(cli.run(c.args), 1) << c.message;
        EXPECT_NE(cli.err.str().find(c.message), std::string::npos) << cli.err.str();
        EXPECT_LT(cli.err.str().size(), 400u);
        EXPECT_FALSE(std::filesystem::exists("--factors"));
    }
    // A misspelt line warns and the rest still selects.
    Tcliworld cli;
    std::string selection = cli.dir.file("selection.txt");
    std::ofstream(selection) << "\xEF\xBB\xBF"
                             << "Aland\nBlandd\n";
    EXPECT_EQ(cli.run({"factors", "--regions", selection, "--compartments", "air", "--out", out}),
              0)
        << cli.err.str();
    EXPECT_NE(cli.err.str().find(selection + " names no region in line 2 (\"Blandd\")"),
              std::string::npos)
        << cli.err.str();
    EXPECT_NE(cli.out.str().find("Nitrobenzene\t1\t"), std::string::npos) << cli.out.str();
}
