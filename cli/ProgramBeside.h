#pragma once
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

// Commands whose work needs big libraries (FFmpeg, Qt) run a program built beside `cartena`, so that
// only they load them and every other command starts in a few milliseconds.

// Replaces this process with the program `name` from cartena's own folder, given `arguments`
// (argv[0] is added). Returns only when it cannot be run, having said why on standard error;
// `exitCode` is then 1.
void pmRunProgramBeside(const std::string& name, const std::vector<std::string>& arguments, const std::string& command,
                        int& exitCode);

// The command line this process was started with, quoted for a POSIX shell where needed.
void pmSetInvocation(int argc, char** argv);
const std::string& pmInvocationText();

// Reads a number argument of such a program, which `cartena` checked before: the whole text or false.
template <class Number>
bool pmNumberArgument(const char* text, Number& value) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    return error == std::errc() && stop == end;
}
