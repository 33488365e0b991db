#include "mapstations.h"

#include <cmath>

namespace {

bool containsAnyOf(const QString& text, QLatin1String letters) {
    for (const char c : letters)
        if (text.contains(QLatin1Char(c)))
            return true;
    return false;
}

} // namespace

double MapStations::coordinateToDegrees(const QString& text, int* error) {
    auto result = [error](int code, double value) {
        if (error)
            *error = code;
        return value;
    };
    int at = -1;
    for (int i = 0; i < text.size() && at < 0; ++i)
        if (QLatin1String("NSWEnswe").contains(text.at(i)))
            at = i;
    if (at < 0)
        return result(CoordinateFormat, 0);

    bool ok[3] = {false, false, false};
    const int degrees = text.left(at).toInt(&ok[0], 10);
    const int minutes = text.mid(at + 1, 2).toInt(&ok[1], 10);
    const int seconds = text.mid(at + 3, 2).toInt(&ok[2], 10);
    if (!ok[0] || !ok[1] || !ok[2])
        return result(CoordinateFormat, 0);

    double value = (seconds / 60.0 + minutes) / 60.0 + degrees;
    if (containsAnyOf(text, QLatin1String("EWew"))) {
        if (degrees > 360)
            return result(LongitudeDegreesAbove360, 0);
        if (degrees > 180)
            value -= 360;
    } else if (degrees > 90) {
        return result(LatitudeDegreesAbove90, 0);
    }
    if (containsAnyOf(text, QLatin1String("SWsw")))
        value = -value;
    return result(CoordinateOk, value);
}

MapStations::Key MapStations::keyOf(double latitude, double longitude) {
    // truncation toward zero, as a cast to an integer does
    return {qint64(std::trunc(latitude * 100000)), qint64(std::trunc(longitude * 100000))};
}

void MapStations::addStation(double longitude, double latitude, const QString& name,
                             const QString& type, const QString& frequency,
                             const QString& reference) {
    if (m_added == 0) {
        m_viewport = {latitude - 1, longitude - 1, latitude + 1, longitude + 1};
    } else {
        if (longitude > m_viewport.maxLongitude)
            m_viewport.maxLongitude = longitude + 1;
        if (longitude < m_viewport.minLongitude)
            m_viewport.minLongitude = longitude - 1;
        if (latitude > m_viewport.maxLatitude)
            m_viewport.maxLatitude = latitude + 1;
        if (latitude < m_viewport.minLatitude)
            m_viewport.minLatitude = latitude - 1;
    }
    ++m_added;

    const Entry entry{type, frequency, reference};
    const Key key = keyOf(latitude, longitude);
    const auto found = m_positionIndex.constFind(key);
    if (found == m_positionIndex.constEnd()) {
        m_positionIndex.insert(key, int(m_positions.size()));
        m_positions.append({latitude, longitude, {Station{name, {entry}}}});
        return;
    }
    QList<Station>& stations = m_positions[*found].stations;
    for (Station& station : stations)
        if (station.name == name) {
            station.entries.append(entry);
            return;
        }
    stations.append(Station{name, {entry}});
}

void MapStations::clear() {
    m_positions.clear();
    m_added = 0;
    m_positionIndex.clear();
}
