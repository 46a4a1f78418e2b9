#include "toolkit/sysinfo.h"

#include <QDir>
#include <QLocale>
#include <QtGlobal>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "toolkit/smallforms.h"

namespace velmora {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::string unquote(std::string s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return s;
}

std::string firstline(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return trim(line);
}

std::string clip(std::string s, std::size_t length) {
    if (s.size() > length) s.resize(length);
    return s;
}

} // namespace

std::string osproductname(const std::string& osreleasefile) {
    std::ifstream in(osreleasefile);
    std::string line, pretty, name, version;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trim(line.substr(0, equals));
        const std::string value = unquote(trim(line.substr(equals + 1)));
        if (key == "PRETTY_NAME") pretty = value;
        else if (key == "NAME") name = value;
        else if (key == "VERSION") version = value;
    }
    if (!pretty.empty()) return pretty;
    if (!version.empty()) return name + " " + version;
    return name;
}

std::string kernelversion() {
    utsname system{};
    if (uname(&system) != 0) return {};
    return std::string(system.sysname) + " " + system.release;
}

std::string processorname(const std::string& cpuinfofile) {
    std::ifstream in(cpuinfofile);
    std::string line, hardware, processor;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = trim(line.substr(0, colon));
        const std::string value = trim(line.substr(colon + 1));
        if (value.empty()) continue;
        if (key == "model name") return value;
        if (key == "Hardware" && hardware.empty()) hardware = value;
        // ARM kernels name the core under "Processor"; x86 numbers it under
        // "processor", which is no name.
        if (key == "Processor" && processor.empty()) processor = value;
    }
    if (!hardware.empty()) return hardware;
    if (!processor.empty()) return processor;
    utsname system{};
    return uname(&system) == 0 ? std::string(system.machine) : std::string();
}

std::string powerstatus(const std::string& powersupplyfolder) {
    const QDir folder(QString::fromStdString(powersupplyfolder));
    bool mains = false;
    std::string battery;
    for (const QString& entry : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const std::string path = folder.filePath(entry).toStdString();
        const std::string type = firstline(path + "/type");
        if (type == "Mains" && firstline(path + "/online") == "1") mains = true;
        if (type == "Battery" && battery.empty()) {
            battery = firstline(path + "/capacity");
            if (battery.empty()) battery = "?";
        }
    }
    if (mains || battery.empty()) return "AC";
    return "battery (" + battery + "% left)";
}

Tmemorystatus memorystatus(const std::string& meminfofile) {
    Tmemorystatus status;
    struct sysinfo info {};
    if (::sysinfo(&info) == 0) {
        status.total = static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
        status.available =
            static_cast<std::uint64_t>(info.freeram + info.bufferram) * info.mem_unit;
    }
    std::ifstream in(meminfofile);
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib) {
        std::getline(in, unit);
        if (key == "MemAvailable:") status.available = kib * 1024;
        if (key == "MemTotal:" && status.total == 0) status.total = kib * 1024;
    }
    return status;
}

std::string oslanguage() {
    const QLocale locale = QLocale::system();
    QString text = QLocale::languageToString(locale.language());
    if (locale.territory() != QLocale::AnyTerritory)
        text += QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) +
                QStringLiteral(")");
    return clip(text.toStdString(), 50);
}

std::string username() {
    if (const passwd* entry = getpwuid(geteuid())) return clip(entry->pw_name, 256);
    const QByteArray user = qgetenv("USER");
    return clip(user.toStdString(), 256);
}

std::string computername() {
    char name[257] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return clip(name, 256);
}

bool networkpresent() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool present = false;
    for (const ifaddrs* a = list; a && !present; a = a->ifa_next) {
        const unsigned flags = a->ifa_flags;
        present = (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return present;
}

Tsysfacts gathersysfacts() {
    Tsysfacts facts;
    facts.osname = osproductname();
    facts.osversion = kernelversion();
    facts.language = oslanguage();
    facts.power = powerstatus();
    facts.cputype = processorname();
    facts.memory = memorystatus();
    facts.username = username();
    facts.computername = computername();
    facts.online = networkpresent();
    return facts;
}

std::vector<std::string> sysinfolines(const Tprograminfo& program, const Tsysfacts& facts,
                                      unsigned digits) {
    std::vector<std::string> lines = {
        "exename = " + program.programfile(),
        "OS version = " + facts.osname + " (version " + facts.osversion + ")",
        "OS language = " + facts.language,
        "power status = " + facts.power,
        "cputype = " + facts.cputype,
        "cputime = " + numtostr(program.cputime(), digits) + " s",
        "freq = " + std::to_string(program.freq()) + " Hz",
        // The total, as the report has always given it under this name; the
        // next line tells how much of it is still to be had.
        "used memory = " + std::to_string(facts.memory.total) + " bytes",
        "free memory = " + std::to_string(facts.memory.available) + " bytes",
        "username = " + facts.username,
        "computername = " + facts.computername,
        "online = " + booltostr(facts.online),
        "servername = (none: no logon server on this system)",
        "namever = " + program.namever(),
        "link = " + program.link(),
        "iniregname = " + Tprograminfo::iniregname(),
        "inifilename = " + program.inifilename(),
        "inisection = " + program.inisection(),
        "numtype = 1",
        "inttype = 3",
        "counttype = 3",
        "sparsetype = 3",
        "digits = " + std::to_string(digits),
    };
    // The program file carries no version block here; what the build knows
    // stands in for its entries.
    lines.push_back("ProductName = " + program.name());
    if (!program.version().empty()) lines.push_back("ProductVersion = " + program.version());
    lines.push_back(std::string("Comments = built with Qt ") + QT_VERSION_STR);
    return lines;
}

std::unique_ptr<TMemoForm> makesysinfoform(const Tprograminfo& program, unsigned digits,
                                           QWidget* parent) {
    auto form = std::make_unique<TMemoForm>(program, parent);
    form->setWindowTitle(QStringLiteral("Sysinfo"));
    form->setObjectName(QStringLiteral("SysinfoForm"));
    for (const std::string& line : sysinfolines(program, gathersysfacts(), digits))
        form->addline(QString::fromStdString(line));
    return form;
}

void sysinfo(const Tprograminfo& program, unsigned digits, QWidget* parent) {
    makesysinfoform(program, digits, parent)->exec();
}

} // namespace velmora
