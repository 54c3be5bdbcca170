// Backups against real faults: a full and a read-only target (tmpfs mounts in a private mount
// namespace, which needs root), and a copy killed with SIGKILL.
#include "BackupTestFiles.h"
#include "outputs/Backup.h"
#include "outputs/ExportFile.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

using backuptest::expectSameFile;
using backuptest::namesUnder;
using backuptest::writeSource;

namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr int kNoNamespace = 77;

// Runs `body` in a child with a private mount namespace and a tmpfs of `options` at `mountPoint`;
// the child's exit code is the failed check's number (0: all held), kNoNamespace when refused.
int inTmpfs(const std::string& mountPoint, const char* options, const std::function<int()>& body) {
    return runInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return kNoNamespace;
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options) != 0) return kNoNamespace;
        return body();
    });
}

std::uint64_t usedBlocks(const std::string& path) {
    struct statvfs st {};
    return ::statvfs(path.c_str(), &st) == 0 ? st.f_blocks - st.f_bfree : ~0ull;
}

}  // namespace

TEST(BackupFaults, AFullTargetStopsTheBackupWithNothingPartialLeft) {
    TempHome home;
    const std::string card = home.path() + "/card", out = home.path() + "/out";
    std::filesystem::create_directories(out);
    const std::string first = writeSource(card + "/FILE0001.MP4", 7 * kMiB / 4, 1);
    const std::string second = writeSource(card + "/FILE0002.MP4", 7 * kMiB / 4, 2);
    const std::string big = writeSource(card + "/FILE0003.MP4", 6 * kMiB, 3);
    const int code = inTmpfs(out, "size=4m", [&] {
        BackupProgress progress;
        // The free-space rule: 1.75 MiB + 1 MiB fits into 4 MiB once, not twice.
        BackupResult result = pmRunBackup({first, second}, out, progress);
        if (result.messageKey != "IDS_ERR_NO_DISK_SPACE" || result.path != second || result.error != 0) return 1;
        if (namesUnder(out) != std::set<std::string>{"FILE0001.MP4"}) return 2;
        // A volume that fills up under the copy (the free space said otherwise), by both ways.
        pmSetDiskFreeSpaceFunction([](const std::string&) { return 1ull << 40; });
        for (const bool unnamed : {true, false}) {
            pmSetUnnamedTempFilesAllowed(unnamed);
            const std::uint64_t before = usedBlocks(out);
            result = pmRunBackup({big}, out, progress);
            if (result.messageKey != "IDS_ERR_NO_DISK_SPACE" || result.error != ENOSPC) return 3;
            if (namesUnder(out) != std::set<std::string>{"FILE0001.MP4"} || usedBlocks(out) != before) return 4;
        }
        return 0;
    });
    if (code == kNoNamespace) GTEST_SKIP() << "no private mount namespace with a tmpfs here (needs root)";
    EXPECT_EQ(code, 0) << "1: the free-space rule, 2: what it left, 3: a full volume's outcome, 4: what that left";
}

TEST(BackupFaults, AReadOnlyTargetIsRefusedBeforeAnythingIsWritten) {
    TempHome home;
    const std::string out = home.path() + "/out";
    std::filesystem::create_directories(out);
    const std::string source = writeSource(home.path() + "/card/FILE0001.MP4", 1000, 4);
    const int code = inTmpfs(out, "size=4m", [&] {
        if (::mount(nullptr, out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) return kNoNamespace;
        if (!pmIsReadOnlyFolder(out)) return 1;
        BackupProgress progress;
        const BackupResult result = pmRunBackup({source}, out, progress);
        if (result.status != BackupResult::Status::Failed || result.messageKey != "IDS_ERR_FOLDER_READ_ONLY") return 2;
        PendingFile file;
        if (file.open(out + "/FILE0001.MP4") != EROFS) return 3;
        return namesUnder(out).empty() ? 0 : 4;
    });
    if (code == kNoNamespace) GTEST_SKIP() << "no read-only mount in a private mount namespace here (needs root)";
    EXPECT_EQ(code, 0) << "1: not seen as read-only, 2: the backup's outcome, 3: the pending file, 4: files left";
}

TEST(BackupFaults, ACopyKilledMidwayLeavesNothingAFreshRunFinds) {
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporary file" : "hidden temporary name");
        TempHome home;
        const std::string out = home.path() + "/out";
        std::filesystem::create_directories(out);
        const std::string source = writeSource(home.path() + "/card/FILE0001.MP4", 8 * kMiB, 5);
        const std::string original = readFile(source);

        const int code = runInChild([&] {
            pmSetUnnamedTempFilesAllowed(unnamed);
            BackupOptions options;
            options.afterStep = [](std::uint64_t current) {
                if (current >= 2 * kMiB) ::raise(SIGKILL);
            };
            BackupProgress progress;
            pmRunBackup({source}, out, progress, options);
            return 0;
        });
        ASSERT_EQ(code, 128 + SIGKILL);
        // Killed mid-copy: no recording appeared; the hidden way leaves its hidden name behind.
        const std::set<std::string> left = namesUnder(out);
        EXPECT_EQ(left, unnamed ? std::set<std::string>{} : std::set<std::string>{pmPartialFileName("FILE0001.MP4")});

        // A fresh run clears the hidden name and nothing that only looks like one.
        const std::set<std::string> lookAlikes{".FILE0002.MP4.cartena-partial", "FILE0002.MP4.cartena-part",
                                               ".cartena-part"};
        for (const std::string& name : lookAlikes) writeSource(out + "/" + name, 1, 6);
        pmSetUnnamedTempFilesAllowed(unnamed);
        BackupProgress progress;
        EXPECT_EQ(pmRunBackup({source}, out, progress).status, BackupResult::Status::Done);
        pmSetUnnamedTempFilesAllowed(true);
        std::set<std::string> expected = lookAlikes;
        expected.insert("FILE0001.MP4");
        EXPECT_EQ(namesUnder(out), expected);
        expectSameFile(source, out + "/FILE0001.MP4");
        EXPECT_TRUE(readFile(source) == original);
    }
}
