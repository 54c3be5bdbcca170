#include "views/GSensorGraphWidget.h"

#include "Utility/Language.h"
#include "library/RecordingName.h"
#include "views/SkinImages.h"
#include "views/ViewStyle.h"

#include <QPainter>

namespace {

constexpr int kLanguageKorean = 4;
const QRect kGraphicRect(GSensorGraphWidget::kGraphicX, GSensorGraphWidget::kGraphicY, SensorGraphic::kWidth,
                         SensorGraphic::kHeight);
constexpr QSize kValueBox(48, 14);
// Per axis and direction (0 positive, 1 zero or negative): the value box's and the arrow's top left.
const QPoint kValueAt[3][2] = {{{64, 182}, {232, 92}}, {{232, 182}, {58, 94}}, {{146, 74}, {146, 196}}};
const QPoint kArrowAt[3][2] = {{{114, 168}, {210, 105}}, {{210, 169}, {107, 104}}, {{162, 90}, {162, 170}}};
const char* const kArrowNames[3][2] = {
    {"arrow_x1.png", "arrow_x2.png"}, {"arrow_y1.png", "arrow_y2.png"}, {"arrow_z1.png", "arrow_z2.png"}};
const QRect kLegend[3] = {{302, 10, 10, 10}, {302, 30, 10, 10}, {302, 50, 10, 10}};
const QRect kMaxLabel(0, 5, 46, 16), kMeanLabel(0, 28, 46, 16), kMinLabel(0, 50, 46, 16);
// The no-data message's band: 62 high, 8 below the picture's top, across its width.
constexpr int kMessageTop = 8;
constexpr int kMessageHeight = 62;
const QColor kMessageColor(103, 103, 103);

QImage loadImage(const char* name) { return pmLoadImage(name).toImage(); }

}  // namespace

GSensorGraphWidget::GSensorGraphWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    loadSkinBitmap();
}

bool GSensorGraphWidget::isShowNoSensorMsg() const {
    const int language = getLanguageId();
    return language != kLanguageKorean && language != kLanguageArabic;
}

void GSensorGraphWidget::loadSkinBitmap() {
    const QImage disable = loadImage("G-Sensor Screen_disable.png");
    unknownBitmap_ = loadImage("G-Sensor Screen_default_d.png");
    const QString message = isShowNoSensorMsg() ? pmViewString("IDS_ERR_NO_GSENSOR_DATA") : QString();
    disableBitmap_ = xCombineBitmapWithText(disable, message);
    disableMotoBitmap_ = xCombineBitmapWithText(unknownBitmap_, message);
    for (int axis = 0; axis < 3; ++axis)
        for (int direction = 0; direction < 2; ++direction)
            arrows_[axis][direction] = loadImage(kArrowNames[axis][direction]);
    xCheckArrowColor();
    xCreateBackgroundBitmap();
    renderCurves();
    createGensorBitmap(values_[kX], values_[kY], values_[kZ]);
    update();
}

void GSensorGraphWidget::xCheckArrowColor() {
    for (int axis = 0; axis < 3; ++axis) {
        const QImage& arrow = arrows_[axis][0];
        axisColors_[axis] = arrow.isNull() ? QColor(Qt::white) : arrow.pixelColor(arrow.width() / 2, arrow.height() / 2);
    }
}

void GSensorGraphWidget::xCreateBackgroundBitmap() {
    const char* name = motorType_ == kMotorOrdinary ? "G-Sensor Screen_bg.png"
                       : motorType_ == kMotorBFamily ? "G-Sensor Screen_default.png"
                                                      : "G-Sensor Screen_default_d.png";
    const QImage skin = loadImage(name);
    background_ = QImage(skin.isNull() ? QSize(kWidth, kHeight) : skin.size(), QImage::Format_ARGB32_Premultiplied);
    background_.fill(Qt::transparent);
    QPainter p(&background_);
    p.drawImage(0, 0, skin);
    const char* letters[3] = {"X", "Y", "Z"};
    p.setFont(pmViewFont(14));
    for (int axis = 0; axis < 3; ++axis) {
        p.fillRect(kLegend[axis], axisColors_[axis]);
        p.setPen(axisColors_[axis]);
        p.drawText(kLegend[axis].translated(15, 0).adjusted(-4, -4, 4, 4), Qt::AlignCenter, letters[axis]);
    }
    p.setPen(Qt::white);
    p.setFont(pmViewFont(12));
    p.drawText(kMaxLabel, Qt::AlignCenter, QString::asprintf("%2.1fG", scale_));
    p.drawText(kMeanLabel, Qt::AlignCenter, QStringLiteral("0.0"));
    p.drawText(kMinLabel, Qt::AlignCenter, QString::asprintf("-%2.1fG", scale_));
}

QImage GSensorGraphWidget::xCombineBitmapWithText(const QImage& image, const QString& text) const {
    QImage combined = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (text.isEmpty() || combined.isNull()) return combined;
    QPainter p(&combined);
    p.setFont(pmViewFont(16));
    p.setPen(kMessageColor);
    p.drawText(QRect(0, kMessageTop, combined.width(), kMessageHeight), Qt::AlignCenter | Qt::TextWordWrap, text);
    return combined;
}

void GSensorGraphWidget::setGensorGraphic(const SensorGraphic* graphic, int motorType, double range) {
    scale_ = range;
    motorType_ = motorType;
    if (graphic && graphic->present) curves_ = *graphic;
    else curves_.reset();
    // The labels show the new scale, on the background of the camera's kind.
    xCreateBackgroundBitmap();
    renderCurves();
    values_ = {};
    createGensorBitmap(0, 0, 0);
    update();
}

void GSensorGraphWidget::renderCurves() {
    curvesImage_ = QImage();
    if (!curves_) return;
    curvesImage_ = QImage(kGraphicRect.size(), QImage::Format_ARGB32_Premultiplied);
    curvesImage_.fill(Qt::transparent);
    QPainter p(&curvesImage_);
    p.drawImage(0, 0, loadImage("GSensorGraphic.png"));
    // The curves' points have their origin at the bottom left; a point names the pixel whose
    // centre it is, so that level stretches come out crisp.
    auto toImage = [](const SensorGraphic::Point& point) {
        return QPointF(point.x + 0.5, SensorGraphic::kHeight - point.y + 0.5);
    };
    p.setRenderHint(QPainter::Antialiasing);
    const std::vector<SensorGraphic::Point>* lines[3] = {&curves_->xCurve, &curves_->yCurve, &curves_->zCurve};
    for (int axis = 0; axis < 3; ++axis) {
        QPolygonF line;
        for (const auto& point : *lines[axis]) line << toImage(point);
        p.setPen(QPen(axisColors_[axis], 1));
        p.drawPolyline(line);
    }
    if (curves_->eventX >= 0) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        p.drawLine(curves_->eventX, 0, curves_->eventX, SensorGraphic::kHeight - 1);
    }
}

const QImage& GSensorGraphWidget::noDataPicture() const {
    if (motorType_ == kMotorBFamily) return disableMotoBitmap_;
    if (motorType_ == kMotorNoName) return unknownBitmap_;
    return disableBitmap_;
}

void GSensorGraphWidget::createGensorBitmap(int x, int y, int z) {
    if (background_.isNull()) return;
    composed_ = background_.copy();
    QPainter p(&composed_);
    if (curves_) p.drawImage(kGraphicRect.topLeft(), curvesImage_);
    else p.drawImage(0, 0, noDataPicture());
    const int values[3] = {x, y, z};
    p.setFont(pmViewFont(12, true));
    for (int axis = 0; axis < 3; ++axis) {
        if (values[axis] == 0) continue;
        const int direction = values[axis] > 0 ? 0 : 1;
        p.drawImage(kArrowAt[axis][direction], arrows_[axis][direction]);
        p.setPen(axisColors_[axis]);
        p.drawText(QRect(kValueAt[axis][direction], kValueBox), Qt::AlignCenter,
                   QString::asprintf("%.3f", values[axis] / 1000.0));
    }
}

void GSensorGraphWidget::drawIndicator(int position, int x, int y, int z) {
    indicatorX_ = position + kGraphicX;
    if (!curves_) return;
    values_ = {x, y, z};
    createGensorBitmap(x, y, z);
    QPainter p(&composed_);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(indicatorX_, kGraphicRect.bottom(), indicatorX_, kGraphicRect.top());
    p.end();
    update();
}

QString GSensorGraphWidget::valueText(Axis axis) const {
    if (!curves_ || values_[axis] == 0) return {};
    return QString::asprintf("%.3f", values_[axis] / 1000.0);
}

bool GSensorGraphWidget::showsNoDataMessage() const {
    return !curves_ && motorType_ != kMotorNoName && isShowNoSensorMsg();
}

void GSensorGraphWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, composed_);
}
