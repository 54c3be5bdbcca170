#pragma once
#include "interfaces/FolderWatch.h"
#include "interfaces/Scheduler.h"
#include "library/FolderEventBatcher.h"
#include "library/SCEvent.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class SCEvents;

// Told of each event the watcher delivers, on the main thread.
class SCEventListenerProtocol {
public:
    virtual ~SCEventListenerProtocol() = default;
    virtual void pathWatcher(SCEvents* pathWatcher, const SCEvent& event) = 0;
};

// Watches folder trees and hands their events, in batches at most once per latency, to a delegate.
// The folder watch reports raw changes; the scheduler is the run loop the batches are timed on.
// A watched path that is an ancestor of another watched path (a volume's root next to a folder on
// it) is watched for its own entries only, not as a tree.
class SCEvents {
public:
    static constexpr std::uint64_t kEventIdSinceNow = ~std::uint64_t{0};

    SCEvents(FolderWatch& watch, Scheduler& runLoop);
    ~SCEvents();
    SCEvents(const SCEvents&) = delete;
    SCEvents& operator=(const SCEvents&) = delete;

    SCEventListenerProtocol* delegate() const { return delegate_; }
    void setDelegate(SCEventListenerProtocol* delegate) { delegate_ = delegate; }

    bool isWatchingPaths() const { return isWatchingPaths_; }
    const std::vector<std::string>& watchedPaths() const { return watchedPaths_; }
    const std::vector<std::string>& excludedPaths() const { return excludedPaths_; }
    void setExcludedPaths(std::vector<std::string> paths) { excludedPaths_ = std::move(paths); }
    bool ignoreEventsFromSubDirs() const { return ignoreEventsFromSubDirs_; }
    void setIgnoreEventsFromSubDirs(bool ignore) { ignoreEventsFromSubDirs_ = ignore; }
    double notificationLatency() const { return notificationLatency_; }
    void setNotificationLatency(double seconds) { notificationLatency_ = seconds; }
    // Events come from the moment of starting on; there is no history to resume from, so any
    // other value is kept but has no effect.
    std::uint64_t resumeFromEventId() const { return resumeFromEventId_; }
    void setResumeFromEventId(std::uint64_t id) { resumeFromEventId_ = id; }
    // The last event handed out, from the latest batch.
    const std::optional<SCEvent>& lastEvent() const { return lastEvent_; }

    // False when the list is empty, the watcher already runs, or nothing could be watched.
    bool startWatchingPaths(const std::vector<std::string>& paths);
    // False when not watching. Events not yet delivered are dropped.
    bool stopWatchingPaths();
    // Deliver what is pending now, or on the next turn of the run loop; false when not watching.
    bool flushEventStreamSync();
    bool flushEventStreamAsync();
    std::optional<std::string> streamDescription() const;

    // The roots handed to the folder watch for a list of paths.
    static std::vector<WatchRoot> watchRootsFor(const std::vector<std::string>& paths);

private:
    void deliver(std::vector<BatchedEvent> batch);
    bool isExcluded(const std::string& path) const;

    FolderWatch& watch_;
    FolderEventBatcher batcher_;
    mutable std::recursive_mutex mutex_;  // start, stop, flush and description
    SCEventListenerProtocol* delegate_ = nullptr;
    bool isWatchingPaths_ = false;
    std::vector<std::string> watchedPaths_;
    std::vector<std::string> excludedPaths_;
    bool ignoreEventsFromSubDirs_ = true;
    double notificationLatency_ = 1.0;
    std::uint64_t resumeFromEventId_ = kEventIdSinceNow;
    std::optional<SCEvent> lastEvent_;
    // Bumped at every start and stop, so that a batch stops reaching the delegate once its
    // watch has ended.
    std::uint64_t generation_ = 0;
};
