#pragma once
// The workspace: the one model the program holds (regions, environment,
// compartments, regcomp index, substance, emission, results, reference),
// the global settings and the two workbooks held open. The desktop program,
// the command-line tool and the tests each make their own.
#include <memory>
#include <string>

#include "compute/calculation.h"
#include "compute/model.h"
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
    // The substance initialisation loads ("Nitrobenzene" in the program).
    std::string startsubstance = "Nitrobenzene";

    std::unique_ptr<TExcelFile> EnvironmentWorkbook;
    std::unique_ptr<TExcelFile> SubstancesWorkbook;

    // Created in this order, never replaced.
    Tregions regions;
    Tenv env;
    Tcompartments compartments;
    Tregcomps regcomps;
    Tsub sub;
    Temi emi;
    Tresults results;
    Tref ref;
    Tmodel model;

    // (Re)initialises every object, imports the environment, loads the
    // default substance, sets the start-up emission and calculates. Without
    // the calculation it stops after loading the substance (the emission
    // stays cleared), which is what a look at the inputs needs. False when
    // no environment was read (a workbook missing or damaged, or Cancel,
    // which env.cancelled tells); the objects are then cleared, not the ones
    // of before: a caller that must keep those initialises another workspace.
    bool initialize(bool withcalculation = true, Ttimings* timings = nullptr);
    // The first steps of initialisation: region list and both workbooks.
    void readenvironment();
    // Opens the first environment workbook as EnvironmentWorkbook; false
    // (after the workbook's warning) when it cannot be opened.
    bool openenvironmentworkbook();
    // Environment > Open: imports the first workbook, the second or both,
    // all or nothing. The settings take the new file names only when the
    // import succeeded; false (after a warning or an exception) leaves the
    // environment and the settings as they were. An environment that
    // becomes present gets its compartments and regcomp index when it has
    // none (after an initialisation that stopped at its import); one that
    // still lacks its borders and flows says so.
    bool openenvironment(bool first, bool second, const std::string& parametersfile,
                         const std::string& bordersfile);
    // Opens SubstancesFile as SubstancesWorkbook unless one is open.
    bool opensubstancesworkbook();
    // The region the start-up emission goes to: region 150 when the world
    // has it, else the last land region, else region 1.
    std::uint32_t startupregion() const;
    // Substance > Open: imports a substance of the open substances workbook
    // and marks it changed, so the next calculation recomputes the model.
    void opensubstance(const std::string& name, const std::string& sheet = "VELMORA");
    // False when the system matrix was singular.
    bool calculate(bool useinversion = false, Ttimings* timings = nullptr);
    // Builds the compartments and the regcomp index for the region list
    // unless they are built for it.
    void buildindex();
    // What the last calculation (also the start-up's) returned.
    bool solved = true;
    void takereference();
    // The fourteen integrated impact scores a reference holds.
    std::array<float, 14> referencevalues() const;
    // Closes the substances workbook, as the main window does when it closes.
    void close();
};

} // namespace velmora
