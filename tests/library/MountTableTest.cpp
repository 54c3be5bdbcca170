#include "library/DiskVolume.h"
#include "library/FileDate.h"

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

TEST(MountTable, ParsesFieldsUnescapesNamesAndSkipsMalformedLines) {
    const auto mounts = pmParseMountInfo(kTable);
    ASSERT_EQ(mounts.size(), 9u);
    EXPECT_EQ(mounts[2].mountId, 80);
    EXPECT_EQ(mounts[2].parentId, 26);
    EXPECT_EQ(mounts[2].major, 8u);
    EXPECT_EQ(mounts[2].minor, 17u);
    EXPECT_EQ(mounts[2].mountPoint, "/media/u/CARD");
    EXPECT_EQ(mounts[2].fsType, "vfat");  // after optional fields
    EXPECT_EQ(mounts[2].source, "/dev/sdb1");
    EXPECT_EQ(mounts[3].mountPoint, "/media/u/MY CARD");
    EXPECT_EQ(mounts[5].mountId, 83);
}

TEST(MountTable, TheVolumeOfAFolderIsTheNearestMountPointAboveItExceptTheSystemsOwn) {
    const auto mounts = pmParseMountInfo(kTable);
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/media/u/CARD/DCIM/Movie", "/media/u/CARD"},
        {"/media/u/CARD", "/media/u/CARD"},
        {"/media/u/CARD/", "/media/u/CARD"},
        {"/media/u/CARD/DCIM/../DCIM/./Movie", "/media/u/CARD"},
        {"/media/u/CARD2/DCIM", std::nullopt},  // a name prefix is not a mount point
        {"/media/u/MY CARD/DCIM", "/media/u/MY CARD"},
        {"/home/u/Videos/copy", std::nullopt},  // the system's own file system
        {"/", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, volume] : cases) EXPECT_EQ(pmGetDiskVolume(path, mounts), volume) << path;
    // Of two mounts on one mount point, the later covers the earlier.
    EXPECT_EQ(pmFindMount(mounts, "/mnt/bind/x").value_or(MountEntry{}).mountId, 83);
    EXPECT_FALSE(pmFindMount({}, "/x").has_value());

    // The running system's table has a root, and a folder here is found under its mount point.
    const std::string cwd = pmCanonicalFolderPath(".");
    const auto here = pmFindMount(pmReadMountInfo(), cwd);
    ASSERT_TRUE(here.has_value());
    EXPECT_TRUE(cwd.starts_with(here->mountPoint));
}

TEST(MountTable, OnlyAFatMountWithoutAZoneOptionHasItsCardClockReadAsUtc) {
    const struct {
        unsigned major, minor;
        const char* type;  // nullptr: not found
        bool wallClockAsUtc;
    } cases[] = {
        {254, 0, "ext4", false}, {8, 17, "vfat", true},   {8, 33, "exfat", false}, {8, 49, "vfat", false},
        {8, 65, "vfat", false},  {8, 81, "msdos", true},  {8, 97, nullptr, false},
    };
    for (const auto& c : cases) {
        const auto mount = pmFindMountOfDevice(kTable, c.major, c.minor);
        ASSERT_EQ(mount.has_value(), c.type != nullptr) << c.major << ":" << c.minor;
        if (!mount) continue;
        EXPECT_EQ(mount->fsType, c.type);
        EXPECT_EQ(pmReadsWallClockAsUtc(*mount), c.wallClockAsUtc) << c.major << ":" << c.minor;
    }
}
