#include "WindowProgramFixture.h"
#include "Utility/DiagnosticLog.h"
#include "app/MapPageScript.h"
#include "platform/QtWebPage.h"
#include "support/GraphicsDrivers.h"
#include "support/Screenshot.h"
#include "views/DashboardPanel.h"
#include "views/MapView.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QWebEngineView>

#include <cmath>
#include <optional>
#include <set>

// A process that made a web view ends with a new/delete mismatch inside the engine.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

namespace {

// The whole window with the web map, the probe and the tiles on the tests' local server and a
// default route in the test's own table, in the language of the parameter.
class MapWindow : public WindowProgramTest, public ::testing::WithParamInterface<int> {
protected:
    ~MapWindow() override { keepGraphicsDriversLoaded(); }  // the movie and web views made GL contexts
    void startWith(const std::string& tiles) {
        home.writeServices(server->url("/probe"), tiles);
        writeFile(home.path() + "/route", "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                          "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\n");
        start(GetParam(), {home.path() + "/route", home.path() + "/none"});
        selectDayOf("MOVI0002.AVI");  // with recordings with and without positions
    }
    MapView& map() { return window().mapView(); }
    bool enterMapMode() {
        QTest::mouseClick(map().findChild<QAbstractButton*>("mapButton"), Qt::LeftButton);
        return spinUntil([&] { return map().model().isMapDocReady(); }, 60.0);
    }
    // What the page shows, through its test function.
    nlohmann::json pageState() {
        std::optional<std::string> text;
        bool answered = false;
        map().webPage()->evaluate("mapTestState()", [&](const auto& value) { text = value, answered = true; });
        spinUntil([&] { return answered; }, 10.0);
        return text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
    }
    bool pathShown() {
        const int points = program->controller().gpsList().GetDataCount();
        return spinUntil([&] { return pageState().value("points", -1) == points; }, 20.0);
    }
    void shoot(const std::string& name) {
        spinFor(0.5);  // the web view's frame reaches the window
        saveScreenshot(window(), QString::fromStdString(name + (GetParam() == 1 ? "-zh" : "-en")));
    }

    std::optional<LocalHttpServer> server{std::in_place};
};

}  // namespace

TEST_P(MapWindow, MapModeDrawsThePathFollowsTheCarFillsTheScreenAndGoesWithTheProbe) {
    ASSERT_TRUE(server->isRunning()) << server->error();
    startWith(server->url("/tiles/{z}/{x}/{y}.png"));
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    ASSERT_TRUE(spinUntil([&] { return map().dashboard().latitudeText() != "-"; }, 5.0));
    EXPECT_EQ(map().webView(), nullptr);  // none until map mode
    shoot("map-window-dashboard");

    ASSERT_TRUE(enterMapMode());
    ASSERT_TRUE(pathShown());
    const GpsList& track = program->controller().gpsList();
    EXPECT_EQ(pmSetZoomScript(pageState().value("zoom", -1)), pmDrawPathStatements(&track).back());
    // The car's marker is on the sample of the second playing (a tick and the page's answer late).
    std::set<int> followed;
    while (followed.size() < 3 && program->player1().rate() > 0) {
        const nlohmann::json marker = pageState()["marker"];
        const int second = int(program->player1().currentTime());
        for (int s = std::max(0, second - 2); s <= second && marker.is_array(); ++s)
            if (std::fabs(marker[0].get<double>() - track.GetGpsData(s)->fLatitude()) < 1e-5 &&
                std::fabs(marker[1].get<double>() - track.GetGpsData(s)->fLongitude()) < 1e-5)
                followed.insert(s);
        spinFor(0.25);
    }
    EXPECT_GE(followed.size(), 3u);
    EXPECT_TRUE(spinUntil([&] { return pageState().value("tilesLoaded", 0) > 0; }, 20.0));
    EXPECT_NE(server->requests().dump().find(R"(["User-Agent","CartenaManager/)"), std::string::npos);
    shoot("map-window-map-mode");

    map().pressFullMap();
    ASSERT_TRUE(spinUntil([&] { return window().screenMode() == 2; }, 5.0));
    EXPECT_EQ(map().geometry(), window().centralWidget()->rect());
    shoot("map-window-full-map");
    // F11 and Escape leave the map's full screen through its button, not the play bar's.
    for (const Qt::Key key : {Qt::Key_F11, Qt::Key_Escape}) {
        if (window().screenMode() == 0) map().pressFullMap();
        ASSERT_TRUE(spinUntil([&] { return window().screenMode() == 2; }, 5.0));
        QTest::keyClick(&window(), key);
        ASSERT_TRUE(spinUntil([&] { return window().screenMode() == 0 && window().playBar().isVisible(); }, 5.0))
            << QKeySequence(key).toString().toStdString();
    }

    ASSERT_TRUE(play(rowNamed("MOVI0001.AVI")));  // no positions: the picture, no map, no buttons
    EXPECT_FALSE(map().webView()->isVisible() || map().findChild<QAbstractButton*>("fullMapButton")->isVisible());
    shoot("map-window-no-gps");
    server.reset();  // the probe's host goes away: the next recording finds the map disabled
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    EXPECT_EQ(map().model().drawing(), MapDrawing::MapDisabledPicture);

    const std::string log = readFile(pmLogFilePath());
    EXPECT_NE(log.find("applicationDidFinishLaunching - pmIsInternetConnected() - TRUE"), std::string::npos);
    if (::geteuid() == 0) { EXPECT_NE(log.find(sandboxNotice_), std::string::npos); }  // root: without sandbox
}

TEST_P(MapWindow, WithoutTilesThePathAndTheCarStillShowOnAPlainBackground) {
    ASSERT_TRUE(server->isRunning()) << server->error();
    startWith(std::string(kClosedLocalAddress) + "/{z}/{x}/{y}.png");
    ASSERT_TRUE(enterMapMode());
    ASSERT_TRUE(play(rowNamed("MOVI0002.AVI")));
    ASSERT_TRUE(pathShown());
    EXPECT_TRUE(spinUntil([&] { return pageState()["marker"].is_array(); }, 10.0));
    EXPECT_EQ(pageState().value("tilesLoaded", -1), 0);
    shoot("map-window-no-tiles");
}

INSTANTIATE_TEST_SUITE_P(Languages, MapWindow, ::testing::Values(0, 1));
