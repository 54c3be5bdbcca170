#include "VideoFrames.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

// Every decoded frame names its own number and second, whatever the codec and container, and so
// does a copy of it shown at another size.
TEST(FrameStampDecode, EveryFrameOfH264AndMotionJpegRecordingsTellsItsNumberAndSecond) {
    for (const char* name : {"FILE0001F.MP4", "EVEN0101.AVI", "MOVI0001.AVI", "PARK0001.MOV"}) {
        const SampleEntry& e = sampleCardEntry(name);
        SCOPED_TRACE(e.relativePath());
        int frames = 0, mismatches = 0;
        const bool decoded = decodeVideo(sampleCardPath(e), [&](const AVFrame& frame, int index) {
            ++frames;
            const FrameStamp expected = sampleFrameStamp(e, sampleCardTestOptions().firstDay, index);
            const std::optional<FrameStamp> shown = readFrameStamp(lumaView(frame));
            if (shown != expected) {
                ADD_FAILURE() << "frame " << index << " shows " << (shown ? describeFrameStamp(*shown) : "nothing")
                              << ", expected " << describeFrameStamp(expected);
                return ++mismatches < 3;
            }
            if (index % 37 == 0) {
                for (double factor : {1.5, 0.75}) {
                    const int w = int(frame.width * factor), h = int(frame.height * factor);
                    const RgbImage scaled = scaledRgb(frame, w, h);
                    EXPECT_EQ(readFrameStamp(ImageView::of(scaled), frame.width, frame.height), expected)
                        << "frame " << index << " at " << w << "x" << h;
                }
            }
            return true;
        });
        EXPECT_TRUE(decoded);
        EXPECT_EQ(frames, e.frameCount());
    }
}
