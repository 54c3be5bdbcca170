#include "Utility/DiagnosticLog.h"
#include "app/MapViewModel.h"
#include "app/NotificationCenter.h"
#include "interfaces/Connectivity.h"
#include "interfaces/WebPage.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The map view's state on fakes that write what happens, in order, into one list of events.
class MapViewModelTest : public ::testing::Test, private MapViewHost, private WebPage, private Connectivity {
public:
    MapViewModelTest() {
        notifications.addObserver(NotificationCenter::fullName(notify::kMapViewReady),
                                  [this](const Notification&) { events.push_back("ready"); });
        model.configure(this, "qrc:///DVR/map2.html");
        model.setMapFullScreenHandler([this] { events.push_back("full screen"); });
    }

    std::string takeEvents() {
        std::ostringstream text;
        for (std::size_t i = 0; i < events.size(); ++i) text << (i ? ", " : "") << events[i];
        events.clear();
        return text.str();
    }
    // Online, into map mode through the dashboard's map button, and the page loaded.
    void enterMapMode() {
        online = true;
        model.onButtonPanelMap();
        loadFinished(true);
        events.clear();
    }
    bool logged(const std::string& line) const { return readFile(pmLogFilePath()).find(line) != std::string::npos; }

    TempHome home;
    MemoryPreferences store;
    NotificationCenter notifications;
    MapViewModel model{notifications, *this};
    std::vector<std::string> events;
    std::vector<ScriptResult> pendingResults;
    std::function<void(bool)> loadFinished;
    bool online = false;
    bool javaScript = false;
    MapChildren shown;

private:
    // MapViewHost
    WebPage& createWebPage() override {
        events.push_back("web view");
        return *this;
    }
    void showChildren(const MapChildren& children) override { shown = children; }
    void redraw() override {}
    // WebPage
    void load(const std::string& url) override { events.push_back("load " + url); }
    void stopLoading() override { events.push_back("stop"); }
    void evaluate(const std::string& statement, ScriptResult result) override {
        events.push_back(statement);
        if (result) pendingResults.push_back(std::move(result));
    }
    void setLoadFinishedHandler(std::function<void(bool)> handler) override { loadFinished = std::move(handler); }
    bool isJavaScriptEnabled() const override { return javaScript; }
    void setJavaScriptEnabled(bool enabled) override { javaScript = enabled; }
    bool isJavaEnabled() const override { return false; }
    bool arePlugInsEnabled() const override { return false; }
    // Connectivity
    bool isInternetConnected() override {
        events.push_back(online ? "probe: yes" : "probe: no");
        return online;
    }
    void checkInBackground(std::function<void(bool)>) override {}
};

MapChildren children(bool web, bool fullMap, bool barUnit, bool dashboard, bool panelUnit, bool map) {
    return {web, fullMap, barUnit, dashboard, panelUnit, map};
}

}  // namespace

TEST_F(MapViewModelTest, TheMapButtonMakesTheWebViewAndLoadsThePageOnlyWhenTheNetworkAnswers) {
    model.onButtonPanelMap();
    EXPECT_EQ(takeEvents(), "probe: no");
    EXPECT_EQ(model.getMapMode(), MapViewModel::kDashboardMode);
    EXPECT_FALSE(model.hasWebPage());

    online = true;
    model.onButtonPanelMap();
    EXPECT_EQ(takeEvents(), "probe: yes, web view, probe: yes, load qrc:///DVR/map2.html");
    EXPECT_TRUE(javaScript);
    EXPECT_EQ(shown, children(true, true, true, true, false, false));
    EXPECT_FALSE(model.isMapDocReady());
    loadFinished(true);
    EXPECT_EQ(takeEvents(), "stop, ready");
    EXPECT_TRUE(model.isMapDocReady());
    for (const char* line : {"MapView - pmIsInternetConnected() - FALSE", "MapView - enableJavaScript() =  0 !",
                             "MapView - WebLoadMap()", "MapView - webLoadComplete() is JavaScript enabled =  1 !",
                             "MapView - webLoadComplete() is Java enabled =  0 !"})
        EXPECT_TRUE(logged(line)) << line;
}

TEST_F(MapViewModelTest, TheControllersQuestionsProbeOnlyOnceTheWebViewExists) {
    EXPECT_TRUE(model.isInternetConnected());  // kept from the start, not probed
    model.loadMap();
    EXPECT_EQ(takeEvents(), "");
    enterMapMode();
    online = false;
    EXPECT_FALSE(model.isInternetConnected());
    EXPECT_EQ(takeEvents(), "probe: no");
}

TEST_F(MapViewModelTest, ChildrenAndDrawingFollowTheMapStateAndMode) {
    enterMapMode();
    const struct {
        bool mapMode;
        int state;
        MapChildren children;
        MapDrawing drawing;
    } cases[] = {
        {true, 1, children(true, true, true, true, false, false), MapDrawing::InfoBar},
        {true, 0, children(false, false, false, false, false, false), MapDrawing::MapDisabledPicture},
        {true, -1, children(false, false, false, false, false, false), MapDrawing::NoGpsPicture},
        {false, 1, children(false, false, false, false, true, true), MapDrawing::Dashboard},
        {false, 0, children(false, false, false, false, true, true), MapDrawing::Dashboard},
        {false, -1, children(false, false, false, false, false, false), MapDrawing::NoGpsPicture},
    };
    for (const auto& c : cases) {
        model.enableMap(c.state);
        model.setMapMode(c.mapMode ? MapViewModel::kMapMode : MapViewModel::kDashboardMode);
        EXPECT_EQ(shown, c.children) << c.mapMode << " " << c.state;
        EXPECT_EQ(model.drawing(), c.drawing) << c.mapMode << " " << c.state;
    }
}

TEST_F(MapViewModelTest, OfflineTheMapIsDisabledAndThePageWaitsForTheMapStateToComeBack) {
    enterMapMode();
    online = false;
    model.loadMap();
    EXPECT_EQ(takeEvents(), "probe: no");
    EXPECT_EQ(model.getMapState(), 0);
    EXPECT_EQ(model.drawing(), MapDrawing::MapDisabledPicture);
    // The network is back: nothing is requested while the state is 0, the next load after it is 1.
    online = true;
    model.loadMap();
    model.enableMap(1);
    EXPECT_EQ(takeEvents(), "probe: yes");
    model.loadMap();
    EXPECT_EQ(takeEvents(), "probe: yes, load qrc:///DVR/map2.html");
}

TEST_F(MapViewModelTest, PositionsCentreTheMapInMapModeAndScriptFailuresAreLogged) {
    model.setPosition(25.5f, 121.25f, 30.0f, 12.0f, 90.0f);
    model.drawPath(nullptr);
    EXPECT_EQ(takeEvents(), "");  // the dashboard sends nothing to the page

    enterMapMode();
    for (const std::optional<std::string>& result : {std::optional<std::string>("1"), std::optional<std::string>(),
                                                     std::optional<std::string>("no map")}) {
        model.setPosition(25.5f, 121.25f, 30.0f, 12.0f, 90.0f);
        ASSERT_EQ(pendingResults.size(), 1u);
        pendingResults.front()(result);
        pendingResults.clear();
    }
    EXPECT_EQ(takeEvents(), "mapSetCenter(25.500000, 121.250000), mapSetCenter(25.500000, 121.250000), "
                            "mapSetCenter(25.500000, 121.250000)");
    const std::string log = readFile(pmLogFilePath());
    EXPECT_EQ(log.find("mapSetCenter() - 1"), std::string::npos);
    EXPECT_TRUE(logged("MapView - JavaScript mapSetCenter() - error"));
    EXPECT_TRUE(logged("MapView - JavaScript mapSetCenter() - no map"));
}

TEST_F(MapViewModelTest, FullMapHidesTheWayToTheDashboardAndAsksTheControllerForTheLayout) {
    enterMapMode();
    model.onButtonFullMap();
    EXPECT_EQ(takeEvents(), "full screen");
    EXPECT_TRUE(model.isFullMap());
    EXPECT_EQ(shown, children(true, true, true, false, false, false));
    model.onButtonFullMap();
    EXPECT_EQ(shown, children(true, true, true, true, false, false));
}

TEST(MapViewModelSettings, TheSpeedUnitIsReadAtStartAndWrittenOnlyWhenChosen) {
    TempHome home;
    MemoryPreferences store;
    store.values["SpeedUnit"] = 1;
    NotificationCenter notifications;
    struct : MapViewHost {
        WebPage& createWebPage() override { std::abort(); }
        void showChildren(const MapChildren&) override {}
        void redraw() override {}
    } host;
    MapViewModel model(notifications, host);
    EXPECT_EQ(model.getSpeedUnit(), 1);
    store.values.clear();
    MapViewModel fresh(notifications, host);
    EXPECT_EQ(fresh.getSpeedUnit(), 0);
    EXPECT_TRUE(store.values.empty());
    fresh.setSpeedUnit(1);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("SpeedUnit")), 1);
}
