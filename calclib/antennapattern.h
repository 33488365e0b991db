#pragma once

#include <vector>

class RadiationPattern;

// A radiation pattern as numbers: the attenuation (dB) against the off-axis angle (degrees).
// Points are kept sorted by angle; between points the attenuation is linear in the angle and
// beyond the first and the last point it keeps their values.
class AntennaPattern {
public:
    struct Point {
        double angleDeg;
        double attenuationDb;
    };

    // The points of a pattern of a record. False when an angle or an attenuation is not a
    // number, an angle lies outside 0..360 or an attenuation is negative.
    bool read(const RadiationPattern& pattern);
    void setPoints(std::vector<Point> points);
    const std::vector<Point>& points() const { return m_points; }
    bool isEmpty() const { return m_points.empty(); }

    // The largest angle is at most 180 degrees: the pattern is the same on both sides of the
    // axis. A pattern running beyond 180 degrees counts its angles clockwise from the axis.
    bool isSymmetric() const;

    // The attenuation at the off-axis angle θ (0..180). `anticlockwise` tells on which side of
    // the axis the direction lies; a pattern beyond 180 degrees then reads 360 - θ.
    double attenuationDb(double offAxisDeg, bool anticlockwise) const;

    // the same pattern with every attenuation raised by `db`
    AntennaPattern raisedBy(double db) const;

private:
    std::vector<Point> m_points;
};

namespace Polarisation {

// The attenuation of a pair of antennas, transmitting end and receiving end, in dB. Same
// polarisation: the co-polar attenuations add up. Different polarisation: the two cross
// couplings add as powers, A = -10 log10(10^(-(Aco,t + Axp,r)/10) + 10^(-(Axp,t + Aco,r)/10)).
double pairDiscriminationDb(bool samePolarisation, double coTx, double crossTx, double coRx,
                            double crossRx);

// the attenuation a missing cross-polar pattern adds to the co-polar one, dB
constexpr double AssumedCrossPolarDb = 25.0;

} // namespace Polarisation
