#pragma once
#include "interfaces/FolderWatch.h"
#include "library/DiskVolume.h"

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class QSocketNotifier;
class QTimer;

// The folder watch on inotify, delivered on the thread that starts it (the main thread).
// - A tree root gets one watch per folder, following folder links as the scan does (a folder met
//   twice, by its device and inode, is watched once), and new folders are watched as they appear
//   (new links are not followed: what they lead to is not in the library before the next scan).
//   A flat root gets one watch for its own entries.
// - The ancestors of every root are watched for their own move or deletion, which moves the root.
// - Unmounts are seen through IN_UNMOUNT and through the mount table: a lazy unmount with a file
//   held open, or the unmount of a bind mount, sends no inotify event.
// - The kernel queue is read as soon as it has data (then left to gather for a few ms), so a burst
//   does not overflow it while a batch waits above. The tree is never scanned again: on an overflow the loss is reported, not repaired.
// - When the system runs out of watches, the roots, ancestors and volume roots (watched first) are
//   kept, the log says so once, and the rest of the tree goes unwatched.
class InotifyFolderWatch : public FolderWatch {
public:
    InotifyFolderWatch();
    ~InotifyFolderWatch() override;

    bool start(const std::vector<WatchRoot>& roots, Sink sink) override;
    void stop() override;
    void drain() override;
    std::string description() const override;

    std::size_t watchCount() const { return watched_.nodes.size(); }
    bool ranOutOfWatches() const { return watched_.outOfWatches; }
    // The mount table is also read at this interval in case its change signal is missed.
    static constexpr int kMountPollMilliseconds = 2000;
    // After a read, the queue is left to gather this long before the next.
    static constexpr int kGatherMilliseconds = 10;

private:
    struct Node {
        std::string path;
        dev_t dev = 0;
        ino_t ino = 0;
        bool contents = false;   // reports changes of its entries
        bool recursive = false;  // its sub-folders are watched too
        std::vector<std::size_t> rootOf;
        std::vector<std::size_t> ancestorOf;
    };
    struct Root {
        std::string path;
        bool recursive = true;
        bool watched = false;
        dev_t dev = 0;
        std::optional<MountEntry> mount;
    };
    struct Added {
        Node* node = nullptr;
        bool existed = false;
    };

    Added watchFolder(const std::string& path, std::uint32_t mask);
    void walk(const std::string& folder);
    void handle(int wd, std::uint32_t mask, const char* name);
    void handleUnmount(const Node& node);
    void movedIn(const std::string& path);
    void finishMoves();
    void repath(const std::string& from, const std::string& to);
    void forget(int wd);
    void checkMounts();
    void reportUnmount(const std::string& mountPoint);
    void report(FolderChange::Kind kind, const std::string& path);

    int fd_ = -1;
    int mountFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> resumeTimer_;
    std::unique_ptr<QSocketNotifier> mountNotifier_;
    std::unique_ptr<QTimer> mountTimer_;
    // What one start() watches; stop() starts it afresh in one assignment of {}.
    struct Watched {
        Sink sink;
        std::vector<Root> roots;
        std::unordered_map<int, Node> nodes;
        std::vector<std::string> movedOut;
        std::set<std::string> reportedUnmounts;
        bool outOfWatches = false;
    };
    Watched watched_;
    std::uint64_t epoch_ = 0;  // bumped by stop(), so a drain stops when its sink stopped the watch
};
