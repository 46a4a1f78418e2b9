#pragma once
// What the windows need to know about the running program: its name, which
// every toolkit caption starts with, and the picture file kept beside it.
// A plain value object: whoever builds windows holds one and passes it on,
// so tests can run several programs' worth of windows side by side.
#include <string>

namespace velmora {

// The program file's name without directory and without its last extension;
// both "/" and "\" separate directories. "Velmora.exe" and "/opt/x/Velmora"
// give "Velmora"; a leading dot is part of the name, not an extension.
std::string programnamefromfile(const std::string& programfile);

// The program file's full path with its last extension replaced by ext
// (which includes the dot), or appended when it has none.
std::string replaceextension(const std::string& programfile, const std::string& ext);

class Tprograminfo {
public:
    explicit Tprograminfo(std::string programfile);
    // The running program, from the application object's file path; needs
    // a QCoreApplication.
    static Tprograminfo current();

    const std::string& programfile() const { return programfile_; }
    const std::string& name() const { return name_; }
    const std::string& version() const { return version_; }
    // The name, followed by " " and the version once a version is known.
    std::string namever() const;
    void setversion(const std::string& version) { version_ = version; }
    // The picture shown by the start-up and About windows.
    std::string bitmapfile() const { return replaceextension(programfile_, ".bmp"); }
    // name() + " - " + word: the caption of a toolkit window.
    std::string caption(const std::string& word) const { return name_ + " - " + word; }

private:
    std::string programfile_;
    std::string name_;
    std::string version_;
};

} // namespace velmora
