#include "tools/FrameStamp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>

namespace {

struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};

// 5x7 dots; the zero carries a stroke so that it stays apart from the letter O.
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}}, {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};

constexpr int kDotsWide = 5;
constexpr int kDotsHigh = 7;
constexpr int kAdvance = 6;  // dots from one character to the next
constexpr int kClockChars = 19;  // "YYYY/MM/DD HH:MM:SS"
constexpr int kMinContrast = 64;
// More differing dots than this and a cell is not taken for the glyph (a glyph has 35 dots).
constexpr int kMaxMismatch = 5;

using Bits = std::uint64_t;  // 35 dots, row by row

Bits glyphBits(const std::uint8_t* rows) {
    Bits bits = 0;
    for (int r = 0; r < kDotsHigh; ++r) bits = bits << kDotsWide | (rows[r] & 0x1F);
    return bits;
}

std::string clockText(const FrameStamp& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", s.year % 10000, s.month % 100, s.day % 100,
                  s.hour % 100, s.minute % 100, s.second % 100);
    return text;
}

std::string counterText(int frame) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", std::clamp(frame, 0, 9999));
    return text;
}

void drawLine(RgbImage& image, const FrameStampLayout::Line& line, const std::string& text) {
    const int s = line.scale;
    image.fill(line.x - s, line.y - s, line.chars * kAdvance * s + s, (kDotsHigh + 2) * s, 0, 0, 0);
    for (int i = 0; i < line.chars && i < int(text.size()); ++i) {
        const std::uint8_t* rows = frameStampGlyph(text[std::size_t(i)]);
        if (!rows) continue;
        for (int r = 0; r < kDotsHigh; ++r)
            for (int c = 0; c < kDotsWide; ++c)
                if (rows[r] >> (kDotsWide - 1 - c) & 1)
                    image.fill(line.x + (i * kAdvance + c) * s, line.y + r * s, s, s, 255, 255, 255);
    }
}

// Reads the dots of one line from an image that may be a scaled copy of the frame.
class LineReader {
public:
    LineReader(const ImageView& image, double fx, double fy) : image_(image), fx_(fx), fy_(fy) {}

    // Samples every dot of every cell; false when the line lies outside the image or lacks contrast.
    bool sample(const FrameStampLayout::Line& line) {
        values_.assign(std::size_t(line.chars) * kDotsWide * kDotsHigh, 0);
        int lo = 255, hi = 0;
        for (int i = 0; i < line.chars; ++i)
            for (int r = 0; r < kDotsHigh; ++r)
                for (int c = 0; c < kDotsWide; ++c) {
                    const int v = dot(line.x + (i * kAdvance + c) * line.scale, line.y + r * line.scale, line.scale);
                    if (v < 0) return false;
                    values_[index(i, r, c)] = std::uint8_t(v);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
        if (hi - lo < kMinContrast) return false;
        threshold_ = (lo + hi) / 2;
        return true;
    }

    // The best glyph among `candidates` for cell i, or 0 when none matches well.
    char match(int i, const std::string& candidates) const {
        Bits bits = 0;
        for (int r = 0; r < kDotsHigh; ++r)
            for (int c = 0; c < kDotsWide; ++c) bits = bits << 1 | (values_[index(i, r, c)] > threshold_ ? 1 : 0);
        char best = 0;
        int bestDistance = kMaxMismatch + 1;
        for (char c : candidates) {
            const int distance = std::popcount(bits ^ glyphBits(frameStampGlyph(c)));
            if (distance < bestDistance) {
                bestDistance = distance;
                best = c;
            }
        }
        return best;
    }

private:
    std::size_t index(int i, int r, int c) const {
        return (std::size_t(i) * kDotsHigh + std::size_t(r)) * kDotsWide + std::size_t(c);
    }

    // Mean brightness of the middle of a dot (its edges blur in a compressed frame); -1 outside.
    int dot(int x, int y, int scale) const {
        const double x0 = (x + 0.25 * scale) * fx_, x1 = (x + 0.75 * scale) * fx_;
        const double y0 = (y + 0.25 * scale) * fy_, y1 = (y + 0.75 * scale) * fy_;
        const int px0 = int(std::floor(x0)), py0 = int(std::floor(y0));
        const int px1 = std::max(px0, int(std::ceil(x1)) - 1), py1 = std::max(py0, int(std::ceil(y1)) - 1);
        if (px0 < 0 || py0 < 0 || px1 >= image_.width || py1 >= image_.height) return -1;
        long sum = 0, count = 0;
        for (int py = py0; py <= py1; ++py) {
            const std::uint8_t* row = image_.data + std::size_t(py) * std::size_t(image_.stride);
            for (int px = px0; px <= px1; ++px) {
                if (image_.format == ImageView::Format::Gray8) {
                    sum += row[px];
                } else {
                    const std::uint8_t* p = row + std::size_t(px) * 3;
                    sum += (77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8;
                }
                ++count;
            }
        }
        return int(sum / count);
    }

    const ImageView& image_;
    double fx_;
    double fy_;
    std::vector<std::uint8_t> values_;
    int threshold_ = 128;
};

const std::string kDigits = "0123456789";

bool readNumber(const LineReader& reader, int first, int count, int& value) {
    value = 0;
    for (int i = first; i < first + count; ++i) {
        const char c = reader.match(i, kDigits);
        if (!c) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

void RgbImage::fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, width), y1 = std::min(y + h, height);
    for (int py = y0; py < y1; ++py) {
        std::uint8_t* p = row(py) + std::size_t(x0) * 3;
        for (int px = x0; px < x1; ++px, p += 3) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    }
}

const std::uint8_t* frameStampGlyph(char c) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.c == c) return glyph.rows.data();
    return nullptr;
}

const std::string& frameStampCharacters() {
    static const std::string all = [] {
        std::string s;
        for (const Glyph& glyph : kGlyphs) s += glyph.c;
        return s;
    }();
    return all;
}

FrameStampLayout frameStampLayout(int width, int height) {
    const int s = std::max(1, height / 90);   // the two text lines
    const int b = std::max(1, height / 30);   // the counter
    const int margin = 2 * s;
    FrameStampLayout layout;
    layout.camera = {margin + s, margin + s, s, kFrameStampCameraChars};
    layout.clock = {margin + s, layout.camera.y + (kDotsHigh + 3) * s, s, kClockChars};
    layout.counter = {width - margin - kFrameStampCounterDigits * kAdvance * b, height - margin - (kDotsHigh + 1) * b, b,
                      kFrameStampCounterDigits};
    return layout;
}

void drawFrameStamp(RgbImage& image, const FrameStamp& stamp) {
    const FrameStampLayout layout = frameStampLayout(image.width, image.height);
    drawLine(image, layout.camera, stamp.camera);
    drawLine(image, layout.clock, clockText(stamp));
    drawLine(image, layout.counter, counterText(stamp.frame));
}

std::optional<FrameStamp> readFrameStamp(const ImageView& image, int sourceWidth, int sourceHeight) {
    if (!image.data || image.width <= 0 || image.height <= 0) return std::nullopt;
    if (sourceWidth <= 0 || sourceHeight <= 0) {
        sourceWidth = image.width;
        sourceHeight = image.height;
    }
    const FrameStampLayout layout = frameStampLayout(sourceWidth, sourceHeight);
    LineReader reader(image, double(image.width) / sourceWidth, double(image.height) / sourceHeight);
    FrameStamp stamp;

    if (!reader.sample(layout.counter) || !readNumber(reader, 0, kFrameStampCounterDigits, stamp.frame))
        return std::nullopt;

    if (!reader.sample(layout.clock)) return std::nullopt;
    if (!readNumber(reader, 0, 4, stamp.year) || !readNumber(reader, 5, 2, stamp.month) ||
        !readNumber(reader, 8, 2, stamp.day) || !readNumber(reader, 11, 2, stamp.hour) ||
        !readNumber(reader, 14, 2, stamp.minute) || !readNumber(reader, 17, 2, stamp.second))
        return std::nullopt;
    if (stamp.month < 1 || stamp.month > 12 || stamp.day < 1 || stamp.day > 31 || stamp.hour > 23 ||
        stamp.minute > 59 || stamp.second > 60)
        return std::nullopt;

    if (!reader.sample(layout.camera)) return std::nullopt;
    for (int i = 0; i < kFrameStampCameraChars; ++i) {
        const char c = reader.match(i, frameStampCharacters());
        if (!c) return std::nullopt;
        stamp.camera += c;
    }
    while (!stamp.camera.empty() && stamp.camera.back() == ' ') stamp.camera.pop_back();
    return stamp;
}

std::string describeFrameStamp(const FrameStamp& stamp) {
    return stamp.camera + " " + clockText(stamp) + " #" + counterText(stamp.frame);
}
