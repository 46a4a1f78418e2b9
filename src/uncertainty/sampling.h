#pragma once
// Drawing uncertain inputs: the four distributions with optional bounds, a
// Latin hypercube over the unit interval with a seed, and rank correlations
// induced by the method of Iman and Conover. Everything here depends on the
// seed alone, never on the number of threads that later use the draws.
//
// McKay, Beckman, Conover (1979) Technometrics 21:239-245 (Latin hypercube);
// Iman, Conover (1982) Commun Stat Simul Comput 11:311-334 (rank correlation).
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace velmora {

enum class Tdistributionkind { lognormal, normal, uniform, triangular };

// "lognormal", "normal", "uniform", "triangular".
std::string distributionname(Tdistributionkind kind);
// The kind named by text (any letter case); false when none is.
bool parsedistribution(const std::string& text, Tdistributionkind& kind);

// One distribution with its values: lognormal (median, geometric standard
// deviation), normal (mean, standard deviation), uniform (minimum, maximum),
// triangular (minimum, mode, maximum); optional bounds cut it off, and a draw
// comes from the distribution between them.
struct Tdistribution {
    Tdistributionkind kind = Tdistributionkind::lognormal;
    double first = 1;
    double second = 1;
    double third = 0;
    std::optional<double> lower;
    std::optional<double> upper;

    // The value whose cumulative probability is u (0 < u < 1), within the
    // bounds. A distribution without spread gives its centre exactly.
    double quantile(double u) const;
    // The cumulative probability of x, before the bounds.
    double cdf(double x) const;
    // Why the values cannot describe a distribution (an empty text when they
    // can), and which of the values is at fault: 1, 2, 3, 4 lower, 5 upper.
    // With allowzerospread a spread of zero passes (a fixed value).
    std::string problem(int& value, bool allowzerospread = false) const;
    // False for a distribution that is one value (no spread).
    bool spreads() const;
    // The distribution's own centre: median, mean, the middle or the mode.
    double centre() const;
};

// The standard normal distribution.
double normalcdf(double z);
double normalquantile(double p);

// A seeded source of numbers whose sequence is fixed by the language
// standard (64-bit Mersenne twister), so a seed gives the same draws on
// every machine.
class Trandom {
public:
    explicit Trandom(std::uint64_t seed);
    // Uniform in [0, 1) with 53 random bits.
    double uniform();
    // Uniform integer in 0..n-1.
    std::uint64_t below(std::uint64_t n);

private:
    std::mt19937_64 engine_;
};

// n points of a Latin hypercube in k dimensions: column j holds one value in
// each of the n equal strata of (0, 1), in random order. Row-major: point i,
// dimension j at [i * k + j].
std::vector<double> latinhypercube(std::size_t n, std::size_t k, Trandom& random);

// Reorders each column of a sample (row-major, n points by k dimensions) so
// that the rank correlations between columns approach target (k by k,
// symmetric, ones on the diagonal), keeping every column's values. Raises
// Eerror when the target is not a correlation matrix or n is not above k.
void inducerankcorrelation(std::vector<double>& sample, std::size_t n, std::size_t k,
                           const std::vector<double>& target, Trandom& random);

// Cholesky factor (lower triangle, row-major) of a symmetric matrix; false
// when it is not positive definite.
bool cholesky(const std::vector<double>& a, std::size_t k, std::vector<double>& lower);

// Ranks 1..n, ties sharing their mean rank.
std::vector<double> ranks(const std::vector<double>& x);
// Pearson correlation of two equally long series (0 when either is constant).
double correlation(const std::vector<double>& x, const std::vector<double>& y);

} // namespace velmora
