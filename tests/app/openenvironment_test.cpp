// Environment > Open through the workspace: all or nothing, and the
// settings name the workbooks only when they were taken.
#include <gtest/gtest.h>

#include <fstream>

#include "app/workspace.h"
#include "support/smallworld.h"
#include "support/testsupport.h"

using namespace velmora;
using velmora::testing::Tsmallworld;
using velmora::testing::Ttempdir;

TEST(OpenEnvironment, SettingsKeepTheOldNamesUnlessTheImportWorked) {
    Ttempdir dir;
    Trecorderui ui;
    Tworkspace ws(ui, dir.path().string());
    Tsmallworld::standard().writeparameters(ws.settings.ParametersFile);
    Tsmallworld::standard().writeborders(ws.settings.BordersFile);
    ws.readenvironment();
    ASSERT_TRUE(ws.env.present);
    const std::string parameters = ws.settings.ParametersFile, borders = ws.settings.BordersFile;
    ws.env.TEMP.set(1, 300, stEdited);

    // A first workbook that cannot be opened.
    std::string damaged = dir.file("damaged.xlsx");
    std::ofstream(damaged) << "PK not a zip";
    EXPECT_FALSE(ws.openenvironment(true, true, damaged, borders));
    EXPECT_EQ(ws.settings.ParametersFile, parameters);
    EXPECT_NE(ui.warnings.back().find("damaged.xlsx"), std::string::npos);
    // A borders workbook that is missing.
    EXPECT_FALSE(ws.openenvironment(true, true, parameters, dir.file("none.xlsx")));
    EXPECT_EQ(ws.settings.BordersFile, borders);
    // Another world's first workbook: its rows hold other regions.
    Tsmallworld other = Tsmallworld::standard();
    other.countries[0].name = "Cland";
    std::string otherfile = dir.file("other.xlsx");
    other.writeparameters(otherfile);
    EXPECT_THROW(ws.openenvironment(true, false, otherfile, ""), Eerror);
    EXPECT_EQ(ws.settings.ParametersFile, parameters);
    // Nothing of the three reached the environment.
    EXPECT_TRUE(ws.env.present);
    EXPECT_EQ(ws.env.TEMP.value(1), 300.0f);
    EXPECT_EQ(ws.env.TEMP.status(1), stEdited);

    // Copies of the same workbooks are taken, and named.
    std::string copy = dir.file("copy.xlsx");
    Tsmallworld::standard().writeparameters(copy);
    EXPECT_TRUE(ws.openenvironment(true, false, copy, ""));
    EXPECT_EQ(ws.settings.ParametersFile, copy);
    EXPECT_EQ(ws.settings.BordersFile, borders);
    EXPECT_EQ(ws.env.TEMP.status(1), stImported);
    EXPECT_TRUE(ws.env.present);
}
