#include "app/MapViewModel.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/Preferences.h"
#include "app/MapPageScript.h"
#include "app/NotificationCenter.h"
#include "interfaces/Connectivity.h"
#include "interfaces/WebPage.h"
#include "telemetry/SampleText.h"

MapViewModel::MapViewModel(NotificationCenter& notifications, MapViewHost& host)
    : notifications_(notifications), host_(host) {
    // Read only: the setting is written when the user chooses a unit.
    m_nSpeedUnit = pmGetProfileInt(kKeySpeedUnit, kDefaultSpeedUnit) != 0 ? kSpeedUnitMph : kSpeedUnitKmh;
}

void MapViewModel::configure(Connectivity* connectivity, std::string pageUrl) {
    connectivity_ = connectivity;
    pageUrl_ = std::move(pageUrl);
}

void MapViewModel::setPosition(float latitude, float longitude, float speed, float altitude, float direction) {
    m_fLatitude = latitude;
    m_fLongitude = longitude;
    m_fSpeed = speed;
    m_fAltitude = altitude;
    m_fDirection = direction;
    if (page_ && m_nMapMode == kMapMode) centerLastLocation();
    host_.redraw();
}

void MapViewModel::centerLastLocation() {
    if (m_nMapMode != kDashboardMode) scriptSetPosition(m_fLatitude, m_fLongitude);
}

void MapViewModel::scriptSetPosition(float latitude, float longitude) {
    if (!page_ || m_nMapState != 1 || m_nMapMode != kMapMode) return;
    page_->evaluate(pmMapSetCenterScript(latitude, longitude), [](const std::optional<std::string>& result) {
        if (!result) pmOutputDebugMsg("MapView - JavaScript mapSetCenter() - error");
        else if (*result != "1") pmOutputDebugMsgF("MapView - JavaScript mapSetCenter() - %s", result->c_str());
    });
}

void MapViewModel::drawPath(const GpsList* track) {
    if (m_nMapMode == kDashboardMode) return;
    for (const std::string& statement : pmDrawPathStatements(track)) run(statement);
    host_.redraw();
}

void MapViewModel::run(const std::string& statement) {
    if (page_) page_->evaluate(statement, {});
}

void MapViewModel::enableMap(int state) {
    m_nMapState = static_cast<std::int16_t>(state);
    host_.showChildren(children());
    host_.redraw();
}

void MapViewModel::loadMap() {
    const bool wasOnLine = m_bOnLine;
    webLoadMap(false);
    if (wasOnLine && !m_bOnLine) enableMap(0);
}

void MapViewModel::webLoadMap(bool updateState) {
    isInternetConnected();
    if (m_nMapState != 1 || m_nMapMode != kMapMode) return;
    if (m_bOnLine && page_) {
        pmOutputDebugMsg("MapView - WebLoadMap()");
        page_->load(pageUrl_);
    }
    if (updateState) enableMap(m_bOnLine ? 1 : 0);
}

bool MapViewModel::isInternetConnected() { return page_ ? probeConnection() : m_bOnLine; }

bool MapViewModel::probeConnection() {
    m_bOnLine = connectivity_ && connectivity_->isInternetConnected();
    pmOutputDebugMsg(m_bOnLine ? "MapView - pmIsInternetConnected() - TRUE" : "MapView - pmIsInternetConnected() - FALSE");
    return m_bOnLine;
}

void MapViewModel::onButtonPanelMap() {
    if (probeConnection()) setMapMode(kMapMode);
}

void MapViewModel::onButtonDashboard() { setMapMode(kDashboardMode); }

void MapViewModel::setMapMode(std::int16_t mode) {
    if (mode == m_nMapMode) return;
    m_nMapMode = mode;
    if (mode == kMapMode) {
        ensureWebPage();
        loadMap();
    }
    enableMap(m_nMapState);
}

void MapViewModel::ensureWebPage() {
    if (page_) return;
    page_ = &host_.createWebPage();
    page_->setLoadFinishedHandler([this](bool) { webLoadComplete(); });
    const bool wasEnabled = page_->isJavaScriptEnabled();
    if (!wasEnabled) page_->setJavaScriptEnabled(true);
    pmOutputDebugMsgF("MapView - enableJavaScript() =  %d !", wasEnabled ? 1 : 0);
}

void MapViewModel::webLoadComplete() {
    page_->stopLoading();
    m_bMapDocReady = true;
    notifications_.post(notify::kMapViewReady);
    pmOutputDebugMsgF("MapView - webLoadComplete() is JavaScript enabled =  %d !", page_->isJavaScriptEnabled() ? 1 : 0);
    pmOutputDebugMsgF("MapView - webLoadComplete() is Java enabled =  %d !", page_->isJavaEnabled() ? 1 : 0);
    pmOutputDebugMsgF("MapView - webLoadComplete() is PlugIns enabled =  %d !", page_->arePlugInsEnabled() ? 1 : 0);
}

void MapViewModel::onButtonFullMap() {
    m_bFullMap = !m_bFullMap;
    host_.showChildren(children());
    host_.redraw();
    if (mapFullScreen_) mapFullScreen_();
}

void MapViewModel::requestRedraw() { host_.redraw(); }

void MapViewModel::setSpeedUnit(std::int16_t unit) {
    m_nSpeedUnit = unit != kSpeedUnitKmh ? kSpeedUnitMph : kSpeedUnitKmh;
    pmWriteProfileInt(kKeySpeedUnit, m_nSpeedUnit);
    host_.redraw();
}

MapChildren MapViewModel::children() const {
    MapChildren shown;
    if (m_nMapState == 1 && m_nMapMode == kMapMode) {
        shown.webView = shown.fullMapButton = shown.infoBarUnitButton = true;
        // Map full screen has no way back to the dashboard but the full-map button.
        shown.dashboardButton = !m_bFullMap;
    } else if (m_nMapState != -1 && m_nMapMode == kDashboardMode) {
        shown.dashboardUnitButton = shown.mapButton = true;
    }
    return shown;
}

MapDrawing MapViewModel::drawing() const {
    if (m_nMapMode == kDashboardMode && m_nMapState != -1) return MapDrawing::Dashboard;
    if (m_bOnLine && m_nMapState == 1) return MapDrawing::InfoBar;
    return m_nMapState == -1 ? MapDrawing::NoGpsPicture : MapDrawing::MapDisabledPicture;
}
