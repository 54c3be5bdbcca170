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
        movie_.error = {MPV_ERROR_GENERIC, "the player could not be created (LC_NUMERIC must be \"C\")"};
        pmOutputDebugMsg("MpvMoviePlayer - " + movie_.error.description);
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
        if (const int refused = mpv_set_option_string(mpv, name, value.c_str()); refused < 0)
            pmOutputDebugMsgF("MpvMoviePlayer - option %s=%s refused: %s", name, value.c_str(),
                              mpv_error_string(refused));
    }
    const int rc = mpv_initialize(mpv);
    if (rc < 0) {
        movie_.error = {rc, mpv_error_string(rc)};
        pmOutputDebugMsg("MpvMoviePlayer - the player could not be started: " + movie_.error.description);
        mpv_destroy(mpv);
        return;
    }
    const std::pair<const char*, mpv_format> observed[] = {{"time-pos", MPV_FORMAT_DOUBLE},
                                                           {"eof-reached", MPV_FORMAT_FLAG}};
    for (const auto& [property, format] : observed)
        if (const int refused = mpv_observe_property(mpv, 0, property, format); refused < 0)
            pmOutputDebugMsgF("MpvMoviePlayer - observing %s refused: %s", property, mpv_error_string(refused));
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
    return movie_.hasMovie && movie_.wantedEntry >= 0 && startedEntry_ == movie_.wantedEntry;
}

bool MpvMoviePlayer::open(const std::string& path) {
    if (!mpv_) return false;
    movie_ = {};
    ++serial_;
    movie_.hasMovie = true;
    movie_.path = path;
    movie_.loadState = kMovieLoadStateLoading;
    trim_ = 1.0;
    applyPlayback();  // paused before the file starts
    CommandNode command;
    command.add("loadfile").add(movie_.path.c_str()).add("replace");
    const int rc = mpv_command_node_async(mpv_, tag(Request::Load), command.node());
    if (rc < 0) {
        movie_ = {};
        movie_.error = {rc, mpv_error_string(rc)};
        return false;
    }
    return true;
}

void MpvMoviePlayer::close() {
    if (!movie_.hasMovie) return;
    movie_ = {};
    ++serial_;
    if (!mpv_) return;
    applyPlayback();
    CommandNode command;
    command.add("stop");
    mpv_command_node_async(mpv_, tag(Request::Other), command.node());
}

void MpvMoviePlayer::setCurrentTime(double seconds) {
    if (!mpv_ || !movie_.fileLoaded || movie_.loadState < kMovieLoadStateLoaded || !std::isfinite(seconds)) return;
    seconds = std::max(0.0, seconds);
    if (movie_.duration > 0.0) seconds = std::min(seconds, movie_.duration);
    // mpv lands on the first frame at or after the time; the frame on show at that time is the one
    // that began at or before it.
    if (movie_.fps > 0.0) seconds = std::floor(seconds * movie_.fps + 1e-6) / movie_.fps;
    CommandNode command;
    command.add("seek").add(seconds).add("absolute+exact");
    if (mpv_command_node_async(mpv_, tag(Request::Seek), command.node()) < 0) return;
    // Until the seek has landed, observed times are of the old position.
    ++movie_.pendingSeeks;
    movie_.seekRestartPending = true;
    setTime(seconds);
    movie_.atEnd = false;
}

void MpvMoviePlayer::setTime(double seconds) {
    movie_.time = seconds;
    movie_.timeSeenAt = steadySeconds();
}

double MpvMoviePlayer::playbackClock() const {
    const bool moving = movie_.loadState == kMovieLoadStatePlayable && movie_.rate > 0.0f && !held_ && !movie_.atEnd &&
                        movie_.pendingSeeks == 0 && !movie_.seekRestartPending;
    if (!moving) return movie_.time;
    const double speed = double(movie_.rate) * trim_;
    const double frame = movie_.fps > 0.0 ? 1.0 / movie_.fps : 1.0 / 30.0;
    const double ahead = std::clamp((steadySeconds() - movie_.timeSeenAt) * speed, 0.0, 1.5 * frame);
    return movie_.duration > 0.0 ? std::min(movie_.time + ahead, movie_.duration) : movie_.time + ahead;
}

void MpvMoviePlayer::setRate(float rate) {
    if (!(rate > 0.0f)) rate = 0.0f;
    if (!movie_.hasMovie || movie_.loadState == kMovieLoadStateError || rate == movie_.rate) return;
    movie_.rate = rate;
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
    const bool pause = !movie_.hasMovie || held_ || movie_.rate <= 0.0f;
    if (!pause) {
        double speed = std::clamp(double(movie_.rate) * trim_, 0.01, 100.0);
        if (speed != sentSpeed_) {
            sentSpeed_ = speed;
            mpv_set_property_async(mpv_, tag(Request::Other), "speed", MPV_FORMAT_DOUBLE, &speed);
        }
    }
    if (int(pause) != sentPause_) {
        // The frame on show has been there all the pause: the clock runs on from now.
        if (!pause) setTime(movie_.time);
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
            if (serial == serial_ && movie_.atEnd && movie_.rate > 0.0f && !held_) reportEnd();
        },
        Qt::QueuedConnection);
}

void MpvMoviePlayer::checkRate() {
    if (movie_.rate == movie_.reportedRate) return;
    movie_.reportedRate = movie_.rate;
    notifyRateChanged();
}

void MpvMoviePlayer::reportEnd() {
    movie_.atEnd = true;
    movie_.rate = 0.0f;
    sentPause_ = -1;  // mpv paused itself at the end
    const std::uint32_t serial = serial_;
    checkRate();
    if (serial == serial_ && movie_.hasMovie) notifyDidEnd();
}

void MpvMoviePlayer::fail(long code, const std::string& description) {
    if (movie_.loadState == kMovieLoadStateError) return;
    movie_.loadState = kMovieLoadStateError;
    movie_.error = {code, description};
    movie_.rate = 0.0f;
    movie_.reportedRate = 0.0f;
    notifyLoadStateChanged();
}

void MpvMoviePlayer::reportLoaded() {
    if (movie_.loadState != kMovieLoadStateLoading) return;
    movie_.loadState = kMovieLoadStateLoaded;
    const std::uint32_t serial = serial_;
    notifyLoadStateChanged();
    if (serial == serial_) reportPlayableWhenReady();
}

void MpvMoviePlayer::reportPlayableWhenReady() {
    if (movie_.loadState != kMovieLoadStateLoaded || !movie_.restarted || movie_.playableAsked) return;
    // The picture size and frame rate are known once a frame is decoded; ask for both and report
    // when both answers are in.
    movie_.playableAsked = true;
    movie_.playableReplies = 2;
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
        if (!isCurrentFile() || movie_.loadState != kMovieLoadStateLoading) break;
        movie_.fileLoaded = true;
        mpv_get_property_async(mpv_, tag(Request::Duration), "duration", MPV_FORMAT_DOUBLE);
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (!isCurrentFile() || !movie_.fileLoaded) break;
        if (movie_.seekRestartPending && movie_.pendingSeeks == 0) {
            movie_.seekRestartPending = false;
            // The landed position, read by the core after the seek.
            mpv_get_property_async(mpv_, tag(Request::SeekTime), "time-pos", MPV_FORMAT_DOUBLE);
        }
        if (!movie_.restarted) {
            movie_.restarted = true;
            reportPlayableWhenReady();
        }
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        // The end of a replaced file is someone else's entry and goes unreported.
        if (!movie_.hasMovie || end->playlist_entry_id != movie_.wantedEntry) break;
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
    if (!isCurrentFile() || !movie_.fileLoaded || movie_.loadState == kMovieLoadStateError) return;
    const bool seeking = movie_.pendingSeeks > 0 || movie_.seekRestartPending;
    if (std::strcmp(property.name, "time-pos") == 0) {
        double seconds = 0.0;
        // Sound may run a little past the last frame; the time stays within the movie.
        if (!seeking && propertyDouble(property, seconds)) {
            setTime(movie_.duration > 0.0 ? std::min(seconds, movie_.duration) : seconds);
            movie_.timeSeenAt = std::min(movie_.timeSeenAt, drainWakeup_);
        }
    } else if (std::strcmp(property.name, "eof-reached") == 0) {
        bool reached = false;
        if (seeking || !propertyFlag(property, reached)) return;
        if (!reached) {
            movie_.atEnd = false;
        } else if (!movie_.atEnd) {
            movie_.atEnd = true;
            sentPause_ = -1;
            // Only playing reaches an end worth telling; a paused seek to the end just sits there.
            if (movie_.rate > 0.0f && !held_) reportEnd();
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
        movie_.wantedEntry = mapInt(reply->result, "playlist_entry_id", -1);
        if (movie_.wantedEntry < 0) fail(MPV_ERROR_GENERIC, "no playlist entry for the file");
        break;
    }
    case Request::Duration: {
        double seconds = 0.0;
        if (event.error >= 0) propertyDouble(*static_cast<const mpv_event_property*>(event.data), seconds);
        movie_.duration = std::max(0.0, seconds);
        reportLoaded();
        break;
    }
    case Request::VideoParams:
    case Request::FrameRate: {
        if (event.error >= 0) {
            const auto& property = *static_cast<const mpv_event_property*>(event.data);
            if (request == Request::FrameRate) {
                double fps = 0.0;
                if (propertyDouble(property, fps) && fps > 0.0) movie_.fps = fps;
            } else if (property.format == MPV_FORMAT_NODE && property.data) {
                const auto& params = *static_cast<const mpv_node*>(property.data);
                movie_.size.width = int(mapInt(params, "dw", mapInt(params, "w", 0)));
                movie_.size.height = int(mapInt(params, "dh", mapInt(params, "h", 0)));
            }
        }
        if (--movie_.playableReplies == 0 && movie_.loadState == kMovieLoadStateLoaded) {
            movie_.loadState = kMovieLoadStatePlayable;
            notifyLoadStateChanged();
        }
        break;
    }
    case Request::Seek:
        if (movie_.pendingSeeks > 0) --movie_.pendingSeeks;
        // A refused seek never restarts playback.
        if (event.error < 0 && movie_.pendingSeeks == 0) movie_.seekRestartPending = false;
        break;
    case Request::SeekTime:
        if (event.error >= 0 && movie_.pendingSeeks == 0 && !movie_.seekRestartPending) {
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
    if (!mpv_ || !movie_.hasMovie || movie_.loadState != kMovieLoadStatePlayable) return image;
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
