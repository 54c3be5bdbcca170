#include "cli/Commands.h"

void addAllCommands(CLI::App& app, int& exitCode) {
    addMakeSampleCardCommand(app, exitCode);
    addScanCommand(app, exitCode);
    addTelemetryCommand(app, exitCode);
    addKmlCommand(app, exitCode);
    addGpxCommand(app, exitCode);
    addBackupCommand(app, exitCode);
}
