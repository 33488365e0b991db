#pragma once

#include <string>
#include <string_view>
#include <vector>

// Which countries a station must be co-ordinated with: every country of the outline table
// other than the station's own that lies within the trigger distance of its band, or within
// the longer main-beam distance inside +-10 degrees of its azimuth.
namespace CoordinationTrigger {

struct Band {
    double upToGHz;    // the band ends below this frequency
    double distanceKm; // in every direction
    double mainBeamKm; // inside the main beam
};
// the trigger distances by band, lowest band first; the last band has no upper end
const Band& bandFor(double frequencyGHz);
constexpr double MainBeamHalfWidthDeg = 10.0;

struct Result {
    int error = 0; // FsCalcError code: 1 unreadable line, 3 co-ordinates missing
    std::string problem;
    double frequencyGHz = -1; // -1: none given, the lowest band's distances apply
    double distanceKm = 0;
    double mainBeamKm = 0;
    bool hasAzimuth = false; // without 9A no main-beam extension
    double azimuthDeg = 0;
    std::string ownCountry;
    std::vector<std::string> countries; // listed countries, ordered by code
};

Result evaluate(std::string_view line);

// The codes joined by "," without blanks, then blanks up to `size` bytes. A code that does not
// fit completely is left out with everything after it; nothing is written beyond `size`.
void fillBuffer(const std::vector<std::string>& codes, char* buffer, int size);

} // namespace CoordinationTrigger
