#include "uncertainty/sampling.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

#include "numeric/errors.h"

namespace velmora {

namespace {

const char* const distributionnames[] = {"lognormal", "normal", "uniform", "triangular"};

// The order that sorts x ascending; equal values keep their order, so the
// result never depends on the sort's implementation.
std::vector<std::size_t> ascendingorder(const std::vector<double>& x) {
    std::vector<std::size_t> order(x.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
    return order;
}

void shuffle(std::vector<std::size_t>& items, Trandom& random) {
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[random.below(i)]);
}

// Inverse of a lower triangular matrix (row-major).
std::vector<double> invertlower(const std::vector<double>& l, std::size_t k) {
    std::vector<double> inverse(k * k, 0.0);
    for (std::size_t c = 0; c < k; ++c) {
        inverse[c * k + c] = 1 / l[c * k + c];
        for (std::size_t r = c + 1; r < k; ++r) {
            double sum = 0;
            for (std::size_t m = c; m < r; ++m)
                sum += l[r * k + m] * inverse[m * k + c];
            inverse[r * k + c] = -sum / l[r * k + r];
        }
    }
    return inverse;
}

} // namespace

std::string distributionname(Tdistributionkind kind) {
    return distributionnames[static_cast<int>(kind)];
}

bool parsedistribution(const std::string& text, Tdistributionkind& kind) {
    std::string lower;
    for (char ch : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (int k = 0; k < 4; ++k)
        if (lower == distributionnames[k]) {
            kind = static_cast<Tdistributionkind>(k);
            return true;
        }
    return false;
}

// ---- the standard normal ------------------------------------------------------

double normalcdf(double z) {
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

// Acklam's rational approximation (relative error below 1.2e-9), polished by
// one Halley step on the error function to full double precision.
double normalquantile(double p) {
    if (p <= 0) return -std::numeric_limits<double>::infinity();
    if (p >= 1) return std::numeric_limits<double>::infinity();
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                               -2.759285104469687e+02, 1.383577518672690e+02,
                               -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                               -1.556989798598866e+02, 6.680131188771972e+01,
                               -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                               -2.400758277161838e+00, -2.549732539343734e+00,
                               4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    const double plow = 0.02425;
    auto tail = [&](double q) {
        return (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
               ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    };
    double x;
    if (p < plow) {
        x = tail(std::sqrt(-2 * std::log(p)));
    } else if (p <= 1 - plow) {
        double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        x = -tail(std::sqrt(-2 * std::log(1 - p)));
    }
    double e = normalcdf(x) - p;
    double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
    return x - u / (1 + x * u / 2);
}

// ---- distributions --------------------------------------------------------------

double Tdistribution::centre() const {
    switch (kind) {
    case Tdistributionkind::uniform:
        return (first + second) / 2;
    case Tdistributionkind::triangular:
        return second;
    default:
        return first;
    }
}

bool Tdistribution::spreads() const {
    switch (kind) {
    case Tdistributionkind::lognormal:
        return second != 1;
    case Tdistributionkind::normal:
        return second != 0;
    case Tdistributionkind::uniform:
        return second != first;
    case Tdistributionkind::triangular:
        return third != first;
    }
    return false;
}

double Tdistribution::cdf(double x) const {
    switch (kind) {
    case Tdistributionkind::lognormal:
        if (x <= 0) return 0;
        if (second == 1) return x < first ? 0 : 1;
        return normalcdf(std::log(x / first) / std::log(second));
    case Tdistributionkind::normal:
        if (second == 0) return x < first ? 0 : 1;
        return normalcdf((x - first) / second);
    case Tdistributionkind::uniform:
        if (x <= first) return 0;
        if (x >= second) return 1;
        return (x - first) / (second - first);
    case Tdistributionkind::triangular: {
        const double lo = first, mode = second, hi = third;
        if (x <= lo) return 0;
        if (x >= hi) return 1;
        if (x <= mode) return (x - lo) * (x - lo) / ((hi - lo) * (mode - lo));
        return 1 - (hi - x) * (hi - x) / ((hi - lo) * (hi - mode));
    }
    }
    return 0;
}

double Tdistribution::quantile(double u) const {
    double x = centre();
    if (spreads()) {
        const double from = lower ? cdf(*lower) : 0, to = upper ? cdf(*upper) : 1;
        // A stratum's edge may land on 0 or 1 exactly; the tails are open.
        const double p = std::clamp(from + u * (to - from), std::numeric_limits<double>::min(),
                                    std::nextafter(1.0, 0.0));
        switch (kind) {
        case Tdistributionkind::lognormal:
            x = first * std::exp(std::log(second) * normalquantile(p));
            break;
        case Tdistributionkind::normal:
            x = first + second * normalquantile(p);
            break;
        case Tdistributionkind::uniform:
            x = first + p * (second - first);
            break;
        case Tdistributionkind::triangular: {
            const double lo = first, mode = second, hi = third;
            if (p < (mode - lo) / (hi - lo))
                x = lo + std::sqrt(p * (hi - lo) * (mode - lo));
            else
                x = hi - std::sqrt((1 - p) * (hi - lo) * (hi - mode));
            break;
        }
        }
    }
    if (lower) x = std::max(x, *lower);
    if (upper) x = std::min(x, *upper);
    return x;
}

std::string Tdistribution::problem(int& value, bool allowzerospread) const {
    const double values[] = {first, second, third};
    const int used = kind == Tdistributionkind::triangular ? 3 : 2;
    for (int k = 0; k < used; ++k)
        if (!std::isfinite(values[k])) {
            value = k + 1;
            return "is not a finite number";
        }
    switch (kind) {
    case Tdistributionkind::lognormal:
        if (first <= 0) {
            value = 1;
            return "the median of a lognormal distribution must be above 0";
        }
        if (second < 1 || (second == 1 && !allowzerospread)) {
            value = 2;
            return "the geometric standard deviation must be above 1";
        }
        break;
    case Tdistributionkind::normal:
        if (second < 0 || (second == 0 && !allowzerospread)) {
            value = 2;
            return "the standard deviation must be above 0";
        }
        break;
    case Tdistributionkind::uniform:
        if (second < first || (second == first && !allowzerospread)) {
            value = 2;
            return "the maximum must be above the minimum";
        }
        break;
    case Tdistributionkind::triangular:
        if (third < first || (third == first && !allowzerospread)) {
            value = 3;
            return "the maximum must be above the minimum";
        }
        if (second < first || second > third) {
            value = 2;
            return "the mode must lie between the minimum and the maximum";
        }
        break;
    }
    if (lower && !std::isfinite(*lower)) {
        value = 4;
        return "is not a finite number";
    }
    if (upper && !std::isfinite(*upper)) {
        value = 5;
        return "is not a finite number";
    }
    if (lower && upper && (*upper < *lower || (*upper == *lower && !allowzerospread))) {
        value = 5;
        return "the upper bound must be above the lower bound";
    }
    if (spreads() && (lower || upper)) {
        const double from = lower ? cdf(*lower) : 0, to = upper ? cdf(*upper) : 1;
        if (!(to > from)) {
            value = lower ? 4 : 5;
            return "the bounds leave nothing of the distribution between them";
        }
    }
    return {};
}

// ---- random numbers and the hypercube ---------------------------------------------

Trandom::Trandom(std::uint64_t seed) : engine_(seed) {}

double Trandom::uniform() {
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

std::uint64_t Trandom::below(std::uint64_t n) {
    // Rejection keeps every value equally likely.
    const std::uint64_t limit =
        std::numeric_limits<std::uint64_t>::max() - std::numeric_limits<std::uint64_t>::max() % n;
    std::uint64_t x;
    do {
        x = engine_();
    } while (x >= limit);
    return x % n;
}

std::vector<double> latinhypercube(std::size_t n, std::size_t k, Trandom& random) {
    std::vector<double> sample(n * k);
    std::vector<std::size_t> strata(n);
    for (std::size_t j = 0; j < k; ++j) {
        std::iota(strata.begin(), strata.end(), std::size_t{0});
        shuffle(strata, random);
        for (std::size_t i = 0; i < n; ++i)
            sample[i * k + j] =
                (static_cast<double>(strata[i]) + random.uniform()) / static_cast<double>(n);
    }
    return sample;
}

bool cholesky(const std::vector<double>& a, std::size_t k, std::vector<double>& lower) {
    lower.assign(k * k, 0.0);
    for (std::size_t r = 0; r < k; ++r)
        for (std::size_t c = 0; c <= r; ++c) {
            double sum = a[r * k + c];
            for (std::size_t m = 0; m < c; ++m)
                sum -= lower[r * k + m] * lower[c * k + m];
            if (r == c) {
                if (!(sum > 1e-12)) return false;
                lower[r * k + r] = std::sqrt(sum);
            } else {
                lower[r * k + c] = sum / lower[c * k + c];
            }
        }
    return true;
}

void inducerankcorrelation(std::vector<double>& sample, std::size_t n, std::size_t k,
                           const std::vector<double>& target, Trandom& random) {
    if (n <= k) throw Eerror("rank correlations need more draws than inputs");
    // Normal scores with Pearson correlation 2 sin(pi r / 6) have the rank
    // correlation r.
    std::vector<double> wanted(k * k);
    for (std::size_t r = 0; r < k; ++r)
        for (std::size_t c = 0; c < k; ++c)
            wanted[r * k + c] =
                r == c ? 1.0 : 2 * std::sin(std::numbers::pi * target[r * k + c] / 6);
    std::vector<double> p;
    if (!cholesky(wanted, k, p))
        throw Eerror("the rank correlations contradict each other (no set of inputs can have "
                     "them all at once)");
    std::vector<double> scores(n);
    for (std::size_t i = 0; i < n; ++i)
        scores[i] = normalquantile(static_cast<double>(i + 1) / static_cast<double>(n + 1));
    std::vector<double> r(n * k);
    std::vector<std::size_t> order(n);
    for (std::size_t j = 0; j < k; ++j) {
        std::iota(order.begin(), order.end(), std::size_t{0});
        shuffle(order, random);
        for (std::size_t i = 0; i < n; ++i)
            r[i * k + j] = scores[order[i]];
    }
    // The correlation the random scores happen to have, taken out again.
    std::vector<double> column(n), other(n), e(k * k);
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = 0; b <= a; ++b) {
            for (std::size_t i = 0; i < n; ++i) {
                column[i] = r[i * k + a];
                other[i] = r[i * k + b];
            }
            e[a * k + b] = e[b * k + a] = a == b ? 1.0 : correlation(column, other);
        }
    std::vector<double> q;
    if (!cholesky(e, k, q)) throw Eerror("too few draws to give the inputs rank correlations");
    const std::vector<double> qinverse = invertlower(q, k);
    std::vector<double> m(k * k, 0.0); // P Q^-1
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = 0; b < k; ++b)
            for (std::size_t c = 0; c < k; ++c)
                m[a * k + b] += p[a * k + c] * qinverse[c * k + b];
    std::vector<double> t(n * k, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t a = 0; a < k; ++a)
            for (std::size_t b = 0; b < k; ++b)
                t[i * k + a] += m[a * k + b] * r[i * k + b];
    // Each column of the sample takes the ranks of the matching column of t.
    for (std::size_t j = 0; j < k; ++j) {
        for (std::size_t i = 0; i < n; ++i) {
            column[i] = sample[i * k + j];
            other[i] = t[i * k + j];
        }
        std::vector<double> sorted = column;
        std::sort(sorted.begin(), sorted.end());
        const std::vector<std::size_t> rows = ascendingorder(other);
        for (std::size_t rank = 0; rank < n; ++rank)
            sample[rows[rank] * k + j] = sorted[rank];
    }
}

std::vector<double> ranks(const std::vector<double>& x) {
    const std::vector<std::size_t> order = ascendingorder(x);
    std::vector<double> result(x.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && x[order[j + 1]] == x[order[i]])
            ++j;
        const double mean = (static_cast<double>(i + j) / 2) + 1;
        for (std::size_t m = i; m <= j; ++m)
            result[order[m]] = mean;
        i = j + 1;
    }
    return result;
}

double correlation(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2) return 0;
    double mx = 0, my = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    if (sxx == 0 || syy == 0) return 0;
    return sxy / std::sqrt(sxx * syy);
}

} // namespace velmora
