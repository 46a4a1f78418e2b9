#include "compute/calculation.h"

namespace velmora {

void calculate(Tmodel& m, bool useinversion) {
    std::unique_ptr<Tprogress> progress = m.ui().progress();
    progress->setmaintext("Calculating results");
    if (m.env.changed || m.sub.changed) {
        progress->setsubtext("Model parameters");
        computelandscape(m);
        progress->setsubtext("More parameters");
        computepartitioning(m);
        computedegradation(m);
        computereexports(m);
        computetransfer(m);
        progress->setsubtext("ADV and DIFF");
        computeflows(m);
    }
    solvesystem(m, useinversion);
    if (m.settings().FactorsMode) return;
    progress->setsubtext("C");
    computeconcentrations(m);
    progress->setsubtext("DOSE");
    computedoses(m);
    computeriskratios(m);
    computeintakes(m);
    computeimpactscores(m);
}

} // namespace velmora
