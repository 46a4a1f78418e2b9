// The workspace's initialisation: which files it reads.
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "numeric/uiservice.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

namespace velmora {
namespace {

using testing::Tsheetspec;
using testing::Tsmallworld;
using testing::Ttempdir;

// A substances workbook with one "Nitrobenzene" row of the given molar mass.
void writesubstances(const std::string& path, const char* molw) {
    Tsheetspec sheet{"VELMORA", {}};
    const char* headers[] = {"CAS", "substype", "name", "MOLW", "VP_TEMPtest", "SOL", "Kow"};
    const char* row[] = {"98-95-3", "nitrobenzene", "Nitrobenzene", molw, "20", "2000", "70"};
    for (int c = 0; c < 7; ++c) {
        sheet.set(2, c + 3, headers[c]);
        sheet.set(4, c + 3, row[c]);
    }
    testing::writeworkbook(path, {sheet});
}

// A small world's two environment workbooks and two substances workbooks
// ("first" and "second", molar masses 0.123 and 0.456) in a fresh directory.
class Workspace : public ::testing::Test {
protected:
    Ttempdir dir;
    Trecorderui ui;
    Tworkspace ws{ui, dir.path()};
    void SetUp() override {
        Tsmallworld world = Tsmallworld::standard();
        world.writeparameters(dir.file("p.xlsx"));
        world.writeborders(dir.file("b.xlsx"));
        writesubstances(dir.file("first.xlsx"), "0.123");
        writesubstances(dir.file("second.xlsx"), "0.456");
        ws.settings.ParametersFile = dir.file("p.xlsx");
        ws.settings.BordersFile = dir.file("b.xlsx");
        ws.settings.SubstancesFile = dir.file("first.xlsx");
    }
};

TEST_F(Workspace, ReinitialisingReadsTheSubstancesFileTheSettingsNameNow) {
    ws.initialize(false);
    ASSERT_TRUE(ws.env.present);
    EXPECT_FLOAT_EQ(ws.sub.MOLW.value, 0.123f);
    ws.settings.SubstancesFile = dir.file("second.xlsx");
    ws.initialize(false);
    EXPECT_FLOAT_EQ(ws.sub.MOLW.value, 0.456f);
    EXPECT_EQ(ws.SubstancesWorkbook->workbookname(), "second.xlsx");
}

TEST_F(Workspace, AnImportIntoAnEmptyRegionListIsNotAnEnvironment) {
    // The start-up cannot find the first workbook: no regions are read.
    ws.settings.ParametersFile = dir.file("missing.xlsx");
    ws.initialize();
    EXPECT_EQ(ws.regions.count, 0u);
    EXPECT_FALSE(ws.env.present);
    // Opening the environment afterwards reads into the empty list: still
    // nothing there to calculate.
    ws.settings.ParametersFile = dir.file("p.xlsx");
    ASSERT_TRUE(ws.openenvironmentworkbook());
    ws.env.import(true, true, ws.EnvironmentWorkbook, ws.settings.BordersFile);
    EXPECT_FALSE(ws.env.present);
}

// Calculates Nitrobenzene into the air of region 1; true when every existing
// regcomp got a known concentration.
bool calculatesafter(Tworkspace& ws) {
    ws.opensubstance("Nitrobenzene");
    ws.sub.settypedefaults();
    ws.emi.set(1, air);
    if (!ws.calculate()) return false;
    if (ws.regcomps.n != ws.regions.count * 12 || ws.regcomps.CONC.count() < ws.regcomps.n)
        return false;
    for (std::uint32_t k = 1; k <= ws.regcomps.n; ++k)
        if (ws.regcomps.exists(k) && !ws.regcomps.CONC.isknown(k)) return false;
    return true;
}

// Cancel during the import of a start-up leaves a region list without an
// environment; an environment opened afterwards must be one that can be
// calculated, not borders and flows over a regcomp index never built.
TEST_F(Workspace, AnEnvironmentOpenedAfterACancelledStartIsWhole) {
    ui.cancelafterpolls = 0;
    ws.initialize();
    ui.cancelafterpolls = -1;
    ASSERT_FALSE(ws.env.present);
    ASSERT_EQ(ws.regions.count, 3u);
    ASSERT_TRUE(ws.openenvironment(true, true, ws.settings.ParametersFile, ws.settings.BordersFile));
    ASSERT_TRUE(ws.env.present);
    EXPECT_EQ(ws.compartments.count, 12u);
    EXPECT_TRUE(calculatesafter(ws));
}

// The other way there: the first workbook alone (no environment yet, the
// borders are still missing), then both.
TEST_F(Workspace, FirstWorkbookThenBothAfterACancelledStartIsWhole) {
    ui.cancelafterpolls = 0;
    ws.initialize();
    ui.cancelafterpolls = -1;
    ASSERT_TRUE(ws.openenvironment(true, false, ws.settings.ParametersFile, ""));
    EXPECT_FALSE(ws.env.present);
    ASSERT_TRUE(ws.openenvironment(true, true, ws.settings.ParametersFile, ws.settings.BordersFile));
    ASSERT_TRUE(ws.env.present);
    EXPECT_TRUE(calculatesafter(ws));
}
} // namespace
} // namespace velmora
