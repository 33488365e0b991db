// Where the program finds its shipped files and writes hcm.ini and equipment.db, in a build
// tree and in an installed tree (temporary program folders of either shape).
#include "apppaths.h"
#include "testregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAppPaths : public QObject {
    Q_OBJECT

private slots:
    void layouts_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("build tree") << false << false;
        QTest::newRow("build tree, read-only") << false << true;
        // never written to, even where its user (or root) could write
        QTest::newRow("installed") << true << false;
    }
    void layouts() {
        QFETCH(bool, installed);
        QFETCH(bool, readOnly);
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir root;
        const QString bin = root.filePath(installed ? "usr/bin" : "bin");
        const QString lib = installed ? root.filePath("usr/lib/tarnwell") : bin;
        const QString data = installed ? root.filePath("usr/share/tarnwell") : bin;
        for (const QString& dir : {bin, lib, data})
            QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::copy(TARNWELL_TEST_DATA "/cli/sample-fs.txt", data + "/equipment.db"));
        AppPaths::setApplicationDirectory(bin);
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            AppPaths::setApplicationDirectory(QString());
            QStandardPaths::setTestModeEnabled(false);
        });

        QCOMPARE(AppPaths::shippedFile("HCMFS_DLL.so"), lib + "/HCMFS_DLL.so");
        QCOMPARE(AppPaths::shippedFile("map/countries.geojson"), data + "/map/countries.geojson");
        QCOMPARE(AppPaths::shippedFile(root.filePath("HCMFS_2.so")), root.filePath("HCMFS_2.so"));

        if (readOnly)
            QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
        if (readOnly && QFileInfo(bin).isWritable())
            QSKIP("this user writes into read-only folders (root)");
        const bool perUser = installed || readOnly;
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        const QString copy = AppPaths::dataFolder() + "/equipment.db";
        QFile::remove(copy);
        QCOMPARE(AppPaths::settingsFile(), (perUser ? config : bin) + "/hcm.ini");
        QCOMPARE(AppPaths::settingsArePerUser(), perUser);
        QCOMPARE(AppPaths::writableProgramFile("equipment.db"),
                 perUser ? copy : data + "/equipment.db");
        if (!perUser)
            return;
        // copied once: what the user changed stays
        QFile mine(copy);
        QVERIFY(mine.resize(0));
        AppPaths::writableProgramFile("equipment.db");
        QCOMPARE(mine.size(), 0);
    }
};

TARNWELL_TEST(TestAppPaths)
#include "tst_apppaths.moc"
