// The file HCMFS_DLL.so itself: its name and place, its exports, its version section and its
// dependencies.
#include "elfversion.h"
#include "hcmfslibrary.h"
#include "testregistry.h"

#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QSet>
#include <QTest>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

class TestCalcLibraryFile : public QObject {
    Q_OBJECT

private slots:
    void fileNextToTheProgram() {
        const QFileInfo info(HcmfsLibrary::path());
        QVERIFY(info.exists());
        QCOMPARE(info.fileName(), QStringLiteral("HCMFS_DLL.so"));
        QCOMPARE(info.dir().dirName(), QStringLiteral("bin"));
    }

    void exportsOnlyTheEntryPoints() {
        const QString out =
            run(QStringLiteral("nm"), {"-D", "--defined-only", HcmfsLibrary::path()});
        QVERIFY2(!out.isEmpty(), "nm failed");
        QSet<QString> names;
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            names.insert(line.section(QLatin1Char(' '), -1));
        QCOMPARE(names, QSet<QString>({"HCMFS_V2", "HCMFS_ANNEX11_1", "HCMFS_ERROR_TEXT"}));
    }

    void internalsStayHidden() {
        QLibrary lib(HcmfsLibrary::path());
        QVERIFY(lib.load());
        QVERIFY(lib.resolve("HCMFS_V2"));
        QVERIFY(lib.resolve("HCMFS_ANNEX11_1"));
        QVERIFY(!lib.resolve("_ZN10FsGeometry10distanceKmERK8GeoPointS2_"));
        QVERIFY(!lib.resolve("_ZN9HCMRecord9parseLineESt17basic_string_viewIcSt11char_traitsIcEE"));
    }

    void versionSection() {
        const QString version = ElfVersion::fileVersion(HcmfsLibrary::path());
        QCOMPARE(version, QStringLiteral("2.2.0.0"));
        // newer than 2.0.9.9, compared part by part, so the program passes an empty data path
        const QStringList parts = version.split(QLatin1Char('.'));
        const int old[4] = {2, 0, 9, 9};
        int cmp = 0;
        for (int i = 0; i < 4 && cmp == 0; ++i)
            cmp = parts.at(i).toInt() - old[i];
        QVERIFY(cmp > 0);
    }

    void noQtInTheLibrary() {
        const QString out = run(QStringLiteral("readelf"), {"-d", HcmfsLibrary::path()});
        QVERIFY2(out.contains(QLatin1String("NEEDED")), "readelf failed");
        QVERIFY2(!out.contains(QLatin1String("Qt")), qPrintable(out));
    }
};

TARNWELL_TEST(TestCalcLibraryFile)
#include "tst_calclibraryfile.moc"
