#pragma once
#include "telemetry/GpsData.h"

#include <cstdint>
#include <string>

class GpsData;

// The texts under which a telemetry sample is shown on the dashboard and the printed page. Numbers
// are printed the same whatever the process locale.

// Speed units of the setting "SpeedUnit".
inline constexpr std::int16_t kSpeedUnitKmh = 0;
inline constexpr std::int16_t kSpeedUnitMph = 1;

// "km/h" for 0, "mph" for any other unit.
std::string pmGetSpeedUnitString(std::int16_t unit);
// A speed in km/h in the unit (a negative, unknown speed is left as it is).
float pmGetSpeedInUnit(float kmh, std::int16_t unit);
// The whole number shown for a speed in km/h: in the unit, plus 0.5, cut.
int pmGetShownSpeed(float kmh, std::int16_t unit);

// Compass point, a blank, the rounded degrees and the degree sign ("N 360°"); "-" when the
// heading is negative (unknown).
std::string pmGetDirectionString(float heading);
// Hemisphere letter, a blank, degrees, the degree sign, minutes, "'", seconds with one decimal and
// '"' ("S 25°30'0.0\""); a zero value shows 0 degrees, 00 minutes and 00 seconds.
std::string pmGetLocationString(bool latitude, float value);
// The coordinate of a sample as pmGetLocationString shows it; "-" when the sample has no position or
// its position was taken from another fix (negative speed).
std::string pmGetSampleLocationString(bool latitude, const GpsData& sample);
// "%.1f  m" of the altitude in metres; "-" from 65535 on (no altitude).
std::string pmGetAltitudeString(float altitude);

// Whether the dashboard shows the sample's position: a measured speed and both coordinates set.
bool pmHasShownPosition(const GpsData& sample);
// An acceleration in thousandths of g, rounded half away from zero, as the G-sensor graph's
// indicator takes it, and the indicator's text of such a value ("%.3f" in g).
int pmGetIndicatorThousandths(float g);
std::string pmGetGValueText(int thousandths);

// The map's info bar. Location: the heading (a blank when unknown), "[25.03300°N. 121.56500°E]" and
// "Alt.12.3m" ("Alt.-" from 65535 on), two blanks between; "[-. -]  Alt.-" when the speed is
// unknown or a coordinate is 0.
std::string pmGetInfoBarLocationText(float latitude, float longitude, float speed, float altitude, float heading);
// The shown speed in the unit, "-" when the speed is unknown.
std::string pmGetInfoBarSpeedText(float kmh, std::int16_t unit);
