#pragma once
#include "telemetry/GpsList.h"
#include "telemetry/GpsParser.h"

#include <cstdint>
#include <string>
#include <vector>

// Where a recording's telemetry came from.
enum class TelemetrySource {
    None,           // no log, and not an AVI with telemetry chunks (or their readers found nothing)
    TextLog,        // the text log beside the recording (or in the log folder)
    AviChunks,      // "SLLT" positions and "SGLT" G-sensor records inside the AVI
    AviSensorOnly,  // "SGLT" records only, appended from the start
};

const char* pmTelemetrySourceName(TelemetrySource source);

struct TelemetryLoad {
    TelemetrySource source = TelemetrySource::None;
    bool found = false;          // a source gave telemetry
    std::string logPath;         // the text log chosen, when there was one
    bool logUnreadable = false;  // the log exists but could not be read (nothing else is tried)
    int logErrorCode = 0;
    std::string logError;
    GpsParseIssue logIssue;      // the first problem inside the log, line 0 = none
    int logIssueCount = 0;
    int lengthSeconds = 0;       // the recording length used, in whole seconds
    std::uint16_t recordType = 0;
    std::int16_t motorType = 0;
    float peakValue = 0.0f;      // the larger magnitude of the track's extremes
    int peakIndex = -1;          // its second, -1 = none
    int eventTime = -1;          // the second of an event recording's peak over 0.5 g, -1 = none
};

// Fills `list` (cleared first) for the recording at `path` of `lengthSeconds` seconds (as the
// player reports it, or as read from the container), choosing the source as the window does: a
// text log first, else for an AVI the chunk readers. When `sampleTimes` is given it receives one
// UTC time per sample from a text log (milliseconds since 1970, -1 where unknown).
TelemetryLoad pmLoadTelemetry(const std::string& path, double lengthSeconds, GpsList& list,
                              std::vector<std::int64_t>* sampleTimes = nullptr);

// The larger magnitude of the track's maximum and minimum (the minimum only when strictly
// larger) with its index, and whether it marks an event: an event recording with G-sensor values
// whose peak exceeds 0.5 g.
struct TelemetryPeak {
    float value = 0.0f;
    int index = -1;
};
TelemetryPeak pmGetTelemetryPeak(const GpsList& list);
int pmGetEventTime(const GpsList& list, std::uint16_t recordType);

// The same without a player: the length comes from the container (0 when it does not say), or
// from `lengthOverride` when that is 0 or more.
TelemetryLoad pmLoadTelemetryFromFile(const std::string& path, GpsList& list,
                                      std::vector<std::int64_t>* sampleTimes = nullptr, double lengthOverride = -1.0);
