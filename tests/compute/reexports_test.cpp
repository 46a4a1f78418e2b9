// Food re-exports: exports beyond a region's own production.
#include <gtest/gtest.h>

#include "compute/calculation.h"
#include "support/worldfixture.h"

namespace velmora {
namespace {

using testing::Tworldfixture;

constexpr std::uint32_t Aland = 1, Bland = 2, Asea = 3;

class Reexports : public ::testing::Test {
protected:
    Tworldfixture fx;
    Tmodel& m = fx.m();
    void SetUp() override {
        fx.ws.results.clear();
        fx.ui.reset();
    }
    // Production and export of one food in one region.
    void trade(Tnumpars& prod, Tnumpars& exp, std::uint32_t i, float produced, float exported) {
        prod.set(i, produced, stImported);
        exp.set(i, exported, stImported);
    }
    // The degradation stage's region loop, re-export part only.
    void computereexports(Tmodel& model) {
        for (std::uint32_t i = 1; i <= model.regions.count; ++i)
            velmora::computereexports(model, i, model.env.island(i));
    }
};

TEST_F(Reexports, ExportBeyondProductionIsReexportedPerFood) {
    Tenv& e = m.env;
    // Different surpluses per food, so that a food read from another food's
    // figures shows.
    trade(e.PROD_freshwaterfish, e.EXPORT_freshwaterfish, Aland, 10, 12); // 12 - 10 = 2
    trade(e.PROD_leafcrops, e.EXPORT_leafcrops, Aland, 1000, 1100);       // 100
    trade(e.PROD_rootcrops, e.EXPORT_rootcrops, Aland, 800, 830);         // 30
    trade(e.PROD_meat, e.EXPORT_meat, Aland, 500, 540);                   // 40
    trade(e.PROD_dairy, e.EXPORT_dairy, Aland, 900, 905);                 // 5
    computereexports(m);
    Tresults& r = m.results;
    EXPECT_FLOAT_EQ(r.REEXPORT_freshwaterfish.value(Aland), 2);
    EXPECT_FLOAT_EQ(r.REEXPORT_leafcrops.value(Aland), 100);
    EXPECT_FLOAT_EQ(r.REEXPORT_rootcrops.value(Aland), 30);
    EXPECT_FLOAT_EQ(r.REEXPORT_meat.value(Aland), 40);
    EXPECT_FLOAT_EQ(r.REEXPORT_dairy.value(Aland), 5);
    EXPECT_EQ(r.REEXPORT_dairy.status(Aland), stDefault);
    EXPECT_TRUE(e.EXPORT_meat.used(Aland));
    EXPECT_TRUE(e.PROD_meat.used(Aland));
}

TEST_F(Reexports, ExportWithinProductionGivesZero) {
    Tenv& e = m.env;
    trade(e.PROD_leafcrops, e.EXPORT_leafcrops, Aland, 1000, 50);   // 50 - 1000 < 0
    trade(e.PROD_leafcrops, e.EXPORT_leafcrops, Bland, 1000, 1000); // exactly all of it
    // A food nobody exports.
    trade(e.PROD_dairy, e.EXPORT_dairy, Aland, 900, 0);
    trade(e.PROD_dairy, e.EXPORT_dairy, Bland, 0, 0);
    computereexports(m);
    Tresults& r = m.results;
    EXPECT_EQ(r.REEXPORT_leafcrops.value(Aland), 0);
    EXPECT_EQ(r.REEXPORT_leafcrops.status(Aland), stDefault);
    EXPECT_EQ(r.REEXPORT_leafcrops.value(Bland), 0);
    EXPECT_EQ(r.REEXPORT_leafcrops.status(Bland), stDefault);
    EXPECT_EQ(r.REEXPORT_dairy.value(Aland), 0);
    EXPECT_EQ(r.REEXPORT_dairy.status(Aland), stDefault);
    EXPECT_EQ(r.REEXPORT_dairy.value(Bland), 0);
    EXPECT_EQ(r.REEXPORT_dairy.status(Bland), stDefault);
}

TEST_F(Reexports, AnEarlierReexportIsReplaced) {
    Tenv& e = m.env;
    trade(e.PROD_meat, e.EXPORT_meat, Bland, 100, 130);
    computereexports(m);
    EXPECT_FLOAT_EQ(m.results.REEXPORT_meat.value(Bland), 30);
    trade(e.PROD_meat, e.EXPORT_meat, Bland, 100, 70);
    computereexports(m);
    EXPECT_EQ(m.results.REEXPORT_meat.value(Bland), 0);
}

TEST_F(Reexports, SeaRegionsHaveNoFoodTrade) {
    computereexports(m);
    Tresults& r = m.results;
    EXPECT_TRUE(r.REEXPORT_freshwaterfish.ishidden(Asea));
    EXPECT_TRUE(r.REEXPORT_leafcrops.ishidden(Asea));
    EXPECT_TRUE(r.REEXPORT_rootcrops.ishidden(Asea));
    EXPECT_TRUE(r.REEXPORT_meat.ishidden(Asea));
    EXPECT_TRUE(r.REEXPORT_dairy.ishidden(Asea));
    // The sea's trade figures are not read: no "has no value" warnings and
    // no used flags.
    EXPECT_TRUE(fx.ui.warnings.empty());
    EXPECT_FALSE(m.env.EXPORT_meat.used(Asea));
    EXPECT_FALSE(m.env.PROD_meat.used(Asea));
}

} // namespace
} // namespace velmora
