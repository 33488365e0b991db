#pragma once

#include "fsgeometry.h"

#include <string_view>

// The 432-character input record of HCMMS_V7_DLL read into numbers. Every field is taken from
// its fixed position up to its width or an earlier zero byte, blanks around it removed.
namespace MsInput {

constexpr int RecordLength = 432;

// A field at its 1-based position: the bytes up to `width` or an earlier zero byte, blanks
// (and tabs) around them removed.
std::string_view field(std::string_view record, int position, int width);

// A decimal number (C locale, a leading + or - allowed) filling the whole text.
bool readNumber(std::string_view text, double* value);

// "015E3000" and "47N3000": degrees, hemisphere letter, minutes and seconds below 60, degrees
// at most `maxDegrees`; one to three (longitude) or two (latitude) degree digits.
bool readAngle(std::string_view text, char positive, char negative, int maxDegrees,
               double* degrees);

// Longitude immediately followed by latitude, as in positions 1-15 and 16-30.
bool readPosition(std::string_view text, GeoPoint* point);

// A frequency followed by its unit letter K, M or G (either case), e.g. "0000450.125M"; MHz.
bool readFrequency(std::string_view text, double* mhz);

// The necessary bandwidth of a designation of emission ("16K0F3E", "5M00G7W"): three digits
// and the letter H, K, M or G in place of the decimal point among the first four characters;
// kHz, above 0.
bool readBandwidth(std::string_view designation, double* khz);

// A pattern code "WWWLLAA" of one plane: WWW the half-power beamwidth in degrees, LL two
// letters, AA the largest attenuation in dB. Non-directional when the code is empty, not of this
// form, the first letter is N, or the beamwidth is 0. The second letter H or V gives the
// polarisation; anything else leaves it unknown (0).
struct Pattern {
    bool directional = false;
    double beamwidthDeg = 0;
    double maxAttenuationDb = 0;
    char polarisation = 0;
};
Pattern readPattern(std::string_view code);

// One end of the pair.
struct Station {
    GeoPoint position;
    double siteHeight = 0;    // m above sea level
    double antennaHeight = 0; // m above ground
    Pattern horizontal;
    Pattern vertical;
    double azimuthDeg = 0;
    double elevationDeg = 0;
    bool isotropicReference = false; // reference antenna type I (else E)
    double frequencyMHz = 0;
    double bandwidthKHz = 0;
    char polarisation() const {
        return horizontal.polarisation ? horizontal.polarisation : vertical.polarisation;
    }
};

struct Transmitter : Station {
    double powerDbw = 0; // the radiated power as given, relative to the reference antenna
};

// The dialog values carried by the record.
struct Settings {
    char seaType = 'C';
    double depolarisationDb = 0;
    bool permissibleGiven = false;
    double permissibleDbuvm = 0;
};

// Each returns 0 or an MsCalcError code. The record must be RecordLength long.
int readTransmitter(std::string_view record, Transmitter* tx);
int readReceiver(std::string_view record, Station* rx);
// the bandwidths of both designations of emission (only the pair calculation needs them)
int readBandwidths(std::string_view record, Station* tx, Station* rx);
int readSettings(std::string_view record, Settings* settings);

} // namespace MsInput
