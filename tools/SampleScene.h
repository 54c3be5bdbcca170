#pragma once
#include "tools/FrameStamp.h"
#include "tools/SampleCardTable.h"

#include <cstdint>

// Paints frame `frame` of a sample recording: a road seen from the car (sky, roadside trees, lane
// marks that move with the car's speed; still for a parked car), varied by the seed, with the frame
// stamp on top. The same arguments paint the same pixels.
void drawSampleFrame(RgbImage& image, const SampleEntry& entry, const SampleCardDate& firstDay, std::uint64_t seed,
                     int frame);
