// Times the environment editor on the default world, offscreen: opening it
// (creation, the first refresh and painting), switching to each of its ten
// tabs (a refresh that rebuilds the tab, then painting what the window
// shows), the "&Variable" list of the 290 x 290 pair matrix, and sorting
// "General" by a column. Prints medians in milliseconds.
//
// usage: bench_editors [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "guibench.h"
#include "toolkit/grid.h"
#include "views/editors/editenvironmentform.h"

using namespace velmora;
using bench::median;

namespace {

// An action and the painting of what the window then shows.
double timed(QWidget* w, const std::function<void()>& action) {
    const double t0 = bench::milliseconds();
    action();
    (void)w->grab();
    return bench::milliseconds() - t0;
}

void report(const std::string& what, const std::vector<double>& times) {
    std::printf("%-48s %9.1f ms (median of %zu)\n", what.c_str(), median(times), times.size());
}

} // namespace

int main(int argc, char** argv) {
    bench::Tguibench bench(argc, argv, 7);
    if (!bench.ready) return 1;
    Tworkspace& ws = bench.ws;
    const int runs = bench.args.runs;
    const Tprograminfo program("Velmora");
    std::printf("Environment editor, %u regions\n", ws.regions.count);

    std::vector<double> opening;
    for (int run = 0; run < runs; ++run) {
        const double t0 = bench::milliseconds();
        TEditEnvironmentForm form(ws, program);
        form.resize(1400, 900);
        form.show();
        (void)form.grab();
        opening.push_back(bench::milliseconds() - t0);
    }
    report("open (General shown)", opening);

    TEditEnvironmentForm form(ws, program);
    form.resize(1400, 900);
    form.show();
    double worst = 0;
    for (int k = 0; k < form.PageControl->count(); ++k) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            form.PageControl->setCurrentIndex(k == 0 ? 1 : 0);
            times.push_back(timed(&form, [&] { form.PageControl->setCurrentIndex(k); }));
        }
        worst = std::max(worst, median(times));
        report("tab " + form.PageControl->tabText(k).toStdString(), times);
    }
    std::printf("%-48s %9.1f ms\n", "slowest tab (median)", worst);

    form.setactivetab(QStringLiteral("Borders and flows"));
    std::vector<double> variable;
    for (int run = 0; run < runs; ++run) {
        form.BordersComboBox->setCurrentIndex(0);
        variable.push_back(timed(&form, [&] { form.BordersComboBox->setCurrentIndex(2); }));
    }
    report("Borders: another pair parameter", variable);

    form.setactivetab(QStringLiteral("General"));
    std::vector<double> sorts;
    for (int run = 0; run < runs; ++run) {
        form.FormShow();
        sorts.push_back(timed(&form, [&] { form.StringGridDblClick(6, 0); })); // GDP
    }
    report("General: sort by GDP", sorts);
    return 0;
}
