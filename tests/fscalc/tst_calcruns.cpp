// Calculation runs through the controller with the recording library: which chains reach the
// library in which order, which rows are stored, the pre-conditions, single entry, detailed
// calculation, co-ordination trigger, cancel and the error codes.
#include "calc.h"
#include "calctestsupport.h"
#include "calcthread.h"
#include "testregistry.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// A controller on the recording library, writing its calls to a log in a folder of its own.
struct Bench {
    QTemporaryDir dir;
    QString log = dir.filePath("calls.log");
    QString report = dir.filePath("report1.twrpt");
    QString testing = dir.filePath("testing.txt");
    QString reference = dir.filePath("reference.txt");
    std::unique_ptr<CALC> calc = std::make_unique<CALC>(log, recordingLibrary());

    bool listToList(const QStringList& testingLines, const QStringList& referenceLines,
                    double td = 0, double freq = 300, double dist = 1000, double pdist = 2) {
        if (!writeLines(testing, testingLines) || !writeLines(reference, referenceLines))
            return false;
        return runToEnd(*calc, [&] {
            return calc->startListToList(testing, reference, report, td, freq, dist, pdist);
        });
    }
    bool single(const QStringList& lines, const QString& separator = QStringLiteral("\r\n")) {
        return writeLines(testing, lines, separator) &&
               runToEnd(*calc, [&] { return calc->startSingle(testing, report); });
    }
    bool trigger(const QStringList& lines) {
        return writeLines(testing, lines) &&
               runToEnd(*calc, [&] { return calc->startTrigger(testing, report); });
    }
    // waits until the library has recorded `n` calls
    bool waitForCalls(int n) {
        return QTest::qWaitFor([&] { return recordedCalls(log).size() >= n; }, 10000);
    }
    void release() {
        QFile f(log + ".release");
        if (f.open(QIODevice::WriteOnly))
            f.close();
    }
};

TestStation tx(const QString& name) {
    return TestStation(QStringLiteral("TX"), name);
}
TestStation rx(const QString& name) {
    return TestStation(QStringLiteral("RX"), name);
}
TestStation prx(const QString& name) {
    return TestStation(QStringLiteral("PRX"), name);
}
TestStation ptx(const QString& name) {
    return TestStation(QStringLiteral("PTX"), name);
}

} // namespace

class TestCalcRuns : public QObject {
    Q_OBJECT

private slots:
    void listToListSequence() {
        Bench b;
        QVERIFY(b.calc->isLibraryLoaded());
        // testing: a TX, an RX, a repeater, an RX, a PTX without PRX, a PRX as the last line
        const QStringList testing = {tx("T1"), rx("R1"),  prx("P1"), ptx("Q1"),
                                     rx("R2"), ptx("Z1"), prx("Y1")};
        // reference: TX, RX, a repeater, RX, a PRX followed by a TX, TX
        const QStringList reference = {tx("A1"), rx("B1"),  prx("C1"), ptx("D1"),
                                       rx("B2"), prx("E1"), tx("A2")};
        QVERIFY(b.listToList(testing, reference));
        QCOMPARE(b.calc->errorCode(), 0);

        const QStringList calls = {
            // pass 1, the testing repeater P1/Q1, over the positions 0-6 of both files
            "A1>P1>Q1>B1", "A1>P1>Q1>B2", "A1>P1>Q1>R1", "A1>P1>Q1>R2", "T1>P1>Q1>B1",
            "T1>P1>Q1>B2", "A2>P1>Q1>B1", "A2>P1>Q1>B2", "A2>P1>Q1>R1", "A2>P1>Q1>R2",
            // pass 2, the testing TX T1 over the reference lines
            "T1>B1", "T1>C1>D1>B1", "T1>C1>D1>B2", "T1>C1>D1>R1", "T1>C1>D1>R2", "T1>B2",
            // pass 3, the testing RXs R1 and R2 over the reference lines
            "A1>R1", "A1>C1>D1>R1", "A2>C1>D1>R1", "A2>R1", "A1>R2", "A1>C1>D1>R2", "A2>C1>D1>R2",
            "A2>R2"};
        QCOMPARE(recordedChains(b.log), calls);

        const QStringList rows = {"A1|P1|Q1|B1",
                                  "A1|P1|Q1|B2",
                                  "A1|P1|Q1|R1",
                                  "A1|P1|Q1|R2",
                                  "T1|P1|Q1|B1",
                                  "T1|P1|Q1|B2",
                                  "A2|P1|Q1|B1",
                                  "A2|P1|Q1|B2",
                                  "A2|P1|Q1|R1",
                                  "A2|P1|Q1|R2",
                                  "Error!|PRx is missing!|Z1|",
                                  "Error!|Y1|PTX is missing!|",
                                  "T1|||B1",
                                  "T1|C1|D1|B1",
                                  "T1|C1|D1|B2",
                                  "T1|C1|D1|R1",
                                  "T1|C1|D1|R2",
                                  "T1|||B2",
                                  "Error!|E1|PTX is missing!|",
                                  "A1|||R1",
                                  "A1|C1|D1|R1",
                                  "A2|C1|D1|R1",
                                  "Error!|E1|PTX is missing!|",
                                  "A2|||R1",
                                  "A1|||R2",
                                  "A1|C1|D1|R2",
                                  "A2|C1|D1|R2",
                                  "Error!|E1|PTX is missing!|",
                                  "A2|||R2"};
        QCOMPARE(resultNames(b.report), rows);
    }

    void listToListColumns_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("columns");
        // the stored row; TxIndex TxFileNo PRxIndex PTxIndex PxFileNo RxIndex RxFileNo, then
        // the countries and the references
        QTest::newRow("reference TX, testing repeater, reference RX")
            << 0 << "0 2 2 3 1 1 2|GB:D:F|REF-A1:REF-P1:REF-Q1:REF-B1";
        QTest::newRow("reference TX, testing repeater, testing RX")
            << 1 << "0 2 2 3 1 1 1|GB:D:HNG|REF-A1:REF-P1:REF-Q1:REF-R1";
        QTest::newRow("testing TX, testing repeater, reference RX")
            << 2 << "0 1 2 3 1 1 2|I:D:F|REF-T1:REF-P1:REF-Q1:REF-B1";
        QTest::newRow("PTX without PRX in the testing file")
            << 3 << "-1 0 -1 4 1 -1 0|:S:|::REF-Z1:";
        QTest::newRow("testing TX to reference RX") << 4 << "0 1 -1 -1 0 1 2|I::F|REF-T1:::REF-B1";
        QTest::newRow("testing TX, reference repeater, reference RX")
            << 5 << "0 1 2 3 2 1 2|I:HOL:F|REF-T1:REF-C1:REF-D1:REF-B1";
        QTest::newRow("testing TX, reference repeater, testing RX")
            << 6 << "0 1 2 3 2 1 1|I:HOL:HNG|REF-T1:REF-C1:REF-D1:REF-R1";
        QTest::newRow("PRX without PTX in the reference file")
            << 7 << "-1 0 4 -1 2 -1 0|:SVK:|:REF-E1::";
        QTest::newRow("reference TX to testing RX")
            << 8 << "0 2 -1 -1 0 1 1|GB::HNG|REF-A1:::REF-R1";
        QTest::newRow("reference TX, reference repeater, testing RX")
            << 9 << "0 2 2 3 2 1 1|GB:HOL:HNG|REF-A1:REF-C1:REF-D1:REF-R1";
    }
    void listToListColumns() {
        QFETCH(int, row);
        QFETCH(QString, columns);
        Bench b;
        // the repeater's country is its PRX's
        const QStringList testing = {tx("T1").country("I"), rx("R1").country("HNG"),
                                     prx("P1").country("D"), ptx("Q1").country("POL"),
                                     ptx("Z1").country("S")};
        const QStringList reference = {tx("A1").country("GB"), rx("B1").country("F"),
                                       prx("C1").country("HOL"), ptx("D1").country("BEL"),
                                       prx("E1").country("SVK")};
        QVERIFY(b.listToList(testing, reference));
        QCOMPARE(
            resultNames(b.report),
            QStringList({"A1|P1|Q1|B1", "A1|P1|Q1|R1", "T1|P1|Q1|B1", "Error!|PRx is missing!|Z1|",
                         "T1|||B1", "T1|C1|D1|B1", "T1|C1|D1|R1", "Error!|E1|PTX is missing!|",
                         "A1|||R1", "A1|C1|D1|R1", "Error!|E1|PTX is missing!|"}));
        const auto r = tableRows(b.report, "results").value(row);
        auto v = [&r](const char* c) { return r.value(c).toString(); };
        const QString got =
            QStringList{v("TxIndex"),  v("TxFileNo"), v("PRxIndex"), v("PTxIndex"),
                        v("PxFileNo"), v("RxIndex"),  v("RxFileNo")}
                .join(' ') +
            '|' + QStringList{v("TxCountry"), v("PxCountry"), v("RxCountry")}.join(':') + '|' +
            QStringList{v("TxReference"), v("PRxReference"), v("PTxReference"), v("RxReference")}
                .join(':');
        QCOMPARE(got, columns);
    }

    void storedTexts() {
        // 8-bit names, countries and references reach every text column of a run's rows as the
        // files have them, quotes included
        Bench b;
        const QString tName = QString::fromLatin1("M\xdcNCHEN 'S\xdc"
                                                  "D'");
        const QString pName = QString::fromLatin1("P\xc5SS"),
                      qName = QString::fromLatin1("P\xc5SS 2");
        const QString rName = QString::fromLatin1("\xc5LESUND\x01");
        const QString eName = QString::fromLatin1("\xc9"
                                                  "CLUSE");
        const QStringList testing = {
            tx(tName)
                .country(QString::fromLatin1("\xd6"))
                .reference(QString::fromLatin1("R\xe9"
                                               "F")),
            prx(pName).country(QStringLiteral("N'")).reference(QStringLiteral("PX'1")),
            ptx(qName).country(QStringLiteral("S")).reference(QString::fromLatin1("PX\xff"))};
        const QStringList reference = {
            rx(rName).country(QStringLiteral("NOR")).reference(QString::fromLatin1("\xe6")),
            prx(eName).country(QString::fromLatin1("\xc6")).reference(QString())};
        QVERIFY(b.listToList(testing, reference));
        const auto rows = tableRows(b.report, "results");
        QCOMPARE(rows.size(), 3);
        auto texts = [&rows](int i) {
            QStringList out;
            for (const char* c :
                 {"TxName", "PRxName", "PTxName", "RxName", "TxCountry", "PxCountry", "RxCountry",
                  "TxReference", "PRxReference", "PTxReference", "RxReference"})
                out << rows.at(i).value(c).toString();
            return out;
        };
        const QString o = QString::fromLatin1("\xd6"), ref = QString::fromLatin1("R\xe9"
                                                                                 "F");
        const QString pxRef = QString::fromLatin1("PX\xff"), ae = QString::fromLatin1("\xe6");
        QCOMPARE(texts(0),
                 (QStringList{tName, pName, qName, rName, o, "N'", "NOR", ref, "PX'1", pxRef, ae}));
        QCOMPARE(texts(1), (QStringList{tName, "", "", rName, o, "", "NOR", ref, "", "", ae}));
        QCOMPARE(texts(2), (QStringList{"Error!", eName, "PTX is missing!", "", "",
                                        QString::fromLatin1("\xc6"), "", "", "", "", ""}));
    }

    void errorRowValues() {
        Bench b;
        QVERIFY(b.listToList({prx("P1").td("-5").error("3")}, {}));
        const auto rows = tableRows(b.report, "results");
        QCOMPARE(rows.size(), 1);
        const auto& r = rows.at(0);
        // the values are 0 and there is no error code
        for (const char* c :
             {"Td", "Interference_Level", "Overlapping_Area", "Nfd", "Md", "A_Total"}) {
            QCOMPARE(r.value(c).toString(), QStringLiteral("0"));
        }
        QCOMPARE(r.value("Error").toString(), QString());
        QCOMPARE(r.value("TxName").toString(), QStringLiteral("Error!"));
        QCOMPARE(r.value("TxCountry").toString(), QString());
        QCOMPARE(r.value("RxReference").toString(), QString());
        QVERIFY(recordedCalls(b.log).isEmpty());
    }

    void chainValues() {
        Bench b;
        const TestStation t = tx("T")
                                  .td("12.3456")
                                  .set(33, "-2222")
                                  .set(34, "inf")
                                  .set(35, "nan")
                                  .set(36, "-0.019")
                                  .set(37, "145.678");
        QVERIFY(b.listToList({t}, {rx("R")}));
        const auto rows = tableRows(b.report, "results");
        QCOMPARE(rows.size(), 1);
        const auto& r = rows.at(0);
        QCOMPARE(r.value("Td").toString(), QStringLiteral("12.34"));
        QCOMPARE(r.value("Interference_Level").toString(), QString());
        QCOMPARE(r.value("Overlapping_Area").toString(), QString());
        QCOMPARE(r.value("Nfd").toString(), QString());
        QCOMPARE(r.value("Md").toString(), QStringLiteral("-0.01"));
        QCOMPARE(r.value("A_Total").toString(), QStringLiteral("145.67"));
        QCOMPARE(r.value("Error").toString(), QString());
    }

    void preconditions_data() {
        QTest::addColumn<QStringList>("testing");
        QTest::addColumn<QStringList>("reference");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<double>("freq");
        QTest::addColumn<double>("dist");
        QTest::addColumn<double>("pdist");
        const QStringList direct = {"T>R"};
        const QStringList none;
        using Files = std::pair<QStringList, QStringList>;
        auto pair = [](const TestStation& t, const TestStation& r) {
            return Files{QStringList{t}, QStringList{r}};
        };
        auto add = [](const char* name, const Files& files, const QStringList& calls,
                      double freq = 300, double dist = 1000, double pdist = 2) {
            QTest::newRow(name) << files.first << files.second << calls << freq << dist << pdist;
        };
        // frequencies
        add("100 MHz apart", pair(tx("T").frequency("18000"), rx("R").frequency("18100")), direct);
        add("GHz against MHz, 400 MHz apart",
            pair(tx("T").frequency("18", "G"), rx("R").frequency("18400")), none);
        add("GHz against MHz, 100 MHz apart",
            pair(tx("T").frequency("18", "G"), rx("R").frequency("18100")), direct);
        add("g in lower case", pair(tx("T").frequency("18", "g"), rx("R").frequency("18.1", "G")),
            direct);
        add("kHz against MHz", pair(tx("T").frequency("18000000", "K"), rx("R").frequency("18000")),
            direct);
        add("300 MHz apart is not below the limit",
            pair(tx("T").frequency("18300000", "K"), rx("R").frequency("18000")), none);
        add("just below the limit", pair(tx("T").frequency("18299.9"), rx("R").frequency("18000")),
            direct);
        add("a limit of its own", pair(tx("T").frequency("18000"), rx("R").frequency("18040")),
            none, 40);
        add("unit text GHz is MHz",
            pair(tx("T").frequency("18", "GHz"), rx("R").frequency("18", "G")), none);
        // both frequencies unreadable: -1000 each, 0 apart; the distance then does not count
        add("no frequencies",
            pair(tx("T").frequency("x").at(-5, 40), rx("R").frequency("").at(20, 60)), direct);
        // distances (one degree of latitude is 111 km)
        add("111 km, limit 1000", pair(tx("T").at(16, 48), rx("R").at(16, 49)), direct);
        add("111 km, limit 100", pair(tx("T").at(16, 48), rx("R").at(16, 49)), none, 300, 100);
        add("RX without co-ordinates", pair(tx("T").at(16, 48), rx("R").noCoordinates()), direct,
            300, 100);
        add("TX with a longitude only", pair(tx("T").set(10, "016E0000"), rx("R").at(16, 49)),
            direct, 300, 100);
        add("co-sited", pair(tx("T").at(16.3708, 2.5), rx("R").at(16.3708, 2.5)), direct, 300,
            0.001);
        // the PTX of a repeater near the victim
        const TestStation t = tx("T").at(16, 48);
        const QStringList repeater = {prx("P").at(16, 48), ptx("Q").at(16, 48),
                                      rx("R").at(16, 48.03)}; // the RX 3.3 km from the PTX
        add("PTX 3.3 km from the RX, limit 2", Files{{t}, repeater}, {"T>R"});
        add("PTX 3.3 km from the RX, limit 4", Files{{t}, repeater}, {"T>P>Q>R", "T>R"}, 300, 1000,
            4);
        add("PTX without co-ordinates",
            Files{{t}, {prx("P"), ptx("Q").noCoordinates(), repeater[2]}}, {"T>P>Q>R", "T>R"});
        // a passive repeater has no frequency: the PTX-RX limit applies all the same
        const QStringList silent = {prx("P").frequency("").at(16, 48),
                                    ptx("Q").frequency("").at(16, 48), repeater[2]};
        add("PTX without frequency, 3.3 km from the RX, limit 4", Files{{t}, silent},
            {"T>P>Q>R", "T>R"}, 300, 1000, 4);
        add("PTX without frequency, 3.3 km from the RX, limit 2", Files{{t}, silent}, {"T>R"});
        add("repeater chain, TX far from the RX",
            Files{{tx("T").at(16, 38)}, {repeater[0], repeater[1], rx("R").at(16, 48.01)}}, none);
        add("repeater chain, frequencies apart",
            Files{{tx("T").frequency("7000")}, {repeater[0], repeater[1], rx("R").at(16, 48.01)}},
            none);
    }
    void preconditions() {
        QFETCH(QStringList, testing);
        QFETCH(QStringList, reference);
        QFETCH(QStringList, calls);
        QFETCH(double, freq);
        QFETCH(double, dist);
        QFETCH(double, pdist);
        Bench b;
        QVERIFY(b.listToList(testing, reference, 0, freq, dist, pdist));
        QCOMPARE(recordedChains(b.log), calls);
        QCOMPARE(resultNames(b.report).size(), calls.size());
    }

    void threshold_data() {
        QTest::addColumn<QString>("td");
        QTest::addColumn<QString>("error");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("stored");
        QTest::newRow("above") << "6"
                               << "" << 5.0 << true;
        QTest::newRow("equal") << "5"
                               << "" << 5.0 << true;
        QTest::newRow("below") << "4.99"
                               << "" << 5.0 << false;
        QTest::newRow("below, with an error code") << "-2222"
                                                   << "3" << 5.0 << true;
        QTest::newRow("negative threshold") << "-1"
                                            << "" << -2.0 << true;
        QTest::newRow("not a number") << "nan"
                                      << "" << 0.0 << false;
    }
    void threshold() {
        QFETCH(QString, td);
        QFETCH(QString, error);
        QFETCH(double, threshold);
        QFETCH(bool, stored);
        Bench b;
        QVERIFY(b.listToList({tx("T").td(td).error(error)}, {rx("R")}, threshold));
        QCOMPARE(recordedCalls(b.log).size(), 1);
        QCOMPARE(resultNames(b.report).size(), stored ? 1 : 0);
    }

    void libraryArguments() {
        Bench b;
        // 8-bit bytes and a trailing empty field go to the library exactly as in the file
        const QString t = tx(QStringLiteral("M\u00dcNCHEN \u00e9")).line() + QStringLiteral(";");
        const QString r = rx(QStringLiteral("R")).line();
        QSignalSpy started(b.calc.get(), &CALC::started);
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QVERIFY(b.listToList({t}, {r}));
        QCOMPARE(started.size(), 1);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        const QList<RecordedCall> calls = recordedCalls(b.log);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].entry, QByteArray("V2"));
        QCOMPARE(calls[0].texts.size(), 6);
        QCOMPARE(calls[0].texts[0], t.toLatin1());
        QVERIFY(calls[0].texts[0].contains("M\xdcNCHEN \xe9"));
        QCOMPARE(calls[0].texts[1], r.toLatin1());
        QCOMPARE(calls[0].texts[2], QByteArray());
        QCOMPARE(calls[0].texts[3], QByteArray());
        QCOMPARE(calls[0].texts[4], QByteArray()); // no detailed report
        QCOMPARE(calls[0].texts[5], QFile::encodeName(b.log));
        QCOMPARE(tableRows(b.report, "results").value(0).value("TxName").toString(),
                 QStringLiteral("M\u00dcNCHEN \u00e9"));
        // the lists stay filled for detailed calculations
        QCOMPARE(b.calc->testingLines(), QStringList{t});
        QCOMPARE(b.calc->referenceLines(), QStringList{r});
    }

    void progress() {
        Bench b;
        QStringList testing, reference;
        for (int i = 0; i < 15; ++i) {
            testing << tx(QString("T%1").arg(i)) << rx(QString("R%1").arg(i));
            reference << tx(QString("A%1").arg(i)) << rx(QString("B%1").arg(i))
                      << prx(QString("P%1").arg(i)) << ptx(QString("Q%1").arg(i));
        }
        testing << prx("P") << ptx("Q") << "";
        QSignalSpy spy(b.calc.get(), &CALC::calcProgressChanged);
        QVERIFY(b.listToList(testing, reference, 1000)); // nothing stored: TD 10 < 1000
        QVERIFY2(spy.size() > 10, qPrintable(QString::number(spy.size())));
        int last = -1;
        for (const QList<QVariant>& p : spy) {
            const int value = p.at(0).toInt();
            QCOMPARE(p.at(1).toInt(), 100);
            QVERIFY(value >= last);
            QVERIFY(value >= 0 && value <= 100);
            last = value;
        }
        QCOMPARE(spy.last(), (QList<QVariant>{100, 100}));
        QVERIFY(!recordedCalls(b.log).isEmpty());
        QCOMPARE(resultNames(b.report), QStringList());
    }

    void singleEntry_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("chain");
        QTest::addColumn<QString>("columns");
        QTest::newRow("two lines") << QStringList{tx("T").td("-5"), rx("R")} << "T>R"
                                   << "0 1 -1 -1 0 1 1|T|||R";
        QTest::newRow("four lines")
            << QStringList{tx("T").td("-5"), prx("P"), ptx("Q"), rx("R"), ""} << "T>P>Q>R"
            << "0 1 1 2 1 3 1|T|P|Q|R";
        // the first four non-empty lines; the indices are their positions in the file
        QTest::newRow("empty lines between")
            << QStringList{"", tx("T").td("-5"), "", prx("P"), ptx("Q"), rx("R"), tx("X")}
            << "T>P>Q>R"
            << "1 1 3 4 1 5 1|T|P|Q|R";
        QTest::newRow("three lines") << QStringList{tx("T").td("-5"), prx("P"), ptx("Q")} << "T>P>Q"
                                     << "0 1 1 2 1 -1 0|T|P|Q|";
        QTest::newRow("one line") << QStringList{tx("T").td("-5")} << "T"
                                  << "0 1 -1 -1 0 -1 0|T|||";
    }
    void singleEntry() {
        QFETCH(QStringList, lines);
        QFETCH(QString, chain);
        QFETCH(QString, columns);
        Bench b;
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QVERIFY(b.single(lines));
        QCOMPARE(finished.at(0).at(0).toInt(), 1);
        QCOMPARE(b.calc->errorCode(), 0);
        QCOMPARE(recordedChains(b.log), QStringList{chain});
        const QList<RecordedCall> calls = recordedCalls(b.log);
        // unused station texts are empty
        for (int i = int(chain.count('>')) + 1; i < 4; ++i)
            QCOMPARE(calls[0].texts[i], QByteArray());
        // stored whatever the TD
        const auto rows = tableRows(b.report, "results");
        QCOMPARE(rows.size(), 1);
        const auto& r = rows.at(0);
        auto v = [&r](const char* c) { return r.value(c).toString(); };
        QCOMPARE(QStringList({v("TxIndex"), v("TxFileNo"), v("PRxIndex"), v("PTxIndex"),
                              v("PxFileNo"), v("RxIndex"), v("RxFileNo")})
                         .join(' ') +
                     '|' +
                     QStringList({v("TxName"), v("PRxName"), v("PTxName"), v("RxName")}).join('|'),
                 columns);
        QCOMPARE(v("Td"), QStringLiteral("-5"));
    }

    void detailed_data() {
        QTest::addColumn<QList<int>>("chain"); // TX, PRX, PTX, RX: file (1, 2) and index
        QTest::addColumn<QString>("stations");
        QTest::newRow("direct") << QList<int>{1, 0, 2, -1, 2, -1, 2, 0} << "T>B1";
        QTest::newRow("reference repeater to testing RX")
            << QList<int>{1, 0, 2, 1, 2, 2, 1, 1} << "T>C1>D1>R1";
        QTest::newRow("all from the reference file")
            << QList<int>{2, 0, 2, 1, 2, 2, 2, 0} << "B1>C1>D1>B1";
    }
    void detailed() {
        QFETCH(QList<int>, chain);
        QFETCH(QString, stations);
        Bench b;
        QVERIFY(b.listToList({tx("T"), rx("R1")}, {rx("B1"), prx("C1"), ptx("D1")}));
        const int calls = int(recordedCalls(b.log).size());
        const int rows = int(resultNames(b.report).size());
        const QString detailedReport = b.dir.filePath("detreport1.txt");
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QVERIFY(runToEnd(
            *b.calc,
            [&] {
                return b.calc->startDetailed(chain[0] == 1, chain[1], chain[2] == 1, chain[3],
                                             chain[4] == 1, chain[5], chain[6] == 1, chain[7],
                                             detailedReport);
            },
            true));
        QCOMPARE(finished.size(), 0);
        QCOMPARE(b.calc->errorCode(), 0);
        QCOMPARE(b.calc->calcMode(), 2);
        const QList<RecordedCall> all = recordedCalls(b.log);
        QCOMPARE(all.size(), calls + 1);
        QCOMPARE(all.last().chain(), stations);
        QCOMPARE(all.last().texts[4], QFile::encodeName(detailedReport));
        QFile f(detailedReport);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("DETAILED " + stations.toLatin1()));
        // nothing is stored
        QCOMPARE(resultNames(b.report).size(), rows);
    }

    void detailedLinkNotFound() {
        Bench b;
        QVERIFY(b.listToList({tx("T")}, {rx("B1")}));
        const QString detailedReport = b.dir.filePath("detreport1.txt");
        QVERIFY(writeLines(detailedReport, {"report of an earlier chain"}));
        QVERIFY(runToEnd(
            *b.calc,
            [&] {
                return b.calc->startDetailed(true, 0, false, -1, false, -1, false, 1,
                                             detailedReport);
            },
            true));
        QCOMPARE(b.calc->errorCode(), 3);
        QCOMPARE(b.calc->errorMessage(), QStringLiteral("Could not find the requested link!"));
        QCOMPARE(recordedCalls(b.log).size(), 1); // the run's call only
        QVERIFY(QFile::exists(detailedReport));   // not touched: nothing was calculated
        // the next one that is found works, after a cancelled run as well
        b.calc->cancelCalculations();
        QVERIFY(runToEnd(
            *b.calc,
            [&] {
                return b.calc->startDetailed(true, 0, false, -1, false, -1, false, 0,
                                             detailedReport);
            },
            true));
        QCOMPARE(b.calc->errorCode(), 0);
        QCOMPARE(recordedChains(b.log).last(), QStringLiteral("T>B1"));
    }

    void trigger_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("rows"); // Name|Reference|Countries|Error
        const QString header = QStringLiteral("1;Test file;O;AUT;ENGINEER;;;;2;01012024");
        const TestStation t = tx("T").set(40, "AUT,CZE and more").set(41, "0");
        const TestStation r = rx("R").set(40, "D").set(41, "3");
        QTest::newRow("header line")
            << QStringList{header, t, r, ""} << QStringList{"T|REF-T|AUT,CZE|0", "R|REF-R|D|3"};
        QTest::newRow("no header line")
            << QStringList{t, r} << QStringList{"T|REF-T|AUT,CZE|0", "R|REF-R|D|3"};
        QTest::newRow("lower-case first letter")
            << QStringList{TestStation("tx", "T").set(40, "HNG"), r}
            << QStringList{"T|REF-T|HNG|0", "R|REF-R|D|3"};
        QTest::newRow("passive repeater first") << QStringList{prx("P"), ptx("Q").set(40, "SVK")}
                                                << QStringList{"P|REF-P||0", "Q|REF-Q|SVK|0"};
        QTest::newRow("empty lines")
            << QStringList{"", "", t, "", r, ""} << QStringList{"T|REF-T|AUT,CZE|0", "R|REF-R|D|3"};
        QTest::newRow("zero byte ends the text")
            << QStringList{tx("T").set(40, "HNG~SVK")} << QStringList{"T|REF-T|HNG|0"};
        QTest::newRow("the whole buffer") << QStringList{tx("T").set(40, QString(250, 'A'))}
                                          << QStringList{"T|REF-T|" + QString(200, 'A') + "|0"};
        QTest::newRow("quotes") << QStringList{tx("O'T").reference("R'1").set(40, "'")}
                                << QStringList{"O'T|R'1|'|0"};
    }
    void trigger() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, rows);
        Bench b;
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QSignalSpy progress(b.calc.get(), &CALC::calcProgressChanged);
        QVERIFY(b.trigger(lines));
        QCOMPARE(finished.at(0).at(0).toInt(), 3);
        QCOMPARE(b.calc->errorCode(), 0);
        QStringList got;
        for (const auto& row : tableRows(b.report, "trigger"))
            got << QStringList{row.value("Name").toString(), row.value("Reference").toString(),
                               row.value("Countries").toString(), row.value("Error").toString()}
                       .join('|');
        QCOMPARE(got, rows);
        const QList<RecordedCall> calls = recordedCalls(b.log);
        QCOMPARE(calls.size(), rows.size());
        for (const RecordedCall& c : calls)
            QCOMPARE(c.entry, QByteArray("ANNEX11_1"));
        QCOMPARE(progress.first(), (QList<QVariant>{0, 100}));
        QCOMPARE(progress.last(), (QList<QVariant>{100, 100}));
        // a trigger report has no results table
        QVERIFY(!sqlValue(b.report, "SELECT COUNT(*) FROM results").isValid());
    }

    void cancelListToList() {
        Bench b;
        const QStringList testing = {tx("T").block(), rx("R")};
        const QStringList reference = {rx("B1"), rx("B2"), rx("B3"), tx("A")};
        QVERIFY(writeLines(b.testing, testing) && writeLines(b.reference, reference));
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QSignalSpy progress(b.calc.get(), &CALC::calcProgressChanged);
        QVERIFY(b.calc->startListToList(b.testing, b.reference, b.report, 0, 300, 1000, 2));
        QVERIFY(b.waitForCalls(1));
        QVERIFY(b.calc->isRunning());
        // no second run while one runs; the lists stay as they are
        QVERIFY(!b.calc->startSingle(b.reference, b.dir.filePath("other.twrpt")));
        QVERIFY(!b.calc->startDetailed(true, 0, false, -1, false, -1, false, 0,
                                       b.dir.filePath("det.txt")));
        QCOMPARE(b.calc->testingLines(), testing);
        b.calc->cancelCalculations();
        b.release();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QCOMPARE(b.calc->errorCode(), 0);
        QCOMPARE(recordedChains(b.log), QStringList{"T>B1"});
        // the row stored before the cancel is in the file
        QCOMPARE(resultNames(b.report), QStringList{"T|||B1"});
        QCOMPARE(progress.last(), (QList<QVariant>{100, 100}));
        QVERIFY(!b.calc->isRunning());
    }

    void cancelTrigger() {
        Bench b;
        QVERIFY(writeLines(b.testing, {tx("T").block(), rx("R"), rx("S")}));
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QVERIFY(b.calc->startTrigger(b.testing, b.report));
        QVERIFY(b.waitForCalls(1));
        b.calc->cancelCalculations();
        b.release();
        QVERIFY(finished.wait(10000));
        QCOMPARE(recordedCalls(b.log).size(), 1);
        QCOMPARE(tableRows(b.report, "trigger").size(), 1);
    }

    void destroyWhileRunning() {
        Bench b;
        QVERIFY(writeLines(b.testing, {tx("T").block()}) &&
                writeLines(b.reference, {rx("B1"), rx("B2")}));
        QVERIFY(b.calc->startListToList(b.testing, b.reference, b.report, 0, 300, 1000, 2));
        QVERIFY(b.waitForCalls(1));
        // the library returns only later; destroying the controller cancels and waits
        std::thread releaser([&b] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            b.release();
        });
        b.calc.reset();
        releaser.join();
        QCOMPARE(recordedCalls(b.log).size(), 1);
        QCOMPARE(resultNames(b.report), QStringList{"T|||B1"});
    }

    void missingLibrary_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no such file") << QStringLiteral("HCMFS_NONE.so") << QByteArray();
        QTest::newRow("not a library")
            << QStringLiteral("HCMFS_TEXT.so") << QByteArray("not an ELF file\n");
        QTest::newRow("no path") << QString() << QByteArray();
    }
    void missingLibrary() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeLines(path, {QString::fromLatin1(content)}));
        CALC calc(dir.filePath("calls.log"), path);
        QCOMPARE(calc.errorCode(), 4);
        QCOMPARE(calc.errorMessage(), QStringLiteral("Could not load HCM library (DLL)!"));
        QVERIFY(!calc.isLibraryLoaded());
        QCOMPARE(calc.libraryVersion(), QString());
        // a run ends at once with code 4 and writes nothing
        const QString input = dir.filePath("in.txt");
        const QString report = dir.filePath("report.twrpt");
        QVERIFY(writeLines(input, {tx("T"), rx("R")}));
        QSignalSpy finished(&calc, &CALC::finished);
        QVERIFY(runToEnd(calc, [&] { return calc.startSingle(input, report); }));
        QCOMPARE(finished.at(0).at(0).toInt(), 1);
        QCOMPARE(calc.errorCode(), 4);
        QVERIFY(!QFile::exists(report));
        QVERIFY(!QFile::exists(dir.filePath("calls.log")));
        // loading the right library afterwards works
        QVERIFY(calc.loadLibrary(recordingLibrary()));
        QVERIFY(calc.isLibraryLoaded());
    }

    void unreadableInput_data() {
        QTest::addColumn<int>("run"); // 0 list to list, 1 single entry, 3 trigger
        QTest::addColumn<bool>("testingThere");
        QTest::addColumn<bool>("referenceThere");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rows");
        const QString testingText = QStringLiteral("Could not read HCM testing data file!");
        const QString referenceText = QStringLiteral("Could not read HCM reference data file!");
        // the run still runs on what was read: the testing PRX gives its error row
        QTest::newRow("list to list, testing") << 0 << false << true << 1 << testingText << 0;
        QTest::newRow("list to list, reference") << 0 << true << false << 2 << referenceText << 1;
        QTest::newRow("single entry") << 1 << false << true << 1 << testingText << 1;
        QTest::newRow("trigger") << 3 << false << true << 1 << testingText << 0;
    }
    void unreadableInput() {
        QFETCH(int, run);
        QFETCH(bool, testingThere);
        QFETCH(bool, referenceThere);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(int, rows);
        Bench b;
        if (testingThere)
            QVERIFY(writeLines(b.testing, {prx("P")}));
        if (referenceThere)
            QVERIFY(writeLines(b.reference, {rx("R")}));
        QSignalSpy finished(b.calc.get(), &CALC::finished);
        QVERIFY(runToEnd(*b.calc, [&] {
            if (run == 0)
                return b.calc->startListToList(b.testing, b.reference, b.report, 0, 300, 1000, 2);
            if (run == 1)
                return b.calc->startSingle(b.testing, b.report);
            return b.calc->startTrigger(b.testing, b.report);
        }));
        QCOMPARE(finished.at(0).at(0).toInt(), run);
        QCOMPARE(b.calc->errorCode(), code);
        QCOMPARE(b.calc->errorMessage(), message);
        const QString table = run == 3 ? QStringLiteral("trigger") : QStringLiteral("results");
        QCOMPARE(sqlValue(b.report, "SELECT COUNT(*) FROM " + table).toInt(), rows);
    }

    void reportFileErrors_data() {
        QTest::addColumn<int>("run");
        QTest::addColumn<bool>("textFile"); // else a folder that does not exist
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString open = QStringLiteral("Could not open the report file for writing!");
        const QString create = QStringLiteral("Could not create report file!");
        for (const int run : {0, 1, 3}) {
            QTest::addRow("run %d, no folder", run) << run << false << 5 << open;
            QTest::addRow("run %d, not a database", run) << run << true << 6 << create;
        }
    }
    void reportFileErrors() {
        QFETCH(int, run);
        QFETCH(bool, textFile);
        QFETCH(int, code);
        QFETCH(QString, message);
        Bench b;
        QVERIFY(writeLines(b.testing, {tx("T"), rx("R")}));
        QVERIFY(writeLines(b.reference, {rx("B")}));
        const QString report =
            textFile ? b.dir.filePath("text.twrpt") : b.dir.filePath("none/report.twrpt");
        const QByteArray text =
            QByteArray("this is not a database, it is a text file\n").repeated(50);
        if (textFile)
            QVERIFY(writeLines(report, {QString::fromLatin1(text)}));
        QVERIFY(runToEnd(*b.calc, [&] {
            if (run == 0)
                return b.calc->startListToList(b.testing, b.reference, report, 0, 300, 1000, 2);
            if (run == 1)
                return b.calc->startSingle(b.testing, report);
            return b.calc->startTrigger(b.testing, report);
        }));
        QCOMPARE(b.calc->errorCode(), code);
        QCOMPARE(b.calc->errorMessage(), message);
        QVERIFY(recordedCalls(b.log).isEmpty());
        if (textFile) {
            QFile f(report);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), text);
        }
    }
};

TARNWELL_TEST(TestCalcRuns)
#include "tst_calcruns.moc"
