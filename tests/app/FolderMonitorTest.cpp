#include "app/FolderMonitor.h"
#include "Utility/DiagnosticLog.h"
#include "library/DiskVolume.h"
#include "support/FakeFolderWatch.h"
#include "support/ManualScheduler.h"
#include "support/PlaylistHost.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Kind = FolderChange::Kind;

// The log's messages without their time stamps.
std::vector<std::string> loggedMessages() {
    std::istringstream lines(readFile(pmLogFilePath()));
    std::vector<std::string> messages;
    for (std::string line; std::getline(lines, line);) messages.push_back(line.substr(line.find(' ', 11) + 1));
    return messages;
}

struct Rig {
    TempHome home;
    std::string card = home.path() + "/card";
    ManualScheduler clock;
    FakeFolderWatch watch;
    PlaylistHost host;
    FolderMonitor monitor{host, watch, clock};

    Rig() {
        fs::create_directories(card);
        for (const char* name : {"FILE0001.MP4", "FILE0002.MP4", "EMER0001.MP4"}) {
            writeFile(card + "/" + name, "x");
            host.library.push_back(card + "/" + name);
        }
        host.playlist = host.library;
    }
};

const std::vector<std::string> kRebuildSteps = {"pausePlayback",    "videoLibIsReady", "checkLastVideoDate",
                                                "startWait",        "rebuildPlaylist", "endWait"};

}  // namespace

TEST(FolderMonitor, FlagsDecideWhetherThePlaylistIsChecked) {
    struct Case {
        std::uint32_t flags;
        const char* line;  // nullptr: the event is ignored
    };
    const Case cases[] = {
        {0x20, "Folder is removed or unmounted - /card"},
        {0x80, "Folder is removed or unmounted - /card"},
        {0x200, "Folder is removed or rename - /card"},
        {0x800, "Folder is removed or rename - /card"},
        {0x20 | 0x200, "Folder is removed or rename - /card"},  // not exactly a root change
        {0x20 | 0x80, nullptr},                                  // neither exact nor a removal
        {0x100, nullptr},                                        // a creation
        {0x10000, nullptr},
        {0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        Rig rig;
        fs::remove(rig.card + "/FILE0002.MP4");
        const SCEvent event(3, {}, "/card", c.flags);
        rig.monitor.pathWatcher(nullptr, event);

        std::vector<std::string> expected{"AppDelegate::pathWatcher() - " + event.description()};
        if (c.line) {
            expected.insert(expected.end(),
                            {c.line, "AppDelegate::OnMonitorFolder() - start",
                             "AppDelegate::OnMonitorFolder() - Ready to VideoLibIsReady()",
                             "AppDelegate::OnMonitorFolder() - Ready to CheckLastVideoDate",
                             "AppDelegate::OnMonitorFolder() - Ready to RebuildPlayList",
                             "AppDelegate::OnMonitorFolder() - end"});
        }
        EXPECT_EQ(loggedMessages(), expected);
        EXPECT_EQ(rig.host.calls, c.line ? kRebuildSteps : std::vector<std::string>{});
    }
}

TEST(FolderMonitor, ThePlaylistIsRebuiltOnlyWhenItHasFilesAndSomeAreGone) {
    struct Case {
        const char* name;
        bool emptyPlaylist;
        const char* removed;  // a file removed before the check
        bool rebuilt;
    };
    const Case cases[] = {
        {"a playlist file is gone", false, "FILE0002.MP4", true},
        {"every playlist file is there", false, nullptr, false},
        {"a file outside the playlist is gone", false, "OTHER.MP4", false},
        {"the playlist is empty", true, "FILE0001.MP4", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        writeFile(rig.card + "/OTHER.MP4", "x");
        if (c.emptyPlaylist) rig.host.playlist.clear();
        if (c.removed) fs::remove(rig.card + "/" + c.removed);
        rig.host.playing = true;
        rig.monitor.onMonitorFolder();

        EXPECT_EQ(rig.host.rebuilds, c.rebuilt ? 1 : 0);
        EXPECT_EQ(rig.host.playing, !c.rebuilt);
        EXPECT_FALSE(rig.monitor.isCheckingFolder());
        if (c.rebuilt) {
            EXPECT_EQ(rig.host.calls, kRebuildSteps);
            EXPECT_EQ(rig.host.playlist, (std::vector<std::string>{rig.card + "/FILE0001.MP4", rig.card + "/EMER0001.MP4"}));
        } else {
            EXPECT_TRUE(rig.host.calls.empty());
            EXPECT_EQ(loggedMessages(), (std::vector<std::string>{"AppDelegate::OnMonitorFolder() - start",
                                                                  "AppDelegate::OnMonitorFolder() - end"}));
        }
    }
}

TEST(FolderMonitor, ACheckStartedInsideAnotherIsLoggedAndRunsAllTheSame) {
    Rig rig;
    fs::remove(rig.card + "/FILE0001.MP4");
    rig.host.onRebuild = [&] {
        rig.host.onRebuild = nullptr;
        EXPECT_TRUE(rig.monitor.isCheckingFolder());
        fs::remove(rig.card + "/EMER0001.MP4");  // gone while the first rebuild ran
        rig.monitor.onMonitorFolder();
    };
    rig.monitor.onMonitorFolder();

    EXPECT_EQ(rig.host.rebuilds, 2);
    EXPECT_EQ(rig.host.playlist, (std::vector<std::string>{rig.card + "/FILE0002.MP4"}));
    EXPECT_FALSE(rig.monitor.isCheckingFolder());
    const auto messages = loggedMessages();
    const std::vector<std::string> expected = {
        "AppDelegate::OnMonitorFolder() - start",
        "AppDelegate::OnMonitorFolder() - Ready to VideoLibIsReady()",
        "AppDelegate::OnMonitorFolder() - Ready to CheckLastVideoDate",
        "AppDelegate::OnMonitorFolder() - Ready to RebuildPlayList",
        "AppDelegate::OnMonitorFolder() - Rentry, it is checking...",
        "AppDelegate::OnMonitorFolder() - start",
        "AppDelegate::OnMonitorFolder() - Ready to VideoLibIsReady()",
        "AppDelegate::OnMonitorFolder() - Ready to CheckLastVideoDate",
        "AppDelegate::OnMonitorFolder() - Ready to RebuildPlayList",
        "AppDelegate::OnMonitorFolder() - end",
        "AppDelegate::OnMonitorFolder() - end",
    };
    EXPECT_EQ(messages, expected);
}

TEST(FolderMonitor, EveryScanRestartsTheWatchOnTheFolderAndItsVolumesRoot) {
    Rig rig;
    EXPECT_EQ(rig.monitor.events(), nullptr);
    rig.monitor.stopMonitorFolder();  // nothing to stop yet

    // A folder on the system's own file system: the folder alone.
    ASSERT_FALSE(pmGetDiskVolume(rig.card).has_value()) << "the temporary folder is expected on /";
    rig.monitor.startMonitorFolder(rig.card);
    ASSERT_NE(rig.monitor.events(), nullptr);
    EXPECT_EQ(rig.monitor.events()->delegate(), &rig.monitor);
    EXPECT_EQ(rig.monitor.events()->watchedPaths(), (std::vector<std::string>{rig.card}));
    ASSERT_EQ(rig.watch.roots.size(), 1u);
    EXPECT_TRUE(rig.watch.roots[0].recursive);

    // The watch drives the check: a removal reaches the rebuild one latency later.
    fs::remove(rig.card + "/FILE0001.MP4");
    rig.watch.report(Kind::Removed, rig.card);
    rig.clock.advance(0.5);
    EXPECT_EQ(rig.host.rebuilds, 0);
    rig.clock.advance(0.5);
    EXPECT_EQ(rig.host.rebuilds, 1);

    // A folder on a mounted volume: the volume's root too, for its own entries. /dev/shm is a
    // mount point of its own on Linux.
    const auto shm = pmGetDiskVolume("/dev/shm");
    if (shm) {
        SCEvents* const watcher = rig.monitor.events();
        rig.monitor.startMonitorFolder("/dev/shm/cartena/DCIM");
        EXPECT_EQ(rig.monitor.events(), watcher);  // made once, restarted
        EXPECT_EQ(rig.watch.stops, 1);
        EXPECT_EQ(watcher->watchedPaths(), (std::vector<std::string>{"/dev/shm/cartena/DCIM", *shm}));
        ASSERT_EQ(rig.watch.roots.size(), 2u);
        EXPECT_TRUE(rig.watch.roots[0].recursive);
        EXPECT_FALSE(rig.watch.roots[1].recursive);

        // The volume's root itself, however written, is watched once.
        rig.monitor.startMonitorFolder(*shm + "/");
        EXPECT_EQ(watcher->watchedPaths(), (std::vector<std::string>{*shm + "/"}));
    }

    rig.monitor.stopMonitorFolder();
    EXPECT_FALSE(rig.monitor.events()->isWatchingPaths());
    EXPECT_FALSE(rig.watch.running);
    const auto messages = loggedMessages();
    EXPECT_EQ(messages.front(), "AppDelegate::startMonitorFolder() - " + rig.card);
}
