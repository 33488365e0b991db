#pragma once

#include <vector>

class RadiationPattern;

// A radiation pattern as numbers: the attenuation (dB) against the off-axis angle (degrees).
// Points are kept sorted by angle; between points the attenuation is linear in the angle. A
// symmetric pattern (up to 180 degrees) keeps the values of its first and last point beyond
// them; a pattern of the full circle wraps round at 360 degrees.
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
    // the axis the direction lies; a pattern beyond 180 degrees then reads 360 - θ, between its
    // last point and its first one (at 360 degrees more) when the angle lies beyond them.
    double attenuationDb(double offAxisDeg, bool anticlockwise) const;

    // the same pattern with every attenuation raised by `db`
    AntennaPattern raisedBy(double db) const;

private:
    static double between(const Point& a, const Point& b, double angle);
    double inside(double angle) const; // first point <= angle <= last point
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
