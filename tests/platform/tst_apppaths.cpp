// Where the program finds its shipped files and writes hcm.ini and equipment.db, in the build
// tree and in an installed tree (a temporary program folder of either shape).
#include "apppaths.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder in a temporary tree: "build" has everything beside the executable,
// "installed" the GNU layout below usr/.
struct ProgramTree {
    QTemporaryDir root;
    QString bin, libraries, data;

    explicit ProgramTree(bool installed) {
        if (installed) {
            bin = root.filePath("usr/bin");
            libraries = root.filePath("usr/lib/tarnwell");
            data = root.filePath("usr/share/tarnwell");
        } else {
            bin = libraries = data = root.filePath("build/bin");
        }
        for (const QString& dir : {bin, libraries, data})
            QDir().mkpath(dir);
        writeFile(QDir(data).filePath("equipment.db"), "shipped masks");
    }
};

} // namespace

class TestAppPaths : public QObject {
    Q_OBJECT

private slots:
    void init() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() {
        AppPaths::setApplicationDirectory(QString());
        AppPaths::setSettingsDirectory(QString());
        QStandardPaths::setTestModeEnabled(false);
    }

    void shippedFiles_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("folder"); // "bin", "libraries" or "data"
        for (const bool installed : {false, true}) {
            const char* tree = installed ? "installed" : "build";
            QTest::addRow("%s: library", tree) << installed << "HCMFS_DLL.so"
                                               << "libraries";
            QTest::addRow("%s: schema", tree) << installed << "hcm-schema.xsd"
                                              << "data";
            QTest::addRow("%s: file in a sub-folder", tree) << installed << "map/countries.geojson"
                                                            << "data";
            // a library whose name merely contains ".so" is data, not a shared object
            QTest::addRow("%s: .so inside a name", tree) << installed << "a.so.txt"
                                                         << "data";
        }
    }
    void shippedFiles() {
        QFETCH(bool, installed);
        QFETCH(QString, relative);
        QFETCH(QString, folder);
        ProgramTree tree(installed);
        AppPaths::setApplicationDirectory(tree.bin);
        const QString expected =
            (folder == "libraries" ? tree.libraries : tree.data) + "/" + relative;
        QCOMPARE(AppPaths::shippedFile(relative), expected);
        QCOMPARE(AppPaths::Layout::of(tree.bin).installed, installed);
        QCOMPARE(AppPaths::libraryFolder(), tree.libraries);
        // an absolute path (a library the download job fetched) stays as it is
        const QString absolute = tree.root.filePath("elsewhere/HCMFS_new.so");
        QCOMPARE(AppPaths::shippedFile(absolute), absolute);
    }

    // hcm.ini and equipment.db: beside the program when it may write there, else per user
    void writtenFiles_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("perUser");
        QTest::newRow("build tree, writable") << false << false << false;
        QTest::newRow("build tree, read-only") << false << true << true;
        // even when its owner could write there (root, an unpacked tree)
        QTest::newRow("installed, writable") << true << false << true;
        QTest::newRow("installed, read-only") << true << true << true;
    }
    void writtenFiles() {
        QFETCH(bool, installed);
        QFETCH(bool, readOnly);
        QFETCH(bool, perUser);
        ProgramTree tree(installed);
        const QString configFolder =
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir(configFolder).removeRecursively();
        QFile::remove(QDir(AppPaths::dataFolder()).filePath("equipment.db"));
        const QFile::Permissions writable = QFile::permissions(tree.bin);
        if (readOnly) {
            for (const QString& dir : {tree.bin, tree.data})
                QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        }
        const auto restore = qScopeGuard([&] {
            for (const QString& dir : {tree.bin, tree.data})
                QFile::setPermissions(dir, writable);
        });
        // root writes into read-only folders; the installed tree is never written to anyway
        if (readOnly && !installed && QFileInfo(tree.bin).isWritable())
            QSKIP("this user writes into read-only folders (root)");
        AppPaths::setApplicationDirectory(tree.bin);

        QCOMPARE(AppPaths::settingsArePerUser(), perUser);
        const QString ini = AppPaths::settingsFile();
        const QString masks = AppPaths::writableProgramFile("equipment.db");
        if (!perUser) {
            QCOMPARE(ini, tree.bin + "/hcm.ini");
            QCOMPARE(masks, tree.data + "/equipment.db");
            return;
        }
        QCOMPARE(ini, configFolder + "/hcm.ini");
        QVERIFY(QFileInfo(configFolder).isDir());
        QCOMPARE(masks, AppPaths::dataFolder() + "/equipment.db");
        // copied once, writable, and then kept: a later start finds the user's masks
        QCOMPARE(readFile(masks), QByteArray("shipped masks"));
        QVERIFY(writeFile(masks, "the user's masks"));
        QCOMPARE(AppPaths::writableProgramFile("equipment.db"), masks);
        QCOMPARE(readFile(masks), QByteArray("the user's masks"));
        QCOMPARE(readFile(tree.data + "/equipment.db"), QByteArray("shipped masks"));

        // a redirected settings folder is nobody's per-user file
        QTemporaryDir redirected;
        AppPaths::setSettingsDirectory(redirected.path());
        QCOMPARE(AppPaths::settingsFile(), redirected.filePath("hcm.ini"));
        QVERIFY(!AppPaths::settingsArePerUser());
    }
};

TARNWELL_TEST(TestAppPaths)
#include "tst_apppaths.moc"
