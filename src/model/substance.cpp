#include "model/substance.h"

#include "model/valuerange.h"
#include "numeric/files.h"

#include <functional>

#include "model/restorepoint.h"
#include "numeric/errors.h"

#include <cmath>

#include "model/environment.h"
#include "model/regions.h"
#include "numeric/utilities.h"
#include "toolkit/sheets/excelfile.h"

namespace velmora {

const std::array<Torganicclass, 17> organicclasses = {{
    {"nonhydrophobic", 10.47f, 0.52f},
    {"acetanilide", 13.18f, 0.4f},
    {"alcohol", 3.16f, 0.39f},
    {"amide", 17.78f, 0.33f},
    {"aniline", 7.08f, 0.62f},
    {"carbamate", 13.8f, 0.37f},
    {"dinitroaniline", 83.18f, 0.38f},
    {"ester", 11.22f, 0.49f},
    {"nitrobenzene", 3.55f, 0.77f},
    {"organic acid", 2.09f, 0.6f},
    {"phenol", 12.02f, 0.57f},
    {"benzonitrile", 12.02f, 0.57f},
    {"phenylurea", 11.22f, 0.49f},
    {"phosphate", 14.79f, 0.49f},
    {"triazine", 31.62f, 0.3f},
    {"triazole", 25.7f, 0.47f},
    {"uracil", 12.3f, 0.47f},
}};

namespace {

const char* unclassified = "organic (unclassified)";

// The rules of the type-default table.
bool replaceable(char s) {
    return s == stHidden || s == stUnknown || s == stDefault;
}

template <typename P, typename V> void to(P& p, V x) {
    if (replaceable(p.status)) {
        p.value = x;
        p.status = stDefault;
    }
}
template <typename P> void unknown(P& p) {
    if (replaceable(p.status)) p.status = stUnknown;
}
template <typename P> void hide(P& p) {
    p.status = stHidden;
}

} // namespace

const std::string& Tsubentry::name() const {
    return std::visit([](auto* p) -> const std::string& { return p->name(); }, parameter);
}

const std::string& Tsubentry::unit() const {
    return std::visit([](auto* p) -> const std::string& { return p->unit(); }, parameter);
}

#define VELMORA_SUB_INIT_strpar(member, text, unit) member(context, text)
#define VELMORA_SUB_INIT_numpar(member, text, unit) member(context, text, unit)
#define VELMORA_SUB_INIT_intpar(member, text, unit) member(context, text, unit)
#define VELMORA_SUB_INIT_boolpar(member, text, unit) member(context, text)
#define VELMORA_SUB_INIT_numpars(member, text, unit) member(context, regions, text, unit)
#define VELMORA_SUB_INIT(member, text, kind, unit, creation, imported)                             \
    VELMORA_SUB_INIT_##kind(member, text, unit),

Tsub::Tsub(Tmodelcontext& context, const Tregions& regions, Tenv& env)
    : context_(&context), regions_(&regions), env_(&env),
      VELMORA_SUB_CATALOGUE(VELMORA_SUB_INIT) catalogue_() {
#define VELMORA_SUB_LIST(member, text, kind, unit, creation, imported)                             \
    catalogue_.push_back({&member, imported});
    VELMORA_SUB_CATALOGUE(VELMORA_SUB_LIST)
#undef VELMORA_SUB_LIST
#define VELMORA_SUB_CREATE_CLEARED (void)p
#define VELMORA_SUB_CREATE_DEF(x) p.setdefault(x)
#define VELMORA_SUB_CREATE(member, text, kind, unit, creation, imported)                           \
    {                                                                                              \
        auto& p = member;                                                                          \
        VELMORA_SUB_CREATE_##creation;                                                             \
    }
    VELMORA_SUB_CATALOGUE(VELMORA_SUB_CREATE)
#undef VELMORA_SUB_CREATE
#undef VELMORA_SUB_CREATE_CLEARED
#undef VELMORA_SUB_CREATE_DEF
}

const Tsubentry* Tsub::find(const std::string& text) const {
    for (const auto& e : catalogue_)
        if (e.name() == text) return &e;
    return nullptr;
}

void Tsub::newsubstance() {
    changed = false;
    name.clear();
    name.setdefault("new substance");
    CAS.clear();
    substype.clear();
    substype.setdefault(unclassified);
    for (auto& e : catalogue_) {
        if (std::holds_alternative<Tnumpar*>(e.parameter))
            std::get<Tnumpar*>(e.parameter)->clear();
        else if (std::holds_alternative<Tintpar*>(e.parameter))
            std::get<Tintpar*>(e.parameter)->clear();
        else if (std::holds_alternative<Tbooleanpar*>(e.parameter))
            std::get<Tbooleanpar*>(e.parameter)->clear();
    }
}

bool Tsub::ismetal() {
    return substype.get() == "metal";
}
bool Tsub::isgas() {
    return substype.get() == "gas";
}
bool Tsub::isorganic() {
    std::string t = substype.get();
    return t != "metal" && t != "gas";
}

void Tsub::resetfactors() {
    Tnumpars* sf[] = {&SFtox_river, &SFtox_lake,    &SFtox_saltlake,    &SFtox_seawater,
                      &SFtox_soil,  &SFtox_lakesed, &SFtox_saltlakesed, &SFtox_seased};
    Tnumpars* tf[] = {&TFtox_river,       &TFtox_lake,   &TFtox_saltlake,  &TFtox_seawater,
                      &TFtox_nat,         &TFtox_agr,    &TFtox_urb,       &TFtox_lakesed,
                      &TFtox_saltlakesed, &TFtox_seased, &TFtox_humnoncarc};
    std::uint32_t n = regions_->count;
    for (Tnumpars* p : sf)
        p->clear();
    for (std::uint32_t i = 1; i <= n; ++i) {
        bool island = env_->island(i);
        for (Tnumpars* p : sf) {
            bool sea = p == &SFtox_seawater || p == &SFtox_seased;
            if (island != sea)
                p->setdefault(i, 1);
            else
                p->sethidden(i);
        }
    }
    for (Tnumpars* p : tf)
        p->clear();
    for (std::uint32_t i = 1; i <= n; ++i) {
        bool island = env_->island(i);
        for (Tnumpars* p : tf) {
            bool sea = p == &TFtox_seawater || p == &TFtox_seased;
            if (island != sea)
                p->setdefault(i, 1);
            else
                p->sethidden(i);
        }
    }
}

void Tsub::settypedefaults() {
    present = false;
    if (SFtox_river.values.count() != regions_->count) resetfactors();

    bool metal = ismetal();
    bool organic = isorganic();
    bool gas = isgas();
    const float inf = context_->settings.InfValue;
    auto temptest = [&] {
        if (TEMPtest.status == stUnknown || TEMPtest.status == stDefault) TEMPtest.setdefault(298);
    };
    auto common = [&] {
        to(F_resp, 1.0f);
        to(BIO_inh, 0.75f);
        to(BIO_oral, 1.0f);
    };
    auto biodegradability = [&] {
        to(readily_biodegradable, false);
        to(fulfilling_10d_window, false);
        to(inherently_biodegradable, true);
    };
    Tnumpar* bcfs[] = {&BCF_fish,      &BCFsoil_leafcrops, &BCFair_leafcrops,
                       &BCF_rootcrops, &BCF_meat,          &BCF_milk};
    auto deriveKrad = [&] {
        if (!replaceable(krad_OH.status)) return;
        if (DT50photo_air.isunknown()) {
            krad_OH.status = stUnknown;
        } else if (DT50photo_air.get() == 0) {
            krad_OH.setdefault(inf);
        } else if (DT50photo_air.isinfinite()) {
            DT50photo_air.used = true;
            krad_OH.setdefault(0);
        } else {
            krad_OH.setdefault(static_cast<float>(std::log(2.0L) / DT50photo_air.get()));
        }
    };

    if (metal) {
        unknown(MOLW);
        to(CHARGE, 2);
        unknown(FREEION5seawater);
        unknown(FREEION25seawater);
        temptest();
        hide(H_0vapor);
        hide(TEMPmelt);
        hide(VP_TEMPtest);
        hide(SOL);
        hide(Kow);
        hide(HENRY);
        to(K_airwater, 0.0f);
        hide(Koc);
        to(Kp_soil, 0.0f);
        to(Kp_sed, 0.0f);
        to(Kp_susp, 0.0f);
        to(Fass_aer, 0.95f);
        common();
        for (Tnumpar* p : bcfs)
            unknown(*p);
        biodegradability();
        to(DT50photo_air, inf);
        to(DT50bio_freshwater_TEMPtest, inf);
        to(DT50bio_seawater_TEMPtest, inf);
        to(DT50abio_sed, inf);
        to(DT50aerbio_sed_TEMPtest, inf);
        to(DT50anaerbio_sed, inf);
        unknown(DT50abio_saltlakesed);
        to(DT50aerbio_saltlakesed, inf);
        to(DT50anaerbio_saltlakesed, inf);
        unknown(DT50abio_seased);
        to(DT50aerbio_seased_TEMPtest, inf);
        to(DT50anaerbio_seased, inf);
        to(DT50abio_soil, inf);
        to(DT50bio_soil_TEMPtest, inf);
        to(DT50hydro_water_TEMPtest, inf);
        to(DT50photo_water, inf);
        to(krad_OH, 0.0f);
        unknown(kdeg_air);
    } else if (organic) {
        unknown(MOLW);
        hide(CHARGE);
        hide(FREEION5seawater);
        hide(FREEION25seawater);
        temptest();
        to(H_0vapor, 50000.0f);
        unknown(TEMPmelt);
        unknown(VP_TEMPtest);
        unknown(Kow);
        unknown(SOL);
        if (replaceable(HENRY.status)) {
            if (SOL.isunknown() || SOL.get() == 0) {
                HENRY.status = stUnknown;
            } else {
                // The vapour pressure is read even when unknown: its warning tells the user.
                extended vp = VP_TEMPtest.get();
                HENRY.setdefault(static_cast<float>(vp / SOL.get()));
            }
        }
        hide(K_airwater);
        if (replaceable(Koc.status)) {
            if (Kow.isunknown() || !(Kow.get() > 0)) {
                Koc.status = stUnknown;
            } else {
                std::string type = substype.get();
                float a = 1.26f, b = 0.81f;
                for (const auto& c : organicclasses)
                    if (type == c.name) {
                        a = c.a;
                        b = c.b;
                    }
                Koc.setdefault(
                    static_cast<float>(a * static_cast<extended>(power(Kow.get(), b)) / 1000));
            }
        }
        hide(Kp_soil);
        hide(Kp_sed);
        hide(Kp_susp);
        hide(Fass_aer);
        common();
        for (Tnumpar* p : bcfs)
            unknown(*p);
        biodegradability();
        to(DT50photo_air, 13824000.0f);
        unknown(DT50bio_freshwater_TEMPtest);
        unknown(DT50bio_seawater_TEMPtest);
        to(DT50abio_sed, inf);
        unknown(DT50aerbio_sed_TEMPtest);
        to(DT50anaerbio_sed, inf);
        unknown(DT50abio_saltlakesed);
        to(DT50aerbio_saltlakesed, inf);
        to(DT50anaerbio_saltlakesed, inf);
        unknown(DT50abio_seased);
        unknown(DT50aerbio_seased_TEMPtest);
        to(DT50anaerbio_seased, inf);
        to(DT50abio_soil, inf);
        unknown(DT50bio_soil_TEMPtest);
        to(DT50hydro_water_TEMPtest, inf);
        to(DT50photo_water, inf);
        deriveKrad();
        unknown(kdeg_air);
    } else if (gas) {
        unknown(MOLW);
        hide(CHARGE);
        hide(FREEION5seawater);
        hide(FREEION25seawater);
        temptest();
        hide(H_0vapor);
        hide(TEMPmelt);
        hide(VP_TEMPtest);
        hide(SOL);
        hide(Kow);
        hide(HENRY);
        to(K_airwater, inf);
        hide(Koc);
        to(Kp_soil, 0.0f);
        to(Kp_sed, 0.0f);
        to(Kp_susp, 0.0f);
        to(Fass_aer, 0.0f);
        common();
        for (Tnumpar* p : bcfs)
            to(*p, 0.0f);
        biodegradability();
        to(DT50photo_air, inf);
        to(DT50bio_freshwater_TEMPtest, inf);
        to(DT50bio_seawater_TEMPtest, inf);
        to(DT50abio_sed, inf);
        to(DT50aerbio_sed_TEMPtest, inf);
        to(DT50anaerbio_sed, inf);
        unknown(DT50abio_saltlakesed);
        to(DT50aerbio_saltlakesed, inf);
        to(DT50anaerbio_saltlakesed, inf);
        unknown(DT50abio_seased);
        to(DT50aerbio_seased_TEMPtest, inf);
        to(DT50anaerbio_seased, inf);
        to(DT50abio_soil, inf);
        to(DT50bio_soil_TEMPtest, inf);
        to(DT50hydro_water_TEMPtest, inf);
        to(DT50photo_water, inf);
        deriveKrad();
        unknown(kdeg_air);
    }
    present = true;
}

void Tsub::testcomplete() {
    auto known = [](const Tscalarpar& p) { return !p.isunknown(); };
    bool complete = false;
    if (!substype.isunknown()) {
        std::string t = substype.value;
        if (t == "metal")
            complete = known(MOLW) && known(FREEION5seawater) && known(FREEION25seawater) &&
                       known(BCF_fish) && known(BCFsoil_leafcrops) && known(BCF_rootcrops) &&
                       known(BCF_meat);
        else if (t == "gas")
            complete = known(MOLW);
        else
            complete =
                known(MOLW) && known(TEMPmelt) && known(VP_TEMPtest) && known(Kow) && known(HENRY);
    }
    present = complete;
}

Tvaluerange substancerange(const std::string& name) {
    static const char* const positive[] = {"MOLW",        "TEMPmelt", "TEMPtest",
                                           "VP_TEMPtest", "SOL",      "Kow"};
    for (const char* n : positive)
        if (name == n) return Tvaluerange::positive();
    if (name.rfind("DT50", 0) == 0) return Tvaluerange::positive();
    static const char* const fractions[] = {"FREEION5seawater", "FREEION25seawater", "Fass_aer",
                                            "F_resp", "BIO_inh", "BIO_oral"};
    for (const char* n : fractions)
        if (name == n) return Tvaluerange::fraction();
    if (name == "H_0vapor") return Tvaluerange::any();
    return {}; // partition coefficients, BCFs, rate constants, effects, factors: 0 or more
}

void Tsub::import(TExcelFile& workbook, const std::string& looked, const std::string& sheet) {
    // All or nothing: a failed import leaves the substance the user had,
    // with its present flag.
    std::vector<std::function<void()>> restore;
    for (auto& e : catalogue_)
        restore.push_back(std::visit([](auto* p) { return restorepoint(p); }, e.parameter));
    const bool waschanged = changed, waspresent = present;
    try {
        workbook.selectsheet(sheet);
        // The first row of that name is the substance; a later one (a copy, or a
        // row holding only the name) would otherwise blank it.
        std::uint32_t last = workbook.lastrow();
        std::uint32_t row = 0;
        std::vector<std::uint32_t> duplicates;
        for (std::uint32_t r = 4; r <= last; ++r) {
            if (workbook.cell(r, 5) != looked) continue;
            if (row == 0)
                row = r;
            else
                duplicates.push_back(r);
        }
        newsubstance();
        if (!duplicates.empty())
            context_->ui.warn(looked + " appears more than once in " + workbook.workbookname() +
                              " sheet \"" + sheet + "\" (rows " + std::to_string(row) + " and " +
                              std::to_string(duplicates.front()) + "); row " + std::to_string(row) +
                              " is read");
        if (row != 0) {
            changed = false;
            name.value = looked;
            name.status = stImported;
            // The heading row is looked up once; the row is read only in the
            // columns that name an imported parameter.
            std::uint32_t lastcol = workbook.lastcolumn();
            for (std::uint32_t c = 3; c <= lastcol; ++c) {
                std::string header = workbook.cell(2, c);
                if (header.empty()) continue;
                const Tsubentry* e = find(header);
                if (!e || !e->imported) continue;
                std::string text = workbook.cell(row, c);
                try {
                    std::visit(
                        [&](auto* p) {
                            using P = std::decay_t<decltype(*p)>;
                            if constexpr (!std::is_same_v<P, Tnumpars>) p->readcell(text);
                            // A number a single cannot hold would be infinity and
                            // fail much later as a division by zero.
                            if constexpr (std::is_same_v<P, Tnumpar>) {
                                if (p->isknown() && !std::isfinite(p->value))
                                    throw EConvertError(
                                        "'" + messagetext(text) +
                                        "' is beyond the range of a single-precision number");
                                const Tvaluerange range = substancerange(header);
                                if (p->isknown() && !range.contains(p->value))
                                    throw EConvertError(messagetext(text) +
                                                        " is outside the allowed range (" +
                                                        range.text() + ")");
                            }
                        },
                        e->parameter);
                } catch (const EConvertError& x) {
                    throw EConvertError(workbook.where(row, c) + " (" + header + ", " +
                                        messagetext(looked, 60) + "): " + x.what());
                }
            }
            // One read of the type: an unknown type warns once, and the
            // workbook's short "Organic" stands for the unclassified class.
            if (substype.get() == "Organic") substype.value = unclassified;
        }
        settypedefaults();
    } catch (...) {
        for (const auto& r : restore)
            r();
        changed = waschanged;
        present = waspresent;
        throw;
    }
}

void Tsub::check(std::vector<std::string>& lines, bool unused, bool negative) {
    for (auto& e : catalogue_) {
        if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            Tnumpars& p = **v;
            for (std::uint32_t i = 1; i <= p.count(); ++i) {
                if (!p.isknown(i)) continue;
                std::string where = "[" + regions_->name(i) + "]";
                if (unused && !p.used(i)) lines.push_back(p.name() + where + " not used");
                if (negative && p.used(i) && p.get(i) < 0)
                    lines.push_back(p.name() + where + " < 0");
            }
            continue;
        }
        std::visit(
            [&](auto* p) {
                using P = std::decay_t<decltype(*p)>;
                if constexpr (!std::is_same_v<P, Tnumpars>) {
                    if (!p->isknown()) return;
                    if (unused && !p->used) lines.push_back(p->name() + " not used");
                    if constexpr (std::is_same_v<P, Tnumpar> || std::is_same_v<P, Tintpar>) {
                        if (negative && p->used && p->get() < 0)
                            lines.push_back(p->name() + " < 0");
                    }
                }
            },
            e.parameter);
    }
}

Tsubstancetypechoice Tsub::typechoice() {
    Tsubstancetypechoice choice;
    choice.classindex = 0; // the class list starts at its first entry
    std::string t = substype.value;
    if (t == "metal") {
        choice.type = 0;
        choice.classindex = -1;
    } else if (t == "gas") {
        choice.type = 2;
        choice.classindex = -1;
    } else {
        choice.type = 1;
        for (std::size_t k = 0; k < organicclasses.size(); ++k)
            if (t == organicclasses[k].name) choice.classindex = static_cast<int>(k) + 1;
    }
    return choice;
}

std::string Tsub::typetext(const Tsubstancetypechoice& choice, bool withclass) {
    switch (choice.type) {
    case 0:
        return "metal";
    case 2:
        return "gas";
    default:
        // Without a chosen class the substance is unclassified organic
        // rather than a nameless type.
        if (!withclass || choice.classindex <= 0 ||
            choice.classindex > static_cast<int>(organicclasses.size()))
            return unclassified;
        return organicclasses[static_cast<std::size_t>(choice.classindex - 1)].name;
    }
}

void Tsub::edit(const std::string& text, std::uint32_t i, Tsubstancetypedialog* typedialog) {
    for (auto& e : catalogue_) {
        if (e.name() != text) continue;
        bool ok = false;
        if (auto* s = std::get_if<Tstrpar*>(&e.parameter)) {
            if (*s == &substype) {
                Tsubstancetypechoice choice = typechoice();
                if (typedialog && typedialog->run(choice) && choice.type >= 0) {
                    substype.value = typetext(choice, true);
                    ok = true;
                }
            } else {
                ok = (*s)->edit("All");
            }
        } else if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            Tnumpars& p = **v;
            if (i >= 1 && p.status(i) == stFixed) {
                context_->ui.warn(p.name() + "[" + regions_->name(i) + "] is non-editable");
            } else {
                ok = p.edit(i, substancerange(text));
            }
        } else {
            std::visit(
                [&](auto* p) {
                    using P = std::decay_t<decltype(*p)>;
                    if constexpr (std::is_same_v<P, Tnumpar>)
                        ok = p->edit("All", substancerange(text));
                    else if constexpr (!std::is_same_v<P, Tnumpars> && !std::is_same_v<P, Tstrpar>)
                        ok = p->edit("All");
                },
                e.parameter);
        }
        if (ok) changed = true;
    }
    settypedefaults();
}

std::vector<std::string> substancenames(TExcelFile& workbook, const std::string& sheet) {
    workbook.selectsheet(sheet);
    std::vector<std::string> names;
    std::uint32_t last = workbook.lastrow();
    // A row without a name holds no substance: a stray cell far below the
    // table (row 1,048,576) would otherwise list a million empty names.
    for (std::uint32_t r = 4; r <= last; ++r) {
        std::string name = workbook.cell(r, 5);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> searchsubstances(const std::vector<std::string>& names,
                                          const std::string& text) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    std::vector<std::string> found;
    for (const auto& n : names) {
        if (n.size() < text.size()) continue;
        bool match = true;
        for (std::size_t k = 0; k < text.size() && match; ++k)
            match = fold(n[k]) == fold(text[k]);
        if (match) found.push_back(n);
    }
    return found;
}

} // namespace velmora
