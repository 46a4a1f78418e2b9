// Renders the program's windows offscreen into the manual's pictures.
//
//   velmora-screenshots PROGRAMDIR IMAGEDIR
//
// PROGRAMDIR holds the default workbooks (the build's bin folder). The
// pictures are committed with the manual; run this after a window changed
// (the build target velmora_manual_screenshots does).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdio>
#include <iostream>

#include "app/velmoraform.h"
#include "numeric/uiservice.h"
#include "toolkit/aboutform.h"
#include "toolkit/smallforms.h"
#include "toolkit/sysinfo.h"
#include "views/aggregationform.h"
#include "views/allfactorsform.h"
#include "views/dynamicform.h"
#include "views/editors/editenvironmentform.h"
#include "views/modelenvironmentform.h"
#include "views/opensubstanceform.h"
#include "views/settingsform.h"
#include "views/worldmapform.h"
#include "app/workspace.h"
#include "numeric/utilities.h"

using namespace velmora;

namespace {

QString outdir;

// The big windows open maximised; a picture of a fixed size reads better.
void unmaximise(QWidget& window, int width, int height) {
    window.setWindowState(Qt::WindowNoState);
    window.setMinimumSize(0, 0);
    window.resize(width, height);
}

void save(QWidget& window, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = QDir(outdir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!window.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    window.hide();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: velmora-screenshots PROGRAMDIR IMAGEDIR\n");
        return 2;
    }
    const std::string programdir = argv[1];
    outdir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outdir);

    Tprograminfo program(QDir(QString::fromStdString(programdir)).filePath(QStringLiteral("Velmora")).toStdString());
    program.identify(buildwebpage());
    // Warnings to the terminal: a message box would wait for a click nobody gives.
    Tconsoleui ui(std::cerr);
    TVelmoraForm form(programdir, &ui);
    form.setWindowState(Qt::WindowNoState);
    form.setMinimumSize(0, 0);
    form.resize(870, 500);
    save(form, "mainwindow");

    TSettingsForm settings(form.workspace(), &form);
    save(settings, "settings");
    TOpenSubstanceForm open(form.workspace(), &form);
    save(open, "opensubstance");
    TAggregationForm aggregation(form.workspace().settings, form.workspace().regions, &form);
    save(aggregation, "aggregation");
    TAboutForm about(program, form.workspace().settings.Digits, &form);
    save(about, "about");
    auto sysinfo = makesysinfoform(program, form.workspace().settings.Digits, &form);
    sysinfo->resize(560, 520);
    save(*sysinfo, "sysinfo");

    // The results of the start-up calculation.
    TModelEnvironmentForm results(form.workspace(), program, &form);
    unmaximise(results, 900, 640);
    results.setactivetab(QStringLiteral("Concentrations"));
    save(results, "results");
    results.setactivetab(QStringLiteral("Balance"));
    save(results, "balance");
    results.setactivetab(QStringLiteral("Distribution"));
    save(results, "distribution");
    // The air concentrations of the start-up emission on the map, on the
    // logarithmic scale chosen in the list below it: on the linear one
    // hardly a mark shows beside the emitting country.
    {
        const Tworkspace& ws = form.workspace();
        std::vector<std::string> names, cells;
        for (std::uint32_t i = 1; i <= ws.regions.count; ++i) {
            names.push_back(ws.regions.name(i));
            cells.push_back(numtostr(ws.results.C_air.value(i), 9));
        }
        auto map = columnmap(program, ws.regions, names, cells, &form);
        map->ScaleComboBox->setCurrentIndex(1);
        emit map->ScaleComboBox->activated(1);
        save(*map, "geomap");
    }
    TAllFactorsForm allfactors(form.workspace(), &form);
    save(allfactors, "allfactors");
    TEditEnvironmentForm editor(form.workspace(), program, &form);
    unmaximise(editor, 900, 560);
    save(editor, "editenvironment");

    // Twenty years of the start-up emission, then a century of decline.
    TDynamicForm dynamic(form.workspace(), program, &form);
    dynamic.resize(1100, 600);
    dynamic.EmissionsTable->item(0, 3)->setText(QStringLiteral("20y"));
    dynamic.TimesEdit->setText(QStringLiteral("log:60"));
    dynamic.StartButtonClick();
    dynamic.SeriesListBox->item(0)->setSelected(false);
    for (int item : {1, 2, 11})
        dynamic.SeriesListBox->item(item)->setSelected(true);
    dynamic.LogTimeCheckBox->setChecked(true);
    dynamic.LogValueCheckBox->setChecked(true);
    save(dynamic, "dynamic");
    return 0;
}
