#include "toolkit/splashform.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QThread>

namespace velmora {

namespace {

constexpr int picturewidth = 500;
constexpr int pictureheight = 400;

} // namespace

QPixmap programpicture(const Tprograminfo& program) {
    const QString file = QString::fromStdString(program.bitmapfile());
    QPixmap picture;
    if (QFileInfo::exists(file) && picture.load(file)) return picture;
    picture = QPixmap(picturewidth, pictureheight);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    // The top-left corner of the text at 200, 200, as the picture file
    // would have placed its own title.
    const QFontMetrics metrics(painter.font());
    painter.drawText(200, 200 + metrics.ascent(), QString::fromStdString(program.name()));
    return picture;
}

TSplashForm::TSplashForm(Tprograminfo& program, const std::string& link)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    program.identify(link);
    setFixedSize(picturewidth, pictureheight);
    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(0, 0, picturewidth, pictureheight);
    Image->setPixmap(programpicture(program));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QApplication::setOverrideCursor(Qt::BlankCursor);
    show();
    repaint();
    QApplication::processEvents();
}

TSplashForm::~TSplashForm() {
    if (!ended_) endsplash(0);
}

void TSplashForm::endsplash(double minimumseconds) {
    if (ended_) return;
    while (shown_.elapsed() <= minimumseconds) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
    hide();
    ended_ = true;
    // Only the blank cursor this window put up comes off; a progress window
    // of the start-up has restored its own by now.
    for (int guard = 0; guard < 16; ++guard) {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        if (!cursor || cursor->shape() != Qt::BlankCursor) break;
        QApplication::restoreOverrideCursor();
    }
}

void runwithsplash(Tprograminfo& program, const std::string& link,
                   const std::function<void()>& startup) {
    TSplashForm splash(program, link);
    startup();
    splash.endsplash();
}

} // namespace velmora
