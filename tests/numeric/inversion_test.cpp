#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "numeric/inversion.h"
#include "numeric/uiservice.h"

using namespace velmora;

namespace {

// A fixed dense matrix from rows of values.
void fill(Tnummatrix& a, const std::vector<std::vector<double>>& rows) {
    a.reset(std::uint32_t(rows.size()), std::uint32_t(rows.empty() ? 0 : rows[0].size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            if (rows[i][j] != 0) a.setvalue(std::uint32_t(i + 1), std::uint32_t(j + 1), rows[i][j]);
}

void fill(Tnumvector& v, const std::vector<double>& values) {
    v.reset(std::uint32_t(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        v.setvalue(std::uint32_t(i + 1), values[i]);
}

void expectmatrix(const Tnummatrix& m, const std::vector<std::vector<double>>& rows,
                  double tolerance) {
    ASSERT_EQ(m.rows(), rows.size());
    ASSERT_EQ(m.cols(), rows[0].size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            EXPECT_NEAR(double(m.getvalue(std::uint32_t(i + 1), std::uint32_t(j + 1))), rows[i][j],
                        tolerance)
                << "cell (" << i + 1 << ", " << j + 1 << ")";
}

template <typename F> void expectmessage(F&& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    } catch (const Eerror& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

const Tsolvemethod bothpaths[] = {Tsolvemethod::dense, Tsolvemethod::sparse};

// A random system of the shape of the model's mass balance: `regions`
// regions of twelve compartments, land regions with some compartments
// missing, seas with air, sea water and sediment; exchange within a region,
// air between neighbours, water downstream. Inflows off the diagonal, minus
// outflows and loss on it, so the negative is diagonally dominant by
// columns. Missing boxes leave empty rows and columns.
struct Tboxsystem {
    std::uint32_t n = 0;
    std::vector<char> exists; // 1-based
    Tnummatrix a{1, 1};
};

void makeboxsystem(Tboxsystem& s, std::uint32_t regions, std::uint32_t seas, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto rate = [&] { return std::exp(std::log(1e-2) + unit(rng) * std::log(1e4)); };
    const std::uint32_t n = regions * 12;
    s.n = n;
    s.exists.assign(n + 1, 0);
    auto rc = [](std::uint32_t r, std::uint32_t c) { return (r - 1) * 12 + c; };
    const std::uint32_t land = regions - seas;
    for (std::uint32_t r = 1; r <= regions; ++r) {
        if (r <= land) {
            for (std::uint32_t c : {1u, 2u, 3u, 4u, 5u, 10u})
                s.exists[rc(r, c)] = 1;
            if (unit(rng) < 0.7) s.exists[rc(r, 6)] = s.exists[rc(r, 7)] = 1;
            if (unit(rng) < 0.4) s.exists[rc(r, 8)] = s.exists[rc(r, 9)] = 1;
        } else {
            for (std::uint32_t c : {1u, 11u, 12u})
                s.exists[rc(r, c)] = 1;
        }
    }
    std::vector<std::uint32_t> from, to;
    auto flow = [&](std::uint32_t x, std::uint32_t y) {
        if (s.exists[x] && s.exists[y] && x != y) {
            from.push_back(x);
            to.push_back(y);
        }
    };
    for (std::uint32_t r = 1; r <= regions; ++r) {
        for (std::uint32_t c = 2; c <= 12; ++c) {
            flow(rc(r, 1), rc(r, c));
            flow(rc(r, c), rc(r, 1));
        }
        for (std::uint32_t c : {2u, 3u, 4u}) {
            flow(rc(r, c), rc(r, 5));
            flow(rc(r, c), rc(r, 10));
        }
        flow(rc(r, 5), rc(r, 6));
        flow(rc(r, 6), rc(r, 7));
        flow(rc(r, 7), rc(r, 6));
        flow(rc(r, 8), rc(r, 9));
        flow(rc(r, 9), rc(r, 8));
        flow(rc(r, 11), rc(r, 12));
        flow(rc(r, 12), rc(r, 11));
        // Air with the next two regions (a ring), water downstream.
        for (std::uint32_t k = 1; k <= 2; ++k) {
            std::uint32_t t = (r - 1 + k) % regions + 1;
            flow(rc(r, 1), rc(t, 1));
            flow(rc(t, 1), rc(r, 1));
        }
        std::uint32_t down = r % regions + 1;
        flow(rc(r, 5), rc(down, 5));
        flow(rc(r, 5), rc(down, 11));
        flow(rc(r, 11), rc(down, 11));
    }
    Tnummatrix& a = s.a;
    a.setcapacity(n, n);
    a.reset(n, n);
    std::vector<double> out(n + 1, 0.0);
    for (std::size_t k = 0; k < from.size(); ++k) {
        double x = rate();
        a.addvalue(to[k], from[k], x);
        out[from[k]] += double(float(x));
    }
    for (std::uint32_t i = 1; i <= n; ++i)
        if (s.exists[i]) a.setvalue(i, i, -(out[i] * (1.1 + unit(rng)) + 0.01));
}

double largest(const Tnummatrix& m) {
    double x = 0;
    for (std::uint32_t i = 1; i <= m.rows(); ++i)
        for (std::uint32_t j = 1; j <= m.cols(); ++j)
            x = std::max(x, std::fabs(double(m.getvalue(i, j))));
    return x;
}

} // namespace

// ---------------------------------------------------------------- options

TEST(Tinvertmatrix, OptionValuesOutOfRangeRaiseInvalidArgument) {
    Tinvertmatrix m;
    expectmessage([&] { m.setscaling(3); }, "Invalid argument");
    expectmessage([&] { m.setworkprecision(4); }, "Invalid argument");
    EXPECT_NO_THROW(m.setscaling(2));
    EXPECT_NO_THROW(m.setworkprecision(0));
    Tsolveequations s;
    expectmessage([&] { s.setscaling(3); }, "Invalid argument");
    expectmessage([&] { s.setworkprecision(4); }, "Invalid argument");
}

TEST(Tinvertmatrix, OptionsAfterASuccessfulRunRaiseClearMethodNotExecuted) {
    Tnummatrix a(2, 2);
    fill(a, {{2, 0}, {0, 4}});
    Tinvertmatrix m;
    m.setscaling(1);
    ASSERT_TRUE(m.invert(a));
    expectmessage([&] { m.setscaling(1); }, "Clear method not executed");
    expectmessage([&] { m.setremoveempty(true); }, "Clear method not executed");
    expectmessage([&] { m.setworkprecision(2); }, "Clear method not executed");
    expectmessage([&] { m.setmethod(Tsolvemethod::dense); }, "Clear method not executed");
    // The range check comes first.
    expectmessage([&] { m.setscaling(3); }, "Invalid argument");

    Tnumvector b(2);
    fill(b, {2, 4});
    Tsolveequations s;
    ASSERT_TRUE(s.solve(a, b));
    expectmessage([&] { s.setscaling(0); }, "Clear method not executed");
    expectmessage([&] { s.setremoveempty(false); }, "Clear method not executed");
    expectmessage([&] { s.setworkprecision(3); }, "Clear method not executed");
}

TEST(Tinvertmatrix, OptionsAfterASingularRunAreStillAccepted) {
    Tnummatrix a(2, 2);
    fill(a, {{1, 1}, {1, 1}});
    Tinvertmatrix m;
    EXPECT_FALSE(m.invert(a));
    EXPECT_NO_THROW(m.setscaling(2));
}

TEST(Tinvertmatrix, ResultBeforeASuccessfulRunRaisesPriorMethodNotExecuted) {
    Tnummatrix result;
    Tinvertmatrix fresh;
    expectmessage([&] { fresh.getresult(result); }, "Prior method not executed");

    Tnummatrix a(2, 2);
    fill(a, {{1, 1}, {1, 1}});
    Tinvertmatrix singular;
    EXPECT_FALSE(singular.invert(a));
    expectmessage([&] { singular.getresult(result); }, "Prior method not executed");

    Tnumvector x;
    Tsolveequations solver;
    expectmessage([&] { solver.getresult(x); }, "Prior method not executed");
    Tnumvector b(2);
    fill(b, {1, 1});
    EXPECT_FALSE(solver.solve(a, b));
    expectmessage([&] { solver.getresult(x); }, "Prior method not executed");
}

// ---------------------------------------------------------------- the documented cases

TEST(Tinvertmatrix, RemoveEmptyInvertsTheRestAndLeavesZeros) {
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        fill(a, {{0, 0}, {0, 2}});
        Tinvertmatrix m;
        m.setremoveempty(true);
        m.setmethod(method);
        ASSERT_TRUE(m.invert(a));
        Tnummatrix inverse;
        m.getresult(inverse);
        expectmatrix(inverse, {{0, 0}, {0, 0.5}}, 0);
        Tsolvestatus status = m.getstatus();
        EXPECT_EQ(status.singular, 0u);
        EXPECT_EQ(status.reserved, 0u);
        EXPECT_EQ(status.rows, 1u);
        EXPECT_EQ(status.cols, 1u);
    }
}

TEST(Tinvertmatrix, AnEmptyRowWithoutRemovalIsSingular) {
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        fill(a, {{0, 0}, {0, 2}});
        Tinvertmatrix m;
        m.setmethod(method);
        EXPECT_FALSE(m.invert(a));
        Tsolvestatus status = m.getstatus();
        EXPECT_EQ(status.singular, 1u);
        EXPECT_EQ(status.rows, 2u);
        EXPECT_EQ(status.cols, 2u);
    }
}

TEST(Tinvertmatrix, ScalingOneInvertsABadlyScaledDiagonal) {
    // Column 1: mean 2, spread 8, scale 2; column 2: mean 0.125, scale 0.125.
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        fill(a, {{4, 0}, {0, 0.25}});
        Tinvertmatrix m;
        m.setscaling(1);
        m.setmethod(method);
        ASSERT_TRUE(m.invert(a));
        Tnummatrix inverse;
        m.getresult(inverse);
        expectmatrix(inverse, {{0.25, 0}, {0, 4}}, 4 * 1.2e-7);
    }
}

// Two boxes exchanging 2e6 and 3e6 and losing k = (123.4567, 61.7284): the
// columns sum to -k, so -k^T A^-1 = (1, 1). Scaled by columns and rounded to
// single precision on the way in, the diagonal would lose 3.5e-4 of k; a
// double-precision matrix keeps its precision through the scaling.
TEST(Tinvertmatrix, ADoublePrecisionMatrixKeepsItsPrecisionThroughTheScaling) {
    const double k1 = 123.4567, k2 = 61.7284;
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        a.setprecision(precdouble);
        fill(a, {{-(k1 + 2e6), 3e6}, {2e6, -(k2 + 3e6)}});
        Tinvertmatrix m;
        m.setscaling(1);
        m.setworkprecision(3);
        m.setmethod(method);
        ASSERT_TRUE(m.invert(a));
        Tnummatrix inverse;
        m.getresult(inverse);
        for (std::uint32_t j : {1u, 2u})
            EXPECT_NEAR(-(k1 * double(inverse.getvalue(1, j)) + k2 * double(inverse.getvalue(2, j))),
                        1, 1e-6)
                << "column " << j << ", method " << int(method);
    }
}

TEST(Tsolveequations, SolvesTheTwoByTwoExample) {
    for (Tsolvemethod method : bothpaths)
        for (std::uint8_t precision : {1, 2, 3}) {
            Tnummatrix a(2, 2);
            fill(a, {{2, 1}, {1, 3}});
            Tnumvector b(2);
            fill(b, {3, 5});
            Tsolveequations s;
            s.setmethod(method);
            s.setworkprecision(precision);
            ASSERT_TRUE(s.solve(a, b));
            Tnumvector x;
            s.getresult(x);
            ASSERT_EQ(x.count(), 2u);
            EXPECT_NEAR(double(x.getvalue(1)), 0.8, 1e-7);
            EXPECT_NEAR(double(x.getvalue(2)), 1.4, 2e-7);
            EXPECT_EQ(s.getstatus().singular, 0u);
        }
}

TEST(Tinvertmatrix, ANonSquareMatrixRaises) {
    Tnummatrix a(2, 3);
    fill(a, {{1, 2, 3}, {4, 5, 6}});
    Tinvertmatrix m;
    expectmessage([&] { m.invert(a); }, "Non-square matrix");
    Tinvertmatrix withremoval;
    withremoval.setremoveempty(true);
    expectmessage([&] { withremoval.invert(a); }, "Non-square matrix");
    Tnumvector b(2);
    fill(b, {1, 1});
    Tsolveequations s;
    expectmessage([&] { s.solve(a, b); }, "Non-square matrix");
}

TEST(Tinvertmatrix, NonSquareAfterRemovalRaises) {
    // Square, but row 2 is empty while every column is used.
    Tnummatrix a(2, 2);
    fill(a, {{1, 2}, {0, 0}});
    Tinvertmatrix m;
    m.setremoveempty(true);
    expectmessage([&] { m.invert(a); }, "Non-square matrix");
    EXPECT_EQ(m.getstatus().rows, 1u);
    EXPECT_EQ(m.getstatus().cols, 2u);
}

TEST(Tsolveequations, ARightHandSideOfAnotherLengthRaises) {
    Tnummatrix a(2, 2);
    fill(a, {{2, 1}, {1, 3}});
    Tnumvector b(3);
    fill(b, {1, 2, 3});
    Tsolveequations s;
    expectmessage([&] { s.solve(a, b); }, "Arrays of incompatible dimension");
}

TEST(Tinvertmatrix, EqualRowsAreSingularOnBothPaths) {
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        fill(a, {{1, 1}, {1, 1}});
        Tinvertmatrix m;
        m.setmethod(method);
        EXPECT_FALSE(m.invert(a));
        EXPECT_EQ(m.getstatus().singular, 1u);
    }
}

TEST(Tinvertmatrix, APivotColumnOfZerosBelowTheUsedRowsIsSingular) {
    // Row 3 is the first pivot (4 * 1/8 beats 1 * 1/3 and 2 * 1/7); the
    // multipliers 1/4 and 1/2 are exact and clear column 2 of rows 1 and 2.
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(3, 3);
        fill(a, {{1, 2, 3}, {2, 4, 7}, {4, 8, 1}});
        Tinvertmatrix m;
        m.setmethod(method);
        EXPECT_FALSE(m.invert(a)) << int(method);
        Tsolveequations s;
        s.setmethod(method);
        Tnumvector b(3);
        fill(b, {1, 2, 3});
        EXPECT_FALSE(s.solve(a, b));
        EXPECT_EQ(s.getstatus().singular, 1u);
    }
}

// ---------------------------------------------------------------- removal

// Row 2 and column 3 are empty; the rest is [[2, 0, 0], [1, 4, 0], [0, 0, 8]],
// whose inverse is [[0.5, 0, 0], [-0.125, 0.25, 0], [0, 0, 0.125]].
void emptyrowandcolumn(Tnummatrix& a) {
    fill(a, {{2, 0, 0, 0}, {0, 0, 0, 0}, {1, 4, 0, 0}, {0, 0, 0, 8}});
}

TEST(Tinvertmatrix, RemovedRowsAndColumnsComeBackAsZeroColumnsAndRows) {
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(4, 4);
        emptyrowandcolumn(a);
        Tinvertmatrix m;
        m.setremoveempty(true);
        m.setmethod(method);
        ASSERT_TRUE(m.invert(a));
        Tnummatrix inverse;
        m.getresult(inverse);
        // The inverse's row 3 (a's empty column) and column 2 (a's empty row) are 0.
        expectmatrix(inverse,
                     {{0.5, 0, 0, 0}, {-0.125, 0, 0.25, 0}, {0, 0, 0, 0}, {0, 0, 0, 0.125}}, 0);
        EXPECT_EQ(m.getstatus().rows, 3u);
    }
}

TEST(Tsolveequations, RemovalIgnoresEmptyEquationsAndZeroesEmptyUnknowns) {
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(4, 4);
        emptyrowandcolumn(a);
        Tnumvector b(4);
        fill(b, {2, 99, 5, 8});
        Tsolveequations s;
        s.setremoveempty(true);
        s.setmethod(method);
        ASSERT_TRUE(s.solve(a, b));
        Tnumvector x;
        s.getresult(x);
        ASSERT_EQ(x.count(), 4u);
        EXPECT_FLOAT_EQ(float(x.getvalue(1)), 1.0f);
        EXPECT_FLOAT_EQ(float(x.getvalue(2)), 1.0f);
        EXPECT_EQ(x.getvalue(3), 0);
        EXPECT_FLOAT_EQ(float(x.getvalue(4)), 1.0f);
    }
}

TEST(Tsolveequations, RemovalReadsTheRightHandSideWithARangeCheck) {
    Tnummatrix a(4, 4);
    emptyrowandcolumn(a);
    Tnumvector b(3);
    fill(b, {2, 0, 5}); // row 4 is kept but b has no element 4
    Tsolveequations s;
    s.setremoveempty(true);
    EXPECT_THROW(s.solve(a, b), ERangeError);
}

TEST(Tinvertmatrix, AllEmptyWithRemovalGivesAZeroMatrix) {
    Tnummatrix a(3, 3);
    a.reset(3, 3);
    Tinvertmatrix m;
    m.setremoveempty(true);
    ASSERT_TRUE(m.invert(a));
    Tnummatrix inverse;
    m.getresult(inverse);
    expectmatrix(inverse, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 0);
}

// ---------------------------------------------------------------- scaling

TEST(Tinvertmatrix, ScalingLetsTheDenseDeterminantTestPassATinyDiagonal) {
    // The determinant of 200 diagonal entries of 1e-30 is 1e-6000, below
    // the extended range: unscaled, the dense path calls it singular.
    // Both scalings bring the columns to order 1; the sparse path judges
    // pivots relative to their column and needs no scaling.
    const std::uint32_t n = 200;
    Tnummatrix a(n, n);
    a.reset(n, n);
    for (std::uint32_t i = 1; i <= n; ++i)
        a.setvalue(i, i, 1e-30);
    for (std::uint8_t scaling : {0, 1, 2})
        for (Tsolvemethod method : bothpaths) {
            Tinvertmatrix m;
            m.setscaling(scaling);
            m.setmethod(method);
            m.setworkprecision(3);
            bool expected = scaling != 0 || method == Tsolvemethod::sparse;
            ASSERT_EQ(m.invert(a), expected) << int(scaling) << " " << int(method);
            if (!expected) continue;
            Tnummatrix inverse;
            m.getresult(inverse);
            EXPECT_FLOAT_EQ(float(inverse.getvalue(1, 1)), 1e30f);
            EXPECT_FLOAT_EQ(float(inverse.getvalue(n, n)), 1e30f);
            EXPECT_EQ(inverse.getvalue(1, 2), 0);
        }
}

TEST(Tinvertmatrix, BothScalingsGiveTheSameInverse) {
    // inverse of [[2, 1], [1, 3]] is [[0.6, -0.2], [-0.2, 0.4]]
    for (std::uint8_t scaling : {0, 1, 2})
        for (Tsolvemethod method : bothpaths) {
            Tnummatrix a(2, 2);
            fill(a, {{2, 1}, {1, 3}});
            Tinvertmatrix m;
            m.setscaling(scaling);
            m.setmethod(method);
            ASSERT_TRUE(m.invert(a));
            Tnummatrix inverse;
            m.getresult(inverse);
            expectmatrix(inverse, {{0.6, -0.2}, {-0.2, 0.4}}, 1e-7);
        }
}

TEST(Tsolveequations, ScalingTwoSolvesColumnsOfVeryDifferentSize) {
    // Columns of size 1e6 and 1e-6; the solution is (1e-6, 1e6).
    for (Tsolvemethod method : bothpaths) {
        Tnummatrix a(2, 2);
        fill(a, {{2e6, 0}, {1e6, 3e-6}});
        Tnumvector b(2);
        fill(b, {2, 4});
        Tsolveequations s;
        s.setscaling(2);
        s.setmethod(method);
        s.setworkprecision(3);
        ASSERT_TRUE(s.solve(a, b));
        Tnumvector x;
        s.getresult(x);
        EXPECT_FLOAT_EQ(float(x.getvalue(1)), 1e-6f);
        EXPECT_FLOAT_EQ(float(x.getvalue(2)), 1e6f);
    }
}

// ---------------------------------------------------------------- working precision

TEST(Tsolveequations, TheUnknownsAreHeldInSinglePrecisionDuringSubstitution) {
    // x2 = 1/3 goes into the single-precision result vector as 0.33333334;
    // 7 * that, rounded, is 2.3333335, so x1 = 5 - 2.3333335 = 2.6666665. Held
    // in extended, x2 would give 7/3 -> 2.3333333 and x1 = 2.6666667.
    Tnummatrix a(2, 2);
    fill(a, {{1, 7}, {0, 3}});
    Tnumvector b(2);
    fill(b, {5, 1});
    Tsolveequations s;
    s.setmethod(Tsolvemethod::dense);
    s.setscaling(0);
    s.setworkprecision(3);
    ASSERT_TRUE(s.solve(a, b));
    Tnumvector x;
    s.getresult(x);
    EXPECT_EQ(float(x.getvalue(2)), 1.0f / 3.0f);
    EXPECT_EQ(float(x.getvalue(1)), 2.6666665077209473f);
}

TEST(Tsolveequations, WorkingPrecisionZeroIsExtended) {
    // A 4 x 4 Hilbert matrix: single-precision elimination loses digits that
    // extended keeps, so precision 1 and 3 differ while 0 repeats 3.
    Tnummatrix a(4, 4);
    a.reset(4, 4);
    for (std::uint32_t i = 1; i <= 4; ++i)
        for (std::uint32_t j = 1; j <= 4; ++j)
            a.setvalue(i, j, 1.0L / (i + j - 1));
    Tnumvector b(4);
    fill(b, {1, 1, 1, 1});
    std::vector<float> results[4];
    for (std::uint8_t p : {0, 1, 3}) {
        Tsolveequations s;
        s.setmethod(Tsolvemethod::dense);
        s.setworkprecision(p);
        ASSERT_TRUE(s.solve(a, b));
        Tnumvector x;
        s.getresult(x);
        for (std::uint32_t i = 1; i <= 4; ++i)
            results[p].push_back(float(x.getvalue(i)));
    }
    EXPECT_EQ(results[0], results[3]);
    EXPECT_NE(results[1], results[3]);
    // The exact solution is (-4, 60, -180, 140); the matrix itself is only
    // held to single precision, and its condition is about 1.5e4.
    EXPECT_NEAR(results[3][1], 60, 1.0);
}

// ---------------------------------------------------------------- the LU pieces

TEST(ludecompose, PivotsOnTheLargestScaledEntryAndReturnsTheDeterminant) {
    Tnummatrix a(2, 2);
    fill(a, {{1, 2}, {3, 4}});
    Tnummatrix w(2, 2);
    w.setprecision(3);
    Tintvector q(2);
    // Row scales 1/2 and 1/4: 3/4 beats 1/2, so row 2 is the first pivot.
    extended determinant = ludecompose(a, w, q);
    EXPECT_NEAR(double(determinant), -2.0, 1e-15);
    EXPECT_EQ(q.getvalue(1), 2);
    EXPECT_EQ(q.getvalue(2), 1);
    // Row 1 holds the multiplier 1/3 and the reduced entry 2 - 4/3.
    EXPECT_NEAR(double(w.getvalue(1, 1)), 1.0 / 3, 1e-15);
    EXPECT_NEAR(double(w.getvalue(1, 2)), 2.0 / 3, 1e-15);
    Tnumvector b(2), x;
    fill(b, {5, 11});
    lusubstitute(w, q, b, x);
    ASSERT_EQ(x.count(), 2u);
    EXPECT_FLOAT_EQ(float(x.getvalue(1)), 1.0f);
    EXPECT_FLOAT_EQ(float(x.getvalue(2)), 2.0f);
}

TEST(ludecompose, AnEmptyRowStopsWithDeterminantZero) {
    Tnummatrix a(2, 2);
    fill(a, {{0, 0}, {1, 2}});
    Tnummatrix w(2, 2);
    Tintvector q(2);
    EXPECT_EQ(ludecompose(a, w, q), 0);
    Tnummatrix b(2, 3);
    fill(b, {{1, 2, 3}, {4, 5, 6}});
    expectmessage([&] { ludecompose(b, w, q); }, "Non-square matrix");
}

TEST(ludecompose, ANegativePivotCountFlipsTheSign) {
    Tnummatrix a(2, 2);
    fill(a, {{-2, 0}, {0, 3}});
    Tnummatrix w(2, 2);
    w.setprecision(2);
    Tintvector q(2);
    EXPECT_DOUBLE_EQ(double(ludecompose(a, w, q)), -6.0);
}

TEST(safeproduct, DropsZerosAndNoise) {
    extended inf = std::numeric_limits<extended>::infinity();
    EXPECT_EQ(safeproduct(0, inf), 0);
    EXPECT_EQ(safeproduct(inf, 0), 0);
    EXPECT_EQ(safeproduct(2, 3), 6);
    EXPECT_EQ(safeproduct(1e-80L, 0.5L), 0);      // |m| <= 1 and |a| tiny
    EXPECT_EQ(safeproduct(1e-70L, 1e-5L), 0);     // product 1e-75 <= 1e-74
    EXPECT_NE(safeproduct(1e-70L, 0.1L), 0);      // product 1e-71 is kept
    EXPECT_EQ(safeproduct(1e-80L, 2.0L), 2e-80L); // |m| > 1 never drops
}

// ---------------------------------------------------------------- stop check

// A stopped run must not hand out a partly zero inverse as a result.
TEST(Tinvertmatrix, AStopBeforeTheLastColumnFailsTheRunWithoutAResult) {
    Tnummatrix a(3, 3);
    fill(a, {{2, 0, 0}, {0, 4, 0}, {0, 0, 8}});
    Trecorderui ui;
    ui.stop = true;
    Tinvertmatrix m;
    m.setmethod(Tsolvemethod::dense);
    m.setstopcheck(ui);
    EXPECT_FALSE(m.invert(a));
    EXPECT_TRUE(m.stopped());
    EXPECT_EQ(m.getstatus().singular, 0u);
    Tnummatrix inverse;
    expectmessage([&] { m.getresult(inverse); }, "Prior method not executed");
    // A stop asked only at the last poll comes after all the work.
    int polls = 0;
    Tinvertmatrix late;
    late.setmethod(Tsolvemethod::dense);
    late.setstopcheck([&] { return ++polls == 3; });
    ASSERT_TRUE(late.invert(a));
    EXPECT_FALSE(late.stopped());
    late.getresult(inverse);
    expectmatrix(inverse, {{0.5, 0, 0}, {0, 0.25, 0}, {0, 0, 0.125}}, 0);
}

TEST(Tinvertmatrix, TheSparsePathPollsTheStopCheckBetweenBatchesOnTheCallingThread) {
    const std::uint32_t n = 600;
    Tnummatrix a(n, n);
    a.reset(n, n);
    for (std::uint32_t i = 1; i <= n; ++i)
        a.setvalue(i, i, 2);
    int polls = 0;
    bool samethread = true;
    const auto caller = std::this_thread::get_id();
    Tinvertmatrix m;
    m.setmethod(Tsolvemethod::sparse);
    m.setthreads(2);
    m.setstopcheck([&] {
        ++polls;
        samethread = samethread && std::this_thread::get_id() == caller;
        return true;
    });
    EXPECT_FALSE(m.invert(a));
    EXPECT_TRUE(m.stopped());
    EXPECT_EQ(polls, 1); // after the first batch of 256 rows
    EXPECT_TRUE(samethread);
    // Without a stop the three batches are polled and the run succeeds.
    polls = 0;
    Tinvertmatrix full;
    full.setmethod(Tsolvemethod::sparse);
    full.setstopcheck([&] { return ++polls > 3; });
    ASSERT_TRUE(full.invert(a));
    EXPECT_EQ(polls, 3);
    Tnummatrix inverse;
    full.getresult(inverse);
    EXPECT_EQ(inverse.getvalue(n, n), 0.5);
}

// ---------------------------------------------------------------- paths

TEST(choosemethod, SparseFromOrderOneHundredAtATenthOfTheCells) {
    EXPECT_EQ(choosemethod(99, 10), Tsolvemethod::dense);
    EXPECT_EQ(choosemethod(100, 1000), Tsolvemethod::sparse);
    EXPECT_EQ(choosemethod(100, 1001), Tsolvemethod::dense);
    EXPECT_EQ(choosemethod(0, 0), Tsolvemethod::dense);
}

TEST(Tinvertmatrix, AutomaticTakesTheDensePathForSmallAndTheSparsePathForLargeSystems) {
    Tnummatrix a(2, 2);
    fill(a, {{2, 1}, {1, 3}});
    Tinvertmatrix small;
    ASSERT_TRUE(small.invert(a));
    EXPECT_EQ(small.methodused(), Tsolvemethod::dense);

    Tboxsystem s;
    makeboxsystem(s, 20, 5, 1);
    Tinvertmatrix large;
    large.setremoveempty(true);
    ASSERT_TRUE(large.invert(s.a));
    EXPECT_EQ(large.methodused(), Tsolvemethod::sparse);
    EXPECT_GE(large.getstatus().rows, sparseminorder);
}

TEST(Tinvertmatrix, BothPathsAgreeOnBoxSystemsWithEmptyRowsRemoved) {
    for (unsigned seed : {1u, 2u, 3u}) {
        Tboxsystem s;
        makeboxsystem(s, 24, 6, seed);
        Tnummatrix inverse[2];
        for (int k = 0; k < 2; ++k) {
            Tinvertmatrix m;
            m.setscaling(1);
            m.setremoveempty(true);
            m.setworkprecision(3);
            m.setmethod(bothpaths[k]);
            ASSERT_TRUE(m.invert(s.a));
            m.getresult(inverse[k]);
            ASSERT_EQ(inverse[k].rows(), s.n);
            ASSERT_EQ(inverse[k].cols(), s.n);
        }
        const double top = largest(inverse[1]);
        ASSERT_GT(top, 0);
        for (std::uint32_t i = 1; i <= s.n; ++i)
            for (std::uint32_t j = 1; j <= s.n; ++j) {
                double d = double(inverse[0].getvalue(i, j)), x = double(inverse[1].getvalue(i, j));
                if (!s.exists[i] || !s.exists[j]) {
                    ASSERT_EQ(x, 0) << i << "," << j;
                    ASSERT_EQ(d, 0) << i << "," << j;
                }
                ASSERT_NEAR(d, x, 1e-6 * top) << "seed " << seed << " cell " << i << "," << j;
            }
        // And the inverse is one: a times it is the identity on the boxes that exist.
        for (std::uint32_t j = 1; j <= s.n; j += 7) {
            if (!s.exists[j]) continue;
            Tnumvector column, product;
            inverse[1].getcolumn(j, column);
            matvec(s.a, column, product);
            for (std::uint32_t i = 1; i <= s.n; ++i)
                ASSERT_NEAR(double(product.getvalue(i)), i == j ? 1.0 : 0.0, 1e-5);
        }
    }
}

TEST(Tinvertmatrix, BothPathsAgreeOnReducedBoxSystemsWithoutRemoval) {
    Tboxsystem s;
    makeboxsystem(s, 16, 4, 7);
    // Only the boxes that exist, numbered 1..m.
    std::vector<std::uint32_t> index(s.n + 1, 0);
    std::uint32_t m = 0;
    for (std::uint32_t i = 1; i <= s.n; ++i)
        if (s.exists[i]) index[i] = ++m;
    Tnummatrix a(m, m);
    a.reset(m, m);
    s.a.foreachnonzero(
        [&](std::uint32_t i, std::uint32_t j, extended x) { a.setvalue(index[i], index[j], x); });
    Tnummatrix inverse[2];
    for (int k = 0; k < 2; ++k) {
        Tinvertmatrix inv;
        inv.setscaling(1);
        inv.setworkprecision(3);
        inv.setmethod(bothpaths[k]);
        ASSERT_TRUE(inv.invert(a));
        inv.getresult(inverse[k]);
    }
    const double top = largest(inverse[1]);
    for (std::uint32_t i = 1; i <= m; ++i)
        for (std::uint32_t j = 1; j <= m; ++j)
            ASSERT_NEAR(double(inverse[0].getvalue(i, j)), double(inverse[1].getvalue(i, j)),
                        1e-6 * top);
}

TEST(Tsolveequations, BothPathsAgreeOnBoxSystems) {
    for (unsigned seed : {4u, 5u}) {
        Tboxsystem s;
        makeboxsystem(s, 30, 8, seed);
        Tnumvector emission(s.n);
        emission.reset(s.n);
        emission.setvalue(1, 1.0L); // air of region 1
        emission.setvalue(12 * 3 + 5, 2.0L);
        Tnumvector x[2];
        for (int k = 0; k < 2; ++k) {
            Tsolveequations solver;
            solver.setscaling(1);
            solver.setremoveempty(true);
            solver.setworkprecision(3);
            solver.setmethod(bothpaths[k]);
            ASSERT_TRUE(solver.solve(s.a, emission));
            solver.getresult(x[k]);
            ASSERT_EQ(x[k].count(), s.n);
        }
        double top = 0;
        for (std::uint32_t i = 1; i <= s.n; ++i)
            top = std::max(top, std::fabs(double(x[1].getvalue(i))));
        for (std::uint32_t i = 1; i <= s.n; ++i) {
            ASSERT_NEAR(double(x[0].getvalue(i)), double(x[1].getvalue(i)), 1e-6 * top) << i;
            // Unknowns of missing boxes read 0; every existing box receives
            // some of the emission (air connects all), and the system is a
            // loss matrix, so its concentration is negative.
            if (s.exists[i]) {
                ASSERT_LT(x[1].getvalue(i), 0) << i;
            } else {
                ASSERT_EQ(x[1].getvalue(i), 0) << i;
            }
        }
    }
}

TEST(Tinvertmatrix, ADecoupledClosedPairIsSingularOnBothPaths) {
    // Boxes 1 and 2 exchange with each other and lose nothing: their two
    // columns sum to zero, and nothing else touches them.
    Tboxsystem s;
    makeboxsystem(s, 12, 3, 9);
    const std::uint32_t n = s.n + 2;
    Tnummatrix a(n, n);
    a.reset(n, n);
    s.a.foreachnonzero(
        [&](std::uint32_t i, std::uint32_t j, extended x) { a.setvalue(i + 2, j + 2, x); });
    a.setvalue(1, 1, -1);
    a.setvalue(2, 1, 1);
    a.setvalue(1, 2, 1);
    a.setvalue(2, 2, -1);
    for (Tsolvemethod method : bothpaths) {
        Tinvertmatrix m;
        m.setscaling(1);
        m.setremoveempty(true);
        m.setworkprecision(3);
        m.setmethod(method);
        EXPECT_FALSE(m.invert(a)) << int(method);
        EXPECT_EQ(m.getstatus().singular, 1u);
        Tsolveequations solver;
        solver.setremoveempty(true);
        solver.setmethod(method);
        Tnumvector b(n);
        b.reset(n);
        b.setvalue(3, 1);
        EXPECT_FALSE(solver.solve(a, b)) << int(method);
    }
}

TEST(Tinvertmatrix, TheSparsePathFindsAClosedSystemSingular) {
    // No box loses anything: with flows in eighths every column sums to
    // exactly zero, so the matrix is singular as stored, and elimination
    // leaves a last pivot of rounding noise. The dense path may take that
    // noise for a pivot; the sparse path measures it against its column.
    Tboxsystem s;
    makeboxsystem(s, 12, 3, 11);
    Tnummatrix& a = s.a;
    for (std::uint32_t j = 1; j <= s.n; ++j) {
        if (!s.exists[j]) continue;
        extended sum = 0;
        for (std::uint32_t i = 1; i <= s.n; ++i)
            if (i != j && a.getvalue(i, j) != 0) {
                extended x = std::max(1.0L, std::round(a.getvalue(i, j) * 8)) / 8;
                a.setvalue(i, j, x);
                sum += x;
            }
        a.setvalue(j, j, -sum);
    }
    Tinvertmatrix m;
    m.setremoveempty(true);
    m.setmethod(Tsolvemethod::sparse);
    EXPECT_FALSE(m.invert(a));
}

TEST(Tinvertmatrix, SparseInversionOnOneOrTwoThreadsIsIdentical) {
    Tboxsystem s;
    makeboxsystem(s, 40, 10, 3);
    Tnummatrix inverse[2];
    for (unsigned threads : {1u, 2u}) {
        Tinvertmatrix m;
        m.setremoveempty(true);
        m.setmethod(Tsolvemethod::sparse);
        m.setthreads(threads);
        ASSERT_TRUE(m.invert(s.a));
        m.getresult(inverse[threads - 1]);
    }
    for (std::uint32_t i = 1; i <= s.n; ++i)
        for (std::uint32_t j = 1; j <= s.n; ++j)
            ASSERT_EQ(inverse[0].getvalue(i, j), inverse[1].getvalue(i, j));
}

TEST(Tinvertmatrix, SparseStoredInputGivesTheSameInverse) {
    Tboxsystem s;
    makeboxsystem(s, 10, 2, 5);
    Tnummatrix indexed(s.n, s.n), listed(s.n, s.n);
    indexed.setstorage(indexedsparse);
    listed.setstorage(listedsparse);
    indexed.reset(s.n, s.n);
    listed.reset(s.n, s.n);
    s.a.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
        indexed.setvalue(i, j, x);
        listed.setvalue(i, j, x);
    });
    Tnummatrix reference, fromindexed, fromlisted;
    for (auto [source, target] : {std::pair<Tnummatrix*, Tnummatrix*>{&s.a, &reference},
                                  {&indexed, &fromindexed},
                                  {&listed, &fromlisted}}) {
        Tinvertmatrix m;
        m.setremoveempty(true);
        m.setscaling(1);
        ASSERT_TRUE(m.invert(*source));
        m.getresult(*target);
    }
    // Only the order in which the cells are met differs (and with it the
    // last bits of the scale sums).
    ASSERT_EQ(fromindexed.rows(), s.n);
    ASSERT_EQ(fromlisted.cols(), s.n);
    for (std::uint32_t i = 1; i <= s.n; ++i)
        for (std::uint32_t j = 1; j <= s.n; ++j) {
            ASSERT_FLOAT_EQ(float(reference.getvalue(i, j)), float(fromindexed.getvalue(i, j)));
            ASSERT_FLOAT_EQ(float(reference.getvalue(i, j)), float(fromlisted.getvalue(i, j)));
        }
}

// ---------------------------------------------------------------- library

TEST(copymatrix, CopiesRegionAndValuesIntoAnyStorage) {
    Tnummatrix s(3, 2);
    fill(s, {{1, 0}, {0, 2.5}, {-3, 0}});
    Tnummatrix dense;
    copymatrix(s, dense);
    expectmatrix(dense, {{1, 0}, {0, 2.5}, {-3, 0}}, 0);
    Tnummatrix listed;
    listed.setstorage(listedsparse);
    copymatrix(s, listed);
    expectmatrix(listed, {{1, 0}, {0, 2.5}, {-3, 0}}, 0);
    EXPECT_EQ(listed.itemcount(), 3u);
    Tnummatrix tooSmall(2, 2);
    EXPECT_THROW(copymatrix(s, tooSmall), ERangeError);
}

TEST(copyvector, CopiesCountAndValues) {
    Tnumvector s(3), d;
    fill(s, {1, 0, -2});
    d.setvalue(7, 9);
    copyvector(s, d);
    EXPECT_EQ(d.count(), 3u);
    EXPECT_EQ(d.getvalue(1), 1);
    EXPECT_EQ(d.getvalue(2), 0);
    EXPECT_EQ(d.getvalue(3), -2);
}

TEST(matmul, MultipliesOverNonZeroProductsOnly) {
    Tnummatrix a(2, 3), b(3, 2), c;
    fill(a, {{1, 2, 0}, {0, 1, 4}});
    fill(b, {{1, 0}, {3, 1}, {0, 2}});
    matmul(a, b, c);
    expectmatrix(c, {{7, 2}, {3, 9}}, 0);
    // An infinite factor meets only zeros: skipped, not NaN.
    Tnummatrix x(1, 2), y(2, 1), z;
    x.reset(1, 2);
    x.setvalue(1, 1, std::numeric_limits<extended>::infinity());
    x.setvalue(1, 2, 1);
    fill(y, {{0}, {2}});
    matmul(x, y, z);
    EXPECT_EQ(z.getvalue(1, 1), 2);
}

TEST(matmul, ChecksDimensionsAndTheTarget) {
    Tnummatrix a(2, 3), b(2, 2), c;
    fill(a, {{1, 2, 3}, {4, 5, 6}});
    fill(b, {{1, 0}, {0, 1}});
    expectmessage([&] { matmul(a, b, c); }, "Arrays of incompatible dimension");
    Tnummatrix d(3, 3), small(1, 1);
    fill(d, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    EXPECT_THROW(matmul(a, d, small), ERangeError);
}

TEST(matmul, SparseOperandsGiveTheSameProduct) {
    Tnummatrix a, b, c;
    a.setstorage(listedsparse);
    b.setstorage(indexedsparse);
    // Items stored out of order.
    a.setvalue(2, 3, 4);
    a.setvalue(1, 1, 1);
    a.setvalue(2, 2, 1);
    a.setvalue(1, 2, 2);
    b.setvalue(3, 2, 2);
    b.setvalue(1, 1, 1);
    b.setvalue(2, 1, 3);
    b.setvalue(2, 2, 1);
    matmul(a, b, c);
    expectmatrix(c, {{7, 2}, {3, 9}}, 0);
}

TEST(matmul, TheTargetMayBeEitherFactor) {
    for (std::uint8_t kind : {std::uint8_t(dense), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tnummatrix a(2, 2), b(2, 2);
        a.setstorage(kind);
        fill(a, {{1, 2}, {3, 4}});
        fill(b, {{0, 1}, {1, 0}});
        matmul(a, b, a); // a * b swaps the columns of a
        expectmatrix(a, {{2, 1}, {4, 3}}, 0);
        matmul(b, a, a); // b * a swaps its rows
        expectmatrix(a, {{4, 3}, {2, 1}}, 0);
        matmul(b, b, b);
        expectmatrix(b, {{1, 0}, {0, 1}}, 0);
    }
}

TEST(matvec, SumsOverNonZeroCellsOnly) {
    Tnummatrix a(2, 2);
    fill(a, {{1, 0}, {0, 2}});
    Tnumvector x(2), y;
    x.reset(2);
    x.setvalue(1, std::numeric_limits<extended>::quiet_NaN());
    x.setvalue(2, 3);
    matvec(a, x, y);
    ASSERT_EQ(y.count(), 2u);
    EXPECT_TRUE(std::isnan(double(y.getvalue(1))));
    EXPECT_EQ(y.getvalue(2), 6); // a(2, 1) = 0 skips the NaN
}

TEST(matvec, ChecksDimensionsAndTheTarget) {
    Tnummatrix a(2, 3);
    fill(a, {{1, 2, 3}, {4, 5, 6}});
    Tnumvector x(2), y;
    fill(x, {1, 1});
    expectmessage([&] { matvec(a, x, y); }, "Arrays of incompatible dimension");
    Tnumvector z(3), small(1);
    fill(z, {1, 1, 1});
    EXPECT_THROW(matvec(a, z, small), ERangeError);
    matvec(a, z, y);
    EXPECT_EQ(y.getvalue(1), 6);
    EXPECT_EQ(y.getvalue(2), 15);
}

TEST(matvec, ListedSparseMatchesDense) {
    Tnummatrix a;
    a.setstorage(listedsparse);
    a.setvalue(2, 1, 4);
    a.setvalue(1, 3, 2);
    a.setvalue(1, 1, 1);
    Tnumvector x(3), y;
    fill(x, {1, 10, 100});
    matvec(a, x, y);
    EXPECT_EQ(y.getvalue(1), 201);
    EXPECT_EQ(y.getvalue(2), 4);
}
