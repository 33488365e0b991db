#include "calcstation.h"

#include "hcmcoordinates.h"
#include "hcmrecord.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

// field `wanted` of a ";"-separated line; empty when the line has fewer fields
QStringView fieldOf(QStringView line, int wanted, qsizetype& from, int& current) {
    while (current < wanted) {
        const qsizetype semicolon = line.indexOf(QLatin1Char(';'), from);
        if (semicolon < 0)
            return {};
        from = semicolon + 1;
        ++current;
    }
    const qsizetype end = line.indexOf(QLatin1Char(';'), from);
    return line.mid(from, end < 0 ? line.size() - from : end - from);
}

} // namespace

CalcStation::Kind CalcStation::kindOf(QStringView typeField) {
    // the FS core decides, so that the editor and the calculations never disagree on a type;
    // a longer field is no type of entry at all
    if (typeField.size() > 16)
        return Other;
    char bytes[16];
    for (qsizetype i = 0; i < typeField.size(); ++i)
        bytes[i] = typeField.at(i).toLatin1();
    switch (HCMRecord::entryTypeOf(std::string_view(bytes, size_t(typeField.size())))) {
    case HCMRecord::TX:
        return TX;
    case HCMRecord::RX:
        return RX;
    case HCMRecord::PTX:
        return PTX;
    case HCMRecord::PRX:
        return PRX;
    default:
        return Other;
    }
}

double CalcStation::frequencyMHz(QStringView value, QStringView unit) {
    bool ok = false;
    double f = value.toDouble(&ok);
    if (!ok)
        return -1000;
    if (unit.compare(QLatin1String("G"), Qt::CaseInsensitive) == 0)
        f *= 1000;
    else if (unit.compare(QLatin1String("K"), Qt::CaseInsensitive) == 0)
        f /= 1000;
    return f;
}

void CalcStation::parseCoordinates(QStringView text, double& longitude, double& latitude) {
    longitude = -1000;
    latitude = -1000;
    const QByteArray bytes = text.toLatin1();
    const std::string_view all(bytes.constData(), size_t(bytes.size()));
    // the longitude is the first 8 characters, the latitude the rest, as the FS core splits 4C
    double value = 0;
    if (HCMCoordinates::readLenient(all.substr(0, 8), 3, 'W', value))
        longitude = value;
    if (HCMCoordinates::readLenient(all.size() > 8 ? all.substr(8) : std::string_view(), 2, 'S',
                                    value))
        latitude = value;
}

CalcStation CalcStation::fromLine(QStringView line) {
    CalcStation s;
    qsizetype from = 0;
    int current = 0;
    // the fields in increasing order, each found from where the previous one started
    s.kind = kindOf(fieldOf(line, 0, from, current));
    const QStringView frequency = fieldOf(line, 1, from, current);
    const QStringView unit = fieldOf(line, 2, from, current);
    s.frequency = frequencyMHz(frequency, unit);
    s.name = fieldOf(line, 8, from, current).toString();
    s.country = fieldOf(line, 9, from, current).toString();
    parseCoordinates(fieldOf(line, 10, from, current), s.longitude, s.latitude);
    s.reference = fieldOf(line, 43, from, current).toString();
    if (s.hasCoordinates()) {
        s.sinLatitude = std::sin(s.latitude * kDegree);
        s.cosLatitude = std::cos(s.latitude * kDegree);
        s.longitudeRad = s.longitude * kDegree;
    }
    return s;
}

double distanceKm(const CalcStation& a, const CalcStation& b) {
    const double c = a.sinLatitude * b.sinLatitude +
                     a.cosLatitude * b.cosLatitude * std::cos(a.longitudeRad - b.longitudeRad);
    // rounding can take the cosine of co-sited stations just past 1, where acos has no value
    return kEarthRadiusKm * std::acos(std::clamp(c, -1.0, 1.0));
}
