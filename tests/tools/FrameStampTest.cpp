#include "tools/FrameStamp.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace {

FrameStamp stamp(std::string camera, int frame) {
    FrameStamp s;
    s.camera = std::move(camera);
    s.year = 2024;
    s.month = 2;
    s.day = 29;
    s.hour = 23;
    s.minute = 59;
    s.second = 58;
    s.frame = frame;
    return s;
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

std::vector<std::uint8_t> toGray(const RgbImage& image) {
    std::vector<std::uint8_t> gray(std::size_t(image.width) * std::size_t(image.height));
    for (std::size_t i = 0; i < gray.size(); ++i) {
        const std::uint8_t* p = image.pixels.data() + 3 * i;
        gray[i] = std::uint8_t((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8);
    }
    return gray;
}

// Bilinear resize, as a player or screenshot would do.
RgbImage resize(const RgbImage& in, int width, int height) {
    RgbImage out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double sx = std::max(0.0, (x + 0.5) * in.width / width - 0.5);
            const double sy = std::max(0.0, (y + 0.5) * in.height / height - 0.5);
            const int x0 = int(sx), y0 = int(sy);
            const int x1 = std::min(x0 + 1, in.width - 1), y1 = std::min(y0 + 1, in.height - 1);
            const double fx = sx - x0, fy = sy - y0;
            for (int c = 0; c < 3; ++c) {
                const double top = in.row(y0)[3 * x0 + c] * (1 - fx) + in.row(y0)[3 * x1 + c] * fx;
                const double bottom = in.row(y1)[3 * x0 + c] * (1 - fx) + in.row(y1)[3 * x1 + c] * fx;
                out.row(y)[3 * x + c] = std::uint8_t(top * (1 - fy) + bottom * fy + 0.5);
            }
        }
    return out;
}

}  // namespace

TEST(FrameStamp, ReadsBackWhatWasDrawnAtEverySizeAndFromGrayOrScaledCopies) {
    struct Case {
        int width, height;
        FrameStamp drawn;
    };
    const Case cases[] = {
        {320, 180, stamp("FRONT CAM", 0)},     {480, 270, stamp("REAR CAM", 9999)},
        {128, 72, stamp("ABCDEFGHIJKL", 1234)}, {1280, 720, stamp("MNOPQRSTUVWX", 5678)},
        {640, 360, stamp("YZ-./:#", 90)},       {333, 187, stamp("0O8B5S1I", 4321)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describeFrameStamp(c.drawn) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        const RgbImage image = busyFrame(c.width, c.height, c.drawn);
        EXPECT_EQ(readFrameStamp(ImageView::of(image)), c.drawn);

        const std::vector<std::uint8_t> gray = toGray(image);
        const ImageView grayView{gray.data(), c.width, c.height, c.width, ImageView::Format::Gray8};
        EXPECT_EQ(readFrameStamp(grayView), c.drawn);

        if (c.height >= 180 && c.height <= 360) {  // a screenshot shown larger or smaller than the video
            for (double factor : {2.0, 1.5, 0.75}) {
                const RgbImage scaled = resize(image, int(c.width * factor), int(c.height * factor));
                EXPECT_EQ(readFrameStamp(ImageView::of(scaled), c.width, c.height), c.drawn) << "scaled " << factor;
            }
        }
    }
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
    const RgbImage image = busyFrame(480, 270, drawn);
    EXPECT_FALSE(readFrameStamp(ImageView::of(image), 320, 240));
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
