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

// A number ffprobe reads off a media file, e.g. ("v:0", "format=duration"); -1 when it gives none.
double ffprobeNumber(const std::string& file, const char* stream, const char* entry);

// Runs cartena with `args` and checks its answer: the exit code, standard output beginning with `out`
// (nothing at all on a failure that names none), and one line from the program on standard error
// holding `err` (no line when `err` is empty).
void expectCartenaAnswer(const std::vector<std::string>& args, int exitCode, const std::string& out,
                         const std::string& err);

// The path of a program built by this build tree, e.g. builtProgram("cli/cartena").
std::string builtProgram(const std::string& relativePath);
