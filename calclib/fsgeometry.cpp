#include "fsgeometry.h"

#include "hcmcoordinates.h"

#include <algorithm>
#include <cmath>

namespace FsGeometry {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Rad = Pi / 180.0;

} // namespace

bool readCoordinates(std::string_view longitude, std::string_view latitude, GeoPoint* point) {
    GeoPoint p;
    if (!HCMCoordinates::readStrict(longitude, 3, 'E', 'W', 180, p.longitude) ||
        !HCMCoordinates::readStrict(latitude, 2, 'N', 'S', 90, p.latitude))
        return false;
    *point = p;
    return true;
}

double distanceKm(const GeoPoint& a, const GeoPoint& b) {
    const double p1 = a.latitude * Rad, p2 = b.latitude * Rad;
    const double sdp = std::sin((p2 - p1) / 2);
    const double sdl = std::sin((b.longitude - a.longitude) * Rad / 2);
    const double h = sdp * sdp + std::cos(p1) * std::cos(p2) * sdl * sdl;
    return 2 * EarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

double bearingDeg(const GeoPoint& from, const GeoPoint& to) {
    const double p1 = from.latitude * Rad, p2 = to.latitude * Rad;
    const double dl = (to.longitude - from.longitude) * Rad;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    double az = std::atan2(y, x) / Rad;
    if (az < 0)
        az += 360;
    return az >= 360 ? az - 360 : az;
}

double pathElevationDeg(double ownHeightM, double otherHeightM, double distanceKm) {
    const double d = distanceKm * 1000.0;
    const double ae = EffectiveEarthRadiusKm * 1000.0;
    return ((otherHeightM - ownHeightM) / d - d / (2 * ae)) / Rad;
}

double offAxisAngleDeg(double directionAzimuthDeg, double directionElevationDeg,
                       double antennaAzimuthDeg, double antennaElevationDeg) {
    // cos θ = sin ε0 sin ε + cos ε0 cos ε cos(α - α0), in its half-angle form, which stays
    // exact near the axis
    const double e = directionElevationDeg * Rad, e0 = antennaElevationDeg * Rad;
    const double sde = std::sin((e - e0) / 2);
    const double sda = std::sin((directionAzimuthDeg - antennaAzimuthDeg) * Rad / 2);
    const double h = sde * sde + std::cos(e) * std::cos(e0) * sda * sda;
    return 2 * std::asin(std::min(1.0, std::sqrt(h))) / Rad;
}

bool isAnticlockwise(double directionAzimuthDeg, double antennaAzimuthDeg) {
    double diff = std::fmod(directionAzimuthDeg - antennaAzimuthDeg, 360.0);
    if (diff < 0)
        diff += 360;
    return diff > 180;
}

} // namespace FsGeometry
