#include "telemetry/AviChunkWalk.h"

#include "Utility/AsciiText.h"
#include "telemetry/NumberText.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads behind the index come through a window while the walk scans unknown data, so a long run
// of foreign bytes costs one read per window instead of one per four bytes. The window never
// overlaps itself, so each byte is read once by the scan.
class ScanWindow {
public:
    explicit ScanWindow(FileReader& file) : file_(file) {}

    bool read4(std::uint64_t position, unsigned char out[4], bool scanning) {
        if (!scanning) return file_.readAt(position, out, 4);
        if (position < start_ || position + 4 > start_ + length_) {
            if (position >= file_.size()) return false;
            const std::uint64_t left = file_.size() - position;
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof data_));
            if (want < 4 || !file_.readAt(position, data_, want)) return false;
            start_ = position;
            length_ = want;
        }
        std::memcpy(out, data_ + (position - start_), 4);
        return true;
    }

private:
    FileReader& file_;
    std::uint64_t start_ = 0;
    std::size_t length_ = 0;
    unsigned char data_[4096];
};

bool tagIs(const unsigned char tag[4], const char* name) {
    for (int i = 0; i < 4; ++i)
        if (pmToUpperAscii(static_cast<char>(tag[i])) != name[i]) return false;
    return true;
}

}  // namespace

AviWalkResult pmWalkAviChunks(FileReader& file, const char target[4]) {
    if (!file.isOpen() || file.size() == 0) return {AviWalkEnd::EmptyFile, 0};
    unsigned char tag[4];
    if (!file.readAt(0, tag, 4)) return {AviWalkEnd::EndOfFile, 0};
    if (!tagIs(tag, "RIFF")) return {AviWalkEnd::Stopped, 0};
    // The RIFF size is skipped unread.
    if (!file.readAt(8, tag, 4)) return {AviWalkEnd::EndOfFile, 0};
    if (pmToUpperAscii(static_cast<char>(tag[0])) != 'A' || pmToUpperAscii(static_cast<char>(tag[1])) != 'V' ||
        pmToUpperAscii(static_cast<char>(tag[2])) != 'I')
        return {AviWalkEnd::Stopped, 0};

    ScanWindow window(file);
    std::uint64_t position = 12;
    bool indexSeen = false;
    bool scanning = false;
    for (;;) {
        if (!window.read4(position, tag, scanning)) return {AviWalkEnd::EndOfFile, 0};
        position += 4;
        const bool index = tagIs(tag, "IDX1");
        if (tagIs(tag, "LIST") || tagIs(tag, "JUNK") || index) {
            indexSeen = indexSeen || index;
            unsigned char size[4];
            if (!window.read4(position, size, scanning)) return {AviWalkEnd::EndOfFile, 0};
            position += 4 + std::uint64_t(pmReadLE32(size));
            scanning = false;
        } else if (tagIs(tag, target)) {
            return {AviWalkEnd::Found, position};
        } else if (indexSeen) {
            scanning = true;
        } else {
            return {AviWalkEnd::Stopped, 0};
        }
    }
}

bool pmReadAviChunkPayload(FileReader& file, std::uint64_t position, std::vector<unsigned char>& payload) {
    payload.clear();
    unsigned char size[4];
    if (!file.readAt(position, size, 4)) return false;
    position += 4;
    const std::uint64_t declared = pmReadLE32(size);
    const std::uint64_t left = file.size() > position ? file.size() - position : 0;
    const auto length = static_cast<std::size_t>(std::min(declared, left));
    payload.resize(length);
    if (length == 0) return true;
    const long long got = file.readSomeAt(position, payload.data(), length);
    payload.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return true;
}
