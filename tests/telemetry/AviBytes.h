#pragma once
// Builds small AVI files byte by byte for the telemetry tests: a RIFF header, a header list, a
// movie list, an index and whatever chunks a test appends behind it.
#include <cstdint>
#include <string>
#include <vector>

namespace avibytes {

inline void le32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}
inline void be32(std::string& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}
inline void be16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

inline std::string chunk(const std::string& tag, const std::string& payload) {
    std::string out = tag;
    le32(out, static_cast<std::uint32_t>(payload.size()));
    return out + payload;
}

// A chunk whose size field says `declared` whatever the payload holds.
inline std::string chunkWithSize(const std::string& tag, std::uint32_t declared, const std::string& payload) {
    std::string out = tag;
    le32(out, declared);
    return out + payload;
}

// Position record: whole degrees and a fraction in 1e-8 degrees per coordinate, speed in km/h.
inline std::string slltRecord(std::int16_t lonWhole, std::uint32_t lonFraction, std::int16_t latWhole,
                              std::uint32_t latFraction, std::uint16_t speed) {
    std::string r(5, '\x11');
    be16(r, static_cast<std::uint16_t>(lonWhole));
    be32(r, lonFraction);
    be16(r, static_cast<std::uint16_t>(latWhole));
    be32(r, latFraction);
    r += std::string(2, '\x22');
    be16(r, speed);
    r += std::string(7, '\x33');
    return r;
}

// G-sensor record: per axis a sign byte and a fraction in 1e-5 g.
inline std::string sgltRecord(std::uint8_t xs, std::uint32_t xf, std::uint8_t ys, std::uint32_t yf, std::uint8_t zs,
                              std::uint32_t zf) {
    std::string r(5, '\x44');
    r += static_cast<char>(xs);
    be32(r, xf);
    r += static_cast<char>(ys);
    be32(r, yf);
    r += static_cast<char>(zs);
    be32(r, zf);
    return r;
}

// RIFF AVI with hdrl (an avih of the given frames and frame time), a JUNK chunk, a movi list of
// `movieBytes` and an idx1 of `indexBytes`, followed by `tail`.
inline std::string avi(const std::string& tail, std::uint32_t frames = 30, std::uint32_t microsPerFrame = 1000000,
                       std::size_t movieBytes = 64, std::size_t indexBytes = 32, const std::string& indexTag = "idx1") {
    std::string avih(56, '\0');
    std::string header;
    le32(header, microsPerFrame);
    avih.replace(0, 4, header);
    header.clear();
    le32(header, frames);
    avih.replace(16, 4, header);
    std::string body = "AVI " + chunk("LIST", "hdrl" + chunk("avih", avih)) + chunk("JUNK", std::string(12, '\0')) +
                       chunk("LIST", "movi" + std::string(movieBytes, 'M')) +
                       chunk(indexTag, std::string(indexBytes, 'I')) + tail;
    std::string out = "RIFF";
    le32(out, static_cast<std::uint32_t>(body.size()));
    return out + body;
}

}  // namespace avibytes
