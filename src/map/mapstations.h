#pragma once

// The stations shown on the map: positions with the stations at each, the viewport that
// holds them, and the reading of the record's coordinate texts into degrees.

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

class MapStations {
public:
    struct Entry {
        QString type;
        QString frequency;
        QString reference;
    };
    struct Station {
        QString name;
        QList<Entry> entries;
    };
    struct Position {
        double latitude = 0;
        double longitude = 0;
        QList<Station> stations;
    };
    struct Viewport {
        double minLatitude = 45.0;
        double minLongitude = -2.0;
        double maxLatitude = 60.0;
        double maxLongitude = 30.0;
    };

    // Errors of coordinateToDegrees.
    enum CoordinateError {
        CoordinateOk = 0,
        CoordinateFormat = 101,       // no hemisphere letter, or a part that is not a number
        LatitudeDegreesAbove90 = 102, // the value is then 0
        LongitudeDegreesAbove360 = 103
    };
    // A longitude text "DDDEMMSS" or a latitude text "DDNMMSS" in decimal degrees: west and
    // south negative, longitudes above 180 degrees brought into -180..180.
    static double coordinateToDegrees(const QString& text, int* error);

    void addStation(double longitude, double latitude, const QString& name, const QString& type,
                    const QString& frequency, const QString& reference);
    void clear();

    bool isEmpty() const { return m_added == 0; }
    // the stations added since the last clear
    int coordinateCount() const { return m_added; }
    const QList<Position>& positions() const { return m_positions; }
    const Viewport& viewport() const { return m_viewport; }

private:
    // a position's key: latitude and longitude in units of 1e-5 degree, truncated
    using Key = QPair<qint64, qint64>;
    static Key keyOf(double latitude, double longitude);

    QList<Position> m_positions;
    int m_added = 0;
    QHash<Key, int> m_positionIndex;
    Viewport m_viewport;
};
