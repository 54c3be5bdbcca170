#pragma once
#include "interfaces/MoviePlayer.h"

#include <algorithm>
#include <string>
#include <vector>

// A player slot driven by hand, for tests of code that uses MoviePlayer. It behaves like the real
// one where callers can tell: open starts Loading and paused; load states, rate changes and the end
// are reported only when the test says so (the real player reports them later, never from inside
// the call that caused them); one rate notification per net change; time moves only when the test
// plays the clock.
class FakeMoviePlayer : public MoviePlayer {
public:
    // What the code under test asked.
    std::vector<std::string> openedPaths;
    int closeCount = 0;
    std::vector<double> seeks;
    std::vector<float> rateRequests;
    int frameImageCount = 0;

    // How the next open goes, and what frameImage gives while Playable.
    bool openSucceeds = true;
    MovieError openError{-2, "the slot cannot open anything"};
    MovieFrameImage frame;

    bool open(const std::string& path) override {
        openedPaths.push_back(path);
        resetMovie();
        if (!openSucceeds) {
            error_ = openError;
            return false;
        }
        hasMovie_ = true;
        path_ = path;
        loadState_ = kMovieLoadStateLoading;
        trim_ = 1.0;
        return true;
    }
    void close() override {
        ++closeCount;
        resetMovie();
    }
    bool hasMovie() const override { return hasMovie_; }
    const std::string& path() const override { return path_; }
    long loadState() const override { return loadState_; }
    MovieError loadError() const override { return error_; }
    double duration() const override { return duration_; }
    double currentTime() const override { return time_; }
    double playbackClock() const override { return time_; }  // this clock has no frame steps
    void setCurrentTime(double seconds) override {
        if (!hasMovie_ || loadState_ < kMovieLoadStateLoaded) return;
        seeks.push_back(seconds);
        time_ = std::clamp(seconds, 0.0, duration_);
        atEnd_ = false;
    }
    float rate() const override { return rate_; }
    void setRate(float rate) override {
        if (!(rate > 0.0f)) rate = 0.0f;
        if (!hasMovie_ || loadState_ == kMovieLoadStateError) return;
        rateRequests.push_back(rate);
        if (rate == rate_) return;
        rate_ = rate;
        rateDue_ = true;
    }
    float volume() const override { return volume_; }
    void setVolume(float gain) override { volume_ = std::clamp(gain, 0.0f, 1.0f); }
    bool isMuted() const override { return muted_; }
    void setMuted(bool muted) override { muted_ = muted; }
    MovieSize naturalSize() const override { return size_; }
    double frameRate() const override { return fps_; }
    MovieFrameImage frameImage() override {
        ++frameImageCount;
        return loadState_ == kMovieLoadStatePlayable ? frame : MovieFrameImage{};
    }
    void setHeld(bool held) override {
        held_ = held;
        if (!held_) rateDue_ = true;  // released at the end at a non-zero rate: ends again
    }
    bool isHeld() const override { return held_; }
    void setSpeedTrim(double factor) override { trim_ = factor; }
    double speedTrim() const override { return trim_; }

    // The headers are read: duration and picture known; reports Loaded.
    void finishLoading(double duration = 60.0, MovieSize size = {640, 360}, double fps = 30.0) {
        duration_ = duration;
        size_ = size;
        fps_ = fps;
        loadState_ = kMovieLoadStateLoaded;
        notifyLoadStateChanged();
    }
    // The first frame is decoded; reports Playable.
    void becomePlayable() {
        loadState_ = kMovieLoadStatePlayable;
        notifyLoadStateChanged();
    }
    // Loaded then Playable at once.
    void load(double duration = 60.0, MovieSize size = {640, 360}, double fps = 30.0) {
        finishLoading(duration, size, fps);
        if (loadState_ == kMovieLoadStateLoaded) becomePlayable();
    }
    // The file cannot be played; reports Error.
    void failLoading(long code = -13, const std::string& text = "loading failed") {
        loadState_ = kMovieLoadStateError;
        error_ = {code, text};
        rate_ = 0.0f;
        reportedRate_ = 0.0f;
        notifyLoadStateChanged();
    }
    // The rate changes without being asked (a stall, the end of a sound track).
    void changeRateByItself(float rate) {
        rate_ = rate;
        rateDue_ = true;
    }
    // Sends the rate notification that is due, if the rate really changed since the last one; a
    // movie asked to play from its end ends again.
    void deliverNotifications() {
        if (!rateDue_) return;
        rateDue_ = false;
        checkRate();
        if (atEnd_ && rate_ > 0.0f && !held_) reachEnd();
    }
    // Lets `seconds` of wall clock pass (due notifications go first): the time moves by rate x trim
    // unless held; reaching the duration ends the movie (rate 0 reported, then the end).
    void play(double seconds) {
        deliverNotifications();
        if (!hasMovie_ || held_ || rate_ <= 0.0f || loadState_ != kMovieLoadStatePlayable) return;
        time_ += seconds * double(rate_) * trim_;
        if (time_ >= duration_) {
            time_ = duration_;
            reachEnd();
        }
    }
    // Jumps the time without a seek (as a decoder that falls behind would).
    void setTimeByItself(double seconds) { time_ = seconds; }
    void reachEnd() {
        atEnd_ = true;
        rate_ = 0.0f;
        rateDue_ = false;
        checkRate();
        notifyDidEnd();
    }
    bool atEnd() const { return atEnd_; }

private:
    void checkRate() {
        if (rate_ == reportedRate_) return;
        reportedRate_ = rate_;
        notifyRateChanged();
    }
    void resetMovie() {
        hasMovie_ = false;
        path_.clear();
        loadState_ = kMovieLoadStateNone;
        error_ = {};
        duration_ = 0.0;
        time_ = 0.0;
        size_ = {};
        fps_ = 0.0;
        rate_ = 0.0f;
        reportedRate_ = 0.0f;
        rateDue_ = false;
        atEnd_ = false;
    }

    bool hasMovie_ = false;
    std::string path_;
    long loadState_ = kMovieLoadStateNone;
    MovieError error_;
    double duration_ = 0.0;
    double time_ = 0.0;
    MovieSize size_;
    double fps_ = 0.0;
    float rate_ = 0.0f;
    float reportedRate_ = 0.0f;
    bool rateDue_ = false;
    bool atEnd_ = false;
    bool held_ = false;
    double trim_ = 1.0;
    float volume_ = 1.0f;
    bool muted_ = false;
};
