#include <gtest/gtest.h>

#include <map>

#include "compute/calculation.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

// Every value, status and used flag of the results of some stages.
struct Tsnapshot {
    std::map<std::string, std::vector<std::tuple<float, char, bool>>> values;
};

Tsnapshot snapshot(Tresults& results, bool modelparameters) {
    Tsnapshot s;
    for (const Tresultentry& e : results.catalogue()) {
        bool model = e.stage != Tstage::exposure && e.stage != Tstage::risk;
        if (model != modelparameters) continue;
        auto& v = s.values[e.name()];
        if (auto* p = std::get_if<Tnumpar*>(&e.parameter))
            v.emplace_back((*p)->value, (*p)->status, (*p)->used);
        if (auto* p = std::get_if<Tnumpars*>(&e.parameter))
            for (std::uint32_t i = 1; i <= (*p)->count(); ++i)
                v.emplace_back((*p)->value(i), (*p)->status(i), (*p)->used(i));
        if (auto* p = std::get_if<Tnumparss*>(&e.parameter))
            for (std::uint32_t i = 1; i <= (*p)->count(); ++i)
                for (std::uint32_t j = 1; j <= (*p)->count(); ++j)
                    v.emplace_back((*p)->value(i, j), (*p)->status(i, j), (*p)->used(i, j));
    }
    return s;
}

} // namespace

class Calculation : public ::testing::Test {
protected:
    Tworldfixture f;
    void SetUp() override {
        f.organic();
        f.ws.sub.EFFECT_aquatox.set(1000, stImported);
        f.ws.sub.EFFECThum_noncarc.set(10, stImported);
        f.ws.results.clear();
        f.ws.env.changed = true;
        f.ws.emi.set(1, air);
    }
};

TEST_F(Calculation, ASecondCalculationWithoutChangesKeepsTheModelParameters) {
    f.ws.calculate();
    ASSERT_FALSE(f.ws.env.changed);
    ASSERT_FALSE(f.ws.sub.changed);
    Tsnapshot before = snapshot(f.ws.results, true);
    Tsnapshot exposurebefore = snapshot(f.ws.results, false);
    // Reading a model parameter now marks it used; a recomputation would not
    // touch the flag either way, so compare after a calculation for another
    // emission.
    f.ws.emi.set(2, air);
    f.ws.calculate();
    Tsnapshot after = snapshot(f.ws.results, true);
    EXPECT_EQ(before.values, after.values);
    // Exposure follows the new emission.
    EXPECT_NE(exposurebefore.values["C_air"], snapshot(f.ws.results, false).values["C_air"]);
    EXPECT_TRUE(f.ui.warnings.empty()) << f.ui.warnings.front();
}

TEST_F(Calculation, AChangeFlagRecomputesTheModelParameters) {
    f.ws.calculate();
    float before = f.ws.results.Kp_soil.value(1);
    f.ws.sub.Kow.set(10000, stEdited);
    f.ws.sub.settypedefaults();
    f.ws.calculate(); // no flag set: the old partitioning stays
    EXPECT_EQ(f.ws.results.Kp_soil.value(1), before);
    f.ws.sub.changed = true;
    f.ws.calculate();
    EXPECT_GT(f.ws.results.Kp_soil.value(1), before);
}

TEST_F(Calculation, CheckAfterACalculationEndsWithTheResidual) {
    f.ws.settings.WithRestime = true;
    f.ws.calculate();
    std::vector<std::string> lines;
    f.ws.results.check(lines, true, true, f.ws.regcomps.MSR);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("MSR = ", 0), 0u);
    // Wash-out reads the rain time fraction of every region.
    int rain = 0;
    for (const auto& l : lines) {
        rain += l.rfind("Ftime_rain[", 0) == 0;
        EXPECT_EQ(l.find("< 0"), std::string::npos) << l;
        EXPECT_NE(l.rfind("iF", 0), 0u) << l;
        EXPECT_EQ(l.find("ICRtox"), std::string::npos) << l;
        EXPECT_EQ(l.find("CFtox"), std::string::npos) << l;
    }
    EXPECT_EQ(rain, 0);
}

TEST_F(Calculation, FactorsModeLeavesExposureAsItWas) {
    f.ws.calculate();
    Tsnapshot exposure = snapshot(f.ws.results, false);
    f.ws.settings.FactorsMode = true;
    f.ws.regcomps.build();
    f.ws.env.changed = true;
    f.ws.calculate();
    EXPECT_EQ(exposure.values, snapshot(f.ws.results, false).values);
    EXPECT_GT(f.ws.regcomps.FF.rows(), 0u);
}
