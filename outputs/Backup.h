#pragma once
#include "outputs/FileCopy.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Backup of chosen recordings, each with its telemetry log, into a folder the user chose; shared
// by the window and `cartena backup`.
//
// The loop copies the recordings in the order given. A recording that cannot be copied stops the
// loop (what was copied before it stays); a log that cannot be copied is skipped without a message.
// Copies keep their source's modification time (the library sorts, pairs and files recordings by
// it) and mode bits (a write-protected event recording stays an event), and never appear half
// written (outputs/ExportFile.h). A recording already in the folder is replaced; a log already
// there is kept.
//
// Where the copies go: the chosen folder itself, except that a recording of a front/rear pair
// keeps its own folder's name as a sub-folder (the pairing is read from the folder names ending in
// F and R, which a flat copy would lose). Logs go beside their recordings. Two recordings of one
// backup with the same name both stay: the second gets " (2)" before its extension, and its log
// the same base, so that the lookup beside the recording still finds it.

// 0 when nothing is at the path.
std::uint64_t pmGetFileSize(const std::string& path);
// Whether the folder cannot be written (a read-only mount, no permission, not there).
bool pmIsReadOnlyFolder(const std::string& path);
// The bytes an unprivileged writer may still use on the volume of the path (f_bavail x
// f_frsize); none when it cannot be asked.
std::optional<std::uint64_t> pmGetDiskFreeSpace(const std::string& path);
// Replaces how the free space is asked (tests); an empty function asks the file system again.
void pmSetDiskFreeSpaceFunction(std::function<std::optional<std::uint64_t>(const std::string&)> function);

// A recording needs its size plus this much free space before it is copied.
inline constexpr std::uint64_t kBackupSpareBytes = 1'048'576;

// The percentage shown: (current / 1024) / (total / 1024) x 100 in floating point, cut, at most
// 100. A backup of nothing but empty recordings (total 0) shows 100.
int pmBackupPercent(std::uint64_t current, std::uint64_t total);
// The bar's value for a bar of 0..maximum, in whole numbers (byte counts do not fit a bar's int).
int pmBackupBarValue(std::uint64_t current, std::uint64_t total, int maximum);

struct BackupResult {
    enum class Status { Done, Canceled, Failed };
    Status status = Status::Done;
    std::string messageKey;  // the IDS_ key of a failure's message
    std::string path;        // the recording that failed
    int error = 0;           // the system's error number, when one caused the failure
    int recordingsCopied = 0;
    int logsCopied = 0;
};

// The failure's message in the current language, with the recording's file name filled in.
std::string pmBackupMessage(const BackupResult& result);

// The places the copies of one backup take under the chosen folder (see above).
class BackupNames {
public:
    // The recording's place, relative to the chosen folder.
    std::string recordingPlace(const std::string& recordingPath);
    // The place of the recording's log, given where the recording went.
    static std::string logPlace(const std::string& recordingPath, const std::string& recordingPlace,
                                const std::string& logPath);

private:
    std::set<std::string> used_;  // places taken, ASCII case folded (FAT folds case)
};

// What the copying thread shares with the thread that shows the progress: written whole, read at
// any time.
struct BackupProgress {
    std::atomic<std::uint64_t> lCurrentSize{0};  // bytes of recordings copied so far
    std::atomic<bool> canceled{false};
};

struct BackupOptions {
    CopyMethods methods;
    // Called on the copying thread after every step of a copy with the bytes counted so far.
    std::function<void(std::uint64_t currentSize)> afterStep;
};

// The whole loop on the calling thread.
BackupResult pmRunBackup(const std::vector<std::string>& recordings, const std::string& folder,
                         BackupProgress& progress, const BackupOptions& options = {});

// A backup on a thread of its own. The recordings are taken when it is made; their total size
// (logs not counted) too. Destroying a job that still runs cancels it and waits for it; what it was
// copying is dropped.
class BackupJob {
public:
    BackupJob(std::vector<std::string> recordings, std::string folder, BackupOptions options = {});
    ~BackupJob();
    BackupJob(const BackupJob&) = delete;
    BackupJob& operator=(const BackupJob&) = delete;

    void start();
    void cancel() { progress_.canceled = true; }
    bool isCanceled() const { return progress_.canceled; }
    bool isFinished() const { return finished_; }
    // Waits for the thread (returns at once when it was never started).
    void join();

    std::uint64_t totalSize() const { return total_; }
    std::uint64_t currentSize() const { return progress_.lCurrentSize; }
    const std::string& folder() const { return folder_; }
    // Valid once isFinished().
    const BackupResult& result() const { return result_; }

private:
    std::vector<std::string> recordings_;
    std::string folder_;
    BackupOptions options_;
    std::uint64_t total_ = 0;
    BackupProgress progress_;
    BackupResult result_;
    std::atomic<bool> finished_{false};
    std::thread worker_;
};
