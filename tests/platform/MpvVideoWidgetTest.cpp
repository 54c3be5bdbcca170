#include "platform/MpvVideoWidget.h"

#include "platform/MpvMoviePlayer.h"
#include "support/GraphicsDrivers.h"
#include "support/MovieStamp.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <clocale>
#include <memory>

TEST(MpvVideoWidget, ShowsTheFrameOfTheCurrentTimeWithTheFillAroundAndOnlyTheFillOnceThePlayerIsGone) {
    int argc = 1;
    char name[] = "player_window_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    auto player = std::make_unique<MpvMoviePlayer>(MpvMoviePlayer::Options{"libmpv", "null"});
    // A 16:9 movie in a 4:3 view: 640 x 360 in the middle, 60 pixels of fill above and below.
    MpvVideoWidget view;
    view.resize(640, 480);
    view.setFillColor(QColor(55, 55, 55));
    view.setPlayer(player.get());
    view.show();
    ASSERT_TRUE(player->open(sampleCardPath(sampleCardEntry("FILE0001F.MP4")))) << player->loadError().description;
    ASSERT_TRUE(spinUntil([&] { return player->loadState() == kMovieLoadStatePlayable; }));
    player->setCurrentTime(2.5);  // frame 50 of a 480 x 270 recording at 20 a second

    QImage shot;
    const auto frameOnShow = [&] {
        const QImage picture = shot.copy(0, 60, 640, 360).convertToFormat(QImage::Format_Grayscale8);
        const auto stamp = readFrameStamp({picture.constBits(), picture.width(), picture.height(),
                                           int(picture.bytesPerLine()), ImageView::Format::Gray8}, 480, 270);
        return stamp ? stamp->frame : -1;
    };
    ASSERT_TRUE(spinUntil([&] {
        shot = QImage(saveScreenshot(view, "mpv-video-widget-frame-50"));
        return frameOnShow() == 50;
    }, 10.0)) << "the view shows frame " << frameOnShow();
    keepGraphicsDriversLoaded();
    EXPECT_EQ(shot.pixelColor(320, 10), QColor(55, 55, 55));
    EXPECT_EQ(shot.pixelColor(320, 470), QColor(55, 55, 55));

    // The player may go before its view.
    player.reset();
    spinFor(0.1);
    EXPECT_EQ(view.grabFramebuffer().pixelColor(320, 240), QColor(55, 55, 55));
}
