#include "views/MapPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The seven segments of an LED digit, lit per digit (bits a..g: top, top right, bottom right,
// bottom, bottom left, top left, middle).
constexpr unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

QPixmap ledDigit(int digit) {
    QPixmap image(50, 80);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const qreal w = 42, h = 76, t = 8.0, x = 4, y = 2, half = h / 2;
    const QRectF segments[7] = {
        {x + t, y, w - 2 * t, t},
        {x + w - t, y + t, t, half - 1.5 * t},
        {x + w - t, y + half + t / 2, t, half - 1.5 * t},
        {x + t, y + h - t, w - 2 * t, t},
        {x, y + half + t / 2, t, half - 1.5 * t},
        {x, y + t, t, half - 1.5 * t},
        {x + t, y + half - t / 2, w - 2 * t, t},
    };
    for (int s = 0; s < 7; ++s) {
        p.setBrush(((kSegments[digit] >> s) & 1) ? QColor(255, 214, 90) : QColor(255, 214, 90, 22));
        p.drawRoundedRect(segments[s].adjusted(1, 1, -1, -1), 2.5, 2.5);
    }
    return image;
}

QPixmap panel(QSize size) {
    QPixmap image(size);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 23, 27));
    p.drawRoundedRect(QRectF(2, 2, size.width() - 4, size.height() - 4), 8, 8);
    return image;
}

QPixmap bar(int width) {
    QPixmap image(width, 20);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 0, 20);
    shade.setColorAt(0, QColor(50, 53, 60));
    shade.setColorAt(1, QColor(32, 34, 39));
    p.fillRect(image.rect(), shade);
    return image;
}

}  // namespace

QPixmap pmMapPicture(const QString& name) {
    if (name == "gps_panel_bg.png") return panel(QSize(330, 205));
    if (name == "bg_map.png") return bar(160);
    if (name == "bg_map_info.bmp") return bar(8);
    if (name.startsWith("ovl_speedno_")) {
        const int digit = name.mid(12, 1).toInt();
        return ledDigit(std::clamp(digit, 0, 9));
    }
    return {};
}
