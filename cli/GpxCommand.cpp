#include "cli/Commands.h"
#include "cli/TelemetryCommon.h"
#include "outputs/GpxSave.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

void addGpxCommand(CLI::App& app, int& exitCode) {
    struct Options {
        std::string file;
        std::string output;
        bool force = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "gpx", "Export a recording's track as GPX 1.1 (one point per positioned second, speed in m/s)");
    command->add_option("FILE", options->file, "the recording")->required();
    command->add_option("-o,--output", options->output, "the GPX file to write")->required();
    command->add_flag("--force", options->force, "replace the file when it exists");
    command->callback([options, &exitCode] {
        exitCode = 1;
        LoadedTelemetry telemetry;
        loadTelemetryForCommand("gpx", options->file, -1.0, telemetry);
        if (!telemetry.ok) return;
        if (!telemetry.list.IsGPSReady()) {
            std::fprintf(stderr, "cartena gpx: %s: the recording has no positions to export\n", options->file.c_str());
            return;
        }
        // Where the log gives no time, a second counts from the recording's start, which is the
        // file's modification time, as the recording list shows it.
        struct stat st {};
        std::int64_t start = 0;
        if (::stat(options->file.c_str(), &st) == 0) start = std::int64_t(st.st_mtim.tv_sec) * 1000;
        const std::size_t slash = options->output.rfind('/');
        GpxTrack track{&telemetry.list, &telemetry.sampleTimes, start,
                       options->output.substr(slash == std::string::npos ? 0 : slash + 1)};
        const ExportResult result = outputGPX(options->output, track, options->force);
        if (result.status != ExportStatus::Written) {
            std::fprintf(stderr, "cartena gpx: %s: %s\n", options->output.c_str(), pmExportStatusText(result).c_str());
            return;
        }
        std::size_t points = 0;
        for (const GpsData& sample : telemetry.list.gpslist()) points += sample.hasPosition();
        std::printf("%s: %zu track points\n", options->output.c_str(), points);
        exitCode = 0;
    });
}
