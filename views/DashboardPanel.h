#pragma once
#include "app/ControllerViews.h"
#include "telemetry/GpsData.h"

#include <QWidget>

#include <cstdint>

class QToolButton;

// The panel that shows where the car is while a recording plays: the speed in LED digits in the
// chosen unit, the heading, the altitude and the coordinates of the current sample. It owns no
// telemetry: the controller hands it each sample. The web map is not part of this panel yet, so it
// reports itself offline, loading the map does nothing (the calls are counted) and no path is
// drawn.
class DashboardPanel : public QWidget, public MapPanel {
    Q_OBJECT
public:
    // The dashboard's own size; it sits centred in whatever room the window gives it.
    static constexpr int kPanelWidth = 300;
    static constexpr int kPanelHeight = 205;

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

    // 0 km/h, 1 mph; stored in the setting "SpeedUnit".
    void setSpeedUnit(std::int16_t unit);
    std::int16_t getSpeedUnit() const { return speedUnit_; }
    int loadMapCalls() const { return loadMapCalls_; }
    bool isFullMap() const { return fullMap_; }

    // The texts on show, as drawn.
    int shownSpeed() const;
    QString headingText() const;
    QString altitudeText() const;
    QString latitudeText() const;
    QString longitudeText() const;
    void changeLanguage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPoint panelOrigin() const;
    void showUnitMenu();

    QToolButton* unitButton_;
    int mapState_ = 1;
    GpsData shown_;  // the values on show; no altitude and heading 0 before the first
    std::int16_t speedUnit_ = 0;
    int loadMapCalls_ = 0;
    bool fullMap_ = false;
};
