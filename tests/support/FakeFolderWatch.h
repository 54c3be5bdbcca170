#pragma once
#include "interfaces/FolderWatch.h"

#include <string>
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
        running = true;
        return true;
    }
    void stop() override {
        ++stops;
        running = false;
        sink = nullptr;
        queued.clear();
    }
    void drain() override {
        auto pending = std::move(queued);
        queued.clear();
        for (const auto& change : pending)
            if (sink) sink(change);
    }
    std::string description() const override { return running ? "fake watch of " + roots.front().path : ""; }

    void report(FolderChange::Kind kind, const std::string& path) {
        if (sink) sink(FolderChange{kind, path});
    }
    void queue(FolderChange::Kind kind, const std::string& path) { queued.push_back(FolderChange{kind, path}); }

    bool refuse = false;
    bool running = false;
    int starts = 0;
    int stops = 0;
    std::vector<WatchRoot> roots;
    std::vector<FolderChange> queued;
    Sink sink;
};
