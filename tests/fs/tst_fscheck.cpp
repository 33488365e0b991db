#include "hcmfileheader.h"
#include "hcmrecord.h"
#include "syntaxcheck.h"
#include "syntaxreport.h"
#include "testregistry.h"

#include <QHash>
#include <QList>
#include <QTest>
#include <climits>
#include <string>
#include <vector>

// The FS syntax checker: every field rule with its order of precedence and option gates, the
// pattern rules, the complete code lists of records and headers, the message table and the
// report items. Rows are (field values, option bits) -> expected code(s).

namespace {

constexpr int kNone = 0;
constexpr int kCalc = SyntaxOption::CalcOnly;
constexpr int kFmt = SyntaxOption::NumberFormat;
constexpr int kVal = SyntaxOption::ValueWarnings;
constexpr int kChr = SyntaxOption::CharWarnings;
constexpr int kDef = SyntaxOption::Defaults; // format, values and characters
constexpr int kAll = SyntaxOption::All;

std::string str(const QString& s) {
    return s.toStdString();
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QList<int> toList(const std::vector<int>& v) {
    return QList<int>(v.begin(), v.end());
}

// Field names as used in the tables: the field codes, with 4C split into LON and LAT.
HCMRecord::Field fieldId(const QString& name) {
    static const QHash<QString, HCMRecord::Field> ids = [] {
        QHash<QString, HCMRecord::Field> h;
        for (int f = 0; f < HCMRecord::FieldCount; ++f)
            h.insert(QString::fromLatin1(HCMRecord::fieldCode(HCMRecord::Field(f))),
                     HCMRecord::Field(f));
        h.insert(QStringLiteral("LON"), HCMRecord::FLongitude);
        h.insert(QStringLiteral("LAT"), HCMRecord::FLatitude);
        return h;
    }();
    const auto it = ids.constFind(name);
    if (it == ids.constEnd())
        qFatal("unknown field %s", qPrintable(name));
    return *it;
}

// "FIELD=value" sets a field; "CO=code" / "CR=code" set a pattern code; "CO+=a,b" / "CR+=a,b"
// append a point; "CO-" / "CR-" remove all points.
void apply(HCMRecord& r, const QStringList& setup) {
    for (const QString& item : setup) {
        const int eq = item.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? item : item.left(eq);
        const QString value = eq < 0 ? QString() : item.mid(eq + 1);
        RadiationPattern* p = key.startsWith(QLatin1String("CO"))   ? &r.antenna().coPolar()
                              : key.startsWith(QLatin1String("CR")) ? &r.antenna().crossPolar()
                                                                    : nullptr;
        if (!p) {
            r.setText(fieldId(key), str(value));
        } else if (key.endsWith(QLatin1Char('+'))) {
            const int comma = value.indexOf(QLatin1Char(','));
            p->appendPoint(str(value.left(comma)), str(value.mid(comma + 1)));
        } else if (key.endsWith(QLatin1Char('-'))) {
            p->clear();
        } else {
            p->setCode(str(value));
        }
    }
}

// A transmitting station with every field valid under every option.
void fillClean(HCMRecord& r) {
    apply(r, {"0A=TX",        "1A=18725",     "1A1=M",        "1Z=4",
              "6A=FX",        "6B=CO",        "6Z=HH",        "2C=01012020",
              "4A=HILLTOP 1", "4B=D",         "LON=016E3015", "LAT=54N2030",
              "4Z=350",       "7A=28M0G7W",   "7H=ACME",      "7I=LINK-18 (STM1)",
              "7K=155M",      "7GF1=0",       "7GA1=0",       "7GF2=10",
              "7GA2=10",      "7GF3=20",      "7GA3=25",      "7GF4=30",
              "7GA4=40",      "7GF5=40",      "7GA5=45",      "7GF6=50",
              "7GA6=50",      "7G1=4H",       "7G3=27.5",     "8B=-10.5",
              "8B3=10",       "9A=123.4",     "9B=-2.5",      "9D=V",
              "9H=-140",      "9L=2.5",       "9Y=30",        "13Z=NO REMARKS",
              "13Y=A",        "2W=15032019",  "2Z=01062019",  "13X=DEU-FS-00-2019001234",
              "9XM=ANDREW",   "9XT=VHLP2-18", "9XFL=17.7",    "9XFU=19.7",
              "9X1=38.5",     "CO=CP",        "CO+=0,0",      "CO+=5,10",
              "CO+=180,45.5", "CR=XP",        "CR+=0,25",     "CR+=180,50"});
}

void fieldColumns() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<int>("expected");
}

// long values are shown by their start and length
QString shortTag(const QString& value) {
    return value.size() <= 24 ? value : value.left(16) + QStringLiteral("..(%1)").arg(value.size());
}

void row(const char* field, const QString& value, int flags, int expected,
         const QStringList& setup = {}) {
    QTest::addRow("%s '%s' 0x%02x %s", field, qPrintable(shortTag(value)), flags,
                  qPrintable(setup.join(QLatin1Char(' '))))
        << QString::fromLatin1(field) << value << flags << setup << expected;
}

QString repeat(char c, int n) {
    return QString(n, QLatin1Char(c));
}

} // namespace

class TestFsCheck : public QObject {
    Q_OBJECT

    // Sets one field of the clean record (after the row's setup) and checks that field alone.
    void runField() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, flags);
        QFETCH(QStringList, setup);
        QFETCH(int, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMRecord r(&word);
        fillClean(r);
        apply(r, setup);
        r.setText(fieldId(field), str(value));
        QCOMPARE(r.checkField(fieldId(field)), expected);
    }

private slots:
    // --- helpers ---------------------------------------------------------------------------

    void readReal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12.5" << true << 12.5;
        QTest::newRow("blanks around") << " \t12.5\r\n" << true << 12.5;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("plus sign") << "+7" << true << 7.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("hex like strtod") << "0x10" << true << 16.0;
        QTest::newRow("longer than 64") << repeat('0', 70) + "1.5" << true << 1.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << " \t\r\n" << false << 0.0;
        QTest::newRow("trailing garbage") << "12.5x" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("inner blank") << "12 5" << false << 0.0;
        QTest::newRow("overflow") << "1e400" << false << 0.0;
        QTest::newRow("long with garbage") << repeat('1', 70) + "x" << false << 0.0;
    }
    void readReal() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double v = -999;
        QCOMPARE(SyntaxCheck::readReal(str(text), &v), ok);
        if (ok)
            QCOMPARE(v, value);
        QCOMPARE(SyntaxCheck::readReal(str(text)), ok); // no value pointer needed
    }

    void readInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("plain") << "42" << true << 42LL;
        QTest::newRow("blanks around") << " 42\t" << true << 42LL;
        QTest::newRow("leading zeros") << "007" << true << 7LL;
        QTest::newRow("signed -80") << "-80" << true << -80LL;
        QTest::newRow("plus") << "+5" << true << 5LL;
        QTest::newRow("beyond 32 bits") << "4294967296" << true << 4294967296LL;
        QTest::newRow("out of range") << "18446744073709551616" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
        QTest::newRow("sign only") << "-" << false << 0LL;
        QTest::newRow("blank after sign") << "- 5" << false << 0LL;
        QTest::newRow("fraction") << "4.0" << false << 0LL;
        QTest::newRow("exponent") << "1e3" << false << 0LL;
        QTest::newRow("hex") << "0x10" << false << 0LL;
        QTest::newRow("trailing letter") << "12a" << false << 0LL;
        QTest::newRow("inner blank") << "1 2" << false << 0LL;
    }
    void readInteger() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, value);
        long long v = -999;
        QCOMPARE(SyntaxCheck::readInteger(str(text), &v), ok);
        if (ok)
            QCOMPARE(qlonglong(v), value);
    }

    void checkNumberFormat_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxInt");
        QTest::addColumn<int>("maxFrac");
        QTest::addColumn<bool>("sign");
        QTest::addColumn<bool>("ok");
        QTest::newRow("5+5 full") << "12345.12345" << 5 << 5 << false << true;
        QTest::newRow("6 integer digits") << "123456" << 5 << 5 << false << false;
        QTest::newRow("6 fraction digits") << "1.123456" << 5 << 5 << false << false;
        QTest::newRow("6 before point") << "123456.1" << 5 << 5 << false << false;
        QTest::newRow("sign not allowed") << "+1.5" << 3 << 1 << false << false;
        QTest::newRow("minus not allowed") << "-1" << 3 << 1 << false << false;
        QTest::newRow("sign not counted") << "-123.4" << 3 << 1 << true << true;
        QTest::newRow("sign allowed, too long") << "-1234" << 3 << 1 << true << false;
        QTest::newRow("only counts") << "abc" << 3 << 0 << false << true;
        QTest::newRow("empty") << "" << 2 << 0 << false << true;
        QTest::newRow("point without fraction") << "12." << 2 << 0 << false << true;
        QTest::newRow("fraction not allowed") << "1.5" << 4 << 0 << false << false;
        QTest::newRow("leading point") << ".5" << 0 << 1 << false << true;
        QTest::newRow("(6,0) seven") << "1234567" << 6 << 0 << false << false;
    }
    void checkNumberFormat() {
        QFETCH(QString, text);
        QFETCH(int, maxInt);
        QFETCH(int, maxFrac);
        QFETCH(bool, sign);
        QFETCH(bool, ok);
        QCOMPARE(SyntaxCheck::checkNumberFormat(str(text), maxInt, maxFrac, sign), ok);
    }

    void checkDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("valid") << "01012020" << 0;
        QTest::newRow("limits") << "31122100" << 0;
        QTest::newRow("seven") << "0101202" << 1;
        QTest::newRow("nine") << "010120201" << 1;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("dots") << "01.01.20" << 2;
        QTest::newRow("letter") << "0101202x" << 2;
        QTest::newRow("inner minus") << "01-12020" << 2;
        QTest::newRow("infinity") << "infinity" << 2;
        QTest::newRow("nan with payload") << "nan(123)" << 2;
        QTest::newRow("overflowing exponent") << "1e999999" << 2;
        QTest::newRow("exponent, year not digits") << "0101e200" << 3;
        QTest::newRow("day 0") << "00012020" << 3;
        QTest::newRow("month 0") << "01002020" << 3;
        QTest::newRow("year 0") << "01010000" << 3;
        QTest::newRow("day 32") << "32012020" << 3;
        QTest::newRow("month 13") << "01132020" << 3;
        QTest::newRow("year 2101") << "01012101" << 3;
        QTest::newRow("negative day") << "-1012020" << 3;
    }
    void checkDate() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(SyntaxCheck::checkDate(str(text)), expected);
    }

    void isLegalText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("legal");
        QTest::addColumn<bool>("noSeparator");
        QTest::newRow("letters digits blank") << QByteArray("ABC xyz 09") << true << true;
        QTest::newRow("all signs") << QByteArray("+-/*.()= @") << true << true;
        QTest::newRow("empty") << QByteArray() << true << true;
        QTest::newRow("semicolon") << QByteArray("A;B") << false << false;
        QTest::newRow("bar") << QByteArray("A|B") << false << false;
        QTest::newRow("underscore") << QByteArray("A_B") << false << true;
        QTest::newRow("comma") << QByteArray("A,B") << false << true;
        QTest::newRow("tab") << QByteArray("A\tB") << false << true;
        QTest::newRow("hash") << QByteArray("#") << false << true;
        QTest::newRow("8-bit") << QByteArray("\xc4") << false << true;
        QTest::newRow("NUL") << QByteArray("A\0B", 3) << false << true;
    }
    void isLegalText() {
        QFETCH(QByteArray, text);
        QFETCH(bool, legal);
        QFETCH(bool, noSeparator);
        const std::string_view v(text.constData(), size_t(text.size()));
        QCOMPARE(SyntaxCheck::isLegalText(v), legal);
        QCOMPARE(SyntaxCheck::hasNoSeparator(v), noSeparator);
    }

    // --- record fields -----------------------------------------------------------------------

    void entryAndFrequency_data() {
        fieldColumns();
        row("0A", "", kDef, 23);
        row("0A", "XX", kNone, 23);
        row("0A", "T X", kDef, 23);
        row("0A", "tx", kAll, 0); // decoded after upper-casing, no letter-case code
        row("0A", "prx", kAll, 0);
        row("1A1", "", kDef, 27);
        row("1A1", "", kDef, 27, {"0A=RX"});
        row("1A1", "", kDef, 27, {"0A=XX"});
        row("1A1", "", kDef, 0, {"0A=PTX"});
        row("1A1", "", kDef, 0, {"0A=PRX"});
        row("1A1", "MHz", kDef, 28);
        row("1A1", "X", kNone, 28);
        row("1A1", "m", kAll, 0);
        row("1A1", "k", kAll, 0, {"1A=18725000"});
        // 1A: empty, not a number, format, limits, band gaps
        row("1A", "", kDef, 24);
        row("1A", "", kDef, 24, {"0A=RX"});
        row("1A", "", kDef, 24, {"0A=XX"});
        row("1A", "", kDef, 0, {"0A=PTX"});
        row("1A", "", kDef, 0, {"0A=PRX"});
        row("1A", "abc", kNone, 25);
        row("1A", "nan", kDef, 25);
        row("1A", "inf", kDef, 25);
        row("1A", "1e999", kDef, 25);
        row("1A", "123456", kFmt, 1024);
        row("1A", "123456", kFmt | kVal, 1024); // format before the value
        row("1A", "123456", kVal, 1003);
        row("1A", "18725.123456", kFmt, 1024);
        row("1A", "+18725", kFmt, 1024);
        row("1A", "+18725", kVal, 0);
        row("1A", "1420", kVal, 1004);
        row("1A", "1420", kNone, 0);
        row("1A", "1420", kFmt | kChr | kCalc, 0);
        row("1A", "1427", kVal, 0);
        row("1A", "44000", kVal, 1003);
        row("1A", "44000", kNone, 0);
        row("1A", "43500", kVal, 0);
        row("1A", "43501", kVal, 1003);
        row("1A", "1350", kVal, 0);
        row("1A", "1349", kVal, 1003);
        row("1A", "-5", kVal, 1003);
        row("1A", "1.42", kVal, 1004, {"1A1=G"});
        row("1A", "1.427", kVal, 0, {"1A1=G"});
        row("1A", "1420000", kVal, 1004, {"1A1=K"});
        row("1A", "1427000", kVal, 0, {"1A1=K"});
        row("1A", "18725000", kVal, 0, {"1A1=K"});
        row("1A", "18725000", kFmt, 1024, {"1A1=K"});
        row("1A", "18725", kVal, 1003, {"1A1=X"}); // unknown unit: no frequency
        row("1A", "18725", kDef, 0, {"1A1=m"});
    }
    void entryAndFrequency() { runField(); }

    // Every open band gap: just inside both ends gives 1004, the ends themselves nothing.
    void frequencyGaps_data() {
        fieldColumns();
        const int gaps[][2] = {{1400, 1427},   {1452, 1492},   {1515, 2025},   {2110, 2200},
                               {2290, 2520},   {2670, 3410},   {4200, 5925},   {7975, 8025},
                               {8500, 10150},  {10650, 10700}, {11700, 12750}, {13250, 14500},
                               {14620, 15230}, {15350, 17700}, {19700, 22000}, {22600, 23000},
                               {23600, 24500}, {26500, 27500}, {29500, 31800}, {33400, 37000},
                               {39500, 40500}};
        for (const auto& g : gaps) {
            row("1A", QString::number(g[0]), kVal, 0);
            row("1A", QString::number(g[0] + 1), kVal, 1004);
            row("1A", QString::number(g[1] - 1), kVal, 1004);
            row("1A", QString::number(g[1]), kVal, 0);
            row("1A", QString::number(g[1] / 1000.0), kVal, 0, {"1A1=G"});
        }
    }
    void frequencyGaps() { runField(); }

    // Fields that may stay empty in planned stations, 8B only for RX, 9H only for TX.
    void plannedEmpties_data() {
        fieldColumns();
        const char* fields[] = {"1A", "1A1", "1Z", "7A", "7G3", "8B", "9H"};
        const int codes[] = {24, 27, 29, 51, 104, 107, 121};
        const char* entries[] = {"TX", "RX", "PTX", "PRX", "ptx"};
        for (const char* e : entries) {
            const QString entry = QString::fromLatin1(e);
            const bool planned = entry.toUpper().startsWith(QLatin1Char('P'));
            for (int i = 0; i < 7; ++i) {
                int expected = planned ? 0 : codes[i];
                if (i == 5)
                    expected = entry == QLatin1String("TX") ? 107 : 0;
                if (i == 6)
                    expected = entry == QLatin1String("RX") ? 121 : 0;
                row(fields[i], QString(), kDef, expected, {"0A=" + entry});
            }
        }
    }
    void plannedEmpties() { runField(); }

    void stationClass_data() {
        fieldColumns();
        row("1Z", "1", kDef, 0);
        row("1Z", "8", kDef, 0);
        row("1Z", "0", kDef, 30);
        row("1Z", "9", kNone, 30);
        row("1Z", "01", kDef, 30);
        row("1Z", "1.0", kDef, 30);
        row("6A", "", kDef, 0);
        row("6A", "fx", kChr, 1005);
        row("6A", "Fx", kAll & ~kCalc, 1005);
        row("6A", "fx", kFmt | kVal, 0);
        row("6A", "FB", kNone, 31);
        row("6A", "fb", kChr, 31);
        for (const char* s : {"CO", "CP", "CR", "CV", "OT"})
            row("6B", QString::fromLatin1(s), kDef, 0);
        row("6B", "", kDef, 0);
        row("6B", "cp", kChr, 1021);
        row("6B", "cp", kFmt | kVal, 0);
        row("6B", "CX", kNone, 32);
        row("6B", "C", kDef, 32);
        for (const char* s : {"A", "H", "HH", "I", "K", "Z"})
            row("6Z", QString::fromLatin1(s), kDef, 0);
        row("6Z", "", kDef, 0);
        row("6Z", "hh", kChr, 1022);
        row("6Z", "Hh", kChr, 1022);
        row("6Z", "h", kFmt, 0);
        row("6Z", "J", kNone, 33);
        row("6Z", "AA", kDef, 33);
        row("6Z", "j", kChr, 33);
        row("13Y", "", kNone, 131);
        for (const char* s : {"A", "H", "M", "P", "R", "W", "Y", "Z"})
            row("13Y", QString::fromLatin1(s), kDef, 0);
        row("13Y", "a", kChr, 1028);
        row("13Y", "a", kNone, 0);
        row("13Y", "I", kDef, 131);
        row("13Y", "N", kDef, 131);
        row("13Y", "AB", kDef, 131);
    }
    void stationClass() { runField(); }

    void dates_data() {
        fieldColumns();
        struct D {
            const char* field;
            int length, number, value;
        };
        for (const D& d :
             {D{"2C", 34, 35, 1006}, D{"2W", 132, 133, 1017}, D{"2Z", 134, 135, 1018}}) {
            row(d.field, "", kDef, 0);
            row(d.field, "01012020", kDef, 0);
            row(d.field, "0101202", kNone, d.length);
            row(d.field, "0101202x", kNone, d.number);
            row(d.field, "infinity", kDef, d.number);
            row(d.field, "32012020", kVal, d.value);
            row(d.field, "32012020", kFmt | kChr, 0);
            row(d.field, "-1012020", kVal, d.value);
        }
    }
    void dates() { runField(); }

    // Free texts: length limits, illegal characters and the ';' / '|' checks.
    void texts_data() {
        fieldColumns();
        row("4A", "", kNone, 1007); // a warning without any gate
        row("4A", repeat('A', 40), kDef, 0);
        row("4A", repeat('A', 41), kNone, 36);
        row("4A", "A;B", kDef, 166);
        row("4A", "A|B", kChr, 166);
        row("4A", "A;B", kNone, 0);
        row("4A", repeat('A', 40) + "|", kDef, 166); // separator before length
        row("4A", "HÖHE #1", kAll & ~kCalc, 0);
        row("4B", "", kNone, 37);
        row("4B", "DEU", kDef, 0);
        row("4B", "DEUT", kNone, 38);
        row("4B", "D#", kChr, 1009);
        row("4B", "D;", kChr, 1009);
        row("4B", "D#", kFmt | kVal, 0);
        row("4B", "D#XY", kChr, 38);
        row("7H", "", kNone, 53);
        row("7H", repeat('A', 20), kDef, 0);
        row("7H", repeat('A', 21), kNone, 54);
        row("7H", "A;B", kDef, 167);
        row("7H", "A;B", kNone, 0);
        row("7H", repeat('A', 20) + ";", kDef, 54); // length before separator
        row("7H", "A#B", kDef, 0);
        row("7I", "", kNone, 55);
        row("7I", repeat('A', 21), kNone, 56);
        row("7I", "A|B", kVal, 168);
        row("7I", "A|B", kNone, 0);
        row("7K", "", kDef, 0);
        row("7K", repeat('1', 10), kDef, 0);
        row("7K", repeat('1', 11), kNone, 57);
        row("7K", "155M#", kChr, 1014);
        row("7K", "155M#", kFmt | kVal, 0);
        row("7K", repeat('#', 11), kChr, 57);
        row("13Z", "", kDef, 0);
        row("13Z", repeat('A', 50), kDef, 0);
        row("13Z", repeat('A', 51), kNone, 130);
        row("13Z", "A;B", kFmt, 169);
        row("13Z", "A;B", kNone, 0);
        row("13Z", repeat('A', 50) + ";", kDef, 130); // length before separator
        row("9XM", "", kNone, 9);
        row("9XM", repeat('A', 21), kNone, 10);
        row("9XM", "A;B", kChr, 170);
        row("9XM", "A;B", kNone, 0);
        row("9XT", "", kNone, 13);
        row("9XT", repeat('A', 21), kNone, 14);
        row("9XT", "A|B", kFmt, 171);
        row("7A", "", kDef, 51);
        row("7A", "", kDef, 0, {"0A=PRX"});
        row("7A", "28M0G7", kDef, 52);
        row("7A", "28M0G7WAB", kDef, 0);
        row("7A", "28M0G7WABC", kNone, 52);
        row("7A", "28M0G7#", kChr, 1011);
        row("7A", "28M0G7#", kFmt | kVal, 0);
        row("13X", "", kNone, 136);
        row("13X", repeat('1', 19), kDef, 136);
        row("13X", repeat('1', 21), kDef, 136);
        row("13X", "DEU-FS-00-201912345X", kNone, 137);
        row("13X", "DEU-FS-00-201912345X", kDef, 137);
        row("13X", "DEU-FS-00-2019-12345", kDef, 137); // a negative number is no reference
        row("13X", "DEU-FS-00-2019#01234", kChr, 1019);
        row("13X", "DEU-FS-00-2019#01234", kFmt | kVal, 137);
        row("13X", "DEU#FS-00-2019001234", kChr, 1019);
        row("13X", "DEU#FS-00-2019001234", kFmt | kVal, 0);
    }
    void texts() { runField(); }

    void coordinates_data() {
        fieldColumns();
        row("LON", "016E3015", kAll, 0);
        row("LON", "016e3015", kAll, 0); // hemisphere compared after upper-casing
        row("LON", "016W3015", kDef, 0);
        row("LON", "360E5959", kDef, 0);
        row("LON", "", kNone, 39);
        row("LON", "16E3015", kNone, 40);
        row("LON", "016E30150", kNone, 40);
        row("LON", "016X3015", kNone, 41);
        row("LON", "016X6015", kNone, 41); // hemisphere before minutes
        row("LON", "361E3015", kNone, 41);
        row("LON", "0A6E3015", kNone, 41);
        row("LON", "-16E3015", kNone, 41);
        row("LON", "016Ex015", kNone, 41);
        row("LON", "016E-115", kNone, 41);
        row("LON", "016E6015", kNone, 42);
        row("LON", "016E6060", kNone, 42); // minutes before seconds
        row("LON", "016E30x5", kNone, 41);
        row("LON", "016E30-1", kNone, 41);
        row("LON", "016E3060", kNone, 43);
        row("LON", "016E\t015", kChr, 1020);
        row("LON", "016E\t015", kFmt | kVal, 0);
        row("LAT", "54N2030", kAll, 0);
        row("LAT", "54n2030", kAll, 0);
        row("LAT", "54S2030", kDef, 0);
        row("LAT", "90N5959", kDef, 0);
        row("LAT", "", kNone, 44);
        row("LAT", "54N20", kNone, 45);
        row("LAT", "54N20300", kNone, 45);
        row("LAT", "54E2030", kNone, 45);
        row("LAT", "91N2030", kNone, 45);
        row("LAT", "-1N2030", kNone, 45);
        row("LAT", "5xN2030", kNone, 45);
        row("LAT", "54N-130", kNone, 45);
        row("LAT", "54N6030", kNone, 46);
        row("LAT", "54N6060", kNone, 46);
        row("LAT", "54N20-1", kNone, 45);
        row("LAT", "54N2060", kNone, 47);
        row("LAT", "54N\t030", kChr, 1020);
        row("LAT", "54N\t030", kFmt | kVal, 0);
    }
    void coordinates() { runField(); }

    void integers_data() {
        fieldColumns();
        row("4Z", "", kNone, 48);
        row("4Z", "abc", kNone, 50);
        row("4Z", "nan", kDef, 50);
        row("4Z", "12.5", kNone, 50);
        row("4Z", "12.5", kFmt, 1029);
        row("4Z", "abcde", kFmt, 1029); // format before the integer test
        row("4Z", "12345", kFmt, 1029);
        row("4Z", "-1000", kFmt, 1029);
        row("4Z", "1000", kFmt, 0);
        row("4Z", "+500", kFmt, 0);
        row("4Z", "-100", kDef, 0);
        row("4Z", "-101", kVal, 1010);
        row("4Z", "9000", kDef, 0);
        row("4Z", "9001", kVal, 1010);
        row("4Z", "9001", kFmt | kChr, 0);
        row("9H", "-80", kVal, 0);
        row("9H", "-79", kVal, 1015);
        row("9H", "-79", kFmt | kChr, 0);
        row("9H", "50", kVal, 1015);
        row("9H", "-140", kAll, 0);
        row("9H", "-1400", kFmt, 1034);
        row("9H", "-1400", kVal, 0);
        row("9H", "12.5", kFmt, 1034); // format before the integer test
        row("9H", "12.5", kNone, 123);
        row("9H", "abc", kFmt, 123);
        row("9H", "-8O", kVal, 123);
    }
    void integers() { runField(); }

    void numbers_data() {
        fieldColumns();
        for (const char* s : {"1", "2", "3", "4H", "4L", "5A", "5B", "6A", "6B", "4h", "6b"})
            row("7G1", QString::fromLatin1(s), kAll, 0);
        row("7G1", "", kDef, 0);
        row("7G1", "4", kNone, 100);
        row("7G1", "4X", kDef, 100);
        row("7G1", "7", kDef, 100);
        row("7G1", "4 H", kDef, 100);
        row("7G3", "abc", kNone, 105);
        row("7G3", "123.456", kFmt, 0);
        row("7G3", "1234", kFmt, 1035);
        row("7G3", "1.2345", kFmt, 1035);
        row("7G3", "-27.5", kFmt, 1035);
        row("7G3", "1234", kVal | kChr, 0);
        row("8B", "abc", kNone, 108);
        row("8B", "", kDef, 0, {"0A=PTX"});
        row("8B", "+123.4", kFmt, 0);
        row("8B", "1234", kFmt, 1030);
        row("8B", "10.55", kFmt, 1030);
        row("8B", "10.55", kVal | kChr, 0);
        row("8B3", "", kDef, 0);
        row("8B3", "abc", kNone, 110);
        row("8B3", "-1", kNone, 111);
        row("8B3", "-1", kFmt, 111); // negative before format
        row("8B3", "123", kFmt, 1031);
        row("8B3", "1.5", kFmt, 1031);
        row("8B3", "1.5", kVal, 0);
        row("9A", "", kNone, 112);
        row("9A", "abc", kNone, 113);
        row("9A", "inf", kNone, 113);
        row("9A", "0", kDef, 0);
        row("9A", "360", kDef, 0);
        row("9A", "360.5", kNone, 114);
        row("9A", "-0.1", kNone, 114);
        row("9A", "1234", kFmt, 114); // range before format
        row("9A", "12.25", kFmt, 1025);
        row("9A", "+12", kFmt, 1025);
        row("9A", "12.25", kVal, 0);
        row("9B", "", kNone, 116);
        row("9B", "x", kNone, 117);
        row("9B", "-90", kDef, 0);
        row("9B", "+5.5", kDef, 0);
        row("9B", "90.5", kNone, 118);
        row("9B", "-91", kNone, 118);
        row("9B", "-12.25", kFmt, 1026);
        row("9B", "-12.25", kVal, 0);
        row("9D", "", kNone, 120);
        row("9D", "X", kNone, 120);
        row("9D", "HV", kNone, 120);
        row("9D", "H", kAll, 0);
        row("9D", "h", kChr, 1023);
        row("9D", "v", kFmt | kVal, 0);
        row("9L", "", kDef, 0);
        row("9L", "x", kNone, 124);
        row("9L", "-0.5", kNone, 125);
        row("9L", "123", kFmt, 1027);
        row("9L", "2.55", kFmt, 1027);
        row("9L", "2.55", kVal, 0);
        row("9Y", "", kNone, 127);
        row("9Y", "-5", kNone, 128);
        row("9Y", "x", kNone, 128);
        row("9Y", "nan", kNone, 128);
        row("9Y", "1200", kVal, 1055);
        row("9Y", "1200", kFmt, 0);
        row("9Y", "1000", kVal, 0);
        row("9Y", "12345", kFmt, 1054);
        row("9Y", "12345", kFmt | kVal, 1054); // format before value
        row("9Y", "12.5", kFmt, 1054);
        row("9Y", "12.", kFmt, 0);
        row("9Y", "+30", kFmt, 0); // a sign is not a digit
        row("9Y", "12.5", kVal, 0);
        row("9XFL", "", kDef, 0);
        row("9XFL", "x", kNone, 16);
        row("9XFL", "123.5", kFmt, 1038);
        row("9XFL", "1.2345", kFmt, 1038);
        row("9XFL", "61", kVal, 1056);
        row("9XFL", "-1", kVal, 1056);
        row("9XFL", "-1", kFmt | kVal, 1038); // format before value
        row("9XFL", "60", kDef, 0);
        row("9XFU", "", kDef, 0);
        row("9XFU", "x", kNone, 18);
        row("9XFU", "123.5", kFmt, 1039);
        row("9XFU", "61", kVal, 1057);
        row("9XFU", "123", kFmt | kVal, 1039);
        row("9X1", "", kNone, 20);
        row("9X1", "x", kNone, 21);
        row("9X1", "-10", kVal, 0);
        row("9X1", "61", kVal, 1058);
        row("9X1", "-11", kVal, 1058);
        row("9X1", "-11", kFmt | kVal, 1058); // value before format
        row("9X1", "-1", kFmt, 1040);
        row("9X1", "12.25", kFmt, 1040);
        row("9X1", "12.25", kVal, 0);
    }
    void numbers() { runField(); }

    // 0x02 leaves out the fields not needed for calculations and nothing else.
    void calcOnly_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("skipped");
        const struct {
            const char* field;
            const char* value;
            int code;
            bool skipped;
        } rows[] = {
            {"1Z", "9", 30, true},
            {"6A", "FB", 31, true},
            {"6B", "XX", 32, true},
            {"6Z", "J", 33, true},
            {"2C", "1", 34, true},
            {"4A", "", 1007, true},
            {"7A", "", 51, true},
            {"13Y", "", 131, true},
            {"2W", "1", 132, true},
            {"2Z", "1", 134, true},
            {"13X", "", 136, true},
            {"9XM", "", 9, true},
            {"9XT", "", 13, true},
            {"9XFL", "x", 16, true},
            {"9XFU", "x", 18, true},
            {"0A", "XX", 23, false},
            {"1A", "", 24, false},
            {"1A1", "", 27, false},
            {"4B", "", 37, false},
            {"LON", "", 39, false},
            {"LAT", "", 44, false},
            {"4Z", "", 48, false},
            {"7H", "", 53, false},
            {"7I", "", 55, false},
            {"7K", "12345678901", 57, false},
            {"7GF1", "x", 58, false},
            {"7GA6", "x", 97, false},
            {"7G1", "9", 100, false},
            {"7G2", "x", 102, false},
            {"7G3", "", 104, false},
            {"8B", "", 107, false},
            {"8B3", "x", 110, false},
            {"9A", "", 112, false},
            {"9B", "", 116, false},
            {"9D", "", 120, false},
            {"9H", "x", 123, false},
            {"9L", "x", 124, false},
            {"9Y", "", 127, false},
            {"9X1", "", 20, false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.field) << QString::fromLatin1(r.field) << QString::fromLatin1(r.value)
                                   << r.code << r.skipped;
        QTest::newRow("13Z") << "13Z" << repeat('A', 51) << 130 << true;
    }
    void calcOnly() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, expected);
        QFETCH(bool, skipped);
        SyntaxFlags word = kDef;
        HCMRecord r(&word);
        fillClean(r);
        r.setText(fieldId(field), str(value));
        QCOMPARE(r.checkField(fieldId(field)), expected);
        word = kDef | kCalc;
        QCOMPARE(r.checkField(fieldId(field)), skipped ? 0 : expected);
        word = kCalc;
        QCOMPARE(r.checkField(fieldId(field)), skipped ? 0 : expected);
    }

    // The ';' and '|' codes need only a non-zero option word; the station name, remarks and
    // antenna texts are still skipped under 0x02.
    void separatorGate_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("skippable");
        QTest::newRow("4A") << "4A" << 166 << true;
        QTest::newRow("7H") << "7H" << 167 << false;
        QTest::newRow("7I") << "7I" << 168 << false;
        QTest::newRow("13Z") << "13Z" << 169 << true;
        QTest::newRow("9XM") << "9XM" << 170 << true;
        QTest::newRow("9XT") << "9XT" << 171 << true;
    }
    void separatorGate() {
        QFETCH(QString, field);
        QFETCH(int, code);
        QFETCH(bool, skippable);
        for (const char* text : {"A;B", "A|B", ";", "|"}) {
            SyntaxFlags word = 0;
            HCMRecord r(&word);
            fillClean(r);
            r.setText(fieldId(field), text);
            QCOMPARE(r.checkField(fieldId(field)), 0);
            for (const int bit : {kFmt, kVal, kChr}) {
                word = SyntaxFlags(bit);
                QCOMPARE(r.checkField(fieldId(field)), code);
            }
            word = kCalc;
            QCOMPARE(r.checkField(fieldId(field)), skippable ? 0 : code);
        }
        HCMRecord unbound; // no option word at all
        fillClean(unbound);
        unbound.setText(fieldId(field), "A;B");
        QCOMPARE(unbound.checkField(fieldId(field)), 0);
    }

    // --- masks -------------------------------------------------------------------------------

    // masks: F1, A1, F2, A2, ... F6, A6 -> the twelve codes in the same order
    void masks_data() {
        QTest::addColumn<QStringList>("masks");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QList<int>>("expected");
        const QStringList empty(12);
        auto with = [&](std::initializer_list<std::pair<int, const char*>> set) {
            QStringList m = empty;
            for (const auto& [i, v] : set)
                m[i] = QString::fromLatin1(v);
            return m;
        };
        const QStringList full = {"0",  "0",  "10", "10", "20", "25",
                                  "30", "40", "40", "45", "50", "50"};
        QTest::newRow("none") << empty << kDef << QList<int>(12, 0);
        QTest::newRow("full") << full << kAll << QList<int>(12, 0);
        QTest::newRow("only 7GF1") << with({{0, "10"}}) << kDef
                                   << QList<int>{0, 81, 61, 84, 64, 87, 67, 90, 70, 93, 73, 0};
        QTest::newRow("only 7GF1, no options")
            << with({{0, "10"}}) << kNone
            << QList<int>{0, 81, 61, 84, 64, 87, 67, 90, 70, 93, 73, 0};
        QTest::newRow("only 7GA6") << with({{11, "50"}}) << kDef
                                   << QList<int>{60, 81, 61, 84, 64, 87, 67, 90, 70, 93, 73, 0};
        QTest::newRow("only 7GF6") << with({{10, "50"}}) << kDef
                                   << QList<int>{60, 81, 61, 84, 64, 87, 67, 90, 70, 93, 0, 96};
        QTest::newRow("not numbers") << QStringList(12, QStringLiteral("x")) << kDef
                                     << QList<int>{58, 82, 62, 85, 65, 88, 68, 91, 71, 94, 74, 97};
        QTest::newRow("nan and inf")
            << QStringList{"nan", "inf", "nan", "inf", "nan", "inf",
                           "nan", "inf", "nan", "inf", "nan", "inf"}
            << kNone << QList<int>{58, 82, 62, 85, 65, 88, 68, 91, 71, 94, 74, 97};
        QStringList decreasing = full;
        for (int i = 0; i < 6; ++i)
            decreasing[2 * i] = QString::number(50 - 10 * i);
        QTest::newRow("decreasing")
            << decreasing << kNone << QList<int>{0, 0, 76, 0, 77, 0, 78, 0, 79, 0, 80, 0};
        QStringList twelveTen = full;
        twelveTen[0] = "12";
        twelveTen[2] = "10";
        QTest::newRow("7GF2 10 after 12")
            << twelveTen << kDef << QList<int>{0, 0, 76, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QStringList equal = full;
        for (int i = 0; i < 6; ++i)
            equal[2 * i] = "10";
        QTest::newRow("equal frequencies") << equal << kDef << QList<int>(12, 0);
        QStringList afterNaN = full;
        afterNaN[0] = "x";
        afterNaN[2] = "-5";
        QTest::newRow("previous not a number")
            << afterNaN << kNone << QList<int>{58, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QStringList wide = QStringList(12, QStringLiteral("12.55"));
        for (int i = 0; i < 6; ++i)
            wide[2 * i] = "123456";
        QTest::newRow("format") << wide << kFmt << QList<int>{1041, 1047, 1042, 1048, 1043, 1049,
                                                              1044, 1050, 1045, 1051, 1046, 1052};
        QTest::newRow("format off")
            << wide << kVal << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
        QStringList lastThree = full;
        lastThree[7] = "20";
        lastThree[9] = "30";
        lastThree[11] = "35";
        QTest::newRow("20 30 35 last")
            << lastThree << kNone << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
        QTest::newRow("20 30 35 then nothing")
            << with({{0, "0"}, {1, "20"}, {2, "10"}, {3, "30"}, {4, "20"}, {5, "35"}}) << kNone
            << QList<int>{0, 0, 0, 0, 0, 99, 67, 90, 70, 93, 73, 0};
        QStringList forty = full;
        forty[11] = "40";
        QTest::newRow("last 40") << forty << kDef << QList<int>(12, 0);
        forty[11] = "39.9";
        QTest::newRow("last 39.9")
            << forty << kNone << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
        forty[11] = "39.95";
        QTest::newRow("last 39.95, format")
            << forty << kFmt << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1052};
        forty[11] = "x";
        QTest::newRow("last not a number")
            << forty << kNone << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 97};
    }
    void masks() {
        QFETCH(QStringList, masks);
        QFETCH(int, flags);
        QFETCH(QList<int>, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMRecord r(&word);
        fillClean(r);
        for (int i = 1; i <= 6; ++i) {
            r.set7GF(i, str(masks.at(2 * i - 2)));
            r.set7GA(i, str(masks.at(2 * i - 1)));
        }
        QList<int> codes;
        for (int i = 1; i <= 6; ++i)
            codes << r.check7GF(i) << r.check7GA(i);
        QCOMPARE(codes, expected);
    }

    // --- radiation patterns ------------------------------------------------------------------

    void patterns_data() {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QList<int>>("expected"); // co-polar codes, then cross-polar codes
        const QStringList none = {"CO=", "CO-", "CR=", "CR-"};
        QTest::newRow("nothing") << none << kDef << QList<int>{};
        QTest::newRow("clean") << QStringList{} << kAll << QList<int>{};
        QTest::newRow("CP without points")
            << none + QStringList{"CO=CP"} << kDef << QList<int>{115, 8, 126};
        QTest::newRow("both codes, no points")
            << none + QStringList{"CO=CP", "CR=XP"} << kDef << QList<int>{115, 126};
        QTest::newRow("cross-polar only")
            << none + QStringList{"CR=XP", "CR+=0,25", "CR+=90,30"} << kDef << QList<int>{15, 115};
        QTest::newRow("cross-polar points only")
            << none + QStringList{"CR+=0,25"} << kDef << QList<int>{15, 115, 8};
        QTest::newRow("co-polar points only")
            << none + QStringList{"CO+=0,0"} << kDef << QList<int>{15, 8, 126};
        QTest::newRow("VV and HV") << QStringList{"CO=VV", "CR=HV"} << kAll << QList<int>{};
        QTest::newRow("HH and VH") << QStringList{"CO=HH", "CR=VH"} << kAll << QList<int>{};
        QTest::newRow("unknown codes")
            << QStringList{"CO=AB", "CR=CP"} << kNone << QList<int>{11, 12};
        QTest::newRow("swapped codes")
            << QStringList{"CO=XP", "CR=VV"} << kDef << QList<int>{11, 12};
        QTest::newRow("code as given") << QStringList{"CO= CP"} << kDef << QList<int>{11};
        QTest::newRow("lower case")
            << QStringList{"CO=cp", "CR=xP"} << kChr << QList<int>{1059, 1060};
        QTest::newRow("lower case, no char warnings")
            << QStringList{"CO=cp", "CR=xp"} << (kFmt | kVal) << QList<int>{};
        QTest::newRow("lower case without points")
            << none + QStringList{"CO=vv", "CR=vh", "CR+=0,25"} << kChr
            << QList<int>{115, 1059, 1060};
        QTest::newRow("never skipped")
            << none + QStringList{"CO=CP"} << kAll << QList<int>{115, 8, 126};
    }
    void patterns() {
        QFETCH(QStringList, setup);
        QFETCH(int, flags);
        QFETCH(QList<int>, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMRecord r(&word);
        fillClean(r);
        apply(r, setup);
        std::vector<int> codes;
        r.antenna().checkCoPolar(codes);
        r.antenna().checkCrossPolar(codes);
        QCOMPARE(toList(codes), expected);
    }

    void patternPoints_data() {
        QTest::addColumn<QString>("angle");
        QTest::addColumn<QString>("attenuation");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("angleCode");
        QTest::addColumn<int>("attenuationCode");
        auto add = [](const char* a, const char* b, int flags, int ca, int cb) {
            QTest::addRow("'%s' '%s' 0x%02x", a, b, flags)
                << QString::fromLatin1(a) << QString::fromLatin1(b) << flags << ca << cb;
        };
        add("0", "0", kAll, 0, 0);
        add("360", "99.5", kAll, 0, 0);
        add("", "", kNone, 1, 5);
        add("x", "x", kNone, 2, 6);
        add("nan", "inf", kDef, 2, 6);
        add("361", "-1", kNone, 3, 7);
        add("-0.5", "-0.5", kNone, 3, 7);
        add("1234", "-1", kFmt, 3, 7); // range before format
        add("12.25", "12.25", kFmt, 1036, 1037);
        add("+12", "123", kFmt, 1036, 1037);
        add("12.25", "123", kVal | kChr, 0, 0);
        add("12.25", "123", kCalc, 0, 0);
    }
    void patternPoints() {
        QFETCH(QString, angle);
        QFETCH(QString, attenuation);
        QFETCH(int, flags);
        QFETCH(int, angleCode);
        QFETCH(int, attenuationCode);
        SyntaxFlags word = SyntaxFlags(flags);
        const std::string angleText = str(angle), attenuationText = str(attenuation);
        PatternPoint p(&word, angleText, attenuationText);
        QCOMPARE(p.checkAngle(), angleCode);
        QCOMPARE(p.checkAttenuation(), attenuationCode);
        // the same through a pattern: angle then attenuation, each point once
        RadiationPattern pattern(false, &word);
        pattern.appendPoint(str(angle), str(attenuation));
        pattern.appendPoint("0", "0");
        pattern.appendPoint(str(angle), str(attenuation));
        std::vector<int> codes;
        pattern.checkPoints(codes);
        QList<int> expected;
        for (int i = 0; i < 2; ++i) {
            if (angleCode)
                expected << angleCode;
            if (attenuationCode)
                expected << attenuationCode;
        }
        QCOMPARE(toList(codes), expected);
    }

    // --- whole records -----------------------------------------------------------------------

    void checkRecord_data() {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("clean TX, defaults") << QStringList{} << kDef << QList<int>{};
        QTest::newRow("clean TX, all options") << QStringList{} << kAll << QList<int>{};
        QTest::newRow("clean TX, no options") << QStringList{} << kNone << QList<int>{};
        QTest::newRow("clean RX") << QStringList{"0A=rx"} << kDef << QList<int>{};
        QTest::newRow("NFD2 not in the list") << QStringList{"7G2=abc"} << kDef << QList<int>{};
        QTest::newRow("several faults")
            << QStringList{"1A=abc",  "4B=DEUT", "LAT=54N2060", "7GF3=5", "7G2=x",
                           "9A=400",  "9H=-50",  "9X1=",        "CO-",    "CO+=0,0",
                           "CO+=,10", "CR-",     "CR+=0,-3"}
            << kDef << QList<int>{25, 38, 47, 77, 114, 1015, 20, 1, 7};
        QTest::newRow("warnings between errors")
            << QStringList{"0A=XX", "6B=co", "9D=v", "9Y=1200", "CO=cp", "9XFU=99", "13Y=Q"} << kDef
            << QList<int>{23, 1021, 1023, 1055, 131, 1057, 1059};
        QTest::newRow("warnings need their options")
            << QStringList{"6B=co", "9D=v", "9Y=1200", "CO=cp", "9XFU=99", "9H=-50"} << kNone
            << QList<int>{};
        QTest::newRow("pattern order")
            << QStringList{"CO=", "CO-", "CO+=x,-1", "CR=hv", "CR-", "CR+=,", "CO+=0,0", "4Z=9999"}
            << kAll << QList<int>{1010, 15, 1060, 2, 7, 1, 5};
        QTest::newRow("masks in pairs")
            << QStringList{"7GF1=", "7GA1=", "7GF2=x", "7GA3=", "7GF6=1"} << kDef
            << QList<int>{60, 81, 62, 87, 80};
        QTest::newRow("planned with empties")
            << QStringList{"0A=PTX", "1A=", "1A1=", "1Z=", "7A=", "7G3=", "8B=", "9H="} << kDef
            << QList<int>{};
        QTest::newRow("TX with the same empties")
            << QStringList{"1A=", "1A1=", "1Z=", "7A=", "7G3=", "8B=", "9H="} << kDef
            << QList<int>{24, 27, 29, 51, 104, 107};
    }
    void checkRecord() {
        QFETCH(QStringList, setup);
        QFETCH(int, flags);
        QFETCH(QList<int>, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMRecord r(&word);
        fillClean(r);
        apply(r, setup);
        QCOMPARE(toList(r.checkRecord()), expected);
        std::vector<int> appended{-1}; // the second form appends to what is there
        r.checkRecord(appended);
        QCOMPARE(toList(appended), QList<int>{-1} + expected);
    }

    // An empty record (a blank line in a file) gives every "missing" code in report order.
    void checkEmptyRecord() {
        SyntaxFlags word = kDef;
        HCMRecord r(&word);
        QCOMPARE(toList(r.checkRecord()),
                 (QList<int>{23, 24,  27,  29,  1007, 37,  39,  44,  48, 51, 53,
                             55, 104, 112, 116, 120,  127, 131, 136, 9,  13, 20}));
        word = kDef | kCalc;
        QCOMPARE(toList(r.checkRecord()),
                 (QList<int>{23, 24, 27, 37, 39, 44, 48, 53, 55, 104, 112, 116, 120, 127, 20}));
    }

    void check7G2_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << "" << kAll << 0;
        QTest::newRow("valid") << "12.5" << kAll << 0;
        QTest::newRow("not a number") << "abc" << kNone << 102;
        QTest::newRow("nan") << "nan" << kDef << 102;
        QTest::newRow("three digits") << "123" << kFmt << 1033;
        QTest::newRow("three digits, no format") << "123" << (kVal | kChr) << 0;
        QTest::newRow("sign") << "-1" << kFmt << 1033;
        QTest::newRow("two decimals") << "1.25" << kFmt << 1033;
        QTest::newRow("not skipped") << "abc" << kAll << 102;
    }
    void check7G2() {
        QFETCH(QString, value);
        QFETCH(int, flags);
        QFETCH(int, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMRecord r(&word);
        fillClean(r);
        r.set7G2(str(value));
        QCOMPARE(r.check7G2(), expected);
        QVERIFY(r.checkRecord().empty());
    }

    // Checks read the option word through the pointer, so a change applies at once.
    void optionsReadThroughPointer() {
        SyntaxFlags word = kNone;
        HCMRecord r(&word);
        fillClean(r);
        r.set9H("-50");
        r.antenna().crossPolar().appendPoint("1.25", "0");
        QVERIFY(r.checkRecord().empty());
        word = kDef;
        QCOMPARE(toList(r.checkRecord()), (QList<int>{1015, 1036}));
        SyntaxFlags other = kNone;
        r.setSyntaxFlags(&other);
        QVERIFY(r.checkRecord().empty());
    }

    // --- header ------------------------------------------------------------------------------

    void headerFields_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expected");
        using H = HCMFileHeader;
        auto add = [](H::Field f, const QString& v, int flags, int expected, int count = 11) {
            QTest::addRow("%d '%s' 0x%02x %d", int(f), qPrintable(shortTag(v)), flags, count)
                << int(f) << v << flags << count << expected;
        };
        add(H::FileNumber, "", kNone, 147);
        add(H::FileNumber, "x", kNone, 148);
        add(H::FileNumber, "1.0", kDef, 148);
        add(H::FileNumber, "99", kDef, 0);
        add(H::FileNumber, "123", kFmt, 1061);
        add(H::FileNumber, "123", kVal | kChr, 0);
        add(H::FileNumber, "-5", kFmt, 1061);
        add(H::FileNumber, "-5", kVal, 0);
        add(H::FileContents, "", kNone, 149);
        add(H::FileContents, repeat('A', 80), kDef, 0);
        add(H::FileContents, repeat('A', 81), kNone, 150);
        add(H::FileContents, "A;B", kChr, 172);
        add(H::FileContents, "A;B", kNone, 0);
        add(H::FileContents, repeat('A', 80) + "|", kDef, 150);
        for (const char* c : {"O", "N", "M", "D", "A", "n"})
            add(H::FileContentsCode, QString::fromLatin1(c), kAll, 0);
        add(H::FileContentsCode, "", kNone, 151);
        add(H::FileContentsCode, "X", kNone, 151);
        add(H::FileContentsCode, "NN", kDef, 151);
        add(H::Country, "", kNone, 37);
        add(H::Country, "DEUT", kNone, 38);
        add(H::Country, "D|", kFmt, 173);
        add(H::Country, "D|", kNone, 0);
        add(H::Country, "D#", kAll, 0);
        add(H::ResponsiblePerson, "", kNone, 152);
        add(H::ResponsiblePerson, repeat('A', 40), kDef, 0);
        add(H::ResponsiblePerson, repeat('A', 41), kNone, 153);
        add(H::ResponsiblePerson, "A;B", kVal, 174);
        add(H::Phone, "", kNone, 154);
        add(H::Phone, repeat('1', 21), kNone, 155);
        add(H::Phone, "1|2", kCalc, 175);
        add(H::Telefax, "", kNone, 156);
        add(H::Telefax, repeat('1', 21), kNone, 157);
        add(H::Telefax, "1;2", kChr, 176);
        add(H::EMail, "", kNone, 158);
        add(H::EMail, repeat('a', 41), kNone, 159);
        add(H::EMail, "a;b@c", kDef, 177);
        add(H::EMail, "a;b@c", kNone, 0);
        add(H::NumberOfRecords, "", kNone, 160);
        add(H::NumberOfRecords, "x", kNone, 161);
        add(H::NumberOfRecords, "11.0", kNone, 161);
        add(H::NumberOfRecords, "11", kAll, 0);
        add(H::NumberOfRecords, "011", kAll, 0);
        add(H::NumberOfRecords, "12", kNone, 165);
        add(H::NumberOfRecords, "0", kDef, 0, 0);
        add(H::NumberOfRecords, "1234567", kFmt, 1068, 1234567);
        add(H::NumberOfRecords, "1234567", kFmt, 1068, 0); // format before the count
        add(H::NumberOfRecords, "1234567", kVal, 0, 1234567);
        add(H::NumberOfRecords, "+11", kFmt, 1068);
        add(H::NumberOfRecords, "+11", kVal, 0);
        add(H::WritingDate, "", kNone, 162);
        add(H::WritingDate, "01022024", kAll, 0);
        add(H::WritingDate, "0102202", kNone, 163);
        add(H::WritingDate, "0102202x", kNone, 164);
        add(H::WritingDate, "32012024", kVal, 1069);
        add(H::WritingDate, "32012024", kFmt | kChr, 0);
    }
    void headerFields() {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(int, flags);
        QFETCH(int, count);
        QFETCH(int, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMFileHeader h(&word);
        setCleanHeader(h);
        h.setText(HCMFileHeader::Field(field), str(value));
        QCOMPARE(h.checkField(HCMFileHeader::Field(field), count), expected);
        const std::vector<int> all = h.checkHeader(count);
        QCOMPARE(toList(all), expected ? QList<int>{expected} : QList<int>{});
    }

    void checkHeader_data() {
        QTest::addColumn<QStringList>("texts"); // the ten fields in line order
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("expected");
        const QStringList clean = {"7",        "FS STATIONS", "N",           "D",
                                   "J. SMITH", "+49 30 1234", "+49 30 1235", "fs@example.org",
                                   "11",       "01022024"};
        QTest::newRow("clean") << clean << kAll << 11 << QList<int>{};
        QStringList twelve = clean;
        twelve[HCMFileHeader::NumberOfRecords] = "12";
        QTest::newRow("12 for 11 records") << twelve << kDef << 11 << QList<int>{165};
        QTest::newRow("12 for 12 records") << twelve << kDef << 12 << QList<int>{};
        QTest::newRow("all empty") << QStringList(10) << kDef << 0
                                   << QList<int>{147, 152, 154, 156, 158, 160, 162, 37, 151, 149};
        const QStringList mixed = {"x", repeat('A', 81), "X",  "DEUT",    "J;S", repeat('1', 21),
                                   "",  "a@b",           "12", "32012024"};
        QTest::newRow("mixed") << mixed << kDef << 11
                               << QList<int>{148, 174, 155, 156, 165, 1069, 38, 151, 150};
        QTest::newRow("mixed, no options")
            << mixed << kNone << 11 << QList<int>{148, 155, 156, 165, 38, 151, 150};
        QStringList warnings = clean;
        warnings[HCMFileHeader::FileNumber] = "123";
        warnings[HCMFileHeader::WritingDate] = "01132024";
        QTest::newRow("warnings") << warnings << kDef << 11 << QList<int>{1061, 1069};
    }
    void checkHeader() {
        QFETCH(QStringList, texts);
        QFETCH(int, flags);
        QFETCH(int, count);
        QFETCH(QList<int>, expected);
        SyntaxFlags word = SyntaxFlags(flags);
        HCMFileHeader h(&word);
        h.setActualRecordCount(count + 5); // the argument counts, not the stored count
        for (int f = 0; f < HCMFileHeader::FieldCount; ++f)
            h.setText(HCMFileHeader::Field(f), str(texts.at(f)));
        QCOMPARE(toList(h.checkHeader(count)), expected);
    }

    void headerParseLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("date");
        QTest::newRow("ten fields") << "7;FS;N;D;J S;1;2;a@b;11;01022024" << 0 << "11"
                                    << "01022024";
        QTest::newRow("blanks kept") << "7;FS;N;D;J S;1;2;a@b; 11 ;01022024 " << 0 << " 11 "
                                     << "01022024 ";
        QTest::newRow("empty fields") << ";;;;;;;;;" << 0 << ""
                                      << "";
        QTest::newRow("nine fields") << "7;FS;N;D;J S;1;2;a@b;11" << 145 << "old"
                                     << "old";
        QTest::newRow("empty line") << "" << 145 << "old"
                                    << "old";
        QTest::newRow("eleven fields") << "7;FS;N;D;J S;1;2;a@b;11;01022024;X" << 146 << "11"
                                       << "01022024;X";
        QTest::newRow("trailing semicolon") << "7;FS;N;D;J S;1;2;a@b;11;01022024;" << 146 << "11"
                                            << "01022024;";
    }
    void headerParseLine() {
        QFETCH(QString, line);
        QFETCH(int, expected);
        QFETCH(QString, records);
        QFETCH(QString, date);
        HCMFileHeader h;
        h.setNumberOfRecords("old");
        h.setWritingDate("old");
        h.setEMail("old");
        QCOMPARE(h.parseLine(str(line)), expected);
        QCOMPARE(qs(h.getNumberOfRecords()), records);
        QCOMPARE(qs(h.getWritingDate()), date);
        if (line.contains(QLatin1String("a@b")))
            QCOMPARE(qs(h.getEMail()), QStringLiteral("a@b"));
    }

    // --- messages and report -----------------------------------------------------------------

    void messageText_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const struct {
            int code;
            const char* text;
        } known[] = {
            {1, "Antenna angle is missing."},
            {3, "Antenna angle is outside interval 0 - 360."},
            {7, "Antenna attenuation is negative."},
            {8, "Cross-polar antenna radiation pattern is missing."},
            {10, "Antenna manufacturer name has to many characters."},
            {12, "Cross-polar antenna radiation pattern is incorrect."},
            {15, "Co-polar antenna radiation pattern is missing."},
            {16, "Lower antenna frequency is not a number."},
            {18, "Upper antenna frequency is not a number."},
            {21, "Antenna gain is not a number."},
            {23, "Unknown type of entry."},
            {25, "Frequency is not a number."},
            {28, "Frequency unit is unknown."},
            {33, "Category of use is unknown."},
            {35, "Date of bringing into use has to contain numbers only."},
            {38, "Country code is too long."},
            {40, "Size of longitude is incorrect."},
            {42, "Longitude is incorrect. Minutes >= 60!"},
            {43, "Longitude is incorrect. Seconds >= 60!."},
            {47, "Latitude is incorrect. Seconds >= 60!."},
            {50, "Height of the station site above sea level is not a number."},
            {52, "Designation of emission has incorrect number of characters."},
            {57, "Max. capacity has too many characters."},
            {58, "TX/RX mask frequency No1 is not a number."},
            {60, "TX/RX mask frequency No1 is missing."},
            {74, "TX/RX mask frequency No6 is not a number."},
            {76, "TX/RX mask frequency No2 < No1."},
            {80, "TX/RX mask frequency No6 < No5."},
            {81, "TX/RX mask attenuation No1 is missing."},
            {96, "TX/RX mask attenuation No6 is missing."},
            {97, "TX/RX mask attenuation No6 is not a number."},
            {99, "The last TX/RX mask attenuation < 40 dB."},
            {100, "Incorrect equipment class."},
            {102, "NFD2 is not a number."},
            {107, "Maximum permitted transmitter power is missing."},
            {111, "ATPC cannot be negative."},
            {114, "Azimuth is >= 360 or < 0."},
            {115, "Data of antenna co-polar radiation diagram is missing."},
            {118, "Elevation is > 90 or < -90."},
            {120, "Unknown polarization."},
            {125, "Branches and line losses < 0."},
            {126, "Data of antenna cross-polar radiation diagram is missing."},
            {129, "Height of antenna above ground must be positive."},
            {130, "Remarks has to many characters."},
            {133, "Date of coordination request has to contain the numbers only."},
            {135, "Final date of achieving co-ordination has to contain the numbers only."},
            {137, "Co-ordination reference is incorrect."},
            {138, "TX record is too short."},
            {139, "PRX record is too short."},
            {140, "PTX record is too short."},
            {141, "RX record is too short."},
            {143, "Unknown error occured during import of HCM record"},
            {146, "Semicolon found at the and of header. Too many fields in the header?"},
            {148, "File number entry is not an integer number."},
            {151, "File contents code is unknown."},
            {165, "Value of Number of records does not match the actual record count."},
            {166, "Station name contains illegal characters."},
            {173, "Header country code contains illegal characters."},
            {177, "E-mail contains illegal characters."},
            {1001, "Type of entry contains illegal characters."},
            {1004, "Frequency is outside the frequency bands listed in $1.2.3 of HCM Agreement."},
            {1007, "Station name is empty."},
            {1015, "Receiver noise power level may be incorrect."},
            {1020, "Geographical co-ordinates contain illegal characters."},
            {1021, "Nature of service contain illegal characters."},
            {1029, "Incorrect format of height of the station site above sea level."},
            {1032, "Equipment class contains illegal character."},
            {1041, "Format of TX/RX mask frequency No1 is incorrect."},
            {1052, "Format of TX/RX mask attenuation No6 is incorrect."},
            {1054, "Format of antenna height above ground is incorrect."},
            {1060, "Cross-polar antenna radiation pattern contains illegal characters."},
            {1063, "File contents code contains illegal characters."},
            {1068, "Format of number of records contains illegal characters."},
            {1069, "Value of writing date may be incorrect."},
        };
        for (const auto& k : known)
            QTest::addRow("%d", k.code) << k.code << QString::fromLatin1(k.text);
        for (const int code : {0,   4,    17,   19,   22,   26,   49,   59,   98, 101,     178,
                               999, 1000, 1008, 1016, 1053, 1062, 1070, 2000, -1, INT_MIN, INT_MAX})
            QTest::addRow("unknown %d", code) << code << QStringLiteral("Unknown error");
    }
    void messageText() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(QString::fromLatin1(SyntaxCheck::messageText(code)), text);
    }

    // Exactly the codes of the message table have a text.
    void messageCodes() {
        QList<int> known;
        for (int code = -10; code <= 3000; ++code)
            if (QLatin1String(SyntaxCheck::messageText(code)) != QLatin1String("Unknown error"))
                known << code;
        const QList<int> expected = {
            1,    2,    3,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,
            16,   18,   20,   21,   23,   24,   25,   27,   28,   29,   30,   31,   32,   33,
            34,   35,   36,   37,   38,   39,   40,   41,   42,   43,   44,   45,   46,   47,
            48,   50,   51,   52,   53,   54,   55,   56,   57,   58,   60,   61,   62,   64,
            65,   67,   68,   70,   71,   73,   74,   76,   77,   78,   79,   80,   81,   82,
            84,   85,   87,   88,   90,   91,   93,   94,   96,   97,   99,   100,  102,  104,
            105,  107,  108,  110,  111,  112,  113,  114,  115,  116,  117,  118,  120,  121,
            123,  124,  125,  126,  127,  128,  129,  130,  131,  132,  133,  134,  135,  136,
            137,  138,  139,  140,  141,  142,  143,  144,  145,  146,  147,  148,  149,  150,
            151,  152,  153,  154,  155,  156,  157,  158,  159,  160,  161,  162,  163,  164,
            165,  166,  167,  168,  169,  170,  171,  172,  173,  174,  175,  176,  177,  1001,
            1002, 1003, 1004, 1005, 1006, 1007, 1009, 1010, 1011, 1014, 1015, 1017, 1018, 1019,
            1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033,
            1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047,
            1048, 1049, 1050, 1051, 1052, 1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1063,
            1068, 1069};
        QCOMPARE(known, expected);
        QCOMPARE(known.size(), 212);
    }

    void reportItems() {
        QVERIFY(SyntaxCheck::isError(999));
        QVERIFY(!SyntaxCheck::isError(1000));
        SyntaxReport report;
        report.addHeader({});
        report.addRecord(3, {});
        QVERIFY(report.items().empty());
        QCOMPARE(report.errorCount(), 0);

        report.addHeader({147, 1061, 148});
        report.addRecord(7, {1015, 23, 1001});
        report.addRecord(12, {1007});
        QCOMPARE(report.items().size(), size_t(3));
        QCOMPARE(report.items()[0].recordNo, -1);
        QCOMPARE(qs(report.items()[0].text),
                 QString("HEADER: \nErrors:\nFile number is missing.\n"
                         "File number entry is not an integer number.\n"
                         "Warnings:\nFile number format is incorrect.\n"));
        QCOMPARE(report.items()[1].recordNo, 7);
        QCOMPARE(qs(report.items()[1].text),
                 QString("RECORD NO: 7\nErrors:\nUnknown type of entry.\nWarnings:\n"
                         "Receiver noise power level may be incorrect.\n"
                         "Type of entry contains illegal characters.\n"));
        QCOMPARE(qs(report.items()[2].text),
                 QString("RECORD NO: 12\nErrors:\nWarnings:\nStation name is empty.\n"));
        QCOMPARE(report.errorCount(), 3);
        QCOMPARE(report.warningCount(), 4);
        QCOMPARE(qs(SyntaxReport::itemText("RECORD NO: 0", {25})),
                 QString("RECORD NO: 0\nErrors:\nFrequency is not a number.\nWarnings:\n"));

        report.clear();
        QVERIFY(report.items().empty());
        QCOMPARE(report.errorCount(), 0);
        QCOMPARE(report.warningCount(), 0);
    }

    // A header and two records checked into one report, as the editor does.
    void reportOfFile() {
        SyntaxFlags word = kDef;
        HCMFileHeader header(&word);
        setCleanHeader(header);
        header.setNumberOfRecords("12");
        HCMRecord clean(&word), faulty(&word);
        fillClean(clean);
        fillClean(faulty);
        faulty.set9H("-70");
        faulty.set4B("");
        SyntaxReport report;
        report.addHeader(header.checkHeader(2));
        report.addRecord(0, clean.checkRecord());
        report.addRecord(1, faulty.checkRecord());
        QCOMPARE(report.items().size(), size_t(2));
        QCOMPARE(report.items()[0].text,
                 std::string("HEADER: \nErrors:\n"
                             "Value of Number of records does not match the actual record count.\n"
                             "Warnings:\n"));
        QCOMPARE(qs(report.items()[1].text),
                 QString("RECORD NO: 1\nErrors:\nCountry is missing.\nWarnings:\n"
                         "Receiver noise power level may be incorrect.\n"));
        QCOMPARE(report.errorCount(), 2);
        QCOMPARE(report.warningCount(), 1);
    }

private:
    static void setCleanHeader(HCMFileHeader& h) {
        h.setFileNumber("7");
        h.setFileContents("FS STATIONS");
        h.setFileContentsCode("N");
        h.setCountry("D");
        h.setResponsiblePerson("J. SMITH");
        h.setPhone("+49 30 1234");
        h.setTelefax("+49 30 1235");
        h.setEMail("fs@example.org");
        h.setNumberOfRecords("11");
        h.setWritingDate("01022024");
    }
};

TARNWELL_TEST(TestFsCheck)
#include "tst_fscheck.moc"
