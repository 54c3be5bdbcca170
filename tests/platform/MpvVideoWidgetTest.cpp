#include "platform/MpvVideoWidget.h"

#include "platform/MpvMoviePlayer.h"
#include "support/GraphicsDrivers.h"
#include "support/QtWait.h"
#include "support/Screenshot.h"
#include "support/MovieStamp.h"
#include "support/SampleCardFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <clocale>
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

}  // namespace

TEST(MpvVideoWidget, ShowsTheFrameOfTheCurrentTimeWithTheFillAround) {
    int argc = 1;
    char name[] = "platform_window_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    auto player = std::make_unique<MpvMoviePlayer>(MpvMoviePlayer::Options{"libmpv", "null"});
    ASSERT_TRUE(player->isValid());
    // A 16:9 movie in a 4:3 view: 640 x 360 in the middle, 60 pixels of fill above and below.
    MpvVideoWidget view;
    view.resize(640, 480);
    view.setFillColor(QColor(55, 55, 55));
    view.setPlayer(player.get());
    view.show();
    const std::string path = sampleCardPath(sampleCardEntry("FILE0001F.MP4"));  // 480 x 270, 20 a second
    ASSERT_TRUE(player->open(path));
    ASSERT_TRUE(spinUntil([&] { return player->loadState() == kMovieLoadStatePlayable; }));
    player->setCurrentTime(2.5);
    ASSERT_TRUE(spinUntil([&] { return readMovieFrame(player->frameImage()) == 50; }));

    QString shot;
    const QRect picture(0, 60, 640, 360);
    ASSERT_TRUE(spinUntil([&] {
        shot = saveScreenshot(view, "mpv-video-widget-frame-50");
        return frameInScreenshot(shot, picture, 480, 270) == 50;
    }, 10.0)) << "the view shows frame " << frameInScreenshot(shot, picture, 480, 270);
    keepGraphicsDriversLoaded();
    const QImage image(shot);
    EXPECT_EQ(image.pixelColor(320, 10), QColor(55, 55, 55));
    EXPECT_EQ(image.pixelColor(320, 470), QColor(55, 55, 55));

    // The player may go before its view; the view then shows only its fill.
    player.reset();
    spinFor(0.1);
    const QImage empty = view.grabFramebuffer();
    EXPECT_EQ(empty.pixelColor(320, 240), QColor(55, 55, 55));
}
