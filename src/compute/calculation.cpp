#include "compute/calculation.h"

#include <chrono>

namespace velmora {

namespace {
// Times the steps of one calculation when asked to.
class Tsteptimer {
public:
    explicit Tsteptimer(Ttimings* timings) : timings_(timings) {}
    void step(const char* name) {
        if (!timings_) return;
        auto now = std::chrono::steady_clock::now();
        if (current_)
            timings_->push_back({current_, std::chrono::duration<double>(now - start_).count()});
        current_ = name;
        start_ = now;
    }
    ~Tsteptimer() { step(nullptr); }

private:
    Ttimings* timings_;
    const char* current_ = nullptr;
    std::chrono::steady_clock::time_point start_;
};
} // namespace

bool calculate(Tmodel& m, bool useinversion, Ttimings* timings, Tprogress* given) {
    return calculate(m, useinversion, timings, given, false);
}

bool calculate(Tmodel& m, bool useinversion, Ttimings* timings, Tprogress* given,
               bool keeplandscape) {
    std::unique_ptr<Tprogress> own;
    if (!given) {
        own = m.ui().progress();
        own->setmaintext("Calculating results");
    }
    Tprogress* progress = given ? given : own.get();
    Tsteptimer timer(timings);
    if (m.env.changed || m.sub.changed) {
        progress->setsubtext("Model parameters");
        timer.step("Model parameters");
        if (!keeplandscape) computelandscape(m);
        progress->setsubtext("More parameters");
        timer.step("More parameters");
        computepartitioning(m);
        computedegradation(m);
        computetransfer(m);
        progress->setsubtext("ADV and DIFF");
        timer.step("ADV and DIFF");
        computeflows(m);
    }
    timer.step("solve");
    bool solved = solvesystem(m, useinversion, *progress);
    // After a singular matrix every concentration is unknown: exposure and
    // risk would only repeat that once per value read, so they keep what
    // they had.
    if (m.settings().FactorsMode || !solved) return solved;
    progress->setsubtext("C");
    timer.step("C");
    computeconcentrations(m);
    progress->setsubtext("DOSE");
    timer.step("DOSE");
    computedoses(m);
    computeriskratios(m);
    computeintakes(m);
    computeimpactscores(m);
    return true;
}

} // namespace velmora
