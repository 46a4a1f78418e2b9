#pragma once
// The dynamic command on a calculated workspace: the emission scenario and
// times of the command line, the run, and its tables.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/analysiscommands.h"
#include "dynamic/dynamic.h"

namespace velmora {

// The options the dynamic command takes besides the world's.
extern const std::vector<std::string> dynamicoptions;

// The settings of the command line: --emission REGION:COMPARTMENT (the
// emission amount from the start to --stop or the end), --emissions FILE,
// --start-steady REGION:COMPARTMENT, --until, --times, --exposure-times
// (added to the output times), --tolerance. Raises Eerror naming the bad
// option, file line or time.
Tdynamicsettings dynamicsettings(const Tmodel& m, const Tclioptions& options,
                                 std::vector<double>& exposuretimes);

void writedynamic(Tmodel& m, const Tdynamicresult& result, const std::vector<double>& exposuretimes,
                  const Tfilewriter& write);

// The lines run.tsv adds for a dynamic run: span, times, tolerance, start,
// every emission piece, the integration's effort and the worst imbalance.
void writedynamicrun(const Tmodel& m, const Tdynamicsettings& settings,
                     const Tdynamicresult& result, std::ostream& out);

// The lines of standard output: effort, worst imbalance, the world's
// approach and half-time.
void writedynamicsummary(const Tdynamicresult& result, std::ostream& out);

} // namespace velmora
