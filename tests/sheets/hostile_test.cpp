// Workbooks made to cost memory or time, or to mislead: each is refused at
// once with a message naming the file and what is wrong, or read correctly
// at the cost of what it holds.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include <zip.h>

#include "support/testsupport.h"
#include "support/zipparts.h"
#include "toolkit/sheets/excelfile.h"

using namespace velmora;
using velmora::testing::Ttempdir;

namespace {

using velmora::testing::Tparts;
using velmora::testing::writezip;

// A package of the given sheets ("name" -> sheetData XML) and shared strings.
Tparts package(const std::vector<std::pair<std::string, std::string>>& sheets,
               const std::vector<std::string>& strings = {},
               const std::vector<std::string>& targets = {}) {
    Tparts parts;
    std::string workbook = "<workbook xmlns:r=\"r\"><sheets>";
    std::string rels = "<Relationships>";
    for (std::size_t k = 0; k < sheets.size(); ++k) {
        std::string id = "rId" + std::to_string(k + 1);
        std::string target =
            k < targets.size() ? targets[k] : "worksheets/sheet" + std::to_string(k + 1) + ".xml";
        workbook += "<sheet name=\"" + sheets[k].first + "\" r:id=\"" + id + "\"/>";
        rels += "<Relationship Id=\"" + id + "\" Target=\"" + target + "\"/>";
        parts["xl/" + target] =
            "<worksheet><sheetData>" + sheets[k].second + "</sheetData></worksheet>";
    }
    parts["xl/workbook.xml"] = workbook + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] = rels + "</Relationships>";
    if (!strings.empty()) {
        std::string sst = "<sst>";
        for (const auto& s : strings)
            sst += "<si><t>" + s + "</t></si>";
        parts["xl/sharedStrings.xml"] = sst + "</sst>";
    }
    return parts;
}

struct Topened {
    Trecorderui ui;
    std::unique_ptr<TExcelFile> file;
    std::string warning() const { return ui.warnings.empty() ? "" : ui.warnings.front(); }
};

std::unique_ptr<Topened> open(const std::string& path, const Tworkbooklimits& limits = {}) {
    auto o = std::make_unique<Topened>();
    o->file = std::make_unique<TExcelFile>(o->ui, path, limits);
    return o;
}

} // namespace

TEST(HostileWorkbook, PartsBeyondTheLimitsAreRefusedNamingThePartAndTheLimit) {
    Ttempdir dir;
    std::string path = dir.file("big.xlsx");
    std::string row;
    for (int c = 0; c < 100; ++c)
        row += "<c><v>" + std::to_string(c) + "</v></c>";
    std::string data;
    for (int r = 1; r <= 40; ++r)
        data += "<row r=\"" + std::to_string(r) + "\">" + row + "</row>";
    writezip(path, package({{"one", data}, {"two", data}}));
    Tworkbooklimits limits;
    limits.partbytes = 16 << 10;
    auto a = open(path, limits);
    EXPECT_FALSE(a->file->isopen());
    EXPECT_EQ(a->warning(), "Cannot open the workbook " + path +
                                ": xl/worksheets/sheet1.xml is larger than 16 KiB");
    // Each part fits, both together do not.
    limits.partbytes = 64 << 10;
    limits.workbookbytes = 100 << 10;
    auto b = open(path, limits);
    EXPECT_FALSE(b->file->isopen());
    EXPECT_NE(b->warning().find("parts together are larger than 100 KiB"), std::string::npos)
        << b->warning();
    // Within the limits the same file reads.
    auto c = open(path);
    ASSERT_TRUE(c->file->isopen()) << c->warning();
    EXPECT_EQ(c->file->cell(40, 100), "99");
}

TEST(HostileWorkbook, CellAndTextCountsAreCappedSharedStringsCountOnce) {
    Ttempdir dir;
    std::string path = dir.file("cells.xlsx");
    std::string data;
    for (int r = 1; r <= 30; ++r)
        data += "<row r=\"" + std::to_string(r) + "\"><c t=\"s\"><v>0</v></c></row>";
    writezip(path, package({{"s", data}}, {std::string(2000, 'x')}));
    Tworkbooklimits limits;
    limits.cells = 20;
    auto a = open(path, limits);
    EXPECT_FALSE(a->file->isopen());
    EXPECT_NE(a->warning().find("its sheets hold more than 20 cells"), std::string::npos)
        << a->warning();
    // Thirty uses of one 2000-byte string cost 2000 bytes, not 60000.
    limits = {};
    limits.textbytes = 4000;
    auto b = open(path, limits);
    ASSERT_TRUE(b->file->isopen()) << b->warning();
    EXPECT_EQ(b->file->cell(30, 1), std::string(2000, 'x'));
    // Text of its own in every cell counts in full.
    std::string own;
    for (int r = 1; r <= 30; ++r)
        own += "<row r=\"" + std::to_string(r) + "\"><c t=\"inlineStr\"><is><t>" +
               std::string(200, 'y') + "</t></is></c></row>";
    writezip(path, package({{"s", own}}));
    auto c = open(path, limits);
    EXPECT_FALSE(c->file->isopen());
    EXPECT_NE(c->warning().find("more than 4000 bytes of text"), std::string::npos) << c->warning();
}

TEST(HostileWorkbook, FarCellsCostOneEntryEach) {
    Ttempdir dir;
    std::string path = dir.file("far.xlsx");
    std::string data;
    // Many rows, each with one cell at the last column, and one at the last row.
    for (int r = 1; r <= 5000; ++r)
        data += "<row r=\"" + std::to_string(r) + "\"><c r=\"XFD" + std::to_string(r) + "\"><v>" +
                std::to_string(r) + "</v></c></row>";
    data += "<row r=\"1048576\"><c r=\"A1048576\"><v>7</v></c></row>";
    writezip(path, package({{"far", data}}));
    Tworkbooklimits limits;
    limits.cells = 6000; // a dense row store would hold 5000 x 16384 cells
    auto a = open(path, limits);
    ASSERT_TRUE(a->file->isopen()) << a->warning();
    EXPECT_EQ(a->file->lastrow(), 1048576u);
    EXPECT_EQ(a->file->lastcolumn(), 16384u);
    EXPECT_EQ(a->file->cell(4999, 16384), "4999");
    EXPECT_EQ(a->file->cell(4999, 16383), "");
    EXPECT_EQ(a->file->cell(1048576, 1), "7");
    EXPECT_EQ(a->file->where(1048576, 16384), "far.xlsx sheet \"far\" cell XFD1048576");
}

TEST(HostileWorkbook, DuplicateSheetTargetsAndNamesAreRefused) {
    Ttempdir dir;
    std::string path = dir.file("dup.xlsx");
    writezip(path, package({{"a", "<row r=\"1\"><c><v>1</v></c></row>"}, {"b", ""}}, {},
                           {"worksheets/sheet1.xml", "worksheets/sheet1.xml"}));
    auto a = open(path);
    EXPECT_FALSE(a->file->isopen());
    EXPECT_NE(a->warning().find("sheets \"a\" and \"b\" both refer to the part "
                                "\"xl/worksheets/sheet1.xml\""),
              std::string::npos)
        << a->warning();
    writezip(path, package({{"same", ""}, {"same", ""}}));
    auto b = open(path);
    EXPECT_FALSE(b->file->isopen());
    EXPECT_NE(b->warning().find("it has two sheets named \"same\""), std::string::npos)
        << b->warning();
}

TEST(HostileWorkbook, SharedStringIndexMustBeAllDigits) {
    Ttempdir dir;
    std::string path = dir.file("index.xlsx");
    for (const char* index : {"1abc", "", "-1", "2"}) {
        writezip(path, package({{"s", std::string("<row r=\"3\"><c r=\"B3\" t=\"s\"><v>") + index +
                                          "</v></c></row>"}},
                               {"zero", "one"}));
        auto a = open(path);
        EXPECT_FALSE(a->file->isopen()) << index;
        EXPECT_NE(a->warning().find("cell B3 refers to a missing shared string"), std::string::npos)
            << a->warning();
    }
    writezip(path, package({{"s", "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>1</v></c></row>"}},
                           {"zero", "one"}));
    auto b = open(path);
    ASSERT_TRUE(b->file->isopen()) << b->warning();
    EXPECT_EQ(b->file->cell(3, 2), "one");
}

TEST(HostileWorkbook, CellReferencesRoundTrip) {
    for (std::uint32_t c : {1u, 26u, 27u, 52u, 703u, 16384u}) {
        std::uint32_t r = 0, col = 0;
        ASSERT_TRUE(parsecellreference(cellreference(12, c), r, col)) << c;
        EXPECT_EQ(r, 12u);
        EXPECT_EQ(col, c);
    }
    EXPECT_EQ(cellreference(1, 28), "AB1");
}
