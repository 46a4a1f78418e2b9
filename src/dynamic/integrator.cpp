#include "dynamic/integrator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numeric/errors.h"

namespace velmora {

namespace {

// TR-BDF2 with gamma = 2 - sqrt(2): both stages have the diagonal weight d,
// the final stage weights the slopes at the start and at gamma by w.
const double gamma_ = 2.0 - std::sqrt(2.0);
const double d_ = 1.0 - 1.0 / std::sqrt(2.0);
const double w_ = std::sqrt(2.0) / 4.0;
// The weights of the second-order result less those of the embedded
// third-order one: the local error estimate is h times this combination of
// the three slopes.
const double e0_ = (4.0 * w_ - 1.0) / 3.0;
const double eg_ = -1.0 / 3.0;
const double e1_ = 2.0 * d_ / 3.0;

// Step size changes: at most five-fold up or down per step, and growth only
// when it is worth a new factorisation.
constexpr double safety = 0.9;
constexpr double maxgrowth = 5.0;
constexpr double mingrowth = 1.5;
constexpr double maxshrink = 0.2;
// Each step is held to this share of the tolerance: the errors of the
// steps add up over a run of hundreds of them, and the tolerance is what
// the user reads off the result, not what one step may add.
constexpr double stepshare = 0.1;

void matvec(const Tsparsecolumns& a, const std::vector<double>& x, std::vector<double>& y) {
    std::fill(y.begin(), y.end(), 0.0);
    for (std::int32_t j = 0; j < a.n; ++j) {
        const double xj = x[j];
        if (xj == 0.0) continue;
        for (std::int32_t p = a.colstart[j]; p < a.colstart[j + 1]; ++p)
            y[a.rowindex[p]] += a.values[p] * xj;
    }
}

double dot(const std::vector<double>& a, const std::vector<double>& b) {
    double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        s += a[i] * b[i];
    return s;
}

} // namespace

double hermite(double t0, double t1, double x0, double x1, double s0, double s1, double t) {
    const double h = t1 - t0;
    if (h <= 0) return x1;
    const double u = (t - t0) / h, u2 = u * u, u3 = u2 * u;
    return (2 * u3 - 3 * u2 + 1) * x0 + (u3 - 2 * u2 + u) * h * s0 + (-2 * u3 + 3 * u2) * x1 +
           (u3 - u2) * h * s1;
}

double hermiteslope(double t0, double t1, double x0, double x1, double s0, double s1, double t) {
    const double h = t1 - t0;
    if (h <= 0) return s1;
    const double u = (t - t0) / h, u2 = u * u;
    return ((6 * u2 - 6 * u) * (x0 - x1)) / h + (3 * u2 - 4 * u + 1) * s0 + (3 * u2 - 2 * u) * s1;
}

Tintegrator::Tintegrator(const Tlinearode& ode, std::vector<Tforcing> forcing,
                         std::vector<double> m0, double t0, const Tintegratorsettings& settings)
    : ode_(ode), forcing_(std::move(forcing)), settings_(settings), t_(t0), m_(std::move(m0)) {
    for (const Tforcing& f : forcing_) {
        breaks_.push_back(f.from);
        breaks_.push_back(f.to);
    }
    std::sort(breaks_.begin(), breaks_.end());
    breaks_.erase(std::unique(breaks_.begin(), breaks_.end()), breaks_.end());
    m_.resize(std::size_t(ode_.a.n), 0.0);
    ledger_.emitted = 0;
}

double Tintegrator::nextbreak(double t) const {
    auto it = std::upper_bound(breaks_.begin(), breaks_.end(), t);
    return it == breaks_.end() ? std::numeric_limits<double>::infinity() : *it;
}

void Tintegrator::forcing(double t, double stepstart, double stepend,
                          std::vector<double>& e) const {
    std::fill(e.begin(), e.end(), 0.0);
    for (const Tforcing& f : forcing_)
        if (f.from <= stepstart && stepend <= f.to) e[f.unknown] += f.rate(t);
}

void Tintegrator::forcingat(double t, std::vector<double>& e) const {
    e.assign(std::size_t(ode_.a.n), 0.0);
    for (const Tforcing& f : forcing_)
        if (f.from <= t && t < f.to) e[f.unknown] += f.rate(t);
}

double Tintegrator::emittedby(double t) const {
    double total = 0;
    for (const Tforcing& f : forcing_) {
        const double end = std::min(t, f.to);
        if (end <= f.from) continue;
        total += 0.5 * (f.ratefrom + f.rate(end)) * (end - f.from);
    }
    return total;
}

void Tintegrator::slope(const std::vector<double>& m, double t, double stepstart, double stepend,
                        std::vector<double>& f) const {
    std::vector<double> e(m.size());
    forcing(t, stepstart, stepend, e);
    matvec(ode_.a, m, f);
    for (std::size_t i = 0; i < f.size(); ++i)
        f[i] += e[i];
}

void Tintegrator::factor(double h, Tsparselu& lu) {
    // I - d h A: A's pattern with its diagonal stored, so only the values change.
    Tsparsecolumns m = ode_.a;
    for (std::int32_t j = 0; j < m.n; ++j)
        for (std::int32_t p = m.colstart[j]; p < m.colstart[j + 1]; ++p) {
            m.values[p] *= -d_ * h;
            if (m.rowindex[p] == j) m.values[p] += 1.0;
        }
    ++stats_.factorisations;
    if (!lu.factorise(m)) {
        std::string where;
        if (lu.singularstep() >= 0 && unknownname)
            where = " at " + unknownname(lu.columnofstep(lu.singularstep()));
        throw Eerror("the system matrix cannot be factorised for a time step of " +
                     std::to_string(h) + " s" + where + ": the system is singular or unstable");
    }
}

double Tintegrator::errornorm(const std::vector<double>& error, const std::vector<double>& a,
                              const std::vector<double>& b) const {
    double worst = 0;
    for (std::size_t i = 0; i < error.size(); ++i) {
        const double scale =
            stepshare * (settings_.absolutetolerance +
                         settings_.tolerance * std::max(std::fabs(a[i]), std::fabs(b[i])));
        worst = std::max(worst, std::fabs(error[i]) / scale);
    }
    return worst;
}

// A first step from the size of the slope and of its change over an
// explicit trial step (Hairer, Norsett and Wanner, Solving Ordinary
// Differential Equations I, II.4).
double Tintegrator::firststep(double until) const {
    const double span = until - t_;
    const std::size_t n = m_.size();
    auto rms = [&](const std::vector<double>& x) {
        double s = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double scale =
                stepshare * (settings_.absolutetolerance + settings_.tolerance * std::fabs(m_[i]));
            s += (x[i] / scale) * (x[i] / scale);
        }
        return n ? std::sqrt(s / double(n)) : 0.0;
    };
    const double end = std::min(nextbreak(t_), until);
    std::vector<double> f0(n), f1(n), m1(n);
    slope(m_, t_, t_, end, f0);
    const double d0 = rms(m_), d1 = rms(f0);
    double h0 = d0 < 1e-5 || d1 < 1e-5 ? 1e-6 * span : 0.01 * d0 / d1;
    h0 = std::min(h0, end - t_);
    for (std::size_t i = 0; i < n; ++i)
        m1[i] = m_[i] + h0 * f0[i];
    slope(m1, t_ + h0, t_, end, f1);
    for (std::size_t i = 0; i < n; ++i)
        f1[i] -= f0[i];
    const double d2 = rms(f1) / h0;
    const double h1 = std::max(d1, d2) <= 1e-15 ? std::max(1e-6 * span, h0 * 1e-3)
                                                : std::cbrt(0.01 / std::max(d1, d2));
    return std::min({100 * h0, h1, span});
}

bool Tintegrator::run(double until, const std::vector<double>& times, const Tonoutput& onoutput,
                      const Tonstep& onstep) {
    const std::size_t n = m_.size();
    std::size_t nextout = 0;
    while (nextout < times.size() && times[nextout] < t_)
        ++nextout;
    // An output at the start is the start itself.
    while (nextout < times.size() && times[nextout] == t_) {
        if (!onoutput(t_, m_, ledger_)) return false;
        ++nextout;
    }
    if (!(until > t_)) return true;
    if (settings_.absolutetolerance <= 0) {
        // Masses below a billionth of what the run handles are held to that
        // as an absolute error; nobody reads them to more digits.
        double scale = emittedby(until);
        for (double x : m_)
            scale += std::fabs(x);
        settings_.absolutetolerance = settings_.tolerance * 1e-9 * std::max(scale, 1e-300);
    }

    std::vector<double> am(n), e(n), f0(n), fg(n), f1(n), zg(n), z1(n), az1(n), rhs(n), est(n),
        work(n), mout(n);
    matvec(ode_.a, m_, am);
    Tsparselu nominal, cut;
    double hnominal = firststep(until), hfactored = -1;
    while (t_ < until) {
        if (stats_.steps + stats_.rejected >= settings_.maxsteps)
            throw Eerror("the time integration needs more than " +
                         std::to_string(settings_.maxsteps) + " steps; loosen the tolerance");
        const double stop = std::min(nextbreak(t_), until);
        double h = hnominal;
        // A step that would end just short of a break ends on it instead.
        if (stop - t_ <= 1.05 * h) h = stop - t_;
        const double t1 = h == stop - t_ ? stop : t_ + h;
        Tsparselu* lu = &nominal;
        if (h == hnominal) {
            if (hfactored != hnominal) {
                factor(hnominal, nominal);
                hfactored = hnominal;
            }
        } else {
            factor(h, cut);
            lu = &cut;
        }
        const double tg = t_ + gamma_ * h;
        // f0 with the forcing of this step (it may have just changed).
        forcing(t_, t_, t1, e);
        for (std::size_t i = 0; i < n; ++i)
            f0[i] = am[i] + e[i];
        // Trapezoidal stage to tg.
        forcing(tg, t_, t1, e);
        for (std::size_t i = 0; i < n; ++i)
            zg[i] = m_[i] + d_ * h * (f0[i] + e[i]);
        lu->solve(zg.data(), work.data());
        matvec(ode_.a, zg, fg);
        for (std::size_t i = 0; i < n; ++i)
            fg[i] += e[i];
        // Backward difference stage to t1.
        forcing(t1, t_, t1, e);
        for (std::size_t i = 0; i < n; ++i)
            z1[i] = m_[i] + w_ * h * (f0[i] + fg[i]) + d_ * h * e[i];
        lu->solve(z1.data(), work.data());
        matvec(ode_.a, z1, az1);
        for (std::size_t i = 0; i < n; ++i)
            f1[i] = az1[i] + e[i];
        for (std::size_t i = 0; i < n; ++i)
            est[i] = h * (e0_ * f0[i] + eg_ * fg[i] + e1_ * f1[i]);
        lu->solve(est.data(), work.data());
        const double err = errornorm(est, m_, z1);
        if (!std::isfinite(err))
            throw Eerror("the time integration diverged at " + std::to_string(t_) +
                         " s: the system is unstable");
        if (err > 1) {
            ++stats_.rejected;
            hnominal = h * std::max(maxshrink, safety * std::cbrt(1 / err));
            if (hnominal < 1e-12 * std::max(1.0, std::fabs(t_)))
                throw Eerror("the time step fell below " + std::to_string(hnominal) + " s at " +
                             std::to_string(t_) + " s: the system is too stiff or unstable");
            continue;
        }
        // Accepted: the losses by the same quadrature as the masses.
        Tledger before = ledger_;
        const double dd0 = dot(ode_.degradation, m_), ddg = dot(ode_.degradation, zg),
                     dd1 = dot(ode_.degradation, z1);
        const double rr0 = dot(ode_.removal, m_), rrg = dot(ode_.removal, zg),
                     rr1 = dot(ode_.removal, z1);
        ledger_.degraded += h * (w_ * (dd0 + ddg) + d_ * dd1);
        ledger_.removed += h * (w_ * (rr0 + rrg) + d_ * rr1);
        ledger_.emitted = emittedby(t1);
        ++stats_.steps;
        Tstep step{t_, t1, &m_, &z1, &f0, &f1};
        if (onstep && !onstep(step)) {
            m_.swap(z1);
            t_ = t1;
            return false;
        }
        for (; nextout < times.size() && times[nextout] <= t1; ++nextout) {
            const double t = times[nextout];
            for (std::size_t i = 0; i < n; ++i)
                mout[i] = hermite(t_, t1, m_[i], z1[i], f0[i], f1[i], t);
            Tledger at;
            at.emitted = emittedby(t);
            at.degraded = hermite(t_, t1, before.degraded, ledger_.degraded, dd0, dd1, t);
            at.removed = hermite(t_, t1, before.removed, ledger_.removed, rr0, rr1, t);
            if (t == t1) {
                mout = z1;
                at = ledger_;
            }
            if (!onoutput(t, mout, at)) {
                m_.swap(z1);
                t_ = t1;
                return false;
            }
        }
        m_.swap(z1);
        am.swap(az1);
        t_ = t1;
        // A longer step when the error allows one worth a new factorisation.
        const double grow = err > 0 ? safety * std::cbrt(1 / err) : maxgrowth;
        const double proposed = h * std::min(grow, maxgrowth);
        if (proposed >= mingrowth * hnominal) hnominal = proposed;
    }
    return true;
}

} // namespace velmora
