#include "app/RearCameraLock.h"

#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct RateCounter : MovieObserver {
    int rates = 0;
    void movieRateChanged(MoviePlayer&) override { ++rates; }
};

// A front and a rear player under the lock, on a manual clock.
struct Pair {
    FakeMoviePlayer front, rear;
    ManualScheduler clock;
    RearCameraLock lock{front, rear, clock};
    RateCounter frontRates, rearRates;

    Pair() {
        front.addObserver(&frontRates);
        rear.addObserver(&rearRates);
    }
    // Opens both under the lock and brings both to playing at `rate`, as the owner does.
    void start(float rate = 1.0f, double duration = 60.0) {
        lock.engage();
        front.open("/card/F.MP4");
        rear.open("/card/R.MP4");
        for (FakeMoviePlayer* player : {&front, &rear}) {
            player->load(duration);
            player->setRate(rate);
            player->deliverNotifications();
        }
    }
    // Lets wall time pass in slices: both clocks move, the lock looks every 0.1 s. Returns the
    // largest speed trim away from 1 seen.
    double run(double seconds) {
        double widest = 0.0;
        for (int slice = 0; slice < std::lround(seconds / 0.01); ++slice) {
            front.play(0.01);
            rear.play(0.01);
            clock.advance(0.01);
            widest = std::max(widest, std::fabs(rear.speedTrim() - 1.0));
        }
        return widest;
    }
    double apart() const { return front.currentTime() - rear.currentTime(); }
};

}  // namespace

TEST(RearCameraLock, HoldsBothUntilBothCanPlayOrOneCannotThenStartsThemTogether) {
    enum Second { Plays, FailsToLoad, CannotOpen };
    struct Case {
        const char* name;
        bool rearFirst;
        Second second;  // what becomes of the other one
    };
    for (const Case c : {Case{"front ready first", false, Plays}, Case{"rear ready first", true, Plays},
                         Case{"rear fails to load", false, FailsToLoad}, Case{"front fails to load", true, FailsToLoad},
                         Case{"rear cannot open at all", false, CannotOpen}}) {
        SCOPED_TRACE(c.name);
        Pair p;
        p.lock.engage();
        p.front.open("/card/F.MP4");
        p.rear.openSucceeds = c.second != CannotOpen;
        p.rear.open("/card/R.MP4");
        FakeMoviePlayer& first = c.rearFirst ? p.rear : p.front;
        FakeMoviePlayer& second = c.rearFirst ? p.front : p.rear;
        first.load();
        first.setRate(1.0f);
        p.run(1.0);
        if (c.second != CannotOpen) {
            EXPECT_TRUE(p.lock.isStarting());
            EXPECT_EQ(first.currentTime(), 0.0);
            if (c.second == Plays) second.load();
            else second.failLoading();
        }
        EXPECT_FALSE(p.lock.isStarting());
        EXPECT_FALSE(p.front.isHeld() || p.rear.isHeld());
        if (c.second == Plays) second.setRate(1.0f);
        const double before = first.currentTime();
        p.run(2.0);
        EXPECT_NEAR(first.currentTime() - before, 2.0, 1e-9);
        if (c.second == Plays) EXPECT_NEAR(p.apart(), 0.0, 1e-9);
        // Only the owner's own rate changes were reported.
        EXPECT_EQ(p.frontRates.rates + p.rearRates.rates, c.second == Plays ? 2 : 1);
    }
}

TEST(RearCameraLock, SteersARearOffByMoreThanAFrameBackByBoundedSpeedChangesAndLeavesTheFrontAlone) {
    struct Case {
        double behind;  // seconds the rear is behind the front (< 0: ahead)
        float rate;
    };
    for (const Case c : {Case{1.0 / 30.0, 1.0f}, Case{0.1, 1.0f}, Case{-0.1, 1.0f}, Case{0.25, 2.0f},
                         Case{-0.2, 0.5f}, Case{0.05, 1.5f}}) {
        SCOPED_TRACE(std::to_string(c.behind) + " s behind at rate " + std::to_string(c.rate));
        Pair p;
        p.start(c.rate);
        p.front.setTimeByItself(10.0);
        p.rear.setTimeByItself(10.0 - c.behind);
        double firstTrim = 1.0, widest = 0.0;
        for (int slice = 0; slice < 1500; ++slice) {
            widest = std::max(widest, p.run(0.01));
            if (firstTrim == 1.0) firstTrim = p.rear.speedTrim();
        }
        if (std::fabs(c.behind) <= 1.0 / 30.0 + 1e-9) {
            // Within one frame, the smallest step the times take: nothing to steer.
            EXPECT_EQ(widest, 0.0);
            EXPECT_NEAR(p.apart(), c.behind, 1e-9);
        } else {
            // Sped up when behind, slowed down when ahead, by 5 % at most, until within a frame.
            EXPECT_EQ(firstTrim > 1.0, c.behind > 0.0);
            EXPECT_LE(widest, 0.05 + 1e-9);
            EXPECT_LT(std::fabs(p.apart()), 1.0 / 30.0);
        }
        EXPECT_EQ(p.rear.speedTrim(), 1.0);
        EXPECT_EQ(p.lock.reseekCount(), 0);
        EXPECT_TRUE(p.rear.seeks.empty());
        EXPECT_EQ(p.front.speedTrim(), 1.0);
    }
}

TEST(RearCameraLock, AFarOffRearIsMovedToTheFrontButNotAgainBeforeItsMoveHadTime) {
    Pair p;
    p.start();
    p.run(5.0);
    p.rear.setTimeByItself(p.rear.currentTime() - 0.8);  // the rear's decoder fell behind
    p.run(0.1);
    ASSERT_EQ(p.rear.seeks.size(), 1u);
    EXPECT_NEAR(p.apart(), 0.0, 1e-9);
    // The move takes the rear's engine a while; until then it is still far off but not moved again.
    p.rear.setTimeByItself(p.rear.currentTime() - 0.5);
    p.run(0.5);
    EXPECT_EQ(p.rear.seeks.size(), 1u);
    p.run(1.0);
    EXPECT_EQ(p.lock.reseekCount(), 2);
    p.run(5.0);
    EXPECT_LT(std::fabs(p.apart()), 1.0 / 30.0);
    EXPECT_EQ(p.frontRates.rates + p.rearRates.rates, 2);
}

TEST(RearCameraLock, NothingIsSteeredWhilePausedOrAfterTheShorterRearEnded) {
    Pair p;
    p.start(1.0f, 20.0);
    p.run(2.0);
    p.front.setRate(0.0f);
    p.rear.setRate(0.0f);
    p.rear.setTimeByItself(p.rear.currentTime() - 0.5);
    EXPECT_EQ(p.run(1.0), 0.0);
    EXPECT_TRUE(p.rear.seeks.empty());

    p.front.setCurrentTime(15.0);
    p.rear.setCurrentTime(15.0);
    p.front.setRate(1.0f);
    p.rear.setRate(1.0f);
    p.run(4.0);
    p.rear.reachEnd();
    EXPECT_EQ(p.run(0.9), 0.0);
    EXPECT_EQ(p.rear.seeks.size(), 1u);  // the test's own
    EXPECT_TRUE(p.rear.atEnd());
}

TEST(RearCameraLock, DisengagingOrDestroyingReleasesBothAndStopsLooking) {
    Pair p;
    p.start();
    p.rear.setTimeByItself(-0.1);
    p.run(0.3);
    ASSERT_NE(p.rear.speedTrim(), 1.0);
    p.lock.disengage();
    EXPECT_EQ(p.rear.speedTrim(), 1.0);
    EXPECT_EQ(p.clock.activeCount(), 0u);
    p.front.open("/card/OTHER.MP4");  // a single recording is not held
    p.front.load();
    p.front.setRate(1.0f);
    p.front.play(1.0);
    EXPECT_NEAR(p.front.currentTime(), 1.0, 1e-9);
    {
        RearCameraLock other(p.front, p.rear, p.clock);
        other.engage();
        EXPECT_TRUE(p.front.isHeld());
    }
    EXPECT_FALSE(p.front.isHeld());
    EXPECT_EQ(p.clock.activeCount(), 0u);
    p.front.failLoading();  // would reach a dangling observer if one were left
}
