#include "VideoFrames.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace {

struct Input {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    int stream = -1;

    explicit Input(const std::string& path) {
        av_log_set_level(AV_LOG_ERROR);  // failures show in the results, not as chatter
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return;
        if (avformat_find_stream_info(format, nullptr) < 0) return;
        const AVCodec* decoder = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (stream < 0 || !decoder) return;
        codec = avcodec_alloc_context3(decoder);
        if (!codec || avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) < 0) return;
        codec->thread_count = 1;
        if (avcodec_open2(codec, decoder, nullptr) < 0) avcodec_free_context(&codec);
    }
    ~Input() {
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    bool ok() const { return format && codec; }
};

}  // namespace

VideoInfo probeVideo(const std::string& path) {
    VideoInfo info;
    Input input(path);
    if (!input.ok()) return info;
    info.opened = true;
    info.seconds = input.format->duration > 0 ? double(input.format->duration) / AV_TIME_BASE : 0.0;
    info.width = input.codec->width;
    info.height = input.codec->height;
    info.codec = input.codec->codec->name;
    return info;
}

bool decodeVideo(const std::string& path, const std::function<bool(const AVFrame& frame, int index)>& onFrame) {
    Input input(path);
    if (!input.ok()) return false;
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    int index = 0;
    bool more = true;
    auto drain = [&]() -> int {  // 1 go on, 0 stop, -1 error
        for (;;) {
            const int rc = avcodec_receive_frame(input.codec, frame.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 1;
            if (rc < 0) return -1;
            more = onFrame(*frame, index++);
            av_frame_unref(frame.get());
            if (!more) return 0;
        }
    };
    while (more && av_read_frame(input.format, packet.get()) >= 0) {
        const bool ours = packet->stream_index == input.stream;
        const int sent = ours ? avcodec_send_packet(input.codec, packet.get()) : 0;
        av_packet_unref(packet.get());
        if (sent < 0) return false;
        const int drained = drain();
        if (drained < 0) return false;
        if (drained == 0) return true;
    }
    if (!more) return true;
    if (avcodec_send_packet(input.codec, nullptr) < 0) return false;
    return drain() >= 0;
}

ImageView lumaView(const AVFrame& frame) {
    return {frame.data[0], frame.width, frame.height, frame.linesize[0], ImageView::Format::Gray8};
}

RgbImage scaledRgb(const AVFrame& frame, int width, int height) {
    RgbImage image(width, height);
    SwsContext* scaler = sws_getContext(frame.width, frame.height, AVPixelFormat(frame.format), width, height,
                                        AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler) return image;
    std::uint8_t* planes[1] = {image.pixels.data()};
    const int strides[1] = {width * 3};
    sws_scale(scaler, frame.data, frame.linesize, 0, frame.height, planes, strides);
    sws_freeContext(scaler);
    return image;
}
