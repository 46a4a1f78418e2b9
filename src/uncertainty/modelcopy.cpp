#include "uncertainty/modelcopy.h"

#include <type_traits>

#include "model/parametercopy.h"

namespace velmora {

void Tcollectingui::warn(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++warnings_[text];
}

std::unique_ptr<Tprogress> Tcollectingui::progress() {
    return std::make_unique<Tsilentprogress>();
}

std::map<std::string, std::size_t> Tcollectingui::warnings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return warnings_;
}

namespace {

// Both catalogues list the same parameters in the same order.
template <typename Entry>
void copycatalogue(const std::vector<Entry>& from, const std::vector<Entry>& to) {
    for (std::size_t k = 0; k < from.size(); ++k)
        std::visit(
            [&](auto* source) {
                using P = std::remove_pointer_t<decltype(source)>;
                copyparameter(*source, *std::get<P*>(to[k].parameter));
            },
            from[k].parameter);
}

void copyregions(const Tregions& from, Tregions& to) {
    to.clear();
    for (std::uint32_t i = 1; i <= from.count; ++i) {
        Tregionrecord r;
        r.name = from.names.getvalue(i);
        r.abbreviation = from.abbreviations.getvalue(i);
        for (std::size_t g = 0; g < groupingcount; ++g)
            r.groups[g] = from.groupvalues[g].getvalue(i);
        r.row = from.rows.getvalue(i);
        r.latitude = static_cast<float>(from.latitudes.getvalue(i));
        r.longitude = static_cast<float>(from.longitudes.getvalue(i));
        r.GDP = static_cast<float>(from.GDPs.getvalue(i));
        r.land = from.landflags.getvalue(i);
        to.add(r);
    }
}

} // namespace

Tmodelcopy::Tmodelcopy(const Tmodel& source, const std::atomic<bool>* stop)
    : ui(stop), settings(source.settings()), context{settings, ui}, env(context, regions),
      regcomps(context, regions, compartments), sub(context, regions, env),
      emi(context, regions, compartments, regcomps), results(context, regions, sub),
      ref(source.ref), model{context, regions, env,     compartments, regcomps,
                             sub,     emi,     results, ref} {
    copyregions(source.regions, regions);
    env.clear();
    copycatalogue(source.env.catalogue(), env.catalogue());
    env.present = source.env.present;
    env.bordersmissing = source.env.bordersmissing;
    if (source.compartments.count > 0) compartments.define();
    regcomps.build();
    copycatalogue(source.sub.catalogue(), sub.catalogue());
    sub.present = source.sub.present;
    emi.clear();
    for (std::size_t k = 0; k < 8; ++k)
        copyparameter(*source.emi.parameters()[k], *emi.parameters()[k]);
    emi.region = source.emi.region;
    emi.compartment = source.emi.compartment;
    results.clear();
    env.changed = true;
    sub.changed = true;
}

} // namespace velmora
