// Checks the default first environment workbook that the build puts beside
// the programs: the layout the region list and the environment import rely
// on, numbers in every cell they read, and values that agree with the open
// data the workbook was built from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/environment.h"
#include "model/regions.h"
#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "numeric/utilities.h"
#include "support/testsupport.h"
#include "toolkit/sheets/excelfile.h"
#include "toolkit/sheets/workbookwriter.h"

namespace velmora {
namespace {

constexpr std::uint32_t Headerrow = 10;
constexpr std::uint32_t Firstrow = 16;
constexpr std::uint32_t Lastcountryrow = 254;
constexpr std::uint32_t Lastsearow = 65;

enum class Tkind { country, sea, both };

// The parameters the environment import reads from the first workbook, with
// the sheets it reads them from, as the program's own catalogue gives them.
std::vector<std::pair<std::string, Tkind>> importedlist() {
    Trecorderui ui;
    Tsettings settings;
    Tmodelcontext context{settings, ui};
    Tregions regions;
    Tenv env(context, regions);
    std::vector<std::pair<std::string, Tkind>> list;
    for (const auto& p : env.importedparameters())
        list.push_back({p.name, p.fromcountries && p.fromseas ? Tkind::both
                                : p.fromcountries             ? Tkind::country
                                                              : Tkind::sea});
    return list;
}
const std::vector<std::pair<std::string, Tkind>> Imported = importedlist();

const std::vector<std::string> Foods = {"freshwaterfish", "leafcrops", "rootcrops", "meat",
                                        "dairy"};

// A sheet read once: cell texts by row and column, columns by header.
struct Tsheet {
    std::vector<std::vector<std::string>> cells; // cells[r-1][c-1]
    std::uint32_t lastrow = 0;
    std::map<std::string, std::uint32_t> columns; // first column of each header from column 2

    const std::string& at(std::uint32_t r, std::uint32_t c) const {
        static const std::string empty;
        if (r < 1 || r > cells.size() || c < 1 || c > cells[r - 1].size()) return empty;
        return cells[r - 1][c - 1];
    }
    bool has(const std::string& header) const { return columns.count(header) > 0; }
    std::uint32_t column(const std::string& header) const {
        auto it = columns.find(header);
        if (it == columns.end()) throw Eerror("no column " + header);
        return it->second;
    }
    double number(std::uint32_t r, const std::string& header) const {
        return static_cast<double>(strtonum(at(r, column(header))));
    }
    // The first row from Firstrow whose column 1 holds name, 0 when none.
    std::uint32_t find(const std::string& name) const {
        for (std::uint32_t r = Firstrow; r <= lastrow; ++r)
            if (at(r, 1) == name) return r;
        return 0;
    }
};

Tsheet readsheet(TExcelFile& book, const std::string& name) {
    Tsheet s;
    book.selectsheet(name);
    s.lastrow = book.lastrow();
    std::uint32_t lastcolumn = book.lastcolumn();
    s.cells.resize(s.lastrow);
    for (std::uint32_t r = 1; r <= s.lastrow; ++r) {
        s.cells[r - 1].resize(lastcolumn);
        for (std::uint32_t c = 1; c <= lastcolumn; ++c)
            s.cells[r - 1][c - 1] = book.cell(r, c);
    }
    for (std::uint32_t c = 2; c <= lastcolumn; ++c)
        if (!s.at(Headerrow, c).empty()) s.columns.emplace(s.at(Headerrow, c), c);
    return s;
}

bool isnumber(const std::string& text) {
    try {
        strtonum(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool readsfrom(Tkind kind, bool countrysheet) {
    return kind == Tkind::both || (kind == Tkind::country) == countrysheet;
}

class DefaultEnvironment : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = testing::bindir() + "/ENVDATA2part1.xlsx";
        if (!std::filesystem::exists(path_)) return;
        Trecorderui ui;
        TExcelFile book(ui, path_);
        sheetnames_ = new std::vector<std::string>(book.sheetnames());
        countries_ = new Tsheet(readsheet(book, "countryparameters"));
        seas_ = new Tsheet(readsheet(book, "seaparameters"));
    }
    static void TearDownTestSuite() {
        delete sheetnames_;
        delete countries_;
        delete seas_;
        sheetnames_ = nullptr;
        countries_ = seas_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(countries_, nullptr)
            << path_ << " is missing: build the default_workbooks target";
    }
    // Rows of the group that stand after the regions.
    static std::vector<std::uint32_t> grouprows(const Tsheet& s, std::uint32_t lastregion) {
        std::vector<std::uint32_t> rows;
        for (std::uint32_t r = lastregion + 1; r <= s.lastrow; ++r)
            if (!s.at(r, 1).empty()) rows.push_back(r);
        return rows;
    }
    static std::string path_;
    static std::vector<std::string>* sheetnames_;
    static Tsheet* countries_;
    static Tsheet* seas_;
};
std::string DefaultEnvironment::path_;
std::vector<std::string>* DefaultEnvironment::sheetnames_ = nullptr;
Tsheet* DefaultEnvironment::countries_ = nullptr;
Tsheet* DefaultEnvironment::seas_ = nullptr;

TEST_F(DefaultEnvironment, HasTheTwoRegionSheets) {
    std::set<std::string> names(sheetnames_->begin(), sheetnames_->end());
    EXPECT_TRUE(names.count("countryparameters"));
    EXPECT_TRUE(names.count("seaparameters"));
}

TEST_F(DefaultEnvironment, HeaderRowNamesEveryImportedParameterOnItsSheets) {
    for (const auto& [name, kind] : Imported) {
        if (readsfrom(kind, true)) {
            EXPECT_TRUE(countries_->has(name)) << name << " (countries)";
        }
        if (readsfrom(kind, false)) {
            EXPECT_TRUE(seas_->has(name)) << name << " (seas)";
        }
    }
    // A parameter read from one sheet only must not be offered on the other,
    // where it would mislead a reader into thinking it is used.
    EXPECT_FALSE(seas_->has("Npop"));
    EXPECT_FALSE(countries_->has("CATCH_seafish"));
}

TEST_F(DefaultEnvironment, HoldsExactly239CountriesAnd50SeasWithUsableNames) {
    std::set<std::string> names;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        const std::string& n = countries_->at(r, 1);
        EXPECT_FALSE(n.empty()) << "country row " << r;
        EXPECT_EQ(n.find_first_of(",\t"), std::string::npos) << n;
        EXPECT_TRUE(names.insert(n).second) << "duplicate " << n;
        EXPECT_FALSE(countries_->at(r, 2).empty()) << n << " has no abbreviation";
        EXPECT_FALSE(countries_->at(r, 3).empty()) << n << " has no continent";
    }
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r) {
        const std::string& n = seas_->at(r, 1);
        EXPECT_FALSE(n.empty()) << "sea row " << r;
        EXPECT_EQ(n.find_first_of(",\t"), std::string::npos) << n;
        EXPECT_TRUE(names.insert(n).second) << "duplicate " << n;
        EXPECT_FALSE(seas_->at(r, 5).empty()) << n << " has no ocean";
    }
    EXPECT_EQ(names.size(), 289u);
    // The rows right after the regions are group rows, not a 240th country
    // or a 51st sea: their names are values of a grouping.
    std::set<std::string> continents;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        continents.insert(countries_->at(r, 3));
    EXPECT_TRUE(continents.count(countries_->at(Lastcountryrow + 1, 1)));
    std::set<std::string> oceans;
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r)
        oceans.insert(seas_->at(r, 5));
    EXPECT_TRUE(oceans.count(seas_->at(Lastsearow + 1, 1)));
}

TEST_F(DefaultEnvironment, EveryCellTheImportReadsIsANumber) {
    auto check = [](const Tsheet& s, std::uint32_t lastregion, bool countrysheet,
                    const std::vector<std::uint32_t>& idcolumns) {
        std::vector<std::uint32_t> rows;
        for (std::uint32_t r = Firstrow; r <= lastregion; ++r)
            rows.push_back(r);
        for (auto r : grouprows(s, lastregion))
            rows.push_back(r);
        for (auto r : rows) {
            for (auto c : idcolumns)
                EXPECT_TRUE(isnumber(s.at(r, c))) << s.at(r, 1) << " column " << c;
            for (const auto& [name, kind] : Imported) {
                if (!readsfrom(kind, countrysheet) || !s.has(name)) continue;
                EXPECT_TRUE(isnumber(s.at(r, s.column(name))))
                    << s.at(r, 1) << " " << name << ": '" << s.at(r, s.column(name)) << "'";
            }
        }
    };
    check(*countries_, Lastcountryrow, true, {5, 6, 19});
    check(*seas_, Lastsearow, false, {3, 4});
}

TEST_F(DefaultEnvironment, FractionsLieBetweenZeroAndOne) {
    const std::vector<std::string> countryfractions = {
        "Fair_agr",      "Fair_nonagr",   "Fwater_agr",
        "Fwater_nonagr", "Fsolid_runoff", "Foc_soil",
        "Foc_sed",       "Foc_susp",      "SUSPFRACTION_inlandwater",
        "Farea_agr",     "Farea_nat",     "Farea_urb",
        "Friver_frozen", "Fdrw_safe",     "Fdrw_grw"};
    const std::vector<std::string> seafractions = {"Foc_seased", "Foc_seasusp",
                                                   "SUSPFRACTION_seawater", "Farea_seaice"};
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        for (const auto& f : countryfractions) {
            double v = countries_->number(r, f);
            EXPECT_GE(v, 0.0) << countries_->at(r, 1) << " " << f;
            EXPECT_LE(v, 1.0) << countries_->at(r, 1) << " " << f;
        }
        // Soil needs room for its solids.
        EXPECT_LT(countries_->number(r, "Fair_agr") + countries_->number(r, "Fwater_agr"), 1.0);
        EXPECT_LT(countries_->number(r, "Fair_nonagr") + countries_->number(r, "Fwater_nonagr"),
                  1.0);
    }
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r)
        for (const auto& f : seafractions) {
            double v = seas_->number(r, f);
            EXPECT_GE(v, 0.0) << seas_->at(r, 1) << " " << f;
            EXPECT_LE(v, 1.0) << seas_->at(r, 1) << " " << f;
        }
}

TEST_F(DefaultEnvironment, LandUseFractionsAddUpToAtMostOne) {
    auto rows = grouprows(*countries_, Lastcountryrow);
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        rows.push_back(r);
    for (auto r : rows) {
        double sum = countries_->number(r, "Farea_agr") + countries_->number(r, "Farea_nat") +
                     countries_->number(r, "Farea_urb");
        EXPECT_LE(sum, 1.0 + 1e-5) << countries_->at(r, 1);
        // Only lakes take up the rest; no country is mostly lake.
        EXPECT_GE(sum, 0.5) << countries_->at(r, 1);
    }
}

TEST_F(DefaultEnvironment, CountryAreasAgreeWithTheFactbookLandAreas) {
    auto table = readcsv(std::string(VELMORA_SOURCE_DIR) + "/data/world/tables/factbook.csv");
    ASSERT_GT(table.size(), 200u);
    std::uint32_t namecol = 0, landcol = 0;
    for (std::uint32_t c = 0; c < table[0].size(); ++c) {
        if (table[0][c] == "name") namecol = c;
        if (table[0][c] == "land_km2") landcol = c;
    }
    ASSERT_GT(landcol, 0u);
    int compared = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (table[i].size() <= landcol || table[i][landcol].empty()) continue;
        double land = static_cast<double>(strtonum(table[i][landcol]));
        std::uint32_t r = countries_->find(table[i][namecol]);
        ASSERT_NE(r, 0u) << table[i][namecol];
        double area = countries_->number(r, "SYSTEMAREA");
        EXPECT_NEAR(area, land, 0.02 * land) << table[i][namecol];
        ++compared;
    }
    EXPECT_GE(compared, 230);
}

TEST_F(DefaultEnvironment, SeasCoverTheWorldOcean) {
    double total = 0;
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r) {
        double a = seas_->number(r, "SYSTEMAREA");
        EXPECT_GT(a, 50000.0) << seas_->at(r, 1);
        EXPECT_LE(seas_->number(r, "AREA_seased"), a) << seas_->at(r, 1);
        total += a;
    }
    EXPECT_NEAR(total, 361e6, 0.05 * 361e6);
    double land = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        land += countries_->number(r, "SYSTEMAREA");
    // Land and sea together: the surface of the earth, 510 million km2,
    // less the lakes that lie outside the land areas.
    EXPECT_NEAR(land + total, 510e6, 0.03 * 510e6);
}

TEST_F(DefaultEnvironment, ValuesAreInTheSheetUnits) {
    // Temperatures in degrees Celsius, rain in mm per year, population in
    // persons: a wrong unit would shift these by orders of magnitude.
    double pop = 0, tempsum = 0, seatemp = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        double t = countries_->number(r, "TEMP");
        EXPECT_GT(t, -60.0) << countries_->at(r, 1);
        EXPECT_LT(t, 35.0) << countries_->at(r, 1);
        tempsum += t;
        double rain = countries_->number(r, "RAINRATE");
        EXPECT_GE(rain, 10.0) << countries_->at(r, 1);
        EXPECT_LE(rain, 5000.0) << countries_->at(r, 1);
        pop += countries_->number(r, "Npop");
        double bw = countries_->number(r, "BW");
        EXPECT_GT(bw, 40.0);
        EXPECT_LT(bw, 100.0);
        // Litres per day, not cubic metres.
        EXPECT_GE(countries_->number(r, "IH_drw"), 1.0) << countries_->at(r, 1);
        EXPECT_LE(countries_->number(r, "IH_drw"), 3.0) << countries_->at(r, 1);
    }
    EXPECT_NEAR(pop, 7.25e9, 0.05 * 7.25e9); // the 2015 world population
    EXPECT_NEAR(tempsum / 239, 19.0, 5.0);
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r) {
        double t = seas_->number(r, "TEMP");
        EXPECT_GT(t, -2.5) << seas_->at(r, 1);
        EXPECT_LT(t, 32.0) << seas_->at(r, 1);
        seatemp += t;
    }
    EXPECT_GT(seatemp / 50, 5.0);
}

TEST_F(DefaultEnvironment, EveryGroupingValueHasItsGroupRow) {
    std::set<std::string> regionnames;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        regionnames.insert(countries_->at(r, 1));
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r)
        regionnames.insert(seas_->at(r, 1));
    auto check = [&](const Tsheet& s, std::uint32_t lastregion, std::uint32_t column) {
        std::set<std::string> values;
        for (std::uint32_t r = Firstrow; r <= lastregion; ++r)
            if (!s.at(r, column).empty()) values.insert(s.at(r, column));
        EXPECT_GE(values.size(), 1u) << "column " << column;
        for (const auto& v : values) {
            EXPECT_FALSE(regionnames.count(v)) << v << " is also a region name";
            std::uint32_t row = s.find(v);
            EXPECT_GT(row, lastregion) << "no group row for " << v;
        }
    };
    check(*countries_, Lastcountryrow, 3); // continent
    check(*countries_, Lastcountryrow, 8); // UNDP region code
    check(*countries_, Lastcountryrow, 9); // GLO
    check(*seas_, Lastsearow, 5);          // ocean
}

TEST_F(DefaultEnvironment, GroupRowsAddUpTheirMembers) {
    // Extensive quantities are sums, intensive ones weighted means.
    std::uint32_t europe = countries_->find("Europe");
    ASSERT_GT(europe, Lastcountryrow);
    double pop = 0, area = 0, areatemp = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        if (countries_->at(r, 3) != "Europe") continue;
        pop += countries_->number(r, "Npop");
        area += countries_->number(r, "SYSTEMAREA");
        areatemp += countries_->number(r, "SYSTEMAREA") * countries_->number(r, "TEMP");
    }
    EXPECT_NEAR(countries_->number(europe, "Npop"), pop, 1e-5 * pop);
    EXPECT_NEAR(countries_->number(europe, "SYSTEMAREA"), area, 1e-5 * area);
    EXPECT_NEAR(countries_->number(europe, "TEMP"), areatemp / area, 0.01);

    std::uint32_t world = countries_->find("GLO");
    ASSERT_GT(world, Lastcountryrow);
    double allpop = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        allpop += countries_->number(r, "Npop");
    EXPECT_NEAR(countries_->number(world, "Npop"), allpop, 1e-5 * allpop);

    std::uint32_t arctic = seas_->find("Arctic");
    ASSERT_GT(arctic, Lastsearow);
    double seaarea = 0;
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r)
        if (seas_->at(r, 5) == "Arctic") seaarea += seas_->number(r, "SYSTEMAREA");
    EXPECT_NEAR(seas_->number(arctic, "SYSTEMAREA"), seaarea, 1e-5 * seaarea);
}

TEST_F(DefaultEnvironment, FoodSupplyEqualsConsumption) {
    // Production less export plus import is what the population eats.
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        double npop = countries_->number(r, "Npop");
        for (const auto& food : Foods) {
            double prod = countries_->number(r, "PROD_" + food);
            double exp = countries_->number(r, "EXPORT_" + food);
            double imp = countries_->number(r, "IMPORT_" + food);
            double eaten = npop * countries_->number(r, "IH_" + food) * 365.0 / 1e9; // kt/yr
            EXPECT_NEAR(prod - exp + imp, eaten, 1e-4 * eaten + 1e-3)
                << countries_->at(r, 1) << " " << food;
            EXPECT_GE(prod, 0.0);
            EXPECT_LE(exp, prod + imp + 1e-6) << countries_->at(r, 1) << " " << food;
        }
    }
}

TEST_F(DefaultEnvironment, KnownFactsComeOutRight) {
    std::uint32_t nl = countries_->find("Netherlands");
    ASSERT_NE(nl, 0u);
    EXPECT_NEAR(countries_->number(nl, "SYSTEMAREA"), 33900.0, 100.0);
    EXPECT_EQ(countries_->at(nl, 4), "NLD");
    EXPECT_EQ(countries_->at(nl, 7), "0");
    EXPECT_EQ(countries_->at(nl, 16), "OECD");
    EXPECT_EQ(countries_->at(nl, 17), "EU27");
    EXPECT_EQ(countries_->at(nl, 12), "UCTE");

    std::uint32_t br = countries_->find("Brazil");
    ASSERT_NE(br, 0u);
    EXPECT_NEAR(countries_->number(br, "Npop"), 204e6, 1e6);
    EXPECT_TRUE(countries_->at(br, 16).empty()) << "Brazil is no OECD member";

    std::uint32_t ml = countries_->find("Mali");
    ASSERT_NE(ml, 0u);
    EXPECT_EQ(countries_->at(ml, 7), "1") << "Mali is land-locked";
    EXPECT_EQ(countries_->at(ml, 3), "Africa");

    std::uint32_t baltic = seas_->find("Baltic Sea");
    ASSERT_NE(baltic, 0u);
    EXPECT_NEAR(seas_->number(baltic, "ref mean depth (m)"), 55.0, 5.0);
    EXPECT_EQ(seas_->at(baltic, 5), "Atlantic");

    // The Caspian Sea is a salt lake of its shore countries, not a sea.
    EXPECT_EQ(seas_->find("Caspian Sea"), 0u);
    std::uint32_t kz = countries_->find("Kazakhstan");
    ASSERT_NE(kz, 0u);
    EXPECT_GT(countries_->number(kz, "AREA_saltlake"), 50000.0);
}

// The second pass over the rule-made columns: published figures where
// there are any, within the published range where a rule remains.
TEST_F(DefaultEnvironment, RuleMadeColumnsAgreeWithPublishedFigures) {
    auto country = [&](const char* name, const char* column) {
        std::uint32_t r = countries_->find(name);
        EXPECT_NE(r, 0u) << name;
        return r ? countries_->number(r, column) : 0.0;
    };
    auto sea = [&](const char* name, const char* column) {
        std::uint32_t r = seas_->find(name);
        EXPECT_NE(r, 0u) << name;
        return r ? seas_->number(r, column) : 0.0;
    };
    // Water under sea ice is near its freezing point.
    for (const char* s : {"Laptev Sea", "East Siberian Sea", "Arctic Ocean"})
        EXPECT_LT(sea(s, "TEMP"), 0.0) << s;
    // The annual mean ice of the Southern Ocean is less than its maximum.
    EXPECT_LE(sea("Southern Ocean", "Farea_seaice"), 0.6);
    EXPECT_GE(sea("Sea of Okhotsk", "Farea_seaice"), 0.2);
    EXPECT_LT(sea("Red Sea", "RAINRATE"), 200.0);
    // Catches by fishing area: Hudson Bay gives a few thousand tonnes, the
    // East China Sea millions; the world about 81 million t.
    EXPECT_LT(sea("Hudson Bay", "CATCH_seafish"), 20000.0);
    EXPECT_LT(sea("Southern Ocean", "CATCH_seafish"), 1e6);
    EXPECT_GT(sea("East China Sea", "CATCH_seafish"), 2e6);
    double catches = 0;
    for (std::uint32_t r = Firstrow; r <= Lastsearow; ++r)
        catches += seas_->number(r, "CATCH_seafish");
    EXPECT_NEAR(catches, 81.1e6, 0.01 * 81.1e6);
    // Rain, lakes and diets where the rules were off by a factor 3 or more.
    EXPECT_LT(country("Qatar", "RAINRATE"), 150.0);
    EXPECT_LT(country("Cape Verde", "RAINRATE"), 400.0);
    EXPECT_GT(country("Norway", "AREA_lake"), 10000.0);
    EXPECT_GT(country("Iceland", "AREA_lake"), 500.0);
    EXPECT_GT(country("Mongolia", "IH_dairy"), 200.0);
    EXPECT_LT(country("Papua New Guinea", "IH_dairy"), 20.0);
    EXPECT_LT(country("Niger", "IH_rootcrops"), 60.0);
    EXPECT_LT(country("Ethiopia", "IH_freshwaterfish") + country("Ethiopia", "IH_seafish"), 5.0);
    // The Caspian evaporates at one rate over every shore country's share.
    double rate = country("Azerbaijan", "EVAP_saltlake") / country("Azerbaijan", "AREA_saltlake");
    EXPECT_NEAR(country("Russia", "EVAP_saltlake") / country("Russia", "AREA_saltlake"), rate,
                0.01 * rate);
    EXPECT_GT(rate * 1e3, 0.8); // m/yr
    EXPECT_LT(rate * 1e3, 1.5);
}

} // namespace
} // namespace velmora
