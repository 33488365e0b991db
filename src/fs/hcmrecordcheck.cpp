// The record rules: each field check returns the first code that applies, or 0.
#include "checkgates.h"
#include "hcmrecord.h"
#include "syntaxcheck.h"

#include <cmath>
#include <initializer_list>

using namespace SyntaxCheck;
using CheckGates::has;
using CheckGates::word;

namespace {

// Open intervals (GHz) between the bands listed by the agreement.
const double kBandGaps[][2] = {
    {1.4, 1.427},   {1.452, 1.492}, {1.515, 2.025}, {2.11, 2.2},   {2.29, 2.52},  {2.67, 3.41},
    {4.2, 5.925},   {7.975, 8.025}, {8.5, 10.15},   {10.65, 10.7}, {11.7, 12.75}, {13.25, 14.5},
    {14.62, 15.23}, {15.35, 17.7},  {19.7, 22},     {22.6, 23},    {23.6, 24.5},  {26.5, 27.5},
    {29.5, 31.8},   {33.4, 37},     {39.5, 40.5},
};

const int kMaskFreqMissing[] = {60, 61, 64, 67, 70, 73};
const int kMaskFreqNaN[] = {58, 62, 65, 68, 71, 74};
const int kMaskFreqOrder[] = {0, 76, 77, 78, 79, 80};
const int kMaskAttMissing[] = {81, 84, 87, 90, 93, 96};
const int kMaskAttNaN[] = {82, 85, 88, 91, 94, 97};

bool oneOf(std::string_view v, std::initializer_list<const char*> list) {
    for (const char* s : list)
        if (v == s)
            return true;
    return false;
}

// A finite real number; "nan" and "inf" are not numbers for the rules.
bool real(std::string_view t, double* v = nullptr) {
    double x = 0;
    if (!readReal(t, &x) || !std::isfinite(x))
        return false;
    if (v)
        *v = x;
    return true;
}

int dateCode(std::string_view t, bool values, int lengthCode, int numberCode, int valueCode) {
    switch (checkDate(t)) {
    case 1:
        return lengthCode;
    case 2:
        return numberCode;
    case 3:
        return values ? valueCode : 0;
    default:
        return 0;
    }
}

// Compared with a list after upper-casing; a match only after upper-casing is a letter-case
// warning.
int listCode(std::string_view t, std::initializer_list<const char*> list, bool chars, int unknown,
             int letterCase) {
    if (!oneOf(toUpper(t), list))
        return unknown;
    if (chars && !isUpper(t))
        return letterCase;
    return 0;
}

} // namespace

bool HCMRecord::skipped() const {
    return has(m_flags, SyntaxOption::CalcOnly);
}

int HCMRecord::checkFrequency() const {
    const std::string_view t = text(F1A);
    if (t.empty())
        return isPlanned() ? 0 : 24;
    if (!real(t))
        return 25;
    if (has(m_flags, SyntaxOption::NumberFormat) && !checkNumberFormat(t, 5, 5, false))
        return 1024;
    if (has(m_flags, SyntaxOption::ValueWarnings)) {
        const double f = frequencyGHz();
        if (f < 1.35 || f > 43.5)
            return 1003;
        for (const auto& gap : kBandGaps)
            if (f > gap[0] && f < gap[1])
                return 1004;
    }
    return 0;
}

bool HCMRecord::anyOtherMaskText(Field self) const {
    for (int f = F7GF1; f <= F7GA6; ++f)
        if (f != self && !text(Field(f)).empty())
            return true;
    return false;
}

int HCMRecord::checkMaskFrequency(int i) const {
    const Field self = maskFrequency(i);
    const std::string_view t = text(self);
    if (t.empty())
        return anyOtherMaskText(self) ? kMaskFreqMissing[i - 1] : 0;
    double v = 0;
    if (!real(t, &v))
        return kMaskFreqNaN[i - 1];
    if (has(m_flags, SyntaxOption::NumberFormat) && !checkNumberFormat(t, 5, 5, false))
        return 1040 + i;
    double previous = 0;
    if (i >= 2 && real(text(maskFrequency(i - 1)), &previous) && v < previous)
        return kMaskFreqOrder[i - 1];
    return 0;
}

int HCMRecord::checkMaskAttenuation(int i) const {
    const Field self = maskAttenuation(i);
    const std::string_view t = text(self);
    if (t.empty()) {
        if (i == 6)
            return text(F7GF6).empty() ? 0 : 96;
        return anyOtherMaskText(self) ? kMaskAttMissing[i - 1] : 0;
    }
    double v = 0;
    if (!real(t, &v))
        return kMaskAttNaN[i - 1];
    if (has(m_flags, SyntaxOption::NumberFormat) && !checkNumberFormat(t, 2, 1, false))
        return 1046 + i;
    if (v < 40) {
        bool last = true;
        for (int j = i + 1; j <= 6; ++j)
            last = last && text(maskAttenuation(j)).empty();
        if (last)
            return 99;
    }
    return 0;
}

namespace {

// The layout of a co-ordinate text: DDDEMMSS for longitudes, DDNMMSS for latitudes.
struct CoordinateForm {
    size_t size;
    size_t degreeDigits; // the hemisphere letter follows them
    const char* hemispheres;
    long long maxDegrees;
    int missing, length, wrong, minutes, seconds;
};

const CoordinateForm kLongitude = {8, 3, "EW", 360, 39, 40, 41, 42, 43};
const CoordinateForm kLatitude = {7, 2, "NS", 90, 44, 45, 45, 46, 47};

int checkCoordinate(std::string_view t, const CoordinateForm& form, bool chars) {
    if (t.empty())
        return form.missing;
    if (t.size() != form.size)
        return form.length;
    const char hemisphere = toUpper(t.substr(form.degreeDigits, 1))[0];
    if (hemisphere != form.hemispheres[0] && hemisphere != form.hemispheres[1])
        return form.wrong;
    long long degrees = 0, minutes = 0, seconds = 0;
    if (!readDigitGroup(t.substr(0, form.degreeDigits), &degrees) || degrees > form.maxDegrees)
        return form.wrong;
    if (!readDigitGroup(t.substr(form.degreeDigits + 1, 2), &minutes))
        return form.wrong;
    if (minutes > 59)
        return form.minutes;
    if (!readDigitGroup(t.substr(form.degreeDigits + 3, 2), &seconds))
        return form.wrong;
    if (seconds > 59)
        return form.seconds;
    return chars && !isLegalText(t) ? 1020 : 0;
}

} // namespace

int HCMRecord::checkField(Field f) const {
    if (f >= OwnFieldCount)
        return antenna().checkText(HCMAntenna::Text(f - OwnFieldCount));
    const std::string_view t = text(f);
    const bool format = has(m_flags, SyntaxOption::NumberFormat);
    const bool values = has(m_flags, SyntaxOption::ValueWarnings);
    const bool chars = has(m_flags, SyntaxOption::CharWarnings);
    const bool anyOption = word(m_flags);
    double v = 0;
    long long n = 0;

    switch (f) {
    case F0A:
        if (m_entryType == UnknownEntry)
            return 23;
        return chars && !isLegalText(t) ? 1001 : 0;
    case F1A:
        return checkFrequency();
    case F1A1:
        if (t.empty())
            return isPlanned() ? 0 : 27;
        if (m_frequencyUnit == UnknownUnit)
            return 28;
        return chars && !isLegalText(t) ? 1002 : 0;
    case F1Z:
        if (skipped())
            return 0;
        if (t.empty())
            return isPlanned() ? 0 : 29;
        return oneOf(t, {"1", "2", "3", "4", "5", "6", "7", "8"}) ? 0 : 30;
    case F6A:
        if (skipped() || t.empty() || t == "FX")
            return 0;
        if (toUpper(t) != "FX")
            return 31;
        return chars ? 1005 : 0;
    case F6B:
        if (skipped() || t.empty())
            return 0;
        return listCode(t, {"CO", "CP", "CR", "CV", "OT"}, chars, 32, 1021);
    case F6Z:
        if (skipped() || t.empty())
            return 0;
        return listCode(t, {"A", "B", "C", "D", "E", "F", "G", "H", "HH", "I", "K", "L", "M",
                            "N", "O", "P", "Q", "R", "S", "T", "U", "V",  "W", "X", "Y", "Z"},
                        chars, 33, 1022);
    case F2C:
        if (skipped() || t.empty())
            return 0;
        return dateCode(t, values, 34, 35, 1006);
    case F4A:
        if (skipped())
            return 0;
        if (t.empty())
            return 1007;
        if (anyOption && !hasNoSeparator(t))
            return 166;
        return t.size() > 40 ? 36 : 0;
    case F4B:
        if (t.empty())
            return 37;
        if (t.size() > 3)
            return 38;
        return chars && !isLegalText(t) ? 1009 : 0;
    case FLongitude:
        return checkCoordinate(t, kLongitude, chars);
    case FLatitude:
        return checkCoordinate(t, kLatitude, chars);
    case F4Z:
        if (t.empty())
            return 48;
        if (format && !checkNumberFormat(t, 4, 0, false) && !checkNumberFormat(t, 3, 0, true))
            return 1029;
        if (!readInteger(t, &n))
            return 50;
        return values && (n > 9000 || n < -100) ? 1010 : 0;
    case F7A:
        if (skipped())
            return 0;
        if (t.empty())
            return isPlanned() ? 0 : 51;
        if (t.size() < 7 || t.size() > 9)
            return 52;
        return chars && !isLegalText(t) ? 1011 : 0;
    case F7H:
    case F7I: {
        const bool h = f == F7H;
        if (t.empty())
            return h ? 53 : 55;
        if (t.size() > 20)
            return h ? 54 : 56;
        return anyOption && !hasNoSeparator(t) ? (h ? 167 : 168) : 0;
    }
    case F7K:
        if (t.empty())
            return 0;
        if (t.size() > 10)
            return 57;
        return chars && !isLegalText(t) ? 1014 : 0;
    case F7GF1:
    case F7GF2:
    case F7GF3:
    case F7GF4:
    case F7GF5:
    case F7GF6:
        return checkMaskFrequency((f - F7GF1) / 2 + 1);
    case F7GA1:
    case F7GA2:
    case F7GA3:
    case F7GA4:
    case F7GA5:
    case F7GA6:
        return checkMaskAttenuation((f - F7GA1) / 2 + 1);
    case F7G1:
        if (t.empty())
            return 0;
        if (!oneOf(t, {"1", "2", "3", "4H", "4L", "5A", "5B", "6A", "6B", "4h", "4l", "5a", "5b",
                       "6a", "6b"}))
            return 100;
        return chars && !isLegalText(t) ? 1032 : 0;
    case F7G2:
        if (t.empty())
            return 0;
        if (!real(t))
            return 102;
        return format && !checkNumberFormat(t, 2, 1, false) ? 1033 : 0;
    case F7G3:
        if (t.empty())
            return isPlanned() ? 0 : 104;
        if (!real(t))
            return 105;
        return format && !checkNumberFormat(t, 3, 3, false) ? 1035 : 0;
    case F8B:
        if (t.empty())
            return m_entryType == TX ? 107 : 0;
        if (!real(t))
            return 108;
        return format && !checkNumberFormat(t, 3, 1, true) ? 1030 : 0;
    case F8B3:
        if (t.empty())
            return 0;
        if (!real(t, &v))
            return 110;
        if (v < 0)
            return 111;
        return format && !checkNumberFormat(t, 2, 0, false) ? 1031 : 0;
    case F9A:
        if (t.empty())
            return 112;
        if (!real(t, &v))
            return 113;
        if (v > 360 || v < 0)
            return 114;
        return format && !checkNumberFormat(t, 3, 1, false) ? 1025 : 0;
    case F9B:
        if (t.empty())
            return 116;
        if (!real(t, &v))
            return 117;
        if (v < -90 || v > 90)
            return 118;
        return format && !checkNumberFormat(t, 2, 1, true) ? 1026 : 0;
    case F9D:
        if (m_polarization == UnknownPolarization)
            return 120;
        return chars && !isUpper(t) ? 1023 : 0;
    case F9H:
        if (t.empty())
            return m_entryType == RX ? 121 : 0;
        if (format && !checkNumberFormat(t, 3, 0, true))
            return 1034;
        if (!readInteger(t, &n))
            return 123;
        return values && n >= -79 ? 1015 : 0;
    case F9L:
        if (t.empty())
            return 0;
        if (!real(t, &v))
            return 124;
        if (v < 0)
            return 125;
        return format && !checkNumberFormat(t, 2, 1, false) ? 1027 : 0;
    case F9Y:
        if (t.empty())
            return 127;
        if (!real(t, &v) || v < 0)
            return 128;
        // a sign is not a digit: only the digits before and after the point count
        if (format && !checkNumberFormat(t, 4, 0, true))
            return 1054;
        return values && v > 1000 ? 1055 : 0;
    case F13Z:
        if (skipped())
            return 0;
        if (t.size() > 50)
            return 130;
        return anyOption && !hasNoSeparator(t) ? 169 : 0;
    case F13Y:
        if (skipped())
            return 0;
        return listCode(t, {"A", "B", "C", "D", "E", "F", "G", "H", "M", "P", "R", "W", "Y", "Z"},
                        chars, 131, 1028);
    case F2W:
        if (skipped() || t.empty())
            return 0;
        return dateCode(t, values, 132, 133, 1017);
    case F2Z:
        if (skipped() || t.empty())
            return 0;
        return dateCode(t, values, 134, 135, 1018);
    case F13X:
        if (skipped())
            return 0;
        if (t.size() != 20)
            return 136;
        if (chars && !isLegalText(t))
            return 1019;
        return readDigitGroup(std::string_view(t).substr(14)) ? 0 : 137;
    default:
        return 0;
    }
}

void HCMRecord::checkRecord(std::vector<int>& codes) const {
    for (int f = F0A; f < FieldCount; ++f) {
        if (f == F7G2) // NFD2 is checked in the editor only
            continue;
        if (const int c = checkField(Field(f)))
            codes.push_back(c);
    }
    antenna().checkCoPolar(codes);
    antenna().checkCrossPolar(codes);
    antenna().coPolar().checkPoints(codes);
    antenna().crossPolar().checkPoints(codes);
}

std::vector<int> HCMRecord::checkRecord() const {
    std::vector<int> codes;
    checkRecord(codes);
    return codes;
}
