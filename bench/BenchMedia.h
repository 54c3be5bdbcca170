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

// A 180 s front/rear pair (480 x 270 at 20 a second, 320 x 180 at 15) with the front camera's text
// log beside it, a drive through Munich with a hard braking half-way; made once.
struct BenchDriveCard {
    std::string folder, front, rear;
    std::string error;  // empty when it is there
};
const BenchDriveCard& benchDriveCard();

// Points HOME at a new scratch folder for the life of this object, so that the program's settings,
// services and log go there; the folder is removed afterwards.
class ScratchHome {
public:
    ScratchHome();
    ~ScratchHome();
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;
    bool made() const { return !path_.empty(); }

private:
    std::string path_;
};
