#include "Utility/DiagnosticLog.h"
#include "app/MapViewModel.h"
#include "app/NotificationCenter.h"
#include "interfaces/Connectivity.h"
#include "interfaces/WebPage.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

// The map view's state on fakes that write what happens, in order, into one line of events.
class MapViewModelTest : public ::testing::Test, MapViewHost, WebPage, Connectivity {
public:
    MapViewModelTest() {
        notifications.addObserver(NotificationCenter::fullName(notify::kMapViewReady), [this](auto&) { note("ready"); });
        model.configure(this, "qrc:///DVR/map2.html");
        model.setMapFullScreenHandler([this] { note("full screen"); });
    }
    void note(const std::string& event) { events += (events.empty() ? "" : ", ") + event; }
    std::string taken() { return std::exchange(events, {}); }
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
    std::string events;
    std::vector<ScriptResult> results;
    std::function<void(bool)> loadFinished;
    bool online = false, javaScript = false;
    MapChildren shown;

private:
    WebPage& createWebPage() override { return note("web view"), *this; }
    void showChildren(const MapChildren& children) override { shown = children; }
    void redraw() override {}
    void loadSkinBitmap() override {}
    void changeLanguage() override {}
    void load(const std::string& url) override { note("load " + url); }
    void stopLoading() override { note("stop"); }
    void evaluate(const std::string& statement, ScriptResult result) override {
        note(statement);
        if (result) results.push_back(std::move(result));
    }
    void setLoadFinishedHandler(std::function<void(bool)> handler) override { loadFinished = std::move(handler); }
    void setEventHandlers(WebPageEvents) override {}
    std::string url() const override { return {}; }
    bool isJavaScriptEnabled() const override { return javaScript; }
    void setJavaScriptEnabled(bool enabled) override { javaScript = enabled; }
    bool isJavaEnabled() const override { return false; }
    bool arePlugInsEnabled() const override { return false; }
    bool isInternetConnected() override { return note(online ? "probe: yes" : "probe: no"), online; }
    void checkInBackground(std::function<void(bool)>) override {}
};

}  // namespace

TEST_F(MapViewModelTest, TheWebViewComesWithTheFirstEntryIntoMapModeAndThePageFollowsTheNetwork) {
    EXPECT_TRUE(model.isInternetConnected());  // no web view: the answer kept from the start, unprobed
    model.onButtonPanelMap();
    EXPECT_EQ(taken(), "probe: no");  // the map button always probes; offline the dashboard stays
    EXPECT_FALSE(model.hasWebPage());

    online = true;
    model.onButtonPanelMap();
    EXPECT_EQ(taken(), "probe: yes, web view, probe: yes, load qrc:///DVR/map2.html");
    loadFinished(true);
    EXPECT_EQ(taken(), "stop, ready");
    EXPECT_TRUE(javaScript && model.isMapDocReady());
    for (const char* line : {"MapView - pmIsInternetConnected() - FALSE", "MapView - enableJavaScript() =  0 !",
                             "MapView - WebLoadMap()", "MapView - webLoadComplete() is JavaScript enabled =  1 !"})
        EXPECT_TRUE(logged(line)) << line;

    // Offline the map is disabled; back on line the page waits until the map state is 1 again.
    online = false;
    model.loadMap();
    EXPECT_EQ(model.drawing(), MapDrawing::MapDisabledPicture);
    online = true;
    model.loadMap();
    model.enableMap(1);
    model.loadMap();
    EXPECT_EQ(taken(), "probe: no, probe: yes, probe: yes, load qrc:///DVR/map2.html");
    EXPECT_TRUE(store.values.empty());  // the speed unit is read, never written unasked
}

TEST_F(MapViewModelTest, ChildrenAndDrawingFollowTheMapStateModeAndFullMap) {
    enterMapMode();
    const struct {
        bool mapMode, fullMap;
        int state;
        MapChildren children;  // web view, full-map, bar unit, dashboard | panel unit, map
        MapDrawing drawing;
    } cases[] = {
        {true, false, 1, {true, true, true, true, false, false}, MapDrawing::InfoBar},
        {true, true, 1, {true, true, true, false, false, false}, MapDrawing::InfoBar},
        {true, false, 0, {}, MapDrawing::MapDisabledPicture},
        {true, false, -1, {}, MapDrawing::NoGpsPicture},
        {false, false, 1, {false, false, false, false, true, true}, MapDrawing::Dashboard},
        {false, false, 0, {false, false, false, false, true, true}, MapDrawing::Dashboard},
        {false, false, -1, {}, MapDrawing::NoGpsPicture},
    };
    for (const auto& c : cases) {
        model.enableMap(c.state);
        model.setMapMode(c.mapMode ? MapViewModel::kMapMode : MapViewModel::kDashboardMode);
        if (model.isFullMap() != c.fullMap) model.onButtonFullMap();
        EXPECT_EQ(shown, c.children) << c.mapMode << c.fullMap << c.state;
        EXPECT_EQ(model.drawing(), c.drawing) << c.mapMode << c.fullMap << c.state;
    }
    EXPECT_NE(taken().find("full screen, full screen"), std::string::npos);
}

TEST_F(MapViewModelTest, PositionsCentreTheMapInMapModeOnlyAndScriptFailuresAreLogged) {
    model.setPosition(25.5f, 121.25f, 30.0f, 12.0f, 90.0f);
    model.drawPath(nullptr);
    EXPECT_EQ(taken(), "");
    enterMapMode();
    for (const auto& result : {std::optional<std::string>("1"), std::optional<std::string>(), std::optional<std::string>("x")})
        model.setPosition(25.5f, 121.25f, 30.0f, 12.0f, 90.0f), results.back()(result);
    EXPECT_EQ(taken(), "mapSetCenter(25.500000, 121.250000), mapSetCenter(25.500000, 121.250000), "
                       "mapSetCenter(25.500000, 121.250000)");
    EXPECT_FALSE(logged("mapSetCenter() - 1"));
    EXPECT_TRUE(logged("MapView - JavaScript mapSetCenter() - error") && logged("MapView - JavaScript mapSetCenter() - x"));
    model.setSpeedUnit(1);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("SpeedUnit")), 1);
}
