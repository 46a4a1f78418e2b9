// The Sysinfo report: its readers on made-up machines and its lines on
// this one.
#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

#include "toolkit/smallforms.h"
#include "toolkit/sysinfo.h"

using namespace velmora;

namespace {

void write(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::ofstream(path.toStdString()) << text;
}

// The value after "<key> = " of the report's first line with that key.
std::string value(const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& line : lines)
        if (line.rfind(key + " = ", 0) == 0) return line.substr(key.size() + 3);
    ADD_FAILURE() << "no line " << key;
    return {};
}

std::vector<std::string> keys(const std::vector<std::string>& lines) {
    std::vector<std::string> result;
    for (const std::string& line : lines) result.push_back(line.substr(0, line.find(" = ")));
    return result;
}

} // namespace

TEST(Sysinfo, LinesOnThisMachine) {
    Tprograminfo program("/opt/velmora/Velmora");
    program.identify("");
    const auto lines = sysinfolines(program, gathersysfacts(), 3);
    const std::vector<std::string> first = {
        "exename", "OS version", "OS language", "power status", "cputype", "cputime", "freq",
        "used memory", "free memory", "username", "computername", "online", "servername",
        "namever", "link", "iniregname", "inifilename", "inisection", "numtype", "inttype",
        "counttype", "sparsetype", "digits"};
    auto k = keys(lines);
    ASSERT_GE(k.size(), first.size());
    EXPECT_EQ(std::vector<std::string>(k.begin(), k.begin() + first.size()), first);

    EXPECT_EQ(value(lines, "exename"), "/opt/velmora/Velmora");
    // The memory of a machine with more than 4 GiB does not wrap to 0.
    const std::string used = value(lines, "used memory");
    ASSERT_NE(used.find(" bytes"), std::string::npos);
    const unsigned long long total = std::stoull(used);
    EXPECT_GT(total, 64ull << 20) << used;
    const unsigned long long available = std::stoull(value(lines, "free memory"));
    EXPECT_GT(available, 0u);
    EXPECT_LE(available, total);
    EXPECT_FALSE(value(lines, "cputype").empty());
    EXPECT_GT(std::stoull(value(lines, "freq")), 1000000u);
    EXPECT_NE(value(lines, "OS version").find("(version Linux "), std::string::npos);
    EXPECT_FALSE(value(lines, "computername").empty());
    const std::string online = value(lines, "online");
    EXPECT_TRUE(online == "TRUE" || online == "FALSE") << online;
    EXPECT_EQ(value(lines, "namever"), program.namever());
    EXPECT_EQ(value(lines, "inisection"), "Velmora");
    EXPECT_NE(value(lines, "inifilename").find("/Velmora.ini"), std::string::npos);
    EXPECT_EQ(value(lines, "sparsetype"), "3");
    EXPECT_EQ(value(lines, "digits"), "3");
    EXPECT_EQ(value(lines, "ProductVersion"), program.version());
}

TEST(Sysinfo, LargeMemoryIsPrintedInFull) {
    Tsysfacts facts;
    facts.memory.total = 24ull << 30;
    facts.memory.available = 5ull << 30;
    const auto lines = sysinfolines(Tprograminfo("/x/Velmora"), facts, 4);
    EXPECT_EQ(value(lines, "used memory"), "25769803776 bytes");
    EXPECT_EQ(value(lines, "free memory"), "5368709120 bytes");
    EXPECT_EQ(value(lines, "online"), "FALSE");
    // No version known: no version line at the end.
    for (const std::string& line : lines) EXPECT_EQ(line.rfind("ProductVersion", 0), std::string::npos);
}

TEST(Sysinfo, FieldsWithoutMeaningHereSaySo) {
    const auto lines = sysinfolines(Tprograminfo("/x/Velmora"), Tsysfacts{}, 3);
    EXPECT_NE(value(lines, "servername").find("no logon server"), std::string::npos);
    EXPECT_NE(value(lines, "iniregname").find("no registry"), std::string::npos);
}

TEST(Sysinfo, OperatingSystemName) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("os-release"));
    write(file, "NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
                "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n");
    EXPECT_EQ(osproductname(file.toStdString()), "Debian GNU/Linux 12 (bookworm)");
    write(file, "NAME='Alpine'\nVERSION=3.19\n");
    EXPECT_EQ(osproductname(file.toStdString()), "Alpine 3.19");
    EXPECT_EQ(osproductname(dir.filePath(QStringLiteral("none")).toStdString()), "");
}

TEST(Sysinfo, ProcessorName) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cpuinfo"));
    write(file, "processor\t: 0\nvendor_id\t: GenuineIntel\n"
                "model name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\nprocessor\t: 1\n");
    EXPECT_EQ(processorname(file.toStdString()), "Intel(R) Xeon(R) CPU @ 2.20GHz");
    write(file, "processor\t: 0\nBogoMIPS\t: 48.00\n\nHardware\t: BCM2835\n");
    EXPECT_EQ(processorname(file.toStdString()), "BCM2835");
    // Without a name the machine type stands in, never an empty line.
    write(file, "processor\t: 0\n");
    EXPECT_FALSE(processorname(file.toStdString()).empty());
}

TEST(Sysinfo, PowerStatus) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    // No power supply at all (a server, a container): mains.
    EXPECT_EQ(powerstatus(root), "AC");
    write(dir.filePath(QStringLiteral("BAT0/type")), "Battery\n");
    write(dir.filePath(QStringLiteral("BAT0/capacity")), "57\n");
    write(dir.filePath(QStringLiteral("AC/type")), "Mains\n");
    write(dir.filePath(QStringLiteral("AC/online")), "0\n");
    EXPECT_EQ(powerstatus(root), "battery (57% left)");
    write(dir.filePath(QStringLiteral("AC/online")), "1\n");
    EXPECT_EQ(powerstatus(root), "AC");
}

TEST(Sysinfo, AvailableMemoryFromMeminfo) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("meminfo"));
    write(file, "MemTotal:       25165824 kB\nMemFree:         1000000 kB\n"
                "MemAvailable:   12582912 kB\n");
    const Tmemorystatus status = memorystatus(file.toStdString());
    EXPECT_EQ(status.available, 12582912ull * 1024);
    // The total is the kernel's own figure of this machine.
    EXPECT_GT(status.total, 0u);
}

TEST(Sysinfo, TheWindowIsATextWindowCaptionedSysinfo) {
    Tprograminfo program("/x/Velmora");
    auto form = makesysinfoform(program, 3);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Sysinfo"));
    const QStringList lines = form->lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("exename = /x/Velmora"));
    EXPECT_TRUE(lines.contains(QStringLiteral("digits = 3")));
}

TEST(Tprograminfo, ClockRateIsMeasuredOnceWhenFirstAsked) {
    Tprograminfo program("/x/Velmora");
    const auto rate = program.freq();
    EXPECT_GT(rate, 1000000u);
    EXPECT_EQ(program.freq(), rate);
    EXPECT_GE(program.cputime(), 0.0f);
}
