#include "ControllerFixture.h"

class DualCameraControllerTest : public ControllerTest {
protected:
    void SetUp() override {
        front1 = addRecording("NormalF/FILE0001F.MP4", 0);
        rear1 = addRecording("NormalR/FILE0001R.MP4", 0);
        front2 = addRecording("NormalF/FILE0002F.MP4", 1);
        rear2 = addRecording("NormalR/FILE0002R.MP4", 1);
        start();
        ASSERT_EQ(app->playlist().size(), 4u);
        ASSERT_TRUE(app->isDualCameraMode());
    }

    int rowOf(const std::string& path) const {
        for (std::size_t i = 0; i < app->playlist().size(); ++i)
            if (app->playlist()[i].URL() == path) return static_cast<int>(i);
        return -1;
    }

    // Opens the pair of `row` and lets both players report ready.
    void openPair(int row) {
        views.doubleClickRow(row);
        player1.load(30.0);
        player2.load(29.6);
        player1.deliverNotifications();
        player2.deliverNotifications();
    }

    std::string front1, rear1, front2, rear2;
};

TEST_F(DualCameraControllerTest, ChoosingTheRearRowSwapsTheViewsAndPlaysBothWithTheFrontFirst) {
    EXPECT_TRUE(views.windowSwitchVisible);
    openPair(rowOf(rear1));
    EXPECT_EQ(player1.path(), front1);
    EXPECT_EQ(player2.path(), rear1);
    EXPECT_EQ(views.selectedRow, rowOf(front1));
    EXPECT_TRUE(app->isSwitchVideo());
    EXPECT_EQ(views.movie1.viewFrame.width, 291);  // the front view became the small one
    EXPECT_EQ(views.movie1.fill, 55);
    EXPECT_EQ(views.movie2.fill, 0);
    EXPECT_TRUE(player2.isMuted());
    EXPECT_FLOAT_EQ(player2.rate(), 1.0f);
    EXPECT_TRUE(app->has2Videos());

    // The switch button twice gives the first frames back.
    views.pressButton(0);  // unknown codes are ignored
    app->onButtonWindowSwitch();
    EXPECT_EQ(views.movie1.viewFrame.width, 640);
    app->onButtonWindowSwitch();
    app->onButtonWindowSwitch();
    EXPECT_EQ(views.movie1.viewFrame.width, 640);
    EXPECT_EQ(views.movie1.fill, 0);
}

TEST_F(DualCameraControllerTest, APairStartsTogetherWhenBothAreReadyAndStaysLocked) {
    views.doubleClickRow(rowOf(front2));
    EXPECT_TRUE(app->isRearLocked());
    player1.load(30.0);
    EXPECT_FLOAT_EQ(player1.rate(), 1.0f);  // asked to play...
    EXPECT_TRUE(player1.isHeld());          // ...but held until the rear can play too
    player2.load(30.0);
    EXPECT_FALSE(player1.isHeld());
    EXPECT_FALSE(player2.isHeld());
    player1.play(2.0);
    player2.play(2.0);
    EXPECT_DOUBLE_EQ(player1.currentTime(), player2.currentTime());

    app->setCurPlaylistIndex2(-1, false);  // the rear closed: the front plays alone, unlocked
    EXPECT_FALSE(app->isRearLocked());
}

TEST_F(DualCameraControllerTest, PausingFromTheBarPausesBothWithoutEchoAndAlignsTheRear) {
    openPair(rowOf(front1));
    player1.setTimeByItself(10.0);
    player2.setTimeByItself(9.5);
    views.pressPlay();  // pause
    EXPECT_FLOAT_EQ(player1.rate(), 0.0f);
    EXPECT_FLOAT_EQ(player2.rate(), 0.0f);
    EXPECT_DOUBLE_EQ(player2.currentTime(), 10.0);
    EXPECT_NE(log().find("Synchronize 2 videos - 0 sec"), std::string::npos);  // %.f of 0.5
    const int seeks = player2.seeks.size();
    player1.deliverNotifications();
    player2.deliverNotifications();
    EXPECT_EQ(player2.seeks.size(), seeks);  // no mirroring came back
    EXPECT_EQ(views.playButton, 0);

    views.pressPlay();
    player1.deliverNotifications();
    player2.deliverNotifications();
    EXPECT_FLOAT_EQ(player1.rate(), 1.0f);
    EXPECT_FLOAT_EQ(player2.rate(), 1.0f);
}

TEST_F(DualCameraControllerTest, ARearThatStallsPausesTheFrontButARearEndingFirstDoesNot) {
    openPair(rowOf(front1));
    player1.setTimeByItself(10.0);
    clock.advance(0.5);
    player2.changeRateByItself(0.0f);  // the rear stalls mid-way
    player2.deliverNotifications();
    EXPECT_FLOAT_EQ(player1.rate(), 0.0f);
    EXPECT_EQ(views.playButton, 0);
    player1.deliverNotifications();  // the echo of that mirroring is not mirrored back
    EXPECT_FLOAT_EQ(player2.rate(), 0.0f);

    views.pressPlay();
    player1.deliverNotifications();
    player2.deliverNotifications();
    player1.setTimeByItself(29.5);
    clock.advance(0.5);
    player2.reachEnd();  // the rear ends half a second before the front
    EXPECT_FLOAT_EQ(player1.rate(), 1.0f);
    EXPECT_EQ(views.playButton, 1);
    EXPECT_NE(log().find("Rear video is stopped firstly"), std::string::npos);
}

TEST_F(DualCameraControllerTest, StepsGoByPairsWrapForTheUserAndStopAtTheEnd) {
    openPair(rowOf(front1));
    views.pressButton(3);
    EXPECT_EQ(player1.path(), front2);
    EXPECT_EQ(player2.path(), rear2);
    player1.load(30.0);
    player2.load(30.0);
    views.pressButton(3);  // next on the last pair wraps to the first entry
    EXPECT_EQ(player1.path(), front1);
    player1.load(30.0);
    player2.load(30.0);
    views.pressButton(4);  // previous from the first wraps to the last entry: the rear of pair 2
    EXPECT_EQ(player1.path(), front2);
    EXPECT_EQ(player2.path(), rear2);
    player1.load(30.0);
    player2.load(30.0);
    player1.deliverNotifications();
    player1.reachEnd();  // the end of the last pair stops
    EXPECT_EQ(player1.path(), front2);
    EXPECT_EQ(app->getState(), 3);
}

TEST_F(DualCameraControllerTest, SeekingMovesBothPlayersAndKeepsThemPlaying) {
    openPair(rowOf(front1));
    views.moveSlider("time", 17);
    EXPECT_DOUBLE_EQ(player1.currentTime(), 17.0);
    EXPECT_DOUBLE_EQ(player2.currentTime(), 17.0);
    EXPECT_FLOAT_EQ(player1.rate(), 1.0f);
    EXPECT_FLOAT_EQ(player2.rate(), 1.0f);
    // Paused and resumed before the players reported: no rate change reaches the controller.
    const auto rateLines = [&] {
        const std::string text = log();
        return std::count(text.begin(), text.end(), '\n');
    };
    const auto before = rateLines();
    player1.deliverNotifications();
    player2.deliverNotifications();
    EXPECT_EQ(rateLines(), before);
}

TEST(DualCameraMode, OffWhenAnotherRecordingSplitsThePair) {
    struct Split : ControllerTest {
        void TestBody() override {}
    } fixture;
    fixture.addRecording("NormalF/FILE0001F.MP4", 0);
    fixture.addRecording("Other/FILE0007.MP4", 0);
    fixture.addRecording("NormalR/FILE0001R.MP4", 1);
    fixture.start();
    EXPECT_FALSE(fixture.app->isDualCameraMode());
    EXPECT_FALSE(fixture.views.windowSwitchVisible);
}
