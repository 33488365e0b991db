#pragma once

#include "msinput.h"

#include <string>
#include <string_view>

// The transmitter's field strength along the border line of a country (the rings of
// CountryOutlines), sampled at most 1 km apart.
namespace MsBorderLine {

constexpr double SampleSpacingKm = 1.0;

struct Maximum {
    GeoPoint point;
    double distanceKm = 0;
    double fieldStrength = 0; // dBuV/m
};

// The point of the highest field strength for a receiving antenna `rxHeight` m above the
// ground, the ground taken at the transmitter's site height. 0, or MsCalcError::UnknownCountry
// when the outlines do not have `country` (letters in either case).
int maximum(const MsInput::Transmitter& tx, std::string_view country, double rxHeight,
            Maximum* result);

// the codes of the outlines, in their order, joined by ","
std::string countries();

} // namespace MsBorderLine
