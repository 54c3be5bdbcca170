#include "telemetry/SampleText.h"

#include "Utility/StringTables.h"
#include "telemetry/GpsParser.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string fixedText(double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

const char* compassPoint(float heading) {
    if (heading >= 337.5f || heading <= 22.5f) return "N";
    if (heading <= 67.5f) return "NE";
    if (heading <= 112.5f) return "E";
    if (heading <= 157.5f) return "SE";
    if (heading <= 202.5f) return "S";
    if (heading <= 247.5f) return "SW";
    if (heading <= 292.5f) return "W";
    return "NW";
}

}  // namespace

std::string pmGetSpeedUnitString(std::int16_t unit) { return unit != kSpeedUnitKmh ? "mph" : "km/h"; }

float pmGetSpeedInUnit(float kmh, std::int16_t unit) {
    return unit == kSpeedUnitKmh ? kmh : pmGetSpeedByMile(kmh);
}

int pmGetShownSpeed(float kmh, std::int16_t unit) { return static_cast<int>(pmGetSpeedInUnit(kmh, unit) + 0.5f); }

std::string pmGetDirectionString(float heading) {
    if (heading < 0.0f) return "-";
    return std::string(compassPoint(heading)) + " " + std::to_string(static_cast<int>(heading + 0.5f)) +
           pmGetString("IDS_UNIT_DEGREE");
}

std::string pmGetLocationString(bool latitude, float value) {
    const char* letter = latitude ? (value < 0.0f ? "S" : "N") : (value < 0.0f ? "W" : "E");
    value = std::fabs(value);
    std::string degrees = "0", minutes = "00", seconds = "00";
    if (value != 0.0f) {
        const int wholeDegrees = static_cast<int>(value);
        const float minuteValue = (value - static_cast<float>(wholeDegrees)) * 60.0f;
        const int wholeMinutes = static_cast<int>(minuteValue);
        const float secondValue = (minuteValue - static_cast<float>(wholeMinutes)) * 60.0f;
        char text[16];
        std::snprintf(text, sizeof text, "%02d", wholeMinutes);
        degrees = std::to_string(wholeDegrees);
        minutes = text;
        seconds = fixedText(secondValue, 1);
    }
    return std::string(letter) + " " + degrees + pmGetString("IDS_UNIT_DEGREE") + minutes + "'" + seconds + "\"";
}

std::string pmGetSampleLocationString(bool latitude, const GpsData& sample) {
    if (!pmHasShownPosition(sample)) return "-";
    return pmGetLocationString(latitude, latitude ? sample.fLatitude() : sample.fLongitude());
}

std::string pmGetAltitudeString(float altitude) {
    if (altitude >= GpsData::kNoAltitude) return "-";
    return fixedText(altitude, 1) + "  m";
}

bool pmHasShownPosition(const GpsData& sample) {
    return sample.fSpeed() >= 0.0f && sample.hasPosition();
}

int pmGetIndicatorThousandths(float g) { return static_cast<int>((g > 0 ? g + 0.0005 : g - 0.0005) * 1000); }

std::string pmGetGValueText(int thousandths) { return fixedText(thousandths / 1000.0, 3); }

std::string pmGetInfoBarLocationText(float latitude, float longitude, float speed, float altitude, float heading) {
    const std::string direction = heading < 0.0f ? " " : pmGetDirectionString(heading);
    if (!GpsData::hasPosition(latitude, longitude) || speed < 0.0f) return direction + " [-. -]  Alt.-";
    const std::string degree = pmGetString("IDS_UNIT_DEGREE");
    const std::string where = direction + " [" + fixedText(std::fabs(latitude), 5) + degree +
                              (latitude < 0.0f ? 'S' : 'N') + ". " + fixedText(std::fabs(longitude), 5) + degree +
                              (longitude < 0.0f ? 'W' : 'E') + "]  Alt.";
    return altitude >= GpsData::kNoAltitude ? where + "-" : where + fixedText(altitude, 1) + "m";
}

std::string pmGetInfoBarSpeedText(float kmh, std::int16_t unit) {
    return kmh < 0.0f ? "-" : std::to_string(pmGetShownSpeed(kmh, unit));
}
