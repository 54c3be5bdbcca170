#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a file at explicit offsets with pread: nothing is read ahead, so the bytes and calls it
// counts are exactly what a parser asked for. A read that cannot be filled completely fails.
class FileReader {
public:
    FileReader() = default;
    explicit FileReader(const std::string& path);
    // The file `name` in the folder open as `folder` (AT_FDCWD: `name` is a path as above).
    FileReader(int folder, const std::string& name);
    ~FileReader();
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&& other) noexcept;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Size at open time (fstat); 0 when not open.
    std::uint64_t size() const { return size_; }
    // The fstat of the open file (modification time, device); all zero when not open.
    const struct stat& status() const { return status_; }

    // Fills exactly `length` bytes from `offset`; false on a short read, an error or a closed file.
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length);
    // Up to `length` bytes from `offset`; the count read, or -1 on error.
    long long readSomeAt(std::uint64_t offset, void* buffer, std::size_t length);

    std::uint64_t bytesRead() const { return bytesRead_; }
    std::uint64_t readCalls() const { return readCalls_; }

    // Process-wide totals over every reader, for benchmarks.
    static std::uint64_t totalBytesRead();
    static std::uint64_t totalReadCalls();
    static void resetTotals();

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    struct stat status_ {};
    std::uint64_t bytesRead_ = 0;
    std::uint64_t readCalls_ = 0;
};

// Little- and big-endian field readers over a byte buffer.
inline std::uint32_t pmReadLE32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint16_t pmReadLE16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t pmReadBE32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}
inline std::uint64_t pmReadBE64(const unsigned char* p) {
    return std::uint64_t(pmReadBE32(p)) << 32 | pmReadBE32(p + 4);
}
