#include "evidence/ClipEncoder.h"

#include "evidence/ClipWriter.h"
#include "evidence/MediaSource.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

int even(double value) { return std::max(2, static_cast<int>(value / 2.0) * 2); }

constexpr int kStillMaxWidth = 640;

bool fullRange(const AVFrame* frame) {
    const auto format = AVPixelFormat(frame->format);
    return frame->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
           format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
}

// Scales frames of one source into one target size and format.
class Scaler {
public:
    ~Scaler() { sws_freeContext(context_); }

    bool scale(const AVFrame* source, std::uint8_t* const target[], const int strides[], int width, int height,
               AVPixelFormat format, int flags) {
        context_ = sws_getCachedContext(context_, source->width, source->height, AVPixelFormat(source->format), width,
                                        height, format, flags, nullptr, nullptr, nullptr);
        if (!context_) return false;
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(context_, coefficients, fullRange(source) ? 1 : 0, coefficients,
                                 format == AV_PIX_FMT_YUV420P ? 0 : 1, 0, 1 << 16, 1 << 16);
        return sws_scale(context_, source->data, source->linesize, 0, source->height, target, strides) > 0;
    }

    bool scaleImage(const QImage& image, std::uint8_t* const target[], const int strides[]) {
        const int width = image.width(), height = image.height();
        context_ = sws_getCachedContext(context_, width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P,
                                        SWS_POINT, nullptr, nullptr, nullptr);
        if (!context_) return false;
        const std::uint8_t* source[4] = {image.constBits(), nullptr, nullptr, nullptr};
        const int sourceStrides[4] = {int(image.bytesPerLine()), 0, 0, 0};
        return sws_scale(context_, source, sourceStrides, 0, height, target, strides) > 0;
    }

private:
    SwsContext* context_ = nullptr;
};

// Plane pointers of the rectangle at (x, y) of a yuv420p frame; x and y even.
void planesAt(AVFrame* frame, int x, int y, std::uint8_t* planes[4]) {
    planes[0] = frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0] + x;
    planes[1] = frame->data[1] + std::ptrdiff_t(y / 2) * frame->linesize[1] + x / 2;
    planes[2] = frame->data[2] + std::ptrdiff_t(y / 2) * frame->linesize[2] + x / 2;
    planes[3] = nullptr;
}

void fillRect(AVFrame* frame, int x, int y, int width, int height, std::uint8_t luma) {
    for (int row = y; row < y + height; ++row)
        std::fill_n(frame->data[0] + std::ptrdiff_t(row) * frame->linesize[0] + x, width, luma);
    for (int plane = 1; plane <= 2; ++plane)
        for (int row = y / 2; row < (y + height) / 2; ++row)
            std::fill_n(frame->data[plane] + std::ptrdiff_t(row) * frame->linesize[plane] + x / 2, width / 2, 128);
}

QImage stillOf(const AVFrame* frame, Scaler& scaler) {
    const double factor = std::min(1.0, double(kStillMaxWidth) / frame->width);
    QImage image(even(frame->width * factor), even(frame->height * factor), QImage::Format_RGB888);
    std::uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(image.bytesPerLine()), 0, 0, 0};
    if (!scaler.scale(frame, planes, strides, image.width(), image.height(), AV_PIX_FMT_RGB24, SWS_AREA)) return {};
    return image;
}

struct FrameHolder {
    AVFrame* frame = av_frame_alloc();
    ~FrameHolder() { av_frame_free(&frame); }
};

// The rear camera's frames, followed up to a media time.
class RearFollower {
public:
    explicit RearFollower(MediaSource& source) : source_(source) {}

    // The latest frame at or before `time`; null when the rear has none yet.
    const AVFrame* at(double time) {
        for (;;) {
            if (!havePending_) {
                if (ended_ || !source_.nextFrame(pending_.frame)) {
                    ended_ = true;
                    break;
                }
                havePending_ = true;
            }
            if (source_.timeOf(pending_.frame) > time + 1e-6) break;
            av_frame_unref(current_.frame);
            av_frame_move_ref(current_.frame, pending_.frame);
            haveCurrent_ = true;
            havePending_ = false;
        }
        return haveCurrent_ ? current_.frame : nullptr;
    }

private:
    MediaSource& source_;
    FrameHolder current_, pending_;
    bool haveCurrent_ = false, havePending_ = false, ended_ = false;
};

}  // namespace

ClipLayout pmClipLayout(int frontWidth, int frontHeight, int rearWidth, int rearHeight,
                        const std::function<int(int width)>& bandHeight) {
    ClipLayout layout;
    if (frontWidth <= 0 || frontHeight <= 0) return layout;
    double scale = std::min({1.0, double(kClipMaxWidth) / frontWidth, double(kClipMaxHeight) / frontHeight});
    // A narrower frame may need a taller band; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        layout.width = even(frontWidth * scale);
        layout.bandHeight = (std::max(0, bandHeight(layout.width)) + 1) / 2 * 2;
        layout.pictureHeight = even(frontHeight * double(layout.width) / frontWidth);
        if (layout.height() <= kClipMaxHeight) break;
        scale = std::min(scale, double(kClipMaxHeight - layout.bandHeight) / frontHeight);
    }
    if (rearWidth > 0 && rearHeight > 0) {
        layout.insetWidth = std::min(even(layout.width / 3.0), even(rearWidth));
        layout.insetHeight = std::min(even(layout.insetWidth * double(rearHeight) / rearWidth), layout.pictureHeight / 2 * 2);
        const int margin = even(layout.width / 40.0);
        layout.insetX = layout.width - margin - layout.insetWidth;
        layout.insetY = margin;
    }
    return layout;
}

namespace {

void encodeClip(const ClipRequest& request, ClipWriter& writer, ClipResult& result) {
    MediaSource front, rear;
    if (!front.open(request.front, result.error)) return;
    const bool pair = !request.rear.empty();
    if (pair && !rear.open(request.rear, result.error)) {
        result.error = "the rear recording: " + result.error;
        return;
    }
    const EvidenceSpan span = request.span;
    double decodeFrom = span.start, decodeTo = span.end;
    for (int second : request.stillSeconds) {
        decodeFrom = std::min(decodeFrom, double(second));
        decodeTo = std::max(decodeTo, second + 1.0);
    }
    decodeFrom = std::max(0.0, decodeFrom);

    result.layout = pmClipLayout(front.width(), front.height(), pair ? rear.width() : 0, pair ? rear.height() : 0,
                                 request.bandHeight);
    const ClipLayout& layout = result.layout;
    result.frameRate = front.frameRate();
    const AVStream* video = front.videoStream();
    if (!writer.open(request.output, {layout.width, layout.height(), result.frameRate}, video, front.audioStream(),
                     span.start, result.error))
        return;
    result.audio = writer.hasAudio();
    result.audioTranscoded = writer.audioTranscoded();
    std::string sinkError;
    front.setAudioSink([&](AVPacket* packet) {
        if (front.timeOf(packet, front.audioStream()) >= span.end) return true;
        return writer.writeAudio(packet, sinkError);
    });
    front.seek(decodeFrom);
    if (pair) rear.seek(decodeFrom);

    for (int second : request.stillSeconds) result.stills.push_back({second, -1.0, {}, {}});
    const double timeBase = av_q2d(video->time_base);
    Scaler frontScaler, rearScaler, bandScaler, frontStill, rearStill;
    RearFollower rearFrames(rear);
    FrameHolder decoded;
    int bandSecond = -1;
    QImage band;
    while (front.nextFrame(decoded.frame)) {
        const double time = front.timeOf(decoded.frame);
        if (time >= decodeTo) break;
        if (time < decodeFrom) {
            av_frame_unref(decoded.frame);
            continue;
        }
        const AVFrame* rearFrame = pair ? rearFrames.at(time) : nullptr;
        for (ClipStill& still : result.stills)
            if (still.frontTime < 0 && time >= still.second && time < still.second + 1) {
                still.frontTime = time;
                still.front = stillOf(decoded.frame, frontStill);
                if (rearFrame) still.rear = stillOf(rearFrame, rearStill);
            }
        if (time >= span.start && time < span.end) {
            AVFrame* out = writer.frameToFill(result.error);
            if (!out) return;
            std::uint8_t* planes[4];
            planesAt(out, 0, 0, planes);
            bool ok = frontScaler.scale(decoded.frame, planes, out->linesize, layout.width, layout.pictureHeight,
                                        AV_PIX_FMT_YUV420P, SWS_BILINEAR);
            if (ok && rearFrame && layout.insetWidth > 0) {
                const int border = 2;
                fillRect(out, layout.insetX - border, layout.insetY - border, layout.insetWidth + 2 * border,
                         layout.insetHeight + 2 * border, 235);
                planesAt(out, layout.insetX, layout.insetY, planes);
                ok = rearScaler.scale(rearFrame, planes, out->linesize, layout.insetWidth, layout.insetHeight,
                                      AV_PIX_FMT_YUV420P, SWS_AREA);
            }
            const int second = static_cast<int>(std::floor(time));
            if (ok && layout.bandHeight > 0) {
                if (second != bandSecond) {
                    band = request.band(second, layout.width, layout.bandHeight)
                               .convertToFormat(QImage::Format_RGB888);
                    bandSecond = second;
                }
                planesAt(out, 0, layout.pictureHeight, planes);
                ok = band.width() == layout.width && band.height() == layout.bandHeight &&
                     bandScaler.scaleImage(band, planes, out->linesize);
            }
            if (!ok) {
                result.error = "scaling a frame failed";
                return;
            }
            const std::int64_t pts = std::llround((time - span.start) / timeBase);
            if (!writer.writeFrame(std::max<std::int64_t>(0, pts), result.error)) return;
        }
        av_frame_unref(decoded.frame);
        if (!sinkError.empty()) {
            result.error = sinkError;
            return;
        }
        if (request.progress && !request.progress((time - decodeFrom) / std::max(1e-3, decodeTo - decodeFrom))) {
            result.canceled = true;
            return;
        }
    }
    if (!front.error().empty()) {
        result.error = front.error();
        return;
    }
    front.drainAudioUntil(span.end);
    if (!sinkError.empty() || !front.error().empty()) {
        result.error = !sinkError.empty() ? sinkError : front.error();
        return;
    }
    if (!writer.finish(result.error)) return;
    result.frames = writer.framesWritten();
    result.ok = true;
}

}  // namespace

ClipResult pmEncodeEvidenceClip(const ClipRequest& request) {
    ClipResult result;
    ClipWriter writer;
    encodeClip(request, writer, result);
    // A failed write to the file is told apart from a recording that cannot be read.
    result.writeError = writer.writeErrorNumber();
    return result;
}
