#pragma once

#include "syntaxflags.h"

#include <string>
#include <string_view>

// One (angle, attenuation) point of a radiation pattern, both kept as text as given.
class PatternPoint {
public:
    explicit PatternPoint(SyntaxFlags* flags = nullptr, std::string_view angle = {},
                          std::string_view attenuation = {})
        : m_angle(angle), m_attenuation(attenuation), m_flags(flags) {}

    const std::string& getAngle() const { return m_angle; }
    void setAngle(std::string_view v) { m_angle.assign(v); }
    const std::string& getAttenuation() const { return m_attenuation; }
    void setAttenuation(std::string_view v) { m_attenuation.assign(v); }

    void setSyntaxFlags(SyntaxFlags* flags) { m_flags = flags; }
    SyntaxFlags* syntaxFlags() const { return m_flags; }

    // 1 missing, 2 not a number, 3 outside 0..360, 1036 format
    int checkAngle() const;
    // 5 missing, 6 not a number, 7 negative, 1037 format
    int checkAttenuation() const;

private:
    std::string m_angle;
    std::string m_attenuation;
    SyntaxFlags* m_flags;
};
