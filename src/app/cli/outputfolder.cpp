#include "app/cli/outputfolder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "numeric/errors.h"
#include "numeric/files.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr int stopsignal = SIGUSR2;

sigset_t interruptsignals(bool withstop) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    if (withstop) sigaddset(&set, stopsignal);
    return set;
}

std::string reason(int e) {
    return std::strerror(e);
}

// The staging folder of a target "<parent>/<name>" is
// "<parent>/.<name>.velmora-<pid>-<hex>"; inside the target (when its
// parent cannot be written) ".velmora-staging-<pid>-<hex>".
std::string randomtag() {
    std::random_device device;
    char text[40];
    std::snprintf(text, sizeof text, "%d-%08x%08x", static_cast<int>(::getpid()), device(),
                  device());
    return text;
}

bool isstagingtag(const std::string& rest) {
    // "<digits>-<16 hex digits>"
    std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != 16) return false;
    for (std::size_t k = 0; k < dash; ++k)
        if (rest[k] < '0' || rest[k] > '9') return false;
    for (std::size_t k = dash + 1; k < rest.size(); ++k)
        if (!std::isxdigit(static_cast<unsigned char>(rest[k]))) return false;
    return true;
}

void removestaleentries(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && isstagingtag(name.substr(prefix.size()))) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

// Entries of a folder by name, with their type, without following links.
std::vector<std::pair<std::string, mode_t>> entries(const fs::path& folder) {
    std::vector<std::pair<std::string, mode_t>> list;
    DIR* d = ::opendir(folder.c_str());
    if (!d) throw Eerror("cannot read the output folder " + folder.string() + ": " + reason(errno));
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        list.emplace_back(name, st.st_mode);
    }
    ::closedir(d);
    return list;
}

void validname(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        throw Eerror("\"" + messagetext(name) + "\" cannot be the name of an output file");
}

} // namespace

// ---- interrupts ---------------------------------------------------------------

Tinterrupts::Tinterrupts() {
    // Blocked here, so in every thread started from now on; only the
    // waiting thread takes them.
    sigset_t set = interruptsignals(true);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([this] { wait(); });
}

Tinterrupts::~Tinterrupts() {
    pthread_kill(thread_.native_handle(), stopsignal);
    thread_.join();
    sigset_t set = interruptsignals(true);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void Tinterrupts::add(const fs::path& staging) {
    std::lock_guard<std::mutex> lock(mutex_);
    staging_.insert(staging);
}

void Tinterrupts::remove(const fs::path& staging) {
    std::lock_guard<std::mutex> lock(mutex_);
    staging_.erase(staging);
}

void Tinterrupts::wait() {
    sigset_t set = interruptsignals(true);
    int signal = 0;
    while (sigwait(&set, &signal) != 0) {
    }
    if (signal == stopsignal) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const fs::path& p : staging_) {
            std::error_code ignored;
            fs::remove_all(p, ignored);
        }
    }
    // End as the signal would have ended the process.
    std::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

// ---- the output folder ------------------------------------------------------------

Toutputfolder::Toutputfolder(const fs::path& dir, Tinterrupts* interrupts)
    : interrupts_(interrupts) {
    std::error_code ec;
    fs::path absolute = fs::absolute(dir, ec);
    dir_ = (ec ? dir : absolute).lexically_normal();
    if (dir_.has_parent_path() && dir_.filename().empty()) dir_ = dir_.parent_path();
    const std::string shown = messagetext(dir_.string(), 300);
    if (!fs::exists(dir_, ec)) {
        fs::create_directories(dir_, ec);
        if (ec) throw Eerror("cannot create the output folder " + shown + ": " + ec.message());
        created_ = true;
    }
    // The lock belongs to the folder as it is now; a run that committed in
    // between has put another folder at that path, which is locked afresh.
    for (int attempt = 0;; ++attempt) {
        lock_ = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (lock_ < 0) {
            int e = errno;
            throw Eerror("cannot use the output folder " + shown + ": " +
                         (e == ENOTDIR ? std::string("it is not a folder") : reason(e)));
        }
        if (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
            int e = errno;
            ::close(lock_);
            lock_ = -1;
            if (e == EWOULDBLOCK)
                throw Eerror("the output folder " + shown +
                             " is in use by another run; nothing was written");
            throw Eerror("cannot lock the output folder " + shown + ": " + reason(e));
        }
        struct stat locked, now;
        if (::fstat(lock_, &locked) == 0 && ::stat(dir_.c_str(), &now) == 0 &&
            locked.st_dev == now.st_dev && locked.st_ino == now.st_ino)
            break;
        ::close(lock_);
        lock_ = -1;
        if (attempt >= 20)
            throw Eerror("the output folder " + shown +
                         " is in use by another run; nothing was written");
    }
    // Holding the lock, no other run is writing here: any staging folder of
    // this target is what an interrupted run left.
    const std::string name = dir_.filename().string();
    const fs::path parent = dir_.parent_path();
    removestaleentries(parent, "." + name + ".velmora-");
    removestaleentries(dir_, ".velmora-staging-");
    staging_ = parent / ("." + name + ".velmora-" + randomtag());
    // The folder a shell stands in (--out .) is not swapped away under it.
    std::error_code same;
    const bool current = fs::equivalent(dir_, fs::current_path(same), same) && !same;
    if (name.empty() || current || ::mkdir(staging_.c_str(), 0700) != 0) {
        // The parent cannot take it: stage inside, commit file by file.
        staging_ = dir_ / (".velmora-staging-" + randomtag());
        stagedinside_ = true;
        if (::mkdir(staging_.c_str(), 0700) != 0) {
            int e = errno;
            ::close(lock_);
            lock_ = -1;
            throw Eerror("cannot write into the output folder " + shown + ": " + reason(e));
        }
    } else {
        // The staging folder becomes the target: give it the target's mode.
        struct stat st;
        if (::fstat(lock_, &st) == 0) ::chmod(staging_.c_str(), st.st_mode & 07777);
    }
    if (interrupts_) interrupts_->add(staging_);
}

Toutputfolder::~Toutputfolder() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(staging_, ignored);
        if (created_) fs::remove(dir_, ignored); // only when empty
    }
    if (interrupts_) interrupts_->remove(staging_);
    if (lock_ >= 0) ::close(lock_);
}

void Toutputfolder::write(const std::string& name,
                          const std::function<void(std::ostream&)>& contents) {
    validname(name);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(written_.begin(), written_.end(), name) != written_.end())
            throw Eerror("the output file " + (dir_ / name).string() + " is written twice");
        written_.push_back(name);
    }
    const std::string shown = (dir_ / name).string();
    std::ofstream f(staging_ / name, std::ios::binary | std::ios::trunc);
    if (!f) throw Eerror("cannot write " + shown + ": " + reason(errno));
    contents(f);
    f.close();
    if (f.fail()) throw Eerror("cannot write " + shown + ": " + reason(errno));
}

void Toutputfolder::commit(const std::vector<std::string>& stale) {
    std::set<std::string> ours(written_.begin(), written_.end());
    ours.insert(stale.begin(), stale.end());
    // Every target first: a folder or a device where a file of the run
    // goes stops the commit before anything has changed.
    for (const auto& [name, mode] : entries(dir_)) {
        if (!ours.count(name) || S_ISREG(mode) || S_ISLNK(mode)) continue;
        throw Eerror("cannot replace " + (dir_ / name).string() +
                     (S_ISDIR(mode) ? ": it is a folder" : ": it is not a file") +
                     "; nothing was written");
    }
    if (stagedinside_ || !exchange(ours)) commitinplace(ours);
    committed_ = true;
}

// Carries the files of the folder that are not the run's into the staging
// folder (as second links to the same files, nothing copied) and swaps the
// two folders in one step. False, with nothing changed, where that cannot
// be done: a subfolder of the user's in the target, a file system without
// links or without the exchange.
bool Toutputfolder::exchange(const std::set<std::string>& ours) {
    for (const auto& [name, mode] : entries(dir_)) {
        if (ours.count(name)) continue;
        if (!S_ISREG(mode) && !S_ISLNK(mode)) return false;
        if (::linkat(AT_FDCWD, (dir_ / name).c_str(), AT_FDCWD, (staging_ / name).c_str(), 0) != 0)
            return false;
    }
    if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, dir_.c_str(), RENAME_EXCHANGE) != 0)
        return false;
    // The earlier folder is now at the staging path. A file the user put
    // into the folder while the links were made is moved over, not lost.
    const fs::path old = staging_;
    for (const auto& [name, mode] : entries(old)) {
        if (ours.count(name)) continue;
        ::renameat2(AT_FDCWD, (old / name).c_str(), AT_FDCWD, (dir_ / name).c_str(),
                    RENAME_NOREPLACE);
    }
    std::error_code ignored;
    fs::remove_all(old, ignored);
    return true;
}

// File by file, run.tsv last; the fallback where no exchange is possible.
void Toutputfolder::commitinplace(const std::set<std::string>& ours) {
    std::vector<std::string> order = written_;
    std::stable_partition(order.begin(), order.end(),
                          [](const std::string& n) { return n != "run.tsv"; });
    for (const std::string& name : order) {
        std::error_code ec;
        fs::rename(staging_ / name, dir_ / name, ec);
        if (ec) throw Eerror("cannot write " + (dir_ / name).string() + ": " + ec.message());
    }
    for (const std::string& name : ours) {
        if (std::find(written_.begin(), written_.end(), name) != written_.end()) continue;
        std::error_code ec;
        fs::remove(dir_ / name, ec);
        if (ec) throw Eerror("cannot remove " + (dir_ / name).string() + ": " + ec.message());
    }
    std::error_code ignored;
    fs::remove_all(staging_, ignored);
}

// ---- file names ---------------------------------------------------------------------

namespace {

// Length of the valid UTF-8 character at s[i], 0 when the bytes are not one.
std::size_t utf8length(const std::string& s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    if (n == 2 && c < 0xC2) return 0; // overlong
    return n;
}

std::string filestem(const std::string& text) {
    constexpr std::size_t longest = 180; // bytes, leaving room for a number and the extension
    std::string f;
    for (std::size_t i = 0; i < text.size() && f.size() < longest;) {
        std::size_t n = utf8length(text, i);
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (n == 0) {
            f += '_';
            ++i;
            continue;
        }
        if (f.size() + n > longest) break;
        bool bad = n == 1 && (c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", c));
        f += bad ? std::string("_") : text.substr(i, n);
        i += n;
    }
    // No hidden file, no name a file system drops blanks or dots from.
    if (!f.empty() && (f[0] == '.' || f[0] == ' ')) f[0] = '_';
    if (!f.empty() && (f.back() == '.' || f.back() == ' ')) f.back() = '_';
    return f.empty() ? std::string("substance") : f;
}

std::string foldcase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

std::vector<std::string> distinctfilenames(const std::vector<std::string>& texts,
                                           const std::string& extension) {
    std::vector<std::string> names(texts.size());
    std::set<std::string> taken;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t k = 0; k < texts.size(); ++k) {
            const std::string stem = filestem(texts[k]);
            if ((pass == 0) != (stem == texts[k])) continue;
            std::string name = stem + extension;
            for (int n = 2; !taken.insert(foldcase(name)).second; ++n)
                name = stem + "-" + std::to_string(n) + extension;
            names[k] = name;
        }
    }
    return names;
}

} // namespace velmora
