#include "toolkit/output/textwriter.h"

#include <algorithm>
#include <charconv>
#include <ostream>

namespace velmora {

namespace {

// A table seen as output lines of items: rows of cells, or columns of cells
// when transposed, with the heading lines and items that lie in the range.
class Tlineview {
public:
    Tlineview(const Tcelltable& table, const Ttableoptions& options)
        : table_(table), transposed_(options.transposed), full_(options.fullprecision) {
        const int fixedrows = options.skipfixed ? table.fixedrows() : 0;
        const int fixedcols = options.skipfixed ? table.fixedcols() : 0;
        const int rows = table.rows() - fixedrows;
        const int cols = table.cols() - fixedcols;
        // Fixed cells inside the range are headings; skipped ones are gone.
        const int headrows = options.skipfixed ? 0 : std::min(table.fixedrows(), table.rows());
        const int headcols = options.skipfixed ? 0 : std::min(table.fixedcols(), table.cols());
        if (!transposed_) {
            firstline_ = fixedrows, firstitem_ = fixedcols;
            lines_ = rows, items_ = cols, headlines_ = headrows, headitems_ = headcols;
        } else {
            firstline_ = fixedcols, firstitem_ = fixedrows;
            lines_ = cols, items_ = rows, headlines_ = headcols, headitems_ = headrows;
        }
        if (lines_ < 0 || items_ <= 0) lines_ = 0;
        if (items_ < 0) items_ = 0;
    }
    int lines() const { return lines_; }
    int items() const { return items_; }
    bool headingline(int line) const { return line < headlines_; }
    bool headingitem(int item) const { return item < headitems_; }
    std::string cell(int line, int item) const {
        const int c = transposed_ ? firstline_ + line : firstitem_ + item;
        const int r = transposed_ ? firstitem_ + item : firstline_ + line;
        return full_ ? table_.fullcell(c, r) : table_.cell(c, r);
    }

private:
    const Tcelltable& table_;
    bool transposed_;
    bool full_;
    int firstline_ = 0, firstitem_ = 0, lines_ = 0, items_ = 0, headlines_ = 0, headitems_ = 0;
};

std::string decorate(const std::string& text, int quoting) {
    if (quoting == quoteleading) return "'" + text;
    if (quoting == quotedouble) return "\"" + text + "\"";
    return text;
}

// A tab or line break inside a cell would split it into two cells or lines.
std::string oneline(std::string text) {
    for (char& ch : text)
        if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// What a data cell becomes in a Matlab matrix: numbers as they are, the
// infinite value as Inf, everything that is no number (unknown, hidden,
// empty, words) as NaN, so that the script always loads.
std::string matlabvalue(const std::string& cell, const Tspecialtexts& special) {
    const std::string text = trimmed(cell);
    if (isnumbertext(text)) return text;
    if (!special.inf.empty()) {
        if (text == special.inf) return "Inf";
        if (text == "-" + special.inf) return "-Inf";
    }
    return "NaN";
}

std::string texitem(const std::string& text) {
    if (text.empty() || isnumbertext(trimmed(text))) return text;
    // The array is in math mode; words keep their own spacing in a box.
    return "\\mbox{" + texescape(text) + "}";
}

bool step(const Toutputprogress& progress, std::int64_t done, std::int64_t total) {
    return !progress || progress(done, total);
}

bool writetab(std::ostream& out, const Tlineview& view, const Ttableoptions& options,
              const Toutputprogress& progress) {
    const std::int64_t total = std::int64_t(view.lines()) * view.items();
    for (int line = 0; line < view.lines(); ++line) {
        std::string text;
        for (int item = 0; item < view.items(); ++item) {
            if (item > 0) text += '\t';
            text += decorate(oneline(view.cell(line, item)), options.quoting);
        }
        out << text << '\n';
        if (!step(progress, std::int64_t(line + 1) * view.items(), total)) return false;
    }
    return true;
}

// Headings go into comment lines (above the matrix for heading lines, after
// the row for heading items), so the matrix holds numbers only.
bool writematlab(std::ostream& out, const Tlineview& view, int number,
                 const Ttableoptions& options, const Tspecialtexts& special,
                 const Toutputprogress& progress) {
    const std::int64_t total = std::int64_t(view.lines()) * view.items();
    int firstdata = 0;
    while (firstdata < view.lines() && view.headingline(firstdata)) {
        std::string text = "%";
        for (int item = 0; item < view.items(); ++item)
            text += (item > 0 ? "\t" : " ") + decorate(oneline(view.cell(firstdata, item)),
                                                       options.quoting);
        out << text << '\n';
        ++firstdata;
    }
    const std::string name = "X" + std::to_string(number);
    const std::string close = options.transposed ? "];" : "]";
    if (firstdata >= view.lines()) {
        out << name << " = [" << close << '\n';
        return step(progress, total, total);
    }
    for (int line = firstdata; line < view.lines(); ++line) {
        std::string text = line == firstdata ? name + " = [ " : "  ";
        std::string heading;
        bool first = true;
        for (int item = 0; item < view.items(); ++item) {
            const std::string cell = oneline(view.cell(line, item));
            if (view.headingitem(item)) {
                heading += (heading.empty() ? "" : " ") + cell;
                continue;
            }
            if (!first) {
                if (text.size() > matlablinewidth) {
                    out << text << " ..." << '\n';
                    text = "  ";
                } else {
                    text += ' ';
                }
            }
            first = false;
            text += options.quoting == quoteplain ? matlabvalue(cell, special)
                                                  : decorate(cell, options.quoting);
        }
        text += line + 1 < view.lines() ? ";" : close;
        if (!heading.empty()) text += " % " + heading;
        out << text << '\n';
        if (!step(progress, std::int64_t(line + 1) * view.items(), total)) return false;
    }
    return true;
}

bool writetex(std::ostream& out, const Tlineview& view, int number, const Ttableoptions& options,
              const Toutputprogress& progress) {
    const std::int64_t total = std::int64_t(view.lines()) * view.items();
    out << "$X_{" << number << "} = \\begin{array}{" << std::string(view.items(), 'c') << "}\n";
    for (int line = 0; line < view.lines(); ++line) {
        std::string text = "  ";
        for (int item = 0; item < view.items(); ++item) {
            if (item > 0) text += " & ";
            text += texitem(decorate(oneline(view.cell(line, item)), options.quoting));
        }
        if (line + 1 < view.lines()) text += " \\\\";
        out << text << '\n';
        if (!step(progress, std::int64_t(line + 1) * view.items(), total)) return false;
    }
    out << "\\end{array}$\n";
    return true;
}

bool writehtml(std::ostream& out, const Tlineview& view, const Ttableoptions& options,
               const Toutputprogress& progress) {
    const std::int64_t total = std::int64_t(view.lines()) * view.items();
    out << "<table>\n";
    for (int line = 0; line < view.lines(); ++line) {
        std::string text = "  <tr>";
        for (int item = 0; item < view.items(); ++item)
            text += "<td> " + htmlescape(decorate(view.cell(line, item), options.quoting)) +
                    " </td>";
        out << text << "</tr>\n";
        if (!step(progress, std::int64_t(line + 1) * view.items(), total)) return false;
    }
    out << "</table>\n";
    return true;
}

} // namespace

bool isnumbertext(const std::string& text) {
    if (text.empty()) return false;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    // from_chars takes "inf" and "nan"; only spelled-out numbers count here.
    return error == std::errc() && end == text.data() + text.size() &&
           text.find_first_of("iInN") == std::string::npos;
}

std::string texescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
        case '_': case '%': case '&': case '#': case '$': case '{': case '}':
            out += '\\';
            out += ch;
            break;
        case '^': out += "\\textasciicircum{}"; break;
        case '~': out += "\\textasciitilde{}"; break;
        case '\\': out += "\\textbackslash{}"; break;
        // The default font encoding prints < and > as other characters.
        case '<': out += "\\textless{}"; break;
        case '>': out += "\\textgreater{}"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string htmlescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string outputline(int style, const std::string& text) {
    switch (style) {
    case stylematlab: return "%" + text;
    // Each line its own paragraph: TeX would run consecutive lines together.
    case styletex: return texescape(text) + "\\par";
    case stylehtml: return htmlescape(text) + "<br>";
    default: return text;
    }
}

void writeline(std::ostream& out, int style, const std::string& text) {
    out << outputline(style, text) << '\n';
}

void writeblank(std::ostream& out, int style) {
    out << (style == stylehtml ? "<br>" : "") << '\n';
}

bool writegrid(std::ostream& out, int style, const Tcelltable& table, int number,
               const Ttableoptions& options, const Tspecialtexts& special,
               const Toutputprogress& progress) {
    const Tlineview view(table, options);
    switch (style) {
    case stylematlab: return writematlab(out, view, number, options, special, progress);
    case styletex: return writetex(out, view, number, options, progress);
    case stylehtml: return writehtml(out, view, options, progress);
    default: return writetab(out, view, options, progress);
    }
}

std::string documenthead(int style, const std::string& title) {
    if (style != stylehtml) return {};
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           htmlescape(title) + "</title>\n</head>\n<body>\n";
}

std::string documenttail(int style) {
    return style == stylehtml ? "</body>\n</html>\n" : std::string();
}

} // namespace velmora
