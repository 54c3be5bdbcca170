#pragma once
// Stand-in for the recording classification of library/ until it is merged: same signatures,
// removed then.
#include <cstdint>
#include <string>

std::int32_t pmGetVideoFileType(const std::string& path);
std::uint16_t pmGetRecordFileType(const std::string& path);
std::int16_t pmGetMotorTypeFile(const std::string& path);
