#include "views/PlayBarIcons.h"

#include "views/ViewStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 24;

void drawSymbol(QPainter& p, PlayBarIcon icon, const QColor& color) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    auto triangle = [&](qreal left, qreal right, qreal top, qreal bottom, bool pointsRight) {
        QPainterPath path;
        const qreal middle = (top + bottom) / 2;
        if (pointsRight) {
            path.moveTo(left, top);
            path.lineTo(right, middle);
            path.lineTo(left, bottom);
        } else {
            path.moveTo(right, top);
            path.lineTo(left, middle);
            path.lineTo(right, bottom);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    auto speaker = [&] {
        QPainterPath path;
        path.moveTo(4, 9);
        path.lineTo(8, 9);
        path.lineTo(13, 4.5);
        path.lineTo(13, 19.5);
        path.lineTo(8, 15);
        path.lineTo(4, 15);
        path.closeSubpath();
        p.drawPath(path);
    };
    auto corners = [&](bool outward) {
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const qreal a = 5, b = 19, arm = 5;
        // Each corner: its point and the directions its two arms go.
        const struct { qreal x, y, dx, dy; } points[] = {{a, a, 1, 1}, {b, a, -1, 1}, {a, b, 1, -1}, {b, b, -1, -1}};
        for (const auto& c : points) {
            const qreal x = outward ? c.x : c.x + c.dx * arm;
            const qreal y = outward ? c.y : c.y + c.dy * arm;
            const qreal sx = outward ? c.dx : -c.dx, sy = outward ? c.dy : -c.dy;
            QPainterPath path;
            path.moveTo(x + sx * arm, y);
            path.lineTo(x, y);
            path.lineTo(x, y + sy * arm);
            p.drawPath(path);
        }
    };
    switch (icon) {
        case PlayBarIcon::Play: triangle(7, 19, 5, 19, true); break;
        case PlayBarIcon::Pause:
            p.drawRoundedRect(QRectF(6, 5, 4.5, 14), 1, 1);
            p.drawRoundedRect(QRectF(13.5, 5, 4.5, 14), 1, 1);
            break;
        case PlayBarIcon::Previous:
            p.drawRect(QRectF(5, 6, 2.5, 12));
            triangle(7.5, 19, 6, 18, false);
            break;
        case PlayBarIcon::Next:
            triangle(5, 16.5, 6, 18, true);
            p.drawRect(QRectF(16.5, 6, 2.5, 12));
            break;
        case PlayBarIcon::VolumeOn:
            speaker();
            p.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(9, 8, 8, 8), -50 * 16, 100 * 16);
            p.drawArc(QRectF(7, 5, 14, 14), -50 * 16, 100 * 16);
            break;
        case PlayBarIcon::VolumeOff:
            speaker();
            p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(15.5, 9), QPointF(21, 15));
            p.drawLine(QPointF(21, 9), QPointF(15.5, 15));
            break;
        case PlayBarIcon::FullScreen: corners(true); break;
        case PlayBarIcon::NormalScreen: corners(false); break;
    }
}

QPixmap symbolPixmap(PlayBarIcon icon, const QColor& color) {
    QPixmap pixmap(kSize * 2, kSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawSymbol(painter, icon, color);
    return pixmap;
}

}  // namespace

QIcon pmPlayBarIcon(PlayBarIcon icon) {
    QIcon result;
    result.addPixmap(symbolPixmap(icon, QColor(240, 240, 240)), QIcon::Normal);
    result.addPixmap(symbolPixmap(icon, Qt::white), QIcon::Active);
    result.addPixmap(symbolPixmap(icon, viewcolor::kDisabled), QIcon::Disabled);
    return result;
}
