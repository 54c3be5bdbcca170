#pragma once
// Recordings made by the container builders, dated in local time (the tests' fixed zone).

#include "support/ContainerBuilder.h"
#include "support/TempHome.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

namespace librarytest {

inline std::time_t localTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    std::tm fields{.tm_sec = second, .tm_min = minute, .tm_hour = hour, .tm_mday = day, .tm_mon = month - 1,
                   .tm_year = year - 1900, .tm_isdst = -1};
    return std::mktime(&fields);
}

inline bool setModificationTime(const std::string& path, std::time_t seconds, long nanoseconds = 0) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// A playable recording dated `when`: an H.264 MP4, or an AVI with the given stream handler.
inline void writeRecording(const std::string& path, std::time_t when, const char* aviHandler = nullptr) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    containers::writeImage(path, aviHandler ? containers::aviImage({.handler = aviHandler}) : containers::mp4Image());
    setModificationTime(path, when);
}

}  // namespace librarytest
