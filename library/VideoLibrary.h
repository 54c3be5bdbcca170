#pragma once
#include "library/AMediaFile.h"
#include "library/FileDate.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the playlist keeps: the calendar's day (unless all dates are shown) and the recording
// list's three type boxes.
struct PlaylistFilter {
    bool allFile = true;  // the controller's m_bAllFile
    CalendarDay selectedDay;
    bool showNormal = true;
    bool showEvent = true;
    bool showParking = true;
};

// The places where a scan or a playlist rebuild reaches beyond the library: folder watch, calendar,
// players, panels. The controller implements them; the defaults do nothing, which is all that a
// headless scan needs.
class VideoLibraryClient {
public:
    virtual ~VideoLibraryClient() = default;
    // Runs the folder walk. The window runs it on a worker thread and keeps the waiting indicator
    // turning until it returns; the default runs it here.
    virtual void runScan(const std::function<void()>& walk) { walk(); }
    virtual void startMonitorFolder(const std::string& /*folder*/) {}
    virtual void videoLibIsReady() {}
    virtual void setActivateDay(int /*year*/, int /*month*/, int /*day*/) {}
    // Closes the first player, and the second one in dual-camera mode.
    virtual void closePlayers() {}
    // Read after the players are closed: the check boxes and the calendar's day.
    virtual PlaylistFilter playlistFilter() { return {}; }
    // The new playlist is in place: fill the recording list, decide the dual-camera mode, reset the
    // panels and enable the media buttons.
    virtual void playlistRebuilt(const std::vector<AMediaFile>& /*playlist*/) {}
};

class WorkSharing;

// The library (every playable recording under the scanned folder, in the order the walk met them)
// and the playlist (the library sorted by date and filtered). Plain data and file-system work; the
// controller owns one and does the side effects through VideoLibraryClient.
class VideoLibrary {
public:
    // Scan, watch, announce, pick the newest day, rebuild the playlist; always true.
    bool buildVideoLibrary(const std::string& folder, VideoLibraryClient& client);
    // Adds every playable recording under the folder, depth first, entries in the order the file
    // system lists them. Folder links are followed except into a folder of the current chain of
    // parents; a folder that cannot be listed is logged and contributes nothing.
    void searchFolder(const std::string& folder);
    // Appends the file when it is a playable recording; false otherwise.
    bool addVideoFile(const std::string& path);

    bool insertMediaToVideoLib(const AMediaFile& entry, std::size_t insertIndex);
    void clearVideoLibrary() { mVideoLib.clear(); }
    void setVideoLib(const std::vector<AMediaFile>& library) { mVideoLib = library; }
    const std::vector<AMediaFile>& videoLib() const { return mVideoLib; }
    // A copy of the library in ascending date order; equal dates keep the scan order.
    std::vector<AMediaFile> sortByFileDate() const;

    void rebuildPlaylist(VideoLibraryClient& client);
    // The keep rule on its own: the entries of a date-sorted list whose file exists and that pass
    // the filter.
    static std::vector<AMediaFile> filterPlaylist(std::vector<AMediaFile> sorted, const PlaylistFilter& filter);
    static bool keepsRecordType(std::uint16_t recordType, const PlaylistFilter& filter);

    bool insertObject(const AMediaFile& entry, std::size_t index);
    void clearPlayList() { mPlaylist.clear(); }
    void setPlaylist(const std::vector<AMediaFile>& playlist) { mPlaylist = playlist; }
    const std::vector<AMediaFile>& playlist() const { return mPlaylist; }

    std::optional<std::string> getFilePathInPlaylist(std::int32_t index) const;
    std::uint16_t checkDualCameraFileType(std::int32_t index) const;
    // The playlist index of the other camera's recording: only the two neighbours are looked at.
    std::int32_t getAnotherCameraFile(std::int32_t index) const;
    // The same, given the partner's path as pmGetAnotherCameraFile names it (none: -1).
    std::int32_t getAnotherCameraFile(std::int32_t index, const std::optional<std::string>& partner) const;

    // The day of the newest library entry whose file still exists; none when none exists.
    std::optional<CalendarDay> lastVideoDay() const;
    void checkLastVideoDate(VideoLibraryClient& client) const;
    bool isMediaExistByDate(int year, int month, int day) const;
    bool isAllMediaExist() const;

    // Test seam: called with each folder's entry names after it is listed and before any entry is
    // looked at.
    using ListingHook = std::function<void(const std::string& folder, const std::vector<std::string>& names)>;
    void setListingHook(ListingHook hook) { mListingHook = std::move(hook); }

private:
    struct FolderId;
    void searchFolder(const std::string& folder, std::vector<FolderId>& parents, WorkSharing& probes);
    // The library entry of the file `name` of the folder open as `folderFd`, whose path is `path`;
    // none when it is not a playable recording. Any thread may call it.
    static std::optional<AMediaFile> probeVideoFile(const std::string& path, int folderFd, const std::string& name);

    std::vector<AMediaFile> mVideoLib;
    std::vector<AMediaFile> mPlaylist;
    ListingHook mListingHook;
};

// The other camera's recording of a front or rear recording, paired as the window pairs them: in
// the playlist (all dates, every type) of the folder tree that holds the recording's folder and its
// sibling, the partner is the recording's neighbour. None for a single camera's recording, or when
// no neighbour is its partner.
std::optional<std::string> pmFindPairedRecording(const std::string& path);
