#include "testregistry.h"

#include "hcmcoordinates.h"

#include <QTest>
#include <cmath>

// The two readings of a 4C half: the lenient one of the calculation pre-conditions and the
// strict one of the calculation library, on the same texts.
class TestCoordinates : public QObject {
    Q_OBJECT

private slots:
    void readings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("degreeDigits");
        QTest::addColumn<double>("lenient"); // NAN: no value
        QTest::addColumn<double>("strict");
        const double none = std::nan("");
        QTest::newRow("east") << QByteArray("016E3015") << 3 << 16.50416667 << 16.50416667;
        QTest::newRow("west, lower case") << QByteArray("016w3000") << 3 << -16.5 << -16.5;
        QTest::newRow("south") << QByteArray("48S1230") << 2 << -48.20833333 << -48.20833333;
        QTest::newRow("minutes of 60") << QByteArray("016E6000") << 3 << 17.0 << none;
        QTest::newRow("letter X") << QByteArray("016X3000") << 3 << 16.5 << none;
        QTest::newRow("blank in degrees") << QByteArray(" 16E3000") << 3 << 16.5 << none;
        QTest::newRow("longitude 181") << QByteArray("181E0000") << 3 << 181.0 << none;
        QTest::newRow("too short") << QByteArray("016E30") << 3 << none << none;
        QTest::newRow("letters in seconds") << QByteArray("48N12AB") << 2 << none << none;
        QTest::newRow("empty") << QByteArray() << 2 << none << none;
    }
    void readings() {
        QFETCH(QByteArray, text);
        QFETCH(int, degreeDigits);
        QFETCH(double, lenient);
        QFETCH(double, strict);
        const std::string_view view(text.constData(), size_t(text.size()));
        const char negative = degreeDigits == 3 ? 'W' : 'S';
        const char positive = degreeDigits == 3 ? 'E' : 'N';
        const int max = degreeDigits == 3 ? 180 : 90;
        double value = 0;
        QCOMPARE(HCMCoordinates::readLenient(view, size_t(degreeDigits), negative, value),
                 !std::isnan(lenient));
        if (!std::isnan(lenient))
            QVERIFY(std::fabs(value - lenient) < 1e-7);
        QCOMPARE(
            HCMCoordinates::readStrict(view, size_t(degreeDigits), positive, negative, max, value),
            !std::isnan(strict));
        if (!std::isnan(strict))
            QVERIFY(std::fabs(value - strict) < 1e-7);
    }
};

TARNWELL_TEST(TestCoordinates)
#include "tst_coordinates.moc"
