// Times the all-factors run on the default world (or the workbooks named on
// the command line): the dialog's default selection with and without
// matrix inversion, as wall-clock and processor time (the processor time
// tells the cost on a busy machine), and how far the factors of the two
// ways differ. Then the Factors-mode calculation that fills the factor
// matrices the Factors tab shows, step by step.
//
// usage: bench_allfactors [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
//                         [--only factorsmode]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "compute/allfactors.h"
#include "compute/calculation.h"

using namespace velmora;
using bench::median;

namespace {
// A progress window that clocks the time between its sub texts: the system
// solve names each step it starts there.
class Tclockprogress : public Tsilentprogress {
public:
    // Step name, wall-clock seconds, processor seconds (all threads).
    std::vector<std::tuple<std::string, double, double>> steps;
    void setsubtext(const std::string& text) override {
        close();
        current_ = text;
        start_ = bench::seconds();
        startcpu_ = bench::processorseconds();
    }
    void close() {
        if (!current_.empty())
            steps.emplace_back(current_, bench::seconds() - start_,
                               bench::processorseconds() - startcpu_);
        current_.clear();
    }

private:
    std::string current_;
    double start_ = 0, startcpu_ = 0;
};

// The Factors-mode calculation after an environment change, its median and
// the median of each step of the solve.
void timefactorsmode(Tworkspace& ws, int runs) {
    ws.settings.FactorsMode = true;
    ws.regcomps.build();
    std::vector<double> totals, totalcpus;
    std::vector<std::string> order;
    std::vector<std::vector<double>> stepsof, stepcpus;
    for (int r = 0; r < runs; ++r) {
        ws.env.changed = true;
        Tclockprogress progress;
        double w = bench::seconds(), c = bench::processorseconds();
        calculate(ws.model, false, nullptr, &progress);
        totals.push_back(bench::seconds() - w);
        totalcpus.push_back(bench::processorseconds() - c);
        progress.close();
        for (const auto& [name, t, tc] : progress.steps) {
            auto at = std::find(order.begin(), order.end(), name);
            if (at == order.end()) {
                order.push_back(name);
                stepsof.emplace_back();
                stepcpus.emplace_back();
                at = order.end() - 1;
            }
            stepsof[static_cast<std::size_t>(at - order.begin())].push_back(t);
            stepcpus[static_cast<std::size_t>(at - order.begin())].push_back(tc);
        }
    }
    std::printf(
        "factors-mode calculation  wall median %.3f s  processor median %.3f s  (%d runs)\n",
        median(totals), median(totalcpus), runs);
    for (std::size_t k = 0; k < order.size(); ++k)
        std::printf("  step %-34s wall %.4f s  processor %.4f s\n", order[k].c_str(),
                    median(stepsof[k]), median(stepcpus[k]));
    auto nonzeros = [](const Tnummatrix& a) {
        std::size_t k = 0;
        a.foreachnonzero([&](std::uint32_t, std::uint32_t, extended) { ++k; });
        return k;
    };
    std::printf("  stored items: FF %zu, XF1 %zu, XF2 %zu, XF %zu, XF*FF %zu\n",
                nonzeros(ws.regcomps.FF), nonzeros(ws.regcomps.XF1), nonzeros(ws.regcomps.XF2),
                nonzeros(ws.regcomps.XF), nonzeros(ws.regcomps.XFFF));
    ws.settings.FactorsMode = false;
    ws.regcomps.build();
    ws.env.changed = true;
}
} // namespace

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 5);
    const int runs = args.runs;
    const std::string& dir = args.dir;
    const char* onlyoption = args.option("--only");
    const std::string only = onlyoption ? onlyoption : "";
    Tconsoleui ui;
    Tworkspace ws(ui, dir);
    ws.initialize();
    if (!ws.env.present || !ws.sub.present) {
        std::fprintf(stderr, "no default world in %s\n", dir.c_str());
        return 1;
    }
    if (only == "factorsmode") {
        timefactorsmode(ws, runs);
        return 0;
    }
    Tallfactorsselection selection = Tallfactorsselection::defaults(ws.model, false);
    Tallfactorsrun results[2];
    for (int inversion = 1; inversion >= 0; --inversion) {
        selection.useinversion = inversion == 1;
        std::vector<double> walls, cpus;
        for (int r = 0; r < (inversion ? runs : std::max(1, runs / 2)); ++r) {
            std::unique_ptr<Tprogress> progress = ui.progress();
            double w = bench::seconds(), c = bench::processorseconds();
            results[inversion] = runallfactors(ws.model, selection, *progress);
            walls.push_back(bench::seconds() - w);
            cpus.push_back(bench::processorseconds() - c);
        }
        std::printf("%-22s boxes %zu  wall median %.3f s  processor median %.3f s  (%zu runs)\n",
                    inversion ? "with inversion" : "without inversion", results[inversion].computed,
                    median(walls), median(cpus), walls.size());
    }
    double largest = 0;
    for (std::size_t k = 0; k < results[0].rows.size() && k < results[1].rows.size(); ++k)
        for (int f = 0; f < 7; ++f)
            for (auto [a, b] : {std::pair{results[0].rows[k].pot[f], results[1].rows[k].pot[f]},
                                std::pair{results[0].rows[k].act[f], results[1].rows[k].act[f]}}) {
                double scale = std::max(std::fabs(a), std::fabs(b));
                if (scale > 0) largest = std::max(largest, std::fabs(a - b) / scale);
            }
    std::printf("largest relative difference of the factors, inversion on and off: %.3g\n",
                largest);
    timefactorsmode(ws, runs);
    return 0;
}
