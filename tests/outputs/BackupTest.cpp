// The backup engine: what the copies are (bytes, time, mode, logs, names), the stop rule, and real
// faults: a full and a read-only target (a tmpfs in a private mount namespace, which needs root)
// and a copy killed with SIGKILL.
#include "BackupTestFiles.h"
#include "outputs/Backup.h"
#include "outputs/ExportFile.h"
#include "support/ChildProcess.h"
#include "telemetry/GpsLogFile.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace backuptest;

namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr int kNoNamespace = 77;

// A card and an existing backup folder in a temporary home; the process-wide switches a test turns
// are put back.
struct BackupRig {
    BackupRig() { std::filesystem::create_directories(out); }
    ~BackupRig() {
        pmSetUnnamedTempFilesAllowed(true);
        pmSetDiskFreeSpaceFunction({});
    }
    TempHome home;
    const std::string card = home.path() + "/card", out = home.path() + "/out";
};

// Runs `body` in a child with a private mount namespace and a 4 MiB tmpfs on `mountPoint`; the
// child's exit code is the failed check's number (0: all held), kNoNamespace when refused.
int inTmpfs(const std::string& mountPoint, const std::function<int()>& body) {
    return runInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=4m") != 0)
            return kNoNamespace;
        return body();
    });
}

}  // namespace

TEST(Backup, CopiesRecordingsAndTheirLogsAsTheyAreByEveryWayOfCopying) {
    const std::tuple<const char*, bool, CopyMethods> ways[] = {
        {"unnamed temporary file, copy_file_range", true, {}},
        {"hidden temporary name, sendfile", false, {false, true}},
        {"hidden temporary name, read and write", false, {false, false}},
    };
    for (const auto& [way, unnamed, methods] : ways) {
        SCOPED_TRACE(way);
        BackupRig rig;
        pmSetUnnamedTempFilesAllowed(unnamed);
        const std::string &card = rig.card, &out = rig.out;
        // Logs of all three kinds: beside, in the NMEA folder beside the recording's folder, and
        // named after the whole file; a write-protected event stays write-protected.
        const std::string first = writeSource(card + "/DCIM/A/FILE0001.MP4", 3 * kMiB + 17, 1);
        writeSource(card + "/DCIM/A/FILE0001.log", 300, 2);
        const std::string event = writeSource(card + "/B/EVEN0002.MP4", 2 * kMiB, 3, 0444);
        const std::string eventLog = writeSource(card + "/NMEA/EVEN0002.nmea", 500, 4, 0444);
        const std::string empty = writeSource(card + "/C/EMPT0003.MP4", 0, 5);
        const std::string emptyLog = writeSource(card + "/C/EMPT0003.MP4.txt", 10, 6);
        // A log already at the target stays; a recording already there is replaced.
        writeSource(out + "/FILE0001.log", 4, 7);
        writeSource(out + "/EVEN0002.MP4", 10, 8);

        BackupJob job({first, event, empty}, out, BackupOptions{methods, {}});
        EXPECT_EQ(job.totalSize(), 5 * kMiB + 17);  // logs are not counted
        job.start();
        job.join();
        EXPECT_EQ(job.result().status, BackupResult::Status::Done) << pmBackupMessage(job.result());
        EXPECT_EQ(std::pair(job.result().recordingsCopied, job.result().logsCopied), std::pair(3, 2));
        EXPECT_EQ(job.currentSize(), job.totalSize());
        for (const auto& [source, copy] : {std::pair{first, "FILE0001.MP4"}, {event, "EVEN0002.MP4"},
                                           {eventLog, "EVEN0002.nmea"}, {empty, "EMPT0003.MP4"},
                                           {emptyLog, "EMPT0003.MP4.txt"}})
            expectSameFile(source, out + "/" + copy);
        EXPECT_EQ(readFile(out + "/FILE0001.log").size(), 4u);
        EXPECT_EQ(namesUnder(out), (std::set<std::string>{"FILE0001.MP4", "FILE0001.log", "EVEN0002.MP4",
                                                          "EVEN0002.nmea", "EMPT0003.MP4", "EMPT0003.MP4.txt"}));
        EXPECT_EQ(pmGetGpsLogFile(out + "/EVEN0002.MP4"), out + "/EVEN0002.nmea");  // found beside its copy
    }
}

TEST(Backup, RecordingsOfTheSameNameAreNumberedAndTheirLogsWithThem) {
    BackupRig rig;
    std::vector<std::string> recordings;
    for (const char* folder : {"X", "Y", "Z"}) recordings.push_back(writeSource(rig.card + "/" + folder + "/FILE0001.MP4", 1000, 11));
    recordings[2] = rig.card + "/Z/file0001.mp4";  // FAT folds case: the same name
    std::filesystem::rename(rig.card + "/Z/FILE0001.MP4", recordings[2]);
    const std::string secondLog = writeSource(rig.card + "/Y/FILE0001.log", 64, 12);
    BackupProgress progress;
    const BackupResult result = pmRunBackup(recordings, rig.out, progress);
    ASSERT_EQ(result.status, BackupResult::Status::Done) << pmBackupMessage(result);
    EXPECT_EQ(namesUnder(rig.out), (std::set<std::string>{"FILE0001.MP4", "FILE0001 (2).MP4", "FILE0001 (2).log", "file0001 (3).mp4"}));
    expectSameFile(secondLog, rig.out + "/FILE0001 (2).log");
    EXPECT_EQ(pmGetGpsLogFile(rig.out + "/FILE0001 (2).MP4"), rig.out + "/FILE0001 (2).log");
    EXPECT_EQ(pmGetGpsLogFile(rig.out + "/FILE0001.MP4"), std::nullopt);
}

TEST(Backup, TheFirstRecordingThatFailsStopsTheLoopAndLeavesNothingOfIt) {
    enum Fault { NoRoom, Gone, SameFile, Empty, CutShort, Cancel };
    // Three recordings of which the second, with its log, is the one in question.
    const std::tuple<const char*, Fault, std::size_t, const char*> cases[] = {
        {"not enough room: 4.5 MB + 1 MiB against 5 MB free", NoRoom, 4'500'000, "IDS_ERR_NO_DISK_SPACE"},
        {"the source is gone", Gone, 0, "IDS_ERR_BACKUP_READ"},
        {"the target is the source itself", SameFile, 1000, "IDS_ERR_BACKUP_SAME_FILE"},
        {"an empty recording is no failure", Empty, 0, ""},
        {"cut short while it is copied", CutShort, 4 * kMiB, "IDS_ERR_BACKUP_CHANGED"},
        {"cancelled during the second", Cancel, 4 * kMiB, ""},
    };
    for (const auto& [name, fault, secondSize, key] : cases) {
        SCOPED_TRACE(name);
        BackupRig rig;
        const std::string &card = rig.card, &out = rig.out;
        const std::string first = writeSource(card + "/FILE0001.MP4", kMiB, 21);
        writeSource(card + "/FILE0001.log", 100, 22);
        std::string second = writeSource(card + "/FILE0002.MP4", secondSize, 23);
        writeSource(card + "/FILE0002.log", 100, 24);
        const std::string third = writeSource(card + "/FILE0003.MP4", kMiB, 25);
        const std::string secondBytes = readFile(second);
        std::set<std::string> expected{"FILE0001.MP4", "FILE0001.log"};

        BackupOptions options;
        BackupProgress progress;
        // Once the second copy is under way (the first is a megabyte).
        options.afterStep = [&, fault = fault, done = false](std::uint64_t current) mutable {
            if (current <= kMiB || std::exchange(done, true)) return;
            if (fault == CutShort) { ASSERT_EQ(::truncate(second.c_str(), 2 * kMiB), 0); }
            if (fault == Cancel) progress.canceled = true;
        };
        if (fault == NoRoom) pmSetDiskFreeSpaceFunction([](const std::string&) { return 5'000'000; });
        if (fault == Gone) second = card + "/FILE0002-gone.MP4";
        if (fault == SameFile) {
            second = writeSource(out + "/FILE0002.MP4", secondSize, 23);
            expected.insert("FILE0002.MP4");
        }
        if (fault == Empty) expected.insert({"FILE0002.MP4", "FILE0002.log", "FILE0003.MP4"});

        const BackupResult result = pmRunBackup({first, second, third}, out, progress, options);
        EXPECT_EQ(result.status, fault == Cancel ? BackupResult::Status::Canceled
                                 : *key == '\0'  ? BackupResult::Status::Done
                                                 : BackupResult::Status::Failed);
        EXPECT_EQ(result.messageKey, key);
        if (*key) { EXPECT_EQ(result.path, second); }
        EXPECT_EQ(namesUnder(out), expected);  // nothing partial, nothing after the failure
        expectSameFile(first, out + "/FILE0001.MP4");
        if (fault == Empty) expectSameFile(second, out + "/FILE0002.MP4");
        if (fault != CutShort && fault != Gone) { EXPECT_TRUE(readFile(second) == secondBytes); }  // the source is never touched
    }
}

TEST(Backup, PercentAndBarValuesInWholeNumbers) {
    // The current and total bytes, the percentage, and the value of a bar running 0..1000.
    const std::tuple<std::uint64_t, std::uint64_t, int, int> cases[] = {
        {0, 0, 100, 1000},  // a backup of empty recordings only
        {1023, 1024, 99, 999},
        {5'000'000'000'000ull, 10'000'000'000'000ull, 50, 500},  // beyond what an int holds
        {(1ull << 62) - (1ull << 52), 1ull << 62, 99, 999},
        {11, 10, 100, 1000},  // a file that grew while it was copied
    };
    for (const auto& [current, total, percent, bar] : cases) {
        EXPECT_EQ(pmBackupPercent(current, total), percent) << current << " of " << total;
        EXPECT_EQ(pmBackupBarValue(current, total, 1000), bar) << current << " of " << total;
    }
}

TEST(BackupFaults, AFullTargetStopsTheBackupWithNothingPartialLeftAndAReadOnlyOneIsRefused) {
    BackupRig rig;
    const std::string first = writeSource(rig.card + "/FILE0001.MP4", 7 * kMiB / 4, 1);
    const std::string second = writeSource(rig.card + "/FILE0002.MP4", 7 * kMiB / 4, 2);
    const std::string big = writeSource(rig.card + "/FILE0003.MP4", 6 * kMiB, 3);
    const int code = inTmpfs(rig.out, [&] {
        const std::set<std::string> firstOnly{"FILE0001.MP4"};
        BackupProgress progress;
        // The free-space rule: 1.75 MiB + 1 MiB fits into 4 MiB once, not twice.
        BackupResult result = pmRunBackup({first, second}, rig.out, progress);
        if (result.messageKey != "IDS_ERR_NO_DISK_SPACE" || result.path != second || result.error != 0) return 1;
        if (namesUnder(rig.out) != firstOnly) return 2;
        // A volume that fills up under the copy (the free space said otherwise), by both ways.
        pmSetDiskFreeSpaceFunction([](const std::string&) { return 1ull << 40; });
        for (const bool unnamed : {true, false}) {
            pmSetUnnamedTempFilesAllowed(unnamed);
            struct statvfs before {}, after {};
            ::statvfs(rig.out.c_str(), &before);
            result = pmRunBackup({big}, rig.out, progress);
            ::statvfs(rig.out.c_str(), &after);
            if (result.messageKey != "IDS_ERR_NO_DISK_SPACE" || result.error != ENOSPC) return 3;
            if (namesUnder(rig.out) != firstOnly || after.f_bfree != before.f_bfree) return 4;
        }
        // Read-only: refused before anything is written.
        if (::mount(nullptr, rig.out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) return 7;
        result = pmRunBackup({second}, rig.out, progress);
        if (!pmIsReadOnlyFolder(rig.out) || result.messageKey != "IDS_ERR_FOLDER_READ_ONLY") return 5;
        return namesUnder(rig.out) == firstOnly ? 0 : 6;
    });
    if (code == kNoNamespace) GTEST_SKIP() << "no private mount namespace with a tmpfs here (needs root)";
    EXPECT_EQ(code, 0) << "1: the free-space rule, 2: what it left, 3: a full volume's outcome, 4: what that left, "
                          "5: a read-only folder's outcome, 6: what that left, 7: no read-only remount";
}

TEST(BackupFaults, ACopyKilledMidwayLeavesNothingAFreshRunFinds) {
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporary file" : "hidden temporary name");
        BackupRig rig;
        const std::string source = writeSource(rig.card + "/FILE0001.MP4", 8 * kMiB, 5);
        const std::string original = readFile(source);
        pmSetUnnamedTempFilesAllowed(unnamed);
        const int code = runInChild([&] {
            BackupOptions options;
            options.afterStep = [](std::uint64_t current) {
                if (current >= 2 * kMiB) ::raise(SIGKILL);
            };
            BackupProgress progress;
            pmRunBackup({source}, rig.out, progress, options);
            return 0;
        });
        ASSERT_EQ(code, 128 + SIGKILL);
        // No recording appeared; the hidden way leaves its hidden name behind.
        EXPECT_EQ(namesUnder(rig.out),
                  unnamed ? std::set<std::string>{} : std::set<std::string>{pmPartialFileName("FILE0001.MP4")});

        // A fresh run clears the hidden name and nothing that only looks like one.
        std::set<std::string> expected{".FILE0002.MP4.cartena-partial", "FILE0002.MP4.cartena-part", ".cartena-part"};
        for (const std::string& name : expected) writeSource(rig.out + "/" + name, 1, 6);
        BackupProgress progress;
        EXPECT_EQ(pmRunBackup({source}, rig.out, progress).status, BackupResult::Status::Done);
        expected.insert("FILE0001.MP4");
        EXPECT_EQ(namesUnder(rig.out), expected);
        expectSameFile(source, rig.out + "/FILE0001.MP4");
        EXPECT_TRUE(readFile(source) == original);
    }
}
