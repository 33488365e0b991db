#pragma once

#include "patternpoint.h"
#include "textpack.h"

#include <string_view>
#include <vector>

// A co-polar (9XCO) or cross-polar (9XCR) antenna radiation pattern: a code and the points
// in file order. The code and the point texts are packed in one block (code, angle 0,
// attenuation 0, angle 1, ...); a pattern with neither code nor points holds none.
class RadiationPattern {
public:
    RadiationPattern(bool coPolar, SyntaxFlags* flags) : m_coPolar(coPolar), m_flags(flags) {}

    bool isCoPolar() const { return m_coPolar; }
    std::string_view getCode() const { return m_texts[0]; }
    void setCode(std::string_view code);

    int pointCount() const { return m_texts.empty() ? 0 : int((m_texts.size() - 1) / 2); }
    // a view of point i, valid until the pattern changes
    PatternPoint point(int i) const {
        return PatternPoint(m_flags, m_texts[angleIndex(i)], m_texts[angleIndex(i) + 1]);
    }
    void setAngle(int i, std::string_view angle);
    void setAttenuation(int i, std::string_view attenuation);
    void appendPoint(std::string_view angle, std::string_view attenuation) {
        insertPoint(pointCount(), angle, attenuation);
    }
    // out of range appends
    void insertPoint(int i, std::string_view angle, std::string_view attenuation);
    void removePoint(int i);
    // removes the points, the code stays
    void clear();
    // The texts are repacked on every change; there is nothing to set aside beforehand.
    void reserve(size_t) {}
    // The code and the points at once: texts[0] is the code, then angle, attenuation, angle,
    // ... of the points (an angle without its attenuation is left out).
    void assign(const std::string_view* texts, size_t count);

    void setSyntaxFlags(SyntaxFlags* flags) { m_flags = flags; }

    // The code check: missing code with points (15 / 8), unknown code (11 / 12), letter case
    // (1059 / 1060).
    int checkCode() const;
    // Angle then attenuation of every point, up to two codes a point.
    void checkPoints(std::vector<int>& codes) const;

private:
    static size_t angleIndex(int i) { return 1 + 2 * size_t(i); }
    void setPointText(int i, size_t which, std::string_view text);

    TextPack m_texts;
    bool m_coPolar;
    SyntaxFlags* m_flags;
};
