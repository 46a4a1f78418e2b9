#include "uncertainty/uncertaintysheet.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>

#include <unistd.h>

#include "numeric/utilities.h"
#include "toolkit/sheets/excelfile.h"
#include "toolkit/sheets/workbookwriter.h"
#include "uncertainty/modelcopy.h"

namespace velmora {

const char* const inputssheetname = "Uncertainty";
const char* const correlationssheetname = "Rank correlations";
const char* const runsheetname = "Uncertainty run";

namespace {

const char* const inputheadings[] = {
    Tinputcolumns::parameter, Tinputcolumns::region, Tinputcolumns::distribution,
    Tinputcolumns::scale,     Tinputcolumns::value1, Tinputcolumns::value2,
    Tinputcolumns::value3,    Tinputcolumns::lower,  Tinputcolumns::upper};
const char* const correlationheadings[] = {Tinputcolumns::first, Tinputcolumns::second,
                                           Tinputcolumns::rankcorrelation};

std::string lowered(std::string s) {
    for (char& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// One table of a sheet: the columns found by their headings in row 1.
class Tsheettable {
public:
    Tsheettable(TExcelFile& w, const char* sheet, const char* const* headings, std::size_t count,
                std::size_t required)
        : w_(w) {
        w.selectsheet(sheet);
        for (std::uint32_t c = 1; c <= w.lastcolumn(); ++c) {
            const std::string heading = lowered(trimmed(w.cell(1, c)));
            for (std::size_t k = 0; k < count; ++k)
                if (heading == headings[k] && !column(headings[k]))
                    columns_.emplace_back(headings[k], c);
        }
        for (std::size_t k = 0; k < required; ++k)
            if (!column(headings[k]))
                throw Eerror(w.workbookname() + " sheet \"" + sheet + "\": row 1 has no column \"" +
                             headings[k] + "\"");
    }
    std::uint32_t column(const std::string& heading) const {
        for (const auto& [name, c] : columns_)
            if (name == heading) return c;
        return 0;
    }
    std::string text(std::uint32_t r, const char* heading) const {
        const std::uint32_t c = column(heading);
        return c ? trimmed(w_.cell(r, c)) : std::string();
    }
    bool emptyrow(std::uint32_t r) const {
        for (const auto& [name, c] : columns_)
            if (!trimmed(w_.cell(r, c)).empty()) return false;
        return true;
    }
    [[noreturn]] void fail(std::uint32_t r, const char* heading, const std::string& problem) const {
        const std::uint32_t c = column(heading);
        throw Eerror(w_.where(r, c ? c : 1) + " (" + heading + "): " + problem);
    }
    // A number; empty cells give nothing when optional, else an error.
    std::optional<double> number(std::uint32_t r, const char* heading, bool optional) const {
        const std::string t = text(r, heading);
        if (t.empty()) {
            if (optional) return std::nullopt;
            fail(r, heading, "a number is needed here");
        }
        try {
            const double x = static_cast<double>(strtonum(t));
            if (!std::isfinite(x)) fail(r, heading, "'" + t + "' is not a finite number");
            return x;
        } catch (const EConvertError&) {
            fail(r, heading, "'" + t + "' is not a number");
        }
    }
    const std::vector<std::pair<std::string, std::uint32_t>>& columns() const { return columns_; }

private:
    TExcelFile& w_;
    std::vector<std::pair<std::string, std::uint32_t>> columns_;
};

void readinputs(TExcelFile& w, Tuncertaintyworkbook& book) {
    Tsheettable t(w, inputssheetname, inputheadings, 9, 1);
    if (!t.column(Tinputcolumns::distribution) || !t.column(Tinputcolumns::value1) ||
        !t.column(Tinputcolumns::value2))
        throw Eerror(w.workbookname() + " sheet \"" + inputssheetname +
                     "\": row 1 needs the columns \"distribution\", \"value 1\" and \"value 2\"");
    for (std::uint32_t r = 2; r <= w.lastrow(); ++r) {
        if (t.emptyrow(r)) continue;
        Tuncertaininput in;
        in.parameter = t.text(r, Tinputcolumns::parameter);
        const std::string region = t.text(r, Tinputcolumns::region);
        in.region = region.empty() ? allregions : region;
        const std::string kind = t.text(r, Tinputcolumns::distribution);
        if (!parsedistribution(kind, in.distribution.kind))
            t.fail(r, Tinputcolumns::distribution,
                   "\"" + kind + "\" is not lognormal, normal, uniform or triangular");
        const std::string scale = t.text(r, Tinputcolumns::scale);
        if (!scale.empty() && !parsescale(scale, in.scale))
            t.fail(r, Tinputcolumns::scale, "\"" + scale + "\" is not factor or value");
        in.distribution.first = *t.number(r, Tinputcolumns::value1, false);
        in.distribution.second = *t.number(r, Tinputcolumns::value2, false);
        const bool triangular = in.distribution.kind == Tdistributionkind::triangular;
        if (auto third = t.number(r, Tinputcolumns::value3, !triangular))
            in.distribution.third = *third;
        in.distribution.lower = t.number(r, Tinputcolumns::lower, true);
        in.distribution.upper = t.number(r, Tinputcolumns::upper, true);
        book.settings.inputs.push_back(in);
        book.inputs.rows.push_back(r);
    }
    book.inputs.columns = t.columns();
}

void readcorrelations(TExcelFile& w, Tuncertaintyworkbook& book) {
    Tsheettable t(w, correlationssheetname, correlationheadings, 3, 3);
    for (std::uint32_t r = 2; r <= w.lastrow(); ++r) {
        if (t.emptyrow(r)) continue;
        Tinputcorrelation c;
        c.first = t.text(r, Tinputcolumns::first);
        c.second = t.text(r, Tinputcolumns::second);
        c.rankcorrelation = *t.number(r, Tinputcolumns::rankcorrelation, false);
        book.settings.correlations.push_back(c);
        book.correlations.rows.push_back(r);
    }
    book.correlations.columns = t.columns();
}

void readrun(TExcelFile& w, Tuncertaintyworkbook& book) {
    w.selectsheet(runsheetname);
    for (std::uint32_t r = 1; r <= w.lastrow(); ++r) {
        const std::string name = lowered(trimmed(w.cell(r, 1)));
        const std::string value = trimmed(w.cell(r, 2));
        auto whole = [&](std::uint64_t& x) {
            auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), x);
            if (ec != std::errc() || end != value.data() + value.size())
                throw Eerror(w.where(r, 2) + " (" + name + "): '" + value +
                             "' is not a whole number of 0 or more");
        };
        if (name == Tinputcolumns::draws) {
            std::uint64_t x = 0;
            whole(x);
            book.settings.draws = static_cast<std::size_t>(x);
            book.hasdraws = true;
            book.drawsrow = r;
        } else if (name == Tinputcolumns::seed) {
            whole(book.settings.seed);
            book.hasseed = true;
            book.seedrow = r;
        } else if (name == "results") {
            book.settings.results = splitresultlist(value);
            if (book.settings.results.size() == 1 && book.settings.results[0] == defaultresultsname)
                book.settings.results.clear();
            book.hasresults = true;
        }
    }
}

} // namespace

std::string Tuncertaintyworkbook::where(const Euncertaintysetting& e) const {
    const std::string file = std::filesystem::path(path).filename().string();
    auto at = [&](const char* sheet, std::uint32_t r, std::uint32_t c) {
        return file + " sheet \"" + sheet + "\" cell " + cellreference(r, c) + " (" + e.column +
               "): " + e.problem;
    };
    auto find = [&](const Ttable& t, const char* sheet) {
        std::uint32_t c = 1;
        for (const auto& [name, column] : t.columns)
            if (name == e.column) c = column;
        return at(sheet, t.rows[e.row - 1], c);
    };
    if (e.table == "inputs" && e.row >= 1 && e.row <= inputs.rows.size())
        return find(inputs, inputssheetname);
    if (e.table == "correlations" && e.row >= 1 && e.row <= correlations.rows.size())
        return find(correlations, correlationssheetname);
    if (e.column == Tinputcolumns::draws && drawsrow) return at(runsheetname, drawsrow, 2);
    return file + ": " + e.what();
}

Tuncertaintyworkbook readuncertaintyworkbook(const std::string& path) {
    // The reader tells why a workbook cannot be opened as a warning; here
    // the reason goes into the error instead.
    Tcollectingui quiet;
    TExcelFile w(quiet, path);
    if (!w.isopen()) {
        std::string reason = "cannot read " + path;
        for (const auto& [text, count] : quiet.warnings())
            reason = text;
        throw Eerror(reason);
    }
    if (!w.hassheet(inputssheetname))
        throw Eerror(w.workbookname() + " has no sheet \"" + inputssheetname + "\"");
    Tuncertaintyworkbook book;
    book.path = path;
    book.settings.results.clear();
    readinputs(w, book);
    if (w.hassheet(correlationssheetname)) readcorrelations(w, book);
    if (w.hassheet(runsheetname)) readrun(w, book);
    return book;
}

void writeuncertaintyworkbook(const std::string& path, const Tuncertaintysettings& settings) {
    namespace fs = std::filesystem;
    // The other sheets of an existing workbook, cell by cell.
    struct Tsheet {
        std::string name;
        std::vector<std::tuple<std::uint32_t, std::uint32_t, std::string>> cells;
    };
    std::vector<Tsheet> others;
    std::error_code ec;
    if (fs::exists(path, ec)) {
        Tcollectingui quiet;
        TExcelFile old(quiet, path);
        if (!old.isopen())
            throw Eerror("cannot keep the other sheets of " + path + ": it cannot be read");
        for (const std::string& name : old.sheetnames()) {
            if (name == inputssheetname || name == correlationssheetname || name == runsheetname)
                continue;
            old.selectsheet(name);
            Tsheet sheet{name, {}};
            for (std::uint32_t r = 1; r <= old.lastrow(); ++r)
                for (std::uint32_t c = 1; c <= old.lastcolumn(); ++c) {
                    std::string text = old.cell(r, c);
                    if (!text.empty()) sheet.cells.emplace_back(r, c, std::move(text));
                }
            others.push_back(std::move(sheet));
        }
    }
    const fs::path target(path);
    const fs::path temporary = target.parent_path() / ("." + target.filename().string() + "." +
                                                       std::to_string(::getpid()) + ".partial");
    try {
        Tworkbookwriter w(temporary.string());
        w.addsheet(inputssheetname);
        for (std::uint32_t c = 0; c < 9; ++c)
            w.text(1, c + 1, inputheadings[c]);
        std::uint32_t r = 2;
        for (const Tuncertaininput& in : settings.inputs) {
            const Tdistribution& d = in.distribution;
            w.text(r, 1, in.parameter);
            w.text(r, 2, in.region.empty() ? std::string(allregions) : in.region);
            w.text(r, 3, distributionname(d.kind));
            w.text(r, 4, scalename(in.scale));
            w.number(r, 5, d.first);
            w.number(r, 6, d.second);
            if (d.kind == Tdistributionkind::triangular) w.number(r, 7, d.third);
            if (d.lower) w.number(r, 8, *d.lower);
            if (d.upper) w.number(r, 9, *d.upper);
            ++r;
        }
        w.addsheet(correlationssheetname);
        for (std::uint32_t c = 0; c < 3; ++c)
            w.text(1, c + 1, correlationheadings[c]);
        r = 2;
        for (const Tinputcorrelation& c : settings.correlations) {
            w.text(r, 1, c.first);
            w.text(r, 2, c.second);
            w.number(r, 3, c.rankcorrelation);
            ++r;
        }
        w.addsheet(runsheetname);
        w.text(1, 1, Tinputcolumns::draws);
        w.number(1, 2, static_cast<double>(settings.draws));
        w.text(2, 1, Tinputcolumns::seed);
        // Seeds beyond 2^53 do not survive as numbers.
        if (settings.seed <= (std::uint64_t{1} << 53))
            w.number(2, 2, static_cast<double>(settings.seed));
        else
            w.text(2, 2, std::to_string(settings.seed));
        w.text(3, 1, "results");
        std::string results;
        for (const std::string& wanted : settings.results)
            results += (results.empty() ? "" : ", ") + wanted;
        w.text(3, 2, results.empty() ? std::string(defaultresultsname) : results);
        for (const Tsheet& sheet : others) {
            w.addsheet(sheet.name);
            for (const auto& [row, column, text] : sheet.cells)
                w.cell(row, column, text);
        }
        w.close();
        fs::rename(temporary, target);
    } catch (...) {
        fs::remove(temporary, ec);
        throw;
    }
}

} // namespace velmora
