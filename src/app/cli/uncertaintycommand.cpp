#include "app/cli/uncertaintycommand.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "numeric/checksum.h"
#include "numeric/utilities.h"
#include "uncertainty/uncertaintysheet.h"
#include "uncertainty/uncertaintytables.h"

namespace velmora {

const std::vector<std::string> uncertaintyoptions = {
    "substance", "emission", "reference", "draws", "seed", "inputs", "results", "threads", "out"};

namespace {

std::string exact(double x) {
    return std::isfinite(x) ? shortesttext(x) : std::string();
}

std::uint64_t wholenumber(const std::string& option, const std::string& text) {
    std::uint64_t x = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (ec != std::errc() || end != text.data() + text.size())
        throw Eerror("--" + option + " needs a whole number of 0 or more, not \"" + text + "\"");
    return x;
}

void writerow(std::ostream& out, const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size(); ++c)
        out << (c ? "\t" : "") << row[c];
    out << '\n';
}

void writetable(std::ostream& out, const Ttable& table) {
    for (const auto& row : table)
        writerow(out, row);
}

} // namespace

Tuncertaintysettings uncertaintysettings(Tmodel& m, const Tclioptions& options) {
    Tuncertaintysettings settings;
    Tuncertaintyworkbook book;
    const std::string inputsfile = option(options, "inputs");
    if (!inputsfile.empty()) {
        book = readuncertaintyworkbook(inputsfile);
        settings = book.settings;
    } else {
        settings.inputs = defaultinputs(m);
        if (settings.inputs.empty())
            throw Eerror("the substance holds no property with a default uncertainty; give "
                         "--inputs FILE.xlsx");
    }
    if (options.count("draws")) settings.draws = wholenumber("draws", option(options, "draws"));
    if (options.count("seed")) settings.seed = wholenumber("seed", option(options, "seed"));
    if (options.count("results")) settings.results = splitresultlist(option(options, "results"));
    if (settings.results.size() == 1 && settings.results[0] == defaultresultsname)
        settings.results.clear();
    if (options.count("threads"))
        settings.threads =
            static_cast<unsigned>(wholenumber("threads", option(options, "threads")));
    try {
        checksettings(m, settings);
    } catch (const Euncertaintysetting& e) {
        if (e.table == "run") throw Eerror("--draws: " + e.problem);
        throw Eerror(inputsfile.empty() ? e.what() : book.where(e));
    }
    return settings;
}

std::vector<std::string> writeuncertainty(const Tuncertaintyrun& run,
                                          const Tuncertaintysettings& settings, bool withdraws,
                                          const Tfilewriter& write) {
    write("summary.tsv", [&](std::ostream& f) { writetable(f, summarytable(run, exact)); });
    write("contributions.tsv",
          [&](std::ostream& f) { writetable(f, contributiontable(run, exact)); });
    write("inputs.tsv", [&](std::ostream& f) {
        writetable(f, inputtable(settings, exact));
        if (!settings.correlations.empty()) {
            f << '\n';
            writetable(f, correlationtable(settings, exact));
        }
    });
    if (!withdraws) return {"draws.tsv"};
    write("draws.tsv", [&](std::ostream& f) {
        drawrows(run, exact, [&](const std::vector<std::string>& row) { writerow(f, row); });
    });
    return {};
}

void writeuncertaintyrun(const Tuncertaintysettings& s, const std::string& inputsfile,
                         const Tuncertaintyrun& run, std::ostream& out) {
    out << "uncertainty\tdraws\t" << s.draws << '\n';
    out << "uncertainty\tseed\t" << s.seed << '\n';
    out << "uncertainty\tthreads\t" << run.threads << '\n';
    if (inputsfile.empty()) {
        out << "uncertainty\tinputs\tdefaults of the substance\n";
    } else {
        std::error_code ec;
        std::string absolute = std::filesystem::absolute(inputsfile, ec).string();
        out << "uncertainty\tinputs\t" << (ec ? inputsfile : absolute) << '\t'
            << filesha256(inputsfile) << '\n';
    }
    Ttable inputs = inputtable(s, exact);
    for (std::size_t r = 1; r < inputs.size(); ++r) {
        inputs[r].insert(inputs[r].begin(), "input");
        writerow(out, inputs[r]);
    }
    for (const Tinputcorrelation& c : s.correlations)
        out << "correlation\t" << c.first << '\t' << c.second << '\t' << exact(c.rankcorrelation)
            << '\n';
    std::string results;
    for (const std::string& spec : s.results)
        results += (results.empty() ? "" : ", ") + spec;
    out << "uncertainty\tresults\t" << (results.empty() ? defaultresultsname : results) << '\n';
    out << "uncertainty\tfailed draws\t" << run.failedcount << '\n';
    out << "time\tuncertainty\t" << run.seconds << '\n';
}

void writeuncertaintysummary(const Tuncertaintyrun& run, std::ostream& out, std::ostream& err) {
    for (const auto& [text, count] : run.warnings)
        err << "warning (" << count << " times): " << text << '\n';
    out << "draws\t" << run.draws << '\n';
    out << "failed\t" << run.failedcount << '\n';
    out << "results\t" << run.results.size() << '\n';
    out << "threads\t" << run.threads << '\n';
    out << "time\tuncertainty\t" << run.seconds << '\n';
}

} // namespace velmora
