#include "telemetry/RecordingLength.h"

#include "Utility/FileReader.h"
#include "Utility/AsciiText.h"
#include "telemetry/NumberText.h"

#include <algorithm>
#include <cstring>

namespace {

bool typeIs(const unsigned char* p, const char* name) {
    for (int i = 0; i < 4; ++i)
        if (pmToUpperAscii(static_cast<char>(p[i])) != name[i]) return false;
    return true;
}

std::optional<double> capped(double seconds) {
    if (!(seconds >= 0.0)) return std::nullopt;
    return std::min(seconds, kMaxRecordingLength);
}

std::optional<double> aviLength(FileReader& file) {
    unsigned char header[56];
    if (!file.readAt(0, header, sizeof header)) return std::nullopt;
    if (!typeIs(header, "RIFF") || !typeIs(header + 12, "LIST") || !typeIs(header + 24, "AVIH")) return std::nullopt;
    const std::uint32_t microsPerFrame = pmReadLE32(header + 32);
    // A frame needs at least a chunk header of 8 bytes in the file.
    const std::uint64_t frames = std::min<std::uint64_t>(pmReadLE32(header + 48), file.size() / 8);
    return capped(double(frames) * microsPerFrame / 1e6);
}

// One box header at `offset` inside [offset, end): its type and the box's end.
bool readBox(FileReader& file, std::uint64_t offset, std::uint64_t end, unsigned char type[4],
             std::uint64_t& boxEnd, std::uint64_t& bodyStart) {
    unsigned char head[16];
    if (offset + 8 > end || !file.readAt(offset, head, 8)) return false;
    std::memcpy(type, head + 4, 4);
    std::uint64_t size = pmReadBE32(head);
    bodyStart = offset + 8;
    if (size == 1) {
        if (offset + 16 > end || !file.readAt(offset + 8, head + 8, 8)) return false;
        size = pmReadBE64(head + 8);
        bodyStart = offset + 16;
    } else if (size == 0) {
        size = end - offset;
    }
    if (size < bodyStart - offset || size > end - offset) return false;
    boxEnd = offset + size;
    return true;
}

std::optional<double> movieLength(FileReader& file) {
    const std::uint64_t fileEnd = file.size();
    unsigned char type[4];
    std::uint64_t offset = 0, boxEnd = 0, body = 0;
    // Top level: find moov.
    for (;;) {
        if (!readBox(file, offset, fileEnd, type, boxEnd, body)) return std::nullopt;
        if (typeIs(type, "MOOV")) break;
        offset = boxEnd;
    }
    const std::uint64_t moovEnd = boxEnd;
    offset = body;
    for (;;) {
        if (!readBox(file, offset, moovEnd, type, boxEnd, body)) return std::nullopt;
        if (typeIs(type, "MVHD")) break;
        offset = boxEnd;
    }
    unsigned char mvhd[32];
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof mvhd, boxEnd - body));
    if (want < 20 || !file.readAt(body, mvhd, want)) return std::nullopt;
    std::uint32_t timeScale;
    std::uint64_t duration;
    if (mvhd[0] == 1) {
        if (want < 32) return std::nullopt;
        timeScale = pmReadBE32(mvhd + 20);
        duration = pmReadBE64(mvhd + 24);
    } else {
        timeScale = pmReadBE32(mvhd + 12);
        duration = pmReadBE32(mvhd + 16);
    }
    if (timeScale == 0) return std::nullopt;
    return capped(double(duration) / timeScale);
}

}  // namespace

std::optional<double> pmGetRecordingLength(const std::string& path) {
    FileReader file(path);
    if (!file.isOpen() || file.size() < 8) return std::nullopt;
    unsigned char magic[4];
    if (!file.readAt(0, magic, 4)) return std::nullopt;
    if (typeIs(magic, "RIFF")) return aviLength(file);
    return movieLength(file);
}
