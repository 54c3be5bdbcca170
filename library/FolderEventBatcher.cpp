#include "library/FolderEventBatcher.h"

#include "library/SCEvent.h"

FolderEventBatcher::FolderEventBatcher(Scheduler& scheduler, Deliver deliver)
    : scheduler_(scheduler), deliver_(std::move(deliver)) {}

FolderEventBatcher::~FolderEventBatcher() { cancelTimer(); }

void FolderEventBatcher::add(const FolderChange& change) {
    switch (change.kind) {
    case FolderChange::Kind::Created:
        return;
    case FolderChange::Kind::Removed:
    case FolderChange::Kind::Overflow:
        addFlag(change.path, kSCEventFlagItemRemoved, false);
        break;
    case FolderChange::Kind::Renamed:
        addFlag(change.path, kSCEventFlagItemRenamed, false);
        break;
    case FolderChange::Kind::RootChanged:
        addFlag(change.path, kSCEventFlagRootChanged, true);
        break;
    case FolderChange::Kind::Unmounted:
        addFlag(change.path, kSCEventFlagUnmount, true);
        break;
    }
    if (!timer_) timer_ = scheduler_.startOneShot(latency_, [this] {
        timer_.reset();
        if (collect_) collect_();
        flush();
    });
}

void FolderEventBatcher::addFlag(const std::string& path, std::uint32_t flag, bool alone) {
    if (alone) {
        auto& seen = alone_[path];
        if (seen & flag) return;
        seen |= flag;
        pending_.push_back({path, flag});
        return;
    }
    const auto [it, inserted] = shared_.try_emplace(path, pending_.size());
    if (inserted) pending_.push_back({path, flag});
    else pending_[it->second].flags |= flag;
}

void FolderEventBatcher::flush() {
    cancelTimer();
    if (pending_.empty()) return;
    std::vector<BatchedEvent> batch;
    batch.reserve(pending_.size());
    for (auto& entry : pending_) batch.push_back({++lastId_, std::move(entry.path), entry.flags});
    pending_.clear();
    shared_.clear();
    alone_.clear();
    // The listener may add, flush or clear again from inside; the batch is already ours.
    deliver_(std::move(batch));
}

void FolderEventBatcher::flushSoon() {
    if (pending_.empty()) return;
    cancelTimer();
    timer_ = scheduler_.startOneShot(0.0, [this] {
        timer_.reset();
        flush();
    });
}

void FolderEventBatcher::clear() {
    cancelTimer();
    pending_.clear();
    shared_.clear();
    alone_.clear();
}

void FolderEventBatcher::cancelTimer() {
    if (timer_) scheduler_.cancel(*timer_);
    timer_.reset();
}
