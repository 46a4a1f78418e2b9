#include "toolkit/programinfo.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <chrono>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "0"
#endif
#ifndef VELMORA_WEBPAGE
#define VELMORA_WEBPAGE ""
#endif

namespace velmora {

namespace {

// Where the file name starts: after the last directory separator of either kind.
std::string::size_type namestart(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// Where the last extension starts within path, or npos; a dot that opens the
// file name does not start an extension.
std::string::size_type extensionstart(const std::string& path) {
    auto start = namestart(path);
    auto dot = path.rfind('.');
    if (dot == std::string::npos || dot <= start) return std::string::npos;
    return dot;
}

} // namespace

std::string programnamefromfile(const std::string& programfile) {
    auto start = namestart(programfile);
    auto dot = extensionstart(programfile);
    if (dot == std::string::npos) return programfile.substr(start);
    return programfile.substr(start, dot - start);
}

std::string replaceextension(const std::string& programfile, const std::string& ext) {
    return programfile.substr(0, extensionstart(programfile)) + ext;
}

std::string buildversion() {
    const std::string version = VELMORA_VERSION;
    return version.empty() ? "0" : version;
}

std::string buildwebpage() {
    return VELMORA_WEBPAGE;
}

std::uint64_t measureclockrate(double measureseconds) {
    using clock = std::chrono::steady_clock;
#if defined(__x86_64__) || defined(__i386__)
    // A short busy wait against the steady clock: long enough for a rate
    // good to a few parts in ten thousand, short enough to go unnoticed
    // when the report asks for it.
    const auto start = clock::now();
    const std::uint64_t t0 = __rdtsc();
    auto now = start;
    do now = clock::now();
    while (std::chrono::duration<double>(now - start).count() < measureseconds);
    const std::uint64_t t1 = __rdtsc();
    const double seconds = std::chrono::duration<double>(now - start).count();
    return static_cast<std::uint64_t>(static_cast<double>(t1 - t0) / seconds + 0.5);
#else
    (void)measureseconds;
    return static_cast<std::uint64_t>(clock::period::den / clock::period::num);
#endif
}

Tprograminfo::Tprograminfo(std::string programfile)
    : programfile_(std::move(programfile)), name_(programnamefromfile(programfile_)) {}

Tprograminfo Tprograminfo::current() {
    return Tprograminfo(QCoreApplication::applicationFilePath().toStdString());
}

std::string Tprograminfo::programdirectory() const {
    auto start = namestart(programfile_);
    return start == 0 ? std::string(".") : programfile_.substr(0, start - 1);
}

std::string Tprograminfo::namever() const {
    return version_.empty() ? name_ : name_ + " " + version_;
}

void Tprograminfo::identify(const std::string& link) {
    version_ = buildversion();
    link_ = link;
}

std::string Tprograminfo::inifilename() const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder.toStdString() + "/" + name_ + ".ini";
}

std::uint64_t Tprograminfo::freq() const {
    if (!freq_) freq_ = measureclockrate();
    return *freq_;
}

} // namespace velmora
