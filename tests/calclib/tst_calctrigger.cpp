// The co-ordination trigger HCMFS_ANNEX11_1 through the loaded library: which neighbours a
// station lists, and how the result buffer is filled.
#include "hcmfslibrary.h"
#include "stationline.h"
#include "testregistry.h"

#include <QTest>
#include <cstring>

namespace {

QByteArray station(const QString& type, double lon, double lat, const QString& country,
                   const QString& mhz, const QString& azimuth) {
    StationLine s(type);
    s.at(lon, lat).set("4B", country).set("9A", azimuth);
    if (mhz.isEmpty())
        s.set("1A", "").set("1A1", "");
    else
        s.set("1A", mhz);
    return s.line();
}

// the buffer's text as the program reads it: up to the first blank
QByteArray cutAtBlank(const QByteArray& buffer) {
    const int blank = buffer.indexOf(' ');
    return blank < 0 ? buffer : buffer.left(blank);
}

} // namespace

class TestCalcTrigger : public QObject {
    Q_OBJECT

    HcmfsLibrary m_lib;

private slots:
    void initTestCase() { QVERIFY2(m_lib.isLoaded(), qPrintable(m_lib.errorString())); }

    void countries_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("expected");
        // Vienna: 45-60 km from three borders
        QTest::newRow("Vienna, 2 GHz: long trigger distance")
            << station("TX", 16.3708, 48.2083, "AUT", "2000", "90") << 0
            << QByteArray("CZE,HNG,SVK");
        QTest::newRow("Vienna, 38 GHz: far inside")
            << station("TX", 16.3708, 48.2083, "AUT", "38000", "90") << 0 << QByteArray();
        // a few km from Slovakia, 25 km from Hungary
        QTest::newRow("Danube east of Vienna, 18 GHz")
            << station("RX", 16.90, 48.13, "AUT", "18725", "270") << 0 << QByteArray("HNG,SVK");
        QTest::newRow("own country left out")
            << station("RX", 16.90, 48.13, "HNG", "18725", "270") << 0 << QByteArray("AUT,SVK");
        QTest::newRow("own country in lower case")
            << station("RX", 16.90, 48.13, "aut", "18725", "270") << 0 << QByteArray("HNG,SVK");
        // Munich: Austria 60 km south, beyond 40 km but within the 80 km of the main beam
        QTest::newRow("Munich, main beam to the south")
            << station("TX", 11.575, 48.137, "D", "15000", "170") << 0 << QByteArray("AUT");
        QTest::newRow("Munich, main beam to the north")
            << station("TX", 11.575, 48.137, "D", "15000", "0") << 0 << QByteArray();
        QTest::newRow("Munich, no azimuth")
            << station("TX", 11.575, 48.137, "D", "15000", "") << 0 << QByteArray();
        QTest::newRow("Paris") << station("TX", 2.35, 48.86, "F", "38000", "45") << 0
                               << QByteArray();
        QTest::newRow("Strasbourg")
            << station("TX", 7.75, 48.58, "F", "18725", "0") << 0 << QByteArray("D");
        QTest::newRow("Gorizia") << station("RX", 13.62, 45.94, "I", "23000", "200") << 0
                                 << QByteArray("SVN");
        // a repeater side without frequency: the longest distances apply
        QTest::newRow("Linz, no frequency")
            << station("PTX", 14.29, 48.31, "AUT", "", "45") << 0 << QByteArray("CZE,D");
        QTest::newRow("line with CR") << station("TX", 7.75, 48.58, "F", "18725", "0") + "\r\n"
                                      << 0 << QByteArray("D");
        QTest::newRow("co-ordinates missing")
            << StationLine().set("4C", "").line() << 3 << QByteArray();
        QTest::newRow("line too short") << QByteArray("TX;18725;M") << 1 << QByteArray();
        QTest::newRow("empty line") << QByteArray() << 1 << QByteArray();
    }
    void countries() {
        QFETCH(QByteArray, line);
        QFETCH(int, code);
        QFETCH(QByteArray, expected);
        QByteArray buffer(200, '#');
        QCOMPARE(m_lib.trigger(line, buffer.data(), 200), code);
        QCOMPARE(cutAtBlank(buffer), expected);
        // the rest is blank padding to the end of the buffer
        QCOMPARE(buffer.mid(expected.size()), QByteArray(200 - expected.size(), ' '));
    }

    void bufferNeverOverrun_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("expected");
        // the station lists "HNG,SVK"; a code that does not fit is left out whole
        QTest::newRow("200") << 200 << QByteArray("HNG,SVK");
        QTest::newRow("exactly the list") << 7 << QByteArray("HNG,SVK");
        QTest::newRow("one short") << 6 << QByteArray("HNG   ");
        QTest::newRow("one code") << 3 << QByteArray("HNG");
        QTest::newRow("less than a code") << 2 << QByteArray("  ");
        QTest::newRow("one byte") << 1 << QByteArray(" ");
    }
    void bufferNeverOverrun() {
        QFETCH(int, size);
        QFETCH(QByteArray, expected);
        const QByteArray line = station("RX", 16.90, 48.13, "AUT", "18725", "270");
        QByteArray storage(size + 32, '#');
        QCOMPARE(m_lib.trigger(line, storage.data(), size), 0);
        QCOMPARE(storage.left(qMin(size, int(expected.size()))), expected.left(size));
        QCOMPARE(storage.mid(expected.size(), size - qMin(size, int(expected.size()))),
                 QByteArray(size - qMin(size, int(expected.size())), ' '));
        QCOMPARE(storage.mid(size), QByteArray(32, '#'));
    }

    void noBuffer() {
        const QByteArray line = station("RX", 16.90, 48.13, "AUT", "18725", "270");
        QByteArray storage(8, '#');
        QCOMPARE(m_lib.trigger(line, storage.data(), 0), 12);
        QCOMPARE(m_lib.trigger(line, storage.data(), -5), 12);
        QCOMPARE(m_lib.trigger(line, nullptr, 200), 12);
        QCOMPARE(storage, QByteArray(8, '#'));
    }
};

TARNWELL_TEST(TestCalcTrigger)
#include "tst_calctrigger.moc"
