#pragma once
// Builders of small but well-formed AVI and MP4/MOV files, down to the fields that probes and
// parsers read, with room for the media data left as a hole. Header-only so that tests, benchmarks
// and fuzz seed makers can all use them.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace containers {

inline std::string be16(std::uint16_t v) { return {char(v >> 8), char(v)}; }
inline std::string be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
inline std::string be64(std::uint64_t v) { return be32(std::uint32_t(v >> 32)) + be32(std::uint32_t(v)); }
inline std::string le16(std::uint16_t v) { return {char(v), char(v >> 8)}; }
inline std::string le32(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
inline std::string zeros(std::size_t n) { return std::string(n, '\0'); }

// A box with the size field given as is (0, 1 to 7 and other odd values included).
inline std::string boxWithSize(std::uint32_t size, std::string_view type, std::string_view payload) {
    return be32(size) + std::string(type) + std::string(payload);
}
// A box whose 32-bit size covers its payload.
inline std::string box(std::string_view type, std::string_view payload) {
    return boxWithSize(std::uint32_t(8 + payload.size()), type, payload);
}
// A box with size field 1 and the 64-bit size after the type.
inline std::string box64(std::string_view type, std::string_view payload, std::uint64_t largeSize = 0) {
    if (largeSize == 0) largeSize = 16 + payload.size();
    return be32(1) + std::string(type) + be64(largeSize) + std::string(payload);
}

inline std::string ftypBox(std::string_view majorBrand = "isom") {
    return box("ftyp", std::string(majorBrand) + be32(0x200) + "isomiso2avc1mp41");
}

// Version-0 movie header, 108 bytes in all: the time scale and duration are what probes read.
inline std::string mvhdBox(std::uint32_t timeScale, std::uint32_t duration) {
    return box("mvhd", zeros(12) + be32(timeScale) + be32(duration) + be32(0x10000) + be16(0x100) + zeros(74));
}

// A track whose stsd holds one sample entry of `format` (handler "vide" or "soun"), each box at its
// level among the siblings that a walk must skip; fields nothing reads are zeros.
inline std::string trakBox(std::string_view handler, std::string_view format) {
    const std::string entry = handler == "vide" ? box(format, zeros(78) + box("avcC", zeros(7))) : box(format, zeros(28));
    const std::string hdlr = box("hdlr", zeros(8) + std::string(handler) + zeros(12) + "Handler" + std::string(1, '\0'));
    const std::string stbl = box("stbl", box("stsd", zeros(4) + be32(1) + entry) + box("stts", zeros(8)) +
                                             box("stsz", zeros(12)) + box("stco", zeros(8)));
    const std::string minf = box("minf", box(handler == "vide" ? "vmhd" : "smhd", zeros(12)) + box("dinf", "") + stbl);
    return box("trak", box("tkhd", zeros(84)) + box("mdia", box("mdhd", zeros(24)) + hdlr + minf));
}

// A file image: pieces of bytes at offsets, the rest a hole up to `size`.
struct FileImage {
    std::uint64_t size = 0;
    std::vector<std::pair<std::uint64_t, std::string>> pieces;

    void append(const std::string& bytes) {
        pieces.emplace_back(size, bytes);
        size += bytes.size();
    }
    void skip(std::uint64_t holeBytes) { size += holeBytes; }
    // The whole file in memory (holes as zeros); for small images.
    std::string flat() const {
        std::string out(static_cast<std::size_t>(size), '\0');
        for (const auto& [offset, bytes] : pieces) out.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
        return out;
    }
};

// Writes the pieces and extends the file to its size; the holes stay sparse.
inline bool writeImage(const std::string& path, const FileImage& image) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (const auto& [offset, bytes] : image.pieces)
        ok = ok && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) == ssize_t(bytes.size());
    ok = ok && ::ftruncate(fd, static_cast<off_t>(image.size)) == 0;
    return ::close(fd) == 0 && ok;
}

struct Mp4Options {
    std::string majorBrand = "isom";  // "qt  " for a MOV file
    std::uint32_t timeScale = 1000;
    std::uint32_t duration = 10000;
    bool withMvhd = true;
    bool audioFirst = false;           // an audio track before the video track
    std::string videoFormat = "avc1";  // the video track's sample entry format
    bool moovFirst = false;            // moov before mdat (otherwise after it, as cameras write)
    bool withMoov = true;              // false: a recording cut short before its moov was written
    bool largeMdat = false;            // mdat with a 64-bit size
    std::uint64_t mediaBytes = 4096;   // size of mdat's payload, left as a hole
};

inline std::string moovBox(const Mp4Options& o) {
    std::string children;
    if (o.withMvhd) children += mvhdBox(o.timeScale, o.duration);
    if (o.audioFirst) children += trakBox("soun", "mp4a");
    children += trakBox("vide", o.videoFormat);
    return box("moov", children);
}

inline FileImage mp4Image(const Mp4Options& o = {}) {
    FileImage image;
    image.append(ftypBox(o.majorBrand));
    if (o.withMoov && o.moovFirst) image.append(moovBox(o));
    if (o.largeMdat) {
        image.append(be32(1) + "mdat" + be64(16 + o.mediaBytes));
    } else {
        image.append(be32(std::uint32_t(8 + o.mediaBytes)) + "mdat");
    }
    image.skip(o.mediaBytes);
    if (o.withMoov && !o.moovFirst) image.append(moovBox(o));
    return image;
}

struct AviOptions {
    std::string handler = "H264";    // the first stream's handler four-character code, and its format's
    std::uint64_t size = 64 * 1024;  // whole file; the movi data is a hole
};

// A RIFF chunk: four-character id, little-endian size, payload (padded to an even length).
inline std::string riffChunk(std::string_view id, const std::string& payload) {
    std::string out = std::string(id) + le32(std::uint32_t(payload.size())) + payload;
    if (payload.size() % 2) out.push_back('\0');
    return out;
}

// Exactly four bytes of a four-character code given as any string.
inline std::string fourCC(std::string code) {
    code.resize(4, ' ');
    return code;
}

inline FileImage aviImage(const AviOptions& o = {}) {
    const std::string avih = riffChunk("avih", le32(33333) + le32(0) + le32(0) + le32(0x10) + le32(300) + le32(0) +
                                                   le32(1) + le32(0) + le32(320) + le32(240) + zeros(16));
    const std::string strh = riffChunk("strh", "vids" + fourCC(o.handler) + zeros(12) + le32(1) + le32(30) + zeros(28));
    const std::string strf = riffChunk("strf", le32(40) + le32(320) + le32(240) + le16(1) + le16(24) + fourCC(o.handler) +
                                                   zeros(20));
    const std::string hdrl = riffChunk("LIST", "hdrl" + avih + riffChunk("LIST", "strl" + strh + strf));
    const std::uint64_t headerSize = 12 + hdrl.size() + 12;
    const std::uint64_t moviSize = o.size > headerSize ? o.size - headerSize : 0;
    FileImage image;
    image.append("RIFF" + le32(std::uint32_t(o.size > 8 ? o.size - 8 : 0)) + "AVI " + hdrl + "LIST" +
                 le32(std::uint32_t(moviSize + 4)) + "movi");
    if (o.size > image.size) image.skip(o.size - image.size);
    return image;
}

}  // namespace containers
