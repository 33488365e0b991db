// tarnwell-cli calc and report run as processes with the real FS calculation library on the
// sample file: the stored rows against the library called directly, the exports, the errors.
#include "clirunner.h"
#include "elfversion.h"
#include "hcmfsapi.h"
#include "reportwriter.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using Run = CliRun;

Run calcCli(const QStringList& args) {
    return runCli(args);
}

QString sample() {
    return QStringLiteral(TARNWELL_TEST_DATA "/cli/sample-fs.txt");
}

QString library() {
    return QStringLiteral(HCMFS_LIBRARY_PATH);
}

// the lines of the sample file: 0 header, 1 TX, 2 RX, 3 PTX, 4 PRX
QList<QByteArray> sampleLines() {
    QFile f(sample());
    return f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>();
}

QByteArray line(int i) {
    QByteArray l = sampleLines().value(i);
    if (l.endsWith('\r'))
        l.chop(1);
    return l;
}

// The rows of a report table, each as "column=value" texts joined by "|".
QStringList reportRows(const QString& file, const QString& table, const QStringList& columns) {
    QStringList rows;
    const QString name = QStringLiteral("cli-test-reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec("SELECT " + columns.join(',') + " FROM " + table + " ORDER BY rowid")) {
                while (q.next()) {
                    QStringList cells;
                    for (int i = 0; i < columns.size(); ++i)
                        cells << q.value(i).toString();
                    rows << cells.join('|');
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// The library called directly, as a run calls it.
class Library {
public:
    Library() : m_lib(library()) {
        m_v2 = reinterpret_cast<HCMFS_V2_Function>(m_lib.resolve("HCMFS_V2"));
        m_annex = reinterpret_cast<HCMFS_ANNEX11_1_Function>(m_lib.resolve("HCMFS_ANNEX11_1"));
    }
    bool ok() const { return m_v2 && m_annex; }
    // TD, error, I, overlapping area, NFD, MD, A_Total as they are stored
    QString chain(const QByteArray& tx, const QByteArray& rx) const {
        double area = 0;
        float nfd = 0, md = 0, i = 0, at = 0, td = 0;
        int32_t error = 0;
        m_v2(&area, &nfd, &md, &i, &at, &td, &error, tx.constData(), int32_t(tx.size()),
             rx.constData(), int32_t(rx.size()), "", 0, "", 0, "", 0, "", 0);
        return QStringList{
            ReportWriter::formatTd(td),    error ? QString::number(error) : QString(),
            ReportWriter::formatReal(i),   ReportWriter::formatReal(area),
            ReportWriter::formatReal(nfd), ReportWriter::formatReal(md),
            ReportWriter::formatReal(at)}
            .join('|');
    }
    QString countries(const QByteArray& station, int& code) const {
        char buffer[200];
        int32_t result = -1;
        m_annex(&result, station.constData(), int32_t(station.size()), buffer, 200, "", 0);
        code = result;
        QString text = QString::fromLatin1(buffer, 200);
        return text.left(text.indexOf(' '));
    }

private:
    QLibrary m_lib;
    HCMFS_V2_Function m_v2 = nullptr;
    HCMFS_ANNEX11_1_Function m_annex = nullptr;
};

const QStringList kValueColumns = {"Td", "Error",  "Interference_Level", "Overlapping_Area", "Nfd",
                                   "Md", "A_Total"};

} // namespace

class TestCliCalc : public QObject {
    Q_OBJECT

private slots:
    void listToList() {
        QTemporaryDir dir;
        const QString out = dir.filePath("ltol.twrpt");
        const Run r = calcCli({"calc", "ltol", sample(), sample(), "--out", out});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, "HCM Library version: " + ElfVersion::fileVersion(library()).toUtf8() +
                            "\nRows stored: 6\n");
        QVERIFY2(r.err.endsWith("progress: 100%\n"), r.err.constData());
        // the sample's PTX has no PRX before it and its PRX is its last station line
        QCOMPARE(reportRows(out, "results", {"TxName", "PRxName", "PTxName", "RxName"}),
                 QStringList({"Error!|PRx is missing!|LINZ POESTLINGBERG|",
                              "Error!|WELS|PTX is missing!|", "VIENNA TOWER|||GRAZ SCHLOSSBERG",
                              "Error!|WELS|PTX is missing!|", "VIENNA TOWER|||GRAZ SCHLOSSBERG",
                              "Error!|WELS|PTX is missing!|"}));
        // the values are the library's
        Library lib;
        QVERIFY(lib.ok());
        const QString expected = lib.chain(line(1), line(2));
        QVERIFY(expected.split('|').at(2) != QString()); // a calculated interference level
        const QStringList values = reportRows(out, "results", kValueColumns);
        QCOMPARE(values.at(2), expected);
        QCOMPARE(values.at(4), expected);
        QCOMPARE(reportRows(out, "version", {"ver"}),
                 QStringList{ElfVersion::fileVersion(library())});
    }

    void listToListOptions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("rows");
        QTest::newRow("defaults, library given") << QStringList{"--library", library()} << 6;
        QTest::newRow("TD threshold above every TD") << QStringList{"--td", "1000"} << 4;
        QTest::newRow("VIENNA to GRAZ is 145 km") << QStringList{"--dist=100"} << 4;
        QTest::newRow("distance limit 200 km") << QStringList{"--dist", "200"} << 6;
        QTest::newRow("frequency difference 0 is not below 0") << QStringList{"--freq", "0"} << 4;
        QTest::newRow("PTX distance") << QStringList{"--pdist", "0.5"} << 6;
    }
    void listToListOptions() {
        QFETCH(QStringList, options);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString out = dir.filePath("ltol.twrpt");
        const Run r =
            calcCli(QStringList{"calc", "ltol", sample(), sample(), "--out", out} + options);
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.endsWith("Rows stored: " + QByteArray::number(rows) + "\n"));
        QCOMPARE(reportRows(out, "results", {"TxName"}).size(), rows);
    }

    // a header line, found as the loader finds it, is no station of the chain
    void single_data() {
        QTest::addColumn<bool>("withHeader");
        QTest::addColumn<QString>("indices");
        QTest::newRow("stations only") << false << "0|1|-1|-1";
        QTest::newRow("header line first") << true << "1|2|-1|-1";
    }
    void single() {
        QFETCH(bool, withHeader);
        QFETCH(QString, indices);
        QTemporaryDir dir;
        const QString input = dir.filePath("link.txt");
        QFile f(input);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((withHeader ? line(0) + "\r\n" : QByteArray()) + line(1) + "\r\n" + line(2) +
                "\r\n");
        f.close();
        const QString out = dir.filePath("single.twrpt");
        const Run r = calcCli({"calc", "single", input, "--out", out});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.endsWith("Rows stored: 1\n"));
        QCOMPARE(reportRows(out, "results",
                            {"TxIndex", "RxIndex", "PRxIndex", "PTxIndex", "TxName", "RxName"}),
                 QStringList{indices + "|VIENNA TOWER|GRAZ SCHLOSSBERG"});
        Library lib;
        QCOMPARE(reportRows(out, "results", kValueColumns),
                 QStringList{lib.chain(line(1), line(2))});
    }

    void libraryResultTexts() {
        // a frequency beyond the model, then a configuration file out of range in the data
        // folder (XDG_DATA_HOME: the program hands the library an empty data path)
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("tarnwell"));
        const QString input = dir.filePath("link.txt");
        const QByteArray xdg = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
        for (const char* mhz : {"60000", "18725"}) {
            QFile f(input);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(line(1).replace(";18725;", QByteArray(";") + mhz + ";") + "\n" + line(2));
            f.close();
            const Run r = calcCli({"calc", "single", input, "--out", dir.filePath("single.twrpt")});
            QVERIFY2(r.out.endsWith(mhz[0] == '6' ? "Library result 13 (Frequency outside "
                                                    "0.1-50 GHz (ITU-R P.452)): 1 row\n"
                                                  : "Library result 14 (Model configuration file "
                                                    "invalid): 1 row\n"),
                     r.out.constData());
            QFile ini(dir.filePath("tarnwell/hcmfs-model.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("p_percent = 99\n") > 0);
        }
        xdg.isNull() ? void(qunsetenv("XDG_DATA_HOME")) : void(qputenv("XDG_DATA_HOME", xdg));
    }

    void trigger() {
        QTemporaryDir dir;
        const QString out = dir.filePath("trigger.twrpt");
        const Run r = calcCli({"calc", "trigger", sample(), "--out", out});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.endsWith("Rows stored: 4\n"));
        // the header line is skipped
        Library lib;
        QStringList expected;
        const char* const names[] = {"VIENNA TOWER", "GRAZ SCHLOSSBERG", "LINZ POESTLINGBERG",
                                     "WELS"};
        for (int i = 1; i <= 4; ++i) {
            int code = -1;
            const QString countries = lib.countries(line(i), code);
            expected << QStringList{names[i - 1], QString::fromLatin1(line(i).split(';').at(43)),
                                    countries, QString::number(code)}
                            .join('|');
        }
        QCOMPARE(reportRows(out, "trigger", {"Name", "Reference", "Countries", "Error"}), expected);
        QVERIFY(expected.join(QString()).contains("CZE")); // Linz is near the Czech border
    }

    void reportShowAndExport() {
        QTemporaryDir dir;
        const QString out = dir.filePath("ltol.twrpt");
        QCOMPARE(calcCli({"calc", "ltol", sample(), sample(), "--out", out}).status, 0);
        const Run show = calcCli({"report", "show", out});
        QCOMPARE(show.status, 0);
        const QList<QByteArray> lines = show.out.split('\n');
        QCOMPARE(lines.size(), 1 + 6 + 1); // captions, rows, and the end of the last line
        QVERIFY(lines[0].startsWith("TxIndex\tTxFileNo\tPRxIndex\t"));
        QVERIFY(lines[0].endsWith("\tMD, dB\tTotal att., dB"));
        QCOMPARE(lines[1].split('\t').size(), 25);
        QCOMPARE(lines[3].split('\t').at(7), QByteArray("VIENNA TOWER"));

        const QString xml = dir.filePath("ltol.XML");
        const Run exported = calcCli({"report", "export", out, xml});
        QCOMPARE(exported.status, 0);
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&f);
        int records = 0;
        QStringList txNames;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == QLatin1String("DataRec"))
                ++records;
            else if (reader.isStartElement() && reader.name() == QLatin1String("TxName"))
                txNames << reader.readElementText();
        }
        QVERIFY(!reader.hasError());
        QCOMPARE(records, 7);
        QCOMPARE(txNames.value(0), QStringLiteral("TX Station Name"));
        QCOMPARE(txNames.value(3), QStringLiteral("VIENNA TOWER"));

        const QString trigger = dir.filePath("trigger.twrpt");
        QCOMPARE(calcCli({"calc", "trigger", sample(), "--out", trigger}).status, 0);
        const Run showTrigger = calcCli({"report", "show", trigger});
        QCOMPARE(showTrigger.status, 0);
        QVERIFY(showTrigger.out.startsWith(
            "Station Name\tReference\tCountries to coordinate with\tError\nVIENNA TOWER\t"));
        QCOMPARE(showTrigger.out.count('\n'), 5);
    }

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString s = sample();
        const QString missing = QStringLiteral(TARNWELL_TEST_DATA "/cli/no-such-file.txt");
        const QString out = QStringLiteral("OUT"); // replaced by a path in the test's folder
        QTest::newRow("no calculation") << QStringList{"calc"} << 2 << "usage";
        QTest::newRow("unknown calculation")
            << QStringList{"calc", "sideways", s, "--out", out} << 2 << "unknown calculation";
        QTest::newRow("ltol with one file")
            << QStringList{"calc", "ltol", s, "--out", out} << 2 << "wrong number of files";
        QTest::newRow("no report") << QStringList{"calc", "ltol", s, s} << 2 << "--out";
        QTest::newRow("TD not a number")
            << QStringList{"calc", "ltol", s, s, "--out", out, "--td", "abc"} << 2
            << "--td needs a number";
        QTest::newRow("negative distance limit")
            << QStringList{"calc", "ltol", s, s, "--out", out, "--pdist", "-0.5"} << 2
            << "--pdist must not be negative";
        QTest::newRow("negative frequency limit")
            << QStringList{"calc", "ltol", s, s, "--out", out, "--freq=-1"} << 2
            << "--freq must not be negative";
        QTest::newRow("limit for a single entry")
            << QStringList{"calc", "single", s, "--out", out, "--freq", "5"} << 2
            << "applies to ltol only";
        QTest::newRow("unknown option")
            << QStringList{"calc", "trigger", s, "--out", out, "--frob"} << 2 << "unknown option";
        QTest::newRow("testing file missing")
            << QStringList{"calc", "ltol", missing, s, "--out", out} << 1
            << "Could not read HCM testing data file!";
        QTest::newRow("reference file missing")
            << QStringList{"calc", "ltol", s, missing, "--out", out} << 1
            << "Could not read HCM reference data file!";
        QTest::newRow("trigger file missing")
            << QStringList{"calc", "trigger", missing, "--out", out} << 1
            << "Could not read HCM testing data file!";
        QTest::newRow("no library")
            << QStringList{"calc", "single", s, "--out", out, "--library", missing} << 1
            << "Could not load HCM library (DLL)!";
        QTest::newRow("a text file as library")
            << QStringList{"calc", "single", s, "--out", out, "--library", s} << 1
            << "Could not load HCM library (DLL)!";
        QTest::newRow("report folder missing")
            << QStringList{"calc", "trigger", s, "--out", "/no/such/folder/r.twrpt"} << 1
            << "Could not open the report file for writing!";
        QTest::newRow("report without command") << QStringList{"report"} << 2 << "usage";
        QTest::newRow("show a missing report")
            << QStringList{"report", "show", missing} << 2 << "cannot read";
        QTest::newRow("show a text file")
            << QStringList{"report", "show", s} << 1 << "Could not open HCM Report file!";
        QTest::newRow("export a text file")
            << QStringList{"report", "export", s, out} << 1 << "Could not open HCM Report file!";
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.twrpt");
        args.replaceInStrings(QRegularExpression("^OUT$"), out);
        const Run r = calcCli(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
        QVERIFY(r.out.isEmpty());
        // nothing is left behind, not even a temporary file
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void failedRunKeepsOldReport() {
        QTemporaryDir dir;
        const QString out = dir.filePath("old.twrpt");
        QCOMPARE(calcCli({"calc", "trigger", sample(), "--out", out}).status, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        const Run r =
            calcCli({"calc", "ltol", dir.filePath("missing.txt"), sample(), "--out", out});
        QCOMPARE(r.status, 1);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        // a run that succeeds replaces it
        QCOMPARE(calcCli({"calc", "ltol", sample(), sample(), "--out", out}).status, 0);
        QCOMPARE(reportRows(out, "results", {"TxName"}).size(), 6);
        QCOMPARE(reportRows(out, "trigger", {"Name"}).size(), 0);
    }

    void exportFailure() {
        QTemporaryDir dir;
        const QString out = dir.filePath("r.twrpt");
        QCOMPARE(calcCli({"calc", "trigger", sample(), "--out", out}).status, 0);
        const Run r = calcCli({"report", "export", out, dir.filePath("no/folder/r.xml")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("Could not save the report!"));
    }
};

TARNWELL_TEST(TestCliCalc)
#include "tst_clicalc.moc"
