#pragma once
#include "interfaces/MoviePlayer.h"
#include "interfaces/Scheduler.h"

// Keeps the rear camera's player in step with the front one while a pair plays. Both are held
// until both can play and then start together; after that the rear's speed is steered by a small,
// bounded amount in proportion to how far it is off (nothing within one frame), and it is moved to
// the front's time only when it is far off. None of this shows in the players' rates or rate
// notifications: it uses only their hold and speed trim.
//
// The owner engages the lock just before it opens a pair and disengages it when the rear player
// is closed or plays alone.
class RearCameraLock : private MovieObserver {
public:
    struct Tuning {
        double interval = 0.1;       // seconds between two looks at the players
        double gain = 1.0;           // speed trim per second of difference
        double maxTrim = 0.05;       // the rear's speed changes by at most this fraction
        double trimStep = 0.005;     // trims are whole steps, so that small wobbles change nothing
        double reseekBeyond = 0.3;   // seconds off at which the rear is moved instead of steered
        double reseekPause = 1.0;    // seconds after a move before the next may happen
    };

    RearCameraLock(MoviePlayer& front, MoviePlayer& rear, Scheduler& scheduler);
    RearCameraLock(MoviePlayer& front, MoviePlayer& rear, Scheduler& scheduler, Tuning tuning);
    ~RearCameraLock() override;
    RearCameraLock(const RearCameraLock&) = delete;
    RearCameraLock& operator=(const RearCameraLock&) = delete;

    // Holds both players until both can play (or one of them cannot), then steers.
    void engage();
    // Lets both go their own way with no trim.
    void disengage();
    bool isEngaged() const { return engaged_; }
    // Both held, waiting for the slower one.
    bool isStarting() const { return starting_; }
    int reseekCount() const { return reseeks_; }

private:
    void movieLoadStateChanged(MoviePlayer& movie) override;
    void step();
    void releaseWhenBothReady();
    void steer(double difference);
    double frameSeconds() const;

    MoviePlayer& front_;
    MoviePlayer& rear_;
    Scheduler& scheduler_;
    Tuning tuning_;
    Scheduler::TimerId timer_ = 0;
    bool engaged_ = false;
    bool starting_ = false;
    bool steering_ = false;
    double lastReseek_ = -1e9;
    int reseeks_ = 0;
};
