#pragma once
#include "interfaces/MoviePlayer.h"

#include <mpv/client.h>  // for its error codes only: the fake fails as libmpv does

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// A player slot driven by hand, held to what the libmpv player does by the MoviePlayer contract
// tests: load states, rate changes and the end are reported only when the test says so, never from
// inside the call that caused them; time moves only in play(). Its picture is the test's `frame`.
class FakeMoviePlayer : public MoviePlayer {
public:
    std::vector<std::string> openedPaths;
    std::vector<double> seeks;
    bool openSucceeds = true;  // false: opens fail at once, as on a player libmpv refused
    MovieFrameImage frame;     // what frameImage() gives once playable

    bool open(const std::string& path) override {
        openedPaths.push_back(path);
        close();
        if (!openSucceeds) {
            error_ = {MPV_ERROR_GENERIC, "something happened"};
            return false;
        }
        path_ = path;
        loadState_ = kMovieLoadStateLoading;
        return true;
    }
    void close() override {
        path_.clear();
        loadState_ = kMovieLoadStateNone;
        error_ = {};
        duration_ = time_ = fps_ = 0.0;
        trim_ = 1.0;
        size_ = {};
        rate_ = reportedRate_ = 0.0f;
        rateDue_ = atEnd_ = false;
    }
    bool hasMovie() const override { return loadState_ != kMovieLoadStateNone; }
    const std::string& path() const override { return path_; }
    long loadState() const override { return loadState_; }
    MovieError loadError() const override { return error_; }
    double duration() const override { return duration_; }
    double currentTime() const override { return time_; }
    double playbackClock() const override { return time_; }  // no frame steps to smooth
    void setCurrentTime(double seconds) override {
        if (loadState_ < kMovieLoadStateLoaded) return;
        seeks.push_back(seconds);
        time_ = std::clamp(seconds, 0.0, duration_);
        atEnd_ = false;
    }
    float rate() const override { return rate_; }
    void setRate(float rate) override {
        if (!hasMovie() || loadState_ == kMovieLoadStateError) return;
        rate_ = std::max(rate, 0.0f);
        rateDue_ = true;
    }
    float volume() const override { return volume_; }
    void setVolume(float gain) override { volume_ = std::clamp(gain, 0.0f, 1.0f); }
    bool isMuted() const override { return muted_; }
    void setMuted(bool muted) override { muted_ = muted; }
    MovieSize naturalSize() const override { return size_; }
    double frameRate() const override { return fps_; }
    MovieFrameImage frameImage() override { return loadState_ == kMovieLoadStatePlayable ? frame : MovieFrameImage{}; }
    void setHeld(bool held) override {
        held_ = held;
        rateDue_ = rateDue_ || !held;  // released at its end at a non-zero rate: it ends again
    }
    bool isHeld() const override { return held_; }
    void setSpeedTrim(double factor) override { trim_ = factor; }
    double speedTrim() const override { return trim_; }

    // Loaded: the headers are read. Playable: the first frame is decoded.
    void finishLoading(double duration = 60.0, MovieSize size = {640, 360}, double fps = 30.0) {
        duration_ = duration;
        size_ = size;
        fps_ = fps;
        report(kMovieLoadStateLoaded);
    }
    void becomePlayable() { report(kMovieLoadStatePlayable); }
    void load(double duration = 60.0, MovieSize size = {640, 360}, double fps = 30.0) {
        finishLoading(duration, size, fps);
        becomePlayable();
    }
    void failLoading(long code = MPV_ERROR_LOADING_FAILED, const std::string& text = "loading failed") {
        error_ = {code, text};
        rate_ = reportedRate_ = 0.0f;
        report(kMovieLoadStateError);
    }
    // The rate changes without being asked (a stall).
    void changeRateByItself(float rate) {
        rate_ = rate;
        rateDue_ = true;
    }
    // Sends the rate notification that is due, if any; asked to play at its end, the movie ends again.
    void deliverNotifications() {
        if (!std::exchange(rateDue_, false)) return;
        if (rate_ != reportedRate_) {
            reportedRate_ = rate_;
            notifyRateChanged();
        }
        if (atEnd_ && rate_ > 0.0f && !held_) reachEnd();
    }
    // Lets `seconds` pass, due notifications first: unless held, the time moves by rate x trim.
    void play(double seconds) {
        deliverNotifications();
        if (held_ || rate_ <= 0.0f || loadState_ != kMovieLoadStatePlayable) return;
        time_ = std::min(duration_, time_ + seconds * double(rate_) * trim_);
        if (time_ >= duration_) reachEnd();
    }
    // Jumps the time without a seek (as a decoder that falls behind would).
    void setTimeByItself(double seconds) { time_ = seconds; }
    // Rate 0 reported, then the end; the last frame stays.
    void reachEnd() {
        atEnd_ = true;
        changeRateByItself(0.0f);
        deliverNotifications();
        notifyDidEnd();
    }
    bool atEnd() const { return atEnd_; }

private:
    void report(long state) {
        loadState_ = state;
        notifyLoadStateChanged();
    }

    std::string path_;
    long loadState_ = kMovieLoadStateNone;
    MovieError error_;
    double duration_ = 0.0, time_ = 0.0, fps_ = 0.0, trim_ = 1.0;
    MovieSize size_;
    float rate_ = 0.0f, reportedRate_ = 0.0f, volume_ = 1.0f;
    bool rateDue_ = false, atEnd_ = false, held_ = false, muted_ = false;
};
