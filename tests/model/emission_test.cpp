#include <gtest/gtest.h>

#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {
// Marks the regcomps that exist, as a solve would.
void setexists(Tworkspace& ws, const std::vector<std::uint32_t>& existing) {
    ws.regcomps.existsflags.reset(ws.regcomps.n);
    for (std::uint32_t k : existing)
        ws.regcomps.existsflags.setvalue(k, true);
}
constexpr std::uint32_t rc(std::uint32_t r, std::uint32_t c) {
    return (r - 1) * 12 + c;
}
} // namespace

TEST(Regcomps, NumbersNamesRoutesAndPathways) {
    Tworldfixture f;
    Tregcomps& rc_ = f.ws.regcomps;
    EXPECT_EQ(rc_.n, 36u);
    EXPECT_EQ(rc_.regionof(13), 2u);
    EXPECT_EQ(rc_.compartmentof(13), 1u);
    EXPECT_EQ(rc_.compartmentof(24), 12u);
    EXPECT_EQ(rc_.regcompname(14), "Bland_natural soil");
    EXPECT_EQ(rc_.regroutename(9), "Bland_air");
    EXPECT_EQ(rc_.regpathwayname(4), "Bland_oral");
    EXPECT_EQ(rc_.regpathwayname(5), "Asea_inh");
    EXPECT_EQ(rc_.regionroutecount, 24);
    EXPECT_EQ(rc_.V.count(), 36u);
    EXPECT_EQ(rc_.Abig.count(), 36u);
    EXPECT_EQ(rc_.Abig.values.storage(), indexedsparse);
    EXPECT_EQ(rc_.Abiginverse.values.storage(), dense);
}

TEST(Regcomps, FactorsModeSizesTheFactorMatrices) {
    Tworldfixture f;
    f.ws.settings.FactorsMode = true;
    f.ws.regcomps.build();
    EXPECT_EQ(f.ws.regcomps.FF.rows(), 36u);
    EXPECT_EQ(f.ws.regcomps.XF1.rows(), 24u);
    EXPECT_EQ(f.ws.regcomps.XF1.cols(), 36u);
    EXPECT_EQ(f.ws.regcomps.XF2.rows(), 6u);
    EXPECT_EQ(f.ws.regcomps.XF2.cols(), 24u);
    EXPECT_EQ(f.ws.regcomps.EFeco.rows(), 5u);
    EXPECT_EQ(f.ws.regcomps.EFhum.cols(), 6u);
}

TEST(Emission, SetPutsTheAmountIntoOneRegcompAndZeroElsewhere) {
    Tworldfixture f;
    setexists(f.ws, {rc(2, 1)});
    Temi& e = f.ws.emi;
    EXPECT_TRUE(e.set(2, air));
    EXPECT_EQ(e.to_air.value(2), 1);
    EXPECT_EQ(e.to_air.status(2), stDefault);
    EXPECT_EQ(e.to_air.value(1), 0);
    EXPECT_EQ(e.to_air.status(1), stDefault);
    EXPECT_EQ(e.to_seawater.value(3), 0);
    EXPECT_EQ(e.regcomp(), 13u);
    f.ws.settings.EmissionAmount = 2;
    EXPECT_EQ(e.to_air.value(2), 1); // the stored emission is not changed
    EXPECT_FALSE(e.set(3, lake));    // does not exist: placed anyway
    EXPECT_EQ(e.to_lake.value(3), 2);
    EXPECT_FALSE(e.set(1, lakesed)); // no emission parameter
    for (Tnumpars* p : e.parameters())
        for (std::uint32_t i = 1; i <= 3; ++i)
            EXPECT_EQ(p->value(i), 0);
    EXPECT_EQ(e.region, 1);
    EXPECT_EQ(e.compartment, 7);
}

TEST(Emission, MovesSkipInvalidRegcompsAndWrap) {
    Tworldfixture f;
    // Aland: air, nat, river, lake; Bland: air; Asea: air, seawater.
    setexists(f.ws, {rc(1, 1), rc(1, 2), rc(1, 5), rc(1, 6), rc(1, 7), rc(2, 1), rc(3, 1),
                     rc(3, 11), rc(3, 12)});
    Temi& e = f.ws.emi;
    e.first();
    EXPECT_EQ(e.regcomp(), rc(1, 1));
    e.next();
    EXPECT_EQ(e.regcomp(), rc(1, 2));
    e.next();
    EXPECT_EQ(e.regcomp(), rc(1, 5));
    e.next();
    EXPECT_EQ(e.regcomp(), rc(1, 6)); // lake
    e.next();
    EXPECT_EQ(e.regcomp(), rc(2, 1)); // sediment skipped
    e.set(3, seawater);
    e.next();
    EXPECT_EQ(e.regcomp(), rc(1, 1)); // sea sediment skipped, wrapped
    e.previous();
    EXPECT_EQ(e.regcomp(), rc(3, 11));
    e.last();
    EXPECT_EQ(e.regcomp(), rc(3, 11)); // last region is a sea
    e.set(1, saltlake);
    e.previous();
    EXPECT_EQ(e.regcomp(), rc(1, 6)); // lake sediment skipped
    e.set(1, 1);
    e.previous();
    EXPECT_EQ(e.regcomp(), rc(3, 11));
}

TEST(Emission, RegionMovesKeepTheCompartmentAndStopAtTheEnds) {
    Tworldfixture f;
    setexists(f.ws, {rc(1, 1), rc(2, 1), rc(3, 1), rc(1, 2)});
    Temi& e = f.ws.emi;
    e.set(1, air);
    e.nextregion();
    EXPECT_EQ(e.region, 2);
    e.nextregion();
    EXPECT_EQ(e.region, 3);
    e.nextregion(); // no region after the last: stays
    EXPECT_EQ(e.region, 3);
    EXPECT_EQ(e.to_air.value(3), 1);
    e.set(1, nat);
    e.nextregion(); // no natural soil further on: stays
    EXPECT_EQ(e.regcomp(), rc(1, 2));
    e.previousregion();
    EXPECT_EQ(e.region, 1);
}

TEST(Emission, MovesWithNothingValidEndAtTheFirstPositionTried) {
    Tworldfixture f;
    setexists(f.ws, {});
    Temi& e = f.ws.emi;
    e.first();
    EXPECT_EQ(e.regcomp(), 1u);
    e.next();
    EXPECT_EQ(e.regcomp(), 2u);
    e.last();
    EXPECT_EQ(e.regcomp(), 36u);
    e.set(1, 1);
    e.previous();
    EXPECT_EQ(e.regcomp(), 36u);
}

TEST(Emission, AllEditOffersTheMeanAndClearMakesEverythingUnknown) {
    Tworldfixture f;
    setexists(f.ws, {rc(1, 1)});
    Temi& e = f.ws.emi;
    e.set(1, air);
    f.ui.editanswers.push_back({true, true, "0.25"});
    e.edit("to_air", 0);
    ASSERT_EQ(f.ui.editrequests.size(), 1u);
    EXPECT_EQ(f.ui.editrequests[0].valuetext, "0.3333333"); // 1 kg/s over three regions
    for (std::uint32_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(e.to_air.value(i), 0.25f);
        EXPECT_EQ(e.to_air.status(i), stEdited);
    }
    e.clear();
    EXPECT_EQ(e.regcomp(), 1u);
    EXPECT_EQ(e.to_air.status(2), stUnknown);
}

TEST(Reference, TakesThePresentAndClears) {
    Tworldfixture f;
    Tref r;
    EXPECT_FALSE(r.held());
    f.ws.emi.set(2, river);
    std::array<float, 14> v{};
    v[3] = 7;
    r.takepresent(f.ws.emi, "X", v);
    EXPECT_TRUE(r.held());
    EXPECT_EQ(r.region, 2);
    EXPECT_EQ(r.compartment, river);
    EXPECT_EQ(r.values[3], 7);
    r.clear();
    EXPECT_FALSE(r.held());
    EXPECT_EQ(r.region, 0);
}
