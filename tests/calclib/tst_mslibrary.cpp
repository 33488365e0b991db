// HCMMS_DLL.so loaded by its path and called as the program calls it: one pair, the result
// codes, the border line, the country list and the file's exports.
#include "elfversion.h"
#include "hcmmsapi.h"
#include "testregistry.h"

#include <QLibrary>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <cmath>

namespace {

// The record as the program writes it: blanks, then each text in increasing position order
// from its 1-based position with a zero byte after it, which the next text may overwrite.
struct Record {
    QMap<int, QByteArray> fields;
    Record& set(int position, const QByteArray& text) {
        fields[position] = text;
        return *this;
    }
    QByteArray bytes() const {
        QByteArray b(HCMMS_RECORD_LENGTH, ' ');
        for (auto i = fields.cbegin(); i != fields.cend(); ++i) {
            b.replace(i.key() - 1, i.value().size(), i.value());
            if (i.key() - 1 + i.value().size() < b.size())
                b[i.key() - 1 + i.value().size()] = '\0';
        }
        return b;
    }
};

// Tx 015E0000 47N0000, 200 m asl, 30 m above ground, non-directional, 20 dBW e.r.p.,
// 450.125 MHz 16K0F3E; Rx 5' north (d = 6371 km * 5/60 deg * pi/180 = 9.26624 km), 200 m asl,
// 10 m above ground, 450.100 MHz.
Record pair() {
    Record r;
    r.set(1, "015E000047N0000").set(16, "015E000047N0500").set(31, "0200").set(35, "0200");
    r.set(39, "000ND00").set(46, "000ND00").set(53, "00000").set(58, "0").set(63, "0030");
    r.set(67, "0010").set(71, "E").set(72, "20").set(78, "0000450.125M").set(90, "1");
    r.set(91, "C").set(92, "00000").set(97, "00000").set(107, "0000450.100M");
    r.set(119, "16K0F3E").set(128, "16K0F3E").set(137, "000ND00").set(144, "000ND00");
    r.set(151, "00000").set(156, "0").set(161, "E").set(162, "0").set(179, "AUT").set(182, "AUT");
    return r;
}

struct Result {
    double distance = -1, horizontal = -1, vertical = -1, sea = -1, df = -1;
    int16_t txH = -1, rxH = -1;
    int32_t error = -1;
    // the 32-bit reals in parameter order: 5 land field, 7 and 8 the Tx antenna corrections,
    // 16 field strength, 17 permissible, 20 protection margin
    float v[21];
    float field() const { return v[16]; }
    float permissible() const { return v[17]; }
    float margin() const { return v[20]; }
};

class MsLibrary {
public:
    MsLibrary() : m_lib(QStringLiteral(HCMMS_LIBRARY_PATH)) {
        m_pair = reinterpret_cast<HCMMS_V7_DLL_Function>(m_lib.resolve("HCMMS_V7_DLL"));
        m_border = reinterpret_cast<HCMMS_BORDERLINE_Function>(m_lib.resolve("HCMMS_BORDERLINE"));
        m_countries = reinterpret_cast<HCMMS_COUNTRIES_Function>(m_lib.resolve("HCMMS_COUNTRIES"));
        m_text = reinterpret_cast<HCMMS_ERROR_TEXT_Function>(m_lib.resolve("HCMMS_ERROR_TEXT"));
    }
    bool loaded() const { return m_pair && m_border && m_countries && m_text; }
    Result calculate(int32_t cmode, QByteArray record) const {
        Result r;
        std::fill(std::begin(r.v), std::end(r.v), -1.0f);
        int32_t reserved = 0;
        double time = 0.1;
        float* v = r.v;
        m_pair(&cmode, &reserved, &time, &r.distance, &r.txH, &r.rxH, &r.error, v, v + 1, v + 2,
               v + 3, v + 4, v + 5, v + 6, v + 7, v + 8, &r.horizontal, &r.vertical, v + 9, v + 10,
               v + 11, v + 12, &r.sea, v + 13, v + 14, &r.df, v + 15, v + 16, v + 17, v + 18,
               v + 19, v + 20, record.data(), int32_t(record.size()));
        return r;
    }
    HCMMS_BORDERLINE_Function m_border = nullptr;
    HCMMS_COUNTRIES_Function m_countries = nullptr;
    HCMMS_ERROR_TEXT_Function m_text = nullptr;

private:
    QLibrary m_lib;
    HCMMS_V7_DLL_Function m_pair = nullptr;
};

} // namespace

class TestMsLibrary : public QObject {
    Q_OBJECT
    MsLibrary lib;

private slots:
    void initTestCase() { QVERIFY(lib.loaded()); }

    void onePair() {
        const Result r = lib.calculate(1, pair().bytes());
        QCOMPARE(r.error, 0);
        QVERIFY(std::fabs(r.distance - 9.26624) < 1e-4);
        QCOMPARE(r.horizontal, 0.0);
        QCOMPARE(r.txH, int16_t(200));
        // Hata, H1 = 230 - 200 = 30 m, 450.125 MHz, h2 = 10 m (no correction):
        // 69.82 - 16.344 + 20.414 + 18.846 - 35.225 log 9.26624 (34.059) = 58.677 dBuV/m for
        // 1 kW; 20 dBW e.r.p. is -10 dB; 25 kHz apart, 16 kHz wide: -60 * 9/16 = -33.75 dB
        QVERIFY(std::fabs(r.v[5] - 58.677f) < 0.003);
        QVERIFY(std::fabs(r.field() - (58.677f - 10 - 33.75f)) < 0.003);
        // CMODE 1: 32 dBuV/m; margin 32 - 14.927 = 17.073
        QCOMPARE(r.permissible(), 32.0f);
        QVERIFY(std::fabs(r.margin() - 17.073f) < 0.003);
        QCOMPARE(r.df, 25.0);
    }

    void dialogTextsAndAntennas() {
        Record rec = pair();
        // same frequency; the permissible field strength ends at its zero byte; the Tx
        // vertically, the Rx horizontally polarised: 3 dB
        rec.set(78, "0000450.100M").set(137, "000NH00");
        rec.set(166, "3").set(170, QByteArray("25\0"
                                              "77",
                                              5));
        // the Tx beam east (090), Rx due north: 12 (90/60)^2 = 27, capped at 20 dB
        rec.set(39, "060DV20").set(53, "00090");
        rec.set(71, "I"); // e.i.r.p.: -2.15 dB
        const Result r = lib.calculate(1, rec.bytes());
        QCOMPARE(r.error, 0);
        QCOMPARE(r.v[7], -20.0f);
        QCOMPARE(r.v[8], -2.15f);
        QCOMPARE(r.permissible(), 25.0f);
        QVERIFY(std::fabs(r.field() - (58.677f - 10 - 2.15f - 20 - 3)) < 0.003);
        QVERIFY(std::fabs(r.margin() - (25 - r.field())) < 1e-4);
        // h2 = 3 m by the mode (CMODE 4): (3.2 + 6.2 log 450.1) log 0.3 = -10.275
        const Result m4 = lib.calculate(4, pair().bytes());
        QVERIFY(std::fabs(m4.v[5] - (58.677f - 10.275f)) < 0.003);
    }

    void errorCodes_data() {
        QTest::addColumn<int>("cmode");
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("short record") << 1 << 0 << QByteArray() << 1;
        QTest::newRow("Tx longitude") << 1 << 1 << QByteArray("015X000047N0000") << 2;
        QTest::newRow("Rx latitude seconds") << 1 << 16 << QByteArray("015E000047N0560") << 2;
        QTest::newRow("Tx height") << 1 << 31 << QByteArray("02A0") << 3;
        QTest::newRow("Rx antenna height") << 1 << 67 << QByteArray("-010") << 3;
        QTest::newRow("Tx unit") << 1 << 78 << QByteArray("0000450.125X") << 4;
        QTest::newRow("Rx frequency") << 1 << 107 << QByteArray("00000abc.00M") << 4;
        QTest::newRow("10 MHz") << 1 << 78 << QByteArray("0000010.000M") << 5;
        QTest::newRow("CMODE 10") << 10 << 0 << QByteArray("x") << 6;
        QTest::newRow("CMODE -9") << -9 << 0 << QByteArray("x") << 6;
        QTest::newRow("power") << 1 << 72 << QByteArray("2O") << 7;
        QTest::newRow("azimuth 360") << 1 << 53 << QByteArray("00360") << 8;
        QTest::newRow("reference type") << 1 << 161 << QByteArray("X") << 8;
        QTest::newRow("designation") << 1 << 128 << QByteArray("XXXXXXX") << 9;
        QTest::newRow("depolarisation") << 1 << 166 << QByteArray("-3") << 10;
        QTest::newRow("permissible") << 1 << 170 << QByteArray("abc") << 11;
        QTest::newRow("sea type") << 1 << 91 << QByteArray("X") << 12;
    }
    void errorCodes() {
        QFETCH(int, cmode);
        QFETCH(int, position);
        QFETCH(QByteArray, text);
        QFETCH(int, code);
        Record rec = pair();
        if (position > 0)
            rec.set(position, text);
        QByteArray bytes = rec.bytes();
        if (text.isEmpty())
            bytes.chop(1);
        const Result r = lib.calculate(cmode, bytes);
        QCOMPARE(r.error, code);
        QCOMPARE(r.distance, 0.0);
        for (float v : r.v)
            QCOMPARE(v, 0.0f);
        char buffer[100];
        QVERIFY(lib.m_text(code, buffer, sizeof buffer) > 0);
        QVERIFY(QByteArray(buffer) != "Unknown error");
    }

    void borderLine() {
        // 006E1500 49N2212 (6.25 E, 49.37 N), 1 kW e.r.p., 450 MHz, 30 m: the nearest part of
        // Luxembourg is its edge (6.37, 49.47) - (6.10, 49.46). Flat about 49.42 N (72.34 km
        // per degree east, 111.195 north): edge (-19.531, -1.112) km, station (-8.681,
        // -11.120) km from its first point; distance |cross| / |edge| = 207.51 / 19.562 =
        // 10.608 km, foot at 6.2417 E 49.4652 N. Hata at 10.608 km, H1 = 30 m, h2 = 10 m:
        // 73.736 - 35.225 log 10.608 = 56.608 dBuV/m.
        Record rec = pair();
        rec.set(1, "006E150049N2212").set(72, "30").set(78, "0000450.000M");
        const QByteArray line = rec.bytes();
        double lon = 0, lat = 0, km = 0;
        float e = 0;
        QCOMPARE(
            lib.m_border(line.constData(), HCMMS_RECORD_LENGTH, "lux", 3, 10, &lon, &lat, &km, &e),
            0);
        QVERIFY2(std::fabs(km - 10.608) < 0.02, qPrintable(QString::number(km)));
        QVERIFY2(std::fabs(e - 56.608) < 0.03, qPrintable(QString::number(e)));
        QVERIFY(std::fabs(lon - 6.2417) < 0.01 && std::fabs(lat - 49.4652) < 0.001);
        QCOMPARE(
            lib.m_border(line.constData(), HCMMS_RECORD_LENGTH, "XYZ", 3, 10, &lon, &lat, &km, &e),
            13);
        QCOMPARE(e, 0.0f);
    }

    void countries() {
        char buffer[8];
        const int32_t length = lib.m_countries(buffer, sizeof buffer);
        QCOMPARE(QByteArray(buffer), QByteArray("ALB,AUT"));
        QByteArray all(length + 1, 'x');
        QCOMPARE(lib.m_countries(all.data(), int32_t(all.size())), length);
        QVERIFY(all.startsWith("ALB,AUT,BEL") && all.contains(",LUX,") && all.endsWith('\0'));
        QVERIFY(!all.contains("DNK,DNK"));
    }

    void fileExportsAndVersion() {
        QProcess nm;
        nm.start("nm", {"-D", "--defined-only", QStringLiteral(HCMMS_LIBRARY_PATH)});
        QVERIFY(nm.waitForFinished(30000) && nm.exitCode() == 0);
        QSet<QString> names;
        for (const QString& line : QString::fromLocal8Bit(nm.readAllStandardOutput())
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            names.insert(line.section(QLatin1Char(' '), -1));
        QCOMPARE(names, QSet<QString>({"HCMMS_V7_DLL", "HCMMS_BORDERLINE", "HCMMS_COUNTRIES",
                                       "HCMMS_ERROR_TEXT"}));
        QCOMPARE(ElfVersion::fileVersion(QStringLiteral(HCMMS_LIBRARY_PATH)),
                 QStringLiteral("1.0.0.0"));
        QProcess readelf;
        readelf.start("readelf", {"-d", QStringLiteral(HCMMS_LIBRARY_PATH)});
        QVERIFY(readelf.waitForFinished(30000) && readelf.exitCode() == 0);
        const QByteArray dynamic = readelf.readAllStandardOutput();
        QVERIFY(dynamic.contains("NEEDED") && !dynamic.contains("Qt"));
    }
};

TARNWELL_TEST(TestMsLibrary)
#include "tst_mslibrary.moc"
