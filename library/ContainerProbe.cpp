#include "library/ContainerProbe.h"

#include "Utility/AsciiText.h"
#include "Utility/DiagnosticLog.h"
#include "Utility/FileReader.h"
#include "library/RecordingName.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

constexpr std::uint64_t kAviHandlerOffset = 112;
constexpr std::size_t kAviHandlerLength = 4;
// A movie file must be larger than this to be looked at.
constexpr std::uint64_t kMovMinimumSize = 2048;
constexpr double kMovMinimumDurationRatio = 0.2;
// From the end of mvhd's duration field to the end of a version-0 mvhd box.
constexpr std::int64_t kMvhdRestAfterDuration = 80;

bool sameTypeIgnoringCase(const unsigned char* type, std::string_view upper) {
    for (std::size_t i = 0; i < 4; ++i)
        if (pmToUpperAscii(static_cast<char>(type[i])) != upper[i]) return false;
    return true;
}

// The pending skip past a box whose 8-byte header has just been read at `position` - 8. Sizes are
// signed 32-bit values, so a size with the top bit set reads as negative; of a 64-bit size only the
// low 32 bits count. False when the file gives no such skip.
bool skipOfBox(ProbeBytes& file, const unsigned char* header, std::uint64_t& position, std::int64_t& skip) {
    const auto size = static_cast<std::int32_t>(pmReadBE32(header));
    if (size != 1) {
        skip = std::int64_t(size) - 8;
        return true;
    }
    unsigned char largeSize[8];
    if (!file.readAt(position, largeSize, sizeof largeSize)) return false;
    position += sizeof largeSize;
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(pmReadBE64(largeSize)));
    if (low == 0) return false;
    skip = std::int64_t(low) - 16;
    return true;
}

}  // namespace

std::uint64_t BufferedProbeBytes::size() const { return file_.size(); }

bool BufferedProbeBytes::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    if (length > kWindow) return file_.readAt(offset, buffer, length);
    const bool held = offset >= bytesStart_ && offset - bytesStart_ <= bytesLength_ &&
                      length <= bytesLength_ - (offset - bytesStart_);
    if (!held) {
        // No further than the end the file had when opened, so that one call fills the buffer.
        const std::uint64_t left = offset < file_.size() ? file_.size() - offset : 0;
        const std::size_t wanted = std::max<std::size_t>(length, std::min<std::uint64_t>(window_, left));
        const long long got = file_.readSomeAt(offset, bytes_, wanted);
        bytesStart_ = offset;
        bytesLength_ = got < 0 ? 0 : static_cast<std::size_t>(got);
        if (length > bytesLength_) return false;
    }
    std::memcpy(buffer, bytes_ + (offset - bytesStart_), length);
    return true;
}

bool pmIsAviCodecReady(const std::string& path) {
    FileReader file(path);
    return pmIsAviCodecReady(file);
}

bool pmIsMovCodecReady(const std::string& path) {
    FileReader file(path);
    return pmIsMovCodecReady(file, path);
}

bool pmIsAviCodecReady(FileReader& file) {
    if (!file.isOpen()) return false;
    BufferedProbeBytes bytes(file, kAviHandlerLength);
    return pmIsAviCodecReady(bytes);
}

bool pmIsMovCodecReady(FileReader& file, const std::string& path) {
    if (!file.isOpen()) return false;
    BufferedProbeBytes bytes(file);
    return pmIsMovCodecReady(bytes, path);
}

bool pmHasContainerSignature(FileReader& file, std::int32_t videoType) {
    unsigned char head[12];
    if (!file.isOpen() || !file.readAt(0, head, sizeof head)) return false;
    if (videoType == kVideoFileAvi) return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "AVI ", 4) == 0;
    return (videoType == kVideoFileMov || videoType == kVideoFileMp4) && sameTypeIgnoringCase(head + 4, "FTYP");
}

bool pmIsAviCodecReady(ProbeBytes& file) {
    if (file.size() == 0) return false;
    unsigned char handler[kAviHandlerLength];
    if (!file.readAt(kAviHandlerOffset, handler, sizeof handler)) return false;
    const bool h264 = (handler[0] == 'H' || handler[0] == 'h') && handler[1] == '2' && handler[2] == '6' &&
                      handler[3] == '4';
    return h264 || sameTypeIgnoringCase(handler, "MJPG");
}

bool pmIsMovCodecReady(ProbeBytes& file, const std::string& path) {
    const std::uint64_t fileSize = file.size();
    if (fileSize <= kMovMinimumSize) return false;

    unsigned char header[8];
    if (!file.readAt(0, header, sizeof header) || !sameTypeIgnoringCase(header + 4, "FTYP")) return false;
    std::uint64_t position = sizeof header;
    std::int64_t skip = 0;
    if (!skipOfBox(file, header, position, skip)) return false;

    // One box per level, descending only: top level, moov, the first trak, mdia, minf, stbl.
    int level = 1;
    for (;;) {
        if (skip < 0 || static_cast<std::uint64_t>(skip) > fileSize) return false;
        position += static_cast<std::uint64_t>(skip);
        skip = 0;
        if (!file.readAt(position, header, sizeof header)) return false;
        position += sizeof header;
        const unsigned char* type = header + 4;

        if (level == 1 && sameTypeIgnoringCase(type, "MOOV")) {
            level = 2;
        } else if (level == 2 && sameTypeIgnoringCase(type, "MVHD")) {
            // Version, flags, creation and modification times, then time scale and duration.
            unsigned char fields[8];
            if (!file.readAt(position + 12, fields, sizeof fields)) return false;
            position += 12 + sizeof fields;
            const std::uint64_t timeScale = pmReadBE32(fields);
            const std::uint64_t duration = pmReadBE32(fields + 4);
            // Both differences wrap in unsigned arithmetic: a time scale below 8 makes the ratio
            // tiny, a duration below 8 makes it huge. A time scale of 8 divides by zero (IEEE).
            const double ratio = static_cast<double>(duration - 8) / static_cast<double>(timeScale - 8);
            if (ratio < kMovMinimumDurationRatio) {
                pmOutputDebugMsgF("pmIsMovCodecReady() - Duration is too short, filter out it - %s", path.c_str());
                return false;
            }
            skip = kMvhdRestAfterDuration;
        } else if (level == 2 && sameTypeIgnoringCase(type, "TRAK")) {
            level = 3;
        } else if (level == 3 && sameTypeIgnoringCase(type, "MDIA")) {
            level = 4;
        } else if (level == 4 && sameTypeIgnoringCase(type, "MINF")) {
            level = 5;
        } else if (level == 5 && sameTypeIgnoringCase(type, "STBL")) {
            level = 6;
        } else if (level == 6 && sameTypeIgnoringCase(type, "STSD")) {
            // Version, flags and entry count, then the first sample entry's size and format.
            unsigned char entry[8];
            if (!file.readAt(position + 8, entry, sizeof entry)) return false;
            return sameTypeIgnoringCase(entry + 4, "AVC1");
        } else if (!skipOfBox(file, header, position, skip)) {
            return false;
        }
    }
}
