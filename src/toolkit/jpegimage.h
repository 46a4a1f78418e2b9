#pragma once
// JPEG through libjpeg, with an error handler of our own: libjpeg's default
// one ends the process on a bad image or a full buffer.
#include <QByteArray>
#include <QImage>

namespace velmora {

// The image as JPEG file bytes at quality (1..100); raises Eerror with
// libjpeg's message when it cannot be compressed.
QByteArray jpegencode(const QImage& image, int quality = 90);

} // namespace velmora
