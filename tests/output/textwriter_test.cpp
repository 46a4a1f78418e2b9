// The text styles of the output window against golden files kept beside
// this test. To regenerate them after a deliberate change of format, run the
// tests with VELMORA_REGENERATE_GOLDEN=1 and read the diff before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "toolkit/output/textwriter.h"

using namespace velmora;

namespace {

// A table of fixed texts, as a results grid hands them over.
class Ttesttable : public Tcelltable {
public:
    Ttesttable(std::vector<std::vector<std::string>> rows, int fixedcols, int fixedrows)
        : rows_(std::move(rows)), fixedcols_(fixedcols), fixedrows_(fixedrows) {}
    int cols() const override { return rows_.empty() ? 0 : static_cast<int>(rows_[0].size()); }
    int rows() const override { return static_cast<int>(rows_.size()); }
    int fixedcols() const override { return fixedcols_; }
    int fixedrows() const override { return fixedrows_; }
    std::string cell(int c, int r) const override {
        if (r < 0 || r >= rows() || c < 0 || c >= cols()) return {};
        return rows_[r][c];
    }

private:
    std::vector<std::vector<std::string>> rows_;
    int fixedcols_, fixedrows_;
};

// Regcomp names with underscores, a name with a non-ASCII letter, the
// infinite, unknown and hidden texts, and characters every markup escapes.
Ttesttable smalltable() {
    return Ttesttable({{"Region", "Austria_air", "Côte d'Ivoire_river water", "x^2 & <b>"},
                       {"Austria", "1.5e-05", "inf", "?"},
                       {"Côte d'Ivoire", "37", "-", "12% {#$~\\}"}},
                      1, 1);
}

std::string golden(const std::string& name) {
    return std::string(VELMORA_SOURCE_DIR) + "/tests/output/golden/" + name;
}

void expectgolden(const std::string& name, const std::string& text) {
    const char* regenerate = std::getenv("VELMORA_REGENERATE_GOLDEN");
    if (regenerate && std::string(regenerate) == "1") {
        std::ofstream(golden(name), std::ios::binary) << text;
        return;
    }
    std::ifstream in(golden(name), std::ios::binary);
    ASSERT_TRUE(in) << "missing golden file " << golden(name);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(expected.str(), text) << "differs from " << golden(name);
}

std::string grid(int style, const Tcelltable& table, int number, Ttableoptions options) {
    std::ostringstream out;
    EXPECT_TRUE(writegrid(out, style, table, number, options));
    return out.str();
}

// Every style on the small table: whole, without the headings, with quotes,
// and transposed, one golden file per style.
std::string allvariants(int style) {
    const Ttesttable table = smalltable();
    std::ostringstream out;
    out << outputline(style, "whole table") << '\n' << grid(style, table, 1, {});
    out << outputline(style, "skip fixed") << '\n' << grid(style, table, 2, {true, quoteplain, false});
    out << outputline(style, "leading quote") << '\n' << grid(style, table, 3, {false, quoteleading, false});
    out << outputline(style, "within quotes, skip fixed") << '\n' << grid(style, table, 4, {true, quotedouble, false});
    out << outputline(style, "transposed") << '\n' << grid(style, table, 5, {false, quoteplain, true});
    out << outputline(style, "transposed, skip fixed") << '\n' << grid(style, table, 6, {true, quoteplain, true});
    writeblank(out, style);
    return out.str();
}

} // namespace

TEST(Textwriter, TabDelimitedGolden) { expectgolden("tab.txt", allvariants(styletab)); }
TEST(Textwriter, MatlabGolden) { expectgolden("matlab.m", allvariants(stylematlab)); }
TEST(Textwriter, TexGolden) { expectgolden("tex.tex", allvariants(styletex)); }
TEST(Textwriter, HtmlGolden) {
    expectgolden("html.html", documenthead(stylehtml, "Velmora - Output") + allvariants(stylehtml) +
                                  documenttail(stylehtml));
}

TEST(Textwriter, MatlabContinuesLongLines) {
    std::vector<std::string> row{"Air"}, heading{""};
    for (int c = 1; c <= 120; ++c) {
        row.push_back("1.234567e-" + std::to_string(10 + c % 20));
        heading.push_back("c" + std::to_string(c));
    }
    const Ttesttable table({heading, row, row}, 1, 1);
    const std::string text = grid(stylematlab, table, 7, {});
    std::istringstream lines(text);
    std::string line;
    int continued = 0;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), matlablinewidth + 20) << line;
        if (line.size() > 4 && line.substr(line.size() - 4) == " ...") ++continued;
    }
    EXPECT_EQ(continued, 2); // 120 items of 12 or 13 characters: one break per row
    expectgolden("matlab-long.m", text + grid(stylematlab, table, 8, {true, quoteplain, true}));
}

// A 3 x 2 grid with one fixed row and column: two data cells in one column.
TEST(Textwriter, SkipFixedLeavesOneCellPerLine) {
    const Ttesttable table({{"", "h"}, {"a", "1"}, {"b", "2"}}, 1, 1);
    EXPECT_EQ(grid(styletab, table, 1, {true, quoteplain, false}), "1\n2\n");
    EXPECT_EQ(grid(stylematlab, table, 1, {true, quoteplain, false}), "X1 = [ 1;\n  2]\n");
    EXPECT_EQ(grid(stylematlab, table, 1, {true, quoteplain, true}), "X1 = [ 1 2];\n");
}

TEST(Textwriter, DoubleQuotesInEveryStyle) {
    const Ttesttable table({{"37"}}, 0, 0);
    for (int style : {styletab, stylematlab, styletex, stylehtml})
        EXPECT_NE(grid(style, table, 1, {false, quotedouble, false}).find("\"37\""), std::string::npos)
            << style;
}

TEST(Textwriter, TexArrayOfTwoByTwo) {
    const Ttesttable table({{"1", "2"}, {"3", "4"}}, 0, 0);
    EXPECT_EQ(grid(styletex, table, 12, {}),
              "$X_{12} = \\begin{array}{cc}\n  1 & 2 \\\\\n  3 & 4\n\\end{array}$\n");
}

TEST(Textwriter, EscapesKeepNamesIntact) {
    EXPECT_EQ(texescape("Austria_air 5% & #1 $x {y} ~ ^ \\"),
              "Austria\\_air 5\\% \\& \\#1 \\$x \\{y\\} \\textasciitilde{} \\textasciicircum{} "
              "\\textbackslash{}");
    EXPECT_EQ(htmlescape("Côte d'Ivoire <&>"), "Côte d'Ivoire &lt;&amp;&gt;");
    EXPECT_NE(documenthead(stylehtml, "t").find("<meta charset=\"utf-8\">"), std::string::npos);
}

TEST(Textwriter, MatlabWritesNumbersOnly) {
    const Ttesttable table({{"inf", "-inf", "?", "-", "", "word", "2.5E+03"}}, 0, 0);
    EXPECT_EQ(grid(stylematlab, table, 3, {}), "X3 = [ Inf -Inf NaN NaN NaN NaN 2.5E+03]\n");
}

TEST(Textwriter, LinesInEachStyle) {
    EXPECT_EQ(outputline(styletab, "a_b"), "a_b");
    EXPECT_EQ(outputline(stylematlab, "a_b"), "%a_b");
    EXPECT_EQ(outputline(styletex, "a_b"), "a\\_b\\par");
    EXPECT_EQ(outputline(stylehtml, "a<b"), "a&lt;b<br>");
    std::ostringstream out;
    writeblank(out, stylehtml);
    writeblank(out, styletab);
    EXPECT_EQ(out.str(), "<br>\n\n");
}

TEST(Textwriter, StopsWhenProgressSaysSo) {
    const Ttesttable table = smalltable();
    std::ostringstream out;
    int calls = 0;
    std::int64_t last = 0;
    const bool done = writegrid(out, styletab, table, 1, {}, {}, [&](std::int64_t d, std::int64_t total) {
        ++calls;
        last = d;
        EXPECT_EQ(total, 12);
        return calls < 2;
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(last, 8);
}

// "Full precision" writes the stored value a cell stands for, with the nine
// digits that tell every single-precision value apart; headings, texts and
// cells without a stored value read as shown.
TEST(Textwriter, FullPrecisionWritesTheStoredValues) {
    class Tfulltable : public Ttesttable {
    public:
        using Ttesttable::Ttesttable;
        std::string fullcell(int c, int r) const override {
            return c == 1 && r == 1 ? "1.23456791E-8" : cell(c, r);
        }
    };
    const Tfulltable table({{"Region", "C_air (kg chem*m^-3)", "abbr"},
                            {"Austria", "1.23E-8", "AT"},
                            {"Belgium", "?", "BE"}},
                           1, 1);
    EXPECT_EQ(grid(styletab, table, 1, {}),
              "Region\tC_air (kg chem*m^-3)\tabbr\nAustria\t1.23E-8\tAT\nBelgium\t?\tBE\n");
    Ttableoptions full;
    full.fullprecision = true;
    EXPECT_EQ(grid(styletab, table, 1, full),
              "Region\tC_air (kg chem*m^-3)\tabbr\nAustria\t1.23456791E-8\tAT\nBelgium\t?\tBE\n");
    full.transposed = true;
    full.skipfixed = true;
    EXPECT_EQ(grid(stylematlab, table, 2, full), "X2 = [ 1.23456791E-8 NaN;\n  NaN NaN];\n");
}
