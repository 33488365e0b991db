#pragma once

// A realistic FS record line for the calculation tests, built field by field. Every field has
// the value of a typical 18 GHz link station; a test changes what it needs.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

class StationLine {
public:
    using Points = QList<QPair<QString, QString>>;

    explicit StationLine(const QString& type = QStringLiteral("TX"));

    // the position in decimal degrees, written as DDDEMMSS and DDNMMSS
    StationLine& at(double longitude, double latitude);
    // any field by its code ("1A", "4C", "9X1", "7GF1", ...)
    StationLine& set(const QString& code, const QString& value);
    StationLine& mask(const Points& points); // the six 7GF/7GA pairs, the rest empty
    StationLine& coPolar(const QString& code, const Points& points);
    StationLine& crossPolar(const QString& code, const Points& points);

    QByteArray line() const;

    // 4C text of a position
    static QString coordinates(double longitude, double latitude);
    // the point reached from (lon, lat) after `km` on the initial bearing `azimuth`, rounded to
    // whole arc seconds
    static QPair<double, double> destination(double longitude, double latitude, double azimuth,
                                             double km);

private:
    QMap<QString, QString> m_fields;
    QString m_coCode, m_crossCode;
    Points m_co, m_cross;
};
