// velmora-cli uncertainty on the small world: the tables it writes, the
// provenance, and a bad settings workbook named down to its cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/cliworld.h"
#include "support/testsupport.h"

using velmora::testing::Tcliworld;
using velmora::testing::Tsheetspec;

namespace {

std::size_t linecount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(UncertaintyCli, WritesStatisticsContributionsDrawsAndProvenance) {
    Tcliworld cli;
    const std::string out = cli.dir.file("unc");
    ASSERT_EQ(cli.run({"uncertainty", "--substance", "Nitrobenzene", "--emission", "Aland:air",
                       "--draws", "8", "--seed", "3", "--results", "iFtot, CONC[Aland_air]",
                       "--threads", "2", "--with-draws", "--out", out},
                      true),
              0)
        << cli.err.str();
    const std::string summary = Tcliworld::read(out + "/summary.tsv");
    EXPECT_EQ(summary.rfind("result\tunit\tdeterministic\tn\tmean", 0), 0u) << summary;
    EXPECT_EQ(linecount(summary), 3u);
    EXPECT_NE(summary.find("\nCONC[Aland_air]\tkg chem*m^-3\t"), std::string::npos);
    EXPECT_EQ(linecount(Tcliworld::read(out + "/draws.tsv")), 9u);
    const std::string contributions = Tcliworld::read(out + "/contributions.tsv");
    EXPECT_EQ(contributions.rfind("result\tVP_TEMPtest\tSOL\tKow", 0), 0u) << contributions;
    const std::string run = Tcliworld::read(out + "/run.tsv");
    for (const char* line : {"uncertainty\tdraws\t8\n", "uncertainty\tseed\t3\n",
                             "uncertainty\tinputs\tdefaults of the substance\n",
                             "uncertainty\tresults\tiFtot, CONC[Aland_air]\n",
                             "uncertainty\tfailed draws\t0\n", "substance\tNitrobenzene\n"})
        EXPECT_NE(run.find(line), std::string::npos) << line;
    // The same seed gives the same numbers; without --with-draws no draws file stays.
    ASSERT_EQ(cli.run({"uncertainty", "--substance", "Nitrobenzene", "--emission", "Aland:air",
                       "--draws", "8", "--seed", "3", "--results", "iFtot, CONC[Aland_air]",
                       "--threads", "1", "--out", out},
                      true),
              0);
    EXPECT_EQ(Tcliworld::read(out + "/summary.tsv"), summary);
    EXPECT_FALSE(std::filesystem::exists(out + "/draws.tsv"));
}

TEST(UncertaintyCli, ABadSettingIsNamedByWorkbookSheetAndCell) {
    Tcliworld cli;
    const std::string settings = cli.dir.file("settings.xlsx");
    Tsheetspec sheet{"Uncertainty", {}};
    const char* headings[] = {"parameter", "region", "distribution", "value 1", "value 2"};
    const char* rows[2][5] = {{"Kow", "All", "lognormal", "1", "2"},
                              {"TEMP", "Atlantis", "normal", "1", "0.01"}};
    for (int c = 0; c < 5; ++c) {
        sheet.set(1, c + 1, headings[c]);
        sheet.set(2, c + 1, rows[0][c]);
        sheet.set(3, c + 1, rows[1][c]);
    }
    velmora::testing::writeworkbook(settings, {sheet});
    const std::string out = cli.dir.file("unc");
    EXPECT_EQ(cli.run({"uncertainty", "--emission", "Aland:air", "--draws", "4", "--inputs",
                       settings, "--out", out},
                      true),
              1);
    EXPECT_NE(cli.err.str().find("settings.xlsx sheet \"Uncertainty\" cell B3 (region): there "
                                 "is no region called \"Atlantis\""),
              std::string::npos)
        << cli.err.str();
    EXPECT_FALSE(std::filesystem::exists(out + "/summary.tsv"));
    EXPECT_EQ(cli.run({"uncertainty", "--draws", "0", "--out", out}, true), 1);
    EXPECT_NE(cli.err.str().find("--draws: there must be at least one draw"), std::string::npos)
        << cli.err.str();
}
