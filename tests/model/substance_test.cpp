#include <gtest/gtest.h>

#include <cmath>

#include "support/smallworld.h"
#include "support/testsupport.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tsheetspec;
using velmora::testing::Tworldfixture;

namespace {

// A substances workbook with the given rows under the given headers.
void writesubstances(const std::string& path, const std::vector<std::string>& headers,
                     const std::vector<std::vector<std::string>>& rows) {
    Tsheetspec sheet{"VELMORA", {}};
    for (std::size_t c = 0; c < headers.size(); ++c)
        sheet.set(2, static_cast<std::uint32_t>(c + 3), headers[c]);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            sheet.set(static_cast<std::uint32_t>(r + 4), static_cast<std::uint32_t>(c + 3),
                      rows[r][c]);
    velmora::testing::writeworkbook(path, {sheet});
}

// Columns 3, 4, 5 (name), ...
const std::vector<std::string> headers = {
    "CAS",   "substype", "name",     "MOLW",   "VP_TEMPtest",           "SOL",           "Kow",
    "HENRY", "Koc",      "TEMPmelt", "CHARGE", "readily_biodegradable", "DT50photo_air", "source"};

} // namespace

TEST(Substance, NewSubstanceIsUnclassifiedOrganicWithEverythingUnknown) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    EXPECT_EQ(s.name.value, "new substance");
    EXPECT_EQ(s.name.status, stDefault);
    EXPECT_EQ(s.substype.value, "organic (unclassified)");
    EXPECT_EQ(s.substype.status, stDefault);
    EXPECT_EQ(s.CAS.status, stUnknown);
    EXPECT_EQ(s.MOLW.status, stUnknown);
    EXPECT_EQ(s.readily_biodegradable.status, stUnknown);
    EXPECT_FALSE(s.changed);
}

TEST(Substance, OrganicDefaultsDeriveHenryKocAndKrad) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    s.VP_TEMPtest.set(100, stImported);
    s.SOL.set(4, stImported);
    s.Kow.set(1000, stImported);
    s.settypedefaults();
    EXPECT_FLOAT_EQ(s.HENRY.value, 25);
    EXPECT_EQ(s.HENRY.status, stDefault);
    EXPECT_NEAR(s.Koc.value, 1.26 * std::pow(1000.0, 0.81) / 1000, 1e-6);
    EXPECT_EQ(s.Koc.status, stDefault);
    EXPECT_FLOAT_EQ(s.DT50photo_air.value, 13824000);
    EXPECT_NEAR(s.krad_OH.value, std::log(2.0) / 13824000, 1e-12);
    EXPECT_EQ(s.H_0vapor.value, 50000);
    EXPECT_EQ(s.CHARGE.status, stHidden);
    EXPECT_EQ(s.K_airwater.status, stHidden);
    EXPECT_EQ(s.TEMPtest.value, 298);
    EXPECT_TRUE(s.present);
    // Editing SOL re-derives HENRY at the next run of the type defaults.
    s.SOL.set(5, stEdited);
    s.settypedefaults();
    EXPECT_FLOAT_EQ(s.HENRY.value, 20);
    // An imported HENRY stays.
    s.HENRY.set(7, stImported);
    s.settypedefaults();
    EXPECT_FLOAT_EQ(s.HENRY.value, 7);
}

TEST(Substance, DerivationsBecomeUnknownWithoutTheirInputs) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    s.VP_TEMPtest.set(100, stImported);
    s.SOL.set(0, stImported);
    s.Kow.set(-3, stImported);
    s.settypedefaults();
    EXPECT_EQ(s.HENRY.status, stUnknown);
    EXPECT_EQ(s.Koc.status, stUnknown);
    s.DT50photo_air.set(0, stEdited);
    s.settypedefaults();
    EXPECT_EQ(s.krad_OH.value, f.ws.settings.InfValue);
    EXPECT_EQ(s.krad_OH.status, stDefault);
}

TEST(Substance, OrganicClassChangesKoc) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    s.substype.set("aniline", stImported);
    s.Kow.set(1000, stImported);
    s.settypedefaults();
    EXPECT_NEAR(s.Koc.value, 7.08 * std::pow(1000.0, 0.62) / 1000, 1e-5);
}

TEST(Substance, GasDefaultsAndCompleteness) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    s.substype.set("gas", stDefault);
    s.settypedefaults();
    EXPECT_EQ(s.K_airwater.value, f.ws.settings.InfValue);
    EXPECT_EQ(s.krad_OH.value, 0);
    EXPECT_TRUE(s.DT50photo_air.used);
    EXPECT_EQ(s.BCF_fish.value, 0);
    EXPECT_EQ(s.BCF_fish.status, stDefault);
    s.testcomplete();
    EXPECT_FALSE(s.present); // MOLW unknown
    s.MOLW.set(0.044f, stEdited);
    s.testcomplete();
    EXPECT_TRUE(s.present);
}

TEST(Substance, MetalHidesOrganicPropertiesEvenWhenImported) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.newsubstance();
    s.substype.set("metal", stImported);
    s.Kow.set(100, stImported);
    s.SOL.set(3, stImported);
    s.settypedefaults();
    EXPECT_EQ(s.CHARGE.value, 2);
    EXPECT_EQ(s.Fass_aer.value, 0.95f);
    EXPECT_EQ(s.K_airwater.value, 0);
    EXPECT_EQ(s.Kp_soil.value, 0);
    EXPECT_EQ(s.krad_OH.value, 0);
    for (Tnumpar* p : {&s.H_0vapor, &s.TEMPmelt, &s.VP_TEMPtest, &s.SOL, &s.Kow, &s.HENRY, &s.Koc})
        EXPECT_EQ(p->status, stHidden) << p->name();
    s.testcomplete();
    EXPECT_FALSE(s.present);
    f.metal();
    s.testcomplete();
    EXPECT_TRUE(s.present);
}

TEST(Substance, TypeRoundTripTreatsHiddenValuesAsDefaults) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    f.organic();
    EXPECT_EQ(s.Kow.status, stImported);
    s.substype.value = "metal";
    s.settypedefaults();
    EXPECT_EQ(s.Kow.status, stHidden);
    EXPECT_EQ(s.H_0vapor.status, stHidden);
    s.substype.value = "organic (unclassified)";
    s.settypedefaults();
    EXPECT_EQ(s.VP_TEMPtest.status, stUnknown);
    EXPECT_EQ(s.Kow.status, stUnknown);
    EXPECT_EQ(s.H_0vapor.value, 50000);
    EXPECT_EQ(s.H_0vapor.status, stDefault);
    s.testcomplete();
    EXPECT_FALSE(s.present);
}

TEST(Substance, RegionFactorsFollowLandAndSeaAndSurviveANewSubstance) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.settypedefaults();
    EXPECT_EQ(s.SFtox_river.count(), 3u);
    EXPECT_EQ(s.SFtox_river.value(1), 1);
    EXPECT_EQ(s.SFtox_river.status(1), stDefault);
    EXPECT_EQ(s.SFtox_seawater.status(1), stHidden);
    EXPECT_EQ(s.SFtox_river.status(3), stHidden);
    EXPECT_EQ(s.SFtox_seawater.status(3), stDefault);
    EXPECT_EQ(s.TFtox_humnoncarc.status(3), stHidden);
    s.SFtox_river.set(2, 4, stEdited);
    s.newsubstance();
    s.settypedefaults();
    EXPECT_EQ(s.SFtox_river.value(2), 4);
    EXPECT_EQ(s.SFtox_river.status(2), stEdited);
}

TEST(Substance, EditByNameSetsChangedAndReappliesTheDefaults) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    f.organic();
    s.changed = false;
    f.ui.editanswers.push_back({true, true, "5"});
    s.edit("SOL", 0);
    EXPECT_TRUE(s.changed);
    EXPECT_EQ(s.SOL.value, 5);
    EXPECT_EQ(s.SOL.status, stEdited);
    EXPECT_FLOAT_EQ(s.HENRY.value, 2); // 10 Pa / 5 mol/m3
    ASSERT_EQ(f.ui.editrequests.size(), 1u);
    EXPECT_EQ(f.ui.editrequests[0].regionlabel, "All");
    // Cancel changes nothing but still runs the defaults.
    s.changed = false;
    s.edit("SOL", 0);
    EXPECT_FALSE(s.changed);
    // A bad entry raises the parser's message and leaves the value.
    f.ui.editanswers.push_back({true, true, "five"});
    EXPECT_THROW(s.edit("SOL", 0), EConvertError);
    EXPECT_EQ(s.SOL.value, 5);
}

TEST(Substance, AllEditOfARegionFactorWritesEveryVisibleRegion) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.settypedefaults();
    f.ui.editanswers.push_back({true, true, "0.5"});
    s.edit("SFtox_river", 0);
    ASSERT_EQ(f.ui.editrequests.size(), 1u);
    EXPECT_EQ(f.ui.editrequests[0].valuetext, "1"); // the mean of the visible values
    EXPECT_EQ(s.SFtox_river.value(1), 0.5f);
    EXPECT_EQ(s.SFtox_river.status(2), stEdited);
    EXPECT_EQ(s.SFtox_river.status(3), stHidden);
}

TEST(Substance, TypeDialogChoices) {
    Tworldfixture f;
    Tsub& s = f.ws.sub;
    s.substype.value = "phenol";
    Tsubstancetypechoice c = s.typechoice();
    EXPECT_EQ(c.type, 1);
    EXPECT_EQ(c.classindex, 11);
    s.substype.value = "organic (unclassified)";
    EXPECT_EQ(s.typechoice().classindex, 0);
    s.substype.value = "metal";
    EXPECT_EQ(s.typechoice().classindex, -1);
    EXPECT_EQ(Tsub::typetext({1, 5}, true), "aniline");
    EXPECT_EQ(Tsub::typetext({1, 5}, false), "organic (unclassified)");
    EXPECT_EQ(Tsub::typetext({1, -1}, true), "organic (unclassified)");
    EXPECT_EQ(Tsub::typetext({2, -1}, true), "gas");
}

TEST(SubstanceImport, ReadsANamedRowConvertsTheTypeAndDerives) {
    Tworldfixture f;
    std::string path = f.dir.file("substances.xlsx");
    writesubstances(path, headers,
                    {{"100-00-0", "Organic", "Testane", "0.1", "100", "4", "1000", "", "", "280",
                      "", "true", "inf", "a handbook"}});
    TExcelFile w(f.ui, path);
    Tsub& s = f.ws.sub;
    s.changed = true;
    s.import(w, "Testane", "VELMORA");
    EXPECT_FALSE(s.changed);
    EXPECT_EQ(s.name.value, "Testane");
    EXPECT_EQ(s.name.status, stImported);
    EXPECT_EQ(s.substype.value, "organic (unclassified)");
    EXPECT_EQ(s.substype.status, stImported);
    EXPECT_EQ(s.CAS.value, "100-00-0");
    EXPECT_FLOAT_EQ(s.HENRY.value, 25);
    EXPECT_EQ(s.HENRY.status, stDefault);
    EXPECT_NEAR(s.Koc.value, 0.339, 0.0005);
    EXPECT_TRUE(s.readily_biodegradable.value);
    EXPECT_EQ(s.readily_biodegradable.status, stImported);
    EXPECT_EQ(s.DT50photo_air.value, f.ws.settings.InfValue);
    EXPECT_EQ(s.krad_OH.value, 0);
    EXPECT_EQ(s.CHARGE.status, stHidden);
    s.testcomplete();
    EXPECT_TRUE(s.present);
    EXPECT_TRUE(f.ui.warnings.empty());
}

// A later row of the same name (a copy, or a row with only the name) once
// blanked the substance; the first row is the substance and the later one
// is told about.
TEST(SubstanceImport, FirstRowOfTheSameNameIsReadAndALaterOneWarns) {
    Tworldfixture f;
    std::string path = f.dir.file("substances.xlsx");
    writesubstances(
        path, headers,
        {{"1-1-1", "organic (unclassified)", "Twice", "0.1", "100", "4", "1000", "", "", "280"},
         {"", "organic (unclassified)", "Other", "0.2"},
         {"", "", "Twice"}});
    TExcelFile w(f.ui, path);
    f.ui.reset();
    f.ws.sub.import(w, "Twice", "VELMORA");
    EXPECT_EQ(f.ws.sub.CAS.value, "1-1-1");
    EXPECT_FLOAT_EQ(f.ws.sub.MOLW.value, 0.1f);
    EXPECT_EQ(f.ws.sub.VP_TEMPtest.status, stImported);
    ASSERT_EQ(f.ui.warnings.size(), 1u);
    EXPECT_EQ(f.ui.warnings[0],
              "Twice appears more than once in substances.xlsx sheet \"VELMORA\" (rows 4 and 6); "
              "row 4 is read");
}

TEST(SubstanceImport, BadCellsNameTheCellAndLeaveThePreviousSubstance) {
    struct Tcase {
        std::size_t column;
        std::string text;
        std::string message;
    };
    const Tcase cases[] = {{3, "0,1", "'0,1' is not a valid num value"},
                           {3, "1e39", "' is beyond the range of a single-precision number"},
                           {10, "two", "'two' is not a valid integer value"},
                           {11, "yes", "'yes' is not a valid boolean value"}};
    for (const Tcase& c : cases) {
        Tworldfixture f;
        std::string path = f.dir.file("substances.xlsx");
        std::vector<std::string> good = {
            "7-7-7", "organic (unclassified)", "Good", "0.1", "100", "4", "1000", "", "", "280", "",
            "false"};
        std::vector<std::string> row = good;
        row[0] = "";
        row[2] = "Bad";
        row[c.column] = c.text;
        writesubstances(path, headers, {good, row});
        TExcelFile w(f.ui, path);
        f.ws.sub.import(w, "Good", "VELMORA");
        f.ws.sub.testcomplete();
        ASSERT_TRUE(f.ws.sub.present);
        f.ws.sub.changed = true;
        try {
            f.ws.sub.import(w, "Bad", "VELMORA");
            FAIL() << c.text;
        } catch (const EConvertError& e) {
            std::string m = e.what();
            EXPECT_EQ(m.rfind("substances.xlsx sheet \"VELMORA\" cell ", 0), 0u) << m;
            EXPECT_NE(m.find("5 (" + headers[c.column] + ", Bad): '"), std::string::npos) << m;
            EXPECT_NE(m.find(c.message), std::string::npos) << m;
        }
        EXPECT_EQ(f.ws.sub.name.value, "Good") << c.text;
        EXPECT_EQ(f.ws.sub.CAS.value, "7-7-7");
        EXPECT_FLOAT_EQ(f.ws.sub.MOLW.value, 0.1f);
        EXPECT_TRUE(f.ws.sub.present);
        EXPECT_TRUE(f.ws.sub.changed);
    }
}

TEST(SubstanceImport, UnknownNameGivesANewSubstanceSilently) {
    Tworldfixture f;
    std::string path = f.dir.file("substances.xlsx");
    writesubstances(path, headers, {{"", "organic (unclassified)", "Known"}});
    TExcelFile w(f.ui, path);
    f.ws.sub.import(w, "Unknown", "VELMORA");
    EXPECT_EQ(f.ws.sub.name.value, "new substance");
    EXPECT_TRUE(f.ui.warnings.empty());
}

TEST(SubstanceImport, EmptyTypeCellWarnsOncePerRead) {
    Tworldfixture f;
    std::string path = f.dir.file("substances.xlsx");
    writesubstances(path, headers, {{"", "", "Typeless", "0.1"}});
    TExcelFile w(f.ui, path);
    f.ui.reset();
    f.ws.sub.import(w, "Typeless", "VELMORA");
    EXPECT_EQ(f.ws.sub.substype.status, stUnknown);
    // One read of the row, then the three type tests of the defaults.
    EXPECT_EQ(f.ui.warnings.size(), 4u);
    EXPECT_EQ(f.ui.warnings[0], "Parameter substype has no value");
    f.ws.sub.testcomplete();
    EXPECT_FALSE(f.ws.sub.present);
}

TEST(SubstanceSearch, ListsAndSearchesByTheBeginningOfTheName) {
    std::vector<std::string> names = {"Benzene", "benzo[a]pyrene", "Nitrobenzene", "Be", "Cadmium"};
    auto found = searchsubstances(names, "bE");
    EXPECT_EQ(found, (std::vector<std::string>{"Benzene", "benzo[a]pyrene", "Be"}));
    EXPECT_EQ(searchsubstances(names, "").size(), 5u);
    EXPECT_TRUE(searchsubstances(names, "zene").empty());
    EXPECT_EQ(searchsubstances(names, "Cadmium2").size(), 0u);
}
