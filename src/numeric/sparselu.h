#pragma once
// Sparse LU factorisation for the large systems of the model: the mass
// balance over all boxes has a few dozen non-zeros per row among thousands of
// columns, and its negative is diagonally dominant by columns.
//
// The engine orders the unknowns by minimum degree on the pattern of A + A^T
// (a fill-reducing symmetric order), then factorises column by column
// (left-looking, with sparse triangular solves) as P A Q = L U. Because the
// order is symmetric, the diagonal entry of each column is the natural pivot,
// and for a diagonally dominant matrix it is always taken. A column whose
// diagonal has become small against the rest of the column (below
// `diagonalpreference` times the largest candidate) pivots on its largest
// entry instead, so matrices that are not dominant are still factorised
// stably. Everything is 0-based and in double precision; callers round to
// their storage precision.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace velmora {

// A square matrix by columns: the entries of column j are at positions
// colstart[j] .. colstart[j + 1] - 1 of rowindex and values.
struct Tsparsecolumns {
    std::int32_t n = 0;
    std::vector<std::int32_t> colstart;
    std::vector<std::int32_t> rowindex;
    std::vector<double> values;

    // Builds an n x n matrix from (row, column, value) triplets, 0-based.
    // Entries of one cell are added; rows within a column come out in
    // increasing order.
    static Tsparsecolumns fromtriplets(std::int32_t n, const std::vector<std::int32_t>& rows,
                                       const std::vector<std::int32_t>& cols,
                                       const std::vector<double>& values);
    std::size_t nonzeros() const { return rowindex.size(); }
};

// Minimum degree order of the symmetric pattern of A + A^T (diagonal
// ignored): position k of the result names the unknown eliminated k-th. Ties
// go to the lowest unknown, so the order is reproducible.
std::vector<std::int32_t> minimumdegreeorder(const Tsparsecolumns& a);

// Where Tsparselu::invert writes the inverse: a row-major single-precision
// table. Row i of the inverse (unknown i) goes to table row rowof[i], column r
// of the inverse (equation r) to table column colof[r]; the values of row i
// are multiplied by rowfactor[i] when rowfactor is given. Cells of the table
// that no (rowof, colof) pair names are not touched.
struct Tinversetarget {
    float* table = nullptr;
    std::size_t stride = 0; // elements from one table row to the next
    const std::int32_t* rowof = nullptr;
    const std::int32_t* colof = nullptr;
    const double* rowfactor = nullptr;
};

class Tsparselu {
public:
    // The diagonal stays the pivot while it is at least this fraction of the
    // largest entry of its column below the pivots already taken.
    static constexpr double diagonalpreference = 0.1;
    // A pivot below this fraction of the sum of the magnitudes that went
    // into it (its entry in the matrix plus every update of the elimination)
    // cannot be told from the rounding error of a zero, and the matrix is
    // taken as singular. Small pivots that are small by scale, not by
    // cancellation, pass.
    static constexpr double singulartolerance = 1e-12;

    // Factorises a. Returns false when a is singular (a zero, non-finite or
    // vanishing pivot); then singularstep() tells the elimination step.
    bool factorise(const Tsparsecolumns& a);

    std::int32_t order() const { return n_; }
    std::int32_t singularstep() const { return singularstep_; }
    // The unknown (column of A) eliminated at step k, so that a singular
    // step can be named.
    std::int32_t columnofstep(std::int32_t k) const { return perm_[std::size_t(k)]; }
    // Non-zeros of L (without its unit diagonal) and of U (with its diagonal).
    std::size_t lnonzeros() const { return lrow_.size(); }
    std::size_t unonzeros() const { return urow_.size() + udiag_.size(); }
    // Pivots not taken on the diagonal of the symmetric order.
    std::int32_t offdiagonalpivots() const { return offdiagonal_; }

    // Solves A x = b in place: b holds the right-hand side by equation on
    // entry and the unknowns on return. work needs n elements.
    void solve(double* b, double* work) const;
    // Solves A^T x = b in place, likewise.
    void solvetransposed(double* b, double* work) const;

    // Computes the inverse row by row into target, on up to `threads`
    // threads (0: one per core). Rows are done in batches of `batchrows`;
    // after each batch (the last one too, so ceil(n / batchrows) times) the
    // calling thread asks stop(), and a true answer ends the work there.
    // Returns the number of inverse rows written (order() unless stopped).
    std::int32_t invert(const Tinversetarget& target, unsigned threads,
                        const std::function<bool()>& stop) const;

    // Width of the blocks of right-hand sides that one thread solves at once.
    static constexpr int blockwidth = 8;
    // Rows of the inverse between two polls of the stop check: enough to
    // keep every thread busy, few enough to answer within milliseconds.
    static constexpr int batchrows = 256;

private:
    void invertblock(std::int32_t first, std::int32_t count, double* y,
                     const Tinversetarget& target, const std::int32_t* colpos) const;

    std::int32_t n_ = 0;
    std::int32_t singularstep_ = -1;
    std::int32_t offdiagonal_ = 0;
    std::vector<std::int32_t> perm_; // column of A eliminated at step k
    std::vector<std::int32_t> pinv_; // step at which row i of A was the pivot
    std::vector<std::int32_t> prow_; // row of A that was the pivot at step k
    // L: unit lower triangular by columns, strictly below the diagonal, rows
    // as step numbers. U: strictly upper triangular by columns, plus udiag_.
    std::vector<std::int32_t> lstart_, lrow_;
    std::vector<double> lval_;
    std::vector<std::int32_t> ustart_, urow_;
    std::vector<double> uval_;
    std::vector<double> udiag_;
};

} // namespace velmora
