#pragma once
#include "interfaces/Scheduler.h"

#include <map>
#include <utility>

// A scheduler whose clock moves only when the test says so; due timers fire in time order.
class ManualScheduler : public Scheduler {
public:
    double now() const override { return now_; }
    TimerId startRepeating(double interval, std::function<void()> action) override {
        return add(interval, interval, std::move(action));
    }
    TimerId startOneShot(double delay, std::function<void()> action) override { return add(delay, 0.0, std::move(action)); }
    void cancel(TimerId id) override { timers_.erase(id); }

    // Moves the clock forward, firing every timer that falls due on the way.
    void advance(double seconds) {
        const double end = now_ + seconds;
        for (;;) {
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it)
                if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) next = it;
            if (next == timers_.end()) break;
            now_ = next->second.due;
            const auto action = next->second.action;
            if (next->second.interval > 0) next->second.due += next->second.interval;
            else timers_.erase(next);
            action();
        }
        now_ = end;
    }
    std::size_t activeCount() const { return timers_.size(); }

private:
    struct Timer {
        double due, interval;
        std::function<void()> action;
    };
    TimerId add(double delay, double interval, std::function<void()> action) {
        timers_[++lastId_] = Timer{now_ + delay, interval, std::move(action)};
        return lastId_;
    }
    double now_ = 0.0;
    TimerId lastId_ = 0;
    std::map<TimerId, Timer> timers_;
};
