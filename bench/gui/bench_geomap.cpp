// How long the geographic map takes to read its line files and to draw the
// whole world at each quality, offscreen. Prints the median of the runs.
//   bench_geomap [runs]   (default 21; the maps folder beside the program)
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "benchsupport.h"
#include "toolkit/geoform.h"
#include "toolkit/geomap.h"

using namespace velmora;

namespace {

template <typename F> double median(int runs, F&& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return bench::median(std::move(ms));
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const std::string dir = geodatadirectory(Tprograminfo::current());
    Tgeomap map;
    const double load = median(std::max(1, runs / 4), [&] { map.loaddata(dir, 1, true, true); });
    std::printf("folder %s: %u lines of rank 1\n", dir.c_str(), map.lines.count());
    std::printf("loaddata (rank 1, rivers, borders): median %.1f ms\n", load);
    QImage picture(1200, 600, QImage::Format_RGB32);
    map.bindimage(&picture);
    const char* names[] = {"high", "medium", "low"};
    for (int projection : {0, 1})
        for (int quality : {0, 1, 2}) {
            map.projection = projection;
            map.quality = quality;
            const double ms = median(runs, [&] { map.drawmap(true, true, false); });
            std::printf("World view, %s, %s quality: median %.1f ms\n",
                        projection ? "Robinson" : "Mercator", names[quality], ms);
        }
    map.quality = 0;
    map.projection = 0;
    const double rivers = median(runs, [&] { map.drawmap(true, true, true); });
    std::printf("World view, Mercator, high quality with rivers: median %.1f ms\n", rivers);
    return 0;
}
