// What every MoviePlayer must do, asked of the libmpv player on sample-card recordings and of the
// tests' fake (which the controller tests stand on); then what only the libmpv player can show.
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
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

using Lines = std::vector<std::string>;

std::string cardPath(const char* name) { return sampleCardPath(sampleCardEntry(name)); }

// Every notification as a line with what the player said at that moment.
class Recorder : public MovieObserver {
public:
    Lines lines;
    void movieLoadStateChanged(MoviePlayer& movie) override { lines.push_back("load " + std::to_string(movie.loadState())); }
    void movieRateChanged(MoviePlayer& movie) override { lines.push_back("rate " + std::to_string(movie.rate()).substr(0, 4)); }
    void movieDidEnd(MoviePlayer&) override { lines.push_back("end"); }
    bool has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

// A player and the time it runs on: the libmpv player on the Qt event loop, or the fake on a clock
// of its own, loading what libmpv can play and failing the rest as libmpv does.
struct Rig {
    virtual ~Rig() = default;
    virtual MoviePlayer& player() = 0;
    // Lets up to `seconds` pass, until `done` holds; whether it did.
    virtual bool waitFor(double seconds, const std::function<bool()>& done) = 0;
};

struct MpvRig : Rig {
    MpvMoviePlayer mpv;
    MoviePlayer& player() override { return mpv; }
    bool waitFor(double seconds, const std::function<bool()>& done) override { return spinUntil(done, seconds); }
};

struct FakeRig : Rig {
    FakeMoviePlayer fake;
    MoviePlayer& player() override { return fake; }
    bool waitFor(double seconds, const std::function<bool()>& done) override {
        for (int step = 0; step < std::lround(seconds / 0.01) && !done(); ++step) {
            if (fake.loadState() == kMovieLoadStateLoading) loadAsLibmpvWould();
            fake.play(0.01);
        }
        return done();
    }
    void loadAsLibmpvWould() {
        for (const SampleEntry& e : sampleCardEntries())
            if (sampleCardPath(e) == fake.path() && e.kind == SampleKind::Recording && e.flaw != SampleFlaw::NoMoov)
                return fake.load(double(e.frameCount()) / e.fps, {e.width, e.height}, e.fps);
        fake.failLoading();
    }
};

class MoviePlayerContract : public QtTestCase, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        if (isMpv()) rig_ = std::make_unique<MpvRig>();
        else rig_ = std::make_unique<FakeRig>();
        ASSERT_EQ(player().loadError().code, 0) << player().loadError().description;
        player().addObserver(&seen_);
    }
    void TearDown() override { player().removeObserver(&seen_); }

    bool isMpv() const { return GetParam() == "libmpv"; }
    MoviePlayer& player() { return rig_->player(); }
    bool waitFor(const std::function<bool()>& done, double seconds = 30.0) { return rig_->waitFor(seconds, done); }
    void pass(double seconds) { rig_->waitFor(seconds, [] { return false; }); }
    bool waitForEnd() { return waitFor([&] { return seen_.has("end"); }); }
    // Opens a recording and waits until it can play.
    void openPlayable(const std::string& path) {
        ASSERT_TRUE(player().open(path));
        ASSERT_TRUE(waitFor([&] { return player().loadState() == kMovieLoadStatePlayable ||
                                        player().loadState() == kMovieLoadStateError; }));
        ASSERT_EQ(player().loadState(), kMovieLoadStatePlayable) << player().loadError().description;
    }
    double mpvProperty(const char* name) {
        double value = NAN;
        mpv_get_property(static_cast<MpvMoviePlayer&>(player()).handle(), name, MPV_FORMAT_DOUBLE, &value);
        return value;
    }

    std::unique_ptr<Rig> rig_;
    Recorder seen_;
};

INSTANTIATE_TEST_SUITE_P(Players, MoviePlayerContract, ::testing::Values("fake", "libmpv"),
                         [](const auto& info) { return info.param; });

// The libmpv player alone: what shows in its pictures and its handle.
class MpvPlayer : public MoviePlayerContract {};
INSTANTIATE_TEST_SUITE_P(Players, MpvPlayer, ::testing::Values("libmpv"), [](const auto& info) { return info.param; });

}  // namespace

TEST_P(MoviePlayerContract, OpensPausedAndReportsLoadedThenPlayableOnce) {
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
        EXPECT_EQ(player().path(), sampleCardPath(entry));
    }
}

TEST_P(MoviePlayerContract, UnplayableFilesReportOneErrorWithLibmpvsCodeAndText) {
    TempHome home;
    const std::string cut = home.path() + "/cut.MP4";  // movie box first, cut inside it
    ASSERT_TRUE(writeFile(cut, readFile(cardPath("FILE0003F.MP4")).substr(0, 600)));
    // Gone, cut short before its movie box, cut inside it, no movie at all.
    for (const std::string& path :
         {home.path() + "/missing.MP4", cardPath("FILE0152.MP4"), cut, sampleCardFolder() + "/CARDINFO.TXT"}) {
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

TEST_P(MoviePlayerContract, AReplacedOrClosedMovieSendsNothingMore) {
    openPlayable(cardPath("FILE0001F.MP4"));
    player().setRate(1.0f);
    ASSERT_TRUE(waitFor([&] { return player().currentTime() > 0.2; }));
    // Replaced while playing, and again before the first replacement has loaded.
    ASSERT_TRUE(player().open(cardPath("EVEN0101.AVI")));
    seen_.lines.clear();
    ASSERT_TRUE(player().open(cardPath("FILE0001R.MP4")));
    ASSERT_TRUE(waitFor([&] { return player().loadState() == kMovieLoadStatePlayable; }));
    pass(0.3);
    EXPECT_EQ(seen_.lines, (Lines{"load 2000", "load 20000"}));
    EXPECT_EQ(player().path(), cardPath("FILE0001R.MP4"));
    EXPECT_EQ(player().naturalSize(), (MovieSize{320, 180}));
    EXPECT_EQ(player().rate(), 0.0f);
    EXPECT_EQ(player().currentTime(), 0.0);
    if (isMpv()) EXPECT_EQ(readMovieStamp(player().frameImage()).value_or(FrameStamp{}).camera, "REAR CAM");

    player().close();
    pass(0.3);
    EXPECT_FALSE(player().hasMovie());
    EXPECT_EQ(player().loadState(), kMovieLoadStateNone);
    EXPECT_EQ(seen_.lines.size(), 2u);
}

TEST_P(MoviePlayerContract, OneRateNotificationPerRealChangeAndNeverFromInsideTheCall) {
    openPlayable(cardPath("FILE0001F.MP4"));
    seen_.lines.clear();
    player().setRate(1.0f);
    player().setRate(0.0f);  // undone before it could be reported: no change
    pass(0.2);
    EXPECT_TRUE(seen_.lines.empty());
    player().setRate(1.5f);
    player().setRate(1.5f);
    EXPECT_EQ(player().rate(), 1.5f);
    EXPECT_TRUE(seen_.lines.empty());
    pass(0.2);
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
    // The finer clock runs ahead of the frame on show, but by no more than a frame and a half.
    for (int look = 0; look < 10; ++look) {
        pass(0.013);
        EXPECT_GE(player().playbackClock(), player().currentTime());
        EXPECT_LE(player().playbackClock(), player().currentTime() + 1.5 / entry.fps + 1e-9);
    }
    ASSERT_TRUE(waitForEnd());
    pass(0.2);
    EXPECT_EQ(seen_.lines, (Lines{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_EQ(player().rate(), 0.0f);
    EXPECT_EQ(player().playbackClock(), player().currentTime());
    // The last frame and its second stay on show.
    EXPECT_GE(player().currentTime(), 9.9 - 1e-3);
    EXPECT_LE(player().currentTime(), player().duration());
    if (isMpv())
        EXPECT_EQ(readMovieStamp(player().frameImage()).value_or(FrameStamp{}),
                  sampleFrameStamp(entry, sampleCardTestOptions().firstDay, 99));

    // Asked to play at its end it ends again at once; so does a recording of two frames.
    for (const char* name : {"EVEN0101.AVI", "FILE0150.MP4"}) {
        SCOPED_TRACE(name);
        if (player().path() != cardPath(name)) openPlayable(cardPath(name));
        seen_.lines.clear();
        player().setRate(1.0f);
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(seen_.lines, (Lines{"rate 1.00", "rate 0.00", "end"}));
    }
}

TEST_P(MoviePlayerContract, HoldAndSpeedTrimAreInvisibleToTheRate) {
    openPlayable(cardPath("FILE0001F.MP4"));
    seen_.lines.clear();
    player().setHeld(true);
    player().setRate(1.0f);
    pass(0.4);
    EXPECT_EQ(player().rate(), 1.0f);
    EXPECT_EQ(player().currentTime(), 0.0);

    player().setHeld(false);
    player().setSpeedTrim(1.04);
    ASSERT_TRUE(waitFor([&] { return player().currentTime() > 0.2; }));
    player().setRate(2.0f);
    pass(0.2);
    if (isMpv()) EXPECT_NEAR(mpvProperty("speed"), 2.08, 1e-9);
    EXPECT_EQ(seen_.lines, (Lines{"rate 1.00", "rate 2.00"}));
    EXPECT_EQ(player().rate(), 2.0f);
}

TEST_P(MpvPlayer, ExactSeeksShowTheFrameOfThatTime) {
    struct Case {
        const char* name;
        double seconds;
        int frame;
    };
    const Case cases[] = {{"FILE0001F.MP4", 0.0, 0},      {"FILE0001F.MP4", 2.5, 50},  {"FILE0001F.MP4", 19.95, 399},
                          {"FILE0001F.MP4", 7.52, 150},   {"FILE0101.AVI", 1.0 / 3.0, 10}, {"FILE0101.AVI", 7.0, 210},
                          {"EVEN0101.AVI", 4.5, 45},      {"FILE0001R.MP4", 1.2, 18}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.seconds));
        if (player().path() != cardPath(c.name)) openPlayable(cardPath(c.name));
        player().setCurrentTime(c.seconds);
        // The time is that of the frame at once, and stays so once the frame is on show.
        const double frameTime = c.frame / double(sampleCardEntry(c.name).fps);
        EXPECT_NEAR(player().currentTime(), frameTime, 1e-9);
        ASSERT_TRUE(waitFor([&] { return readMovieFrame(player().frameImage()) == c.frame; }));
        pass(0.1);
        EXPECT_NEAR(player().currentTime(), frameTime, 1e-3);
    }
}

TEST_P(MpvPlayer, VolumeIsAGainOnMpvsCubicCurveAndMuteIsSeparate) {
    openPlayable(cardPath("FILE0001F.MP4"));
    for (const float gain : {0.0f, 0.1f, 0.5f, 1.0f}) {
        player().setVolume(gain);
        player().setMuted(gain == 0.5f);
        pass(0.2);
        EXPECT_NEAR(std::pow(mpvProperty("volume") / 100.0, 3.0), gain, 1e-6) << gain;
        int muted = -1;
        mpv_get_property(static_cast<MpvMoviePlayer&>(player()).handle(), "mute", MPV_FORMAT_FLAG, &muted);
        EXPECT_EQ(muted, gain == 0.5f) << gain;
    }
    EXPECT_EQ(MpvMoviePlayer::mpvVolumeForGain(7.0f), 100.0);
    EXPECT_EQ(MpvMoviePlayer::mpvVolumeForGain(-1.0f), 0.0);
}

TEST_P(MpvPlayer, ARecordingThatStopsDecodingPartWayEndsThere) {
    TempHome home;
    const std::string whole = readFile(cardPath("FILE0101.AVI"));  // 20 s
    ASSERT_TRUE(writeFile(home.path() + "/cut.AVI", whole.substr(0, whole.size() / 2)));
    openPlayable(home.path() + "/cut.AVI");
    seen_.lines.clear();
    player().setCurrentTime(6.0);
    player().setRate(2.0f);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(seen_.lines, (Lines{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_GT(player().currentTime(), 6.0);
    EXPECT_LT(player().currentTime(), 15.0);
}

// The desktop's locale reaches the process through Qt's application object. Under a decimal comma
// libmpv refuses to start until LC_NUMERIC is "C" again, which the program sets right after
// creating the application; after that every number must come out right.
TEST(MpvLocale, PlayerWorksUnderADecimalCommaLocaleOnceNumbersAreC) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is missing: run scripts/setup";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    int argc = 1;
    char name[] = "player_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");  // Qt did take the locale
    const std::string path = cardPath("FILE0001F.MP4");   // 20 s, 20 frames a second
    {
        MpvMoviePlayer refused;
        EXPECT_NE(refused.loadError().description.find("LC_NUMERIC"), std::string::npos);
        EXPECT_FALSE(refused.open(path));
        EXPECT_FALSE(refused.hasMovie());
    }
    std::setlocale(LC_NUMERIC, "C");
    MpvMoviePlayer player;
    ASSERT_TRUE(player.open(path)) << player.loadError().description;
    ASSERT_TRUE(spinUntil([&] { return player.loadState() == kMovieLoadStatePlayable; }));
    EXPECT_NEAR(player.duration(), 20.0, 0.05);
    EXPECT_NEAR(player.frameRate(), 20.0, 0.01);
    player.setCurrentTime(2.5);
    EXPECT_TRUE(spinUntil([&] { return readMovieFrame(player.frameImage()) == 50; }));
    player.setVolume(0.5f);
    player.setRate(1.5f);
    ASSERT_TRUE(spinUntil([&] { return player.currentTime() > 2.6; }));
    double speed = 0.0, volume = 0.0;
    mpv_get_property(player.handle(), "speed", MPV_FORMAT_DOUBLE, &speed);
    mpv_get_property(player.handle(), "volume", MPV_FORMAT_DOUBLE, &volume);
    EXPECT_EQ(speed, 1.5);
    EXPECT_NEAR(volume, 100.0 * std::cbrt(0.5), 1e-4);
    EXPECT_NE(std::strstr(std::setlocale(LC_CTYPE, nullptr), "de_DE"), nullptr);  // the rest keeps the user's
    unsetenv("LC_ALL");
}
