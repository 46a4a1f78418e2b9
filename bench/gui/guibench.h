#pragma once
// What the window benchmarks share before they time anything: an offscreen
// application (unless a display is asked for), numbers written with a point,
// the command line read, and the world loaded and calculated.
#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "benchsupport.h"
#include "numeric/uiservice.h"

namespace velmora::bench {

struct Tguibench {
    Tguibench(int& argc, char** argv, int defaultruns)
        : application(offscreen(argc), argv), args(readargs(argc, argv, defaultruns)),
          ws(ui, args.dir), ready(loadworld(ws, args.dir)) {}

    QApplication application;
    Tbenchargs args;
    Tconsoleui ui;
    Tworkspace ws;
    bool ready; // false when the folder holds no world, which has been said

private:
    // The platform must be chosen before the application exists.
    static int& offscreen(int& argc) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return argc;
    }
    // Qt sets the locale of the process; the figures are printed with a point.
    static Tbenchargs readargs(int argc, char** argv, int defaultruns) {
        std::setlocale(LC_NUMERIC, "C");
        return benchargs(argc, argv, defaultruns);
    }
};

} // namespace velmora::bench
