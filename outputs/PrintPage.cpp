#include "outputs/PrintPage.h"

#include "Utility/StringTables.h"
#include "telemetry/GpsData.h"
#include "telemetry/SampleText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

// Shrinks the side with the larger ratio so that the rectangle takes the frame's aspect; the ratios
// are taken in single precision.
void fitToFrame(PrintRect& rect, FrameSize frame) {
    if (frame.width <= 0 || frame.height <= 0) return;
    const float byWidth = float(rect.width) / float(frame.width);
    const float byHeight = float(rect.height) / float(frame.height);
    const float scale = std::min(byWidth, byHeight);
    if (byWidth > byHeight) rect.width = static_cast<int>(float(frame.width) * scale);
    else rect.height = static_cast<int>(float(frame.height) * scale);
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return {buffer, result.ptr};
}

}  // namespace

PrintLayout pmPrintLayout(int width, int height, int option, FrameSize camera1, FrameSize camera2) {
    PrintLayout layout;
    layout.rectVideo = {10, 10, width - 20, (width - 20) * 56 / 100};
    if (option == kPrintBothCameras) {
        layout.rectVideo.height = height * 38 / 100;
        fitToFrame(layout.rectVideo, camera1);
        const PrintRect& first = layout.rectVideo;
        layout.rectVideo2 = {first.x, first.y + first.height + 10, first.width,
                             height * 67 / 100 - first.height - 10};
        fitToFrame(layout.rectVideo2, camera2);
    } else {
        layout.rectVideo2 = layout.rectVideo;
    }
    const PrintRect& lower = layout.rectVideo2;
    const int half = width / 2;
    layout.rectGSensor = {half, lower.y + lower.height + 10, half - 10, (half - 10) * 62 / 100};

    const int step = static_cast<int>((layout.rectGSensor.height - 100) * 0.25);
    PrintRect row{10, layout.rectGSensor.y, half - 10, 20};
    for (PrintRect* r : {&layout.rectDirection, &layout.rectLongitude, &layout.rectLatitude, &layout.rectAltitude,
                         &layout.rectSpeed}) {
        *r = row;
        row.y += step + 20;
    }
    layout.rectDate = {half, height - 30, half - 10, 20};
    return layout;
}

PrintRect pmMakeHalfRect(const PrintRect& rect) {
    return {rect.x + rect.width / 2, rect.y, rect.width / 2, rect.height};
}

PrintTexts pmPrintTexts(const GpsData* sample, std::int16_t speedUnit, CalendarDay today) {
    PrintTexts texts;
    const char* keys[5] = {"IDS_DIRECTION", "IDS_LONGITUDE", "IDS_LATITUDE", "IDS_ALTITUDE", "IDS_SPEED"};
    for (int i = 0; i < 5; ++i) (texts.captions[i] = pmGetString(keys[i])) += " :";
    const std::string none(1, '-');
    for (std::string& value : texts.values) value = none;
    if (sample) {
        texts.values[0] = pmGetDirectionString(sample->fDirection());
        if (sample->hasPosition()) {
            const std::string degree = pmGetString("IDS_UNIT_DEGREE");
            (texts.values[1] = fixed(sample->fLongitude(), 5)) += degree;
            (texts.values[2] = fixed(sample->fLatitude(), 5)) += degree;
            if (sample->dAltitude() < GpsData::kNoAltitude) (texts.values[3] = fixed(sample->dAltitude(), 1)) += " m";
            ((texts.values[4] = fixed(pmGetSpeedInUnit(sample->fSpeed(), speedUnit), 0)) += " ") +=
                pmGetSpeedUnitString(speedUnit);
        }
    }
    char day[16];
    std::snprintf(day, sizeof day, "%04d/%02d/%02d", today.year, today.month, today.day);
    ((texts.date = pmGetString("IDS_PRINT_DATE")) += " : ") += day;
    return texts;
}
