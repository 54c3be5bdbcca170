// The clip of an evidence package as a viewer sees it: decoded by the ffmpeg program, its frame
// stamps read back, its band matched against candidates drawn by the band's own painter.
#include "evidence/EvidenceBand.h"
#include "evidence/EvidenceMediaMaker.h"
#include "support/QtWait.h"
#include "support/RunCommand.h"
#include "support/TempHome.h"
#include "telemetry/TelemetryLoader.h"
#include "tests/evidence/EvidenceTestMedia.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cmath>
#include <memory>

namespace {

struct OffscreenPlatform {
    OffscreenPlatform() { qputenv("QT_QPA_PLATFORM", "offscreen"); }
};

class EvidenceClipTest : public ::testing::Test {
protected:
    // Makes the clip of `front` (and `rear`) over [start, end) with the moment `moment`, the band
    // telling the front recording's telemetry.
    EvidenceMedia::ClipOutcome makeClip(const std::string& front, const std::string& rear, double start, double end,
                                        int moment) {
        load = pmLoadTelemetryFromFile(front, list, &times);
        clock = pmEvidenceClock(times, FileDate{});
        EvidenceMedia::Clip clip;
        clip.front = front;
        clip.rear = rear;
        clip.output = home.path() + "/clip.mp4";
        clip.span = {start, end};
        clip.moment = moment;
        clip.bandText = [this, moment](int second) { return pmEvidenceBandText(list, second, clock, moment, 0); };
        return maker.writeClip(clip, [](double) { return true; });
    }
    // Frame n of the clip, decoded by ffmpeg, as RGB24.
    RgbImage frame(int n) const {
        RgbImage image(int(ffprobeNumber(clipPath(), "v:0", "stream=width")),
                       int(ffprobeNumber(clipPath(), "v:0", "stream=height")));
        const CommandResult r = runCommand({"ffmpeg", "-v", "error", "-i", clipPath(), "-vf",
                                            "select=eq(n\\," + std::to_string(n) + ")", "-vsync", "0", "-frames:v",
                                            "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        EXPECT_EQ(r.out.size(), image.pixels.size()) << r.err;
        std::copy_n(r.out.begin(), std::min(r.out.size(), image.pixels.size()), image.pixels.begin());
        return image;
    }
    std::string clipPath() const { return home.path() + "/clip.mp4"; }
    std::string mediaPath(const SampleEntry& entry) const { return evidenceTestMedia() + "/" + entry.relativePath(); }

    OffscreenPlatform platform;
    QGuiApplication application{qtArgc(), qtArgv()};
    TempHome home;
    EvidenceMediaMaker maker;
    GpsList list;
    std::vector<std::int64_t> times;
    TelemetryLoad load;
    EvidenceClock clock;
};

// Front frames are the span's frames; each rear frame is the latest one at or before the front's
// media time, as the window's rear lock shows them; the report's frames come from the seconds
// around the moment.
TEST_F(EvidenceClipTest, BothCamerasFrameStampsShowTheSpansSecondsAndTheRearFollowsTheFront) {
    const SampleEntry& front = evidenceFrontEntry();
    const SampleEntry& rear = evidenceRearEntry();
    ASSERT_TRUE(makeClip(mediaPath(front), mediaPath(rear), 1.5, 5.0, 3).ok);
    EXPECT_NEAR(ffprobeNumber(clipPath(), "v:0", "format=duration"), 3.5, 0.1);
    const EvidenceBandPainter painter(0);
    const ClipLayout layout = pmClipLayout(1280, 544, 640, 360, [&](int width) { return painter.height(width); });
    ASSERT_EQ(layout.width, 1280);
    ASSERT_EQ(layout.pictureHeight, 544);
    for (int n : {0, 17, 34}) {
        const double time = 1.5 + n / 10.0;
        const RgbImage image = frame(n);
        const ImageView picture{image.pixels.data(), image.width, layout.pictureHeight, image.width * 3,
                                ImageView::Format::Rgb24};
        EXPECT_EQ(readFrameStamp(picture, 1280, 544), sampleFrameStamp(front, {}, int(std::lround(time * 10))))
            << "front, clip frame " << n;
        const ImageView inset{image.row(layout.insetY) + layout.insetX * 3, layout.insetWidth, layout.insetHeight,
                              image.width * 3, ImageView::Format::Rgb24};
        EXPECT_EQ(readFrameStamp(inset, 640, 360), sampleFrameStamp(rear, {}, int(std::floor(time * 15 + 1e-6))))
            << "rear, clip frame " << n;
    }
    ASSERT_EQ(maker.stills().size(), 3u);
    for (const ClipStill& still : maker.stills()) {
        const QImage& shot = still.front;
        const ImageView view{shot.constBits(), shot.width(), shot.height(), int(shot.bytesPerLine()), ImageView::Format::Rgb24};
        EXPECT_EQ(readFrameStamp(view, 1280, 544), sampleFrameStamp(front, {}, still.second * 10)) << still.second;
        EXPECT_FALSE(still.rear.isNull()) << still.second;
    }
}

// The speed burned in during the moment's second is the telemetry's: of candidate speeds drawn by
// the band's painter, it matches the decoded band best. The red mark shows during that second only.
TEST_F(EvidenceClipTest, TheBandShowsTheMomentsSpeedAndItsMark) {
    ASSERT_TRUE(makeClip(mediaPath(evidenceFrontEntry()), "", 1.5, 5.0, 3).ok);
    const EvidenceBandPainter painter(0);
    const int bandHeight = (painter.height(1280) + 1) / 2 * 2;
    auto difference = [&](const RgbImage& image, const QImage& band) {
        const QImage rgb = band.convertToFormat(QImage::Format_RGB888);
        double sum = 0;
        for (int y = 0; y < bandHeight; ++y)
            for (int x = 0; x < 1280 * 3; ++x) sum += std::abs(int(image.row(544 + y)[x]) - int(rgb.constScanLine(y)[x]));
        return sum / (bandHeight * 1280.0 * 3);
    };
    const RgbImage moment = frame(20);  // 3.5 s
    const EvidenceBandText shown = pmEvidenceBandText(list, 3, clock, 3, 0);
    // The mark's place: where the band drawn with it differs from the band drawn without.
    EvidenceBandText unmarked = shown;
    unmarked.mark = false;
    const QImage marked = painter.draw(shown, 1280, bandHeight), plain = painter.draw(unmarked, 1280, bandHeight);
    auto redMarkPixels = [&](const RgbImage& image) {
        int count = 0;
        for (int y = 0; y < bandHeight; ++y)
            for (int x = 0; x < 1280; ++x) {
                const std::uint8_t* p = image.row(544 + y) + 3 * x;
                count += marked.pixel(x, y) != plain.pixel(x, y) && p[0] > 150 && p[1] < 90 && p[2] < 90;
            }
        return count;
    };
    const int speed = std::stoi(shown.speed);
    const double best = difference(moment, marked);
    for (int other : {speed - 2, speed - 1, speed + 1, speed + 2}) {
        EvidenceBandText candidate = shown;
        candidate.speed = std::to_string(other) + " km/h";
        EXPECT_GT(difference(moment, painter.draw(candidate, 1280, bandHeight)), best) << other << " against " << speed;
    }
    EXPECT_GT(redMarkPixels(moment), 100);
    EXPECT_EQ(redMarkPixels(frame(5)), 0);  // 2.0 s
}

// Sound survives: PCM (which MP4 cannot hold) becomes AAC, AAC is copied; both last the span.
TEST_F(EvidenceClipTest, SoundIsKeptOverTheSpan) {
    for (const char* recording : {kEvidencePcmRecording, kEvidenceAacRecording}) {
        const EvidenceMedia::ClipOutcome outcome = makeClip(evidenceTestMedia() + "/" + recording, "", 1.0, 4.0, 2);
        ASSERT_TRUE(outcome.ok) << recording << ": " << outcome.error;
        EXPECT_TRUE(outcome.audio) << recording;
        const CommandResult codec = runCommand({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                                                "stream=codec_name", "-of", "default=nw=1:nk=1", clipPath()});
        EXPECT_EQ(codec.out, "aac\n") << recording;
        EXPECT_NEAR(ffprobeNumber(clipPath(), "a:0", "stream=duration"), 3.0, 0.1) << recording;
        const CommandResult volume =
            runCommand({"ffmpeg", "-v", "info", "-i", clipPath(), "-af", "volumedetect", "-f", "null", "-"});
        const std::size_t at = volume.err.find("mean_volume: ");
        ASSERT_NE(at, std::string::npos) << recording;
        EXPECT_GT(std::stod(volume.err.substr(at + 13)), -30.0) << recording << ": the tone is heard";
    }
}

}  // namespace
