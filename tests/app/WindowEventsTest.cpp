// The controller's side of the window: the first activation's layout and the language change.
#include "ControllerFixture.h"
#include "Utility/Language.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

namespace {

using Controller = ControllerFixture<FakeMoviePlayer, ManualScheduler>;

class WindowEvents : public Controller {
protected:
    void SetUp() override {
        addCopy("EMERGENCY.MP4", "EMERGENCY.MP4", 0);
        std::filesystem::copy_file(sampleCardFolder() + "/DCIM/Movie/EMERGENCY.MP4.txt", card() + "/EMERGENCY.MP4.txt");
        start();
    }
};

}  // namespace

TEST_F(WindowEvents, OnlyTheFirstActivationLaysTheWindowOutAndAZeroSizeGetsTheDefault) {
    struct Case {
        double width, height;
        std::pair<double, double> laidOut;
        bool zeroLogged;
    };
    for (const Case& c : {Case{1000, 600, {1000, 622}, false}, Case{0, 0, {977, 664}, true}}) {
        SCOPED_TRACE(c.width);
        app.reset();
        views.layout.relayouts.clear();
        start();
        app->applicationDidBecomeActive(c.width, c.height);
        EXPECT_TRUE(views.layout.relayouts.empty()) << "laid out before its timer";
        clock.advance(0.1);
        app->applicationDidBecomeActive(1200, 800);
        clock.advance(1.0);
        EXPECT_EQ(views.layout.relayouts, (std::vector<std::pair<double, double>>{c.laidOut}));
        EXPECT_EQ(logged("AppDelegate::relayoutContents () frame size is 0"), c.zeroLogged);
        EXPECT_TRUE(logged("AppDelegate::applicationDidBecomeActive, bFirstTimeActive = 0, isDualCameraMode = 0"));
    }
}

TEST_F(WindowEvents, ALanguageChangeStoresTheIdAndHasTheViewsReadTheirTextsInOrderWithoutARelayout) {
    // Before any recording, then with one whose G-sensor curves the graph draws again after its reload.
    for (const bool curves : {false, true}) {
        const std::int32_t language = curves ? 0 : 1;
        if (curves) openAndPlay(0);
        ASSERT_EQ(app->gpsList().IsGSensorReady(), curves);
        views.graphics.clear();
        app->languageMenuItemClicked(language);
        EXPECT_EQ(getLanguageId(), language);
        std::vector<std::string> expected{"calendar texts", "toolbar texts", "list texts", "map texts", "play bar texts",
                                          "graph"};
        if (curves) expected.insert(expected.end(), {"curves", "indicator at " + std::to_string(views.sliderValue * 2)});
        expected.push_back("title");
        EXPECT_EQ(views.graphics, expected);
        clock.advance(1.0);
        EXPECT_TRUE(views.layout.relayouts.empty());
        EXPECT_FALSE(logged("ready to relayout"));
    }
}
