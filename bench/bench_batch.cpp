// Times the characterisation factors of every substance of the workbook for
// every emission box of the all-factors dialog's default selection, on a
// number of threads, the two ways the command line has made them:
//   boxbybox  each substance in a workspace of its own (workbooks read,
//             start-up calculated), every box calculated from the inverse;
//   product   one workspace per thread, started once, each substance opened
//             in turn, the boxes after the first from one pass over the
//             inverse.
// Reports wall-clock and processor time (all threads; on a busy machine the
// processor time tells the cost) and whether both give the same factors.
//
// usage: bench_batch [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
//                    [--threads N] [--substances N] [--only boxbybox|product]
#include <atomic>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "compute/allfactors.h"
#include "model/substance.h"

using namespace velmora;
using bench::median;

namespace {

double cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

using Tfactors = std::map<std::string, std::vector<Tallfactorsrow>>;

// The factors of one substance in a started workspace; nothing for one
// that cannot be calculated.
std::vector<Tallfactorsrow> factorsof(Tworkspace& ws, const std::string& name, bool boxbybox) {
    ws.opensubstance(name);
    if (!ws.sub.present) return {};
    Tallfactorsselection s = Tallfactorsselection::defaults(ws.model, false);
    s.boxbybox = boxbybox;
    Tsilentprogress progress;
    Tallfactorsrun run = runallfactors(ws.model, s, progress);
    if (run.singular) return {};
    return run.rows;
}

Tfactors batch(const std::string& dir, const std::vector<std::string>& names, unsigned threads,
               bool product) {
    std::vector<std::vector<Tallfactorsrow>> rows(names.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        Trecorderui ui;
        std::unique_ptr<Tworkspace> ws;
        for (std::size_t k = next++; k < names.size(); k = next++) {
            if (!ws || !product) {
                ws = std::make_unique<Tworkspace>(ui, dir);
                ws->initialize();
            }
            rows[k] = factorsof(*ws, names[k], !product);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    Tfactors all;
    for (std::size_t k = 0; k < names.size(); ++k)
        all[names[k]] = std::move(rows[k]);
    return all;
}

bool same(const std::vector<Tallfactorsrow>& a, const std::vector<Tallfactorsrow>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].regcomp != b[k].regcomp || a[k].computed != b[k].computed ||
            a[k].pot != b[k].pot || a[k].act != b[k].act || a[k].potknown != b[k].potknown ||
            a[k].actknown != b[k].actknown)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Tbenchargs args = bench::benchargs(argc, argv, 1);
    const char* threadsoption = args.option("--threads");
    const char* substancesoption = args.option("--substances");
    const char* onlyoption = args.option("--only");
    const std::string only = onlyoption ? onlyoption : "";
    unsigned threads = threadsoption ? static_cast<unsigned>(std::atoi(threadsoption))
                                     : std::max(1u, std::thread::hardware_concurrency());
    Trecorderui ui;
    Tworkspace ws(ui, args.dir);
    if (!bench::loadworld(ws, args.dir) || !ws.opensubstancesworkbook()) return 1;
    std::vector<std::string> names = substancenames(*ws.SubstancesWorkbook, "VELMORA");
    if (substancesoption && std::size_t(std::atoi(substancesoption)) < names.size())
        names.resize(static_cast<std::size_t>(std::atoi(substancesoption)));
    std::printf("%zu substances, %u threads\n", names.size(), threads);
    Tfactors results[2];
    double walls[2] = {0, 0};
    for (int product = 0; product < 2; ++product) {
        const char* name = product ? "product" : "boxbybox";
        if (!only.empty() && only != name) continue;
        std::vector<double> wall, processor;
        for (int r = 0; r < args.runs; ++r) {
            double w = bench::seconds(), c = cpu();
            results[product] = batch(args.dir, names, threads, product == 1);
            wall.push_back(bench::seconds() - w);
            processor.push_back(cpu() - c);
        }
        std::size_t computed = 0;
        for (const auto& [substance, rows] : results[product])
            for (const Tallfactorsrow& row : rows)
                computed += row.computed;
        walls[product] = median(wall);
        std::printf("%-9s boxes %zu  wall median %.2f s  processor median %.2f s  (%d runs)\n",
                    name, computed, median(wall), median(processor), args.runs);
    }
    if (only.empty()) {
        std::size_t differing = 0;
        for (const auto& [substance, rows] : results[0])
            differing += !same(rows, results[1][substance]);
        std::printf("product / boxbybox wall %.3f; substances whose factors differ: %zu\n",
                    walls[1] / walls[0], differing);
    }
    return 0;
}
