#pragma once
#include "library/SCEvents.h"

#include <memory>
#include <string>

class FolderWatch;
class Scheduler;

// What the folder monitor needs of the controller that owns the playlist.
class FolderMonitorHost {
public:
    virtual ~FolderMonitorHost() = default;
    virtual bool isPlaylistEmpty() const = 0;
    // The playlist is not empty and every one of its files still exists.
    virtual bool isAllMediaExist() const = 0;
    // Pauses when playing; whether it did.
    virtual bool pausePlayback() = 0;
    // The calendar's `VideoLibIsReady`: the library may have changed.
    virtual void videoLibIsReady() = 0;
    virtual void checkLastVideoDate() = 0;
    // Rebuilds the playlist from the library's entries whose files still exist.
    virtual void rebuildPlaylist() = 0;
    // The waiting indicator.
    virtual void startWait() = 0;
    virtual void endWait() = 0;
};

// The controller's side of the folder watch: watch the scanned folder and its volume, and when
// recordings of the playlist vanish, pause and rebuild the playlist without them. The library is
// never rescanned here. The host, the folder watch and the scheduler must outlive the monitor.
class FolderMonitor : public SCEventListenerProtocol {
public:
    FolderMonitor(FolderMonitorHost& host, FolderWatch& watch, Scheduler& scheduler);
    ~FolderMonitor() override;

    // At every scan: (re)start watching the folder and, when it lies on a volume of its own, the
    // volume's root.
    void startMonitorFolder(const std::string& folder);
    // At termination.
    void stopMonitorFolder();
    void onMonitorFolder();
    void pathWatcher(SCEvents* pathWatcher, const SCEvent& event) override;

    // The watcher, once the first scan made it.
    SCEvents* events() const { return _events.get(); }
    bool isCheckingFolder() const { return m_bCheckFolder; }

private:
    FolderMonitorHost& host_;
    FolderWatch& watch_;
    Scheduler& scheduler_;
    std::unique_ptr<SCEvents> _events;
    bool m_bCheckFolder = false;
};
