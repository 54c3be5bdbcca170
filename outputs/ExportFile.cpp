#include "outputs/ExportFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <utility>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::string_view kPartialSuffix = ".cartena-part";
std::atomic<bool> gUnnamedAllowed{true};

// Errors that say the file system (or the kernel) has no unnamed temporary files.
bool lacksTmpFile(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOSYS; }

}  // namespace

std::string pmPartialFileName(std::string_view name) {
    std::string partial;
    partial.reserve(name.size() + kPartialSuffix.size() + 1);
    partial.append(1, '.').append(name).append(kPartialSuffix);
    return partial;
}

bool pmIsPartialFileName(std::string_view name) {
    return name.size() > kPartialSuffix.size() + 1 && name.front() == '.' && name.ends_with(kPartialSuffix);
}

void pmSetUnnamedTempFilesAllowed(bool allowed) { gUnnamedAllowed = allowed; }

int pmRemovePartialFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!pmIsPartialFileName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool pmWriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

PendingFile::~PendingFile() { discard(); }

PendingFile::PendingFile(PendingFile&& other) noexcept { *this = std::move(other); }

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        folderFd_ = std::exchange(other.folderFd_, -1);
        name_ = std::move(other.name_);
        named_ = other.named_;
        committed_ = other.committed_;
    }
    return *this;
}

int PendingFile::open(const std::string& target, mode_t mode) {
    discard();
    committed_ = false;
    named_ = false;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    name_ = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name_.empty() || name_ == "." || name_ == "..") return EINVAL;
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) return errno;

    if (gUnnamedAllowed) {
        fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ >= 0) return 0;
        if (!lacksTmpFile(errno)) {
            const int error = errno;
            discard();
            return error;
        }
    }
    named_ = true;
    const std::string temp = pmPartialFileName(name_);
    for (int attempt = 0; attempt < 2 && fd_ < 0; ++attempt) {
        fd_ = ::openat(folderFd_, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        // A hidden name left by a run that was killed.
        if (fd_ < 0 && errno == EEXIST) ::unlinkat(folderFd_, temp.c_str(), 0);
    }
    if (fd_ < 0) {
        const int error = errno;
        named_ = false;
        discard();
        return error;
    }
    return 0;
}

int PendingFile::linkUnder(const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno != ENOENT) return errno;
    // Without /proc: the descriptor itself, which needs the right to find files by handle.
    return ::linkat(fd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

int PendingFile::commit(bool replace) {
    if (fd_ < 0) return EBADF;
    int error = ::fsync(fd_) == 0 ? 0 : errno;
    const std::string temp = pmPartialFileName(name_);
    if (error == 0 && named_) {
        if (replace) {
            error = ::renameat(folderFd_, temp.c_str(), folderFd_, name_.c_str()) == 0 ? 0 : errno;
        } else {
            error = ::renameat2(folderFd_, temp.c_str(), folderFd_, name_.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
            if (error == EINVAL) {
                // A file system that cannot refuse the replacement itself.
                if (::faccessat(folderFd_, name_.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) error = EEXIST;
                else error = ::renameat(folderFd_, temp.c_str(), folderFd_, name_.c_str()) == 0 ? 0 : errno;
            }
        }
    } else if (error == 0 && replace) {
        // A link cannot replace a file: link under the hidden name, then rename that over the target.
        error = linkUnder(temp);
        if (error == EEXIST) {
            ::unlinkat(folderFd_, temp.c_str(), 0);
            error = linkUnder(temp);
        }
        if (error == 0 && ::renameat(folderFd_, temp.c_str(), folderFd_, name_.c_str()) != 0) {
            error = errno;
            ::unlinkat(folderFd_, temp.c_str(), 0);
        }
    } else if (error == 0) {
        error = linkUnder(name_);
    }
    if (error != 0) {
        discard();
        return error;
    }
    committed_ = true;
    ::fsync(folderFd_);
    discard();
    return 0;
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (folderFd_ >= 0) {
        if (named_ && !committed_) ::unlinkat(folderFd_, pmPartialFileName(name_).c_str(), 0);
        ::close(folderFd_);
    }
    folderFd_ = -1;
}

ExportResult pmExportThroughTemp(const std::string& target, bool replace, const std::function<bool(int fd)>& write) {
    if (!replace && ::access(target.c_str(), F_OK) == 0) return {ExportStatus::Exists, EEXIST};
    PendingFile file;
    if (const int error = file.open(target); error != 0) return {ExportStatus::Failed, error};
    errno = 0;
    if (!write(file.fd())) {
        const int error = errno ? errno : EIO;
        return {ExportStatus::Failed, error};
    }
    const int error = file.commit(replace);
    if (error == 0) return {ExportStatus::Written, 0};
    return {error == EEXIST ? ExportStatus::Exists : ExportStatus::Failed, error};
}

ExportResult pmExportBytes(const std::string& target, bool replace, std::string_view bytes) {
    return pmExportThroughTemp(target, replace, [&](int fd) { return pmWriteAll(fd, bytes); });
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
