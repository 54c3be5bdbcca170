#pragma once
#include <string>
#include <vector>

class GpsList;

// The map page's script statements and the decisions behind drawing a track on it. Numbers are
// written as printf's "%f" writes them, whatever the process locale.

std::string pmMapSetCenterScript(float latitude, float longitude);  // "mapSetCenter(%f, %f)"
std::string pmAddPathPointScript(float latitude, float longitude);  // "addPathPoint(%f, %f)"
std::string pmDrawPathScript();                                     // "drawPath()"
std::string pmSetZoomScript(int level);                             // "setZoom(%d)"
std::string pmAutoLocationScript();                                 // "AutoLocation()"

// Great-circle distance in km (haversine, sphere of radius 6378.137 km), rounded to four decimals.
double pmMapDistanceKm(float latitude1, float longitude1, float latitude2, float longitude2);
// The zoom level for a track whose ends are `km` apart: 18 under 0.1, 15 under 0.5, 14 under 1, else 13.
int pmMapZoomForDistance(double km);

// The statements that draw a track (none or one without positions: only "drawPath()", which
// clears the path): every sample's point in order, zeros included, "drawPath()", and with two
// samples or more the zoom for the distance between the first and the last positioned samples.
std::vector<std::string> pmDrawPathStatements(const GpsList* track);
