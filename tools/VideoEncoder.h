#pragma once
#include "tools/FrameStamp.h"
#include "tools/SampleCardTable.h"

#include <memory>
#include <string>

// Encodes RGB frames into a video file with FFmpeg's libraries: H.264 (libx264) in MP4, MOV or AVI,
// Motion-JPEG or MPEG-4 part 2 in AVI. Output depends only on the frames and the settings (one
// encoder thread, bit-exact flags, and the H.264 encoder's own version notice left out, as a camera
// would), so the same input gives the same bytes.
class VideoEncoder {
public:
    struct Settings {
        SampleContainer container = SampleContainer::Mp4;
        SampleCodec codec = SampleCodec::H264;
        int width = 320;
        int height = 180;
        int fps = 15;
        bool moovFirst = false;  // MP4/MOV: write the movie box before the media data
        int quality = 24;        // H.264 constant rate factor: higher is smaller and coarser
    };

    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Creates the file. On failure `error` says why and the encoder is unusable.
    bool open(const std::string& path, const Settings& settings, std::string& error);
    // Frames must have the size given to open; they are numbered from 0 in the order given.
    bool addFrame(const RgbImage& frame, std::string& error);
    // Flushes the encoder and completes the file.
    bool finish(std::string& error);

private:
    struct State;
    std::unique_ptr<State> state_;
};
