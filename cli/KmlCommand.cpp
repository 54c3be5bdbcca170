#include "cli/Commands.h"
#include "cli/TelemetryCommon.h"
#include "outputs/ExportFile.h"
#include "outputs/KmlSave.h"

#include <cstdio>
#include <memory>

void addKmlCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string file;
        std::string output;
        bool force = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("kml", "Export a recording's track as a KML 2.0 document");
    command->add_option("FILE", options->file, "the recording")->required();
    command->add_option("-o,--output", options->output, "the KML file to write")->required();
    command->add_flag("--force", options->force, "replace the file when it exists");
    command->callback([options, &exitCode] {
        exitCode = 1;
        LoadedTelemetry telemetry;
        loadTelemetryForCommand("kml", options->file, -1.0, telemetry);
        if (!telemetry.ok) return;
        // Like the window's export button: only a track with positions is exported.
        if (!telemetry.list.IsGPSReady()) {
            std::fprintf(stderr, "cartena kml: %s: the recording has no positions to export\n", options->file.c_str());
            return;
        }
        const ExportResult result = outputKML(options->output, &telemetry.list, options->force);
        if (result.status != ExportStatus::Written) {
            std::fprintf(stderr, "cartena kml: %s: %s\n", options->output.c_str(), pmExportStatusText(result).c_str());
            return;
        }
        std::printf("%s: %d samples\n", options->output.c_str(), telemetry.list.GetDataCount());
        exitCode = 0;
    });
}
