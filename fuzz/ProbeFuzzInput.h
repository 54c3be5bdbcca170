#pragma once
// Hands fuzz input to a probe as a file: a memory file reached through /proc, rewritten for every
// input, so no disk is touched. The probes' one log line goes to a throw-away home.

#include "Utility/UserFolders.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace probefuzz {

inline std::string& throwAwayHome() {
    static std::string home;
    return home;
}

inline void useThrowAwayHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "cartena-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    throwAwayHome() = pattern;
    setenv("HOME", pattern.c_str(), 1);
    pmReloadUserFolders();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(throwAwayHome(), ignored);
    });
}

// The path of a file holding exactly the input.
inline const std::string& fileWith(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("probe-input", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    return path;
}

}  // namespace probefuzz
