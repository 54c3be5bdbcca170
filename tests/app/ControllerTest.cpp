// The controller's logic on fake players and a manual clock: playback of the playlist and of front
// and rear pairs.
#include "ControllerFixture.h"
#include "Utility/Preferences.h"
#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

namespace {

using Controller = ControllerFixture<FakeMoviePlayer, ManualScheduler>;

class Playback : public Controller {
protected:
    void SetUp() override {
        pmOutputDebugMsg("a line of an earlier run");
        int minute = 0;
        for (const char* name : {"FILE0001.MP4", "FILE0002.MP4", "EVEN0003.MP4"}) addCopy("FILE0201.MP4", name, minute++);
        start();
        ASSERT_EQ(app->playlist().size(), 3u);
    }
};

class Pairs : public Controller {
protected:
    void SetUp() override {
        for (const std::string n : {"1", "2"}) {
            front.push_back(addCopy("FILE0001F.MP4", "NormalF/FILE000" + n + "F.MP4", std::stoi(n)));
            rear.push_back(addCopy("FILE0001R.MP4", "NormalR/FILE000" + n + "R.MP4", std::stoi(n)));
        }
        start();
        ASSERT_TRUE(app->isDualCameraMode());
        views.doubleClickRow(rowOf(rear[0]));  // the rear row plays the pair, front first
        player1.load(30.0);
    }
    void deliver() {
        player1.deliverNotifications();
        player2.deliverNotifications();
    }
    std::vector<std::string> front, rear;
};

}  // namespace

TEST_F(Playback, StartsOnTheGivenFolderWithoutStoringItAndPlaysAnEntryOnceItsFirstFrameIsReady) {
    EXPECT_EQ(app->currentFolder(), card());
    EXPECT_FALSE(pmPreferences().value(kKeyCurrentFolder));
    EXPECT_EQ(log().find(" -- Start Video Player! - AppDelegate.\n"), log().find(' ', 11));  // the earlier line is gone
    EXPECT_FALSE(views.enabledButtons.count(ToolbarView::Print));  // nothing open to print
    EXPECT_EQ(shown(), " x0 | play | 0/0 off");

    views.doubleClickRow(1);
    player1.finishLoading(30.0);  // loaded is not yet playable
    EXPECT_EQ(shown(), "FILE0002.MP4 x0 | play | 0/0 off | waiting");
    player1.becomePlayable();
    EXPECT_EQ(shown(), "FILE0002.MP4 x1 | pause | 0/30");
    EXPECT_FLOAT_EQ(player1.volume(), 0.8f);
    EXPECT_TRUE(views.enabledButtons.count(ToolbarView::Print));
    views.doubleClickRow(1);  // the open entry again: not opened again
    EXPECT_EQ(player1.openedPaths.size(), 1u);

    // The clock moves the bar while playing only; a seek while paused moves both.
    player1.deliverNotifications();
    player1.setTimeByItself(12.9);
    clock.advance(0.5);
    EXPECT_EQ(shown(), "FILE0002.MP4 x1 | pause | 12/30");
    views.pressPlay();
    player1.deliverNotifications();
    player1.setTimeByItself(20.0);
    clock.advance(0.5);
    EXPECT_EQ(shown(), "FILE0002.MP4 x0 | play | 12/30");
    views.moveSlider("time", 25);
    EXPECT_EQ(player1.currentTime(), 25.0);
    EXPECT_EQ(views.playedTime, 25);
}

TEST_F(Playback, EachEndOpensTheNextEntryTheLastStopsAtItsStartAndTheUsersStepsWrap) {
    views.selectedRow = 1;
    views.pressPlay();  // nothing open: plays the selected row
    player1.load(30.0);
    EXPECT_EQ(shown(), "FILE0002.MP4 x1 | pause | 0/30");
    player1.reachEnd();
    player1.load(20.0);
    player1.setTimeByItself(12.0);
    player1.reachEnd();
    EXPECT_EQ(shown(), "EVEN0003.MP4 x0 | play | 0/20");
    EXPECT_EQ(player1.currentTime(), 0.0);
    views.pressButton(3);  // next on the last entry wraps to the first...
    EXPECT_EQ(app->getCurPlayIndex(), 0);
    views.pressButton(4);  // ...and previous on the first to the last
    EXPECT_EQ(app->getCurPlayIndex(), 2);
}

TEST_F(Playback, SpeedVolumeAndMuteChosenWhilePausedOrLoadingWaitForThePlayAndCarryOver) {
    openAndPlay(0);
    views.pressPlay();
    views.pressSpeed();
    views.pressSpeed();  // 2.0
    views.moveSlider("volume", 0);
    EXPECT_EQ(shown(), "FILE0001.MP4 x0 | play | 0/30");
    EXPECT_EQ(player1.volume(), 0.0f);  // silent, but not muted
    EXPECT_FALSE(player1.isMuted());
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, 8), 0);
    views.pressPlay();
    EXPECT_EQ(player1.rate(), 2.0f);

    views.pressButton(7);            // mute
    views.moveSlider("volume", 14);  // limited to 10
    views.doubleClickRow(1);
    views.pressSpeed();  // 0.25, while loading
    player1.load(0.6);  // under a second: no slider
    EXPECT_EQ(shown(), "FILE0002.MP4 x0.25 | pause | 0/1 off");
    EXPECT_EQ(player1.volume(), 1.0f);
    EXPECT_TRUE(player1.isMuted());
    for (int i = 0; i < 3; ++i) views.pressSpeed();  // while playing, at once: 0.5, 1, 1.5
    EXPECT_EQ(player1.rate(), 1.5f);
}

TEST_F(Playback, AnUnplayableRecordingOrAPlayerThatCannotOpenGivesTheMessageAndClearsTheIndicator) {
    views.doubleClickRow(0);
    player1.failLoading(MPV_ERROR_UNKNOWN_FORMAT, "unrecognized file format");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(logged("AppDelegate - open video error code = -17 : unrecognized file format"));
    EXPECT_EQ(shown(), "FILE0001.MP4 x0 | play | 0/0 off");
    EXPECT_FALSE(app->isVideoLoading());
    player1.openSucceeds = false;
    views.doubleClickRow(1);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(shown(), " x0 | play | 0/0 off");
    EXPECT_FALSE(app->isPlaybackTimerRunning());
}

TEST_F(Playback, SleepAndClosingTheWindowPauseAPlayingRecordingAndQuittingClosesIt) {
    app->makeSleep();
    EXPECT_FALSE(logged("paused playback before sleep"));  // nothing open
    openAndPlay(0);
    app->windowWillClose();
    player1.deliverNotifications();
    EXPECT_EQ(shown(), "FILE0001.MP4 x0 | play | 0/30");
    views.pressPlay();
    app->makeSleep();
    EXPECT_EQ(player1.rate(), 0.0f);
    EXPECT_TRUE(logged("AppDelegate::makeSleep - paused playback before sleep!"));
    app->applicationWillTerminate();
    EXPECT_FALSE(player1.hasMovie());
    EXPECT_FALSE(app->isPlaybackTimerRunning());
}

TEST_F(Pairs, ThePairStartsTogetherWithTheRearViewLargeAndSilentAndTheSwitchSwapsTheViews) {
    EXPECT_TRUE(views.windowSwitchVisible);
    EXPECT_EQ(player1.rate(), 1.0f);  // asked to play...
    EXPECT_TRUE(player1.isHeld());    // ...but held until the rear can play too
    player2.load(29.6);
    EXPECT_FALSE(player1.isHeld() || player2.isHeld());
    EXPECT_EQ(player1.path(), front[0]);
    EXPECT_EQ(player2.path(), rear[0]);
    EXPECT_TRUE(player2.isMuted());
    EXPECT_EQ(player2.rate(), 1.0f);
    EXPECT_EQ(views.movie1.viewFrame.width, 291);  // the front view became the small one
    EXPECT_EQ(views.movie1.fill, 55);
    app->onButtonWindowSwitch();
    EXPECT_EQ(views.movie1.viewFrame.width, 640);
    EXPECT_EQ(views.movie1.fill, 0);
    app->onButtonWindowSwitch();
    EXPECT_EQ(views.movie1.viewFrame.width, 291);
    app->setCurPlaylistIndex2(-1, false);  // the rear closed: the front plays alone, unlocked
    EXPECT_FALSE(app->isRearLocked());
}

TEST_F(Pairs, PausingFromTheBarPausesAndAlignsBothWithoutEchoesAndSeekingKeepsBothPlaying) {
    player2.load(29.6);
    deliver();
    player1.setTimeByItself(10.0);
    player2.setTimeByItself(9.5);
    views.pressPlay();
    EXPECT_EQ(player2.rate(), 0.0f);
    EXPECT_EQ(player2.currentTime(), 10.0);
    EXPECT_TRUE(logged("Synchronize 2 videos - 0 sec"));  // %.f of 0.5
    const std::size_t seeks = player2.seeks.size();
    deliver();
    EXPECT_EQ(player2.seeks.size(), seeks);  // no mirroring came back
    EXPECT_EQ(shown(), "FILE0001F.MP4 x0 | play | 0/30");

    views.pressPlay();
    deliver();
    const std::string before = log();
    views.moveSlider("time", 17);
    deliver();  // paused and resumed before the players reported: no rate change reaches anyone
    EXPECT_EQ(player2.currentTime(), 17.0);
    EXPECT_EQ(player2.rate(), 1.0f);
    EXPECT_EQ(shown(), "FILE0001F.MP4 x1 | pause | 17/30");
    EXPECT_EQ(log(), before);
}

TEST_F(Pairs, ARearThatStallsPausesTheFrontButARearEndingFirstDoesNot) {
    player2.load(29.6);
    deliver();
    player1.setTimeByItself(10.0);
    clock.advance(0.5);
    player2.changeRateByItself(0.0f);
    deliver();  // the echo of pausing the front is not mirrored back
    EXPECT_EQ(shown(), "FILE0001F.MP4 x0 | play | 10/30");
    EXPECT_EQ(player2.rate(), 0.0f);
    views.pressPlay();
    deliver();
    player1.setTimeByItself(29.5);
    clock.advance(0.5);
    player2.reachEnd();  // half a second before the front
    EXPECT_EQ(shown(), "FILE0001F.MP4 x1 | pause | 29/30");
    EXPECT_TRUE(logged("Rear video is stopped firstly"));
}

TEST_F(Pairs, StepsGoByPairsWrapForTheUserAndTheEndOfTheLastPairStops) {
    player2.load(30.0);
    // Next, next on the last pair (wraps), previous on the first (wraps back).
    for (const auto& [button, pair] : {std::pair{3, 1}, std::pair{3, 0}, std::pair{4, 1}}) {
        views.pressButton(button);
        EXPECT_EQ(player1.path(), front[pair]);
        EXPECT_EQ(player2.path(), rear[pair]);
        player1.load(30.0);
        player2.load(30.0);
    }
    player1.deliverNotifications();
    player1.reachEnd();
    EXPECT_EQ(shown(), "FILE0002F.MP4 x0 | play | 0/30");
}

TEST_F(Controller, ASkinChangeStoresTheSkinReloadsEveryViewInOrderAndRedrawsTheCurvesOfATrack) {
    // A recording with its log in the sibling NMEA folder: a track with G-sensor values.
    addCopy("FILE0201.MP4", "Movie/FILE0001.MP4", 0);
    std::filesystem::create_directories(card() + "/NMEA");
    std::filesystem::copy_file(sampleCardFolder() + "/DCIM/NMEA/FILE0201.nmea", card() + "/NMEA/FILE0001.nmea");
    start();
    const std::vector<std::string> reloads{"toolbar", "play bar", "calendar", "list", "map", "graph"};
    views.graphics.clear();
    app->skinMenuItemClicked(2);  // nothing open: the images only
    EXPECT_EQ(views.graphics, reloads);
    EXPECT_EQ(AppDelegate::getSkinId(), 2);

    openAndPlay(0, 20.0);
    ASSERT_TRUE(app->gpsList().IsGSensorReady());
    views.sliderValue = 7;
    views.graphics.clear();
    app->skinMenuItemClicked(3);
    std::vector<std::string> redrawn = reloads;
    redrawn.insert(redrawn.end(), {"curves", "indicator at 14"});
    EXPECT_EQ(views.graphics, redrawn);
    EXPECT_EQ(AppDelegate::getSkinId(), 3);
}
