#pragma once
// The "Sysinfo" report: what a user sends along with a question about the
// program, namely the program, the system it runs on and the number settings.
// The facts are gathered by plain readers that take their file or folder, so
// tests can feed them made-up machines.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/programinfo.h"

class QWidget;

namespace velmora {

class TMemoForm;

// The operating system's product name from os-release (PRETTY_NAME, else
// NAME and VERSION); empty when the file is missing.
std::string osproductname(const std::string& osreleasefile = "/etc/os-release");
// The kernel: system name and release ("Linux 6.1.0-18-amd64").
std::string kernelversion();
// The processor's name: the first "model name" of cpuinfo, else its
// "Hardware" or "Processor" line, else the machine type.
std::string processorname(const std::string& cpuinfofile = "/proc/cpuinfo");
// "AC" on mains power or without a battery, else "battery (<n>% left)"
// from the first battery's capacity.
std::string powerstatus(const std::string& powersupplyfolder = "/sys/class/power_supply");

struct Tmemorystatus {
    std::uint64_t total = 0;     // physical memory, bytes
    std::uint64_t available = 0; // what programs can still have, bytes
};
// From the kernel's memory status; "MemAvailable" of meminfo when present,
// as free memory alone leaves out the caches the system gives back on demand.
Tmemorystatus memorystatus(const std::string& meminfofile = "/proc/meminfo");

// The name of the user's language and country, at most 50 characters.
std::string oslanguage();
// The logged-on user's and the computer's names, at most 256 characters.
std::string username();
std::string computername();
// Whether a network interface other than the loopback is up and running.
bool networkpresent();

struct Tsysfacts {
    std::string osname;
    std::string osversion;
    std::string language;
    std::string power;
    std::string cputype;
    Tmemorystatus memory;
    std::string username;
    std::string computername;
    bool online = false;
};
// The facts of this machine.
Tsysfacts gathersysfacts();

// The report's lines in their order; digits is the number setting of the
// workspace.
std::vector<std::string> sysinfolines(const Tprograminfo& program, const Tsysfacts& facts,
                                      unsigned digits);

// The report in a text window captioned "Sysinfo", not yet shown.
std::unique_ptr<TMemoForm> makesysinfoform(const Tprograminfo& program, unsigned digits,
                                           QWidget* parent = nullptr);
// Shows the report modally and frees it.
void sysinfo(const Tprograminfo& program, unsigned digits, QWidget* parent = nullptr);

} // namespace velmora
