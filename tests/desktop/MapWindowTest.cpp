#include "WindowProgramFixture.h"
#include "Utility/DiagnosticLog.h"
#include "app/MapPageScript.h"
#include "platform/QtWebPage.h"
#include "support/GraphicsDrivers.h"
#include "support/LocalHttpServer.h"
#include "support/Screenshot.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"

#include <nlohmann/json.hpp>

#include <QToolButton>
#include <QWebEngineView>

#include <unistd.h>

#include <cmath>
#include <optional>
#include <set>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

namespace {

// The whole window with the web map, its probe and tiles on the tests' local server. The
// parameter is the language.
class MapWindow : public WindowProgramTest, public ::testing::WithParamInterface<int> {
protected:
    // The movie views and the web view made GL contexts: their drivers stay for the leak check.
    ~MapWindow() override { keepGraphicsDriversLoaded(); }

    // Starts the program with a default route and the probe and tile addresses given.
    void startWith(const std::string& probe, const std::string& tiles) {
        home.writeServices(probe, tiles);
        writeFile(home.path() + "/route", "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                          "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\n");
        writeFile(home.path() + "/ipv6_route", "");
        start(language(), {home.path() + "/route", home.path() + "/ipv6_route"});
    }
    int language() const { return testing::UnitTest::GetInstance()->current_test_info()->value_param() ? GetParam() : 0; }
    MapView& map() { return window().mapView(); }
    QToolButton& button(const char* name) { return *map().findChild<QToolButton*>(name); }

    // The dashboard's map button, then the page loaded.
    bool enterMapMode() {
        QTest::mouseClick(&button("mapButton"), Qt::LeftButton);
        return spinUntil([&] { return map().model().isMapDocReady(); }, 60.0);
    }
    // What the page shows, read through its test function.
    nlohmann::json pageState() {
        std::optional<std::string> text;
        bool answered = false;
        map().webPage()->evaluate("mapTestState()", [&](const std::optional<std::string>& value) {
            text = value;
            answered = true;
        });
        spinUntil([&] { return answered; }, 10.0);
        return text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
    }
    bool pathShown(int points) {
        return spinUntil([&] { return pageState().value("points", -1) == points; }, 20.0);
    }
    void shoot(const std::string& name) {
        keepGraphicsDriversLoaded();
        spinFor(0.5);  // the web view's frame reaches the window
        saveScreenshot(window(), QString::fromStdString(name + (language() == 1 ? "-zh" : "-en")));
    }

    std::optional<LocalHttpServer> server{std::in_place};
};

std::string tilesOf(const LocalHttpServer& server) { return server.url("/tiles/{z}/{x}/{y}.png"); }

}  // namespace

TEST_P(MapWindow, MapModeDrawsThePathFollowsTheCarFillsTheScreenAndShowsWhenThereAreNoPositions) {
    ASSERT_TRUE(server->isRunning()) << server->error();
    startWith(server->url("/probe"), tilesOf(*server));
    selectDayOf("MOVI0002.AVI");
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    ASSERT_TRUE(spinUntil([&] { return map().dashboard().latitudeText() != "-"; }, 5.0));
    EXPECT_EQ(map().webView(), nullptr);  // none until map mode
    shoot("map-window-dashboard");

    ASSERT_TRUE(enterMapMode());
    const GpsList& track = program->controller().gpsList();
    ASSERT_TRUE(pathShown(track.GetDataCount()));
    const nlohmann::json state = pageState();
    int positioned = 0;
    for (const GpsData& sample : track.gpslist()) positioned += sample.fLatitude() != 0 && sample.fLongitude() != 0;
    EXPECT_EQ(state.value("drawn", -1), positioned);
    EXPECT_EQ(pmSetZoomScript(state.value("zoom", -1)), pmDrawPathStatements(&track).back());

    // The car's marker is on the sample of the second playing (a tick and the page's answer late).
    std::set<int> followed;
    for (int look = 0; look < 40 && followed.size() < 3 && program->player1().rate() > 0; ++look) {
        const nlohmann::json marker = pageState()["marker"];
        const int second = int(program->player1().currentTime());
        if (!marker.is_array()) continue;
        bool matched = false;
        for (int s = std::max(0, second - 2); s <= second && !matched; ++s) {
            const GpsData* sample = track.GetGpsData(s);
            matched = sample && std::fabs(marker[0].get<double>() - sample->fLatitude()) < 1e-5 &&
                      std::fabs(marker[1].get<double>() - sample->fLongitude()) < 1e-5;
            if (matched) followed.insert(s);
        }
        EXPECT_TRUE(matched) << "marker " << marker.dump() << " at second " << second;
        spinFor(0.25);
    }
    EXPECT_GE(followed.size(), 3u);
    EXPECT_TRUE(spinUntil([&] { return pageState().value("tilesLoaded", 0) > 0; }, 20.0));
    EXPECT_EQ(server->headerOf("/tiles/", "User-Agent").rfind("CartenaManager/", 0), 0u);
    EXPECT_EQ(map().infoBarLocationText().toStdString().find("[-. -]"), std::string::npos);
    shoot("map-window-map-mode");

    // Map full screen and back.
    map().pressFullMap();
    ASSERT_TRUE(spinUntil([&] { return window().screenMode() == 2; }, 5.0));
    spinFor(0.5);
    EXPECT_EQ(map().geometry(), window().centralWidget()->rect());
    EXPECT_FALSE(window().playBar().isVisible());
    shoot("map-window-full-map");
    map().pressFullMap();
    ASSERT_TRUE(spinUntil([&] { return window().screenMode() == 0 && window().playBar().isVisible(); }, 5.0));

    // A recording without positions: the picture instead of the map, and no buttons.
    ASSERT_TRUE(play(rowNamed("MOVI0001.AVI")));
    EXPECT_EQ(map().model().getMapState(), -1);
    EXPECT_FALSE(map().webView()->isVisible() || button("fullMapButton").isVisible());
    shoot("map-window-no-gps");

    // Run as root, the program turned the web view's sandbox off and said so.
    if (::geteuid() == 0) EXPECT_NE(readFile(pmLogFilePath()).find(sandboxNotice_), std::string::npos);
}

TEST_P(MapWindow, WithoutTilesThePathAndTheCarStillShowOnAPlainBackground) {
    ASSERT_TRUE(server->isRunning()) << server->error();
    startWith(server->url("/probe"), std::string(kClosedLocalAddress) + "/{z}/{x}/{y}.png");
    selectDayOf("MOVI0002.AVI");
    ASSERT_TRUE(enterMapMode());
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    ASSERT_TRUE(pathShown(program->controller().gpsList().GetDataCount()));
    EXPECT_TRUE(spinUntil([&] { return pageState()["marker"].is_array(); }, 10.0));
    const nlohmann::json state = pageState();
    EXPECT_TRUE(state.value("tiles", false));
    EXPECT_EQ(state.value("tilesLoaded", -1), 0);
    shoot("map-window-no-tiles");
}

INSTANTIATE_TEST_SUITE_P(Languages, MapWindow, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "English" : "Chinese"; });

TEST_F(MapWindow, TheProbeDecidesWhetherTheMapShows) {
    ASSERT_TRUE(server->isRunning()) << server->error();
    startWith(server->url("/probe"), tilesOf(*server));
    selectDayOf("MOVI0002.AVI");
    ASSERT_TRUE(enterMapMode());
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    EXPECT_EQ(map().model().getMapState(), 1);

    // The probe's host goes away: the next recording finds the map disabled.
    server.reset();
    ASSERT_TRUE(play(rowNamed("EMERGENCY.MP4")));
    EXPECT_EQ(map().model().getMapState(), 0);
    EXPECT_EQ(map().model().drawing(), MapDrawing::MapDisabledPicture);
    EXPECT_FALSE(map().webView()->isVisible());
    shoot("map-window-disabled");
}

TEST_F(MapWindow, OfflineTheMapButtonLeavesTheDashboard) {
    startWith(std::string(kClosedLocalAddress) + "/probe", tilesOf(*server));
    QTest::mouseClick(&button("mapButton"), Qt::LeftButton);
    spinFor(0.3);
    EXPECT_EQ(map().model().getMapMode(), MapViewModel::kDashboardMode);
    EXPECT_TRUE(map().dashboard().isVisible());
    EXPECT_EQ(map().webView(), nullptr);
    EXPECT_NE(readFile(pmLogFilePath()).find("MapView - pmIsInternetConnected() - FALSE"), std::string::npos);
}
