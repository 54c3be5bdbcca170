#include "Utility/WorkSharing.h"

#include <algorithm>
#include <utility>

WorkSharing::WorkSharing(unsigned helpers) {
    threads_.reserve(helpers);
    for (unsigned i = 0; i < helpers; ++i) threads_.emplace_back([this] { helperLoop(); });
}

WorkSharing::~WorkSharing() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

unsigned WorkSharing::helpersForThisMachine(unsigned most) {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::min(most, cores > 1 ? cores - 1 : 0u);
}

void WorkSharing::takePieces() {
    // The pieces are handed out without the lock: they are many and short.
    for (std::size_t piece = next_.fetch_add(1); piece < count_; piece = next_.fetch_add(1)) {
        try {
            (*work_)(piece);
        } catch (...) {
            const std::lock_guard failed(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
}

void WorkSharing::helperLoop() {
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
        }
        takePieces();
        {
            const std::lock_guard lock(mutex_);
            --busy_;
        }
        finished_.notify_one();
    }
}

void WorkSharing::run(std::size_t count, const std::function<void(std::size_t)>& work) {
    bool wakeHelpers = false;
    {
        const std::lock_guard lock(mutex_);
        work_ = &work;
        count_ = count;
        next_.store(0);
        failure_ = nullptr;
        // A piece or two are not worth waking anybody for.
        wakeHelpers = count > 2 && !threads_.empty();
        if (wakeHelpers) {
            ++generation_;
            busy_ = static_cast<unsigned>(threads_.size());
        }
    }
    if (wakeHelpers) wake_.notify_all();
    takePieces();
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return busy_ == 0; });
    work_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}
