#include "app/cli/commands.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "app/cli/analysiscommands.h"
#include "app/cli/dynamiccommand.h"
#include "app/cli/outputfolder.h"
#include "app/cli/uncertaintycommand.h"
#include "app/workspace.h"
#include "compute/allfactors.h"
#include "compute/calculation.h"
#include "model/regions.h"
#include "model/substance.h"
#include "numeric/checksum.h"
#include "numeric/files.h"
#include "numeric/utilities.h"

namespace velmora {

namespace {

const char* usage =
    "usage: velmora-cli COMMAND [OPTIONS]\n"
    "commands:\n"
    "  dump environment [WORLD]             every environment value\n"
    "  dump substance [WORLD] [--substance NAME]\n"
    "                                       the substance after import and type defaults\n"
    "  dump results [WORLD] [--substance NAME] [--reference REF]\n"
    "                                       start-up and calculation, then every result\n"
    "  list substances [--substances FILE]  the substance names of the workbook, in order\n"
    "  calculate [WORLD] [--substance NAME] [--emission REGION:COMPARTMENT] [--factors]\n"
    "            [--with-restime] [--reference REF] --out DIR\n"
    "                                       one calculation written as TSV tables to DIR,\n"
    "                                       with run.tsv naming what made them\n"
    "  factors [WORLD] [--substance NAME | --all-substances] [--regions FILE]\n"
    "          [--compartments LIST] [--no-inversion] [--reference REF] --out DIR\n"
    "                                       characterisation factors of every chosen\n"
    "                                       emission box, one TSV per substance\n"
    "  balance [WORLD] [--substance NAME] [--emission REGION:COMPARTMENT]\n"
    "          --regcomp REGION:COMPARTMENT [--net]\n"
    "                                       the gross (or net) mass balance of one box\n"
    "  explain [WORLD] [--substance NAME] [--emission REGION:COMPARTMENT] --region NAME\n"
    "          [--dose] [--indicator none|each|region|world]\n"
    "                                       the compartment (or route) buttons of a region,\n"
    "                                       World, Countries or Seas, and their breakdowns\n"
    "  dynamic [WORLD] [--substance NAME] [--emission REGION:COMPARTMENT [--stop TIME]]\n"
    "          [--emissions FILE] [--start-steady REGION:COMPARTMENT] --until TIME\n"
    "          [--times LIST] [--exposure-times LIST] [--tolerance X] [--reference REF]\n"
    "          --out DIR\n"
    "                                       the masses of every box in time, from an empty\n"
    "                                       world (or the steady state of --start-steady)\n"
    "                                       under the emission amount into --emission and\n"
    "                                       the pieces of FILE (tab-separated: region,\n"
    "                                       compartment, from, to, rate, rate_end; kg/s)\n"
    "  uncertainty [WORLD] [--substance NAME] [--emission REGION:COMPARTMENT] [--draws N]\n"
    "              [--seed K] [--inputs FILE.xlsx] [--results NAMES] [--reference REF]\n"
    "              [--threads T] [--with-draws] --out DIR\n"
    "                                       Monte Carlo over the inputs of FILE.xlsx (default:\n"
    "                                       the substance's own defaults); N draws (1000) of a\n"
    "                                       Latin hypercube with seed K (1); NAMES as\n"
    "                                       \"CONC,iFtot,C_air[Netherlands]\" (default: every\n"
    "                                       CONC, RESTIMEtot, iFtot, risk ratios of the emission\n"
    "                                       region, the factors); statistics and contributions\n"
    "                                       to variance as TSV tables, draws.tsv on request\n"
    "  help\n"
    "WORLD options: --parameters FILE --borders FILE --substances FILE --level N --group TEXT\n"
    "Characterisation factors are relative to a reference: by default the start-up substance\n"
    "at the start-up box, as in the program; --reference NAME[:REGION:COMPARTMENT] or none.\n"
    "Dumps write one line per value: name, region (\"row,column\" for pairs, empty for\n"
    "scalars), value, status letter. Warnings go to standard error.\n"
    "TIME is a number and a unit: s, h, d or y (365.25 days), as in 100y. LIST is TIMEs\n"
    "separated by commas in increasing order, lin:N (N evenly spaced) or log:N (N evenly\n"
    "spaced in log time over four decades); the default is lin:100.\n";

const std::vector<std::string> worldoptions = {"parameters", "borders", "substances", "level",
                                               "group"};

std::string programdirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

struct Toptions {
    std::map<std::string, std::string> values;
    bool has(const std::string& name) const { return values.count(name) > 0; }
    std::string get(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

Toptions parseoptions(const std::vector<std::string>& args, std::size_t from,
                      std::vector<std::string> withvalue, const std::vector<std::string>& flags) {
    Toptions o;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) throw Eerror("unexpected argument \"" + messagetext(a) + "\"");
        std::string name = a.substr(2);
        bool takes = std::find(withvalue.begin(), withvalue.end(), name) != withvalue.end();
        bool flag = std::find(flags.begin(), flags.end(), name) != flags.end();
        if (!takes && !flag) throw Eerror("unknown option " + messagetext(a));
        if (takes) {
            // "--out --factors" is a forgotten value, not a folder named
            // "--factors".
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
                throw Eerror("option " + a + " needs a value");
            o.values[name] = args[++i];
        } else {
            o.values[name] = "1";
        }
    }
    return o;
}

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void applyworldoptions(Tsettings& s, const Toptions& o) {
    if (o.has("parameters")) s.ParametersFile = o.get("parameters");
    if (o.has("borders")) s.BordersFile = o.get("borders");
    if (o.has("substances")) s.SubstancesFile = o.get("substances");
    if (o.has("level")) {
        std::int32_t level = strtoint(o.get("level"));
        if (level < 0 || level > 15) throw Eerror("--level must be 0..15");
        s.AggregationLevel = static_cast<std::uint8_t>(level);
    }
    if (o.has("group")) s.AggregationGroup = o.get("group");
}

std::string realtext(const Tsettings& s, float x) {
    if (approxequal(x, s.InfValue)) return "inf";
    return shortesttext(x);
}

// ---- value writers ---------------------------------------------------------

struct Twriter {
    std::ostream& out;
    const Tsettings& s;
    const Tindexspace& regions;

    void line(const std::string& name, const std::string& where, const std::string& value,
              char status) {
        out << name << '\t' << where << '\t' << value << '\t' << status << '\n';
    }
    void write(const Tnumpar& p) { line(p.name(), "", realtext(s, p.value), p.status); }
    void write(const Tintpar& p) { line(p.name(), "", std::to_string(p.value), p.status); }
    void write(const Tstrpar& p) { line(p.name(), "", p.value, p.status); }
    void write(const Tbooleanpar& p) { line(p.name(), "", booltostr(p.value), p.status); }
    void write(const Tnumpars& p) {
        for (std::uint32_t i = 1; i <= p.count(); ++i)
            line(p.name(), regions.indexname(i), realtext(s, p.value(i)), p.status(i));
    }
    void write(const Tstrpars& p) {
        for (std::uint32_t i = 1; i <= p.count(); ++i)
            line(p.name(), regions.indexname(i), p.value(i), p.status(i));
    }
    void write(const Tbooleanpars& p) {
        for (std::uint32_t i = 1; i <= p.count(); ++i)
            line(p.name(), regions.indexname(i), booltostr(p.value(i)), p.status(i));
    }
    void write(const Tnumparss& p) {
        std::uint32_t n = p.count();
        std::vector<std::string> names(n + 1);
        for (std::uint32_t i = 1; i <= n; ++i)
            names[i] = regions.indexname(i);
        for (std::uint32_t r = 1; r <= n; ++r)
            for (std::uint32_t c = 1; c <= n; ++c)
                line(p.name(), names[r] + "," + names[c], realtext(s, p.value(r, c)),
                     p.status(r, c));
    }
};

void dumpenvironment(Tworkspace& ws, std::ostream& out) {
    Twriter w{out, ws.settings, ws.regions};
    for (const Tenventry& e : ws.env.catalogue())
        std::visit([&](auto* p) { w.write(*p); }, e.parameter);
}

void dumpsubstance(Tworkspace& ws, std::ostream& out) {
    Twriter w{out, ws.settings, ws.regions};
    for (const Tsubentry& e : ws.sub.catalogue())
        std::visit([&](auto* p) { w.write(*p); }, e.parameter);
}

void dumpresults(Tworkspace& ws, std::ostream& out) {
    Twriter w{out, ws.settings, ws.regions};
    for (const Tresultentry& e : ws.results.catalogue())
        std::visit([&](auto* p) { w.write(*p); }, e.parameter);
}

// ---- world set-up ----------------------------------------------------------

struct Trun {
    explicit Trun(std::ostream& err) : ui(err) {}
    Tconsoleui ui;
    Tworkspace ws{ui, programdirectory()};
};

// An aggregation the command line asks for must be one the workbook can
// build: the program would warn and read the world whole, and results of
// another world than asked for would pass as the answer.
void checkaggregation(Trun& run) {
    const Tsettings& s = run.ws.settings;
    if (s.AggregationLevel == 0) return;
    TExcelFile w(run.ui, s.ParametersFile);
    if (!w.isopen()) return; // the import tells why
    std::string problem = aggregationproblem(w, s.AggregationLevel, s.AggregationGroup);
    if (!problem.empty()) throw Eerror(problem);
}

// A substance the workbook does not hold is an error, not a silent "new
// substance".
void requiresubstance(Trun& run, const std::string& name) {
    if (!run.ws.opensubstancesworkbook())
        throw Eerror("cannot read the substances workbook " + run.ws.settings.SubstancesFile);
    TExcelFile& w = *run.ws.SubstancesWorkbook;
    auto names = substancenames(w, "VELMORA");
    if (std::find(names.begin(), names.end(), name) == names.end())
        throw Eerror("unknown substance \"" + messagetext(name) + "\" in " + w.workbookname());
}

void requireenvironment(const Tworkspace& ws) {
    if (!ws.env.present) throw Eerror("no environment was imported");
}

// "REGION:COMPARTMENT" with a region name and a compartment name or abbreviation.
std::pair<std::uint32_t, std::uint32_t> parseemission(const Tworkspace& ws,
                                                      const std::string& text) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) throw Eerror("--emission needs REGION:COMPARTMENT");
    std::string region = text.substr(0, colon), compartment = text.substr(colon + 1);
    std::uint32_t r = ws.regions.find(region);
    if (r == 0) throw Eerror("unknown region \"" + messagetext(region) + "\"");
    std::uint32_t c = ws.compartments.find(compartment);
    if (c == 0) throw Eerror("unknown compartment \"" + messagetext(compartment) + "\"");
    return {r, c};
}

// An emission box that cannot take an emission (a compartment the region
// lacks, a sediment or groundwater) is refused, not calculated as nothing.
void setemission(Tworkspace& ws, std::uint32_t r, std::uint32_t c) {
    if (!ws.emi.set(r, c))
        throw Eerror("no emission can go to " +
                     ws.regcomps.regcompname(Tregcomps::regcompnumber(r, c)));
}

// The program's own sequence: the start-up (start-up substance, its
// calculation, the reference), then the choices of the command line as a
// user makes them in the menus: another reference, the calculation mode, a
// substance, an emission. The results are the program's after the same
// actions. The start-up and the reference: true when the start-up
// calculation is the one to report, nothing being chosen after it.
bool startasprogram(Trun& run, const Toptions& o, Ttimings& startuptimings) {
    Tworkspace& ws = run.ws;
    checkaggregation(run);
    const bool factors = o.has("factors");
    ws.settings.FactorsMode = false;
    ws.settings.WithRestime = o.has("with-restime");
    if (o.has("substance")) requiresubstance(run, o.get("substance"));
    ws.initialize(true, &startuptimings);
    requireenvironment(ws);
    // Everything after the start-up stands on it: without its substance
    // every emission box is unknown and each later step would fail with a
    // message about something else.
    if (ws.sub.name.value != ws.startsubstance) {
        if (!ws.SubstancesWorkbook)
            throw Eerror("cannot read the substances workbook " + ws.settings.SubstancesFile);
        throw Eerror("the substances workbook " + ws.SubstancesWorkbook->workbookname() +
                     " has no row for the start-up substance \"" + ws.startsubstance +
                     "\", which the program calculates first and takes as the reference");
    }
    if (!ws.sub.present)
        throw Eerror("the start-up substance \"" + ws.startsubstance + "\" of " +
                     ws.SubstancesWorkbook->workbookname() +
                     " is not complete, so the program calculates nothing at start-up");
    if (!ws.solved && !o.has("reference"))
        throw Eerror("the start-up substance \"" + ws.startsubstance +
                     "\" cannot be calculated, so it cannot be the reference; give "
                     "--reference NAME or --reference none");
    const std::uint32_t startregion = ws.startupregion();
    bool again = factors || o.has("substance") || o.has("emission");
    if (o.has("reference")) {
        std::string text = o.get("reference");
        if (text == "none") {
            ws.ref.clear();
        } else {
            std::size_t colon = text.find(':');
            std::string name = text.substr(0, colon);
            requiresubstance(run, name);
            auto [r, c] = colon == std::string::npos
                              ? std::pair<std::uint32_t, std::uint32_t>{startregion, air}
                              : parseemission(ws, text.substr(colon + 1));
            ws.opensubstance(name);
            if (!ws.sub.present)
                throw Eerror("the reference substance \"" + name + "\" is not complete");
            setemission(ws, r, c);
            // A reference that cannot be calculated has no values to hold:
            // taking it would name it beside another substance's values.
            if (!ws.calculate())
                throw Eerror("the reference substance \"" + messagetext(name) +
                             "\" cannot be calculated (no steady state); nothing was written");
            ws.takereference();
            again = true;
        }
    }
    return !again;
}

// The choices after the start-up: the calculation mode, the substance and
// the emission.
void chooseasprogram(Trun& run, const Toptions& o) {
    Tworkspace& ws = run.ws;
    const bool factors = o.has("factors");
    ws.settings.FactorsMode = factors;
    ws.opensubstance(o.has("substance") ? o.get("substance") : ws.startsubstance);
    if (!factors) {
        auto [r, c] = o.has("emission")
                          ? parseemission(ws, o.get("emission"))
                          : std::pair<std::uint32_t, std::uint32_t>{ws.startupregion(), air};
        setemission(ws, r, c);
    }
}

// True when the start-up calculation is the one to report.
bool runasprogram(Trun& run, const Toptions& o, Ttimings& startuptimings) {
    if (startasprogram(run, o, startuptimings)) return true;
    chooseasprogram(run, o);
    return false;
}

// ---- calculate tables --------------------------------------------------------

void writeregcomps(Tworkspace& ws, std::ostream& out) {
    Tregcomps& rc = ws.regcomps;
    const Tsettings& s = ws.settings;
    out << "number\tregion\tcompartment\texists\tAREA\tV\tkdeg\tADV_outside\tEMIS\tCONC\tMASS\t"
           "RESTIME\tEMISprime\n";
    auto v = [&](const Tnumpars& p, std::uint32_t k) {
        return k <= p.count() ? realtext(s, p.value(k)) : std::string();
    };
    for (std::uint32_t k = 1; k <= rc.n; ++k) {
        bool exists = k <= rc.existsflags.count() && rc.existsflags.getvalue(k);
        out << k << '\t' << rc.regionname(k) << '\t' << rc.compartmentname(k) << '\t'
            << (exists ? "TRUE" : "FALSE") << '\t' << v(rc.AREA, k) << '\t' << v(rc.V, k) << '\t'
            << v(rc.kdeg, k) << '\t' << v(rc.ADV_outside, k) << '\t' << v(rc.EMIS, k) << '\t'
            << v(rc.CONC, k) << '\t' << v(rc.MASS, k) << '\t' << v(rc.RESTIME, k) << '\t'
            << v(rc.EMISprime, k) << '\n';
    }
}

void writeflows(Tworkspace& ws, std::ostream& out) {
    Tregcomps& rc = ws.regcomps;
    std::map<std::pair<std::uint32_t, std::uint32_t>, extended> flows;
    auto add = [&](std::uint32_t r, std::uint32_t c, extended x) { flows[{r, c}] += x; };
    rc.DIFF.values.foreachnonzero(add);
    rc.ADV.values.foreachnonzero(add);
    out << "from\tto\tvalue\n";
    for (const auto& [key, value] : flows)
        if (value != 0)
            out << rc.regcompname(key.first) << '\t' << rc.regcompname(key.second) << '\t'
                << shortesttext(static_cast<float>(value)) << '\n';
}

void writematrix(const Tnummatrix& m, std::ostream& out) {
    out << "row\tcolumn\tvalue\n";
    std::vector<std::tuple<std::uint32_t, std::uint32_t, float>> cells;
    m.foreachnonzero([&](std::uint32_t r, std::uint32_t c, extended x) {
        cells.emplace_back(r, c, static_cast<float>(x));
    });
    std::sort(cells.begin(), cells.end());
    for (const auto& [r, c, x] : cells)
        out << r << '\t' << c << '\t' << shortesttext(x) << '\n';
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string commandline(const std::vector<std::string>& args) {
    std::string text = "velmora-cli";
    for (const std::string& a : args) {
        bool plain = !a.empty() && a.find_first_of(" \t\"'\\$") == std::string::npos;
        text += ' ';
        if (plain) {
            text += a;
            continue;
        }
        text += '\'';
        for (char ch : a)
            text += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
        text += '\'';
    }
    return text;
}

std::string boxname(const Tworkspace& ws, std::int32_t region, std::uint32_t compartment) {
    if (region <= 0 || compartment == 0) return "-";
    return ws.regcomps.regcompname(
        Tregcomps::regcompnumber(static_cast<std::uint32_t>(region), compartment));
}

// What made the results of a folder: program, command, workbooks by
// checksum, world, substance, emission, reference and the settings that
// change results, then the residual and the step timings.
void writerun(Tworkspace& ws, const std::vector<std::string>& args, const Ttimings& timings,
              double startup, std::ostream& out) {
    const Tsettings& s = ws.settings;
    out << "program\tvelmora-cli\t" << VELMORA_VERSION << '\n';
    out << "command\t" << commandline(args) << '\n';
    const std::pair<const char*, const std::string*> files[] = {{"parameters", &s.ParametersFile},
                                                                {"borders", &s.BordersFile},
                                                                {"substances", &s.SubstancesFile}};
    for (const auto& [what, path] : files) {
        std::error_code ec;
        std::string absolute = std::filesystem::absolute(*path, ec).string();
        out << "workbook\t" << what << '\t' << (ec ? *path : absolute) << '\t' << filesha256(*path)
            << '\n';
    }
    out << "AggregationLevel\t" << int(s.AggregationLevel) << '\n';
    out << "AggregationGroup\t" << s.AggregationGroup << '\n';
    out << "substance\t" << ws.sub.name.value << '\n';
    out << "FactorsMode\t" << booltostr(s.FactorsMode) << '\n';
    if (!s.FactorsMode)
        out << "emission\t" << boxname(ws, ws.emi.region, ws.emi.compartment) << '\t'
            << shortesttext(s.EmissionAmount) << '\n';
    if (ws.ref.held()) {
        out << "reference\t" << ws.ref.substance << '\t'
            << boxname(ws, ws.ref.region, ws.ref.compartment) << '\n';
        for (std::size_t k = 0; k < referenceresultnames.size(); ++k)
            out << "reference\t" << referenceresultnames[k] << '\t' << realtext(s, ws.ref.values[k])
                << '\n';
    } else {
        out << "reference\tnone\n";
    }
    out << "InfValue\t" << shortesttext(s.InfValue) << '\n';
    out << "InfText\t" << s.InfText << '\n';
    out << "UnknownText\t" << s.UnknownText << '\n';
    out << "HiddenText\t" << s.HiddenText << '\n';
    out << "Digits\t" << int(s.Digits) << '\n';
    out << "WithRestime\t" << booltostr(s.WithRestime) << '\n';
    out << "NBordersDisplay\t" << int(s.NBordersDisplay) << '\n';
    out << "DistancesDisplay\t" << int(s.DistancesDisplay) << '\n';
    out << "MSR\t" << shortesttext(ws.regcomps.MSR) << '\n';
    out << "time\tstart-up\t" << startup << '\n';
    for (const auto& [step, t] : timings)
        out << "time\t" << step << '\t' << t << '\n';
}

// The world options, runasprogram, then the calculation it leaves to do;
// the step timings to report, and the seconds of the start-up in startup.
// The start-up calculates the default emission itself; its step timings
// are the ones to report when nothing else is asked for. A singular system
// matrix is an error.
Ttimings calculateasprogram(Trun& run, const Toptions& o, double& startup) {
    applyworldoptions(run.ws.settings, o);
    Ttimings startuptimings;
    auto start = std::chrono::steady_clock::now();
    const bool startuponly = runasprogram(run, o, startuptimings);
    startup = seconds(start);
    Ttimings timings;
    if (startuponly) {
        timings = std::move(startuptimings);
    } else {
        auto t = std::chrono::steady_clock::now();
        run.ws.calculate(false, &timings);
        timings.push_back({"calculation", seconds(t)});
    }
    if (!run.ws.solved) throw Eerror("the system matrix is singular; nothing was written");
    return timings;
}

int calculatecommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     Tinterrupts* interrupts) {
    Toptions o =
        parseoptions(args, 1, with(worldoptions, {"substance", "emission", "out", "reference"}),
                     {"factors", "with-restime"});
    if (!o.has("out")) throw Eerror("calculate needs --out DIR");
    // Taken before the work: a second run into the folder fails at once.
    Toutputfolder folder(o.get("out"), interrupts);
    Trun run(err);
    Tworkspace& ws = run.ws;
    double startup = 0;
    const Ttimings timings = calculateasprogram(run, o, startup);
    folder.write("results.tsv", [&](std::ostream& f) { dumpresults(ws, f); });
    folder.write("regcomps.tsv", [&](std::ostream& f) { writeregcomps(ws, f); });
    folder.write("flows.tsv", [&](std::ostream& f) { writeflows(ws, f); });
    Tregcomps& rc = ws.regcomps;
    const std::pair<const char*, const Tnummatrix*> factors[] = {
        {"FF", &rc.FF},      {"XF1", &rc.XF1},     {"XF2", &rc.XF2},    {"XF", &rc.XF},
        {"XF_FF", &rc.XFFF}, {"EFeco", &rc.EFeco}, {"EFhum", &rc.EFhum}};
    std::vector<std::string> stale;
    for (const auto& [name, m] : factors) {
        std::string file = std::string(name) + ".tsv";
        if (ws.settings.FactorsMode)
            folder.write(file, [&, m = m](std::ostream& f) { writematrix(*m, f); });
        else
            stale.push_back(file);
    }
    folder.write("run.tsv", [&](std::ostream& f) { writerun(ws, args, timings, startup, f); });
    folder.commit(stale);
    out << "MSR\t" << shortesttext(ws.regcomps.MSR) << '\n';
    out << "time\tstart-up\t" << startup << '\n';
    for (const auto& [step, t] : timings)
        out << "time\t" << step << '\t' << t << '\n';
    return 0;
}

// ---- factors -----------------------------------------------------------------

// "air,river" into the compartments it names. A list that names only
// compartments no emission can go to would compute nothing and is refused.
std::array<bool, 13> parsecompartments(const std::string& list) {
    Tcompartments all;
    all.define();
    std::array<bool, 13> chosen{};
    bool any = false;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::uint32_t c = all.find(name);
        if (c == 0) throw Eerror("unknown compartment \"" + messagetext(name) + "\"");
        chosen[c] = true;
        any = any || (c != lakesed && c != saltlakesed && c != groundwater && c != seased);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (!any)
        throw Eerror("--compartments " + messagetext(list) +
                     " selects no compartment an emission can go to (sediments and "
                     "groundwater take none)");
    return chosen;
}

const char* factornames[2][7] = {
    {"CFtoxpot_river", "CFtoxpot_lake", "CFtoxpot_saltlake", "CFtoxpot_seawater", "CFtoxpot_soil",
     "CFtoxpot_humnoncarc", "CFtoxpot_humcarc"},
    {"CFtoxact_river", "CFtoxact_lake", "CFtoxact_saltlake", "CFtoxact_seawater", "CFtoxact_soil",
     "CFtoxact_humnoncarc", "CFtoxact_humcarc"}};

// One substance's run in a workspace of its own, so substances can run side
// by side. Its warnings are kept and told in substance order afterwards.
struct Tfactorjob {
    std::string substance;
    std::string file;
    std::string warnings;
    std::string error;
    std::size_t rows = 0;
};

// What every job of one command shares.
struct Tfactorsrequest {
    Toptions options;
    std::vector<std::string> regionlines; // of --regions, read once
    Toutputfolder& folder;
};

// A workspace of one thread that has made the program's start-up once and
// then opens one substance after the other, as a user does in the menus:
// the start-up (three workbooks, a calculation, the reference) costs more
// than a substance's factors. Its warnings are told with every substance,
// as a start-up of its own would.
struct Tfactorworker {
    std::ostringstream err;
    std::string startupwarnings;
    std::unique_ptr<Trun> run;
};

void runfactorjob(Tfactorjob& job, const Tfactorsrequest& request, Tfactorworker& worker) {
    try {
        Toptions o = request.options;
        o.values["substance"] = job.substance;
        o.values.erase("emission");
        o.values.erase("factors");
        if (!worker.run) {
            worker.err.str("");
            worker.run = std::make_unique<Trun>(worker.err);
            applyworldoptions(worker.run->ws.settings, request.options);
            Ttimings timings;
            startasprogram(*worker.run, o, timings);
            worker.startupwarnings = worker.err.str();
            worker.err.str("");
        }
        Trun& run = *worker.run;
        Tworkspace& ws = run.ws;
        chooseasprogram(run, o);
        if (!ws.sub.present) throw Eerror("the substance is not complete");
        Tallfactorsselection selection = Tallfactorsselection::defaults(ws.model, false);
        selection.useinversion = !o.has("no-inversion");
        if (o.has("regions")) selection.selectregions(ws.model, request.regionlines);
        if (o.has("compartments"))
            selection.compartments = parsecompartments(o.get("compartments"));
        std::unique_ptr<Tprogress> progress = ws.ui.progress();
        progress->setsubtext("All factors " + job.substance);
        Tallfactorsrun result = runallfactors(ws.model, selection, *progress);
        if (result.singular) throw Eerror("the system matrix is singular");
        if (result.computed == 0)
            throw Eerror("the chosen regions and compartments hold no box an emission can go to");
        request.folder.write(job.file, [&](std::ostream& f) {
            f << "# reference\t"
              << (ws.ref.held()
                      ? ws.ref.substance + "\t" + boxname(ws, ws.ref.region, ws.ref.compartment)
                      : std::string("none"))
              << '\n';
            f << "substance\tregion\tcompartment";
            for (const auto& kind : factornames)
                for (const char* n : kind)
                    f << '\t' << n;
            f << '\n';
            for (const Tallfactorsrow& row : result.rows) {
                if (!row.computed) continue;
                f << job.substance << '\t' << ws.regcomps.regionname(row.regcomp) << '\t'
                  << ws.regcomps.compartmentname(row.regcomp);
                for (int k = 0; k < 7; ++k)
                    f << '\t' << (row.potknown[k] ? shortesttext(row.pot[k]) : std::string());
                for (int k = 0; k < 7; ++k)
                    f << '\t' << (row.actknown[k] ? shortesttext(row.act[k]) : std::string());
                f << '\n';
                ++job.rows;
            }
        });
    } catch (const std::exception& e) {
        job.error = e.what();
        // What a failed substance leaves behind is not trusted for the next.
        worker.run.reset();
    }
    job.warnings = worker.startupwarnings + worker.err.str();
    worker.err.str("");
    // A workspace that opened one substance after another gave some factors
    // of the later one (CFtoxpot_humnoncarc of a metal after an organic)
    // that differ from those of its own start-up: until that is found, every
    // substance has a start-up of its own.
    worker.run.reset();
    worker.startupwarnings.clear();
}

int factorscommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   Tinterrupts* interrupts) {
    Toptions o = parseoptions(
        args, 1, with(worldoptions, {"substance", "regions", "compartments", "reference", "out"}),
        {"all-substances", "no-inversion"});
    if (!o.has("out")) throw Eerror("factors needs --out DIR");
    if (o.has("substance") && o.has("all-substances"))
        throw Eerror("--substance and --all-substances exclude each other");
    if (o.has("compartments")) parsecompartments(o.get("compartments"));
    Toutputfolder folder(o.get("out"), interrupts);
    Tfactorsrequest request{o, {}, folder};
    std::vector<Tfactorjob> jobs;
    {
        Trun run(err);
        applyworldoptions(run.ws.settings, o);
        if (!run.ws.opensubstancesworkbook())
            throw Eerror("cannot read the substances workbook " + run.ws.settings.SubstancesFile);
        std::vector<std::string> names;
        if (o.has("all-substances")) {
            // A name listed twice is one substance: its import reads every
            // row of that name.
            std::set<std::string> seen;
            for (const std::string& n : substancenames(*run.ws.SubstancesWorkbook, "VELMORA"))
                if (seen.insert(n).second) names.push_back(n);
        } else {
            std::string name = o.has("substance") ? o.get("substance") : run.ws.startsubstance;
            requiresubstance(run, name);
            names.push_back(name);
        }
        if (names.empty())
            throw Eerror("the substances workbook " + run.ws.SubstancesWorkbook->workbookname() +
                         " names no substance");
        // The selection file is read and checked once, against the world.
        if (o.has("regions")) {
            request.regionlines = readselectionfile(o.get("regions"));
            checkaggregation(run);
            run.ws.readenvironment();
            requireenvironment(run.ws);
            Tallfactorsselection selection;
            auto unmatched = selection.selectregions(run.ws.model, request.regionlines);
            std::string warning = selectionwarning(o.get("regions"), request.regionlines, unmatched,
                                                   selection.regioncount());
            if (selection.regioncount() == 0) throw Eerror(warning);
            if (!warning.empty()) run.ui.warn(warning);
        }
        std::vector<std::string> files = distinctfilenames(names, ".tsv");
        for (std::size_t k = 0; k < names.size(); ++k)
            jobs.push_back({names[k], files[k], {}, {}, 0});
    }
    // Each workspace holds its own inverse (about 50 MB on the default world),
    // so the substances share the cores, not the memory.
    unsigned workers = std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(),
                                                       static_cast<unsigned>(jobs.size())));
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        Tfactorworker worker;
        for (std::size_t j = next++; j < jobs.size(); j = next++)
            runfactorjob(jobs[j], request, worker);
    };
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    // The substances that succeeded are put in place together; a failed
    // one leaves no file and the exit code 1.
    folder.commit();
    int failed = 0;
    for (const Tfactorjob& job : jobs) {
        err << job.warnings;
        if (!job.error.empty()) {
            err << "velmora-cli: " << job.substance << ": " << job.error << '\n';
            ++failed;
        } else {
            out << job.substance << '\t' << job.rows << '\t' << job.file << '\n';
        }
    }
    out << "time\tfactors\t" << seconds(start) << '\n';
    return failed ? 1 : 0;
}

// balance and explain: the program's calculation, then the analysis of its
// results.
int analysiscommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool balance = args[0] == "balance";
    Toptions o = parseoptions(args, 1,
                              with(worldoptions, {"substance", "emission", "reference", "regcomp",
                                                  "region", "indicator"}),
                              {balance ? "net" : "dose"});
    Trun run(err);
    applyworldoptions(run.ws.settings, o);
    Ttimings timings;
    if (!runasprogram(run, o, timings)) run.ws.calculate();
    return balance ? balancecommand(run.ws.model, o.values, out)
                   : explaincommand(run.ws.model, o.values, out);
}

// The tables of a run go into the folder's pending files.
Tfilewriter writerinto(Toutputfolder& folder) {
    return [&folder](const std::string& name, const std::function<void(std::ostream&)>& f) {
        folder.write(name, f);
    };
}

// dynamic: the program's calculation of the emission, then the masses in
// time.
int dynamiccommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   Tinterrupts* interrupts) {
    Toptions o = parseoptions(args, 1, with(worldoptions, dynamicoptions), {});
    if (!o.has("out")) throw Eerror("dynamic needs --out DIR");
    // Taken before the work: a second run into the folder fails at once.
    Toutputfolder folder(o.get("out"), interrupts);
    Trun run(err);
    Tworkspace& ws = run.ws;
    double startup = 0;
    const Ttimings timings = calculateasprogram(run, o, startup);
    std::vector<double> exposuretimes;
    const Tdynamicsettings settings = dynamicsettings(ws.model, o.values, exposuretimes);
    const Tdynamicresult result = rundynamic(ws.model, settings);
    writedynamic(ws.model, result, exposuretimes, writerinto(folder));
    folder.write("run.tsv", [&](std::ostream& f) {
        writerun(ws, args, timings, startup, f);
        writedynamicrun(ws.model, settings, result, f);
    });
    std::vector<std::string> stale;
    if (exposuretimes.empty()) stale.push_back("exposure.tsv");
    folder.commit(stale);
    writedynamicsummary(result, out);
    return 0;
}

// uncertainty: the program's calculation of the emission, then its draws.
int uncertaintycommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       Tinterrupts* interrupts) {
    Toptions o = parseoptions(args, 1, with(worldoptions, uncertaintyoptions), {"with-draws"});
    if (!o.has("out")) throw Eerror("uncertainty needs --out DIR");
    // Taken before the work: a second run into the folder fails at once.
    Toutputfolder folder(o.get("out"), interrupts);
    Trun run(err);
    Tworkspace& ws = run.ws;
    double startup = 0;
    const Ttimings timings = calculateasprogram(run, o, startup);
    const Tuncertaintysettings settings = uncertaintysettings(ws.model, o.values);
    const Tuncertaintyrun result = rununcertainty(ws.model, settings);
    const std::vector<std::string> stale =
        writeuncertainty(result, settings, o.has("with-draws"), writerinto(folder));
    folder.write("run.tsv", [&](std::ostream& f) {
        writerun(ws, args, timings, startup, f);
        writeuncertaintyrun(settings, o.get("inputs"), result, f);
    });
    folder.commit(stale);
    writeuncertaintysummary(result, out, err);
    return 0;
}

} // namespace

namespace {

int runcommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               Tinterrupts* interrupts) {
    if (args.empty()) {
        err << usage;
        return 2;
    }
    try {
        const std::string& command = args[0];
        std::string what = args.size() >= 2 ? args[1] : std::string();
        if (command == "help" || command == "--help") {
            out << usage;
            return 0;
        }
        if (command == "dump" && what == "environment") {
            Toptions o = parseoptions(args, 2, worldoptions, {});
            Trun run(err);
            applyworldoptions(run.ws.settings, o);
            checkaggregation(run);
            run.ws.readenvironment();
            requireenvironment(run.ws);
            dumpenvironment(run.ws, out);
            return 0;
        }
        if (command == "dump" && what == "substance") {
            Toptions o = parseoptions(args, 2, with(worldoptions, {"substance"}), {});
            Trun run(err);
            applyworldoptions(run.ws.settings, o);
            if (o.has("substance")) {
                requiresubstance(run, o.get("substance"));
                run.ws.startsubstance = o.get("substance");
            }
            checkaggregation(run);
            run.ws.initialize(false);
            requireenvironment(run.ws);
            dumpsubstance(run.ws, out);
            return 0;
        }
        if (command == "dump" && what == "results") {
            Toptions o = parseoptions(args, 2, with(worldoptions, {"substance", "reference"}), {});
            Trun run(err);
            applyworldoptions(run.ws.settings, o);
            Ttimings timings;
            if (!runasprogram(run, o, timings)) run.ws.calculate();
            if (!run.ws.solved) throw Eerror("the system matrix is singular");
            dumpresults(run.ws, out);
            return 0;
        }
        if (command == "list" && what == "substances") {
            Toptions o = parseoptions(args, 2, worldoptions, {});
            Trun run(err);
            applyworldoptions(run.ws.settings, o);
            TExcelFile w(run.ui, run.ws.settings.SubstancesFile);
            if (!w.isopen()) throw Eerror("cannot read the substances workbook");
            for (const auto& name : substancenames(w, "VELMORA"))
                out << name << '\n';
            return 0;
        }
        if (command == "calculate") return calculatecommand(args, out, err, interrupts);
        if (command == "factors") return factorscommand(args, out, err, interrupts);
        if (command == "balance" || command == "explain") return analysiscommand(args, out, err);
        if (command == "dynamic") return dynamiccommand(args, out, err, interrupts);
        if (command == "uncertainty") return uncertaintycommand(args, out, err, interrupts);
        err << "velmora-cli: unknown command \"" << command << (what.empty() ? "" : " " + what)
            << "\"\n"
            << usage;
        return 2;
    } catch (const std::exception& e) {
        err << "velmora-cli: " << e.what() << '\n';
        return 1;
    }
}

} // namespace

// Exit code 0 means the output is complete: standard output that could not
// be written (a full disk, a closed pipe) is an error too.
int runcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Tinterrupts* interrupts) {
    int code = runcommand(args, out, err, interrupts);
    out.flush();
    if (!out) {
        err << "velmora-cli: cannot write the standard output" << '\n';
        return code == 0 ? 1 : code;
    }
    return code;
}

} // namespace velmora
