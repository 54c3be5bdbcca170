#include "platform/QtScheduler.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

QtScheduler::QtScheduler() { clock_.start(); }

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_) delete timer;
}

double QtScheduler::now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

Scheduler::TimerId QtScheduler::startRepeating(double interval, std::function<void()> action) {
    return add(interval, true, std::move(action));
}

Scheduler::TimerId QtScheduler::startOneShot(double delay, std::function<void()> action) {
    return add(delay, false, std::move(action));
}

void QtScheduler::cancel(TimerId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end()) return;
    QTimer* timer = it->second;
    timers_.erase(it);
    timer->stop();
    // It may be the timer whose action is running now.
    timer->deleteLater();
}

Scheduler::TimerId QtScheduler::add(double seconds, bool repeating, std::function<void()> action) {
    const TimerId id = ++lastId_;
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    const double ms = std::ceil(std::max(0.0, seconds) * 1000.0);
    timer->setInterval(static_cast<int>(std::min(ms, 2147483647.0)));
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeating, action = std::move(action)] {
        if (!repeating) {
            // Gone before the action runs, as a finished one-shot should be; the action may start
            // or cancel timers.
            const auto it = timers_.find(id);
            if (it == timers_.end()) return;
            it->second->deleteLater();
            timers_.erase(it);
            const auto run = action;
            run();
            return;
        }
        action();
    });
    timers_[id] = timer;
    timer->start();
    return id;
}
