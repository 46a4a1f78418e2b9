#pragma once
// What the windows need to know about the running program: its name, which
// every toolkit caption starts with, its version and web page, the picture
// file kept beside it and the processor's clock rate.
// A plain value object: whoever builds windows holds one and passes it on,
// so tests can run several programs' worth of windows side by side.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "numeric/utilities.h"
#include "toolkit/output/outputstate.h"

namespace velmora {

// The program file's name without directory and without its last extension;
// both "/" and "\" separate directories. "Velmora.exe" and "/opt/x/Velmora"
// give "Velmora"; a leading dot is part of the name, not an extension.
std::string programnamefromfile(const std::string& programfile);

// The program file's full path with its last extension replaced by ext
// (which includes the dot), or appended when it has none.
std::string replaceextension(const std::string& programfile, const std::string& ext);

// The version this build was made as (the project version of the build
// files); "0" when the build did not say.
std::string buildversion();
// The program's web page as the build was told it; empty when it has none.
std::string buildwebpage();

// Time-stamp counter ticks per second, measured over about measureseconds.
// Processors without a readable counter give the steady clock's resolution.
std::uint64_t measureclockrate(double measureseconds = 0.05);

class Tprograminfo {
public:
    explicit Tprograminfo(std::string programfile);
    // The running program, from the application object's file path; needs
    // a QCoreApplication.
    static Tprograminfo current();

    const std::string& programfile() const { return programfile_; }
    // The directory of the program file, without a trailing separator.
    std::string programdirectory() const;
    const std::string& name() const { return name_; }
    const std::string& version() const { return version_; }
    // The name, followed by " " and the version once a version is known.
    std::string namever() const;
    void setversion(const std::string& version) { version_ = version; }
    const std::string& link() const { return link_; }
    void setlink(const std::string& link) { link_ = link; }
    // What the start-up window learns: the version of this build and the
    // program's web page.
    void identify(const std::string& link);
    // The picture shown by the start-up and About windows.
    std::string bitmapfile() const { return replaceextension(programfile_, ".bmp"); }
    // name() + " - " + word: the caption of a toolkit window.
    std::string caption(const std::string& word) const { return name_ + " - " + word; }

    // Where the program's own settings would live: a plain file named after
    // the program in the user's configuration folder, under a section of the
    // program's name. Linux has no registry; iniregname() says so.
    std::string inifilename() const;
    std::string inisection() const { return name_; }
    static std::string iniregname() { return "(none: no registry on this system)"; }

    // Seconds since this object was made.
    float cputime() const { return cputimer_.elapsed(); }
    // The clock rate, measured on first use rather than at start-up, so that
    // starting the program waits for nothing.
    std::uint64_t freq() const;

    // The output window's counters and workbook. Every window holds its own
    // copy of this object, and the counts run over the whole program run,
    // so all copies share one.
    Toutputstate& output() const { return *output_; }

private:
    std::string programfile_;
    std::string name_;
    std::string version_;
    std::string link_;
    Tcputime cputimer_;
    mutable std::optional<std::uint64_t> freq_;
    std::shared_ptr<Toutputstate> output_ = std::make_shared<Toutputstate>();
};

} // namespace velmora
