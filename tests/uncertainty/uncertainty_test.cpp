// Uncertainty runs on the small world: zero spread gives the deterministic
// results, a product of lognormals comes out lognormal, seeds give the same
// numbers on any number of threads, the contributions find the input that
// matters, bad settings name their row and column, the settings sheet
// round-trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "compute/calculation.h"
#include "support/testsupport.h"
#include "support/worldfixture.h"
#include "uncertainty/uncertainty.h"
#include "uncertainty/uncertaintysheet.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

Tuncertaininput input(const std::string& parameter, Tdistributionkind kind, double a, double b,
                      const std::string& region = "All", Tinputscale scale = Tinputscale::factor) {
    Tuncertaininput in;
    in.parameter = parameter;
    in.region = region;
    in.scale = scale;
    in.distribution = {kind, a, b, 0, {}, {}};
    return in;
}

const Tresultuncertainty& resultnamed(const Tuncertaintyrun& run, const std::string& name) {
    for (const Tresultuncertainty& r : run.results)
        if (r.item.name == name) return r;
    throw std::runtime_error("no result " + name);
}

class Uncertainty : public ::testing::Test {
protected:
    Tworldfixture f;
    Tmodel& m = f.m();
    const std::uint32_t aland = 1;

    void SetUp() override {
        f.organic();
        f.ws.sub.EFFECT_aquatox.set(1000, stImported);
        f.ws.sub.EFFECT_terrtox.set(50, stImported);
        f.ws.results.clear();
        f.ws.env.changed = true;
        f.ws.emi.set(aland, air); // the box exists only after a first solve
        ASSERT_TRUE(calculate(m, false));
        ASSERT_TRUE(f.ws.emi.set(aland, air));
        ASSERT_TRUE(calculate(m, false));
        f.ws.takereference();
        ASSERT_TRUE(calculate(m, false));
        f.ui.reset();
    }
};

} // namespace

// Draws of inputs without spread, of the substance alone (the landscape is
// kept) and of the environment too (everything is recalculated).
class UncertaintyZeroSpread : public Uncertainty, public ::testing::WithParamInterface<bool> {};

TEST_P(UncertaintyZeroSpread, ReproducesTheDeterministicResultsExactly) {
    Tuncertaintysettings s;
    s.inputs = {input("Kow", Tdistributionkind::lognormal, 1, 1),
                input("SOL", Tdistributionkind::uniform, 1, 1, "All", Tinputscale::factor)};
    if (GetParam())
        s.inputs.insert(s.inputs.end(),
                        {input("TEMP", Tdistributionkind::normal, 1, 0),
                         input("WINDSPEED", Tdistributionkind::normal, m.env.WINDSPEED.value(2), 0,
                               "Bland", Tinputscale::value)});
    s.draws = 5;
    s.threads = 2;
    Tuncertaintyrun run = rununcertainty(m, s);
    ASSERT_FALSE(run.cancelled);
    ASSERT_EQ(run.failedcount, 0u);
    // Every existing regcomp, total mass over emission, iFtot, the risk
    // ratios of the emission region that exist, the factors.
    std::size_t regcomps = 0;
    for (std::uint32_t k = 1; k <= m.regcomps.n; ++k)
        regcomps += m.regcomps.exists(k) ? 1 : 0;
    ASSERT_GT(run.results.size(), regcomps + 2);
    std::size_t checked = 0;
    for (std::size_t r = 0; r < run.results.size(); ++r) {
        const Tresultitem& item = run.results[r].item;
        float expected = 0;
        if (item.source == Tresultitem::Tsource::regcomp) {
            expected = m.regcomps.CONC.value(item.index);
        } else if (item.source == Tresultitem::Tsource::scalar) {
            expected = std::get<Tnumpar*>(m.results.find(item.parameter)->parameter)->value;
        } else if (item.source == Tresultitem::Tsource::regional) {
            expected =
                std::get<Tnumpars*>(m.results.find(item.parameter)->parameter)->value(item.index);
        } else {
            continue;
        }
        EXPECT_EQ(run.results[r].deterministic, expected) << item.name;
        for (float v : run.valuesof(r))
            ASSERT_EQ(v, expected) << item.name;
        EXPECT_EQ(run.results[r].summary.percentiles[0], double(expected)) << item.name;
        ++checked;
    }
    EXPECT_EQ(checked, run.results.size() - 1);
    // The model the run copied is untouched.
    EXPECT_EQ(m.sub.Kow.value, 1000);
    EXPECT_TRUE(f.ui.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(SubstanceAndEnvironment, UncertaintyZeroSpread, ::testing::Bool());

TEST_F(Uncertainty, AProductOfLognormalsComesOutLognormal) {
    // The river's actual impact score is the effect factor times the
    // sensitivity factor of every region times what the concentrations make
    // of them: lognormal with ln GSD = sqrt(ln^2 3 + ln^2 2) around the
    // deterministic value times the medians.
    Tuncertaintysettings s;
    s.inputs = {input("EFFECT_aquatox", Tdistributionkind::lognormal, 1.5, 3),
                input("SFtox_river", Tdistributionkind::lognormal, 0.8, 2)};
    s.draws = 4000;
    s.seed = 11;
    s.results = {"IAICRtox_river", "RCRtox_river[Aland]"};
    Tuncertaintyrun run = rununcertainty(m, s);
    const Tresultuncertainty& r = resultnamed(run, "IAICRtox_river");
    const double median = r.deterministic * 1.5 * 0.8;
    const double sigma = std::hypot(std::log(3.0), std::log(2.0));
    EXPECT_NEAR(r.summary.geomean / median, 1, 0.01);
    EXPECT_NEAR(std::log(r.summary.gsd) / sigma, 1, 0.03);
    for (std::size_t k = 0; k < percentilelevels.size(); ++k) {
        // Four standard errors of a percentile of 4000 random draws.
        const double p = percentilelevels[k] / 100, z = normalquantile(p);
        const double se = std::sqrt(p * (1 - p) / 4000) * std::sqrt(2 * M_PI) * std::exp(z * z / 2);
        const double analytic = median * std::exp(sigma * z);
        EXPECT_NEAR(std::log(r.summary.percentiles[k] / analytic), 0, 4 * sigma * se)
            << percentilelevels[k];
    }
    EXPECT_NEAR(r.summary.mean / (median * std::exp(sigma * sigma / 2)), 1, 0.08);
    // Squared rank correlations share out the variance by the log spreads.
    const double share = std::log(3.0) * std::log(3.0) / (sigma * sigma);
    EXPECT_NEAR(r.contributions[0], share, 0.03);
    EXPECT_NEAR(r.contributions[1], 1 - share, 0.03);
    // The risk ratio of one region has only the effect factor in it.
    const Tresultuncertainty& rcr = resultnamed(run, "RCRtox_river[Aland]");
    EXPECT_NEAR(std::log(rcr.summary.gsd), std::log(3.0), 0.01 * std::log(3.0));
}

TEST_F(Uncertainty, ContributionFindsTheOnlyInputThatMatters) {
    Tuncertaintysettings s;
    s.inputs = {input("EFFECT_terrtox", Tdistributionkind::lognormal, 1, 3),
                input("EFFECT_aquatox", Tdistributionkind::lognormal, 1, 3),
                input("RAINRATE", Tdistributionkind::uniform, 0.5, 2, "Asea")};
    s.draws = 300;
    s.results = {"RCRtox_river[Aland]"};
    Tuncertaintyrun run = rununcertainty(m, s);
    const std::vector<double>& c = run.results.at(0).contributions;
    ASSERT_EQ(c.size(), 3u);
    EXPECT_GT(c[1], 0.97);
    EXPECT_LT(c[0], 0.04);
    EXPECT_NEAR(c[0] + c[1] + c[2], 1, 1e-12);
}

TEST_F(Uncertainty, ASeedGivesTheSameNumbersOnAnyNumberOfThreads) {
    Tuncertaintysettings s;
    s.inputs = {input("Kow", Tdistributionkind::lognormal, 1, 2),
                input("DT50bio_soil_TEMPtest", Tdistributionkind::triangular, 0.5, 1),
                input("TEMP", Tdistributionkind::normal, 1, 0.01, "Aland")};
    s.inputs[1].distribution.third = 3;
    s.correlations = {{"Kow", "DT50bio_soil_TEMPtest", 0.5}};
    s.draws = 24;
    s.seed = 2024;
    s.threads = 1;
    Tuncertaintyrun one = rununcertainty(m, s);
    s.threads = 3;
    Tuncertaintyrun three = rununcertainty(m, s);
    EXPECT_EQ(three.threads, 3u);
    EXPECT_EQ(one.inputdraws, three.inputdraws);
    ASSERT_EQ(one.values.size(), three.values.size());
    for (std::size_t k = 0; k < one.values.size(); ++k)
        ASSERT_EQ(std::memcmp(&one.values[k], &three.values[k], sizeof(float)), 0) << k;
    for (std::size_t r = 0; r < one.results.size(); ++r) {
        EXPECT_EQ(one.results[r].summary.mean, three.results[r].summary.mean);
        EXPECT_EQ(one.results[r].summary.percentiles, three.results[r].summary.percentiles);
        EXPECT_EQ(one.results[r].contributions, three.results[r].contributions);
    }
    s.seed = 2025;
    EXPECT_NE(drawinputs(s), one.inputdraws);
    // The draws moved the concentrations.
    const Tresultuncertainty& first = one.results.front();
    EXPECT_GT(first.summary.maximum, first.summary.minimum);
}

TEST_F(Uncertainty, BadSettingsNameTheirRowAndColumn) {
    struct Tcase {
        Tuncertaininput in;
        const char* column;
        const char* says;
    };
    Tuncertaininput crossed = input("Kow", Tdistributionkind::normal, 1, 0.2);
    crossed.distribution.lower = 2;
    crossed.distribution.upper = 1;
    const Tcase cases[] = {
        {input("Kow", Tdistributionkind::lognormal, 1, 1), "value 2", "geometric standard"},
        {input("Kow", Tdistributionkind::normal, 1, -0.5), "value 2", "standard deviation"},
        {crossed, "upper bound", "above the lower bound"},
        {input("Kowx", Tdistributionkind::lognormal, 1, 2), "parameter", "\"Kowx\""},
        {input("TEMP", Tdistributionkind::lognormal, 1, 2, "Atlantis"), "region", "\"Atlantis\""},
        {input("Kow", Tdistributionkind::lognormal, 1, 2, "Aland"), "region", "must be All"},
        {input("substype", Tdistributionkind::lognormal, 1, 2), "parameter", "cannot be varied"},
        {input("DT50anaerbio_sed", Tdistributionkind::lognormal, 1, 2), "parameter", "infinite"},
    };
    for (const Tcase& c : cases) {
        Tuncertaintysettings s;
        s.inputs = {input("SOL", Tdistributionkind::lognormal, 1, 2), c.in};
        try {
            checksettings(m, s);
            ADD_FAILURE() << c.says << ": no error";
        } catch (const Euncertaintysetting& e) {
            EXPECT_EQ(e.row, 2u) << e.what();
            EXPECT_EQ(e.column, c.column) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Row 2 of the inputs, column", 0), 0u)
                << e.what();
        }
    }
    Tuncertaintysettings s;
    s.inputs = {input("SOL", Tdistributionkind::lognormal, 1, 2)};
    s.draws = 0;
    EXPECT_THROW(checksettings(m, s), Euncertaintysetting);
    s.draws = 10;
    s.correlations = {{"SOL", "Kow", 0.3}};
    try {
        checksettings(m, s);
        ADD_FAILURE() << "a correlation with an input not varied";
    } catch (const Euncertaintysetting& e) {
        EXPECT_EQ(e.table, "correlations");
        EXPECT_EQ(e.column, "input 2");
    }
}

TEST_F(Uncertainty, CancelShowsNothingOfTheRun) {
    Tuncertaintysettings s;
    s.inputs = {input("Kow", Tdistributionkind::lognormal, 1, 2)};
    s.draws = 100000;
    int polls = 0;
    Tuncertaintycallbacks callbacks;
    callbacks.cancelled = [&] { return ++polls >= 2; };
    Tuncertaintyrun run = rununcertainty(m, s, callbacks);
    EXPECT_TRUE(run.cancelled);
    EXPECT_TRUE(run.results.empty());
    EXPECT_TRUE(run.values.empty());
    // At once: the calculation without draws is stopped, which is no error.
    callbacks.cancelled = [] { return true; };
    run = rununcertainty(m, s, callbacks);
    EXPECT_TRUE(run.cancelled);
    EXPECT_TRUE(run.results.empty());
}

TEST_F(Uncertainty, DefaultInputsVaryWhatTheSubstanceGives) {
    std::vector<Tuncertaininput> inputs = defaultinputs(m);
    std::vector<std::string> keys;
    for (const Tuncertaininput& in : inputs)
        keys.push_back(in.key());
    // Given: VP, SOL, Kow, five half-lives, the photolysis default, two
    // effects; HENRY and krad_OH are derived from them and not varied
    // themselves, Koc is (the regression's scatter).
    for (const char* name : {"VP_TEMPtest", "SOL", "Kow", "Koc", "DT50bio_soil_TEMPtest",
                             "DT50photo_air", "EFFECT_aquatox", "EFFECT_terrtox"})
        EXPECT_NE(std::find(keys.begin(), keys.end(), name), keys.end()) << name;
    for (const char* name : {"HENRY", "krad_OH", "DT50anaerbio_sed", "BCF_fish"})
        EXPECT_EQ(std::find(keys.begin(), keys.end(), name), keys.end()) << name;
    EXPECT_NO_THROW(checkinputs(m, inputs, {}));
}

TEST_F(Uncertainty, DerivedPropertiesFollowTheirDrawnSources) {
    // HENRY is VP_TEMPtest / SOL while derived: a factor of 2 on SOL halves it.
    Tuncertaintysettings s;
    s.inputs = {input("SOL", Tdistributionkind::uniform, 1.999999, 2.000001)};
    s.draws = 3;
    s.results = {"C_air[Aland]"};
    ASSERT_TRUE(m.sub.HENRY.isdefault());
    Tinputsetter setter(m, s.inputs);
    const double two = 2;
    setter.set(&two);
    EXPECT_FLOAT_EQ(m.sub.SOL.value, 2);
    EXPECT_FLOAT_EQ(m.sub.HENRY.value, 5);
    EXPECT_TRUE(m.sub.HENRY.isdefault());
    const double one = 1;
    setter.set(&one);
    EXPECT_FLOAT_EQ(m.sub.HENRY.value, 10);
    // A factor on the derived Koc multiplies what Kow gives.
    Tinputsetter koc(m, {input("Kow", Tdistributionkind::lognormal, 1, 2),
                         input("Koc", Tdistributionkind::lognormal, 1, 2)});
    const double factors[] = {10, 3};
    koc.set(factors);
    EXPECT_NEAR(m.sub.Koc.value, 3 * 1.26 * std::pow(10000.0, 0.81) / 1000, 1e-4);
    // Each draw starts from the values of before.
    const double ones[] = {1, 1};
    koc.set(ones);
    EXPECT_FLOAT_EQ(m.sub.Kow.value, 1000);
    EXPECT_FLOAT_EQ(m.sub.SOL.value, 1);
}

TEST(UncertaintySheet, SettingsRoundTripAndOtherSheetsStay) {
    velmora::testing::Ttempdir dir;
    const std::string path = dir.file("settings.xlsx");
    velmora::testing::Tsheetspec notes{"Notes", {}};
    notes.set(1, 1, "kept");
    notes.set(2, 3, "4.5");
    velmora::testing::writeworkbook(path, {notes});
    Tuncertaintysettings s;
    s.inputs = {input("Kow", Tdistributionkind::lognormal, 1, 3.162),
                input("TEMP", Tdistributionkind::normal, 288.15, 2.5, "Korea, Republic of",
                      Tinputscale::value),
                input("DT50bio_soil_TEMPtest", Tdistributionkind::triangular, 0.1, 1)};
    s.inputs[2].distribution.third = 10;
    s.inputs[2].distribution.lower = 0.2;
    s.inputs[1].distribution.upper = 300;
    s.correlations = {{"Kow", "DT50bio_soil_TEMPtest", -0.35}};
    s.draws = 2500;
    s.seed = 18446744073709551615ull;
    s.results = {"CONC", "C_air[Korea, Republic of]", "iFtot"};
    writeuncertaintyworkbook(path, s);
    Tuncertaintyworkbook back = readuncertaintyworkbook(path);
    ASSERT_EQ(back.settings.inputs.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const Tuncertaininput &a = s.inputs[k], &b = back.settings.inputs[k];
        EXPECT_EQ(a.parameter, b.parameter);
        EXPECT_EQ(a.region, b.region);
        EXPECT_EQ(a.scale, b.scale);
        EXPECT_EQ(a.distribution.kind, b.distribution.kind);
        EXPECT_EQ(a.distribution.first, b.distribution.first);
        EXPECT_EQ(a.distribution.second, b.distribution.second);
        EXPECT_EQ(a.distribution.third, b.distribution.third);
        EXPECT_EQ(a.distribution.lower, b.distribution.lower);
        EXPECT_EQ(a.distribution.upper, b.distribution.upper);
    }
    ASSERT_EQ(back.settings.correlations.size(), 1u);
    EXPECT_EQ(back.settings.correlations[0].second, "DT50bio_soil_TEMPtest");
    EXPECT_EQ(back.settings.correlations[0].rankcorrelation, -0.35);
    EXPECT_EQ(back.settings.draws, 2500u);
    EXPECT_EQ(back.settings.seed, 18446744073709551615ull);
    EXPECT_EQ(back.settings.results, s.results);
    // A check's error points at the cell of the sheet.
    Euncertaintysetting e("inputs", 3, "value 2", "the standard deviation must be above 0");
    EXPECT_EQ(back.where(e), "settings.xlsx sheet \"Uncertainty\" cell F4 (value 2): the "
                             "standard deviation must be above 0");
    // The user's own sheet is still there.
    Trecorderui ui;
    TExcelFile again(ui, path);
    ASSERT_TRUE(again.hassheet("Notes"));
    again.selectsheet("Notes");
    EXPECT_EQ(again.cell(1, 1), "kept");
    EXPECT_EQ(again.cell(2, 3), "4.5");
}

TEST(UncertaintySheet, UnreadableCellsAreNamed) {
    velmora::testing::Ttempdir dir;
    const std::string path = dir.file("bad.xlsx");
    velmora::testing::Tsheetspec sheet{"Uncertainty", {}};
    const char* headings[] = {"parameter", "distribution", "value 1", "value 2"};
    for (int c = 0; c < 4; ++c)
        sheet.set(1, c + 1, headings[c]);
    sheet.set(2, 1, "Kow");
    sheet.set(2, 2, "lognormal");
    sheet.set(2, 3, "1");
    sheet.set(2, 4, "three");
    velmora::testing::writeworkbook(path, {sheet});
    try {
        readuncertaintyworkbook(path);
        ADD_FAILURE() << "no error";
    } catch (const Eerror& e) {
        EXPECT_STREQ(e.what(),
                     "bad.xlsx sheet \"Uncertainty\" cell D2 (value 2): 'three' is not a number");
    }
    sheet.set(2, 2, "gamma");
    velmora::testing::writeworkbook(path, {sheet});
    EXPECT_THROW(readuncertaintyworkbook(path), Eerror);
}
