// The mass balance and the distribution and dose shares: on the default
// world the balance of a box closes and agrees with the residence time the
// calculation stores; on a small world with values set by hand the row
// rules hold where naive arithmetic would differ.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/cli/commands.h"
#include "app/workspace.h"
#include "compute/analysis.h"
#include "support/testsupport.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

const Tbalancerow* findrow(const Tbalance& b, const std::string& type, const std::string& dir,
                           const std::string& regcomp) {
    for (const Tbalancerow& r : b.rows)
        if (r.type == type && r.direction == dir && r.regcomp == regcomp) return &r;
    return nullptr;
}

const Tbalancerow* findnet(const Tbalance& b, const std::string& label) {
    for (const Tbalancerow& r : b.rows)
        if (r.regcomp == label) return &r;
    return nullptr;
}

// ---- the default world ------------------------------------------------------

class DefaultWorldBalance : public ::testing::Test {
protected:
    static Trecorderui* ui;
    static Tworkspace* ws;
    static void SetUpTestSuite() {
        ui = new Trecorderui;
        ws = new Tworkspace(*ui, velmora::testing::bindir());
        ws->settings.WithRestime = true;
        ws->initialize();
    }
    static void TearDownTestSuite() {
        delete ws;
        delete ui;
    }
    void SetUp() override {
        ASSERT_TRUE(ws->env.present);
        ASSERT_TRUE(noconcentrations(ws->model).empty());
        ui->reset();
    }

    // Ten used boxes of different kinds: the emission box, more of its
    // region, a sea's three boxes and the air of the last land region.
    std::vector<std::uint32_t> boxes() const {
        const std::uint32_t e = ws->emi.regcomp(), r = ws->regions.count, L = ws->regions.nland;
        const std::uint32_t sea = L + 1, land = static_cast<std::uint32_t>(ws->emi.region);
        std::vector<std::uint32_t> k = {e,
                                        Tregcomps::regcompnumber(land, river),
                                        Tregcomps::regcompnumber(land, lake),
                                        Tregcomps::regcompnumber(land, lakesed),
                                        Tregcomps::regcompnumber(land, groundwater),
                                        Tregcomps::regcompnumber(land, agr),
                                        Tregcomps::regcompnumber(sea, seawater),
                                        Tregcomps::regcompnumber(sea, seased),
                                        Tregcomps::regcompnumber(r, air),
                                        Tregcomps::regcompnumber(L, air)};
        return k;
    }
};
Trecorderui* DefaultWorldBalance::ui = nullptr;
Tworkspace* DefaultWorldBalance::ws = nullptr;

TEST_F(DefaultWorldBalance, TenBoxesCloseAndGiveTheStoredResidenceTime) {
    ASSERT_TRUE(ws->regions.island(static_cast<std::uint32_t>(ws->emi.region)));
    for (std::uint32_t a : boxes()) {
        SCOPED_TRACE(ws->regcomps.regcompname(a));
        ASSERT_TRUE(ws->regcomps.exists(a));
        const Tbalance b = grossbalance(ws->model, a);
        const Tbalancerow* to = findrow(b, "total", "to", "everywhere");
        const Tbalancerow* from = findrow(b, "total", "from", "everywhere");
        ASSERT_NE(to, nullptr);
        ASSERT_NE(from, nullptr);
        // Steady state: what leaves is what comes in, within a few units
        // of the last place of a single (the default world: 2e-7 at most).
        EXPECT_NEAR(to->amount, from->amount, 1e-6 * from->amount);
        EXPECT_EQ(to->percent, "100");
        // The "to" rows add up to the "to" total, the "from" rows to the other.
        double sumto = 0, sumfrom = 0;
        for (const Tbalancerow& r : b.rows) {
            if (r.type == "total" || r.direction == "in") continue;
            (r.direction == "to" ? sumto : sumfrom) += r.amount;
        }
        EXPECT_NEAR(sumto, to->amount, 1e-5 * to->amount);
        EXPECT_NEAR(sumfrom, from->amount, 1e-5 * from->amount);
        const Tbalancerow* restime =
            findrow(b, "residence time (s)", "in", ws->regcomps.regcompname(a));
        ASSERT_NE(restime, nullptr);
        EXPECT_NEAR(restime->amount, ws->regcomps.RESTIME.value(a),
                    2e-6 * ws->regcomps.RESTIME.value(a));
        const Tbalancerow* mass = findrow(b, "mass (kg)", "in", ws->regcomps.regcompname(a));
        ASSERT_NE(mass, nullptr);
        EXPECT_FLOAT_EQ(mass->amount / from->amount, restime->amount);
        // The net table gives the same residence time, not mass over its
        // near-zero total.
        const Tbalance net = netbalance(ws->model, a);
        const Tbalancerow* netrestime = findnet(net, "residence time (s)");
        ASSERT_NE(netrestime, nullptr);
        EXPECT_EQ(netrestime->amount, restime->amount);
    }
    EXPECT_TRUE(ui->warnings.empty());
    // What the balance read counts as used in the results check.
    EXPECT_TRUE(ws->regcomps.CONC.used(boxes()[0]));
}

// Every box's residence time is its mass over its input summed exactly and
// rounded once: a sum rounded at every one of a box's inflows drifted by as
// many units of the last place as it has neighbours (1.9e-7 off in the air of
// the Baltic Sea).
TEST_F(DefaultWorldBalance, EveryResidenceTimeIsTheMassOverTheInputRoundedOnce) {
    const Tregcomps& rcs = ws->regcomps;
    std::vector<long double> input(std::size_t(rcs.n) + 1, 0);
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        input[k] = rcs.EMIS.value(k);
    rcs.Abig.values.foreachnonzero([&](std::uint32_t i, std::uint32_t h, long double x) {
        if (i != h) input[i] += x * rcs.CONC.value(h);
    });
    double worst = 0;
    std::uint32_t where = 0, checked = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        if (rcs.RESTIME.status(k) != stDefault || !(input[k] > 0)) continue;
        const float rounded = static_cast<float>(input[k]);
        const double expected = static_cast<float>(rcs.MASS.value(k) / (long double)rounded);
        const double error = std::fabs(rcs.RESTIME.value(k) - expected) / expected;
        ++checked;
        if (error > worst) {
            worst = error;
            where = k;
        }
    }
    EXPECT_GT(checked, 1500u);
    // One unit of the last place: the exact input may round either way.
    EXPECT_LE(worst, 0x1p-23) << (where ? rcs.regcompname(where) : std::string());
}

TEST_F(DefaultWorldBalance, TheEmissionBoxNamesItsEmissionAndTheCliPrintsTheSameRows) {
    const std::uint32_t e = ws->emi.regcomp();
    const Tbalance b = grossbalance(ws->model, e);
    const Tbalancerow* emis = findrow(b, "EMIS", "from", "outside");
    ASSERT_NE(emis, nullptr);
    EXPECT_FLOAT_EQ(emis->amount, ws->regcomps.EMIS.value(e));
    EXPECT_EQ(b.rows.back().type, "residence time (s)");

    std::ostringstream out, err;
    const std::string box = ws->regions.name(static_cast<std::uint32_t>(ws->emi.region)) + ":air";
    ASSERT_EQ(runcli({"balance", "--regcomp", box}, out, err), 0) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "#\tType\tDirection\tRegcomp\tAmount (kg*s^-1)\t%");
    for (const auto& cells : b.cells()) {
        ASSERT_TRUE(std::getline(lines, line));
        std::string expected;
        for (const std::string& c : cells)
            expected += (expected.empty() ? "" : "\t") + c;
        EXPECT_EQ(line, expected);
    }
    EXPECT_FALSE(std::getline(lines, line));
    EXPECT_EQ(runcli({"balance", "--regcomp", "Nowhere:air"}, out, err), 1);
    EXPECT_EQ(runcli({"explain", "--region", "Seas", "--dose"}, out, err), 1);
}

TEST_F(DefaultWorldBalance, DistributionSharesOfTheWorld) {
    const std::uint32_t n = ws->regions.count;
    // Every visible bar of World under "Each compartment" is its whole.
    for (const Tbreakdownbutton& b :
         distributionview(ws->model, n + 1, Tindicator::eachcompartment))
        if (b.barvisible) {
            EXPECT_EQ(b.position, 100);
        }
    // "Seas" shows the three boxes of the seas only, and their shares of
    // the seas' mass add up to about 100.
    int shown = 0, sum = 0;
    for (const Tbreakdownbutton& b : distributionview(ws->model, n + 3, Tindicator::region)) {
        EXPECT_EQ(b.visible, b.item == air || b.item == seawater || b.item == seased);
        shown += b.visible ? 1 : 0;
        sum += b.barvisible ? b.position : 0;
    }
    EXPECT_EQ(shown, 3);
    EXPECT_NEAR(sum, 100, 2);
    // "World" has no one box; its meat route's window says only where.
    EXPECT_EQ(routebreakdown(ws->model, doseworlditem(ws->model), rtmeat),
              std::vector<std::string>{"Region = world"});
    EXPECT_TRUE(compartmentbreakdown(ws->model, n + 3, air).empty());
    EXPECT_TRUE(ui->warnings.empty());
}

// ---- a small world with values set by hand ----------------------------------

class BalanceRules : public ::testing::Test {
protected:
    Tworldfixture f;
    Tregcomps& rcs = f.ws.regcomps;
    std::uint32_t a = 0, b = 0, c = 0;

    void SetUp() override {
        const std::uint32_t n = rcs.n;
        ASSERT_GT(n, 12u);
        for (std::uint32_t k = 1; k <= n; ++k) {
            for (Tnumpars* p : {&rcs.V, &rcs.CONC, &rcs.kdeg, &rcs.ADV_outside, &rcs.EMIS})
                p->setdefault(k, 0);
            for (std::uint32_t j = 1; j <= n; ++j) {
                rcs.ADV.setdefault(k, j, 0);
                rcs.DIFF.setdefault(k, j, 0);
            }
        }
        a = Tregcomps::regcompnumber(1, air);
        b = Tregcomps::regcompnumber(2, air);
        c = Tregcomps::regcompnumber(1, nat);
    }
    Tbalance gross() { return grossbalance(f.m(), a); }
    Tbalance net() { return netbalance(f.m(), a); }
};

TEST_F(BalanceRules, AnEmptyBoxHasNoRows) {
    EXPECT_TRUE(gross().rows.empty());
    EXPECT_TRUE(net().rows.empty());
    EXPECT_EQ(gross().headings.size(), 6u);
    EXPECT_EQ(net().headings.size(), 3u);
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(BalanceRules, EqualFlowsBothWaysGiveNoNetRow) {
    rcs.CONC.setdefault(a, 1e-3f);
    rcs.CONC.setdefault(b, 1e-3f);
    rcs.CONC.setdefault(c, 2e-3f);
    rcs.ADV.setdefault(a, b, 2);
    rcs.ADV.setdefault(b, a, 2);
    rcs.DIFF.setdefault(a, c, 1);
    rcs.DIFF.setdefault(c, a, 1);
    const Tbalance g = gross();
    ASSERT_NE(findrow(g, "ADV", "to", rcs.regcompname(b)), nullptr);
    ASSERT_NE(findrow(g, "ADV", "from", rcs.regcompname(b)), nullptr);
    const Tbalance n = net();
    EXPECT_EQ(findnet(n, rcs.regcompname(b)), nullptr);
    // c holds twice the concentration: a net inflow of 1 x (2e-3 - 1e-3).
    const Tbalancerow* fromc = findnet(n, rcs.regcompname(c));
    ASSERT_NE(fromc, nullptr);
    EXPECT_FLOAT_EQ(fromc->amount, 1e-3f);
    EXPECT_EQ(fromc->number, std::to_string(c));
    ASSERT_NE(findnet(n, "total"), nullptr);
    EXPECT_FLOAT_EQ(findnet(n, "total")->amount, 1e-3f);
}

TEST_F(BalanceRules, PercentagesRoundHalvesToEven) {
    // Out = 1 + 3 + 4 = 8: 12.5 % and 37.5 % round to the even neighbours.
    rcs.CONC.setdefault(a, 1);
    rcs.V.setdefault(a, 1);
    rcs.ADV.setdefault(a, b, 1);
    rcs.ADV.setdefault(a, c, 3);
    rcs.kdeg.setdefault(a, 4);
    const Tbalance g = gross();
    EXPECT_EQ(findrow(g, "ADV", "to", rcs.regcompname(b))->percent, "12");
    EXPECT_EQ(findrow(g, "ADV", "to", rcs.regcompname(c))->percent, "38");
    EXPECT_EQ(findrow(g, "kdeg", "to", "outside")->percent, "50");
    EXPECT_EQ(findrow(g, "total", "to", "everywhere")->percent, "100");
    EXPECT_EQ(balancepercent(1, 8), "12");
    EXPECT_EQ(balancepercent(5, 200), "2");
}

TEST_F(BalanceRules, AnAmountThatUnderflowsInSinglePrecisionHasNoRow) {
    // 1e-30 x 1e-20 is a double but 0 as a single.
    rcs.CONC.setdefault(b, 1e-20f);
    rcs.ADV.setdefault(b, a, 1e-30f);
    rcs.DIFF.setdefault(b, a, 1e-30f);
    EXPECT_TRUE(gross().rows.empty());
    EXPECT_TRUE(net().rows.empty());
}

TEST_F(BalanceRules, AZeroTotalShowsNoPercentage) {
    // A negative degradation cancels the outflow: the "to" total is 0.
    rcs.CONC.setdefault(a, 1);
    rcs.V.setdefault(a, 1);
    rcs.ADV.setdefault(a, b, 1);
    rcs.kdeg.setdefault(a, -1);
    const Tbalance g = gross();
    EXPECT_EQ(findrow(g, "ADV", "to", rcs.regcompname(b))->percent, "-");
    EXPECT_EQ(findrow(g, "total", "to", "everywhere"), nullptr);
    // No inflow: the mass row without a residence time.
    ASSERT_NE(findrow(g, "mass (kg)", "in", rcs.regcompname(a)), nullptr);
    EXPECT_EQ(g.rows.back().type, "mass (kg)");
}

TEST_F(BalanceRules, ResidenceTimeIsMassOverGrossInflowInBothTables) {
    rcs.CONC.setdefault(a, 1);
    rcs.V.setdefault(a, 8);
    rcs.EMIS.setdefault(a, 2);
    rcs.kdeg.setdefault(a, 0.25f);
    const Tbalance g = gross(), n = net();
    EXPECT_FLOAT_EQ(findrow(g, "residence time (s)", "in", rcs.regcompname(a))->amount, 4);
    // Emission 2 in, degradation 2 out: the net total is 0, the time is not.
    EXPECT_EQ(findnet(n, "outside"), nullptr);
    EXPECT_EQ(findnet(n, "total"), nullptr);
    EXPECT_FLOAT_EQ(findnet(n, "residence time (s)")->amount, 4);
    EXPECT_EQ(findnet(n, "mass (kg)")->number, std::to_string(a));
}

TEST(BarPosition, IsClampedAndNeedsAPositiveWhole) {
    int p = -1;
    EXPECT_TRUE(barposition(3, 2, p));
    EXPECT_EQ(p, 100);
    EXPECT_TRUE(barposition(-1, 2, p));
    EXPECT_EQ(p, 0);
    EXPECT_TRUE(barposition(1, 8, p));
    EXPECT_EQ(p, 12);
    EXPECT_FALSE(barposition(1, 0, p));
    EXPECT_FALSE(barposition(1, -3, p));
}

} // namespace
