#pragma once
#include "tools/FrameStamp.h"

#include <functional>
#include <string>

extern "C" {
#include <libavutil/frame.h>
}

// Decodes a video file with FFmpeg's libraries, independently of the encoder that made it.
struct VideoInfo {
    bool opened = false;
    double seconds = 0;  // the container's duration
    int width = 0;
    int height = 0;
    std::string codec;   // decoder name, e.g. "h264", "mjpeg"
};
VideoInfo probeVideo(const std::string& path);

// Calls `onFrame` for each decoded frame in order (index from 0) until it returns false or the
// file ends; false when the file cannot be opened or a frame fails to decode.
bool decodeVideo(const std::string& path, const std::function<bool(const AVFrame& frame, int index)>& onFrame);

// The frame's luma plane as a gray image (valid while the frame lives).
ImageView lumaView(const AVFrame& frame);
// The frame converted to RGB at another size (libswscale, bilinear).
RgbImage scaledRgb(const AVFrame& frame, int width, int height);
