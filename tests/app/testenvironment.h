#pragma once

// A private world for one test: "hcm.ini" and the machine-wide store in temporary folders, the
// data folders under Qt's test locations, and FS files made from the sample file.

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    bool isValid() const { return m_dir.isValid(); }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const;
    QString machinePath() const; // the file of the machine-wide store
    QString userPath() const;    // the file of the per-user store
    // writes keys into "hcm.ini" before the main window reads it
    void presetIni(const QList<QPair<QString, QVariant>>& values) const;

    // the sample FS file (header and four records)
    static QByteArray sampleFile();
    // `count` records without a header line, the station names "S00", "S01", ...
    static QByteArray numberedFile(int count);
    // writes the bytes to the named file in the temporary folder; its path
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);
    // the station names (field 4A) of an FS file's record lines, in file order
    static QStringList stationNames(const QByteArray& file);

private:
    QTemporaryDir m_dir;
};
