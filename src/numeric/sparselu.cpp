#include "numeric/sparselu.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>
#include <utility>

namespace velmora {

Tsparsecolumns Tsparsecolumns::fromtriplets(std::int32_t n, const std::vector<std::int32_t>& rows,
                                            const std::vector<std::int32_t>& cols,
                                            const std::vector<double>& values) {
    Tsparsecolumns a;
    a.n = n;
    // Counting sort by column, then by row within each column, so that
    // duplicates sit side by side and can be added.
    std::vector<std::int32_t> count(std::size_t(n) + 1, 0);
    for (std::int32_t c : cols)
        ++count[std::size_t(c) + 1];
    for (std::int32_t j = 0; j < n; ++j)
        count[j + 1] += count[j];
    std::vector<std::int32_t> order(rows.size());
    {
        std::vector<std::int32_t> next(count.begin(), count.end() - 1);
        for (std::size_t k = 0; k < rows.size(); ++k)
            order[next[cols[k]]++] = std::int32_t(k);
    }
    a.colstart.assign(std::size_t(n) + 1, 0);
    a.rowindex.reserve(rows.size());
    a.values.reserve(rows.size());
    for (std::int32_t j = 0; j < n; ++j) {
        auto first = order.begin() + count[j], last = order.begin() + count[j + 1];
        std::sort(first, last, [&](std::int32_t x, std::int32_t y) { return rows[x] < rows[y]; });
        for (auto it = first; it != last; ++it) {
            std::int32_t r = rows[*it];
            if (a.rowindex.size() > std::size_t(a.colstart[j]) && a.rowindex.back() == r)
                a.values.back() += values[*it];
            else {
                a.rowindex.push_back(r);
                a.values.push_back(values[*it]);
            }
        }
        a.colstart[j + 1] = std::int32_t(a.rowindex.size());
    }
    return a;
}

std::vector<std::int32_t> minimumdegreeorder(const Tsparsecolumns& a) {
    const std::int32_t n = a.n;
    std::vector<std::int32_t> order;
    order.reserve(n);
    if (n == 0) return order;
    // The elimination graph, kept explicitly: eliminating a node joins its
    // neighbours into a clique. For the mass-balance systems the cliques stay
    // small (the boxes of a region and the air of its neighbours), so this is
    // cheaper than a quotient graph would be to write and to run.
    std::vector<std::int32_t> start(std::size_t(n) + 1, 0);
    for (std::int32_t j = 0; j < n; ++j)
        for (std::int32_t p = a.colstart[j]; p < a.colstart[j + 1]; ++p)
            if (a.rowindex[p] != j) {
                ++start[a.rowindex[p] + 1];
                ++start[j + 1];
            }
    for (std::int32_t i = 0; i < n; ++i)
        start[i + 1] += start[i];
    std::vector<std::int32_t> edges(start[n]);
    {
        std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
        for (std::int32_t j = 0; j < n; ++j)
            for (std::int32_t p = a.colstart[j]; p < a.colstart[j + 1]; ++p) {
                std::int32_t i = a.rowindex[p];
                if (i == j) continue;
                edges[fill[i]++] = j;
                edges[fill[j]++] = i;
            }
    }
    std::vector<std::uint32_t> seen(n, 0);
    std::uint32_t stamp = 0;
    std::vector<std::vector<std::int32_t>> adj(n);
    for (std::int32_t i = 0; i < n; ++i) {
        ++stamp;
        seen[i] = stamp;
        adj[i].reserve(start[i + 1] - start[i]);
        for (std::int32_t p = start[i]; p < start[i + 1]; ++p)
            if (seen[edges[p]] != stamp) {
                seen[edges[p]] = stamp;
                adj[i].push_back(edges[p]);
            }
    }
    // Nodes in buckets by degree: doubly linked lists, so that a degree
    // change costs O(1).
    std::vector<std::int32_t> head(n, -1), next(n, -1), prev(n, -1), degree(n, 0);
    auto insert = [&](std::int32_t v, std::int32_t d) {
        degree[v] = d;
        prev[v] = -1;
        next[v] = head[d];
        if (head[d] >= 0) prev[head[d]] = v;
        head[d] = v;
    };
    auto remove = [&](std::int32_t v) {
        if (prev[v] >= 0)
            next[prev[v]] = next[v];
        else
            head[degree[v]] = next[v];
        if (next[v] >= 0) prev[next[v]] = prev[v];
    };
    // Lowest numbers end up first in each bucket, so ties go to them.
    for (std::int32_t i = n - 1; i >= 0; --i)
        insert(i, std::int32_t(adj[i].size()));
    std::int32_t lowest = 0, remaining = n;
    while (remaining > 0) {
        while (head[lowest] < 0)
            ++lowest;
        std::int32_t v = head[lowest];
        if (lowest == remaining - 1) {
            // What is left is one clique: every order of it fills the same.
            for (std::int32_t d = lowest; d < n; ++d)
                for (std::int32_t w = head[d]; w >= 0; w = next[w])
                    order.push_back(w);
            break;
        }
        remove(v);
        order.push_back(v);
        --remaining;
        const std::vector<std::int32_t>& nv = adj[v];
        for (std::int32_t u : nv) {
            remove(u);
            std::vector<std::int32_t>& nu = adj[u];
            ++stamp;
            std::size_t kept = 0;
            for (std::int32_t w : nu)
                if (w != v) {
                    nu[kept++] = w;
                    seen[w] = stamp;
                }
            nu.resize(kept);
            seen[u] = stamp;
            for (std::int32_t w : nv)
                if (seen[w] != stamp) {
                    seen[w] = stamp;
                    nu.push_back(w);
                }
            std::int32_t d = std::int32_t(nu.size());
            insert(u, d);
            lowest = std::min(lowest, d);
        }
        std::vector<std::int32_t>().swap(adj[v]);
    }
    return order;
}

bool Tsparselu::factorise(const Tsparsecolumns& a) {
    const std::int32_t n = a.n;
    n_ = n;
    singularstep_ = -1;
    offdiagonal_ = 0;
    perm_ = minimumdegreeorder(a);
    pinv_.assign(n, -1);
    prow_.assign(n, -1);
    lstart_.assign(1, 0);
    ustart_.assign(1, 0);
    lrow_.clear();
    lval_.clear();
    urow_.clear();
    uval_.clear();
    udiag_.assign(n, 0.0);
    lrow_.reserve(a.nonzeros() * 2);
    lval_.reserve(a.nonzeros() * 2);
    urow_.reserve(a.nonzeros() * 2);
    uval_.reserve(a.nonzeros() * 2);

    // x is the column being eliminated; bound[i] is the sum of the
    // magnitudes that went into x[i] (its entry in a, plus |l| times the
    // bound of every update), so that a pivot of rounding noise can be told
    // from a small one whatever the scale of its row and column.
    std::vector<double> x(n, 0.0), bound(n, 0.0);
    std::vector<std::int32_t> mark(n, -1), reach(n), stack(n), next(n);
    for (std::int32_t k = 0; k < n; ++k) {
        const std::int32_t col = perm_[k];
        // Rows that can become non-zero in this column: everything reachable
        // from the column's entries through the columns of L done so far,
        // in topological order in reach[top .. n-1].
        std::int32_t top = n;
        for (std::int32_t p = a.colstart[col]; p < a.colstart[col + 1]; ++p) {
            std::int32_t start = a.rowindex[p];
            if (mark[start] == k) continue;
            std::int32_t head = 0;
            stack[0] = start;
            while (head >= 0) {
                std::int32_t j = stack[head];
                std::int32_t s = pinv_[j];
                if (mark[j] != k) {
                    mark[j] = k;
                    next[j] = s < 0 ? 0 : lstart_[s];
                }
                bool finished = true;
                if (s >= 0) {
                    for (std::int32_t q = next[j], end = lstart_[s + 1]; q < end; ++q) {
                        std::int32_t i = lrow_[q];
                        if (mark[i] == k) continue;
                        next[j] = q + 1;
                        stack[++head] = i;
                        finished = false;
                        break;
                    }
                }
                if (finished) {
                    --head;
                    reach[--top] = j;
                }
            }
        }
        for (std::int32_t t = top; t < n; ++t) {
            x[reach[t]] = 0.0;
            bound[reach[t]] = 0.0;
        }
        for (std::int32_t p = a.colstart[col]; p < a.colstart[col + 1]; ++p) {
            x[a.rowindex[p]] = a.values[p];
            bound[a.rowindex[p]] = std::fabs(a.values[p]);
        }
        // Sparse triangular solve with the columns of L done so far.
        for (std::int32_t t = top; t < n; ++t) {
            std::int32_t j = reach[t];
            std::int32_t s = pinv_[j];
            if (s < 0) continue;
            const double xj = x[j], bj = bound[j];
            for (std::int32_t q = lstart_[s]; q < lstart_[s + 1]; ++q) {
                x[lrow_[q]] -= lval_[q] * xj;
                bound[lrow_[q]] += std::fabs(lval_[q]) * bj;
            }
        }
        // Split into the column of U and the pivot candidates.
        std::int32_t best = -1;
        double bestsize = 0;
        bool finite = true;
        for (std::int32_t t = top; t < n; ++t) {
            std::int32_t j = reach[t];
            double v = x[j];
            if (!std::isfinite(v)) finite = false;
            double size = std::fabs(v);
            if (pinv_[j] >= 0) {
                if (v != 0.0) {
                    urow_.push_back(pinv_[j]);
                    uval_.push_back(v);
                }
            } else if (size > bestsize) {
                bestsize = size;
                best = j;
            }
        }
        std::int32_t diagonal = perm_[k];
        if (pinv_[diagonal] < 0 && mark[diagonal] == k &&
            std::fabs(x[diagonal]) >= diagonalpreference * bestsize && x[diagonal] != 0.0)
            best = diagonal;
        if (!finite || best < 0 || !(std::fabs(x[best]) > singulartolerance * bound[best])) {
            singularstep_ = k;
            return false;
        }
        if (best != diagonal) ++offdiagonal_;
        double pivot = x[best];
        udiag_[k] = pivot;
        pinv_[best] = k;
        prow_[k] = best;
        for (std::int32_t t = top; t < n; ++t) {
            std::int32_t j = reach[t];
            if (pinv_[j] >= 0 || x[j] == 0.0) continue;
            lrow_.push_back(j);
            lval_.push_back(x[j] / pivot);
        }
        lstart_.push_back(std::int32_t(lrow_.size()));
        ustart_.push_back(std::int32_t(urow_.size()));
    }
    // From now on the rows of L are named by the step of their pivot.
    for (auto& r : lrow_)
        r = pinv_[r];
    return true;
}

void Tsparselu::solve(double* b, double* work) const {
    const std::int32_t n = n_;
    for (std::int32_t i = 0; i < n; ++i)
        work[pinv_[i]] = b[i];
    for (std::int32_t k = 0; k < n; ++k) {
        double t = work[k];
        if (t == 0.0) continue;
        for (std::int32_t q = lstart_[k]; q < lstart_[k + 1]; ++q)
            work[lrow_[q]] -= lval_[q] * t;
    }
    for (std::int32_t k = n - 1; k >= 0; --k) {
        double t = work[k] /= udiag_[k];
        if (t == 0.0) continue;
        for (std::int32_t q = ustart_[k]; q < ustart_[k + 1]; ++q)
            work[urow_[q]] -= uval_[q] * t;
    }
    for (std::int32_t k = 0; k < n; ++k)
        b[perm_[k]] = work[k];
}

void Tsparselu::solvetransposed(double* b, double* work) const {
    const std::int32_t n = n_;
    for (std::int32_t k = 0; k < n; ++k) {
        double t = b[perm_[k]];
        for (std::int32_t q = ustart_[k]; q < ustart_[k + 1]; ++q)
            t -= uval_[q] * work[urow_[q]];
        work[k] = t / udiag_[k];
    }
    for (std::int32_t k = n - 1; k >= 0; --k) {
        double t = work[k];
        for (std::int32_t q = lstart_[k]; q < lstart_[k + 1]; ++q)
            t -= lval_[q] * work[lrow_[q]];
        work[k] = t;
    }
    for (std::int32_t i = 0; i < n; ++i)
        b[i] = work[pinv_[i]];
}

namespace {

// One row of a block of right-hand sides: a vector type, so that every
// operation works on the whole block and the compiler uses the widest
// registers the processor has.
typedef double Tblockrow __attribute__((vector_size(Tsparselu::blockwidth * sizeof(double))));

struct Tfactors {
    std::int32_t n;
    const std::int32_t *ustart, *urow, *lstart, *lrow;
    const double *uval, *udiag, *lval;
};

// Rows first .. first + count - 1 of the inverse are the solutions of
// A^T y = e_i; with P A Q = L U that is U^T w = e_(position) followed by
// L^T v = w. Rows of y before `first` stay zero in the forward sweep, which
// is what makes late blocks cheap.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
blocksolve(const Tfactors& f, std::int32_t first, std::int32_t count, Tblockrow* y) {
    for (std::int32_t k = 0; k < first; ++k)
        y[k] = Tblockrow{};
    for (std::int32_t k = first; k < f.n; ++k) {
        Tblockrow acc = {};
        if (k - first < count) acc[k - first] = 1.0;
        for (std::int32_t q = f.ustart[k]; q < f.ustart[k + 1]; ++q)
            acc -= f.uval[q] * y[f.urow[q]];
        y[k] = acc / f.udiag[k];
    }
    for (std::int32_t k = f.n - 1; k >= 0; --k) {
        Tblockrow acc = y[k];
        for (std::int32_t q = f.lstart[k]; q < f.lstart[k + 1]; ++q)
            acc -= f.lval[q] * y[f.lrow[q]];
        y[k] = acc;
    }
}

} // namespace

void Tsparselu::invertblock(std::int32_t first, std::int32_t count, double* ybuffer,
                            const Tinversetarget& target, const std::int32_t* colpos) const {
    Tfactors f{n_,           ustart_.data(), urow_.data(),  lstart_.data(),
               lrow_.data(), uval_.data(),   udiag_.data(), lval_.data()};
    Tblockrow* y = reinterpret_cast<Tblockrow*>(ybuffer);
    blocksolve(f, first, count, y);
    for (std::int32_t m = 0; m < count; ++m) {
        std::int32_t unknown = perm_[first + m];
        float* row = target.table + std::size_t(target.rowof[unknown]) * target.stride;
        double factor = target.rowfactor ? target.rowfactor[unknown] : 1.0;
        for (std::int32_t k = 0; k < n_; ++k)
            row[colpos[k]] = static_cast<float>(y[k][m] * factor);
    }
}

std::int32_t Tsparselu::invert(const Tinversetarget& target, unsigned threads,
                               const std::function<bool()>& stop) const {
    const std::int32_t n = n_;
    if (n == 0) return 0;
    constexpr std::int32_t width = blockwidth;
    constexpr std::int32_t blocksperbatch = batchrows / width;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const std::int32_t blocks = (n + width - 1) / width;
    threads = unsigned(std::min<std::int64_t>(threads, blocks));

    std::vector<std::int32_t> colpos(n);
    for (std::int32_t k = 0; k < n; ++k)
        colpos[k] = target.colof[prow_[k]];
    // One block of right-hand sides per thread, aligned for the widest
    // vector loads (the standard allocator does not promise that here).
    constexpr std::size_t alignment = 64;
    const std::size_t perthread = std::size_t(n) * width + alignment / sizeof(double);
    std::vector<double> storage(perthread * threads);
    std::vector<double*> buffers(threads);
    for (unsigned t = 0; t < threads; ++t) {
        auto address = reinterpret_cast<std::uintptr_t>(storage.data() + t * perthread);
        buffers[t] = reinterpret_cast<double*>((address + alignment - 1) & ~(alignment - 1));
    }

    std::int32_t written = 0;
    for (std::int32_t b0 = 0; b0 < blocks; b0 += blocksperbatch) {
        const std::int32_t b1 = std::min(blocks, b0 + blocksperbatch);
        std::atomic<std::int32_t> nextblock{b0};
        auto work = [&](unsigned t) {
            for (;;) {
                std::int32_t b = nextblock.fetch_add(1);
                if (b >= b1) break;
                std::int32_t first = b * width;
                invertblock(first, std::min(width, n - first), buffers[t], target, colpos.data());
            }
        };
        // Whatever stops a helper from starting (no thread left, no memory
        // for its stack or for the list) leaves fewer helpers: those running
        // share the batch, and every one started is joined.
        std::vector<std::thread> helpers;
        try {
            helpers.reserve(threads - 1);
            for (unsigned t = 1; t < threads; ++t)
                helpers.emplace_back(work, t);
        } catch (...) {
        }
        work(0);
        for (auto& h : helpers)
            h.join();
        written = std::min(n, b1 * width);
        if (stop && stop()) break;
    }
    return written;
}

} // namespace velmora
