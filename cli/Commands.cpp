#include "cli/Commands.h"

void addAllCommands(CLI::App& app, int& exitCode) {
    (void)app;
    (void)exitCode;
}
