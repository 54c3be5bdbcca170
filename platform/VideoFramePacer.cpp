#include "platform/VideoFramePacer.h"

#include <algorithm>

VideoFramePacer::VideoFramePacer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { presentDue(); });
}

void VideoFramePacer::schedule(const void* view, Clock::time_point due, std::function<void()> present) {
    cancel(view);
    waiting_.push_back({view, due, std::move(present)});
    arm();
}

void VideoFramePacer::cancel(const void* view) {
    std::erase_if(waiting_, [view](const Waiting& waiting) { return waiting.view == view; });
}

void VideoFramePacer::presentDue() {
    const Clock::time_point horizon = Clock::now() + kTogether;
    std::vector<Waiting> due;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->due <= horizon) {
            due.push_back(std::move(*it));
            it = waiting_.erase(it);
        } else {
            ++it;
        }
    }
    std::sort(due.begin(), due.end(), [](const Waiting& a, const Waiting& b) { return a.due < b.due; });
    // A view may ask for its next picture while presenting this one.
    for (Waiting& waiting : due) waiting.present();
    arm();
}

void VideoFramePacer::arm() {
    if (waiting_.empty()) {
        timer_.stop();
        return;
    }
    const auto first = std::min_element(waiting_.begin(), waiting_.end(),
                                        [](const Waiting& a, const Waiting& b) { return a.due < b.due; });
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(first->due - Clock::now());
    timer_.start(std::max(std::chrono::milliseconds(0), wait));
}
