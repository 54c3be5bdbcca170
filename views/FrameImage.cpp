#include "views/FrameImage.h"

#include <QBuffer>

QImage pmFrameToQImage(const MovieFrameImage& frame, MovieSize naturalSize) {
    if (frame.empty()) return {};
    // Blue, green, red, unused in memory is what Qt's RGB32 holds on a little-endian machine.
    const QImage view(frame.pixels.data(), frame.width, frame.height, frame.stride, QImage::Format_RGB32);
    const QSize size(naturalSize.width, naturalSize.height);
    if (size.isEmpty() || size == view.size()) return view.copy();
    return view.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::string pmEncodeJpeg(const MovieFrameImage& frame, MovieSize naturalSize) {
    const QImage image = pmFrameToQImage(frame, naturalSize);
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG")) return {};
    return bytes.toStdString();
}
