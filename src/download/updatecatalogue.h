#pragma once

// The catalogue "list.ini" of the update server and the rules read from it: the version
// comparison and the check of the installer's name.

#include <QString>
#include <QStringList>

class QSettings;

namespace UpdateCatalogue {

// file names in the data folder
inline QString catalogueFile() {
    return QStringLiteral("list.ini");
}
inline QString jobFile() {
    return QStringLiteral("download.ini");
}
// the FS calculation library the centre installs into the data folder
inline QString libraryFile() {
    return QStringLiteral("HCMFS_DLL.so");
}

// the catalogue's path on the update server
QString cataloguePath(bool testMode);
// `base` (the setting's address) joined with an absolute `path`
QString address(const QString& base, const QString& path);

// 1 when `available` is newer than `installed`, 0 when not, -1 when either has fewer than
// three dotted parts or a compared part is no decimal number. At most four parts are compared,
// and none beyond the shorter of the two.
int compareVersions(const QString& installed, const QString& available);

// A name the server gives for a local file must be a plain file name: not empty, no "/" or
// "\", not "..", not starting with ".".
bool isPlainFileName(const QString& name);

struct Library {
    QString version;
    QString path; // the full download address
};

struct Catalogue {
    QString version;
    QString file;
    QString md5;
    QList<Library> libraries;
    bool downloaded = false;
    QString startFile;
};

Catalogue read(const QString& iniPath);
Catalogue read(QSettings& ini);

} // namespace UpdateCatalogue
