#pragma once
// The folder a command writes its files into, whole or not at all. The
// files of a run are written into a staging folder beside the target and
// swapped in with one atomic exchange, so a reader (or a kill at any moment)
// sees either the earlier run's files or this run's, never a mix. A run
// locks the folder for its whole time: a second run into the same folder is
// refused at once instead of mixing its files with the first's.
#include <filesystem>
#include <functional>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace velmora {

// Interrupts (SIGINT, SIGTERM, SIGHUP) taken by a thread of their own, which
// removes the staging folders of unfinished output before the process ends
// with the signal. Made once by the program's entry; without it an
// interrupted run's staging folder is removed by the next run into the
// same folder.
class Tinterrupts {
public:
    Tinterrupts();
    ~Tinterrupts();
    Tinterrupts(const Tinterrupts&) = delete;
    Tinterrupts& operator=(const Tinterrupts&) = delete;
    void add(const std::filesystem::path& staging);
    void remove(const std::filesystem::path& staging);

private:
    void wait();
    std::mutex mutex_;
    std::set<std::filesystem::path> staging_;
    std::thread thread_;
};

class Toutputfolder {
public:
    // Takes the folder for this run: creates it when missing and refuses,
    // naming it, a folder another run is writing into. What an interrupted
    // run left of its staging is removed.
    explicit Toutputfolder(const std::filesystem::path& dir, Tinterrupts* interrupts = nullptr);
    // Without a commit nothing of the run stays: its staging folder goes,
    // and so does the target folder when this run created it.
    ~Toutputfolder();
    Toutputfolder(const Toutputfolder&) = delete;
    Toutputfolder& operator=(const Toutputfolder&) = delete;

    const std::filesystem::path& path() const { return dir_; }
    // Writes one file of the run (from any thread). A write that fails (a
    // full disk shows only when the file is closed) raises "cannot write
    // <folder>/<name>: <reason>".
    void write(const std::string& name, const std::function<void(std::ostream&)>& contents);
    // Puts every written file in place at once and drops the files named in
    // stale that this run did not write (an earlier run's). Files of the
    // folder that are not the run's stay. A target that is a folder or
    // anything but a file is refused before anything changes.
    void commit(const std::vector<std::string>& stale = {});

private:
    void commitinplace(const std::set<std::string>& ours);
    bool exchange(const std::set<std::string>& ours);

    std::filesystem::path dir_;
    std::filesystem::path staging_;
    bool stagedinside_ = false; // staging inside the target: no exchange possible
    bool created_ = false;
    bool committed_ = false;
    int lock_ = -1;
    Tinterrupts* interrupts_ = nullptr;
    std::mutex mutex_;
    std::vector<std::string> written_;
};

// File names for texts (substance names), one each, all distinct also where
// letter case is ignored: letters of any script are kept, characters that
// cannot stand in a file name become "_", long names are cut, and a name
// that is already taken gets "-2", "-3", ... Names that need no change get
// theirs first.
std::vector<std::string> distinctfilenames(const std::vector<std::string>& texts,
                                           const std::string& extension);

} // namespace velmora
