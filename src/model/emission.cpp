#include "model/emission.h"

namespace velmora {

const std::array<const char*, 14> referenceresultnames = {
    "IPICRtox_river",      "IPICRtox_lake",       "IPICRtox_saltlake", "IPICRtox_seawater",
    "IPICRtox_soil",       "IPICRtox_humnoncarc", "IPICRtox_humcarc",  "IAICRtox_river",
    "IAICRtox_lake",       "IAICRtox_saltlake",   "IAICRtox_seawater", "IAICRtox_soil",
    "IAICRtox_humnoncarc", "IAICRtox_humcarc"};

Temi::Temi(Tmodelcontext& context, const Tregions& regions, const Tcompartments& compartments,
           const Tregcomps& regcomps)
    : to_air(context, regions, "to_air", "kg*s^-1"), to_nat(context, regions, "to_nat", "kg*s^-1"),
      to_agr(context, regions, "to_agr", "kg*s^-1"), to_urb(context, regions, "to_urb", "kg*s^-1"),
      to_river(context, regions, "to_river", "kg*s^-1"),
      to_lake(context, regions, "to_lake", "kg*s^-1"),
      to_saltlake(context, regions, "to_saltlake", "kg*s^-1"),
      to_seawater(context, regions, "to_seawater", "kg*s^-1"), context_(&context),
      regions_(&regions), compartments_(&compartments), regcomps_(&regcomps) {
    clear();
}

std::array<Tnumpars*, 8> Temi::parameters() {
    return {&to_air, &to_nat, &to_agr, &to_urb, &to_river, &to_lake, &to_saltlake, &to_seawater};
}

Tnumpars* Temi::parameterof(std::uint32_t c) {
    switch (c) {
    case air:
        return &to_air;
    case nat:
        return &to_nat;
    case agr:
        return &to_agr;
    case urb:
        return &to_urb;
    case river:
        return &to_river;
    case lake:
        return &to_lake;
    case saltlake:
        return &to_saltlake;
    case seawater:
        return &to_seawater;
    default:
        return nullptr;
    }
}

void Temi::clear() {
    for (Tnumpars* p : parameters())
        p->clear();
    region = 1;
    compartment = 1;
}

std::uint32_t Temi::regcomp() const {
    return compartments_->count * static_cast<std::uint32_t>(region - 1) +
           static_cast<std::uint32_t>(compartment);
}

bool Temi::set(std::uint32_t r, std::uint32_t c) {
    clear();
    std::uint32_t nreg = regions_->count;
    for (Tnumpars* p : parameters())
        for (std::uint32_t i = 1; i <= nreg; ++i)
            p->setdefault(i, 0);
    Tnumpars* target = parameterof(c);
    if (target && r >= 1 && r <= nreg) target->setdefault(r, context_->settings.EmissionAmount);
    region = static_cast<std::int32_t>(r);
    compartment = static_cast<std::int32_t>(c);
    if (!target) return false;
    std::uint32_t k = Tregcomps::regcompnumber(r, c);
    return k <= regcomps_->existsflags.count() && regcomps_->existsflags.getvalue(k);
}

std::string Temi::refusal(std::uint32_t r, std::uint32_t c) const {
    if (r < 1 || r > regions_->count || c < 1 || c > compartments_->count) return {};
    const std::uint32_t k = Tregcomps::regcompnumber(r, c);
    const std::string box = regcomps_->regcompname(k);
    const std::string effect = ". Nothing is emitted, and every concentration is 0.";
    if (c == lakesed || c == saltlakesed || c == groundwater || c == seased)
        return "No emission can go to " + box + ": sediments and groundwater receive none" +
               effect;
    // Which regcomps exist is known from the volumes of a calculation;
    // before the first one, land and sea tell at least the compartments a
    // region of its kind never has.
    const Tbooleanvector& exists = regcomps_->existsflags;
    bool calculated = false;
    for (std::uint32_t j = 1; j <= exists.count() && !calculated; ++j)
        calculated = exists.getvalue(j);
    bool present = true;
    if (calculated)
        present = k <= exists.count() && exists.getvalue(k);
    else if (r <= regions_->landflags.count())
        present = regions_->landflags.getvalue(r) ? c != seawater : c == air;
    if (!present)
        return "No emission can go to " + box + ": " + regions_->name(r) + " has no " +
               compartments_->name(c) + effect;
    return {};
}

template <typename Step> void Temi::move(std::uint32_t r, std::uint32_t c, Step step) {
    std::uint32_t nreg = regions_->count;
    if (nreg == 0) return;
    std::uint32_t r0 = r, c0 = c;
    // Every regcomp is tried at most once, so the move always ends.
    for (std::uint32_t tries = 0; tries < nreg * ncompartments; ++tries) {
        if (set(r, c)) return;
        step(r, c);
    }
    set(r0, c0);
}

namespace {
void stepnext(std::uint32_t& r, std::uint32_t& c, std::uint32_t nreg) {
    if (c == ncompartments) {
        r = r >= nreg ? 1 : r + 1;
        c = 1;
    } else {
        ++c;
    }
}
void stepprevious(std::uint32_t& r, std::uint32_t& c, std::uint32_t nreg) {
    if (c != 1) {
        --c;
    } else {
        r = r <= 1 ? nreg : r - 1;
        c = ncompartments;
    }
}
} // namespace

void Temi::first() {
    std::uint32_t nreg = regions_->count;
    move(1, 1, [nreg](std::uint32_t& r, std::uint32_t& c) { stepnext(r, c, nreg); });
}

void Temi::next() {
    std::uint32_t nreg = regions_->count;
    std::uint32_t r = static_cast<std::uint32_t>(region),
                  c = static_cast<std::uint32_t>(compartment);
    stepnext(r, c, nreg);
    move(r, c, [nreg](std::uint32_t& rr, std::uint32_t& cc) { stepnext(rr, cc, nreg); });
}

void Temi::previous() {
    std::uint32_t nreg = regions_->count;
    std::uint32_t r = static_cast<std::uint32_t>(region),
                  c = static_cast<std::uint32_t>(compartment);
    stepprevious(r, c, nreg);
    move(r, c, [nreg](std::uint32_t& rr, std::uint32_t& cc) { stepprevious(rr, cc, nreg); });
}

void Temi::last() {
    std::uint32_t nreg = regions_->count;
    move(nreg, ncompartments,
         [nreg](std::uint32_t& r, std::uint32_t& c) { stepprevious(r, c, nreg); });
}

// The region moves keep the compartment and do not wrap: at the end of the
// list, or with no valid regcomp further on, the emission stays where it is.
void Temi::nextregion() {
    std::uint32_t nreg = regions_->count;
    std::uint32_t c = static_cast<std::uint32_t>(compartment);
    for (std::uint32_t r = static_cast<std::uint32_t>(region) + 1; r <= nreg; ++r) {
        std::uint32_t k = Tregcomps::regcompnumber(r, c);
        if (parameterof(c) && k <= regcomps_->existsflags.count() &&
            regcomps_->existsflags.getvalue(k)) {
            set(r, c);
            return;
        }
    }
}

void Temi::previousregion() {
    std::uint32_t c = static_cast<std::uint32_t>(compartment);
    for (std::int32_t r = region - 1; r >= 1; --r) {
        std::uint32_t k = Tregcomps::regcompnumber(static_cast<std::uint32_t>(r), c);
        if (parameterof(c) && k <= regcomps_->existsflags.count() &&
            regcomps_->existsflags.getvalue(k)) {
            set(static_cast<std::uint32_t>(r), c);
            return;
        }
    }
}

void Temi::edit(const std::string& text, std::uint32_t i) {
    // Nothing, or up to the largest emission amount the settings take.
    const Tvaluerange amount{0, 1e15L, false};
    for (Tnumpars* p : parameters()) {
        if (p->name() != text) continue;
        if (i >= 1 && p->status(i) == stFixed) {
            context_->ui.warn(p->name() + "[" + regions_->name(i) + "] is non-editable");
            continue;
        }
        p->edit(i, amount);
    }
}

void Tref::clear() {
    region = 0;
    compartment = 0;
    substance.clear();
    values.fill(0);
}

void Tref::takepresent(const Temi& emi, const std::string& substancename,
                       const std::array<float, 14>& results) {
    region = emi.region;
    compartment = static_cast<std::uint8_t>(emi.compartment);
    substance = substancename;
    values = results;
}

} // namespace velmora
