// Drawing uncertain inputs: distributions with bounds, the Latin hypercube,
// induced rank correlations and the statistics of draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "uncertainty/sampling.h"
#include "uncertainty/uncertaintyresults.h"

using namespace velmora;

namespace {

Tdistribution make(Tdistributionkind kind, double a, double b, double c = 0,
                   std::optional<double> lower = {}, std::optional<double> upper = {}) {
    return {kind, a, b, c, lower, upper};
}

} // namespace

TEST(Sampling, NormalQuantileInvertsTheDistribution) {
    EXPECT_NEAR(normalquantile(0.975), 1.959963984540054, 1e-12);
    EXPECT_NEAR(normalquantile(0.5), 0, 1e-15);
    EXPECT_NEAR(normalquantile(1e-10), -6.361340902404056, 1e-9);
    for (double p : {1e-300, 1e-6, 0.01, 0.3, 0.9, 0.999999})
        EXPECT_NEAR(normalcdf(normalquantile(p)) / p, 1, 1e-12) << p;
}

TEST(Sampling, QuantilesOfTheFourDistributions) {
    using K = Tdistributionkind;
    struct Tcase {
        Tdistribution d;
        double u, expected;
    };
    const Tcase cases[] = {
        {make(K::lognormal, 2, 3), 0.5, 2},
        {make(K::lognormal, 2, 3), 0.975, 2 * std::pow(3, 1.959963984540054)},
        {make(K::normal, 10, 2), 0.025, 10 - 2 * 1.959963984540054},
        {make(K::uniform, 1, 5), 0.25, 2},
        // Mode 2 between 0 and 4: a quarter of the mass lies below 1.414...
        {make(K::triangular, 0, 2, 4), 0.25, std::sqrt(2.0)},
        {make(K::triangular, 0, 2, 4), 0.875, 3},
        // Cut off: a draw comes from the normal between its bounds only.
        {make(K::normal, 0, 1, 0, 0.0, {}), 0.5, normalquantile(0.75)},
        {make(K::uniform, 0, 10, 0, 2.0, 4.0), 0.5, 3},
        // Without spread the centre comes out exactly, bounds still apply.
        {make(K::lognormal, 7.25, 1), 0.99, 7.25},
        {make(K::normal, 3, 0, 0, {}, 2.0), 0.3, 2},
    };
    for (const Tcase& c : cases)
        EXPECT_NEAR(c.d.quantile(c.u), c.expected, 1e-9 * std::max(1.0, std::abs(c.expected)))
            << distributionname(c.d.kind) << " " << c.u;
}

TEST(Sampling, ProblemsNameTheValueAtFault) {
    using K = Tdistributionkind;
    struct Tcase {
        Tdistribution d;
        int value; // 0: no problem
    };
    const Tcase cases[] = {
        {make(K::lognormal, 1, 2), 0},
        {make(K::lognormal, 0, 2), 1},
        {make(K::lognormal, 1, 1), 2},   // no spread
        {make(K::lognormal, 1, 0.5), 2}, // below 1
        {make(K::normal, 1, 0), 2},
        {make(K::normal, 1, -1), 2},
        {make(K::uniform, 3, 3), 2},
        {make(K::triangular, 0, 5, 4), 2},
        {make(K::triangular, 1, 1, 1), 3},
        {make(K::normal, 0, 1, 0, 2.0, 1.0), 5},  // crossed bounds
        {make(K::uniform, 0, 1, 0, 2.0, 3.0), 4}, // nothing left between them
        {make(K::normal, NAN, 1), 1},
    };
    for (const Tcase& c : cases) {
        int value = 0;
        std::string problem = c.d.problem(value);
        EXPECT_EQ(problem.empty() ? 0 : value, c.value) << problem;
    }
    int value = 0;
    EXPECT_EQ(make(K::lognormal, 1, 1).problem(value, true), "");
}

TEST(Sampling, LatinHypercubeHasOneValueInEachStratum) {
    Trandom random(42);
    const std::size_t n = 50, k = 3;
    std::vector<double> s = latinhypercube(n, k, random);
    for (std::size_t j = 0; j < k; ++j) {
        std::set<std::size_t> strata;
        for (std::size_t i = 0; i < n; ++i) {
            const double u = s[i * k + j];
            ASSERT_GE(u, 0);
            ASSERT_LT(u, 1);
            strata.insert(static_cast<std::size_t>(u * n));
        }
        EXPECT_EQ(strata.size(), n);
    }
    Trandom again(42), other(43);
    EXPECT_EQ(latinhypercube(n, k, again), s);
    EXPECT_NE(latinhypercube(n, k, other), s);
}

TEST(Sampling, RankCorrelationsComeOutAsAskedAndKeepTheValues) {
    Trandom random(7);
    const std::size_t n = 2000, k = 3;
    std::vector<double> s = latinhypercube(n, k, random);
    std::vector<double> before = s;
    const std::vector<double> target = {1, 0.7, -0.4, 0.7, 1, 0, -0.4, 0, 1};
    inducerankcorrelation(s, n, k, target, random);
    std::vector<std::vector<double>> columns(k, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < k; ++j)
            columns[j][i] = s[i * k + j];
    for (std::size_t j = 0; j < k; ++j) {
        std::vector<double> a = columns[j], b(n);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = before[i * k + j];
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << "column " << j << " keeps its values";
    }
    auto rankcorrelation = [&](std::size_t a, std::size_t b) {
        return correlation(ranks(columns[a]), ranks(columns[b]));
    };
    EXPECT_NEAR(rankcorrelation(0, 1), 0.7, 0.03);
    EXPECT_NEAR(rankcorrelation(0, 2), -0.4, 0.03);
    EXPECT_NEAR(rankcorrelation(1, 2), 0, 0.03);
    // A = B, B = C, A = -C cannot all hold.
    const std::vector<double> impossible = {1, 0.9, -0.9, 0.9, 1, 0.9, -0.9, 0.9, 1};
    EXPECT_THROW(inducerankcorrelation(s, n, k, impossible, random), Eerror);
}

TEST(Sampling, RanksShareTiesAndSummariesSkipMissingDraws) {
    EXPECT_EQ(ranks({3, 1, 3, 2}), (std::vector<double>{3.5, 1, 3.5, 2}));
    const double nan = std::nan("");
    Tsummary s = summarize({1, nan, 4, 16, 2, 8});
    EXPECT_EQ(s.n, 5u);
    EXPECT_DOUBLE_EQ(s.mean, 6.2);
    EXPECT_NEAR(s.sd, std::sqrt(37.2), 1e-12);
    EXPECT_NEAR(s.geomean, 4, 1e-12); // 2^((0+2+4+1+3)/5)
    EXPECT_NEAR(s.gsd, std::exp(std::log(2) * std::sqrt(2.5)), 1e-12);
    EXPECT_DOUBLE_EQ(s.percentiles[3], 4);   // median
    EXPECT_DOUBLE_EQ(s.percentiles[2], 2);   // P25 at position 1
    EXPECT_DOUBLE_EQ(s.percentiles[0], 1.1); // P2.5 at position 0.1
    EXPECT_TRUE(std::isnan(summarize({-1, 2}).geomean));
    EXPECT_TRUE(std::isnan(summarize({nan}).mean));
}
