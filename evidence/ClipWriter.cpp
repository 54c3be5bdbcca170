#include "evidence/ClipWriter.h"

#include "evidence/MediaSource.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

// The sample rate the AAC encoder takes that is closest to the source's.
int aacSampleRate(const AVCodec* encoder, int wanted) {
    int best = 48000;
    if (!encoder->supported_samplerates) return wanted > 0 ? wanted : best;
    for (const int* rate = encoder->supported_samplerates; *rate; ++rate)
        if (std::abs(*rate - wanted) < std::abs(best - wanted)) best = *rate;
    return best;
}

}  // namespace

struct ClipWriter::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVStream* videoOut = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AVRational videoTimeBase{1, 1};

    // Sound: copied packets, or decoded, resampled and encoded again.
    const AVStream* audioIn = nullptr;
    AVStream* audioOut = nullptr;
    AVCodecContext* audioDecoder = nullptr;
    AVCodecContext* audioEncoder = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* audioFrame = nullptr;
    std::int64_t audioStart = 0;   // the clip's start in the audio source's time base
    std::int64_t samplesOut = -1;  // pts of the next encoded sample; -1 before the first
    bool transcode = false;

    bool headerWritten = false;
    bool finished = false;
    int frames = 0;
    int writeError = 0;

    // Notes a failed write to the file; FFmpeg's error codes carry the system's error numbers.
    std::string fileError(const char* what, int code) {
        if (code < 0 && AVUNERROR(code) > 0 && AVUNERROR(code) < 4096) writeError = AVUNERROR(code);
        return pmAvErrorText(what, code);
    }

    ~State() {
        if (headerWritten && !finished) av_write_trailer(format);
        av_frame_free(&audioFrame);
        if (fifo) av_audio_fifo_free(fifo);
        swr_free(&resampler);
        avcodec_free_context(&audioEncoder);
        avcodec_free_context(&audioDecoder);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&video);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool mux(AVPacket* p, AVRational from, AVStream* to, std::string& error) {
        av_packet_rescale_ts(p, from, to->time_base);
        p->stream_index = to->index;
        const int rc = av_interleaved_write_frame(format, p);
        if (rc < 0) {
            error = fileError("writing the clip", rc);
            return false;
        }
        return true;
    }

    bool drain(AVCodecContext* encoder, AVStream* to, std::string& error) {
        for (;;) {
            const int rc = avcodec_receive_packet(encoder, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                error = pmAvErrorText("encoding the clip", rc);
                return false;
            }
            if (!mux(packet, encoder->time_base, to, error)) return false;
        }
    }

    bool encode(AVCodecContext* encoder, AVFrame* input, AVStream* to, std::string& error) {
        const int rc = avcodec_send_frame(encoder, input);
        if (rc < 0 && !(input == nullptr && rc == AVERROR_EOF)) {
            error = pmAvErrorText("encoding the clip", rc);
            return false;
        }
        return drain(encoder, to, error);
    }

    bool openVideo(const ClipWriter::Settings& settings, const AVStream* source, std::string& error) {
        const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
        if (!encoder) {
            error = "this FFmpeg has no H.264 encoder (libx264)";
            return false;
        }
        videoOut = avformat_new_stream(format, nullptr);
        video = avcodec_alloc_context3(encoder);
        if (!videoOut || !video) {
            error = "out of memory";
            return false;
        }
        videoTimeBase = source->time_base;
        video->width = settings.width;
        video->height = settings.height;
        video->time_base = videoTimeBase;
        const AVRational rate = av_d2q(settings.frameRate > 0 ? settings.frameRate : 30.0, 100000);
        video->framerate = rate;
        video->sample_aspect_ratio = AVRational{1, 1};
        video->pix_fmt = AV_PIX_FMT_YUV420P;
        video->color_range = AVCOL_RANGE_MPEG;
        video->gop_size = std::max(1, int(std::lround(av_q2d(rate) * 2)));
        video->thread_count = 0;
        if (format->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(video->priv_data, "preset", "veryfast", 0);
        av_opt_set(video->priv_data, "crf", std::to_string(settings.quality).c_str(), 0);
        int rc = avcodec_open2(video, encoder, nullptr);
        if (rc < 0) {
            error = pmAvErrorText("opening the H.264 encoder", rc);
            return false;
        }
        rc = avcodec_parameters_from_context(videoOut->codecpar, video);
        if (rc < 0) {
            error = pmAvErrorText("setting up the clip's video", rc);
            return false;
        }
        videoOut->time_base = videoTimeBase;
        videoOut->avg_frame_rate = rate;
        frame->format = video->pix_fmt;
        frame->width = video->width;
        frame->height = video->height;
        frame->color_range = video->color_range;
        rc = av_frame_get_buffer(frame, 0);
        if (rc < 0) {
            error = pmAvErrorText("allocating a frame", rc);
            return false;
        }
        return true;
    }

    bool openAudioCopy(const AVStream* source, std::string& error) {
        audioOut = avformat_new_stream(format, nullptr);
        if (!audioOut) {
            error = "out of memory";
            return false;
        }
        const int rc = avcodec_parameters_copy(audioOut->codecpar, source->codecpar);
        if (rc < 0) {
            error = pmAvErrorText("setting up the clip's sound", rc);
            return false;
        }
        audioOut->codecpar->codec_tag = 0;
        audioOut->time_base = source->time_base;
        return true;
    }

    bool openAudioTranscode(const AVStream* source, std::string& error) {
        const AVCodec* decoder = avcodec_find_decoder(source->codecpar->codec_id);
        const AVCodec* encoder = avcodec_find_encoder_by_name("aac");
        if (!decoder || !encoder) {
            error = "the recording's sound cannot be decoded";
            return false;
        }
        audioDecoder = avcodec_alloc_context3(decoder);
        audioEncoder = avcodec_alloc_context3(encoder);
        audioOut = avformat_new_stream(format, nullptr);
        audioFrame = av_frame_alloc();
        if (!audioDecoder || !audioEncoder || !audioOut || !audioFrame) {
            error = "out of memory";
            return false;
        }
        int rc = avcodec_parameters_to_context(audioDecoder, source->codecpar);
        if (rc >= 0) {
            audioDecoder->pkt_timebase = source->time_base;
            rc = avcodec_open2(audioDecoder, decoder, nullptr);
        }
        if (rc < 0) {
            error = pmAvErrorText("opening the sound decoder", rc);
            return false;
        }
        AVChannelLayout layout;
        if (audioDecoder->ch_layout.nb_channels >= 2) av_channel_layout_default(&layout, 2);
        else av_channel_layout_default(&layout, 1);
        av_channel_layout_copy(&audioEncoder->ch_layout, &layout);
        audioEncoder->sample_rate = aacSampleRate(encoder, audioDecoder->sample_rate);
        audioEncoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
        audioEncoder->bit_rate = 64000 * layout.nb_channels;
        audioEncoder->time_base = AVRational{1, audioEncoder->sample_rate};
        if (format->oformat->flags & AVFMT_GLOBALHEADER) audioEncoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        rc = avcodec_open2(audioEncoder, encoder, nullptr);
        if (rc >= 0) rc = avcodec_parameters_from_context(audioOut->codecpar, audioEncoder);
        if (rc < 0) {
            error = pmAvErrorText("opening the AAC encoder", rc);
            return false;
        }
        audioOut->time_base = audioEncoder->time_base;
        rc = swr_alloc_set_opts2(&resampler, &audioEncoder->ch_layout, audioEncoder->sample_fmt,
                                 audioEncoder->sample_rate, &audioDecoder->ch_layout, audioDecoder->sample_fmt,
                                 audioDecoder->sample_rate, 0, nullptr);
        if (rc >= 0) rc = swr_init(resampler);
        if (rc < 0) {
            error = pmAvErrorText("setting up the sound resampler", rc);
            return false;
        }
        fifo = av_audio_fifo_alloc(audioEncoder->sample_fmt, layout.nb_channels, audioEncoder->frame_size * 4);
        if (!fifo) {
            error = "out of memory";
            return false;
        }
        transcode = true;
        return true;
    }

    // Encodes whole encoder frames from the FIFO; with `all`, the rest too.
    bool encodeFifo(bool all, std::string& error) {
        const int size = audioEncoder->frame_size;
        while (av_audio_fifo_size(fifo) >= size || (all && av_audio_fifo_size(fifo) > 0)) {
            AVFrame* out = av_frame_alloc();
            if (!out) {
                error = "out of memory";
                return false;
            }
            out->nb_samples = std::min(size, av_audio_fifo_size(fifo));
            out->format = audioEncoder->sample_fmt;
            out->sample_rate = audioEncoder->sample_rate;
            av_channel_layout_copy(&out->ch_layout, &audioEncoder->ch_layout);
            bool ok = av_frame_get_buffer(out, 0) >= 0 &&
                      av_audio_fifo_read(fifo, reinterpret_cast<void**>(out->data), out->nb_samples) == out->nb_samples;
            if (ok) {
                out->pts = samplesOut;
                samplesOut += out->nb_samples;
                ok = encode(audioEncoder, out, audioOut, error);
            } else {
                error = "buffering the sound failed";
            }
            av_frame_free(&out);
            if (!ok) return false;
        }
        return true;
    }

    bool transcodeAudio(AVPacket* input, std::string& error) {
        int rc = avcodec_send_packet(audioDecoder, input);
        if (rc < 0 && rc != AVERROR_INVALIDDATA && rc != AVERROR_EOF) {
            error = pmAvErrorText("decoding the sound", rc);
            return false;
        }
        for (;;) {
            rc = avcodec_receive_frame(audioDecoder, audioFrame);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                error = pmAvErrorText("decoding the sound", rc);
                return false;
            }
            if (samplesOut < 0) {
                const std::int64_t pts = audioFrame->best_effort_timestamp;
                const double seconds =
                    pts == AV_NOPTS_VALUE ? 0.0 : double(pts - audioStart) * av_q2d(audioIn->time_base);
                samplesOut = std::max<std::int64_t>(0, std::llround(seconds * audioEncoder->sample_rate));
            }
            const int room = swr_get_out_samples(resampler, audioFrame->nb_samples);
            AVFrame* converted = av_frame_alloc();
            if (!converted) {
                error = "out of memory";
                return false;
            }
            converted->nb_samples = room;
            converted->format = audioEncoder->sample_fmt;
            converted->sample_rate = audioEncoder->sample_rate;
            av_channel_layout_copy(&converted->ch_layout, &audioEncoder->ch_layout);
            int got = av_frame_get_buffer(converted, 0);
            if (got >= 0)
                got = swr_convert(resampler, converted->data, room, const_cast<const std::uint8_t**>(audioFrame->data),
                                  audioFrame->nb_samples);
            const bool ok = got >= 0 && av_audio_fifo_write(fifo, reinterpret_cast<void**>(converted->data), got) == got;
            av_frame_free(&converted);
            av_frame_unref(audioFrame);
            if (!ok) {
                error = "resampling the sound failed";
                return false;
            }
            if (!encodeFifo(false, error)) return false;
        }
    }
};

ClipWriter::ClipWriter() : s_(std::make_unique<State>()) {}
ClipWriter::~ClipWriter() = default;

bool ClipWriter::open(const std::string& path, const Settings& settings, const AVStream* videoSource,
                      const AVStream* audioSource, double start, std::string& error) {
    State& s = *s_;
    int rc = avformat_alloc_output_context2(&s.format, nullptr, "mp4", path.c_str());
    if (rc < 0 || !s.format) {
        error = pmAvErrorText("creating the clip", rc);
        return false;
    }
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.frame || !s.packet) {
        error = "out of memory";
        return false;
    }
    if (!s.openVideo(settings, videoSource, error)) return false;
    if (audioSource) {
        s.audioIn = audioSource;
        s.audioStart = std::llround(start / av_q2d(audioSource->time_base));
        const bool fits = avformat_query_codec(s.format->oformat, audioSource->codecpar->codec_id,
                                               FF_COMPLIANCE_NORMAL) == 1;
        if (!(fits ? s.openAudioCopy(audioSource, error) : s.openAudioTranscode(audioSource, error))) return false;
    }
    rc = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        error = s.fileError("creating the clip", rc);
        return false;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    if (rc < 0) {
        error = s.fileError("writing the clip's header", rc);
        return false;
    }
    s.headerWritten = true;
    return true;
}

AVFrame* ClipWriter::frameToFill(std::string& error) {
    const int rc = av_frame_make_writable(s_->frame);
    if (rc < 0) {
        error = pmAvErrorText("reusing a frame", rc);
        return nullptr;
    }
    return s_->frame;
}

bool ClipWriter::writeFrame(std::int64_t pts, std::string& error) {
    s_->frame->pts = pts;
    if (!s_->encode(s_->video, s_->frame, s_->videoOut, error)) return false;
    ++s_->frames;
    return true;
}

bool ClipWriter::writeAudio(AVPacket* packet, std::string& error) {
    State& s = *s_;
    if (!s.audioOut) return true;
    const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (pts == AV_NOPTS_VALUE || pts < s.audioStart) return true;
    if (s.transcode) return s.transcodeAudio(packet, error);
    AVPacket* copy = av_packet_clone(packet);
    if (!copy) {
        error = "out of memory";
        return false;
    }
    if (copy->pts != AV_NOPTS_VALUE) copy->pts -= s.audioStart;
    if (copy->dts != AV_NOPTS_VALUE) copy->dts -= s.audioStart;
    copy->pos = -1;
    const bool ok = s.mux(copy, s.audioIn->time_base, s.audioOut, error);
    av_packet_free(&copy);
    return ok;
}

bool ClipWriter::finish(std::string& error) {
    State& s = *s_;
    if (!s.encode(s.video, nullptr, s.videoOut, error)) return false;
    if (s.transcode) {
        if (!s.transcodeAudio(nullptr, error) || !s.encodeFifo(true, error) ||
            !s.encode(s.audioEncoder, nullptr, s.audioOut, error))
            return false;
    }
    s.finished = true;
    int rc = av_write_trailer(s.format);
    if (rc >= 0) rc = avio_closep(&s.format->pb);
    if (rc < 0) {
        error = s.fileError("completing the clip", rc);
        return false;
    }
    return true;
}

int ClipWriter::writeErrorNumber() const { return s_->writeError; }
bool ClipWriter::hasAudio() const { return s_->audioOut != nullptr; }
bool ClipWriter::audioTranscoded() const { return s_->transcode; }
int ClipWriter::framesWritten() const { return s_->frames; }
