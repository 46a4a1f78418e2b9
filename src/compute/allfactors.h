#pragma once
// The all-factors run: the characterisation factors of the substance for
// every chosen emission box, one calculation per box. With inversion the
// system matrix is inverted once and each box costs one column of the
// inverse. Plain C++: the results window's dialog and the command-line tool
// only choose the boxes and show the rows.
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

    // What the dialog starts with: every sea, every land region with people,
    // under OECD only the members; every compartment but natural soil and
    // the sediments.
    static Tallfactorsselection defaults(Tmodel& model, bool oecdonly);
    // Checks exactly the regions named by the lines of a text file
    // (case-sensitive, no trimming; a Windows line end is not part of the
    // name). False when the file cannot be read.
    bool selectregionsfromfile(Tmodel& model, const std::string& path);
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

// The region's text in the OECD column is exactly "OECD".
bool isoecd(Tmodel& model, std::uint32_t region);
// A box that gets a row in the grid: it exists (V read with get), is no
// sediment or groundwater, and under OECD only its region is a member.
bool allfactorsqualifies(Tmodel& model, std::uint32_t regcomp, bool oecdonly);

// Walks every box under the given progress window (one step a box, Cancel
// seen before each box and during the inversion), moves the emission into
// each chosen one and calculates. The border-count and distance displays
// are off during the run and restored afterwards, the inverse is freed, also
// after an error. A singular system matrix stops the run at once: it does
// not depend on the emission. Afterwards the emission sits in the last box
// computed.
Tallfactorsrun runallfactors(Tmodel& model, const Tallfactorsselection& selection,
                             Tprogress& progress);

} // namespace velmora
