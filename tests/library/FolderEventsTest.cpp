#include "library/SCEvents.h"
#include "support/FakeFolderWatch.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Kind = FolderChange::Kind;

struct Delivered {
    double time;
    std::uint64_t id;
    std::string path;
    std::uint32_t flags;
};

// Records what reaches the delegate, with the manual clock's time.
class Recorder : public SCEventListenerProtocol {
public:
    explicit Recorder(const ManualScheduler& clock) : clock_(clock) {}
    void pathWatcher(SCEvents* watcher, const SCEvent& event) override {
        delivered.push_back({clock_.now(), event.eventId(), event.eventPath(), event.eventFlags()});
        lastSeenByWatcher = watcher;
        if (onEvent) onEvent(event);
    }
    std::vector<std::pair<std::string, std::uint32_t>> pathsAndFlags() const {
        std::vector<std::pair<std::string, std::uint32_t>> out;
        for (const auto& d : delivered) out.emplace_back(d.path, d.flags);
        return out;
    }
    std::vector<Delivered> delivered;
    SCEvents* lastSeenByWatcher = nullptr;
    std::function<void(const SCEvent&)> onEvent;

private:
    const ManualScheduler& clock_;
};

struct Rig {
    ManualScheduler clock;
    FakeFolderWatch watch;
    SCEvents events{watch, clock};
    Recorder recorder{clock};
    Rig() { events.setDelegate(&recorder); }
};

using PathFlags = std::vector<std::pair<std::string, std::uint32_t>>;

}  // namespace

TEST(FolderEventBatching, TheWindowIsFixedByTheFirstChangeSoASteadyCopyStillGetsABatchEverySecond) {
    Rig rig;
    ASSERT_TRUE(rig.events.startWatchingPaths({"/card"}));
    rig.clock.advance(1.0);

    // A removal every quarter second for three seconds: a debounce would wait for the end.
    for (int k = 0; k < 12; ++k) {
        rig.watch.report(Kind::Removed, "/card/DCIM");
        rig.clock.advance(0.25);
    }
    rig.clock.advance(2.0);
    ASSERT_EQ(rig.recorder.delivered.size(), 3u);
    EXPECT_DOUBLE_EQ(rig.recorder.delivered[0].time, 2.0);
    EXPECT_DOUBLE_EQ(rig.recorder.delivered[1].time, 3.0);
    EXPECT_DOUBLE_EQ(rig.recorder.delivered[2].time, 4.0);
    for (const auto& d : rig.recorder.delivered) EXPECT_EQ(d.flags, kSCEventFlagItemRemoved);

    // What the system still holds when the window closes is read into that batch.
    rig.watch.report(Kind::Removed, "/card/A");
    rig.clock.advance(0.9);
    rig.watch.queue(Kind::Renamed, "/card/A");
    rig.watch.queue(Kind::Removed, "/card/B");
    rig.clock.advance(0.1);
    ASSERT_EQ(rig.recorder.delivered.size(), 5u);
    EXPECT_EQ(rig.recorder.delivered[3].flags, kSCEventFlagItemRemoved | kSCEventFlagItemRenamed);
    EXPECT_EQ(rig.recorder.delivered[4].path, "/card/B");
    EXPECT_EQ(rig.clock.activeCount(), 0u);

    // Changes inside the window wait for it; a quiet watch delivers nothing.
    rig.watch.report(Kind::Renamed, "/card/A");
    rig.clock.advance(0.999);
    EXPECT_EQ(rig.recorder.delivered.size(), 5u);
    rig.clock.advance(0.001);
    EXPECT_EQ(rig.recorder.delivered.size(), 6u);
    rig.clock.advance(10.0);
    EXPECT_EQ(rig.recorder.delivered.size(), 6u);
}

TEST(FolderEventBatching, ChangesBecomeFlaggedEventsCoalescedPerFolder) {
    struct Case {
        const char* name;
        std::vector<FolderChange> changes;
        PathFlags expected;
    };
    const Case cases[] = {
        {"removals and renames of one folder OR together; folders keep their first-seen order",
         {{Kind::Removed, "/c/A"}, {Kind::Removed, "/c/B"}, {Kind::Renamed, "/c/A"}, {Kind::Removed, "/c/A"}},
         {{"/c/A", 0xA00}, {"/c/B", 0x200}}},
        {"a root change stays alone even beside removals of the same folder, once per batch",
         {{Kind::Removed, "/c"}, {Kind::RootChanged, "/c"}, {Kind::RootChanged, "/c"}, {Kind::Renamed, "/c"}},
         {{"/c", 0xA00}, {"/c", 0x20}}},
        {"an unmount stays alone and is not merged with a root change",
         {{Kind::Unmounted, "/m"}, {Kind::RootChanged, "/m"}, {Kind::Unmounted, "/m"}},
         {{"/m", 0x80}, {"/m", 0x20}}},
        {"an overflow is an item removal of the folder it names",
         {{Kind::Overflow, "/c"}, {Kind::Renamed, "/c"}, {Kind::Overflow, "/c"}},
         {{"/c", 0xA00}}},
        {"creations are not events",
         {{Kind::Created, "/c"}, {Kind::Removed, "/c/X"}, {Kind::Created, "/c/X"}},
         {{"/c/X", 0x200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
        for (const auto& change : c.changes) rig.watch.report(change.kind, change.path);
        rig.clock.advance(1.0);
        EXPECT_EQ(rig.recorder.pathsAndFlags(), c.expected);
    }
}

TEST(FolderEventBatching, CreationsAloneOpenNoWindowAndIdsCountOnAcrossBatchesAndRestarts) {
    Rig rig;
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    for (int i = 0; i < 100; ++i) rig.watch.report(Kind::Created, "/c");
    EXPECT_EQ(rig.clock.activeCount(), 0u);
    rig.clock.advance(5.0);
    EXPECT_TRUE(rig.recorder.delivered.empty());
    EXPECT_FALSE(rig.events.lastEvent().has_value());

    rig.watch.report(Kind::Removed, "/c/A");
    rig.watch.report(Kind::Removed, "/c/B");
    rig.clock.advance(1.0);
    ASSERT_TRUE(rig.events.stopWatchingPaths());
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    rig.watch.report(Kind::RootChanged, "/c");
    rig.clock.advance(1.0);

    std::vector<std::uint64_t> ids;
    for (const auto& d : rig.recorder.delivered) ids.push_back(d.id);
    EXPECT_EQ(ids, (std::vector<std::uint64_t>{1, 2, 3}));
    ASSERT_TRUE(rig.events.lastEvent().has_value());
    EXPECT_EQ(rig.events.lastEvent()->eventId(), 3u);
    EXPECT_EQ(rig.events.lastEvent()->eventFlags(), kSCEventFlagRootChanged);
    EXPECT_EQ(rig.recorder.lastSeenByWatcher, &rig.events);
}

TEST(FolderEvents, StartStopAndFlushFollowTheWatchersState) {
    Rig rig;
    EXPECT_FALSE(rig.events.isWatchingPaths());
    EXPECT_DOUBLE_EQ(rig.events.notificationLatency(), 1.0);
    EXPECT_EQ(rig.events.resumeFromEventId(), ~std::uint64_t{0});
    EXPECT_TRUE(rig.events.ignoreEventsFromSubDirs());
    EXPECT_TRUE(rig.events.excludedPaths().empty());

    EXPECT_FALSE(rig.events.stopWatchingPaths());
    EXPECT_FALSE(rig.events.flushEventStreamSync());
    EXPECT_FALSE(rig.events.flushEventStreamAsync());
    EXPECT_FALSE(rig.events.streamDescription().has_value());
    EXPECT_FALSE(rig.events.startWatchingPaths({}));
    EXPECT_EQ(rig.watch.starts, 0);

    rig.watch.refuse = true;
    EXPECT_FALSE(rig.events.startWatchingPaths({"/gone"}));
    EXPECT_FALSE(rig.events.isWatchingPaths());
    rig.watch.refuse = false;

    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    EXPECT_TRUE(rig.events.isWatchingPaths());
    EXPECT_FALSE(rig.events.startWatchingPaths({"/d"}));
    EXPECT_EQ(rig.events.watchedPaths(), (std::vector<std::string>{"/c"}));
    EXPECT_EQ(rig.events.streamDescription(), std::optional<std::string>("fake watch of /c"));

    // Synchronous flush: what the system still holds is read and delivered without time passing.
    rig.watch.queue(Kind::Removed, "/c/A");
    ASSERT_TRUE(rig.events.flushEventStreamSync());
    EXPECT_EQ(rig.recorder.pathsAndFlags(), (PathFlags{{"/c/A", 0x200}}));
    EXPECT_DOUBLE_EQ(rig.recorder.delivered[0].time, 0.0);

    // Asynchronous flush: delivered on the next turn, not inside the call.
    rig.watch.queue(Kind::Renamed, "/c/B");
    ASSERT_TRUE(rig.events.flushEventStreamAsync());
    EXPECT_EQ(rig.recorder.delivered.size(), 1u);
    rig.clock.advance(0.0);
    EXPECT_EQ(rig.recorder.pathsAndFlags(), (PathFlags{{"/c/A", 0x200}, {"/c/B", 0x800}}));

    // Stopping drops the open batch.
    rig.watch.report(Kind::Removed, "/c/C");
    ASSERT_TRUE(rig.events.stopWatchingPaths());
    rig.clock.advance(5.0);
    EXPECT_EQ(rig.recorder.delivered.size(), 2u);
    EXPECT_FALSE(rig.watch.running);

    // The latency in force when the watch starts times its batches.
    rig.events.setNotificationLatency(0.25);
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    rig.watch.report(Kind::Removed, "/c/D");
    rig.clock.advance(0.25);
    EXPECT_EQ(rig.recorder.delivered.size(), 3u);
}

TEST(FolderEvents, ExcludedPathsAndTrailingSlashes) {
    struct Case {
        const char* name;
        bool ignoreSubDirs;
        PathFlags expected;
    };
    const Case cases[] = {
        {"sub-folders of excluded paths skipped", true, {{"/c/keep", 0x200}, {"/", 0x200}}},
        {"only the excluded paths themselves skipped", false,
         {{"/c/keep", 0x200}, {"/c/tmp/x", 0x200}, {"/c/tmpfile", 0x200}, {"/", 0x200}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.events.setExcludedPaths({"/c/tmp"});
        rig.events.setIgnoreEventsFromSubDirs(c.ignoreSubDirs);
        ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
        for (const char* path : {"/c/keep/", "/c/tmp", "/c/tmp/x/", "/c/tmpfile", "/"})
            rig.watch.report(Kind::Removed, path);
        rig.clock.advance(1.0);
        EXPECT_EQ(rig.recorder.pathsAndFlags(), c.expected);
    }
}

TEST(FolderEvents, ADelegateThatStopsTheWatchGetsNoMoreOfTheBatchAndCanStartAgain) {
    Rig rig;
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    rig.recorder.onEvent = [&](const SCEvent&) {
        rig.recorder.onEvent = nullptr;
        rig.events.stopWatchingPaths();
        rig.events.startWatchingPaths({"/d"});
    };
    rig.watch.report(Kind::Removed, "/c/A");
    rig.watch.report(Kind::Removed, "/c/B");
    rig.clock.advance(1.0);
    EXPECT_EQ(rig.recorder.pathsAndFlags(), (PathFlags{{"/c/A", 0x200}}));

    rig.watch.report(Kind::Unmounted, "/d");
    rig.clock.advance(1.0);
    EXPECT_EQ(rig.recorder.pathsAndFlags(), (PathFlags{{"/c/A", 0x200}, {"/d", 0x80}}));
}

TEST(FolderEvents, AVolumeRootBesideAFolderOnItIsWatchedForItsOwnEntriesOnly) {
    struct Case {
        std::vector<std::string> paths;
        std::vector<bool> recursive;
    };
    const Case cases[] = {
        {{"/media/u/CARD/DCIM", "/media/u/CARD"}, {true, false}},
        {{"/media/u/CARD/DCIM/", "/media/u/CARD/"}, {true, false}},
        {{"/mnt/a", "/mnt/ab"}, {true, true}},  // a name prefix is not an ancestor
        {{"/mnt/a", "/"}, {true, false}},
        {{"/mnt/a"}, {true}},
    };
    for (const auto& c : cases) {
        const auto roots = SCEvents::watchRootsFor(c.paths);
        ASSERT_EQ(roots.size(), c.paths.size());
        for (std::size_t i = 0; i < roots.size(); ++i) {
            EXPECT_EQ(roots[i].path, c.paths[i]);
            EXPECT_EQ(roots[i].recursive, c.recursive[i]) << c.paths[i];
        }
    }
}

TEST(FolderEvents, TextFormOfAnEvent) {
    const SCEvent small(7, std::chrono::system_clock::now(), "/media/card", kSCEventFlagRootChanged);
    EXPECT_EQ(small.description(), "<SCEvent { eventId = 7, eventPath = /media/card, eventFlags = 32 } >");
    const SCEvent large(0x8000000000000005ull, {}, "/a b", 0xA00);
    EXPECT_EQ(large.description(), "<SCEvent { eventId = 9223372036854775813, eventPath = /a b, eventFlags = 2560 } >");
}
