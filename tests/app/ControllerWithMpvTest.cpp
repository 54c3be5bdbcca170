// The controller driving the real libmpv players (headless) and Qt's timers, on copies of sample-card
// recordings; only the views are fakes.
#include "CountingMessageBoxes.h"
#include "FakeViews.h"
#include "app/AppDelegate.h"
#include "platform/MpvMoviePlayer.h"
#include "platform/QtScheduler.h"
#include "tools/SampleTelemetry.h"

#include "support/MovieStamp.h"
#include "support/QtTestCase.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <cmath>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

class ControllerWithMpvTest : public QtTestCase {
protected:
    ControllerWithMpvTest() : views_(center_) { pmSetMessageBoxPresenter(&messages_); }
    ~ControllerWithMpvTest() override {
        app_.reset();
        pmSetMessageBoxPresenter(nullptr);
    }

    std::string card() const { return home_.path() + "/card"; }

    // Copies a sample-card file to `relative` under this test's card, dated `minute` minutes after
    // 08:00 of one day, so that the copies play in the order they are added.
    std::string addCopy(const std::string& sampleName, const std::string& relative, int minute) {
        const std::string target = card() + "/" + relative;
        fs::create_directories(fs::path(target).parent_path());
        fs::copy_file(sampleCardPath(sampleCardEntry(sampleName)), target);
        ::chmod(target.c_str(), 0644);
        EXPECT_TRUE(setLocalFileTime(target, 2026, 5, 9, 8, minute));
        return target;
    }
    // The log of a sample-card recording, copied beside `recording` under the same kind of name.
    void addLogCopy(const std::string& sampleLog, const std::string& relative) {
        fs::copy_file(sampleCardFolder() + "/" + sampleLog, card() + "/" + relative);
    }

    void start() {
        AppServices services{.notifications = center_,
                             .scheduler = scheduler_,
                             .player1 = player1_,
                             .player2 = player2_,
                             .folderWatch = nullptr,
                             .connectivity = nullptr,
                             .openAddress = {},
                             .chooseFolder = {},
                             .runInBackground = {}};
        app_ = std::make_unique<AppDelegate>(services, views_.all());
        app_->applicationWillFinishLaunching();
        app_->applicationDidFinishLaunching(card());
    }

    int rowOf(const std::string& path) const {
        for (std::size_t i = 0; i < app_->playlist().size(); ++i)
            if (app_->playlist()[i].URL() == path) return static_cast<int>(i);
        return -1;
    }

    // Double-clicks the row of `path` and waits until it plays (the controller starts it when the
    // first frame is decoded).
    void playRow(const std::string& path) {
        views_.doubleClickRow(rowOf(path));
        ASSERT_TRUE(spinUntil([&] { return app_->selectedMovieIsPlaying() || !messages_.bodies.empty(); }))
            << "never started: " << path;
        ASSERT_TRUE(messages_.bodies.empty()) << messages_.bodies.front();
    }

    // Pauses from the play bar, then moves the time slider to `second` and waits for the picture.
    void pauseAndSeek(int second) {
        views_.pressPlay();
        ASSERT_TRUE(spinUntil([&] { return !app_->selectedMovieIsPlaying(); }));
        views_.moveSlider("time", second);
        ASSERT_TRUE(spinUntil([&] { return std::fabs(player1_.currentTime() - second) < 1e-3; }));
    }

    TempHome home_;
    NotificationCenter center_;
    QtScheduler scheduler_;
    MpvMoviePlayer player1_, player2_;
    FakeViews views_;
    CountingMessageBoxes messages_;
    std::unique_ptr<AppDelegate> app_;
};

// Whether the player comes to show frame `frame` (the picture may follow a seek a moment later).
bool showsFrame(MoviePlayer& player, int frame) {
    return spinUntil([&] { return readMovieFrame(player.frameImage()) == frame; }, 5.0);
}

// The speed the recording's telemetry means at `second`.
double meantSpeed(const std::string& sampleName, int second) {
    const SampleEntry& entry = sampleCardEntry(sampleName);
    return sampleTelemetrySecond(*sampleTelemetrySpecOf(entry), entry, second).speedKmh;
}

}  // namespace

TEST_F(ControllerWithMpvTest, PlaysOneRecordingAfterAnotherWithItsOwnTelemetryOnTheDashboard) {
    // An AVI whose positions sit in chunks behind its index, then an MP4 with a log named after it.
    const std::string avi = addCopy("FILE0101.AVI", "DCIM/Movie/FILE0101.AVI", 0);
    const std::string mp4 = addCopy("EMERGENCY.MP4", "DCIM/Movie/EMERGENCY.MP4", 1);
    addLogCopy("DCIM/Movie/EMERGENCY.MP4.txt", "DCIM/Movie/EMERGENCY.MP4.txt");
    start();
    ASSERT_EQ(app_->playlist().size(), 2u);

    ASSERT_NO_FATAL_FAILURE(playRow(avi));
    EXPECT_NEAR(app_->selectedMovieDuration(), 20.0, 0.1);
    EXPECT_EQ(views_.sliderMax, 20);
    EXPECT_TRUE(views_.pathDrawn);

    // Paused at a second: the picture is that second's frame and the dashboard that second's sample.
    ASSERT_NO_FATAL_FAILURE(pauseAndSeek(7));
    EXPECT_TRUE(showsFrame(player1_, 7 * 30));
    ASSERT_EQ(views_.position.size(), 5u);
    EXPECT_NEAR(views_.position[2], meantSpeed("FILE0101.AVI", 7), 0.1);

    // From near its end it plays on into the next entry, which brings its own telemetry and the
    // event second of its G-sensor peak.
    views_.moveSlider("time", 18);
    views_.pressPlay();
    ASSERT_TRUE(spinUntil([&] { return app_->getCurPlayIndex() == rowOf(mp4) && app_->selectedMovieIsPlaying(); }));
    EXPECT_EQ(player1_.path(), mp4);
    EXPECT_EQ(views_.selectedRow, rowOf(mp4));
    EXPECT_EQ(views_.eventMark, sampleTelemetrySpecOf(sampleCardEntry("EMERGENCY.MP4"))->peakSecond);
    ASSERT_NO_FATAL_FAILURE(pauseAndSeek(5));
    EXPECT_TRUE(showsFrame(player1_, 5 * 15));
    EXPECT_NEAR(views_.position[2], meantSpeed("EMERGENCY.MP4", 5), 0.1);

    // The end of the last entry stops playback there and goes back to its first frame.
    views_.moveSlider("time", 9);
    views_.pressPlay();
    bool reachedEnd = false;
    ASSERT_TRUE(spinUntil([&] {
        reachedEnd = reachedEnd || player1_.currentTime() > 9.5;
        return reachedEnd && !app_->selectedMovieIsPlaying();
    }));
    EXPECT_TRUE(showsFrame(player1_, 0));
    spinFor(0.6);
    EXPECT_EQ(app_->getCurPlayIndex(), rowOf(mp4));
    EXPECT_EQ(player1_.path(), mp4);
    EXPECT_EQ(views_.playButton, 0);
    EXPECT_TRUE(messages_.bodies.empty());
}

TEST_F(ControllerWithMpvTest, PlaysAtTwiceTheSpeedWhenTheUserAsks) {
    const std::string mp4 = addCopy("FILE0201.MP4", "DCIM/Movie/FILE0201.MP4", 0);
    start();
    ASSERT_NO_FATAL_FAILURE(playRow(mp4));
    views_.pressSpeed();
    views_.pressSpeed();  // 1.5, then 2.0
    EXPECT_FLOAT_EQ(app_->playSpeed(), 2.0f);
    ASSERT_TRUE(spinUntil([&] { return player1_.rate() == 2.0f; }));

    // Media time against wall time over a few seconds, both read here: a ratio, not a deadline.
    const double mediaStart = player1_.currentTime();
    QElapsedTimer wall;
    wall.start();
    ASSERT_TRUE(spinUntil([&] { return player1_.currentTime() >= mediaStart + 6.0; }));
    const double ratio = (player1_.currentTime() - mediaStart) / (double(wall.elapsed()) / 1000.0);
    EXPECT_GT(ratio, 1.6);
    EXPECT_LT(ratio, 2.4);

    // The played time on the bar follows the player.
    spinFor(0.6);
    EXPECT_NEAR(views_.playedTime, player1_.currentTime(), 1.5);
}

TEST_F(ControllerWithMpvTest, AMissingAndATruncatedRecordingEachGiveTheMessageOnce) {
    const std::string good = addCopy("FILE0201.MP4", "DCIM/Movie/FILE0201.MP4", 0);
    const std::string missing = addCopy("FILE0201.MP4", "DCIM/Movie/FILE0202.MP4", 1);
    const std::string truncated = addCopy("FILE0201.MP4", "DCIM/Movie/FILE0203.MP4", 2);
    start();
    ASSERT_EQ(app_->playlist().size(), 3u);
    // Both go wrong after the scan: one is gone, the other lost its end (and with it the index).
    ASSERT_EQ(::unlink(missing.c_str()), 0);
    ASSERT_EQ(::truncate(truncated.c_str(), fs::file_size(truncated) / 2), 0);

    for (const std::string& broken : {missing, truncated}) {
        messages_.bodies.clear();
        views_.doubleClickRow(rowOf(broken));
        ASSERT_TRUE(spinUntil([&] { return !messages_.bodies.empty(); })) << broken;
        spinFor(1.0);  // nothing more comes
        EXPECT_EQ(messages_.bodies.size(), 1u) << broken;
        EXPECT_FALSE(app_->selectedMovieIsPlaying());
        EXPECT_FALSE(app_->isVideoLoading());
    }

    // The playlist still plays what can be played.
    messages_.bodies.clear();
    ASSERT_NO_FATAL_FAILURE(playRow(good));
}

TEST_F(ControllerWithMpvTest, AFrontAndRearPairPlaysWithinOneFrame) {
    const std::string front = addCopy("FILE0002F.MP4", "DCIM/NormalF/FILE0002F.MP4", 0);
    const std::string rear = addCopy("FILE0002R.MP4", "DCIM/NormalR/FILE0002R.MP4", 0);
    start();
    ASSERT_TRUE(app_->isDualCameraMode());
    ASSERT_NO_FATAL_FAILURE(playRow(rear));  // the rear row plays the pair, front first
    EXPECT_EQ(player1_.path(), front);
    EXPECT_EQ(player2_.path(), rear);
    EXPECT_TRUE(app_->isRearLocked());
    // The front's start is mirrored to the rear while it may still be loading; once it can play it
    // runs, and without sound.
    ASSERT_TRUE(spinUntil([&] { return player2_.loadState() == kMovieLoadStatePlayable && player2_.rate() == 1.0f; }));
    EXPECT_TRUE(player2_.isMuted());

    // At every tick of the playback timer the two clocks are within a frame of the rear camera
    // (15 a second), the coarser of the two, at normal and at double speed.
    const double rearFrame = 1.0 / 15.0;
    auto widestApart = [&](double seconds) {
        double widest = 0.0;
        for (int i = 0; i < int(seconds / 0.5); ++i) {
            spinFor(0.5);
            widest = std::max(widest, std::fabs(player1_.playbackClock() - player2_.playbackClock()));
        }
        return widest;
    };
    spinFor(1.0);  // the lock settles after the start
    EXPECT_LE(widestApart(4.0), rearFrame);
    views_.pressSpeed();
    views_.pressSpeed();
    ASSERT_TRUE(spinUntil([&] { return player2_.rate() == 2.0f; }));
    spinFor(1.0);
    EXPECT_LE(widestApart(4.0), rearFrame);

    // Paused together, their pictures show the same second.
    views_.pressPlay();
    ASSERT_TRUE(spinUntil([&] { return player1_.rate() == 0.0f && player2_.rate() == 0.0f; }));
    spinFor(0.6);
    const auto frontStamp = readMovieStamp(player1_.frameImage());
    const auto rearStamp = readMovieStamp(player2_.frameImage());
    ASSERT_TRUE(frontStamp && rearStamp);
    EXPECT_NEAR(frontStamp->frame / 20.0, rearStamp->frame / 15.0, rearFrame + 1.0 / 20.0);
}
