#include "datapath.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QVector>

namespace DataPath {

namespace {

QVector<int> parts(const QString& version) {
    QVector<int> numbers;
    const QStringList texts = version.split(QLatin1Char('.'));
    for (int i = 0; i < texts.size() && i < 4; ++i)
        numbers.append(texts.at(i).trimmed().toInt()); // not a number counts as 0
    return numbers;
}

} // namespace

bool isNewer(const QString& version, const QString& than) {
    const QVector<int> a = parts(version);
    const QVector<int> b = parts(than);
    if (version.trimmed().isEmpty() || than.trimmed().isEmpty() || a.size() < 3 || b.size() < 3)
        return false;
    for (int i = 0; i < 4; ++i) {
        const int x = i < a.size() ? a.at(i) : 0;
        const int y = i < b.size() ? b.at(i) : 0;
        if (x != y)
            return x > y;
    }
    return false;
}

QString topoVolume(const QStringList& roots) {
    for (const QString& root : roots)
        if (QFileInfo(QDir(root).filePath(QStringLiteral("TOPO"))).isDir())
            return root;
    return QString();
}

QString topoVolume() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots.append(volume.rootPath());
    return topoVolume(roots);
}

QString forLibrary(const QString& libraryVersion, const QString& current) {
    if (isNewer(libraryVersion, QStringLiteral("2.0.9.9")))
        return current;
    return topoVolume();
}

} // namespace DataPath
