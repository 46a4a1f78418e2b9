#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numeric/vectors.h"

using namespace velmora;

TEST(Tnumvector, FixedVectorOfZeroCapacityRejectsEveryStore) {
    Tnumvector v(0);
    EXPECT_EQ(v.maxindex(), 0u);
    EXPECT_THROW(v.setvalue(1, 1.0L), ERangeError);
    EXPECT_THROW(v.setvalue(0, 1.0L), ERangeError);
}

TEST(Tnumvector, ExpandableGrowsExactlyToTheIndexAndFillsDefaults) {
    Tnumvector v;
    EXPECT_EQ(v.capacity(), 5u);
    v.setvalue(1000, 2.5L);
    EXPECT_EQ(v.capacity(), 1000u);
    EXPECT_EQ(v.count(), 1000u);
    EXPECT_EQ(v.maxindex(), 2147483647u);
    for (std::uint32_t i = 1; i < 1000; ++i)
        ASSERT_EQ(v.getvalue(i), 0);
    EXPECT_EQ(v.getvalue(1000), 2.5L);
}

TEST(Tnumvector, ReadsAreCheckedAgainstCountNotCapacity) {
    Tnumvector v(10);
    v.setvalue(3, 1.0L);
    EXPECT_EQ(v.count(), 3u);
    EXPECT_THROW(v.getvalue(4), ERangeError);
    EXPECT_THROW(v.getvalue(0), ERangeError);
    try {
        v.getvalue(4);
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Range check error");
    }
}

TEST(Tnumvector, ClearThenStoreShowsDefaultsNeverStaleValues) {
    Tnumvector v(5);
    v.setvalue(1, 7.0L);
    v.setvalue(2, 8.0L);
    v.clear();
    EXPECT_THROW(v.getvalue(1), ERangeError);
    v.setvalue(3, 9.0L);
    EXPECT_EQ(v.getvalue(1), 0);
    EXPECT_EQ(v.getvalue(2), 0);
    EXPECT_EQ(v.getvalue(3), 9);
}

TEST(Tnumvector, ResetAndCapacityRules) {
    Tnumvector v(3);
    v.reset(0);
    EXPECT_EQ(v.count(), 0u);
    EXPECT_THROW(v.reset(4), ERangeError);
    v.reset(3);
    EXPECT_EQ(v.count(), 3u);
    v.setcapacity(3);
    EXPECT_THROW(v.setcapacity(2), ERangeError);
    v.setcapacity(6);
    EXPECT_EQ(v.capacity(), 6u);
    EXPECT_EQ(v.count(), 3u);
}

TEST(Tnumvector, InsertValueAppendsOrShiftsAndRefusesWhenFixedAndFull) {
    Tnumvector v(3);
    v.setvalue(1, 1.0L);
    v.setvalue(2, 2.0L);
    v.insertvalue(3); // append
    EXPECT_EQ(v.count(), 3u);
    EXPECT_EQ(v.getvalue(3), 0);
    EXPECT_THROW(v.insertvalue(1), ERangeError); // full and fixed
    Tnumvector w;
    w.setvalue(1, 1.0L);
    w.setvalue(2, 2.0L);
    w.insertvalue(1);
    EXPECT_EQ(w.count(), 3u);
    EXPECT_EQ(w.getvalue(1), 0);
    EXPECT_EQ(w.getvalue(2), 1);
    EXPECT_EQ(w.getvalue(3), 2);
    EXPECT_THROW(w.insertvalue(5), ERangeError);
}

TEST(Tnumvector, ArithmeticRulesForZeroOneInfinityAndNaN) {
    Tnumvector v(3);
    v.setvalue(1, std::numeric_limits<float>::infinity());
    v.setvalue(2, std::numeric_limits<float>::quiet_NaN());
    v.setvalue(3, 2.0L);
    v.mulvalue(1, 0);
    EXPECT_EQ(v.getvalue(1), 0);
    v.mulvalue(2, 1);
    EXPECT_TRUE(std::isnan(v.getvalue(2)));
    v.addvalue(3, 0.5L);
    EXPECT_EQ(v.getvalue(3), 2.5L);
    v.mulvalue(3, 2);
    EXPECT_EQ(v.getvalue(3), 5);
    EXPECT_THROW(v.addvalue(4, 1), ERangeError);
}

TEST(Tnumvector, PrecisionChangesRoundThroughTheNarrowerWidth) {
    Tnumvector v(2);
    v.setprecision(precextended);
    v.setvalue(1, 1e-50L);
    v.setvalue(2, 0.1L);
    EXPECT_EQ(v.getvalue(1), 1e-50L);
    EXPECT_EQ(v.getvalue(2), 0.1L);
    v.setprecision(precsingle);
    EXPECT_EQ(v.getvalue(1), 0);
    EXPECT_EQ(v.getvalue(2), static_cast<long double>(0.1f));
    v.setprecision(precdouble);
    v.setvalue(1, 0.1L);
    EXPECT_EQ(v.getvalue(1), static_cast<long double>(0.1));
}

TEST(Tnumvector, StoresRoundToSinglePrecisionByDefault) {
    Tnumvector v(1);
    v.setvalue(1, 1.0L / 3.0L);
    EXPECT_EQ(v.getvalue(1), static_cast<long double>(1.0f / 3.0f));
}

TEST(Tcharvector, ResetFillsSpacesAndBooleansCountTrues) {
    Tcharvector c;
    c.reset(3);
    std::string s;
    for (std::uint32_t i = 1; i <= 3; ++i)
        s += c.getvalue(i);
    EXPECT_EQ(s, "   ");
    Tbooleanvector b;
    b.setvalue(1, true);
    b.setvalue(2, false);
    b.setvalue(3, true);
    EXPECT_EQ(b.countnondefault(), 2u);
}

TEST(Tcountvector, AddValueWrapsAroundUnsigned) {
    Tcountvector v(2);
    v.setvalue(1, 0);
    v.addvalue(1, -1);
    EXPECT_EQ(v.getvalue(1), 4294967295u);
    v.addvalue(1, 2);
    EXPECT_EQ(v.getvalue(1), 1u);
    EXPECT_THROW(v.addvalue(2, 1), ERangeError);
}

TEST(Tstrvector, GrowsAndCopiesOut) {
    Tstrvector v;
    v.setvalue(7, "seven");
    EXPECT_EQ(v.count(), 7u);
    EXPECT_EQ(v.getvalue(6), "");
    EXPECT_EQ(v.getvalue(7), "seven");
    Tintvector fixed(2);
    EXPECT_THROW(fixed.setvalue(3, 1), ERangeError);
}
