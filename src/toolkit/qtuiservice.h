#pragma once
// The desktop program's side of the door between model code and the user:
// message boxes, progress windows and the edit-parameter dialog.
//
// The stop request. Long loops in model code (the matrix inversion, for one)
// poll stoprequested() after each unit of work. It answers true when
//   - a front end has called requeststop() (a Stop action, say) and nobody
//     has called clearstop() since, or
//   - the function installed with setstop() answers true. A window that wants
//     its Cancel button honoured by such loops installs a function that
//     steps its progress bar and returns the progress window's cancelled(),
//     and calls resetstop() when the work is done.
// stoprequested() itself lets no events through; the installed function
// does that when it polls a progress window.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "numeric/uiservice.h"
#include "toolkit/programinfo.h"

namespace velmora {

class Tqtuiservice : public Tuiservice {
public:
    // Windows are centred on owner (nullptr: on the active window at the time).
    explicit Tqtuiservice(Tprograminfo program, QWidget* owner = nullptr);

    void setowner(QWidget* owner) { owner_ = owner; }
    const Tprograminfo& program() const { return program_; }

    // A modal box: warning icon, the text, one OK button; caption the
    // program name.
    void warn(const std::string& text) override;
    // A shown progress window; it closes when the returned object is destroyed.
    std::unique_ptr<Tprogress> progress() override;
    // The edit-parameter dialog, modal; true on OK, with the answer filled in.
    bool editparameter(Teditrequest& request) override;
    bool stoprequested() override;
    // Plays the file with the desktop's sound player, looking for a relative
    // name beside the program first; a beep when there is no file or no
    // player. Never an error box: a sound is a courtesy, not a result.
    void playsound(const std::string& file) override;
    // Hands the address to the desktop's browser, the hourglass shown
    // while the desktop takes it.
    bool openaddress(const std::string& url) override;

    void requeststop() { stopflag_ = true; }
    void clearstop() { stopflag_ = false; }
    void setstop(std::function<bool()> function) { stopfunction_ = std::move(function); }
    void resetstop() { stopfunction_ = nullptr; }

private:
    QWidget* owner() const;

    Tprograminfo program_;
    QPointer<QWidget> owner_;
    bool stopflag_ = false;
    std::function<bool()> stopfunction_;
};

} // namespace velmora
