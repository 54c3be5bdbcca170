#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// One player slot of the window: it holds at most one movie at a time and is reused from one
// recording to the next. Everything here runs on the main thread; notifications arrive there too,
// later than the call that caused them (never from inside it).
//
// Numbers: a player built on a C library that reads and writes numbers as text (libmpv does)
// depends on LC_NUMERIC being "C" in the whole process; a program sets it right after creating
// its toolkit application (which takes the locale from the environment) and before the first
// player. libmpv refuses to start otherwise, and the player then opens nothing.

// Load states, in the order a movie passes through them.
inline constexpr long kMovieLoadStateError = -1;
inline constexpr long kMovieLoadStateNone = 0;          // no movie
inline constexpr long kMovieLoadStateLoading = 1000;    // open was asked, nothing known yet
inline constexpr long kMovieLoadStateLoaded = 2000;     // headers read: duration known
inline constexpr long kMovieLoadStatePlayable = 20000;  // first frame decoded: can play through

// Why a movie could not be opened or played. `code` is 0 for no error, otherwise one of libmpv's
// error codes (negative; mpv/client.h), whatever the player is built on, so that the log reads the
// same. The libmpv player gives -20 (generic) when it could not be created, the code of a refused
// start-up or open command, and for a file that fails to load the code mpv reports (such as -13
// loading failed or -17 unrecognised format); fakes fail with the same codes. -2 means out of
// memory and nothing else. `description` is mpv's text for the code, or the player's own.
struct MovieError {
    long code = 0;
    std::string description;
};

struct MovieSize {
    int width = 0;
    int height = 0;
    bool operator==(const MovieSize&) const = default;
};

// A decoded picture: 4 bytes per pixel in the order blue, green, red, unused; rows top to bottom,
// `stride` bytes apart. Empty (width 0) when there is nothing to show.
struct MovieFrameImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
    const std::uint8_t* pixel(int x, int y) const {
        return pixels.data() + std::size_t(y) * std::size_t(stride) + std::size_t(x) * 4;
    }
};

class MoviePlayer;

// Receives a player's notifications. Only the player that changed is passed; read what you need
// from it.
class MovieObserver {
public:
    virtual ~MovieObserver() = default;
    // loadState() moved to Loaded, Playable or Error. Each is reported once per opened movie.
    virtual void movieLoadStateChanged(MoviePlayer&) {}
    // rate() differs from the rate last reported (one notification per change; a change that is
    // undone before it is reported is no change).
    virtual void movieRateChanged(MoviePlayer&) {}
    // Playback reached the end; the last frame stays and the rate is 0 (reported just before).
    virtual void movieDidEnd(MoviePlayer&) {}
};

class MoviePlayer {
public:
    virtual ~MoviePlayer() = default;
    MoviePlayer() = default;
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Opens a recording, paused on its first frame, in place of whatever this slot held (the
    // replaced movie sends nothing more). The outcome comes later as a load state. False when
    // the slot cannot open anything at all; loadError() says why.
    virtual bool open(const std::string& path) = 0;
    // Drops the movie; the slot is empty and sends nothing more for it.
    virtual void close() = 0;
    virtual bool hasMovie() const = 0;
    // The path given to open(); empty without a movie.
    virtual const std::string& path() const = 0;

    virtual long loadState() const = 0;
    virtual MovieError loadError() const = 0;

    // Seconds; 0 until Loaded.
    virtual double duration() const = 0;
    // The time of the frame on show, in seconds. Cheap: never waits for the decoder.
    virtual double currentTime() const = 0;
    // currentTime() carried on by the time since that frame came on show, at the speed the movie
    // plays (by a frame and a half at most): finer than whole frames, for keeping two in step.
    virtual double playbackClock() const = 0;
    // Moves exactly to the frame at that time (clamped to 0..duration); ignored before Loaded.
    virtual void setCurrentTime(double seconds) = 0;

    // Playback speed while playing, 0 while paused. Negative rates are taken as 0.
    virtual float rate() const = 0;
    virtual void setRate(float rate) = 0;
    // Rate 0; the position stays.
    void stop() { setRate(0.0f); }

    // Gain from 0 (silent) to 1 (full).
    virtual float volume() const = 0;
    virtual void setVolume(float gain) = 0;
    virtual bool isMuted() const = 0;
    virtual void setMuted(bool muted) = 0;

    // Picture size with the pixel aspect applied; known from Playable on.
    virtual MovieSize naturalSize() const = 0;
    // Frames per second of the recording; 0 when unknown.
    virtual double frameRate() const = 0;
    // The frame on show at the current time; empty when nothing is Playable. Blocks the calling
    // thread until the player has copied the frame out (a few milliseconds for a small frame, more
    // for a large one): for a capture, not for every tick.
    virtual MovieFrameImage frameImage() = 0;

    // Steering for keeping two players in step. Neither shows in rate() nor sends notifications:
    // while held the movie does not move whatever its rate; the speed trim multiplies the speed
    // at which it moves (1 = none).
    virtual void setHeld(bool held) = 0;
    virtual bool isHeld() const = 0;
    virtual void setSpeedTrim(double factor) = 0;
    virtual double speedTrim() const = 0;

    // Observers are not owned; remove one before it goes away. Adding one twice has no effect.
    void addObserver(MovieObserver* observer) {
        if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
            observers_.push_back(observer);
    }
    void removeObserver(MovieObserver* observer) {
        observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    }

protected:
    // Each observer present when the notification starts is told, unless it was removed meanwhile.
    void notifyLoadStateChanged() { notify(&MovieObserver::movieLoadStateChanged); }
    void notifyRateChanged() { notify(&MovieObserver::movieRateChanged); }
    void notifyDidEnd() { notify(&MovieObserver::movieDidEnd); }

private:
    void notify(void (MovieObserver::*method)(MoviePlayer&)) {
        const std::vector<MovieObserver*> snapshot = observers_;
        for (MovieObserver* observer : snapshot)
            if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
                (observer->*method)(*this);
    }
    std::vector<MovieObserver*> observers_;
};
