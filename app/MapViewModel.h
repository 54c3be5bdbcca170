#pragma once
#include "app/ControllerViews.h"

#include <cstdint>
#include <functional>
#include <string>

class Connectivity;
class NotificationCenter;
class WebPage;

// Which of the map view's children show.
struct MapChildren {
    bool webView = false;
    bool fullMapButton = false;
    bool infoBarUnitButton = false;
    bool dashboardButton = false;
    bool dashboardUnitButton = false;
    bool mapButton = false;
    bool operator==(const MapChildren&) const = default;
};

// What the map view draws under its children.
enum class MapDrawing {
    Dashboard,           // the dashboard with the current sample
    InfoBar,             // the web map above, the info bar along the bottom
    NoGpsPicture,        // the recording has no positions
    MapDisabledPicture,  // map mode without the network
};

// What the map view's state needs of the widget around it.
class MapViewHost {
public:
    virtual ~MapViewHost() = default;
    // Makes the web view that shows the map page. Called once, on the first entry into map mode.
    virtual WebPage& createWebPage() = 0;
    // The children to show or hide changed (see MapViewModel::children()).
    virtual void showChildren(const MapChildren& children) = 0;
    // Something drawn changed: the sample, the unit, the full-map look.
    virtual void redraw() = 0;
    // The skin changed: its pictures again.
    virtual void loadSkinBitmap() = 0;
    // The language changed: its texts again.
    virtual void changeLanguage() = 0;
};

// The map view's state and its map page protocol, without the toolkit: the dashboard or the web
// map, the map state chosen from the network and the track, the script statements that drive the
// page, and the full-map switch. The widget draws what this says; the controller talks to it as
// its map panel. Main thread only.
class MapViewModel : public MapPanel {
public:
    static constexpr std::int16_t kMapMode = 0;
    static constexpr std::int16_t kDashboardMode = 1;
    static constexpr int kInfoBarHeight = 20;

    MapViewModel(NotificationCenter& notifications, MapViewHost& host);

    // The connectivity check (none: never connected) and the map page's address.
    void configure(Connectivity* connectivity, std::string pageUrl);
    // The controller's map full-screen operation, which the full-map button calls.
    void setMapFullScreenHandler(std::function<void()> handler) { mapFullScreen_ = std::move(handler); }

    // MapPanel
    void setPosition(float latitude, float longitude, float speed, float altitude, float direction) override;
    void drawPath(const GpsList* track) override;
    void loadMap() override;
    bool isOnLine() const override { return m_bOnLine; }
    bool isMapDocReady() const override { return m_bMapDocReady; }
    // Without the web view (dashboard only so far) the answer is the last one kept, and nothing is
    // probed: the controller asks at every recording it opens.
    bool isInternetConnected() override;
    void enableMap(int state) override;
    int getMapState() const override { return m_nMapState; }
    void onButtonFullMap() override;
    void centerLastLocation() override;
    void requestRedraw() override;
    void changeLanguage() override { host_.changeLanguage(); }
    void loadSkinBitmap() override { host_.loadSkinBitmap(); }
    std::int16_t getSpeedUnit() const override { return m_nSpeedUnit; }

    // The buttons of the view.
    void onButtonPanelMap();   // the dashboard's map button: map mode when the network answers
    void onButtonDashboard();  // the info bar's dashboard button
    void setMapMode(std::int16_t mode);
    // The user chose a unit: stored in the setting "SpeedUnit".
    void setSpeedUnit(std::int16_t unit);

    // Page load step: probes, requests the page when the map may show, and with `updateState`
    // sets the map state from the answer.
    void webLoadMap(bool updateState);
    // The page finished a load.
    void webLoadComplete();
    void scriptSetPosition(float latitude, float longitude);

    // State, for the view's drawing and for tests.
    std::int16_t getMapMode() const { return m_nMapMode; }
    bool isFullMap() const { return m_bFullMap; }
    bool hasWebPage() const { return page_ != nullptr; }
    float latitude() const { return m_fLatitude; }
    float longitude() const { return m_fLongitude; }
    float speed() const { return m_fSpeed; }
    float altitude() const { return m_fAltitude; }
    float direction() const { return m_fDirection; }
    MapChildren children() const;
    MapDrawing drawing() const;

private:
    // The check itself, kept and logged.
    bool probeConnection();
    void ensureWebPage();
    void run(const std::string& statement);

    NotificationCenter& notifications_;
    MapViewHost& host_;
    Connectivity* connectivity_ = nullptr;
    std::string pageUrl_;
    std::function<void()> mapFullScreen_;
    WebPage* page_ = nullptr;

    bool m_bOnLine = true;
    bool m_bFullMap = false;
    std::int16_t m_nMapState = 1;
    float m_fLatitude = 0.0f;
    float m_fLongitude = 0.0f;
    float m_fSpeed = 0.0f;
    float m_fAltitude = 65535.0f;
    float m_fDirection = 0.0f;
    std::int16_t m_nSpeedUnit = 0;
    std::int16_t m_nMapMode = kDashboardMode;
    bool m_bMapDocReady = false;
};
