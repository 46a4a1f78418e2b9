#include "compute/allfactors.h"

#include <algorithm>
#include <fstream>
#include <memory>

#include "compute/boxscores.h"
#include "compute/calculation.h"
#include "numeric/errors.h"
#include "numeric/files.h"

namespace velmora {

namespace {

// Settings a run switches off, put back whatever happens.
class Tdisplayguard {
public:
    explicit Tdisplayguard(Tsettings& s)
        : s_(s), nborders_(s.NBordersDisplay), distances_(s.DistancesDisplay) {
        s.NBordersDisplay = 0;
        s.DistancesDisplay = 0;
    }
    ~Tdisplayguard() {
        s_.NBordersDisplay = nborders_;
        s_.DistancesDisplay = distances_;
    }
    Tdisplayguard(const Tdisplayguard&) = delete;
    Tdisplayguard& operator=(const Tdisplayguard&) = delete;

private:
    Tsettings& s_;
    std::uint8_t nborders_, distances_;
};

// The inverse store lives for one run only.
class Tinverseguard {
public:
    Tinverseguard(Tregcomps& rcs, bool use) : rcs_(rcs), use_(use) {
        if (use_) rcs_.inversecache = std::make_unique<Tnummatrix>();
    }
    ~Tinverseguard() {
        if (use_) rcs_.inversecache.reset();
    }
    Tinverseguard(const Tinverseguard&) = delete;
    Tinverseguard& operator=(const Tinverseguard&) = delete;

private:
    Tregcomps& rcs_;
    bool use_;
};

// The user-interface service as the calculations of a run see it: the
// run's Cancel counts as a stop request, so that the inversion, which polls
// only the stop request, ends when Cancel is pressed instead of running to
// its end first. Everything else goes to the real service.
class Tcancelui : public Tuiservice {
public:
    Tcancelui(Tuiservice& ui, Tprogress& progress) : ui_(ui), progress_(progress) {}
    void warn(const std::string& text) override { ui_.warn(text); }
    std::unique_ptr<Tprogress> progress() override { return ui_.progress(); }
    bool editparameter(Teditrequest& request) override { return ui_.editparameter(request); }
    bool stoprequested() override { return ui_.stoprequested() || progress_.cancelled(); }
    void playsound(const std::string& file) override { ui_.playsound(file); }

private:
    Tuiservice& ui_;
    Tprogress& progress_;
};

bool sedimentorgroundwater(std::uint32_t c) {
    return c == lakesed || c == saltlakesed || c == groundwater || c == seased;
}

void takefactors(Tresults& r, Tallfactorsrow& row) {
    Tnumpar* pot[7] = {&r.CFtoxpot_river,    &r.CFtoxpot_lake, &r.CFtoxpot_saltlake,
                       &r.CFtoxpot_seawater, &r.CFtoxpot_soil, &r.CFtoxpot_humnoncarc,
                       &r.CFtoxpot_humcarc};
    Tnumpar* act[7] = {&r.CFtoxact_river,    &r.CFtoxact_lake, &r.CFtoxact_saltlake,
                       &r.CFtoxact_seawater, &r.CFtoxact_soil, &r.CFtoxact_humnoncarc,
                       &r.CFtoxact_humcarc};
    for (int k = 0; k < 7; ++k) {
        row.potknown[k] = pot[k]->isknown();
        row.pot[k] = row.potknown[k] ? pot[k]->value : 0;
        row.actknown[k] = act[k]->isknown();
        row.act[k] = row.actknown[k] ? act[k]->value : 0;
    }
    row.computed = true;
}

// The factors of the boxes after the first one, all from the inverse the
// first one left: the concentrations of an emission into box j are column
// j of the inverse, negated and scaled by the emission and rounded as the
// solve rounds them, and the scorer takes them to the integrated scores
// with the arithmetic of the calculation.
class Tfactorproduct {
public:
    Tfactorproduct(Tmodel& m, const Tallfactorsselection& s, const Tnummatrix& inverse,
                   std::uint32_t first)
        : m_(m) {
        for (std::uint32_t j = first + 1; j <= m.regcomps.n; ++j) {
            std::uint32_t b = m.regcomps.regionof(j), c = m.regcomps.compartmentof(j);
            if (b < s.regions.size() && s.regions[b] && s.compartments[c] &&
                allfactorsqualifies(m, j, s.oecdonly))
                boxes_.push_back(j);
        }
        Tboxscorer scorer(m);
        const std::uint32_t n = m.regcomps.n;
        const std::size_t nb = boxes_.size();
        const double emission = m.settings().EmissionAmount;
        // One pass down the rows of the inverse (stored by rows) puts the
        // columns of all boxes side by side.
        std::vector<std::vector<float>> conc(nb, std::vector<float>(std::size_t(n) + 1, 0));
        const bool dense = inverse.storage() == velmora::dense &&
                           inverse.precision() == precsingle && inverse.cols() == n;
        for (std::uint32_t i = 1; i <= n; ++i) {
            const float* row =
                dense ? inverse.singletable() + std::size_t(i - 1) * inverse.colcapacity() : nullptr;
            for (std::size_t b = 0; b < nb; ++b) {
                const std::uint32_t j = boxes_[b];
                const double x = dense ? row[j - 1] : static_cast<double>(inverse.getvalue(i, j));
                const float solved = static_cast<float>(x * emission);
                conc[b][i] = solved == 0 ? 0.0f : -solved;
            }
        }
        scores_.resize(nb);
        steady_.resize(nb);
        std::vector<float> emis(std::size_t(n) + 1, 0);
        for (std::size_t b = 0; b < nb; ++b) {
            emis[boxes_[b]] = m.settings().EmissionAmount;
            steady_[b] = steadystate(m.regcomps, emis, conc[b]).state == Tsteadystate::found;
            emis[boxes_[b]] = 0;
            if (steady_[b]) scores_[b] = scorer.scores(conc[b]);
        }
    }

    // Fills the row of box j; false when it is not among the boxes or its
    // concentrations are not those of a steady state.
    bool fill(std::uint32_t j, Tallfactorsrow& row) const {
        auto at = std::lower_bound(boxes_.begin(), boxes_.end(), j);
        if (at == boxes_.end() || *at != j) return false;
        const std::size_t b = static_cast<std::size_t>(at - boxes_.begin());
        if (!steady_[b]) return false;
        const Tboxscores& s = scores_[b];
        for (std::size_t c = 0; c < ncategories; ++c) {
            const std::size_t a = ncategories + c;
            row.potknown[c] = m_.ref.held() && characterisationfactor(s.values[c], s.known[c],
                                                                       m_.ref.values[c], row.pot[c]);
            row.actknown[c] = m_.ref.held() && characterisationfactor(s.values[a], s.known[a],
                                                                       m_.ref.values[a], row.act[c]);
            if (!row.potknown[c]) row.pot[c] = 0;
            if (!row.actknown[c]) row.act[c] = 0;
        }
        row.computed = true;
        return true;
    }

private:
    Tmodel& m_;
    std::vector<std::uint32_t> boxes_;
    std::vector<Tboxscores> scores_;
    std::vector<bool> steady_;
};

} // namespace

bool isoecd(Tmodel& m, std::uint32_t region) {
    return region <= m.env.OECD.count() && m.env.OECD.value(region) == "OECD";
}

bool allfactorsqualifies(Tmodel& m, std::uint32_t i, bool oecdonly) {
    std::uint32_t b = m.regcomps.regionof(i), c = m.regcomps.compartmentof(i);
    if (oecdonly && !isoecd(m, b)) return false;
    if (sedimentorgroundwater(c)) return false;
    return m.regcomps.V.get(i) > 0;
}

Tallfactorsselection Tallfactorsselection::defaults(Tmodel& m, bool oecdonly) {
    Tallfactorsselection s;
    s.oecdonly = oecdonly;
    s.regions.assign(m.regions.count + 1, false);
    for (std::uint32_t r = 1; r <= m.regions.count; ++r) {
        bool chosen = !m.env.island(r) || m.env.Npop.get(r) > 0;
        if (oecdonly && !isoecd(m, r)) chosen = false;
        s.regions[r] = chosen;
    }
    for (std::uint32_t c = 1; c <= 12; ++c)
        s.compartments[c] = c != nat && c != lakesed && c != saltlakesed && c != seased;
    return s;
}

std::vector<std::string> readselectionfile(const std::string& path) {
    std::string text = readregularfile(path, "the selection file", 1 << 20);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::size_t>
Tallfactorsselection::selectregions(Tmodel& m, const std::vector<std::string>& lines) {
    regions.assign(m.regions.count + 1, false);
    std::vector<std::size_t> unmatched;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        bool found = false;
        for (std::uint32_t r = 1; r <= m.regions.count; ++r)
            if (m.regions.name(r) == lines[k]) regions[r] = found = true;
        if (!found && !lines[k].empty()) unmatched.push_back(k + 1);
    }
    return unmatched;
}

std::string selectionwarning(const std::string& path, const std::vector<std::string>& lines,
                             const std::vector<std::size_t>& unmatched, std::size_t selected) {
    std::string text;
    if (selected == 0) text = path + " selects no region";
    if (!unmatched.empty()) {
        text += (text.empty() ? path : std::string(";")) + " names no region in line";
        text += unmatched.size() > 1 ? "s" : "";
        for (std::size_t k = 0; k < unmatched.size() && k < 5; ++k)
            text += (k ? ", " : " ") + std::to_string(unmatched[k]) + " (\"" +
                    messagetext(lines[unmatched[k] - 1], 40) + "\")";
        if (unmatched.size() > 5) text += " and " + std::to_string(unmatched.size() - 5) + " more";
        text += "; names are matched exactly, letter case and blanks included";
    }
    return text;
}

bool Tallfactorsselection::selectregionsfromfile(Tmodel& m, const std::string& path) {
    std::vector<std::string> lines;
    try {
        lines = readselectionfile(path);
    } catch (const Eerror& e) {
        m.ui().warn(e.what());
        return false;
    }
    std::vector<std::size_t> unmatched = selectregions(m, lines);
    std::string warning = selectionwarning(path, lines, unmatched, regioncount());
    if (!warning.empty()) m.ui().warn(warning);
    return true;
}

std::size_t Tallfactorsselection::regioncount() const {
    std::size_t n = 0;
    for (std::size_t r = 1; r < regions.size(); ++r)
        n += regions[r];
    return n;
}

std::size_t Tallfactorsselection::compartmentcount() const {
    std::size_t n = 0;
    for (std::size_t c = 1; c < compartments.size(); ++c)
        n += compartments[c];
    return n;
}

Tallfactorsrun runallfactors(Tmodel& m, const Tallfactorsselection& s, Tprogress& progress) {
    Tallfactorsrun run;
    Tregcomps& rcs = m.regcomps;
    Tdisplayguard displays(m.settings());
    Tinverseguard inverse(rcs, s.useinversion);
    Tcancelui cancelui(m.ui(), progress);
    Tmodelcontext context{m.settings(), cancelui};
    Tmodel calculation{context, m.regions, m.env,     m.compartments, m.regcomps,
                       m.sub,   m.emi,     m.results, m.ref};
    // With the inverse at hand, the boxes after the first come from one
    // product; the first box and any box whose column looks wrong are
    // calculated the ordinary way, which reports what is wrong with them.
    std::unique_ptr<Tfactorproduct> product;
    std::uint32_t calculated = 0, last = 0;
    progress.showcancel();
    progress.startbar(rcs.n);
    for (std::uint32_t i = 1; i <= rcs.n; ++i) {
        std::uint32_t b = m.regcomps.regionof(i), c = m.regcomps.compartmentof(i);
        if (s.oecdonly && !isoecd(m, b)) continue;
        progress.setmaintext(rcs.regcompname(i));
        progress.stepbar();
        if (progress.cancelled() || m.ui().stoprequested()) {
            run.cancelled = true;
            break;
        }
        if (!allfactorsqualifies(m, i, s.oecdonly)) continue;
        run.rows.push_back({});
        Tallfactorsrow& row = run.rows.back();
        row.regcomp = i;
        bool chosen = b < s.regions.size() && s.regions[b] && s.compartments[c];
        if (!chosen) continue;
        if (product && product->fill(i, row)) {
            ++run.computed;
            last = i;
            continue;
        }
        m.emi.set(b, c);
        bool solved = calculate(calculation, s.useinversion, nullptr, &progress);
        // A stopped inversion leaves no inverse to trust: the run ends there.
        if (progress.cancelled() || m.ui().stoprequested()) {
            run.cancelled = true;
            break;
        }
        if (!solved) {
            run.singular = true;
            break;
        }
        takefactors(m.results, row);
        ++run.computed;
        last = calculated = i;
        if (!product && !s.boxbybox && rcs.inversecache && rcs.inversecache->rows() == rcs.n)
            product = std::make_unique<Tfactorproduct>(m, s, *rcs.inversecache, i);
    }
    // The results are those of the last box, as if each had been calculated.
    if (last != calculated) {
        m.emi.set(m.regcomps.regionof(last), m.regcomps.compartmentof(last));
        calculate(calculation, s.useinversion, nullptr, &progress);
    }
    return run;
}

} // namespace velmora
