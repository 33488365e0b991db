#pragma once

#include "msinput.h"

// The field strength model of HCMMS_DLL.so: free space and the Hata form of ITU-R P.1546
// Annex 7 for 1 kW e.r.p. and 50 % time, the receiving height correction, antenna patterns,
// the frequency difference, depolarisation and the protection margin. README.md gives every
// formula.
namespace MsModel {

// the shortest distance the formulas are evaluated at, km
constexpr double MinimumDistanceKm = 0.001;
// e.i.r.p. to e.r.p.: the gain of a half-wave dipole over an isotropic antenna
constexpr double DipoleGainDb = 2.15;
// the largest attenuation the frequency difference gives
constexpr double MaxFrequencyDifferenceDb = 70;

// E_fs = 106.9 - 20 log10 d, dBuV/m for 1 kW e.r.p.
double freeSpaceField(double distanceKm);
// the Hata field strength for 1 kW e.r.p. at a receiving height of 10 m, f clamped to
// 150 - 1500 MHz, H1 at least 1 m
double hataField(double mhz, double h1, double distanceKm);
// (3.2 + 6.2 log10 f) log10(h2 / 10), f clamped to 150 - 1500 MHz, h2 at least 1 m
double receiveHeightCorrection(double mhz, double h2);
// Hata + the height correction, at most free space
double landField(double mhz, double h1, double h2, double distanceKm);

// the attenuation of one pattern at an angle off its axis, dB (0 for a non-directional one)
double patternAttenuation(const MsInput::Pattern& pattern, double offAxisDeg);
// the attenuation (<= 0 as a correction) for a frequency difference and two bandwidths, kHz
double frequencyDifferenceCorrection(double differenceKHz, double txBandwidthKHz,
                                     double rxBandwidthKHz);

// The permissible field strength and the fixed receiving height of a CMODE; false for a CMODE
// outside -8..9. A mode without a value leaves `hasValue` false, one without a height leaves
// `h2` at 0.
struct Mode {
    bool hasValue = false;
    double permissibleDbuvm = 0;
    double h2 = 0;
};
bool mode(int cmode, Mode* m);

// One direction of the pair, everything the entry point hands back.
struct PairResult {
    double distanceKm = 0;
    double txSiteHeight = 0, rxSiteHeight = 0;
    double effectiveHeight = 0;
    double powerTowardsRx = 0;                // dBW e.r.p. in the direction of Rx
    double freeSpaceField = 0, landField = 0; // dBuV/m for 1 kW e.r.p.
    double txAntennaCorrection = 0, txAntennaTypeCorrection = 0;
    double horizontalDirectionDeg = 0, verticalDirectionDeg = 0;
    double rxDirectionDeg = 0; // bearing from Rx to Tx (only for a directional Rx antenna)
    double rxAntennaCorrection = 0;
    double frequencyDifferenceKHz = 0, frequencyDifferenceCorrection = 0;
    double depolarisationDb = 0;
    double fieldStrength = 0; // dBuV/m
    double permissibleField = 0, protectionMargin = 0;
    double referenceTxPower = 0; // dBW e.r.p. in the main direction
};

// The transmitter's field at a receiving point `rxSiteHeight` m above sea level with the
// receiving antenna `h2` m above ground: geometry, Tx antenna and land field (the Rx terms
// stay 0, the field strength is that of the transmitter's own power). The bearing from Rx to
// Tx is worked out only when `rxDirection` is set.
void transmitterField(const MsInput::Transmitter& tx, const GeoPoint& rx, double rxSiteHeight,
                      double h2, PairResult* r, bool rxDirection = false);

// The whole pair: 0 or an MsCalcError code.
int calculatePair(int cmode, const MsInput::Transmitter& tx, const MsInput::Station& rx,
                  const MsInput::Settings& settings, PairResult* r);

} // namespace MsModel
