#pragma once

#include "fsgeometry.h"

#include <cstddef>

// Approximate outlines of the HCM countries and their neighbours, written for Tarnwell (land
// borders to about 5-10 km, coasts coarser, small islands left out). A country may have several
// rings; each ring is a closed polygon of (longitude, latitude) pairs in degrees.
struct CountryOutline {
    const char* code;     // the country code of field 4B
    const double* lonLat; // longitude, latitude, longitude, latitude, ...
    std::size_t pointCount;
};

namespace CountryOutlines {

// every ring of every country, ordered by country code
const CountryOutline* begin();
const CountryOutline* end();

// Distances from a station to a country's rings, km: to the nearest point, and to the nearest
// point that lies within `halfWidthDeg` of the azimuth `beamAzimuthDeg`. 0 when the station
// lies inside; infinity when nothing lies in the beam. The outline is projected azimuthally
// about the station (exact distances and bearings to the vertices, straight edges between).
struct Distance {
    double nearestKm;
    double nearestInBeamKm;
};
Distance distance(const char* code, const GeoPoint& station, double beamAzimuthDeg,
                  double halfWidthDeg);

} // namespace CountryOutlines
