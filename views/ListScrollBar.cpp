#include "views/ListScrollBar.h"

#include "views/SkinImages.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace {
void loadFamily(std::array<QPixmap, 4>& images, const QString& stem) {
    const char* suffixes[4] = {"", "_d", "_f", "_g"};
    for (std::size_t state = 0; state < 4; ++state) images[state] = pmLoadImage(stem + suffixes[state] + ".png");
}
}  // namespace

void ListScrollBar::loadSkinBitmap() {
    loadFamily(up_, "button_bar_up");
    loadFamily(down_, "button_bar_down");
    loadFamily(thumb_, "slider");
    track_ = pmLoadImage("scrollbar_background.png");
}

void ListScrollBar::setGeometry(const QRect& column) {
    column_ = column;
    setFirstVisible(first_);
}

void ListScrollBar::setCounts(int rows, int visibleSlots) {
    rows_ = rows;
    visible_ = visibleSlots;
    setFirstVisible(first_);
}

void ListScrollBar::setFirstVisible(int first) { first_ = std::clamp(first, 0, std::max(0, rows_ - visible_)); }

// Thumb travel in pixels per row scrolled.
float ListScrollBar::thumbGap() const {
    if (!isScrollEnabled()) return 0.0f;
    const int travel = column_.height() - 2 * up_[0].height() - thumb_[0].height();
    return static_cast<float>(travel) / static_cast<float>(rows_ - visible_);
}

QRect ListScrollBar::thumbRect() const {
    const int offset = static_cast<std::int16_t>(static_cast<float>(first_) * thumbGap());
    return QRect(column_.left(), column_.top() + up_[0].height() + offset, thumb_[0].width(), thumb_[0].height());
}

ListScrollBar::Part ListScrollBar::hit(const QPoint& point) const {
    if (!column_.contains(point)) return kNone;
    const int spin = up_[0].height();
    if (point.y() < column_.top() + spin) return kUp;
    if (point.y() >= column_.bottom() + 1 - spin) return kDown;
    const QRect thumb = thumbRect();
    if (point.y() < thumb.top()) return kPageUp;
    if (point.y() > thumb.bottom()) return kPageDown;
    return kThumb;
}

void ListScrollBar::press(Part part, const QPoint& point) {
    pressed_ = part;
    switch (part) {
        case kUp: setFirstVisible(first_ - 1); break;
        case kDown: setFirstVisible(first_ + 1); break;
        case kPageUp: setFirstVisible(first_ - visible_); break;
        case kPageDown: setFirstVisible(first_ + visible_); break;
        case kThumb:
            dragging_ = true;
            dragY_ = point.y();
            break;
        case kNone: break;
    }
}

bool ListScrollBar::dragTo(const QPoint& point) {
    if (!dragging_ || thumbGap() <= 0.0f) return false;
    // Small moves add up: the point is remembered only when the row changes.
    const auto moved = static_cast<std::int16_t>(point.y() - dragY_);
    const int before = first_;
    setFirstVisible(static_cast<int>(static_cast<float>(moved) / thumbGap()) + first_);
    if (first_ == before) return false;
    dragY_ = point.y();
    return true;
}

bool ListScrollBar::hover(Part part) {
    if (!isScrollEnabled()) part = kNone;
    if (part == hover_) return false;
    hover_ = part;
    return true;
}

void ListScrollBar::release() {
    dragging_ = false;
    pressed_ = kNone;
}

int ListScrollBar::state(Part part) const {
    if (!isScrollEnabled()) return 3;
    if (pressed_ == part) return 1;
    return hover_ == part ? 2 : 0;
}

void ListScrollBar::paint(QPainter& painter) const {
    if (!track_.isNull())
        for (int y = column_.bottom() + 1 - track_.height(); y > column_.top() - track_.height(); y -= track_.height())
            painter.drawPixmap(column_.left(), y, track_);
    const int spin = up_[0].height();
    painter.drawPixmap(column_.left(), column_.top(), up_[static_cast<std::size_t>(state(kUp))]);
    painter.drawPixmap(column_.left(), column_.bottom() + 1 - spin, down_[static_cast<std::size_t>(state(kDown))]);
    if (isScrollEnabled()) painter.drawPixmap(thumbRect().topLeft(), thumb_[static_cast<std::size_t>(state(kThumb))]);
}
