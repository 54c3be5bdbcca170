#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What every frame of a sample recording shows: the camera's name, the camera clock (date and time
// of this second of the recording) and a running frame counter in large digits. It is drawn with a
// built-in 5x7 dot font, white on black boxes, so that it can be read back from a decoded frame by
// template matching (a captured or scaled frame included).
struct FrameStamp {
    std::string camera;  // 1 to kFrameStampCameraChars characters of the font, upper case, not blank
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int frame = 0;  // 0 to 9999

    bool operator==(const FrameStamp&) const = default;
};

inline constexpr int kFrameStampCameraChars = 12;
inline constexpr int kFrameStampCounterDigits = 4;

// A packed RGB24 picture owned by the caller (stride = width * 3).
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h) * 3, 0) {}
    std::uint8_t* row(int y) { return pixels.data() + std::size_t(y) * std::size_t(width) * 3; }
    const std::uint8_t* row(int y) const { return pixels.data() + std::size_t(y) * std::size_t(width) * 3; }
    // Fills a rectangle, clipped to the picture.
    void fill(int x, int y, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};

// A view on someone else's pixels: 8-bit gray (a decoder's luma plane) or packed RGB24.
struct ImageView {
    enum class Format { Gray8, Rgb24 };
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes from one row to the next
    Format format = Format::Rgb24;

    static ImageView of(const RgbImage& image) {
        return {image.pixels.data(), image.width, image.height, image.width * 3, Format::Rgb24};
    }
};

// Draws the stamp into the frame. Characters outside the font are drawn as blanks.
void drawFrameStamp(RgbImage& image, const FrameStamp& stamp);

// Reads the stamp back. sourceWidth/sourceHeight give the size of the frame the stamp was drawn
// into when the image is a scaled copy of it (0: the image's own size). Nothing is returned when
// the stamp cannot be read with confidence (no contrast, a digit that matches nothing well, a date
// or time out of range).
std::optional<FrameStamp> readFrameStamp(const ImageView& image, int sourceWidth = 0, int sourceHeight = 0);

// The stamp as one line of text, e.g. "FRONT CAM 2024/02/27 08:00:05 #0125", for messages.
std::string describeFrameStamp(const FrameStamp& stamp);

// Where the stamp's parts lie in a frame of the given size: the camera line, the clock line and the
// counter, each a row of character cells of `scale` pixels per dot (5x7 dots, 6 dots apart).
struct FrameStampLayout {
    struct Line {
        int x = 0;  // top-left dot of the first character
        int y = 0;
        int scale = 1;
        int chars = 0;
    };
    Line camera;
    Line clock;
    Line counter;
};
FrameStampLayout frameStampLayout(int width, int height);

// The built-in font: 7 rows of 5 bits (bit 4 is the leftmost dot) for a character, or null when the
// font has no glyph for it. It covers A-Z, 0-9, blank, '/', ':', '-', '.' and '#'.
const std::uint8_t* frameStampGlyph(char c);
// Every character the font covers, in a fixed order.
const std::string& frameStampCharacters();
