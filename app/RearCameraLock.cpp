#include "app/RearCameraLock.h"

#include "Utility/DiagnosticLog.h"

#include <algorithm>
#include <cmath>

namespace {

bool canPlay(const MoviePlayer& movie) {
    return movie.hasMovie() && movie.loadState() == kMovieLoadStatePlayable;
}

bool cannotPlay(const MoviePlayer& movie) {
    return !movie.hasMovie() || movie.loadState() == kMovieLoadStateError;
}

bool isMoving(const MoviePlayer& movie) {
    return canPlay(movie) && movie.rate() > 0.0f && !movie.isHeld();
}

}  // namespace

RearCameraLock::RearCameraLock(MoviePlayer& front, MoviePlayer& rear, Scheduler& scheduler)
    : RearCameraLock(front, rear, scheduler, Tuning{}) {}

RearCameraLock::RearCameraLock(MoviePlayer& front, MoviePlayer& rear, Scheduler& scheduler, Tuning tuning)
    : front_(front), rear_(rear), scheduler_(scheduler), tuning_(tuning) {}

RearCameraLock::~RearCameraLock() { disengage(); }

void RearCameraLock::engage() {
    if (!engaged_) {
        engaged_ = true;
        front_.addObserver(this);
        rear_.addObserver(this);
        timer_ = scheduler_.startRepeating(tuning_.interval, [this] { step(); });
    }
    // The players are about to be opened: nothing is judged before the next look.
    starting_ = true;
    steering_ = false;
    front_.setHeld(true);
    rear_.setHeld(true);
    rear_.setSpeedTrim(1.0);
}

void RearCameraLock::disengage() {
    if (!engaged_) return;
    engaged_ = false;
    starting_ = false;
    steering_ = false;
    scheduler_.cancel(timer_);
    front_.removeObserver(this);
    rear_.removeObserver(this);
    front_.setHeld(false);
    rear_.setHeld(false);
    rear_.setSpeedTrim(1.0);
}

void RearCameraLock::movieLoadStateChanged(MoviePlayer&) {
    if (starting_) releaseWhenBothReady();
}

void RearCameraLock::releaseWhenBothReady() {
    const bool frontSettled = canPlay(front_) || cannotPlay(front_);
    const bool rearSettled = canPlay(rear_) || cannotPlay(rear_);
    if (!frontSettled || !rearSettled) return;
    // Both in the same turn, so that both engines get going within the same moment.
    starting_ = false;
    front_.setHeld(false);
    rear_.setHeld(false);
}

void RearCameraLock::step() {
    if (starting_) {
        releaseWhenBothReady();
        return;
    }
    if (!isMoving(front_) || !isMoving(rear_)) {
        steering_ = false;
        rear_.setSpeedTrim(1.0);
        return;
    }
    const double difference = front_.playbackClock() - rear_.playbackClock();  // > 0: the rear is behind
    const double now = scheduler_.now();
    if (std::fabs(difference) > tuning_.reseekBeyond && now - lastReseek_ >= tuning_.reseekPause) {
        pmOutputDebugMsgF("RearCameraLock - move rear video to front video - %.3f sec", difference);
        lastReseek_ = now;
        ++reseeks_;
        steering_ = false;
        rear_.setSpeedTrim(1.0);
        rear_.setCurrentTime(front_.playbackClock());
        return;
    }
    steer(difference);
}

void RearCameraLock::steer(double difference) {
    const double frame = frameSeconds();
    const double distance = std::fabs(difference);
    // Within a frame the two show the same or neighbouring frames: leave them. Once steering, keep
    // on until they are well within it, so that they do not settle on the edge.
    if (!steering_) {
        if (distance <= frame + 1e-6) {
            rear_.setSpeedTrim(1.0);
            return;
        }
        steering_ = true;
        if (distance > 0.2) pmOutputDebugMsgF("RearCameraLock - steer rear video - %.3f sec", difference);
    } else if (distance < frame * 0.25) {
        steering_ = false;
        rear_.setSpeedTrim(1.0);
        return;
    }
    double trim = std::clamp(tuning_.gain * difference, -tuning_.maxTrim, tuning_.maxTrim);
    trim = std::round(trim / tuning_.trimStep) * tuning_.trimStep;
    if (trim == 0.0) trim = std::copysign(tuning_.trimStep, difference);
    rear_.setSpeedTrim(1.0 + trim);
}

double RearCameraLock::frameSeconds() const {
    // A frame of the finer of the two rates (cameras of a pair may differ); 30 frames a second
    // when neither is known.
    const double fastest = std::max(front_.frameRate(), rear_.frameRate());
    return fastest > 0.0 ? 1.0 / fastest : 1.0 / 30.0;
}
