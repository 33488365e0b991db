#pragma once

#include <string_view>

// A position on the earth in decimal degrees, east and north positive.
struct GeoPoint {
    double longitude = 0;
    double latitude = 0;
};

// Great-circle geometry between two stations and the off-axis angle of an antenna.
namespace FsGeometry {

constexpr double EarthRadiusKm = 6371.0;
// effective earth radius (k = 4/3) of the MS library's path elevations (the FS library takes its
// own from its propagation model)
constexpr double EffectiveEarthRadiusKm = 8500.0;

// Field 4C: the longitude DDDEMMSS (E or W at index 3) and the latitude DDNMMSS (N or S at
// index 2), letters in either case. False when a part is missing or out of range.
bool readCoordinates(std::string_view longitude, std::string_view latitude, GeoPoint* point);

// great-circle distance, km (haversine form, exact also for short distances)
double distanceKm(const GeoPoint& a, const GeoPoint& b);

// initial bearing from `from` towards `to`, degrees clockwise from north in [0, 360)
double bearingDeg(const GeoPoint& from, const GeoPoint& to);

// The elevation of the path towards the other station as seen from this one (line of sight
// over the effective earth): (h_other - h_own)/d - d/(2 a_e), heights above sea level in m.
// Degrees.
double pathElevationDeg(double ownHeightM, double otherHeightM, double distanceKm);

// The angle between the antenna axis (azimuth, elevation) and a direction (azimuth,
// elevation), degrees in [0, 180].
double offAxisAngleDeg(double directionAzimuthDeg, double directionElevationDeg,
                       double antennaAzimuthDeg, double antennaElevationDeg);

// True when the direction lies anticlockwise of the antenna azimuth (azimuth difference,
// taken in [0, 360), above 180 degrees).
bool isAnticlockwise(double directionAzimuthDeg, double antennaAzimuthDeg);

} // namespace FsGeometry
