// `cartena backup` on the sample card and on files of its own: what a scan of the backup finds,
// usage and failures with their exit codes, and Ctrl-C.
#include "outputs/BackupTestFiles.h"
#include "support/RunCommand.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace {

using backuptest::expectSameFile;
using backuptest::namesUnder;
using backuptest::writeSource;

// A playlist row by what a scan tells about it, paths cut to their file names.
std::multiset<std::string> playlistOf(const std::string& folder, std::vector<std::string>* paths = nullptr) {
    const auto scan = runCommand({builtProgram("cli/cartena"), "scan", folder, "--json"});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    const auto document = nlohmann::json::parse(scan.out, nullptr, false);
    std::multiset<std::string> rows;
    if (!document.contains("playlist")) return rows;
    auto name = [](const nlohmann::json& path) {
        return path.is_string() ? std::filesystem::path(path.get<std::string>()).filename().string() : "-";
    };
    for (const auto& row : document["playlist"]) {
        const auto& partner = row["partnerIndex"].get<int>() >= 0 ? document["playlist"][row["partnerIndex"].get<int>()]["path"]
                                                                   : nlohmann::json(nullptr);
        rows.insert(name(row["path"]) + " " + row["date"].get<std::string>() + " " + row["videoFileType"].dump() +
                    " " + row["recordingType"].dump() + " " + row["cameraCode"].dump() + " " +
                    row["motorType"].dump() + " partner " + name(partner));
        if (paths) paths->push_back(row["path"].get<std::string>());
    }
    return rows;
}

std::size_t lines(const std::string& text) { return std::size_t(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(BackupCommand, ABackupOfTheCardScansToTheSamePlaylistPairsIncluded) {
    TempHome home;
    const std::string out = home.path() + "/backup";
    std::filesystem::create_directories(out);
    const auto run = runCommand({builtProgram("cli/cartena"), "backup", "--from", sampleCardFolder(), "--to", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no bar: standard error is not a terminal

    std::vector<std::string> cardPaths, backupPaths;
    const auto card = playlistOf(sampleCardFolder(), &cardPaths);
    const auto backup = playlistOf(out, &backupPaths);
    EXPECT_EQ(backup, card);
    EXPECT_NE(std::count_if(card.begin(), card.end(), [](const std::string& row) { return row.find("partner -") == std::string::npos; }), 0);
    // Every copy is its source, byte for byte, time and mode.
    std::map<std::string, std::string> sourceOf;
    for (const std::string& path : cardPaths) sourceOf[std::filesystem::path(path).filename().string()] = path;
    for (const std::string& path : backupPaths) expectSameFile(sourceOf[std::filesystem::path(path).filename().string()], path);
}

TEST(BackupCommand, UsageFailuresAndTheStopRuleByExitCode) {
    TempHome home;
    const std::string cartena = builtProgram("cli/cartena");
    const std::string out = home.path() + "/out";
    std::filesystem::create_directories(out);
    const std::string first = writeSource(home.path() + "/card/FILE0001.MP4", 5000, 1);
    const std::string third = writeSource(home.path() + "/card/FILE0003.MP4", 5000, 3);
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        const char* saying;  // part of the one line on standard error
    };
    const Case cases[] = {
        {{"--to", out}, 2, "name recordings"},
        {{"--to", out, first, "--from", home.path()}, 2, "excludes"},
        {{"--to", out, "--event", first}, 2, "--from"},
        {{"--to", home.path() + "/missing", first}, 1, "no such folder"},
        {{"--to", out, first, home.path() + "/card/FILE0002.MP4", third}, 1, "“FILE0002.MP4” could not be read"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {cartena, "backup"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const auto result = runCommand(argv);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.saying << ": " << result.err;
        EXPECT_NE(result.err.find(c.saying), std::string::npos) << result.err;
        EXPECT_EQ(lines(result.err), 1u) << result.err;
    }
    // The failure stopped the loop after the first recording.
    EXPECT_EQ(namesUnder(out), std::set<std::string>{"FILE0001.MP4"});
}

TEST(BackupCommand, CtrlCCancelsCleanlyWithExitCode130) {
    TempHome home;
    const std::string out = home.path() + "/out";
    std::filesystem::create_directories(out);
    // A gigabyte to copy, allocated but not written, so that the test makes it at once.
    const std::string source = home.path() + "/card/FILE0001.MP4";
    std::filesystem::create_directories(home.path() + "/card");
    const int fd = ::open(source.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::posix_fallocate(fd, 0, 1 << 30), 0);
    ::close(fd);

    const std::string err = home.path() + "/err.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string cartena = builtProgram("cli/cartena");
    const std::vector<std::string> args = {cartena, "backup", "--to", out, source};
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, cartena.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Interrupt once the copy is under way: the program holds the unnamed file it copies into.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool copying = false;
    while (!copying && std::chrono::steady_clock::now() < giveUp) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
            copying = copying || (target.starts_with(out) && target.ends_with("(deleted)"));
        }
        if (!copying) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(copying) << "the copy was never seen";
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::string said = readFile(err);
    EXPECT_NE(said.find("cancelled"), std::string::npos) << said;
    EXPECT_EQ(lines(said), 1u) << said;
    EXPECT_TRUE(namesUnder(out).empty());
    EXPECT_EQ(std::filesystem::file_size(source), 1u << 30);
}
