// Times the explanations of one calculation on the default world (or the
// workbooks in --dir): the gross and net balance of the emission box, the
// Distribution buttons of a region and of "World" under each indicator, and
// the Dose buttons of "World". Reports the median of several runs in ms.
//
// usage: bench_analysis [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <cstdio>
#include <functional>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "compute/analysis.h"

using namespace velmora;
using bench::median;

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 21);
    const int runs = args.runs;
    Tconsoleui ui;
    Tworkspace ws(ui, args.dir);
    if (!bench::loadworld(ws, args.dir)) return 1;
    Tmodel& m = ws.model;
    const std::uint32_t box = ws.emi.regcomp();
    const std::uint32_t region = static_cast<std::uint32_t>(ws.emi.region);
    std::printf("regcomps %u, regions %u\n", ws.regcomps.n, ws.regions.count);
    auto time = [&](const char* name, const std::function<void()>& f) {
        std::vector<double> t;
        for (int r = 0; r < runs; ++r) {
            const double t0 = bench::seconds();
            f();
            t.push_back(bench::seconds() - t0);
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
