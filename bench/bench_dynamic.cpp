// Times the dynamic solution on the default world (or the workbooks named on
// the command line): 100 years of a constant emission into one box (the
// start-up box) with 100 output times, against one steady-state calculation
// of the same emission on the same machine, and reports the ratio.
//
// usage: bench_dynamic [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
//                      [--years Y] [--times N] [--tolerance X]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "dynamic/dynamic.h"
#include "dynamic/timetext.h"

using namespace velmora;

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 5);
    const char* yearsoption = args.option("--years");
    const char* timesoption = args.option("--times");
    const char* toleranceoption = args.option("--tolerance");
    const double years = yearsoption ? std::atof(yearsoption) : 100;
    const unsigned ntimes = timesoption ? unsigned(std::atoi(timesoption)) : 100;
    const double tolerance = toleranceoption ? std::atof(toleranceoption) : 1e-4;

    Tconsoleui ui;
    Tworkspace ws(ui, args.dir);
    if (!bench::loadworld(ws, args.dir)) return 1;
    const std::uint32_t box = ws.emi.regcomp();

    // The baseline: one steady-state calculation of an emission (the system
    // solve, exposure and risk), as after a move of the emission.
    std::vector<double> steady, full, dynamic;
    for (int run = 0; run < args.runs; ++run) {
        ws.emi.next();
        double t0 = bench::seconds();
        ws.calculate();
        steady.push_back(bench::seconds() - t0);
        ws.env.changed = true;
        t0 = bench::seconds();
        ws.calculate();
        full.push_back(bench::seconds() - t0);
    }
    ws.emi.set(ws.regcomps.regionof(box), ws.regcomps.compartmentof(box));
    ws.calculate();

    Tdynamicsettings s;
    s.until = years * secondsperyear;
    s.times = lineartimes(ntimes, s.until);
    s.tolerance = tolerance;
    s.emissions.push_back(
        {box, 0, s.until, ws.settings.EmissionAmount, ws.settings.EmissionAmount, "bench"});
    Tdynamicresult last;
    for (int run = 0; run < args.runs; ++run) {
        const double t0 = bench::seconds();
        last = rundynamic(ws.model, s);
        dynamic.push_back(bench::seconds() - t0);
    }
    double worst = 0;
    for (const Tdynamicoutput& o : last.outputs)
        worst = std::max(worst, o.relativeimbalance());
    const Tseriesderived& world = last.derived.world();

    const double base = bench::median(steady), dyn = bench::median(dynamic);
    std::printf("world: %u regcomps, emission into %s, %g years, %u output times, tolerance %g\n",
                ws.regcomps.n, ws.regcomps.regcompname(box).c_str(), years, ntimes, tolerance);
    std::printf("steady-state calculation (emission move)   %8.3f s\n", base);
    std::printf("steady-state calculation (after a change)  %8.3f s\n", bench::median(full));
    std::printf("dynamic run                                %8.3f s\n", dyn);
    std::printf("ratio dynamic / steady-state calculation   %8.1f\n", dyn / base);
    std::printf("ratio dynamic / calculation after a change %8.2f\n", dyn / bench::median(full));
    std::printf("steps %lld, rejected %lld, factorisations %lld\n",
                static_cast<long long>(last.stats.steps),
                static_cast<long long>(last.stats.rejected),
                static_cast<long long>(last.stats.factorisations));
    std::printf("largest relative imbalance of the mass accounting: %.3g\n", worst);
    std::printf("world mass at the end %.6g kg, steady state %.6g kg (%.4f %%)\n",
                last.outputs.back().present, world.target,
                100 * last.outputs.back().present / world.target);
    for (int j = 0; j < 3; ++j)
        std::printf("time to %g %% of the steady state: %s\n", 100 * approachlevels[j],
                    world.approach[j] >= 0 ? durationtext(world.approach[j]).c_str() : "-");
    return 0;
}
