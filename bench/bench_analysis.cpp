// Times the explanations of one calculation on the default world (or the
// workbooks in --dir): the gross and net balance of the emission box, the
// Distribution buttons of a region and of "World" under each indicator, and
// the Dose buttons of "World". Reports the median of several runs in ms.
//
// usage: bench_analysis [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "compute/analysis.h"

using namespace velmora;

namespace {
double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string dir;
    {
        std::error_code ec;
        dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--runs") runs = std::atoi(argv[i + 1]);
        if (a == "--dir") dir = argv[i + 1];
    }
    Tconsoleui ui;
    Tworkspace ws(ui, dir);
    ws.initialize();
    if (!ws.env.present) {
        std::fprintf(stderr, "no environment in %s\n", dir.c_str());
        return 1;
    }
    Tmodel& m = ws.model;
    const std::uint32_t box = ws.emi.regcomp();
    const std::uint32_t region = static_cast<std::uint32_t>(ws.emi.region);
    std::printf("regcomps %u, regions %u\n", ws.regcomps.n, ws.regions.count);
    auto time = [&](const char* name, const std::function<void()>& f) {
        std::vector<double> t;
        for (int r = 0; r < runs; ++r) {
            const double t0 = now();
            f();
            t.push_back(now() - t0);
        }
        std::printf("%-44s %9.3f ms\n", name, 1000 * median(t));
    };
    time("gross balance of the emission box", [&] { grossbalance(m, box); });
    time("net balance of the emission box", [&] { netbalance(m, box); });
    time("Distribution, emission region, None",
         [&] { distributionview(m, region, Tindicator::none); });
    time("Distribution, emission region, World = 100%",
         [&] { distributionview(m, region, Tindicator::world); });
    time("Distribution, World, None", [&] { distributionview(m, worlditem(m), Tindicator::none); });
    time("Distribution, World, Each compartment",
         [&] { distributionview(m, worlditem(m), Tindicator::eachcompartment); });
    time("Dose, World, World = 100%", [&] { doseview(m, doseworlditem(m), Tindicator::world); });
    return 0;
}
