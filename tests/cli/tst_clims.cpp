// tarnwell-cli ms: dump, check, convert and validate on files the program writes and on
// hand-made ones, with their exit statuses.
#include "clirunner.h"
#include "testregistry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSample = QStringLiteral(TARNWELL_TEST_DATA "/ms/sample.txt");

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject json(const QByteArray& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", out.constData());
    return doc.object();
}

} // namespace

class TestCliMs : public QObject {
    Q_OBJECT

private slots:
    void convertAndDump() {
        QTemporaryDir dir;
        const QString xml = dir.filePath("m.xml");
        CliRun r = runCli({"ms", "convert", kSample, xml});
        QCOMPARE(r.status, 0);
        r = runCli({"ms", "validate", xml});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("valid\n"));
        r = runCli({"ms", "convert", xml, dir.filePath("back.txt")});
        QCOMPARE(r.status, 0);
        QCOMPARE(bytesOf(dir.filePath("back.txt")), bytesOf(kSample));

        r = runCli({"ms", "dump", xml});
        QCOMPARE(r.status, 0);
        const QJsonObject dump = json(r.out);
        QCOMPARE(dump["read_ok"].toBool(), true);
        QVERIFY(dump["error"].isNull());
        QCOMPARE(dump["header"].toObject()["Name"].toString(), QString::fromUtf8("Müller"));
        QCOMPARE(dump["schema_version"].toString(), QString("1.0"));
        const QJsonArray records = dump["records"].toArray();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].toArray().size(), 36);
        QCOMPARE(records[0].toArray()[10].toString(), QString::fromUtf8("Station ä"));
    }

    void checkAndFailures() {
        QTemporaryDir dir;
        QByteArray bytes = bytesOf(kSample);
        bytes.replace(219 + 14 - 1, 1, "X"); // class of station "XL" in the first record
        bytes.replace(0, 2, "xx");           // file number
        const QString bad = dir.filePath("M_bad");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        CliRun r = runCli({"ms", "check", bad, "--json"});
        QCOMPARE(r.status, 1);
        const QJsonObject check = json(r.out);
        QCOMPARE(check["header"].toObject()["FileNumber"].toString(),
                 QString("Field must contain integer number"));
        const QJsonArray rows = check["records"].toArray();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].toObject()["row"].toInt(), 0);
        QCOMPARE(rows[0].toObject()["cells"].toObject()["3"].toString(),
                 QString("Invalid class of station"));
        r = runCli({"ms", "check", bad});
        QVERIFY(r.out.contains("row 0 column 3 (Class of st.): Invalid class of station\n"));
        QCOMPARE(runCli({"ms", "check", kSample}).status, 0);

        // a short file: the read fails, nothing is written
        const QString shortFile = dir.filePath("short.txt");
        QVERIFY(QFile::copy(kSample, shortFile) && QFile::resize(shortFile, 300));
        r = runCli({"ms", "convert", shortFile, dir.filePath("o.xml")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("Error reading record No 1."));
        QVERIFY(!QFile::exists(dir.filePath("o.xml")));
        QCOMPARE(runCli({"ms", "dump", shortFile}).status, 1);
        QCOMPARE(runCli({"ms", "dump", dir.filePath("none.txt")}).status, 2);
        QCOMPARE(runCli({"ms", "convert", kSample}).status, 2);

        // validation: a document that breaks the schema, a schema that is none
        const QString xml = dir.filePath("m.xml");
        QCOMPARE(runCli({"ms", "convert", kSample, xml}).status, 0);
        QByteArray doc = bytesOf(xml);
        doc.replace("<FileVersion>", "<Unexpected>").replace("</FileVersion>", "</Unexpected>");
        QFile out(xml);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(doc));
        out.close();
        const int line = int(doc.left(doc.indexOf("<Unexpected>")).count('\n')) + 1;
        r = runCli({"ms", "validate", xml});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.out.startsWith(QString("line %1: ").arg(line).toUtf8()), r.out.constData());
        r = runCli({"ms", "validate", xml, "--schema", kSample});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err, QByteArray("Invalid schema file\n"));
    }
};

TARNWELL_TEST(TestCliMs)
#include "tst_clims.moc"
