// Times the steps of a whole calculation on the default world (or the
// workbooks named on the command line): environment import, start-up, the
// model-parameter stages, the system solve, exposure and risk, and a full
// inversion in Factors mode. Reports the median of several runs.
//
// Then times the solver alone on the world's system matrix: one solve and
// the full inversion on the sparse path and on the dense reference path (the
// dense inversion takes about half a minute; --dense-inverse includes it).
//
// usage: bench_world [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS] [--dense-inverse 1]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "numeric/inversion.h"

using namespace velmora;
using bench::median;

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 7);
    const int runs = args.runs;
    const std::string& dir = args.dir;
    const char* denseoption = args.option("--dense-inverse");
    const bool denseinverse = denseoption && std::atoi(denseoption) != 0;
    std::map<std::string, std::vector<double>> times;
    std::vector<std::string> order;
    auto record = [&](const std::string& name, double t) {
        if (!times.count(name)) order.push_back(name);
        times[name].push_back(t);
    };
    for (int run = 0; run < runs; ++run) {
        Tconsoleui ui;
        Tworkspace ws(ui, dir);
        double t0 = bench::seconds();
        ws.readenvironment();
        record("import both environment workbooks", bench::seconds() - t0);
        if (!ws.env.present) {
            std::fprintf(stderr, "no environment in %s\n", dir.c_str());
            return 1;
        }
        t0 = bench::seconds();
        ws.initialize();
        record("start-up (initialize, with calculation)", bench::seconds() - t0);
        // Force the model-parameter stages once more and time each step.
        ws.env.changed = true;
        Ttimings steps;
        t0 = bench::seconds();
        ws.calculate(false, &steps);
        record("calculation after a change", bench::seconds() - t0);
        for (const auto& [name, t] : steps)
            record("  step " + name, t);
        // An emission move: no model-parameter stages.
        ws.emi.next();
        steps.clear();
        t0 = bench::seconds();
        ws.calculate(false, &steps);
        record("calculation after an emission move", bench::seconds() - t0);
        for (const auto& [name, t] : steps)
            record("  move step " + name, t);
        // Factors mode: the full inversion and the factor matrices.
        ws.settings.FactorsMode = true;
        ws.regcomps.build();
        ws.env.changed = true;
        t0 = bench::seconds();
        ws.calculate(false, &steps);
        record("factors-mode calculation (inversion, FF, XF, EF)", bench::seconds() - t0);
        if (ui.warningcount() > 0)
            std::fprintf(stderr, "run %d: %ld warnings\n", run, ui.warningcount());
    }
    // The solver alone on the default world's Abig.
    {
        Tconsoleui ui;
        Tworkspace ws(ui, dir);
        ws.initialize();
        const Tnummatrix& abig = ws.regcomps.Abig.values;
        Tnumvector emis;
        for (std::uint32_t k = 1; k <= ws.regcomps.n; ++k)
            emis.setvalue(k, ws.regcomps.EMIS.value(k));
        auto solveonce = [&](Tsolvemethod method) {
            Tsolveequations s;
            s.setscaling(1);
            s.setremoveempty(true);
            s.setworkprecision(3);
            s.setmethod(method);
            double t = bench::seconds();
            s.solve(abig, emis);
            return bench::seconds() - t;
        };
        auto invertonce = [&](Tsolvemethod method) {
            Tinvertmatrix inv;
            inv.setscaling(1);
            inv.setremoveempty(true);
            inv.setworkprecision(3);
            inv.setmethod(method);
            Tnummatrix result;
            double t = bench::seconds();
            inv.invert(abig);
            inv.getresult(result);
            return bench::seconds() - t;
        };
        for (int run = 0; run < runs; ++run) {
            record("solver: one solve, sparse path", solveonce(Tsolvemethod::sparse));
            record("solver: full inversion, sparse path", invertonce(Tsolvemethod::sparse));
        }
        for (int run = 0; run < std::min(runs, 3); ++run)
            record("solver: one solve, dense reference", solveonce(Tsolvemethod::dense));
        if (denseinverse)
            record("solver: full inversion, dense reference", invertonce(Tsolvemethod::dense));
    }
    std::printf("median of %d runs, seconds\n", runs);
    for (const auto& name : order)
        std::printf("%-55s %10.4f\n", name.c_str(), median(times[name]));
    auto ratio = [&](const char* what, const char* a, const char* b) {
        if (times.count(a) && times.count(b))
            std::printf("dense reference / sparse path, %s: %.0f\n", what,
                        median(times[b]) / median(times[a]));
    };
    ratio("one solve", "solver: one solve, sparse path", "solver: one solve, dense reference");
    ratio("full inversion", "solver: full inversion, sparse path",
          "solver: full inversion, dense reference");
    return 0;
}
