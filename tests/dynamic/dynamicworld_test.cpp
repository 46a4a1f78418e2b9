// The dynamic solution on the default world: a long constant emission ends
// in the calculation's steady state, the mass accounting closes at every
// output time, bad scenarios are refused by row, Cancel keeps the complete
// output times, and exposure at a time leaves the results as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "dynamic/dynamic.h"
#include "dynamic/stateexposure.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"
#include "support/testsupport.h"

using namespace velmora;

namespace {

class DynamicWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ui_ = std::make_unique<Trecorderui>();
        ws_ = std::make_unique<Tworkspace>(*ui_, velmora::testing::bindir());
        ws_->initialize();
    }
    static void TearDownTestSuite() {
        ws_.reset();
        ui_.reset();
    }
    void SetUp() override {
        if (!ws_->env.present) GTEST_FAIL() << "build the default_workbooks target first";
        box = ws_->emi.regcomp();
    }
    Tmodel& m() { return ws_->model; }
    Tdynamicsettings constant(double years, std::vector<double> times) {
        Tdynamicsettings s;
        s.until = years * secondsperyear;
        s.times = std::move(times);
        s.emissions.push_back({box, 0, s.until, 1, 1, "row 1"});
        return s;
    }
    static std::unique_ptr<Trecorderui> ui_;
    static std::unique_ptr<Tworkspace> ws_;
    std::uint32_t box = 0;
};

std::unique_ptr<Trecorderui> DynamicWorld::ui_;
std::unique_ptr<Tworkspace> DynamicWorld::ws_;

std::string messageof(const std::function<void()>& f) {
    try {
        f();
    } catch (const Eerror& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

// Ten thousand years of 1 kg/s into the start-up box end where the
// calculation's steady state of 1 kg/s is, box by box.
TEST_F(DynamicWorld, LongConstantEmissionReachesTheSteadyState) {
    ASSERT_EQ(ws_->settings.EmissionAmount, 1.0f);
    const Tdynamicsettings s = constant(1e4, {1e4 * secondsperyear});
    const Tdynamicresult r = rundynamic(m(), s);
    ASSERT_EQ(r.outputs.size(), 1u);
    const std::vector<double>& mass = r.outputs.back().mass;
    const Tregcomps& rcs = ws_->regcomps;
    double total = 0, steady = 0, largest = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        largest = std::max(largest, double(rcs.CONC.value(k)) * rcs.V.value(k));
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        const double expected = double(rcs.CONC.value(k)) * rcs.V.value(k);
        total += mass[k - 1];
        steady += expected;
        // Boxes holding a trillionth of the largest are rounding in both.
        if (expected > 1e-12 * largest) {
            ASSERT_NEAR(mass[k - 1], expected, 1e-4 * expected) << rcs.regcompname(k);
        }
    }
    EXPECT_NEAR(total, steady, 1e-4 * steady);
    EXPECT_NEAR(r.derived.world().target, steady, 1e-6 * steady);
}

// A century with twenty output times: the mass accounting closes at each,
// the world fills monotonically, and the approach times are in order.
TEST_F(DynamicWorld, MassAccountingClosesAtEveryOutputTime) {
    const Tdynamicsettings s = constant(100, lineartimes(20, 100 * secondsperyear));
    const Tdynamicresult r = rundynamic(m(), s);
    ASSERT_EQ(r.outputs.size(), 20u);
    double before = 0;
    for (const Tdynamicoutput& o : r.outputs) {
        EXPECT_NEAR(o.ledger.emitted, o.time, 1e-9 * o.time);
        EXPECT_LT(o.relativeimbalance(), s.tolerance) << durationtext(o.time);
        EXPECT_GT(o.ledger.degraded, 0);
        // Once the world has reached its steady state (within decades since
        // frozen regions no longer fill for centuries) the mass stays level
        // up to the integrator's accuracy.
        EXPECT_GE(o.present, before * (1 - s.tolerance));
        before = o.present;
    }
    const Tseriesderived& world = r.derived.world();
    ASSERT_TRUE(r.derived.approachknown);
    EXPECT_GT(world.approach[0], 0);
    EXPECT_LE(world.approach[0], world.approach[1]);
    EXPECT_LE(world.approach[1], world.approach[2]);
    EXPECT_EQ(r.derived.stoptime, -1);
}

// From the steady state with the emission stopped the world empties, and
// its half-time is where the mass has halved.
TEST_F(DynamicWorld, DeclineFromTheSteadyState) {
    Tdynamicsettings s;
    s.until = 50 * secondsperyear;
    s.times = logtimes(40, s.until, 6);
    s.startfrom.push_back({box, 1});
    const Tdynamicresult r = rundynamic(m(), s);
    ASSERT_EQ(r.outputs.size(), 40u);
    const double start = r.derived.world().start;
    EXPECT_GT(start, 0);
    EXPECT_EQ(r.derived.stoptime, 0);
    const double half = r.derived.world().halftime;
    ASSERT_GT(half, 0);
    for (const Tdynamicoutput& o : r.outputs) {
        EXPECT_LT(o.relativeimbalance(), s.tolerance);
        if (o.time < 0.9 * half) {
            EXPECT_GT(o.present, 0.5 * start) << durationtext(o.time);
        }
        if (o.time > 1.1 * half) {
            EXPECT_LT(o.present, 0.5 * start) << durationtext(o.time);
        }
    }
}

// Each bad row is refused with its place and column.
TEST_F(DynamicWorld, BadScenarioRowsAreNamed) {
    const double until = 10 * secondsperyear;
    struct Tcase {
        Tscenariorow row;
        const char* expected;
    };
    const Tcase cases[] = {
        {{"Atlantis", "air", "0", "", "1", "", "row 2"}, "row 2, column region: unknown region"},
        {{"Netherlands", "fog", "0", "", "1", "", "row 3"}, "row 3, column compartment"},
        {{"Netherlands", "groundwater", "0", "", "1", "", "row 4"}, "row 4: no emission can go"},
        {{"Netherlands", "air", "5y", "2y", "1", "", "row 5"}, "row 5, column to: the piece ends"},
        {{"Netherlands", "air", "-1y", "", "1", "", "row 6"}, "row 6, column from"},
        {{"Netherlands", "air", "1y", "1y", "1", "", "row 7"}, "row 7, column to: the piece has"},
        {{"Netherlands", "air", "0", "1y", "-3", "", "row 8"}, "row 8, column rate: the rate -3"},
        {{"Netherlands", "air", "12y", "", "1", "", "row 9"},
         "row 9, column from: the piece starts"},
        {{"Netherlands", "air", "1", "", "1", "", "row 10"},
         "row 10, column from: the time \"1\" needs"},
    };
    for (const Tcase& c : cases) {
        const std::string message = messageof([&] { parsescenario(m(), {c.row}, until); });
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
    EXPECT_NE(messageof([&] { parseoutputtimes("1y,3y,2y", until); }).find("output time 3 (2y)"),
              std::string::npos);
    // A box that gains by itself makes the system unstable, and is named.
    Tnummatrix& abig = ws_->regcomps.Abig.values;
    const extended diagonal = abig.getvalue(box, box);
    abig.setvalue(box, box, -diagonal);
    const std::string unstable = messageof([&] { rundynamic(m(), constant(1, {})); });
    abig.setvalue(box, box, diagonal);
    EXPECT_NE(unstable.find("unstable: " + ws_->regcomps.regcompname(box)), std::string::npos)
        << unstable;
    EXPECT_NE(messageof([&] { parseoutputtimes("1y,11y", until); }).find("beyond the end"),
              std::string::npos);
}

// Cancel after a few steps: the run ends with the output times completed
// before it, each whole.
TEST_F(DynamicWorld, CancelKeepsTheCompleteOutputTimes) {
    const Tdynamicsettings s = constant(100, lineartimes(100, 100 * secondsperyear));
    int polls = 0;
    Tdynamiccallbacks cb;
    double reached = 0;
    cb.progress = [&](double t, double) { reached = t; };
    cb.cancelled = [&] { return ++polls >= 25; };
    const Tdynamicresult r = rundynamic(m(), s, cb);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(polls, 25);
    ASSERT_LT(r.outputs.size(), 100u);
    for (std::size_t i = 0; i < r.outputs.size(); ++i) {
        EXPECT_EQ(r.outputs[i].time, s.times[i]);
        EXPECT_LE(r.outputs[i].time, reached);
        EXPECT_EQ(r.outputs[i].mass.size(), ws_->regcomps.n);
    }
}

// The steady state's masses give the calculation's exposure; afterwards the
// results are as they were, value for value.
TEST_F(DynamicWorld, ExposureOfAStateLeavesTheResults) {
    const Tregcomps& rcs = ws_->regcomps;
    std::vector<double> mass(rcs.n), half(rcs.n);
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        mass[k - 1] = double(rcs.CONC.value(k)) * rcs.V.value(k);
        half[k - 1] = mass[k - 1] / 2;
    }
    const std::uint32_t nl = ws_->regions.find("Netherlands");
    const float dose = ws_->results.DOSE_total.value(nl);
    const float intake = ws_->results.INTAKE_total.value;
    ASSERT_GT(dose, 0);
    withstate(m(), mass,
              [&] { EXPECT_NEAR(ws_->results.DOSE_total.value(nl), dose, 1e-5 * dose); });
    withstate(m(), half, [&] {
        EXPECT_NEAR(ws_->results.DOSE_total.value(nl), dose / 2, 1e-5 * dose);
        EXPECT_NEAR(ws_->results.INTAKE_total.value, intake / 2, 1e-5 * intake);
    });
    EXPECT_EQ(ws_->results.DOSE_total.value(nl), dose);
    EXPECT_EQ(ws_->results.INTAKE_total.value, intake);
    const std::vector<std::string> names = stateresultnames(m(), true);
    EXPECT_NE(std::find(names.begin(), names.end(), "C_air"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "iF"), names.end());
}
