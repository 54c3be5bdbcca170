// Decoded gray frames are read in the sample card's test (through real compression, where glyphs
// too alike would be confused) and scaled ones in the player's and the window's; here the reader
// against drawn frames of every size and character.
#include "tools/FrameStamp.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

FrameStamp stamp(std::string camera, int frame) {
    return {.camera = std::move(camera), .year = 2024, .month = 2, .day = 29, .hour = 23, .minute = 59, .second = 58,
            .frame = frame};
}

// A busy background, so that the reader must rely on the stamp's boxes and not on a plain frame.
RgbImage busyFrame(int width, int height, const FrameStamp& s) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.row(y) + 3 * x;
            p[0] = std::uint8_t(x * 7 + y * 3);
            p[1] = std::uint8_t((x ^ y) * 5);
            p[2] = std::uint8_t(200 - y);
        }
    drawFrameStamp(image, s);
    return image;
}

}  // namespace

TEST(FrameStamp, ReadsBackWhatWasDrawnAtEverySizeAndThroughNoiseButNothingWhereNoStampIs) {
    for (auto [width, height, drawn] :
         {std::tuple{320, 180, stamp("FRONT CAM", 0)}, {480, 270, stamp("REAR CAM", 9999)},
          {128, 72, stamp("ABCDEFGHIJKL", 1234)}, {1280, 720, stamp("MNOPQRSTUVWX", 5678)},
          {640, 360, stamp("YZ-./:#", 90)}, {333, 187, stamp("0O8B5S1I", 4321)}})
        EXPECT_EQ(readFrameStamp(ImageView::of(busyFrame(width, height, drawn))), drawn)
            << describeFrameStamp(drawn) << " " << width << "x" << height;

    const FrameStamp drawn = stamp("DASH CAM", 77);
    RgbImage noisy = busyFrame(320, 180, drawn);
    std::uint32_t state = 12345;
    for (std::uint8_t& v : noisy.pixels) {
        state = state * 1664525u + 1013904223u;
        v = std::uint8_t(std::clamp(int(v) + int(state >> 26) - 32, 0, 255));  // +-32
    }
    EXPECT_EQ(readFrameStamp(ImageView::of(noisy)), drawn);

    EXPECT_FALSE(readFrameStamp(ImageView::of(RgbImage(320, 180))));  // all black

    RgbImage withoutCounter = busyFrame(320, 180, drawn);
    const FrameStampLayout layout = frameStampLayout(320, 180);
    withoutCounter.fill(layout.counter.x, layout.counter.y, 5 * layout.counter.scale, 7 * layout.counter.scale, 0, 0, 0);
    EXPECT_FALSE(readFrameStamp(ImageView::of(withoutCounter)));

    // Told the wrong source shape, the reader looks in the wrong places and gives up.
    EXPECT_FALSE(readFrameStamp(ImageView::of(busyFrame(480, 270, drawn)), 320, 240));
    EXPECT_FALSE(readFrameStamp(ImageView{}));
    EXPECT_EQ(frameStampGlyph('a'), nullptr);  // drawn as a blank
}
