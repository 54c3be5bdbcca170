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
    bool hasMovie() const override { return movie_.hasMovie; }
    const std::string& path() const override { return movie_.path; }
    long loadState() const override { return movie_.loadState; }
    MovieError loadError() const override { return movie_.error; }
    double duration() const override { return movie_.duration; }
    double currentTime() const override { return movie_.time; }
    double playbackClock() const override;
    void setCurrentTime(double seconds) override;
    float rate() const override { return movie_.rate; }
    void setRate(float rate) override;
    float volume() const override { return volume_; }
    void setVolume(float gain) override;
    bool isMuted() const override { return muted_; }
    void setMuted(bool muted) override;
    MovieSize naturalSize() const override { return movie_.size; }
    double frameRate() const override { return movie_.fps; }
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

    // The open movie: everything that opening or closing starts afresh, in one assignment of {}.
    struct Movie {
        bool hasMovie = false;
        std::string path;
        std::int64_t wantedEntry = -1;  // mpv's playlist entry of the movie, once known
        long loadState = kMovieLoadStateNone;
        MovieError error;
        double duration = 0.0;
        double time = 0.0;
        double timeSeenAt = 0.0;  // steady clock, seconds
        MovieSize size;
        double fps = 0.0;
        bool fileLoaded = false;  // mpv loaded our file (its time and end are ours from here on)
        bool restarted = false;   // first playback restart seen
        bool playableAsked = false;
        int playableReplies = 0;
        bool atEnd = false;
        int pendingSeeks = 0;
        bool seekRestartPending = false;
        float rate = 0.0f;  // what the controller asked
        float reportedRate = 0.0f;
    };
    Movie movie_;
    std::uint32_t serial_ = 0;        // one per open or close; replies of older ones are dropped
    std::int64_t startedEntry_ = -1;  // the entry mpv started last

    // Steering, and what was last sent to mpv.
    bool rateCheckPosted_ = false;
    bool held_ = false;
    double trim_ = 1.0;
    float volume_ = 1.0f;
    bool muted_ = false;
    int sentPause_ = -1;  // -1: unknown
    double sentSpeed_ = 0.0;
};
