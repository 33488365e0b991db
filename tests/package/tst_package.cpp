// The desktop entry and the AppStream metadata pass their validators; the Debian package,
// unpacked into a temporary root, runs from there: tarnwell-cli finds its schema and
// calculation library, and tarnwell starts with its settings and masks in the user's folders.
#include "elfversion.h"
#include "testregistry.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    Run r;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return r;
    }
    r.status = process.exitCode();
    r.out = process.readAllStandardOutput();
    return r;
}

// every file of a tree with its size and time of change
QStringList snapshot(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        files << QStringLiteral("%1 %2 %3")
                     .arg(file.filePath())
                     .arg(file.size())
                     .arg(file.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

QString testData(const char* name) {
    return QStringLiteral(TARNWELL_TEST_DATA "/") + QLatin1String(name);
}

} // namespace

class TestDesktopFiles : public QObject {
    Q_OBJECT

private slots:
    void validate_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList{TARNWELL_SOURCE_DIR "/data/tarnwell.desktop"};
        QTest::newRow("AppStream metadata")
            << "appstreamcli"
            << QStringList{"validate", "--no-net",
                           TARNWELL_SOURCE_DIR "/data/org.tarnwell.Tarnwell.metainfo.xml"};
    }
    void validate() {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(tool + " is not installed"));
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(tool, args);
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAll().constData());
    }

    // the release the metadata announces is the program's version
    void metadataVersion() {
        QFile file(TARNWELL_SOURCE_DIR "/data/org.tarnwell.Tarnwell.metainfo.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<release version=\"" TARNWELL_VERSION "\""));
    }
};

class TestInstalledPackage : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_package;
    QProcessEnvironment m_env;

    QString installed(const QString& path) const { return m_root.filePath("usr/" + path); }

private slots:
    void initTestCase() {
#ifndef TARNWELL_PACKAGE_DIR
        QSKIP("this build makes no package (sanitizers)");
#else
        const QStringList debs =
            QDir(TARNWELL_PACKAGE_DIR).entryList({"tarnwell_*.deb"}, QDir::Files, QDir::Time);
        QVERIFY2(!debs.isEmpty(), "no package in " TARNWELL_PACKAGE_DIR);
        m_package = QDir(TARNWELL_PACKAGE_DIR).filePath(debs.first());
        QCOMPARE(run("dpkg-deb", {"-x", m_package, m_root.path()}).status, 0);

        // the user's folders: nothing outside the temporary root is touched
        m_env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString dir = m_root.filePath(QStringLiteral("user/") + name);
            QVERIFY(QDir().mkpath(dir));
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            m_env.insert(name, dir);
        }
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
#endif
    }

    // Debian's libraries, not bundled ones
    void dependencies() {
        const QByteArray depends = run("dpkg-deb", {"-f", m_package, "Depends"}).out;
        for (const char* package : {"libqt6widgets6", "libqt6network6", "libqt6sql6-sqlite",
                                    "libxml2", "libsqlite3-0", "unzip", "qt6-qpa-plugins"})
            QVERIFY2(depends.contains(package), package);
        QDirIterator files(m_root.path(), {"libQt6*", "libxml2*", "libsqlite3*"}, QDir::Files,
                           QDirIterator::Subdirectories);
        QVERIFY2(!files.hasNext(), qPrintable(files.hasNext() ? files.next() : QString()));
    }

    void layout() {
        for (const char* path :
             {"bin/tarnwell", "bin/tarnwell-cli", "lib/tarnwell/HCMFS_DLL.so",
              "lib/tarnwell/HCMMS_DLL.so", "share/tarnwell/hcm-schema.xsd",
              "share/tarnwell/equipment.db", "share/applications/tarnwell.desktop",
              "share/icons/hicolor/16x16/apps/tarnwell.png",
              "share/icons/hicolor/256x256/apps/tarnwell.png",
              "share/metainfo/org.tarnwell.Tarnwell.metainfo.xml",
              "share/man/man1/tarnwell-cli.1.gz"})
            QVERIFY2(QFileInfo(installed(path)).isFile(), path);
        QCOMPARE(QDir(installed("bin")).entryList(QDir::Files),
                 (QStringList{"tarnwell", "tarnwell-cli"}));
        // the stripped libraries keep their version
        QCOMPARE(ElfVersion::fileVersion(installed("lib/tarnwell/HCMFS_DLL.so")),
                 ElfVersion::fileVersion(TARNWELL_FS_LIBRARY));
        QVERIFY(!ElfVersion::fileVersion(TARNWELL_FS_LIBRARY).isEmpty());
    }

    // the installed tool answers as the one in the build tree, with the shipped schema and
    // calculation library found in the installed folders
    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("FS check") << QStringList{"check", testData("cli/sample-fs.txt")} << -1;
        QTest::newRow("MS schema") << QStringList{"ms", "validate", testData("ms/sample.xml")} << 0;
        QTest::newRow("help") << QStringList{"--help"} << 0;
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Run there = run(installed("bin/tarnwell-cli"), args, m_env);
        const Run here = run(TARNWELL_CLI_PATH, args, m_env);
        QCOMPARE(there.out, here.out);
        QCOMPARE(there.status, here.status);
        if (status >= 0)
            QCOMPARE(there.status, status);
    }

    void calculation() {
        QTemporaryDir dir;
        const QString report = dir.filePath("trigger.twrpt");
        const Run calc =
            run(installed("bin/tarnwell-cli"),
                {"calc", "trigger", testData("cli/sample-fs.txt"), "--out", report}, m_env);
        QCOMPARE(calc.status, 0);
        const Run shown = run(installed("bin/tarnwell-cli"), {"report", "show", report}, m_env);
        QCOMPARE(shown.status, 0);
        QVERIFY(!shown.out.isEmpty());
    }

    // a first start: settings and masks go to the user's folders, the tree stays as installed
    void programStarts() {
        const QString ini = m_env.value("XDG_CONFIG_HOME") + "/Tarnwell/hcm.ini";
        const QString masks = m_env.value("XDG_DATA_HOME") + "/tarnwell/equipment.db";
        const QStringList before = snapshot(installed(""));
        QProcess program;
        program.setProcessEnvironment(m_env);
        program.start(installed("bin/tarnwell"), {"--test"});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ini) && QFileInfo::exists(masks), 60000);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(30000));

        QFile settings(ini);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray text = settings.readAll();
        for (const char* line :
             {"first_installation=1", "HCMLibrary=HCMFS_DLL.so", "HCMMSLibrary=HCMMS_DLL.so"})
            QVERIFY2(text.contains(line), line);
        QCOMPARE(QFileInfo(masks).size(),
                 QFileInfo(installed("share/tarnwell/equipment.db")).size());
        QCOMPARE(snapshot(installed("")), before);
    }
};

TARNWELL_TEST(TestDesktopFiles)
TARNWELL_TEST(TestInstalledPackage)
#include "tst_package.moc"
