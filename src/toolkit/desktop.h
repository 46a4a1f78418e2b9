#pragma once
// What the program asks of the desktop: opening a document or web address
// with its default application, the clipboard, and playing a sound.
#include <QString>

namespace velmora {

class Tprograminfo;

// Places text on the clipboard as plain text.
void copytoclipboard(const QString& text);

// Opens target (a file path, or an address with a scheme such as https://)
// with the desktop's default application, showing the busy cursor while
// the desktop takes it; false when the desktop could not open it.
bool runprogram(const QString& target);

// Where a file named name is: the name itself when it is an absolute path,
// else the first of the program file's directory and the working directory
// that holds it; empty when neither does.
QString findbesideprogram(const QString& name, const Tprograminfo& program);

// Plays a wave file with the first sound player the system has, without
// waiting for it; with no player, or a file that is not there, it beeps.
void playsoundfile(const QString& path);

} // namespace velmora
