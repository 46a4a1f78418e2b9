#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "numeric/matrices.h"

using namespace velmora;

namespace {

struct Titem {
    std::uint32_t row, col;
    extended value;
    bool operator==(const Titem& o) const {
        return row == o.row && col == o.col && value == o.value;
    }
};

std::vector<Titem> items(const Tnummatrix& m) {
    std::vector<Titem> out;
    m.foreachnonzero([&](std::uint32_t r, std::uint32_t c, extended x) {
        out.push_back({r, c, x});
    });
    return out;
}

// The value as the storage precision keeps it.
extended rounded(extended x, std::uint8_t precision) {
    switch (precision) {
    case precsingle:
        return static_cast<float>(x);
    case precdouble:
        return static_cast<double>(x);
    default:
        return x;
    }
}

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

Tnummatrix* make(std::uint8_t storage, std::uint8_t precision, bool expandable, std::uint32_t r = 0,
                 std::uint32_t c = 0) {
    Tnummatrix* m = expandable ? new Tnummatrix() : new Tnummatrix(r, c);
    m->setprecision(precision);
    m->setstorage(storage);
    return m;
}

} // namespace

// ---- every storage kind at every precision ---------------------------------

class TnummatrixKinds : public ::testing::TestWithParam<std::tuple<std::uint8_t, std::uint8_t>> {
protected:
    std::uint8_t storage() const { return std::get<0>(GetParam()); }
    std::uint8_t precision() const { return std::get<1>(GetParam()); }
    std::unique_ptr<Tnummatrix> expandable() {
        return std::unique_ptr<Tnummatrix>(make(storage(), precision(), true));
    }
    std::unique_ptr<Tnummatrix> fixed(std::uint32_t r, std::uint32_t c) {
        return std::unique_ptr<Tnummatrix>(make(storage(), precision(), false, r, c));
    }
};

TEST_P(TnummatrixKinds, NewMatrixIsEmptyWithItsKindAndPrecision) {
    auto m = fixed(4, 6);
    EXPECT_EQ(m->storage(), storage());
    EXPECT_EQ(m->precision(), precision());
    EXPECT_EQ(m->rows(), 0u);
    EXPECT_EQ(m->cols(), 0u);
    EXPECT_EQ(m->rowcapacity(), 4u);
    EXPECT_EQ(m->colcapacity(), 6u);
    EXPECT_FALSE(m->expandable());
    EXPECT_EQ(m->maxrow(), 4u);
    EXPECT_EQ(m->maxcol(), 6u);
    EXPECT_EQ(m->itemcount(), 0u);
    EXPECT_EQ(m->itemcapacity(), storage() == dense ? 0u : 10u);
    auto e = expandable();
    EXPECT_TRUE(e->expandable());
    EXPECT_EQ(e->rowcapacity(), 5u);
    EXPECT_EQ(e->colcapacity(), 5u);
    EXPECT_EQ(e->maxrow(), 2147483647u);
    EXPECT_EQ(e->maxcol(), 2147483647u);
}

TEST_P(TnummatrixKinds, ExpandableGrowsExactlyToTheStoredCellAndFillsZeros) {
    auto m = expandable();
    m->setvalue(7, 3, 2.5L);
    EXPECT_EQ(m->rowcapacity(), 7u);
    EXPECT_EQ(m->colcapacity(), 5u);
    EXPECT_EQ(m->rows(), 7u);
    EXPECT_EQ(m->cols(), 3u);
    for (std::uint32_t i = 1; i <= 7; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), (i == 7 && j == 3) ? 2.5L : 0) << i << "," << j;
    m->setvalue(2, 9, -1.0L);
    EXPECT_EQ(m->rowcapacity(), 7u);
    EXPECT_EQ(m->colcapacity(), 9u);
    EXPECT_EQ(m->cols(), 9u);
    EXPECT_EQ(m->getvalue(7, 3), 2.5L);
    EXPECT_EQ(m->getvalue(2, 9), -1.0L);
    EXPECT_EQ(m->getvalue(7, 9), 0);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 2u);
    }
}

TEST_P(TnummatrixKinds, ReadsAreCheckedAgainstTheRegionInUse) {
    auto m = fixed(10, 10);
    m->setvalue(3, 2, 1.0L);
    EXPECT_THROW(m->getvalue(4, 1), ERangeError);
    EXPECT_THROW(m->getvalue(1, 3), ERangeError);
    EXPECT_THROW(m->getvalue(0, 1), ERangeError);
    EXPECT_THROW(m->getvalue(1, 0), ERangeError);
    EXPECT_EQ(message([&] { m->getvalue(4, 1); }), "Range check error");
    EXPECT_THROW(m->addvalue(4, 1, 1), ERangeError);
    EXPECT_THROW(m->mulvalue(1, 3, 2), ERangeError);
}

TEST_P(TnummatrixKinds, FixedMatrixRefusesStoresBeyondItsCapacityAndStaysUnchanged) {
    auto m = fixed(2, 3);
    m->setvalue(2, 3, 4.0L);
    EXPECT_THROW(m->setvalue(3, 1, 1.0L), ERangeError);
    EXPECT_THROW(m->setvalue(1, 4, 1.0L), ERangeError);
    EXPECT_THROW(m->setvalue(0, 1, 1.0L), ERangeError);
    EXPECT_THROW(m->setvalue(1, 0, 1.0L), ERangeError);
    EXPECT_EQ(m->rows(), 2u);
    EXPECT_EQ(m->cols(), 3u);
    EXPECT_EQ(m->getvalue(2, 3), 4.0L);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 1u);
    }
}

TEST_P(TnummatrixKinds, StoresRoundToTheStoragePrecision) {
    auto m = fixed(3, 3);
    m->setvalue(1, 1, 0.1L);
    m->setvalue(2, 2, 1.0L / 3.0L);
    m->setvalue(3, 3, 1e-40L);
    EXPECT_EQ(m->getvalue(1, 1), rounded(0.1L, precision()));
    EXPECT_EQ(m->getvalue(2, 2), rounded(1.0L / 3.0L, precision()));
    EXPECT_EQ(m->getvalue(3, 3), rounded(1e-40L, precision()));
    EXPECT_EQ(m->getvalue_nocheck(2, 2), rounded(1.0L / 3.0L, precision()));
}

TEST_P(TnummatrixKinds, ZeroRemovesAnItemAndNonZeroTestsFollowTheItems) {
    auto m = fixed(3, 3);
    m->setvalue(1, 2, 5.0L);
    m->setvalue(3, 3, -2.0L);
    EXPECT_TRUE(m->isnonzero(1, 2));
    EXPECT_FALSE(m->iszero(1, 2));
    EXPECT_TRUE(m->iszero(2, 2));
    m->setvalue(1, 2, 0.0L);
    EXPECT_TRUE(m->iszero(1, 2));
    EXPECT_EQ(m->getvalue(1, 2), 0);
    EXPECT_EQ(m->getvalue(3, 3), -2.0L);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 1u);
    }
    // Negative zero is the default value too.
    m->setvalue(3, 3, -0.0L);
    EXPECT_TRUE(m->iszero(3, 3));
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 0u);
    }
    EXPECT_EQ(m->rows(), 3u);
    EXPECT_EQ(m->cols(), 3u);
}

TEST_P(TnummatrixKinds, AddAndMultiplyFollowTheRulesForZeroAndOne) {
    auto m = fixed(2, 2);
    m->setvalue(2, 2, 3.0L);
    m->addvalue(1, 1, 0); // nothing
    EXPECT_TRUE(m->iszero(1, 1));
    m->addvalue(1, 1, 1.5L);
    EXPECT_EQ(m->getvalue(1, 1), 1.5L);
    m->addvalue(1, 1, 2.25L);
    EXPECT_EQ(m->getvalue(1, 1), 3.75L);
    m->addvalue(1, 1, -3.75L);
    EXPECT_EQ(m->getvalue(1, 1), 0);
    EXPECT_TRUE(m->iszero(1, 1));
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 1u);
    }

    m->mulvalue(2, 2, 1);
    EXPECT_EQ(m->getvalue(2, 2), 3.0L);
    m->mulvalue(2, 2, -2);
    EXPECT_EQ(m->getvalue(2, 2), -6.0L);
    m->mulvalue(1, 2, 5); // an empty cell stays empty
    EXPECT_TRUE(m->iszero(1, 2));
    m->mulvalue(2, 2, 0);
    EXPECT_EQ(m->getvalue(2, 2), 0);
    EXPECT_TRUE(m->iszero(2, 2));
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 0u);
    }
}

TEST_P(TnummatrixKinds, MultiplyByZeroClearsInfinityWithoutMultiplying) {
    auto m = fixed(1, 2);
    m->setvalue(1, 1, std::numeric_limits<extended>::infinity());
    m->setvalue(1, 2, std::numeric_limits<extended>::quiet_NaN());
    m->mulvalue(1, 1, 0);
    EXPECT_EQ(m->getvalue(1, 1), 0);
    m->mulvalue(1, 2, 1);
    EXPECT_TRUE(std::isnan(m->getvalue(1, 2)));
    m->mulvalue(1, 2, 0);
    EXPECT_EQ(m->getvalue(1, 2), 0);
}

TEST_P(TnummatrixKinds, ClearThenStoreShowsDefaultsNeverStaleValues) {
    auto m = fixed(4, 4);
    for (std::uint32_t i = 1; i <= 4; ++i)
        for (std::uint32_t j = 1; j <= 4; ++j)
            m->setvalue(i, j, i * 10 + j);
    std::uint32_t capacity = m->itemcapacity();
    m->clear();
    EXPECT_EQ(m->rows(), 0u);
    EXPECT_EQ(m->cols(), 0u);
    EXPECT_EQ(m->itemcount(), 0u);
    EXPECT_EQ(m->itemcapacity(), capacity); // allocations stay
    EXPECT_THROW(m->getvalue(1, 1), ERangeError);
    m->setvalue(3, 2, 7.0L);
    EXPECT_EQ(m->rows(), 3u);
    EXPECT_EQ(m->cols(), 2u);
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 2; ++j)
            EXPECT_EQ(m->getvalue(i, j), (i == 3 && j == 2) ? 7.0L : 0) << i << "," << j;
    EXPECT_EQ(items(*m), (std::vector<Titem>{{3, 2, 7.0L}}));
    // Widening after a clear opens cells that held values before.
    m->setvalue(4, 4, 1.0L);
    EXPECT_EQ(m->getvalue(1, 4), 0);
    EXPECT_EQ(m->getvalue(4, 1), 0);
    EXPECT_EQ(m->getvalue(4, 3), 0);
    EXPECT_TRUE(m->iszero(2, 3));
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 2u);
    }
}

TEST_P(TnummatrixKinds, ResetFillsTheRegionWithZerosAndHonoursTheCapacity) {
    auto m = fixed(3, 3);
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            m->setvalue(i, j, 1.0L);
    m->reset(2, 3);
    EXPECT_EQ(m->rows(), 2u);
    EXPECT_EQ(m->cols(), 3u);
    for (std::uint32_t i = 1; i <= 2; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), 0);
    EXPECT_EQ(m->itemcount(), 0u);
    EXPECT_THROW(m->reset(4, 1), ERangeError);
    EXPECT_THROW(m->reset(1, 4), ERangeError);
    m->reset(0, 2);
    EXPECT_EQ(m->rows(), 0u);
    EXPECT_EQ(m->cols(), 2u);
    auto e = expandable();
    e->reset(8, 6);
    EXPECT_EQ(e->rows(), 8u);
    EXPECT_EQ(e->cols(), 6u);
    EXPECT_EQ(e->getvalue(8, 6), 0);
    EXPECT_EQ(e->itemcount(), 0u);
}

TEST_P(TnummatrixKinds, SetStorageOnlyWhileNothingIsInUse) {
    auto m = fixed(3, 4);
    m->reset(0, 4);
    std::uint8_t other = storage() == listedsparse ? dense : listedsparse;
    EXPECT_THROW(m->setstorage(other), EMethodNotAvailable);
    EXPECT_EQ(message([&] { m->setstorage(other); }), "Method not available");
    EXPECT_EQ(m->storage(), storage());
    m->setstorage(storage()); // the same kind: no effect, no error
    m->reset(2, 2);
    EXPECT_THROW(m->setstorage(other), EMethodNotAvailable);
    m->clear();
    m->setstorage(other);
    EXPECT_EQ(m->storage(), other);
    m->setvalue(3, 4, 2.0L);
    EXPECT_EQ(m->getvalue(3, 4), 2.0L);
    EXPECT_EQ(m->getvalue(1, 1), 0);
}

TEST_P(TnummatrixKinds, SwapRowsAndColumnsExchangeCells) {
    auto m = fixed(3, 3);
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            if ((i + j) % 2 == 0) m->setvalue(i, j, i * 10 + j);
    // row 1: 11 0 13; row 2: 0 22 0; row 3: 31 0 33
    m->swaprows(2, 2);
    EXPECT_EQ(m->getvalue(2, 2), 22);
    EXPECT_THROW(m->swaprows(0, 1), ERangeError);
    EXPECT_THROW(m->swaprows(1, 4), ERangeError);
    EXPECT_THROW(m->swapcolumns(4, 1), ERangeError);
    m->swaprows(1, 2);
    const extended afterrows[3][3] = {{0, 22, 0}, {11, 0, 13}, {31, 0, 33}};
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), afterrows[i - 1][j - 1]) << i << "," << j;
    m->swapcolumns(3, 2);
    const extended aftercols[3][3] = {{0, 0, 22}, {11, 13, 0}, {31, 33, 0}};
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), aftercols[i - 1][j - 1]) << i << "," << j;
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 5u);
    }
    // Removing every item afterwards must find each item's cell.
    const std::uint32_t order[5][2] = {{2, 1}, {1, 3}, {3, 2}, {2, 2}, {3, 1}};
    for (const auto& rc : order) {
        m->setvalue(rc[0], rc[1], 0);
        EXPECT_TRUE(m->iszero(rc[0], rc[1]));
    }
    for (std::uint32_t i = 1; i <= 3; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), 0) << i << "," << j;
    EXPECT_EQ(m->itemcount(), 0u);
}

TEST_P(TnummatrixKinds, InsertRowMovesRowsDownAndAppends) {
    auto m = expandable();
    m->setvalue(1, 1, 1.0L);
    m->setvalue(2, 2, 2.0L);
    m->setvalue(5, 3, 3.0L);
    EXPECT_EQ(m->rowcapacity(), 5u);
    m->insertrow(2);
    EXPECT_EQ(m->rows(), 6u);
    EXPECT_EQ(m->rowcapacity(), 6u); // grew by exactly one
    EXPECT_EQ(m->getvalue(1, 1), 1.0L);
    EXPECT_EQ(m->getvalue(2, 2), 0);
    EXPECT_EQ(m->getvalue(3, 2), 2.0L);
    EXPECT_EQ(m->getvalue(6, 3), 3.0L);
    EXPECT_EQ(m->getvalue(5, 3), 0);
    m->insertrow(m->rows() + 1); // append a default row
    EXPECT_EQ(m->rows(), 7u);
    for (std::uint32_t j = 1; j <= 3; ++j)
        EXPECT_EQ(m->getvalue(7, j), 0);
    EXPECT_THROW(m->insertrow(0), ERangeError);
    EXPECT_THROW(m->insertrow(9), ERangeError);
    // The moved items are still found when they are removed.
    m->setvalue(3, 2, 0);
    m->setvalue(1, 1, 0);
    EXPECT_EQ(m->getvalue(6, 3), 3.0L);
    m->setvalue(6, 3, 0);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 0u);
    }
    for (std::uint32_t i = 1; i <= 7; ++i)
        for (std::uint32_t j = 1; j <= 3; ++j)
            EXPECT_EQ(m->getvalue(i, j), 0);

    auto f = fixed(2, 2);
    f->setvalue(2, 2, 1.0L);
    EXPECT_THROW(f->insertrow(1), ERangeError); // full
    EXPECT_THROW(f->insertrow(3), ERangeError);
    EXPECT_EQ(f->rows(), 2u);
    EXPECT_EQ(f->getvalue(2, 2), 1.0L);
}

TEST_P(TnummatrixKinds, InsertColumnMovesColumnsRightAndAppends) {
    auto m = fixed(3, 4);
    m->setvalue(1, 1, 1.0L);
    m->setvalue(2, 2, 2.0L);
    m->setvalue(3, 3, 3.0L);
    m->insertcolumn(1);
    EXPECT_EQ(m->cols(), 4u);
    EXPECT_EQ(m->getvalue(1, 1), 0);
    EXPECT_EQ(m->getvalue(1, 2), 1.0L);
    EXPECT_EQ(m->getvalue(2, 3), 2.0L);
    EXPECT_EQ(m->getvalue(3, 4), 3.0L);
    EXPECT_EQ(m->getvalue(3, 3), 0);
    EXPECT_THROW(m->insertcolumn(5), ERangeError); // full and fixed
    EXPECT_EQ(m->cols(), 4u);
    m->setvalue(2, 3, 0);
    m->setvalue(1, 2, 0);
    EXPECT_EQ(m->getvalue(3, 4), 3.0L);
    m->setvalue(3, 4, 0);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 0u);
    }

    auto e = expandable();
    e->setvalue(2, 5, 4.0L);
    e->insertcolumn(6);
    EXPECT_EQ(e->cols(), 6u);
    EXPECT_EQ(e->colcapacity(), 6u);
    EXPECT_EQ(e->getvalue(2, 6), 0);
    EXPECT_EQ(e->getvalue(2, 5), 4.0L);
}

TEST_P(TnummatrixKinds, CopyIsFixedWithTheSameContentsKindAndPrecision) {
    auto src = expandable();
    src->setvalue(6, 2, 1.5L);
    src->setvalue(1, 7, -2.0L);
    src->setvalue(3, 3, 0.1L);
    Tnummatrix copy(*src);
    EXPECT_FALSE(copy.expandable());
    EXPECT_EQ(copy.storage(), storage());
    EXPECT_EQ(copy.precision(), precision());
    EXPECT_EQ(copy.rowcapacity(), src->rowcapacity());
    EXPECT_EQ(copy.colcapacity(), src->colcapacity());
    EXPECT_EQ(copy.rows(), 6u);
    EXPECT_EQ(copy.cols(), 7u);
    for (std::uint32_t i = 1; i <= 6; ++i)
        for (std::uint32_t j = 1; j <= 7; ++j)
            EXPECT_EQ(copy.getvalue(i, j), src->getvalue(i, j)) << i << "," << j;
    if (storage() != dense) {
        EXPECT_EQ(copy.itemcount(), 3u);
    }
    EXPECT_THROW(copy.setvalue(7, 1, 1.0L), ERangeError);
    copy.setvalue(1, 1, 9.0L); // the source does not change
    EXPECT_EQ(src->getvalue(1, 1), 0);
}

TEST_P(TnummatrixKinds, SetCapacityKeepsTheCellsInUse) {
    auto m = fixed(3, 3);
    m->setvalue(2, 3, 4.0L);
    m->setvalue(3, 1, 5.0L);
    EXPECT_THROW(m->setcapacity(2, 5), ERangeError);
    EXPECT_THROW(m->setcapacity(5, 2), ERangeError);
    m->setcapacity(3, 3); // the region in use itself is accepted
    m->setcapacity(6, 8);
    EXPECT_EQ(m->rowcapacity(), 6u);
    EXPECT_EQ(m->colcapacity(), 8u);
    EXPECT_EQ(m->getvalue(2, 3), 4.0L);
    EXPECT_EQ(m->getvalue(3, 1), 5.0L);
    EXPECT_EQ(m->getvalue(1, 1), 0);
    m->setvalue(6, 8, 1.0L);
    EXPECT_EQ(m->getvalue(6, 8), 1.0L);
    EXPECT_EQ(m->getvalue(2, 3), 4.0L);
    EXPECT_EQ(m->getvalue(4, 3), 0);
    m->setvalue(2, 3, 0); // removal after the table moved
    EXPECT_EQ(m->getvalue(3, 1), 5.0L);
    EXPECT_EQ(m->getvalue(6, 8), 1.0L);
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 2u);
    }
}

TEST_P(TnummatrixKinds, PrecisionChangeConvertsTheValuesInUse) {
    auto m = fixed(2, 2);
    m->setvalue(1, 1, 0.1L);
    m->setvalue(2, 2, -2.5L);
    std::uint8_t other = precision() == precdouble ? precextended : precdouble;
    m->setprecision(other);
    EXPECT_EQ(m->precision(), other);
    EXPECT_EQ(m->storage(), storage());
    EXPECT_EQ(m->getvalue(1, 1), rounded(rounded(0.1L, precision()), other));
    EXPECT_EQ(m->getvalue(2, 2), -2.5L);
    EXPECT_EQ(m->getvalue(1, 2), 0);
    m->setvalue(1, 2, 0.1L);
    EXPECT_EQ(m->getvalue(1, 2), rounded(0.1L, other));
    m->setprecision(precsingle);
    EXPECT_EQ(m->getvalue(1, 2), static_cast<float>(0.1L));
    EXPECT_EQ(m->getvalue(2, 2), -2.5L);
    m->setvalue(2, 2, 0);
    EXPECT_TRUE(m->iszero(2, 2));
    if (storage() != dense) {
        EXPECT_EQ(m->itemcount(), 2u);
    }
    EXPECT_THROW(m->setprecision(0), EInvalidArgument);
    EXPECT_THROW(m->setprecision(4), EInvalidArgument);
}

TEST_P(TnummatrixKinds, NonZerosAreVisitedOncePerCell) {
    auto m = fixed(3, 3);
    m->setvalue(3, 1, 1.0L);
    m->setvalue(1, 2, 2.0L);
    m->setvalue(2, 3, 3.0L);
    m->setvalue(1, 2, 4.0L); // overwrite keeps one item
    auto got = items(*m);
    ASSERT_EQ(got.size(), 3u);
    if (storage() == dense) {
        // row by row
        EXPECT_EQ(got, (std::vector<Titem>{{1, 2, 4.0L}, {2, 3, 3.0L}, {3, 1, 1.0L}}));
    } else {
        // in item order
        EXPECT_EQ(got, (std::vector<Titem>{{3, 1, 1.0L}, {1, 2, 4.0L}, {2, 3, 3.0L}}));
    }
}

std::string kindname(const ::testing::TestParamInfo<std::tuple<std::uint8_t, std::uint8_t>>& info) {
    static const char* kinds[] = {"", "Dense", "Indexed", "Listed"};
    static const char* precs[] = {"", "Single", "Double", "Extended"};
    return std::string(kinds[std::get<0>(info.param)]) + precs[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, TnummatrixKinds,
    ::testing::Combine(::testing::Values(std::uint8_t(dense), std::uint8_t(indexedsparse),
                                         std::uint8_t(listedsparse)),
                       ::testing::Values(std::uint8_t(precsingle), std::uint8_t(precdouble),
                                         std::uint8_t(precextended))),
    kindname);

// ---- the item arrays of the sparse kinds ------------------------------------

TEST(TnummatrixSparse, TinyValuesCountAsZeroOnlyInIndexedSparse) {
    Tnummatrix indexed(2, 2), listed(2, 2);
    indexed.setstorage(indexedsparse);
    listed.setstorage(listedsparse);
    indexed.setvalue(1, 1, 1e-46L);
    listed.setvalue(1, 1, 1e-46L);
    EXPECT_EQ(indexed.itemcount(), 0u);
    EXPECT_TRUE(indexed.iszero(1, 1));
    EXPECT_EQ(indexed.rows(), 1u);
    EXPECT_EQ(listed.itemcount(), 1u);
    EXPECT_TRUE(listed.isnonzero(1, 1));
    // A tiny store over an item removes it.
    indexed.setvalue(2, 2, 3.0L);
    indexed.setvalue(2, 2, -1e-46L);
    EXPECT_EQ(indexed.itemcount(), 0u);
    listed.setvalue(1, 1, 0);
    EXPECT_EQ(listed.itemcount(), 0u);
    // At double precision the same value is representable and kept.
    Tnummatrix wide(1, 1);
    wide.setprecision(precdouble);
    wide.setstorage(indexedsparse);
    wide.setvalue(1, 1, 1e-46L);
    EXPECT_EQ(wide.itemcount(), 1u);
    EXPECT_EQ(wide.getvalue(1, 1), static_cast<double>(1e-46L));
    wide.setvalue(1, 1, 1e-330L);
    EXPECT_EQ(wide.itemcount(), 0u);
}

TEST(TnummatrixSparse, IndexedRemovalMovesTheLastItemIntoTheGap) {
    Tnummatrix m(3, 3);
    m.setstorage(indexedsparse);
    m.setvalue(1, 1, 1.0L);
    m.setvalue(2, 2, 2.0L);
    m.setvalue(3, 3, 3.0L);
    EXPECT_EQ(m.itemcapacity(), 10u);
    m.setvalue(1, 1, 0);
    EXPECT_EQ(m.itemcount(), 2u);
    EXPECT_EQ(m.itemcapacity(), 2u);
    // (3, 3) is now item 1 and (2, 2) still item 2.
    EXPECT_EQ(items(m), (std::vector<Titem>{{3, 3, 3.0L}, {2, 2, 2.0L}}));
    EXPECT_EQ(m.getvalue(1, 1), 0);
    EXPECT_EQ(m.getvalue(2, 2), 2.0L);
    EXPECT_EQ(m.getvalue(3, 3), 3.0L);
    // Removing the last item itself.
    m.setvalue(2, 2, 0);
    EXPECT_EQ(items(m), (std::vector<Titem>{{3, 3, 3.0L}}));
    EXPECT_EQ(m.itemcapacity(), 2u); // fewer than five spare slots: no shrink
    m.setvalue(3, 3, 0);
    EXPECT_EQ(m.itemcount(), 0u);
    EXPECT_EQ(m.itemcapacity(), 2u);
    m.setvalue(1, 3, 5.0L);
    m.setvalue(2, 3, 6.0L);
    m.setvalue(3, 1, 7.0L); // the third item needs room again
    EXPECT_EQ(m.itemcapacity(), 7u);
    EXPECT_EQ(m.getvalue(1, 3), 5.0L);
}

TEST(TnummatrixSparse, ListedRemovalKeepsTheItemOrder) {
    Tnummatrix m(3, 3);
    m.setstorage(listedsparse);
    m.setvalue(1, 1, 1.0L);
    m.setvalue(2, 2, 2.0L);
    m.setvalue(3, 3, 3.0L);
    m.setvalue(1, 1, 0);
    EXPECT_EQ(items(m), (std::vector<Titem>{{2, 2, 2.0L}, {3, 3, 3.0L}}));
    EXPECT_EQ(m.itemcapacity(), 2u);
    m.mulvalue(2, 2, 0);
    EXPECT_EQ(items(m), (std::vector<Titem>{{3, 3, 3.0L}}));
}

TEST(TnummatrixSparse, ItemArraysGrowAndShrinkInStepsOfFive) {
    for (std::uint8_t kind : {std::uint8_t(indexedsparse), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tnummatrix m(4, 4);
        m.setstorage(kind);
        for (std::uint32_t k = 0; k < 11; ++k)
            m.setvalue(k / 4 + 1, k % 4 + 1, k + 1);
        EXPECT_EQ(m.itemcount(), 11u);
        EXPECT_EQ(m.itemcapacity(), 15u);
        m.setvalue(1, 1, 0);
        EXPECT_EQ(m.itemcount(), 10u);
        EXPECT_EQ(m.itemcapacity(), 10u);
        for (std::uint32_t k = 1; k < 11; ++k)
            EXPECT_EQ(m.getvalue(k / 4 + 1, k % 4 + 1), k + 1) << k;
        for (std::uint32_t k = 11; k < 16; ++k)
            m.setvalue(k / 4 + 1, k % 4 + 1, k + 1);
        EXPECT_EQ(m.itemcount(), 15u);
        EXPECT_EQ(m.itemcapacity(), 15u);
        m.setvalue(1, 1, 16.0L); // the sixteenth item
        EXPECT_EQ(m.itemcount(), 16u);
        EXPECT_EQ(m.itemcapacity(), 20u);
        // A removal shrinks as soon as five slots are spare, and not before.
        const std::uint32_t cells[6][2] = {{4, 4}, {4, 3}, {4, 2}, {4, 1}, {3, 4}, {3, 3}};
        const std::uint32_t expected[6][2] = {{15, 15}, {14, 15}, {13, 15},
                                              {12, 15}, {11, 15}, {10, 10}};
        for (std::uint32_t k = 0; k < 6; ++k) {
            m.setvalue(cells[k][0], cells[k][1], 0);
            EXPECT_EQ(m.itemcount(), expected[k][0]) << k;
            EXPECT_EQ(m.itemcapacity(), expected[k][1]) << k;
        }
        EXPECT_EQ(m.getvalue(1, 1), 16.0L);
        EXPECT_EQ(m.getvalue(3, 2), 10.0L);
    }
}

TEST(TnummatrixSparse, IndexedSparseMatchesADenseMirrorUnderRandomEdits) {
    // A long mixed sequence of stores, additions, swaps and insertions; every
    // cell must read the same as in a dense matrix that saw the same edits.
    Tnummatrix sparse, mirror;
    sparse.setstorage(indexedsparse);
    std::uint32_t state = 12345;
    auto next = [&](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n + 1;
    };
    for (int step = 0; step < 4000; ++step) {
        std::uint32_t r = next(12), c = next(12);
        switch (next(8)) {
        case 1:
        case 2:
        case 3: {
            extended x = next(3) == 1 ? 0 : extended(next(100));
            sparse.setvalue(r, c, x);
            mirror.setvalue(r, c, x);
            break;
        }
        case 4:
            if (r <= sparse.rows() && c <= sparse.cols()) {
                sparse.addvalue(r, c, -sparse.getvalue(r, c));
                mirror.addvalue(r, c, -mirror.getvalue(r, c));
            }
            break;
        case 5:
            if (r <= sparse.rows() && c <= sparse.rows()) {
                sparse.swaprows(r, c);
                mirror.swaprows(r, c);
            }
            break;
        case 6:
            if (r <= sparse.cols() && c <= sparse.cols()) {
                sparse.swapcolumns(r, c);
                mirror.swapcolumns(r, c);
            }
            break;
        case 7:
            if (sparse.rows() < 16 && r <= sparse.rows() + 1) {
                sparse.insertrow(r);
                mirror.insertrow(r);
            }
            break;
        default:
            if (sparse.cols() < 16 && c <= sparse.cols() + 1) {
                sparse.insertcolumn(c);
                mirror.insertcolumn(c);
            }
            break;
        }
        ASSERT_EQ(sparse.rows(), mirror.rows());
        ASSERT_EQ(sparse.cols(), mirror.cols());
        std::uint32_t nonzeros = 0;
        for (std::uint32_t i = 1; i <= mirror.rows(); ++i)
            for (std::uint32_t j = 1; j <= mirror.cols(); ++j) {
                ASSERT_EQ(sparse.getvalue(i, j), mirror.getvalue(i, j)) << step;
                if (mirror.getvalue(i, j) != 0) ++nonzeros;
            }
        ASSERT_EQ(sparse.itemcount(), nonzeros) << step;
        if (step % 500 == 499) {
            sparse.clear();
            mirror.clear();
        }
    }
}

// ---- column transfer ----------------------------------------------------------

TEST(TnummatrixColumns, SetColumnOnAnEmptyDenseMatrixTakesItsRowsFromTheVector) {
    Tnumvector v(3);
    v.setvalue(1, 1.0L);
    v.setvalue(2, 2.0L);
    v.setvalue(3, 3.0L);
    Tnummatrix m;
    m.setcolumn(3, v);
    EXPECT_EQ(m.rows(), 3u);
    EXPECT_EQ(m.cols(), 3u);
    for (std::uint32_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(m.getvalue(i, 1), 0);
        EXPECT_EQ(m.getvalue(i, 2), 0);
        EXPECT_EQ(m.getvalue(i, 3), i);
    }
    // The sparse kinds take their rows from the vector too.
    for (std::uint8_t kind : {std::uint8_t(dense), std::uint8_t(indexedsparse),
                              std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tnummatrix first;
        first.setstorage(kind);
        first.setcolumn(1, v);
        EXPECT_EQ(first.rows(), 3u);
        EXPECT_EQ(first.cols(), 1u);
        EXPECT_EQ(first.getvalue(2, 1), 2.0L);
        EXPECT_EQ(first.getvalue(3, 1), 3.0L);
    }
    // A dense matrix grows its capacity to hold a long column.
    Tnumvector longer;
    longer.setvalue(9, 4.0L);
    Tnummatrix grown;
    grown.setcolumn(6, longer);
    EXPECT_EQ(grown.rows(), 9u);
    EXPECT_EQ(grown.cols(), 6u);
    EXPECT_GE(grown.rowcapacity(), 9u);
    EXPECT_GE(grown.colcapacity(), 6u);
    EXPECT_EQ(grown.getvalue(9, 6), 4.0L);
}

TEST(TnummatrixColumns, SetColumnReplacesAColumnAndFillsSkippedColumns) {
    for (std::uint8_t kind :
         {std::uint8_t(dense), std::uint8_t(indexedsparse), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tnummatrix m(3, 5);
        m.setstorage(kind);
        m.setvalue(3, 2, 9.0L);
        m.setvalue(1, 1, 8.0L);
        Tnumvector v(3);
        v.setvalue(1, 5.0L);
        v.setvalue(3, 7.0L); // element 2 is 0
        m.setcolumn(2, v);
        EXPECT_EQ(m.getvalue(1, 2), 5.0L);
        EXPECT_EQ(m.getvalue(2, 2), 0);
        EXPECT_EQ(m.getvalue(3, 2), 7.0L);
        EXPECT_EQ(m.getvalue(1, 1), 8.0L);
        m.setcolumn(4, v);
        EXPECT_EQ(m.cols(), 4u);
        for (std::uint32_t i = 1; i <= 3; ++i)
            EXPECT_EQ(m.getvalue(i, 3), 0);
        EXPECT_EQ(m.getvalue(3, 4), 7.0L);
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 5u);
        }
        Tnumvector back(3);
        m.getcolumn(4, back);
        EXPECT_EQ(back.count(), 3u);
        EXPECT_EQ(back.getvalue(1), 5.0L);
        EXPECT_EQ(back.getvalue(2), 0);
        EXPECT_EQ(back.getvalue(3), 7.0L);
    }
}

TEST(TnummatrixColumns, ColumnTransfersRefuseBadIndicesAndLengths) {
    Tnummatrix m(3, 2);
    m.setvalue(3, 1, 1.0L);
    Tnumvector three(3), two(2), four(4);
    three.reset(3);
    two.reset(2);
    four.reset(4);
    EXPECT_THROW(m.setcolumn(0, three), ERangeError);
    EXPECT_THROW(m.setcolumn(3, three), ERangeError);
    EXPECT_THROW(m.setcolumn(1, two), EInvalidArgument);
    EXPECT_EQ(message([&] { m.setcolumn(1, two); }), "Arrays of incompatible dimension");
    EXPECT_THROW(m.getcolumn(0, three), ERangeError);
    EXPECT_THROW(m.getcolumn(3, three), ERangeError);
    Tnumvector small(2);
    EXPECT_THROW(m.getcolumn(1, small), EInvalidArgument);
    EXPECT_EQ(message([&] { m.getcolumn(1, small); }), "Arrays of incompatible dimension");
    // A fixed matrix asks for room even of a vector that could grow.
    Tnummatrix tall(8, 2);
    tall.setvalue(8, 1, 1.0L);
    Tnumvector growing; // capacity 5
    EXPECT_TRUE(growing.expandable());
    EXPECT_THROW(tall.getcolumn(1, growing), EInvalidArgument);
    // A fixed empty matrix cannot take a column longer than its row capacity.
    Tnummatrix empty(3, 2);
    EXPECT_THROW(empty.setcolumn(1, four), ERangeError);
    EXPECT_EQ(empty.rows(), 0u);
}

// ---- status letters and flags ---------------------------------------------------

TEST(Tcharmatrix, EveryKindReadsSpacesForEmptyCellsAndStoresLetters) {
    for (std::uint8_t kind :
         {std::uint8_t(dense), std::uint8_t(indexedsparse), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tcharmatrix m;
        m.setstorage(kind);
        m.setvalue(3, 4, 'I');
        EXPECT_EQ(m.rows(), 3u);
        EXPECT_EQ(m.cols(), 4u);
        EXPECT_EQ(m.getvalue(3, 4), 'I');
        EXPECT_EQ(m.getvalue(1, 1), ' ');
        EXPECT_EQ(m.getvalue(3, 3), ' ');
        m.setvalue(1, 1, 'U');
        m.setvalue(1, 1, 'E');
        EXPECT_EQ(m.getvalue(1, 1), 'E');
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 2u);
        }
        m.setvalue(3, 4, ' '); // the default removes the item
        EXPECT_EQ(m.getvalue(3, 4), ' ');
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 1u);
        }
        EXPECT_THROW(m.getvalue(4, 1), ERangeError);
        EXPECT_THROW(m.getvalue(0, 1), ERangeError);
        EXPECT_THROW(m.setvalue(1, 0, 'x'), ERangeError);
        m.clear();
        EXPECT_EQ(m.rows(), 0u);
        m.setvalue(2, 2, 'D');
        EXPECT_EQ(m.getvalue(1, 1), ' '); // no stale letter
        m.reset(2, 3);
        EXPECT_EQ(m.rows(), 2u);
        EXPECT_EQ(m.cols(), 3u);
        EXPECT_EQ(m.getvalue(2, 2), ' ');
    }
}

TEST(Tcharmatrix, FixedMatrixChecksItsCapacity) {
    Tcharmatrix m(2, 2);
    EXPECT_FALSE(m.expandable());
    m.setvalue(2, 2, 'F');
    EXPECT_THROW(m.setvalue(3, 1, 'F'), ERangeError);
    EXPECT_THROW(m.reset(3, 3), ERangeError);
    EXPECT_THROW(m.setcapacity(1, 2), ERangeError);
    m.setcapacity(4, 4);
    EXPECT_EQ(m.getvalue(2, 2), 'F');
    m.setvalue(4, 4, 'H');
    EXPECT_EQ(m.getvalue(4, 4), 'H');
    EXPECT_EQ(m.getvalue(4, 1), ' ');
    m.clear();
    EXPECT_THROW(m.setstorage(4), EInvalidArgument);
    m.setvalue(1, 1, 'x');
    EXPECT_THROW(m.setstorage(indexedsparse), EMethodNotAvailable);
}

TEST(Tcharmatrix, FillAllSetsEveryCellOfEveryKind) {
    for (std::uint8_t kind :
         {std::uint8_t(dense), std::uint8_t(indexedsparse), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tcharmatrix m;
        m.setstorage(kind);
        m.setvalue(5, 5, 'E');
        m.fillall(3, 4, 'U');
        EXPECT_EQ(m.rows(), 3u);
        EXPECT_EQ(m.cols(), 4u);
        for (std::uint32_t i = 1; i <= 3; ++i)
            for (std::uint32_t j = 1; j <= 4; ++j)
                EXPECT_EQ(m.getvalue(i, j), 'U');
        m.fillall(2, 2, ' ');
        EXPECT_EQ(m.getvalue(2, 2), ' ');
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 0u);
        }
    }
}

TEST(Tbooleanmatrix, EveryKindReadsFalseForEmptyCells) {
    for (std::uint8_t kind :
         {std::uint8_t(dense), std::uint8_t(indexedsparse), std::uint8_t(listedsparse)}) {
        SCOPED_TRACE(int(kind));
        Tbooleanmatrix m(4, 4);
        m.setstorage(kind);
        m.setvalue(4, 2, true);
        m.setvalue(1, 3, true);
        EXPECT_TRUE(m.getvalue(4, 2));
        EXPECT_TRUE(m.getvalue(1, 3));
        EXPECT_FALSE(m.getvalue(3, 3));
        EXPECT_FALSE(m.getvalue(4, 1));
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 2u);
        }
        m.setvalue(4, 2, false);
        EXPECT_FALSE(m.getvalue(4, 2));
        EXPECT_TRUE(m.getvalue(1, 3));
        if (kind != dense) {
            EXPECT_EQ(m.itemcount(), 1u);
        }
        EXPECT_THROW(m.setvalue(5, 1, true), ERangeError);
        EXPECT_THROW(m.getvalue(1, 4), ERangeError);
        Tbooleanmatrix e;
        e.setstorage(kind);
        e.setvalue(9, 7, true);
        EXPECT_EQ(e.rowcapacity(), 9u);
        EXPECT_EQ(e.colcapacity(), 7u);
        EXPECT_FALSE(e.getvalue(8, 7));
        EXPECT_TRUE(e.getvalue(9, 7));
    }
}
