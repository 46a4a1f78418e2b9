#include "app/workspace.h"

#include "compute/calculation.h"

namespace velmora {

Tworkspace::Tworkspace(Tuiservice& ui_, const std::string& directory)
    : ui(ui_), context{settings, ui_}, programdirectory(directory), regions(),
      env(context, regions), compartments(), regcomps(context, regions, compartments),
      sub(context, regions, env), emi(context, regions, compartments, regcomps),
      results(context, regions, sub),
      ref(), model{context, regions, env, compartments, regcomps, sub, emi, results, ref} {
    settings.setfiles(programdirectory);
}

Tworkspace::~Tworkspace() = default;

bool Tworkspace::openenvironmentworkbook() {
    EnvironmentWorkbook = std::make_unique<TExcelFile>(ui, settings.ParametersFile);
    if (!EnvironmentWorkbook->isopen()) {
        EnvironmentWorkbook.reset();
        return false;
    }
    return true;
}

bool Tworkspace::openenvironment(bool first, bool second, const std::string& parametersfile,
                                 const std::string& bordersfile) {
    {
        std::unique_ptr<Tprogress> progress = ui.progress();
        progress->setmaintext("Clearing old settings");
        progress->setmaintext("Opening file");
        EnvironmentWorkbook.reset();
        if (first) {
            auto workbook = std::make_unique<TExcelFile>(ui, parametersfile);
            if (!workbook->isopen()) return false; // the workbook has told why
            EnvironmentWorkbook = std::move(workbook);
        }
    }
    if (!env.import(first, second, EnvironmentWorkbook, bordersfile)) return false;
    if (first) settings.ParametersFile = parametersfile;
    if (second) settings.BordersFile = bordersfile;
    if (env.present) {
        buildindex();
    } else if (env.bordersmissing && regions.count > 0) {
        ui.warn("The environment is not complete: its borders and flows have not been read. "
                "Open it again with File2 ticked.");
    }
    return true;
}

void Tworkspace::buildindex() {
    if (compartments.count == ncompartments && regcomps.n == regions.count * ncompartments &&
        regcomps.n > 0)
        return;
    compartments.define();
    regcomps.build();
}

bool Tworkspace::opensubstancesworkbook() {
    if (SubstancesWorkbook) return true;
    auto workbook = std::make_unique<TExcelFile>(ui, settings.SubstancesFile);
    if (!workbook->isopen()) return false;
    SubstancesWorkbook = std::move(workbook);
    return true;
}

void Tworkspace::readenvironment() {
    regions.clear();
    bool opened = openenvironmentworkbook();
    if (opened) regions.read(*EnvironmentWorkbook, settings, ui);
    env.clear();
    env.setdefaults();
    compartments.clear();
    if (opened) env.import(true, true, EnvironmentWorkbook, settings.BordersFile);
}

std::uint32_t Tworkspace::startupregion() const {
    if (regions.count >= 150) return 150;
    if (regions.nland > 0) return regions.nland;
    return 1;
}

bool Tworkspace::initialize(bool withcalculation, Ttimings* timings) {
    regions.clear();
    bool opened = openenvironmentworkbook();
    if (opened) regions.read(*EnvironmentWorkbook, settings, ui);
    env.clear();
    env.setdefaults();
    compartments.clear();
    regcomps.clear();
    sub.changed = false;
    if (!settings.FactorsMode) emi.clear();
    results.clear();
    ref.clear();
    // Without the first workbook there is no world to import into.
    if (opened) env.import(true, true, EnvironmentWorkbook, settings.BordersFile);
    if (!env.present) return false;
    compartments.define();
    regcomps.build();
    {
        std::unique_ptr<Tprogress> progress = ui.progress();
        progress->setmaintext("Opening " + settings.SubstancesFile);
        // Every initialisation reads the substances file the settings name
        // now, not a workbook an earlier path left open.
        SubstancesWorkbook.reset();
        bool open = opensubstancesworkbook();
        progress->setsubtext("Reading " + startsubstance);
        if (open) {
            sub.import(*SubstancesWorkbook, startsubstance, "VELMORA");
            // Without it nothing is calculated at start-up and no emission
            // box is known until a substance is calculated: say why.
            if (sub.name.value != startsubstance)
                ui.warn(SubstancesWorkbook->workbookname() +
                        " has no row for the start-up substance " + startsubstance +
                        ": nothing is calculated and no reference is taken at start-up");
        } else {
            // No workbook: the start-up substance is a new one.
            sub.newsubstance();
            sub.settypedefaults();
        }
    }
    // A substance that is not complete cannot be calculated: the start-up
    // calculation would only warn and fail (Results stays disabled then too).
    sub.testcomplete();
    if (withcalculation && !settings.FactorsMode && regions.count > 0 && sub.present) {
        std::uint32_t r = startupregion();
        emi.region = static_cast<std::int32_t>(r);
        emi.compartment = air;
        emi.to_air.setdefault(r, settings.EmissionAmount);
        calculate(false, timings);
        takereference();
    }
    return true;
}

void Tworkspace::opensubstance(const std::string& name, const std::string& sheet) {
    if (!opensubstancesworkbook()) return;
    sub.import(*SubstancesWorkbook, name, sheet);
    sub.changed = true;
}

bool Tworkspace::calculate(bool useinversion, Ttimings* timings) {
    solved = velmora::calculate(model, useinversion, timings);
    return solved;
}

std::array<float, 14> Tworkspace::referencevalues() const {
    std::array<float, 14> values{};
    for (std::size_t k = 0; k < referenceresultnames.size(); ++k) {
        const Tresultentry* e = results.find(referenceresultnames[k]);
        if (e) values[k] = std::get<Tnumpar*>(e->parameter)->value;
    }
    return values;
}

void Tworkspace::takereference() {
    ref.takepresent(emi, sub.name.get(), referencevalues());
}

void Tworkspace::close() {
    SubstancesWorkbook.reset();
}

} // namespace velmora
