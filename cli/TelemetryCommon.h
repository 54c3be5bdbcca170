#pragma once
#include "telemetry/TelemetryLoader.h"

#include <string>

// What the telemetry commands share: loading a recording's track and saying what went wrong.
struct LoadedTelemetry {
    GpsList list;
    std::vector<std::int64_t> sampleTimes;
    TelemetryLoad load;
    bool recording = false;  // the path is a recording: a file whose extension and signature say so
    bool ok = false;         // a recording and, when a log was chosen, the log could be read
};

// Prints the reasons to standard error, prefixed with "cartena <command>: ". A path that is no
// recording (missing, a folder, another kind of file) is refused before anything is loaded.
void loadTelemetryForCommand(const std::string& command, const std::string& path, double lengthOverride,
                             LoadedTelemetry& out);
