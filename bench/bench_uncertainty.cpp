// Times an uncertainty run on the default world (or the workbooks named on
// the command line) against the deterministic calculation it repeats: the
// start-up substance at the start-up box, the substance's default inputs
// (with --environment 1 also the temperature, wind speed and rain of every
// region as one factor each), the default results (every regcomp's CONC,
// RESTIMEtot, iFtot, the emission region's risk ratios, the factors). Reports
// wall-clock and processor time, both as ratios to one deterministic
// calculation after a substance (or environment) change, and the peak
// resident memory of the process.
//
// usage: bench_uncertainty [--runs N] [--dir DIRECTORY] [--draws N] [--threads T]
//                          [--environment 1]
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "benchsupport.h"
#include "compute/calculation.h"
#include "uncertainty/uncertainty.h"

using namespace velmora;
using bench::median;

namespace {

double peakmegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

Tuncertaininput factor(const char* parameter, Tdistributionkind kind, double a, double b) {
    Tuncertaininput in;
    in.parameter = parameter;
    in.distribution = {kind, a, b, 0, {}, {}};
    return in;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 5);
    const char* drawsoption = args.option("--draws");
    const char* threadsoption = args.option("--threads");
    const char* environmentoption = args.option("--environment");
    const std::size_t draws = drawsoption ? std::strtoul(drawsoption, nullptr, 10) : 1000;
    const unsigned threads = threadsoption ? std::atoi(threadsoption) : 2;
    const bool environment = environmentoption && std::atoi(environmentoption) != 0;

    Tconsoleui ui;
    Tworkspace ws(ui, args.dir);
    if (!bench::loadworld(ws, args.dir)) return 1;
    const double startmemory = peakmegabytes();

    // One deterministic calculation after the change a draw makes.
    std::vector<double> walls, cpus;
    for (int run = 0; run < args.runs; ++run) {
        ws.sub.changed = true;
        if (environment) ws.env.changed = true;
        const double w0 = bench::seconds(), c0 = bench::processorseconds();
        calculate(ws.model, false);
        walls.push_back(bench::seconds() - w0);
        cpus.push_back(bench::processorseconds() - c0);
    }
    const double wall = median(walls), processor = median(cpus);
    std::printf("deterministic calculation after a %s change: %.4f s wall, %.4f s processor\n",
                environment ? "substance and environment" : "substance", wall, processor);
    Ttimings steps;
    ws.sub.changed = true;
    if (environment) ws.env.changed = true;
    calculate(ws.model, false, &steps);
    for (const auto& [name, t] : steps)
        std::printf("  step %-18s %.4f s\n", name.c_str(), t);

    Tuncertaintysettings s;
    s.inputs = defaultinputs(ws.model);
    if (environment) {
        s.inputs.push_back(factor("TEMP", Tdistributionkind::normal, 1, 0.01));
        s.inputs.push_back(factor("WINDSPEED", Tdistributionkind::lognormal, 1, 1.5));
        s.inputs.push_back(factor("RAINRATE", Tdistributionkind::lognormal, 1, 1.5));
    }
    s.draws = draws;
    s.seed = 1;
    s.threads = threads;
    const double w0 = bench::seconds(), c0 = bench::processorseconds();
    Tuncertaintyrun run = rununcertainty(ws.model, s);
    const double runwall = bench::seconds() - w0, runcpu = bench::processorseconds() - c0;
    std::printf("uncertainty: %zu inputs, %zu draws, %zu results, %u threads, %zu failed\n",
                s.inputs.size(), draws, run.results.size(), run.threads, run.failedcount);
    std::printf("  %.2f s wall (%.1f deterministic calculations), %.2f s processor (%.1f)\n",
                runwall, runwall / wall, runcpu, runcpu / processor);
    std::printf("  per draw: %.2f ms wall, %.2f ms processor\n", 1000 * runwall / draws,
                1000 * runcpu / draws);
    std::printf("  the draws of the results held: %.1f MB\n",
                run.values.size() * sizeof(float) / 1048576.0);
    std::printf("peak resident memory: %.0f MB after loading the world, %.0f MB after the run\n",
                startmemory, peakmegabytes());
    for (const auto& [text, count] : run.warnings)
        std::printf("warning (%zu times): %s\n", count, text.c_str());
    return 0;
}
