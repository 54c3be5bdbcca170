#pragma once
#include "cli/TelemetryCommon.h"

#include <nlohmann/json.hpp>

#include <string>

// What `cartena telemetry --format json` prints: one row per second, null where a sample holds a
// marker value (no position, no measured speed, unknown heading, no altitude), then the summary.
nlohmann::json pmTelemetryJson(const LoadedTelemetry& telemetry, const std::string& path);
