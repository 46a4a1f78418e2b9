#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <zip.h>

#include "numeric/utilities.h"
#include "support/testsupport.h"
#include "support/zipparts.h"
#include "toolkit/sheets/excelfile.h"
#include "toolkit/sheets/workbookwriter.h"

using namespace velmora;
using velmora::testing::Ttempdir;

namespace {

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

void writefile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- .xlsx packages made part by part ---------------------------------------

using velmora::testing::Tparts;
using velmora::testing::writezip;

const char* const xmlhead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const mainns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const relns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A workbook of the given sheets: name and the XML inside <sheetData>.
// Sheet k (1-based) lives in xl/worksheets/sheet<k>.xml. Shared strings are
// whole <si> elements; none gives no shared-strings part.
Tparts package(const std::vector<std::pair<std::string, std::string>>& sheets,
               const std::vector<std::string>& shared = {}) {
    Tparts parts;
    std::string types =
        std::string(xmlhead) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
        "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/></Types>";
    parts["[Content_Types].xml"] = types;
    parts["_rels/.rels"] =
        std::string(xmlhead) +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        relns + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    std::string workbook = std::string(xmlhead) + "<workbook xmlns=\"" + mainns + "\" xmlns:r=\"" +
                           relns + "\">\n  <sheets>\n";
    std::string rels =
        std::string(xmlhead) +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">\n";
    for (std::size_t k = 1; k <= sheets.size(); ++k) {
        std::string id = "rId" + std::to_string(k);
        workbook += "    <sheet name=\"" + sheets[k - 1].first + "\" sheetId=\"" +
                    std::to_string(k) + "\" r:id=\"" + id + "\"/>\n";
        rels += std::string("  <Relationship Id=\"") + id + "\" Type=\"" + relns +
                "/worksheet\" Target=\"worksheets/sheet" + std::to_string(k) + ".xml\"/>\n";
        parts["xl/worksheets/sheet" + std::to_string(k) + ".xml"] =
            std::string(xmlhead) + "<worksheet xmlns=\"" + mainns + "\" xmlns:r=\"" + relns +
            "\">\n  <sheetData>\n" + sheets[k - 1].second + "\n  </sheetData>\n</worksheet>\n";
    }
    workbook += "  </sheets>\n</workbook>\n";
    if (!shared.empty()) {
        std::string sst = std::string(xmlhead) + "<sst xmlns=\"" + mainns + "\" count=\"" +
                          std::to_string(shared.size()) + "\" uniqueCount=\"" +
                          std::to_string(shared.size()) + "\">\n";
        for (const auto& si : shared)
            sst += "  " + si + "\n";
        parts["xl/sharedStrings.xml"] = sst + "</sst>\n";
        rels += std::string("  <Relationship Id=\"rIdS\" Type=\"") + relns +
                "/sharedStrings\" Target=\"sharedStrings.xml\"/>\n";
    }
    rels += "</Relationships>\n";
    parts["xl/workbook.xml"] = workbook;
    parts["xl/_rels/workbook.xml.rels"] = rels;
    return parts;
}

// ---- .xls (BIFF8 in a compound file) made record by record --------------------

void put16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
void putdouble(std::string& s, double x) {
    char b[8];
    std::memcpy(b, &x, 8);
    s.append(b, 8);
}
// ASCII text as UTF-16LE.
std::string utf16(const std::string& text) {
    std::string s;
    for (unsigned char c : text)
        put16(s, c);
    return s;
}
std::string record(std::uint16_t type, const std::string& body) {
    std::string s;
    put16(s, type);
    put16(s, static_cast<std::uint32_t>(body.size()));
    return s + body;
}

class Txlsbuilder {
public:
    struct Tsheet {
        std::string name;
        std::string cells; // cell records
        std::uint32_t rows = 0, cols = 0;
    };
    std::vector<Tsheet> sheets;
    std::vector<std::string> strings; // the shared string table

    Tsheet& addsheet(const std::string& name) {
        sheets.push_back({name, {}, 0, 0});
        return sheets.back();
    }
    // Zero-based row and column as in the file.
    static std::string head(Tsheet& s, std::uint32_t r, std::uint32_t c) {
        s.rows = std::max(s.rows, r + 1);
        s.cols = std::max(s.cols, c + 1);
        std::string b;
        put16(b, r);
        put16(b, c);
        put16(b, 0); // cell format
        return b;
    }
    void number(Tsheet& s, std::uint32_t r, std::uint32_t c, double x) {
        std::string b = head(s, r, c);
        putdouble(b, x);
        s.cells += record(0x0203, b);
    }
    void rkinteger(Tsheet& s, std::uint32_t r, std::uint32_t c, std::int32_t k) {
        std::string b = head(s, r, c);
        put32(b, (static_cast<std::uint32_t>(k) << 2) | 2u);
        s.cells += record(0x027E, b);
    }
    void sharedtext(Tsheet& s, std::uint32_t r, std::uint32_t c, const std::string& text) {
        std::string b = head(s, r, c);
        put32(b, static_cast<std::uint32_t>(strings.size()));
        strings.push_back(text);
        s.cells += record(0x00FD, b);
    }
    // Any record, as it stands, after the sheet's cells so far.
    void raw(Tsheet& s, std::uint16_t type, const std::string& body) {
        s.cells += record(type, body);
    }
    void label(Tsheet& s, std::uint32_t r, std::uint32_t c, const std::string& text) {
        std::string b = head(s, r, c);
        put16(b, static_cast<std::uint32_t>(text.size()));
        b += '\x01';
        b += utf16(text);
        s.cells += record(0x0204, b);
    }

    std::string workbookstream() const {
        auto bof = [](std::uint16_t kind) {
            std::string b;
            put16(b, 0x0600);
            put16(b, kind);
            put16(b, 0x0DBB);
            put16(b, 0x07CC);
            put32(b, 0);
            put32(b, 6);
            return record(0x0809, b);
        };
        std::string codepage;
        put16(codepage, 0x04B0);
        // The shared strings in records of at most 8,224 bytes: a string
        // whose characters go on in a CONTINUE record starts it with its
        // flags byte again.
        std::vector<std::string> sstrecords(1);
        put32(sstrecords[0], static_cast<std::uint32_t>(strings.size()));
        put32(sstrecords[0], static_cast<std::uint32_t>(strings.size()));
        for (const auto& t : strings) {
            if (sstrecords.back().size() + 5 > 8224) sstrecords.emplace_back();
            put16(sstrecords.back(), static_cast<std::uint32_t>(t.size()));
            sstrecords.back() += '\x01';
            for (unsigned char c : t) {
                if (sstrecords.back().size() + 2 > 8224) sstrecords.push_back("\x01");
                put16(sstrecords.back(), c);
            }
        }
        std::string sst = sstrecords[0];
        std::string sstcontinue;
        for (std::size_t k = 1; k < sstrecords.size(); ++k)
            sstcontinue += record(0x003C, sstrecords[k]);
        // The globals come first; their size fixes where each sheet starts.
        auto globals = [&](const std::vector<std::uint32_t>& offsets) {
            std::string g = bof(0x0005) + record(0x0042, codepage);
            for (std::size_t k = 0; k < sheets.size(); ++k) {
                std::string b;
                put32(b, offsets[k]);
                b += '\0'; // visible
                b += '\0'; // worksheet
                b += static_cast<char>(sheets[k].name.size());
                b += '\x01';
                b += utf16(sheets[k].name);
                g += record(0x0085, b);
            }
            return g + record(0x00FC, sst) + sstcontinue + record(0x000A, "");
        };
        std::vector<std::uint32_t> offsets(sheets.size(), 0);
        std::string g = globals(offsets);
        std::uint32_t at = static_cast<std::uint32_t>(g.size());
        std::string body;
        for (std::size_t k = 0; k < sheets.size(); ++k) {
            offsets[k] = at + static_cast<std::uint32_t>(body.size());
            std::string dim;
            put32(dim, 0);
            put32(dim, sheets[k].rows);
            put16(dim, 0);
            put16(dim, sheets[k].cols);
            put16(dim, 0);
            body += bof(0x0010) + record(0x0200, dim) + sheets[k].cells + record(0x000A, "");
        }
        return globals(offsets) + body;
    }

    // The stream in a compound file: header, one FAT sector, one directory
    // sector, then the stream itself, padded past the small-stream limit.
    std::string file() const {
        std::string stream = workbookstream();
        if (stream.size() < 4096) stream.resize(4096, '\0');
        std::uint32_t n = static_cast<std::uint32_t>((stream.size() + 511) / 512);
        stream.resize(std::size_t(n) * 512, '\0');
        const std::uint32_t endofchain = 0xFFFFFFFE, freesect = 0xFFFFFFFF, fatsect = 0xFFFFFFFD;
        std::string h;
        h += std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        h += std::string(16, '\0');
        put16(h, 0x003E);
        put16(h, 0x0003);
        put16(h, 0xFFFE);
        put16(h, 9);
        put16(h, 6);
        h += std::string(6, '\0');
        put32(h, 0);          // directory sectors (version 3)
        put32(h, 1);          // FAT sectors
        put32(h, 1);          // first directory sector
        put32(h, 0);          // transaction
        put32(h, 4096);       // small-stream limit
        put32(h, endofchain); // no mini FAT
        put32(h, 0);
        put32(h, endofchain); // no further FAT list
        put32(h, 0);
        put32(h, 0); // the FAT is sector 0
        for (int k = 1; k < 109; ++k)
            put32(h, freesect);
        std::string fat;
        put32(fat, fatsect);
        put32(fat, endofchain);
        for (std::uint32_t k = 0; k < n; ++k)
            put32(fat, k + 1 < n ? 3 + k : endofchain);
        while (fat.size() < 512)
            put32(fat, freesect);
        auto entry = [&](const std::string& name, std::uint8_t type, std::uint32_t child,
                         std::uint32_t start, std::uint32_t size) {
            std::string e = utf16(name);
            e.resize(64, '\0');
            put16(e, static_cast<std::uint32_t>(name.size() + 1) * 2);
            e += static_cast<char>(type);
            e += '\x01'; // black
            put32(e, freesect);
            put32(e, freesect);
            put32(e, child);
            e += std::string(16 + 4 + 16, '\0');
            put32(e, start);
            put32(e, size);
            put32(e, 0);
            return e;
        };
        std::string dir =
            entry("Root Entry", 5, 1, endofchain, 0) +
            entry("Workbook", 2, freesect, 2, static_cast<std::uint32_t>(stream.size()));
        std::string empty(128, '\0');
        dir += empty + empty;
        return h + fat + dir + stream;
    }
};

// The one warning of a workbook that cannot be opened, and its reason.
void expectclosed(TExcelFile& f, Trecorderui& ui, const std::string& path,
                  const std::string& reasonpart) {
    EXPECT_FALSE(f.isopen());
    ASSERT_EQ(ui.warnings.size(), 1u);
    const std::string start = "Cannot open the workbook " + path + ": ";
    EXPECT_EQ(ui.warnings[0].substr(0, start.size()), start) << ui.warnings[0];
    EXPECT_NE(ui.warnings[0].find(reasonpart), std::string::npos) << ui.warnings[0];
    EXPECT_GT(ui.warnings[0].size(), start.size());
    // Callers go on without checking: nothing raises and every cell is empty.
    EXPECT_TRUE(f.sheetnames().empty());
    EXPECT_EQ(f.sheetname(), "");
    EXPECT_NO_THROW(f.selectsheet("Sheet1"));
    EXPECT_EQ(f.lastrow(), 0u);
    EXPECT_EQ(f.lastcolumn(), 0u);
    EXPECT_EQ(f.cell(1, 1), "");
    EXPECT_EQ(f.cell(0, 0), "");
    EXPECT_EQ(ui.warnings.size(), 1u);
}

// Awkward numbers that must survive a write and a read exactly.
const std::vector<double> awkward = {0.1,
                                     1.0 / 3.0,
                                     2.0 / 3.0,
                                     1e-300,
                                     123456789012345678.0,
                                     -0.0,
                                     0,
                                     42,
                                     -7,
                                     1000000,
                                     0.1 + 0.2,
                                     4.35,
                                     1e21,
                                     1e-7,
                                     -2.5e-5,
                                     9007199254740993.0,
                                     std::numeric_limits<double>::denorm_min(),
                                     std::numeric_limits<double>::min(),
                                     std::numeric_limits<double>::max(),
                                     -std::numeric_limits<double>::max(),
                                     3.4028234663852886e38,
                                     1.0000000000000002,
                                     0.30000000000000004,
                                     6.02214076e23};

} // namespace

// ---- workbooks written by the workbook writer ------------------------------------

TEST(TExcelFile, SheetNamesInWorkbookOrderAndTheFirstSheetCurrent) {
    Ttempdir dir;
    std::string path = dir.file("order.xlsx");
    Tworkbookwriter w(path);
    for (const char* name : {"zeta", "Alpha", "mid dle", "countryparameters"}) {
        w.addsheet(name);
        w.text(1, 1, std::string("on ") + name);
    }
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_TRUE(ui.warnings.empty());
    ASSERT_TRUE(f.isopen());
    EXPECT_EQ(f.sheetnames(),
              (std::vector<std::string>{"zeta", "Alpha", "mid dle", "countryparameters"}));
    EXPECT_EQ(f.sheetname(), "zeta");
    EXPECT_EQ(f.cell(1, 1), "on zeta");
    f.selectsheet("mid dle");
    EXPECT_EQ(f.sheetname(), "mid dle");
    EXPECT_EQ(f.cell(1, 1), "on mid dle");
    f.selectsheet("Alpha");
    EXPECT_EQ(f.cell(1, 1), "on Alpha");
    EXPECT_EQ(f.workbookname(), "order.xlsx");
    EXPECT_TRUE(f.hassheet("zeta"));
    EXPECT_FALSE(f.hassheet("Zeta"));
}

TEST(TExcelFile, SelectingAMissingSheetNamesTheWorkbookAndTheSheet) {
    Ttempdir dir;
    std::string path = dir.file("names.xlsx");
    velmora::testing::Tsheetspec sheet{"VELMORA", {}};
    sheet.set(1, 1, "x");
    velmora::testing::writeworkbook(path, {sheet});
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_THROW(f.selectsheet("velmora"), Eerror); // exact, case-sensitive
    std::string m = message([&] { f.selectsheet("Substances"); });
    EXPECT_NE(m.find("names.xlsx"), std::string::npos) << m;
    EXPECT_NE(m.find("Substances"), std::string::npos) << m;
    EXPECT_EQ(f.sheetname(), "VELMORA"); // still the current sheet
    EXPECT_EQ(f.cell(1, 1), "x");
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(TExcelFile, LastRowLastColumnAndEmptyCells) {
    Ttempdir dir;
    std::string path = dir.file("extent.xlsx");
    Tworkbookwriter w(path);
    w.addsheet("first");
    w.text(1, 1, "a");
    w.number(7, 3, 2.5);
    w.text(2, 9, "far right");
    w.addsheet("empty");
    w.addsheet("third");
    w.number(1048576, 2, 1); // the last row a sheet has
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.lastrow(), 7u);
    EXPECT_EQ(f.lastcolumn(), 9u);
    EXPECT_EQ(f.cell(7, 3), "2.5");
    EXPECT_EQ(f.cell(2, 9), "far right");
    EXPECT_EQ(f.cell(3, 3), "");
    EXPECT_EQ(f.cell(8, 1), "");
    EXPECT_EQ(f.cell(1, 10), "");
    EXPECT_EQ(f.cell(0, 1), "");
    EXPECT_EQ(f.cell(1, 0), "");
    f.selectsheet("empty");
    EXPECT_EQ(f.lastrow(), 0u);
    EXPECT_EQ(f.lastcolumn(), 0u);
    EXPECT_EQ(f.cell(1, 1), "");
    f.selectsheet("third");
    EXPECT_EQ(f.lastrow(), 1048576u);
    EXPECT_EQ(f.lastcolumn(), 2u);
    EXPECT_EQ(f.cell(1048576, 2), "1");
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(TExcelFile, NumberCellsReadBackToExactlyTheStoredDouble) {
    Ttempdir dir;
    std::string path = dir.file("numbers.xlsx");
    Tworkbookwriter w(path);
    w.addsheet("numbers");
    for (std::size_t k = 0; k < awkward.size(); ++k)
        w.number(static_cast<std::uint32_t>(k + 1), 2, awkward[k]);
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    for (std::size_t k = 0; k < awkward.size(); ++k) {
        std::string text = f.cell(static_cast<std::uint32_t>(k + 1), 2);
        SCOPED_TRACE(text);
        double back = 0;
        ASSERT_NO_THROW(back = static_cast<double>(strtonum(text)));
        EXPECT_EQ(back, awkward[k]) << k;
    }
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(TExcelFile, IntegralNumbersReadAsPlainIntegers) {
    // Integer parameters read their cells through the integer parser.
    Ttempdir dir;
    std::string path = dir.file("integers.xlsx");
    const std::vector<double> values = {0,          1,    -1,       100, 1000000, -2147483648.0,
                                        2147483647, 1e15, 123456789};
    Tworkbookwriter w(path);
    w.addsheet("integers");
    for (std::size_t k = 0; k < values.size(); ++k)
        w.number(static_cast<std::uint32_t>(k + 1), 1, values[k]);
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.cell(5, 1), "1000000");
    EXPECT_EQ(f.cell(8, 1), "1000000000000000");
    for (std::size_t k = 0; k < values.size(); ++k) {
        std::string text = f.cell(static_cast<std::uint32_t>(k + 1), 1);
        if (std::fabs(values[k]) <= 2147483647.0) {
            ASSERT_NO_THROW(strtoint(text)) << text;
            EXPECT_EQ(strtoint(text), static_cast<std::int32_t>(values[k])) << text;
        }
        EXPECT_EQ(static_cast<double>(strtonum(text)), values[k]) << text;
    }
}

TEST(TExcelFile, TextCellsReadUnchanged) {
    Ttempdir dir;
    std::string path = dir.file("texts.xlsx");
    const std::vector<std::string> texts = {"Nitrobenzene",  "  padded  ",  "C\xC3\xB4te d'Ivoire",
                                            "a < b & c > d", "=A1",         "1,5",
                                            "TRUE",          "line\nbreak", "\"quoted\""};
    Tworkbookwriter w(path);
    w.addsheet("texts");
    for (std::size_t k = 0; k < texts.size(); ++k)
        w.text(static_cast<std::uint32_t>(k + 1), 1, texts[k]);
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    for (std::size_t k = 0; k < texts.size(); ++k)
        EXPECT_EQ(f.cell(static_cast<std::uint32_t>(k + 1), 1), texts[k]);
}

TEST(Tworkbookwriter, ALaterWriteOfTheSameCellWins) {
    Ttempdir dir;
    std::string path = dir.file("overwrite.xlsx");
    Tworkbookwriter w(path);
    w.addsheet("S");
    w.number(1, 1, 0.1 + 0.2); // needs all seventeen digits
    w.text(1, 1, "text now");
    w.text(2, 2, "text first");
    w.number(2, 2, 0.1 + 0.2);
    w.number(3, 3, 0.1 + 0.2);
    w.number(3, 3, 0.5);
    w.addsheet("T");
    w.number(1, 1, 0.1 + 0.2);
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.cell(1, 1), "text now");
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(2, 2))), 0.1 + 0.2);
    EXPECT_EQ(f.cell(3, 3), "0.5");
    f.selectsheet("T");
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(1, 1))), 0.1 + 0.2);
}

TEST(Tworkbookwriter, CellTextsBecomeNumbersOnlyWhenPlainDecimals) {
    double x = 0;
    EXPECT_TRUE(isplainnumber("1.5", x));
    EXPECT_EQ(x, 1.5);
    EXPECT_TRUE(isplainnumber("+2e3", x));
    EXPECT_EQ(x, 2000);
    EXPECT_TRUE(isplainnumber("-0.25", x));
    EXPECT_EQ(x, -0.25);
    for (const char* text :
         {"", "1,5", "+-1", "++1", "inf", "nan", "1e400", "0x10", "1.5.1", "-", "e", "12 "}) {
        EXPECT_FALSE(isplainnumber(text, x)) << text;
    }
    Ttempdir dir;
    std::string path = dir.file("cells.xlsx");
    Tworkbookwriter w(path);
    w.addsheet("S");
    w.cell(1, 1, "+-1");
    w.cell(1, 2, "0.30000000000000004");
    w.cell(1, 3, "");
    w.cell(1, 4, "Chad");
    w.close();
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.cell(1, 1), "+-1");
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(1, 2))), 0.1 + 0.2);
    EXPECT_EQ(f.cell(1, 3), "");
    EXPECT_EQ(f.cell(1, 4), "Chad");
}

// ---- parts written by hand --------------------------------------------------------

TEST(TExcelFile, SharedStringsWithRichTextRuns) {
    Ttempdir dir;
    std::string path = dir.file("rich.xlsx");
    std::vector<std::string> shared = {
        "<si><t>plain</t></si>",
        "<si><r><t>Hello</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\"> </t></r>"
        "<r><rPr><i/></rPr><t>World</t></r></si>",
        "<si><t xml:space=\"preserve\">  two spaces  </t></si>",
        "<si><r><t xml:space=\"preserve\">Lake </t></r><r><t>Chad</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh></si>",
        "<si><t>a &amp; b &lt; c &#x4E2D;</t></si>",
        "<si><t/></si>",
        "<si><t xml:space=\"preserve\"> </t></si>"};
    std::string cells = "<row r=\"1\">"
                        "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c>"
                        "<c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" t=\"s\"><v>5</v></c>"
                        "<c r=\"G1\" t=\"s\"><v>6</v></c></row>";
    writezip(path, package({{"Sheet1", cells}}, shared));
    Trecorderui ui;
    TExcelFile f(ui, path);
    ASSERT_TRUE(f.isopen()) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_EQ(f.cell(1, 1), "plain");
    EXPECT_EQ(f.cell(1, 2), "Hello World");
    EXPECT_EQ(f.cell(1, 3), "  two spaces  ");
    EXPECT_EQ(f.cell(1, 4), "Lake Chad");
    EXPECT_EQ(f.cell(1, 5), "a & b < c \xE4\xB8\xAD");
    EXPECT_EQ(f.cell(1, 6), "");
    EXPECT_EQ(f.cell(1, 7), " ");
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(TExcelFile, InlineStringsBooleansFormulaTextsAndErrors) {
    Ttempdir dir;
    std::string path = dir.file("inline.xlsx");
    std::string cells =
        "<row r=\"2\">"
        "<c r=\"B2\" t=\"inlineStr\"><is><t>inline</t></is></c>"
        "<c r=\"C2\" t=\"inlineStr\"><is><r><t>in</t></r><r><t xml:space=\"preserve\"> "
        "</t></r><r><t>runs</t></r></is></c>"
        "<c r=\"D2\" t=\"b\"><v>1</v></c>"
        "<c r=\"E2\" t=\"b\"><v>0</v></c>"
        "<c r=\"F2\" t=\"str\"><f>A1&amp;\"x\"</f><v>made by a formula</v></c>"
        "<c r=\"G2\" t=\"e\"><v>#N/A</v></c>"
        "<c r=\"H2\"><f>1/3</f><v>0.33333333333333331</v></c>"
        "<c r=\"I2\" t=\"n\"><v>-0</v></c>"
        "<c r=\"J2\"><v>1E-300</v></c>"
        "</row>";
    writezip(path, package({{"Sheet1", cells}}));
    Trecorderui ui;
    TExcelFile f(ui, path);
    ASSERT_TRUE(f.isopen()) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_EQ(f.cell(2, 2), "inline");
    EXPECT_EQ(f.cell(2, 3), "in runs");
    EXPECT_EQ(f.cell(2, 4), "TRUE");
    EXPECT_EQ(f.cell(2, 5), "FALSE");
    EXPECT_TRUE(strtobool(f.cell(2, 4)));
    EXPECT_FALSE(strtobool(f.cell(2, 5)));
    EXPECT_EQ(f.cell(2, 6), "made by a formula");
    EXPECT_EQ(f.cell(2, 7), "#N/A");
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(2, 8))), 1.0 / 3.0);
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(2, 9))), 0.0);
    EXPECT_EQ(static_cast<double>(strtonum(f.cell(2, 10))), 1e-300);
    EXPECT_EQ(f.lastrow(), 2u);
    EXPECT_EQ(f.lastcolumn(), 10u);
}

TEST(TExcelFile, CellsAndRowsWithoutReferencesFollowOnePerPlace) {
    Ttempdir dir;
    std::string path = dir.file("positional.xlsx");
    std::string cells = "<row><c><v>1</v></c><c><v>2</v></c></row>"
                        "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"
                        "<row><c><v>5</v></c></row>";
    writezip(path, package({{"Sheet1", cells}}));
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.cell(1, 1), "1");
    EXPECT_EQ(f.cell(1, 2), "2");
    EXPECT_EQ(f.cell(4, 3), "3");
    EXPECT_EQ(f.cell(4, 4), "4");
    EXPECT_EQ(f.cell(5, 1), "5");
    EXPECT_EQ(f.lastrow(), 5u);
    EXPECT_EQ(f.lastcolumn(), 4u);
}

TEST(TExcelFile, SheetOrderComesFromTheWorkbookNotThePartNames) {
    Ttempdir dir;
    std::string path = dir.file("reordered.xlsx");
    Tparts parts = package({{"B first", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                            {"A second", "<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>"}});
    // Point the first listed sheet at the second part and the other way round.
    std::string& rels = parts["xl/_rels/workbook.xml.rels"];
    rels.replace(rels.find("sheet1.xml"), 10, "sheetX.xml");
    rels.replace(rels.find("sheet2.xml"), 10, "sheet1.xml");
    rels.replace(rels.find("sheetX.xml"), 10, "sheet2.xml");
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_EQ(f.sheetnames(), (std::vector<std::string>{"B first", "A second"}));
    EXPECT_EQ(f.cell(1, 1), "2");
    f.selectsheet("A second");
    EXPECT_EQ(f.cell(1, 1), "1");
}

// ---- workbooks that cannot be read -------------------------------------------------

TEST(TExcelFile, MissingFile) {
    Ttempdir dir;
    std::string path = dir.file("nowhere.xlsx");
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "does not exist");
}

TEST(TExcelFile, EmptyFile) {
    Ttempdir dir;
    std::string path = dir.file("empty.xlsx");
    writefile(path, "");
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "empty");
}

TEST(TExcelFile, GarbageBytes) {
    Ttempdir dir;
    std::string path = dir.file("garbage.xlsx");
    std::string bytes;
    std::uint32_t state = 7;
    for (int k = 0; k < 5000; ++k) {
        state = state * 1664525u + 1013904223u;
        bytes += static_cast<char>(state >> 24);
    }
    bytes[0] = 'G';
    writefile(path, bytes);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "neither");
}

TEST(TExcelFile, BadZip) {
    Ttempdir dir;
    std::string path = dir.file("badzip.xlsx");
    std::string bytes = "PK\x03\x04";
    for (int k = 0; k < 2000; ++k)
        bytes += static_cast<char>(k * 37);
    writefile(path, bytes);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "xlsx");
}

TEST(TExcelFile, TruncatedZipAtEveryLength) {
    Ttempdir dir;
    std::string good = dir.file("good.xlsx");
    velmora::testing::Tsheetspec sheet{"S", {}};
    for (std::uint32_t r = 1; r <= 30; ++r)
        sheet.set(r, 2, std::to_string(r * 0.25));
    velmora::testing::writeworkbook(good, {sheet});
    std::string bytes = readfile(good);
    ASSERT_GT(bytes.size(), 1000u);
    std::string path = dir.file("truncated.xlsx");
    for (std::size_t n = 4; n < bytes.size(); n += bytes.size() / 40 + 1) {
        SCOPED_TRACE(n);
        writefile(path, bytes.substr(0, n));
        Trecorderui ui;
        TExcelFile f(ui, path);
        expectclosed(f, ui, path, "");
    }
}

TEST(TExcelFile, DamagedPartData) {
    // The directory of the zip is intact but a compressed part is not.
    Ttempdir dir;
    std::string good = dir.file("good.xlsx");
    velmora::testing::Tsheetspec sheet{"S", {}};
    for (std::uint32_t r = 1; r <= 200; ++r)
        sheet.set(r, 1, "row " + std::to_string(r));
    velmora::testing::writeworkbook(good, {sheet});
    std::string bytes = readfile(good);
    // Overwrite the middle of the sheet part's data.
    std::size_t at = bytes.find("xl/worksheets/sheet1.xml");
    ASSERT_NE(at, std::string::npos);
    for (std::size_t k = at + 60; k < at + 160 && k < bytes.size(); ++k)
        bytes[k] ^= 0x5A;
    std::string path = dir.file("damaged.xlsx");
    writefile(path, bytes);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "");
}

TEST(TExcelFile, MissingWorkbookPart) {
    Ttempdir dir;
    std::string path = dir.file("noworkbook.xlsx");
    Tparts parts = package({{"Sheet1", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"}});
    parts.erase("xl/workbook.xml");
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "xl/workbook.xml");
}

TEST(TExcelFile, MissingSheetPart) {
    Ttempdir dir;
    std::string path = dir.file("nosheet.xlsx");
    Tparts parts = package({{"One", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                            {"Two", "<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>"}});
    parts.erase("xl/worksheets/sheet2.xml");
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "xl/worksheets/sheet2.xml");
}

TEST(TExcelFile, InvalidXmlInTheWorkbookPart) {
    Ttempdir dir;
    std::string path = dir.file("badworkbook.xlsx");
    Tparts parts = package({{"One", ""}});
    parts["xl/workbook.xml"] = "<workbook><sheets><sheet name=\"One\" r:id=\"rId1\"></workbook>";
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "xl/workbook.xml");
}

TEST(TExcelFile, InvalidXmlInASheet) {
    Ttempdir dir;
    std::string path = dir.file("badsheet.xlsx");
    Tparts parts = package({{"Good", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                            {"Bad", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>"}});
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "Bad");
}

TEST(TExcelFile, InvalidXmlInTheSharedStrings) {
    Ttempdir dir;
    std::string path = dir.file("badstrings.xlsx");
    Tparts parts = package({{"S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"}},
                           {"<si><t>unclosed</si>"});
    writezip(path, parts);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "sharedStrings");
}

TEST(TExcelFile, SharedStringIndexOutOfRange) {
    Ttempdir dir;
    std::string path = dir.file("sstrange.xlsx");
    for (const char* index : {"2", "-1", "99999999999999999999", "x"}) {
        SCOPED_TRACE(index);
        Tparts parts = package({{"S", std::string("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                                                  "<c r=\"B1\" t=\"s\"><v>") +
                                          index + "</v></c></row>"}},
                               {"<si><t>zero</t></si>", "<si><t>one</t></si>"});
        writezip(path, parts);
        Trecorderui ui;
        TExcelFile f(ui, path);
        expectclosed(f, ui, path, "shared string");
    }
}

TEST(TExcelFile, HugeRowNumbers) {
    Ttempdir dir;
    std::string path = dir.file("huge.xlsx");
    for (const char* cells :
         {"<row r=\"1048577\"><c><v>1</v></c></row>", "<row r=\"4294967297\"><c><v>1</v></c></row>",
          "<row r=\"1\"><c r=\"A9999999\"><v>1</v></c></row>",
          "<row r=\"1\"><c r=\"A1048577\"><v>1</v></c></row>",
          "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", "<row r=\"0\"><c><v>1</v></c></row>",
          "<row r=\"-3\"><c><v>1</v></c></row>", "<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>"}) {
        SCOPED_TRACE(cells);
        writezip(path, package({{"S", cells}}));
        Trecorderui ui;
        TExcelFile f(ui, path);
        expectclosed(f, ui, path, "\"S\"");
    }
}

TEST(TExcelFile, OneBadSheetClosesTheWholeWorkbookAtOpening) {
    // The reader warns at opening; a later select or read never raises.
    Ttempdir dir;
    std::string path = dir.file("latebad.xlsx");
    writezip(path, package({{"Good", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                            {"Bad", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>"}}));
    Trecorderui ui;
    TExcelFile f(ui, path);
    EXPECT_FALSE(f.isopen());
    EXPECT_EQ(ui.warnings.size(), 1u);
    EXPECT_NO_THROW(f.selectsheet("Bad"));
    EXPECT_EQ(f.cell(1, 1), "");
}

TEST(TExcelFile, AFailedOpeningLeavesNoFileOpen) {
    auto openfiles = [] {
        std::size_t k = 0;
        for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
            (void)e;
            ++k;
        }
        return k;
    };
    Ttempdir dir;
    std::string xlsx = dir.file("noworkbook.xlsx");
    Tparts parts = package({{"S", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"}});
    parts.erase("xl/workbook.xml");
    writezip(xlsx, parts);
    std::string xls = dir.file("bad.xls");
    std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    bytes.resize(4096, '\x01');
    writefile(xls, bytes);
    std::size_t before = openfiles();
    for (int k = 0; k < 3; ++k) {
        Trecorderui ui;
        TExcelFile a(ui, xlsx);
        TExcelFile b(ui, xls);
        EXPECT_EQ(ui.warnings.size(), 2u);
    }
    EXPECT_EQ(openfiles(), before);
}

// ---- legacy .xls ----------------------------------------------------------------------

TEST(TExcelFileXls, SheetsNumbersAndTextsOfABiff8Workbook) {
    Ttempdir dir;
    std::string path = dir.file("legacy.xls");
    Txlsbuilder b;
    auto& first = b.addsheet("countryparameters");
    b.sharedtext(first, 0, 0, "Region");
    b.sharedtext(first, 0, 1, "Area");
    b.label(first, 1, 0, "Albania");
    b.number(first, 1, 1, 28748.5);
    b.rkinteger(first, 2, 1, 1000000);
    b.rkinteger(first, 3, 1, -7);
    b.number(first, 5, 3, 0.1);
    auto& second = b.addsheet("seaparameters");
    for (std::size_t k = 0; k < awkward.size(); ++k)
        b.number(second, static_cast<std::uint32_t>(k), 0, awkward[k]);
    b.addsheet("empty");
    writefile(path, b.file());

    Trecorderui ui;
    TExcelFile f(ui, path);
    ASSERT_TRUE(f.isopen()) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_EQ(f.sheetnames(),
              (std::vector<std::string>{"countryparameters", "seaparameters", "empty"}));
    EXPECT_EQ(f.sheetname(), "countryparameters");
    EXPECT_EQ(f.cell(1, 1), "Region");
    EXPECT_EQ(f.cell(1, 2), "Area");
    EXPECT_EQ(f.cell(2, 1), "Albania");
    EXPECT_EQ(f.cell(2, 2), "28748.5");
    EXPECT_EQ(f.cell(3, 2), "1000000");
    EXPECT_EQ(f.cell(4, 2), "-7");
    EXPECT_EQ(f.cell(6, 4), "0.1");
    EXPECT_EQ(f.cell(5, 1), "");
    EXPECT_EQ(f.lastrow(), 6u);
    EXPECT_EQ(f.lastcolumn(), 4u);
    f.selectsheet("seaparameters");
    for (std::size_t k = 0; k < awkward.size(); ++k) {
        std::string text = f.cell(static_cast<std::uint32_t>(k + 1), 1);
        SCOPED_TRACE(text);
        EXPECT_EQ(static_cast<double>(strtonum(text)), awkward[k]) << k;
    }
    f.selectsheet("empty");
    EXPECT_EQ(f.lastrow(), 0u);
    EXPECT_EQ(f.cell(1, 1), "");
    EXPECT_THROW(f.selectsheet("Seaparameters"), Eerror);
    EXPECT_TRUE(ui.warnings.empty());
}

TEST(TExcelFileXls, LongSharedStringsMultipleNumbersAndFormulaValues) {
    Ttempdir dir;
    Txlsbuilder b;
    auto& s = b.addsheet("S");
    // 6,000 characters: the string runs over two CONTINUE records.
    const std::string longtext(6000, 'q');
    b.sharedtext(s, 0, 0, "first");
    b.sharedtext(s, 0, 1, longtext);
    b.sharedtext(s, 0, 2, "after");
    // MULRK: row 2, columns B..D, 1, 2.5 (as x100), -3.
    std::string mulrk;
    put16(mulrk, 1);
    put16(mulrk, 1);
    for (std::uint32_t rk :
         {(1u << 2) | 2u, (250u << 2) | 3u, (static_cast<std::uint32_t>(-3) << 2) | 2u}) {
        put16(mulrk, 0);
        put32(mulrk, rk);
    }
    put16(mulrk, 3);
    b.raw(s, 0x00BD, mulrk);
    // FORMULA with a cached number, a cached boolean, and one with a STRING.
    auto formula = [&](std::uint32_t col, const std::string& value) {
        std::string f;
        put16(f, 2);
        put16(f, col);
        put16(f, 0);
        f += value;
        put16(f, 0);
        put32(f, 0);
        put16(f, 0); // no formula tokens
        b.raw(s, 0x0006, f);
    };
    std::string number;
    putdouble(number, 4.25);
    formula(0, number);
    formula(1, std::string("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8));
    formula(2, std::string("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8));
    std::string text;
    put16(text, 2);
    text += '\x00';
    text += "ok";
    b.raw(s, 0x0207, text);
    // Read as .xls whatever the file is called.
    std::string path = dir.file("legacy.xlsx");
    writefile(path, b.file());
    Trecorderui ui;
    TExcelFile f(ui, path);
    ASSERT_TRUE(f.isopen()) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_EQ(f.cell(1, 1), "first");
    EXPECT_EQ(f.cell(1, 2), longtext);
    EXPECT_EQ(f.cell(1, 3), "after");
    EXPECT_EQ(f.cell(2, 2), "1");
    EXPECT_EQ(f.cell(2, 3), "2.5");
    EXPECT_EQ(f.cell(2, 4), "-3");
    EXPECT_EQ(f.cell(3, 1), "4.25");
    EXPECT_EQ(f.cell(3, 2), "TRUE");
    EXPECT_EQ(f.cell(3, 3), "ok");
}

TEST(TExcelFileXls, DamagedRecordsAreRefusedNamingWhatIsWrong) {
    struct Tcase {
        const char* what;
        std::function<std::string()> bytes;
        const char* reason;
    };
    auto withrecord = [](std::uint16_t type, std::string body) {
        return [type, body] {
            Txlsbuilder b;
            auto& s = b.addsheet("S");
            b.sharedtext(s, 0, 0, "x");
            b.raw(s, type, body);
            return b.file();
        };
    };
    std::string missing;
    put16(missing, 0);
    put16(missing, 1);
    put16(missing, 0);
    put32(missing, 7);
    std::string mulrk;
    put16(mulrk, 0);
    put16(mulrk, 1);
    put16(mulrk, 0);
    put32(mulrk, 2);
    put16(mulrk, 9); // last column 9 for one value
    auto plain = [] {
        Txlsbuilder b;
        auto& s = b.addsheet("S");
        for (std::uint32_t r = 0; r < 200; ++r)
            b.number(s, r, 0, r);
        return b.file();
    };
    const Tcase cases[] = {
        {"LABELSST of length 0", withrecord(0x00FD, ""), "has a cell record cut short"},
        {"NUMBER of 6 bytes", withrecord(0x0203, std::string(6, '\0')),
         "has a cell record cut short"},
        {"missing shared string", withrecord(0x00FD, missing), "missing shared string 7"},
        {"MULRK that disagrees", withrecord(0x00BD, mulrk), "damaged MULRK"},
        {"a sector chain that loops",
         [&] {
             std::string f = plain();
             // FAT entry of the stream's second sector points back at it.
             f.replace(512 + 4 * 3, 4, std::string("\x03\x00\x00\x00", 4));
             return f;
         },
         "sector chains are damaged"},
        {"a stream start beyond the file",
         [&] {
             std::string f = plain();
             f.replace(1024 + 128 + 0x74, 4, std::string("\xFF\xFF\x00\x00", 4));
             return f;
         },
         "sector chains are damaged"},
        {"a record longer than the stream",
         [&] {
             std::string f = plain();
             // The first record (BOF) claims 8,000 bytes.
             f.replace(1536 + 2, 2, std::string("\x40\x1F", 2));
             return f;
         },
         "is longer than the stream"},
    };
    Ttempdir dir;
    for (const Tcase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.file("damaged.xls");
        writefile(path, c.bytes());
        Trecorderui ui;
        TExcelFile f(ui, path);
        expectclosed(f, ui, path, c.reason);
    }
}

TEST(TExcelFileXls, GarbageAfterTheCompoundFileMagic) {
    Ttempdir dir;
    std::string path = dir.file("garbage.xls");
    std::string bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    for (int k = 0; k < 3000; ++k)
        bytes += static_cast<char>((k * 131) ^ (k >> 3));
    writefile(path, bytes);
    Trecorderui ui;
    TExcelFile f(ui, path);
    expectclosed(f, ui, path, "xls");
}

TEST(TExcelFileXls, TruncatedWorkbook) {
    Ttempdir dir;
    Txlsbuilder b;
    auto& s = b.addsheet("S");
    for (std::uint32_t r = 0; r < 300; ++r)
        b.number(s, r, 0, r * 0.5);
    std::string bytes = b.file();
    std::string path = dir.file("truncated.xls");
    for (std::size_t n : {std::size_t(8), std::size_t(300), std::size_t(512), std::size_t(1100),
                          bytes.size() / 2, bytes.size() - 600}) {
        SCOPED_TRACE(n);
        writefile(path, bytes.substr(0, n));
        Trecorderui ui;
        TExcelFile f(ui, path);
        expectclosed(f, ui, path, "");
    }
}
