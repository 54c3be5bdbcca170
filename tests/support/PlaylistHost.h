#pragma once
#include "Utility/FileSystem.h"
#include "app/FolderMonitor.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The controller as the folder monitor sees it: a library of real files and the playlist built
// from those that exist, with every call recorded in order.
class PlaylistHost : public FolderMonitorHost {
public:
    explicit PlaylistHost(std::vector<std::string> files = {}) : library(std::move(files)), playlist(library) {}
    bool isPlaylistEmpty() const override { return playlist.empty(); }
    bool isAllMediaExist() const override {
        ++existenceChecks;
        return !playlist.empty() && std::all_of(playlist.begin(), playlist.end(), pmIsFileExist);
    }
    bool pausePlayback() override {
        calls.push_back("pausePlayback");
        return std::exchange(playing, false);
    }
    void videoLibIsReady() override { calls.push_back("videoLibIsReady"); }
    void checkLastVideoDate() override { calls.push_back("checkLastVideoDate"); }
    void rebuildPlaylist() override {
        calls.push_back("rebuildPlaylist");
        playlist.clear();
        std::copy_if(library.begin(), library.end(), std::back_inserter(playlist), pmIsFileExist);
        ++rebuilds;
        if (onRebuild) onRebuild();
    }
    void startWait() override { calls.push_back("startWait"); }
    void endWait() override { calls.push_back("endWait"); }

    std::vector<std::string> library, playlist, calls;
    mutable int existenceChecks = 0;
    int rebuilds = 0;
    bool playing = false;
    std::function<void()> onRebuild;
};
