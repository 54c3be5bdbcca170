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
    // What the recording list shows: zero-padded local fields, not the UTC day before.
    EXPECT_EQ(pmGetDateStringFromNSDate(*date), "2024/03/02");
    EXPECT_EQ(pmGetTimeStringFromNSDate(*date), "00:30:05");

    // A link gives the date of what it points to; nothing there gives none.
    ASSERT_EQ(::symlink(path.c_str(), (home.path() + "/link.MP4").c_str()), 0);
    EXPECT_EQ(pmGetFileDate(home.path() + "/link.MP4"), date);
    ASSERT_EQ(::symlink("nowhere", (home.path() + "/dangling.MP4").c_str()), 0);
    EXPECT_EQ(pmGetFileDate(home.path() + "/dangling.MP4"), std::nullopt);
    EXPECT_EQ(pmGetFileDate(home.path() + "/missing.MP4"), std::nullopt);
    EXPECT_EQ(pmGetFileDate(""), std::nullopt);
}

TEST(FileDate, FatWallClockIsReadInTheLocalZone) {
    // What the camera's clock showed, as local time, and the kernel's offset: summer and winter
    // time, a kernel in UTC and one set to the zone's standard offset.
    const std::pair<std::time_t, int> cases[] = {
        {localTime(2024, 7, 1, 14, 0, 0), 0},
        {localTime(2024, 1, 15, 23, 59, 59), 0},
        {localTime(2024, 7, 1, 14, 0, 0), -60},
        {localTime(2024, 12, 31, 23, 30, 0), -60},
    };
    for (const auto& [wall, minutesWest] : cases) {
        struct tm fields {};
        localtime_r(&wall, &fields);
        // The kernel takes the wall clock as UTC and adds its own offset.
        const FileDate kernelDate = pmFileDateFromUnix(timegm(&fields) + minutesWest * 60, 500'000'000);
        EXPECT_EQ(pmFatWallClockToLocal(kernelDate, minutesWest), pmFileDateFromUnix(wall, 500'000'000))
            << wall << " " << minutesWest;
    }
}
