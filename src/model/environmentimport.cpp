// Reading the environment from its two workbooks.
#include <cmath>
#include <functional>
#include <limits>

#include "model/environment.h"
#include "model/regions.h"
#include "model/valuerange.h"
#include "numeric/errors.h"
#include "numeric/files.h"
#include "numeric/utilities.h"
#include "toolkit/sheets/excelfile.h"

namespace velmora {

namespace {

const char* countrysheet = "countryparameters";
const char* seasheet = "seaparameters";
constexpr std::uint32_t headerrow = 10;

enum class Tsource { country, sea, both };
enum class Tfollowup { none, seadefault, lakearea, population };

// Unit factors of the first workbook, as single-precision constants.
constexpr float perYear = static_cast<float>(1.0L / 31536000.0L);
constexpr float km3perYear = static_cast<float>(1e9L / 31536000.0L);
constexpr float mmperYear = static_cast<float>(1e-3L / 31536000.0L);
constexpr float tperYear = static_cast<float>(1e3L / 31536000.0L);
constexpr float ktperYear = static_cast<float>(1e6L / 365.0L);
constexpr float perHour = static_cast<float>(1.0L / 3600.0L);

struct Timportdef {
    Tnumpars Tenv::*member;
    Tsource source;
    float factor;
    float offset;
    Tfollowup followup;
    float seavalue; // for seadefault
};

const Timportdef importtable[] = {
    {&Tenv::Fair_agr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Fair_nonagr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Fwater_agr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Fwater_nonagr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Fsolid_runoff, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Foc_soil, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Foc_sed, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Foc_seased, Tsource::sea, 1, 0, Tfollowup::none, 0},
    {&Tenv::Foc_susp, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Foc_seasusp, Tsource::sea, 1, 0, Tfollowup::none, 0},
    {&Tenv::OHCONC_air, Tsource::both, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::SUSPFRACTION_inlandwater, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::SUSPFRACTION_seawater, Tsource::sea, 1, 0, Tfollowup::none, 0},
    {&Tenv::RESTIME_lake, Tsource::country, 31536000.0f, 0, Tfollowup::none, 0},
    {&Tenv::EVAPrate_lake, Tsource::country, perYear, 0, Tfollowup::none, 0},
    {&Tenv::EVAP_saltlake, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::TEMP, Tsource::both, 1, 273, Tfollowup::none, 0},
    {&Tenv::WINDSPEED, Tsource::country, 1, 0, Tfollowup::seadefault, 9},
    {&Tenv::RAINRATE, Tsource::both, mmperYear, 0, Tfollowup::none, 0},
    {&Tenv::WATERrunoff, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::RAINDAYS, Tsource::country, 1, 0, Tfollowup::seadefault, 250},
    {&Tenv::FROSTMONTHS, Tsource::country, 1, 0, Tfollowup::seadefault, 0},
    {&Tenv::SYSTEMAREA, Tsource::both, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::Farea_seaice, Tsource::sea, 1, 0, Tfollowup::none, 0},
    {&Tenv::Farea_agr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Farea_nat, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Farea_urb, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Friver_frozen, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::MIXDEPTH_lake, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::MIXDEPTH_seawater, Tsource::sea, 1, 0, Tfollowup::none, 0},
    {&Tenv::TOTALDEPTH_lake, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::TOTALDEPTH_saltlake, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::DEPTH_nonagr, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::AREA_lake, Tsource::country, 1e6f, 0, Tfollowup::lakearea, 0},
    {&Tenv::AREA_saltlake, Tsource::country, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::AREA_lakesed, Tsource::country, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::AREA_seased, Tsource::sea, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::AREA_landice, Tsource::country, 1e6f, 0, Tfollowup::none, 0},
    {&Tenv::V_river, Tsource::country, 1e9f, 0, Tfollowup::none, 0},
    {&Tenv::AEROSOLDEPRATE, Tsource::both, perHour, 0, Tfollowup::none, 0},
    {&Tenv::FLOW_soil_groundwater, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::FLOW_river_agr, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::FLOW_groundwater_river, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::FLOW_groundwater_agr, Tsource::country, km3perYear, 0, Tfollowup::none, 0},
    {&Tenv::Fdrw_safe, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Fdrw_grw, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::CATCH_seafish, Tsource::sea, tperYear, 0, Tfollowup::none, 0},
    {&Tenv::IH_drw, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_freshwaterfish, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_seafish, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_leafcrops, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_rootcrops, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_meat, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_dairy, Tsource::country, 1e-3f, 0, Tfollowup::none, 0},
    {&Tenv::IH_air, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::PROD_freshwaterfish, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::PROD_leafcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::PROD_rootcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::PROD_meat, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::PROD_dairy, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::IMPORT_freshwaterfish, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::IMPORT_leafcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::IMPORT_rootcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::IMPORT_meat, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::IMPORT_dairy, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::EXPORT_freshwaterfish, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::EXPORT_leafcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::EXPORT_rootcrops, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::EXPORT_meat, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::EXPORT_dairy, Tsource::country, ktperYear, 0, Tfollowup::none, 0},
    {&Tenv::BW, Tsource::country, 1, 0, Tfollowup::none, 0},
    {&Tenv::Npop, Tsource::country, 1, 0, Tfollowup::population, 0},
};

// The value a cell stores: factor * number + offset, rounded to single. A
// text that is no number, or a number a single cannot hold (1e39 would be
// stored as infinity and fail much later as a division by zero), raises a
// conversion error that says where the cell is and what it was read for;
// so does a value outside the parameter's range. The first workbook rounds
// the cell to single before converting (roundcell); the second converts in
// extended precision and rounds once.
float importvalue(const TExcelFile& w, std::uint32_t row, std::uint32_t column,
                  const std::string& what, extended factor, extended offset, bool emptyiszero,
                  const Tvaluerange& range, bool roundcell = true) {
    std::string text = w.cell(row, column);
    if (text.empty() && emptyiszero) return 0;
    extended value = 0;
    try {
        extended x = strtonum(text);
        if (roundcell) x = static_cast<float>(x);
        if (!std::isfinite(static_cast<float>(x)))
            throw EConvertError("'" + messagetext(text) +
                                "' is beyond the range of a single-precision number");
        value = factor * x + offset;
    } catch (const EConvertError& e) {
        throw EConvertError(w.where(row, column) + " (" + what + "): " + e.what());
    }
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw EConvertError(w.where(row, column) + " (" + what + "): '" + messagetext(text) +
                            "' is beyond the range of a single-precision number after the "
                            "unit conversion");
    if (!range.contains(value))
        throw EConvertError(w.where(row, column) + " (" + what + "): " + messagetext(text) +
                            " is outside the allowed range (" + range.text(factor, offset) + ")");
    return static_cast<float>(value);
}

std::string trimmedname(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// The column of a parameter in the header row of the current sheet; 0 when absent.
std::uint32_t findcolumn(TExcelFile& w, const std::string& name) {
    std::uint32_t last = w.lastcolumn();
    for (std::uint32_t c = 2; c <= last; ++c)
        if (w.cell(headerrow, c) == name) return c;
    return 0;
}

} // namespace

std::vector<Timportedparameter> Tenv::importedparameters() const {
    std::vector<Timportedparameter> list;
    for (const Timportdef& def : importtable)
        list.push_back({(this->*(def.member)).name(), def.source != Tsource::sea,
                        def.source != Tsource::country});
    return list;
}

bool Tenv::import(bool first, bool second, std::unique_ptr<TExcelFile>& firstworkbook,
                  const std::string& bordersfile) {
    // All or nothing: a cancelled or failed import puts back, value for
    // value, the environment the user had. A half-read environment mixes two
    // worlds and nothing in it says which value came from where.
    std::function<void()> restore = snapshot();
    bool complete = true;
    cancelled = false;
    try {
        present = false;
        if (first) {
            complete = firstworkbook && importfirst(*firstworkbook);
            firstworkbook.reset();
        }
        if (complete && second) complete = importsecond(bordersfile);
    } catch (...) {
        firstworkbook.reset();
        restore();
        throw;
    }
    if (!complete) {
        restore();
        return false;
    }
    if (second) bordersmissing = false;
    // Without a region list (the first workbook could not be read when the
    // list was made) nothing was imported, whatever the workbooks hold.
    present = regions_->count > 0 && !bordersmissing;
    changed = true;
    return true;
}

bool Tenv::importfirst(TExcelFile& workbook) {
    const Tregions& regions = *regions_;
    Tuiservice& ui = context_->ui;
    checkregionrows(workbook);
    std::unique_ptr<Tprogress> progress = ui.progress();
    progress->setmaintext("Importing 1st set of parameters");
    progress->startbar(74);
    progress->showcancel();

    // The region description, fixed: it is what the region list was read from.
    std::uint32_t n = regions.count;
    for (std::uint32_t i = 1; i <= n; ++i) {
        name.set(i, regions.names.getvalue(i), stFixed);
        abbr.set(i, regions.abbreviations.getvalue(i), stFixed);
        land.set(i, regions.landflags.getvalue(i), stFixed);
        latitude.set(i, static_cast<float>(regions.latitudes.getvalue(i)), stFixed);
        longitude.set(i, static_cast<float>(regions.longitudes.getvalue(i)), stFixed);
        GDP.set(i, static_cast<float>(regions.GDPs.getvalue(i)), stFixed);
        Tstrpars* texts[groupingcount] = {&continent,  &ocean, &UNDPregioncode, &GLO,    &NearEast,
                                          &MiddleEast, &UCTE,  &CENTREL,        &NORDEL, &IIASAPOP,
                                          &OECD,       &EU27,  &EU27plus3,      &landsea};
        for (std::size_t g = 0; g < groupingcount; ++g)
            texts[g]->set(i, regions.groupvalues[g].getvalue(i), stFixed);
    }
    progress->stepbar();

    for (const Timportdef& def : importtable) {
        Tnumpars& p = this->*(def.member);
        progress->setsubtext(p.name());
        const Tvaluerange range = environmentrange(p.name());
        auto readsheet = [&](const char* sheet, bool landrows, bool hideothers) {
            workbook.selectsheet(sheet);
            std::uint32_t column = findcolumn(workbook, p.name());
            if (column == 0) {
                ui.warn(p.name() + " not found in " + workbook.workbookname());
                return;
            }
            for (std::uint32_t i = 1; i <= n; ++i) {
                bool island = regions.landflags.getvalue(i);
                if (island != landrows) {
                    if (hideothers) p.sethidden(i);
                    continue;
                }
                std::uint32_t row = regions.rows.getvalue(i);
                float value = importvalue(workbook, row, column, p.name() + ", " + regions.name(i),
                                          def.factor, def.offset, false, range);
                p.set(i, value, stImported);
            }
        };
        switch (def.source) {
        case Tsource::country:
            readsheet(countrysheet, true, true);
            break;
        case Tsource::sea:
            readsheet(seasheet, false, true);
            break;
        case Tsource::both:
            readsheet(countrysheet, true, false);
            readsheet(seasheet, false, false);
            break;
        }
        progress->stepbar();
        bool cancel = progress->cancelled();
        // The lake test always runs: lake data without a lake would be used.
        if (!cancel || def.followup == Tfollowup::lakearea) {
            switch (def.followup) {
            case Tfollowup::none:
                break;
            case Tfollowup::seadefault:
                for (std::uint32_t i = 1; i <= n; ++i)
                    if (!regions.landflags.getvalue(i)) p.setdefault(i, def.seavalue);
                break;
            case Tfollowup::lakearea:
                for (std::uint32_t i = 1; i <= n; ++i) {
                    if (AREA_lake.isunknown(i) || AREA_lake.ishidden(i) || AREA_lake.get(i) == 0) {
                        RESTIME_lake.setunknown(i);
                        EVAPrate_lake.setunknown(i);
                    }
                }
                break;
            case Tfollowup::population: {
                Tnumpars* intakes[] = {
                    &IH_drw,       &IH_freshwaterfish, &IH_seafish, &IH_leafcrops,
                    &IH_rootcrops, &IH_meat,           &IH_dairy,   &IH_air};
                for (std::uint32_t i = 1; i <= n; ++i)
                    if (regions.landflags.getvalue(i) && Npop.get(i) == 0)
                        for (Tnumpars* q : intakes)
                            q->sethidden(i);
                break;
            }
            }
        }
        if (cancel) {
            cancelled = true;
            return false;
        }
    }
    return true;
}

// Every region reads the row the region list recorded for it; a workbook
// whose rows hold other regions (another world, a row inserted) would give
// every value to a neighbour. Refused naming the first row that differs.
void Tenv::checkregionrows(TExcelFile& workbook) const {
    const Tregions& regions = *regions_;
    for (const char* sheet : {countrysheet, seasheet}) {
        bool land = sheet == countrysheet;
        workbook.selectsheet(sheet);
        for (std::uint32_t i = 1; i <= regions.count; ++i) {
            if (regions.landflags.getvalue(i) != land) continue;
            std::uint32_t row = regions.rows.getvalue(i);
            std::string found = trimmedname(workbook.cell(row, 1));
            if (found != trimmedname(regions.name(i)))
                throw Eerror(workbook.where(row, 1) + " holds \"" + found +
                             "\" where the region list has \"" + regions.name(i) + "\"");
        }
    }
}

namespace {

enum class Tside { country, sea };

struct Tsheetdef {
    const char* sheet;
    Tnumparss Tenv::*member;
    Tside rows;
    Tside columns;
    bool border;   // km, else km^3/yr
    bool bothways; // stored at (row, column) and (column, row)
};

const Tsheetdef sheettable[] = {
    {"BORDERLENGTH(countries)", &Tenv::BORDERLENGTH, Tside::country, Tside::country, true, false},
    {"BORDERLENGTH(seas)", &Tenv::BORDERLENGTH, Tside::sea, Tside::sea, true, false},
    {"BORDERLENGTH(countriesseas)", &Tenv::BORDERLENGTH, Tside::country, Tside::sea, true, true},
    {"FLOW_river_river", &Tenv::FLOW_river_river, Tside::country, Tside::country, false, false},
    {"FLOW_groundwater_groundwater", &Tenv::FLOW_groundwater_groundwater, Tside::country,
     Tside::country, false, false},
    {"FLOW_river_seawater", &Tenv::FLOW_river_seawater, Tside::country, Tside::sea, false, false},
    {"FLOW_seawater_seawater", &Tenv::FLOW_seawater_seawater, Tside::sea, Tside::sea, false, false},
    {"FLOW_groundwater_seawater", &Tenv::FLOW_groundwater_seawater, Tside::country, Tside::sea,
     false, false},
};

float sheetvalue(const TExcelFile& w, std::uint32_t row, std::uint32_t column, bool border,
                 const std::string& what) {
    // Borders and flows are lengths and volumes per time: never negative.
    // The flow factor is applied to the cell as written, in extended
    // precision, and the result rounded once: rounding the cell to single
    // first left spurious water of 1e-7 m3/s in the balance of small
    // countries.
    if (border) return importvalue(w, row, column, what, 1000, 0, true, Tvaluerange{}, false);
    return importvalue(w, row, column, what, 1e9L / 31536000.0L, 0, true, Tvaluerange{}, false);
}

// The heading row of the square sheets: column c names the region whose
// own row is c + 14.
constexpr std::uint32_t headingrow = 15;

} // namespace

// Every region is located by its own sheet row, and its column in a square
// sheet is that row - 14. At level 0 this is row k + 15 and column j + 1;
// group regions and the regions left after an aggregation read their own
// rows and columns, never another region's.
bool Tenv::importsecond(const std::string& bordersfile) {
    const Tregions& regions = *regions_;
    Tuiservice& ui = context_->ui;
    TExcelFile workbook(ui, bordersfile);
    if (!workbook.isopen()) return false; // the workbook has already told why
    std::unique_ptr<Tprogress> progress = ui.progress();
    progress->setmaintext("Importing 2nd set of parameters");
    progress->startbar(8);
    progress->showcancel();
    std::uint32_t n = regions.nland;
    std::uint32_t count = regions.count;
    std::uint8_t level = context_->settings.AggregationLevel;
    bool groupregion = (level == 1 || level == 3 || level == 4) && n > 0;
    auto island = [&](std::uint32_t i) { return i <= n; };
    try {
        for (const Tsheetdef& def : sheettable) {
            Tnumparss& p = this->*(def.member);
            progress->setsubtext(def.sheet);
            workbook.selectsheet(def.sheet);
            checklabels(workbook, def.rows == Tside::country, def.columns == Tside::country);
            // Cells that cannot carry this flow.
            if (!def.border) {
                for (std::uint32_t a = 1; a <= count; ++a)
                    for (std::uint32_t b = 1; b <= count; ++b) {
                        bool hide = false;
                        if (&p == &FLOW_river_river || &p == &FLOW_groundwater_groundwater)
                            hide = !island(a) || !island(b);
                        else if (&p == &FLOW_seawater_seawater)
                            hide = island(a) || island(b);
                        else
                            hide = !island(a) || island(b);
                        if (hide) p.sethidden(a, b);
                    }
            }
            std::uint32_t rowfirst = def.rows == Tside::country ? 1 : n + 1;
            std::uint32_t rowlast = def.rows == Tside::country ? n : count;
            std::uint32_t colfirst = def.columns == Tside::country ? 1 : n + 1;
            std::uint32_t collast = def.columns == Tside::country ? n : count;
            progress->startbar2(rowlast >= rowfirst ? rowlast - rowfirst + 1 : 0);
            for (std::uint32_t k = rowfirst; k <= rowlast; ++k) {
                std::uint32_t sheetrow = regions.rows.getvalue(k);
                for (std::uint32_t j = colfirst; j <= collast; ++j) {
                    std::uint32_t sheetcol = regions.rows.getvalue(j) - 14;
                    float value =
                        sheetvalue(workbook, sheetrow, sheetcol, def.border,
                                   p.name() + ", " + regions.name(k) + " to " + regions.name(j));
                    p.set(k, j, value, stImported);
                    if (def.bothways) p.set(j, k, value, stImported);
                }
                progress->stepbar2();
                if (progress->cancelled()) {
                    cancelled = true;
                    return false;
                }
            }
            // The group region's borders come from its own row, both ways.
            if (groupregion && &p == &BORDERLENGTH && def.rows == Tside::country &&
                def.columns == Tside::country) {
                for (std::uint32_t j = 1; j < n; ++j)
                    p.set(j, n, p.value(n, j), stImported);
                p.set(n, n, 0, stImported);
            }
            progress->hidebar2();
            progress->stepbar();
            if (progress->cancelled()) {
                cancelled = true;
                return false;
            }
        }
    } catch (const std::exception& e) {
        // Nothing of it is kept: the caller puts the environment back.
        ui.warn("Borders and flows not fully read from " + workbook.workbookname() + ": " +
                e.what());
        return false;
    }
    checkconsistency(*progress);
    return true;
}

// The square sheets are read by position. When a sheet names its regions
// (column A of the region rows, the heading row above them), every name
// must be the region's: an inserted row or column would otherwise shift
// every border and flow to the neighbouring region. Sheets without names
// are read by position as before.
void Tenv::checklabels(const TExcelFile& workbook, bool countryrows, bool countrycolumns) const {
    const Tregions& regions = *regions_;
    std::uint32_t n = regions.nland;
    auto first = [&](bool country) { return country ? 1u : n + 1; };
    auto last = [&](bool country) { return country ? n : regions.count; };
    bool labelled = false;
    for (std::uint32_t r = headingrow + 1; r <= workbook.lastrow() && !labelled; ++r)
        labelled = !workbook.cell(r, 1).empty();
    for (std::uint32_t c = 2; c <= workbook.lastcolumn() && !labelled; ++c)
        labelled = !workbook.cell(headingrow, c).empty();
    if (!labelled) return;
    auto expect = [&](std::uint32_t row, std::uint32_t column, std::uint32_t i, const char* what) {
        std::string found = trimmedname(workbook.cell(row, column));
        if (found != trimmedname(regions.name(i)))
            throw Eerror(workbook.where(row, column) + " names " + what + " \"" + found +
                         "\" where the region list has \"" + regions.name(i) + "\"");
    };
    for (std::uint32_t k = first(countryrows); k <= last(countryrows); ++k)
        expect(regions.rows.getvalue(k), 1, k, "the row");
    for (std::uint32_t j = first(countrycolumns); j <= last(countrycolumns); ++j)
        expect(headingrow, regions.rows.getvalue(j) - 14, j, "the column");
}

void Tenv::checkconsistency(Tprogress& progress) {
    const Tregions& regions = *regions_;
    Tuiservice& ui = context_->ui;
    progress.setsubtext("Checking consistency");
    std::uint32_t count = regions.count;
    progress.startbar2(count);
    struct Tflowcheck {
        Tnumparss* p;
        const char* text;
    };
    const Tflowcheck flows[] = {
        {&FLOW_river_river, "FLOW_river_river("},
        {&FLOW_groundwater_groundwater, "FLOW_groundwater_groundwater("},
        {&FLOW_seawater_seawater, "FLOW_seawater_seawater("},
        {&FLOW_river_seawater, "FLOW_river_seawater("},
        {&FLOW_groundwater_seawater, "FLOW_groundwater_seawater("},
    };
    for (std::uint32_t a = 1; a <= count; ++a) {
        for (std::uint32_t b = 1; b <= count; ++b) {
            float border = BORDERLENGTH.get(a, b);
            if (border != 0) {
                if (BORDERLENGTH.value(b, a) != border)
                    ui.warn("BORDERLENGTH(" + regions.name(a) + "," + regions.name(b) + ")");
                continue;
            }
            for (const Tflowcheck& f : flows)
                if (f.p->isknown(a, b) && f.p->get(a, b) != 0)
                    ui.warn(std::string(f.text) + regions.name(a) + "," + regions.name(b) + ")");
        }
        progress.stepbar2();
        if (progress.cancelled()) return;
    }
}

} // namespace velmora
