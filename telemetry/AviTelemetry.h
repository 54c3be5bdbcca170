#pragma once
#include "telemetry/GpsList.h"

#include <cstdint>
#include <string>

// Telemetry that some cameras store inside the AVI file, in top-level chunks behind the index:
// "SLLT" with one 28-byte position record per second and "SGLT" with one 20-byte G-sensor record
// per second. Both are laid onto the last seconds of the recording.

inline constexpr std::size_t kSlltRecordSize = 28;
inline constexpr std::size_t kSgltRecordSize = 20;

// Whole degrees (signed 16-bit big-endian) and a fraction in 1e-8 degrees (unsigned 32-bit
// big-endian) that takes the sign of the whole degrees.
float pmDecodeSlltCoordinate(const unsigned char* sixBytes);
// Sign byte (bit 7 sign, bits 0-5 a six-bit two's-complement whole part) and a fraction in
// 1e-5 g (unsigned 32-bit big-endian).
float pmDecodeSgltAxis(const unsigned char* fiveBytes);

// Positions, then the G-sensor records by pmParseSyntekAviSenser; the latter's result, or false
// when no position chunk was reached (empty file or end of file).
bool pmParseAviGpsSenser(const std::string& path, GpsList* list, int lengthSeconds);
// G-sensor records onto the last seconds of a recording of `lengthSeconds`, merged into the
// samples already there.
bool pmParseSyntekAviSenser(const std::string& path, GpsList* list, int lengthSeconds);
// G-sensor records appended one sample each, without regard to positions or length.
bool pmParseAviSensor(const std::string& path, GpsList* list);
