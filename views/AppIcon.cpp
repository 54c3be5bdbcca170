#include "views/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

QImage pmDrawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);  // drawn on a 64-unit grid

    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(38, 66, 110));
    tile.setColorAt(1, QColor(14, 24, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // The road, narrowing towards the lens.
    QPainterPath road;
    road.moveTo(14, 62);
    road.lineTo(28, 34);
    road.lineTo(36, 34);
    road.lineTo(50, 62);
    road.closeSubpath();
    p.setBrush(QColor(70, 78, 92));
    p.drawPath(road);
    p.setPen(QPen(QColor(250, 204, 72), 2.2, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(32, 60), QPointF(32, 40));

    // The lens: a ring, the glass and a glint.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 226, 236));
    p.drawEllipse(QPointF(32, 26), 17, 17);
    QRadialGradient glass(QPointF(29, 23), 14);
    glass.setColorAt(0, QColor(86, 150, 230));
    glass.setColorAt(1, QColor(12, 30, 64));
    p.setBrush(glass);
    p.drawEllipse(QPointF(32, 26), 12.5, 12.5);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(27.5, 21.5), 3.2, 3.2);

    // The recording light.
    p.setBrush(QColor(230, 48, 48));
    p.drawEllipse(QPointF(51, 11), 5, 5);
    return image;
}

QIcon pmAppIcon() {
    QIcon icon;
    for (int size : kAppIconSizes) icon.addPixmap(QPixmap::fromImage(pmDrawAppIcon(size)));
    return icon;
}
