#pragma once
#include "tools/SampleCard.h"

#include <string>
#include <vector>

// Recordings for the benchmarks, made by the sample card generator once per build tree and kept
// under the build folder's "bench-media".

std::string benchMediaRoot();

// One camera's recording of a pair, `seconds` long.
SampleEntry benchCamera(const char* folder, const char* name, SampleCamera which, int width, int height, int fps,
                        int seconds);

// Makes the card of `entries` in `folder` unless it is there already; the error, or empty.
std::string makeBenchCardOnce(const std::string& folder, const std::vector<SampleEntry>& entries,
                              std::vector<SampleRecordingHook> hooks = {});
