// The ITU-R P.452 propagation model: the model function against the ITU validation examples
// on flat land, the gases, the path angles, the wrapped patterns, and the model seen through
// HCMFS_V2 with its configuration file, frequency range and repeater hops.
#include "antennapattern.h"
#include "hcmfslibrary.h"
#include "interferencechain.h"
#include "modelconfig.h"
#include "p452model.h"
#include "stationcache.h"
#include "stationline.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

// the three validation paths: length, profile intervals, centre latitude, map values ΔN and N0
struct Path {
    double d;
    int n;
    double latitude, deltaN, n0;
};
const Path Paths[3] = {{5, 500, 51.1775, 42.531260, 326.678815},
                       {100, 100, 51.35035, 42.496465, 326.521892},
                       {1000, 1000, 44.5034, 43.060611, 328.901810}};

P452Model::Input validationInput(const Path& path, double f, double p) {
    P452Model::Input in;
    in.frequencyGHz = f;
    in.parameters.timePercent = p;
    in.parameters.deltaN = path.deltaN;
    in.parameters.n0 = path.n0;
    in.distanceKm = path.d;
    in.intervals = path.n;
    in.htsM = in.hrsM = 10;
    in.centreLatitudeDeg = path.latitude;
    in.gainTxDbi = 20;
    in.gainRxDbi = 5;
    return in;
}

// the 5 km end-to-end chain: TX at 0 E, 51 N 12', RX 5 km south, 10 m masts on sea level
QByteArray station(const QString& type, const QString& latitude, const QString& mhz = "2000") {
    return StationLine(type)
        .set("4C", "000E0000" + latitude)
        .set("4Z", "0")
        .set("9Y", "10")
        .set("9D", "V")
        .set("9L", "")
        .set("1A", mhz)
        .set("1A1", "M")
        .line();
}

double reportValue(const QString& report, const QString& label) {
    const QRegularExpression re(
        QStringLiteral("^  %1:\\s+(-?[0-9.]+)").arg(QRegularExpression::escape(label)),
        QRegularExpression::MultilineOption);
    const auto m = re.match(report);
    return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

} // namespace

class TestCalcP452 : public QObject {
    Q_OBJECT

    HcmfsLibrary m_lib;
    QTemporaryDir m_data; // a data folder with a configuration file the test writes

    HcmfsLibrary::Result withConfig(const QByteArray& ini, const QByteArray& s1,
                                    const QByteArray& s2, const QByteArray& report = {}) {
        writeFile(m_data.filePath(ModelConfig::FileName), ini);
        return m_lib.calculate(s1, s2, {}, {}, report);
    }

private slots:
    void initTestCase() {
        QVERIFY2(m_lib.isLoaded(), qPrintable(m_lib.errorString()));
        QVERIFY(m_data.isValid());
        m_lib.setDataPath(QFile::encodeName(m_data.path()));
    }
    void cleanup() { QFile::remove(m_data.filePath(ModelConfig::FileName)); }

    void validationExamples_data() {
        QTest::addColumn<int>("path");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("p");
        QTest::addColumn<QList<double>>("losses"); // Lb, Lbfsg, Lb0p, Ldp, Lbs, Lba
        const double f[12] = {0.1, 0.25, 1, 2, 10, 30, 50, 2, 2, 2, 2, 2};
        const double p[12] = {50, 50, 50, 50, 50, 50, 50, 20, 10, 1, 0.1, 0.01};
        const QList<double> rows[3][12] = {{{106.40, 86.38, 86.38, 20.02, 125.95, 192.21},
                                            {107.04, 94.34, 94.34, 12.70, 138.09, 184.48},
                                            {108.16, 106.41, 106.41, 1.75, 154.98, 179.64},
                                            {112.43, 112.43, 112.43, 0.00, 162.74, 185.66},
                                            {126.45, 126.45, 126.45, 0.00, 179.01, 199.68},
                                            {136.39, 136.39, 136.39, 0.00, 188.89, 209.62},
                                            {142.30, 142.30, 142.30, 0.00, 194.34, 215.53},
                                            {111.94, 112.43, 112.03, 0.00, 157.44, 142.87},
                                            {111.68, 112.43, 111.72, 0.00, 154.88, 127.46},
                                            {110.70, 112.43, 110.70, 0.00, 148.10, 111.46},
                                            {109.67, 112.43, 109.67, 0.00, 142.50, 108.48},
                                            {108.65, 112.43, 108.65, 0.00, 137.51, 107.05}},
                                           {{156.84, 112.42, 112.42, 67.30, 156.84, 240.60},
                                            {169.07, 120.47, 120.47, 70.37, 169.07, 233.56},
                                            {186.36, 132.94, 132.94, 85.59, 186.36, 230.49},
                                            {194.25, 139.11, 139.11, 99.61, 194.25, 237.62},
                                            {210.86, 153.82, 153.82, 154.17, 210.86, 255.61},
                                            {224.35, 171.32, 171.32, 215.55, 224.35, 276.62},
                                            {255.13, 205.21, 205.21, 253.50, 255.13, 312.63},
                                            {188.95, 139.11, 138.15, 84.96, 188.95, 204.88},
                                            {185.12, 139.11, 137.43, 77.30, 186.39, 186.90},
                                            {152.50, 139.11, 135.02, 60.27, 179.61, 152.49},
                                            {138.24, 139.11, 132.62, 60.27, 174.01, 137.96},
                                            {132.53, 139.11, 130.21, 60.27, 169.02, 131.27}},
                                           {{235.38, 132.60, 132.60, 434.87, 235.38, 295.54},
                                            {248.42, 141.46, 141.46, 573.01, 248.42, 296.78},
                                            {269.57, 157.84, 157.84, 889.58, 269.57, 314.26},
                                            {278.69, 165.34, 165.34, 1115.25, 278.69, 334.41},
                                            {298.55, 186.59, 186.59, 1898.12, 298.55, 399.21},
                                            {346.19, 275.74, 275.74, 2735.23, 346.19, 534.73},
                                            {616.97, 574.65, 574.65, 3242.78, 616.97, 861.71},
                                            {273.39, 165.34, 164.38, 930.86, 273.39, 327.46},
                                            {270.83, 165.34, 163.66, 834.39, 270.83, 322.41},
                                            {264.05, 165.34, 161.25, 661.06, 264.05, 306.78},
                                            {258.45, 165.34, 158.84, 661.06, 258.45, 292.72},
                                            {253.45, 165.34, 156.43, 661.06, 253.45, 279.99}}};
        for (int path = 0; path < 3; ++path)
            for (int k = 0; k < 12; ++k)
                QTest::addRow("%g km, %g GHz, %g %%", Paths[path].d, f[k], p[k])
                    << path << f[k] << p[k] << rows[path][k];
    }
    void validationExamples() {
        QFETCH(int, path);
        QFETCH(double, f);
        QFETCH(double, p);
        QFETCH(QList<double>, losses);
        const P452Model::Result r = P452Model::calculate(validationInput(Paths[path], f, p));
        const double got[6] = {r.lbDb, r.lbfsgDb, r.lb0pDb, r.ldpDb, r.lbsDb, r.lbaDb};
        const char* names[6] = {"Lb", "Lbfsg", "Lb0p", "Ldp", "Lbs", "Lba"};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(std::fabs(got[i] - losses[i]) <= 0.0051,
                     qPrintable(QStringLiteral("%1 = %2, expected %3")
                                    .arg(names[i])
                                    .arg(got[i], 0, 'f', 4)
                                    .arg(losses[i])));
    }

    void validationIntermediates_data() {
        QTest::addColumn<int>("path");
        QTest::addColumn<QList<double>>("values"); // ae, β0, θt, θ, dlt, dlr
        QTest::addColumn<bool>("transHorizon");
        QTest::newRow("5 km") << 0 << QList<double>{8738.167, 6.950436, -0.286101, 0, 2.5, 2.5}
                              << false;
        QTest::newRow("100 km") << 1
                                << QList<double>{8735.512, 1.192048, -1.513319, 8.420888, 13, 13}
                                << true;
        QTest::newRow("1000 km") << 2
                                 << QList<double>{8778.764, 1.911738, -1.509653, 110.891948, 13, 13}
                                 << true;
    }
    void validationIntermediates() {
        QFETCH(int, path);
        QFETCH(QList<double>, values);
        QFETCH(bool, transHorizon);
        const P452Model::Result r = P452Model::calculate(validationInput(Paths[path], 2, 20));
        QCOMPARE(r.transHorizon, transHorizon);
        const double got[6] = {r.aeKm, r.beta0Percent, r.thetaTMrad, r.thetaMrad, r.dltKm, r.dlrKm};
        const double tolerance[6] = {1e-3, 1e-5, 1e-6, 1e-6, 1e-9, 1e-9};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(std::fabs(got[i] - values[i]) <= tolerance[i],
                     qPrintable(QStringLiteral("value %1: %2").arg(i).arg(got[i], 0, 'f', 7)));
        QCOMPARE(r.thetaRMrad, r.thetaTMrad); // equal masts see equal horizons
        QCOMPARE(r.aBetaKm, 19113.0);
    }

    void gases_data() {
        QTest::addColumn<double>("f");
        QTest::addColumn<QList<double>>("gamma"); // γo, γw at 7.5 g/m³, γo, γw at 3 g/m³
        QTest::newRow("0.1 GHz") << 0.1 << QList<double>{0.000202, 0.000001, 0.000203, 0.0};
        QTest::newRow("2 GHz") << 2.0 << QList<double>{0.006713, 0.000204, 0.006680, 0.000074};
        QTest::newRow("10 GHz") << 10.0 << QList<double>{0.008220, 0.005973, 0.008172, 0.002189};
        QTest::newRow("water line")
            << 22.235 << QList<double>{0.013286, 0.179011, 0.013205, 0.072594};
        QTest::newRow("50 GHz") << 50.0 << QList<double>{0.277130, 0.111136, 0.275138, 0.039836};
    }
    void gases() {
        QFETCH(double, f);
        QFETCH(QList<double>, gamma);
        const P452Model::Gases g = P452Model::gases(f, 1013, 15);
        const double got[4] = {g.path.oxygenDbPerKm, g.path.waterDbPerKm, g.scatter.oxygenDbPerKm,
                               g.scatter.waterDbPerKm};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(std::fabs(got[i] - gamma[i]) <= 6e-7,
                     qPrintable(QStringLiteral("%1: %2").arg(i).arg(got[i], 0, 'f', 7)));
    }

    void lossNeverRisesAsTimeFalls() {
        // the 100 km path with the library's own profile: Lb falls or stays as p falls, and
        // Lminb0p has no step where its two forms meet at p = β0
        P452Model::Input in = validationInput(Paths[1], 2, 50);
        in.intervals = P452Model::profileIntervals(in.distanceKm);
        double previous = HUGE_VAL;
        for (double p = 50; p >= 0.001; p /= 1.05) {
            in.parameters.timePercent = p;
            const double lb = P452Model::calculate(in).lbDb;
            QVERIFY2(lb <= previous + 1e-9,
                     qPrintable(QStringLiteral("p = %1: %2").arg(p).arg(lb)));
            previous = lb;
        }
        const double beta0 = P452Model::calculate(in).beta0Percent;
        in.parameters.timePercent = beta0 * (1 + 1e-9);
        const double above = P452Model::calculate(in).lminb0pDb;
        in.parameters.timePercent = beta0 * (1 - 1e-9);
        const double below = P452Model::calculate(in).lminb0pDb;
        QVERIFY2(std::fabs(above - below) < 1e-4, qPrintable(QString::number(above - below)));
    }

    void libraryDefaults() {
        // p = 20, ΔN = 45, N0 = 325 and the library's own 1000 intervals on the 100 km path
        P452Model::Input in = validationInput(Paths[1], 2, 20);
        in.parameters = P452Model::Parameters();
        in.intervals = P452Model::profileIntervals(100);
        QCOMPARE(in.intervals, 1000);
        const P452Model::Result r = P452Model::calculate(in);
        QVERIFY(std::fabs(r.aeKm - 8930.777) < 1e-3);
        QVERIFY(std::fabs(r.dltKm - 13.4) < 1e-9);
        QVERIFY(std::fabs(r.thetaMrad - 8.2043) < 1e-4);
        const double got[6] = {r.lbfsgDb, r.lb0pDb, r.ldpDb, r.lbsDb, r.lbaDb, r.lbDb};
        const double expected[6] = {139.11, 138.15, 84.04, 189.05, 205.02, 189.05};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(std::fabs(got[i] - expected[i]) <= 0.0051,
                     qPrintable(QString::number(got[i])));
    }

    void profileIntervals_data() {
        QTest::addColumn<double>("d");
        QTest::addColumn<int>("n");
        QTest::newRow("1 m: at least 4") << 0.001 << 4;
        QTest::newRow("5 km: 10 m steps") << 5.0 << 500;
        QTest::newRow("5.0038 km") << 5.0038 << 501;
        QTest::newRow("10 km") << 10.0 << 1000;
        QTest::newRow("100 km: 1000 intervals") << 100.0 << 1000;
        QTest::newRow("1000 km") << 1000.0 << 1000;
        QTest::newRow("1000.5 km: 1 km steps") << 1000.5 << 1001;
    }
    void profileIntervals() {
        QFETCH(double, d);
        QFETCH(int, n);
        QCOMPARE(P452Model::profileIntervals(d), n);
    }

    void steepHop() {
        // 1 km and 1000 m up: atan angles, not the slope, and free space over the slant path
        const double ae = P452Model::medianEarthRadiusKm(45);
        const P452Model::PathAngles a = P452Model::pathAngles(1, 100, 10, 1010, ae);
        QVERIFY(!a.transHorizon);
        QVERIFY(std::fabs(a.thetaTMrad - 785.370) < 1e-3);
        QVERIFY(std::fabs(a.thetaTMrad / 1000 * 180 / M_PI - 44.9984) < 1e-4);
        QVERIFY(std::fabs(a.thetaRMrad / 1000 * 180 / M_PI + 45.0016) < 1e-4);
        P452Model::Input in;
        in.frequencyGHz = 10;
        in.distanceKm = 1;
        in.intervals = 100;
        in.htsM = 10;
        in.hrsM = 1010;
        const P452Model::Result r = P452Model::calculate(in);
        QVERIFY(std::fabs(r.dfsKm - 1.414214) < 1e-6);
        const double gases = P452Model::gases(10, 1013, 15).path.totalDbPerKm() * r.dfsKm;
        QVERIFY(std::fabs(r.lbfsgDb - gases - (92.4 + 20 + 20 * std::log10(1.0)) - 3.0103) < 1e-3);
        QVERIFY(std::isfinite(r.lbDb));
    }

    void wrappedPatterns_data() {
        QTest::addColumn<QList<double>>("points"); // angle, attenuation pairs
        QTest::addColumn<double>("offAxis");
        QTest::addColumn<bool>("anticlockwise");
        QTest::addColumn<double>("expected");
        const QList<double> full = {0, 0, 180, 30, 355, 10};
        const QList<double> late = {5, 2, 180, 30, 355, 10};
        QTest::newRow("between 355 and 360") << full << 2.5 << true << 5.0;
        QTest::newRow("clockwise, inside") << full << 90.0 << false << 15.0;
        QTest::newRow("before the first point") << late << 0.0 << false << 6.0;
        QTest::newRow("before the first point, anticlockwise") << late << 2.5 << true << 8.0;
        QTest::newRow("a point at 360 as given")
            << QList<double>{0, 0, 180, 30, 360, 4} << 0.0 << true << 4.0;
        QTest::newRow("symmetric: clamped beyond the last")
            << QList<double>{2, 1, 90, 30} << 120.0 << true << 30.0;
        QTest::newRow("symmetric: clamped before the first")
            << QList<double>{2, 1, 90, 30} << 0.0 << false << 1.0;
    }
    void wrappedPatterns() {
        QFETCH(QList<double>, points);
        QFETCH(double, offAxis);
        QFETCH(bool, anticlockwise);
        QFETCH(double, expected);
        std::vector<AntennaPattern::Point> p;
        for (int i = 0; i + 1 < points.size(); i += 2)
            p.push_back({points[i], points[i + 1]});
        AntennaPattern pattern;
        pattern.setPoints(p);
        QVERIFY(std::fabs(pattern.attenuationDb(offAxis, anticlockwise) - expected) < 1e-9);
    }

    void endToEnd_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("mhz");
        QTest::addColumn<double>("aTotal");
        const QByteArray refr = "delta_n = 42.53126\nn0 = 326.678815\n";
        QTest::newRow("2 GHz, 50 %") << "p_percent = 50\n" + refr << "2000" << 112.441;
        QTest::newRow("2 GHz, 20 %") << "p_percent = 20\n" + refr << "2000" << 111.942;
        QTest::newRow("100 MHz, 50 %") << "p_percent = 50\n" + refr << "100" << 106.418;
    }
    void endToEnd() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, mhz);
        QFETCH(double, aTotal);
        const QByteArray t = station("TX", "51N1200", mhz), r = station("RX", "51N0918");
        const QString report = m_data.filePath("detail.txt");
        // without a report (the thread's cache) and with one (read afresh) alike
        const HcmfsLibrary::Result plain = withConfig(ini, t, r);
        const HcmfsLibrary::Result detailed = withConfig(ini, t, r, QFile::encodeName(report));
        QCOMPARE(plain.error, 0);
        QCOMPARE(detailed.aTotal, plain.aTotal);
        QVERIFY2(std::fabs(plain.aTotal - aTotal) < 0.0015,
                 qPrintable(QString::number(plain.aTotal)));
        const QString text = readFile(report);
        QVERIFY(std::fabs(reportValue(text, "Great-circle distance d (km)") - 5.0038) < 1e-4);
        QCOMPARE(reportValue(text, "Profile intervals n"), 501.0);
        QVERIFY(std::fabs(reportValue(text, "Horizon distance dlt (km)") - 2.5069) < 1e-3);
        QVERIFY(text.contains(QLatin1String("(read)\n")));
    }

    void reportLabels() {
        // every line the report promises, each with a bare number or its text
        const QString report = m_data.filePath("detail.txt");
        const HcmfsLibrary::Result r = m_lib.calculate(
            station("TX", "51N1200"), station("RX", "51N0918"), {}, {}, QFile::encodeName(report));
        QCOMPARE(r.error, 0);
        const QString text = readFile(report);
        const char* numbers[] = {"Time percentage p (%)",
                                 "Refractivity lapse rate DN (N-units/km)",
                                 "Sea-level refractivity N0 (N-units)",
                                 "Temperature T (deg C)",
                                 "Dry air pressure P (hPa)",
                                 "Frequency f (GHz)",
                                 "Great-circle distance d (km)",
                                 "Slant distance dfs (km)",
                                 "Path centre latitude (deg)",
                                 "Bearing at station 1 (deg)",
                                 "Bearing at station 2 (deg)",
                                 "Height above profile hts (m)",
                                 "Height above profile hrs (m)",
                                 "Profile intervals n",
                                 "Median effective earth radius ae (km)",
                                 "Effective earth radius a_beta (km)",
                                 "Horizon distance dlt (km)",
                                 "Horizon distance dlr (km)",
                                 "Elevation angle theta_t (mrad)",
                                 "Elevation angle theta_r (mrad)",
                                 "Path angular distance theta (mrad)",
                                 "Path elevation at station 1 (deg)",
                                 "Path elevation at station 2 (deg)",
                                 "Off-axis angle at station 1 (deg)",
                                 "Off-axis angle at station 2 (deg)",
                                 "Co-polar attenuation at station 1 (dB)",
                                 "Cross-polar attenuation at station 1 (dB)",
                                 "Co-polar attenuation at station 2 (dB)",
                                 "Cross-polar attenuation at station 2 (dB)",
                                 "Antenna pair attenuation (dB)",
                                 "Gain towards the path Gt (dBi)",
                                 "Gain towards the path Gr (dBi)",
                                 "Time percentage beta0 (%)",
                                 "Gaseous attenuation Ag (dB)",
                                 "Free space and gases Lbfsg (dB)",
                                 "Multipath and focusing Esp (dB)",
                                 "Line-of-sight loss Lb0p (dB)",
                                 "Line-of-sight loss at beta0 Lb0b (dB)",
                                 "Bullington loss at ae Lbull (dB)",
                                 "Spherical-earth loss at ae Ldsph (dB)",
                                 "Diffraction loss Ld50 (dB)",
                                 "Diffraction loss at a_beta Ldb (dB)",
                                 "Interpolation factor Fi",
                                 "Diffraction loss Ldp (dB)",
                                 "Troposcatter loss Lbs (dB)",
                                 "Ducting and layer reflection Lba (dB)",
                                 "Path angular factor Fj",
                                 "Path length factor Fk",
                                 "Minimum loss Lminb0p (dB)",
                                 "Minimum loss Lminbap (dB)",
                                 "Diffraction and ducting Lbda (dB)",
                                 "Modified loss Lbam (dB)",
                                 "Basic transmission loss Lb (dB)"};
        for (const char* label : numbers)
            QVERIFY2(std::isfinite(reportValue(text, QLatin1String(label))), label);
        QCOMPARE(reportValue(text, "Time percentage p (%)"), 20.0); // no file: the defaults
        QVERIFY(text.contains(QRegularExpression(
            "\n  Propagation model: +ITU-R P.452-18, smooth earth at sea level, no clutter\n")));
        QVERIFY(text.contains(QLatin1String(" (not found: defaults)\n")));
        QVERIFY(text.contains(QRegularExpression("\n  Path type: +line of sight\n")));
        QVERIFY(text.contains(
            QRegularExpression("  Side of the axis at station 2: +(anti)?clockwise\n")));
        QVERIFY(std::fabs(reportValue(text, "Basic transmission loss Lb (dB)") - r.aTotal) < 1e-3);
    }

    void frequencyRange_data() {
        QTest::addColumn<QString>("mhz");
        QTest::addColumn<int>("code");
        QTest::newRow("100 MHz") << "100" << 0;
        QTest::newRow("50 GHz") << "50000" << 0;
        QTest::newRow("99.999 MHz") << "99.999" << 13;
        QTest::newRow("50000.001 MHz") << "50000.001" << 13;
        QTest::newRow("60 GHz") << "60000" << 13;
    }
    void frequencyRange() {
        QFETCH(QString, mhz);
        QFETCH(int, code);
        const QString report = m_data.filePath("detail.txt");
        for (const QByteArray& file : {QByteArray(), QFile::encodeName(report)}) {
            const HcmfsLibrary::Result r = m_lib.calculate(station("TX", "51N1200", mhz),
                                                           station("RX", "51N0918"), {}, {}, file);
            QCOMPARE(r.error, code);
            if (code == 0)
                continue;
            for (double v : {r.overlappingArea, double(r.nfd), double(r.md), double(r.interference),
                             double(r.aTotal), double(r.td)})
                QCOMPARE(v, -2222.0);
        }
        if (code != 0) {
            const QString text = readFile(report);
            QVERIFY(text.contains(QLatin1String("13 Frequency outside 0.1-50 GHz (ITU-R P.452)")));
            QVERIFY(text.contains(QLatin1String("station 1: 1A = ")));
            QVERIFY(text.contains(QLatin1String("Time percentage p (%)")));
        }
    }

    void configurationFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<double>("p"); // 0: code 14 expected
        QTest::addColumn<QString>("problem");
        QTest::newRow("example") << QByteArray("; Tarnwell\n[model]\np_percent = 1\ndelta_n   = "
                                               "42.53126\nn0        = 326.678815\n")
                                 << 1.0 << "";
        QTest::newRow("BOM, CRLF, tabs, # comment")
            << QByteArray("\xEF\xBB\xBF# c\r\n\t p_percent\t=\t2.5 \r\n[General]\r\n") << 2.5 << "";
        QTest::newRow("no final line end, exponent, sign")
            << QByteArray("p_percent=+5e-1") << 0.5 << "";
        QTest::newRow("lower bound")
            << QByteArray("p_percent = 0.001\ndelta_n = 0\n") << 0.001 << "";
        QTest::newRow("empty file") << QByteArray() << 20.0 << "";
        QTest::newRow("above the range") << QByteArray("\n\np_percent = 60\n") << 0.0
                                         << "line 3: p_percent = 60 outside 0.001-50";
        QTest::newRow("below the range") << QByteArray("n0 = 199.9") << 0.0 << "outside 200-500";
        QTest::newRow("unknown key")
            << QByteArray("pressure = 1000") << 0.0 << "line 1: unknown key pressure";
        QTest::newRow("upper-case key") << QByteArray("P_PERCENT = 1") << 0.0 << "unknown key";
        QTest::newRow("given twice")
            << QByteArray("n0 = 300\nn0 = 300\n") << 0.0 << "line 2: n0 given twice";
        QTest::newRow("no =") << QByteArray("p_percent 5") << 0.0 << "line 1: no";
        QTest::newRow("hexadecimal") << QByteArray("p_percent = 0x10") << 0.0 << "not a decimal";
        QTest::newRow("inf") << QByteArray("temperature_c = inf") << 0.0 << "not a decimal";
        QTest::newRow("nan") << QByteArray("temperature_c = nan") << 0.0 << "not a decimal";
        QTest::newRow("empty value") << QByteArray("delta_n =") << 0.0 << "not a decimal";
        QTest::newRow("inline comment")
            << QByteArray("delta_n = 40 ; map") << 0.0 << "not a decimal";
        QTest::newRow("two points") << QByteArray("delta_n = 4.0.1") << 0.0 << "not a decimal";
        QTest::newRow("exponent without digits")
            << QByteArray("delta_n = 4e") << 0.0 << "not a decimal";
        QTest::newRow("comma") << QByteArray("pressure_hpa = 1013,25") << 0.0 << "not a decimal";
        QTest::newRow("too large") << QByteArray(65537, ';') << 0.0 << "larger than 65536";
    }
    void configurationFile() {
        QFETCH(QByteArray, ini);
        QFETCH(double, p);
        QFETCH(QString, problem);
        const QString report = m_data.filePath("detail.txt");
        const QByteArray t = station("TX", "51N1200"), r = station("RX", "51N0918");
        const HcmfsLibrary::Result plain = withConfig(ini, t, r);
        const HcmfsLibrary::Result detailed = withConfig(ini, t, r, QFile::encodeName(report));
        QCOMPARE(plain.error, p > 0 ? 0 : 14);
        QCOMPARE(detailed.error, plain.error);
        QCOMPARE(detailed.aTotal, plain.aTotal);
        const QString text = readFile(report);
        if (p > 0) {
            QCOMPARE(reportValue(text, "Time percentage p (%)"), p);
        } else {
            QVERIFY(text.contains(QLatin1String("14 Model configuration file invalid")));
            QVERIFY2(text.contains("Problem:                                   hcmfs-model.ini " +
                                   problem) ||
                         text.contains(problem),
                     qPrintable(text.left(600)));
            QVERIFY(text.contains(QLatin1String(" (invalid)\n")));
        }
    }

    void configurationNotAFile() {
        QVERIFY(QDir(m_data.path()).mkdir(ModelConfig::FileName));
        const HcmfsLibrary::Result r =
            m_lib.calculate(station("TX", "51N1200"), station("RX", "51N0918"));
        QDir(m_data.path()).rmdir(ModelConfig::FileName);
        QCOMPARE(r.error, 14);
        QCOMPARE(r.aTotal, -2222.0f);
    }

    void configurationLookup() {
        // no data path: the program's data folder after XDG_DATA_HOME, else HOME
        const QByteArray xdg = qgetenv("XDG_DATA_HOME"), home = qgetenv("HOME");
        qputenv("XDG_DATA_HOME", "/xdg");
        QCOMPARE(ModelConfig::filePath(""), std::string("/xdg/tarnwell/hcmfs-model.ini"));
        qputenv("XDG_DATA_HOME", "relative");
        qputenv("HOME", "/home/u");
        QCOMPARE(ModelConfig::filePath(""),
                 std::string("/home/u/.local/share/tarnwell/hcmfs-model.ini"));
        qunsetenv("XDG_DATA_HOME");
        qputenv("HOME", "");
        QCOMPARE(ModelConfig::filePath(""), std::string());
        QCOMPARE(ModelConfig::load("").state, ModelConfig::State::NoFolder);
        if (xdg.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", xdg);
        qputenv("HOME", home);
        QCOMPARE(ModelConfig::filePath("/data/"), std::string("/data/hcmfs-model.ini"));
        QCOMPARE(ModelConfig::filePath("/data"), std::string("/data/hcmfs-model.ini"));
    }

    void cacheSeesAChangedFile() {
        // the same thread, no report: every call compares the file with what was read
        const QByteArray t = station("TX", "51N1200"), r = station("RX", "51N0918");
        const HcmfsLibrary::Result p50 = withConfig("p_percent = 50\n", t, r);
        const HcmfsLibrary::Result p1 = withConfig("p_percent = 1.0\n", t, r);
        QCOMPARE(p50.error, 0);
        QCOMPARE(p1.error, 0);
        QVERIFY(p1.aTotal < p50.aTotal - 0.5);
        QCOMPARE(withConfig("p_percent = 1.0\n", t, r, QFile::encodeName(m_data.filePath("d.txt")))
                     .aTotal,
                 p1.aTotal);
        QCOMPARE(withConfig("p_percent = 500\n", t, r).error, 14);
        QFile::remove(m_data.filePath(ModelConfig::FileName));
        const HcmfsLibrary::Result defaults = m_lib.calculate(t, r);
        QCOMPARE(defaults.error, 0);
        QVERIFY(defaults.aTotal < p50.aTotal && defaults.aTotal > p1.aTotal);

        // an unchanged file is not read again
        StationCache& cache = StationCache::local();
        const std::string folder = m_data.path().toStdString();
        writeFile(m_data.filePath(ModelConfig::FileName), "n0 = 300\n");
        cache.config(folder);
        const auto reads = cache.configReads();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(cache.config(folder).parameters.n0, 300.0);
        QCOMPARE(cache.configReads(), reads);
    }

    void repeaterHopsAreDirectHops() {
        // TX -> PRX -> PTX -> RX; each hop's Lb is that of a direct chain between the same
        // two places with the same data, and A_Total adds both and the four feeder losses
        const std::string folder = m_data.path().toStdString();
        const auto prxAt = StationLine::destination(16.37, 48.2, 60, 40);
        const auto rxAt = StationLine::destination(prxAt.first, prxAt.second, 150, 250);
        const auto side = [&](const QString& type) {
            return StationLine(type)
                .at(prxAt.first, prxAt.second)
                .set("1A", type.startsWith('P') ? "" : "18725")
                .set("1A1", type.startsWith('P') ? "" : "M")
                .set("8B", type == "TX" ? "-3" : "")
                .set("9H", type == "RX" ? "-130" : "")
                .set("9D", "H")
                .set("9L", "1.5")
                .set("9A", "150")
                .line();
        };
        const QByteArray tx = StationLine("TX").at(16.37, 48.2).set("9A", "60").line();
        const QByteArray rx = StationLine("RX").at(rxAt.first, rxAt.second).set("9A", "330").line();
        const ChainResult chain =
            InterferenceChain::calculate(tx.toStdString(), side("PRX").toStdString(),
                                         side("PTX").toStdString(), rx.toStdString(), folder);
        QCOMPARE(chain.error, 0);
        const ChainResult first = InterferenceChain::calculate(
            tx.toStdString(), side("RX").toStdString(), "", "", folder);
        const ChainResult second = InterferenceChain::calculate(side("TX").toStdString(),
                                                                rx.toStdString(), "", "", folder);
        QCOMPARE(first.error, 0);
        QCOMPARE(second.error, 0);
        QCOMPARE(chain.hops[0].basicLossDb, first.hops[0].basicLossDb);
        QCOMPARE(chain.hops[1].basicLossDb, second.hops[0].basicLossDb);
        QVERIFY(chain.hops[1].loss.transHorizon); // 250 km: beyond the horizon
        QVERIFY(chain.hops[1].model.horizontal);  // the PTX's polarisation
        QCOMPARE(chain.totalAttenuationDb,
                 chain.hops[0].basicLossDb + chain.hops[1].basicLossDb + 2 + 1.5 + 1.5 + 2);
    }
};

TARNWELL_TEST(TestCalcP452)
#include "tst_calcp452.moc"
