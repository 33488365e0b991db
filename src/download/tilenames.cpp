#include "tilenames.h"

#include <climits>
#include <cstdlib>

namespace TileNames {

namespace {

struct Range {
    int low = 1; // the default range holds nothing
    int high = 0;
    bool contains(int v) const { return v >= low && v <= high; }
};

// One row of the topographic archive rule: the longitudes it covers, a latitude range and
// the suffix. Rows are tried in order; the first whose longitude and latitude match wins.
struct SuffixRow {
    Range longitudes[5];
    Range latitudes;
    const char* suffix;
};

constexpr int kMin = INT_MIN;
constexpr int kMax = INT_MAX;

// longitude groups of the rule
#define FIRST                                                                                      \
    {0, 15}, {33, 122}, {-10, -1}, {-102, -98}, {                                                  \
        -115, -105                                                                                 \
    }
#define SPLIT                                                                                      \
    { 16, 32 }
#define NORTH_SOUTH                                                                                \
    {123, 149}, {-59, -50}, {-80, -74}, {                                                          \
        kMin, -116                                                                                 \
    }
#define WHOLE                                                                                      \
    {150, kMax}, {-49, -11}, {                                                                     \
        -97, -81                                                                                   \
    }
#define ANDES                                                                                      \
    { -73, -60 }

const SuffixRow kSuffixRows[] = {
    {{FIRST}, {0, 29}, "north00to29.zip"},
    {{FIRST}, {30, 89}, "north30to89.zip"},
    {{FIRST}, {kMin, -1}, "south.zip"},
    {{{-104, -104}}, {0, 29}, "north00to29.zip"},
    {{{-104, -104}}, {30, kMax}, "30to89.zip"},
    {{{-104, -104}}, {kMin, -1}, "south.zip"},
    {{SPLIT}, {0, 29}, "north00to29.zip"},
    {{SPLIT}, {30, 89}, "north30to89.zip"},
    {{SPLIT}, {-25, -2}, "south01to25.zip"},
    {{SPLIT}, {-90, -27}, "south26to90.zip"},
    {{NORTH_SOUTH}, {0, kMax}, "north.zip"},
    {{NORTH_SOUTH}, {kMin, -1}, "south.zip"},
    {{WHOLE}, {kMin, kMax}, ".zip"},
    {{ANDES}, {0, kMax}, "north.zip"},
    {{ANDES}, {-30, -1}, "south01to30.zip"},
    {{ANDES}, {kMin, -31}, "south31to90.zip"},
};

#undef FIRST
#undef SPLIT
#undef NORTH_SOUTH
#undef WHOLE
#undef ANDES

QString padded(char letter, int value, int width) {
    return QLatin1Char(letter) + QString::number(std::abs(value)).rightJustified(width, u'0');
}

} // namespace

QString longitudeName(int longitude) {
    return padded(longitude >= 0 ? 'E' : 'W', longitude, 3);
}

QString latitudeName(int latitude) {
    return padded(latitude >= 0 ? 'N' : 'S', latitude, 2);
}

QString tileFileName(int longitude, int latitude, Kind kind) {
    return longitudeName(longitude) + latitudeName(latitude) +
           (std::abs(latitude) < 50 ? QLatin1String(".33") : QLatin1String(".63")) +
           (kind == Kind::Topographic ? QLatin1Char('E') : QLatin1Char('M'));
}

QString tilePath(int longitude, int latitude, Kind kind) {
    return longitudeName(longitude) + QLatin1Char('/') + tileFileName(longitude, latitude, kind);
}

QString topographicSuffix(int longitude, int latitude) {
    for (const SuffixRow& row : kSuffixRows) {
        if (!row.latitudes.contains(latitude))
            continue;
        for (const Range& range : row.longitudes)
            if (range.contains(longitude))
                return QLatin1String(row.suffix);
    }
    return {};
}

QString topographicArchive(int longitude, int latitude) {
    const QString suffix = topographicSuffix(longitude, latitude);
    return suffix.isEmpty() ? QString() : longitudeName(longitude) + suffix;
}

QString morphologicalArchive(int longitude) {
    return longitudeName(longitude) + QLatin1String(".zip");
}

QString archiveName(int longitude, int latitude, Kind kind) {
    return kind == Kind::Topographic ? topographicArchive(longitude, latitude)
                                     : morphologicalArchive(longitude);
}

QString archiveSitePath(int longitude, int latitude, Kind kind) {
    const QString archive = archiveName(longitude, latitude, kind);
    if (archive.isEmpty())
        return {};
    const QString root = kind == Kind::Topographic ? QLatin1String("/topogra/TOPO/")
                                                   : QLatin1String("/morpho/MORPHO/");
    return root + longitudeName(longitude) + QLatin1Char('/') + archive;
}

bool parseTileFileName(const QString& name, int& longitude, int& latitude) {
    bool lonOk = false;
    bool latOk = false;
    longitude = name.mid(1, 3).toInt(&lonOk);
    latitude = name.mid(5, 2).toInt(&latOk);
    if (name.startsWith(u'W', Qt::CaseInsensitive))
        longitude = -longitude;
    if (name.size() > 4 && name.at(4).toUpper() == u'S')
        latitude = -latitude;
    return lonOk || latOk;
}

} // namespace TileNames
