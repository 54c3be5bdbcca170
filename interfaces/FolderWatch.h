#pragma once
#include <functional>
#include <string>
#include <vector>

// What the folder watch needs of the operating system: report, on the main thread, what happens to
// a few folder trees. Reports are raw (one per change, in the order seen); batching and the flags
// the controller reads are decided above this interface.

struct FolderChange {
    enum class Kind {
        Created,      // an entry appeared in the folder
        Removed,      // an entry of the folder was deleted
        Renamed,      // an entry was moved out of, into or within the folder
        RootChanged,  // the watched folder itself, or one of its ancestors, was deleted or moved
        Unmounted,    // the file system at `path` (a mount point) went away
        Overflow,     // the system dropped reports; `path` is the first watched folder
    };
    Kind kind;
    std::string path;  // the folder the change concerns
};

struct WatchRoot {
    std::string path;
    bool recursive = true;  // false: the folder's own entries only
};

class FolderWatch {
public:
    using Sink = std::function<void(const FolderChange&)>;
    virtual ~FolderWatch() = default;

    // Starts watching; false (and nothing watched) when not one of the roots can be watched.
    // Restarting replaces what was watched.
    virtual bool start(const std::vector<WatchRoot>& roots, Sink sink) = 0;
    // Stops; the sink is not called again.
    virtual void stop() = 0;
    // Hands everything the system has queued to the sink now.
    virtual void drain() = 0;
    // A one-line account of what is watched, for the log; empty when not watching.
    virtual std::string description() const = 0;
};
