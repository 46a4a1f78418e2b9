#include "numeric/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numeric/errors.h"

namespace velmora {

namespace {

[[noreturn]] void refuse(const std::string& what, const std::string& path,
                         const std::string& reason) {
    throw EFileError("Cannot read " + what + " " + messagetext(path, 200) + ": " + reason);
}

std::string kindof(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder, not a file";
    if (S_ISFIFO(mode)) return "it is a pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
    if (S_ISSOCK(mode)) return "it is a socket, not a file";
    return "it is not a regular file";
}

} // namespace

int openregularfile(const std::string& path, const std::string& what) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer for ever. It is cleared again once the file is known to be one.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) refuse(what, path, std::strerror(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        refuse(what, path, std::strerror(e));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        refuse(what, path, kindof(st.st_mode));
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

void requireregularfile(const std::string& path, const std::string& what) {
    ::close(openregularfile(path, what));
}

std::string readregularfile(const std::string& path, const std::string& what,
                            std::uint64_t maxbytes) {
    int fd = openregularfile(path, what);
    std::string data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0 &&
        static_cast<std::uint64_t>(st.st_size) <= maxbytes)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            refuse(what, path, std::strerror(e));
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::size_t>(n) > maxbytes) {
            ::close(fd);
            refuse(what, path, "it is larger than " + std::to_string(maxbytes) + " bytes");
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

std::string messagetext(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    // Back to the start of a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

} // namespace velmora
