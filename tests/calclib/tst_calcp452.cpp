// The ITU-R P.452 propagation model: the model function against the ITU validation examples
// on flat land, the path angles and wrapped patterns, and the model seen through HCMFS_V2 with
// its configuration file, frequency range, cache and repeater hops.
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
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

// the validation paths: length, intervals, centre latitude, ΔN and N0 the ITU maps gave
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
    in.parameters = {p, path.deltaN, path.n0, 15, 1013};
    in.distanceKm = path.d;
    in.intervals = path.n;
    in.htsM = in.hrsM = 10;
    in.centreLatitudeDeg = path.latitude;
    in.gainTxDbi = 20;
    in.gainRxDbi = 5;
    return in;
}

// the 5 km chain: TX at 0 E 51 N 12', RX 5 km south, 10 m masts at sea level, no feeder loss
QByteArray station(const QString& type, const QString& latitude, const QString& mhz = "2000") {
    return StationLine(type)
        .set("4C", "000E0000" + latitude)
        .set("4Z", "0")
        .set("9Y", "10")
        .set("9D", "V")
        .set("9L", "")
        .set("1A", mhz)
        .line();
}

double reportValue(const QString& report, const QString& label) {
    const QRegularExpression re("^  " + QRegularExpression::escape(label) + ":\\s+(-?[0-9.]+)",
                                QRegularExpression::MultilineOption);
    const auto m = re.match(report);
    return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

} // namespace

class TestCalcP452 : public QObject {
    Q_OBJECT

    HcmfsLibrary m_lib;
    QTemporaryDir m_data; // the data folder, with the configuration file a test writes
    const QByteArray m_tx = station("TX", "51N1200"), m_rx = station("RX", "51N0918");

    QString report() const { return m_data.filePath("detail.txt"); }
    // the chain with `ini` as the configuration file, without and with a report: both the same.
    // The file is replaced by a new one (QSaveFile), so that a change shows in the inode even
    // within the resolution of the file times.
    HcmfsLibrary::Result withConfig(const QByteArray& ini, const QByteArray& tx) {
        QSaveFile f(m_data.filePath(ModelConfig::FileName));
        if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size() || !f.commit())
            return {};
        const HcmfsLibrary::Result plain = m_lib.calculate(tx, m_rx);
        const HcmfsLibrary::Result r =
            m_lib.calculate(tx, m_rx, {}, {}, QFile::encodeName(report()));
        return plain.error == r.error && plain.aTotal == r.aTotal ? r : HcmfsLibrary::Result();
    }

private slots:
    void initTestCase() {
        QVERIFY2(m_lib.isLoaded(), qPrintable(m_lib.errorString()));
        m_lib.setDataPath(QFile::encodeName(m_data.path()));
    }
    void cleanup() { QFile::remove(m_data.filePath(ModelConfig::FileName)); }

    void validationExamples_data() {
        QTest::addColumn<int>("path");
        QTest::addColumn<QList<double>>("row"); // f, p, then Lb, Lbfsg, Lb0p, Ldp, Lbs, Lba
        const QList<double> rows[3][12] = {
            {{0.1, 50, 106.40, 86.38, 86.38, 20.02, 125.95, 192.21},
             {0.25, 50, 107.04, 94.34, 94.34, 12.70, 138.09, 184.48},
             {1, 50, 108.16, 106.41, 106.41, 1.75, 154.98, 179.64},
             {2, 50, 112.43, 112.43, 112.43, 0.00, 162.74, 185.66},
             {10, 50, 126.45, 126.45, 126.45, 0.00, 179.01, 199.68},
             {30, 50, 136.39, 136.39, 136.39, 0.00, 188.89, 209.62},
             {50, 50, 142.30, 142.30, 142.30, 0.00, 194.34, 215.53},
             {2, 20, 111.94, 112.43, 112.03, 0.00, 157.44, 142.87},
             {2, 10, 111.68, 112.43, 111.72, 0.00, 154.88, 127.46},
             {2, 1, 110.70, 112.43, 110.70, 0.00, 148.10, 111.46},
             {2, 0.1, 109.67, 112.43, 109.67, 0.00, 142.50, 108.48},
             {2, 0.01, 108.65, 112.43, 108.65, 0.00, 137.51, 107.05}},
            {{0.1, 50, 156.84, 112.42, 112.42, 67.30, 156.84, 240.60},
             {0.25, 50, 169.07, 120.47, 120.47, 70.37, 169.07, 233.56},
             {1, 50, 186.36, 132.94, 132.94, 85.59, 186.36, 230.49},
             {2, 50, 194.25, 139.11, 139.11, 99.61, 194.25, 237.62},
             {10, 50, 210.86, 153.82, 153.82, 154.17, 210.86, 255.61},
             {30, 50, 224.35, 171.32, 171.32, 215.55, 224.35, 276.62},
             {50, 50, 255.13, 205.21, 205.21, 253.50, 255.13, 312.63},
             {2, 20, 188.95, 139.11, 138.15, 84.96, 188.95, 204.88},
             {2, 10, 185.12, 139.11, 137.43, 77.30, 186.39, 186.90},
             {2, 1, 152.50, 139.11, 135.02, 60.27, 179.61, 152.49},
             {2, 0.1, 138.24, 139.11, 132.62, 60.27, 174.01, 137.96},
             {2, 0.01, 132.53, 139.11, 130.21, 60.27, 169.02, 131.27}},
            {{0.1, 50, 235.38, 132.60, 132.60, 434.87, 235.38, 295.54},
             {0.25, 50, 248.42, 141.46, 141.46, 573.01, 248.42, 296.78},
             {1, 50, 269.57, 157.84, 157.84, 889.58, 269.57, 314.26},
             {2, 50, 278.69, 165.34, 165.34, 1115.25, 278.69, 334.41},
             {10, 50, 298.55, 186.59, 186.59, 1898.12, 298.55, 399.21},
             {30, 50, 346.19, 275.74, 275.74, 2735.23, 346.19, 534.73},
             {50, 50, 616.97, 574.65, 574.65, 3242.78, 616.97, 861.71},
             {2, 20, 273.39, 165.34, 164.38, 930.86, 273.39, 327.46},
             {2, 10, 270.83, 165.34, 163.66, 834.39, 270.83, 322.41},
             {2, 1, 264.05, 165.34, 161.25, 661.06, 264.05, 306.78},
             {2, 0.1, 258.45, 165.34, 158.84, 661.06, 258.45, 292.72},
             {2, 0.01, 253.45, 165.34, 156.43, 661.06, 253.45, 279.99}}};
        for (int path = 0; path < 3; ++path)
            for (const QList<double>& row : rows[path])
                QTest::addRow("%g km, %g GHz, %g %%", Paths[path].d, row[0], row[1]) << path << row;
    }
    void validationExamples() {
        QFETCH(int, path);
        QFETCH(QList<double>, row);
        const P452Model::Result r =
            P452Model::calculate(validationInput(Paths[path], row[0], row[1]));
        const double got[6] = {r.lbDb, r.lbfsgDb, r.lb0pDb, r.ldpDb, r.lbsDb, r.lbaDb};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(std::fabs(got[i] - row[i + 2]) <= 0.0051,
                     qPrintable(QStringLiteral("loss %1: %2").arg(i).arg(got[i], 0, 'f', 4)));
    }

    void validationIntermediates() {
        // ae, β0, θt (= θr), θ, dlt, dlr and the path type of each validation path
        const double values[3][6] = {{8738.167, 6.950436, -0.286101, 0, 2.5, 2.5},
                                     {8735.512, 1.192048, -1.513319, 8.420888, 13, 13},
                                     {8778.764, 1.911738, -1.509653, 110.891948, 13, 13}};
        const double tolerance[6] = {1e-3, 1e-5, 1e-6, 1e-6, 1e-9, 1e-9};
        for (int path = 0; path < 3; ++path) {
            const P452Model::Result r = P452Model::calculate(validationInput(Paths[path], 2, 20));
            const double got[6] = {r.aeKm,      r.beta0Percent, r.thetaTMrad,
                                   r.thetaMrad, r.dltKm,        r.dlrKm};
            for (int i = 0; i < 6; ++i)
                QVERIFY2(std::fabs(got[i] - values[path][i]) <= tolerance[i],
                         qPrintable(QStringLiteral("path %1, value %2").arg(path).arg(i)));
            QCOMPARE(r.thetaRMrad, r.thetaTMrad);
            QCOMPARE(r.transHorizon, path > 0);
        }
    }

    void libraryDefaults() {
        // p = 20, ΔN = 45, N0 = 325 and the library's own 1000 intervals on the 100 km path
        P452Model::Input in = validationInput(Paths[1], 2, 20);
        in.parameters = P452Model::Parameters();
        in.intervals = P452Model::profileIntervals(100);
        const P452Model::Result r = P452Model::calculate(in);
        QCOMPARE(in.intervals, 1000);
        QVERIFY(std::fabs(r.aeKm - 8930.777) < 1e-3 && std::fabs(r.dltKm - 13.4) < 1e-9);
        QVERIFY(std::fabs(r.thetaMrad - 8.2043) < 1e-4);
        const double got[6] = {r.lbfsgDb, r.lb0pDb, r.ldpDb, r.lbsDb, r.lbaDb, r.lbDb};
        const double expected[6] = {139.11, 138.15, 84.04, 189.05, 205.02, 189.05};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(std::fabs(got[i] - expected[i]) <= 0.0051,
                     qPrintable(QString::number(got[i])));
    }

    void lossNeverRisesAsTimeFalls() {
        // Lb falls or stays as p falls; Lminb0p has no step where its two forms meet at β0
        P452Model::Input in = validationInput(Paths[1], 2, 50);
        in.intervals = P452Model::profileIntervals(in.distanceKm);
        double previous = HUGE_VAL;
        for (double p = 50; p >= 0.001; p /= 1.05) {
            in.parameters.timePercent = p;
            const double lb = P452Model::calculate(in).lbDb;
            QVERIFY2(lb <= previous + 1e-9, qPrintable(QString::number(p)));
            previous = lb;
        }
        const double beta0 = P452Model::calculate(in).beta0Percent;
        in.parameters.timePercent = beta0 * (1 + 1e-9);
        const double above = P452Model::calculate(in).lminb0pDb;
        in.parameters.timePercent = beta0 * (1 - 1e-9);
        QVERIFY(std::fabs(P452Model::calculate(in).lminb0pDb - above) < 1e-4);
    }

    void steepHop() {
        // 1 km and 1000 m up: atan angles, not the slope, and free space over the slant path
        const double ae = P452Model::medianEarthRadiusKm(45);
        const P452Model::PathAngles a = P452Model::pathAngles(1, 100, 10, 1010, ae);
        QVERIFY(!a.transHorizon);
        QVERIFY(std::fabs(a.thetaTMrad - 785.370) < 1e-3);
        QVERIFY(std::fabs(a.thetaTMrad * 0.18 / M_PI - 44.9984) < 1e-4);
        QVERIFY(std::fabs(a.thetaRMrad * 0.18 / M_PI + 45.0016) < 1e-4);
        P452Model::Input in = validationInput(Paths[0], 10, 20);
        in.distanceKm = 1;
        in.hrsM = 1010;
        const P452Model::Result r = P452Model::calculate(in);
        QVERIFY(std::fabs(r.dfsKm - 1.414214) < 1e-6);
        QVERIFY(std::fabs(r.lbfsgDb - r.agDb - (92.4 + 20) - 3.0103) < 1e-3);
        QVERIFY(std::isfinite(r.lbDb));
    }

    void wrappedPatterns_data() {
        QTest::addColumn<QList<double>>("points"); // angle, attenuation, ...
        QTest::addColumn<double>("offAxis");
        QTest::addColumn<bool>("anticlockwise");
        QTest::addColumn<double>("expected");
        const QList<double> full = {0, 0, 180, 30, 355, 10}, late = {5, 2, 180, 30, 355, 10};
        QTest::newRow("between 355 and 360") << full << 2.5 << true << 5.0;
        QTest::newRow("clockwise, inside") << full << 90.0 << false << 15.0;
        QTest::newRow("before the first point") << late << 0.0 << false << 6.0;
        QTest::newRow("before the first, anticlockwise") << late << 2.5 << true << 8.0;
        QTest::newRow("360 as given") << QList<double>{0, 0, 180, 30, 360, 4} << 0.0 << true << 4.0;
        QTest::newRow("symmetric, beyond") << QList<double>{2, 1, 90, 30} << 120.0 << true << 30.0;
        QTest::newRow("symmetric, before") << QList<double>{2, 1, 90, 30} << 0.0 << false << 1.0;
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
        const HcmfsLibrary::Result r = withConfig(ini, station("TX", "51N1200", mhz));
        QCOMPARE(r.error, 0);
        QVERIFY2(std::fabs(r.aTotal - aTotal) < 0.0015, qPrintable(QString::number(r.aTotal)));
        const QString text = readFile(report());
        QVERIFY(std::fabs(reportValue(text, "Great-circle distance d (km)") - 5.0038) < 1e-4);
        QCOMPARE(reportValue(text, "Profile intervals n"), 501.0);
        QVERIFY(std::fabs(reportValue(text, "Horizon distance dlt (km)") - 2.5069) < 1e-3);
        QVERIFY(std::fabs(reportValue(text, "Basic transmission loss Lb (dB)") - r.aTotal) < 1e-3);
        QVERIFY(text.contains(QLatin1String("(read)\n")));
    }

    void reportLabels() {
        // every line the report promises, each with a bare number, or its text
        QCOMPARE(m_lib.calculate(m_tx, m_rx, {}, {}, QFile::encodeName(report())).error, 0);
        const QString text = readFile(report());
        const QString numbers =
            "Time percentage p (%)|Refractivity lapse rate DN (N-units/km)|Sea-level refractivity "
            "N0 (N-units)|Temperature T (deg C)|Dry air pressure P (hPa)|Frequency f (GHz)|"
            "Great-circle distance d (km)|Slant distance dfs (km)|Path centre latitude (deg)|"
            "Bearing at station 1 (deg)|Bearing at station 2 (deg)|Height above profile hts (m)|"
            "Height above profile hrs (m)|Profile intervals n|Median effective earth radius ae "
            "(km)|Effective earth radius a_beta (km)|Horizon distance dlt (km)|Horizon distance "
            "dlr (km)|Elevation angle theta_t (mrad)|Elevation angle theta_r (mrad)|Path angular "
            "distance theta (mrad)|Path elevation at station 1 (deg)|Path elevation at station 2 "
            "(deg)|Off-axis angle at station 1 (deg)|Off-axis angle at station 2 (deg)|Co-polar "
            "attenuation at station 1 (dB)|Cross-polar attenuation at station 1 (dB)|Co-polar "
            "attenuation at station 2 (dB)|Cross-polar attenuation at station 2 (dB)|Antenna "
            "pair attenuation (dB)|Gain towards the path Gt (dBi)|Gain towards the path Gr "
            "(dBi)|Time percentage beta0 (%)|Gaseous attenuation Ag (dB)|Free space and gases "
            "Lbfsg (dB)|Multipath and focusing Esp (dB)|Line-of-sight loss Lb0p (dB)|"
            "Line-of-sight loss at beta0 Lb0b (dB)|Bullington loss at ae Lbull (dB)|"
            "Spherical-earth loss at ae Ldsph (dB)|Diffraction loss Ld50 (dB)|Diffraction loss "
            "at a_beta Ldb (dB)|Interpolation factor Fi|Diffraction loss Ldp (dB)|Troposcatter "
            "loss Lbs (dB)|Ducting and layer reflection Lba (dB)|Path angular factor Fj|Path "
            "length factor Fk|Minimum loss Lminb0p (dB)|Minimum loss Lminbap (dB)|Diffraction "
            "and ducting Lbda (dB)|Modified loss Lbam (dB)|Basic transmission loss Lb (dB)";
        for (const QString& label : numbers.split('|'))
            QVERIFY2(std::isfinite(reportValue(text, label)), qPrintable(label));
        QCOMPARE(reportValue(text, "Time percentage p (%)"), 20.0); // no file: the defaults
        for (const char* line :
             {"\n  Propagation model: +ITU-R P.452-18, smooth earth at sea level, no clutter\n",
              "\n  Configuration file: +/.*/hcmfs-model.ini \\(not found: defaults\\)\n",
              "\n  Path type: +line of sight\n",
              "\n  Side of the axis at station 2: +(anti)?clockwise\n"})
            QVERIFY2(text.contains(QRegularExpression(line)), line);
    }

    void frequencyRange_data() {
        QTest::addColumn<QString>("mhz");
        QTest::addColumn<int>("code");
        QTest::newRow("100 MHz") << "100" << 0;
        QTest::newRow("50 GHz") << "50000" << 0;
        QTest::newRow("99.999 MHz") << "99.999" << 13;
        QTest::newRow("50000.001 MHz") << "50000.001" << 13;
    }
    void frequencyRange() {
        QFETCH(QString, mhz);
        QFETCH(int, code);
        const HcmfsLibrary::Result r = withConfig("", station("TX", "51N1200", mhz));
        QCOMPARE(r.error, code);
        for (double v : {r.overlappingArea, double(r.nfd), double(r.md), double(r.interference),
                         double(r.aTotal), double(r.td)})
            QVERIFY(code == 0 ? v != -2222.0 : v == -2222.0);
        const QString text = readFile(report());
        QCOMPARE(text.contains("13 Frequency outside 0.1-50 GHz (ITU-R P.452)"), code == 13);
        QCOMPARE(text.contains("station 1: 1A = " + mhz), code == 13);
        QVERIFY(text.contains(QLatin1String("Time percentage p (%)")));
    }

    void configurationFile_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<double>("p"); // 0: code 14 with this problem
        QTest::addColumn<QString>("problem");
        QTest::newRow("example") << QByteArray("; Tarnwell\n[model]\np_percent = 1\ndelta_n   = "
                                               "42.53126\nn0        = 326.678815\n")
                                 << 1.0 << "";
        QTest::newRow("BOM, CRLF, tabs, #")
            << QByteArray("\xEF\xBB\xBF# c\r\n\t p_percent\t=\t2.5 \r\n[General]\r\n") << 2.5 << "";
        QTest::newRow("no line end, sign, exponent") << QByteArray("p_percent=+5e-1") << 0.5 << "";
        QTest::newRow("bounds") << QByteArray("p_percent = 0.001\ndelta_n = 100") << 0.001 << "";
        QTest::newRow("empty file") << QByteArray() << 20.0 << "";
        QTest::newRow("above the range") << QByteArray("\n\np_percent = 60\n") << 0.0
                                         << "line 3: p_percent = 60 outside 0.001-50";
        QTest::newRow("below the range") << QByteArray("n0 = 199.9") << 0.0 << "outside 200-500";
        QTest::newRow("unknown key") << QByteArray("pressure = 1") << 0.0 << "unknown key pressure";
        QTest::newRow("upper case") << QByteArray("P_PERCENT = 1") << 0.0 << "unknown key";
        QTest::newRow("twice") << QByteArray("n0 = 300\nn0 = 300\n") << 0.0
                               << "line 2: n0 given twice";
        QTest::newRow("no =") << QByteArray("p_percent 5") << 0.0 << "line 1: no \"=\"";
        const char* notNumbers[] = {"0x10", "inf", "nan", "", "40 ; map", "4.0.1", "4e", "1013,25"};
        for (const char* v : notNumbers)
            QTest::addRow("value \"%s\"", v)
                << QByteArray("temperature_c = ") + v << 0.0 << "is not a decimal number";
        QTest::newRow("too large") << QByteArray(65537, ';') << 0.0 << "larger than 65536 bytes";
    }
    void configurationFile() {
        QFETCH(QByteArray, ini);
        QFETCH(double, p);
        QFETCH(QString, problem);
        const HcmfsLibrary::Result r = withConfig(ini, m_tx);
        QCOMPARE(r.error, p > 0 ? 0 : 14);
        const QString text = readFile(report());
        if (p > 0)
            QCOMPARE(reportValue(text, "Time percentage p (%)"), p);
        else
            QVERIFY2(text.contains("14 Model configuration file invalid") &&
                         text.contains(QRegularExpression("Problem: +hcmfs-model.ini .*" +
                                                          QRegularExpression::escape(problem))) &&
                         text.contains(" (invalid)\n"),
                     qPrintable(text.left(700)));
    }

    void configurationLookup() {
        // the data path names the folder; without one the program's data folder applies
        QVERIFY(QDir(m_data.path()).mkdir(ModelConfig::FileName)); // not a regular file
        QCOMPARE(m_lib.calculate(m_tx, m_rx).error, 14);
        QDir(m_data.path()).rmdir(ModelConfig::FileName);
        QCOMPARE(ModelConfig::filePath("/data/"), std::string("/data/hcmfs-model.ini"));
        const QByteArray xdg = qgetenv("XDG_DATA_HOME"), home = qgetenv("HOME");
        qputenv("XDG_DATA_HOME", "/xdg");
        QCOMPARE(ModelConfig::filePath(""), std::string("/xdg/tarnwell/hcmfs-model.ini"));
        qputenv("XDG_DATA_HOME", "relative");
        qputenv("HOME", "/home/u");
        QCOMPARE(ModelConfig::filePath(""),
                 std::string("/home/u/.local/share/tarnwell/hcmfs-model.ini"));
        qputenv("HOME", "");
        QCOMPARE(ModelConfig::load(ModelConfig::filePath("")).state, ModelConfig::State::NoFolder);
        xdg.isNull() ? void(qunsetenv("XDG_DATA_HOME")) : void(qputenv("XDG_DATA_HOME", xdg));
        qputenv("HOME", home);
    }

    void cacheSeesAChangedFile() {
        // the same thread without a report compares the file with what it read on every call
        const float p50 = withConfig("p_percent = 50\n", m_tx).aTotal;
        const float p1 = withConfig("p_percent = 1.0\n", m_tx).aTotal; // same size, new value
        QVERIFY(p1 < p50 - 0.5);
        QCOMPARE(withConfig("p_percent = 500\n", m_tx).error, 14);
        QFile::remove(m_data.filePath(ModelConfig::FileName));
        const float defaults = m_lib.calculate(m_tx, m_rx).aTotal;
        QVERIFY(defaults < p50 && defaults > p1);
        // an unchanged file is not read again
        StationCache& cache = StationCache::local();
        const std::string folder = m_data.path().toStdString();
        cache.config(folder);
        const auto reads = cache.configReads();
        QCOMPARE(cache.config(folder).state, ModelConfig::State::Absent);
        QCOMPARE(cache.configReads(), reads);
    }

    void repeaterHopsAreDirectHops() {
        // each hop's Lb is that of a direct chain between the same two places with the same
        // data; A_Total adds both and the four feeder losses
        const std::string folder = m_data.path().toStdString();
        const auto rep = StationLine::destination(16.37, 48.2, 60, 40);
        const auto victim = StationLine::destination(rep.first, rep.second, 150, 250);
        const auto side = [&](const QString& type) {
            const bool repeater = type.startsWith('P');
            return StationLine(type)
                .at(rep.first, rep.second)
                .set("1A", repeater ? "" : "18725")
                .set("1A1", repeater ? "" : "M")
                .set("8B", type == "TX" ? "-3" : "")
                .set("9H", type == "RX" ? "-130" : "")
                .set("9D", "H")
                .set("9L", "1.5")
                .line()
                .toStdString();
        };
        const std::string tx = StationLine("TX").at(16.37, 48.2).line().toStdString();
        const std::string rx =
            StationLine("RX").at(victim.first, victim.second).line().toStdString();
        const ChainResult chain =
            InterferenceChain::calculate(tx, side("PRX"), side("PTX"), rx, folder);
        const ChainResult first = InterferenceChain::calculate(tx, side("RX"), "", "", folder);
        const ChainResult second = InterferenceChain::calculate(side("TX"), rx, "", "", folder);
        QCOMPARE(chain.error + first.error + second.error, 0);
        QCOMPARE(chain.hops[0].basicLossDb, first.hops[0].basicLossDb);
        QCOMPARE(chain.hops[1].basicLossDb, second.hops[0].basicLossDb);
        QVERIFY(chain.hops[1].loss.transHorizon && chain.hops[1].model.horizontal);
        QCOMPARE(chain.totalAttenuationDb,
                 chain.hops[0].basicLossDb + chain.hops[1].basicLossDb + 2 + 1.5 + 1.5 + 2);
    }
};

TARNWELL_TEST(TestCalcP452)
#include "tst_calcp452.moc"
