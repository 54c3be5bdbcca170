#include "ControllerFixture.h"

#include "Utility/Preferences.h"
#include "Utility/WaitingIndicator.h"

class PlaybackControllerTest : public ControllerTest {
protected:
    void SetUp() override {
        first = addRecording("FILE0001.MP4", 0);
        second = addRecording("FILE0002.MP4", 1);
        third = addRecording("EVEN0003.MP4", 2);
        start();
        ASSERT_EQ(app->playlist().size(), 3u);
    }
    std::string first, second, third;
};

TEST_F(PlaybackControllerTest, StartValuesAndAFreshLog) {
    EXPECT_EQ(app->getCurPlayIndex(), -1);
    EXPECT_EQ(app->getState(), 0);
    EXPECT_EQ(app->volume(), 8);
    EXPECT_FLOAT_EQ(app->playSpeed(), 1.0f);
    EXPECT_FALSE(app->isMuted());
    EXPECT_EQ(app->eventTime(), -1);
    EXPECT_FALSE(app->isPlaybackTimerRunning());
    // The folder given for the run is scanned but never stored; nothing else was written either.
    EXPECT_EQ(app->currentFolder(), card());
    EXPECT_FALSE(pmPreferences().value(kKeyCurrentFolder));
    EXPECT_FALSE(pmPreferences().value(kKeyVolume));
    EXPECT_FALSE(pmPreferences().value(kKeySkinId));
    EXPECT_EQ(log().find(" -- Start Video Player! - AppDelegate.\n"), log().find(' ', 11));
    EXPECT_NE(log().find("AppDelegate::rebuildPlaylist - video count = 3"), std::string::npos);
    EXPECT_TRUE(views.mediaButtonsEnabled);
    EXPECT_FALSE(views.toolbarEnabled[ToolbarView::Print]);  // nothing open yet
    EXPECT_FALSE(views.sliderEnabled);
}

TEST_F(PlaybackControllerTest, OpenReadyPlayAndSelectingTheOpenEntryAgainDoesNothing) {
    views.doubleClickRow(1);
    EXPECT_EQ(player1.path(), second);
    EXPECT_TRUE(app->isVideoLoading());
    EXPECT_TRUE(pmIsWaiting());
    EXPECT_TRUE(app->isPlaybackTimerRunning());

    player1.finishLoading(30.0);
    EXPECT_FLOAT_EQ(player1.rate(), 0.0f);  // loaded is not yet playable
    player1.becomePlayable();
    EXPECT_FALSE(app->isVideoLoading());
    EXPECT_FALSE(pmIsWaiting());
    EXPECT_DOUBLE_EQ(app->selectedMovieDuration(), 30.0);
    EXPECT_FLOAT_EQ(player1.rate(), 1.0f);
    EXPECT_FLOAT_EQ(player1.volume(), 0.8f);
    EXPECT_EQ(views.playButton, 1);
    EXPECT_TRUE(views.sliderEnabled);
    EXPECT_EQ(views.sliderMax, 30);
    EXPECT_TRUE(views.toolbarEnabled[ToolbarView::Print]);

    player1.becomePlayable();  // a second report changes nothing
    EXPECT_NE(log().find("twice open video OK"), std::string::npos);
    views.doubleClickRow(1);
    EXPECT_EQ(player1.openedPaths.size(), 1u);
    EXPECT_EQ(app->getState(), 2);
}

TEST_F(PlaybackControllerTest, EndOfEachEntryOpensTheNextAndTheLastStopsAtTimeZero) {
    openAndPlay(1);
    player1.reachEnd();
    EXPECT_EQ(app->getCurPlayIndex(), 2);
    EXPECT_EQ(player1.path(), third);
    player1.load(20.0);
    player1.deliverNotifications();
    player1.setTimeByItself(12.0);
    player1.reachEnd();
    EXPECT_EQ(app->getCurPlayIndex(), 2);
    EXPECT_EQ(app->getState(), 3);
    EXPECT_DOUBLE_EQ(player1.currentTime(), 0.0);
    EXPECT_EQ(views.playButton, 0);
    EXPECT_EQ(views.sliderValue, 0);

    // The user's next on the last entry wraps; previous on the first wraps back.
    views.pressButton(3);
    EXPECT_EQ(app->getCurPlayIndex(), 0);
    views.pressButton(4);
    EXPECT_EQ(app->getCurPlayIndex(), 2);
}

TEST_F(PlaybackControllerTest, SpeedWhilePausedOrLoadingWaitsForThePlay) {
    openAndPlay(0);
    views.pressPlay();  // pause
    player1.deliverNotifications();
    EXPECT_EQ(app->getState(), 3);
    views.pressSpeed();
    views.pressSpeed();  // index 2: 2.0
    EXPECT_FLOAT_EQ(app->playSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(player1.rate(), 0.0f);
    views.pressPlay();
    EXPECT_FLOAT_EQ(player1.rate(), 2.0f);

    views.doubleClickRow(1);  // loading: the speed is kept for the next play only
    views.pressSpeed();       // index 3: 0.25
    EXPECT_FLOAT_EQ(app->playSpeed(), 0.25f);
    player1.load(10.0);
    EXPECT_FLOAT_EQ(player1.rate(), 0.25f);
    for (int i = 0; i < 3; ++i) views.pressSpeed();  // 4, 0, 1
    EXPECT_FLOAT_EQ(player1.rate(), 1.5f);
}

TEST_F(PlaybackControllerTest, VolumeZeroSilencesWithoutMutingAndMuteKeepsTheLevel) {
    openAndPlay(0);
    views.moveSlider("volume", 0);
    EXPECT_FLOAT_EQ(player1.volume(), 0.0f);
    EXPECT_FALSE(player1.isMuted());
    EXPECT_EQ(pmGetProfileInt(kKeyVolume, 8), 0);
    views.pressButton(7);
    EXPECT_TRUE(player1.isMuted());
    EXPECT_EQ(app->volume(), 0);
    views.moveSlider("volume", 14);  // out of range: limited to 10
    EXPECT_FLOAT_EQ(player1.volume(), 1.0f);
    views.doubleClickRow(1);  // a new movie gets the level and the mute state
    EXPECT_FLOAT_EQ(player1.volume(), 1.0f);
    EXPECT_TRUE(player1.isMuted());
}

TEST_F(PlaybackControllerTest, AnUnplayableRecordingShowsTheMessageOnceAndClearsTheIndicator) {
    views.doubleClickRow(0);
    player1.failLoading(-13, "unrecognized file format");
    EXPECT_EQ(messages.bodies.size(), 1u);
    EXPECT_FALSE(pmIsWaiting());
    EXPECT_FALSE(app->isVideoLoading());
    EXPECT_NE(log().find("AppDelegate - open video error code = -13 : unrecognized file format"), std::string::npos);

    player1.openSucceeds = false;  // a slot that cannot open at all: the player holds no movie
    views.doubleClickRow(1);
    EXPECT_EQ(messages.bodies.size(), 2u);
    EXPECT_EQ(app->getState(), 0);
    EXPECT_EQ(app->getCurPlayIndex(), 1);
    EXPECT_FALSE(app->isPlaybackTimerRunning());
}

TEST_F(PlaybackControllerTest, PlayWithNothingOpenStartsTheSelectedRow) {
    views.selectedRow = 2;
    views.pressPlay();
    EXPECT_EQ(player1.path(), third);
    player1.load(10.0);
    EXPECT_EQ(app->getState(), 2);
}

TEST_F(PlaybackControllerTest, TheClockDrivesTheDisplayOnlyWhilePlayingAndSeekingMovesBoth) {
    openAndPlay(0);
    player1.setTimeByItself(12.9);
    clock.advance(0.5);
    EXPECT_EQ(views.sliderValue, 12);
    EXPECT_EQ(views.playedTime, 12);

    views.pressPlay();  // pause
    player1.deliverNotifications();
    player1.setTimeByItself(20.0);
    clock.advance(0.5);
    EXPECT_DOUBLE_EQ(app->selectedMovieCurrentTime(), 20.0);  // refreshed...
    EXPECT_EQ(views.sliderValue, 12);                          // ...but the views stay

    views.moveSlider("time", 25);  // a seek while paused moves display and playback together
    EXPECT_DOUBLE_EQ(player1.currentTime(), 25.0);
    EXPECT_EQ(views.playedTime, 25);
    EXPECT_EQ(app->getState(), 3);
}

TEST_F(PlaybackControllerTest, SleepAndWindowClosePauseOnlyAPlayingRecording) {
    app->makeSleep();
    EXPECT_EQ(log().find("paused playback before sleep"), std::string::npos);
    openAndPlay(0);
    app->windowWillClose();
    EXPECT_EQ(app->getState(), 3);
    player1.deliverNotifications();
    EXPECT_EQ(views.playButton, 0);
    app->makeSleep();  // paused: nothing to pause, but a recording is open
    EXPECT_NE(log().find("AppDelegate::makeSleep - paused playback before sleep!"), std::string::npos);
    views.pressPlay();
    app->applicationWillTerminate();
    EXPECT_FALSE(player1.hasMovie());
    EXPECT_FALSE(app->isPlaybackTimerRunning());
}
