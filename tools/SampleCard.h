#pragma once
#include "tools/SampleCardTable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Called for each recording once its video is complete and before its mode and date are set, so
// that later steps (text logs beside it, telemetry chunks appended to an AVI) can add to it. `file`
// is the recording's full path, `card` the card's folder. Returns false (with a reason) to stop.
using SampleRecordingHook =
    std::function<bool(const SampleEntry& entry, const std::string& file, const std::string& card, std::string& error)>;

struct SampleCardOptions {
    SampleCardDate firstDay{};
    std::uint64_t seed = 1;
    int threads = 2;  // recordings encoded at once
    std::vector<SampleRecordingHook> recordingHooks{};
};

struct SampleCardResult {
    bool ok = false;
    std::string error;  // one line, naming the entry that failed
    int recordings = 0;
    int entries = 0;
    std::uint64_t bytes = 0;  // of all regular files made
};

// Makes the card described by `entries` in `folder`, which must be missing or empty. Recordings
// are written in parallel; hooks, modes and dates are applied afterwards in table order. Logs of
// FFmpeg are limited to errors while it runs.
SampleCardResult makeSampleCard(const std::string& folder, const SampleCardOptions& options = {},
                                const std::vector<SampleEntry>& entries = sampleCardEntries());
