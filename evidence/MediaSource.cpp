#include "evidence/MediaSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

std::string pmAvErrorText(const char* what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(what) + ": " + text;
}

struct MediaSource::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    int video = -1;
    int audio = -1;
    double origin = 0.0;  // the container's start time, media time 0
    bool draining = false;

    ~State() {
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }
};

MediaSource::MediaSource() : s_(std::make_unique<State>()) {}
MediaSource::~MediaSource() = default;

bool MediaSource::open(const std::string& path, std::string& error) {
    State& s = *s_;
    int rc = avformat_open_input(&s.format, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = pmAvErrorText("opening the recording", rc);
        return false;
    }
    rc = avformat_find_stream_info(s.format, nullptr);
    if (rc < 0) {
        error = pmAvErrorText("reading the recording's streams", rc);
        return false;
    }
    const AVCodec* codec = nullptr;
    s.video = av_find_best_stream(s.format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (s.video < 0 || !codec) {
        error = "the recording has no video that can be decoded";
        return false;
    }
    s.audio = av_find_best_stream(s.format, AVMEDIA_TYPE_AUDIO, -1, s.video, nullptr, 0);
    if (s.audio < 0) s.audio = -1;
    if (s.format->start_time != AV_NOPTS_VALUE) s.origin = double(s.format->start_time) / AV_TIME_BASE;

    s.decoder = avcodec_alloc_context3(codec);
    s.packet = av_packet_alloc();
    if (!s.decoder || !s.packet) {
        error = "out of memory";
        return false;
    }
    rc = avcodec_parameters_to_context(s.decoder, s.format->streams[s.video]->codecpar);
    if (rc < 0) {
        error = pmAvErrorText("setting up the video decoder", rc);
        return false;
    }
    s.decoder->thread_count = 0;
    s.decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    s.decoder->pkt_timebase = s.format->streams[s.video]->time_base;
    rc = avcodec_open2(s.decoder, codec, nullptr);
    if (rc < 0) {
        error = pmAvErrorText("opening the video decoder", rc);
        return false;
    }
    return true;
}

bool MediaSource::seek(double seconds) {
    State& s = *s_;
    if (seconds <= 0.0) return true;
    const AVStream* stream = s.format->streams[s.video];
    const auto target = static_cast<std::int64_t>((seconds + s.origin) / av_q2d(stream->time_base));
    if (av_seek_frame(s.format, s.video, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
    avcodec_flush_buffers(s.decoder);
    s.draining = false;
    return true;
}

int MediaSource::width() const { return s_->decoder ? s_->decoder->width : 0; }
int MediaSource::height() const { return s_->decoder ? s_->decoder->height : 0; }

double MediaSource::frameRate() const {
    if (s_->video < 0) return 0.0;
    const AVRational rate = av_guess_frame_rate(s_->format, s_->format->streams[s_->video], nullptr);
    return rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0.0;
}

double MediaSource::duration() const {
    if (!s_->format || s_->format->duration == AV_NOPTS_VALUE) return 0.0;
    return double(s_->format->duration) / AV_TIME_BASE;
}

AVStream* MediaSource::videoStream() const { return s_->video >= 0 ? s_->format->streams[s_->video] : nullptr; }
AVStream* MediaSource::audioStream() const { return s_->audio >= 0 ? s_->format->streams[s_->audio] : nullptr; }

double MediaSource::timeOf(const AVFrame* frame) const {
    std::int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) pts = frame->pts;
    if (pts == AV_NOPTS_VALUE) return 0.0;
    return double(pts) * av_q2d(s_->format->streams[s_->video]->time_base) - s_->origin;
}

double MediaSource::timeOf(const AVPacket* packet, const AVStream* stream) const {
    const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (pts == AV_NOPTS_VALUE) return 0.0;
    return double(pts) * av_q2d(stream->time_base) - s_->origin;
}

// The next packet of the video stream; audio packets on the way go to the sink.
bool MediaSource::readPacket(AVPacket* packet) {
    State& s = *s_;
    for (;;) {
        const int rc = av_read_frame(s.format, packet);
        if (rc < 0) {
            if (rc != AVERROR_EOF) error_ = pmAvErrorText("reading the recording", rc);
            return false;
        }
        if (packet->stream_index == s.video) return true;
        if (packet->stream_index == s.audio && audioSink_ && !audioSink_(packet)) {
            av_packet_unref(packet);
            error_ = "writing the sound failed";
            return false;
        }
        av_packet_unref(packet);
    }
}

bool MediaSource::nextFrame(AVFrame* frame) {
    State& s = *s_;
    for (;;) {
        int rc = avcodec_receive_frame(s.decoder, frame);
        if (rc == 0) return true;
        if (rc == AVERROR_EOF) return false;
        if (rc != AVERROR(EAGAIN)) {
            error_ = pmAvErrorText("decoding the video", rc);
            return false;
        }
        if (s.draining) return false;
        if (!readPacket(s.packet)) {
            if (!error_.empty()) return false;
            s.draining = true;
            avcodec_send_packet(s.decoder, nullptr);
            continue;
        }
        rc = avcodec_send_packet(s.decoder, s.packet);
        av_packet_unref(s.packet);
        // A damaged packet (a recording cut short by a power loss) is skipped, as a player does.
        if (rc < 0 && rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA) {
            error_ = pmAvErrorText("decoding the video", rc);
            return false;
        }
    }
}

void MediaSource::drainAudioUntil(double seconds) {
    State& s = *s_;
    if (s.audio < 0 || !audioSink_) return;
    AVPacket* packet = s.packet;
    while (av_read_frame(s.format, packet) >= 0) {
        const bool audio = packet->stream_index == s.audio;
        const bool past = audio && timeOf(packet, s.format->streams[s.audio]) >= seconds;
        if (audio && !past && !audioSink_(packet)) error_ = "writing the sound failed";
        av_packet_unref(packet);
        if (past || !error_.empty()) return;
    }
}
