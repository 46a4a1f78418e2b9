// Where a gas emitted into German air goes on the default world: how much of
// it the southern hemisphere holds, how long it stays, and whether every
// kilogram emitted is accounted for. A two-box troposphere with the published
// interhemispheric exchange time of about a year (Newell et al. 1969: 320
// days; SF6 and 85Kr studies: 1.0-1.4 years) puts about 10 % of carbon
// monoxide, 2.5 % of benzene and 0.6 % of toluene in the south.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/workspace.h"
#include "support/testsupport.h"

using namespace velmora;

namespace {

struct Tburden {
    double total = 0, air = 0, south = 0; // mass over emission rate (s): all, air, southern air
    double northconc = 0, southconc = 0;  // mean air concentrations
    double southloss = 0;                 // kg/s degraded or lost in the south
    double emission = 0, loss = 0;        // kg/s
};

Tburden burden(Tworkspace& ws, const char* substance) {
    ws.opensubstance(substance);
    EXPECT_TRUE(ws.emi.set(ws.regions.find("Germany"), air));
    EXPECT_TRUE(ws.calculate()) << substance;
    Tburden b;
    double airmass[2] = {0, 0}, airvolume[2] = {0, 0}; // north, south
    Tregcomps& rc = ws.regcomps;
    for (std::uint32_t k = 1; k <= rc.n; ++k) {
        if (!rc.exists(k)) continue;
        const std::uint32_t region = (k - 1) / ncompartments + 1;
        const bool south = ws.env.latitude.value(region) < 0;
        const double c = rc.CONC.value(k), v = rc.V.value(k);
        const double loss = (double(rc.kdeg.value(k)) * v + rc.ADV_outside.value(k)) * c;
        b.emission += rc.EMIS.value(k);
        b.loss += loss;
        b.total += c * v;
        if (south) b.southloss += loss;
        if ((k - 1) % ncompartments + 1 == air) {
            airmass[south] += c * v;
            airvolume[south] += v;
        }
    }
    b.northconc = airmass[0] / airvolume[0];
    b.southconc = airmass[1] / airvolume[1];
    b.total /= b.emission;
    b.air = (airmass[0] + airmass[1]) / b.emission;
    b.south = airmass[1] / b.emission;
    return b;
}

class Hemispheres : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(velmora::testing::bindir() + "/ENVDATA2part2.xlsx")) return;
        ui_ = new Trecorderui;
        ws_ = new Tworkspace(*ui_, velmora::testing::bindir());
        ws_->initialize();
    }
    static void TearDownTestSuite() {
        delete ws_;
        delete ui_;
        ws_ = nullptr;
        ui_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(ws_, nullptr) << "build the default_workbooks target first";
        ASSERT_TRUE(ws_->env.present);
    }
    static Trecorderui* ui_;
    static Tworkspace* ws_;
};
Trecorderui* Hemispheres::ui_ = nullptr;
Tworkspace* Hemispheres::ws_ = nullptr;

TEST_F(Hemispheres, ShortLivedGasesStayInTheNorthAndLiveAsPublished) {
    const double day = 86400, year = 365.25 * day;
    struct Tcase {
        const char* substance;
        double southshare; // at most
        double shortest, longest;
    };
    for (const Tcase& c : {Tcase{"Methane", 0.5, 6 * year, 14 * year},
                           Tcase{"Carbon monoxide", 0.30, 40 * day, 90 * day},
                           Tcase{"Benzene", 0.075, 6 * day, 14 * day},
                           Tcase{"Toluene", 0.02, 1.4 * day, 3.2 * day}}) {
        Tburden b = burden(*ws_, c.substance);
        EXPECT_LE(b.south / b.air, c.southshare) << c.substance;
        EXPECT_GE(b.total, c.shortest) << c.substance << ": " << b.total / day << " d";
        EXPECT_LE(b.total, c.longest) << c.substance << ": " << b.total / day << " d";
        // Every kilogram emitted is degraded or leaves the world.
        EXPECT_NEAR(b.loss, b.emission, 1e-6 * b.emission) << c.substance;
    }
    EXPECT_TRUE(ui_->warnings.empty()) << ui_->warnings.front();
}

// Two boxes of equal air: the south loses what the north sends it,
// (c_north - c_south) * (half the air) / exchange time.
TEST_F(Hemispheres, MixInAboutAYear) {
    const double year = 365.25 * 86400;
    for (const char* gas : {"Methane", "Trichlorofluoromethane"}) {
        Tburden b = burden(*ws_, gas);
        double halfair = 0;
        for (std::uint32_t r = 1; r <= ws_->regions.count; ++r)
            halfair += ws_->regcomps.V.value(Tregcomps::regcompnumber(r, air)) / 2.0;
        const double exchange = (b.northconc - b.southconc) * halfair / b.southloss;
        EXPECT_GT(exchange, 0.7 * year) << gas;
        EXPECT_LT(exchange, 1.5 * year) << gas;
        // A long-lived gas from the north is only a little more concentrated there.
        EXPECT_GT(b.northconc / b.southconc, 1.0) << gas;
        EXPECT_LT(b.northconc / b.southconc, 1.25) << gas;
    }
}

} // namespace
