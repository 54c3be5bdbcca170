#include "app/FolderMonitor.h"

#include "Utility/DiagnosticLog.h"
#include "library/DiskVolume.h"

FolderMonitor::FolderMonitor(FolderMonitorHost& host, FolderWatch& watch, Scheduler& scheduler)
    : host_(host), watch_(watch), scheduler_(scheduler) {}

FolderMonitor::~FolderMonitor() { stopMonitorFolder(); }

void FolderMonitor::startMonitorFolder(const std::string& folder) {
    pmOutputDebugMsgF("AppDelegate::startMonitorFolder() - %s", folder.c_str());
    if (!_events) {
        _events = std::make_unique<SCEvents>(watch_, scheduler_);
        _events->setDelegate(this);
    } else {
        _events->stopWatchingPaths();
    }

    std::vector<std::string> paths{folder};
    // Compared resolved, so that "/media/card/" or a link to the card does not watch it twice.
    if (const auto volume = pmGetDiskVolume(folder); volume && *volume != pmCanonicalFolderPath(folder))
        paths.push_back(*volume);
    // A watch that cannot start leaves the folder unwatched, without a message.
    _events->startWatchingPaths(paths);
}

void FolderMonitor::stopMonitorFolder() {
    if (_events) _events->stopWatchingPaths();
}

void FolderMonitor::pathWatcher(SCEvents*, const SCEvent& event) {
    pmOutputDebugMsgF("AppDelegate::pathWatcher() - %s", event.description().c_str());
    const std::uint32_t flags = event.eventFlags();
    if (flags == kSCEventFlagRootChanged || flags == kSCEventFlagUnmount) {
        pmOutputDebugMsgF("Folder is removed or unmounted - %s", event.eventPath().c_str());
        onMonitorFolder();
    } else if (flags & (kSCEventFlagItemRemoved | kSCEventFlagItemRenamed)) {
        pmOutputDebugMsgF("Folder is removed or rename - %s", event.eventPath().c_str());
        onMonitorFolder();
    }
}

void FolderMonitor::onMonitorFolder() {
    // A check started from inside another (the waiting indicator turning the loop) runs anyway;
    // the log says so.
    if (m_bCheckFolder) pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - Rentry, it is checking...");
    m_bCheckFolder = true;
    pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - start");
    if (!host_.isPlaylistEmpty() && !host_.isAllMediaExist()) {
        pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - Ready to VideoLibIsReady()");
        host_.pausePlayback();
        host_.videoLibIsReady();
        pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - Ready to CheckLastVideoDate");
        host_.checkLastVideoDate();
        pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - Ready to RebuildPlayList");
        host_.startWait();
        host_.rebuildPlaylist();
        host_.endWait();
    }
    m_bCheckFolder = false;
    pmOutputDebugMsg("AppDelegate::OnMonitorFolder() - end");
}
