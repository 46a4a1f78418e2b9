// Wash-out by rain that falls now and then, checked against a cycle of dry
// spells and showers followed step by step. (The exchange across borders is
// checked with the flows.)
#include <gtest/gtest.h>

#include <cmath>

#include "compute/atmosphere.h"

namespace velmora {
namespace {

// A steady source of 1 into air that rain clears at kw = rate * T / tw for
// tw out of every T seconds and that nothing else leaves, followed through
// enough cycles to forget its start; the source over the mean mass of the
// last cycle is the long-term wash-out rate.
double simulatedrate(double rate, double ftimerain) {
    const double tw = 8640, T = tw / ftimerain, td = T - tw, kw = rate * T / tw;
    double mass = 0, integral = 0;
    for (int cycle = 0; cycle < 400; ++cycle) {
        // This cycle's integral of the mass: a dry spell, the mass growing by 1
        // per second, then the shower.
        integral = mass * td + td * td / 2;
        mass += td;
        const double excess = mass - 1 / kw, left = std::exp(-kw * tw);
        integral += tw / kw + excess * (1 - left) / kw;
        mass = 1 / kw + excess * left;
    }
    return T / integral;
}

TEST(IntermittentRain, MatchesTheCycleFollowedStepByStep) {
    struct Tcase {
        double rate, ftimerain;
    };
    // Germany's 117 rain days (Ftime_rain 0.032) with a particle-bound, a
    // dissolving and a barely soluble substance; a desert's 8 rain days; rain
    // half the time.
    for (Tcase c : {Tcase{4.4e-6, 0.032}, Tcase{1.9e-4, 0.032}, Tcase{2e-7, 0.032},
                    Tcase{1e-5, 0.0023}, Tcase{2e-5, 0.5}}) {
        const double expected = simulatedrate(c.rate, c.ftimerain);
        EXPECT_NEAR(double(intermittentwashoutrate(c.rate, c.ftimerain)), expected, 1e-9 * expected)
            << c.rate << " " << c.ftimerain;
    }
}

TEST(IntermittentRain, LimitsAndEdges) {
    // Steady rain, and no rain time or no wash-out at all.
    EXPECT_DOUBLE_EQ(double(intermittentwashoutrate(3e-6, 1)), 3e-6);
    EXPECT_DOUBLE_EQ(double(intermittentwashoutrate(3e-6, 2)), 3e-6);
    EXPECT_EQ(intermittentwashoutrate(3e-6, 0), 0);
    EXPECT_EQ(intermittentwashoutrate(0, 0.03), 0);
    // A substance rain barely touches: the steady-rain rate.
    EXPECT_NEAR(double(intermittentwashoutrate(1e-12, 0.03)), 1e-12, 1e-18);
    // One each shower clears: a build-up from nothing over the dry spell,
    // 2 T / td^2 with T = 288,000 s and td = 279,360 s (Ftime_rain 0.03),
    // however much faster rain would wash it out.
    const double T = 288000, td = 279360, ceiling = 2 * T / (td * td);
    EXPECT_NEAR(double(intermittentwashoutrate(1, 0.03)), ceiling, 1e-4 * ceiling);
    EXPECT_LT(intermittentwashoutrate(1e3, 0.03), ceiling);
}

} // namespace
} // namespace velmora
