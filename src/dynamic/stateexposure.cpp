#include "dynamic/stateexposure.h"

#include <variant>

#include "compute/calculation.h"
#include "model/restorepoint.h"

namespace velmora {

namespace {

bool staged(const Tresultentry& e) {
    return e.stage == Tstage::exposure || e.stage == Tstage::risk;
}

bool instate(const Tresultentry& e) {
    static const char* const left[] = {"REEXPORT_", "iF",          "RPICRtox_",  "RAICRtox_",
                                       "CFtox",     "DISTANCEreg", "NBORDERSreg"};
    if (!staged(e)) return false;
    for (const char* prefix : left)
        if (e.name().rfind(prefix, 0) == 0) return false;
    return true;
}

// Puts things back when it goes out of scope, also after an exception.
struct Trestore {
    std::vector<std::function<void()>> points;
    ~Trestore() {
        for (auto& p : points)
            p();
    }
};

} // namespace

void withstate(Tmodel& m, const std::vector<double>& mass, const std::function<void()>& look) {
    Trestore restore;
    Tregcomps& rcs = m.regcomps;
    restore.points.push_back(restorepoint(&rcs.CONC));
    for (const Tresultentry& e : m.results.catalogue())
        if (staged(e))
            restore.points.push_back(
                std::visit([](auto* p) { return restorepoint(p); }, e.parameter));
    rcs.CONC.clear();
    for (std::uint32_t k = 1; k <= rcs.n; ++k) {
        const double v = rcs.V.value(k);
        const double x = k <= mass.size() && v > 0 ? mass[k - 1] / v : 0.0;
        rcs.CONC.setdefault(k, static_cast<float>(x));
    }
    computeconcentrations(m);
    computedoses(m);
    computeriskratios(m);
    computeintakes(m);
    computeimpactscores(m);
    look();
}

std::vector<std::string> stateresultnames(const Tmodel& m, bool perregion) {
    std::vector<std::string> names;
    for (const Tresultentry& e : m.results.catalogue()) {
        if (!instate(e)) continue;
        const bool regional = std::holds_alternative<Tnumpars*>(e.parameter);
        if (regional == perregion) names.push_back(e.name());
    }
    return names;
}

} // namespace velmora
