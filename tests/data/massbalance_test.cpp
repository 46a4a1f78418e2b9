// Every kilogram emitted on the default world is degraded or carried out of
// it, for every shipped substance that has a steady state: the balance is
// taken from the solved concentrations, as a user would check it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/workspace.h"
#include "model/substance.h"
#include "support/testsupport.h"

using namespace velmora;

namespace {

// (degraded + carried out) / emitted - 1.
double imbalance(const Tregcomps& rc) {
    double emission = 0, loss = 0;
    for (std::uint32_t k = 1; k <= rc.n; ++k) {
        if (!rc.exists(k)) continue;
        emission += rc.EMIS.value(k);
        loss += (double(rc.kdeg.value(k)) * rc.V.value(k) + rc.ADV_outside.value(k)) *
                rc.CONC.value(k);
    }
    return loss / emission - 1;
}

TEST(MassBalance, ClosesForEverySubstanceWithASteadyState) {
    if (!std::filesystem::exists(velmora::testing::bindir() + "/ENVDATA2part2.xlsx"))
        GTEST_FAIL() << "build the default_workbooks target first";
    Trecorderui ui;
    Tworkspace ws(ui, velmora::testing::bindir());
    ws.initialize();
    ASSERT_TRUE(ws.env.present);
    const std::uint32_t germany = ws.regions.find("Germany");
    int solved = 0;
    for (const std::string& name : substancenames(*ws.SubstancesWorkbook, "VELMORA")) {
        ws.opensubstance(name);
        ASSERT_TRUE(ws.sub.present) << name;
        ASSERT_TRUE(ws.emi.set(germany, air));
        ui.reset();
        if (!ws.calculate()) {
            // Only a substance that nothing removes may be refused.
            EXPECT_EQ(name, "Carbon dioxide");
            continue;
        }
        ++solved;
        const double off = imbalance(ws.regcomps);
        std::printf("%-40s %10.2e\n", name.c_str(), off);
        EXPECT_LT(std::fabs(off), 1e-6) << name;
    }
    EXPECT_GE(solved, 52);
}

} // namespace
