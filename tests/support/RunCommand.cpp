#include "support/RunCommand.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

extern char** environ;

namespace {

std::string slurp(FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace

CommandResult runCommand(const std::vector<std::string>& argv) {
    CommandResult result;
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (!out || !err || argv.empty()) return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), STDERR_FILENO);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0) {
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    result.out = slurp(out);
    result.err = slurp(err);
    return result;
}

std::string builtProgram(const std::string& relativePath) {
    return std::string(CARTENA_BUILD_DIR) + "/" + relativePath;
}

double ffprobeNumber(const std::string& file, const char* stream, const char* entry) {
    const CommandResult r = runCommand({"ffprobe", "-v", "error", "-select_streams", stream, "-show_entries", entry,
                                        "-of", "default=noprint_wrappers=1:nokey=1", file});
    double value = -1;
    std::from_chars(r.out.data(), r.out.data() + r.out.size(), value);
    return value;
}

void expectCartenaAnswer(const std::vector<std::string>& args, int exitCode, const std::string& out,
                         const std::string& err) {
    std::vector<std::string> argv = {builtProgram("cli/cartena")};
    argv.insert(argv.end(), args.begin(), args.end());
    const CommandResult r = runCommand(argv);
    const std::string what = args.front() + " " + args.back();
    EXPECT_EQ(r.exitCode, exitCode) << what << "\n" << r.err;
    EXPECT_TRUE(exitCode && out.empty() ? r.out.empty() : r.out.starts_with(out)) << what << "\n" << r.out;
    EXPECT_TRUE((r.err.starts_with("cartena") && r.err.find(err) != std::string::npos) || (r.err.empty() && err.empty()))
        << what << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), err.empty() ? 0 : 1) << what << "\n" << r.err;
}
