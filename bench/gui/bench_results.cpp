// Times the results window on the default world, offscreen: opening each
// tab (a refresh that rebuilds it, then painting what the window shows),
// the "&Variable" lists switched to Abig (and, in Factors mode, to its
// inverse), Next/Previous (recalculation plus refresh of the active tab),
// and scrolling the Abig grid from end to end page by page (the slowest
// page is reported too). Prints medians in milliseconds.
//
// usage: bench_results [--runs N] [--dir DIRECTORY-WITH-WORKBOOKS]
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "guibench.h"
#include "toolkit/grid.h"
#include "views/modelenvironmentform.h"
#include "views/resultsmatrixtabs.h"

using namespace velmora;
using bench::median;

namespace {

// Paints the window as the screen would show it now.
void paint(QWidget* w) {
    (void)w->grab();
}

double timed(QWidget* w, const std::function<void()>& action) {
    const double t0 = bench::milliseconds();
    action();
    paint(w);
    return bench::milliseconds() - t0;
}

void report(const char* what, const std::vector<double>& times) {
    std::printf("%-48s %9.1f ms (median of %zu)\n", what, median(times), times.size());
}

void tabs(TModelEnvironmentForm& form, int runs) {
    for (int k = 0; k < form.tabcount(); ++k) {
        if (!form.PageControl->isTabVisible(k)) continue;
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            form.PageControl->setCurrentIndex(k == 0 ? 1 : 0);
            times.push_back(timed(&form, [&] { form.PageControl->setCurrentIndex(k); }));
        }
        report(form.PageControl->tabText(k).toUtf8().constData(), times);
    }
}

void variable(TModelEnvironmentForm& form, const QString& item, int runs) {
    form.setactivetab(QStringLiteral("Equations"));
    QComboBox* list = form.EquationsTab->EquationsComboBox;
    const int index = list->findText(item, Qt::MatchStartsWith);
    if (index < 0) return;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        list->setCurrentIndex(0);
        times.push_back(timed(&form, [&] { list->setCurrentIndex(index); }));
    }
    report(("Equations: " + item.toStdString()).c_str(), times);
}

void scroll(TModelEnvironmentForm& form) {
    Tgrid* grid = form.EquationsTab->EquationsStringGrid;
    QScrollBar* bar = grid->verticalScrollBar();
    std::vector<double> pages;
    bar->setValue(0);
    const double t0 = bench::milliseconds();
    while (true) {
        const int before = bar->value();
        pages.push_back(timed(&form, [&] { bar->setValue(before + bar->pageStep()); }));
        if (bar->value() == before || bar->value() >= bar->maximum()) break;
    }
    const double total = bench::milliseconds() - t0;
    std::printf("%-48s %9.1f ms median page, %.1f ms slowest, %zu pages, %.0f ms in all\n",
                "Abig scrolled end to end", median(pages),
                *std::max_element(pages.begin(), pages.end()), pages.size(), total);
}

} // namespace

int main(int argc, char** argv) {
    bench::Tguibench bench(argc, argv, 7);
    if (!bench.ready) return 1;
    Tworkspace& ws = bench.ws;
    const int runs = bench.args.runs;
    const Tprograminfo program("Velmora");
    {
        TModelEnvironmentForm form(ws, program);
        form.resize(1400, 900);
        form.show();
        std::printf("Concentration mode, %u regcomps\n", ws.regcomps.n);
        tabs(form, runs);
        variable(form, QStringLiteral("Abig ("), runs);
        scroll(form);
        form.setactivetab(QStringLiteral("Concentrations"));
        std::vector<double> moves;
        for (int run = 0; run < runs; ++run) {
            moves.push_back(timed(&form, [&] { form.NextEmissionButton->click(); }));
            moves.push_back(timed(&form, [&] { form.PreviousEmissionButton->click(); }));
        }
        report("Next/Previous (Concentrations active)", moves);
    }
    ws.settings.FactorsMode = true;
    ws.env.changed = true;
    ws.calculate();
    {
        TModelEnvironmentForm form(ws, program);
        form.resize(1400, 900);
        form.show();
        std::printf("Factors mode\n");
        variable(form, QStringLiteral("Abig ("), runs);
        variable(form, QStringLiteral("Abig^-1"), runs);
        form.setactivetab(QStringLiteral("Factors"));
        std::vector<double> factors;
        for (int run = 0; run < runs; ++run) {
            form.setactivetab(QStringLiteral("Check"));
            factors.push_back(timed(&form, [&] { form.setactivetab(QStringLiteral("Factors")); }));
        }
        report("Factors (FF)", factors);
    }
    return 0;
}
