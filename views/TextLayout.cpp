#include "views/TextLayout.h"

#include <QFontMetrics>
#include <QFontMetricsF>

std::uint32_t pmCalcTextWidth(const QFont& font, const QString& text) {
    return static_cast<std::uint32_t>(QFontMetricsF(font).horizontalAdvance(text) + 1.0);
}

void pmCalcTextInRect(QRect& rect, const QFont& font, int alignment) {
    const int sample = QFontMetrics(font).boundingRect(QStringLiteral("TEST")).height();
    const int room = rect.height() - sample;
    int top = rect.top();
    if (alignment == kTextCentre) top += static_cast<int>(room * 0.5);
    else if (alignment == kTextBottom) top += room;
    rect = QRect(rect.left(), top, rect.width(), sample);
}
