#pragma once
// The settings of an uncertainty run kept in an .xlsx workbook, so a user
// keeps and shares them: the sheet "Uncertainty" with one row per input
// (parameter, region or "All", distribution, scale, value 1..3, lower and
// upper bound, headed in row 1), the sheet "Rank correlations" (input 1,
// input 2, rank correlation) and the sheet "Uncertainty run" (draws, seed,
// results: a name in column A, its value in column B). Only the first sheet
// is needed. Writing keeps the other sheets of an existing workbook (their
// cell values).
#include <cstdint>
#include <string>
#include <vector>

#include "uncertainty/uncertainty.h"

namespace velmora {

extern const char* const inputssheetname;       // "Uncertainty"
extern const char* const correlationssheetname; // "Rank correlations"
extern const char* const runsheetname;          // "Uncertainty run"

struct Tuncertaintyworkbook {
    std::string path;
    Tuncertaintysettings settings;
    // What the run sheet gave.
    bool hasdraws = false;
    bool hasseed = false;
    bool hasresults = false;

    // Where the setting of a check's error stands in the workbook:
    // "<file> sheet "Uncertainty" cell F3 (value 2): <problem>".
    std::string where(const Euncertaintysetting& e) const;

    // Sheet row and column of each table's cells, filled by the reader.
    struct Ttable {
        std::vector<std::uint32_t> rows;
        std::vector<std::pair<std::string, std::uint32_t>> columns;
    };
    Ttable inputs, correlations;
    std::uint32_t drawsrow = 0, seedrow = 0;
};

// Reads the settings. Raises Eerror naming the file, sheet and cell of
// anything that cannot be read (a missing sheet or heading, a number that is
// not one, an unknown distribution or scale).
Tuncertaintyworkbook readuncertaintyworkbook(const std::string& path);

// Writes the settings into the workbook (a new one, or an existing one whose
// other sheets keep their values); nothing changes on disk unless it all
// works. Raises Eerror with the reason.
void writeuncertaintyworkbook(const std::string& path, const Tuncertaintysettings& settings);

} // namespace velmora
