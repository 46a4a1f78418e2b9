// The results grids' number formats and column statistics, on tables of
// known values.
#include <gtest/gtest.h>

#include "model/parameters.h"
#include "numeric/errors.h"
#include "toolkit/celltable.h"
#include "views/columnstatistics.h"
#include "views/resultsgrid.h"

using namespace velmora;

namespace {

// A column "x (m)" of the given values in rows named a, b, c, ...
struct Tcolumn {
    Tstringtable table;
    std::vector<float> values;
    explicit Tcolumn(std::vector<float> v) : table(2, static_cast<int>(v.size()) + 1), values(v) {
        table.setcell(0, 0, "Region");
        table.setcell(1, 0, "x (m)");
        for (std::size_t k = 0; k < v.size(); ++k) {
            table.setcell(0, static_cast<int>(k) + 1, std::string(1, static_cast<char>('a' + k)));
            table.setcell(1, static_cast<int>(k) + 1, "shown");
        }
    }
    Tcolumnvalue value() const {
        return [this](int r, float& x) {
            x = values[static_cast<std::size_t>(r - 1)];
            return true;
        };
    }
};

} // namespace

TEST(ResultsGrid, ShortAndLongFormats) {
    Tsettings settings;
    settings.Digits = 10;
    EXPECT_EQ(celltextlong(settings, 0.125f, stDefault), "0.125");
    // A float shown with ten digits shows its single-precision value.
    EXPECT_EQ(celltextlong(settings, 0.1f, stDefault), "0.1000000015");
    EXPECT_EQ(celltextshort(settings, 0.1f, stDefault), "0.1");
    EXPECT_EQ(celltextshort(settings, 1.2345678f, stDefault), "1.234568");
    EXPECT_EQ(celltextlong(settings, 0, stDefault), "0");
    EXPECT_EQ(celltextshort(settings, 0, stDefault), "0");
    EXPECT_EQ(celltextlong(settings, 5, stHidden), "-");
    EXPECT_EQ(celltextlong(settings, 5, stUnknown), "?");
    EXPECT_EQ(celltextshort(settings, 1e20f, stImported), "inf");
    settings.Digits = 18;
    EXPECT_EQ(celltextlong(settings, 0.5f, stDefault), "0.5");
}

TEST(ResultsGrid, PercentsRoundHalfToEven) {
    Tsettings settings;
    EXPECT_EQ(celltextpercent(settings, 0.125f, stDefault), "12");
    EXPECT_EQ(celltextpercent(settings, 0.135f, stDefault), "14");
    EXPECT_EQ(celltextpercent(settings, 1.0f, stDefault), "100");
    EXPECT_EQ(celltextpercent(settings, 0.005f, stDefault), "0");
    EXPECT_EQ(celltextpercent(settings, 0.5f, stUnknown), "?");
}

TEST(ResultsGrid, ItemNamesStopAtTheUnit) {
    EXPECT_EQ(itemname("ADV_outside (m^3*s^-1)"), "ADV_outside");
    EXPECT_EQ(itemname("Abig^-1 (s*m^-3)"), "Abig^-1");
    EXPECT_EQ(itemname("meaning"), "meaning");
    EXPECT_EQ(heading("V_air", "m^3"), "V_air (m^3)");
}

TEST(ColumnStatistics, TiesListEveryRowInRowOrder) {
    Tsettings settings;
    Tcolumn column({3, 1, 5, 1, 5, 1});
    const std::vector<std::string> lines =
        columnstatistics(column.table, 1, column.value(), settings);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Parameter =  x (m)");
    EXPECT_EQ(lines[1], "N = 6");
    EXPECT_EQ(lines[2], "smallest = 1 (b; d; f)");
    EXPECT_EQ(lines[3], "largest = 5 (c; e)");
    EXPECT_EQ(lines[4], "mean = 2.67");
    EXPECT_EQ(lines[5], "standard deviation = 1.97");
    EXPECT_EQ(lines[6], "coefficient of variation = 0.737");
    EXPECT_EQ(lines[7], "largest/smallest = 5");
}

TEST(ColumnStatistics, StoredValuesNotRoundedTexts) {
    Tsettings settings;
    // Shown with three digits both read 1.00; stored they differ.
    Tcolumn column({1.001f, 1.002f, 1.002f});
    const std::vector<std::string> lines =
        columnstatistics(column.table, 1, column.value(), settings);
    EXPECT_EQ(lines[2], "smallest = 1 (a)");
    EXPECT_EQ(lines[3], "largest = 1 (b; c)");
}

TEST(ColumnStatistics, AllZerosShowUnknownRatios) {
    Tsettings settings;
    Tcolumn column({0, 0, 0});
    const std::vector<std::string> lines =
        columnstatistics(column.table, 1, column.value(), settings);
    EXPECT_EQ(lines[2], "smallest = 0 (a; b; c)");
    EXPECT_EQ(lines[4], "mean = 0");
    EXPECT_EQ(lines[5], "standard deviation = 0");
    EXPECT_EQ(lines[6], "coefficient of variation = ?");
    EXPECT_EQ(lines[7], "largest/smallest = ?");
}

TEST(ColumnStatistics, NegativeSmallestHasNoRatio) {
    Tsettings settings;
    Tcolumn column({-2, 4});
    EXPECT_EQ(columnstatistics(column.table, 1, column.value(), settings)[7],
              "largest/smallest = ?");
}

TEST(ColumnStatistics, FewerThanTwoValuesRaise) {
    Tsettings settings;
    Tcolumn one({7});
    EXPECT_THROW(columnstatistics(one.table, 1, one.value(), settings), EInvalidArgument);
    Tcolumn none({1, 2});
    const Tcolumnvalue nothing = [](int, float&) { return false; };
    EXPECT_THROW(columnstatistics(none.table, 1, nothing, settings), EInvalidArgument);
}
