#include "library/FileDate.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <vector>

namespace {

using std::chrono::duration_cast;
using std::chrono::floor;
using std::chrono::seconds;

struct tm localFields(FileDate date) {
    const std::time_t whole = static_cast<std::time_t>(floor<seconds>(date.time_since_epoch()).count());
    struct tm fields {};
    localtime_r(&whole, &fields);
    return fields;
}

// The kernel's own time zone (sys_tz). glibc's gettimeofday no longer reports it, so ask the
// kernel directly.
int kernelMinutesWest() {
    struct timezone zone {};
    if (::syscall(SYS_gettimeofday, nullptr, &zone) != 0) return 0;
    return zone.tz_minuteswest;
}

std::optional<MountEntry> findMountOfDevice(const std::vector<MountEntry>& mounts, unsigned wantedMajor,
                                            unsigned wantedMinor) {
    for (const auto& mount : mounts)
        if (mount.major == wantedMajor && mount.minor == wantedMinor) return mount;
    return std::nullopt;
}

// What the date of a file on a device needs: nothing, or the FAT correction with the kernel's
// offset. Learnt once per device and scan.
struct DeviceDates {
    bool wallClockAsUtc = false;
    int minutesWest = 0;
};

std::mutex gDevicesMutex;
std::map<dev_t, DeviceDates> gDevices;

DeviceDates learnDevice(dev_t device) {
    DeviceDates dates;
    const auto mount = findMountOfDevice(pmReadMountInfo(), major(device), minor(device));
    if (mount && pmReadsWallClockAsUtc(*mount)) {
        dates.wallClockAsUtc = true;
        dates.minutesWest = kernelMinutesWest();
    }
    return dates;
}

DeviceDates datesOfDevice(dev_t device) {
    std::lock_guard lock(gDevicesMutex);
    auto found = gDevices.find(device);
    if (found == gDevices.end()) found = gDevices.emplace(device, learnDevice(device)).first;
    return found->second;
}

}  // namespace

FileDate pmFileDateFromUnix(long long wholeSeconds, long nanoseconds) {
    return FileDate(duration_cast<FileDate::duration>(seconds(wholeSeconds) + std::chrono::nanoseconds(nanoseconds)));
}

std::optional<FileDate> pmGetFileDate(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return pmGetFileDate(st);
}

FileDate pmGetFileDate(const struct stat& status) {
    const FileDate date = pmFileDateFromUnix(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    const DeviceDates device = datesOfDevice(status.st_dev);
    return device.wallClockAsUtc ? pmFatWallClockToLocal(date, device.minutesWest) : date;
}

LocalDateTime pmGetLocalDateTime(FileDate date) {
    const struct tm fields = localFields(date);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec};
}

std::string pmGetDateStringFromNSDate(FileDate date) {
    const LocalDateTime t = pmGetLocalDateTime(date);
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", t.year, t.month, t.day);
    return text;
}

std::string pmGetTimeStringFromNSDate(FileDate date) {
    const LocalDateTime t = pmGetLocalDateTime(date);
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

CalendarDay pmGetLocalDay(FileDate date) {
    const struct tm fields = localFields(date);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday};
}

FileDate pmFatWallClockToLocal(FileDate kernelDate, int kernelMinutesWest) {
    const FileDate wallAsUtc = kernelDate - std::chrono::minutes(kernelMinutesWest);
    const auto whole = floor<seconds>(wallAsUtc.time_since_epoch());
    const auto fraction = wallAsUtc.time_since_epoch() - whole;
    const std::time_t utcSeconds = static_cast<std::time_t>(whole.count());
    struct tm wall {};
    if (!gmtime_r(&utcSeconds, &wall)) return kernelDate;
    wall.tm_isdst = -1;
    const std::time_t local = std::mktime(&wall);
    if (local == static_cast<std::time_t>(-1)) return kernelDate;
    return FileDate(duration_cast<FileDate::duration>(seconds(local)) + fraction);
}

FileDate pmLocalToFatWallClock(FileDate localDate, int kernelMinutesWest) {
    const auto whole = floor<seconds>(localDate.time_since_epoch());
    const auto fraction = localDate.time_since_epoch() - whole;
    const std::time_t localSeconds = static_cast<std::time_t>(whole.count());
    struct tm wall {};
    if (!localtime_r(&localSeconds, &wall)) return localDate;
    const std::time_t wallAsUtc = timegm(&wall);
    return FileDate(duration_cast<FileDate::duration>(seconds(wallAsUtc) + std::chrono::minutes(kernelMinutesWest)) +
                    fraction);
}

FileDate pmFileDateToStore(FileDate date, unsigned long long device) {
    const DeviceDates dates = datesOfDevice(static_cast<dev_t>(device));
    return dates.wallClockAsUtc ? pmLocalToFatWallClock(date, dates.minutesWest) : date;
}

std::optional<MountEntry> pmFindMountOfDevice(std::string_view mountinfo, unsigned wantedMajor, unsigned wantedMinor) {
    return findMountOfDevice(pmParseMountInfo(mountinfo), wantedMajor, wantedMinor);
}

bool pmReadsWallClockAsUtc(const MountEntry& mount) {
    if (mount.fsType != "vfat" && mount.fsType != "msdos") return false;
    std::string_view options = mount.superOptions;
    while (!options.empty()) {
        const auto comma = options.find(',');
        const std::string_view option = options.substr(0, comma);
        if (option.starts_with("tz=") || option.starts_with("time_offset=")) return false;
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
    }
    return true;
}

void pmForgetMountedDevices() {
    std::lock_guard lock(gDevicesMutex);
    gDevices.clear();
}
