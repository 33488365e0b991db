// What a run reads: the lines of its files, the fields of a station line, the distance between
// stations, and the data path handed to the library.
#include "calc.h"
#include "calcstation.h"
#include "calctestsupport.h"
#include "datapath.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/stat.h>

class TestCalcInput : public QObject {
    Q_OBJECT

private slots:
    void readLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b", ""};
        QTest::newRow("CR") << QByteArray("a\rb\r\rc") << QStringList{"a", "b", "", "c"};
        QTest::newRow("LF") << QByteArray("a\nb\n\n") << QStringList{"a", "b", "", ""};
        QTest::newRow("LF CR") << QByteArray("a\n\rb\n\r") << QStringList{"a", "b", ""};
        // every line ends at its own line end: one CR LF line or a stray CR in an LF file
        // does not merge the file into a few lines
        QTest::newRow("mixed") << QByteArray("a\nb\r\nc\rd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("stray CR in LF file")
            << QByteArray("a\nb\rc\nd\n") << QStringList{"a", "b", "c", "d", ""};
        QTest::newRow("no line end") << QByteArray("abc") << QStringList{"abc"};
        QTest::newRow("empty file") << QByteArray() << QStringList{""};
        // every byte is one character (Latin-1), also the bytes UTF-8 would reject
        QTest::newRow("8-bit bytes")
            << QByteArray("M\xdcNCHEN;\xe9\n\xff")
            << QStringList{QStringLiteral("M\u00dcNCHEN;\u00e9"), QStringLiteral("\u00ff")};
    }
    void readLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath("in.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QStringList read{"left over"};
        QVERIFY(CALC::readLines(path, read));
        QCOMPARE(read, lines);
        // a file of one style goes back to the same bytes
        const char* const styles[] = {"\r\n", "\n\r", "\r", "\n"};
        for (const char* end : styles) {
            if (read.join(QLatin1String(end)).toLatin1() == bytes)
                return;
        }
        QVERIFY2(QTest::currentDataTag() == QLatin1String("mixed") ||
                     QTest::currentDataTag() == QLatin1String("stray CR in LF file"),
                 "a file of one style did not join back to its bytes");
    }

    void readLinesFails_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing file") << QStringLiteral("missing.txt");
        QTest::newRow("folder") << QStringLiteral(".");
        // a FIFO would block for ever, a device never end
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("device") << QStringLiteral("/dev/zero");
    }
    void readLinesFails() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = name.isEmpty()         ? QString()
                             : name.startsWith('/') ? name
                                                    : dir.filePath(name);
        if (name == QLatin1String("fifo"))
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QStringList lines{"kept"};
        QVERIFY(!CALC::readLines(path, lines));
        QCOMPARE(lines, QStringList{"kept"});
    }

    void stationFields_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("frequency");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reference");
        const QString tail = QStringLiteral(";1;FX;CP;A;01012020;NAME;AUT;");
        const QString ref = QString(";x").repeated(32) + QStringLiteral(";REF1;x");
        const double vienna = 16 + (22 + 15 / 60.0) / 60; // 016E2215
        const double viennaLat = 48 + (12 + 30 / 60.0) / 60;
        auto row = [&](const char* name, const QString& head, const QString& coordinates, int kind,
                       double f, double lon, double lat, const QString& reference) {
            QTest::newRow(name) << head + tail + coordinates + ref << kind << f << lon << lat
                                << QStringLiteral("NAME") << reference;
        };
        row("TX, MHz", "TX;18725;M", "016E221548N1230", CalcStation::TX, 18725, vienna, viennaLat,
            "REF1");
        row("rx, GHz", "rx;18.725;G", "016E221548N1230", CalcStation::RX, 18725, vienna, viennaLat,
            "REF1");
        row("g in lower case", "RX;7.5;g", "016E221548N1230", CalcStation::RX, 7500, vienna,
            viennaLat, "REF1");
        row("kHz", "TX;18725000;K", "016E221548N1230", CalcStation::TX, 18725, vienna, viennaLat,
            "REF1");
        row("unit text GHz is MHz", "TX;18;GHZ", "016E221548N1230", CalcStation::TX, 18, vienna,
            viennaLat, "REF1");
        row("not a number", "TX;abc;G", "016E221548N1230", CalcStation::TX, -1000, vienna,
            viennaLat, "REF1");
        row("no frequency", "PTX;;", "016E221548N1230", CalcStation::PTX, -1000, vienna, viennaLat,
            "REF1");
        row("PRX", "prx;1;M", "016E221548N1230", CalcStation::PRX, 1, vienna, viennaLat, "REF1");
        // the type as the editor reads it: "TXA" is none, blanks around it do not count
        row("type TXA", "TXA;1;M", "016E221548N1230", CalcStation::Other, 1, vienna, viennaLat,
            "REF1");
        row("type with blanks", " tx ;1;M", "016E221548N1230", CalcStation::TX, 1, vienna,
            viennaLat, "REF1");
        row("type P", "P;1;M", "016E221548N1230", CalcStation::Other, 1, vienna, viennaLat, "REF1");
        row("type PT", "PT;1;M", "016E221548N1230", CalcStation::Other, 1, vienna, viennaLat,
            "REF1");
        row("west and south", "TX;1;M", "016W221548S1230", CalcStation::TX, 1, -vienna, -viennaLat,
            "REF1");
        row("w and s in lower case", "TX;1;M", "016w221548s1230", CalcStation::TX, 1, -vienna,
            -viennaLat, "REF1");
        row("longitude only", "TX;1;M", "016E2215", CalcStation::TX, 1, vienna, -1000, "REF1");
        row("degrees not a number", "TX;1;M", "0X6E221548N1230", CalcStation::TX, 1, -1000,
            viennaLat, "REF1");
        row("no co-ordinates", "TX;1;M", "", CalcStation::TX, 1, -1000, -1000, "REF1");
        QTest::newRow("short line") << QStringLiteral("RX;5;M") << int(CalcStation::RX) << 5.0
                                    << -1000.0 << -1000.0 << QString() << QString();
        QTest::newRow("empty line") << QString() << int(CalcStation::Other) << -1000.0 << -1000.0
                                    << -1000.0 << QString() << QString();
    }
    void stationFields() {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QFETCH(double, frequency);
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        QFETCH(QString, name);
        QFETCH(QString, reference);
        const CalcStation s = CalcStation::fromLine(line);
        QCOMPARE(int(s.kind), kind);
        QCOMPARE(s.frequency, frequency);
        QVERIFY2(std::fabs(s.longitude - longitude) < 1e-9,
                 qPrintable(QString::number(s.longitude)));
        QVERIFY2(std::fabs(s.latitude - latitude) < 1e-9, qPrintable(QString::number(s.latitude)));
        QCOMPARE(s.hasCoordinates(), longitude > -900 && latitude > -900);
        QCOMPARE(s.name, name);
        QCOMPARE(s.reference, reference);
    }

    void distance_data() {
        QTest::addColumn<double>("lon1");
        QTest::addColumn<double>("lat1");
        QTest::addColumn<double>("lon2");
        QTest::addColumn<double>("lat2");
        QTest::addColumn<double>("km");
        const double degree = 6371 * 3.14159265358979323846 / 180; // 111.19 km
        QTest::newRow("one degree on the equator") << 0.0 << 0.0 << 1.0 << 0.0 << degree;
        QTest::newRow("one degree of latitude") << 16.0 << 48.0 << 16.0 << 49.0 << degree;
        QTest::newRow("pole to pole") << 10.0 << 90.0 << -20.0 << -90.0 << 180 * degree;
        QTest::newRow("across 180 degrees") << 179.5 << 0.0 << -179.5 << 0.0 << degree;
        // the cosine of co-sited stations can round to just above 1
        for (const double lat : {0.0, 17 / 60.0, 2.5, 33.3, 48.2083, 51.5, 60.0, 89.9})
            QTest::addRow("co-sited at %g", lat) << 16.3708 << lat << 16.3708 << lat << 0.0;
    }
    void distance() {
        QFETCH(double, lon1);
        QFETCH(double, lat1);
        QFETCH(double, lon2);
        QFETCH(double, lat2);
        QFETCH(double, km);
        auto station = [](double lon, double lat) {
            return CalcStation::fromLine(QStringLiteral("TX;1;M;;;;;;N;C;") +
                                         TestStation::coordinates(lon, lat));
        };
        const double d = distanceKm(station(lon1, lat1), station(lon2, lat2));
        QVERIFY2(std::isfinite(d), "not a number");
        QVERIFY2(std::fabs(d - km) < 1e-3, qPrintable(QString::number(d, 'g', 12)));
    }

    void newerVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("newer");
        QTest::newRow("ours") << "2.1.0.0" << true;
        QTest::newRow("equal") << "2.0.9.9" << false;
        QTest::newRow("older") << "2.0.9.8" << false;
        QTest::newRow("numbers, not texts") << "2.0.10.0" << true;
        QTest::newRow("three parts, newer") << "2.0.10" << true;
        QTest::newRow("three parts, missing part 0") << "2.0.9" << false;
        QTest::newRow("two parts") << "3.0" << false;
        QTest::newRow("one part") << "3" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("fifth part ignored") << "2.0.9.9.1" << false;
        QTest::newRow("much newer") << "10.0.0.0" << true;
    }
    void newerVersion() {
        QFETCH(QString, version);
        QFETCH(bool, newer);
        QCOMPARE(DataPath::isNewer(version, QStringLiteral("2.0.9.9")), newer);
        // fewer than three parts on the other side: never newer
        QVERIFY(!DataPath::isNewer(version, QStringLiteral("1.0")));
    }

    void topoVolume() {
        QTemporaryDir dir;
        const QStringList roots = {dir.filePath("a"), dir.filePath("b"), dir.filePath("c"),
                                   dir.filePath("d")};
        for (const QString& r : roots)
            QVERIFY(QDir().mkpath(r));
        // "b" has a file TOPO, "c" and "d" the folder
        QFile file(QDir(roots[1]).filePath("TOPO"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QDir(roots[2]).mkdir("TOPO"));
        QVERIFY(QDir(roots[3]).mkdir("TOPO"));
        QCOMPARE(DataPath::topoVolume(roots), roots[2]);
        QCOMPARE(DataPath::topoVolume(QStringList{roots[3], roots[2]}), roots[3]);
        QCOMPARE(DataPath::topoVolume(QStringList{roots[0], roots[1]}), QString());
        QCOMPARE(DataPath::topoVolume(QStringList()), QString());
    }

    void dataPathOfNewLibrary() {
        // a newer library keeps the path it has (empty at first)
        QCOMPARE(DataPath::forLibrary(QStringLiteral("2.1.0.0"), QString()), QString());
        QCOMPARE(DataPath::forLibrary(QStringLiteral("2.1.0.0"), QStringLiteral("/kept")),
                 QStringLiteral("/kept"));
        // an older one (or one without version) looks for the TOPO volume
        QVERIFY(DataPath::forLibrary(QStringLiteral("2.0.9.9"), QStringLiteral("/kept")) !=
                QStringLiteral("/kept"));
        QVERIFY(DataPath::forLibrary(QString(), QStringLiteral("/kept")) !=
                QStringLiteral("/kept"));
    }
};

TARNWELL_TEST(TestCalcInput)
#include "tst_calcinput.moc"
