#include "numeric/inversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "numeric/errors.h"
#include "numeric/sparselu.h"
#include "numeric/uiservice.h"

namespace velmora {

namespace {

const char* const nonsquare = "Non-square matrix";
const char* const incompatible = "Arrays of incompatible dimension";

extended roundto(extended x, std::uint8_t precision) {
    switch (precision) {
    case precsingle:
        return static_cast<float>(x);
    case precdouble:
        return static_cast<double>(x);
    default:
        return x;
    }
}

bool isdensesingle(const Tnummatrix& a) {
    return a.storage() == dense && a.precision() == precsingle;
}

// Calls f(row, column, value) (1-based) for every non-zero cell of a. A
// dense single-precision table is scanned directly, sixteen cells at a time,
// because the system matrix is almost all zeros and the per-cell loop of
// foreachnonzero would dominate a sparse solve.
template <typename F> void foreachentry(const Tnummatrix& a, F&& f) {
    if (!isdensesingle(a)) {
        a.foreachnonzero(f);
        return;
    }
    const float* table = a.singletable();
    const std::size_t stride = a.colcapacity();
    const std::uint32_t rows = a.rows(), cols = a.cols();
    for (std::uint32_t r = 0; r < rows; ++r) {
        const float* row = table + std::size_t(r) * stride;
        std::uint32_t c = 0;
        for (; c + 16 <= cols; c += 16) {
            std::uint64_t bits = 0;
            for (int k = 0; k < 16; k += 2) {
                std::uint64_t pair;
                std::memcpy(&pair, row + c + k, sizeof pair);
                bits |= pair;
            }
            // -0 is zero too: ignore the sign bits.
            if ((bits & 0x7fffffff7fffffffull) == 0) continue;
            for (std::uint32_t k = c; k < c + 16; ++k)
                if (row[k] != 0) f(r + 1, k + 1, extended(row[k]));
        }
        for (; c < cols; ++c)
            if (row[c] != 0) f(r + 1, c + 1, extended(row[c]));
    }
}

// The non-zero cells of a matrix, gathered once: which rows and columns are
// used and, unless there are too many to be worth a list, the cells
// themselves with their indices in the kept (reduced) numbering.
struct Tentries {
    std::uint32_t rows = 0, cols = 0;
    std::vector<char> rowused, colused; // 0-based
    std::uint64_t nonzeros = 0;
    bool listed = true;
    std::vector<std::int32_t> r, c; // 0-based, original numbering until renumbered
    std::vector<extended> v;
    // Kept rows and columns (0-based original numbers) and the reverse maps.
    std::vector<std::int32_t> keptrows, keptcols, rowpos, colpos;

    std::uint32_t n() const { return std::uint32_t(keptrows.size()); }
};

void gather(const Tnummatrix& a, bool removeempty, Tentries& e) {
    e.rows = a.rows();
    e.cols = a.cols();
    e.rowused.assign(e.rows, 0);
    e.colused.assign(e.cols, 0);
    const std::uint64_t cap = std::max<std::uint64_t>(65536, 64ull * (e.rows + e.cols));
    foreachentry(a, [&](std::uint32_t r, std::uint32_t c, extended x) {
        e.rowused[r - 1] = 1;
        e.colused[c - 1] = 1;
        ++e.nonzeros;
        if (!e.listed) return;
        if (e.nonzeros > cap) {
            e.listed = false;
            std::vector<std::int32_t>().swap(e.r);
            std::vector<std::int32_t>().swap(e.c);
            std::vector<extended>().swap(e.v);
            return;
        }
        e.r.push_back(std::int32_t(r - 1));
        e.c.push_back(std::int32_t(c - 1));
        e.v.push_back(x);
    });
    e.rowpos.assign(e.rows, -1);
    e.colpos.assign(e.cols, -1);
    for (std::uint32_t i = 0; i < e.rows; ++i)
        if (!removeempty || e.rowused[i]) {
            e.rowpos[i] = std::int32_t(e.keptrows.size());
            e.keptrows.push_back(std::int32_t(i));
        }
    for (std::uint32_t j = 0; j < e.cols; ++j)
        if (!removeempty || e.colused[j]) {
            e.colpos[j] = std::int32_t(e.keptcols.size());
            e.keptcols.push_back(std::int32_t(j));
        }
    // Removal keeps every non-zero cell, so the list renumbers one to one.
    for (std::size_t k = 0; k < e.r.size(); ++k) {
        e.r[k] = e.rowpos[e.r[k]];
        e.c[k] = e.colpos[e.c[k]];
    }
}

// Calls f(i, j, value) for every non-zero cell in the kept numbering (0-based).
template <typename F> void forkept(const Tnummatrix& a, const Tentries& e, F&& f) {
    if (e.listed) {
        for (std::size_t k = 0; k < e.r.size(); ++k)
            f(e.r[k], e.c[k], e.v[k]);
        return;
    }
    foreachentry(a, [&](std::uint32_t r, std::uint32_t c, extended x) {
        f(e.rowpos[r - 1], e.colpos[c - 1], x);
    });
}

// Column scale factors of the kept matrix, in single precision. Scaling 1:
// the standard deviation of the column over all n rows (zeros included),
// scaling 2: its largest magnitude; 1 where that is 0. The solver sums in
// single precision, the inverter in extended.
template <typename Sum>
std::vector<float> columnscales(const Tnummatrix& a, const Tentries& e, std::uint8_t scaling) {
    const std::uint32_t n = e.n();
    std::vector<float> scale(n, 1.0f);
    if (scaling == 0 || n == 0) return scale;
    if (scaling == 2) {
        std::vector<extended> largest(n, 0);
        forkept(a, e, [&](std::int32_t, std::int32_t j, extended x) {
            largest[j] = std::max(largest[j], std::fabs(x));
        });
        for (std::uint32_t j = 0; j < n; ++j)
            if (largest[j] != 0) scale[j] = static_cast<float>(largest[j]);
        return scale;
    }
    std::vector<Sum> sum(n, 0), spread(n, 0);
    std::vector<std::uint32_t> count(n, 0);
    forkept(a, e, [&](std::int32_t, std::int32_t j, extended x) {
        sum[j] = Sum(sum[j] + Sum(x));
        ++count[j];
    });
    std::vector<Sum> mean(n);
    for (std::uint32_t j = 0; j < n; ++j)
        mean[j] = Sum(sum[j] / Sum(n));
    forkept(a, e, [&](std::int32_t, std::int32_t j, extended x) {
        Sum d = Sum(Sum(x) - mean[j]);
        spread[j] = Sum(spread[j] + d * d);
    });
    for (std::uint32_t j = 0; j < n; ++j) {
        // The zero cells of the column each add mean^2.
        Sum s = Sum(spread[j] + Sum(n - count[j]) * mean[j] * mean[j]);
        if (s > 0) scale[j] = static_cast<float>(std::sqrt(extended(s) / extended(n)));
    }
    return scale;
}

// The dense LU decomposition at working precision T on a row-major n x n
// table. Rows are never moved; q records the pivot row of each position.
template <typename T> struct Tdenselu {
    explicit Tdenselu(std::uint32_t order)
        : n(order), w(std::size_t(order) * order, T(0)), q(order), s(order, T(0)) {}

    T* row(std::uint32_t i) { return w.data() + std::size_t(i) * n; }
    const T* row(std::uint32_t i) const { return w.data() + std::size_t(i) * n; }

    // Returns the determinant, 0 when the decomposition found the matrix singular.
    extended decompose() {
        for (std::uint32_t i = 0; i < n; ++i) {
            q[i] = i;
            T m = 0;
            const T* ri = row(i);
            for (std::uint32_t j = 0; j < n; ++j) {
                T x = ri[j] < 0 ? T(-ri[j]) : ri[j];
                if (x > m) m = x;
            }
            if (m == 0) return 0;
            s[i] = T(1 / extended(m));
        }
        int sign = 1;
        for (std::uint32_t j = 0; j + 1 < n; ++j) {
            std::uint32_t p = j;
            extended big = std::fabs(extended(row(q[j])[j])) * extended(s[q[j]]);
            for (std::uint32_t k = j + 1; k < n; ++k) {
                extended t = std::fabs(extended(row(q[k])[j])) * extended(s[q[k]]);
                if (t > big) {
                    big = t;
                    p = k;
                }
            }
            // Only an undefined maximum fails this; a zero pivot column goes
            // on and leaves an undefined or zero determinant.
            if (!(big >= extended(j) * 0)) return 0;
            if (p != j) {
                std::swap(q[p], q[j]);
                sign = -sign;
            }
            const T* rr = row(q[j]);
            const extended u = rr[j];
            for (std::uint32_t k = j + 1; k < n; ++k) {
                T* rt = row(q[k]);
                T d = T(extended(rt[j]) / u);
                rt[j] = d;
                if (d != 0) {
                    const extended md = -extended(d);
                    for (std::uint32_t c = j + 1; c < n; ++c)
                        rt[c] = T(extended(rt[c]) + extended(rr[c]) * md);
                }
            }
        }
        extended logsum = 0;
        std::uint32_t negatives = 0;
        for (std::uint32_t j = 0; j < n; ++j) {
            extended u = row(q[j])[j];
            if (u < 0) ++negatives;
            logsum += std::log2(std::fabs(u));
        }
        extended magnitude = std::exp2(logsum);
        return (negatives % 2 ? -sign : sign) * magnitude;
    }

    // Sum of safeproduct(x(c), W(r, c)) over c in [from, to), in extended,
    // rounded to single precision.
    template <typename X>
    extended dot(std::uint32_t r, std::uint32_t from, std::uint32_t to, const X* x) const {
        const T* rr = row(r);
        extended sum = 0;
        for (std::uint32_t c = from; c < to; ++c)
            sum += safeproduct(x[c], rr[c]);
        return static_cast<float>(sum);
    }

    // x = solution for right-hand side b (both n long). X is the precision
    // the unknowns are held in between the steps: the working precision for
    // an inverse, single for a solve's result vector.
    template <typename X> void substitute(const T* b, X* x) const {
        if (n == 0) return;
        // Before the first non-zero every product is exactly 0, so the
        // forward sums start there; for a unit vector that skips most work.
        std::uint32_t first = n;
        for (std::uint32_t i = 0; i < n; ++i) {
            extended d = first < i ? dot(q[i], first, i, x) : 0;
            x[i] = X(extended(b[q[i]]) - d);
            if (first == n && x[i] != 0) first = i;
        }
        x[n - 1] = X(extended(x[n - 1]) / extended(row(q[n - 1])[n - 1]));
        for (std::uint32_t i = n - 1; i-- > 0;) {
            extended d = dot(q[i], i + 1, n, x);
            x[i] = X((extended(x[i]) - d) / extended(row(q[i])[i]));
        }
    }

    std::uint32_t n;
    std::vector<T> w;
    std::vector<std::uint32_t> q;
    std::vector<T> s;
};

bool regular(extended determinant) {
    return determinant < 0 || determinant > 0;
}

Tsparsecolumns sparsecopy(const Tnummatrix& a, const Tentries& e, const std::vector<float>& scale,
                          bool multiply) {
    std::vector<std::int32_t> r, c;
    std::vector<double> v;
    r.reserve(e.nonzeros);
    c.reserve(e.nonzeros);
    v.reserve(e.nonzeros);
    forkept(a, e, [&](std::int32_t i, std::int32_t j, extended x) {
        r.push_back(i);
        c.push_back(j);
        extended s = scale[j];
        v.push_back(static_cast<double>(s == 1 ? x : multiply ? x * (1 / s) : x / s));
    });
    return Tsparsecolumns::fromtriplets(std::int32_t(e.n()), r, c, v);
}

// Runs f with a Tdenselu of the type that the working precision names.
template <typename F> void withprecision(std::uint8_t precision, F&& f) {
    switch (precision) {
    case precsingle:
        f(float());
        break;
    case precdouble:
        f(double());
        break;
    default:
        f(extended());
        break;
    }
}

std::uint8_t effectiveprecision(std::uint8_t p) {
    return p == 0 ? std::uint8_t(precextended) : p;
}

} // namespace

Tsolvemethod choosemethod(std::uint32_t n, std::uint64_t nonzeros) {
    if (n >= sparseminorder && nonzeros * sparsemaxdensity <= std::uint64_t(n) * n)
        return Tsolvemethod::sparse;
    return Tsolvemethod::dense;
}

extended safeproduct(extended a, extended m) {
    if (a == 0 || m == 0) return 0;
    // |a| <= 1e-74 / |m| without the division, which would dominate the
    // substitutions.
    if (std::fabs(m) <= 1 && std::fabs(a * m) <= 1e-74L) return 0;
    return a * m;
}

// ---------------------------------------------------------------- options

void Tsolveoptions::checknotdone() const {
    if (done) throw ENotExecuted("Clear method not executed");
}

void Tsolveoptions::setscaling(std::uint8_t s) {
    if (s > 2) throw EInvalidArgument();
    checknotdone();
    scaling = s;
}

void Tsolveoptions::setremoveempty(bool b) {
    checknotdone();
    removeempty = b;
}

void Tsolveoptions::setworkprecision(std::uint8_t p) {
    if (p > 3) throw EInvalidArgument();
    checknotdone();
    workprecision = p;
}

void Tsolveoptions::setmethod(Tsolvemethod m) {
    if (m != Tsolvemethod::automatic && m != Tsolvemethod::dense && m != Tsolvemethod::sparse)
        throw EInvalidArgument();
    checknotdone();
    method = m;
}

void Tsolveoptions::setthreads(unsigned n) {
    checknotdone();
    threads = n;
}

// ---------------------------------------------------------------- inversion

void Tinvertmatrix::setstopcheck(Tuiservice& ui) {
    options_.setstopcheck([&ui] { return ui.stoprequested(); });
}

bool Tinvertmatrix::invert(const Tnummatrix& a) {
    Tentries e;
    gather(a, options_.removeempty, e);
    const std::uint32_t n = std::uint32_t(e.keptrows.size());
    status_ = Tsolvestatus{0, 0, n, std::uint32_t(e.keptcols.size())};
    if (e.keptrows.size() != e.keptcols.size()) throw EInvalidArgument(nonsquare);
    // The inverse maps equations to unknowns: its rows belong to a's
    // columns and its columns to a's rows.
    fullrows_ = e.cols;
    fullcols_ = e.rows;
    resultrows_ = e.keptcols;
    resultcols_ = e.keptrows;
    result_.clear();
    result_.setcapacity(n, n);
    stopped_ = false;

    Tsolvemethod method = options_.method;
    if (method == Tsolvemethod::automatic) method = choosemethod(n, e.nonzeros);
    used_ = method;
    const std::vector<float> scale = columnscales<extended>(a, e, options_.scaling);
    bool ok = true;

    if (method == Tsolvemethod::sparse) {
        Tsparselu lu;
        ok = lu.factorise(sparsecopy(a, e, scale, false));
        if (ok) {
            result_.reset(n, n);
            std::vector<double> factor(n);
            std::vector<std::int32_t> identity(n);
            for (std::uint32_t j = 0; j < n; ++j) {
                factor[j] = 1.0 / double(scale[j]);
                identity[j] = std::int32_t(j);
            }
            Tinversetarget target;
            target.table = result_.singletable();
            target.stride = result_.colcapacity();
            target.rowof = identity.data();
            target.colof = identity.data();
            target.rowfactor = options_.scaling ? factor.data() : nullptr;
            stopped_ = lu.invert(target, options_.threads, options_.stopcheck) < std::int32_t(n);
        }
    } else {
        withprecision(effectiveprecision(options_.workprecision), [&](auto type) {
            using T = decltype(type);
            Tdenselu<T> lu(n);
            // With scaling the matrix passes through a copy of entry / scale
            // at its own precision before it reaches the working matrix, as
            // in a solve: a single-precision copy of a double-precision
            // matrix would lose what its precision was chosen to keep.
            forkept(a, e, [&](std::int32_t i, std::int32_t j, extended x) {
                if (options_.scaling) x = roundto(x / extended(scale[j]), a.precision());
                lu.row(std::uint32_t(i))[j] = T(x);
            });
            if (!regular(lu.decompose())) {
                ok = false;
                return;
            }
            result_.reset(n, n);
            float* table = result_.singletable();
            const std::size_t stride = result_.colcapacity();
            std::vector<T> unit(n, T(0)), x(n);
            for (std::uint32_t j = 0; j < n; ++j) {
                unit[j] = 1;
                lu.substitute(unit.data(), x.data());
                unit[j] = 0;
                for (std::uint32_t i = 0; i < n; ++i) {
                    float value = static_cast<float>(x[i]);
                    if (options_.scaling && scale[i] != 1)
                        value = static_cast<float>(extended(value) * (1 / extended(scale[i])));
                    table[i * stride + j] = value;
                }
                if (options_.stopcheck && options_.stopcheck()) {
                    stopped_ = j + 1 < n;
                    break;
                }
            }
        });
    }
    status_.singular = ok ? 0 : 1;
    // A partly computed inverse reads 0 where it was not reached; handing it
    // out as a result would give concentrations that look plausible and are
    // wrong, so a stopped run has no result.
    if (stopped_) {
        result_.clear();
        ok = false;
    }
    options_.done = ok;
    return ok;
}

void Tinvertmatrix::getresult(Tnummatrix& m) const {
    if (!options_.done) throw ENotExecuted("Prior method not executed");
    if (!options_.removeempty) {
        copymatrix(result_, m);
        return;
    }
    // Rows and columns that were removed read 0.
    m.reset(fullrows_, fullcols_);
    const std::uint32_t n = result_.rows();
    const float* from = result_.singletable();
    const std::size_t stride = result_.colcapacity();
    if (isdensesingle(m)) {
        float* to = m.singletable();
        const std::size_t tostride = m.colcapacity();
        for (std::uint32_t i = 0; i < n; ++i) {
            float* row = to + std::size_t(resultrows_[i]) * tostride;
            for (std::uint32_t j = 0; j < n; ++j)
                row[resultcols_[j]] = from[i * stride + j];
        }
        return;
    }
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = 0; j < n; ++j) {
            float x = from[i * stride + j];
            if (x != 0)
                m.setvalue(std::uint32_t(resultrows_[i]) + 1, std::uint32_t(resultcols_[j]) + 1, x);
        }
}

// ---------------------------------------------------------------- solving

bool Tsolveequations::solve(const Tnummatrix& a, const Tnumvector& b) {
    Tentries e;
    gather(a, options_.removeempty, e);
    const std::uint32_t n = std::uint32_t(e.keptrows.size());
    status_ = Tsolvestatus{0, 0, n, std::uint32_t(e.keptcols.size())};
    if (e.keptrows.size() != e.keptcols.size()) throw EInvalidArgument(nonsquare);
    if (!options_.removeempty) {
        if (b.count() != a.rows()) throw EInvalidArgument(incompatible);
        if (!a.expandable() && a.rowcapacity() < b.count()) throw ERangeError();
    }
    // The right-hand side of the kept equations (a checked read, so a short
    // b raises a range error).
    std::vector<extended> rhs(n);
    for (std::uint32_t i = 0; i < n; ++i)
        rhs[i] = b.getvalue(std::uint32_t(e.keptrows[i]) + 1);
    result_.clear();

    Tsolvemethod method = options_.method;
    if (method == Tsolvemethod::automatic) method = choosemethod(n, e.nonzeros);
    used_ = method;
    const std::vector<float> scale = columnscales<float>(a, e, options_.scaling);
    const std::uint8_t precision = effectiveprecision(options_.workprecision);
    std::vector<extended> x(n);
    bool ok = true;

    if (method == Tsolvemethod::sparse) {
        Tsparsecolumns m = sparsecopy(a, e, scale, true);
        Tsparselu lu;
        ok = lu.factorise(m);
        if (ok) {
            std::vector<double> y(n), work(n);
            for (std::uint32_t i = 0; i < n; ++i)
                y[i] = static_cast<double>(rhs[i]);
            lu.solve(y.data(), work.data());
            if (precision == precextended) {
                // One refinement step: the residual in extended precision
                // recovers most of what double loses on an ill-conditioned system.
                std::vector<extended> residual(rhs);
                for (std::int32_t j = 0; j < m.n; ++j)
                    for (std::int32_t p = m.colstart[j]; p < m.colstart[j + 1]; ++p)
                        residual[m.rowindex[p]] -= extended(m.values[p]) * extended(y[j]);
                std::vector<double> correction(n);
                for (std::uint32_t i = 0; i < n; ++i)
                    correction[i] = static_cast<double>(residual[i]);
                lu.solve(correction.data(), work.data());
                for (std::uint32_t i = 0; i < n; ++i)
                    x[i] = extended(y[i]) + extended(correction[i]);
            } else {
                for (std::uint32_t i = 0; i < n; ++i)
                    x[i] = y[i];
            }
            for (std::uint32_t j = 0; j < n; ++j)
                if (scale[j] != 1) x[j] = x[j] * (1 / extended(scale[j]));
        }
    } else {
        withprecision(precision, [&](auto type) {
            using T = decltype(type);
            Tdenselu<T> lu(n);
            // The scaled copy keeps a's own precision.
            forkept(a, e, [&](std::int32_t i, std::int32_t j, extended v) {
                if (scale[j] != 1) v = roundto(v * (1 / extended(scale[j])), a.precision());
                lu.row(std::uint32_t(i))[j] = T(v);
            });
            if (!regular(lu.decompose())) {
                ok = false;
                return;
            }
            // The unknowns live in the single-precision result vector
            // throughout the substitution, before they are unscaled.
            std::vector<T> bt(n);
            std::vector<float> xt(n);
            for (std::uint32_t i = 0; i < n; ++i)
                bt[i] = T(rhs[i]);
            lu.substitute(bt.data(), xt.data());
            for (std::uint32_t j = 0; j < n; ++j) {
                extended v = xt[j];
                if (scale[j] != 1) v = v * (1 / extended(scale[j]));
                x[j] = v;
            }
        });
    }
    status_.singular = ok ? 0 : 1;
    if (ok) {
        // Unknowns of removed columns read 0.
        result_.setcapacity(std::max(result_.capacity(), e.cols));
        result_.reset(e.cols);
        for (std::uint32_t j = 0; j < n; ++j)
            result_.setvalue_nocheck(std::uint32_t(e.keptcols[j]) + 1, x[j]);
    }
    options_.done = ok;
    return ok;
}

void Tsolveequations::getresult(Tnumvector& v) const {
    if (!options_.done) throw ENotExecuted("Prior method not executed");
    copyvector(result_, v);
}

// ---------------------------------------------------------------- LU pieces

extended ludecompose(const Tnummatrix& a, Tnummatrix& w, Tintvector& q) {
    if (a.rows() != a.cols()) throw EInvalidArgument(nonsquare);
    const std::uint32_t n = a.rows();
    q.reset(n);
    w.reset(n, n);
    extended determinant = 0;
    withprecision(w.precision(), [&](auto type) {
        using T = decltype(type);
        Tdenselu<T> lu(n);
        a.foreachnonzero(
            [&](std::uint32_t r, std::uint32_t c, extended x) { lu.row(r - 1)[c - 1] = T(x); });
        determinant = lu.decompose();
        for (std::uint32_t i = 0; i < n; ++i) {
            q.setvalue(i + 1, std::int32_t(lu.q[i]) + 1);
            for (std::uint32_t j = 0; j < n; ++j)
                w.setvalue(i + 1, j + 1, lu.row(i)[j]);
        }
    });
    return determinant;
}

void lusubstitute(const Tnummatrix& w, const Tintvector& q, const Tnumvector& b, Tnumvector& x) {
    if (w.rows() != w.cols()) throw EInvalidArgument(nonsquare);
    const std::uint32_t n = w.rows();
    if (q.count() != n || b.count() != n) throw EInvalidArgument(incompatible);
    withprecision(w.precision(), [&](auto type) {
        using T = decltype(type);
        Tdenselu<T> lu(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            lu.q[i] = std::uint32_t(q.getvalue(i + 1) - 1);
            for (std::uint32_t j = 0; j < n; ++j)
                lu.row(i)[j] = T(w.getvalue_nocheck(i + 1, j + 1));
        }
        std::vector<T> bt(n), xt(n);
        for (std::uint32_t i = 0; i < n; ++i)
            bt[i] = T(b.getvalue(i + 1));
        lu.substitute(bt.data(), xt.data());
        x.reset(n);
        for (std::uint32_t i = 0; i < n; ++i)
            x.setvalue(i + 1, xt[i]);
    });
}

// ---------------------------------------------------------------- library

void copymatrix(const Tnummatrix& s, Tnummatrix& d) {
    if (&s == &d) return;
    d.reset(s.rows(), s.cols());
    if (isdensesingle(s) && isdensesingle(d)) {
        const float* from = s.singletable();
        float* to = d.singletable();
        const std::size_t fs = s.colcapacity(), ts = d.colcapacity();
        for (std::uint32_t i = 0; i < s.rows(); ++i)
            std::memcpy(to + i * ts, from + i * fs, sizeof(float) * s.cols());
        return;
    }
    for (std::uint32_t i = 1; i <= s.rows(); ++i)
        for (std::uint32_t j = 1; j <= s.cols(); ++j)
            d.setvalue(i, j, s.getvalue(i, j));
}

void copyvector(const Tnumvector& s, Tnumvector& d) {
    if (&s == &d) return;
    d.reset(s.count());
    for (std::uint32_t i = 1; i <= s.count(); ++i)
        d.setvalue(i, s.getvalue(i));
}

namespace {

// The non-zero cells of a matrix by row, columns increasing within a row.
struct Trowlists {
    std::vector<std::uint32_t> start; // rows + 1 entries, 0-based positions
    std::vector<std::uint32_t> col;   // 1-based columns
    std::vector<extended> value;
};

Trowlists rowlists(const Tnummatrix& a) {
    std::vector<std::uint32_t> r, c;
    std::vector<extended> v;
    foreachentry(a, [&](std::uint32_t i, std::uint32_t j, extended x) {
        r.push_back(i);
        c.push_back(j);
        v.push_back(x);
    });
    Trowlists l;
    const std::uint32_t rows = a.rows();
    l.start.assign(std::size_t(rows) + 1, 0);
    for (std::uint32_t i : r)
        ++l.start[i];
    for (std::uint32_t i = 0; i < rows; ++i)
        l.start[i + 1] += l.start[i];
    // Stable placement keeps the scan order; sparse kinds list in item
    // order, so sort each row by column afterwards.
    std::vector<std::uint32_t> next(l.start.begin(), l.start.end() - 1);
    l.col.resize(r.size());
    l.value.resize(r.size());
    for (std::size_t k = 0; k < r.size(); ++k) {
        std::uint32_t p = next[r[k] - 1]++;
        l.col[p] = c[k];
        l.value[p] = v[k];
    }
    if (a.storage() != dense) {
        std::vector<std::pair<std::uint32_t, extended>> tmp;
        for (std::uint32_t i = 0; i < rows; ++i) {
            tmp.clear();
            for (std::uint32_t p = l.start[i]; p < l.start[i + 1]; ++p)
                tmp.emplace_back(l.col[p], l.value[p]);
            std::sort(tmp.begin(), tmp.end(),
                      [](const auto& x, const auto& y) { return x.first < y.first; });
            for (std::uint32_t p = l.start[i]; p < l.start[i + 1]; ++p) {
                l.col[p] = tmp[p - l.start[i]].first;
                l.value[p] = tmp[p - l.start[i]].second;
            }
        }
    }
    return l;
}

// True when at most one cell in sixteen of a dense single-precision table
// holds a value: a table that only looks dense (the route factors of every
// regcomp) is then multiplied through its lists of non-zeros, which costs a
// fraction of running along its rows. The count stops as soon as it is
// exceeded, so a truly dense table costs a sixteenth of a sweep.
bool mostlyzero(const Tnummatrix& b) {
    const std::uint64_t limit = std::uint64_t(b.rows()) * b.cols() / 16;
    const float* table = b.singletable();
    const std::size_t stride = b.colcapacity();
    const std::uint32_t cols = b.cols();
    std::uint64_t count = 0;
    for (std::uint32_t r = 0; r < b.rows(); ++r) {
        const float* row = table + std::size_t(r) * stride;
        std::uint32_t n = 0;
        for (std::uint32_t j = 0; j < cols; ++j)
            n += row[j] != 0.0f;
        count += n;
        if (count > limit) return false;
    }
    return true;
}

// Adds, for the items p0..p1 of one row of a sparse left factor, value[p]
// times row col[p] of the table, columns j0..j0 + w, to s (cleared first).
// The machine's wider vector units are used where it has them; products are
// added one by one in item order, as on any machine, so the sums do not
// depend on which version runs.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
addrowtile(double* __restrict s, const std::uint32_t* col, const double* value, std::uint32_t p0,
           std::uint32_t p1, const float* table, std::size_t stride, std::uint32_t j0,
           std::uint32_t w) {
    for (std::uint32_t j = 0; j < w; ++j)
        s[j] = 0;
    std::uint32_t p = p0;
    if (w == 64) {
        // A whole tile: with the width known the sums stay in registers.
        double t[64] = {};
        for (; p < p1 && std::isfinite(value[p]); ++p) {
            const float* __restrict row = table + std::size_t(col[p] - 1) * stride + j0;
            const double x = value[p];
            for (std::uint32_t j = 0; j < 64; ++j)
                t[j] += x * static_cast<double>(row[j]);
        }
        for (std::uint32_t j = 0; j < 64; ++j)
            s[j] = t[j];
    }
    for (; p < p1; ++p) {
        const float* __restrict row = table + std::size_t(col[p] - 1) * stride + j0;
        const double x = value[p];
        // Only products of two stored values count. With a finite factor a
        // zero cell adds 0 anyway, and the loop vectorises; an infinite one
        // must skip the zeros.
        if (std::isfinite(x)) {
            for (std::uint32_t j = 0; j < w; ++j)
                s[j] += x * static_cast<double>(row[j]);
        } else {
            for (std::uint32_t j = 0; j < w; ++j)
                if (row[j] != 0.0f) s[j] += x * static_cast<double>(row[j]);
        }
    }
}

// c = a * b for a sparse left factor (its row lists la) and a dense
// single-precision b that is not mostly zero (the exposure factors times the
// fate factors). Each stored a(i, k) adds a multiple of row k of b. Going
// along whole rows of b would read b once per item of a, several gigabytes
// for the world's XF*FF; the result is made in tiles of 64 columns instead,
// so that the tile of b (64 floats of every row) stays in the core's cache
// while every row of the result passes over it. The sums run in double
// precision (extended precision would take seconds for a result stored in
// single precision anyway), over k in increasing order. Tiles are shared out
// over the cores when the result is a dense single-precision table that each
// thread can write its own columns of.
void densemul(const Trowlists& la, const Tnummatrix& b, Tnummatrix& c) {
    const std::uint32_t rows = static_cast<std::uint32_t>(la.start.size() - 1);
    const std::uint32_t cols = b.cols();
    const float* table = b.singletable();
    const std::size_t stride = b.colcapacity();
    c.reset(rows, cols);
    if (rows == 0 || cols == 0) return;
    std::vector<double> value(la.value.begin(), la.value.end());
    constexpr std::uint32_t width = 64;
    const std::uint32_t tiles = (cols + width - 1) / width;
    const bool direct = isdensesingle(c);
    float* ctable = direct ? c.singletable() : nullptr;
    const std::size_t cstride = direct ? c.colcapacity() : 0;

    auto work = [&](std::uint32_t firsttile, std::uint32_t step) {
        double s[width];
        for (std::uint32_t t = firsttile; t < tiles; t += step) {
            const std::uint32_t j0 = t * width, w = std::min(width, cols - j0);
            for (std::uint32_t i = 0; i < rows; ++i) {
                if (la.start[i] == la.start[i + 1]) continue;
                addrowtile(s, la.col.data(), value.data(), la.start[i], la.start[i + 1], table,
                           stride, j0, w);
                if (direct) {
                    float* to = ctable + std::size_t(i) * cstride + j0;
                    for (std::uint32_t j = 0; j < w; ++j)
                        if (s[j] != 0) to[j] = static_cast<float>(s[j]);
                } else {
                    for (std::uint32_t j = 0; j < w; ++j)
                        if (s[j] != 0) c.setvalue_nocheck(i + 1, j0 + j + 1, s[j]);
                }
            }
        }
    };
    // Small products are not worth a thread.
    unsigned threads = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    if (!direct || la.col.size() * std::uint64_t(cols) < (1u << 22)) threads = 1;
    threads = std::min(threads, tiles);
    // A helper that cannot be started leaves its tiles to this thread; every
    // helper started is joined before the result is used.
    std::vector<std::thread> helpers;
    std::vector<std::uint32_t> leftover;
    for (std::uint32_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work, t, threads);
        } catch (...) {
            leftover.push_back(t);
        }
    }
    work(0, threads);
    for (std::uint32_t t : leftover)
        work(t, threads);
    for (std::thread& h : helpers)
        h.join();
}

} // namespace

void matmul(const Tnummatrix& a, const Tnummatrix& b, Tnummatrix& c) {
    if (a.cols() != b.rows()) throw EInvalidArgument(incompatible);
    // c is emptied before the factors are read, so a factor that is c itself
    // is read from a copy.
    if (&c == &a || &c == &b) {
        const Tnummatrix copy(c);
        matmul(&a == &c ? copy : a, &b == &c ? copy : b, c);
        return;
    }
    const std::uint32_t rows = a.rows(), cols = b.cols();
    Trowlists la = rowlists(a);
    if (isdensesingle(b) && !mostlyzero(b)) {
        densemul(la, b, c);
        return;
    }
    Trowlists lb = rowlists(b);
    c.reset(rows, cols);
    std::vector<extended> sum(std::size_t(cols) + 1, 0);
    std::vector<char> touched(std::size_t(cols) + 1, 0);
    std::vector<std::uint32_t> used;
    for (std::uint32_t i = 0; i < rows; ++i) {
        used.clear();
        for (std::uint32_t p = la.start[i]; p < la.start[i + 1]; ++p) {
            const std::uint32_t k = la.col[p] - 1;
            const extended x = la.value[p];
            for (std::uint32_t q = lb.start[k]; q < lb.start[k + 1]; ++q) {
                const std::uint32_t j = lb.col[q];
                if (!touched[j]) {
                    touched[j] = 1;
                    sum[j] = 0;
                    used.push_back(j);
                }
                sum[j] += x * lb.value[q];
            }
        }
        for (std::uint32_t j : used) {
            c.setvalue_nocheck(i + 1, j, sum[j]);
            touched[j] = 0;
        }
    }
}

void matvec(const Tnummatrix& a, const Tnumvector& x, Tnumvector& y) {
    if (a.cols() != x.count()) throw EInvalidArgument(incompatible);
    const std::uint32_t rows = a.rows(), cols = a.cols();
    // x and y may be one vector: read x before y is reset.
    std::vector<extended> xs(cols);
    for (std::uint32_t k = 0; k < cols; ++k)
        xs[k] = x.getvalue_nocheck(k + 1);
    std::vector<extended> sum(rows, 0);
    if (isdensesingle(a)) {
        const float* table = a.singletable();
        const std::size_t stride = a.colcapacity();
        for (std::uint32_t i = 0; i < rows; ++i) {
            const float* row = table + std::size_t(i) * stride;
            extended s = 0;
            for (std::uint32_t k = 0; k < cols; ++k)
                if (row[k] != 0) s += extended(row[k]) * xs[k];
            sum[i] = s;
        }
    } else {
        Trowlists l = rowlists(a);
        for (std::uint32_t i = 0; i < rows; ++i)
            for (std::uint32_t p = l.start[i]; p < l.start[i + 1]; ++p)
                sum[i] += l.value[p] * xs[l.col[p] - 1];
    }
    y.reset(rows);
    for (std::uint32_t i = 0; i < rows; ++i)
        y.setvalue_nocheck(i + 1, sum[i]);
}

} // namespace velmora
