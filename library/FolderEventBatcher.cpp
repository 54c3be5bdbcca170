#include "library/FolderEventBatcher.h"

#include "library/SCEvent.h"

#include <utility>

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
        auto& seen = open_.alone[path];
        if (seen & flag) return;
        seen |= flag;
        open_.events.push_back({path, flag});
        return;
    }
    const auto [it, inserted] = open_.shared.try_emplace(path, open_.events.size());
    if (inserted) open_.events.push_back({path, flag});
    else open_.events[it->second].flags |= flag;
}

void FolderEventBatcher::flush() {
    cancelTimer();
    if (open_.events.empty()) return;
    Batch closed = std::exchange(open_, {});
    std::vector<BatchedEvent> batch;
    batch.reserve(closed.events.size());
    for (auto& entry : closed.events) batch.push_back({++lastId_, std::move(entry.path), entry.flags});
    // The listener may add, flush or clear again from inside; the batch is already ours.
    deliver_(std::move(batch));
}

void FolderEventBatcher::flushSoon() {
    if (open_.events.empty()) return;
    cancelTimer();
    timer_ = scheduler_.startOneShot(0.0, [this] {
        timer_.reset();
        flush();
    });
}

void FolderEventBatcher::clear() {
    cancelTimer();
    open_ = {};
}

void FolderEventBatcher::cancelTimer() {
    if (timer_) scheduler_.cancel(*timer_);
    timer_.reset();
}
