#include "antennapattern.h"

#include "radiationpattern.h"
#include "syntaxcheck.h"

#include <algorithm>
#include <cmath>

bool AntennaPattern::read(const RadiationPattern& pattern) {
    std::vector<Point> points;
    points.reserve(size_t(pattern.pointCount()));
    for (int i = 0; i < pattern.pointCount(); ++i) {
        const PatternPoint& p = pattern.point(i);
        Point q{};
        if (!SyntaxCheck::readReal(p.getAngle(), &q.angleDeg) ||
            !SyntaxCheck::readReal(p.getAttenuation(), &q.attenuationDb))
            return false;
        if (!(q.angleDeg >= 0 && q.angleDeg <= 360) || !(q.attenuationDb >= 0) ||
            !std::isfinite(q.attenuationDb))
            return false;
        points.push_back(q);
    }
    setPoints(std::move(points));
    return true;
}

void AntennaPattern::setPoints(std::vector<Point> points) {
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.angleDeg < b.angleDeg; });
    m_points = std::move(points);
}

bool AntennaPattern::isSymmetric() const {
    return m_points.empty() || m_points.back().angleDeg <= 180.0;
}

double AntennaPattern::attenuationDb(double offAxisDeg, bool anticlockwise) const {
    if (m_points.empty())
        return 0;
    const Point& first = m_points.front();
    const Point& last = m_points.back();
    if (!isSymmetric()) {
        // the full circle, clockwise from the axis: the points repeat every 360 degrees
        const double angle = anticlockwise ? 360.0 - offAxisDeg : offAxisDeg;
        if (angle < first.angleDeg)
            return between({last.angleDeg - 360.0, last.attenuationDb}, first, angle);
        if (angle > last.angleDeg)
            return between(last, {first.angleDeg + 360.0, first.attenuationDb}, angle);
        return inside(angle);
    }
    if (offAxisDeg <= first.angleDeg)
        return first.attenuationDb;
    if (offAxisDeg >= last.angleDeg)
        return last.attenuationDb;
    return inside(offAxisDeg);
}

double AntennaPattern::between(const Point& a, const Point& b, double angle) {
    if (b.angleDeg == a.angleDeg)
        return b.attenuationDb;
    const double t = (angle - a.angleDeg) / (b.angleDeg - a.angleDeg);
    return a.attenuationDb + t * (b.attenuationDb - a.attenuationDb);
}

double AntennaPattern::inside(double angle) const {
    if (angle <= m_points.front().angleDeg)
        return m_points.front().attenuationDb;
    // the first point at or beyond the angle; its predecessor lies below it
    const auto next = std::lower_bound(m_points.begin(), m_points.end(), angle,
                                       [](const Point& p, double a) { return p.angleDeg < a; });
    return between(*(next - 1), *next, angle);
}

AntennaPattern AntennaPattern::raisedBy(double db) const {
    AntennaPattern p;
    p.m_points = m_points;
    for (Point& q : p.m_points)
        q.attenuationDb += db;
    return p;
}

namespace Polarisation {

double pairDiscriminationDb(bool samePolarisation, double coTx, double crossTx, double coRx,
                            double crossRx) {
    if (samePolarisation)
        return coTx + coRx;
    return -10.0 * std::log10(std::pow(10.0, -(coTx + crossRx) / 10.0) +
                              std::pow(10.0, -(crossTx + coRx) / 10.0));
}

} // namespace Polarisation
