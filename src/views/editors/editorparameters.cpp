#include "views/editors/editorparameters.h"

namespace velmora {

const std::vector<Tsubstancetab>& substancetabs() {
    static const std::vector<Tsubstancetab> tabs = {
        {"General properties", {"name", "CAS", "substype"}, {}},
        {"Physico-chemical parameters",
         {"MOLW", "CHARGE", "FREEION5seawater", "FREEION25seawater", "TEMPtest", "H_0vapor",
          "TEMPmelt", "VP_TEMPtest", "SOL", "Kow"},
         {}},
        {"Partition coefficients",
         {"HENRY", "K_airwater", "Koc", "Kp_soil", "Kp_sed", "Kp_susp", "Fass_aer"},
         {}},
        {"Exposure data",
         {"F_resp", "BIO_inh", "BIO_oral", "BCF_fish", "BCFsoil_leafcrops", "BCFair_leafcrops",
          "BCF_rootcrops", "BCF_meat", "BCF_milk"},
         {}},
        {"Disappearance rates",
         {"DT50photo_air",
          "DT50bio_freshwater_TEMPtest",
          "DT50bio_seawater_TEMPtest",
          "DT50abio_sed",
          "DT50aerbio_sed_TEMPtest",
          "DT50anaerbio_sed",
          "DT50abio_saltlakesed",
          "DT50aerbio_saltlakesed",
          "DT50anaerbio_saltlakesed",
          "DT50abio_seased",
          "DT50aerbio_seased_TEMPtest",
          "DT50anaerbio_seased",
          "DT50abio_soil",
          "DT50bio_soil_TEMPtest",
          "DT50hydro_water_TEMPtest",
          "DT50photo_water",
          "readily_biodegradable",
          "fulfilling_10d_window",
          "inherently_biodegradable",
          "krad_OH",
          "kdeg_air"},
         {}},
        {"Effect parameters",
         {"EFFECT_aquatox", "EFFECT_seatox", "EFFECT_terrtox", "EFFECThum_noncarc",
          "EFFECThum_carc"},
         {"SFtox_river", "SFtox_lake", "SFtox_saltlake", "SFtox_seawater", "SFtox_soil",
          "SFtox_lakesed", "SFtox_saltlakesed", "SFtox_seased", "TFtox_river", "TFtox_lake",
          "TFtox_saltlake", "TFtox_seawater", "TFtox_nat", "TFtox_agr", "TFtox_urb",
          "TFtox_lakesed", "TFtox_saltlakesed", "TFtox_seased", "TFtox_humnoncarc"}},
    };
    return tabs;
}

const std::vector<Tenvgroup>& environmenttabs() {
    static const std::vector<Tenvgroup> tabs = {
        Tenvgroup::General,  Tenvgroup::Media,     Tenvgroup::Plant,
        Tenvgroup::Climate,  Tenvgroup::Dimension, Tenvgroup::Distribution,
        Tenvgroup::Exposure, Tenvgroup::Borders,   Tenvgroup::Intramedium};
    return tabs;
}

std::vector<Tnumparss*> borderparameters(Tenv& env) {
    return {
        &env.BORDERLENGTH,           &env.FLOW_river_river,    &env.FLOW_groundwater_groundwater,
        &env.FLOW_seawater_seawater, &env.FLOW_river_seawater, &env.FLOW_groundwater_seawater};
}

} // namespace velmora
