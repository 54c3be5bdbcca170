#include "outputs/EvidenceCopy.h"

#include "outputs/ExportFile.h"
#include "outputs/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

constexpr std::size_t kChunk = 1u << 20;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and says whether the close went well (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Reads the whole file from offset 0 into the hash; -1 (errno set) on a read error, -2 when stopped.
long long hashAll(int fd, Sha256& hash, char* buffer, const std::function<bool(std::uint64_t)>& afterChunk) {
    std::uint64_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, kChunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) return static_cast<long long>(offset);
        hash.update(buffer, std::size_t(got));
        offset += std::uint64_t(got);
        if (afterChunk && !afterChunk(std::uint64_t(got))) return -2;
    }
}

}  // namespace

std::string pmSha256OfFile(int fd, const std::function<bool(std::uint64_t bytes)>& afterChunk) {
    const auto buffer = std::make_unique<char[]>(kChunk);
    Sha256 hash;
    if (hashAll(fd, hash, buffer.get(), afterChunk) < 0) return {};
    return pmDigestHex(hash.finish());
}

std::string pmSha256OfFile(const std::string& path, const std::function<bool(std::uint64_t bytes)>& afterChunk) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return {};
    return pmSha256OfFile(fd.get(), afterChunk);
}

EvidenceCopyResult pmCopyWithDigest(const std::string& source, int folderFd, const std::string& name,
                                    const std::function<bool(std::uint64_t bytes)>& afterChunk) {
    using Status = EvidenceCopyResult::Status;
    EvidenceCopyResult result;
    auto fail = [&](Status status) {
        result.status = status;
        result.error = errno;
        return result;
    };
    Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (in.get() < 0 || ::fstat(in.get(), &status) != 0) return fail(Status::ReadFailed);
    Descriptor out(::openat(folderFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0) return fail(Status::WriteFailed);

    const auto buffer = std::make_unique<char[]>(kChunk);
    Sha256 hash;
    for (;;) {
        const ssize_t got = ::pread(in.get(), buffer.get(), kChunk, static_cast<off_t>(result.bytes));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(Status::ReadFailed);
        if (got == 0) break;
        hash.update(buffer.get(), std::size_t(got));
        if (!pmWriteAll(out.get(), std::string_view(buffer.get(), std::size_t(got)))) return fail(Status::WriteFailed);
        result.bytes += std::uint64_t(got);
        if (afterChunk && !afterChunk(std::uint64_t(got))) {
            result.status = Status::Canceled;
            return result;
        }
    }
    result.sha256 = pmDigestHex(hash.finish());
    // A file system that keeps no modes or times (vfat, exFAT) refuses them; the copy stands.
    pmKeepModeAndTimes(out.get(), status);
    if (::fsync(out.get()) != 0) return fail(Status::WriteFailed);
    // Read back what the disk holds, not what the page cache remembers of the writes.
    ::posix_fadvise(out.get(), 0, 0, POSIX_FADV_DONTNEED);
    Sha256 check;
    const long long readBack = hashAll(out.get(), check, buffer.get(), {});
    if (readBack < 0) return fail(Status::WriteFailed);
    if (!out.close()) return fail(Status::WriteFailed);
    if (std::uint64_t(readBack) != result.bytes || pmDigestHex(check.finish()) != result.sha256) {
        result.status = Status::Mismatch;
        return result;
    }
    return result;
}
