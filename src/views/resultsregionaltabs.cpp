#include "views/resultsregionaltabs.h"

#include <QVBoxLayout>
#include <cmath>

#include "app/workspace.h"
#include "numeric/errors.h"
#include "toolkit/grid.h"

namespace velmora {

namespace {

template <typename P> const P* result(const Tworkspace& ws, const char* name) {
    const Tresultentry* e = ws.results.find(name);
    P* const* p = e ? std::get_if<P*>(&e->parameter) : nullptr;
    if (!p) throw EInvalidArgument(std::string("Invalid argument: no result ") + name);
    return *p;
}

} // namespace

const Tregionalcolumns& regionalcolumns(Tregionalkind kind) {
    switch (kind) {
    case Tregionalkind::environment: {
        static const Tregionalcolumns c{
            {"RHO_agr", "Fsolid_agr", "Fsolid_nonagr", "SUSPCONC_inlandwater", "SUSPCONC_seawater",
             "EVAP_lake", "RAINDIRECT_lake", "RAINDIRECT_saltlake", "Ftime_rain", "Ftime_frost",
             "FLOW_river_lake", "FLOW_river_saltlake", "FLOW_lake_river"},
            {},
            false,
            {"Fsolid_deepsoil", "Fsolid_sed", "Fsolid_susp"},
            false};
        return c;
    }
    case Tregionalkind::dimensional: {
        static const Tregionalcolumns c{{"AREA_saltlakesed", "AREA_nat", "AREA_agr", "AREA_urb",
                                         "V_air", "V_river", "V_lake", "V_saltlake", "V_seawater",
                                         "V_lakesed", "V_saltlakesed", "V_seased", "V_nat", "V_agr",
                                         "V_urb", "V_groundwater"},
                                        {},
                                        false,
                                        {},
                                        false};
        return c;
    }
    case Tregionalkind::distributional: {
        static const Tregionalcolumns c{{"GASABS_water",
                                         "VOLAT_inlandwater",
                                         "VOLAT_seawater",
                                         "GASABS_agr",
                                         "GASABS_nat",
                                         "GASABS_urb",
                                         "VOLAT_nat",
                                         "VOLAT_agr",
                                         "VOLAT_urb",
                                         "DRYDEP_aer",
                                         "WASHOUT",
                                         "LEACH_agr",
                                         "LEACH_nonagr",
                                         "riverinflow_solid",
                                         "riveroutflow_solid",
                                         "ADSORB_sed",
                                         "ADSORB_seased",
                                         "DESORB_sed",
                                         "DESORB_seased",
                                         "PRODsusp_saltlake",
                                         "PRODsusp_seawater",
                                         "NETsedrate_saltlake",
                                         "NETsedrate_seawater",
                                         "GROSSsedrate_saltlake",
                                         "GROSSsedrate_seawater",
                                         "sedrate_inlandwater",
                                         "sedrate_seawater",
                                         "RESUSPrate_saltlake",
                                         "RESUSPrate_seawater",
                                         "REEXPORT_freshwaterfish",
                                         "REEXPORT_leafcrops",
                                         "REEXPORT_rootcrops",
                                         "REEXPORT_meat",
                                         "REEXPORT_dairy"},
                                        {},
                                        false,
                                        {},
                                        false};
        return c;
    }
    case Tregionalkind::substance: {
        static const Tregionalcolumns c{{"FREEIONseawater",
                                         "VP",
                                         "K_airwater",
                                         "Kp_soil",
                                         "Kp_sed",
                                         "Kp_susp",
                                         "Kp_seased",
                                         "Kp_seasusp",
                                         "Fass_aer",
                                         "SCAVratio",
                                         "K_soilwater",
                                         "K_agrwater",
                                         "K_nonagrwater",
                                         "K_deepsoilwater",
                                         "K_sedwater",
                                         "K_seasedseawater",
                                         "K_airagr",
                                         "K_airnonagr",
                                         "Fdiss_inlandwater",
                                         "Fdiss_seawater",
                                         "Fdiss_soil",
                                         "Fdiss_agr",
                                         "Fdiss_nonagr",
                                         "Fdiss_deepsoil",
                                         "Fdiss_sed",
                                         "Fdiss_seased",
                                         "Finf_soil",
                                         "EROSION_nat",
                                         "EROSION_agr",
                                         "EROSION_urb",
                                         "RUNOFF_nat",
                                         "RUNOFF_agr",
                                         "RUNOFF_urb",
                                         "kaw_air",
                                         "kaw_water",
                                         "BCF_fish",
                                         "BCFsoil_leafcrops",
                                         "BCFair_leafcrops",
                                         "BCF_rootcrops",
                                         "BCF_meat",
                                         "BCF_milk",
                                         "CONVagr",
                                         "K_leafair",
                                         "DT50bio_freshwater",
                                         "DT50bio_saltlake",
                                         "DT50bio_seawater",
                                         "DT50aerbio_sed_TEMPtest",
                                         "DT50aerbio_sed",
                                         "DT50abio_saltlakesed",
                                         "DT50aerbio_saltlakesed",
                                         "DT50abio_seased",
                                         "DT50aerbio_seased_TEMPtest",
                                         "DT50aerbio_seased",
                                         "DT50anaerbio_seased",
                                         "DT50bio_soil_TEMPtest",
                                         "DT50bio_soil",
                                         "DT50bio_agr",
                                         "DT50bio_nonagr",
                                         "DT50hydro_water",
                                         "kaerbio_saltlakesed",
                                         "kanaerbio_saltlakesed",
                                         "kabio_saltlakesed",
                                         "kabio_seased",
                                         "kdeg_air",
                                         "kbio_freshwater",
                                         "kbio_saltlake",
                                         "kbio_seawater",
                                         "kdeg_freshwater",
                                         "kdeg_saltlake",
                                         "kaerbio_sed",
                                         "kdeg_seawater",
                                         "kaerbio_seased",
                                         "kanaerbio_seased",
                                         "kdeg_seased",
                                         "kbio_agr",
                                         "kbio_nonagr",
                                         "kdeg_agr",
                                         "kdeg_nonagr",
                                         "khydro_inlandwater",
                                         "khydro_seawater"},
                                        {},
                                        false,
                                        {"ACTCOEFF",
                                         "kelim_plant",
                                         "TSCF",
                                         "K_plantwater",
                                         "DT50bio_freshwater_TEMPtest",
                                         "DT50bio_seawater_TEMPtest",
                                         "DT50anaerbio_saltlakesed",
                                         "kphoto_water",
                                         "kanaerbio_sed",
                                         "kabio_sed",
                                         "kabio_soil",
                                         "fac1a",
                                         "fac1b",
                                         "fac1c",
                                         "fac2a",
                                         "fac2b",
                                         "fac2c",
                                         "PURFsys1",
                                         "PURFsys2",
                                         "PURFsurfacew",
                                         "PURFgroundw"},
                                        false};
        return c;
    }
    case Tregionalkind::intermedia: {
        static const Tregionalcolumns c{{"DIFF_air_nat",
                                         "DIFF_air_agr",
                                         "DIFF_air_urb",
                                         "DIFF_air_lake",
                                         "DIFF_air_saltlake",
                                         "DIFF_air_seawater",
                                         "DIFF_nat_air",
                                         "DIFF_agr_air",
                                         "DIFF_urb_air",
                                         "DIFF_lake_air",
                                         "DIFF_lake_lakesed",
                                         "DIFF_lakesed_lake",
                                         "DIFF_saltlake_air",
                                         "DIFF_saltlake_saltlakesed",
                                         "DIFF_saltlakesed_saltlake",
                                         "DIFF_seawater_air",
                                         "DIFF_seawater_seased",
                                         "DIFF_seased_seawater",
                                         "ADV_air_nat",
                                         "ADV_air_agr",
                                         "ADV_air_urb",
                                         "ADV_air_lake",
                                         "ADV_air_saltlake",
                                         "ADV_air_seawater",
                                         "ADV_nat_river",
                                         "ADV_nat_groundwater",
                                         "ADV_agr_river",
                                         "ADV_agr_groundwater",
                                         "ADV_urb_river",
                                         "ADV_urb_groundwater",
                                         "ADV_river_agr",
                                         "ADV_river_lake",
                                         "ADV_river_saltlake",
                                         "ADV_lake_river",
                                         "ADV_lake_lakesed",
                                         "ADV_saltlake_saltlakesed",
                                         "ADV_saltlakesed_saltlake",
                                         "ADV_groundwater_agr",
                                         "ADV_groundwater_river",
                                         "ADV_seawater_seased",
                                         "ADV_seased_seawater",
                                         "ADV_air_outside",
                                         "ADV_river_outside",
                                         "ADV_lake_outside",
                                         "ADV_lakesed_outside",
                                         "ADV_saltlakesed_outside",
                                         "ADV_seawater_outside",
                                         "ADV_seased_outside"},
                                        {},
                                        false,
                                        {},
                                        false};
        return c;
    }
    case Tregionalkind::concentrations: {
        static const Tregionalcolumns c{
            {"C_air",          "C_nat",          "C_agr",
             "C_urb",          "C_river",        "C_lake",
             "C_lakesed",      "C_saltlake",     "C_saltlakesed",
             "C_groundwater",  "C_seawater",     "C_seased",
             "C_leafcrops",    "C_rootcrops",    "C_freshwaterfish",
             "C_seafish",      "C_grass",        "C_meat",
             "C_dairy",        "C_purfsurfacew", "C_purfgroundw",
             "C_drw",          "DOSE_air",       "DOSE_drw",
             "DOSE_leafcrops", "DOSE_rootcrops", "DOSE_freshwaterfish",
             "DOSE_seafish",   "DOSE_meat",      "DOSE_dairy",
             "DOSE_totaloral", "DOSE_total",     "iF"},
            {},
            true,
            {"C_leafcropsimp", "C_rootcropsimp", "C_freshwaterfishimp", "C_seafishaverage",
             "C_meatimp", "C_dairyimp", "INTAKE_air", "INTAKE_drw", "INTAKE_leafcrops",
             "INTAKE_rootcrops", "INTAKE_freshwaterfish", "INTAKE_seafish", "INTAKE_meat",
             "INTAKE_dairy", "INTAKE_totaloral", "INTAKE_total", "iFtot"},
            true};
        return c;
    }
    case Tregionalkind::effect: {
        static const Tregionalcolumns c{
            {"RCRtox_river", "RCRtox_lake", "RCRtox_saltlake", "RCRtox_seawater", "RCRtox_soil",
             "RCRtox_humnoncarc", "RCRtox_humcarc"},
            {"RPICRtox_river", "RPICRtox_lake", "RPICRtox_saltlake", "RPICRtox_seawater",
             "RPICRtox_soil", "RPICRtox_humnoncarc", "RPICRtox_humcarc", "RAICRtox_river",
             "RAICRtox_lake", "RAICRtox_saltlake", "RAICRtox_seawater", "RAICRtox_soil",
             "RAICRtox_humnoncarc", "RAICRtox_humcarc"},
            true,
            {"IPICRtox_river", "IPICRtox_lake", "IPICRtox_saltlake", "IPICRtox_seawater",
             "IPICRtox_soil", "IPICRtox_humnoncarc", "IPICRtox_humcarc", "IAICRtox_river",
             "IAICRtox_lake", "IAICRtox_saltlake", "IAICRtox_seawater", "IAICRtox_soil",
             "IAICRtox_humnoncarc", "IAICRtox_humcarc"},
            true};
        return c;
    }
    }
    throw EInvalidArgument();
}

Tregionaltab::Tregionaltab(const QString& caption, const QString& gridname, const Tworkspace& ws,
                           const Tregionalcolumns& columns, QWidget* parent)
    : Tresultstab(caption, nullptr, parent), ws_(ws), grid_(new Tgrid(this)),
      distances_(columns.distances), emissiondependent_(columns.emissiondependent),
      DISTANCEreg_(result<Tnumpars>(ws, "DISTANCEreg")),
      NBORDERSreg_(result<Tnumpars>(ws, "NBORDERSreg")) {
    grid_->setObjectName(gridname);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    for (const char* name : columns.regional)
        regional_.push_back(result<Tnumpars>(ws, name));
    for (const char* name : columns.percent)
        percent_.push_back(result<Tnumpars>(ws, name));
    for (const char* name : columns.scalars)
        scalars_.push_back(result<Tnumpar>(ws, name));
}

Tanalyze Tregionaltab::update(const Tresultsstate& state) {
    const Tgridcontext g = state.grid(emissiondependent_);
    Tstringtable table;
    shown_.clear();
    if (state.regionalized == Tregionalized::no) {
        ShowAllRow(table);
        for (const Tnumpar* p : scalars_)
            AddScalarColumn(table, *p, g);
        FinishGrid(grid_, std::move(table));
        return {};
    }
    ShowRegionRows(table, g);
    for (const Tnumpars* p : regional_) {
        AddRegionalColumn(table, *p, g);
        shown_.push_back({p, false});
    }
    for (const Tnumpars* p : percent_) {
        AddPercentColumn(table, *p, g);
        shown_.push_back({p, true});
    }
    if (distances_) {
        // Distances and border counts of the emitting region are results of
        // the emission like the rest of the tab.
        if (state.ws.settings.DistancesDisplay != 0) {
            AddRegionalColumn(table, *DISTANCEreg_, g);
            shown_.push_back({DISTANCEreg_, false});
        }
        if (state.ws.settings.NBordersDisplay != 0) {
            AddRegionalColumn(table, *NBORDERSreg_, g);
            shown_.push_back({NBORDERSreg_, false});
        }
    }
    if (g.stale) shown_.clear();
    FinishGrid(grid_, std::move(table));
    return {true, true};
}

void Tregionaltab::clear() {
    shown_.clear();
    grid_->settable(Tstringtable());
}

bool Tregionaltab::storedvalue(int c, int r, float& x) const {
    if (c < 1 || c > static_cast<int>(shown_.size()) || r < 1) return false;
    // Rows may have been sorted: the row's region is found by its name.
    const std::uint32_t i = ws_.regions.find(grid_->table().cell(0, r));
    const Tshowncolumn& column = shown_[static_cast<std::size_t>(c - 1)];
    if (i == 0 || i > column.p->count() || !column.p->isknown(i) || column.p->isinfinite(i))
        return false;
    x = column.p->value(i);
    // A percent column shows its values as percentages.
    if (column.percent) x = 100 * x;
    return std::isfinite(x);
}

std::unique_ptr<Tregionaltab> makeregionaltab(Tregionalkind kind, const Tworkspace& ws) {
    switch (kind) {
    case Tregionalkind::environment:
        return std::make_unique<Tregionaltab>("Environment characteristics",
                                              "EnvironmentStringGrid", ws, regionalcolumns(kind));
    case Tregionalkind::dimensional:
        return std::make_unique<Tregionaltab>("Dimensional parameters", "DimensionalStringGrid", ws,
                                              regionalcolumns(kind));
    case Tregionalkind::distributional:
        return std::make_unique<Tregionaltab>(
            "Distributional parameters", "DistributionalStringGrid", ws, regionalcolumns(kind));
    case Tregionalkind::substance:
        return std::make_unique<Tregionaltab>("Substance properties", "SubstanceStringGrid", ws,
                                              regionalcolumns(kind));
    case Tregionalkind::intermedia:
        return std::make_unique<Tregionaltab>("Intermedia transfer parameters",
                                              "IntermediaStringGrid", ws, regionalcolumns(kind));
    case Tregionalkind::concentrations:
        return std::make_unique<Tregionaltab>("Concentrations", "ConcentrationsStringGrid", ws,
                                              regionalcolumns(kind));
    case Tregionalkind::effect:
        return std::make_unique<Tregionaltab>("Effect", "EffectStringGrid", ws,
                                              regionalcolumns(kind));
    }
    throw EInvalidArgument();
}

} // namespace velmora
