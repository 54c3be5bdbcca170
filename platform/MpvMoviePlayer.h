#pragma once
#include "interfaces/MoviePlayer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct mpv_handle;
struct mpv_event;
class QObject;

// A player slot on one libmpv handle, created once and reused for every recording. mpv runs on
// its own threads; its events are drained on the thread that created the player (which must run a
// Qt event loop) through mpv's wakeup callback and a queued call.
//
// Load states: the file loaded is Loaded, the first playback restart after it is Playable (once per
// file, not after each seek), an end of file with an error is Error with mpv's code and text.
class MpvMoviePlayer final : public MoviePlayer {
public:
    struct Options {
        // "null" decodes without showing (tests, benchmarks); "libmpv" draws through the render
        // API into an MpvVideoWidget.
        std::string videoOutput = "null";
        // "null" plays silently on a simulated clock; empty picks the system's sound output.
        std::string audioOutput = "null";
    };

    MpvMoviePlayer();
    explicit MpvMoviePlayer(Options options);
    ~MpvMoviePlayer() override;

    // False when libmpv refused to start (loadError() says why); every open then fails.
    bool isValid() const { return mpv_ != nullptr; }
    // For the render widget; null when not valid.
    mpv_handle* handle() const { return mpv_; }
    // Called (on the main thread) just before the handle goes away, so that a render context made
    // on it can be freed first. Returns an id for removeShutdownHook.
    int addShutdownHook(std::function<void()> hook);
    void removeShutdownHook(int id);

    bool open(const std::string& path) override;
    void close() override;
    bool hasMovie() const override { return hasMovie_; }
    const std::string& path() const override { return path_; }
    long loadState() const override { return loadState_; }
    MovieError loadError() const override { return error_; }
    double duration() const override { return duration_; }
    double currentTime() const override { return time_; }
    double playbackClock() const override;
    void setCurrentTime(double seconds) override;
    float rate() const override { return rate_; }
    void setRate(float rate) override;
    float volume() const override { return volume_; }
    void setVolume(float gain) override;
    bool isMuted() const override { return muted_; }
    void setMuted(bool muted) override;
    MovieSize naturalSize() const override { return size_; }
    double frameRate() const override { return fps_; }
    MovieFrameImage frameImage() override;
    void setHeld(bool held) override;
    bool isHeld() const override { return held_; }
    void setSpeedTrim(double factor) override;
    double speedTrim() const override { return trim_; }

    // mpv's volume for a gain: its volume curve is cubic, so the gain g needs 100 * cbrt(g).
    static double mpvVolumeForGain(float gain);

private:
    enum class Request : std::uint8_t { Other, Load, Duration, VideoParams, FrameRate, Seek, SeekTime };

    static void wakeup(void* self);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    void handleReply(const mpv_event& event, Request request);
    void reportLoaded();
    void reportPlayableWhenReady();
    void reportEnd();
    void fail(long code, const std::string& description);
    void applyPlayback();
    void postRateCheck();
    void checkRate();
    void resetMovieState();
    bool isCurrentFile() const;
    void setTime(double seconds);
    std::uint64_t tag(Request request) const;

    std::unique_ptr<QObject> context_;  // queued calls die with it
    mpv_handle* mpv_ = nullptr;
    std::atomic<bool> drainPosted_{false};
    // When mpv last had news (steady clock, seconds): a frame's time is stamped with the moment mpv
    // showed it rather than the later moment the main thread got to it.
    std::atomic<double> lastWakeup_{0.0};
    double drainWakeup_ = 0.0;
    std::vector<std::pair<int, std::function<void()>>> shutdownHooks_;
    int lastHookId_ = 0;

    // The open movie.
    bool hasMovie_ = false;
    std::string path_;
    std::uint32_t serial_ = 0;        // one per open or close; replies of older ones are dropped
    std::int64_t wantedEntry_ = -1;   // mpv's playlist entry of the open movie, once known
    std::int64_t startedEntry_ = -1;  // the entry mpv started last
    long loadState_ = kMovieLoadStateNone;
    MovieError error_;
    double duration_ = 0.0;
    double time_ = 0.0;
    double timeSeenAt_ = 0.0;  // steady clock, seconds
    MovieSize size_;
    double fps_ = 0.0;
    bool fileLoaded_ = false;  // mpv loaded our file (its time and end are ours from here on)
    bool restarted_ = false;   // first playback restart seen
    bool playableAsked_ = false;
    int playableReplies_ = 0;
    bool atEnd_ = false;
    int pendingSeeks_ = 0;
    bool seekRestartPending_ = false;

    // What the controller asked, and what was last sent to mpv.
    float rate_ = 0.0f;
    float reportedRate_ = 0.0f;
    bool rateCheckPosted_ = false;
    bool held_ = false;
    double trim_ = 1.0;
    float volume_ = 1.0f;
    bool muted_ = false;
    int sentPause_ = -1;  // -1: unknown
    double sentSpeed_ = 0.0;
};
