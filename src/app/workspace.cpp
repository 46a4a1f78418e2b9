#include "model/workspace.h"

namespace velmora {

Tworkspace::Tworkspace(Tuiservice& ui_, const std::string& directory)
    : ui(ui_), context{settings, ui_}, programdirectory(directory), regions(), env(context, regions) {
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

void Tworkspace::readenvironment() {
    regions.clear();
    bool opened = openenvironmentworkbook();
    if (opened) regions.read(*EnvironmentWorkbook, settings, ui);
    env.clear();
    env.setdefaults();
    compartments.clear();
    if (opened) env.import(true, true, EnvironmentWorkbook, settings.BordersFile);
}

} // namespace velmora
