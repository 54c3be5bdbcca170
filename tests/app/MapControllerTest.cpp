#include "ControllerFixture.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

using MapController = ControllerFixture<FakeMoviePlayer, ManualScheduler>;

TEST_F(MapController, MapFullScreenGivesTheMovieItsSoundBackAndRecentresAPausedMap) {
    // The start's connection line comes when the background check answers.
    struct Later : Connectivity {
        bool isInternetConnected() override { return true; }
        void checkInBackground(std::function<void(bool)> answer) override { pending = std::move(answer); }
        std::function<void(bool)> pending;
    } later;
    connectivity = &later;
    addCopy("FILE0201.MP4", "FILE0001.MP4", 0);
    start();
    const std::string line = "applicationDidFinishLaunching - pmIsInternetConnected() - TRUE";
    EXPECT_FALSE(logged(line));
    later.pending(true);
    EXPECT_TRUE(logged(line));

    openAndPlay(0);
    player1.setMuted(true);
    app->onButtonMapFullScreen();
    EXPECT_EQ(views.layout.screenMode, 2);
    EXPECT_FALSE(player1.isMuted());  // the user had not muted it
    views.pressPlay();                // pause
    app->onButtonMapFullScreen();
    EXPECT_EQ(views.layout.screenMode, 0);
    clock.advance(0.15);
    EXPECT_EQ(views.centered, 0);
    clock.advance(0.1);
    EXPECT_EQ(views.centered, 1);  // 0.2 s later, once

    views.pressPlay();
    app->onButtonMute();  // muted by the user: silent behind the map
    app->onButtonMapFullScreen();
    EXPECT_TRUE(player1.isMuted());
    clock.advance(1.0);
    EXPECT_EQ(views.centered, 1);  // playing: the ticks move the map
}
