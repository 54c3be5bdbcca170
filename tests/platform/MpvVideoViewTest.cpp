#include "platform/MpvVideoView.h"

#include "platform/MpvMoviePlayer.h"
#include "platform/VideoFramePacer.h"
#include "support/GraphicsDrivers.h"
#include "support/MovieStamp.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <clocale>
#include <cstdlib>
#include <memory>

namespace {

// The frame number in the picture area of a screenshot of the view, scaled from a frame of
// sourceWidth x sourceHeight; -1 when it cannot be read.
int frameInScreenshot(const QString& path, const QRect& picture, int sourceWidth, int sourceHeight) {
    const QImage image = QImage(path).copy(picture).convertToFormat(QImage::Format_Grayscale8);
    if (image.isNull()) return -1;
    const ImageView view{image.constBits(), image.width(), image.height(), int(image.bytesPerLine()),
                         ImageView::Format::Gray8};
    const auto stamp = readFrameStamp(view, sourceWidth, sourceHeight);
    return stamp ? stamp->frame : -1;
}

// One application object per test, with the C numeric locale that libmpv needs.
std::unique_ptr<QApplication> makeApplication() {
    auto application = std::make_unique<QApplication>(qtArgc(), qtArgv());
    std::setlocale(LC_NUMERIC, "C");
    return application;
}

class MpvVideoViewTest : public ::testing::TestWithParam<VideoRenderPath> {};

}  // namespace

TEST_P(MpvVideoViewTest, ShowsTheFrameOfTheCurrentTimeWithTheFillAround) {
    const auto application = makeApplication();
    const bool software = GetParam() == VideoRenderPath::Software;
    auto player = std::make_unique<MpvMoviePlayer>(MpvMoviePlayer::Options{"libmpv", "null"});
    ASSERT_TRUE(player->isValid());
    // A 16:9 movie in a 4:3 view: 640 x 360 in the middle, 60 pixels of fill above and below.
    VideoFramePacer pacer;
    std::unique_ptr<MpvVideoView> view(createMpvVideoView(GetParam(), pacer));
    QWidget& widget = *view->widget();
    widget.resize(640, 480);
    view->setFillColor(QColor(55, 55, 55));
    view->setPlayer(player.get());
    widget.show();
    const std::string path = sampleCardPath(sampleCardEntry("FILE0001F.MP4"));  // 480 x 270, 20 a second
    ASSERT_TRUE(player->open(path));
    ASSERT_TRUE(spinUntil([&] { return player->loadState() == kMovieLoadStatePlayable; }));
    player->setCurrentTime(2.5);
    ASSERT_TRUE(spinUntil([&] { return readMovieFrame(player->frameImage()) == 50; }));

    QString shot;
    const QRect picture(0, 60, 640, 360);
    const QString name = software ? "mpv-video-software-frame-50" : "mpv-video-opengl-frame-50";
    ASSERT_TRUE(spinUntil([&] {
        shot = saveScreenshot(widget, name);
        return frameInScreenshot(shot, picture, 480, 270) == 50;
    }, 10.0)) << "the view shows frame " << frameInScreenshot(shot, picture, 480, 270);
    if (!software) keepGraphicsDriversLoaded();
    const QImage image(shot);
    EXPECT_EQ(image.pixelColor(320, 10), QColor(55, 55, 55));
    EXPECT_EQ(image.pixelColor(320, 470), QColor(55, 55, 55));
    // The edges of the picture are the movie's, not a border.
    EXPECT_NE(image.pixelColor(320, 60), QColor(55, 55, 55));
    EXPECT_NE(image.pixelColor(320, 419), QColor(55, 55, 55));

    // A closed movie leaves no picture behind; the player may go before its view.
    player->close();
    EXPECT_TRUE(spinUntil([&] { return widget.grab().toImage().pixelColor(320, 240) == QColor(55, 55, 55); }, 5.0));
    player.reset();
    spinFor(0.1);
    EXPECT_EQ(widget.grab().toImage().pixelColor(320, 240), QColor(55, 55, 55));
}

INSTANTIATE_TEST_SUITE_P(BothRenderPaths, MpvVideoViewTest,
                         ::testing::Values(VideoRenderPath::Software, VideoRenderPath::OpenGL),
                         [](const auto& path) { return path.param == VideoRenderPath::Software ? "Software" : "OpenGL"; });

TEST(VideoRenderPath, SoftwareOnAVirtualDisplayOpenGlWhenAskedForAndRasterizersToldFromProcessors) {
    const auto application = makeApplication();
    // The tests run under Xvfb, which has no direct rendering.
    ::unsetenv("CARTENA_VIDEO_RENDER");
    EXPECT_EQ(chooseVideoRenderPath().path, VideoRenderPath::Software) << chooseVideoRenderPath().reason;
    ::setenv("CARTENA_VIDEO_RENDER", "opengl", 1);
    EXPECT_EQ(chooseVideoRenderPath().path, VideoRenderPath::OpenGL);
    ::unsetenv("CARTENA_VIDEO_RENDER");

    const struct {
        const char* renderer;
        bool software;
    } renderers[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        // A graphics processor whose driver names the compiler it uses.
        {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)", false},
        {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
    };
    for (const auto& row : renderers) EXPECT_EQ(isSoftwareRenderer(row.renderer), row.software) << row.renderer;
}
