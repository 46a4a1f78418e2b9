#pragma once
// The environment: the landscape of every region, the borders between
// regions and the water flows across them, as 144 parameter objects in a
// fixed catalogue order.
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "model/parameters.h"

namespace velmora {

class Tregions;
class TExcelFile;

// The catalogue: X(member, "name", kind, "unit", default, group). Kinds:
// strpars (text per region), boolpars (boolean per region), numpars (real per
// region), numpar (real), numparss (real per region pair). Defaults: NODEF,
// SCALAR(x) for a real, EVERY(x) for every region of a per-region real.
// clang-format off
#define VELMORA_ENV_CATALOGUE(X)                                                                   \
    X(name, "name", strpars, "-", NODEF, General)                                                  \
    X(abbr, "abbr", strpars, "-", NODEF, General)                                                  \
    X(land, "land", boolpars, "-", NODEF, General)                                                 \
    X(latitude, "latitude", numpars, "-", NODEF, General)                                          \
    X(longitude, "longitude", numpars, "-", NODEF, General)                                        \
    X(GDP, "GDP", numpars, "US$", NODEF, General)                                                  \
    X(continent, "continent", strpars, "-", NODEF, General)                                        \
    X(ocean, "ocean", strpars, "-", NODEF, General)                                                \
    X(UNDPregioncode, "UNDP region code", strpars, "-", NODEF, General)                            \
    X(GLO, "GLO", strpars, "-", NODEF, General)                                                    \
    X(NearEast, "Near East", strpars, "-", NODEF, General)                                         \
    X(MiddleEast, "Middle East", strpars, "-", NODEF, General)                                     \
    X(UCTE, "UCTE", strpars, "-", NODEF, General)                                                  \
    X(CENTREL, "CENTREL", strpars, "-", NODEF, General)                                            \
    X(NORDEL, "NORDEL", strpars, "-", NODEF, General)                                              \
    X(IIASAPOP, "IIASAPOP", strpars, "-", NODEF, General)                                          \
    X(OECD, "OECD", strpars, "-", NODEF, General)                                                  \
    X(EU27, "EU27", strpars, "-", NODEF, General)                                                  \
    X(EU27plus3, "EU27+3", strpars, "-", NODEF, General)                                           \
    X(landsea, "land/sea", strpars, "-", NODEF, General)                                           \
    X(RHO_air, "RHO_air", numpar, "kg air*m^-3 air", SCALAR(1.3f), Media)                          \
    X(RHO_water, "RHO_water", numpar, "kg water*m^-3 water", SCALAR(1000.0f), Media)               \
    X(RHO_solid, "RHO_solid", numpar, "kg solid*m^-3 solid", SCALAR(2500.0f), Media)               \
    X(Fair_soil, "Fair_soil", numpar, "m^3 air*m^-3 soil", SCALAR(0.2f), Media)                    \
    X(Fair_agr, "Fair_agr", numpars, "m^3 air*m^-3 soil", NODEF, Media)                            \
    X(Fair_nonagr, "Fair_nonagr", numpars, "m^3 air*m^-3 soil", NODEF, Media)                      \
    X(Fwater_soil, "Fwater_soil", numpar, "m^3 water*m^-3 soil", SCALAR(0.2f), Media)              \
    X(Fwater_agr, "Fwater_agr", numpars, "m^3 water*m^-3 soil", NODEF, Media)                      \
    X(Fwater_nonagr, "Fwater_nonagr", numpars, "m^3 water*m^-3 soil", NODEF, Media)                \
    X(Fwater_deepsoil, "Fwater_deepsoil", numpar, "m^3 water*m^-3 soil", SCALAR(0.2f), Media)      \
    X(Fwater_sed, "Fwater_sed", numpar, "m^3 water*m^-3 sed", SCALAR(0.8f), Media)                 \
    X(Fwater_susp, "Fwater_susp", numpar, "m^3 water*m^-3 susp", SCALAR(0.9f), Media)              \
    X(Fwater_bio, "Fwater_bio", numpar, "m^3 water*m^-3 biota", SCALAR(0.95f), Media)              \
    X(Fsolid_soil, "Fsolid_soil", numpar, "m^3 solids*m^-3 soil", SCALAR(0.6f), Media)             \
    X(Fsolid_runoff, "Fsolid_runoff", numpars, "m^3 solids*m^-3 water", NODEF, Media)              \
    X(Foc_soil, "Foc_soil", numpars, "kg oc*kg^-1 solid", NODEF, Media)                            \
    X(Foc_sed, "Foc_sed", numpars, "kg oc*kg^-1 solid", NODEF, Media)                              \
    X(Foc_seased, "Foc_seased", numpars, "kg oc*kg^-1 solid", NODEF, Media)                        \
    X(Foc_susp, "Foc_susp", numpars, "kg oc*kg^-1 solid", NODEF, Media)                            \
    X(Foc_seasusp, "Foc_seasusp", numpars, "kg oc*kg^-1 solid", NODEF, Media)                      \
    X(OHCONC_air, "OHCONC_air", numpars, "molecules*m^-3", NODEF, Media)                           \
    X(OHCONCref_air, "OHCONCref_air", numpar, "molecules*m^-3", SCALAR(1.05e12f), Media)           \
    X(BIOCONC_water, "BIOCONC_water", numpar, "kg wwt*m^-3", SCALAR(0.001f), Media)                \
    X(SUSPFRACTION_inlandwater, "SUSPFRACTION_inlandwater", numpars, "-", NODEF, Media)            \
    X(SUSPFRACTION_seawater, "SUSPFRACTION_seawater", numpars, "-", NODEF, Media)                  \
    X(SURFaer, "SURFaer", numpar, "m^2*m^-3", SCALAR(0.000588f), Media)                            \
    X(CONjunge, "CONjunge", numpar, "Pa*m", SCALAR(0.17f), Media)                                  \
    X(COLLECTeff, "COLLECTeff", numpar, "-", SCALAR(200000.0f), Media)                             \
    X(RESTIME_lake, "RESTIME_lake", numpars, "s", NODEF, Media)                                    \
    X(EVAPrate_lake, "EVAPrate_lake", numpars, "m*s^-1", NODEF, Media)                             \
    X(EVAP_saltlake, "EVAP_saltlake", numpars, "m^3*s^-1", NODEF, Media)                           \
    X(Faer_sed, "Faer_sed", numpar, "m^3 aer sed*m^-3 sed", SCALAR(0.1f), Media)                   \
    X(Faer_seased, "Faer_seased", numpar, "m^3 aer seased*m^-3 seased", SCALAR(0.1f), Media)       \
    X(SALINITYcorr, "SALINITYcorr", numpar, "-", SCALAR(0.3f), Media)                              \
    X(Fwater_plant, "Fwater_plant", numpar, "m^3 water*m^-3 plant", SCALAR(0.65f), Plant)          \
    X(Flipid_plant, "Flipid_plant", numpar, "m^3 lipids*m^-3 plant", SCALAR(0.01f), Plant)         \
    X(Fair_plant, "Fair_plant", numpar, "m^3 air*m^-3 plant", SCALAR(0.3f), Plant)                 \
    X(RHO_plant, "RHO_plant", numpar, "kg plant*m^-3 plant", SCALAR(700.0f), Plant)                \
    X(AREA_plant, "AREA_plant", numpar, "m^2 plant", SCALAR(5.0f), Plant)                          \
    X(g_plant, "g_plant", numpar, "m*s^-1", SCALAR(0.001f), Plant)                                 \
    X(V_leaf, "V_leaf", numpar, "m^3", SCALAR(0.002f), Plant)                                      \
    X(Qtransp, "Qtransp", numpar, "m^3*s^-1", SCALAR(1.1574074e-8f), Plant)                        \
    X(b, "b", numpar, "-", SCALAR(0.95f), Plant)                                                   \
    X(kgrowth_plant, "kgrowth_plant", numpar, "s^-1", SCALAR(4.0509259e-7f), Plant)                \
    X(kmetab_plant, "kmetab_plant", numpar, "s^-1", SCALAR(0.0f), Plant)                           \
    X(kphoto_plant, "kphoto_plant", numpar, "s^-1", SCALAR(0.0f), Plant)                           \
    X(TEMP, "TEMP", numpars, "K", NODEF, Climate)                                                  \
    X(WINDSPEED, "WINDSPEED", numpars, "m*s^-1", EVERY(9.0f), Climate)                             \
    X(RAINRATE, "RAINRATE", numpars, "m*s^-1", NODEF, Climate)                                     \
    X(WATERrunoff, "WATERrunoff", numpars, "m^3*s^-1", NODEF, Climate)                             \
    X(RAINDAYS, "RAINDAYS", numpars, "d*yr^-1", EVERY(250.0f), Climate)                            \
    X(FROSTMONTHS, "FROSTMONTHS", numpars, "month*yr^-1", EVERY(0.0f), Climate)                    \
    X(SYSTEMAREA, "SYSTEMAREA", numpars, "m^2", NODEF, Dimension)                                  \
    X(Farea_seaice, "Farea_seaice", numpars, "-", NODEF, Dimension)                                \
    X(Farea_agr, "Farea_agr", numpars, "-", NODEF, Dimension)                                      \
    X(Farea_nat, "Farea_nat", numpars, "-", NODEF, Dimension)                                      \
    X(Farea_urb, "Farea_urb", numpars, "-", NODEF, Dimension)                                      \
    X(Friver_frozen, "Friver_frozen", numpars, "-", NODEF, Dimension)                              \
    X(MIXDEPTH_lake, "MIXDEPTH_lake", numpars, "m", NODEF, Dimension)                              \
    X(MIXDEPTH_seawater, "MIXDEPTH_seawater", numpars, "m", NODEF, Dimension)                      \
    X(TOTALDEPTH_lake, "TOTALDEPTH_lake", numpars, "m", NODEF, Dimension)                          \
    X(TOTALDEPTH_saltlake, "TOTALDEPTH_saltlake", numpars, "m", NODEF, Dimension)                  \
    X(HEIGHT_air, "HEIGHT_air", numpar, "m", SCALAR(1000.0f), Dimension)                           \
    X(DEPTH_sed, "DEPTH_sed", numpar, "m", SCALAR(0.03f), Dimension)                               \
    X(DEPTH_agr, "DEPTH_agr", numpar, "m", SCALAR(0.2f), Dimension)                                \
    X(DEPTH_nonagr, "DEPTH_nonagr", numpars, "m", NODEF, Dimension)                                \
    X(DEPTH_groundwater, "DEPTH_groundwater", numpar, "m", SCALAR(100.0f), Dimension)              \
    X(AREA_lake, "AREA_lake", numpars, "m^2", NODEF, Dimension)                                    \
    X(AREA_saltlake, "AREA_saltlake", numpars, "m^2", NODEF, Dimension)                            \
    X(AREA_lakesed, "AREA_lakesed", numpars, "m^2", NODEF, Dimension)                              \
    X(AREA_seased, "AREA_seased", numpars, "m^2", NODEF, Dimension)                                \
    X(AREA_landice, "AREA_landice", numpars, "m^2", NODEF, Dimension)                              \
    X(V_river, "V_river", numpars, "m^3", NODEF, Dimension)                                        \
    X(AEROSOLDEPRATE, "AEROSOLDEPRATE", numpars, "m*s^-1", NODEF, Distribution)                    \
    X(PRODratesusp_inlandwater, "PRODratesusp_inlandwater", numpar, "kg solid*m^-2*s^-1",          \
      SCALAR(3.1709792e-10f), Distribution)                                                        \
    X(PRODratesusp_seawater, "PRODratesusp_seawater", numpar, "kg solid*m^-2*s^-1",                \
      SCALAR(5.0735667e-9f), Distribution)                                                         \
    X(SETTLvelocity_susp, "SETTLvelocity_susp", numpar, "m water*s^-1", SCALAR(2.8935185e-5f),     \
      Distribution)                                                                                \
    X(kasl_air, "kasl_air", numpar, "m air*s^-1", SCALAR(0.0010474537f), Distribution)             \
    X(kasl_soilair, "kasl_soilair", numpar, "m air*s^-1", SCALAR(5.56e-6f), Distribution)          \
    X(kasl_soilwater, "kasl_soilwater", numpar, "m air*s^-1", SCALAR(5.56e-10f), Distribution)     \
    X(kws_water, "kws_water", numpar, "m water*s^-1", SCALAR(2.7777778e-6f), Distribution)         \
    X(kws_sed, "kws_sed", numpar, "m porewater*s^-1", SCALAR(2.7777778e-8f), Distribution)         \
    X(ICswt_soil, "ICswt_soil", numpar, "kg dry soil*d^-1", SCALAR(0.41f), Exposure)               \
    X(ICdwt_grass, "ICdwt_grass", numpar, "kg dry plant*d^-1", SCALAR(16.9f), Exposure)            \
    X(IC_air, "IC_air", numpar, "m^3 air*d^-1", SCALAR(122.0f), Exposure)                          \
    X(CONVgrass, "CONVgrass", numpar, "kg fresh plant*kg^-1 dry plant", SCALAR(4.0f), Exposure)    \
    X(Fdrw_safe, "Fdrw_safe", numpars, "-", NODEF, Exposure)                                       \
    X(Fdrw_grw, "Fdrw_grw", numpars, "-", NODEF, Exposure)                                         \
    X(CATCH_seafish, "CATCH_seafish", numpars, "kg*s^-1", NODEF, Exposure)                         \
    X(IH_drw, "IH_drw", numpars, "m^3 drw*d^-1", NODEF, Exposure)                                  \
    X(IH_freshwaterfish, "IH_freshwaterfish", numpars, "kg fresh[water] fish*d^-1", EVERY(0.001f), \
      Exposure)                                                                                    \
    X(IH_seafish, "IH_seafish", numpars, "kg marine fish*d^-1", EVERY(0.011f), Exposure)           \
    X(IH_leafcrops, "IH_leafcrops", numpars, "kg leaf crops*d^-1", NODEF, Exposure)                \
    X(IH_rootcrops, "IH_rootcrops", numpars, "kg root crops*d^-1", NODEF, Exposure)                \
    X(IH_meat, "IH_meat", numpars, "kg meat*d^-1", NODEF, Exposure)                                \
    X(IH_dairy, "IH_dairy", numpars, "kg dairy*d^-1", NODEF, Exposure)                             \
    X(IH_air, "IH_air", numpars, "m^3 air*d^-1", NODEF, Exposure)                                  \
    X(PROD_freshwaterfish, "PROD_freshwaterfish", numpars, "kg freshwater fish*d^-1", NODEF,       \
      Exposure)                                                                                    \
    X(PROD_leafcrops, "PROD_leafcrops", numpars, "kg leaf crops*d^-1", NODEF, Exposure)            \
    X(PROD_rootcrops, "PROD_rootcrops", numpars, "kg root crops*d^-1", NODEF, Exposure)            \
    X(PROD_meat, "PROD_meat", numpars, "kg meat*d^-1", NODEF, Exposure)                            \
    X(PROD_dairy, "PROD_dairy", numpars, "kg dairy*d^-1", NODEF, Exposure)                         \
    X(IMPORT_freshwaterfish, "IMPORT_freshwaterfish", numpars, "kg freshwater fish*d^-1", NODEF,   \
      Exposure)                                                                                    \
    X(IMPORT_leafcrops, "IMPORT_leafcrops", numpars, "kg leaf crops*d^-1", NODEF, Exposure)        \
    X(IMPORT_rootcrops, "IMPORT_rootcrops", numpars, "kg root crops*d^-1", NODEF, Exposure)        \
    X(IMPORT_meat, "IMPORT_meat", numpars, "kg meat*d^-1", NODEF, Exposure)                        \
    X(IMPORT_dairy, "IMPORT_dairy", numpars, "kg dairy*d^-1", NODEF, Exposure)                     \
    X(EXPORT_freshwaterfish, "EXPORT_freshwaterfish", numpars, "kg freshwater fish*d^-1", NODEF,   \
      Exposure)                                                                                    \
    X(EXPORT_leafcrops, "EXPORT_leafcrops", numpars, "kg leaf crops*d^-1", NODEF, Exposure)        \
    X(EXPORT_rootcrops, "EXPORT_rootcrops", numpars, "kg root crops*d^-1", NODEF, Exposure)        \
    X(EXPORT_meat, "EXPORT_meat", numpars, "kg meat*d^-1", NODEF, Exposure)                        \
    X(EXPORT_dairy, "EXPORT_dairy", numpars, "kg dairy*d^-1", NODEF, Exposure)                     \
    X(BW, "BW", numpars, "kg", NODEF, Exposure)                                                    \
    X(Npop, "Npop", numpars, "-", NODEF, Exposure)                                                 \
    X(BORDERLENGTH, "BORDERLENGTH", numparss, "m", NODEF, Borders)                                 \
    X(FLOW_river_river, "FLOW_river_river", numparss, "m^3 water*s^-1", NODEF, Borders)            \
    X(FLOW_groundwater_groundwater, "FLOW_groundwater_groundwater", numparss, "m^3 water*s^-1",    \
      NODEF, Borders)                                                                              \
    X(FLOW_seawater_seawater, "FLOW_seawater_seawater", numparss, "m^3 seawater*s^-1", NODEF,      \
      Borders)                                                                                     \
    X(FLOW_river_seawater, "FLOW_river_seawater", numparss, "m^3 water*s^-1", NODEF, Borders)      \
    X(FLOW_groundwater_seawater, "FLOW_groundwater_seawater", numparss, "m^3 water*s^-1", NODEF,   \
      Borders)                                                                                     \
    X(FLOW_soil_groundwater, "FLOW_soil_groundwater", numpars, "m^3 water*s^-1", NODEF, Intramedium) \
    X(FLOW_river_agr, "FLOW_river_agr", numpars, "m^3 water*s^-1", NODEF, Intramedium)             \
    X(FLOW_groundwater_river, "FLOW_groundwater_river", numpars, "m^3 water*s^-1", NODEF,          \
      Intramedium)                                                                                 \
    X(FLOW_groundwater_agr, "FLOW_groundwater_agr", numpars, "m^3 water*s^-1", NODEF, Intramedium)
// clang-format on

// The editor tabs, in order.
enum class Tenvgroup {
    General,
    Media,
    Plant,
    Climate,
    Dimension,
    Distribution,
    Exposure,
    Borders,
    Intramedium
};
std::string envgroupname(Tenvgroup group);

// One parameter of any environment kind, for walks in catalogue order.
using Tenvparameter = std::variant<Tstrpars*, Tbooleanpars*, Tnumpars*, Tnumpar*, Tnumparss*>;

struct Tenventry {
    Tenvparameter parameter;
    Tenvgroup group;
    const std::string& name() const;
    const std::string& unit() const;
};

// A parameter the first workbook supplies, and the sheets it comes from.
struct Timportedparameter {
    std::string name;
    bool fromcountries;
    bool fromseas;
};

// What a value of the parameter of that name can be, in its stored unit: the
// imports refuse a cell outside it, the edits an entry outside it.
Tvaluerange environmentrange(const std::string& name);

class Tenv {
    Tmodelcontext* context_;
    const Tregions* regions_;

public:
    Tenv(Tmodelcontext& context, const Tregions& regions);
    Tenv(const Tenv&) = delete;
    Tenv& operator=(const Tenv&) = delete;

    bool changed = false;
    bool present = false;
    // No borders and flows were read since the last clear. Without them
    // every border and flow is unknown and a calculation would warn once for
    // each region pair, so such an environment does not count as present.
    bool bordersmissing = false;
    // The last import stopped because the user pressed Cancel.
    bool cancelled = false;

#define VELMORA_ENV_MEMBER_strpars Tstrpars
#define VELMORA_ENV_MEMBER_boolpars Tbooleanpars
#define VELMORA_ENV_MEMBER_numpars Tnumpars
#define VELMORA_ENV_MEMBER_numpar Tnumpar
#define VELMORA_ENV_MEMBER_numparss Tnumparss
#define VELMORA_ENV_DECLARE(member, text, kind, unit, def, group) VELMORA_ENV_MEMBER_##kind member;
    VELMORA_ENV_CATALOGUE(VELMORA_ENV_DECLARE)
#undef VELMORA_ENV_DECLARE

    // Every parameter in catalogue order.
    const std::vector<Tenventry>& catalogue() const {
        return catalogue_;
    }
    // The entry of that name, or null.
    const Tenventry* find(const std::string& name) const;

    void clear();
    void setdefaults();
    bool island(std::uint32_t i) {
        return land.get(i);
    }
    bool issea(std::uint32_t i) {
        return !island(i);
    }
    void check(std::vector<std::string>& lines, bool unused, bool negative);
    void edit(const std::string& name, std::uint32_t i);

    // Imports the first workbook (open in firstworkbook, which is closed at
    // the end of the step) and/or the second (opened here from bordersfile).
    // All or nothing: true when everything asked for was read; a cancelled
    // or failed import (false, or an exception) leaves every value, status,
    // used flag and the present and changed flags as they were.
    bool import(bool first, bool second, std::unique_ptr<TExcelFile>& firstworkbook,
                const std::string& bordersfile);

    const Tregions& regions() const {
        return *regions_;
    }
    Tmodelcontext& context() const {
        return *context_;
    }

    // The parameters the first workbook supplies, in the order they are read.
    std::vector<Timportedparameter> importedparameters() const;

private:
    bool importfirst(TExcelFile& workbook);            // false when cancelled
    bool importsecond(const std::string& bordersfile); // false when not read
    void checkregionrows(TExcelFile& workbook) const;
    void checklabels(const TExcelFile& workbook, bool countryrows, bool countrycolumns) const;
    // A copy of every value; calling the result puts them back.
    std::function<void()> snapshot();
    void checkconsistency(Tprogress& progress);

    std::vector<Tenventry> catalogue_;
};

} // namespace velmora
