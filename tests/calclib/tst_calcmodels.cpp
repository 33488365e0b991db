// The calculation models of the FS library, called directly: geometry, antenna patterns,
// polarisation, mask overlap and threshold degradation.
#include "antennapattern.h"
#include "fsgeometry.h"
#include "interferencechain.h"
#include "spectrummask.h"
#include "testregistry.h"

#include <QTest>
#include <cmath>

namespace {

using Points = std::vector<SpectrumMask::Point>;

// the typical 28 MHz channel mask of the test stations
SpectrumMask typicalMask(SpectrumMask::Kind kind) {
    return SpectrumMask(kind, {{0, 0}, {14, 0}, {20, 25}, {28, 45}, {56, 50}, {70, 55}});
}

// P(df) by a plain midpoint sum, independent of the piecewise exact integration
double bruteForceOverlap(const SpectrumMask& tx, const SpectrumMask& rx, double df) {
    const double edge = tx.lastOffsetMHz();
    const int steps = 400000;
    const double h = 2 * edge / steps;
    double sum = 0;
    for (int i = 0; i < steps; ++i) {
        const double f = -edge + (i + 0.5) * h;
        sum += std::pow(10.0, -(tx.attenuationDb(f) + rx.attenuationDb(f - df)) / 10.0) * h;
    }
    return sum;
}

} // namespace

class TestCalcModels : public QObject {
    Q_OBJECT

private slots:
    void thresholdDegradation_data() {
        QTest::addColumn<double>("iMinusN");
        QTest::addColumn<double>("td");
        QTest::newRow("I = N") << 0.0 << 3.01;
        QTest::newRow("6 dB below") << -6.0 << 0.97;
        QTest::newRow("10 dB below") << -10.0 << 0.41;
        QTest::newRow("far below") << -60.0 << 0.0;
        // far above the noise TD approaches I - N
        QTest::newRow("30 dB above") << 30.0 << 30.0;
    }
    void thresholdDegradation() {
        QFETCH(double, iMinusN);
        QFETCH(double, td);
        QCOMPARE(std::round(InterferenceChain::thresholdDegradationDb(iMinusN) * 100) / 100, td);
    }

    void coordinates_data() {
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::newRow("east, north")
            << "016E2215"
            << "48N1230" << true << 16 + 22 / 60.0 + 15 / 3600.0 << 48 + 12 / 60.0 + 30 / 3600.0;
        QTest::newRow("lower-case letters")
            << "016e2215"
            << "48n1230" << true << 16 + 22 / 60.0 + 15 / 3600.0 << 48 + 12 / 60.0 + 30 / 3600.0;
        QTest::newRow("west, south") << "003W3000"
                                     << "40S1500" << true << -3.5 << -40.25;
        QTest::newRow("hemisphere letter wrong") << "016X2215"
                                                 << "48N1230" << false << 0.0 << 0.0;
        QTest::newRow("minutes 60") << "016E6015"
                                    << "48N1230" << false << 0.0 << 0.0;
        QTest::newRow("longitude too short") << "16E2215"
                                             << "48N1230" << false << 0.0 << 0.0;
        QTest::newRow("latitude missing") << "016E2215"
                                          << "" << false << 0.0 << 0.0;
        QTest::newRow("latitude above 90") << "016E2215"
                                           << "91N0000" << false << 0.0 << 0.0;
    }
    void coordinates() {
        QFETCH(QString, longitude);
        QFETCH(QString, latitude);
        QFETCH(bool, ok);
        QFETCH(double, lon);
        QFETCH(double, lat);
        GeoPoint p{999, 999};
        QCOMPARE(FsGeometry::readCoordinates(longitude.toStdString(), latitude.toStdString(), &p),
                 ok);
        if (ok) {
            QVERIFY(std::fabs(p.longitude - lon) < 1e-12);
            QVERIFY(std::fabs(p.latitude - lat) < 1e-12);
        } else {
            QCOMPARE(p.longitude, 999.0); // untouched
        }
    }

    void distanceAndBearing_data() {
        QTest::addColumn<double>("lon1");
        QTest::addColumn<double>("lat1");
        QTest::addColumn<double>("lon2");
        QTest::addColumn<double>("lat2");
        QTest::addColumn<double>("km");
        QTest::addColumn<double>("bearing");
        const double degree = 6371.0 * 3.14159265358979323846 / 180.0;
        QTest::newRow("one degree north") << 10.0 << 45.0 << 10.0 << 46.0 << degree << 0.0;
        QTest::newRow("one degree south") << 10.0 << 46.0 << 10.0 << 45.0 << degree << 180.0;
        QTest::newRow("east on the equator") << 0.0 << 0.0 << 1.0 << 0.0 << degree << 90.0;
        QTest::newRow("west on the equator") << 1.0 << 0.0 << 0.0 << 0.0 << degree << 270.0;
        QTest::newRow("one arc second")
            << 10.0 << 45.0 << 10.0 << 45.0 + 1 / 3600.0 << degree / 3600 << 0.0;
    }
    void distanceAndBearing() {
        QFETCH(double, lon1);
        QFETCH(double, lat1);
        QFETCH(double, lon2);
        QFETCH(double, lat2);
        QFETCH(double, km);
        QFETCH(double, bearing);
        const GeoPoint a{lon1, lat1}, b{lon2, lat2};
        QVERIFY(std::fabs(FsGeometry::distanceKm(a, b) - km) < 1e-9 * std::max(1.0, km));
        QVERIFY(std::fabs(FsGeometry::distanceKm(b, a) - km) < 1e-9 * std::max(1.0, km));
        const double az = FsGeometry::bearingDeg(a, b);
        QVERIFY(az >= 0 && az < 360);
        QVERIFY(std::fabs(az - bearing) < 1e-9);
    }

    void offAxisAngle_data() {
        QTest::addColumn<double>("dirAz");
        QTest::addColumn<double>("dirEl");
        QTest::addColumn<double>("antAz");
        QTest::addColumn<double>("antEl");
        QTest::addColumn<double>("theta");
        QTest::newRow("boresight") << 123.4 << -0.5 << 123.4 << -0.5 << 0.0;
        QTest::newRow("horizontal, 30 deg right") << 40.0 << 0.0 << 10.0 << 0.0 << 30.0;
        QTest::newRow("across north") << 355.0 << 0.0 << 5.0 << 0.0 << 10.0;
        QTest::newRow("behind") << 190.0 << 0.0 << 10.0 << 0.0 << 180.0;
        QTest::newRow("elevation only") << 10.0 << 5.0 << 10.0 << -3.0 << 8.0;
        QTest::newRow("zenith") << 77.0 << 90.0 << 10.0 << 0.0 << 90.0;
    }
    void offAxisAngle() {
        QFETCH(double, dirAz);
        QFETCH(double, dirEl);
        QFETCH(double, antAz);
        QFETCH(double, antEl);
        QFETCH(double, theta);
        QVERIFY(std::fabs(FsGeometry::offAxisAngleDeg(dirAz, dirEl, antAz, antEl) - theta) < 1e-9);
    }

    void offAxisZeroTowardsTheOtherStation() {
        const GeoPoint a{16.3708, 48.2083}, b{15.4436, 47.0775};
        const double d = FsGeometry::distanceKm(a, b);
        const double az = FsGeometry::bearingDeg(a, b);
        const double el = FsGeometry::pathElevationDeg(215, 505, d);
        QVERIFY(FsGeometry::offAxisAngleDeg(az, el, az, el) < 1e-9);
        QVERIFY(FsGeometry::offAxisAngleDeg(az, el, az + 1, el) > 0.99);
    }

    void patternInterpolation_data() {
        QTest::addColumn<double>("theta");
        QTest::addColumn<bool>("anticlockwise");
        QTest::addColumn<double>("symmetric");
        QTest::addColumn<double>("asymmetric");
        // symmetric: 0/0, 5/10, 30/35, 180/45 (given out of order)
        // asymmetric: 0/0, 10/20, 180/40, 350/20 (clockwise angles up to 350)
        QTest::newRow("axis") << 0.0 << false << 0.0 << 0.0;
        QTest::newRow("on a point") << 5.0 << false << 10.0 << 10.0;
        QTest::newRow("between points") << 17.5 << false << 22.5 << 20.0 + 7.5 * 20.0 / 170.0;
        // anticlockwise the asymmetric pattern reads 360 - theta: 355 lies between its last
        // point and its first one at 360
        QTest::newRow("anticlockwise, near the axis") << 5.0 << true << 10.0 << 10.0;
        QTest::newRow("anticlockwise, 20 deg")
            << 20.0 << true << 25.0 << 40.0 - 160.0 * 20.0 / 170.0;
        QTest::newRow("behind") << 180.0 << true << 45.0 << 40.0;
    }
    void patternInterpolation() {
        QFETCH(double, theta);
        QFETCH(bool, anticlockwise);
        QFETCH(double, symmetric);
        QFETCH(double, asymmetric);
        AntennaPattern sym;
        sym.setPoints({{30, 35}, {0, 0}, {180, 45}, {5, 10}});
        QVERIFY(sym.isSymmetric());
        AntennaPattern asym;
        asym.setPoints({{0, 0}, {10, 20}, {180, 40}, {350, 20}});
        QVERIFY(!asym.isSymmetric());
        QVERIFY(std::fabs(sym.attenuationDb(theta, anticlockwise) - symmetric) < 1e-9);
        QVERIFY(std::fabs(asym.attenuationDb(theta, anticlockwise) - asymmetric) < 1e-9);
    }

    void patternClampedAtTheEnds() {
        AntennaPattern p;
        p.setPoints({{2, 1}, {90, 30}});
        QCOMPARE(p.attenuationDb(0, false), 1.0);
        QCOMPARE(p.attenuationDb(120, false), 30.0);
        QCOMPARE(p.raisedBy(25).attenuationDb(120, false), 55.0);
    }

    void polarisationMixing_data() {
        QTest::addColumn<bool>("same");
        QTest::addColumn<double>("coT");
        QTest::addColumn<double>("xpT");
        QTest::addColumn<double>("coR");
        QTest::addColumn<double>("xpR");
        QTest::addColumn<double>("expected");
        QTest::newRow("same: co-polar sum") << true << 3.0 << 30.0 << 4.0 << 33.0 << 7.0;
        // two equal couplings of 25 dB add up to 25 - 3.01 dB
        QTest::newRow("different, equal couplings")
            << false << 0.0 << 25.0 << 0.0 << 25.0 << 25.0 - 10 * std::log10(2.0);
        // one coupling dominates
        QTest::newRow("different, one dominates")
            << false << 0.0 << 60.0 << 40.0 << 20.0 << 20.0 - 10 * std::log10(1 + 1e-8);
    }
    void polarisationMixing() {
        QFETCH(bool, same);
        QFETCH(double, coT);
        QFETCH(double, xpT);
        QFETCH(double, coR);
        QFETCH(double, xpR);
        QFETCH(double, expected);
        const double a = Polarisation::pairDiscriminationDb(same, coT, xpT, coR, xpR);
        QVERIFY2(std::fabs(a - expected) < 1e-9, qPrintable(QString::number(a)));
        // the pair reads the same from either end
        QVERIFY(std::fabs(Polarisation::pairDiscriminationDb(same, coR, xpR, coT, xpT) - a) <
                1e-12);
    }

    void maskShape() {
        const SpectrumMask tx = typicalMask(SpectrumMask::Transmitter);
        const SpectrumMask rx = typicalMask(SpectrumMask::Receiver);
        QCOMPARE(tx.attenuationDb(-7), 0.0);
        QCOMPARE(tx.attenuationDb(17), 12.5);
        QCOMPARE(tx.attenuationDb(-17), 12.5);
        QVERIFY(std::isinf(tx.attenuationDb(71))); // nothing beyond the last point
        QCOMPARE(rx.attenuationDb(500), 55.0);     // the receiver keeps its last value
    }

    void netFilterDiscrimination_data() {
        QTest::addColumn<double>("df");
        QTest::newRow("co-channel") << 0.0;
        QTest::newRow("half a channel") << 14.0;
        QTest::newRow("adjacent channel") << 28.0;
        QTest::newRow("second adjacent") << 56.0;
        QTest::newRow("off a breakpoint") << 33.3;
        QTest::newRow("beyond both masks") << 150.0;
    }
    void netFilterDiscrimination() {
        QFETCH(double, df);
        const SpectrumMask tx = typicalMask(SpectrumMask::Transmitter);
        const SpectrumMask rx = typicalMask(SpectrumMask::Receiver);
        const double nfd = MaskOverlap::netFilterDiscriminationDb(tx, rx, df);
        // symmetric in the sign of df
        QVERIFY(std::fabs(MaskOverlap::netFilterDiscriminationDb(tx, rx, -df) - nfd) < 1e-9);
        if (df == 0)
            QCOMPARE(nfd, 0.0);
        else
            QVERIFY(nfd > 0);
        // the exact integration agrees with a brute-force sum
        const double exact = MaskOverlap::overlapMHz(tx, rx, df);
        const double brute = bruteForceOverlap(tx, rx, df);
        QVERIFY2(std::fabs(exact - brute) < 1e-6 * std::max(brute, 1e-6) + 1e-9,
                 qPrintable(QStringLiteral("%1 %2").arg(exact).arg(brute)));
    }

    void nfdGrowsWithSeparation() {
        const SpectrumMask tx = typicalMask(SpectrumMask::Transmitter);
        const SpectrumMask rx = typicalMask(SpectrumMask::Receiver);
        double previous = -1;
        for (double df = 0; df <= 140; df += 7) {
            const double nfd = MaskOverlap::netFilterDiscriminationDb(tx, rx, df);
            QVERIFY(nfd >= previous - 1e-9);
            previous = nfd;
        }
        // far away only the receiver's last attenuation is left: about 55 dB plus MD(0)
        QVERIFY(previous > 50);
    }

    void wideTransmitter_data() {
        QTest::addColumn<double>("k");
        QTest::newRow("twice as wide") << 2.0;
        QTest::newRow("four times") << 4.0;
        QTest::newRow("ten times") << 10.0;
    }
    void wideTransmitter() {
        QFETCH(double, k);
        // flat spectrum k times wider than a flat receiver with steep (300 dB) edges
        const double b = 3.5;
        const SpectrumMask tx(SpectrumMask::Transmitter, {{0, 0}, {k * b, 0}});
        const SpectrumMask rx(SpectrumMask::Receiver, {{0, 0}, {b, 0}, {b, 300}});
        const double md0 = MaskOverlap::maskDiscriminationDb(tx, rx, 0);
        QVERIFY2(std::fabs(md0 - 10 * std::log10(k)) < 1e-9, qPrintable(QString::number(md0)));
        QCOMPARE(MaskOverlap::spectrumMHz(tx), 2 * k * b);
    }
};

TARNWELL_TEST(TestCalcModels)
#include "tst_calcmodels.moc"
