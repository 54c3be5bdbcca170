// What every MoviePlayer must do, asked of the libmpv player on sample-card recordings and of the
// tests' fake (which the controller tests stand on), with what only the libmpv player can show.
#include "platform/MpvMoviePlayer.h"
#include "support/FakeMoviePlayer.h"
#include "support/MovieStamp.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <mpv/client.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <memory>

namespace {

using Lines = std::vector<std::string>;

std::string cardPath(const char* name) { return sampleCardPath(sampleCardEntry(name)); }

// Every notification as a line with what the player said at that moment.
struct Recorder : MovieObserver {
    Lines lines;
    void movieLoadStateChanged(MoviePlayer& movie) override { lines.push_back("load " + std::to_string(movie.loadState())); }
    void movieRateChanged(MoviePlayer& movie) override { lines.push_back("rate " + std::to_string(movie.rate()).substr(0, 4)); }
    void movieDidEnd(MoviePlayer&) override { lines.push_back("end"); }
    bool has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

// What libmpv does with the file the fake was asked to open: a recording of the card loads as the
// card's table describes it, anything else fails.
void loadAsLibmpvWould(FakeMoviePlayer& fake) {
    for (const SampleEntry& e : sampleCardEntries())
        if (sampleCardPath(e) == fake.path() && e.kind == SampleKind::Recording && e.flaw != SampleFlaw::NoMoov)
            return fake.load(double(e.frameCount()) / e.fps, {e.width, e.height}, e.fps);
    fake.failLoading();
}

class MoviePlayerContract : public QtTestCase, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "fake") player_ = std::make_unique<FakeMoviePlayer>();
        else player_ = std::make_unique<MpvMoviePlayer>();
        ASSERT_EQ(player().loadError().code, 0) << player().loadError().description;
        player().addObserver(&seen_);
    }
    MoviePlayer& player() { return *player_; }
    bool isMpv() const { return GetParam() == "libmpv"; }
    // Lets up to `seconds` pass until `done` holds: the Qt loop turns for the libmpv player, the
    // fake's own clock moves for the fake.
    bool waitFor(const std::function<bool()>& done, double seconds = 30.0) {
        auto* fake = dynamic_cast<FakeMoviePlayer*>(player_.get());
        if (!fake) return spinUntil(done, seconds);
        for (int step = 0; step < seconds * 100 && !done(); ++step) {
            if (fake->loadState() == kMovieLoadStateLoading) loadAsLibmpvWould(*fake);
            fake->play(0.01);
        }
        return done();
    }
    void pass(double seconds) { waitFor([] { return false; }, seconds); }
    bool waitForEnd() { return waitFor([&] { return seen_.has("end"); }); }
    void openPlayable(const std::string& path) {
        ASSERT_TRUE(player().open(path));
        ASSERT_TRUE(waitFor([&] { return player().loadState() == kMovieLoadStatePlayable ||
                                        player().loadState() == kMovieLoadStateError; }));
        ASSERT_EQ(player().loadState(), kMovieLoadStatePlayable) << player().loadError().description;
    }
    Recorder seen_;
    std::unique_ptr<MoviePlayer> player_;
};
INSTANTIATE_TEST_SUITE_P(Players, MoviePlayerContract, ::testing::Values("fake", "libmpv"),
                         [](const auto& test) { return test.param; });

}  // namespace

TEST_P(MoviePlayerContract, OpensPausedReportsLoadedThenPlayableOnceAndAReplacedOrClosedMovieSendsNothingMore) {
    // H.264 in MP4 and in AVI, Motion-JPEG in AVI, at three frame rates and two sizes.
    for (const char* name : {"FILE0001F.MP4", "FILE0101.AVI", "EVEN0101.AVI"}) {
        SCOPED_TRACE(name);
        const SampleEntry& entry = sampleCardEntry(name);
        seen_.lines.clear();
        openPlayable(sampleCardPath(entry));
        player().setCurrentTime(1.0);  // a seek restarts playback too: that is no second Playable
        pass(0.3);
        EXPECT_EQ(seen_.lines, (Lines{"load 2000", "load 20000"}));
        EXPECT_NEAR(player().duration(), entry.seconds, 0.05);
        EXPECT_EQ(player().naturalSize(), (MovieSize{entry.width, entry.height}));
        EXPECT_NEAR(player().frameRate(), entry.fps, 0.01);
        EXPECT_EQ(player().rate(), 0.0f);
        EXPECT_NEAR(player().currentTime(), 1.0, 1e-6);
        if (isMpv()) {
            EXPECT_TRUE(waitFor([&] { return readMovieFrame(player().frameImage()) == entry.fps; }));
        }
    }
    // Replaced while playing, and again before the first replacement has loaded.
    player().setRate(1.0f);
    ASSERT_TRUE(waitFor([&] { return player().currentTime() > 1.2; }));
    ASSERT_TRUE(player().open(cardPath("FILE0001F.MP4")));
    seen_.lines.clear();
    ASSERT_TRUE(player().open(cardPath("FILE0001R.MP4")));
    ASSERT_TRUE(waitFor([&] { return player().loadState() == kMovieLoadStatePlayable; }));
    pass(0.3);
    EXPECT_EQ(seen_.lines, (Lines{"load 2000", "load 20000"}));
    EXPECT_EQ(player().path(), cardPath("FILE0001R.MP4"));
    EXPECT_EQ(player().naturalSize(), (MovieSize{320, 180}));
    EXPECT_EQ(player().rate(), 0.0f);
    EXPECT_EQ(player().currentTime(), 0.0);
    if (isMpv()) {
        EXPECT_EQ(readMovieStamp(player().frameImage()).value_or(FrameStamp{}).camera, "REAR CAM");
    }
    player().close();
    pass(0.3);
    EXPECT_FALSE(player().hasMovie());
    EXPECT_EQ(player().loadState(), kMovieLoadStateNone);
    EXPECT_EQ(seen_.lines.size(), 2u);
}

TEST_P(MoviePlayerContract, UnplayableFilesReportOneErrorWithLibmpvsCodeAndText) {
    // Gone, cut short before its movie box, no movie at all.
    for (const std::string& path : {sampleCardFolder() + "/missing.MP4", cardPath("FILE0152.MP4"),
                                    sampleCardFolder() + "/CARDINFO.TXT"}) {
        SCOPED_TRACE(path);
        seen_.lines.clear();
        ASSERT_TRUE(player().open(path));
        ASSERT_TRUE(waitFor([&] { return player().loadState() == kMovieLoadStateError; }));
        player().setRate(1.0f);  // asking it to play changes nothing and reports nothing
        pass(0.3);
        EXPECT_EQ(seen_.lines, (Lines{"load -1"}));
        EXPECT_EQ(player().rate(), 0.0f);
        const MovieError error = player().loadError();
        EXPECT_LT(error.code, 0);
        EXPECT_EQ(error.description, mpv_error_string(int(error.code)));
        EXPECT_TRUE(player().frameImage().empty());
    }
    openPlayable(cardPath("FILE0001R.MP4"));  // the slot still works after failures
    EXPECT_EQ(player().loadError().code, 0);
}

TEST_P(MoviePlayerContract, OneRateNotificationPerRealChangeNeverFromInsideTheCallAndNoneForHoldOrTrim) {
    openPlayable(cardPath("FILE0001F.MP4"));
    seen_.lines.clear();
    player().setRate(1.0f);
    player().setRate(0.0f);  // undone before it could be reported: no change
    pass(0.2);
    player().setHeld(true);  // held, it does not move whatever its rate
    const double heldAt = player().currentTime();
    player().setRate(1.5f);
    player().setRate(1.5f);
    EXPECT_EQ(player().rate(), 1.5f);
    EXPECT_TRUE(seen_.lines.empty());
    pass(0.4);
    EXPECT_EQ(player().currentTime(), heldAt);
    player().setHeld(false);
    player().setSpeedTrim(1.04);
    ASSERT_TRUE(waitFor([&] { return player().currentTime() > heldAt + 0.2; }));
    player().setRate(-3.0f);  // no reverse play: taken as a pause
    pass(0.2);
    EXPECT_EQ(seen_.lines, (Lines{"rate 1.50", "rate 0.00"}));
}

TEST_P(MoviePlayerContract, PlaysToTheEndReportingRateZeroThenTheEndAndEndsAgainWhenAskedToPlayOn) {
    const SampleEntry& entry = sampleCardEntry("EVEN0101.AVI");  // 10 s at 10 frames a second
    openPlayable(sampleCardPath(entry));
    seen_.lines.clear();
    player().setCurrentTime(5.0);
    player().setRate(2.0f);
    ASSERT_TRUE(waitForEnd());
    pass(0.2);
    EXPECT_EQ(seen_.lines, (Lines{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_EQ(player().rate(), 0.0f);
    EXPECT_EQ(player().playbackClock(), player().currentTime());
    // The last frame and its second stay on show.
    EXPECT_GE(player().currentTime(), 9.9 - 1e-3);
    EXPECT_LE(player().currentTime(), player().duration());
    if (isMpv()) {
        EXPECT_EQ(readMovieStamp(player().frameImage()).value_or(FrameStamp{}),
                  sampleFrameStamp(entry, sampleCardTestOptions().firstDay, 99));
    }

    // Asked to play at its end it ends again at once; so does a recording of two frames.
    for (const char* name : {"EVEN0101.AVI", "FILE0150.MP4"}) {
        SCOPED_TRACE(name);
        if (player().path() != cardPath(name)) openPlayable(cardPath(name));
        seen_.lines.clear();
        player().setRate(1.0f);
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(seen_.lines, (Lines{"rate 1.00", "rate 0.00", "end"}));
    }
    if (!isMpv()) return;
    // One that stops decoding part-way (20 s cut in half) ends there.
    TempHome home;
    const std::string whole = readFile(cardPath("FILE0101.AVI"));
    ASSERT_TRUE(writeFile(home.path() + "/cut.AVI", whole.substr(0, whole.size() / 2)));
    openPlayable(home.path() + "/cut.AVI");
    seen_.lines.clear();
    player().setCurrentTime(6.0);
    player().setRate(2.0f);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(seen_.lines, (Lines{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_TRUE(player().currentTime() > 6.0 && player().currentTime() < 15.0) << player().currentTime();
}

// The desktop's locale reaches the process through Qt's application object. Under a decimal comma
// libmpv refuses to start until LC_NUMERIC is "C" again, which the program sets right after
// creating the application; after that every number must come out right.
TEST(MpvLocale, PlayerWorksUnderADecimalCommaLocaleOnceNumbersAreC) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is missing: run scripts/setup";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    QCoreApplication application(qtArgc(), qtArgv());
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");  // Qt did take the locale
    const std::string path = cardPath("FILE0001F.MP4");   // 20 s, 20 frames a second
    {
        MpvMoviePlayer refused;
        EXPECT_FALSE(refused.isValid());
        EXPECT_NE(refused.loadError().description.find("LC_NUMERIC"), std::string::npos);
        EXPECT_FALSE(refused.open(path));
        EXPECT_FALSE(refused.hasMovie());
    }
    std::setlocale(LC_NUMERIC, "C");
    MpvMoviePlayer player;
    ASSERT_TRUE(player.open(path)) << player.loadError().description;
    ASSERT_TRUE(spinUntil([&] { return player.loadState() == kMovieLoadStatePlayable; }));
    player.setCurrentTime(2.5);
    EXPECT_TRUE(spinUntil([&] { return readMovieFrame(player.frameImage()) == 50; }));
    // The level is a gain on mpv's cubic volume curve; muting keeps it.
    player.setVolume(0.5f);
    player.setMuted(true);
    player.setRate(1.5f);
    ASSERT_TRUE(spinUntil([&] { return player.currentTime() > 2.6; }));
    double speed = 0.0, volume = 0.0;
    int muted = 0;
    mpv_get_property(player.handle(), "speed", MPV_FORMAT_DOUBLE, &speed);
    mpv_get_property(player.handle(), "volume", MPV_FORMAT_DOUBLE, &volume);
    mpv_get_property(player.handle(), "mute", MPV_FORMAT_FLAG, &muted);
    EXPECT_EQ(speed, 1.5);
    EXPECT_NEAR(std::pow(volume / 100.0, 3.0), 0.5, 1e-6);
    EXPECT_EQ(muted, 1);
    unsetenv("LC_ALL");
}
