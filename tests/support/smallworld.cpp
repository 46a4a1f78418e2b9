#include "smallworld.h"

#include <algorithm>

#include "model/environment.h"
#include "model/regions.h"
#include "testsupport.h"

namespace velmora::testing {

namespace {

const std::vector<std::string> bordersheets = {
    "BORDERLENGTH(countries)", "BORDERLENGTH(seas)",           "BORDERLENGTH(countriesseas)",
    "FLOW_river_river",        "FLOW_groundwater_groundwater", "FLOW_river_seawater",
    "FLOW_seawater_seawater",  "FLOW_groundwater_seawater"};

} // namespace

namespace {
// The parameters the program reads from each sheet, from its own catalogue.
std::vector<std::string> importedfrom(bool countries) {
    Trecorderui ui;
    Tsettings settings;
    Tmodelcontext context{settings, ui};
    Tregions regions;
    Tenv env(context, regions);
    std::vector<std::string> names;
    for (const auto& p : env.importedparameters())
        if (countries ? p.fromcountries : p.fromseas) names.push_back(p.name);
    return names;
}
} // namespace

const std::vector<std::string>& Tsmallworld::countryparameters() {
    static const std::vector<std::string> list = importedfrom(true);
    return list;
}

const std::vector<std::string>& Tsmallworld::seaparameters() {
    static const std::vector<std::string> list = importedfrom(false);
    return list;
}

std::map<std::string, std::string> Tsmallworld::countrydefaults() {
    return {{"Fair_agr", "0.2"},
            {"Fair_nonagr", "0.2"},
            {"Fwater_agr", "0.2"},
            {"Fwater_nonagr", "0.2"},
            {"Fsolid_runoff", "0.001"},
            {"Foc_soil", "0.02"},
            {"Foc_sed", "0.05"},
            {"Foc_susp", "0.1"},
            {"SUSPFRACTION_inlandwater", "1.5e-5"},
            {"RESTIME_lake", "2"},
            {"EVAPrate_lake", "0.5"},
            {"EVAP_saltlake", "0.1"},
            {"WINDSPEED", "4"},
            {"WATERrunoff", "100"},
            {"RAINDAYS", "120"},
            {"FROSTMONTHS", "2"},
            {"Farea_agr", "0.4"},
            {"Farea_nat", "0.5"},
            {"Farea_urb", "0.05"},
            {"Friver_frozen", "0.1"},
            {"MIXDEPTH_lake", "10"},
            {"TOTALDEPTH_lake", "20"},
            {"TOTALDEPTH_saltlake", "5"},
            {"DEPTH_nonagr", "0.05"},
            {"AREA_lake", "1000"},
            {"AREA_saltlake", "10"},
            {"AREA_lakesed", "1000"},
            {"AREA_landice", "0"},
            {"V_river", "5"},
            {"FLOW_soil_groundwater", "20"},
            {"FLOW_river_agr", "1"},
            {"FLOW_groundwater_river", "15"},
            {"FLOW_groundwater_agr", "1"},
            {"Fdrw_safe", "0.9"},
            {"Fdrw_grw", "0.5"},
            {"IH_drw", "2"},
            {"IH_freshwaterfish", "10"},
            {"IH_seafish", "20"},
            {"IH_leafcrops", "300"},
            {"IH_rootcrops", "200"},
            {"IH_meat", "150"},
            {"IH_dairy", "300"},
            {"IH_air", "20"},
            {"PROD_freshwaterfish", "10"},
            {"PROD_leafcrops", "1000"},
            {"PROD_rootcrops", "800"},
            {"PROD_meat", "500"},
            {"PROD_dairy", "900"},
            {"IMPORT_freshwaterfish", "1"},
            {"IMPORT_leafcrops", "100"},
            {"IMPORT_rootcrops", "50"},
            {"IMPORT_meat", "20"},
            {"IMPORT_dairy", "30"},
            {"EXPORT_freshwaterfish", "2"},
            {"EXPORT_leafcrops", "50"},
            {"EXPORT_rootcrops", "40"},
            {"EXPORT_meat", "10"},
            {"EXPORT_dairy", "20"},
            {"BW", "70"},
            {"Npop", "10000000"},
            {"OHCONC_air", "0.8"},
            {"TEMP", "15"},
            {"RAINRATE", "700"},
            {"SYSTEMAREA", "50000"},
            {"AEROSOLDEPRATE", "3.6"}};
}

std::map<std::string, std::string> Tsmallworld::seadefaults() {
    return {{"Foc_seased", "0.01"},
            {"Foc_seasusp", "0.1"},
            {"SUSPFRACTION_seawater", "5e-6"},
            {"Farea_seaice", "0"},
            {"MIXDEPTH_seawater", "100"},
            {"AREA_seased", "100000"},
            {"CATCH_seafish", "100000"},
            {"OHCONC_air", "0.6"},
            {"TEMP", "12"},
            {"RAINRATE", "800"},
            {"SYSTEMAREA", "100000"},
            {"AEROSOLDEPRATE", "3.6"}};
}

Tsmallworld Tsmallworld::standard() {
    Tsmallworld w;
    Tsmallregion a;
    a.name = "Aland";
    a.abbreviation = "AL";
    a.continent = "Europa";
    a.groups = {"U1", "G1", "", "", "UCTE", "", "", "EU", "OECD", "EU27", "EU27+3"};
    a.latitude = 50;
    a.longitude = 5;
    a.GDP = 1e11;
    Tsmallregion b = a;
    b.name = "Bland";
    b.abbreviation = "BL";
    b.groups = {"U2", "G1", "", "", "", "", "", "EU", "", "", ""};
    b.latitude = 51;
    b.longitude = 8;
    b.GDP = 2e11;
    b.values["AREA_lake"] = "0"; // a country without lakes
    b.values["AREA_lakesed"] = "0";
    w.countries = {a, b};
    Tsmallregion s;
    s.name = "Asea";
    s.abbreviation = "AS";
    s.ocean = "Oceanus";
    s.latitude = 55;
    s.longitude = 3;
    w.seas = {s};
    Tsmallregion g = a;
    g.name = "Europa";
    g.abbreviation = "EUR";
    w.countrygroups = {g};
    Tsmallregion og = s;
    og.name = "Oceanus";
    og.abbreviation = "OC";
    w.seagroups = {og};
    w.setborder("Aland", "Bland", 100);
    w.setborder("Aland", "Asea", 50);
    w.setborder("Bland", "Asea", 30);
    w.setflow("FLOW_river_river", "Aland", "Bland", 10);
    w.setflow("FLOW_river_seawater", "Bland", "Asea", 60);
    w.setflow("FLOW_river_seawater", "Aland", "Asea", 40);
    return w;
}

void Tsmallworld::setborder(const std::string& a, const std::string& b, double km) {
    auto isSea = [&](const std::string& n) {
        return std::any_of(seas.begin(), seas.end(), [&](const auto& s) { return s.name == n; }) ||
               std::any_of(seagroups.begin(), seagroups.end(),
                           [&](const auto& s) { return s.name == n; });
    };
    bool sa = isSea(a), sb = isSea(b);
    if (!sa && !sb) {
        pairs["BORDERLENGTH(countries)"][{a, b}] = km;
        pairs["BORDERLENGTH(countries)"][{b, a}] = km;
    } else if (sa && sb) {
        pairs["BORDERLENGTH(seas)"][{a, b}] = km;
        pairs["BORDERLENGTH(seas)"][{b, a}] = km;
    } else if (!sa) {
        pairs["BORDERLENGTH(countriesseas)"][{a, b}] = km;
    } else {
        pairs["BORDERLENGTH(countriesseas)"][{b, a}] = km;
    }
}

void Tsmallworld::setflow(const std::string& sheet, const std::string& from, const std::string& to,
                          double km3peryear) {
    pairs[sheet][{from, to}] = km3peryear;
}

namespace {

std::string num(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

void writeregionsheet(Tsheetspec& sheet, bool countrysheet,
                      const std::vector<Tsmallregion>& regions,
                      const std::vector<Tsmallregion>& groups,
                      const std::vector<std::string>& parameters,
                      const std::map<std::string, std::string>& defaults,
                      const std::vector<std::string>& omit) {
    std::uint32_t firstparam = countrysheet ? 20 : 6;
    std::vector<std::string> headers;
    for (const auto& p : parameters)
        if (std::find(omit.begin(), omit.end(), p) == omit.end()) headers.push_back(p);
    // The headings of the region columns, as the real workbook has them.
    const std::vector<std::pair<std::uint32_t, std::string>> described =
        countrysheet
            ? std::vector<std::pair<std::uint32_t, std::string>>{{1, "name"},
                                                                 {2, "abbr"},
                                                                 {3, "continent"},
                                                                 {5, "latitude"},
                                                                 {6, "longitude"},
                                                                 {8, "UNDP region code"},
                                                                 {9, "GLO"},
                                                                 {10, "Near East"},
                                                                 {11, "Middle East"},
                                                                 {12, "UCTE"},
                                                                 {13, "CENTREL"},
                                                                 {14, "NORDEL"},
                                                                 {15, "IIASAPOP"},
                                                                 {16, "OECD"},
                                                                 {17, "EU27"},
                                                                 {18, "EU27+3"},
                                                                 {19, "GDP"}}
            : std::vector<std::pair<std::uint32_t, std::string>>{
                  {1, "name"}, {2, "abbr"}, {3, "latitude"}, {4, "longitude"}, {5, "ocean"}};
    for (const auto& [c, heading] : described)
        sheet.set(10, c, heading);
    for (std::size_t k = 0; k < headers.size(); ++k)
        sheet.set(10, firstparam + static_cast<std::uint32_t>(k), headers[k]);
    auto writeregion = [&](std::uint32_t row, const Tsmallregion& r) {
        sheet.set(row, 1, r.name);
        sheet.set(row, 2, r.abbreviation);
        if (countrysheet) {
            sheet.set(row, 3, r.continent);
            sheet.set(row, 5, num(r.latitude));
            sheet.set(row, 6, num(r.longitude));
            for (std::size_t g = 0; g < r.groups.size() && g < 11; ++g)
                sheet.set(row, 8 + static_cast<std::uint32_t>(g), r.groups[g]);
            sheet.set(row, 19, num(r.GDP));
        } else {
            sheet.set(row, 3, num(r.latitude));
            sheet.set(row, 4, num(r.longitude));
            sheet.set(row, 5, r.ocean);
        }
        for (std::size_t k = 0; k < headers.size(); ++k) {
            auto it = r.values.find(headers[k]);
            std::string v = it != r.values.end() ? it->second : defaults.at(headers[k]);
            sheet.set(row, firstparam + static_cast<std::uint32_t>(k), v);
        }
    };
    std::uint32_t row = 16;
    for (const auto& r : regions)
        writeregion(row++, r);
    // Group rows follow the full-size list in the real workbooks; here they
    // follow right after a gap row, which also ends the region list.
    ++row;
    for (const auto& g : groups)
        writeregion(row++, g);
}

} // namespace

void Tsmallworld::writeparameters(const std::string& path) const {
    Tsheetspec country{"countryparameters", {}};
    Tsheetspec sea{"seaparameters", {}};
    writeregionsheet(country, true, countries, countrygroups, countryparameters(),
                     countrydefaults(), omitcountryheaders);
    writeregionsheet(sea, false, seas, seagroups, seaparameters(), seadefaults(), {});
    writeworkbook(path, {country, sea});
}

void Tsmallworld::writeborders(const std::string& path) const {
    // Sheet rows of every region as in the first workbook.
    std::map<std::string, std::uint32_t> countryrow, searow;
    std::uint32_t row = 16;
    for (const auto& r : countries)
        countryrow[r.name] = row++;
    ++row;
    for (const auto& r : countrygroups)
        countryrow[r.name] = row++;
    row = 16;
    for (const auto& r : seas)
        searow[r.name] = row++;
    ++row;
    for (const auto& r : seagroups)
        searow[r.name] = row++;
    std::vector<Tsheetspec> sheets;
    for (const auto& name : bordersheets) {
        Tsheetspec sheet{name, {}};
        bool rowsea = name == "BORDERLENGTH(seas)" || name == "FLOW_seawater_seawater";
        bool colsea = rowsea || name == "BORDERLENGTH(countriesseas)" ||
                      name == "FLOW_river_seawater" || name == "FLOW_groundwater_seawater";
        sheet.set(1, 1, name);
        auto it = pairs.find(name);
        if (it != pairs.end()) {
            for (const auto& [key, value] : it->second) {
                auto r = (rowsea ? searow : countryrow).find(key.first);
                auto c = (colsea ? searow : countryrow).find(key.second);
                if (r == (rowsea ? searow : countryrow).end() ||
                    c == (colsea ? searow : countryrow).end())
                    continue;
                sheet.set(r->second, c->second - 14, num(value));
            }
        }
        sheets.push_back(sheet);
    }
    writeworkbook(path, sheets);
}

} // namespace velmora::testing
