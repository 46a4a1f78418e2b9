#pragma once
// Helpers for driving windows in the GUI tests.
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class QWidget;

namespace velmora {
class TModelEnvironmentForm;
class Trecorderui;
class Tworkspace;
} // namespace velmora

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

// The results window on the default world, calculated for an emission to air
// in the start-up region. The world is read once a suite: that takes seconds.
class Tresultswindowtest : public ::testing::Test {
protected:
    Tresultswindowtest();
    ~Tresultswindowtest() override;

    static Trecorderui* ui;
    static Tworkspace* ws;
    std::unique_ptr<TModelEnvironmentForm> form;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
};

} // namespace velmora::testing
