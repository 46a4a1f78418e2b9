#include "uncertainty/uncertaininputs.h"

#include <cctype>
#include <cmath>
#include <map>
#include <set>

#include "model/restorepoint.h"
#include "numeric/utilities.h"

namespace velmora {

const char* const allregions = "All";

std::string scalename(Tinputscale scale) {
    return scale == Tinputscale::factor ? "factor" : "value";
}

bool parsescale(const std::string& text, Tinputscale& scale) {
    std::string lower;
    for (char ch : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == "factor") {
        scale = Tinputscale::factor;
        return true;
    }
    if (lower == "value") {
        scale = Tinputscale::value;
        return true;
    }
    return false;
}

namespace {

bool isallregions(const std::string& region) {
    return region.empty() || region == allregions;
}

// The real parameter of that name, in the substance or else the environment.
struct Tlookup {
    Tnumpar* scalar = nullptr;
    Tnumpars* vector = nullptr;
    bool substance = false;
    bool found = false;
};

Tlookup lookup(Tmodel& m, const std::string& name) {
    Tlookup l;
    auto take = [&](auto* p) {
        using P = std::remove_pointer_t<decltype(p)>;
        if constexpr (std::is_same_v<P, Tnumpar>) l.scalar = p;
        if constexpr (std::is_same_v<P, Tnumpars>) l.vector = p;
    };
    if (const Tsubentry* e = m.sub.find(name)) {
        l.found = l.substance = true;
        std::visit(take, e->parameter);
    } else if (const Tenventry* e = m.env.find(name)) {
        l.found = true;
        std::visit(take, e->parameter);
    }
    return l;
}

// Parameters the substance's rules derive when the substance does not give
// them; a draw multiplies the value derived from the drawn sources.
bool derivable(const std::string& name) {
    return name == "HENRY" || name == "Koc" || name == "krad_OH";
}

// Whether one stored value can take the input: a factor needs a known
// finite value to multiply; nothing can be set where the value is hidden
// (the compartment or property does not exist there). Empty when it can.
std::string valueproblem(char status, bool infinite, Tinputscale scale) {
    if (status == stHidden) return "does not apply here (the value is hidden)";
    if (scale == Tinputscale::factor && status == stUnknown)
        return "has no value for a factor to multiply";
    if (scale == Tinputscale::factor && infinite) return "is infinite, which no factor changes";
    return {};
}

} // namespace

std::string Tuncertaininput::key() const {
    return isallregions(region) ? parameter : parameter + "[" + region + "]";
}

const char* valuecolumn(int k) {
    static const char* const columns[] = {Tinputcolumns::value1, Tinputcolumns::value2,
                                          Tinputcolumns::value3, Tinputcolumns::lower,
                                          Tinputcolumns::upper};
    return columns[k - 1];
}

Euncertaintysetting::Euncertaintysetting(std::string table_, std::size_t row_, std::string column_,
                                         std::string problem_)
    : Eerror((row_ ? "Row " + std::to_string(row_) + " of the " + table_ + ", column \"" + column_ +
                         "\": "
                   : "\"" + column_ + "\": ") +
             problem_),
      table(std::move(table_)), row(row_), column(std::move(column_)),
      problem(std::move(problem_)) {}

void checkinputs(Tmodel& model, const std::vector<Tuncertaininput>& inputs,
                 const std::vector<Tinputcorrelation>& correlations, bool allowzerospread) {
    std::map<std::string, std::size_t> rows;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const Tuncertaininput& in = inputs[i];
        const std::size_t row = i + 1;
        auto fail = [&](const char* column, const std::string& problem) {
            throw Euncertaintysetting("inputs", row, column, problem);
        };
        if (in.parameter.empty()) fail(Tinputcolumns::parameter, "no parameter is named");
        Tlookup l = lookup(model, in.parameter);
        if (!l.found)
            fail(Tinputcolumns::parameter,
                 "no substance or environment parameter is called \"" + in.parameter + "\"");
        if (!l.scalar && !l.vector)
            fail(Tinputcolumns::parameter,
                 in.parameter +
                     " is not one real number or one per region, so it cannot be varied");
        std::uint32_t region = 0;
        if (!isallregions(in.region)) {
            if (l.scalar)
                fail(Tinputcolumns::region,
                     in.parameter + " is one value for every region: the region must be All");
            region = model.regions.find(in.region);
            if (region == 0)
                fail(Tinputcolumns::region, "there is no region called \"" + in.region + "\"");
        }
        int value = 0;
        std::string problem = in.distribution.problem(value, allowzerospread);
        if (!problem.empty()) fail(valuecolumn(value), problem);
        std::string where = in.key();
        if (l.scalar) {
            problem = valueproblem(l.scalar->status, l.scalar->isinfinite(), in.scale);
        } else if (region != 0) {
            problem =
                region <= l.vector->count()
                    ? valueproblem(l.vector->status(region), l.vector->isinfinite(region), in.scale)
                    : std::string("has no value for a factor to multiply");
        } else {
            problem = "has no region that can take it";
            for (std::uint32_t r = 1; r <= l.vector->count() && !problem.empty(); ++r)
                if (valueproblem(l.vector->status(r), l.vector->isinfinite(r), in.scale).empty())
                    problem.clear();
        }
        if (!problem.empty()) fail(Tinputcolumns::parameter, where + " " + problem);
        auto [it, added] = rows.emplace(where, row);
        if (!added)
            fail(Tinputcolumns::parameter,
                 where + " is varied in row " + std::to_string(it->second) + " already");
    }
    std::map<std::pair<std::string, std::string>, std::size_t> pairs;
    for (std::size_t j = 0; j < correlations.size(); ++j) {
        const Tinputcorrelation& c = correlations[j];
        const std::size_t row = j + 1;
        auto fail = [&](const char* column, const std::string& problem) {
            throw Euncertaintysetting("correlations", row, column, problem);
        };
        if (!rows.count(c.first))
            fail(Tinputcolumns::first, "no input is called \"" + c.first + "\"");
        if (!rows.count(c.second))
            fail(Tinputcolumns::second, "no input is called \"" + c.second + "\"");
        if (c.first == c.second)
            fail(Tinputcolumns::second, "an input cannot be correlated with itself");
        if (!(std::abs(c.rankcorrelation) < 1))
            fail(Tinputcolumns::rankcorrelation, "must lie between -1 and 1 (both excluded)");
        auto key = c.first < c.second ? std::make_pair(c.first, c.second)
                                      : std::make_pair(c.second, c.first);
        auto [it, added] = pairs.emplace(key, row);
        if (!added)
            fail(Tinputcolumns::second,
                 "the pair is correlated in row " + std::to_string(it->second) + " already");
    }
}

// ---- defaults ---------------------------------------------------------------------

namespace {

// Geometric standard deviations of the defaults, from the 95 % range factor
// ("confidence factor" Cf: 95 % of the values lie between median / Cf and
// median * Cf; MacLeod, Fraser, Mackay 2002, Environ Toxicol Chem
// 21:700-709): GSD = Cf^(1/1.96).
//
// Physico-chemical properties, Cf 3: measured values of one property often
// disagree by a few tenths of a log unit. Estimated values are far less
// certain (prediction errors of 0.7-1.4 log units for log Kow and log Kaw,
// 1.7-1.8 for vapour pressure and solubility: Brown et al. 2024, J
// Cheminform 16:65); a user with estimates widens these.
const double physchem = 1.751;
// Koc from Kow, or measured: the scatter of soil sorption about the
// regressions the substance rules use is 0.45 log units (Sabljic, Gusten,
// Verhaar, Hermens 1995, Chemosphere 31:4489-4514): GSD 10^0.45.
const double sorption = 2.818;
// Half-lives, Cf 10: media half-lives are the least certain property of a
// substance, rarely known to better than an order of magnitude (Webster,
// Mackay, Wania 1998, Environ Toxicol Chem 17:2148-2158).
const double halflife = 3.238;
// The OH rate constant: structure-activity estimates fall within a factor
// of 2 of measurements for about 90 % of substances (Kwok, Atkinson 1995,
// Atmos Environ 29:1685-1695): GSD 2^(1/1.645).
const double ohrate = 1.524;
// Bioconcentration and biotransfer factors, Cf 10: the regressions on Kow
// scatter by about an order of magnitude (Travis, Arms 1988, Environ Sci
// Technol 22:271-274).
const double bioconcentration = 3.238;
// Effect thresholds, Cf 10: extrapolations from test species and endpoints
// span about two orders of magnitude (Huijbregts et al. 2005, Integr
// Environ Assess Manag 1:181-244).
const double effect = 3.238;

struct Tdefaultspread {
    const char* parameter;
    double gsd;
};

const Tdefaultspread defaultspreads[] = {
    {"VP_TEMPtest", physchem},
    {"SOL", physchem},
    {"Kow", physchem},
    {"HENRY", physchem},
    {"K_airwater", physchem},
    {"Koc", sorption},
    {"Kp_soil", sorption},
    {"Kp_sed", sorption},
    {"Kp_susp", sorption},
    {"BCF_fish", bioconcentration},
    {"BCFsoil_leafcrops", bioconcentration},
    {"BCFair_leafcrops", bioconcentration},
    {"BCF_rootcrops", bioconcentration},
    {"BCF_meat", bioconcentration},
    {"BCF_milk", bioconcentration},
    {"DT50photo_air", halflife},
    {"DT50bio_freshwater_TEMPtest", halflife},
    {"DT50bio_seawater_TEMPtest", halflife},
    {"DT50abio_sed", halflife},
    {"DT50aerbio_sed_TEMPtest", halflife},
    {"DT50anaerbio_sed", halflife},
    {"DT50abio_saltlakesed", halflife},
    {"DT50aerbio_saltlakesed", halflife},
    {"DT50anaerbio_saltlakesed", halflife},
    {"DT50abio_seased", halflife},
    {"DT50aerbio_seased_TEMPtest", halflife},
    {"DT50anaerbio_seased", halflife},
    {"DT50abio_soil", halflife},
    {"DT50bio_soil_TEMPtest", halflife},
    {"DT50hydro_water_TEMPtest", halflife},
    {"DT50photo_water", halflife},
    {"krad_OH", ohrate},
    {"kdeg_air", halflife},
    {"EFFECT_aquatox", effect},
    {"EFFECT_seatox", effect},
    {"EFFECT_terrtox", effect},
    {"EFFECThum_noncarc", effect},
    {"EFFECThum_carc", effect},
};

} // namespace

std::vector<Tuncertaininput> defaultinputs(Tmodel& model) {
    std::vector<Tuncertaininput> inputs;
    for (const Tdefaultspread& d : defaultspreads) {
        Tnumpar* p = lookup(model, d.parameter).scalar;
        if (!p || !p->isknown() || p->isinfinite() || !(p->value > 0)) continue;
        // A Henry constant or OH rate the rules derive varies with its sources.
        if ((p->name() == "HENRY" || p->name() == "krad_OH") && p->isdefault()) continue;
        Tuncertaininput in;
        in.parameter = d.parameter;
        in.distribution = {Tdistributionkind::lognormal, 1.0, d.gsd, 0.0, {}, {}};
        inputs.push_back(in);
    }
    return inputs;
}

// ---- setting a draw ------------------------------------------------------------------

struct Tinputsetter::Ttarget {
    Tnumpar* scalar = nullptr;
    Tnumpars* vector = nullptr;
    std::uint32_t region = 0; // 0: every region
    Tinputscale scale = Tinputscale::factor;
    bool derived = false;
    std::size_t index = 0;
};

Tinputsetter::Tinputsetter(Tmodel& model, const std::vector<Tuncertaininput>& inputs)
    : model_(model) {
    std::set<const void*> kept;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const Tuncertaininput& in = inputs[k];
        Tlookup l = lookup(model, in.parameter);
        if (!l.scalar && !l.vector) throw Eerror(in.parameter + " cannot be varied");
        Ttarget t;
        t.scalar = l.scalar;
        t.vector = l.vector;
        t.region = isallregions(in.region) ? 0 : model.regions.find(in.region);
        t.scale = in.scale;
        t.index = k;
        t.derived = l.substance && l.scalar && derivable(in.parameter) && l.scalar->isdefault();
        targets_.push_back(t);
        if (l.substance) {
            substance_ = true;
        } else {
            environment_ = true;
            const void* p = l.scalar ? static_cast<const void*>(l.scalar) : l.vector;
            if (kept.insert(p).second)
                restore_.push_back(l.scalar ? restorepoint(l.scalar) : restorepoint(l.vector));
        }
    }
    // The rules may rewrite any scalar of the substance: all of them go back.
    if (substance_)
        for (const Tsubentry& e : model.sub.catalogue())
            std::visit([&](auto* p) { restore_.push_back(restorepoint(p)); }, e.parameter);
}

Tinputsetter::~Tinputsetter() = default;

void Tinputsetter::set(const double* values) {
    for (const auto& r : restore_)
        r();
    auto put = [&](const Ttarget& t) {
        const double x = values[t.index];
        auto drawn = [&](double base) {
            return static_cast<float>(t.scale == Tinputscale::factor ? base * x : x);
        };
        if (t.scalar) {
            Tnumpar& p = *t.scalar;
            if (p.ishidden() ||
                (t.scale == Tinputscale::factor && (p.isunknown() || p.isinfinite())))
                return;
            // A drawn primary is a value of its own: the rules must not put
            // their default back over it.
            char status = p.isdefault() && !t.derived ? stEdited : p.status;
            if (!p.isknown()) status = stEdited;
            p.set(drawn(p.value), status);
            return;
        }
        Tnumpars& p = *t.vector;
        const std::uint32_t from = t.region ? t.region : 1, to = t.region ? t.region : p.count();
        for (std::uint32_t i = from; i <= to && i <= p.count(); ++i) {
            if (p.ishidden(i)) continue;
            if (t.scale == Tinputscale::factor && (p.isunknown(i) || p.isinfinite(i))) continue;
            p.set(i, drawn(p.value(i)), p.isknown(i) ? p.status(i) : stEdited);
        }
    };
    for (const Ttarget& t : targets_)
        if (!t.derived) put(t);
    if (substance_) model_.sub.settypedefaults();
    for (const Ttarget& t : targets_)
        if (t.derived) put(t);
    if (environment_) model_.env.changed = true;
    if (substance_) model_.sub.changed = true;
}

} // namespace velmora
