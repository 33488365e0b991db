// tarnwell-cli against what is not a plain file: devices, FIFOs, folders, links, an output
// that is also an input, long names, a write limit and a full disk, signals, hostile reports.
#include "clirunner.h"
#include "reportwriter.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray sampleLine(int i) {
    QFile f(QStringLiteral(TARNWELL_TEST_DATA "/cli/sample-fs.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split('\n').value(i).trimmed() : QByteArray();
}

// the kind of file a path is (a link itself, not what it points to); 0 when there is none
mode_t kindOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

// runs tarnwell-cli with a limit on the size of the files it writes (SIGXFSZ ignored, so a
// write beyond it fails with EFBIG)
CliRun runLimited(const QStringList& args, rlim_t maxFileSize) {
    QProcess p;
    p.setChildProcessModifier([maxFileSize] {
        const struct rlimit limit { maxFileSize, maxFileSize };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    p.start(QStringLiteral(TARNWELL_CLI_PATH), args);
    CliRun r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r = {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    return r;
}

// A folder with a testing file of `pairs` TX and RX lines, a trigger report of it and an
// "old" file that commands try to replace.
struct Place {
    QTemporaryDir dir;
    QString input, report, old;
    explicit Place(int pairs = 1) {
        input = dir.filePath("in.txt");
        QFile f(input);
        f.open(QIODevice::WriteOnly);
        for (int i = 0; i < pairs; ++i)
            f.write(sampleLine(1) + "\r\n" + sampleLine(2) + "\r\n");
        f.close();
        report = dir.filePath("r.twrpt");
        runCli({"calc", "trigger", input, "--out", report});
        old = dir.filePath("old");
        QFile o(old);
        o.open(QIODevice::WriteOnly);
        o.write("old");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // the command of a row: IN, REPORT and OUT stand for the files
    QStringList args(QStringList a, const QString& out) const {
        a.replaceInStrings(QRegularExpression("^IN$"), input);
        a.replaceInStrings(QRegularExpression("^REPORT$"), report);
        return a.replaceInStrings(QRegularExpression("^OUT$"), out);
    }
};

const QStringList kRewrite{"rewrite", "IN", "OUT"};
const QStringList kCalc{"calc", "ltol", "IN", "IN", "--out", "OUT", "--td", "-1000"};
const QStringList kExport{"report", "export", "REPORT", "OUT"};

} // namespace

class TestCliFiles : public QObject {
    Q_OBJECT

private slots:
    // A target that is not a regular file, or that is an input, is refused and stays what it
    // was; a link is written through and stays a link; a long name needs no longer temporary
    // name.
    void writeTargets_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("target"); // fifo, dir, device, link, long, input, input link
        QTest::addColumn<int>("status");
        for (const auto& [name, command, failure] :
             {std::tuple{"rewrite", kRewrite, 2}, {"calc", kCalc, 1}, {"export", kExport, 1}}) {
            for (const char* target : {"fifo", "dir", "device"})
                QTest::addRow("%s to a %s", name, target) << command << target << failure;
            QTest::addRow("%s through a link", name) << command << "link" << 0;
            QTest::addRow("%s, 250-character name", name) << command << "long" << 0;
            if (command != kRewrite) // rewriting a file in place is allowed
                for (const char* target : {"input", "input link"})
                    QTest::addRow("%s to its %s", name, target) << command << target << 2;
        }
    }
    void writeTargets() {
        QFETCH(QStringList, command);
        QFETCH(QString, target);
        QFETCH(int, status);
        Place place;
        const QString input = command == kExport ? place.report : place.input;
        QString out = place.path(target);
        if (target == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(out).constData(), 0600) == 0);
        else if (target == "dir")
            QVERIFY(QDir().mkpath(out));
        else if (target == "device")
            out = QStringLiteral("/dev/null");
        else if (target == "link" || target == "input link")
            QVERIFY(QFile::link(target == "link" ? place.old : input, out));
        else if (target == "long")
            out = place.path(QString(250, QLatin1Char('x')));
        else
            out = input;
        const QStringList before = entries(place.dir.path());
        const mode_t kind = kindOf(out);
        const QByteArray inputBytes = bytesOf(input);
        const CliRun r = runCli(place.args(command, out));
        QCOMPARE(r.status, status);
        QCOMPARE(entries(place.dir.path()),
                 target == "long" ? before + QStringList{QFileInfo(out).fileName()} : before);
        QCOMPARE(kindOf(out), target == "long" ? S_IFREG : kind);
        if (status != 0) {
            const QString why =
                target.startsWith("input") ? " is also an input file" : " is not a regular file";
            QVERIFY2(r.err.contains((out + why).toUtf8()), r.err.constData());
            QCOMPARE(bytesOf(input), inputBytes);
        } else if (target == "link") {
            QVERIFY(QFileInfo(place.old).size() > 3); // the file it points to was replaced
        }
    }

    // readers refuse what is not a regular file instead of hanging on a FIFO or reading a
    // device for ever
    void readSources_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("status");
        QTest::newRow("check") << QStringList{"check", "SRC"} << 2;
        QTest::newRow("rewrite") << QStringList{"rewrite", "SRC", "OUT"} << 2;
        QTest::newRow("calc trigger") << QStringList{"calc", "trigger", "SRC", "--out", "OUT"} << 1;
        QTest::newRow("calc ltol") << QStringList{"calc", "ltol", "IN", "SRC", "--out", "OUT"} << 1;
        QTest::newRow("report show") << QStringList{"report", "show", "SRC"} << 2;
    }
    void readSources() {
        QFETCH(QStringList, command);
        QFETCH(int, status);
        Place place;
        const QString fifo = place.path("fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        for (const QString& source : {fifo, QStringLiteral("/dev/zero")}) {
            const CliRun r = runCli(place.args(command, place.path("out"))
                                        .replaceInStrings(QRegularExpression("^SRC$"), source));
            QCOMPARE(r.status, status);
            QVERIFY2(r.err.contains((source + " is not a regular file").toUtf8()),
                     r.err.constData());
            QVERIFY(!QFile::exists(place.path("out")));
        }
    }

    // A write that fails half-way (a file-size limit here, a full tmpfs where root may mount
    // one) ends the command with the reason; the old file stays and nothing is left behind.
    void writeFailures_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("calc, size limit")
            << kCalc << false << 1 << "Could not write the report file:\n";
        QTest::newRow("rewrite, size limit") << kRewrite << false << 2 << "File too large";
        QTest::newRow("export, size limit") << kExport << false << 1 << "File too large";
        QTest::newRow("calc, full disk")
            << kCalc << true << 1 << "Could not write the report file:\ndatabase or disk is full";
        QTest::newRow("rewrite, full disk") << kRewrite << true << 2 << "No space left on device";
        QTest::newRow("export, full disk") << kExport << true << 1 << "No space left on device";
    }
    void writeFailures() {
        QFETCH(QStringList, command);
        QFETCH(bool, fullDisk);
        QFETCH(int, status);
        QFETCH(QString, reason);
        Place place(100);
        QString folder = place.dir.path();
        if (fullDisk) {
            folder = place.path("small");
            QDir().mkpath(folder);
            if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=32k", "tmpfs", folder}) != 0)
                QSKIP("no tmpfs can be mounted here (root only)");
        }
        const QString out = folder + "/out";
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QStringList args = place.args(command, out);
        const CliRun r = fullDisk ? runCli(args) : runLimited(args, 16 * 1024);
        if (fullDisk)
            QProcess::execute("umount", {folder});
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(reason.toUtf8()), r.err.constData());
        if (!fullDisk) {
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
            QCOMPARE(entries(folder), (QStringList{"in.txt", "old", "out", "r.twrpt"}));
        }
    }

    // Ctrl+C and kill: the temporary files go, the old report stays, the status is the shell's
    void stopSignals_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }
    void stopSignals() {
        QFETCH(int, signal);
        Place place(600);
        const QStringList before = entries(place.dir.path());
        QProcess p;
        p.start(TARNWELL_CLI_PATH, place.args(kCalc, place.old));
        QVERIFY(p.waitForStarted());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return p.readAllStandardError().contains("progress:") ||
                       p.state() == QProcess::NotRunning;
            },
            60000));
        QCOMPARE(p.state(), QProcess::Running);
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 128 + signal);
        QCOMPARE(entries(place.dir.path()), before);
        QCOMPARE(QFileInfo(place.old).size(), 3);
    }

    // a report whose table is a view (a recursive one never ends) or of another shape is not
    // shown nor exported; a recursive view as its version table does not hang the showing
    void hostileReports_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("status");
        QString results = QString(ReportWriter::resultsTableSql);
        QTest::newRow("results is a view") << results.replace("TABLE results", "TABLE r2") +
                                                  ";CREATE VIEW results AS SELECT * FROM r2"
                                           << 1;
        QTest::newRow("trigger is a recursive view")
            << "CREATE VIEW trigger AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM "
               "c) "
               "SELECT x AS Name, x AS Reference, x AS Countries, x AS Error FROM c"
            << 1;
        QTest::newRow("results of another shape") << "CREATE TABLE results(TxIndex, Td)" << 1;
        QTest::newRow("version is a recursive view")
            << QString(ReportWriter::triggerTableSql) +
                   ";CREATE VIEW version AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 "
                   "FROM c) SELECT x AS ver FROM c"
            << 0;
    }
    void hostileReports() {
        QFETCH(QString, sql);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString report = dir.filePath("hostile.twrpt");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "hostile");
            db.setDatabaseName(report);
            QVERIFY(db.open());
            for (const QString& statement : sql.split(';'))
                QVERIFY(QSqlQuery(db).exec(statement));
            db.close();
        }
        QSqlDatabase::removeDatabase("hostile");
        const QString xml = dir.filePath("out.xml");
        for (const QStringList& args : {QStringList{"report", "show", report},
                                        QStringList{"report", "export", report, xml}}) {
            const CliRun r = runCli(args);
            QCOMPARE(r.status, status);
            QCOMPARE(QFile::exists(xml), status == 0 && args.size() == 4);
            if (status)
                QVERIFY2(r.err.contains("is not a Tarnwell report"), r.err.constData());
        }
    }

    // station texts with control characters: "report show" keeps one row a line, the XML
    // export reads back with its carriage returns
    void controlCharacters() {
        QTemporaryDir dir;
        const QString report = dir.filePath("r.twrpt");
        const QStringList names{"TAB\tX", "CR\rX", "LF\nX", "BACK\\X", QString("CTRL") + QChar(1)};
        {
            ReportWriter store(report);
            QVERIFY(store.createTriggerSchema());
            for (const QString& name : names)
                QVERIFY(store.insertTrigger(name, "REF", "AUT", 0));
        }
        const CliRun shown = runCli({"report", "show", report});
        QCOMPARE(shown.status, 0);
        QCOMPARE(
            shown.out.split('\n').mid(1, 5),
            (QList<QByteArray>{"TAB\\tX\tREF\tAUT\t0", "CR\\rX\tREF\tAUT\t0", "LF\\nX\tREF\tAUT\t0",
                               "BACK\\\\X\tREF\tAUT\t0", "CTRL\\x01\tREF\tAUT\t0"}));
        const QString xml = dir.filePath("r.xml");
        QCOMPARE(runCli({"report", "export", report, xml}).status, 0);
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader reader(&f);
        QStringList read;
        while (!reader.atEnd())
            if (reader.readNext() == QXmlStreamReader::StartElement &&
                reader.name() == QLatin1String("Name"))
                read << reader.readElementText();
        QVERIFY(!reader.hasError());
        QCOMPARE(read.mid(1), (QStringList{"TAB\tX", "CR\rX", "LF\nX", "BACK\\X",
                                           QString("CTRL") + QChar(0xFFFD)}));
    }

    // file names are 8-bit: the JSON shows their bytes as Latin-1 characters, always UTF-8
    void jsonFileNames() {
        QTemporaryDir dir;
        const QByteArray name = dir.path().toUtf8() + "/caf\xe9-\xc3(.txt";
        QFile f(dir.filePath("x"));
        QVERIFY(QFile::copy(QStringLiteral(TARNWELL_TEST_DATA "/cli/sample-fs.txt"), f.fileName()));
        QVERIFY(::rename(QFile::encodeName(f.fileName()).constData(), name.constData()) == 0);
        QProcess p; // the name goes to the command as bytes through the shell
        p.start("sh", {"-c", "exec \"$0\" check --json \"$(printf '%s' \"$1\" | base64 -d)\"",
                       TARNWELL_CLI_PATH, QString::fromLatin1(name.toBase64())});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAllStandardOutput();
        QStringDecoder utf8(QStringDecoder::Utf8);
        QVERIFY(!QString(utf8(out)).isEmpty() && !utf8.hasError());
        QCOMPARE(QJsonDocument::fromJson(out)["file"].toString(), QString::fromLatin1(name));
    }
};

TARNWELL_TEST(TestCliFiles)
#include "tst_clifiles.moc"
