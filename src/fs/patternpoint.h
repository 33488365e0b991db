#pragma once

#include "syntaxflags.h"

#include <string_view>

// One (angle, attenuation) point of a radiation pattern, both as text as given. A point is a
// view: the pattern it came from keeps the texts, and it is valid until that pattern changes.
// The texts are changed through the pattern (RadiationPattern::setAngle and the like).
class PatternPoint {
public:
    explicit PatternPoint(SyntaxFlags* flags = nullptr, std::string_view angle = {},
                          std::string_view attenuation = {})
        : m_angle(angle), m_attenuation(attenuation), m_flags(flags) {}

    std::string_view getAngle() const { return m_angle; }
    std::string_view getAttenuation() const { return m_attenuation; }
    SyntaxFlags* syntaxFlags() const { return m_flags; }

    // 1 missing, 2 not a number, 3 outside 0..360, 1036 format
    int checkAngle() const;
    // 5 missing, 6 not a number, 7 negative, 1037 format
    int checkAttenuation() const;

private:
    std::string_view m_angle;
    std::string_view m_attenuation;
    SyntaxFlags* m_flags;
};
