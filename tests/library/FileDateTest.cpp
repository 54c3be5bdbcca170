#include "library/FileDate.h"
#include "LibraryTestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

using librarytest::localTime;
using librarytest::setModificationTime;

TEST(FileDate, ModificationTimeWithNanosecondsAndLocalFields) {
    TempHome home;
    const std::string path = home.path() + "/FILE0001.MP4";
    ASSERT_TRUE(writeFile(path, "x"));
    // Half an hour after local midnight is still the day before in UTC.
    const std::time_t when = localTime(2024, 3, 2, 0, 30, 5);
    ASSERT_TRUE(setModificationTime(path, when, 123456789));

    const auto date = pmGetFileDate(path);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(*date, pmFileDateFromUnix(when, 123456789));
    EXPECT_EQ(pmGetLocalDay(*date), (CalendarDay{2024, 3, 2}));
    const LocalDateTime fields = pmGetLocalDateTime(*date);
    EXPECT_EQ(fields.hour, 0);
    EXPECT_EQ(fields.minute, 30);
    EXPECT_EQ(fields.second, 5);

    // A link gives the date of what it points to; nothing there gives none.
    ASSERT_EQ(::symlink(path.c_str(), (home.path() + "/link.MP4").c_str()), 0);
    EXPECT_EQ(pmGetFileDate(home.path() + "/link.MP4"), date);
    ASSERT_EQ(::symlink("nowhere", (home.path() + "/dangling.MP4").c_str()), 0);
    EXPECT_EQ(pmGetFileDate(home.path() + "/dangling.MP4"), std::nullopt);
    EXPECT_EQ(pmGetFileDate(home.path() + "/missing.MP4"), std::nullopt);
    EXPECT_EQ(pmGetFileDate(""), std::nullopt);
}

TEST(FileDate, FatWallClockIsReadInTheLocalZone) {
    struct Case {
        std::time_t wall;  // what the camera's clock showed, as local time
        int kernelMinutesWest;
    };
    // Summer and winter time, a kernel in UTC and one set to the zone's standard offset.
    const Case cases[] = {
        {localTime(2024, 7, 1, 14, 0, 0), 0},
        {localTime(2024, 1, 15, 23, 59, 59), 0},
        {localTime(2024, 7, 1, 14, 0, 0), -60},
        {localTime(2024, 12, 31, 23, 30, 0), -60},
    };
    for (const auto& c : cases) {
        struct tm fields {};
        localtime_r(&c.wall, &fields);
        // The kernel takes the wall clock as UTC and adds its own offset.
        const std::time_t asUtc = timegm(&fields);
        const FileDate kernelDate = pmFileDateFromUnix(asUtc + c.kernelMinutesWest * 60, 500'000'000);
        EXPECT_EQ(pmFatWallClockToLocal(kernelDate, c.kernelMinutesWest), pmFileDateFromUnix(c.wall, 500'000'000))
            << c.wall << " " << c.kernelMinutesWest;
    }
}

TEST(FileDate, MountOptionsTellWhetherTheKernelReadTheCardClockAsUtc) {
    const std::string mountinfo =
        "22 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
        "35 22 8:17 / /media/u/CARD rw,nosuid,nodev,relatime shared:20 - vfat /dev/sdb1 "
        "rw,fmask=0022,dmask=0022,codepage=437,iocharset=utf8,shortname=mixed,errors=remount-ro\n"
        "36 22 8:33 / /media/u/UTC rw,relatime - vfat /dev/sdc1 rw,fmask=0022,tz=UTC,errors=remount-ro\n"
        "37 22 8:49 / /media/u/OFF rw,relatime - vfat /dev/sdd1 rw,time_offset=-60\n"
        "38 22 8:65 / /media/u/EX rw,relatime - exfat /dev/sde1 rw,fmask=0022\n"
        "39 22 8:81 / /media/u/NOOPT rw - msdos /dev/sdf1\n"
        "garbage line\n"
        "40 22 x:y / /bad rw - vfat /dev/x rw\n";
    struct Case {
        unsigned major, minor;
        const char* type;  // nullptr: not found
        bool wallClockAsUtc;
    };
    const Case cases[] = {
        {254, 1, "ext4", false}, {8, 17, "vfat", true},   {8, 33, "vfat", false},
        {8, 49, "vfat", false},  {8, 65, "exfat", false}, {8, 81, "msdos", true},
        {8, 97, nullptr, false},
    };
    for (const auto& c : cases) {
        const auto mount = pmFindMountOfDevice(mountinfo, c.major, c.minor);
        if (!c.type) {
            EXPECT_FALSE(mount.has_value());
            continue;
        }
        ASSERT_TRUE(mount.has_value()) << c.major << ":" << c.minor;
        EXPECT_EQ(mount->fsType, c.type);
        EXPECT_EQ(pmReadsWallClockAsUtc(*mount), c.wallClockAsUtc) << c.major << ":" << c.minor;
    }
}
