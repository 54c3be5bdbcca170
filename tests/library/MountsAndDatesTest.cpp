#include "library/DiskVolume.h"
#include "library/FileDate.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

const char* kTable =
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "24 23 0:22 / /dev/shm rw,relatime shared:3 - tmpfs tmpfs rw\n"
    "80 26 8:17 / /media/u/CARD rw,nosuid master:12 - vfat /dev/sdb1 rw,fmask=0022,codepage=437,shortname=mixed\n"
    "81 26 8:33 / /media/u/MY\\040CARD rw - exfat /dev/sdc1 rw\n"
    "82 26 0:50 /sub /mnt/bind rw - ext4 /dev/vda rw\n"
    "this line is not a mount\n"
    "83 26 0:51 / /mnt/bind rw - tmpfs none rw\n"  // mounted over the bind mount
    "84 26 0:52 / relative rw - tmpfs none rw\n"   // not absolute: left out
    "85 26 x:1 / /mnt/bad rw - tmpfs none rw\n"    // bad device number
    "86 26 0:53 / /mnt/short rw -\n"               // no type after the separator
    "87 26 8:49 / /media/u/UTC rw - vfat /dev/sdd1 rw,fmask=0022,tz=UTC,errors=remount-ro\n"
    "88 26 8:65 / /media/u/OFF rw - vfat /dev/sde1 rw,time_offset=-60\n"
    "89 26 8:81 / /media/u/NOOPT rw - msdos /dev/sdf1\n";

}  // namespace

TEST(MountTable, AFoldersVolumeAndWhetherACardsClockIsReadAsUtcThenUndone) {
    const auto mounts = pmParseMountInfo(kTable);
    ASSERT_EQ(mounts.size(), 9u);  // malformed lines left out
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/media/u/CARD/DCIM/Movie", "/media/u/CARD"},      {"/media/u/CARD", "/media/u/CARD"},
        {"/media/u/CARD/", "/media/u/CARD"},                {"/media/u/CARD/DCIM/../DCIM/./Movie", "/media/u/CARD"},
        {"/media/u/CARD2/DCIM", std::nullopt},  // a name prefix is not a mount point
        {"/media/u/MY CARD/DCIM", "/media/u/MY CARD"},      {"/home/u/Videos/copy", std::nullopt},  // the system's own
        {"/", std::nullopt},                                {"", std::nullopt},
    };
    for (const auto& [path, volume] : cases) EXPECT_EQ(pmGetDiskVolume(path, mounts), volume) << path;
    EXPECT_EQ(pmFindMount(mounts, "/mnt/bind/x").value_or(MountEntry{}).mountId, 83);  // the later covers the earlier
    // The device, its file system (nullptr: not in the table) and whether the card clock is read as UTC.
    const std::tuple<unsigned, unsigned, const char*, bool> devices[] = {
        {254, 0, "ext4", false}, {8, 17, "vfat", true},  {8, 33, "exfat", false}, {8, 49, "vfat", false},
        {8, 65, "vfat", false},  {8, 81, "msdos", true}, {8, 97, nullptr, false},
    };
    for (const auto& [major, minor, type, wallClockAsUtc] : devices) {
        const auto mount = pmFindMountOfDevice(kTable, major, minor);
        EXPECT_EQ(mount ? mount->fsType : "-", type ? type : "-") << major << ":" << minor;
        EXPECT_EQ(mount && pmReadsWallClockAsUtc(*mount), wallClockAsUtc) << major << ":" << minor;
    }
    // What the camera's clock showed, as local time, and the kernel's offset: summer and winter
    // time, a kernel in UTC and one set to the zone's standard offset.
    const std::pair<std::time_t, int> clocks[] = {
        {localTime(2024, 7, 1, 14), 0}, {localTime(2024, 1, 15, 23, 59, 59), 0},
        {localTime(2024, 7, 1, 14), -60}, {localTime(2024, 12, 31, 23, 30), -60},
    };
    for (const auto& [wall, minutesWest] : clocks) {
        struct tm fields {};
        localtime_r(&wall, &fields);
        // The kernel takes the wall clock as UTC and adds its own offset.
        const FileDate kernelDate = pmFileDateFromUnix(timegm(&fields) + minutesWest * 60, 500'000'000);
        EXPECT_EQ(pmFatWallClockToLocal(kernelDate, minutesWest), pmFileDateFromUnix(wall, 500'000'000)) << wall;
        // And back, for a copy onto such a card.
        EXPECT_EQ(pmLocalToFatWallClock(pmFileDateFromUnix(wall, 500'000'000), minutesWest), kernelDate) << wall;
    }
}

// Links and local days are read in the library's tests.
TEST(FileDate, ModificationTimeToTheNanosecondShownInLocalTime) {
    TempHome home;
    const std::string path = home.path() + "/FILE0001.MP4";
    const std::time_t when = localTime(2024, 3, 2, 0, 30, 5);  // still the day before in UTC
    ASSERT_TRUE(writeFile(path, "x") && setFileTime(path, when, 123456789));
    const auto date = pmGetFileDate(path);
    EXPECT_EQ(date, pmFileDateFromUnix(when, 123456789));
    EXPECT_EQ(pmGetDateStringFromNSDate(*date) + " " + pmGetTimeStringFromNSDate(*date), "2024/03/02 00:30:05");
    for (const std::string& missing : {home.path() + "/missing.MP4", std::string()})
        EXPECT_EQ(pmGetFileDate(missing), std::nullopt) << missing;
}
