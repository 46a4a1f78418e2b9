#pragma once
// The dynamic solution: how the masses of every regcomp change in time
// under an emission scenario, from an empty world or from the steady state
// of another emission, beside the steady state the calculation gives.
//
// The system is the calculation's own: V dC/dt = Abig C + EMIS(t), so in
// masses dm/dt = Abig V^-1 m + e(t) over the regcomps that exist. A long
// constant emission therefore ends in the calculation's steady state.
// Degraded mass is kdeg times the mass of each regcomp, removed mass
// ADV_outside times its concentration (water leaving the world, burial).
//
// Use: fill a Tdynamicsettings, call rundynamic on a calculated model.
// Nothing of the model changes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dynamic/integrator.h"
#include "dynamic/scenario.h"

namespace velmora {

struct Tmodel;

// A constant emission into one regcomp, kg*s^-1.
struct Tboxemission {
    std::uint32_t regcomp = 0;
    double rate = 0;
};

struct Tdynamicsettings {
    std::vector<Temissionpiece> emissions;
    // The run starts from the steady state of these emissions; none: from
    // an empty world.
    std::vector<Tboxemission> startfrom;
    double until = 0;          // s
    std::vector<double> times; // output times, s, increasing, within [0, until]
    double tolerance = 1e-4;   // relative error of each mass per step
};

// The masses at one output time, and the mass accounting up to it.
struct Tdynamicoutput {
    double time = 0;
    std::vector<double> mass; // kg, per regcomp (index k - 1); 0 where none exists
    Tledger ledger;
    double initial = 0; // kg in the whole system at the start
    double present = 0; // kg in the whole system
    // What came in less what is there and what left: initial + emitted -
    // present - degraded - removed; and that over the larger of what came in
    // and what is there.
    double imbalance() const {
        return initial + ledger.emitted - present - ledger.degraded - ledger.removed;
    }
    double relativeimbalance() const;
};

// A quantity followed through the run: the whole world, a compartment over
// all regions, a region over its compartments, or one regcomp.
enum class Tseriesgroup : std::uint8_t { world, compartment, region, regcomp };

struct Tseriesderived {
    Tseriesgroup group = Tseriesgroup::world;
    std::uint32_t index = 0; // compartment, region or regcomp number; 0 for the world
    double start = 0;        // kg at the start
    double target = 0;       // kg in the steady state of the initial emission (when known)
    // Time when 50, 90 and 95 % of the way from the start to that steady
    // state is first reached; -1 when not within the run or while the
    // emission stayed as it started.
    double approach[3] = {-1, -1, -1};
    double peaktime = 0, peakmass = 0; // the largest mass of the run
    // After the emission stops: the time from the later of the stop and the
    // peak after it until the mass has halved; -1 when that is not within
    // the run or the emission does not stop.
    double halftime = -1;
};

extern const double approachlevels[3]; // 0.5, 0.9, 0.95

struct Tdynamicderived {
    // Whether the emission at the start was constant, so that the approach
    // to its steady state means something, and until when it stayed so.
    bool approachknown = false;
    double constantuntil = 0;
    // When every emission has ended (within the run); -1 when it never does.
    double stoptime = -1;
    std::vector<Tseriesderived> series; // world, compartments 1..12, regions, regcomps
    const Tseriesderived& world() const { return series.front(); }
};

struct Tdynamicresult {
    std::vector<Tdynamicoutput> outputs; // the completed output times, in order
    Tdynamicderived derived;
    Tintegratorstats stats;
    bool cancelled = false;
    double seconds = 0; // time the run took
};

// Progress and stop: progress gets the simulated time reached and the end;
// cancelled is asked after every step and a true answer ends the run with
// the output times completed so far.
struct Tdynamiccallbacks {
    std::function<void(double time, double until)> progress;
    std::function<bool()> cancelled;
};

// Raises Eerror for bad settings (naming the row of the emission or the
// output time), for a model whose results are not up to date, and for a
// singular or unstable system.
Tdynamicresult rundynamic(Tmodel& m, const Tdynamicsettings& settings,
                          const Tdynamiccallbacks& callbacks = {});

// Sums of the masses of one output: per compartment (1..12), per region.
std::vector<double> compartmenttotals(const Tmodel& m, const std::vector<double>& mass);
std::vector<double> regiontotals(const Tmodel& m, const std::vector<double>& mass);
// Concentrations (kg*m^-3): the masses over the volumes; 0 where no volume.
std::vector<double> concentrations(const Tmodel& m, const std::vector<double>& mass);

// The name of a series ("World", a compartment, region or regcomp name).
std::string seriesname(const Tmodel& m, const Tseriesderived& s);

} // namespace velmora
