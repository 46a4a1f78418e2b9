#pragma once
// Helpers for driving windows in the GUI tests.
#include <QString>
#include <functional>

class QWidget;

namespace velmora::testing {

// Runs action on the next modal window once it is shown, from the event loop
// of its exec(). A window that has not appeared after timeoutms fails the
// test, and every modal window then open is closed so that the test ends.
void whenmodal(std::function<void(QWidget*)> action, int timeoutms = 5000);

// Renders the widget offscreen into <temp>/velmora-gui/<name>.png for a look
// by eye; returns the path written, or an empty string when writing failed.
QString snapshot(QWidget* widget, const QString& name);

// Shows the window and waits until the window system reports it active, which
// keyboard shortcuts need; false when that did not happen.
bool showactive(QWidget* widget);

} // namespace velmora::testing
