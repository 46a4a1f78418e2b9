#include "compute/allfactors.h"

#include <fstream>

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
    }
    return run;
}

} // namespace velmora
