#include "platform/MpvMoviePlayer.h"

#include "support/QtWait.h"
#include "support/MovieStamp.h"
#include "support/SampleCardFixture.h"

#include <mpv/client.h>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

// The desktop's locale reaches the process through Qt's application object. Under a German locale
// (decimal comma) libmpv refuses to start until LC_NUMERIC is "C" again, which is what the program
// does right after creating the application; after that every number must come out right.
TEST(MpvLocale, PlayerWorksUnderADecimalCommaLocaleOnceNumbersAreC) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is missing: run scripts/setup";
    std::setlocale(LC_ALL, "C");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    int argc = 1;
    char name[] = "platform_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");  // Qt did take the locale

    {
        MpvMoviePlayer refused;
        EXPECT_FALSE(refused.isValid());
        EXPECT_NE(refused.loadError().description.find("LC_NUMERIC"), std::string::npos);
        EXPECT_FALSE(refused.open(sampleCardPath(sampleCardEntry("FILE0001F.MP4"))));
        EXPECT_FALSE(refused.hasMovie());
    }

    std::setlocale(LC_NUMERIC, "C");
    MpvMoviePlayer player;
    ASSERT_TRUE(player.isValid()) << player.loadError().description;
    const std::string path = sampleCardPath(sampleCardEntry("FILE0001F.MP4"));  // 20 s, 20 frames a second
    ASSERT_TRUE(player.open(path));
    ASSERT_TRUE(spinUntil([&] { return player.loadState() == kMovieLoadStatePlayable; }));
    EXPECT_NEAR(player.duration(), 20.0, 0.05);
    EXPECT_NEAR(player.frameRate(), 20.0, 0.01);

    player.setCurrentTime(2.5);
    ASSERT_TRUE(spinUntil([&] { return readMovieFrame(player.frameImage()) == 50; }));
    player.setVolume(0.5f);
    player.setRate(1.5f);
    ASSERT_TRUE(spinUntil([&] { return player.currentTime() > 2.6; }));
    double speed = 0.0, volume = 0.0;
    mpv_get_property(player.handle(), "speed", MPV_FORMAT_DOUBLE, &speed);
    mpv_get_property(player.handle(), "volume", MPV_FORMAT_DOUBLE, &volume);
    EXPECT_EQ(speed, 1.5);
    EXPECT_NEAR(volume, 100.0 * std::cbrt(0.5), 1e-4);
    // Other categories keep the user's language.
    EXPECT_NE(std::strstr(std::setlocale(LC_CTYPE, nullptr), "de_DE"), nullptr);
    unsetenv("LC_ALL");
}
