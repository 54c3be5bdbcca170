#pragma once
#include <functional>
#include <memory>
#include <string>

struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

// One recording read with FFmpeg's libraries: its video decoded frame by frame in presentation
// order, its audio handed on as packets. Times are seconds of media time (0 at the start of the
// file, as a player shows them).
class MediaSource {
public:
    MediaSource();
    ~MediaSource();
    MediaSource(const MediaSource&) = delete;
    MediaSource& operator=(const MediaSource&) = delete;

    // Opens the file and its video decoder (threads as the machine has cores); false with a reason.
    bool open(const std::string& path, std::string& error);
    // Moves to the key frame at or before `seconds`; the frames before it are read and dropped.
    bool seek(double seconds);

    int width() const;
    int height() const;
    double frameRate() const;  // frames per second as the stream says, 0 when it does not
    double duration() const;   // seconds, 0 when unknown
    AVStream* videoStream() const;
    AVStream* audioStream() const;  // null when there is none

    // Audio packets met while reading video go here (null: dropped). The packet is the caller's to
    // use during the call only.
    void setAudioSink(std::function<bool(AVPacket* packet)> sink) { audioSink_ = std::move(sink); }

    // The next decoded frame, moved into `frame`; false at the end or on an error (error() says).
    bool nextFrame(AVFrame* frame);
    // Reads on (decoding nothing) until an audio packet at or after `seconds` is met or the file
    // ends, so that sound interleaved behind the last frame taken is not lost.
    void drainAudioUntil(double seconds);
    const std::string& error() const { return error_; }

    double timeOf(const AVFrame* frame) const;
    double timeOf(const AVPacket* packet, const AVStream* stream) const;

private:
    bool readPacket(AVPacket* packet);

    struct State;
    std::unique_ptr<State> s_;
    std::function<bool(AVPacket*)> audioSink_;
    std::string error_;
};

std::string pmAvErrorText(const char* what, int code);
