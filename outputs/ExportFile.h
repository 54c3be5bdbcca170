#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

// Putting a file in place so that no half-written file is ever seen under its name: exports (KML,
// GPX), captured frames and backup copies are all written this way.
//
// The content goes to a file that has no name yet: an unnamed temporary file (O_TMPFILE) in the
// target's folder, or, where the file system has none (vfat, exFAT, FUSE), the hidden name
// "." + name + ".cartena-part", which ends in no recording extension so that a scan never takes it
// for a recording. Once written it is flushed to disk and put under its name; the folder is flushed
// after. A file that is dropped (an error, a cancel, a crash) leaves nothing, or at worst a hidden
// ".cartena-part" name that pmRemovePartialFiles clears.

enum class ExportStatus {
    Written,
    Exists,       // the target exists and replacing was not allowed
    NothingToWrite,
    Failed,       // the folder could not take the file (errorCode says why)
};

struct ExportResult {
    ExportStatus status = ExportStatus::Failed;
    int errorCode = 0;
};

// A file being written that nobody sees until commit(); dropped unless committed.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Opens a pending file for `target` with the permission bits `mode` (less the umask); 0 or the
    // error number.
    int open(const std::string& target, mode_t mode = 0666);
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Whether the hidden temporary name is in use (no O_TMPFILE here).
    bool isNamed() const { return named_; }

    // Flushes the data and puts the file under the target's name, replacing what is there, or with
    // `replace` false failing with EEXIST when something is; then flushes the folder. 0 or the error
    // number; the file is dropped on failure.
    int commit(bool replace);
    // Drops the file: nothing of it stays.
    void discard();

private:
    int linkUnder(const std::string& name);

    int fd_ = -1;
    int folderFd_ = -1;
    std::string name_;      // the target's name in its folder
    bool named_ = false;    // written under tempName() rather than unnamed
    bool committed_ = false;
};

// The hidden name a file of this name is written under where there is no O_TMPFILE.
std::string pmPartialFileName(std::string_view name);
bool pmIsPartialFileName(std::string_view name);
// Removes the regular files of the folder whose names are partial-file names (left by a run that
// was killed); returns how many went.
int pmRemovePartialFiles(const std::string& folder);
// For tests: false makes every pending file take the hidden-name way, as on vfat.
void pmSetUnnamedTempFilesAllowed(bool allowed);

// Writes all the bytes at the file's position; false (errno set) on failure.
bool pmWriteAll(int fd, std::string_view bytes);

// `write` fills the pending file through the descriptor it is given and says whether that worked.
// Without `replace` an existing target is refused, also when it appears while writing.
ExportResult pmExportThroughTemp(const std::string& target, bool replace, const std::function<bool(int fd)>& write);
ExportResult pmExportBytes(const std::string& target, bool replace, std::string_view bytes);

std::string pmExportStatusText(const ExportResult& result);
