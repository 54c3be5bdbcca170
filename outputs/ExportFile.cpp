#include "outputs/ExportFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

ExportResult pmExportThroughTemp(const std::string& target, bool replace,
                                 const std::function<bool(const std::string& tempPath)>& write) {
    if (!replace && ::access(target.c_str(), F_OK) == 0) return {ExportStatus::Exists, EEXIST};
    // Created with the usual permissions (0666 less the umask), unlike mkstemp's 0600.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return {ExportStatus::Failed, errno};
    }
    if (fd < 0) return {ExportStatus::Failed, EEXIST};
    ::close(fd);
    int error = 0;
    bool ok = write(temp);
    if (!ok) error = errno ? errno : EIO;
    if (ok) {
        const int sync = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
        if (sync >= 0) {
            ::fsync(sync);
            ::close(sync);
        }
        const int renamed = replace ? ::rename(temp.c_str(), target.c_str())
                                    : ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (renamed != 0) {
            error = errno;
            ok = false;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return {error == EEXIST ? ExportStatus::Exists : ExportStatus::Failed, error};
    }
    return {ExportStatus::Written, 0};
}

std::string pmExportStatusText(const ExportResult& result) {
    switch (result.status) {
        case ExportStatus::Written: return "written";
        case ExportStatus::Exists: return "the file exists (use --force to replace it)";
        case ExportStatus::NothingToWrite: return "the recording has no positions to export";
        case ExportStatus::Failed: break;
    }
    return std::string("cannot write: ") + std::strerror(result.errorCode);
}
