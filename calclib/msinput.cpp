#include "msinput.h"

#include "mserror.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace MsInput {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// digits only, at least one
bool readDigits(std::string_view text, int* value) {
    if (text.empty())
        return false;
    int v = 0;
    for (char c : text) {
        if (!isDigit(c))
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

// Numbers written padded with "0" on the left to their width: a minus sign may follow the
// padding ("00-5" is -5).
bool readPadded(std::string_view text, double* value) {
    size_t zeros = 0;
    while (zeros < text.size() && text[zeros] == '0')
        ++zeros;
    if (zeros < text.size() && text[zeros] == '-')
        text.remove_prefix(zeros);
    return readNumber(text, value);
}

int readHeights(std::string_view record, int siteAt, int antennaAt, Station* s) {
    if (!readPadded(field(record, siteAt, 4), &s->siteHeight) ||
        !readPadded(field(record, antennaAt, 4), &s->antennaHeight) || s->antennaHeight < 0)
        return MsCalcError::Height;
    return MsCalcError::None;
}

// Azimuth (0 to below 360) and elevation (-90 to 90); empty texts read as 0.
int readAntenna(std::string_view record, int codesAt, int azimuthAt, int elevationAt,
                int referenceAt, Station* s) {
    s->horizontal = readPattern(field(record, codesAt, 7));
    s->vertical = readPattern(field(record, codesAt + 7, 7));
    const std::string_view azimuth = field(record, azimuthAt, 5);
    const std::string_view elevation = field(record, elevationAt, 5);
    if ((!azimuth.empty() && !readPadded(azimuth, &s->azimuthDeg)) || s->azimuthDeg < 0 ||
        s->azimuthDeg >= 360)
        return MsCalcError::AntennaData;
    if ((!elevation.empty() && !readNumber(elevation, &s->elevationDeg)) ||
        std::fabs(s->elevationDeg) > 90)
        return MsCalcError::AntennaData;
    const std::string_view reference = field(record, referenceAt, 1);
    const char r = reference.empty() ? 'E' : upper(reference[0]);
    if (r != 'E' && r != 'I')
        return MsCalcError::AntennaData;
    s->isotropicReference = r == 'I';
    return MsCalcError::None;
}

int readStationFrequency(std::string_view record, int at, Station* s) {
    if (!readFrequency(field(record, at, 12), &s->frequencyMHz))
        return MsCalcError::Frequency;
    if (s->frequencyMHz < 30 || s->frequencyMHz > 4000)
        return MsCalcError::FrequencyRange;
    return MsCalcError::None;
}

} // namespace

std::string_view field(std::string_view record, int position, int width) {
    std::string_view text = record.substr(size_t(position - 1), size_t(width));
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            text = text.substr(0, i);
            break;
        }
    }
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool readNumber(std::string_view text, double* value) {
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    if (text.empty() || text[0] == '+')
        return false;
    // The usual "-123.45": up to 15 digits are an exact integer, and one division by an exact
    // power of ten rounds correctly, as from_chars would.
    {
        static constexpr double powers[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const bool negative = text[0] == '-';
        size_t i = negative ? 1 : 0, digits = 0, decimals = 0;
        bool point = false, plain = i < text.size();
        int64_t mantissa = 0;
        for (; i < text.size() && plain; ++i) {
            const char c = text[i];
            if (isDigit(c)) {
                mantissa = mantissa * 10 + (c - '0');
                ++digits;
                decimals += point;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                plain = false;
            }
        }
        if (plain && digits > 0 && digits <= 15) {
            const double v = double(mantissa) / powers[decimals];
            *value = negative ? -v : v;
            return true;
        }
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool readAngle(std::string_view text, char positive, char negative, int maxDegrees,
               double* degrees) {
    const size_t maxDigits = maxDegrees > 90 ? 3 : 2;
    if (text.size() < 6 || text.size() > maxDigits + 5)
        return false;
    const size_t letterAt = text.size() - 5;
    const char letter = upper(text[letterAt]);
    int d = 0, m = 0, s = 0;
    if ((letter != positive && letter != negative) || !readDigits(text.substr(0, letterAt), &d) ||
        !readDigits(text.substr(letterAt + 1, 2), &m) ||
        !readDigits(text.substr(letterAt + 3, 2), &s) || m > 59 || s > 59 || d > maxDegrees)
        return false;
    const double value = d + (m + s / 60.0) / 60.0;
    if (value > maxDegrees)
        return false;
    *degrees = letter == negative ? -value : value;
    return true;
}

bool readPosition(std::string_view text, GeoPoint* point) {
    // the longitude ends four characters after its letter E or W, at index 1 to 3
    for (size_t i = 1; i <= 3 && i < text.size(); ++i) {
        const char c = upper(text[i]);
        if (c != 'E' && c != 'W')
            continue;
        GeoPoint p;
        if (!readAngle(text.substr(0, i + 5), 'E', 'W', 180, &p.longitude) ||
            !readAngle(text.substr(std::min(text.size(), i + 5)), 'N', 'S', 90, &p.latitude))
            return false;
        *point = p;
        return true;
    }
    return false;
}

bool readFrequency(std::string_view text, double* mhz) {
    if (text.size() < 2)
        return false;
    double scale = 0;
    switch (upper(text.back())) {
    case 'K':
        scale = 1e-3;
        break;
    case 'M':
        scale = 1;
        break;
    case 'G':
        scale = 1e3;
        break;
    default:
        return false;
    }
    double value = 0;
    if (!readNumber(text.substr(0, text.size() - 1), &value) || !(value > 0))
        return false;
    *mhz = value * scale;
    return true;
}

bool readBandwidth(std::string_view designation, double* khz) {
    if (designation.size() < 4)
        return false;
    double scale = 0;
    size_t letterAt = 4;
    for (size_t i = 0; i < 4; ++i) {
        switch (upper(designation[i])) {
        case 'H':
            scale = 1e-3;
            break;
        case 'K':
            scale = 1;
            break;
        case 'M':
            scale = 1e3;
            break;
        case 'G':
            scale = 1e6;
            break;
        default:
            continue;
        }
        letterAt = i;
        break;
    }
    if (letterAt == 4)
        return false;
    double value = 0, fraction = 0.1;
    for (size_t i = 0; i < 4; ++i) {
        if (i == letterAt)
            continue;
        if (!isDigit(designation[i]))
            return false;
        if (i < letterAt) {
            value = value * 10 + (designation[i] - '0');
        } else {
            value += fraction * (designation[i] - '0');
            fraction /= 10;
        }
    }
    if (!(value > 0))
        return false;
    *khz = value * scale;
    return true;
}

Pattern readPattern(std::string_view code) {
    Pattern p;
    int width = 0, attenuation = 0;
    if (code.size() != 7 || !readDigits(code.substr(0, 3), &width) ||
        !readDigits(code.substr(5, 2), &attenuation))
        return p;
    const char kind = upper(code[3]), polarisation = upper(code[4]);
    if (polarisation == 'H' || polarisation == 'V')
        p.polarisation = polarisation;
    if (kind == 'N' || width == 0)
        return p;
    p.directional = true;
    p.beamwidthDeg = width;
    p.maxAttenuationDb = attenuation;
    return p;
}

int readTransmitter(std::string_view record, Transmitter* tx) {
    if (!readPosition(field(record, 1, 15), &tx->position))
        return MsCalcError::Coordinates;
    if (const int e = readHeights(record, 31, 63, tx))
        return e;
    if (const int e = readStationFrequency(record, 78, tx))
        return e;
    if (const int e = readAntenna(record, 39, 53, 58, 71, tx))
        return e;
    if (!readNumber(field(record, 72, 6), &tx->powerDbw))
        return MsCalcError::Power;
    return MsCalcError::None;
}

int readReceiver(std::string_view record, Station* rx) {
    if (!readPosition(field(record, 16, 15), &rx->position))
        return MsCalcError::Coordinates;
    if (const int e = readHeights(record, 35, 67, rx))
        return e;
    if (const int e = readStationFrequency(record, 107, rx))
        return e;
    return readAntenna(record, 137, 151, 156, 161, rx);
}

int readBandwidths(std::string_view record, Station* tx, Station* rx) {
    if (!readBandwidth(field(record, 128, 9), &tx->bandwidthKHz) ||
        !readBandwidth(field(record, 119, 9), &rx->bandwidthKHz))
        return MsCalcError::Emission;
    return MsCalcError::None;
}

int readSettings(std::string_view record, Settings* settings) {
    const std::string_view sea = field(record, 91, 1);
    settings->seaType = sea.empty() ? 'C' : upper(sea[0]);
    if (settings->seaType != 'C' && settings->seaType != 'W')
        return MsCalcError::SeaType;
    const std::string_view depolarisation = field(record, 166, 4);
    settings->depolarisationDb = 0;
    if (!depolarisation.empty() && (!readNumber(depolarisation, &settings->depolarisationDb) ||
                                    settings->depolarisationDb < 0))
        return MsCalcError::Depolarisation;
    const std::string_view permissible = field(record, 170, 9);
    settings->permissibleGiven = !permissible.empty();
    if (settings->permissibleGiven && !readNumber(permissible, &settings->permissibleDbuvm))
        return MsCalcError::PermissibleField;
    return MsCalcError::None;
}

} // namespace MsInput
