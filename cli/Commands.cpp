#include "cli/Commands.h"

void addAllCommands(CLI::App& app, int& exitCode) {
    addScanCommand(app, exitCode);
}
