#pragma once
// Monte Carlo over the substance and the environment: the settings of a
// run, the run itself (a Latin hypercube of the uncertain inputs, each draw
// the program's own calculation of concentrations, exposure, effects and
// characterisation factors against the reference held, the draws shared out
// over the cores), and what it gives: per followed result the deterministic
// value, mean, geometric mean and standard deviation, percentiles and each
// input's contribution to the variance, and the draws themselves.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "compute/model.h"
#include "uncertainty/uncertaininputs.h"
#include "uncertainty/uncertaintyresults.h"

namespace velmora {

struct Tuncertaintysettings {
    std::vector<Tuncertaininput> inputs;
    std::vector<Tinputcorrelation> correlations;
    std::size_t draws = 1000;
    std::uint64_t seed = 1;
    // Followed results as the user names them (see resultitems); empty means "default".
    std::vector<std::string> results;
    // Threads to calculate on; 0 takes every core. The numbers do not depend on it.
    unsigned threads = 0;
};

// Raises Euncertaintysetting for zero draws or a bad input or correlation
// (checkinputs, spreads above zero).
void checksettings(Tmodel& model, const Tuncertaintysettings& settings);

// What the run asks of its caller, on the caller's thread: progress(done,
// total) about five times a second and once at the end; cancelled() as
// often, true to stop. Either may be empty.
struct Tuncertaintycallbacks {
    std::function<void(std::size_t done, std::size_t total)> progress;
    std::function<bool()> cancelled;
};

struct Tresultuncertainty {
    Tresultitem item;
    float deterministic = 0; // the calculation without any draw
    Tsummary summary;
    // Per input, in input order: its share of the variance.
    std::vector<double> contributions;
};

struct Tuncertaintyrun {
    std::vector<std::string> inputs; // input keys, in order
    std::size_t draws = 0;
    // The drawn values (of the distributions: factors or values), draw by
    // draw: [draw * inputs.size() + input].
    std::vector<double> inputdraws;
    std::vector<Tresultuncertainty> results;
    // The results of every draw, result by result: [result * draws + draw];
    // NaN where a draw gave no value.
    std::vector<float> values;
    // Draws whose calculation failed (a singular system): no value at all.
    std::vector<bool> failed;
    std::size_t failedcount = 0;
    bool cancelled = false;
    // Warnings of the draws' calculations, each once, with how often it came.
    std::vector<std::pair<std::string, std::size_t>> warnings;
    unsigned threads = 0;
    double seconds = 0;

    std::span<const float> valuesof(std::size_t result) const {
        return {values.data() + result * draws, draws};
    }
};

// Runs the draws on copies of model (which must be in Concentration mode
// with an emission, and stays untouched). A cancelled run returns with
// cancelled set and no results. Raises Euncertaintysetting for bad settings
// and Eerror when the calculation without draws fails or a result names
// nothing.
Tuncertaintyrun rununcertainty(Tmodel& model, const Tuncertaintysettings& settings,
                               const Tuncertaintycallbacks& callbacks = {});

// The drawn input values of a run's settings: n draws by k inputs,
// [draw * k + input]; the same for a seed whatever else happens.
std::vector<double> drawinputs(const Tuncertaintysettings& settings);

} // namespace velmora
