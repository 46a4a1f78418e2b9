#include <cmath>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/parameters.h"

using namespace velmora;

namespace {

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

// Regions named by a list; the count can change between clears.
class Tfakeregions : public Tindexspace {
public:
    std::vector<std::string> names;
    std::uint32_t indexcount() const override { return static_cast<std::uint32_t>(names.size()); }
    std::string indexname(std::uint32_t i) const override { return names.at(i - 1); }
};

class Parameters : public ::testing::Test {
protected:
    Tsettings settings;
    Trecorderui ui;
    Tmodelcontext context{settings, ui};
    Tfakeregions regions;

    void SetUp() override { regions.names = {"Albania", "Belgium", "Chad", "Denmark", "Egypt"}; }

    void answer(bool ok, bool known, const std::string& text) {
        ui.editanswers.push_back({ok, known, text});
    }
};

} // namespace

// ---- statuses -----------------------------------------------------------------

TEST_F(Parameters, StatusWordsAndKnownLetters) {
    EXPECT_EQ(statusname('F'), "Fixed");
    EXPECT_EQ(statusname('D'), "Default");
    EXPECT_EQ(statusname('I'), "Imported");
    EXPECT_EQ(statusname('E'), "Edited");
    EXPECT_EQ(statusname('H'), "Hidden");
    EXPECT_EQ(statusname('U'), "Unknown");
    EXPECT_EQ(statusname('?'), "?");
    EXPECT_EQ(statusname('x'), "?");
    Tnumpar p(context, "Depth", "m");
    for (char s : {'F', 'D', 'I', 'E'}) {
        p.status = s;
        EXPECT_TRUE(p.isknown()) << s;
        EXPECT_FALSE(p.isunknown()) << s;
        EXPECT_FALSE(p.ishidden()) << s;
        EXPECT_EQ(p.isdefault(), s == 'D') << s;
    }
    for (char s : {'H', 'U', '?'}) {
        p.status = s;
        EXPECT_FALSE(p.isknown()) << s;
    }
    p.status = 'H';
    EXPECT_TRUE(p.ishidden());
    p.status = 'U';
    EXPECT_TRUE(p.isunknown());
}

// ---- scalars ---------------------------------------------------------------------

TEST_F(Parameters, ClearedRealWarnsOnEveryReadAndReturnsZero) {
    Tnumpar p(context, "Depth", "m");
    EXPECT_EQ(p.name(), "Depth");
    EXPECT_EQ(p.unit(), "m");
    EXPECT_TRUE(p.isunknown());
    EXPECT_FALSE(p.used);
    EXPECT_EQ(p.get(), 0.0f);
    EXPECT_TRUE(p.used);
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Depth has no value"}));
    EXPECT_EQ(p.get(), 0.0f);
    EXPECT_EQ(ui.warnings.size(), 2u); // once per read
}

TEST_F(Parameters, HiddenValueWarnsButIsStillReturned) {
    Tnumpar p(context, "Depth", "m", 4.5f);
    p.sethidden();
    EXPECT_EQ(p.get(), 4.5f);
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Depth has no value"}));
    p.setunknown();
    EXPECT_EQ(p.get(), 4.5f); // value kept
    EXPECT_EQ(ui.warnings.size(), 2u);
}

TEST_F(Parameters, DefaultValuesReadSilently) {
    Tnumpar p(context, "Depth", "m", 2.5f);
    EXPECT_EQ(p.status, 'D');
    EXPECT_FALSE(p.used);
    EXPECT_EQ(p.get(), 2.5f);
    EXPECT_TRUE(p.used);
    EXPECT_TRUE(ui.warnings.empty());
    p.clear();
    EXPECT_EQ(p.value, 0.0f);
    EXPECT_TRUE(p.isunknown());
    EXPECT_FALSE(p.used);
    p.setdefault(7);
    EXPECT_EQ(p.value, 7.0f);
    EXPECT_TRUE(p.isdefault());
}

TEST_F(Parameters, OtherScalarKindsWarnTheSameWay) {
    Tintpar n(context, "Count", "-");
    Tstrpar s(context, "Name");
    Tbooleanpar b(context, "Acid");
    Tbooleanpar t(context, "Base", true);
    EXPECT_EQ(n.get(), 0);
    EXPECT_EQ(s.get(), "");
    EXPECT_FALSE(b.get());
    EXPECT_TRUE(t.get());
    EXPECT_TRUE(n.used && s.used && b.used && t.used);
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Count has no value",
                                                     "Parameter Name has no value",
                                                     "Parameter Acid has no value"}));
    EXPECT_EQ(t.status, 'D');
    n.setdefault(-3);
    s.setdefault("x");
    b.setdefault(true);
    EXPECT_EQ(n.get(), -3);
    EXPECT_EQ(s.get(), "x");
    EXPECT_TRUE(b.get());
    EXPECT_EQ(ui.warnings.size(), 3u);
    n.sethidden();
    s.setunknown();
    EXPECT_EQ(n.get(), -3);
    EXPECT_EQ(s.get(), "x");
    EXPECT_EQ(ui.warnings.size(), 5u);
}

TEST_F(Parameters, InfiniteIsTheInfValueWithinApproximateEquality) {
    Tnumpar p(context, "Halflife", "s", 1.0000005e20f);
    EXPECT_TRUE(p.isinfinite());
    p.value = 1.000002e20f;
    EXPECT_FALSE(p.isinfinite());
    p.value = 0;
    EXPECT_FALSE(p.isinfinite());
    settings.InfValue = 5e-7f; // below 1e-6 in size: 0 counts as infinite
    EXPECT_TRUE(p.isinfinite());
    settings.InfValue = -5e-7f;
    EXPECT_TRUE(p.isinfinite());
    settings.InfValue = 2e-6f;
    EXPECT_FALSE(p.isinfinite());
}

// ---- the display rule -------------------------------------------------------------

TEST_F(Parameters, DisplayRuleHiddenBeforeUnknownBeforeInfinite) {
    settings.HiddenText = "n/a";
    settings.UnknownText = "??";
    settings.InfText = "Infinite";
    Tnumpar p(context, "Halflife", "s", 1e20f);
    EXPECT_EQ(p.display(), "Infinite");
    p.sethidden(); // hidden and infinite
    EXPECT_EQ(p.display(), "n/a");
    p.setunknown();
    EXPECT_EQ(p.display(), "??");
    p.setdefault(1234.5f);
    EXPECT_EQ(p.display(), "1.23E3");
    settings.Digits = 5;
    EXPECT_EQ(p.display(), "1234.5");
    settings.Digits = 0;
    EXPECT_EQ(p.display(), "+");
    settings.Digits = 3;
    p.setdefault(0);
    EXPECT_EQ(p.display(), "0");
    EXPECT_EQ(displayreal(settings, 0.000012345f, 'I'), "0.0000123");
    EXPECT_EQ(displayreal(settings, 1e20f, 'H'), "n/a");
    EXPECT_EQ(displayreal(settings, 1e20f, 'U'), "??");
    EXPECT_EQ(displayreal(settings, 1e20f, 'E'), "Infinite");
}

TEST_F(Parameters, DisplayOfIntegersBooleansAndTexts) {
    Tintpar n(context, "Count", "-");
    Tbooleanpar b(context, "Acid");
    Tstrpar s(context, "Name");
    EXPECT_EQ(n.display(), "?");
    EXPECT_EQ(b.display(), "?");
    EXPECT_EQ(s.display(), "?");
    n.setdefault(-12);
    b.setdefault(true);
    s.setdefault("Nitro benzene");
    EXPECT_EQ(n.display(), "-12");
    EXPECT_EQ(b.display(), "TRUE");
    EXPECT_EQ(s.display(), "Nitro benzene");
    b.setdefault(false);
    EXPECT_EQ(b.display(), "FALSE");
    n.sethidden();
    b.status = 'H';
    s.status = 'H';
    EXPECT_EQ(n.display(), "-");
    EXPECT_EQ(b.display(), "-");
    EXPECT_EQ(s.display(), "-");
}

// ---- reading a cell ---------------------------------------------------------------

TEST_F(Parameters, CellsOfEveryKind) {
    Tnumpar r(context, "Kow", "-");
    r.readcell("2.5");
    EXPECT_EQ(r.value, 2.5f);
    EXPECT_EQ(r.status, 'I');
    r.readcell("inf");
    EXPECT_EQ(r.value, 1e20f);
    EXPECT_EQ(r.status, 'I');
    EXPECT_TRUE(r.isinfinite());
    r.readcell("");
    EXPECT_EQ(r.status, 'U');

    Tintpar n(context, "Count", "-");
    n.readcell("12");
    EXPECT_EQ(n.value, 12);
    EXPECT_EQ(n.status, 'I');
    n.readcell("");
    EXPECT_EQ(n.status, 'U');

    Tstrpar s(context, "Name");
    s.readcell(" Nitro benzene ");
    EXPECT_EQ(s.value, " Nitro benzene ");
    EXPECT_EQ(s.status, 'I');
    s.readcell("");
    EXPECT_EQ(s.status, 'U');

    Tbooleanpar b(context, "Acid");
    b.readcell("true");
    EXPECT_TRUE(b.value);
    EXPECT_EQ(b.status, 'I');
    b.readcell("FALSE");
    EXPECT_FALSE(b.value);
    b.readcell("");
    EXPECT_EQ(b.status, 'U');
}

TEST_F(Parameters, CellConversionErrorsCarryTheTextAndChangeNothing) {
    Tnumpar r(context, "Kow", "-", 3);
    EXPECT_EQ(message([&] { r.readcell("1,5"); }), "'1,5' is not a valid num value");
    EXPECT_EQ(r.value, 3.0f);
    EXPECT_EQ(r.status, 'D');
    Tintpar n(context, "Count", "-");
    EXPECT_EQ(message([&] { n.readcell("1.5"); }), "'1.5' is not a valid integer value");
    EXPECT_EQ(n.status, 'U');
    Tbooleanpar b(context, "Acid");
    EXPECT_EQ(message([&] { b.readcell("yes"); }), "'yes' is not a valid boolean value");
    EXPECT_EQ(b.status, 'U');
}

TEST_F(Parameters, CellReadsTheInfiniteTextOfTheSettings) {
    settings.InfText = "Infinite";
    settings.InfValue = 1e30f;
    Tnumpar r(context, "Kow", "-");
    r.readcell("Infinite");
    EXPECT_EQ(r.value, 1e30f);
    EXPECT_THROW(r.readcell("inf"), EConvertError);
    EXPECT_EQ(cellreal(settings, "Infinite"), 1e30f);
    EXPECT_EQ(cellreal(settings, "-0.5"), -0.5f);
}

// ---- editing a scalar ------------------------------------------------------------

TEST_F(Parameters, EditShowsTheParameterAndStoresAnEditedValue) {
    Tnumpar p(context, "Depth", "m", 1234567.8f);
    answer(true, true, "2.5");
    EXPECT_TRUE(p.edit());
    ASSERT_EQ(ui.editrequests.size(), 1u);
    const Teditrequest& q = ui.editrequests[0];
    EXPECT_EQ(q.name, "Depth");
    EXPECT_EQ(q.regionlabel, "All");
    EXPECT_EQ(q.unit, "m");
    EXPECT_EQ(q.statusword, "Default");
    EXPECT_EQ(q.kind, Tvaluekind::real);
    EXPECT_EQ(q.valuetext, "1234568"); // seven significant digits
    EXPECT_FALSE(q.unknown);
    EXPECT_EQ(p.value, 2.5f);
    EXPECT_EQ(p.status, 'E');
}

TEST_F(Parameters, EditShowsZeroInfiniteAndUnknownValues) {
    Tnumpar p(context, "Depth", "m");
    answer(false, true, "");
    EXPECT_FALSE(p.edit());
    EXPECT_EQ(ui.editrequests[0].valuetext, "0");
    EXPECT_EQ(ui.editrequests[0].statusword, "Unknown");
    EXPECT_TRUE(ui.editrequests[0].unknown);
    p.setdefault(1e20f);
    answer(false, true, "");
    p.edit();
    EXPECT_EQ(ui.editrequests[1].valuetext, "inf");
    p.setdefault(0.1f);
    answer(false, true, "");
    p.edit();
    EXPECT_EQ(ui.editrequests[2].valuetext, "0.1");
    EXPECT_EQ(p.value, 0.1f); // cancel changed nothing
    EXPECT_EQ(p.status, 'D');
}

TEST_F(Parameters, EditAnsweredUnknownKeepsTheValue) {
    Tnumpar p(context, "Depth", "m", 3);
    answer(true, false, "99");
    EXPECT_TRUE(p.edit());
    EXPECT_EQ(p.status, 'U');
    EXPECT_EQ(p.value, 3.0f);
}

TEST_F(Parameters, EditWithABadNumberRaisesAndLeavesTheParameter) {
    Tnumpar p(context, "Depth", "m", 3);
    answer(true, true, "three");
    EXPECT_EQ(message([&] { p.edit(); }), "'three' is not a valid num value");
    EXPECT_EQ(p.value, 3.0f);
    EXPECT_EQ(p.status, 'D');
    answer(true, true, "inf");
    p.edit();
    EXPECT_TRUE(p.isinfinite());
    EXPECT_EQ(p.status, 'E');
}

TEST_F(Parameters, EditOfIntegersTextsAndBooleans) {
    Tintpar n(context, "Count", "pieces");
    n.setdefault(42);
    answer(true, true, "x");
    EXPECT_EQ(message([&] { n.edit(); }), "'x' is not a valid integer value");
    EXPECT_EQ(n.value, 42);
    EXPECT_EQ(ui.editrequests[0].valuetext, "42");
    EXPECT_EQ(ui.editrequests[0].unit, "pieces");
    EXPECT_EQ(ui.editrequests[0].kind, Tvaluekind::integer);
    answer(true, true, "-7");
    EXPECT_TRUE(n.edit());
    EXPECT_EQ(n.value, -7);
    EXPECT_EQ(n.status, 'E');

    Tstrpar s(context, "Name");
    answer(true, true, " typed as is ");
    s.edit();
    EXPECT_EQ(ui.editrequests[2].unit, "-");
    EXPECT_EQ(ui.editrequests[2].kind, Tvaluekind::text);
    EXPECT_EQ(s.value, " typed as is ");
    EXPECT_EQ(s.status, 'E');

    Tbooleanpar b(context, "Acid", true);
    answer(true, true, "False");
    b.edit();
    EXPECT_EQ(ui.editrequests[3].unit, "-");
    EXPECT_EQ(ui.editrequests[3].kind, Tvaluekind::boolean);
    EXPECT_EQ(ui.editrequests[3].valuetext, "True");
    EXPECT_FALSE(b.value);
    EXPECT_EQ(b.status, 'E');
    answer(true, true, "maybe");
    EXPECT_EQ(message([&] { b.edit(); }), "'maybe' is not a valid boolean value");
    EXPECT_FALSE(b.value);
}

// ---- per region ------------------------------------------------------------------

TEST_F(Parameters, PerRegionRealHoldsOneClearedElementPerRegion) {
    Tnumpars p(context, regions, "Area", "m^2");
    EXPECT_EQ(p.count(), 5u);
    EXPECT_EQ(p.statuses.count(), 5u);
    EXPECT_EQ(p.useds.count(), 5u);
    for (std::uint32_t i = 1; i <= 5; ++i) {
        EXPECT_TRUE(p.isunknown(i));
        EXPECT_FALSE(p.used(i));
        EXPECT_EQ(p.value(i), 0.0f);
    }
    EXPECT_THROW(p.get(0), ERangeError);
    EXPECT_THROW(p.get(6), ERangeError);
    EXPECT_THROW(p.isunknown(6), ERangeError);
    regions.names.push_back("France");
    p.setdefault(3, 2.0f);
    p.clear();
    EXPECT_EQ(p.count(), 6u);
    EXPECT_TRUE(p.isunknown(3));
    EXPECT_EQ(p.value(3), 0.0f);
    regions.names.resize(2);
    p.clear();
    EXPECT_EQ(p.count(), 2u);
    EXPECT_THROW(p.get(3), ERangeError);
}

TEST_F(Parameters, PerRegionReadWarnsWithTheRegionNameAndMarksThatElement) {
    Tnumpars p(context, regions, "Area", "m^2");
    p.setdefault(2, 7.5f);
    EXPECT_EQ(p.get(3), 0.0f);
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Area[Chad] has no value"}));
    EXPECT_TRUE(p.used(3));
    EXPECT_FALSE(p.used(2));
    EXPECT_EQ(p.get(2), 7.5f);
    EXPECT_TRUE(p.used(2));
    EXPECT_EQ(ui.warnings.size(), 1u);
    p.sethidden(2);
    EXPECT_EQ(p.get(2), 7.5f);
    EXPECT_EQ(ui.warnings.back(), "Parameter Area[Belgium] has no value");
}

TEST_F(Parameters, PerRegionDefaultsSetAllAndInfinity) {
    Tnumpars p(context, regions, "Area", "m^2", 4.0f);
    for (std::uint32_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(p.value(i), 4.0f);
        EXPECT_TRUE(p.isdefault(i));
        EXPECT_FALSE(p.used(i));
    }
    p.sethidden(1);
    p.setunknown(2);
    p.setall(1e20f);
    for (std::uint32_t i = 1; i <= 5; ++i) {
        EXPECT_TRUE(p.isdefault(i));
        EXPECT_TRUE(p.isinfinite(i));
        EXPECT_EQ(p.display(i), "inf");
    }
    p.sethidden(4);
    EXPECT_EQ(p.display(4), "-");
    p.setunknown(5);
    EXPECT_EQ(p.display(5), "?");
    p.setdefault(3, 0.000012345f);
    EXPECT_EQ(p.display(3), "0.0000123");
}

TEST_F(Parameters, PerRegionEditOfOneRegion) {
    Tnumpars p(context, regions, "Area", "m^2", 4.0f);
    answer(true, true, "6.5");
    EXPECT_TRUE(p.edit(4));
    EXPECT_EQ(ui.editrequests[0].regionlabel, "Denmark");
    EXPECT_EQ(ui.editrequests[0].valuetext, "4");
    EXPECT_EQ(ui.editrequests[0].statusword, "Default");
    EXPECT_EQ(p.value(4), 6.5f);
    EXPECT_EQ(p.status(4), 'E');
    EXPECT_EQ(p.value(3), 4.0f);
    answer(false, true, "1");
    EXPECT_FALSE(p.edit(4));
    EXPECT_EQ(p.value(4), 6.5f);
    EXPECT_EQ(p.status(4), 'E');
    answer(true, false, "");
    EXPECT_TRUE(p.edit(4));
    EXPECT_EQ(p.status(4), 'U');
    EXPECT_EQ(p.value(4), 6.5f);
    EXPECT_THROW(p.edit(6), ERangeError);
}

TEST_F(Parameters, AllEditOfARealSuggestsTheMeanOfTheKnownRegions) {
    Tnumpars p(context, regions, "Area", "m^2");
    p.setdefault(1, 1.0f);
    p.set(2, 2.0f, 'I');
    p.set(4, 6.0f, 'F');
    p.set(5, 100.0f, 'H'); // hidden: neither averaged nor changed
    // region 3 stays unknown
    answer(true, true, "5");
    EXPECT_TRUE(p.edit(0));
    ASSERT_EQ(ui.editrequests.size(), 1u);
    EXPECT_EQ(ui.editrequests[0].regionlabel, "All");
    EXPECT_EQ(ui.editrequests[0].valuetext, "3");
    EXPECT_EQ(ui.editrequests[0].statusword, "?");
    EXPECT_TRUE(ui.warnings.empty());
    for (std::uint32_t i : {1u, 2u, 4u}) {
        EXPECT_EQ(p.value(i), 5.0f) << i;
        EXPECT_EQ(p.status(i), 'E') << i;
        EXPECT_TRUE(p.used(i)) << i; // read for the suggestion
    }
    EXPECT_TRUE(p.isunknown(3));
    EXPECT_EQ(p.value(3), 0.0f);
    EXPECT_FALSE(p.used(3));
    EXPECT_TRUE(p.ishidden(5));
    EXPECT_EQ(p.value(5), 100.0f);
    EXPECT_FALSE(p.used(5));
}

TEST_F(Parameters, AllEditAnsweredUnknownMakesEveryKnownRegionUnknownKeepingItsValue) {
    Tnumpars p(context, regions, "Area", "m^2");
    p.setdefault(1, 1.0f);
    p.setdefault(2, 2.0f);
    p.setdefault(4, 6.0f);
    p.set(5, 100.0f, 'H');
    answer(true, false, "");
    EXPECT_TRUE(p.edit(0));
    // Not the mean 3: each region keeps its own number, now unknown.
    EXPECT_EQ(p.value(1), 1.0f);
    EXPECT_EQ(p.value(2), 2.0f);
    EXPECT_EQ(p.value(4), 6.0f);
    for (std::uint32_t i : {1u, 2u, 3u, 4u})
        EXPECT_TRUE(p.isunknown(i)) << i;
    EXPECT_TRUE(p.ishidden(5));
    EXPECT_EQ(p.value(5), 100.0f);
}

TEST_F(Parameters, OKOnTheUnchangedTextKeepsTheStoredRealExactly) {
    Tnumpars p(context, regions, "Area", "m^2");
    const float x = std::nextafter(1.0f, 2.0f); // 1.00000012: "1" at 7 digits
    p.set(2, x, 'I');
    answer(true, true, "1");
    EXPECT_TRUE(p.edit(2));
    ASSERT_EQ(ui.editrequests.size(), 1u);
    EXPECT_EQ(ui.editrequests[0].valuetext, "1");
    EXPECT_EQ(p.value(2), x);
    EXPECT_EQ(p.status(2), 'E');
    answer(true, true, "1.0"); // a typed number is taken as typed
    EXPECT_TRUE(p.edit(2));
    EXPECT_EQ(p.value(2), 1.0f);
}

TEST_F(Parameters, AllEditCancelledOrWithNothingKnownChangesNothing) {
    Tnumpars p(context, regions, "Area", "m^2");
    p.setdefault(2, 2.0f);
    answer(false, true, "9");
    EXPECT_FALSE(p.edit(0));
    EXPECT_EQ(p.value(2), 2.0f);
    EXPECT_EQ(p.status(2), 'D');
    Tnumpars q(context, regions, "Depth", "m");
    q.sethidden(1);
    answer(true, true, "9");
    EXPECT_TRUE(q.edit(0));
    EXPECT_EQ(ui.editrequests.back().valuetext, "0");
    for (std::uint32_t i = 1; i <= 5; ++i)
        EXPECT_NE(q.status(i), 'E');
    EXPECT_TRUE(ui.warnings.empty());
}

TEST_F(Parameters, AllEditOfABooleanSuggestsTheMajorityWithTiesFalse) {
    Tbooleanpars p(context, regions, "Coastal", "-");
    EXPECT_EQ(p.count(), 5u);
    p.set(1, true, 'I');
    p.set(2, true, 'I');
    p.set(3, false, 'I');
    p.set(4, false, 'D');
    answer(true, true, "False"); // keep the suggestion
    EXPECT_TRUE(p.edit(0));
    EXPECT_EQ(ui.editrequests[0].valuetext, "False");
    EXPECT_EQ(ui.editrequests[0].regionlabel, "All");
    for (std::uint32_t i = 1; i <= 4; ++i) {
        EXPECT_FALSE(p.value(i)) << i;
        EXPECT_EQ(p.status(i), 'E') << i;
    }
    EXPECT_TRUE(p.isunknown(5));
    p.set(1, true, 'I');
    p.set(2, true, 'I');
    p.set(3, true, 'I');
    p.set(5, false, 'H');
    answer(true, true, "TRUE");
    p.edit(0);
    EXPECT_EQ(ui.editrequests[1].valuetext, "True");
    for (std::uint32_t i = 1; i <= 4; ++i)
        EXPECT_TRUE(p.value(i)) << i;
    EXPECT_FALSE(p.value(5));
    EXPECT_TRUE(p.ishidden(5));
}

TEST_F(Parameters, PerRegionBooleansAndTextsReadAndShow) {
    Tbooleanpars b(context, regions, "Coastal", "-");
    Tstrpars s(context, regions, "Capital", "-");
    EXPECT_EQ(s.count(), 5u);
    EXPECT_FALSE(b.get(2));
    EXPECT_EQ(s.get(5), "");
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Coastal[Belgium] has no value",
                                                     "Parameter Capital[Egypt] has no value"}));
    EXPECT_TRUE(b.used(2));
    EXPECT_TRUE(s.used(5));
    EXPECT_FALSE(s.used(4));
    b.set(1, true, 'I');
    s.set(1, "Tirana", 'I');
    EXPECT_EQ(b.display(1), "TRUE");
    EXPECT_EQ(s.display(1), "Tirana");
    EXPECT_EQ(b.display(2), "?");
    EXPECT_EQ(s.display(2), "?");
    b.set(3, false, 'H');
    EXPECT_EQ(b.display(3), "-");
    EXPECT_THROW(b.get(6), ERangeError);
    EXPECT_THROW(s.get(0), ERangeError);
    answer(true, true, "false");
    EXPECT_TRUE(b.edit(1));
    EXPECT_EQ(ui.editrequests[0].regionlabel, "Albania");
    EXPECT_FALSE(b.value(1));
    EXPECT_EQ(b.status(1), 'E');
}

// ---- per region pair ---------------------------------------------------------------

TEST_F(Parameters, PairParameterClearedOverEveryPair) {
    regions.names.clear();
    for (int i = 1; i <= 289; ++i)
        regions.names.push_back("R" + std::to_string(i));
    Tnumparss p(context, regions, "Borderlength", "m", true);
    EXPECT_EQ(p.count(), 289u);
    EXPECT_EQ(p.values.rows(), 289u);
    EXPECT_EQ(p.values.cols(), 289u);
    EXPECT_EQ(p.statuses.rows(), 289u);
    EXPECT_EQ(p.statuses.cols(), 289u);
    EXPECT_EQ(p.useds.rows(), 289u);
    EXPECT_EQ(p.useds.cols(), 289u);
    for (std::uint32_t i = 1; i <= 289; ++i)
        for (std::uint32_t j = 1; j <= 289; ++j) {
            ASSERT_TRUE(p.isunknown(i, j));
            ASSERT_FALSE(p.used(i, j));
            ASSERT_EQ(p.value(i, j), 0.0f);
        }
    EXPECT_EQ(p.values.itemcount(), 0u);
}

TEST_F(Parameters, PairReadWarnsWithBothRegionsInOrder) {
    Tnumparss p(context, regions, "Flow", "m^3*s^-1", true);
    EXPECT_EQ(p.get(3, 5), 0.0f);
    EXPECT_EQ(ui.warnings, (std::vector<std::string>{"Parameter Flow[Chad,Egypt] has no value"}));
    EXPECT_TRUE(p.used(3, 5));
    EXPECT_FALSE(p.used(5, 3));
    p.setdefault(2, 1, 4.5f);
    EXPECT_TRUE(p.isknown(2, 1));
    EXPECT_FALSE(p.isknown(1, 2));
    EXPECT_EQ(p.get(2, 1), 4.5f);
    EXPECT_EQ(ui.warnings.size(), 1u);
    p.sethidden(2, 1);
    EXPECT_TRUE(p.ishidden(2, 1));
    EXPECT_EQ(p.get(2, 1), 4.5f);
    EXPECT_EQ(ui.warnings.back(), "Parameter Flow[Belgium,Albania] has no value");
    EXPECT_THROW(p.get(0, 1), ERangeError);
    EXPECT_THROW(p.get(1, 6), ERangeError);
    EXPECT_THROW(p.get(6, 1), ERangeError);
}

TEST_F(Parameters, PairStorageFollowsTheFlagAndTheWorkspaceSwitch) {
    Tnumparss sparse(context, regions, "A", "-", true);
    Tnumparss plain(context, regions, "B", "-", false);
    EXPECT_EQ(sparse.values.storage(), indexedsparse);
    EXPECT_EQ(plain.values.storage(), dense);
    // Statuses and used flags stay dense: every pair carries a letter.
    EXPECT_EQ(sparse.statuses.storage(), dense);
    EXPECT_EQ(sparse.useds.storage(), dense);
    settings.SparsePairs = false;
    Tnumparss off(context, regions, "C", "-", true);
    EXPECT_EQ(off.values.storage(), dense);
    // Values in sparse storage read the same as in dense.
    sparse.setdefault(4, 2, 1.5f);
    sparse.set(1, 5, 1e20f, 'I');
    EXPECT_EQ(sparse.values.itemcount(), 2u);
    EXPECT_EQ(sparse.value(4, 2), 1.5f);
    EXPECT_TRUE(sparse.isinfinite(1, 5));
    EXPECT_FALSE(sparse.isinfinite(4, 2));
    EXPECT_EQ(sparse.display(1, 5), "inf");
    EXPECT_EQ(sparse.display(4, 2), "1.5");
    EXPECT_EQ(sparse.display(2, 4), "?");
    sparse.sethidden(1, 5);
    EXPECT_EQ(sparse.display(1, 5), "-");
    sparse.clear();
    EXPECT_EQ(sparse.values.itemcount(), 0u);
    EXPECT_TRUE(sparse.isunknown(4, 2));
    EXPECT_EQ(sparse.value(4, 2), 0.0f);
    EXPECT_FALSE(sparse.used(4, 2));
}
