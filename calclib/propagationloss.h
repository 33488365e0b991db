#pragma once

// Basic transmission loss over a smooth spherical earth without terrain data: free space
// (ITU-R P.525) plus the diffraction of ITU-R P.526 for a spherical earth (effective radius
// 8500 km, beta = 1), with the interpolation inside the line of sight.
namespace PropagationLoss {

// Lbf = 32.45 + 20 log10 f[MHz] + 20 log10 d[km], dB
double freeSpaceDb(double frequencyMHz, double distanceKm);

// F(X), G(Y) and the spherical-earth field relative to free space, dB
double distanceTerm(double x);
double heightGain(double y);
// the floor of the height gain, 2 + 20 log10 K with K = 1e-5
constexpr double HeightGainFloorDb = -98.0;

// Every intermediate value of the diffraction over one hop.
struct Diffraction {
    double heightTxM = 0; // antenna heights used, at least 1 m
    double heightRxM = 0;
    double wavelengthM = 0;
    double horizonDistanceKm = 0; // d_los = sqrt(2 a_e) (sqrt h1 + sqrt h2)
    bool beyondHorizon = false;   // d >= d_los: the spherical loss at a_e applies as it is
    // inside the line of sight
    double clearanceM = 0;         // h, the smallest clearance of the ray above the earth
    double requiredClearanceM = 0; // h_req = 17.456 sqrt(d1 d2 lambda / d)
    double d1Km = 0;               // the distances to the point of smallest clearance
    double d2Km = 0;
    double modifiedRadiusKm = 0; // a_em = 500 (d / (sqrt h1 + sqrt h2))^2
    // the spherical-earth loss at the radius used (a_e beyond, a_em inside the horizon)
    double radiusKm = 0;
    double x = 0;  // normalised distance X = 2.188 f^(1/3) a^(-2/3) d
    double y1 = 0; // normalised heights Y = 9.575e-3 f^(2/3) a^(-1/3) h
    double y2 = 0;
    double fx = 0; // F(X)
    double g1 = 0; // G(Y1), G(Y2)
    double g2 = 0;
    double sphericalLossDb = 0; // A_h = -(F(X) + G(Y1) + G(Y2))
    double lossDb = 0;          // the diffraction loss of the hop
};

// The diffraction loss of a hop of `distanceKm` between antennas `h1M` and `h2M` above the
// smooth earth.
Diffraction smoothEarth(double frequencyMHz, double distanceKm, double h1M, double h2M);

} // namespace PropagationLoss
