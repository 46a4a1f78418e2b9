#include "model/settings.h"

namespace velmora {

void Tsettings::setfiles(const std::string& programdirectory) {
    ParametersFile = programdirectory + "/ENVDATA2part1.xlsx";
    BordersFile = programdirectory + "/ENVDATA2part2.xlsx";
    SubstancesFile = programdirectory + "/substances.xlsx";
}

} // namespace velmora
