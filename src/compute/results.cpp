#include "compute/results.h"

#include "model/regions.h"
#include "model/substance.h"
#include "numeric/utilities.h"

namespace velmora {

const std::string& Tresultentry::name() const {
    return std::visit([](auto* p) -> const std::string& { return p->name(); }, parameter);
}

const std::string& Tresultentry::unit() const {
    return std::visit([](auto* p) -> const std::string& { return p->unit(); }, parameter);
}

#define VELMORA_RESULT_UNIT_UNIT(text) text
#define VELMORA_RESULT_UNIT_SUBUNIT(member) sub.member.unit()
#define VELMORA_RESULT_INIT_numpar(member, text, unit) member(context, text, unit)
#define VELMORA_RESULT_INIT_numpars(member, text, unit) member(context, regions, text, unit)
#define VELMORA_RESULT_INIT_numparss(member, text, unit) member(context, regions, text, unit, true)
#define VELMORA_RESULT_INIT(member, text, kind, unit, stage)                                       \
    VELMORA_RESULT_INIT_##kind(member, text, VELMORA_RESULT_UNIT_##unit),

Tresults::Tresults(Tmodelcontext& context, const Tregions& regions, const Tsub& sub)
    : context_(&context), regions_(&regions),
      VELMORA_RESULTS_CATALOGUE(VELMORA_RESULT_INIT) catalogue_() {
#define VELMORA_RESULT_LIST(member, text, kind, unit, stage)                                       \
    catalogue_.push_back({&member, Tstage::stage});
    VELMORA_RESULTS_CATALOGUE(VELMORA_RESULT_LIST)
#undef VELMORA_RESULT_LIST
}

const Tresultentry* Tresults::find(const std::string& text) const {
    for (const auto& e : catalogue_)
        if (e.name() == text) return &e;
    return nullptr;
}

void Tresults::clear() {
    for (auto& e : catalogue_)
        std::visit([](auto* p) { p->clear(); }, e.parameter);
}

void Tresults::check(std::vector<std::string>& lines, bool unused, bool negative, float msr) {
    const Tregions& regions = *regions_;
    auto checkone = [&](const Tresultentry& e) {
        if (auto* s = std::get_if<Tnumpar*>(&e.parameter)) {
            Tnumpar& p = **s;
            if (!p.isknown()) return;
            if (unused && !p.used) lines.push_back(p.name() + " not used");
            if (negative && p.used && p.value < 0) lines.push_back(p.name() + " < 0");
        } else if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            Tnumpars& p = **v;
            for (std::uint32_t i = 1; i <= p.count(); ++i) {
                if (!p.isknown(i)) continue;
                std::string where = "[" + regions.name(i) + "]";
                if (unused && !p.used(i)) lines.push_back(p.name() + where + " not used");
                if (negative && p.used(i) && p.value(i) < 0)
                    lines.push_back(p.name() + where + " < 0");
            }
        } else if (auto* m = std::get_if<Tnumparss*>(&e.parameter)) {
            Tnumparss& p = **m;
            std::uint32_t n = p.count();
            for (std::uint32_t r = 1; r <= n; ++r)
                for (std::uint32_t c = 1; c <= n; ++c) {
                    if (!p.isknown(r, c)) continue;
                    std::string where = "[" + regions.name(r) + "," + regions.name(c) + "]";
                    if (unused && !p.used(r, c)) lines.push_back(p.name() + where + " not used");
                    if (negative && p.used(r, c) && p.value(r, c) < 0)
                        lines.push_back(p.name() + where + " < 0");
                }
        }
    };
    for (const auto& e : catalogue_) {
        const std::string& n = e.name();
        if (n == "iF" || n == "iFtot") continue;
        // ADV_river_outside is checked after ADV_lake_lakesed.
        if (n == "ADV_river_outside") continue;
        checkone(e);
        if (n == "ADV_lake_lakesed") checkone(*find("ADV_river_outside"));
        if (n == "RCRtox_humcarc") break;
    }
    lines.push_back("MSR = " + (msr == 0 ? std::string("0") : generalformat(msr, 7)));
}

} // namespace velmora
