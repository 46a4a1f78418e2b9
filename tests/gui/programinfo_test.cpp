#include <gtest/gtest.h>

#include "toolkit/programinfo.h"

using namespace velmora;

TEST(Tprograminfo, NameIsTheFileNameWithoutDirectoryAndExtension) {
    EXPECT_EQ(programnamefromfile("/opt/velmora/bin/Velmora"), "Velmora");
    EXPECT_EQ(programnamefromfile("C:\\Program Files\\Velmora\\Velmora.exe"), "Velmora");
    EXPECT_EQ(programnamefromfile("Velmora.exe"), "Velmora");
    // Only the last extension goes; a dot in a directory name is no extension.
    EXPECT_EQ(programnamefromfile("/usr/bin/model.run.exe"), "model.run");
    EXPECT_EQ(programnamefromfile("/a.b/prog"), "prog");
    EXPECT_EQ(programnamefromfile("/home/u/.velmora"), ".velmora");
    EXPECT_EQ(programnamefromfile(""), "");
}

TEST(Tprograminfo, BitmapFileReplacesTheExtension) {
    EXPECT_EQ(Tprograminfo("/opt/x/Velmora.exe").bitmapfile(), "/opt/x/Velmora.bmp");
    EXPECT_EQ(Tprograminfo("/a.b/prog").bitmapfile(), "/a.b/prog.bmp");
    EXPECT_EQ(replaceextension("C:\\x\\Velmora.exe", ".INI"), "C:\\x\\Velmora.INI");
}

TEST(Tprograminfo, NameverAndCaptions) {
    Tprograminfo program("/opt/x/Velmora");
    EXPECT_EQ(program.name(), "Velmora");
    EXPECT_EQ(program.namever(), "Velmora");
    program.setversion("2.1");
    EXPECT_EQ(program.namever(), "Velmora 2.1");
    EXPECT_EQ(program.caption("Memo"), "Velmora - Memo");
}

TEST(Tprograminfo, SeveralProgramsSideBySide) {
    Tprograminfo first("/x/Velmora");
    Tprograminfo second("/y/Other.exe");
    EXPECT_EQ(first.name(), "Velmora");
    EXPECT_EQ(second.name(), "Other");
}

TEST(Tprograminfo, CurrentIsTheRunningTestProgram) {
    EXPECT_EQ(Tprograminfo::current().name(), "velmora_gui_tests");
}
