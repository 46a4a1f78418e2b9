// Files named on the command line or beside the program that are not what
// they claim: a pipe, a device, a folder, an empty or misspelt selection. Each
// is refused at once (or warned about) with its name, never read for ever.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "compute/allfactors.h"
#include "numeric/errors.h"
#include "numeric/files.h"
#include "support/cliworld.h"

using namespace velmora;
namespace fs = std::filesystem;

TEST(SideFiles, PipesDevicesAndFoldersAreRefusedNamingThem) {
    velmora::testing::Tcliworld cli;
    const std::string fifo = cli.dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Tcase {
        std::string option;
        std::string path;
        std::string reason;
    };
    const Tcase cases[] = {
        {"--parameters", fifo, "it is a pipe, not a file"},
        {"--substances", fifo, "it is a pipe, not a file"},
        {"--regions", fifo, "it is a pipe, not a file"},
        {"--regions", "/dev/zero", "it is a device, not a file"},
        {"--regions", cli.dir.path().string(), "it is a folder, not a file"},
        {"--parameters", "/dev/zero", "it is a device, not a file"},
        {"--parameters", cli.dir.path().string(), "it is a folder, not a file"},
    };
    for (const Tcase& c : cases) {
        auto start = std::chrono::steady_clock::now();
        std::vector<std::string> args = {"factors",      "--compartments",    "air",
                                         "--out",        cli.dir.file("out"), "--parameters",
                                         cli.parameters, "--borders",         cli.borders,
                                         "--substances", cli.substances};
        // The option given last wins over the world's own.
        args.push_back(c.option);
        args.push_back(c.path);
        cli.err.str("");
        int code = runcli(args, cli.out, cli.err);
        EXPECT_EQ(code, 1) << c.option << " " << c.path;
        EXPECT_NE(cli.err.str().find(c.path), std::string::npos) << cli.err.str();
        EXPECT_NE(cli.err.str().find(c.reason), std::string::npos) << cli.err.str();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(SideFiles, SelectionFilesTellWhatTheyDoNotSelect) {
    velmora::testing::Tcliworld cli;
    struct Tcase {
        std::string text;
        std::vector<std::string> lines;
    };
    // A byte-order mark and Windows line ends are not part of a name.
    const Tcase cases[] = {
        {"", {}},
        {"Aland\nBland", {"Aland", "Bland"}},
        {"\xEF\xBB\xBF"
         "Aland\r\nBland\r\n",
         {"Aland", "Bland"}},
        {"Aland \n\naland\n", {"Aland ", "", "aland"}},
    };
    for (const Tcase& c : cases) {
        std::string path = cli.dir.file("selection.txt");
        std::ofstream(path, std::ios::binary) << c.text;
        EXPECT_EQ(readselectionfile(path), c.lines) << c.text;
    }
    const std::vector<std::string> lines = {"Aland ", "", "Bland", "aland"};
    EXPECT_EQ(selectionwarning("s.txt", lines, {1, 4}, 1),
              "s.txt names no region in lines 1 (\"Aland \"), 4 (\"aland\"); names are matched "
              "exactly, letter case and blanks included");
    EXPECT_EQ(selectionwarning("s.txt", {}, {}, 0), "s.txt selects no region");
    EXPECT_EQ(selectionwarning("s.txt", lines, {}, 1), "");
    // Larger than any selection of every region could be.
    std::string big = cli.dir.file("big.txt");
    std::ofstream(big) << std::string(2 << 20, 'x');
    EXPECT_THROW(readselectionfile(big), EFileError);
}

TEST(SideFiles, LongTextsAreCutInMessages) {
    EXPECT_EQ(messagetext("short"), "short");
    EXPECT_EQ(messagetext(std::string(100, 'x'), 10), "xxxxxxxxxx... (100 bytes)");
    // Never inside a character: "é" is two bytes.
    std::string accents;
    for (int k = 0; k < 10; ++k)
        accents += "\xC3\xA9";
    EXPECT_EQ(messagetext(accents, 5), "\xC3\xA9\xC3\xA9... (20 bytes)");
}
