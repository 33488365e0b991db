#include "stationline.h"

#include <QStringList>
#include <cmath>

namespace {

// the 49 fields of a record line in file order
const char* const kCodes[] = {
    "0A",   "1A",   "1A1",  "1Z",   "6A",   "6B",   "6Z",   "2C",   "4A",   "4B",
    "4C",   "4Z",   "7A",   "7H",   "7I",   "7K",   "7GF1", "7GA1", "7GF2", "7GA2",
    "7GF3", "7GA3", "7GF4", "7GA4", "7GF5", "7GA5", "7GF6", "7GA6", "7G1",  "7G2",
    "7G3",  "8B",   "8B3",  "9A",   "9B",   "9D",   "9H",   "9L",   "9Y",   "13Z",
    "13Y",  "2W",   "2Z",   "13X",  "9XM",  "9XT",  "9XFL", "9XFU", "9X1"};

constexpr double Pi = 3.14159265358979323846;

QString dms(double value, int degreeDigits, char positive, char negative) {
    const char letter = value < 0 ? negative : positive;
    long seconds = std::lround(std::fabs(value) * 3600.0);
    const long deg = seconds / 3600;
    seconds %= 3600;
    return QStringLiteral("%1%2%3%4")
        .arg(deg, degreeDigits, 10, QLatin1Char('0'))
        .arg(QLatin1Char(letter))
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

StationLine::StationLine(const QString& type) {
    const QStringList values = {type,
                                "18725",
                                "M",
                                "1",
                                "FX",
                                "CP",
                                "A",
                                "01012020",
                                "TEST STATION",
                                "AUT",
                                coordinates(16.3708, 48.2083),
                                "180",
                                "28M0G7WET",
                                "ERICSSON",
                                "MINILINK",
                                "155M",
                                "0",
                                "0",
                                "14",
                                "0",
                                "20",
                                "25",
                                "28",
                                "45",
                                "56",
                                "50",
                                "70",
                                "55",
                                "5A",
                                "",
                                "27.5",
                                "-3",
                                "0",
                                "90",
                                "0",
                                "V",
                                "-130",
                                "2.0",
                                "35",
                                "TEST LINK",
                                "A",
                                "01022020",
                                "01032020",
                                "AUTVIEGRZLINK0000123",
                                "ANDREW",
                                "VHLP2-18",
                                "17.7",
                                "19.7",
                                "38.5"};
    for (int i = 0; i < values.size(); ++i)
        m_fields.insert(QLatin1String(kCodes[i]), values.at(i));
    m_coCode = QStringLiteral("CP");
    m_co = {{"0", "0"}, {"5", "10"}, {"30", "35"}, {"180", "45"}};
    m_crossCode = QStringLiteral("XP");
    m_cross = {{"0", "30"}, {"30", "40"}, {"180", "50"}};
}

StationLine& StationLine::at(double longitude, double latitude) {
    return set(QStringLiteral("4C"), coordinates(longitude, latitude));
}

StationLine& StationLine::set(const QString& code, const QString& value) {
    Q_ASSERT(m_fields.contains(code));
    m_fields[code] = value;
    return *this;
}

StationLine& StationLine::mask(const Points& points) {
    for (int i = 0; i < 6; ++i) {
        set(QStringLiteral("7GF%1").arg(i + 1), i < points.size() ? points.at(i).first : QString());
        set(QStringLiteral("7GA%1").arg(i + 1),
            i < points.size() ? points.at(i).second : QString());
    }
    return *this;
}

StationLine& StationLine::coPolar(const QString& code, const Points& points) {
    m_coCode = code;
    m_co = points;
    return *this;
}

StationLine& StationLine::crossPolar(const QString& code, const Points& points) {
    m_crossCode = code;
    m_cross = points;
    return *this;
}

QByteArray StationLine::line() const {
    QStringList parts;
    for (const char* code : kCodes)
        parts << m_fields.value(QLatin1String(code));
    // both pattern blocks whenever either has points, as the FS writer does
    if (!m_co.isEmpty() || !m_cross.isEmpty()) {
        parts << m_coCode << QString::number(m_co.size());
        for (const auto& p : m_co)
            parts << p.first << p.second;
        parts << m_crossCode << QString::number(m_cross.size());
        for (const auto& p : m_cross)
            parts << p.first << p.second;
        if (m_cross.isEmpty())
            parts << QString(); // an empty block ends with its ";"
    }
    return parts.join(QLatin1Char(';')).toLatin1();
}

QString StationLine::coordinates(double longitude, double latitude) {
    return dms(longitude, 3, 'E', 'W') + dms(latitude, 2, 'N', 'S');
}

QPair<double, double> StationLine::destination(double longitude, double latitude, double azimuth,
                                               double km) {
    const double rad = Pi / 180.0;
    const double delta = km / 6371.0, theta = azimuth * rad;
    const double p1 = latitude * rad, l1 = longitude * rad;
    const double p2 = std::asin(std::sin(p1) * std::cos(delta) +
                                std::cos(p1) * std::sin(delta) * std::cos(theta));
    const double l2 = l1 + std::atan2(std::sin(theta) * std::sin(delta) * std::cos(p1),
                                      std::cos(delta) - std::sin(p1) * std::sin(p2));
    // whole arc seconds, as field 4C holds them
    return {std::round(l2 / rad * 3600.0) / 3600.0, std::round(p2 / rad * 3600.0) / 3600.0};
}
