// The program's start-up on the shipped default workbooks: the whole chain
// from both environment workbooks and the substances workbook to a first
// calculation and a reference, without a single warning.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/workspace.h"
#include "support/testsupport.h"

using namespace velmora;

namespace {

bool defaultworkbooks() {
    for (const char* f : {"ENVDATA2part1.xlsx", "ENVDATA2part2.xlsx", "substances.xlsx"})
        if (!std::filesystem::exists(velmora::testing::bindir() + "/" + f)) return false;
    return true;
}

class DefaultWorld : public ::testing::Test {
protected:
    void SetUp() override {
        if (!defaultworkbooks()) GTEST_FAIL() << "build the default_workbooks target first";
    }
};

} // namespace

TEST_F(DefaultWorld, ImportsAllRegionsWithoutAWarning) {
    Trecorderui ui;
    Tworkspace ws(ui, velmora::testing::bindir());
    ws.readenvironment();
    EXPECT_TRUE(ws.env.present);
    EXPECT_EQ(ws.regions.nland, 239u);
    EXPECT_EQ(ws.regions.nsea, 50u);
    EXPECT_EQ(ws.regions.count, 289u);
    for (std::uint32_t i = 1; i <= 289; ++i) ASSERT_EQ(ws.regions.island(i), i <= 239) << i;
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.size() << " warnings, first: " << ui.warnings.front();
    // Spot values against the source tables.
    std::uint32_t nl = ws.regions.find("Netherlands");
    ASSERT_NE(nl, 0u);
    std::uint32_t de = ws.regions.find("Germany");
    ASSERT_NE(de, 0u);
    EXPECT_NEAR(ws.env.BORDERLENGTH.value(nl, de), 575000, 0.05 * 575000);
    EXPECT_EQ(ws.env.BORDERLENGTH.value(nl, de), ws.env.BORDERLENGTH.value(de, nl));
    std::uint32_t baltic = ws.regions.find("Baltic Sea");
    if (baltic) {
        EXPECT_FALSE(ws.regions.island(baltic));
    }
}

TEST_F(DefaultWorld, InitializeEndsWithACalculationAndAReferenceWithoutAWarning) {
    Trecorderui ui;
    Tworkspace ws(ui, velmora::testing::bindir());
    ws.initialize();
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.size() << " warnings, first: " << ui.warnings.front();
    ASSERT_TRUE(ws.env.present);
    ws.sub.testcomplete();
    EXPECT_TRUE(ws.sub.present);
    EXPECT_EQ(ws.sub.name.value, "Nitrobenzene");
    EXPECT_EQ(ws.emi.region, 150);
    EXPECT_EQ(ws.emi.compartment, 1);
    EXPECT_EQ(ws.emi.to_air.value(150), 1.0f);
    EXPECT_EQ(ws.emi.to_air.status(150), stDefault);
    EXPECT_EQ(ws.emi.to_air.status(149), stUnknown);
    EXPECT_EQ(ws.ref.substance, "Nitrobenzene");
    EXPECT_EQ(ws.ref.region, 150);
    EXPECT_EQ(ws.ref.compartment, 1);
    EXPECT_FALSE(ws.env.changed);
    EXPECT_FALSE(ws.sub.changed);
    // The air of the emitting region holds the highest air concentration.
    std::uint32_t k = Tregcomps::regcompnumber(150, air);
    EXPECT_GT(ws.regcomps.CONC.value(k), 0);
}
