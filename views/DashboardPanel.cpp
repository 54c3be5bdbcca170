#include "views/DashboardPanel.h"

#include "app/MapViewModel.h"
#include "telemetry/GpsData.h"
#include "telemetry/SampleText.h"
#include "views/MapPictures.h"
#include "views/ViewStyle.h"

#include <QPainter>
#include <QToolButton>

namespace {

const QColor kCaption(255, 118, 147);

// The LED box: three cells 60 pixels apart, each digit standing on the box's bottom edge.
constexpr int kLedX = 64, kLedTop = 19, kLedHeight = 85, kLedCell = 60;

}  // namespace

DashboardPanel::DashboardPanel(const MapViewModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    unitButton_ = new QToolButton(this);
    unitButton_->setObjectName("dashboardUnitButton");
    unitButton_->setFont(pmViewFont(20));
    unitButton_->setFocusPolicy(Qt::NoFocus);
    unitButton_->setAutoRaise(true);
    unitButton_->resize(70, 25);
    refreshTexts();
}

void DashboardPanel::refreshTexts() {
    unitButton_->setText(QString::fromStdString(pmGetSpeedUnitString(model_.getSpeedUnit())));
    unitButton_->setToolTip(pmViewString("IDS_CHANGE_SPEED_UNIT"));
}

int DashboardPanel::shownSpeed() const {
    return model_.speed() < 0.0f ? 0 : pmGetShownSpeed(model_.speed(), model_.getSpeedUnit());
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

QPoint DashboardPanel::panelOrigin() const { return {(width() - kPanelWidth) / 2, height() - kPanelHeight}; }

void DashboardPanel::resizeEvent(QResizeEvent*) { unitButton_->move(panelOrigin() + QPoint(246, 78)); }

void DashboardPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QPoint o = panelOrigin();
    const QPixmap background = pmMapPicture("gps_panel_bg.png");
    p.drawPixmap((width() - background.width()) / 2, height() - background.height(), background);

    auto box = [&](int x, int top, int w, int h) { return QRect(o.x() + x, o.y() + top, w, h); };
    p.setFont(pmViewFont(12));
    p.setPen(kCaption);
    const struct {
        const char* key;
        int x, top, width;
    } captions[] = {{"IDS_SPEED", 20, 4, kPanelWidth}, {"IDS_DIRECTION", 20, 104, 130}, {"IDS_ALTITUDE", 150, 104, 130},
                    {"IDS_LATITUDE", 20, 151, 130},    {"IDS_LONGITUDE", 150, 151, 130}};
    for (const auto& c : captions)
        p.drawText(box(c.x, c.top, c.width, 15), Qt::AlignLeft | Qt::AlignVCenter, pmViewString(c.key));

    // Three cells; leading zeros stay blank, the units digit always shows. There are no digits
    // for a thousands cell: 999 is the most shown.
    const int speed = std::min(shownSpeed(), 999);
    const int digits[3] = {speed >= 100 ? speed / 100 : -1, (speed % 100) / 10 != 0 || speed >= 100 ? (speed % 100) / 10 : -1,
                           speed % 10};
    for (int cell = 0; cell < 3; ++cell) {
        if (digits[cell] < 0) continue;
        const QPixmap digit = pmMapPicture(QStringLiteral("ovl_speedno_%1.png").arg(digits[cell]));
        p.drawPixmap(o.x() + kLedX + cell * kLedCell, o.y() + kLedTop + kLedHeight - digit.height(), digit);
    }

    p.setPen(Qt::white);
    p.setFont(pmViewFont(20));
    p.drawText(box(20, 119, 130, 32), Qt::AlignCenter, headingText());
    p.drawText(box(150, 119, 130, 32), Qt::AlignCenter, altitudeText());
    p.setFont(pmViewFont(18));
    p.drawText(box(20, 166, 130, 32), Qt::AlignCenter, latitudeText());
    p.drawText(box(150, 166, 130, 32), Qt::AlignCenter, longitudeText());
}
