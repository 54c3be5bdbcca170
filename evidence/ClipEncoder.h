#pragma once
#include "outputs/EvidenceMoment.h"

#include <QImage>

#include <functional>
#include <string>
#include <vector>

// The clip of an evidence package: the span of the front recording, at most 1280 x 720 and never
// scaled up, the rear camera's picture inset in the top right corner (its latest frame at or before
// the front frame's media time, as the window's rear lock shows it), an opaque band below the
// picture (so it covers nothing of the camera's own stamp) with what the telemetry says of each
// second, and the front recording's sound. Frames of both cameras at chosen seconds come back for
// the report.

// Where the parts of a clip frame lie. Every size and place is even (4:2:0 video).
struct ClipLayout {
    int width = 0;
    int pictureHeight = 0;  // the front picture, from the top
    int bandHeight = 0;     // the band, below the picture
    int insetX = 0, insetY = 0, insetWidth = 0, insetHeight = 0;  // the rear picture; width 0: none
    int height() const { return pictureHeight + bandHeight; }
};

inline constexpr int kClipMaxWidth = 1280;
inline constexpr int kClipMaxHeight = 720;

// `bandHeight` gives the band's height for a frame width. A rear size of 0 means no rear camera.
ClipLayout pmClipLayout(int frontWidth, int frontHeight, int rearWidth, int rearHeight,
                        const std::function<int(int width)>& bandHeight);

struct ClipStill {
    int second = 0;
    double frontTime = -1.0;  // media time of the front frame taken, -1 when the second has none
    QImage front;
    QImage rear;              // null without a rear camera or a rear frame yet
};

struct ClipRequest {
    std::string front;
    std::string rear;  // empty: a single camera
    std::string output;
    EvidenceSpan span;
    std::vector<int> stillSeconds;  // the first front frame of each of these seconds is kept
    std::function<int(int width)> bandHeight;
    // The band of a second, `width` x `height`, any format.
    std::function<QImage(int second, int width, int height)> band;
    // Called after every frame with the share done; false stops the clip.
    std::function<bool(double fraction)> progress;
};

struct ClipResult {
    bool ok = false;
    bool canceled = false;
    std::string error;  // one line, when it failed
    int writeError = 0;  // the system's error number when writing the clip failed
    ClipLayout layout;
    int frames = 0;
    double frameRate = 0.0;
    bool audio = false;
    bool audioTranscoded = false;
    std::vector<ClipStill> stills;
};

// Writes the clip to `request.output` (replacing nothing the caller did not mean: the caller names
// a new file). A failed or stopped clip may leave a partial file for the caller to remove.
ClipResult pmEncodeEvidenceClip(const ClipRequest& request);
