#pragma once
#include "interfaces/Scheduler.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

class QTimer;

// Timers on the Qt event loop of the thread that owns the scheduler (the main thread).
class QtScheduler : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    double now() const override;
    TimerId startRepeating(double interval, std::function<void()> action) override;
    TimerId startOneShot(double delay, std::function<void()> action) override;
    void cancel(TimerId id) override;

private:
    TimerId add(double seconds, bool repeating, std::function<void()> action);

    QElapsedTimer clock_;
    std::map<TimerId, QTimer*> timers_;
    TimerId lastId_ = 0;
};
