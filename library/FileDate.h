#pragma once
#include "library/DiskVolume.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

struct stat;

// A recording's date: its modification time, a point in time with the file system's resolution.
// Calendar fields are taken in the process's local time zone.
using FileDate = std::chrono::system_clock::time_point;

struct CalendarDay {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    bool operator==(const CalendarDay&) const = default;
};

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The modification date of whatever is at the path (links followed); none when nothing is there.
// On a FAT card mounted without a time-zone option the kernel has read the card's wall-clock time
// as if it were UTC; the date is then taken as local time instead (see pmFatWallClockToLocal).
std::optional<FileDate> pmGetFileDate(const std::string& path);

// The same from a status the caller already has (of an open file, say).
FileDate pmGetFileDate(const struct stat& status);

LocalDateTime pmGetLocalDateTime(FileDate date);
CalendarDay pmGetLocalDay(FileDate date);
// The date and the time of day as the user sees them, in the local calendar: "%04d/%02d/%02d" and
// "%02d:%02d:%02d".
std::string pmGetDateStringFromNSDate(FileDate date);
std::string pmGetTimeStringFromNSDate(FileDate date);
FileDate pmFileDateFromUnix(long long seconds, long nanoseconds = 0);

// A FAT file system stores local wall-clock times. Without a tz= or time_offset= mount option the
// kernel turns them into instants by taking the wall clock as UTC and adding its own time-zone
// offset (minutes west of Greenwich, settimeofday's). This undoes that and reads the same wall
// clock in the local time zone, daylight saving included; sub-second parts are kept.
FileDate pmFatWallClockToLocal(FileDate kernelDate, int kernelMinutesWest);
// The other way: the time to give such a file so that it reads back as `localDate`.
FileDate pmLocalToFatWallClock(FileDate localDate, int kernelMinutesWest);
// The modification time to set on a file of the device (st_dev) so that pmGetFileDate reads it
// back as `date`: the date itself, or on a FAT mount read as UTC its wall clock as the kernel keeps it.
FileDate pmFileDateToStore(FileDate date, unsigned long long device);

// The mount of the device major:minor in the text of a mountinfo file; none when it is not there.
std::optional<MountEntry> pmFindMountOfDevice(std::string_view mountinfo, unsigned major, unsigned minor);
// Whether the kernel reads the wall-clock times of this mount as UTC (a FAT mount without tz= or
// time_offset=).
bool pmReadsWallClockAsUtc(const MountEntry& mount);
// Forgets what was learnt about mounted devices (a card may have been swapped since); the scan
// calls it before it starts.
void pmForgetMountedDevices();
