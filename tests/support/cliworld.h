#pragma once
// The command-line tool run on the small world: its three workbooks in a
// temporary folder (the substance workbook holds Nitrobenzene and the gas
// Gasone), standard output and error caught as text.
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

namespace velmora::testing {

struct Tcliworld {
    Ttempdir dir;
    std::string parameters = dir.file("p.xlsx");
    std::string borders = dir.file("b.xlsx");
    std::string substances = dir.file("s.xlsx");
    std::ostringstream out, err;

    Tcliworld() {
        Tsmallworld w = Tsmallworld::standard();
        w.writeparameters(parameters);
        w.writeborders(borders);
        Tsheetspec sheet{"VELMORA", {}};
        const char* headers[] = {"CAS",         "substype", "name", "MOLW",
                                 "VP_TEMPtest", "SOL",      "Kow",  "TEMPmelt"};
        const char* first[] = {"98-95-3", "nitrobenzene", "Nitrobenzene", "0.123",
                               "20",      "15",           "70",           "279"};
        const char* second[] = {"", "gas", "Gasone", "0.05", "", "", "", ""};
        for (int c = 0; c < 8; ++c) {
            sheet.set(2, c + 3, headers[c]);
            sheet.set(4, c + 3, first[c]);
            sheet.set(5, c + 3, second[c]);
        }
        writeworkbook(substances, {sheet});
    }

    // Runs the tool with args and the parameter and border workbooks, and
    // the substance workbook too when withsubstances; standard output goes
    // to `to` when given, else to out. err holds this run's errors only.
    int run(std::vector<std::string> args, bool withsubstances = false,
            std::ostream* to = nullptr) {
        for (const std::string& o :
             std::vector<std::string>{"--parameters", parameters, "--borders", borders})
            args.push_back(o);
        if (withsubstances) {
            args.push_back("--substances");
            args.push_back(substances);
        }
        err.str("");
        return runcli(args, to ? *to : out, err);
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

} // namespace velmora::testing
