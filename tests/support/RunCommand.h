#pragma once
#include <string>
#include <vector>

struct CommandResult {
    int exitCode = -1;  // 128 + signal when the command died of one
    std::string out;
    std::string err;
};

// Runs a program (looked up in PATH when the name has no slash) with arguments, no shell, standard
// input from /dev/null, and waits for it by its pid.
CommandResult runCommand(const std::vector<std::string>& argv);

// The path of a program built by this build tree, e.g. builtProgram("cli/cartena").
std::string builtProgram(const std::string& relativePath);
