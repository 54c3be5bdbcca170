#include "platform/MpvMoviePlayer.h"

#include "Utility/DiagnosticLog.h"

#include <mpv/client.h>

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

// A command as a node list, so that numbers never pass through text (mpv parses text with the C
// library, whose idea of a decimal point follows LC_NUMERIC).
class CommandNode {
public:
    CommandNode& add(const char* text) {
        mpv_node node{};
        node.format = MPV_FORMAT_STRING;
        node.u.string = const_cast<char*>(text);
        nodes_.push_back(node);
        return *this;
    }
    CommandNode& add(double number) {
        mpv_node node{};
        node.format = MPV_FORMAT_DOUBLE;
        node.u.double_ = number;
        nodes_.push_back(node);
        return *this;
    }
    mpv_node* node() {
        list_.num = int(nodes_.size());
        list_.values = nodes_.data();
        list_.keys = nullptr;
        root_.format = MPV_FORMAT_NODE_ARRAY;
        root_.u.list = &list_;
        return &root_;
    }

private:
    std::vector<mpv_node> nodes_;
    mpv_node_list list_{};
    mpv_node root_{};
};

const mpv_node* mapValue(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP || !map.u.list) return nullptr;
    for (int i = 0; i < map.u.list->num; ++i)
        if (std::strcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
    return nullptr;
}

std::int64_t mapInt(const mpv_node& map, const char* key, std::int64_t fallback) {
    const mpv_node* value = mapValue(map, key);
    if (!value) return fallback;
    if (value->format == MPV_FORMAT_INT64) return value->u.int64;
    if (value->format == MPV_FORMAT_DOUBLE) return std::int64_t(value->u.double_);
    return fallback;
}

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool propertyDouble(const mpv_event_property& property, double& out) {
    if (property.format != MPV_FORMAT_DOUBLE || !property.data) return false;
    out = *static_cast<const double*>(property.data);
    return std::isfinite(out);
}

bool propertyFlag(const mpv_event_property& property, bool& out) {
    if (property.format != MPV_FORMAT_FLAG || !property.data) return false;
    out = *static_cast<const int*>(property.data) != 0;
    return true;
}

}  // namespace

MpvMoviePlayer::MpvMoviePlayer() : MpvMoviePlayer(Options{}) {}

MpvMoviePlayer::MpvMoviePlayer(Options options) : context_(std::make_unique<QObject>()) {
    mpv_handle* mpv = mpv_create();
    if (!mpv) {
        // libmpv refuses to start when LC_NUMERIC is not "C"; the program sets it after creating
        // its application object.
        error_ = {MPV_ERROR_GENERIC, "the player could not be created (LC_NUMERIC must be \"C\")"};
        pmOutputDebugMsg("MpvMoviePlayer - " + error_.description);
        return;
    }
    const std::pair<const char*, std::string> settings[] = {
        {"vo", options.videoOutput},
        {"ao", options.audioOutput},
        // The end leaves the last frame and the position, paused.
        {"keep-open", "yes"},
        {"idle", "yes"},
        {"pause", "yes"},
        {"hr-seek", "yes"},
        // A plain playback engine: no configuration files, scripts, key bindings or terminal.
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"osc", "no"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"sub-auto", "no"},
        {"audio-file-auto", "no"},
        {"audio-display", "no"},
    };
    for (const auto& [name, value] : settings) {
        if (value.empty()) continue;
        mpv_set_option_string(mpv, name, value.c_str());
    }
    const int rc = mpv_initialize(mpv);
    if (rc < 0) {
        error_ = {rc, mpv_error_string(rc)};
        pmOutputDebugMsg("MpvMoviePlayer - the player could not be started: " + error_.description);
        mpv_destroy(mpv);
        return;
    }
    mpv_observe_property(mpv, 0, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, 0, "eof-reached", MPV_FORMAT_FLAG);
    mpv_ = mpv;
    sentPause_ = 1;
    mpv_set_wakeup_callback(mpv_, &MpvMoviePlayer::wakeup, this);
}

MpvMoviePlayer::~MpvMoviePlayer() {
    const auto hooks = shutdownHooks_;
    for (const auto& hook : hooks) hook.second();
    if (mpv_) {
        // After this returns mpv calls no more; queued drains die with the context object.
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    context_.reset();
}

int MpvMoviePlayer::addShutdownHook(std::function<void()> hook) {
    shutdownHooks_.emplace_back(++lastHookId_, std::move(hook));
    return lastHookId_;
}

void MpvMoviePlayer::removeShutdownHook(int id) {
    shutdownHooks_.erase(std::remove_if(shutdownHooks_.begin(), shutdownHooks_.end(),
                                        [id](const auto& hook) { return hook.first == id; }),
                         shutdownHooks_.end());
}

double MpvMoviePlayer::mpvVolumeForGain(float gain) {
    if (!(gain > 0.0f)) return 0.0;
    return 100.0 * std::cbrt(double(std::min(gain, 1.0f)));
}

std::uint64_t MpvMoviePlayer::tag(Request request) const {
    return (std::uint64_t(serial_) << 8) | std::uint64_t(request);
}

bool MpvMoviePlayer::isCurrentFile() const {
    return hasMovie_ && wantedEntry_ >= 0 && startedEntry_ == wantedEntry_;
}

void MpvMoviePlayer::resetMovieState() {
    wantedEntry_ = -1;
    loadState_ = kMovieLoadStateNone;
    error_ = {};
    duration_ = 0.0;
    time_ = 0.0;
    size_ = {};
    fps_ = 0.0;
    fileLoaded_ = false;
    restarted_ = false;
    playableAsked_ = false;
    playableReplies_ = 0;
    atEnd_ = false;
    pendingSeeks_ = 0;
    seekRestartPending_ = false;
    rate_ = 0.0f;
    reportedRate_ = 0.0f;
}

bool MpvMoviePlayer::open(const std::string& path) {
    if (!mpv_) return false;
    resetMovieState();
    ++serial_;
    hasMovie_ = true;
    path_ = path;
    loadState_ = kMovieLoadStateLoading;
    trim_ = 1.0;
    applyPlayback();  // paused before the file starts
    CommandNode command;
    command.add("loadfile").add(path_.c_str()).add("replace");
    const int rc = mpv_command_node_async(mpv_, tag(Request::Load), command.node());
    if (rc < 0) {
        hasMovie_ = false;
        path_.clear();
        loadState_ = kMovieLoadStateNone;
        error_ = {rc, mpv_error_string(rc)};
        return false;
    }
    return true;
}

void MpvMoviePlayer::close() {
    if (!hasMovie_) return;
    resetMovieState();
    ++serial_;
    hasMovie_ = false;
    path_.clear();
    if (!mpv_) return;
    applyPlayback();
    CommandNode command;
    command.add("stop");
    mpv_command_node_async(mpv_, tag(Request::Other), command.node());
}

void MpvMoviePlayer::setCurrentTime(double seconds) {
    if (!mpv_ || !fileLoaded_ || loadState_ < kMovieLoadStateLoaded || !std::isfinite(seconds)) return;
    seconds = std::max(0.0, seconds);
    if (duration_ > 0.0) seconds = std::min(seconds, duration_);
    // mpv lands on the first frame at or after the time; the frame on show at that time is the one
    // that began at or before it.
    if (fps_ > 0.0) seconds = std::floor(seconds * fps_ + 1e-6) / fps_;
    CommandNode command;
    command.add("seek").add(seconds).add("absolute+exact");
    if (mpv_command_node_async(mpv_, tag(Request::Seek), command.node()) < 0) return;
    // Until the seek has landed, observed times are of the old position.
    ++pendingSeeks_;
    seekRestartPending_ = true;
    setTime(seconds);
    atEnd_ = false;
}

void MpvMoviePlayer::setTime(double seconds) {
    time_ = seconds;
    timeSeenAt_ = steadySeconds();
}

double MpvMoviePlayer::playbackClock() const {
    const bool moving = loadState_ == kMovieLoadStatePlayable && rate_ > 0.0f && !held_ && !atEnd_ &&
                        pendingSeeks_ == 0 && !seekRestartPending_;
    if (!moving) return time_;
    const double speed = double(rate_) * trim_;
    const double frame = fps_ > 0.0 ? 1.0 / fps_ : 1.0 / 30.0;
    const double ahead = std::clamp((steadySeconds() - timeSeenAt_) * speed, 0.0, 1.5 * frame);
    return duration_ > 0.0 ? std::min(time_ + ahead, duration_) : time_ + ahead;
}

void MpvMoviePlayer::setRate(float rate) {
    if (!(rate > 0.0f)) rate = 0.0f;
    if (!hasMovie_ || loadState_ == kMovieLoadStateError || rate == rate_) return;
    rate_ = rate;
    applyPlayback();
    postRateCheck();
}

void MpvMoviePlayer::setVolume(float gain) {
    volume_ = gain > 0.0f ? std::min(gain, 1.0f) : 0.0f;
    if (!mpv_) return;
    double volume = mpvVolumeForGain(volume_);
    mpv_set_property_async(mpv_, tag(Request::Other), "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvMoviePlayer::setMuted(bool muted) {
    muted_ = muted;
    if (!mpv_) return;
    int flag = muted ? 1 : 0;
    mpv_set_property_async(mpv_, tag(Request::Other), "mute", MPV_FORMAT_FLAG, &flag);
}

void MpvMoviePlayer::setHeld(bool held) {
    if (held == held_) return;
    held_ = held;
    applyPlayback();
    // A movie released at its end at a non-zero rate ends again at once.
    if (!held_) postRateCheck();
}

void MpvMoviePlayer::setSpeedTrim(double factor) {
    if (!std::isfinite(factor)) factor = 1.0;
    trim_ = std::clamp(factor, 0.5, 2.0);
    applyPlayback();
}

void MpvMoviePlayer::applyPlayback() {
    if (!mpv_) return;
    const bool pause = !hasMovie_ || held_ || rate_ <= 0.0f;
    if (!pause) {
        double speed = std::clamp(double(rate_) * trim_, 0.01, 100.0);
        if (speed != sentSpeed_) {
            sentSpeed_ = speed;
            mpv_set_property_async(mpv_, tag(Request::Other), "speed", MPV_FORMAT_DOUBLE, &speed);
        }
    }
    if (int(pause) != sentPause_) {
        // The frame on show has been there all the pause: the clock runs on from now.
        if (!pause) setTime(time_);
        sentPause_ = int(pause);
        int flag = pause ? 1 : 0;
        mpv_set_property_async(mpv_, tag(Request::Other), "pause", MPV_FORMAT_FLAG, &flag);
    }
}

void MpvMoviePlayer::postRateCheck() {
    if (rateCheckPosted_) return;
    rateCheckPosted_ = true;
    const std::uint32_t serial = serial_;
    QMetaObject::invokeMethod(
        context_.get(),
        [this, serial] {
            rateCheckPosted_ = false;
            if (serial != serial_) return;
            checkRate();
            // Playing from the end: mpv pauses again at once, so the movie ends again.
            if (serial == serial_ && atEnd_ && rate_ > 0.0f && !held_) reportEnd();
        },
        Qt::QueuedConnection);
}

void MpvMoviePlayer::checkRate() {
    if (rate_ == reportedRate_) return;
    reportedRate_ = rate_;
    notifyRateChanged();
}

void MpvMoviePlayer::reportEnd() {
    atEnd_ = true;
    rate_ = 0.0f;
    sentPause_ = -1;  // mpv paused itself at the end
    const std::uint32_t serial = serial_;
    checkRate();
    if (serial == serial_ && hasMovie_) notifyDidEnd();
}

void MpvMoviePlayer::fail(long code, const std::string& description) {
    if (loadState_ == kMovieLoadStateError) return;
    loadState_ = kMovieLoadStateError;
    error_ = {code, description};
    rate_ = 0.0f;
    reportedRate_ = 0.0f;
    notifyLoadStateChanged();
}

void MpvMoviePlayer::reportLoaded() {
    if (loadState_ != kMovieLoadStateLoading) return;
    loadState_ = kMovieLoadStateLoaded;
    const std::uint32_t serial = serial_;
    notifyLoadStateChanged();
    if (serial == serial_) reportPlayableWhenReady();
}

void MpvMoviePlayer::reportPlayableWhenReady() {
    if (loadState_ != kMovieLoadStateLoaded || !restarted_ || playableAsked_) return;
    // The picture size and frame rate are known once a frame is decoded; ask for both and report
    // when both answers are in.
    playableAsked_ = true;
    playableReplies_ = 2;
    mpv_get_property_async(mpv_, tag(Request::VideoParams), "video-params", MPV_FORMAT_NODE);
    mpv_get_property_async(mpv_, tag(Request::FrameRate), "container-fps", MPV_FORMAT_DOUBLE);
}

void MpvMoviePlayer::wakeup(void* self) {
    // Called on one of mpv's threads: only post.
    auto* player = static_cast<MpvMoviePlayer*>(self);
    player->lastWakeup_.store(steadySeconds());
    if (player->drainPosted_.exchange(true)) return;
    QMetaObject::invokeMethod(
        player->context_.get(),
        [player] {
            player->drainPosted_ = false;
            player->drainEvents();
        },
        Qt::QueuedConnection);
}

void MpvMoviePlayer::drainEvents() {
    drainWakeup_ = lastWakeup_.load();
    while (mpv_) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        // Observers may run a nested event loop that drains further events: nothing of `event`
        // is used after a notification.
        handleEvent(*event);
    }
}

void MpvMoviePlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        startedEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (!isCurrentFile() || loadState_ != kMovieLoadStateLoading) break;
        fileLoaded_ = true;
        mpv_get_property_async(mpv_, tag(Request::Duration), "duration", MPV_FORMAT_DOUBLE);
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!isCurrentFile() || !fileLoaded_) break;
        if (seekRestartPending_ && pendingSeeks_ == 0) {
            seekRestartPending_ = false;
            // The landed position, read by the core after the seek.
            mpv_get_property_async(mpv_, tag(Request::SeekTime), "time-pos", MPV_FORMAT_DOUBLE);
        }
        if (!restarted_) {
            restarted_ = true;
            reportPlayableWhenReady();
        }
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        // The end of a replaced file is someone else's entry and goes unreported.
        if (!hasMovie_ || end->playlist_entry_id != wantedEntry_) break;
        if (end->reason == MPV_END_FILE_REASON_ERROR) fail(end->error, mpv_error_string(end->error));
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE:
        handlePropertyChange(event);
        break;
    case MPV_EVENT_COMMAND_REPLY:
    case MPV_EVENT_GET_PROPERTY_REPLY:
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.reply_userdata >> 8 == serial_)
            handleReply(event, static_cast<Request>(event.reply_userdata & 0xff));
        break;
    default:
        break;
    }
}

void MpvMoviePlayer::handlePropertyChange(const mpv_event& event) {
    const auto& property = *static_cast<const mpv_event_property*>(event.data);
    // Values seen before our file loaded belong to the previous one.
    if (!isCurrentFile() || !fileLoaded_ || loadState_ == kMovieLoadStateError) return;
    const bool seeking = pendingSeeks_ > 0 || seekRestartPending_;
    if (std::strcmp(property.name, "time-pos") == 0) {
        double seconds = 0.0;
        // Sound may run a little past the last frame; the time stays within the movie.
        if (!seeking && propertyDouble(property, seconds)) {
            setTime(duration_ > 0.0 ? std::min(seconds, duration_) : seconds);
            timeSeenAt_ = std::min(timeSeenAt_, drainWakeup_);
        }
    } else if (std::strcmp(property.name, "eof-reached") == 0) {
        bool reached = false;
        if (seeking || !propertyFlag(property, reached)) return;
        if (!reached) {
            atEnd_ = false;
        } else if (!atEnd_) {
            atEnd_ = true;
            sentPause_ = -1;
            // Only playing reaches an end worth telling; a paused seek to the end just sits there.
            if (rate_ > 0.0f && !held_) reportEnd();
        }
    }
}

void MpvMoviePlayer::handleReply(const mpv_event& event, Request request) {
    switch (request) {
    case Request::Load: {
        if (event.error < 0) {
            fail(event.error, mpv_error_string(event.error));
            break;
        }
        const auto* reply = static_cast<const mpv_event_command*>(event.data);
        wantedEntry_ = mapInt(reply->result, "playlist_entry_id", -1);
        if (wantedEntry_ < 0) fail(MPV_ERROR_GENERIC, "no playlist entry for the file");
        break;
    }
    case Request::Duration: {
        double seconds = 0.0;
        if (event.error >= 0) propertyDouble(*static_cast<const mpv_event_property*>(event.data), seconds);
        duration_ = std::max(0.0, seconds);
        reportLoaded();
        break;
    }
    case Request::VideoParams:
    case Request::FrameRate: {
        if (event.error >= 0) {
            const auto& property = *static_cast<const mpv_event_property*>(event.data);
            if (request == Request::FrameRate) {
                double fps = 0.0;
                if (propertyDouble(property, fps) && fps > 0.0) fps_ = fps;
            } else if (property.format == MPV_FORMAT_NODE && property.data) {
                const auto& params = *static_cast<const mpv_node*>(property.data);
                size_.width = int(mapInt(params, "dw", mapInt(params, "w", 0)));
                size_.height = int(mapInt(params, "dh", mapInt(params, "h", 0)));
            }
        }
        if (--playableReplies_ == 0 && loadState_ == kMovieLoadStateLoaded) {
            loadState_ = kMovieLoadStatePlayable;
            notifyLoadStateChanged();
        }
        break;
    }
    case Request::Seek:
        if (pendingSeeks_ > 0) --pendingSeeks_;
        // A refused seek never restarts playback.
        if (event.error < 0 && pendingSeeks_ == 0) seekRestartPending_ = false;
        break;
    case Request::SeekTime:
        if (event.error >= 0 && pendingSeeks_ == 0 && !seekRestartPending_) {
            double seconds = 0.0;
            if (propertyDouble(*static_cast<const mpv_event_property*>(event.data), seconds)) setTime(seconds);
        }
        break;
    case Request::Other:
        break;
    }
}

MovieFrameImage MpvMoviePlayer::frameImage() {
    MovieFrameImage image;
    if (!mpv_ || !hasMovie_ || loadState_ != kMovieLoadStatePlayable) return image;
    CommandNode command;
    command.add("screenshot-raw").add("video");
    mpv_node result{};
    if (mpv_command_node(mpv_, command.node(), &result) < 0) return image;
    const int width = int(mapInt(result, "w", 0));
    const int height = int(mapInt(result, "h", 0));
    const std::int64_t stride = mapInt(result, "stride", 0);
    const mpv_node* format = mapValue(result, "format");
    const mpv_node* data = mapValue(result, "data");
    const bool usable = width > 0 && height > 0 && stride >= std::int64_t(width) * 4 && format &&
                        format->format == MPV_FORMAT_STRING && std::strcmp(format->u.string, "bgr0") == 0 &&
                        data && data->format == MPV_FORMAT_BYTE_ARRAY &&
                        data->u.ba->size >= std::size_t(stride) * std::size_t(height - 1) + std::size_t(width) * 4;
    if (usable) {
        image.width = width;
        image.height = height;
        image.stride = width * 4;
        image.pixels.resize(std::size_t(image.stride) * std::size_t(height));
        const auto* source = static_cast<const std::uint8_t*>(data->u.ba->data);
        for (int y = 0; y < height; ++y)
            std::memcpy(image.pixels.data() + std::size_t(y) * std::size_t(image.stride),
                        source + std::size_t(y) * std::size_t(stride), std::size_t(image.stride));
    }
    mpv_free_node_contents(&result);
    return image;
}
