#pragma once

#include "p452gases.h"

// The basic transmission loss of one hop after ITU-R P.452-18 (clear air, interference between
// stations on the surface of the earth) on a smooth-earth profile at sea level without
// clutter: every profile height is 0, the whole path is inland (zone A2, no sea), the antenna
// heights above the profile are the heights above sea level. Plain numbers in, every value the
// detailed report shows out; no station records, so that the model can be checked on its own.
namespace P452Model {

// the time percentage, refractivity and atmosphere of a calculation
struct Parameters {
    double timePercent = 20;   // p: Lb not exceeded for p % of the time, 0.001 .. 50
    double deltaN = 45;        // ΔN, N-units/km, 0 .. 100
    double n0 = 325;           // N0 at sea level, N-units, 200 .. 500
    double temperatureC = 15;  // T
    double pressureHpa = 1013; // dry air pressure P
};

// the valid frequencies, GHz (bounds included)
constexpr double MinFrequencyGHz = 0.1;
constexpr double MaxFrequencyGHz = 50.0;

struct Input {
    double frequencyGHz = 0;
    Parameters parameters;
    bool horizontal = false; // polarisation of the transmitting antenna (else vertical)
    double distanceKm = 0;   // d, great circle
    int intervals = 0;       // n, the profile's intervals (at least 4)
    double htsM = 1;         // antenna heights above the profile, at least 1 m
    double hrsM = 1;
    double centreLatitudeDeg = 0; // φm
    double gainTxDbi = 0;         // antenna gains towards the path (only in Lc of Lbs)
    double gainRxDbi = 0;
};

struct Result {
    bool transHorizon = false;
    double aeKm = 0;    // median effective earth radius
    double aBetaKm = 0; // effective radius exceeded for β0 % of the time
    double dltKm = 0;   // horizon distances
    double dlrKm = 0;
    double thetaTMrad = 0; // horizon elevation angles (or of the other station on LoS)
    double thetaRMrad = 0;
    double thetaMrad = 0;    // path angular distance
    double beta0Percent = 0; // β0
    double dfsKm = 0;        // slant distance
    double agDb = 0;         // gases over the slant distance
    double lbfsgDb = 0;      // free space and gases
    double espDb = 0;        // multipath and focusing
    double lb0pDb = 0;
    double lb0betaDb = 0;
    double lbullDb = 0; // Bullington loss of the profile at ae
    double ldsphDb = 0; // spherical-earth loss at ae
    double ld50Db = 0;
    double ldBetaDb = 0;
    double fi = 0; // interpolation factor of the diffraction
    double ldpDb = 0;
    double lbsDb = 0; // troposcatter
    double lbaDb = 0; // ducting and layer reflection
    double fj = 0;    // path angular factor
    double fk = 0;    // path length factor
    double lminb0pDb = 0;
    double lminbapDb = 0;
    double lbdaDb = 0;
    double lbamDb = 0;
    double lbDb = 0; // the basic transmission loss not exceeded for p % of the time
};

// the profile's number of intervals for a path of d km: 10 m steps up to 10 km, 1000 intervals
// up to 1000 km, 1 km steps beyond
int profileIntervals(double distanceKm);

// the median effective earth radius, km
double medianEarthRadiusKm(double deltaN);

// the elevation of the path at both ends, mrad (line of sight: towards the other station;
// beyond the horizon: towards the station's own radio horizon); frequency-independent
struct PathAngles {
    bool transHorizon = false;
    double thetaTMrad = 0;
    double thetaRMrad = 0;
};
PathAngles pathAngles(double distanceKm, int intervals, double htsM, double hrsM, double aeKm);

// The gases at the two water-vapour densities the model uses.
struct Gases {
    P452Gases::Attenuation path;    // ρ = 7.5 g/m³: line of sight and ducting
    P452Gases::Attenuation scatter; // ρ = 3 g/m³: troposcatter
};
Gases gases(double frequencyGHz, double pressureHpa, double temperatureC);

// One hop. Inputs outside the model's range give meaningless (but finite or infinite, never
// undefined) values; the chain code checks them first.
Result calculate(const Input& in);
// the same with the gases already known for this frequency, pressure and temperature
Result calculate(const Input& in, const Gases& gases);

// I(x), the inverse of the cumulative normal distribution approximated for x <= 0.5
double inverseNormal(double x);

} // namespace P452Model
