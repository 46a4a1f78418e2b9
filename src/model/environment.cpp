#include "model/environment.h"

#include "model/regions.h"
#include "model/restorepoint.h"

namespace velmora {

std::string envgroupname(Tenvgroup group) {
    switch (group) {
    case Tenvgroup::General:
        return "General";
    case Tenvgroup::Media:
        return "Media characteristics";
    case Tenvgroup::Plant:
        return "Plant-specific parameters";
    case Tenvgroup::Climate:
        return "Climatic parameters";
    case Tenvgroup::Dimension:
        return "Dimensional parameters";
    case Tenvgroup::Distribution:
        return "Distributional parameters";
    case Tenvgroup::Exposure:
        return "Exposure data";
    case Tenvgroup::Borders:
        return "Borders and flows";
    case Tenvgroup::Intramedium:
        return "Intramedium exchange parameters";
    }
    return {};
}

const std::string& Tenventry::name() const {
    return std::visit([](auto* p) -> const std::string& { return p->name(); }, parameter);
}

const std::string& Tenventry::unit() const {
    return std::visit([](auto* p) -> const std::string& { return p->unit(); }, parameter);
}

#define VELMORA_ENV_INIT_strpars(member, text, unit) member(context, regions, text, unit)
#define VELMORA_ENV_INIT_boolpars(member, text, unit) member(context, regions, text, unit)
#define VELMORA_ENV_INIT_numpars(member, text, unit) member(context, regions, text, unit)
#define VELMORA_ENV_INIT_numpar(member, text, unit) member(context, text, unit)
#define VELMORA_ENV_INIT_numparss(member, text, unit) member(context, regions, text, unit, true)
#define VELMORA_ENV_INIT(member, text, kind, unit, def, group)                                     \
    VELMORA_ENV_INIT_##kind(member, text, unit),

Tenv::Tenv(Tmodelcontext& context, const Tregions& regions)
    : context_(&context), regions_(&regions), VELMORA_ENV_CATALOGUE(VELMORA_ENV_INIT) catalogue_() {
#define VELMORA_ENV_LIST(member, text, kind, unit, def, group)                                     \
    catalogue_.push_back({&member, Tenvgroup::group});
    VELMORA_ENV_CATALOGUE(VELMORA_ENV_LIST)
#undef VELMORA_ENV_LIST
    clear();
}

Tvaluerange environmentrange(const std::string& name) {
    static const char* const fractions[] = {
        "Fair_soil",   "Fair_agr",         "Fair_nonagr",   "Fwater_soil",   "Fwater_agr",
        "Fwater_nonagr", "Fwater_deepsoil", "Fwater_sed",    "Fwater_susp",   "Fwater_bio",
        "Fsolid_soil", "Fsolid_runoff",    "Foc_soil",      "Foc_sed",       "Foc_seased",
        "Foc_susp",    "Foc_seasusp",      "Faer_sed",      "Faer_seased",   "Fwater_plant",
        "Flipid_plant", "Fair_plant",      "Farea_seaice",  "Farea_agr",     "Farea_nat",
        "Farea_urb",   "Friver_frozen",    "Fdrw_safe",     "Fdrw_grw",
        "SUSPFRACTION_inlandwater",        "SUSPFRACTION_seawater"};
    for (const char* f : fractions)
        if (name == f) return Tvaluerange::fraction();
    // Densities divide masses into volumes.
    if (name.rfind("RHO_", 0) == 0) return Tvaluerange::positive();
    if (name == "TEMP" || name == "BW") return Tvaluerange::positive();
    if (name == "RAINDAYS") return {0, 366, false};
    if (name == "FROSTMONTHS") return {0, 12, false};
    if (name == "latitude") return {-90, 90, false};
    if (name == "longitude") return {-180, 180, false};
    return {}; // amounts, areas, depths, flows, rates, people: 0 or more
}

const Tenventry* Tenv::find(const std::string& name) const {
    for (const auto& e : catalogue_)
        if (e.name() == name) return &e;
    return nullptr;
}

void Tenv::clear() {
    for (auto& e : catalogue_)
        std::visit([](auto* p) { p->clear(); }, e.parameter);
    changed = false;
    present = false;
    // Cleared borders and flows are unknown until the second workbook is read.
    bordersmissing = true;
}

std::function<void()> Tenv::snapshot() {
    std::vector<std::function<void()>> parts;
    parts.reserve(catalogue_.size());
    for (auto& e : catalogue_)
        parts.push_back(std::visit([](auto* p) { return restorepoint(p); }, e.parameter));
    return [this, parts = std::move(parts), changed = changed, present = present,
            bordersmissing = bordersmissing] {
        for (const auto& restore : parts)
            restore();
        this->changed = changed;
        this->present = present;
        this->bordersmissing = bordersmissing;
    };
}

void Tenv::setdefaults() {
#define VELMORA_SETDEF_NODEF (void)p
#define VELMORA_SETDEF_SCALAR(x) p.setdefault(x)
#define VELMORA_SETDEF_EVERY(x) p.setall(x)
#define VELMORA_ENV_DEFAULT(member, text, kind, unit, def, group)                                  \
    {                                                                                              \
        auto& p = member;                                                                          \
        VELMORA_SETDEF_##def;                                                                      \
    }
    VELMORA_ENV_CATALOGUE(VELMORA_ENV_DEFAULT)
#undef VELMORA_ENV_DEFAULT
#undef VELMORA_SETDEF_NODEF
#undef VELMORA_SETDEF_SCALAR
#undef VELMORA_SETDEF_EVERY
}

namespace {

void checkscalar(Tnumpar& p, std::vector<std::string>& lines, bool unused, bool negative) {
    if (!p.isknown()) return;
    if (unused && !p.used) lines.push_back(p.name() + " not used");
    if (negative && p.used && p.get() < 0) lines.push_back(p.name() + " < 0");
}

void checkregions(Tnumpars& p, const Tregions& regions, std::vector<std::string>& lines,
                  bool unused, bool negative) {
    for (std::uint32_t i = 1; i <= p.count(); ++i) {
        if (!p.isknown(i)) continue;
        if (unused && !p.used(i)) lines.push_back(p.name() + "[" + regions.name(i) + "] not used");
        if (negative && p.used(i) && p.get(i) < 0)
            lines.push_back(p.name() + "[" + regions.name(i) + "] < 0");
    }
}

void checkpairs(Tnumparss& p, const Tregions& regions, std::vector<std::string>& lines, bool unused,
                bool negative) {
    std::uint32_t n = p.count();
    for (std::uint32_t r = 1; r <= n; ++r)
        for (std::uint32_t c = 1; c <= n; ++c) {
            if (!p.isknown(r, c)) continue;
            std::string where = "[" + regions.name(r) + "," + regions.name(c) + "]";
            if (unused && !p.used(r, c)) lines.push_back(p.name() + where + " not used");
            if (negative && p.used(r, c) && p.get(r, c) < 0)
                lines.push_back(p.name() + where + " < 0");
        }
}

} // namespace

void Tenv::check(std::vector<std::string>& lines, bool unused, bool negative) {
    const Tregions& regions = *regions_;
    for (auto& e : catalogue_) {
        if (auto* b = std::get_if<Tbooleanpars*>(&e.parameter)) {
            // "land" has only the unused test.
            for (std::uint32_t i = 1; i <= (*b)->count(); ++i)
                if (unused && (*b)->isknown(i) && !(*b)->used(i))
                    lines.push_back((*b)->name() + "[" + regions.name(i) + "] not used");
        } else if (auto* s = std::get_if<Tnumpar*>(&e.parameter)) {
            checkscalar(**s, lines, unused, negative);
        } else if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            if (*v == &latitude || *v == &longitude || *v == &GDP) continue;
            checkregions(**v, regions, lines, unused, negative);
        } else if (auto* m = std::get_if<Tnumparss*>(&e.parameter)) {
            if (*m == &BORDERLENGTH) continue;
            checkpairs(**m, regions, lines, unused, negative);
        }
    }
}

void Tenv::edit(const std::string& text, std::uint32_t i) {
    const Tregions& regions = *regions_;
    Tuiservice& ui = context_->ui;
    // Values the region list fixes are refused, for one region or for all:
    // a value for all regions would make every region the same kind of
    // region, at the same place with the same GDP.
    const auto refused = [&](const auto& p) {
        bool fixed = i >= 1 && p.status(i) == stFixed;
        for (std::uint32_t k = 1; i == 0 && k <= p.count() && !fixed; ++k)
            fixed = p.status(k) == stFixed;
        if (fixed)
            ui.warn(p.name() + (i >= 1 ? "[" + regions.name(i) + "]" : std::string()) +
                    " is non-editable");
        return fixed;
    };
    for (auto& e : catalogue_) {
        if (e.name() != text) continue;
        bool ok = false;
        if (auto* b = std::get_if<Tbooleanpars*>(&e.parameter)) {
            if (refused(**b)) continue;
            ok = (*b)->edit(i);
        } else if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            if (refused(**v)) continue;
            ok = (*v)->edit(i, environmentrange(text));
        } else if (auto* s = std::get_if<Tnumpar*>(&e.parameter)) {
            Tnumpar& p = **s;
            if (p.status == stFixed) {
                ui.warn(p.name() + " is non-editable");
                continue;
            }
            ok = p.edit("All", environmentrange(text));
        }
        if (ok) changed = true;
    }
}

} // namespace velmora
