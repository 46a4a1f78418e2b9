// The all-factors run on the small world: which boxes get a row, which are
// computed, and that the run leaves the workspace as it found it apart from
// the emission and the results.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/workspace.h"
#include "compute/allfactors.h"
#include "compute/calculation.h"
#include "support/testsupport.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

// A progress window whose Cancel is pressed after a number of steps, and
// which notes the display settings the run works with.
class Tscriptedprogress : public Tprogress {
public:
    Tscriptedprogress(Tsettings& s, int cancelafter) : s_(s), cancelafter_(cancelafter) {}
    void setmaintext(const std::string&) override {}
    void setsubtext(const std::string&) override {}
    void showcancel() override {}
    bool cancelled() override { return cancelafter_ >= 0 && steps >= cancelafter_; }
    void startbar(std::int64_t n) override { bar = n; }
    void stepbar() override {
        ++steps;
        displays = displays || s_.NBordersDisplay != 0 || s_.DistancesDisplay != 0;
    }
    void startbar2(std::int64_t) override {}
    void stepbar2() override {}
    void hidebar2() override {}
    int steps = 0;
    std::int64_t bar = 0;
    bool displays = false; // a display setting was on during the run

private:
    Tsettings& s_;
    int cancelafter_;
};

class AllFactors : public ::testing::Test {
protected:
    Tworldfixture f;
    Tmodel& m = f.m();
    const std::uint32_t aland = 1, bland = 2, asea = 3;

    void SetUp() override {
        f.organic();
        f.ws.sub.EFFECT_aquatox.set(1000, stImported);
        f.ws.sub.EFFECThum_noncarc.set(10, stImported);
        f.ws.results.clear();
        f.ws.env.changed = true;
        f.ws.emi.set(aland, air); // the box exists only after a first solve
        ASSERT_TRUE(calculate(m, false));
        ASSERT_TRUE(f.ws.emi.set(aland, air));
        ASSERT_TRUE(calculate(m, false));
        f.ws.takereference();
        f.ui.reset();
    }
    Tallfactorsrun run(Tallfactorsselection s, int cancelafter = -1) {
        Tscriptedprogress progress(m.settings(), cancelafter);
        Tallfactorsrun r = runallfactors(m, s, progress);
        lastdisplays = progress.displays;
        return r;
    }
    bool lastdisplays = false;
};

TEST_F(AllFactors, InversionOnAndOffGiveTheSameFactorsInTheGridsRows) {
    Tallfactorsselection s = Tallfactorsselection::defaults(m, false);
    s.compartments[nat] = true; // starts unchecked, computed when checked
    s.compartments[groundwater] = true;
    s.useinversion = true;
    Tallfactorsrun inverted = run(s);
    s.useinversion = false;
    Tallfactorsrun solved = run(s);
    ASSERT_FALSE(inverted.cancelled || inverted.singular);
    // Row k is the k-th box that qualifies: existing, no sediment or
    // groundwater, whatever the selection.
    std::vector<std::uint32_t> qualifying;
    for (std::uint32_t i = 1; i <= m.regcomps.n; ++i)
        if (allfactorsqualifies(m, i, false)) qualifying.push_back(i);
    ASSERT_EQ(inverted.rows.size(), qualifying.size());
    ASSERT_EQ(solved.rows.size(), qualifying.size());
    bool natural = false;
    for (std::size_t k = 0; k < qualifying.size(); ++k) {
        const Tallfactorsrow& a = inverted.rows[k];
        const Tallfactorsrow& b = solved.rows[k];
        EXPECT_EQ(a.regcomp, qualifying[k]);
        std::uint32_t c = m.regcomps.compartmentof(a.regcomp);
        EXPECT_NE(c, groundwater);
        EXPECT_NE(c, lakesed);
        natural = natural || c == nat;
        EXPECT_TRUE(a.computed) << m.regcomps.regcompname(a.regcomp);
        for (int j = 0; j < 7; ++j) {
            EXPECT_EQ(a.potknown[j], b.potknown[j]);
            EXPECT_NEAR(a.pot[j], b.pot[j], 1e-5 * std::fabs(b.pot[j]));
            EXPECT_NEAR(a.act[j], b.act[j], 1e-5 * std::fabs(b.act[j]));
        }
    }
    EXPECT_TRUE(natural);
    EXPECT_EQ(inverted.computed, qualifying.size());
    // The reference box's own factors are 1; the emission ends in the last box.
    const Tallfactorsrow& reference = inverted.rows.front();
    ASSERT_EQ(reference.regcomp, Tregcomps::regcompnumber(aland, air));
    EXPECT_TRUE(reference.potknown[5]);
    EXPECT_FLOAT_EQ(reference.pot[5], 1);
    EXPECT_FLOAT_EQ(reference.act[0], 1);
    EXPECT_EQ(m.emi.regcomp(), qualifying.back());
    EXPECT_EQ(m.regcomps.inversecache, nullptr);
    EXPECT_TRUE(f.ui.warnings.empty());
}

// The boxes after the first come from the inverse without a calculation of
// each; their factors are those of the calculation to the last bit, also
// when the emission is no power of two (the concentrations are rounded
// after scaling) and without a reference (every factor hidden).
void expectsamerows(const Tallfactorsrun& a, const Tallfactorsrun& b) {
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (std::size_t k = 0; k < a.rows.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(a.rows[k].regcomp, b.rows[k].regcomp);
        EXPECT_EQ(a.rows[k].computed, b.rows[k].computed);
        EXPECT_EQ(a.rows[k].potknown, b.rows[k].potknown);
        EXPECT_EQ(a.rows[k].actknown, b.rows[k].actknown);
        EXPECT_EQ(a.rows[k].pot, b.rows[k].pot);
        EXPECT_EQ(a.rows[k].act, b.rows[k].act);
    }
}

TEST_F(AllFactors, TheBoxesFromTheInverseEqualTheirCalculationExactly) {
    struct Tcase {
        float emission;
        bool reference;
    };
    for (Tcase c : {Tcase{1, true}, Tcase{2.5f, true}, Tcase{1, false}}) {
        SCOPED_TRACE(c.emission);
        m.settings().EmissionAmount = c.emission;
        if (!c.reference) f.ws.ref.clear();
        Tallfactorsselection s = Tallfactorsselection::defaults(m, false);
        s.compartments[nat] = true;
        s.boxbybox = true;
        Tallfactorsrun calculated = run(s);
        const std::array<float, 14> last = f.ws.referencevalues();
        s.boxbybox = false;
        Tallfactorsrun product = run(s);
        ASSERT_GT(product.computed, 3u);
        EXPECT_EQ(product.computed, calculated.computed);
        expectsamerows(product, calculated);
        EXPECT_EQ(product.rows[2].potknown[0], c.reference);
        // The results afterwards are the last box's calculation.
        EXPECT_EQ(f.ws.referencevalues(), last);
    }
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST_F(AllFactors, UnderOecdOnlyMembersGetRowsEvenWhenOthersAreChecked) {
    ASSERT_TRUE(isoecd(m, aland));
    ASSERT_FALSE(isoecd(m, bland));
    Tallfactorsselection s = Tallfactorsselection::defaults(m, true);
    EXPECT_TRUE(s.regions[aland]);
    EXPECT_FALSE(s.regions[bland]);
    EXPECT_FALSE(s.regions[asea]); // the dialog starts with members only
    s.regions.assign(s.regions.size(), true);
    Tallfactorsrun r = run(s);
    ASSERT_FALSE(r.rows.empty());
    for (const Tallfactorsrow& row : r.rows)
        EXPECT_EQ(m.regcomps.regionof(row.regcomp), aland);
}

TEST_F(AllFactors, CancelStopsBeforeTheNextBoxAndPutsEverythingBack) {
    m.settings().NBordersDisplay = 1;
    m.settings().DistancesDisplay = 2;
    Tallfactorsselection s = Tallfactorsselection::defaults(m, false);
    Tallfactorsrun whole = run(s);
    EXPECT_FALSE(lastdisplays); // both displays off while it runs
    Tallfactorsrun cancelled = run(s, 14);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_GT(cancelled.computed, 0u);
    EXPECT_LT(cancelled.computed, whole.computed);
    EXPECT_EQ(m.settings().NBordersDisplay, 1);
    EXPECT_EQ(m.settings().DistancesDisplay, 2);
    EXPECT_EQ(m.regcomps.inversecache, nullptr);
}

TEST_F(AllFactors, ASingularMatrixStopsTheRunAtOnceWithOneMessage) {
    // Two equal rows: the matrix the next calculations solve (the model is
    // unchanged, so it is not built again) is singular whatever the emission.
    Tnummatrix& a = m.regcomps.Abig.values;
    const std::uint32_t p = Tregcomps::regcompnumber(aland, air);
    const std::uint32_t q = Tregcomps::regcompnumber(bland, air);
    for (std::uint32_t j = 1; j <= m.regcomps.n; ++j)
        a.setvalue(q, j, a.getvalue(p, j));
    for (bool inversion : {true, false}) {
        SCOPED_TRACE(inversion);
        f.ui.reset();
        Tallfactorsselection s = Tallfactorsselection::defaults(m, false);
        s.useinversion = inversion;
        Tallfactorsrun r = run(s);
        EXPECT_TRUE(r.singular);
        EXPECT_FALSE(r.cancelled);
        EXPECT_EQ(r.computed, 0u);
        // It stopped in the first box: no row after it, none filled.
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_FALSE(r.rows[0].computed);
        EXPECT_EQ(f.ui.warnings, std::vector<std::string>{"Singular matrix!"});
        EXPECT_EQ(m.regcomps.inversecache, nullptr);
    }
}

TEST_F(AllFactors, SelectionFileMatchesWholeLinesAlsoWithWindowsLineEnds) {
    std::string path = f.dir.file("selection_of_countries.txt");
    std::ofstream(path, std::ios::binary) << "Aland\r\nBland \nAsea";
    Tallfactorsselection s = Tallfactorsselection::defaults(m, false);
    ASSERT_TRUE(s.selectregionsfromfile(m, path));
    EXPECT_TRUE(s.regions[aland]);
    EXPECT_FALSE(s.regions[bland]); // a trailing blank is part of the name
    EXPECT_TRUE(s.regions[asea]);
    EXPECT_EQ(s.regioncount(), 2u);
    EXPECT_FALSE(s.selectregionsfromfile(m, f.dir.file("missing.txt")));
}

} // namespace

namespace {

// Counts its Cancel polls and presses Cancel from a given poll on; notes
// the sub texts the calculations show.
class Tpollingprogress : public Tsilentprogress {
public:
    explicit Tpollingprogress(long cancelfrom) : cancelfrom_(cancelfrom) {}
    bool cancelled() override { return ++polls >= cancelfrom_; }
    void setsubtext(const std::string& text) override { subtexts.push_back(text); }
    long polls = 0;
    std::vector<std::string> subtexts;

private:
    long cancelfrom_;
};

bool shown(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

// An organic substance, a metal and a gas of the default world, over the
// air, soil, river and sea boxes of every fifth region: the factors from the
// inverse are those of a calculation of each box, bit for bit.
TEST(AllFactorsDefaultWorld, TheBoxesFromTheInverseEqualTheirCalculationExactly) {
    for (const char* f : {"ENVDATA2part1.xlsx", "ENVDATA2part2.xlsx", "substances.xlsx"})
        if (!std::filesystem::exists(velmora::testing::bindir() + "/" + f))
            GTEST_FAIL() << "build the default_workbooks target first";
    Trecorderui ui;
    Tworkspace ws(ui, velmora::testing::bindir());
    ws.initialize();
    ASSERT_TRUE(ws.env.present && ws.sub.present);
    for (const char* substance : {"Atrazine", "Cadmium", "Carbon monoxide"}) {
        SCOPED_TRACE(substance);
        ws.opensubstance(substance);
        ASSERT_TRUE(ws.sub.present);
        Tallfactorsselection s = Tallfactorsselection::defaults(ws.model, false);
        s.compartments.fill(false);
        for (std::uint32_t c : {air, agr, river, seawater})
            s.compartments[c] = true;
        for (std::uint32_t r = 1; r < s.regions.size(); ++r)
            s.regions[r] = s.regions[r] && r % 5 == 0;
        s.boxbybox = true;
        Tsilentprogress progress;
        Tallfactorsrun calculated = runallfactors(ws.model, s, progress);
        s.boxbybox = false;
        Tallfactorsrun product = runallfactors(ws.model, s, progress);
        ASSERT_FALSE(product.singular || product.cancelled);
        EXPECT_GT(product.computed, 60u);
        expectsamerows(product, calculated);
    }
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.front();
}

// The default world's matrix is inverted in batches with a stop check
// between them: Cancel pressed while the first box inverts ends the run
// there, with nothing computed and no half-made inverse kept.
TEST(AllFactorsDefaultWorld, CancelDuringTheInversionEndsTheRunBeforeAnyProduct) {
    for (const char* f : {"ENVDATA2part1.xlsx", "ENVDATA2part2.xlsx", "substances.xlsx"})
        if (!std::filesystem::exists(velmora::testing::bindir() + "/" + f))
            GTEST_FAIL() << "build the default_workbooks target first";
    Trecorderui ui;
    Tworkspace ws(ui, velmora::testing::bindir());
    ws.initialize();
    ASSERT_TRUE(ws.env.present && ws.sub.present);
    ws.settings.NBordersDisplay = 1;
    const std::uint32_t emission = ws.emi.regcomp();
    Tallfactorsselection s = Tallfactorsselection::defaults(ws.model, false);
    s.useinversion = true;
    // Poll 1 is before the first box; poll 2 is the inversion's first stop check.
    Tpollingprogress progress(2);
    Tallfactorsrun run = runallfactors(ws.model, s, progress);
    EXPECT_TRUE(run.cancelled);
    EXPECT_FALSE(run.singular);
    EXPECT_EQ(run.computed, 0u);
    EXPECT_TRUE(shown(progress.subtexts, "Inverting Abig"));
    EXPECT_FALSE(shown(progress.subtexts, "Multiplying with EMIS"));
    EXPECT_EQ(ws.regcomps.inversecache, nullptr);
    EXPECT_EQ(ws.settings.NBordersDisplay, 1);
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.front(); // a stop is no singular matrix
    EXPECT_NE(ws.emi.regcomp(), emission);                   // it sits in the first box
}
