#pragma once
#include "Utility/Sha256.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The originals of an evidence package: copies that are shown to equal their sources. A source is
// hashed from the very bytes read for its copy (never copied inside the kernel, where nothing could
// see them); the copy is flushed to disk, dropped from the page cache, read back and hashed again;
// it gets the source's modification time and mode bits.

struct EvidenceCopyResult {
    enum class Status { Done, Canceled, ReadFailed, WriteFailed, Mismatch };
    Status status = Status::Done;
    int error = 0;  // the system's error number of a failed read or write
    std::string sha256;  // of the source as read, when done
    std::uint64_t bytes = 0;
};

// Copies `source` to the new file `name` in the folder open as `folderFd` (an existing name fails).
// `afterChunk` hears of every chunk's bytes and returns false to stop. A copy that fails stays for
// the caller to remove with its folder.
EvidenceCopyResult pmCopyWithDigest(const std::string& source, int folderFd, const std::string& name,
                                    const std::function<bool(std::uint64_t bytes)>& afterChunk);

// The SHA-256 of a file as 64 hexadecimal digits; empty when it cannot be read (errno kept).
std::string pmSha256OfFile(const std::string& path, const std::function<bool(std::uint64_t bytes)>& afterChunk = {});
std::string pmSha256OfFile(int fd, const std::function<bool(std::uint64_t bytes)>& afterChunk = {});
