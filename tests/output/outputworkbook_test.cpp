#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "toolkit/output/outputworkbook.h"
#include "toolkit/sheets/excelfile.h"

using namespace velmora;

namespace {
std::string temppath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}
} // namespace

TEST(Outputworkbook, TwoOutputsGiveTwoSheetsThatReadBack) {
    const std::string path = temppath("velmora-outputworkbook-test.xlsx");
    Toutputworkbook book(path);
    book.addtext("Velmora1", {"Region\tAir", "Austria\t1.5e-05", "=SUM(A1)\t-"});
    book.write();
    book.addtext("Velmora2", {"x\t37"});
    book.write();
    Trecorderui ui;
    TExcelFile file(ui, path);
    ASSERT_TRUE(file.isopen());
    EXPECT_EQ(file.sheetnames(), (std::vector<std::string>{"Velmora1", "Velmora2"}));
    file.selectsheet("Velmora1");
    EXPECT_EQ(file.cell(1, 2), "Air");
    EXPECT_EQ(file.cell(2, 2), "1.5e-05");
    EXPECT_EQ(file.cell(3, 1), "=SUM(A1)"); // a text, not a formula
    EXPECT_EQ(file.cell(3, 2), "-");
    file.selectsheet("Velmora2");
    EXPECT_EQ(file.cell(1, 2), "37");
    EXPECT_TRUE(ui.warnings.empty());
    std::remove(path.c_str());
}

TEST(Outputworkbook, FailureNamesTheFileAndLeavesNoPart) {
    // A folder under a regular file: not even root can write there.
    const std::string blocker = temppath("velmora-outputworkbook-blocker");
    { std::FILE* f = std::fopen(blocker.c_str(), "w"); ASSERT_TRUE(f); std::fclose(f); }
    Toutputworkbook book(blocker + "/out.xlsx");
    book.addtext("Velmora1", {"1"});
    try {
        book.write();
        FAIL() << "no error";
    } catch (const Eerror& e) {
        EXPECT_NE(std::string(e.what()).find(blocker + "/out.xlsx"), std::string::npos) << e.what();
    }
    std::remove(blocker.c_str());
}

TEST(Outputworkbook, SheetNamesAreCutAndCleaned) {
    EXPECT_EQ(sheetname("a/b[c]"), "a_b_c_");
    EXPECT_EQ(sheetname(std::string(40, 'x')).size(), 31u);
}
