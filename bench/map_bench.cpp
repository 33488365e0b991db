// The station map with 10 000 selected stations spread over Europe (some sharing a site):
// reading their coordinate texts and collecting them by position, generating the page of each
// provider, and loading the offline page offscreen until every marker is on it (Leaflet, the
// country outlines, no tiles).
#include "cmap.h"
#include "guibench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>

namespace {

const char kUsage[] = "usage: tarnwell-bench-map [STATIONS]\n";

struct Station {
    QString longitude, latitude, name, type, frequency, reference;
};

// "DDDEMMSS" / "DDNMMSS" texts as in FS records; every tenth station shares the site of the one
// before it
QList<Station> generate(int count) {
    QRandomGenerator random(7);
    QList<Station> list;
    for (int i = 0; i < count; ++i) {
        Station s;
        if (i % 10 == 9) {
            s = list.last();
        } else {
            const int lon = random.bounded(-9 * 3600, 30 * 3600),
                      lat = random.bounded(36 * 3600, 60 * 3600);
            const int alon = std::abs(lon);
            s.longitude = QStringLiteral("%1%2%3%4")
                              .arg(alon / 3600, 3, 10, QLatin1Char('0'))
                              .arg(lon < 0 ? 'W' : 'E')
                              .arg(alon / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(alon % 60, 2, 10, QLatin1Char('0'));
            s.latitude = QStringLiteral("%1N%2%3")
                             .arg(lat / 3600, 2, 10, QLatin1Char('0'))
                             .arg(lat / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(lat % 60, 2, 10, QLatin1Char('0'));
        }
        s.name = QStringLiteral("STATION %1 O'BRIEN").arg(i / 2);
        s.type = i % 2 ? QStringLiteral("RX") : QStringLiteral("TX");
        s.frequency = QString::number(7000 + random.bounded(30000));
        s.reference = QStringLiteral("AUTLINK%1").arg(i / 2, 13, 10, QLatin1Char('0'));
        list << s;
    }
    return list;
}

int markersOnPage(cMap& map) {
    int markers = -1;
    bool done = false;
    map.webView()->page()->runJavaScript(QStringLiteral("markers.length"), [&](const QVariant& v) {
        markers = v.toInt();
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, 30000) ? markers : -1;
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    // the web engine's sandbox refuses to start as root
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    long count = 10000;
    if (!readCountArgument(argc, argv, "tarnwell-bench-map", kUsage, 1, count))
        return 2;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QList<Station> stations = generate(int(count));

    cMap map;
    map.resize(1000, 800);
    map.show();
    QElapsedTimer timer;
    timer.start();
    for (const Station& s : stations)
        map.addStation(MapStations::coordinateToDegrees(s.longitude, nullptr),
                       MapStations::coordinateToDegrees(s.latitude, nullptr), s.name, s.type,
                       s.frequency, s.reference);
    const double collected = seconds(timer);

    MapPage::Options google = map.pageOptions();
    google.provider = MapPage::Provider::Google;
    google.apiKey = QStringLiteral("KEY");
    timer.restart();
    const QString googlePage = MapPage::generate(map.stations(), google);
    const double googleSeconds = seconds(timer);
    timer.restart();
    const QString offlinePage = MapPage::generate(map.stations(), map.pageOptions());
    const double offlineSeconds = seconds(timer);

    std::printf("%ld selected stations at %lld positions; Google page %.1f MB, offline page "
                "%.1f MB\n\n",
                count, qint64(map.stations().positions().size()), googlePage.toUtf8().size() / 1e6,
                offlinePage.toUtf8().size() / 1e6);
    report("coordinates read, positions collected", collected, 0.1);
    report("page generation, Google", googleSeconds, 0.2);
    report("page generation, offline", offlineSeconds, 0.2);

    QSignalSpy loaded(&map, &cMap::pageLoaded);
    timer.restart();
    map.paintMap();
    if (!loaded.wait(60000) || !loaded.first().first().toBool()) {
        std::fprintf(stderr, "the offline page did not load\n");
        return 1;
    }
    const int expected = int(map.stations().positions().size());
    const bool all = QTest::qWaitFor([&] { return markersOnPage(map) == expected; }, 60000);
    const double shown = seconds(timer);
    const int markers = markersOnPage(map);
    report("offline page loaded with every marker", shown, 3.0);
    if (!all || markers != expected) {
        std::fprintf(stderr, "%d markers on the page, %d expected\n", markers, expected);
        return 1;
    }
    return 0;
}
