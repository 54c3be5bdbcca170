#include "views/DashboardPanel.h"

#include "app/MapViewModel.h"
#include "telemetry/GpsData.h"
#include "telemetry/SampleText.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor kCaption(255, 118, 147);
constexpr int kUnitFontSize = 20;
// The LED digits' box in the dashboard, and the distance between its three cells.
const QRect kLedBox(64, 19, 60, 85);
constexpr int kLedPitch = 60;
const QRect kUnitButton(246, 78, 70, 25);

}  // namespace

DashboardPanel::DashboardPanel(const MapViewModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    unitButton_ = new BitmapButton(this);
    unitButton_->setObjectName("dashboardUnitButton");
    unitButton_->setFontSize(kUnitFontSize);
    loadSkinBitmap();
    refreshTexts();
}

void DashboardPanel::loadSkinBitmap() {
    panelImage_ = pmLoadImage("gps_panel_bg.png");
    for (int digit = 0; digit <= 9; ++digit)
        digitImages_[static_cast<std::size_t>(digit)] = pmLoadImage(QString("ovl_speedno_%1.png").arg(digit));
    unitButton_->setBitmapButton(SkinnedButton::family("km_gps", false));
    resizeEvent(nullptr);
    update();
}

void DashboardPanel::refreshTexts() {
    unitButton_->setBitmapTitle(QString::fromStdString(pmGetSpeedUnitString(model_.getSpeedUnit())));
    unitButton_->setToolTip(pmViewString("IDS_CHANGE_SPEED_UNIT"));
}

int DashboardPanel::shownSpeed() const {
    return model_.speed() < 0.0f ? 0 : pmGetShownSpeed(model_.speed(), model_.getSpeedUnit());
}

std::array<int, 3> DashboardPanel::ledDigits() const {
    // Three cells: more than 999 does not fit. Leading zeros stay dark; the units always show.
    const int speed = std::min(shownSpeed(), 999);
    return {speed >= 100 ? speed / 100 : -1, (speed % 100) / 10 != 0 || speed >= 100 ? (speed % 100) / 10 : -1,
            speed % 10};
}

QString DashboardPanel::headingText() const {
    return QString::fromStdString(pmGetDirectionString(model_.direction()));
}

QString DashboardPanel::altitudeText() const {
    return QString::fromStdString(pmGetAltitudeString(model_.altitude()));
}

QString DashboardPanel::coordinateText(bool latitude) const {
    if (model_.speed() < 0.0f || !GpsData::hasPosition(model_.latitude(), model_.longitude())) return QStringLiteral("-");
    return QString::fromStdString(pmGetLocationString(latitude, latitude ? model_.latitude() : model_.longitude()));
}

QString DashboardPanel::latitudeText() const { return coordinateText(true); }

QString DashboardPanel::longitudeText() const { return coordinateText(false); }

QRect DashboardPanel::dashboardRect() const {
    const QSize size = panelImage_.size();
    return QRect(QPoint((width() - size.width()) / 2, height() - size.height()), size);
}

void DashboardPanel::resizeEvent(QResizeEvent*) {
    unitButton_->setGeometry(kUnitButton.translated(dashboardRect().topLeft()));
}

void DashboardPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QRect panel = dashboardRect();
    p.drawPixmap(panel.topLeft(), panelImage_);
    auto box = [&](int x, int top, int w, int h) { return QRect(panel.left() + x, panel.top() + top, w, h); };

    p.setFont(pmViewFont(12));
    p.setPen(kCaption);
    const struct {
        const char* key;
        int x, top, width;
    } captions[] = {{"IDS_SPEED", 20, 4, panel.width()}, {"IDS_DIRECTION", 20, 104, 130},
                    {"IDS_ALTITUDE", 150, 104, 130},    {"IDS_LATITUDE", 20, 151, 130},
                    {"IDS_LONGITUDE", 150, 151, 130}};
    for (const auto& c : captions)
        p.drawText(box(c.x, c.top, c.width, 15), Qt::AlignLeft | Qt::AlignVCenter, pmViewString(c.key));

    const std::array<int, 3> digits = ledDigits();
    const QRect led = kLedBox.translated(panel.topLeft());
    for (std::size_t cell = 0; cell < digits.size(); ++cell) {
        if (digits[cell] < 0) continue;
        const QPixmap& digit = digitImages_[static_cast<std::size_t>(digits[cell])];
        p.drawPixmap(led.left() + static_cast<int>(cell) * kLedPitch, led.bottom() + 1 - digit.height(), digit);
    }

    p.setPen(Qt::white);
    p.setFont(pmViewFont(20));
    p.drawText(box(20, 119, 130, 32), Qt::AlignCenter, headingText());
    p.drawText(box(150, 119, 130, 32), Qt::AlignCenter, altitudeText());
    p.setFont(pmViewFont(18));
    p.drawText(box(20, 166, 130, 32), Qt::AlignCenter, latitudeText());
    p.drawText(box(150, 166, 130, 32), Qt::AlignCenter, longitudeText());
}
