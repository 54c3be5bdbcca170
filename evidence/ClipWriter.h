#pragma once
#include <memory>
#include <string>

struct AVFrame;
struct AVPacket;
struct AVStream;

// Writes the clip: H.264 (x264, veryfast) in MP4 with the index at the front, and the recording's
// sound: copied where MP4 can hold its codec, else transcoded to AAC with FFmpeg's own encoder.
class ClipWriter {
public:
    struct Settings {
        int width = 0;   // even
        int height = 0;  // even
        double frameRate = 30.0;
        int quality = 23;  // x264's constant rate factor
    };

    ClipWriter();
    ~ClipWriter();
    ClipWriter(const ClipWriter&) = delete;
    ClipWriter& operator=(const ClipWriter&) = delete;

    // `videoSource` gives the time base of the frames' pts; `audioSource` (may be null) the sound
    // to keep. Times of the clip start at `start` seconds of the source.
    bool open(const std::string& path, const Settings& settings, const AVStream* videoSource,
              const AVStream* audioSource, double start, std::string& error);
    // A blank yuv420p frame of the clip's size to draw into; valid until the next call.
    AVFrame* frameToFill(std::string& error);
    // Encodes the frame got from frameToFill; `pts` in the video source's time base, from the start.
    bool writeFrame(std::int64_t pts, std::string& error);
    // A packet of the audio source with its source timestamps; sound before the start is dropped.
    bool writeAudio(AVPacket* packet, std::string& error);
    // Flushes the encoders and completes the file.
    bool finish(std::string& error);

    // The system's error number of a write to the file that failed (a full or read-only disk), else 0.
    int writeErrorNumber() const;
    bool hasAudio() const;
    bool audioTranscoded() const;
    int framesWritten() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};
