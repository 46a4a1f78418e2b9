#pragma once
// Line reader for the program's small text files (a list of countries, say),
// with the file error messages the user sees when one cannot be read.
#include <cstdio>
#include <string>

namespace velmora {

// The message of a file error code: 100..105 have their own texts, every
// other code reads "Unspecified error (<code>)". Codes below 100 are the
// system's error numbers, so a missing file gives "Unspecified error (2)".
std::string fileerrormessage(int code);

class Ttextfile {
public:
    enum Tstate { assigned = 0, reading = 1, destroyed = 4 };

    // Assigns the file; nothing is opened yet.
    explicit Ttextfile(const std::string& name);
    // Assigns and opens, the form most callers want.
    static Ttextfile CreateOpen(const std::string& name);
    ~Ttextfile();
    Ttextfile(Ttextfile&& other) noexcept;
    Ttextfile& operator=(Ttextfile&&) = delete;
    Ttextfile(const Ttextfile&) = delete;
    Ttextfile& operator=(const Ttextfile&) = delete;

    // Opens for reading; EFileError with the code's message when the file
    // cannot be read, "Error accessing a file" when it was opened before.
    void open();
    // The next line without its line end; EFileError "Error accessing a
    // file" unless open, "Disk read error" when reading fails.
    std::string readline();
    bool eof();

    const std::string& fullname() const { return fullname_; }
    Tstate state() const { return state_; }
    long linesread() const { return lines_; }

private:
    std::FILE* file_ = nullptr;
    std::string fullname_;
    Tstate state_ = assigned;
    long lines_ = 0;
};

} // namespace velmora
