#include "app/RearCameraLock.h"

#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A front and a rear player (30 frames a second) opened under the lock, on a manual clock.
struct Pair : MovieObserver {
    FakeMoviePlayer front, rear;
    ManualScheduler clock;
    RearCameraLock lock{front, rear, clock};
    int rates = 0;

    Pair() {
        front.addObserver(this);
        rear.addObserver(this);
        lock.engage();
        front.open("/card/F.MP4");
        rear.open("/card/R.MP4");
    }
    void movieRateChanged(MoviePlayer&) override { ++rates; }
    // The player reports it can play and is started, as the owner starts each when it is ready.
    static void start(FakeMoviePlayer& player, double duration = 60.0) {
        player.load(duration);
        player.setRate(1.0f);
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
    enum Other { Plays, FailsToLoad, CannotOpen };
    struct Case {
        const char* name;
        bool rearFirst;
        Other other;
    };
    for (const Case c : {Case{"front ready first", false, Plays}, Case{"rear ready first", true, Plays},
                         Case{"rear fails to load", false, FailsToLoad}, Case{"front fails to load", true, FailsToLoad},
                         Case{"rear cannot open at all", false, CannotOpen}}) {
        SCOPED_TRACE(c.name);
        Pair p;
        if (c.other == CannotOpen) p.rear.close();
        FakeMoviePlayer& first = c.rearFirst ? p.rear : p.front;
        FakeMoviePlayer& other = c.rearFirst ? p.front : p.rear;
        Pair::start(first);
        p.run(1.0);
        EXPECT_NEAR(first.currentTime(), c.other == CannotOpen ? 1.0 : 0.0, 1e-9);
        if (c.other == Plays) Pair::start(other);
        if (c.other == FailsToLoad) other.failLoading();
        EXPECT_FALSE(p.lock.isStarting() || p.front.isHeld() || p.rear.isHeld());
        const double before = first.currentTime();
        p.run(2.0);
        EXPECT_NEAR(first.currentTime() - before, 2.0, 1e-9);
        if (c.other == Plays) {
            EXPECT_NEAR(p.apart(), 0.0, 1e-9);
        }
        EXPECT_EQ(p.rates, c.other == Plays ? 2 : 1);  // only the owner's own rate changes
    }
}

TEST(RearCameraLock, SteersAMovingRearOffByMoreThanAFrameBackByBoundedSpeedChangesAndLeavesTheFrontAlone) {
    struct Case {
        double behind;  // seconds the rear is behind the front (< 0: ahead)
        float rate;
        bool ended;  // the rear, the shorter one, ended
    };
    for (const Case c : {Case{1.0 / 30, 1.0f, false}, Case{0.1, 1.0f, false}, Case{-0.1, 1.0f, false},
                         Case{0.25, 2.0f, false}, Case{-0.2, 0.5f, false}, Case{0.05, 1.5f, false},
                         Case{0.2, 0.0f, false}, Case{-0.2, 1.0f, true}}) {
        SCOPED_TRACE(std::to_string(c.behind) + " s behind at rate " + std::to_string(c.rate));
        Pair p;
        Pair::start(p.front);
        Pair::start(p.rear);
        p.front.setRate(c.rate);
        p.rear.setRate(c.rate);
        p.front.setTimeByItself(10.0);
        p.rear.setTimeByItself(10.0 - c.behind);
        if (c.ended) p.rear.reachEnd();
        double firstTrim = 1.0, widest = 0.0;
        for (int slice = 0; slice < 1500; ++slice) {
            widest = std::max(widest, p.run(0.01));
            if (firstTrim == 1.0) firstTrim = p.rear.speedTrim();
        }
        if (std::fabs(c.behind) <= 1.0 / 30 + 1e-9 || c.rate == 0.0f || c.ended) {
            EXPECT_EQ(widest, 0.0);  // within a frame, the smallest step the times take, or not moving
        } else {  // sped up when behind, slowed down when ahead, by 5 % at most
            EXPECT_EQ(firstTrim > 1.0, c.behind > 0.0);
            EXPECT_LE(widest, 0.05 + 1e-9);
            EXPECT_LT(std::fabs(p.apart()), 1.0 / 30);
        }
        EXPECT_EQ(p.rear.speedTrim(), 1.0);
        EXPECT_TRUE(p.rear.seeks.empty());
        EXPECT_EQ(p.front.speedTrim(), 1.0);
    }
}

TEST(RearCameraLock, DisengagingOrDestroyingReleasesBothAndStopsLooking) {
    Pair p;
    Pair::start(p.front);
    Pair::start(p.rear);
    p.rear.setTimeByItself(-0.1);
    p.run(0.3);
    ASSERT_NE(p.rear.speedTrim(), 1.0);
    p.lock.disengage();
    EXPECT_EQ(p.rear.speedTrim(), 1.0);
    p.front.open("/card/OTHER.MP4");  // a single recording is not held
    Pair::start(p.front);
    EXPECT_FALSE(p.front.isHeld());
    RearCameraLock(p.front, p.rear, p.clock).engage();  // and one that goes leaves nothing behind
    EXPECT_FALSE(p.front.isHeld());
    EXPECT_EQ(p.clock.activeCount(), 0u);
    p.front.failLoading();  // would reach a dangling observer if one were left
}
