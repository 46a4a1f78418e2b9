#include "app/cli/analysiscommands.h"

#include "compute/analysis.h"
#include "numeric/errors.h"

namespace velmora {

std::string option(const Tclioptions& options, const std::string& name) {
    auto it = options.find(name);
    return it == options.end() ? std::string() : it->second;
}

namespace {

// "REGION:COMPARTMENT" with a region name and a compartment name or
// abbreviation; any regcomp of the index, used or not.
std::uint32_t parseregcomp(const Tmodel& m, const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) throw Eerror("--regcomp needs REGION:COMPARTMENT");
    const std::string region = text.substr(0, colon), compartment = text.substr(colon + 1);
    const std::uint32_t r = m.regions.find(region);
    if (r == 0) throw Eerror("unknown region \"" + region + "\"");
    const std::uint32_t c = m.compartments.find(compartment);
    if (c == 0) throw Eerror("unknown compartment \"" + compartment + "\"");
    return Tregcomps::regcompnumber(r, c);
}

Tindicator parseindicator(const std::string& text) {
    if (text.empty() || text == "none") return Tindicator::none;
    if (text == "each") return Tindicator::eachcompartment;
    if (text == "region") return Tindicator::region;
    if (text == "world") return Tindicator::world;
    throw Eerror("--indicator must be none, each, region or world");
}

// The list item of the region name: a region, or one of the aggregates
// after the regions.
std::uint32_t parseitem(const Tmodel& m, const std::string& name, bool dose) {
    if (name.empty()) throw Eerror("explain needs --region NAME");
    const std::uint32_t n = m.regions.count;
    if (name == "World") return dose ? doseworlditem(m) : worlditem(m);
    if (!dose && name == "Countries") return n + 2;
    if (!dose && name == "Seas") return n + 3;
    const std::uint32_t r = m.regions.find(name);
    if (r == 0) throw Eerror("unknown region \"" + name + "\"");
    if (dose && !m.regions.island(r))
        throw Eerror("\"" + name + "\" is no land region; doses are per land region or World");
    return r;
}

void requireconcentrations(const Tmodel& m) {
    const std::string why = noconcentrations(m);
    if (!why.empty()) throw Eerror(why);
}

} // namespace

int balancecommand(Tmodel& m, const Tclioptions& options, std::ostream& out) {
    if (option(options, "regcomp").empty())
        throw Eerror("balance needs --regcomp REGION:COMPARTMENT");
    const std::uint32_t a = parseregcomp(m, option(options, "regcomp"));
    requireconcentrations(m);
    const Tbalance b = options.count("net") ? netbalance(m, a) : grossbalance(m, a);
    auto line = [&out](const std::vector<std::string>& cells) {
        for (std::size_t k = 0; k < cells.size(); ++k)
            out << (k ? "\t" : "") << cells[k];
        out << '\n';
    };
    line(b.headings);
    for (const auto& cells : b.cells())
        line(cells);
    return 0;
}

int explaincommand(Tmodel& m, const Tclioptions& options, std::ostream& out) {
    const bool dose = options.count("dose") > 0;
    const std::uint32_t s = parseitem(m, option(options, "region"), dose);
    const Tindicator indicator = parseindicator(option(options, "indicator"));
    requireconcentrations(m);
    const std::vector<Tbreakdownbutton> buttons =
        dose ? doseview(m, s, indicator) : distributionview(m, s, indicator);
    auto name = [&](std::uint32_t item) {
        return dose ? Tregcomps::routename(item) : m.compartments.name(item);
    };
    for (const Tbreakdownbutton& b : buttons) {
        out << "button\t" << name(b.item) << '\t' << (b.visible ? "visible" : "hidden") << '\t'
            << (b.barvisible ? std::to_string(b.position) : std::string("-"));
        for (const std::string& text : b.caption)
            out << '\t' << text;
        out << '\n';
    }
    for (const Tbreakdownbutton& b : buttons) {
        if (!b.visible) continue;
        const std::vector<std::string> lines =
            dose ? routebreakdown(m, s, b.item) : compartmentbreakdown(m, s, b.item);
        for (const std::string& text : lines)
            out << "breakdown\t" << name(b.item) << '\t' << text << '\n';
    }
    return 0;
}

} // namespace velmora
