#pragma once
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>

// Text measures the views share.

// The width of `text` in `font` plus 1, truncated to a whole number of pixels.
std::uint32_t pmCalcTextWidth(const QFont& font, const QString& text);

// Where a line of `font` goes inside `rect`, vertically: 0 at the top, 1 centred, 2 at the bottom.
// The rectangle's height becomes the height of the sample "TEST" in that font, so every line of a
// font gets the same height whatever its text.
//
// The layouts this serves are written with the origin at the bottom left, where alignment 0 moves
// the rectangle up by (H - h); in Qt's top-left coordinates that keeps the top edge. This is the
// one place that turns those alignments into Qt's terms.
enum TextVerticalAlignment : int { kTextTop = 0, kTextCentre = 1, kTextBottom = 2 };
void pmCalcTextInRect(QRect& rect, const QFont& font, int alignment);
