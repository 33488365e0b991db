#pragma once

#include "patternpoint.h"

#include <string>
#include <string_view>
#include <vector>

// A co-polar (9XCO) or cross-polar (9XCR) antenna radiation pattern: a code and the points
// in file order.
class RadiationPattern {
public:
    RadiationPattern(bool coPolar, SyntaxFlags* flags) : m_coPolar(coPolar), m_flags(flags) {}

    bool isCoPolar() const { return m_coPolar; }
    const std::string& getCode() const { return m_code; }
    void setCode(std::string_view code) { m_code.assign(code); }

    int pointCount() const { return int(m_points.size()); }
    PatternPoint& point(int i) { return m_points[size_t(i)]; }
    const PatternPoint& point(int i) const { return m_points[size_t(i)]; }
    void appendPoint(std::string_view angle, std::string_view attenuation) {
        m_points.emplace_back(m_flags, angle, attenuation);
    }
    void insertPoint(int i, std::string_view angle, std::string_view attenuation);
    void removePoint(int i);
    void clear() { m_points.clear(); }
    void reserve(size_t n) { m_points.reserve(n); }

    void setSyntaxFlags(SyntaxFlags* flags);

    // The code check: missing code with points (15 / 8), unknown code (11 / 12), letter case
    // (1059 / 1060).
    int checkCode() const;
    // Angle then attenuation of every point, up to two codes a point.
    void checkPoints(std::vector<int>& codes) const;

private:
    std::string m_code;
    std::vector<PatternPoint> m_points;
    bool m_coPolar;
    SyntaxFlags* m_flags;
};
