// Decoded, gray and scaled frames of the sample card are read in its own test; here the reader
// against drawn frames of every size and character, noise and frames that hold no stamp.
#include "tools/FrameStamp.h"

#include <gtest/gtest.h>

#include <bit>
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

TEST(FrameStamp, ReadsBackWhatWasDrawnAtEverySize) {
    for (auto [width, height, drawn] :
         {std::tuple{320, 180, stamp("FRONT CAM", 0)}, {480, 270, stamp("REAR CAM", 9999)},
          {128, 72, stamp("ABCDEFGHIJKL", 1234)}, {1280, 720, stamp("MNOPQRSTUVWX", 5678)},
          {640, 360, stamp("YZ-./:#", 90)}, {333, 187, stamp("0O8B5S1I", 4321)}})
        EXPECT_EQ(readFrameStamp(ImageView::of(busyFrame(width, height, drawn))), drawn)
            << describeFrameStamp(drawn) << " " << width << "x" << height;
}

TEST(FrameStamp, ToleratesNoiseButRejectsFramesWithoutAStamp) {
    const FrameStamp drawn = stamp("DASH CAM", 77);
    RgbImage noisy = busyFrame(320, 180, drawn);
    std::uint32_t state = 12345;
    for (std::uint8_t& v : noisy.pixels) {
        state = state * 1664525u + 1013904223u;
        v = std::uint8_t(std::clamp(int(v) + int(state >> 26) - 32, 0, 255));  // +-32
    }
    EXPECT_EQ(readFrameStamp(ImageView::of(noisy)), drawn);

    RgbImage plain(320, 180);
    plain.fill(0, 0, 320, 180, 90, 90, 90);
    EXPECT_FALSE(readFrameStamp(ImageView::of(plain)));

    RgbImage withoutCounter = busyFrame(320, 180, drawn);
    const FrameStampLayout layout = frameStampLayout(320, 180);
    withoutCounter.fill(layout.counter.x, layout.counter.y, 5 * layout.counter.scale, 7 * layout.counter.scale, 0, 0, 0);
    EXPECT_FALSE(readFrameStamp(ImageView::of(withoutCounter)));

    // Told the wrong source shape, the reader looks in the wrong places and gives up.
    EXPECT_FALSE(readFrameStamp(ImageView::of(busyFrame(480, 270, drawn)), 320, 240));
    EXPECT_FALSE(readFrameStamp(ImageView{}));
}

TEST(FrameStamp, GlyphsDifferEnoughToBeToldApart) {
    const std::string& all = frameStampCharacters();
    auto bits = [](char c) {
        std::uint64_t b = 0;
        for (int r = 0; r < 7; ++r) b = b << 5 | (frameStampGlyph(c)[r] & 0x1F);
        return b;
    };
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j)
            EXPECT_GE(std::popcount(bits(all[i]) ^ bits(all[j])), 3) << all[i] << " and " << all[j];
    EXPECT_EQ(frameStampGlyph('a'), nullptr);
}
