// The map window's page in the web view, offscreen: the Google page against a stand-in for the
// API script served from 127.0.0.1, and the offline page with the installed Leaflet, the
// country outlines and tiles from 127.0.0.1. What the markers show is read back from the page.
#include "testregistry.h"

#include "cmap.h"
#include "localhttpserver.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// the API stand-in at /maps/api/js, a small tile for any other path
class MapServer : public LocalHttpServer {
public:
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

protected:
    void answer(QTcpSocket* socket, const QByteArray& path) override {
        QByteArray body, type = "image/png";
        if (path.startsWith("/maps/api/js")) {
            QFile script(QStringLiteral(TARNWELL_TEST_DATA "/map/google-standin.js"));
            script.open(QIODevice::ReadOnly);
            body = script.readAll();
            type = "text/javascript";
        } else {
            QImage tile(8, 8, QImage::Format_RGB32);
            tile.fill(Qt::gray);
            QBuffer buffer(&body);
            buffer.open(QIODevice::WriteOnly);
            tile.save(&buffer, "PNG");
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + type +
                      "\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

const QString kHostile = QStringLiteral("O'Brien \"North\" </script><b>x");

// the value of a script in the page, converted through JSON
QVariant evaluate(cMap& map, const QString& script) {
    QVariant result;
    bool done = false;
    map.webView()->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        return QStringLiteral("<no answer>");
    return result;
}

QStringList stringList(const QVariant& json) {
    QStringList list;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toString().toUtf8()).array())
        list << v.toString();
    return list;
}

bool paintAndWait(cMap& map) {
    QSignalSpy loaded(&map, &cMap::pageLoaded);
    map.paintMap();
    return loaded.wait(30000) && loaded.first().first().toBool();
}

// the text an HTML fragment shows
const char kTextOf[] = "function textOf(html) { var d = document.createElement('div'); "
                       "d.innerHTML = html; return d.textContent; }\n";

} // namespace

class TestMapView : public QObject {
    Q_OBJECT
private slots:
    // With a key: the API script is asked for with the key and the page's user agent; one
    // marker per place, titles and information windows showing the names as written.
    void googlePage() {
        MapServer server;
        cMap map;
        map.setGoogleScriptBase(server.base());
        map.setApiKey(QStringLiteral("key 1&2"));
        map.setMarkerIcon(QStringLiteral("/x/placemark_circle.png"));
        map.addStation(16.5, 48.2, kHostile, QStringLiteral("TX"), QStringLiteral("18725"),
                       QStringLiteral("R<1>%2"));
        map.addStation(16.5, 48.2, QStringLiteral("VIENNA"), QStringLiteral("RX"),
                       QStringLiteral("18725"), QStringLiteral("R2"));
        map.addStation(14.0, 47.0, QStringLiteral("LINZ"), QStringLiteral("TX"),
                       QStringLiteral("7500"), QStringLiteral("R3"));
        map.show();
        QVERIFY(paintAndWait(map));

        QCOMPARE(server.requests.value(0), QByteArray("/maps/api/js?sensor=true&key=key%201%262"));
        QVERIFY(server.heads.value(0).contains("\r\nUser-Agent: Chrome/1.0\r\n"));
        QCOMPARE(evaluate(map, QStringLiteral("recorded.markers.length")).toInt(), 2);
        QCOMPARE(stringList(evaluate(
                     map, QStringLiteral("JSON.stringify(recorded.markers.map(m => m.title))"))),
                 (QStringList{kHostile + QStringLiteral(" / VIENNA"), QStringLiteral("LINZ")}));
        QCOMPARE(evaluate(map, QStringLiteral("recorded.markers[0].icon")).toString(),
                 QStringLiteral("/x/placemark_circle.png"));
        const QStringList shown = stringList(
            evaluate(map, QString::fromLatin1(kTextOf) +
                              QStringLiteral("recorded.listeners.forEach(l => l.handler());"
                                             "JSON.stringify(recorded.contents.map(textOf))")));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], QStringLiteral("Station:  ") + kHostile +
                               QStringLiteral("Type: TXFrequency: 18725Reference: R<1>%2"
                                              "Station:  VIENNAType: RXFrequency: 18725"
                                              "Reference: R2"));
        const QVariant bounds = evaluate(
            map, QStringLiteral("[recorded.bounds.sw.lat, recorded.bounds.sw.lng, "
                                "recorded.bounds.ne.lat, recorded.bounds.ne.lng].join(' ')"));
        QCOMPARE(bounds.toString(), QStringLiteral("46 13 49.2 17.5"));
    }

    // A page above the size the view takes as text still shows every marker.
    void largeGooglePage() {
        MapServer server;
        cMap map;
        map.setGoogleScriptBase(server.base());
        map.setApiKey(QStringLiteral("k"));
        const int count = 6000;
        for (int i = 0; i < count; ++i)
            map.addStation(10 + i * 0.001, 45 + i * 0.001, QStringLiteral("STATION %1").arg(i),
                           QStringLiteral("TX"), QStringLiteral("18725"),
                           QStringLiteral("REFERENCE-OF-THE-LINK-%1").arg(i));
        QVERIFY(map.pageText().isEmpty());
        map.show();
        QVERIFY(paintAndWait(map));
        QVERIFY(map.pageText().toUtf8().size() > 1024 * 1024);
        QCOMPARE(evaluate(map, QStringLiteral("recorded.markers.length")).toInt(), count);
        QCOMPARE(evaluate(map, QStringLiteral("recorded.markers[5999].title")).toString(),
                 QStringLiteral("STATION 5999"));
    }

    // Without a key: Leaflet from its installed file, the outlines, tiles when an address is
    // set, and the same markers and texts.
    void offlinePage() {
        if (!QFile::exists(QStringLiteral(TARNWELL_LEAFLET_DIR "/leaflet.js")))
            QSKIP("Leaflet is not installed");
        MapServer server;
        cMap map;
        map.setOutlinesFile(QStringLiteral(TARNWELL_MAP_OUTLINES));
        map.setTileUrl(server.base() + QStringLiteral("/tiles/{z}/{x}/{y}.png"));
        map.addStation(16.5, 48.2, kHostile, QStringLiteral("TX"), QStringLiteral("18725"),
                       QStringLiteral("R<1>"));
        map.addStation(16.5, 48.2, kHostile, QStringLiteral("RX"), QStringLiteral("19000"),
                       QStringLiteral("R2"));
        map.addStation(14.0, 47.0, QStringLiteral("LINZ"), QStringLiteral("TX"),
                       QStringLiteral("7500"), QStringLiteral("R3"));
        map.resize(640, 480);
        map.show();
        QVERIFY(paintAndWait(map));

        QVERIFY(QTest::qWaitFor(
            [&] { return evaluate(map, QStringLiteral("outlines !== null")).toBool(); }, 20000));
        QVERIFY(evaluate(map, QStringLiteral("outlines.getLayers().length")).toInt() > 30);
        QCOMPARE(evaluate(map, QStringLiteral("markers.length")).toInt(), 2);
        QCOMPARE(stringList(evaluate(
                     map, QStringLiteral("JSON.stringify(markers.map(m => m.options.title))"))),
                 (QStringList{kHostile, QStringLiteral("LINZ")}));
        // the first marker clicked: its information window in the page
        const QString shown =
            evaluate(map, QStringLiteral("markers[0].fire('click', {target: markers[0]});"
                                         "document.querySelector('.leaflet-popup-content')"
                                         ".textContent"))
                .toString();
        QCOMPARE(shown, QStringLiteral("Station:  ") + kHostile +
                            QStringLiteral("Type: TXFrequency: 18725Reference: R<1>"
                                           "Type: RXFrequency: 19000Reference: R2"));
        QVERIFY(evaluate(map, QStringLiteral("document.getElementById('map_message')"
                                             ".style.display"))
                    .toString() == QStringLiteral("none"));
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const QByteArray& r : server.requests)
                    if (r.startsWith("/tiles/") && r.endsWith(".png"))
                        return true;
                return false;
            },
            20000));
    }
};

TARNWELL_TEST(TestMapView)
#include "tst_mapview.moc"
