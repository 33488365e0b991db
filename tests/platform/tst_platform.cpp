// The platform layer: the ELF version reader, the single-instance lock, the folders.
#include "apppaths.h"
#include "elfversion.h"
#include "singleinstance.h"
#include "testregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// A minimal ELF file: header, a section-name table and the given sections (name, contents),
// in either class and byte order.
QByteArray makeElf(bool wide, bool bigEndian,
                   const QList<QPair<QByteArray, QByteArray>>& sections) {
    auto put = [&](QByteArray& out, qint64 at, quint64 value, int size) {
        for (int i = 0; i < size; ++i) {
            const int shift = 8 * (bigEndian ? size - 1 - i : i);
            out[at + i] = char((value >> shift) & 0xff);
        }
    };
    const int headerSize = wide ? 64 : 52, entrySize = wide ? 64 : 40, word = wide ? 8 : 4;
    QByteArray names("\0", 1);
    QList<int> nameOffsets;
    for (const auto& s : sections) {
        nameOffsets << names.size();
        names += s.first + '\0';
    }
    const int shstrName = names.size();
    names += QByteArray(".shstrtab") + '\0';

    QByteArray out(headerSize, '\0');
    out[0] = 0x7f;
    out[1] = 'E';
    out[2] = 'L';
    out[3] = 'F';
    out[4] = char(wide ? 2 : 1);
    out[5] = char(bigEndian ? 2 : 1);
    out[6] = 1;
    QList<qint64> dataOffsets;
    for (const auto& s : sections) {
        dataOffsets << out.size();
        out += s.second;
    }
    const qint64 namesOffset = out.size();
    out += names;
    const qint64 shoff = out.size();
    const int count = int(sections.size()) + 2; // null section, the sections, .shstrtab
    out += QByteArray(count * entrySize, '\0');
    put(out, wide ? 0x28 : 0x20, quint64(shoff), word);
    put(out, wide ? 0x3A : 0x2E, quint64(entrySize), 2);
    put(out, wide ? 0x3C : 0x30, quint64(count), 2);
    put(out, wide ? 0x3E : 0x32, quint64(count - 1), 2);
    auto entry = [&](int index, int name, qint64 offset, qint64 size) {
        const qint64 at = shoff + qint64(index) * entrySize;
        put(out, at, quint64(name), 4);
        put(out, at + (wide ? 0x18 : 0x10), quint64(offset), word);
        put(out, at + (wide ? 0x20 : 0x14), quint64(size), word);
    };
    for (int i = 0; i < sections.size(); ++i)
        entry(i + 1, nameOffsets[i], dataOffsets[i], sections[i].second.size());
    entry(count - 1, shstrName, namesOffset, names.size());
    return out;
}

QByteArray version(quint16 a, quint16 b, quint16 c, quint16 d) {
    QByteArray v(8, '\0');
    const quint16 parts[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(parts[i], v.data() + 2 * i);
    return v;
}

QString writeTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void builtLibraries() {
        QCOMPARE(ElfVersion::fileVersion(QStringLiteral(VERSIONED_LIBRARY)), QString("2.1.0.17"));
        QCOMPARE(ElfVersion::fileVersion(QStringLiteral(UNVERSIONED_LIBRARY)), QString());
        QCOMPARE(ElfVersion::fileVersion(QStringLiteral("/no/such/library.so")), QString());
    }

    void craftedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray v = version(2, 0, 65535, 3);
        const QPair<QByteArray, QByteArray> text(".text", QByteArray(16, '\x90'));
        const QPair<QByteArray, QByteArray> hcm(".hcmversion", v);
        QTest::newRow("64-bit little-endian") << makeElf(true, false, {text, hcm}) << "2.0.65535.3";
        QTest::newRow("32-bit little-endian") << makeElf(false, false, {hcm}) << "2.0.65535.3";
        // the numbers are little-endian whatever the file's byte order
        QTest::newRow("64-bit big-endian") << makeElf(true, true, {hcm, text}) << "2.0.65535.3";
        QTest::newRow("32-bit big-endian") << makeElf(false, true, {text, hcm}) << "2.0.65535.3";
        QTest::newRow("no section") << makeElf(true, false, {text}) << "";
        QTest::newRow("similar name") << makeElf(true, false, {{".hcmversion2", v}}) << "";
        QTest::newRow("section too short")
            << makeElf(true, false, {{".hcmversion", v.left(6)}}) << "";
        QTest::newRow("not ELF") << QByteArray("MZ\x90\0 not an ELF file at all") << "";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("truncated") << makeElf(true, false, {hcm}).left(70) << "";
        QByteArray badOffset = makeElf(true, false, {hcm});
        badOffset[0x28 + 7] = '\x7f'; // section headers far beyond the end
        QTest::newRow("section headers outside the file") << badOffset << "";
        QByteArray badClass = makeElf(true, false, {hcm});
        badClass[4] = 7;
        QTest::newRow("unknown class") << badClass << "";
    }
    void craftedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "HCMFS_test.so", bytes);
        QVERIFY(!path.isEmpty());
        QCOMPARE(ElfVersion::fileVersion(path), expected);
    }

    void corruptedFilesNeverCrash() {
        // every single-byte change of a valid file gives a version or nothing, never a crash
        QTemporaryDir dir;
        const QByteArray good = makeElf(false, false, {{".hcmversion", version(1, 2, 3, 4)}});
        for (int i = 0; i < good.size(); ++i) {
            QByteArray bad = good;
            bad[i] = char(bad[i] ^ 0xA5);
            const QString v = ElfVersion::fileVersion(writeTemp(dir, "f.so", bad));
            QVERIFY(v.isEmpty() || v.count(QLatin1Char('.')) == 3);
        }
    }

    void singleInstance() {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());
            QVERIFY(first.acquire());
            QCOMPARE(first.lockFilePath(), dir.filePath("quillmere"));
            SingleInstance second(dir.path());
            QVERIFY(!second.acquire());
        }
        // the lock goes with its holder
        SingleInstance third(dir.path());
        QVERIFY(third.acquire());
    }

    void staleLockIsTakenOver() {
        QTemporaryDir dir;
        // a lock left by a process that no longer runs
        QFile lock(dir.filePath("quillmere"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("999999999\ntarnwell\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        SingleInstance instance(dir.path());
        QVERIFY(instance.acquire());
    }

    void folders() {
        QStandardPaths::setTestModeEnabled(true);
        const QString data = AppPaths::dataFolder();
        QVERIFY(data.endsWith("/tarnwell"));
        QVERIFY(QDir(data).exists());
        QCOMPARE(AppPaths::updateFolder(), data + "/update");
        QVERIFY(QDir(data + "/update").exists());

        QTemporaryDir dir;
        AppPaths::setSettingsDirectory(dir.path());
        QCOMPARE(AppPaths::settingsFile(), dir.filePath("hcm.ini"));
        AppPaths::setSettingsDirectory(QString());
        QCOMPARE(AppPaths::settingsFile(), QCoreApplication::applicationDirPath() + "/hcm.ini");
        QStandardPaths::setTestModeEnabled(false);
    }
};

TARNWELL_TEST(TestPlatform)
#include "tst_platform.moc"
