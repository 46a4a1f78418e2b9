#pragma once
// The one door through which model code reaches the user: warnings, progress
// windows with Cancel, the program's stop check, the edit-parameter dialog
// and the sound that tells a long run has ended.
// The desktop program implements it with real windows; tests use the
// recorder, the command-line tool the console implementation.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// A shown progress window; destroying the object closes it.
class Tprogress {
public:
    virtual ~Tprogress() = default;
    virtual void setmaintext(const std::string& text) = 0;
    virtual void setsubtext(const std::string& text) = 0;
    virtual void showcancel() = 0;
    virtual bool cancelled() = 0;
    virtual void startbar(std::int64_t n) = 0;
    virtual void stepbar() = 0;
    virtual void startbar2(std::int64_t n) = 0;
    virtual void stepbar2() = 0;
    virtual void hidebar2() = 0;
};

enum class Tvaluekind { real, integer, text, boolean };

// What the edit-parameter dialog shows and what the user answered.
struct Teditrequest {
    std::string name;
    std::string regionlabel; // region name, or "All"
    std::string unit;        // "-" for texts and booleans
    std::string statusword;  // "Fixed", "Default", ... or "?"
    Tvaluekind kind = Tvaluekind::real;
    std::string valuetext; // reals formatted, booleans "False"/"True"
    bool unknown = false;  // the "Unknown" choice is preselected
    // Filled by the dialog when it returns true (OK).
    bool answerknown = true;
    std::string answertext;
};

class Tuiservice {
public:
    virtual ~Tuiservice() = default;
    // Modal warning box with one OK button; the caller goes on afterwards.
    virtual void warn(const std::string& text) = 0;
    // Creates and shows a progress window.
    virtual std::unique_ptr<Tprogress> progress() = 0;
    // The edit-parameter dialog; true on OK.
    virtual bool editparameter(Teditrequest& request) = 0;
    // The program-wide stop request that long loops poll.
    virtual bool stoprequested() = 0;
    // Plays a sound file; a relative name is looked for beside the program
    // first, then in the working directory. A sound that cannot be played
    // is no error: the front end may beep instead or stay quiet.
    virtual void playsound(const std::string& file) { (void)file; }
    // Opens a web address with the desktop's browser; false when it could
    // not be handed over (the caller tells the user).
    virtual bool openaddress(const std::string& url) {
        (void)url;
        return false;
    }
};

// A progress window that shows nothing; its Cancel is never pressed.
class Tsilentprogress : public Tprogress {
public:
    void setmaintext(const std::string&) override {}
    void setsubtext(const std::string&) override {}
    void showcancel() override {}
    bool cancelled() override { return false; }
    void startbar(std::int64_t) override {}
    void stepbar() override {}
    void startbar2(std::int64_t) override {}
    void stepbar2() override {}
    void hidebar2() override {}
};

// For tests: records every warning and progress text, answers edits from a
// script and can press Cancel after a given number of polls.
class Trecorderui : public Tuiservice {
public:
    std::vector<std::string> warnings;
    std::vector<std::string> progresstexts; // main and sub texts in order
    int progresswindows = 0;                // windows created
    int openprogress = 0;                   // windows currently shown
    // Cancel answers true from this poll on (counted over all windows); < 0: never.
    long cancelafterpolls = -1;
    long polls = 0;
    bool stop = false;
    // Edit requests seen, and the answers to give (front of the queue first).
    std::vector<Teditrequest> editrequests;
    // Sound files asked for, in order.
    std::vector<std::string> sounds;
    // Web addresses asked for, in order, and what opening them answers.
    std::vector<std::string> addresses;
    bool addressesopen = true;
    struct Tanswer {
        bool ok = true;
        bool known = true;
        std::string text;
    };
    std::vector<Tanswer> editanswers;

    void warn(const std::string& text) override { warnings.push_back(text); }
    std::unique_ptr<Tprogress> progress() override;
    bool editparameter(Teditrequest& request) override;
    bool stoprequested() override { return stop; }
    void playsound(const std::string& file) override { sounds.push_back(file); }
    bool openaddress(const std::string& url) override {
        addresses.push_back(url);
        return addressesopen;
    }
    void reset() {
        warnings.clear();
        sounds.clear();
        addresses.clear();
        progresstexts.clear();
        editrequests.clear();
    }
};

// For the command-line tool: warnings to standard error, no dialogs.
class Tconsoleui : public Tuiservice {
public:
    explicit Tconsoleui(bool verbose = false);
    // Warnings (and, when verbose, progress texts) go to err.
    explicit Tconsoleui(std::ostream& err, bool verbose = false) : err_(&err), verbose_(verbose) {}
    void warn(const std::string& text) override;
    std::unique_ptr<Tprogress> progress() override;
    bool editparameter(Teditrequest&) override { return false; }
    bool stoprequested() override { return false; }
    // A terminal has no sound to play at the end of a run.
    void playsound(const std::string&) override {}
    // A terminal opens no browser.
    bool openaddress(const std::string&) override { return false; }
    long warningcount() const { return warnings_; }

private:
    std::ostream* err_;
    bool verbose_;
    long warnings_ = 0;
};

} // namespace velmora
