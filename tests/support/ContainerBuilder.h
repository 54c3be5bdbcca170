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

// Version-0 movie header: 108 bytes in all.
inline std::string mvhdBox(std::uint32_t timeScale, std::uint32_t duration) {
    std::string matrix = be32(0x10000) + zeros(12) + be32(0x10000) + zeros(12) + be32(0x40000000);
    return box("mvhd", zeros(4) + be32(0) + be32(0) + be32(timeScale) + be32(duration) + be32(0x10000) +
                           be16(0x100) + zeros(10) + matrix + zeros(24) + be32(3));
}

inline std::string avcSampleEntry(std::string_view format = "avc1", std::uint16_t width = 320,
                                  std::uint16_t height = 240) {
    const std::string avcC = box("avcC", std::string("\x01\x64\x00\x1f\xff\xe1", 6) + be16(0) + "\x01" + be16(0));
    return box(format, zeros(6) + be16(1) + zeros(16) + be16(width) + be16(height) + be32(0x480000) +
                           be32(0x480000) + zeros(4) + be16(1) + zeros(32) + be16(0x18) + be16(0xffff) + avcC);
}

inline std::string audioSampleEntry() {
    return box("mp4a", zeros(6) + be16(1) + zeros(8) + be16(2) + be16(16) + zeros(4) + be32(48000u << 16));
}

// A track whose stsd holds one sample entry; handler "vide" or "soun".
inline std::string trakBox(std::string_view handler, const std::string& sampleEntry, std::uint32_t timeScale = 1000,
                           std::uint32_t duration = 10000) {
    const std::string tkhd = box("tkhd", be32(3) + zeros(8) + be32(1) + zeros(4) + be32(duration) + zeros(52) +
                                             be32(320u << 16) + be32(240u << 16));
    const std::string mdhd = box("mdhd", zeros(12) + be32(timeScale) + be32(duration) + be16(0x55c4) + zeros(2));
    const std::string hdlr = box("hdlr", zeros(8) + std::string(handler) + zeros(12) + "Handler" + std::string(1, '\0'));
    const std::string mediaHeader = handler == "vide" ? box("vmhd", be32(1) + zeros(8)) : box("smhd", zeros(8));
    const std::string dinf = box("dinf", box("dref", zeros(4) + be32(1) + box("url ", be32(1))));
    const std::string stbl = box("stbl", box("stsd", zeros(4) + be32(1) + sampleEntry) + box("stts", zeros(8)) +
                                             box("stsc", zeros(8)) + box("stsz", zeros(12)) + box("stco", zeros(8)));
    return box("trak", tkhd + box("mdia", mdhd + hdlr + box("minf", mediaHeader + dinf + stbl)));
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
    if (o.audioFirst) children += trakBox("soun", audioSampleEntry(), o.timeScale, o.duration);
    children += trakBox("vide", avcSampleEntry(o.videoFormat), o.timeScale, o.duration);
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
    std::string handler = "H264";      // the first stream's handler four-character code
    std::string compression = "H264";  // biCompression of its format
    std::uint64_t size = 64 * 1024;    // whole file; the movi data is a hole
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
    const std::string strh = riffChunk("strh", "vids" + fourCC(o.handler) + le32(0) + le16(0) + le16(0) + le32(0) +
                                                   le32(1) + le32(30) + le32(0) + le32(300) + le32(0) +
                                                   le32(0xffffffff) + le32(0) + le16(0) + le16(0) + le16(320) +
                                                   le16(240));
    const std::string strf = riffChunk("strf", le32(40) + le32(320) + le32(240) + le16(1) + le16(24) +
                                                   fourCC(o.compression) + le32(320 * 240 * 3) + zeros(16));
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
