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

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The log's messages without their time stamps.
Lines loggedMessages() {
    std::istringstream lines(readFile(pmLogFilePath()));
    Lines messages;
    for (std::string line; std::getline(lines, line);) messages.push_back(line.substr(line.find(' ', 11) + 1));
    return messages;
}

// Three recordings, all in the playing playlist, under a monitor with a fake watch.
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
        host.playing = true;
    }
};

const std::string kCheck = "AppDelegate::OnMonitorFolder() - ";

}  // namespace

TEST(FolderMonitor, ARootChangeUnmountRemovalOrRenameAloneStartsACheckThatPausesAndRebuilds) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x20, "Folder is removed or unmounted - /card"}, {0x80, "Folder is removed or unmounted - /card"},
        {0x200, "Folder is removed or rename - /card"},   {0x800, "Folder is removed or rename - /card"},
        {0x20 | 0x200, "Folder is removed or rename - /card"},  // more than a root change
        {0x20 | 0x80, nullptr}, {0x100, nullptr}, {0x10000, nullptr}, {0, nullptr},  // ignored
    };
    for (const auto& [flags, line] : cases) {
        SCOPED_TRACE(flags);
        Rig rig;
        fs::remove(rig.card + "/FILE0002.MP4");
        const SCEvent event(3, {}, "/card", flags);
        rig.monitor.pathWatcher(nullptr, event);
        const Lines messages = loggedMessages();
        EXPECT_EQ(messages.front(), "AppDelegate::pathWatcher() - " + event.description());
        EXPECT_EQ(messages.size() > 1 ? messages[1] : std::string(), line ? line : "");
        const Lines rebuild = {"pausePlayback", "videoLibIsReady", "checkLastVideoDate", "startWait", "rebuildPlaylist", "endWait"};
        EXPECT_EQ(rig.host.calls, line ? rebuild : Lines{});
    }
}

TEST(FolderMonitor, ThePlaylistIsRebuiltOnlyWhenItHasFilesAndSomeAreGone) {
    struct Case {
        const char* name;
        bool emptyPlaylist;
        const char* removed;
    };
    for (const Case c : {Case{"a playlist file is gone", false, "FILE0002.MP4"}, Case{"nothing is gone", false, nullptr},
                         Case{"a file outside the playlist is gone", false, "OTHER.MP4"},
                         Case{"the playlist is empty", true, "FILE0001.MP4"}}) {
        SCOPED_TRACE(c.name);
        Rig rig;
        writeFile(rig.card + "/OTHER.MP4", "x");
        if (c.emptyPlaylist) rig.host.playlist.clear();
        if (c.removed) fs::remove(rig.card + "/" + c.removed);
        rig.monitor.onMonitorFolder();
        const bool rebuilt = c.removed && std::string_view(c.removed) == "FILE0002.MP4";
        EXPECT_EQ(rig.host.rebuilds, rebuilt ? 1 : 0);
        EXPECT_EQ(rig.host.playing, !rebuilt);
        if (rebuilt) EXPECT_EQ(rig.host.playlist, (Lines{rig.card + "/FILE0001.MP4", rig.card + "/EMER0001.MP4"}));
        else EXPECT_EQ(loggedMessages(), (Lines{kCheck + "start", kCheck + "end"}));
    }
}

TEST(FolderMonitor, ACheckStartedInsideAnotherIsLoggedAndRunsAllTheSame) {
    Rig rig;
    fs::remove(rig.card + "/FILE0001.MP4");
    rig.host.onRebuild = [&] {
        rig.host.onRebuild = nullptr;
        fs::remove(rig.card + "/EMER0001.MP4");  // gone while the first rebuild ran
        rig.monitor.onMonitorFolder();
    };
    rig.monitor.onMonitorFolder();
    EXPECT_EQ(rig.host.rebuilds, 2);
    EXPECT_EQ(rig.host.playlist, (Lines{rig.card + "/FILE0002.MP4"}));
    EXPECT_FALSE(rig.monitor.isCheckingFolder());
    const Lines steps = {kCheck + "start", kCheck + "Ready to VideoLibIsReady()", kCheck + "Ready to CheckLastVideoDate",
                         kCheck + "Ready to RebuildPlayList"};
    Lines expected = steps;
    expected.push_back(kCheck + "Rentry, it is checking...");
    expected.insert(expected.end(), steps.begin(), steps.end());
    expected.insert(expected.end(), {kCheck + "end", kCheck + "end"});
    EXPECT_EQ(loggedMessages(), expected);
}

TEST(FolderMonitor, EachScanRestartsTheWatchOnTheFolderAndOnTheRootOfItsVolume) {
    Rig rig;
    rig.monitor.stopMonitorFolder();  // nothing to stop yet
    ASSERT_FALSE(pmGetDiskVolume(rig.card).has_value()) << "the temporary folder is expected on /";
    rig.monitor.startMonitorFolder(rig.card);  // on the system's own file system: the folder alone
    EXPECT_EQ(loggedMessages().front(), "AppDelegate::startMonitorFolder() - " + rig.card);
    ASSERT_EQ(rig.watch.roots.size(), 1u);
    EXPECT_TRUE(rig.watch.roots[0].recursive);
    fs::remove(rig.card + "/FILE0001.MP4");
    rig.watch.report(FolderChange::Kind::Removed, rig.card);
    rig.clock.advance(0.5);
    EXPECT_EQ(rig.host.rebuilds, 0);  // changes are gathered for a second first
    rig.clock.advance(0.5);
    EXPECT_EQ(rig.host.rebuilds, 1);

    if (const auto shm = pmGetDiskVolume("/dev/shm")) {  // a file system of its own on Linux
        SCEvents* const watcher = rig.monitor.events();
        rig.monitor.startMonitorFolder("/dev/shm/cartena/DCIM");
        EXPECT_EQ(rig.monitor.events(), watcher);
        EXPECT_EQ(watcher->watchedPaths(), (Lines{"/dev/shm/cartena/DCIM", *shm}));
        EXPECT_FALSE(rig.watch.roots.at(1).recursive);  // the volume's root for its own entries only
        rig.monitor.startMonitorFolder(*shm + "/");     // the root itself, however written: once
        EXPECT_EQ(watcher->watchedPaths(), (Lines{*shm + "/"}));
    }
    rig.monitor.stopMonitorFolder();
    EXPECT_FALSE(rig.watch.running);
}
