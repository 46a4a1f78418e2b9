// Times stores and reads of a Tnummatrix the size of the system matrix (289
// regions x 12 compartments = 3468 rows and columns) in dense and in indexed
// sparse storage, with the sparsity of a region-compartment system: about 30
// non-zeros a row, clustered in the 12 x 12 block of the row's own region and
// in the blocks of a few neighbouring regions.
//
// Usage: bench_matrix [runs]   (default 5; the median of the runs is shown)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numeric/matrices.h"

using namespace velmora;

namespace {

constexpr std::uint32_t regions = 289;
constexpr std::uint32_t compartments = 12;
constexpr std::uint32_t n = regions * compartments; // 3468

struct Tcell {
    std::uint32_t row, col;
    float value;
};

std::uint32_t lcg(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// The non-zero pattern, row by row. Own block: 10 of the 12 compartments
// (a land region has ten). Four neighbour regions within 20 places: the same
// compartment and four others each, as air, water and sediment exchange.
std::vector<Tcell> pattern() {
    std::vector<Tcell> cells;
    std::uint32_t state = 20240611u;
    for (std::uint32_t region = 0; region < regions; ++region) {
        std::vector<std::uint32_t> neighbours;
        while (neighbours.size() < 4) {
            std::int32_t offset = static_cast<std::int32_t>(lcg(state) % 41) - 20;
            std::int32_t other = static_cast<std::int32_t>(region) + offset;
            if (offset == 0 || other < 0 || other >= static_cast<std::int32_t>(regions)) continue;
            if (std::find(neighbours.begin(), neighbours.end(), std::uint32_t(other)) !=
                neighbours.end())
                continue;
            neighbours.push_back(static_cast<std::uint32_t>(other));
        }
        for (std::uint32_t c = 0; c < compartments; ++c) {
            std::uint32_t row = region * compartments + c + 1;
            std::vector<std::uint32_t> cols;
            for (std::uint32_t d = 0; d < compartments; ++d)
                if (d != (c + 5) % compartments && d != (c + 7) % compartments)
                    cols.push_back(region * compartments + d + 1);
            for (std::uint32_t other : neighbours) {
                // the same compartment and four others of the neighbour
                std::vector<std::uint32_t> picked = {c};
                while (picked.size() < 5) {
                    std::uint32_t d = lcg(state) % compartments;
                    if (std::find(picked.begin(), picked.end(), d) == picked.end())
                        picked.push_back(d);
                }
                for (std::uint32_t d : picked)
                    cols.push_back(other * compartments + d + 1);
            }
            std::sort(cols.begin(), cols.end());
            cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
            for (std::uint32_t col : cols) {
                float value = 1e-9f * static_cast<float>(1 + lcg(state) % 100000);
                cells.push_back({row, col, col == row ? -value * 40 : value});
            }
        }
    }
    return cells;
}

double seconds(const std::function<void()>& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    return d.count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

volatile double sink = 0;

struct Tresult {
    std::string what;
    std::uint64_t operations;
    std::vector<double> times;
};

void measure(std::uint8_t kind, const std::vector<Tcell>& cells, int runs,
             std::vector<Tresult>& results) {
    std::vector<Tresult> r = {{"fill by setvalue", cells.size(), {}},
                              {"read all cells by getvalue", std::uint64_t(n) * n, {}},
                              {"read the non-zeros by getvalue", cells.size(), {}},
                              {"walk the non-zeros (foreachnonzero)", cells.size(), {}},
                              {"clear and refill", cells.size(), {}},
                              {"remove every non-zero (store 0)", cells.size(), {}}};
    for (int run = 0; run < runs; ++run) {
        auto m = std::make_unique<Tnummatrix>(n, n);
        m->setstorage(kind);
        r[0].times.push_back(seconds([&] {
            for (const Tcell& c : cells)
                m->setvalue(c.row, c.col, c.value);
        }));
        r[1].times.push_back(seconds([&] {
            double s = 0;
            for (std::uint32_t i = 1; i <= n; ++i)
                for (std::uint32_t j = 1; j <= n; ++j)
                    s += static_cast<double>(m->getvalue(i, j));
            sink = s;
        }));
        r[2].times.push_back(seconds([&] {
            double s = 0;
            for (const Tcell& c : cells)
                s += static_cast<double>(m->getvalue(c.row, c.col));
            sink = s;
        }));
        r[3].times.push_back(seconds([&] {
            double s = 0;
            m->foreachnonzero(
                [&](std::uint32_t, std::uint32_t, extended x) { s += static_cast<double>(x); });
            sink = s;
        }));
        r[4].times.push_back(seconds([&] {
            m->clear();
            for (const Tcell& c : cells)
                m->setvalue(c.row, c.col, c.value);
        }));
        r[5].times.push_back(seconds([&] {
            for (const Tcell& c : cells)
                m->setvalue(c.row, c.col, 0);
        }));
        if (kind != dense && m->itemcount() != 0) {
            std::fprintf(stderr, "items left after removing them all: %u\n", m->itemcount());
            std::exit(1);
        }
    }
    for (auto& x : r)
        results.push_back(std::move(x));
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<Tcell> cells = pattern();
    std::printf("matrix %u x %u, %zu non-zeros (%.1f a row), single precision, median of %d "
                "runs\n\n",
                n, n, cells.size(), static_cast<double>(cells.size()) / n, runs);
    for (std::uint8_t kind : {std::uint8_t(dense), std::uint8_t(indexedsparse)}) {
        std::vector<Tresult> results;
        measure(kind, cells, runs, results);
        std::printf("%s\n", kind == dense ? "dense" : "indexed sparse");
        for (const auto& x : results) {
            double t = median(x.times);
            auto [lo, hi] = std::minmax_element(x.times.begin(), x.times.end());
            std::printf("  %-38s %9.2f ms (%.2f..%.2f)  %8.2f ns each\n", x.what.c_str(), t * 1e3,
                        *lo * 1e3, *hi * 1e3, t * 1e9 / static_cast<double>(x.operations));
        }
        double bytes = kind == dense ? double(n) * n * 4
                                     : double(n) * n * 4 + double(cells.size()) * (4 + 4 + 4);
        std::printf("  %-38s %10.1f MB\n\n", "memory of the tables", bytes / 1e6);
    }
    // Removing an indexed sparse item by scanning the index table for the
    // cell of the last item, instead of looking it up in the row and column
    // lists, would cost about half a table scan per removal.
    std::vector<std::uint32_t> table(std::size_t(n) * n, 0);
    table[table.size() - 7] = 1;
    std::vector<double> scans;
    for (int run = 0; run < runs; ++run)
        scans.push_back(seconds([&] {
            sink = static_cast<double>(std::find(table.begin(), table.end(), 1u) - table.begin());
        }));
    double scan = median(scans);
    std::printf("one full scan of a %u x %u index table: %.2f ms; removing all %zu items by "
                "scanning would take about %.0f s\n",
                n, n, scan * 1e3, cells.size(), scan * 0.5 * static_cast<double>(cells.size()));
    return 0;
}
