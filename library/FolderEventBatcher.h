#pragma once
#include "interfaces/FolderWatch.h"
#include "interfaces/Scheduler.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Turns the raw changes of a folder watch into batches of flagged events:
// - a batch opens with its first change that matters and is delivered one latency later, however
//   many changes follow (a steady copy still gets a batch every latency);
// - removals and renames in one folder become one event whose flags OR 0x200 and 0x800;
// - a root change (0x20) or an unmount (0x80) is an event of its own with that flag alone, once per
//   path and batch, so that the listener can match it exactly;
// - an overflow stands for removals anywhere: an item-removed event for the first watched folder;
// - creations are dropped: new files never change the playlist.
// Every event gets the next number of a 64-bit counter that lives as long as the batcher.
struct BatchedEvent {
    std::uint64_t id = 0;
    std::string path;
    std::uint32_t flags = 0;
    bool operator==(const BatchedEvent&) const = default;
};

class FolderEventBatcher {
public:
    using Deliver = std::function<void(std::vector<BatchedEvent>)>;

    FolderEventBatcher(Scheduler& scheduler, Deliver deliver);
    ~FolderEventBatcher();
    FolderEventBatcher(const FolderEventBatcher&) = delete;
    FolderEventBatcher& operator=(const FolderEventBatcher&) = delete;

    void setLatency(double seconds) { latency_ = seconds > 0 ? seconds : 0; }
    // Called when a window closes, before its batch is made: the source hands over what it still
    // holds, so that a change made just before the end is not left for the next batch.
    void setCollect(std::function<void()> collect) { collect_ = std::move(collect); }
    double latency() const { return latency_; }

    void add(const FolderChange& change);
    // Delivers the open batch now (nothing when it is empty).
    void flush();
    // Delivers the open batch on the next turn of the scheduler.
    void flushSoon();
    // Drops the open batch.
    void clear();
    bool hasPending() const { return !open_.events.empty(); }

private:
    struct Pending {
        std::string path;
        std::uint32_t flags;
    };
    void addFlag(const std::string& path, std::uint32_t flag, bool alone);
    void cancelTimer();

    Scheduler& scheduler_;
    Deliver deliver_;
    std::function<void()> collect_;
    double latency_ = 1.0;
    // The open batch; delivering or dropping it starts an empty one.
    struct Batch {
        std::vector<Pending> events;
        // Index in events of the shared (OR'ed) event of a path, and the flags of its lone events.
        std::unordered_map<std::string, std::size_t> shared;
        std::unordered_map<std::string, std::uint32_t> alone;
    };
    Batch open_;
    std::optional<Scheduler::TimerId> timer_;
    std::uint64_t lastId_ = 0;
};
