#include "Utility/DiagnosticLog.h"
#include "library/SCEvents.h"
#include "support/FakeFolderWatch.h"
#include "support/ManualScheduler.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Kind = FolderChange::Kind;
using Strings = std::vector<std::string>;

// A watcher on a fake folder watch and a manual clock. Each event that reaches the delegate is
// written down as "path flags" (flags in hex), with the time it came at.
struct Rig : SCEventListenerProtocol {
    ManualScheduler clock;
    FakeFolderWatch watch;
    SCEvents events{watch, clock};
    Strings delivered;
    std::vector<double> times;
    std::function<void()> onEvent;

    Rig() { events.setDelegate(this); }
    void pathWatcher(SCEvents* watcher, const SCEvent& event) override {
        EXPECT_EQ(watcher, &events);
        delivered.push_back(pmFormat("%s %#x", event.eventPath().c_str(), event.eventFlags()));
        times.push_back(clock.now());
        if (onEvent) onEvent();
    }
    void report(const std::vector<std::pair<Kind, std::string>>& changes) {
        for (const auto& [kind, path] : changes) watch.report(kind, path);
    }
};

}  // namespace

TEST(FolderEvents, TheWindowIsFixedByTheFirstChangeSoASteadyCopyStillGetsABatchEverySecond) {
    Rig rig;
    ASSERT_TRUE(rig.events.startWatchingPaths({"/card"}));
    rig.clock.advance(1.0);
    // A removal every quarter second for three seconds: a debounce would wait for the end.
    for (int k = 0; k < 12; ++k) {
        rig.watch.report(Kind::Removed, "/card/DCIM");
        rig.clock.advance(0.25);
    }
    rig.clock.advance(2.0);
    EXPECT_EQ(rig.times, (std::vector<double>{2.0, 3.0, 4.0}));
    EXPECT_EQ(rig.delivered, Strings(3, "/card/DCIM 0x200"));
    // What the system still holds when the window closes is read into that batch.
    rig.watch.report(Kind::Removed, "/card/A");
    rig.clock.advance(0.9);
    rig.watch.queue(Kind::Renamed, "/card/A");
    rig.watch.queue(Kind::Removed, "/card/B");
    rig.clock.advance(0.1);
    EXPECT_EQ(Strings(rig.delivered.begin() + 3, rig.delivered.end()), (Strings{"/card/A 0xa00", "/card/B 0x200"}));
    // Creations alone open no window; a quiet watch keeps no timer; ids count on across restarts.
    for (int i = 0; i < 100; ++i) rig.watch.report(Kind::Created, "/card");
    EXPECT_EQ(rig.clock.activeCount(), 0u);
    ASSERT_TRUE(rig.events.stopWatchingPaths());
    ASSERT_TRUE(rig.events.startWatchingPaths({"/card"}));
    rig.report({{Kind::RootChanged, "/card"}});
    rig.clock.advance(0.999);
    EXPECT_EQ(rig.events.lastEvent()->eventId(), 5u);
    rig.clock.advance(0.001);
    EXPECT_EQ(rig.events.lastEvent()->description(),
              "<SCEvent { eventId = 6, eventPath = /card, eventFlags = 32 } >");
}

TEST(FolderEvents, ChangesBecomeFlaggedEventsCoalescedPerFolderLessTheExcludedPaths) {
    const Kind removed = Kind::Removed, renamed = Kind::Renamed, created = Kind::Created, root = Kind::RootChanged;
    const std::vector<std::pair<Kind, std::string>> nearExcluded = {
        {removed, "/c/keep/"}, {removed, "/c/tmp"}, {removed, "/c/tmp/x/"}, {removed, "/c/tmpfile"}, {removed, "/"}};
    const struct {
        const char* name;
        std::vector<std::pair<Kind, std::string>> changes;
        Strings expected;
        bool ignoreSubDirs = true;
    } cases[] = {
        {"removals and renames of one folder OR together; folders keep their first-seen order",
         {{removed, "/c/A"}, {removed, "/c/B"}, {renamed, "/c/A"}, {removed, "/c/A"}}, {"/c/A 0xa00", "/c/B 0x200"}},
        {"a root change stays alone even beside removals of the same folder, once per batch",
         {{removed, "/c"}, {root, "/c"}, {root, "/c"}, {renamed, "/c"}}, {"/c 0xa00", "/c 0x20"}},
        {"an unmount stays alone and is not merged with a root change",
         {{Kind::Unmounted, "/m"}, {root, "/m"}, {Kind::Unmounted, "/m"}}, {"/m 0x80", "/m 0x20"}},
        {"an overflow is an item removal of the folder it names",
         {{Kind::Overflow, "/c"}, {renamed, "/c"}, {Kind::Overflow, "/c"}}, {"/c 0xa00"}},
        {"creations are not events", {{created, "/c"}, {removed, "/c/X"}, {created, "/c/X"}}, {"/c/X 0x200"}},
        {"what starts with an excluded path is left out; trailing slashes go", nearExcluded,
         {"/c/keep 0x200", "/ 0x200"}},
        {"only the excluded path itself is left out", nearExcluded,
         {"/c/keep 0x200", "/c/tmp/x 0x200", "/c/tmpfile 0x200", "/ 0x200"}, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.events.setExcludedPaths({"/c/tmp"});
        rig.events.setIgnoreEventsFromSubDirs(c.ignoreSubDirs);
        ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
        rig.report(c.changes);
        rig.clock.advance(1.0);
        EXPECT_EQ(rig.delivered, c.expected) << c.name;
    }
}

TEST(FolderEvents, StartStopAndFlushFollowTheWatchersStateAlsoWhenTheDelegateStopsIt) {
    Rig rig;
    EXPECT_FALSE(rig.events.stopWatchingPaths() || rig.events.startWatchingPaths({}));
    EXPECT_FALSE(rig.events.flushEventStreamSync() || rig.events.flushEventStreamAsync());
    EXPECT_FALSE(rig.events.streamDescription());
    rig.watch.refuse = true;
    EXPECT_FALSE(rig.events.startWatchingPaths({"/gone"}) || rig.events.isWatchingPaths());
    rig.watch.refuse = false;
    // A watched path that holds another (a volume's root beside a folder on it) is watched for its
    // own entries only; trailing slashes and name prefixes do not make an ancestor.
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c/DCIM/", "/c/", "/c/DCIMX", "/"}));
    Strings roots;
    for (const auto& root : rig.watch.roots) roots.push_back(root.path + (root.recursive ? " tree" : " entries"));
    EXPECT_EQ(roots, (Strings{"/c/DCIM/ tree", "/c/ entries", "/c/DCIMX tree", "/ entries"}));
    EXPECT_FALSE(rig.events.startWatchingPaths({"/d"}));  // already watching
    EXPECT_EQ(rig.events.streamDescription(), std::optional<std::string>("fake watch of /c/DCIM/"));
    // A synchronous flush delivers what the system holds at once, an asynchronous one on the next turn.
    rig.watch.queue(Kind::Removed, "/c/A");
    ASSERT_TRUE(rig.events.flushEventStreamSync());
    EXPECT_EQ(rig.delivered, (Strings{"/c/A 0x200"}));
    rig.watch.queue(Kind::Renamed, "/c/B");
    ASSERT_TRUE(rig.events.flushEventStreamAsync());
    EXPECT_EQ(rig.delivered.size(), 1u);
    rig.clock.advance(0.0);
    EXPECT_EQ(rig.delivered, (Strings{"/c/A 0x200", "/c/B 0x800"}));
    // Stopping drops the open batch; the latency in force when the watch starts times its batches.
    rig.watch.report(Kind::Removed, "/c/C");
    ASSERT_TRUE(rig.events.stopWatchingPaths());
    rig.clock.advance(5.0);
    rig.events.setNotificationLatency(0.25);
    ASSERT_TRUE(rig.events.startWatchingPaths({"/c"}));
    rig.watch.report(Kind::Removed, "/c/D");
    rig.clock.advance(0.25);
    EXPECT_EQ(rig.delivered, (Strings{"/c/A 0x200", "/c/B 0x800", "/c/D 0x200"}));
    // A delegate that stops the watch gets no more of the batch, and may start another at once.
    rig.onEvent = [&] {
        rig.onEvent = nullptr;
        rig.events.stopWatchingPaths();
        rig.events.startWatchingPaths({"/d"});
    };
    rig.report({{Kind::Removed, "/c/E"}, {Kind::Removed, "/c/F"}});
    rig.clock.advance(0.25);
    rig.report({{Kind::Unmounted, "/d"}});
    rig.clock.advance(0.25);
    EXPECT_EQ(Strings(rig.delivered.begin() + 3, rig.delivered.end()), (Strings{"/c/E 0x200", "/d 0x80"}));
}
