#pragma once

#include "radiationpattern.h"

#include <string>
#include <string_view>
#include <vector>

// Fields 45-49 of a record and its two radiation patterns. The five texts are stored exactly
// as given (no trimming).
class HCMAntenna {
public:
    enum Text { T9XM, T9XT, T9XFL, T9XFU, T9X1, TextCount };

    explicit HCMAntenna(SyntaxFlags* flags = nullptr)
        : m_coPolar(true, flags), m_crossPolar(false, flags), m_flags(flags) {}

    const std::string& text(Text t) const { return m_text[t]; }
    void setText(Text t, std::string_view v) { m_text[t].assign(v); }

    const std::string& get9XM() const { return m_text[T9XM]; }
    void set9XM(std::string_view v) { setText(T9XM, v); }
    const std::string& get9XT() const { return m_text[T9XT]; }
    void set9XT(std::string_view v) { setText(T9XT, v); }
    const std::string& get9XFL() const { return m_text[T9XFL]; }
    void set9XFL(std::string_view v) { setText(T9XFL, v); }
    const std::string& get9XFU() const { return m_text[T9XFU]; }
    void set9XFU(std::string_view v) { setText(T9XFU, v); }
    const std::string& get9X1() const { return m_text[T9X1]; }
    void set9X1(std::string_view v) { setText(T9X1, v); }

    RadiationPattern& coPolar() { return m_coPolar; }
    const RadiationPattern& coPolar() const { return m_coPolar; }
    RadiationPattern& crossPolar() { return m_crossPolar; }
    const RadiationPattern& crossPolar() const { return m_crossPolar; }

    void setSyntaxFlags(SyntaxFlags* flags);
    SyntaxFlags* syntaxFlags() const { return m_flags; }

    int checkText(Text t) const;
    int check9XM() const { return checkText(T9XM); }
    int check9XT() const { return checkText(T9XT); }
    int check9XFL() const { return checkText(T9XFL); }
    int check9XFU() const { return checkText(T9XFU); }
    int check9X1() const { return checkText(T9X1); }

    // The codes of the co-polar and of the cross-polar pattern (presence, points, code).
    void checkCoPolar(std::vector<int>& codes) const;
    void checkCrossPolar(std::vector<int>& codes) const;

private:
    void checkPattern(const RadiationPattern& own, const RadiationPattern& other, int missing,
                      int noPoints, std::vector<int>& codes) const;

    std::string m_text[TextCount];
    RadiationPattern m_coPolar;
    RadiationPattern m_crossPolar;
    SyntaxFlags* m_flags;
};
