// The line reader of the program's small text files and the messages of
// its file errors.
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "numeric/errors.h"
#include "toolkit/textfile.h"

using namespace velmora;

namespace {

// The message of the EFileError that action raises; empty when none.
template <typename F>
std::string fileerror(F action) {
    try {
        action();
    } catch (const EFileError& e) {
        return e.what();
    }
    return {};
}

struct Tfolder {
    QTemporaryDir dir;
    std::string file(const std::string& name, const std::string& text) const {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
};

} // namespace

TEST(Ttextfile, ThreeLinesThenEof) {
    Tfolder folder;
    Ttextfile file = Ttextfile::CreateOpen(folder.file("countries.txt", "Albania\nBelgium\r\nChad"));
    EXPECT_EQ(file.state(), Ttextfile::reading);
    std::vector<std::string> lines;
    while (!file.eof()) lines.push_back(file.readline());
    // A line end written on another system is no part of the name.
    EXPECT_EQ(lines, (std::vector<std::string>{"Albania", "Belgium", "Chad"}));
    EXPECT_EQ(file.linesread(), 3);
    EXPECT_TRUE(file.eof());
}

TEST(Ttextfile, AnEmptyFileIsAtItsEndAtOnce) {
    Tfolder folder;
    Ttextfile file = Ttextfile::CreateOpen(folder.file("empty.txt", ""));
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.linesread(), 0);
}

TEST(Ttextfile, CreateOnlyAssignsAndRecordsTheFullName) {
    Tfolder folder;
    const std::string path = folder.file("a.txt", "x\n");
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(folder.dir.path().toStdString());
    Ttextfile file("a.txt");
    std::filesystem::current_path(here);
    EXPECT_EQ(file.state(), Ttextfile::assigned);
    EXPECT_EQ(std::filesystem::path(file.fullname()), std::filesystem::path(path));
    // Not open yet: reading is refused.
    EXPECT_EQ(fileerror([&] { file.readline(); }), "Error accessing a file");
}

TEST(Ttextfile, OpeningTwiceIsAnError) {
    Tfolder folder;
    Ttextfile file(folder.file("a.txt", "x\n"));
    file.open();
    EXPECT_EQ(fileerror([&] { file.open(); }), "Error accessing a file");
    // The file stays readable after the refused second open.
    EXPECT_EQ(file.readline(), "x");
}

TEST(Ttextfile, AMissingFileGivesTheSystemsCode) {
    Tfolder folder;
    EXPECT_EQ(fileerror([&] { Ttextfile::CreateOpen(folder.path("none.txt")); }),
              "Unspecified error (2)");
    // A failed open leaves the file assigned, not open.
    Ttextfile file(folder.path("none.txt"));
    EXPECT_FALSE(fileerror([&] { file.open(); }).empty());
    EXPECT_EQ(file.state(), Ttextfile::assigned);
}

TEST(Ttextfile, AFolderIsRefusedAtOpening) {
    Tfolder folder;
    EXPECT_EQ(fileerror([&] { Ttextfile::CreateOpen(folder.dir.path().toStdString()); }),
              "Unspecified error (21)");
}

TEST(Ttextfile, AFileWithoutReadPermission) {
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, which reads a file of mode 000; the message of "
                        "the code is checked in FileErrorMessages";
    Tfolder folder;
    const std::string path = folder.file("locked.txt", "secret\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    EXPECT_EQ(fileerror([&] { Ttextfile::CreateOpen(path); }), "Unspecified error (13)");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(Ttextfile, FileErrorMessages) {
    EXPECT_EQ(fileerrormessage(100), "Disk read error");
    EXPECT_EQ(fileerrormessage(101), "Disk write error");
    EXPECT_EQ(fileerrormessage(102), "File not assigned");
    EXPECT_EQ(fileerrormessage(103), "File not open");
    EXPECT_EQ(fileerrormessage(104), "File not open for input");
    EXPECT_EQ(fileerrormessage(105), "File not open for output");
    EXPECT_EQ(fileerrormessage(2), "Unspecified error (2)");
    // No permission (EACCES), the message a user without root sees.
    EXPECT_EQ(fileerrormessage(13), "Unspecified error (13)");
    EXPECT_EQ(fileerrormessage(106), "Unspecified error (106)");
}

TEST(Ttextfile, AMovedFileKeepsReadingAndTheOldOneIsDone) {
    Tfolder folder;
    Ttextfile first(folder.file("a.txt", "one\ntwo\n"));
    first.open();
    EXPECT_EQ(first.readline(), "one");
    Ttextfile second(std::move(first));
    EXPECT_EQ(first.state(), Ttextfile::destroyed);
    EXPECT_EQ(fileerror([&] { first.readline(); }), "Error accessing a file");
    EXPECT_EQ(second.readline(), "two");
    EXPECT_EQ(second.linesread(), 2);
}
