// Times the windows' toolkit on the default world (n = 3,468 regcomps):
// putting Abig and the full inverse Abig^-1 into a grid and painting what
// a window shows of it, sorting a 3,468-row grid of 3,468 columns by a
// numeric column, and the matrix chart of both into a 400-pixel picture.
// Reports the median of several runs in milliseconds. Runs offscreen.
//
// usage: bench_grids [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <QApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "guibench.h"
#include "toolkit/grid.h"
#include "toolkit/matrixchart.h"
#include "toolkit/plot.h"

using namespace velmora;
using bench::median;

namespace {

// The grid table of a regcomp matrix, as the results window builds it.
std::shared_ptr<Tcomputedtable> regcomptable(const Tworkspace& ws, const Tnumparss& p) {
    const std::uint32_t n = ws.regcomps.n;
    auto table = std::make_shared<Tcomputedtable>(
        p.values.rows(), p.values.cols(),
        [&p](std::uint32_t i, std::uint32_t j) { return p.display(i, j); });
    for (std::uint32_t k = 1; k <= n; ++k) {
        table->colheadings.push_back(ws.regcomps.regcompname(k));
        table->rowheadings.push_back(ws.regcomps.regcompname(k));
    }
    return table;
}

} // namespace

int main(int argc, char** argv) {
    bench::Tguibench bench(argc, argv, 7);
    if (!bench.ready) return 1;
    Tworkspace& ws = bench.ws;
    const int runs = bench.args.runs;
    // The full inverse, as Factors mode computes it.
    ws.settings.FactorsMode = true;
    ws.regcomps.build();
    ws.env.changed = true;
    ws.calculate();
    const Tnumparss& abig = ws.regcomps.Abig;
    const Tnumparss& inverse = ws.regcomps.Abiginverse;
    std::printf("Abig %u x %u, %u stored cells; Abig^-1 %u x %u\n", abig.values.rows(),
                abig.values.cols(), abig.values.itemcount(), inverse.values.rows(),
                inverse.values.cols());

    std::map<std::string, std::vector<double>> times;
    std::vector<std::string> order;
    auto record = [&](const std::string& name, double ms) {
        if (!times.count(name)) order.push_back(name);
        times[name].push_back(ms);
    };

    Tgrid grid;
    grid.resize(1200, 800);
    for (int run = 0; run < runs; ++run) {
        for (const Tnumparss* p : {&abig, &inverse}) {
            const std::string name = p->name();
            double t = bench::milliseconds();
            grid.settable(regcomptable(ws, *p));
            gridlayout(&grid);
            record("fill grid model: " + name, bench::milliseconds() - t);
            t = bench::milliseconds();
            QPixmap shown = grid.grab();
            record("paint 1200 x 800 grid of " + name, bench::milliseconds() - t);
        }

        grid.settable(regcomptable(ws, inverse));
        double t = bench::milliseconds();
        sortgrid(&grid, 1789, sortnumeric, bench.ui);
        record("sort 3,468 rows numerically (Abig^-1 column 1789)", bench::milliseconds() - t);
        if (run == 0)
            std::printf("column 1789 (region 150, air) after the sort: %s, %s, ... %s\n",
                        grid.table().cell(1789, 1).c_str(), grid.table().cell(1789, 2).c_str(),
                        grid.table().cell(1789, grid.table().rows() - 1).c_str());
        t = bench::milliseconds();
        sortgrid(&grid, 1795, sortnumeric | sortabsolute | sortdescending, bench.ui);
        record("sort again by |column 1795| descending", bench::milliseconds() - t);

        for (const Tnumparss* p : {&abig, &inverse}) {
            t = bench::milliseconds();
            Timage image(nullptr, QSize(400, 400));
            Tplot plot(image, matrixworld(p->values), 0.1f, 0.1f);
            drawmatrixchart(plot, p->values, p->name());
            record("matrix chart, 400 pixels: " + p->name(), bench::milliseconds() - t);
            if (run == 0)
                image.picture().save(QString::fromStdString(
                    (std::filesystem::temp_directory_path() / ("bench-chart-" + std::to_string(p == &abig) + ".png")).string()));
        }
    }
    std::printf("median of %d runs, milliseconds\n", runs);
    for (const auto& name : order)
        std::printf("%-55s %9.2f\n", name.c_str(), median(times[name]));
    return 0;
}
