#pragma once
#include <optional>
#include <string>

// The text log of a recording: beside it under the recording's title with ".log", ".txt", ".nmea"
// or ".NMEA"; in a folder "NMEA" beside the recording's folder, which when present decides alone
// (title + ".nmea" or ".NMEA"); else the recording's whole name + ".txt".
std::optional<std::string> pmGetGpsLogFile(const std::string& recordingPath);
