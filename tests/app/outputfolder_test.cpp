// The output folder of the command-line tool: whole or not at all, one run
// at a time, nothing of an unfinished run left behind, one distinct file
// per substance.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "app/cli/outputfolder.h"
#include "support/cliworld.h"
#include "support/testsupport.h"

extern char** environ;

using namespace velmora;
using velmora::testing::Ttempdir;
namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& p) {
    return velmora::testing::Tcliworld::read(p.string());
}

void writefile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::set<std::string> listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Everything in the parent of a folder but the folder and what was there before.
std::set<std::string> leftovers(const fs::path& dir, const std::set<std::string>& before) {
    std::set<std::string> extra;
    for (const std::string& n : listing(dir.parent_path()))
        if (!before.count(n) && n != dir.filename().string()) extra.insert(n);
    return extra;
}

void text(Toutputfolder& f, const std::string& name, const std::string& contents) {
    f.write(name, [&](std::ostream& o) { o << contents; });
}

} // namespace

TEST(OutputFolder, ReplacesTheRunsFilesKeepsTheUsersAndLeavesNothingElse) {
    Ttempdir tmp;
    fs::path dir = tmp.path() / "out";
    fs::create_directories(dir);
    writefile(dir / "results.tsv", "old results");
    writefile(dir / "FF.tsv", "old factors");
    writefile(dir / "notes.txt", "the user's");
    const std::set<std::string> before = listing(tmp.path());
    {
        Toutputfolder f(dir);
        text(f, "results.tsv", "new results");
        text(f, "run.tsv", "new run");
        // Until the commit the folder is the earlier run's.
        EXPECT_EQ(read(dir / "results.tsv"), "old results");
        EXPECT_FALSE(fs::exists(dir / "run.tsv"));
        f.commit({"FF.tsv"});
    }
    EXPECT_EQ(listing(dir), (std::set<std::string>{"results.tsv", "run.tsv", "notes.txt"}));
    EXPECT_EQ(read(dir / "results.tsv"), "new results");
    EXPECT_EQ(read(dir / "notes.txt"), "the user's");
    EXPECT_TRUE(leftovers(dir, before).empty());

    // Without a commit (an error half-way) the folder stays as it was.
    {
        Toutputfolder f(dir);
        text(f, "results.tsv", "lost");
    }
    EXPECT_EQ(read(dir / "results.tsv"), "new results");
    EXPECT_TRUE(leftovers(dir, before).empty());
    // A folder made for a run that failed does not stay either.
    {
        Toutputfolder f(tmp.path() / "fresh");
        text(f, "results.tsv", "lost");
    }
    EXPECT_FALSE(fs::exists(tmp.path() / "fresh"));
}

TEST(OutputFolder, ATargetThatIsAFolderStopsTheCommitBeforeAnythingChanges) {
    Ttempdir tmp;
    fs::path dir = tmp.path() / "out";
    fs::create_directories(dir / "flows.tsv");
    writefile(dir / "run.tsv", "old run");
    Toutputfolder f(dir);
    text(f, "results.tsv", "new");
    text(f, "flows.tsv", "new");
    text(f, "run.tsv", "new run");
    try {
        f.commit();
        FAIL() << "committed over a folder";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "cannot replace " + (dir / "flows.tsv").string() +
                                             ": it is a folder; nothing was written");
    }
    EXPECT_EQ(listing(dir), (std::set<std::string>{"flows.tsv", "run.tsv"}));
    EXPECT_EQ(read(dir / "run.tsv"), "old run");
}

TEST(OutputFolder, ASecondRunIntoTheFolderIsRefusedAndAnInterruptedRunIsCleanedUp) {
    Ttempdir tmp;
    fs::path dir = tmp.path() / "out";
    const std::set<std::string> before = listing(tmp.path());
    {
        Toutputfolder first(dir);
        try {
            Toutputfolder second(dir);
            FAIL() << "two runs in one folder";
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()), "the output folder " + dir.string() +
                                                 " is in use by another run; nothing was written");
        }
        text(first, "run.tsv", "first");
        first.commit();
    }
    EXPECT_EQ(read(dir / "run.tsv"), "first");
    // A run killed before its commit leaves its staging folder; the next run
    // into the same folder removes it, and nothing of another folder's.
    fs::create_directories(tmp.path() / ".out.velmora-999-0123456789abcdef");
    writefile(tmp.path() / ".out.velmora-999-0123456789abcdef" / "results.tsv", "35 MB");
    fs::create_directories(tmp.path() / ".other.velmora-999-0123456789abcdef");
    {
        Toutputfolder next(dir);
        text(next, "run.tsv", "next");
        next.commit();
    }
    EXPECT_EQ(read(dir / "run.tsv"), "next");
    EXPECT_EQ(leftovers(dir, before),
              (std::set<std::string>{".other.velmora-999-0123456789abcdef"}));
}

TEST(OutputFolder, AFullDiskFailsTheRunNamingTheFileAndKeepsTheEarlierRun) {
    velmora::testing::Tcliworld cli;
    std::string out = cli.dir.file("out");
    ASSERT_EQ(cli.run({"calculate", "--factors", "--out", out}, true), 0) << cli.err.str();
    const std::string results = read(out + "/results.tsv"), run = read(out + "/run.tsv");
    const std::set<std::string> before = listing(cli.dir.path());
    // Files may grow to 4 KiB: results.tsv cannot be written whole.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    int code = cli.run({"calculate", "--emission", "Bland:air", "--out", out}, true);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(code, 1);
    EXPECT_NE(cli.err.str().find("cannot write " + out + "/results.tsv: File too large"),
              std::string::npos)
        << cli.err.str();
    EXPECT_EQ(read(out + "/results.tsv"), results);
    EXPECT_EQ(read(out + "/run.tsv"), run);
    EXPECT_TRUE(fs::exists(out + "/FF.tsv"));
    EXPECT_EQ(listing(cli.dir.path()), before);
}

TEST(OutputFolder, FourCalculationsIntoOneFolderLeaveOneCompleteRun) {
    velmora::testing::Tcliworld cli;
    const std::string program = velmora::testing::bindir() + "/velmora-cli";
    const std::string out = cli.dir.file("out");
    const char* emissions[] = {"Aland:air", "Bland:air", "Aland:river water", "Asea:air"};
    std::vector<pid_t> pids;
    std::vector<std::string> logs;
    for (int k = 0; k < 4; ++k) {
        logs.push_back(cli.dir.file("log" + std::to_string(k)));
        std::vector<std::string> args = {program,     "calculate", "--emission",   emissions[k],
                                         "--out",     out,         "--parameters", cli.parameters,
                                         "--borders", cli.borders, "--substances", cli.substances};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, logs.back().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        pids.push_back(pid);
    }
    int succeeded = 0;
    for (int k = 0; k < 4; ++k) {
        int status = 0;
        ASSERT_EQ(waitpid(pids[k], &status, 0), pids[k]);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 0) {
            ++succeeded;
            continue;
        }
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_NE(read(logs[k]).find("is in use by another run; nothing was written"),
                  std::string::npos)
            << read(logs[k]);
    }
    EXPECT_GE(succeeded, 1);
    // The folder is one run's: the box regcomps.tsv emits into is the one
    // run.tsv names, and nothing else is there.
    EXPECT_EQ(listing(out),
              (std::set<std::string>{"results.tsv", "regcomps.tsv", "flows.tsv", "run.tsv"}));
    std::string run = read(out + "/run.tsv");
    std::size_t at = run.find("\nemission\t");
    ASSERT_NE(at, std::string::npos);
    std::string box = run.substr(at + 10, run.find('\t', at + 10) - at - 10);
    std::ifstream regcomps(out + "/regcomps.tsv");
    std::string line, emitting;
    while (std::getline(regcomps, line)) {
        std::vector<std::string> f;
        std::string rest = line;
        for (std::size_t tab; (tab = rest.find('\t')) != std::string::npos; rest.erase(0, tab + 1))
            f.push_back(rest.substr(0, tab));
        f.push_back(rest);
        if (f.size() > 8 && std::strtod(f[8].c_str(), nullptr) > 0) emitting = f[1] + "_" + f[2];
    }
    EXPECT_EQ(emitting, box) << run;
}

TEST(OutputFolder, SubstanceFileNamesAreDistinctAndReadable) {
    struct Tcase {
        std::vector<std::string> names;
        std::vector<std::string> files;
    };
    const Tcase cases[] = {
        {{"\xCE\xB1-HCH", "\xCE\xB2-HCH"}, {"\xCE\xB1-HCH.tsv", "\xCE\xB2-HCH.tsv"}},
        // The name that needs no change keeps its own, whatever the order.
        {{"Ben/zene", "Ben_zene"}, {"Ben_zene-2.tsv", "Ben_zene.tsv"}},
        {{"Benzene", "BENZENE", "benzene"}, {"Benzene.tsv", "BENZENE-2.tsv", "benzene-3.tsv"}},
        {{"", ".hidden", "a:b*c?", "x\xFFy"},
         {"substance.tsv", "_hidden.tsv", "a_b_c_.tsv", "x_y.tsv"}},
        {{"run"}, {"run.tsv"}},
    };
    for (const Tcase& c : cases)
        EXPECT_EQ(distinctfilenames(c.names, ".tsv"), c.files) << c.names.front();
    std::string longname(100000, 'x');
    std::string file = distinctfilenames({longname}, ".tsv").front();
    EXPECT_LE(file.size(), 200u);
}

TEST(OutputFolder, FactorsOfSubstancesWhoseNamesMeetWriteOneFileEach) {
    velmora::testing::Tcliworld cli;
    velmora::testing::Tsheetspec sheet{"VELMORA", {}};
    const char* headers[] = {"CAS",         "substype", "name", "MOLW",
                             "VP_TEMPtest", "SOL",      "Kow",  "TEMPmelt"};
    const char* row[] = {"98-95-3", "nitrobenzene", "Nitrobenzene", "0.123",
                         "20",      "15",           "70",           "279"};
    const std::vector<std::string> names = {"Nitrobenzene", "\xCE\xB1-HCH", "\xCE\xB2-HCH",
                                            "Ben/zene",     "Ben_zene",     "Nitrobenzene"};
    for (int c = 0; c < 8; ++c) {
        sheet.set(2, c + 3, headers[c]);
        for (std::size_t r = 0; r < names.size(); ++r)
            sheet.set(4 + static_cast<std::uint32_t>(r), c + 3, c == 2 ? names[r] : row[c]);
    }
    velmora::testing::writeworkbook(cli.substances, {sheet});
    std::string out = cli.dir.file("factors");
    ASSERT_EQ(cli.run({"factors", "--all-substances", "--compartments", "air", "--out", out}, true),
              0)
        << cli.err.str();
    std::map<std::string, std::string> expected = {{"Nitrobenzene.tsv", "Nitrobenzene"},
                                                   {"\xCE\xB1-HCH.tsv", "\xCE\xB1-HCH"},
                                                   {"\xCE\xB2-HCH.tsv", "\xCE\xB2-HCH"},
                                                   {"Ben_zene-2.tsv", "Ben/zene"},
                                                   {"Ben_zene.tsv", "Ben_zene"}};
    std::set<std::string> files;
    for (const auto& [file, substance] : expected) {
        files.insert(file);
        std::ifstream in(out + "/" + file);
        std::string line;
        std::getline(in, line);
        std::getline(in, line);
        ASSERT_TRUE(std::getline(in, line)) << file;
        EXPECT_EQ(line.substr(0, line.find('\t')), substance) << file;
    }
    EXPECT_EQ(listing(out), files);
    // The listing tells where each went; the duplicate row ran once.
    EXPECT_NE(cli.out.str().find("Ben/zene\t3\tBen_zene-2.tsv\n"), std::string::npos)
        << cli.out.str();
    EXPECT_EQ(cli.out.str().find("Nitrobenzene\t"), cli.out.str().rfind("Nitrobenzene\t"));
}

TEST(OutputFolder, AReferenceThatCannotBeCalculatedFailsTheRun) {
    velmora::testing::Ttempdir tmp;
    std::ostringstream out, err;
    const std::string dir = tmp.file("out");
    const std::string bin = velmora::testing::bindir();
    int code = runcli({"calculate", "--reference", "Carbon dioxide", "--out", dir, "--parameters",
                       bin + "/ENVDATA2part1.xlsx", "--borders", bin + "/ENVDATA2part2.xlsx",
                       "--substances", bin + "/substances.xlsx"},
                      out, err);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.str().find("the reference substance \"Carbon dioxide\" cannot be calculated"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(dir));
}
