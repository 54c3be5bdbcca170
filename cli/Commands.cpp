#include "cli/Commands.h"

void addAllCommands(CLI::App& app, int& exitCode) {
    addTelemetryCommand(app, exitCode);
    addKmlCommand(app, exitCode);
    addGpxCommand(app, exitCode);
}
