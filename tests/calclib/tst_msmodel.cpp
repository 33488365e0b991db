// The MS model called directly: the field strength formulas, antenna and frequency terms, and
// the reading of the record's texts.
#include "msinput.h"
#include "msmodel.h"
#include "testregistry.h"

#include <QTest>
#include <cmath>

class TestMsModel : public QObject {
    Q_OBJECT

private slots:
    void fieldStrength_data() {
        QTest::addColumn<double>("mhz");
        QTest::addColumn<double>("km");
        QTest::addColumn<double>("expected");
        // H1 = 30 m, H2 = 10 m: 13.82 log 30 = 20.414, 44.9 - 6.55 log 30 = 35.225;
        // 450 MHz: -6.16 log 450 = -16.344, a(10) = (1.1 log 450 - 0.7) 10 - (1.56 log 450 - 0.8)
        // = 18.846; 10 km: 69.82 - 16.344 + 20.414 + 18.846 - 35.225 = 57.511
        QTest::newRow("450 MHz, 10 km") << 450.0 << 10.0 << 57.511;
        // 50 km: b = 1 + (0.14 + 0.0842 + 0.0321) (log 2.5)^0.8 = 1.12256,
        // (log 50)^b = 1.69897^1.12256 = 1.81313; 73.097 - 35.225 * 1.81313 = 28.874
        QTest::newRow("450 MHz, 50 km") << 450.0 << 50.0 << 28.874;
        // 900 MHz: -6.16 log 900 = -18.198, a(10) = 21.688; 10 km: 93.724 - 35.225 = 58.499
        QTest::newRow("900 MHz, 10 km") << 900.0 << 10.0 << 58.499;
        // b = 1.16282, (log 50)^b = 1.85256; 93.724 - 35.225 * 1.85256 = 28.484
        QTest::newRow("900 MHz, 50 km") << 900.0 << 50.0 << 28.484;
        // below 150 MHz the formula is that of 150 MHz, above 1500 MHz that of 1500 MHz
        QTest::newRow("100 MHz as 150") << 100.0 << 10.0 << MsModel::hataField(150, 30, 10);
        QTest::newRow("3 GHz as 1500") << 3000.0 << 10.0 << MsModel::hataField(1500, 30, 10);
    }
    void fieldStrength() {
        QFETCH(double, mhz);
        QFETCH(double, km);
        QFETCH(double, expected);
        QVERIFY2(std::fabs(MsModel::hataField(mhz, 30, km) - expected) < 0.002,
                 qPrintable(QString::number(MsModel::hataField(mhz, 30, km))));
    }

    void freeSpaceAndItsLimit() {
        QCOMPARE(MsModel::freeSpaceField(1), 106.9);
        QVERIFY(std::fabs(MsModel::freeSpaceField(10) - 86.9) < 1e-12);
        // H1 = 1000 m at 1 km: Hata gives some 121 dBuV/m, above free space
        QVERIFY(MsModel::hataField(450, 1000, 1) > 110);
        QCOMPARE(MsModel::landField(450, 1000, 10, 1), 106.9);
    }

    void receiveHeightCorrection() {
        // (3.2 + 6.2 log 900) log 0.3 = 21.516 * -0.52288 = -11.250
        QVERIFY(std::fabs(MsModel::receiveHeightCorrection(900, 3) + 11.250) < 0.001);
        QCOMPARE(MsModel::receiveHeightCorrection(900, 10), 0.0);
        // 20 m: +21.516 log 2 = +6.477
        QVERIFY(std::fabs(MsModel::receiveHeightCorrection(900, 20) - 6.477) < 0.001);
    }

    void patterns_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("attenuation");
        QTest::addColumn<int>("polarisation");
        QTest::newRow("non-directional") << "000ND00" << 90.0 << 0.0 << 0;
        QTest::newRow("N first letter") << "060NV20" << 90.0 << 0.0 << int('V');
        QTest::newRow("half beamwidth: 3 dB") << "060DH20" << 30.0 << 3.0 << int('H');
        QTest::newRow("12 (45/60)^2 = 6.75") << "060DV20" << 45.0 << 6.75 << int('V');
        QTest::newRow("capped at AA") << "060DV20" << 90.0 << 20.0 << int('V');
        QTest::newRow("unreadable: non-directional") << "60DV20" << 90.0 << 0.0 << 0;
        QTest::newRow("empty") << "" << 90.0 << 0.0 << 0;
    }
    void patterns() {
        QFETCH(QString, code);
        QFETCH(double, angle);
        QFETCH(double, attenuation);
        QFETCH(int, polarisation);
        const QByteArray bytes = code.toLatin1();
        const MsInput::Pattern p = MsInput::readPattern({bytes.constData(), size_t(bytes.size())});
        QCOMPARE(MsModel::patternAttenuation(p, angle), attenuation);
        QCOMPARE(int(p.polarisation), polarisation);
    }

    void frequencyDifference_data() {
        QTest::addColumn<double>("df");
        QTest::addColumn<double>("expected");
        // both 16 kHz wide: 0 up to 16 kHz, then 60 dB per 16 kHz, at most 70 dB
        QTest::newRow("same channel") << 0.0 << 0.0;
        QTest::newRow("edge") << 16.0 << 0.0;
        QTest::newRow("25 kHz: 60 * 9/16") << 25.0 << -33.75;
        QTest::newRow("far: 70") << 100.0 << -70.0;
    }
    void frequencyDifference() {
        QFETCH(double, df);
        QFETCH(double, expected);
        QCOMPARE(MsModel::frequencyDifferenceCorrection(df, 16, 16), expected);
    }

    void recordTexts_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("mhz");
        QTest::newRow("zero padded") << QByteArray("0000450.125M") << true << 450.125;
        QTest::newRow("kHz, lower case") << QByteArray("00450125.00k") << true << 450.125;
        QTest::newRow("GHz") << QByteArray("00001.80000G") << true << 1800.0;
        QTest::newRow("ends at the zero byte") << QByteArray("450.125M\0"
                                                             "99G",
                                                             12)
                                               << true << 450.125;
        QTest::newRow("no unit") << QByteArray("000450.12500") << false << 0.0;
        QTest::newRow("unit X") << QByteArray("0000450.125X") << false << 0.0;
        QTest::newRow("zero") << QByteArray("00000000000M") << false << 0.0;
    }
    void recordTexts() {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(double, mhz);
        const std::string_view field =
            MsInput::field({text.constData(), size_t(text.size())}, 1, int(text.size()));
        double value = 0;
        QCOMPARE(MsInput::readFrequency(field, &value), ok);
        QCOMPARE(value, mhz);
    }

    void positionsOfBothLengths() {
        GeoPoint p;
        QVERIFY(MsInput::readPosition("015E300047N3000", &p));
        QCOMPARE(p.longitude, 15.5);
        QCOMPARE(p.latitude, 47.5);
        // a longitude of 7 characters: the latitude follows at once
        QVERIFY(MsInput::readPosition("15W300047S1500", &p));
        QCOMPARE(p.longitude, -15.5);
        QCOMPARE(p.latitude, -47.25);
        QVERIFY(!MsInput::readPosition("015E306047N3000", &p)); // 60 seconds
        QVERIFY(!MsInput::readPosition("181E000047N3000", &p));
        QVERIFY(!MsInput::readPosition("015E3000", &p));
    }

    void bandwidths() {
        double khz = 0;
        QVERIFY(MsInput::readBandwidth("16K0F3E", &khz));
        QCOMPARE(khz, 16.0);
        QVERIFY(MsInput::readBandwidth("5M00G7W", &khz));
        QCOMPARE(khz, 5000.0);
        QVERIFY(MsInput::readBandwidth("200KGXW", &khz));
        QCOMPARE(khz, 200.0);
        QVERIFY(!MsInput::readBandwidth("F3E", &khz));
        QVERIFY(!MsInput::readBandwidth("16X0F3E", &khz));
    }
};

TARNWELL_TEST(TestMsModel)
#include "tst_msmodel.moc"
