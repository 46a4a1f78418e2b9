#include "toolkit/programinfo.h"

#include <QCoreApplication>
#include <utility>

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

Tprograminfo::Tprograminfo(std::string programfile)
    : programfile_(std::move(programfile)), name_(programnamefromfile(programfile_)) {}

Tprograminfo Tprograminfo::current() {
    return Tprograminfo(QCoreApplication::applicationFilePath().toStdString());
}

std::string Tprograminfo::namever() const {
    return version_.empty() ? name_ : name_ + " " + version_;
}

} // namespace velmora
