#include "ArtCanvas.h"

#include <QFont>

namespace {
constexpr qreal kOversample = 2.0;
}

QImage renderArt(QSize size, const ArtPaint& paint) {
    QImage large(size * int(kOversample), QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    {
        QPainter painter(&large);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(kOversample, kOversample);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return large.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
}

void drawGlyph(QPainter& painter, const QRectF& box, const Glyph& glyph, const QColor& ink) {
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / 24.0, side / 24.0);
    glyph(painter, ink);
    painter.restore();
}

QPainterPath roundedPath(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QLinearGradient verticalShade(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    return shade;
}

QColor withAlpha(QColor color, qreal opacity) {
    color.setAlphaF(color.alphaF() * opacity);
    return color;
}

QColor mix(const QColor& from, const QColor& to, qreal amount) {
    auto channel = [amount](int a, int b) { return int(a + (b - a) * amount + 0.5); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()),
                  channel(from.alpha(), to.alpha()));
}

QPainterPath symbolText(const QString& text, qreal pixelSize, const QPointF& centre, bool bold) {
    QFont font("Nimbus Sans");
    font.setPixelSize(100);  // measured large, then scaled: hinting would snap small sizes
    font.setBold(bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    const qreal scale = pixelSize / 100.0;
    QTransform place;
    place.translate(centre.x(), centre.y());
    place.scale(scale, scale);
    place.translate(-bounds.center().x(), -bounds.center().y());
    return place.map(path);
}

void paintButton(QPainter& painter, const QRectF& box, ButtonState state, const ButtonLook& look,
                 const std::function<void(QPainter&, const QRectF& face, const QColor& ink)>& content) {
    QRectF face = box.adjusted(look.inset, look.inset, -look.inset, -look.inset);
    QColor fill = look.face;
    QColor ink = look.ink;
    // A flat button shows its face only under the pointer and while pressed.
    bool drawFace = look.shape != ButtonLook::Shape::kFlat;
    switch (state) {
        case ButtonState::kNormal: break;
        case ButtonState::kPressed:
            fill = look.face.darker(125);
            drawFace = true;
            face.adjust(1, 1, -1, -1);
            break;
        case ButtonState::kHover:
            fill = look.face.lighter(108);
            drawFace = true;
            break;
        case ButtonState::kDisabled: ink = withAlpha(look.ink, 0.4); break;
    }
    QPainterPath shape;
    if (look.shape == ButtonLook::Shape::kCircle) shape.addEllipse(face);
    else shape = roundedPath(face, look.radius);
    if (drawFace) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(verticalShade(face, fill.lighter(state == ButtonState::kPressed ? 100 : 110), fill));
        if (state == ButtonState::kDisabled) painter.setOpacity(0.6);
        painter.drawPath(shape);
        painter.setOpacity(1.0);
        if (state != ButtonState::kPressed) {
            // A faint top highlight gives the face its lift.
            painter.setPen(QPen(withAlpha(Qt::white, 0.12), 1.0));
            painter.setBrush(Qt::NoBrush);
            const QRectF edge = face.adjusted(0.5, 0.5, -0.5, -0.5);
            if (look.shape == ButtonLook::Shape::kCircle) painter.drawEllipse(edge);
            else painter.drawPath(roundedPath(edge, std::max(0.0, look.radius - 0.5)));
        }
    }
    if (state == ButtonState::kHover) {
        painter.setPen(QPen(look.accent, 1.5));
        painter.setBrush(Qt::NoBrush);
        QPainterPath ring;
        const QRectF ringRect = face.adjusted(0.75, 0.75, -0.75, -0.75);
        if (look.shape == ButtonLook::Shape::kCircle) ring.addEllipse(ringRect);
        else ring = roundedPath(ringRect, std::max(0.0, look.radius - 0.75));
        painter.drawPath(ring);
    }
    painter.save();
    if (state == ButtonState::kPressed) painter.translate(0, 1);
    content(painter, face, ink);
    painter.restore();
}
