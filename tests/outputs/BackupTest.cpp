#include "BackupTestFiles.h"
#include "library/FileDate.h"
#include "outputs/Backup.h"
#include "outputs/ExportFile.h"
#include "Utility/StringTables.h"
#include "telemetry/GpsLogFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

using backuptest::expectSameFile;
using backuptest::namesUnder;
using backuptest::writeSource;

namespace {

constexpr std::size_t kMiB = 1u << 20;

// Restores the process-wide switches a test turns.
struct BackupSwitches {
    ~BackupSwitches() {
        pmSetUnnamedTempFilesAllowed(true);
        pmSetDiskFreeSpaceFunction({});
    }
};

}  // namespace

TEST(Backup, CopiesRecordingsAndTheirLogsAsTheyAreByEveryWayOfCopying) {
    struct Way {
        const char* name;
        bool unnamed;
        CopyMethods methods;
    };
    const Way ways[] = {
        {"unnamed temporary file, copy_file_range", true, {}},
        {"hidden temporary name, sendfile", false, {false, true}},
        {"hidden temporary name, read and write", false, {false, false}},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TempHome home;
        BackupSwitches switches;
        pmSetUnnamedTempFilesAllowed(way.unnamed);
        const std::string card = home.path() + "/card", out = home.path() + "/out";
        // Logs of all three kinds: beside, in the NMEA folder beside the recording's folder, and named
        // after the whole file.
        const std::string first = writeSource(card + "/DCIM/A/FILE0001.MP4", 3 * kMiB + 17, 1);
        writeSource(card + "/DCIM/A/FILE0001.log", 300, 2);
        const std::string event = writeSource(card + "/B/EVEN0002.MP4", 2 * kMiB, 3, 0444);
        const std::string eventLog = writeSource(card + "/NMEA/EVEN0002.nmea", 500, 4, 0444);
        const std::string empty = writeSource(card + "/C/EMPT0003.MP4", 0, 5);
        const std::string emptyLog = writeSource(card + "/C/EMPT0003.MP4.txt", 10, 6);
        // A log already at the target stays; a recording already there is replaced.
        writeSource(out + "/FILE0001.log", 4, 7);
        writeSource(out + "/EVEN0002.MP4", 10, 8);

        BackupJob job({first, event, empty}, out, BackupOptions{way.methods, {}});
        EXPECT_EQ(job.totalSize(), 5 * kMiB + 17);  // logs are not counted
        job.start();
        job.join();
        ASSERT_TRUE(job.isFinished());
        EXPECT_EQ(job.result().status, BackupResult::Status::Done) << pmBackupMessage(job.result());
        EXPECT_EQ(job.result().recordingsCopied, 3);
        EXPECT_EQ(job.result().logsCopied, 2);
        EXPECT_EQ(job.currentSize(), job.totalSize());

        expectSameFile(first, out + "/FILE0001.MP4");
        expectSameFile(event, out + "/EVEN0002.MP4");
        expectSameFile(eventLog, out + "/EVEN0002.nmea");
        expectSameFile(empty, out + "/EMPT0003.MP4");
        expectSameFile(emptyLog, out + "/EMPT0003.MP4.txt");
        EXPECT_EQ(readFile(out + "/FILE0001.log").size(), 4u);
        EXPECT_EQ(namesUnder(out), (std::set<std::string>{"FILE0001.MP4", "FILE0001.log", "EVEN0002.MP4",
                                                          "EVEN0002.nmea", "EMPT0003.MP4", "EMPT0003.MP4.txt"}));
        // The log lookup finds each copied log beside its copy.
        EXPECT_EQ(pmGetGpsLogFile(out + "/EVEN0002.MP4"), out + "/EVEN0002.nmea");
        EXPECT_EQ(pmGetGpsLogFile(out + "/EMPT0003.MP4"), out + "/EMPT0003.MP4.txt");
    }
}

TEST(Backup, SameNamesAreNumberedAndPairsKeepTheirCameraFolders) {
    TempHome home;
    const std::string card = home.path() + "/card", out = home.path() + "/out";
    std::filesystem::create_directories(out);
    std::vector<std::string> recordings;
    for (const char* folder : {"X", "Y", "Z"}) recordings.push_back(writeSource(card + "/" + folder + "/FILE0001.MP4", 1000, 11));
    recordings[2] = card + "/Z/file0001.mp4";  // FAT folds case: the same name
    std::filesystem::rename(card + "/Z/FILE0001.MP4", recordings[2]);
    const std::string secondLog = writeSource(card + "/Y/FILE0001.log", 64, 12);
    const std::string front = writeSource(card + "/DCIM/NormalF/FILE0007F.MP4", 100, 13);
    const std::string rear = writeSource(card + "/DCIM/NormalR/FILE0007R.MP4", 100, 14);
    writeSource(card + "/DCIM/NormalR/FILE0007R.NMEA", 30, 15);
    recordings.insert(recordings.end(), {front, rear});

    BackupProgress progress;
    const BackupResult result = pmRunBackup(recordings, out, progress);
    ASSERT_EQ(result.status, BackupResult::Status::Done) << pmBackupMessage(result);
    EXPECT_EQ(namesUnder(out),
              (std::set<std::string>{"FILE0001.MP4", "FILE0001 (2).MP4", "FILE0001 (2).log", "file0001 (3).mp4",
                                     "NormalF", "NormalF/FILE0007F.MP4", "NormalR", "NormalR/FILE0007R.MP4",
                                     "NormalR/FILE0007R.NMEA"}));
    expectSameFile(secondLog, out + "/FILE0001 (2).log");
    EXPECT_EQ(pmGetGpsLogFile(out + "/FILE0001 (2).MP4"), out + "/FILE0001 (2).log");
    EXPECT_EQ(pmGetGpsLogFile(out + "/FILE0001.MP4"), std::nullopt);
    EXPECT_EQ(BackupNames::logPlace(front, "NormalF/FILE0007F (2).MP4", card + "/x/FILE0007F.MP4.txt"),
              "NormalF/FILE0007F (2).MP4.txt");
}

TEST(Backup, TheFirstRecordingThatFailsStopsTheLoop) {
    // Three recordings of which the second is the one in question; its log is always there.
    struct Case {
        const char* name;
        std::size_t secondSize;
        const char* key;           // empty: no failure
        bool secondCopied;
        bool canceled = false;
    };
    const Case cases[] = {
        {"not enough room: 4.5 MB + 1 MiB against 5 MB free", 4'500'000, "IDS_ERR_NO_DISK_SPACE", false},
        {"the source is gone", 0, "IDS_ERR_BACKUP_READ", false},
        {"the target is the source itself", 1000, "IDS_ERR_BACKUP_SAME_FILE", false},
        {"an empty recording is no failure", 0, "", true},
        {"cut short while it is copied", 4 * kMiB, "IDS_ERR_BACKUP_CHANGED", false},
        {"cancelled during the second", 4 * kMiB, "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome home;
        BackupSwitches switches;
        const std::string card = home.path() + "/card", out = home.path() + "/out";
        std::filesystem::create_directories(out);
        const std::string first = writeSource(card + "/FILE0001.MP4", kMiB, 21);
        writeSource(card + "/FILE0001.log", 100, 22);
        std::string second = writeSource(card + "/FILE0002.MP4", c.secondSize, 23);
        writeSource(card + "/FILE0002.log", 100, 24);
        const std::string third = writeSource(card + "/FILE0003.MP4", kMiB, 25);
        const std::string secondBytes = readFile(second);
        std::set<std::string> expected{"FILE0001.MP4", "FILE0001.log"};

        BackupOptions options;
        BackupProgress progress;
        const std::string name = c.name;
        if (name.starts_with("not enough")) pmSetDiskFreeSpaceFunction([](const std::string&) { return 5'000'000; });
        if (name.starts_with("the source is gone")) second = card + "/FILE0002-gone.MP4";
        if (name.starts_with("the target is the source")) {
            second = writeSource(out + "/FILE0002.MP4", c.secondSize, 23);
            expected.insert("FILE0002.MP4");
        }
        if (name.starts_with("an empty")) expected.insert({"FILE0002.MP4", "FILE0002.log", "FILE0003.MP4"});
        // Acts once the second copy is under way (the first is a megabyte).
        auto duringSecond = [&](std::function<void()> act) {
            options.afterStep = [act, done = false](std::uint64_t current) mutable {
                if (current > kMiB && !done) act(), done = true;
            };
        };
        if (name.starts_with("cut short")) duringSecond([&] { ASSERT_EQ(::truncate(second.c_str(), 2 * kMiB), 0); });
        if (c.canceled) duringSecond([&] { progress.canceled = true; });

        const BackupResult result = pmRunBackup({first, second, third}, out, progress, options);
        const auto status = c.canceled      ? BackupResult::Status::Canceled
                            : *c.key == '\0' ? BackupResult::Status::Done
                                             : BackupResult::Status::Failed;
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.messageKey, c.key);
        if (status == BackupResult::Status::Failed) {
            EXPECT_EQ(result.path, second);
            if (pmGetString(c.key).find("%s") != std::string::npos)
                EXPECT_NE(pmBackupMessage(result).find("FILE0002"), std::string::npos) << pmBackupMessage(result);
        }
        EXPECT_EQ(namesUnder(out), expected);  // nothing partial, nothing after the failure
        expectSameFile(first, out + "/FILE0001.MP4");
        if (c.secondCopied) expectSameFile(second, out + "/FILE0002.MP4");
        if (!name.starts_with("cut short") && !name.starts_with("the source is gone"))
            EXPECT_TRUE(readFile(second) == secondBytes);  // the source is never touched
    }
}

TEST(Backup, PercentAndBarValuesInWholeNumbers) {
    struct Case {
        std::uint64_t current, total;
        int percent, bar;  // the bar runs 0..1000
    };
    const Case cases[] = {
        {0, 0, 100, 1000},                    // a backup of empty recordings only
        {0, 10, 0, 0},
        {512, 1024, 50, 500},
        {1023, 1024, 99, 999},
        {5'000'000'000'000ull, 10'000'000'000'000ull, 50, 500},  // beyond what an int holds
        {(1ull << 62) - (1ull << 52), 1ull << 62, 99, 999},
        {11, 10, 100, 1000},                  // a file that grew while it was copied
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pmBackupPercent(c.current, c.total), c.percent) << c.current << " of " << c.total;
        EXPECT_EQ(pmBackupBarValue(c.current, c.total, 1000), c.bar) << c.current << " of " << c.total;
    }
}

TEST(Backup, FatTimesGoBackToTheWallClockTheKernelKeeps) {
    for (const int minutesWest : {0, -60, 300}) {
        for (const long long local : {1'704'067'199LL, 1'719'835'200LL, 1'711'846'800LL}) {
            const FileDate date = pmFileDateFromUnix(local, 250'000'000);
            const FileDate stored = pmLocalToFatWallClock(date, minutesWest);
            EXPECT_EQ(pmFatWallClockToLocal(stored, minutesWest), date) << local << " " << minutesWest;
        }
    }
}
