// tarnwell-cli run as a process: the report texts, the JSON shape, exit statuses, rewrite.
#include "clirunner.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

Run cli(const QStringList& args) {
    return runCli(args);
}

QString data(const char* name) {
    return QStringLiteral(TARNWELL_TEST_DATA "/cli/") + name;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QList<int> codes(const QJsonValue& v) {
    QList<int> list;
    for (const QJsonValue& c : v.toArray())
        list << c.toInt();
    return list;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void cleanFileText() {
        const Run r = cli({"check", data("sample-fs.txt")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Found errors: 0\nFound warnings: 0\n"));
        QVERIFY(r.err.isEmpty());
    }

    void faultyFileText() {
        const Run r = cli({"check", data("faulty-fs.txt")});
        QCOMPARE(r.status, 1);
        // load errors first, then the report items as the editor words them, then the counts
        QVERIFY2(
            r.out.startsWith("Line 2: RX record is too short.\n"
                             "HEADER: \nErrors:\n"
                             "Value of Number of records does not match the actual record count.\n"
                             "Warnings:\n\n"
                             "RECORD NO: 0\nErrors:\nStation name is too long.\n"
                             "Height of antenna above ground is not a number.\nWarnings:\n\n"
                             "RECORD NO: 1\nErrors:\nCountry is missing.\n"),
            r.out.constData());
        QVERIFY(r.out.contains("Warnings:\nStation name is empty.\n\n"));
        QVERIFY(!r.out.contains("RECORD NO: 2"));
        // 1 header error, 2 in record 0 and 18 in the short record 1
        QVERIFY(r.out.endsWith("Found errors: 21\nFound warnings: 1\n"));
    }

    void json_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QList<int>>("record0");
        QTest::addColumn<bool>("stationNameWarning");
        QTest::addColumn<bool>("referenceChecked");
        QTest::newRow("defaults") << QStringList() << QList<int>{36, 128} << true << true;
        QTest::newRow("none") << QStringList{"--options", "none"} << QList<int>{36, 128} << true
                              << true;
        QTest::newRow("calc-only")
            << QStringList{"--options=calc-only,format"} << QList<int>{128} << false << false;
        QTest::newRow("all") << QStringList{"--options", "calc-only,format,values,chars"}
                             << QList<int>{128} << false << false;
    }
    void json() {
        QFETCH(QStringList, options);
        QFETCH(QList<int>, record0);
        QFETCH(bool, stationNameWarning);
        QFETCH(bool, referenceChecked);
        const Run r =
            cli(QStringList{"check", "--json"} + options + QStringList{data("faulty-fs.txt")});
        QCOMPARE(r.status, 1);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(doc.isObject());
        const QJsonObject o = doc.object();
        QCOMPARE(o.keys(), QStringList({"file", "has_header", "header", "load_errors", "records"}));
        QCOMPARE(o["file"].toString(), data("faulty-fs.txt"));
        QCOMPARE(o["has_header"].toBool(), true);
        QCOMPARE(codes(o["header"]), QList<int>{165});

        const QJsonArray loadErrors = o["load_errors"].toArray();
        QCOMPARE(loadErrors.size(), 1);
        QCOMPARE(loadErrors[0].toObject()["line"].toInt(), 2);
        QCOMPARE(loadErrors[0].toObject()["code"].toInt(), 141);
        QCOMPARE(loadErrors[0].toObject()["text"].toString(), QString("RX record is too short."));

        const QJsonArray records = o["records"].toArray();
        QCOMPARE(records.size(), 3);
        for (int i = 0; i < records.size(); ++i) {
            const QJsonObject rec = records[i].toObject();
            QCOMPARE(rec.keys(), QStringList({"codes", "line", "no"}));
            QCOMPARE(rec["no"].toInt(), i);
            QCOMPARE(rec["line"].toInt(), i + 1);
        }
        QCOMPARE(codes(records[0].toObject()["codes"]), record0);
        const QList<int> short1 = codes(records[1].toObject()["codes"]);
        QCOMPARE(short1.contains(1007), stationNameWarning);
        QCOMPARE(short1.contains(136), referenceChecked);
        QVERIFY(short1.contains(37));
        QVERIFY(codes(records[2].toObject()["codes"]).isEmpty());
    }

    void jsonWithoutHeaderAndSeveralFiles() {
        QTemporaryDir dir;
        QByteArray bytes = readFile(data("sample-fs.txt"));
        bytes.remove(0, bytes.indexOf("\r\n") + 2);
        const QString noHeader = dir.filePath("no header.txt");
        QVERIFY(writeFile(noHeader, bytes));

        const Run r = cli({"check", "--json", noHeader, data("sample-fs.txt")});
        QCOMPARE(r.status, 0);
        const QJsonDocument doc = QJsonDocument::fromJson(r.out);
        QVERIFY(doc.isArray());
        const QJsonArray files = doc.array();
        QCOMPARE(files.size(), 2);
        const QJsonObject first = files[0].toObject();
        QCOMPARE(first["file"].toString(), noHeader);
        QCOMPARE(first["has_header"].toBool(), false);
        QVERIFY(first["header"].isNull());
        QCOMPARE(first["records"].toArray().size(), 4);
        QCOMPARE(first["records"].toArray()[3].toObject()["line"].toInt(), 3);
        QCOMPARE(files[1].toObject()["has_header"].toBool(), true);
        QVERIFY(files[1].toObject()["header"].isArray());
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString file = data("sample-fs.txt");
        QTest::newRow("no command") << QStringList() << "usage";
        QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command";
        QTest::newRow("no file") << QStringList{"check"} << "usage";
        QTest::newRow("unknown option")
            << QStringList{"check", "--frob", file} << "unknown option --frob";
        QTest::newRow("unknown check option")
            << QStringList{"check", "--options", "format,bogus", file} << "bogus";
        QTest::newRow("empty check options")
            << QStringList{"check", "--options=", file} << "--options";
        QTest::newRow("options without value")
            << QStringList{"check", "--options"} << "needs a value";
        QTest::newRow("missing file")
            << QStringList{"check", data("no-such-file.txt")} << "cannot read";
        QTest::newRow("directory") << QStringList{"check", QStringLiteral(TARNWELL_TEST_DATA)}
                                   << QStringLiteral(TARNWELL_TEST_DATA " is not a regular file");
        QTest::newRow("device") << QStringList{"check", "/dev/zero"}
                                << "/dev/zero is not a regular file";
        QTest::newRow("rewrite one file") << QStringList{"rewrite", file} << "usage";
        QTest::newRow("rewrite three files") << QStringList{"rewrite", file, file, file} << "usage";
    }
    void badArguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = cli(args);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }

    void unreadableFileAmongOthers() {
        // the readable file is still reported; the status says a file could not be read
        const Run r = cli({"check", data("sample-fs.txt"), data("no-such-file.txt")});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.contains("File: " + data("sample-fs.txt").toUtf8()));
        QVERIFY(r.err.contains("cannot read"));
    }

    void rewriteNormalises_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("lf") << QByteArray("\n");
        QTest::newRow("cr") << QByteArray("\r");
        QTest::newRow("crlf") << QByteArray("\r\n");
    }
    void rewriteNormalises() {
        QFETCH(QByteArray, lineEnd);
        QTemporaryDir dir;
        const QByteArray sample = readFile(data("sample-fs.txt"));
        QByteArray input = sample;
        input.replace("\r\n", lineEnd);
        input.chop(lineEnd.size()); // the last line without a line end
        const QString in = dir.filePath("in.txt"), out = dir.filePath("out.txt"),
                      again = dir.filePath("again.txt");
        QVERIFY(writeFile(in, input));

        Run r = cli({"rewrite", in, out});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(out), sample);
        // a file it wrote reads back byte-identical
        r = cli({"rewrite", out, again});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(again), readFile(out));

        r = cli({"rewrite", in, out, "--no-header"});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(out), sample.mid(sample.indexOf("\r\n") + 2));
    }

    void rewriteFailureKeepsOutput() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.txt");
        QVERIFY(writeFile(out, "previous contents"));
        Run r = cli({"rewrite", data("no-such-file.txt"), out});
        QCOMPARE(r.status, 2);
        QCOMPARE(readFile(out), QByteArray("previous contents"));

        r = cli({"rewrite", data("sample-fs.txt"), dir.filePath("missing/folder/out.txt")});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("cannot write"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList{"out.txt"}); // no temporary left
    }

    void rewriteReportsLoadErrors() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.txt");
        const Run r = cli({"rewrite", data("faulty-fs.txt"), out});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("Line 2: RX record is too short."));
        const QList<QByteArray> lines = readFile(out).split('\n');
        QCOMPARE(lines.size(), 5); // header, three records, nothing after the last line end
        // the unterminated "FX" is not kept: the status and the message say so
        QVERIFY(lines[2].startsWith("RX;18725;M;1;;;;"));
    }
};

TARNWELL_TEST(TestCli)
#include "tst_cli.moc"
