#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "numeric/sparselu.h"

using namespace velmora;

namespace {

// A matrix from dense rows (0 means no entry).
Tsparsecolumns frommatrix(const std::vector<std::vector<double>>& rows) {
    std::vector<std::int32_t> r, c;
    std::vector<double> v;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            if (rows[i][j] != 0) {
                r.push_back(std::int32_t(i));
                c.push_back(std::int32_t(j));
                v.push_back(rows[i][j]);
            }
    return Tsparsecolumns::fromtriplets(std::int32_t(rows.size()), r, c, v);
}

// A column diagonally dominant matrix on a grid of side x side cells, each
// exchanging with its four neighbours (flows one way and back), plus a loss.
Tsparsecolumns gridsystem(std::int32_t side, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.1, 10.0);
    const std::int32_t n = side * side;
    std::vector<std::int32_t> r, c;
    std::vector<double> v;
    std::vector<double> out(n, 0.0);
    auto flow = [&](std::int32_t from, std::int32_t to) {
        double x = unit(rng);
        r.push_back(to);
        c.push_back(from);
        v.push_back(x);
        out[from] += x;
    };
    for (std::int32_t y = 0; y < side; ++y)
        for (std::int32_t x = 0; x < side; ++x) {
            std::int32_t k = y * side + x;
            if (x + 1 < side) {
                flow(k, k + 1);
                flow(k + 1, k);
            }
            if (y + 1 < side) {
                flow(k, k + side);
                flow(k + side, k);
            }
        }
    for (std::int32_t k = 0; k < n; ++k) {
        r.push_back(k);
        c.push_back(k);
        v.push_back(-(out[k] + unit(rng) * 0.1));
    }
    return Tsparsecolumns::fromtriplets(n, r, c, v);
}

std::vector<double> multiply(const Tsparsecolumns& a, const std::vector<double>& x) {
    std::vector<double> y(a.n, 0.0);
    for (std::int32_t j = 0; j < a.n; ++j)
        for (std::int32_t p = a.colstart[j]; p < a.colstart[j + 1]; ++p)
            y[a.rowindex[p]] += a.values[p] * x[j];
    return y;
}

bool ispermutation(std::vector<std::int32_t> order, std::int32_t n) {
    if (std::int32_t(order.size()) != n) return false;
    std::sort(order.begin(), order.end());
    for (std::int32_t k = 0; k < n; ++k)
        if (order[k] != k) return false;
    return true;
}

} // namespace

TEST(Tsparsecolumns, TripletsAreSortedByColumnAndRowAndDuplicatesAdded) {
    Tsparsecolumns a = Tsparsecolumns::fromtriplets(3, {2, 0, 1, 0, 2}, {0, 0, 2, 0, 1},
                                                    {5.0, 1.0, 7.0, 2.0, 4.0});
    EXPECT_EQ(a.colstart, (std::vector<std::int32_t>{0, 2, 3, 4}));
    EXPECT_EQ(a.rowindex, (std::vector<std::int32_t>{0, 2, 2, 1}));
    EXPECT_EQ(a.values, (std::vector<double>{3.0, 5.0, 4.0, 7.0}));
    EXPECT_EQ(a.nonzeros(), 4u);
}

TEST(minimumdegreeorder, EliminatesTheLeavesOfAStarBeforeItsCentre) {
    // Node 0 is joined to every other node: eliminating it first would join
    // all the others into one clique. Minimum degree keeps it for the end.
    std::vector<std::vector<double>> rows(6, std::vector<double>(6, 0.0));
    for (int i = 0; i < 6; ++i) {
        rows[i][i] = 10;
        rows[0][i] = rows[i][0] = 1;
    }
    Tsparsecolumns a = frommatrix(rows);
    std::vector<std::int32_t> order = minimumdegreeorder(a);
    ASSERT_TRUE(ispermutation(order, 6));
    auto centre = std::find(order.begin(), order.end(), 0) - order.begin();
    EXPECT_GE(centre, 4); // among the last two, which form a clique
    // No fill: L and U hold exactly the entries of a.
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    EXPECT_EQ(lu.lnonzeros() + lu.unonzeros(), a.nonzeros());
}

TEST(minimumdegreeorder, HandlesEmptyAndDiagonalMatrices) {
    Tsparsecolumns empty = Tsparsecolumns::fromtriplets(0, {}, {}, {});
    EXPECT_TRUE(minimumdegreeorder(empty).empty());
    Tsparsecolumns diagonal = frommatrix({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}});
    EXPECT_TRUE(ispermutation(minimumdegreeorder(diagonal), 3));
}

TEST(minimumdegreeorder, KeepsFillLowOnAGrid) {
    // A 30 x 30 grid: the natural (row by row) order fills a band of width
    // 30 in L and U, about 2 * 900 * 30 entries; minimum degree does far
    // better.
    Tsparsecolumns a = gridsystem(30, 1);
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    EXPECT_LT(lu.lnonzeros() + lu.unonzeros(), 30000u);
    EXPECT_EQ(lu.offdiagonalpivots(), 0);
}

TEST(Tsparselu, SolvesATridiagonalSystem) {
    // [[4, 1, 0], [1, 4, 1], [0, 1, 4]] x = (5, 6, 5) has x = (1, 1, 1).
    Tsparsecolumns a = frommatrix({{4, 1, 0}, {1, 4, 1}, {0, 1, 4}});
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    EXPECT_EQ(lu.order(), 3);
    std::vector<double> b{5, 6, 5}, work(3);
    lu.solve(b.data(), work.data());
    for (double x : b)
        EXPECT_NEAR(x, 1.0, 1e-15);
}

TEST(Tsparselu, SolvesTheTransposedSystem) {
    // a = [[2, 0], [1, 4]]: a^T x = (4, 8) has x = (1, 2).
    Tsparsecolumns a = frommatrix({{2, 0}, {1, 4}});
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    std::vector<double> b{4, 8}, work(2);
    lu.solvetransposed(b.data(), work.data());
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 2.0);
}

TEST(Tsparselu, PivotsOffTheDiagonalWhenTheDiagonalIsZero) {
    // [[0, 2], [3, 0]] x = (4, 3) has x = (1, 2).
    Tsparsecolumns a = frommatrix({{0, 2}, {3, 0}});
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    EXPECT_GE(lu.offdiagonalpivots(), 1);
    std::vector<double> b{4, 3}, work(2);
    lu.solve(b.data(), work.data());
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 2.0);
}

TEST(Tsparselu, PivotsOffTheDiagonalWhenTheDiagonalIsSmall) {
    // The diagonal 1e-3 is below a tenth of the 1 beneath it.
    Tsparsecolumns a = frommatrix({{1e-3, 1, 0}, {1, 1, 1}, {0, 1, 3}});
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    EXPECT_GE(lu.offdiagonalpivots(), 1);
    std::vector<double> x{1, -2, 3};
    std::vector<double> b = multiply(a, x), work(3);
    lu.solve(b.data(), work.data());
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(b[i], x[i], 1e-14);
}

TEST(Tsparselu, ReportsExactSingularity) {
    Tsparselu lu;
    EXPECT_FALSE(lu.factorise(frommatrix({{1, 1}, {1, 1}})));
    EXPECT_EQ(lu.singularstep(), 1);
    // A column without entries.
    EXPECT_FALSE(lu.factorise(frommatrix({{1, 0, 2}, {0, 0, 3}, {4, 0, 5}})));
    // A matrix that was singular before: a fresh factorisation forgets it.
    EXPECT_TRUE(lu.factorise(frommatrix({{1, 0}, {0, 1}})));
    EXPECT_EQ(lu.singularstep(), -1);
}

TEST(Tsparselu, ReportsNonFiniteEntriesAsSingular) {
    Tsparselu lu;
    EXPECT_FALSE(lu.factorise(frommatrix({{1, 0}, {0, std::nan("")}})));
    EXPECT_FALSE(lu.factorise(frommatrix({{1, HUGE_VAL}, {0, 1}})));
}

TEST(Tsparselu, ReportsAPivotOfRoundingNoiseAsSingular) {
    // Rows 1 + 2 = row 3 in inexact decimals: elimination leaves noise of
    // about 1e-16 where the exact value is 0.
    Tsparsecolumns a = frommatrix({{0.1, 0.7, 0.3}, {0.2, 0.3, 0.9}, {0.3, 1.0, 1.2}});
    Tsparselu lu;
    EXPECT_FALSE(lu.factorise(a));
    // Far from that, a merely ill-conditioned matrix is accepted.
    Tsparsecolumns b = frommatrix({{1, 1}, {1, 1 + 1e-9}});
    EXPECT_TRUE(lu.factorise(b));
}

TEST(Tsparselu, ASmallPivotOfABadlyScaledRowIsNoNoise) {
    // Row 1 is 1e13 times row 2 in size; the pivot 1 of column 2 is tiny
    // against the column but involves no cancellation at all.
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(frommatrix({{1e13, 1e13}, {0, 1}})));
    std::vector<double> b{2e13, 1}, work(2);
    lu.solve(b.data(), work.data());
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 1.0);
    EXPECT_TRUE(lu.factorise(frommatrix({{1, 1e13}, {0, 1}})));
    EXPECT_TRUE(lu.factorise(frommatrix({{1e-30, 0}, {0, 1e30}})));
}

TEST(Tsparselu, SolvesAGridSystemToDoublePrecision) {
    Tsparsecolumns a = gridsystem(20, 2);
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    std::vector<double> x(a.n);
    for (std::int32_t i = 0; i < a.n; ++i)
        x[i] = std::sin(0.1 * i) + 2;
    std::vector<double> b = multiply(a, x), work(a.n);
    lu.solve(b.data(), work.data());
    for (std::int32_t i = 0; i < a.n; ++i)
        ASSERT_NEAR(b[i], x[i], 1e-11 * std::fabs(x[i]));
}

TEST(Tsparselu, InvertsIntoTheNamedRowsAndColumnsWithRowFactors) {
    // a = [[2, 0, 0], [1, 4, 0], [0, 0, 8]], inverse [[0.5, 0, 0], [-0.125, 0.25, 0], [0, 0,
    // 0.125]].
    Tsparsecolumns a = frommatrix({{2, 0, 0}, {1, 4, 0}, {0, 0, 8}});
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    // Unknowns go to table rows 3, 0, 1; equations to table columns 1, 3, 0.
    std::vector<std::int32_t> rowof{3, 0, 1}, colof{1, 3, 0};
    std::vector<double> factor{1, 2, 10};
    std::vector<float> table(4 * 5, -1.0f);
    Tinversetarget target;
    target.table = table.data();
    target.stride = 5;
    target.rowof = rowof.data();
    target.colof = colof.data();
    target.rowfactor = factor.data();
    EXPECT_EQ(lu.invert(target, 1, nullptr), 3);
    auto cell = [&](int r, int c) { return table[std::size_t(r) * 5 + c]; };
    // Inverse row 0 (factor 1) in table row 3: equation 0 -> column 1.
    EXPECT_FLOAT_EQ(cell(3, 1), 0.5f);
    EXPECT_FLOAT_EQ(cell(3, 3), 0.0f);
    EXPECT_FLOAT_EQ(cell(3, 0), 0.0f);
    // Inverse row 1 (factor 2) in table row 0.
    EXPECT_FLOAT_EQ(cell(0, 1), -0.25f);
    EXPECT_FLOAT_EQ(cell(0, 3), 0.5f);
    EXPECT_FLOAT_EQ(cell(0, 0), 0.0f);
    // Inverse row 2 (factor 10) in table row 1.
    EXPECT_FLOAT_EQ(cell(1, 0), 1.25f);
    EXPECT_FLOAT_EQ(cell(1, 1), 0.0f);
    // Cells no pair names are untouched: column 2, column 4 and table row 2.
    EXPECT_EQ(cell(0, 2), -1.0f);
    EXPECT_EQ(cell(1, 4), -1.0f);
    EXPECT_EQ(cell(2, 0), -1.0f);
}

TEST(Tsparselu, InverseTimesMatrixIsTheIdentity) {
    Tsparsecolumns a = gridsystem(15, 3);
    const std::int32_t n = a.n;
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    std::vector<std::int32_t> identity(n);
    for (std::int32_t i = 0; i < n; ++i)
        identity[i] = i;
    std::vector<float> inverse(std::size_t(n) * n, 0.0f);
    Tinversetarget target;
    target.table = inverse.data();
    target.stride = std::size_t(n);
    target.rowof = identity.data();
    target.colof = identity.data();
    EXPECT_EQ(lu.invert(target, 2, nullptr), n);
    // Column j of the inverse solves a x = e_j.
    for (std::int32_t j = 0; j < n; j += 11) {
        std::vector<double> x(n);
        for (std::int32_t i = 0; i < n; ++i)
            x[i] = inverse[std::size_t(i) * n + j];
        std::vector<double> y = multiply(a, x);
        for (std::int32_t i = 0; i < n; ++i)
            ASSERT_NEAR(y[i], i == j ? 1.0 : 0.0, 1e-5);
    }
}

TEST(Tsparselu, TheInverseDoesNotDependOnTheNumberOfThreads) {
    Tsparsecolumns a = gridsystem(18, 4);
    const std::int32_t n = a.n;
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    std::vector<std::int32_t> identity(n);
    for (std::int32_t i = 0; i < n; ++i)
        identity[i] = i;
    std::vector<float> one(std::size_t(n) * n), three(std::size_t(n) * n);
    Tinversetarget target;
    target.stride = std::size_t(n);
    target.rowof = identity.data();
    target.colof = identity.data();
    target.table = one.data();
    lu.invert(target, 1, nullptr);
    target.table = three.data();
    lu.invert(target, 3, nullptr);
    EXPECT_EQ(one, three);
}

TEST(Tsparselu, AStopEndsTheInversionAfterABatch) {
    Tsparsecolumns a = gridsystem(25, 5); // 625 unknowns: three batches of 256
    const std::int32_t n = a.n;
    Tsparselu lu;
    ASSERT_TRUE(lu.factorise(a));
    std::vector<std::int32_t> identity(n);
    for (std::int32_t i = 0; i < n; ++i)
        identity[i] = i;
    std::vector<float> inverse(std::size_t(n) * n, 0.0f);
    Tinversetarget target;
    target.table = inverse.data();
    target.stride = std::size_t(n);
    target.rowof = identity.data();
    target.colof = identity.data();
    int polls = 0;
    EXPECT_EQ(lu.invert(target, 2, [&] { return ++polls == 2; }), 512);
    EXPECT_EQ(polls, 2);
    std::int32_t rowsdone = 0;
    for (std::int32_t i = 0; i < n; ++i)
        if (inverse[std::size_t(i) * n + i] != 0) ++rowsdone;
    EXPECT_EQ(rowsdone, 512);
    // Without a stop every batch is polled once, the last one too.
    polls = 0;
    EXPECT_EQ(lu.invert(target, 2, [&] { return ++polls == 0; }), n);
    EXPECT_EQ(polls, 3);
}
