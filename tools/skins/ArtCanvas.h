#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <functional>

// Drawing helpers of the artwork generator. Everything is drawn as vector shapes at twice the
// final size and scaled down, so edges come out smooth at the size the window shows.

using ArtPaint = std::function<void(QPainter& painter, const QRectF& box)>;

// An image of `size` pixels, transparent where nothing is drawn; `paint` draws in pixel units.
QImage renderArt(QSize size, const ArtPaint& paint);

// The four looks of a skinned button, in the order of their file suffixes "", "_d", "_f", "_g".
enum class ButtonState { kNormal, kPressed, kHover, kDisabled };

// A symbol drawn in a 24 x 24 design square with the given ink.
using Glyph = std::function<void(QPainter& painter, const QColor& ink)>;

// Draws `glyph` scaled into `box` (keeping its square), with the ink.
void drawGlyph(QPainter& painter, const QRectF& box, const Glyph& glyph, const QColor& ink);

// How a button's face is drawn in each state: pressed one step darker and pushed in by a pixel,
// hover ringed with the accent, disabled with its symbol at 40%.
struct ButtonLook {
    enum class Shape { kRounded, kCircle, kFlat } shape = Shape::kRounded;
    QColor face;
    QColor ink;
    QColor accent;
    qreal radius = 5.0;
    qreal inset = 1.0;  // from the image's edge to the face
};

// Paints the face for `state` and then `content` (the symbol, in the state's ink) over it.
void paintButton(QPainter& painter, const QRectF& box, ButtonState state, const ButtonLook& look,
                 const std::function<void(QPainter&, const QRectF& face, const QColor& ink)>& content);

// A rounded rectangle path.
QPainterPath roundedPath(const QRectF& rect, qreal radius);

// A vertical gradient between two colours over `rect`.
QLinearGradient verticalShade(const QRectF& rect, const QColor& top, const QColor& bottom);

// Text as a filled path, centred on `centre` (digits and signs only: the images carry no words).
QPainterPath symbolText(const QString& text, qreal pixelSize, const QPointF& centre, bool bold = true);

// `color` with its alpha multiplied by `opacity`.
QColor withAlpha(QColor color, qreal opacity);
// A colour between two others, 0 giving `from`.
QColor mix(const QColor& from, const QColor& to, qreal amount);
