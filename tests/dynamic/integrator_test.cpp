// The time integration on one box that degrades at rate k: filling under a
// constant and a rising emission, and the decline after the emission stops,
// against the closed-form solutions.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dynamic/integrator.h"

using namespace velmora;

namespace {

Tlinearode onebox(double k, double removedshare = 0) {
    Tlinearode ode;
    ode.a = Tsparsecolumns::fromtriplets(1, {0}, {0}, {-k});
    ode.degradation = {k * (1 - removedshare)};
    ode.removal = {k * removedshare};
    return ode;
}

struct Tsample {
    double t, m;
    Tledger ledger;
};

std::vector<Tsample> run(const Tlinearode& ode, const std::vector<Tforcing>& forcing, double until,
                         const std::vector<double>& times, double tolerance) {
    Tintegratorsettings s;
    s.tolerance = tolerance;
    Tintegrator integrator(ode, forcing, {0.0}, 0.0, s);
    std::vector<Tsample> samples;
    integrator.run(until, times, [&](double t, const std::vector<double>& m, const Tledger& l) {
        samples.push_back({t, m[0], l});
        return true;
    });
    return samples;
}

std::vector<double> evenly(double until, int n) {
    std::vector<double> t;
    for (int i = 1; i <= n; ++i)
        t.push_back(until * i / n);
    return t;
}

} // namespace

// Constant emission e for ts, then none: m = e/k (1 - exp(-kt)) while it
// lasts, m(ts) exp(-k (t - ts)) afterwards.
TEST(Integrator, OneBoxFillsAndEmptiesAsTheClosedForm) {
    const double k = 1e-7, e = 2.0, ts = 3e7, until = 9e7;
    for (double tolerance : {1e-3, 1e-4, 1e-5}) {
        const auto samples =
            run(onebox(k, 0.25), {{0, 0, ts, e, e}}, until, evenly(until, 90), tolerance);
        ASSERT_EQ(samples.size(), 90u);
        const double top = e / k * (1 - std::exp(-k * ts));
        for (const Tsample& s : samples) {
            const double exact =
                s.t <= ts ? e / k * (1 - std::exp(-k * s.t)) : top * std::exp(-k * (s.t - ts));
            EXPECT_NEAR(s.m, exact, tolerance * top) << "t " << s.t << " tolerance " << tolerance;
            // What came in is there or has gone, a quarter of it removed.
            const double emitted = e * std::min(s.t, ts);
            EXPECT_NEAR(s.ledger.emitted, emitted, 1e-12 * emitted);
            const double gone = s.ledger.degraded + s.ledger.removed;
            EXPECT_NEAR(s.m + gone, emitted, 1e-9 * emitted) << s.t;
            EXPECT_NEAR(s.ledger.removed, gone / 4, 1e-9 * emitted) << s.t;
        }
    }
}

// A rising emission e = a t: m = a/k (t - (1 - exp(-kt))/k).
TEST(Integrator, OneBoxUnderARisingEmission) {
    const double k = 1e-7, a = 1e-7, until = 5e7, tolerance = 1e-5;
    const auto samples =
        run(onebox(k), {{0, 0, until, 0, a * until}}, until, evenly(until, 25), tolerance);
    ASSERT_EQ(samples.size(), 25u);
    const double end = a / k * (until - (1 - std::exp(-k * until)) / k);
    for (const Tsample& s : samples) {
        const double exact = a / k * (s.t - (1 - std::exp(-k * s.t)) / k);
        EXPECT_NEAR(s.m, exact, tolerance * end) << s.t;
        EXPECT_NEAR(s.ledger.emitted, a * s.t * s.t / 2, 1e-12 * a * s.t * s.t);
    }
}

// Output at the start, and a stop asked by the output callback.
TEST(Integrator, StartOutputAndStop) {
    const auto samples = run(onebox(1e-6), {{0, 0, 1e6, 1, 1}}, 1e6, {0.0, 5e5, 1e6}, 1e-4);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].m, 0.0);
    EXPECT_EQ(samples[2].t, 1e6);

    const Tlinearode ode = onebox(1e-6);
    Tintegrator stopped(ode, {{0, 0, 1e6, 1, 1}}, {0.0}, 0.0, {});
    int calls = 0;
    EXPECT_FALSE(stopped.run(1e6, evenly(1e6, 10),
                             [&](double, const auto&, const auto&) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
}
