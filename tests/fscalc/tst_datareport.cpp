// The calculation report store: the schema, how values are written, quotes, loading with the
// header texts, the XML export, connections and transactions.
#include "calctestsupport.h"
#include "datareport.h"
#include "reportwriter.h"
#include "reportxmlexport.h"
#include "testregistry.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(ResultRow)

namespace {

ResultRow chainRow(const QString& tx, const QString& rx, double td = 1.5) {
    ResultRow r;
    r.txIndex = 0;
    r.txFileNo = 1;
    r.rxIndex = 3;
    r.rxFileNo = 2;
    r.txName = tx;
    r.rxName = rx;
    r.txCountry = QStringLiteral("AUT");
    r.rxCountry = QStringLiteral("HNG");
    r.txReference = tx + QStringLiteral("-REF");
    r.rxReference = rx + QStringLiteral("-REF");
    r.td = td;
    r.interferenceLevel = -120.5;
    r.overlappingArea = 0.75;
    r.nfd = 1.25;
    r.md = 2.5;
    r.aTotal = 150.25;
    return r;
}

// An exported document: the doctype name, the root's name and per DataRec its child elements
// as "name=text".
struct Xml {
    QString doctype;
    QString root;
    QList<QStringList> records;
    bool ok = false;
};

Xml readXml(const QString& path) {
    Xml x;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return x;
    QXmlStreamReader r(&f);
    int depth = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isDTD()) {
            x.doctype = r.dtdName().toString();
        } else if (r.isStartElement()) {
            ++depth;
            if (depth == 1)
                x.root = r.name().toString();
            else if (depth == 2)
                x.records.append(QStringList());
            else if (depth == 3) {
                const QString name = r.name().toString();
                x.records.last() << name + "=" + r.readElementText();
                --depth;
            }
        } else if (r.isEndElement()) {
            --depth;
        }
    }
    x.ok = !r.hasError();
    return x;
}

// A row with its texts as UTF-8, and the bytes its views point into.
struct Utf8Row {
    explicit Utf8Row(const ResultRow& r) {
        const QString* from[11] = {&r.txName,       &r.prxName,      &r.ptxName,    &r.rxName,
                                   &r.txCountry,    &r.pxCountry,    &r.rxCountry,  &r.txReference,
                                   &r.prxReference, &r.ptxReference, &r.rxReference};
        for (int i = 0; i < 11; ++i)
            bytes[i] = from[i]->toUtf8();
        QByteArrayView* to[11] = {&row.txName,       &row.prxName,     &row.ptxName,
                                  &row.rxName,       &row.txCountry,   &row.pxCountry,
                                  &row.rxCountry,    &row.txReference, &row.prxReference,
                                  &row.ptxReference, &row.rxReference};
        for (int i = 0; i < 11; ++i)
            *to[i] = bytes[i];
        row.txIndex = r.txIndex;
        row.txFileNo = r.txFileNo;
        row.prxIndex = r.prxIndex;
        row.ptxIndex = r.ptxIndex;
        row.pxFileNo = r.pxFileNo;
        row.rxIndex = r.rxIndex;
        row.rxFileNo = r.rxFileNo;
        row.td = r.td;
        row.error = r.error;
        row.interferenceLevel = r.interferenceLevel;
        row.overlappingArea = r.overlappingArea;
        row.nfd = r.nfd;
        row.md = r.md;
        row.aTotal = r.aTotal;
    }
    QByteArray bytes[11];
    ResultRowUtf8 row;
};

} // namespace

class TestDataReport : public QObject {
    Q_OBJECT

private slots:
    void schema() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
            report.close();
            QCOMPARE(dataReport(file).version(), QStringLiteral(" "));
        }
        QCOMPARE(sqlValue(file, "SELECT sql FROM sqlite_master WHERE name='results'").toString(),
                 QStringLiteral(
                     "CREATE TABLE results(TxIndex INTEGER,TxFileNo INTEGER,PRxIndex "
                     "INTEGER,PTxIndex INTEGER,PxFileNo INTEGER,RxIndex INTEGER,RxFileNo "
                     "INTEGER,TxName TEXT,PRxName TEXT,PTxName TEXT,RxName TEXT,Td REAL,Error "
                     "INTEGER,TxCountry TEXT,PxCountry TEXT,RxCountry TEXT,TxReference "
                     "TEXT,PRxReference TEXT,PTxReference TEXT,RxReference "
                     "TEXT,Interference_Level REAL,Overlapping_Area REAL,Nfd REAL,Md REAL,A_Total "
                     "REAL)"));
        QCOMPARE(sqlValue(file, "SELECT sql FROM sqlite_master WHERE name='version'").toString(),
                 QStringLiteral("CREATE TABLE version(ver TEXT)"));
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM version").toInt(), 1);

        // a trigger schema on the same file replaces the results and the version
        {
            ReportWriter report(file);
            QVERIFY(report.insertResult(chainRow("T", "R")));
            QVERIFY(report.setVersion("2.1.0.0"));
            QVERIFY(report.createTriggerSchema());
        }
        QCOMPARE(
            sqlValue(file, "SELECT sql FROM sqlite_master WHERE name='trigger'").toString(),
            QStringLiteral(
                "CREATE TABLE trigger(Name TEXT,Reference TEXT,Countries TEXT,Error INTEGER)"));
        QVERIFY(!sqlValue(file, "SELECT sql FROM sqlite_master WHERE name='results'").isValid());
        QCOMPARE(sqlValue(file, "SELECT ver FROM version").toString(), QStringLiteral(" "));
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM version").toInt(), 1);
        // and back
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
        }
        QVERIFY(!sqlValue(file, "SELECT sql FROM sqlite_master WHERE name='trigger'").isValid());
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 0);
    }

    void formatting_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("real");
        QTest::addColumn<QString>("td");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("cut, not rounded") << 12.3456 << "12.34"
                                          << "12.34";
        QTest::newRow("negative toward zero") << -0.019 << "-0.01"
                                              << "-0.01";
        QTest::newRow("just below zero") << -0.001 << "0"
                                         << "0";
        QTest::newRow("-2222") << -2222.0 << ""
                               << "-2222";
        QTest::newRow("-2222.001") << -2222.001 << "-2222"
                                   << "-2222";
        QTest::newRow("infinity") << inf << ""
                                  << "";
        QTest::newRow("minus infinity") << -inf << ""
                                        << "";
        QTest::newRow("not a number") << std::nan("") << ""
                                      << "";
        QTest::newRow("6 significant digits") << 1234567.891 << "1.23457e+06"
                                              << "1.23457e+06";
        QTest::newRow("6 digits") << -168.5987 << "-168.59"
                                  << "-168.59";
        QTest::newRow("small") << 0.00999 << "0"
                               << "0";
        // what a 32-bit result meant: 0.29f is 0.28999999165...
        QTest::newRow("32-bit 0.29") << double(0.29f) << "0.29"
                                     << "0.29";
        QTest::newRow("32-bit 145.67") << double(145.67f) << "145.67"
                                       << "145.67";
        QTest::newRow("32-bit -3.01") << double(-3.01f) << "-3.01"
                                      << "-3.01";
        QTest::newRow("32-bit 9999.99") << double(9999.99f) << "9999.99"
                                        << "9999.99";
        QTest::newRow("just below a hundredth") << 0.28999 << "0.28"
                                                << "0.28";
        QTest::newRow("0.2999") << 0.2999 << "0.29"
                                << "0.29";
    }
    void formatting() {
        QFETCH(double, value);
        QFETCH(QString, real);
        QFETCH(QString, td);
        QCOMPARE(ReportWriter::formatReal(value), real);
        QCOMPARE(ReportWriter::formatTd(value), td);
    }

    void storedValues_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity();
        for (const char* c : {"Interference_Level", "Overlapping_Area", "Nfd", "Md", "A_Total"}) {
            QTest::addRow("%s 12.3456", c) << c << 12.3456 << "real"
                                           << "12.34";
            QTest::addRow("%s -2222", c) << c << -2222.0 << "text"
                                         << "";
            QTest::addRow("%s infinity", c) << c << inf << "text"
                                            << "";
            QTest::addRow("%s not a number", c) << c << std::nan("") << "text"
                                                << "";
        }
        QTest::newRow("Td -2222") << "Td" << -2222.0 << "real"
                                  << "-2222";
        QTest::newRow("Td -0.019") << "Td" << -0.019 << "real"
                                   << "-0.01";
        QTest::newRow("Td -infinity") << "Td" << -inf << "text"
                                      << "";
        QTest::newRow("Td 1.23456e+06") << "Td" << 1234567.0 << "real"
                                        << "1234570";
        QTest::newRow("Md 9999.999") << "Md" << 9999.999 << "real"
                                     << "9999.99";
        QTest::newRow("Md 12345.678") << "Md" << 12345.678 << "real"
                                      << "12345.7";
        QTest::newRow("Md -99999.999") << "Md" << -99999.999 << "real"
                                       << "-100000";
        QTest::newRow("Error 0") << "Error" << 0.0 << "text"
                                 << "";
        QTest::newRow("Error 7") << "Error" << 7.0 << "integer"
                                 << "7";
    }
    void storedValues() {
        QFETCH(QString, column);
        QFETCH(double, value);
        QFETCH(QString, type);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        ResultRow row = chainRow("T", "R");
        if (column == "Td")
            row.td = value;
        else if (column == "Error")
            row.error = int(value);
        else if (column == "Interference_Level")
            row.interferenceLevel = value;
        else if (column == "Overlapping_Area")
            row.overlappingArea = value;
        else if (column == "Nfd")
            row.nfd = value;
        else if (column == "Md")
            row.md = value;
        else
            row.aTotal = value;
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
            QVERIFY(report.insertResult(row));
        }
        const auto values = columnValues(file, "results", column);
        QCOMPARE(values.size(), 1);
        QCOMPARE(values[0].first, type);
        if (type == "real")
            QCOMPARE(values[0].second.toDouble(), text.toDouble());
        else
            QCOMPARE(values[0].second.toString(), text);
    }

    void storedMatchesText() {
        // whatever the magnitude, the stored number is the one its text stands for
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        QList<double> values;
        quint64 x = 12345;
        for (int i = 0; i < 3000; ++i) {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            const double unit = double(x >> 11) / double(1ULL << 53); // 0 .. 1
            const double magnitude = std::pow(10.0, int(x % 13) - 4); // 1e-4 .. 1e8
            values << (unit - 0.5) * 2 * magnitude;
        }
        values << double(0.29f) << double(-3.01f) << 9999.995 << 10000.0 << -2222.0 << 0.0;
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
            QVERIFY(report.beginTransaction());
            for (const double v : values) {
                ResultRow row = chainRow("T", "R");
                row.md = v;
                row.td = v;
                QVERIFY(report.insertResult(row));
            }
            QVERIFY(report.commit());
        }
        const auto md = columnValues(file, "results", "Md");
        const auto td = columnValues(file, "results", "Td");
        QCOMPARE(md.size(), values.size());
        for (int i = 0; i < values.size(); ++i) {
            const QString real = ReportWriter::formatReal(values[i]);
            QCOMPARE(md[i].first, real.isEmpty() ? QStringLiteral("text") : QStringLiteral("real"));
            if (!real.isEmpty())
                QCOMPARE(md[i].second.toDouble(), real.toDouble());
            QCOMPARE(td[i].second.toDouble(), ReportWriter::formatTd(values[i]).toDouble());
        }
    }

    void bothRowFormsStoreTheSame_data() {
        QTest::addColumn<ResultRow>("row");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("direct chain") << chainRow("T", "R");
        ResultRow repeater = chainRow("T", "R", 0.29f);
        repeater.prxIndex = 4;
        repeater.ptxIndex = 5;
        repeater.pxFileNo = 2;
        repeater.prxName = QStringLiteral("BISAMBERG");
        repeater.ptxName = QStringLiteral("BISAMBERG 2");
        repeater.pxCountry = QStringLiteral("AUT");
        repeater.prxReference = QStringLiteral("PX-REF");
        repeater.ptxReference = QString(); // null
        QTest::newRow("repeater chain, a null text") << repeater;
        ResultRow latin = chainRow(QString::fromLatin1("M\xdcNCHEN 'NORD'"),
                                   QString::fromLatin1("\xc5LESUND\t\x01\xff"));
        latin.txCountry = QString::fromLatin1("\xd6");
        latin.rxReference = QStringLiteral("'); DROP TABLE results; --");
        QTest::newRow("8-bit texts and quotes") << latin;
        ResultRow failed = chainRow("T", "R", -2222);
        failed.error = 7;
        failed.interferenceLevel = failed.overlappingArea = failed.nfd = failed.md = failed.aTotal =
            -2222;
        QTest::newRow("not computed") << failed;
        ResultRow extreme = chainRow("", "", inf);
        extreme.interferenceLevel = std::nan("");
        extreme.overlappingArea = 1e9;
        extreme.nfd = -99999.999;
        extreme.md = 12345.678;
        extreme.aTotal = -inf;
        extreme.error = -3;
        QTest::newRow("large, infinite and empty") << extreme;
    }
    void bothRowFormsStoreTheSame() {
        QFETCH(ResultRow, row);
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        {
            ReportWriter report(file);
            // without the table neither form stores anything, and the report recovers
            QVERIFY(!report.insertResult(row));
            QVERIFY(!report.insertResult(Utf8Row(row).row));
            QVERIFY(report.createResultsSchema());
            QVERIFY(report.insertResult(row));
            const Utf8Row utf8(row);
            QVERIFY(report.insertResult(utf8.row));
        }
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 2);
        const QStringList columns = tableRows(file, "results").at(0).keys();
        QCOMPARE(columns.size(), 25);
        for (const QString& c : columns) {
            const QString value = QStringLiteral("typeof(%1)||':'||quote(%1)").arg(c);
            QCOMPARE(sqlValue(file, "SELECT " + value + " FROM results WHERE rowid=2").toString(),
                     sqlValue(file, "SELECT " + value + " FROM results WHERE rowid=1").toString());
        }
        // and the texts read back as they were given
        const auto stored = tableRows(file, "results").at(1);
        QCOMPARE(stored.value("TxName").toString(), row.txName);
        QCOMPARE(stored.value("RxName").toString(), row.rxName);
        QCOMPARE(stored.value("TxCountry").toString(), row.txCountry);
        QCOMPARE(stored.value("RxReference").toString(), row.rxReference);
    }

    void commitsWithoutSync() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
            QVERIFY(report.setSyncCommits(false));
            for (int round = 0; round < 3; ++round) {
                QVERIFY(report.beginTransaction());
                for (int i = 0; i < 50; ++i)
                    QVERIFY(report.insertResult(Utf8Row(chainRow("T", "R")).row));
                QVERIFY(report.commit());
            }
            QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 150);
            QVERIFY(report.setSyncCommits(true));
        }
        QCOMPARE(sqlValue(file, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 150);
        // the setting belongs to the connection that made it
        QCOMPARE(sqlValue(file, "PRAGMA synchronous").toInt(), 2);
    }

    void quotes() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        ResultRow row = chainRow("O'BRIEN", "R\"X");
        row.prxName = "'";
        row.txCountry = "A'";
        row.rxReference = "'); DROP TABLE results; --";
        {
            ReportWriter report(file);
            QVERIFY(report.createResultsSchema());
            QVERIFY(report.insertResult(row));
            QVERIFY(report.setVersion("2.1'0"));
            report.close();
            QCOMPARE(dataReport(file).version(), QStringLiteral("2.1'0"));
        }
        const auto rows = tableRows(file, "results");
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("TxName").toString(), QStringLiteral("O'BRIEN"));
        QCOMPARE(rows[0].value("RxName").toString(), QStringLiteral("R\"X"));
        QCOMPARE(rows[0].value("PRxName").toString(), QStringLiteral("'"));
        QCOMPARE(rows[0].value("TxCountry").toString(), QStringLiteral("A'"));
        QCOMPARE(rows[0].value("RxReference").toString(),
                 QStringLiteral("'); DROP TABLE results; --"));

        const QString trigger = dir.filePath("t.twrpt");
        {
            ReportWriter report(trigger);
            QVERIFY(report.createTriggerSchema());
            QVERIFY(report.insertTrigger("D'ARC", "R'F", "A','B", 4));
        }
        const auto t = tableRows(trigger, "trigger");
        QCOMPARE(t.size(), 1);
        QCOMPARE(t[0].value("Name").toString(), QStringLiteral("D'ARC"));
        QCOMPARE(t[0].value("Reference").toString(), QStringLiteral("R'F"));
        QCOMPARE(t[0].value("Countries").toString(), QStringLiteral("A','B"));
        QCOMPARE(t[0].value("Error").toInt(), 4);
    }

    void versionWithoutTable() {
        QTemporaryDir dir;
        dataReport report(dir.filePath("empty.twrpt"));
        QCOMPARE(report.version(), QString());
        QVERIFY(!ReportWriter(dir.filePath("empty.twrpt")).setVersion("1"));
    }

    void load_data() {
        QTest::addColumn<bool>("trigger");
        QTest::newRow("results report") << false;
        QTest::newRow("trigger report") << true;
    }
    void load() {
        QFETCH(bool, trigger);
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        {
            ReportWriter writer(file);
            if (trigger) {
                QVERIFY(writer.createTriggerSchema());
                QVERIFY(writer.insertTrigger("S1", "R1", "AUT", 0));
                QVERIFY(writer.insertTrigger("S2", "R2", "", 1));
            } else {
                QVERIFY(writer.createResultsSchema());
                QVERIFY(writer.insertResult(chainRow("T1", "R1")));
                QVERIFY(writer.insertResult(chainRow("T2", "R2")));
            }
            QVERIFY(writer.setVersion("2.1.0.0"));
        }
        dataReport report(file);
        // a trigger report has no table results, a calculation report no table trigger
        QCOMPARE(report.loadResults(), !trigger);
        QCOMPARE(report.loadTrigger(), trigger);
        if (!trigger)
            QVERIFY(report.loadResults());
        QCOMPARE(report.kind(), trigger ? dataReport::Kind::Trigger : dataReport::Kind::Results);
        QCOMPARE(report.version(), QStringLiteral("2.1.0.0"));
        QCOMPARE(report.rowCount(), 2);
        QSqlQueryModel* model = report.model();
        QCOMPARE(model->rowCount(), 2);
        QStringList headers;
        for (int i = 0; i < model->columnCount(); ++i)
            headers << model->headerData(i, Qt::Horizontal).toString();
        const QStringList expected =
            trigger
                ? QStringList{"Station Name", "Reference", "Countries to coordinate with", "Error"}
                : QStringList{"TxIndex",       "TxFileNo",      "PRxIndex",      "PTxIndex",
                              "PxFileNo",      "RxIndex",       "RxFileNo",      "Tx Name",
                              "PRx Name",      "PTx Name",      "Rx Name",       "TD",
                              "Error",         "Tx Country",    "PTxRx Country", "Rx Country",
                              "Tx Reference",  "PRx Reference", "PTx Reference", "Rx Reference",
                              "I, dBW",        "Overl. Area",   "NFD, dB",       "MD, dB",
                              "Total att., dB"};
        QCOMPARE(headers, expected);
        QCOMPARE(model->data(model->index(1, trigger ? 0 : 7)).toString(),
                 trigger ? QStringLiteral("S2") : QStringLiteral("T2"));
    }

    void loadFails_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("text file") << QByteArray("TX;18725;M;1\r\n").repeated(20);
    }
    void loadFails() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        if (!content.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        {
            dataReport report(file);
            QVERIFY(!report.loadResults());
            QVERIFY(!report.loadTrigger());
            QCOMPARE(report.kind(), dataReport::Kind::None);
            QCOMPARE(report.rowCount(), -1);
            QVERIFY(!ReportXmlExport::write(report, dir.filePath("out.xml")));
        }
        QVERIFY(!QFile::exists(dir.filePath("out.xml")));
        // looking at a file that is not there does not create it; a text file stays as it was
        if (content.isEmpty()) {
            QVERIFY(!QFile::exists(file));
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    void exportEmpty_data() {
        QTest::addColumn<bool>("trigger");
        QTest::newRow("results") << false;
        QTest::newRow("trigger") << true;
    }
    void exportEmpty() {
        QFETCH(bool, trigger);
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        {
            ReportWriter writer(file);
            QVERIFY(trigger ? writer.createTriggerSchema() : writer.createResultsSchema());
        }
        dataReport report(file);
        const QString xml = dir.filePath("r.xml");
        QVERIFY(ReportXmlExport::write(report, xml)); // loads the report itself
        const Xml x = readXml(xml);
        QVERIFY(x.ok);
        QCOMPARE(x.doctype, QStringLiteral("Calculation_Report"));
        QCOMPARE(x.root, QStringLiteral("Data"));
        QCOMPARE(x.records.size(), 0);
    }

    void exportResults() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        ResultRow second = chainRow("T2", "R2", 0.5);
        second.prxName = "P2";
        second.ptxName = "Q2";
        second.pxCountry = "D";
        second.prxReference = "P2-REF";
        second.ptxReference = "Q2-REF";
        second.error = 4;
        second.nfd = -2222;
        second.txName = QStringLiteral("B\u00c9LA<&>\x01");
        {
            ReportWriter writer(file);
            QVERIFY(writer.createResultsSchema());
            QVERIFY(writer.insertResult(chainRow("T1", "R1", 3.456)));
            QVERIFY(writer.insertResult(second));
        }
        dataReport report(file);
        QVERIFY(report.loadResults());
        const QString xml = dir.filePath("r.xml");
        // an old file is replaced
        QFile old(xml);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content that is longer than nothing");
        old.close();
        QVERIFY(ReportXmlExport::write(report, xml));
        const Xml x = readXml(xml);
        QVERIFY(x.ok);
        QCOMPARE(x.doctype, QStringLiteral("Calculation_Report"));
        QCOMPARE(x.root, QStringLiteral("Data"));
        QCOMPARE(x.records.size(), 3);
        QCOMPARE(
            x.records[0],
            QStringList({"TxName=TX Station Name", "PRxName=PRX Station Name",
                         "PTxName=PTX Station Name", "RxName=RX Station Name", "Td=TD",
                         "Error=Error", "TxCountry=TX Country", "PxCountry=PTX and PRX Country",
                         "RxCountry=RX Country", "TxReference=TX Reference",
                         "PRxReference=PRX Reference", "PTxReference=PTX Reference",
                         "RxReference=RX Reference", "IntLevel=Interference Level, dBW",
                         "OverlappingArea=Overlapping Area", "Nfd=NFD", "Md=MD",
                         "Atot=Total attenuation, dB"}));
        QCOMPARE(x.records[1], QStringList({"TxName=T1", "PRxName=", "PTxName=", "RxName=R1",
                                            "Td=3.45", "Error=", "TxCountry=AUT",
                                            "PxCountry=", "RxCountry=HNG", "TxReference=T1-REF",
                                            "PRxReference=", "PTxReference=", "RxReference=R1-REF",
                                            "IntLevel=-120.5", "OverlappingArea=0.75", "Nfd=1.25",
                                            "Md=2.5", "Atot=150.25"}));
        QCOMPARE(
            x.records[2],
            QStringList({QStringLiteral("TxName=B\u00c9LA<&>\ufffd"), "PRxName=P2", "PTxName=Q2",
                         "RxName=R2", "Td=0.5", "Error=4", "TxCountry=AUT", "PxCountry=D",
                         "RxCountry=HNG", "TxReference=T2-REF", "PRxReference=P2-REF",
                         "PTxReference=Q2-REF", "RxReference=R2-REF", "IntLevel=-120.5",
                         "OverlappingArea=0.75", "Nfd=", "Md=2.5", "Atot=150.25"}));
    }

    void exportTrigger() {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.twrpt");
        {
            ReportWriter writer(file);
            QVERIFY(writer.createTriggerSchema());
            QVERIFY(writer.insertTrigger("S1", "R1", "AUT,CZE", 0));
            QVERIFY(writer.insertTrigger("S'2", "R2", "", 3));
        }
        dataReport report(file);
        QVERIFY(!report.loadResults());
        QVERIFY(report.loadTrigger());
        const QString xml = dir.filePath("t.xml");
        QVERIFY(ReportXmlExport::write(report, xml));
        const Xml x = readXml(xml);
        QVERIFY(x.ok);
        QCOMPARE(x.records.size(), 3);
        QCOMPARE(x.records[0],
                 QStringList({"Name=Station Name", "Reference=Reference",
                              "Countries=Countries to co-ordinate with", "Error=Error"}));
        QCOMPARE(x.records[1],
                 QStringList({"Name=S1", "Reference=R1", "Countries=AUT,CZE", "Error=0"}));
        QCOMPARE(x.records[2], QStringList({"Name=S'2", "Reference=R2", "Countries=", "Error=3"}));
        // the document is indented by one blank per level
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.startsWith("<!DOCTYPE Calculation_Report>\n<Data>\n <DataRec>\n  <Name>"));
    }

    void exportUnwritable() {
        QTemporaryDir dir;
        const QString file = dir.filePath("t.twrpt");
        {
            ReportWriter writer(file);
            QVERIFY(writer.createTriggerSchema());
        }
        dataReport report(file);
        QString error;
        QVERIFY(!ReportXmlExport::write(report, dir.filePath("no/such/folder/t.xml"), {}, &error));
        QVERIFY(error.endsWith("No such file or directory"));
    }

    // the export tells its progress now and then and stops when told to, leaving the old file
    void exportProgressAndStop_data() {
        QTest::addColumn<int>("stopAfterCalls"); // 0: never stop
        QTest::newRow("to the end") << 0;
        QTest::newRow("stopped") << 1;
    }
    void exportProgressAndStop() {
        QFETCH(int, stopAfterCalls);
        QTemporaryDir dir;
        const QString file = dir.filePath("big.twrpt");
        const int rows = 2500;
        {
            ReportWriter writer(file);
            QVERIFY(writer.createResultsSchema());
            QVERIFY(writer.beginTransaction());
            for (int i = 0; i < rows; ++i)
                QVERIFY(writer.insertResult(chainRow(QString::number(i), "R")));
            QVERIFY(writer.commit());
        }
        const QString xml = dir.filePath("big.xml");
        {
            QFile old(xml);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        QList<qint64> told;
        dataReport report(file);
        const bool done = ReportXmlExport::write(report, xml, [&](qint64 written) {
            told << written;
            return stopAfterCalls == 0 || told.size() < stopAfterCalls;
        });
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        if (stopAfterCalls) {
            QVERIFY(!done);
            QCOMPARE(told, QList<qint64>{1024});
            QCOMPARE(f.readAll(), QByteArray("old"));
        } else {
            QVERIFY(done);
            QCOMPARE(told, (QList<qint64>{1024, 2048}));
            QCOMPARE(readXml(xml).records.size(), rows + 1);
        }
    }
    void connections() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        QString firstName;
        {
            // made within the same second, used at the same time on one file
            dataReport a(file);
            dataReport b(file);
            firstName = a.connectionName();
            QVERIFY(a.connectionName() != b.connectionName());
            QVERIFY(a.connectionName().startsWith("CalcReport"));
            QVERIFY(QSqlDatabase::contains(a.connectionName()));
            // a writer's connection is its own: the readers see what it committed
            ReportWriter writer(file);
            QVERIFY(writer.createResultsSchema());
            QVERIFY(writer.insertResult(chainRow("T", "R")));
            QVERIFY(a.loadResults());
            QVERIFY(b.loadResults());
            QCOMPARE(b.rowCount(), 1);
        }
        QVERIFY(!QSqlDatabase::contains(firstName));
    }

    void transactions() {
        QTemporaryDir dir;
        const QString file = dir.filePath("r.twrpt");
        ReportWriter writer(file);
        QVERIFY(writer.createResultsSchema());
        QVERIFY(writer.beginTransaction());
        QVERIFY(writer.inTransaction());
        for (int i = 0; i < 100; ++i)
            QVERIFY(writer.insertResult(chainRow(QString("T%1").arg(i), "R")));
        // not committed: another connection does not see the rows yet
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 0);
        QVERIFY(writer.commit());
        QVERIFY(!writer.inTransaction());
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 100);
        // close() commits an open transaction
        QVERIFY(writer.beginTransaction());
        QVERIFY(writer.insertResult(chainRow("LAST", "R")));
        writer.close();
        QCOMPARE(sqlValue(file, "SELECT COUNT(*) FROM results").toInt(), 101);
    }
};

TARNWELL_TEST(TestDataReport)
#include "tst_datareport.moc"
