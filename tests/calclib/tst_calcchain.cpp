// Interference chains through HCMFS_V2, loaded from HCMFS_DLL.so as the program loads it:
// result codes, the physics seen from outside, repeaters, the detailed report and concurrent
// calls.
#include "fsgeometry.h"
#include "hcmfslibrary.h"
#include "interferencechain.h"
#include "p452model.h"
#include "stationline.h"
#include "testregistry.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

// a TX near Vienna, its victim RX 25 km to the east-south-east; the antennas point roughly at
// each other
constexpr double TxLon = 16 + 22 / 60.0 + 15 / 3600.0, TxLat = 48 + 12 / 60.0 + 30 / 3600.0;

StationLine tx() {
    return StationLine(QStringLiteral("TX"))
        .at(TxLon, TxLat)
        .set("4A", "WIEN ARSENAL")
        .set("9A", "110");
}

QPair<double, double> rxPosition(double km = 25, double azimuth = 110) {
    return StationLine::destination(TxLon, TxLat, azimuth, km);
}

StationLine rx(double km = 25) {
    const auto p = rxPosition(km);
    return StationLine(QStringLiteral("RX"))
        .at(p.first, p.second)
        .set("4A", "SCHWECHAT WEST")
        .set("9A", "290")
        .set("8B", "");
}

// a passive repeater 20 km north-east of the TX and its victim 15 km south-east of it
QPair<double, double> repeaterPosition() {
    return StationLine::destination(TxLon, TxLat, 60, 20);
}

StationLine repeaterSide(const QString& type, const QString& azimuth) {
    const auto p = repeaterPosition();
    return StationLine(type)
        .at(p.first, p.second)
        .set("4A", "BISAMBERG REPEATER")
        .set("1A", "")
        .set("1A1", "")
        .set("7A", "")
        .set("7G3", "")
        .set("8B", "")
        .set("9H", "")
        .set("9A", azimuth)
        .mask({});
}

StationLine repeaterVictim() {
    const auto r = repeaterPosition();
    const auto p = StationLine::destination(r.first, r.second, 150, 15);
    return StationLine(QStringLiteral("RX")).at(p.first, p.second).set("9A", "330").set("8B", "");
}

bool near(double a, double b, double tolerance = 0.01) {
    return std::fabs(a - b) <= tolerance;
}

QString describe(const HcmfsLibrary::Result& r) {
    return QStringLiteral("error %1 oa %2 nfd %3 md %4 I %5 A %6 TD %7")
        .arg(r.error)
        .arg(r.overlappingArea)
        .arg(r.nfd)
        .arg(r.md)
        .arg(r.interference)
        .arg(r.aTotal)
        .arg(r.td);
}

bool allNotComputed(const HcmfsLibrary::Result& r) {
    return r.overlappingArea == -2222 && r.nfd == -2222 && r.md == -2222 &&
           r.interference == -2222 && r.aTotal == -2222 && r.td == -2222;
}

// the value after "label:" on its line of the detailed report
double reportValue(const QString& report, const QString& label) {
    const QRegularExpression re(
        QStringLiteral("^  %1:\\s+(-?[0-9.]+)").arg(QRegularExpression::escape(label)),
        QRegularExpression::MultilineOption);
    const auto m = re.match(report);
    return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

} // namespace

class TestCalcChain : public QObject {
    Q_OBJECT

    HcmfsLibrary m_lib;

private slots:
    void initTestCase() { QVERIFY2(m_lib.isLoaded(), qPrintable(m_lib.errorString())); }

    void resultCodes_data() {
        QTest::addColumn<QByteArray>("s1");
        QTest::addColumn<QByteArray>("s2");
        QTest::addColumn<QByteArray>("s3");
        QTest::addColumn<QByteArray>("s4");
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("code");
        const QByteArray t = tx().line(), r = rx().line();
        const QByteArray prx = repeaterSide("PRX", "240").line();
        const QByteArray ptx = repeaterSide("PTX", "150").line();
        const QByteArray none;
        QTest::newRow("valid direct chain") << t << r << none << none << none << 0;
        QTest::newRow("valid repeater chain")
            << t << prx << ptx << repeaterVictim().line() << none << 0;
        QTest::newRow("station 1 too short")
            << QByteArray("TX;18725;M;1") << r << none << none << none << 1;
        QTest::newRow("station 2 cut off") << t << r.left(60) << none << none << none << 1;
        QTest::newRow("TX frequency missing")
            << tx().set("1A", "").line() << r << none << none << none << 2;
        QTest::newRow("TX unit unknown")
            << tx().set("1A1", "X").line() << r << none << none << none << 2;
        QTest::newRow("RX frequency not a number")
            << t << rx().set("1A", "abc").line() << none << none << none << 2;
        QTest::newRow("RX co-ordinates missing")
            << t << rx().set("4C", "").line() << none << none << none << 3;
        QTest::newRow("TX hemisphere wrong")
            << tx().set("4C", "016X221548N1230").line() << r << none << none << none << 3;
        QTest::newRow("RX site height missing")
            << t << rx().set("4Z", "").line() << none << none << none << 3;
        QTest::newRow("RX gain missing")
            << t << rx().set("9X1", "").line() << none << none << none << 4;
        QTest::newRow("TX without patterns")
            << tx().coPolar("", {}).crossPolar("", {}).line() << r << none << none << none << 4;
        QTest::newRow("TX polarisation missing")
            << tx().set("9D", "").line() << r << none << none << none << 4;
        QTest::newRow("RX azimuth above 360")
            << t << rx().set("9A", "400").line() << none << none << none << 4;
        QTest::newRow("pattern angle not a number")
            << tx().coPolar("CP", {{"0", "0"}, {"x", "10"}}).line() << r << none << none << none
            << 4;
        QTest::newRow("victim FkTB missing")
            << t << rx().set("9H", "").line() << none << none << none << 5;
        QTest::newRow("repeater victim FkTB missing")
            << t << prx << ptx << repeaterVictim().set("9H", "").line() << none << 5;
        QTest::newRow("TX power missing")
            << tx().set("8B", "").line() << r << none << none << none << 6;
        QTest::newRow("report folder missing")
            << t << r << none << none << QByteArray("/nonexistent-tarnwell-folder/report.txt") << 7;
        QTest::newRow("station 2 empty") << t << none << none << none << none << 8;
        QTest::newRow("station 2 blank") << t << QByteArray("  \r\n") << none << none << none << 8;
        QTest::newRow("repeater without victim") << t << prx << ptx << none << none << 8;
        QTest::newRow("RX as station 1") << r << t << none << none << none << 9;
        QTest::newRow("PRX in a direct chain") << t << prx << none << none << none << 9;
        QTest::newRow("repeater sides swapped")
            << t << ptx << prx << repeaterVictim().line() << none << 9;
        QTest::newRow("TX and RX at one point")
            << t << rx().at(TxLon, TxLat).line() << none << none << none << 10;
        QTest::newRow("feeder loss not a number")
            << tx().set("9L", "x").line() << r << none << none << none << 11;
        QTest::newRow("mask attenuation not a number")
            << tx().set("7GA2", "x").line() << r << none << none << none << 11;
        QTest::newRow("mask frequencies decreasing")
            << tx().mask({{"0", "0"}, {"20", "25"}, {"14", "30"}}).line() << r << none << none
            << none << 11;
        QTest::newRow("ATPC negative")
            << tx().set("8B3", "-3").line() << r << none << none << none << 11;
    }
    void resultCodes() {
        QFETCH(QByteArray, s1);
        QFETCH(QByteArray, s2);
        QFETCH(QByteArray, s3);
        QFETCH(QByteArray, s4);
        QFETCH(QByteArray, report);
        QFETCH(int, code);
        const HcmfsLibrary::Result r = m_lib.calculate(s1, s2, s3, s4, report);
        QVERIFY2(r.error == code, qPrintable(describe(r)));
        if (code != 0) {
            QVERIFY2(allNotComputed(r), qPrintable(describe(r)));
        } else {
            QVERIFY(std::isfinite(r.td) && r.td >= 0);
            QVERIFY(r.aTotal > 100 && r.aTotal < 400);
        }
    }

    void boresightHasNoAntennaDiscrimination() {
        // both antennas aimed exactly along the path: the link budget is gains minus losses
        const auto p = rxPosition(30, 95);
        const GeoPoint a{TxLon, TxLat}, b{p.first, p.second};
        const double d = FsGeometry::distanceKm(a, b);
        const double azTx = FsGeometry::bearingDeg(a, b), azRx = FsGeometry::bearingDeg(b, a);
        // equal heights on a line-of-sight path: the other station lies below the horizontal by
        // atan(d / 2 ae), ae the median effective radius of the default lapse rate 45
        const double ae = P452Model::medianEarthRadiusKm(45);
        const double elTx = std::atan(-d / (2 * ae)) * 180 / M_PI;
        const QByteArray t = tx().set("9A", QString::number(azTx, 'f', 8))
                                 .set("9B", QString::number(elTx, 'f', 8))
                                 .line();
        const QByteArray r = rx().at(p.first, p.second)
                                 .set("9A", QString::number(azRx, 'f', 8))
                                 .set("9B", QString::number(elTx, 'f', 8))
                                 .line();
        const HcmfsLibrary::Result res = m_lib.calculate(t, r);
        QCOMPARE(res.error, 0);
        // P -3 dBW, gains 38.5 + 38.5
        const double expected = -3 + 77 - res.aTotal - res.md;
        QVERIFY2(near(res.interference, expected), qPrintable(describe(res)));
        QVERIFY(near(res.td, InterferenceChain::thresholdDegradationDb(res.interference + 130)));
    }

    void lossGrowsWithDistance() {
        double previous = 0;
        for (double km : {2.0, 10.0, 40.0, 70.0, 90.0, 140.0}) {
            const HcmfsLibrary::Result r = m_lib.calculate(tx().line(), rx(km).line());
            QCOMPARE(r.error, 0);
            QVERIFY2(r.aTotal > previous,
                     qPrintable(QStringLiteral("%1 km: %2").arg(km).arg(describe(r))));
            previous = r.aTotal;
        }
    }

    void stationValuesEnterTheBudget_data() {
        QTest::addColumn<QByteArray>("s1");
        QTest::addColumn<QByteArray>("s2");
        QTest::addColumn<double>("deltaI");
        QTest::addColumn<double>("deltaA");
        QTest::newRow("TX power +2 dB") << tx().set("8B", "-1").line() << rx().line() << 2.0 << 0.0;
        QTest::newRow("ATPC 5 dB") << tx().set("8B3", "5").line() << rx().line() << -5.0 << 0.0;
        QTest::newRow("TX gain +3 dB")
            << tx().set("9X1", "41.5").line() << rx().line() << 3.0 << 0.0;
        QTest::newRow("RX gain -1.5 dB")
            << tx().line() << rx().set("9X1", "37.0").line() << -1.5 << 0.0;
        QTest::newRow("RX feeder +1.5 dB")
            << tx().line() << rx().set("9L", "3.5").line() << -1.5 << 1.5;
        QTest::newRow("TX feeder empty") << tx().set("9L", "").line() << rx().line() << 2.0 << -2.0;
        QTest::newRow("gain with blanks")
            << tx().set("9X1", " 38.5 ").line() << rx().line() << 0.0 << 0.0;
        QTest::newRow("line ends with CR") << tx().line() + "\r" << rx().line() + "\r\n"
                                           << 0.0 << 0.0;
        QTest::newRow("frequency in GHz")
            << tx().set("1A", "18.725").set("1A1", "g").line() << rx().line() << 0.0 << 0.0;
    }
    void stationValuesEnterTheBudget() {
        QFETCH(QByteArray, s1);
        QFETCH(QByteArray, s2);
        QFETCH(double, deltaI);
        QFETCH(double, deltaA);
        const HcmfsLibrary::Result base = m_lib.calculate(tx().line(), rx().line());
        const HcmfsLibrary::Result r = m_lib.calculate(s1, s2);
        QCOMPARE(r.error, 0);
        QVERIFY2(near(r.interference - base.interference, deltaI, 1e-3), qPrintable(describe(r)));
        QVERIFY2(near(r.aTotal - base.aTotal, deltaA, 1e-3), qPrintable(describe(r)));
    }

    void absurdValuesStayInRange() {
        // a gain no antenna has: the float outputs are clamped, nothing overflows
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("detail.txt"));
        const HcmfsLibrary::Result r = m_lib.calculate(tx().set("9X1", "1e300").line(), rx().line(),
                                                       {}, {}, QFile::encodeName(path));
        QCOMPARE(r.error, 0);
        QCOMPARE(r.interference, std::numeric_limits<float>::max());
        QVERIFY(r.td >= std::numeric_limits<float>::max());
        QVERIFY(QFileInfo(path).size() > 0);
    }

    void polarisation() {
        const HcmfsLibrary::Result same = m_lib.calculate(tx().line(), rx().line());
        const HcmfsLibrary::Result cross = m_lib.calculate(tx().line(), rx().set("9D", "H").line());
        // without a cross-polar pattern the discrimination is that of the co-polar one + 25 dB
        const HcmfsLibrary::Result assumed = m_lib.calculate(
            tx().crossPolar("", {}).line(), rx().set("9D", "H").crossPolar("", {}).line());
        QCOMPARE(cross.error, 0);
        QCOMPARE(assumed.error, 0);
        QVERIFY(cross.interference < same.interference - 5);
        QVERIFY(near(assumed.interference, same.interference - 25 + 10 * std::log10(2.0)));
        QCOMPARE(cross.aTotal, same.aTotal);
    }

    void masks_data() {
        QTest::addColumn<QByteArray>("s1");
        QTest::addColumn<QByteArray>("s2");
        QTest::addColumn<bool>("masked");
        QTest::addColumn<bool>("offset");
        QTest::newRow("co-channel") << tx().line() << rx().line() << true << false;
        QTest::newRow("adjacent channel")
            << tx().line() << rx().set("1A", "18752.5").line() << true << true;
        QTest::newRow("adjacent, below")
            << tx().set("1A", "18697.5").line() << rx().line() << true << true;
        QTest::newRow("no masks") << tx().mask({}).line() << rx().mask({}).line() << false << false;
        QTest::newRow("victim without mask")
            << tx().line() << rx().mask({}).line() << false << false;
    }
    void masks() {
        QFETCH(QByteArray, s1);
        QFETCH(QByteArray, s2);
        QFETCH(bool, masked);
        QFETCH(bool, offset);
        const HcmfsLibrary::Result r = m_lib.calculate(s1, s2);
        QCOMPARE(r.error, 0);
        // the antennas do not change: I + MD + A_Total is the same for every row
        const HcmfsLibrary::Result co = m_lib.calculate(tx().line(), rx().line());
        QVERIFY2(near(r.interference + r.md + r.aTotal, co.interference + co.md + co.aTotal, 1e-3),
                 qPrintable(describe(r)));
        if (!masked) {
            QCOMPARE(r.md, 0.0f);
            QCOMPARE(r.nfd, 0.0f);
            QCOMPARE(r.overlappingArea, -2222.0);
            return;
        }
        QVERIFY(r.overlappingArea > 0);
        QVERIFY(r.md >= 0);
        if (offset) {
            QVERIFY2(r.nfd > 10, qPrintable(describe(r)));
            QVERIFY(r.md > co.md);
        } else {
            QCOMPARE(r.nfd, 0.0f);
        }
    }

    void nfdSymmetricInTheSignOfTheOffset() {
        const HcmfsLibrary::Result above =
            m_lib.calculate(tx().line(), rx().set("1A", "18752.5").line());
        const HcmfsLibrary::Result below =
            m_lib.calculate(tx().line(), rx().set("1A", "18697.5").line());
        QCOMPARE(above.error, 0);
        QCOMPARE(below.error, 0);
        QCOMPARE(above.nfd, below.nfd);
        QCOMPARE(above.md, below.md);
        QCOMPARE(above.overlappingArea, below.overlappingArea);
    }

    void repeaterChain() {
        const QByteArray t = tx().set("9A", "60").line();
        const QByteArray prx = repeaterSide("PRX", "240").line();
        const QByteArray ptx = repeaterSide("PTX", "150").line();
        const QByteArray v = repeaterVictim().line();
        const HcmfsLibrary::Result r = m_lib.calculate(t, prx, ptx, v);
        QVERIFY2(r.error == 0, qPrintable(describe(r)));
        // both repeater gains count
        const HcmfsLibrary::Result prxGain =
            m_lib.calculate(t, repeaterSide("PRX", "240").set("9X1", "41.5").line(), ptx, v);
        const HcmfsLibrary::Result ptxGain =
            m_lib.calculate(t, prx, repeaterSide("PTX", "150").set("9X1", "36.5").line(), v);
        QVERIFY(near(prxGain.interference - r.interference, 3.0, 1e-3));
        QVERIFY(near(ptxGain.interference - r.interference, -2.0, 1e-3));
        // the repeater re-radiates the TX frequency: PRX/PTX need none of their own
        QVERIFY(near(r.td, InterferenceChain::thresholdDegradationDb(r.interference + 130)));
    }

    void detailedReport() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("detail.txt"));
        const HcmfsLibrary::Result r =
            m_lib.calculate(tx().line(), rx(60).line(), {}, {}, QFile::encodeName(path));
        QCOMPARE(r.error, 0);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString report = QString::fromLatin1(f.readAll());
        // the inputs: both station lines and their decoded values
        QVERIFY(report.contains(QString::fromLatin1(tx().line())));
        QVERIFY(report.contains(QString::fromLatin1(rx(60).line())));
        for (const char* text : {"WIEN ARSENAL", "SCHWECHAT WEST", "18725 M = 18725.000000 MHz",
                                 "8B Transmitter power:", "-3.0 dBW", "9H FkTB:", "-130.0 dBW",
                                 "9X1 Antenna gain:", "38.5 dBi", "Co-polar pattern \"CP\":",
                                 "180.0 deg 45.0 dB", "Cross-polar pattern \"XP\":"})
            QVERIFY2(report.contains(QLatin1String(text)), text);
        // the intermediate values, each with its unit, agree with the results handed back
        const auto p = rxPosition(60);
        const double d = FsGeometry::distanceKm({TxLon, TxLat}, {p.first, p.second});
        QVERIFY(near(reportValue(report, "Great-circle distance d (km)"), d, 1e-4));
        QVERIFY(near(reportValue(report, "Total attenuation A_Total"), r.aTotal, 1e-3));
        QVERIFY(near(reportValue(report, "MD(df)"), r.md, 1e-3));
        QVERIFY(near(reportValue(report, "Interference level"), r.interference, 1e-3));
        QVERIFY(near(reportValue(report, "TD"), r.td, 1e-3));
        // both feeder losses of 2 dB
        QVERIFY(near(reportValue(report, "Basic transmission loss Lb (dB)") + 4, r.aTotal, 1e-3));
        for (const char* label : {"Slant distance dfs (km)", "Off-axis angle at station 1 (deg)",
                                  "Antenna pair attenuation (dB)", "Overlapping area P(df)",
                                  "I - N", "Noise N (FkTB of the victim)"})
            QVERIFY2(std::isfinite(reportValue(report, QLatin1String(label))), label);
        for (const char* unit : {" deg", " dBW\n", " dBi\n", " MHz\n", " m\n"})
            QVERIFY2(report.contains(QLatin1String(unit)), unit);
    }

    void detailedReportOfAFailure() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("detail.txt"));
        const HcmfsLibrary::Result r = m_lib.calculate(tx().line(), rx().set("9H", "").line(), {},
                                                       {}, QFile::encodeName(path));
        QCOMPARE(r.error, 5);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString report = QString::fromLatin1(f.readAll());
        QVERIFY(report.contains(QLatin1String("Result code:")));
        QVERIFY(report.contains(QLatin1String("5 Victim FkTB missing")));
        QVERIFY(report.contains(QLatin1String("station 2: 9H FkTB missing")));
        QVERIFY(report.contains(QLatin1String("-2222")));
    }

    void reportReplacesAnOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("detail.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        QCOMPARE(m_lib.calculate(tx().line(), rx().line(), {}, {}, QFile::encodeName(path)).error,
                 0);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("HCMFS_DLL 2.2.0.0"));
        QVERIFY(!text.contains('x' + QByteArray(10, 'x')));
    }

    void concurrentCallsMatchSequentialOnes() {
        // different chains on several threads at once give what they give one at a time
        std::vector<std::array<QByteArray, 4>> chains;
        for (int i = 0; i < 6; ++i)
            chains.push_back({tx().set("8B", QString::number(-3 - i)).line(),
                              rx(10 + 15 * i).set("1A", QString::number(18725 + 7 * i)).line(),
                              QByteArray(), QByteArray()});
        chains.push_back({tx().set("9A", "60").line(), repeaterSide("PRX", "240").line(),
                          repeaterSide("PTX", "150").line(), repeaterVictim().line()});
        chains.push_back({tx().set("8B", "").line(), rx().line(), QByteArray(), QByteArray()});
        std::vector<HcmfsLibrary::Result> expected;
        for (const auto& c : chains)
            expected.push_back(m_lib.calculate(c[0], c[1], c[2], c[3]));

        QTemporaryDir dir;
        const int threads = 8, rounds = 40;
        // the threads touch no Qt code of their own: their report names are made here
        std::vector<QByteArray> reports;
        for (int t = 0; t < threads; ++t)
            reports.push_back(QFile::encodeName(dir.filePath(QStringLiteral("r%1.txt").arg(t))));
        std::vector<int> mismatches(threads, 0);
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&, t] {
                const QByteArray& report = reports[size_t(t)];
                for (int k = 0; k < rounds; ++k) {
                    const size_t i = size_t(t + k) % chains.size();
                    const auto& c = chains[i];
                    const HcmfsLibrary::Result r =
                        m_lib.calculate(c[0], c[1], c[2], c[3], k % 5 == 0 ? report : QByteArray());
                    const HcmfsLibrary::Result& e = expected[i];
                    if (r.error != e.error || r.td != e.td || r.interference != e.interference ||
                        r.aTotal != e.aTotal || r.md != e.md || r.nfd != e.nfd ||
                        r.overlappingArea != e.overlappingArea)
                        ++mismatches[size_t(t)];
                }
            });
        }
        for (std::thread& t : pool)
            t.join();
        for (int t = 0; t < threads; ++t)
            QCOMPARE(mismatches[size_t(t)], 0);
        QCOMPARE(expected.back().error, 6);
        QCOMPARE(expected[6].error, 0);
    }
};

TARNWELL_TEST(TestCalcChain)
#include "tst_calcchain.moc"
