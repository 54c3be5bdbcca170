#include "views/DashboardPanel.h"

#include "Utility/Preferences.h"
#include "telemetry/SampleText.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kCaption(255, 118, 147);
const QColor kMessage(103, 103, 103);
constexpr int kNoPositions = -1;
constexpr int kUnitFontSize = 20;
constexpr int kMessageTop = 120;
// The LED digits' box in the dashboard, and the distance between its three cells.
const QRect kLedBox(64, 19, 60, 85);
constexpr int kLedPitch = 60;
const QRect kUnitButton(246, 78, 70, 25);

}  // namespace

DashboardPanel::DashboardPanel(QWidget* parent) : QWidget(parent) {
    shown_.setDAltitude(GpsData::kNoAltitude);
    shown_.setFDirection(0.0f);
    speedUnit_ = static_cast<std::int16_t>(pmGetProfileInt(kKeySpeedUnit, kDefaultSpeedUnit) != 0 ? 1 : 0);
    unitButton_ = new BitmapButton(this);
    unitButton_->setObjectName("speedUnitButton");
    unitButton_->setFontSize(kUnitFontSize);
    connect(unitButton_, &BitmapButton::clicked, this, &DashboardPanel::showUnitMenu);
    loadSkinBitmap();
    setSpeedUnit(speedUnit_);
    changeLanguage();
}

void DashboardPanel::loadSkinBitmap() {
    panelImage_ = pmLoadImage("gps_panel_bg.png");
    noGpsImage_ = pmLoadImage("map_no_gps.png");
    for (int digit = 0; digit <= 9; ++digit)
        digitImages_[static_cast<std::size_t>(digit)] = pmLoadImage(QString("ovl_speedno_%1.png").arg(digit));
    unitButton_->setBitmapButton(SkinnedButton::family("km_gps", false));
    update();
}

void DashboardPanel::changeLanguage() { unitButton_->setToolTip(pmViewString("IDS_CHANGE_SPEED_UNIT")); }

void DashboardPanel::setPosition(float latitude, float longitude, float speed, float altitude, float direction) {
    shown_.setFLatitude(latitude);
    shown_.setFLongitude(longitude);
    shown_.setFSpeed(speed);
    shown_.setDAltitude(altitude);
    shown_.setFDirection(direction);
    update();
}

// The dashboard shows no path; the web map that draws one comes with the map page.
void DashboardPanel::drawPath(const GpsList*) {}

void DashboardPanel::enableMap(int state) {
    mapState_ = state;
    unitButton_->setVisible(state != kNoPositions);
    update();
}

void DashboardPanel::setSpeedUnit(std::int16_t unit) {
    speedUnit_ = unit;
    unitButton_->setBitmapTitle(QString::fromStdString(pmGetSpeedUnitString(unit)));
    pmWriteProfileInt(kKeySpeedUnit, unit);
    update();
}

void DashboardPanel::showUnitMenu() {
    QMenu menu("Speed Unit", this);
    for (std::int16_t unit : {kSpeedUnitKmh, kSpeedUnitMph}) {
        QAction* item = menu.addAction(QString::fromStdString(pmGetSpeedUnitString(unit)));
        item->setCheckable(true);
        item->setChecked(unit == speedUnit_);
        connect(item, &QAction::triggered, this, [this, unit] { setSpeedUnit(unit); });
    }
    menu.exec(unitButton_->mapToGlobal(QPoint(0, unitButton_->height())));
}

int DashboardPanel::shownSpeed() const {
    return shown_.fSpeed() < 0.0f ? 0 : pmGetShownSpeed(shown_.fSpeed(), speedUnit_);
}

std::array<int, 3> DashboardPanel::ledDigits() const {
    // Three cells: more than 999 does not fit. Leading zeros stay dark; the units always show.
    const int speed = std::min(shownSpeed(), 999);
    return {speed >= 100 ? speed / 100 : -1, (speed % 100) / 10 != 0 || speed >= 100 ? (speed % 100) / 10 : -1,
            speed % 10};
}

QString DashboardPanel::headingText() const {
    return QString::fromStdString(pmGetDirectionString(shown_.fDirection()));
}

QString DashboardPanel::altitudeText() const {
    return QString::fromStdString(pmGetAltitudeString(static_cast<float>(shown_.dAltitude())));
}

QString DashboardPanel::latitudeText() const {
    return QString::fromStdString(pmGetSampleLocationString(true, shown_));
}

QString DashboardPanel::longitudeText() const {
    return QString::fromStdString(pmGetSampleLocationString(false, shown_));
}

QRect DashboardPanel::dashboardRect() const {
    const QSize size = panelImage_.size();
    return QRect(QPoint((width() - size.width()) / 2, height() - size.height()), size);
}

void DashboardPanel::resizeEvent(QResizeEvent*) {
    unitButton_->setGeometry(kUnitButton.translated(dashboardRect().topLeft()));
}

void DashboardPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (mapState_ == kNoPositions) paintNoPositions(painter);
    else paintDashboard(painter);
}

void DashboardPanel::paintNoPositions(QPainter& p) const {
    p.fillRect(rect(), QColor(55, 55, 55));
    p.drawPixmap((width() - noGpsImage_.width()) / 2, height() - noGpsImage_.height(), noGpsImage_);
    p.setFont(pmViewFont(16));
    p.setPen(kMessage);
    p.drawText(QRect(0, kMessageTop, width(), height() - kMessageTop), Qt::AlignHCenter | Qt::AlignTop,
               pmViewString("IDS_ERR_NO_GPS_DATA"));
}

void DashboardPanel::paintDashboard(QPainter& p) const {
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
