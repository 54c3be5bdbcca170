#pragma once
#include "interfaces/MoviePlayer.h"
#include "tools/FrameStamp.h"

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <optional>

// The stamp shown by a movie view in a screenshot of the window: the picture is fitted into the
// view, centred, keeping its aspect.
inline std::optional<FrameStamp> stampInView(const QImage& shot, QWidget& window, QWidget& view, MovieSize natural) {
    if (natural.width <= 0 || natural.height <= 0) return std::nullopt;
    const QRect area(view.mapTo(&window, QPoint(0, 0)), view.size());
    const double scale = std::min(double(area.width()) / natural.width, double(area.height()) / natural.height);
    const int width = int(natural.width * scale), height = int(natural.height * scale);
    const QRect picture(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2, width, height);
    const QImage gray = shot.copy(picture).convertToFormat(QImage::Format_Grayscale8);
    const ImageView image{gray.constBits(), gray.width(), gray.height(), int(gray.bytesPerLine()),
                          ImageView::Format::Gray8};
    return readFrameStamp(image, natural.width, natural.height);
}
