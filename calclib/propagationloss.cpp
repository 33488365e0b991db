#include "propagationloss.h"

#include "fsgeometry.h"

#include <algorithm>
#include <cmath>

namespace PropagationLoss {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double SpeedOfLightMps = 299792458.0;

// A_h at radius `a` (km), filling the normalised values of `out`
double sphericalLoss(double f, double d, double h1, double h2, double a, Diffraction& out) {
    out.radiusKm = a;
    out.x = 2.188 * std::cbrt(f) * std::pow(a, -2.0 / 3.0) * d;
    const double yScale = 9.575e-3 * std::pow(f, 2.0 / 3.0) * std::pow(a, -1.0 / 3.0);
    out.y1 = yScale * h1;
    out.y2 = yScale * h2;
    out.fx = distanceTerm(out.x);
    out.g1 = heightGain(out.y1);
    out.g2 = heightGain(out.y2);
    out.sphericalLossDb = -(out.fx + out.g1 + out.g2);
    return out.sphericalLossDb;
}

} // namespace

double freeSpaceDb(double frequencyMHz, double distanceKm) {
    return 32.45 + 20.0 * std::log10(frequencyMHz) + 20.0 * std::log10(distanceKm);
}

double distanceTerm(double x) {
    if (x >= 1.6)
        return 11.0 + 10.0 * std::log10(x) - 17.6 * x;
    return -20.0 * std::log10(x) - 5.6488 * std::pow(x, 1.425);
}

double heightGain(double y) {
    double g;
    if (y > 2.0)
        g = 17.6 * std::sqrt(y - 1.1) - 5.0 * std::log10(y - 1.1) - 8.0;
    else
        g = 20.0 * std::log10(y + 0.1 * y * y * y);
    return std::max(g, HeightGainFloorDb);
}

Diffraction smoothEarth(double frequencyMHz, double distanceKm, double h1M, double h2M) {
    Diffraction r;
    const double f = frequencyMHz, d = distanceKm;
    const double ae = FsGeometry::EffectiveEarthRadiusKm;
    const double h1 = std::max(h1M, 1.0), h2 = std::max(h2M, 1.0);
    r.heightTxM = h1;
    r.heightRxM = h2;
    r.wavelengthM = SpeedOfLightMps / (f * 1e6);
    const double sqrtSum = std::sqrt(h1) + std::sqrt(h2);
    // sqrt(2 a_e) with a_e in km and h in m gives km: 0.04472 sqrt(a_e)
    r.horizonDistanceKm = std::sqrt(2.0 * ae / 1000.0) * sqrtSum;
    if (d >= r.horizonDistanceKm) {
        r.beyondHorizon = true;
        r.lossDb = sphericalLoss(f, d, h1, h2, ae, r);
        return r;
    }

    // The point of smallest clearance between the ray and the curved earth; lengths in m.
    const double dm = d * 1000.0, am = ae * 1000.0;
    const double c = (h1 - h2) / (h1 + h2);
    const double m = dm * dm / (4.0 * am * (h1 + h2));
    const double arg =
        std::clamp(1.5 * c * std::sqrt(3.0 * m / ((m + 1) * (m + 1) * (m + 1))), -1.0, 1.0);
    const double b =
        std::clamp(2.0 * std::sqrt((m + 1) / (3.0 * m)) * std::cos(Pi / 3.0 + std::acos(arg) / 3.0),
                   -1.0, 1.0);
    const double d1m = dm * (1 + b) / 2, d2m = dm - d1m;
    r.d1Km = d1m / 1000.0;
    r.d2Km = d2m / 1000.0;
    r.clearanceM = ((h1 - d1m * d1m / (2 * am)) * d2m + (h2 - d2m * d2m / (2 * am)) * d1m) / dm;
    r.requiredClearanceM = 17.456 * std::sqrt(r.d1Km * r.d2Km * r.wavelengthM / d);
    r.modifiedRadiusKm = 500.0 * (d / sqrtSum) * (d / sqrtSum);
    if (r.clearanceM > r.requiredClearanceM) {
        r.lossDb = 0;
        return r;
    }
    const double ah = sphericalLoss(f, d, h1, h2, r.modifiedRadiusKm, r);
    r.lossDb = (1.0 - r.clearanceM / r.requiredClearanceM) * ah;
    return r;
}

} // namespace PropagationLoss
