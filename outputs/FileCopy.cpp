#include "outputs/FileCopy.h"

#include "library/FileDate.h"

#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>

namespace {

enum class Method { CopyFileRange, SendFile, ReadWrite };

// Errors that say a way of copying does not apply to these two files; the next way is tried.
bool unsupported(int error) {
    return error == EXDEV || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS || error == EPERM ||
           error == ETXTBSY;
}

constexpr std::size_t kBufferSize = 1u << 20;

struct StepResult {
    std::uint64_t bytes = 0;
    int error = 0;
};

// Moves up to `wanted` bytes at `offset`; fewer only at the end of the source or on an error.
StepResult copyStep(Method method, int in, int out, std::uint64_t offset, std::uint64_t wanted,
                    std::unique_ptr<char[]>& buffer) {
    StepResult result;
    while (result.bytes < wanted) {
        const std::size_t chunk = static_cast<std::size_t>(wanted - result.bytes);
        ssize_t moved = 0;
        if (method == Method::CopyFileRange) {
            loff_t from = static_cast<loff_t>(offset + result.bytes), to = from;
            moved = ::copy_file_range(in, &from, out, &to, chunk, 0);
        } else if (method == Method::SendFile) {
            off_t from = static_cast<off_t>(offset + result.bytes);
            if (::lseek(out, from, SEEK_SET) < 0) return {result.bytes, errno};
            moved = ::sendfile(out, in, &from, chunk);
        } else {
            if (!buffer) buffer = std::make_unique<char[]>(kBufferSize);
            const std::size_t size = std::min(chunk, kBufferSize);
            const off_t at = static_cast<off_t>(offset + result.bytes);
            moved = ::pread(in, buffer.get(), size, at);
            if (moved < 0) {
                if (errno == EINTR) continue;
                return {result.bytes, errno};
            }
            for (ssize_t done = 0; done < moved;) {
                const ssize_t written = ::pwrite(out, buffer.get() + done, std::size_t(moved - done), at + done);
                if (written < 0 && errno == EINTR) continue;
                if (written <= 0) return {result.bytes + std::uint64_t(done), written < 0 ? errno : EIO};
                done += written;
            }
        }
        if (moved < 0) {
            if (errno == EINTR) continue;
            return {result.bytes, errno};
        }
        if (moved == 0) break;
        result.bytes += std::uint64_t(moved);
    }
    return result;
}

// Whether the source really ends at `offset` (a copy that moved nothing may also mean that the
// kernel could not copy these files this way).
bool sourceEndsAt(int in, std::uint64_t offset) {
    struct stat st {};
    return ::fstat(in, &st) == 0 && std::uint64_t(st.st_size) <= offset;
}

timespec toTimespec(FileDate date) {
    const auto since = date.time_since_epoch();
    const auto whole = std::chrono::floor<std::chrono::seconds>(since);
    return {static_cast<time_t>(whole.count()),
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - whole).count())};
}

}  // namespace

int pmKeepModeAndTimes(int fd, const struct stat& source) {
    int error = ::fchmod(fd, source.st_mode & 07777) == 0 ? 0 : errno;
    struct stat target {};
    const unsigned long long device = ::fstat(fd, &target) == 0 ? target.st_dev : source.st_dev;
    const timespec times[2] = {source.st_atim, toTimespec(pmFileDateToStore(pmGetFileDate(source), device))};
    if (::futimens(fd, times) != 0 && error == 0) error = errno;
    return error;
}

void CopyStepSizer::record(std::uint64_t bytes, double seconds) {
    if (bytes == 0) return;
    const double rate = double(bytes) / std::max(seconds, 1e-4);
    const double wanted = rate * kStepSeconds;
    step_ = std::clamp(static_cast<std::uint64_t>(wanted), kSmallestStep, kLargestStep);
}

CopyOutcome pmCopyFileData(int in, int out, std::uint64_t length,
                           const std::function<bool(std::uint64_t stepBytes)>& afterStep, CopyMethods methods) {
    CopyOutcome outcome;
    Method method = methods.copyFileRange ? Method::CopyFileRange
                    : methods.sendFile    ? Method::SendFile
                                          : Method::ReadWrite;
    CopyStepSizer sizer;
    std::unique_ptr<char[]> buffer;
    while (outcome.copied < length) {
        const std::uint64_t wanted = std::min(sizer.next(), length - outcome.copied);
        const auto start = std::chrono::steady_clock::now();
        const StepResult step = copyStep(method, in, out, outcome.copied, wanted, buffer);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        outcome.copied += step.bytes;
        const bool nothingMoved = step.bytes == 0;
        if (step.error != 0 && nothingMoved && method != Method::ReadWrite && unsupported(step.error)) {
            method = method == Method::CopyFileRange && methods.sendFile ? Method::SendFile : Method::ReadWrite;
            continue;
        }
        if (step.error != 0) {
            outcome.end = CopyEnd::Failed;
            outcome.error = step.error;
            return outcome;
        }
        if (step.bytes < wanted) {
            if (sourceEndsAt(in, outcome.copied)) {
                outcome.end = CopyEnd::SourceShort;
                return outcome;
            }
            if (nothingMoved && method != Method::ReadWrite) {
                method = method == Method::CopyFileRange && methods.sendFile ? Method::SendFile : Method::ReadWrite;
                continue;
            }
        }
        sizer.record(step.bytes, seconds);
        if (!afterStep(step.bytes)) {
            outcome.end = CopyEnd::Stopped;
            return outcome;
        }
    }
    return outcome;
}
