#include "Glyphs.h"

#include <cmath>

namespace {

void line(QPainter& p, const QColor& ink, qreal width = 1.9) {
    p.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void solid(QPainter& p, const QColor& ink) {
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
}

QPainterPath polygon(std::initializer_list<QPointF> points, bool closed = true) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first) path.moveTo(point);
        else path.lineTo(point);
        first = false;
    }
    if (closed) path.closeSubpath();
    return path;
}

void arrowHead(QPainter& p, QPointF tip, qreal angleDegrees, qreal size) {
    const qreal a = angleDegrees * M_PI / 180.0;
    const QPointF back(std::cos(a), std::sin(a));
    const QPointF side(-back.y(), back.x());
    p.drawPath(polygon({tip, tip - back * size + side * size * 0.75, tip - back * size - side * size * 0.75}));
}

// A map pin: a round head over a point, with a hole in the head.
void drawPin(QPainter& p, const QColor& ink, QPointF head, qreal radius, qreal tipY) {
    QPainterPath pin;
    pin.moveTo(head.x(), tipY);
    pin.cubicTo(head.x() - radius * 0.95, head.y() + radius * 0.8, head.x() - radius, head.y() + radius * 0.2,
                head.x() - radius, head.y());
    pin.arcTo(QRectF(head.x() - radius, head.y() - radius, 2 * radius, 2 * radius), 180, -180);
    pin.cubicTo(head.x() + radius, head.y() + radius * 0.2, head.x() + radius * 0.95, head.y() + radius * 0.8,
                head.x(), tipY);
    QPainterPath eye;
    eye.addEllipse(head, radius * 0.4, radius * 0.4);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(pin.subtracted(eye));
}

}  // namespace

namespace glyph {

void open(QPainter& p, const QColor& ink) {
    line(p, ink);
    p.drawPath(polygon({{3, 18.5}, {3, 5.5}, {9, 5.5}, {11, 7.5}, {19, 7.5}, {19, 10.5}}, false));
    p.setBrush(withAlpha(ink, 0.28));
    p.drawPath(polygon({{3, 18.5}, {6.3, 10.8}, {22, 10.8}, {18.7, 18.5}}));
}

void print(QPainter& p, const QColor& ink) {
    line(p, ink);
    p.drawPath(polygon({{7, 8.5}, {7, 3.5}, {17, 3.5}, {17, 8.5}}, false));
    p.setBrush(withAlpha(ink, 0.22));
    p.drawRoundedRect(QRectF(3, 8.5, 18, 8.5), 2, 2);
    p.setBrush(Qt::NoBrush);
    QPainterPath paper = polygon({{7, 14}, {17, 14}, {17, 20.5}, {7, 20.5}});
    p.fillPath(paper, QColor(0, 0, 0, 0));
    p.drawPath(paper);
    line(p, ink, 1.3);
    p.drawLine(QPointF(9.5, 17.3), QPointF(14.5, 17.3));
    solid(p, ink);
    p.drawEllipse(QPointF(17.6, 11.4), 0.9, 0.9);
}

void backup(QPainter& p, const QColor& ink) {
    line(p, ink);
    p.setBrush(withAlpha(ink, 0.22));
    p.drawRoundedRect(QRectF(3, 13.5, 18, 7), 2, 2);
    solid(p, ink);
    p.drawEllipse(QPointF(17.3, 17), 1.0, 1.0);
    line(p, ink);
    p.drawLine(QPointF(12, 3), QPointF(12, 9.5));
    solid(p, ink);
    arrowHead(p, {12, 11.5}, 90, 3.6);
}

void capture(QPainter& p, const QColor& ink) {
    line(p, ink);
    QPainterPath body = polygon({{3, 8}, {7.5, 8}, {9.2, 5}, {14.8, 5}, {16.5, 8}, {21, 8}, {21, 19.5}, {3, 19.5}});
    p.setBrush(withAlpha(ink, 0.22));
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 13.4), 4.0, 4.0);
    solid(p, ink);
    p.drawEllipse(QPointF(12, 13.4), 1.6, 1.6);
}

void settings(QPainter& p, const QColor& ink) {
    QPainterPath gear;
    gear.addEllipse(QPointF(12, 12), 6.6, 6.6);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath t;
        t.addRoundedRect(QRectF(-2.1, -9.6, 4.2, 5), 1, 1);
        QTransform turn;
        turn.translate(12, 12);
        turn.rotate(tooth * 45.0);
        gear = gear.united(turn.map(t));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 2.8, 2.8);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(gear.subtracted(hole));
}

void windowSwitch(QPainter& p, const QColor& ink) {
    line(p, ink, 1.7);
    p.drawRoundedRect(QRectF(2.5, 3.5, 13, 9.5), 1.5, 1.5);
    p.setBrush(withAlpha(ink, 0.85));
    p.drawRoundedRect(QRectF(10, 12.5, 11.5, 8), 1.5, 1.5);
    line(p, ink, 1.7);
    QPainterPath turn;
    turn.moveTo(18.5, 4);
    turn.quadTo(21.5, 4.5, 21.2, 9);
    p.drawPath(turn);
    solid(p, ink);
    arrowHead(p, {21.2, 10.8}, 90, 2.6);
    line(p, ink, 1.7);
    QPainterPath back;
    back.moveTo(6.5, 20.5);
    back.quadTo(3, 20, 3.2, 15.8);
    p.drawPath(back);
    solid(p, ink);
    arrowHead(p, {3.2, 14.2}, -90, 2.6);
}

void exportTrack(QPainter& p, const QColor& ink) {
    // A track of dots leading to a pin.
    solid(p, ink);
    const QPointF dots[] = {{4, 20}, {7, 18.6}, {9.6, 16.6}, {11.4, 14.2}};
    for (const QPointF& d : dots) p.drawEllipse(d, 1.05, 1.05);
    drawPin(p, ink, {16.5, 7.2}, 4.5, 14.5);
}

void uploadArrow(QPainter& p, const QColor& ink) {
    line(p, ink);
    p.drawPath(polygon({{5, 15}, {5, 20}, {19, 20}, {19, 15}}, false));
    p.drawLine(QPointF(12, 16), QPointF(12, 6));
    solid(p, ink);
    arrowHead(p, {12, 3.5}, -90, 4);
}

void video(QPainter& p, const QColor& ink) {
    line(p, ink);
    p.setBrush(withAlpha(ink, 0.22));
    p.drawRoundedRect(QRectF(2.5, 5, 19, 14), 3.5, 3.5);
    solid(p, ink);
    p.drawPath(polygon({{10, 8.6}, {15.6, 12}, {10, 15.4}}));
}

void people(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.drawEllipse(QPointF(9, 8), 3.2, 3.2);
    p.drawPath(roundedPath(QRectF(3, 12.5, 12, 7.5), 3.5));
    p.setBrush(withAlpha(ink, 0.55));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16.5, 9), 2.6, 2.6);
    p.drawPath(roundedPath(QRectF(13.5, 13.5, 8, 6.2), 3));
}

void evidence(QPainter& p, const QColor& ink) {
    QPainterPath shield;
    shield.moveTo(12, 2.5);
    shield.lineTo(20, 5.5);
    shield.lineTo(20, 11);
    shield.cubicTo(20, 16.5, 16.5, 19.5, 12, 21.5);
    shield.cubicTo(7.5, 19.5, 4, 16.5, 4, 11);
    shield.lineTo(4, 5.5);
    shield.closeSubpath();
    line(p, ink, 1.8);
    p.setBrush(withAlpha(ink, 0.22));
    p.drawPath(shield);
    line(p, ink, 2.1);
    p.drawPath(polygon({{8.2, 11.8}, {11, 14.6}, {16, 9}}, false));
}

void previous(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.drawRoundedRect(QRectF(4.5, 6, 2.6, 12), 1, 1);
    p.drawPath(polygon({{13, 6.5}, {13, 17.5}, {7.8, 12}}));
    p.drawPath(polygon({{19.5, 6.5}, {19.5, 17.5}, {14.3, 12}}));
}

void next(QPainter& p, const QColor& ink) {
    p.save();
    p.translate(24, 0);
    p.scale(-1, 1);
    previous(p, ink);
    p.restore();
}

void play(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(polygon({{8.5, 5.5}, {18.5, 12}, {8.5, 18.5}}));
}

void pause(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(7, 5.5, 3.6, 13), 1.2, 1.2);
    p.drawRoundedRect(QRectF(13.4, 5.5, 3.6, 13), 1.2, 1.2);
}

void playReverse(QPainter& p, const QColor& ink) {
    p.save();
    p.translate(24, 0);
    p.scale(-1, 1);
    play(p, ink);
    p.restore();
}

namespace {
void speaker(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.drawPath(polygon({{3, 9.3}, {6.8, 9.3}, {11.5, 5}, {11.5, 19}, {6.8, 14.7}, {3, 14.7}}));
}
}  // namespace

void volumeOn(QPainter& p, const QColor& ink) {
    speaker(p, ink);
    line(p, ink, 1.7);
    p.drawArc(QRectF(9.5, 8, 8, 8), -50 * 16, 100 * 16);
    p.drawArc(QRectF(8, 4.5, 14, 15), -52 * 16, 104 * 16);
}

void volumeOff(QPainter& p, const QColor& ink) {
    speaker(p, ink);
    line(p, ink, 1.9);
    p.drawLine(QPointF(15, 9), QPointF(21, 15));
    p.drawLine(QPointF(21, 9), QPointF(15, 15));
}

namespace {
// Four corner marks; `outward` points them away from the centre.
void corners(QPainter& p, const QColor& ink, bool outward) {
    line(p, ink, 2.0);
    for (int corner = 0; corner < 4; ++corner) {
        p.save();
        p.translate(12, 12);
        p.rotate(corner * 90.0);
        if (outward) p.drawPath(polygon({{-8.5, -3.5}, {-8.5, -8.5}, {-3.5, -8.5}}, false));
        else p.drawPath(polygon({{-8.5, -3.5}, {-3.5, -3.5}, {-3.5, -8.5}}, false));
        p.restore();
    }
}
}  // namespace

void fullScreen(QPainter& p, const QColor& ink) { corners(p, ink, true); }
void normalScreen(QPainter& p, const QColor& ink) { corners(p, ink, false); }

void gauge(QPainter& p, const QColor& ink) {
    line(p, ink, 1.9);
    p.drawArc(QRectF(3, 5, 18, 18), 20 * 16, 140 * 16);
    line(p, ink, 1.5);
    for (int tick = 0; tick <= 4; ++tick) {
        const qreal a = (160 - tick * 35) * M_PI / 180.0;
        p.drawLine(QPointF(12 + std::cos(a) * 6.3, 14 - std::sin(a) * 6.3),
                   QPointF(12 + std::cos(a) * 7.6, 14 - std::sin(a) * 7.6));
    }
    line(p, ink, 2.0);
    p.drawLine(QPointF(12, 14), QPointF(16.2, 8.8));
    solid(p, ink);
    p.drawEllipse(QPointF(12, 14), 1.8, 1.8);
}

void mapPin(QPainter& p, const QColor& ink) {
    line(p, ink, 1.5);
    p.setBrush(withAlpha(ink, 0.18));
    p.drawPath(polygon({{2.5, 7}, {8, 5}, {16, 7.5}, {21.5, 5.5}, {21.5, 19}, {16, 21}, {8, 18.5}, {2.5, 20.5}}));
    p.drawLine(QPointF(8, 5), QPointF(8, 18.5));
    p.drawLine(QPointF(16, 7.5), QPointF(16, 21));
    drawPin(p, ink, {12, 10.6}, 3.6, 17);
}

void chevronLeft(QPainter& p, const QColor& ink) {
    line(p, ink, 2.4);
    p.drawPath(polygon({{14.5, 6}, {8.5, 12}, {14.5, 18}}, false));
}

void chevronRight(QPainter& p, const QColor& ink) {
    line(p, ink, 2.4);
    p.drawPath(polygon({{9.5, 6}, {15.5, 12}, {9.5, 18}}, false));
}

void chevronDown(QPainter& p, const QColor& ink) {
    line(p, ink, 2.6);
    p.drawPath(polygon({{6, 9.5}, {12, 15.5}, {18, 9.5}}, false));
}

void triangleUp(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.drawPath(polygon({{6, 15.5}, {12, 8.5}, {18, 15.5}}));
}

void triangleDown(QPainter& p, const QColor& ink) {
    solid(p, ink);
    p.drawPath(polygon({{6, 8.5}, {12, 15.5}, {18, 8.5}}));
}

void check(QPainter& p, const QColor& ink) {
    line(p, ink, 3.0);
    p.drawPath(polygon({{5.5, 12.5}, {10, 17}, {18.5, 7}}, false));
}

void grip(QPainter& p, const QColor& ink) {
    line(p, ink, 1.6);
    for (qreal y : {9.0, 12.0, 15.0}) p.drawLine(QPointF(8, y), QPointF(16, y));
}

}  // namespace glyph
