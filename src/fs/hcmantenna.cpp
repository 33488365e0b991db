#include "hcmantenna.h"

#include "checkgates.h"
#include "syntaxcheck.h"

#include <cmath>

using namespace SyntaxCheck;
using CheckGates::has;
using CheckGates::word;

namespace {

bool finiteReal(std::string_view t, double* v) {
    return readReal(t, v) && std::isfinite(*v);
}

} // namespace

int PatternPoint::checkAngle() const {
    double v = 0;
    if (m_angle.empty())
        return 1;
    if (!finiteReal(m_angle, &v))
        return 2;
    if (v > 360 || v < 0)
        return 3;
    if (has(m_flags, SyntaxOption::NumberFormat) && !checkNumberFormat(m_angle, 3, 1, false))
        return 1036;
    return 0;
}

int PatternPoint::checkAttenuation() const {
    double v = 0;
    if (m_attenuation.empty())
        return 5;
    if (!finiteReal(m_attenuation, &v))
        return 6;
    if (v < 0)
        return 7;
    if (has(m_flags, SyntaxOption::NumberFormat) && !checkNumberFormat(m_attenuation, 2, 1, false))
        return 1037;
    return 0;
}

void RadiationPattern::setCode(std::string_view code) {
    if (m_texts.empty()) {
        if (!code.empty())
            m_texts.assign(&code, 1);
        return;
    }
    if (code.empty() && m_texts.size() == 1)
        m_texts.clear();
    else
        m_texts.set(0, code);
}

void RadiationPattern::setPointText(int i, size_t which, std::string_view text) {
    if (i >= 0 && i < pointCount())
        m_texts.set(angleIndex(i) + which, text);
}

void RadiationPattern::setAngle(int i, std::string_view angle) {
    setPointText(i, 0, angle);
}

void RadiationPattern::setAttenuation(int i, std::string_view attenuation) {
    setPointText(i, 1, attenuation);
}

void RadiationPattern::insertPoint(int i, std::string_view angle, std::string_view attenuation) {
    if (i < 0 || i > pointCount())
        i = pointCount();
    if (m_texts.empty()) {
        const std::string_view texts[] = {{}, angle, attenuation};
        m_texts.assign(texts, 3);
        return;
    }
    const std::string_view point[] = {angle, attenuation};
    m_texts.replace(angleIndex(i), 0, point, 2);
}

void RadiationPattern::removePoint(int i) {
    if (i < 0 || i >= pointCount())
        return;
    if (pointCount() == 1 && getCode().empty())
        m_texts.clear();
    else
        m_texts.replace(angleIndex(i), 2, nullptr, 0);
}

void RadiationPattern::clear() {
    const std::string_view code = getCode();
    if (code.empty())
        m_texts.clear();
    else
        m_texts.assign(&code, 1);
}

void RadiationPattern::assign(const std::string_view* texts, size_t count) {
    if (count > 0 && count % 2 == 0)
        --count;
    if (count == 1 && texts[0].empty())
        count = 0;
    m_texts.assign(texts, count);
}

int RadiationPattern::checkCode() const {
    const std::string_view code = getCode();
    if (code.empty())
        return pointCount() == 0 ? 0 : (m_coPolar ? 15 : 8);
    const std::string upper = toUpper(code);
    const bool known = m_coPolar ? (upper == "CP" || upper == "VV" || upper == "HH")
                                 : (upper == "HV" || upper == "VH" || upper == "XP");
    if (!known)
        return m_coPolar ? 11 : 12;
    if (has(m_flags, SyntaxOption::CharWarnings) && upper != code)
        return m_coPolar ? 1059 : 1060;
    return 0;
}

void RadiationPattern::checkPoints(std::vector<int>& codes) const {
    const int n = pointCount();
    for (int i = 0; i < n; ++i) {
        const PatternPoint p = point(i);
        if (const int c = p.checkAngle())
            codes.push_back(c);
        if (const int c = p.checkAttenuation())
            codes.push_back(c);
    }
}

void HCMAntenna::setText(Text t, std::string_view v) {
    if (!m_texts.empty()) {
        m_texts.set(t, v);
    } else if (!v.empty()) {
        std::string_view texts[TextCount];
        texts[t] = v;
        m_texts.assign(texts, TextCount);
    }
}

void HCMAntenna::setTexts(const std::string_view (&texts)[TextCount]) {
    for (const std::string_view t : texts) {
        if (!t.empty()) {
            m_texts.assign(texts, TextCount);
            return;
        }
    }
    m_texts.clear();
}

void HCMAntenna::setSyntaxFlags(SyntaxFlags* flags) {
    m_flags = flags;
    m_coPolar.setSyntaxFlags(flags);
    m_crossPolar.setSyntaxFlags(flags);
}

int HCMAntenna::checkText(Text t) const {
    const std::string_view s = text(t);
    const bool skipped = has(m_flags, SyntaxOption::CalcOnly);
    const bool format = has(m_flags, SyntaxOption::NumberFormat);
    const bool values = has(m_flags, SyntaxOption::ValueWarnings);
    double v = 0;
    switch (t) {
    case T9XM:
    case T9XT: {
        const bool m = t == T9XM;
        if (skipped)
            return 0;
        if (s.empty())
            return m ? 9 : 13;
        if (s.size() > 20)
            return m ? 10 : 14;
        return word(m_flags) && !hasNoSeparator(s) ? (m ? 170 : 171) : 0;
    }
    case T9XFL:
    case T9XFU: {
        const bool lower = t == T9XFL;
        if (skipped || s.empty())
            return 0;
        if (!finiteReal(s, &v))
            return lower ? 16 : 18;
        if (format && !checkNumberFormat(s, 2, 3, false))
            return lower ? 1038 : 1039;
        return values && (v < 0 || v > 60) ? (lower ? 1056 : 1057) : 0;
    }
    case T9X1:
        if (s.empty())
            return 20;
        if (!finiteReal(s, &v))
            return 21;
        if (values && (v < -10 || v > 60))
            return 1058;
        return format && !checkNumberFormat(s, 2, 1, false) ? 1040 : 0;
    default:
        return 0;
    }
}

void HCMAntenna::checkPattern(const RadiationPattern& own, const RadiationPattern& other,
                              int missing, int noPoints, std::vector<int>& codes) const {
    const bool hasPoints = own.pointCount() > 0;
    if (!own.getCode().empty() || hasPoints) {
        if (!own.getCode().empty() && !hasPoints)
            codes.push_back(noPoints);
        if (const int c = own.checkCode())
            codes.push_back(c);
        return;
    }
    // neither code nor points: missing only when the other pattern is there
    if (!other.getCode().empty() || other.pointCount() > 0) {
        codes.push_back(missing);
        codes.push_back(noPoints);
    }
}

void HCMAntenna::checkCoPolar(std::vector<int>& codes) const {
    checkPattern(m_coPolar, m_crossPolar, 15, 115, codes);
}

void HCMAntenna::checkCrossPolar(std::vector<int>& codes) const {
    checkPattern(m_crossPolar, m_coPolar, 8, 126, codes);
}
