#include "platform/QtScheduler.h"

#include "support/QtTestCase.h"
#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>
#include <vector>

namespace {

class QtSchedulerTest : public QtTestCase {
protected:
    QtScheduler scheduler_;
};

}  // namespace

TEST_F(QtSchedulerTest, RepeatingKeepsFiringAndOneShotFiresOnce) {
    int ticks = 0;
    int shots = 0;
    const auto repeating = scheduler_.startRepeating(0.01, [&] { ++ticks; });
    scheduler_.startOneShot(0.01, [&] { ++shots; });
    ASSERT_TRUE(spinUntil([&] { return ticks >= 4; }));
    EXPECT_EQ(shots, 1);
    scheduler_.cancel(repeating);
    const int stoppedAt = ticks;
    spinFor(0.1);
    EXPECT_EQ(ticks, stoppedAt);
}

TEST_F(QtSchedulerTest, NothingRunsInsideTheStartingCall) {
    int shots = 0;
    scheduler_.startOneShot(0.0, [&] { ++shots; });
    EXPECT_EQ(shots, 0);
    ASSERT_TRUE(spinUntil([&] { return shots == 1; }));
}

TEST_F(QtSchedulerTest, CancelledTimersNeverFireWhereverTheyAreCancelledFrom) {
    std::vector<std::string> fired;
    const auto early = scheduler_.startOneShot(0.02, [&] { fired.push_back("cancelled one-shot"); });
    scheduler_.cancel(early);
    scheduler_.cancel(early);   // twice: nothing
    scheduler_.cancel(12345);   // unknown: nothing
    // A repeating timer that cancels itself on its second run.
    Scheduler::TimerId self = 0;
    int selfRuns = 0;
    self = scheduler_.startRepeating(0.005, [&] {
        if (++selfRuns == 2) scheduler_.cancel(self);
    });
    // A one-shot that starts the next one and cancels another from inside its action.
    const auto victim = scheduler_.startOneShot(0.3, [&] { fired.push_back("victim"); });
    scheduler_.startOneShot(0.05, [&] {
        fired.push_back("first");
        scheduler_.cancel(victim);
        scheduler_.startOneShot(0.01, [&] { fired.push_back("second"); });
    });
    ASSERT_TRUE(spinUntil([&] { return fired.size() >= 2; }));
    spinFor(0.4);
    EXPECT_EQ(fired, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(selfRuns, 2);
}

TEST_F(QtSchedulerTest, ClockMovesForwardAndTimersGetDistinctIds) {
    const double start = scheduler_.now();
    bool done = false;
    const auto a = scheduler_.startOneShot(0.02, [&] { done = true; });
    const auto b = scheduler_.startRepeating(1.0, [] {});
    EXPECT_NE(a, b);
    ASSERT_TRUE(spinUntil([&] { return done; }));
    EXPECT_GT(scheduler_.now(), start);
    scheduler_.cancel(b);
}
