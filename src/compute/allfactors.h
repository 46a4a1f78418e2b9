#pragma once
// The all-factors run: the characterisation factors of the substance for
// every chosen emission box, as if the results were calculated for each.
// With inversion the system matrix is inverted once; the first box is
// calculated, and the concentrations of every other box are a column of the
// inverse, which the exposure and risk arithmetic turns into its factors
// without the rest of a calculation (boxscores.h). Without inversion every
// box is solved and calculated. Plain C++: the results window's dialog and
// the command-line tool only choose the boxes and show the rows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compute/model.h"

namespace velmora {

// Regions and compartments chosen for a run (index 0 unused).
struct Tallfactorsselection {
    std::vector<bool> regions;
    std::array<bool, 13> compartments{};
    bool oecdonly = false;
    bool useinversion = true;
    // Calculates every box in full even with the inverse: the way the
    // factors of the other boxes are checked against.
    bool boxbybox = false;

    // What the dialog starts with: every sea, every land region with people,
    // under OECD only the members; every compartment but natural soil and
    // the sediments.
    static Tallfactorsselection defaults(Tmodel& model, bool oecdonly);
    // Checks exactly the regions named by the lines of a text file
    // (case-sensitive, no trimming; a Windows line end and a byte-order mark
    // are not part of a name). False, after a warning naming the file, when
    // it cannot be read or is no regular file; lines that name no region,
    // and a file that selects none, are warned about too.
    bool selectregionsfromfile(Tmodel& model, const std::string& path);
    // Checks exactly the regions the lines name; returns the numbers (from
    // 1) of the non-empty lines that name no region.
    std::vector<std::size_t> selectregions(Tmodel& model, const std::vector<std::string>& lines);
    std::size_t regioncount() const;
    std::size_t compartmentcount() const;
};

// One row of the "All factors" grid: a box that qualifies, and its factors
// when it was computed.
struct Tallfactorsrow {
    std::uint32_t regcomp = 0;
    bool computed = false;
    std::array<float, 7> pot{}, act{};
    std::array<bool, 7> potknown{}, actknown{};
};

struct Tallfactorsrun {
    std::vector<Tallfactorsrow> rows;
    std::size_t computed = 0;
    bool cancelled = false;
    bool singular = false;
};

// The lines of a region selection file. Raises EFileError naming the file
// when it is not a readable regular file or is larger than a selection of
// every region could be (1 MiB).
std::vector<std::string> readselectionfile(const std::string& path);
// The warning for lines that name no region (the first few quoted, cut),
// or for a file that selects nothing; empty when every line selects.
std::string selectionwarning(const std::string& path, const std::vector<std::string>& lines,
                             const std::vector<std::size_t>& unmatched, std::size_t selected);

// The region's text in the OECD column is exactly "OECD".
bool isoecd(Tmodel& model, std::uint32_t region);
// A box that gets a row in the grid: it exists (V read with get), is no
// sediment or groundwater, and under OECD only its region is a member.
bool allfactorsqualifies(Tmodel& model, std::uint32_t regcomp, bool oecdonly);

// Walks every box under the given progress window (one step a box, Cancel
// seen before each box and during the inversion) and computes the factors
// of each chosen one. The border-count and distance displays are off during
// the run and restored afterwards, the inverse is freed, also after an
// error. A singular system matrix stops the run at once: it does not depend
// on the emission; so does a box whose concentrations are not those of a
// steady state, with the calculation's warning. Afterwards the emission
// sits in the last box computed and the results are its calculation.
Tallfactorsrun runallfactors(Tmodel& model, const Tallfactorsselection& selection,
                             Tprogress& progress);

} // namespace velmora
