// The AppStream metadata passes its validator; the Debian package, unpacked into a temporary
// root, runs from there as the build tree does.
#include "testregistry.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// what a program wrote, and "exit N" (-1: it did not end normally)
QByteArray run(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    const bool ended = process.waitForFinished(120000) && process.exitStatus() == 0;
    return process.readAllStandardOutput() + "exit " +
           QByteArray::number(ended ? process.exitCode() : -1);
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

private slots:
    void metadataValidates() {
        if (QStandardPaths::findExecutable("appstreamcli").isEmpty())
            QSKIP("appstreamcli is not installed");
        QVERIFY(
            run("appstreamcli", {"validate", "--no-net",
                                 TARNWELL_SOURCE_DIR "/data/org.tarnwell.Tarnwell.metainfo.xml"})
                .endsWith("exit 0"));
    }

    void installedTree() {
#ifndef TARNWELL_PACKAGE_DIR
        QSKIP("this build makes no package (sanitizers)");
#else
        const QFileInfoList debs =
            QDir(TARNWELL_PACKAGE_DIR).entryInfoList({"*.deb"}, QDir::Files, QDir::Time);
        QVERIFY(!debs.isEmpty());
        QTemporaryDir root;
        QVERIFY(run("dpkg-deb", {"-x", debs[0].filePath(), root.path()}).endsWith("exit 0"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            QVERIFY(QDir().mkpath(root.filePath(name)));
            QFile::setPermissions(root.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            env.insert(name, root.filePath(name));
        }

        // the installed tool answers as the build tree's: schema and library found
        const QString data = TARNWELL_SOURCE_DIR "/tests/data/";
        const QString report = root.filePath("trigger.twrpt");
        for (const QStringList& args :
             {QStringList{"ms", "validate", data + "ms/sample.xml"},
              QStringList{"calc", "trigger", data + "cli/sample-fs.txt", "--out", report}}) {
            QCOMPARE(run(root.filePath("usr/bin/tarnwell-cli"), args, env),
                     run(TARNWELL_CLI_PATH, args, env));
        }

        // a first start: settings and masks in the user's folders, the tree as installed
        const QString ini = root.filePath("XDG_CONFIG_HOME/Tarnwell/hcm.ini");
        const QString masks = root.filePath("XDG_DATA_HOME/tarnwell/equipment.db");
        const QDir bin(root.filePath("usr/bin")), shipped(root.filePath("usr/share/tarnwell"));
        const QStringList installedFiles = bin.entryList() + shipped.entryList();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(root.filePath("usr/bin/tarnwell"), {"--test"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ini) && QFileInfo::exists(masks), 60000);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(30000));
        QFile settings(ini);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("HCMLibrary=HCMFS_DLL.so\nHCMMSLibrary=HCMMS_DLL.so"
                                            "\nfirst_installation=1"));
        QCOMPARE(bin.entryList() + shipped.entryList(), installedFiles);
#endif
    }
};

TARNWELL_TEST(TestPackage)
#include "tst_package.moc"
