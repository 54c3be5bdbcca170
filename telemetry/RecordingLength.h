#pragma once
#include <optional>
#include <string>

// The length of a recording read from its container, for when no player is at hand: AVI from the
// main header (total frames x microseconds per frame), MP4/MOV from the movie header (duration /
// time scale). None when the container does not say. The length is capped at one day, and an AVI
// cannot claim more frames than its size could hold, so a forged header cannot make callers pad a
// track to an absurd length.
std::optional<double> pmGetRecordingLength(const std::string& path);

inline constexpr double kMaxRecordingLength = 86400.0;
