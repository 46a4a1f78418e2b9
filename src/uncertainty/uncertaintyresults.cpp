#include "uncertainty/uncertaintyresults.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "numeric/utilities.h"
#include "uncertainty/sampling.h"

namespace velmora {

const char* const residencetimename = "RESTIMEtot";
const char* const defaultresultsname = "default";
const std::array<double, 7> percentilelevels = {2.5, 5, 25, 50, 75, 95, 97.5};

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

Tresultitem regcompitem(Tmodel& m, std::uint32_t k) {
    return {"CONC[" + m.regcomps.regcompname(k) + "]", m.regcomps.CONC.unit(),
            Tresultitem::Tsource::regcomp, "CONC", k};
}

Tresultitem regionalitem(Tmodel& m, const Tnumpars& p, std::uint32_t region) {
    return {p.name() + "[" + m.regions.name(region) + "]", p.unit(), Tresultitem::Tsource::regional,
            p.name(), region};
}

Tresultitem scalaritem(const Tnumpar& p) {
    return {p.name(), p.unit(), Tresultitem::Tsource::scalar, p.name(), 0};
}

Tresultitem residencetimeitem() {
    return {residencetimename, "s", Tresultitem::Tsource::residencetime, residencetimename, 0};
}

bool startswith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

bool hasemission(Tmodel& m) {
    const Tnumpars& emis = m.regcomps.EMIS;
    for (std::uint32_t k = 1; k <= emis.count(); ++k)
        if (emis.value(k) > 0) return true;
    return false;
}

std::vector<Tresultitem> defaultresultitems(Tmodel& m) {
    std::vector<Tresultitem> items;
    for (std::uint32_t k = 1; k <= m.regcomps.n; ++k)
        if (m.regcomps.exists(k) && m.regcomps.CONC.isknown(k)) items.push_back(regcompitem(m, k));
    if (hasemission(m)) items.push_back(residencetimeitem());
    if (m.results.iFtot.isknown()) items.push_back(scalaritem(m.results.iFtot));
    const auto e = static_cast<std::uint32_t>(m.emi.region);
    for (const Tresultentry& entry : m.results.catalogue()) {
        if (startswith(entry.name(), "RCRtox_"))
            if (auto* const* p = std::get_if<Tnumpars*>(&entry.parameter))
                if (e >= 1 && e <= (*p)->count() && (*p)->isknown(e))
                    items.push_back(regionalitem(m, **p, e));
    }
    for (const Tresultentry& entry : m.results.catalogue())
        if (startswith(entry.name(), "CFtoxpot_") || startswith(entry.name(), "CFtoxact_"))
            if (auto* const* p = std::get_if<Tnumpar*>(&entry.parameter))
                if ((*p)->isknown()) items.push_back(scalaritem(**p));
    return items;
}

std::vector<Tresultitem> resultitems(Tmodel& m, const std::vector<std::string>& asked) {
    std::vector<Tresultitem> items;
    std::set<std::string> names;
    auto add = [&](const Tresultitem& item) {
        if (names.insert(item.name).second) items.push_back(item);
    };
    for (const std::string& wanted : asked) {
        const std::size_t open = wanted.find('[');
        const std::string base = wanted.substr(0, open);
        std::string inner;
        if (open != std::string::npos) {
            if (wanted.back() != ']') throw Eerror("result \"" + wanted + "\": a \"]\" must end it");
            inner = wanted.substr(open + 1, wanted.size() - open - 2);
        }
        auto novalue = [&] {
            return Eerror("result \"" + wanted + "\": the calculation gives it no value");
        };
        if (wanted == defaultresultsname) {
            for (const Tresultitem& item : defaultresultitems(m))
                add(item);
        } else if (wanted == residencetimename) {
            if (!hasemission(m)) throw novalue();
            add(residencetimeitem());
        } else if (base == "CONC") {
            if (inner.empty()) {
                for (std::uint32_t k = 1; k <= m.regcomps.n; ++k)
                    if (m.regcomps.exists(k) && m.regcomps.CONC.isknown(k)) add(regcompitem(m, k));
                continue;
            }
            std::uint32_t found = 0;
            for (std::uint32_t k = 1; k <= m.regcomps.n && !found; ++k)
                if (m.regcomps.regcompname(k) == inner) found = k;
            if (!found)
                throw Eerror("result \"" + wanted + "\": there is no regcomp called \"" + inner +
                             "\"");
            if (!m.regcomps.exists(found) || !m.regcomps.CONC.isknown(found)) throw novalue();
            add(regcompitem(m, found));
        } else if (const Tresultentry* e = m.results.find(base)) {
            if (auto* const* s = std::get_if<Tnumpar*>(&e->parameter)) {
                if (open != std::string::npos)
                    throw Eerror("result \"" + wanted + "\": " + base +
                                 " is one value, not one per region");
                if (!(*s)->isknown()) throw novalue();
                add(scalaritem(**s));
            } else if (auto* const* v = std::get_if<Tnumpars*>(&e->parameter)) {
                const Tnumpars& p = **v;
                if (open == std::string::npos) {
                    for (std::uint32_t r = 1; r <= p.count(); ++r)
                        if (p.isknown(r)) add(regionalitem(m, p, r));
                    continue;
                }
                const std::uint32_t r = m.regions.find(inner);
                if (r == 0)
                    throw Eerror("result \"" + wanted + "\": there is no region called \"" + inner +
                                 "\"");
                if (r > p.count() || !p.isknown(r)) throw novalue();
                add(regionalitem(m, p, r));
            } else {
                throw Eerror("result \"" + wanted +
                             "\": values per pair of regions cannot be followed");
            }
        } else {
            throw Eerror("result \"" + wanted + "\": no result is called \"" + base + "\"");
        }
    }
    return items;
}

std::vector<std::string> splitresultlist(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    int depth = 0;
    for (char ch : text) {
        if (ch == '[') ++depth;
        if (ch == ']' && depth > 0) --depth;
        if (ch == ',' && depth == 0) {
            parts.push_back(trimmed(part));
            part.clear();
        } else {
            part += ch;
        }
    }
    parts.push_back(trimmed(part));
    parts.erase(std::remove(parts.begin(), parts.end(), std::string()), parts.end());
    return parts;
}

// ---- reading ------------------------------------------------------------------------

Tresultreader::Tresultreader(Tmodel& model, const std::vector<Tresultitem>& items) : model_(model) {
    for (const Tresultitem& item : items) {
        Tslot slot;
        slot.index = item.index;
        switch (item.source) {
        case Tresultitem::Tsource::regcomp:
            slot.vector = &model.regcomps.CONC;
            break;
        case Tresultitem::Tsource::residencetime:
            slot.residencetime = true;
            break;
        default: {
            const Tresultentry* e = model.results.find(item.parameter);
            if (!e) throw Eerror("no result is called " + item.parameter);
            if (auto* const* s = std::get_if<Tnumpar*>(&e->parameter)) slot.scalar = *s;
            if (auto* const* v = std::get_if<Tnumpars*>(&e->parameter)) slot.vector = *v;
        }
        }
        slots_.push_back(slot);
    }
}

void Tresultreader::read(float* values) const {
    const float missing = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        const Tslot& s = slots_[k];
        if (s.scalar) {
            values[k] = s.scalar->isknown() ? s.scalar->value : missing;
        } else if (s.vector) {
            values[k] = s.index <= s.vector->count() && s.vector->isknown(s.index)
                            ? s.vector->value(s.index)
                            : missing;
        } else {
            const Tregcomps& rc = model_.regcomps;
            double mass = 0, emission = 0;
            for (std::uint32_t i = 1; i <= rc.n; ++i) {
                emission += rc.EMIS.value(i);
                if (rc.exists(i) && rc.CONC.isknown(i) && rc.V.isknown(i))
                    mass += double(rc.CONC.value(i)) * rc.V.value(i);
            }
            values[k] = emission > 0 ? static_cast<float>(mass / emission) : missing;
        }
    }
}

// ---- statistics ---------------------------------------------------------------------

double percentileof(const std::vector<double>& sorted, double level) {
    if (sorted.empty()) return nan;
    const double position = (static_cast<double>(sorted.size()) - 1) * level / 100;
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + fraction * (sorted[above] - sorted[below]);
}

Tsummary summarize(const std::vector<double>& values) {
    Tsummary s;
    // Running sums in draw order (Welford), so the result does not depend on
    // which thread computed which draw.
    double mean = 0, m2 = 0, logmean = 0, logm2 = 0;
    bool positive = true;
    std::vector<double> sorted;
    sorted.reserve(values.size());
    for (double x : values) {
        if (!std::isfinite(x)) continue;
        sorted.push_back(x);
        const auto n = static_cast<double>(sorted.size());
        const double d = x - mean;
        mean += d / n;
        m2 += d * (x - mean);
        if (x > 0 && positive) {
            const double l = std::log(x), dl = l - logmean;
            logmean += dl / n;
            logm2 += dl * (l - logmean);
        } else {
            positive = false;
        }
    }
    s.n = sorted.size();
    if (s.n == 0) {
        s.mean = s.sd = s.geomean = s.gsd = s.minimum = s.maximum = nan;
        s.percentiles.fill(nan);
        return s;
    }
    const auto n = static_cast<double>(s.n);
    s.mean = mean;
    s.sd = s.n > 1 ? std::sqrt(m2 / (n - 1)) : nan;
    s.geomean = positive ? std::exp(logmean) : nan;
    s.gsd = positive && s.n > 1 ? std::exp(std::sqrt(logm2 / (n - 1))) : nan;
    std::sort(sorted.begin(), sorted.end());
    s.minimum = sorted.front();
    s.maximum = sorted.back();
    for (std::size_t k = 0; k < percentilelevels.size(); ++k)
        s.percentiles[k] = percentileof(sorted, percentilelevels[k]);
    return s;
}

std::vector<double> contributions(const std::vector<double>& outputranks,
                                  const std::vector<std::vector<double>>& inputranks) {
    std::vector<double> shares;
    double total = 0;
    for (const std::vector<double>& ranksofinput : inputranks) {
        const double r = correlation(outputranks, ranksofinput);
        shares.push_back(r * r);
        total += r * r;
    }
    for (double& share : shares)
        share = total > 0 ? share / total : 0;
    return shares;
}

} // namespace velmora
