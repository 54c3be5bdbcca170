#pragma once
#include "library/FileDate.h"

#include <cstdint>
#include <string>

class GpsData;

// The printed page: the current frame (or the frames of both cameras), the G-sensor graph and the
// telemetry of the current second with the date of printing. This is where everything goes and
// what it says; the window draws it on the printer's page and, scaled, in the preview.

// Which frames the page shows.
inline constexpr int kPrintSingleCamera = 0;
inline constexpr int kPrintCamera1 = 1;
inline constexpr int kPrintCamera2 = 2;
inline constexpr int kPrintBothCameras = 3;

struct PrintRect {
    int x = 0, y = 0, width = 0, height = 0;  // points, from the page's top left
    bool operator==(const PrintRect&) const = default;
};

struct PrintLayout {
    PrintRect rectVideo, rectVideo2, rectGSensor;
    PrintRect rectDirection, rectLongitude, rectLatitude, rectAltitude, rectSpeed;  // caption and value rows
    PrintRect rectDate;
};

struct FrameSize {
    int width = 0, height = 0;
};

// The page of `width` x `height` points with the option's frames (setPrintOptions). With both
// cameras the two frames are stacked, each fitted to its own frame's aspect.
PrintLayout pmPrintLayout(int width, int height, int option, FrameSize camera1, FrameSize camera2);

// The right half of a rectangle (where a row's value goes).
PrintRect pmMakeHalfRect(const PrintRect& rect);

struct PrintTexts {
    // Heading, longitude, latitude, altitude and speed, in that order.
    std::string captions[5];
    std::string values[5];
    std::string date;
};

// The texts of the page in the current language for a sample (none: no current second), the
// speed unit (0 km/h, 1 mph) and the day of printing.
PrintTexts pmPrintTexts(const GpsData* sample, std::int16_t speedUnit, CalendarDay today);
