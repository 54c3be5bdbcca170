// `cartena backup` on the sample card and on files of its own: what a scan of the backup finds,
// the stop rule, and Ctrl-C.
#include "outputs/BackupTestFiles.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace backuptest;

namespace {

// The playlist a scan of the folder finds, its rows as JSON with paths cut to file names and the
// partner named rather than numbered (the order of equal dates follows the folders); and its paths.
std::multiset<std::string> playlistOf(const std::string& folder, std::vector<std::string>& paths) {
    const auto scan = runCommand({builtProgram("cli/cartena"), "scan", folder, "--json"});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    const auto playlist = nlohmann::json::parse(scan.out, nullptr, false).value("playlist", nlohmann::json::array());
    const auto name = [](const nlohmann::json& path) {
        return path.is_string() ? std::filesystem::path(path.get<std::string>()).filename().string() : "-";
    };
    std::multiset<std::string> rows;
    for (auto row : playlist) {
        paths.push_back(row["path"]);
        const int partner = row["partnerIndex"];
        row["partnerIndex"] = partner >= 0 ? name(playlist[partner]["path"]) : "-";
        row["path"] = name(row["path"]);
        row["partnerPath"] = name(row["partnerPath"]);
        row.erase("index");
        rows.insert(row.dump());
    }
    return rows;
}

}  // namespace

TEST(BackupCommand, ABackupOfTheCardScansToTheSamePlaylistPairsIncludedAndEachCopyIsItsSource) {
    TempHome home;
    const std::string out = home.path() + "/backup";
    std::filesystem::create_directories(out);
    const auto run = runCommand({builtProgram("cli/cartena"), "backup", "--from", sampleCardFolder(), "--to", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no bar: standard error is not a terminal

    std::vector<std::string> cardPaths, backupPaths;
    const auto card = playlistOf(sampleCardFolder(), cardPaths);
    EXPECT_EQ(playlistOf(out, backupPaths), card);
    EXPECT_TRUE(std::any_of(card.begin(), card.end(), [](const std::string& row) {
        return row.find("\"partnerIndex\":\"-\"") == std::string::npos;
    }));
    std::map<std::string, std::string> sourceOf;
    for (const std::string& path : cardPaths) sourceOf[std::filesystem::path(path).filename().string()] = path;
    for (const std::string& path : backupPaths) expectSameFile(sourceOf[std::filesystem::path(path).filename().string()], path);
}

TEST(BackupCommand, AFailureStopsTheLoopWithExitCode1AndCtrlCCancelsCleanlyWith130) {
    TempHome home;
    const std::string cartena = builtProgram("cli/cartena");
    const std::string card = home.path() + "/card", out = home.path() + "/out";
    std::filesystem::create_directories(out);
    const std::string first = writeSource(card + "/FILE0001.MP4", 5000, 1), third = writeSource(card + "/FILE0003.MP4", 5000, 3);
    // (What the stop leaves is the backup engine's test.)
    expectCartenaAnswer({"backup", "--to", out, first, card + "/FILE0002.MP4", third}, 1, "",
                        "“FILE0002.MP4” could not be read");
    std::filesystem::remove(out + "/FILE0001.MP4");

    // A gigabyte to copy, allocated but not written, so that the test makes it at once.
    const std::string big = card + "/FILE0004.MP4";
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::posix_fallocate(fd, 0, 1 << 30), 0);
    ::close(fd);
    const std::string err = home.path() + "/err.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        ::execl(cartena.c_str(), cartena.c_str(), "backup", "--to", out.c_str(), big.c_str(), nullptr);
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);

    // Interrupted once the copy is under way: the program holds the unnamed file it copies into.
    bool copying = false;
    for (const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         !copying && std::chrono::steady_clock::now() < giveUp; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
            copying = copying || (target.starts_with(out) && target.ends_with("(deleted)"));
        }
    }
    EXPECT_TRUE(copying) << "the copy was never seen";
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    const std::string said = readFile(err);
    EXPECT_NE(said.find("cancelled"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(namesUnder(out).empty());
    EXPECT_EQ(std::filesystem::file_size(big), 1u << 30);
}
