#include "app/cli/commands.h"

#include <filesystem>
#include <functional>
#include <map>
#include <unistd.h>

#include "app/workspace.h"
#include "numeric/utilities.h"

namespace velmora {

namespace {

const char* usage =
    "usage: velmora-cli COMMAND [OPTIONS]\n"
    "commands:\n"
    "  dump environment [--parameters FILE] [--borders FILE] [--level N --group TEXT]\n"
    "      one line per value: parameter, region (\"row,column\" for pairs), value, status\n"
    "  help\n";

std::string programdirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return exe.parent_path().string();
}

// Options of the form --name value; flags of the form --name.
struct Toptions {
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
    bool has(const std::string& name) const { return values.count(name) > 0; }
    std::string get(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

Toptions parseoptions(const std::vector<std::string>& args, std::size_t from,
                      const std::vector<std::string>& withvalue,
                      const std::vector<std::string>& flags) {
    Toptions o;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            std::string name = a.substr(2);
            bool takes = std::find(withvalue.begin(), withvalue.end(), name) != withvalue.end();
            bool flag = std::find(flags.begin(), flags.end(), name) != flags.end();
            if (!takes && !flag) throw Eerror("unknown option " + a);
            if (takes) {
                if (i + 1 >= args.size()) throw Eerror("option " + a + " needs a value");
                o.values[name] = args[++i];
            } else {
                o.values[name] = "1";
            }
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

std::string realtext(const Tsettings& s, float x) {
    if (approxequal(x, s.InfValue)) return "inf";
    return shortesttext(x);
}

void dumpenvironment(Tenv& env, const Tregions& regions, std::ostream& out) {
    const Tsettings& s = env.context().settings;
    for (const Tenventry& e : env.catalogue()) {
        if (auto* t = std::get_if<Tstrpars*>(&e.parameter)) {
            for (std::uint32_t i = 1; i <= (*t)->count(); ++i)
                out << (*t)->name() << '\t' << regions.name(i) << '\t' << (*t)->value(i) << '\t'
                    << (*t)->status(i) << '\n';
        } else if (auto* b = std::get_if<Tbooleanpars*>(&e.parameter)) {
            for (std::uint32_t i = 1; i <= (*b)->count(); ++i)
                out << (*b)->name() << '\t' << regions.name(i) << '\t'
                    << booltostr((*b)->value(i)) << '\t' << (*b)->status(i) << '\n';
        } else if (auto* v = std::get_if<Tnumpars*>(&e.parameter)) {
            for (std::uint32_t i = 1; i <= (*v)->count(); ++i)
                out << (*v)->name() << '\t' << regions.name(i) << '\t'
                    << realtext(s, (*v)->value(i)) << '\t' << (*v)->status(i) << '\n';
        } else if (auto* p = std::get_if<Tnumpar*>(&e.parameter)) {
            out << (*p)->name() << "\t\t" << realtext(s, (*p)->value) << '\t' << (*p)->status
                << '\n';
        } else if (auto* m = std::get_if<Tnumparss*>(&e.parameter)) {
            std::uint32_t n = (*m)->count();
            for (std::uint32_t r = 1; r <= n; ++r)
                for (std::uint32_t c = 1; c <= n; ++c)
                    out << (*m)->name() << '\t' << regions.name(r) << ',' << regions.name(c) << '\t'
                        << realtext(s, (*m)->value(r, c)) << '\t' << (*m)->status(r, c) << '\n';
        }
    }
}

// Applies the options shared by every command that reads a world.
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

int dumpenvironmentcommand(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err) {
    Toptions o = parseoptions(args, 2, {"parameters", "borders", "level", "group"}, {});
    if (!o.positional.empty()) throw Eerror("unexpected argument " + o.positional[0]);
    Tconsoleui ui;
    Tworkspace ws(ui, programdirectory());
    applyworldoptions(ws.settings, o);
    ws.readenvironment();
    if (!ws.env.present) {
        err << "velmora-cli: no environment was imported\n";
        return 1;
    }
    dumpenvironment(ws.env, ws.regions, out);
    return 0;
}

} // namespace

int runcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << usage;
        return 2;
    }
    try {
        const std::string& command = args[0];
        if (command == "help" || command == "--help") {
            out << usage;
            return 0;
        }
        if (command == "dump" && args.size() >= 2 && args[1] == "environment")
            return dumpenvironmentcommand(args, out, err);
        err << "velmora-cli: unknown command \"" << command << "\"\n" << usage;
        return 2;
    } catch (const std::exception& e) {
        err << "velmora-cli: " << e.what() << '\n';
        return 1;
    }
}

} // namespace velmora
