#include "views/SliderWidget.h"

#include "Utility/DiagnosticLog.h"
#include "app/NotificationCenter.h"
#include "views/ViewStyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

SliderWidget::SliderWidget(NotificationCenter& notifications, const QString& ownerIdentity, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      ownerIdentity_(ownerIdentity),
      identity_(QString::asprintf("Slider-%p", static_cast<void*>(this))) {
    setFixedHeight(kHeight);
    setMinimumWidth(kThumbWidth * 3);
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
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal centreY = height() / 2.0;
    const QRectF groove(kThumbWidth / 2.0, centreY - 2.0, width() - kThumbWidth, 4.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(viewcolor::kSliderGroove);
    painter.drawRoundedRect(groove, 2, 2);

    const int thumbX = getCurrentPos();
    QRectF filled = groove;
    filled.setRight(thumbX + kThumbWidth / 2.0);
    painter.setBrush(enabled_ ? viewcolor::kAccent : viewcolor::kDisabled);
    painter.drawRoundedRect(filled, 2, 2);

    if (const int markX = eventMarkX(); markX >= 0) {
        QPainterPath mark;
        mark.moveTo(markX - 4.5, 0);
        mark.lineTo(markX + 4.5, 0);
        mark.lineTo(markX, 6.5);
        mark.closeSubpath();
        painter.setBrush(viewcolor::kEvent);
        painter.drawPath(mark);
    }

    painter.setBrush(enabled_ ? viewcolor::kSliderThumb : viewcolor::kDisabled);
    painter.setPen(QPen(viewcolor::kSliderThumbEdge, 1));
    painter.drawEllipse(QRectF(thumbX + 1.0, centreY - kThumbWidth / 2.0 + 1.0, kThumbWidth - 2.0, kThumbWidth - 2.0));
}
