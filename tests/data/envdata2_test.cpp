// Checks the default second environment workbook that the build puts beside
// the programs: the eight square sheets of borders and flows, their
// agreement with each other and with the first workbook, and that the
// program imports both workbooks without a single warning.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "numeric/utilities.h"
#include "support/testsupport.h"
#include "toolkit/sheets/excelfile.h"
#include "toolkit/sheets/workbookwriter.h"

namespace velmora {
namespace {

constexpr std::uint32_t Firstrow = 16;
constexpr std::uint32_t Lastcountryrow = 254;
constexpr std::uint32_t Lastsearow = 65;
constexpr std::uint32_t Headerrow = 10;

// A sheet read once: numbers by sheet row and column (empty = 0).
struct Tgrid {
    std::uint32_t lastrow = 0;
    std::uint32_t lastcolumn = 0;
    std::vector<std::vector<std::string>> cells;
    const std::string& text(std::uint32_t r, std::uint32_t c) const {
        static const std::string empty;
        if (r < 1 || r > cells.size() || c < 1 || c > cells[r - 1].size()) return empty;
        return cells[r - 1][c - 1];
    }
    double at(std::uint32_t r, std::uint32_t c) const {
        const std::string& t = text(r, c);
        return t.empty() ? 0.0 : static_cast<double>(strtonum(t));
    }
};

Tgrid readgrid(TExcelFile& book, const std::string& name) {
    Tgrid g;
    book.selectsheet(name);
    g.lastrow = book.lastrow();
    g.lastcolumn = book.lastcolumn();
    g.cells.resize(g.lastrow);
    for (std::uint32_t r = 1; r <= g.lastrow; ++r) {
        g.cells[r - 1].resize(g.lastcolumn);
        for (std::uint32_t c = 1; c <= g.lastcolumn; ++c)
            g.cells[r - 1][c - 1] = book.cell(r, c);
    }
    return g;
}

const std::vector<std::string> Sheetnames = {
    "BORDERLENGTH(countries)", "BORDERLENGTH(seas)",           "BORDERLENGTH(countriesseas)",
    "FLOW_river_river",        "FLOW_groundwater_groundwater", "FLOW_river_seawater",
    "FLOW_seawater_seawater",  "FLOW_groundwater_seawater"};

class DefaultBorders : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string path = testing::bindir() + "/ENVDATA2part2.xlsx";
        std::string first = testing::bindir() + "/ENVDATA2part1.xlsx";
        if (!std::filesystem::exists(path) || !std::filesystem::exists(first)) return;
        Trecorderui ui;
        TExcelFile book(ui, path);
        names_ = new std::vector<std::string>(book.sheetnames());
        grids_ = new std::map<std::string, Tgrid>();
        for (const auto& s : Sheetnames)
            (*grids_)[s] = readgrid(book, s);
        TExcelFile one(ui, first);
        countries_ = new Tgrid(readgrid(one, "countryparameters"));
        seas_ = new Tgrid(readgrid(one, "seaparameters"));
    }
    static void TearDownTestSuite() {
        delete names_;
        delete grids_;
        delete countries_;
        delete seas_;
        names_ = nullptr;
        grids_ = nullptr;
        countries_ = seas_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(grids_, nullptr) << "the default workbooks are missing: build default_workbooks";
    }
    static const Tgrid& grid(const std::string& name) { return grids_->at(name); }
    // Last row holding a region or group on a first-workbook sheet.
    static std::uint32_t lastrow(const Tgrid& s) {
        std::uint32_t last = 0;
        for (std::uint32_t r = Firstrow; r <= s.lastrow; ++r)
            if (!s.text(r, 1).empty()) last = r;
        return last;
    }
    static std::uint32_t countryrow(const std::string& name) { return findrow(*countries_, name); }
    static std::uint32_t searow(const std::string& name) { return findrow(*seas_, name); }
    static std::uint32_t findrow(const Tgrid& s, const std::string& name) {
        for (std::uint32_t r = Firstrow; r <= s.lastrow; ++r)
            if (s.text(r, 1) == name) return r;
        return 0;
    }
    static std::uint32_t column(const Tgrid& s, const std::string& header) {
        for (std::uint32_t c = 2; c <= s.lastcolumn; ++c)
            if (s.text(Headerrow, c) == header) return c;
        return 0;
    }
    // The value of the region of sheet row a with the region of sheet row b.
    static double value(const std::string& sheet, std::uint32_t a, std::uint32_t b) {
        return grid(sheet).at(a, b - 14);
    }

    static std::vector<std::string>* names_;
    static std::map<std::string, Tgrid>* grids_;
    static Tgrid* countries_;
    static Tgrid* seas_;
};
std::vector<std::string>* DefaultBorders::names_ = nullptr;
std::map<std::string, Tgrid>* DefaultBorders::grids_ = nullptr;
Tgrid* DefaultBorders::countries_ = nullptr;
Tgrid* DefaultBorders::seas_ = nullptr;

TEST_F(DefaultBorders, HasTheEightSheets) {
    std::set<std::string> names(names_->begin(), names_->end());
    EXPECT_EQ(names.size(), 8u);
    for (const auto& s : Sheetnames)
        EXPECT_TRUE(names.count(s)) << s;
}

TEST_F(DefaultBorders, SheetsAreSquareOverTheRowsOfTheFirstWorkbook) {
    std::uint32_t lastcountry = lastrow(*countries_);
    std::uint32_t lastsea = lastrow(*seas_);
    // Groups follow the regions on both sheets.
    ASSERT_GT(lastcountry, Lastcountryrow);
    ASSERT_GT(lastsea, Lastsearow);
    for (const auto& s : Sheetnames) {
        bool countryrows = s != "BORDERLENGTH(seas)" && s != "FLOW_seawater_seawater";
        bool seacolumns =
            s.find("seas") != std::string::npos || s.find("seawater") != std::string::npos;
        const Tgrid& g = grid(s);
        const Tgrid& rows = countryrows ? *countries_ : *seas_;
        const Tgrid& cols = seacolumns ? *seas_ : *countries_;
        std::uint32_t last = countryrows ? lastcountry : lastsea;
        std::uint32_t lastcol = (seacolumns ? lastsea : lastcountry) - 14;
        EXPECT_EQ(g.lastrow, last) << s;
        EXPECT_EQ(g.lastcolumn, lastcol) << s;
        // Row r names the region of row r; column r - 14 names it too.
        for (std::uint32_t r = Firstrow; r <= last; ++r)
            EXPECT_EQ(g.text(r, 1), rows.text(r, 1)) << s << " row " << r;
        for (std::uint32_t r = Firstrow; r <= (seacolumns ? lastsea : lastcountry); ++r)
            EXPECT_EQ(g.text(15, r - 14), cols.text(r, 1)) << s << " column " << r - 14;
        // Every cell the import may read is empty or a number, never negative.
        for (std::uint32_t r = Firstrow; r <= last; ++r)
            for (std::uint32_t c = 2; c <= lastcol; ++c)
                if (!g.text(r, c).empty()) {
                    double v = 0;
                    EXPECT_NO_THROW(v = g.at(r, c)) << s << " " << r << "," << c;
                    EXPECT_GE(v, 0.0) << s << " " << r << "," << c;
                }
    }
}

TEST_F(DefaultBorders, BordersAreSymmetricAndNoRegionBordersItself) {
    for (const char* s : {"BORDERLENGTH(countries)", "BORDERLENGTH(seas)"}) {
        const Tgrid& g = grid(s);
        for (std::uint32_t a = Firstrow; a <= g.lastrow; ++a) {
            EXPECT_EQ(g.at(a, a - 14), 0.0) << s << " " << g.text(a, 1);
            for (std::uint32_t b = a + 1; b <= g.lastrow; ++b)
                EXPECT_EQ(g.text(a, b - 14), g.text(b, a - 14))
                    << s << " " << g.text(a, 1) << " - " << g.text(b, 1);
        }
    }
}

TEST_F(DefaultBorders, FlowsRunOnlyAlongBorders) {
    struct Tpair {
        const char* flow;
        const char* border;
    };
    for (const Tpair& p : {Tpair{"FLOW_river_river", "BORDERLENGTH(countries)"},
                           Tpair{"FLOW_groundwater_groundwater", "BORDERLENGTH(countries)"},
                           Tpair{"FLOW_seawater_seawater", "BORDERLENGTH(seas)"},
                           Tpair{"FLOW_river_seawater", "BORDERLENGTH(countriesseas)"},
                           Tpair{"FLOW_groundwater_seawater", "BORDERLENGTH(countriesseas)"}}) {
        const Tgrid& f = grid(p.flow);
        const Tgrid& b = grid(p.border);
        // Only a sheet with the same kind of region on both sides has a diagonal.
        bool square = std::string(p.flow).find("river_seawater") == std::string::npos &&
                      std::string(p.flow).find("groundwater_seawater") == std::string::npos;
        int flows = 0;
        for (std::uint32_t r = Firstrow; r <= f.lastrow; ++r)
            for (std::uint32_t c = 2; c <= f.lastcolumn; ++c) {
                if (f.at(r, c) == 0) continue;
                ++flows;
                if (square) {
                    EXPECT_NE(c, r - 14) << p.flow << " on the diagonal: " << f.text(r, 1);
                }
                EXPECT_GT(b.at(r, c), 0.0)
                    << p.flow << " without a border: " << f.text(r, 1) << " -> " << f.text(15, c);
            }
        EXPECT_GT(flows, 20) << p.flow;
    }
}

TEST_F(DefaultBorders, EverySeaHasANeighbourSeaAndEveryCoastASea) {
    const Tgrid& s = grid("BORDERLENGTH(seas)");
    for (std::uint32_t a = Firstrow; a <= Lastsearow; ++a) {
        double total = 0;
        for (std::uint32_t b = Firstrow; b <= Lastsearow; ++b)
            total += s.at(a, b - 14);
        EXPECT_GT(total, 0.0) << seas_->text(a, 1) << " touches no other sea";
    }
    const Tgrid& cs = grid("BORDERLENGTH(countriesseas)");
    std::uint32_t coastcol = column(*countries_, "ref coastline (km)");
    std::uint32_t locked = 7;
    ASSERT_GT(coastcol, 0u);
    int coastal = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        double coast = 0;
        for (std::uint32_t b = Firstrow; b <= Lastsearow; ++b)
            coast += cs.at(r, b - 14);
        double factbook = countries_->at(r, coastcol);
        if (factbook > 0) {
            ++coastal;
            // The coast is the factbook's, shared out over the seas.
            EXPECT_NEAR(coast, factbook, 1e-3 * factbook + 0.01) << countries_->text(r, 1);
        }
        if (countries_->text(r, locked) == "1" && factbook == 0) {
            EXPECT_EQ(coast, 0.0) << countries_->text(r, 1) << " is land-locked";
        }
    }
    EXPECT_GT(coastal, 180);
    // The Caspian Sea is no sea: Kazakhstan and Azerbaijan face none.
    for (const char* n : {"Kazakhstan", "Azerbaijan", "Turkmenistan"}) {
        std::uint32_t r = countryrow(n);
        ASSERT_NE(r, 0u) << n;
        for (std::uint32_t b = Firstrow; b <= Lastsearow; ++b)
            EXPECT_EQ(cs.at(r, b - 14), 0.0) << n << " " << seas_->text(b, 1);
    }
}

TEST_F(DefaultBorders, KnownBordersAgreeWithTheFactbook) {
    struct Tknown {
        const char* a;
        const char* b;
        double km;
    };
    for (const Tknown& k :
         {Tknown{"France", "Spain", 646}, Tknown{"United States", "Canada", 8893},
          Tknown{"Netherlands", "Germany", 575}, Tknown{"Argentina", "Chile", 6691},
          Tknown{"Kazakhstan", "Russia", 7644},
          // Both factbook records repeat Bolivia-Argentina's 942 km.
          Tknown{"Bolivia", "Chile", 861}}) {
        std::uint32_t a = countryrow(k.a), b = countryrow(k.b);
        ASSERT_NE(a, 0u) << k.a;
        ASSERT_NE(b, 0u) << k.b;
        EXPECT_NEAR(value("BORDERLENGTH(countries)", a, b), k.km, 0.05 * k.km)
            << k.a << " - " << k.b;
    }
    EXPECT_EQ(value("BORDERLENGTH(countries)", countryrow("Spain"), countryrow("Portugal")), 1224);
    // Islands have no land borders.
    for (const char* island : {"Iceland", "Japan", "Australia", "Cyprus"}) {
        std::uint32_t r = countryrow(island);
        double total = 0;
        for (std::uint32_t b = Firstrow; b <= Lastcountryrow; ++b)
            total += value("BORDERLENGTH(countries)", r, b);
        EXPECT_EQ(total, 0.0) << island;
    }
}

// Seas meet where they share water: the polygons' common outline over land
// (the Indian Ocean's polygon runs over Eurasia to the Baltic) is no border.
TEST_F(DefaultBorders, SeasBorderOnlyWhereTheyShareWater) {
    const char* seas = "BORDERLENGTH(seas)";
    auto border = [&](const char* a, const char* b) {
        std::uint32_t ra = searow(a), rb = searow(b);
        EXPECT_NE(ra, 0u) << a;
        EXPECT_NE(rb, 0u) << b;
        return value(seas, ra, rb);
    };
    for (const char* far : {"Baltic Sea", "Barents Sea", "Arctic Ocean", "North Atlantic Ocean",
                            "Red Sea", "Persian Gulf"})
        EXPECT_EQ(border(far, "Indian Ocean"), 0) << far;
    EXPECT_EQ(border("Greenland Sea", "Baffin Bay"), 0); // across Greenland
    // The Atlantic's equator from Brazil to Africa (about 6,300 km of the
    // 10,400 km line the two polygons share), the Danish straits.
    EXPECT_NEAR(border("North Atlantic Ocean", "South Atlantic Ocean"), 6299, 50);
    EXPECT_NEAR(border("Baltic Sea", "North Sea"), 141, 5);
}

TEST_F(DefaultBorders, GroupRowsAddUpTheirMembers) {
    std::uint32_t southamerica = countryrow("South America");
    std::uint32_t africa = countryrow("Africa");
    std::uint32_t asia = countryrow("Asia");
    ASSERT_GT(southamerica, Lastcountryrow);
    ASSERT_GT(africa, Lastcountryrow);
    ASSERT_GT(asia, Lastcountryrow);
    const char* land = "BORDERLENGTH(countries)";
    // Panama's only South American neighbour is Colombia (339 km); Israel's
    // only African one Egypt (208 km); Egypt's Asian ones Israel and
    // Palestine (208 + 13 km).
    EXPECT_EQ(value(land, southamerica, countryrow("Panama")), 339);
    EXPECT_EQ(value(land, countryrow("Panama"), southamerica), 339);
    EXPECT_EQ(value(land, africa, countryrow("Israel")), 208);
    EXPECT_EQ(value(land, asia, countryrow("Egypt")), 221);
    EXPECT_EQ(value(land, asia, asia), 0);
    // A group's flows are its members' flows.
    std::uint32_t europe = countryrow("Europe");
    std::uint32_t nl = countryrow("Netherlands");
    double intonl = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        if (countries_->text(r, 3) == "Europe") intonl += value("FLOW_river_river", r, nl);
    EXPECT_GT(intonl, 50.0); // the Rhine and the Meuse
    EXPECT_NEAR(value("FLOW_river_river", europe, nl), intonl, 1e-6 * intonl);
    std::uint32_t atlantic = searow("Atlantic");
    std::uint32_t baltic = searow("Baltic Sea");
    ASSERT_GT(atlantic, Lastsearow);
    double coast = 0;
    std::uint32_t germany = countryrow("Germany");
    for (std::uint32_t s = Firstrow; s <= Lastsearow; ++s)
        if (seas_->text(s, 5) == "Atlantic")
            coast += value("BORDERLENGTH(countriesseas)", germany, s);
    EXPECT_NEAR(coast, 2389, 1.0); // the factbook coastline, all on Atlantic seas
    EXPECT_NEAR(value("BORDERLENGTH(countriesseas)", germany, atlantic), coast, 1e-4 * coast);
    EXPECT_EQ(value("FLOW_seawater_seawater", atlantic, atlantic), 0);
    // The Arctic Ocean's outflow into the Atlantic seas (Fram Strait and the
    // Canadian Archipelago among them) as the Atlantic group's inflow.
    std::uint32_t arctic = searow("Arctic Ocean");
    double toatlantic = 0;
    for (std::uint32_t s = Firstrow; s <= Lastsearow; ++s)
        if (seas_->text(s, 5) == "Atlantic")
            toatlantic += value("FLOW_seawater_seawater", arctic, s);
    EXPECT_GT(toatlantic, 5 * 31536.0 * 0.99);
    EXPECT_NEAR(value("FLOW_seawater_seawater", arctic, atlantic), toatlantic, 1e-6 * toatlantic);
    EXPECT_GT(value("BORDERLENGTH(seas)", baltic, searow("North Sea")), 0);
}

TEST_F(DefaultBorders, RiversCarryNoMoreThanTheirCountriesRunOff) {
    // Out to neighbours and seas <= own run-off (surface run-off plus
    // groundwater discharge into rivers) + inflow, in km3/yr.
    std::uint32_t runoff = column(*countries_, "WATERrunoff");
    std::uint32_t base = column(*countries_, "FLOW_groundwater_river");
    ASSERT_GT(runoff, 0u);
    ASSERT_GT(base, 0u);
    const char* rr = "FLOW_river_river";
    const char* rs = "FLOW_river_seawater";
    double world = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        double in = 0, out = 0;
        for (std::uint32_t b = Firstrow; b <= Lastcountryrow; ++b) {
            in += value(rr, b, r);
            out += value(rr, r, b);
        }
        for (std::uint32_t s = Firstrow; s <= Lastsearow; ++s)
            out += value(rs, r, s);
        world += out;
        double own = countries_->at(r, runoff) + countries_->at(r, base);
        EXPECT_LE(out, own + in + 1e-6 * (own + in) + 1e-9) << countries_->text(r, 1);
    }
    // The world's rivers bring 30,000-45,000 km3/yr to the sea.
    double tosea = 0;
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
        for (std::uint32_t s = Firstrow; s <= Lastsearow; ++s)
            tosea += value(rs, r, s);
    EXPECT_GT(tosea, 30000.0);
    EXPECT_LT(tosea, 45000.0);
    // The Rhine at Lobith and the Congo at its mouth.
    EXPECT_NEAR(value(rr, countryrow("Germany"), countryrow("Netherlands")), 69, 1);
    EXPECT_GT(value(rs, countryrow("DR Congo"), searow("South Atlantic Ocean")), 1000);
}

TEST_F(DefaultBorders, RiverWaterLeavesAlongTheRealRivers) {
    const char* rr = "FLOW_river_river";
    const char* rs = "FLOW_river_seawater";
    // The Nile reaches the Mediterranean, the Rhine the North Sea.
    EXPECT_EQ(value(rs, countryrow("Egypt"), searow("Red Sea")), 0.0);
    EXPECT_GT(value(rs, countryrow("Egypt"), searow("Eastern Mediterranean Sea")), 5.0);
    EXPECT_EQ(value(rs, countryrow("Netherlands"), searow("Caribbean Sea")), 0.0);
    // Land-locked countries pass their water on down their main river.
    std::uint32_t runoff = column(*countries_, "WATERrunoff");
    std::uint32_t base = column(*countries_, "FLOW_groundwater_river");
    std::uint32_t agr = column(*countries_, "FLOW_river_agr");
    for (const char* c : {"Paraguay", "Uganda", "Central African Republic", "Zambia", "Bolivia"}) {
        std::uint32_t r = countryrow(c);
        double in = 0, out = 0;
        for (std::uint32_t b = Firstrow; b <= Lastcountryrow; ++b) {
            in += value(rr, b, r);
            out += value(rr, r, b);
        }
        double own = countries_->at(r, runoff) + countries_->at(r, base);
        EXPECT_GE(out, own + in - countries_->at(r, agr) - 1e-3 * (own + in)) << c;
    }
    EXPECT_GT(value(rr, countryrow("Paraguay"), countryrow("Argentina")), 150.0);
    // The Volga's water reaches the Caspian shares of Russia's neighbours.
    EXPECT_GT(value(rr, countryrow("Russia"), countryrow("Kazakhstan")), 100.0);
    EXPECT_GT(value(rr, countryrow("Kazakhstan"), countryrow("Turkmenistan")), 20.0);
}

TEST_F(DefaultBorders, GroundwaterIsASmallShareOfTheSurfaceFlows) {
    for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r) {
        for (std::uint32_t b = Firstrow; b <= Lastcountryrow; ++b)
            EXPECT_LE(value("FLOW_groundwater_groundwater", r, b),
                      0.02 * value("FLOW_river_river", r, b) * (1 + 1e-6))
                << countries_->text(r, 1);
        for (std::uint32_t s = Firstrow; s <= Lastsearow; ++s)
            EXPECT_LE(value("FLOW_groundwater_seawater", r, s),
                      0.02 * value("FLOW_river_seawater", r, s) * (1 + 1e-6))
                << countries_->text(r, 1);
    }
}

TEST_F(DefaultBorders, EverySeaBalancesWithItsDocumentedNetEvaporation) {
    // Sea water in (from seas, rivers, groundwater) - out = net evaporation,
    // the documented figure of data/world/tables/sea_balance.csv.
    auto table = readcsv(std::string(VELMORA_SOURCE_DIR) + "/data/world/tables/sea_balance.csv");
    ASSERT_EQ(table.size(), 51u);
    std::uint32_t seacol = 0, evapcol = 0, mcol = 0;
    for (std::uint32_t c = 0; c < table[0].size(); ++c) {
        if (table[0][c] == "sea") seacol = c;
        if (table[0][c] == "net_evaporation_km3") evapcol = c;
        if (table[0][c] == "net_evaporation_m") mcol = c;
    }
    ASSERT_GT(evapcol, 0u);
    const char* ss = "FLOW_seawater_seawater";
    double networld = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        std::uint32_t s = searow(table[i][seacol]);
        ASSERT_NE(s, 0u) << table[i][seacol];
        double in = 0, out = 0;
        for (std::uint32_t b = Firstrow; b <= Lastsearow; ++b) {
            in += value(ss, b, s);
            out += value(ss, s, b);
        }
        double fresh = 0;
        for (std::uint32_t r = Firstrow; r <= Lastcountryrow; ++r)
            fresh += value("FLOW_river_seawater", r, s) + value("FLOW_groundwater_seawater", r, s);
        double evap = static_cast<double>(strtonum(table[i][evapcol]));
        EXPECT_NEAR(in + fresh - out, evap, 1e-6 * (in + fresh) + 0.01) << table[i][seacol];
        // No sea loses or gains more than 2.5 m of water a year to the air.
        double metres = static_cast<double>(strtonum(table[i][mcol]));
        EXPECT_GT(metres, -1.0) << table[i][seacol];
        EXPECT_LT(metres, 2.5) << table[i][seacol];
        networld += evap - fresh;
    }
    // What the rivers bring evaporates again over the whole ocean.
    EXPECT_NEAR(networld, 0.0, 1.0);
    // Published straits come out as published (km3/yr): the Baltic's outflow
    // (about 950; the balance adds what its rivers bring beyond the published
    // water budget) and the Atlantic inflow at Gibraltar.
    EXPECT_NEAR(value(ss, searow("Baltic Sea"), searow("North Sea")), 950, 0.05 * 950);
    EXPECT_NEAR(value(ss, searow("North Atlantic Ocean"), searow("Western Mediterranean Sea")),
                0.81 * 31536, 0.81 * 31536 * 0.2);
    EXPECT_GT(value(ss, searow("South Pacific Ocean"), searow("South Atlantic Ocean")),
              100 * 31536 * 0.99); // the Antarctic Circumpolar Current
}

// The program's own import: both default workbooks, at the default level
// and at the levels that read the group rows, without a single warning.
class DefaultImport : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(DefaultImport, ReadsBothWorkbooksWithoutWarning) {
    std::string dir = testing::bindir();
    if (!std::filesystem::exists(dir + "/ENVDATA2part2.xlsx")) GTEST_SKIP();
    Trecorderui ui;
    Tworkspace ws(ui, dir);
    ws.settings.AggregationLevel = static_cast<std::uint8_t>(GetParam().first);
    ws.settings.AggregationGroup = GetParam().second;
    ws.readenvironment();
    EXPECT_TRUE(ws.env.present);
    for (const auto& w : ui.warnings)
        ADD_FAILURE() << "warning: " << w;
    EXPECT_TRUE(ui.warnings.empty());
    std::uint32_t fr = ws.regions.find("France"), es = ws.regions.find("Spain");
    if (GetParam().first == 0) {
        ASSERT_NE(fr, 0u);
        EXPECT_EQ(ws.env.BORDERLENGTH.value(fr, es), 646000.0f);
        EXPECT_EQ(ws.env.BORDERLENGTH.value(es, fr), 646000.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, DefaultImport,
                         ::testing::Values(std::make_pair(0, ""), std::make_pair(1, "Africa"),
                                           std::make_pair(2, "Atlantic"),
                                           std::make_pair(4, "GLO")));

} // namespace
} // namespace velmora
