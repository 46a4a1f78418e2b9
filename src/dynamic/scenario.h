#pragma once
// Emission scenarios in time: per regcomp, pieces over which the emission
// rate is constant or runs linearly from one value to another. Pieces of
// one regcomp may overlap; their rates add.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

struct Tmodel;

// From `from` to `to` (seconds) regcomp receives a rate that runs linearly
// from ratefrom to rateto (kg*s^-1); equal rates make a constant piece.
struct Temissionpiece {
    std::uint32_t regcomp = 0;
    double from = 0, to = 0;
    double ratefrom = 0, rateto = 0;
    // Where the piece was written ("emissions.tsv, line 3", "row 2"), for
    // messages; empty when it came from a program.
    std::string place;
};

// One row of a scenario table as the user wrote it. An empty `to` lasts to
// the end of the run; an empty `rateend` equals `rate`.
struct Tscenariorow {
    std::string region, compartment, from, to, rate, rateend;
    std::string place;
};

// The column headings of a scenario table, in order.
extern const char* const scenariocolumns[6];

// Rows to pieces; raises Eerror naming the place and the column of the first
// bad cell: an unknown region or compartment, a regcomp that cannot take an
// emission (absent, a sediment, groundwater), a time that does not read, a
// piece that ends before it starts or has no duration, a rate that is not a
// number or below 0, a piece that starts after the end of the run.
std::vector<Temissionpiece> parsescenario(const Tmodel& m, const std::vector<Tscenariorow>& rows,
                                          double until);

// The checks of parsescenario on pieces made by a program.
void checkpieces(const Tmodel& m, const std::vector<Temissionpiece>& pieces, double until);

// A tab-separated scenario file: an optional heading line (starting with
// "region"), then one row per line with the columns of scenariocolumns;
// empty lines and lines starting with "#" are skipped. Raises Eerror when
// the file cannot be read or a line has too few or too many cells.
std::vector<Tscenariorow> readscenariofile(const std::string& path);

// The regcomp of "REGION:COMPARTMENT" (compartment by name or
// abbreviation); raises Eerror for an unknown region or compartment.
std::uint32_t parseregcompname(const Tmodel& m, const std::string& text);

// Whether regcomp k exists and may receive an emission.
bool emissiontarget(const Tmodel& m, std::uint32_t k);

} // namespace velmora
