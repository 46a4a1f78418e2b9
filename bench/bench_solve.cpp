// Times the solution and the inversion of a system matrix of the real shape:
// 289 regions (239 land, 50 seas) of 12 compartments, about 2,150 existing
// boxes, a few non-zeros per column. Reports the median of several runs for
// the sparse path and the dense reference, and the ratios between them.
//
// Usage: bench_solve [--runs N] [--dense-runs N] [--no-dense] [--threads N] [--seed S]
//                    [--reuse-memory]
//
// The dense reference inversion takes about half a minute per run here.
//
// Fresh memory is expensive on some virtual machines (a first touch of a
// page can cost tens of microseconds), and every inversion allocates its
// result table afresh. --reuse-memory keeps large blocks in the heap, as a
// long-running program would see after its first inversion; the page faults
// of each timed step are reported either way.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "numeric/inversion.h"
#include "numeric/matrices.h"
#include "numeric/sparselu.h"
#include "numeric/vectors.h"

using namespace velmora;

namespace {

constexpr std::uint32_t regioncount = 289;
constexpr std::uint32_t seacount = 50;
constexpr std::uint32_t compartmentcount = 12;

enum : std::uint32_t {
    air = 1,
    nat,
    agr,
    urb,
    river,
    lake,
    lakesed,
    saltlake,
    saltlakesed,
    groundwater,
    seawater,
    seased
};

std::uint32_t rc(std::uint32_t region, std::uint32_t compartment) {
    return (region - 1) * compartmentcount + compartment;
}

// A random world: land regions first, then seas, on a plane; neighbours are
// the nearest regions. Boxes exist as in the model (land: up to ten
// compartments, lakes and salt lakes not everywhere; sea: three).
struct Tworld {
    std::uint32_t n = regioncount * compartmentcount;
    std::vector<char> exists;
    std::vector<std::vector<std::uint32_t>> neighbours; // 1-based regions
    // off-diagonal flows (from, to, rate) and the loss of every box
    std::vector<std::uint32_t> from, to;
    std::vector<double> rate;
    std::vector<double> loss;
    std::uint32_t boxes = 0;
};

Tworld makeworld(std::uint32_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto loguniform = [&](double lo, double hi) {
        return std::exp(std::log(lo) + unit(rng) * (std::log(hi) - std::log(lo)));
    };
    Tworld w;
    w.exists.assign(w.n + 1, 0);
    w.loss.assign(w.n + 1, 0.0);
    const std::uint32_t landcount = regioncount - seacount;
    std::vector<double> x(regioncount + 1), y(regioncount + 1), height(regioncount + 1);
    for (std::uint32_t r = 1; r <= regioncount; ++r) {
        x[r] = unit(rng);
        y[r] = unit(rng);
        height[r] = unit(rng);
    }
    w.neighbours.resize(regioncount + 1);
    for (std::uint32_t r = 1; r <= regioncount; ++r) {
        std::vector<std::pair<double, std::uint32_t>> d;
        for (std::uint32_t s = 1; s <= regioncount; ++s)
            if (s != r) d.push_back({std::hypot(x[r] - x[s], y[r] - y[s]), s});
        std::sort(d.begin(), d.end());
        for (int k = 0; k < 5; ++k)
            w.neighbours[r].push_back(d[k].second);
    }
    // Make the neighbour relation symmetric.
    for (std::uint32_t r = 1; r <= regioncount; ++r)
        for (std::uint32_t s : std::vector<std::uint32_t>(w.neighbours[r]))
            if (std::find(w.neighbours[s].begin(), w.neighbours[s].end(), r) ==
                w.neighbours[s].end())
                w.neighbours[s].push_back(r);
    auto island = [&](std::uint32_t r) { return r > landcount; };
    for (std::uint32_t r = 1; r <= regioncount; ++r) {
        if (!island(r)) {
            for (std::uint32_t c : {air, nat, agr, urb, river, groundwater})
                w.exists[rc(r, c)] = 1;
            if (unit(rng) < 0.8) w.exists[rc(r, lake)] = w.exists[rc(r, lakesed)] = 1;
            if (unit(rng) < 0.38) w.exists[rc(r, saltlake)] = w.exists[rc(r, saltlakesed)] = 1;
        } else {
            for (std::uint32_t c : {air, seawater, seased})
                w.exists[rc(r, c)] = 1;
        }
    }
    auto flow = [&](std::uint32_t a, std::uint32_t b) {
        if (!w.exists[a] || !w.exists[b] || a == b) return;
        w.from.push_back(a);
        w.to.push_back(b);
        w.rate.push_back(loguniform(1e-2, 1e2));
    };
    for (std::uint32_t r = 1; r <= regioncount; ++r) {
        auto f = [&](std::uint32_t a, std::uint32_t b) { flow(rc(r, a), rc(r, b)); };
        if (!island(r)) {
            for (std::uint32_t c : {nat, agr, urb, lake, saltlake}) {
                f(air, c);
                f(c, air);
            }
            for (std::uint32_t c : {nat, agr, urb}) {
                f(c, river);
                f(c, groundwater);
            }
            f(river, agr);
            f(river, lake);
            f(river, saltlake);
            f(lake, river);
            f(lake, lakesed);
            f(lakesed, lake);
            f(saltlake, saltlakesed);
            f(saltlakesed, saltlake);
            f(groundwater, agr);
            f(groundwater, river);
        } else {
            f(air, seawater);
            f(seawater, air);
            f(seawater, seased);
            f(seased, seawater);
        }
        // Between regions: air both ways; water downhill, or into the sea.
        for (std::uint32_t s : w.neighbours[r]) {
            if (s > r) {
                flow(rc(r, air), rc(s, air));
                flow(rc(s, air), rc(r, air));
            }
            if (island(r) && island(s)) flow(rc(r, seawater), rc(s, seawater));
        }
        if (!island(r)) {
            std::uint32_t lowest = 0;
            for (std::uint32_t s : w.neighbours[r])
                if (height[s] < height[r] && (lowest == 0 || height[s] < height[lowest]))
                    lowest = s;
            if (lowest == 0) continue; // a sink: everything leaves to the outside
            if (island(lowest)) {
                flow(rc(r, river), rc(lowest, seawater));
                flow(rc(r, groundwater), rc(lowest, seawater));
            } else {
                flow(rc(r, river), rc(lowest, river));
                flow(rc(r, groundwater), rc(lowest, groundwater));
            }
        }
    }
    // Losses: degradation and outflow, from almost nothing to most of the turnover.
    std::vector<double> out(w.n + 1, 0.0);
    for (std::size_t k = 0; k < w.rate.size(); ++k)
        out[w.from[k]] += w.rate[k];
    for (std::uint32_t i = 1; i <= w.n; ++i) {
        if (!w.exists[i]) continue;
        ++w.boxes;
        w.loss[i] = (out[i] + 1.0) * loguniform(1e-3, 1.0);
    }
    return w;
}

// Abig as the model assembles it: inflows off the diagonal, minus the
// total loss of the box (degradation, outflow, flows to other boxes) on it,
// in single precision. With `reduced` only existing boxes are numbered.
void assemble(const Tworld& w, bool reduced, Tnummatrix& a) {
    std::vector<std::uint32_t> index(w.n + 1, 0);
    std::uint32_t n = 0;
    for (std::uint32_t i = 1; i <= w.n; ++i)
        if (!reduced || w.exists[i]) index[i] = ++n;
    a.reset(n, n);
    std::vector<float> diagonal(w.n + 1, 0.0f);
    for (std::size_t k = 0; k < w.rate.size(); ++k) {
        a.addvalue(index[w.to[k]], index[w.from[k]], w.rate[k]);
        diagonal[w.from[k]] += static_cast<float>(w.rate[k]);
    }
    for (std::uint32_t i = 1; i <= w.n; ++i)
        if (w.exists[i]) a.setvalue(index[i], index[i], -(w.loss[i] + diagonal[i]));
}

double now() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
}

long pagefaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt + u.ru_majflt;
}

// Median time of f over `runs` runs; `faults` gets the median page faults.
double timed(int runs, const std::function<void()>& f, long* faults = nullptr) {
    std::vector<double> t, p;
    for (int k = 0; k < runs; ++k) {
        long p0 = pagefaults();
        double t0 = now();
        f();
        t.push_back(now() - t0);
        p.push_back(double(pagefaults() - p0));
    }
    if (faults) *faults = long(median(p));
    return median(t);
}

struct Toptions {
    int runs = 11;
    int denseruns = 3;
    bool dense = true;
    bool reuse = false;
    unsigned threads = 0;
    std::uint32_t seed = 20240611;
};

// Solves like the model's concentration mode: scaling 1, empty rows and
// columns removed, extended working precision.
void solve(const Tnummatrix& a, const Tnumvector& b, Tsolvemethod method, Tnumvector& x,
           bool remove) {
    Tsolveequations s;
    s.setscaling(1);
    s.setremoveempty(remove);
    s.setworkprecision(3);
    s.setmethod(method);
    if (!s.solve(a, b)) {
        std::fprintf(stderr, "singular system\n");
        std::exit(1);
    }
    s.getresult(x);
}

void invert(const Tnummatrix& a, Tsolvemethod method, unsigned threads, Tnummatrix& inverse,
            bool remove, double* invertonly = nullptr) {
    Tinvertmatrix m;
    m.setscaling(1);
    m.setremoveempty(remove);
    m.setworkprecision(3);
    m.setmethod(method);
    m.setthreads(threads);
    double t0 = now();
    if (!m.invert(a)) {
        std::fprintf(stderr, "singular system\n");
        std::exit(1);
    }
    if (invertonly) *invertonly = now() - t0;
    m.getresult(inverse);
}

// Largest difference relative to the largest magnitude of the reference.
double difference(const Tnummatrix& a, const Tnummatrix& b) {
    double scale = 0, d = 0;
    for (std::uint32_t i = 1; i <= a.rows(); ++i)
        for (std::uint32_t j = 1; j <= a.cols(); ++j) {
            double x = double(a.getvalue_nocheck(i, j)), y = double(b.getvalue_nocheck(i, j));
            scale = std::max(scale, std::fabs(x));
            d = std::max(d, std::fabs(x - y));
        }
    return d / scale;
}

double difference(const Tnumvector& a, const Tnumvector& b) {
    double scale = 0, d = 0;
    for (std::uint32_t i = 1; i <= a.count(); ++i) {
        double x = double(a.getvalue(i)), y = double(b.getvalue(i));
        scale = std::max(scale, std::fabs(x));
        d = std::max(d, std::fabs(x - y));
    }
    return d / scale;
}

} // namespace

int main(int argc, char** argv) {
    Toptions o;
    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        auto next = [&]() { return k + 1 < argc ? std::atoi(argv[++k]) : 0; };
        if (arg == "--runs")
            o.runs = std::max(1, next());
        else if (arg == "--dense-runs")
            o.denseruns = std::max(1, next());
        else if (arg == "--no-dense")
            o.dense = false;
        else if (arg == "--threads")
            o.threads = unsigned(next());
        else if (arg == "--seed")
            o.seed = std::uint32_t(next());
        else if (arg == "--reuse-memory")
            o.reuse = true;
        else {
            std::fprintf(stderr, "usage: bench_solve [--runs N] [--dense-runs N] [--no-dense] "
                                 "[--threads N] [--seed S] [--reuse-memory]\n");
            return 2;
        }
    }
    if (o.reuse) {
        // Serve every block from the heap and never give it back.
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    const unsigned threads =
        o.threads ? o.threads : std::max(1u, std::thread::hardware_concurrency());

    Tworld world = makeworld(o.seed);
    Tnummatrix abig(world.n, world.n), boxes(world.boxes, world.boxes);
    assemble(world, false, abig);
    assemble(world, true, boxes);
    Tnummatrix abigindexed(world.n, world.n);
    abigindexed.setstorage(indexedsparse);
    assemble(world, false, abigindexed);
    std::uint64_t nonzeros = 0;
    std::vector<std::uint32_t> percolumn(world.boxes + 1, 0);
    boxes.foreachnonzero([&](std::uint32_t, std::uint32_t j, extended) {
        ++nonzeros;
        ++percolumn[j];
    });
    std::vector<std::uint32_t> perrow(world.boxes + 1, 0);
    boxes.foreachnonzero([&](std::uint32_t i, std::uint32_t, extended) { ++perrow[i]; });
    std::printf("system: %u regions (%u land, %u seas), %u cells, %u boxes, %llu non-zeros\n"
                "        (per row: %.1f on average, at most %u; per column at most %u)\n",
                regioncount, regioncount - seacount, seacount, world.n, world.boxes,
                (unsigned long long)nonzeros, double(nonzeros) / world.boxes,
                *std::max_element(perrow.begin(), perrow.end()),
                *std::max_element(percolumn.begin(), percolumn.end()));
    std::printf("        %u threads; memory: %s\n", threads,
                o.reuse ? "large blocks reused from the heap (--reuse-memory)"
                        : "the C library's default (large blocks mapped afresh)");

    // An emission into the air of one region, as in concentration mode.
    Tnumvector emis(world.n), emisboxes(world.boxes);
    emis.reset(world.n);
    emis.setvalue(rc(150, air), 1.0L);
    emisboxes.reset(world.boxes);
    {
        std::uint32_t k = 0;
        for (std::uint32_t i = 1; i <= world.n; ++i)
            if (world.exists[i]) {
                ++k;
                if (i == rc(150, air)) emisboxes.setvalue(k, 1.0L);
            }
    }

    // The engine alone, on the boxes that exist, in double.
    double enginefactorise = 0, enginesubstitute = 0;
    {
        std::vector<std::int32_t> r, c;
        std::vector<double> v;
        boxes.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
            r.push_back(std::int32_t(i - 1));
            c.push_back(std::int32_t(j - 1));
            v.push_back(double(x));
        });
        const std::int32_t n = std::int32_t(world.boxes);
        Tsparsecolumns m = Tsparsecolumns::fromtriplets(n, r, c, v);
        double order = timed(o.runs, [&] { (void)minimumdegreeorder(m); });
        Tsparselu lu;
        enginefactorise = timed(o.runs, [&] { lu.factorise(m); });
        std::vector<double> b(n, 0.0), work(n);
        enginesubstitute = timed(o.runs, [&] {
            std::fill(b.begin(), b.end(), 0.0);
            b[0] = 1;
            lu.solve(b.data(), work.data());
        });
        std::vector<float> table(std::size_t(n) * n, 0.0f);
        std::vector<std::int32_t> identity(n);
        for (std::int32_t k = 0; k < n; ++k)
            identity[k] = k;
        Tinversetarget target;
        target.table = table.data();
        target.stride = std::size_t(n);
        target.rowof = identity.data();
        target.colof = identity.data();
        double inverseone = timed(o.runs, [&] { lu.invert(target, 1, nullptr); });
        double inverseall = timed(o.runs, [&] { lu.invert(target, threads, nullptr); });
        std::printf("\nsparse LU engine, boxes only, double precision, median of %d:\n", o.runs);
        std::printf("  ordering                        %8.3f ms\n", order);
        std::printf("  factorisation incl. ordering    %8.3f ms\n", enginefactorise);
        std::printf("  one substitution                %8.3f ms\n", enginesubstitute);
        std::printf("  inverse into a ready table      %8.3f ms on 1 thread, %.3f ms on %u\n",
                    inverseone, inverseall, threads);
        std::printf("  L %zu + U %zu non-zeros (%.2f times those of the matrix), "
                    "%d off-diagonal pivots\n",
                    lu.lnonzeros(), lu.unonzeros(),
                    double(lu.lnonzeros() + lu.unonzeros()) / double(m.nonzeros()),
                    lu.offdiagonalpivots());
    }

    Tnumvector xs, xd;
    Tnummatrix inverses, inversed;
    long faults = 0;
    std::printf("\nthrough Tsolveequations / Tinvertmatrix with the model's options (scaling 1, "
                "working precision 3),\nsparse path, median of %d (page faults per run):\n",
                o.runs);
    char label[80];
    double solveboxes = timed(
        o.runs, [&] { solve(boxes, emisboxes, Tsolvemethod::sparse, xs, false); }, &faults);
    std::snprintf(label, sizeof label, "boxes only (%u x %u dense table)", world.boxes,
                  world.boxes);
    std::printf("  one solve, %-44s %7.2f ms  (%ld)\n", label, solveboxes, faults);
    double solvebig = timed(
        o.runs, [&] { solve(abig, emis, Tsolvemethod::sparse, xs, true); }, &faults);
    std::snprintf(label, sizeof label, "Abig %u x %u dense table, removal on", world.n, world.n);
    std::printf("  one solve, %-44s %7.2f ms  (%ld)\n", label, solvebig, faults);
    double solveindexed = timed(
        o.runs, [&] { solve(abigindexed, emis, Tsolvemethod::sparse, xs, true); }, &faults);
    std::printf("  one solve, %-44s %7.2f ms  (%ld)\n", "Abig indexed sparse, removal on",
                solveindexed, faults);

    const int inversionruns = std::max(3, o.runs / 2);
    std::vector<double> invertonly;
    auto inversion = [&](const Tnummatrix& a, bool remove, unsigned t, const char* what) {
        invertonly.clear();
        long p0 = pagefaults();
        double t0 = now();
        invert(a, Tsolvemethod::sparse, t, inverses, remove);
        double first = now() - t0;
        long firstfaults = pagefaults() - p0;
        double total = timed(
            inversionruns,
            [&] {
                double only = 0;
                invert(a, Tsolvemethod::sparse, t, inverses, remove, &only);
                invertonly.push_back(only);
            },
            &faults);
        double only = median(invertonly);
        std::printf("    %-38s %7.1f ms %7.1f ms  (%5ld)   %7.1f ms  (%5ld)\n", what, only, total,
                    faults, first, firstfaults);
        return only;
    };
    std::printf("  inversion, median of %d after a first run:  invert  +getresult (faults)   "
                "first run (faults)\n",
                inversionruns);
    double inverseboxes = inversion(boxes, false, o.threads, "boxes only, all threads");
    inversion(boxes, false, 1, "boxes only, 1 thread");
    inversion(abig, true, o.threads, "Abig with removal, all threads");

    if (!o.dense) return 0;
    std::printf("\ndense reference (working precision 3), boxes only, median of %d:\n",
                o.denseruns);
    std::fflush(stdout);
    double densesolve =
        timed(o.denseruns, [&] { solve(boxes, emisboxes, Tsolvemethod::dense, xd, false); });
    std::printf("  one solve   %10.1f ms   dense / sparse: %.0f (engine alone: %.0f)\n", densesolve,
                densesolve / solveboxes, densesolve / (enginefactorise + enginesubstitute));
    std::fflush(stdout);
    invertonly.clear();
    timed(o.denseruns, [&] {
        double t = 0;
        invert(boxes, Tsolvemethod::dense, o.threads, inversed, false, &t);
        invertonly.push_back(t);
    });
    double denseinverse = median(invertonly);
    std::printf("  inversion   %10.1f ms   dense / sparse: %.0f\n", denseinverse,
                denseinverse / inverseboxes);
    solve(boxes, emisboxes, Tsolvemethod::sparse, xs, false);
    invert(boxes, Tsolvemethod::sparse, o.threads, inverses, false);
    std::printf("  largest difference sparse - dense, relative to the largest value: "
                "solution %.1e, inverse %.1e\n",
                difference(xd, xs), difference(inversed, inverses));
    return 0;
}
