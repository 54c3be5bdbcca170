#pragma once
// Small helpers for the library tests: recordings made by the container builders, file dates in
// local time.

#include "support/ContainerBuilder.h"
#include "support/TempHome.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace librarytest {

// A point in local time (the tests' fixed zone).
inline std::time_t localTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    struct tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

inline bool setModificationTime(const std::string& path, std::time_t seconds, long nanoseconds = 0) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

inline std::string makeParents(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return path;
}

// A playable H.264 MP4 (or, with other options, whatever they describe) dated `when`.
inline void writeMp4(const std::string& path, std::time_t when, const containers::Mp4Options& options = {}) {
    containers::writeImage(makeParents(path), containers::mp4Image(options));
    setModificationTime(path, when);
}

inline void writeAvi(const std::string& path, std::time_t when, const std::string& handler = "H264") {
    containers::AviOptions options;
    options.handler = handler;
    containers::writeImage(makeParents(path), containers::aviImage(options));
    setModificationTime(path, when);
}

}  // namespace librarytest
