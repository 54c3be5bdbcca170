#include "library/SCEvents.h"

#include "library/DiskVolume.h"

#include <algorithm>

SCEvents::SCEvents(FolderWatch& watch, Scheduler& runLoop)
    : watch_(watch), batcher_(runLoop, [this](std::vector<BatchedEvent> batch) {
          deliver(std::move(batch));
      }) {
    batcher_.setCollect([this] {
        if (isWatchingPaths_) watch_.drain();
    });
}

SCEvents::~SCEvents() { stopWatchingPaths(); }

std::vector<WatchRoot> SCEvents::watchRootsFor(const std::vector<std::string>& paths) {
    std::vector<std::string> canonical;
    canonical.reserve(paths.size());
    for (const auto& path : paths) canonical.push_back(pmCanonicalFolderPath(path));
    const auto isAncestor = [](const std::string& ancestor, const std::string& path) {
        if (ancestor == path) return false;
        if (ancestor == "/") return true;
        return path.size() > ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0 &&
               path[ancestor.size()] == '/';
    };
    std::vector<WatchRoot> roots;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const bool recursive = std::none_of(canonical.begin(), canonical.end(), [&](const std::string& other) {
            return isAncestor(canonical[i], other);
        });
        roots.push_back({paths[i], recursive});
    }
    return roots;
}

bool SCEvents::startWatchingPaths(const std::vector<std::string>& paths) {
    std::lock_guard lock(mutex_);
    if (paths.empty() || isWatchingPaths_) return false;
    watchedPaths_ = paths;
    batcher_.setLatency(notificationLatency_);
    if (!watch_.start(watchRootsFor(paths), [this](const FolderChange& change) { batcher_.add(change); }))
        return false;
    isWatchingPaths_ = true;
    ++generation_;
    return true;
}

bool SCEvents::stopWatchingPaths() {
    std::lock_guard lock(mutex_);
    if (!isWatchingPaths_) return false;
    watch_.stop();
    batcher_.clear();
    isWatchingPaths_ = false;
    ++generation_;
    return true;
}

bool SCEvents::flushEventStreamSync() {
    std::lock_guard lock(mutex_);
    if (!isWatchingPaths_) return false;
    watch_.drain();
    batcher_.flush();
    return true;
}

bool SCEvents::flushEventStreamAsync() {
    std::lock_guard lock(mutex_);
    if (!isWatchingPaths_) return false;
    watch_.drain();
    batcher_.flushSoon();
    return true;
}

std::optional<std::string> SCEvents::streamDescription() const {
    std::lock_guard lock(mutex_);
    if (!isWatchingPaths_) return std::nullopt;
    std::string text = watch_.description();
    if (text.empty()) return std::nullopt;
    return text;
}

bool SCEvents::isExcluded(const std::string& path) const {
    if (std::find(excludedPaths_.begin(), excludedPaths_.end(), path) != excludedPaths_.end()) return true;
    if (!ignoreEventsFromSubDirs_) return false;
    return std::any_of(excludedPaths_.begin(), excludedPaths_.end(), [&](const std::string& excluded) {
        return !excluded.empty() && path.compare(0, excluded.size(), excluded) == 0;
    });
}

void SCEvents::deliver(std::vector<BatchedEvent> batch) {
    const std::uint64_t generation = generation_;
    for (auto& raw : batch) {
        if (generation != generation_) return;
        if (isExcluded(raw.path)) continue;
        std::string path = std::move(raw.path);
        if (path.size() > 1 && path.back() == '/') path.pop_back();
        SCEvent event(raw.id, std::chrono::system_clock::now(), std::move(path), raw.flags);
        lastEvent_ = event;
        if (delegate_) delegate_->pathWatcher(this, event);
    }
}
