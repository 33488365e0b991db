#pragma once

#include <QString>
#include <QStringView>

// One station of a calculation run, read from its FS record line (fields separated by ";").
// A run reads only the station type (field 0), the frequency and its unit (1, 2), the name
// (8), the country (9), the co-ordinates (10) and the co-ordination reference (43).
struct CalcStation {
    enum Kind : unsigned char { Other, TX, RX, PTX, PRX };

    Kind kind = Other;
    double frequency = -1000; // MHz; -1000 when field 1 is not a number
    double longitude = -1000; // degrees, west negative; -1000 when not given
    double latitude = -1000;  // degrees, south negative; -1000 when not given
    // kept for the distance: sine and cosine of the latitude, longitude in radians
    double sinLatitude = 0, cosLatitude = 0, longitudeRad = 0;
    QString name, country, reference;

    // a value below -900 means that the station has no co-ordinates
    bool hasCoordinates() const { return longitude >= -900 && latitude >= -900; }

    static CalcStation fromLine(QStringView line);

    // "TX", "RX", "PTX" or "PRX" in any letter case, as the FS core reads field 0A ("TXX" is
    // no type)
    static Kind kindOf(QStringView typeField);
    // the frequency in MHz: "G" multiplies by 1000, "K" divides by 1000, anything else is MHz;
    // a value that is not a number gives -1000 (whatever the unit)
    static double frequencyMHz(QStringView value, QStringView unit);
    // 15 characters: longitude DDD, hemisphere letter, MM, SS, then latitude DD, letter, MM,
    // SS. "W" and "S" make the value negative. Each of the two is set only when its degrees,
    // minutes and seconds are all integers; otherwise it stays -1000.
    static void parseCoordinates(QStringView text, double& longitude, double& latitude);
};

// Great-circle distance in km on a sphere of radius 6371 km (spherical law of cosines);
// both stations must have co-ordinates. Co-sited stations are 0 km apart.
double distanceKm(const CalcStation& a, const CalcStation& b);
