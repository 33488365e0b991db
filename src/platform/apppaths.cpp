#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

namespace {
QString& settingsDirectoryOverride() {
    static QString dir;
    return dir;
}
} // namespace

QString applicationDirectory() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString settingsFile() {
    const QString dir = settingsDirectoryOverride().isEmpty() ? applicationDirectory()
                                                              : settingsDirectoryOverride();
    return QDir(dir).filePath(QStringLiteral("hcm.ini"));
}

void setSettingsDirectory(const QString& directory) {
    settingsDirectoryOverride() = directory;
}

QString dataFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QDir::currentPath();
    const QString folder = base + QStringLiteral("/tarnwell");
    QDir().mkpath(folder);
    return folder;
}

QString updateFolder() {
    const QString folder = dataFolder() + QStringLiteral("/update");
    QDir().mkpath(folder);
    return folder;
}

} // namespace AppPaths
