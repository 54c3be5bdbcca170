#pragma once
#include <CLI/CLI.hpp>

// Each subcommand of `cartena` lives in its own file with an add function listed here and called
// from addAllCommands; its callback stores the exit code (0 success, 1 failure).
void addAllCommands(CLI::App& app, int& exitCode);

void addMakeSampleCardCommand(CLI::App& app, int& exitCode);
void addScanCommand(CLI::App& app, int& exitCode);
void addTelemetryCommand(CLI::App& app, int& exitCode);
void addKmlCommand(CLI::App& app, int& exitCode);
void addGpxCommand(CLI::App& app, int& exitCode);
void addBackupCommand(CLI::App& app, int& exitCode);
