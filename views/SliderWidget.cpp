#include "views/SliderWidget.h"

#include "Utility/DiagnosticLog.h"
#include "app/NotificationCenter.h"
#include "views/SkinImages.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Draws `image` stretched to `width`, its two ends (half its height each) kept as they are.
void drawStretched(QPainter& painter, const QPixmap& image, int width) {
    if (image.isNull() || width <= 0) return;
    const int cap = std::min(image.height() / 2, image.width() / 2);
    const int h = image.height();
    painter.drawPixmap(QRect(0, 0, cap, h), image, QRect(0, 0, cap, h));
    painter.drawPixmap(QRect(cap, 0, std::max(0, width - 2 * cap), h), image, QRect(cap, 0, image.width() - 2 * cap, h));
    painter.drawPixmap(QRect(width - cap, 0, cap, h), image, QRect(image.width() - cap, 0, cap, h));
}

}  // namespace

SliderWidget::SliderWidget(NotificationCenter& notifications, const QString& ownerIdentity, const QString& track,
                           QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      ownerIdentity_(ownerIdentity),
      identity_(QString::asprintf("Slider-%p", static_cast<void*>(this))),
      track_(track) {
    setFixedHeight(kHeight);
    setMinimumWidth(kThumbWidth * 3);
    loadSkinBitmap();
}

void SliderWidget::loadSkinBitmap() {
    emptyImage_ = pmLoadImage(track_ + "_bg.png");
    fullImage_ = pmLoadImage(track_ + "_full.png");
    thumbImage_ = pmLoadImage("volume_button.png");
    eventImage_ = pmLoadImage("icon_m1.png");
    update();
}

void SliderWidget::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    dragging_ = false;
    update();
}

void SliderWidget::setCurrentValue(int value) {
    current_ = value;
    update();
}

int SliderWidget::getCurrentPos() const { return xForValue(current_); }

int SliderWidget::xForValue(int value) const {
    if (span() <= 0) return 0;
    const long pixels = static_cast<long>(value - minimum_) * sliderLength();
    // Rounded up (division of a negative count already goes up, towards zero).
    return static_cast<int>(pixels > 0 ? (pixels + span() - 1) / span() : pixels / span());
}

long SliderWidget::valueAtX(int x) const {
    return minimum_ + static_cast<long>(span()) * x / std::max(1, sliderLength());
}

void SliderWidget::setEventMarkPos(int value) {
    eventValue_ = value;
    update();
}

int SliderWidget::eventMarkX() const {
    if (eventValue_ < 0) return -1;
    return kThumbWidth / 2 + xForValue(eventValue_);
}

void SliderWidget::setSliderEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) dragging_ = false;
    update();
}

int SliderWidget::clamped(long value) const {
    return static_cast<int>(std::clamp<long>(value, minimum_, std::max(minimum_, maximum_)));
}

void SliderWidget::changeByUser(int value) {
    current_ = value;
    update();
    notifications_.post(notify::kSliderChanged, value,
                        {{"PARENT_WINDOW", ownerIdentity_.toStdString()}, {"SLIDER_WINDOW", identity_.toStdString()}});
}

void SliderWidget::stepByUser(int delta) {
    const int value = clamped(long(current_) + delta);
    if (enabled_ && value != current_) changeByUser(value);
}

void SliderWidget::mousePressEvent(QMouseEvent* event) {
    if (!enabled_ || event->button() != Qt::LeftButton) return;
    const int x = static_cast<int>(event->position().x());
    pressX_ = x;
    const int thumbX = getCurrentPos();
    if (x >= thumbX && x < thumbX + kThumbWidth) {
        startValue_ = current_;
        dragging_ = true;
        return;
    }
    // The value under the pointer is the one whose thumb would be centred there; a press left of
    // the first thumb centre lands on the minimum through the clamp, never below it.
    changeByUser(clamped(valueAtX(x - kThumbWidth / 2)));
    startValue_ = current_;
    dragging_ = true;
}

void SliderWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !enabled_) return;
    const int x = static_cast<int>(event->position().x());
    // The thumb moves with the pointer; the value changes by what lies between the two thumb
    // offsets, so a pointer that comes back brings the start value back.
    const int startX = xForValue(startValue_);
    const int value = clamped(startValue_ + valueAtX(startX + x - pressX_) - valueAtX(startX));
    if (value == current_) return;
    changeByUser(value);
    pmOutputDebugMsg(identity_.toStdString());
}

void SliderWidget::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void SliderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!enabled_) painter.setOpacity(0.5);
    drawStretched(painter, emptyImage_, width());
    const int thumbX = getCurrentPos();
    painter.save();
    painter.setClipRect(0, 0, thumbX + kThumbWidth / 2, height());
    drawStretched(painter, fullImage_, width());
    painter.restore();
    if (const int markX = eventMarkX(); markX >= 0) painter.drawPixmap(markX - eventImage_.width() / 2, 0, eventImage_);
    painter.drawPixmap(thumbX, 0, thumbImage_);
}
