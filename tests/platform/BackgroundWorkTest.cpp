#include "platform/BackgroundWork.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

TEST(BackgroundWork, RunsElsewhereWhileTheCallerKeepsHandlingEvents) {
    int argc = 1;
    char name[] = "platform_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);

    std::atomic<bool> timerFired{false};
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { timerFired = true; });
    timer.start(10);

    const auto caller = std::this_thread::get_id();
    std::thread::id workerId;
    bool finished = false;
    bool sawTimer = false;
    pmRunInBackground([&] {
        workerId = std::this_thread::get_id();
        // The caller's timer can only fire if its thread handles events meanwhile.
        for (int i = 0; i < 1000 && !timerFired; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sawTimer = timerFired;
        finished = true;
    });
    EXPECT_TRUE(finished);
    EXPECT_NE(workerId, caller);
    EXPECT_TRUE(sawTimer);

    // Work that ends at once still returns (the end may come before the caller waits).
    int runs = 0;
    pmRunInBackground([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}
