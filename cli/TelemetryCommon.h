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

// Why the path is not a recording to read; null when it is one. Only the extension and the
// container's first bytes count, so that a recording cut short still gives its log's telemetry.
const char* pmWhyNotARecording(const std::string& path);

// Prints the reasons to standard error, prefixed with "cartena <command>: ". A path that is no
// recording (missing, a folder, another kind of file) is refused before anything is loaded.
void loadTelemetryForCommand(const std::string& command, const std::string& path, double lengthOverride,
                             LoadedTelemetry& out);
