#include "app/SensorGraphic.h"

#include "telemetry/GpsList.h"

#include <algorithm>
#include <cmath>

float pmCreateSensorGraphic(const GpsList& track, int eventSecond, SensorGraphic& graphic) {
    graphic = SensorGraphic{};
    const int count = track.GetDataCount();
    if (count == 0 || !track.IsGSensorReady()) return 0.0f;
    graphic.present = true;
    if (count < 2) return 2.0f;

    const float peak = std::max(std::fabs(track.GetMaxGValue()), std::fabs(track.GetMinGValue()));
    const double factor = peak > 0 ? 2.0 / peak : 1.0;
    const int centre = static_cast<int>(SensorGraphic::kHeight * 0.5);
    const int amplitude = centre / 2;
    const double step = static_cast<double>(SensorGraphic::kWidth) / count;

    for (auto* curve : {&graphic.xCurve, &graphic.yCurve, &graphic.zCurve}) curve->reserve(count + 1);
    for (int i = 0; i < count; ++i) {
        const GpsData& sample = track.gpslist()[i];
        const double x = i * step;
        graphic.xCurve.push_back({x, sample.fGSensorX() * amplitude * factor + centre});
        graphic.yCurve.push_back({x, sample.fGSensorY() * amplitude * factor + centre});
        graphic.zCurve.push_back({x, sample.fGSensorZ() * amplitude * factor + centre});
    }
    // Each curve closes on the centre line at the right edge.
    for (auto* curve : {&graphic.xCurve, &graphic.yCurve, &graphic.zCurve})
        curve->push_back({double(SensorGraphic::kWidth), double(centre)});
    if (eventSecond != -1) graphic.eventX = static_cast<int>(eventSecond * step);
    return peak;
}
