#include "platform/MpvMoviePlayer.h"

#include "support/MovieStamp.h"
#include "support/QtTestCase.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"

#include <mpv/client.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// Every notification as a line with what the player said at that moment.
class Recorder : public MovieObserver {
public:
    std::vector<std::string> lines;
    void movieLoadStateChanged(MoviePlayer& movie) override {
        lines.push_back("load " + std::to_string(movie.loadState()));
    }
    void movieRateChanged(MoviePlayer& movie) override {
        char text[32];
        std::snprintf(text, sizeof text, "rate %.2f", double(movie.rate()));
        lines.push_back(text);
    }
    void movieDidEnd(MoviePlayer&) override { lines.push_back("end"); }
    bool has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
};

class MpvMoviePlayerTest : public QtTestCase {
protected:
    void SetUp() override {
        player_ = std::make_unique<MpvMoviePlayer>();
        ASSERT_TRUE(player_->isValid()) << player_->loadError().description;
        player_->addObserver(&recorder_);
    }
    void TearDown() override {
        if (player_) player_->removeObserver(&recorder_);
        player_.reset();
        std::error_code ignored;
        if (!scratch_.empty()) std::filesystem::remove_all(scratch_, ignored);
    }

    // Opens a recording and waits until it can play.
    void openPlayable(const std::string& path) {
        ASSERT_TRUE(player_->open(path));
        ASSERT_TRUE(spinUntil([&] { return player_->loadState() == kMovieLoadStatePlayable ||
                                           player_->loadState() == kMovieLoadStateError; }));
        ASSERT_EQ(player_->loadState(), kMovieLoadStatePlayable) << player_->loadError().description;
    }
    int shownFrame() { return readMovieFrame(player_->frameImage()); }
    double mpvDouble(const char* name) {
        double value = NAN;
        mpv_get_property(player_->handle(), name, MPV_FORMAT_DOUBLE, &value);
        return value;
    }
    bool mpvFlag(const char* name) {
        int value = -1;
        mpv_get_property(player_->handle(), name, MPV_FORMAT_FLAG, &value);
        return value == 1;
    }
    // A folder of this test's own for damaged copies.
    std::string scratch() {
        if (scratch_.empty()) {
            scratch_ = std::filesystem::temp_directory_path() / ("cartena-player-" + std::to_string(getpid()));
            std::filesystem::create_directories(scratch_);
        }
        return scratch_.string();
    }
    // A copy of a card recording cut to `bytes` bytes.
    std::string cutCopy(const std::string& name, std::size_t bytes) {
        const std::string copy = scratch() + "/cut-" + name;
        std::ofstream(copy, std::ios::binary) << readFile(sampleCardPath(sampleCardEntry(name))).substr(0, bytes);
        return copy;
    }

    std::unique_ptr<MpvMoviePlayer> player_;
    Recorder recorder_;
    std::filesystem::path scratch_;
};

std::string cardPath(const char* name) { return sampleCardPath(sampleCardEntry(name)); }

}  // namespace

TEST_F(MpvMoviePlayerTest, OpensPausedAndReportsLoadedThenPlayableOnce) {
    // H.264 in MP4 and in AVI, Motion-JPEG in AVI, at three frame rates and two sizes.
    for (const char* name : {"FILE0001F.MP4", "FILE0101.AVI", "EVEN0101.AVI"}) {
        SCOPED_TRACE(name);
        const SampleEntry& entry = sampleCardEntry(name);
        recorder_.lines.clear();
        openPlayable(sampleCardPath(entry));
        EXPECT_EQ(shownFrame(), 0);
        // A seek restarts playback too; that is no second Playable.
        player_->setCurrentTime(1.0);
        ASSERT_TRUE(spinUntil([&] { return shownFrame() == entry.fps; }));
        spinFor(0.3);
        EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"load 2000", "load 20000"}));
        EXPECT_NEAR(player_->duration(), entry.seconds, 0.05);
        EXPECT_EQ(player_->naturalSize(), (MovieSize{entry.width, entry.height}));
        EXPECT_NEAR(player_->frameRate(), entry.fps, 0.01);
        // Opened paused: nothing moved on its own.
        EXPECT_EQ(player_->rate(), 0.0f);
        EXPECT_NEAR(player_->currentTime(), 1.0, 1e-6);
        EXPECT_EQ(player_->path(), sampleCardPath(entry));
    }
}

TEST_F(MpvMoviePlayerTest, UnplayableFilesReportOneErrorWithMpvsCodeAndText) {
    const std::string paths[] = {
        scratch() + "/missing.MP4",
        cardPath("FILE0152.MP4"),                    // cut short before its movie box: no index at all
        cutCopy("FILE0003F.MP4", 600),               // movie box first, cut inside it
        sampleCardFolder() + "/CARDINFO.TXT",        // no movie
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        recorder_.lines.clear();
        ASSERT_TRUE(player_->open(path));
        ASSERT_TRUE(spinUntil([&] { return player_->loadState() == kMovieLoadStateError; }));
        spinFor(0.3);
        EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"load -1"}));
        EXPECT_LT(player_->loadError().code, 0);
        EXPECT_FALSE(player_->loadError().description.empty());
        EXPECT_TRUE(player_->frameImage().empty());
        // Asking it to play changes nothing and reports nothing.
        player_->setRate(1.0f);
        spinFor(0.1);
        EXPECT_EQ(recorder_.lines.size(), 1u);
    }
    // The slot still works after failures.
    recorder_.lines.clear();
    openPlayable(cardPath("FILE0001R.MP4"));
    EXPECT_EQ(player_->loadError().code, 0);
}

TEST_F(MpvMoviePlayerTest, ReplacedMovieSendsNothingMore) {
    openPlayable(cardPath("FILE0001F.MP4"));
    player_->setRate(1.0f);
    ASSERT_TRUE(spinUntil([&] { return player_->currentTime() > 0.2; }));
    // Replace while playing, and replace again before the first replacement has loaded.
    ASSERT_TRUE(player_->open(cardPath("EVEN0101.AVI")));
    recorder_.lines.clear();
    const std::string rear = cardPath("FILE0001R.MP4");
    ASSERT_TRUE(player_->open(rear));
    ASSERT_TRUE(spinUntil([&] { return player_->loadState() == kMovieLoadStatePlayable; }));
    spinFor(0.3);
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"load 2000", "load 20000"}));
    EXPECT_EQ(player_->path(), rear);
    EXPECT_EQ(player_->naturalSize(), (MovieSize{320, 180}));
    EXPECT_EQ(player_->rate(), 0.0f);
    EXPECT_EQ(player_->currentTime(), 0.0);
    EXPECT_TRUE(mpvFlag("pause"));
    EXPECT_EQ(readMovieStamp(player_->frameImage())->camera, "REAR CAM");

    player_->close();
    spinFor(0.3);
    EXPECT_FALSE(player_->hasMovie());
    EXPECT_EQ(player_->loadState(), kMovieLoadStateNone);
    EXPECT_EQ(recorder_.lines.size(), 2u);
}

TEST_F(MpvMoviePlayerTest, ExactSeeksShowTheFrameOfThatTime) {
    struct Case {
        const char* name;
        double seconds;
        int frame;
    };
    const Case cases[] = {{"FILE0001F.MP4", 2.5, 50},   {"FILE0001F.MP4", 0.0, 0},   {"FILE0001F.MP4", 19.95, 399},
                          {"FILE0001F.MP4", 7.52, 150}, {"FILE0101.AVI", 1.0 / 3.0, 10}, {"FILE0101.AVI", 7.0, 210},
                          {"EVEN0101.AVI", 4.5, 45},    {"FILE0001R.MP4", 1.2, 18}};
    std::string open;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.seconds));
        if (open != c.name) {
            openPlayable(cardPath(c.name));
            open = c.name;
        }
        player_->setCurrentTime(c.seconds);
        // The time is that of the frame at once, and stays so once the frame is on show.
        const double frameTime = c.frame / double(sampleCardEntry(c.name).fps);
        EXPECT_NEAR(player_->currentTime(), frameTime, 1e-9);
        ASSERT_TRUE(spinUntil([&] { return shownFrame() == c.frame; })) << "shows " << shownFrame();
        spinFor(0.1);
        EXPECT_NEAR(player_->currentTime(), frameTime, 1e-3);
    }
}

TEST_F(MpvMoviePlayerTest, PlayingAtDoubleRateReachesTheEndWithRateBeforeEnd) {
    const SampleEntry& entry = sampleCardEntry("EVEN0101.AVI");  // 10 s at 10 frames a second
    openPlayable(sampleCardPath(entry));
    recorder_.lines.clear();
    player_->setCurrentTime(5.0);
    player_->setRate(2.0f);
    EXPECT_EQ(player_->rate(), 2.0f);
    // Notifications come later, never from inside the call.
    EXPECT_TRUE(recorder_.lines.empty());
    ASSERT_TRUE(spinUntil([&] { return player_->currentTime() >= 6.0; }));
    EXPECT_EQ(mpvDouble("speed"), 2.0);
    // While it plays, the time matches the frame on show.
    const MovieFrameImage image = player_->frameImage();
    const double shownAt = player_->currentTime();
    EXPECT_NEAR(readMovieFrame(image), shownAt * entry.fps, 1.0);
    // The finer clock runs ahead of the frame on show, but by no more than a frame and a half.
    for (int look = 0; look < 10; ++look) {
        spinFor(0.013);
        const double clock = player_->playbackClock();
        EXPECT_GE(clock, player_->currentTime());
        EXPECT_LE(clock, player_->currentTime() + 1.5 / entry.fps + 1e-9);
    }

    ASSERT_TRUE(spinUntil([&] { return recorder_.has("end"); }));
    spinFor(0.2);
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_EQ(player_->rate(), 0.0f);
    EXPECT_EQ(player_->playbackClock(), player_->currentTime());
    // The last frame and its second stay on show.
    EXPECT_GE(player_->currentTime(), 9.9 - 1e-3);
    EXPECT_LE(player_->currentTime(), player_->duration());
    const auto last = readMovieStamp(player_->frameImage());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->frame, 99);
    EXPECT_EQ(*last, sampleFrameStamp(entry, sampleCardTestOptions().firstDay, 99));

    // Back from the end it plays and ends again.
    recorder_.lines.clear();
    player_->setCurrentTime(9.0);
    player_->setRate(2.0f);
    ASSERT_TRUE(spinUntil([&] { return recorder_.has("end"); }));
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 2.00", "rate 0.00", "end"}));
}

TEST_F(MpvMoviePlayerTest, PlayingFromTheEndOrATwoFrameRecordingEndsAtOnce) {
    openPlayable(cardPath("FILE0150.MP4"));  // two frames
    player_->setRate(1.0f);
    ASSERT_TRUE(spinUntil([&] { return recorder_.has("end"); }));
    recorder_.lines.clear();
    player_->setRate(1.0f);
    ASSERT_TRUE(spinUntil([&] { return recorder_.has("end"); }));
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 1.00", "rate 0.00", "end"}));
    EXPECT_EQ(player_->rate(), 0.0f);
}

TEST_F(MpvMoviePlayerTest, OneRateNotificationPerRealChange) {
    openPlayable(cardPath("FILE0001F.MP4"));
    recorder_.lines.clear();
    // Undone before it could be reported: no change.
    player_->setRate(1.0f);
    player_->setRate(0.0f);
    spinFor(0.2);
    EXPECT_TRUE(recorder_.lines.empty());
    player_->setRate(1.5f);
    player_->setRate(1.5f);
    spinFor(0.2);
    player_->setRate(-3.0f);  // no reverse play: taken as a pause
    spinFor(0.2);
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 1.50", "rate 0.00"}));
}

TEST_F(MpvMoviePlayerTest, HoldAndSpeedTrimAreInvisibleToRateNotifications) {
    openPlayable(cardPath("FILE0001F.MP4"));
    recorder_.lines.clear();
    player_->setHeld(true);
    player_->setRate(1.0f);
    spinFor(0.4);
    EXPECT_EQ(player_->rate(), 1.0f);
    EXPECT_EQ(player_->currentTime(), 0.0);
    EXPECT_TRUE(mpvFlag("pause"));

    player_->setHeld(false);
    player_->setSpeedTrim(1.04);
    ASSERT_TRUE(spinUntil([&] { return player_->currentTime() > 0.2; }));
    EXPECT_NEAR(mpvDouble("speed"), 1.04, 1e-9);
    player_->setRate(2.0f);
    spinFor(0.2);
    EXPECT_NEAR(mpvDouble("speed"), 2.08, 1e-9);
    player_->setSpeedTrim(1.0);
    spinFor(0.2);
    EXPECT_EQ(mpvDouble("speed"), 2.0);
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 1.00", "rate 2.00"}));
    EXPECT_EQ(player_->rate(), 2.0f);
}

TEST_F(MpvMoviePlayerTest, VolumeIsAGainOnMpvsCubicCurveAndMuteIsSeparate) {
    // Level / 10 is the gain; mpv's volume v gives a gain of (v / 100)^3.
    for (const float gain : {0.0f, 0.1f, 0.5f, 0.9f, 1.0f}) {
        const double volume = MpvMoviePlayer::mpvVolumeForGain(gain);
        EXPECT_NEAR(std::pow(volume / 100.0, 3.0), gain, 1e-6) << gain;
    }
    EXPECT_EQ(MpvMoviePlayer::mpvVolumeForGain(7.0f), 100.0);
    EXPECT_EQ(MpvMoviePlayer::mpvVolumeForGain(-1.0f), 0.0);

    openPlayable(cardPath("FILE0001F.MP4"));
    player_->setVolume(0.3f);
    player_->setMuted(true);
    spinFor(0.2);
    EXPECT_NEAR(mpvDouble("volume"), 100.0 * std::cbrt(0.3), 1e-4);
    EXPECT_TRUE(mpvFlag("mute"));
    // Muting keeps the volume; a volume of 0 is no mute.
    player_->setMuted(false);
    player_->setVolume(0.0f);
    spinFor(0.2);
    EXPECT_FALSE(mpvFlag("mute"));
    EXPECT_EQ(mpvDouble("volume"), 0.0);
    EXPECT_EQ(player_->volume(), 0.0f);
}

TEST_F(MpvMoviePlayerTest, RecordingThatStopsDecodingPartWayEndsEarly) {
    const std::string path = cardPath("FILE0101.AVI");
    const std::string cut = cutCopy("FILE0101.AVI", std::size_t(std::filesystem::file_size(path) / 2));
    openPlayable(cut);
    recorder_.lines.clear();
    player_->setCurrentTime(6.0);
    player_->setRate(2.0f);
    ASSERT_TRUE(spinUntil([&] { return recorder_.has("end"); }));
    EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"rate 2.00", "rate 0.00", "end"}));
    EXPECT_LT(player_->currentTime(), 15.0);
    EXPECT_GT(player_->currentTime(), 6.0);
}
