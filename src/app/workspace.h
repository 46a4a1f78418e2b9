#pragma once
// The workspace: the one model the program holds (regions, environment,
// compartments, regcomp index, substance, emission, results, reference),
// the global settings and the two workbooks held open. The desktop program,
// the command-line tool and the tests each make their own.
#include <memory>
#include <string>

#include "model/environment.h"
#include "model/regions.h"
#include "model/settings.h"
#include "toolkit/sheets/excelfile.h"

namespace velmora {

class Tworkspace {
public:
    // programdirectory: where the default workbooks are looked for.
    Tworkspace(Tuiservice& ui, const std::string& programdirectory);
    ~Tworkspace();
    Tworkspace(const Tworkspace&) = delete;
    Tworkspace& operator=(const Tworkspace&) = delete;

    Tsettings settings;
    Tuiservice& ui;
    Tmodelcontext context;
    std::string programdirectory;

    std::unique_ptr<TExcelFile> EnvironmentWorkbook;
    std::unique_ptr<TExcelFile> SubstancesWorkbook;

    // Created in this order, never replaced.
    Tregions regions;
    Tenv env;
    Tcompartments compartments;

    // Reads the region list and both environment workbooks afresh (the
    // first steps of initialisation).
    void readenvironment();
    // Opens the first environment workbook as EnvironmentWorkbook; false
    // (after the workbook's warning) when it cannot be opened.
    bool openenvironmentworkbook();
};

} // namespace velmora
