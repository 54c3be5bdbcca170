#include "cli/ProgramBeside.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

std::string gInvocation;

std::string shellQuoted(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                               "0123456789-_./=:,+@%") == std::string::npos;
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

void pmRunProgramBeside(const std::string& name, const std::vector<std::string>& arguments, const std::string& command,
                        int& exitCode) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program = (self.parent_path() / name).string();
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(program.c_str(), argv.data());
    std::fprintf(stderr, "cartena %s: cannot run %s: %s\n", command.c_str(), program.c_str(), std::strerror(errno));
    exitCode = 1;
}

void pmSetInvocation(int argc, char** argv) {
    gInvocation.clear();
    for (int i = 0; i < argc; ++i) {
        std::string word = argv[i];
        if (i == 0) word = std::filesystem::path(word).filename().string();
        if (i > 0) gInvocation += ' ';
        gInvocation += shellQuoted(word);
    }
}

const std::string& pmInvocationText() { return gInvocation; }
