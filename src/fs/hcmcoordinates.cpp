#include "hcmcoordinates.h"

namespace HCMCoordinates {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// digits only, at least one
bool readDigits(std::string_view text, int& value) {
    if (text.empty())
        return false;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

// blanks around and one sign allowed
bool readInteger(std::string_view text, int& value) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!readDigits(text, value))
        return false;
    if (negative)
        value = -value;
    return true;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

double toDegrees(int degrees, int minutes, int seconds, char letter, char negative) {
    const double v = degrees + (minutes + seconds / 60.0) / 60.0;
    return upper(letter) == negative ? -v : v;
}

std::string_view part(std::string_view text, size_t from, size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string_view();
}

} // namespace

Parts split(std::string_view text, size_t degreeDigits) {
    Parts p;
    p.degrees = part(text, 0, degreeDigits);
    p.letter = degreeDigits < text.size() ? text[degreeDigits] : 0;
    p.minutes = part(text, degreeDigits + 1, 2);
    p.seconds = part(text, degreeDigits + 3, 2);
    return p;
}

bool readLenient(std::string_view text, size_t degreeDigits, char negative, double& value) {
    const Parts p = split(text, degreeDigits);
    int d = 0, m = 0, s = 0;
    if (!readInteger(p.degrees, d) || !readInteger(p.minutes, m) || !readInteger(p.seconds, s))
        return false;
    value = toDegrees(d, m, s, p.letter, negative);
    return true;
}

bool readStrict(std::string_view text, size_t degreeDigits, char positive, char negative,
                int maxDegrees, double& value) {
    if (text.size() != degreeDigits + 5)
        return false;
    const Parts p = split(text, degreeDigits);
    int d = 0, m = 0, s = 0;
    if (!readDigits(p.degrees, d) || !readDigits(p.minutes, m) || !readDigits(p.seconds, s))
        return false;
    const char letter = upper(p.letter);
    if (m > 59 || s > 59 || (letter != positive && letter != negative))
        return false;
    const double v = toDegrees(d, m, s, letter, negative);
    if (v > maxDegrees || -v > maxDegrees)
        return false;
    value = v;
    return true;
}

} // namespace HCMCoordinates
