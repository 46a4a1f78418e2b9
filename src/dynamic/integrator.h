#pragma once
// Time integration of a linear mass balance, dm/dt = A m + e(t), with
// e piecewise linear in time, and of what leaves it: the mass degraded and
// the mass removed from the system, each a fixed rate constant times the
// mass of every unknown.
//
// The method is TR-BDF2 (a trapezoidal stage to 2 - sqrt(2) of the step,
// then a second-order backward difference over the whole step). It is
// L-stable, so a step may be far longer than the fastest exchange of the
// system (air moves between regions in days, sediments answer in
// centuries), and both stages solve with the same matrix I - d h A, so a
// step size costs one sparse factorisation, reused while the size stays.
// The step size follows an error estimate from the embedded third-order
// formula, filtered through the same factors so that stiff unknowns do not
// inflate it. Between steps the solution is the cubic through the values
// and slopes at both ends, which is as accurate as the steps themselves;
// output times fall where they fall, without shortening a step.
//
// Steps end exactly at every time the forcing changes its formula (the
// start or end of a piece), since a step across such a time would smear it.
// The scheme integrates any linear forcing exactly, and all its stages are
// linear combinations of the same slopes, so what the unknowns gain, what
// the losses take and what the forcing gives balance to rounding: the mass
// accounting closes as well as the matrix conserves mass.
//
// Everything is 0-based and in double precision.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "numeric/sparselu.h"

namespace velmora {

struct Tlinearode {
    Tsparsecolumns a;                // A, 1/s; every diagonal entry stored
    std::vector<double> degradation; // per unknown, 1/s
    std::vector<double> removal;     // per unknown, 1/s: loss out of the system
};

// Over [from, to) the unknown receives a rate that runs linearly from
// ratefrom at `from` to rateto at `to`.
struct Tforcing {
    std::int32_t unknown = 0;
    double from = 0, to = 0;
    double ratefrom = 0, rateto = 0;
    double rate(double t) const {
        return to > from ? ratefrom + (rateto - ratefrom) * ((t - from) / (to - from)) : ratefrom;
    }
};

// Cumulative amounts since the start: what the forcing gave and what the
// two kinds of loss took.
struct Tledger {
    double emitted = 0, degraded = 0, removed = 0;
};

// One accepted step, with what the cubic between its ends needs.
struct Tstep {
    double t0 = 0, t1 = 0;
    const std::vector<double>* m0 = nullptr;
    const std::vector<double>* m1 = nullptr;
    const std::vector<double>* f0 = nullptr; // dm/dt just after t0
    const std::vector<double>* f1 = nullptr; // dm/dt just before t1
    double h() const { return t1 - t0; }
};

// The value at t in [t0, t1] of the cubic with values x0, x1 and slopes
// s0, s1 at the ends; and its slope.
double hermite(double t0, double t1, double x0, double x1, double s0, double s1, double t);
double hermiteslope(double t0, double t1, double x0, double x1, double s0, double s1, double t);

struct Tintegratorsettings {
    double tolerance = 1e-4; // relative, per unknown
    // Unknowns whose mass stays below this are held to it as an absolute error.
    double absolutetolerance = 0;
    // The run stops with an error when it would need more steps.
    std::int64_t maxsteps = 1000000;
};

struct Tintegratorstats {
    std::int64_t steps = 0;
    std::int64_t rejected = 0;
    std::int64_t factorisations = 0;
};

class Tintegrator {
public:
    // ode must outlive the integrator; m0 is the state at t0.
    Tintegrator(const Tlinearode& ode, std::vector<Tforcing> forcing, std::vector<double> m0,
                double t0, const Tintegratorsettings& settings);
    // A temporary system would dangle before the first step.
    Tintegrator(Tlinearode&&, std::vector<Tforcing>, std::vector<double>, double,
                const Tintegratorsettings&) = delete;

    // Advances to `until`; every accepted step is handed to onstep. Output
    // at the given times (in increasing order, within [t0, until]) goes to
    // onoutput with the interpolated state and the ledger at that time.
    // Each callback may return false to stop the run; the run then returns
    // false (what was handed out stays valid). Raises Eerror when a
    // factorisation fails (the message names the unknown through
    // unknownname) or the step size collapses.
    using Tonstep = std::function<bool(const Tstep&)>;
    using Tonoutput = std::function<bool(double t, const std::vector<double>& m, const Tledger&)>;
    bool run(double until, const std::vector<double>& times, const Tonoutput& onoutput,
             const Tonstep& onstep = {});

    std::function<std::string(std::int32_t unknown)> unknownname;

    double time() const { return t_; }
    const std::vector<double>& state() const { return m_; }
    const Tledger& ledger() const { return ledger_; }
    const Tintegratorstats& stats() const { return stats_; }

    // The forcing at t, as it is over [t, next breakpoint).
    void forcingat(double t, std::vector<double>& e) const;
    // What the forcing gives from the start to t, exactly.
    double emittedby(double t) const;

private:
    void factor(double h, Tsparselu& lu);
    void slope(const std::vector<double>& m, double t, double stepstart, double stepend,
               std::vector<double>& f) const;
    void forcing(double t, double stepstart, double stepend, std::vector<double>& e) const;
    double nextbreak(double t) const;
    double errornorm(const std::vector<double>& error, const std::vector<double>& a,
                     const std::vector<double>& b) const;
    double firststep(double until) const;

    const Tlinearode& ode_;
    std::vector<Tforcing> forcing_;
    std::vector<double> breaks_;
    Tintegratorsettings settings_;
    double t_;
    std::vector<double> m_;
    Tledger ledger_;
    Tintegratorstats stats_;
};

} // namespace velmora
