#include "msmodel.h"

#include "mserror.h"

#include <algorithm>
#include <cmath>

namespace MsModel {

namespace {

constexpr double Rad = 3.14159265358979323846 / 180.0;

// The great-circle distance and the initial bearings both ways, by the formulas of FsGeometry
// with the sines and cosines shared (the back bearing only when asked for).
void path(const GeoPoint& a, const GeoPoint& b, bool back, MsModel::PairResult* r) {
    const double p1 = a.latitude * Rad, p2 = b.latitude * Rad;
    // from the sines and cosines of the half angles: sin x = 2 s c, cos x = c^2 - s^2 and
    // sin((p2 - p1)/2) = s2 c1 - c2 s1 (exact also for short paths)
    const double hs1 = std::sin(p1 / 2), hc1 = std::cos(p1 / 2);
    const double hs2 = std::sin(p2 / 2), hc2 = std::cos(p2 / 2);
    const double s1 = 2 * hs1 * hc1, c1 = hc1 * hc1 - hs1 * hs1;
    const double s2 = 2 * hs2 * hc2, c2 = hc2 * hc2 - hs2 * hs2;
    const double sdp = hs2 * hc1 - hc2 * hs1;
    const double half = (b.longitude - a.longitude) * Rad / 2;
    const double sl = std::sin(half), cl = std::cos(half);
    const double h = sdp * sdp + c1 * c2 * sl * sl;
    r->distanceKm = 2 * FsGeometry::EarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
    const double sinDl = 2 * sl * cl, cosDl = 1 - 2 * sl * sl;
    const auto degrees = [](double y, double x) {
        const double az = std::atan2(y, x) / Rad;
        return az < 0 ? (az + 360 >= 360 ? 0 : az + 360) : az;
    };
    r->horizontalDirectionDeg = degrees(sinDl * c2, c1 * s2 - s1 * c2 * cosDl);
    r->rxDirectionDeg = back ? degrees(-sinDl * c1, c2 * s1 - s2 * c1 * cosDl) : 0;
}

double clampedFrequency(double mhz) {
    return std::clamp(mhz, 150.0, 1500.0);
}

// the angle between two azimuths, degrees in [0, 180]
double azimuthDifference(double a, double b) {
    double d = std::fabs(std::fmod(a - b, 360.0));
    return d > 180 ? 360 - d : d;
}

// horizontal and vertical pattern attenuation towards a direction, as a correction (<= 0)
double antennaCorrection(const MsInput::Station& s, double azimuthDeg, double elevationDeg) {
    return -(patternAttenuation(s.horizontal, azimuthDifference(azimuthDeg, s.azimuthDeg)) +
             patternAttenuation(s.vertical, std::fabs(elevationDeg - s.elevationDeg)));
}

} // namespace

double freeSpaceField(double distanceKm) {
    return 106.9 - 20 * std::log10(std::max(distanceKm, MinimumDistanceKm));
}

double hataField(double mhz, double h1, double distanceKm) {
    const double f = clampedFrequency(mhz);
    const double lf = std::log10(f);
    h1 = std::max(h1, 1.0);
    const double lh1 = std::log10(h1);
    const double d = std::max(distanceKm, MinimumDistanceKm);
    const double ld = std::log10(d);
    const double aH2 = (1.1 * lf - 0.7) * 10 - (1.56 * lf - 0.8);
    double dTerm = ld;
    if (d > 20) {
        // x^y as exp(y ln x), both bases above 0
        const double h1p = h1 / std::sqrt(1 + 7e-6 * h1 * h1);
        const double b = 1 + (0.14 + 1.87e-4 * f + 1.07e-3 * h1p) *
                                 std::exp(0.8 * std::log(ld - std::log10(20.0)));
        dTerm = std::exp(b * std::log(ld));
    }
    return 69.82 - 6.16 * lf + 13.82 * lh1 + aH2 - (44.9 - 6.55 * lh1) * dTerm;
}

double receiveHeightCorrection(double mhz, double h2) {
    const double lf = std::log10(clampedFrequency(mhz));
    return (3.2 + 6.2 * lf) * std::log10(std::max(h2, 1.0) / 10);
}

double landField(double mhz, double h1, double h2, double distanceKm) {
    const double e = hataField(mhz, h1, distanceKm);
    return std::min(h2 == 10 ? e : e + receiveHeightCorrection(mhz, h2),
                    freeSpaceField(distanceKm));
}

double patternAttenuation(const MsInput::Pattern& pattern, double offAxisDeg) {
    if (!pattern.directional)
        return 0;
    const double x = offAxisDeg / pattern.beamwidthDeg;
    return std::min(12 * x * x, pattern.maxAttenuationDb);
}

double frequencyDifferenceCorrection(double differenceKHz, double txBandwidthKHz,
                                     double rxBandwidthKHz) {
    const double mean = (txBandwidthKHz + rxBandwidthKHz) / 2;
    if (differenceKHz <= mean)
        return 0;
    return -std::min(MaxFrequencyDifferenceDb, 60 * (differenceKHz - mean) / mean);
}

bool mode(int cmode, Mode* m) {
    // CMODE, permissible field strength (dBuV/m, < 0: none), h2 (m, 0: the record's)
    static constexpr double table[18][3] = {
        {9, 21, 0},  {8, 18, 0},  {7, -1, 0},  {6, 42, 0},   {5, 38, 0},   {4, 32, 3},
        {3, 32, 0},  {2, 32, 0},  {1, 32, 0},  {0, -1, 0},   {-1, -1, 10}, {-2, 19, 3},
        {-3, 12, 3}, {-4, 32, 3}, {-5, 52, 3}, {-6, 25, 10}, {-7, 18, 0},  {-8, 21, 10}};
    for (const auto& row : table) {
        if (int(row[0]) != cmode)
            continue;
        m->hasValue = row[1] >= 0;
        m->permissibleDbuvm = m->hasValue ? row[1] : 0;
        m->h2 = row[2];
        return true;
    }
    return false;
}

void transmitterField(const MsInput::Transmitter& tx, const GeoPoint& rx, double rxSiteHeight,
                      double h2, PairResult* r, bool rxDirection) {
    path(tx.position, rx, rxDirection, r);
    const double d = std::max(r->distanceKm, MinimumDistanceKm);
    const double txHeight = tx.siteHeight + tx.antennaHeight;
    r->txSiteHeight = tx.siteHeight;
    r->rxSiteHeight = rxSiteHeight;
    r->verticalDirectionDeg = FsGeometry::pathElevationDeg(txHeight, rxSiteHeight + h2, d);
    r->effectiveHeight = std::max(1.0, txHeight - rxSiteHeight);
    r->txAntennaCorrection =
        antennaCorrection(tx, r->horizontalDirectionDeg, r->verticalDirectionDeg);
    r->txAntennaTypeCorrection = tx.isotropicReference ? -DipoleGainDb : 0;
    r->referenceTxPower = tx.powerDbw + r->txAntennaTypeCorrection;
    r->powerTowardsRx = r->referenceTxPower + r->txAntennaCorrection;
    r->freeSpaceField = freeSpaceField(d);
    const double hata = hataField(tx.frequencyMHz, r->effectiveHeight, d);
    r->landField = std::min(h2 == 10 ? hata : hata + receiveHeightCorrection(tx.frequencyMHz, h2),
                            r->freeSpaceField);
    // 1 kW e.r.p. is 30 dBW
    r->fieldStrength = r->landField + r->powerTowardsRx - 30;
}

int calculatePair(int cmode, const MsInput::Transmitter& tx, const MsInput::Station& rx,
                  const MsInput::Settings& settings, PairResult* r) {
    Mode m;
    if (!mode(cmode, &m))
        return MsCalcError::UnknownMode;
    // a height of 0 is taken as not given: the 10 m of the field strength curves
    const double h2 = m.h2 > 0 ? m.h2 : rx.antennaHeight > 0 ? rx.antennaHeight : 10.0;
    transmitterField(tx, rx.position, rx.siteHeight, h2, r);
    const double d = std::max(r->distanceKm, MinimumDistanceKm);
    const double rxHeight = rx.siteHeight + h2;
    r->rxAntennaCorrection = antennaCorrection(
        rx, FsGeometry::bearingDeg(rx.position, tx.position),
        FsGeometry::pathElevationDeg(rxHeight, tx.siteHeight + tx.antennaHeight, d));
    r->frequencyDifferenceKHz = std::fabs(tx.frequencyMHz - rx.frequencyMHz) * 1000;
    r->frequencyDifferenceCorrection =
        frequencyDifferenceCorrection(r->frequencyDifferenceKHz, tx.bandwidthKHz, rx.bandwidthKHz);
    const char txPol = tx.polarisation(), rxPol = rx.polarisation();
    r->depolarisationDb = (txPol && rxPol && txPol != rxPol) ? settings.depolarisationDb : 0;
    r->fieldStrength +=
        r->rxAntennaCorrection + r->frequencyDifferenceCorrection - r->depolarisationDb;
    if (settings.permissibleGiven || m.hasValue) {
        r->permissibleField =
            settings.permissibleGiven ? settings.permissibleDbuvm : m.permissibleDbuvm;
        r->protectionMargin = r->permissibleField - r->fieldStrength;
    }
    return MsCalcError::None;
}

} // namespace MsModel
