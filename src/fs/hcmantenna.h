#pragma once

#include "radiationpattern.h"
#include "textpack.h"

#include <string_view>
#include <vector>

// Fields 45-49 of a record and its two radiation patterns. The five texts are stored exactly
// as given (no trimming), packed in one block that is made when the first of them is set.
class HCMAntenna {
public:
    enum Text { T9XM, T9XT, T9XFL, T9XFU, T9X1, TextCount };

    explicit HCMAntenna(SyntaxFlags* flags = nullptr)
        : m_coPolar(true, flags), m_crossPolar(false, flags), m_flags(flags) {}

    std::string_view text(Text t) const { return m_texts[t]; }
    void setText(Text t, std::string_view v);
    // all five texts at once, in the order of Text
    void setTexts(const std::string_view (&texts)[TextCount]);

    std::string_view get9XM() const { return text(T9XM); }
    void set9XM(std::string_view v) { setText(T9XM, v); }
    std::string_view get9XT() const { return text(T9XT); }
    void set9XT(std::string_view v) { setText(T9XT, v); }
    std::string_view get9XFL() const { return text(T9XFL); }
    void set9XFL(std::string_view v) { setText(T9XFL, v); }
    std::string_view get9XFU() const { return text(T9XFU); }
    void set9XFU(std::string_view v) { setText(T9XFU, v); }
    std::string_view get9X1() const { return text(T9X1); }
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

    TextPack m_texts;
    RadiationPattern m_coPolar;
    RadiationPattern m_crossPolar;
    SyntaxFlags* m_flags;
};
