#include "tools/VideoEncoder.h"

#include <algorithm>
#include <cstddef>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace {

std::string avError(const char* what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(what) + ": " + text;
}

const char* formatName(SampleContainer container) {
    switch (container) {
    case SampleContainer::Mp4:
        return "mp4";
    case SampleContainer::Mov:
        return "mov";
    case SampleContainer::Avi:
        return "avi";
    }
    return "mp4";
}

const AVCodec* findEncoder(SampleCodec codec) {
    switch (codec) {
    case SampleCodec::H264:
        return avcodec_find_encoder_by_name("libx264");
    case SampleCodec::Mjpeg:
        return avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    case SampleCodec::Mpeg4:
        return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    }
    return nullptr;
}

int average4(int a, int b, int c, int d) { return (a + b + c + d + 2) >> 2; }

// BT.601 colours with integer arithmetic, the same on every machine: studio range (16-235) for
// H.264 and MPEG-4, full range for JPEG. Chroma takes the mean of each 2x2 block.
template <bool FullRange>
void rgbToYuv420(const RgbImage& image, std::uint8_t* const planes[], const int strides[]) {
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* p = image.row(y);
        std::uint8_t* out = planes[0] + std::ptrdiff_t(y) * strides[0];
        for (int x = 0; x < image.width; ++x) {
            const int r = p[3 * x], g = p[3 * x + 1], b = p[3 * x + 2];
            out[x] = std::uint8_t(FullRange ? (77 * r + 150 * g + 29 * b + 128) >> 8
                                            : 16 + ((66 * r + 129 * g + 25 * b + 128) >> 8));
        }
    }
    for (int y = 0; y < (image.height + 1) / 2; ++y) {
        const std::uint8_t* row0 = image.row(2 * y);
        const std::uint8_t* row1 = image.row(std::min(2 * y + 1, image.height - 1));
        std::uint8_t* u = planes[1] + std::ptrdiff_t(y) * strides[1];
        std::uint8_t* v = planes[2] + std::ptrdiff_t(y) * strides[2];
        for (int x = 0; x < (image.width + 1) / 2; ++x) {
            const std::size_t x0 = std::size_t(2 * x) * 3, x1 = std::size_t(std::min(2 * x + 1, image.width - 1)) * 3;
            const int r = average4(row0[x0], row0[x1], row1[x0], row1[x1]);
            const int g = average4(row0[x0 + 1], row0[x1 + 1], row1[x0 + 1], row1[x1 + 1]);
            const int b = average4(row0[x0 + 2], row0[x1 + 2], row1[x0 + 2], row1[x1 + 2]);
            if constexpr (FullRange) {
                u[x] = std::uint8_t(std::clamp(128 + ((-43 * r - 85 * g + 128 * b + 128) >> 8), 0, 255));
                v[x] = std::uint8_t(std::clamp(128 + ((128 * r - 107 * g - 21 * b + 128) >> 8), 0, 255));
            } else {
                u[x] = std::uint8_t(128 + ((-38 * r - 74 * g + 112 * b + 128) >> 8));
                v[x] = std::uint8_t(128 + ((112 * r - 94 * g - 18 * b + 128) >> 8));
            }
        }
    }
}

}  // namespace

struct VideoEncoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AVBSFContext* filter = nullptr;  // drops the H.264 encoder's version notice (an SEI unit)
    Settings settings;
    std::int64_t nextPts = 0;
    bool headerWritten = false;
    bool finished = false;

    ~State() {
        if (headerWritten && !finished) av_write_trailer(format);
        av_bsf_free(&filter);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    // Sends a frame (or null to flush) and writes every packet the encoder gives back.
    bool encode(AVFrame* input, std::string& error) {
        int rc = avcodec_send_frame(codec, input);
        if (rc < 0) {
            error = avError("sending a frame to the encoder", rc);
            return false;
        }
        for (;;) {
            rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                error = avError("encoding", rc);
                return false;
            }
            if (!filter) {
                if (!write(error)) return false;
                continue;
            }
            rc = av_bsf_send_packet(filter, packet);
            if (rc < 0) {
                error = avError("filtering a packet", rc);
                return false;
            }
            if (!drainFilter(error)) return false;
        }
    }

    bool drainFilter(std::string& error) {
        for (;;) {
            const int rc = av_bsf_receive_packet(filter, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                error = avError("filtering a packet", rc);
                return false;
            }
            if (!write(error)) return false;
        }
    }

    bool flush(std::string& error) {
        if (!encode(nullptr, error)) return false;
        if (!filter) return true;
        const int rc = av_bsf_send_packet(filter, nullptr);
        if (rc < 0) {
            error = avError("flushing the filter", rc);
            return false;
        }
        return drainFilter(error);
    }

    bool write(std::string& error) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int rc = av_interleaved_write_frame(format, packet);
        if (rc < 0) {
            error = avError("writing a packet", rc);
            return false;
        }
        return true;
    }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

bool VideoEncoder::open(const std::string& path, const Settings& settings, std::string& error) {
    state_ = std::make_unique<State>();
    State& s = *state_;
    s.settings = settings;
    int rc = avformat_alloc_output_context2(&s.format, nullptr, formatName(settings.container), path.c_str());
    if (rc < 0 || !s.format) {
        error = avError("creating the container", rc);
        return false;
    }
    s.format->flags |= AVFMT_FLAG_BITEXACT;

    const AVCodec* encoder = findEncoder(settings.codec);
    if (!encoder) {
        error = "this FFmpeg has no encoder for the codec";
        return false;
    }
    s.stream = avformat_new_stream(s.format, nullptr);
    s.codec = avcodec_alloc_context3(encoder);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.stream || !s.codec || !s.frame || !s.packet) {
        error = "out of memory";
        return false;
    }

    AVCodecContext* c = s.codec;
    c->width = settings.width;
    c->height = settings.height;
    c->time_base = AVRational{1, settings.fps};
    c->framerate = AVRational{settings.fps, 1};
    c->sample_aspect_ratio = AVRational{1, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_SMPTE170M;
    c->gop_size = settings.fps;  // a key frame every second, as cameras do
    c->max_b_frames = 0;
    c->thread_count = 1;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    switch (settings.codec) {
    case SampleCodec::H264:
        av_opt_set(c->priv_data, "preset", "superfast", 0);
        av_opt_set(c->priv_data, "profile", "main", 0);
        av_opt_set(c->priv_data, "crf", std::to_string(settings.quality).c_str(), 0);
        break;
    case SampleCodec::Mjpeg:
        c->color_range = AVCOL_RANGE_JPEG;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 6;
        break;
    case SampleCodec::Mpeg4:
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 5;
        break;
    }
    rc = avcodec_open2(c, encoder, nullptr);
    if (rc < 0) {
        error = avError("opening the encoder", rc);
        return false;
    }
    rc = avcodec_parameters_from_context(s.stream->codecpar, c);
    if (rc < 0) {
        error = avError("copying the stream parameters", rc);
        return false;
    }
    s.stream->time_base = c->time_base;
    if (settings.codec == SampleCodec::H264) {
        const AVBitStreamFilter* units = av_bsf_get_by_name("filter_units");
        rc = units ? av_bsf_alloc(units, &s.filter) : AVERROR_BSF_NOT_FOUND;
        if (rc >= 0) rc = avcodec_parameters_copy(s.filter->par_in, s.stream->codecpar);
        if (rc >= 0) {
            s.filter->time_base_in = c->time_base;
            rc = av_opt_set(s.filter->priv_data, "remove_types", "6", 0);
        }
        if (rc >= 0) rc = av_bsf_init(s.filter);
        if (rc >= 0) rc = avcodec_parameters_copy(s.stream->codecpar, s.filter->par_out);
        if (rc < 0) {
            error = avError("setting up the unit filter", rc);
            return false;
        }
    }
    s.stream->avg_frame_rate = c->framerate;

    s.frame->format = c->pix_fmt;
    s.frame->width = c->width;
    s.frame->height = c->height;
    s.frame->color_range = c->color_range;
    rc = av_frame_get_buffer(s.frame, 0);
    if (rc < 0) {
        error = avError("allocating a frame", rc);
        return false;
    }
    rc = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        error = avError("creating the file", rc);
        return false;
    }
    AVDictionary* options = nullptr;
    if (settings.moovFirst) av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    if (rc < 0) {
        error = avError("writing the container header", rc);
        return false;
    }
    s.headerWritten = true;
    return true;
}

bool VideoEncoder::addFrame(const RgbImage& frame, std::string& error) {
    if (!state_ || !state_->headerWritten || state_->finished) {
        error = "the encoder is not open";
        return false;
    }
    State& s = *state_;
    if (frame.width != s.settings.width || frame.height != s.settings.height) {
        error = "frame of the wrong size";
        return false;
    }
    const int rc = av_frame_make_writable(s.frame);
    if (rc < 0) {
        error = avError("reusing a frame", rc);
        return false;
    }
    if (s.settings.codec == SampleCodec::Mjpeg)
        rgbToYuv420<true>(frame, s.frame->data, s.frame->linesize);
    else
        rgbToYuv420<false>(frame, s.frame->data, s.frame->linesize);
    s.frame->pts = s.nextPts++;
    if (s.settings.codec != SampleCodec::H264) s.frame->quality = s.codec->global_quality;
    return s.encode(s.frame, error);
}

bool VideoEncoder::finish(std::string& error) {
    if (!state_ || !state_->headerWritten || state_->finished) {
        error = "the encoder is not open";
        return false;
    }
    State& s = *state_;
    if (!s.flush(error)) return false;
    s.finished = true;
    const int rc = av_write_trailer(s.format);
    if (rc < 0) {
        error = avError("completing the file", rc);
        return false;
    }
    if (s.format->pb) avio_closep(&s.format->pb);
    return true;
}
