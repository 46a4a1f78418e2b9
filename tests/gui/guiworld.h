#pragma once
// A program directory for the main window tests: the small world's two
// environment workbooks and a substances workbook, under the names the
// program looks for beside itself.
#include <string>
#include <vector>

#include "support/smallworld.h"
#include "support/testsupport.h"

namespace velmora::testing {

// One row of the test substances workbook.
struct Tguisubstance {
    std::string name;
    std::string type;
    std::string MOLW;
};

// The substances of the test workbook in sheet order: "Nitrobenzene",
// "nitrotoluene", "Benzene", "NItrogen dioxide", "Cadmium" (metal),
// "Methane" (gas), "Aniline", then "Badstuff", whose MOLW cell is "abc".
const std::vector<Tguisubstance>& guisubstances();

class Tguiworld {
public:
    // Writes the workbooks of world (and, when substances is set, the
    // substances workbook) into a fresh directory.
    explicit Tguiworld(const Tsmallworld& world = Tsmallworld::standard(), bool substances = true);
    Ttempdir dir;
    std::string path() const { return dir.path().string(); }
};

} // namespace velmora::testing
