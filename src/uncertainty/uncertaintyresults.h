#pragma once
// The results an uncertainty run follows through its draws, how they are
// named and read from a calculated model, and the statistics of their draws.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compute/model.h"

namespace velmora {

// One number a run follows.
struct Tresultitem {
    enum class Tsource { scalar, regional, regcomp, residencetime };
    std::string name; // "iFtot", "RCRtox_river[Netherlands]", "CONC[Netherlands_air]"
    std::string unit;
    Tsource source = Tsource::scalar;
    std::string parameter;   // the result (or regcomp quantity) read
    std::uint32_t index = 0; // region or regcomp
};

// The total mass in the system over the total emission: how long the
// substance stays, in seconds.
extern const char* const residencetimename;  // "RESTIMEtot"
extern const char* const defaultresultsname; // "default"

// Whether the calculated model emits anything (EMIS above 0 somewhere).
bool hasemission(Tmodel& model);

// What a run follows unless told otherwise: CONC of every regcomp that
// exists, RESTIMEtot, iFtot, the risk ratios of the emission region and the
// characterisation factors, each when the calculated model holds a value.
std::vector<Tresultitem> defaultresultitems(Tmodel& model);

// The items of a list of result names, in order, each item once:
// "default"; "RESTIMEtot"; "CONC" (every regcomp that exists) or
// "CONC[<regcomp name>]"; a scalar result ("iFtot"); a per-region result for
// every region that holds a value ("C_air") or for one ("C_air[Netherlands]").
// The model must be calculated. Raises Eerror naming a result name that
// names nothing, or a value the calculation does not give.
std::vector<Tresultitem> resultitems(Tmodel& model, const std::vector<std::string>& asked);

// Splits "CONC, iFtot, C_air[Korea, Republic of]" at the commas outside
// brackets; blanks around the parts are dropped.
std::vector<std::string> splitresultlist(const std::string& text);

// Reads the items from one model after each of its calculations.
class Tresultreader {
public:
    Tresultreader(Tmodel& model, const std::vector<Tresultitem>& items);
    // One value per item; NaN where the calculation gave no value.
    void read(float* values) const;

private:
    struct Tslot {
        const Tnumpar* scalar = nullptr;
        const Tnumpars* vector = nullptr;
        std::uint32_t index = 0;
        bool residencetime = false;
    };
    Tmodel& model_;
    std::vector<Tslot> slots_;
};

// The percentiles a run reports, in percent.
extern const std::array<double, 7> percentilelevels;

struct Tsummary {
    std::size_t n = 0; // draws that gave a value
    double mean = 0;
    double sd = 0;      // with n - 1
    double geomean = 0; // NaN unless every value is above 0
    double gsd = 0;
    double minimum = 0;
    double maximum = 0;
    std::array<double, 7> percentiles{};
};

// The statistics of the finite values among values, taken in their order
// (NaN marks a draw without a value); all NaN when there is none.
Tsummary summarize(const std::vector<double>& values);

// The percentile at level (0..100) of sorted values, interpolating linearly
// between the order statistics at (n - 1) * level / 100.
double percentileof(const std::vector<double>& sorted, double level);

// The share of the output's variance each input explains: squared rank
// correlations between output and input, normalised to sum to 1 (all 0
// when none correlates). Ranks over the same draws.
std::vector<double> contributions(const std::vector<double>& outputranks,
                                  const std::vector<std::vector<double>>& inputranks);

} // namespace velmora
