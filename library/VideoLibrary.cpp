#include "library/VideoLibrary.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/FileReader.h"
#include "Utility/FileSystem.h"
#include "Utility/WaitingIndicator.h"
#include "Utility/WorkSharing.h"
#include "library/ContainerProbe.h"
#include "library/RecordingName.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unordered_map>
#include <optional>
#include <string_view>
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

// A folder open for listing; its entries are then opened and looked up relative to it, which
// spares the walk from the root for every file.
class OpenFolder {
public:
    explicit OpenFolder(const std::string& path) : dir_(::opendir(path.c_str())) {}
    ~OpenFolder() {
        if (dir_) ::closedir(dir_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    DIR* dir() const { return dir_; }
    int fd() const { return ::dirfd(dir_); }

private:
    DIR* dir_;
};

// The entries of an open folder as the file system lists them, "." and ".." left out; the error
// when the folder could not be listed or the listing broke off (then no entries), else 0.
int readEntries(const OpenFolder& open, std::vector<ListedEntry>& entries) {
    if (!open.dir()) return errno;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(open.dir());
        if (!entry) break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") entries.push_back({std::string(name), entry->d_type});
    }
    const int error = errno;
    if (error != 0) entries.clear();
    return error;
}

// The scan's listing: false, with a log line, when the folder cannot be listed.
bool listFolder(const std::string& folder, const OpenFolder& open, std::vector<ListedEntry>& entries) {
    if (const int error = readEntries(open, entries); error != 0) {
        logUnlistable(folder, error);
        return false;
    }
    return true;
}

// Existence tests of many files in few folders: each folder is listed once and its files are looked
// up in the listing, so a card of thousands of recordings costs a few directory reads instead of one
// system call per recording. A symbolic link is still tested through the file system, since a link
// whose target is gone does not count as existing.
class ExistenceTest {
public:
    bool exists(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash + 1 == path.size()) return pmIsFileExist(path);
        const std::string_view folder(path.data(), slash == 0 ? 1 : slash);
        auto found = folders_.find(folder);
        if (found == folders_.end()) found = folders_.emplace(std::string(folder), list(std::string(folder))).first;
        // A folder that cannot be listed gets the plain test, which tells the same.
        if (!found->second) return pmIsFileExist(path);
        const auto entry = found->second->find(std::string_view(path).substr(slash + 1));
        if (entry == found->second->end()) return false;
        return entry->second != DT_LNK && entry->second != DT_UNKNOWN ? true : pmIsFileExist(path);
    }

private:
    // Looked up with the views of the paths' parts, without copying them.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    template <class Value>
    using ByName = std::unordered_map<std::string, Value, NameHash, std::equal_to<>>;
    using Listing = ByName<unsigned char>;  // name to entry type

    static std::optional<Listing> list(const std::string& folder) {
        std::vector<ListedEntry> entries;
        if (readEntries(OpenFolder(folder), entries) != 0) return std::nullopt;
        Listing names;
        for (ListedEntry& entry : entries) names.emplace(std::move(entry.name), entry.type);
        return names;
    }

    ByName<std::optional<Listing>> folders_;
};

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
    // The walk is bound by opening and reading every file, system calls that cores make side by side.
    WorkSharing probes(WorkSharing::helpersForThisMachine(3));
    searchFolder(folder, parents, probes);
}

void VideoLibrary::searchFolder(const std::string& folder, std::vector<FolderId>& parents, WorkSharing& probes) {
    std::vector<ListedEntry> entries;
    const OpenFolder open(folder);
    if (!listFolder(folder, open, entries)) return;
    if (mListingHook) {
        std::vector<std::string> names;
        for (const auto& entry : entries) names.push_back(entry.name);
        mListingHook(folder, names);
    }

    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + '/';
    // Each run of files between two sub-folders is probed at once and added in listing order, so the
    // library keeps the walk's order.
    std::vector<const ListedEntry*> files;
    const auto addFiles = [&] {
        std::vector<std::optional<AMediaFile>> found(files.size());
        probes.run(files.size(), [&](std::size_t i) {
            found[i] = probeVideoFile(prefix + files[i]->name, open.fd(), files[i]->name);
        });
        for (std::optional<AMediaFile>& entry : found)
            if (entry) mVideoLib.push_back(std::move(*entry));
        files.clear();
    };
    for (const ListedEntry& entry : entries) {
        // A plain file needs no stat of its own: opening it for the probe tells whether it is
        // still there, and its status gives the date.
        if (entry.type == DT_REG) {
            files.push_back(&entry);
            continue;
        }
        struct stat st {};
        if (::fstatat(open.fd(), entry.name.c_str(), &st, 0) != 0) continue;  // vanished, or a dangling link
        if (!S_ISDIR(st.st_mode)) {
            files.push_back(&entry);
            continue;
        }
        // Links are followed, but never into a folder that is already being walked: that would
        // never end. Two links to one folder elsewhere still scan it twice.
        const FolderId id{st.st_dev, st.st_ino};
        if (std::find(parents.begin(), parents.end(), id) != parents.end()) continue;
        addFiles();
        parents.push_back(id);
        searchFolder(prefix + entry.name, parents, probes);
        parents.pop_back();
    }
    addFiles();
}

bool VideoLibrary::addVideoFile(const std::string& path) {
    std::optional<AMediaFile> entry = probeVideoFile(path, AT_FDCWD, path);
    if (entry) mVideoLib.push_back(std::move(*entry));
    return entry.has_value();
}

std::optional<AMediaFile> VideoLibrary::probeVideoFile(const std::string& path, int folderFd, const std::string& name) {
    const std::int32_t videoType = pmGetVideoFileType(path);
    if (videoType == kVideoFileOther) return std::nullopt;
    // One open file serves the probe and the date, so both describe the same file.
    FileReader file(folderFd, name);
    const bool playable = videoType == kVideoFileAvi ? pmIsAviCodecReady(file) : pmIsMovCodecReady(file, path);
    if (!playable) return std::nullopt;
    return AMediaFile::mediaFileWithURLDate(path, pmGetFileDate(file.status()));
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

std::vector<AMediaFile> VideoLibrary::filterPlaylist(std::vector<AMediaFile> sorted, const PlaylistFilter& filter) {
    std::vector<AMediaFile> kept;
    kept.reserve(sorted.size());
    ExistenceTest existence;
    for (AMediaFile& entry : sorted) {
        if (!existence.exists(entry.URL())) continue;
        if (!filter.allFile && pmGetLocalDay(entry.fileDate()) != filter.selectedDay) continue;
        if (!keepsRecordType(pmGetRecordFileType(entry.URL()), filter)) continue;
        kept.push_back(std::move(entry));
    }
    return kept;
}

void VideoLibrary::rebuildPlaylist(VideoLibraryClient& client) {
    std::vector<AMediaFile> sorted = sortByFileDate();
    clearPlayList();
    pmOutputDebugMsg("AppDelegate::rebuildPlaylist - Start - Ready to call setCurPlaylistIndex:-1");
    client.closePlayers();
    pmOutputDebugMsg("AppDelegate::rebuildPlaylist - Ready to check if a video exist");
    mPlaylist = filterPlaylist(std::move(sorted), client.playlistFilter());
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
    if (index < 0 || static_cast<std::size_t>(index) >= mPlaylist.size()) return -1;
    return getAnotherCameraFile(index, pmGetAnotherCameraFile(mPlaylist[static_cast<std::size_t>(index)].URL()));
}

std::int32_t VideoLibrary::getAnotherCameraFile(std::int32_t index, const std::optional<std::string>& partner) const {
    if (index < 0 || static_cast<std::size_t>(index) >= mPlaylist.size() || !partner) return -1;
    // The playlist is in date order and a pair is written at one moment, so the partner can only be
    // a neighbour; the comparison is exact, case included.
    const auto at = [&](std::int32_t i) {
        return i >= 0 && static_cast<std::size_t>(i) < mPlaylist.size() && mPlaylist[static_cast<std::size_t>(i)].URL() == *partner;
    };
    if (at(index + 1)) return index + 1;
    if (at(index - 1)) return index - 1;
    return -1;
}

std::optional<CalendarDay> VideoLibrary::lastVideoDay() const {
    if (mVideoLib.empty()) return std::nullopt;
    // Usually the newest entry still exists: found without sorting (of equal dates the last one
    // in scan order, as the stable sort would put it).
    const auto newest = std::max_element(mVideoLib.rbegin(), mVideoLib.rend(), [](const AMediaFile& a, const AMediaFile& b) {
        return a.fileDate() < b.fileDate();
    });
    if (pmIsFileExist(newest->URL())) return pmGetLocalDay(newest->fileDate());
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
    ExistenceTest existence;
    return !mPlaylist.empty() && std::all_of(mPlaylist.begin(), mPlaylist.end(), [&](const AMediaFile& entry) {
        return existence.exists(entry.URL());
    });
}

std::optional<std::string> pmFindPairedRecording(const std::string& path) {
    if (pmCheckDualCameraFileType(path) == kCameraNone) return std::nullopt;
    struct stat recording {};
    if (::stat(path.c_str(), &recording) != 0) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::absolute(path).lexically_normal().parent_path();
    const std::filesystem::path tree = folder.has_parent_path() ? folder.parent_path() : folder;
    VideoLibrary library;
    library.searchFolder(tree.string());
    library.setPlaylist(VideoLibrary::filterPlaylist(library.sortByFileDate(), PlaylistFilter{}));
    const std::vector<AMediaFile>& playlist = library.playlist();
    for (std::size_t index = 0; index < playlist.size(); ++index) {
        struct stat entry {};
        if (::stat(playlist[index].URL().c_str(), &entry) != 0 || entry.st_dev != recording.st_dev ||
            entry.st_ino != recording.st_ino)
            continue;
        const std::int32_t partner = library.getAnotherCameraFile(static_cast<std::int32_t>(index));
        if (partner >= 0) return playlist[static_cast<std::size_t>(partner)].URL();
    }
    return std::nullopt;
}
