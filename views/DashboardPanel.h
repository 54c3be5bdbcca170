#pragma once
#include "app/ControllerViews.h"
#include "telemetry/GpsData.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>

class BitmapButton;

// The panel that shows where the car is while a recording plays, drawn from the skin: the speed in
// LED digits in the chosen unit, the heading, the altitude and the coordinates of the current
// sample on the dashboard picture; without positions, the no-GPS picture with its message. It owns
// no telemetry: the controller hands it each sample. The web map is not part of this panel yet,
// so it reports itself offline, loading the map does nothing (the calls are counted) and no path
// is drawn.
class DashboardPanel : public QWidget, public MapPanel {
    Q_OBJECT
public:
    explicit DashboardPanel(QWidget* parent = nullptr);

    // MapPanel
    void setPosition(float latitude, float longitude, float speed, float altitude, float direction) override;
    void drawPath(const GpsList* track) override;
    void loadMap() override { ++loadMapCalls_; }
    bool isOnLine() const override { return false; }
    bool isMapDocReady() const override { return false; }
    bool isInternetConnected() const override { return false; }
    void enableMap(int state) override;
    int getMapState() const override { return mapState_; }
    void onButtonFullMap() override { fullMap_ = !fullMap_; }
    void centerLastLocation() override {}
    void requestRedraw() override { update(); }
    void loadSkinBitmap() override;

    // 0 km/h, 1 mph; stored in the setting "SpeedUnit".
    void setSpeedUnit(std::int16_t unit);
    std::int16_t getSpeedUnit() const { return speedUnit_; }
    int loadMapCalls() const { return loadMapCalls_; }
    bool isFullMap() const { return fullMap_; }
    // The dashboard's place in the panel: the size of its picture, centred, at the bottom.
    QRect dashboardRect() const;
    BitmapButton& speedUnitButton() { return *unitButton_; }

    // The texts on show, as drawn.
    int shownSpeed() const;
    QString headingText() const;
    QString altitudeText() const;
    QString latitudeText() const;
    QString longitudeText() const;
    // The digits the three LED cells show (hundreds, tens, units), -1 for a dark cell.
    std::array<int, 3> ledDigits() const;
    void changeLanguage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showUnitMenu();
    void paintDashboard(QPainter& painter) const;
    void paintNoPositions(QPainter& painter) const;

    BitmapButton* unitButton_;
    QPixmap panelImage_;
    QPixmap noGpsImage_;
    std::array<QPixmap, 10> digitImages_;
    int mapState_ = 1;
    GpsData shown_;  // the values on show; no altitude and heading 0 before the first
    std::int16_t speedUnit_ = 0;
    int loadMapCalls_ = 0;
    bool fullMap_ = false;
};
