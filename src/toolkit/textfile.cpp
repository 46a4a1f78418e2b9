#include "toolkit/textfile.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "numeric/errors.h"

namespace velmora {

std::string fileerrormessage(int code) {
    switch (code) {
    case 100: return "Disk read error";
    case 101: return "Disk write error";
    case 102: return "File not assigned";
    case 103: return "File not open";
    case 104: return "File not open for input";
    case 105: return "File not open for output";
    default: return "Unspecified error (" + std::to_string(code) + ")";
    }
}

Ttextfile::Ttextfile(const std::string& name) {
    std::error_code error;
    const auto full = std::filesystem::absolute(name, error);
    fullname_ = error ? name : full.lexically_normal().string();
}

Ttextfile Ttextfile::CreateOpen(const std::string& name) {
    Ttextfile file(name);
    file.open();
    return file;
}

Ttextfile::Ttextfile(Ttextfile&& other) noexcept
    : file_(other.file_), fullname_(std::move(other.fullname_)), state_(other.state_),
      lines_(other.lines_) {
    other.file_ = nullptr;
    other.state_ = destroyed;
}

Ttextfile::~Ttextfile() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    state_ = destroyed;
}

void Ttextfile::open() {
    if (state_ != assigned) throw EFileError();
    if (fullname_.empty()) throw EFileError(fileerrormessage(102));
    errno = 0;
    std::FILE* file = std::fopen(fullname_.c_str(), "r");
    if (!file) throw EFileError(fileerrormessage(errno ? errno : 100));
    // A folder opens like a file here and fails only at the first read; it
    // is refused now, where the caller expects the error.
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        throw EFileError(fileerrormessage(EISDIR));
    }
    file_ = file;
    state_ = reading;
}

std::string Ttextfile::readline() {
    if (state_ != reading) throw EFileError();
    std::string line;
    for (int c; (c = std::fgetc(file_)) != EOF;) {
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (std::ferror(file_)) throw EFileError(fileerrormessage(100));
    // Files written on other systems end their lines with CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++lines_;
    return line;
}

bool Ttextfile::eof() {
    if (state_ != reading) throw EFileError();
    const int c = std::fgetc(file_);
    if (c == EOF) {
        if (std::ferror(file_)) throw EFileError(fileerrormessage(100));
        return true;
    }
    std::ungetc(c, file_);
    return false;
}

} // namespace velmora
