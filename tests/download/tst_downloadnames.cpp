// The naming rules of the download centre: tile and archive names, the version comparison and
// the checks of names that come from a server or an archive.
#include "archiveextractor.h"
#include "testregistry.h"
#include "tilenames.h"
#include "updatecatalogue.h"

#include <QTest>

using TileNames::Kind;

class tst_DownloadNames : public QObject {
    Q_OBJECT

private slots:
    void tiles_data() {
        QTest::addColumn<int>("lon");
        QTest::addColumn<int>("lat");
        QTest::addColumn<QString>("topoFile");
        QTest::addColumn<QString>("morphoFile");
        QTest::addColumn<QString>("topoSitePath");
        QTest::addColumn<QString>("morphoSitePath");
        QTest::newRow("12,45") << 12 << 45 << "E012N45.33E"
                               << "E012N45.33M"
                               << "/topogra/TOPO/E012/E012north30to89.zip"
                               << "/morpho/MORPHO/E012/E012.zip";
        QTest::newRow("-5,52") << -5 << 52 << "W005N52.63E"
                               << "W005N52.63M"
                               << "/topogra/TOPO/W005/W005north30to89.zip"
                               << "/morpho/MORPHO/W005/W005.zip";
        QTest::newRow("lat 49 and -50") << 120 << 49 << "E120N49.33E"
                                        << "E120N49.33M"
                                        << "/topogra/TOPO/E120/E120north30to89.zip"
                                        << "/morpho/MORPHO/E120/E120.zip";
        QTest::newRow("-180,-50") << -180 << -50 << "W180S50.63E"
                                  << "W180S50.63M"
                                  << "/topogra/TOPO/W180/W180south.zip"
                                  << "/morpho/MORPHO/W180/W180.zip";
        QTest::newRow("no archive") << -103 << 10 << "W103N10.33E"
                                    << "W103N10.33M"
                                    << ""
                                    << "/morpho/MORPHO/W103/W103.zip";
    }
    void tiles() {
        QFETCH(QString, morphoSitePath);
        QFETCH(QString, topoSitePath);
        QFETCH(QString, morphoFile);
        QFETCH(QString, topoFile);
        QFETCH(int, lon);
        QFETCH(int, lat);
        QCOMPARE(TileNames::tileFileName(lon, lat, Kind::Topographic), topoFile);
        QCOMPARE(TileNames::tileFileName(lon, lat, Kind::Morphological), morphoFile);
        QCOMPARE(TileNames::archiveSitePath(lon, lat, Kind::Topographic), topoSitePath);
        QCOMPARE(TileNames::archiveSitePath(lon, lat, Kind::Morphological), morphoSitePath);
        QCOMPARE(TileNames::tilePath(lon, lat, Kind::Topographic),
                 TileNames::longitudeName(lon) + "/" + topoFile);
        int backLon = 0;
        int backLat = 0;
        QVERIFY(TileNames::parseTileFileName(topoFile, backLon, backLat));
        QCOMPARE(QPoint(backLon, backLat), QPoint(lon, lat));
    }

    // every row of the topographic suffix rule at its edges
    void topographicSuffix_data() {
        QTest::addColumn<int>("lon");
        QTest::addColumn<int>("lat");
        QTest::addColumn<QString>("suffix");
        const struct {
            int lon, lat;
            const char* suffix;
        } rows[] = {
            {0, 0, "north00to29.zip"},
            {15, 29, "north00to29.zip"},
            {33, 30, "north30to89.zip"},
            {122, 89, "north30to89.zip"},
            {-10, -1, "south.zip"},
            {-1, -90, "south.zip"},
            {-102, 5, "north00to29.zip"},
            {-98, 40, "north30to89.zip"},
            {-115, 0, "north00to29.zip"},
            {-105, -3, "south.zip"},
            {5, 90, ""},
            {-104, 29, "north00to29.zip"},
            {-104, 40, "30to89.zip"},
            {-104, 95, "30to89.zip"},
            {-104, -1, "south.zip"},
            {-103, 10, ""},
            {16, 0, "north00to29.zip"},
            {32, 89, "north30to89.zip"},
            {16, -1, ""},
            {16, -2, "south01to25.zip"},
            {32, -25, "south01to25.zip"},
            {20, -26, ""},
            {20, -27, "south26to90.zip"},
            {20, -90, "south26to90.zip"},
            {123, 0, "north.zip"},
            {149, -1, "south.zip"},
            {-59, 70, "north.zip"},
            {-50, -70, "south.zip"},
            {-80, 1, "north.zip"},
            {-74, -1, "south.zip"},
            {-116, 40, "north.zip"},
            {-180, -10, "south.zip"},
            {150, 0, ".zip"},
            {179, -80, ".zip"},
            {-49, 60, ".zip"},
            {-11, -5, ".zip"},
            {-97, 20, ".zip"},
            {-81, -20, ".zip"},
            {-73, 0, "north.zip"},
            {-60, 12, "north.zip"},
            {-73, -1, "south01to30.zip"},
            {-60, -30, "south01to30.zip"},
            {-65, -31, "south31to90.zip"},
            {-73, -90, "south31to90.zip"},
        };
        for (const auto& r : rows)
            QTest::addRow("%d,%d", r.lon, r.lat) << r.lon << r.lat << QString(r.suffix);
    }
    void topographicSuffix() {
        QFETCH(int, lon);
        QFETCH(int, lat);
        QFETCH(QString, suffix);
        QCOMPARE(TileNames::topographicSuffix(lon, lat), suffix);
        QCOMPARE(TileNames::topographicArchive(lon, lat),
                 suffix.isEmpty() ? QString() : TileNames::longitudeName(lon) + suffix);
    }

    void compareVersions_data() {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("available");
        QTest::addColumn<int>("result");
        QTest::newRow("newer third part") << "2.1.0"
                                          << "2.1.1" << 1;
        QTest::newRow("older fourth part") << "2.1.1.5"
                                           << "2.1.1.4" << 0;
        QTest::newRow("equal") << "2.1.0"
                               << "2.1.0" << 0;
        QTest::newRow("two parts installed") << "0.1"
                                             << "9.0.0" << -1;
        QTest::newRow("two parts available") << "2.1.0"
                                             << "2.2" << -1;
        QTest::newRow("numbers, not text") << "9.0.0"
                                           << "10.0.0" << 1;
        QTest::newRow("larger first part") << "3.0.0"
                                           << "2.9.9" << 0;
        QTest::newRow("empty part") << "2..0"
                                    << "2.1.0" << -1;
        QTest::newRow("letters in a compared part") << "2.1.x"
                                                    << "2.1.0" << -1;
        QTest::newRow("decided before the bad part") << "2.0.x"
                                                     << "2.1.0" << 1;
        QTest::newRow("fifth part not compared") << "1.2.3.4.5"
                                                 << "1.2.3.4.9" << 0;
        QTest::newRow("no further than the shorter") << "1.2.3"
                                                     << "1.2.3.1" << 0;
        QTest::newRow("empty") << ""
                               << "1.2.3" << -1;
    }
    void compareVersions() {
        QFETCH(int, result);
        QFETCH(QString, available);
        QFETCH(QString, installed);
        QCOMPARE(UpdateCatalogue::compareVersions(installed, available), result);
    }

    void serverNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plainFile");
        QTest::addColumn<bool>("safeEntry");
        QTest::newRow("plain") << "setup-9.0.0.sh" << true << true;
        QTest::newRow("sub-folder") << "dir/setup.sh" << false << true;
        QTest::newRow("parent") << "../setup.sh" << false << false;
        QTest::newRow("deep parent") << "a/../../x" << false << false;
        QTest::newRow("dot dot") << ".." << false << false;
        QTest::newRow("absolute") << "/etc/passwd" << false << false;
        QTest::newRow("backslash") << "a\\b" << false << false;
        QTest::newRow("hidden") << ".profile" << false << true;
        QTest::newRow("drive") << "C:x" << true << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void serverNames() {
        QFETCH(bool, safeEntry);
        QFETCH(bool, plainFile);
        QFETCH(QString, name);
        QCOMPARE(UpdateCatalogue::isPlainFileName(name), plainFile);
        QCOMPARE(ArchiveExtractor::isSafeEntry(name), safeEntry);
    }
};

TARNWELL_TEST(tst_DownloadNames)
#include "tst_downloadnames.moc"
