#include "app/RearCameraLock.h"

#include "support/FakeMoviePlayer.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class RateCounter : public MovieObserver {
public:
    int rates = 0;
    void movieRateChanged(MoviePlayer&) override { ++rates; }
};

class RearCameraLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        front_.addObserver(&frontRates_);
        rear_.addObserver(&rearRates_);
    }

    // Opens a pair under the lock and brings both to playing at `rate`.
    void startPair(float rate = 1.0f, double duration = 60.0) {
        lock_.engage();
        front_.open("/card/DCIMF/FILE0001F.MP4");
        rear_.open("/card/DCIMR/FILE0001R.MP4");
        front_.load(duration);
        front_.setRate(rate);
        rear_.load(duration);
        rear_.setRate(rate);
        front_.deliverNotifications();
        rear_.deliverNotifications();
    }
    // Lets wall time pass in small slices: both clocks move, the lock looks every 0.1 s.
    // Returns the largest speed trim seen away from 1.
    double run(double seconds) {
        double widest = 0.0;
        for (int slice = 0; slice < int(std::lround(seconds / 0.01)); ++slice) {
            front_.play(0.01);
            rear_.play(0.01);
            scheduler_.advance(0.01);
            widest = std::max(widest, std::fabs(rear_.speedTrim() - 1.0));
        }
        return widest;
    }
    double difference() const { return front_.currentTime() - rear_.currentTime(); }

    FakeMoviePlayer front_;
    FakeMoviePlayer rear_;
    ManualScheduler scheduler_;
    RearCameraLock lock_{front_, rear_, scheduler_};
    RateCounter frontRates_;
    RateCounter rearRates_;
};

}  // namespace

TEST_F(RearCameraLockTest, HoldsBothUntilTheSlowerCanPlayThenStartsThemTogether) {
    for (const bool rearFirst : {false, true}) {
        SCOPED_TRACE(rearFirst ? "rear ready first" : "front ready first");
        lock_.engage();
        front_.open("/card/F.MP4");
        rear_.open("/card/R.MP4");
        FakeMoviePlayer& first = rearFirst ? rear_ : front_;
        FakeMoviePlayer& second = rearFirst ? front_ : rear_;
        first.load();
        first.setRate(1.0f);  // the owner starts each player when it is ready
        first.deliverNotifications();
        scheduler_.advance(0.5);
        run(0.5);
        EXPECT_TRUE(lock_.isStarting());
        EXPECT_EQ(first.currentTime(), 0.0);
        EXPECT_EQ(first.rate(), 1.0f);

        second.load();
        EXPECT_FALSE(lock_.isStarting());
        EXPECT_FALSE(front_.isHeld());
        EXPECT_FALSE(rear_.isHeld());
        second.setRate(1.0f);
        run(2.0);
        EXPECT_NEAR(difference(), 0.0, 1e-9);
        EXPECT_EQ(rear_.speedTrim(), 1.0);
    }
    // Only the owner's own rate changes were reported.
    EXPECT_EQ(frontRates_.rates, 2);
    EXPECT_EQ(rearRates_.rates, 2);
}

TEST_F(RearCameraLockTest, OnePlayerThatCannotPlayReleasesTheOther) {
    struct Case {
        const char* name;
        bool frontFails;
        bool rearOpenRefused;
    };
    for (const Case c : {Case{"rear load error", false, false}, Case{"front load error", true, false},
                         Case{"rear cannot open at all", false, true}}) {
        SCOPED_TRACE(c.name);
        FakeMoviePlayer front, rear;
        ManualScheduler scheduler;
        RearCameraLock lock(front, rear, scheduler);
        lock.engage();
        front.open("/card/F.MP4");
        rear.openSucceeds = !c.rearOpenRefused;
        rear.open("/card/R.MP4");
        FakeMoviePlayer& good = c.frontFails ? rear : front;
        FakeMoviePlayer& bad = c.frontFails ? front : rear;
        good.load();
        good.setRate(1.0f);
        if (!c.rearOpenRefused) bad.failLoading();
        scheduler.advance(0.2);
        EXPECT_FALSE(lock.isStarting());
        EXPECT_FALSE(good.isHeld());
        good.play(1.0);
        EXPECT_NEAR(good.currentTime(), 1.0, 1e-9);
    }
}

TEST_F(RearCameraLockTest, SteersALaggingOrLeadingRearBackWithinAFrameByBoundedSpeedChanges) {
    struct Case {
        double offset;  // seconds the rear is behind (> 0) or ahead
        float rate;
    };
    for (const Case c : {Case{0.1, 1.0f}, Case{-0.1, 1.0f}, Case{0.25, 2.0f}, Case{-0.2, 0.5f}, Case{0.05, 1.5f}}) {
        SCOPED_TRACE(std::to_string(c.offset) + " s at rate " + std::to_string(c.rate));
        FakeMoviePlayer front, rear;
        ManualScheduler scheduler;
        RearCameraLock lock(front, rear, scheduler);
        lock.engage();
        front.open("/card/F.MP4");
        rear.open("/card/R.MP4");
        front.load();
        rear.load();
        front.setRate(c.rate);
        rear.setRate(c.rate);
        front.setTimeByItself(10.0);
        rear.setTimeByItself(10.0 - c.offset);
        double widest = 0.0;
        double firstTrim = 0.0;
        for (int slice = 0; slice < 1500; ++slice) {
            front.play(0.01);
            rear.play(0.01);
            scheduler.advance(0.01);
            widest = std::max(widest, std::fabs(rear.speedTrim() - 1.0));
            if (firstTrim == 0.0 && rear.speedTrim() != 1.0) firstTrim = rear.speedTrim();
        }
        // The rear was sped up when behind and slowed down when ahead, never by more than 5 %.
        EXPECT_EQ(firstTrim > 1.0, c.offset > 0.0);
        EXPECT_LE(widest, 0.05 + 1e-9);
        EXPECT_LT(std::fabs(front.currentTime() - rear.currentTime()), 1.0 / 30.0);
        EXPECT_EQ(rear.speedTrim(), 1.0);
        EXPECT_EQ(lock.reseekCount(), 0);
        EXPECT_TRUE(rear.seeks.empty());
        // The front is never touched.
        EXPECT_EQ(front.speedTrim(), 1.0);
    }
}

TEST_F(RearCameraLockTest, WithinOneFrameNothingIsSteered) {
    startPair();
    rear_.setTimeByItself(-1.0 / 30.0);  // one frame behind: the smallest step the times take
    const double widest = run(3.0);
    EXPECT_EQ(widest, 0.0);
    EXPECT_NEAR(difference(), 1.0 / 30.0, 1e-9);
}

TEST_F(RearCameraLockTest, FarOffRearIsMovedOnceThenSteered) {
    startPair();
    run(5.0);
    rear_.setTimeByItself(rear_.currentTime() - 0.8);  // the rear's decoder fell behind
    run(0.1);
    ASSERT_EQ(rear_.seeks.size(), 1u);
    EXPECT_NEAR(difference(), 0.0, 1e-9);  // moved to where the front was
    // The move takes the rear's engine a while; until then it is still far off, but is not moved
    // again at once.
    rear_.setTimeByItself(rear_.currentTime() - 0.5);
    run(0.5);
    EXPECT_EQ(rear_.seeks.size(), 1u);
    run(1.0);
    EXPECT_EQ(lock_.reseekCount(), 2);
    run(5.0);
    EXPECT_LT(std::fabs(difference()), 1.0 / 30.0);
    EXPECT_EQ(frontRates_.rates, 1);
    EXPECT_EQ(rearRates_.rates, 1);
}

TEST_F(RearCameraLockTest, NoSteeringWhilePausedOrAfterTheRearEnded) {
    startPair(1.0f, 20.0);
    run(2.0);
    // Paused with the rear behind: no trim, no move.
    front_.setRate(0.0f);
    rear_.setRate(0.0f);
    rear_.setTimeByItself(rear_.currentTime() - 0.5);
    run(1.0);
    EXPECT_EQ(rear_.speedTrim(), 1.0);
    EXPECT_TRUE(rear_.seeks.empty());

    // The rear is the shorter recording: it ends first and is left alone.
    front_.setCurrentTime(15.0);
    rear_.setCurrentTime(15.0);
    rear_.seeks.clear();
    front_.setRate(1.0f);
    rear_.setRate(1.0f);
    run(4.0);
    rear_.reachEnd();
    const double widest = run(0.9);
    EXPECT_EQ(widest, 0.0);
    EXPECT_TRUE(rear_.seeks.empty());
    EXPECT_TRUE(rear_.atEnd());
}

TEST_F(RearCameraLockTest, DisengagingReleasesAndStopsLooking) {
    startPair();
    rear_.setTimeByItself(-0.1);
    run(0.3);
    ASSERT_NE(rear_.speedTrim(), 1.0);
    lock_.disengage();
    EXPECT_FALSE(lock_.isEngaged());
    EXPECT_EQ(rear_.speedTrim(), 1.0);
    EXPECT_EQ(scheduler_.activeCount(), 0u);
    // A second open of a single recording is not held.
    front_.open("/card/OTHER.MP4");
    front_.load();
    front_.setRate(1.0f);
    front_.play(1.0);
    EXPECT_NEAR(front_.currentTime(), 1.0, 1e-9);

    // Engaging again holds again; destroying the lock leaves no observer behind.
    {
        RearCameraLock other(front_, rear_, scheduler_);
        other.engage();
        EXPECT_TRUE(front_.isHeld());
    }
    EXPECT_FALSE(front_.isHeld());
    front_.failLoading();  // would reach a dangling observer if one were left
}
