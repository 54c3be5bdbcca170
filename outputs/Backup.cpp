#include "outputs/Backup.h"

#include "Utility/AsciiText.h"
#include "Utility/DiagnosticLog.h"
#include "Utility/StringTables.h"
#include "library/FileDate.h"
#include "library/RecordingName.h"
#include "outputs/ExportFile.h"
#include "telemetry/GpsLogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

std::mutex gFreeSpaceMutex;
std::function<std::optional<std::uint64_t>(const std::string&)> gFreeSpaceFunction;

std::optional<std::uint64_t> statvfsFreeSpace(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0) return std::nullopt;
    return std::uint64_t(st.f_bavail) * std::uint64_t(st.f_frsize);
}

enum class Failure { None, Canceled, Unreadable, SameFile, NoSpace, ReadOnly, Changed, Io, Exists };

const char* keyOf(Failure failure) {
    switch (failure) {
        case Failure::Unreadable: return "IDS_ERR_BACKUP_READ";
        case Failure::SameFile: return "IDS_ERR_BACKUP_SAME_FILE";
        case Failure::NoSpace: return "IDS_ERR_NO_DISK_SPACE";
        case Failure::ReadOnly: return "IDS_ERR_FOLDER_READ_ONLY";
        case Failure::Changed: return "IDS_ERR_BACKUP_CHANGED";
        default: return "IDS_ERR_BACKUP_IO";
    }
}

// What a write error says about the folder.
Failure writeFailure(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT: return Failure::NoSpace;
        case EROFS:
        case EACCES:
        case EPERM: return Failure::ReadOnly;
        case EEXIST: return Failure::Exists;
        default: return Failure::Io;
    }
}

struct Outcome {
    Failure failure = Failure::None;
    int error = 0;
};

// The loop of one backup on the copying thread.
class BackupRun {
public:
    BackupRun(std::string folder, BackupProgress& progress, const BackupOptions& options)
        : folder_(std::move(folder)), progress_(progress), options_(options) {
        while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    }

    BackupResult run(const std::vector<std::string>& recordings) {
        BackupResult result;
        if (pmIsReadOnlyFolder(folder_)) return failed(result, "", {Failure::ReadOnly, 0});
        for (const std::string& recording : recordings) {
            const std::string place = names_.recordingPlace(recording);
            const Outcome outcome = writeMediaToPath(recording, place);
            if (outcome.failure == Failure::Canceled) {
                result.status = BackupResult::Status::Canceled;
                return result;
            }
            if (outcome.failure != Failure::None) return failed(result, recording, outcome);
            ++result.recordingsCopied;
            if (const auto log = pmGetGpsLogFile(recording)) {
                const Outcome logged = copyFile(*log, BackupNames::logPlace(recording, place, *log), false, false);
                if (logged.failure == Failure::None) ++result.logsCopied;
                else pmOutputDebugMsgF("Backup - log not copied: %s - %s", log->c_str(), std::strerror(logged.error));
            }
        }
        if (progress_.canceled) result.status = BackupResult::Status::Canceled;
        return result;
    }

private:
    BackupResult& failed(BackupResult& result, const std::string& recording, const Outcome& outcome) {
        result.status = BackupResult::Status::Failed;
        result.messageKey = keyOf(outcome.failure);
        result.path = recording;
        result.error = outcome.error;
        pmOutputDebugMsgF("Backup - stopped at %s: %s (%s)", recording.c_str(), result.messageKey.c_str(),
                          outcome.error ? std::strerror(outcome.error) : "no system error");
        return result;
    }

    Outcome writeMediaToPath(const std::string& source, const std::string& place) {
        pmOutputDebugMsgF("sourcePath : %s destFolderPath:%s", source.c_str(), folder_.c_str());
        if (progress_.canceled) return {Failure::Canceled, 0};
        return copyFile(source, place, true, true);
    }

    // Makes the sub-folder of a place when it has one, and clears what a killed run left there.
    int prepareFolderOf(const std::string& target) {
        const std::string folder = target.substr(0, target.rfind('/'));
        if (!prepared_.insert(folder).second) return 0;
        if (folder != folder_ && ::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return errno;
        pmRemovePartialFiles(folder);
        return 0;
    }

    Outcome copyFile(const std::string& source, const std::string& place, bool isRecording, bool replace) {
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) return {Failure::Unreadable, errno};
        const Outcome outcome = copyOpenFile(in, place, isRecording, replace);
        ::close(in);
        return outcome;
    }

    Outcome copyOpenFile(int in, const std::string& place, bool isRecording, bool replace) {
        struct stat source {};
        if (::fstat(in, &source) != 0) return {Failure::Unreadable, errno};
        if (!S_ISREG(source.st_mode)) return {Failure::Unreadable, EISDIR};
        const std::string target = folder_ + "/" + place;
        struct stat existing {};
        if (::stat(target.c_str(), &existing) == 0 && existing.st_dev == source.st_dev &&
            existing.st_ino == source.st_ino)
            return {Failure::SameFile, 0};
        const auto length = std::uint64_t(source.st_size);
        if (isRecording) {
            const auto space = pmGetDiskFreeSpace(folder_);
            if (space && length + kBackupSpareBytes > *space) return {Failure::NoSpace, 0};
        }
        if (const int error = prepareFolderOf(target); error != 0) return {writeFailure(error), error};

        PendingFile file;
        if (const int error = file.open(target, source.st_mode & 07777); error != 0) return {writeFailure(error), error};
        const CopyOutcome copied = pmCopyFileData(
            in, file.fd(), length,
            [&](std::uint64_t step) {
                const std::uint64_t current = isRecording ? progress_.lCurrentSize += step : progress_.lCurrentSize.load();
                if (options_.afterStep) options_.afterStep(current);
                return !progress_.canceled;
            },
            options_.methods);
        switch (copied.end) {
            case CopyEnd::Stopped: return {Failure::Canceled, 0};
            case CopyEnd::SourceShort: return {Failure::Changed, 0};
            case CopyEnd::Failed: return {writeFailure(copied.error), copied.error};
            case CopyEnd::Done: break;
        }
        // A file system that keeps no modes or refuses the times (vfat, exFAT) does not fail the copy.
        if (const int error = pmKeepModeAndTimes(file.fd(), source); error != 0)
            pmOutputDebugMsgF("Backup - mode or time not kept: %s - %s", target.c_str(), std::strerror(error));
        const int error = file.commit(replace);
        return error == 0 ? Outcome{} : Outcome{writeFailure(error), error};
    }

    std::string folder_;
    BackupProgress& progress_;
    const BackupOptions& options_;
    BackupNames names_;
    std::set<std::string> prepared_;
};

}  // namespace

std::uint64_t pmGetFileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

bool pmIsReadOnlyFolder(const std::string& path) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) == 0 && (st.f_flag & ST_RDONLY)) return true;
    return ::access(path.c_str(), W_OK) != 0;
}

std::optional<std::uint64_t> pmGetDiskFreeSpace(const std::string& path) {
    std::lock_guard lock(gFreeSpaceMutex);
    return gFreeSpaceFunction ? gFreeSpaceFunction(path) : statvfsFreeSpace(path);
}

void pmSetDiskFreeSpaceFunction(std::function<std::optional<std::uint64_t>(const std::string&)> function) {
    std::lock_guard lock(gFreeSpaceMutex);
    gFreeSpaceFunction = std::move(function);
}

int pmBackupPercent(std::uint64_t current, std::uint64_t total) {
    if (total == 0) return 100;
    const double percent = (double(current) / 1024.0) / (double(total) / 1024.0) * 100.0;
    return std::min(100, static_cast<int>(percent));
}

int pmBackupBarValue(std::uint64_t current, std::uint64_t total, int maximum) {
    if (maximum <= 0) return 0;
    if (current >= total) return maximum;
    // Halve both until total x maximum fits in 64 bits.
    while (total > (std::uint64_t(1) << 32)) {
        total >>= 1;
        current >>= 1;
    }
    return static_cast<int>(current * std::uint64_t(maximum) / total);
}

std::string pmBackupMessage(const BackupResult& result) {
    if (result.messageKey.empty()) return {};
    std::string text = pmGetString(result.messageKey);
    if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, pmGetFileTitle(result.path, false));
    return text;
}

std::string BackupNames::recordingPlace(const std::string& recordingPath) {
    std::string folder;
    if (pmCheckDualCameraFileType(recordingPath) != kCameraNone) {
        const std::size_t slash = recordingPath.rfind('/');
        if (slash != std::string::npos && slash > 0) {
            const std::string parent = recordingPath.substr(0, slash);
            folder = parent.substr(parent.rfind('/') + 1) + "/";
        }
    }
    const std::string title = pmGetFileTitle(recordingPath, true);
    const std::string extension = pmGetFileExtension(recordingPath);
    const std::string dotExtension = extension.empty() ? "" : "." + extension;
    std::string place = folder + title + dotExtension;
    for (int n = 2; !used_.insert(pmToUpperAscii(place)).second; ++n)
        place = folder + title + " (" + std::to_string(n) + ")" + dotExtension;
    return place;
}

std::string BackupNames::logPlace(const std::string& recordingPath, const std::string& recordingPlace,
                                  const std::string& logPath) {
    const std::string title = pmGetFileTitle(recordingPath, true);
    const std::string logName = pmGetFileTitle(logPath, false);
    const std::size_t slash = recordingPlace.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : recordingPlace.substr(0, slash + 1);
    // The log's name starts with the recording's title (FILE0001.nmea, FILE0001.MP4.txt).
    if (!logName.starts_with(title)) return folder + logName;
    return folder + pmGetFileTitle(recordingPlace, true) + logName.substr(title.size());
}

BackupResult pmRunBackup(const std::vector<std::string>& recordings, const std::string& folder,
                         BackupProgress& progress, const BackupOptions& options) {
    return BackupRun(folder, progress, options).run(recordings);
}

BackupJob::BackupJob(std::vector<std::string> recordings, std::string folder, BackupOptions options)
    : recordings_(std::move(recordings)), folder_(std::move(folder)), options_(std::move(options)) {
    for (const std::string& recording : recordings_) total_ += pmGetFileSize(recording);
}

BackupJob::~BackupJob() {
    cancel();
    join();
}

void BackupJob::start() {
    if (worker_.joinable() || finished_) return;
    worker_ = std::thread([this] {
        result_ = pmRunBackup(recordings_, folder_, progress_, options_);
        finished_ = true;
    });
}

void BackupJob::join() {
    if (worker_.joinable()) worker_.join();
}
