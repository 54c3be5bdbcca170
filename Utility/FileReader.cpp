#include "Utility/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

namespace {
std::atomic<std::uint64_t> gTotalBytes{0};
std::atomic<std::uint64_t> gTotalCalls{0};
}  // namespace

FileReader::FileReader(const std::string& path) : FileReader(AT_FDCWD, path) {}

FileReader::FileReader(int folder, const std::string& name) {
    // Non-blocking so that a FIFO with a recording's name opens at once (and is then refused as
    // not a regular file) instead of waiting for a writer; regular files ignore the flag.
    fd_ = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    status_ = st;
}

FileReader::~FileReader() {
    if (fd_ >= 0) ::close(fd_);
}

FileReader::FileReader(FileReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      status_(other.status_),
      bytesRead_(other.bytesRead_),
      readCalls_(other.readCalls_) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        status_ = other.status_;
        bytesRead_ = other.bytesRead_;
        readCalls_ = other.readCalls_;
    }
    return *this;
}

long long FileReader::readSomeAt(std::uint64_t offset, void* buffer, std::size_t length) {
    if (fd_ < 0 || offset > static_cast<std::uint64_t>(INT64_MAX)) return -1;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
        ++readCalls_;
        gTotalCalls.fetch_add(1, std::memory_order_relaxed);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytesRead_ += done;
    gTotalBytes.fetch_add(done, std::memory_order_relaxed);
    return static_cast<long long>(done);
}

bool FileReader::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    return readSomeAt(offset, buffer, length) == static_cast<long long>(length);
}

std::uint64_t FileReader::totalBytesRead() { return gTotalBytes.load(); }
std::uint64_t FileReader::totalReadCalls() { return gTotalCalls.load(); }
void FileReader::resetTotals() {
    gTotalBytes = 0;
    gTotalCalls = 0;
}
