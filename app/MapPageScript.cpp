#include "app/MapPageScript.h"

#include "telemetry/GpsList.h"

#include <charconv>
#include <cmath>

namespace {

// printf's "%f": six decimals.
std::string fixed6(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, double(value), std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

std::string twoNumbers(const char* function, float first, float second) {
    return std::string(function) + "(" + fixed6(first) + ", " + fixed6(second) + ")";
}

double radians(double degrees) { return degrees * 3.141592653589793 / 180.0; }

}  // namespace

std::string pmMapSetCenterScript(float latitude, float longitude) {
    return twoNumbers("mapSetCenter", latitude, longitude);
}

std::string pmAddPathPointScript(float latitude, float longitude) {
    return twoNumbers("addPathPoint", latitude, longitude);
}

std::string pmDrawPathScript() { return "drawPath()"; }

std::string pmSetZoomScript(int level) { return "setZoom(" + std::to_string(level) + ")"; }

std::string pmAutoLocationScript() { return "AutoLocation()"; }

double pmMapDistanceKm(float latitude1, float longitude1, float latitude2, float longitude2) {
    const double phi1 = radians(latitude1), phi2 = radians(latitude2);
    const double deltaLambda = radians(double(longitude1) - double(longitude2));
    const double a = std::pow(std::sin((phi1 - phi2) / 2), 2) +
                     std::cos(phi1) * std::cos(phi2) * std::pow(std::sin(deltaLambda / 2), 2);
    const double d = 2 * std::asin(std::sqrt(a)) * 6378.137;
    return double(static_cast<long long>(d * 10000 + 0.5)) / 10000;
}

int pmMapZoomForDistance(double km) {
    if (km < 0.1) return 18;
    if (km < 0.5) return 15;
    if (km < 1.0) return 14;
    return 13;
}

std::vector<std::string> pmDrawPathStatements(const GpsList* track) {
    if (!track || !track->IsGPSReady() || track->GetDataCount() == 0) return {pmDrawPathScript()};
    std::vector<std::string> statements;
    statements.reserve(std::size_t(track->GetDataCount()) + 2);
    float firstLatitude = 0, firstLongitude = 0, lastLatitude = 0, lastLongitude = 0;
    for (const GpsData& sample : track->gpslist()) {
        const float latitude = sample.fLatitude(), longitude = sample.fLongitude();
        if (!GpsData::hasPosition(firstLatitude, firstLongitude)) firstLatitude = latitude, firstLongitude = longitude;
        statements.push_back(pmAddPathPointScript(latitude, longitude));
        if (sample.hasPosition()) lastLatitude = latitude, lastLongitude = longitude;
    }
    statements.push_back(pmDrawPathScript());
    if (track->GetDataCount() >= 2)
        statements.push_back(
            pmSetZoomScript(pmMapZoomForDistance(pmMapDistanceKm(firstLatitude, firstLongitude, lastLatitude, lastLongitude))));
    return statements;
}
