#include "app/RearCameraLock.h"
#include "platform/MpvMoviePlayer.h"
#include "platform/QtScheduler.h"

#include "support/QtTestCase.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <clocale>
#include <cmath>
#include <memory>

namespace {

// Starts each player when it can play, as the window's controller does.
class StartWhenReady : public MovieObserver {
public:
    float rate = 1.0f;
    void movieLoadStateChanged(MoviePlayer& movie) override {
        if (movie.loadState() == kMovieLoadStatePlayable) movie.setRate(rate);
    }
};

class RearCameraLockMpvTest : public QtTestCase {
protected:
    void SetUp() override {
        front_.addObserver(&starter_);
        rear_.addObserver(&starter_);
    }
    void TearDown() override {
        lock_.disengage();
        front_.removeObserver(&starter_);
        rear_.removeObserver(&starter_);
    }
    // How far apart the two clocks are. The frames on show step by 1/20 and 1/15 s: their times
    // differ by up to a rear frame even when the two run exactly together.
    double apart() const { return std::fabs(front_.playbackClock() - rear_.playbackClock()); }
    // The largest distance over `seconds`, looking every 0.25 s.
    double widestApart(double seconds) {
        double widest = 0.0;
        for (int i = 0; i < int(seconds / 0.25); ++i) {
            spinFor(0.25);
            widest = std::max(widest, apart());
        }
        return widest;
    }

    MpvMoviePlayer front_;
    MpvMoviePlayer rear_;
    QtScheduler scheduler_;
    RearCameraLock lock_{front_, rear_, scheduler_};
    StartWhenReady starter_;
};

// A frame of the finer of the two rates.
const double kFrame = 1.0 / 20.0;
// The clocks are read on a main thread that a loaded machine may hold up for a few milliseconds,
// which the rate doubles: a bound for one look, not for the lock.
const double kLookSlack = kFrame / 4;

}  // namespace

TEST_F(RearCameraLockMpvTest, PairStartsTogetherStaysWithinAFrameAndIsPulledBackWhenOff) {
    // Front 480 x 270 at 20 frames a second, rear 320 x 180 at 15, 30 s each.
    const std::string front = sampleCardPath(sampleCardEntry("FILE0005F.MP4"));
    const std::string rear = sampleCardPath(sampleCardEntry("FILE0005R.MP4"));
    starter_.rate = 2.0f;
    lock_.engage();
    ASSERT_TRUE(front_.open(front));
    ASSERT_TRUE(rear_.open(rear));
    ASSERT_TRUE(spinUntil([&] { return front_.currentTime() > 0.5; }));
    EXPECT_FALSE(lock_.isStarting());
    EXPECT_LE(widestApart(1.5), kFrame + kLookSlack);

    // The rear lands a few frames behind: steered back without a move.
    rear_.setCurrentTime(front_.currentTime() - 0.15);
    spinFor(0.3);
    EXPECT_GT(apart(), kFrame);
    ASSERT_TRUE(spinUntil([&] { return apart() < kFrame / 2; }, 10.0));
    EXPECT_EQ(lock_.reseekCount(), 0);

    // Far off: moved, then within a frame again.
    front_.setCurrentTime(2.0);
    ASSERT_TRUE(spinUntil([&] { return lock_.reseekCount() == 1; }, 10.0));
    // The rear lands a little behind (its seek takes a moment while the front plays on).
    spinFor(0.5);
    ASSERT_TRUE(spinUntil([&] { return apart() < kFrame / 2; }, 10.0));
    EXPECT_LE(widestApart(1.0), kFrame + kLookSlack);
    // None of it was a rate change.
    EXPECT_EQ(front_.rate(), 2.0f);
    EXPECT_EQ(rear_.rate(), 2.0f);
}
