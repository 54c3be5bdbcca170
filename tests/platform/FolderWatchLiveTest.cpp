// The controller's side of the folder watch: which reports start a check of the playlist, then the
// whole chain live on real folders (inotify, the Qt event loop, the checks). No time is asserted.
#include "Utility/DiagnosticLog.h"
#include "app/FolderMonitor.h"
#include "platform/InotifyFolderWatch.h"
#include "platform/QtScheduler.h"
#include "support/ChildProcess.h"
#include "support/PlaylistHost.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// How many log lines hold `text`.
long logLines(const std::string& text) {
    const auto lines = logMessages();
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// Whether the controller was told of a report on `path` with these flags.
bool logged(const std::string& path, std::uint32_t flags) {
    return logLines("eventPath = " + path + ", eventFlags = " + std::to_string(flags) + " }") > 0;
}

// A folder under the real watch and Qt timers, with three recordings, all in the playing playlist,
// written under `root` (the folder itself when empty).
struct Live {
    std::string card;
    QtScheduler scheduler;
    InotifyFolderWatch watch;
    PlaylistHost host;
    FolderMonitor monitor{host, watch, scheduler};

    explicit Live(const std::string& folder, std::string root = {}) : card(folder) {
        if (root.empty()) root = folder;
        fs::create_directories(root + "/DCIM/100");
        for (const char* name : {"DCIM/FILE0001.MP4", "DCIM/FILE0002.MP4", "DCIM/100/FILE0003.MP4"})
            writeFile(host.library.emplace_back(root + "/" + name), "recording");
        host.playlist = host.library;
        host.playing = true;
    }
    void start() { monitor.startMonitorFolder(card); }
};

// A Qt application of each test's own: the watch-limit test forks a child that makes its own.
class FolderWatchLive : public ::testing::Test {
protected:
    TempHome home;
    std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(qtArgc(), qtArgv());
};

}  // namespace

TEST_F(FolderWatchLive, OnlyANonEmptyPlaylistThatLostAFileIsRebuiltAndACheckStartedInsideAnotherRunsAllTheSame) {
    Live live(home.path() + "/card");
    live.monitor.onMonitorFolder();  // nothing is gone
    live.host.playlist.clear();
    fs::remove(live.host.library[0]);
    live.monitor.onMonitorFolder();  // gone, but the playlist is empty
    EXPECT_EQ(logLines("OnMonitorFolder() - start"), 2);
    EXPECT_TRUE(live.host.calls.empty());

    live.host.playlist = live.host.library;
    live.host.onRebuild = [&] {
        live.host.onRebuild = nullptr;
        fs::remove(live.host.library[2]);  // gone while the first rebuild ran
        live.monitor.onMonitorFolder();
    };
    live.monitor.onMonitorFolder();
    EXPECT_EQ(live.host.playlist, (Lines{live.host.library[1]}));
    EXPECT_FALSE(live.monitor.isCheckingFolder());
    EXPECT_EQ(logLines("AppDelegate::OnMonitorFolder() - Rentry, it is checking..."), 1);
    EXPECT_EQ(logLines("AppDelegate::OnMonitorFolder() - Ready to RebuildPlayList"), 2);
    EXPECT_EQ(logLines("AppDelegate::OnMonitorFolder() - end"), 4);
}

TEST_F(FolderWatchLive, RemovingOrRenamingARecordingOrLosingTheFolderPausesAndRebuildsWithoutThem) {
    // What happens to the card under `parent`, the folder of the report and its flags, the recordings left.
    const std::tuple<const char*, void (*)(const std::string&, const std::string&), const char*, std::uint32_t,
                     std::size_t> cases[] = {
        {"removed in a sub-folder", [](auto&, auto& card) { fs::remove(card + "/DCIM/100/FILE0003.MP4"); },
         "/DCIM/100", 0x200, 2},
        {"renamed", [](auto&, auto& card) { fs::rename(card + "/DCIM/FILE0002.MP4", card + "/DCIM/FILE0002.BAK"); },
         "/DCIM", 0x800, 2},
        {"folder deleted", [](auto&, auto& card) { fs::remove_all(card); }, "", 0x20, 0},
        {"parent renamed", [](auto& parent, auto&) { fs::rename(parent, parent + "-old"); }, "", 0x20, 0},
    };
    for (const auto& [what, act, eventFolder, flags, left] : cases) {
        SCOPED_TRACE(what);
        const std::string parent = home.path() + "/" + what;
        Live live(parent + "/card");
        live.start();
        act(parent, live.card);
        ASSERT_TRUE(spinUntil([&, path = live.card + eventFolder, f = flags] { return logged(path, f) && live.host.rebuilds; }));
        EXPECT_FALSE(live.host.playing);
        EXPECT_EQ(live.host.playlist.size(), left);
        live.monitor.stopMonitorFolder();
    }
}
TEST_F(FolderWatchLive, AnOverflowedQueueStillLeadsToACheckOfThePlaylist) {
    long limit = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    if (limit <= 0 || limit > 200000) GTEST_SKIP() << "a kernel queue of " << limit << " events is too long to fill";
    Live live(home.path() + "/card");
    fs::create_directories(live.card + "/burst");
    live.start();
    // The loop does not turn during the burst, so the queue overflows before anything reads it, and
    // the removal after it is lost.
    for (long i = 0; i < limit + 1000; ++i) {
        const int fd = ::open((live.card + "/burst/f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    fs::remove(live.card + "/DCIM/100/FILE0003.MP4");
    ASSERT_TRUE(spinUntil([&] { return live.host.rebuilds == 1; }));
    EXPECT_TRUE(logged(live.card, 0x200));
    EXPECT_FALSE(logged(live.card + "/DCIM/100", 0x200));
    EXPECT_EQ(live.host.playlist.size(), 2u);
}

TEST_F(FolderWatchLive, UnmountingTheCardsFileSystemIsSeenHoweverItGoes) {
    if (::unshare(CLONE_NEWNS) != 0) GTEST_SKIP() << "no private mount namespace here: " << std::strerror(errno);
    // Nothing mounted here may reach the machine's own namespace.
    ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
    enum How { Unmount, LazyWithFileOpen, BindUnmount, InsideTheWatchedFolder };
    const std::pair<How, const char*> cases[] = {{Unmount, "unmounted"},
                                                 {LazyWithFileOpen, "lazily unmounted, a recording open"},
                                                 {BindUnmount, "bind mount unmounted"},
                                                 {InsideTheWatchedFolder, "card inside the watched folder unmounted"}};
    for (const auto& [how, what] : cases) {
        SCOPED_TRACE(what);
        const std::string base = home.path() + "/" + what;
        const std::string mountPoint = base + (how == InsideTheWatchedFolder ? "/cards/card1" : "/mnt");
        fs::create_directories(mountPoint);
        fs::create_directories(base + "/src");
        ASSERT_EQ(how == BindUnmount ? ::mount((base + "/src").c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr)
                                     : ::mount("cartena-card", mountPoint.c_str(), "tmpfs", 0, "size=4m"),
                  0)
            << std::strerror(errno);
        Live live(how == InsideTheWatchedFolder ? base + "/cards" : mountPoint + "/DCIM/Movie",
                  how == InsideTheWatchedFolder ? mountPoint : "");
        live.monitor.startMonitorFolder(mountPoint + "/");  // the volume's root itself, however written: once
        EXPECT_EQ(live.monitor.events()->watchedPaths(), (Lines{mountPoint + "/"}));
        live.start();  // a folder on the volume: the volume's root too
        EXPECT_EQ(live.monitor.events()->watchedPaths(),
                  (how == InsideTheWatchedFolder ? Lines{live.card} : Lines{live.card, mountPoint}));
        const int held = how == LazyWithFileOpen ? ::open(live.host.library[0].c_str(), O_RDONLY | O_CLOEXEC) : -1;
        ASSERT_EQ(held >= 0, how == LazyWithFileOpen);
        ASSERT_EQ(::umount2(mountPoint.c_str(), held >= 0 ? MNT_DETACH : 0), 0) << std::strerror(errno);
        ASSERT_TRUE(spinUntil([&] { return logged(mountPoint, 0x80) && live.host.rebuilds; }));
        EXPECT_TRUE(live.host.playlist.empty());
        EXPECT_FALSE(live.host.playing);
        live.monitor.stopMonitorFolder();
        if (held >= 0) ::close(held);
    }
}

TEST_F(FolderWatchLive, RunningOutOfWatchesKeepsTheRootAndItsAncestorsWatched) {
    const std::string parent = home.path() + "/cards", card = parent + "/card";
    for (int i = 0; i < 30; ++i) fs::create_directories(card + "/DCIM/100/sub" + std::to_string(i));
    writeFile(card + "/FILE0010.MP4", "recording");
    app.reset();

    // A user namespace of its own lets the child lower its watch limit without touching the machine's.
    const int code = runInChild([&]() -> int {
        const auto put = [](const char* path, const char* text) { return bool(std::ofstream(path) << text << std::flush); };
        if (::unshare(CLONE_NEWUSER) != 0 || !put("/proc/self/setgroups", "deny") || !put("/proc/self/uid_map", "0 0 1") ||
            !put("/proc/self/gid_map", "0 0 1") || !put("/proc/sys/user/max_inotify_watches", "12"))
            return 77;
        QCoreApplication childApp(qtArgc(), qtArgv());
        Live live(card);
        live.host.library.push_back(card + "/FILE0010.MP4");
        live.host.playlist = live.host.library;
        live.start();
        if (!live.monitor.events()->isWatchingPaths()) return 10;
        if (!live.watch.ranOutOfWatches()) return 11;
        for (int i = 0; i < 5; ++i) fs::create_directories(card + "/later" + std::to_string(i));
        live.monitor.events()->flushEventStreamSync();
        if (logLines("out of inotify watches") != 1) return 12;
        fs::remove(card + "/FILE0010.MP4");
        if (!spinUntil([&] { return live.host.rebuilds == 1; })) return 13;
        fs::rename(parent, parent + "-old");  // seen only through the ancestors' watches
        if (!spinUntil([&] { return logged(card, 0x20); })) return 14;
        return live.host.playlist.empty() ? 0 : 15;
    });
    if (code == 77) GTEST_SKIP() << "no user namespace with its own watch limit here";
    EXPECT_EQ(code, 0) << "10 not watching, 11 never ran out, 12 the limit not logged exactly once, "
                          "13 removal in the root missed, 14 parent rename missed, 15 playlist kept";
}
