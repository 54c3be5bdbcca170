#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a recording's path says about it. Paths are byte strings: nothing is normalised, and case
// folding touches ASCII letters only.

// Video file type, from the extension: which container, hence which probe applies.
inline constexpr std::int32_t kVideoFileAvi = 1;
inline constexpr std::int32_t kVideoFileMov = 3;
inline constexpr std::int32_t kVideoFileMp4 = 5;
inline constexpr std::int32_t kVideoFileOther = -1;

// Recording type: parking recordings count as normal.
inline constexpr std::uint16_t kRecordNormal = 0;
inline constexpr std::uint16_t kRecordEvent = 1;

// Camera code of a dual-camera pair.
inline constexpr std::uint16_t kCameraNone = 0;
inline constexpr std::uint16_t kCameraFront = 1;
inline constexpr std::uint16_t kCameraRear = 2;

// Motor type: which family of devices named the file.
inline constexpr std::int16_t kMotorNoName = 0;
inline constexpr std::int16_t kMotorOrdinary = 1;
inline constexpr std::int16_t kMotorBFamily = 2;

std::int32_t pmGetVideoFileType(const std::string& path);
std::uint16_t pmGetRecordFileType(const std::string& path);
// The fallback of the recording type: a write-protected file is an event, and so is a writable one
// whose name holds "EMER". A path where nothing exists counts as write-protected.
bool pmIsEventFile(const std::string& path);
bool pmIs4Numbers(std::string_view text, int position);
std::int16_t pmGetMotorTypeFile(const std::string& path);
std::uint16_t pmCheckDualCameraFileType(const std::string& path);
// Reverses UTF-8 characters, not bytes; a byte that is not part of a valid sequence counts as one
// character.
std::string pmReverseString(std::string_view text);
// The path the other camera's recording of a pair would have; none for a path of camera code 0.
std::optional<std::string> pmGetAnotherCameraFile(const std::string& path);
// The last component of the path, without its extension when asked. A leading dot does not start
// an extension (".MP4" has none).
std::string pmGetFileTitle(const std::string& path, bool withoutExtension);
// The extension of the last component (without the dot), empty when it has none.
std::string pmGetFileExtension(const std::string& path);
