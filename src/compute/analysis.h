#pragma once
// Numbers derived from one calculation to explain it: the mass balance of
// one regcomp (gross or net), the explanations of a concentration, mass,
// dose or intake, and the shares of mass and intake that the distribution
// and dose bars show. Every value is read with get, so hidden or unknown
// values warn through the UI service and what is read counts as used in the
// results check. The results window and the command-line tool only show
// what these functions return.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compute/model.h"

namespace velmora {

// Why the results hold no concentrations to explain (a factors
// calculation, a singular system matrix); empty when they hold them.
// Reading such results value by value would raise a warning per value.
std::string noconcentrations(const Tmodel& m);

// ---- mass balance -----------------------------------------------------------

struct Tbalancerow {
    std::string number;    // "#": a regcomp number, "0" for outside or totals
    std::string type;      // "ADV", "DIFF", "kdeg", "EMIS", "total", ...; gross only
    std::string direction; // "to", "from", "in"; gross only
    std::string regcomp;   // a regcomp name, "outside", "everywhere"; for the
                           // net mass and residence time rows their label
    float amount = 0;
    std::string amounttext; // short format; residence times in the long one
    std::string percent;    // gross only: "0".."100", "-" for mass rows and
                            // for a total of 0
};

struct Tbalance {
    bool net = false;
    std::vector<std::string> headings;
    std::vector<Tbalancerow> rows;
    // The rows as cells, in heading order, without the heading row.
    std::vector<std::vector<std::string>> cells() const;
};

// The gross balance of regcomp a: every flow out of and into it, the totals,
// its mass and residence time (mass over the gross inflow).
Tbalance grossbalance(Tmodel& m, std::uint32_t a);
// The net balance of regcomp a: per partner the net inflow, the net
// exchange with outside, their total, the mass and the residence time. The
// net total of a steady state is about 0, so the residence time divides the
// mass by the gross inflow, as the gross balance does.
Tbalance netbalance(Tmodel& m, std::uint32_t a);

// The integer nearest to 100 x amount / total (ties to even); "-" when the
// total is 0.
std::string balancepercent(float amount, float total);

// ---- distribution and dose ------------------------------------------------

enum class Tindicator { none, eachcompartment, region, world };

// The compartments of the Distribution buttons, in the order they are
// processed and shown.
extern const std::array<std::uint32_t, 12> distributioncompartments;
// The exposure media of the Dose buttons, in their order.
extern const std::array<std::uint32_t, 8> doseroutes;

struct Tbreakdownbutton {
    std::uint32_t item = 0;           // compartment or exposure medium
    std::vector<std::string> caption; // lines of the button's caption
    bool visible = true;              // the button
    bool barvisible = false;          // its bar
    int position = 0;                 // 0..100
};

// The Distribution items after the regions: "World", "Countries", "Seas".
inline std::uint32_t worlditem(const Tmodel& m) {
    return m.regions.count + 1;
}
// The Dose list holds the land regions, then "World".
inline std::uint32_t doseworlditem(const Tmodel& m) {
    return m.regions.nland + 1;
}

// The twelve Distribution buttons for item s (a region 1..n, n + 1 "World",
// n + 2 "Countries", n + 3 "Seas") under the given indicator.
std::vector<Tbreakdownbutton> distributionview(Tmodel& m, std::uint32_t s, Tindicator indicator);
// The eight Dose buttons for item s (a land region 1..L, L + 1 "World").
std::vector<Tbreakdownbutton> doseview(Tmodel& m, std::uint32_t s, Tindicator indicator);

// round(100 x part / whole), ties to even, within 0..100; false when the
// whole is not above 0 (no bar).
bool barposition(float part, float whole, int& position);

// The lines of the window a Distribution button opens for region s and
// compartment c; empty for "World", "Countries" and "Seas".
std::vector<std::string> compartmentbreakdown(Tmodel& m, std::uint32_t s, std::uint32_t c);
// The lines of the window a Dose button opens for item s and medium k.
std::vector<std::string> routebreakdown(Tmodel& m, std::uint32_t s, std::uint32_t k);

} // namespace velmora
