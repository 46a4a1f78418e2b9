// Times the all-factors run on the default world (or the workbooks named on
// the command line): the dialog's default selection with and without
// matrix inversion, as wall-clock and processor time (the processor time
// tells the cost on a busy machine), and how far the factors of the two
// ways differ.
//
// usage: bench_allfactors [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "compute/allfactors.h"

using namespace velmora;

namespace {
double wall() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
double cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    int runs = 5;
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
    if (!ws.env.present || !ws.sub.present) {
        std::fprintf(stderr, "no default world in %s\n", dir.c_str());
        return 1;
    }
    Tallfactorsselection selection = Tallfactorsselection::defaults(ws.model, false);
    Tallfactorsrun results[2];
    for (int inversion = 1; inversion >= 0; --inversion) {
        selection.useinversion = inversion == 1;
        std::vector<double> walls, cpus;
        for (int r = 0; r < (inversion ? runs : std::max(1, runs / 2)); ++r) {
            std::unique_ptr<Tprogress> progress = ui.progress();
            double w = wall(), c = cpu();
            results[inversion] = runallfactors(ws.model, selection, *progress);
            walls.push_back(wall() - w);
            cpus.push_back(cpu() - c);
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
    return 0;
}
