#pragma once
#include <string>

class MpvMoviePlayer;
class QColor;
class QWidget;
class VideoFramePacer;

// A widget that shows the pictures of one player through libmpv's render API (the player is made
// with video output "libmpv"), each at the time mpv gives for it, through a pacer shared by the
// window's views. Outside the picture, and while there is no movie, it shows its fill colour.
class MpvVideoView {
public:
    virtual ~MpvVideoView() = default;
    virtual QWidget* widget() = 0;
    // Null shows nothing. Either of the view and the player may go first.
    virtual void setPlayer(MpvMoviePlayer* player) = 0;
    virtual void setFillColor(const QColor& color) = 0;
    // Pictures drawn so far.
    virtual long renderCount() const = 0;
};

// How the views draw: libmpv converts and scales each picture on the processor into memory that
// the window paints (Software), or draws it with OpenGL into the widget (OpenGL).
enum class VideoRenderPath { Software, OpenGL };

struct VideoRenderChoice {
    VideoRenderPath path = VideoRenderPath::Software;
    std::string reason;  // one line, for the diagnostic log
};

// OpenGL when a graphics processor draws for this display, software otherwise: the environment
// variable CARTENA_VIDEO_RENDER ("software" or "opengl") decides when set; an X display without
// direct rendering (no DRI3 or DRI2, as in Xvfb) is software; else an OpenGL context is tried and
// its renderer must not be a software rasterizer. A QGuiApplication must exist.
VideoRenderChoice chooseVideoRenderPath();

// Whether an OpenGL renderer string names a rasterizer that runs on the processor.
bool isSoftwareRenderer(const std::string& renderer);

MpvVideoView* createMpvVideoView(VideoRenderPath path, VideoFramePacer& pacer, QWidget* parent = nullptr);
