#pragma once
// Matrix inversion and linear solving for square Tnummatrix objects, and the
// small matrix library around them (copies and zero-skipping products).
//
// Tinvertmatrix and Tsolveequations are one-shot workers: set the options on
// a fresh object, run it once, read the result and the status, free it.
//
// Two algorithms sit behind both workers:
// - dense: LU decomposition with implicit row scaling and partial pivoting
//   at the working precision (1 single, 2 double, 3 extended), followed by
//   substitutions whose dot products are summed in extended precision and
//   rounded to single precision. It is the reference, and the path for small
//   or dense systems. Its cost grows with the cube of the order.
// - sparse: the sparse LU of sparselu.h, in double precision, with a
//   fill-reducing order; the full inverse is formed by blocks of triangular
//   solves on all cores. Meant for the system matrix of the model, whose
//   negative is diagonally dominant by columns.
// `automatic` (the default) takes the sparse path when the order after the
// removal of empty rows and columns is at least `sparseminorder` and at most
// one cell in `sparsemaxdensity` holds a non-zero; see choosemethod.
//
// Results are held in single precision whatever the path.
//
// Working precision 0 names no storage; it is taken as extended, the most
// accurate choice, since a caller who wants the smaller single or double
// working matrix asks for it by number.
//
// On the sparse path the working precision does not change the storage of
// the factors (always double); at precision 3 (and 0) a solve adds one step
// of iterative refinement with the residual summed in extended precision.
//
// Singularity: the dense path reports a singular matrix when a row is empty,
// when a pivot search meets an undefined value, or when the determinant
// comes out as zero (also by underflow) or undefined. The sparse path
// reports one when a column has no usable pivot: all candidates zero or
// non-finite, or the pivot no larger than the rounding error of a zero (below
// 1e-12 of the magnitudes that went into it, see Tsparselu). So a matrix that
// is singular as stored but not exactly so after rounding, such as a closed
// system without any loss, is caught by the sparse path, while the dense
// path may invert it. Both leave the result empty, return false and set the
// singular flag; they never raise an exception for it.
//
// Stop requests: the inversion polls a stop check, on the dense path after
// each column of the inverse (n polls), on the sparse path after each batch
// of 256 rows (ceil(n / 256) polls), always from the calling thread; n is the
// order after removal. A stop before the last column or batch ends the work
// early and the run fails: invert returns false with stopped() true and the
// singular flag 0, and there is no result to get. A stop asked at the last
// poll comes too late to matter and the run succeeds. The check is set with
// setstopcheck, either as a callback or as a Tuiservice whose stoprequested()
// is asked; without one the run is never stopped.
#include <cstdint>
#include <functional>
#include <vector>

#include "numeric/matrices.h"
#include "numeric/vectors.h"

namespace velmora {

class Tuiservice;

enum class Tsolvemethod : std::uint8_t {
    automatic = 0, // by order and density (choosemethod)
    dense = 1,     // always the dense reference
    sparse = 2,    // always the sparse LU
};

constexpr std::uint32_t sparseminorder = 100;
constexpr std::uint32_t sparsemaxdensity = 10;

// The path `automatic` takes for a system of order n with the given number
// of non-zero cells: sparse when n >= sparseminorder and
// nonzeros * sparsemaxdensity <= n * n, else dense.
Tsolvemethod choosemethod(std::uint32_t n, std::uint64_t nonzeros);

// The status record of a run.
struct Tsolvestatus {
    std::uint32_t singular = 0; // 1 when the matrix was found singular
    std::uint32_t reserved = 0; // always 0
    std::uint32_t rows = 0;     // rows of the matrix solved (after removal, when on)
    std::uint32_t cols = 0;     // columns of the matrix solved (after removal, when on)
};

// The options shared by both workers, with their checks.
class Tsolveoptions {
public:
    // 0 none, 1 by the standard deviation of each column, 2 by the largest
    // magnitude of each column. Raises EInvalidArgument above 2.
    void setscaling(std::uint8_t s);
    void setremoveempty(bool b);
    // 0..3, see above. Raises EInvalidArgument above 3.
    void setworkprecision(std::uint8_t p);
    void setmethod(Tsolvemethod m);
    // Threads of the sparse inversion; 0 (the default) is one per core.
    void setthreads(unsigned n);
    // May be set at any time.
    void setstopcheck(std::function<bool()> check) { stopcheck = std::move(check); }

    bool done = false;
    std::uint8_t scaling = 0;
    bool removeempty = false;
    std::uint8_t workprecision = 1;
    Tsolvemethod method = Tsolvemethod::automatic;
    unsigned threads = 0;
    std::function<bool()> stopcheck;

private:
    // Options are set once, before the run.
    void checknotdone() const;
};

class Tinvertmatrix {
public:
    Tinvertmatrix() = default;
    Tinvertmatrix(const Tinvertmatrix&) = delete;
    Tinvertmatrix& operator=(const Tinvertmatrix&) = delete;

    // Each raises ENotExecuted "Clear method not executed" after a successful run.
    void setscaling(std::uint8_t s) { options_.setscaling(s); }
    void setremoveempty(bool b) { options_.setremoveempty(b); }
    void setworkprecision(std::uint8_t p) { options_.setworkprecision(p); }
    void setmethod(Tsolvemethod m) { options_.setmethod(m); }
    void setthreads(unsigned n) { options_.setthreads(n); }
    void setstopcheck(std::function<bool()> check) { options_.setstopcheck(std::move(check)); }
    void setstopcheck(Tuiservice& ui);

    // Inverts a. True when the inverse was formed; false (no exception) when
    // a is singular or the stop check ended the run (see stopped()). Raises
    // EInvalidArgument "Non-square matrix" when a (after removal, when on) is
    // not square. With removal on, the rows and columns
    // of the inverse that belong to empty columns and rows of a read 0.
    bool invert(const Tnummatrix& a);
    // Copies the inverse into m; ENotExecuted "Prior method not executed"
    // unless a run succeeded.
    void getresult(Tnummatrix& m) const;
    Tsolvestatus getstatus() const { return status_; }
    // The path the last run took.
    Tsolvemethod methodused() const { return used_; }
    // True when the last run was ended by the stop check before it was done.
    bool stopped() const { return stopped_; }

private:
    Tsolveoptions options_;
    bool stopped_ = false;
    // The inverse of the matrix that was solved, i.e. after removal; getresult
    // spreads it over the full size. Keeping it small spares a table of the
    // full size per run, most of it zeros.
    Tnummatrix result_{1, 1};
    std::vector<std::int32_t> resultrows_, resultcols_; // full row and column of each
    std::uint32_t fullrows_ = 0, fullcols_ = 0;
    Tsolvestatus status_;
    Tsolvemethod used_ = Tsolvemethod::automatic;
};

class Tsolveequations {
public:
    Tsolveequations() = default;
    Tsolveequations(const Tsolveequations&) = delete;
    Tsolveequations& operator=(const Tsolveequations&) = delete;

    void setscaling(std::uint8_t s) { options_.setscaling(s); }
    void setremoveempty(bool b) { options_.setremoveempty(b); }
    void setworkprecision(std::uint8_t p) { options_.setworkprecision(p); }
    void setmethod(Tsolvemethod m) { options_.setmethod(m); }
    void setthreads(unsigned n) { options_.setthreads(n); }

    // Solves a x = b. True when solved; false (no exception) when a is
    // singular. Without removal raises EInvalidArgument "Non-square matrix"
    // for a non-square a and "Arrays of incompatible dimension" when b's
    // count differs from a's rows. With removal, b's elements of the empty
    // rows are ignored and the unknowns of the empty columns read 0.
    bool solve(const Tnummatrix& a, const Tnumvector& b);
    // Copies the solution into v; ENotExecuted "Prior method not executed"
    // unless a run succeeded.
    void getresult(Tnumvector& v) const;
    Tsolvestatus getstatus() const { return status_; }
    Tsolvemethod methodused() const { return used_; }

private:
    Tsolveoptions options_;
    Tnumvector result_{1};
    Tsolvestatus status_;
    Tsolvemethod used_ = Tsolvemethod::automatic;
};

// The dense LU decomposition itself, for callers that need the factors.
// Decomposes a (square) into w at w's precision, with q the pivot row of
// each position (1-based). Returns the determinant; the matrix counts as
// regular only when it compares less or greater than 0. Raises
// EInvalidArgument "Non-square matrix" unless a is square.
extended ludecompose(const Tnummatrix& a, Tnummatrix& w, Tintvector& q);
// Solves with the factors of ludecompose: x gets count n.
void lusubstitute(const Tnummatrix& w, const Tintvector& q, const Tnumvector& b, Tnumvector& x);
// a * m, but 0 when either is 0 or when |m| <= 1 and |a| <= 1e-74 / |m|: the
// substitutions drop products that can only be noise.
extended safeproduct(extended a, extended m);

// d.reset(s.rows, s.cols), then every cell of s into d.
void copymatrix(const Tnummatrix& s, Tnummatrix& d);
// d.reset(s.count), then every element of s into d.
void copyvector(const Tnumvector& s, Tnumvector& d);
// c = a * b over the non-zero products only, summed in extended precision;
// c may be a or b.
// EInvalidArgument "Arrays of incompatible dimension" when a's cols differ
// from b's rows; ERangeError when c is fixed and too small.
void matmul(const Tnummatrix& a, const Tnummatrix& b, Tnummatrix& c);
// y = a * x over the non-zero cells of a, summed in extended precision.
// EInvalidArgument "Arrays of incompatible dimension" when a's cols differ
// from x's count; ERangeError when y cannot hold a's rows.
void matvec(const Tnummatrix& a, const Tnumvector& x, Tnumvector& y);

} // namespace velmora
