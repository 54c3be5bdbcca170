#pragma once
#include "outputs/ExportFile.h"
#include "telemetry/GpsList.h"

#include <cstdint>
#include <string>
#include <vector>

// A track as GPX 1.1: one track point per sample that has a position, with its time, its
// elevation where known and its speed (m/s) and course in Garmin's TrackPointExtension v2 where
// known. Times: the UTC time of the sample's own sentence where the log gave one (`sampleTimes`),
// else `startMillis` plus the sample's second.
struct GpxTrack {
    const GpsList* list = nullptr;
    const std::vector<std::int64_t>* sampleTimes = nullptr;  // may be null or shorter than the track
    std::int64_t startMillis = 0;                            // UTC milliseconds since 1970
    std::string name;
};

std::string pmGpxDocument(const GpxTrack& track);
// "2024-05-01T08:15:02Z" (milliseconds added when not whole).
std::string pmGpxTime(std::int64_t utcMillis);

ExportResult outputGPX(const std::string& path, const GpxTrack& track, bool replace);
