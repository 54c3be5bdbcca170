#include "WaitingWindow/SpinningIndicator.h"

#include <QPainter>

#include <algorithm>
#include <numbers>

namespace {
// 600 ms for a whole turn, whatever the number of fins.
constexpr int kStepMilliseconds = 600 / SpinningIndicator::kFins;
// A whole turn, as the fins are spaced.
constexpr double kTurn = 6.282185;
}  // namespace

SpinningIndicator::SpinningIndicator(QWidget* parent) : QWidget(parent), alphas_(kFins, 1.0) {
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &SpinningIndicator::updateFrame);
}

void SpinningIndicator::setColor(const QColor& color) {
    foreColor_ = color;
    update();
}

void SpinningIndicator::setBackgroundColor(const QColor& color) {
    backColor_ = color;
    update();
}

void SpinningIndicator::setDrawsBackground(bool draws) {
    drawsBackground_ = draws;
    update();
}

void SpinningIndicator::startAnimation() {
    stopAnimation();
    animating_ = true;
    position_ = 1;
    timer_.start();
}

void SpinningIndicator::stopAnimation() {
    animating_ = false;
    timer_.stop();
    update();
}

void SpinningIndicator::updateFrame() {
    if (position_ < 1) position_ = kFins;
    --position_;
    for (double& alpha : alphas_) alpha = std::max(kMinimumAlpha, alpha * kFade);
    alphas_[static_cast<std::size_t>(position_)] = 1.0;
    update();
}

void SpinningIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (drawsBackground_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(backColor_);
        painter.drawRoundedRect(rect(), width() * 0.18, height() * 0.18);
    }
    const double side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    for (int fin = 0; fin < kFins; ++fin) {
        QColor color = foreColor_;
        color.setAlphaF(float(animating_ ? alphas_[static_cast<std::size_t>(fin)] : kMinimumAlpha));
        painter.setPen(QPen(color, side * 0.0859375, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -side * 0.234375), QPointF(0, -side * 0.421875));
        // Fins count against the clock, so the bright one, stepping back, turns clockwise.
        painter.rotate(-kTurn / kFins * 180.0 / std::numbers::pi);
    }
}
