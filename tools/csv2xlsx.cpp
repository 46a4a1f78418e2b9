// Builds an .xlsx workbook from a manifest of CSV sheet grids.
//
// The manifest has one line per sheet, in workbook order:
//     <sheet name><TAB><CSV file, relative to the manifest>
// Blank lines and lines starting with '#' are skipped. CSV row i is sheet
// row i and field j is column j; empty fields leave the cell empty, plain
// decimal numbers become number cells and everything else text cells.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "numeric/errors.h"
#include "toolkit/sheets/workbookwriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: velmora-csv2xlsx MANIFEST OUTPUT.xlsx\n";
        return 2;
    }
    std::string manifest = argv[1];
    std::string output = argv[2];
    std::string base;
    std::size_t slash = manifest.find_last_of('/');
    if (slash != std::string::npos) base = manifest.substr(0, slash + 1);
    try {
        std::ifstream in(manifest);
        if (!in) throw velmora::Eerror("Cannot read " + manifest);
        std::string temporary = output + ".part";
        {
            velmora::Tworkbookwriter writer(temporary);
            std::string line;
            int lineno = 0;
            while (std::getline(in, line)) {
                ++lineno;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (line.empty() || line[0] == '#') continue;
                std::size_t tab = line.find('\t');
                if (tab == std::string::npos)
                    throw velmora::Eerror(manifest + ":" + std::to_string(lineno) +
                                          ": expected <sheet name><TAB><csv file>");
                std::string sheet = line.substr(0, tab);
                std::string csv = base + line.substr(tab + 1);
                writer.addsheet(sheet);
                auto rows = velmora::readcsv(csv);
                for (std::size_t r = 0; r < rows.size(); ++r)
                    for (std::size_t c = 0; c < rows[r].size(); ++c)
                        writer.cell(static_cast<std::uint32_t>(r + 1),
                                    static_cast<std::uint32_t>(c + 1), rows[r][c]);
            }
            writer.close();
        }
        // Replace the old workbook only once the new one is complete.
        if (std::rename(temporary.c_str(), output.c_str()) != 0)
            throw velmora::Eerror("Cannot replace " + output);
    } catch (const std::exception& e) {
        std::cerr << "velmora-csv2xlsx: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
