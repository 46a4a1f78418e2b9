// Products of a sparse left factor with a large dense table, the shape of
// the exposure factors times the fate factors: the result is made in column
// tiles shared out over the cores, and must equal the plain sum over k.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "numeric/inversion.h"

using namespace velmora;

namespace {

// a: rows x inner with a few items per row (row 3 empty, one infinite item);
// b: inner x cols, mostly filled, its row 5 zero over the first tile.
void fillproblem(Tnummatrix& a, Tnummatrix& b, std::uint32_t rows, std::uint32_t inner,
                 std::uint32_t cols) {
    a.reset(rows, inner);
    for (std::uint32_t i = 1; i <= rows; ++i) {
        if (i == 3) continue;
        for (std::uint32_t k = 1; k <= inner; ++k)
            if ((i * 7 + k * 3) % 5 == 0) a.setvalue(i, k, 0.001 * ((i * k) % 97 + 1));
    }
    b.reset(inner, cols);
    for (std::uint32_t k = 1; k <= inner; ++k)
        for (std::uint32_t j = 1; j <= cols; ++j)
            if ((k + j) % 4 != 0 && !(k == 5 && j <= 64))
                b.setvalue(k, j, 1.0f / float((k * 13 + j * 7) % 101 + 1));
    a.setvalue(2, 5, std::numeric_limits<extended>::infinity());
}

// Every cell's sum over k in increasing order, in double precision, of the
// non-zero products; row by row.
std::vector<double> plain(const Tnummatrix& a, const Tnummatrix& b) {
    const std::uint32_t rows = a.rows(), inner = a.cols(), cols = b.cols();
    std::vector<double> x(std::size_t(rows) * inner), y(std::size_t(inner) * cols);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t k = 0; k < inner; ++k)
            x[i * inner + k] = static_cast<double>(a.getvalue(i + 1, k + 1));
    for (std::uint32_t k = 0; k < inner; ++k)
        for (std::uint32_t j = 0; j < cols; ++j)
            y[k * cols + j] = static_cast<double>(b.getvalue(k + 1, j + 1));
    std::vector<double> c(std::size_t(rows) * cols, 0);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < cols; ++j) {
            double s = 0;
            for (std::uint32_t k = 0; k < inner; ++k)
                if (x[i * inner + k] != 0 && y[k * cols + j] != 0)
                    s += x[i * inner + k] * y[k * cols + j];
            c[i * cols + j] = s;
        }
    return c;
}

} // namespace

TEST(matmultiles, ALargeProductEqualsThePlainSumInEveryCell) {
    // Large enough to be shared out over the cores, with a last tile that is
    // not full.
    const std::uint32_t rows = 40, inner = 600, cols = 1000;
    Tnummatrix a(rows, inner), b(inner, cols), c(rows, cols);
    fillproblem(a, b, rows, inner, cols);
    matmul(a, b, c);
    ASSERT_EQ(c.rows(), rows);
    ASSERT_EQ(c.cols(), cols);
    const std::vector<double> expected = plain(a, b);
    for (std::uint32_t i = 1; i <= rows; ++i)
        for (std::uint32_t j = 1; j <= cols; ++j)
            ASSERT_EQ(c.getvalue(i, j), static_cast<float>(expected[(i - 1) * cols + j - 1]))
                << i << "," << j;
    EXPECT_TRUE(std::isinf(c.getvalue(2, 65)));
    EXPECT_TRUE(std::isfinite(c.getvalue(2, 64)));
    EXPECT_EQ(c.getvalue(3, 10), 0);
}

TEST(matmultiles, SparseTargetsAndMostlyEmptyTablesGiveTheSameProduct) {
    const std::uint32_t rows = 20, inner = 200, cols = 300;
    Tnummatrix a(rows, inner), b(inner, cols), dense(rows, cols);
    fillproblem(a, b, rows, inner, cols);
    matmul(a, b, dense);
    // A result that is not a dense table is stored cell by cell.
    Tnummatrix listed;
    listed.setstorage(listedsparse);
    matmul(a, b, listed);
    for (std::uint32_t i = 1; i <= rows; ++i)
        for (std::uint32_t j = 1; j <= cols; j += 7)
            ASSERT_EQ(listed.getvalue(i, j), dense.getvalue(i, j)) << i << "," << j;
    // A dense table with a few items per row goes through its item lists.
    Tnummatrix thin(inner, cols), product(rows, cols);
    thin.reset(inner, cols);
    for (std::uint32_t k = 1; k <= inner; ++k)
        thin.setvalue(k, (k * 37) % cols + 1, 0.5f * float(k));
    matmul(a, thin, product);
    const std::vector<double> expected = plain(a, thin);
    for (std::uint32_t i = 1; i <= rows; ++i)
        for (std::uint32_t j = 1; j <= cols; ++j)
            ASSERT_FLOAT_EQ(product.getvalue(i, j),
                            static_cast<float>(expected[(i - 1) * cols + j - 1]))
                << i << "," << j;
}
