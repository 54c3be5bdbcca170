#include "library/VideoLibrary.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/FileReader.h"
#include "Utility/FileSystem.h"
#include "Utility/WaitingIndicator.h"
#include "library/ContainerProbe.h"
#include "library/RecordingName.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

struct VideoLibrary::FolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderId&) const = default;
};

namespace {

void logUnlistable(const std::string& folder, int error) {
    pmOutputDebugMsgF("AppDelegate::searchFolder - cannot list the folder - %s - %s", folder.c_str(),
                      std::error_code(error, std::generic_category()).message().c_str());
}

struct ListedEntry {
    std::string name;
    unsigned char type;  // d_type: DT_REG, DT_DIR, DT_LNK, ... or DT_UNKNOWN
};

// The entries of a folder as the file system lists them, "." and ".." left out; false when the
// folder cannot be listed (a listing that breaks off counts as none).
bool listFolder(const std::string& folder, std::vector<ListedEntry>& entries) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        logUnlistable(folder, errno);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") entries.push_back({std::string(name), entry->d_type});
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        logUnlistable(folder, error);
        entries.clear();
        return false;
    }
    return true;
}

}  // namespace

bool VideoLibrary::buildVideoLibrary(const std::string& folder, VideoLibraryClient& client) {
    pmOutputDebugMsgF("AppDelegate::buildVideoLibrary - Start! - %s", folder.c_str());
    pmStartWait();
    clearVideoLibrary();
    // A card may have been swapped for another since the last scan.
    pmForgetMountedDevices();
    client.runScan([&] { searchFolder(folder); });
    client.startMonitorFolder(folder);
    pmOutputDebugMsgF("AppDelegate::buildVideoLibrary - found video count = %ld, bOK = %d",
                      static_cast<long>(mVideoLib.size()), 1);
    client.videoLibIsReady();
    checkLastVideoDate(client);
    rebuildPlaylist(client);
    pmEndWait();
    pmOutputDebugMsg("AppDelegate::buildVideoLibrary - End !");
    return true;
}

void VideoLibrary::searchFolder(const std::string& folder) {
    std::vector<FolderId> parents;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) parents.push_back({st.st_dev, st.st_ino});
    searchFolder(folder, parents);
}

void VideoLibrary::searchFolder(const std::string& folder, std::vector<FolderId>& parents) {
    std::vector<ListedEntry> entries;
    if (!listFolder(folder, entries)) return;
    if (mListingHook) {
        std::vector<std::string> names;
        for (const auto& entry : entries) names.push_back(entry.name);
        mListingHook(folder, names);
    }

    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + '/';
    for (const ListedEntry& entry : entries) {
        const std::string path = prefix + entry.name;
        // A plain file needs no stat of its own: opening it for the probe tells whether it is
        // still there, and its status gives the date.
        if (entry.type == DT_REG) {
            addVideoFile(path);
            continue;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;  // vanished, or a dangling link
        if (!S_ISDIR(st.st_mode)) {
            addVideoFile(path);
            continue;
        }
        // Links are followed, but never into a folder that is already being walked: that would
        // never end. Two links to one folder elsewhere still scan it twice.
        const FolderId id{st.st_dev, st.st_ino};
        if (std::find(parents.begin(), parents.end(), id) != parents.end()) continue;
        parents.push_back(id);
        searchFolder(path, parents);
        parents.pop_back();
    }
}

bool VideoLibrary::addVideoFile(const std::string& path) {
    const std::int32_t videoType = pmGetVideoFileType(path);
    if (videoType == kVideoFileOther) return false;
    // One open file serves the probe and the date, so both describe the same file.
    FileReader file(path);
    const bool playable = videoType == kVideoFileAvi ? pmIsAviCodecReady(file) : pmIsMovCodecReady(file, path);
    if (!playable) return false;
    mVideoLib.push_back(AMediaFile::mediaFileWithURLDate(path, pmGetFileDate(file.status())));
    return true;
}

bool VideoLibrary::insertMediaToVideoLib(const AMediaFile& entry, std::size_t insertIndex) {
    if (insertIndex > mVideoLib.size()) return false;
    mVideoLib.insert(mVideoLib.begin() + static_cast<std::ptrdiff_t>(insertIndex), entry);
    return true;
}

bool VideoLibrary::insertObject(const AMediaFile& entry, std::size_t index) {
    if (index > mPlaylist.size()) return false;
    mPlaylist.insert(mPlaylist.begin() + static_cast<std::ptrdiff_t>(index), entry);
    return true;
}

std::vector<AMediaFile> VideoLibrary::sortByFileDate() const {
    std::vector<AMediaFile> sorted = mVideoLib;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const AMediaFile& a, const AMediaFile& b) { return a.fileDate() < b.fileDate(); });
    return sorted;
}

bool VideoLibrary::keepsRecordType(std::uint16_t recordType, const PlaylistFilter& filter) {
    return (recordType == kRecordEvent && filter.showEvent) ||
           (filter.showNormal && filter.showEvent && filter.showParking) ||
           (recordType == kRecordNormal && filter.showNormal);
}

std::vector<AMediaFile> VideoLibrary::filterPlaylist(const std::vector<AMediaFile>& sorted,
                                                     const PlaylistFilter& filter) {
    std::vector<AMediaFile> kept;
    for (const AMediaFile& entry : sorted) {
        if (!pmIsFileExist(entry.URL())) continue;
        if (!filter.allFile && pmGetLocalDay(entry.fileDate()) != filter.selectedDay) continue;
        if (!keepsRecordType(pmGetRecordFileType(entry.URL()), filter)) continue;
        kept.push_back(AMediaFile::mediaFileWithURLDate(entry.URL(), entry.fileDate()));
    }
    return kept;
}

void VideoLibrary::rebuildPlaylist(VideoLibraryClient& client) {
    const std::vector<AMediaFile> sorted = sortByFileDate();
    clearPlayList();
    pmOutputDebugMsg("AppDelegate::rebuildPlaylist - Start - Ready to call setCurPlaylistIndex:-1");
    client.closePlayers();
    pmOutputDebugMsg("AppDelegate::rebuildPlaylist - Ready to check if a video exist");
    mPlaylist = filterPlaylist(sorted, client.playlistFilter());
    client.playlistRebuilt(mPlaylist);
    pmOutputDebugMsgF("AppDelegate::rebuildPlaylist - video count = %ld", static_cast<long>(mPlaylist.size()));
}

std::optional<std::string> VideoLibrary::getFilePathInPlaylist(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= mPlaylist.size()) return std::nullopt;
    return mPlaylist[static_cast<std::size_t>(index)].URL();
}

std::uint16_t VideoLibrary::checkDualCameraFileType(std::int32_t index) const {
    const auto path = getFilePathInPlaylist(index);
    return path ? pmCheckDualCameraFileType(*path) : kCameraNone;
}

std::int32_t VideoLibrary::getAnotherCameraFile(std::int32_t index) const {
    const auto path = getFilePathInPlaylist(index);
    if (!path) return -1;
    const auto partner = pmGetAnotherCameraFile(*path);
    if (!partner) return -1;
    // The playlist is in date order and a pair is written at one moment, so the partner can only be
    // a neighbour; the comparison is exact, case included.
    if (const auto next = getFilePathInPlaylist(index + 1); next && *next == *partner) return index + 1;
    if (index >= 1) {
        if (const auto previous = getFilePathInPlaylist(index - 1); previous && *previous == *partner)
            return index - 1;
    }
    return -1;
}

std::optional<CalendarDay> VideoLibrary::lastVideoDay() const {
    const std::vector<AMediaFile> sorted = sortByFileDate();
    for (auto entry = sorted.rbegin(); entry != sorted.rend(); ++entry)
        if (pmIsFileExist(entry->URL())) return pmGetLocalDay(entry->fileDate());
    return std::nullopt;
}

void VideoLibrary::checkLastVideoDate(VideoLibraryClient& client) const {
    if (const auto day = lastVideoDay()) client.setActivateDay(day->year, day->month, day->day);
}

bool VideoLibrary::isMediaExistByDate(int year, int month, int day) const {
    const CalendarDay wanted{year, month, day};
    return std::any_of(mVideoLib.begin(), mVideoLib.end(),
                       [&](const AMediaFile& entry) { return pmGetLocalDay(entry.fileDate()) == wanted; });
}

bool VideoLibrary::isAllMediaExist() const {
    return !mPlaylist.empty() && std::all_of(mPlaylist.begin(), mPlaylist.end(), [](const AMediaFile& entry) {
        return pmIsFileExist(entry.URL());
    });
}
