#pragma once
// The uncertainty command on a calculated workspace: the settings of the
// command line and of the settings workbook, and the run's tables.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/analysiscommands.h"
#include "uncertainty/uncertainty.h"

namespace velmora {

// The options the uncertainty command takes besides the world's and its
// flag "with-draws".
extern const std::vector<std::string> uncertaintyoptions;

// The settings of --inputs FILE.xlsx (without it the substance's default
// inputs), --draws, --seed, --results and --threads, checked against the
// model. Raises Eerror naming the option, or the workbook, sheet and cell of
// a bad setting.
Tuncertaintysettings uncertaintysettings(Tmodel& m, const Tclioptions& options);

// summary.tsv, contributions.tsv, inputs.tsv and, with withdraws, draws.tsv
// through write. Returns the tables of an earlier run to drop at the commit
// (draws.tsv without withdraws).
std::vector<std::string> writeuncertainty(const Tuncertaintyrun& run,
                                          const Tuncertaintysettings& settings, bool withdraws,
                                          const Tfilewriter& write);

// The lines run.tsv adds: draws, seed, threads, the inputs (the workbook by
// path and checksum, or the defaults), each input and correlation, the
// results followed, the failed draws and the time.
void writeuncertaintyrun(const Tuncertaintysettings& settings, const std::string& inputsfile,
                         const Tuncertaintyrun& run, std::ostream& out);

// The lines of standard output and the draws' warnings on the error stream.
void writeuncertaintysummary(const Tuncertaintyrun& run, std::ostream& out, std::ostream& err);

} // namespace velmora
