#include "views/GSensorGraphWidget.h"

#include "Utility/Language.h"
#include "library/RecordingName.h"
#include "views/ViewStyle.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kLanguageKorean = 4;

// Per axis and direction (0 positive, 1 zero or negative): the value box's and the arrow's top left.
struct Placement {
    QPoint valueBox[2];
    QPoint arrow[2];
    // Which way the arrow points, per direction.
    QPointF pointing[2];
};
const Placement kPlacement[3] = {
    {{{64, 182}, {232, 92}}, {{114, 168}, {210, 105}}, {{-1, 0.6}, {1, -0.6}}},   // X: left-down / right-up
    {{{232, 182}, {58, 94}}, {{210, 169}, {107, 104}}, {{1, 0.6}, {-1, -0.6}}},   // Y: right-down / left-up
    {{{146, 74}, {146, 196}}, {{162, 90}, {162, 170}}, {{0, -1}, {0, 1}}},         // Z: up / down
};
constexpr QSize kValueBox(48, 14);
constexpr QSize kArrow(24, 20);
const QRect kGraphicRect(GSensorGraphWidget::kGraphicX, GSensorGraphWidget::kGraphicY, SensorGraphic::kWidth,
                         SensorGraphic::kHeight);

void drawArrow(QPainter& p, const QRectF& box, QPointF direction, const QColor& color) {
    const qreal length = std::hypot(direction.x(), direction.y());
    const QPointF unit(direction.x() / length, direction.y() / length);
    const QPointF centre = box.center();
    const qreal reach = std::min(box.width(), box.height()) * 0.5;
    const QPointF tip = centre + unit * reach;
    const QPointF tail = centre - unit * reach;
    const QPointF side(-unit.y(), unit.x());
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tail, tip - unit * 5);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - unit * 8 + side * 5);
    head.lineTo(tip - unit * 8 - side * 5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

}  // namespace

GSensorGraphWidget::GSensorGraphWidget(QWidget* parent) : QWidget(parent) { setFixedSize(kWidth, kHeight); }

QColor GSensorGraphWidget::axisColor(Axis axis) {
    switch (axis) {
        case kX: return {255, 96, 96};
        case kY: return {96, 220, 110};
        default: return {90, 170, 255};
    }
}

void GSensorGraphWidget::setGensorGraphic(const SensorGraphic* graphic, int motorType, double range) {
    motorType_ = motorType;
    scale_ = range;
    if (graphic && graphic->present) {
        curves_ = *graphic;
        labelScale_ = range;
    } else {
        curves_.reset();
    }
    values_[kX] = values_[kY] = values_[kZ] = 0;
    update();
}

void GSensorGraphWidget::drawIndicator(int position, int x, int y, int z) {
    indicatorX_ = position + kGraphicX;
    if (!curves_) return;
    values_[kX] = x;
    values_[kY] = y;
    values_[kZ] = z;
    update();
}

QString GSensorGraphWidget::valueText(Axis axis) const {
    if (!curves_ || values_[axis] == 0) return {};
    return QString::number(values_[axis] / 1000.0, 'f', 3);
}

bool GSensorGraphWidget::showsNoDataMessage() const {
    if (curves_ || motorType_ == kMotorNoName) return false;
    const int language = getLanguageId();
    return language != kLanguageKorean && language != kLanguageArabic;
}

void GSensorGraphWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::black);
    drawBackground(p, !curves_);
    if (curves_) {
        drawCurves(p);
        drawValues(p);
        if (indicatorX_ >= 0) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(Qt::white, 1));
            p.drawLine(indicatorX_, kGraphicRect.top(), indicatorX_, kGraphicRect.bottom());
        }
    } else if (showsNoDataMessage()) {
        p.setPen(QColor(170, 170, 170));
        p.setFont(pmViewFont(16));
        p.drawText(QRect(0, 8, width(), 62), Qt::AlignCenter | Qt::TextWordWrap,
                   pmViewString("IDS_ERR_NO_GSENSOR_DATA"));
    }
}

void GSensorGraphWidget::drawBackground(QPainter& p, bool dimmed) const {
    p.save();
    if (dimmed) p.setOpacity(0.45);
    p.fillRect(QRect(0, 0, kWidth, kHeight), QColor(26, 27, 31));
    // The plot: a dark field with the centre line and the half-scale lines.
    p.fillRect(kGraphicRect, QColor(12, 13, 16));
    p.setRenderHint(QPainter::Antialiasing, false);
    const int centre = kGraphicRect.top() + SensorGraphic::kHeight - SensorGraphic::kHeight / 2;
    p.setPen(QPen(QColor(70, 72, 78), 1));
    p.drawLine(kGraphicRect.left(), centre, kGraphicRect.right(), centre);
    p.setPen(QPen(QColor(44, 46, 52), 1, Qt::DotLine));
    p.drawLine(kGraphicRect.left(), centre - 15, kGraphicRect.right(), centre - 15);
    p.drawLine(kGraphicRect.left(), centre + 15, kGraphicRect.right(), centre + 15);
    p.setRenderHint(QPainter::Antialiasing, true);

    // Legend squares with their letters beside them.
    const char* letters[3] = {"X", "Y", "Z"};
    p.setFont(pmViewFont(14, true));
    for (int axis = 0; axis < 3; ++axis) {
        const QRect square(302, 10 + axis * 20, 10, 10);
        p.fillRect(square, axisColor(Axis(axis)));
        p.setPen(axisColor(Axis(axis)));
        p.drawText(square.translated(15, 0).adjusted(-2, -3, 2, 3), Qt::AlignCenter, letters[axis]);
    }
    // Scale labels.
    p.setPen(Qt::white);
    p.setFont(pmViewFont(12));
    const QString full = QString::number(labelScale_, 'f', 1);
    p.drawText(QRect(0, 5, 46, 16), Qt::AlignCenter, full + "G");
    p.drawText(QRect(0, 28, 46, 16), Qt::AlignCenter, QStringLiteral("0.0"));
    p.drawText(QRect(0, 50, 46, 16), Qt::AlignCenter, "-" + full + "G");

    // The car seen from above and behind, in the middle of the arrows.
    p.setPen(QPen(QColor(120, 124, 132), 1.5));
    p.setBrush(QColor(58, 61, 68));
    p.drawRoundedRect(QRectF(140, 118, 60, 42), 9, 9);
    p.setBrush(QColor(36, 38, 44));
    p.drawRoundedRect(QRectF(150, 124, 40, 14), 4, 4);
    p.restore();
}

void GSensorGraphWidget::drawCurves(QPainter& p) const {
    // The curves' points have their origin at the bottom left of the plot; a point names the
    // pixel whose centre it is, so that level stretches are drawn crisp.
    auto toPanel = [](const SensorGraphic::Point& point) {
        return QPointF(kGraphicRect.left() + point.x + 0.5, kGraphicRect.top() + SensorGraphic::kHeight - point.y + 0.5);
    };
    p.save();
    p.setClipRect(kGraphicRect);
    const std::vector<SensorGraphic::Point>* curves[3] = {&curves_->xCurve, &curves_->yCurve, &curves_->zCurve};
    for (int axis = 0; axis < 3; ++axis) {
        QPolygonF line;
        for (const auto& point : *curves[axis]) line << toPanel(point);
        p.setPen(QPen(axisColor(Axis(axis)), 1));
        p.drawPolyline(line);
    }
    if (curves_->eventX >= 0) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        const int x = kGraphicRect.left() + curves_->eventX;
        p.drawLine(x, kGraphicRect.top(), x, kGraphicRect.bottom());
    }
    p.restore();
}

void GSensorGraphWidget::drawValues(QPainter& p) const {
    p.save();
    p.setFont(pmViewFont(12, true));
    for (int axis = 0; axis < 3; ++axis) {
        if (values_[axis] == 0) continue;
        const int direction = values_[axis] > 0 ? 0 : 1;
        const Placement& place = kPlacement[axis];
        const QColor color = axisColor(Axis(axis));
        drawArrow(p, QRectF(place.arrow[direction], kArrow), place.pointing[direction], color);
        p.setPen(color);
        p.drawText(QRect(place.valueBox[direction], kValueBox), Qt::AlignCenter, valueText(Axis(axis)));
    }
    p.restore();
}
