#include "dynamic/dynamic.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

#include "compute/model.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"

namespace velmora {

const double approachlevels[3] = {0.5, 0.9, 0.95};

namespace {

// The regcomps that exist, numbered 0.. as unknowns of the time integration.
struct Tunknowns {
    std::vector<std::uint32_t> regcomp;  // unknown -> regcomp
    std::vector<std::int32_t> unknownof; // regcomp (1..n) -> unknown, -1 when absent
    std::vector<double> volume;          // per unknown, m^3
};

Tunknowns unknownsof(const Tmodel& m) {
    const Tregcomps& rcs = m.regcomps;
    Tunknowns u;
    u.unknownof.assign(std::size_t(rcs.n) + 1, -1);
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        const double v = rcs.V.value(k);
        if (!(v > 0)) continue;
        u.unknownof[k] = std::int32_t(u.regcomp.size());
        u.regcomp.push_back(k);
        u.volume.push_back(v);
    }
    return u;
}

void requirecalculated(const Tmodel& m) {
    const Tregcomps& rcs = m.regcomps;
    if (rcs.n == 0 || rcs.Abig.values.rows() != rcs.n || rcs.V.count() != rcs.n)
        throw Eerror("there is no system matrix yet; calculate the results first");
    if (m.env.changed || m.sub.changed)
        throw Eerror("the environment or the substance changed since the last calculation, or "
                     "its system matrix was singular; calculate the results first");
}

// A in masses: A(i, j) = Abig(i, j) / V(j), every diagonal entry stored.
// Flows that would make mass out of nothing are refused by name.
Tlinearode buildode(const Tmodel& m, const Tunknowns& u) {
    const Tregcomps& rcs = m.regcomps;
    const std::int32_t n = std::int32_t(u.regcomp.size());
    std::vector<std::int32_t> rows, cols;
    std::vector<double> values;
    std::vector<double> columnsum(std::size_t(n), 0.0), diagonal(std::size_t(n), 0.0);
    for (std::int32_t j = 0; j < n; ++j) {
        rows.push_back(j);
        cols.push_back(j);
        values.push_back(0.0);
    }
    std::string problem;
    rcs.Abig.values.foreachnonzero([&](std::uint32_t i, std::uint32_t h, extended x) {
        const std::int32_t ui = u.unknownof[i], uh = u.unknownof[h];
        if (ui < 0 || uh < 0) return; // no volume: no mass to move
        const double a = static_cast<double>(x) / u.volume[std::size_t(uh)];
        if (i != h && a < 0 && problem.empty())
            problem = "the flow from " + rcs.regcompname(h) + " into " + rcs.regcompname(i) +
                      " is negative";
        rows.push_back(ui);
        cols.push_back(uh);
        values.push_back(a);
        columnsum[std::size_t(uh)] += a;
        if (i == h) diagonal[std::size_t(uh)] = a;
    });
    Tlinearode ode;
    ode.a = Tsparsecolumns::fromtriplets(n, rows, cols, values);
    ode.degradation.resize(std::size_t(n));
    ode.removal.resize(std::size_t(n));
    for (std::int32_t j = 0; j < n; ++j) {
        const std::uint32_t k = u.regcomp[std::size_t(j)];
        const double kdeg = rcs.kdeg.value(k), outside = rcs.ADV_outside.value(k);
        if ((kdeg < 0 || outside < 0) && problem.empty())
            problem = rcs.regcompname(k) + " gains substance by itself (a degradation rate or "
                                           "outflow below 0)";
        // Up to the single-precision rounding of the stored matrix, no
        // column may gain.
        if (columnsum[std::size_t(j)] > 1e-5 * std::fabs(diagonal[std::size_t(j)]) &&
            problem.empty())
            problem = rcs.regcompname(k) + " sends out more than it loses";
        ode.degradation[std::size_t(j)] = kdeg;
        ode.removal[std::size_t(j)] = outside / u.volume[std::size_t(j)];
    }
    if (!problem.empty()) throw Eerror("the system is unstable: " + problem);
    return ode;
}

// The steady state of constant emissions, per unknown: A m = -e.
class Tsteadystate {
public:
    Tsteadystate(const Tmodel& m, const Tlinearode& ode, const Tunknowns& u) {
        if (!lu_.factorise(ode.a)) {
            std::string where;
            if (lu_.singularstep() >= 0)
                where = " at " + m.regcomps.regcompname(
                                     u.regcomp[std::size_t(lu_.columnofstep(lu_.singularstep()))]);
            throw Eerror("the system matrix is singular" + where +
                         ": nothing removes the substance there, so there is no steady state");
        }
    }
    std::vector<double> of(const std::vector<double>& e) const {
        std::vector<double> x(e.size()), work(e.size());
        bool emitted = false;
        for (std::size_t i = 0; i < e.size(); ++i) {
            x[i] = -e[i];
            emitted = emitted || e[i] > 0;
        }
        lu_.solve(x.data(), work.data());
        // A system that loses almost nothing solves to masses of both signs,
        // large and meaningless, as the calculation finds too.
        const double highest = *std::max_element(x.begin(), x.end());
        const double lowest = *std::min_element(x.begin(), x.end());
        if (emitted && lowest < -1e-6 * highest)
            throw Eerror("the system matrix is singular: the steady state comes out negative, "
                         "since nothing removes the substance from the system");
        return x;
    }

private:
    Tsparselu lu_;
};

void checksettings(const Tmodel& m, const Tdynamicsettings& s) {
    if (!std::isfinite(s.until) || s.until <= 0)
        throw Eerror("the run needs a positive length of time");
    if (!(s.tolerance > 0 && s.tolerance <= 0.1))
        throw Eerror("the tolerance must lie above 0 and at most 0.1");
    for (std::size_t k = 0; k < s.times.size(); ++k) {
        const std::string place =
            "output time " + std::to_string(k + 1) + " (" + durationtext(s.times[k]) + ")";
        if (!std::isfinite(s.times[k]) || s.times[k] < 0) throw Eerror(place + " is below 0");
        if (s.times[k] > s.until)
            throw Eerror(place + " lies beyond the end of the run, " + durationtext(s.until));
        if (k > 0 && s.times[k] <= s.times[k - 1])
            throw Eerror(place + " is not later than the time before it");
    }
    checkpieces(m, s.emissions, s.until);
    for (std::size_t k = 0; k < s.startfrom.size(); ++k) {
        const Tboxemission& b = s.startfrom[k];
        const std::string place = "start emission " + std::to_string(k + 1);
        if (!emissiontarget(m, b.regcomp))
            throw Eerror(place + ": no emission can go to " +
                         (b.regcomp >= 1 && b.regcomp <= m.regcomps.n
                              ? m.regcomps.regcompname(b.regcomp)
                              : "box " + std::to_string(b.regcomp)));
        if (!std::isfinite(b.rate) || b.rate < 0)
            throw Eerror(place + ": the rate is below 0 or not finite");
    }
}

// Follows the sums of the world, of every compartment, region and regcomp
// step by step: their first approach to the steady state, their peak and
// their decline after the emission stops.
class Tseriestracker {
public:
    Tseriestracker(const Tmodel& m, const Tunknowns& u, Tdynamicderived& d,
                   const std::vector<double>& m0, const std::vector<double>* target)
        : d_(d) {
        const std::uint32_t nreg = m.regions.count;
        d.series.push_back({Tseriesgroup::world, 0});
        for (std::uint32_t c = 1; c <= ncompartments; ++c)
            d.series.push_back({Tseriesgroup::compartment, c});
        for (std::uint32_t r = 1; r <= nreg; ++r)
            d.series.push_back({Tseriesgroup::region, r});
        const std::size_t first = d.series.size();
        for (std::uint32_t k : u.regcomp)
            d.series.push_back({Tseriesgroup::regcomp, k});
        members_.resize(u.regcomp.size());
        for (std::size_t i = 0; i < u.regcomp.size(); ++i) {
            const std::uint32_t k = u.regcomp[i];
            members_[i] = {0, m.regcomps.compartmentof(k), ncompartments + m.regcomps.regionof(k),
                           std::uint32_t(first + i)};
        }
        const std::size_t ns = d.series.size();
        s0_.resize(ns);
        s1_.resize(ns);
        f0_.resize(ns);
        f1_.resize(ns);
        sum(m0, s0_);
        std::vector<double> t(ns, 0.0);
        if (target) sum(*target, t);
        declinepeak_.assign(ns, 0.0);
        declinetime_.assign(ns, 0.0);
        for (std::size_t s = 0; s < ns; ++s) {
            Tseriesderived& x = d.series[s];
            x.start = s0_[s];
            x.target = target ? t[s] : 0;
            x.peaktime = 0;
            x.peakmass = s0_[s];
        }
    }

    void step(const Tstep& st) {
        sum(*st.m0, s0_);
        sum(*st.m1, s1_);
        sum(*st.f0, f0_);
        sum(*st.f1, f1_);
        const double t0 = st.t0, t1 = st.t1;
        const bool approaching = d_.approachknown && t1 <= d_.constantuntil;
        const bool declining = d_.stoptime >= 0 && t0 >= d_.stoptime;
        for (std::size_t s = 0; s < d_.series.size(); ++s) {
            Tseriesderived& x = d_.series[s];
            const double a = s0_[s], b = s1_[s], fa = f0_[s], fb = f1_[s];
            auto at = [&](double t) { return hermite(t0, t1, a, b, fa, fb, t); };
            // The largest value within the step: an end, or where the slope
            // turns from rising to falling.
            double top = b, toptime = t1;
            if (fa > 0 && fb < 0) {
                const double tm = turningpoint(t0, t1, a, b, fa, fb);
                if (at(tm) > top) {
                    top = at(tm);
                    toptime = tm;
                }
            }
            if (top > x.peakmass) {
                x.peakmass = top;
                x.peaktime = toptime;
            }
            if (approaching) {
                const double way = x.target - x.start;
                if (std::fabs(way) > 1e-9 * std::max(std::fabs(x.target), std::fabs(x.start)))
                    for (int j = 0; j < 3; ++j) {
                        if (x.approach[j] >= 0) continue;
                        const double level = x.start + approachlevels[j] * way;
                        if ((b - level) * way >= 0)
                            x.approach[j] = crossing(t0, t1, at, level, way > 0);
                    }
            }
            if (declining && x.halftime < 0) {
                if (a > declinepeak_[s]) {
                    declinepeak_[s] = a;
                    declinetime_[s] = t0;
                }
                if (top > declinepeak_[s]) {
                    declinepeak_[s] = top;
                    declinetime_[s] = toptime;
                }
                const double half = 0.5 * declinepeak_[s];
                if (declinepeak_[s] > 0 && b <= half) {
                    const double from = std::max(t0, declinetime_[s]);
                    x.halftime = crossing(from, t1, at, half, false) - declinetime_[s];
                }
            }
        }
    }

private:
    struct Tmember {
        std::uint32_t world, compartment, region, regcomp;
    };

    void sum(const std::vector<double>& x, std::vector<double>& s) const {
        std::fill(s.begin(), s.end(), 0.0);
        for (std::size_t i = 0; i < members_.size(); ++i) {
            const Tmember& g = members_[i];
            s[g.world] += x[i];
            s[g.compartment] += x[i];
            s[g.region] += x[i];
            s[g.regcomp] += x[i];
        }
    }

    // Where the cubic's slope is zero between a rise at t0 and a fall at t1.
    static double turningpoint(double t0, double t1, double a, double b, double fa, double fb) {
        double lo = t0, hi = t1;
        for (int k = 0; k < 60 && hi - lo > 1e-12 * (t1 - t0); ++k) {
            const double mid = 0.5 * (lo + hi);
            if (hermiteslope(t0, t1, a, b, fa, fb, mid) > 0)
                lo = mid;
            else
                hi = mid;
        }
        return 0.5 * (lo + hi);
    }

    // The first time in [t0, t1] the cubic reaches level, rising or falling,
    // by bisection; the end of the step at the latest.
    template <typename F>
    static double crossing(double t0, double t1, const F& at, double level, bool rising) {
        auto reached = [&](double t) { return rising ? at(t) >= level : at(t) <= level; };
        if (reached(t0)) return t0;
        double lo = t0, hi = t1;
        for (int k = 0; k < 60 && hi - lo > 1e-12 * (t1 - t0); ++k) {
            const double mid = 0.5 * (lo + hi);
            if (reached(mid))
                hi = mid;
            else
                lo = mid;
        }
        return hi;
    }

    Tdynamicderived& d_;
    std::vector<Tmember> members_;
    std::vector<double> s0_, s1_, f0_, f1_;
    std::vector<double> declinepeak_, declinetime_;
};

} // namespace

double Tdynamicoutput::relativeimbalance() const {
    const double scale = std::max({initial + ledger.emitted, present, 1e-300});
    return std::fabs(imbalance()) / scale;
}

Tdynamicresult rundynamic(Tmodel& m, const Tdynamicsettings& settings,
                          const Tdynamiccallbacks& callbacks) {
    const auto started = std::chrono::steady_clock::now();
    requirecalculated(m);
    checksettings(m, settings);
    const Tunknowns u = unknownsof(m);
    const Tlinearode ode = buildode(m, u);
    const std::size_t n = u.regcomp.size();
    const Tsteadystate steady(m, ode, u);

    std::vector<double> m0(n, 0.0);
    if (!settings.startfrom.empty()) {
        std::vector<double> e(n, 0.0);
        for (const Tboxemission& b : settings.startfrom)
            e[std::size_t(u.unknownof[b.regcomp])] += b.rate;
        m0 = steady.of(e);
    }
    std::vector<Tforcing> forcing;
    for (const Temissionpiece& p : settings.emissions)
        forcing.push_back({u.unknownof[p.regcomp], p.from, p.to, p.ratefrom, p.rateto});

    Tintegratorsettings is;
    is.tolerance = settings.tolerance;
    Tintegrator integrator(ode, forcing, m0, 0.0, is);
    integrator.unknownname = [&](std::int32_t j) {
        return m.regcomps.regcompname(u.regcomp[std::size_t(j)]);
    };

    Tdynamicresult result;
    Tdynamicderived& d = result.derived;
    // The emission at the start is constant until the first time any piece
    // starts or ends; only then does its steady state say how far the run is.
    std::vector<double> e0;
    integrator.forcingat(0.0, e0);
    bool constant = true, emitting = false;
    double firstbreak = settings.until, lastemission = 0;
    for (const Temissionpiece& p : settings.emissions) {
        if (p.from <= 0 && 0 < p.to && p.ratefrom != p.rateto) constant = false;
        if (p.from > 0) firstbreak = std::min(firstbreak, p.from);
        firstbreak = std::min(firstbreak, p.to);
        if (p.ratefrom > 0 || p.rateto > 0) lastemission = std::max(lastemission, p.to);
    }
    for (double x : e0)
        emitting = emitting || x > 0;
    d.approachknown = constant && emitting;
    d.constantuntil = firstbreak;
    d.stoptime = lastemission < settings.until ? lastemission : -1;
    std::vector<double> target;
    if (d.approachknown) target = steady.of(e0);
    Tseriestracker tracker(m, u, d, m0, d.approachknown ? &target : nullptr);

    const double initial = std::accumulate(m0.begin(), m0.end(), 0.0);
    auto onstep = [&](const Tstep& st) {
        tracker.step(st);
        if (callbacks.progress) callbacks.progress(st.t1, settings.until);
        if (callbacks.cancelled && callbacks.cancelled()) {
            result.cancelled = true;
            return false;
        }
        return true;
    };
    auto onoutput = [&](double t, const std::vector<double>& mass, const Tledger& ledger) {
        Tdynamicoutput out;
        out.time = t;
        out.mass.assign(m.regcomps.n, 0.0);
        for (std::size_t j = 0; j < n; ++j) {
            out.mass[u.regcomp[j] - 1] = mass[j];
            out.present += mass[j];
        }
        out.ledger = ledger;
        out.initial = initial;
        result.outputs.push_back(std::move(out));
        return true;
    };
    integrator.run(settings.until, settings.times, onoutput, onstep);
    result.stats = integrator.stats();
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

std::vector<double> compartmenttotals(const Tmodel& m, const std::vector<double>& mass) {
    std::vector<double> t(ncompartments + 1, 0.0);
    for (std::uint32_t k = 1; k <= m.regcomps.n && k <= mass.size(); ++k)
        t[m.regcomps.compartmentof(k)] += mass[k - 1];
    return t;
}

std::vector<double> regiontotals(const Tmodel& m, const std::vector<double>& mass) {
    std::vector<double> t(std::size_t(m.regions.count) + 1, 0.0);
    for (std::uint32_t k = 1; k <= m.regcomps.n && k <= mass.size(); ++k)
        t[m.regcomps.regionof(k)] += mass[k - 1];
    return t;
}

std::vector<double> concentrations(const Tmodel& m, const std::vector<double>& mass) {
    std::vector<double> c(mass.size(), 0.0);
    for (std::uint32_t k = 1; k <= m.regcomps.n && k <= mass.size(); ++k) {
        const double v = m.regcomps.V.value(k);
        if (v > 0) c[k - 1] = mass[k - 1] / v;
    }
    return c;
}

std::string seriesname(const Tmodel& m, const Tseriesderived& s) {
    switch (s.group) {
    case Tseriesgroup::world:
        return "World";
    case Tseriesgroup::compartment:
        return m.compartments.name(s.index);
    case Tseriesgroup::region:
        return m.regions.name(s.index);
    case Tseriesgroup::regcomp:
        return m.regcomps.regcompname(s.index);
    }
    return {};
}

} // namespace velmora
