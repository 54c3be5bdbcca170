#pragma once
#include "interfaces/FolderWatch.h"

#include <string>
#include <utility>
#include <vector>

// A folder watch driven by the test: `report` is a change read at once, `queue` one the system
// holds until the watch is drained.
class FakeFolderWatch : public FolderWatch {
public:
    bool start(const std::vector<WatchRoot>& newRoots, Sink newSink) override {
        ++starts;
        if (refuse) return false;
        roots = newRoots;
        sink = std::move(newSink);
        return running = true;
    }
    void stop() override {
        running = false;
        sink = nullptr;
        queued.clear();
    }
    void drain() override {
        for (const auto& change : std::exchange(queued, {})) report(change.kind, change.path);
    }
    std::string description() const override { return running ? "fake watch of " + roots.front().path : ""; }
    void report(FolderChange::Kind kind, const std::string& path) {
        if (sink) sink(FolderChange{kind, path});
    }
    void queue(FolderChange::Kind kind, const std::string& path) { queued.push_back(FolderChange{kind, path}); }

    bool refuse = false, running = false;
    int starts = 0;
    std::vector<WatchRoot> roots;
    std::vector<FolderChange> queued;
    Sink sink;
};
