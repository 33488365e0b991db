// The map's data and page without a web view: the coordinate texts, positions and the
// viewport, the page of each provider, and the escaping of what goes into it.
#include "testregistry.h"

#include "mappage.h"
#include "mapstations.h"

#include <QFile>
#include <QTest>

namespace {

QString dataFile(const QString& name) {
    return QStringLiteral(TARNWELL_TEST_DATA "/map/") + name;
}

// the four stations of the golden pages: two names at one place (one of them twice) and one
// station in the south-west
MapStations goldenStations() {
    struct Row {
        const char *lon, *lat, *name, *type, *frequency, *reference;
    };
    const Row rows[] = {{"016E3015", "54N2030", "ALPHA", "TX", "18725", "REF-1"},
                        {"016E3015", "54N2030", "BRAVO", "RX", "18725", "REF-1"},
                        {"016E3015", "54N2030", "ALPHA", "PTX", "19000", "REF-2"},
                        {"005W3000", "48S1000", "CHARLIE", "TX", "7500", "REF-3"}};
    MapStations stations;
    for (const Row& r : rows)
        stations.addStation(MapStations::coordinateToDegrees(QString::fromLatin1(r.lon), nullptr),
                            MapStations::coordinateToDegrees(QString::fromLatin1(r.lat), nullptr),
                            QString::fromLatin1(r.name), QString::fromLatin1(r.type),
                            QString::fromLatin1(r.frequency), QString::fromLatin1(r.reference));
    return stations;
}

} // namespace

class TestMapPage : public QObject {
    Q_OBJECT
private slots:
    void coordinates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<int>("error");
        QTest::newRow("east") << "016E3015" << 16 + (15 / 60.0 + 30) / 60 << 0;
        QTest::newRow("west") << "005W3000" << -5.5 << 0;
        QTest::newRow("north") << "54N2030" << 54 + (30 / 60.0 + 20) / 60 << 0;
        QTest::newRow("south, lower case") << "54s3000" << -54.5 << 0;
        QTest::newRow("east of 180") << "190E0000" << -170.0 << 0;
        QTest::newRow("latitude above 90") << "95N0000" << 0.0 << 102;
        QTest::newRow("longitude above 360") << "361E0000" << 0.0 << 103;
        QTest::newRow("no hemisphere letter") << "12X3045" << 0.0 << 101;
        QTest::newRow("minutes not a number") << "016EAB15" << 0.0 << 101;
        QTest::newRow("seconds missing") << "016E30" << 0.0 << 101;
        QTest::newRow("no degrees") << "E3015" << 0.0 << 101;
        QTest::newRow("empty") << "" << 0.0 << 101;
    }
    void coordinates() {
        QFETCH(QString, text);
        QFETCH(double, degrees);
        QFETCH(int, error);
        int got = -1;
        QCOMPARE(MapStations::coordinateToDegrees(text, &got), degrees);
        QCOMPARE(got, error);
    }

    // one marker per place to 1e-5 degree; names and entries collect there; the viewport
    // starts one degree round the first station and widens by one degree past the others
    void positionsAndViewport() {
        MapStations s;
        s.addStation(16.5, 54.5, QStringLiteral("A"), QStringLiteral("TX"), QStringLiteral("1"),
                     QStringLiteral("r1"));
        auto viewport = [&s] {
            const MapStations::Viewport& v = s.viewport();
            return QList<double>{v.minLatitude, v.minLongitude, v.maxLatitude, v.maxLongitude};
        };
        QCOMPARE(viewport(), (QList<double>{53.5, 15.5, 55.5, 17.5}));
        s.addStation(16.500009, 54.500001, QStringLiteral("B"), QStringLiteral("RX"),
                     QStringLiteral("2"), QStringLiteral("r2"));
        s.addStation(16.5, 54.5, QStringLiteral("A"), QStringLiteral("PTX"), QStringLiteral("3"),
                     QStringLiteral("r3"));
        s.addStation(16.50001, 54.5, QStringLiteral("A"), QStringLiteral("TX"), QStringLiteral("4"),
                     QStringLiteral("r4"));
        QCOMPARE(s.positions().size(), 2);
        const MapStations::Position& first = s.positions().first();
        QCOMPARE(first.stations.size(), 2);
        QCOMPARE(first.stations[0].entries.size(), 2);
        QCOMPARE(first.stations[0].entries[1].frequency, QStringLiteral("3"));
        QCOMPARE(first.stations[1].name, QStringLiteral("B"));
        QCOMPARE(viewport(), (QList<double>{53.5, 15.5, 55.5, 17.5}));

        s.addStation(20, 40, QStringLiteral("C"), {}, {}, {});
        s.addStation(-3, 60, QStringLiteral("D"), {}, {}, {});
        QCOMPARE(viewport(), (QList<double>{39.0, -4.0, 61.0, 21.0}));
        QCOMPARE(s.coordinateCount(), 6);

        s.clear();
        QVERIFY(s.isEmpty());
        QVERIFY(s.positions().isEmpty());
        s.addStation(1, 2, QStringLiteral("E"), {}, {}, {});
        QCOMPARE(viewport(), (QList<double>{1.0, 0.0, 3.0, 2.0}));
    }

    // the Google page of the golden stations, byte for byte
    void googlePage() {
        MapPage::Options options;
        options.provider = MapPage::Provider::Google;
        options.apiKey = QStringLiteral("ABC123");
        options.markerIcon = QStringLiteral("/opt/tarnwell/google_earth/placemark_circle.png");
        QFile golden(dataFile(QStringLiteral("google-page.html")));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(MapPage::generate(goldenStations(), options), QString::fromUtf8(golden.readAll()));
    }

    void offlinePage() {
        MapPage::Options options;
        options.markerIcon = QStringLiteral("/opt/tarnwell/google_earth/placemark_circle.png");
        options.leafletFolder = QStringLiteral("/usr/share/javascript/leaflet");
        options.outlinesFile = QStringLiteral("/opt/tarnwell/map/countries.geojson");
        options.tileUrl = QStringLiteral("https://tiles.example/{z}/{x}/{y}.png");
        QFile golden(dataFile(QStringLiteral("offline-page.html")));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(MapPage::generate(goldenStations(), options), QString::fromUtf8(golden.readAll()));
    }

    // what a name may hold cannot end a string, a script or an element
    void escaping() {
        const QString hostile = QStringLiteral("O'Brien \"North\" </script><b>x\\") +
                                QChar(0x2028) + QStringLiteral("\n<!--%1");
        QCOMPARE(
            MapPage::jsString(hostile),
            QStringLiteral("O\\'Brien \\\"North\\\" \\x3C/script><b>x\\\\\\u2028\\n\\x3C!--%1"));
        QCOMPARE(MapPage::jsString(QStringLiteral("</SCRIPT </b>\t")),
                 QStringLiteral("\\x3C/SCRIPT </b>\\x09"));
        QCOMPARE(MapPage::htmlText(QStringLiteral("O'Brien \"N\" <b>&")),
                 QStringLiteral("O&#39;Brien &quot;N&quot; &lt;b&gt;&amp;"));
    }
};

TARNWELL_TEST(TestMapPage)
#include "tst_mappage.moc"
