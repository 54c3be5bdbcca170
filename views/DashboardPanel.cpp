#include "views/DashboardPanel.h"

#include "Utility/Preferences.h"
#include "telemetry/SampleText.h"
#include "views/ViewStyle.h"

#include <QMenu>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace {

const QColor kCaption(255, 118, 147);
constexpr int kNoPositions = -1;

// The seven segments of an LED digit (-1: all dark), lit per digit (bits a..g: top, top right, bottom right,
// bottom, bottom left, top left, middle).
constexpr unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void drawLedDigit(QPainter& p, const QRectF& cell, int digit) {
    const qreal w = cell.width(), h = cell.height(), t = 8.0;  // segment thickness
    const qreal x = cell.left(), y = cell.top(), half = h / 2;
    const QRectF segments[7] = {
        {x + t, y, w - 2 * t, t},                  // a
        {x + w - t, y + t, t, half - 1.5 * t},     // b
        {x + w - t, y + half + t / 2, t, half - 1.5 * t},  // c
        {x + t, y + h - t, w - 2 * t, t},          // d
        {x, y + half + t / 2, t, half - 1.5 * t},  // e
        {x, y + t, t, half - 1.5 * t},             // f
        {x + t, y + half - t / 2, w - 2 * t, t},   // g
    };
    for (int s = 0; s < 7; ++s) {
        const bool lit = digit >= 0 && ((kSegments[digit] >> s) & 1);
        p.setBrush(lit ? QColor(255, 214, 90) : QColor(255, 214, 90, 22));
        p.drawRoundedRect(segments[s].adjusted(1, 1, -1, -1), 2.5, 2.5);
    }
}

}  // namespace

DashboardPanel::DashboardPanel(QWidget* parent) : QWidget(parent) {
    shown_.setDAltitude(GpsData::kNoAltitude);
    shown_.setFDirection(0.0f);
    speedUnit_ = static_cast<std::int16_t>(pmGetProfileInt(kKeySpeedUnit, kDefaultSpeedUnit) != 0 ? 1 : 0);
    unitButton_ = new QToolButton(this);
    unitButton_->setObjectName("speedUnitButton");
    unitButton_->setFont(pmViewFont(16, true));
    unitButton_->setFocusPolicy(Qt::NoFocus);
    unitButton_->setAutoRaise(true);
    unitButton_->resize(70, 25);
    connect(unitButton_, &QToolButton::clicked, this, &DashboardPanel::showUnitMenu);
    setSpeedUnit(speedUnit_);
    changeLanguage();
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
    unitButton_->setText(QString::fromStdString(pmGetSpeedUnitString(unit)));
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

QPoint DashboardPanel::panelOrigin() const {
    return {(width() - kPanelWidth) / 2, std::max(0, (height() - kPanelHeight) / 2)};
}

void DashboardPanel::resizeEvent(QResizeEvent*) { unitButton_->move(panelOrigin() + QPoint(222, 70)); }

void DashboardPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (mapState_ == kNoPositions) {
        p.fillRect(rect(), QColor(55, 55, 55));
        p.setPen(QColor(170, 170, 170));
        p.setFont(pmViewFont(16));
        p.drawText(QRect(0, 0, width(), height()), Qt::AlignCenter | Qt::TextWordWrap,
                   pmViewString("IDS_ERR_NO_GPS_DATA"));
        return;
    }
    p.fillRect(rect(), Qt::black);
    const QPoint o = panelOrigin();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 23, 27));
    p.drawRoundedRect(QRectF(o.x() + 4, o.y() + 2, kPanelWidth - 8, kPanelHeight - 4), 8, 8);

    auto box = [&](int x, int top, int w, int h) { return QRect(o.x() + x, o.y() + top, w, h); };
    p.setFont(pmViewFont(12));
    p.setPen(kCaption);
    const struct {
        const char* key;
        int x, top, width;
    } captions[] = {{"IDS_SPEED", 20, 4, kPanelWidth - 40}, {"IDS_DIRECTION", 20, 104, 130},
                    {"IDS_ALTITUDE", 150, 104, 130},       {"IDS_LATITUDE", 20, 151, 130},
                    {"IDS_LONGITUDE", 150, 151, 130}};
    for (const auto& c : captions)
        p.drawText(box(c.x, c.top, c.width, 15), Qt::AlignLeft | Qt::AlignVCenter, pmViewString(c.key));

    // Three cells of LED digits; leading zeros stay dark, the units digit always shows.
    const int speed = std::min(shownSpeed(), 999);  // three cells: more does not fit
    const int digits[3] = {speed >= 100 ? speed / 100 % 10 : -1,
                           (speed % 100) / 10 != 0 || speed >= 100 ? (speed % 100) / 10 : -1, speed % 10};
    p.setPen(Qt::NoPen);
    for (int cell = 0; cell < 3; ++cell) {
        const QRectF place(o.x() + 40 + cell * 60, o.y() + 22, 48, 78);
        drawLedDigit(p, place, digits[cell]);
    }

    p.setPen(Qt::white);
    p.setFont(pmViewFont(20));
    p.drawText(box(20, 119, 130, 32), Qt::AlignCenter, headingText());
    p.drawText(box(150, 119, 130, 32), Qt::AlignCenter, altitudeText());
    p.setFont(pmViewFont(18));
    p.drawText(box(20, 166, 130, 32), Qt::AlignCenter, latitudeText());
    p.drawText(box(150, 166, 130, 32), Qt::AlignCenter, longitudeText());
}
