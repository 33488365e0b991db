// Makes the map's files beside the program:
//
//   tarnwell_makemapfiles OUTDIR
//
// OUTDIR/google_earth/placemark_circle.png  the marker icon, drawn with QPainter
// OUTDIR/map/countries.geojson              the country outlines of the calculation library
//                                           as one polygon feature per country

#include "countryoutlines.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QSaveFile>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

bool drawMarker(const QString& path) {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(QPointF(13, 12), 14);
    fill.setColorAt(0, QColor(255, 120, 110));
    fill.setColorAt(1, QColor(200, 30, 30));
    p.setBrush(fill);
    p.setPen(QPen(QColor(110, 0, 0), 2));
    p.drawEllipse(QPointF(16, 16), 12, 12);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 16), 4, 4);
    p.end();
    return image.save(path, "PNG");
}

QByteArray countriesGeoJson() {
    // the rings of each country together, in the order of the library's table
    std::vector<std::string> order;
    std::map<std::string, std::vector<const CountryOutline*>> rings;
    for (const CountryOutline* o = CountryOutlines::begin(); o != CountryOutlines::end(); ++o) {
        if (!rings.count(o->code))
            order.push_back(o->code);
        rings[o->code].push_back(o);
    }
    QByteArray out = "{\"type\": \"FeatureCollection\", \"features\": [\n";
    char number[64];
    for (size_t c = 0; c < order.size(); ++c) {
        out += "{\"type\": \"Feature\", \"properties\": {\"code\": \"";
        out += order[c].c_str();
        out += "\"}, \"geometry\": {\"type\": \"MultiPolygon\", \"coordinates\": [";
        const std::vector<const CountryOutline*>& list = rings[order[c]];
        for (size_t r = 0; r < list.size(); ++r) {
            out += r ? ", [[" : "[[";
            const CountryOutline& ring = *list[r];
            // a closed ring: the first point again at the end
            for (size_t i = 0; i <= ring.pointCount; ++i) {
                const size_t k = i % ring.pointCount;
                std::snprintf(number, sizeof number, "%s[%.4f, %.4f]", i ? ", " : "",
                              ring.lonLat[2 * k], ring.lonLat[2 * k + 1]);
                out += number;
            }
            out += "]]";
        }
        out += c + 1 < order.size() ? "]}},\n" : "]}}\n";
    }
    out += "]}\n";
    return out;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwell_makemapfiles OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("google_earth")) || !out.mkpath(QStringLiteral("map"))) {
        std::fprintf(stderr, "tarnwell_makemapfiles: cannot create the folders in %s\n", argv[1]);
        return 1;
    }
    if (!drawMarker(out.filePath(QStringLiteral("google_earth/placemark_circle.png"))) ||
        !writeFile(out.filePath(QStringLiteral("map/countries.geojson")), countriesGeoJson())) {
        std::fprintf(stderr, "tarnwell_makemapfiles: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
