#pragma once
// What the benchmark programs share: a steady clock, the median of the runs,
// the command line's run count and workbook folder, and reading the world.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/workspace.h"

namespace velmora::bench {

// A steady clock is immune to the wall clock being set during a long run;
// only differences of its readings mean anything.
inline double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
// Processor seconds of every thread of the process: what a run costs on a
// machine busy with other work too.
inline double processorseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
inline double milliseconds() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The median shrugs off the odd run slowed by another process; of an even
// count it takes the upper middle value.
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Where the program lies: the default world's workbooks are copied beside it.
inline std::string programfolder() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
}

struct Tbenchargs {
    int runs;
    std::string dir;
    // The "--name value" pairs that are not --runs or --dir, in order: each
    // benchmark reads its own options from them.
    std::vector<std::pair<std::string, std::string>> others;

    // The value given last for name (later ones win, as with --runs), or
    // nullptr when it was not given.
    const char* option(const std::string& name) const {
        for (auto k = others.rbegin(); k != others.rend(); ++k)
            if (k->first == name) return k->second.c_str();
        return nullptr;
    }
};

// Reads the arguments as "--name value" pairs; a last word without a value
// is ignored.
inline Tbenchargs benchargs(int argc, char** argv, int defaultruns) {
    Tbenchargs args{defaultruns, programfolder(), {}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--runs")
            args.runs = std::atoi(argv[i + 1]);
        else if (name == "--dir")
            args.dir = argv[i + 1];
        else
            args.others.emplace_back(name, argv[i + 1]);
    }
    return args;
}

// Reads and calculates the world of dir; false, once said on the error
// output, when dir holds no environment to time anything on.
inline bool loadworld(Tworkspace& ws, const std::string& dir) {
    ws.initialize();
    if (!ws.env.present) {
        std::fprintf(stderr, "no environment in %s\n", dir.c_str());
        return false;
    }
    return true;
}

} // namespace velmora::bench
