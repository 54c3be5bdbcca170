// The controller driving the real libmpv players (headless) and Qt's timers on copies of sample-card
// recordings, read back from the stamps in the frames; only the views are fakes.
#include "ControllerFixture.h"
#include "platform/MpvMoviePlayer.h"
#include "platform/QtScheduler.h"
#include "tools/SampleTelemetry.h"

#include "support/MovieStamp.h"
#include "support/QtWait.h"

#include <cmath>

namespace {

class ControllerWithMpv : public ControllerFixture<MpvMoviePlayer, QtScheduler, QtTestCase> {
protected:
    // Double-clicks the row of `path` and waits until it plays.
    void playRow(const std::string& path) {
        views.doubleClickRow(rowOf(path));
        ASSERT_TRUE(spinUntil([&] { return app->selectedMovieIsPlaying(); })) << path;
    }
    // Pauses from the play bar, moves the time slider to `second` and waits for the picture of it.
    void pauseAndSeek(int second, int fps) {
        views.pressPlay();
        ASSERT_TRUE(spinUntil([&] { return !app->selectedMovieIsPlaying(); }));
        views.moveSlider("time", second);
        EXPECT_TRUE(shows(player1, second * fps));
    }
    static bool shows(MoviePlayer& player, int frame) {
        return spinUntil([&] { return readMovieFrame(player.frameImage()) == frame; }, 5.0);
    }
    // The speed the recording's telemetry means at `second`.
    static double meantSpeed(const std::string& sampleName, int second) {
        const SampleEntry& entry = sampleCardEntry(sampleName);
        return sampleTelemetrySecond(*sampleTelemetrySpecOf(entry), entry, second).speedKmh;
    }
};

}  // namespace

TEST_F(ControllerWithMpv, PlaysOneRecordingAfterAnotherWithItsOwnTelemetryOnTheDashboard) {
    // An AVI whose positions sit in chunks behind its index, then an MP4 with a log named after it.
    const std::string avi = addCopy("FILE0101.AVI", "DCIM/Movie/FILE0101.AVI", 0);
    const std::string mp4 = addCopy("EMERGENCY.MP4", "DCIM/Movie/EMERGENCY.MP4", 1);
    std::filesystem::copy_file(sampleCardFolder() + "/DCIM/Movie/EMERGENCY.MP4.txt", mp4 + ".txt");
    start();
    ASSERT_NO_FATAL_FAILURE(playRow(avi));
    EXPECT_NEAR(app->selectedMovieDuration(), 20.0, 0.1);
    EXPECT_TRUE(views.pathDrawn);

    // Paused at a second: the picture is that second's frame and the dashboard that second's sample.
    ASSERT_NO_FATAL_FAILURE(pauseAndSeek(7, 30));
    ASSERT_EQ(views.position.size(), 5u);
    EXPECT_NEAR(views.position[2], meantSpeed("FILE0101.AVI", 7), 0.1);

    // From near its end it plays on into the next entry, with its own telemetry and the event
    // second of its G-sensor peak.
    views.moveSlider("time", 18);
    views.pressPlay();
    ASSERT_TRUE(spinUntil([&] { return app->getCurPlayIndex() == rowOf(mp4) && app->selectedMovieIsPlaying(); }));
    EXPECT_EQ(player1.path(), mp4);
    EXPECT_EQ(views.selectedRow, rowOf(mp4));
    EXPECT_EQ(views.eventMark, sampleTelemetrySpecOf(sampleCardEntry("EMERGENCY.MP4"))->peakSecond);
    EXPECT_TRUE(app->sensorGraphic().present);
    ASSERT_NO_FATAL_FAILURE(pauseAndSeek(5, 15));
    EXPECT_NEAR(views.position[2], meantSpeed("EMERGENCY.MP4", 5), 0.1);

    EXPECT_TRUE(messages.empty());
}

TEST_F(ControllerWithMpv, AFrontAndRearPairPlaysWithinOneFrameAndARearThatFallsBehindIsBroughtBack) {
    const std::string front = addCopy("FILE0002F.MP4", "DCIM/NormalF/FILE0002F.MP4", 0);
    const std::string rear = addCopy("FILE0002R.MP4", "DCIM/NormalR/FILE0002R.MP4", 0);
    start();
    ASSERT_NO_FATAL_FAILURE(playRow(rear));  // the rear row plays the pair, front first
    EXPECT_EQ(player1.path(), front);
    EXPECT_EQ(player2.path(), rear);
    ASSERT_TRUE(spinUntil([&] { return player2.loadState() == kMovieLoadStatePlayable && player2.rate() == 1.0f; }));
    EXPECT_TRUE(player2.isMuted());

    // At every tick of the playback timer the two clocks are within a frame of the rear camera
    // (15 a second), the coarser of the two, even at double speed.
    const double rearFrame = 1.0 / 15.0;
    const auto apart = [&] { return std::fabs(player1.playbackClock() - player2.playbackClock()); };
    const auto widestApart = [&](double seconds) {
        double widest = 0.0;
        for (int i = 0; i < int(seconds / 0.5); ++i) {
            spinFor(0.5);
            widest = std::max(widest, apart());
        }
        return widest;
    };
    spinFor(1.0);  // the lock settles after the start
    views.pressSpeed();
    views.pressSpeed();
    ASSERT_TRUE(spinUntil([&] { return player1.rate() == 2.0f && player2.rate() == 2.0f; })) << player2.rate();
    spinFor(1.0);
    EXPECT_LE(widestApart(4.0), rearFrame);
    // Back near the start, a rear a few frames behind is steered back; one far behind is moved.
    views.moveSlider("time", 2);
    for (const double behind : {0.15, 0.6}) {
        player2.setCurrentTime(player1.currentTime() - behind);
        ASSERT_TRUE(spinUntil([&] { return apart() < rearFrame / 2; }, 10.0)) << behind;
    }

    // Paused together, their pictures show the same second.
    views.pressPlay();
    ASSERT_TRUE(spinUntil([&] { return player1.rate() == 0.0f && player2.rate() == 0.0f; }));
    spinFor(0.6);
    const auto frontStamp = readMovieStamp(player1.frameImage());
    const auto rearStamp = readMovieStamp(player2.frameImage());
    ASSERT_TRUE(frontStamp && rearStamp);
    EXPECT_NEAR(frontStamp->frame / 20.0, rearStamp->frame / 15.0, rearFrame + 1.0 / 20.0);
}
