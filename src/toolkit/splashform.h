#pragma once
// The window that shows while the program starts, the picture it shares
// with the About window, and the start-up wrapper that shows and ends it.
#include <QWidget>
#include <functional>

#include "numeric/utilities.h"
#include "toolkit/programinfo.h"

class QLabel;

namespace velmora {

// The program's picture, 500 x 400: the bitmap file beside the program when
// it loads, otherwise a plain picture with the program name written at 200, 200.
QPixmap programpicture(const Tprograminfo& program);

// Borderless, 500 x 400, centred on the desktop. Creating it tells program
// its version and web page (identify), hides the mouse cursor over the
// whole application and shows the window at once.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    TSplashForm(Tprograminfo& program, const std::string& link);
    // Ends the splash as endsplash does when that has not run yet.
    ~TSplashForm() override;

    // Waits until the window has been visible for more than minimumseconds,
    // letting events through meanwhile, then hides it and gives the cursor
    // back. A splash that vanished at once would read as a flicker.
    void endsplash(double minimumseconds = 0.5);
    bool ended() const { return ended_; }
    float shownseconds() const { return shown_.elapsed(); }

    QLabel* Image = nullptr;

private:
    Telapsedtime shown_;
    bool ended_ = false;
};

// The start-up: shows the splash for program, runs startup (which builds
// the main window and its workspace), then ends the splash. An error out
// of startup ends the splash before it travels on.
void runwithsplash(Tprograminfo& program, const std::string& link,
                   const std::function<void()>& startup);

} // namespace velmora
