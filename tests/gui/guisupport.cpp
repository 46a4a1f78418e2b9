#include "guisupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "support/testsupport.h"
#include "toolkit/programinfo.h"
#include "views/modelenvironmentform.h"

namespace velmora::testing {

void whenmodal(std::function<void(QWidget*)> action, int timeoutms) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutms] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            action(modal);
        } else if (clock->elapsed() > timeoutms) {
            timer->stop();
            ADD_FAILURE() << "no modal window appeared within " << timeoutms << " ms";
            for (int guard = 0; guard < 10; ++guard) {
                QWidget* open = QApplication::activeModalWidget();
                if (!open || !open->close()) break;
            }
        } else {
            return;
        }
        delete clock;
        timer->deleteLater();
    });
    timer->start();
}

QString snapshot(QWidget* widget, const QString& name) {
    QDir dir(QDir::tempPath());
    if (!dir.mkpath(QStringLiteral("velmora-gui"))) return {};
    const QString path = dir.filePath(QStringLiteral("velmora-gui/") + name + ".png");
    return widget->grab().save(path) ? path : QString();
}

bool showactive(QWidget* widget) {
    widget->show();
    widget->activateWindow();
    return QTest::qWaitForWindowActive(widget);
}

namespace {
const Tprograminfo resultsprogram("Velmora");
} // namespace

Trecorderui* Tresultswindowtest::ui = nullptr;
Tworkspace* Tresultswindowtest::ws = nullptr;

Tresultswindowtest::Tresultswindowtest() = default;
Tresultswindowtest::~Tresultswindowtest() = default;

void Tresultswindowtest::SetUpTestSuite() {
    ui = new Trecorderui;
    ws = new Tworkspace(*ui, bindir());
    ws->initialize();
}

void Tresultswindowtest::TearDownTestSuite() {
    delete ws;
    delete ui;
    ws = nullptr;
    ui = nullptr;
}

void Tresultswindowtest::SetUp() {
    ASSERT_TRUE(ws->env.present);
    ws->settings.Digits = 3;
    ws->emi.set(ws->startupregion(), air);
    ws->calculate();
    ui->reset();
    form = std::make_unique<TModelEnvironmentForm>(*ws, resultsprogram);
    form->show();
}

void Tresultswindowtest::TearDown() {
    form.reset();
}

} // namespace velmora::testing
