#pragma once
#include <vector>

class GpsList;

// The three G-sensor curves of a track, ready to be stroked over the graph's background image:
// polylines in the image's points with the origin at the bottom left, and the event line.
struct SensorGraphic {
    struct Point {
        double x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };
    static constexpr int kWidth = 238;
    static constexpr int kHeight = 63;

    bool present = false;  // false: no image at all (no samples or no G-sensor values)
    std::vector<Point> xCurve, yCurve, zCurve;
    int eventX = -1;  // the red line's x, -1 for none
};

// Renders the curves of `track` with the event line at `eventSecond` (-1: none) and returns the
// scale's full value in g: 0 without an image, 2.0 for a track of one sample (background only),
// else the larger magnitude of the track's extremes.
float pmCreateSensorGraphic(const GpsList& track, int eventSecond, SensorGraphic& graphic);
