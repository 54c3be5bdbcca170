#include "library/DiskVolume.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kTable =
    "26 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
    "24 23 0:22 / /dev/shm rw,relatime shared:3 - tmpfs tmpfs rw\n"
    "80 26 8:17 / /media/u/CARD rw,nosuid master:12 - vfat /dev/sdb1 rw,uid=1000\n"
    "81 26 8:33 / /media/u/MY\\040CARD rw - exfat /dev/sdc1 rw\n"
    "82 26 0:50 /sub /mnt/bind rw - ext4 /dev/vda rw\n"
    "this line is not a mount\n"
    "83 26 0:51 / /mnt/bind rw - tmpfs none rw\n"       // mounted over the bind mount
    "84 26 0:52 / relative rw - tmpfs none rw\n"         // not absolute: left out
    "85 26 x:1 / /mnt/bad rw - tmpfs none rw\n"          // bad device number
    "86 26 0:53 / /mnt/short rw -\n";                    // no type after the separator

}  // namespace

TEST(MountTable, ParsesFieldsUnescapesNamesAndSkipsMalformedLines) {
    const auto mounts = pmParseMountInfo(kTable);
    ASSERT_EQ(mounts.size(), 6u);
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
    struct Case {
        const char* path;
        std::optional<std::string> volume;
    };
    const Case cases[] = {
        {"/media/u/CARD/DCIM/Movie", "/media/u/CARD"},
        {"/media/u/CARD", "/media/u/CARD"},
        {"/media/u/CARD/", "/media/u/CARD"},
        {"/media/u/CARD/DCIM/../DCIM/./Movie", "/media/u/CARD"},
        {"/media/u/CARD2/DCIM", std::nullopt},  // a name prefix is not a mount point
        {"/media/u/MY CARD/DCIM", "/media/u/MY CARD"},
        {"/home/u/Videos/copy", std::nullopt},   // the system's own file system
        {"/", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(pmGetDiskVolume(c.path, mounts), c.volume) << c.path;

    // Of two mounts on one mount point, the later covers the earlier.
    const auto covered = pmFindMount(mounts, "/mnt/bind/x");
    ASSERT_TRUE(covered.has_value());
    EXPECT_EQ(covered->mountId, 83);
    EXPECT_FALSE(pmFindMount({}, "/x").has_value());
}

TEST(MountTable, TheRunningSystemsTableHasARootAndAFolderHereIsFound) {
    const auto mounts = pmReadMountInfo();
    ASSERT_FALSE(mounts.empty());
    const auto here = pmFindMount(mounts, pmCanonicalFolderPath("."));
    ASSERT_TRUE(here.has_value());
    const std::string cwd = pmCanonicalFolderPath(".");
    EXPECT_EQ(cwd.compare(0, here->mountPoint.size(), here->mountPoint), 0);
}
