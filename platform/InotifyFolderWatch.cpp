#include "platform/InotifyFolderWatch.h"

#include "Utility/DiagnosticLog.h"

#include <QSocketNotifier>
#include <QTimer>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

constexpr std::uint32_t kTreeMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::uint32_t kFlatMask = IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr std::uint32_t kAncestorMask = IN_DELETE_SELF | IN_MOVE_SELF;

std::string childPath(const std::string& folder, const char* name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path.push_back('/');
    path.append(name);
    return path;
}

bool isUnder(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// The real folders above a canonical path, nearest first, without "/" (which cannot move).
std::vector<std::string> ancestorsOf(const std::string& canonical) {
    std::vector<std::string> ancestors;
    std::string path = canonical;
    for (;;) {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0) break;
        path.resize(slash);
        ancestors.push_back(path);
    }
    return ancestors;
}

}  // namespace

InotifyFolderWatch::InotifyFolderWatch() = default;

InotifyFolderWatch::~InotifyFolderWatch() { stop(); }

bool InotifyFolderWatch::start(const std::vector<WatchRoot>& roots, Sink sink) {
    stop();
    if (roots.empty()) return false;
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        pmOutputDebugMsgF("InotifyFolderWatch::start() - inotify_init1 failed: %s", std::strerror(errno));
        return false;
    }
    watched_.sink = std::move(sink);

    // Roots, then their ancestors, then the trees: when watches run short, the ones that tell of a
    // vanished folder or volume are already in place.
    const auto mounts = pmReadMountInfo();
    for (const auto& given : roots) {
        Root root;
        root.path = given.path;
        root.recursive = given.recursive;
        root.mount = pmFindMount(mounts, pmCanonicalFolderPath(given.path));
        watched_.roots.push_back(std::move(root));
    }
    for (std::size_t i = 0; i < watched_.roots.size(); ++i) {
        const Added added = watchFolder(watched_.roots[i].path, watched_.roots[i].recursive ? kTreeMask : kFlatMask);
        if (!added.node) continue;
        added.node->contents = true;
        added.node->rootOf.push_back(i);
        watched_.roots[i].watched = true;
        watched_.roots[i].dev = added.node->dev;
    }
    for (std::size_t i = 0; i < watched_.roots.size(); ++i) {
        if (!watched_.roots[i].watched) continue;
        for (const auto& ancestor : ancestorsOf(pmCanonicalFolderPath(watched_.roots[i].path)))
            if (const Added added = watchFolder(ancestor, kAncestorMask); added.node)
                added.node->ancestorOf.push_back(i);
    }
    if (std::none_of(watched_.roots.begin(), watched_.roots.end(), [](const Root& root) { return root.watched; })) {
        stop();
        return false;
    }
    for (const auto& root : watched_.roots)
        if (root.watched && root.recursive) walk(root.path);

    // Read as soon as there is something, then let a burst gather for a moment: one read of many
    // events instead of a wake-up for every few. The kernel's queue holds far more than a copy
    // makes in that moment.
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    resumeTimer_ = std::make_unique<QTimer>();
    resumeTimer_->setSingleShot(true);
    resumeTimer_->setInterval(kGatherMilliseconds);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        drain();
        if (!notifier_) return;
        notifier_->setEnabled(false);
        resumeTimer_->start();
    });
    QObject::connect(resumeTimer_.get(), &QTimer::timeout, resumeTimer_.get(), [this] {
        if (notifier_) notifier_->setEnabled(true);
    });

    // The kernel flags the mount table as changed (POLLPRI) when something is mounted or unmounted.
    mountFd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (mountFd_ >= 0) {
        mountNotifier_ = std::make_unique<QSocketNotifier>(mountFd_, QSocketNotifier::Exception);
        QObject::connect(mountNotifier_.get(), &QSocketNotifier::activated, mountNotifier_.get(),
                         [this] { checkMounts(); });
    }
    mountTimer_ = std::make_unique<QTimer>();
    mountTimer_->setInterval(kMountPollMilliseconds);
    QObject::connect(mountTimer_.get(), &QTimer::timeout, mountTimer_.get(), [this] { checkMounts(); });
    mountTimer_->start();
    return true;
}

void InotifyFolderWatch::stop() {
    ++epoch_;
    notifier_.reset();
    resumeTimer_.reset();
    mountNotifier_.reset();
    mountTimer_.reset();
    if (fd_ >= 0) ::close(fd_);  // closing drops every watch
    if (mountFd_ >= 0) ::close(mountFd_);
    fd_ = mountFd_ = -1;
    watched_ = {};
}

InotifyFolderWatch::Added InotifyFolderWatch::watchFolder(const std::string& path, std::uint32_t mask) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    const int wd = ::inotify_add_watch(fd_, path.c_str(), mask | IN_MASK_ADD | IN_ONLYDIR);
    if (wd < 0) {
        if (errno == ENOSPC && !watched_.outOfWatches) {
            watched_.outOfWatches = true;
            pmOutputDebugMsgF("InotifyFolderWatch - out of inotify watches with %zu in use; %s and folders "
                              "added after it are not watched",
                              watched_.nodes.size(), path.c_str());
        }
        return {};
    }
    const auto [it, inserted] = watched_.nodes.try_emplace(wd);
    if (inserted) {
        it->second.path = path;
        it->second.dev = st.st_dev;
        it->second.ino = st.st_ino;
    }
    return {&it->second, !inserted};
}

void InotifyFolderWatch::walk(const std::string& folder) {
    // Depth first with our own stack: trees on a card can be deep.
    std::vector<std::string> stack{folder};
    while (!stack.empty()) {
        const std::string path = std::move(stack.back());
        stack.pop_back();
        const Added added = watchFolder(path, kTreeMask);
        if (!added.node) {
            if (watched_.outOfWatches) return;
            continue;
        }
        if (added.node->recursive) continue;  // met before: a link back into the tree
        added.node->recursive = added.node->contents = true;

        DIR* dir = ::opendir(path.c_str());
        if (!dir) continue;
        while (const dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (entry->d_type == DT_DIR) {
                stack.push_back(childPath(path, name));
            } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                std::string child = childPath(path, name);
                struct stat st {};
                if (::stat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) stack.push_back(std::move(child));
            }
        }
        ::closedir(dir);
    }
}

void InotifyFolderWatch::drain() {
    if (fd_ < 0) return;
    const std::uint64_t epoch = epoch_;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) continue;
        if (length <= 0) break;
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            const char* name = event.len ? buffer + offset + sizeof event : "";
            handle(event.wd, event.mask, name);
            if (epoch != epoch_) return;
            offset += static_cast<ssize_t>(sizeof event + event.len);
        }
        // Room left for the longest event: the queue was empty, no need to ask again.
        if (static_cast<std::size_t>(length) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer) break;
    }
    finishMoves();
}

void InotifyFolderWatch::handle(int wd, std::uint32_t mask, const char* name) {
    if (mask & IN_Q_OVERFLOW) {
        if (!watched_.roots.empty()) report(FolderChange::Kind::Overflow, watched_.roots.front().path);
        return;
    }
    const auto it = watched_.nodes.find(wd);
    if (it == watched_.nodes.end()) return;
    if (mask & IN_IGNORED) {
        forget(wd);
        return;
    }
    if (mask & IN_UNMOUNT) {
        handleUnmount(it->second);
        return;
    }
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        // Copies: the sink may stop the watch and clear the nodes.
        const auto rootOf = it->second.rootOf;
        const auto ancestorOf = it->second.ancestorOf;
        for (const std::size_t i : rootOf) report(FolderChange::Kind::RootChanged, watched_.roots[i].path);
        for (const std::size_t i : ancestorOf)
            if (i < watched_.roots.size()) report(FolderChange::Kind::RootChanged, watched_.roots[i].path);
        return;
    }
    if (!it->second.contents) return;

    const std::string folder = it->second.path;
    const bool recursive = it->second.recursive;
    const bool isFolder = mask & IN_ISDIR;
    const std::uint64_t epoch = epoch_;
    if (mask & IN_CREATE) {
        report(FolderChange::Kind::Created, folder);
        if (epoch != epoch_ || !recursive) return;
        // Only real folders: a link made after the scan leads to nothing the library holds, and
        // checking every new file for being one would cost a system call per file of a copy.
        if (isFolder) walk(childPath(folder, name));
    } else if (mask & IN_DELETE) {
        report(FolderChange::Kind::Removed, folder);
    } else if (mask & IN_MOVED_FROM) {
        report(FolderChange::Kind::Renamed, folder);
        if (epoch == epoch_ && recursive && isFolder) watched_.movedOut.push_back(childPath(folder, name));
    } else if (mask & IN_MOVED_TO) {
        report(FolderChange::Kind::Renamed, folder);
        if (epoch == epoch_ && recursive && isFolder) movedIn(childPath(folder, name));
    }
}

void InotifyFolderWatch::movedIn(const std::string& path) {
    const Added added = watchFolder(path, kTreeMask);
    if (!added.node) return;
    // A folder of ours moved within the tree keeps its watches under its new name.
    if (added.existed && added.node->recursive) {
        const std::string from = added.node->path;
        if (from != path) repath(from, path);
        return;
    }
    walk(path);
}

void InotifyFolderWatch::finishMoves() {
    // A folder moved away with no arrival inside the tree has left it: its watches go.
    for (const auto& gone : watched_.movedOut) {
        const auto it = std::find_if(watched_.nodes.begin(), watched_.nodes.end(), [&](const auto& entry) {
            return entry.second.path == gone;
        });
        if (it == watched_.nodes.end()) continue;
        struct stat st {};
        if (::stat(gone.c_str(), &st) == 0 && st.st_dev == it->second.dev && st.st_ino == it->second.ino) continue;
        std::vector<int> drop;
        for (const auto& [wd, node] : watched_.nodes)
            if ((node.path == gone || isUnder(node.path, gone)) && node.rootOf.empty() && node.ancestorOf.empty())
                drop.push_back(wd);
        for (const int wd : drop) {
            ::inotify_rm_watch(fd_, wd);
            forget(wd);
        }
    }
    watched_.movedOut.clear();
}

void InotifyFolderWatch::repath(const std::string& from, const std::string& to) {
    for (auto& [wd, node] : watched_.nodes) {
        if (node.path == from) node.path = to;
        else if (isUnder(node.path, from)) node.path = to + node.path.substr(from.size());
    }
}

void InotifyFolderWatch::forget(int wd) { watched_.nodes.erase(wd); }

void InotifyFolderWatch::handleUnmount(const Node& node) {
    const dev_t dev = node.dev;
    std::vector<std::string> mountPoints;
    for (const auto& root : watched_.roots)
        if (root.watched && root.dev == dev) mountPoints.push_back(root.mount ? root.mount->mountPoint : root.path);
    if (mountPoints.empty()) {
        // A file system mounted inside a tree: named by the highest folder we watch on it.
        const Node* top = nullptr;
        for (const auto& [wd, other] : watched_.nodes)
            if (other.dev == dev && other.contents && (!top || other.path.size() < top->path.size())) top = &other;
        if (top) mountPoints.push_back(top->path);
    }
    for (const auto& mountPoint : mountPoints) reportUnmount(mountPoint);
}

void InotifyFolderWatch::checkMounts() {
    const auto mounts = pmReadMountInfo();
    if (mounts.empty()) return;  // unreadable: claim nothing
    std::vector<std::string> gone;
    for (const auto& root : watched_.roots) {
        if (!root.watched || !root.mount) continue;
        const bool present = std::any_of(mounts.begin(), mounts.end(),
                                         [&](const MountEntry& entry) { return entry.sameMount(*root.mount); });
        if (!present) gone.push_back(root.mount->mountPoint);
    }
    for (const auto& mountPoint : gone) reportUnmount(mountPoint);
}

void InotifyFolderWatch::reportUnmount(const std::string& mountPoint) {
    if (!watched_.reportedUnmounts.insert(mountPoint).second) return;
    report(FolderChange::Kind::Unmounted, mountPoint);
}

void InotifyFolderWatch::report(FolderChange::Kind kind, const std::string& path) {
    if (watched_.sink) watched_.sink(FolderChange{kind, path});
}

std::string InotifyFolderWatch::description() const {
    if (fd_ < 0) return {};
    std::string text = pmFormat("inotify fd %d, %zu watches, roots:", fd_, watched_.nodes.size());
    for (const auto& root : watched_.roots) {
        text += ' ';
        text += root.path;
        text += root.watched ? (root.recursive ? " (tree)" : " (own entries)") : " (not watched)";
        if (root.mount) text += " on " + root.mount->mountPoint;
    }
    if (watched_.outOfWatches) text += ", out of watches";
    return text;
}
