#include "model/regions.h"

#include <map>

#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"
#include "toolkit/sheets/excelfile.h"

namespace velmora {

const std::array<const char*, 16> aggregationlevelnames = {"Separate countries/seas",
                                                           "Continents",
                                                           "Oceans",
                                                           "UNDP regions",
                                                           "GLO",
                                                           "Near East",
                                                           "Middle East",
                                                           "UCTE",
                                                           "CENTREL",
                                                           "NORDEL",
                                                           "IIASA-POP world regions",
                                                           "OECD",
                                                           "EU27",
                                                           "EU27+3",
                                                           "Land/sea",
                                                           "World"};

namespace {

const char* countrysheet = "countryparameters";
const char* seasheet = "seaparameters";
constexpr std::uint32_t firstrow = 16;
constexpr std::uint32_t lastcountryrow = 254;
constexpr std::uint32_t lastsearow = 65;
constexpr std::uint32_t headingrow = 10;

// Sheet columns of the country groupings UNDP .. EU27+3.
constexpr std::uint32_t firstgroupcolumn = 8;

// A number of the region description, with the cell and the region in
// any message, and refused outside what it can be.
float numbercell(TExcelFile& w, std::uint32_t r, std::uint32_t c, const char* what, double low,
                 double high) {
    const std::string text = w.cell(r, c);
    const std::string who = messagetext(w.cell(r, 1), 60);
    double x = 0;
    try {
        x = static_cast<double>(strtonum(text));
    } catch (const EConvertError& e) {
        throw EConvertError(w.where(r, c) + " (" + what + " of " + who + "): " + e.what());
    }
    if (!(x >= low && x <= high))
        throw EConvertError(w.where(r, c) + " (" + what + " of " + who + "): " + messagetext(text) +
                            " is outside the allowed range " + shortesttext(low) + " to " +
                            shortesttext(high));
    return static_cast<float>(x);
}

constexpr double anyamount = 3.4e38;

Tregionrecord countryrow(TExcelFile& w, std::uint32_t r) {
    Tregionrecord region;
    region.name = w.cell(r, 1);
    region.abbreviation = w.cell(r, 2);
    region.groups[gContinent] = w.cell(r, 3);
    region.latitude = numbercell(w, r, 5, "latitude", -90, 90);
    region.longitude = numbercell(w, r, 6, "longitude", -180, 180);
    for (std::uint32_t g = gUNDP; g <= gEU27plus3; ++g)
        region.groups[g] = w.cell(r, firstgroupcolumn + (g - gUNDP));
    region.GDP = numbercell(w, r, 19, "GDP", 0, anyamount);
    region.groups[gLandsea] = "Land";
    region.row = r;
    region.land = true;
    return region;
}

Tregionrecord searow(TExcelFile& w, std::uint32_t r) {
    Tregionrecord region;
    region.name = w.cell(r, 1);
    region.abbreviation = w.cell(r, 2);
    region.latitude = numbercell(w, r, 3, "latitude", -90, 90);
    region.longitude = numbercell(w, r, 4, "longitude", -180, 180);
    region.groups[gOcean] = w.cell(r, 5);
    region.groups[gLandsea] = "Sea";
    region.row = r;
    region.land = false;
    return region;
}

std::string trimmedtext(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// The region columns are read by position: their headings in row 10 must
// be where the reading expects them. A deleted column would otherwise turn
// longitudes into latitudes, an inserted row shift every region.
void checkheadings(TExcelFile& w, bool countries) {
    static const std::pair<std::uint32_t, const char*> countryheadings[] = {
        {1, "name"},      {2, "abbr"},       {3, "continent"},
        {5, "latitude"},  {6, "longitude"},  {8, "UNDP region code"},
        {9, "GLO"},       {10, "Near East"}, {11, "Middle East"},
        {12, "UCTE"},     {13, "CENTREL"},   {14, "NORDEL"},
        {15, "IIASAPOP"}, {16, "OECD"},      {17, "EU27"},
        {18, "EU27+3"},   {19, "GDP"}};
    static const std::pair<std::uint32_t, const char*> seaheadings[] = {
        {1, "name"}, {2, "abbr"}, {3, "latitude"}, {4, "longitude"}, {5, "ocean"}};
    auto check = [&](std::uint32_t c, const char* heading) {
        std::string found = trimmedtext(w.cell(headingrow, c));
        if (found != heading)
            throw Eerror(w.where(headingrow, c) + " holds \"" + messagetext(found, 40) +
                         "\" where the heading \"" + heading +
                         "\" belongs: the region columns are read by position (a row or column "
                         "inserted or deleted?)");
    };
    if (countries)
        for (const auto& [c, h] : countryheadings)
            check(c, h);
    else
        for (const auto& [c, h] : seaheadings)
            check(c, h);
}

bool rowisempty(TExcelFile& w, std::uint32_t r) {
    std::uint32_t last = w.lastcolumn();
    for (std::uint32_t c = 1; c <= last; ++c)
        if (!w.cell(r, c).empty()) return false;
    return true;
}

// The region rows of the current sheet, from row 16 to the first empty row
// (or last). A region row without a name (a merged or cleared cell) is
// refused, and so is a region after the empty row that ended the list,
// which would silently drop it and every region after it. Only group rows
// (named by a grouping value of the regions read) may follow a gap.
template <typename Read>
void readregionrows(TExcelFile& w, std::uint32_t last, Read read,
                    std::vector<Tregionrecord>& regions) {
    std::uint32_t r = firstrow;
    for (; r <= last; ++r) {
        if (trimmedtext(w.cell(r, 1)).empty()) {
            if (rowisempty(w, r)) break;
            throw Eerror(w.where(r, 1) + " is empty but its row holds data: every region needs a "
                                         "name (a merged or cleared cell?)");
        }
        regions.push_back(read(w, r));
    }
    const std::uint32_t gap = r;
    for (++r; r <= last; ++r) {
        std::string name = w.cell(r, 1);
        if (name.empty()) continue;
        bool group = false;
        for (const Tregionrecord& region : regions)
            for (const std::string& value : region.groups)
                group = group || (value == name && value != "Land" && value != "Sea");
        if (!group)
            throw Eerror(w.where(r, 1) + " names \"" + messagetext(name, 60) +
                         "\" below the empty row " + std::to_string(gap) +
                         " that ends the region list: remove the empty row");
    }
}

// The first row from 16 to the last used row whose name is the group; 0 when none.
std::uint32_t grouprow(TExcelFile& w, const std::string& group) {
    std::uint32_t last = w.lastrow();
    for (std::uint32_t r = firstrow; r <= last; ++r)
        if (w.cell(r, 1) == group) return r;
    return 0;
}

} // namespace

Tregions::Tregions() {
    clear();
}

void Tregions::clear() {
    count = nland = nsea = 0;
    names.clear();
    abbreviations.clear();
    rows.clear();
    landflags.clear();
    latitudes.clear();
    longitudes.clear();
    GDPs.clear();
    for (auto& v : groupvalues)
        v.clear();
    for (auto& v : distinctvalues)
        v.clear();
}

void Tregions::add(const Tregionrecord& region) {
    ++count;
    names.setvalue(count, region.name);
    abbreviations.setvalue(count, region.abbreviation);
    rows.setvalue(count, region.row);
    landflags.setvalue(count, region.land);
    latitudes.setvalue(count, region.latitude);
    longitudes.setvalue(count, region.longitude);
    GDPs.setvalue(count, region.GDP);
    for (std::size_t g = 0; g < groupingcount; ++g) {
        const std::string& value = region.groups[g];
        groupvalues[g].setvalue(count, value);
        if (value.empty()) continue;
        bool known = false;
        for (std::uint32_t k = 1; k <= distinctvalues[g].count() && !known; ++k)
            known = distinctvalues[g].getvalue(k) == value;
        if (!known) distinctvalues[g].setvalue(distinctvalues[g].count() + 1, value);
    }
    if (region.land)
        ++nland;
    else
        ++nsea;
}

void Tregions::read(TExcelFile& workbook, const Tsettings& settings, Tuiservice& ui) {
    std::uint8_t level = settings.AggregationLevel;
    const std::string& group = settings.AggregationGroup;
    // Levels 1..14 leave out the members of one group. An empty group would
    // leave out every region that has no value in that grouping, which no
    // user means: it reads as level 0.
    if (level >= 1 && level <= 14 && group.empty()) level = 0;

    std::uint32_t countrygroup = 0;
    std::uint32_t seagroup = 0;
    // Levels that add a group region need its row; without one, leaving the
    // members out would lose them from the world, so the list is read whole.
    if (level == 1 || level == 3 || level == 4) {
        workbook.selectsheet(countrysheet);
        countrygroup = grouprow(workbook, group);
        if (countrygroup == 0) {
            ui.warn(group + " has no group row in " + workbook.workbookname() +
                    "; the regions are read without aggregation");
            level = 0;
        }
    } else if (level == 2) {
        workbook.selectsheet(seasheet);
        seagroup = grouprow(workbook, group);
        if (seagroup == 0) {
            ui.warn(group + " has no group row in " + workbook.workbookname() +
                    "; the regions are read without aggregation");
            level = 0;
        }
    }

    workbook.selectsheet(countrysheet);
    checkheadings(workbook, true);
    std::vector<Tregionrecord> countries;
    readregionrows(workbook, lastcountryrow, countryrow, countries);
    Tregionrecord countrygrouprecord;
    if (countrygroup != 0) countrygrouprecord = countryrow(workbook, countrygroup);

    workbook.selectsheet(seasheet);
    checkheadings(workbook, false);
    std::vector<Tregionrecord> seas;
    readregionrows(workbook, lastsearow, searow, seas);

    // One name, one region: the regions are found by name everywhere.
    std::map<std::string, const Tregionrecord*> byname;
    for (const auto* list : {&countries, &seas}) {
        for (const Tregionrecord& region : *list) {
            auto [it, added] = byname.emplace(trimmedtext(region.name), &region);
            if (added) continue;
            const Tregionrecord& first = *it->second;
            throw Eerror(
                workbook.workbookname() + ": \"" + messagetext(region.name, 60) +
                "\" names two regions, in sheet \"" + (first.land ? countrysheet : seasheet) +
                "\" row " + std::to_string(first.row) + " and sheet \"" +
                (region.land ? countrysheet : seasheet) + "\" row " + std::to_string(region.row));
        }
    }

    for (const Tregionrecord& region : countries) {
        bool leftout = false;
        if (level == 1 || (level >= 3 && level <= 13))
            leftout = region.groups[level - 1] == group;
        else if (level == 14)
            leftout = group == "Land";
        if (!leftout) add(region);
    }
    if (countrygroup != 0) add(countrygrouprecord);
    for (const Tregionrecord& region : seas) {
        bool leftout =
            (level == 2 && region.groups[gOcean] == group) || (level == 14 && group == "Sea");
        if (!leftout) add(region);
    }
    if (seagroup != 0) {
        workbook.selectsheet(seasheet);
        add(searow(workbook, seagroup));
    }
}

std::string Tregions::name(std::uint32_t i) const {
    if (i == 0 || i > count) throw ERangeError();
    return names.getvalue(i);
}

std::uint32_t Tregions::find(const std::string& text) const {
    for (std::uint32_t i = 1; i <= count; ++i)
        if (names.getvalue(i) == text) return i;
    return 0;
}

void Tcompartments::clear() {
    count = 0;
    names.clear();
    abbreviations.clear();
}

void Tcompartments::define() {
    static const char* const longnames[ncompartments] = {
        "air",        "natural soil",  "agricultural soil", "urban soil",         "river water",
        "lake water", "lake sediment", "salt lake water",   "salt lake sediment", "groundwater",
        "sea water",  "sea sediment"};
    static const char* const shortnames[ncompartments] = {
        "air",     "nat",      "agr",         "urb",         "river",    "lake",
        "lakesed", "saltlake", "saltlakesed", "groundwater", "seawater", "seased"};
    clear();
    for (std::uint32_t c = 1; c <= ncompartments; ++c) {
        names.setvalue(c, longnames[c - 1]);
        abbreviations.setvalue(c, shortnames[c - 1]);
    }
    count = ncompartments;
}

std::uint32_t Tcompartments::find(const std::string& text) const {
    for (std::uint32_t c = 1; c <= count; ++c)
        if (names.getvalue(c) == text || abbreviations.getvalue(c) == text) return c;
    return 0;
}

std::string aggregationproblem(TExcelFile& workbook, std::uint8_t level, const std::string& group) {
    if (level == 0) return {};
    if (level > 14)
        return "aggregation level " + std::to_string(level) + " (" +
               aggregationlevelnames.at(level) + ") is not available";
    if (group.empty()) return "aggregation level " + std::to_string(level) + " needs a group";
    if (level == 14) {
        if (group == "Land" || group == "Sea") return {};
        return "\"" + group + "\" is not a group of level 14 (Land or Sea)";
    }
    bool sea = level == 2;
    workbook.selectsheet(sea ? seasheet : countrysheet);
    std::uint32_t last = sea ? lastsearow : lastcountryrow;
    bool found = false;
    for (std::uint32_t r = firstrow; r <= last && !found; ++r) {
        if (workbook.cell(r, 1).empty()) break;
        Tregionrecord region = sea ? searow(workbook, r) : countryrow(workbook, r);
        found = region.groups[level - 1] == group;
    }
    if (!found)
        return "\"" + group + "\" is not a group of level " + std::to_string(level) + " (" +
               aggregationlevelnames.at(level) + ") in " + workbook.workbookname();
    if (level <= 4 && grouprow(workbook, group) == 0)
        return "\"" + group + "\" has no group row in " + workbook.workbookname();
    return {};
}

} // namespace velmora
