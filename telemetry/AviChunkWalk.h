#pragma once
#include "Utility/FileReader.h"

#include <cstdint>
#include <vector>

// The walk over the top-level chunks of an AVI file that finds a telemetry chunk ("SLLT",
// "SGLT"). Tags are compared upper-cased. Chunks before the index are LIST and JUNK only (skipped
// whole, never entered); behind the index (idx1) unknown data is scanned four bytes at a time.
enum class AviWalkEnd {
    Found,    // positioned just behind the target tag
    Stopped,  // an unrecognised tag before the index, or not a RIFF AVI file
    EndOfFile,
    EmptyFile,
};

struct AviWalkResult {
    AviWalkEnd end = AviWalkEnd::EndOfFile;
    std::uint64_t position = 0;  // behind the target tag when found
};

// `target` is four upper-case characters.
AviWalkResult pmWalkAviChunks(FileReader& file, const char target[4]);

// Reads the little-endian payload size behind a found tag and then the payload, cut to what the
// file holds: nothing is allocated or read beyond the end of the file. False when not even the
// size could be read.
bool pmReadAviChunkPayload(FileReader& file, std::uint64_t position, std::vector<unsigned char>& payload);
