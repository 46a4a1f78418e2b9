#pragma once
// The substance whose fate, exposure and effects the model computes: its
// identity and type, physico-chemical properties, bioconcentration factors,
// half-lives, rate constants, effect data and per-region factors.
#include <array>
#include <string>
#include <variant>
#include <vector>

#include "model/parameters.h"

namespace velmora {

class Tenv;
class Tregions;
class TExcelFile;

// X(member, "name", kind, "unit", creation, imported). Kinds: strpar, numpar,
// intpar, boolpar, numpars. Creation: CLEARED, or DEF(x) for a value with
// status D. imported: whether the substances workbook supplies it.
// clang-format off
#define VELMORA_SUB_CATALOGUE(X)                                                                   \
    X(name, "name", strpar, "", CLEARED, false)                                                    \
    X(CAS, "CAS", strpar, "", CLEARED, true)                                                       \
    X(substype, "substype", strpar, "", CLEARED, true)                                             \
    X(MOLW, "MOLW", numpar, "kg*mol^-1", CLEARED, true)                                            \
    X(CHARGE, "CHARGE", intpar, "-", CLEARED, true)                                                \
    X(FREEION5seawater, "FREEION5seawater", numpar, "-", DEF(0.5f), true)                          \
    X(FREEION25seawater, "FREEION25seawater", numpar, "-", DEF(0.5f), true)                        \
    X(TEMPtest, "TEMPtest", numpar, "K", CLEARED, false)                                           \
    X(H_0vapor, "H_0vapor", numpar, "J*mol^-1", CLEARED, true)                                     \
    X(TEMPmelt, "TEMPmelt", numpar, "K", CLEARED, true)                                            \
    X(VP_TEMPtest, "VP_TEMPtest", numpar, "Pa", CLEARED, true)                                     \
    X(SOL, "SOL", numpar, "mol*m^-3", CLEARED, true)                                               \
    X(Kow, "Kow", numpar, "-", CLEARED, true)                                                      \
    X(HENRY, "HENRY", numpar, "Pa*m^3*mol^-1", CLEARED, true)                                      \
    X(K_airwater, "K_airwater", numpar, "-", CLEARED, true)                                        \
    X(Koc, "Koc", numpar, "m^3 water*kg-1 organic carbon", CLEARED, true)                          \
    X(Kp_soil, "Kp_soil", numpar, "m^3*kg^-1", CLEARED, true)                                      \
    X(Kp_sed, "Kp_sed", numpar, "m^3*kg^-1", CLEARED, true)                                        \
    X(Kp_susp, "Kp_susp", numpar, "m^3*kg^-1", CLEARED, true)                                      \
    X(Fass_aer, "Fass_aer", numpar, "-", CLEARED, true)                                            \
    X(F_resp, "F_resp", numpar, "-", CLEARED, false)                                               \
    X(BIO_inh, "BIO_inh", numpar, "-", CLEARED, true)                                              \
    X(BIO_oral, "BIO_oral", numpar, "-", CLEARED, true)                                            \
    X(BCF_fish, "BCF_fish", numpar, "(mg chem*kg fresh fish^-1)/(mg chem*m water^-3)", CLEARED,    \
      true)                                                                                        \
    X(BCFsoil_leafcrops, "BCFsoil_leafcrops", numpar,                                              \
      "(mg chem*kg^-1 wet leaf crops)/(mg chem*wet soil^-1)", CLEARED, true)                       \
    X(BCFair_leafcrops, "BCFair_leafcrops", numpar,                                                \
      "(mg chem*kg^-1 wet leaf crops)/(mg chem*m^-3 air)", CLEARED, true)                          \
    X(BCF_rootcrops, "BCF_rootcrops", numpar,                                                      \
      "(mg chem* kg^-1 wet root crops)/(mg chem*kg^-1 wet soil)", CLEARED, true)                   \
    X(BCF_meat, "BCF_meat", numpar, "(mg chem*kg meat^-1)/(mg chem*d^-1)", CLEARED, true)          \
    X(BCF_milk, "BCF_milk", numpar, "(mg chem*kg milk^-1)/(mg chem*d^-1)", CLEARED, true)          \
    X(DT50photo_air, "DT50photo_air", numpar, "s", CLEARED, true)                                  \
    X(DT50bio_freshwater_TEMPtest, "DT50bio_freshwater_TEMPtest", numpar, "s", CLEARED, true)      \
    X(DT50bio_seawater_TEMPtest, "DT50bio_seawater_TEMPtest", numpar, "s", CLEARED, true)          \
    X(DT50abio_sed, "DT50abio_sed", numpar, "s", CLEARED, true)                                    \
    X(DT50aerbio_sed_TEMPtest, "DT50aerbio_sed_TEMPtest", numpar, "s", CLEARED, true)              \
    X(DT50anaerbio_sed, "DT50anaerbio_sed", numpar, "s", CLEARED, true)                            \
    X(DT50abio_saltlakesed, "DT50abio_saltlakesed", numpar, "s", CLEARED, true)                    \
    X(DT50aerbio_saltlakesed, "DT50aerbio_saltlakesed", numpar, "s", CLEARED, true)                \
    X(DT50anaerbio_saltlakesed, "DT50anaerbio_saltlakesed", numpar, "s", CLEARED, true)            \
    X(DT50abio_seased, "DT50abio_seased", numpar, "s", CLEARED, true)                              \
    X(DT50aerbio_seased_TEMPtest, "DT50aerbio_seased_TEMPtest", numpar, "s", CLEARED, true)        \
    X(DT50anaerbio_seased, "DT50anaerbio_seased", numpar, "s", CLEARED, true)                      \
    X(DT50abio_soil, "DT50abio_soil", numpar, "s", CLEARED, true)                                  \
    X(DT50bio_soil_TEMPtest, "DT50bio_soil_TEMPtest", numpar, "s", CLEARED, true)                  \
    X(DT50hydro_water_TEMPtest, "DT50hydro_water_TEMPtest", numpar, "s", CLEARED, true)            \
    X(DT50photo_water, "DT50photo_water", numpar, "s", CLEARED, true)                              \
    X(readily_biodegradable, "readily_biodegradable", boolpar, "", DEF(false), true)               \
    X(fulfilling_10d_window, "fulfilling_10d_window", boolpar, "", DEF(false), true)               \
    X(inherently_biodegradable, "inherently_biodegradable", boolpar, "", DEF(true), true)          \
    X(krad_OH, "krad_OH", numpar, "s^-1", CLEARED, true)                                           \
    X(kdeg_air, "kdeg_air", numpar, "s^-1", CLEARED, true)                                         \
    X(EFFECT_aquatox, "EFFECT_aquatox", numpar, "kg*m^-3", CLEARED, true)                          \
    X(EFFECT_seatox, "EFFECT_seatox", numpar, "kg*m^-3", CLEARED, true)                            \
    X(EFFECT_terrtox, "EFFECT_terrtox", numpar, "kg*kg^-1", CLEARED, true)                         \
    X(EFFECThum_noncarc, "EFFECThum_noncarc", numpar, "yr*kg^-1", CLEARED, true)                   \
    X(EFFECThum_carc, "EFFECThum_carc", numpar, "yr*kg^-1", CLEARED, true)                         \
    X(SFtox_river, "SFtox_river", numpars, "-", CLEARED, false)                                    \
    X(SFtox_lake, "SFtox_lake", numpars, "-", CLEARED, false)                                      \
    X(SFtox_saltlake, "SFtox_saltlake", numpars, "-", CLEARED, false)                              \
    X(SFtox_seawater, "SFtox_seawater", numpars, "-", CLEARED, false)                              \
    X(SFtox_soil, "SFtox_soil", numpars, "-", CLEARED, false)                                      \
    X(SFtox_lakesed, "SFtox_lakesed", numpars, "-", CLEARED, false)                                \
    X(SFtox_saltlakesed, "SFtox_saltlakesed", numpars, "-", CLEARED, false)                        \
    X(SFtox_seased, "SFtox_seased", numpars, "-", CLEARED, false)                                  \
    X(TFtox_river, "TFtox_river", numpars, "-", CLEARED, false)                                    \
    X(TFtox_lake, "TFtox_lake", numpars, "-", CLEARED, false)                                      \
    X(TFtox_saltlake, "TFtox_saltlake", numpars, "-", CLEARED, false)                              \
    X(TFtox_seawater, "TFtox_seawater", numpars, "-", CLEARED, false)                              \
    X(TFtox_nat, "TFtox_nat", numpars, "-", CLEARED, false)                                        \
    X(TFtox_agr, "TFtox_agr", numpars, "-", CLEARED, false)                                        \
    X(TFtox_urb, "TFtox_urb", numpars, "-", CLEARED, false)                                        \
    X(TFtox_lakesed, "TFtox_lakesed", numpars, "-", CLEARED, false)                                \
    X(TFtox_saltlakesed, "TFtox_saltlakesed", numpars, "-", CLEARED, false)                        \
    X(TFtox_seased, "TFtox_seased", numpars, "-", CLEARED, false)                                  \
    X(TFtox_humnoncarc, "TFtox_humnoncarc", numpars, "-", CLEARED, false)
// clang-format on

using Tsubparameter = std::variant<Tstrpar*, Tnumpar*, Tintpar*, Tbooleanpar*, Tnumpars*>;

struct Tsubentry {
    Tsubparameter parameter;
    bool imported;
    const std::string& name() const;
    const std::string& unit() const;
};

// The organic classes that change the Koc estimate, with their coefficients.
struct Torganicclass {
    const char* name;
    float a;
    float b;
};
extern const std::array<Torganicclass, 17> organicclasses;

// The Substance type dialog's question and answer; the front end shows it.
struct Tsubstancetypechoice {
    int type = -1;       // -1 none, 0 metal, 1 organic, 2 gas
    int classindex = -1; // 0 "Organic (unclassified)", 1.. the classes; -1 none
};

class Tsubstancetypedialog {
public:
    virtual ~Tsubstancetypedialog() = default;
    // Shows the dialog preset with choice; true on OK with the answer in choice.
    virtual bool run(Tsubstancetypechoice& choice) = 0;
};

class Tsub {
    Tmodelcontext* context_;
    const Tregions* regions_;
    Tenv* env_;

public:
    Tsub(Tmodelcontext& context, const Tregions& regions, Tenv& env);
    Tsub(const Tsub&) = delete;
    Tsub& operator=(const Tsub&) = delete;

    bool changed = false;
    bool present = false;

#define VELMORA_SUB_MEMBER_strpar Tstrpar
#define VELMORA_SUB_MEMBER_numpar Tnumpar
#define VELMORA_SUB_MEMBER_intpar Tintpar
#define VELMORA_SUB_MEMBER_boolpar Tbooleanpar
#define VELMORA_SUB_MEMBER_numpars Tnumpars
#define VELMORA_SUB_DECLARE(member, text, kind, unit, creation, imported)                          \
    VELMORA_SUB_MEMBER_##kind member;
    VELMORA_SUB_CATALOGUE(VELMORA_SUB_DECLARE)
#undef VELMORA_SUB_DECLARE

    const std::vector<Tsubentry>& catalogue() const {
        return catalogue_;
    }
    const Tsubentry* find(const std::string& name) const;

    void newsubstance();
    bool ismetal();
    bool isgas();
    bool isorganic();
    void settypedefaults();
    void testcomplete();
    void import(TExcelFile& workbook, const std::string& name, const std::string& sheet);
    void check(std::vector<std::string>& lines, bool unused, bool negative);
    // Edits the parameter called name; the substance type goes through the
    // dialog given (none: the type is left as it is).
    void edit(const std::string& name, std::uint32_t i, Tsubstancetypedialog* typedialog = nullptr);

    // The choice the Substance type dialog is preset with for the current type.
    Tsubstancetypechoice typechoice();
    // The type text for a choice made in the dialog.
    static std::string typetext(const Tsubstancetypechoice& choice, bool withclass);

private:
    void resetfactors();
    std::vector<Tsubentry> catalogue_;
};

// What a value of the substance parameter of that name can be: the import
// refuses a cell outside it, the edits an entry outside it.
Tvaluerange substancerange(const std::string& name);

// The names of the substances of a sheet (column 5, rows 4 to the last row),
// rows without a name left out.
std::vector<std::string> substancenames(TExcelFile& workbook, const std::string& sheet);
// The names whose beginning equals the search text, letters a-z compared
// without regard to case.
std::vector<std::string> searchsubstances(const std::vector<std::string>& names,
                                          const std::string& text);

} // namespace velmora
