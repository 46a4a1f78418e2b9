#include "toolkit/desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "toolkit/programinfo.h"

namespace velmora {

void copytoclipboard(const QString& text) {
    QApplication::clipboard()->setText(text);
}

bool runprogram(const QString& target) {
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target)
                                                            : QUrl::fromLocalFile(target);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = QDesktopServices::openUrl(url);
    QApplication::restoreOverrideCursor();
    return opened;
}

QString findbesideprogram(const QString& name, const Tprograminfo& program) {
    const QFileInfo given(name);
    if (given.isAbsolute()) return given.exists() ? given.absoluteFilePath() : QString();
    const QString programdir =
        QFileInfo(QString::fromStdString(program.programfile())).absolutePath();
    for (const QString& dir : {programdir, QDir::currentPath()}) {
        const QFileInfo candidate(QDir(dir).filePath(name));
        if (candidate.exists()) return candidate.absoluteFilePath();
    }
    return {};
}

void playsoundfile(const QString& path) {
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        // The sound servers' own players first, then the bare device.
        for (const char* player : {"pw-play", "paplay", "aplay"}) {
            const QString program = QStandardPaths::findExecutable(QString::fromLatin1(player));
            if (program.isEmpty()) continue;
            QStringList arguments;
            if (QFileInfo(program).fileName() == QLatin1String("aplay"))
                arguments << QStringLiteral("-q");
            arguments << path;
            if (QProcess::startDetached(program, arguments)) return;
        }
    }
    QApplication::beep();
}

} // namespace velmora
