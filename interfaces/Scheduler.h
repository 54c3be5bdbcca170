#pragma once
#include <functional>

// Timers on the main thread: what the controller needs of a run loop. The window uses Qt timers;
// tests use a manual clock (tests/support/ManualScheduler.h).
class Scheduler {
public:
    using TimerId = int;
    virtual ~Scheduler() = default;

    // Seconds since an arbitrary start; advances only with the clock behind the scheduler.
    virtual double now() const = 0;
    // Calls `action` every `interval` seconds until cancelled.
    virtual TimerId startRepeating(double interval, std::function<void()> action) = 0;
    // Calls `action` once after `delay` seconds unless cancelled first.
    virtual TimerId startOneShot(double delay, std::function<void()> action) = 0;
    // Cancelling an unknown or finished timer does nothing.
    virtual void cancel(TimerId id) = 0;
};
